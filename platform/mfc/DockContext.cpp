#include "platform/mfc/DockContext.h"

#include "platform/mfc/DockBar.h"

#include <cstdlib>

namespace {

constexpr UINT kStandardDockBars[] = { AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT };

CPoint FloatingFrameTopLeft(const CControlBar* bar)
{
    CRect rect;
    ::GetWindowRect(::GetAncestor(bar->m_hWnd, GA_ROOT), &rect);
    return rect.TopLeft();
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
    if (!m_bTracking)
        return;
    m_ptLast = screenPoint;
    if (std::abs(screenPoint.x - m_ptStart.x) + std::abs(screenPoint.y - m_ptStart.y) >= kDeadZone)
        m_bDragging = TRUE;
}

void CDockContext::StopTracking()
{
    m_bTracking = FALSE; // first, so that losing the capture does not cancel again
    if (::GetCapture() == m_pBar->m_hWnd)
        ::ReleaseCapture();
}

void CDockContext::CancelDrag()
{
    StopTracking();
    m_bDragging = FALSE;
}

CDockBar* CDockContext::DockBarAt(CPoint screenPoint, UINT keys) const
{
    CFrameWnd* frame = m_pBar->m_pDockSite;
    if (!frame || (keys & MK_CONTROL))
        return nullptr;
    for (UINT id : kStandardDockBars) {
        CDockBar* dockBar = AfxFindDockBar(frame, id);
        if (!dockBar || !(m_pBar->m_dwDockStyle & dockBar->m_dwStyle & CBRS_ALIGN_ANY))
            continue;
        // A dock bar with room for no row yet still catches a bar dropped within the bar's own
        // thickness of the frame's edge.
        CRect area;
        dockBar->GetWindowRect(&area);
        const bool horizontal = dockBar->m_dwStyle & CBRS_ORIENT_HORZ;
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

void CDockContext::EndDrag(CPoint screenPoint, UINT keys)
{
    if (!m_bTracking)
        return;
    StopTracking();
    if (!m_bDragging)
        return; // a click
    m_bDragging = FALSE;
    const CPoint topLeft = m_rectStart.TopLeft() + (screenPoint - m_ptStart);
    if (CDockBar* dockBar = DockBarAt(screenPoint, keys))
        Dock(dockBar, screenPoint, topLeft);
    else
        Float(topLeft);
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

void CDockContext::Float(CPoint topLeft)
{
    RememberDockedPlace();
    m_ptMRUFloatPos = topLeft;
    m_pBar->m_pDockSite->FloatControlBar(m_pBar, topLeft, m_dwMRUFloatStyle | (m_pBar->m_dwDockStyle & CBRS_FLOAT_MULTI));
}

void CDockContext::Dock(CDockBar* dockBar, CPoint screenPoint, CPoint barTopLeft)
{
    if (m_pBar->IsFloating())
        m_ptMRUFloatPos = FloatingFrameTopLeft(m_pBar);
    // The row comes from the pointer, the place along the row from where the bar was dropped.
    const bool horizontal = dockBar->m_dwStyle & CBRS_ORIENT_HORZ;
    const CSize size = m_pBar->CalcDynamicLayout(-1, horizontal ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
    CRect rect = horizontal ? CRect(CPoint(barTopLeft.x, screenPoint.y), size) : CRect(CPoint(screenPoint.x, barTopLeft.y), size);
    m_pBar->m_pDockSite->DockControlBar(m_pBar, dockBar, &rect);
    RememberDockedPlace();
}

void CDockContext::ToggleDocking()
{
    CFrameWnd* frame = m_pBar->m_pDockSite;
    if (!frame)
        return;
    if (!m_pBar->IsFloating()) {
        CRect rect;
        m_pBar->GetWindowRect(&rect);
        Float(m_ptMRUFloatPos.x == -1 && m_ptMRUFloatPos.y == -1 ? rect.TopLeft() : m_ptMRUFloatPos);
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
    m_ptMRUFloatPos = FloatingFrameTopLeft(m_pBar);
    if (m_uMRUDockID) {
        CRect rect = m_rectMRUDockPos;
        dockBar->ClientToScreen(&rect);
        frame->ReDockControlBar(m_pBar, dockBar, &rect, m_nMRURow, m_bMRUOwnRow);
    } else {
        frame->DockControlBar(m_pBar, dockBar, nullptr);
    }
    RememberDockedPlace();
}
