#include "TabTestSupport.h"

#include "framework/Tab3DControl.h"

namespace {

constexpr UINT ID_TABS = 322;

class Tab3DControlTest : public TabTest {
protected:
    void TearDown() override
    {
        for (HICON icon : icons)
            ::DestroyIcon(icon);
        TabTest::TearDown();
    }
    // The control at `place` in the frame, with tabs for `labels`, the first one given an icon.
    SEC3DTabControl& Make(DWORD style, CRect place, std::initializer_list<const wchar_t*> labels)
    {
        EXPECT_TRUE(tabs.Create(style | WS_VISIBLE, place, listener, ID_TABS));
        int i = 0;
        for (const wchar_t* label : labels)
            tabs.AddTab(label, &clients[i++]);
        icons.push_back(::CopyIcon(::LoadIconW(nullptr, IDI_INFORMATION)));
        tabs.SetTabIcon(0, icons.back());
        listener->notices.clear();
        return tabs;
    }
    // How wide the active font of the raised or the flat look draws a label.
    int LabelWidth(const wchar_t* label, bool flat = false)
    {
        LOGFONTW description {};
        description.lfHeight = flat ? -11 : 15; // 8.5 points at 96 dpi
        description.lfWeight = flat ? FW_NORMAL : FW_SEMIBOLD;
        description.lfPitchAndFamily = FF_SWISS;
        wcscpy(description.lfFaceName, flat ? L"Tahoma" : L"Arial Narrow");
        CFont font;
        font.CreateFontIndirect(&description);
        CClientDC dc(&tabs);
        CFont* old = dc.SelectObject(&font);
        const int width = dc.GetTextExtent(label).cx;
        dc.SelectObject(old);
        return width;
    }
    CRect RectOf(int index) const
    {
        CRect rect;
        tabs.GetTabRect(index, rect);
        return rect;
    }
    CPoint Centre(int index) const { return RectOf(index).CenterPoint(); }
    void ClickTab(int index) { Click(ScreenPoint(tabs.m_hWnd, Centre(index).x, Centre(index).y)); }
    int Active() const
    {
        int index = -1;
        return tabs.GetActiveTab(index) ? index : -1;
    }

    SEC3DTabControl tabs;
    TabClient clients[5];
    std::vector<HICON> icons;
};

TEST_F(Tab3DControlTest, TabsLineUpAlongTheirEdgeAndTheActiveOneStandsOut)
{
    struct Case {
        const char* name;
        DWORD style;
        bool enlarged;
    };
    const Case cases[] = {
        { "top", TAB_STYLE_TOP, true },
        { "bottom", TAB_STYLE_BOTTOM, true },
        { "right", TAB_STYLE_RIGHT, true },
        { "left", TAB_STYLE_LEFT, true },
        { "top, not enlarged", TAB_STYLE_TOP | TAB_STYLE_NO_ENLARGE, false },
        { "top, flat", TAB_STYLE_TOP | TAB_STYLE_FLAT, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool horizontal = c.style & (TAB_STYLE_TOP | TAB_STYLE_BOTTOM);
        Make(c.style, horizontal ? CRect(10, 10, 310, 40) : CRect(10, 10, 40, 310), { L"Formula", L"Graph", L"Date" });
        tabs.ActivateTab(1);
        const bool flat = c.style & TAB_STYLE_FLAT;
        const int first = 6 + 19 + LabelWidth(L"Formula", flat) + 6, second = 6 + LabelWidth(L"Graph", flat) + 6;
        const CRect a = RectOf(0), b = RectOf(1), c3 = RectOf(2);
        const int grow = c.enlarged ? 3 : 0;
        if (horizontal) {
            const int y = (c.style & TAB_STYLE_TOP) ? 2 : 30 - 22 - 3;
            EXPECT_EQ(a, CRect(7, y, 7 + first, y + 22));
            const CRect plain(a.right, y, a.right + second, y + 22);
            const CRect expected = (c.style & TAB_STYLE_TOP) ? CRect(plain.left - grow, y, plain.right + grow, y + 22 + grow)
                                                             : CRect(plain.left - grow, y - grow, plain.right + grow, y + 22);
            EXPECT_EQ(b, expected);
            EXPECT_EQ(c3.left, plain.right);
        } else {
            const int x = (c.style & TAB_STYLE_RIGHT) ? 30 - 22 - 3 : 2;
            EXPECT_EQ(a, CRect(x, 7, x + 22, 7 + first));
            const CRect plain(x, a.bottom, x + 22, a.bottom + second);
            const CRect expected = (c.style & TAB_STYLE_RIGHT) ? CRect(x - grow, plain.top - grow, x + 22, plain.bottom + grow)
                                                               : CRect(x, plain.top - grow, x + 22 + grow, plain.bottom + grow);
            EXPECT_EQ(b, expected);
            EXPECT_EQ(c3.top, plain.bottom);
        }
        tabs.DestroyWindow();
    }
}

TEST_F(Tab3DControlTest, ARowTooShortForLabelsShowsIconsOnly)
{
    Make(TAB_STYLE_TOP, CRect(10, 10, 50, 40), { L"Formula", L"Graph" });
    EXPECT_FALSE(tabs.AreLabelsShown());
    EXPECT_EQ(RectOf(0).Width(), 25);
    EXPECT_EQ(RectOf(1).Width(), 6);

    tabs.MoveWindow(10, 10, 300, 30);
    EXPECT_TRUE(tabs.AreLabelsShown()) << "labels come back with room";
    EXPECT_EQ(tabs.GetTab(0)->m_label, CString(L"Formula"));

    // Without fitting, labels are all shown or all hidden.
    tabs.SetLabelFitting(FALSE);
    tabs.MoveWindow(10, 10, 100, 30);
    EXPECT_FALSE(tabs.AreLabelsShown());
    EXPECT_EQ(tabs.GetTab(0)->m_label, CString(L"Formula"));
}

TEST_F(Tab3DControlTest, AShortenedLabelShowsItsFullTextAsATip)
{
    Make(TAB_STYLE_TOP, CRect(10, 10, 130, 40), { L"Formula", L"Date & Time" });
    const SEC3DTab& shortened = *tabs.GetTab(1);
    ASSERT_TRUE(shortened.m_truncated);
    EXPECT_TRUE(shortened.m_label.Find(L"...") > 0) << shortened.m_label.GetString();

    TOOLINFO info {};
    info.cbSize = sizeof info;
    EXPECT_EQ(tabs.OnToolHitTest(Centre(1), &info), 2);
    EXPECT_EQ(info.hwnd, tabs.m_hWnd);
    EXPECT_EQ(info.uId, 2u);
    EXPECT_EQ(CRect(info.rect), RectOf(1));
    EXPECT_STREQ(info.lpszText, L"Date & Time");

    tabs.MoveWindow(10, 10, 300, 30);
    EXPECT_EQ(tabs.OnToolHitTest(Centre(1), nullptr), -1) << "a whole label has no tip";
    EXPECT_EQ(tabs.OnToolHitTest(CPoint(290, 5), nullptr), -1) << "nor has the space beside the tabs";
}

TEST_F(Tab3DControlTest, ClicksActivateEnabledTabs)
{
    Make(TAB_STYLE_TOP, CRect(10, 10, 310, 40), { L"Formula", L"Graph", L"Date" });
    tabs.EnableTab(1, FALSE);
    ClickTab(2);
    EXPECT_EQ(Active(), 2);
    ClickTab(1);
    EXPECT_EQ(Active(), 2) << "a disabled tab stays deaf";
    headless->Advance(1000); // no double click
    ClickTab(2);
    EXPECT_EQ(listener->notices, (std::vector<TabNotice> {
        Activated(ID_TABS, 2, -1, &clients[2], nullptr),
        { WM_TABREACTIVATED, 2, {} },
    }));

    // A double click tells the parent; its first click activated the tab.
    listener->notices.clear();
    headless->Advance(1000);
    ClickTab(0);
    ClickTab(0);
    ASSERT_EQ(listener->notices.size(), 2u);
    EXPECT_EQ(listener->notices[0].message, static_cast<UINT>(WM_TABACTIVATED));
    EXPECT_EQ(listener->notices[1], (TabNotice { WM_TABDBLCLICKED, 0, {} }));
}

TEST_F(Tab3DControlTest, ArrowKeysStepOverDisabledTabs)
{
    Make(TAB_STYLE_TOP, CRect(10, 10, 310, 40), { L"Formula", L"Graph", L"Date", L"Script" });
    tabs.EnableTab(1, FALSE);
    tabs.SetFocus();
    Key(VK_RIGHT);
    EXPECT_EQ(Active(), -1) << "no tab is active to move from";
    tabs.ActivateTab(0);
    const struct {
        UINT key;
        int active;
    } steps[] = { { VK_RIGHT, 2 }, { VK_DOWN, 3 }, { VK_RIGHT, 3 }, { VK_LEFT, 2 }, { VK_UP, 0 }, { VK_LEFT, 0 } };
    for (const auto& step : steps) {
        Key(step.key);
        EXPECT_EQ(Active(), step.active);
    }
    EXPECT_EQ(::GetFocus(), tabs.m_hWnd);
}

TEST_F(Tab3DControlTest, DraggingTheActiveTabMovesItOnceThePointerIsDeepEnough)
{
    Make(TAB_STYLE_TOP | TAB_STYLE_DRAG, CRect(10, 10, 310, 40), { L"A", L"A much longer label", L"Date" });
    tabs.ActivateTab(0);
    listener->notices.clear();
    const CRect active = RectOf(0), neighbour = RectOf(1);
    ASSERT_GT(neighbour.Width(), active.Width());
    const int y = neighbour.CenterPoint().y;
    auto moveTo = [&](int x) {
        headless->InjectMouseMove(ScreenPoint(tabs.m_hWnd, x, y));
        Pump();
    };
    const CPoint press = ScreenPoint(tabs.m_hWnd, active.CenterPoint().x, y);
    headless->InjectMouseMove(press);
    headless->InjectButton(1, true, press);
    Pump();
    EXPECT_EQ(::GetCapture(), tabs.m_hWnd);
    EXPECT_EQ(listener->notices, (std::vector<TabNotice> { { WM_TABREACTIVATED, 0, {} } }));
    listener->notices.clear();

    // Inside the neighbour, but the moved tab would not yet lie under the pointer.
    const int threshold = active.left + neighbour.Width();
    moveTo(active.right + 1);
    moveTo(threshold);
    EXPECT_EQ(tabs.GetTab(0)->m_client, &clients[0]);
    EXPECT_TRUE(listener->notices.empty());

    moveTo(threshold + 1);
    EXPECT_EQ(tabs.GetTab(0)->m_client, &clients[1]);
    EXPECT_EQ(tabs.GetTab(1)->m_client, &clients[0]);
    EXPECT_EQ(Active(), 1);
    EXPECT_EQ(listener->notices, (std::vector<TabNotice> { Activated(ID_TABS, 1, 0, &clients[0], &clients[0]) }));

    // Back over the long tab, but not deep enough in it: no swapping to and fro at the border.
    moveTo(RectOf(1).left - 5);
    EXPECT_EQ(Active(), 1);
    moveTo(RectOf(0).left + 2);
    EXPECT_EQ(Active(), 0) << "deep in it, the tab goes back";
    EXPECT_EQ(tabs.GetTab(0)->m_client, &clients[0]);

    headless->InjectButton(1, false, press);
    Pump();
    EXPECT_NE(::GetCapture(), tabs.m_hWnd);
}

TEST_F(Tab3DControlTest, InsertingBeforeTheActiveTabKeepsItActiveSilently)
{
    Make(TAB_STYLE_TOP, CRect(10, 10, 310, 40), { L"Formula", L"Graph" });
    tabs.ActivateTab(1);
    listener->notices.clear();
    tabs.InsertTab(0, L"New", &clients[4]);
    EXPECT_EQ(Active(), 2);
    EXPECT_EQ(tabs.GetTab(2)->m_client, &clients[1]);
    EXPECT_TRUE(listener->notices.empty());
}

TEST_F(Tab3DControlTest, AChangedTabRepaintsOnlyItself)
{
    Make(TAB_STYLE_TOP, CRect(10, 10, 310, 40), { L"Formula", L"Graph", L"Date" });
    Pump();
    tabs.EnableTab(1, FALSE);
    CRect update;
    ASSERT_TRUE(::GetUpdateRect(tabs.m_hWnd, &update, FALSE));
    CRect expected = RectOf(1);
    expected.right += 1;
    expected.bottom += 1;
    EXPECT_EQ(update, expected);
    Pump();
    tabs.EnableTab(1, FALSE);
    EXPECT_FALSE(::GetUpdateRect(tabs.m_hWnd, &update, FALSE)) << "no change, no repaint";
}

TEST_F(Tab3DControlTest, FontsAreTakenForKnownSelectorsOnly)
{
    Make(TAB_STYLE_RIGHT, CRect(10, 10, 40, 310), { L"Formula", L"Graph" });
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, L"Arial"));
    const int before = RectOf(1).Height();
    EXPECT_TRUE(tabs.SetTabFont(&font, 1));
    EXPECT_GT(RectOf(1).Height(), before) << "the larger active font makes longer tabs";
    EXPECT_TRUE(tabs.SetTabFont(&font, 0));
    EXPECT_FALSE(tabs.SetTabFont(&font, 2));
    EXPECT_FALSE(tabs.SetTabFont(nullptr, 1));
}

TEST_F(Tab3DControlTest, IconsComeFromResourcesOrAsCopies)
{
    Make(TAB_STYLE_TOP, CRect(10, 10, 310, 40), { L"Formula", L"Graph", L"Date" });
    const int plain = RectOf(1).Width();
    tabs.SetTabIcon(1, 32516u, 16, 16);
    EXPECT_NE(tabs.GetTab(1)->GetIcon(), nullptr);
    EXPECT_EQ(RectOf(1).Width(), plain + 19) << "the icon takes its room before the label";
    EXPECT_EQ(RectOf(2).left, RectOf(1).right);

    tabs.SetTabIcon(2, MAKEINTRESOURCEW(32515), 16, 16);
    EXPECT_NE(tabs.GetTab(2)->GetIcon(), nullptr);

    // The tab keeps a copy: the caller's icon may go.
    HICON own = ::CopyIcon(::LoadIconW(nullptr, IDI_QUESTION));
    tabs.SetTabIcon(1, own);
    EXPECT_NE(tabs.GetTab(1)->GetIcon(), own);
    ::DestroyIcon(own);
    ICONINFO info {};
    EXPECT_TRUE(::GetIconInfo(tabs.GetTab(1)->GetIcon(), &info));
    ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);

    tabs.SetTabIcon(1, static_cast<HICON>(nullptr));
    EXPECT_EQ(tabs.GetTab(1)->GetIcon(), nullptr);
    EXPECT_EQ(RectOf(1).Width(), plain);
}

TEST_F(Tab3DControlTest, ANewPositionTurnsTheRow)
{
    Make(TAB_STYLE_TOP, CRect(10, 10, 310, 310), { L"Formula", L"Graph" });
    const CRect across = RectOf(1);
    EXPECT_EQ(across.Height(), 22);
    tabs.ModifyTabStyle(TAB_STYLE_TOP, TAB_STYLE_RIGHT);
    const CRect down = RectOf(1);
    EXPECT_EQ(down.Width(), 22);
    EXPECT_EQ(down.Height(), across.Width()) << "the turned font measures the same";
    EXPECT_EQ(down.left, 300 - 22 - 3);

    tabs.RenameTab(1, L"A longer name");
    EXPECT_GT(RectOf(1).Height(), down.Height());
    EXPECT_EQ(tabs.GetTab(1)->m_fullLabel, CString(L"A longer name"));
}

// ---- the look

struct LookCase {
    const char* file;
    DWORD style;
    CRect place;
};

void PrintTo(const LookCase& c, std::ostream* out) { *out << c.file; }

class Tab3DControlLookTest : public Tab3DControlTest, public ::testing::WithParamInterface<LookCase> {};

TEST_P(Tab3DControlLookTest, TabsAreDrawnInTheClassicLook)
{
    const LookCase& c = GetParam();
    Make(c.style, c.place, { L"Formula", L"Graph", L"Date", L"Script" });
    tabs.EnableTab(3, FALSE);
    tabs.ActivateTab(1);
    EXPECT_TRUE(LooksLike(tabs.m_hWnd, c.file));
}

INSTANTIATE_TEST_SUITE_P(Looks, Tab3DControlLookTest,
    ::testing::Values(LookCase { "tabs_raised_top.png", TAB_STYLE_TOP | TAB_STYLE_GAP, CRect(10, 10, 250, 40) },
        LookCase { "tabs_raised_bottom.png", TAB_STYLE_BOTTOM, CRect(10, 10, 250, 40) },
        LookCase { "tabs_raised_right.png", TAB_STYLE_RIGHT, CRect(10, 10, 40, 250) },
        LookCase { "tabs_raised_left.png", TAB_STYLE_LEFT | TAB_STYLE_NO_OUTER_LINES, CRect(10, 10, 40, 250) },
        LookCase { "tabs_flat_top.png", TAB_STYLE_TOP | TAB_STYLE_FLAT, CRect(10, 10, 250, 40) },
        LookCase { "tabs_flat_bottom.png", TAB_STYLE_BOTTOM | TAB_STYLE_FLAT, CRect(10, 10, 250, 40) }),
    [](const ::testing::TestParamInfo<LookCase>& info) {
        std::string name = info.param.file;
        name = name.substr(0, name.find('.'));
        std::erase(name, '_');
        return name;
    });

} // namespace
