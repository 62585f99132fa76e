#include "platform/mfc/Mdi.h"

#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/ResourceHandles.h"

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)

namespace {

HINSTANCE AppInstance()
{
    return AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
}

CString LoadTitle(UINT id)
{
    LPWSTR text = nullptr;
    int length = LoadStringW(AppInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    CString title;
    if (length > 0 && text)
        AfxExtractSubString(title, CString(text, length), 0);
    return title;
}

bool IsWindowCommand(UINT id)
{
    return id >= AFX_IDM_WINDOW_FIRST && id <= AFX_IDM_WINDOW_LAST;
}

// A window class of our own gives DefWindowProcW as the procedure it had before; the MDI
// default procedures take its place.
bool HasOwnSuper(WNDPROC super)
{
    return super && super != &::DefWindowProcW;
}

} // namespace

// ---- the frame

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
    ON_WM_DESTROY()
    ON_WM_INITMENUPOPUP()
    ON_COMMAND_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnWindowCommand)
    ON_UPDATE_COMMAND_UI_RANGE(ID_WINDOW_ARRANGE, ID_WINDOW_TILE_VERT, OnUpdateWindowCommand)
END_MESSAGE_MAP()

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT create, CCreateContext*)
{
    return CreateClient(create, CMenu::FromHandle(GetWindowMenuPopup(m_hMenuDefault)));
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT, CMenu* windowMenu)
{
    CLIENTCREATESTRUCT client { windowMenu ? windowMenu->m_hMenu : nullptr, AFX_IDM_FIRST_MDICHILD };
    m_hWndMDIClient = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"MDIClient", nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES, 0, 0, 0, 0, m_hWnd,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)), AppInstance(), &client);
    return m_hWndMDIClient != nullptr;
}

HMENU CMDIFrameWnd::GetWindowMenuPopup(HMENU menuBar)
{
    int count = menuBar ? ::GetMenuItemCount(menuBar) : 0;
    for (int i = 0; i < count; ++i) {
        HMENU popup = ::GetSubMenu(menuBar, i);
        int items = popup ? ::GetMenuItemCount(popup) : 0;
        for (int k = 0; k < items; ++k) {
            if (IsWindowCommand(::GetMenuItemID(popup, k)))
                return popup;
        }
    }
    return nullptr;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* maximized) const
{
    if (maximized)
        *maximized = FALSE;
    if (!m_hWndMDIClient)
        return nullptr;
    auto active = reinterpret_cast<HWND>(::SendMessageW(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
    return dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(active));
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    CMDIChildWnd* active = MDIGetActive();
    return active ? static_cast<CFrameWnd*>(active) : this;
}

CMenu* CMDIFrameWnd::MDISetMenu(CMenu* frameMenu, CMenu* windowMenu)
{
    auto old = reinterpret_cast<HMENU>(::SendMessageW(m_hWndMDIClient, WM_MDISETMENU, frameMenu ? reinterpret_cast<WPARAM>(frameMenu->m_hMenu) : 0,
        windowMenu ? reinterpret_cast<LPARAM>(windowMenu->m_hMenu) : 0));
    return CMenu::FromHandle(old);
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU menuAlt)
{
    if (CMDIChildWnd* active = MDIGetActive()) {
        active->OnUpdateFrameMenu(TRUE, active, menuAlt);
        return;
    }
    HMENU menu = menuAlt ? menuAlt : m_hMenuDefault;
    if (menu)
        MDISetMenu(CMenu::FromHandle(menu), CMenu::FromHandle(GetWindowMenuPopup(menu)));
    ::DrawMenuBar(m_hWnd);
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    // The active document frame (its view, itself, then the application) has the first say.
    if (CMDIChildWnd* active = MDIGetActive(); active && active->OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(id, code, extra, handlerInfo);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* message)
{
    if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST) {
        if (::TranslateMDISysAccel(m_hWndMDIClient, message))
            return TRUE;
        CMDIChildWnd* active = MDIGetActive();
        HACCEL childKeys = active ? (active->m_hAccelShared ? active->m_hAccelShared : active->m_hAccelTable) : nullptr;
        if (childKeys && ::TranslateAcceleratorW(m_hWnd, childKeys, message))
            return TRUE;
    }
    return CFrameWnd::PreTranslateMessage(message);
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL addToTitle)
{
    m_nIdleFlags &= ~idleTitle;
    // A maximised child's title is added by the MDI client itself.
    BOOL maximized = FALSE;
    CMDIChildWnd* active = MDIGetActive(&maximized);
    CDocument* document = active && !maximized ? active->GetActiveDocument() : nullptr;
    CString title = m_strTitle;
    if (addToTitle && document && !document->GetTitle().IsEmpty())
        title = m_strTitle.IsEmpty() ? document->GetTitle() : document->GetTitle() + L" - " + m_strTitle;
    SetWindowText(title);
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (HasOwnSuper(m_pfnSuper))
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefFrameProcW(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

void CMDIFrameWnd::OnWindowCommand(UINT id)
{
    switch (id) {
    case ID_WINDOW_ARRANGE: MDIIconArrange(); break;
    case ID_WINDOW_CASCADE: MDICascade(); break;
    case ID_WINDOW_TILE_HORZ: MDITile(MDITILE_HORIZONTAL); break;
    case ID_WINDOW_TILE_VERT: MDITile(MDITILE_VERTICAL); break;
    }
}

void CMDIFrameWnd::OnUpdateWindowCommand(CCmdUI* state)
{
    state->Enable(MDIGetActive() != nullptr);
}

void CMDIFrameWnd::OnInitMenuPopup(CMenu* popup, UINT index, BOOL systemMenu)
{
    CMDIChildWnd* active = MDIGetActive();
    if (!popup || (active && popup->m_hMenu == ::GetSystemMenu(active->m_hWnd, FALSE)))
        return; // the maximised child's system menu, opened from the menu bar
    CFrameWnd::OnInitMenuPopup(popup, index, systemMenu);
    // The window list has no handlers: the MDI client answers it.
    for (UINT k = 0; k < popup->GetMenuItemCount(); ++k) {
        UINT id = popup->GetMenuItemID(static_cast<int>(k));
        if (id >= AFX_IDM_FIRST_MDICHILD && id != static_cast<UINT>(-1))
            popup->EnableMenuItem(k, MF_BYPOSITION | MF_ENABLED);
    }
}

void CMDIFrameWnd::OnDestroy()
{
    // The shared menus belong to their templates: the frame goes with its own menu.
    if (m_hMenuDefault && ::GetMenu(m_hWnd) != m_hMenuDefault)
        ::SetMenu(m_hWnd, m_hMenuDefault);
    CFrameWnd::OnDestroy();
}

// ---- a child

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
    ON_WM_MDIACTIVATE()
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CMDIChildWnd::Create(LPCWSTR className, LPCWSTR title, DWORD style, const RECT& rect, CMDIFrameWnd* parent, CCreateContext* context)
{
    if (!parent)
        parent = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    if (!parent || !parent->m_hWndMDIClient || m_hWnd)
        return FALSE;
    m_strTitle = title ? title : L"";
    if (!className)
        className = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW),
            reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_WINDOW + 1)));
    bool byDefault = rect.left == CW_USEDEFAULT;
    MDICREATESTRUCTW request { className, m_strTitle, AppInstance(), rect.left, rect.top,
        byDefault ? CW_USEDEFAULT : rect.right - rect.left, byDefault ? CW_USEDEFAULT : rect.bottom - rect.top,
        (style & ~(FWS_ADDTOTITLE | FWS_PREFIXTITLE)) | WS_CHILD, reinterpret_cast<LPARAM>(context) };
    m_pCreatingContext = context;
    HWND client = parent->m_hWndMDIClient;
    m_bWindowMade = CreateAttached([&] {
        return reinterpret_cast<HWND>(::SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&request)));
    });
    m_pCreatingContext = nullptr;
    if (m_bWindowMade && (style & FWS_ADDTOTITLE))
        DelayUpdateFrameTitle();
    return m_bWindowMade;
}

BOOL CMDIChildWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context)
{
    m_nIDHelp = resourceId;
    auto* shared = context ? dynamic_cast<CMultiDocTemplate*>(context->m_pNewDocTemplate) : nullptr;
    if (shared) {
        m_hMenuShared = shared->m_hMenuShared;
        m_hAccelShared = shared->m_hAccelTable;
    } else {
        m_hAccelTable = LoadAcceleratorsW(AppInstance(), MAKEINTRESOURCEW(resourceId));
    }
    if (!Create(nullptr, LoadTitle(resourceId), style, CRect(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0), dynamic_cast<CMDIFrameWnd*>(parent), context))
        return FALSE;
    if (style & FWS_ADDTOTITLE)
        OnUpdateFrameTitle(TRUE);
    return TRUE;
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    return dynamic_cast<CMDIFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(ClientWindow())));
}

void CMDIChildWnd::ActivateFrame(int showCommand)
{
    BOOL maximized = FALSE;
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->MDIGetActive(&maximized);
    if (showCommand == -1) {
        if (IsWindowVisible())
            showCommand = SW_SHOW;
        else
            showCommand = maximized || (GetStyle() & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    }
    ShowWindow(showCommand);
    MDIActivate();
}

void CMDIChildWnd::OnMDIActivate(BOOL activate, CWnd* activated, CWnd*)
{
    // The last child going leaves the frame its own menu; otherwise the next child sets its own.
    if (activate || !activated)
        OnUpdateFrameMenu(activate, activated, nullptr);
    if (CView* view = GetActiveView())
        view->OnActivateView(activate, view, view);
    if (activate)
        OnUpdateFrameTitle(TRUE);
    else if (!activated)
        if (CMDIFrameWnd* frame = GetMDIFrame())
            frame->OnUpdateFrameTitle(TRUE);
}

void CMDIChildWnd::OnSize(UINT type, int cx, int cy)
{
    CFrameWnd::OnSize(type, cx, cy);
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->OnUpdateFrameTitle(TRUE);
}

void CMDIChildWnd::OnUpdateFrameMenu(BOOL active, CWnd*, HMENU menuAlt)
{
    CMDIFrameWnd* frame = GetMDIFrame();
    if (!frame)
        return;
    HMENU menu = active ? (menuAlt ? menuAlt : m_hMenuShared) : nullptr;
    if (!menu)
        menu = frame->m_hMenuDefault;
    if (menu)
        frame->MDISetMenu(CMenu::FromHandle(menu), CMenu::FromHandle(frame->GetWindowMenuPopup(menu)));
    ::DrawMenuBar(frame->m_hWnd);
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL addToTitle)
{
    m_nIdleFlags &= ~idleTitle;
    CDocument* document = GetActiveDocument();
    CString title = addToTitle && document ? document->GetTitle() : m_strTitle;
    wchar_t current[256] = {};
    ::GetWindowTextW(m_hWnd, current, 256);
    if (title != current)
        SetWindowText(title);
    if (CMDIFrameWnd* frame = GetMDIFrame())
        frame->OnUpdateFrameTitle(TRUE);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (HasOwnSuper(m_pfnSuper))
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefMDIChildProcW(m_hWnd, message, wParam, lParam);
}
