#include "UserTestSupport.h"

namespace {

using Lifecycle = UserTest;

TEST_F(Lifecycle, CreationSendsItsMessagesInOrder)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    ASSERT_TRUE(window);
    auto messages = MessageLog::Instance().MessagesOf(window, { WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW });
    std::vector<UINT> expected { WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW };
    EXPECT_EQ(messages, expected);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(GetActiveWindow(), window);
    EXPECT_EQ(GetFocus(), window);
}

TEST_F(Lifecycle, ChildCreationNotifiesTheParent)
{
    HWND parent = TopLevel();
    HWND child = Child(parent, { 10, 10, 50, 50 }, 42);
    ASSERT_TRUE(child);
    auto& entries = MessageLog::Instance().entries;
    auto notify = std::find_if(entries.begin(), entries.end(), [&](const LoggedMessage& m) { return m.window == parent && m.message == WM_PARENTNOTIFY; });
    ASSERT_NE(notify, entries.end());
    EXPECT_EQ(LOWORD(notify->wParam), WM_CREATE);
    EXPECT_EQ(HIWORD(notify->wParam), 42);
    EXPECT_EQ(reinterpret_cast<HWND>(notify->lParam), child);
    EXPECT_EQ(GetDlgItem(parent, 42), child);
    EXPECT_EQ(GetParent(child), parent);
}

TEST_F(Lifecycle, RefusedCreationLeavesNoWindow)
{
    for (UINT refusing : { WM_NCCREATE, WM_CREATE }) {
        MessageLog::Instance().answer = [refusing](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message == refusing)
                return refusing == WM_CREATE ? -1 : 0;
            return std::nullopt;
        };
        MessageLog::Instance().entries.clear();
        HWND window = TopLevel();
        EXPECT_EQ(window, nullptr) << refusing;
        EXPECT_EQ(GetTopWindow(nullptr), nullptr);
        // The window hears of its end exactly once.
        auto& entries = MessageLog::Instance().entries;
        EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](auto& m) { return m.message == WM_NCDESTROY; }), 1) << refusing;
        EXPECT_EQ(std::count_if(entries.begin(), entries.end(), [](auto& m) { return m.message == WM_DESTROY; }), refusing == WM_CREATE ? 1 : 0);
    }
}

TEST_F(Lifecycle, DestructionGoesParentFirstThenChildrenFirst)
{
    HWND parent = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND child = Child(parent, { 0, 0, 20, 20 });
    HWND grandChild = Child(child, { 0, 0, 5, 5 });
    HWND owned = CreateWindowExW(0, L"LoggingWindow", L"", WS_POPUP, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    MessageLog::Instance().entries.clear();
    ASSERT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<HWND, UINT>> order;
    for (const auto& entry : MessageLog::Instance().entries) {
        if (entry.message == WM_DESTROY || entry.message == WM_NCDESTROY)
            order.emplace_back(entry.window, entry.message);
    }
    std::vector<std::pair<HWND, UINT>> expected {
        { owned, WM_DESTROY }, { owned, WM_NCDESTROY },
        { parent, WM_DESTROY }, { child, WM_DESTROY }, { grandChild, WM_DESTROY },
        { grandChild, WM_NCDESTROY }, { child, WM_NCDESTROY }, { parent, WM_NCDESTROY },
    };
    EXPECT_EQ(order, expected);
    for (HWND window : { parent, child, grandChild, owned })
        EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(Lifecycle, ClassesRegisterOnceAndCarryExtraBytes)
{
    WNDCLASSEXW windowClass { sizeof windowClass };
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.cbWndExtra = 16;
    windowClass.lpszClassName = L"ExtraBytes";
    ATOM atom = RegisterClassExW(&windowClass);
    ASSERT_NE(atom, 0);
    EXPECT_EQ(RegisterClassExW(&windowClass), 0);
    HWND window = CreateWindowExW(0, MAKEINTATOM(atom), L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    SetWindowLongPtrW(window, 8, 0x1234);
    EXPECT_EQ(GetWindowLongPtrW(window, 8), 0x1234);
    EXPECT_EQ(GetWindowLongPtrW(window, 16), 0); // beyond the extra bytes
    wchar_t name[32];
    EXPECT_EQ(GetClassNameW(window, name, 32), 10);
    EXPECT_STREQ(name, L"ExtraBytes");
    EXPECT_FALSE(UnregisterClassW(L"ExtraBytes", nullptr)); // still in use
    DestroyWindow(window);
    EXPECT_TRUE(UnregisterClassW(L"extrabytes", nullptr));
    EXPECT_EQ(CreateWindowExW(0, L"ExtraBytes", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
}

TEST_F(Lifecycle, TextStylesAndProps)
{
    HWND window = TopLevel();
    EXPECT_TRUE(SetWindowTextW(window, L"Hello"));
    wchar_t text[4];
    EXPECT_EQ(GetWindowTextW(window, text, 4), 3); // cut to fit, always terminated
    EXPECT_STREQ(text, L"Hel");
    EXPECT_EQ(GetWindowTextLengthW(window), 5);
    SetWindowLongW(window, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowLongW(window, GWL_EXSTYLE), static_cast<LONG>(WS_EX_TOOLWINDOW));
    EXPECT_EQ(MessageLog::Instance().Count(window, WM_STYLECHANGED), 1);
    int value = 7;
    EXPECT_TRUE(SetPropW(window, L"Key", &value));
    EXPECT_EQ(GetPropW(window, L"Key"), &value);
    EXPECT_EQ(RemovePropW(window, L"Key"), &value);
    EXPECT_EQ(GetPropW(window, L"Key"), nullptr);
}

TEST_F(Lifecycle, ShowStatesAndActivation)
{
    HWND first = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND balloon = TopLevel(WS_POPUP, { 10, 10, 60, 60 }, WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ShowWindow(balloon, SW_SHOWNOACTIVATE));
    EXPECT_TRUE(IsWindowVisible(balloon));
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(MessageLog::Instance().Count(balloon, WM_ACTIVATE), 0);
    EXPECT_TRUE(ShowWindow(balloon, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(balloon));
    EXPECT_FALSE(ShowWindow(balloon, SW_HIDE));

    ShowWindow(first, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(first));
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT client, placed;
    GetClientRect(first, &client);
    GetWindowRect(first, &placed);
    EXPECT_TRUE(EqualRect(&placed, &work)) << "the window fills the work area, its frame not beyond it";
    EXPECT_EQ(client.right, work.right - work.left);
    EXPECT_EQ(GetSystemMetrics(SM_CXMAXIMIZED), work.right - work.left);
    ShowWindow(first, SW_RESTORE);
    RECT restored;
    GetWindowRect(first, &restored);
    EXPECT_EQ(restored.left, 100);
    EXPECT_EQ(restored.right, 400);
}

// Minimised from maximised, a window comes back maximised, and its placement says so; minimised
// from its normal place, it comes back there.
TEST_F(Lifecycle, RestoringAMinimisedWindowBringsBackItsEarlierState)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    RECT work, normal, now;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(window, &normal);
    for (const bool maximised : { true, false }) {
        SCOPED_TRACE(maximised ? "from maximised" : "from normal");
        if (maximised)
            ShowWindow(window, SW_MAXIMIZE);
        ShowWindow(window, SW_MINIMIZE);
        EXPECT_TRUE(IsIconic(window));
        WINDOWPLACEMENT placement { sizeof placement };
        ASSERT_TRUE(GetWindowPlacement(window, &placement));
        EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
        EXPECT_EQ((placement.flags & WPF_RESTORETOMAXIMIZED) != 0, maximised);
        EXPECT_TRUE(EqualRect(&placement.rcNormalPosition, &normal));
        ShowWindow(window, SW_RESTORE);
        EXPECT_FALSE(IsIconic(window));
        EXPECT_EQ(IsZoomed(window) != 0, maximised);
        GetWindowRect(window, &now);
        EXPECT_TRUE(EqualRect(&now, maximised ? &work : &normal));
        ShowWindow(window, SW_RESTORE);
    }
}

TEST_F(Lifecycle, DeferredPositionsApplyTogether)
{
    HWND parent = TopLevel();
    HWND a = Child(parent, { 0, 0, 10, 10 }, 1);
    HWND b = Child(parent, { 0, 0, 10, 10 }, 2);
    HDWP positions = BeginDeferWindowPos(2);
    positions = DeferWindowPos(positions, a, nullptr, 5, 6, 20, 30, SWP_NOZORDER);
    positions = DeferWindowPos(positions, b, nullptr, 40, 0, 10, 10, SWP_NOZORDER);
    ASSERT_TRUE(EndDeferWindowPos(positions));
    RECT r;
    GetWindowRect(a, &r);
    POINT origin = ScreenPoint(parent, 0, 0);
    EXPECT_EQ(r.left - origin.x, 5);
    EXPECT_EQ(r.bottom - r.top, 30);
    // A bad window in the set fails it and frees it.
    EXPECT_EQ(DeferWindowPos(BeginDeferWindowPos(1), reinterpret_cast<HWND>(0x1), nullptr, 0, 0, 0, 0, 0), nullptr);
}

BOOL CollectWindow(HWND window, LPARAM data)
{
    auto* found = reinterpret_cast<std::vector<HWND>*>(data);
    found->push_back(window);
    return found->size() < 3;
}

TEST_F(Lifecycle, ChildrenAreEnumeratedDepthFirstAndMoveBetweenParents)
{
    HWND parent = TopLevel();
    HWND a = Child(parent, { 0, 0, 10, 10 }, 1);
    HWND inner = Child(a, { 0, 0, 5, 5 }, 2);
    HWND b = Child(parent, { 20, 0, 30, 10 }, 3);
    Child(parent, { 40, 0, 50, 10 }, 4);
    std::vector<HWND> found;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&found));
    EXPECT_EQ(found, (std::vector<HWND> { a, inner, b })); // the callback stopped at three
    EXPECT_EQ(SetParent(inner, b), a);
    EXPECT_EQ(GetParent(inner), b);
    EXPECT_EQ(GetWindow(b, GW_CHILD), inner);
    EXPECT_EQ(GetWindow(a, GW_CHILD), nullptr);
    EXPECT_EQ(SetParent(b, inner), nullptr); // not under its own child
    EXPECT_EQ(SetParent(parent, b), nullptr); // a top-level window stays one
}

TEST_F(Lifecycle, WindowFromPointFindsTheDeepestVisibleChild)
{
    HWND parent = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 200, 200 });
    HWND child = Child(parent, { 10, 10, 110, 110 }, 1);
    HWND inner = Child(child, { 10, 10, 30, 30 }, 2);
    HWND hidden = Child(parent, { 150, 150, 190, 190 }, 3, WS_CHILD);
    EXPECT_EQ(WindowFromPoint({ 25, 25 }), inner);
    EXPECT_EQ(WindowFromPoint({ 15, 15 }), child);
    EXPECT_EQ(WindowFromPoint({ 160, 160 }), parent);
    EXPECT_EQ(ChildWindowFromPoint(parent, { 160, 160 }), hidden);
    EXPECT_EQ(ChildWindowFromPointEx(parent, { 160, 160 }, CWP_SKIPINVISIBLE), parent);
    EXPECT_EQ(ChildWindowFromPoint(parent, { 500, 5 }), nullptr);
    EnableWindow(child, FALSE);
    EXPECT_EQ(ChildWindowFromPointEx(parent, { 25, 25 }, CWP_SKIPDISABLED), parent);
    EXPECT_EQ(WindowFromPoint({ 25, 25 }), child); // a disabled window hides its children
}

TEST_F(Lifecycle, WindowRegionLimitsHitTestingAndInput)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 100, 100 });
    ASSERT_TRUE(SetWindowRgn(window, CreateEllipticRgn(0, 0, 100, 100), TRUE));
    EXPECT_EQ(WindowFromPoint({ 2, 2 }), nullptr);
    EXPECT_EQ(WindowFromPoint({ 50, 50 }), window);
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(2, 2)), HTNOWHERE);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(window, copy), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(copy, 50, 50));
    DeleteObject(copy);
}

TEST_F(Lifecycle, AWindowMayDestroyItselfWhileBeingShownOrActivated)
{
    for (UINT fatal : { WM_ACTIVATE, WM_SHOWWINDOW, WM_SETFOCUS, WM_WINDOWPOSCHANGING }) {
        MessageLog::Instance().answer = [fatal](HWND window, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message == fatal)
                DestroyWindow(window);
            return std::nullopt;
        };
        HWND window = TopLevel();
        ASSERT_TRUE(window);
        ShowWindow(window, SW_SHOW);
        EXPECT_FALSE(IsWindow(window)) << fatal;
        EXPECT_EQ(GetActiveWindow(), nullptr);
        MessageLog::Instance().answer = {};
    }
}

} // namespace
