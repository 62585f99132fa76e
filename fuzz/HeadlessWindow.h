#pragma once
// A headless display and a shown top-level window for the fuzz targets that make windows, set up
// on first use and destroyed at exit, so that the leak checker sees only what an input leaves.

#include "platform/display/HeadlessDisplay.h"
#include "platform/user/WinUser.h"

#include <memory>

namespace fuzz {

inline void UseHeadlessDisplay()
{
    static const bool done = [] {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        return true;
    }();
    (void)done;
}

class HeadlessWindow {
public:
    // The one window, 640 x 480 at the screen's origin.
    static HWND Get()
    {
        static HeadlessWindow window;
        return window.m_window;
    }

private:
    HeadlessWindow()
    {
        UseHeadlessDisplay();
        m_window = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    }
    ~HeadlessWindow() { DestroyWindow(m_window); }

    HWND m_window;
};

} // namespace fuzz
