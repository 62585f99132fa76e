#include "controls/NumEdit.h"
#include "controls/tests/ControlTestSupport.h"

#include "platform/base/MessageBox.h"

#include <cfloat>
#include <string>
#include <vector>

namespace {

TEST(NumberTextTest, CheckCodesOfTexts)
{
    struct Case {
        const wchar_t* text;
        NumCheck code;
    };
    const Case cases[] = {
        { L"5", NumCheckOk }, { L"-10", NumCheckOk }, { L"10", NumCheckOk }, // bounds are inside
        { L" 2.5 ", NumCheckOk }, { L"+3", NumCheckOk }, { L"1e1", NumCheckOk },
        { L"10.001", NumCheckOutOfRange }, { L"-11", NumCheckOutOfRange }, { L"1e3", NumCheckOutOfRange },
        { L"", NumCheckNotANumber }, { L"   ", NumCheckNotANumber }, { L"abc", NumCheckNotANumber },
        { L"12a", NumCheckNotANumber }, { L"1 2", NumCheckNotANumber }, { L"nan", NumCheckNotANumber },
        { L"1\u0661", NumCheckNotANumber }, { L"\u0661", NumCheckNotANumber },
        { L"+", NumCheckLoneSign }, { L"-", NumCheckLoneSign }, { L"--", NumCheckNotANumber }, { L" -", NumCheckNotANumber },
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckNumberText(c.text, -10, 10), c.code) << '"' << CString(c.text).GetLength() << '"';
}

TEST(NumberTextTest, DecimalsFollowTheLastValueWithAFraction)
{
    struct Case {
        double value;
        int decimals; // after formatting this value
        const wchar_t* format;
    };
    // One sequence: each row starts from the decimals the row before left.
    const Case sequence[] = {
        { 3, 0, L"%.0f" },
        { 2.5, 1, L"%.1f" },
        { 3, 1, L"%.1f" }, // a whole number keeps the earlier count
        { 0.125, 3, L"%.3f" },
        { 1.5e10, 5, L"%.5f" }, // "1.5E+10": the exponent's characters count too
        { -7.25, 2, L"%.2f" },
    };
    BYTE decimals = 0;
    for (const Case& c : sequence) {
        EXPECT_EQ(NumberFormat(c.value, decimals), CString(c.format)) << c.value;
        EXPECT_EQ(decimals, c.decimals);
    }
}

class NumEditTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        ASSERT_TRUE(edit.Create(L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 210, 34), &main, 21));
        previousBox = SetMessageBoxHandler([this](const wchar_t* text, const wchar_t*, UINT type) {
            boxes.push_back({ text, type });
            return IDOK;
        });
        edit.SetFocus();
        Pump();
    }
    void TearDown() override
    {
        SetMessageBoxHandler(std::move(previousBox));
        ControlTest::TearDown();
    }
    void Type(const std::wstring& keys)
    {
        for (wchar_t key : keys) {
            const unsigned vk = key == L'\b' ? VK_BACK : (key >= L'a' && key <= L'z' ? key - 32 : key);
            headless->InjectKey(vk, true, key == L'\b' ? std::wstring() : std::wstring(1, key));
            headless->InjectKey(vk, false);
        }
        Pump();
    }
    std::wstring Text() { return std::wstring(edit.GetWindowText()); }

    struct Box {
        std::wstring text;
        UINT type;
    };
    std::vector<Box> boxes;
    MessageBoxHandler previousBox;
    CNumEdit edit;
};

TEST_F(NumEditTest, TheKeystrokeFilterUndoesKeysThatLeaveNoNumber)
{
    struct Case {
        const wchar_t* start;
        const wchar_t* keys;
        const wchar_t* expected;
    };
    const Case cases[] = {
        { L"", L"12", L"12" },
        { L"12", L"a", L"12" }, // a number followed by other characters
        { L"12", L" ", L"12" }, // a space is swallowed
        { L"", L"-", L"-" }, // a lone sign is a number being typed
        { L"", L"-5", L"-5" },
        { L"", L"-x", L"0" }, // "-" counts as 0 and is written back in the current decimals
        { L"7", L"\b", L"7" }, // the field cannot be emptied by typing
        { L"", L"1.25", L"1.25" },
    };
    for (const Case& c : cases) {
        edit.SetWindowText(c.start);
        edit.SendMessage(EM_SETSEL, c.start[0] ? 99 : 0, 99);
        Type(c.keys);
        EXPECT_EQ(Text(), c.expected) << "start \"" << std::wstring(c.start).size() << "\"";
    }
    EXPECT_TRUE(boxes.empty()) << "messages are off by default";
}

TEST_F(NumEditTest, ARejectedKeySelectsTheOldValueAndDropsTheTypedAhead)
{
    edit.SetValue(2.5);
    edit.SendMessage(EM_SETSEL, 3, 3);
    // Characters already waiting behind the rejected one go with it.
    for (wchar_t key : std::wstring(L"x99"))
        edit.PostMessage(WM_CHAR, key, 1);
    Pump();
    EXPECT_EQ(Text(), L"2.5");
    DWORD start = 0, end = 0;
    edit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 3u);
}

TEST_F(NumEditTest, RangeValueAndStepping)
{
    edit.SetRange(-1, 2);
    double minimum = 0, maximum = 0;
    edit.GetRange(&minimum, &maximum);
    EXPECT_EQ(minimum, -1);
    EXPECT_EQ(maximum, 2);

    EXPECT_TRUE(edit.SetValue(2));
    EXPECT_TRUE(edit.SetValue(-1));
    EXPECT_FALSE(edit.SetValue(2.01));
    EXPECT_EQ(Text(), L"-1") << "a refused value changes nothing";

    edit.SetDelta(0.75);
    struct Step {
        int count;
        const wchar_t* expected;
    };
    const Step steps[] = { { 1, L"-0.25" }, { 2, L"1.25" }, { 1, L"2.00" } /* the bound, not 2.0 */, { -10, L"-1.00" } };
    for (const Step& s : steps) {
        edit.StepBy(s.count);
        EXPECT_EQ(Text(), s.expected);
    }
    edit.SetWindowText(L"-");
    EXPECT_EQ(edit.GetValue(), 0.0);
}

TEST_F(NumEditTest, WithMessagesOnABadValueIsReportedAndTheOldValueRestored)
{
    edit.SetRange(0, 100);
    edit.SetShowMessages(TRUE);
    edit.SetValue(50);
    boxes.clear();
    edit.SendMessage(EM_SETSEL, 2, 2);
    Type(L"0");
    EXPECT_EQ(Text(), L"50");
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().text, L"The given value is out of range!\n");
    EXPECT_EQ(boxes.back().type, static_cast<UINT>(MB_ICONERROR));

    boxes.clear();
    EXPECT_EQ(edit.CheckText(L"x"), NumCheckNotANumber);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"Input characters must be a number!\n");
    boxes.clear();
    EXPECT_EQ(edit.CheckText(L"-"), NumCheckLoneSign);
    EXPECT_EQ(edit.CheckText(L"5"), NumCheckOk);
    EXPECT_TRUE(boxes.empty()) << "codes 0 and 3 never show a box";
}

class NumSpinTest : public NumEditTest {
protected:
    void SetUp() override
    {
        NumEditTest::SetUp();
        INITCOMMONCONTROLSEX init { sizeof init, ICC_UPDOWN_CLASS };
        ASSERT_TRUE(InitCommonControlsEx(&init));
        ASSERT_TRUE(spin.Create(UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE, CRect(210, 10, 226, 34), &main, 22));
    }
    void ClickArrow(bool up)
    {
        CRect client;
        spin.GetClientRect(&client);
        Advance(1000);
        Click(ScreenPoint(spin, client.Width() / 2, up ? 3 : client.Height() - 3));
    }
    CNumSpinCtrl spin;
};

TEST_F(NumSpinTest, ClicksStepTheBuddyWithinItsRange)
{
    spin.SetBuddy(&edit);
    EXPECT_EQ(spin.GetBuddy()->m_hWnd, edit.m_hWnd);
    EXPECT_EQ(Text(), L"0") << "a new buddy starts at 0";
    spin.SetRange(0, 1);
    spin.SetDelta(0.25);
    spin.SetPos(0.5);
    EXPECT_EQ(spin.SendMessage(UDM_GETPOS) & 0xFFFF, 500);
    EXPECT_EQ(spin.GetDelta(), 0.25);
    double lower = -1, upper = -1;
    spin.GetRange(&lower, &upper);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 1);

    struct Click {
        bool up;
        double value;
    };
    const Click clicks[] = { { true, 0.75 }, { true, 1.0 }, { true, 1.0 }, { false, 0.75 } };
    for (const Click& c : clicks) {
        ClickArrow(c.up);
        EXPECT_DOUBLE_EQ(spin.GetPos(), c.value);
    }
}

TEST_F(NumSpinTest, WithoutANumericBuddyTheNumberOperationsDoNothing)
{
    CWnd plain;
    ASSERT_TRUE(plain.Create(L"EDIT", L"text", WS_CHILD | WS_VISIBLE, CRect(10, 50, 100, 70), &main, 23));
    spin.SetBuddy(&plain);
    spin.SetDelta(5);
    spin.SetPos(3);
    double lower = 7, upper = 8;
    spin.GetRange(&lower, &upper);
    EXPECT_EQ(spin.GetDelta(), 0.0);
    EXPECT_EQ(spin.GetPos(), 0.0);
    EXPECT_EQ(lower, 7);
    EXPECT_EQ(upper, 8);
    EXPECT_EQ(std::wstring(plain.GetWindowText()), L"text");
}

}
