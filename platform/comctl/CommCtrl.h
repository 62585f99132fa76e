#pragma once
// The common controls: up-down, tab, status bar, tooltip, progress bar and the read-only rich
// edit. Like the system's own controls they are window classes driven by messages; a program
// registers them with InitCommonControlsEx before it makes one. Names and numeric values are the
// documented ones.

#include "platform/user/WinUser.h"

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};
using LPINITCOMMONCONTROLSEX = INITCOMMONCONTROLSEX*;
constexpr DWORD ICC_LISTVIEW_CLASSES = 0x1, ICC_TREEVIEW_CLASSES = 0x2, ICC_BAR_CLASSES = 0x4,
                ICC_TAB_CLASSES = 0x8, ICC_UPDOWN_CLASS = 0x10, ICC_PROGRESS_CLASS = 0x20,
                ICC_HOTKEY_CLASS = 0x40, ICC_ANIMATE_CLASS = 0x80, ICC_WIN95_CLASSES = 0xFF,
                ICC_DATE_CLASSES = 0x100, ICC_USEREX_CLASSES = 0x200, ICC_COOL_CLASSES = 0x400,
                ICC_STANDARD_CLASSES = 0x4000, ICC_LINK_CLASS = 0x8000;
// Registers the classes of the groups asked for; classes already registered stay as they are.
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);
void InitCommonControls(); // the ICC_WIN95_CLASSES group

// Notification codes shared by the common controls (WM_NOTIFY).
constexpr UINT NM_FIRST = 0u, NM_OUTOFMEMORY = NM_FIRST - 1, NM_CLICK = NM_FIRST - 2, NM_DBLCLK = NM_FIRST - 3,
               NM_RETURN = NM_FIRST - 4, NM_RCLICK = NM_FIRST - 5, NM_RDBLCLK = NM_FIRST - 6,
               NM_SETFOCUS = NM_FIRST - 7, NM_KILLFOCUS = NM_FIRST - 8, NM_CUSTOMDRAW = NM_FIRST - 12,
               NM_HOVER = NM_FIRST - 13;

// ---- up-down controls ("msctls_updown32")

// ---- tab controls ("SysTabControl32")

// ---- status bars ("msctls_statusbar32")

// ---- tooltips ("tooltips_class32")

// ---- progress bars ("msctls_progress32")

// ---- the read-only rich edit ("RichEdit20W"): its messages and structures are in RichEdit.h
