#include "framework/SysCommandEx.h"

#include "framework/ControlBar.h"
#include "framework/FrameBar.h"
#include "framework/FrameWnd.h"
#include "framework/MdiFrameWnd.h"
#include "framework/RegisteredMessages.h"
#include "framework/ResourceText.h"
#include "platform/gdi/CaptionGlyphs.h"
#include "platform/gdi/Gdi.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/DockContext.h"
#include "platform/mfc/WinApp.h"

#include <memory>

namespace nsSysCommandEx {

IMPLEMENT_DYNCREATE(ScxMsgFilter, SECMsgFilter)
IMPLEMENT_DYNCREATE(ScxButtonMsgFilter, SECCaptionControlMsgFilter)
IMPLEMENT_DYNCREATE(ScxButtonMDIChildMsgFilter, ScxButtonMsgFilter)
IMPLEMENT_DYNCREATE(ScxButtonMDIMaxChildMsgFilter, ScxButtonMsgFilter)
IMPLEMENT_DYNCREATE(ScxCaptionNCRDBLClkFilter, SECCaptionMsgFilter)
IMPLEMENT_DYNCREATE(ScxNCRDBLClkMDIMaxChildMsgFilter, SECNcMsgFilter)
IMPLEMENT_DYNCREATE(ScxContextMenuFilter, SECMsgFilter)

namespace {

constexpr UINT Stopped = MsgFilterConsumed | MsgFilterStop;
constexpr DWORD HostedStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU;

// Hosting bars take ids from the upper half of the control-bar range, one per bar alive.
UINT NextHostingBarId()
{
    static UINT next = 0;
    next = (next + 1) % 0x70;
    return AFX_IDW_CONTROLBAR_FIRST + 0x80 + next;
}

BOOL IsMDIChild(const CWnd* window)
{
    return window && ::IsWindow(window->m_hWnd) && (window->GetExStyle() & WS_EX_MDICHILD);
}

// The MDI client of a frame, or null.
HWND MDIClientOf(const CWnd* frame)
{
    if (!frame || !::IsWindow(frame->m_hWnd))
        return nullptr;
    for (HWND child = ::GetWindow(frame->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] {};
        ::GetClassNameW(child, name, 16);
        if (CString(name).CompareNoCase(L"MDICLIENT") == 0)
            return child;
    }
    return nullptr;
}

// The frame whose MDI client holds an MDI child, or null.
CFrameWnd* MDIFrameOf(const CWnd* child)
{
    HWND client = IsMDIChild(child) ? ::GetParent(child->m_hWnd) : nullptr;
    auto* frame = client ? dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(client))) : nullptr;
    return frame && MDIClientOf(frame) == client ? frame : nullptr;
}

// Where the plain "Docked" takes an MDI child: the MDI frame's next default side, else the top.
UINT DefaultDockBarFor(const CWnd* child)
{
    auto* frame = dynamic_cast<SECMDIFrameWnd*>(MDIFrameOf(child));
    SECDockPos position;
    SECDockSize size;
    return frame ? frame->GetDefaultDockPlacement(position, size) : AFX_IDW_DOCKBAR_TOP;
}

// The active child of an MDI frame when it is maximised, or null.
CWnd* MaximisedChildOf(const CWnd* frame)
{
    HWND client = MDIClientOf(frame);
    if (!client)
        return nullptr;
    BOOL maximised = FALSE;
    HWND active = reinterpret_cast<HWND>(::SendMessageW(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximised)));
    return active && maximised ? CWnd::FromHandle(active) : nullptr;
}

// Sends the extended command for `window` with a record at the point.
LRESULT SendCommand(CWnd* window, WPARAM code, CPoint point, DWORD flags = 0)
{
    SysCommandExInfo info;
    info.window = window->m_hWnd;
    info.flags = flags;
    info.x = point.x;
    info.y = point.y;
    return window->SendMessage(SysCommandExMessage(), code, reinterpret_cast<LPARAM>(&info));
}

CPoint PointOf(LPARAM lParam) { return CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); }

struct SideOfDockBar {
    UINT dockBarId;
    int placement;
    DWORD alignment; // the side, with the border on the opposite side
};
constexpr SideOfDockBar Sides[] = {
    { AFX_IDW_DOCKBAR_TOP, DockedTop, CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM },
    { AFX_IDW_DOCKBAR_LEFT, DockedLeft, CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT },
    { AFX_IDW_DOCKBAR_RIGHT, DockedRight, CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT },
    { AFX_IDW_DOCKBAR_BOTTOM, DockedBottom, CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP },
};

const SideOfDockBar* SideOfPlacement(int placement)
{
    for (const SideOfDockBar& side : Sides)
        if (side.placement == placement)
            return &side;
    return nullptr;
}

const SideOfDockBar* SideOfDockBarId(UINT dockBarId)
{
    for (const SideOfDockBar& side : Sides)
        if (side.dockBarId == dockBarId)
            return &side;
    return nullptr;
}


} // namespace

UINT SysCommandExMessage()
{
    return SECSysCommandExMessage();
}

int GetGroup(int placement)
{
    if (placement >= MDIChild && placement <= MDIRestored)
        return MDIChild;
    if (placement >= Docked && placement <= DockedBottom)
        return Docked;
    return placement == Floating ? Floating : NoPlacement;
}

CControlBar* HostingBar(CWnd* frame)
{
    if (!frame || !::IsWindow(frame->m_hWnd))
        return nullptr;
    return dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(::GetParent(frame->m_hWnd)));
}

int CurrentPlacement(CWnd* window)
{
    if (IsMDIChild(window)) {
        if (::IsZoomed(window->m_hWnd))
            return MDIMaximized;
        return ::IsIconic(window->m_hWnd) ? MDIMinimized : MDIRestored;
    }
    CControlBar* bar = HostingBar(window);
    if (!bar)
        return NoPlacement;
    if (bar->IsFloating())
        return Floating;
    const SideOfDockBar* side = bar->m_pDockBar ? SideOfDockBarId(static_cast<UINT>(bar->m_pDockBar->GetDlgCtrlID())) : nullptr;
    return side ? side->placement : NoPlacement;
}

void FitIntoHostingBar(CControlBar* bar)
{
    HWND frame = bar && ::IsWindow(bar->m_hWnd) ? ::GetWindow(bar->m_hWnd, GW_CHILD) : nullptr;
    if (!frame)
        return;
    CRect inside;
    bar->GetClientRect(&inside);
    bar->CalcInsideRect(inside, !bar->IsVertDocked());
    ::SetWindowPos(frame, nullptr, inside.left, inside.top, inside.Width(), inside.Height(),
        SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void DestroyHostingBar(CControlBar* bar)
{
    CFrameWnd* site = bar->GetDockingFrame();
    ::DestroyWindow(bar->IsFloating() ? ::GetAncestor(bar->m_hWnd, GA_ROOT) : bar->m_hWnd);
    if (site)
        site->RecalcLayout();
}

// ---- the receiver

UINT ScxMsgFilter::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    auto* info = reinterpret_cast<SysCommandExInfo*>(lParam);
    if (message != SysCommandExMessage() || !info)
        return 0;
    const WPARAM code = wParam & ~WPARAM(0xF);
    if (!m_busy) {
        if (!IsExtendedCommand(code))
            return 0;
        std::unique_ptr<SECMsgFilter> clone(Clone());
        auto* worker = dynamic_cast<ScxMsgFilter*>(clone.get());
        if (!worker)
            return 0;
        worker->m_busy = TRUE;
        const UINT handled = worker->WindowProc(message, wParam, lParam, result);
        return (handled & MsgFilterHandled) ? handled | MsgFilterStop : handled;
    }
    UINT handled = 0;
    switch (code) {
    case SCX_EXECUTE: handled = OnExecute(*info, result); break;
    case SCX_QUERYMENU: handled = OnQueryMenu(*info, result); break;
    case SCX_SHOWMENU: handled = OnShowMenu(*info, result); break;
    default: return 0;
    }
    if (CWnd* target = GetPlacementTarget(*info); target && ::IsWindow(target->m_hWnd))
        target->SendMessage(WM_NCPAINT, 1);
    return handled;
}

CWnd* ScxMsgFilter::GetPlacementTarget(const SysCommandExInfo& info) const
{
    if (!::IsWindow(info.window))
        return nullptr;
    CWnd* target = CWnd::FromHandle(info.window);
    if ((info.flags & SCXF_HELD) && IsMDIChild(target) && ::IsZoomed(target->m_hWnd)) {
        // The maximised child's frame: the parent of its MDI client.
        if (HWND client = ::GetParent(target->m_hWnd))
            if (HWND frame = ::GetParent(client))
                target = CWnd::FromHandle(frame);
    }
    return target;
}

UINT ScxMsgFilter::OnExecute(SysCommandExInfo& info, LRESULT* result)
{
    auto* frame = dynamic_cast<CFrameWnd*>(GetPlacementTarget(info));
    BOOL done = FALSE;
    if (frame) {
        const int placement = info.command == ChooseOne ? ChooseCommand(GetCurrentState(frame)) : info.command;
        switch (GetGroup(placement)) {
        case MDIChild: done = MakeMDIChild(frame, placement); break;
        case Docked: done = Dock(frame, placement, info); break;
        case Floating: done = Float(frame); break;
        default: break;
        }
    }
    if (result)
        *result = done;
    return Stopped;
}

UINT ScxMsgFilter::OnQueryMenu(SysCommandExInfo& info, LRESULT* result)
{
    info.menu = BuildMenuFor(GetPlacementTarget(info));
    if (result)
        *result = info.menu != nullptr;
    return Stopped;
}

UINT ScxMsgFilter::OnShowMenu(SysCommandExInfo& info, LRESULT* result)
{
    HMENU menu = GetMenu(info);
    const int chosen = menu ? TrackMenu(menu, info) : 0;
    BOOL done = FALSE;
    if (chosen)
        done = RunCommand(chosen, info);
    if (menu)
        ::DestroyMenu(menu);
    info.menu = nullptr;
    if (result)
        *result = done;
    return Stopped;
}

HMENU ScxMsgFilter::GetMenu(SysCommandExInfo& info)
{
    if (info.menu)
        return info.menu;
    SysCommandExInfo query = info;
    if (::IsWindow(info.window))
        ::SendMessageW(info.window, SysCommandExMessage(), SCX_QUERYMENU, reinterpret_cast<LPARAM>(&query));
    // A window that does not answer the query gets the menu of its own placement.
    return query.menu ? query.menu : BuildMenuFor(GetPlacementTarget(info));
}

int ScxMsgFilter::TrackMenu(HMENU menu, const SysCommandExInfo& info)
{
    CPoint at(info.x, info.y);
    if (at.x < 0) {
        CRect client;
        ::GetClientRect(info.window, &client);
        at = client.CenterPoint();
        ::ClientToScreen(info.window, &at);
    }
    return static_cast<int>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, info.window, nullptr));
}

BOOL ScxMsgFilter::RunCommand(int placement, SysCommandExInfo& info)
{
    info.command = placement;
    LRESULT done = FALSE;
    OnExecute(info, &done);
    return static_cast<BOOL>(done);
}

HMENU ScxMsgFilter::BuildMenuFor(CWnd* target)
{
    return target ? BuildMenu(GetCurrentState(target)) : nullptr;
}

HMENU ScxMsgFilter::BuildMenu(int current)
{
    struct Item {
        int placement;
        UINT textId;
        LPCWSTR text;
    };
    auto append = [](HMENU menu, const Item& item, bool checked) {
        ::AppendMenuW(menu, MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED), static_cast<UINT_PTR>(item.placement),
            ResourceText(item.textId, item.text));
    };
    auto submenu = [&](HMENU menu, UINT textId, LPCWSTR text, std::initializer_list<Item> items) {
        HMENU sub = ::CreatePopupMenu();
        for (const Item& item : items)
            append(sub, item, item.placement == current);
        ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), ResourceText(textId, text));
    };
    HMENU menu = ::CreatePopupMenu();
    for (const Item& item : { Item { Docked, IDS_SCX_DOCKED, L"&Docked" }, Item { Floating, IDS_SCX_FLOATING, L"&Floating" },
             Item { MDIChild, IDS_SCX_MDICHILD, L"&MDI Child" } })
        append(menu, item, GetGroup(current) != NoPlacement && GetGroup(item.placement) == GetGroup(current));
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    submenu(menu, IDS_SCX_DOCKEDTO, L"D&ocked to",
        { { DockedTop, IDS_SCX_TOP, L"&Top" }, { DockedLeft, IDS_SCX_LEFT, L"&Left" }, { DockedBottom, IDS_SCX_BOTTOM, L"&Bottom" },
            { DockedRight, IDS_SCX_RIGHT, L"&Right" } });
    submenu(menu, IDS_SCX_MDICHILDAS, L"MD&I Child as",
        { { MDIMinimized, IDS_SCX_MINIMIZED, L"Mi&nimized" }, { MDIMaximized, IDS_SCX_MAXIMIZED, L"Ma&ximized" },
            { MDIRestored, IDS_SCX_RESTORED, L"&Restored" } });
    return menu;
}

int ScxMsgFilter::ChooseCommand(int current) const
{
    return GetGroup(current) == MDIChild ? Docked : MDIChild;
}

// ---- placements

BOOL ScxMsgFilter::MakeMDIChild(CFrameWnd* frame, int placement)
{
    if (!IsMDIChild(frame) && !MoveIntoMDIClient(frame))
        return FALSE;
    const int show = placement == MDIMaximized ? SW_SHOWMAXIMIZED : placement == MDIMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    frame->ShowWindow(show);
    ::SendMessageW(::GetParent(frame->m_hWnd), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame->m_hWnd), 0);
    CRect inner;
    frame->GetClientRect(&inner);
    frame->PostMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(inner.Width(), inner.Height()));
    return IsMDIChild(frame);
}

BOOL ScxMsgFilter::Dock(CFrameWnd* frame, int placement, const SysCommandExInfo& info)
{
    const SideOfDockBar* side = SideOfPlacement(placement);
    CControlBar* bar = nullptr;
    if (IsMDIChild(frame)) {
        if (!side)
            side = SideOfDockBarId(DefaultDockBarFor(frame));
        // Without that dock bar the frame stays where it is.
        bar = side && AfxFindDockBar(MDIFrameOf(frame), side->dockBarId) ? MoveIntoHostingBar(frame) : nullptr;
    } else if ((bar = HostingBar(frame)) && !side) {
        // The plain "Docked": a floating frame docks where it was last, a docked one stays.
        if (bar->IsFloating() && !info.flags)
            return ToggleHostingBar(bar, nullptr, nullptr) && !bar->IsFloating();
        return !bar->IsFloating();
    }
    if (!bar)
        return FALSE;
    bar->SetBarStyle((bar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY)) | side->alignment);
    return DockHostingBar(bar, side->dockBarId);
}

BOOL ScxMsgFilter::Float(CFrameWnd* frame, const CPoint* floatPoint, const CSize* floatSize)
{
    CControlBar* bar = HostingBar(frame);
    if (bar && bar->IsFloating())
        return TRUE; // already there: toggling would dock it
    CPoint stood;
    if (!bar && IsMDIChild(frame)) {
        // An MDI child floats where it stood.
        CRect place;
        frame->GetWindowRect(&place);
        stood = place.TopLeft();
        bar = MoveIntoHostingBar(frame);
        if (!floatPoint)
            floatPoint = &stood;
    }
    return bar && ToggleHostingBar(bar, floatPoint, floatSize) && bar->IsFloating();
}

BOOL ScxMsgFilter::MoveIntoMDIClient(CFrameWnd* frame)
{
    CControlBar* bar = HostingBar(frame);
    CFrameWnd* site = bar ? bar->GetDockingFrame() : nullptr;
    HWND client = MDIClientOf(site);
    if (!client)
        return FALSE;
    auto* mdiFrame = dynamic_cast<SECMDIFrameWnd*>(site);
    if (mdiFrame)
        mdiFrame->SetHostedFrameFloating(frame, FALSE);
    CRect place;
    frame->GetWindowRect(&place);
    frame->ModifyStyle(WS_VISIBLE, MDIChildFrameStyle);
    frame->ModifyStyleEx(0, WS_EX_MDICHILD);
    ::SetParent(frame->m_hWnd, client);
    const CPoint at = mdiFrame ? mdiFrame->NextFloatPosition(nullptr) : CPoint();
    ::SetWindowPos(frame->m_hWnd, HWND_TOP, at.x, at.y, place.Width(), place.Height(), SWP_NOACTIVATE | SWP_FRAMECHANGED);
    DestroyHostingBar(bar); // the bar was only the frame's house
    ::SendMessageW(client, WM_MDIREFRESHMENU, 0, 0); // the client takes the frame in
    return TRUE;
}

CControlBar* ScxMsgFilter::MoveIntoHostingBar(CFrameWnd* frame)
{
    CFrameWnd* site = MDIFrameOf(frame);
    if (!site)
        return nullptr;
    HWND client = ::GetParent(frame->m_hWnd);
    wchar_t title[256] {};
    ::GetWindowTextW(frame->m_hWnd, title, 256);
    auto* bar = new SECFrameBar;
    if (!bar->Create(site, title, WS_VISIBLE | CBRS_TOP, CBRS_EX_SIZECHILDTOFIT, NextHostingBarId())) {
        delete bar;
        return nullptr;
    }
    bar->m_bAutoDelete = TRUE;
    bar->EnableDocking(CBRS_ALIGN_ANY);
    if (::IsZoomed(frame->m_hWnd) || ::IsIconic(frame->m_hWnd))
        frame->ShowWindow(SW_RESTORE);
    CRect place;
    frame->GetWindowRect(&place);
    bar->m_szHorzDocked = bar->m_szVertDocked = bar->m_szFloat = place.Size();
    frame->ModifyStyleEx(WS_EX_MDICHILD | WS_EX_NOPARENTNOTIFY, 0); // the bar goes when the frame does
    frame->ModifyStyle(WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, HostedStyle);
    ::SetParent(frame->m_hWnd, bar->m_hWnd);
    ::SendMessageW(client, WM_MDIREFRESHMENU, 0, 0); // the client lets the frame go
    return bar;
}

BOOL ScxMsgFilter::DockHostingBar(CControlBar* bar, UINT dockBarId)
{
    CFrameWnd* site = bar->GetDockingFrame();
    if (!site)
        return FALSE;
    if (auto* toolkitFrame = dynamic_cast<SECFrameWnd*>(site))
        toolkitFrame->DockControlBarEx(bar, dockBarId, 0, 0, 1.0f, 150);
    else
        site->DockControlBar(bar, dockBarId);
    site->RecalcLayout();
    FitIntoHostingBar(bar);
    return bar->m_pDockBar && static_cast<UINT>(bar->m_pDockBar->GetDlgCtrlID()) == dockBarId;
}

BOOL ScxMsgFilter::ToggleHostingBar(CControlBar* bar, const CPoint* floatPoint, const CSize* floatSize)
{
    CDockContext* context = bar->m_pDockContext.get();
    if (!context)
        return FALSE;
    // The float point is for this one toggle only.
    const CPoint lastFloatPoint = context->m_ptMRUFloatPos;
    if (floatPoint)
        context->m_ptMRUFloatPos = *floatPoint;
    if (auto* toolkitBar = dynamic_cast<SECControlBar*>(bar); toolkitBar && floatSize)
        toolkitBar->m_szFloat = *floatSize;
    context->ToggleDocking();
    if (floatPoint)
        context->m_ptMRUFloatPos = lastFloatPoint;
    FitIntoHostingBar(bar);
    return TRUE;
}

// ---- the extra caption button

ScxButtonMsgFilter::ScxButtonMsgFilter(CWnd* window, int id)
    : SECCaptionControlMsgFilter(window, id)
{
    m_repeatDelay = HoldDelay;
}

UINT ScxButtonMsgFilter::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    UINT handled = SECCaptionControlMsgFilter::WindowProc(message, wParam, lParam, result);
    const bool press = message == WM_NCLBUTTONDOWN || message == WM_NCRBUTTONDOWN || message == WM_LBUTTONUP;
    if (press && (handled & MsgFilterHandled))
        handled |= MsgFilterStop;
    return handled;
}

void ScxButtonMsgFilter::Draw()
{
    if (m_rect.IsRectEmpty() || !m_window || !::IsWindow(m_window->m_hWnd))
        return;
    const BOOL pushed = (m_state & DFCS_PUSHED) != 0;
    HDC dc = ::GetWindowDC(m_window->m_hWnd);
    CRect face = m_rect;
    ::DrawEdge(dc, &face, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
    ::FillRect(dc, &face, ::GetSysColorBrush(COLOR_BTNFACE));
    const int offset = pushed ? 1 : 0;
    const POINT cell { m_rect.left + (m_rect.Width() - fln::gdi::kCaptionGlyphCell) / 2 + offset,
        m_rect.top + (m_rect.Height() - fln::gdi::kCaptionGlyphCell) / 2 + offset };
    fln::gdi::DrawCaptionGlyph(dc, cell, fln::gdi::CaptionGlyph::ArrowDown, ::GetSysColor(COLOR_BTNTEXT));
    ::ReleaseDC(m_window->m_hWnd, dc);
}

BOOL ScxButtonMsgFilter::QueryState(BOOL& disabled) const
{
    disabled = FALSE;
    return TRUE;
}

CWnd* ScxButtonMsgFilter::CommandTarget(DWORD& flags) const
{
    flags = 0;
    return m_window;
}

BOOL ScxButtonMsgFilter::GetCommand(int how, int x, int y, CWnd*& window, UINT& message, WPARAM& wParam, LPARAM& lParam)
{
    DWORD flags = 0;
    CWnd* target = CommandTarget(flags);
    if (!target || !m_window)
        return FALSE;
    CRect frame;
    m_window->GetWindowRect(&frame);
    m_info = {};
    m_info.window = target->m_hWnd;
    m_info.rect = m_rect + frame.TopLeft();
    if (how & (RightPress | Held)) {
        wParam = SCX_SHOWMENU;
        m_info.x = m_info.rect.left;
        m_info.y = m_info.rect.bottom;
        m_info.flags = flags | ((how & Held) ? SCXF_HELD : 0);
    } else {
        wParam = SCX_EXECUTE;
        m_info.x = x;
        m_info.y = y;
        m_info.flags = flags;
        m_info.command = ChooseOne;
    }
    window = target;
    message = SysCommandExMessage();
    lParam = reinterpret_cast<LPARAM>(&m_info);
    return TRUE;
}

void ScxButtonMsgFilter::Execute(int how, int x, int y)
{
    CWnd* window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    if (GetCommand(how, x, y, window, message, wParam, lParam) && ::IsWindow(window->m_hWnd))
        window->SendMessage(message, wParam, lParam);
}

BOOL ScxButtonMDIChildMsgFilter::QueryState(BOOL& disabled) const
{
    disabled = FALSE;
    if (IsMDIChild(m_window) && ::IsZoomed(m_window->m_hWnd)) {
        disabled = TRUE;
        return FALSE;
    }
    return TRUE;
}

BOOL ScxButtonMDIMaxChildMsgFilter::QueryState(BOOL& disabled) const
{
    disabled = FALSE;
    return MaximisedChildOf(m_window) != nullptr;
}

CWnd* ScxButtonMDIMaxChildMsgFilter::CommandTarget(DWORD& flags) const
{
    flags = SCXF_HELD;
    return MaximisedChildOf(m_window);
}

// ---- caption clicks

UINT ScxCaptionNCRDBLClkFilter::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_NCRBUTTONDBLCLK && wParam == HTCAPTION && m_window) {
        SendCommand(m_window, SCX_EXECUTE, PointOf(lParam));
        return Stopped;
    }
    return SECCaptionMsgFilter::WindowProc(message, wParam, lParam, result);
}

UINT ScxNCRDBLClkMDIMaxChildMsgFilter::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_NCRBUTTONDBLCLK && wParam == HTCAPTION) {
        if (CWnd* child = MaximisedChildOf(m_window)) {
            SendCommand(child, SCX_EXECUTE, PointOf(lParam), SCXF_HELD);
            return Stopped;
        }
    }
    return SECNcMsgFilter::WindowProc(message, wParam, lParam, result);
}

UINT ScxContextMenuFilter::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_NCRBUTTONUP && wParam == HTCAPTION && m_window) {
        SendCommand(m_window, SCX_SHOWMENU, PointOf(lParam));
        return Stopped;
    }
    return SECMsgFilter::WindowProc(message, wParam, lParam, result);
}

} // namespace nsSysCommandEx
