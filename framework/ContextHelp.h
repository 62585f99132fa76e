#pragma once
// Help mode ("What's This?" for a frame): the user points at what help is wanted for. While it
// lasts the frame has the mouse, the help cursor shows and the status line says what to do. A left
// press on one of the frame's windows names that window's help; a press on a title of its menu bar
// opens that menu, and the item chosen there names its command's help. Esc, WM_EXITHELPMODE, a
// press outside the frame or a lost capture leave without help.
//
//   if (DWORD helpId = SECTrackContextHelp(frame))
//       frame->WinHelp(helpId);

#include "platform/mfc/Frame.h"

// The command that starts help mode, and its status-line prompt.
constexpr UINT ID_CONTEXT_HELP = 0xE145, AFX_IDS_HELPMODEMESSAGE = 0xE002;

// Asked of a window (and then of its parents) in help mode: lParam is the point in its client
// area; a nonzero answer is the help id.
constexpr UINT WM_HELPHITTEST = 0x0366;

// Runs help mode for the frame; the help id chosen, or 0 for none.
DWORD SECTrackContextHelp(CFrameWnd* frame);
