#pragma once
// A headless frame window per test with an application around it, and helpers that pump the queue,
// run the virtual clock and inject input.

#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

class HeadlessFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        SetCurrentDisplay(std::move(display));
        frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, L"Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 100, 800, 300)));
        app.m_pMainWnd = frame;
    }
    void TearDown() override
    {
        app.m_pMainWnd = nullptr;
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        Pump();
        AfxDeleteTempObjects();
    }
    // Dispatches everything waiting as the application's loop would (dialog keys included).
    static void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            if (AfxGetApp() && AfxGetApp()->PreTranslateMessage(&message))
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    void Advance(std::uint32_t milliseconds)
    {
        headless->Advance(milliseconds);
        Pump();
    }
    // What the program does when it has nothing else to do: lay out, update the command UI.
    void Idle()
    {
        Pump();
        frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
        frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        Pump();
    }
    static CPoint ScreenPoint(CWnd* window, int x, int y)
    {
        CPoint point(x, y);
        window->ClientToScreen(&point);
        return point;
    }
    void Click(CPoint screen)
    {
        headless->InjectMouseMove(screen);
        headless->InjectButton(1, true, screen);
        headless->InjectButton(1, false, screen);
        Pump();
    }
    void Key(unsigned virtualKey, std::wstring text = {})
    {
        headless->InjectKey(virtualKey, true, text);
        headless->InjectKey(virtualKey, false);
        Pump();
    }
    static COLORREF PixelAt(CWnd* window, int x, int y)
    {
        HDC dc = ::GetDC(window->m_hWnd);
        COLORREF colour = ::GetPixel(dc, x, y);
        ::ReleaseDC(window->m_hWnd, dc);
        return colour;
    }
    // A rectangle of a child window in its parent's client area.
    static CRect PlaceInParent(CWnd* window)
    {
        CRect rect;
        window->GetWindowRect(&rect);
        ::MapWindowPoints(nullptr, ::GetParent(window->m_hWnd), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    HeadlessDisplay* headless = nullptr;
    TempSettingsFolder settings;
    CWinApp app { L"CommandBarsTest" };
    CFrameWnd* frame = nullptr;
};
