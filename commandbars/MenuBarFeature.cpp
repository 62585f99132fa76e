#include "commandbars/MenuBarFeature.h"

#include "commandbars/MenuBar.h"
#include "framework/RegisteredMessages.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"

#include <cwctype>
#include <utility>

namespace {

constexpr int kMaxAccelerators = 255;

bool KeyDown(int key)
{
    return GetKeyState(key) < 0;
}

} // namespace

// The process-wide side of the tracking: the hooks, the bar whose popup is open, the object
// that tracks and a drop request that waits for the open popup to close.
class MenuHooks {
public:
    static MenuHooks& Instance()
    {
        static MenuHooks hooks;
        return hooks;
    }

    void EnableMsgFilter(bool on)
    {
        if (on && !msgFilter) {
            lastPoint = {};
            firstMove = true;
            msgFilter = SetWindowsHookExW(WH_MSGFILTER, MessageFilter, nullptr, GetCurrentThreadId());
        } else if (!on && msgFilter) {
            UnhookWindowsHookEx(msgFilter);
            msgFilter = nullptr;
        }
    }
    void EnableKeyboard(bool on)
    {
        if (on && !keyboard) {
            keyboard = SetWindowsHookExW(WH_KEYBOARD, Keyboard, nullptr, GetCurrentThreadId());
            mouse = SetWindowsHookExW(WH_MOUSE, Mouse, nullptr, GetCurrentThreadId());
        } else if (!on && keyboard) {
            UnhookWindowsHookEx(keyboard);
            UnhookWindowsHookEx(mouse);
            keyboard = mouse = nullptr;
        }
    }
    // Forgets an object that goes away.
    void Forget(SECMenuBarMessages* object)
    {
        if (active == object) {
            active = nullptr;
            EnableKeyboard(false);
            EnableMsgFilter(false);
        }
    }

    HHOOK msgFilter = nullptr, keyboard = nullptr, mouse = nullptr;
    HWND openBar = nullptr;
    SECMenuBarMessages* active = nullptr;
    std::optional<SECBtnNotify> pending;
    BOOL trackingSysMenu = FALSE;
    POINT lastPoint {};
    bool firstMove = true;

private:
    static LRESULT MessageFilter(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT Keyboard(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT Mouse(int code, WPARAM wParam, LPARAM lParam);
    static bool FilterMenuMessage(MSG& message);
};

LRESULT MenuHooks::MessageFilter(int code, WPARAM wParam, LPARAM lParam)
{
    MenuHooks& hooks = Instance();
    if (code == MSGF_MENU && lParam && FilterMenuMessage(*reinterpret_cast<MSG*>(lParam)))
        return TRUE;
    return CallNextHookEx(hooks.msgFilter, code, wParam, lParam);
}

bool MenuHooks::FilterMenuMessage(MSG& message)
{
    MenuHooks& hooks = Instance();
    SECMenuBarMessages* active = hooks.active;
    if (!active)
        return false;
    switch (message.message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (hooks.trackingSysMenu && active->OnSysMenuClick(message))
            return true;
        if (message.message == WM_LBUTTONDBLCLK || message.message == WM_NCLBUTTONDBLCLK)
            return false;
        hooks.lastPoint = message.pt;
        [[fallthrough]];
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: {
        bool move = message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE;
        if (move && (hooks.firstMove || (message.pt.x == hooks.lastPoint.x && message.pt.y == hooks.lastPoint.y))) {
            hooks.firstMove = false;
            hooks.lastPoint = message.pt;
            return true;
        }
        hooks.lastPoint = message.pt;
        SECMenuBar* bar = active->GetMenuBar();
        if (bar && hooks.openBar == bar->m_hWnd && WindowFromPoint(message.pt) == bar->m_hWnd)
            return bar->OnMenuMouse(message);
        return false;
    }
    case WM_KEYDOWN:
        if (message.wParam == VK_RIGHT || (message.wParam == VK_LEFT && active->m_nOpenLevels <= 1))
            active->PostMenuProd(message.wParam == VK_RIGHT);
        else if (message.wParam == VK_ESCAPE && active->m_nOpenLevels <= 1 && !hooks.trackingSysMenu)
            active->m_bBackToKeyboardMode = TRUE;
        return false;
    case WM_SYSKEYDOWN:
        if (message.wParam == VK_MENU)
            active->OnAltInMenu();
        return false;
    }
    return false;
}

LRESULT MenuHooks::Keyboard(int code, WPARAM wParam, LPARAM lParam)
{
    MenuHooks& hooks = Instance();
    SECMenuBarMessages* active = hooks.active;
    if (!active || code != HC_ACTION)
        return CallNextHookEx(hooks.keyboard, code, wParam, lParam);
    bool released = static_cast<DWORD>(lParam) & 0x80000000u;
    if (released)
        return wParam == VK_MENU ? CallNextHookEx(hooks.keyboard, code, wParam, lParam) : TRUE;
    switch (wParam) {
    case VK_RETURN:
    case VK_DOWN:
        active->OpenSelected();
        return TRUE;
    case VK_ESCAPE:
        active->CancelMenu();
        return TRUE;
    case VK_LEFT:
    case VK_RIGHT:
        active->PostMenuProd(wParam == VK_RIGHT);
        return TRUE;
    case VK_MENU:
    case VK_F10:
        return CallNextHookEx(hooks.keyboard, code, wParam, lParam);
    }
    if (SECMenuBar* bar = active->GetMenuBar()) {
        MSG asKeyMenu { bar->m_hWnd, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam) };
        active->PreTranslateMessage(&asKeyMenu);
    }
    return TRUE;
}

LRESULT MenuHooks::Mouse(int code, WPARAM wParam, LPARAM lParam)
{
    MenuHooks& hooks = Instance();
    SECMenuBarMessages* active = hooks.active;
    if (active && code == HC_ACTION && lParam) {
        POINT point = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->pt;
        if (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE) {
            if (point.x != hooks.lastPoint.x || point.y != hooks.lastPoint.y) {
                hooks.lastPoint = point;
                active->OnHookMouseMove(point);
            }
        } else if (wParam == WM_LBUTTONDOWN || wParam == WM_RBUTTONDOWN || wParam == WM_MBUTTONDOWN || wParam == WM_NCLBUTTONDOWN
            || wParam == WM_NCRBUTTONDOWN || wParam == WM_NCMBUTTONDOWN) {
            active->CancelMenu();
        }
    }
    return CallNextHookEx(hooks.mouse, code, wParam, lParam);
}

// ---- SECMenuBarMessages

BOOL SECMenuBarMessages::IsTrackingSysMenu()
{
    return MenuHooks::Instance().trackingSysMenu;
}

HWND SECMenuBarMessages::OpenPopupBar()
{
    return MenuHooks::Instance().openBar;
}

void SECMenuBarMessages::PostMenuProd(BOOL forward)
{
    m_bMenuSelected = FALSE;
    m_bForward = forward;
    if (CFrameWnd* frame = GetFrame())
        frame->PostMessage(SECMenuProdMessage(), 0, 0);
}

void SECMenuBarMessages::CancelMenu()
{
    if (!m_pMenuBar)
        return;
    if (m_pMenuBar->IsKeyboardMode())
        m_pMenuBar->EndTracking();
    if (MenuHooks::Instance().openBar)
        if (CFrameWnd* frame = GetFrame())
            frame->SendMessage(WM_CANCELMODE);
}

BOOL SECMenuBarMessages::SwitchMenu(UINT menuId)
{
    if (!m_pMenuBar || !m_pMenuBar->SwitchMenu(menuId))
        return FALSE;
    if (CFrameWnd* frame = GetFrame())
        frame->RecalcLayout();
    m_pMenuBar->Invalidate();
    m_pMenuBar->UpdateWindow();
    return TRUE;
}

void SECMenuBarMessages::OpenSelected()
{
    if (!m_pMenuBar || !m_pMenuBar->IsKeyboardMode())
        return;
    int selected = m_pMenuBar->GetTrackedButton();
    m_pMenuBar->EndTracking();
    m_bOpenFirstItem = TRUE;
    if (selected >= 0)
        m_pMenuBar->DropMenuOf(selected);
    else
        m_pMenuBar->OpenSystemMenu();
}

void SECMenuBarMessages::OnHookMouseMove(POINT screen)
{
    if (!m_pMenuBar)
        return;
    CPoint client(screen);
    m_pMenuBar->ScreenToClient(&client);
    m_pMenuBar->HotTrackAt(client);
}

CRect SECMenuBarMessages::SystemIconRect() const
{
    CFrameWnd* frame = GetFrame();
    CRect window;
    frame->GetWindowRect(&window);
    if (frame->GetStyle() & WS_THICKFRAME)
        window.DeflateRect(GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME));
    return CRect(window.left, window.top, window.left + GetSystemMetrics(SM_CXMENUSIZE) - 1, window.top + GetSystemMetrics(SM_CYMENUSIZE));
}

BOOL SECMenuBarMessages::OnSysMenuClick(const MSG& message)
{
    CFrameWnd* frame = GetFrame();
    if (!frame || !MenuHooks::Instance().trackingSysMenu || !SystemIconRect().PtInRect(message.pt))
        return FALSE;
    frame->PostMessage(WM_CANCELMODE);
    if (message.message == WM_LBUTTONDBLCLK || message.message == WM_NCLBUTTONDBLCLK) {
        UINT command = GetMenuDefaultItem(::GetSystemMenu(frame->m_hWnd, FALSE), FALSE, 0);
        if (command != static_cast<UINT>(-1))
            frame->PostMessage(WM_SYSCOMMAND, command, 0);
    }
    return TRUE;
}

void SECMenuBarMessages::TrackPopup(HMENU menu, const SECBtnNotify& request)
{
    CFrameWnd* frame = GetFrame();
    if (!menu || !frame || !m_pMenuBar)
        return;
    CRect button;
    m_pMenuBar->GetItemRect(request.nIndex, &button);
    m_pMenuBar->ClientToScreen(&button);
    MenuHooks::Instance().EnableMsgFilter(true);
    TrackPopupMenu(menu, 0, button.left, button.bottom, 0, frame->m_hWnd, nullptr);
    MenuHooks::Instance().EnableMsgFilter(false);
}

void SECMenuBarMessages::TrackSysMenu(HMENU menu)
{
    CFrameWnd* frame = GetFrame();
    if (!menu || !frame)
        return;
    CRect icon = SystemIconRect();
    MenuHooks& hooks = MenuHooks::Instance();
    hooks.EnableMsgFilter(true);
    hooks.trackingSysMenu = TRUE;
    UINT command = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, icon.left, icon.bottom, 0, frame->m_hWnd, nullptr));
    hooks.trackingSysMenu = FALSE;
    if (command)
        frame->PostMessage(WM_SYSCOMMAND, command, 0);
    hooks.EnableMsgFilter(false);
}

HMENU SECMenuBarMessages::MenuOfRequest(UINT code, const SECBtnNotify& request) const
{
    CFrameWnd* frame = GetFrame();
    if (code != SEC_TBN_DROPMENU)
        return nullptr;
    if (request.a != 0 && static_cast<int>(request.b) >= 0)
        return reinterpret_cast<HMENU>(frame->SendMessage(SECGetMenuMessage(), request.a, static_cast<LPARAM>(request.b)));
    if (request.a == 0 && static_cast<int>(request.b) == -1) {
        HMENU system = ::GetSystemMenu(frame->m_hWnd, FALSE);
        if (system && GetMenuDefaultItem(system, FALSE, 0) == static_cast<UINT>(-1))
            SetMenuDefaultItem(system, SC_CLOSE, FALSE);
        return system;
    }
    return nullptr;
}

BOOL SECMenuBarMessages::OnMenuBarNotify(NMHDR* header, LRESULT* result)
{
    if (!m_pMenuBar || !header || header->hwndFrom != m_pMenuBar->m_hWnd)
        return FALSE;
    MenuHooks& hooks = MenuHooks::Instance();
    switch (header->code) {
    case SEC_TBN_ENTERKEYBOARDMODE:
        hooks.active = this;
        hooks.EnableKeyboard(true);
        return TRUE;
    case SEC_TBN_LEAVEKEYBOARDMODE:
        hooks.EnableKeyboard(false);
        return TRUE;
    case SEC_TBN_DROPMENU:
    case SEC_TBN_CLOSEMENU:
        break;
    default:
        return FALSE;
    }
    if (result)
        *result = 0;
    UINT code = header->code;
    SECBtnNotify request = *reinterpret_cast<const SECBtnNotify*>(header);
    for (;;) {
        HMENU menu = MenuOfRequest(code, request);
        if (hooks.openBar) {
            // Another request while a popup is open: it closes, and the loop below takes the request.
            if (menu)
                hooks.pending = request;
            GetFrame()->SendMessage(WM_CANCELMODE);
            return TRUE;
        }
        hooks.openBar = m_pMenuBar->m_hWnd;
        hooks.active = this;
        m_nOpenLevels = 0;
        m_bBackToKeyboardMode = FALSE;
        // Opened from the keyboard, the popup asks for its first item; a click asks for nothing.
        const bool fromKeyboard = m_bOpenFirstItem;
        bool systemMenu = request.nIndex == -1;
        if (systemMenu)
            TrackSysMenu(menu);
        else
            TrackPopup(menu, request);
        hooks.openBar = nullptr;
        hooks.active = nullptr;
        if (!hooks.pending) {
            int button = m_pMenuBar->GetTrackedButton();
            m_pMenuBar->OnMenuClosed();
            // Esc on a popup opened from the keyboard brings the highlight back to its title; the
            // bar enters keyboard mode from nothing else but Alt or F10.
            if (m_bBackToKeyboardMode && fromKeyboard && !systemMenu && button >= 0)
                m_pMenuBar->SetTrackedButton(button);
            return TRUE;
        }
        request = *hooks.pending;
        hooks.pending.reset();
        code = request.toolBar.hdr.code;
    }
}

void SECMenuBarMessages::OnMenuProd()
{
    if (!m_pMenuBar || m_bMenuSelected)
        return;
    m_bOpenFirstItem = TRUE;
    int next = m_pMenuBar->NextMenuButton(m_bForward);
    if (m_pMenuBar->IsKeyboardMode()) {
        m_bOpenFirstItem = FALSE;
        m_pMenuBar->SetTrackedButton(next);
    } else if (next >= 0) {
        m_pMenuBar->DropMenuOf(next);
    } else {
        m_pMenuBar->OpenSystemMenu();
    }
}

void SECMenuBarMessages::OnInitMenuPopup(HMENU)
{
    ++m_nOpenLevels;
    if (m_bOpenFirstItem) {
        m_bOpenFirstItem = FALSE;
        if (CFrameWnd* frame = GetFrame())
            frame->PostMessage(WM_KEYDOWN, VK_DOWN, 0);
    }
}

void SECMenuBarMessages::OnUninitMenuPopup()
{
    if (m_nOpenLevels > 0)
        --m_nOpenLevels;
}

BOOL SECMenuBarMessages::OnSysCommand(UINT id)
{
    if (!m_pMenuBar || (id & 0xFFF0) != SC_MOUSEMENU)
        return FALSE;
    m_pMenuBar->OpenSystemMenu();
    return TRUE;
}

void SECMenuBarMessages::OnNcActivate(BOOL active)
{
    if (!active)
        CancelMenu();
}

void SECMenuBarMessages::OpenSystemMenuFromKeyboard()
{
    if (m_pMenuBar->IsKeyboardMode())
        m_pMenuBar->EndTracking();
    m_bOpenFirstItem = TRUE;
    m_pMenuBar->OpenSystemMenu();
}

BOOL SECMenuBarMessages::OpenMnemonic(wchar_t ch)
{
    if (ch == L' ' || ch == L'-') {
        OpenSystemMenuFromKeyboard();
        return TRUE;
    }
    int index = m_pMenuBar->FindMnemonic(ch);
    if (index < 0)
        return FALSE;
    m_bOpenFirstItem = TRUE;
    m_pMenuBar->DropMenuOf(index);
    return TRUE;
}

BOOL SECMenuBarMessages::IsF10Accelerator() const
{
    CFrameWnd* frame = dynamic_cast<CFrameWnd*>(AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr);
    if (!frame || !frame->m_hAccelTable)
        return FALSE;
    ACCEL entries[kMaxAccelerators];
    int count = CopyAcceleratorTableW(frame->m_hAccelTable, entries, kMaxAccelerators);
    BYTE modifiers = (KeyDown(VK_SHIFT) ? FSHIFT : 0) | (KeyDown(VK_CONTROL) ? FCONTROL : 0) | (KeyDown(VK_MENU) ? FALT : 0);
    for (int i = 0; i < count; ++i) {
        if ((entries[i].fVirt & FVIRTKEY) && entries[i].key == VK_F10 && (entries[i].fVirt & (FSHIFT | FCONTROL | FALT)) == modifiers)
            return TRUE;
    }
    return FALSE;
}

// Alt with a letter that a control of the active view claims as its mnemonic goes to the view.
BOOL SECMenuBarMessages::MnemonicOfActiveView(wchar_t ch) const
{
    CFrameWnd* frame = GetFrame();
    CView* view = frame ? frame->GetActiveView() : nullptr;
    if (!view)
        return FALSE;
    wchar_t upper = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(ch)));
    for (HWND child = ::GetWindow(view->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[256] = {};
        ::GetWindowTextW(child, text, 256);
        if (MnemonicOf(text) == upper && upper)
            return TRUE;
    }
    return FALSE;
}

BOOL SECMenuBarMessages::PreTranslateMessage(MSG* message)
{
    if (!m_pMenuBar || !m_pMenuBar->m_hWnd)
        return FALSE;
    bool alt = KeyDown(VK_MENU);
    WPARAM key = message->wParam;
    bool character = key < 0x3A || (key >= 0x41 && key <= 0x7A);
    if (alt && (message->message == WM_SYSKEYDOWN || message->message == WM_SYSCHAR) && character
        && MnemonicOfActiveView(static_cast<wchar_t>(key)))
        return FALSE;
    switch (message->message) {
    case WM_SYSKEYDOWN:
        if ((key == VK_MENU || key == VK_F10) && m_pMenuBar->IsKeyboardMode()) {
            m_pMenuBar->EndTracking();
            m_bAltHandled = TRUE;
            return FALSE;
        }
        if (alt && key != VK_MENU)
            return OpenMnemonic(static_cast<wchar_t>(key));
        return FALSE;
    case WM_SYSKEYUP:
        // Eaten, so that the system's own menu mode never starts; Shift+F10 is the context menu's.
        if ((key != VK_MENU && key != VK_F10) || (key == VK_F10 && KeyDown(VK_SHIFT)))
            return FALSE;
        if (std::exchange(m_bAltHandled, FALSE))
            return TRUE;
        if (m_pMenuBar->IsKeyboardMode())
            m_pMenuBar->EndTracking();
        else if (key != VK_F10 || !IsF10Accelerator())
            m_pMenuBar->SetTrackedButton(m_pMenuBar->FirstVisibleMenuButton());
        return TRUE;
    case WM_SYSCOMMAND:
        if ((key & 0xFFF0) != SC_KEYMENU)
            return FALSE;
        OpenMnemonic(static_cast<wchar_t>(message->lParam));
        return TRUE;
    }
    return FALSE;
}

// ---- SECMenuBarFeature

SECMenuBarFeature::~SECMenuBarFeature()
{
    MenuHooks::Instance().Forget(this);
}

CFrameWnd* SECMenuBarFeature::GetFrame() const
{
    return dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(m_hWnd));
}

BOOL SECMenuBarFeature::PreTranslateMessage(MSG* message)
{
    return SECMenuBarMessages::PreTranslateMessage(message) || SECBmpMenuPlugIn::PreTranslateMessage(message);
}

BOOL SECMenuBarFeature::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (!IsPluggedIn())
        return FALSE;
    if (message == SECMenuProdMessage()) {
        OnMenuProd();
        SetHandled(0);
        return TRUE;
    }
    switch (message) {
    case WM_NOTIFY:
        if (OnMenuBarNotify(reinterpret_cast<NMHDR*>(lParam), result)) {
            SetHandled(*result);
            return TRUE;
        }
        return FALSE;
    case WM_MENUSELECT:
        OnMenuSelect();
        break;
    case WM_INITMENUPOPUP:
        SECMenuBarMessages::OnInitMenuPopup(reinterpret_cast<HMENU>(wParam));
        break;
    case WM_UNINITMENUPOPUP:
        OnUninitMenuPopup();
        break;
    case WM_SYSCOMMAND:
        // The menu key alone belongs to the bar's keyboard mode; Alt with a character opens the
        // popup it names (or the system menu).
        if ((wParam & 0xFFF0) == SC_KEYMENU && GetMenuBar()) {
            if (lParam && !OpenMnemonic(static_cast<wchar_t>(std::towupper(static_cast<wint_t>(lParam)))))
                MessageBeep(0);
            SetHandled(0);
            return TRUE;
        }
        if (SECMenuBarMessages::OnSysCommand(static_cast<UINT>(wParam))) {
            SetHandled(0);
            return TRUE;
        }
        break;
    case WM_NCACTIVATE:
        OnNcActivate(static_cast<BOOL>(wParam));
        break;
    }
    // The bitmap menus see the rest (and WM_INITMENUPOPUP after the tracking).
    return SECBmpMenuPlugIn::OnWndMsg(message, wParam, lParam, result);
}
