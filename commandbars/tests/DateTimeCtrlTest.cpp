#include "commandbars/DateTimeCtrl.h"
#include "commandbars/PopupCalendar.h"
#include "commandbars/tests/HeadlessFrameTest.h"
#include "platform/mfc/Dialog.h"
#include "datecore/Clock.h"
#include "datecore/DateLocale.h"
#include "platform/user/tests/PixelChecks.h"

#include <cwctype>

namespace {

// The format of the Date & Time page.
constexpr const wchar_t* PageFormat = L"dddd  dd.MM.yyyy  HH:mm:ss tt";

COleDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return COleDateTime(year, month, day, hour, minute, second);
}

class DateTimeCtrlTest : public HeadlessFrameTest {
protected:
    void SetUp() override
    {
        HeadlessFrameTest::SetUp();
        beeps = 0;
        previousBeep = SetMessageBeepHook([this](UINT) { ++beeps; });
    }
    void TearDown() override
    {
        SetMessageBeepHook(previousBeep);
        control.DestroyWindow();
        HeadlessFrameTest::TearDown();
    }
    void Make(const wchar_t* format = PageFormat, DWORD dtcStyle = SECDateTimeCtrl::DTCS_DROPDOWN | SECDateTimeCtrl::DTCS_SPIN,
        DWORD exStyle = WS_EX_CLIENTEDGE)
    {
        control.SetFormat(format);
        control.SetDate(At(2024, 4, 15));
        control.SetTime(At(2024, 4, 15, 13, 5, 9));
        ASSERT_TRUE(control.Create(exStyle, WS_CHILD | WS_VISIBLE | WS_TABSTOP | dtcStyle, CRect(10, 10, 300, 34), frame, 1020));
        control.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        control.EnableFastEntry(TRUE);
        control.SizeToContent();
        control.SetFocus();
        Pump();
    }
    std::wstring Text() const { return control.GetWindowText().GetString(); }
    SECDTGadget* Field(int id) const { return control.FindGadget(id); }
    void Focus(int id)
    {
        for (int i = 0; i < control.GetGadgetCount(); ++i)
            if (control.GetGadget(i)->GetID() == id) {
                while (control.GetCurrentIndex() > i)
                    Key(VK_LEFT);
                while (control.GetCurrentIndex() < i)
                    Key(VK_RIGHT);
                return;
            }
        FAIL() << "no field " << id;
    }
    // Each character as the keyboard gives it: the key goes down, then the character comes.
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text) {
            const UINT key = std::iswalnum(ch) ? std::towupper(ch) : ch == L'.' ? 0xBE : ch == L' ' ? VK_SPACE : 0;
            control.SendMessage(WM_KEYDOWN, key);
            control.SendMessage(WM_CHAR, ch);
        }
        Pump();
    }

    CPoint ScreenOf(const CRect& rect) { return ScreenPoint(&control, rect.CenterPoint().x, rect.CenterPoint().y); }

    ScopedFixedClock clock { 1718454896 /* 2024-06-15 12:34:56 UTC */, FixedOffsetZone(0) };
    ScopedDateLocale locale { DateLocale::Default() };
    SECDateTimeCtrl control;
    int beeps = 0;
    MessageBeepHook previousBeep;
};

TEST_F(DateTimeCtrlTest, TheFormatBecomesFieldsAndLiterals)
{
    Make();
    EXPECT_EQ(Text(), L"Monday  15.04.2024  13:05:09 PM");
    ASSERT_TRUE(Field(SECDateTimeCtrl::DayName));
    EXPECT_EQ(Field(SECDateTimeCtrl::DayName)->GetValue(), 1);
    EXPECT_EQ(Field(SECDateTimeCtrl::Year4)->GetValue(), 2024);
    EXPECT_EQ(control.GetGadget(0)->GetID(), SECDateTimeCtrl::DropDownButton) << "the buttons stand first";
    EXPECT_EQ(control.GetGadget(1)->GetID(), SECDateTimeCtrl::SpinButton);
}

TEST_F(DateTimeCtrlTest, FormatsWithEraQuotesAndShortFields)
{
    struct Case {
        const wchar_t* format;
        const wchar_t* text;
    } cases[] = {
        { L"gg yyyy", L" 2024" },                             // no era field
        { L"'Day' d 'of' MMM", L"Day 5 of Mar" },             // quoted text without its quotes
        { L"h:m:s t", L"1:2:3 P" },                           // short numbers, one-letter am/pm
        { L"yy/M/d \"unterminated", L"24/3/5 unterminated" }, // the literal ends with the format
        { L"ddd hh", L"Tue 01" },
    };
    control.SetDate(At(2024, 3, 5));
    control.SetTime(At(2024, 3, 5, 13, 2, 3));
    ASSERT_TRUE(control.Create(0, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 20), frame, 1));
    for (const Case& c : cases) {
        control.SetFormat(c.format);
        EXPECT_EQ(Text(), c.text) << "format " << CString(c.format).GetString();
    }
    control.SetFormat(L"");
    EXPECT_EQ(control.GetGadgetCount(), 0);
    control.SendMessage(WM_KEYDOWN, VK_UP); // nothing to route to
    EXPECT_EQ(Text(), L"");
}

TEST_F(DateTimeCtrlTest, TypingCommitsFullFieldsAndMovesOn)
{
    Make();
    Focus(SECDateTimeCtrl::Day);
    Type(L"1");
    EXPECT_EQ(Text(), L"Monday  1.04.2024  13:05:09 PM") << "a two-digit field waits for its second digit";
    EXPECT_EQ(control.GetChangeFlags() & SECDateTimeCtrl::Editing, SECDateTimeCtrl::Editing);
    EXPECT_EQ(control.GetCurrentGadget()->GetID(), SECDateTimeCtrl::Day);
    EXPECT_EQ(control.GetDateTime().GetDay(), 15) << "nothing is taken before the field is full";
    Type(L"7");
    EXPECT_EQ(control.GetDateTime().GetDay(), 17);
    EXPECT_EQ(control.GetChangeFlags() & SECDateTimeCtrl::Editing, 0u);
    EXPECT_EQ(control.GetCurrentGadget()->GetID(), SECDateTimeCtrl::Month) << "fast entry moves to the next field";
    Type(L"07");
    EXPECT_EQ(control.GetCurrentGadget()->GetID(), SECDateTimeCtrl::Year4);
    EXPECT_EQ(Text(), L"Wednesday  17.07.2024  13:05:09 PM");
    BOOL date = FALSE, time = TRUE;
    control.GetModified(&date, &time);
    EXPECT_TRUE(date);
    EXPECT_FALSE(time);
    EXPECT_EQ(beeps, 0);
}

TEST_F(DateTimeCtrlTest, RefusedTypingBeepsAndKeepsTheValue)
{
    Make();
    Focus(SECDateTimeCtrl::Day);
    Type(L"3x");
    EXPECT_EQ(beeps, 1) << "a letter in a number field";
    EXPECT_EQ(Text(), L"Monday  15.04.2024  13:05:09 PM");
    Type(L"31");
    EXPECT_EQ(beeps, 2) << "April has no 31st";
    EXPECT_EQ(control.GetDateTime().GetDay(), 15);
    Focus(SECDateTimeCtrl::Hour24);
    Type(L"24");
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(control.GetDateTime().GetHour(), 13);
    BOOL date = TRUE, time = TRUE;
    control.GetModified(&date, &time);
    EXPECT_FALSE(date);
    EXPECT_FALSE(time);
}

TEST_F(DateTimeCtrlTest, BackspaceAndSeparatorsWhileTyping)
{
    Make(L"dd.MM.yyyy HH:mm");
    Focus(SECDateTimeCtrl::Minute);
    control.SetTime(At(2000, 1, 1, 10, 42, 0));
    Key(VK_BACK);
    EXPECT_EQ(Text(), L"15.04.2024 10:4") << "backspace with nothing typed keeps the first digit";
    Key(VK_BACK);
    EXPECT_EQ(Text(), L"15.04.2024 10:");
    EXPECT_EQ(beeps, 1) << "nothing left to take away";
    Type(L"5");
    Key(VK_LEFT); // leaving the field commits it
    EXPECT_EQ(control.GetDateTime().GetMinute(), 5);
    Focus(SECDateTimeCtrl::Day);
    Type(L"3.");
    EXPECT_EQ(control.GetDateTime().GetDay(), 3) << "the separator after the field commits and moves on";
    EXPECT_EQ(control.GetCurrentGadget()->GetID(), SECDateTimeCtrl::Month);
    Type(L"1");
    Type(L" "); // not the separator here
    EXPECT_EQ(control.GetCurrentGadget()->GetID(), SECDateTimeCtrl::Month);
}

// Keys on a field: the value after each key from the value before.
TEST_F(DateTimeCtrlTest, FieldArithmeticWrapsAndClamps)
{
    struct Case {
        int field;
        COleDateTime before;
        UINT key;
        COleDateTime after;
        const char* what;
    } cases[] = {
        { SECDateTimeCtrl::Day, At(2024, 4, 30), VK_UP, At(2024, 4, 1), "past the month's last day to the 1st" },
        { SECDateTimeCtrl::Day, At(2024, 4, 1), VK_DOWN, At(2024, 4, 30), "below the 1st to the 31st, clamped" },
        { SECDateTimeCtrl::Day, At(2024, 2, 10), VK_END, At(2024, 2, 29), "End: the last day" },
        { SECDateTimeCtrl::Month, At(2024, 3, 31), VK_UP, At(2024, 4, 30), "a 31st in a 30-day month" },
        { SECDateTimeCtrl::Month, At(2024, 1, 31), VK_UP, At(2024, 2, 29), "February in a leap year" },
        { SECDateTimeCtrl::Month, At(2024, 12, 5), VK_UP, At(2024, 1, 5), "December up to January" },
        { SECDateTimeCtrl::Year4, At(2024, 2, 29), VK_UP, At(2025, 2, 28), "February 29 only in leap years" },
        { SECDateTimeCtrl::Year4, At(9999, 5, 5), VK_UP, At(9999, 5, 5), "years stop at 9999" },
        { SECDateTimeCtrl::Year4, At(100, 5, 5), VK_DOWN, At(100, 5, 5), "and at 100" },
        { SECDateTimeCtrl::Year4, At(1990, 5, 5), VK_HOME, At(100, 5, 5), "Home: year 100" },
        { SECDateTimeCtrl::Year4, At(1990, 5, 5), VK_END, At(2024, 5, 5), "End: this year" },
        { SECDateTimeCtrl::Hour24, At(2024, 5, 5, 23), VK_UP, At(2024, 5, 5, 0), "23 up to 0, same day" },
        { SECDateTimeCtrl::Hour24, At(2024, 5, 5, 0), VK_DOWN, At(2024, 5, 5, 23), "0 down to 23" },
        { SECDateTimeCtrl::Minute, At(2024, 5, 5, 1, 59), VK_ADD, At(2024, 5, 5, 1, 0), "keypad plus" },
        { SECDateTimeCtrl::Second, At(2024, 5, 5, 1, 1, 0), VK_SUBTRACT, At(2024, 5, 5, 1, 1, 59), "keypad minus" },
        { SECDateTimeCtrl::AmPm, At(2024, 5, 5, 9), VK_UP, At(2024, 5, 5, 21), "am to pm" },
        { SECDateTimeCtrl::AmPm, At(2024, 5, 5, 21), VK_HOME, At(2024, 5, 5, 9), "Home: am" },
        { SECDateTimeCtrl::DayName, At(2024, 4, 17), VK_HOME, At(2024, 4, 14), "Home: back to Sunday" },
        { SECDateTimeCtrl::DayName, At(2024, 4, 17), VK_END, At(2024, 4, 20), "End: on to Saturday" },
        { SECDateTimeCtrl::DayName, At(2024, 4, 30), VK_UP, At(2024, 4, 1), "steps as on the day number" },
    };
    Make();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        control.SetDate(c.before);
        control.SetTime(c.before);
        Focus(c.field);
        Key(c.key);
        EXPECT_EQ(control.GetDateTime().m_dt, c.after.m_dt) << control.GetWindowText().GetString();
    }
}

TEST_F(DateTimeCtrlTest, TwelveHourFieldAndCenturyWindow)
{
    Make(L"hh:mm tt dd.MM.yy");
    control.SetTime(At(2000, 1, 1, 0, 30, 0));
    EXPECT_EQ(Text(), L"12:30 AM 15.04.24") << "midnight shows as 12";
    control.SetTime(At(2000, 1, 1, 12, 30, 0));
    EXPECT_EQ(Text(), L"12:30 PM 15.04.24") << "noon shows as 12";
    Focus(SECDateTimeCtrl::Hour12);
    Type(L"07");
    EXPECT_EQ(control.GetDateTime().GetHour(), 19) << "typing keeps the half of the day";
    Focus(SECDateTimeCtrl::Hour12);
    Type(L"12");
    EXPECT_EQ(control.GetDateTime().GetHour(), 12);
    Focus(SECDateTimeCtrl::AmPm);
    Key(VK_UP);
    EXPECT_EQ(control.GetDateTime().GetHour(), 0) << "12 in the morning is midnight";
    Focus(SECDateTimeCtrl::Year2);
    Type(L"05");
    EXPECT_EQ(control.GetDateTime().GetYear(), 2005);
    Focus(SECDateTimeCtrl::Year2);
    Type(L"45");
    EXPECT_EQ(control.GetDateTime().GetYear(), 1945);
}

TEST_F(DateTimeCtrlTest, NameListsTypeAhead)
{
    Make(L"dddd MMMM");
    Focus(SECDateTimeCtrl::DayName);
    Type(L"s");
    EXPECT_EQ(Field(SECDateTimeCtrl::DayName)->GetTextString(), L"Saturday");
    Type(L"s");
    EXPECT_EQ(Field(SECDateTimeCtrl::DayName)->GetTextString(), L"Sunday") << "the same letter cycles";
    Type(L"s");
    EXPECT_EQ(Field(SECDateTimeCtrl::DayName)->GetTextString(), L"Saturday");
    Advance(SECDTListGadget::TypeAheadDelay + 20);
    Type(L"t");
    EXPECT_EQ(Field(SECDateTimeCtrl::DayName)->GetTextString(), L"Tuesday") << "a pause starts a new search";
    Type(L"h");
    EXPECT_EQ(Field(SECDateTimeCtrl::DayName)->GetTextString(), L"Thursday");
    EXPECT_EQ(control.GetDateTime().GetDay(), 18);
    Focus(SECDateTimeCtrl::MonthName);
    Type(L"x");
    EXPECT_EQ(beeps, 1) << "no month begins with x";
    Type(L"de");
    EXPECT_EQ(control.GetDateTime().GetMonth(), 12);
}

TEST_F(DateTimeCtrlTest, SetDateAndSetTimeRefuseOutOfRangeValues)
{
    Make();
    EXPECT_FALSE(control.SetDate(At(99, 12, 31)));
    COleDateTime invalid;
    invalid.SetStatus(COleDateTime::invalid);
    EXPECT_FALSE(control.SetDate(invalid));
    EXPECT_FALSE(control.SetTime(invalid));
    EXPECT_EQ(control.GetDateTime().m_dt, At(2024, 4, 15, 13, 5, 9).m_dt);
    EXPECT_TRUE(control.SetDate(At(9999, 12, 31, 1, 1, 1)));
    EXPECT_EQ(control.GetDateTime().m_dt, At(9999, 12, 31, 13, 5, 9).m_dt) << "the time stays";
    BOOL date = TRUE, time = TRUE;
    control.GetModified(&date, &time);
    EXPECT_FALSE(date) << "setting from the program is no change by the user";
}

TEST_F(DateTimeCtrlTest, GetTextIntoAShortBufferCutsTheFirstFieldThatDoesNotFit)
{
    Make();
    wchar_t buffer[12];
    EXPECT_EQ(control.SendMessage(WM_GETTEXT, 12, reinterpret_cast<LPARAM>(buffer)), 11);
    EXPECT_STREQ(buffer, L"Monday  15.");
    EXPECT_EQ(control.SendMessage(WM_GETTEXTLENGTH), 31);
}

// Holding the up half of the spin button: one step at once, a pause of 500 ms, then a step every
// 100 ms, of 1 for 20 repeats, then of 2 up to 50, then of 5.
TEST_F(DateTimeCtrlTest, TheSpinButtonRepeatsOnTheDisplayClock)
{
    Make();
    Focus(SECDateTimeCtrl::Year4);
    SECDTGadget* spin = Field(SECDateTimeCtrl::SpinButton);
    const CRect up(spin->GetRect().left, spin->GetRect().top, spin->GetRect().right, spin->GetRect().top + 4);
    const CPoint at = ScreenOf(up);
    headless->InjectMouseMove(at);
    headless->InjectButton(1, true, at);
    Pump();
    EXPECT_EQ(control.GetDateTime().GetYear(), 2025);
    Advance(490);
    EXPECT_EQ(control.GetDateTime().GetYear(), 2025) << "the first delay";
    Advance(10);
    EXPECT_EQ(control.GetDateTime().GetYear(), 2026);
    for (int tick = 2; tick <= 25; ++tick)
        Advance(SECDTSpinGadget::RepeatInterval);
    EXPECT_EQ(control.GetDateTime().GetYear(), 2025 + 20 * 1 + 5 * 2);
    for (int tick = 26; tick <= 51; ++tick)
        Advance(SECDTSpinGadget::RepeatInterval);
    EXPECT_EQ(control.GetDateTime().GetYear(), 2025 + 20 + 30 * 2 + 5);
    // Away from the button the repeat pauses; back on it, it starts again at the short interval.
    headless->InjectMouseMove(ScreenPoint(&control, 5, 5));
    Pump();
    Advance(1000);
    EXPECT_EQ(control.GetDateTime().GetYear(), 2110);
    headless->InjectMouseMove(at);
    Pump();
    Advance(SECDTSpinGadget::RepeatInterval);
    EXPECT_EQ(control.GetDateTime().GetYear(), 2111);
    headless->InjectButton(1, false, at);
    Advance(1000);
    EXPECT_EQ(control.GetDateTime().GetYear(), 2111) << "released: no more steps";
    EXPECT_EQ(spin->GetStyle() & SECDTGadget::WantFocus, 0u);
    EXPECT_EQ(control.GetCurrentGadget()->GetID(), SECDateTimeCtrl::Year4) << "the spin takes no focus";

    // The spin steps hours, minutes, seconds and days by at most 2.
    Focus(SECDateTimeCtrl::Minute);
    control.OnGadgetNotify(SECDTGadget::NmSpinUp, SECDateTimeCtrl::SpinButton, 5);
    EXPECT_EQ(control.GetDateTime().GetMinute(), 7);
}

// A control that records its hooks and refuses Fridays.
class NoFridays : public SECDateTimeCtrl {
public:
    int changes = 0;
    BOOL OnChanging(const COleDateTime& value) override { return value.GetDayOfWeek() != 6; }
    void OnChanged() override
    {
        ++changes;
        SECDateTimeCtrl::OnChanged();
    }
};

TEST_F(DateTimeCtrlTest, ChangesAreReportedAndMayBeVetoed)
{
    NoFridays control;
    control.SetFormat(PageFormat);
    control.SetDate(At(2024, 4, 15));
    ASSERT_TRUE(control.Create(0, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 20), frame, 7));
    control.SetFocus();
    auto key = [&](UINT vk) { control.SendMessage(WM_KEYDOWN, vk); };
    key(VK_RIGHT); // from the weekday to the day
    ASSERT_EQ(control.GetCurrentGadget()->GetID(), SECDateTimeCtrl::Day);
    key(VK_UP);
    EXPECT_EQ(control.GetDateTime().GetDay(), 16);
    EXPECT_EQ(control.changes, 1);
    for (int i = 0; i < 3; ++i)
        key(VK_UP);
    EXPECT_EQ(control.GetDateTime().GetDay(), 18) << "Friday the 19th is refused";
    EXPECT_EQ(control.changes, 3);
    control.DestroyWindow();
}

TEST_F(DateTimeCtrlTest, TheDropDownPicksADateAndKeepsTheTime)
{
    Make();
    Key(VK_F4);
    SECPopupCalendar* popup = control.GetPopupCalendar();
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->IsWindowVisible());
    EXPECT_EQ(popup->GetSelectedDate().m_dt, At(2024, 4, 15).m_dt);
    CRect anchor, placed;
    control.GetWindowRect(&anchor);
    popup->GetWindowRect(&placed);
    EXPECT_EQ(placed.TopLeft(), CPoint(anchor.left, anchor.bottom)) << "below the control, at its left edge";

    // April 2024 starts on a Monday, the first cell: the 22nd is the fourth row's first cell.
    SECDayBox& box = popup->GetDayBox(21);
    ASSERT_EQ(box.GetDayDate().m_dt, At(2024, 4, 22).m_dt);
    Click(ScreenPoint(popup, box.GetRect().CenterPoint().x, box.GetRect().CenterPoint().y));
    Pump();
    EXPECT_EQ(control.GetDateTime().m_dt, At(2024, 4, 22, 13, 5, 9).m_dt);
    EXPECT_FALSE(control.GetPopupCalendar()) << "the popup goes after the pick";
    BOOL date = FALSE, time = TRUE;
    control.GetModified(&date, &time);
    EXPECT_TRUE(date);
    EXPECT_FALSE(time);

    // Alt+Down opens it again; Escape closes it and changes nothing.
    control.SendMessage(WM_SYSKEYDOWN, VK_DOWN);
    ASSERT_TRUE(control.GetPopupCalendar());
    Key(VK_ESCAPE);
    EXPECT_FALSE(control.GetPopupCalendar());
    EXPECT_EQ(control.GetDateTime().m_dt, At(2024, 4, 22, 13, 5, 9).m_dt);

    // A click on the drop-down button opens it too.
    SECDTGadget* button = Field(SECDateTimeCtrl::DropDownButton);
    Click(ScreenOf(button->GetRect()));
    EXPECT_TRUE(control.GetPopupCalendar());
}

TEST_F(DateTimeCtrlTest, LooksLikeTheClassicControl)
{
    Make();
    Focus(SECDateTimeCtrl::Month);
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(control.m_hWnd, "datetime-focused.png"));
    control.EnableWindow(FALSE);
    Pump();
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(control.m_hWnd, "datetime-disabled.png"));
}

TEST_F(DateTimeCtrlTest, FieldsThatDoNotFitScrollIntoView)
{
    Make();
    control.SetWindowPos(nullptr, 0, 0, 120, 24, SWP_NOMOVE | SWP_NOZORDER);
    Focus(SECDateTimeCtrl::AmPm);
    EXPECT_GT(control.GetScrollOffset(), 0);
    CRect client;
    control.GetClientRect(&client);
    const CRect& shown = Field(SECDateTimeCtrl::AmPm)->GetRect();
    int rightAligned = 0;
    for (int id : { SECDateTimeCtrl::DropDownButton, SECDateTimeCtrl::SpinButton })
        rightAligned += Field(id)->GetRect().Width();
    EXPECT_EQ(shown.right - control.GetScrollOffset(), client.right - 1 - rightAligned) << "the field ends at the buttons";
    Focus(SECDateTimeCtrl::DayName);
    EXPECT_EQ(control.GetScrollOffset(), Field(SECDateTimeCtrl::DayName)->GetRect().left);
}

constexpr UINT IDD_DATE_FIELDS = 3800, IDC_DATE_BEFORE = 3801, IDC_DATE_PLACEHOLDER = 1020, IDC_DATE_AFTER = 3802;

// A dialog whose placeholder gives way to the control, as the Date & Time page's does; it records
// the control's notifications.
class DateDialog : public CDialog {
public:
    DateDialog() : CDialog(IDD_DATE_FIELDS) {}
    SECDateTimeCtrl control;
    std::vector<UINT> notifications;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        control.SetFormat(PageFormat);
        control.SetDate(At(2024, 4, 15));
        EXPECT_TRUE(control.AttachDateTimeCtrl(IDC_DATE_PLACEHOLDER, this, SECDateTimeCtrl::DTCS_DROPDOWN | SECDateTimeCtrl::DTCS_SPIN,
            WS_CHILD | WS_TABSTOP, WS_EX_CLIENTEDGE));
        control.EnableFastEntry(TRUE);
        control.SizeToContent();
        return TRUE;
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        if (LOWORD(wParam) == IDC_DATE_PLACEHOLDER)
            notifications.push_back(HIWORD(wParam));
        return CDialog::OnCommand(wParam, lParam);
    }
};

TEST_F(DateTimeCtrlTest, TakesThePlaceholdersPlaceAndTabsThroughItsFields)
{
    DateDialog dialog;
    ASSERT_TRUE(dialog.Create(IDD_DATE_FIELDS, frame));
    dialog.ShowWindow(SW_SHOW);
    Pump();
    SECDateTimeCtrl& control = dialog.control;
    EXPECT_EQ(dialog.GetDlgItem(IDC_DATE_PLACEHOLDER)->m_hWnd, control.m_hWnd) << "the placeholder is gone";
    EXPECT_EQ(::GetWindow(dialog.GetDlgItem(IDC_DATE_BEFORE)->m_hWnd, GW_HWNDNEXT), control.m_hWnd) << "in its place in the tab order";
    EXPECT_TRUE(control.IsWindowVisible());
    EXPECT_EQ(control.GetExStyle() & WS_EX_CLIENTEDGE, static_cast<DWORD>(WS_EX_CLIENTEDGE));

    dialog.GetDlgItem(IDC_DATE_BEFORE)->SetFocus();
    Pump();
    Key(VK_TAB);
    ASSERT_EQ(::GetFocus(), control.m_hWnd);
    EXPECT_EQ(control.GetCurrentGadget()->GetID(), SECDateTimeCtrl::DayName) << "Tab enters at the first field";
    const int fields[] = { SECDateTimeCtrl::Day, SECDateTimeCtrl::Month, SECDateTimeCtrl::Year4, SECDateTimeCtrl::Hour24,
        SECDateTimeCtrl::Minute, SECDateTimeCtrl::Second, SECDateTimeCtrl::AmPm };
    for (int field : fields) {
        Key(VK_TAB);
        EXPECT_EQ(control.GetCurrentGadget()->GetID(), field);
    }
    const int hour = control.GetDateTime().GetHour();
    Key(VK_UP);
    EXPECT_EQ(control.GetDateTime().GetHour(), (hour + 12) % 24) << "the other half of the day";
    Key(VK_TAB);
    EXPECT_EQ(::GetFocus(), dialog.GetDlgItem(IDC_DATE_AFTER)->m_hWnd) << "past the last field Tab leaves the control";

    headless->InjectKey(VK_SHIFT, true);
    Key(VK_TAB);
    headless->InjectKey(VK_SHIFT, false);
    Pump();
    ASSERT_EQ(::GetFocus(), control.m_hWnd);
    EXPECT_EQ(control.GetCurrentGadget()->GetID(), SECDateTimeCtrl::AmPm) << "Shift+Tab enters at the last field";
    EXPECT_EQ(dialog.notifications, (std::vector<UINT> { EN_SETFOCUS, EN_CHANGE, EN_KILLFOCUS, EN_SETFOCUS }));
    dialog.DestroyWindow();
}

} // namespace
