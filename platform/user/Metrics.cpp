// System metrics and settings of the classic look, monitors and work areas, the caret, and
// the visual-style functions, which fail: there are no visual styles.

#include "platform/user/InputMethod.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/WindowTree.h"
#include "platform/gdi/FontRendering.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"
#include "platform/base/MulDiv.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

namespace fln::user {
namespace {

struct Settings {
    bool tooltipAnimation = true;
    bool tooltipFade = true;
    bool menuAnimation = true;
    bool menuFade = true;
    bool dropShadow = true;
    bool hotTracking = true;
    bool uiEffects = true;
    bool dragFullWindows = true;
    bool keyboardCues = false;
    int hoverWidth = 4;
    int hoverHeight = 4;
    int hoverTime = 400;
    int wheelLines = 3;
    bool workAreaSet = false;
    RECT workArea {};
};

Settings& CurrentSettings()
{
    static Settings settings;
    return settings;
}

std::vector<MonitorArea> Monitors()
{
    auto monitors = CurrentDisplay().Monitors();
    Settings& settings = CurrentSettings();
    if (settings.workAreaSet && !monitors.empty())
        monitors.front().workArea = settings.workArea;
    // The work area comes from the window manager (or any client that sets the root's property):
    // only its part on the monitor counts, and none there leaves the whole monitor.
    for (MonitorArea& monitor : monitors) {
        RECT onMonitor;
        if (!IntersectRect(&onMonitor, &monitor.workArea, &monitor.bounds))
            onMonitor = monitor.bounds;
        monitor.workArea = onMonitor;
    }
    return monitors;
}

// The primary screen, its work area and the box around every screen.
struct ScreenAreas {
    RECT primary;
    RECT work;
    RECT virtualScreen;
    int count;

    static ScreenAreas Current()
    {
        auto monitors = Monitors();
        RECT primary = monitors.empty() ? RECT { 0, 0, 1280, 1024 } : monitors.front().bounds;
        ScreenAreas areas { primary, monitors.empty() ? primary : monitors.front().workArea, primary, static_cast<int>(monitors.size()) };
        for (const auto& monitor : monitors)
            UnionRect(&areas.virtualScreen, &areas.virtualScreen, &monitor.bounds);
        return areas;
    }
};

// Monitor handles are the monitor's index + 1.
HMONITOR MonitorHandle(size_t index)
{
    return reinterpret_cast<HMONITOR>(index + 1);
}

// A size at 96 DPI on the screen's DPI: fonts, captions, menus, scroll bars and icons grow with
// it; one-pixel lines and frames stay as they are.
int Scaled(int pixels)
{
    return MulDiv(pixels, fln::gdi::CurrentFontRendering().dpi, 96);
}

// The interface fonts, sized at 96 DPI.
LOGFONTW UiFont(LONG height, LONG weight, const wchar_t* face)
{
    LOGFONTW font {};
    font.lfHeight = Scaled(height);
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    std::wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return font;
}

// In floating point: the distance across the whole coordinate range does not fit a square in 64 bits.
double DistanceSquared(const RECT& r, POINT p)
{
    const std::int64_t x = p.x, y = p.y;
    const double dx = static_cast<double>(x < r.left ? r.left - x : x >= r.right ? x - r.right + 1 : 0);
    const double dy = static_cast<double>(y < r.top ? r.top - y : y >= r.bottom ? y - r.bottom + 1 : 0);
    return dx * dx + dy * dy;
}

struct CaretState {
    HWND window = nullptr;
    int width = 0;
    int height = 0;
    POINT position {};
    int hideCount = 1;
    bool drawn = false;
    bool grey = false; // made with the bitmap handle 1: every other pixel, as a checkerboard
};

CaretState& Caret()
{
    static CaretState caret;
    return caret;
}

// The caret is drawn by inverting its rectangle; drawing it twice removes it.
void ToggleCaretPixels()
{
    CaretState& caret = Caret();
    if (!IsWindow(caret.window))
        return;
    RECT r { caret.position.x, caret.position.y, caret.position.x + caret.width, caret.position.y + caret.height };
    // A DC limited to the caret, so that only its few pixels go to the screen.
    POINT screen { r.left, r.top };
    ClientToScreen(caret.window, &screen);
    HRGN area = CreateRectRgn(screen.x, screen.y, screen.x + caret.width, screen.y + caret.height);
    HDC dc = GetDCEx(caret.window, area, DCX_INTERSECTRGN);
    if (caret.grey) {
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left + ((r.left + y) & 1); x < r.right; x += 2) {
                RECT pixel { x, y, x + 1, y + 1 };
                InvertRect(dc, &pixel);
            }
        }
    } else {
        InvertRect(dc, &r);
    }
    ReleaseDC(caret.window, dc);
    DeleteObject(area);
    caret.drawn = !caret.drawn;
}

} // namespace
} // namespace fln::user

using namespace fln::user;

int GetSystemMetrics(int index)
{
    // Asking the display for its screens costs a round trip to the server: only the metrics
    // that depend on them ask.
    std::optional<ScreenAreas> screens;
    auto screen = [&]() -> const ScreenAreas& {
        if (!screens)
            screens = ScreenAreas::Current();
        return *screens;
    };
    switch (index) {
    case SM_CXSCREEN: return screen().primary.right - screen().primary.left;
    case SM_CYSCREEN: return screen().primary.bottom - screen().primary.top;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL:
    case SM_CYVTHUMB: case SM_CXHTHUMB: return Scaled(16);
    case SM_CYCAPTION: return Scaled(19);
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME: case SM_CYDLGFRAME: return 3;
    case SM_CXICON: case SM_CYICON: return Scaled(32);
    case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CYMENU: return Scaled(19);
    case SM_CXFULLSCREEN: return screen().work.right - screen().work.left;
    case SM_CYFULLSCREEN: return screen().work.bottom - screen().work.top - Scaled(19);
    case SM_SWAPBUTTON: return 0;
    case SM_CXMIN: return Scaled(112);
    case SM_CYMIN: return Scaled(27);
    case SM_CXSIZE: case SM_CYSIZE: return Scaled(18);
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXMINTRACK: return Scaled(112);
    case SM_CYMINTRACK: return Scaled(27);
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CXICONSPACING: case SM_CYICONSPACING: return Scaled(75);
    case SM_MENUDROPALIGNMENT: return 0;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXSMICON: case SM_CYSMICON: return Scaled(16);
    case SM_CYSMCAPTION: return Scaled(15);
    case SM_CXSMSIZE: case SM_CYSMSIZE: return Scaled(15);
    case SM_CXMENUSIZE: case SM_CYMENUSIZE: return Scaled(18);
    case SM_CXMINIMIZED: return Scaled(160);
    case SM_CYMINIMIZED: return Scaled(24);
    case SM_CXMAXTRACK: return screen().virtualScreen.right - screen().virtualScreen.left + 12;
    case SM_CYMAXTRACK: return screen().virtualScreen.bottom - screen().virtualScreen.top + 12;
    case SM_CXMAXIMIZED: return screen().work.right - screen().work.left;
    case SM_CYMAXIMIZED: return screen().work.bottom - screen().work.top;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return Scaled(13);
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_XVIRTUALSCREEN: return screen().virtualScreen.left;
    case SM_YVIRTUALSCREEN: return screen().virtualScreen.top;
    case SM_CXVIRTUALSCREEN: return screen().virtualScreen.right - screen().virtualScreen.left;
    case SM_CYVIRTUALSCREEN: return screen().virtualScreen.bottom - screen().virtualScreen.top;
    case SM_CMONITORS: return screen().count;
    case SM_CXFOCUSBORDER: case SM_CYFOCUSBORDER: return 1;
    }
    return 0;
}

LONG GetDialogBaseUnits()
{
    return MAKELONG(Scaled(8), Scaled(16));
}

namespace {
BOOL ChangeSetting(UINT action, UINT uiParam, PVOID pvParam);
}

BOOL SystemParametersInfoW(UINT action, UINT uiParam, PVOID pvParam, UINT winIni)
{
    // Changes are told to every top-level window when the caller asks for it.
    bool isChange = action == SPI_SETWORKAREA || action == SPI_SETTOOLTIPANIMATION || action == SPI_SETTOOLTIPFADE;
    BOOL done = ChangeSetting(action, uiParam, pvParam);
    if (done && isChange && (winIni & SPIF_SENDCHANGE))
        SendMessageW(HWND_BROADCAST, WM_SETTINGCHANGE, action, 0);
    return done;
}

namespace {
BOOL ChangeSetting(UINT action, UINT uiParam, PVOID pvParam)
{
    Settings& settings = CurrentSettings();
    auto setBool = [&](bool& value) { value = pvParam != nullptr; return TRUE; };
    auto getBool = [&](bool value) {
        if (!pvParam)
            return FALSE;
        *static_cast<BOOL*>(pvParam) = value ? TRUE : FALSE;
        return TRUE;
    };
    auto getInt = [&](int value) {
        if (!pvParam)
            return FALSE;
        *static_cast<UINT*>(pvParam) = static_cast<UINT>(value);
        return TRUE;
    };
    switch (action) {
    case SPI_GETWORKAREA: {
        if (!pvParam)
            return FALSE;
        auto monitors = Monitors();
        *static_cast<RECT*>(pvParam) = monitors.empty() ? RECT { 0, 0, 1280, 1024 } : monitors.front().workArea;
        return TRUE;
    }
    case SPI_SETWORKAREA:
        if (pvParam) {
            settings.workArea = *static_cast<const RECT*>(pvParam);
            settings.workAreaSet = true;
        } else {
            settings.workAreaSet = false;
        }
        return TRUE;
    case SPI_GETNONCLIENTMETRICS: {
        auto* metrics = static_cast<NONCLIENTMETRICSW*>(pvParam);
        if (!metrics || metrics->cbSize != sizeof(NONCLIENTMETRICSW))
            return FALSE;
        metrics->iBorderWidth = 1;
        metrics->iScrollWidth = metrics->iScrollHeight = Scaled(16);
        metrics->iCaptionWidth = metrics->iCaptionHeight = Scaled(18);
        metrics->lfCaptionFont = UiFont(-11, FW_BOLD, L"Tahoma");
        metrics->iSmCaptionWidth = Scaled(12);
        metrics->iSmCaptionHeight = Scaled(15);
        metrics->lfSmCaptionFont = UiFont(-11, FW_BOLD, L"Tahoma");
        metrics->iMenuWidth = metrics->iMenuHeight = Scaled(18);
        metrics->lfMenuFont = UiFont(-11, FW_NORMAL, L"Tahoma");
        metrics->lfStatusFont = UiFont(-11, FW_NORMAL, L"Tahoma");
        metrics->lfMessageFont = UiFont(-11, FW_NORMAL, L"Tahoma");
        return TRUE;
    }
    case SPI_GETICONTITLELOGFONT:
        if (!pvParam)
            return FALSE;
        *static_cast<LOGFONTW*>(pvParam) = UiFont(-11, FW_NORMAL, L"Tahoma");
        return TRUE;
    case SPI_GETTOOLTIPANIMATION: return getBool(settings.tooltipAnimation);
    case SPI_SETTOOLTIPANIMATION: return setBool(settings.tooltipAnimation);
    case SPI_GETTOOLTIPFADE: return getBool(settings.tooltipFade);
    case SPI_SETTOOLTIPFADE: return setBool(settings.tooltipFade);
    case SPI_GETMENUANIMATION: return getBool(settings.menuAnimation);
    case SPI_GETMENUFADE: return getBool(settings.menuFade);
    case SPI_GETDROPSHADOW: return getBool(settings.dropShadow);
    case SPI_GETHOTTRACKING: return getBool(settings.hotTracking);
    case SPI_GETUIEFFECTS: return getBool(settings.uiEffects);
    case SPI_GETDRAGFULLWINDOWS: return getBool(settings.dragFullWindows);
    case SPI_GETKEYBOARDCUES: return getBool(settings.keyboardCues);
    case SPI_GETGRADIENTCAPTIONS: return getBool(true);
    case SPI_GETFLATMENU: return getBool(false);
    case SPI_GETHIGHCONTRAST: return FALSE;
    case SPI_GETSCREENREADER: return getBool(false);
    case SPI_GETFONTSMOOTHING: return getBool(fln::gdi::CurrentFontRendering().antialias);
    case SPI_GETCOMBOBOXANIMATION: case SPI_GETLISTBOXSMOOTHSCROLLING: case SPI_GETSELECTIONFADE:
    case SPI_GETCURSORSHADOW: return getBool(false);
    case SPI_GETMOUSEHOVERWIDTH: return getInt(settings.hoverWidth);
    case SPI_GETMOUSEHOVERHEIGHT: return getInt(settings.hoverHeight);
    case SPI_GETMOUSEHOVERTIME: return getInt(settings.hoverTime);
    case SPI_GETWHEELSCROLLLINES: return getInt(settings.wheelLines);
    case SPI_GETKEYBOARDDELAY: return getInt(1);
    case SPI_GETKEYBOARDSPEED: return getInt(31);
    case SPI_GETCARETWIDTH: return getInt(1);
    case SPI_GETBORDER: return getInt(1);
    case SPI_ICONHORIZONTALSPACING: case SPI_ICONVERTICALSPACING: return getInt(75);
    case SPI_GETMENUDROPALIGNMENT: return getBool(false);
    case SPI_GETBEEP: return getBool(true);
    }
    (void)uiParam;
    return FALSE;
}
} // namespace

HMONITOR MonitorFromPoint(POINT point, DWORD flags)
{
    auto monitors = Monitors();
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (PtInRect(&monitors[i].bounds, point))
            return MonitorHandle(i);
    }
    if (flags == MONITOR_DEFAULTTONULL || monitors.empty())
        return nullptr;
    if (flags == MONITOR_DEFAULTTOPRIMARY)
        return MonitorHandle(0);
    size_t nearest = 0;
    for (size_t i = 1; i < monitors.size(); ++i) {
        if (DistanceSquared(monitors[i].bounds, point) < DistanceSquared(monitors[nearest].bounds, point))
            nearest = i;
    }
    return MonitorHandle(nearest);
}

HMONITOR MonitorFromRect(const RECT* rect, DWORD flags)
{
    if (!rect)
        return nullptr;
    auto monitors = Monitors();
    long bestArea = 0;
    HMONITOR best = nullptr;
    for (size_t i = 0; i < monitors.size(); ++i) {
        RECT overlap;
        if (IntersectRect(&overlap, rect, &monitors[i].bounds)) {
            long area = static_cast<long>(overlap.right - overlap.left) * (overlap.bottom - overlap.top);
            if (area > bestArea)
                bestArea = area, best = MonitorHandle(i);
        }
    }
    if (best)
        return best;
    return MonitorFromPoint(CentreOf(*rect), flags);
}

HMONITOR MonitorFromWindow(HWND window, DWORD flags)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorHandle(0);
    return MonitorFromRect(&rect, flags);
}

BOOL GetMonitorInfoW(HMONITOR monitor, MONITORINFO* info)
{
    auto monitors = Monitors();
    auto index = reinterpret_cast<size_t>(monitor);
    if (!info || index == 0 || index > monitors.size())
        return FALSE;
    if (info->cbSize != sizeof(MONITORINFO) && info->cbSize != sizeof(MONITORINFOEXW))
        return FALSE;
    const MonitorArea& area = monitors[index - 1];
    info->rcMonitor = area.bounds;
    info->rcWork = area.workArea;
    info->dwFlags = area.primary ? MONITORINFOF_PRIMARY : 0;
    if (info->cbSize == sizeof(MONITORINFOEXW)) {
        std::wstring name = L"\\\\.\\DISPLAY" + std::to_wstring(index);
        std::wcsncpy(static_cast<MONITORINFOEXW*>(info)->szDevice, name.c_str(), 31);
    }
    return TRUE;
}

BOOL EnumDisplayMonitors(HDC, const RECT* clip, MONITORENUMPROC callback, LPARAM data)
{
    if (!callback)
        return FALSE;
    auto monitors = Monitors();
    for (size_t i = 0; i < monitors.size(); ++i) {
        RECT r = monitors[i].bounds;
        if (clip && !IntersectRect(&r, &r, clip))
            continue;
        if (!callback(MonitorHandle(i), nullptr, &r, data))
            break;
    }
    return TRUE;
}

namespace {
MessageBeepHook& BeepHook()
{
    static MessageBeepHook hook;
    return hook;
}
}

MessageBeepHook SetMessageBeepHook(MessageBeepHook hook)
{
    return std::exchange(BeepHook(), std::move(hook));
}

BOOL MessageBeep(UINT type)
{
    if (BeepHook())
        BeepHook()(type);
    return TRUE;
}

BOOL CreateCaret(HWND window, HBITMAP bitmap, int width, int height)
{
    if (!IsWindow(window))
        return FALSE;
    DestroyCaret();
    CaretState& caret = Caret();
    caret.window = window;
    caret.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
    caret.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
    if (bitmap && reinterpret_cast<ULONG_PTR>(bitmap) > 1) {
        BITMAP info {};
        if (GetObjectW(bitmap, sizeof info, &info))
            caret.width = info.bmWidth, caret.height = info.bmHeight;
    }
    caret.position = {};
    caret.hideCount = 1;
    caret.drawn = false;
    caret.grey = reinterpret_cast<ULONG_PTR>(bitmap) == 1;
    return TRUE;
}

BOOL DestroyCaret()
{
    CaretState& caret = Caret();
    if (!caret.window)
        return FALSE;
    if (caret.drawn)
        ToggleCaretPixels();
    caret = CaretState {};
    return TRUE;
}

BOOL ShowCaret(HWND window)
{
    CaretState& caret = Caret();
    if (!caret.window || (window && window != caret.window) || caret.hideCount == 0)
        return FALSE;
    if (--caret.hideCount == 0 && !caret.drawn)
        ToggleCaretPixels();
    return TRUE;
}

BOOL HideCaret(HWND window)
{
    CaretState& caret = Caret();
    if (!caret.window || (window && window != caret.window))
        return FALSE;
    if (caret.hideCount++ == 0 && caret.drawn)
        ToggleCaretPixels();
    return TRUE;
}

BOOL SetCaretPos(int x, int y)
{
    CaretState& caret = Caret();
    if (!caret.window)
        return FALSE;
    bool wasDrawn = caret.drawn;
    if (wasDrawn)
        ToggleCaretPixels();
    caret.position = { x, y };
    if (wasDrawn)
        ToggleCaretPixels();
    fln::user::PlaceComposition(caret.window, caret.position);
    return TRUE;
}

BOOL GetCaretPos(LPPOINT point)
{
    if (!point || !Caret().window)
        return FALSE;
    *point = Caret().position;
    return TRUE;
}

UINT GetCaretBlinkTime()
{
    return 530;
}

HTHEME OpenThemeData(HWND, LPCWSTR)
{
    return nullptr;
}

HRESULT CloseThemeData(HTHEME)
{
    return E_FAIL;
}

BOOL IsThemeActive()
{
    return FALSE;
}

BOOL IsAppThemed()
{
    return FALSE;
}

HRESULT DrawThemeBackground(HTHEME, HDC, int, int, const RECT*, const RECT*)
{
    return E_FAIL;
}

HRESULT DrawThemeText(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*)
{
    return E_FAIL;
}

HRESULT GetThemeColor(HTHEME, int, int, int, COLORREF*)
{
    return E_FAIL;
}

HRESULT SetWindowTheme(HWND, LPCWSTR, LPCWSTR)
{
    return E_FAIL;
}
