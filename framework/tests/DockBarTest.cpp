#include "DockingFixture.h"

#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/FrameWnd.h"
#include "platform/user/tests/PixelChecks.h"

#include <numeric>

namespace {

constexpr UINT ID_FIRST = AFX_IDW_CONTROLBAR_FIRST + 80;

class DockBarTest : public DockingFixture {
protected:
    CFrameWnd* NewFrame() override { return new SECFrameWnd; }
    void SetUp() override
    {
        DockingFixture::SetUp();
        for (int i = 0; i < 3; ++i) {
            auto* bar = new SECControlBar;
            ASSERT_TRUE(bar->Create(frame, L"Pane", WS_VISIBLE | CBRS_TOP, 0, ID_FIRST + static_cast<UINT>(i)));
            bar->m_bAutoDelete = TRUE;
            bar->EnableDocking(CBRS_ALIGN_ANY);
            bars.push_back(bar);
        }
        for (int i = 0; i < 3; ++i)
            Frame()->DockControlBarEx(bars[static_cast<size_t>(i)], AFX_IDW_DOCKBAR_TOP, i, 0, 1.0f, 60);
        Idle();
    }
    SECFrameWnd* Frame() const { return static_cast<SECFrameWnd*>(frame); }
    SECDockBar* Top() const { return static_cast<SECDockBar*>(AfxFindDockBar(frame, AFX_IDW_DOCKBAR_TOP)); }
    void Idle() const { frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE); }
    CRect Place(CWnd* window) const { return PlaceInParent(window->m_hWnd); }
    std::vector<int> Lengths() const
    {
        std::vector<int> lengths;
        for (SECControlBar* bar : bars)
            lengths.push_back(Place(bar).Width());
        return lengths;
    }
    const SECDockBar::Splitter& SplitterOf(int kind, size_t nth = 0) const
    {
        size_t seen = 0;
        for (const auto& splitter : Top()->Splitters())
            if (splitter.kind == kind && seen++ == nth)
                return splitter;
        ADD_FAILURE() << "no splitter of kind " << kind;
        return Top()->Splitters().front();
    }
    // Presses at a screen point and moves to another, leaving the button down.
    void PressAndMove(CPoint from, CPoint to)
    {
        headless->Advance(1000);
        headless->InjectMouseMove(from);
        headless->InjectButton(1, true, from);
        Pump();
        headless->InjectMouseMove(to);
        Pump();
    }
    void ReleaseAt(CPoint at)
    {
        headless->InjectButton(1, false, at);
        Pump();
        Idle();
    }
    // Presses on a point of the top dock bar, moves by the offset and releases (or cancels).
    void DragSplitter(CPoint at, CSize by, UINT cancelKey = 0)
    {
        Top()->ClientToScreen(&at);
        PressAndMove(at, at + by);
        if (cancelKey == VK_RBUTTON) {
            headless->InjectButton(3, true, at + by);
            headless->InjectButton(3, false, at + by);
        } else if (cancelKey) {
            Top()->SendMessage(WM_KEYDOWN, cancelKey, 0);
        }
        ReleaseAt(at + by);
    }
    // Drags a bar with the mouse, held at `grab` from its top-left corner, to a point of the top
    // dock bar.
    void DragBar(CControlBar* bar, CPoint grab, CPoint to)
    {
        CRect window;
        bar->GetWindowRect(&window);
        Top()->ClientToScreen(&to);
        PressAndMove(window.TopLeft() + grab, to);
        ReleaseAt(to);
    }

    std::vector<SECControlBar*> bars;
};

TEST_F(DockBarTest, ABarsRowIsFilledByTheirSharesWithSplittersBetween)
{
    CRect client;
    Top()->GetClientRect(&client);
    const std::vector<int> lengths = Lengths();
    const int splitters = 2 * SECDockBar::kSplitterThickness;
    EXPECT_EQ(std::accumulate(lengths.begin(), lengths.end(), 0) + splitters, client.Width());
    float shares = 0.0f;
    for (size_t i = 0; i < bars.size(); ++i) {
        EXPECT_NEAR(lengths[i], bars[i]->m_fPctWidth * static_cast<float>(client.Width() - splitters), 1.0f) << "its share of the row";
        EXPECT_GE(bars[i]->m_fPctWidth, Top()->m_fMinShare);
        EXPECT_EQ(Place(bars[i]).Height(), 60) << "the thickness given when docking";
        shares += bars[i]->m_fPctWidth;
    }
    EXPECT_NEAR(shares, 1.0f, 1e-4f);
    ASSERT_EQ(Top()->Splitters().size(), 3u) << "two between the bars, one below the row";
    EXPECT_EQ(SplitterOf(1, 0).rect, CRect(Place(bars[0]).right, 0, Place(bars[1]).left, 60));
    EXPECT_EQ(SplitterOf(0).rect, CRect(0, 60, client.Width(), 66));
    EXPECT_EQ(client.Height(), 66);
    EXPECT_EQ(Frame()->GetPaneRect().top, 66) << "the pane starts below the dock bar";
}

TEST_F(DockBarTest, DraggingASplitterMovesLengthBetweenNeighbours)
{
    struct Case {
        const char* name;
        int by;
        UINT cancel;
        std::vector<int> change; // of each bar's length
    };
    const Case cases[] = {
        { "to the right: the left bar grows, the right one shrinks", 50, 0, { 50, -50, 0 } },
        { "to the left", -30, 0, { -30, 30, 0 } },
        { "Escape cancels", 40, VK_ESCAPE, { 0, 0, 0 } },
        { "a right click cancels", 40, VK_RBUTTON, { 0, 0, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<int> before = Lengths();
        const CRect splitter = SplitterOf(1, 0).rect;
        DragSplitter(splitter.CenterPoint(), CSize(c.by, 3), c.cancel);
        const std::vector<int> after = Lengths();
        for (size_t i = 0; i < after.size(); ++i)
            EXPECT_NEAR(after[i] - before[i], c.change[i], 1) << "bar " << i;
        CRect client;
        Top()->GetClientRect(&client);
        EXPECT_NEAR(bars[0]->m_fPctWidth, static_cast<float>(after[0]) / (client.Width() - 12), 0.01f);
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST_F(DockBarTest, ADraggedSplitterShowsWhereItWouldGo)
{
    const SECDockBar::Splitter splitter = SplitterOf(1, 0);
    CPoint at = splitter.rect.CenterPoint();
    Top()->ClientToScreen(&at);
    PressAndMove(at, at + CSize(40, 2));
    const SECDragRect& tracker = Top()->SplitterTracker();
    ASSERT_TRUE(tracker.m_hWnd && tracker.IsWindowVisible());
    CRect expected(splitter.rect.left + 40, splitter.rect.top, splitter.rect.left + 40 + SECDockBar::kTrackerThickness, splitter.rect.bottom);
    Top()->ClientToScreen(&expected);
    CRect shown;
    tracker.GetWindowRect(&shown);
    EXPECT_EQ(shown, expected) << "a band across the splitter's travel, moving with the pointer only";
    EXPECT_TRUE(tracker.IsHalftone());
    // On the screen: the dithered band over the bar, a pixel of the bar on either side.
    CRect area(shown.left - 1, shown.top + 10, shown.right + 1, shown.top + 30);
    EXPECT_TRUE(pixel_checks::MatchesExpectedPixels(ScreenPixels(area), area.Width(), area.Height(), "splitter-tracker.png"));
    ReleaseAt(at + CSize(40, 2));
    EXPECT_FALSE(tracker.IsWindowVisible());
    EXPECT_EQ(ScreenPixels(area), std::vector<COLORREF>(static_cast<size_t>(area.Width() * area.Height()), GetSysColor(COLOR_BTNFACE)))
        << "the band is gone; the bar shows there again";
}

TEST_F(DockBarTest, TheOutlineOfADraggedPaneShowsTheLengthItWouldGet)
{
    auto* pane = new SECControlBar;
    ASSERT_TRUE(pane->Create(frame, L"Pane", WS_VISIBLE | CBRS_TOP, 0, ID_FIRST + 9));
    pane->m_bAutoDelete = TRUE;
    pane->EnableDocking(CBRS_ALIGN_ANY);
    Frame()->DockControlBarEx(pane, AFX_IDW_DOCKBAR_TOP, 0, 1, 1.0f, 40);
    Idle();
    auto* context = static_cast<SECDockContext*>(pane->m_pDockContext.get());
    auto outline = [&] { return context->DragRect().Rect(); };
    CRect top, bottom;
    Top()->GetWindowRect(&top);
    AfxFindDockBar(frame, AFX_IDW_DOCKBAR_BOTTOM)->GetWindowRect(&bottom);

    CPoint grab = Place(pane).CenterPoint();
    Top()->ClientToScreen(&grab);
    // Over the first row, among the three panes: as long as the share it would get there.
    CPoint over = Place(bars[1]).CenterPoint();
    Top()->ClientToScreen(&over);
    PressAndMove(grab, over);
    const float shares = bars[0]->m_fPctWidth + bars[1]->m_fPctWidth + bars[2]->m_fPctWidth;
    EXPECT_NEAR(outline().Width(), top.Width() * pane->m_fPctWidth / (shares + pane->m_fPctWidth), 1.0);
    EXPECT_TRUE(outline().PtInRect(over));
    // Along the same row it follows the pointer.
    const CRect before = outline();
    headless->InjectMouseMove(over + CSize(30, 2));
    Pump();
    EXPECT_EQ(outline(), before + CPoint(30, 2));
    // Over the empty bottom dock bar, a row of its own: across the whole dock bar.
    const CPoint below(bottom.CenterPoint().x, bottom.top - 2);
    headless->InjectMouseMove(below);
    Pump();
    ASSERT_EQ(context->DockBarAt(below, 0), AfxFindDockBar(frame, AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_EQ(outline().left, bottom.left);
    EXPECT_EQ(outline().Width(), bottom.Width());
    // Back over the first row and released: it docks there, between the panes it was dropped on.
    headless->InjectMouseMove(over);
    Pump();
    ReleaseAt(over);
    std::vector<CControlBar*> firstRow = Top()->Rows().front();
    std::erase(firstRow, static_cast<CControlBar*>(Frame()->GetAutoHideBar(CBRS_ALIGN_TOP)));
    EXPECT_EQ(firstRow, (std::vector<CControlBar*> { bars[0], pane, bars[1], bars[2] }))
        << "the outline starts past the middle of the first pane, short of the second's";
}

TEST_F(DockBarTest, ASplitterStopsAtItsLimits)
{
    CRect client;
    Top()->GetClientRect(&client);
    // Far to the left: the first bar keeps 24 pixels.
    DragSplitter(SplitterOf(1, 0).rect.CenterPoint(), CSize(-2000, 0));
    EXPECT_EQ(Place(bars[0]).Width(), SECDockBar::kDragBarLength);
    // Far to the right: the splitter stops 6 pixels before the upper limit, which leaves the
    // bar after it 24 pixels.
    DragSplitter(SplitterOf(1, 1).rect.CenterPoint(), CSize(2000, 0));
    EXPECT_EQ(Place(bars[2]).Width(), SECDockBar::kDragBarLength);
}

TEST_F(DockBarTest, DraggingTheSplitterBelowARowMakesItThicker)
{
    const struct {
        int by;
        int thickness;
    } cases[] = { { 25, 85 }, { -40, 45 }, { -500, SECDockBar::kSmallestRowThickness } };
    for (const auto& c : cases) {
        DragSplitter(SplitterOf(0).rect.CenterPoint(), CSize(0, c.by));
        for (SECControlBar* bar : bars)
            EXPECT_EQ(Place(bar).Height(), c.thickness) << c.by;
    }
}

TEST_F(DockBarTest, ABarExpandsToItsRowAndIsRestored)
{
    EXPECT_TRUE(Top()->IsBarExpandable(bars[1]));
    Top()->ExpandBar(bars[1], 1);
    Idle();
    EXPECT_FALSE(Top()->IsBarExpandable(bars[1])) << "expanded";
    EXPECT_LE(Place(bars[0]).Width(), SECDockBar::kSmallestBarLength + 1);
    EXPECT_GT(Place(bars[1]).Width(), Place(bars[0]).Width() * 10);

    Top()->ExpandBar(bars[1], 0);
    Idle();
    EXPECT_TRUE(Top()->IsBarExpandable(bars[1]));
    EXPECT_NEAR(bars[1]->m_fPctWidth, 0.5f, 0.01f);
    EXPECT_NEAR(bars[0]->m_fPctWidth, 0.25f, 0.01f);
    EXPECT_NEAR(bars[2]->m_fPctWidth, 0.25f, 0.01f);
}

TEST_F(DockBarTest, BarsDockAtAColumnAndRow)
{
    auto* extra = new SECControlBar;
    ASSERT_TRUE(extra->Create(frame, L"Extra", WS_VISIBLE | CBRS_TOP, 0, ID_FIRST + 9));
    extra->m_bAutoDelete = TRUE;
    extra->EnableDocking(CBRS_ALIGN_ANY);
    struct Case {
        int column, row;
        std::vector<CControlBar*> expected;
    };
    const Case cases[] = {
        { 1, 0, { nullptr, bars[0], extra, bars[1], bars[2], nullptr } },
        { 0, 1, { nullptr, bars[0], bars[1], bars[2], nullptr, extra, nullptr } },
        { 5, 0, { nullptr, bars[0], bars[1], bars[2], extra, nullptr } },
    };
    for (const Case& c : cases) {
        Frame()->DockControlBarEx(extra, AFX_IDW_DOCKBAR_TOP, c.column, c.row, 0.5f, 40);
        // The top auto-hide strip, hidden, stays where EnableDocking docked it.
        std::vector<CControlBar*> bars = Top()->m_arrBars;
        std::erase(bars, static_cast<CControlBar*>(Frame()->GetAutoHideBar(CBRS_ALIGN_TOP)));
        EXPECT_EQ(bars, c.expected) << c.column << "," << c.row;
        EXPECT_EQ(extra->m_szHorzDocked.cy, 40);
    }
}

TEST_F(DockBarTest, TheRowLayoutKeepsSharesWhenTheFrameIsResized)
{
    Top()->ExpandBar(bars[0], 0);
    Idle();
    const std::vector<float> shares { bars[0]->m_fPctWidth, bars[1]->m_fPctWidth, bars[2]->m_fPctWidth };
    frame->SetWindowPos(nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    Idle();
    CRect client;
    Top()->GetClientRect(&client);
    const std::vector<int> lengths = Lengths();
    EXPECT_EQ(std::accumulate(lengths.begin(), lengths.end(), 0) + 12, client.Width());
    for (size_t i = 0; i < bars.size(); ++i)
        EXPECT_NEAR(bars[i]->m_fPctWidth, shares[i], 1e-4f);
}

TEST_F(DockBarTest, RowsAndSharesComeBackFromTheSavedLayout)
{
    DragSplitter(SplitterOf(1, 0).rect.CenterPoint(), CSize(60, 0));
    Frame()->DockControlBarEx(bars[2], AFX_IDW_DOCKBAR_TOP, 0, 1, 1.0f, 45);
    Idle();
    const std::vector<float> shares { bars[0]->m_fPctWidth, bars[1]->m_fPctWidth };
    const std::vector<CControlBar*> rows = Top()->m_arrBars;
    Frame()->SaveBarState(L"Shares");

    Top()->ExpandBar(bars[0], 0);
    Frame()->DockControlBarEx(bars[2], AFX_IDW_DOCKBAR_TOP, 2, 0, 0.3f, 60);
    Idle();
    ASSERT_NE(Top()->m_arrBars, rows);

    Frame()->LoadBarState(L"Shares");
    Idle();
    EXPECT_EQ(Top()->m_arrBars, rows);
    EXPECT_NEAR(bars[0]->m_fPctWidth, shares[0], 1e-4f);
    EXPECT_NEAR(bars[1]->m_fPctWidth, shares[1], 1e-4f);
    EXPECT_EQ(Place(bars[2]).Height(), 45);
}

// Bars that keep their own size (tool bars) in the second row of the top dock bar: each stays
// where it was put, pushes the bars after it along, and the row wraps when it is full.
class PackedRowTest : public DockBarTest {
protected:
    static constexpr int kLength = 150, kThickness = 24;
    SECControlBar* NewToolBar(const wchar_t* title, DWORD exStyle = 0)
    {
        auto* bar = new SECControlBar;
        EXPECT_TRUE(bar->Create(frame, title, WS_VISIBLE | CBRS_TOP, CBRS_EX_FIXEDSIZE | exStyle, ID_FIRST + 20 + static_cast<UINT>(tools.size())));
        bar->m_bAutoDelete = TRUE;
        bar->EnableDocking(CBRS_ALIGN_ANY);
        bar->m_szHorzDocked = CSize(kLength, kThickness);
        tools.push_back(bar);
        return bar;
    }
    // Drops the bar with its top-left corner at that point of the top dock bar, as a drag does.
    void DropAt(CControlBar* bar, CPoint clientPoint)
    {
        CRect rect(clientPoint, CSize(kLength, kThickness));
        Top()->ClientToScreen(&rect);
        frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP, &rect);
        Idle();
    }
    int SecondRowTop() const { return Place(bars[0]).bottom + SECDockBar::kSplitterThickness; }

    std::vector<SECControlBar*> tools;
};

TEST_F(PackedRowTest, ABarStaysWherePutPushesItsNeighboursAndWrapsWhenTheRowIsFull)
{
    SECControlBar* a = NewToolBar(L"A");
    SECControlBar* b = NewToolBar(L"B");
    SECControlBar* c = NewToolBar(L"C");
    Frame()->DockControlBarEx(a, AFX_IDW_DOCKBAR_TOP, 0, 1, 1.0f, kThickness);
    Idle();
    const int row = SecondRowTop();
    EXPECT_EQ(Place(a), CRect(0, row, kLength, row + kThickness));

    DropAt(b, CPoint(300, row + 2));
    EXPECT_EQ(Place(b).TopLeft(), CPoint(300, row)) << "docked beside A where it was dropped";
    DropAt(b, CPoint(200, row + 2));
    EXPECT_EQ(Place(b).TopLeft(), CPoint(200, row)) << "dragged along its own row, it stays there";
    EXPECT_TRUE(b->GetExBarStyle() & CBRS_EX_UNSTRETCHEDROW);

    DropAt(c, CPoint(100, row + 2));
    EXPECT_EQ(Top()->Rows().back(), (std::vector<CControlBar*> { a, c, b })) << "past A's middle: between A and B";
    EXPECT_EQ(Place(c).TopLeft(), CPoint(kLength, row)) << "pushed on by A";
    EXPECT_EQ(Place(b).TopLeft(), CPoint(2 * kLength, row)) << "pushed on by C";
    DropAt(c, CPoint(40, row + 2));
    EXPECT_EQ(Top()->Rows().back(), (std::vector<CControlBar*> { c, a, b })) << "short of A's middle: before A";
    EXPECT_EQ(Place(c).TopLeft(), CPoint(40, row));
    EXPECT_EQ(Place(a).TopLeft(), CPoint(40 + kLength, row)) << "A pushed on by C";
    EXPECT_EQ(Place(b).TopLeft(), CPoint(40 + 2 * kLength, row)) << "and B by A";
    DropAt(a, CPoint(0, row + 2));
    ASSERT_EQ(Top()->Rows().back(), (std::vector<CControlBar*> { a, c, b }));

    // Too narrow for three: B wraps to a row of its own below, at its start.
    frame->SetWindowPos(nullptr, 0, 0, 2 * kLength + 100, 400, SWP_NOMOVE | SWP_NOZORDER);
    Idle();
    CRect client;
    Top()->GetClientRect(&client);
    ASSERT_LT(client.Width(), 3 * kLength);
    const auto rows = Top()->Rows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1], (std::vector<CControlBar*> { a, c }));
    EXPECT_EQ(rows[2], (std::vector<CControlBar*> { b }));
    EXPECT_EQ(Place(b).TopLeft(), CPoint(0, row + kThickness));
    EXPECT_EQ(client.Height(), row + 2 * kThickness) << "the dock bar grows by the new row";
    for (CControlBar* bar : { a, c, b })
        EXPECT_LE(Place(bar).right, client.Width()) << "no bar past the right edge";

    // Narrower still: a row keeps at least its first bar, and every bar stays in reach.
    frame->SetWindowPos(nullptr, 0, 0, kLength + 10, 400, SWP_NOMOVE | SWP_NOZORDER);
    Idle();
    EXPECT_EQ(Top()->Rows().size(), 4u);
    for (CControlBar* bar : { a, c, b })
        EXPECT_EQ(Place(bar).left, 0);
}

TEST_F(PackedRowTest, ABarWithTheOwnRowBitHasARowToItself)
{
    SECControlBar* a = NewToolBar(L"A");
    SECControlBar* b = NewToolBar(L"B");
    SECControlBar* own = NewToolBar(L"Own", CBRS_EX_OWNROW);
    Frame()->DockControlBarEx(a, AFX_IDW_DOCKBAR_TOP, 0, 1, 1.0f, kThickness);
    Frame()->DockControlBarEx(b, AFX_IDW_DOCKBAR_TOP, 1, 1, 1.0f, kThickness);
    Idle();
    const int row = SecondRowTop();
    DropAt(own, CPoint(kLength - 20, row + 2));
    auto rows = Top()->Rows();
    ASSERT_EQ(rows.size(), 4u) << "docked between A and B, it splits their row in two";
    EXPECT_EQ(rows[1], std::vector<CControlBar*> { a });
    EXPECT_EQ(rows[2], std::vector<CControlBar*> { own });
    EXPECT_EQ(rows[3], std::vector<CControlBar*> { b });
    CRect client;
    Top()->GetClientRect(&client);
    EXPECT_EQ(Place(own), CRect(0, row + kThickness, client.Width(), row + 2 * kThickness)) << "across the whole dock bar";

    // Another bar dropped onto its row does not join it: short of its middle it gets a row of its
    // own before it, past its middle one after it.
    DropAt(a, CPoint(kLength + 5, row + kThickness + 2));
    rows = Top()->Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], std::vector<CControlBar*> { a });
    EXPECT_EQ(rows[2], std::vector<CControlBar*> { own });
    DropAt(a, CPoint(client.Width() / 2 + 5, Place(own).top + 2));
    rows = Top()->Rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], std::vector<CControlBar*> { own });
    EXPECT_EQ(rows[2], std::vector<CControlBar*> { a });
    EXPECT_EQ(rows[3], std::vector<CControlBar*> { b });
}

TEST_F(PackedRowTest, InASideDockBarTheColumnsTakeDroppedBarsTheSameWay)
{
    constexpr int kUpright = 100;
    CDockBar* left = AfxFindDockBar(frame, AFX_IDW_DOCKBAR_LEFT);
    SECControlBar* a = NewToolBar(L"A");
    SECControlBar* b = NewToolBar(L"B");
    SECControlBar* c = NewToolBar(L"C");
    for (SECControlBar* bar : { a, b, c })
        bar->m_szVertDocked = CSize(kThickness, kUpright);
    frame->DockControlBar(a, AFX_IDW_DOCKBAR_LEFT);
    Idle();
    // The columns, without the hidden auto-hide strip.
    auto columns = [&] {
        std::vector<std::vector<CControlBar*>> shown;
        for (auto column : left->Rows()) {
            std::erase(column, static_cast<CControlBar*>(Frame()->GetAutoHideBar(CBRS_ALIGN_LEFT)));
            if (!column.empty())
                shown.push_back(column);
        }
        return shown;
    };
    // Drops the bar upright with its top at `along` and its middle across at `middle`.
    auto dropAt = [&](CControlBar* bar, int middle, int along) {
        CRect rect(CPoint(middle - kThickness / 2, along), CSize(kThickness, kUpright));
        left->ClientToScreen(&rect);
        frame->DockControlBar(bar, AFX_IDW_DOCKBAR_LEFT, &rect);
        Idle();
    };
    const CRect column = PlaceInParent(a->m_hWnd);
    dropAt(b, column.CenterPoint().x, column.top + kUpright / 2 + 10);
    EXPECT_EQ(columns(), (std::vector<std::vector<CControlBar*>> { { a, b } })) << "past A's middle: below it";
    EXPECT_EQ(PlaceInParent(b->m_hWnd).TopLeft(), CPoint(column.left, column.top + kUpright)) << "pushed on by A";
    dropAt(c, column.CenterPoint().x, column.top + 10);
    EXPECT_EQ(columns(), (std::vector<std::vector<CControlBar*>> { { c, a, b } })) << "short of A's middle: above it";
    dropAt(c, column.right + kThickness, column.top + 10);
    EXPECT_EQ(columns(), (std::vector<std::vector<CControlBar*>> { { a, b }, { c } })) << "beside the column: a column of its own";
}

TEST_F(PackedRowTest, AToolBarDraggedOntoTheMenuBarsRowLandsBesideIt)
{
    SECControlBar* menu = NewToolBar(L"Menu");
    menu->m_szHorzDocked = CSize(300, 20);
    SECControlBar* tools = NewToolBar(L"Tools");
    Frame()->DockControlBarEx(menu, AFX_IDW_DOCKBAR_TOP, 0, 1, 1.0f, 20);
    Frame()->DockControlBarEx(tools, AFX_IDW_DOCKBAR_TOP, 0, 2, 1.0f, kThickness);
    Idle();
    const CRect menuPlace = Place(menu);
    const CPoint grab(kLength / 2, kThickness / 2);
    auto rowOf = [&](CControlBar* bar) {
        for (const auto& row : Top()->Rows())
            if (std::find(row.begin(), row.end(), bar) != row.end())
                return row;
        return std::vector<CControlBar*> {};
    };

    // Held in its middle, it is taller than the menu bar's row, yet its centre is on that row.
    DragBar(tools, grab, CPoint(menuPlace.right + 40 + grab.x, menuPlace.top + 12));
    EXPECT_EQ(rowOf(menu), (std::vector<CControlBar*> { menu, tools }));
    EXPECT_EQ(Place(tools).TopLeft(), CPoint(menuPlace.right + 40, menuPlace.top)) << "where it was dropped";
    EXPECT_EQ(Place(menu), menuPlace);
    EXPECT_EQ(Top()->Rows().size(), 2u) << "the tool bar's old row went";

    // Along its row, onto the menu bar's first half: before the menu bar, pushing it on.
    DragBar(tools, grab, CPoint(menuPlace.left + 60 + grab.x, menuPlace.top + 12));
    EXPECT_EQ(rowOf(menu), (std::vector<CControlBar*> { tools, menu }));
    EXPECT_EQ(Place(tools).left, 60);
    EXPECT_EQ(Place(menu).left, 60 + kLength);

    // Onto a full row: the last bar wraps to a row of its own below, and nothing is cut off.
    SECControlBar* wide = NewToolBar(L"Wide");
    wide->m_szHorzDocked = CSize(250, kThickness);
    Frame()->DockControlBarEx(wide, AFX_IDW_DOCKBAR_TOP, 0, 2, 1.0f, kThickness);
    Idle();
    CRect client;
    Top()->GetClientRect(&client);
    ASSERT_GT(60 + kLength + 300 + 250, client.Width());
    DragBar(wide, CPoint(125, 12), CPoint(40 + 125, menuPlace.top + 12));
    EXPECT_EQ(rowOf(wide), (std::vector<CControlBar*> { wide, tools })) << "before the tool bar, which it pushed on";
    EXPECT_EQ(rowOf(menu), (std::vector<CControlBar*> { menu })) << "the menu bar wrapped";
    EXPECT_EQ(Place(menu).TopLeft(), CPoint(0, Place(wide).bottom));
    for (CControlBar* bar : { menu, tools, wide })
        EXPECT_LE(Place(bar).right, client.Width());
}

} // namespace
