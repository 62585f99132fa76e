#include "framework/ToolkitFrame.h"

#include "framework/BmpMgr.h"
#include "framework/ToolBarManager.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/PreviewView.h"

SECToolkitFrame::~SECToolkitFrame() = default;

// ---- menus

void SECToolkitFrame::LoadMenuBitmaps(UINT toolBarId)
{
    if (m_pMenuPlugIn)
        m_pMenuPlugIn->LoadToolBarResource(toolBarId);
    else
        m_menuBitmaps.push_back(toolBarId);
}

COLORREF SECToolkitFrame::SetMenuBitmapColor(COLORREF colour, BOOL use)
{
    m_bUseMenuBitmapColor = use;
    return m_clrMenuBitmap = colour;
}

SECFrameMenuPlugIn* SECToolkitFrame::CreateMenuPlugIn()
{
    if (m_pMenuBar)
        return m_pMenuBar->CreateMenuPlugIn();
    if (!m_bBmpMenus)
        return nullptr;
    // The bitmap menus live in the command-bar layer above this one: made by class name.
    std::unique_ptr<CObject> made(CRuntimeClass::CreateObject("SECBmpMenuPlugIn"));
    auto* plugIn = dynamic_cast<SECFrameMenuPlugIn*>(made.get());
    if (!plugIn)
        return nullptr;
    made.release();
    if (m_bUseMenuBitmapColor)
        plugIn->SetTransparentColor(m_clrMenuBitmap, m_bUseMenuBitmapColor);
    if (m_pToolBarManager && m_pToolBarManager->m_pBmpMgr)
        plugIn->SetBmpMgr(m_pToolBarManager->m_pBmpMgr);
    return plugIn;
}

BOOL SECToolkitFrame::PlugInMenus()
{
    m_pMenuPlugIn.reset(CreateMenuPlugIn());
    if (!m_pMenuPlugIn)
        return FALSE;
    m_pMenuPlugIn->PlugInTo(&m_frame);
    for (UINT id : m_menuBitmaps)
        m_pMenuPlugIn->LoadToolBarResource(id);
    m_menuBitmaps.clear();
    return TRUE;
}

void SECToolkitFrame::DestroyMenuPlugIn()
{
    if (m_pMenuPlugIn)
        m_pMenuPlugIn->UnPlug();
    m_pMenuPlugIn.reset();
}

BOOL SECToolkitFrame::PreTranslateToolkitMessage(MSG* message)
{
    if (m_pMenuPlugIn && !dynamic_cast<CPreviewView*>(m_frame.GetActiveView()) && m_pMenuPlugIn->PreTranslateMessage(message))
        return TRUE;
    return IsCustomizing() && message->message == WM_SYSCOMMAND && (message->wParam & 0xFFF0) == SC_CLOSE;
}

BOOL SECToolkitFrame::OnToolkitMessage(UINT message, WPARAM wParam, LPARAM& lParam, LRESULT* result, UINT idleFlags)
{
    if (message == WM_INITMENUPOPUP && m_pMenuPlugIn && m_pMenuPlugIn->IsTrackingSysMenu())
        lParam = MAKELPARAM(LOWORD(lParam), TRUE);
    if (m_pMenuPlugIn) {
        LRESULT answer = 0;
        if (m_pMenuPlugIn->OnWndMsg(message, wParam, lParam, &answer) && m_pMenuPlugIn->TakeExitFlag()) {
            *result = answer;
            return TRUE;
        }
    }
    switch (message) {
    case WM_SYSCOLORCHANGE:
        ReloadToolBarImages(); // before the bars hear of the change and repaint
        return FALSE;
    case WM_ENTERIDLE:
        OnEnterIdle(static_cast<UINT>(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), idleFlags);
        return FALSE;
    case WM_NCHITTEST:
        if (!IsCustomizing())
            return FALSE;
        *result = HTERROR;
        return TRUE;
    }
    return FALSE;
}

HMENU SECToolkitFrame::WindowMenu(DWORD style, HMENU menu) const
{
    return m_pMenuBar && !(style & WS_CHILD) ? nullptr : menu;
}

BOOL SECToolkitFrame::OfferMenuPlugInCommand(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    return m_pMenuPlugIn && m_pMenuPlugIn->OnCmdMsg(id, code, extra, handlerInfo);
}

// ---- the tool bars

BOOL SECToolkitFrame::IsCustomizing() const
{
    return m_pToolBarManager && m_pToolBarManager->m_bCustomizing;
}

void SECToolkitFrame::ReloadToolBarImages()
{
    for (CControlBar* bar : m_frame.m_listControlBars)
        if (auto* toolBar = dynamic_cast<SECManagedToolBar*>(bar))
            if (SECBmpMgr* images = toolBar->GetBmpMgr())
                images->ReloadAll();
}

void SECToolkitFrame::OnEnterIdle(UINT why, CWnd*, UINT idleFlags)
{
    if (!IsCustomizing() || why != MSGF_DIALOGBOX || !(idleFlags & CFrameWnd::idleLayout))
        return;
    m_frame.RecalcLayout((idleFlags & CFrameWnd::idleNotify) != 0);
    m_frame.UpdateWindow();
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

void SECToolkitFrame::DockOnSide(CControlBar* bar, UINT dockBarId)
{
    m_frame.DockControlBar(bar, dockBarId);
}

void SECToolkitFrame::EnableAutoHideStrips(DWORD dockStyle)
{
    for (size_t i = 0; i < m_autoHideBars.size(); ++i) {
        SECAutoHideBar& strip = m_autoHideBars[i];
        const AutoHideSide& side = kAutoHideSides[i];
        if (strip.m_hWnd || !(dockStyle & side.align) || !strip.Create(&m_frame, side.align))
            continue;
        strip.EnableDocking(side.align);
        DockOnSide(&strip, side.dockBarId);
        m_frame.ShowControlBar(&strip, FALSE, FALSE);
    }
}

SECAutoHideBar* SECToolkitFrame::GetAutoHideBar(DWORD side)
{
    for (size_t i = 0; i < m_autoHideBars.size(); ++i)
        if (kAutoHideSides[i].align == side && m_autoHideBars[i].m_hWnd)
            return &m_autoHideBars[i];
    return nullptr;
}

BOOL SECToolkitFrame::AutoHideControlBar(SECControlBar* bar)
{
    const AutoHideSide* side = bar ? SideOfDockBar(bar->m_pDockBar) : nullptr;
    return side && ParkOnStrip(bar, side->align);
}

BOOL SECToolkitFrame::ParkOnStrip(SECControlBar* bar, DWORD side)
{
    SECAutoHideBar* strip = GetAutoHideBar(side);
    if (!strip || bar == strip)
        return FALSE;
    bar->m_bAutoHide = TRUE;
    bar->m_bPinned = FALSE;
    bar->m_dwAutoHideSide = side;
    strip->RemoveBar(bar); // a bar on the strip already gets a fresh button for its present frame
    m_frame.FloatControlBar(bar, CPoint(0, 0), (side & CBRS_ORIENT_VERT) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP);
    m_frame.ShowControlBar(bar, FALSE, FALSE);
    strip->AddBar(bar);
    return TRUE;
}

void SECToolkitFrame::RestoreAutoHide(SECControlBar* bar)
{
    if (bar && bar->IsSliding() && !ParkOnStrip(bar, bar->m_dwAutoHideSide))
        bar->m_bAutoHide = FALSE; // no strip on that side: the bar stays where the layout put it
}

BOOL SECToolkitFrame::PinControlBar(SECControlBar* bar)
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
            DockOnSide(bar, side.dockBarId);
    bar->m_dwAutoHideSide = 0;
    m_frame.ShowControlBar(bar, TRUE, FALSE);
    return TRUE;
}

void SECToolkitFrame::ResetAutoHideButtons(const SECAutoHideBarBtn* keep)
{
    for (SECAutoHideBar& strip : m_autoHideBars)
        for (int i = 0; strip.m_hWnd && i < strip.GetButtonCount(); ++i)
            if (SECAutoHideBarBtn* button = strip.GetButton(i); button != keep && button->Bar().IsVisible())
                button->Reset();
}
