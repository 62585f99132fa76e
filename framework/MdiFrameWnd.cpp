#include "framework/MdiFrameWnd.h"

#include "framework/CaptionFilters.h"
#include "framework/ContextHelp.h"
#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/DockState.h"
#include "framework/DocTemplateUtils.h"
#include "framework/FilterRouting.h"
#include "framework/FrameWnd.h"
#include "framework/MiniDockFrameWnd.h"
#include "framework/RegisteredMessages.h"
#include "framework/ResourceText.h"
#include "framework/SysCommandEx.h"
#include "platform/mfc/ControlBar.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/MiniFrame.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECMDIFrameWnd, CMDIFrameWnd)
IMPLEMENT_DYNCREATE(SECMDIChildWnd, CMDIChildWnd)

namespace {

using namespace nsSysCommandEx;

constexpr LPCWSTR kPreFloatStyle = L"SECDockableFrame PreFloat Docked Style";
constexpr LPCWSTR kPreFloatExStyle = L"SECDockableFrame PreFloat Docked ExStyle";

// The messages a frame's filters see first, and those they see after the default handling.
FilterTurn FrameTurn(UINT message)
{
    switch (message) {
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
        return FilterTurn::First;
    case WM_SETTEXT:
    case WM_NCACTIVATE:
    case WM_NCPAINT:
        return FilterTurn::After;
    }
    return FilterTurn::None;
}

FilterTurn ChildTurn(UINT message, LPARAM lParam)
{
    if (message == WM_NCRBUTTONUP)
        return FilterTurn::First;
    // Only the sizing borders' cursors concern the filters.
    if (message == WM_SETCURSOR) {
        int hit = static_cast<SHORT>(LOWORD(lParam));
        return hit >= HTLEFT && hit <= HTBOTTOMRIGHT ? FilterTurn::After : FilterTurn::None;
    }
    return FrameTurn(message);
}

bool FocusIn(HWND window)
{
    HWND focus = ::GetFocus();
    return focus && (focus == window || ::IsChild(window, focus));
}

// The floating dock bar of a frame that hosts a bar (a mini frame or a host frame in the client).
CDockBar* FloatingDockBarOf(const CWnd* frame)
{
    return frame ? AfxFindDockBar(const_cast<CWnd*>(frame), AFX_IDW_DOCKBAR_FLOAT) : nullptr;
}

CControlBar* FirstBarOf(const CDockBar* dockBar)
{
    for (CControlBar* bar : dockBar->m_arrBars)
        if (bar)
            return bar;
    return nullptr;
}

// Turns the table's filters on or off, and shows the caption buttons the switches leave on.
void ApplyCaptionFlags(SECMsgFilter& root, const SECMsgFilter::DescriptorTable& table, BOOL enable, BOOL minimize,
    BOOL maximize, BOOL close)
{
    using Button = SECCaptionControlMsgFilter;
    root.InstallAll(table, enable);
    auto* list = dynamic_cast<SECCaptionControlListMsgFilter*>(root.FindOrCreate(256));
    if (!list)
        return;
    const std::pair<int, BOOL> switches[] = { { Button::Minimize, minimize }, { Button::Maximize, maximize },
        { Button::Restore, maximize }, { Button::Close, close } };
    for (auto [id, on] : switches)
        if (SECMsgFilter* button = list->FindOrCreate(id))
            button->Enable(on);
    list->Layout();
    if (list->GetWnd() && ::IsWindow(list->GetWnd()->m_hWnd))
        ::SetWindowPos(list->GetWnd()->m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

} // namespace

BOOL SECIsFloatingInMainWindow(const CControlBar* bar)
{
    const CDockBar* dockBar = bar ? (bar->IsDockBar() ? static_cast<const CDockBar*>(bar) : bar->m_pDockBar) : nullptr;
    if (!dockBar || !dockBar->m_bFloating || !dockBar->m_hWnd)
        return FALSE;
    HWND host = ::GetParent(dockBar->m_hWnd);
    return host && (::GetWindowLongW(host, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
}

// ---- the float cascade

CPoint SECFloatCascade::Next(CSize client)
{
    CPoint place = m_next;
    m_next.x += 20;
    m_next.y += 23;
    if (m_next.x + 30 > client.cx)
        m_next.x = 30;
    if (m_next.y + 30 > client.cy)
        m_next.y = 30;
    return place;
}

CPoint SECFloatCascade::Clamp(CPoint given, CSize client)
{
    return { std::clamp<LONG>(given.x, 0, std::max<LONG>(0, client.cx)), std::clamp<LONG>(given.y, 0, std::max<LONG>(0, client.cy - 30)) };
}

// ---- the frame

BEGIN_MESSAGE_MAP(SECMDIFrameWnd, CMDIFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_ACTIVATE()
    ON_MESSAGE(WM_ACTIVATEAPP, OnActivateApp)
    ON_MESSAGE(WM_SEC_ADDCONTEXTMENUITEMS, OnAddContextMenuItems)
    ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
    ON_COMMAND(ID_CONTEXT_HELP, OnContextHelp)
    ON_COMMAND_RANGE(43007, 43009, OnWorkspaceCommand)
    ON_COMMAND_RANGE(43012, 43014, OnWorkspaceCommand)
    ON_COMMAND_RANGE(43031, 43039, OnWorkspaceCommand)
END_MESSAGE_MAP()

SECMDIFrameWnd::SECMDIFrameWnd()
    : SECToolkitFrame(static_cast<CFrameWnd&>(*this))
{
    m_pFloatingFrameClass = RUNTIME_CLASS(SECMiniDockFrameWnd);
    m_filterTable.Add(257, SECMsgFilter::RootId, RUNTIME_CLASS(ScxMsgFilter));
    m_filterTable.Add(256, SECMsgFilter::RootId, RUNTIME_CLASS(SECCapConLstMDIMaxChildMsgFilter));
    m_filterTable.Add(260, 256, RUNTIME_CLASS(ScxButtonMDIMaxChildMsgFilter));
    m_filterTable.Add(261, SECMsgFilter::RootId, RUNTIME_CLASS(ScxNCRDBLClkMDIMaxChildMsgFilter));
    // Per pass: a 0 before the bottom every third pass, and before left and right every other.
    for (int pass = 0; pass < 6; ++pass) {
        if (pass % 3 == 0)
            m_dockCycle.push_back(0);
        m_dockCycle.push_back(AFX_IDW_DOCKBAR_BOTTOM);
        if (pass % 2 == 0)
            m_dockCycle.push_back(0);
        m_dockCycle.push_back(AFX_IDW_DOCKBAR_LEFT);
        if (pass % 2 == 0)
            m_dockCycle.push_back(0);
        m_dockCycle.push_back(AFX_IDW_DOCKBAR_RIGHT);
    }
}

BOOL SECMDIFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context)
{
    m_bAddToTitle = (style & FWS_ADDTOTITLE) != 0;
    m_nMenuId = resourceId;
    m_menus.clear();
    if (!CMDIFrameWnd::LoadFrame(resourceId, style, parent, context))
        return FALSE;
    SelectMenuBarMenu(static_cast<UINT>(-1));
    return TRUE;
}

BOOL SECMDIFrameWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menuOrId, LPVOID param)
{
    return CMDIFrameWnd::CreateEx(exStyle, className, windowName, style, x, y, width, height, parent, WindowMenu(style, menuOrId), param);
}

int SECMDIFrameWnd::OnCreate(LPCREATESTRUCT create)
{
    if (CMDIFrameWnd::OnCreate(create) == -1)
        return -1;
    // Beside a menu bar the maximised child's caption buttons are not the frame's to draw.
    if (PlugInMenus() && GetMenuBar())
        if (const SECMsgFilter::Descriptor* buttons = m_filterTable.GetSize() > 1 ? m_filterTable[1] : nullptr)
            m_filterRoot.Install(*buttons, FALSE);
    return 0;
}

void SECMDIFrameWnd::OnDestroy()
{
    DestroyMenuPlugIn();
    CMDIFrameWnd::OnDestroy();
}

CDockBar* SECMDIFrameWnd::CreateDockBar() const
{
    return new SECDockBar;
}

void SECMDIFrameWnd::EnableDocking(DWORD dockStyle)
{
    CMDIFrameWnd::EnableDocking(dockStyle);
    EnableAutoHideStrips(dockStyle);
}

// ---- menus

HMENU SECMDIFrameWnd::GetMenuForId(UINT menuId)
{
    if (auto known = m_menus.find(menuId); known != m_menus.end())
        return known->second;
    HMENU menu = nullptr;
    if (menuId == m_nMenuId) {
        menu = GetFrameMenu();
    } else if (SECDocTemplateList templates; SECDocTemplateUtils().CollectTemplates(templates)) {
        for (CDocTemplate* docTemplate : templates) {
            auto* shared = dynamic_cast<CMultiDocTemplate*>(docTemplate);
            if (shared && shared->m_nIDResource == menuId) {
                menu = shared->m_hMenuShared;
                break;
            }
        }
    }
    if (menu)
        m_menus[menuId] = menu;
    return menu;
}

HMENU SECMDIFrameWnd::GetCurrentMenu()
{
    SECFrameMenuBar* bar = GetMenuBar();
    if (!bar)
        return ::GetMenu(m_hWnd);
    const UINT shown = bar->GetCurrentMenuId();
    HMENU menu = GetMenuForId(shown);
    return !menu && shown == IDR_SEC_MDIFLOATFRAME ? GetFrameMenu() : menu;
}

void SECMDIFrameWnd::SelectMenuBarMenu(UINT menuId)
{
    SECFrameMenuBar* bar = GetMenuBar();
    if (!bar || !GetMenuPlugIn())
        return;
    if (menuId == 0 || menuId == static_cast<UINT>(-1)) {
        bar->SwitchMenu(m_nMenuId);
    } else if (bar->SwitchMenu(menuId)) {
        if (CControlBar* window = bar->GetMenuControlBar(); window && window->m_hWnd) {
            window->Invalidate();
            window->UpdateWindow();
        }
        RecalcLayout();
    }
    UpdateWindowListMenu();
}

void SECMDIFrameWnd::UpdateWindowListMenu()
{
    SECFrameMenuBar* bar = GetMenuBar();
    const UINT shown = bar ? bar->GetCurrentMenuId() : 0;
    HMENU windowMenu = shown ? GetWindowMenuPopup(GetMenuForId(shown)) : nullptr;
    if (windowMenu && m_hWndMDIClient && !::GetMenu(m_hWnd))
        ::SendMessageW(m_hWndMDIClient, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(windowMenu));
}

void SECMDIFrameWnd::OnUpdateFrameMenu(HMENU menuAlt)
{
    if (!GetMenuBar()) {
        CMDIFrameWnd::OnUpdateFrameMenu(menuAlt);
        return;
    }
    if (CMDIChildWnd* active = MDIGetActive())
        active->OnUpdateFrameMenu(TRUE, active, menuAlt);
    else
        UpdateWindowListMenu();
}

BOOL SECMDIFrameWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == SECGetMenuMessage()) {
        HMENU menu = GetMenuForId(static_cast<UINT>(wParam));
        *result = reinterpret_cast<LRESULT>(menu && static_cast<int>(lParam) >= 0 ? ::GetSubMenu(menu, static_cast<int>(lParam)) : nullptr);
        return TRUE;
    }
    if (OnToolkitMessage(message, wParam, lParam, result, m_nIdleFlags))
        return TRUE;
    return CMDIFrameWnd::OnWndMsg(message, wParam, lParam, result);
}

BOOL SECMDIFrameWnd::PreTranslateMessage(MSG* message)
{
    return PreTranslateToolkitMessage(message) || CMDIFrameWnd::PreTranslateMessage(message);
}

// ---- activation

BOOL SECMDIFrameWnd::IsSyncedFloatingWindow(HWND window) const
{
    return window && window != m_hWnd && ::GetWindow(window, GW_OWNER) == m_hWnd
        && ::SendMessageW(window, WM_FLOATSTATUS, FS_SYNCACTIVE, 0) != 0;
}

void SECMDIFrameWnd::NotifyFloatingWindows(WPARAM floatStatus) const
{
    std::vector<HWND> told;
    for (CControlBar* bar : m_listControlBars) {
        HWND floating = bar->m_hWnd ? ::GetAncestor(bar->m_hWnd, GA_ROOT) : nullptr;
        if (floating && floating != m_hWnd && ::GetWindow(floating, GW_OWNER) == m_hWnd && std::ranges::find(told, floating) == told.end()) {
            told.push_back(floating);
            ::SendMessageW(floating, WM_FLOATSTATUS, floatStatus, 0);
        }
    }
}

void SECMDIFrameWnd::OnActivate(UINT state, CWnd* other, BOOL)
{
    Default();
    const BOOL keep = !IsCustomizing() && (state != WA_INACTIVE || (other && IsSyncedFloatingWindow(other->m_hWnd)));
    NotifyFloatingWindows(keep ? FS_ACTIVATE : FS_DEACTIVATE);
}

LRESULT SECMDIFrameWnd::OnActivateApp(WPARAM active, LPARAM)
{
    if (CFrameWnd* floating = GetActiveFloatingFrame()) {
        ::PostMessageW(m_hWndMDIClient, WM_MDIACTIVATE, 0, 0);
        ::PostMessageW(m_hWndMDIClient, WM_NCACTIVATE, FALSE, 0);
        floating->PostMessage(WM_NCACTIVATE, active);
    }
    return Default();
}

CFrameWnd* SECMDIFrameWnd::GetActiveFrame()
{
    return m_pActiveChildOverride ? m_pActiveChildOverride : CMDIFrameWnd::GetActiveFrame();
}

CFrameWnd* SECMDIFrameWnd::GetActiveFloatingFrame() const
{
    return m_pActiveFloatingFrame && CWnd::FromHandlePermanent(m_hWndActiveFloating) == m_pActiveFloatingFrame ? m_pActiveFloatingFrame : nullptr;
}

void SECMDIFrameWnd::SetActiveFloatingFrame(CFrameWnd* frame)
{
    if (frame == GetActiveFloatingFrame())
        return;
    if (CFrameWnd* previous = GetActiveFloatingFrame()) {
        previous->SendMessage(WM_NCACTIVATE, FALSE);
        if (FocusIn(previous->m_hWnd))
            ::SetFocus(nullptr);
    }
    CMDIChildWnd* child = MDIGetActive();
    if (child) {
        if (CView* view = child->GetActiveView(); view && FocusIn(view->m_hWnd))
            view->OnActivateView(FALSE, view, view);
        child->SendMessage(WM_NCACTIVATE, FALSE); // no MDI child looks active meanwhile
    }
    m_pActiveFloatingFrame = frame;
    m_hWndActiveFloating = frame ? frame->m_hWnd : nullptr;
    if (!frame)
        return;
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    if (!FocusIn(frame->m_hWnd)) {
        if (CView* view = frame->GetActiveView())
            view->SetFocus();
        else
            frame->SetFocus();
    }
    // The menu follows the active frame: the one it was loaded with, else the frame's own.
    if (GetMenuBar()) {
        const UINT loadedWith = SECDocTemplateUtils().GetFrameResourceId(frame);
        SelectMenuBarMenu(loadedWith ? loadedWith : static_cast<UINT>(-1));
    } else {
        OnUpdateFrameMenu(nullptr);
        ::DrawMenuBar(m_hWnd);
    }
}

void SECMDIFrameWnd::EndActiveFloatingFrame(BOOL activateMDI)
{
    if (CFrameWnd* floating = GetActiveFloatingFrame()) {
        if (CView* view = floating->GetActiveView())
            view->OnActivateView(FALSE, view, view);
        floating->SendMessage(WM_NCACTIVATE, FALSE);
        m_pActiveFloatingFrame = nullptr;
        m_hWndActiveFloating = nullptr;
        if (FocusIn(floating->m_hWnd))
            ::SetFocus(nullptr);
    }
    if (!activateMDI)
        return;
    if (CMDIChildWnd* child = MDIGetActive()) {
        child->SendMessage(WM_NCACTIVATE, TRUE);
        if (!FocusIn(child->m_hWnd))
            child->SetFocus();
    }
}

UINT SECMDIFrameWnd::GetDefaultDockPlacement(SECDockPos& position, SECDockSize& size)
{
    size = { 1.0f, 150, 0 };
    const size_t count = m_dockCycle.size();
    for (size_t looked = 0; looked < count; ++looked) {
        size_t index = m_dockCycleCursor;
        m_dockCycleCursor = (m_dockCycleCursor + 1) % count;
        UINT id = m_dockCycle[index];
        if (id == 0)
            continue;
        position = { 0, 1, 2 };
        if (id == AFX_IDW_DOCKBAR_TOP || id == AFX_IDW_DOCKBAR_LEFT)
            position.flags |= 1;
        size_t before = index == 0 ? count - 1 : index - 1;
        if (count > 1 && m_dockCycle[before] == 0) {
            position.flags |= 4;
            if (position.flags & 1)
                position.column = 1;
        }
        return id;
    }
    position = { 0, 0, 4 };
    return AFX_IDW_DOCKBAR_BOTTOM;
}

CFrameWnd* SECMDIFrameWnd::GetHostedFrame(CControlBar* bar) const
{
    if (!bar || !bar->m_hWnd)
        return nullptr;
    return dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(::GetWindow(bar->m_hWnd, GW_CHILD)));
}

void SECMDIFrameWnd::SetHostedFrameFloating(CFrameWnd* frame, BOOL floating)
{
    if (!frame || !frame->m_hWnd)
        return;
    HWND window = frame->m_hWnd;
    if (floating) {
        ::SetPropW(window, kPreFloatStyle, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(frame->GetStyle())));
        ::SetPropW(window, kPreFloatExStyle, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(frame->GetExStyle())));
        // The hosting window becomes a plain child; the frame takes the MDI frame's caption and edges.
        if (HWND host = ::GetParent(window)) {
            DWORD hostStyle = static_cast<DWORD>(::GetWindowLongW(host, GWL_STYLE)) & ~GetStyle();
            ::SetWindowLongW(host, GWL_STYLE, static_cast<LONG>(hostStyle | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS));
        }
        ::SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(frame->GetStyle() | (GetStyle() & 0x10CFFFFF) | WS_CAPTION));
        ::SetWindowLongW(window, GWL_EXSTYLE, static_cast<LONG>(frame->GetExStyle() | (GetExStyle() & 0x000203A9)));
    } else if (::GetPropW(window, kPreFloatStyle)) {
        ::SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(reinterpret_cast<ULONG_PTR>(::RemovePropW(window, kPreFloatStyle))));
        ::SetWindowLongW(window, GWL_EXSTYLE, static_cast<LONG>(reinterpret_cast<ULONG_PTR>(::RemovePropW(window, kPreFloatExStyle))));
    }
    ::SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void SECMDIFrameWnd::FitHostedFrame(CFrameWnd* frame)
{
    HWND parent = frame && frame->m_hWnd ? ::GetParent(frame->m_hWnd) : nullptr;
    if (!parent)
        return;
    CRect r;
    ::GetWindowRect(parent, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    ::SetWindowPos(frame->m_hWnd, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

CPoint SECMDIFrameWnd::NextFloatPosition(const CPoint* given)
{
    CRect client;
    ::GetClientRect(m_hWndMDIClient ? m_hWndMDIClient : m_hWnd, &client);
    return given ? SECFloatCascade::Clamp(*given, client.Size()) : m_floatCascade.Next(client.Size());
}

// ---- docking with placement records

void SECMDIFrameWnd::DockControlBar(CControlBar* bar, const SECDockPos& position, UINT dockBarId, const SECDockSize& size)
{
    DockControlBarEx(bar, dockBarId, position.column, position.row, size.proportion, size.height);
}

void SECMDIFrameWnd::DockControlBarPlaced(CControlBar* bar, UINT dockBarId, int row, int column, float proportion, int height)
{
    DockControlBar(bar, SECDockPos { column, row, 0 }, dockBarId, SECDockSize { proportion, height, 0 });
}

void SECMDIFrameWnd::DockControlBarEx(CControlBar* bar, UINT dockBarId, int column, int row, float percentWidth, int height)
{
    if (!bar)
        return;
    auto* dockBar = dynamic_cast<SECDockBar*>(AfxFindDockBar(this, dockBarId));
    for (UINT id : { AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT }) {
        auto* candidate = dynamic_cast<SECDockBar*>(AfxFindDockBar(this, id));
        if (!dockBar && candidate && (bar->m_dwDockStyle & candidate->m_dwStyle & CBRS_ALIGN_ANY))
            dockBar = candidate;
    }
    if (!dockBar)
        return;
    if (auto* toolkitBar = dynamic_cast<SECControlBar*>(bar))
        toolkitBar->m_fPctWidth = percentWidth;
    // The thickness is committed for the side the bar goes to, whatever its style says now.
    const UINT side = static_cast<UINT>(dockBar->GetDlgCtrlID());
    const DWORD mode = side == AFX_IDW_DOCKBAR_TOP || side == AFX_IDW_DOCKBAR_BOTTOM ? (LM_HORZ | LM_HORZDOCK | LM_LENGTHY)
        : side == AFX_IDW_DOCKBAR_LEFT || side == AFX_IDW_DOCKBAR_RIGHT              ? LM_VERTDOCK
                                                                                     : (LM_HORZ | LM_MRUWIDTH | LM_LENGTHY);
    bar->CalcDynamicLayout(height, mode | LM_COMMIT);
    CDockBar* previous = bar->m_pDockBar;
    dockBar->DockControlBarAt(bar, column, row);
    FinishBarMove(previous, dockBar);
}

void SECMDIFrameWnd::LoadBarState(LPCWSTR profileName)
{
    SECDockState state;
    state.LoadState(profileName);
    std::vector<std::pair<UINT, CPoint>> inMainWindow;
    for (const auto& record : state.m_arrBarInfo)
        if (auto* info = dynamic_cast<const SECControlBarInfo*>(record.get()); info && info->m_bMDIChild)
            inMainWindow.emplace_back(info->m_nBarID, info->m_pointPos);
    CWinApp* app = AfxGetApp();
    if (app && !app->m_pMainWnd)
        app->m_pMainWnd = this;
    state.SetState(this);
    for (auto [id, place] : inMainWindow)
        if (CControlBar* bar = GetControlBar(id); bar && !SECIsFloatingInMainWindow(bar))
            FloatControlBarInMDIChild(bar, &place, CBRS_ALIGN_TOP);
}

void SECMDIFrameWnd::SaveBarState(LPCWSTR profileName) const
{
    SECDockState state;
    if (!state.GetState(const_cast<SECMDIFrameWnd*>(this)))
        return;
    // A bar in the main window is recorded as such, at its host frame's place; the host's dock
    // bar is not a layout of its own.
    std::erase_if(state.m_arrBarInfo, [](const std::unique_ptr<CControlBarInfo>& info) {
        return info->m_bDockBar && SECIsFloatingInMainWindow(info->m_pBar);
    });
    for (auto& record : state.m_arrBarInfo) {
        auto* info = dynamic_cast<SECControlBarInfo*>(record.get());
        CFrameWnd* host = GetMDIFloatFrame(record->m_pBar);
        if (!info || !host)
            continue;
        info->m_bMDIChild = TRUE;
        info->m_bFloating = FALSE;
        CRect place;
        host->GetWindowRect(&place);
        info->m_pointPos = place.TopLeft();
    }
    state.SaveState(profileName);
}

// ---- bars floating in a frame of their own

void SECMDIFrameWnd::FloatControlBar(CControlBar* bar, CPoint point, DWORD style)
{
    if (bar)
        CFrameWnd::FloatControlBar(bar, SECFloatPointInWorkArea(*bar, point), style);
}

BOOL SECMDIFrameWnd::FloatControlBarInMDIChild(CControlBar* bar, const CPoint* screenPoint, DWORD style)
{
    if (!bar || !bar->m_hWnd || !m_hWndMDIClient)
        return FALSE;
    if (SECIsFloatingInMainWindow(bar))
        return TRUE;
    MDIFloatToggle busy(*this); // the new host stays while it is still empty
    CFrameWnd* host = CreateMDIFloatFrame();
    CDockBar* dockBar = FloatingDockBarOf(host);
    if (!dockBar) {
        if (host)
            host->DestroyWindow();
        return FALSE;
    }
    m_mdiFloatFrames.push_back(host->m_hWnd);
    dockBar->m_pDockSite = this;
    dockBar->m_dwStyle = (dockBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI)) | (style & (CBRS_ALIGN_ANY | CBRS_FLOAT_MULTI));
    CDockBar* previous = bar->m_pDockBar;
    dockBar->DockControlBar(bar);
    // The host takes the bar's floating size, at the given place or the next one of the cascade.
    CRect frame(CPoint(), bar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH));
    ::AdjustWindowRectEx(&frame, host->GetStyle(), FALSE, host->GetExStyle());
    CPoint given;
    if (screenPoint) {
        given = *screenPoint;
        ::ScreenToClient(m_hWndMDIClient, &given);
    }
    const CPoint place = NextFloatPosition(screenPoint ? &given : nullptr);
    host->SetWindowPos(nullptr, place.x, place.y, frame.Width(), frame.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    host->RecalcLayout();
    if (bar->GetStyle() & WS_VISIBLE) {
        host->ShowWindow(SW_SHOW);
        MDIActivate(host);
    }
    FinishBarMove(previous, dockBar);
    return TRUE;
}

CFrameWnd* SECMDIFrameWnd::GetMDIFloatFrame(const CControlBar* bar) const
{
    if (!SECIsFloatingInMainWindow(bar))
        return nullptr;
    const CDockBar* dockBar = bar->IsDockBar() ? static_cast<const CDockBar*>(bar) : bar->m_pDockBar;
    return dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(dockBar->m_hWnd)));
}

CWnd* SECMDIFrameWnd::CreateClient()
{
    if (!m_pClientClass)
        return nullptr;
    auto* client = dynamic_cast<CWnd*>(m_pClientClass->CreateObject());
    if (!client)
        AfxThrowMemoryException();
    if (!client->Create(nullptr, L"", SEC_MDIFLOATFRAME_STYLE, CRect(), this, IDR_SEC_MDIFLOATFRAME)) {
        delete client;
        return nullptr;
    }
    return client;
}

CFrameWnd* SECMDIFrameWnd::CreateMDIFloatFrame()
{
    if (!m_pMDIFloatFrameClass || !m_pMDIFloatFrameClass->IsDerivedFrom(RUNTIME_CLASS(CFrameWnd)))
        return nullptr;
    auto* frame = dynamic_cast<CFrameWnd*>(m_pMDIFloatFrameClass->CreateObject());
    if (!frame)
        return nullptr;
    if (!frame->LoadFrame(IDR_SEC_MDIFLOATFRAME, SEC_MDIFLOATFRAME_STYLE, this, nullptr)) {
        // A frame owns itself once its window was made; one that was never made is deleted here.
        if (frame->m_hWnd)
            frame->DestroyWindow();
        else
            delete frame;
        return nullptr;
    }
    return frame;
}

SECMDIFrameWnd::MDIFloatToggle::MDIFloatToggle(SECMDIFrameWnd& frame)
    : m_frame(frame)
    , m_wasToggling(std::exchange(frame.m_bTogglingMDIFloat, TRUE))
{
}

SECMDIFrameWnd::MDIFloatToggle::~MDIFloatToggle()
{
    m_frame.m_bTogglingMDIFloat = m_wasToggling;
}

void SECMDIFrameWnd::RecalcLayout(BOOL notify)
{
    const BOOL nested = m_bInRecalcLayout;
    CMDIFrameWnd::RecalcLayout(notify); // shows and hides the bars first
    if (!m_bTogglingMDIFloat && !nested)
        TidyMDIFloatFrames();
}

void SECMDIFrameWnd::TidyMDIFloatFrames()
{
    std::erase_if(m_mdiFloatFrames, [](HWND host) { return !::IsWindow(host); });
    for (HWND window : std::vector<HWND>(m_mdiFloatFrames)) {
        CWnd* host = CWnd::FromHandlePermanent(window);
        CDockBar* dockBar = FloatingDockBarOf(host);
        CControlBar* bar = dockBar ? FirstBarOf(dockBar) : nullptr;
        if (!bar) {
            std::erase(m_mdiFloatFrames, window);
            if (host)
                host->DestroyWindow();
        } else if (const bool shown = bar->IsVisible(); shown != static_cast<bool>(host->IsWindowVisible())) {
            host->ShowWindow(shown ? SW_SHOW : SW_HIDE);
        }
    }
}

// ---- caption buttons

void SECMDIFrameWnd::UpdateCaptionFilters(UINT flags)
{
    const BOOL on = flags & 1;
    ApplyCaptionFlags(m_filterRoot, m_filterTable, on, TRUE, TRUE, TRUE);
}

// ---- the bars' context menu and help

LRESULT SECMDIFrameWnd::OnAddContextMenuItems(WPARAM wParam, LPARAM lParam)
{
    auto* bar = reinterpret_cast<CControlBar*>(wParam);
    auto* menu = reinterpret_cast<CMenu*>(lParam);
    if (!bar || !menu)
        return 0;
    const BOOL inMainWindow = SECIsFloatingInMainWindow(bar);
    if (inMainWindow)
        menu->EnableMenuItem(ID_SEC_ALLOWDOCKING, MF_BYCOMMAND | MF_GRAYED);
    auto* toolkitBar = dynamic_cast<SECControlBar*>(bar);
    if (toolkitBar && (toolkitBar->GetExBarStyle() & CBRS_EX_MDIFLOAT)) {
        // Without a host class the bar cannot go into the main window: the item is shown greyed.
        const UINT state = (inMainWindow ? MF_CHECKED : MF_UNCHECKED) | (inMainWindow || m_pMDIFloatFrameClass ? MF_ENABLED : MF_GRAYED);
        menu->AppendMenu(MF_SEPARATOR);
        menu->AppendMenu(MF_STRING | state, ID_SEC_FLOATINMAINWINDOW, ResourceText(ID_SEC_FLOATINMAINWINDOW, L"Float In Main Window"));
    }
    return 0;
}

LRESULT SECMDIFrameWnd::OnCommandHelp(WPARAM wParam, LPARAM lParam)
{
    auto helpId = static_cast<DWORD>(lParam);
    const UINT tracked = m_nIDLastMessage;
    const bool tracking = tracked != 0 && tracked != AFX_IDS_IDLEMESSAGE && tracked != AFX_IDS_HELPMODEMESSAGE;
    if (helpId == 0 && tracking)
        helpId = HID_BASE_COMMAND + tracked;
    CFrameWnd* floating = GetActiveFloatingFrame();
    CWnd* first = floating ? static_cast<CWnd*>(floating) : MDIGetActive();
    if (first && first->SendMessage(WM_COMMANDHELP, wParam, helpId))
        return TRUE;
    if (helpId == 0)
        helpId = HID_BASE_RESOURCE + m_nIDHelp;
    WinHelp(helpId);
    return TRUE;
}

void SECMDIFrameWnd::OnContextHelp()
{
    if (const DWORD helpId = SECTrackContextHelp(this))
        WinHelp(helpId);
}

BOOL SECMDIFrameWnd::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (m_pActiveChildOverride) {
        if (m_pActiveChildOverride->OnCmdMsg(id, code, extra, handlerInfo))
            return TRUE;
        return CFrameWnd::OnCmdMsg(id, code, extra, handlerInfo);
    }
    return CMDIFrameWnd::OnCmdMsg(id, code, extra, handlerInfo);
}

void SECMDIFrameWnd::OnUpdateFrameTitle(BOOL addToTitle)
{
    m_nIdleFlags &= ~idleTitle;
    // Without add-to-title no active frame is asked, so nothing is added.
    if (!addToTitle || !m_bAddToTitle)
        return;
    CFrameWnd* floating = GetActiveFloatingFrame();
    CFrameWnd* active = floating ? floating : GetActiveFrame();
    bool maximized = active && active != this && ::IsZoomed(active->m_hWnd);
    CDocument* document = nullptr;
    if (active && active != this && !maximized)
        document = active->GetActiveDocument();
    CString title = m_strTitle;
    CString added;
    if (document)
        added = document->GetTitle();
    else if (active && active != this) {
        wchar_t text[256] = {};
        ::GetWindowTextW(active->m_hWnd, text, 256);
        added = text;
    }
    if (!added.IsEmpty())
        title = m_strTitle.IsEmpty() ? added : added + L" - " + m_strTitle;
    SetWindowText(title);
}

// ---- the toolkit's caption

BOOL SECMDIFrameWnd::EnableToolkitCaption(BOOL enable, BOOL redraw)
{
    const BOOL previous = std::exchange(m_bToolkitCaption, enable);
    if (redraw && m_hWnd) {
        RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        PostMessage(WM_NCACTIVATE, ::GetActiveWindow() == m_hWnd);
    }
    return previous;
}

BOOL SECMDIFrameWnd::KeepsCaptionActive(BOOL activating) const
{
    if (activating)
        return TRUE;
    const HWND foreground = ::GetForegroundWindow();
    return GetActiveFloatingFrame() && foreground && ::GetAncestor(foreground, GA_ROOT) == m_hWnd;
}

void SECMDIFrameWnd::DrawToolkitCaption()
{
    // The default activation paints the frame in the state it is given, and nothing else.
    CMDIFrameWnd::DefWindowProc(WM_NCACTIVATE, m_bCaptionActive, 0);
}

LRESULT SECMDIFrameWnd::OnToolkitCaptionMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (message == WM_NCACTIVATE) {
        m_bCaptionActive = KeepsCaptionActive(static_cast<BOOL>(wParam));
        result = CMDIFrameWnd::WindowProc(message, m_bCaptionActive, lParam);
        if (CMDIChildWnd* child = MDIGetActive()) {
            child->SendMessage(WM_NCACTIVATE, m_bCaptionActive);
            child->SendMessage(WM_NCPAINT, 1);
        }
    } else {
        // The default painting knows only the system's active window; the caption follows.
        result = CMDIFrameWnd::WindowProc(message, wParam, lParam);
        DrawToolkitCaption();
    }
    LRESULT ignored = 0;
    m_filterRoot.Filter(message, message == WM_NCACTIVATE ? m_bCaptionActive : wParam, lParam, &ignored);
    return result;
}

LRESULT SECMDIFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SysCommandExMessage()) {
        LRESULT result = 0;
        m_filterRoot.Filter(message, wParam, lParam, &result);
        return result;
    }
    // Going inactive for a floating window of its own, the frame keeps its active look.
    if (message == WM_NCACTIVATE && !wParam && !IsCustomizing() && IsSyncedFloatingWindow(::GetActiveWindow()))
        wParam = TRUE;
    if (m_bToolkitCaption && (message == WM_NCACTIVATE || message == WM_NCPAINT || message == WM_SETTEXT))
        return OnToolkitCaptionMessage(message, wParam, lParam);
    return RouteThroughFilters(m_filterRoot, FrameTurn(message), message, wParam, lParam,
        [&] { return CMDIFrameWnd::WindowProc(message, wParam, lParam); });
}

// ---- a document frame

SECMDIChildWnd::SECMDIChildWnd()
{
    m_filterTable.Add(257, SECMsgFilter::RootId, RUNTIME_CLASS(ScxMsgFilter));
    m_filterTable.Add(256, SECMsgFilter::RootId, RUNTIME_CLASS(SECCaptionControlListMsgFilter), SECMsgFilter::Descriptor::KeepStateWhenDisabled);
    m_filterTable.Add(258, 256, RUNTIME_CLASS(ScxButtonMDIChildMsgFilter));
    m_filterTable.Add(259, SECMsgFilter::RootId, RUNTIME_CLASS(ScxCaptionNCRDBLClkFilter));
    m_filterTable.Add(262, SECMsgFilter::RootId, RUNTIME_CLASS(ScxContextMenuFilter));
}

void SECMDIChildWnd::UpdateCaptionFilters(UINT flags)
{
    ApplyCaptionFlags(m_filterRoot, m_filterTable, flags & 1, !(flags & 2), !(flags & 4), !(flags & 8));
}

SECMDIFrameWnd* SECMDIChildWnd::GetToolkitFrame() const
{
    return dynamic_cast<SECMDIFrameWnd*>(GetMDIFrame());
}

BOOL SECMDIChildWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context)
{
    // Known before the window is made: the client activates the new child at once.
    auto* frame = dynamic_cast<SECMDIFrameWnd*>(parent ? parent : AfxGetMainWnd());
    m_nMenuId = frame && frame->GetMenuBar() ? resourceId : 0;
    return CMDIChildWnd::LoadFrame(resourceId, style, parent, context);
}

void SECMDIChildWnd::OnUpdateFrameMenu(BOOL active, CWnd* activateWnd, HMENU menuAlt)
{
    SECMDIFrameWnd* frame = GetToolkitFrame();
    if (!frame || !frame->GetMenuBar()) {
        CMDIChildWnd::OnUpdateFrameMenu(active, activateWnd, menuAlt);
        return;
    }
    if (::GetMenu(frame->m_hWnd)) {
        ::SetMenu(frame->m_hWnd, nullptr);
        ::DrawMenuBar(frame->m_hWnd);
    }
    frame->UpdateWindowListMenu();
}

void SECMDIChildWnd::FollowActivationWithMenu(BOOL activate, HWND activated)
{
    SECMDIFrameWnd* frame = GetToolkitFrame();
    if (!frame || !frame->GetMenuBar())
        return;
    if (activate) {
        if (m_nMenuId)
            frame->SelectMenuBarMenu(m_nMenuId);
        return;
    }
    if (activated)
        return; // the child activated next shows its own menu
    // No child is active any more: the frame's own menu, unless a child stays to be activated.
    bool childStays = false;
    for (HWND child = ::GetWindow(frame->m_hWndMDIClient, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        childStays = childStays || (child != m_hWnd && ::IsWindowVisible(child));
    if (m_nMenuId || !childStays)
        frame->SelectMenuBarMenu(static_cast<UINT>(-1));
}

LRESULT SECMDIChildWnd::OnNcActivate(WPARAM active, LPARAM lParam)
{
    // No child looks active while a frame outside the client is the active one.
    SECMDIFrameWnd* frame = GetToolkitFrame();
    CFrameWnd* activeFrame = frame ? frame->GetActiveFrame() : nullptr;
    bool drawActive = active && (!frame || !frame->GetActiveFloatingFrame())
        && (!activeFrame || activeFrame == frame || dynamic_cast<SECMDIChildWnd*>(activeFrame));
    LRESULT answer = CMDIChildWnd::WindowProc(WM_NCACTIVATE, drawActive, lParam);
    LRESULT ignored = 0;
    m_filterRoot.Filter(WM_NCACTIVATE, drawActive, lParam, &ignored);
    return answer;
}

void SECMDIChildWnd::ActivateByMouse()
{
    SECMDIFrameWnd* frame = GetToolkitFrame();
    if (!frame)
        return;
    frame->EndActiveFloatingFrame(FALSE);
    frame->SetActiveChild(nullptr); // this child, not a stand-in, is the active one now
    if (frame->MDIGetActive() != this)
        MDIActivate();
    if (CView* view = GetActiveView(); view && !FocusIn(view->m_hWnd))
        view->OnActivateView(TRUE, view, view);
    SendMessage(WM_NCACTIVATE, TRUE);
    OnUpdateFrameTitle(TRUE);
    ActivateFrameMenu(this);
    ::DrawMenuBar(frame->m_hWnd);
}

LRESULT SECMDIChildWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SysCommandExMessage()) {
        LRESULT result = 0;
        m_filterRoot.Filter(message, wParam, lParam, &result);
        return result;
    }
    switch (message) {
    case WM_NCACTIVATE:
        return OnNcActivate(wParam, lParam);
    case WM_MDIACTIVATE: {
        LRESULT answer = CMDIChildWnd::WindowProc(message, wParam, lParam);
        const auto activated = reinterpret_cast<HWND>(lParam);
        // A child activated while another window is the active one brings its frame to the front.
        if (SECMDIFrameWnd* frame = GetToolkitFrame(); frame && activated == m_hWnd && ::GetActiveWindow() != frame->m_hWnd)
            frame->SetFocus();
        FollowActivationWithMenu(activated == m_hWnd, activated);
        return answer;
    }
    case WM_MOUSEACTIVATE: {
        if (SECMDIFrameWnd* frame = GetToolkitFrame())
            frame->EndActiveFloatingFrame(FALSE);
        LRESULT answer = CMDIChildWnd::WindowProc(message, wParam, lParam);
        ActivateByMouse();
        if (SECMDIFrameWnd* frame = GetToolkitFrame(); frame && m_nMenuId)
            frame->SelectMenuBarMenu(m_nMenuId);
        return answer;
    }
    case WM_PARENTNOTIFY: {
        LRESULT answer = CMDIChildWnd::WindowProc(message, wParam, lParam);
        WORD event = LOWORD(wParam);
        CView* view = GetActiveView();
        if ((event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN) && view && !FocusIn(view->m_hWnd))
            ActivateByMouse();
        return answer;
    }
    case WM_CHILDACTIVATE: {
        if (SECMDIFrameWnd* frame = GetToolkitFrame())
            frame->EndActiveFloatingFrame(FALSE);
        LRESULT answer = CMDIChildWnd::WindowProc(message, wParam, lParam);
        SendMessage(WM_NCACTIVATE, TRUE);
        return answer;
    }
    }
    return RouteThroughFilters(m_filterRoot, ChildTurn(message, lParam), message, wParam, lParam,
        [&] { return CMDIChildWnd::WindowProc(message, wParam, lParam); });
}
