#include "platform/mfc/ControlBar.h"

#include "platform/gdi/ControlLook.h"
#include "platform/gdi/SysColors.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/DockContext.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_WM_CAPTURECHANGED()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
END_MESSAGE_MAP()

namespace {

constexpr int kGripperWidth = 3, kGripperGap = 2;

// A floating bar's frame is its border: it draws none of its own.
int BorderWidth(DWORD style, DWORD side)
{
    if (!(style & side) || (style & CBRS_FLOATING))
        return 0;
    return (style & CBRS_BORDER_3D) ? 2 : 1;
}

} // namespace

LPCWSTR AfxControlBarClass()
{
    WNDCLASSW windowClass {};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = AFX_WNDCONTROLBAR;
    return AfxRegisterClass(&windowClass) ? AFX_WNDCONTROLBAR : nullptr; // registered once, found after
}

CControlBar::CControlBar() = default;

CControlBar::~CControlBar()
{
    // The context refers back to the bar; the window goes first so no message reaches a dead context.
    if (m_hWnd)
        DestroyWindow();
}

BOOL CControlBar::CreateBar(DWORD style, CWnd* parent, UINT id, const RECT& rect)
{
    m_dwStyle = style & CBRS_ALL;
    LPCWSTR className = AfxControlBarClass();
    if (!className || !parent)
        return FALSE;
    DWORD windowStyle = (style & ~CBRS_ALL) | WS_CHILD | WS_CLIPSIBLINGS;
    if (!CreateEx(0, className, L"", windowStyle, rect, parent, id))
        return FALSE;
    m_pDockSite = dynamic_cast<CFrameWnd*>(parent);
    if (!m_pDockSite)
        if (auto* dockBar = dynamic_cast<CDockBar*>(parent))
            m_pDockSite = dockBar->m_pDockSite;
    if (m_pDockSite && !IsDockBar())
        m_pDockSite->AddControlBar(this);
    return TRUE;
}

CSize CControlBar::CalcFixedLayout(BOOL stretch, BOOL horz)
{
    CSize size(stretch && horz ? 32767 : 0, stretch && !horz ? 32767 : 0);
    CRect inside;
    CalcInsideRect(inside, horz);
    size.cx = std::min<LONG>(32767, size.cx - inside.Width());
    size.cy = std::min<LONG>(32767, size.cy - inside.Height());
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD mode)
{
    if (mode & (LM_HORZDOCK | LM_VERTDOCK))
        return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZDOCK) != 0);
    return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
}

void CControlBar::RemoveBorders(CRect& rect) const
{
    rect.left += BorderWidth(m_dwStyle, CBRS_BORDER_LEFT);
    rect.top += BorderWidth(m_dwStyle, CBRS_BORDER_TOP);
    rect.right -= BorderWidth(m_dwStyle, CBRS_BORDER_RIGHT);
    rect.bottom -= BorderWidth(m_dwStyle, CBRS_BORDER_BOTTOM);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL horz) const
{
    RemoveBorders(rect);
    const int gripper = (m_dwStyle & CBRS_GRIPPER) && !IsFloating() ? kGripperWidth + kGripperGap : 0;
    if (horz) {
        rect.left += m_cxLeftBorder + gripper;
        rect.right -= m_cxRightBorder;
        rect.top += m_cyTopBorder;
        rect.bottom -= m_cyBottomBorder;
    } else {
        rect.left += m_cyTopBorder;
        rect.right -= m_cyBottomBorder;
        rect.top += m_cxLeftBorder + gripper;
        rect.bottom -= m_cxRightBorder;
    }
}

void CControlBar::DrawBorders(CDC* dc, CRect& rect)
{
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const bool etched = m_dwStyle & CBRS_BORDER_3D;
    // Each side: a shadow line on the edge, and with the 3-D style a highlight line inside it.
    auto side = [&](DWORD flag, CRect line, CPoint inward) {
        if (!BorderWidth(m_dwStyle, flag))
            return;
        dc->FillSolidRect(&line, shadow);
        if (etched) {
            line.OffsetRect(inward);
            dc->FillSolidRect(&line, highlight);
        }
    };
    const CRect r = rect;
    side(CBRS_BORDER_TOP, CRect(r.left, r.top, r.right, r.top + 1), CPoint(0, 1));
    side(CBRS_BORDER_BOTTOM, CRect(r.left, r.bottom - 2 + !etched, r.right, r.bottom - 1 + !etched), CPoint(0, 1));
    side(CBRS_BORDER_LEFT, CRect(r.left, r.top, r.left + 1, r.bottom), CPoint(1, 0));
    side(CBRS_BORDER_RIGHT, CRect(r.right - 2 + !etched, r.top, r.right - 1 + !etched, r.bottom), CPoint(1, 0));
    RemoveBorders(rect);
}

void CControlBar::DrawGripper(CDC* dc, const CRect& rect)
{
    if (!(m_dwStyle & CBRS_GRIPPER) || IsFloating())
        return;
    const CRect grip = IsHorzDocked() || !(m_dwStyle & CBRS_ORIENT_VERT)
        ? CRect(rect.left + 2, rect.top + 1, rect.left + 2 + kGripperWidth, rect.bottom - 1)
        : CRect(rect.left + 1, rect.top + 2, rect.right - 1, rect.top + 2 + kGripperWidth);
    fln::gdi::DrawButtonBevel(dc->m_hDC, grip, fln::gdi::ButtonBevel::Raised);
}

void CControlBar::DoPaint(CDC* dc)
{
    CRect rect;
    GetClientRect(&rect);
    dc->FillSolidRect(&rect, GetSysColor(COLOR_BTNFACE));
    DrawBorders(dc, rect);
    DrawGripper(dc, rect);
}

void CControlBar::OnPaint()
{
    CPaintDC dc(this);
    DoPaint(&dc);
}

void CControlBar::SetBarStyle(DWORD style)
{
    if (m_dwStyle == style)
        return;
    m_dwStyle = style;
    Invalidate();
}

void CControlBar::EnableDocking(DWORD dockStyle)
{
    m_dwDockStyle = dockStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI);
    if (m_dwDockStyle && !m_pDockContext)
        m_pDockContext = NewDockContext();
    else if (!m_dwDockStyle)
        m_pDockContext.reset();
}

std::unique_ptr<CDockContext> CControlBar::NewDockContext()
{
    return std::make_unique<CDockContext>(this);
}

void CControlBar::DelayShow(BOOL show)
{
    m_nStateFlags &= ~(delayHide | delayShow);
    if (show != IsVisible())
        m_nStateFlags |= show ? delayShow : delayHide;
    if (m_pDockSite)
        m_pDockSite->DelayRecalcLayout();
}

BOOL CControlBar::ApplyDelayedShow()
{
    const UINT pending = m_nStateFlags & (delayHide | delayShow);
    if (!pending)
        return FALSE;
    m_nStateFlags &= ~(delayHide | delayShow);
    ShowWindow(pending == delayShow ? SW_SHOWNA : SW_HIDE);
    return TRUE;
}

BOOL CControlBar::IsVisible() const
{
    if (m_nStateFlags & delayHide)
        return FALSE;
    return (m_nStateFlags & delayShow) || (GetStyle() & WS_VISIBLE);
}

BOOL CControlBar::IsFloating() const
{
    return m_pDockBar && m_pDockBar->m_bFloating;
}

BOOL CControlBar::Contains(const CWnd* window) const
{
    if (!window || !window->m_hWnd || !m_hWnd)
        return FALSE;
    if (window->m_hWnd == m_hWnd || ::IsChild(m_hWnd, window->m_hWnd))
        return TRUE;
    return IsFloating() && ::GetAncestor(window->m_hWnd, GA_ROOT) == ::GetAncestor(m_hWnd, GA_ROOT);
}

BOOL CControlBar::KeepsFocusGoingTo(const CWnd* newFocus) const
{
    if (newFocus)
        return Contains(newFocus);
    const HWND active = ::GetActiveWindow();
    return active && m_hWnd && IsFloating() && active == ::GetAncestor(m_hWnd, GA_ROOT);
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    return m_pDockSite;
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* layout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const DWORD align = m_dwStyle & CBRS_ALIGN_ANY;
    if (!(GetStyle() & WS_VISIBLE) || !align || IsFloating())
        return 0;
    const BOOL horz = (align & CBRS_ORIENT_HORZ) != 0;
    CSize size = (m_dwStyle & CBRS_SIZE_DYNAMIC)
        ? CalcDynamicLayout(-1, (horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK) | (layout->bStretch ? LM_STRETCH : 0))
        : CalcFixedLayout(layout->bStretch, horz);
    PlaceInLayout(layout, size);
    return 0;
}

void CControlBar::PlaceInLayout(AFX_SIZEPARENTPARAMS* layout, CSize size)
{
    const CRect room(layout->rect);
    size.cx = std::clamp<LONG>(size.cx, 0, std::max<LONG>(0, room.Width()));
    size.cy = std::clamp<LONG>(size.cy, 0, std::max<LONG>(0, room.Height()));
    CRect place(room.TopLeft(), size);
    switch (m_dwStyle & CBRS_ALIGN_ANY) {
    case CBRS_ALIGN_TOP:
        layout->rect.top += size.cy;
        layout->sizeTotal.cy += size.cy;
        break;
    case CBRS_ALIGN_BOTTOM:
        place.OffsetRect(0, room.Height() - size.cy);
        layout->rect.bottom -= size.cy;
        layout->sizeTotal.cy += size.cy;
        break;
    case CBRS_ALIGN_LEFT:
        layout->rect.left += size.cx;
        layout->sizeTotal.cx += size.cx;
        break;
    case CBRS_ALIGN_RIGHT:
        place.OffsetRect(room.Width() - size.cx, 0);
        layout->rect.right -= size.cx;
        layout->sizeTotal.cx += size.cx;
        break;
    default:
        return;
    }
    if (layout->hDWP)
        layout->hDWP = DeferWindowPos(layout->hDWP, m_hWnd, nullptr, place.left, place.top, place.Width(), place.Height(),
            SWP_NOZORDER | SWP_NOACTIVATE);
}

void CControlBar::OnLButtonDown(UINT keys, CPoint point)
{
    if (!m_pDockContext) {
        Default();
        return;
    }
    ClientToScreen(&point);
    m_pDockContext->StartDrag(point);
    (void)keys;
}

void CControlBar::OnLButtonDblClk(UINT, CPoint)
{
    if (m_pDockContext)
        m_pDockContext->ToggleDocking();
    else
        Default();
}

void CControlBar::OnMouseMove(UINT keys, CPoint point)
{
    if (m_pDockContext && m_pDockContext->IsTracking()) {
        ClientToScreen(&point);
        if (m_pDockContext->IsResizing())
            m_pDockContext->Stretch(point);
        else
            m_pDockContext->Move(point, keys);
        return;
    }
    Default();
}

void CControlBar::OnLButtonUp(UINT keys, CPoint point)
{
    if (m_pDockContext && m_pDockContext->IsTracking()) {
        ClientToScreen(&point);
        if (m_pDockContext->IsResizing())
            m_pDockContext->EndResize();
        else
            m_pDockContext->EndDrag(point, keys);
        return;
    }
    Default();
}

void CControlBar::OnRButtonDown(UINT, CPoint)
{
    if (m_pDockContext && m_pDockContext->IsTracking())
        m_pDockContext->CancelDrag();
    else
        Default();
}

void CControlBar::OnKeyDown(UINT key, UINT, UINT)
{
    if (key == VK_ESCAPE && m_pDockContext && m_pDockContext->IsTracking())
        m_pDockContext->CancelDrag();
    else
        Default();
}

void CControlBar::OnCaptureChanged(CWnd*)
{
    if (m_pDockContext && m_pDockContext->IsTracking())
        m_pDockContext->CancelDrag();
}

void CControlBar::OnDestroy()
{
    if (m_nFlyByPrompt)
        ShowFlyByPrompt(0);
    if (m_pDockContext && m_pDockContext->IsTracking())
        m_pDockContext->CancelDrag();
    if (m_pDockBar)
        m_pDockBar->RemoveControlBar(this);
    if (m_pDockSite)
        m_pDockSite->RemoveControlBar(this);
    m_pDockBar = nullptr;
    Default();
}

CWnd* CControlBar::MessageTarget() const
{
    if (m_pDockSite)
        return m_pDockSite;
    return m_hWnd ? CWnd::FromHandle(::GetParent(m_hWnd)) : nullptr;
}

BOOL CControlBar::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (CWnd::OnNotify(wParam, lParam, result))
        return TRUE;
    CWnd* target = MessageTarget();
    if (!target || !target->m_hWnd)
        return FALSE;
    *result = target->SendMessage(WM_NOTIFY, wParam, lParam);
    return TRUE;
}

void CControlBar::OnHoveredToolChanged(INT_PTR hit)
{
    // A pressed button shows its own prompt for as long as it is held.
    if (!(m_dwStyle & CBRS_FLYBY) || ::GetCapture())
        return;
    ShowFlyByPrompt(hit > 0 ? static_cast<UINT>(hit) : 0);
}

void CControlBar::ShowFlyByPrompt(UINT id)
{
    if (id == m_nFlyByPrompt)
        return;
    m_nFlyByPrompt = id;
    if (CWnd* target = MessageTarget(); target && target->m_hWnd)
        target->SendMessage(WM_SETMESSAGESTRING, id ? id : AFX_IDS_IDLEMESSAGE);
    if (id)
        TrackPointerLeaving();
}

void CControlBar::TrackPointerLeaving()
{
    TRACKMOUSEEVENT track { sizeof track, TME_LEAVE, m_hWnd, 0 };
    ::TrackMouseEvent(&track);
}

// The pointer may leave for a window that shows no tips, or for another program's, which never
// tells the bar otherwise.
LRESULT CControlBar::OnMouseLeave(WPARAM, LPARAM)
{
    ShowFlyByPrompt(0);
    CancelToolTips();
    return 0;
}
