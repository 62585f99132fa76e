// The default procedures of an MDI frame and of its children, and the MDI keyboard shortcuts.

#include "platform/user/Mdi.h"

namespace fln::user {
namespace {

bool KeyDown(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

} // namespace
} // namespace fln::user

using namespace fln::user;

LRESULT DefFrameProcW(HWND frame, HWND client, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!IsMdiClient(client))
        return DefWindowProcW(frame, message, wParam, lParam);
    switch (message) {
    case WM_COMMAND:
        if (MdiFrameCommand(client, LOWORD(wParam)))
            return 0;
        break;
    case WM_NCACTIVATE: {
        // The active child's caption follows the frame's.
        HWND active = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
        if (active)
            SendMessageW(active, WM_NCACTIVATE, wParam, lParam);
        break;
    }
    case WM_SETFOCUS:
        SetFocus(client);
        return 0;
    case WM_SIZE: {
        RECT area;
        GetClientRect(frame, &area);
        MoveWindow(client, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
        return 0;
    }
    case WM_SETTEXT:
        if (MdiFrameRetitled(client, reinterpret_cast<LPCWSTR>(lParam)))
            return TRUE;
        break;
    case WM_SYSCOMMAND: {
        // Alt+- opens the maximised child's system menu from the frame.
        BOOL maximized = FALSE;
        HWND active = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == L'-' && active)
            return SendMessageW(active, WM_SYSCOMMAND, SC_KEYMENU, lParam);
        break;
    }
    }
    return DefWindowProcW(frame, message, wParam, lParam);
}

LRESULT DefMDIChildProcW(HWND child, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND client = MdiClientOf(child);
    if (!client)
        return DefWindowProcW(child, message, wParam, lParam);
    switch (message) {
    case WM_MOUSEACTIVATE:
    case WM_CHILDACTIVATE:
    case WM_SETFOCUS:
        SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
        if (message == WM_CHILDACTIVATE)
            return 0;
        break;
    case WM_CLOSE:
        SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
        return 0;
    case WM_SIZE: {
        LRESULT result = DefWindowProcW(child, message, wParam, lParam);
        MdiChildSized(client, child, wParam);
        return result;
    }
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcW(child, message, wParam, lParam);
        MdiChildRetitled(client, child);
        return result;
    }
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_NEXTWINDOW:
        case SC_PREVWINDOW:
            SendMessageW(client, WM_MDINEXT, reinterpret_cast<WPARAM>(child), (wParam & 0xFFF0) == SC_PREVWINDOW);
            return 0;
        case SC_KEYMENU:
            if (lParam == L'-') {
                // The child's system menu, under its caption's icon (or the frame's menu bar).
                RECT r;
                GetWindowRect(child, &r);
                if (IsZoomed(child))
                    GetWindowRect(GetAncestor(child, GA_ROOT), &r);
                HMENU menu = GetSystemMenu(child, FALSE);
                UINT command = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, r.left, r.top + GetSystemMetrics(SM_CYCAPTION), 0, child, nullptr));
                if (command)
                    SendMessageW(child, WM_SYSCOMMAND, command, 0);
                return 0;
            }
            break;
        }
        break;
    }
    return DefWindowProcW(child, message, wParam, lParam);
}

BOOL TranslateMDISysAccel(HWND client, LPMSG message)
{
    if (!message || !IsMdiClient(client) || (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN))
        return FALSE;
    HWND active = reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, 0));
    if (!active || !IsWindowEnabled(active))
        return FALSE;
    WPARAM command = 0;
    LPARAM detail = 0;
    bool control = KeyDown(VK_CONTROL), alt = KeyDown(VK_MENU);
    switch (message->wParam) {
    case VK_F4:
        command = control && !alt ? SC_CLOSE : 0;
        break;
    case VK_F6:
    case VK_TAB:
        if (control && !alt)
            command = KeyDown(VK_SHIFT) ? SC_PREVWINDOW : SC_NEXTWINDOW;
        break;
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
        if (alt && !control) {
            command = SC_KEYMENU;
            detail = L'-';
        }
        break;
    }
    if (!command)
        return FALSE;
    SendMessageW(active, WM_SYSCOMMAND, command, detail);
    return TRUE;
}
