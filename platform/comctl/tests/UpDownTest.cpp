#include "ComctlTestSupport.h"

#include "platform/comctl/UpDownNumber.h"
#include "platform/sys/Locale.h"

using fln::comctl::FormatUpDownNumber;
using fln::comctl::ParseUpDownNumber;

namespace {

struct Step {
    int position;
    int delta;
};

class UpDownTest : public CommonControlTest {
protected:
    // Records each UDN_DELTAPOS and answers it with `refuse`.
    void RecordSteps(bool refuse = false)
    {
        MessageLog::Instance().answer = [this, refuse](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != UDN_DELTAPOS)
                return std::nullopt;
            auto* change = reinterpret_cast<NMUPDOWN*>(lParam);
            steps.push_back({ change->iPos, change->iDelta });
            return refuse ? 1 : 0;
        };
    }

    // The WM_VSCROLL/WM_HSCROLL the parent got: (code, position).
    std::vector<std::pair<WORD, WORD>> Scrolls(UINT message = WM_VSCROLL) const
    {
        std::vector<std::pair<WORD, WORD>> result;
        for (const auto& entry : MessageLog::Instance().entries)
            if (entry.window == parent && entry.message == message)
                result.push_back({ LOWORD(entry.wParam), HIWORD(entry.wParam) });
        return result;
    }

    int Position(HWND upDown) { return static_cast<int>(SendMessageW(upDown, UDM_GETPOS32, 0, 0)); }

    std::wstring Text(HWND window)
    {
        wchar_t buffer[64] {};
        GetWindowTextW(window, buffer, 64);
        return buffer;
    }

    POINT UpArrow(HWND upDown) { return ScreenPoint(upDown, 8, 5); }
    POINT DownArrow(HWND upDown) { return ScreenPoint(upDown, 8, 16); }

    std::vector<Step> steps;
};

TEST(UpDownNumber, FormatsAndReadsTheBuddyText)
{
    struct Case {
        int value;
        int base;
        const wchar_t* thousands;
        const wchar_t* text;
    } cases[] = {
        { 0, 10, L",", L"0" },
        { 999, 10, L",", L"999" },
        { 1000, 10, L",", L"1,000" },
        { -1234567, 10, L",", L"-1,234,567" },
        { 1234567, 10, L"", L"1234567" },
        { 1234567, 10, L"\u00a0", L"1\u00a0234\u00a0567" },
        { 2147483647, 10, L".", L"2.147.483.647" },
        { -2147483647 - 1, 10, L",", L"-2,147,483,648" },
        { 255, 16, L",", L"0x00FF" },
        { 0x12345, 16, L",", L"0x12345" },
        { -1, 16, L",", L"0xFFFFFFFF" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(FormatUpDownNumber(c.value, c.base, c.thousands), c.text);
        EXPECT_EQ(ParseUpDownNumber(c.text, c.base, c.thousands), c.value);
    }
}

TEST(UpDownNumber, ReadsLooseTextAndRefusesTheRest)
{
    struct Case {
        const wchar_t* text;
        int base;
        std::optional<int> value;
    } cases[] = {
        { L" 42 ", 10, 42 },
        { L"+7", 10, 7 },
        { L"12,34", 10, 1234 },
        { L"ff", 16, 255 },
        { L"0XfF", 16, 255 },
        { L"", 10, std::nullopt },
        { L"   ", 10, std::nullopt },
        { L"-", 10, std::nullopt },
        { L"12a", 10, std::nullopt },
        { L"1 2", 10, std::nullopt },
        { L"2147483648", 10, std::nullopt },
        { L"99999999999999999999", 10, std::nullopt },
        { L"0x", 16, std::nullopt },
        { L"0x123456789", 16, std::nullopt },
        { L"0xG", 16, std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "\"" << std::string(c.text, c.text + wcslen(c.text)) << "\"");
        EXPECT_EQ(ParseUpDownNumber(c.text, c.base, L","), c.value);
    }
}

TEST_F(UpDownTest, RangePositionBaseAndAccelerationMessages)
{
    HWND upDown = Control(UPDOWN_CLASSW, 0, { 10, 10, 26, 32 });
    ASSERT_NE(upDown, nullptr);
    // The documented defaults: from 100 down to 0, at 0, base 10.
    EXPECT_EQ(SendMessageW(upDown, UDM_GETRANGE, 0, 0), MAKELONG(0, 100));
    EXPECT_EQ(Position(upDown), 0);
    EXPECT_EQ(SendMessageW(upDown, UDM_GETBASE, 0, 0), 10);

    SendMessageW(upDown, UDM_SETRANGE, 0, MAKELPARAM(static_cast<WORD>(15), static_cast<WORD>(-15)));
    int lower = 0, upper = 0;
    SendMessageW(upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    EXPECT_EQ(lower, -15);
    EXPECT_EQ(upper, 15);
    struct Case {
        UINT message;
        LPARAM asked;
        LRESULT previous;
        int kept;
    } positions[] = {
        { UDM_SETPOS, MAKELPARAM(4, 0), 0, 4 },
        { UDM_SETPOS, MAKELPARAM(static_cast<WORD>(-20), 0), 4, -15 },
        { UDM_SETPOS32, 99, -15, 15 },
        { UDM_SETPOS32, -3, 15, -3 },
    };
    for (const Case& c : positions) {
        SCOPED_TRACE(c.asked);
        LRESULT previous = SendMessageW(upDown, c.message, 0, c.asked);
        EXPECT_EQ(c.message == UDM_SETPOS ? static_cast<SHORT>(previous) : previous, c.previous);
        EXPECT_EQ(Position(upDown), c.kept);
        EXPECT_EQ(SendMessageW(upDown, UDM_GETPOS, 0, 0), MAKELONG(static_cast<WORD>(c.kept), 0));
    }

    EXPECT_EQ(SendMessageW(upDown, UDM_SETBASE, 16, 0), 10);
    EXPECT_EQ(SendMessageW(upDown, UDM_SETBASE, 7, 0), 0);
    EXPECT_EQ(SendMessageW(upDown, UDM_GETBASE, 0, 0), 16);

    UDACCEL defaults[4] {};
    ASSERT_EQ(SendMessageW(upDown, UDM_GETACCEL, 4, reinterpret_cast<LPARAM>(defaults)), 3);
    EXPECT_EQ(defaults[1].nSec, 2u);
    EXPECT_EQ(defaults[1].nInc, 5u);
    UDACCEL mine[] = { { 0, 2 }, { 1, 50 } };
    EXPECT_TRUE(SendMessageW(upDown, UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(mine)));
    EXPECT_FALSE(SendMessageW(upDown, UDM_SETACCEL, 0, reinterpret_cast<LPARAM>(mine)));
    UDACCEL back[1] {};
    EXPECT_EQ(SendMessageW(upDown, UDM_GETACCEL, 1, reinterpret_cast<LPARAM>(back)), 2);
    EXPECT_EQ(back[0].nInc, 2u);
}

TEST_F(UpDownTest, ABuddyShowsTheNumberAndIsReadBack)
{
    ScopedNumberLocale locale({});
    struct Case {
        DWORD style;
        int base;
        int position;
        const wchar_t* text;
    } cases[] = {
        { UDS_SETBUDDYINT, 10, 1234, L"1,234" },
        { UDS_SETBUDDYINT | UDS_NOTHOUSANDS, 10, 1234, L"1234" },
        { UDS_SETBUDDYINT, 10, -5000, L"-5,000" },
        { UDS_SETBUDDYINT, 16, 1234, L"0x04D2" },
        { 0, 10, 1234, L"untouched" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.style << " " << c.base);
        HWND buddy = Child(parent, { 10, 10, 60, 30 }, 1);
        SetWindowTextW(buddy, L"untouched");
        HWND upDown = Control(UPDOWN_CLASSW, c.style, { 60, 10, 76, 30 });
        EXPECT_EQ(SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0), 0);
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0)), buddy);
        SendMessageW(upDown, UDM_SETRANGE32, -10000, 10000);
        SendMessageW(upDown, UDM_SETBASE, c.base, 0);
        SendMessageW(upDown, UDM_SETPOS32, 0, c.position);
        EXPECT_EQ(Text(buddy), c.text);
        DestroyWindow(upDown);
        DestroyWindow(buddy);
    }

    // UDM_GETPOS takes the buddy's number, and reports an error for text that is not one in range.
    HWND buddy = Child(parent, { 10, 10, 60, 30 }, 1);
    HWND upDown = Control(UPDOWN_CLASSW, UDS_SETBUDDYINT, { 60, 10, 76, 30 });
    SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageW(upDown, UDM_SETRANGE32, -15, 15);
    SendMessageW(upDown, UDM_SETPOS32, 0, 4);
    struct Read {
        const wchar_t* text;
        int position;
        bool failed;
    } reads[] = { { L"7", 7, false }, { L" -12 ", -12, false }, { L"abc", -12, true }, { L"16", -12, true }, { L"", -12, true } };
    for (const Read& r : reads) {
        SCOPED_TRACE(testing::Message() << r.position);
        SetWindowTextW(buddy, r.text);
        LRESULT answer = SendMessageW(upDown, UDM_GETPOS, 0, 0);
        EXPECT_EQ(static_cast<SHORT>(LOWORD(answer)), r.position);
        EXPECT_EQ(HIWORD(answer) != 0, r.failed);
        BOOL failed = FALSE;
        EXPECT_EQ(SendMessageW(upDown, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)), r.position);
        EXPECT_EQ(failed != FALSE, r.failed);
    }
}

TEST_F(UpDownTest, AClickAsksTheParentThenReportsTheNewPositionAndTheEnd)
{
    HWND upDown = Control(UPDOWN_CLASSW, 0, { 10, 10, 26, 32 }, 7);
    SendMessageW(upDown, UDM_SETRANGE32, 0, 10);
    SendMessageW(upDown, UDM_SETPOS32, 0, 5);
    RecordSteps();
    Click(UpArrow(upDown));
    Click(DownArrow(upDown));
    Click(DownArrow(upDown));
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0].position, 5);
    EXPECT_EQ(steps[0].delta, 1);
    EXPECT_EQ(steps[1].position, 6);
    EXPECT_EQ(steps[1].delta, -1);
    EXPECT_EQ(Position(upDown), 4);
    std::vector<std::pair<WORD, WORD>> expected { { SB_THUMBPOSITION, 6 }, { SB_ENDSCROLL, 6 }, { SB_THUMBPOSITION, 5 },
        { SB_ENDSCROLL, 5 }, { SB_THUMBPOSITION, 4 }, { SB_ENDSCROLL, 4 } };
    EXPECT_EQ(Scrolls(), expected);
    // The notification comes before the scroll message, from the control, with its id.
    auto order = MessageLog::Instance().MessagesOf(parent, { WM_NOTIFY, WM_VSCROLL });
    EXPECT_EQ(order.front(), static_cast<UINT>(WM_NOTIFY));
    const auto& notify = *std::find_if(MessageLog::Instance().entries.begin(), MessageLog::Instance().entries.end(),
        [](const LoggedMessage& m) { return m.message == WM_NOTIFY; });
    EXPECT_EQ(notify.wParam, 7u);
}

TEST_F(UpDownTest, TheParentMayRefuseAStep)
{
    HWND upDown = Control(UPDOWN_CLASSW, 0, { 10, 10, 26, 32 });
    SendMessageW(upDown, UDM_SETRANGE32, 0, 10);
    RecordSteps(true);
    Click(UpArrow(upDown));
    EXPECT_EQ(steps.size(), 1u);
    EXPECT_EQ(Position(upDown), 0);
    std::vector<std::pair<WORD, WORD>> onlyTheEnd { { SB_ENDSCROLL, 0 } };
    EXPECT_EQ(Scrolls(), onlyTheEnd);
}

TEST_F(UpDownTest, AParentMayDestroyTheControlWhileItIsTold)
{
    struct Case {
        const char* what;
        UINT message;
        WORD code;
        bool byKey;
    } cases[] = {
        { "the step is asked for", WM_NOTIFY, 0, false },
        { "the new position", WM_VSCROLL, SB_THUMBPOSITION, false },
        { "the end", WM_VSCROLL, SB_ENDSCROLL, false },
        { "a key's step", WM_NOTIFY, 0, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND buddy = Child(parent, { 10, 10, 60, 30 }, 1);
        HWND upDown = Control(UPDOWN_CLASSW, UDS_ARROWKEYS, { 60, 10, 76, 32 });
        SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
        SendMessageW(upDown, UDM_SETRANGE32, 0, 10);
        MessageLog::Instance().answer = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
            if (message == c.message && (message == WM_NOTIFY || LOWORD(wParam) == c.code) && IsWindow(upDown))
                DestroyWindow(upDown);
            return std::nullopt;
        };
        if (c.byKey) {
            SetFocus(buddy);
            Key(VK_UP);
        } else {
            Click(ScreenPoint(upDown, 8, 5));
        }
        EXPECT_FALSE(IsWindow(upDown));
        EXPECT_EQ(GetCapture(), nullptr);
        MessageLog::Instance().answer = {};
        headless->Advance(1000);
        Pump();
        DestroyWindow(buddy);
    }
}

TEST_F(UpDownTest, StepsStopAtTheEndsOrWrapAndFollowTheRangesDirection)
{
    struct Case {
        int lower, upper, start;
        bool up;
        DWORD style;
        int delta, after;
    } cases[] = {
        { 0, 3, 3, true, 0, 1, 3 },
        { 0, 3, 3, true, UDS_WRAP, 1, 0 },
        { 0, 3, 0, false, UDS_WRAP, -1, 3 },
        { 0, 3, 0, false, 0, -1, 0 },
        { 100, 0, 50, true, 0, -1, 49 },   // an upside-down range: up goes towards the upper value
        { 100, 0, 0, true, UDS_WRAP, -1, 100 },
        { -5, 5, 0, true, UDS_HORZ, 1, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lower << ".." << c.upper << " from " << c.start);
        HWND upDown = Control(UPDOWN_CLASSW, c.style, { 10, 10, 26, 32 });
        SendMessageW(upDown, UDM_SETRANGE32, c.lower, c.upper);
        SendMessageW(upDown, UDM_SETPOS32, 0, c.start);
        steps.clear();
        RecordSteps();
        bool horizontal = c.style & UDS_HORZ;
        Click(horizontal ? ScreenPoint(upDown, c.up ? 12 : 3, 10) : c.up ? UpArrow(upDown) : DownArrow(upDown));
        ASSERT_EQ(steps.size(), 1u);
        EXPECT_EQ(steps[0].delta, c.delta);
        EXPECT_EQ(Position(upDown), c.after);
        DestroyWindow(upDown);
    }
    EXPECT_EQ(MessageLog::Instance().Count(parent, WM_HSCROLL), 2); // the horizontal one's step and end
}

TEST_F(UpDownTest, AHeldArrowRepeatsFasterAsTimeGoesOnAndPausesOffTheArrow)
{
    HWND upDown = Control(UPDOWN_CLASSW, 0, { 10, 10, 26, 32 });
    SendMessageW(upDown, UDM_SETRANGE32, 0, 1000);
    UDACCEL accelerations[] = { { 0, 1 }, { 1, 10 } };
    SendMessageW(upDown, UDM_SETACCEL, 2, reinterpret_cast<LPARAM>(accelerations));
    POINT up = UpArrow(upDown);
    headless->InjectMouseMove(up);
    headless->InjectButton(1, true, up);
    Pump();
    EXPECT_EQ(Position(upDown), 1);
    EXPECT_EQ(GetCapture(), upDown);
    // The first repeat waits half a second, the next ones a tenth; after a second each step is 10.
    std::vector<int> positions;
    for (DWORD advance : { 400, 100, 100, 100, 100, 100, 100 }) {
        headless->Advance(advance);
        Pump();
        positions.push_back(Position(upDown));
    }
    EXPECT_EQ(positions, (std::vector<int> { 1, 2, 3, 4, 5, 6, 16 }));

    POINT away = ScreenPoint(upDown, 40, 5);
    headless->InjectMouseMove(away);
    Pump();
    headless->Advance(300);
    Pump();
    EXPECT_EQ(Position(upDown), 16);
    headless->InjectMouseMove(up);
    Pump();
    headless->Advance(100);
    Pump();
    EXPECT_EQ(Position(upDown), 26);

    headless->InjectButton(1, false, up);
    Pump();
    EXPECT_EQ(GetCapture(), nullptr);
    headless->Advance(1000);
    Pump();
    EXPECT_EQ(Position(upDown), 26);
    EXPECT_EQ(Scrolls().back(), (std::pair<WORD, WORD> { SB_ENDSCROLL, 26 }));
}

TEST_F(UpDownTest, ArrowKeysInTheBuddyStepTheControl)
{
    ScopedNumberLocale locale({});
    HWND buddy = Child(parent, { 10, 10, 60, 30 }, 1);
    HWND upDown = Control(UPDOWN_CLASSW, UDS_ARROWKEYS | UDS_SETBUDDYINT, { 60, 10, 76, 30 });
    SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageW(upDown, UDM_SETRANGE32, 0, 5000);
    SendMessageW(upDown, UDM_SETPOS32, 0, 999);
    EXPECT_EQ(SendMessageW(buddy, WM_GETDLGCODE, 0, 0) & 0x1, 1); // it wants the arrow keys now
    SetFocus(buddy);
    Key(VK_UP);
    EXPECT_EQ(Text(buddy), L"1,000");
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(Text(buddy), L"998");
    // The user's own number is where the next step starts.
    SetWindowTextW(buddy, L"2,000");
    Key(VK_UP);
    EXPECT_EQ(Position(upDown), 2001);
    auto scrolls = Scrolls();
    EXPECT_EQ(std::count(scrolls.begin(), scrolls.end(), std::pair<WORD, WORD> { SB_ENDSCROLL, 998 }), 1);
    Key(VK_LEFT); // not this control's key
    EXPECT_EQ(Position(upDown), 2001);

    DestroyWindow(upDown);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(buddy, GWLP_WNDPROC)), LoggingProcedure);
    Key(VK_UP);
    EXPECT_EQ(Text(buddy), L"2,001");
}

// A procedure that subclasses the buddy after the up-down did, as a dialog's own code may.
WNDPROC g_buddyBeforeUs = nullptr;
int g_keysSeen = 0;
LRESULT LaterSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_keysSeen += message == WM_KEYDOWN;
    return CallWindowProcW(g_buddyBeforeUs, window, message, wParam, lParam);
}

TEST_F(UpDownTest, ALaterSubclassOfTheBuddyOutlivesTheControl)
{
    HWND buddy = Child(parent, { 10, 10, 60, 30 }, 1);
    HWND upDown = Control(UPDOWN_CLASSW, UDS_ARROWKEYS, { 60, 10, 76, 30 });
    SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageW(upDown, UDM_SETRANGE32, 0, 10);
    g_keysSeen = 0;
    g_buddyBeforeUs = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(buddy, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LaterSubclass)));
    SetFocus(buddy);
    Key(VK_UP);
    EXPECT_EQ(Position(upDown), 1);
    DestroyWindow(upDown);
    // Our procedure stays in the chain but only passes messages on, to the buddy's own procedure too.
    ClearLog();
    Key(VK_UP);
    EXPECT_EQ(g_keysSeen, 2);
    EXPECT_EQ(MessageLog::Instance().Count(buddy, WM_KEYDOWN), 1);
    // A new up-down takes the buddy without adding itself to the chain twice.
    HWND again = Control(UPDOWN_CLASSW, UDS_ARROWKEYS, { 60, 10, 76, 30 });
    SendMessageW(again, UDM_SETRANGE32, 0, 10);
    SendMessageW(again, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    Key(VK_UP);
    EXPECT_EQ(Position(again), 1);
    DestroyWindow(buddy);
    EXPECT_EQ(SendMessageW(again, UDM_GETBUDDY, 0, 0), 0);
}

TEST_F(UpDownTest, AlignsItselfWithItsBuddy)
{
    struct Case {
        DWORD style;
        RECT buddy;
        RECT upDown;
    } cases[] = {
        { UDS_ALIGNRIGHT, { 10, 20, 94, 41 }, { 94, 20, 110, 41 } },
        { UDS_ALIGNLEFT, { 26, 20, 110, 41 }, { 10, 20, 26, 41 } },
        { 0, { 10, 20, 110, 41 }, { 200, 10, 216, 32 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        HWND buddy = Child(parent, { 10, 20, 110, 41 }, 1);
        HWND upDown = Control(UPDOWN_CLASSW, c.style | UDS_AUTOBUDDY, { 200, 10, 216, 32 });
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0)), buddy);
        EXPECT_EQ(CRect(RectInParent(buddy)), CRect(c.buddy));
        EXPECT_EQ(CRect(RectInParent(upDown)), CRect(c.upDown));
        SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0); // the same buddy again
        EXPECT_EQ(CRect(RectInParent(buddy)), CRect(c.buddy));
        DestroyWindow(upDown);
        DestroyWindow(buddy);
    }
}

TEST_F(UpDownTest, APressRepaintsOnlyItsArrow)
{
    HWND upDown = Control(UPDOWN_CLASSW, 0, { 10, 10, 26, 32 });
    SendMessageW(upDown, UDM_SETRANGE32, 0, 10);
    Pump();
    SendMessageW(upDown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 16));
    RECT update {};
    EXPECT_TRUE(GetUpdateRect(upDown, &update, FALSE));
    EXPECT_EQ(CRect(update), CRect(0, 11, 16, 22));
    SendMessageW(upDown, WM_LBUTTONUP, 0, MAKELPARAM(8, 16));
}

TEST_F(UpDownTest, TheClassicLook)
{
    struct Case {
        DWORD style;
        bool enabled;
        POINT press; // (-1, -1) for none
        const char* picture;
    } cases[] = {
        { 0, true, { -1, -1 }, "updown.png" },
        { 0, true, { 8, 5 }, "updown_up_pressed.png" },
        { 0, false, { -1, -1 }, "updown_disabled.png" },
        { UDS_HORZ, true, { 20, 8 }, "updown_horizontal_right_pressed.png" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        bool horizontal = c.style & UDS_HORZ;
        HWND upDown = Control(UPDOWN_CLASSW, c.style, horizontal ? RECT { 10, 10, 42, 27 } : RECT { 10, 10, 26, 32 });
        SendMessageW(upDown, UDM_SETRANGE32, 0, 10);
        EnableWindow(upDown, c.enabled);
        if (c.press.x >= 0)
            SendMessageW(upDown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.press.x, c.press.y));
        EXPECT_TRUE(LooksLike(upDown, c.picture));
        SendMessageW(upDown, WM_LBUTTONUP, 0, 0);
        DestroyWindow(upDown);
    }
}

} // namespace
