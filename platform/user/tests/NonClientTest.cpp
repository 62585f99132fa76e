#include "UserTestSupport.h"

namespace {

using NonClient = UserTest;

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
    EXPECT_EQ(ScreenPixel(250, 110), GetSysColor(COLOR_ACTIVECAPTION));
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
