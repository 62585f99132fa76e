#pragma once
// One framework main window per test, on the headless ground every window test shares.

#include "platform/mfc/WinApp.h"
#include "platform/mfc/Wnd.h"
#include "platform/user/tests/HeadlessWindowTest.h"

#include <gtest/gtest.h>

class ControlTest : public HeadlessWindowTest {
protected:
    void SetUp() override
    {
        HeadlessWindowTest::SetUp();
        ASSERT_TRUE(main.CreateEx(0, nullptr, L"Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 600, 400, nullptr, nullptr));
        app.m_pMainWnd = &main;
        Pump();
    }
    void TearDown() override
    {
        HeadlessWindowTest::TearDown();
        AfxDeleteTempObjects();
    }

    CWinApp app { L"ControlTest" };
    CWnd main;
};
