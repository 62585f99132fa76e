#include "framework/DockableFrame.h"

#include "framework/CaptionFilters.h"
#include "framework/ControlBar.h"
#include "framework/FilterRouting.h"
#include "framework/MdiFrameWnd.h"
#include "framework/SysCommandEx.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/DockContext.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECDockableFrame, SECFrameWnd)

using namespace nsSysCommandEx;

namespace {

constexpr DWORD kMdiChildStyle = WS_CHILD | WS_CLIPSIBLINGS | WS_OVERLAPPEDWINDOW;
constexpr DWORD kHostedStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU;

// Host bars take ids from the upper half of the control-bar range, one per bar alive.
UINT NextHostBarId()
{
    static UINT next = 0;
    next = (next + 1) % 0x70;
    return AFX_IDW_CONTROLBAR_FIRST + 0x80 + next;
}

struct Side {
    UINT placement;
    UINT dockBarId;
    DWORD alignment; // the side's CBRS_ALIGN bit with the border on the opposite side
};
constexpr Side kSides[] = {
    { SECDockableFrame::PlaceTop, AFX_IDW_DOCKBAR_TOP, 0x2800 },
    { SECDockableFrame::PlaceLeft, AFX_IDW_DOCKBAR_LEFT, 0x1400 },
    { SECDockableFrame::PlaceRight, AFX_IDW_DOCKBAR_RIGHT, 0x4100 },
    { SECDockableFrame::PlaceBottom, AFX_IDW_DOCKBAR_BOTTOM, 0x8200 },
};

const Side* SideOfPlacement(UINT placement)
{
    for (const Side& side : kSides) {
        if (side.placement == placement)
            return &side;
    }
    return nullptr;
}

const Side* SideOfDockBar(UINT dockBarId)
{
    for (const Side& side : kSides) {
        if (side.dockBarId == dockBarId)
            return &side;
    }
    return nullptr;
}

} // namespace

UINT SECDockableFrame::GroupOf(UINT placement)
{
    if (placement >= PlaceMDIChild && placement <= PlaceRestored)
        return PlaceMDIChild;
    if (placement >= PlaceDocked && placement <= PlaceBottom)
        return PlaceDocked;
    return placement == PlaceFloating ? PlaceFloating : PlaceNone;
}

SECDockableFrame::SECDockableFrame()
{
    m_filterTable.Add(257, SECMsgFilter::RootId, RUNTIME_CLASS(ScxMsgFilter));
    m_filterTable.Add(256, SECMsgFilter::RootId, RUNTIME_CLASS(SECCaptionControlListMsgFilter), SECMsgFilter::Descriptor::KeepStateWhenDisabled);
    m_filterTable.Add(258, 256, RUNTIME_CLASS(ScxButtonMsgFilter));
    m_filterTable.Add(259, SECMsgFilter::RootId, RUNTIME_CLASS(ScxCaptionNCRDBLClkFilter));
    m_filterTable.Add(262, SECMsgFilter::RootId, RUNTIME_CLASS(ScxContextMenuFilter));
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
    if (!Create(nullptr, title, kMdiChildStyle, place, CWnd::FromHandle(frame->m_hWndMDIClient), nullptr, WS_EX_MDICHILD, context))
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
    const BOOL on = features & 1;
    const BOOL flags[] = { on, on && !(features & 2), on && !(features & 2), on && !(features & 4), on && !(features & 8) };
    m_filterRoot.InstallTable(m_filterTable, flags);
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

HWND SECDockableFrame::ClientWindow() const
{
    SECMDIFrameWnd* frame = MainFrame();
    return frame ? frame->m_hWndMDIClient : nullptr;
}

bool SECDockableFrame::IsInClient() const
{
    HWND client = ClientWindow();
    return client && ::GetParent(m_hWnd) == client;
}

BOOL SECDockableFrame::IsHostBarFloating() const
{
    return m_pHostBar && ::GetParent(m_hWnd) == m_pHostBar->m_hWnd && m_pHostBar->IsFloating();
}

UINT SECDockableFrame::GetPlacement() const
{
    if (IsInClient())
        return ::IsZoomed(m_hWnd) ? PlaceMaximized : ::IsIconic(m_hWnd) ? PlaceMinimized : PlaceRestored;
    if (!m_pHostBar || ::GetParent(m_hWnd) != m_pHostBar->m_hWnd)
        return PlaceNone;
    if (m_pHostBar->IsFloating())
        return PlaceFloating;
    const Side* side = m_pHostBar->m_pDockBar ? SideOfDockBar(static_cast<UINT>(m_pHostBar->m_pDockBar->GetDlgCtrlID())) : nullptr;
    return side ? side->placement : PlaceNone;
}

// ---- the placement menu

HMENU SECDockableFrame::BuildPlacementMenu() const
{
    const UINT current = GetPlacement();
    const UINT group = GroupOf(current);
    auto check = [](bool on) { return on ? MF_CHECKED : MF_UNCHECKED; };
    HMENU menu = ::CreatePopupMenu();
    ::AppendMenuW(menu, MF_STRING | check(group == PlaceDocked), PlaceDocked, L"&Docked");
    ::AppendMenuW(menu, MF_STRING | check(group == PlaceFloating), PlaceFloating, L"&Floating");
    ::AppendMenuW(menu, MF_STRING | check(group == PlaceMDIChild), PlaceMDIChild, L"&MDI Child");
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    HMENU sides = ::CreatePopupMenu();
    for (auto [id, text] : { std::pair { PlaceTop, L"&Top" }, { PlaceLeft, L"&Left" }, { PlaceBottom, L"&Bottom" }, { PlaceRight, L"&Right" } })
        ::AppendMenuW(sides, MF_STRING | check(current == id), id, text);
    ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sides), L"D&ocked to");
    HMENU states = ::CreatePopupMenu();
    for (auto [id, text] : { std::pair { PlaceMinimized, L"Mi&nimized" }, { PlaceMaximized, L"Ma&ximized" }, { PlaceRestored, L"&Restored" } })
        ::AppendMenuW(states, MF_STRING | check(current == id), id, text);
    ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(states), L"MD&I Child as");
    return menu;
}

BOOL SECDockableFrame::ShowPlacementMenu(CPoint screen)
{
    HMENU menu = BuildPlacementMenu();
    auto chosen = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0, m_hWnd, nullptr));
    ::DestroyMenu(menu);
    return chosen ? ExecutePlacement(chosen) : FALSE;
}

BOOL SECDockableFrame::ExecutePlacement(UINT placement)
{
    if (placement == PlaceChoose)
        placement = IsInClient() ? PlaceDocked : PlaceMDIChild;
    switch (GroupOf(placement)) {
    case PlaceMDIChild:
        return MakeMDIChild(placement == PlaceMaximized ? SW_SHOWMAXIMIZED : placement == PlaceMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    case PlaceDocked:
        if (const Side* side = SideOfPlacement(placement))
            return Dock(side->dockBarId);
        if (IsInClient()) {
            SECMDIFrameWnd* frame = MainFrame();
            SECDockPos position;
            SECDockSize size;
            return frame && Dock(frame->GetDefaultDockPlacement(position, size));
        }
        if (IsHostBarFloating() && m_pHostBar->m_pDockContext) {
            m_pHostBar->m_pDockContext->ToggleDocking();
            FitIntoHostBar();
        }
        return GroupOf(GetPlacement()) == PlaceDocked;
    case PlaceFloating:
        return IsHostBarFloating() || Float(nullptr);
    }
    return FALSE;
}

// ---- moving between placements

SECControlBar* SECDockableFrame::HostBar()
{
    if (m_pHostBar && ::IsWindow(m_pHostBar->m_hWnd))
        return m_pHostBar;
    SECMDIFrameWnd* frame = MainFrame();
    if (!frame)
        return nullptr;
    wchar_t title[256] = {};
    ::GetWindowTextW(m_hWnd, title, 256);
    auto* bar = new SECControlBar;
    if (!bar->Create(frame, title, WS_VISIBLE | CBRS_TOP, CBRS_EX_SIZECHILDTOFIT, NextHostBarId())) {
        delete bar;
        return nullptr;
    }
    bar->m_bAutoDelete = TRUE;
    bar->EnableDocking(CBRS_ALIGN_ANY);
    CRect place;
    GetWindowRect(&place);
    bar->m_szHorzDocked = bar->m_szVertDocked = bar->m_szFloat = place.Size();
    m_pHostBar = bar;
    return bar;
}

void SECDockableFrame::MoveIntoHostBar()
{
    SECControlBar* bar = HostBar();
    if (!bar || ::GetParent(m_hWnd) == bar->m_hWnd)
        return;
    HWND client = IsInClient() ? ClientWindow() : nullptr;
    if (::IsZoomed(m_hWnd) || ::IsIconic(m_hWnd))
        ShowWindow(SW_RESTORE);
    ModifyStyleEx(WS_EX_MDICHILD, 0);
    ModifyStyle(WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, kHostedStyle);
    ::SetParent(m_hWnd, bar->m_hWnd);
    if (client)
        ::SendMessageW(client, WM_MDIREFRESHMENU, 0, 0); // the client lets it go
}

void SECDockableFrame::FitIntoHostBar()
{
    if (!m_pHostBar || ::GetParent(m_hWnd) != m_pHostBar->m_hWnd)
        return;
    CRect inside;
    m_pHostBar->GetClientRect(&inside);
    m_pHostBar->CalcInsideRect(inside, !m_pHostBar->IsVertDocked());
    ::SetWindowPos(m_hWnd, nullptr, inside.left, inside.top, inside.Width(), inside.Height(), SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
}

void SECDockableFrame::DropHostBar()
{
    SECControlBar* bar = m_pHostBar;
    m_pHostBar = nullptr;
    if (!bar || !::IsWindow(bar->m_hWnd))
        return;
    SECMDIFrameWnd* frame = MainFrame();
    // A floating bar goes with its mini frame.
    HWND outer = bar->IsFloating() ? ::GetAncestor(bar->m_hWnd, GA_ROOT) : bar->m_hWnd;
    ::DestroyWindow(outer);
    if (frame)
        frame->RecalcLayout();
}

BOOL SECDockableFrame::Dock(UINT dockBarId)
{
    SECMDIFrameWnd* frame = MainFrame();
    const Side* side = SideOfDockBar(dockBarId);
    SECControlBar* bar = frame && side ? HostBar() : nullptr;
    if (!bar)
        return FALSE;
    MoveIntoHostBar();
    frame->SetHostedFrameFloating(this, FALSE);
    bar->SetBarStyle((bar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY)) | side->alignment);
    frame->DockControlBar(bar, dockBarId);
    frame->RecalcLayout();
    FitIntoHostBar();
    return GetPlacement() == side->placement;
}

BOOL SECDockableFrame::Float(const CPoint* screenPoint)
{
    SECMDIFrameWnd* frame = MainFrame();
    SECControlBar* bar = frame ? HostBar() : nullptr;
    if (!bar)
        return FALSE;
    MoveIntoHostBar();
    CPoint at;
    if (screenPoint) {
        at = *screenPoint;
    } else {
        at = frame->NextFloatPosition(nullptr);
        ::ClientToScreen(frame->m_hWndMDIClient, &at);
    }
    frame->FloatControlBar(bar, at);
    frame->RecalcLayout();
    FitIntoHostBar();
    return IsHostBarFloating();
}

BOOL SECDockableFrame::MakeMDIChild(int showCommand)
{
    SECMDIFrameWnd* frame = MainFrame();
    HWND client = frame ? frame->m_hWndMDIClient : nullptr;
    if (!client)
        return FALSE;
    if (!IsInClient()) {
        frame->SetHostedFrameFloating(this, FALSE);
        CRect place;
        GetWindowRect(&place);
        ModifyStyle(WS_VISIBLE, kMdiChildStyle);
        ModifyStyleEx(0, WS_EX_MDICHILD);
        ::SetParent(m_hWnd, client);
        CPoint at = frame->NextFloatPosition(nullptr);
        ::SetWindowPos(m_hWnd, HWND_TOP, at.x, at.y, place.Width(), place.Height(), SWP_NOACTIVATE | SWP_FRAMECHANGED);
        DropHostBar();
        ::SendMessageW(client, WM_MDIREFRESHMENU, 0, 0); // the client takes it in
    }
    ShowWindow(showCommand);
    ::SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
    CRect inner;
    GetClientRect(&inner);
    PostMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(inner.Width(), inner.Height()));
    return IsInClient();
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
        CPoint screen(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (IsHostBarFloating() && wParam != HTCLOSE)
            return ::SendMessageW(::GetAncestor(m_pHostBar->m_hWnd, GA_ROOT), WM_NCLBUTTONDOWN, HTCAPTION, lParam);
        bool dragPart = wParam == HTCAPTION || wParam == HTBORDER || (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT);
        if (!IsInClient() && m_pHostBar && m_pHostBar->m_pDockContext && dragPart) {
            m_pHostBar->m_pDockContext->StartDrag(screen);
            return 0;
        }
        return base();
    }
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION && !IsInClient() && m_pHostBar && m_pHostBar->m_pDockContext) {
            // A docked frame floats; a floating one docks again.
            m_pHostBar->m_pDockContext->ToggleDocking();
            FitIntoHostBar();
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
