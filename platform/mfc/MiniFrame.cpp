#include "platform/mfc/MiniFrame.h"

#include "platform/mfc/DockContext.h"

IMPLEMENT_DYNCREATE(CMiniFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMiniDockFrameWnd, CMiniFrameWnd)

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
    ON_WM_NCHITTEST()
    ON_MESSAGE(WM_FLOATSTATUS, OnFloatStatus)
    ON_MESSAGE(WM_NCACTIVATE, OnNcActivate)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
END_MESSAGE_MAP()

namespace {

constexpr DWORD kMiniStyles = MFS_SYNCACTIVE | MFS_4THICKFRAME | MFS_THICKFRAME | MFS_MOVEFRAME | MFS_BLOCKSYSMENU | FWS_SNAPTOBARS;
constexpr DWORD kFloatingFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_4THICKFRAME | MFS_SYNCACTIVE | MFS_BLOCKSYSMENU | FWS_SNAPTOBARS;
constexpr DWORD kMiniFrameExStyle = WS_EX_TOOLWINDOW;

// The window style of a mini frame: a popup whose sizing or moving border is a thick frame.
DWORD WindowStyleOf(DWORD miniFrameStyle)
{
    DWORD windowStyle = (miniFrameStyle & ~kMiniStyles & ~WS_CHILD) | WS_POPUP;
    if (miniFrameStyle & (MFS_THICKFRAME | MFS_4THICKFRAME | MFS_MOVEFRAME))
        windowStyle |= WS_THICKFRAME;
    return windowStyle;
}

} // namespace

BOOL CMiniFrameWnd::Create(LPCWSTR className, LPCWSTR title, DWORD style, const RECT& rect, CWnd* parent, UINT)
{
    m_dwMiniStyle = style & kMiniStyles;
    if (!className)
        className = AfxRegisterWndClass(CS_DBLCLKS, LoadCursorW(nullptr, IDC_ARROW),
            reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_BTNFACE + 1)));
    m_strTitle = title ? title : L"";
    return CreateEx(kMiniFrameExStyle, className, m_strTitle, WindowStyleOf(style), rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr, nullptr);
}

void CMiniFrameWnd::ModifyMiniFrameStyle(DWORD remove, DWORD add)
{
    const DWORD style = ((m_dwMiniStyle & ~remove) | add) & kMiniStyles;
    if (style == m_dwMiniStyle)
        return;
    m_dwMiniStyle = style;
    if (!m_hWnd)
        return;
    const bool border = style & (MFS_THICKFRAME | MFS_4THICKFRAME | MFS_MOVEFRAME);
    ModifyStyle(border ? 0 : WS_THICKFRAME, border ? WS_THICKFRAME : 0);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

LRESULT CMiniFrameWnd::OnFloatStatus(WPARAM status, LPARAM)
{
    const bool synced = (m_dwMiniStyle & MFS_SYNCACTIVE) != 0;
    if (status & FS_SYNCACTIVE)
        return synced;
    if (synced && (status & (FS_ACTIVATE | FS_DEACTIVATE)))
        DefWindowProc(WM_NCACTIVATE, (status & FS_ACTIVATE) != 0, 0);
    return 0;
}

LRESULT CMiniFrameWnd::OnNcActivate(WPARAM active, LPARAM lParam)
{
    const LRESULT answer = DefWindowProc(WM_NCACTIVATE, active, lParam);
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    const HWND now = ::GetActiveWindow();
    const bool family = now && (now == owner || ::GetWindow(now, GW_OWNER) == owner);
    if (!active && (m_dwMiniStyle & MFS_SYNCACTIVE) && owner && !family)
        ::SendMessageW(owner, WM_NCACTIVATE, FALSE, 0);
    return answer;
}

LRESULT CMiniFrameWnd::OnNcHitTest(CPoint point)
{
    const LRESULT hit = Default();
    const bool sizingEdge = hit >= HTLEFT && hit <= HTBOTTOMRIGHT;
    if (sizingEdge && (m_dwMiniStyle & MFS_MOVEFRAME))
        return HTCAPTION;
    if (m_dwMiniStyle & MFS_4THICKFRAME) {
        if (hit == HTTOPLEFT || hit == HTTOPRIGHT)
            return HTTOP;
        if (hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT)
            return HTBOTTOM;
    }
    (void)point;
    return hit;
}

CMiniDockFrameWnd::CMiniDockFrameWnd()
    : CMiniDockFrameWnd(std::make_unique<CDockBar>(TRUE))
{
}

CMiniDockFrameWnd::CMiniDockFrameWnd(std::unique_ptr<CDockBar> dockBar)
    : m_pDockBar(std::move(dockBar))
{
}

CMiniDockFrameWnd::~CMiniDockFrameWnd() = default;

BOOL CMiniDockFrameWnd::Create(CFrameWnd* dockSite, DWORD barStyle)
{
    const DWORD style = kFloatingFrameStyle | ((barStyle & CBRS_SIZE_DYNAMIC) ? 0 : MFS_MOVEFRAME);
    if (!CMiniFrameWnd::Create(nullptr, L"", style, CRect(0, 0, 0, 0), dockSite))
        return FALSE;
    if (!m_pDockBar->Create(this, WS_CHILD | WS_VISIBLE | (barStyle & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI)), AFX_IDW_DOCKBAR_FLOAT)) {
        DestroyWindow();
        return FALSE;
    }
    m_pDockBar->m_pDockSite = dockSite;
    return TRUE;
}

CRect CMiniDockFrameWnd::FrameRectAround(const CRect& barRect)
{
    // The bar sits at the top-left of the frame's client area, in the floating dock bar.
    CRect frame = barRect;
    ::AdjustWindowRectEx(&frame, WindowStyleOf(kFloatingFrameStyle), FALSE, kMiniFrameExStyle);
    return frame;
}

CControlBar* CMiniDockFrameWnd::FirstBar() const
{
    for (CControlBar* bar : m_pDockBar->m_arrBars)
        if (bar)
            return bar;
    return nullptr;
}

void CMiniDockFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout || !m_pDockBar->m_hWnd)
        return;
    m_bInRecalcLayout = TRUE;
    // The frame snaps to its bars: its client area is exactly the floating dock bar's layout.
    const CSize size = m_pDockBar->CalcFixedLayout(FALSE, TRUE);
    m_pDockBar->SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    AFX_SIZEPARENTPARAMS layout {};
    layout.hDWP = BeginDeferWindowPos(1);
    layout.rect = CRect(CPoint(), size);
    m_pDockBar->SendMessage(WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    EndDeferWindowPos(layout.hDWP);
    CRect frame(CPoint(), size);
    ::AdjustWindowRectEx(&frame, GetStyle(), FALSE, GetExStyle());
    SetWindowPos(nullptr, 0, 0, frame.Width(), frame.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (CControlBar* bar = FirstBar())
        SetWindowText(bar->GetWindowText());
    m_bInRecalcLayout = FALSE;
}

void CMiniDockFrameWnd::RecalcLayoutAt(int x, int y)
{
    RecalcLayout();
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMiniDockFrameWnd::OnClose()
{
    // Closing a floating bar hides it; the frame stays for when it is shown again.
    for (CControlBar* bar : std::vector<CControlBar*>(m_pDockBar->m_arrBars))
        if (bar && bar->m_pDockSite)
            bar->m_pDockSite->ShowControlBar(bar, FALSE, FALSE);
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDown(WPARAM hitTest, LPARAM point)
{
    CControlBar* bar = FirstBar();
    if (!bar || !bar->m_pDockContext)
        return Default();
    const CPoint screenPoint(GET_X_LPARAM(point), GET_Y_LPARAM(point));
    if (hitTest == HTCAPTION) {
        bar->m_pDockContext->StartDrag(screenPoint);
        return 0;
    }
    if (hitTest >= HTLEFT && hitTest <= HTBOTTOMRIGHT) {
        bar->m_pDockContext->StartResize(static_cast<int>(hitTest), screenPoint);
        return 0;
    }
    return Default();
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDblClk(WPARAM hitTest, LPARAM)
{
    CControlBar* bar = FirstBar();
    if (hitTest == HTCAPTION && bar && bar->m_pDockContext) {
        bar->m_pDockContext->ToggleDocking();
        return 0;
    }
    return Default();
}
