#include "framework/FrameWnd.h"

#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/DockState.h"
#include "platform/mfc/WinApp.h"

IMPLEMENT_DYNCREATE(SECFrameWnd, CFrameWnd)

CDockBar* SECFrameWnd::CreateDockBar() const
{
    return new SECDockBar;
}

void SECFrameWnd::DockControlBarEx(CControlBar* bar, UINT dockBarId, int column, int row, float percentWidth, int height)
{
    if (!bar)
        return;
    auto* dockBar = dynamic_cast<SECDockBar*>(AfxFindDockBar(this, dockBarId));
    for (UINT id : { AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT }) {
        auto* candidate = dynamic_cast<SECDockBar*>(AfxFindDockBar(this, id));
        if (!dockBar && !dockBarId && candidate && (bar->m_dwDockStyle & candidate->m_dwStyle & CBRS_ALIGN_ANY))
            dockBar = candidate;
    }
    if (!dockBar)
        return;
    if (auto* toolkitBar = dynamic_cast<SECControlBar*>(bar))
        toolkitBar->m_fPctWidth = percentWidth;
    const DWORD style = bar->m_dwStyle;
    DWORD mode = (style & CBRS_SIZE_DYNAMIC) && (style & CBRS_FLOATING) ? (LM_HORZ | LM_MRUWIDTH | LM_LENGTHY)
        : (dockBar->m_dwStyle & CBRS_ORIENT_HORZ)                        ? (LM_HORZ | LM_HORZDOCK | LM_LENGTHY)
                                                                         : LM_VERTDOCK;
    bar->CalcDynamicLayout(height, mode | LM_COMMIT);
    CDockBar* previous = bar->m_pDockBar;
    dockBar->DockControlBarAt(bar, column, row);
    FinishBarMove(previous, dockBar);
}

void SECFrameWnd::LoadBarState(LPCWSTR profileName)
{
    SECDockState state;
    state.LoadState(profileName);
    CWinApp* app = AfxGetApp();
    if (app && !app->m_pMainWnd)
        app->m_pMainWnd = this;
    state.SetState(this);
}

void SECFrameWnd::SaveBarState(LPCWSTR profileName) const
{
    SECDockState state;
    if (state.GetState(const_cast<SECFrameWnd*>(this)))
        state.SaveState(profileName);
}

void SECFrameWnd::RecalcLayout(BOOL notify)
{
    CFrameWnd::RecalcLayout(notify);
    if (m_rectPane.Width() <= 0 || m_rectPane.Height() <= 0)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    GetClientRect(&m_rectPane);
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &m_rectPane, nullptr, TRUE);
}
