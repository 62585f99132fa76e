#include "framework/DockContext.h"

#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/MdiFrameWnd.h"
#include "framework/ResourceText.h"
#include "platform/gdi/Gdi.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/MiniFrame.h"
#include "platform/mfc/WinApp.h"

namespace {

// Moves the rectangle the least so that the point lies inside it.
void KeepPointInside(CRect& rect, CPoint point)
{
    if (point.x < rect.left)
        rect.OffsetRect(point.x - rect.left, 0);
    else if (point.x >= rect.right)
        rect.OffsetRect(point.x - rect.right + 1, 0);
    if (point.y < rect.top)
        rect.OffsetRect(0, point.y - rect.top);
    else if (point.y >= rect.bottom)
        rect.OffsetRect(0, point.y - rect.bottom + 1);
}

CRect WindowRectOf(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, &rect);
    return rect;
}

} // namespace

// ---- the tracking rectangle

BEGIN_MESSAGE_MAP(SECDragRect, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

SECDragRect::~SECDragRect()
{
    if (m_hWnd)
        DestroyWindow();
}

void SECDragRect::Show(const CRect& rect, CSize edge, bool halftone)
{
    if (m_hWnd && rect == m_rect && edge == m_edge && halftone == m_halftone && IsWindowVisible())
        return;
    const bool reshape = !m_hWnd || rect.Size() != m_rect.Size() || edge != m_edge;
    m_rect = rect;
    m_edge = edge;
    m_halftone = halftone;
    if (!m_hWnd && !CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_TRANSPARENT, nullptr, L"", WS_POPUP, rect, nullptr, 0))
        return;
    if (reshape) {
        HRGN ring = ::CreateRectRgn(0, 0, rect.Width(), rect.Height());
        // A rectangle no thicker than its two edges is drawn whole.
        if (rect.Width() > 2 * edge.cx && rect.Height() > 2 * edge.cy) {
            HRGN inside = ::CreateRectRgn(edge.cx, edge.cy, rect.Width() - edge.cx, rect.Height() - edge.cy);
            ::CombineRgn(ring, ring, inside, RGN_DIFF);
            ::DeleteObject(inside);
        }
        SetWindowRgn(ring, FALSE); // the window owns the region now
    }
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Invalidate();
    UpdateWindow();
}

void SECDragRect::Hide()
{
    if (m_hWnd)
        ShowWindow(SW_HIDE);
}

void SECDragRect::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (!m_halftone) {
        dc.FillSolidRect(&client, GetSysColor(COLOR_WINDOWTEXT));
        return;
    }
    // The classic dither: every other pixel, alternating by row.
    static constexpr WORD kChecker[8] = { 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55 };
    HBITMAP pattern = ::CreateBitmap(8, 8, 1, 1, kChecker);
    HBRUSH brush = ::CreatePatternBrush(pattern);
    ::DeleteObject(pattern);
    dc.SetTextColor(GetSysColor(COLOR_WINDOWTEXT));
    dc.SetBkColor(GetSysColor(COLOR_WINDOW));
    ::FillRect(dc.m_hDC, &client, brush);
    ::DeleteObject(brush);
}

// ---- the drag context

SECDockContext::SECDockContext(CControlBar* bar)
    : CDockContext(bar)
    , m_sizeMinTrack(::GetSystemMetrics(SM_CXMENUSIZE) + 2 * (::GetSystemMetrics(SM_CXFRAME) + ::GetSystemMetrics(SM_CXBORDER)),
          ::GetSystemMetrics(SM_CYSMCAPTION) + 2 * (::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYBORDER)))
    , m_sizeMaxTrack(::GetSystemMetrics(SM_CXFULLSCREEN), ::GetSystemMetrics(SM_CYFULLSCREEN))
{
}

void SECDockContext::BeginTracking()
{
    m_focusBefore = ::GetFocus();
    m_pBar->SetFocus();
}

void SECDockContext::StartDrag(CPoint screenPoint)
{
    CDockContext::StartDrag(screenPoint);
    if (!IsTracking())
        return;
    m_pFeedbackDockBar = nullptr;
    BeginTracking();
    SetStatusText(ResourceText(IDS_SEC_PREVENTDOCKING, L"Press the Ctrl key to prevent docking."));
    Move(screenPoint, 0);
}

void SECDockContext::Move(CPoint screenPoint, UINT keys)
{
    CDockContext::Move(screenPoint, keys);
    if (!IsTracking() || IsResizing())
        return;
    bool docking = false;
    const CRect rect = TrackingRect(screenPoint, keys, docking);
    if (!docking) {
        m_pFeedbackDockBar = nullptr;
        ShowFloatingFrame(rect);
        return;
    }
    CDockBar* dockBar = DockBarAt(screenPoint, keys);
    if (dockBar != m_pFeedbackDockBar) {
        m_pFeedbackDockBar = dockBar;
        m_feedback = {};
    }
    m_dragRect.Show(DockingOutline(dockBar, rect, screenPoint, m_feedback), CSize(1, 1), false);
}

CRect SECDockContext::DockingOutline(CDockBar* dockBar, const CRect& dragRect, CPoint screenPoint, SECDockFeedback& feedback) const
{
    const auto* toolkitDockBar = dynamic_cast<const SECDockBar*>(dockBar);
    return toolkitDockBar ? toolkitDockBar->HitTestDockPosition(m_pBar, dragRect, screenPoint, feedback) : dragRect;
}

CRect SECDockContext::DockingRect(CDockBar* dockBar, CPoint screenPoint, UINT keys) const
{
    // Where the outline showed the bar.
    bool docking = false;
    const CRect rect = TrackingRect(screenPoint, keys, docking);
    SECDockFeedback feedback = dockBar == m_pFeedbackDockBar ? m_feedback : SECDockFeedback {};
    return DockingOutline(dockBar, rect, screenPoint, feedback);
}

void SECDockContext::ShowFloatingFrame(const CRect& rect)
{
    m_dragRect.Show(rect, CSize(::GetSystemMetrics(SM_CXFRAME) - 1, ::GetSystemMetrics(SM_CYFRAME) - 1), true);
}

void SECDockContext::EndDrag(CPoint screenPoint, UINT keys)
{
    if (!IsTracking() || IsResizing())
        return;
    EndTracking();
    CDockContext::EndDrag(screenPoint, keys);
}

CPoint SECDockContext::FloatingFrameTopLeft(CPoint screenPoint, UINT keys) const
{
    // The bar lands where the frame was shown.
    bool docking = false;
    return TrackingRect(screenPoint, keys, docking).TopLeft();
}

bool SECDockContext::SizesInBothDirections() const
{
    const auto* bar = dynamic_cast<const SECControlBar*>(m_pBar);
    return bar && !(bar->GetExBarStyle() & CBRS_EX_FIXEDSIZE);
}

void SECDockContext::StartResize(int hitTest, CPoint screenPoint)
{
    CDockContext::StartResize(hitTest, screenPoint);
    if (!IsTracking())
        return;
    BeginTracking();
    ShowFloatingFrame(ActualFrameRect());
}

void SECDockContext::Stretch(CPoint screenPoint)
{
    if (!IsResizing())
        return;
    if (!SizesInBothDirections()) {
        CDockContext::Stretch(screenPoint);
    } else {
        const CSize sides = SidesOf(m_nHitTest);
        if (sides.cx)
            StretchEdge(Axis::Width, sides.cx, screenPoint, { m_sizeMinTrack.cx, m_sizeMaxTrack.cx });
        if (sides.cy)
            StretchEdge(Axis::Height, sides.cy, screenPoint, { m_sizeMinTrack.cy, m_sizeMaxTrack.cy });
        PlaceActualRect();
    }
    ShowFloatingFrame(ActualFrameRect());
}

void SECDockContext::EndResize()
{
    if (!IsResizing())
        return;
    EndTracking();
    if (SizesInBothDirections())
        m_pBar->CalcDynamicLayout(m_rectActual.Height(), LM_HORZ | LM_LENGTHY | LM_COMMIT);
    CDockContext::EndResize();
}

void SECDockContext::CancelDrag()
{
    EndTracking();
    CDockContext::CancelDrag();
}

void SECDockContext::EndTracking()
{
    m_dragRect.Hide();
    if (::GetFocus() == m_pBar->m_hWnd && m_focusBefore && ::IsWindow(m_focusBefore))
        ::SetFocus(m_focusBefore);
    m_focusBefore = nullptr;
    CFrameWnd* main = m_pBar->m_pDockSite;
    if (main && main->m_hWnd)
        main->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
}

void SECDockContext::SetStatusText(const CString& text) const
{
    CFrameWnd* main = m_pBar->m_pDockSite;
    if (main && main->m_hWnd)
        main->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(static_cast<LPCWSTR>(text)));
}

CRect SECDockContext::TrackingRect(CPoint screenPoint, UINT keys, bool& docking) const
{
    // Nothing moves within the dead zone.
    const CSize moved = IsDragging() ? screenPoint - m_ptStart : CSize();
    // A floating bar within the dead zone stays a floating bar.
    CDockBar* dockBar = IsDragging() || !m_pBar->IsFloating() ? DockBarAt(screenPoint, keys) : nullptr;
    docking = dockBar != nullptr;
    CRect rect;
    if (docking) {
        const bool horizontal = dockBar->m_dwStyle & CBRS_ORIENT_HORZ;
        // A docked bar keeps its present size along a dock bar of its own orientation.
        const CDockBar* current = m_pBar->IsFloating() ? nullptr : m_pBar->m_pDockBar;
        const bool sameOrientation = current && ((current->m_dwStyle ^ dockBar->m_dwStyle) & CBRS_ORIENT_HORZ) == 0;
        const CSize size = sameOrientation ? m_rectStart.Size()
                                           : m_pBar->CalcDynamicLayout(-1, horizontal ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
        rect = CRect(m_rectStart.TopLeft() + moved, size);
    } else if (m_pBar->IsFloating()) {
        rect = WindowRectOf(::GetAncestor(m_pBar->m_hWnd, GA_ROOT));
        rect.OffsetRect(moved);
    } else {
        // The mini frame around the bar at its floating size, where the bar was dragged to.
        rect = CMiniDockFrameWnd::FrameRectAround(CRect(m_rectStart.TopLeft() + moved, CDockBar::FloatingSizeOf(m_pBar)));
    }
    KeepPointInside(rect, screenPoint);
    return rect;
}

// ---- floating in the main window

void SECDockContext::ToggleMDIFloat()
{
    auto* frame = dynamic_cast<SECMDIFrameWnd*>(m_pBar->m_pDockSite);
    if (!frame)
        return;
    if (!SECIsFloatingInMainWindow(m_pBar)) {
        const BOOL wasFloating = m_pBar->IsFloating();
        RememberDockedPlace();
        const bool placed = m_ptMRUFloatPos != CPoint(-1, -1);
        if (frame->FloatControlBarInMDIChild(m_pBar, placed ? &m_ptMRUFloatPos : nullptr, m_dwMRUFloatStyle))
            m_bWasFloating = wasFloating;
        return;
    }
    {
        // The host frame stays until the bar has left it.
        SECMDIFrameWnd::MDIFloatToggle busy(*frame);
        if (m_bWasFloating) {
            frame->FloatControlBar(m_pBar, m_ptMRUFloatPos, m_dwMRUFloatStyle | (m_pBar->m_dwDockStyle & CBRS_FLOAT_MULTI));
        } else if (CDockBar* dockBar = AfxFindDockBar(frame, m_uMRUDockID)) {
            CRect rect = m_rectMRUDockPos;
            dockBar->ClientToScreen(&rect);
            frame->ReDockControlBar(m_pBar, dockBar, &rect, m_nMRURow, m_bMRUOwnRow);
        } else {
            frame->DockControlBar(m_pBar, static_cast<UINT>(0));
        }
    }
    frame->RecalcLayout(); // and with the layout it goes
}
