#pragma once
// The common controls: up-down, tab, status bar, tooltip, progress bar and the read-only rich
// edit. Like the system's own controls they are window classes driven by messages; a program
// registers them with InitCommonControlsEx before it makes one. Names and numeric values are the
// documented ones.

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

// ---- tab controls ("SysTabControl32")

// ---- status bars ("msctls_statusbar32")

// ---- tooltips ("tooltips_class32")
// A popup that shows a short text for the tool under the pointer once it rests there. A tool is a
// rectangle of a window, or a whole window (TTF_IDISHWND: uId is its handle); the control learns
// of the pointer through TTM_RELAYEVENT or, with TTF_SUBCLASS, by watching the tool's window.
constexpr wchar_t TOOLTIPS_CLASSW[] = L"tooltips_class32";
constexpr DWORD TTS_ALWAYSTIP = 0x01, TTS_NOPREFIX = 0x02, TTS_NOANIMATE = 0x10, TTS_NOFADE = 0x20;
constexpr UINT TTF_IDISHWND = 0x0001, TTF_CENTERTIP = 0x0002, TTF_SUBCLASS = 0x0010, TTF_TRACK = 0x0020,
               TTF_ABSOLUTE = 0x0080, TTF_DI_SETITEM = 0x8000;
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

// ---- the read-only rich edit ("RichEdit20W"): its messages and structures are in RichEdit.h
