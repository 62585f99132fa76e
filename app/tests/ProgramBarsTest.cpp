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

// The text of the bar's tool for that command, when its tip shows; nothing otherwise.
std::wstring ShownTip(const CWnd& bar, UINT command)
{
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        wchar_t className[64] = {};
        GetClassNameW(window, className, 64);
        if (std::wstring(className) != TOOLTIPS_CLASSW || !IsWindowVisible(window))
            continue;
        wchar_t text[128] = {};
        TTTOOLINFOW tool { sizeof tool };
        tool.hwnd = bar.m_hWnd;
        tool.uId = command;
        tool.lpszText = text;
        SendMessageW(window, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
        return text;
    }
    return {};
}

TEST_F(ProgramTest, ToolBarButtonsShowTheirTipAndTheirPromptInTheStatusBar)
{
    ASSERT_TRUE(Start());
    CMainFrame& frame = Frame();
    SECCustomToolBar& bar = frame.m_wndToolBar;
    auto centreOf = [&](UINT command) {
        for (int i = 0; i < bar.GetButtonCount(); ++i)
            if (bar.GetButton(i)->m_nID == command) {
                CRect rect;
                bar.GetItemRect(i, &rect);
                CPoint centre = rect.CenterPoint();
                bar.ClientToScreen(&centre);
                return centre;
            }
        ADD_FAILURE() << "no button " << command;
        return CPoint();
    };
    auto hover = [&](CPoint point) {
        m_display->InjectMouseMove(point);
        Pump();
        m_display->Advance(1000);
        Pump();
    };
    auto prompt = [&] { return std::wstring(frame.m_wndStatusBar.GetPaneText(0)); };

    hover(centreOf(ID_APP_ABOUT));
    EXPECT_EQ(ShownTip(bar, ID_APP_ABOUT), L"About");
    EXPECT_EQ(prompt(), L"Display program information, version number and copyright");
    hover(centreOf(ID_EDIT_COPY));
    EXPECT_EQ(ShownTip(bar, ID_EDIT_COPY), L"Copy");
    EXPECT_EQ(prompt(), L"Copy the input or its selection to the clipboard");

    // Off the bar, on the page: the tip goes and the status bar is idle again.
    CRect page;
    frame.m_wndTab.GetWindowRect(&page);
    hover(page.CenterPoint());
    EXPECT_EQ(ShownTip(bar, ID_EDIT_COPY), L"");
    EXPECT_EQ(prompt(), L"Ready");
}

} // namespace
