#pragma once
// The ground of the toolkit's window tests: a headless display, an application with a settings
// folder of its own, the pump and geometry helpers, and a docking frame with its dock bars.

#include "platform/mfc/DockBar.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/tests/TempSettingsFolder.h"
#include "platform/user/tests/HeadlessWindowTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// The headless display, an application with a settings folder of its own, and the windows all
// destroyed after each test: what every window test of the toolkit stands on.
class HeadlessAppFixture : public HeadlessWindowTest {
protected:
    void SetUp() override
    {
        HeadlessWindowTest::SetUp();
        app.SetRegistryKey(L"Formulon Tests");
    }
    void TearDown() override
    {
        app.m_pMainWnd = nullptr;
        HeadlessWindowTest::TearDown();
        AfxDeleteTempObjects();
    }
    // A window's rectangle in its parent's client area.
    static CRect PlaceInParent(HWND window)
    {
        CRect rect;
        ::GetWindowRect(window, &rect);
        ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // The headless screen's pixels over an area, row by row.
    std::vector<COLORREF> ScreenPixels(const CRect& area) const
    {
        std::vector<COLORREF> pixels;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                pixels.push_back(ScreenPixel(x, y));
        return pixels;
    }

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
