// The program's bars as the user meets them: the View menu's bar toggles, and the tool bar's tips
// and status-bar prompts.

#include "app/tests/ProgramTestSupport.h"

#include "platform/mfc/Menu.h"
#include "res/Formulon.h"

namespace {

// The View popup of the frame's menu, as the menu bar opens it.
HMENU ViewPopup(HMENU menu)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        if (std::wstring(text) == L"&View")
            return GetSubMenu(menu, i);
    }
    return nullptr;
}

TEST_F(ProgramTest, ViewMenuTogglesTheToolBarAndTheStatusBar)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    HMENU menu = LoadMenuW(m_app->m_hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    HMENU view = ViewPopup(menu);
    ASSERT_NE(view, nullptr);
    auto itemState = [&](UINT id) {
        frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
        return GetMenuState(view, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
    };
    auto choose = [&](UINT id) {
        frame.SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
        Pump();
    };
    EXPECT_EQ(itemState(ID_VIEW_TOOLBAR), UINT(MF_CHECKED));
    EXPECT_EQ(itemState(ID_VIEW_STATUS_BAR), UINT(MF_CHECKED));

    const CRect paneBefore = frame.GetPaneRect();
    choose(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(frame.m_wndStatusBar.IsWindowVisible());
    EXPECT_EQ(itemState(ID_VIEW_STATUS_BAR), 0u) << "enabled and unchecked";
    EXPECT_GT(frame.GetPaneRect().bottom, paneBefore.bottom) << "the pages take the status bar's room";
    choose(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(frame.m_wndStatusBar.IsWindowVisible());

    // Closed from its floating frame, the tool bar comes back through the menu.
    frame.FloatControlBar(&frame.m_wndToolBar, CPoint(300, 300));
    Pump();
    HWND floating = GetAncestor(frame.m_wndToolBar.m_hWnd, GA_ROOT);
    ASSERT_NE(floating, frame.m_hWnd);
    SendMessageW(floating, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(floating));
    EXPECT_EQ(itemState(ID_VIEW_TOOLBAR), 0u);
    choose(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(IsWindowVisible(floating));
    EXPECT_TRUE(frame.m_wndToolBar.IsWindowVisible());
    EXPECT_EQ(itemState(ID_VIEW_TOOLBAR), UINT(MF_CHECKED));
    DestroyMenu(menu);
}

} // namespace
