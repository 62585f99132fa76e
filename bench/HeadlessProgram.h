#pragma once
// The program started once, headless, with settings of its own and no session bus, for the
// benchmarks that measure a page as the program runs it.

#include "app/FlnApp.h"
#include "app/MainFrm.h"
#include "platform/display/HeadlessDisplay.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace bench {

class HeadlessProgram {
public:
    explicit HeadlessProgram(const char* name)
    {
        const std::string settings = std::filesystem::temp_directory_path() / (std::string("formulon-") + name + "-" + std::to_string(getpid()));
        std::filesystem::create_directories(settings);
        setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
        setenv("FORMULON_DISPLAY", "headless", 1);
        setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        app = std::make_unique<CFlnApp>(std::vector<CString> { L"formulon" });
        started = app->InitInstance();
        Pump();
    }
    CMainFrame& Frame() { return *app->GetMainFrame(); }
    // The index of the first tab whose page is a Page, or -1.
    template <typename Page>
    int FindTab()
    {
        for (int index = 0; started && index < Frame().m_wndTab.GetTabCount(); ++index)
            if (dynamic_cast<Page*>(Frame().m_wndTab.GetPage(index)))
                return index;
        return -1;
    }
    void ShowTab(int index)
    {
        Frame().m_wndTab.ActivateTab(index);
        Pump();
    }
    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    std::unique_ptr<CFlnApp> app;
    bool started = false;
};

} // namespace bench
