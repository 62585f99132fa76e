#include "framework/ContextHelp.h"

#include "framework/MdiFrameWnd.h"
#include "framework/ToolkitFrame.h"
#include "platform/user/ResourceHandles.h"

namespace {

bool IsMouseMessage(UINT message)
{
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || (message >= WM_NCMOUSEMOVE && message <= WM_NCMBUTTONDBLCLK);
}

bool Within(HWND frame, HWND window)
{
    return window && (window == frame || ::IsChild(frame, window));
}

// The help of the window under the point: the first window up to the frame that answers
// WM_HELPHITTEST, else the frame's own help.
DWORD HelpIdAt(CFrameWnd* frame, HWND window, POINT screen)
{
    for (; window && window != frame->m_hWnd; window = ::GetParent(window)) {
        POINT client = screen;
        ::ScreenToClient(window, &client);
        if (const auto helpId = static_cast<DWORD>(::SendMessageW(window, WM_HELPHITTEST, 0, MAKELPARAM(client.x, client.y))))
            return helpId;
    }
    return HID_BASE_RESOURCE + frame->m_nIDHelp;
}

// The frame's menu bar window when the point (screen coordinates) lies on it, else null.
CWnd* MenuBarAt(CFrameWnd* frame, HWND under, POINT screen, BOOL& onTitle)
{
    auto* toolkitFrame = dynamic_cast<SECToolkitFrame*>(frame);
    SECFrameMenuBar* bar = toolkitFrame ? toolkitFrame->GetMenuBar() : nullptr;
    CControlBar* window = bar ? bar->GetMenuControlBar() : nullptr;
    if (!window || !under || window->m_hWnd != under)
        return nullptr;
    CPoint client(screen);
    window->ScreenToClient(&client);
    onTitle = bar->IsMenuTitleAt(client);
    return window;
}

} // namespace

DWORD SECTrackContextHelp(CFrameWnd* frame)
{
    if (!frame || !frame->m_hWnd || ::GetCapture())
        return 0;
    const HWND window = frame->m_hWnd;
    const auto before = static_cast<UINT>(frame->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_HELPMODEMESSAGE));
    const HCURSOR helpCursor = ::LoadCursorW(nullptr, IDC_HELP);
    const HCURSOR cursorBefore = ::SetCursor(helpCursor);
    ::SetCapture(window);
    DWORD helpId = 0;
    MSG message {};
    while (::GetCapture() == window) {
        if (!::GetMessageW(&message, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(message.wParam)); // for the loop that ends the program
            break;
        }
        if (message.message == WM_EXITHELPMODE || (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE))
            break;
        // An item chosen from a menu opened in help mode is what help is wanted for.
        if (message.message == WM_COMMAND && message.hwnd == window && !message.lParam && HIWORD(message.wParam) == 0) {
            helpId = HID_BASE_COMMAND + LOWORD(message.wParam);
            break;
        }
        if (!IsMouseMessage(message.message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
            continue;
        }
        if (message.message != WM_LBUTTONDOWN && message.message != WM_NCLBUTTONDOWN) {
            ::SetCursor(helpCursor); // other mouse messages only keep the help cursor up
            continue;
        }
        POINT screen { GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam) };
        if (message.message == WM_LBUTTONDOWN)
            ::ClientToScreen(message.hwnd, &screen);
        HWND under = ::WindowFromPoint(screen);
        // On the menu bar a title opens its menu, whose items can then be asked about.
        BOOL onTitle = FALSE;
        if (CWnd* bar = message.message == WM_LBUTTONDOWN ? MenuBarAt(frame, under, screen, onTitle) : nullptr) {
            if (onTitle) {
                CPoint client(screen);
                bar->ScreenToClient(&client);
                bar->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(client.x, client.y));
                ::SetCapture(window);
                ::SetCursor(helpCursor);
            }
            continue;
        }
        if (Within(window, under))
            helpId = HelpIdAt(frame, under, screen);
        break;
    }
    if (::GetCapture() == window)
        ::ReleaseCapture();
    ::SetCursor(cursorBefore);
    if (::IsWindow(window))
        frame->SetMessageText(before ? before : AFX_IDS_IDLEMESSAGE);
    return helpId;
}
