#pragma once
// The toolkit's registered window messages and clipboard format. Each name is registered once
// for the whole program, on first use, so frames, menu bars and tool bars in any layer above
// see the same number; another registration of the same name gets that number too.

#include "platform/base/WinTypes.h"

// "WM_SECGETMENU", sent to a frame: wParam a menu resource id, lParam a popup index; the answer
// is that popup of the menu (0 when none).
UINT SECGetMenuMessage();
// "WM_SEC_MENUPROD", posted to a frame to slide from the open popup to its neighbour.
UINT SECMenuProdMessage();
// "WM_NODELAYHIDE", the customisable tool bars' own message.
UINT SECNoDelayHideMessage();
// "WM_BARNOTIFY", broadcast by the tool-bar manager to its bars with wParam and lParam passed on.
UINT SECBarNotifyMessage();
// "Divuzura::WM_SYSCOMMANDEX", the extended system command of the caption filters.
UINT SECSysCommandExMessage();

// "MSDEVColumnSelect": offered beside a text that was copied from a column selection, so that
// pasting it inserts a column block.
UINT SECColumnSelectClipboardFormat();
