// What a window does with a message its own procedure leaves to the system.

#include "platform/user/Mdi.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/NonClient.h"
#include "platform/user/WindowIcons.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <utility>

namespace fln::user {

HDC MakeWindowDC(Window& window, bool client, bool clipChildren);
void TrackMenuBarItem(HWND window, POINT screenPoint);
bool OpenMenuBarFromKeyboard(HWND window, wchar_t mnemonic);
void TrackScrollBar(HWND window, int hitCode, POINT screen);

namespace {

void PaintFrame(HWND handle, HDC given = nullptr)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return;
    HDC dc = given ? given : MakeWindowDC(*window, false, false);
    if (!given) {
        // The client area belongs to WM_PAINT.
        ExcludeClipRect(dc, window->client.left, window->client.top, window->client.right, window->client.bottom);
    }
    bool active = (window->exStyle & WS_EX_MDICHILD) ? MdiChildCaptionActive(handle)
                                                     : GetActiveWindow() == WindowTree::Instance().TopLevelOf(*window).handle;
    DrawFrame(*window, dc, active);
    if (!given)
        ReleaseDC(handle, dc);
}

HBRUSH ClassBackground(const Window& window)
{
    HBRUSH brush = window.windowClass->background;
    auto value = reinterpret_cast<ULONG_PTR>(brush);
    if (value > 0 && value <= 31)
        return GetSysColorBrush(static_cast<int>(value - 1)); // a system colour index + 1
    return brush;
}

// The move and size loop: the frame follows the pointer until the button is released;
// Escape puts the window back.
void TrackMoveSize(HWND handle, int hitCode)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return;
    RECT original;
    GetWindowRect(handle, &original);
    POINT start;
    GetCursorPos(&start);
    MINMAXINFO limits {};
    limits.ptMinTrackSize = { GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK) };
    limits.ptMaxTrackSize = { GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK) };
    SendMessageW(handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    SendMessageW(handle, WM_ENTERSIZEMOVE, 0, 0);
    SetCapture(handle);
    bool done = false;
    auto place = [&](const RECT& screenRect) {
        RECT r = screenRect;
        Window* current = FindWindowObject(handle);
        if (current && current->IsChild()) {
            POINT topLeft { r.left, r.top };
            ScreenToClient(current->parent, &topLeft);
            OffsetRect(&r, topLeft.x - r.left, topLeft.y - r.top);
        }
        SetWindowPos(handle, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
        UpdateWindow(handle);
    };
    RunModalLoop(handle, hitCode == HTCAPTION ? MSGF_MOVE : MSGF_SIZE, [&] { return done || GetCapture() != handle || !IsWindow(handle); },
        [&](MSG& message) {
            if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
                place(original);
                done = true;
                return true;
            }
            if (message.message == WM_LBUTTONUP || message.message == WM_NCLBUTTONUP) {
                done = true;
                return true;
            }
            if (message.message != WM_MOUSEMOVE)
                return false;
            int dx = message.pt.x - start.x, dy = message.pt.y - start.y;
            RECT r = original;
            if (hitCode == HTCAPTION) {
                OffsetRect(&r, dx, dy);
                SendMessageW(handle, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
            } else {
                if (hitCode == HTLEFT || hitCode == HTTOPLEFT || hitCode == HTBOTTOMLEFT)
                    r.left = std::clamp<LONG>(r.left + dx, r.right - limits.ptMaxTrackSize.x, r.right - limits.ptMinTrackSize.x);
                if (hitCode == HTRIGHT || hitCode == HTTOPRIGHT || hitCode == HTBOTTOMRIGHT)
                    r.right = std::clamp<LONG>(r.right + dx, r.left + limits.ptMinTrackSize.x, r.left + limits.ptMaxTrackSize.x);
                if (hitCode == HTTOP || hitCode == HTTOPLEFT || hitCode == HTTOPRIGHT)
                    r.top = std::clamp<LONG>(r.top + dy, r.bottom - limits.ptMaxTrackSize.y, r.bottom - limits.ptMinTrackSize.y);
                if (hitCode == HTBOTTOM || hitCode == HTBOTTOMLEFT || hitCode == HTBOTTOMRIGHT)
                    r.bottom = std::clamp<LONG>(r.bottom + dy, r.top + limits.ptMinTrackSize.y, r.top + limits.ptMaxTrackSize.y);
                // WMSZ_ edges are the hit codes less HTLEFT - 1.
                SendMessageW(handle, WM_SIZING, static_cast<WPARAM>(hitCode - HTLEFT + 1), reinterpret_cast<LPARAM>(&r));
            }
            place(r);
            return true;
        });
    if (GetCapture() == handle)
        ReleaseCapture();
    if (IsWindow(handle))
        SendMessageW(handle, WM_EXITSIZEMOVE, 0, 0);
}

// A press on a caption button: it acts when released over the same button.
bool TrackCaptionButton(HWND handle, int hitCode)
{
    SetCapture(handle);
    bool released = false, inside = true;
    RunModalLoop(handle, MSGF_SIZE, [&] { return released || GetCapture() != handle; }, [&](MSG& message) {
        if (message.message == WM_MOUSEMOVE || message.message == WM_LBUTTONUP) {
            Window* window = FindWindowObject(handle);
            POINT origin = window ? WindowTree::Instance().WindowOriginOnScreen(*window) : POINT {};
            inside = window && HitTestFrame(*window, { message.pt.x - origin.x, message.pt.y - origin.y }) == hitCode;
            released = message.message == WM_LBUTTONUP;
            return true;
        }
        return false;
    });
    if (GetCapture() == handle)
        ReleaseCapture();
    return released && inside;
}

// The system menu at a screen point (or under the caption's icon); the choice comes back as
// WM_SYSCOMMAND.
void ShowSystemMenu(HWND handle, LPARAM screenPoint)
{
    Window* window = FindWindowObject(handle);
    HMENU menu = window && (window->style & WS_SYSMENU) ? GetSystemMenu(handle, FALSE) : nullptr;
    if (!menu)
        return;
    bool maximized = window->style & WS_MAXIMIZE, minimized = window->style & WS_MINIMIZE;
    bool sizable = (window->style & WS_THICKFRAME) && !maximized && !minimized;
    EnableMenuItem(menu, SC_RESTORE, (maximized || minimized) ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(menu, SC_MOVE, maximized ? MF_GRAYED : MF_ENABLED);
    EnableMenuItem(menu, SC_SIZE, sizable ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(menu, SC_MINIMIZE, (window->style & WS_MINIMIZEBOX) && !minimized ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(menu, SC_MAXIMIZE, (window->style & WS_MAXIMIZEBOX) && !maximized ? MF_ENABLED : MF_GRAYED);
    EnableMenuItem(menu, SC_CLOSE, (window->windowClass->style & CS_NOCLOSE) ? MF_GRAYED : MF_ENABLED);
    UINT command = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint), 0, handle, nullptr));
    if (command)
        SendMessageW(handle, WM_SYSCOMMAND, command, screenPoint);
}

// Alt went down and came up with no other key between: the menu bar's keyboard access.
bool g_altAlone = false;

HCURSOR CursorForHit(int hitCode)
{
    switch (hitCode) {
    case HTLEFT:
    case HTRIGHT: return LoadCursorW(nullptr, IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM: return LoadCursorW(nullptr, IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return LoadCursorW(nullptr, IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return LoadCursorW(nullptr, IDC_SIZENESW);
    }
    return LoadCursorW(nullptr, IDC_ARROW);
}

} // namespace
} // namespace fln::user

using namespace fln::user;

LRESULT DefWindowProcW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return 0;
    switch (message) {
    case WM_NCCREATE:
        return TRUE;
    case WM_NCCALCSIZE: {
        // The proposed window rectangle comes in; the client rectangle goes out, in the same coordinates.
        RECT* rect = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
        Window probe = *window;
        probe.rect = *rect;
        probe.shape.reset();
        FrameLayout layout = LayoutFrame(probe);
        RECT client = layout.client;
        OffsetRect(&client, rect->left, rect->top);
        *rect = client;
        return 0;
    }
    case WM_NCHITTEST: {
        POINT origin = WindowTree::Instance().WindowOriginOnScreen(*window);
        return HitTestFrame(*window, { GET_X_LPARAM(lParam) - origin.x, GET_Y_LPARAM(lParam) - origin.y });
    }
    case WM_NCPAINT:
        PaintFrame(handle);
        return 0;
    case WM_NCACTIVATE:
        if (WindowTree::Instance().IsVisible(*window) && (window->style & WS_CAPTION) == WS_CAPTION) {
            HDC dc = MakeWindowDC(*window, false, false);
            ExcludeClipRect(dc, window->client.left, window->client.top, window->client.right, window->client.bottom);
            DrawFrame(*window, dc, wParam != 0);
            ReleaseDC(handle, dc);
        }
        return TRUE;
    case WM_ERASEBKGND: {
        HBRUSH brush = ClassBackground(*window);
        if (!brush)
            return 0;
        RECT client;
        GetClientRect(handle, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(handle, &paint);
        EndPaint(handle, &paint);
        return 0;
    }
    case WM_PRINT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        if ((lParam & PRF_CHECKVISIBLE) && !IsWindowVisible(handle))
            return 0;
        if (lParam & PRF_NONCLIENT)
            PaintFrame(handle, dc);
        POINT previous;
        OffsetViewportOrgEx(dc, window->client.left, window->client.top, &previous);
        if (lParam & PRF_ERASEBKGND)
            SendMessageW(handle, WM_ERASEBKGND, wParam, 0);
        if (lParam & PRF_CLIENT)
            SendMessageW(handle, WM_PRINTCLIENT, wParam, lParam);
        if (lParam & PRF_CHILDREN) {
            std::vector<HWND> children = window->children;
            for (auto it = children.rbegin(); it != children.rend(); ++it) {
                Window* child = FindWindowObject(*it);
                if (!child || !(child->style & WS_VISIBLE))
                    continue;
                int saved = SaveDC(dc);
                OffsetViewportOrgEx(dc, child->rect.left, child->rect.top, nullptr);
                IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
                SendMessageW(*it, WM_PRINT, wParam, lParam | PRF_NONCLIENT | PRF_CLIENT);
                RestoreDC(dc, saved);
            }
        }
        SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
        return 0;
    }
    case WM_SETTEXT:
        window->text = lParam ? reinterpret_cast<LPCWSTR>(lParam) : L"";
        if (window->native)
            CurrentDisplay().SetNativeTitle(window->native, window->text);
        // A frame still waiting for WM_NCPAINT shows the new caption then, in the window's first
        // complete picture rather than in a copy of a window not yet painted.
        if ((window->style & WS_CAPTION) == WS_CAPTION && WindowTree::Instance().IsVisible(*window) && !window->frameUpdate)
            PaintFrame(handle);
        return TRUE;
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        int capacity = static_cast<int>(wParam);
        if (!buffer || capacity <= 0)
            return 0;
        int count = std::min(capacity - 1, static_cast<int>(window->text.size()));
        std::copy_n(window->text.begin(), count, buffer);
        buffer[count] = 0;
        return count;
    }
    case WM_SETICON: {
        HICON previous = SetWindowIcon(*window, wParam, reinterpret_cast<HICON>(lParam));
        if ((window->style & WS_CAPTION) == WS_CAPTION && WindowTree::Instance().IsVisible(*window))
            PaintFrame(handle);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(GetWindowIcon(*window, wParam));
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->text.size());
    case WM_SETFONT:
        window->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(window->font);
    case WM_CLOSE:
        DestroyWindow(handle);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            if (!(window->windowClass->style & CS_NOCLOSE))
                SendMessageW(handle, WM_CLOSE, 0, 0);
            return 0;
        case SC_MINIMIZE: ShowWindow(handle, SW_MINIMIZE); return 0;
        case SC_MAXIMIZE: ShowWindow(handle, SW_MAXIMIZE); return 0;
        case SC_RESTORE: ShowWindow(handle, SW_RESTORE); return 0;
        case SC_MOVE: TrackMoveSize(handle, HTCAPTION); return 0;
        case SC_SIZE: TrackMoveSize(handle, static_cast<int>(wParam & 0xF) + HTLEFT - 1); return 0;
        case SC_KEYMENU: {
            // The menu key alone (F10, Alt) belongs to the top-level window, whose menu bar it
            // enters (a frame with a menu bar of its own takes it there).
            HWND root = GetAncestor(handle, GA_ROOT);
            if (!lParam && root && root != handle)
                return SendMessageW(root, WM_SYSCOMMAND, wParam, lParam);
            auto mnemonic = static_cast<wchar_t>(lParam);
            if (OpenMenuBarFromKeyboard(root, mnemonic))
                return 0;
            if (mnemonic == L' ' || (!mnemonic && !GetMenu(root))) {
                RECT r;
                GetWindowRect(root, &r);
                ShowSystemMenu(root, MAKELPARAM(static_cast<WORD>(r.left), static_cast<WORD>(r.top + GetSystemMetrics(SM_CYCAPTION))));
            } else {
                MessageBeep(0);
            }
            return 0;
        }
        }
        return 0;
    case WM_NCLBUTTONDOWN:
        switch (static_cast<int>(wParam)) {
        case HTCAPTION:
            SetActiveWindow(GetAncestor(handle, GA_ROOT));
            if (!(window->style & WS_MAXIMIZE))
                SendMessageW(handle, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
            return 0;
        case HTLEFT: case HTRIGHT: case HTTOP: case HTTOPLEFT: case HTTOPRIGHT:
        case HTBOTTOM: case HTBOTTOMLEFT: case HTBOTTOMRIGHT:
            SendMessageW(handle, WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(wParam - HTLEFT + 1), lParam);
            return 0;
        case HTSYSMENU:
            ShowSystemMenu(handle, lParam);
            return 0;
        case HTVSCROLL:
        case HTHSCROLL:
            TrackScrollBar(handle, static_cast<int>(wParam), { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
            return 0;
        case HTMENU:
            TrackMenuBarItem(handle, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) });
            return 0;
        case HTCLOSE:
            if (TrackCaptionButton(handle, HTCLOSE))
                SendMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, lParam);
            return 0;
        case HTMAXBUTTON:
            if ((window->style & WS_MAXIMIZEBOX) && TrackCaptionButton(handle, HTMAXBUTTON))
                SendMessageW(handle, WM_SYSCOMMAND, (window->style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, lParam);
            return 0;
        case HTMINBUTTON:
            if ((window->style & WS_MINIMIZEBOX) && TrackCaptionButton(handle, HTMINBUTTON))
                SendMessageW(handle, WM_SYSCOMMAND, (window->style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE, lParam);
            return 0;
        }
        return 0;
    case WM_NCLBUTTONDBLCLK:
        if (wParam == HTCAPTION && (window->style & WS_MAXIMIZEBOX))
            SendMessageW(handle, WM_SYSCOMMAND, (window->style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, lParam);
        else if (wParam == HTSYSMENU)
            SendMessageW(handle, WM_SYSCOMMAND, SC_CLOSE, lParam);
        else if (wParam != HTCAPTION)
            return DefWindowProcW(handle, WM_NCLBUTTONDOWN, wParam, lParam); // a quick second press on a button or border
        return 0;
    case WM_SETCURSOR: {
        // The parent may choose the cursor first.
        if (window->IsChild() && SendMessageW(window->parent, WM_SETCURSOR, wParam, lParam))
            return TRUE;
        int hitCode = static_cast<SHORT>(LOWORD(lParam));
        if (hitCode == HTERROR) {
            if (HIWORD(lParam) == WM_LBUTTONDOWN || HIWORD(lParam) == WM_RBUTTONDOWN)
                MessageBeep(0);
            return FALSE;
        }
        if (hitCode == HTCLIENT) {
            HCURSOR cursor = window->windowClass->cursor;
            if (!cursor)
                return FALSE;
            SetCursor(cursor);
            return TRUE;
        }
        SetCursor(CursorForHit(hitCode));
        return TRUE;
    }
    case WM_MOUSEACTIVATE:
        if (window->IsChild()) {
            LRESULT answer = SendMessageW(window->parent, WM_MOUSEACTIVATE, wParam, lParam);
            if (answer)
                return answer;
        }
        return MA_ACTIVATE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam))
            SetFocus(handle);
        return 0;
    case WM_WINDOWPOSCHANGED: {
        auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_NOMOVE))
            SendMessageW(handle, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(window->rect.left + window->client.left), static_cast<WORD>(window->rect.top + window->client.top)));
        if ((window = FindWindowObject(handle)) && !(position->flags & SWP_NOSIZE)) {
            WPARAM kind = (window->style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : (window->style & WS_MINIMIZE) ? SIZE_MINIMIZED : SIZE_RESTORED;
            SendMessageW(handle, WM_SIZE, kind, MAKELPARAM(static_cast<WORD>(window->client.right - window->client.left), static_cast<WORD>(window->client.bottom - window->client.top)));
        }
        return 0;
    }
    case WM_SYSKEYDOWN:
        g_altAlone = wParam == VK_MENU && !(lParam & (1 << 30));
        if (wParam == VK_F4 && (lParam & (1 << 29)))
            PostMessageW(GetAncestor(handle, GA_ROOT), WM_SYSCOMMAND, SC_CLOSE, 0);
        else if (wParam == VK_F10 && GetKeyState(VK_SHIFT) >= 0)
            SendMessageW(handle, WM_SYSCOMMAND, SC_KEYMENU, 0);
        return 0;
    case WM_KEYDOWN:
        g_altAlone = false;
        // F1 asks for help on the focused window; its parents hear it when it does not answer.
        if (wParam == VK_F1 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0) {
            HELPINFO help { sizeof help, HELPINFO_WINDOW, GetDlgCtrlID(handle), handle, 0, {} };
            GetCursorPos(&help.MousePos);
            SendMessageW(handle, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        }
        return 0;
    case WM_HELP:
        if (HWND above = window->IsChild() ? window->parent : GetWindow(handle, GW_OWNER))
            return SendMessageW(above, WM_HELP, wParam, lParam);
        return TRUE;
    case WM_RBUTTONUP: {
        // A right click asks for a context menu at the pointer, in screen coordinates.
        POINT point { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
        ClientToScreen(handle, &point);
        SendMessageW(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle), MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
        return 0;
    }
    case WM_NCRBUTTONUP:
        if (wParam == HTCAPTION || wParam == HTSYSMENU)
            ShowSystemMenu(handle, lParam);
        else
            SendMessageW(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle), lParam);
        return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (wParam == VK_MENU && std::exchange(g_altAlone, false)) {
            SendMessageW(handle, WM_SYSCOMMAND, SC_KEYMENU, 0);
            return 0;
        }
        // The menu key and Shift+F10 ask for a context menu with no point (-1, -1).
        if (wParam == VK_APPS || (wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0))
            SendMessageW(handle, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(handle), static_cast<LPARAM>(0xFFFFFFFF));
        return 0;
    case WM_SYSCHAR:
        // Alt with a character opens the menu it names.
        if (lParam & (1 << 29))
            SendMessageW(handle, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
        return 0;
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
        // Unhandled, these go up to the parent.
        if (window->IsChild())
            return SendMessageW(window->parent, message, message == WM_CONTEXTMENU ? reinterpret_cast<WPARAM>(handle) : wParam, lParam);
        return 0;
    case WM_SETREDRAW:
        // Without redrawing the window counts as hidden for painting, but stays on the screen.
        if (wParam)
            window->style |= WS_VISIBLE;
        else
            window->style &= ~WS_VISIBLE;
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        int background = message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX ? COLOR_WINDOW
            : message == WM_CTLCOLORSCROLLBAR                                   ? COLOR_SCROLLBAR
                                                                                : COLOR_3DFACE;
        SetBkColor(dc, GetSysColor(background));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(background));
    }
    case WM_CANCELMODE:
        if (GetCapture() == handle)
            ReleaseCapture();
        EndMenu();
        return 0;
    case WM_GETDLGCODE:
    case WM_PRINTCLIENT:
    default:
        return 0;
    }
}
