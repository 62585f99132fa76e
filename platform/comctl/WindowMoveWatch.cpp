#include "platform/comctl/WindowMoveWatch.h"

#include <algorithm>
#include <vector>

namespace fln::comctl {
namespace {

struct Watches {
    std::vector<WindowMoveWatch*> active;
    HHOOK hook = nullptr;
};

Watches& TheWatches()
{
    static Watches watches;
    return watches;
}

RECT ScreenRectOf(HWND window)
{
    RECT rect {};
    GetWindowRect(window, &rect);
    return rect;
}

} // namespace

void WindowMoveWatch::Start(HWND window)
{
    Stop();
    if (!IsWindow(window))
        return;
    m_window = window;
    m_place = ScreenRectOf(window);
    m_topLevelPlace = ScreenRectOf(GetAncestor(window, GA_ROOT));
    Watches& watches = TheWatches();
    watches.active.push_back(this);
    if (!watches.hook)
        watches.hook = SetWindowsHookExW(WH_CALLWNDPROCRET, HookProcedure, nullptr, GetCurrentThreadId());
}

void WindowMoveWatch::Stop()
{
    if (!m_window)
        return;
    m_window = nullptr;
    Watches& watches = TheWatches();
    std::erase(watches.active, this);
    if (watches.active.empty() && watches.hook) {
        UnhookWindowsHookEx(watches.hook);
        watches.hook = nullptr;
    }
}

bool WindowMoveWatch::Moved() const
{
    if (!IsWindow(m_window))
        return true;
    HWND topLevel = GetAncestor(m_window, GA_ROOT);
    RECT place = ScreenRectOf(m_window), topLevelPlace = ScreenRectOf(topLevel);
    return IsIconic(topLevel) || !EqualRect(&place, &m_place) || !EqualRect(&topLevelPlace, &m_topLevelPlace);
}

LRESULT WindowMoveWatch::HookProcedure(int code, WPARAM wParam, LPARAM lParam)
{
    Watches& watches = TheWatches();
    HHOOK hook = watches.hook;
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code >= 0 && call && (call->message == WM_WINDOWPOSCHANGED || call->message == WM_SIZE)) {
        // A callback may start or stop watches.
        const std::vector<WindowMoveWatch*> active = watches.active;
        for (WindowMoveWatch* watch : active) {
            if (std::find(watches.active.begin(), watches.active.end(), watch) == watches.active.end() || !watch->m_window)
                continue;
            HWND window = watch->m_window;
            if ((call->hwnd == window || call->hwnd == GetAncestor(window, GA_ROOT)) && watch->Moved()) {
                watch->Stop();
                watch->m_onMoved();
            }
        }
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

} // namespace fln::comctl
