#include "UserTestSupport.h"

namespace {

using Input = UserTest;

TEST_F(Input, FocusMessagesNameTheOtherWindow)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND a = Child(window, { 0, 0, 10, 10 }, 1);
    HWND b = Child(window, { 20, 0, 30, 10 }, 2);
    SetFocus(a);
    auto& log = MessageLog::Instance();
    log.entries.clear();
    EXPECT_EQ(SetFocus(b), a);
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[0].window, a);
    EXPECT_EQ(log.entries[0].message, WM_KILLFOCUS);
    EXPECT_EQ(reinterpret_cast<HWND>(log.entries[0].wParam), b);
    EXPECT_EQ(log.entries[1].window, b);
    EXPECT_EQ(log.entries[1].message, WM_SETFOCUS);
    EXPECT_EQ(reinterpret_cast<HWND>(log.entries[1].wParam), a);
    EnableWindow(b, FALSE);
    EXPECT_EQ(GetFocus(), nullptr); // a disabled window loses the focus
    EXPECT_EQ(SetFocus(b), nullptr);
}

TEST_F(Input, ActivationMovesBetweenTopLevelWindows)
{
    HWND first = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND second = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 500, 100, 700, 300 });
    EXPECT_EQ(GetActiveWindow(), second);
    auto& log = MessageLog::Instance();
    log.entries.clear();
    Click(ScreenPoint(first, 10, 10));
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetFocus(), first);
    auto deactivate = std::find_if(log.entries.begin(), log.entries.end(), [&](auto& m) { return m.window == second && m.message == WM_ACTIVATE; });
    ASSERT_NE(deactivate, log.entries.end());
    EXPECT_EQ(LOWORD(deactivate->wParam), WA_INACTIVE);
    EXPECT_EQ(reinterpret_cast<HWND>(deactivate->lParam), first);
    EXPECT_EQ(log.Count(first, WM_MOUSEACTIVATE), 1);
    // A window that does not take activation leaves it where it is.
    HWND tip = TopLevel(WS_POPUP | WS_VISIBLE, { 800, 100, 850, 150 }, WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
    Click({ 820, 120 });
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(log.Count(tip, WM_LBUTTONDOWN), 1);
}

TEST_F(Input, CaptureRoutesTheMouseAndTellsTheLoser)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 100, 100 });
    HWND other = TopLevel(WS_POPUP | WS_VISIBLE, { 200, 0, 300, 100 });
    Pump();
    SetCapture(window);
    auto& log = MessageLog::Instance();
    log.entries.clear();
    headless->InjectMouseMove({ 250, 50 });
    Pump();
    ASSERT_EQ(log.Count(window, WM_MOUSEMOVE), 1);
    EXPECT_EQ(log.Count(other, WM_MOUSEMOVE), 0);
    auto move = std::find_if(log.entries.begin(), log.entries.end(), [](auto& m) { return m.message == WM_MOUSEMOVE; });
    EXPECT_EQ(GET_X_LPARAM(move->lParam), 250); // client coordinates of the capturing window
    SetCapture(other);
    EXPECT_EQ(log.Count(window, WM_CAPTURECHANGED), 1);
    ReleaseCapture();
    EXPECT_EQ(log.Count(other, WM_CAPTURECHANGED), 1);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(Input, DoubleClicksOnlyForClassesThatAskAndWithinTimeAndDistance)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 100, 100 });
    WNDCLASSEXW plain { sizeof plain };
    plain.lpfnWndProc = LoggingProcedure;
    plain.lpszClassName = L"NoDoubleClicks";
    RegisterClassExW(&plain);
    HWND noDouble = CreateWindowExW(0, L"NoDoubleClicks", L"", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    Pump();
    auto& log = MessageLog::Instance();
    Click({ 50, 50 });
    headless->Advance(100);
    Click({ 51, 52 });
    EXPECT_EQ(log.Count(window, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(log.Count(window, WM_LBUTTONDOWN), 1);
    // A third press starts over.
    headless->Advance(100);
    Click({ 50, 50 });
    EXPECT_EQ(log.Count(window, WM_LBUTTONDOWN), 2);
    // Too late, or too far.
    headless->Advance(GetDoubleClickTime() + 1);
    Click({ 50, 50 });
    headless->Advance(50);
    Click({ 60, 50 });
    EXPECT_EQ(log.Count(window, WM_LBUTTONDBLCLK), 1);
    Click({ 250, 50 });
    headless->Advance(50);
    Click({ 250, 50 });
    EXPECT_EQ(log.Count(noDouble, WM_LBUTTONDBLCLK), 0);
    EXPECT_EQ(log.Count(noDouble, WM_LBUTTONDOWN), 2);
}

TEST_F(Input, KeysBecomeKeyAndCharMessagesWithKeyState)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    auto& log = MessageLog::Instance();
    log.entries.clear();
    headless->InjectKey(VK_SHIFT, true);
    Pump();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    Key('A', L"A");
    headless->InjectKey(VK_SHIFT, false);
    Pump();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    auto chars = log.MessagesOf(window, { WM_CHAR });
    ASSERT_EQ(chars.size(), 1u);
    auto character = std::find_if(log.entries.begin(), log.entries.end(), [](auto& m) { return m.message == WM_CHAR; });
    EXPECT_EQ(character->wParam, static_cast<WPARAM>(L'A'));
    // Caps Lock toggles on each press.
    Key(VK_CAPITAL);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
    Key(VK_CAPITAL);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 0);
    // Alt turns keys into system keys; Alt+F4 closes the window.
    headless->InjectKey(VK_MENU, true);
    Key(VK_F4);
    headless->InjectKey(VK_MENU, false);
    Pump();
    EXPECT_GE(log.Count(window, WM_SYSKEYDOWN), 1);
    EXPECT_FALSE(IsWindow(window));
}

// Presses and releases made while another program had the focus (the window manager keeps the
// Alt of its Alt+Tab) never arrive: what the display reports as held, every key on gaining the
// focus and the modifiers and buttons with each input event, brings the key state in line.
TEST_F(Input, KeyStateFollowsWhatTheDisplayReportsAsHeld)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    const NativeWindowId native = headless->FocusedWindow();
    TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 500, 100, 700, 300 });
    Pump();
    const NativeWindowId elsewhere = headless->FocusedWindow();
    ASSERT_NE(native, elsewhere);
    auto held = [](std::initializer_list<unsigned> keys, bool everyKey) {
        HeldInput input;
        for (unsigned key : keys)
            input.keys[key] = true;
        input.everyKey = everyKey;
        return input;
    };
    auto& log = MessageLog::Instance();
    SetActiveWindow(window);

    // Alt held, the focus taken away and Alt released there; back with Shift and B held there.
    headless->InjectKey(VK_MENU, true);
    Pump();
    headless->InjectFocusChange(elsewhere);
    headless->InjectFocusChange(native, held({ VK_SHIFT, 'B' }, true));
    Pump();
    ASSERT_EQ(GetActiveWindow(), window);
    EXPECT_GE(GetKeyState(VK_MENU), 0);
    EXPECT_GE(GetKeyState(VK_LMENU), 0);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetKeyState(VK_LSHIFT), 0);
    EXPECT_LT(GetKeyState('B'), 0);
    log.entries.clear();
    headless->InjectKey(VK_SHIFT, false);
    headless->InjectKey('B', false);
    Key('A', L"a");
    EXPECT_EQ(log.MessagesOf(window, { WM_KEYDOWN, WM_CHAR, WM_SYSKEYDOWN, WM_SYSCHAR }), (std::vector<UINT> { WM_KEYDOWN, WM_CHAR }));

    // A key's event names the modifiers and buttons held before it; other keys keep their state.
    headless->InjectKey(VK_CONTROL, true);
    headless->InjectKey('X', true);
    headless->InjectButton(1, true, ScreenPoint(window, 10, 10));
    Pump();
    log.entries.clear();
    headless->InjectKey('C', true, L"c", held({}, false));
    Pump();
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState(VK_LCONTROL), 0);
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
    EXPECT_LT(GetKeyState('X'), 0);
    EXPECT_EQ(log.MessagesOf(window, { WM_KEYDOWN, WM_CHAR }), (std::vector<UINT> { WM_KEYDOWN, WM_CHAR }));
    // And a modifier pressed while another program had the focus is down for the key after it.
    headless->InjectKey('V', true, {}, held({ VK_CONTROL }, false));
    Pump();
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_LT(GetKeyState(VK_LCONTROL), 0);
}

TEST_F(Input, TranslateMessageTypesCharactersForPostedKeys)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    PostMessageW(window, WM_KEYDOWN, '7', 0);
    Pump();
    auto& log = MessageLog::Instance();
    auto character = std::find_if(log.entries.begin(), log.entries.end(), [](auto& m) { return m.message == WM_CHAR; });
    ASSERT_NE(character, log.entries.end());
    EXPECT_EQ(character->wParam, static_cast<WPARAM>(L'7'));
}

TEST_F(Input, AcceleratorsMatchModifiersExactly)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    ACCEL entries[] = { { FVIRTKEY | FCONTROL, 'C', 100 }, { FVIRTKEY, VK_F5, 101 } };
    HACCEL table = CreateAcceleratorTableW(entries, 2);
    ASSERT_TRUE(table);
    EXPECT_EQ(CopyAcceleratorTableW(table, nullptr, 0), 2);
    auto& log = MessageLog::Instance();
    auto run = [&](unsigned key, bool control) {
        if (control)
            headless->InjectKey(VK_CONTROL, true);
        headless->InjectKey(key, true);
        MSG message;
        int translated = 0;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_KEYDOWN && message.wParam == key)
                translated = TranslateAcceleratorW(window, table, &message);
            DispatchMessageW(&message);
        }
        headless->InjectKey(key, false);
        if (control)
            headless->InjectKey(VK_CONTROL, false);
        Pump();
        return translated;
    };
    EXPECT_EQ(run('C', true), 1);
    EXPECT_EQ(run('C', false), 0);
    EXPECT_EQ(run(VK_F5, false), 1);
    EXPECT_EQ(run(VK_F5, true), 0);
    std::vector<WPARAM> commands;
    for (auto& m : log.entries)
        if (m.message == WM_COMMAND)
            commands.push_back(m.wParam);
    EXPECT_EQ(commands, (std::vector<WPARAM> { MAKEWPARAM(100, 1), MAKEWPARAM(101, 1) }));
    DestroyAcceleratorTable(table);
}

TEST_F(Input, WheelGoesToTheFocusAndUpToTheParent)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 200, 200 });
    HWND child = Child(window, { 10, 10, 50, 50 });
    SetFocus(child);
    Pump();
    headless->InjectWheel(-120, { 150, 150 });
    Pump();
    auto& log = MessageLog::Instance();
    EXPECT_EQ(log.Count(child, WM_MOUSEWHEEL), 1);
    EXPECT_EQ(log.Count(window, WM_MOUSEWHEEL), 1); // passed on by DefWindowProc
    auto wheel = std::find_if(log.entries.begin(), log.entries.end(), [](auto& m) { return m.message == WM_MOUSEWHEEL; });
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel->wParam), -120);
}

TEST_F(Input, SetCursorAsksTheParentFirstThenUsesTheClassCursor)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 200, 200 });
    HWND child = Child(window, { 10, 10, 50, 50 });
    Pump();
    headless->InjectMouseMove({ 20, 20 });
    Pump();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(headless->CursorShape(), 32512u);
    MessageLog::Instance().answer = [window](HWND target, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (target == window && message == WM_SETCURSOR) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        return std::nullopt;
    };
    headless->InjectMouseMove({ 21, 21 });
    Pump();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));
    EXPECT_EQ(MessageLog::Instance().Count(child, WM_SETCURSOR), 2); // the window under the pointer is asked each time
}

TEST_F(Input, DisabledWindowsGetNoMouseInput)
{
    HWND owner = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 100, 100 });
    Pump();
    EnableWindow(owner, FALSE);
    Click({ 50, 50 });
    EXPECT_EQ(MessageLog::Instance().Count(owner, WM_LBUTTONDOWN), 0);
}

TEST_F(Input, CaretBlinksNowhereButInvertsItsRectangle)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 100, 100 });
    Pump();
    COLORREF background = PixelAt(window, 11, 11);
    ASSERT_TRUE(CreateCaret(window, nullptr, 2, 12));
    SetCaretPos(10, 10);
    ShowCaret(window);
    EXPECT_NE(PixelAt(window, 11, 11), background);
    HideCaret(window);
    EXPECT_EQ(PixelAt(window, 11, 11), background);
    POINT position;
    GetCaretPos(&position);
    EXPECT_EQ(position.x, 10);
    DestroyCaret();
    EXPECT_FALSE(GetCaretPos(&position));
}

TEST_F(Input, RightClicksAndTheMenuKeyAskForContextMenus)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 100, 100, 300, 300 });
    HWND child = Child(window, { 10, 10, 50, 50 });
    Pump();
    auto& log = MessageLog::Instance();
    Click({ 120, 120 }, 3);
    // The child does not handle it: it goes up to the parent, naming the child.
    auto menus = std::vector<LoggedMessage> {};
    for (auto& m : log.entries)
        if (m.message == WM_CONTEXTMENU)
            menus.push_back(m);
    ASSERT_EQ(menus.size(), 2u);
    EXPECT_EQ(menus[0].window, child);
    EXPECT_EQ(menus[1].window, window);
    EXPECT_EQ(reinterpret_cast<HWND>(menus[1].wParam), child);
    EXPECT_EQ(GET_X_LPARAM(menus[1].lParam), 120);
    EXPECT_EQ(GET_Y_LPARAM(menus[1].lParam), 120);
    log.entries.clear();
    SetFocus(child);
    Key(VK_APPS);
    auto key = std::find_if(log.entries.begin(), log.entries.end(), [&](auto& m) { return m.window == child && m.message == WM_CONTEXTMENU; });
    ASSERT_NE(key, log.entries.end());
    EXPECT_EQ(key->lParam & 0xFFFFFFFF, 0xFFFFFFFF);
}

TEST_F(Input, TheSystemMenuSendsItsCommand)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    Pump();
    std::vector<unsigned> keys { VK_UP, VK_RETURN }; // from the top, Up wraps to Close
    size_t next = 0;
    SetModalLoopHook([&](HWND) {
        if (next < keys.size()) {
            headless->InjectKey(keys[next], true);
            headless->InjectKey(keys[next++], false);
        }
    });
    Click({ 250, 110 }, 3); // a right click on the caption
    Pump();
    EXPECT_FALSE(IsWindow(window));
    auto& log = MessageLog::Instance();
    auto init = std::find_if(log.entries.begin(), log.entries.end(), [&](auto& m) { return m.message == WM_INITMENUPOPUP; });
    ASSERT_NE(init, log.entries.end());
    EXPECT_EQ(HIWORD(init->lParam), 1); // the system menu
    auto command = std::find_if(log.entries.begin(), log.entries.end(), [&](auto& m) { return m.message == WM_SYSCOMMAND; });
    ASSERT_NE(command, log.entries.end());
    EXPECT_EQ(command->wParam & 0xFFF0, SC_CLOSE);
}

TEST_F(Input, HoverAndLeaveArriveWhenAsked)
{
    HWND window = TopLevel(WS_POPUP | WS_VISIBLE, { 0, 0, 100, 100 });
    headless->InjectMouseMove({ 50, 50 });
    Pump();
    TRACKMOUSEEVENT track { sizeof track, TME_HOVER | TME_LEAVE, window, 300 };
    ASSERT_TRUE(TrackMouseEvent(&track));
    auto& log = MessageLog::Instance();
    headless->Advance(200);
    headless->InjectMouseMove({ 55, 50 }); // beyond the hover rectangle: the rest starts over
    Pump();
    headless->Advance(200);
    Pump();
    EXPECT_EQ(log.Count(window, WM_MOUSEHOVER), 0);
    headless->Advance(100);
    Pump();
    EXPECT_EQ(log.Count(window, WM_MOUSEHOVER), 1);
    headless->Advance(1000);
    Pump();
    EXPECT_EQ(log.Count(window, WM_MOUSEHOVER), 1); // once per request
    headless->InjectMouseMove({ 500, 500 });
    Pump();
    EXPECT_EQ(log.Count(window, WM_MOUSELEAVE), 1);
}

} // namespace
