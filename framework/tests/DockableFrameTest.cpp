#include "framework/DockableFrame.h"

#include "framework/CaptionFilters.h"
#include "framework/ControlBar.h"
#include "framework/MdiFrameWnd.h"
#include "framework/SysCommandEx.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/tests/PixelChecks.h"

#include <gtest/gtest.h>

#include "DockingFixture.h"

#include <algorithm>
#include <optional>

using namespace nsSysCommandEx;

namespace {

class DockableFrameTest : public HeadlessAppFixture {
protected:
    void SetUp() override
    {
        HeadlessAppFixture::SetUp();
        main = new SECMDIFrameWnd;
        ASSERT_TRUE(main->Create(nullptr, L"Desk", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 640, 480)));
        app.m_pMainWnd = main;
        main->EnableDocking(CBRS_ALIGN_ANY);
        ::SetActiveWindow(main->m_hWnd);
        tools = NewTools();
    }
    void TearDown() override
    {
        SetModalLoopHook({});
        HeadlessAppFixture::TearDown();
    }
    SECDockableFrame* NewTools()
    {
        auto* frame = new SECDockableFrame;
        EXPECT_TRUE(frame->CreateInClient(L"Tools", main));
        Pump();
        return frame;
    }
    HWND ActiveChild() const
    {
        return reinterpret_cast<HWND>(::SendMessageW(main->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
    }
    // The extended command, as the caption filters send it.
    LRESULT Send(WPARAM code, SysCommandExInfo& info) const
    {
        info.window = tools->m_hWnd;
        return tools->SendMessage(SysCommandExMessage(), code, reinterpret_cast<LPARAM>(&info));
    }
    LRESULT Place(int placement) const
    {
        SysCommandExInfo info;
        info.command = placement;
        return Send(SCX_EXECUTE, info);
    }
    int Placement() const { return CurrentPlacement(tools); }
    CPoint CaptionPoint() const
    {
        CRect window;
        tools->GetWindowRect(&window);
        return window.TopLeft() + CPoint(30, 10);
    }
    LRESULT SendToCaption(UINT message) const
    {
        const CPoint at = CaptionPoint();
        return tools->SendMessage(message, HTCAPTION, MAKELPARAM(at.x, at.y));
    }
    // Answers the next popup menus with these keys.
    void AnswerMenuWith(std::vector<unsigned> keys)
    {
        SetModalLoopHook([this, keys, next = size_t(0)](HWND) mutable {
            if (next == keys.size()) {
                EndMenu();
                return;
            }
            headless->InjectKey(keys[next], true);
            headless->InjectKey(keys[next++], false);
        });
    }
    // The filter of that id is installed and sees messages (its parents enabled too).
    static bool Works(SECDockableFrame* frame, int id)
    {
        SECMsgFilter* filter = frame->FilterRoot().FindOrCreate(id, nullptr, -1);
        if (!filter || !filter->IsEnabled())
            return false;
        for (const auto* descriptor : frame->FilterTable())
            if (descriptor->id == id && descriptor->parentId != SECMsgFilter::RootId)
                return Works(frame, descriptor->parentId);
        return true;
    }

    SECMDIFrameWnd* main = nullptr;
    SECDockableFrame* tools = nullptr;
};

TEST_F(DockableFrameTest, WithoutFiltersItIsAPlainMdiChild)
{
    EXPECT_EQ(Placement(), MDIRestored);
    EXPECT_EQ(ActiveChild(), tools->m_hWnd);
    EXPECT_EQ(::GetParent(tools->m_hWnd), main->m_hWndMDIClient);
    // The extended system command is answered with 0 and moves nothing; there is no extra button.
    EXPECT_EQ(Place(DockedLeft), 0);
    EXPECT_EQ(Placement(), MDIRestored);
    EXPECT_EQ(tools->FilterRoot().FindOrCreate(SECDockableFrame::PlacementButtonId, nullptr, -1), nullptr);
}

TEST_F(DockableFrameTest, EnableFiltersInstallsWhatTheFeaturesAsk)
{
    using F = SECDockableFrame;
    struct Case {
        UINT features;
        bool command, buttons, doubleClick, contextMenu;
    } cases[] = {
        { 0, false, false, false, false },
        { F::NoCaptionButtons, false, false, false, false }, // nothing without bit 0
        { F::CaptionFeatures, true, true, true, true },
        { F::CaptionFeatures | F::NoCaptionButtons, true, false, true, true },
        { F::CaptionFeatures | F::NoRightDoubleClick, true, true, false, true },
        { F::CaptionFeatures | F::NoCaptionMenu, true, true, true, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.features);
        SECDockableFrame* frame = NewTools();
        frame->EnableFilters(c.features);
        EXPECT_EQ(Works(frame, F::CommandFilterId), c.command);
        EXPECT_EQ(Works(frame, F::PlacementButtonId), c.buttons);
        EXPECT_EQ(Works(frame, F::RightDoubleClickId), c.doubleClick);
        EXPECT_EQ(Works(frame, F::ContextMenuId), c.contextMenu);
        // The row keeps the system's five buttons for their places only: the system draws them.
        if (auto* row = dynamic_cast<SECCaptionControlListMsgFilter*>(frame->FilterRoot().FindOrCreate(F::ButtonListId))) {
            for (int id = SECCaptionControlMsgFilter::Close; id <= SECCaptionControlMsgFilter::Help; ++id) {
                SECMsgFilter* button = row->FindOrCreate(id);
                ASSERT_TRUE(button) << id;
                EXPECT_FALSE(button->IsEnabled()) << id;
            }
        }
        frame->DestroyWindow();
    }
}

TEST_F(DockableFrameTest, TurningTheButtonsOffLaterHidesTheExtraButton)
{
    tools->EnableFilters(SECDockableFrame::CaptionFeatures);
    ASSERT_TRUE(Works(tools, SECDockableFrame::PlacementButtonId));
    tools->EnableFilters(SECDockableFrame::CaptionFeatures | SECDockableFrame::NoCaptionButtons);
    EXPECT_FALSE(Works(tools, SECDockableFrame::PlacementButtonId));
    EXPECT_TRUE(Works(tools, SECDockableFrame::RightDoubleClickId));
}

TEST_F(DockableFrameTest, TheCaptionShowsThePlacementButtonBesideTheSystemButtons)
{
    tools->EnableFilters(SECDockableFrame::CaptionFeatures);
    tools->SendMessage(WM_NCPAINT, 1);
    auto* extra = static_cast<ScxButtonMsgFilter*>(tools->FilterRoot().FindOrCreate(SECDockableFrame::PlacementButtonId, nullptr, -1));
    const CRect button = extra->GetRect();
    ASSERT_FALSE(button.IsRectEmpty());
    // The system's close, maximise and minimise buttons, then the placement button.
    CRect window;
    tools->GetWindowRect(&window);
    const CRect area(button.left - 4, button.top - 2, window.Width() - 4, button.bottom + 2);
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(tools->m_hWnd, area, "dockable-caption.png"));

    // A click on it carries out the default placement: the MDI child docks.
    const CPoint centre = button.CenterPoint() + window.TopLeft();
    headless->InjectMouseMove(centre);
    headless->InjectButton(1, true, centre);
    Pump();
    headless->InjectButton(1, false, centre);
    Pump();
    EXPECT_EQ(GetGroup(Placement()), Docked);
}

TEST_F(DockableFrameTest, ThePlacementMenuChecksWhereTheFrameIs)
{
    tools->EnableFilters(SECDockableFrame::CaptionFeatures);
    ASSERT_TRUE(Place(DockedLeft));
    auto* command = dynamic_cast<ScxMsgFilter*>(tools->FilterRoot().FindOrCreate(SECDockableFrame::CommandFilterId));
    ASSERT_TRUE(command);
    HMENU menu = command->BuildMenuFor(tools);
    auto checked = [](HMENU in, UINT id) { return (::GetMenuState(in, id, MF_BYCOMMAND) & MF_CHECKED) != 0; };
    EXPECT_TRUE(checked(menu, Docked));
    EXPECT_FALSE(checked(menu, Floating));
    EXPECT_FALSE(checked(menu, MDIChild));
    EXPECT_TRUE(checked(menu, DockedLeft));
    EXPECT_FALSE(checked(menu, DockedTop));
    EXPECT_EQ(::GetMenuItemCount(menu), 6);
    ::DestroyMenu(menu);
}

TEST_F(DockableFrameTest, ThePlacementsMoveTheFrameBetweenClientBarAndMiniFrame)
{
    tools->EnableFilters(SECDockableFrame::CaptionFeatures);

    // Docked at the top: hosted in a bar of the top dock bar, no longer an MDI child.
    ASSERT_TRUE(Place(DockedTop));
    CControlBar* bar = tools->GetHostBar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->m_pDockBar, AfxFindDockBar(main, AFX_IDW_DOCKBAR_TOP));
    EXPECT_FALSE(tools->GetExStyle() & WS_EX_MDICHILD);
    EXPECT_EQ(ActiveChild(), nullptr);
    CRect inside, hosted;
    bar->GetClientRect(&inside);
    bar->CalcInsideRect(inside, TRUE);
    tools->GetWindowRect(&hosted);
    bar->ScreenToClient(&hosted);
    EXPECT_EQ(hosted, inside);

    // Floating: the bar sits in a mini frame of its own.
    ASSERT_TRUE(Place(Floating));
    EXPECT_EQ(Placement(), Floating);
    EXPECT_TRUE(tools->IsHostBarFloating());
    HWND mini = ::GetAncestor(tools->m_hWnd, GA_ROOT);
    EXPECT_NE(mini, main->m_hWnd);

    // An MDI child again, maximised: the bar and its mini frame are gone.
    ASSERT_TRUE(Place(MDIMaximized));
    Pump();
    EXPECT_EQ(Placement(), MDIMaximized);
    EXPECT_FALSE(::IsWindow(mini));
    EXPECT_EQ(tools->GetHostBar(), nullptr);
    EXPECT_EQ(ActiveChild(), tools->m_hWnd);

    // Choosing by default: an MDI child is docked, a docked frame becomes an MDI child.
    ASSERT_TRUE(Place(ChooseOne));
    EXPECT_EQ(GetGroup(Placement()), Docked);
    ASSERT_TRUE(Place(ChooseOne));
    EXPECT_EQ(Placement(), MDIRestored);

    // An MDI child floats where it stood; the plain "Docked" then docks it.
    CRect stood;
    tools->GetWindowRect(&stood);
    ASSERT_TRUE(Place(Floating));
    EXPECT_EQ(Placement(), Floating);
    CRect floating;
    ::GetWindowRect(::GetAncestor(tools->m_hWnd, GA_ROOT), &floating);
    EXPECT_EQ(floating.TopLeft(), stood.TopLeft());
    ASSERT_TRUE(Place(Docked));
    EXPECT_EQ(GetGroup(Placement()), Docked);
}

TEST_F(DockableFrameTest, AFrameWithoutDockBarsKeepsItsMdiChild)
{
    auto* plain = new SECMDIFrameWnd;
    ASSERT_TRUE(plain->Create(nullptr, L"Plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 400, 300)));
    tools = new SECDockableFrame;
    ASSERT_TRUE(tools->CreateInClient(L"Stays", plain));
    tools->EnableFilters(SECDockableFrame::CaptionFeatures);
    for (int placement : { DockedLeft, Docked }) {
        EXPECT_EQ(Place(placement), FALSE) << placement;
        EXPECT_EQ(::GetParent(tools->m_hWnd), plain->m_hWndMDIClient) << placement;
        EXPECT_EQ(Placement(), MDIRestored) << placement;
    }
}

TEST_F(DockableFrameTest, WithoutCaptionButtonsTheCaptionClicksStillWork)
{
    tools->EnableFilters(SECDockableFrame::CaptionFeatures | SECDockableFrame::NoCaptionButtons);
    // A right double click docks an MDI child and makes a docked frame an MDI child again.
    SendToCaption(WM_NCRBUTTONDBLCLK);
    EXPECT_EQ(GetGroup(Placement()), Docked);
    SendToCaption(WM_NCRBUTTONDBLCLK);
    EXPECT_EQ(Placement(), MDIRestored);

    // A right click opens the menu; "Floating" is its second item.
    AnswerMenuWith({ VK_DOWN, VK_DOWN, VK_RETURN });
    SendToCaption(WM_NCRBUTTONUP);
    Pump();
    EXPECT_EQ(Placement(), Floating);

    AnswerMenuWith({ VK_ESCAPE });
    SendToCaption(WM_NCRBUTTONUP);
    EXPECT_EQ(Placement(), Floating) << "a dismissed menu changes nothing";
}

// Closing a docked or floating frame by its caption's close button takes the bar that hosted it
// away: out of its dock row, or with its mini frame, and the main frame lays out again.
TEST_F(DockableFrameTest, ClosingAHostedFrameTakesItsBarAway)
{
    CRect clientAlone;
    ::GetWindowRect(main->m_hWndMDIClient, &clientAlone);
    for (int placement : { DockedTop, Floating }) {
        SCOPED_TRACE(placement);
        tools->EnableFilters(SECDockableFrame::CaptionFeatures);
        ASSERT_TRUE(Place(placement));
        Pump();
        CControlBar* bar = tools->GetHostBar();
        ASSERT_TRUE(bar);
        const HWND barWindow = bar->m_hWnd, house = ::GetAncestor(barWindow, GA_ROOT);
        const HWND hosted = tools->m_hWnd;
        CRect window;
        tools->GetWindowRect(&window);
        // The close button: the first point of the caption strip, from the right, that answers HTCLOSE.
        std::optional<CPoint> close;
        for (int y = window.top; y < window.top + 24 && !close; ++y)
            for (int x = window.right - 1; x > window.CenterPoint().x && !close; --x)
                if (::SendMessageW(hosted, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE)
                    close = CPoint(x - 4, y + 4); // well inside it
        ASSERT_TRUE(close) << "the caption has a close button";
        headless->InjectMouseMove(*close);
        headless->InjectButton(1, true, *close);
        headless->InjectButton(1, false, *close);
        Pump();

        ASSERT_FALSE(::IsWindow(hosted));
        EXPECT_FALSE(::IsWindow(barWindow));
        if (placement == Floating) {
            EXPECT_FALSE(::IsWindow(house)) << "the mini frame went with its bar";
        }
        CDockBar* top = AfxFindDockBar(main, AFX_IDW_DOCKBAR_TOP);
        const CControlBar* strip = main->GetAutoHideBar(CBRS_ALIGN_TOP); // stays, hidden
        EXPECT_EQ(std::count_if(top->m_arrBars.begin(), top->m_arrBars.end(), [&](CControlBar* entry) { return entry && entry != strip; }), 0);
        CRect client;
        ::GetWindowRect(main->m_hWndMDIClient, &client);
        EXPECT_EQ(client, clientAlone) << "the room of the bar is the client's again";
        tools = NewTools();
    }
}

TEST_F(DockableFrameTest, AGoingFrameIsNoLongerTheActiveOne)
{
    tools->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(main->m_hWnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(main->GetActiveChildOverride(), tools);
    tools->DestroyWindow();
    EXPECT_EQ(main->GetActiveChildOverride(), nullptr);
    EXPECT_EQ(ActiveChild(), nullptr);
}

} // namespace
