#include "UserTestSupport.h"

namespace {

using Hooks = UserTest;

struct HookRecord {
    static inline HHOOK keyboard = nullptr, mouse = nullptr, callRet = nullptr, filter = nullptr, second = nullptr;
    static inline std::vector<std::pair<WPARAM, LPARAM>> keys;
    static inline std::vector<std::pair<UINT, UINT>> mice; // message, hit code
    static inline std::vector<UINT> returned;
    static inline std::vector<int> filterCodes;
    static inline bool eatKeys = false;
    static inline std::vector<int> order;
};

LRESULT KeyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0)
        HookRecord::keys.emplace_back(wParam, lParam);
    if (HookRecord::eatKeys)
        return 1;
    return CallNextHookEx(HookRecord::keyboard, code, wParam, lParam);
}

LRESULT MouseHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0) {
        auto* info = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam);
        HookRecord::mice.emplace_back(static_cast<UINT>(wParam), info->wHitTestCode);
    }
    return CallNextHookEx(HookRecord::mouse, code, wParam, lParam);
}

LRESULT CallReturnHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* info = reinterpret_cast<CWPRETSTRUCT*>(lParam);
    HookRecord::returned.push_back(info->message);
    return CallNextHookEx(HookRecord::callRet, code, wParam, lParam);
}

LRESULT FilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    HookRecord::filterCodes.push_back(code);
    return CallNextHookEx(HookRecord::filter, code, wParam, lParam);
}

LRESULT FirstInChain(int code, WPARAM wParam, LPARAM lParam)
{
    HookRecord::order.push_back(1);
    return CallNextHookEx(HookRecord::keyboard, code, wParam, lParam);
}

LRESULT SecondInChain(int code, WPARAM wParam, LPARAM lParam)
{
    HookRecord::order.push_back(2);
    // Removing itself while it runs must not break the chain.
    UnhookWindowsHookEx(HookRecord::second);
    return CallNextHookEx(HookRecord::second, code, wParam, lParam);
}

TEST_F(Hooks, KeyboardHookSeesKeyDataAndCanEatTheKey)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    HookRecord::keys.clear();
    HookRecord::keyboard = SetWindowsHookExW(WH_KEYBOARD, KeyboardHook, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(HookRecord::keyboard);
    Key('A', L"a");
    ASSERT_EQ(HookRecord::keys.size(), 2u);
    EXPECT_EQ(HookRecord::keys[0].first, static_cast<WPARAM>('A'));
    EXPECT_EQ(HookRecord::keys[0].second & (1u << 31), 0); // going down
    EXPECT_NE(HookRecord::keys[1].second & (1u << 31), 0); // going up
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_KEYDOWN), 1);
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_CHAR), 1);

    HookRecord::eatKeys = true;
    Key('B', L"b");
    HookRecord::eatKeys = false;
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_KEYDOWN), 1);
    EXPECT_TRUE(UnhookWindowsHookEx(HookRecord::keyboard));
    EXPECT_FALSE(UnhookWindowsHookEx(HookRecord::keyboard));
}

TEST_F(Hooks, MouseHookSeesClientAndNonClientMessages)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    HookRecord::mice.clear();
    HookRecord::mouse = SetWindowsHookExW(WH_MOUSE, MouseHook, nullptr, GetCurrentThreadId());
    Click(ScreenPoint(window, 20, 20));
    RECT r;
    GetWindowRect(window, &r);
    POINT caption { (r.left + r.right) / 2, r.top + 10 };
    headless->InjectMouseMove(caption);
    Pump();
    UnhookWindowsHookEx(HookRecord::mouse);
    std::vector<std::pair<UINT, UINT>> expected {
        { WM_MOUSEMOVE, HTCLIENT }, { WM_LBUTTONDOWN, HTCLIENT }, { WM_LBUTTONUP, HTCLIENT }, { WM_NCMOUSEMOVE, HTCAPTION },
    };
    EXPECT_EQ(HookRecord::mice, expected);
}

TEST_F(Hooks, CallWindowProcReturnSeesTheResult)
{
    HWND window = TopLevel();
    HookRecord::returned.clear();
    HookRecord::callRet = SetWindowsHookExW(WH_CALLWNDPROCRET, CallReturnHook, nullptr, GetCurrentThreadId());
    MoveWindow(window, 10, 10, 200, 200, TRUE);
    UnhookWindowsHookEx(HookRecord::callRet);
    EXPECT_NE(std::find(HookRecord::returned.begin(), HookRecord::returned.end(), WM_MOVE), HookRecord::returned.end());
    EXPECT_NE(std::find(HookRecord::returned.begin(), HookRecord::returned.end(), WM_WINDOWPOSCHANGED), HookRecord::returned.end());
}

TEST_F(Hooks, MessageFilterHookRunsInsideModalLoops)
{
    HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    HookRecord::filterCodes.clear();
    HookRecord::filter = SetWindowsHookExW(WH_MSGFILTER, FilterHook, nullptr, GetCurrentThreadId());
    SetModalLoopHook([&](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
    EXPECT_EQ(MessageBoxW(owner, L"Text", L"Caption", MB_OK), IDOK);
    UnhookWindowsHookEx(HookRecord::filter);
    ASSERT_FALSE(HookRecord::filterCodes.empty());
    EXPECT_EQ(HookRecord::filterCodes.back(), MSGF_MESSAGEBOX);
}

HHOOK g_getMessage = nullptr;
LRESULT GetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_APP)
        message->wParam = 99; // hooks may change what the loop reads
    return CallNextHookEx(g_getMessage, code, wParam, lParam);
}

TEST_F(Hooks, GetMessageHookSeesAndMayChangeEachMessageRead)
{
    HWND window = TopLevel();
    Pump();
    g_getMessage = SetWindowsHookExW(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
    PostMessageW(window, WM_APP, 1, 0);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.wParam, 99u);
    UnhookWindowsHookEx(g_getMessage);
}

HHOOK g_cbt = nullptr;
std::vector<std::pair<int, HWND>> g_cbtSeen;
bool g_refuseCreation = false;
LRESULT CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto window = reinterpret_cast<HWND>(wParam);
    g_cbtSeen.emplace_back(code, window);
    if (code == HCBT_CREATEWND) {
        // The window exists already, with no message yet: this is where a framework subclasses it.
        EXPECT_TRUE(IsWindow(window));
        EXPECT_EQ(MessageLog::Instance().Count(window, WM_NCCREATE), 0);
        EXPECT_STREQ(reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->lpszName, L"Test");
        if (g_refuseCreation)
            return 1;
    }
    return CallNextHookEx(g_cbt, code, wParam, lParam);
}

TEST_F(Hooks, CreationHookSeesEachWindowBeforeItsFirstMessage)
{
    g_cbtSeen.clear();
    g_cbt = SetWindowsHookExW(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    HWND window = TopLevel();
    ASSERT_TRUE(window);
    DestroyWindow(window);
    EXPECT_EQ(g_cbtSeen, (std::vector<std::pair<int, HWND>> { { HCBT_CREATEWND, window }, { HCBT_DESTROYWND, window } }));
    g_refuseCreation = true;
    MessageLog::Instance().entries.clear();
    EXPECT_EQ(TopLevel(), nullptr);
    EXPECT_TRUE(MessageLog::Instance().entries.empty()); // refused before any message
    EXPECT_EQ(GetTopWindow(nullptr), nullptr);
    g_refuseCreation = false;
    UnhookWindowsHookEx(g_cbt);
}

TEST_F(Hooks, ChainRunsNewestFirstAndSurvivesUnhookingInside)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    HookRecord::order.clear();
    HookRecord::keyboard = SetWindowsHookExW(WH_KEYBOARD, FirstInChain, nullptr, 0);
    HookRecord::second = SetWindowsHookExW(WH_KEYBOARD, SecondInChain, nullptr, 0);
    headless->InjectKey('C', true, L"c");
    Pump();
    EXPECT_EQ(HookRecord::order, (std::vector<int> { 2, 1 }));
    headless->InjectKey('C', false);
    Pump();
    EXPECT_EQ(HookRecord::order, (std::vector<int> { 2, 1, 1 }));
    UnhookWindowsHookEx(HookRecord::keyboard);
    (void)window;
}

} // namespace
