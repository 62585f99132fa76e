#include "platform/base/tests/Printers.h"
#include "DockingFixture.h"

#include "framework/AutoHideBar.h"
#include "framework/DockState.h"
#include "framework/FrameWnd.h"
#include "platform/user/tests/PixelChecks.h"

#include <filesystem>

namespace {

constexpr UINT ID_FIRST_BAR = AFX_IDW_CONTROLBAR_FIRST + 70;

class AutoHideBarTest : public DockingFixture {
protected:
    CFrameWnd* NewFrame() override { return new SECFrameWnd; }
    void SetUp() override
    {
        DockingFixture::SetUp();
        toolkitFrame()->EnableDocking(CBRS_ALIGN_ANY);
    }
    SECFrameWnd* toolkitFrame() const { return static_cast<SECFrameWnd*>(frame); }

    // A shown bar of the fixture's, docked on the side of that dock bar.
    SECControlBar& DockedBar(LPCWSTR title, DWORD alignment, DWORD exStyle, UINT dockBarId, UINT id = ID_FIRST_BAR)
    {
        auto& bar = bars.emplace_back(std::make_unique<SECControlBar>());
        EXPECT_TRUE(bar->Create(frame, title, WS_VISIBLE | alignment, exStyle, id));
        bar->m_szFloat = CSize(120, 90);
        bar->EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(bar.get(), dockBarId);
        return *bar;
    }
    // The "Output" bar with gripper and close button, docked on the left.
    SECControlBar& DockedOutputBar() { return DockedBar(L"Output", CBRS_LEFT, CBRS_EX_GRIPPER | CBRS_EX_CLOSEBUTTON, AFX_IDW_DOCKBAR_LEFT); }
    // A bar docked on the side of that dock bar, then unpinned into its strip.
    SECControlBar& AutoHiddenBar(LPCWSTR title, UINT dockBarId, int index = 0)
    {
        SECControlBar& bar = DockedBar(title, CBRS_TOP, 0, dockBarId, ID_FIRST_BAR + index);
        EXPECT_TRUE(toolkitFrame()->AutoHideControlBar(&bar));
        Pump();
        return bar;
    }
    SECAutoHideBarBtn* ButtonOf(const SECControlBar& bar, DWORD side) { return toolkitFrame()->GetAutoHideBar(side)->FindButton(&bar); }
    void HoverOver(HWND window)
    {
        CRect rect;
        ::GetWindowRect(window, &rect);
        headless->InjectMouseMove(rect.CenterPoint());
        Pump();
    }
    void MoveAway()
    {
        CRect rect;
        frame->GetWindowRect(&rect);
        headless->InjectMouseMove(rect.CenterPoint());
        Pump();
    }
    void Wait(UINT milliseconds)
    {
        headless->Advance(milliseconds);
        Pump();
    }
    // The bar's caption, in window coordinates.
    static CRect Caption(const SECControlBar& bar)
    {
        CRect caption = bar.GetGripperRect();
        CRect window;
        bar.GetWindowRect(&window);
        CPoint origin;
        bar.ClientToScreen(&origin);
        caption.OffsetRect(origin - window.TopLeft());
        return caption;
    }
    static CWnd* FloatingFrame(const SECControlBar& bar) { return CWnd::FromHandle(::GetAncestor(bar.m_hWnd, GA_ROOT)); }
    static CRect WindowRect(CWnd* window)
    {
        CRect rect;
        window->GetWindowRect(&rect);
        return rect;
    }

    std::vector<std::unique_ptr<SECControlBar>> bars;
};

TEST_F(AutoHideBarTest, StripsStayHiddenUntilABarIsUnpinnedIntoThem)
{
    for (DWORD side : { CBRS_ALIGN_LEFT, CBRS_ALIGN_TOP, CBRS_ALIGN_RIGHT, CBRS_ALIGN_BOTTOM }) {
        SECAutoHideBar* strip = toolkitFrame()->GetAutoHideBar(side);
        ASSERT_NE(strip, nullptr);
        EXPECT_FALSE(strip->IsWindowVisible());
        EXPECT_EQ(strip->GetButtonCount(), 0);
    }
    SECControlBar& bar = AutoHiddenBar(L"Output", AFX_IDW_DOCKBAR_LEFT);
    SECAutoHideBar* strip = toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_LEFT);
    EXPECT_TRUE(strip->IsWindowVisible());
    ASSERT_EQ(strip->GetButtonCount(), 1);
    EXPECT_EQ(strip->GetButton(0)->Label(), CString(L"Output"));
    EXPECT_FALSE(bar.IsVisible());
    EXPECT_TRUE(bar.m_bAutoHide);
    EXPECT_FALSE(bar.m_bPinned);
    EXPECT_EQ(bar.m_dwAutoHideSide, CBRS_ALIGN_LEFT);
    EXPECT_EQ(strip->CalcFixedLayout(FALSE, FALSE).cx, strip->Thickness());

    // Pinning it again docks it back on its side and hides the emptied strip.
    EXPECT_TRUE(toolkitFrame()->PinControlBar(&bar));
    Pump();
    EXPECT_EQ(strip->GetButtonCount(), 0);
    EXPECT_FALSE(strip->IsWindowVisible());
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.m_pDockBar->GetDlgCtrlID(), static_cast<int>(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_FALSE(toolkitFrame()->PinControlBar(&bar)) << "a docked bar has nothing to leave";
}

TEST_F(AutoHideBarTest, ABarDestroyedWhileAutoHiddenTakesItsButtonAlong)
{
    SECControlBar& bar = AutoHiddenBar(L"Output", AFX_IDW_DOCKBAR_RIGHT);
    SECAutoHideBar* strip = toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_RIGHT);
    strip->m_nSlideTime = 0;
    HoverOver(ButtonOf(bar, CBRS_ALIGN_RIGHT)->m_hWnd);
    ASSERT_TRUE(bar.IsVisible());
    bar.DestroyWindow();
    EXPECT_EQ(strip->GetButtonCount(), 0);
    EXPECT_FALSE(strip->IsWindowVisible());
    Wait(2000); // no timer of the button is left to fire
}

TEST_F(AutoHideBarTest, ThePinSendsTheBarIntoItsStripAndBack)
{
    SECControlBar& bar = DockedOutputBar();
    ASSERT_NE(bar.m_hWnd, nullptr);
    Pump();
    EXPECT_TRUE(bar.GetPinButtonRect().IsRectEmpty()) << "a bar that may not auto-hide has no pin";
    bar.m_bAutoHide = TRUE;
    const CRect pin = bar.GetPinButtonRect();
    ASSERT_FALSE(pin.IsRectEmpty());
    EXPECT_EQ(pin.top, bar.GetCloseButtonRect().top) << "beside the close button";
    EXPECT_LT(pin.right, bar.GetCloseButtonRect().left);

    auto click = [&](CRect button) {
        CPoint at = button.CenterPoint();
        bar.ClientToScreen(&at);
        headless->Advance(1000);
        headless->InjectMouseMove(at);
        headless->InjectButton(1, true, at);
        headless->InjectButton(1, false, at);
        Pump();
    };
    click(pin);
    SECAutoHideBar* strip = toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_LEFT);
    ASSERT_EQ(strip->GetButtonCount(), 1);
    EXPECT_TRUE(bar.IsSliding());
    EXPECT_FALSE(bar.IsVisible());

    // Out of its strip the bar has its caption on top, with the pin pointing left.
    strip->m_nSlideTime = 0;
    HoverOver(strip->GetButton(0)->m_hWnd);
    ASSERT_TRUE(bar.IsVisible());
    const CRect slidingPin = bar.GetPinButtonRect();
    ASSERT_FALSE(slidingPin.IsRectEmpty());
    EXPECT_LT(slidingPin.top, 10);
    bar.UpdateWindow();
    CRect caption = Caption(bar);
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(bar.m_hWnd, caption, "autohide-caption-sliding.png"));

    click(slidingPin);
    EXPECT_FALSE(bar.IsSliding());
    EXPECT_EQ(strip->GetButtonCount(), 0);
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_EQ(bar.m_pDockBar->GetDlgCtrlID(), static_cast<int>(AFX_IDW_DOCKBAR_LEFT));
    bar.UpdateWindow();
    caption = Caption(bar);
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(bar.m_hWnd, caption, "autohide-caption-pinned.png"));
}

TEST_F(AutoHideBarTest, ABarThatIsNotDockedCannotBeUnpinned)
{
    SECControlBar bar;
    ASSERT_TRUE(bar.Create(frame, L"Loose", WS_VISIBLE | CBRS_TOP, 0, ID_FIRST_BAR));
    EXPECT_FALSE(toolkitFrame()->AutoHideControlBar(&bar));
    EXPECT_FALSE(toolkitFrame()->AutoHideControlBar(nullptr));
    EXPECT_FALSE(bar.m_bAutoHide);
}

TEST_F(AutoHideBarTest, HoveringSlidesTheBarOutAndLeavingSlidesItBackIn)
{
    struct Case {
        UINT dockBarId;
        DWORD side;
    };
    for (const Case& c : { Case { AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT }, Case { AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM } }) {
        SCOPED_TRACE(c.side);
        SECControlBar& bar = AutoHiddenBar(L"Watch", c.dockBarId, static_cast<int>(bars.size()));
        SECAutoHideBarBtn* button = ButtonOf(bar, c.side);
        ASSERT_NE(button, nullptr);
        const CRect strip = WindowRect(toolkitFrame()->GetAutoHideBar(c.side));
        const bool vertical = c.side == CBRS_ALIGN_LEFT;
        const CRect out = vertical ? CRect(strip.left + 30, strip.top + 2, strip.left + 150, strip.bottom - 2)
                                   : CRect(strip.left, strip.bottom - 120, strip.right, strip.bottom - 30);

        HoverOver(button->m_hWnd);
        EXPECT_TRUE(button->IsPressed());
        // Five steps of 10 ms, each showing a fifth more of the bar, from the strip's side.
        for (int step = 1; step <= SECAutoHideBarBtn::kSlideSteps; ++step) {
            Wait(10);
            ASSERT_TRUE(bar.IsVisible());
            const CRect shown = WindowRect(FloatingFrame(bar));
            if (vertical)
                EXPECT_EQ(shown, CRect(out.left, out.top, out.left + out.Width() * step / 5, out.bottom)) << step;
            else
                EXPECT_EQ(shown, CRect(out.left, out.bottom - out.Height() * step / 5, out.right, out.bottom)) << step;
        }
        // The mouse rests on the bar: it stays out.
        HoverOver(bar.m_hWnd);
        Wait(1000);
        EXPECT_TRUE(bar.IsVisible());
        EXPECT_EQ(WindowRect(FloatingFrame(bar)), out);

        // The mouse is checked every half second; at the first check outside both, the bar goes.
        MoveAway();
        Wait(SECAutoHideBarBtn::kTrackInterval);
        EXPECT_FALSE(button->IsPressed());
        for (int step = SECAutoHideBarBtn::kSlideSteps - 1; step > 0; --step) {
            Wait(10);
            EXPECT_TRUE(bar.IsVisible()) << step;
        }
        Wait(10);
        EXPECT_FALSE(bar.IsVisible());
        EXPECT_FALSE(FloatingFrame(bar)->IsWindowVisible());
    }
}

TEST_F(AutoHideBarTest, ToggleBarSlidesABarOfTheStripOutAndBackIn)
{
    SECControlBar& bar = AutoHiddenBar(L"Watch", AFX_IDW_DOCKBAR_LEFT);
    ASSERT_FALSE(bar.IsVisible());
    auto slide = [&] {
        for (int step = 0; step < SECAutoHideBarBtn::kSlideSteps; ++step)
            Wait(10);
    };
    EXPECT_FALSE(bar.ToggleBar());
    slide();
    EXPECT_TRUE(bar.IsVisible());
    const CRect strip = WindowRect(toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_LEFT));
    EXPECT_EQ(WindowRect(FloatingFrame(bar)), CRect(strip.left + 30, strip.top + 2, strip.left + 150, strip.bottom - 2)) << "slid out";

    EXPECT_TRUE(bar.ToggleBar());
    slide();
    EXPECT_FALSE(bar.IsVisible());
    EXPECT_FALSE(FloatingFrame(bar)->IsWindowVisible());
    EXPECT_TRUE(bar.IsSliding()) << "not pinned";
}

TEST_F(AutoHideBarTest, HoveringASecondButtonPutsTheFirstBarBackFirst)
{
    SECControlBar& first = AutoHiddenBar(L"One", AFX_IDW_DOCKBAR_LEFT, 0);
    SECControlBar& second = AutoHiddenBar(L"Two", AFX_IDW_DOCKBAR_RIGHT, 1);
    toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_LEFT)->m_nSlideTime = 0;
    toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_RIGHT)->m_nSlideTime = 0;

    HoverOver(ButtonOf(first, CBRS_ALIGN_LEFT)->m_hWnd);
    EXPECT_TRUE(first.IsVisible()) << "with no slide time the bar is out at once";
    HoverOver(ButtonOf(second, CBRS_ALIGN_RIGHT)->m_hWnd);
    EXPECT_FALSE(first.IsVisible());
    EXPECT_FALSE(ButtonOf(first, CBRS_ALIGN_LEFT)->IsPressed());
    EXPECT_TRUE(second.IsVisible());
}

TEST_F(AutoHideBarTest, RemovingTheFirstButtonMovesTheOthersUpAndTheLastHidesTheStrip)
{
    SECControlBar& first = AutoHiddenBar(L"Output", AFX_IDW_DOCKBAR_TOP, 0);
    SECControlBar& second = AutoHiddenBar(L"Watch", AFX_IDW_DOCKBAR_TOP, 1);
    SECAutoHideBar* strip = toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_TOP);
    ASSERT_EQ(strip->GetButtonCount(), 2);
    const CRect firstPlace = PlaceInParent(strip->GetButton(0)->m_hWnd);
    const CRect secondPlace = PlaceInParent(strip->GetButton(1)->m_hWnd);
    EXPECT_EQ(firstPlace.left, SECAutoHideBar::kFirstButtonOffset);
    EXPECT_EQ(secondPlace.left, firstPlace.right);
    EXPECT_EQ(secondPlace.Width(), firstPlace.Width()) << "buttons are as long as the longest label";

    toolkitFrame()->PinControlBar(&first);
    ASSERT_EQ(strip->GetButtonCount(), 1);
    EXPECT_EQ(PlaceInParent(strip->GetButton(0)->m_hWnd).left, SECAutoHideBar::kFirstButtonOffset);
    EXPECT_TRUE(strip->IsWindowVisible());
    toolkitFrame()->PinControlBar(&second);
    EXPECT_FALSE(strip->IsWindowVisible());
}

TEST_F(AutoHideBarTest, StripsLookLikeRowsOfTabs)
{
    SECControlBar& left = AutoHiddenBar(L"Output", AFX_IDW_DOCKBAR_LEFT, 0);
    AutoHiddenBar(L"Watch", AFX_IDW_DOCKBAR_TOP, 1);
    AutoHiddenBar(L"Find", AFX_IDW_DOCKBAR_TOP, 2);
    toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_LEFT)->m_nSlideTime = 0;
    HoverOver(ButtonOf(left, CBRS_ALIGN_LEFT)->m_hWnd);
    frame->UpdateWindow();
    for (auto [side, name] : { std::pair { CBRS_ALIGN_TOP, "autohide-top-strip.png" }, std::pair { CBRS_ALIGN_LEFT, "autohide-left-strip.png" } }) {
        SECAutoHideBar* strip = toolkitFrame()->GetAutoHideBar(side);
        strip->UpdateWindow();
        CRect area = WindowRect(strip);
        area.OffsetRect(-area.left, -area.top);
        (side == CBRS_ALIGN_TOP ? area.right : area.bottom) = 160;
        EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(strip->m_hWnd, area, name));
    }
}

TEST_F(AutoHideBarTest, AutoHiddenBarsComeBackOnTheirStripsFromTheSavedLayout)
{
    SECControlBar& output = AutoHiddenBar(L"Output", AFX_IDW_DOCKBAR_LEFT, 0);
    SECControlBar& watch = AutoHiddenBar(L"Watch", AFX_IDW_DOCKBAR_BOTTOM, 1);
    toolkitFrame()->SaveBarState(L"AutoHide");
    // As a new start has them: docked, on no strip.
    for (SECControlBar* bar : { &output, &watch })
        ASSERT_TRUE(toolkitFrame()->PinControlBar(bar));
    Pump();

    toolkitFrame()->LoadBarState(L"AutoHide");
    Pump();
    for (auto [bar, side] : { std::pair { &output, CBRS_ALIGN_LEFT }, std::pair { &watch, CBRS_ALIGN_BOTTOM } }) {
        SCOPED_TRACE(side);
        SECAutoHideBar* strip = toolkitFrame()->GetAutoHideBar(side);
        ASSERT_EQ(strip->GetButtonCount(), 1);
        EXPECT_EQ(&strip->GetButton(0)->Bar(), bar);
        EXPECT_TRUE(strip->IsWindowVisible());
        EXPECT_TRUE(bar->IsSliding());
        EXPECT_EQ(bar->m_dwAutoHideSide, side);
        EXPECT_FALSE(bar->IsVisible()) << "hidden in its strip";
        EXPECT_FALSE(FloatingFrame(*bar)->GetStyle() & WS_CAPTION);
    }
    // The archive form keeps no auto-hide fields: the bars keep their own and stay on their strips.
    const std::wstring path = (std::filesystem::path(settings.root()) / "layout.bin").wstring();
    {
        SECDockState saved;
        ASSERT_TRUE(saved.GetState(frame));
        CFile file(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive archive(&file, CArchive::store);
        saved.Serialize(archive);
        archive.Close();
    }
    {
        SECDockState loaded;
        CFile file(path.c_str(), CFile::modeRead);
        CArchive archive(&file, CArchive::load);
        loaded.Serialize(archive);
        ASSERT_TRUE(loaded.SetState(frame));
    }
    Pump();
    for (auto [bar, side] : { std::pair { &output, CBRS_ALIGN_LEFT }, std::pair { &watch, CBRS_ALIGN_BOTTOM } }) {
        SCOPED_TRACE(side);
        ASSERT_EQ(toolkitFrame()->GetAutoHideBar(side)->GetButtonCount(), 1);
        EXPECT_TRUE(bar->IsSliding());
        EXPECT_FALSE(bar->IsVisible());
    }

    // Loading again puts no second button on a strip; the bar still slides out.
    toolkitFrame()->LoadBarState(L"AutoHide");
    Pump();
    SECAutoHideBar* left = toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_LEFT);
    ASSERT_EQ(left->GetButtonCount(), 1);
    left->m_nSlideTime = 0;
    HoverOver(left->GetButton(0)->m_hWnd);
    EXPECT_TRUE(output.IsVisible());
}

TEST_F(AutoHideBarTest, AButtonShowsItsBarsIconBeforeTheLabel)
{
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    ASSERT_NE(icon, nullptr);
    auto withIcon = [&](LPCWSTR title, int index) -> SECControlBar& {
        auto& bar = bars.emplace_back(std::make_unique<SECControlBar>());
        EXPECT_TRUE(bar->Create(frame, title, WS_VISIBLE | CBRS_TOP, 0, ID_FIRST_BAR + index));
        bar->SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        bar->EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(bar.get(), AFX_IDW_DOCKBAR_TOP);
        EXPECT_TRUE(toolkitFrame()->AutoHideControlBar(bar.get()));
        return *bar;
    };
    SECControlBar& plain = AutoHiddenBar(L"Watch", AFX_IDW_DOCKBAR_TOP, 0);
    SECControlBar& find = withIcon(L"Find", 1);
    SECControlBar& results = withIcon(L"Search Results", 2);
    Pump();
    SECAutoHideBar* strip = toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_TOP);
    EXPECT_EQ(ButtonOf(plain, CBRS_ALIGN_TOP)->Icon(), nullptr);
    ASSERT_NE(ButtonOf(find, CBRS_ALIGN_TOP)->Icon(), nullptr);
    EXPECT_NE(ButtonOf(find, CBRS_ALIGN_TOP)->Icon(), icon) << "a copy of its own";
    // The first button is as long as the longest label with its icon; one with an icon, its own.
    const int first = WindowRect(ButtonOf(plain, CBRS_ALIGN_TOP)).Width();
    const int second = WindowRect(ButtonOf(find, CBRS_ALIGN_TOP)).Width();
    const int third = WindowRect(ButtonOf(results, CBRS_ALIGN_TOP)).Width();
    EXPECT_EQ(first, third) << "the longest is the third's label and icon";
    EXPECT_LT(second, third);
    EXPECT_GE(second, 2 * SECAutoHideBarBtn::kIconSize + SECAutoHideBar::kButtonPadding) << "room for the icon and the label";
    strip->UpdateWindow();
    CRect area = WindowRect(strip);
    area.OffsetRect(-area.left, -area.top);
    area.right = std::min<LONG>(area.right, 360);
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(strip->m_hWnd, area, "autohide-strip-icons.png"));
}

TEST_F(AutoHideBarTest, ASlidOutBarGoesBackWhenTheFocusLeavesAndItsCloseButtonTakesItOffTheStrip)
{
    SECControlBar& bar = DockedOutputBar();
    ASSERT_NE(bar.m_hWnd, nullptr);
    ASSERT_TRUE(toolkitFrame()->AutoHideControlBar(&bar));
    SECAutoHideBar* strip = toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_LEFT);
    strip->m_nSlideTime = 0;
    auto slideOut = [&] {
        HoverOver(strip->GetButton(0)->m_hWnd);
        ASSERT_TRUE(bar.IsVisible());
    };

    slideOut();
    bar.SetFocus();
    Pump();
    frame->SetFocus(); // the focus leaves for the frame
    Pump();
    EXPECT_FALSE(bar.IsVisible());
    EXPECT_FALSE(strip->GetButton(0)->IsPressed());
    EXPECT_TRUE(bar.IsSliding()) << "still on its strip";

    slideOut();
    CPoint at = bar.GetCloseButtonRect().CenterPoint();
    bar.ClientToScreen(&at);
    headless->Advance(1000);
    headless->InjectMouseMove(at);
    headless->InjectButton(1, true, at);
    headless->InjectButton(1, false, at);
    Pump();
    EXPECT_FALSE(bar.IsVisible());
    EXPECT_EQ(strip->GetButtonCount(), 0);
    EXPECT_FALSE(strip->IsWindowVisible());
    EXPECT_FALSE(bar.IsSliding());
    // Shown again, it is docked on its side.
    frame->ShowControlBar(&bar, TRUE, FALSE);
    Pump();
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_EQ(bar.m_pDockBar->GetDlgCtrlID(), static_cast<int>(AFX_IDW_DOCKBAR_LEFT));
}

TEST_F(AutoHideBarTest, EnablingAutoHidePutsTheBarOnItsStripShownAndPinnedOnce)
{
    struct Case {
        DWORD side;
        int buttons; // on the right strip afterwards
    };
    for (const Case& c : { Case { CBRS_ALIGN_RIGHT, 1 }, Case { 0, 0 } }) {
        SCOPED_TRACE(c.side);
        SECControlBar& bar = DockedBar(L"Output", CBRS_RIGHT, 0, AFX_IDW_DOCKBAR_RIGHT, ID_FIRST_BAR + static_cast<UINT>(bars.size()));
        ASSERT_NE(bar.m_hWnd, nullptr);
        frame->ShowControlBar(&bar, FALSE, FALSE);
        EXPECT_FALSE(bar.EnableAutoHide()) << "auto-hide is off";
        EXPECT_FALSE(bar.IsVisible());

        bar.m_bAutoHide = TRUE;
        bar.m_bPinned = FALSE;
        bar.m_dwAutoHideSide = c.side;
        EXPECT_TRUE(bar.EnableAutoHide());
        Pump();
        SECAutoHideBar* strip = toolkitFrame()->GetAutoHideBar(CBRS_ALIGN_RIGHT);
        ASSERT_EQ(strip->GetButtonCount(), c.buttons);
        EXPECT_TRUE(bar.IsVisible()) << "shown at once";
        EXPECT_TRUE(bar.m_bPinned);

        // Placed before: nothing more happens.
        frame->ShowControlBar(&bar, FALSE, FALSE);
        EXPECT_TRUE(bar.EnableAutoHide());
        Pump();
        EXPECT_FALSE(bar.IsVisible());
        EXPECT_EQ(strip->GetButtonCount(), c.buttons);
        strip->RemoveBar(&bar);
    }
}

TEST_F(AutoHideBarTest, ThePinLooksRaisedWhileThePointerIsOverIt)
{
    SECControlBar& bar = DockedOutputBar();
    ASSERT_NE(bar.m_hWnd, nullptr);
    bar.m_bAutoHide = TRUE;
    Pump();
    const CRect pin = bar.GetPinButtonRect();
    ASSERT_FALSE(pin.IsRectEmpty());
    auto pointAt = [&](CPoint at) {
        bar.ClientToScreen(&at);
        headless->InjectMouseMove(at);
        Pump();
        bar.UpdateWindow();
    };
    const COLORREF face = GetSysColor(COLOR_3DFACE), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    ASSERT_EQ(PixelAt(bar.m_hWnd, pin.left, pin.top), face);

    pointAt(pin.CenterPoint());
    EXPECT_TRUE(bar.IsPinHot());
    EXPECT_EQ(PixelAt(bar.m_hWnd, pin.left, pin.top), highlight);
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(bar.m_hWnd, Caption(bar), "autohide-pin-hot.png"));
    Wait(SECControlBar::kPinHoverInterval * 3);
    EXPECT_TRUE(bar.IsPinHot()) << "the pointer is still over the pin";
    EXPECT_EQ(PixelAt(bar.m_hWnd, pin.left, pin.top), highlight);

    // Leaving the bar altogether: it hears of no move, its timer notices.
    MoveAway();
    Wait(SECControlBar::kPinHoverInterval);
    bar.UpdateWindow();
    EXPECT_FALSE(bar.IsPinHot());
    EXPECT_EQ(PixelAt(bar.m_hWnd, pin.left, pin.top), face);
}

} // namespace
