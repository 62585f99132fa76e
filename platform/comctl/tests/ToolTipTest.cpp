// The tooltip control on a headless display: finding tools, the pointer's story told by relayed
// or watched mouse messages, the delays on the virtual clock, notifications, tracking tips, where
// a tip goes, and the classic frame by its pixels.

#include "platform/comctl/CommCtrl.h"
#include "platform/user/tests/UserTestSupport.h"

#include <cairo.h>

#include <string>

namespace {

constexpr UINT kInitial = 500, kAutoPop = 5000, kReshow = 100; // the defaults, from the double-click time

class ToolTip : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        INITCOMMONCONTROLSEX controls { sizeof controls, ICC_BAR_CLASSES };
        ASSERT_TRUE(InitCommonControlsEx(&controls));
        parent = TopLevel(WS_POPUP | WS_VISIBLE, { 100, 100, 500, 400 });
        child = Child(parent, { 200, 150, 300, 200 }, 7);
        tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
        ASSERT_TRUE(tip);
        // The parent relays the pointer messages of itself and its child, as a window with tools does.
        MessageLog::Instance().answer = [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
            if (relay && (window == parent || window == child) && message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) {
                MSG relayed { window, message, wParam, lParam, 0, {} };
                SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
            }
            if (window == parent && message == WM_NOTIFY && answerNotify)
                return answerNotify(reinterpret_cast<NMHDR*>(lParam));
            return std::nullopt;
        };
    }

    TTTOOLINFOW Info(UINT flags, HWND hwnd, UINT_PTR id, RECT rect = {}, LPWSTR text = nullptr) const
    {
        TTTOOLINFOW info { sizeof info, flags, hwnd, id, rect, nullptr, text };
        return info;
    }
    BOOL Add(UINT flags, HWND hwnd, UINT_PTR id, RECT rect, const wchar_t* text)
    {
        TTTOOLINFOW info = Info(flags, hwnd, id, rect, const_cast<LPWSTR>(text));
        return static_cast<BOOL>(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
    }
    // A rectangle tool on the parent (client 20..120 x 20..70) and the whole child as a tool.
    void AddTwoTools(UINT extraFlags = 0)
    {
        ASSERT_TRUE(Add(extraFlags, parent, 1, { 20, 20, 120, 70 }, L"Rectangle tip"));
        ASSERT_TRUE(Add(extraFlags | TTF_IDISHWND, parent, reinterpret_cast<UINT_PTR>(child), {}, L"Child tip"));
    }

    void MovePointer(HWND window, int x, int y)
    {
        headless->InjectMouseMove(ScreenPoint(window, x, y));
        Pump();
    }
    void Wait(UINT milliseconds)
    {
        headless->Advance(milliseconds);
        Pump();
    }
    bool Shown() const { return IsWindowVisible(tip); }
    RECT TipRect() const
    {
        RECT rect;
        GetWindowRect(tip, &rect);
        return rect;
    }

    HWND parent = nullptr;
    HWND child = nullptr;
    HWND tip = nullptr;
    bool relay = true;
    std::function<LRESULT(NMHDR*)> answerNotify;
    std::vector<std::pair<UINT, UINT_PTR>> notified;
};

// ---- tools

TEST_F(ToolTip, HitTestFindsRectangleAndWindowTools)
{
    AddTwoTools();
    ASSERT_TRUE(Add(TTF_TRACK, parent, 3, { 0, 0, 400, 300 }, L"Tracked")); // never found by the pointer
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 3);

    struct Case {
        HWND window;
        POINT point;
        std::optional<UINT_PTR> tool;
    };
    const Case cases[] = {
        { parent, { 20, 20 }, 1 },
        { parent, { 119, 69 }, 1 },
        { parent, { 120, 69 }, std::nullopt }, // the right edge is outside
        { parent, { 300, 250 }, std::nullopt },
        { child, { 5, 5 }, reinterpret_cast<UINT_PTR>(child) },
        { child, { 99, 49 }, reinterpret_cast<UINT_PTR>(child) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.x << "," << c.point.y);
        wchar_t text[80] = L"untouched";
        TTHITTESTINFOW hit { c.window, c.point, Info(0, nullptr, 0, {}, text) };
        BOOL found = static_cast<BOOL>(SendMessageW(tip, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit)));
        EXPECT_EQ(found != FALSE, c.tool.has_value());
        if (c.tool) {
            EXPECT_EQ(hit.ti.uId, *c.tool);
            EXPECT_EQ(hit.ti.hwnd, parent);
            EXPECT_STREQ(text, *c.tool == 1 ? L"Rectangle tip" : L"Child tip");
        }
    }
}

TEST_F(ToolTip, ToolsAreChangedAndRemovedByWindowAndId)
{
    AddTwoTools();
    wchar_t text[80] {};
    TTTOOLINFOW info = Info(0, parent, 1, {}, text);
    ASSERT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));
    EXPECT_STREQ(text, L"Rectangle tip");
    EXPECT_EQ(info.rect.right, 120);

    info = Info(0, parent, 1, { 200, 200, 250, 250 });
    SendMessageW(tip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
    TTHITTESTINFOW hit { parent, { 210, 210 }, Info(0, nullptr, 0) };
    EXPECT_TRUE(SendMessageW(tip, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit)));
    hit.pt = { 30, 30 };
    EXPECT_FALSE(SendMessageW(tip, TTM_HITTESTW, 0, reinterpret_cast<LPARAM>(&hit)));

    info = Info(0, parent, 1, {}, const_cast<LPWSTR>(L"New text"));
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    info = Info(0, parent, 1, {}, text);
    SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(text, L"New text");
    wchar_t small[4] {};
    info = Info(0, parent, 1, {}, small);
    SendMessageW(tip, TTM_GETTEXTW, std::size(small), reinterpret_cast<LPARAM>(&info));
    EXPECT_STREQ(small, L"New") << "cut to the buffer given";

    info = Info(TTF_CENTERTIP, parent, 1, { 0, 0, 10, 10 }, const_cast<LPWSTR>(L"Set"));
    SendMessageW(tip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
    info = Info(0, parent, 1, {}, text);
    SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.uFlags, TTF_CENTERTIP);
    EXPECT_STREQ(text, L"Set");

    info = Info(0, parent, 1);
    SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_FALSE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)));

    TTTOOLINFOW tooSmall = Info(0, parent, 9, { 0, 0, 5, 5 }, const_cast<LPWSTR>(L"x"));
    tooSmall.cbSize = 8;
    EXPECT_FALSE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tooSmall)));
    TTTOOLINFOW firstForm = Info(0, parent, 9, { 0, 0, 5, 5 }, const_cast<LPWSTR>(L"x"));
    firstForm.cbSize = TTTOOLINFOW_V1_SIZE;
    EXPECT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&firstForm)));
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
}

// ---- timing on the virtual clock

TEST_F(ToolTip, ShowsAfterTheInitialDelayAndPopsAfterTheAutoPopDelay)
{
    AddTwoTools();
    MovePointer(parent, 50, 40);
    Wait(kInitial - 1);
    EXPECT_FALSE(Shown());
    Wait(1);
    ASSERT_TRUE(Shown());
    EXPECT_NE(GetActiveWindow(), tip) << "a tip never takes the activation";
    EXPECT_EQ(MessageLog::Instance().Count(parent, WM_NOTIFY), 1); // TTN_SHOW

    MovePointer(parent, 60, 45); // resting on the same tool changes nothing
    Wait(kAutoPop - 1);
    EXPECT_TRUE(Shown());
    Wait(1);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(MessageLog::Instance().Count(parent, WM_NOTIFY), 2); // TTN_POP

    Wait(kInitial * 4);
    EXPECT_FALSE(Shown()) << "a popped tip waits for the pointer to leave its tool";
    MovePointer(parent, 300, 250);
    MovePointer(parent, 50, 40);
    Wait(kInitial);
    EXPECT_TRUE(Shown());
}

// A tip stays where it was put: when its tool's window, or the window that holds it, moves on the
// screen, the tip goes. A move to the same place keeps it.
TEST_F(ToolTip, ATipHidesWhenItsToolsWindowMoves)
{
    AddTwoTools();
    struct Case {
        const char* what;
        std::function<void()> act;
        bool hides;
    };
    const Case cases[] = {
        { "the same place again", [&] { SetWindowPos(parent, nullptr, 100, 100, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE); }, false },
        { "the top-level window moved", [&] { SetWindowPos(parent, nullptr, 120, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }, true },
        { "the top-level window sized", [&] { SetWindowPos(parent, nullptr, 0, 0, 420, 330, SWP_NOMOVE | SWP_NOZORDER); }, true },
        { "the top-level window minimised", [&] { ShowWindow(parent, SW_MINIMIZE); }, true },
        { "the tool's window moved in its parent", [&] { SetWindowPos(child, nullptr, 210, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ShowWindow(parent, SW_RESTORE);
        SetWindowPos(parent, nullptr, 100, 100, 400, 300, SWP_NOZORDER);
        SetWindowPos(child, nullptr, 200, 150, 100, 50, SWP_NOZORDER);
        MovePointer(parent, 300, 250);
        MovePointer(child, 50, 25);
        Wait(kInitial);
        ASSERT_TRUE(Shown());
        c.act();
        Pump();
        EXPECT_EQ(Shown(), !c.hides);
        SendMessageW(tip, TTM_POP, 0, 0);
    }
}

TEST_F(ToolTip, NotificationsNameTheToolInOrder)
{
    AddTwoTools();
    answerNotify = [this](NMHDR* header) -> LRESULT {
        EXPECT_EQ(header->hwndFrom, tip);
        notified.push_back({ header->code, header->idFrom });
        return 0;
    };
    MovePointer(parent, 50, 40);
    Wait(kInitial);
    MovePointer(child, 10, 10);
    Wait(kReshow);
    MovePointer(parent, 300, 250);
    auto childId = reinterpret_cast<UINT_PTR>(child);
    std::vector<std::pair<UINT, UINT_PTR>> expected { { TTN_SHOW, 1 }, { TTN_POP, 1 }, { TTN_SHOW, childId }, { TTN_POP, childId } };
    EXPECT_EQ(notified, expected);
}

TEST_F(ToolTip, MovingToAnotherToolReshowsSooner)
{
    AddTwoTools();
    MovePointer(parent, 50, 40);
    Wait(kInitial);
    ASSERT_TRUE(Shown());
    MovePointer(child, 10, 10);
    EXPECT_FALSE(Shown()) << "the old tip goes at once";
    Wait(kReshow - 1);
    EXPECT_FALSE(Shown());
    Wait(1);
    EXPECT_TRUE(Shown());

    // From no tip at all, the next tool waits the whole initial delay.
    MovePointer(parent, 300, 250);
    MovePointer(parent, 50, 40);
    Wait(kReshow);
    EXPECT_FALSE(Shown());
    Wait(kInitial - kReshow);
    EXPECT_TRUE(Shown());
}

TEST_F(ToolTip, DelaysCanBeSetAndRestored)
{
    struct Case {
        WPARAM which;
        int set;
        UINT initial, autoPop, reshow;
    };
    const Case cases[] = {
        { TTDT_INITIAL, 200, 200, kAutoPop, kReshow },
        { TTDT_AUTOPOP, 800, 200, 800, kReshow },
        { TTDT_RESHOW, 30, 200, 800, 30 },
        { TTDT_INITIAL, -1, kInitial, 800, 30 },
        { TTDT_AUTOMATIC, 300, 300, 3000, 60 },
        { TTDT_AUTOMATIC, -1, kInitial, kAutoPop, kReshow },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.which << " = " << c.set);
        SendMessageW(tip, TTM_SETDELAYTIME, c.which, MAKELPARAM(static_cast<WORD>(c.set), 0));
        EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), static_cast<LRESULT>(c.initial));
        EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), static_cast<LRESULT>(c.autoPop));
        EXPECT_EQ(SendMessageW(tip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), static_cast<LRESULT>(c.reshow));
    }

    AddTwoTools();
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 50);
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 250);
    MovePointer(parent, 50, 40);
    Wait(50);
    EXPECT_TRUE(Shown());
    Wait(250);
    EXPECT_FALSE(Shown());
}

TEST_F(ToolTip, ClicksPopAndTheTipMakesWay)
{
    struct Case {
        const char* name;
        std::function<void()> act;
    };
    const Case cases[] = {
        { "click", [&] { Click(ScreenPoint(parent, 50, 40)); } },
        { "TTM_POP", [&] { SendMessageW(tip, TTM_POP, 0, 0); } },
        { "deactivated", [&] { SendMessageW(tip, TTM_ACTIVATE, FALSE, 0); } },
        { "pointer leaves to a window that relays nothing", [&] { relay = false; MovePointer(parent, 300, 250); Wait(100); } },
        { "tool deleted", [&] { TTTOOLINFOW info = Info(0, parent, 1); SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info)); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        relay = true;
        SendMessageW(tip, TTM_ACTIVATE, TRUE, 0);
        AddTwoTools();
        MovePointer(parent, 300, 250);
        Wait(kInitial);
        MovePointer(parent, 50, 40);
        Wait(kInitial);
        ASSERT_TRUE(Shown());
        c.act();
        EXPECT_FALSE(Shown());
        Wait(kInitial);
        EXPECT_FALSE(Shown());
    }
}

TEST_F(ToolTip, AnInactiveControlShowsNothingUntilActivated)
{
    AddTwoTools();
    SendMessageW(tip, TTM_ACTIVATE, FALSE, 0);
    MovePointer(parent, 50, 40);
    Wait(kInitial * 2);
    EXPECT_FALSE(Shown());
    SendMessageW(tip, TTM_ACTIVATE, TRUE, 0);
    MovePointer(parent, 51, 40);
    Wait(kInitial);
    EXPECT_TRUE(Shown());
}

TEST_F(ToolTip, WithoutAlwaysTipOnlyAnActiveOwnerShowsTips)
{
    DestroyWindow(tip);
    tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
    AddTwoTools();
    HWND other = TopLevel(WS_POPUP | WS_VISIBLE, { 700, 700, 800, 800 });
    SetActiveWindow(other);
    MovePointer(parent, 50, 40);
    Wait(kInitial);
    EXPECT_FALSE(Shown());
    SetActiveWindow(parent);
    MovePointer(parent, 300, 250);
    MovePointer(parent, 50, 40);
    Wait(kInitial);
    EXPECT_TRUE(Shown());
}

// ---- text

TEST_F(ToolTip, CallbackTextComesFromTheToolsWindow)
{
    struct Case {
        const char* name;
        std::function<void(NMTTDISPINFOW*)> answer;
        std::wstring shown; // empty: no tip
        int asked;          // TTN_GETDISPINFO count over two showings
    };
    static std::wstring longText(100, L'x');
    const Case cases[] = {
        { "into szText", [](NMTTDISPINFOW* info) { wcscpy(info->szText, L"Buffer"); }, L"Buffer", 2 },
        { "own pointer", [](NMTTDISPINFOW* info) { info->lpszText = const_cast<LPWSTR>(L"Pointer"); }, L"Pointer", 2 },
        { "kept with TTF_DI_SETITEM", [](NMTTDISPINFOW* info) { info->lpszText = const_cast<LPWSTR>(L"Kept"); info->uFlags |= TTF_DI_SETITEM; }, L"Kept", 1 },
        { "long pointer text", [](NMTTDISPINFOW* info) { info->lpszText = longText.data(); }, longText, 2 },
        { "nothing", [](NMTTDISPINFOW*) { }, L"", 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int asked = 0;
        answerNotify = [&](NMHDR* header) -> LRESULT {
            if (header->code == TTN_GETDISPINFOW) {
                ++asked;
                auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
                EXPECT_EQ(info->lpszText, info->szText);
                EXPECT_EQ(info->lParam, 77);
                c.answer(info);
            }
            return 0;
        };
        TTTOOLINFOW info = Info(0, parent, 1, { 20, 20, 120, 70 }, LPSTR_TEXTCALLBACKW);
        info.lParam = 77;
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        for (int showing = 0; showing < 2; ++showing) {
            MovePointer(parent, 300, 250);
            MovePointer(parent, 50, 40);
            Wait(kInitial);
            EXPECT_EQ(Shown(), !c.shown.empty());
        }
        EXPECT_EQ(asked, c.asked);
        if (!c.shown.empty()) {
            std::wstring got(200, L'\0');
            TTTOOLINFOW query = Info(0, parent, 1, {}, got.data());
            answerNotify = [&](NMHDR* header) -> LRESULT {
                if (header->code == TTN_GETDISPINFOW)
                    c.answer(reinterpret_cast<NMTTDISPINFOW*>(header));
                return 0;
            };
            SendMessageW(tip, TTM_GETTEXTW, got.size(), reinterpret_cast<LPARAM>(&query));
            EXPECT_EQ(std::wstring(got.c_str()), c.shown);
        }
        TTTOOLINFOW remove = Info(0, parent, 1);
        SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&remove));
    }
}

TEST_F(ToolTip, AToolRemovedWhileItsTextIsAskedForIsNoHarm)
{
    ASSERT_TRUE(Add(0, parent, 1, { 20, 20, 120, 70 }, LPSTR_TEXTCALLBACKW));
    answerNotify = [this](NMHDR* header) -> LRESULT {
        if (header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
            info->lpszText = const_cast<LPWSTR>(L"Last words");
            info->uFlags |= TTF_DI_SETITEM;
            TTTOOLINFOW remove = Info(0, parent, 1);
            SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&remove));
        }
        return 0;
    };
    MovePointer(parent, 50, 40);
    Wait(kInitial);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
    EXPECT_FALSE(Shown());
    Wait(kAutoPop);
    EXPECT_FALSE(Shown());
}

TEST_F(ToolTip, AWindowMayDestroyTheTooltipWhenTold)
{
    for (UINT code : { TTN_GETDISPINFOW, TTN_SHOW, TTN_POP }) {
        SCOPED_TRACE(static_cast<int>(code));
        tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
        ASSERT_TRUE(Add(0, parent, 1, { 20, 20, 120, 70 }, LPSTR_TEXTCALLBACKW));
        answerNotify = [&, code](NMHDR* header) -> LRESULT {
            if (header->code == TTN_GETDISPINFOW)
                wcscpy(reinterpret_cast<NMTTDISPINFOW*>(header)->szText, L"Text");
            if (header->code == code)
                DestroyWindow(header->hwndFrom);
            return 0;
        };
        MovePointer(parent, 300, 250);
        MovePointer(parent, 50, 40);
        Wait(kInitial);
        SendMessageW(tip, TTM_POP, 0, 0);
        EXPECT_FALSE(IsWindow(tip));
        answerNotify = {};
    }
}

TEST_F(ToolTip, TextsComeFromTheStringTable)
{
    constexpr UINT kFromTable = 200, kFromAnswer = 201; // tests/data/tips.rc
    HINSTANCE module = GetModuleHandleW(nullptr);
    TTTOOLINFOW info = Info(0, parent, 1, { 20, 20, 120, 70 }, MAKEINTRESOURCEW(kFromTable));
    info.hinst = module;
    ASSERT_TRUE(SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)));
    TTTOOLINFOW asked = Info(0, parent, 1);
    ASSERT_TRUE(SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&asked)));
    EXPECT_EQ(asked.lpszText, MAKEINTRESOURCEW(kFromTable));
    EXPECT_EQ(asked.hinst, module);
    wchar_t text[80] {};
    asked = Info(0, parent, 1, {}, text);
    SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&asked));
    EXPECT_STREQ(text, L"Tip from the string table");

    ASSERT_TRUE(Add(TTF_IDISHWND, parent, reinterpret_cast<UINT_PTR>(child), {}, LPSTR_TEXTCALLBACKW));
    answerNotify = [&](NMHDR* header) -> LRESULT {
        if (header->code == TTN_GETDISPINFOW) {
            auto* display = reinterpret_cast<NMTTDISPINFOW*>(header);
            display->hinst = module;
            display->lpszText = MAKEINTRESOURCEW(kFromAnswer);
        }
        return 0;
    };
    asked = Info(0, parent, reinterpret_cast<UINT_PTR>(child), {}, text);
    SendMessageW(tip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&asked));
    EXPECT_STREQ(text, L"Tip from an answer");
}

// ---- watching a tool's window

TEST_F(ToolTip, SubclassedToolsNeedNoRelay)
{
    relay = false;
    ASSERT_TRUE(Add(TTF_IDISHWND | TTF_SUBCLASS, parent, reinterpret_cast<UINT_PTR>(child), {}, L"Watched"));
    EXPECT_NE(GetWindowLongPtrW(child, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(LoggingProcedure));
    MovePointer(child, 10, 10);
    Wait(kInitial);
    EXPECT_TRUE(Shown());
    EXPECT_GT(MessageLog::Instance().Count(child, WM_MOUSEMOVE), 0) << "the window still gets its messages";

    TTTOOLINFOW info = Info(0, parent, reinterpret_cast<UINT_PTR>(child));
    SendMessageW(tip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_FALSE(Shown());
    EXPECT_EQ(GetWindowLongPtrW(child, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(LoggingProcedure)) << "unwatched again";

    // A tooltip that goes first gives the window back.
    HWND second = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0, parent, nullptr, nullptr, nullptr);
    TTTOOLINFOW watched = Info(TTF_IDISHWND | TTF_SUBCLASS, parent, reinterpret_cast<UINT_PTR>(child), {}, const_cast<LPWSTR>(L"Second"));
    SendMessageW(second, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&watched));
    EXPECT_NE(GetWindowLongPtrW(child, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(LoggingProcedure));
    DestroyWindow(second);
    EXPECT_EQ(GetWindowLongPtrW(child, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(LoggingProcedure));

    // A watched window may go first.
    ASSERT_TRUE(Add(TTF_IDISHWND | TTF_SUBCLASS, parent, reinterpret_cast<UINT_PTR>(child), {}, L"Watched"));
    DestroyWindow(child);
    MovePointer(parent, 250, 170);
    Wait(kInitial);
    EXPECT_FALSE(Shown());
}

// ---- where the tip goes

TEST_F(ToolTip, TipsSitBelowThePointerOrCentredUnderTheirTool)
{
    ASSERT_TRUE(Add(0, parent, 1, { 20, 20, 120, 70 }, L"At the pointer"));
    ASSERT_TRUE(Add(TTF_CENTERTIP | TTF_IDISHWND, parent, reinterpret_cast<UINT_PTR>(child), {}, L"Centred"));
    MovePointer(parent, 50, 40);
    Wait(kInitial);
    POINT pointer = ScreenPoint(parent, 50, 40);
    EXPECT_EQ(TipRect().left, pointer.x);
    EXPECT_EQ(TipRect().top, pointer.y + 20);

    MovePointer(child, 10, 10);
    Wait(kReshow);
    RECT tool;
    GetWindowRect(child, &tool);
    RECT shown = TipRect();
    EXPECT_NEAR((shown.left + shown.right) / 2, (tool.left + tool.right) / 2, 1);
    EXPECT_EQ(shown.top, tool.bottom);

    // Near the bottom-right corner of the screen the tip stays on it, above the pointer.
    MoveWindow(parent, 1280 - 200, 1024 - 100, 200, 100, TRUE);
    MovePointer(parent, 300, 300);
    MovePointer(parent, 110, 60);
    Wait(kInitial);
    pointer = ScreenPoint(parent, 110, 60);
    shown = TipRect();
    EXPECT_LE(shown.right, 1280);
    EXPECT_LE(shown.bottom, pointer.y);
}

TEST_F(ToolTip, TrackingTipsFollowTheirPosition)
{
    relay = true;
    ASSERT_TRUE(Add(TTF_TRACK | TTF_ABSOLUTE, parent, 5, {}, L"Tracked"));
    ASSERT_TRUE(Add(TTF_TRACK, parent, 6, {}, L"Tracked near"));
    ASSERT_TRUE(Add(0, parent, 1, { 20, 20, 120, 70 }, L"Rectangle tip"));

    TTTOOLINFOW absolute = Info(0, parent, 5);
    SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(400, 300));
    SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&absolute));
    ASSERT_TRUE(Shown());
    EXPECT_EQ(TipRect().left, 400);
    EXPECT_EQ(TipRect().top, 300);
    SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(420, 310));
    EXPECT_EQ(TipRect().left, 420);
    EXPECT_EQ(TipRect().top, 310);

    MovePointer(parent, 50, 40); // the pointer does not take over a tracking tip
    Wait(kAutoPop * 2);
    EXPECT_TRUE(Shown()) << "no auto-pop while tracking";
    EXPECT_EQ(TipRect().left, 420);

    SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&absolute));
    EXPECT_FALSE(Shown());

    // Without TTF_ABSOLUTE the tip is kept on the screen; with it, exactly where it was asked.
    TTTOOLINFOW near = Info(0, parent, 6);
    SendMessageW(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(1275, 1020));
    SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&near));
    EXPECT_LE(TipRect().right, 1280);
    EXPECT_LE(TipRect().bottom, 1024);
    SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&near));
    SendMessageW(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&absolute));
    EXPECT_EQ(TipRect().left, 1275);
    EXPECT_EQ(TipRect().top, 1020);
}

TEST_F(ToolTip, ShowAnswerPlacesTheTip)
{
    ASSERT_TRUE(Add(0, parent, 1, { 20, 20, 120, 70 }, L"Placed"));
    answerNotify = [this](NMHDR* header) -> LRESULT {
        if (header->code != TTN_SHOW)
            return 0;
        SetWindowPos(tip, nullptr, 33, 44, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    };
    MovePointer(parent, 50, 40);
    Wait(kInitial);
    EXPECT_EQ(TipRect().left, 33);
    EXPECT_EQ(TipRect().top, 44);
}

TEST_F(ToolTip, WindowFromPointAnswersTheWindowUnderAScreenPoint)
{
    POINT inChild = ScreenPoint(child, 5, 5);
    POINT inParent = ScreenPoint(parent, 5, 5);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(tip, TTM_WINDOWFROMPOINT, 0, reinterpret_cast<LPARAM>(&inChild))), child);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(tip, TTM_WINDOWFROMPOINT, 0, reinterpret_cast<LPARAM>(&inParent))), parent);
}

// ---- the look

class ToolTipLook : public ToolTip {
protected:
    // Shows the rectangle tool's tip with that text and returns its client size.
    SIZE ShowTip(const wchar_t* text)
    {
        TTTOOLINFOW info = Info(0, parent, 1, { 20, 20, 120, 70 }, const_cast<LPWSTR>(text));
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        MovePointer(parent, 300, 250);
        MovePointer(parent, 50, 40);
        Wait(kInitial);
        UpdateWindow(tip);
        RECT client;
        GetClientRect(tip, &client);
        return { client.right, client.bottom };
    }
    TEXTMETRICW TipFontMetrics(const wchar_t* text, SIZE* extent) const
    {
        HDC dc = GetDC(tip);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(tip, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics;
        GetTextMetricsW(dc, &metrics);
        GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), extent);
        SelectObject(dc, old);
        ReleaseDC(tip, dc);
        return metrics;
    }
};

TEST_F(ToolTipLook, TheClassicFrameSurroundsTheText)
{
    SIZE size = ShowTip(L"Calculate");
    SIZE extent;
    TEXTMETRICW metrics = TipFontMetrics(L"Calculate", &extent);
    EXPECT_EQ(size.cx, extent.cx + 8);
    EXPECT_EQ(size.cy, metrics.tmHeight + 6);

    // The corner against the expected picture, in both corners (the picture turned for the other).
    cairo_surface_t* expected = cairo_image_surface_create_from_png(FLN_TEST_DATA_DIR "/tooltip_corner.png");
    ASSERT_EQ(cairo_surface_status(expected), CAIRO_STATUS_SUCCESS);
    int width = cairo_image_surface_get_width(expected), height = cairo_image_surface_get_height(expected);
    auto expectedAt = [&](int x, int y) {
        auto* row = cairo_image_surface_get_data(expected) + static_cast<size_t>(y) * cairo_image_surface_get_stride(expected);
        uint32_t pixel = reinterpret_cast<const uint32_t*>(row)[x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            EXPECT_EQ(PixelAt(tip, x, y), expectedAt(x, y)) << "top left " << x << "," << y;
            EXPECT_EQ(PixelAt(tip, size.cx - 1 - x, size.cy - 1 - y), expectedAt(x, y)) << "bottom right " << x << "," << y;
        }
    }
    cairo_surface_destroy(expected);

    // The whole frame is one pixel of the frame colour, with the background just inside it.
    for (int x = 0; x < size.cx; ++x) {
        EXPECT_EQ(PixelAt(tip, x, 0), GetSysColor(COLOR_WINDOWFRAME));
        EXPECT_EQ(PixelAt(tip, x, size.cy - 1), GetSysColor(COLOR_WINDOWFRAME));
    }
    for (int y = 1; y < size.cy - 1; ++y) {
        EXPECT_EQ(PixelAt(tip, 0, y), GetSysColor(COLOR_WINDOWFRAME));
        EXPECT_EQ(PixelAt(tip, 1, y), GetSysColor(COLOR_INFOBK));
        EXPECT_EQ(PixelAt(tip, size.cx - 2, y), GetSysColor(COLOR_INFOBK));
    }
    // Inside the frame there are only two colours: the background and, inside the padding, the
    // crisp text in the info-text colour.
    RECT textArea { 4, 3, size.cx - 4, size.cy - 3 };
    int ink = 0;
    for (int y = 1; y < size.cy - 1; ++y) {
        for (int x = 1; x < size.cx - 1; ++x) {
            COLORREF c = PixelAt(tip, x, y);
            if (c == GetSysColor(COLOR_INFOBK))
                continue;
            POINT point { x, y };
            EXPECT_EQ(c, GetSysColor(COLOR_INFOTEXT)) << x << "," << y;
            EXPECT_TRUE(PtInRect(&textArea, point)) << "ink outside the text area at " << x << "," << y;
            ++ink;
        }
    }
    EXPECT_GT(ink, 20);
}

TEST_F(ToolTipLook, NewTextForTheShownTipResizesItInPlace)
{
    SIZE before = ShowTip(L"Short");
    RECT placed = TipRect();
    TTTOOLINFOW info = Info(0, parent, 1, {}, const_cast<LPWSTR>(L"A good deal longer"));
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
    SIZE extent;
    TipFontMetrics(L"A good deal longer", &extent);
    EXPECT_EQ(TipRect().left, placed.left);
    EXPECT_EQ(TipRect().top, placed.top);
    EXPECT_EQ(TipRect().right - TipRect().left, extent.cx + 8);
    EXPECT_EQ(TipRect().bottom - TipRect().top, before.cy);
    RECT update {};
    EXPECT_TRUE(GetUpdateRect(tip, &update, FALSE)) << "the new text is painted";
}

TEST_F(ToolTipLook, ColoursCanBeChanged)
{
    SendMessageW(tip, TTM_SETTIPBKCOLOR, RGB(0, 64, 0), 0);
    SendMessageW(tip, TTM_SETTIPTEXTCOLOR, RGB(255, 255, 0), 0);
    EXPECT_EQ(SendMessageW(tip, TTM_GETTIPBKCOLOR, 0, 0), static_cast<LRESULT>(RGB(0, 64, 0)));
    EXPECT_EQ(SendMessageW(tip, TTM_GETTIPTEXTCOLOR, 0, 0), static_cast<LRESULT>(RGB(255, 255, 0)));
    SIZE size = ShowTip(L"Colours");
    EXPECT_EQ(PixelAt(tip, 1, 1), RGB(0, 64, 0));
    EXPECT_EQ(PixelAt(tip, 0, 0), GetSysColor(COLOR_WINDOWFRAME));
    int yellow = 0;
    for (int y = 0; y < size.cy; ++y) {
        for (int x = 0; x < size.cx; ++x)
            yellow += PixelAt(tip, x, y) == RGB(255, 255, 0);
    }
    EXPECT_GT(yellow, 10);
}

TEST_F(ToolTipLook, MaxTipWidthWrapsLongTexts)
{
    const wchar_t* text = L"A long explanation of what this button does when it is pressed";
    SIZE extent;
    TEXTMETRICW metrics = TipFontMetrics(text, &extent);
    EXPECT_EQ(SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, 120), -1);
    EXPECT_EQ(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0), 120);
    SIZE size = ShowTip(text);
    EXPECT_LE(size.cx, 120);
    EXPECT_GE(size.cy, 3 * metrics.tmHeight + 6);
    EXPECT_LT(size.cx * size.cy, (extent.cx + 8) * (metrics.tmHeight + 6) * 2);

    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, -1);
    size = ShowTip(L"&File && more");
    SIZE plain;
    TipFontMetrics(L"File & more", &plain);
    EXPECT_EQ(size.cx, plain.cx + 8) << "ampersands mark mnemonics, which a tip does not show";
}

} // namespace
