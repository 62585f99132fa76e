#pragma once
// The whole program started on a headless display of the test's own, with its settings, data
// folders and session bus pointed away from the user's, and message boxes answered by the test.

#include "platform/base/tests/Printers.h"
#include "app/FlnApp.h"
#include "app/FlnView.h"
#include "app/MainFrm.h"
#include "platform/base/MessageBox.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/sys/tests/TempSettingsFolder.h"
#include "platform/user/WinUser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class ProgramTest : public ::testing::Test {
protected:
    ProgramTest()
    {
        auto display = std::make_unique<HeadlessDisplay>();
        m_display = display.get();
        SetCurrentDisplay(std::move(display));
        SetMessageBoxHandler([this](const wchar_t* text, const wchar_t*, UINT) {
            m_messages.emplace_back(text);
            return m_answer;
        });
    }
    ~ProgramTest() override
    {
        Stop();
        SetMessageBoxHandler({});
    }

    // Starts the program with these arguments after its name; whether its start-up succeeded.
    bool Start(std::vector<CString> switches = {})
    {
        switches.insert(switches.begin(), L"formulon");
        m_app = std::make_unique<CFlnApp>(std::move(switches));
        bool started = m_app->InitInstance();
        Pump();
        return started;
    }

    // Closes the main window as the user would, then ends the program.
    void Stop()
    {
        if (!m_app)
            return;
        if (m_app->m_pMainWnd && IsWindow(m_app->m_pMainWnd->m_hWnd))
            m_app->m_pMainWnd->SendMessage(WM_CLOSE);
        Pump();
        // A close the program declined (a changed script nobody chose to save) must not leave its
        // windows to a later test, where they would outlive the document they show.
        if (m_app->m_pMainWnd && IsWindow(m_app->m_pMainWnd->m_hWnd))
            ::DestroyWindow(m_app->m_pMainWnd->m_hWnd);
        m_app.reset();
    }

    // Dispatches what waits, through the program's own translation (accelerators included).
    void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            if (message.message == WM_QUIT) {
                m_quitPosted = true;
                continue;
            }
            if (!m_app || !m_app->PreTranslateMessage(&message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
    }

    CMainFrame& Frame() { return *m_app->GetMainFrame(); }
    CFlnView& Page() { return *m_app->GetFlnView(); }
    HWND Field(int id) { return GetDlgItem(Page().m_hWnd, id); }
    CString FieldText(int id)
    {
        wchar_t text[512] = {};
        GetWindowTextW(Field(id), text, 512);
        return text;
    }
    void SetFieldText(int id, const wchar_t* text) { SetWindowTextW(Field(id), text); }
    // Types a formula into the input field and presses "=".
    void Calculate(const wchar_t* formula)
    {
        SetFieldText(kFormulaField, formula);
        Page().SendMessage(WM_COMMAND, kEqualsKey);
        Pump();
    }

    static constexpr int kFormulaField = 224, kSineKey = 109, kEqualsKey = 163, kSelectButton = 137, kOutputLine = 277, kFieldA = 166, kFieldX = 191;

    TempSettingsFolder m_settings;
    ScopedEnv m_data { "XDG_DATA_HOME", m_settings.root() + "/data" };
    ScopedEnv m_bus { "DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus" };
    HeadlessDisplay* m_display = nullptr;
    std::unique_ptr<CFlnApp> m_app;
    std::vector<std::wstring> m_messages;
    int m_answer = IDOK;
    bool m_quitPosted = false; // the program asked its loop to end
};
