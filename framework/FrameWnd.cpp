#include "framework/FrameWnd.h"

#include "framework/BmpMgr.h"
#include "framework/ContextHelp.h"
#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/DockState.h"
#include "framework/MiniDockFrameWnd.h"
#include "framework/RegisteredMessages.h"
#include "framework/ToolBarManager.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECFrameWnd, CFrameWnd)

CDockBar* SECFrameWnd::CreateDockBar() const
{
    return new SECDockBar;
}

namespace {

// Runs a toolkit bar's pre-hook now and its post-hook when the move is over.
class BarMoveHooks {
public:
    BarMoveHooks(CControlBar* bar, void (SECControlBar::*pre)(), void (SECControlBar::*post)())
        : m_bar(dynamic_cast<SECControlBar*>(bar))
        , m_post(post)
    {
        if (m_bar)
            (m_bar->*pre)();
    }
    ~BarMoveHooks()
    {
        if (m_bar)
            (m_bar->*m_post)();
    }
    BarMoveHooks(const BarMoveHooks&) = delete;
    BarMoveHooks& operator=(const BarMoveHooks&) = delete;

private:
    SECControlBar* m_bar;
    void (SECControlBar::*m_post)();
};

BarMoveHooks DockHooks(CControlBar* bar) { return { bar, &SECControlBar::OnPreDock, &SECControlBar::OnPostDock }; }

} // namespace

void SECFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId, LPCRECT rect)
{
    const BarMoveHooks hooks = DockHooks(bar);
    CFrameWnd::DockControlBar(bar, dockBarId, rect);
}

void SECFrameWnd::DockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect)
{
    const BarMoveHooks hooks = DockHooks(bar);
    CFrameWnd::DockControlBar(bar, dockBar, rect);
}

void SECFrameWnd::DockControlBarEx(CControlBar* bar, UINT dockBarId, int column, int row, float percentWidth, int height)
{
    if (!bar)
        return;
    const BarMoveHooks hooks = DockHooks(bar);
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

// ---- the menu bar and the menu plug-in

namespace {

HINSTANCE ResourceInstance()
{
    return AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
}

} // namespace

BEGIN_MESSAGE_MAP(SECFrameWnd, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SYSCOLORCHANGE()
    ON_COMMAND(ID_CONTEXT_HELP, OnContextHelp)
    ON_COMMAND_RANGE(43007, 43009, OnWorkspaceCommand)
    ON_COMMAND_RANGE(43012, 43014, OnWorkspaceCommand)
    ON_COMMAND_RANGE(43031, 43039, OnWorkspaceCommand)
END_MESSAGE_MAP()

CPoint SECFloatPointInWorkArea(const CControlBar& bar, CPoint point)
{
    MONITORINFO monitor { sizeof monitor };
    if (!::GetMonitorInfoW(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor))
        return point;
    const CRect work = monitor.rcWork;
    CRect bounds;
    bar.GetWindowRect(&bounds);
    point.x = std::max<LONG>(std::min<LONG>(point.x, work.right - 10), work.left + 10 - bounds.Width());
    point.y = std::max<LONG>(std::min<LONG>(point.y, work.bottom - 10), work.top + 10 - bounds.Height());
    return point;
}

void SECFrameWnd::FloatControlBar(CControlBar* bar, CPoint point, DWORD style)
{
    if (!bar)
        return;
    const BarMoveHooks hooks(bar, &SECControlBar::OnPreFloat, &SECControlBar::OnPostFloat);
    CFrameWnd::FloatControlBar(bar, SECFloatPointInWorkArea(*bar, point), style);
}

void SECFrameWnd::OnSysColorChange()
{
    CFrameWnd::OnSysColorChange();
    for (CControlBar* bar : m_listControlBars)
        if (auto* toolBar = dynamic_cast<SECManagedToolBar*>(bar))
            if (SECBmpMgr* images = toolBar->GetBmpMgr())
                images->ReloadAll();
}

void SECFrameWnd::OnContextHelp()
{
    if (const DWORD helpId = SECTrackContextHelp(this))
        WinHelp(helpId);
}

SECFrameWnd::SECFrameWnd()
{
    m_pFloatingFrameClass = RUNTIME_CLASS(SECMiniDockFrameWnd);
}

SECFrameWnd::~SECFrameWnd()
{
    for (auto& [id, menu] : m_otherMenus)
        DestroyMenu(menu);
    // Beside a menu bar the window never held the menu, so nothing destroyed it with the window.
    if (m_pMenuBar && m_hMenuDefault)
        DestroyMenu(m_hMenuDefault);
}

BOOL SECFrameWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menuOrId, LPVOID param)
{
    // The menu bar shows the menu; the window has none of its own (the frame keeps the handle).
    if (m_pMenuBar && !(style & WS_CHILD))
        menuOrId = nullptr;
    return CFrameWnd::CreateEx(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId, param);
}

int SECFrameWnd::OnCreate(LPCREATESTRUCT create)
{
    if (CFrameWnd::OnCreate(create) == -1)
        return -1;
    m_pMenuPlugIn.reset(CreateMenuPlugIn());
    if (m_pMenuPlugIn) {
        m_pMenuPlugIn->PlugInTo(this);
        for (UINT id : m_menuBitmaps)
            m_pMenuPlugIn->LoadToolBarResource(id);
        m_menuBitmaps.clear();
    }
    return 0;
}

void SECFrameWnd::OnDestroy()
{
    if (m_pMenuPlugIn)
        m_pMenuPlugIn->UnPlug();
    m_pMenuPlugIn.reset();
    if (m_pCommandPlugIn)
        m_pCommandPlugIn->UnPlug();
    CFrameWnd::OnDestroy();
}

SECFrameMenuPlugIn* SECFrameWnd::CreateMenuPlugIn()
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
    return plugIn;
}

void SECFrameWnd::LoadMenuBitmaps(UINT toolBarId)
{
    if (m_pMenuPlugIn)
        m_pMenuPlugIn->LoadToolBarResource(toolBarId);
    else
        m_menuBitmaps.push_back(toolBarId);
}

void SECFrameWnd::SetMenuResource(UINT menuId)
{
    if (!m_pMenuBar || menuId == GetMenuResource())
        return;
    m_nMenuResource = menuId;
    m_pMenuBar->SwitchMenu(menuId);
    if (m_hMenuDefault)
        DestroyMenu(m_hMenuDefault);
    m_hMenuDefault = LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(menuId));
    RecalcLayout();
    RepaintMenuBar();
}

void SECFrameWnd::RepaintMenuBar()
{
    if (CControlBar* bar = m_pMenuBar ? m_pMenuBar->GetMenuControlBar() : nullptr; bar && bar->m_hWnd) {
        bar->Invalidate();
        bar->UpdateWindow();
    }
}

HMENU SECFrameWnd::GetMenuPopup(UINT menuId, int index)
{
    HMENU menu = nullptr;
    if (menuId == GetMenuResource()) {
        if (!m_hMenuDefault)
            m_hMenuDefault = LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(menuId));
        menu = m_hMenuDefault;
    } else if (auto it = m_otherMenus.find(menuId); it != m_otherMenus.end()) {
        menu = it->second;
    } else if ((menu = LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(menuId)))) {
        m_otherMenus[menuId] = menu;
    }
    return menu && index >= 0 ? GetSubMenu(menu, index) : nullptr;
}

BOOL SECFrameWnd::PreTranslateMessage(MSG* message)
{
    if (m_pMenuPlugIn && m_pMenuPlugIn->PreTranslateMessage(message))
        return TRUE;
    return CFrameWnd::PreTranslateMessage(message);
}

BOOL SECFrameWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == SECGetMenuMessage()) {
        *result = reinterpret_cast<LRESULT>(GetMenuPopup(static_cast<UINT>(wParam), static_cast<int>(lParam)));
        return TRUE;
    }
    if (message == WM_INITMENUPOPUP && m_pMenuPlugIn && m_pMenuPlugIn->IsTrackingSysMenu())
        lParam = MAKELPARAM(LOWORD(lParam), TRUE);
    if (m_pMenuPlugIn) {
        LRESULT answer = 0;
        if (m_pMenuPlugIn->OnWndMsg(message, wParam, lParam, &answer) && m_pMenuPlugIn->TakeExitFlag()) {
            *result = answer;
            return TRUE;
        }
    }
    return CFrameWnd::OnWndMsg(message, wParam, lParam, result);
}

COLORREF SECFrameWnd::SetMenuBitmapColor(COLORREF colour, BOOL use)
{
    m_bUseMenuBitmapColor = use;
    return m_clrMenuBitmap = colour;
}

divuzura::foundation::SECWndPlugIn* SECFrameWnd::CreateCommandPlugIn(CRuntimeClass* runtimeClass)
{
    if (!runtimeClass)
        return nullptr;
    std::unique_ptr<CObject> made(runtimeClass->CreateObject());
    auto* plugIn = dynamic_cast<divuzura::foundation::SECWndPlugIn*>(made.get());
    if (!plugIn)
        return nullptr;
    made.release();
    m_pCommandPlugIn.reset(plugIn);
    plugIn->PlugInTo(this);
    if (!plugIn->IsPluggedIn())
        m_pCommandPlugIn.reset();
    return m_pCommandPlugIn.get();
}

BOOL SECFrameWnd::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    // A command plug-in that fully handles the command ends its routing.
    if (m_pCommandPlugIn) {
        const BOOL handled = m_pCommandPlugIn->OnCmdMsg(id, code, extra, handlerInfo);
        if (m_pCommandPlugIn->TakeExitFlag())
            return handled;
    }
    if (m_pMenuPlugIn && m_pMenuPlugIn->OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(id, code, extra, handlerInfo);
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
    return side && ParkOnStrip(bar, side->align);
}

BOOL SECFrameWnd::ParkOnStrip(SECControlBar* bar, DWORD side)
{
    SECAutoHideBar* strip = GetAutoHideBar(side);
    if (!strip || bar == strip)
        return FALSE;
    bar->m_bAutoHide = TRUE;
    bar->m_bPinned = FALSE;
    bar->m_dwAutoHideSide = side;
    strip->RemoveBar(bar); // a bar on the strip already gets a fresh button for its present frame
    FloatControlBar(bar, CPoint(0, 0), (side & CBRS_ORIENT_VERT) ? CBRS_ALIGN_LEFT : CBRS_ALIGN_TOP);
    ShowControlBar(bar, FALSE, FALSE);
    strip->AddBar(bar);
    return TRUE;
}

void SECFrameWnd::RestoreAutoHide(SECControlBar* bar)
{
    if (bar && bar->IsSliding() && !ParkOnStrip(bar, bar->m_dwAutoHideSide))
        bar->m_bAutoHide = FALSE; // no strip on that side: the bar stays where the layout put it
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
