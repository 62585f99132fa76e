#include "controls/PPToolTip.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// An owner that may change or clear the tip's text when it is told a tip is about to show.
class Owner : public CWnd {
public:
    BOOL OnNotify(WPARAM, LPARAM lParam, LRESULT* result) override
    {
        auto* notify = reinterpret_cast<ToolTipDisplayNotify*>(lParam);
        if (notify->hdr.code != UDM_TOOLTIP_DISPLAY)
            return FALSE;
        ++notifications;
        if (replacement)
            notify->record->text = replacement;
        *result = 0;
        return TRUE;
    }
    int notifications = 0;
    const wchar_t* replacement = nullptr;
};

class ToolTipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        headless->SetMonitors({ { { 0, 0, 1280, 1024 }, { 0, 0, 1280, 1000 }, true } });
        SetCurrentDisplay(std::move(display));
        ASSERT_TRUE(main.CreateEx(0, nullptr, L"Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 500, nullptr, nullptr));
        app.m_pMainWnd = &main;
        ASSERT_TRUE(left.CreateEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 40, main.m_hWnd, nullptr));
        ASSERT_TRUE(right.CreateEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 200, 10, 100, 40, main.m_hWnd, nullptr));
        ASSERT_TRUE(tip.Create(&main, TRUE));
        Pump();
    }
    void TearDown() override
    {
        tip.DestroyWindow();
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        Pump();
    }
    static void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    void Advance(std::uint32_t milliseconds)
    {
        headless->Advance(milliseconds);
        Pump();
    }
    // The cursor moves to a point of the window's client area and the owner relays the move.
    void MoveOver(CWnd& window, int x, int y)
    {
        POINT screen { x, y };
        ClientToScreen(window.m_hWnd, &screen);
        headless->InjectMouseMove(screen);
        Pump();
        MSG message { window.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, y), 0, screen };
        tip.RelayEvent(&message);
    }
    BOOL Relay(UINT message, WPARAM wParam = 0)
    {
        MSG msg { main.m_hWnd, message, wParam, 0, 0, {} };
        GetCursorPos(&msg.pt);
        return tip.RelayEvent(&msg);
    }
    static ToolTipRecord Record(int id, const wchar_t* text, RECT rect = {})
    {
        ToolTipRecord record;
        record.id = id;
        record.text = text;
        record.rect = rect;
        return record;
    }
    bool TipVisible() const { return IsWindowVisible(tip.m_hWnd); }

    HeadlessDisplay* headless = nullptr;
    CWinApp app { L"ToolTipTest" };
    Owner main;
    CWnd left, right;
    CPPToolTip tip;
};

TEST_F(ToolTipTest, ShowsAfterTheInitialDelayAndHidesOffTheTools)
{
    tip.AddTool(&left, Record(1, L"Left <b>tool</b>"));
    tip.AddTool(&right, Record(2, L"Right tool"));
    MoveOver(left, 20, 20);
    Advance(499);
    EXPECT_EQ(tip.GetState(), CPPToolTip::Hidden);
    EXPECT_FALSE(TipVisible());
    Advance(1);
    EXPECT_EQ(tip.GetState(), CPPToolTip::Shown);
    EXPECT_TRUE(TipVisible());
    EXPECT_EQ(tip.GetCurrentRecord().id, 1);

    // The same point again changes nothing; another tool shows its own tip after the delay.
    MoveOver(left, 20, 20);
    EXPECT_EQ(tip.GetState(), CPPToolTip::Shown);
    MoveOver(right, 20, 20);
    EXPECT_FALSE(TipVisible());
    Advance(500);
    EXPECT_EQ(tip.GetCurrentRecord().id, 2);
    EXPECT_TRUE(TipVisible());

    MoveOver(main, 500, 400);
    EXPECT_EQ(tip.GetState(), CPPToolTip::Hidden);
    EXPECT_FALSE(TipVisible());
}

TEST_F(ToolTipTest, AutoHideAndBehaviours)
{
    struct Case {
        DWORD behaviour;
        bool visibleAfterAutoPop;
    } cases[] = { { 0, false }, { ToolTipRecord::NoAutoHide, true }, { 0x1D, true } };
    for (const auto& c : cases) {
        ToolTipRecord record = Record(3, L"Tip");
        record.mask = ToolTipRecord::Behaviour;
        record.behaviour = c.behaviour;
        tip.RemoveAllTools();
        tip.AddTool(&left, record);
        MoveOver(main, 500, 400);
        MoveOver(left, 30, 20);
        Advance(500);
        ASSERT_TRUE(TipVisible()) << c.behaviour;
        Advance(5000);
        EXPECT_EQ(TipVisible(), c.visibleAfterAutoPop) << c.behaviour;
        tip.HideTip();
    }
    // A click hides the tip at once.
    MoveOver(main, 500, 400);
    MoveOver(left, 40, 20);
    Advance(500);
    ASSERT_TRUE(TipVisible());
    Relay(WM_RBUTTONDOWN);
    EXPECT_FALSE(TipVisible());
}

// A tip stays where it was put, so it goes when the window it belongs to moves or changes size
// (the user drags the main window away from under it); the next hover shows it at the new place.
TEST_F(ToolTipTest, ATipHidesWhenItsWindowMovesOrChangesSize)
{
    ToolTipRecord record = Record(4, L"Tip");
    record.mask = ToolTipRecord::Behaviour;
    record.behaviour = 0x1D;
    tip.AddTool(&left, record);
    struct Case {
        const char* what;
        RECT place; // of the main window
    };
    const Case cases[] = { { "moved", { 140, 120, 640, 520 } }, { "sized", { 100, 100, 700, 560 } } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        main.MoveWindow(100, 100, 500, 400);
        MoveOver(main, 400, 300);
        MoveOver(left, 30, 20);
        Advance(500);
        ASSERT_TRUE(TipVisible());
        main.MoveWindow(c.place.left, c.place.top, c.place.right - c.place.left, c.place.bottom - c.place.top);
        EXPECT_FALSE(TipVisible());
        EXPECT_EQ(tip.GetState(), CPPToolTip::Hidden);
        MoveOver(left, 31, 20);
        Advance(500);
        EXPECT_TRUE(TipVisible()) << "shown again on the next hover";
    }
}

TEST_F(ToolTipTest, RecordsWithRectanglesMatchOnlyInsideThem)
{
    tip.AddTool(&left, Record(1, L"First half", { 0, 0, 50, 40 }));
    tip.AddTool(&left, Record(2, L"Second half", { 50, 0, 100, 40 }));
    tip.AddTool(&left, Record(3, L"Replaced second half", { 50, 0, 100, 40 }));
    struct Case {
        int x, id;
    } cases[] = { { 10, 1 }, { 60, 3 } };
    for (const auto& c : cases) {
        MoveOver(main, 500, 400);
        MoveOver(left, c.x, 20);
        Advance(500);
        EXPECT_TRUE(TipVisible()) << c.x;
        EXPECT_EQ(tip.GetCurrentRecord().id, c.id) << c.x;
    }
}

TEST_F(ToolTipTest, TheRecordsKeyIsReportedAndSwallowedWhileShown)
{
    ToolTipRecord record = Record(7, L"Press F2");
    record.virtualKey = VK_F2;
    record.keyParam = 42;
    tip.AddTool(&left, record);
    EXPECT_FALSE(Relay(WM_KEYDOWN, VK_F2));
    MoveOver(left, 20, 20);
    Advance(500);
    ASSERT_TRUE(TipVisible());
    EXPECT_TRUE(Relay(WM_KEYDOWN, VK_F2));
    EXPECT_TRUE(Relay(WM_KEYUP, VK_F2));
    int reports = 0;
    MSG message;
    while (PeekMessageW(&message, main.m_hWnd, 0, 0, PM_REMOVE)) {
        if (message.message == ToolTipVirtualKeyMessage()) {
            ++reports;
            EXPECT_EQ(message.wParam, 42u);
            EXPECT_EQ(message.lParam, 7);
        }
    }
    EXPECT_EQ(reports, 1);
    // Another key hides the tip and is not swallowed.
    EXPECT_FALSE(Relay(WM_KEYDOWN, 'A'));
    EXPECT_FALSE(TipVisible());
}

TEST_F(ToolTipTest, TheWindowHoldsBodyTailAndShadowWithTheApexOnTheCursor)
{
    tip.AddTool(&left, Record(1, L"A tip with a tail"));
    MoveOver(left, 20, 20);
    Advance(500);
    ASSERT_TRUE(TipVisible());
    RECT window {};
    GetWindowRect(tip.m_hWnd, &window);
    const RECT body = tip.GetBodyRect(), inside = tip.GetWindowRectInside();
    EXPECT_EQ(tip.GetActualDirection(), PPTIP_TAIL_BOTTOM);
    // Body, then the tail below it, then the shadow.
    EXPECT_EQ(window.right - window.left, body.right - body.left + 6);
    EXPECT_EQ(window.bottom - window.top, body.bottom - body.top + 16 + 6);
    EXPECT_EQ(inside.right, window.right - window.left);
    POINT cursor {};
    GetCursorPos(&cursor);
    EXPECT_EQ(cursor.x - window.left, 16);
    EXPECT_EQ(cursor.y - window.top, body.bottom + 16);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(tip.m_hWnd, region), ERROR);
    struct Case {
        POINT point;
        bool inside;
    } cases[] = {
        { { (body.left + body.right) / 2, (body.top + body.bottom) / 2 }, true },
        { { 20, body.bottom + 4 }, true },
        { { body.right - 10, body.bottom + 10 }, false },
        { { body.right + 3, body.bottom }, true },
        { { 0, 0 }, false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(PtInRegion(region, c.point.x, c.point.y) != FALSE, c.inside) << c.point.x << "," << c.point.y;
    DeleteObject(region);
}

// The shadow darkens what the screen showed under the tip, read before the tip appeared.
TEST_F(ToolTipTest, TheShadowFallsOnWhatLayBehindTheTip)
{
    CWnd black;
    ASSERT_TRUE(black.CreateEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 0, 0, 590, 460, main.m_hWnd, nullptr));
    tip.AddTool(&black, Record(1, L"A tip over black"));
    Pump();
    MoveOver(black, 200, 100);
    Advance(500);
    ASSERT_TRUE(TipVisible());
    RECT window {};
    GetWindowRect(tip.m_hWnd, &window);
    const RECT body = tip.GetBodyRect();
    auto screenPixel = [&](int x, int y) {
        cairo_surface_t* screen = headless->Screen();
        cairo_surface_flush(screen);
        const auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(screen) + y * cairo_image_surface_get_stride(screen));
        return row[x] & 0xFFFFFF;
    };
    // Right of the body, inside the shadow: black darkened stays black (on the window colour it would be grey).
    EXPECT_EQ(screenPixel(window.left + body.right + 2, window.top + (body.top + body.bottom) / 2), 0u);
    // The body itself is the tip's own fill, not the black behind it.
    EXPECT_NE(screenPixel(window.left + (body.left + body.right) / 2, window.top + body.top + 2), 0u);
}

// An animated picture (a strip of red, green and blue items in the test resources) moves on with
// the animation clock while its tip is up.
TEST_F(ToolTipTest, AnimatedPicturesMoveOnTheClockWhileTheTipIsUp)
{
    tip.AddTool(&left, Record(1, L"<ilst idres=330 cx=16 speed=1>"));
    MoveOver(left, 20, 20);
    Advance(500);
    ASSERT_TRUE(TipVisible());
    RECT window {};
    GetWindowRect(tip.m_hWnd, &window);
    auto countOnScreen = [&](std::uint32_t color) {
        cairo_surface_t* screen = headless->Screen();
        cairo_surface_flush(screen);
        int count = 0;
        for (int y = window.top; y < window.bottom; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(screen) + y * cairo_image_surface_get_stride(screen));
            for (int x = window.left; x < window.right; ++x)
                count += (row[x] & 0xFFFFFF) == color;
        }
        return count;
    };
    EXPECT_EQ(countOnScreen(0xFF0000), 16 * 16);
    EXPECT_EQ(tip.GetDelayTime(CPPToolTip::Animation), 100u);
    Advance(100);
    EXPECT_EQ(countOnScreen(0xFF0000), 0);
    EXPECT_EQ(countOnScreen(0x00FF00), 16 * 16);
    tip.SetDelayTime(CPPToolTip::Animation, 0); // a stopped clock leaves the frame
    Advance(300);
    EXPECT_EQ(countOnScreen(0x00FF00), 16 * 16);
}

TEST_F(ToolTipTest, TheOwnerIsToldBeforeATipShowsAndMayEmptyIt)
{
    tip.AddTool(&left, Record(1, L"Original"));
    MoveOver(left, 20, 20);
    Advance(500);
    EXPECT_EQ(main.notifications, 0); // notification is off by default
    tip.HideTip();

    tip.SetNotify(TRUE);
    struct Case {
        const wchar_t* replacement;
        bool visible;
    } cases[] = { { L"Changed by the owner", true }, { L"", false } };
    for (const auto& c : cases) {
        main.replacement = c.replacement;
        const int before = main.notifications;
        MoveOver(main, 500, 400);
        MoveOver(left, 30, 20);
        Advance(500);
        EXPECT_EQ(main.notifications, before + 1);
        EXPECT_EQ(TipVisible(), c.visible) << c.replacement;
        EXPECT_EQ(tip.GetCurrentRecord().text, CString(c.replacement));
        tip.HideTip();
    }
}

TEST_F(ToolTipTest, LinksInATipThatStaysReactToTheCursor)
{
    ToolTipRecord record = Record(5, L"See <a href=\"https://example.org\">the manual</a>");
    record.mask = ToolTipRecord::Behaviour;
    record.behaviour = 0x1D;
    tip.AddTool(&left, record);
    MoveOver(left, 20, 20);
    Advance(500);
    ASSERT_TRUE(TipVisible());
    ASSERT_EQ(tip.Drawer().HotAreas().size(), 1u);
    RECT window {};
    GetWindowRect(tip.m_hWnd, &window);
    const RECT link = tip.Drawer().HotAreas()[0].rect;
    POINT over { window.left + link.left + 2, window.top + link.top + 2 };
    headless->InjectMouseMove(over);
    Pump();
    MSG message { main.m_hWnd, WM_MOUSEMOVE, 0, 0, 0, over };
    tip.RelayEvent(&message);
    EXPECT_TRUE(TipVisible());
    EXPECT_EQ(tip.Drawer().GetHoveredLink(), 0);
}

TEST_F(ToolTipTest, SettersHoldTheirLimits)
{
    tip.SetSize(9, 5);
    EXPECT_EQ(tip.GetSize(9), 0);
    tip.SetSize(CPPToolTip::MarginX, 5);
    EXPECT_EQ(tip.GetSize(CPPToolTip::MarginX), 5);
    tip.SetDefaultSizes(FALSE);
    EXPECT_EQ(tip.GetSize(CPPToolTip::MarginX), 3);
    EXPECT_EQ(tip.GetSize(CPPToolTip::TailHeight), 0);
    tip.SetDelayTime(CPPToolTip::Initial, 50);
    tip.SetDelayTime(7, 9);
    EXPECT_EQ(tip.GetDelayTime(CPPToolTip::Initial), 50u);
    EXPECT_EQ(tip.GetDelayTime(CPPToolTip::AutoPop), 5000u);
}

} // namespace
