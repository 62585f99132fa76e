#pragma once
// A fixture that answers the common dialogs' modal loops with scripted steps: each time a loop
// waits, the next step runs on the window it waits for (the dialog or one of its message boxes).

#include "FileSystemFixture.h"

#include "platform/comctl/tests/ComctlTestSupport.h"
#include "platform/comdlg/CommDlg.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <deque>
#include <functional>
#include <optional>

class CommonDialogTest : public CommonControlTest {
protected:
    using Step = std::function<void(HWND)>;

    void SetUp() override
    {
        CommonControlTest::SetUp();
        tree.Folder("home");
        home.emplace("HOME", WideToUtf8(tree.Path("home")));
    }

    void TearDown() override
    {
        steps.clear();
        CommonControlTest::TearDown();
    }

    // Runs the steps as the modal loops wait. A loop still waiting when none is left is a fault:
    // it is cancelled, so that the test ends.
    void Script(std::vector<Step> script)
    {
        steps.assign(script.begin(), script.end());
        SetModalLoopHook([this](HWND window) {
            // A step that only looks runs on with the next one: the loop waits for input.
            while (!steps.empty()) {
                Step step = std::move(steps.front());
                steps.pop_front();
                step(window);
                if (GetQueueStatus(QS_ALLINPUT) || !IsWindowVisible(window))
                    return;
            }
            ADD_FAILURE() << "a modal loop waits with no step left, in \"" << WideToUtf8(WindowText(window)) << "\": " << WideToUtf8(WindowText(GetDlgItem(window, 0xFFFF)));
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        });
    }

    // Keys typed into the focused control: each character with its key.
    Step Type(std::wstring text)
    {
        return [this, text](HWND) {
            for (wchar_t c : text) {
                unsigned key = c == L'.' ? VK_OEM_PERIOD : c == L'/' ? VK_OEM_2 : c == L'~' ? VK_OEM_3 : static_cast<unsigned>(std::towupper(c));
                headless->InjectKey(key, true, std::wstring(1, c));
                headless->InjectKey(key, false);
            }
        };
    }

    Step Press(unsigned key, std::initializer_list<unsigned> modifiers = {}, std::wstring text = {})
    {
        return [this, key, modifiers = std::vector<unsigned>(modifiers), text](HWND) {
            for (unsigned modifier : modifiers)
                headless->InjectKey(modifier, true);
            headless->InjectKey(key, true, text);
            headless->InjectKey(key, false);
            for (unsigned modifier : modifiers)
                headless->InjectKey(modifier, false);
        };
    }

    // A click in the middle of a control of the dialog.
    Step ClickOn(int id)
    {
        return [this, id](HWND dialog) {
            RECT r;
            GetWindowRect(GetDlgItem(dialog, id), &r);
            POINT centre { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
            headless->InjectMouseMove(centre);
            headless->InjectButton(1, true, centre);
            headless->InjectButton(1, false, centre);
        };
    }

    // A step that only looks at the window.
    static Step Check(std::function<void(HWND)> check) { return check; }

    static std::wstring WindowText(HWND window)
    {
        wchar_t text[512] {};
        GetWindowTextW(window, text, 512);
        return text;
    }

    TempTree tree;
    TempSettingsFolder settings;
    std::optional<ScopedEnv> home;
    std::deque<Step> steps;
};
