// The update check in the whole program: Help > Check for Update... goes through the main frame
// to the checker and back, and start-up never checks on its own.

#include "app/tests/ProgramTestSupport.h"

#include "platform/net/tests/LoopbackHttpServer.h"
#include "res/Formulon.h"

namespace {

HMENU HelpPopup(HMENU menu)
{
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        if (std::wstring(text) == L"&Help")
            return GetSubMenu(menu, i);
    }
    return nullptr;
}

TEST_F(ProgramTest, CheckForUpdateRunsThroughTheFrameAndNeverAtStartUp)
{
    ScopedEnv noProxy("no_proxy", "127.0.0.1");
    LoopbackHttpServer server;
    server.Route("/version.txt", {200, "[Formulon]\nVersion=4.2.0.0\n"});

    // The first start has no update source: the command says so (and is answered No).
    ASSERT_TRUE(Start());
    m_answer = IDNO;
    Frame().SendMessage(WM_COMMAND, ID_CHECK_FOR_UPDATE);
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(L"No update source is configured"), std::wstring::npos);
    m_app->WriteProfileString(L"Options", L"Version File URL", server.Url("/version.txt").c_str());
    Stop();

    // With a source and a check due, starting, painting and the idle moments fetch nothing.
    ASSERT_TRUE(Start());
    for (LONG idle = 0; m_app->OnIdle(idle); ++idle) {
    }
    Pump();
    EXPECT_TRUE(m_app->m_Updater.IsCheckDue());
    EXPECT_EQ(server.RequestCount(), 0);

    // The command is offered, and its check ends in the frame's evaluation.
    HMENU menu = LoadMenuW(m_app->m_hInstance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    HMENU help = HelpPopup(menu);
    ASSERT_NE(help, nullptr);
    Frame().SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(help), 0);
    EXPECT_EQ(GetMenuState(help, ID_CHECK_FOR_UPDATE, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), 0u);
    DestroyMenu(menu);

    std::wstring caption;
    SetModalLoopHook([&](HWND box) {
        wchar_t text[128] = {};
        GetWindowTextW(box, text, 128);
        caption = text;
        EndDialog(box, IDOK);
    });
    Frame().SendMessage(WM_COMMAND, ID_CHECK_FOR_UPDATE);
    while (caption.empty()) {
        WaitMessage();
        Pump();
    }
    SetModalLoopHook({});
    EXPECT_EQ(caption, L"Version up to date");
    EXPECT_EQ(server.RequestCount(), 1);
    EXPECT_FALSE(m_app->m_Updater.IsChecking());
}

} // namespace
