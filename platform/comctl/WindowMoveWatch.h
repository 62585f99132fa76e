#pragma once
// Tells a tip that the window of its tool has moved on the screen: the window itself, or the
// top-level window that holds it, was moved, sized or minimised. A tip stays where it was put, so
// it must hide then. One thread hook serves every watch, and it is in place only while a watch is.

#include "platform/user/WinUser.h"

#include <functional>

namespace fln::comctl {

class WindowMoveWatch {
public:
    explicit WindowMoveWatch(std::function<void()> onMoved) : m_onMoved(std::move(onMoved)) { }
    ~WindowMoveWatch() { Stop(); }
    WindowMoveWatch(const WindowMoveWatch&) = delete;
    WindowMoveWatch& operator=(const WindowMoveWatch&) = delete;

    // Watches the window from its place now on; the callback comes once, then the watch stops.
    void Start(HWND window);
    void Stop();
    bool Watching() const { return m_window != nullptr; }

private:
    static LRESULT HookProcedure(int code, WPARAM wParam, LPARAM lParam);
    bool Moved() const;

    std::function<void()> m_onMoved;
    HWND m_window = nullptr;
    RECT m_place {}, m_topLevelPlace {};
};

} // namespace fln::comctl
