#pragma once
// A fixture base for tests of modal windows: a headless display, message boxes captured instead of
// shown, and steps run one at a time while the modal loop waits.

#include "platform/base/MessageBox.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/tests/HeadlessWindowTest.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>

class ModalTest : public HeadlessWindowTest {
protected:
    void SetUp() override
    {
        HeadlessWindowTest::SetUp();
        previousHandler = SetMessageBoxHandler([this](const wchar_t* text, const wchar_t*, UINT) {
            boxes.push_back(text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        HeadlessWindowTest::TearDown();
        SetMessageBoxHandler(std::move(previousHandler));
    }
    // Runs the steps one at a time, one each time the modal loop would wait.
    void WhenWaiting(std::deque<std::function<void(HWND)>> steps)
    {
        pending = std::move(steps);
        SetModalLoopHook([this](HWND modal) {
            if (pending.empty())
                return;
            auto step = std::move(pending.front());
            pending.pop_front();
            step(modal);
            PostMessageW(modal, WM_NULL, 0, 0); // come back for the next step
        });
    }

    CWinApp app { L"ModalTest" };
    std::vector<CString> boxes; // the texts of the message boxes shown
    std::deque<std::function<void(HWND)>> pending;

private:
    MessageBoxHandler previousHandler;
};
