#pragma once
// A headless docking frame with its dock bars, an application with a settings folder of its own,
// and the pump and geometry helpers that the toolkit's bar tests share.

#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <memory>

class DockingFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        SetCurrentDisplay(std::move(display));
        app.SetRegistryKey(L"Formulon Tests");
        frame = NewFrame();
        ASSERT_TRUE(frame->Create(nullptr, L"Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 100, 800, 600)));
        app.m_pMainWnd = frame;
        frame->EnableDocking(CBRS_ALIGN_ANY);
    }
    void TearDown() override
    {
        app.m_pMainWnd = nullptr;
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        Pump();
        AfxDeleteTempObjects();
    }
    virtual CFrameWnd* NewFrame() { return new CFrameWnd; }
    static void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // A window's rectangle in its parent's client area.
    static CRect PlaceInParent(HWND window)
    {
        CRect rect;
        ::GetWindowRect(window, &rect);
        ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    HeadlessDisplay* headless = nullptr;
    TempSettingsFolder settings;
    CWinApp app { L"FrameworkDockingTest" };
    CFrameWnd* frame = nullptr;
};
