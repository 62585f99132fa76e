#include "UserTestSupport.h"

#include "platform/gdi/FontRendering.h"
#include "platform/user/NonClient.h"
#include "platform/user/WindowTree.h"

#include <array>
#include <functional>
#include <limits>

namespace {

using NonClient = UserTest;

// A square icon of one colour, transparent from column `opaqueWidth` on.
HICON SolidIcon(int size, COLORREF colour, int opaqueWidth)
{
    HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    HBITMAP image = CreateBitmap(size, size, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    RECT transparent { opaqueWidth, 0, size, size };
    FillRect(dc, &transparent, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, image);
    RECT opaque { 0, 0, opaqueWidth, size };
    FillSolidRect(dc, &opaque, colour);
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO info { TRUE, 0, 0, mask, image };
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(image);
    return icon;
}

NativeWindowId NativeOf(HWND window)
{
    return fln::user::WindowTree::Instance().Find(window)->native;
}

TEST_F(NonClient, ClientAreaFollowsTheStyles)
{
    struct Case {
        DWORD style;
        DWORD exStyle;
        RECT client; // in window coordinates, for a 300 x 200 window
    };
    const Case cases[] = {
        { WS_POPUP, 0, { 0, 0, 300, 200 } },
        { WS_POPUP | WS_BORDER, 0, { 1, 1, 299, 199 } },
        { WS_POPUP, WS_EX_CLIENTEDGE, { 2, 2, 298, 198 } },
        { WS_OVERLAPPEDWINDOW, 0, { 4, 4 + 19, 296, 196 } },
        { WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, { 3, 3 + 19, 297, 197 } },
        { WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, { 3, 3 + 15, 297, 197 } },
        { WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, { 0, 0, 284, 184 } },
    };
    for (const Case& c : cases) {
        HWND window = TopLevel(c.style, { 0, 0, 300, 200 }, c.exStyle);
        RECT client;
        GetClientRect(window, &client);
        POINT origin = ScreenPoint(window, 0, 0);
        EXPECT_EQ(origin.x, c.client.left) << std::hex << c.style;
        EXPECT_EQ(origin.y, c.client.top) << std::hex << c.style;
        EXPECT_EQ(client.right, c.client.right - c.client.left) << std::hex << c.style;
        EXPECT_EQ(client.bottom, c.client.bottom - c.client.top) << std::hex << c.style;
        // AdjustWindowRectEx is the inverse.
        RECT r = { 0, 0, client.right, client.bottom };
        AdjustWindowRectEx(&r, c.style & ~(WS_VSCROLL | WS_HSCROLL), FALSE, c.exStyle);
        if (!(c.style & (WS_VSCROLL | WS_HSCROLL))) {
            EXPECT_EQ(r.right - r.left, 300) << std::hex << c.style;
        }
        DestroyWindow(window);
    }
}

TEST_F(NonClient, HitTestingNamesEveryPart)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    struct Case {
        POINT screen;
        LRESULT expected;
    };
    const Case cases[] = {
        { { 250, 200 }, HTCLIENT },
        { { 250, 112 }, HTCAPTION },
        { { 100 + 300 - 4 - 2 - 8, 104 + 2 + 7 }, HTCLOSE },
        { { 100 + 300 - 4 - 2 - 16 - 2 - 8, 104 + 2 + 7 }, HTMAXBUTTON },
        { { 100 + 300 - 4 - 2 - 16 - 2 - 16 - 8, 104 + 2 + 7 }, HTMINBUTTON },
        { { 107, 112 }, HTSYSMENU },
        { { 101, 200 }, HTLEFT },
        { { 398, 200 }, HTRIGHT },
        { { 250, 101 }, HTTOP },
        { { 250, 298 }, HTBOTTOM },
        { { 101, 101 }, HTTOPLEFT },
        { { 398, 298 }, HTBOTTOMRIGHT },
        { { 101, 298 }, HTBOTTOMLEFT },
        { { 398, 101 }, HTTOPRIGHT },
        { { 50, 50 }, HTNOWHERE },
    };
    for (const Case& c : cases)
        EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(c.screen.x, c.screen.y)), c.expected) << c.screen.x << "," << c.screen.y;
}

TEST_F(NonClient, DraggingTheCaptionMovesTheWindow)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    Pump();
    auto& log = MessageLog::Instance();
    headless->InjectMouseMove({ 250, 110 });
    headless->InjectButton(1, true, { 250, 110 });
    int step = 0;
    SetModalLoopHook([&](HWND) {
        if (step == 0)
            headless->InjectMouseMove({ 300, 150 });
        else if (step == 1)
            headless->InjectButton(1, false, { 300, 150 });
        ++step;
    });
    Pump();
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 140);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(log.Count(window, WM_ENTERSIZEMOVE), 1);
    EXPECT_EQ(log.Count(window, WM_EXITSIZEMOVE), 1);
    EXPECT_GE(log.Count(window, WM_MOVING), 1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(NonClient, SizingRespectsTheMinimumTrackSize)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    MessageLog::Instance().answer = [](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_GETMINMAXINFO)
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = { 200, 150 };
        return std::nullopt;
    };
    Pump();
    headless->InjectMouseMove({ 398, 298 });
    headless->InjectButton(1, true, { 398, 298 });
    int step = 0;
    SetModalLoopHook([&](HWND) {
        if (step == 0)
            headless->InjectMouseMove({ 150, 150 });
        else if (step == 1)
            headless->InjectButton(1, false, { 150, 150 });
        ++step;
    });
    Pump();
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 150);
    EXPECT_EQ(r.left, 100);
}

TEST_F(NonClient, CloseButtonActsOnlyWhenReleasedOverIt)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    Pump();
    POINT close { 100 + 300 - 4 - 2 - 8, 104 + 2 + 7 };
    // Pressed over it and released elsewhere: nothing happens.
    headless->InjectMouseMove(close);
    headless->InjectButton(1, true, close);
    int step = 0;
    SetModalLoopHook([&](HWND) {
        if (step++ == 0)
            headless->InjectButton(1, false, { 250, 200 });
    });
    Pump();
    EXPECT_TRUE(IsWindow(window));
    step = 0;
    headless->InjectMouseMove(close);
    headless->InjectButton(1, true, close);
    SetModalLoopHook([&](HWND) {
        if (step++ == 0)
            headless->InjectButton(1, false, close);
    });
    Pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_CLOSE), 1);
}

TEST_F(NonClient, CaptionDoubleClickMaximisesAndTheFrameIsDrawnInClassicColours)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    Pump();
    EXPECT_EQ(ScreenPixel(104, 104), GetSysColor(COLOR_ACTIVECAPTION)); // where the caption's gradient starts
    EXPECT_EQ(ScreenPixel(100, 200), GetSysColor(COLOR_3DLIGHT)); // the raised outer edge
    Click({ 250, 110 });
    headless->Advance(50);
    Click({ 250, 110 });
    EXPECT_TRUE(IsZoomed(window));
}

TEST_F(NonClient, MonitorsAndWorkAreasCanBeSetByTests)
{
    headless->SetMonitors({
        { { 0, 0, 1024, 768 }, { 0, 0, 1024, 738 }, true },
        { { 1024, 0, 2048, 768 }, { 1024, 0, 2048, 768 }, false },
    });
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 2048);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    HMONITOR second = MonitorFromPoint({ 1500, 10 }, MONITOR_DEFAULTTONULL);
    MONITORINFO info { sizeof info };
    ASSERT_TRUE(GetMonitorInfoW(second, &info));
    EXPECT_EQ(info.rcWork.left, 1024);
    EXPECT_EQ(info.dwFlags, 0u);
    EXPECT_EQ(MonitorFromPoint({ 3000, 5000 }, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint({ 3000, 10 }, MONITOR_DEFAULTTONEAREST), second);
    EXPECT_EQ(MonitorFromPoint({ -50, 10 }, MONITOR_DEFAULTTONEAREST), MonitorFromPoint({ 0, 0 }, MONITOR_DEFAULTTONULL));
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(work.bottom, 738);
    MONITORINFOEXW named {};
    named.cbSize = sizeof named;
    ASSERT_TRUE(GetMonitorInfoW(second, &named));
    EXPECT_STREQ(named.szDevice, L"\\\\.\\DISPLAY2");
    info.cbSize = 3;
    EXPECT_FALSE(GetMonitorInfoW(second, &info));
}

// The work area comes from whatever client set the root's property: only its part on the monitor
// counts, and a work area wholly off the monitor (or empty) leaves the whole monitor.
TEST_F(NonClient, AWorkAreaOffItsMonitorIsCutToTheMonitor)
{
    struct Case {
        RECT given, expected;
    } cases[] = {
        { { 0, 24, 1024, 768 }, { 0, 24, 1024, 768 } },
        { { -100, 24, 5000, 9000 }, { 0, 24, 1024, 768 } },
        { { 5000, 5000, 5100, 5100 }, { 0, 0, 1024, 768 } },
        { { 300, 300, 200, 200 }, { 0, 0, 1024, 768 } },
    };
    for (const Case& c : cases) {
        headless->SetMonitors({ { { 0, 0, 1024, 768 }, c.given, true } });
        RECT work {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_TRUE(EqualRect(&work, &c.expected)) << work.left << "," << work.top << "," << work.right << "," << work.bottom;
    }
}

// A saved placement anywhere on the coordinate range, however far out and however inverted, finds
// the nearest monitor and comes up on it.
TEST_F(NonClient, PlacementsAtTheEndsOfTheCoordinateRangeComeUpOnTheNearestMonitor)
{
    headless->SetMonitors({
        { { 0, 0, 1024, 768 }, { 0, 0, 1024, 738 }, true },
        { { 1024, 0, 2048, 768 }, { 1024, 0, 2048, 768 }, false },
    });
    const HMONITOR first = MonitorFromPoint({ 0, 0 }, MONITOR_DEFAULTTONULL), second = MonitorFromPoint({ 1024, 0 }, MONITOR_DEFAULTTONULL);
    constexpr LONG kMax = std::numeric_limits<LONG>::max(), kMin = std::numeric_limits<LONG>::min();
    struct Case {
        RECT stored;
        HMONITOR nearest;
    } cases[] = {
        { { kMax - 10, kMax - 10, kMax, kMax }, second },
        { { kMin, kMin, kMin + 10, kMin + 10 }, first },
        { { kMax, kMax, kMin, kMin }, first },
        { { kMin, 100, kMax, 50 }, first },
        { { 0x7374746e, 0x656c7974, 0x6c797473, 0x65 }, second }, // a damaged placement a fuzzer found
    };
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW, { 10, 10, 310, 210 });
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.stored.left << "," << c.stored.top << "," << c.stored.right << "," << c.stored.bottom);
        EXPECT_EQ(MonitorFromRect(&c.stored, MONITOR_DEFAULTTONEAREST), c.nearest);
        WINDOWPLACEMENT placement { sizeof placement };
        placement.showCmd = SW_SHOWNORMAL;
        placement.rcNormalPosition = c.stored;
        ASSERT_TRUE(SetWindowPlacement(window, &placement));
        RECT placed, visible;
        GetWindowRect(window, &placed);
        MONITORINFO monitor { sizeof monitor };
        ASSERT_TRUE(GetMonitorInfoW(c.nearest, &monitor));
        EXPECT_TRUE(IsRectEmpty(&placed) || IntersectRect(&visible, &placed, &monitor.rcWork));
    }
}

// A point far out on the coordinate range, such as a damaged saved docking place, stops at the ends
// of the range when it is mapped between a window and the screen.
TEST_F(NonClient, PointsMappedPastTheEndsOfTheCoordinateRangeStopThere)
{
    constexpr LONG kMax = std::numeric_limits<LONG>::max(), kMin = std::numeric_limits<LONG>::min();
    HWND window = TopLevel(WS_POPUP, { 100, 50, 400, 250 });
    POINT point { kMax - 10, kMin + 10 };
    ASSERT_TRUE(ClientToScreen(window, &point));
    EXPECT_EQ(point.x, kMax);
    EXPECT_EQ(point.y, kMin + 60);
    point = { kMin + 10, kMax - 10 };
    ASSERT_TRUE(ScreenToClient(window, &point));
    EXPECT_EQ(point.x, kMin);
    EXPECT_EQ(point.y, kMax - 60);
    RECT rect { kMin, kMin, kMax, kMax };
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, kMin + 100);
    EXPECT_EQ(rect.top, kMin + 50);
    EXPECT_EQ(rect.right, kMax);
    EXPECT_EQ(rect.bottom, kMax);
}

TEST_F(NonClient, SystemParametersReadAndChangeTheSessionSettings)
{
    BOOL fade = FALSE;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fade, 0));
    EXPECT_TRUE(fade);
    SystemParametersInfoW(SPI_SETTOOLTIPFADE, 0, nullptr, 0);
    SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fade, 0);
    EXPECT_FALSE(fade);
    SystemParametersInfoW(SPI_SETTOOLTIPFADE, 0, reinterpret_cast<PVOID>(1), 0);
    UINT hover = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETMOUSEHOVERWIDTH, 0, &hover, 0));
    EXPECT_GT(hover, 0u);
    NONCLIENTMETRICSW metrics {};
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)); // cbSize not set
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    EXPECT_EQ(metrics.lfCaptionFont.lfWeight, FW_BOLD);
    EXPECT_FALSE(SystemParametersInfoW(0xFFFF, 0, &hover, 0));
    EXPECT_EQ(OpenThemeData(nullptr, L"BUTTON"), nullptr);
    EXPECT_FALSE(IsThemeActive());
}

TEST_F(NonClient, ScrollBarsKeepTheirPositionInRangeAndHideWhenNothingScrolls)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL, { 0, 0, 200, 200 });
    SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 500, 0 };
    EXPECT_EQ(SetScrollInfo(window, SB_VERT, &info, TRUE), 90); // the last page starts at 90
    EXPECT_EQ(SetScrollPos(window, SB_VERT, -5, TRUE), 90);
    EXPECT_EQ(GetScrollPos(window, SB_VERT), 0);
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL);
    SCROLLINFO whole { sizeof whole, SIF_RANGE | SIF_PAGE, 0, 9, 20, 0, 0 };
    SetScrollInfo(window, SB_VERT, &whole, TRUE);
    EXPECT_FALSE(GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 200);
    whole.fMask |= SIF_DISABLENOSCROLL;
    SetScrollInfo(window, SB_VERT, &whole, TRUE);
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL);
}

// Setting a bar with redraw repaints the bar, which is the frame's, at once; the client area
// stays valid and gets no WM_PAINT.
TEST_F(NonClient, SettingAScrollBarRedrawsTheBarAndLeavesTheClientArea)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL, { 0, 0, 200, 216 });
    SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 50, 0, 0 };
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    Pump();
    const fln::user::Window& object = *fln::user::WindowTree::Instance().Find(window);
    const RECT bar = fln::user::LayoutFrame(object).verticalBar;
    // The thumb's lowest row is its dark outer edge (window and screen coordinates are the same here).
    const auto thumbBottom = [&] { return fln::user::LayoutScrollBar(object.scrollBars[SB_VERT], bar, true).thumb.bottom - 1; };
    const COLORREF edge = GetSysColor(COLOR_3DDKSHADOW);
    struct Case {
        const char* name;
        std::function<void()> set;
    };
    const Case cases[] = {
        { "SetScrollInfo", [&] {
             SCROLLINFO position { sizeof position, SIF_POS, 0, 0, 0, 50, 0 };
             SetScrollInfo(window, SB_VERT, &position, TRUE);
         } },
        { "SetScrollPos", [&] { SetScrollPos(window, SB_VERT, 10, TRUE); } },
        { "SetScrollRange", [&] { SetScrollRange(window, SB_VERT, 0, 199, TRUE); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int before = thumbBottom();
        MessageLog::Instance().entries.clear();
        c.set();
        const int after = thumbBottom();
        ASSERT_NE(after, before);
        EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE)) << "the client area stays valid";
        EXPECT_EQ(ScreenPixel(bar.left + 8, after), edge) << "the thumb shows where it now is";
        EXPECT_NE(ScreenPixel(bar.left + 8, before), edge) << "and no longer where it was";
        Pump();
        EXPECT_EQ(MessageLog::Instance().Count(window, WM_NCPAINT), 1);
        EXPECT_EQ(MessageLog::Instance().Count(window, WM_PAINT), 0);
    }
}

TEST_F(NonClient, ScrollBarPressesBecomeScrollRequests)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE | WS_VSCROLL, { 0, 0, 200, 216 });
    SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 50, 0, 0 };
    SetScrollInfo(window, SB_VERT, &info, TRUE);
    Pump();
    auto codes = [&] {
        std::vector<std::pair<WORD, WORD>> result;
        for (auto& m : MessageLog::Instance().entries)
            if (m.message == WM_VSCROLL)
                result.emplace_back(LOWORD(m.wParam), HIWORD(m.wParam));
        MessageLog::Instance().entries.clear();
        return result;
    };
    codes();
    Click({ 192, 210 }); // the down arrow
    EXPECT_EQ(codes(), (std::vector<std::pair<WORD, WORD>> { { SB_LINEDOWN, 0 }, { SB_ENDSCROLL, 0 } }));
    // Held for 500 ms: the first request, one after the 400 ms pause, then one each 50 ms.
    headless->InjectMouseMove({ 192, 210 });
    headless->InjectButton(1, true, { 192, 210 });
    DWORD pressed = GetTickCount();
    SetModalLoopHook([&](HWND) {
        if (GetTickCount() - pressed >= 500)
            headless->InjectButton(1, false, { 192, 210 });
    });
    Pump();
    SetModalLoopHook({});
    auto held = codes();
    ASSERT_EQ(held.size(), 5u);
    EXPECT_EQ(held[3].first, SB_LINEDOWN);
    EXPECT_EQ(held[4].first, SB_ENDSCROLL);
    Click({ 192, 180 }); // below the thumb, which fills the upper half of the track
    EXPECT_EQ(codes(), (std::vector<std::pair<WORD, WORD>> { { SB_PAGEDOWN, 0 }, { SB_ENDSCROLL, 0 } }));
    // Dragging the thumb (track 16..200, thumb 92 long) to the bottom tracks, then sets, position 50.
    headless->InjectMouseMove({ 192, 30 });
    headless->InjectButton(1, true, { 192, 30 });
    int step = 0;
    SetModalLoopHook([&](HWND) {
        if (step == 0)
            headless->InjectMouseMove({ 192, 300 });
        else if (step == 1)
            headless->InjectButton(1, false, { 192, 300 });
        ++step;
    });
    Pump();
    EXPECT_EQ(codes(), (std::vector<std::pair<WORD, WORD>> { { SB_THUMBTRACK, 50 }, { SB_THUMBPOSITION, 50 }, { SB_ENDSCROLL, 0 } }));
}

} // namespace

namespace {

TEST_F(NonClient, TheCaptionShadesFromItsColourToItsGradientColour)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    Pump();
    // The caption's top row lies above the icon and the buttons.
    int frame = GetSystemMetrics(SM_CXFRAME), left = 100 + frame, right = 400 - frame, top = 100 + frame;
    auto channels = [](COLORREF c) { return std::array<int, 3> { GetRValue(c), GetGValue(c), GetBValue(c) }; };
    // Every channel moves steadily from the first colour to the second, which the far edge reaches.
    auto checkRow = [&](COLORREF from, COLORREF to) {
        EXPECT_EQ(ScreenPixel(left, top), from);
        auto first = channels(from), second = channels(to), previous = first;
        for (int x = left + 1; x < right; ++x) {
            auto now = channels(ScreenPixel(x, top));
            for (size_t k = 0; k < 3; ++k) {
                ASSERT_GE(now[k], std::min(first[k], second[k])) << "x " << x;
                ASSERT_LE(now[k], std::max(first[k], second[k])) << "x " << x;
                ASSERT_GE((now[k] - previous[k]) * (second[k] - first[k]), 0) << "x " << x;
            }
            previous = now;
        }
        for (size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(previous[k], second[k], std::abs(second[k] - first[k]) / (right - left) + 1);
    };
    checkRow(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    HWND other = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 500, 500, 700, 700 });
    Pump();
    ASSERT_NE(GetActiveWindow(), window);
    checkRow(GetSysColor(COLOR_INACTIVECAPTION), GetSysColor(COLOR_GRADIENTINACTIVECAPTION));
    DestroyWindow(other);
}

TEST_F(NonClient, TheSystemMenuSlotShowsTheWindowsSmallIcon)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    Pump();
    int frame = GetSystemMetrics(SM_CXFRAME);
    RECT slot { 100 + frame + 1, 100 + frame + 1, 100 + frame + 1 + GetSystemMetrics(SM_CXSMICON), 100 + frame + 1 + GetSystemMetrics(SM_CYSMICON) };
    auto slotPixels = [&](COLORREF colour) {
        int count = 0;
        for (int y = slot.top; y < slot.bottom; ++y)
            for (int x = slot.left; x < slot.right; ++x)
                count += ScreenPixel(x, y) == colour;
        return count;
    };
    const int area = (slot.right - slot.left) * (slot.bottom - slot.top);
    // Without icons of its own or of its class, the default application icon: not bare caption.
    EXPECT_GT(slotPixels(RGB(255, 255, 255)), 20);

    HICON red = SolidIcon(16, RGB(255, 0, 0), 16), blue = SolidIcon(32, RGB(0, 0, 255), 32);
    // A big icon alone is shrunk into the slot; a small one takes precedence.
    EXPECT_EQ(SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(blue)), 0);
    EXPECT_EQ(slotPixels(RGB(0, 0, 255)), area);
    EXPECT_EQ(SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(red)), 0);
    EXPECT_EQ(slotPixels(RGB(255, 0, 0)), area);
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(red));
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_BIG, 0), reinterpret_cast<LRESULT>(blue));
    for (WPARAM unknown : { ICON_SMALL2, WPARAM(7) }) { // no such slot: nothing changes
        EXPECT_EQ(SendMessageW(window, WM_SETICON, unknown, reinterpret_cast<LPARAM>(blue)), 0);
        EXPECT_EQ(SendMessageW(window, WM_GETICON, unknown, 0), unknown == ICON_SMALL2 ? reinterpret_cast<LRESULT>(red) : 0);
    }
    EXPECT_EQ(slotPixels(RGB(255, 0, 0)), area);
    // Taking the small icon away again returns it, and ICON_SMALL2 falls back to the big one.
    EXPECT_EQ(SendMessageW(window, WM_SETICON, ICON_SMALL, 0), reinterpret_cast<LRESULT>(red));
    EXPECT_EQ(SendMessageW(window, WM_GETICON, ICON_SMALL2, 0), reinterpret_cast<LRESULT>(blue));
    EXPECT_EQ(slotPixels(RGB(0, 0, 255)), area);
    DestroyWindow(window);

    // A window with a modal dialog frame shows no icon until it is given one; its title then
    // moves right to make room.
    HWND dialog = TopLevel(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, { 100, 100, 400, 300 }, WS_EX_DLGMODALFRAME);
    Pump();
    int dialogFrame = GetSystemMetrics(SM_CXDLGFRAME);
    POINT corner { 100 + dialogFrame + 2, 100 + dialogFrame + 2 };
    EXPECT_EQ(SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTCAPTION);
    int whiteInCorner = 0;
    for (int y = corner.y; y < corner.y + 12; ++y)
        for (int x = corner.x; x < corner.x + 12; ++x)
            whiteInCorner += ScreenPixel(x, y) == RGB(255, 255, 255);
    EXPECT_GT(whiteInCorner, 0); // the title's letters
    SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(red));
    EXPECT_EQ(SendMessageW(dialog, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTSYSMENU);
    EXPECT_EQ(ScreenPixel(corner.x, corner.y), RGB(255, 0, 0));
    DestroyWindow(dialog);
    DestroyIcon(red);
    DestroyIcon(blue);
}

TEST_F(NonClient, TheDesktopGetsTheWindowsIconsWithTheirTransparency)
{
    HICON classIcon = SolidIcon(32, RGB(0, 128, 0), 32);
    WNDCLASSEXW windowClass { sizeof windowClass };
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hIcon = classIcon;
    windowClass.lpszClassName = L"IconClass";
    ASSERT_TRUE(RegisterClassExW(&windowClass));
    HWND window = CreateWindowExW(0, L"IconClass", L"Icons", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    auto icons = headless->Icons(NativeOf(window));
    ASSERT_EQ(icons.size(), 1u); // the class's, as the window has none
    EXPECT_EQ(icons[0].width, 32);
    EXPECT_EQ(icons[0].argb.front(), 0xFF008000u);

    HICON big = SolidIcon(32, RGB(255, 0, 0), 16), small = SolidIcon(16, RGB(0, 0, 255), 16);
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    icons = headless->Icons(NativeOf(window));
    ASSERT_EQ(icons.size(), 2u);
    struct Expected {
        int size;
        std::uint32_t left, right;
    } expected[] = { { 32, 0xFFFF0000u, 0x00000000u }, { 16, 0xFF0000FFu, 0xFF0000FFu } };
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(icons[i].width, expected[i].size);
        EXPECT_EQ(icons[i].height, expected[i].size);
        ASSERT_EQ(icons[i].argb.size(), static_cast<size_t>(expected[i].size * expected[i].size));
        EXPECT_EQ(icons[i].argb[0], expected[i].left);
        EXPECT_EQ(icons[i].argb[static_cast<size_t>(expected[i].size - 1)], expected[i].right); // the mask's clear half
    }
    DestroyWindow(window);
    UnregisterClassW(L"IconClass", nullptr);
    for (HICON icon : { classIcon, big, small })
        DestroyIcon(icon);
}

} // namespace

namespace {

// The screen's DPI for one test; the classic 96 after it.
struct ScopedDpi {
    explicit ScopedDpi(int dpi) { fln::gdi::SetFontRendering({ false, fln::gdi::HintStyle::Full, fln::gdi::SubpixelOrder::None, dpi }); }
    ~ScopedDpi() { fln::gdi::SetFontRendering({}); }
};

TEST_F(NonClient, MetricsAndInterfaceFontsGrowWithTheDpiButLinesStayThin)
{
    struct Case {
        int index;
        int at96;
        bool grows;
    } cases[] = { { SM_CYCAPTION, 19, true }, { SM_CYMENU, 19, true }, { SM_CXVSCROLL, 16, true }, { SM_CYHSCROLL, 16, true },
        { SM_CXSIZE, 18, true }, { SM_CXSMICON, 16, true }, { SM_CXICON, 32, true }, { SM_CYSMCAPTION, 15, true },
        { SM_CXMENUCHECK, 13, true }, { SM_CXBORDER, 1, false }, { SM_CXEDGE, 2, false }, { SM_CXDLGFRAME, 3, false },
        { SM_CXFRAME, 4, false }, { SM_CXFOCUSBORDER, 1, false }, { SM_CXCURSOR, 32, false } };
    for (int dpi : { 96, 144, 192 }) {
        SCOPED_TRACE(dpi);
        ScopedDpi scope(dpi);
        auto grown = [dpi](int at96) { return (at96 * dpi + 48) / 96; }; // halves round up
        for (const Case& c : cases)
            EXPECT_EQ(GetSystemMetrics(c.index), c.grows ? grown(c.at96) : c.at96) << c.index;
        NONCLIENTMETRICSW metrics { sizeof metrics };
        ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
        EXPECT_EQ(metrics.lfCaptionFont.lfHeight, -grown(11));
        EXPECT_EQ(metrics.iScrollWidth, grown(16));
        EXPECT_EQ(metrics.iBorderWidth, 1);
        EXPECT_EQ(LOWORD(GetDialogBaseUnits()), grown(8));
        EXPECT_EQ(HIWORD(GetDialogBaseUnits()), grown(16));
        // A window's caption and menu bar grow with it.
        HWND window = TopLevel(WS_OVERLAPPEDWINDOW, { 100, 100, 500, 400 });
        SetMenu(window, CreateMenu());
        RECT client;
        GetClientRect(window, &client);
        POINT origin { 0, 0 };
        ClientToScreen(window, &origin);
        EXPECT_EQ(origin.y - 100, GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU));
        DestroyWindow(window);
    }
}

} // namespace
