#pragma once
// The window interface the program's code is written against: window classes and windows,
// messages and the message loop, timers, hooks, focus, capture, painting, input, system metrics,
// monitors, menus, message boxes and the clipboard. Names and numeric values are the documented
// ones. Top-level windows appear on the current Display (platform/display); child windows are
// drawn into their top-level window's backing surface.

#include "platform/base/Geometry.h"
#include "platform/base/MessageBox.h"
#include "platform/base/WinTypes.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/sys/Module.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

struct HMENU__;
using HMENU = HMENU__*;
struct HHOOK__;
using HHOOK = HHOOK__*;
struct HACCEL__;
using HACCEL = HACCEL__*;
struct HMONITOR__;
using HMONITOR = HMONITOR__*;
struct HDWP__;
using HDWP = HDWP__*;
using HTHEME = void*;
using ATOM = WORD;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using HOOKPROC = LRESULT (*)(int code, WPARAM, LPARAM);

#define MAKEINTATOM(a) MAKEINTRESOURCEW(a)
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return static_cast<LPARAM>(MAKELONG(lo, hi)); }
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return static_cast<WPARAM>(MAKELONG(lo, hi)); }
constexpr LRESULT MAKELRESULT(WORD lo, WORD hi) { return static_cast<LRESULT>(MAKELONG(lo, hi)); }
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lp))); }
constexpr short GET_WHEEL_DELTA_WPARAM(WPARAM wp) { return static_cast<short>(HIWORD(wp)); }

#define HWND_TOP (reinterpret_cast<HWND>(0))
#define HWND_BOTTOM (reinterpret_cast<HWND>(1))
#define HWND_TOPMOST (reinterpret_cast<HWND>(-1))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(-2))
#define HWND_MESSAGE (reinterpret_cast<HWND>(-3))
#define HWND_BROADCAST (reinterpret_cast<HWND>(0xFFFF))

// ---- messages
constexpr UINT WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003, WM_SIZE = 0x0005,
               WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007, WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A,
               WM_SETREDRAW = 0x000B, WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E,
               WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUIT = 0x0012, WM_ERASEBKGND = 0x0014,
               WM_SYSCOLORCHANGE = 0x0015, WM_SHOWWINDOW = 0x0018, WM_SETTINGCHANGE = 0x001A,
               WM_ACTIVATEAPP = 0x001C, WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020,
               WM_MOUSEACTIVATE = 0x0021, WM_CHILDACTIVATE = 0x0022, WM_GETMINMAXINFO = 0x0024,
               WM_SETFONT = 0x0030, WM_GETFONT = 0x0031, WM_WINDOWPOSCHANGING = 0x0046,
               WM_WINDOWPOSCHANGED = 0x0047, WM_NOTIFY = 0x004E, WM_CONTEXTMENU = 0x007B,
               WM_STYLECHANGING = 0x007C, WM_STYLECHANGED = 0x007D, WM_GETICON = 0x007F, WM_SETICON = 0x0080,
               WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082, WM_NCCALCSIZE = 0x0083, WM_NCHITTEST = 0x0084,
               WM_NCPAINT = 0x0085, WM_NCACTIVATE = 0x0086, WM_GETDLGCODE = 0x0087,
               WM_NCMOUSEMOVE = 0x00A0, WM_NCLBUTTONDOWN = 0x00A1, WM_NCLBUTTONUP = 0x00A2,
               WM_NCLBUTTONDBLCLK = 0x00A3, WM_NCRBUTTONDOWN = 0x00A4, WM_NCRBUTTONUP = 0x00A5,
               WM_NCRBUTTONDBLCLK = 0x00A6, WM_NCMBUTTONDOWN = 0x00A7, WM_NCMBUTTONUP = 0x00A8,
               WM_NCMBUTTONDBLCLK = 0x00A9, WM_KEYFIRST = 0x0100, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101,
               WM_CHAR = 0x0102, WM_DEADCHAR = 0x0103, WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105,
               WM_SYSCHAR = 0x0106, WM_KEYLAST = 0x0109, WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111,
               WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113, WM_HSCROLL = 0x0114, WM_VSCROLL = 0x0115,
               WM_INITMENU = 0x0116, WM_INITMENUPOPUP = 0x0117, WM_MENUSELECT = 0x011F, WM_MENUCHAR = 0x0120,
               WM_ENTERIDLE = 0x0121, WM_UNINITMENUPOPUP = 0x0125, WM_CTLCOLOREDIT = 0x0133,
               WM_CTLCOLORSTATIC = 0x0138, WM_MOUSEFIRST = 0x0200, WM_MOUSEMOVE = 0x0200,
               WM_LBUTTONDOWN = 0x0201, WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203,
               WM_RBUTTONDOWN = 0x0204, WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206,
               WM_MBUTTONDOWN = 0x0207, WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209,
               WM_MOUSEWHEEL = 0x020A, WM_MOUSELAST = 0x020A, WM_PARENTNOTIFY = 0x0210,
               WM_ENTERMENULOOP = 0x0211, WM_EXITMENULOOP = 0x0212, WM_SIZING = 0x0214,
               WM_CAPTURECHANGED = 0x0215, WM_MOVING = 0x0216, WM_ENTERSIZEMOVE = 0x0231,
               WM_EXITSIZEMOVE = 0x0232, WM_MOUSEHOVER = 0x02A1, WM_MOUSELEAVE = 0x02A3, WM_CUT = 0x0300,
               WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303, WM_UNDO = 0x0304,
               WM_PRINT = 0x0317, WM_PRINTCLIENT = 0x0318, WM_USER = 0x0400, WM_APP = 0x8000;
constexpr UINT WM_QUERYENDSESSION = 0x0011, WM_ENDSESSION = 0x0016, WM_CTLCOLOR = 0x0019, WM_FONTCHANGE = 0x001D,
               WM_TIMECHANGE = 0x001E, WM_NEXTDLGCTL = 0x0028, WM_DRAWITEM = 0x002B, WM_MEASUREITEM = 0x002C,
               WM_DELETEITEM = 0x002D, WM_COMPAREITEM = 0x0039, WM_COPYDATA = 0x004A, WM_HELP = 0x0053,
               WM_DISPLAYCHANGE = 0x007E, WM_IME_STARTCOMPOSITION = 0x010D, WM_IME_ENDCOMPOSITION = 0x010E,
               WM_MENUCOMMAND = 0x0126, WM_CHANGEUISTATE = 0x0127, WM_UPDATEUISTATE = 0x0128,
               WM_QUERYUISTATE = 0x0129, WM_CTLCOLORMSGBOX = 0x0132, WM_CTLCOLORLISTBOX = 0x0134,
               WM_CTLCOLORBTN = 0x0135, WM_CTLCOLORDLG = 0x0136, WM_CTLCOLORSCROLLBAR = 0x0137,
               WM_MDICREATE = 0x0220, WM_MDIDESTROY = 0x0221, WM_MDIACTIVATE = 0x0222, WM_MDIRESTORE = 0x0223,
               WM_MDINEXT = 0x0224, WM_MDIMAXIMIZE = 0x0225, WM_MDITILE = 0x0226, WM_MDICASCADE = 0x0227,
               WM_MDIICONARRANGE = 0x0228, WM_MDIGETACTIVE = 0x0229, WM_MDISETMENU = 0x0230,
               WM_MDIREFRESHMENU = 0x0234, WM_DROPFILES = 0x0233, WM_NCMOUSELEAVE = 0x02A2,
               WM_QUERYNEWPALETTE = 0x030F, WM_PALETTECHANGED = 0x0311, WM_HOTKEY = 0x0312,
               WM_THEMECHANGED = 0x031A;
// WM_SETICON and WM_GETICON: which of the window's icons.
constexpr WPARAM ICON_SMALL = 0, ICON_BIG = 1, ICON_SMALL2 = 2;

// ---- window styles
constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
                WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000, WS_MAXIMIZE = 0x01000000,
                WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000, WS_DLGFRAME = 0x00400000,
                WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000, WS_SYSMENU = 0x00080000,
                WS_THICKFRAME = 0x00040000, WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000,
                WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000, WS_SIZEBOX = WS_THICKFRAME,
                WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;
constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001, WS_EX_NOPARENTNOTIFY = 0x00000004, WS_EX_TOPMOST = 0x00000008,
                WS_EX_ACCEPTFILES = 0x00000010, WS_EX_TRANSPARENT = 0x00000020, WS_EX_MDICHILD = 0x00000040,
                WS_EX_TOOLWINDOW = 0x00000080, WS_EX_WINDOWEDGE = 0x00000100, WS_EX_CLIENTEDGE = 0x00000200,
                WS_EX_CONTEXTHELP = 0x00000400, WS_EX_RIGHT = 0x00001000, WS_EX_CONTROLPARENT = 0x00010000,
                WS_EX_STATICEDGE = 0x00020000, WS_EX_APPWINDOW = 0x00040000, WS_EX_LAYERED = 0x00080000,
                WS_EX_NOACTIVATE = 0x08000000;
constexpr UINT CS_VREDRAW = 0x0001, CS_HREDRAW = 0x0002, CS_DBLCLKS = 0x0008, CS_OWNDC = 0x0020,
               CS_CLASSDC = 0x0040, CS_PARENTDC = 0x0080, CS_NOCLOSE = 0x0200, CS_SAVEBITS = 0x0800,
               CS_GLOBALCLASS = 0x4000, CS_DROPSHADOW = 0x00020000;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// ---- GetWindowLong indexes and GetWindow relations
constexpr int GWL_WNDPROC = -4, GWLP_WNDPROC = -4, GWLP_HINSTANCE = -6, GWLP_HWNDPARENT = -8, GWL_ID = -12,
              GWLP_ID = -12, GWL_STYLE = -16, GWL_EXSTYLE = -20, GWL_USERDATA = -21, GWLP_USERDATA = -21;
constexpr int GCL_STYLE = -26, GCLP_HBRBACKGROUND = -10, GCLP_HCURSOR = -12, GCLP_HICON = -14;
constexpr UINT GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3, GW_OWNER = 4, GW_CHILD = 5;
constexpr UINT GA_PARENT = 1, GA_ROOT = 2, GA_ROOTOWNER = 3;

// ---- ShowWindow and SetWindowPos
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3,
              SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5, SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7,
              SW_SHOWNA = 8, SW_RESTORE = 9, SW_SHOWDEFAULT = 10;
constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004, SWP_NOREDRAW = 0x0008,
               SWP_NOACTIVATE = 0x0010, SWP_FRAMECHANGED = 0x0020, SWP_SHOWWINDOW = 0x0040,
               SWP_HIDEWINDOW = 0x0080, SWP_NOCOPYBITS = 0x0100, SWP_NOOWNERZORDER = 0x0200,
               SWP_NOSENDCHANGING = 0x0400, SWP_DEFERERASE = 0x2000, SWP_ASYNCWINDOWPOS = 0x4000;
constexpr WPARAM SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2, SIZE_MAXSHOW = 3, SIZE_MAXHIDE = 4;
constexpr WORD WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
constexpr int MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3, MA_NOACTIVATEANDEAT = 4;

// ---- hit-test codes
constexpr int HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1, HTCAPTION = 2, HTSYSMENU = 3,
              HTGROWBOX = 4, HTSIZE = 4, HTMENU = 5, HTHSCROLL = 6, HTVSCROLL = 7, HTMINBUTTON = 8,
              HTMAXBUTTON = 9, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12, HTTOPLEFT = 13, HTTOPRIGHT = 14,
              HTBOTTOM = 15, HTBOTTOMLEFT = 16, HTBOTTOMRIGHT = 17, HTBORDER = 18, HTCLOSE = 20, HTHELP = 21;

// ---- WM_SYSCOMMAND
constexpr WPARAM SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020, SC_MAXIMIZE = 0xF030,
                 SC_NEXTWINDOW = 0xF040, SC_PREVWINDOW = 0xF050, SC_CLOSE = 0xF060, SC_MOUSEMENU = 0xF090,
                 SC_KEYMENU = 0xF100, SC_RESTORE = 0xF120, SC_CONTEXTHELP = 0xF180;

// ---- mouse and key state
constexpr WPARAM MK_LBUTTON = 0x0001, MK_RBUTTON = 0x0002, MK_SHIFT = 0x0004, MK_CONTROL = 0x0008, MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;
constexpr int VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04, VK_BACK = 0x08,
              VK_TAB = 0x09, VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
              VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_ESCAPE = 0x1B, VK_SPACE = 0x20,
              VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26,
              VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D, VK_DELETE = 0x2E,
              VK_HELP = 0x2F, VK_APPS = 0x5D, VK_NUMPAD0 = 0x60, VK_NUMPAD1 = 0x61, VK_NUMPAD2 = 0x62, VK_NUMPAD3 = 0x63,
              VK_NUMPAD4 = 0x64, VK_NUMPAD5 = 0x65, VK_NUMPAD6 = 0x66, VK_NUMPAD7 = 0x67, VK_NUMPAD8 = 0x68, VK_NUMPAD9 = 0x69, VK_MULTIPLY = 0x6A,
              VK_ADD = 0x6B, VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E, VK_DIVIDE = 0x6F,
              VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73, VK_F5 = 0x74, VK_F6 = 0x75, VK_F7 = 0x76,
              VK_F8 = 0x77, VK_F9 = 0x78, VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B, VK_NUMLOCK = 0x90,
              VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2, VK_RCONTROL = 0xA3,
              VK_LMENU = 0xA4, VK_RMENU = 0xA5, VK_OEM_1 = 0xBA, VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC,
              VK_OEM_MINUS = 0xBD, VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB,
              VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE;

// ---- messages in the queue
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;
constexpr UINT PM_NOREMOVE = 0x0000, PM_REMOVE = 0x0001, PM_NOYIELD = 0x0002;
constexpr UINT QS_KEY = 0x0001, QS_MOUSEMOVE = 0x0002, QS_MOUSEBUTTON = 0x0004, QS_POSTMESSAGE = 0x0008,
               QS_TIMER = 0x0010, QS_PAINT = 0x0020, QS_SENDMESSAGE = 0x0040, QS_MOUSE = 0x0006,
               QS_INPUT = 0x0007, QS_ALLINPUT = 0x00FF;

// ---- window class and creation structures
struct WNDCLASSEXW {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground; // a brush, or a system colour index + 1
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
    HICON hIconSm;
};
struct WNDCLASSW {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
};
using WNDCLASSEX = WNDCLASSEXW;
using WNDCLASS = WNDCLASSW;

struct CREATESTRUCTW {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCWSTR lpszName;
    LPCWSTR lpszClass;
    DWORD dwExStyle;
};
using CREATESTRUCT = CREATESTRUCTW;
using LPCREATESTRUCT = CREATESTRUCTW*;

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};
struct STYLESTRUCT {
    DWORD styleOld;
    DWORD styleNew;
};
struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    WINDOWPOS* lppos;
};
constexpr UINT WVR_VALIDRECTS = 0x0400;
struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize;
    POINT ptMaxTrackSize;
};
struct WINDOWPLACEMENT {
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};
// WINDOWPLACEMENT.flags: a minimised window comes back maximised.
constexpr UINT WPF_RESTORETOMAXIMIZED = 0x2;
// Owner-drawn items (menus, buttons, list boxes, status-bar panes): their owner measures them in
// WM_MEASUREITEM and draws them in WM_DRAWITEM.
constexpr UINT ODT_MENU = 1, ODT_LISTBOX = 2, ODT_COMBOBOX = 3, ODT_BUTTON = 4, ODT_STATIC = 5;
constexpr UINT ODA_DRAWENTIRE = 0x1, ODA_SELECT = 0x2, ODA_FOCUS = 0x4;
constexpr UINT ODS_SELECTED = 0x1, ODS_GRAYED = 0x2, ODS_DISABLED = 0x4, ODS_CHECKED = 0x8, ODS_FOCUS = 0x10,
               ODS_DEFAULT = 0x20, ODS_HOTLIGHT = 0x40, ODS_NOACCEL = 0x100;
struct MEASUREITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemWidth;
    UINT itemHeight;
    ULONG_PTR itemData;
};
struct DRAWITEMSTRUCT {
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem; // for menus, the HMENU
    HDC hDC;
    RECT rcItem;
    ULONG_PTR itemData;
};
using LPMEASUREITEMSTRUCT = MEASUREITEMSTRUCT*;
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

struct NMHDR {
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// ---- classes and windows
ATOM RegisterClassExW(const WNDCLASSEXW* windowClass);
ATOM RegisterClassW(const WNDCLASSW* windowClass);
BOOL UnregisterClassW(LPCWSTR className, HINSTANCE instance);
BOOL GetClassInfoExW(HINSTANCE instance, LPCWSTR className, WNDCLASSEXW* windowClass);
BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* windowClass);
int GetClassNameW(HWND window, LPWSTR buffer, int bufferLength);
ULONG_PTR GetClassLongPtrW(HWND window, int index);
ULONG_PTR SetClassLongPtrW(HWND window, int index, LONG_PTR value);

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param);
inline HWND CreateWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
    HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param)
{
    return CreateWindowExW(0, className, windowName, style, x, y, width, height, parent, menuOrId, instance, param);
}
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL IsWindowVisible(HWND window);
BOOL IsWindowEnabled(HWND window);
BOOL EnableWindow(HWND window, BOOL enable); // returns whether the window was disabled before
BOOL IsChild(HWND parent, HWND window);
BOOL IsIconic(HWND window);
BOOL IsZoomed(HWND window);
HWND GetParent(HWND window); // the parent of a child window, the owner of a top-level one
HWND SetParent(HWND window, HWND newParent);
HWND GetAncestor(HWND window, UINT flags);
HWND GetWindow(HWND window, UINT relation);
HWND GetTopWindow(HWND window);
HWND GetDesktopWindow();
HWND GetDlgItem(HWND dialog, int id);
int GetDlgCtrlID(HWND window);
HWND FindWindowW(LPCWSTR className, LPCWSTR windowName);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM data);
BOOL EnumWindows(WNDENUMPROC callback, LPARAM data);
DWORD GetWindowThreadProcessId(HWND window, LPDWORD processId);

LONG_PTR GetWindowLongPtrW(HWND window, int index);
LONG_PTR SetWindowLongPtrW(HWND window, int index, LONG_PTR value);
inline LONG GetWindowLongW(HWND window, int index) { return static_cast<LONG>(GetWindowLongPtrW(window, index)); }
inline LONG SetWindowLongW(HWND window, int index, LONG value) { return static_cast<LONG>(SetWindowLongPtrW(window, index, value)); }
int GetWindowTextW(HWND window, LPWSTR buffer, int bufferLength);
int GetWindowTextLengthW(HWND window);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
BOOL SetPropW(HWND window, LPCWSTR name, HANDLE data);
HANDLE GetPropW(HWND window, LPCWSTR name);
HANDLE RemovePropW(HWND window, LPCWSTR name);

BOOL ShowWindow(HWND window, int command); // returns whether the window was visible before
BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
HDWP BeginDeferWindowPos(int count);
HDWP DeferWindowPos(HDWP positions, HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL EndDeferWindowPos(HDWP positions);
BOOL BringWindowToTop(HWND window);
BOOL GetWindowRect(HWND window, LPRECT rect);   // screen coordinates
BOOL GetClientRect(HWND window, LPRECT rect);   // client coordinates: (0, 0, width, height)
BOOL GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
BOOL SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);
BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
BOOL ClientToScreen(HWND window, LPPOINT point);
BOOL ScreenToClient(HWND window, LPPOINT point);
int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count);
HWND WindowFromPoint(POINT screenPoint);
constexpr UINT CWP_ALL = 0x0, CWP_SKIPINVISIBLE = 0x1, CWP_SKIPDISABLED = 0x2, CWP_SKIPTRANSPARENT = 0x4;
HWND ChildWindowFromPoint(HWND parent, POINT clientPoint);
HWND ChildWindowFromPointEx(HWND parent, POINT clientPoint, UINT flags);
// The window takes ownership of the region (window coordinates); null restores the rectangle.
int SetWindowRgn(HWND window, HRGN region, BOOL redraw);
int GetWindowRgn(HWND window, HRGN region);

// ---- messages and the message loop
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam); // any thread
BOOL PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
constexpr UINT SMTO_NORMAL = 0x0, SMTO_BLOCK = 0x1, SMTO_ABORTIFHUNG = 0x2, SMTO_NOTIMEOUTIFNOTHUNG = 0x8;
// Same-thread windows answer at once, whatever the time-out; another thread's window has
// `timeout` milliseconds (real time) to answer, or the call returns 0 and the answer is dropped.
LRESULT SendMessageTimeoutW(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT flags, UINT timeout, DWORD_PTR* result);
void PostQuitMessage(int exitCode);
// FALSE for WM_QUIT, -1 without a message to fill.
BOOL GetMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax);
BOOL PeekMessageW(LPMSG message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageW(const MSG* message);
BOOL WaitMessage();
DWORD GetQueueStatus(UINT flags);
LONG GetMessageTime();
DWORD GetMessagePos();
BOOL InSendMessage();
UINT RegisterWindowMessageW(LPCWSTR name);
LRESULT CallWindowProcW(WNDPROC procedure, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
DWORD GetCurrentThreadId();

// ---- timers; the clock is the display's (virtual under the headless display)
DWORD GetTickCount();
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure);
BOOL KillTimer(HWND window, UINT_PTR id);

// ---- hooks (thread hooks of the calling thread)
constexpr int WH_MSGFILTER = -1, WH_KEYBOARD = 2, WH_GETMESSAGE = 3, WH_CALLWNDPROC = 4, WH_CBT = 5, WH_MOUSE = 7,
              WH_CALLWNDPROCRET = 12;
// WH_CBT codes: a window is about to be created (wParam the new handle, lParam a CBT_CREATEWNDW;
// a non-zero answer refuses the window) or destroyed (wParam the handle).
constexpr int HCBT_CREATEWND = 3, HCBT_DESTROYWND = 4;
constexpr int HC_ACTION = 0, HC_NOREMOVE = 3;
constexpr int MSGF_DIALOGBOX = 0, MSGF_MESSAGEBOX = 1, MSGF_MENU = 2, MSGF_SIZE = 4, MSGF_MOVE = 3;
struct MOUSEHOOKSTRUCT {
    POINT pt;
    HWND hwnd;
    UINT wHitTestCode;
    ULONG_PTR dwExtraInfo;
};
struct CWPRETSTRUCT {
    LRESULT lResult;
    LPARAM lParam;
    WPARAM wParam;
    UINT message;
    HWND hwnd;
};
struct CBT_CREATEWNDW {
    CREATESTRUCTW* lpcs;
    HWND hwndInsertAfter;
};
struct CWPSTRUCT {
    LPARAM lParam;
    WPARAM wParam;
    UINT message;
    HWND hwnd;
};
HHOOK SetWindowsHookExW(int type, HOOKPROC procedure, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// ---- focus, activation, capture
HWND SetFocus(HWND window);
HWND GetFocus();
HWND SetActiveWindow(HWND window);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND window);
HWND GetForegroundWindow();
HWND SetCapture(HWND window);
HWND GetCapture();
BOOL ReleaseCapture();

// ---- painting
constexpr UINT RDW_INVALIDATE = 0x0001, RDW_INTERNALPAINT = 0x0002, RDW_ERASE = 0x0004, RDW_VALIDATE = 0x0008,
               RDW_NOINTERNALPAINT = 0x0010, RDW_NOERASE = 0x0020, RDW_NOCHILDREN = 0x0040,
               RDW_ALLCHILDREN = 0x0080, RDW_UPDATENOW = 0x0100, RDW_ERASENOW = 0x0200, RDW_FRAME = 0x0400,
               RDW_NOFRAME = 0x0800;
constexpr UINT PRF_CHECKVISIBLE = 0x1, PRF_NONCLIENT = 0x2, PRF_CLIENT = 0x4, PRF_ERASEBKGND = 0x8,
               PRF_CHILDREN = 0x10, PRF_OWNED = 0x20;
constexpr UINT SW_SCROLLCHILDREN = 0x0001, SW_INVALIDATE = 0x0002, SW_ERASE = 0x0004;
constexpr DWORD DCX_WINDOW = 0x1, DCX_CACHE = 0x2, DCX_CLIPCHILDREN = 0x8, DCX_CLIPSIBLINGS = 0x10,
                DCX_PARENTCLIP = 0x20, DCX_EXCLUDERGN = 0x40, DCX_INTERSECTRGN = 0x80, DCX_LOCKWINDOWUPDATE = 0x400;
HDC BeginPaint(HWND window, LPPAINTSTRUCT paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
HDC GetDC(HWND window);       // client area
HDC GetWindowDC(HWND window); // whole window, non-client area included
HDC GetDCEx(HWND window, HRGN clip, DWORD flags);
int ReleaseDC(HWND window, HDC dc);
HWND WindowFromDC(HDC dc);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL InvalidateRgn(HWND window, HRGN region, BOOL erase);
BOOL ValidateRect(HWND window, const RECT* rect);
BOOL ValidateRgn(HWND window, HRGN region);
BOOL GetUpdateRect(HWND window, LPRECT rect, BOOL erase);
int GetUpdateRgn(HWND window, HRGN region, BOOL erase);
BOOL UpdateWindow(HWND window);
BOOL RedrawWindow(HWND window, const RECT* rect, HRGN region, UINT flags);
// Drawing is never held back (every window has its own backing surface); always TRUE.
BOOL LockWindowUpdate(HWND window);
BOOL ScrollWindow(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip);
int ScrollWindowEx(HWND window, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, LPRECT updateRect, UINT flags);
constexpr DWORD AW_HOR_POSITIVE = 0x1, AW_HOR_NEGATIVE = 0x2, AW_VER_POSITIVE = 0x4, AW_VER_NEGATIVE = 0x8,
                AW_CENTER = 0x10, AW_HIDE = 0x10000, AW_ACTIVATE = 0x20000, AW_SLIDE = 0x40000, AW_BLEND = 0x80000;
// Shows or hides the window; the display shows the end state (no frames are animated).
BOOL AnimateWindow(HWND window, DWORD time, DWORD flags);
// Writes the window as it is drawn on its backing surface (non-client area included).
bool WriteWindowPng(HWND window, const char* path);

// ---- keyboard
SHORT GetKeyState(int virtualKey);
SHORT GetAsyncKeyState(int virtualKey);
BOOL GetKeyboardState(BYTE* keys); // 256 bytes
struct ACCEL {
    BYTE fVirt;
    WORD key;
    WORD cmd;
};
constexpr BYTE FVIRTKEY = 0x01, FNOINVERT = 0x02, FSHIFT = 0x04, FCONTROL = 0x08, FALT = 0x10;
HACCEL CreateAcceleratorTableW(const ACCEL* entries, int count);
BOOL DestroyAcceleratorTable(HACCEL table);
int CopyAcceleratorTableW(HACCEL table, ACCEL* entries, int count);
int TranslateAcceleratorW(HWND window, HACCEL table, LPMSG message);

// ---- mouse and cursors
#define IDC_ARROW MAKEINTRESOURCEW(32512)
#define IDC_IBEAM MAKEINTRESOURCEW(32513)
#define IDC_WAIT MAKEINTRESOURCEW(32514)
#define IDC_CROSS MAKEINTRESOURCEW(32515)
#define IDC_UPARROW MAKEINTRESOURCEW(32516)
#define IDC_SIZENWSE MAKEINTRESOURCEW(32642)
#define IDC_SIZENESW MAKEINTRESOURCEW(32643)
#define IDC_SIZEWE MAKEINTRESOURCEW(32644)
#define IDC_SIZENS MAKEINTRESOURCEW(32645)
#define IDC_SIZEALL MAKEINTRESOURCEW(32646)
#define IDC_NO MAKEINTRESOURCEW(32648)
#define IDC_HAND MAKEINTRESOURCEW(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEW(32650)
#define IDC_HELP MAKEINTRESOURCEW(32651)
// Standard cursors are handles whose value is the cursor id; module cursors are icon objects.
HCURSOR LoadCursorW(HINSTANCE instance, LPCWSTR name);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
BOOL GetCursorPos(LPPOINT point);
BOOL SetCursorPos(int x, int y);
// Keeps the display count only: the pointer stays visible.
int ShowCursor(BOOL show);
// The pointer is never confined; TRUE so that callers go on as usual.
BOOL ClipCursor(const RECT* rect);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT milliseconds);
constexpr DWORD TME_HOVER = 0x1, TME_LEAVE = 0x2, TME_CANCEL = 0x80000000, HOVER_DEFAULT = 0xFFFFFFFF;
struct TRACKMOUSEEVENT {
    DWORD cbSize;
    DWORD dwFlags;
    HWND hwndTrack;
    DWORD dwHoverTime;
};
BOOL TrackMouseEvent(TRACKMOUSEEVENT* track);
BOOL DragDetect(HWND window, POINT point);

// ---- caret
BOOL CreateCaret(HWND window, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND window);
BOOL HideCaret(HWND window);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(LPPOINT point);
UINT GetCaretBlinkTime();

// ---- input-method contexts: where and in which font an input method shows the text it is
// composing (dead keys, CJK conversion) for a window. The composition shows at the caret unless
// placed; its text arrives as WM_CHAR between WM_IME_STARTCOMPOSITION and WM_IME_ENDCOMPOSITION.
struct HIMC__;
using HIMC = HIMC__*;
struct COMPOSITIONFORM {
    DWORD dwStyle;
    POINT ptCurrentPos; // client coordinates of the context's window
    RECT rcArea;
};
constexpr DWORD CFS_DEFAULT = 0x0000, CFS_RECT = 0x0001, CFS_POINT = 0x0002, CFS_FORCE_POSITION = 0x0020;
HIMC ImmGetContext(HWND window);
BOOL ImmReleaseContext(HWND window, HIMC context);
BOOL ImmSetCompositionWindow(HIMC context, COMPOSITIONFORM* form);
BOOL ImmSetCompositionFontW(HIMC context, LOGFONTW* font);

// ---- system metrics and parameters
constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4,
              SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CYVTHUMB = 9,
              SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14,
              SM_CYMENU = 15, SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21,
              SM_SWAPBUTTON = 23, SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXFRAME = 32,
              SM_CYFRAME = 33, SM_CXMINTRACK = 34, SM_CYMINTRACK = 35, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37,
              SM_CXICONSPACING = 38, SM_CYICONSPACING = 39, SM_MENUDROPALIGNMENT = 40, SM_CXEDGE = 45,
              SM_CYEDGE = 46, SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CYSMCAPTION = 51, SM_CXSMSIZE = 52,
              SM_CYSMSIZE = 53, SM_CXMENUSIZE = 54, SM_CYMENUSIZE = 55, SM_CXMINIMIZED = 57, SM_CYMINIMIZED = 58,
              SM_CXMAXTRACK = 59, SM_CYMAXTRACK = 60, SM_CXMAXIMIZED = 61, SM_CYMAXIMIZED = 62,
              SM_CXDRAG = 68, SM_CYDRAG = 69, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72, SM_MOUSEWHEELPRESENT = 75,
              SM_XVIRTUALSCREEN = 76, SM_YVIRTUALSCREEN = 77, SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79,
              SM_CMONITORS = 80, SM_CXFOCUSBORDER = 83, SM_CYFOCUSBORDER = 84;
int GetSystemMetrics(int index);
// The dialog base units of the system font: average width 8 (low word), height 16 (high word).
LONG GetDialogBaseUnits();
constexpr UINT SPI_GETBEEP = 0x0001, SPI_GETMOUSE = 0x0003, SPI_GETBORDER = 0x0005, SPI_GETKEYBOARDSPEED = 0x000A,
               SPI_ICONHORIZONTALSPACING = 0x000D, SPI_GETSCREENSAVETIMEOUT = 0x000E, SPI_GETKEYBOARDDELAY = 0x0016,
               SPI_ICONVERTICALSPACING = 0x0018, SPI_GETICONTITLEWRAP = 0x0019, SPI_GETMENUDROPALIGNMENT = 0x001B,
               SPI_GETDRAGFULLWINDOWS = 0x0026, SPI_GETNONCLIENTMETRICS = 0x0029, SPI_GETICONTITLELOGFONT = 0x001F,
               SPI_SETWORKAREA = 0x002F, SPI_GETWORKAREA = 0x0030, SPI_GETHIGHCONTRAST = 0x0042,
               SPI_GETKEYBOARDPREF = 0x0044, SPI_GETSCREENREADER = 0x0046, SPI_GETFONTSMOOTHING = 0x004A,
               SPI_GETWHEELSCROLLLINES = 0x0068, SPI_GETMOUSEHOVERWIDTH = 0x0062, SPI_GETMOUSEHOVERHEIGHT = 0x0064,
               SPI_GETMOUSEHOVERTIME = 0x0066, SPI_GETMENUANIMATION = 0x1002, SPI_GETCOMBOBOXANIMATION = 0x1004,
               SPI_GETLISTBOXSMOOTHSCROLLING = 0x1006, SPI_GETGRADIENTCAPTIONS = 0x1008,
               SPI_GETKEYBOARDCUES = 0x100A, SPI_GETMENUUNDERLINES = 0x100A, SPI_GETHOTTRACKING = 0x100E,
               SPI_GETMENUFADE = 0x1012, SPI_GETSELECTIONFADE = 0x1014, SPI_GETTOOLTIPANIMATION = 0x1016,
               SPI_SETTOOLTIPANIMATION = 0x1017, SPI_GETTOOLTIPFADE = 0x1018, SPI_SETTOOLTIPFADE = 0x1019,
               SPI_GETCURSORSHADOW = 0x101A, SPI_GETFLATMENU = 0x1022, SPI_GETDROPSHADOW = 0x1024,
               SPI_GETUIEFFECTS = 0x103E, SPI_GETCARETWIDTH = 0x2006;
constexpr UINT SPIF_UPDATEINIFILE = 0x1, SPIF_SENDCHANGE = 0x2;
struct NONCLIENTMETRICSW {
    UINT cbSize;
    int iBorderWidth;
    int iScrollWidth;
    int iScrollHeight;
    int iCaptionWidth;
    int iCaptionHeight;
    LOGFONTW lfCaptionFont;
    int iSmCaptionWidth;
    int iSmCaptionHeight;
    LOGFONTW lfSmCaptionFont;
    int iMenuWidth;
    int iMenuHeight;
    LOGFONTW lfMenuFont;
    LOGFONTW lfStatusFont;
    LOGFONTW lfMessageFont;
};
using NONCLIENTMETRICS = NONCLIENTMETRICSW;
// Reads (SPI_GET*) or changes (SPI_SET*) a setting of this session. Unknown actions fail.
BOOL SystemParametersInfoW(UINT action, UINT uiParam, PVOID pvParam, UINT winIni);

// ---- monitors
constexpr DWORD MONITOR_DEFAULTTONULL = 0, MONITOR_DEFAULTTOPRIMARY = 1, MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD MONITORINFOF_PRIMARY = 1;
struct MONITORINFO {
    DWORD cbSize;
    RECT rcMonitor;
    RECT rcWork;
    DWORD dwFlags;
};
struct MONITORINFOEXW : MONITORINFO {
    WCHAR szDevice[32];
};
HMONITOR MonitorFromPoint(POINT point, DWORD flags);
HMONITOR MonitorFromRect(const RECT* rect, DWORD flags);
HMONITOR MonitorFromWindow(HWND window, DWORD flags);
BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info); // cbSize says MONITORINFO or MONITORINFOEXW
using MONITORENUMPROC = BOOL (*)(HMONITOR, HDC, LPRECT, LPARAM);
BOOL EnumDisplayMonitors(HDC dc, const RECT* clip, MONITORENUMPROC callback, LPARAM data);

// ---- menus
constexpr UINT MF_INSERT = 0x0, MF_CHANGE = 0x80, MF_APPEND = 0x100, MF_DELETE = 0x200, MF_REMOVE = 0x1000,
               MF_BYCOMMAND = 0x0, MF_BYPOSITION = 0x400, MF_SEPARATOR = 0x800, MF_ENABLED = 0x0,
               MF_GRAYED = 0x1, MF_DISABLED = 0x2, MF_UNCHECKED = 0x0, MF_CHECKED = 0x8,
               MF_USECHECKBITMAPS = 0x200, MF_STRING = 0x0, MF_BITMAP = 0x4, MF_OWNERDRAW = 0x100,
               MF_POPUP = 0x10, MF_MENUBARBREAK = 0x20, MF_MENUBREAK = 0x40, MF_UNHILITE = 0x0,
               MF_HILITE = 0x80, MF_DEFAULT = 0x1000, MF_SYSMENU = 0x2000, MF_HELP = 0x4000,
               MF_RIGHTJUSTIFY = 0x4000, MF_MOUSESELECT = 0x8000, MF_END = 0x80;
constexpr UINT MFT_STRING = 0x0, MFT_BITMAP = 0x4, MFT_MENUBARBREAK = 0x20, MFT_MENUBREAK = 0x40,
               MFT_OWNERDRAW = 0x100, MFT_RADIOCHECK = 0x200, MFT_SEPARATOR = 0x800, MFT_RIGHTORDER = 0x2000,
               MFT_RIGHTJUSTIFY = 0x4000;
// WM_MENUCHAR answers in the high word: ignore the key, close the menu, choose or select the item.
constexpr UINT MNC_IGNORE = 0, MNC_CLOSE = 1, MNC_EXECUTE = 2, MNC_SELECT = 3;
constexpr UINT MFS_GRAYED = 0x3, MFS_DISABLED = 0x3, MFS_CHECKED = 0x8, MFS_HILITE = 0x80, MFS_ENABLED = 0x0,
               MFS_UNCHECKED = 0x0, MFS_UNHILITE = 0x0, MFS_DEFAULT = 0x1000;
constexpr UINT MIIM_STATE = 0x1, MIIM_ID = 0x2, MIIM_SUBMENU = 0x4, MIIM_CHECKMARKS = 0x8, MIIM_TYPE = 0x10,
               MIIM_DATA = 0x20, MIIM_STRING = 0x40, MIIM_BITMAP = 0x80, MIIM_FTYPE = 0x100;
struct MENUITEMINFOW {
    UINT cbSize;
    UINT fMask;
    UINT fType;
    UINT fState;
    UINT wID;
    HMENU hSubMenu;
    HBITMAP hbmpChecked;
    HBITMAP hbmpUnchecked;
    ULONG_PTR dwItemData;
    LPWSTR dwTypeData;
    UINT cch;
    HBITMAP hbmpItem;
};
using MENUITEMINFO = MENUITEMINFOW;
constexpr UINT TPM_LEFTBUTTON = 0x0, TPM_RIGHTBUTTON = 0x2, TPM_LEFTALIGN = 0x0, TPM_CENTERALIGN = 0x4,
               TPM_RIGHTALIGN = 0x8, TPM_TOPALIGN = 0x0, TPM_VCENTERALIGN = 0x10, TPM_BOTTOMALIGN = 0x20,
               TPM_HORIZONTAL = 0x0, TPM_VERTICAL = 0x40, TPM_NONOTIFY = 0x80, TPM_RETURNCMD = 0x100;
struct TPMPARAMS {
    UINT cbSize;
    RECT rcExclude;
};
HMENU CreateMenu();
HMENU CreatePopupMenu();
BOOL DestroyMenu(HMENU menu); // destroys its submenus too
BOOL IsMenu(HMENU menu);
BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text);
BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text);
BOOL ModifyMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idOrSubmenu, LPCWSTR text);
BOOL InsertMenuItemW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info);
BOOL GetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, MENUITEMINFOW* info);
BOOL SetMenuItemInfoW(HMENU menu, UINT item, BOOL byPosition, const MENUITEMINFOW* info);
BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);  // keeps a submenu alive
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);  // destroys a submenu
int GetMenuItemCount(HMENU menu);
UINT GetMenuItemID(HMENU menu, int position); // -1 for submenus and missing items
HMENU GetSubMenu(HMENU menu, int position);
UINT GetMenuState(HMENU menu, UINT item, UINT flags);
int GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int bufferLength, UINT flags);
DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);
HMENU GetMenu(HWND window);
BOOL SetMenu(HWND window, HMENU menu);
BOOL DrawMenuBar(HWND window);
HMENU GetSystemMenu(HWND window, BOOL revert);
// Runs the menu's modal loop; returns the chosen command with TPM_RETURNCMD (0 for none), otherwise
// posts it as WM_COMMAND to the owner and returns whether one was chosen.
BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner, const RECT* ignored);
BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, TPMPARAMS* params);
BOOL EndMenu();

// ---- message boxes
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
BOOL MessageBeep(UINT type); // silent
// Tests hear the beeps through this hook (empty: none); returns the previous hook.
using MessageBeepHook = std::function<void(UINT type)>;
MessageBeepHook SetMessageBeepHook(MessageBeepHook hook);

// ---- modal loops in tests: the hook runs each time a modal loop (message box, popup menu,
// move or size loop) has emptied its queue and would wait. It can inject input, send messages
// or end the loop (EndMenu, or a click on a message-box button).
using ModalLoopHook = std::function<void(HWND modalWindow)>;
ModalLoopHook SetModalLoopHook(ModalLoopHook hook);
// The loop every modal window runs, also a framework's own (a dialog object's): dispatches
// messages until done() holds, offering each to preTranslate first (true: taken), and calls
// the test hook above when it would wait. filterCode: MSGF_*, as the WH_MSGFILTER hook hears it.
void RunModalMessageLoop(HWND modalWindow, int filterCode, const std::function<bool()>& done,
    const std::function<bool(MSG&)>& preTranslate = nullptr);

// ---- clipboard
constexpr UINT CF_TEXT = 1, CF_BITMAP = 2, CF_OEMTEXT = 7, CF_DIB = 8, CF_UNICODETEXT = 13, CF_LOCALE = 16;
constexpr UINT GMEM_FIXED = 0x0, GMEM_MOVEABLE = 0x2, GMEM_ZEROINIT = 0x40, GMEM_SHARE = 0x2000,
               GMEM_DDESHARE = 0x2000, GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
HGLOBAL GlobalFree(HGLOBAL memory);
LPVOID GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
std::size_t GlobalSize(HGLOBAL memory);
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// The clipboard takes ownership of memory made by GlobalAlloc; CF_UNICODETEXT is UTF-32 text
// ending in a null character, like every wide string here.
HANDLE SetClipboardData(UINT format, HANDLE memory);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
UINT RegisterClipboardFormatW(LPCWSTR name);
int CountClipboardFormats();
UINT EnumClipboardFormats(UINT format);

// ---- scroll bars: a window's own (SB_HORZ, SB_VERT: WS_HSCROLL, WS_VSCROLL), or a scroll-bar
// control itself (SB_CTL), which answers through its SBM_ messages
constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
constexpr WORD SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1, SB_PAGEUP = 2, SB_PAGELEFT = 2,
               SB_PAGEDOWN = 3, SB_PAGERIGHT = 3, SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6,
               SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8, SIF_TRACKPOS = 0x10,
               SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
constexpr UINT ESB_ENABLE_BOTH = 0x0, ESB_DISABLE_LTUP = 0x1, ESB_DISABLE_RTDN = 0x2, ESB_DISABLE_BOTH = 0x3;
struct SCROLLINFO {
    UINT cbSize;
    UINT fMask;
    int nMin;
    int nMax;
    UINT nPage;
    int nPos;
    int nTrackPos;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;
// The position is kept inside [nMin, nMax - nPage + 1]; returns the new position.
int SetScrollInfo(HWND window, int bar, LPCSCROLLINFO info, BOOL redraw);
BOOL GetScrollInfo(HWND window, int bar, LPSCROLLINFO info);
int SetScrollPos(HWND window, int bar, int position, BOOL redraw); // returns the previous position
int GetScrollPos(HWND window, int bar);
BOOL SetScrollRange(HWND window, int bar, int minimum, int maximum, BOOL redraw);
BOOL GetScrollRange(HWND window, int bar, int* minimum, int* maximum);
BOOL ShowScrollBar(HWND window, int bar, BOOL show);
BOOL EnableScrollBar(HWND window, UINT bar, UINT arrows);

// ---- the system's control classes: "Button", "Edit", "Static", "ListBox", "ComboBox",
// "ScrollBar" and the dialog class "#32770" exist in every program without registering them.

// ---- button controls ("Button")
constexpr DWORD BS_PUSHBUTTON = 0x0, BS_DEFPUSHBUTTON = 0x1, BS_CHECKBOX = 0x2, BS_AUTOCHECKBOX = 0x3,
                BS_RADIOBUTTON = 0x4, BS_3STATE = 0x5, BS_AUTO3STATE = 0x6, BS_GROUPBOX = 0x7, BS_USERBUTTON = 0x8,
                BS_AUTORADIOBUTTON = 0x9, BS_PUSHBOX = 0xA, BS_OWNERDRAW = 0xB, BS_TYPEMASK = 0xF,
                BS_LEFTTEXT = 0x20, BS_RIGHTBUTTON = BS_LEFTTEXT, BS_TEXT = 0x0, BS_ICON = 0x40, BS_BITMAP = 0x80,
                BS_LEFT = 0x100, BS_RIGHT = 0x200, BS_CENTER = 0x300, BS_TOP = 0x400, BS_BOTTOM = 0x800,
                BS_VCENTER = 0xC00, BS_PUSHLIKE = 0x1000, BS_MULTILINE = 0x2000, BS_NOTIFY = 0x4000, BS_FLAT = 0x8000;
constexpr UINT BM_GETCHECK = 0x00F0, BM_SETCHECK = 0x00F1, BM_GETSTATE = 0x00F2, BM_SETSTATE = 0x00F3,
               BM_SETSTYLE = 0x00F4, BM_CLICK = 0x00F5, BM_GETIMAGE = 0x00F6, BM_SETIMAGE = 0x00F7;
constexpr UINT BST_UNCHECKED = 0x0, BST_CHECKED = 0x1, BST_INDETERMINATE = 0x2, BST_PUSHED = 0x4, BST_FOCUS = 0x8;
// Notifications in the high word of WM_COMMAND's wParam. A double click is reported for radio
// buttons and owner-drawn buttons, and focus changes only by buttons with BS_NOTIFY (which also
// report double clicks).
constexpr UINT BN_CLICKED = 0, BN_DOUBLECLICKED = 5, BN_DBLCLK = BN_DOUBLECLICKED, BN_SETFOCUS = 6, BN_KILLFOCUS = 7;

// ---- edit controls ("Edit")
constexpr DWORD ES_LEFT = 0x0000, ES_CENTER = 0x0001, ES_RIGHT = 0x0002, ES_MULTILINE = 0x0004, ES_UPPERCASE = 0x0008,
                ES_LOWERCASE = 0x0010, ES_PASSWORD = 0x0020, ES_AUTOVSCROLL = 0x0040, ES_AUTOHSCROLL = 0x0080,
                ES_NOHIDESEL = 0x0100, ES_OEMCONVERT = 0x0400, ES_READONLY = 0x0800, ES_WANTRETURN = 0x1000,
                ES_NUMBER = 0x2000;
constexpr UINT EM_GETSEL = 0x00B0, EM_SETSEL = 0x00B1, EM_GETRECT = 0x00B2, EM_SETRECT = 0x00B3, EM_SETRECTNP = 0x00B4,
               EM_SCROLL = 0x00B5, EM_LINESCROLL = 0x00B6, EM_SCROLLCARET = 0x00B7, EM_GETMODIFY = 0x00B8,
               EM_SETMODIFY = 0x00B9, EM_GETLINECOUNT = 0x00BA, EM_LINEINDEX = 0x00BB, EM_LINELENGTH = 0x00C1,
               EM_REPLACESEL = 0x00C2, EM_GETLINE = 0x00C4, EM_LIMITTEXT = 0x00C5, EM_SETLIMITTEXT = 0x00C5,
               EM_CANUNDO = 0x00C6, EM_UNDO = 0x00C7, EM_LINEFROMCHAR = 0x00C9, EM_SETPASSWORDCHAR = 0x00CC,
               EM_EMPTYUNDOBUFFER = 0x00CD, EM_GETFIRSTVISIBLELINE = 0x00CE, EM_SETREADONLY = 0x00CF,
               EM_GETPASSWORDCHAR = 0x00D2, EM_SETMARGINS = 0x00D3, EM_GETMARGINS = 0x00D4, EM_GETLIMITTEXT = 0x00D5,
               EM_POSFROMCHAR = 0x00D6, EM_CHARFROMPOS = 0x00D7;
constexpr WORD EN_SETFOCUS = 0x0100, EN_KILLFOCUS = 0x0200, EN_CHANGE = 0x0300, EN_UPDATE = 0x0400,
               EN_ERRSPACE = 0x0500, EN_MAXTEXT = 0x0501, EN_HSCROLL = 0x0601, EN_VSCROLL = 0x0602;
constexpr WPARAM EC_LEFTMARGIN = 0x1, EC_RIGHTMARGIN = 0x2, EC_USEFONTINFO = 0xFFFF;
// The X PRIMARY selection: what the user last selected in any program, pasted with a middle
// click. Edits publish their selected text here and paste from it.
void SetPrimarySelectionText(const std::wstring& text);
std::wstring GetPrimarySelectionText();

// ---- drag and drop of data: a drag carries data in clipboard formats, windows that take drops
// register a target, and DoDragDrop runs the drag. Where the display has other programs, text
// also goes to and comes from them.
constexpr DWORD DROPEFFECT_NONE = 0, DROPEFFECT_COPY = 1, DROPEFFECT_MOVE = 2, DROPEFFECT_LINK = 4, DROPEFFECT_SCROLL = 0x80000000;
constexpr HRESULT DRAGDROP_S_DROP = 0x00040100, DRAGDROP_S_CANCEL = 0x00040101;

// What a drag carries: bytes by clipboard format (CF_UNICODETEXT: the text and its terminator).
class DragData {
public:
    void Set(UINT format, std::vector<BYTE> bytes) { m_formats[format] = std::move(bytes); }
    void SetText(const std::wstring& text);
    bool Has(UINT format) const { return m_formats.contains(format); }
    const std::vector<BYTE>* Get(UINT format) const;
    // The CF_UNICODETEXT text, up to its terminator; empty when there is none.
    std::wstring Text() const;

private:
    std::map<UINT, std::vector<BYTE>> m_formats;
};

// The side of a window that takes drops. keyState holds the MK_* flags of the buttons and of
// Ctrl and Shift; points are on the screen. effect comes in as the effects the source allows and
// goes out as the one a drop there would have (DROPEFFECT_NONE: refused).
class DropTarget {
public:
    virtual ~DropTarget() = default;
    virtual void DragEnter(const DragData& data, DWORD keyState, POINT screen, DWORD& effect) = 0;
    virtual void DragOver(DWORD keyState, POINT screen, DWORD& effect) = 0;
    virtual void DragLeave() = 0;
    virtual void Drop(const DragData& data, DWORD keyState, POINT screen, DWORD& effect) = 0;
};
// The target must outlive its registration; a window keeps one target.
HRESULT RegisterDragDrop(HWND window, DropTarget* target);
HRESULT RevokeDragDrop(HWND window);
// The drag itself, a modal loop: the target under the pointer (the window's or its nearest
// parent's) hears of it as the pointer moves and the Ctrl and Shift keys change; releasing the
// left button drops, Esc cancels. effect gets what the drop did; DRAGDROP_S_CANCEL (effect
// DROPEFFECT_NONE) when cancelled or refused, DRAGDROP_S_DROP otherwise.
HRESULT DoDragDrop(const DragData& data, DWORD okEffects, DWORD* effect);

// ---- static controls ("Static")
constexpr DWORD SS_LEFT = 0x0, SS_CENTER = 0x1, SS_RIGHT = 0x2, SS_ICON = 0x3, SS_BLACKRECT = 0x4, SS_GRAYRECT = 0x5,
                SS_WHITERECT = 0x6, SS_BLACKFRAME = 0x7, SS_GRAYFRAME = 0x8, SS_WHITEFRAME = 0x9, SS_SIMPLE = 0xB,
                SS_LEFTNOWORDWRAP = 0xC, SS_OWNERDRAW = 0xD, SS_BITMAP = 0xE, SS_ETCHEDHORZ = 0x10,
                SS_ETCHEDVERT = 0x11, SS_ETCHEDFRAME = 0x12, SS_TYPEMASK = 0x1F, SS_NOPREFIX = 0x80,
                SS_NOTIFY = 0x100, SS_CENTERIMAGE = 0x200, SS_SUNKEN = 0x1000, SS_ENDELLIPSIS = 0x4000,
                SS_PATHELLIPSIS = 0x8000, SS_WORDELLIPSIS = 0xC000, SS_ELLIPSISMASK = 0xC000;
constexpr UINT STM_SETICON = 0x0170, STM_GETICON = 0x0171, STM_SETIMAGE = 0x0172, STM_GETIMAGE = 0x0173;
// Notifications in the high word of WM_COMMAND's wParam, sent only by statics with SS_NOTIFY.
constexpr UINT STN_CLICKED = 0, STN_DBLCLK = 1, STN_ENABLE = 2, STN_DISABLE = 3;

// ---- list boxes ("ListBox")
constexpr DWORD LBS_NOTIFY = 0x0001, LBS_SORT = 0x0002, LBS_NOREDRAW = 0x0004, LBS_MULTIPLESEL = 0x0008,
                LBS_OWNERDRAWFIXED = 0x0010, LBS_OWNERDRAWVARIABLE = 0x0020, LBS_HASSTRINGS = 0x0040,
                LBS_USETABSTOPS = 0x0080, LBS_NOINTEGRALHEIGHT = 0x0100, LBS_MULTICOLUMN = 0x0200,
                LBS_WANTKEYBOARDINPUT = 0x0400, LBS_EXTENDEDSEL = 0x0800, LBS_DISABLENOSCROLL = 0x1000,
                LBS_NODATA = 0x2000, LBS_NOSEL = 0x4000, LBS_COMBOBOX = 0x8000,
                LBS_STANDARD = LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER;
constexpr UINT LB_ADDSTRING = 0x0180, LB_INSERTSTRING = 0x0181, LB_DELETESTRING = 0x0182, LB_RESETCONTENT = 0x0184,
               LB_SETSEL = 0x0185, LB_SETCURSEL = 0x0186, LB_GETSEL = 0x0187, LB_GETCURSEL = 0x0188,
               LB_GETTEXT = 0x0189, LB_GETTEXTLEN = 0x018A, LB_GETCOUNT = 0x018B, LB_SELECTSTRING = 0x018C,
               LB_GETTOPINDEX = 0x018E, LB_FINDSTRING = 0x018F, LB_GETSELCOUNT = 0x0190, LB_SETTABSTOPS = 0x0192,
               LB_GETHORIZONTALEXTENT = 0x0193, LB_SETHORIZONTALEXTENT = 0x0194, LB_SETTOPINDEX = 0x0197,
               LB_GETITEMRECT = 0x0198, LB_GETITEMDATA = 0x0199, LB_SETITEMDATA = 0x019A, LB_SETCARETINDEX = 0x019E,
               LB_GETCARETINDEX = 0x019F, LB_SETITEMHEIGHT = 0x01A0, LB_GETITEMHEIGHT = 0x01A1,
               LB_FINDSTRINGEXACT = 0x01A2, LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_OKAY = 0, LB_ERR = -1, LB_ERRSPACE = -2;
constexpr WORD LBN_SELCHANGE = 1, LBN_DBLCLK = 2, LBN_SELCANCEL = 3, LBN_SETFOCUS = 4, LBN_KILLFOCUS = 5;
constexpr WORD LBN_ERRSPACE = static_cast<WORD>(-2);
// Sent to the parent of an LBS_WANTKEYBOARDINPUT list box: wParam (key or character, caret item),
// lParam the list box; the answer is an item to go to, -1 for the list's own handling, -2 for none.
constexpr UINT WM_VKEYTOITEM = 0x002E, WM_CHARTOITEM = 0x002F;

// ---- combo boxes ("ComboBox")
constexpr DWORD CBS_SIMPLE = 0x0001, CBS_DROPDOWN = 0x0002, CBS_DROPDOWNLIST = 0x0003, CBS_OWNERDRAWFIXED = 0x0010,
                CBS_OWNERDRAWVARIABLE = 0x0020, CBS_AUTOHSCROLL = 0x0040, CBS_OEMCONVERT = 0x0080, CBS_SORT = 0x0100,
                CBS_HASSTRINGS = 0x0200, CBS_NOINTEGRALHEIGHT = 0x0400, CBS_DISABLENOSCROLL = 0x0800,
                CBS_UPPERCASE = 0x2000, CBS_LOWERCASE = 0x4000;
constexpr UINT CB_GETEDITSEL = 0x0140, CB_LIMITTEXT = 0x0141, CB_SETEDITSEL = 0x0142, CB_ADDSTRING = 0x0143,
               CB_DELETESTRING = 0x0144, CB_GETCOUNT = 0x0146, CB_GETCURSEL = 0x0147, CB_GETLBTEXT = 0x0148,
               CB_GETLBTEXTLEN = 0x0149, CB_INSERTSTRING = 0x014A, CB_RESETCONTENT = 0x014B, CB_FINDSTRING = 0x014C,
               CB_SELECTSTRING = 0x014D, CB_SETCURSEL = 0x014E, CB_SHOWDROPDOWN = 0x014F, CB_GETITEMDATA = 0x0150,
               CB_SETITEMDATA = 0x0151, CB_GETDROPPEDCONTROLRECT = 0x0152, CB_SETITEMHEIGHT = 0x0153,
               CB_GETITEMHEIGHT = 0x0154, CB_GETDROPPEDSTATE = 0x0157, CB_FINDSTRINGEXACT = 0x0158,
               CB_GETTOPINDEX = 0x015B, CB_SETTOPINDEX = 0x015C, CB_GETHORIZONTALEXTENT = 0x015D,
               CB_SETHORIZONTALEXTENT = 0x015E, CB_GETDROPPEDWIDTH = 0x015F, CB_SETDROPPEDWIDTH = 0x0160;
constexpr LRESULT CB_OKAY = 0, CB_ERR = -1, CB_ERRSPACE = -2;
constexpr WORD CBN_SELCHANGE = 1, CBN_DBLCLK = 2, CBN_SETFOCUS = 3, CBN_KILLFOCUS = 4, CBN_EDITCHANGE = 5,
               CBN_EDITUPDATE = 6, CBN_DROPDOWN = 7, CBN_CLOSEUP = 8, CBN_SELENDOK = 9, CBN_SELENDCANCEL = 10;
constexpr WORD CBN_ERRSPACE = static_cast<WORD>(-1);
constexpr UINT ODS_COMBOBOXEDIT = 0x1000; // an owner-drawn combo box's selection field

// ---- scroll-bar controls ("ScrollBar")
constexpr DWORD SBS_HORZ = 0x0000, SBS_VERT = 0x0001, SBS_TOPALIGN = 0x0002, SBS_LEFTALIGN = 0x0002,
                SBS_BOTTOMALIGN = 0x0004, SBS_RIGHTALIGN = 0x0004, SBS_SIZEBOXTOPLEFTALIGN = 0x0002,
                SBS_SIZEBOXBOTTOMRIGHTALIGN = 0x0004, SBS_SIZEBOX = 0x0008, SBS_SIZEGRIP = 0x0010;
// The scroll-bar functions with SB_CTL send these to the control.
constexpr UINT SBM_SETPOS = 0x00E0, SBM_GETPOS = 0x00E1, SBM_SETRANGE = 0x00E2, SBM_GETRANGE = 0x00E3,
               SBM_ENABLE_ARROWS = 0x00E4, SBM_SETRANGEREDRAW = 0x00E6, SBM_SETSCROLLINFO = 0x00E9,
               SBM_GETSCROLLINFO = 0x00EA;

// ---- MDI
// A frame's client window of the class "MDICLIENT" holds the documents' child windows. It is made
// with a CLIENTCREATESTRUCT: the menu that lists the children, and the command id of the first.
struct CLIENTCREATESTRUCT {
    HMENU hWindowMenu;
    UINT idFirstChild;
};
struct MDICREATESTRUCTW {
    LPCWSTR szClass;
    LPCWSTR szTitle;
    HANDLE hOwner;
    int x;
    int y;
    int cx;
    int cy;
    DWORD style;
    LPARAM lParam;
};
using MDICREATESTRUCT = MDICREATESTRUCTW;
// Client style: children keep exactly the styles they are given.
constexpr DWORD MDIS_ALLCHILDSTYLES = 0x0001;
constexpr WPARAM MDITILE_VERTICAL = 0x0000, MDITILE_HORIZONTAL = 0x0001, MDITILE_SKIPDISABLED = 0x0002,
                 MDITILE_ZORDER = 0x0004;
// Bitmap items of a frame's menu bar while a child is maximised: the child's icon opening its
// system menu (the item data names the child), and its minimise, restore and close buttons.
#define HBMMENU_SYSTEM (reinterpret_cast<HBITMAP>(1))
#define HBMMENU_MBAR_RESTORE (reinterpret_cast<HBITMAP>(2))
#define HBMMENU_MBAR_MINIMIZE (reinterpret_cast<HBITMAP>(3))
#define HBMMENU_MBAR_CLOSE (reinterpret_cast<HBITMAP>(5))
HWND CreateMDIWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
    HWND client, HINSTANCE instance, LPARAM param);
LRESULT DefFrameProcW(HWND frame, HWND client, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefMDIChildProcW(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
// Ctrl+F4 closes the active child, Ctrl+F6 and Ctrl+Tab go to the next (with Shift, the previous)
// and Alt+- opens its system menu; TRUE when the key was one of them.
BOOL TranslateMDISysAccel(HWND client, LPMSG message);
inline LRESULT DefFrameProc(HWND f, HWND c, UINT m, WPARAM wp, LPARAM lp) { return DefFrameProcW(f, c, m, wp, lp); }
inline LRESULT DefMDIChildProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefMDIChildProcW(w, m, wp, lp); }

// ---- dialogs and the dialog manager
// WM_GETDLGCODE answers: which keys a control takes from the dialog manager, and what kind it is.
constexpr UINT DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4, DLGC_WANTMESSAGE = 0x4,
               DLGC_HASSETSEL = 0x8, DLGC_DEFPUSHBUTTON = 0x10, DLGC_UNDEFPUSHBUTTON = 0x20,
               DLGC_RADIOBUTTON = 0x40, DLGC_WANTCHARS = 0x80, DLGC_STATIC = 0x100, DLGC_BUTTON = 0x2000;
// The default push button of a dialog: DM_GETDEFID answers MAKELRESULT(id, DC_HASDEFID).
constexpr UINT DM_GETDEFID = WM_USER + 0, DM_SETDEFID = WM_USER + 1;
constexpr WORD DC_HASDEFID = 0x534B;
// Dialog styles (the low word of a dialog template's style).
constexpr DWORD DS_ABSALIGN = 0x01, DS_SYSMODAL = 0x02, DS_3DLOOK = 0x04, DS_FIXEDSYS = 0x08,
                DS_NOFAILCREATE = 0x10, DS_LOCALEDIT = 0x20, DS_SETFONT = 0x40, DS_MODALFRAME = 0x80,
                DS_NOIDLEMSG = 0x100, DS_SETFOREGROUND = 0x200, DS_CONTROL = 0x400, DS_CENTER = 0x800,
                DS_CENTERMOUSE = 0x1000, DS_CONTEXTHELP = 0x2000, DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;
constexpr int IDCLOSE = 8, IDHELP = 9;
// The dialog class "#32770" keeps these in its window extra bytes; a dialog class of one's own
// registers cbWndExtra = DLGWINDOWEXTRA and calls DefDlgProcW.
constexpr int DLGWINDOWEXTRA = 30;
constexpr int DWLP_MSGRESULT = 0, DWLP_DLGPROC = 8, DWLP_USER = 16;

#pragma pack(push, 2)
// In-memory templates have the layout of dialog resources, texts in UTF-16: a DLGTEMPLATE (or a
// DLGTEMPLATEEX, which starts with version 1 and 0xFFFF) followed by the menu, class, title and font.
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
};
struct DLGITEMTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
};
#pragma pack(pop)
using LPCDLGTEMPLATEW = const DLGTEMPLATE*;
using LPCDLGTEMPLATE = LPCDLGTEMPLATEW;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// Modeless: the dialog, after WM_INITDIALOG (shown when its template says WS_VISIBLE), or null.
HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC procedure, LPARAM initParam);
HWND CreateDialogIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND parent, DLGPROC procedure, LPARAM initParam);
// Modal: runs the dialog with its owner disabled until EndDialog; returns EndDialog's result, or
// -1 when the dialog could not be made. The loop calls the SetModalLoopHook test hook when it waits.
INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND parent, DLGPROC procedure, LPARAM initParam);
INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND parent, DLGPROC procedure, LPARAM initParam);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Dialog units to pixels with the dialog's font: x * baseX / 4, y * baseY / 8.
BOOL MapDialogRect(HWND dialog, LPRECT rect);
// Sends the control messages of dialog-init data (RT_DLGINIT, as a dialog class runs it at the
// start of its initialisation): strings go to list and combo boxes. FALSE for damaged data or a
// missing control; resources without such data succeed.
BOOL ExecuteDialogInit(HWND dialog, const void* data, DWORD size);
BOOL ExecuteDialogInitResource(HWND dialog, HINSTANCE instance, LPCWSTR templateName);

// Keyboard navigation: TRUE when the message was meant for the dialog and has been handled.
BOOL IsDialogMessageW(HWND dialog, LPMSG message);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
UINT GetDlgItemTextW(HWND dialog, int id, LPWSTR buffer, int bufferLength);
BOOL SetDlgItemTextW(HWND dialog, int id, LPCWSTR text);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);

// ---- help: F1 sends WM_HELP (lParam a HELPINFO) to the focused window, and unhandled it goes up
// to the parent or owner. There is no help viewer: WinHelp fails, and the first request of the
// session tells the user that the help file cannot be found.
constexpr int HELPINFO_WINDOW = 1, HELPINFO_MENUITEM = 2;
struct HELPINFO {
    UINT cbSize;
    int iContextType;
    int iCtrlId;
    HANDLE hItemHandle;
    DWORD_PTR dwContextId;
    POINT MousePos;
};
using LPHELPINFO = HELPINFO*;
constexpr UINT HELP_CONTEXT = 0x0001, HELP_QUIT = 0x0002, HELP_INDEX = 0x0003, HELP_CONTENTS = 0x0003,
               HELP_HELPONHELP = 0x0004, HELP_CONTEXTPOPUP = 0x0008, HELP_FINDER = 0x000B,
               HELP_CONTEXTMENU = 0x000A, HELP_WM_HELP = 0x000C;
BOOL WinHelpW(HWND window, LPCWSTR helpFile, UINT command, ULONG_PTR data);
// Tests see the requests instead: (window, file, command, data) -> the answer.
using HelpViewer = std::function<BOOL(HWND, LPCWSTR, UINT, ULONG_PTR)>;
HelpViewer SetHelpViewer(HelpViewer viewer);

// ---- the names without the W, as the program's code writes them
inline LRESULT SendMessage(HWND w, UINT m, WPARAM wp, LPARAM lp) { return SendMessageW(w, m, wp, lp); }
inline BOOL PostMessage(HWND w, UINT m, WPARAM wp, LPARAM lp) { return PostMessageW(w, m, wp, lp); }
inline BOOL PeekMessage(LPMSG msg, HWND w, UINT lo, UINT hi, UINT remove) { return PeekMessageW(msg, w, lo, hi, remove); }
inline BOOL GetMessage(LPMSG msg, HWND w, UINT lo, UINT hi) { return GetMessageW(msg, w, lo, hi); }
inline LRESULT DispatchMessage(const MSG* msg) { return DispatchMessageW(msg); }
inline LRESULT DefWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }
inline LRESULT CallWindowProc(WNDPROC p, HWND w, UINT m, WPARAM wp, LPARAM lp) { return CallWindowProcW(p, w, m, wp, lp); }
inline UINT RegisterWindowMessage(LPCWSTR name) { return RegisterWindowMessageW(name); }
inline BOOL SetWindowText(HWND w, LPCWSTR text) { return SetWindowTextW(w, text); }
inline int GetWindowText(HWND w, LPWSTR text, int length) { return GetWindowTextW(w, text, length); }
inline LONG_PTR GetWindowLongPtr(HWND w, int index) { return GetWindowLongPtrW(w, index); }
inline LONG_PTR SetWindowLongPtr(HWND w, int index, LONG_PTR value) { return SetWindowLongPtrW(w, index, value); }
inline LONG GetWindowLong(HWND w, int index) { return GetWindowLongW(w, index); }
inline LONG SetWindowLong(HWND w, int index, LONG value) { return SetWindowLongW(w, index, value); }
inline DWORD SetClassLong(HWND w, int index, LONG value) { return static_cast<DWORD>(SetClassLongPtrW(w, index, value)); }
inline DWORD GetClassLong(HWND w, int index) { return static_cast<DWORD>(GetClassLongPtrW(w, index)); }
inline BOOL GetClassInfo(HINSTANCE instance, LPCWSTR name, WNDCLASSW* info) { return GetClassInfoW(instance, name, info); }
inline BOOL GetClassInfoEx(HINSTANCE instance, LPCWSTR name, WNDCLASSEXW* info) { return GetClassInfoExW(instance, name, info); }
inline ATOM RegisterClass(const WNDCLASSW* info) { return RegisterClassW(info); }
inline ATOM RegisterClassEx(const WNDCLASSEXW* info) { return RegisterClassExW(info); }
inline HWND CreateWindowEx(DWORD ex, LPCWSTR cls, LPCWSTR name, DWORD style, int x, int y, int cx, int cy, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    return CreateWindowExW(ex, cls, name, style, x, y, cx, cy, parent, menu, instance, param);
}
inline HWND FindWindow(LPCWSTR cls, LPCWSTR name) { return FindWindowW(cls, name); }
inline HCURSOR LoadCursor(HINSTANCE instance, LPCWSTR name) { return LoadCursorW(instance, name); }
inline BOOL SystemParametersInfo(UINT action, UINT ui, PVOID pv, UINT ini) { return SystemParametersInfoW(action, ui, pv, ini); }
inline BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) { return GetMonitorInfoW(monitor, info); }
inline int MessageBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) { return MessageBoxW(owner, text, caption, type); }
inline BOOL AppendMenu(HMENU m, UINT flags, UINT_PTR id, LPCWSTR text) { return AppendMenuW(m, flags, id, text); }
inline BOOL InsertMenu(HMENU m, UINT pos, UINT flags, UINT_PTR id, LPCWSTR text) { return InsertMenuW(m, pos, flags, id, text); }
inline BOOL ModifyMenu(HMENU m, UINT pos, UINT flags, UINT_PTR id, LPCWSTR text) { return ModifyMenuW(m, pos, flags, id, text); }
inline BOOL GetMenuItemInfo(HMENU m, UINT item, BOOL byPos, MENUITEMINFOW* info) { return GetMenuItemInfoW(m, item, byPos, info); }
inline BOOL SetMenuItemInfo(HMENU m, UINT item, BOOL byPos, const MENUITEMINFOW* info) { return SetMenuItemInfoW(m, item, byPos, info); }
inline BOOL InsertMenuItem(HMENU m, UINT item, BOOL byPos, const MENUITEMINFOW* info) { return InsertMenuItemW(m, item, byPos, info); }
inline int GetMenuString(HMENU m, UINT item, LPWSTR text, int length, UINT flags) { return GetMenuStringW(m, item, text, length, flags); }
inline int CopyAcceleratorTable(HACCEL table, ACCEL* entries, int count) { return CopyAcceleratorTableW(table, entries, count); }
inline HACCEL CreateAcceleratorTable(const ACCEL* entries, int count) { return CreateAcceleratorTableW(entries, count); }
inline int TranslateAccelerator(HWND w, HACCEL table, LPMSG msg) { return TranslateAcceleratorW(w, table, msg); }
inline BOOL SetProp(HWND w, LPCWSTR name, HANDLE data) { return SetPropW(w, name, data); }
inline HANDLE GetProp(HWND w, LPCWSTR name) { return GetPropW(w, name); }
inline HANDLE RemoveProp(HWND w, LPCWSTR name) { return RemovePropW(w, name); }
inline HHOOK SetWindowsHookEx(int type, HOOKPROC proc, HINSTANCE module, DWORD thread) { return SetWindowsHookExW(type, proc, module, thread); }
inline UINT RegisterClipboardFormat(LPCWSTR name) { return RegisterClipboardFormatW(name); }
inline BOOL WinHelp(HWND w, LPCWSTR file, UINT command, ULONG_PTR data) { return WinHelpW(w, file, command, data); }

inline HWND CreateDialogParam(HINSTANCE i, LPCWSTR name, HWND parent, DLGPROC proc, LPARAM param) { return CreateDialogParamW(i, name, parent, proc, param); }
inline HWND CreateDialogIndirectParam(HINSTANCE i, LPCDLGTEMPLATE t, HWND parent, DLGPROC proc, LPARAM param) { return CreateDialogIndirectParamW(i, t, parent, proc, param); }
inline INT_PTR DialogBoxParam(HINSTANCE i, LPCWSTR name, HWND parent, DLGPROC proc, LPARAM param) { return DialogBoxParamW(i, name, parent, proc, param); }
inline INT_PTR DialogBoxIndirectParam(HINSTANCE i, LPCDLGTEMPLATE t, HWND parent, DLGPROC proc, LPARAM param) { return DialogBoxIndirectParamW(i, t, parent, proc, param); }
inline LRESULT DefDlgProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefDlgProcW(w, m, wp, lp); }
inline BOOL IsDialogMessage(HWND w, LPMSG msg) { return IsDialogMessageW(w, msg); }
inline UINT GetDlgItemText(HWND w, int id, LPWSTR text, int length) { return GetDlgItemTextW(w, id, text, length); }
inline BOOL SetDlgItemText(HWND w, int id, LPCWSTR text) { return SetDlgItemTextW(w, id, text); }
inline LRESULT SendDlgItemMessage(HWND w, int id, UINT m, WPARAM wp, LPARAM lp) { return SendDlgItemMessageW(w, id, m, wp, lp); }

// ---- visual styles: there are none, so every control draws its classic look
HTHEME OpenThemeData(HWND window, LPCWSTR classList);
HRESULT CloseThemeData(HTHEME theme);
BOOL IsThemeActive();
BOOL IsAppThemed();
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int length, DWORD flags, DWORD flags2, const RECT* rect);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color);
HRESULT SetWindowTheme(HWND window, LPCWSTR appName, LPCWSTR idList);
