#include "PixelChecks.h"
#include "UserTestSupport.h"

#include <utility>

namespace {

using Requests = std::vector<std::pair<WORD, WORD>>; // request, thumb position

class ScrollBarControl : public UserTest {
protected:
    HWND MakeBar(DWORD style, RECT r = { 20, 10, 36, 210 })
    {
        parent = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 500, 450 });
        bar = CreateWindowExW(0, L"ScrollBar", L"", WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
            reinterpret_cast<HMENU>(5), nullptr, nullptr);
        return bar;
    }

    // The scroll requests the parent got from the bar since the last call.
    Requests Taken()
    {
        Requests result;
        for (const auto& entry : MessageLog::Instance().entries) {
            if (entry.window == parent && (entry.message == WM_VSCROLL || entry.message == WM_HSCROLL)) {
                EXPECT_EQ(reinterpret_cast<HWND>(entry.lParam), bar);
                result.emplace_back(LOWORD(entry.wParam), HIWORD(entry.wParam));
            }
        }
        MessageLog::Instance().entries.clear();
        return result;
    }

    // The parent scrolls as asked, by 1 a line and 10 a page.
    void FollowRequests()
    {
        MessageLog::Instance().answer = [this](HWND window, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (window != parent || message != WM_VSCROLL)
                return std::nullopt;
            int position = GetScrollPos(bar, SB_CTL);
            switch (LOWORD(wParam)) {
            case SB_LINEUP: position -= 1; break;
            case SB_LINEDOWN: position += 1; break;
            case SB_PAGEUP: position -= 10; break;
            case SB_PAGEDOWN: position += 10; break;
            case SB_THUMBTRACK: position = HIWORD(wParam); break;
            }
            SetScrollPos(bar, SB_CTL, position, TRUE);
            return 0;
        };
    }

    HWND parent = nullptr;
    HWND bar = nullptr;
};

TEST_F(ScrollBarControl, TheScrollBarFunctionsWorkOnTheControl)
{
    MakeBar(SBS_VERT);
    SCROLLINFO info { sizeof info, SIF_ALL };
    ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &info));
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 0);
    struct Case {
        const char* what;
        SCROLLINFO set;
        int position;
        UINT page;
    };
    const Case cases[] = {
        { "range and page", { sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 50, 0 }, 50, 10 },
        { "past the last page", { sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 95, 0 }, 90, 10 },
        { "before the start", { sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, -4, 0 }, 0, 10 },
        { "a page longer than the range", { sizeof(SCROLLINFO), SIF_PAGE, 0, 0, 500, 0, 0 }, 0, 100 },
        { "a reversed range", { sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 30, 10, 0, 20, 0 }, 30, 0 },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &c.set, TRUE), c.position) << c.what;
        info = { sizeof info, SIF_ALL };
        GetScrollInfo(bar, SB_CTL, &info);
        EXPECT_EQ(info.nPos, c.position) << c.what;
        EXPECT_EQ(info.nPage, c.page) << c.what;
    }
    EXPECT_TRUE(SetScrollRange(bar, SB_CTL, 0, 200, TRUE));
    EXPECT_EQ(SetScrollPos(bar, SB_CTL, 150, TRUE), 30);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 150);
    int minimum = -1, maximum = -1;
    EXPECT_TRUE(GetScrollRange(bar, SB_CTL, &minimum, &maximum));
    EXPECT_EQ(std::pair(minimum, maximum), std::pair(0, 200));
    // The control's own messages say the same.
    EXPECT_EQ(SendMessageW(bar, SBM_GETPOS, 0, 0), 150);
    EXPECT_EQ(SendMessageW(bar, SBM_SETPOS, 5, TRUE), 150);
    EXPECT_EQ(SendMessageW(bar, SBM_SETRANGE, 10, 20), 5);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 10);
    // The control is not one of its parent's own bars.
    EXPECT_FALSE(GetWindowLongW(parent, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ScrollBarControl, ArrowsAndTheNoScrollRuleDisableThePartsOfTheBar)
{
    MakeBar(SBS_VERT);
    SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL, 0, 9, 20, 0, 0 };
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    EXPECT_FALSE(EnableScrollBar(bar, SB_CTL, ESB_DISABLE_BOTH)) << "already disabled: nothing fits the page";
    info.nPage = 5;
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    EXPECT_TRUE(EnableScrollBar(bar, SB_CTL, ESB_DISABLE_LTUP));
    EXPECT_FALSE(EnableScrollBar(bar, SB_CTL, ESB_DISABLE_LTUP));
    EXPECT_TRUE(ShowScrollBar(bar, SB_CTL, FALSE));
    EXPECT_FALSE(IsWindowVisible(bar));
}

TEST_F(ScrollBarControl, PressesBecomeRequestsToTheParentWithTheControlsHandle)
{
    MakeBar(SBS_VERT); // 16 wide, 200 high: arrows of 16, a track of 168
    SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 50, 0, 0 };
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    Taken();
    struct Case {
        const char* what;
        int y;
        Requests expected;
    };
    const Case cases[] = {
        { "the up arrow", 5, { { SB_LINEUP, 0 }, { SB_ENDSCROLL, 0 } } },
        { "the down arrow", 195, { { SB_LINEDOWN, 0 }, { SB_ENDSCROLL, 0 } } },
        { "below the thumb", 150, { { SB_PAGEDOWN, 0 }, { SB_ENDSCROLL, 0 } } },
    };
    for (const Case& c : cases) {
        headless->Advance(1000); // no double clicks
        Click(ScreenPoint(bar, 8, c.y));
        EXPECT_EQ(Taken(), c.expected) << c.what;
    }
    // Dragging the thumb to the bottom tracks the last position, then sets it.
    headless->InjectMouseMove(ScreenPoint(bar, 8, 30));
    headless->InjectButton(1, true, ScreenPoint(bar, 8, 30));
    int step = 0;
    SetModalLoopHook([&](HWND) {
        if (step == 0)
            headless->InjectMouseMove(ScreenPoint(bar, 8, 400));
        else if (step == 1)
            headless->InjectButton(1, false, ScreenPoint(bar, 8, 400));
        ++step;
    });
    Pump();
    EXPECT_EQ(Taken(), (Requests { { SB_THUMBTRACK, 50 }, { SB_THUMBPOSITION, 50 }, { SB_ENDSCROLL, 0 } }));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBarControl, AHeldArrowRepeatsOnTheClockOnlyWhileThePointerStaysOnIt)
{
    MakeBar(SBS_VERT);
    SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0 };
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    UpdateWindow(parent);
    Taken();
    POINT arrow = ScreenPoint(bar, 8, 195);
    headless->InjectMouseMove(arrow);
    headless->InjectButton(1, true, arrow);
    DWORD pressed = GetTickCount();
    std::vector<DWORD> times;
    COLORREF heldLook = CLR_INVALID;
    MessageLog::Instance().answer = [&](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (window == parent && message == WM_VSCROLL)
            times.push_back(GetTickCount() - pressed);
        return std::nullopt;
    };
    bool movedOff = false;
    SetModalLoopHook([&](HWND) {
        DWORD now = GetTickCount() - pressed;
        if (now == 0) {
            UpdateWindow(bar);
            heldLook = PixelAt(bar, 0, 184); // the arrow's top-left corner
        } else if (now >= 500 && !movedOff) {
            movedOff = true;
            headless->InjectMouseMove(ScreenPoint(bar, 40, 195)); // off the arrow: the repeats stop
        } else if (now >= 700) {
            headless->InjectButton(1, false, ScreenPoint(bar, 40, 195));
        }
    });
    Pump();
    EXPECT_EQ(times, (std::vector<DWORD> { 0, 400, 450, 500, 700 })); // the last is SB_ENDSCROLL
    EXPECT_EQ(heldLook, GetSysColor(COLOR_BTNSHADOW)) << "held, the arrow is drawn flat and pressed";
    UpdateWindow(bar);
    EXPECT_EQ(PixelAt(bar, 0, 184), GetSysColor(COLOR_3DLIGHT)) << "released, it is raised again";
}

TEST_F(ScrollBarControl, AHeldPageAreaStopsRepeatingWhenTheThumbReachesThePointer)
{
    MakeBar(SBS_VERT);
    FollowRequests();
    SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0 };
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    Taken();
    POINT target = ScreenPoint(bar, 8, 100); // the middle of the track
    headless->InjectMouseMove(target);
    headless->InjectButton(1, true, target);
    DWORD pressed = GetTickCount();
    SetModalLoopHook([&](HWND) {
        if (GetTickCount() - pressed >= 2000)
            headless->InjectButton(1, false, target);
    });
    Pump();
    // The thumb (17 pixels of 168) covers the pointer once the position is about 45.
    int position = GetScrollPos(bar, SB_CTL);
    EXPECT_GE(position, 40);
    EXPECT_LE(position, 50);
    Requests requests = Taken();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().first, SB_ENDSCROLL);
}

TEST_F(ScrollBarControl, KeysScrollAFocusedBar)
{
    MakeBar(SBS_HORZ | WS_TABSTOP, { 10, 10, 210, 26 });
    SetFocus(bar);
    EXPECT_EQ(SendMessageW(bar, WM_GETDLGCODE, 0, 0) & 0x0001, 0x0001);
    Taken();
    struct Case {
        unsigned key;
        WORD request;
    };
    for (Case c : { Case { VK_LEFT, SB_LINEUP }, Case { VK_DOWN, SB_LINEDOWN }, Case { VK_NEXT, SB_PAGEDOWN }, Case { VK_HOME, SB_TOP }, Case { VK_END, SB_BOTTOM } }) {
        Key(c.key);
        EXPECT_EQ(Taken(), (Requests { { c.request, 0 }, { SB_ENDSCROLL, 0 } })) << c.key;
    }
    Key('A');
    EXPECT_TRUE(Taken().empty());
}

TEST_F(ScrollBarControl, TheBarIsDrawnInTheClassicColoursAndAMoveRepaintsOnlyTheTrack)
{
    MakeBar(SBS_VERT);
    SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 50, 0, 0 };
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    UpdateWindow(parent);
    struct Probe {
        const char* what;
        int x, y;
        int colour;
    };
    const Probe probes[] = {
        { "up arrow, outer light edge", 0, 0, COLOR_3DLIGHT },
        { "up arrow, face", 3, 3, COLOR_BTNFACE },
        { "up arrow, dark edge", 15, 15, COLOR_3DDKSHADOW },
        { "thumb, outer light edge", 0, 16, COLOR_3DLIGHT },
        { "thumb, face", 8, 50, COLOR_BTNFACE },
        { "track below the thumb", 8, 150, COLOR_SCROLLBAR },
        { "down arrow, highlight", 1, 185, COLOR_BTNHIGHLIGHT },
    };
    for (const Probe& p : probes)
        EXPECT_EQ(PixelAt(bar, p.x, p.y), GetSysColor(p.colour)) << p.what;
    SetScrollPos(bar, SB_CTL, 30, TRUE);
    RECT update {};
    ASSERT_TRUE(GetUpdateRect(bar, &update, FALSE));
    EXPECT_EQ(update.top, 16);
    EXPECT_EQ(update.bottom, 184);
    UpdateWindow(bar);
    EnableWindow(bar, FALSE);
    UpdateWindow(bar);
    EXPECT_EQ(PixelAt(bar, 8, 50), GetSysColor(COLOR_SCROLLBAR)) << "a disabled bar has no thumb";
}

TEST_F(ScrollBarControl, BarsMatchTheirExpectedPictures)
{
    struct Case {
        const char* file;
        DWORD style;
        RECT rect;
        UINT disabled;
    };
    const Case cases[] = {
        { "scrollbar-vertical.png", SBS_VERT, { 20, 10, 36, 90 }, ESB_ENABLE_BOTH },
        { "scrollbar-horizontal-up-disabled.png", SBS_HORZ, { 20, 10, 100, 26 }, ESB_DISABLE_LTUP },
    };
    for (const Case& c : cases) {
        MakeBar(c.style, c.rect);
        SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 25, 0, 0 };
        SetScrollInfo(bar, SB_CTL, &info, TRUE);
        EnableScrollBar(bar, SB_CTL, c.disabled);
        UpdateWindow(bar);
        EXPECT_TRUE(pixel_checks::MatchesExpectedImage(bar, c.file)) << c.file;
        DestroyWindow(parent);
    }
}

TEST_F(ScrollBarControl, ASizeGripSizesItsTopLevelWindow)
{
    MakeBar(SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, { 100, 100, 200, 150 });
    RECT grip {};
    GetWindowRect(bar, &grip);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&grip), 2);
    EXPECT_EQ(grip.right - grip.left, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(grip.bottom - grip.top, GetSystemMetrics(SM_CYHSCROLL));
    EXPECT_EQ(grip.right, 200);
    EXPECT_EQ(grip.bottom, 150);
    UpdateWindow(parent);
    EXPECT_EQ(PixelAt(bar, 15, 11), GetSysColor(COLOR_BTNSHADOW)) << "the grip's lines";
    EXPECT_EQ(PixelAt(bar, 15, 12), GetSysColor(COLOR_BTNHIGHLIGHT));

    RECT before {};
    GetWindowRect(parent, &before);
    POINT start = ScreenPoint(bar, 8, 8);
    headless->InjectMouseMove(start);
    headless->InjectButton(1, true, start);
    int step = 0;
    SetModalLoopHook([&](HWND) {
        if (step == 0)
            headless->InjectMouseMove({ start.x + 30, start.y + 20 });
        else if (step == 1)
            headless->InjectButton(1, false, { start.x + 30, start.y + 20 });
        ++step;
    });
    Pump();
    RECT after {};
    GetWindowRect(parent, &after);
    EXPECT_EQ(after.right - before.right, 30);
    EXPECT_EQ(after.bottom - before.bottom, 20);
    EXPECT_EQ(after.left, before.left);
}

} // namespace
