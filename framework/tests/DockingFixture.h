#pragma once
// The ground of the toolkit's window tests: a headless display, an application with a settings
// folder of its own, the pump and geometry helpers, and a docking frame with its dock bars.

#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <memory>

// The headless display, an application with a settings folder of its own, and the windows all
// destroyed after each test: what every window test of the toolkit stands on.
class HeadlessAppFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        SetCurrentDisplay(std::move(display));
        app.SetRegistryKey(L"Formulon Tests");
    }
    void TearDown() override
    {
        app.m_pMainWnd = nullptr;
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
    CWinApp app { L"FrameworkTest" };
};

// A docking frame with its dock bars on that ground.
class DockingFixture : public HeadlessAppFixture {
protected:
    void SetUp() override
    {
        HeadlessAppFixture::SetUp();
        frame = NewFrame();
        ASSERT_TRUE(frame->Create(nullptr, L"Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 100, 800, 600)));
        app.m_pMainWnd = frame;
        frame->EnableDocking(CBRS_ALIGN_ANY);
    }
    virtual CFrameWnd* NewFrame() { return new CFrameWnd; }

    CFrameWnd* frame = nullptr;
};
