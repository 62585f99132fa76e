#include "framework/FrameWnd.h"

#include "framework/ContextHelp.h"
#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/DockState.h"
#include "framework/MiniDockFrameWnd.h"
#include "framework/RegisteredMessages.h"
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

void SECFrameWnd::OnContextHelp()
{
    if (const DWORD helpId = SECTrackContextHelp(this))
        WinHelp(helpId);
}

SECFrameWnd::SECFrameWnd()
    : SECToolkitFrame(static_cast<CFrameWnd&>(*this))
{
    m_pFloatingFrameClass = RUNTIME_CLASS(SECMiniDockFrameWnd);
}

SECFrameWnd::~SECFrameWnd()
{
    for (auto& [id, menu] : m_otherMenus)
        DestroyMenu(menu);
    // Beside a menu bar the window never held the menu, so nothing destroyed it with the window.
    if (GetMenuBar() && m_hMenuDefault)
        DestroyMenu(m_hMenuDefault);
}

BOOL SECFrameWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menuOrId, LPVOID param)
{
    return CFrameWnd::CreateEx(exStyle, className, windowName, style, x, y, width, height, parent, WindowMenu(style, menuOrId), param);
}

int SECFrameWnd::OnCreate(LPCREATESTRUCT create)
{
    if (CFrameWnd::OnCreate(create) == -1)
        return -1;
    PlugInMenus();
    return 0;
}

void SECFrameWnd::OnDestroy()
{
    DestroyMenuPlugIn();
    if (m_pCommandPlugIn)
        m_pCommandPlugIn->UnPlug();
    CFrameWnd::OnDestroy();
}

BOOL SECFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context)
{
    m_nMenuResource = 0;
    if (!CFrameWnd::LoadFrame(resourceId, style, parent, context))
        return FALSE;
    if (SECFrameMenuBar* bar = GetMenuBar(); bar && bar->SwitchMenu(resourceId)) {
        RecalcLayout();
        RepaintMenuBar();
    }
    return TRUE;
}

void SECFrameWnd::SetMenuResource(UINT menuId)
{
    SECFrameMenuBar* bar = GetMenuBar();
    if (!bar || menuId == GetMenuResource())
        return;
    m_nMenuResource = menuId;
    bar->SwitchMenu(menuId);
    if (m_hMenuDefault)
        DestroyMenu(m_hMenuDefault);
    m_hMenuDefault = LoadMenuW(ResourceInstance(), MAKEINTRESOURCEW(menuId));
    RecalcLayout();
    RepaintMenuBar();
}

void SECFrameWnd::RepaintMenuBar()
{
    if (CControlBar* bar = GetMenuBar() ? GetMenuBar()->GetMenuControlBar() : nullptr; bar && bar->m_hWnd) {
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
    if (PreTranslateToolkitMessage(message))
        return TRUE;
    return CFrameWnd::PreTranslateMessage(message);
}

BOOL SECFrameWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == SECGetMenuMessage()) {
        *result = reinterpret_cast<LRESULT>(GetMenuPopup(static_cast<UINT>(wParam), static_cast<int>(lParam)));
        return TRUE;
    }
    if (OnToolkitMessage(message, wParam, lParam, result, m_nIdleFlags))
        return TRUE;
    return CFrameWnd::OnWndMsg(message, wParam, lParam, result);
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
    if (OfferMenuPlugInCommand(id, code, extra, handlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(id, code, extra, handlerInfo);
}

void SECFrameWnd::EnableDocking(DWORD dockStyle)
{
    CFrameWnd::EnableDocking(dockStyle);
    EnableAutoHideStrips(dockStyle);
}
