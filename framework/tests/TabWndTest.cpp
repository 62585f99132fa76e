#include "TabTestSupport.h"

#include "framework/Tab3DWnd.h"

namespace {

// Four form pages, one class each, as a main window shows them.
class TabPage : public CFormView {
    DECLARE_DYNAMIC(TabPage)
protected:
    TabPage() : CFormView(IDD_TAB_PAGE) {}
};
IMPLEMENT_DYNAMIC(TabPage, CFormView)
#define DECLARE_PAGE(name) \
    class name : public TabPage { \
        DECLARE_DYNCREATE(name) \
    }; \
    IMPLEMENT_DYNCREATE(name, TabPage)
DECLARE_PAGE(FormulaPage)
DECLARE_PAGE(DatePage)
DECLARE_PAGE(GraphPage)
DECLARE_PAGE(ScriptPage)

// A class whose window cannot be made: its template does not exist.
class BrokenPage : public CFormView {
    DECLARE_DYNCREATE(BrokenPage)
    BrokenPage() : CFormView(9999u) {}
};
IMPLEMENT_DYNCREATE(BrokenPage, CFormView)

// The main window's tab window: tabs below the pages, hanging from the strip's top edge, with a
// gap between tabs, dragging allowed.
constexpr DWORD kMainFrameTabStyle = 0x50000A10;

class TabWndTest : public TabTest {
protected:
    void SetUp() override
    {
        TabTest::SetUp();
        tabs = new SEC3DTabWnd;
        ASSERT_TRUE(tabs->Create(listener, kMainFrameTabStyle, AFX_IDW_PANE_FIRST));
    }
    void TearDown() override
    {
        TabTest::TearDown();
        delete tabs;
    }
    void AddFourPages()
    {
        pages[0] = tabs->AddTab(RUNTIME_CLASS(FormulaPage), L"Formula");
        pages[1] = tabs->AddTab(RUNTIME_CLASS(DatePage), L"Date & Time");
        pages[2] = tabs->AddTab(RUNTIME_CLASS(GraphPage), L"Graph");
        pages[3] = tabs->AddTab(RUNTIME_CLASS(ScriptPage), L"VBScript");
        for (int i = 0; i < 4; ++i)
            tabs->SetTabIcon(i, static_cast<UINT>(32512 + i), 16, 16);
        tabs->MoveWindow(0, 0, 400, 300);
        listener->notices.clear();
    }
    // Injects a key and pumps through the application, as its message loop does.
    void Press(UINT key)
    {
        headless->InjectKey(key, true);
        headless->InjectKey(key, false);
        MSG message;
        for (int guard = 0; guard < 1000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            if (!app.PreTranslateMessage(&message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }
    int Active() const
    {
        int index = -1;
        return tabs->GetActiveTab(index) ? index : -1;
    }
    // The window's rectangle in the tab window's client area.
    CRect Place(HWND window) const { return RectInParent(window); }

    SEC3DTabWnd* tabs = nullptr;
    CWnd* pages[4] {};
};

TEST_F(TabWndTest, PagesAreMadeFromTheirClassesWithNumberedIds)
{
    AddFourPages();
    EXPECT_EQ(tabs->GetTabCount(), 4);
    const CRuntimeClass* classes[] = { RUNTIME_CLASS(FormulaPage), RUNTIME_CLASS(DatePage), RUNTIME_CLASS(GraphPage),
        RUNTIME_CLASS(ScriptPage) };
    for (int i = 0; i < 4; ++i) {
        ASSERT_NE(pages[i], nullptr);
        EXPECT_TRUE(pages[i]->IsKindOf(classes[i]));
        EXPECT_EQ(pages[i]->GetDlgCtrlID(), static_cast<int>(SECTabWndBase::kFirstPageId) + i);
        EXPECT_EQ(::GetParent(pages[i]->m_hWnd), tabs->m_hWnd);
        EXPECT_EQ(tabs->GetPage(i), pages[i]);
    }
    CString label;
    BOOL selected;
    CObject* client;
    HMENU menu;
    DWORD_PTR extra;
    ASSERT_TRUE(tabs->GetTabControl()->GetTabInfo(1, label, selected, client, menu, extra));
    EXPECT_EQ(label, CString(L"Date & Time"));
    EXPECT_EQ(client, pages[1]);

    // An id of our own is kept.
    CWnd* own = tabs->InsertTab(RUNTIME_CLASS(GraphPage), 0, L"Own", nullptr, 4242);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->GetDlgCtrlID(), 4242);
    EXPECT_EQ(tabs->GetPage(0), own);
}

TEST_F(TabWndTest, ActivatingATabShowsItsPageAndTellsTheParent)
{
    AddFourPages();
    ASSERT_TRUE(tabs->ActivateTab(0));
    ASSERT_TRUE(tabs->ActivateTab(2));
    int active = -1;
    EXPECT_TRUE(tabs->GetActiveTab(active));
    EXPECT_EQ(active, 2);
    EXPECT_EQ(tabs->GetActivePage(), pages[2]);
    EXPECT_FALSE(pages[0]->IsWindowVisible());
    EXPECT_TRUE(pages[2]->IsWindowVisible());
    EXPECT_EQ(listener->GetActiveView(), pages[2]) << "a view page becomes the frame's active view";
    const UINT id = AFX_IDW_PANE_FIRST;
    EXPECT_EQ(listener->notices, (std::vector<TabNotice> { Activated(id, 0, -1, pages[0], nullptr), Activated(id, 2, 0, pages[2], pages[0]) }));

    // The active tab again: nobody is told, the page is shown and laid out again.
    listener->notices.clear();
    pages[2]->ShowWindow(SW_HIDE);
    pages[2]->MoveWindow(0, 0, 10, 10);
    EXPECT_TRUE(tabs->ActivateTab(pages[2]));
    EXPECT_TRUE(listener->notices.empty());
    EXPECT_TRUE(pages[2]->IsWindowVisible());
    EXPECT_EQ(Place(pages[2]->m_hWnd), CRect(6, 4, 392, 269));

    // What is not a tab here changes nothing.
    auto* stranger = new CWnd;
    ASSERT_TRUE(stranger->Create(nullptr, L"", WS_CHILD, CRect(0, 0, 5, 5), listener, 77));
    EXPECT_FALSE(tabs->ActivateTab(4));
    EXPECT_FALSE(tabs->ActivateTab(-1));
    EXPECT_FALSE(tabs->ActivateTab(stranger));
    EXPECT_FALSE(tabs->ActivateTab(pages[1], 3)) << "a page and an index that do not belong together";
    EXPECT_TRUE(tabs->GetActiveTab(active));
    EXPECT_EQ(active, 2);
    EXPECT_TRUE(listener->notices.empty());
    stranger->DestroyWindow();
    delete stranger;
}

TEST_F(TabWndTest, ATabWithoutAPageIsNeverShown)
{
    AddFourPages();
    EXPECT_EQ(tabs->AddTab(RUNTIME_CLASS(BrokenPage), L"Broken"), nullptr);
    EXPECT_EQ(tabs->AddTab(static_cast<CRuntimeClass*>(nullptr), L"No class"), nullptr);
    ASSERT_EQ(tabs->GetTabCount(), 6) << "the tabs are added all the same";
    ASSERT_TRUE(tabs->ActivateTab(1));
    listener->notices.clear();

    EXPECT_FALSE(tabs->ActivateTab(4));
    // Picked by the user, the tab goes back to the page that is shown.
    tabs->GetTabControl()->ActivateTab(5);
    int active = -1;
    EXPECT_TRUE(tabs->GetActiveTab(active));
    EXPECT_EQ(active, 1);
    EXPECT_EQ(tabs->GetActivePage(), pages[1]);
    EXPECT_TRUE(pages[1]->IsWindowVisible());
    for (const TabNotice& notice : listener->notices)
        EXPECT_NE(notice.index, 5) << "the parent never hears of the empty tab";
}

TEST_F(TabWndTest, PagesAndTabsTakeTheirPlacesOnEachSide)
{
    struct Case {
        const char* name;
        DWORD style;
        CRect inside, control, page;
    };
    // A 400 x 300 client area.
    const Case cases[] = {
        { "below", 0x10, { 6, 4, 393, 269 }, { 6, 270, 393, 301 }, { 6, 4, 392, 269 } },
        { "above", 0x20, { 6, 31, 393, 296 }, { 6, 0, 393, 31 }, { 6, 31, 392, 296 } },
        { "left", 0x40, { 31, 4, 393, 294 }, { 0, 4, 31, 294 }, { 31, 4, 392, 294 } },
        { "right", 0x00, { 6, 4, 369, 294 }, { 369, 0, 400, 290 }, { 6, 4, 368, 294 } },
        { "below, flat", 0x18, { 2, 4, 398, 269 }, { 1, 270, 398, 299 }, { 2, 4, 397, 269 } },
        { "above, flat", 0x28, { 6, 31, 393, 296 }, { 6, 3, 393, 30 }, { 6, 31, 392, 296 } },
        { "left, flat", 0x48, { 31, 4, 393, 294 }, { 3, 3, 30, 295 }, { 31, 4, 392, 294 } },
        { "right, flat", 0x08, { 6, 4, 369, 294 }, { 369, 3, 396, 295 }, { 6, 4, 368, 294 } },
        { "below, pages nearer", 0x110, { 6, 4, 393, 273 }, { 6, 274, 393, 301 }, { 6, 4, 392, 273 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SEC3DTabWnd window;
        ASSERT_TRUE(window.Create(listener, WS_CHILD | WS_VISIBLE | c.style, 1234));
        CWnd* page = window.AddTab(RUNTIME_CLASS(FormulaPage), L"Formula");
        window.MoveWindow(0, 0, 400, 300);
        ASSERT_TRUE(window.ActivateTab(0));
        CRect inside;
        window.GetInsideRect(inside);
        EXPECT_EQ(inside, c.inside);
        EXPECT_EQ(Place(window.GetTabControl()->m_hWnd), c.control);
        EXPECT_EQ(Place(page->m_hWnd), c.page);
        window.DestroyWindow();
    }
}

TEST_F(TabWndTest, TheStyleWordSplitsIntoWindowAndTabStyles)
{
    EXPECT_EQ(tabs->GetStyle() & 0xFFFF0000, static_cast<DWORD>(WS_CHILD | WS_VISIBLE));
    EXPECT_EQ(tabs->GetStyle() & 0xFFFB, 0u);
    EXPECT_EQ(tabs->GetTabStyle(), 0xA10u);
    EXPECT_EQ(tabs->GetTabControl()->GetDlgCtrlID(), static_cast<int>(SECTabWndBase::kTabControlId));
    EXPECT_EQ(tabs->GetTabControl()->GetStyle() & 0xFFF8, 0xA10u) << "tabs hang from the strip's top, dragging allowed";
    EXPECT_EQ(tabs->GetNotifyWnd(), listener);
    EXPECT_TRUE(tabs->CreateScrollBarCtrl(SBS_HORZ, 77));
    EXPECT_EQ(::GetParent(::GetDlgItem(tabs->m_hWnd, 77)), tabs->m_hWnd);

    SEC3DTabWnd right;
    ASSERT_TRUE(right.Create(listener, WS_CHILD | WS_VISIBLE | 0x3, 99));
    EXPECT_EQ(right.GetTabStyle(), 2u) << "the placement value";
    EXPECT_EQ(right.GetTabControl()->GetStyle() & TAB_STYLE_POSITIONS, TAB_STYLE_LEFT) << "tabs to the right face left";
    right.DestroyWindow();

    // The base class makes no tab control, so it cannot be made; nothing is left behind.
    SECTabWndBase bare;
    EXPECT_FALSE(bare.Create(listener));
    EXPECT_EQ(bare.m_hWnd, nullptr);
}

TEST_F(TabWndTest, ResizingToNothingKeepsTheLayout)
{
    AddFourPages();
    ASSERT_TRUE(tabs->ActivateTab(0));
    const CRect control = Place(tabs->GetTabControl()->m_hWnd);
    tabs->MoveWindow(0, 0, 0, 300);
    EXPECT_EQ(Place(tabs->GetTabControl()->m_hWnd), control);
    tabs->MoveWindow(0, 0, 500, 0);
    EXPECT_EQ(Place(tabs->GetTabControl()->m_hWnd), control);
}

TEST_F(TabWndTest, DeletingAndRenamingGoThroughThePage)
{
    AddFourPages();
    ASSERT_TRUE(tabs->ActivateTab(1));
    tabs->RenameTab(pages[2], L"Plot");
    CString label;
    BOOL selected;
    CObject* client;
    HMENU menu;
    DWORD_PTR extra;
    ASSERT_TRUE(tabs->GetTabControl()->GetTabInfo(2, label, selected, client, menu, extra));
    EXPECT_EQ(label, CString(L"Plot"));

    // Deleting the active tab shows the page that moves into its place.
    listener->notices.clear();
    tabs->DeleteTab(pages[1]);
    EXPECT_EQ(tabs->GetTabCount(), 3);
    EXPECT_FALSE(pages[1]->IsWindowVisible());
    EXPECT_EQ(tabs->GetActivePage(), pages[2]);
    EXPECT_TRUE(pages[2]->IsWindowVisible());
    EXPECT_EQ(listener->notices, (std::vector<TabNotice> { Activated(AFX_IDW_PANE_FIRST, 1, -1, pages[2], nullptr) }));
    pages[1]->DestroyWindow(); // the page was ours to keep
}

TEST_F(TabWndTest, FontsAndDisabledTabsReachTheTabs)
{
    AddFourPages();
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, L"Arial"));
    EXPECT_TRUE(tabs->SetActiveTabFont(&font, TRUE));
    EXPECT_TRUE(tabs->SetInactiveTabFont(&font, FALSE));
    EXPECT_FALSE(tabs->SetActiveTabFont(nullptr, TRUE));

    tabs->EnableTab(2, FALSE);
    EXPECT_FALSE(tabs->IsTabEnabled(2));
    EXPECT_TRUE(tabs->IsTabEnabled(1));
}

TEST_F(TabWndTest, TheParentLosesItsClientEdge)
{
    auto* frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, L"Edged", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), nullptr, nullptr, WS_EX_CLIENTEDGE));
    ASSERT_TRUE(frame->GetExStyle() & WS_EX_CLIENTEDGE);
    SEC3DTabWnd window;
    ASSERT_TRUE(window.Create(frame, WS_CHILD | WS_VISIBLE | 0x10, AFX_IDW_PANE_FIRST));
    EXPECT_FALSE(frame->GetExStyle() & WS_EX_CLIENTEDGE);
    frame->DestroyWindow();
}

TEST_F(TabWndTest, TheKeyboardMovesBetweenTabsPagesAndSiblings)
{
    tabs->DestroyWindow();
    ASSERT_TRUE(tabs->Create(listener, kMainFrameTabStyle | WS_TABSTOP, AFX_IDW_PANE_FIRST));
    AddFourPages();
    tabs->EnableTab(2, FALSE);
    HWND sibling = ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 420, 10, 60, 20,
        listener->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(55)), nullptr, nullptr);
    ASSERT_TRUE(tabs->ActivateTab(0));
    HWND strip = tabs->GetTabControl()->m_hWnd;

    ::SetFocus(strip);
    Press(VK_RIGHT);
    EXPECT_EQ(Active(), 1);
    Press(VK_DOWN);
    EXPECT_EQ(Active(), 3) << "over the disabled tab";
    headless->InjectKey(VK_CONTROL, true);
    Press(VK_TAB);
    EXPECT_EQ(Active(), 3) << "Ctrl+Tab at the last tab";
    headless->InjectKey(VK_SHIFT, true);
    Press(VK_TAB);
    EXPECT_EQ(Active(), 1) << "Ctrl+Shift+Tab goes back";
    headless->InjectKey(VK_SHIFT, false);
    headless->InjectKey(VK_CONTROL, false);
    EXPECT_EQ(::GetFocus(), strip);

    Press(VK_TAB);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(pages[1]->m_hWnd, IDC_PAGE_FIRST)) << "Tab enters the page";
    ::SetFocus(strip);
    headless->InjectKey(VK_SHIFT, true);
    Press(VK_TAB);
    headless->InjectKey(VK_SHIFT, false);
    EXPECT_EQ(::GetFocus(), sibling) << "Shift+Tab leaves for the sibling";

    // Focus given to the tab window goes on to its tabs.
    tabs->SetFocus();
    EXPECT_EQ(::GetFocus(), strip);
}

TEST_F(TabWndTest, ClickingTheActiveTabGivesItsPageTheFocusAgain)
{
    AddFourPages();
    ASSERT_TRUE(tabs->ActivateTab(1));
    listener->notices.clear();
    HWND strip = tabs->GetTabControl()->m_hWnd;
    ::SetFocus(strip);
    CRect active;
    tabs->GetTabControl()->GetTabRect(1, active);
    Click(ScreenPoint(strip, active.CenterPoint().x, active.CenterPoint().y));
    const HWND focus = ::GetFocus();
    EXPECT_TRUE(focus == pages[1]->m_hWnd || ::IsChild(pages[1]->m_hWnd, focus));
    EXPECT_TRUE(listener->notices.empty()) << "the page was active already";
}

TEST_F(TabWndTest, TheNotifyWindowCanBeChanged)
{
    AddFourPages();
    auto* other = new TabListener;
    ASSERT_TRUE(other->Create(nullptr, L"Other", WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 100)));
    tabs->SetNotifyWnd(other);
    ASSERT_TRUE(tabs->ActivateTab(2));
    EXPECT_TRUE(listener->notices.empty());
    ASSERT_EQ(other->notices.size(), 1u);
    EXPECT_EQ(other->notices[0].index, 2);

    tabs->SetNotifyWnd(nullptr);
    EXPECT_EQ(tabs->GetNotifyWnd(), listener) << "none means the parent";
    ASSERT_TRUE(tabs->ActivateTab(3));
    EXPECT_EQ(listener->notices.size(), 1u);
    other->DestroyWindow();
}

TEST_F(TabWndTest, TheMainWindowsTabWindowLooksRight)
{
    AddFourPages();
    tabs->EnableTab(3, FALSE);
    ASSERT_TRUE(tabs->ActivateTab(1));
    EXPECT_TRUE(LooksLike(tabs->m_hWnd, "tabwnd_below.png"));
}

TEST_F(TabWndTest, FlatAndThinFramesLookRight)
{
    const struct {
        DWORD style;
        const char* file;
    } cases[] = { { 0x18, "tabwnd_flat.png" }, { 0x410, "tabwnd_thin.png" }, { 0x20, "tabwnd_above.png" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        SEC3DTabWnd window;
        ASSERT_TRUE(window.Create(listener, WS_CHILD | WS_VISIBLE | c.style, 1234));
        window.AddTab(RUNTIME_CLASS(FormulaPage), L"Formula");
        window.AddTab(RUNTIME_CLASS(GraphPage), L"Graph");
        window.MoveWindow(0, 0, 240, 120);
        ASSERT_TRUE(window.ActivateTab(0));
        EXPECT_TRUE(LooksLike(window.m_hWnd, c.file));
        window.DestroyWindow();
    }
}

} // namespace
