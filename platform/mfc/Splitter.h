#pragma once
// The splitter window: panes in rows and columns, separated by bars the user drags. A static
// splitter has a fixed grid of panes made one by one with CreateView. A dynamic splitter (at most
// 2 x 2) starts with one pane made from the creation context's view class; split boxes at the ends
// of the strips that hold its shared scroll bars, or SplitRow/SplitColumn, add a row or column of panes made from the
// same class, and dragging a bar to the edge (or DeleteRow/DeleteColumn) takes it away again.
// Pane ids are AFX_IDW_PANE_FIRST + row * 16 + column.

#include "platform/mfc/Frame.h"

#include <optional>
#include <vector>

constexpr DWORD SPLS_DYNAMIC_SPLIT = 0x0001;
constexpr UINT AFX_IDW_HSCROLL_FIRST = 0xEA00, AFX_IDW_VSCROLL_FIRST = 0xEA10, AFX_IDW_SIZE_BOX = 0xEA20;

// Where the splitter's parts lie, from the sizes of its rows and columns: pure geometry, shared by
// painting, hit testing and the placing of the panes.
struct SplitterLayout {
    // Between two panes: each pane's 2-pixel sunken border around a 3-pixel bar.
    static constexpr int kBorder = 2, kGap = 7;

    std::vector<CRect> columnSpans; // left/right of each column's pane (top/bottom unused)
    std::vector<CRect> rowSpans;    // top/bottom of each row's pane
    CRect rowSplitBox, columnSplitBox;     // empty when the splitter is static or full
    std::vector<CRect> verticalScrollBars;   // one a row, on the right edge (dynamic only)
    std::vector<CRect> horizontalScrollBars; // one a column, along the bottom (dynamic only)

    CRect PaneRect(int row, int column) const;
    // The gap after column `column` (between it and the next, borders included), across the
    // whole pane area: where the mouse grabs the bar.
    CRect ColumnBar(int column) const;
    CRect RowBar(int row) const;
};

struct SplitterGeometry {
    CSize client;
    std::vector<int> columnWidths, rowHeights; // wanted sizes; the last gets what is left
    bool dynamic = false;
    bool canSplitRow = false, canSplitColumn = false;
    CSize scrollBar; // widths of the vertical and horizontal scroll bars
};
SplitterLayout LayOutSplitter(const SplitterGeometry& geometry);

class CSplitterWnd : public CWnd {
    DECLARE_DYNAMIC(CSplitterWnd)
public:
    CSplitterWnd() = default;

    // A dynamic splitter of one pane, made from context->m_pNewViewClass; it splits up to
    // maxRows x maxColumns (each 1 or 2). Panes never get smaller than minPane.
    BOOL Create(CWnd* parent, int maxRows, int maxColumns, SIZE minPane, CCreateContext* context,
        DWORD style = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | SPLS_DYNAMIC_SPLIT, UINT id = AFX_IDW_PANE_FIRST);
    using CWnd::Create;
    // A static splitter of rows x columns panes (each 1..16), made by CreateView afterwards.
    BOOL CreateStatic(CWnd* parent, int rows, int columns, DWORD style = WS_CHILD | WS_VISIBLE, UINT id = AFX_IDW_PANE_FIRST);
    // Makes the pane of a cell from a view class; initialSize sets that row's and column's size.
    virtual BOOL CreateView(int row, int column, CRuntimeClass* viewClass, SIZE initialSize, CCreateContext* context);

    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    int GetMaxRowCount() const { return m_maxRows; }
    int GetMaxColumnCount() const { return m_maxColumns; }
    bool IsDynamic() const { return m_dynamic; }

    CWnd* GetPane(int row, int column) const;
    int IdFromRowCol(int row, int column) const { return static_cast<int>(AFX_IDW_PANE_FIRST) + row * 16 + column; }
    // TRUE when the window is one of the panes; then its row and column (each may be null).
    BOOL IsChildPane(const CWnd* window, int* row, int* column) const;
    // The pane that has the focus or, failing that, the active view of the parent frame when it
    // is one of the panes; null otherwise.
    CWnd* GetActivePane(int* row = nullptr, int* column = nullptr) const;
    // Makes a pane (given by cell, or window when not null) the active one: the frame's active
    // view when it is a view, and the focus.
    void SetActivePane(int row, int column, CWnd* window = nullptr);

    void SetRowInfo(int row, int ideal, int minimum);
    void GetRowInfo(int row, int& current, int& minimum) const;
    void SetColumnInfo(int column, int ideal, int minimum);
    void GetColumnInfo(int column, int& current, int& minimum) const;

    // Places the panes, bars and scroll bars after a change of sizes or of the window.
    virtual void RecalcLayout();
    // Dynamic splitters: a new row (column) below (right of) the first, which keeps
    // sizeBefore pixels; FALSE when full, too small, or when a pane cannot be made.
    virtual BOOL SplitRow(int sizeBefore);
    virtual BOOL SplitColumn(int sizeBefore);
    virtual void DeleteRow(int row);
    virtual void DeleteColumn(int column);

    // The part under a client point, for painting, the cursor and the mouse.
    enum class Hit { None, RowBar, ColumnBar, Intersection, RowSplitBox, ColumnSplitBox };
    Hit HitTest(CPoint point) const;
    // The shared scroll bar (SB_HORZ, SB_VERT) a pane uses in place of its own, or null.
    CWnd* GetScrollBarCtrl(const CWnd* pane, int bar) const;

    // While the user drags a bar.
    bool IsTracking() const { return m_tracking.has_value(); }

protected:
    // Makes the pane of a new cell of a dynamic splitter like the one at the source cell.
    virtual BOOL CreateDynamicPane(int row, int column);

    void OnSize(UINT type, int cx, int cy);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    BOOL OnSetCursor(CWnd* window, UINT hitTest, UINT message);
    void OnLButtonDown(UINT keys, CPoint point);
    void OnLButtonDblClk(UINT keys, CPoint point);
    void OnMouseMove(UINT keys, CPoint point);
    void OnLButtonUp(UINT keys, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnCaptureChanged(CWnd* window);
    void OnHScroll(UINT code, int position, CWnd* bar);
    void OnVScroll(UINT code, int position, CWnd* bar);
    DECLARE_MESSAGE_MAP()

private:
    struct Track {
        Hit hit;
        int rowBar, columnBar; // the bars that move (-1: none)
        CSize grabOffset;       // from the pointer to the moving bar's top-left
        CPoint position;        // the tracker's top-left now
        HWND focusBefore;          // gets the focus back when the drag ends
    };
    struct Line {
        int ideal = 0, minimum = 0, current = 0;
    };

    BOOL CreateCommon(CWnd* parent, DWORD style, UINT id);
    SplitterLayout Layout() const;
    void CreateScrollBars();
    void StartTracking(Hit hit, CPoint point);
    void MoveTracker(CPoint point);
    void InvertTracker();
    void StopTracking(bool accept);
    void ApplyTrack(const Track& track);
    CWnd* ScrollTarget(bool vertical, CWnd* bar) const;
    void RenumberPanes(int removedRow, int removedColumn);
    CFrameWnd* ParentFrame() const;

    std::vector<Line> m_rows, m_columns;
    int m_maxRows = 1, m_maxColumns = 1;
    bool m_dynamic = false;
    DWORD m_scrollStyle = 0; // WS_HSCROLL, WS_VSCROLL: the shared scroll bars a dynamic splitter has
    CSize m_minPane;
    CRuntimeClass* m_pDynamicViewClass = nullptr;
    std::optional<Track> m_tracking;
};
