#include "platform/mfc/Wnd.h"

#include "platform/base/Exceptions.h"
#include "platform/mfc/DataExchange.h"
#include "platform/mfc/HandleMap.h"
#include "platform/mfc/WinApp.h"

#include <map>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

namespace {

thread_local MSG currentMessage {};
// The object whose window CreateEx is making: it is attached before the window's first message.
thread_local CWnd* windowBeingCreated = nullptr;
thread_local HHOOK creationHook = nullptr;

LRESULT CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    // The creation hook sees each new window before its first message.
    if (code == HCBT_CREATEWND && windowBeingCreated) {
        CWnd* window = windowBeingCreated;
        windowBeingCreated = nullptr;
        window->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(creationHook, code, wParam, lParam);
}

bool IsReflectable(UINT message)
{
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        return true;
    default:
        return false;
    }
}

// The control a message to its parent is about, which may answer it itself; none for menus.
HWND ReflectionTarget(HWND parent, UINT message, LPARAM lParam)
{
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? item->hwndItem : nullptr;
    }
    if (message == WM_MEASUREITEM) {
        auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam);
        return item && item->CtlType != ODT_MENU ? ::GetDlgItem(parent, static_cast<int>(item->CtlID)) : nullptr;
    }
    return reinterpret_cast<HWND>(lParam);
}


// The program's one tooltip control for windows that enable tool tips, and the tool it shows.
struct ToolTipState {
    HWND tip = nullptr;
    HWND window = nullptr;
    INT_PTR hit = -1;
    TOOLINFO tool {};
};

ToolTipState& ThreadToolTips()
{
    thread_local ToolTipState state;
    return state;
}

void ForgetTool(ToolTipState& state)
{
    if (state.tip && state.hit != -1 && ::IsWindow(state.tip))
        ::SendMessageW(state.tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&state.tool));
    state.hit = -1;
    state.window = nullptr;
}

} // namespace

static HandleMap<HWND, CWnd>& WindowMap()
{
    static HandleMap<HWND, CWnd> map(
        [](HWND handle) {
            auto* window = new CWnd;
            window->m_hWnd = handle;
            return window;
        },
        [](CWnd* window) { window->m_hWnd = nullptr; });
    return map;
}

LRESULT AfxWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* object = CWnd::FromHandlePermanent(window);
    if (!object)
        return ::DefWindowProcW(window, message, wParam, lParam);
    MSG previous = currentMessage;
    currentMessage = { window, message, wParam, lParam, 0, {} };
    LRESULT result = object->WindowProc(message, wParam, lParam); // may delete the object
    currentMessage = previous;
    return result;
}

const MSG* AfxGetCurrentMessage()
{
    return &currentMessage;
}

BOOL AfxRegisterClass(WNDCLASSW* windowClass)
{
    WNDCLASSW existing {};
    if (::GetClassInfoW(windowClass->hInstance, windowClass->lpszClassName, &existing))
        return TRUE;
    return ::RegisterClassW(windowClass) != 0;
}

LPCWSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    static std::map<std::wstring, std::wstring> names;
    wchar_t name[96];
    swprintf(name, std::size(name), L"Afx:%x:%zx:%zx:%zx", classStyle, reinterpret_cast<size_t>(cursor),
        reinterpret_cast<size_t>(background), reinterpret_cast<size_t>(icon));
    auto [it, inserted] = names.emplace(name, name);
    if (inserted) {
        WNDCLASSW windowClass {};
        windowClass.style = classStyle;
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hCursor = cursor;
        windowClass.hbrBackground = background;
        windowClass.hIcon = icon;
        windowClass.lpszClassName = it->second.c_str();
        if (!AfxRegisterClass(&windowClass)) {
            names.erase(it);
            return nullptr;
        }
    }
    return it->second.c_str();
}

CWnd::~CWnd()
{
    if (m_hWnd && ::IsWindow(m_hWnd) && WindowMap().Permanent(m_hWnd) == this)
        DestroyWindow();
    if (m_hWnd)
        Detach();
}

CWnd* CWnd::FromHandle(HWND window)
{
    return WindowMap().FromHandle(window);
}

CWnd* CWnd::FromHandlePermanent(HWND window)
{
    return WindowMap().Permanent(window);
}

BOOL CWnd::Attach(HWND window)
{
    if (!window || m_hWnd || WindowMap().Permanent(window))
        return FALSE;
    m_hWnd = window;
    WindowMap().SetPermanent(window, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND window = m_hWnd;
    if (window && WindowMap().Permanent(window) == this)
        WindowMap().RemovePermanent(window);
    m_hWnd = nullptr;
    return window;
}

BOOL CWnd::SubclassWindow(HWND window)
{
    if (!Attach(window))
        return FALSE;
    auto previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (previous != &AfxWndProc)
        m_pfnSuper = previous;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    HWND control = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return control && SubclassWindow(control);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper)
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id, LPVOID param)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect, parent, id, param);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
    UINT id, LPVOID param)
{
    return CreateEx(exStyle, className, windowName, style, rect.left, rect.top, rect.right - rect.left,
        rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), param);
}

BOOL CWnd::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menuOrId, LPVOID param)
{
    if (m_hWnd)
        return FALSE;
    if (!className)
        className = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
    return CreateAttached([&] {
        return ::CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId, nullptr, param);
    });
}

BOOL CWnd::CreateAttached(const std::function<HWND()>& create)
{
    // The object takes the window over before its first message, so that it sees WM_NCCREATE and WM_CREATE.
    // Windows made while this one is being made (its children, in WM_CREATE) share the one hook.
    CWnd* outerCreation = windowBeingCreated;
    bool outermost = creationHook == nullptr;
    windowBeingCreated = this;
    if (outermost)
        creationHook = ::SetWindowsHookExW(WH_CBT, CreationHook, nullptr, ::GetCurrentThreadId());
    HWND window = create();
    if (outermost) {
        ::UnhookWindowsHookEx(creationHook);
        creationHook = nullptr;
    }
    windowBeingCreated = outerCreation;
    if (!window) {
        // A window that failed during creation was already detached by its WM_NCDESTROY.
        return FALSE;
    }
    return m_hWnd == window;
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (CUserException* refused) {
        refused->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(currentMessage.message, currentMessage.wParam, currentMessage.lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    LRESULT ignored = 0;
    if (!result)
        result = &ignored;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *result = 1;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        *result = 0;
        return OnNotify(wParam, lParam, result);
    }
    if (IsReflectable(message) && lParam) {
        HWND control = ReflectionTarget(m_hWnd, message, lParam);
        if (control && ReflectLastMsg(control, result))
            return TRUE;
    }
    if (message == WM_SETCURSOR && AfxGetApp() && AfxGetApp()->IsWaitCursorShown()) {
        AfxGetApp()->DoWaitCursor(0); // busy: every window of the program shows the busy cursor
        *result = TRUE;
        return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(GetMessageMap(), message, 0, 0);
    if (!entry)
        return FALSE;
    *result = entry->pfn(this, AFX_CALL { message, wParam, lParam, 0, nullptr });
    return TRUE;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT id = LOWORD(wParam);
    int code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control) {
        if (ReflectLastMsg(control))
            return TRUE; // the control handled its own notification
    } else {
        code = CN_COMMAND; // menus and accelerators
    }
    return OnCmdMsg(id, code, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* result)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->hwndFrom && ReflectLastMsg(header->hwndFrom, result))
        return TRUE;
    AFX_NOTIFY notify { result, header };
    // A tooltip's notifications name a tool (often a window handle), not a control: handlers
    // take them with id 0 and read the tool from the header.
    bool fromToolTip = header->code <= TTN_FIRST && header->code > TTN_FIRST - 20;
    UINT id = fromToolTip ? 0 : static_cast<UINT>(header->idFrom);
    return OnCmdMsg(id, MAKELONG(static_cast<WORD>(header->code), WM_NOTIFY), &notify, nullptr);
}

BOOL CWnd::ReflectLastMsg(HWND child, LRESULT* result)
{
    CWnd* object = FromHandlePermanent(child);
    if (!object)
        return FALSE;
    return object->OnChildNotify(currentMessage.message, currentMessage.wParam, currentMessage.lParam, result);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    return ReflectChildNotify(message, wParam, lParam, result);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message == WM_COMMAND) {
        UINT code = HIWORD(wParam);
        return OnCmdMsg(0, static_cast<int>(MAKELONG(static_cast<WORD>(code), WM_REFLECT_BASE + WM_COMMAND)), nullptr, nullptr);
    }
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        LRESULT ignored = 0;
        AFX_NOTIFY notify { result ? result : &ignored, header };
        return OnCmdMsg(0, static_cast<int>(MAKELONG(static_cast<WORD>(header->code), WM_REFLECT_BASE + WM_NOTIFY)), &notify, nullptr);
    }
    if (!IsReflectable(message))
        return FALSE;
    LRESULT reflected = 0;
    if (!OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, &reflected))
        return FALSE;
    bool colour = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    if (colour && !reflected)
        return FALSE; // no brush of its own: the parent answers
    if (result)
        *result = reflected;
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::OnNcDestroy()
{
    HWND window = m_hWnd;
    if (ThreadToolTips().window == window)
        CancelToolTips();
    // The program ends with its main window.
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    LRESULT result = Default();
    (void)result;
    if (window == m_hWnd) {
        if (m_pfnSuper)
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        m_pfnSuper = nullptr;
        Detach();
    }
    PostNcDestroy();
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL deep)
{
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (CWnd* object = FromHandlePermanent(child))
            object->WindowProc(message, wParam, lParam);
        else
            ::SendMessageW(child, message, wParam, lParam);
        if (deep && ::GetTopWindow(child)) {
            CWnd temporary;
            temporary.m_hWnd = child;
            temporary.SendMessageToDescendants(message, wParam, lParam, deep);
            temporary.m_hWnd = nullptr;
        }
    }
}

void CWnd::FilterToolTipMessage(MSG* message)
{
    ToolTipState& state = ThreadToolTips();
    if (state.tip && !::IsWindow(state.tip))
        state = {};
    CPoint point(message->pt);
    ScreenToClient(&point);
    TOOLINFO tool {};
    tool.cbSize = sizeof tool;
    INT_PTR hit = m_toolTipsEnabled ? OnToolHitTest(point, &tool) : -1;
    if (hit != state.hit || state.window != m_hWnd) {
        if (state.window != m_hWnd)
            if (CWnd* left = FromHandlePermanent(state.window))
                left->OnHoveredToolChanged(-1);
        OnHoveredToolChanged(hit);
        ForgetTool(state);
        if (hit != -1) {
            if (!state.tip) {
                WNDCLASSEXW existing { sizeof existing };
                if (!::GetClassInfoExW(nullptr, TOOLTIPS_CLASSW, &existing))
                    InitCommonControls();
                state.tip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                    ::GetAncestor(m_hWnd, GA_ROOT), nullptr, nullptr, nullptr);
            }
            if (state.tip && ::SendMessageW(state.tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) {
                state.tool = tool;
                state.hit = hit;
                state.window = m_hWnd;
            }
        }
    }
    if (state.tip && state.hit != -1)
        ::SendMessageW(state.tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(message));
}

void CWnd::CancelToolTips()
{
    ToolTipState& state = ThreadToolTips();
    ForgetTool(state);
    if (state.tip && ::IsWindow(state.tip))
        ::SendMessageW(state.tip, TTM_POP, 0, 0);
}

void CWnd::WinHelp(DWORD_PTR data, UINT command)
{
    CWinApp* app = AfxGetApp();
    ::WinHelpW(m_hWnd, app ? app->m_pszHelpFilePath.GetString() : nullptr, command, data);
}

INT_PTR CWnd::OnToolHitTest(CPoint point, TOOLINFO* info) const
{
    HWND child = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE);
    if (!child || child == m_hWnd)
        return -1;
    if (info) {
        info->hwnd = m_hWnd;
        info->uId = reinterpret_cast<UINT_PTR>(child);
        info->uFlags |= TTF_IDISHWND | TTF_CENTERTIP;
        info->lpszText = LPSTR_TEXTCALLBACKW;
        ::GetWindowRect(child, &info->rect);
        ScreenToClient(&info->rect);
    }
    return ::GetDlgCtrlID(child);
}

CWnd* CWnd::GetSafeOwner(CWnd* parent, HWND* topLevel)
{
    HWND window = parent ? parent->m_hWnd : nullptr;
    if (!window)
        if (CWnd* main = AfxGetMainWnd())
            window = main->m_hWnd;
    // A popup cannot be owned by a child window.
    while (window && (::GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD))
        window = ::GetParent(window);
    if (topLevel) {
        HWND top = window;
        for (HWND up = window; up; up = ::GetParent(up))
            top = up;
        *topLevel = top;
    }
    return window ? FromHandle(window) : nullptr;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT flags)
{
    DWORD style = GetStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(changed));
    if (flags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT flags)
{
    DWORD style = GetExStyle();
    DWORD changed = (style & ~remove) | add;
    if (changed == style)
        return FALSE;
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(changed));
    if (flags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | flags);
    return TRUE;
}

void CWnd::GetWindowText(CString& text) const
{
    text = GetWindowText();
}

CString CWnd::GetWindowText() const
{
    int length = ::GetWindowTextLengthW(m_hWnd);
    std::wstring buffer(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(m_hWnd, buffer.data(), length + 1);
    buffer.resize(static_cast<size_t>(length));
    return CString(std::move(buffer));
}

void CWnd::ClientToScreen(LPRECT rect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::ScreenToClient(LPRECT rect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->left));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(&rect->right));
}

void CWnd::MoveWindow(const RECT* rect, BOOL repaint)
{
    ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    HWND after = insertAfter ? insertAfter->m_hWnd : nullptr;
    return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
}

BOOL CWnd::RedrawWindow(const RECT* rect, CRgn* region, UINT flags)
{
    return ::RedrawWindow(m_hWnd, rect, region ? static_cast<HRGN>(region->m_hObject) : nullptr, flags);
}
