#include "MenuFrame.h"

#include "commandbars/CustomToolBar.h"
#include "platform/mfc/View.h"

#include <algorithm>

namespace {

class MenuBarTest : public MenuBarFixture {
protected:
    // The visible buttons' titles, in order.
    std::vector<std::wstring> VisibleTitles()
    {
        std::vector<std::wstring> titles;
        for (int i = 0; i < Bar().GetButtonCount(); ++i) {
            auto* button = static_cast<SECTBMenuBtn*>(Bar().GetButton(i));
            if (!(button->m_nStyle & TBBS_HIDDEN))
                titles.emplace_back(static_cast<const wchar_t*>(button->m_strTitle));
        }
        return titles;
    }
    // The title of the popup that opened last, by its first item.
    std::wstring FirstItemOf(HMENU menu)
    {
        wchar_t text[64] = {};
        GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
        return text;
    }
    static int Highlighted(HMENU menu)
    {
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE)
                return i;
        return -1;
    }
    CPoint ButtonCentre(int index)
    {
        CRect rect;
        Bar().GetItemRect(index, &rect);
        Bar().ClientToScreen(&rect);
        return rect.CenterPoint();
    }
};

TEST_F(MenuBarTest, EachMenuHasItsBitAndSwitchingShowsItsButtons)
{
    EXPECT_EQ(Bar().GetButtonCount(), 6);
    EXPECT_EQ(Bar().GetMenuMask(IDR_MB_CALC), 1u);
    EXPECT_EQ(Bar().GetMenuMask(IDR_MB_GRAPH), 2u);
    EXPECT_EQ(Bar().GetMenuMask(IDR_MB_SCRIPT), 4u);
    EXPECT_EQ(VisibleTitles(), (std::vector<std::wstring> { L"&File", L"&Edit", L"Help" }));

    EXPECT_TRUE(Bar().SwitchMenu(IDR_MB_GRAPH));
    EXPECT_EQ(VisibleTitles(), (std::vector<std::wstring> { L"&File", L"&Chart" }));
    EXPECT_FALSE(Bar().SwitchMenu(IDR_MB_MISSING));
    EXPECT_EQ(Bar().GetCurrentMenuId(), IDR_MB_GRAPH);
    EXPECT_EQ(VisibleTitles().size(), 2u);
    // The stand-in for the main window's menu is the menu the main window was loaded with.
    EXPECT_TRUE(Bar().SwitchMenu(SEC_IDR_MDIFRAME_MENU));
    EXPECT_EQ(VisibleTitles().size(), 3u);
    EXPECT_EQ(Bar().GetCurrentMenuId(), SEC_IDR_MDIFRAME_MENU);
    frame->m_nIDHelp = IDR_MB_MISSING;
    EXPECT_FALSE(Bar().SwitchMenu(SEC_IDR_MDIFRAME_MENU));

    // A menu that does not load gets no bit; one without popups keeps its bit.
    EXPECT_TRUE(Bar().SetMenuInfo(4, IDR_MB_CALC, IDR_MB_MISSING, IDR_MB_EMPTY, IDR_MB_SCRIPT));
    EXPECT_EQ(Bar().GetMenuMask(IDR_MB_MISSING), 0u);
    EXPECT_EQ(Bar().GetMenuMask(IDR_MB_EMPTY), 2u);
    EXPECT_EQ(Bar().GetMenuMask(IDR_MB_SCRIPT), 4u);
    EXPECT_FALSE(Bar().SetMenuInfo(2, IDR_MB_MISSING, IDR_MB_EMPTY));

    // A button inserted later follows the menu shown.
    ASSERT_TRUE(Bar().SetMenuInfo(2, IDR_MB_CALC, IDR_MB_GRAPH));
    Bar().SwitchMenu(IDR_MB_CALC);
    Bar().InsertButton(0, SECMenuButtonRecords::kFirstCommand + 3); // the second menu's "&File"
    EXPECT_EQ(Bar().GetButtonCount(), 6);
    EXPECT_EQ(VisibleTitles(), (std::vector<std::wstring> { L"&File", L"&Edit", L"Help" }));
}

TEST_F(MenuBarTest, MnemonicsFindVisibleButtons)
{
    EXPECT_EQ(Bar().FindMnemonic(L'F'), 0);
    EXPECT_EQ(Bar().FindMnemonic(L'E'), 1);
    EXPECT_EQ(Bar().FindMnemonic(L'H'), -1); // "Help" has none: only the arrows reach it
    EXPECT_EQ(Bar().FindMnemonic(L'C'), -1); // "&Chart" is hidden
    Bar().SwitchMenu(IDR_MB_GRAPH);
    EXPECT_EQ(Bar().FindMnemonic(L'F'), 3);
    EXPECT_EQ(Bar().FindMnemonic(L'C'), 4);
    EXPECT_EQ(MnemonicOf(L"E&xit"), L'X');
    EXPECT_EQ(MnemonicOf(L"A&&B"), L'&');
    EXPECT_EQ(MnemonicOf(L"End&"), 0);
}

TEST_F(MenuBarTest, AltAloneHighlightsTheFirstTitleAndAgainLeaves)
{
    Press(VK_MENU);
    Run();
    EXPECT_TRUE(Bar().IsKeyboardMode());
    EXPECT_EQ(Bar().GetTrackedButton(), 0);
    EXPECT_TRUE(Bar().GetButton(0)->m_nStyle & SEC_TBBS_HOT);
    EXPECT_TRUE(Frame().opened.empty());

    // The arrows move along the bar without wrapping; Left past the first opens nothing.
    Press(VK_RIGHT);
    Run();
    EXPECT_EQ(Bar().GetTrackedButton(), 1);
    Press(VK_RIGHT);
    Press(VK_RIGHT);
    Run();
    EXPECT_EQ(Bar().GetTrackedButton(), -1);
    EXPECT_TRUE(Bar().IsKeyboardMode());

    Press(VK_MENU);
    Run();
    EXPECT_FALSE(Bar().IsKeyboardMode());
    EXPECT_FALSE(Bar().GetButton(0)->m_nStyle & SEC_TBBS_HOT);

    Press(VK_F10);
    Run();
    EXPECT_TRUE(Bar().IsKeyboardMode());
    Press(VK_ESCAPE);
    Run();
    EXPECT_FALSE(Bar().IsKeyboardMode());
    EXPECT_TRUE(Frame().opened.empty());
}

TEST_F(MenuBarTest, F10BoundToACommandLeavesTheBarAlone)
{
    ACCEL f10 { FVIRTKEY, VK_F10, ID_MB_NEW };
    frame->m_hAccelTable = CreateAcceleratorTableW(&f10, 1);
    Press(VK_F10);
    Run();
    EXPECT_FALSE(Bar().IsKeyboardMode());
    EXPECT_EQ(Frame().commands, std::vector<UINT> { ID_MB_NEW });
    DestroyAcceleratorTable(frame->m_hAccelTable);
    frame->m_hAccelTable = nullptr;
}

TEST_F(MenuBarTest, AltMnemonicOpensThePopupAndRightSlidesToTheNext)
{
    std::vector<int> highlighted;
    OnEachWait({
        [&] { highlighted.push_back(Highlighted(Frame().opened.back())); Press(VK_RIGHT); },
        [&] { highlighted.push_back(Highlighted(Frame().opened.back())); Press(VK_RETURN); },
    });
    AltWith('F');
    Run();
    ASSERT_EQ(Frame().opened.size(), 2u);
    EXPECT_EQ(FirstItemOf(Frame().opened[0]), L"&New\tCtrl+N");
    EXPECT_EQ(FirstItemOf(Frame().opened[1]), L"&Copy");
    EXPECT_EQ(highlighted, (std::vector<int> { 0, 0 })); // each popup opens on its first item
    EXPECT_EQ(Frame().commands, std::vector<UINT> { ID_MB_COPY });
    EXPECT_EQ(Bar().GetTrackedButton(), -1);
    EXPECT_FALSE(Bar().GetButton(1)->m_nStyle & TBBS_PRESSED);
}

TEST_F(MenuBarTest, LeftAndRightOnSubmenusOpenAndCloseThemInsteadOfSliding)
{
    OnEachWait({
        [&] { Press(VK_UP); Press(VK_RIGHT); }, // "&More" opens its submenu
        [&] { Press(VK_LEFT); },                // closes it again
        [&] { Press(VK_RIGHT); Press(VK_RETURN); },
    });
    AltWith('E');
    Run();
    ASSERT_EQ(Frame().opened.size(), 3u);
    EXPECT_EQ(FirstItemOf(Frame().opened[1]), L"&Deep");
    EXPECT_EQ(FirstItemOf(Frame().opened[2]), L"&Deep");
    EXPECT_EQ(Frame().commands, std::vector<UINT> { ID_MB_DEEP });
}

TEST_F(MenuBarTest, LeftFromTheFirstPopupOpensTheSystemMenu)
{
    HMENU system = GetSystemMenu(frame->m_hWnd, FALSE);
    BOOL tracking = FALSE;
    OnEachWait({ [&] { Press(VK_LEFT); }, [&] { tracking = SECMenuBarMessages::IsTrackingSysMenu(); } });
    AltWith('F');
    Run();
    ASSERT_EQ(Frame().opened.size(), 2u);
    EXPECT_EQ(Frame().opened[1], system);
    EXPECT_TRUE(tracking);
    EXPECT_FALSE(SECMenuBarMessages::IsTrackingSysMenu());
}

TEST_F(MenuBarTest, AltSpaceOpensTheSystemMenuBelowTheIcon)
{
    RECT placed {};
    OnEachWait({ [&] { GetWindowRect(GetCapture(), &placed); Press(VK_ESCAPE); } });
    AltWith(VK_SPACE);
    Run();
    ASSERT_EQ(Frame().opened.size(), 1u);
    EXPECT_EQ(Frame().opened[0], GetSystemMenu(frame->m_hWnd, FALSE));
    CRect window;
    frame->GetWindowRect(&window);
    EXPECT_EQ(placed.left, window.left + GetSystemMetrics(SM_CXFRAME));
    EXPECT_EQ(placed.top, window.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYMENUSIZE));
    EXPECT_FALSE(Bar().IsKeyboardMode()); // Esc on the system menu goes back to nothing
}

TEST_F(MenuBarTest, EscClosesThePopupFirstAndThenLeavesTheBar)
{
    OnEachWait({ [&] { Press(VK_ESCAPE); } });
    AltWith('E');
    Run();
    ASSERT_EQ(Frame().opened.size(), 1u);
    EXPECT_TRUE(Bar().IsKeyboardMode());
    EXPECT_EQ(Bar().GetTrackedButton(), 1);
    Press(VK_ESCAPE);
    Run();
    EXPECT_FALSE(Bar().IsKeyboardMode());
    EXPECT_TRUE(Frame().commands.empty());
}

// Only Alt or F10 released alone puts the bar in keyboard mode: Esc on a popup that a click opened
// leaves the bar, and the next letter goes where the focus is.
TEST_F(MenuBarTest, EscOnAPopupOpenedByAClickLeavesTheBar)
{
    const CPoint edit = ButtonCentre(1);
    OnEachWait({ [&] { Press(VK_ESCAPE); } });
    headless->InjectMouseMove(edit);
    headless->InjectButton(1, true, edit);
    headless->InjectButton(1, false, edit);
    Run();
    ASSERT_EQ(Frame().opened.size(), 1u);
    EXPECT_FALSE(Bar().IsKeyboardMode());
    EXPECT_EQ(Bar().GetTrackedButton(), -1);
    Press('F');
    Run();
    EXPECT_EQ(Frame().opened.size(), 1u) << "the letter opened a menu";
}

TEST_F(MenuBarTest, EnterInKeyboardModeOpensTheHighlightedPopup)
{
    OnEachWait({ [&] { Press(VK_RETURN); } });
    for (unsigned key : { VK_MENU, VK_RIGHT, VK_DOWN }) {
        Press(key);
        Run();
    }
    ASSERT_EQ(Frame().opened.size(), 1u);
    EXPECT_EQ(FirstItemOf(Frame().opened[0]), L"&Copy");
    EXPECT_EQ(Frame().commands, std::vector<UINT> { ID_MB_COPY });
    EXPECT_FALSE(Bar().IsKeyboardMode());
}

TEST_F(MenuBarTest, TheMouseSwitchesPopupsAcrossTitlesAndAClickOnTheOpenOneCloses)
{
    CPoint file = ButtonCentre(0), edit = ButtonCentre(1);
    int trackedOnEdit = -2;
    OnEachWait({
        [&] { headless->InjectMouseMove(file + CPoint(1, 0)); headless->InjectMouseMove(edit); },
        [&] {
            trackedOnEdit = Bar().GetTrackedButton();
            headless->InjectButton(1, true, edit);
            headless->InjectButton(1, false, edit);
        },
    });
    headless->InjectMouseMove(file);
    headless->InjectButton(1, true, file);
    headless->InjectButton(1, false, file);
    Run();
    ASSERT_EQ(Frame().opened.size(), 2u);
    EXPECT_EQ(FirstItemOf(Frame().opened[0]), L"&New\tCtrl+N");
    EXPECT_EQ(FirstItemOf(Frame().opened[1]), L"&Copy");
    EXPECT_EQ(trackedOnEdit, 1);
    EXPECT_TRUE(Frame().commands.empty());
    EXPECT_EQ(Bar().GetTrackedButton(), -1);
}

TEST_F(MenuBarTest, AFloatingMenuBarHasNoCloseButton)
{
    frame->FloatControlBar(&Bar(), CPoint(300, 300));
    Run();
    ASSERT_TRUE(Bar().IsFloating());
    HWND floating = ::GetAncestor(Bar().m_hWnd, GA_ROOT);
    ASSERT_NE(floating, frame->m_hWnd);
    EXPECT_FALSE(GetWindowLongPtrW(floating, GWL_STYLE) & WS_SYSMENU);
}

TEST_F(MenuBarTest, InKeyboardModeTheMouseMovesTheHighlightAndAClickLeaves)
{
    Press(VK_MENU);
    Run();
    ASSERT_EQ(Bar().GetTrackedButton(), 0);
    headless->InjectMouseMove(ButtonCentre(2));
    Run();
    EXPECT_EQ(Bar().GetTrackedButton(), 2);
    CRect client;
    frame->GetClientRect(&client);
    frame->ClientToScreen(&client);
    headless->InjectButton(1, true, client.CenterPoint());
    headless->InjectButton(1, false, client.CenterPoint());
    Run();
    EXPECT_FALSE(Bar().IsKeyboardMode());
    EXPECT_TRUE(Frame().opened.empty());
}

class PlainView : public CView {
    DECLARE_DYNCREATE(PlainView)
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(PlainView, CView)

TEST_F(MenuBarTest, AltWithTheMnemonicOfAControlInTheViewIsLeftToTheView)
{
    auto* view = new PlainView;
    ASSERT_TRUE(view->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 40, 300, 200), frame, AFX_IDW_PANE_FIRST, nullptr));
    CreateWindowExW(0, L"BUTTON", L"&Formula", WS_CHILD | WS_VISIBLE, 5, 5, 80, 24, view->m_hWnd, nullptr, nullptr, nullptr);
    frame->SetActiveView(view);
    AltWith('F');
    Run();
    EXPECT_TRUE(Frame().opened.empty());
    OnEachWait({});
    AltWith('E');
    Run();
    EXPECT_EQ(Frame().opened.size(), 1u);
}

TEST_F(MenuBarTest, DeactivatingTheFrameEndsKeyboardMode)
{
    Press(VK_MENU);
    Run();
    ASSERT_TRUE(Bar().IsKeyboardMode());
    frame->SendMessage(WM_NCACTIVATE, FALSE);
    EXPECT_FALSE(Bar().IsKeyboardMode());
}

TEST_F(MenuBarTest, TheFrameSwitchesItsMenuResource)
{
    Frame().SetMenuResource(IDR_MB_GRAPH);
    EXPECT_EQ(Frame().GetMenuResource(), IDR_MB_GRAPH);
    EXPECT_EQ(VisibleTitles(), (std::vector<std::wstring> { L"&File", L"&Chart" }));
    EXPECT_EQ(GetMenu(frame->m_hWnd), nullptr); // the bar shows the menu, the window has none
    // The frame's current menu is the new resource's: its first popup is the bar's first title's.
    HMENU current = Frame().GetCurrentMenu();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(GetMenuItemCount(current), 2);
    OnEachWait({ [&] { Press(VK_RETURN); } });
    AltWith('C');
    Run();
    EXPECT_EQ(Frame().commands, std::vector<UINT> { ID_MB_CHART });
}

TEST_F(MenuBarTest, AToolBarDroppedOnTheMenuBarsRowGetsARowBesideItAndMovesAlongItsRow)
{
    constexpr UINT kEditToolBar = 1000; // toolbar.rc
    SECCustomToolBar tools;
    ASSERT_TRUE(tools.CreateEx(SEC_TBS_FLAT | SEC_TBS_GRIPPER, frame, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER, AFX_IDW_TOOLBAR + 1));
    ASSERT_TRUE(tools.LoadToolBar(kEditToolBar));
    tools.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&tools, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    CDockBar* top = AfxFindDockBar(frame, AFX_IDW_DOCKBAR_TOP);
    auto place = [&](CWnd& bar) {
        CRect rect;
        bar.GetWindowRect(&rect);
        top->ScreenToClient(&rect);
        return rect;
    };
    // Drops the tool bar with its left edge there and its middle at that height.
    auto dropAt = [&](int left, int middle) {
        const CSize size = place(tools).Size();
        CRect rect(CPoint(left, middle - size.cy / 2), size);
        top->ClientToScreen(&rect);
        frame->DockControlBar(&tools, AFX_IDW_DOCKBAR_TOP, &rect);
        frame->RecalcLayout();
        Run();
    };
    CRect client;
    top->GetClientRect(&client);
    auto aloneInItsRow = [&] {
        for (const auto& row : top->Rows())
            if (std::find(row.begin(), row.end(), &tools) != row.end())
                return row.size() == 1;
        return false;
    };

    // Onto the menu bar's row, which the menu bar spans and has to itself: short of its middle the
    // tool bar gets a row of its own above it, past its middle one below it.
    const CRect menu = place(Bar());
    ASSERT_EQ(menu.Width(), client.Width());
    dropAt(menu.left + 200, menu.CenterPoint().y);
    CRect shown = place(tools);
    EXPECT_TRUE(tools.IsWindowVisible());
    EXPECT_TRUE(aloneInItsRow());
    EXPECT_EQ(shown.TopLeft(), CPoint(200, 0)) << "above the menu bar";
    EXPECT_EQ(place(Bar()), menu + CPoint(0, shown.Height())) << "the menu bar keeps its row, below";

    dropAt(menu.CenterPoint().x + 20, place(Bar()).CenterPoint().y);
    shown = place(tools);
    EXPECT_TRUE(aloneInItsRow());
    EXPECT_EQ(place(Bar()), menu);
    EXPECT_EQ(shown.TopLeft(), CPoint(menu.CenterPoint().x + 20, menu.bottom)) << "below the menu bar";
    EXPECT_LE(shown.right, client.right) << "not past the right edge";

    // Along its own row it stays where it is dropped.
    dropAt(shown.left - 120, shown.CenterPoint().y);
    EXPECT_EQ(place(tools).TopLeft(), CPoint(shown.left - 120, shown.top));
}

} // namespace
