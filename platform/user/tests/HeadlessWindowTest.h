#pragma once
// The ground of every headless window test: a headless display of its own, the queue pumped as the
// program's loop pumps it, the virtual clock, injected input, pixels, and every window destroyed
// after the test. Fixtures of the higher folders add their application and windows on top.

#include "platform/display/HeadlessDisplay.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/WinUser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

class HeadlessWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        SetCurrentDisplay(std::move(display));
        ReleaseHeldInput();
    }
    void TearDown() override
    {
        SetModalLoopHook({});
        ReleaseCapture();
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        Pump();
    }

    // The key and button state belongs to the process, not to the display: the tests of one program
    // share it, so every test starts with nothing held that an earlier one left down.
    void ReleaseHeldInput()
    {
        const std::pair<int, int> buttons[] = { { VK_LBUTTON, 1 }, { VK_MBUTTON, 2 }, { VK_RBUTTON, 3 } };
        for (auto [key, button] : buttons)
            if (GetKeyState(key) & 0x8000)
                headless->InjectButton(button, false, {});
        for (int key = VK_BACK; key <= 0xFF; ++key)
            if (GetKeyState(key) & 0x8000)
                headless->InjectKey(static_cast<unsigned>(key), false);
        Pump();
    }

    // What the test's application does with a message before it is dispatched (an application's
    // PreTranslateMessage); true when it took the message.
    virtual bool PreTranslate(MSG&) { return false; }

    // Dispatches everything that is waiting (WM_PAINT and due timers included); never waits.
    void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            if (message.message == WM_QUIT) {
                quitPosted = true;
                continue;
            }
            if (PreTranslate(message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // Runs the virtual clock, then what it made due.
    void Advance(std::uint32_t milliseconds)
    {
        headless->Advance(milliseconds);
        Pump();
    }

    static POINT ScreenPoint(HWND window, int x, int y)
    {
        POINT point { x, y };
        ClientToScreen(window, &point);
        return point;
    }
    void MoveMouse(POINT screen)
    {
        headless->InjectMouseMove(screen);
        Pump();
    }
    void Click(POINT screen, int button = 1)
    {
        headless->InjectMouseMove(screen);
        headless->InjectButton(button, true, screen);
        headless->InjectButton(button, false, screen);
        Pump();
    }
    // Presses the left button at `from`, moves to `to` and lets go there, each step made from the
    // modal loop that a press on a scroll bar's thumb runs; `held` sees the state after the move,
    // while the button is still down.
    void DragThumb(POINT from, POINT to, const std::function<void()>& held = {})
    {
        headless->InjectMouseMove(from);
        headless->InjectButton(1, true, from);
        int step = 0;
        SetModalLoopHook([&](HWND) {
            if (step == 0)
                headless->InjectMouseMove(to);
            else if (step == 1) {
                if (held)
                    held();
                headless->InjectButton(1, false, to);
            }
            ++step;
        });
        Pump();
        SetModalLoopHook({});
        Pump();
    }
    void Key(unsigned virtualKey, std::wstring text = {})
    {
        headless->InjectKey(virtualKey, true, std::move(text));
        headless->InjectKey(virtualKey, false);
        Pump();
    }
    // Each character as a key press that types it.
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text) {
            headless->InjectKey(0, true, std::wstring(1, ch));
            headless->InjectKey(0, false);
        }
        Pump();
    }

    // A client pixel of a window as last painted.
    static COLORREF PixelAt(HWND window, int x, int y)
    {
        HDC dc = GetDC(window);
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return colour;
    }
    // Whether any pixel of the area of the window's client rectangle has the colour.
    static bool AnyPixelOf(HWND window, const RECT& area, COLORREF colour)
    {
        HDC dc = GetDC(window);
        bool found = false;
        for (int y = area.top; y < area.bottom && !found; ++y) {
            for (int x = area.left; x < area.right && !found; ++x)
                found = GetPixel(dc, x, y) == colour;
        }
        ReleaseDC(window, dc);
        return found;
    }
    // A pixel of the headless screen, where presented windows show.
    COLORREF ScreenPixel(int x, int y) const
    {
        cairo_surface_t* screen = headless->Screen();
        cairo_surface_flush(screen);
        auto* row = cairo_image_surface_get_data(screen) + static_cast<size_t>(y) * cairo_image_surface_get_stride(screen);
        uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

    HeadlessDisplay* headless = nullptr;
    bool quitPosted = false; // a WM_QUIT came through the queue
};
