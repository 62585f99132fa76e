#include "platform/mfc/DockBar.h"

#include <algorithm>
#include <climits>
#include <functional>

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
END_MESSAGE_MAP()

namespace {

// A rectangle seen along a dock bar's rows (x for horizontal bars) and across them.
struct Span {
    int along, across, length, thickness;
};

Span ToSpan(const CRect& rect, bool horizontal)
{
    return horizontal ? Span { rect.left, rect.top, rect.Width(), rect.Height() }
                      : Span { rect.top, rect.left, rect.Height(), rect.Width() };
}

CRect FromSpan(const Span& span, bool horizontal)
{
    return horizontal ? CRect(span.along, span.across, span.along + span.length, span.across + span.thickness)
                      : CRect(span.across, span.along, span.across + span.thickness, span.along + span.length);
}

} // namespace

CDockBar* AfxFindDockBar(CWnd* frame, UINT id)
{
    if (!frame || !id)
        return nullptr;
    return dynamic_cast<CDockBar*>(CWnd::FromHandlePermanent(::GetDlgItem(frame->m_hWnd, static_cast<int>(id))));
}

CDockBar::CDockBar(BOOL floating)
    : m_bFloating(floating)
{
    m_cxLeftBorder = m_cxRightBorder = m_cyTopBorder = m_cyBottomBorder = 0;
}

BOOL CDockBar::Create(CWnd* parent, DWORD style, UINT id)
{
    return CreateBar(style | WS_VISIBLE, parent, id);
}

std::vector<std::vector<CControlBar*>> CDockBar::Rows() const
{
    std::vector<std::vector<CControlBar*>> rows;
    std::vector<CControlBar*> row;
    for (size_t i = 1; i < m_arrBars.size(); ++i) {
        if (m_arrBars[i]) {
            row.push_back(m_arrBars[i]);
            continue;
        }
        if (!row.empty())
            rows.push_back(std::exchange(row, {}));
    }
    return rows;
}

int CDockBar::FindBar(const CControlBar* bar) const
{
    auto found = std::find(m_arrBars.begin(), m_arrBars.end(), bar);
    return bar && found != m_arrBars.end() ? static_cast<int>(found - m_arrBars.begin()) : -1;
}

int CDockBar::GetDockedCount() const
{
    return static_cast<int>(std::count_if(m_arrBars.begin(), m_arrBars.end(), [](CControlBar* bar) { return bar; }));
}

int CDockBar::GetDockedVisibleCount() const
{
    return static_cast<int>(std::count_if(m_arrBars.begin(), m_arrBars.end(), [](CControlBar* bar) { return bar && bar->IsVisible(); }));
}

size_t CDockBar::RowStart(int row) const
{
    size_t start = 1;
    for (; row > 0 && start < m_arrBars.size(); --row)
        while (m_arrBars[start++]) {
        }
    return std::min(start, m_arrBars.size());
}

size_t CDockBar::PlaceInRow(size_t rowStart, int along) const
{
    size_t at = rowStart;
    for (; at < m_arrBars.size() && m_arrBars[at]; ++at) {
        CRect rect;
        m_arrBars[at]->GetWindowRect(&rect);
        ScreenToClient(&rect);
        if (ToSpan(rect, IsHorizontal()).along > along)
            break;
    }
    return at;
}

size_t CDockBar::InsertPosition(CPoint clientPoint)
{
    const bool horizontal = IsHorizontal();
    const int across = horizontal ? clientPoint.y : clientPoint.x;
    const int along = horizontal ? clientPoint.x : clientPoint.y;
    if (m_bFloating)
        return PlaceInRow(1, along);
    for (size_t rowStart = 1; rowStart < m_arrBars.size();) {
        int top = INT_MAX, bottom = INT_MIN;
        size_t rowEnd = rowStart;
        for (; m_arrBars[rowEnd]; ++rowEnd) {
            CRect rect;
            m_arrBars[rowEnd]->GetWindowRect(&rect);
            ScreenToClient(&rect);
            const Span span = ToSpan(rect, horizontal);
            top = std::min(top, span.across);
            bottom = std::max(bottom, span.across + span.thickness);
        }
        if (across < top)
            return rowStart | kNewRow; // between rows: a row of its own
        if (across < bottom)
            return PlaceInRow(rowStart, along);
        rowStart = rowEnd + 1;
    }
    return m_arrBars.size() | kNewRow;
}

BOOL CDockBar::GetBarRow(const CControlBar* bar, int& row, BOOL& ownRow) const
{
    const int index = FindBar(bar);
    if (index <= 0)
        return FALSE;
    row = static_cast<int>(std::count(m_arrBars.begin() + 1, m_arrBars.begin() + index, nullptr));
    ownRow = !m_arrBars[static_cast<size_t>(index) - 1] && !m_arrBars[static_cast<size_t>(index) + 1];
    return TRUE;
}

void CDockBar::Attach(CControlBar* bar, const CRect& clientRect)
{
    if (::GetParent(bar->m_hWnd) != m_hWnd)
        ::SetParent(bar->m_hWnd, m_hWnd);
    bar->m_pDockBar = this;
    DWORD style = bar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING);
    if (m_bFloating)
        style |= (IsHorizontal() ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT) | CBRS_FLOATING;
    else
        style |= m_dwStyle & CBRS_ALIGN_ANY;
    bar->m_dwStyle = style;
    bar->SetWindowPos(nullptr, clientRect.left, clientRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDockBar::DockControlBar(CControlBar* bar, LPCRECT rect)
{
    if (!bar || bar == this)
        return;
    if (bar->m_pDockBar)
        bar->m_pDockBar->RemoveControlBar(bar);
    if (!rect) {
        InsertAt(bar, m_arrBars.size() | kNewRow, CRect());
        return;
    }
    CRect place = *rect;
    ScreenToClient(&place);
    InsertBarAt(bar, place);
}

void CDockBar::InsertBarAt(CControlBar* bar, const CRect& clientRect)
{
    InsertAt(bar, InsertPosition(clientRect.TopLeft()), clientRect);
}

void CDockBar::ReDockControlBar(CControlBar* bar, LPCRECT rect, int row, BOOL ownRow)
{
    if (!bar || bar == this)
        return;
    if (bar->m_pDockBar)
        bar->m_pDockBar->RemoveControlBar(bar);
    CRect place;
    if (rect) {
        place = *rect;
        ScreenToClient(&place);
    }
    const size_t rowStart = RowStart(std::max(0, row));
    const bool newRow = ownRow || rowStart >= m_arrBars.size();
    // Only the place's start along the row counts: a remembered place may span the whole coordinate
    // range, whose width does not fit an int.
    const int along = IsHorizontal() ? place.left : place.top;
    InsertAt(bar, newRow ? rowStart | kNewRow : PlaceInRow(rowStart, along), place);
}

void CDockBar::InsertAt(CControlBar* bar, size_t position, const CRect& clientRect, bool restored)
{
    const auto at = m_arrBars.begin() + static_cast<std::ptrdiff_t>(position & ~kNewRow);
    if (position & kNewRow)
        m_arrBars.insert(at, { bar, nullptr });
    else
        m_arrBars.insert(at, bar);
    Attach(bar, clientRect);
    OnBarInserted(bar, restored);
}

void CDockBar::AppendBar(CControlBar* bar, bool newRow, CPoint clientPlace)
{
    if (!bar || bar == this)
        return;
    if (bar->m_pDockBar)
        bar->m_pDockBar->RemoveControlBar(bar);
    const bool ownRow = newRow || m_arrBars.size() == 1;
    InsertAt(bar, ownRow ? m_arrBars.size() | kNewRow : m_arrBars.size() - 1, CRect(clientPlace, CSize()), true);
}

BOOL CDockBar::RemoveControlBar(CControlBar* bar)
{
    const int index = FindBar(bar);
    if (index <= 0)
        return FALSE;
    m_arrBars.erase(m_arrBars.begin() + index);
    if (!m_arrBars[static_cast<size_t>(index) - 1] && static_cast<size_t>(index) < m_arrBars.size() && !m_arrBars[static_cast<size_t>(index)])
        m_arrBars.erase(m_arrBars.begin() + index); // the row is empty now
    if (bar->m_pDockBar == this)
        bar->m_pDockBar = nullptr;
    return TRUE;
}

CSize CDockBar::DockedSizeOf(CControlBar* bar) const
{
    return m_bFloating ? FloatingSizeOf(bar, !IsHorizontal()) : bar->CalcDynamicLayout(-1, IsHorizontal() ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK);
}

size_t CDockBar::BarsThatFit(const std::vector<CControlBar*>& row, int length) const
{
    int used = 0;
    bool placed = false;
    for (size_t i = 0; i < row.size(); ++i) {
        if (!row[i]->IsVisible())
            continue;
        used += ToSpan(CRect(CPoint(), DockedSizeOf(row[i])), IsHorizontal()).length;
        if (placed && used > length)
            return i;
        placed = true; // the first bar stays, however long it is
    }
    return row.size();
}

void CDockBar::WrapRows(std::vector<std::vector<CControlBar*>>& rows, int length, bool commit, const std::function<bool(const std::vector<CControlBar*>&)>& packed)
{
    if (m_bFloating || length <= 0)
        return; // nothing to fit yet: a frame laid out before it has a size
    for (size_t r = 0; r < rows.size(); ++r) {
        if (!packed(rows[r]))
            continue;
        const size_t fit = BarsThatFit(rows[r], length);
        if (fit == rows[r].size())
            continue;
        std::vector<CControlBar*> rest(rows[r].begin() + static_cast<std::ptrdiff_t>(fit), rows[r].end());
        rows[r].resize(fit);
        if (commit) {
            // A wrapped bar starts its row at the row's start.
            m_arrBars.insert(m_arrBars.begin() + FindBar(rest.front()), nullptr);
            for (CControlBar* bar : rest)
                MoveAlong(bar, 0);
        }
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(r) + 1, std::move(rest));
    }
}

void CDockBar::MoveAlong(CControlBar* bar, int along) const
{
    CRect rect;
    bar->GetWindowRect(&rect);
    ScreenToClient(&rect);
    Span span = ToSpan(rect, IsHorizontal());
    span.along = along;
    rect = FromSpan(span, IsHorizontal());
    bar->SetWindowPos(nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CSize CDockBar::PackRow(const std::vector<CControlBar*>& row, int length, int across, bool commit)
{
    const bool horizontal = IsHorizontal();
    std::vector<std::pair<CControlBar*, Span>> placed;
    int along = 0, thickness = 0, longest = 0;
    for (CControlBar* bar : row) {
        if (!bar->IsVisible())
            continue;
        CRect current;
        bar->GetWindowRect(&current);
        ScreenToClient(&current);
        Span span = ToSpan(CRect(CPoint(), DockedSizeOf(bar)), horizontal);
        // A docked bar keeps its place along the row unless the bar before it pushes it on.
        span.along = m_bFloating ? along : std::max(along, ToSpan(current, horizontal).along);
        span.across = across;
        along = span.along + span.length;
        thickness = std::max(thickness, span.thickness);
        placed.push_back({ bar, span });
    }
    // Bars past the end of the row move back, each pushing the one before it.
    int limit = length;
    for (auto it = placed.rbegin(); it != placed.rend(); ++it) {
        Span& span = it->second;
        if (span.along + span.length > limit)
            span.along = std::max(0, limit - span.length);
        limit = span.along;
    }
    for (auto& [bar, span] : placed) {
        longest = std::max(longest, span.along + span.length);
        if (commit) {
            CRect rect = FromSpan(span, horizontal);
            bar->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    return CSize(longest, thickness);
}

CSize CDockBar::LayOut(int length, bool commit)
{
    std::vector<std::vector<CControlBar*>> rows = Rows();
    WrapRows(rows, length, commit, [](const std::vector<CControlBar*>&) { return true; });
    int across = 0, longest = 0;
    for (const auto& row : rows) {
        const CSize packed = PackRow(row, length, across, commit);
        longest = std::max<int>(longest, packed.cx);
        across += packed.cy;
    }
    Span total { 0, 0, m_bFloating ? longest : length, across };
    return FromSpan(total, IsHorizontal()).Size();
}

CSize CDockBar::FloatingSizeOf(CControlBar* bar, bool upright)
{
    if (bar->m_dwStyle & CBRS_SIZE_DYNAMIC)
        return bar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    return bar->CalcDynamicLayout(-1, upright ? LM_VERTDOCK : LM_HORZ | LM_HORZDOCK);
}

CSize CDockBar::CalcFixedLayout(BOOL stretch, BOOL)
{
    CRect client;
    GetClientRect(&client);
    const int length = stretch ? 32767 : (IsHorizontal() ? client.Width() : client.Height());
    return LayOut(m_bFloating ? 32767 : length, false);
}

LRESULT CDockBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const CRect room(layout->rect);
    const int length = std::max<LONG>(0, IsHorizontal() ? room.Width() : room.Height());
    PlaceInLayout(layout, LayOut(length, layout->hDWP != nullptr));
    return 0;
}
