#include "editor/EditBusyRun.h"

#include "platform/sys/WaitSources.h"

namespace {

bool IsInput(UINT code)
{
    return (code >= WM_KEYFIRST && code <= WM_KEYLAST) || (code >= WM_MOUSEFIRST && code <= WM_MOUSELAST)
        || (code >= WM_NCMOUSEMOVE && code <= WM_NCMBUTTONDBLCLK);
}

// What the program asks of itself, which may close the windows the run works in.
bool IsRequest(UINT code)
{
    return code == WM_QUIT || code == WM_CLOSE || (code >= WM_APP && code < 0xC000);
}

} // namespace

EditBusyRun::~EditBusyRun()
{
    for (const MSG& message : m_later) {
        if (message.message == WM_QUIT)
            ::PostQuitMessage(static_cast<int>(message.wParam));
        else
            ::PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
    }
}

bool EditBusyRun::KeepGoing()
{
    // A termination signal arrives through the wait sources, and the program posts its end.
    DispatchReadyWaitSources();
    MSG message;
    while (!m_ended && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        const UINT code = message.message;
        if (IsRequest(code)) {
            m_later.push_back(message);
            m_ended = true;
        } else if (code == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            m_ended = true;
        } else if (!IsInput(code)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        // Other input is dropped: it would act on the text in the middle of its change.
    }
    m_waitCursor.Restore();
    return !m_ended;
}
