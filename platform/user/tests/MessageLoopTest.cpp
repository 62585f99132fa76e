#include "UserTestSupport.h"

#include <thread>

namespace {

using MessageLoop = UserTest;

TEST_F(MessageLoop, PostedMessagesFromAnotherThreadWakeGetMessage)
{
    HWND window = TopLevel();
    Pump();
    std::thread poster([window] {
        for (int i = 0; i < 100; ++i)
            PostMessageW(window, WM_APP, static_cast<WPARAM>(i), 0);
        PostQuitMessage(7);
    });
    MSG message;
    std::vector<WPARAM> received;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (message.message == WM_APP)
            received.push_back(message.wParam);
        DispatchMessageW(&message);
    }
    poster.join();
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 7u);
    ASSERT_EQ(received.size(), 100u);
    for (size_t i = 0; i < received.size(); ++i)
        EXPECT_EQ(received[i], i); // in the order posted
}

TEST_F(MessageLoop, SendMessageFromAnotherThreadRunsOnTheWindowsThread)
{
    HWND window = TopLevel();
    std::thread::id uiThread = std::this_thread::get_id();
    std::thread::id ranOn;
    MessageLog::Instance().answer = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message != WM_APP + 1)
            return std::nullopt;
        ranOn = std::this_thread::get_id();
        EXPECT_TRUE(InSendMessage());
        return static_cast<LRESULT>(wParam * 2);
    };
    LRESULT result = 0;
    std::thread sender([&] { result = SendMessageW(window, WM_APP + 1, 21, 0); });
    // Reading the queue runs the sent message; it is not a message the loop sees.
    while (ranOn == std::thread::id()) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (ranOn == std::thread::id())
            WaitMessage();
    }
    sender.join();
    EXPECT_EQ(result, 42);
    EXPECT_EQ(ranOn, uiThread);
    EXPECT_FALSE(InSendMessage());
}

TEST_F(MessageLoop, SendMessageTimeoutGivesUpOnABusyThread)
{
    HWND window = TopLevel();
    DWORD_PTR answer = 0;
    EXPECT_EQ(SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 1, &answer), 1);
    EXPECT_EQ(answer, 4u); // "Test"
    // This thread does not read its queue while the other one waits: the other one gives up.
    LRESULT sent = -1;
    std::thread sender([&] { sent = SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 1, &answer); });
    sender.join();
    EXPECT_EQ(sent, 0);
    Pump(); // the late message still runs, its answer dropped
    EXPECT_EQ(SendMessageTimeoutW(reinterpret_cast<HWND>(0x1), WM_NULL, 0, 0, SMTO_BLOCK, 1, &answer), 0);
}

TEST_F(MessageLoop, BroadcastsReachEveryTopLevelWindow)
{
    HWND a = TopLevel();
    HWND b = TopLevel(WS_POPUP);
    Child(a, { 0, 0, 5, 5 });
    Pump();
    UINT message = RegisterWindowMessageW(L"FLN_Broadcast");
    EXPECT_TRUE(PostMessageW(HWND_BROADCAST, message, 1, 0));
    Pump();
    auto& log = MessageLog::Instance();
    EXPECT_EQ(log.Count(a, message), 1);
    EXPECT_EQ(log.Count(b, message), 1);
    RECT work { 0, 0, 1280, 900 };
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, SPIF_SENDCHANGE);
    EXPECT_EQ(log.Count(a, WM_SETTINGCHANGE), 1);
    EXPECT_EQ(log.Count(b, WM_SETTINGCHANGE), 1);
    SystemParametersInfoW(SPI_SETWORKAREA, 0, nullptr, 0);
}

TEST_F(MessageLoop, PostToADestroyedWindowFails)
{
    HWND window = TopLevel();
    DestroyWindow(window);
    EXPECT_FALSE(PostMessageW(window, WM_APP, 0, 0));
    EXPECT_EQ(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST_F(MessageLoop, PeekFiltersByWindowAndRange)
{
    HWND a = TopLevel();
    HWND b = TopLevel();
    Pump();
    PostMessageW(a, WM_APP, 1, 0);
    PostMessageW(b, WM_APP + 5, 2, 0);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, a, WM_APP + 1, WM_APP + 9, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_APP + 1, WM_APP + 9, PM_NOREMOVE));
    EXPECT_EQ(message.hwnd, b);
    ASSERT_TRUE(PeekMessageW(&message, b, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, 2u);
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.hwnd, a);
    EXPECT_EQ(GetQueueStatus(QS_POSTMESSAGE), 0u);
}

TEST_F(MessageLoop, RegisteredMessagesShareOneValuePerName)
{
    UINT first = RegisterWindowMessageW(L"FLN_Example");
    EXPECT_GE(first, 0xC000u);
    EXPECT_EQ(RegisterWindowMessageW(L"fln_example"), first);
    EXPECT_NE(RegisterWindowMessageW(L"FLN_Other"), first);
    EXPECT_EQ(RegisterWindowMessageW(L""), 0u);
    EXPECT_EQ(RegisterClipboardFormatW(L"FLN_Example"), first);
}

TEST_F(MessageLoop, TimersFireOnTheVirtualClock)
{
    HWND window = TopLevel();
    Pump();
    ASSERT_EQ(SetTimer(window, 1, 3000, nullptr), 1u);
    headless->Advance(2999);
    Pump();
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_TIMER), 0);
    headless->Advance(1);
    Pump();
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_TIMER), 1);
    // A late queue gets one WM_TIMER, not one per period missed.
    headless->Advance(10000);
    Pump();
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_TIMER), 2);
    // Setting it again restarts the period.
    headless->Advance(2000);
    SetTimer(window, 1, 3000, nullptr);
    headless->Advance(2000);
    Pump();
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_TIMER), 2);
    EXPECT_TRUE(KillTimer(window, 1));
    EXPECT_FALSE(KillTimer(window, 1));
    headless->Advance(5000);
    Pump();
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_TIMER), 2);
}

TEST_F(MessageLoop, ATimersMessageCarriesTheCursorPosition)
{
    HWND window = TopLevel();
    Pump();
    headless->InjectMouseMove(POINT { 123, 45 });
    Pump();
    SetTimer(window, 1, 100, nullptr);
    headless->InjectMouseMove(POINT { 67, 89 }); // the cursor moves on before the timer is due
    headless->Advance(100);
    MSG message {};
    while (PeekMessageW(&message, window, 0, 0, PM_REMOVE) && message.message != WM_TIMER)
        DispatchMessageW(&message);
    ASSERT_EQ(message.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(message.pt.x, 67);
    EXPECT_EQ(message.pt.y, 89);
    const DWORD position = GetMessagePos();
    EXPECT_EQ(GET_X_LPARAM(position), 67);
    EXPECT_EQ(GET_Y_LPARAM(position), 89);
    KillTimer(window, 1);
}

UINT_PTR g_threadTimerFired = 0;
void CALLBACK_ThreadTimer(HWND, UINT, UINT_PTR id, DWORD)
{
    g_threadTimerFired = id;
}

TEST_F(MessageLoop, ThreadTimersCallTheirProcedureAndGetMessageWaitsForThem)
{
    UINT_PTR id = SetTimer(nullptr, 0, 500, CALLBACK_ThreadTimer);
    ASSERT_NE(id, 0u);
    DWORD start = GetTickCount();
    MSG message;
    // Nothing else to do: the waiting loop reaches the timer, and the headless clock jumps to it.
    ASSERT_TRUE(GetMessageW(&message, nullptr, 0, 0));
    EXPECT_EQ(message.message, WM_TIMER);
    DispatchMessageW(&message);
    EXPECT_EQ(g_threadTimerFired, id);
    EXPECT_GE(GetTickCount() - start, 500u);
    KillTimer(nullptr, id);
}

TEST_F(MessageLoop, DestroyingAWindowDropsItsTimersAndMessages)
{
    HWND window = TopLevel();
    SetTimer(window, 5, 100, nullptr);
    PostMessageW(window, WM_APP, 0, 0);
    DestroyWindow(window);
    headless->Advance(1000);
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

} // namespace
