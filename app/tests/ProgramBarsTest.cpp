// The program's bars as the user meets them: the View menu's bar toggles, the tool bars' buttons
// with their tips and status-bar prompts, and their state on each page.

#include "app/tests/ProgramTestSupport.h"

#include "commandbars/StdBtn.h"
#include "editor/Edit.h"
#include "editor/EditController.h"
#include "editor/EditResource.h"
#include "editor/EditView.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/Print.h"
#include "platform/user/tests/PixelChecks.h"
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

// The main bar and the VBScript page's bar hold their buttons in order (0: a separator), each with
// its own image of the bar's bitmap, a tip and a status-bar prompt; both look as drawn here.
TEST_F(ProgramTest, TheToolBarsHoldTheirButtonsWithImagesTipsAndPrompts)
{
    ASSERT_TRUE(Start());
    // Each as its page shows it: the Formula page, the VBScript page.
    struct Bar {
        int page;
        SECCustomToolBar* bar;
        std::vector<UINT> ids;
        const char* picture;
    } bars[] = {
        { 0, &Frame().m_wndToolBar,
            { ID_EDIT_DELETE_ALL, 0, ID_FILE_LOAD_CONTENT, ID_FILE_SAVE_CONTENT, 0, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, 0,
                ID_FILE_PRINT, 0, ID_TOGGLE_RESIZE_WINDOW, ID_APP_ABOUT },
            "main_bar.png" },
        { 3, &Frame().m_wndScriptBar,
            { ID_EDIT_UNDO, ID_EDIT_REDO, 0, ID_EDIT_FIND, ID_EDIT_REPLACE, 0, ID_EDIT_TOGGLE_BOOKMARK, ID_EDIT_NEXT_BOOKMARK,
                ID_SCRIPT_BAR_PREVIOUS_BOOKMARK, ID_EDIT_CLEAR_BOOKMARKS, 0, ID_SCRIPT_RUN, ID_SCRIPT_STOP },
            "script_bar.png" },
    };
    for (const Bar& b : bars) {
        SCOPED_TRACE(b.picture);
        Frame().m_wndTab.ActivateTab(b.page);
        Pump();
        m_app->OnIdle(0);
        Pump();
        std::vector<UINT> ids;
        int image = 0;
        for (int i = 0; i < b.bar->GetButtonCount(); ++i) {
            const SECStdBtn& button = *b.bar->GetButton(i);
            ids.push_back(button.m_nID);
            if (button.IsSeparator())
                continue;
            EXPECT_EQ(button.m_nImage, image++) << button.m_nID;
            CString prompt;
            EXPECT_TRUE(prompt.LoadString(button.m_nID)) << button.m_nID;
            const int tip = prompt.Find(L'\n');
            EXPECT_GT(tip, 0) << button.m_nID;
            EXPECT_LT(tip, prompt.GetLength() - 1) << button.m_nID;
        }
        EXPECT_EQ(ids, b.ids);
        EXPECT_TRUE(pixel_checks::MatchesExpectedImage(b.bar->m_hWnd, b.picture));
    }
}

// Each bar button's enabled state follows the page that is active now: one that a page left
// disabled is enabled again on a page that handles it, and the other way round.
TEST_F(ProgramTest, BarButtonsFollowTheActivePage)
{
    ASSERT_TRUE(Start());
    auto enabled = [&](SECCustomToolBar& bar, UINT id) {
        m_app->OnIdle(0);
        for (int index = 0; index < bar.GetButtonCount(); ++index)
            if (bar.GetButton(index)->m_nID == id)
                return (bar.GetButtonStyle(index) & TBBS_DISABLED) == 0;
        ADD_FAILURE() << "no button " << id;
        return false;
    };
    auto show = [&](int page) {
        Frame().m_wndTab.ActivateTab(page);
        Pump();
    };
    SECCustomToolBar& main = Frame().m_wndToolBar;
    SECCustomToolBar& script = Frame().m_wndScriptBar;
    struct Case {
        int page;
        UINT id;
        bool enabled;
    } cases[] = {
        { 0, ID_EDIT_DELETE_ALL, true }, { 0, ID_EDIT_CUT, true }, { 0, ID_FILE_PRINT, false },
        { 1, ID_FILE_LOAD_CONTENT, true }, { 1, ID_FILE_SAVE_CONTENT, true },
        { 2, ID_EDIT_DELETE_ALL, false }, { 2, ID_EDIT_CUT, false },
        { 2, ID_FILE_LOAD_CONTENT, false }, { 2, ID_FILE_SAVE_CONTENT, false }, // the Graph page has no files
        { 3, ID_FILE_PRINT, true }, { 3, ID_EDIT_DELETE_ALL, true }, { 3, ID_FILE_LOAD_CONTENT, true },
        { 0, ID_FILE_LOAD_CONTENT, true }, { 0, ID_FILE_SAVE_CONTENT, true },
        { 0, ID_EDIT_DELETE_ALL, true }, { 0, ID_EDIT_CUT, true }, { 0, ID_FILE_PRINT, false },
    };
    for (const Case& c : cases) {
        show(c.page);
        EXPECT_EQ(enabled(main, c.id), c.enabled) << "page " << c.page << ", command " << c.id;
    }
    show(3);
    EXPECT_TRUE(script.IsWindowVisible());
    EXPECT_TRUE(enabled(script, ID_EDIT_FIND));
    EXPECT_TRUE(enabled(script, ID_EDIT_TOGGLE_BOOKMARK));
    EXPECT_FALSE(enabled(script, ID_EDIT_NEXT_BOOKMARK)) << "no bookmark yet";
    EXPECT_FALSE(enabled(script, ID_SCRIPT_BAR_PREVIOUS_BOOKMARK)) << "no bookmark yet";
    // Bookmarks on lines 0 and 2 of three, the caret on the last: Previous Bookmark goes back to 2,
    // then to 0, as Shift+F2 does.
    auto* editor = dynamic_cast<SECEditView*>(Frame().m_wndTab.GetPage(3));
    ASSERT_NE(editor, nullptr);
    SECEditController* controller = editor->GetEditController();
    editor->GetEdit()->SetText(L"a\r\nb\r\nc\r\n");
    for (int line : { 0, 2 }) {
        controller->SetCaretPosition(line, 0, FALSE);
        editor->SendMessage(WM_COMMAND, ID_EDIT_TOGGLE_BOOKMARK);
    }
    controller->SetCaretPosition(3, 0, FALSE);
    EXPECT_TRUE(enabled(script, ID_SCRIPT_BAR_PREVIOUS_BOOKMARK));
    for (int expected : { 2, 0 }) {
        Frame().SendMessage(WM_COMMAND, ID_SCRIPT_BAR_PREVIOUS_BOOKMARK);
        EXPECT_EQ(controller->GetCaretPos().m_nLine, expected);
    }
    EXPECT_TRUE(enabled(script, ID_SCRIPT_RUN));
    EXPECT_FALSE(enabled(script, ID_SCRIPT_STOP));

    // View > Verify, whose update handler only sets the check, is enabled on the Formula page after
    // the Date & Time page (which does not answer it) has disabled it in the menu both share.
    HMENU menu = LoadMenuW(m_app->m_hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    HMENU view = ViewPopup(menu);
    ASSERT_NE(view, nullptr);
    auto verifyState = [&] {
        Frame().SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
        return GetMenuState(view, ID_VIEW_VERIFY, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED);
    };
    show(1);
    EXPECT_EQ(verifyState(), UINT(MF_GRAYED));
    show(0);
    EXPECT_EQ(verifyState(), UINT(MF_CHECKED));
    const int verify = Page().m_bVerify;
    Frame().SendMessage(WM_COMMAND, ID_VIEW_VERIFY);
    EXPECT_NE(Page().m_bVerify, verify);
    DestroyMenu(menu);
}

} // namespace
