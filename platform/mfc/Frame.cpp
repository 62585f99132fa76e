#include "platform/mfc/Frame.h"

#include "platform/mfc/ControlBar.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"
#include "platform/res/Resources.h"
#include "platform/user/ResourceHandles.h"

#include <algorithm>
#include <iterator>

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_WM_SETFOCUS()
    ON_WM_MENUSELECT()
    ON_WM_INITMENUPOPUP()
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_UPDATE_COMMAND_UI_RANGE(ID_INDICATOR_CAPS, ID_INDICATOR_SCRL, OnUpdateKeyIndicator)
    ON_UPDATE_COMMAND_UI(AFX_IDW_TOOLBAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(AFX_IDW_TOOLBAR, OnBarCheck)
    ON_UPDATE_COMMAND_UI(AFX_IDW_STATUS_BAR, OnUpdateControlBarMenu)
    ON_COMMAND_EX(AFX_IDW_STATUS_BAR, OnBarCheck)
    ON_NOTIFY_EX(TTN_GETDISPINFOW, 0, OnToolTipText)
END_MESSAGE_MAP()

namespace {

CString LoadResourceString(UINT id)
{
    LPWSTR text = nullptr;
    int length = LoadStringW(AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? CString(text, length) : CString();
}

} // namespace

BOOL AfxExtractSubString(CString& part, LPCWSTR text, int index, wchar_t separator)
{
    part = CString();
    if (!text || index < 0)
        return FALSE;
    const wchar_t* start = text;
    for (; index > 0; --index) {
        start = wcschr(start, separator);
        if (!start)
            return FALSE;
        ++start;
    }
    const wchar_t* end = wcschr(start, separator);
    part = end ? CString(start, static_cast<int>(end - start)) : CString(start);
    return TRUE;
}

CFrameWnd::~CFrameWnd()
{
    if (m_hAccelTable)
        DestroyAcceleratorTable(m_hAccelTable);
}

BOOL CFrameWnd::Create(LPCWSTR className, LPCWSTR title, DWORD style, const RECT& rect, CWnd* parent, LPCWSTR menuName,
    DWORD exStyle, CCreateContext* context)
{
    m_strTitle = title ? title : L"";
    if (menuName && !m_hMenuDefault)
        m_hMenuDefault = LoadMenuW(AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr, menuName);
    if (!className)
        className = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorW(nullptr, IDC_ARROW),
            reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_WINDOW + 1)));
    int width = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.right - rect.left;
    int height = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.bottom - rect.top;
    m_pCreatingContext = context;
    BOOL created = CreateEx(exStyle, className, m_strTitle, style & ~(FWS_ADDTOTITLE | FWS_PREFIXTITLE), rect.left, rect.top,
        width, height, parent ? parent->m_hWnd : nullptr, m_hMenuDefault, nullptr);
    m_pCreatingContext = nullptr;
    if (created && (style & FWS_ADDTOTITLE))
        DelayUpdateFrameTitle();
    return created;
}

BOOL CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context)
{
    m_nIDHelp = resourceId;
    CString full = LoadResourceString(resourceId);
    AfxExtractSubString(m_strTitle, full, 0);
    HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
    m_hMenuDefault = LoadMenuW(instance, MAKEINTRESOURCEW(resourceId));
    if (!m_hAccelTable)
        m_hAccelTable = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(resourceId));
    CString title = m_strTitle;
    if (!Create(nullptr, title, style, CRect(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0), parent, nullptr, 0, context)) {
        if (m_hMenuDefault)
            DestroyMenu(m_hMenuDefault);
        m_hMenuDefault = nullptr;
        return FALSE;
    }
    // Without a context no document template will tell the frame's windows to make ready.
    if (!context)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    if (style & FWS_ADDTOTITLE)
        OnUpdateFrameTitle(TRUE);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT create)
{
    if (CWnd::OnCreate(create) == -1)
        return -1;
    if (!OnCreateClient(create, m_pCreatingContext))
        return -1;
    RecalcLayout();
    // The status bar (made by the derived frame after this) starts with the idle message.
    PostMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* context)
{
    if (context && context->m_pNewViewClass)
        return CreateView(context) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* context, UINT id)
{
    CObject* made = context->m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CWnd*>(made);
    if (!view) {
        delete made;
        return nullptr;
    }
    if (!view->CreateEx(WS_EX_CLIENTEDGE, nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, id, context)) {
        delete view; // a view that never got its window does not delete itself
        return nullptr;
    }
    return view;
}

BOOL CFrameWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menuOrId, LPVOID param)
{
    m_bWindowMade = CWnd::CreateEx(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId, param);
    return m_bWindowMade;
}

void CFrameWnd::RepositionBars(UINT first, UINT last, UINT leftOverId, UINT flags, LPRECT rectParam,
    const RECT* rectClient, BOOL stretch)
{
    AFX_SIZEPARENTPARAMS layout {};
    layout.bStretch = stretch;
    if (rectClient)
        layout.rect = *rectClient;
    else
        GetClientRect(&layout.rect);
    layout.hDWP = (flags & reposQuery) ? nullptr : BeginDeferWindowPos(8);
    HWND leftOver = nullptr;
    for (HWND child = GetTopWindow(m_hWnd); child; child = GetWindow(child, GW_HWNDNEXT)) {
        UINT id = static_cast<UINT>(::GetDlgCtrlID(child));
        if (id == leftOverId)
            leftOver = child;
        else if (id >= first && id <= last)
            ::SendMessageW(child, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
    if (flags & reposQuery) {
        if (rectParam)
            *rectParam = layout.rect;
        return;
    }
    if (flags & reposExtra && rectParam) {
        layout.rect.left += rectParam->left;
        layout.rect.top += rectParam->top;
        layout.rect.right -= rectParam->right;
        layout.rect.bottom -= rectParam->bottom;
    }
    if (leftOver)
        layout.hDWP = DeferWindowPos(layout.hDWP, leftOver, nullptr, layout.rect.left, layout.rect.top,
            std::max<LONG>(0, layout.rect.right - layout.rect.left), std::max<LONG>(0, layout.rect.bottom - layout.rect.top),
            SWP_NOZORDER | SWP_NOACTIVATE);
    EndDeferWindowPos(layout.hDWP);
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    ApplyDelayedBarShows();
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::OnSize(UINT type, int, int)
{
    Default();
    if (type != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::SetActiveView(CView* view, BOOL notify)
{
    CView* previous = m_pViewActive;
    if (view == previous)
        return;
    m_pViewActive = nullptr;
    if (notify && previous)
        previous->OnActivateView(FALSE, view, previous);
    m_pViewActive = view;
    if (notify && view) {
        view->OnActivateView(TRUE, view, previous);
    }
}

CDocument* CFrameWnd::GetActiveDocument()
{
    return m_pViewActive ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* document, BOOL makeVisible)
{
    CView* view = m_pViewActive;
    if (!view)
        if (auto* pane = dynamic_cast<CView*>(CWnd::FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST)))) {
            SetActiveView(pane, FALSE);
            view = pane;
        }
    SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE);
    if (makeVisible) {
        ActivateFrame();
        if (view)
            view->OnActivateView(TRUE, view, view);
    }
    if (document)
        document->UpdateAllViews(nullptr, 0, nullptr);
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int showCommand)
{
    if (showCommand == -1)
        showCommand = IsWindowVisible() ? SW_SHOW : SW_SHOWNORMAL;
    ShowWindow(showCommand);
    BringWindowToTop(m_hWnd);
}

void CFrameWnd::OnUpdateFrameTitle(BOOL addToTitle)
{
    m_nIdleFlags &= ~idleTitle;
    CDocument* document = GetActiveDocument();
    if (!addToTitle || !document) {
        SetWindowText(m_strTitle);
        return;
    }
    CString title = document->GetTitle();
    if (!m_strTitle.IsEmpty())
        title = title.IsEmpty() ? m_strTitle : title + L" - " + m_strTitle;
    SetWindowText(title);
}

void CFrameWnd::GetMessageString(UINT id, CString& message) const
{
    AfxExtractSubString(message, LoadResourceString(id), 0);
}

BOOL CFrameWnd::OnToolTipText(UINT, NMHDR* header, LRESULT* result)
{
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    UINT_PTR id = header->idFrom;
    if (info->uFlags & TTF_IDISHWND)
        id = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(id)));
    if (id == 0 || id > 0xFFFF)
        return FALSE;
    CString tip;
    AfxExtractSubString(tip, LoadResourceString(static_cast<UINT>(id)), 1);
    const size_t length = std::min<size_t>(tip.GetLength(), std::size(info->szText) - 1);
    std::copy_n(tip.GetString(), length, info->szText);
    info->szText[length] = L'\0';
    info->lpszText = info->szText;
    *result = 0;
    return TRUE;
}

void CFrameWnd::SetMessageText(LPCWSTR text)
{
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(text));
}

void CFrameWnd::SetMessageText(UINT id)
{
    SendMessage(WM_SETMESSAGESTRING, id, 0);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM id, LPARAM text)
{
    UINT previous = m_nIDLastMessage;
    m_nIDLastMessage = static_cast<UINT>(id);
    HWND bar = ::GetDlgItem(m_hWnd, AFX_IDW_STATUS_BAR);
    if (bar) {
        CString message;
        if (text)
            message = reinterpret_cast<LPCWSTR>(text);
        else if (id)
            GetMessageString(static_cast<UINT>(id), message);
        ::SetWindowTextW(bar, message);
    }
    return previous;
}

void CFrameWnd::OnMenuSelect(UINT item, UINT flags, HMENU menu)
{
    if (flags == 0xFFFF && !menu)
        SetMessageText(AFX_IDS_IDLEMESSAGE); // the menu closed
    else if (!(flags & (MF_SEPARATOR | MF_POPUP)))
        SetMessageText(item);
}

void CFrameWnd::OnInitMenuPopup(CMenu* popup, UINT, BOOL systemMenu)
{
    if (systemMenu || !popup)
        return;
    CCmdUI state;
    state.m_hMenu = popup->m_hMenu;
    state.m_nIndexMax = popup->GetMenuItemCount();
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = popup->GetMenuItemID(static_cast<int>(state.m_nIndex));
        state.m_hSubMenu = ::GetSubMenu(popup->m_hMenu, static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0 || state.m_hSubMenu)
            continue; // separators and popups
        state.DoUpdate(this, m_bAutoMenuEnable);
    }
}

void CFrameWnd::SendIdleUpdateCmdUI()
{
    WindowProc(WM_IDLEUPDATECMDUI, TRUE, 0);
    SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
    for (CControlBar* bar : std::vector<CControlBar*>(m_listControlBars))
        if (bar->m_hWnd && ::GetAncestor(bar->m_hWnd, GA_ROOT) != m_hWnd)
            bar->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    if (m_nIdleFlags & idleLayout)
        RecalcLayout((m_nIdleFlags & idleNotify) != 0);
    if (m_nIdleFlags & idleTitle)
        OnUpdateFrameTitle(TRUE);
    return 0;
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* state)
{
    const int key = state->m_nID == ID_INDICATOR_CAPS ? VK_CAPITAL : state->m_nID == ID_INDICATOR_NUM ? VK_NUMLOCK : VK_SCROLL;
    state->Enable(::GetKeyState(key) & 1);
}

BOOL CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (m_pViewActive && m_pViewActive->OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, code, extra, handlerInfo);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* message)
{
    if (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST && m_hAccelTable)
        return TranslateAcceleratorW(m_hWnd, m_hAccelTable, message) != 0;
    return FALSE;
}

void CFrameWnd::OnClose()
{
    CWinApp* app = AfxGetApp();
    CDocument* document = GetActiveDocument();
    if (document && !document->CanCloseFrame(this))
        return;
    if (app && app->m_pMainWnd == this) {
        // The frame's own document has been asked already: asking again would repeat the question.
        if (!document && !app->SaveAllModified())
            return;
        HWND window = m_hWnd;
        app->CloseAllDocuments(FALSE); // may destroy (and delete) this frame with the documents' frames
        if (!::IsWindow(window))
            return;
    } else if (document && document->Views().size() == 1 && document->Views().front()->GetParentFrame() == this) {
        document->OnCloseDocument(); // its last frame: the document goes with it
        return;
    }
    DestroyWindow();
}

void CFrameWnd::OnDestroy()
{
    m_pViewActive = nullptr;
    Default();
}

void CFrameWnd::OnSetFocus(CWnd* old)
{
    if (m_pViewActive)
        m_pViewActive->SetFocus();
    else
        Default();
}
