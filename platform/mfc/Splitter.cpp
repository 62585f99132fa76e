#include "platform/mfc/Splitter.h"

#include "platform/gdi/SysColors.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/View.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CSplitterWnd, CWnd)

BEGIN_MESSAGE_MAP(CSplitterWnd, CWnd)
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_SETCURSOR()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_KEYDOWN()
ON_WM_CAPTURECHANGED()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
END_MESSAGE_MAP()

namespace {

constexpr int kMaxStaticLines = 16;

// Splits `length` among spans of the wanted sizes, kGap apart inside a kBorder frame; the last
// span takes what is left.
std::vector<std::pair<int, int>> Spans(int length, const std::vector<int>& wanted)
{
    std::vector<std::pair<int, int>> spans;
    int start = SplitterLayout::kBorder;
    const int end = std::max(start, length - SplitterLayout::kBorder);
    for (size_t i = 0; i < wanted.size(); ++i) {
        int stop = i + 1 == wanted.size() ? end : std::clamp(start + wanted[i], start, end);
        spans.emplace_back(start, stop);
        start = std::min(stop + SplitterLayout::kGap, end);
    }
    return spans;
}

} // namespace

CRect SplitterLayout::PaneRect(int row, int column) const
{
    return CRect(columnSpans[column].left, rowSpans[row].top, columnSpans[column].right, rowSpans[row].bottom);
}

CRect SplitterLayout::ColumnBar(int column) const
{
    return CRect(columnSpans[column].right, rowSpans.front().top - kBorder, columnSpans[column + 1].left,
        rowSpans.back().bottom + kBorder);
}

CRect SplitterLayout::RowBar(int row) const
{
    return CRect(columnSpans.front().left - kBorder, rowSpans[row].bottom, columnSpans.back().right + kBorder,
        rowSpans[row + 1].top);
}

SplitterLayout LayOutSplitter(const SplitterGeometry& geometry)
{
    SplitterLayout layout;
    CSize area = geometry.client;
    if (geometry.dynamic) {
        area.cx -= geometry.scrollBar.cx;
        area.cy -= geometry.scrollBar.cy;
    }
    for (auto [left, right] : Spans(area.cx, geometry.columnWidths))
        layout.columnSpans.emplace_back(left, 0, right, 0);
    for (auto [top, bottom] : Spans(area.cy, geometry.rowHeights))
        layout.rowSpans.emplace_back(0, top, 0, bottom);
    if (!geometry.dynamic)
        return layout;

    // The shared scroll bars run along the outer edges of each row and column; a split box takes
    // the start of the first bar while the splitter may still split that way.
    const int right = area.cx, bottom = area.cy;
    for (size_t row = 0; row < layout.rowSpans.size(); ++row) {
        CRect bar(right, layout.rowSpans[row].top - SplitterLayout::kBorder, geometry.client.cx,
            layout.rowSpans[row].bottom + SplitterLayout::kBorder);
        if (row == 0) {
            bar.top = 0;
            if (geometry.canSplitRow) {
                layout.rowSplitBox = CRect(bar.left, 0, bar.right, SplitterLayout::kGap);
                bar.top = layout.rowSplitBox.bottom;
            }
        }
        layout.verticalScrollBars.push_back(bar);
    }
    for (size_t column = 0; column < layout.columnSpans.size(); ++column) {
        CRect bar(layout.columnSpans[column].left - SplitterLayout::kBorder, bottom,
            layout.columnSpans[column].right + SplitterLayout::kBorder, geometry.client.cy);
        if (column == 0) {
            bar.left = 0;
            if (geometry.canSplitColumn) {
                layout.columnSplitBox = CRect(0, bar.top, SplitterLayout::kGap, bar.bottom);
                bar.left = layout.columnSplitBox.right;
            }
        }
        layout.horizontalScrollBars.push_back(bar);
    }
    layout.verticalScrollBars.back().bottom = bottom;
    layout.horizontalScrollBars.back().right = right;
    return layout;
}

// ---- creation

BOOL CSplitterWnd::CreateCommon(CWnd* parent, DWORD style, UINT id)
{
    return CreateEx(0, nullptr, L"", (style | WS_CHILD | WS_CLIPCHILDREN) & ~(WS_HSCROLL | WS_VSCROLL | SPLS_DYNAMIC_SPLIT),
        CRect(0, 0, 0, 0), parent, id);
}

BOOL CSplitterWnd::Create(CWnd* parent, int maxRows, int maxColumns, SIZE minPane, CCreateContext* context, DWORD style, UINT id)
{
    if (m_hWnd || !parent || !context || !context->m_pNewViewClass || maxRows < 1 || maxRows > 2 || maxColumns < 1
        || maxColumns > 2)
        return FALSE;
    m_dynamic = true;
    m_maxRows = maxRows;
    m_maxColumns = maxColumns;
    m_minPane = minPane;
    m_pDynamicViewClass = context->m_pNewViewClass;
    m_scrollStyle = style & (WS_HSCROLL | WS_VSCROLL);
    m_rows.assign(1, Line { 0, static_cast<int>(minPane.cy), 0 });
    m_columns.assign(1, Line { 0, static_cast<int>(minPane.cx), 0 });
    if (!CreateCommon(parent, style, id))
        return FALSE;
    CreateScrollBars();
    if (!CreateView(0, 0, m_pDynamicViewClass, CSize(0, 0), context)) {
        DestroyWindow();
        return FALSE;
    }
    SetActivePane(0, 0);
    RecalcLayout();
    return TRUE;
}

BOOL CSplitterWnd::CreateStatic(CWnd* parent, int rows, int columns, DWORD style, UINT id)
{
    if (m_hWnd || !parent || rows < 1 || rows > kMaxStaticLines || columns < 1 || columns > kMaxStaticLines)
        return FALSE;
    m_maxRows = rows;
    m_maxColumns = columns;
    m_rows.assign(rows, Line {});
    m_columns.assign(columns, Line {});
    return CreateCommon(parent, style, id);
}

BOOL CSplitterWnd::CreateView(int row, int column, CRuntimeClass* viewClass, SIZE initialSize, CCreateContext* context)
{
    if (!m_hWnd || row < 0 || row >= GetRowCount() || column < 0 || column >= GetColumnCount() || !viewClass
        || GetPane(row, column))
        return FALSE;
    m_rows[row].ideal = std::max(m_rows[row].ideal, static_cast<int>(initialSize.cy));
    m_columns[column].ideal = std::max(m_columns[column].ideal, static_cast<int>(initialSize.cx));

    CObject* made = viewClass->CreateObject();
    auto* pane = dynamic_cast<CWnd*>(made);
    if (!pane) {
        delete made;
        return FALSE;
    }
    CCreateContext own;
    if (!context)
        context = &own;
    if (!pane->CreateEx(0, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, IdFromRowCol(row, column), context)) {
        delete pane; // a pane that never got its window does not delete itself
        return FALSE;
    }
    return TRUE;
}

void CSplitterWnd::CreateScrollBars()
{
    for (int row = 0; row < m_maxRows && (m_scrollStyle & WS_VSCROLL); ++row)
        ::CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | SBS_VERT, 0, 0, 0, 0, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_VSCROLL_FIRST + row)), nullptr, nullptr);
    for (int column = 0; column < m_maxColumns && (m_scrollStyle & WS_HSCROLL); ++column)
        ::CreateWindowExW(0, L"SCROLLBAR", L"", WS_CHILD | SBS_HORZ, 0, 0, 0, 0, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_HSCROLL_FIRST + column)), nullptr, nullptr);
}

BOOL CSplitterWnd::CreateDynamicPane(int row, int column)
{
    // The new pane shows the same document as the first pane, as its peer.
    CCreateContext context;
    context.m_pNewViewClass = m_pDynamicViewClass;
    if (auto* first = dynamic_cast<CView*>(GetPane(0, 0))) {
        context.m_pCurrentDoc = first->GetDocument();
        context.m_pLastView = first;
        context.m_pCurrentFrame = first->GetParentFrame();
    }
    if (!CreateView(row, column, m_pDynamicViewClass, CSize(0, 0), &context))
        return FALSE;
    GetPane(row, column)->SendMessage(WM_INITIALUPDATE);
    return TRUE;
}

// ---- panes

CWnd* CSplitterWnd::GetPane(int row, int column) const
{
    if (!m_hWnd || row < 0 || row >= GetRowCount() || column < 0 || column >= GetColumnCount())
        return nullptr;
    return CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, IdFromRowCol(row, column)));
}

BOOL CSplitterWnd::IsChildPane(const CWnd* window, int* row, int* column) const
{
    if (!window || !m_hWnd || ::GetParent(window->m_hWnd) != m_hWnd)
        return FALSE;
    const int offset = window->GetDlgCtrlID() - static_cast<int>(AFX_IDW_PANE_FIRST);
    const int paneRow = offset / 16, paneColumn = offset % 16;
    if (offset < 0 || paneRow >= GetRowCount() || paneColumn >= GetColumnCount())
        return FALSE;
    if (row)
        *row = paneRow;
    if (column)
        *column = paneColumn;
    return TRUE;
}

// The nearest frame above, through any splitters or other windows between.
CFrameWnd* CSplitterWnd::ParentFrame() const
{
    for (HWND window = ::GetParent(m_hWnd); window; window = ::GetParent(window))
        if (CWnd* object = CWnd::FromHandlePermanent(window); object && object->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return static_cast<CFrameWnd*>(object);
    return nullptr;
}

CWnd* CSplitterWnd::GetActivePane(int* row, int* column) const
{
    CWnd* pane = nullptr;
    if (CFrameWnd* frame = ParentFrame())
        pane = frame->GetActiveView();
    if (!IsChildPane(pane, row, column))
        pane = CWnd::FromHandlePermanent(::GetFocus());
    return IsChildPane(pane, row, column) ? pane : nullptr;
}

void CSplitterWnd::SetActivePane(int row, int column, CWnd* window)
{
    CWnd* pane = window ? window : GetPane(row, column);
    if (!pane)
        return;
    if (CFrameWnd* frame = ParentFrame())
        if (auto* view = dynamic_cast<CView*>(pane))
            frame->SetActiveView(view);
    pane->SetFocus();
}

// ---- sizes and layout

void CSplitterWnd::SetRowInfo(int row, int ideal, int minimum)
{
    if (row < 0 || row >= GetRowCount())
        return;
    m_rows[row].ideal = std::max(ideal, 0);
    m_rows[row].minimum = std::max(minimum, 0);
}

void CSplitterWnd::GetRowInfo(int row, int& current, int& minimum) const
{
    current = minimum = 0;
    if (row < 0 || row >= GetRowCount())
        return;
    current = m_rows[row].current;
    minimum = m_rows[row].minimum;
}

void CSplitterWnd::SetColumnInfo(int column, int ideal, int minimum)
{
    if (column < 0 || column >= GetColumnCount())
        return;
    m_columns[column].ideal = std::max(ideal, 0);
    m_columns[column].minimum = std::max(minimum, 0);
}

void CSplitterWnd::GetColumnInfo(int column, int& current, int& minimum) const
{
    current = minimum = 0;
    if (column < 0 || column >= GetColumnCount())
        return;
    current = m_columns[column].current;
    minimum = m_columns[column].minimum;
}

SplitterLayout CSplitterWnd::Layout() const
{
    SplitterGeometry geometry;
    CRect client;
    GetClientRect(&client);
    geometry.client = client.Size();
    for (const Line& column : m_columns)
        geometry.columnWidths.push_back(column.ideal);
    for (const Line& row : m_rows)
        geometry.rowHeights.push_back(row.ideal);
    geometry.dynamic = m_dynamic;
    geometry.canSplitRow = m_dynamic && GetRowCount() < m_maxRows;
    geometry.canSplitColumn = m_dynamic && GetColumnCount() < m_maxColumns;
    // A strip holds the shared scroll bars, and the split box of that direction.
    geometry.scrollBar = CSize((m_scrollStyle & WS_VSCROLL) || m_maxRows > 1 ? GetSystemMetrics(SM_CXVSCROLL) : 0,
        (m_scrollStyle & WS_HSCROLL) || m_maxColumns > 1 ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    return LayOutSplitter(geometry);
}

void CSplitterWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    const SplitterLayout layout = Layout();
    for (int row = 0; row < GetRowCount(); ++row)
        m_rows[row].current = layout.rowSpans[row].Height();
    for (int column = 0; column < GetColumnCount(); ++column)
        m_columns[column].current = layout.columnSpans[column].Width();
    for (int row = 0; row < GetRowCount(); ++row)
        for (int column = 0; column < GetColumnCount(); ++column)
            if (CWnd* pane = GetPane(row, column))
                pane->MoveWindow(layout.PaneRect(row, column));
    for (int row = 0; row < m_maxRows && m_dynamic; ++row) {
        HWND bar = ::GetDlgItem(m_hWnd, AFX_IDW_VSCROLL_FIRST + row);
        if (!bar)
            continue;
        bool shown = row < GetRowCount() && !layout.verticalScrollBars[row].IsRectEmpty();
        if (shown)
            ::MoveWindow(bar, layout.verticalScrollBars[row].left, layout.verticalScrollBars[row].top,
                layout.verticalScrollBars[row].Width(), layout.verticalScrollBars[row].Height(), TRUE);
        ::ShowWindow(bar, shown ? SW_SHOWNA : SW_HIDE);
    }
    for (int column = 0; column < m_maxColumns && m_dynamic; ++column) {
        HWND bar = ::GetDlgItem(m_hWnd, AFX_IDW_HSCROLL_FIRST + column);
        if (!bar)
            continue;
        bool shown = column < GetColumnCount() && !layout.horizontalScrollBars[column].IsRectEmpty();
        if (shown)
            ::MoveWindow(bar, layout.horizontalScrollBars[column].left, layout.horizontalScrollBars[column].top,
                layout.horizontalScrollBars[column].Width(), layout.horizontalScrollBars[column].Height(), TRUE);
        ::ShowWindow(bar, shown ? SW_SHOWNA : SW_HIDE);
    }
    Invalidate(FALSE);
}

void CSplitterWnd::OnSize(UINT type, int cx, int cy)
{
    if (type != SIZE_MINIMIZED && cx > 0 && cy > 0)
        RecalcLayout();
}

// ---- splitting

BOOL CSplitterWnd::SplitRow(int sizeBefore)
{
    if (!m_dynamic || GetRowCount() >= m_maxRows)
        return FALSE;
    const int room = m_rows[0].current;
    if (sizeBefore < m_minPane.cy || room - sizeBefore - SplitterLayout::kGap < m_minPane.cy)
        return FALSE;
    m_rows.push_back(Line { 0, static_cast<int>(m_minPane.cy), 0 });
    m_rows[0].ideal = sizeBefore;
    for (int column = 0; column < GetColumnCount(); ++column) {
        if (!CreateDynamicPane(1, column)) {
            for (int made = 0; made < column; ++made)
                GetPane(1, made)->DestroyWindow();
            m_rows.pop_back();
            RecalcLayout();
            return FALSE;
        }
    }
    RecalcLayout();
    return TRUE;
}

BOOL CSplitterWnd::SplitColumn(int sizeBefore)
{
    if (!m_dynamic || GetColumnCount() >= m_maxColumns)
        return FALSE;
    const int room = m_columns[0].current;
    if (sizeBefore < m_minPane.cx || room - sizeBefore - SplitterLayout::kGap < m_minPane.cx)
        return FALSE;
    m_columns.push_back(Line { 0, static_cast<int>(m_minPane.cx), 0 });
    m_columns[0].ideal = sizeBefore;
    for (int row = 0; row < GetRowCount(); ++row) {
        if (!CreateDynamicPane(row, 1)) {
            for (int made = 0; made < row; ++made)
                GetPane(made, 1)->DestroyWindow();
            m_columns.pop_back();
            RecalcLayout();
            return FALSE;
        }
    }
    RecalcLayout();
    return TRUE;
}

void CSplitterWnd::DeleteRow(int row)
{
    if (!m_dynamic || GetRowCount() < 2 || row < 0 || row >= GetRowCount())
        return;
    int activeRow = -1, activeColumn = 0;
    GetActivePane(&activeRow, &activeColumn);
    for (int column = 0; column < GetColumnCount(); ++column)
        GetPane(row, column)->DestroyWindow();
    m_rows.erase(m_rows.begin() + row);
    RenumberPanes(row, -1);
    if (activeRow == row)
        SetActivePane(0, activeColumn);
    RecalcLayout();
}

void CSplitterWnd::DeleteColumn(int column)
{
    if (!m_dynamic || GetColumnCount() < 2 || column < 0 || column >= GetColumnCount())
        return;
    int activeRow = 0, activeColumn = -1;
    GetActivePane(&activeRow, &activeColumn);
    for (int row = 0; row < GetRowCount(); ++row)
        GetPane(row, column)->DestroyWindow();
    m_columns.erase(m_columns.begin() + column);
    RenumberPanes(-1, column);
    if (activeColumn == column)
        SetActivePane(activeRow, 0);
    RecalcLayout();
}

// After a row or column went, the panes after it move up (left) one cell; their ids follow.
void CSplitterWnd::RenumberPanes(int removedRow, int removedColumn)
{
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int offset = ::GetDlgCtrlID(child) - static_cast<int>(AFX_IDW_PANE_FIRST);
        if (offset < 0 || offset >= 16 * 16)
            continue;
        int row = offset / 16, column = offset % 16;
        row -= removedRow >= 0 && row > removedRow;
        column -= removedColumn >= 0 && column > removedColumn;
        ::SetWindowLongPtrW(child, GWLP_ID, IdFromRowCol(row, column));
    }
}

// ---- painting

void CSplitterWnd::OnPaint()
{
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    CRect client;
    GetClientRect(&client);
    ::FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
    const SplitterLayout layout = Layout();
    for (int row = 0; row < GetRowCount(); ++row) {
        for (int column = 0; column < GetColumnCount(); ++column) {
            CRect border = layout.PaneRect(row, column);
            border.InflateRect(SplitterLayout::kBorder, SplitterLayout::kBorder);
            ::DrawEdge(dc, &border, EDGE_SUNKEN, BF_RECT);
        }
    }
    for (CRect box : { layout.rowSplitBox, layout.columnSplitBox })
        if (!box.IsRectEmpty())
            ::DrawEdge(dc, &box, EDGE_RAISED, BF_RECT);
    ::EndPaint(m_hWnd, &paint);
    if (m_tracking) // the tracker lies over what was just drawn
        InvertTracker();
}

// ---- the mouse

CSplitterWnd::Hit CSplitterWnd::HitTest(CPoint point) const
{
    const SplitterLayout layout = Layout();
    if (layout.rowSplitBox.PtInRect(point))
        return Hit::RowSplitBox;
    if (layout.columnSplitBox.PtInRect(point))
        return Hit::ColumnSplitBox;
    bool onRowBar = false, onColumnBar = false;
    for (int row = 0; row + 1 < GetRowCount(); ++row)
        onRowBar |= layout.RowBar(row).PtInRect(point) != FALSE;
    for (int column = 0; column + 1 < GetColumnCount(); ++column)
        onColumnBar |= layout.ColumnBar(column).PtInRect(point) != FALSE;
    if (onRowBar && onColumnBar)
        return Hit::Intersection;
    return onRowBar ? Hit::RowBar : onColumnBar ? Hit::ColumnBar : Hit::None;
}

BOOL CSplitterWnd::OnSetCursor(CWnd* window, UINT hitTest, UINT message)
{
    if (window != this || hitTest != HTCLIENT)
        return static_cast<BOOL>(Default());
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    LPCWSTR shape = nullptr;
    switch (m_tracking ? m_tracking->hit : HitTest(point)) {
    case Hit::RowBar:
    case Hit::RowSplitBox:
        shape = IDC_SIZENS;
        break;
    case Hit::ColumnBar:
    case Hit::ColumnSplitBox:
        shape = IDC_SIZEWE;
        break;
    case Hit::Intersection:
        shape = IDC_SIZEALL;
        break;
    case Hit::None:
        return static_cast<BOOL>(Default());
    }
    ::SetCursor(::LoadCursorW(nullptr, shape));
    return TRUE;
}

void CSplitterWnd::OnLButtonDown(UINT, CPoint point)
{
    if (Hit hit = HitTest(point); hit != Hit::None && !m_tracking)
        StartTracking(hit, point);
}

// A double click on a bar of a dynamic splitter removes it; on a split box, splits in half.
void CSplitterWnd::OnLButtonDblClk(UINT, CPoint point)
{
    if (!m_dynamic || m_tracking)
        return;
    switch (HitTest(point)) {
    case Hit::RowBar:
        DeleteRow(1);
        break;
    case Hit::ColumnBar:
        DeleteColumn(1);
        break;
    case Hit::Intersection:
        DeleteRow(1);
        DeleteColumn(1);
        break;
    case Hit::RowSplitBox:
        SplitRow(m_rows[0].current / 2);
        break;
    case Hit::ColumnSplitBox:
        SplitColumn(m_columns[0].current / 2);
        break;
    case Hit::None:
        break;
    }
}

void CSplitterWnd::StartTracking(Hit hit, CPoint point)
{
    const SplitterLayout layout = Layout();
    Track track { hit, -1, -1, {}, {}, nullptr };
    CPoint barOrigin(point);
    auto barIndex = [&](int count, auto rect) {
        for (int i = 0; i + 1 < count; ++i)
            if (rect(i).PtInRect(point))
                return i;
        return -1;
    };
    switch (hit) {
    case Hit::RowBar:
    case Hit::ColumnBar:
    case Hit::Intersection:
        if (hit != Hit::ColumnBar) {
            track.rowBar = barIndex(GetRowCount(), [&](int i) { return layout.RowBar(i); });
            barOrigin.y = layout.RowBar(track.rowBar).top;
        }
        if (hit != Hit::RowBar) {
            track.columnBar = barIndex(GetColumnCount(), [&](int i) { return layout.ColumnBar(i); });
            barOrigin.x = layout.ColumnBar(track.columnBar).left;
        }
        break;
    case Hit::RowSplitBox: // a new bar, grabbed in its middle
        track.rowBar = 0;
        barOrigin.y = point.y - SplitterLayout::kGap / 2;
        break;
    case Hit::ColumnSplitBox:
        track.columnBar = 0;
        barOrigin.x = point.x - SplitterLayout::kGap / 2;
        break;
    case Hit::None:
        return;
    }
    track.grabOffset = point - barOrigin;
    track.position = barOrigin;
    track.focusBefore = ::GetFocus();
    m_tracking = track;
    SetCapture();
    SetFocus(); // for Esc
    InvertTracker();
}

void CSplitterWnd::OnMouseMove(UINT, CPoint point)
{
    if (m_tracking)
        MoveTracker(point);
}

void CSplitterWnd::MoveTracker(CPoint point)
{
    CRect client;
    GetClientRect(&client);
    CPoint position(point.x - m_tracking->grabOffset.cx, point.y - m_tracking->grabOffset.cy);
    position.x = std::clamp(static_cast<int>(position.x), 0, std::max(0, client.right - SplitterLayout::kGap));
    position.y = std::clamp(static_cast<int>(position.y), 0, std::max(0, client.bottom - SplitterLayout::kGap));
    if (position == m_tracking->position)
        return;
    InvertTracker(); // off at the old place
    m_tracking->position = position;
    InvertTracker();
}

// The tracker: an inverted line as wide as a bar across the panes, drawn over the children
// while the mouse holds a bar (drawing at once, not through WM_PAINT, because it follows the
// pointer and is removed by drawing it again).
void CSplitterWnd::InvertTracker()
{
    const SplitterLayout layout = Layout();
    const CRect area(layout.columnSpans.front().left - SplitterLayout::kBorder,
        layout.rowSpans.front().top - SplitterLayout::kBorder, layout.columnSpans.back().right + SplitterLayout::kBorder,
        layout.rowSpans.back().bottom + SplitterLayout::kBorder);
    HDC dc = ::GetDCEx(m_hWnd, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    auto invert = [dc](const CRect& line) { ::PatBlt(dc, line.left, line.top, line.Width(), line.Height(), DSTINVERT); };
    if (m_tracking->rowBar >= 0)
        invert(CRect(area.left, m_tracking->position.y, area.right, m_tracking->position.y + SplitterLayout::kGap));
    if (m_tracking->columnBar >= 0)
        invert(CRect(m_tracking->position.x, area.top, m_tracking->position.x + SplitterLayout::kGap, area.bottom));
    ::ReleaseDC(m_hWnd, dc);
}

void CSplitterWnd::OnLButtonUp(UINT, CPoint)
{
    if (m_tracking)
        StopTracking(true);
}

void CSplitterWnd::OnKeyDown(UINT key, UINT, UINT)
{
    if (m_tracking && key == VK_ESCAPE)
        StopTracking(false);
    else if (m_tracking && key == VK_RETURN)
        StopTracking(true);
}

void CSplitterWnd::OnCaptureChanged(CWnd* window)
{
    if (m_tracking && window != this)
        StopTracking(false);
}

void CSplitterWnd::StopTracking(bool accept)
{
    InvertTracker();
    const Track track = *m_tracking;
    m_tracking.reset();
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (::IsWindow(track.focusBefore))
        ::SetFocus(track.focusBefore);
    if (accept)
        ApplyTrack(track);
}

// Gives the first span of each moved bar its new size. In a dynamic splitter a bar dropped so
// near an edge that a pane would fall below its minimum removes that row or column, and a bar
// pulled out of a split box adds one.
void CSplitterWnd::ApplyTrack(const Track& track)
{
    const SplitterLayout layout = Layout();
    auto resolve = [&](std::vector<Line>& lines, int bar, int position, const std::vector<CRect>& spans, bool rows,
                       bool fromBox) {
        const int newBefore = std::max(0, position - (rows ? spans[bar].top : spans[bar].left));
        if (fromBox) {
            if (rows)
                SplitRow(newBefore);
            else
                SplitColumn(newBefore);
            return;
        }
        const int total = rows ? spans[bar].Height() + spans[bar + 1].Height() : spans[bar].Width() + spans[bar + 1].Width();
        const int after = total - newBefore;
        if (!m_dynamic) {
            // A static splitter keeps both panes at their minimum sizes or above, as far as it can.
            lines[bar].ideal = std::max(std::min(newBefore, total - lines[bar + 1].minimum), lines[bar].minimum);
            return;
        }
        const int minimum = static_cast<int>(rows ? m_minPane.cy : m_minPane.cx);
        if (newBefore < minimum || after < minimum) {
            // The pane that would be too small goes; the other keeps the whole room.
            const int gone = newBefore < minimum ? bar : bar + 1;
            if (gone == bar)
                lines[bar + 1].ideal = total;
            rows ? DeleteRow(gone) : DeleteColumn(gone);
            return;
        }
        lines[bar].ideal = newBefore;
    };
    if (track.rowBar >= 0)
        resolve(m_rows, track.rowBar, track.position.y, layout.rowSpans, true, track.hit == Hit::RowSplitBox);
    if (track.columnBar >= 0)
        resolve(m_columns, track.columnBar, track.position.x, layout.columnSpans, false, track.hit == Hit::ColumnSplitBox);
    RecalcLayout();
}

// ---- shared scroll bars: their messages go to the active pane of their row or column, or to
// the first pane there.

CWnd* CSplitterWnd::GetScrollBarCtrl(const CWnd* pane, int bar) const
{
    int row = 0, column = 0;
    if (!m_dynamic || !IsChildPane(pane, &row, &column) || (bar != SB_HORZ && bar != SB_VERT))
        return nullptr;
    HWND control = ::GetDlgItem(m_hWnd, bar == SB_VERT ? AFX_IDW_VSCROLL_FIRST + row : AFX_IDW_HSCROLL_FIRST + column);
    return control ? CWnd::FromHandle(control) : nullptr;
}

CWnd* CSplitterWnd::ScrollTarget(bool vertical, CWnd* bar) const
{
    if (!bar)
        return nullptr;
    const int index = bar->GetDlgCtrlID() - static_cast<int>(vertical ? AFX_IDW_VSCROLL_FIRST : AFX_IDW_HSCROLL_FIRST);
    int row = 0, column = 0;
    if (CWnd* active = GetActivePane(&row, &column); active && (vertical ? row : column) == index)
        return active;
    return vertical ? GetPane(index, 0) : GetPane(0, index);
}

void CSplitterWnd::OnHScroll(UINT code, int position, CWnd* bar)
{
    if (CWnd* pane = ScrollTarget(false, bar))
        pane->SendMessage(WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar->m_hWnd));
}

void CSplitterWnd::OnVScroll(UINT code, int position, CWnd* bar)
{
    if (CWnd* pane = ScrollTarget(true, bar))
        pane->SendMessage(WM_VSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(bar->m_hWnd));
}
