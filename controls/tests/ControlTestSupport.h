#pragma once
// A headless display with one framework main window per test, and helpers that pump the queue,
// run the virtual clock and read pixels of a window.

#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/Wnd.h"

#include <gtest/gtest.h>

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        SetCurrentDisplay(std::move(display));
        ASSERT_TRUE(main.CreateEx(0, nullptr, L"Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 400, nullptr, nullptr));
        app.m_pMainWnd = &main;
        Pump();
    }
    void TearDown() override
    {
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        Pump();
        AfxDeleteTempObjects();
    }
    static void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
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
    void Click(POINT screen)
    {
        headless->InjectMouseMove(screen);
        headless->InjectButton(1, true, screen);
        headless->InjectButton(1, false, screen);
        Pump();
    }
    // A client pixel of a window as last painted.
    static COLORREF PixelAt(HWND window, int x, int y)
    {
        HDC dc = GetDC(window);
        COLORREF color = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return color;
    }
    // Whether any pixel of the client rectangle has the colour.
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

    HeadlessDisplay* headless = nullptr;
    CWinApp app { L"ControlTest" };
    CWnd main;
};
