#include "app/ScriptDialogs.h"

#include "app/ScriptInputBox.h"
#include "platform/base/MessageBox.h"
#include "platform/user/WinUser.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

struct OpenDialogs {
    std::vector<HWND> windows;  // innermost last
    std::function<void()> stop;
    std::function<HWND()> reachable;
    std::vector<HWND> keptEnabled; // the top-level windows of the reachable windows, innermost last
    bool watching = false;      // a dialog's call is about to create its window
};

OpenDialogs& Dialogs()
{
    static OpenDialogs dialogs;
    return dialogs;
}

bool InOpenDialog(HWND window)
{
    const HWND root = window ? ::GetAncestor(window, GA_ROOT) : nullptr;
    return root && std::ranges::find(Dialogs().windows, root) != Dialogs().windows.end();
}

// The first top-level window made during a dialog's call is that dialog.
LRESULT WatchCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND && Dialogs().watching) {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        if (!(create->lpcs->style & WS_CHILD)) {
            Dialogs().windows.push_back(reinterpret_cast<HWND>(wParam));
            Dialogs().watching = false;
        }
    }
    return 0;
}

LRESULT WatchEscape(int, WPARAM, LPARAM lParam)
{
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (message->message != WM_KEYDOWN || message->wParam != VK_ESCAPE || !InOpenDialog(message->hwnd) || !Dialogs().stop)
        return 0;
    Dialogs().stop();
    return 1;
}

// While a dialog is open, every window of the kept window's top-level window that is neither it
// nor one of its parents is disabled.
class OtherWindowsDisabled {
public:
    explicit OtherWindowsDisabled(HWND kept)
        : m_root(kept ? ::GetAncestor(kept, GA_ROOT) : nullptr)
        , m_focus(::GetFocus())
    {
        for (HWND child = kept; child && (::GetWindowLongW(child, GWL_STYLE) & WS_CHILD); child = ::GetParent(child)) {
            for (HWND sibling = ::GetWindow(::GetParent(child), GW_CHILD); sibling; sibling = ::GetWindow(sibling, GW_HWNDNEXT))
                if (sibling != child && ::IsWindowEnabled(sibling)) {
                    ::EnableWindow(sibling, FALSE);
                    m_disabled.push_back(sibling);
                }
        }
        if (m_root)
            Dialogs().keptEnabled.push_back(m_root);
    }
    ~OtherWindowsDisabled()
    {
        if (m_root)
            Dialogs().keptEnabled.pop_back();
        for (HWND window : m_disabled)
            if (::IsWindow(window))
                ::EnableWindow(window, TRUE);
        // Disabling took the focus from its window: it goes back there, as after any dialog.
        const HWND focus = ::GetFocus();
        if (m_root && m_focus && ::IsWindow(m_focus) && (!focus || focus == m_root))
            ::SetFocus(m_focus);
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

private:
    HWND m_root;
    HWND m_focus;
    std::vector<HWND> m_disabled;
};

HWND ReachableWindow()
{
    return Dialogs().reachable ? Dialogs().reachable() : nullptr;
}

// One script dialog's call: its window is known while it is open.
class DialogScope {
public:
    DialogScope()
        : m_reachable(ReachableWindow())
        , m_outer(std::exchange(Dialogs().watching, true))
        , m_depth(Dialogs().windows.size())
        , m_creation(::SetWindowsHookExW(WH_CBT, WatchCreation, nullptr, ::GetCurrentThreadId()))
        , m_keys(::SetWindowsHookExW(WH_MSGFILTER, WatchEscape, nullptr, ::GetCurrentThreadId()))
    {
    }
    ~DialogScope()
    {
        ::UnhookWindowsHookEx(m_keys);
        ::UnhookWindowsHookEx(m_creation);
        Dialogs().windows.resize(std::min(Dialogs().windows.size(), m_depth));
        Dialogs().watching = m_outer;
    }
    DialogScope(const DialogScope&) = delete;
    DialogScope& operator=(const DialogScope&) = delete;

private:
    OtherWindowsDisabled m_reachable;
    bool m_outer;
    size_t m_depth;
    HHOOK m_creation, m_keys;
};

} // namespace

void InstallScriptDialogs(std::function<void()> stop, std::function<HWND()> reachable)
{
    Dialogs().stop = std::move(stop);
    Dialogs().reachable = std::move(reachable);
    // Through the program's message-box hook, which tests answer.
    SetScriptMessageBoxHandler([](const ScriptMessageBoxRequest& request) {
        // The box belongs to the window the script runs for, as when it was started from the menu,
        // not to the window that was clicked last: a floating bar's frame that a box disabled
        // would take its Stop along.
        if (const HWND owner = request.owner ? ::GetAncestor(request.owner, GA_ROOT) : nullptr)
            ::SetActiveWindow(owner);
        DialogScope scope;
        return ShowMessageBox(request.prompt.c_str(), request.title.c_str(), request.type);
    });
    SetScriptInputBoxHandler([](const ScriptInputBoxRequest& request) {
        DialogScope scope;
        return CScriptInputBox(request).Ask();
    });
}

void CloseScriptDialogs()
{
    // Innermost first; a destroyed dialog's modal loop ends and its call returns.
    const std::vector<HWND> open = Dialogs().windows;
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        if (::IsWindow(*it))
            ::DestroyWindow(*it);
}

bool KeepsEnabledForScriptDialog(HWND topLevel)
{
    return topLevel && std::ranges::find(Dialogs().keptEnabled, topLevel) != Dialogs().keptEnabled.end();
}
