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

// ---- auto-hide strips

namespace {

struct AutoHideSide {
    DWORD align;
    UINT dockBarId;
};
constexpr AutoHideSide kAutoHideSides[] = {
    { CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT },
    { CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP },
    { CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT },
    { CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM },
};

const AutoHideSide* SideOfDockBar(const CDockBar* dockBar)
{
    for (const AutoHideSide& side : kAutoHideSides)
        if (dockBar && dockBar->GetDlgCtrlID() == static_cast<int>(side.dockBarId))
            return &side;
    return nullptr;
}

} // namespace

void SECFrameWnd::EnableDocking(DWORD dockStyle)
{
    CFrameWnd::EnableDocking(dockStyle);
    for (size_t i = 0; i < m_autoHideBars.size(); ++i) {
        SECAutoHideBar& strip = m_autoHideBars[i];
        const AutoHideSide& side = kAutoHideSides[i];
        if (strip.m_hWnd || !(dockStyle & side.align) || !strip.Create(this, side.align))
            continue;
        strip.EnableDocking(side.align);
        DockControlBar(&strip, side.dockBarId);
        ShowControlBar(&strip, FALSE, FALSE);
    }
}

SECAutoHideBar* SECFrameWnd::GetAutoHideBar(DWORD side)
{
    for (size_t i = 0; i < m_autoHideBars.size(); ++i)
        if (kAutoHideSides[i].align == side && m_autoHideBars[i].m_hWnd)
            return &m_autoHideBars[i];
    return nullptr;
}

BOOL SECFrameWnd::AutoHideControlBar(SECControlBar* bar)
{
    const AutoHideSide* side = bar ? SideOfDockBar(bar->m_pDockBar) : nullptr;
    SECAutoHideBar* strip = side ? GetAutoHideBar(side->align) : nullptr;
    if (!strip || bar == strip)
        return FALSE;
    bar->m_bAutoHide = TRUE;
    bar->m_bPinned = FALSE;
    bar->m_dwAutoHideSide = side->align;
    FloatControlBar(bar, CPoint(0, 0), (side->align & CBRS_ORIENT_VERT) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP);
    ShowControlBar(bar, FALSE, FALSE);
    strip->AddBar(bar);
    return TRUE;
}

BOOL SECFrameWnd::PinControlBar(SECControlBar* bar)
{
    SECAutoHideBar* strip = bar && bar->IsSliding() ? GetAutoHideBar(bar->m_dwAutoHideSide) : nullptr;
    if (!strip)
        return FALSE;
    if (SECAutoHideBarBtn* button = strip->FindButton(bar))
        button->Reset();
    strip->RemoveBar(bar);
    bar->m_bPinned = TRUE;
    for (const AutoHideSide& side : kAutoHideSides)
        if (side.align == bar->m_dwAutoHideSide)
            DockControlBar(bar, side.dockBarId);
    bar->m_dwAutoHideSide = 0;
    ShowControlBar(bar, TRUE, FALSE);
    return TRUE;
}

void SECFrameWnd::ResetAutoHideButtons(const SECAutoHideBarBtn* keep)
{
    for (SECAutoHideBar& strip : m_autoHideBars)
        for (int i = 0; strip.m_hWnd && i < strip.GetButtonCount(); ++i)
            if (SECAutoHideBarBtn* button = strip.GetButton(i); button != keep && button->Bar().IsVisible())
                button->Reset();
}
