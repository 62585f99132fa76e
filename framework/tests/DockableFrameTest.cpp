#include "framework/DockableFrame.h"

#include "framework/ControlBar.h"
#include "framework/MdiFrameWnd.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/WinApp.h"

#include "framework/SysCommandEx.h"

#include <gtest/gtest.h>

using nsSysCommandEx::SysCommandExMessage;

namespace {

class DockableFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        SetCurrentDisplay(std::move(display));
        main = new SECMDIFrameWnd;
        ASSERT_TRUE(main->Create(nullptr, L"Desk", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 640, 480)));
        app.m_pMainWnd = main;
        main->EnableDocking(CBRS_ALIGN_ANY);
        ::SetActiveWindow(main->m_hWnd);
        tools = new SECDockableFrame;
        ASSERT_TRUE(tools->CreateInClient(L"Tools", main));
        Pump();
    }
    void TearDown() override
    {
        app.m_pMainWnd = nullptr;
        SetModalLoopHook({});
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
    HWND ActiveChild() const
    {
        return reinterpret_cast<HWND>(::SendMessageW(main->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
    }
    static UINT State(HMENU menu, UINT id) { return ::GetMenuState(menu, id, MF_BYCOMMAND); }

    HeadlessDisplay* headless = nullptr;
    CWinApp app { L"DockableFrameTest" };
    SECMDIFrameWnd* main = nullptr;
    SECDockableFrame* tools = nullptr;
};

TEST_F(DockableFrameTest, ItStartsAsTheActiveMdiChild)
{
    EXPECT_EQ(tools->GetPlacement(), SECDockableFrame::PlaceRestored);
    EXPECT_EQ(ActiveChild(), tools->m_hWnd);
    EXPECT_EQ(::GetParent(tools->m_hWnd), main->m_hWndMDIClient);
    // Without installed filters the extended system command is answered with 0.
    EXPECT_EQ(tools->SendMessage(SysCommandExMessage(), 0xC000, 0), 0);
}

TEST_F(DockableFrameTest, ThePlacementMenuChecksWhereTheFrameIs)
{
    ASSERT_TRUE(tools->ExecutePlacement(SECDockableFrame::PlaceLeft));
    HMENU menu = tools->BuildPlacementMenu();
    EXPECT_TRUE(State(menu, SECDockableFrame::PlaceDocked) & MF_CHECKED);
    EXPECT_FALSE(State(menu, SECDockableFrame::PlaceFloating) & MF_CHECKED);
    EXPECT_FALSE(State(menu, SECDockableFrame::PlaceMDIChild) & MF_CHECKED);
    EXPECT_TRUE(State(menu, SECDockableFrame::PlaceLeft) & MF_CHECKED);
    EXPECT_FALSE(State(menu, SECDockableFrame::PlaceTop) & MF_CHECKED);
    ASSERT_EQ(::GetMenuItemCount(menu), 6);
    wchar_t text[32] = {};
    ::GetMenuStringW(menu, 4, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"D&ocked to");
    ::DestroyMenu(menu);
}

TEST_F(DockableFrameTest, ThePlacementsMoveTheFrameBetweenClientBarAndMiniFrame)
{
    // Docked at the top: hosted in a bar of the top dock bar, no longer an MDI child.
    ASSERT_TRUE(tools->ExecutePlacement(SECDockableFrame::PlaceTop));
    SECControlBar* bar = tools->GetHostBar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(::GetParent(tools->m_hWnd), bar->m_hWnd);
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
    ASSERT_TRUE(tools->ExecutePlacement(SECDockableFrame::PlaceFloating));
    EXPECT_EQ(tools->GetPlacement(), SECDockableFrame::PlaceFloating);
    EXPECT_TRUE(tools->IsHostBarFloating());
    HWND mini = ::GetAncestor(tools->m_hWnd, GA_ROOT);
    EXPECT_NE(mini, main->m_hWnd);

    // An MDI child again, maximised: the bar and its mini frame are gone.
    ASSERT_TRUE(tools->ExecutePlacement(SECDockableFrame::PlaceMaximized));
    Pump();
    EXPECT_EQ(tools->GetPlacement(), SECDockableFrame::PlaceMaximized);
    EXPECT_FALSE(::IsWindow(mini));
    EXPECT_EQ(tools->GetHostBar(), nullptr);
    EXPECT_EQ(ActiveChild(), tools->m_hWnd);

    // Choosing by default: an MDI child is docked, a docked frame becomes an MDI child.
    ASSERT_TRUE(tools->ExecutePlacement(SECDockableFrame::PlaceChoose));
    EXPECT_EQ(SECDockableFrame::GroupOf(tools->GetPlacement()), SECDockableFrame::PlaceDocked);
    ASSERT_TRUE(tools->ExecutePlacement(SECDockableFrame::PlaceChoose));
    EXPECT_EQ(tools->GetPlacement(), SECDockableFrame::PlaceRestored);
}

TEST_F(DockableFrameTest, TheMenuIsChosenFromWithTheKeyboard)
{
    // "Floating" is the second item; a menu still open after the keys is closed.
    const std::vector<unsigned> keys { VK_DOWN, VK_DOWN, VK_RETURN };
    size_t next = 0;
    SetModalLoopHook([&](HWND) {
        if (next == keys.size()) {
            EndMenu();
            return;
        }
        headless->InjectKey(keys[next], true);
        headless->InjectKey(keys[next++], false);
    });
    CRect place;
    tools->GetWindowRect(&place);
    EXPECT_TRUE(tools->ShowPlacementMenu(place.TopLeft()));
    SetModalLoopHook({});
    EXPECT_EQ(tools->GetPlacement(), SECDockableFrame::PlaceFloating);
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
