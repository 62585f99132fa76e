#include "platform/mfc/DockContext.h"

#include "platform/mfc/DockBar.h"
#include "platform/mfc/MiniFrame.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr UINT kStandardDockBars[] = { AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT };

CRect WindowRectOf(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, &rect);
    return rect;
}

CRect FloatingFrameRect(const CControlBar* bar)
{
    return WindowRectOf(::GetAncestor(bar->m_hWnd, GA_ROOT));
}

} // namespace

CDockContext::CDockContext(CControlBar* bar)
    : m_pBar(bar)
{
}

void CDockContext::StartDrag(CPoint screenPoint)
{
    if (m_bTracking || ::GetCapture())
        return;
    m_ptStart = m_ptLast = screenPoint;
    m_pBar->GetWindowRect(&m_rectStart);
    m_bDragging = FALSE;
    m_bTracking = TRUE;
    m_pBar->SetCapture();
}

void CDockContext::Move(CPoint screenPoint, UINT)
{
    if (!m_bTracking || IsResizing())
        return;
    m_ptLast = screenPoint;
    if (std::abs(screenPoint.x - m_ptStart.x) + std::abs(screenPoint.y - m_ptStart.y) >= kDeadZone)
        m_bDragging = TRUE;
}

void CDockContext::StopTracking()
{
    m_bTracking = FALSE; // first, so that losing the capture does not cancel again
    m_nHitTest = HTNOWHERE;
    if (::GetCapture() == m_pBar->m_hWnd)
        ::ReleaseCapture();
}

void CDockContext::CancelDrag()
{
    const CSize sides = SidesOf(m_nHitTest);
    const bool resizing = IsResizing();
    StopTracking();
    m_bDragging = FALSE;
    if (!resizing)
        return;
    // Each move committed a size: the one the bar had comes back.
    if (sides.cy)
        m_pBar->CalcDynamicLayout(m_sizeBeforeResize.cy, LM_HORZ | LM_LENGTHY | LM_COMMIT);
    m_pBar->CalcDynamicLayout(m_sizeBeforeResize.cx, LM_HORZ | LM_COMMIT);
}

CDockBar* CDockContext::SideAt(CPoint screenPoint, bool horizontal) const
{
    CFrameWnd* frame = m_pBar->m_pDockSite;
    for (UINT id : kStandardDockBars) {
        CDockBar* dockBar = AfxFindDockBar(frame, id);
        if (!dockBar || !(m_pBar->m_dwDockStyle & dockBar->m_dwStyle & CBRS_ALIGN_ANY))
            continue;
        if (((dockBar->m_dwStyle & CBRS_ORIENT_HORZ) != 0) != horizontal)
            continue;
        // A dock bar with room for no row yet still catches a bar dropped within the bar's own
        // thickness of the frame's edge.
        CRect area;
        dockBar->GetWindowRect(&area);
        const CSize size = m_pBar->CalcDynamicLayout(-1, horizontal ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
        switch (dockBar->m_dwStyle & CBRS_ALIGN_ANY) {
        case CBRS_ALIGN_TOP: area.bottom = std::max(area.bottom, area.top + size.cy); break;
        case CBRS_ALIGN_BOTTOM: area.top = std::min(area.top, area.bottom - size.cy); break;
        case CBRS_ALIGN_LEFT: area.right = std::max(area.right, area.left + size.cx); break;
        case CBRS_ALIGN_RIGHT: area.left = std::min(area.left, area.right - size.cx); break;
        }
        if (area.PtInRect(screenPoint))
            return dockBar;
    }
    return nullptr;
}

CDockBar* CDockContext::DockBarAt(CPoint screenPoint, UINT keys) const
{
    if (!m_pBar->m_pDockSite || (keys & MK_CONTROL))
        return nullptr;
    const bool flip = keys & MK_SHIFT;
    const bool horizontalFirst = ((m_pBar->m_dwStyle & CBRS_ORIENT_HORZ) != 0) != flip;
    if (CDockBar* dockBar = SideAt(screenPoint, horizontalFirst))
        return dockBar;
    return flip ? nullptr : SideAt(screenPoint, !horizontalFirst);
}

CPoint CDockContext::FrameTopLeftForBarAt(CPoint barTopLeft) const
{
    if (m_pBar->IsFloating())
        return barTopLeft - (WindowRectOf(m_pBar->m_hWnd).TopLeft() - FloatingFrameRect(m_pBar).TopLeft());
    return CMiniDockFrameWnd::FrameRectAround(CRect(barTopLeft, CSize())).TopLeft();
}

CPoint CDockContext::FloatingFrameTopLeft(CPoint screenPoint, UINT) const
{
    return FrameTopLeftForBarAt(m_rectStart.TopLeft() + (screenPoint - m_ptStart));
}

void CDockContext::EndDrag(CPoint screenPoint, UINT keys)
{
    if (!m_bTracking || IsResizing())
        return;
    StopTracking();
    if (!m_bDragging)
        return; // a click
    CDockBar* dockBar = DockBarAt(screenPoint, keys);
    const CRect dockingRect = dockBar ? DockingRect(dockBar, screenPoint, keys) : CRect();
    const CPoint frameTopLeft = FloatingFrameTopLeft(screenPoint, keys);
    m_bDragging = FALSE;
    if (dockBar)
        Dock(dockBar, dockingRect);
    else
        Float(frameTopLeft);
}

void CDockContext::RememberDockedPlace()
{
    CDockBar* dockBar = m_pBar->m_pDockBar;
    if (!dockBar || dockBar->m_bFloating)
        return;
    m_uMRUDockID = static_cast<UINT>(dockBar->GetDlgCtrlID());
    dockBar->GetBarRow(m_pBar, m_nMRURow, m_bMRUOwnRow);
    m_pBar->GetWindowRect(&m_rectMRUDockPos);
    dockBar->ScreenToClient(&m_rectMRUDockPos);
}

void CDockContext::Float(CPoint frameTopLeft)
{
    RememberDockedPlace();
    m_ptMRUFloatPos = frameTopLeft;
    m_pBar->m_pDockSite->FloatControlBar(m_pBar, frameTopLeft, m_dwMRUFloatStyle | (m_pBar->m_dwDockStyle & CBRS_FLOAT_MULTI));
}

CRect CDockContext::DockingRect(CDockBar* dockBar, CPoint screenPoint, UINT) const
{
    const CPoint barTopLeft = m_rectStart.TopLeft() + (screenPoint - m_ptStart);
    const bool horizontal = dockBar->m_dwStyle & CBRS_ORIENT_HORZ;
    const CSize size = m_pBar->CalcDynamicLayout(-1, horizontal ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
    return horizontal ? CRect(CPoint(barTopLeft.x, screenPoint.y), size) : CRect(CPoint(screenPoint.x, barTopLeft.y), size);
}

void CDockContext::Dock(CDockBar* dockBar, const CRect& rect)
{
    if (m_pBar->IsFloating())
        m_ptMRUFloatPos = FloatingFrameRect(m_pBar).TopLeft();
    m_pBar->m_pDockSite->DockControlBar(m_pBar, dockBar, &rect);
    RememberDockedPlace();
}

// ---- resizing a floating bar

CSize CDockContext::SidesOf(int hitTest)
{
    switch (hitTest) {
    case HTLEFT: return { -1, 0 };
    case HTRIGHT: return { 1, 0 };
    case HTTOP: return { 0, -1 };
    case HTBOTTOM: return { 0, 1 };
    case HTTOPLEFT: return { -1, -1 };
    case HTTOPRIGHT: return { 1, -1 };
    case HTBOTTOMLEFT: return { -1, 1 };
    case HTBOTTOMRIGHT: return { 1, 1 };
    default: return { 0, 0 };
    }
}

void CDockContext::StartResize(int hitTest, CPoint screenPoint)
{
    if (m_bTracking || ::GetCapture() || !m_pBar->IsFloating() || SidesOf(hitTest) == CSize(0, 0))
        return;
    m_nHitTest = hitTest;
    m_ptStart = m_ptLast = screenPoint;
    m_pBar->GetWindowRect(&m_rectStart);
    m_sizeBeforeResize = m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    m_rectRequested = m_rectActual = CRect(m_rectStart.TopLeft(), m_sizeBeforeResize);
    const CRect frame = FloatingFrameRect(m_pBar);
    m_rectFrameBorders = CRect(m_rectStart.left - frame.left, m_rectStart.top - frame.top, frame.right - m_rectStart.right,
        frame.bottom - m_rectStart.bottom);
    m_bDragging = FALSE;
    m_bTracking = TRUE;
    m_pBar->SetCapture();
}

void CDockContext::StretchEdge(Axis axis, int side, CPoint screenPoint, LengthLimits limits)
{
    const bool width = axis == Axis::Width;
    LONG& last = width ? m_ptLast.x : m_ptLast.y;
    const LONG to = width ? screenPoint.x : screenPoint.y;
    CRect requested = m_rectRequested;
    LONG& edge = width ? (side < 0 ? requested.left : requested.right) : (side < 0 ? requested.top : requested.bottom);
    edge += to - last;
    const int length = width ? requested.Width() : requested.Height();
    if (length < limits.smallest || length > limits.largest)
        return;
    m_rectRequested = requested;
    last = to;
    m_pBar->CalcDynamicLayout(length, LM_HORZ | LM_COMMIT | (width ? 0 : LM_LENGTHY));
}

void CDockContext::PlaceActualRect()
{
    const CSize size = m_pBar->CalcDynamicLayout(-1, LM_HORZ);
    const CSize sides = SidesOf(m_nHitTest);
    m_rectActual = CRect(m_rectRequested.TopLeft(), size);
    if (sides.cx < 0)
        m_rectActual.OffsetRect(m_rectRequested.right - m_rectActual.right, 0);
    if (sides.cy < 0)
        m_rectActual.OffsetRect(0, m_rectRequested.bottom - m_rectActual.bottom);
}

CRect CDockContext::ActualFrameRect() const
{
    return CRect(m_rectActual.left - m_rectFrameBorders.left, m_rectActual.top - m_rectFrameBorders.top,
        m_rectActual.right + m_rectFrameBorders.right, m_rectActual.bottom + m_rectFrameBorders.bottom);
}

void CDockContext::Stretch(CPoint screenPoint)
{
    if (!IsResizing())
        return;
    // One edge only: a corner moves its top or bottom edge.
    const CSize sides = SidesOf(m_nHitTest);
    if (m_nHitTest == HTLEFT || m_nHitTest == HTRIGHT)
        StretchEdge(Axis::Width, sides.cx, screenPoint, kAnyLength);
    else
        StretchEdge(Axis::Height, sides.cy, screenPoint, kAnyLength);
    PlaceActualRect();
}

void CDockContext::EndResize()
{
    if (!IsResizing())
        return;
    StopTracking();
    m_pBar->CalcDynamicLayout(m_rectActual.Width(), LM_HORZ | LM_COMMIT);
    m_pBar->m_pDockSite->FloatControlBar(m_pBar, ActualFrameRect().TopLeft(),
        CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC | (m_pBar->m_dwDockStyle & CBRS_FLOAT_MULTI));
}

// ---- double click

void CDockContext::ToggleDocking()
{
    CFrameWnd* frame = m_pBar->m_pDockSite;
    if (!frame)
        return;
    if (!m_pBar->IsFloating()) {
        // Never floated, or last floated where no monitor shows it now: at the docked place.
        const bool visible = m_ptMRUFloatPos != CPoint(-1, -1) && ::MonitorFromPoint(m_ptMRUFloatPos, MONITOR_DEFAULTTONULL);
        Float(visible ? m_ptMRUFloatPos : WindowRectOf(m_pBar->m_hWnd).TopLeft());
        return;
    }
    CDockBar* dockBar = AfxFindDockBar(frame, m_uMRUDockID);
    if (!dockBar || !(m_pBar->m_dwDockStyle & dockBar->m_dwStyle & CBRS_ALIGN_ANY)) {
        dockBar = nullptr;
        for (UINT id : kStandardDockBars) {
            CDockBar* candidate = AfxFindDockBar(frame, id);
            if (candidate && (m_pBar->m_dwDockStyle & candidate->m_dwStyle & CBRS_ALIGN_ANY)) {
                dockBar = candidate;
                break;
            }
        }
        if (!dockBar)
            return;
        m_rectMRUDockPos.SetRectEmpty();
        m_uMRUDockID = 0;
    }
    m_ptMRUFloatPos = FloatingFrameRect(m_pBar).TopLeft();
    if (m_uMRUDockID) {
        CRect rect = m_rectMRUDockPos;
        dockBar->ClientToScreen(&rect);
        frame->ReDockControlBar(m_pBar, dockBar, &rect, m_nMRURow, m_bMRUOwnRow);
    } else {
        frame->DockControlBar(m_pBar, dockBar, nullptr);
    }
    RememberDockedPlace();
}
