#include "framework/DockableFrame.h"

#include "framework/CaptionFilters.h"
#include "framework/ControlBar.h"
#include "framework/FilterRouting.h"
#include "framework/MdiFrameWnd.h"
#include "framework/SysCommandEx.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/DockContext.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECDockableFrame, SECFrameWnd)

using namespace nsSysCommandEx;

SECDockableFrame::SECDockableFrame()
{
    m_filterTable.Add(CommandFilterId, SECMsgFilter::RootId, RUNTIME_CLASS(ScxMsgFilter));
    m_filterTable.Add(ButtonListId, SECMsgFilter::RootId, RUNTIME_CLASS(SECCaptionControlListMsgFilter), SECMsgFilter::Descriptor::KeepStateWhenDisabled);
    m_filterTable.Add(PlacementButtonId, ButtonListId, RUNTIME_CLASS(ScxButtonMsgFilter));
    m_filterTable.Add(RightDoubleClickId, SECMsgFilter::RootId, RUNTIME_CLASS(ScxCaptionNCRDBLClkFilter));
    m_filterTable.Add(ContextMenuId, SECMsgFilter::RootId, RUNTIME_CLASS(ScxContextMenuFilter));
}

// ---- creation

BOOL SECDockableFrame::CreateInClient(LPCWSTR title, SECMDIFrameWnd* frame, CCreateContext* context)
{
    if (!frame)
        frame = dynamic_cast<SECMDIFrameWnd*>(AfxGetMainWnd());
    if (!frame || !frame->m_hWndMDIClient)
        return FALSE;
    CRect client;
    ::GetClientRect(frame->m_hWndMDIClient, &client);
    CPoint at = frame->NextFloatPosition(nullptr);
    CRect place(at, CSize(std::max<LONG>(client.Width() * 2 / 3, 120), std::max<LONG>(client.Height() * 2 / 3, 80)));
    if (!Create(nullptr, title, MDIChildFrameStyle, place, CWnd::FromHandle(frame->m_hWndMDIClient), nullptr, WS_EX_MDICHILD, context))
        return FALSE;
    // The client takes the new window in as one of its children.
    ::SendMessageW(frame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    ::SendMessageW(frame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    ShowWindow(SW_SHOWNORMAL);
    return TRUE;
}

BOOL SECDockableFrame::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context)
{
    if (auto* shared = context ? dynamic_cast<CMultiDocTemplate*>(context->m_pNewDocTemplate) : nullptr)
        m_hMenuShared = shared->m_hMenuShared;
    auto* frame = dynamic_cast<SECMDIFrameWnd*>(parent ? parent : AfxGetMainWnd());
    if (!frame || !frame->m_hWndMDIClient)
        return SECFrameWnd::LoadFrame(resourceId, style, parent, context);
    m_nIDHelp = resourceId;
    LPWSTR text = nullptr;
    int length = LoadStringW(AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr, resourceId, reinterpret_cast<LPWSTR>(&text), 0);
    CString title;
    if (length > 0 && text)
        AfxExtractSubString(title, CString(text, length), 0);
    m_strTitle = title;
    if (!CreateInClient(title, frame, context))
        return FALSE;
    if (style & FWS_ADDTOTITLE)
        OnUpdateFrameTitle(TRUE);
    return TRUE;
}

void SECDockableFrame::EnableFilters(UINT features)
{
    const BOOL on = (features & CaptionFeatures) != 0;
    const BOOL buttons = on && !(features & NoCaptionButtons);
    const BOOL flags[] = { on, buttons, buttons, on && !(features & NoRightDoubleClick), on && !(features & NoCaptionMenu) };
    m_filterRoot.InstallTable(m_filterTable, flags);
    // The system draws its own caption buttons; the row keeps them only for their places.
    if (auto* row = dynamic_cast<SECCaptionControlListMsgFilter*>(m_filterRoot.FindOrCreate(ButtonListId)))
        row->InstallAll(row->GetSystemButtons(), FALSE);
}

// ---- where the frame is

SECMDIFrameWnd* SECDockableFrame::MainFrame() const
{
    // The MDI frame above the frame, wherever it is hosted, else the main window.
    for (HWND window = ::GetParent(m_hWnd); window; window = ::GetParent(window)) {
        if (auto* frame = dynamic_cast<SECMDIFrameWnd*>(CWnd::FromHandlePermanent(window)))
            return frame;
    }
    return dynamic_cast<SECMDIFrameWnd*>(AfxGetMainWnd());
}

bool SECDockableFrame::IsInClient() const
{
    SECMDIFrameWnd* frame = MainFrame();
    return frame && frame->m_hWndMDIClient && ::GetParent(m_hWnd) == frame->m_hWndMDIClient;
}

CControlBar* SECDockableFrame::GetHostBar() const
{
    return HostingBar(const_cast<SECDockableFrame*>(this));
}

BOOL SECDockableFrame::IsHostBarFloating() const
{
    CControlBar* bar = GetHostBar();
    return bar && bar->IsFloating();
}

// ---- messages

void SECDockableFrame::TellActive()
{
    if (SECMDIFrameWnd* frame = MainFrame())
        frame->SetActiveChild(this);
}

BOOL SECDockableFrame::PreTranslateMessage(MSG* message)
{
    if (SECFrameWnd::PreTranslateMessage(message))
        return TRUE;
    // The main window's keys work here too.
    auto* main = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    if (main && main != this && main->m_hAccelTable && message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST)
        return ::TranslateAcceleratorW(main->m_hWnd, main->m_hAccelTable, message) != 0;
    return FALSE;
}

void SECDockableFrame::OnUpdateFrameTitle(BOOL addToTitle)
{
    m_nIdleFlags &= ~idleTitle;
    if (SECMDIFrameWnd* frame = MainFrame())
        frame->OnUpdateFrameTitle(TRUE);
    CDocument* document = GetActiveDocument();
    CString title = m_strTitle;
    if (addToTitle && document) {
        title = document->GetTitle();
        // A document shown in several frames numbers them.
        std::vector<CFrameWnd*> frames;
        for (CView* view : document->Views()) {
            CFrameWnd* owner = view->GetParentFrame();
            if (owner && std::find(frames.begin(), frames.end(), owner) == frames.end())
                frames.push_back(owner);
        }
        auto place = std::find(frames.begin(), frames.end(), this);
        if (frames.size() > 1 && place != frames.end())
            title.Format(L"%s:%d", static_cast<LPCWSTR>(document->GetTitle()), static_cast<int>(place - frames.begin()) + 1);
    }
    SetWindowText(title);
}

LRESULT SECDockableFrame::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsInClient())
        return ::DefMDIChildProcW(m_hWnd, message, wParam, lParam);
    return SECFrameWnd::DefWindowProc(message, wParam, lParam);
}

LRESULT SECDockableFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == SysCommandExMessage()) {
        LRESULT result = 0;
        m_filterRoot.Filter(message, wParam, lParam, &result);
        return result;
    }
    auto base = [&] { return SECFrameWnd::WindowProc(message, wParam, lParam); };
    switch (message) {
    case WM_ACTIVATE: {
        LRESULT result = base();
        if (LOWORD(wParam) != WA_INACTIVE)
            TellActive();
        return result;
    }
    case WM_MOUSEACTIVATE: {
        LRESULT result = base();
        TellActive();
        return result;
    }
    case WM_PARENTNOTIFY: {
        LRESULT result = base();
        if (LOWORD(wParam) == WM_LBUTTONDOWN || LOWORD(wParam) == WM_RBUTTONDOWN)
            TellActive();
        return result;
    }
    case WM_NCLBUTTONDOWN: {
        TellActive();
        LRESULT result = 0;
        if (m_filterRoot.Filter(message, wParam, lParam, &result) & MsgFilterHandled)
            return result;
        CControlBar* bar = GetHostBar();
        if (bar && bar->IsFloating() && wParam != HTCLOSE)
            return ::SendMessageW(::GetAncestor(bar->m_hWnd, GA_ROOT), WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        const bool dragPart = wParam == HTCAPTION || wParam == HTBORDER || (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT);
        if (bar && bar->m_pDockContext && dragPart) {
            bar->m_pDockContext->StartDrag(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        }
        return base();
    }
    case WM_NCLBUTTONDBLCLK:
        if (CControlBar* bar = GetHostBar(); wParam == HTCAPTION && bar && bar->m_pDockContext) {
            // A docked frame floats; a floating one docks again.
            bar->m_pDockContext->ToggleDocking();
            FitIntoHostingBar(bar);
            return 0;
        }
        return base();
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCRBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        return RouteThroughFilters(m_filterRoot, FilterTurn::First, message, wParam, lParam, base);
    case WM_NCACTIVATE:
    case WM_NCPAINT:
    case WM_SETTEXT:
        return RouteThroughFilters(m_filterRoot, FilterTurn::After, message, wParam, lParam, base);
    case WM_DESTROY:
        // The MDI frame must not keep a frame that is going as its active one.
        if (SECMDIFrameWnd* frame = MainFrame()) {
            if (frame->GetActiveChildOverride() == this)
                frame->SetActiveChild(nullptr);
            if (frame->GetActiveFloatingFrame() == this)
                frame->EndActiveFloatingFrame(FALSE);
        }
        return base();
    }
    return base();
}
