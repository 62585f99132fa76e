#include "framework/MiniDockFrameWnd.h"

#include "framework/DockBar.h"
#include "framework/ResourceText.h"
#include "platform/mfc/DockContext.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECMiniDockFrameWnd, CMiniDockFrameWnd)

BEGIN_MESSAGE_MAP(SECMiniDockFrameWnd, CMiniDockFrameWnd)
    ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
    ON_MESSAGE(WM_PARENTNOTIFY, OnParentNotify)
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {

// The platform library's text for hiding a floating bar.
constexpr UINT IDS_HIDE = 0xF011;

} // namespace

SECMiniDockFrameWnd::SECMiniDockFrameWnd()
    : CMiniDockFrameWnd(std::make_unique<SECDockBar>(TRUE))
{
}

SECDockBar& SECMiniDockFrameWnd::GetSECDockBar() const
{
    return static_cast<SECDockBar&>(GetDockBar());
}

BOOL SECMiniDockFrameWnd::Create(CFrameWnd* parent, DWORD barStyle)
{
    m_bInLayout = TRUE;
    const DWORD align = (barStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP;
    const BOOL created = CMiniDockFrameWnd::Create(parent, (barStyle & ~CBRS_ALIGN_ANY) | align);
    if (created)
        TrimSystemMenu();
    m_bInLayout = FALSE;
    return created;
}

void SECMiniDockFrameWnd::TrimSystemMenu()
{
    HMENU menu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!menu)
        return;
    for (UINT command : { SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE })
        ::DeleteMenu(menu, command, MF_BYCOMMAND);
    CString hide;
    if (hide.LoadString(IDS_HIDE) && !hide.IsEmpty())
        ::ModifyMenuW(menu, SC_CLOSE, MF_BYCOMMAND | MF_STRING, SC_CLOSE, hide);
}

void SECMiniDockFrameWnd::RecalcLayout(BOOL notify)
{
    if (m_bInLayout)
        return;
    CMiniDockFrameWnd::RecalcLayout(notify);
    const CString title = GetDockBar().GetWindowText().Left(260);
    if (GetWindowText() != title)
        SetWindowText(title);
}

void SECMiniDockFrameWnd::RecalcLayoutAt(int x, int y)
{
    if (m_bInLayout)
        return;
    CMiniDockFrameWnd::RecalcLayoutAt(x, std::max(y, ::GetSystemMetrics(SM_YVIRTUALSCREEN)));
}

bool SECMiniDockFrameWnd::HoldsSeveralBars() const
{
    return GetDockBar().m_dwStyle & CBRS_FLOAT_MULTI;
}

bool SECMiniDockFrameWnd::ShowsSeveralBars() const
{
    return GetDockBar().GetDockedVisibleCount() > 1;
}

void SECMiniDockFrameWnd::BringToTop()
{
    ::SetWindowPos(m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

LRESULT SECMiniDockFrameWnd::OnNcLButtonDown(WPARAM hitTest, LPARAM point)
{
    BringToTop();
    CControlBar* bar = FirstBar();
    const CPoint screenPoint(GET_X_LPARAM(point), GET_Y_LPARAM(point));
    if (hitTest == HTCAPTION) {
        ::SetActiveWindow(m_hWnd);
        if (HoldsSeveralBars() || !bar || !bar->m_pDockContext)
            return Default();
        bar->m_pDockContext->StartDrag(screenPoint);
        return 0;
    }
    if (hitTest >= HTLEFT && hitTest <= HTBOTTOMRIGHT && bar && bar->m_pDockContext && !ShowsSeveralBars()) {
        bar->m_pDockContext->StartResize(static_cast<int>(hitTest), screenPoint);
        return 0;
    }
    return Default();
}

LRESULT SECMiniDockFrameWnd::OnNcLButtonDblClk(WPARAM hitTest, LPARAM)
{
    CControlBar* bar = FirstBar();
    if (hitTest != HTCAPTION || HoldsSeveralBars() || !bar || !bar->m_pDockContext)
        return Default();
    ::SetActiveWindow(m_hWnd);
    bar->m_pDockContext->ToggleDocking();
    return 0;
}

LRESULT SECMiniDockFrameWnd::OnParentNotify(WPARAM event, LPARAM)
{
    if (LOWORD(event) == WM_LBUTTONDOWN || LOWORD(event) == WM_RBUTTONDOWN)
        BringToTop();
    return Default();
}

void SECMiniDockFrameWnd::OnSize(UINT type, int cx, int cy)
{
    // Sized from outside (its edges, the window manager): the rows take the new length, and the
    // frame's other extent follows its rows again.
    if (!m_bInLayout && !m_bInRecalcLayout && type != SIZE_MINIMIZED && ShowsSeveralBars())
        GetSECDockBar().SetFloatingLength(GetSECDockBar().IsHorizontal() ? cx : cy);
    CMiniDockFrameWnd::OnSize(type, cx, cy);
}
