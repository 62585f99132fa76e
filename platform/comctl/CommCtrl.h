#pragma once
// The common controls: up-down, tab, status bar, tooltip, progress bar and the read-only rich
// edit. Like the system's own controls they are window classes driven by messages; a program
// registers them with InitCommonControlsEx before it makes one. Names and numeric values are the
// documented ones.

#include "platform/gdi/ImageList.h"
#include "platform/user/WinUser.h"

#include <cstddef>

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
#define UPDOWN_CLASSW L"msctls_updown32"
constexpr DWORD UDS_WRAP = 0x1, UDS_SETBUDDYINT = 0x2, UDS_ALIGNRIGHT = 0x4, UDS_ALIGNLEFT = 0x8,
                UDS_AUTOBUDDY = 0x10, UDS_ARROWKEYS = 0x20, UDS_HORZ = 0x40, UDS_NOTHOUSANDS = 0x80,
                UDS_HOTTRACK = 0x100;
constexpr int UD_MAXVAL = 0x7FFF, UD_MINVAL = -UD_MAXVAL;
constexpr UINT UDM_SETRANGE = WM_USER + 101, UDM_GETRANGE = WM_USER + 102, UDM_SETPOS = WM_USER + 103,
               UDM_GETPOS = WM_USER + 104, UDM_SETBUDDY = WM_USER + 105, UDM_GETBUDDY = WM_USER + 106,
               UDM_SETACCEL = WM_USER + 107, UDM_GETACCEL = WM_USER + 108, UDM_SETBASE = WM_USER + 109,
               UDM_GETBASE = WM_USER + 110, UDM_SETRANGE32 = WM_USER + 111, UDM_GETRANGE32 = WM_USER + 112,
               UDM_SETPOS32 = WM_USER + 113, UDM_GETPOS32 = WM_USER + 114;
// After `nSec` seconds of holding an arrow, each step moves by `nInc`.
struct UDACCEL {
    UINT nSec;
    UINT nInc;
};
using LPUDACCEL = UDACCEL*;
constexpr UINT UDN_FIRST = 0u - 721u, UDN_DELTAPOS = UDN_FIRST - 1;
// UDN_DELTAPOS: the position before the step and the step; a non-zero answer refuses the step.
struct NMUPDOWN {
    NMHDR hdr;
    int iPos;
    int iDelta;
};
using LPNMUPDOWN = NMUPDOWN*;

// ---- tab controls ("SysTabControl32")
#define WC_TABCONTROLW L"SysTabControl32"
constexpr DWORD TCS_SCROLLOPPOSITE = 0x1, TCS_BOTTOM = 0x2, TCS_RIGHT = 0x2, TCS_MULTISELECT = 0x4,
                TCS_FLATBUTTONS = 0x8, TCS_FORCEICONLEFT = 0x10, TCS_FORCELABELLEFT = 0x20, TCS_HOTTRACK = 0x40,
                TCS_VERTICAL = 0x80, TCS_TABS = 0x0, TCS_BUTTONS = 0x100, TCS_SINGLELINE = 0x0,
                TCS_MULTILINE = 0x200, TCS_RIGHTJUSTIFY = 0x0, TCS_FIXEDWIDTH = 0x400, TCS_RAGGEDRIGHT = 0x800,
                TCS_FOCUSONBUTTONDOWN = 0x1000, TCS_OWNERDRAWFIXED = 0x2000, TCS_TOOLTIPS = 0x4000,
                TCS_FOCUSNEVER = 0x8000;
constexpr UINT TCM_FIRST = 0x1300, TCM_GETIMAGELIST = TCM_FIRST + 2, TCM_SETIMAGELIST = TCM_FIRST + 3,
               TCM_GETITEMCOUNT = TCM_FIRST + 4, TCM_DELETEITEM = TCM_FIRST + 8,
               TCM_DELETEALLITEMS = TCM_FIRST + 9, TCM_GETITEMRECT = TCM_FIRST + 10,
               TCM_GETCURSEL = TCM_FIRST + 11, TCM_SETCURSEL = TCM_FIRST + 12, TCM_HITTEST = TCM_FIRST + 13,
               TCM_ADJUSTRECT = TCM_FIRST + 40, TCM_SETITEMSIZE = TCM_FIRST + 41, TCM_SETPADDING = TCM_FIRST + 43,
               TCM_GETROWCOUNT = TCM_FIRST + 44, TCM_GETCURFOCUS = TCM_FIRST + 47,
               TCM_SETCURFOCUS = TCM_FIRST + 48, TCM_SETMINTABWIDTH = TCM_FIRST + 49,
               TCM_GETITEMW = TCM_FIRST + 60, TCM_SETITEMW = TCM_FIRST + 61, TCM_INSERTITEMW = TCM_FIRST + 62;
constexpr UINT TCM_GETITEM = TCM_GETITEMW, TCM_SETITEM = TCM_SETITEMW, TCM_INSERTITEM = TCM_INSERTITEMW;
constexpr UINT TCIF_TEXT = 0x1, TCIF_IMAGE = 0x2, TCIF_RTLREADING = 0x4, TCIF_PARAM = 0x8, TCIF_STATE = 0x10;
constexpr DWORD TCIS_BUTTONPRESSED = 0x1, TCIS_HIGHLIGHTED = 0x2;
struct TCITEMW {
    UINT mask;
    DWORD dwState;
    DWORD dwStateMask;
    LPWSTR pszText;
    int cchTextMax; // TCM_GETITEM: the size of pszText's buffer
    int iImage;     // an index into the image list, -1 for none
    LPARAM lParam;
};
using TCITEM = TCITEMW;
using LPTCITEMW = TCITEMW*;
using LPTCITEM = TCITEMW*;
constexpr UINT TCHT_NOWHERE = 0x1, TCHT_ONITEMICON = 0x2, TCHT_ONITEMLABEL = 0x4,
               TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;
struct TCHITTESTINFO {
    POINT pt; // client coordinates
    UINT flags;
};
using LPTCHITTESTINFO = TCHITTESTINFO*;
// TCN_SELCHANGING comes before the selection changes (a non-zero answer keeps it), TCN_SELCHANGE after.
constexpr UINT TCN_FIRST = 0u - 550u, TCN_KEYDOWN = TCN_FIRST - 0, TCN_SELCHANGE = TCN_FIRST - 1,
               TCN_SELCHANGING = TCN_FIRST - 2;
struct NMTCKEYDOWN {
    NMHDR hdr;
    WORD wVKey;
    UINT flags;
};

// ---- status bars ("msctls_statusbar32")
#define STATUSCLASSNAMEW L"msctls_statusbar32"
// Placement styles of the bars: where a bar puts itself in its parent when the parent is sized.
constexpr DWORD CCS_TOP = 0x1, CCS_NOMOVEY = 0x2, CCS_BOTTOM = 0x3, CCS_NORESIZE = 0x4,
                CCS_NOPARENTALIGN = 0x8, CCS_ADJUSTABLE = 0x20, CCS_NODIVIDER = 0x40, CCS_VERT = 0x80;
constexpr UINT CCM_FIRST = 0x2000, CCM_SETBKCOLOR = CCM_FIRST + 1;
constexpr DWORD SBARS_SIZEGRIP = 0x100, SBARS_TOOLTIPS = 0x800;
constexpr UINT SB_SETPARTS = WM_USER + 4, SB_GETPARTS = WM_USER + 6, SB_GETBORDERS = WM_USER + 7,
               SB_SETMINHEIGHT = WM_USER + 8, SB_SIMPLE = WM_USER + 9, SB_GETRECT = WM_USER + 10,
               SB_SETTEXTW = WM_USER + 11, SB_GETTEXTLENGTHW = WM_USER + 12, SB_GETTEXTW = WM_USER + 13,
               SB_ISSIMPLE = WM_USER + 14, SB_SETICON = WM_USER + 15, SB_GETICON = WM_USER + 20,
               SB_SETBKCOLOR = CCM_SETBKCOLOR;
constexpr UINT SB_SETTEXT = SB_SETTEXTW, SB_GETTEXT = SB_GETTEXTW, SB_GETTEXTLENGTH = SB_GETTEXTLENGTHW;
// SB_SETTEXT's wParam: the part index in the low byte (SB_SIMPLEID for the simple-mode text), the
// drawing type in the high byte. An owner-drawn part's lParam is data for WM_DRAWITEM's itemData.
constexpr UINT SB_SIMPLEID = 0xFF;
constexpr UINT SBT_OWNERDRAW = 0x1000, SBT_NOBORDERS = 0x100, SBT_POPOUT = 0x200, SBT_RTLREADING = 0x400,
               SBT_NOTABPARSING = 0x800;
constexpr UINT SBN_FIRST = 0u - 880u, SBN_SIMPLEMODECHANGE = SBN_FIRST - 0;

// ---- tooltips ("tooltips_class32")
// A popup that shows a short text for the tool under the pointer once it rests there. A tool is a
// rectangle of a window, or a whole window (TTF_IDISHWND: uId is its handle); the control learns
// of the pointer through TTM_RELAYEVENT or, with TTF_SUBCLASS, by watching the tool's window.
constexpr wchar_t TOOLTIPS_CLASSW[] = L"tooltips_class32";
constexpr DWORD TTS_ALWAYSTIP = 0x01, TTS_NOPREFIX = 0x02, TTS_NOANIMATE = 0x10, TTS_NOFADE = 0x20;
constexpr UINT TTF_IDISHWND = 0x0001, TTF_CENTERTIP = 0x0002, TTF_SUBCLASS = 0x0010, TTF_TRACK = 0x0020,
               TTF_ABSOLUTE = 0x0080, TTF_TRANSPARENT = 0x0100, TTF_DI_SETITEM = 0x8000;
constexpr WPARAM TTDT_AUTOMATIC = 0, TTDT_RESHOW = 1, TTDT_AUTOPOP = 2, TTDT_INITIAL = 3;
// lpszText of a tool whose text its window gives on TTN_GETDISPINFO each time the tip shows.
#define LPSTR_TEXTCALLBACKW (reinterpret_cast<LPWSTR>(static_cast<INT_PTR>(-1)))
#define LPSTR_TEXTCALLBACK LPSTR_TEXTCALLBACKW
// lpszText may also be a string id (MAKEINTRESOURCE) of the module hinst.
struct TTTOOLINFOW {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;      // the window that holds the tool and gets its notifications
    UINT_PTR uId;
    RECT rect;      // client coordinates of hwnd; unused with TTF_IDISHWND
    HINSTANCE hinst;
    LPWSTR lpszText;
    LPARAM lParam;
    void* lpReserved;
};
using TOOLINFOW = TTTOOLINFOW;
using TOOLINFO = TTTOOLINFOW;
using LPTOOLINFO = TTTOOLINFOW*;
// The first form of the structure ended before lParam; the control takes both.
constexpr UINT TTTOOLINFOW_V1_SIZE = offsetof(TTTOOLINFOW, lParam);
struct TTHITTESTINFOW {
    HWND hwnd;
    POINT pt; // client coordinates of hwnd
    TTTOOLINFOW ti;
};
using TTHITTESTINFO = TTHITTESTINFOW;
using LPTTHITTESTINFO = TTHITTESTINFOW*;
struct NMTTDISPINFOW {
    NMHDR hdr;
    LPWSTR lpszText; // points at szText when sent; may be set to other text or a string id of hinst
    WCHAR szText[80];
    HINSTANCE hinst;
    UINT uFlags;     // TTF_DI_SETITEM: keep the text given for the tool
    LPARAM lParam;
};
using NMTTDISPINFO = NMTTDISPINFOW;
using TOOLTIPTEXTW = NMTTDISPINFOW;
using TOOLTIPTEXT = NMTTDISPINFOW;
constexpr UINT TTM_ACTIVATE = WM_USER + 1, TTM_SETDELAYTIME = WM_USER + 3, TTM_RELAYEVENT = WM_USER + 7,
               TTM_GETTOOLCOUNT = WM_USER + 13, TTM_WINDOWFROMPOINT = WM_USER + 16, TTM_TRACKACTIVATE = WM_USER + 17,
               TTM_TRACKPOSITION = WM_USER + 18, TTM_SETTIPBKCOLOR = WM_USER + 19, TTM_SETTIPTEXTCOLOR = WM_USER + 20,
               TTM_GETDELAYTIME = WM_USER + 21, TTM_GETTIPBKCOLOR = WM_USER + 22, TTM_GETTIPTEXTCOLOR = WM_USER + 23,
               TTM_SETMAXTIPWIDTH = WM_USER + 24, TTM_GETMAXTIPWIDTH = WM_USER + 25, TTM_POP = WM_USER + 28,
               TTM_ADDTOOLW = WM_USER + 50, TTM_DELTOOLW = WM_USER + 51, TTM_NEWTOOLRECTW = WM_USER + 52,
               TTM_GETTOOLINFOW = WM_USER + 53, TTM_SETTOOLINFOW = WM_USER + 54, TTM_HITTESTW = WM_USER + 55,
               TTM_GETTEXTW = WM_USER + 56, TTM_UPDATETIPTEXTW = WM_USER + 57;
constexpr UINT TTM_ADDTOOL = TTM_ADDTOOLW, TTM_DELTOOL = TTM_DELTOOLW, TTM_NEWTOOLRECT = TTM_NEWTOOLRECTW,
               TTM_GETTOOLINFO = TTM_GETTOOLINFOW, TTM_SETTOOLINFO = TTM_SETTOOLINFOW, TTM_HITTEST = TTM_HITTESTW,
               TTM_GETTEXT = TTM_GETTEXTW, TTM_UPDATETIPTEXT = TTM_UPDATETIPTEXTW;
constexpr UINT TTN_FIRST = 0u - 520u, TTN_GETDISPINFOW = TTN_FIRST - 10, TTN_SHOW = TTN_FIRST - 1,
               TTN_POP = TTN_FIRST - 2, TTN_NEEDTEXTW = TTN_GETDISPINFOW, TTN_GETDISPINFO = TTN_GETDISPINFOW,
               TTN_NEEDTEXT = TTN_GETDISPINFOW;

// ---- progress bars ("msctls_progress32")
#define PROGRESS_CLASSW L"msctls_progress32"
constexpr DWORD PBS_SMOOTH = 0x1, PBS_VERTICAL = 0x4;
constexpr UINT PBM_SETRANGE = WM_USER + 1, PBM_SETPOS = WM_USER + 2, PBM_DELTAPOS = WM_USER + 3,
               PBM_SETSTEP = WM_USER + 4, PBM_STEPIT = WM_USER + 5, PBM_SETRANGE32 = WM_USER + 6,
               PBM_GETRANGE = WM_USER + 7, PBM_GETPOS = WM_USER + 8, PBM_SETBARCOLOR = WM_USER + 9,
               PBM_SETBKCOLOR = CCM_SETBKCOLOR;
struct PBRANGE {
    int iLow;
    int iHigh;
};
using PPBRANGE = PBRANGE*;

// ---- the read-only rich edit ("RichEdit20W"): its messages and structures are in RichEdit.h
