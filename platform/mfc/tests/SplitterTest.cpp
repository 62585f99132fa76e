#include "platform/display/HeadlessDisplay.h"
#include "platform/gdi/SysColors.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/Splitter.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/tests/PixelChecks.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class PlainDocument : public CDocument {
    DECLARE_DYNCREATE(PlainDocument)
};
IMPLEMENT_DYNCREATE(PlainDocument, CDocument)

// A view that paints itself white, so the splitter's own ink stands out.
class WhiteView : public CView {
    DECLARE_DYNCREATE(WhiteView)
public:
    int initialUpdates = 0;
    std::vector<UINT> verticalScrolls;
    void OnDraw(CDC* dc) override
    {
        CRect client;
        GetClientRect(&client);
        dc->FillSolidRect(&client, RGB(255, 255, 255));
    }
    void OnInitialUpdate() override { ++initialUpdates; }

protected:
    void OnVScroll(UINT code, int, CWnd*) { verticalScrolls.push_back(code); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(WhiteView, CView)
BEGIN_MESSAGE_MAP(WhiteView, CView)
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

class SplitterApp : public CWinApp {
public:
    SplitterApp() : CWinApp(L"SplitterTest") {}
};

class SplitterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        SetCurrentDisplay(std::move(display));
        frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, L"Splitter", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 100, 500, 400)));
        app.m_pMainWnd = frame;
    }
    void TearDown() override
    {
        app.m_pMainWnd = nullptr;
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        ReleaseCapture();
        Pump();
        AfxDeleteTempObjects();
    }

    static void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    // A static splitter filling a client area of `size`, every pane a WhiteView.
    void MakeStatic(int rows, int columns, CSize size = CSize(300, 200))
    {
        ASSERT_TRUE(splitter.CreateStatic(frame, rows, columns));
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column)
                ASSERT_TRUE(splitter.CreateView(row, column, RUNTIME_CLASS(WhiteView), CSize(0, 0), nullptr));
        splitter.MoveWindow(0, 0, size.cx, size.cy);
        Pump();
    }

    void MakeDynamic(CSize size = CSize(300, 200))
    {
        document.m_bAutoDelete = FALSE; // the fixture owns it
        context.m_pNewViewClass = RUNTIME_CLASS(WhiteView);
        context.m_pCurrentDoc = &document;
        context.m_pCurrentFrame = frame;
        ASSERT_TRUE(splitter.Create(frame, 2, 2, CSize(20, 20), &context));
        splitter.MoveWindow(0, 0, size.cx, size.cy);
        Pump();
    }

    CRect PaneRect(int row, int column)
    {
        CRect rect;
        splitter.GetPane(row, column)->GetWindowRect(&rect);
        splitter.ScreenToClient(&rect);
        return rect;
    }

    void Press(CPoint at)
    {
        splitter.ClientToScreen(&at);
        headless->Advance(1000); // never a double click with the press before
        headless->InjectMouseMove(at);
        headless->InjectButton(1, true, at);
        Pump();
    }
    void MoveTo(CPoint at)
    {
        splitter.ClientToScreen(&at);
        headless->InjectMouseMove(at);
        Pump();
    }
    void Release(CPoint at)
    {
        splitter.ClientToScreen(&at);
        headless->InjectButton(1, false, at);
        Pump();
    }
    void Drag(CPoint from, CPoint to)
    {
        Press(from);
        MoveTo(CPoint((from.x + to.x) / 2, (from.y + to.y) / 2));
        MoveTo(to);
        Release(to);
    }

    SplitterApp app;
    HeadlessDisplay* headless = nullptr;
    CFrameWnd* frame = nullptr;
    CSplitterWnd splitter;
    PlainDocument document;
    CCreateContext context;
};

TEST_F(SplitterTest, PanesHaveIdsByRowAndColumn)
{
    MakeStatic(2, 3);
    EXPECT_EQ(splitter.GetRowCount(), 2);
    EXPECT_EQ(splitter.GetColumnCount(), 3);
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            CWnd* pane = splitter.GetPane(row, column);
            ASSERT_NE(pane, nullptr);
            EXPECT_TRUE(pane->IsKindOf(RUNTIME_CLASS(WhiteView)));
            EXPECT_EQ(pane->GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_FIRST) + row * 16 + column);
            int paneRow = -1, paneColumn = -1;
            EXPECT_TRUE(splitter.IsChildPane(pane, &paneRow, &paneColumn));
            EXPECT_EQ(paneRow, row);
            EXPECT_EQ(paneColumn, column);
        }
    }
    EXPECT_EQ(splitter.IdFromRowCol(1, 2), static_cast<int>(AFX_IDW_PANE_FIRST) + 18);
    EXPECT_EQ(splitter.GetPane(2, 0), nullptr);
    EXPECT_EQ(splitter.GetPane(0, -1), nullptr);
    EXPECT_FALSE(splitter.IsChildPane(frame, nullptr, nullptr));
    EXPECT_FALSE(splitter.IsChildPane(nullptr, nullptr, nullptr));
    // A cell takes one pane only.
    EXPECT_FALSE(splitter.CreateView(0, 0, RUNTIME_CLASS(WhiteView), CSize(0, 0), nullptr));
}

TEST_F(SplitterTest, BadArgumentsAreRefused)
{
    CSplitterWnd tooMany;
    EXPECT_FALSE(tooMany.CreateStatic(frame, 17, 1));
    EXPECT_FALSE(tooMany.CreateStatic(frame, 1, 0));
    CCreateContext noClass;
    EXPECT_FALSE(tooMany.Create(frame, 2, 2, CSize(10, 10), &noClass));
    context.m_pNewViewClass = RUNTIME_CLASS(WhiteView);
    EXPECT_FALSE(tooMany.Create(frame, 3, 1, CSize(10, 10), &context));
    EXPECT_EQ(tooMany.GetSafeHwnd(), nullptr);
}

TEST_F(SplitterTest, RowAndColumnSizesPlaceThePanes)
{
    MakeStatic(2, 2);
    splitter.SetColumnInfo(0, 100, 10);
    splitter.SetRowInfo(0, 60, 10);
    splitter.RecalcLayout();
    // A 2-pixel border round each pane; a 7-pixel gap between panes; the last takes the rest.
    EXPECT_EQ(PaneRect(0, 0), CRect(2, 2, 102, 62));
    EXPECT_EQ(PaneRect(0, 1), CRect(109, 2, 298, 62));
    EXPECT_EQ(PaneRect(1, 0), CRect(2, 69, 102, 198));
    EXPECT_EQ(PaneRect(1, 1), CRect(109, 69, 298, 198));
    int current = 0, minimum = 0;
    splitter.GetColumnInfo(1, current, minimum);
    EXPECT_EQ(current, 189);
    splitter.GetRowInfo(0, current, minimum);
    EXPECT_EQ(current, 60);
    EXPECT_EQ(minimum, 10);

    // Wider than the window: the first column is cut, the last keeps nothing.
    splitter.SetColumnInfo(0, 1000, 0);
    splitter.RecalcLayout();
    EXPECT_EQ(PaneRect(0, 0), CRect(2, 2, 298, 62));
    EXPECT_EQ(PaneRect(0, 1).Width(), 0);
}

TEST_F(SplitterTest, DraggingABarMovesIt)
{
    MakeStatic(1, 2);
    splitter.SetColumnInfo(0, 100, 0);
    splitter.RecalcLayout();
    // The gap between the columns, borders included, is x 102..108.
    EXPECT_EQ(splitter.HitTest(CPoint(105, 50)), CSplitterWnd::Hit::ColumnBar);
    EXPECT_EQ(splitter.HitTest(CPoint(50, 50)), CSplitterWnd::Hit::None);

    Press(CPoint(105, 50));
    EXPECT_TRUE(splitter.IsTracking());
    EXPECT_EQ(GetCapture(), splitter.GetSafeHwnd());
    MoveTo(CPoint(155, 80));
    EXPECT_EQ(PaneRect(0, 0).Width(), 100) << "the panes move on release only";
    Release(CPoint(155, 80));
    EXPECT_FALSE(splitter.IsTracking());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(PaneRect(0, 0), CRect(2, 2, 152, 198));
    EXPECT_EQ(PaneRect(0, 1).left, 159);

    // Neither pane gets smaller than its minimum.
    splitter.SetColumnInfo(0, 150, 40);
    splitter.SetColumnInfo(1, 0, 60);
    Drag(CPoint(155, 50), CPoint(10, 50));
    EXPECT_EQ(PaneRect(0, 0).Width(), 40);
    Drag(CPoint(45, 50), CPoint(290, 50));
    EXPECT_EQ(PaneRect(0, 1).Width(), 60);
}

TEST_F(SplitterTest, TheTrackerIsAnInvertedLineThatLeavesNoTrace)
{
    MakeStatic(2, 1);
    splitter.SetRowInfo(0, 80, 0);
    splitter.RecalcLayout();
    Pump();
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    const int barY = 2 + 80 + 3; // the middle row of the bar
    ASSERT_EQ(pixel_checks::PixelsOf(GetDC(splitter), CRect(150, barY, 151, barY + 1))[0], face);

    Press(CPoint(150, barY));
    HDC dc = GetDC(splitter);
    EXPECT_EQ(GetPixel(dc, 150, barY), RGB(255 - GetRValue(face), 255 - GetGValue(face), 255 - GetBValue(face)));
    ReleaseDC(splitter, dc);
    headless->InjectKey(VK_ESCAPE, true);
    headless->InjectKey(VK_ESCAPE, false);
    Pump();
    EXPECT_FALSE(splitter.IsTracking());
    dc = GetDC(splitter);
    EXPECT_EQ(GetPixel(dc, 150, barY), face);
    ReleaseDC(splitter, dc);
}

TEST_F(SplitterTest, EscapeCancelsADrag)
{
    MakeStatic(1, 2);
    splitter.SetColumnInfo(0, 100, 0);
    splitter.RecalcLayout();
    splitter.SetActivePane(0, 1);
    Press(CPoint(105, 50));
    MoveTo(CPoint(200, 50));
    headless->InjectKey(VK_ESCAPE, true);
    headless->InjectKey(VK_ESCAPE, false);
    Pump();
    EXPECT_FALSE(splitter.IsTracking());
    EXPECT_EQ(GetCapture(), nullptr);
    Release(CPoint(200, 50));
    EXPECT_EQ(PaneRect(0, 0).Width(), 100);
    EXPECT_EQ(GetFocus(), splitter.GetPane(0, 1)->GetSafeHwnd()) << "the focus goes back to the pane";
}

TEST_F(SplitterTest, TheActivePaneIsTheFramesViewAndHasTheFocus)
{
    MakeStatic(2, 2);
    splitter.SetActivePane(1, 0);
    int row = -1, column = -1;
    EXPECT_EQ(splitter.GetActivePane(&row, &column), splitter.GetPane(1, 0));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(column, 0);
    EXPECT_EQ(frame->GetActiveView(), splitter.GetPane(1, 0));
    EXPECT_EQ(GetFocus(), splitter.GetPane(1, 0)->GetSafeHwnd());
}

TEST_F(SplitterTest, ADynamicSplitterSplitsAndJoinsPanesOfOneDocument)
{
    MakeDynamic();
    ASSERT_EQ(splitter.GetRowCount(), 1);
    ASSERT_EQ(splitter.GetColumnCount(), 1);
    auto* first = static_cast<WhiteView*>(splitter.GetPane(0, 0));
    EXPECT_EQ(first->GetDocument(), &document);

    EXPECT_FALSE(splitter.SplitRow(10)) << "below the minimum pane size";
    ASSERT_TRUE(splitter.SplitRow(60));
    EXPECT_EQ(splitter.GetRowCount(), 2);
    auto* below = static_cast<WhiteView*>(splitter.GetPane(1, 0));
    ASSERT_NE(below, nullptr);
    EXPECT_EQ(below->GetDocument(), &document);
    EXPECT_EQ(below->initialUpdates, 1);
    EXPECT_EQ(PaneRect(0, 0).Height(), 60);
    EXPECT_FALSE(splitter.SplitRow(60)) << "two rows at most";

    ASSERT_TRUE(splitter.SplitColumn(100));
    EXPECT_EQ(splitter.GetColumnCount(), 2);
    EXPECT_NE(splitter.GetPane(1, 1), nullptr);

    // Deleting the first row moves the second up: its panes take the ids of row 0.
    CWnd* lowerRight = splitter.GetPane(1, 1);
    splitter.DeleteRow(0);
    EXPECT_EQ(splitter.GetRowCount(), 1);
    EXPECT_EQ(splitter.GetPane(0, 1), lowerRight);
    EXPECT_EQ(lowerRight->GetDlgCtrlID(), splitter.IdFromRowCol(0, 1));
    splitter.DeleteColumn(1);
    EXPECT_EQ(splitter.GetColumnCount(), 1);
    splitter.DeleteColumn(0); // the last pane stays
    EXPECT_EQ(splitter.GetColumnCount(), 1);
    EXPECT_NE(splitter.GetPane(0, 0), nullptr);
}

TEST_F(SplitterTest, DraggingFromASplitBoxSplitsAndToAnEdgeJoins)
{
    MakeDynamic();
    const int right = 300 - GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_EQ(splitter.HitTest(CPoint(right + 3, 3)), CSplitterWnd::Hit::RowSplitBox);
    Drag(CPoint(right + 3, 3), CPoint(right + 3, 83));
    ASSERT_EQ(splitter.GetRowCount(), 2);
    // The new bar's middle sits where it was dropped.
    EXPECT_EQ(PaneRect(1, 0).top, 87);
    EXPECT_EQ(splitter.HitTest(CPoint(right + 3, 3)), CSplitterWnd::Hit::None) << "no split box when full";

    // Dropped where the lower pane would be smaller than the minimum: the lower row goes.
    const int barY = PaneRect(0, 0).bottom + 3;
    Drag(CPoint(100, barY), CPoint(100, 185));
    EXPECT_EQ(splitter.GetRowCount(), 1);
    EXPECT_GT(PaneRect(0, 0).Height(), 150);
}

TEST_F(SplitterTest, PanesOfARowShareItsScrollBar)
{
    MakeDynamic();
    ASSERT_TRUE(splitter.SplitRow(80));
    ASSERT_TRUE(splitter.SplitColumn(120));
    auto* upperRight = static_cast<WhiteView*>(splitter.GetPane(0, 1));
    auto* lowerLeft = static_cast<WhiteView*>(splitter.GetPane(1, 0));
    CWnd* upperBar = upperRight->GetScrollBarCtrl(SB_VERT);
    ASSERT_NE(upperBar, nullptr);
    EXPECT_EQ(upperBar->GetSafeHwnd(), static_cast<WhiteView*>(splitter.GetPane(0, 0))->GetScrollBarCtrl(SB_VERT)->GetSafeHwnd());
    EXPECT_NE(upperBar->GetSafeHwnd(), lowerLeft->GetScrollBarCtrl(SB_VERT)->GetSafeHwnd());
    EXPECT_TRUE(upperBar->IsWindowVisible());

    // The bar's messages go to the active pane when it is in the bar's row, else to the first.
    splitter.SetActivePane(0, 1);
    splitter.SendMessage(WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(upperBar->GetSafeHwnd()));
    EXPECT_EQ(upperRight->verticalScrolls, std::vector<UINT> { SB_LINEDOWN });
    splitter.SendMessage(WM_VSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(lowerLeft->GetScrollBarCtrl(SB_VERT)->GetSafeHwnd()));
    EXPECT_EQ(lowerLeft->verticalScrolls, std::vector<UINT> { SB_PAGEDOWN });

    CSplitterWnd plain;
    ASSERT_TRUE(plain.CreateStatic(frame, 1, 1));
    ASSERT_TRUE(plain.CreateView(0, 0, RUNTIME_CLASS(WhiteView), CSize(0, 0), nullptr));
    EXPECT_EQ(static_cast<WhiteView*>(plain.GetPane(0, 0))->GetScrollBarCtrl(SB_VERT), nullptr);
}

TEST_F(SplitterTest, BarsAndBordersLookClassic)
{
    MakeStatic(1, 2, CSize(40, 24));
    splitter.SetColumnInfo(0, 14, 0);
    splitter.RecalcLayout();
    splitter.UpdateWindow();
    Pump();
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(splitter, "splitter_bar.png"));
}

TEST_F(SplitterTest, SplitBoxesSitAtTheStartOfTheScrollBars)
{
    MakeDynamic(CSize(80, 60));
    // The splitter's own ink: the areas of the pane and the scroll bars (child windows) read white.
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(splitter, "splitter_boxes.png"));
}

TEST(SplitterLayoutTest, DynamicSplittersKeepSplitBoxesBesideTheirScrollBars)
{
    SplitterGeometry geometry;
    geometry.client = CSize(200, 100);
    geometry.columnWidths = { 0 };
    geometry.rowHeights = { 0 };
    geometry.dynamic = true;
    geometry.canSplitRow = geometry.canSplitColumn = true;
    geometry.scrollBar = CSize(16, 16);
    SplitterLayout layout = LayOutSplitter(geometry);
    EXPECT_EQ(layout.rowSplitBox, CRect(184, 0, 200, 7));
    EXPECT_EQ(layout.columnSplitBox, CRect(0, 84, 7, 100));
    ASSERT_EQ(layout.verticalScrollBars.size(), 1u);
    EXPECT_EQ(layout.verticalScrollBars[0], CRect(184, 7, 200, 84));
    EXPECT_EQ(layout.horizontalScrollBars[0], CRect(7, 84, 184, 100));
    EXPECT_EQ(layout.PaneRect(0, 0), CRect(2, 2, 182, 82));

    geometry.canSplitRow = false;
    geometry.rowHeights = { 30, 0 };
    layout = LayOutSplitter(geometry);
    EXPECT_TRUE(layout.rowSplitBox.IsRectEmpty());
    ASSERT_EQ(layout.verticalScrollBars.size(), 2u);
    EXPECT_EQ(layout.verticalScrollBars[0], CRect(184, 0, 200, 34));
    EXPECT_EQ(layout.verticalScrollBars[1], CRect(184, 37, 200, 84));
    EXPECT_EQ(layout.RowBar(0), CRect(0, 32, 184, 39));
}

} // namespace
