// Input methods on a real X server: dead keys compose through Xlib's own compose handling, also
// when the input method the user names does not run, and each composed letter reaches the focus
// window between a composition's start and end; a composition the focus leaves ends. The input
// context shows compositions over the spot only where the input method offers that style.

#include "platform/base/tests/RequirePrograms.h"
#include "platform/base/tests/RunCommand.h"
#include "UserTestSupport.h"

#include "X11TestSupport.h"
#include "platform/display/X11InputMethod.h"
#include "platform/user/WindowTree.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A key press on the window, as the server sends one (keycode and time for the caller to set).
XKeyEvent KeyPressOn(XDisplay* connection, Window target)
{
    XKeyEvent key {};
    key.type = KeyPress;
    key.display = connection;
    key.window = target;
    key.root = DefaultRootWindow(connection);
    key.same_screen = True;
    return key;
}

class X11Composition : public RealServerTest {
protected:
    void SetUp() override
    {
        RealServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        setxkbmap = FindProgram("setxkbmap");
        FLN_REQUIRE_PROGRAMS("setxkbmap");
        MessageLog::Instance() = {};
        WNDCLASSEXW windowClass { sizeof windowClass };
        windowClass.lpfnWndProc = LoggingProcedure;
        windowClass.lpszClassName = L"X11Composing";
        RegisterClassExW(&windowClass);
        window = CreateWindowExW(0, L"X11Composing", L"Composing", WS_POPUP | WS_VISIBLE, 50, 50, 200, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(window);
        Run(xdotool + " mousemove 100 100 click 1");
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == window; }));
        Run(setxkbmap + " -layout us -variant intl");
    }
    void TearDown() override
    {
        if (window)
            DestroyWindow(window);
        RealServerTest::TearDown();
    }
    void Run(const std::string& command)
    {
        ASSERT_EQ(RunCommand("DISPLAY=" + server->Name() + " " + command).status, 0) << command;
    }
    // The composition messages and characters the window got, WM_CHAR as its character.
    auto Seen() const
    {
        std::vector<std::pair<UINT, WPARAM>> seen;
        for (const auto& entry : MessageLog::Instance().entries) {
            if (entry.window == window && (entry.message == WM_IME_STARTCOMPOSITION || entry.message == WM_IME_ENDCOMPOSITION || entry.message == WM_CHAR))
                seen.push_back({ entry.message, entry.message == WM_CHAR ? entry.wParam : 0 });
        }
        return seen;
    }

    std::string setxkbmap;
    HWND window = nullptr;
};

using Messages = std::vector<std::pair<UINT, WPARAM>>;
constexpr UINT Start = WM_IME_STARTCOMPOSITION, End = WM_IME_ENDCOMPOSITION;

TEST_F(X11Composition, ADeadKeyAndALetterAreOneComposedCharacter)
{
    Run(xdotool + " key dead_acute e x");
    EXPECT_TRUE(PumpUntil([&] { return Seen().size() >= 4; }));
    EXPECT_EQ(Seen(), (Messages { { Start, 0 }, { WM_CHAR, 0xE9 }, { End, 0 }, { WM_CHAR, 'x' } }));
}

TEST_F(X11Composition, ACompositionTheFocusLeavesEnds)
{
    HWND other = CreateWindowExW(0, L"X11Composing", L"Other", WS_POPUP, 300, 50, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(other, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(PumpUntil([&] { return GetFocus() == window; }));
    Run(xdotool + " key dead_acute");
    ASSERT_TRUE(PumpUntil([&] { return Seen().size() == 1; }));
    Run(xdotool + " mousemove 350 100 click 1");
    EXPECT_TRUE(PumpUntil([&] { return GetFocus() == other && Seen().size() == 2; }));
    EXPECT_EQ(Seen(), (Messages { { Start, 0 }, { End, 0 } }));
    DestroyWindow(other);
}

// An input method the user names that does not run leaves Xlib's own compose handling, which has
// no style that shows compositions over the spot: the spot is kept and asked for nothing.
TEST_F(X11Composition, AnAbsentInputMethodLeavesTheLocalComposeHandling)
{
    XDisplay* connection = XOpenDisplay(server->Name().c_str());
    ASSERT_TRUE(connection);
    Window target = XCreateSimpleWindow(connection, DefaultRootWindow(connection), 0, 0, 10, 10, 0, 0, 0);
    std::vector<DisplayEvent> events;
    {
        const char* before = std::getenv("XMODIFIERS");
        const std::string saved = before ? before : "";
        setenv("XMODIFIERS", "@im=absent", 1);
        X11InputMethod method(connection, [&](DisplayEvent event) { events.push_back(std::move(event)); });
        method.Prepare(target);
        before ? setenv("XMODIFIERS", saved.c_str(), 1) : unsetenv("XMODIFIERS");
        EXPECT_FALSE(method.IsOverTheSpot(target));
        method.SetSpot(target, { 10, 20 });
        method.SetFont(target, { L"Courier New", 16, 13 });

        // A dead acute and an "e", as the server would send them, make one committed "é".
        XKeyEvent key = KeyPressOn(connection, target);
        auto press = [&](KeySym symbol) {
            key.keycode = XKeysymToKeycode(connection, symbol);
            key.time += 10;
            XEvent event {};
            event.xkey = key;
            if (XFilterEvent(&event, None))
                method.KeyFiltered(event.xkey);
        };
        ASSERT_NE(XKeysymToKeycode(connection, XK_dead_acute), 0);
        press(XK_dead_acute);
        press(XK_e);
        XEvent committed {};
        ASSERT_TRUE(XCheckTypedEvent(connection, KeyPress, &committed)) << "the compose handling puts the composed key back";
        ASSERT_FALSE(XFilterEvent(&committed, None));
        KeySym symbol = NoSymbol;
        EXPECT_EQ(method.Lookup(committed.xkey, symbol), L"\u00E9");
        method.KeyDelivered(committed.xkey);
    }
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, DisplayEventKind::CompositionStarted);
    EXPECT_EQ(events[1].kind, DisplayEventKind::CompositionEnded);
    EXPECT_EQ(events[1].window, target);
    XDestroyWindow(connection, target);
    XCloseDisplay(connection);
}

// A window without an input context reads keys through the core lookup, which gives Latin-1
// bytes: an "é" stays one "é" (not a control character that swallows what follows).
using X11InputMethodLookup = RealServerTest;

TEST_F(X11InputMethodLookup, LatinBytesOfAWindowWithoutAContextAreReadInTheFallbackCodePage)
{
    XDisplay* connection = XOpenDisplay(server->Name().c_str());
    ASSERT_TRUE(connection);
    // A keycode with no symbols of its own types "é".
    int lowest = 0, highest = 0;
    XDisplayKeycodes(connection, &lowest, &highest);
    KeyCode spare = 0;
    for (int code = highest; code >= lowest && !spare; --code) {
        int perCode = 0;
        KeySym* symbols = XGetKeyboardMapping(connection, static_cast<KeyCode>(code), 1, &perCode);
        if (std::all_of(symbols, symbols + perCode, [](KeySym s) { return s == NoSymbol; }))
            spare = static_cast<KeyCode>(code);
        XFree(symbols);
    }
    ASSERT_NE(spare, 0);
    KeySym eacute = XK_eacute;
    XChangeKeyboardMapping(connection, spare, 1, &eacute, 1);
    XSync(connection, False);

    Window target = XCreateSimpleWindow(connection, DefaultRootWindow(connection), 0, 0, 10, 10, 0, 0, 0);
    {
        X11InputMethod method(connection, [](DisplayEvent) {});
        XKeyEvent key = KeyPressOn(connection, target);
        key.keycode = spare;
        KeySym symbol = NoSymbol;
        EXPECT_EQ(method.Lookup(key, symbol), L"\u00E9");
        EXPECT_EQ(symbol, static_cast<KeySym>(XK_eacute));
    }
    XDestroyWindow(connection, target);
    XCloseDisplay(connection);
}

}
