#include "framework/MdiFrameWnd.h"

#include "framework/DockBar.h"
#include "framework/CaptionFilters.h"
#include "framework/FilterRouting.h"
#include "framework/SysCommandEx.h"
#include "platform/mfc/ControlBar.h"
#include "platform/mfc/Document.h"
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

} // namespace

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

SECMDIFrameWnd::SECMDIFrameWnd()
{
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
    return CMDIFrameWnd::LoadFrame(resourceId, style, parent, context);
}

CDockBar* SECMDIFrameWnd::CreateDockBar() const
{
    return new SECDockBar;
}

CFrameWnd* SECMDIFrameWnd::GetActiveFrame()
{
    return m_pActiveChildOverride ? m_pActiveChildOverride : CMDIFrameWnd::GetActiveFrame();
}

void SECMDIFrameWnd::SetActiveFloatingFrame(CFrameWnd* frame)
{
    if (frame == m_pActiveFloatingFrame)
        return;
    if (CFrameWnd* previous = m_pActiveFloatingFrame) {
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
    if (!frame)
        return;
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    if (!FocusIn(frame->m_hWnd)) {
        if (CView* view = frame->GetActiveView())
            view->SetFocus();
        else
            frame->SetFocus();
    }
}

void SECMDIFrameWnd::EndActiveFloatingFrame(BOOL activateMDI)
{
    if (CFrameWnd* floating = m_pActiveFloatingFrame) {
        if (CView* view = floating->GetActiveView())
            view->OnActivateView(FALSE, view, view);
        floating->SendMessage(WM_NCACTIVATE, FALSE);
        m_pActiveFloatingFrame = nullptr;
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
    CFrameWnd* active = m_pActiveFloatingFrame ? m_pActiveFloatingFrame : GetActiveFrame();
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

LRESULT SECMDIFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SysCommandExMessage()) {
        LRESULT result = 0;
        m_filterRoot.Filter(message, wParam, lParam, &result);
        return result;
    }
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

SECMDIFrameWnd* SECMDIChildWnd::GetToolkitFrame() const
{
    return dynamic_cast<SECMDIFrameWnd*>(GetMDIFrame());
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
    case WM_MOUSEACTIVATE: {
        if (SECMDIFrameWnd* frame = GetToolkitFrame())
            frame->EndActiveFloatingFrame(FALSE);
        LRESULT answer = CMDIChildWnd::WindowProc(message, wParam, lParam);
        ActivateByMouse();
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
