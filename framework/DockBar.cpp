#include "framework/DockBar.h"

#include "framework/ControlBar.h"

#include <algorithm>
#include <climits>

IMPLEMENT_DYNCREATE(SECDockBar, CDockBar)

BEGIN_MESSAGE_MAP(SECDockBar, CDockBar)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_WM_CAPTURECHANGED()
    ON_WM_SETCURSOR()
END_MESSAGE_MAP()

namespace {

int Along(const CRect& rect, bool horizontal) { return horizontal ? rect.left : rect.top; }
int Across(const CRect& rect, bool horizontal) { return horizontal ? rect.top : rect.left; }
int Length(const CRect& rect, bool horizontal) { return horizontal ? rect.Width() : rect.Height(); }
int Thickness(const CRect& rect, bool horizontal) { return horizontal ? rect.Height() : rect.Width(); }

CRect Place(int along, int across, int length, int thickness, bool horizontal)
{
    return horizontal ? CRect(along, across, along + length, across + thickness) : CRect(across, along, across + thickness, along + length);
}

} // namespace

SECDockBar::SECDockBar(BOOL floating)
    : CDockBar(floating)
{
}

std::vector<SECDockBar::Row> SECDockBar::RowsWithStarts() const
{
    std::vector<Row> rows;
    for (size_t i = 1; i < m_arrBars.size(); ++i) {
        if (!m_arrBars[i])
            continue;
        Row row { i, {} };
        for (; i < m_arrBars.size() && m_arrBars[i]; ++i)
            row.bars.push_back(m_arrBars[i]);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<SECDockBar::Row> SECDockBar::RowOf(const CControlBar* bar) const
{
    for (Row& row : RowsWithStarts())
        if (std::find(row.bars.begin(), row.bars.end(), bar) != row.bars.end())
            return std::move(row);
    return std::nullopt;
}

std::vector<RowMember> SECDockBar::Members(const Row& row)
{
    std::vector<RowMember> members;
    for (CControlBar* bar : row.bars) {
        if (auto* toolkitBar = dynamic_cast<SECControlBar*>(bar))
            members.push_back({ toolkitBar->m_fPctWidth, toolkitBar->IsVisible() != FALSE, toolkitBar->m_bShareSettled != FALSE,
                (toolkitBar->GetExBarStyle() & CBRS_EX_FIXEDSIZE) != 0, true });
        else
            members.push_back({ 1.0f, bar->IsVisible() != FALSE, true, true, false });
    }
    return members;
}

void SECDockBar::StoreShares(const Row& row, const std::vector<RowMember>& members)
{
    for (size_t i = 0; i < row.bars.size(); ++i)
        if (auto* toolkitBar = dynamic_cast<SECControlBar*>(row.bars[i])) {
            toolkitBar->m_fPctWidth = members[i].share;
            toolkitBar->m_bShareSettled = members[i].settled;
        }
}

int SECDockBar::RowLength() const
{
    CRect client;
    GetClientRect(&client);
    return Length(client, IsHorizontal());
}

CRect SECDockBar::ClientRectOf(const CControlBar* bar) const
{
    CRect rect;
    bar->GetWindowRect(&rect);
    ScreenToClient(&rect);
    return rect;
}

DWORD SECDockBar::SizeMode(const CControlBar* bar) const
{
    if (m_bFloating && (bar->m_dwStyle & CBRS_SIZE_DYNAMIC))
        return LM_HORZ | LM_MRUWIDTH;
    return IsHorizontal() ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
}

void SECDockBar::LayOutFrame() const
{
    if (!m_bFloating) {
        if (m_pDockSite)
            m_pDockSite->DelayRecalcLayout();
    } else if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)))) {
        frame->RecalcLayout();
    }
}

int SECDockBar::FloatingRowLength() const
{
    if (m_nFloatingLength > 0 && GetDockedVisibleCount() > 1)
        return m_nFloatingLength;
    const bool horizontal = IsHorizontal();
    int longest = 0;
    for (const Row& row : RowsWithStarts()) {
        int length = 0, visible = 0;
        for (CControlBar* bar : row.bars)
            if (bar->IsVisible()) {
                length += Length(CRect(CPoint(), DockedSizeOf(bar)), horizontal);
                ++visible;
            }
        if (Stretches(row.bars))
            length += std::max(0, visible - 1) * kSplitterThickness;
        longest = std::max(longest, length);
    }
    return longest;
}

int SECDockBar::TargetRow(const std::vector<Row>& rows, const CRect& clientRect, size_t& newRowAt) const
{
    const bool horizontal = IsHorizontal();
    const int centre = horizontal ? clientRect.CenterPoint().y : clientRect.CenterPoint().x;
    for (size_t r = 0; r < rows.size(); ++r) {
        int nearEdge = INT_MAX, farEdge = INT_MIN;
        for (CControlBar* bar : rows[r].bars) {
            if (!bar->IsVisible())
                continue;
            const CRect rect = ClientRectOf(bar);
            nearEdge = std::min(nearEdge, Across(rect, horizontal));
            farEdge = std::max(farEdge, Across(rect, horizontal) + Thickness(rect, horizontal));
        }
        if (nearEdge > farEdge || farEdge < centre)
            continue; // nothing shown there, or the centre lies past the row
        if (centre < nearEdge) {
            newRowAt = rows[r].start;
            return -1;
        }
        return static_cast<int>(r);
    }
    newRowAt = m_arrBars.size();
    return -1;
}

void SECDockBar::InsertBarAt(CControlBar* bar, const CRect& clientRect)
{
    const bool horizontal = IsHorizontal();
    const std::vector<Row> rows = RowsWithStarts();
    size_t newRowAt = 0;
    const int target = TargetRow(rows, clientRect, newRowAt);
    if (target < 0) {
        InsertAt(bar, newRowAt | kNewRow, clientRect);
        return;
    }
    const Row& row = rows[static_cast<size_t>(target)];
    const int start = Along(clientRect, horizontal);
    size_t at = row.start;
    for (size_t k = 0; k < row.bars.size(); ++k) {
        if (!row.bars[k]->IsVisible())
            continue;
        const CRect rect = ClientRectOf(row.bars[k]);
        if (Along(rect, horizontal) + Length(rect, horizontal) / 2 <= start)
            at = row.start + k + 1;
    }
    InsertAt(bar, at, clientRect);
}

CRect SECDockBar::HitTestDockPosition(CControlBar* bar, const CRect& dragRect, CPoint cursor, SECDockFeedback& last) const
{
    const bool horizontal = IsHorizontal();
    CRect client = dragRect;
    ScreenToClient(&client);
    const std::vector<Row> rows = RowsWithStarts();
    size_t newRowAt = 0;
    const int target = TargetRow(rows, client, newRowAt);
    bool inRow = false;
    float othersShare = 0.0f;
    int others = 0;
    if (target >= 0)
        for (CControlBar* other : rows[static_cast<size_t>(target)].bars) {
            if (other == bar) {
                inRow = true;
            } else if (other->IsVisible()) {
                ++others;
                const auto* toolkitBar = dynamic_cast<const SECControlBar*>(other);
                othersShare += toolkitBar ? toolkitBar->m_fPctWidth : 0.0f;
            }
        }
    CRect rect = dragRect;
    const auto* toolkitBar = dynamic_cast<const SECControlBar*>(bar);
    if (others > 0 && target == last.row) {
        rect = last.rect;
        rect.OffsetRect(cursor - last.cursor);
    } else if (toolkitBar && !(toolkitBar->GetExBarStyle() & CBRS_EX_FIXEDSIZE)) {
        CRect dock;
        GetWindowRect(&dock);
        if (others == 0) {
            // Alone in its row: across the whole dock bar.
            if (horizontal) {
                rect.left = dock.left;
                rect.right = dock.right;
            } else {
                rect.top = dock.top;
                rect.bottom = dock.bottom;
            }
        } else if (!inRow && othersShare + toolkitBar->m_fPctWidth > 0.0f) {
            // Beside others: as long as its share of the row would be, around the pointer as before.
            const float share = toolkitBar->m_fPctWidth;
            const int length = static_cast<int>(static_cast<float>(Length(dock, horizontal)) * share / (othersShare + share));
            const int oldLength = std::max(1, Length(rect, horizontal));
            const int pointer = horizontal ? cursor.x : cursor.y;
            const int start = pointer - (pointer - Along(rect, horizontal)) * length / oldLength;
            rect = horizontal ? CRect(start, rect.top, start + length, rect.bottom) : CRect(rect.left, start, rect.right, start + length);
        }
    }
    last = { target, rect, cursor };
    return rect;
}

void SECDockBar::OnBarInserted(CControlBar* bar, bool restored)
{
    if (!restored)
        m_pLastChanged = bar;
    if (m_bFloating) {
        // A floating dock bar takes the bar's multi-bar and sizing bits, and its title while alone.
        m_dwStyle |= bar->m_dwStyle & (CBRS_FLOAT_MULTI | CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC);
        if (GetDockedCount() == 1)
            SetWindowText(bar->GetWindowText());
    }
    auto ownRow = [](CControlBar* entry) {
        auto* toolkitBar = dynamic_cast<SECControlBar*>(entry);
        return toolkitBar && (toolkitBar->GetExBarStyle() & CBRS_EX_OWNROW);
    };
    const size_t at = static_cast<size_t>(FindBar(bar));
    CControlBar* next = at + 1 < m_arrBars.size() ? m_arrBars[at + 1] : nullptr;
    CControlBar* previous = m_arrBars[at - 1];
    const bool alone = ownRow(bar);
    if (next && (alone || ownRow(next)))
        m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(at) + 1, nullptr);
    if (previous && (alone || ownRow(previous)))
        m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(at), nullptr);
}

bool SECDockBar::Stretches(const std::vector<CControlBar*>& bars)
{
    return std::any_of(bars.begin(), bars.end(), [](CControlBar* bar) {
        auto* toolkitBar = dynamic_cast<SECControlBar*>(bar);
        return toolkitBar && toolkitBar->IsVisible() && !(toolkitBar->GetExBarStyle() & CBRS_EX_FIXEDSIZE);
    });
}

CSize SECDockBar::LayOut(int length, bool commit)
{
    if (m_bFloating)
        length = FloatingRowLength();
    const bool horizontal = IsHorizontal();
    // A floating dock bar has splitters between its rows only.
    const bool splitterAfterRow = m_bFloating || (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT));
    m_fMinShare = MinimumShare(length);
    // Rows of bars that keep their own sizes wrap where they run out of length.
    std::vector<std::vector<CControlBar*>> wrapped = Rows();
    WrapRows(wrapped, length, commit, [](const std::vector<CControlBar*>& bars) { return !Stretches(bars); });
    std::vector<Row> rows;
    for (auto& bars : wrapped)
        rows.push_back({ static_cast<size_t>(FindBar(bars.front())), std::move(bars) });
    auto shown = [](const Row& row) { return std::any_of(row.bars.begin(), row.bars.end(), [](CControlBar* bar) { return bar->IsVisible(); }); };
    const auto lastShown = std::find_if(rows.rbegin(), rows.rend(), shown);
    const Row* lastRow = lastShown == rows.rend() ? nullptr : &*lastShown;
    std::vector<Splitter> splitters;
    int across = 0;
    for (const Row& row : rows) {
        std::vector<RowMember> members = Members(row);
        const auto anchor = std::find(row.bars.begin(), row.bars.end(), m_pLastChanged);
        const RowCounts counts = NormalizeRow(members, anchor == row.bars.end() ? -1 : static_cast<int>(anchor - row.bars.begin()), m_fMinShare);
        // Only a layout that places the bars keeps the shares: normalising around the anchor
        // again, as a query before it would, moves them on.
        if (commit)
            StoreShares(row, members);
        std::vector<size_t> visible;
        int thickness = 0;
        for (size_t k = 0; k < row.bars.size(); ++k) {
            if (!members[k].visible)
                continue;
            visible.push_back(k);
            thickness = std::max(thickness, Thickness(CRect(CPoint(), DockedSizeOf(row.bars[k])), horizontal));
        }
        if (visible.empty())
            continue;
        const bool stretched = counts.stretchable > 0;
        for (CControlBar* bar : row.bars)
            if (auto* toolkitBar = dynamic_cast<SECControlBar*>(bar))
                toolkitBar->m_dwExStyle = stretched ? toolkitBar->m_dwExStyle & ~CBRS_EX_UNSTRETCHEDROW
                                                    : toolkitBar->m_dwExStyle | CBRS_EX_UNSTRETCHEDROW;
        if (!stretched) {
            // A bar of its own row reaches the far edge; other bars keep their sizes and places.
            auto* alone = visible.size() == 1 ? dynamic_cast<SECControlBar*>(row.bars[visible.front()]) : nullptr;
            if (alone && (alone->GetExBarStyle() & CBRS_EX_OWNROW)) {
                if (commit) {
                    const CRect rect = Place(0, across, length, thickness, horizontal);
                    alone->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
                }
            } else {
                thickness = PackRow(row.bars, length, across, commit).cy;
            }
            across += thickness;
            continue;
        }
        const int rowSplitters = static_cast<int>(visible.size()) - 1;
        const int available = std::max(0, length - rowSplitters * kSplitterThickness);
        if (!splitterAfterRow) {
            splitters.push_back({ 0, horizontal ? 0 : 1, row.start, Place(0, across, length, kSplitterThickness, horizontal) });
            across += kSplitterThickness;
        }
        int along = 0, used = 0;
        for (size_t n = 0; n < visible.size(); ++n) {
            CControlBar* bar = row.bars[visible[n]];
            // The last bar takes what rounding left, so that the row is filled.
            const int barLength = n + 1 == visible.size() ? available - used : static_cast<int>(members[visible[n]].share * static_cast<float>(available));
            const CRect rect = Place(along, across, barLength, thickness, horizontal);
            if (commit)
                bar->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
            along += barLength;
            used += barLength;
            if (n + 1 < visible.size()) {
                splitters.push_back({ 1, horizontal ? 1 : 0, row.start + visible[n], Place(along, across, kSplitterThickness, thickness, horizontal) });
                along += kSplitterThickness;
            }
        }
        across += thickness;
        if (splitterAfterRow && !(m_bFloating && &row == lastRow)) {
            splitters.push_back({ 0, horizontal ? 0 : 1, row.start, Place(0, across, length, kSplitterThickness, horizontal) });
            across += kSplitterThickness;
        }
    }
    if (commit) {
        m_splitters = std::move(splitters);
        m_pLastChanged = nullptr;
        Invalidate();
    }
    return horizontal ? CSize(length, across) : CSize(across, length);
}

void SECDockBar::DoPaint(CDC* dc)
{
    CDockBar::DoPaint(dc);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW), dark = GetSysColor(COLOR_3DDKSHADOW);
    for (const Splitter& splitter : m_splitters) {
        const CRect& r = splitter.rect;
        if (splitter.orientation == 1) { // a bar between bars: light on the left, dark on the right
            dc->FillSolidRect(r.left, r.top, 1, r.Height(), light);
            dc->FillSolidRect(r.right - 2, r.top, 1, r.Height(), shadow);
            dc->FillSolidRect(r.right - 1, r.top, 1, r.Height(), dark);
        } else {
            dc->FillSolidRect(r.left, r.top, r.Width(), 1, light);
            dc->FillSolidRect(r.left, r.bottom - 2, r.Width(), 1, shadow);
            dc->FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, dark);
        }
    }
}

void SECDockBar::DockControlBarAt(CControlBar* bar, int column, int row)
{
    if (!bar || bar == this)
        return;
    if (bar->m_pDockBar)
        bar->m_pDockBar->RemoveControlBar(bar);
    size_t at = RowStart(std::max(0, row));
    if (at >= m_arrBars.size()) {
        InsertAt(bar, m_arrBars.size() | kNewRow, CRect());
        return;
    }
    for (int skipped = 0; skipped < column && m_arrBars[at]; ++skipped)
        ++at;
    InsertAt(bar, at, CRect());
}

BOOL SECDockBar::IsOnlyBarInRow(const CControlBar* bar) const
{
    const std::optional<Row> row = RowOf(bar);
    return row && std::none_of(row->bars.begin(), row->bars.end(), [bar](CControlBar* other) { return other != bar && other->IsVisible(); });
}

BOOL SECDockBar::IsBarExpandable(const CControlBar* bar) const
{
    const std::optional<Row> row = RowOf(bar);
    if (!row)
        return FALSE;
    const std::vector<RowMember> members = Members(*row);
    int above = 0;
    bool barAbove = false;
    for (size_t i = 0; i < members.size(); ++i)
        if (members[i].visible && members[i].share > m_fMinShare) {
            ++above;
            barAbove |= row->bars[i] == bar;
        }
    return !(barAbove && above == 1);
}

void SECDockBar::ExpandBar(CControlBar* bar, int mode)
{
    const std::optional<Row> row = RowOf(bar);
    if (!row)
        return;
    std::vector<RowMember> members = Members(*row);
    const auto at = std::find(row->bars.begin(), row->bars.end(), bar) - row->bars.begin();
    ExpandInRow(members, static_cast<int>(at), mode == 1, m_fMinShare);
    StoreShares(*row, members);
    LayOutFrame();
}

void SECDockBar::CommitLength(CControlBar* bar, int length) const
{
    bar->CalcDynamicLayout(length, LM_COMMIT | (SizeMode(bar) & ~LM_MRUWIDTH) | (IsHorizontal() ? 0 : LM_LENGTHY));
}

void SECDockBar::CommitThickness(CControlBar* bar, int thickness) const
{
    bar->CalcDynamicLayout(thickness, LM_COMMIT | (SizeMode(bar) & ~LM_MRUWIDTH) | (IsHorizontal() ? LM_LENGTHY : 0));
}

void SECDockBar::PrepareSplitterDrag(Splitter& splitter) const
{
    const bool horizontal = IsHorizontal();
    CRect client;
    GetClientRect(&client);
    if (splitter.kind == 1) {
        int before = 0, after = 0;
        for (size_t i = splitter.index; i >= 1 && m_arrBars[i]; --i)
            before += m_arrBars[i]->IsVisible() ? 1 : 0;
        for (size_t i = splitter.index + 1; i < m_arrBars.size() && m_arrBars[i]; ++i)
            after += m_arrBars[i]->IsVisible() ? 1 : 0;
        splitter.lower = Along(client, horizontal) + kDragBarLength * before;
        splitter.upper = Along(client, horizontal) + Length(client, horizontal) - kDragBarLength * after;
        return;
    }
    // Between a row and the pane: the row keeps 19 pixels, and so does the pane. A floating
    // frame grows instead, at most by the screen's extent.
    CRect pane;
    if (m_bFloating)
        pane.SetRect(0, 0, ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
    else if (m_pDockSite)
        m_pDockSite->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CFrameWnd::reposQuery, &pane);
    const int room = std::max(0, Thickness(pane, horizontal) - kSmallestRowThickness);
    CRect row;
    m_arrBars[splitter.index]->GetWindowRect(&row);
    ScreenToClient(&row);
    const int leading = horizontal ? splitter.rect.top : splitter.rect.left;
    const int rowStart = horizontal ? row.top : row.left, rowEnd = horizontal ? row.bottom : row.right;
    if (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT)) {
        splitter.lower = rowStart + kSmallestRowThickness;
        splitter.upper = leading + kSplitterThickness + room;
    } else {
        splitter.lower = leading - room;
        splitter.upper = rowEnd - kSmallestRowThickness;
    }
}

void SECDockBar::ApplySplitterMove(const Splitter& splitter, int distance)
{
    const bool horizontal = IsHorizontal();
    const std::optional<Row> found = RowOf(m_arrBars[std::min(splitter.index, m_arrBars.size() - 1)]);
    if (!found || distance == 0)
        return;
    const Row& row = *found;
    auto current = [&](CControlBar* bar) {
        CRect rect;
        bar->GetWindowRect(&rect);
        return rect;
    };
    if (splitter.kind == 0) {
        const int signedDistance = (m_dwStyle & (CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT)) ? -distance : distance;
        for (CControlBar* bar : row.bars)
            if (bar->IsVisible())
                CommitThickness(bar, Thickness(current(bar), horizontal) - signedDistance);
    } else {
        std::vector<CControlBar*> before, after; // nearest to the splitter first
        for (size_t i = row.start; i < row.start + row.bars.size(); ++i) {
            CControlBar* bar = m_arrBars[i];
            if (!bar->IsVisible())
                continue;
            if (i <= splitter.index)
                before.insert(before.begin(), bar);
            else
                after.push_back(bar);
        }
        if (before.empty() || after.empty())
            return;
        const int visible = static_cast<int>(before.size() + after.size());
        const int rowLength = std::max(1, RowLength() - (visible - 1) * kSplitterThickness);
        // Changes a bar's length by delta as far as it can; returns what it could not take.
        auto change = [&](CControlBar* bar, int delta) {
            const int length = Length(current(bar), horizontal);
            const int changed = std::max(kSmallestBarLength, length + delta);
            CommitLength(bar, changed);
            if (auto* toolkitBar = dynamic_cast<SECControlBar*>(bar))
                toolkitBar->m_fPctWidth = std::max(m_fMinShare, static_cast<float>(changed) / static_cast<float>(rowLength));
            return delta - (changed - length);
        };
        const auto& growing = distance < 0 ? after : before;
        const auto& shrinking = distance < 0 ? before : after;
        change(growing.front(), std::abs(distance));
        int rest = -std::abs(distance);
        for (CControlBar* bar : shrinking) {
            rest = change(bar, rest);
            if (rest == 0)
                break;
        }
    }
    m_pLastChanged = nullptr;
    LayOutFrame();
}

int SECDockBar::SplitterAt(CPoint point) const
{
    for (size_t i = m_splitters.size(); i-- > 0;)
        if (m_splitters[i].rect.PtInRect(point))
            return static_cast<int>(i);
    return -1;
}

void SECDockBar::OnLButtonDown(UINT, CPoint point)
{
    const int index = SplitterAt(point);
    if (index < 0 || ::GetCapture()) {
        Default();
        return;
    }
    Splitter splitter = m_splitters[static_cast<size_t>(index)];
    PrepareSplitterDrag(splitter);
    const int leading = splitter.orientation == 1 ? splitter.rect.left : splitter.rect.top;
    const int cursor = splitter.orientation == 1 ? point.x : point.y;
    m_drag = Drag { splitter, cursor - leading, leading };
    SetCapture();
    ShowSplitterTracker();
}

void SECDockBar::ShowSplitterTracker()
{
    const Splitter& splitter = m_drag->splitter;
    CRect band = splitter.rect;
    if (splitter.orientation == 1)
        band = CRect(m_drag->leading, band.top, m_drag->leading + kTrackerThickness, band.bottom);
    else
        band = CRect(band.left, m_drag->leading, band.right, m_drag->leading + kTrackerThickness);
    ClientToScreen(&band);
    m_tracker.Show(band, CSize(kTrackerThickness, kTrackerThickness), true);
}

void SECDockBar::OnMouseMove(UINT, CPoint point)
{
    if (!m_drag) {
        Default();
        return;
    }
    const Splitter& splitter = m_drag->splitter;
    int leading = std::max((splitter.orientation == 1 ? point.x : point.y) - m_drag->offset, splitter.lower);
    if (leading + kSplitterThickness > splitter.upper)
        leading = splitter.upper - kSplitterThickness;
    m_drag->leading = leading;
    ShowSplitterTracker();
}

void SECDockBar::OnLButtonUp(UINT keys, CPoint point)
{
    if (!m_drag) {
        Default();
        return;
    }
    OnMouseMove(keys, point);
    EndSplitterDrag(true);
}

void SECDockBar::OnRButtonDown(UINT, CPoint)
{
    if (m_drag)
        EndSplitterDrag(false);
    else
        Default();
}

void SECDockBar::OnKeyDown(UINT key, UINT, UINT)
{
    if (m_drag && key == VK_ESCAPE)
        EndSplitterDrag(false);
    else
        Default();
}

void SECDockBar::OnCaptureChanged(CWnd*)
{
    m_drag.reset(); // a lost capture cancels
    m_tracker.Hide();
}

void SECDockBar::EndSplitterDrag(bool apply)
{
    const Drag drag = *m_drag;
    m_drag.reset(); // first, so that releasing the capture does not cancel again
    m_tracker.Hide();
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    const int start = drag.splitter.orientation == 1 ? drag.splitter.rect.left : drag.splitter.rect.top;
    if (apply)
        ApplySplitterMove(drag.splitter, drag.leading - start);
}

BOOL SECDockBar::OnSetCursor(CWnd*, UINT hitTest, UINT)
{
    CPoint point;
    ::GetCursorPos(&point);
    ScreenToClient(&point);
    const int index = hitTest == HTCLIENT ? SplitterAt(point) : -1;
    if (index < 0)
        return static_cast<BOOL>(Default());
    ::SetCursor(::LoadCursorW(nullptr, m_splitters[static_cast<size_t>(index)].orientation == 1 ? IDC_SIZEWE : IDC_SIZENS));
    return TRUE;
}
