#include "commandbars/Calendar.h"
#include "commandbars/PopupCalendar.h"

#include "datecore/Clock.h"
#include "datecore/DateLocale.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/tests/PixelChecks.h"
#include "platform/user/tests/UserTestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

// Dates print as year-month-day in failure messages.
static void PrintTo(const COleDateTime& date, std::ostream* out)
{
    if (date.GetStatus() != COleDateTime::valid)
        *out << "(no date)";
    else
        *out << date.GetYear() << "-" << date.GetMonth() << "-" << date.GetDay();
}

namespace {

std::wstring Text(const CString& text) { return text.GetString(); }

COleDateTime Day(int year, int month, int day) { return COleDateTime(year, month, day, 0, 0, 0); }

// The client area of `shown` in the coordinates of `window`'s whole window, for reading its pixels
// through the window's DC (a window's own client DC leaves its child windows out).
RECT AreaInWindow(HWND window, HWND shown)
{
    RECT area {};
    ::GetClientRect(shown, &area);
    ::MapWindowPoints(shown, nullptr, reinterpret_cast<POINT*>(&area), 2);
    RECT frame {};
    ::GetWindowRect(window, &frame);
    ::OffsetRect(&area, -frame.left, -frame.top);
    return area;
}

std::int64_t UnixSeconds(int year, int month, int day, int hour)
{
    SYSTEMTIME time { static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day),
                      static_cast<WORD>(hour), 0, 0, 0 };
    return *SystemTimeToUnixSeconds(time);
}

// A notification as the notify window receives it: the message, wParam and the date of the cell in lParam.
struct Notification {
    UINT message;
    WPARAM wParam;
    COleDateTime date;
    bool operator==(const Notification&) const = default;
};

void PrintTo(const Notification& n, std::ostream* out)
{
    *out << "{0x" << std::hex << n.message << std::dec << ", " << n.wParam << ", ";
    ::PrintTo(n.date, out);
    *out << "}";
}

// A month calendar on a page: today is Monday 15 April 2024, weeks start on Monday, and the page
// sets today, selects it and creates the calendar with the default flags.
class CalendarTest : public UserTest {
protected:
    static constexpr CRect Place { 10, 10, 220, 170 };

    void SetUp() override
    {
        UserTest::SetUp();
        ASSERT_TRUE(page.Attach(TopLevel(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, { 100, 100, 500, 400 })));
        app.m_pMainWnd = &page;
    }
    void TearDown() override
    {
        calendar.DestroyWindow();
        page.Detach();
        UserTest::TearDown();
        AfxDeleteTempObjects();
    }
    void CreateCalendar(DWORD flags = SECCalendar::DefaultFlags, DWORD style = WS_VISIBLE)
    {
        calendar.SetFlags(flags);
        calendar.SetCurrentMonthStyle(CalendarPanelStyle::CurrentMonth);
        calendar.SetDisplayDate(Day(2024, 4, 15), FALSE);
        calendar.SelectDate(Day(2024, 4, 15), TRUE);
        ASSERT_TRUE(calendar.Create(style, Place, &page, 1000));
        Pump();
        MessageLog::Instance().entries.clear();
    }
    std::vector<Notification> Notifications()
    {
        Pump();
        std::vector<Notification> found;
        for (const LoggedMessage& entry : MessageLog::Instance().entries) {
            if (entry.window != page.m_hWnd || entry.message < WM_CALENDAR_SELECT || entry.message > WM_CALENDAR_DISMISS)
                continue;
            auto* cell = reinterpret_cast<SECDayBox*>(entry.lParam);
            found.push_back({ entry.message, entry.wParam, cell ? cell->GetDayDate() : COleDateTime() });
        }
        MessageLog::Instance().entries.clear();
        return found;
    }
    POINT CellPoint(int index) { return ScreenPoint(calendar.m_hWnd, calendar.GetDayBox(index).GetRect().CenterPoint().x, calendar.GetDayBox(index).GetRect().CenterPoint().y); }
    void ClickCell(int index, int button = 1)
    {
        headless->Advance(GetDoubleClickTime() + 1);  // a separate click, not the second of a double click
        Click(CellPoint(index), button);
    }
    void CtrlKey(unsigned key)
    {
        headless->InjectKey(VK_CONTROL, true);
        Key(key);
        headless->InjectKey(VK_CONTROL, false);
        Pump();
    }
    static int SelectedIndexOf(SECCalendar& shown)
    {
        for (int index = 0; index < SECCalendar::CellCount; ++index)
            if (shown.GetDayBox(index).IsSelected())
                return index;
        return -1;
    }
    int SelectedIndex() { return SelectedIndexOf(calendar); }
    COleDateTime SelectedDay()
    {
        int index = SelectedIndex();
        return index < 0 ? COleDateTime() : calendar.GetDayBox(index).GetDayDate();
    }

    ScopedDateLocale locale { DateLocale::Default() };
    ScopedFixedClock now { UnixSeconds(2024, 4, 15, 12), FixedOffsetZone(120) };
    CWinApp app { L"CalendarTest" };
    CWnd page;
    SECCalendar calendar;
};

TEST_F(CalendarTest, TheGridHoldsSixWeeksFromTheFirstWeekday)
{
    struct Case {
        int firstWeekday;
        COleDateTime shown;
        COleDateTime firstCell;
        int firstInMonth;
    };
    const Case cases[] = {
        { 2, Day(2024, 4, 15), Day(2024, 4, 1), 0 },   // 1 April 2024 is a Monday: it starts the grid
        { 1, Day(2024, 4, 15), Day(2024, 3, 31), 1 },  // weeks from Sunday
        { 2, Day(2024, 9, 30), Day(2024, 8, 26), 6 },  // a month that starts on a Sunday
        { 7, Day(2024, 2, 1), Day(2024, 1, 27), 5 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.firstWeekday);
        calendar.GetDayBar().SetFirstWeekday(c.firstWeekday);
        ASSERT_TRUE(calendar.SetDisplayDate(c.shown, FALSE));
        for (int index = 0; index < SECCalendar::CellCount; ++index) {
            const SECDayBox& cell = calendar.GetDayBox(index);
            ASSERT_TRUE(cell.IsInUse());
            EXPECT_EQ(cell.GetDayDate(), c.firstCell + COleDateTimeSpan(static_cast<double>(index))) << index;
            bool inMonth = cell.GetDayDate().GetMonth() == c.shown.GetMonth();
            EXPECT_EQ(cell.IsOutsideMonth(), !inMonth) << index;
        }
        EXPECT_FALSE(calendar.GetDayBox(c.firstInMonth).IsOutsideMonth());
        EXPECT_EQ(calendar.GetDayBox(c.firstInMonth).GetDayDate().GetDay(), 1);
    }
}

TEST_F(CalendarTest, TheFirstAndLastMonthsShowBlanksBeyondTheRange)
{
    ASSERT_TRUE(calendar.SetDisplayDate(Day(100, 1, 20), FALSE));
    int blanks = (Day(100, 1, 1).GetDayOfWeek() - 2 + 7) % 7;
    for (int index = 0; index < blanks; ++index) {
        EXPECT_FALSE(calendar.GetDayBox(index).IsInUse());
        EXPECT_EQ(Text(calendar.GetDayBox(index).DayText()), L" ");
    }
    EXPECT_EQ(calendar.GetDayBox(blanks).GetDayDate(), Day(100, 1, 1));
    EXPECT_EQ(calendar.GetDayBox(41).GetDayDate(), Day(100, 1, 1) + COleDateTimeSpan(41.0 - blanks));

    ASSERT_TRUE(calendar.SetDisplayDate(Day(9999, 12, 5), FALSE));
    int last = -1;
    for (int index = 0; index < SECCalendar::CellCount; ++index)
        if (calendar.GetDayBox(index).IsInUse())
            last = index;
    ASSERT_GT(last, 29);
    EXPECT_EQ(calendar.GetDayBox(last).GetDayDate(), Day(9999, 12, 31));
    EXPECT_LT(last, 41);
    EXPECT_EQ(calendar.GetDayBox(0).GetDayDate().GetDayOfWeek(), 2);
}

TEST_F(CalendarTest, DatesOutsideTheYearsOneHundredToNineThousandNineHundredNinetyNineAreRefused)
{
    struct Case {
        int year, month, day;
        bool valid;
    };
    const Case cases[] = {
        { 100, 1, 1, true },    { 99, 12, 31, false }, { 9999, 12, 31, true }, { 10000, 1, 1, false },
        { 100, 1, 0, false },   // carried back into December 99
        { 9999, 12, 32, false }, { 9999, 13, 1, false }, { 2000, 0, 5, true }, { -1, -1, -1, false },
        { 2000, 14, 40, true },
    };
    for (const Case& c : cases)
        EXPECT_EQ(calendar.IsValidDate(c.year, c.month, c.day), c.valid) << c.year << "-" << c.month << "-" << c.day;

    CreateCalendar();
    COleDateTime invalid;
    invalid.SetStatus(COleDateTime::invalid);
    EXPECT_FALSE(calendar.SetDisplayDate(invalid));
    EXPECT_FALSE(calendar.SetDisplayDate(Day(99, 12, 31)));
    EXPECT_EQ(calendar.GetDisplayDate(), Day(2024, 4, 15));
    ASSERT_TRUE(calendar.SetDisplayDate(Day(9999, 12, 1)));
    EXPECT_FALSE(calendar.NextMonth(FALSE));
    EXPECT_FALSE(calendar.NextYear(FALSE));
    EXPECT_EQ(calendar.GetDisplayDate(), Day(9999, 12, 1));
    ASSERT_TRUE(calendar.SetDisplayDate(Day(100, 3, 1)));
    EXPECT_FALSE(calendar.PrevYear(FALSE));
    EXPECT_EQ(calendar.GetDisplayDate(), Day(100, 3, 1));
}

TEST_F(CalendarTest, CreateShowsTheMonthWithTodaySelected)
{
    CreateCalendar();
    EXPECT_EQ(Text(calendar.GetTitle().GetText()), L"April 2024");
    EXPECT_EQ(calendar.GetDayBar().WeekdayOfColumn(1), 2);
    EXPECT_EQ(calendar.GetDayBar().WeekdayOfColumn(7), 1);
    EXPECT_EQ(SelectedIndex(), 14);
    EXPECT_EQ(calendar.GetSelectedDayBox(), &calendar.GetDayBox(14));
    EXPECT_EQ(::GetFocus(), calendar.m_hWnd);
    EXPECT_TRUE(Notifications().empty());
}

TEST_F(CalendarTest, AClickSelectsADayAndASecondClickDeselectsIt)
{
    CreateCalendar();
    ClickCell(16);
    EXPECT_EQ(SelectedDay(), Day(2024, 4, 17));
    EXPECT_EQ(Notifications(), (std::vector<Notification> { { WM_CALENDAR_SELECT, TRUE, Day(2024, 4, 17) } }));
    ClickCell(16);
    EXPECT_EQ(SelectedIndex(), -1);
    EXPECT_EQ(calendar.GetSelectedDayBox(), nullptr);
    EXPECT_EQ(Notifications(), (std::vector<Notification> { { WM_CALENDAR_SELECT, FALSE, Day(2024, 4, 17) } }));
    // Enter with nothing selected closes without a pick; a child calendar stays on its page.
    Key(VK_RETURN);
    EXPECT_EQ(Notifications(), (std::vector<Notification> { { WM_CALENDAR_DISMISS, 0, COleDateTime() } }));
    EXPECT_TRUE(calendar.IsWindowVisible());
}

TEST_F(CalendarTest, AClickOnADayOfTheNextMonthTurnsThePage)
{
    CreateCalendar();
    ClickCell(31);  // 2 May
    EXPECT_EQ(calendar.GetDisplayDate(), Day(2024, 5, 2));
    EXPECT_EQ(Text(calendar.GetTitle().GetText()), L"May 2024");
    EXPECT_EQ(SelectedDay(), Day(2024, 5, 2));
    EXPECT_FALSE(calendar.GetDayBox(SelectedIndex()).IsOutsideMonth());
    EXPECT_EQ(Notifications(), (std::vector<Notification> { { WM_CALENDAR_SELECT, TRUE, Day(2024, 5, 2) } }));
}

TEST_F(CalendarTest, KeysMoveTheSelectionAndThePage)
{
    CreateCalendar();
    struct Case {
        unsigned key;
        bool ctrl;
        COleDateTime shown;
        COleDateTime selected;
    };
    // Each step starts where the one before it ended; a month or year move keeps the grid position.
    const Case steps[] = {
        { VK_RIGHT, false, Day(2024, 4, 15), Day(2024, 4, 16) },
        { VK_NUMPAD4, false, Day(2024, 4, 15), Day(2024, 4, 15) },
        { VK_DOWN, false, Day(2024, 4, 15), Day(2024, 4, 22) },
        { VK_DOWN, false, Day(2024, 4, 15), Day(2024, 4, 29) },
        { VK_DOWN, false, Day(2024, 5, 6), Day(2024, 5, 6) },  // into the next month: the page turns
        { VK_UP, false, Day(2024, 4, 29), Day(2024, 4, 29) },
        { VK_HOME, false, Day(2024, 4, 29), Day(2024, 4, 1) },
        { VK_END, false, Day(2024, 4, 29), Day(2024, 4, 30) },  // cell 29
        { VK_NEXT, false, Day(2024, 5, 1), Day(2024, 5, 28) },  // cell 29 of May's grid, from Monday 29 April
        { VK_RIGHT, true, Day(2024, 6, 1), Day(2024, 6, 25) },  // from Monday 27 May
        { VK_PRIOR, true, Day(2023, 6, 1), Day(2023, 6, 27) },  // from Monday 29 May 2023
        { VK_DOWN, true, Day(2024, 6, 1), Day(2024, 6, 25) },
    };
    for (const Case& step : steps) {
        SCOPED_TRACE(step.selected.Format(L"%Y-%m-%d").GetString());
        step.ctrl ? CtrlKey(step.key) : Key(step.key);
        EXPECT_EQ(calendar.GetDisplayDate(), step.shown);
        EXPECT_EQ(SelectedDay(), step.selected);
    }
    Key(VK_RETURN);
    auto last = Notifications();
    ASSERT_FALSE(last.empty());
    EXPECT_EQ(last.back(), (Notification { WM_CALENDAR_PICKED, 0, COleDateTime() }));
    Key(VK_ESCAPE);
    EXPECT_EQ(Notifications(), (std::vector<Notification> { { WM_CALENDAR_DISMISS, 0, COleDateTime() } }));
}

// A move inside the month repaints only the two days whose selection changed; a new month, the whole
// calendar. The calendar is painted over with a marker first: what is not repainted keeps it.
TEST_F(CalendarTest, OnlyTheCellsThatChangeAreRepainted)
{
    CreateCalendar();
    constexpr COLORREF Marker = RGB(255, 0, 255);
    CRect client;
    calendar.GetClientRect(&client);
    auto paintOver = [&] {
        HDC dc = ::GetDC(calendar.m_hWnd);
        HBRUSH brush = ::CreateSolidBrush(Marker);
        ::FillRect(dc, &client, brush);
        ::DeleteObject(brush);
        ::ReleaseDC(calendar.m_hWnd, dc);
    };
    const int from = SelectedIndex();
    ASSERT_GE(from, 0);
    const CRect before = calendar.GetDayBox(from).GetRect();
    const CRect after = calendar.GetDayBox(from + 1).GetRect();
    const CRect elsewhere = calendar.GetDayBox(from + 14).GetRect();
    paintOver();
    Key(VK_RIGHT);
    EXPECT_NE(PixelAt(calendar.m_hWnd, before.CenterPoint().x, before.top + 2), Marker);
    EXPECT_NE(PixelAt(calendar.m_hWnd, after.CenterPoint().x, after.top + 2), Marker);
    EXPECT_EQ(PixelAt(calendar.m_hWnd, elsewhere.CenterPoint().x, elsewhere.top + 2), Marker) << "a day that did not change";

    paintOver();
    CtrlKey(VK_RIGHT); // the next month: every day changes
    EXPECT_NE(PixelAt(calendar.m_hWnd, elsewhere.CenterPoint().x, elsewhere.top + 2), Marker);
}

TEST_F(CalendarTest, OnAPageTheArrowKeysBelongToTheCalendar)
{
    CreateCalendar();
    EXPECT_EQ(::SendMessageW(calendar.m_hWnd, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS);
}

TEST_F(CalendarTest, WithoutKeyboardHandlingKeysAreIgnored)
{
    CreateCalendar(SECCalendar::DefaultFlags & ~SECCalendar::KeyboardOn);
    EXPECT_EQ(::SendMessageW(calendar.m_hWnd, WM_GETDLGCODE, 0, 0), 0);
    Key(VK_RIGHT);
    Key(VK_ESCAPE);
    EXPECT_EQ(SelectedDay(), Day(2024, 4, 15));
    EXPECT_TRUE(Notifications().empty());
}

TEST_F(CalendarTest, MonthAndYearMovesLandOnRealDays)
{
    CreateCalendar();
    ASSERT_TRUE(calendar.SetDisplayDate(Day(2024, 2, 29)));
    EXPECT_TRUE(calendar.NextYear(FALSE));
    EXPECT_EQ(calendar.GetDisplayDate(), Day(2025, 2, 28));
    ASSERT_TRUE(calendar.SetDisplayDate(Day(2024, 1, 31)));
    EXPECT_TRUE(calendar.NextMonth(FALSE));
    EXPECT_EQ(calendar.GetDisplayDate(), Day(2024, 2, 1));
    EXPECT_TRUE(calendar.PrevMonth(FALSE));
    EXPECT_EQ(calendar.GetDisplayDate(), Day(2024, 1, 1));
    EXPECT_TRUE(calendar.PrevMonth(FALSE));
    EXPECT_EQ(calendar.GetDisplayDate(), Day(2023, 12, 1));
}

TEST_F(CalendarTest, TheTitleButtonsTurnMonthsAndYears)
{
    CreateCalendar();
    struct Case {
        UINT id;
        COleDateTime shown;
    };
    const Case presses[] = {
        { ID_CALENDAR_NEXT_MONTH, Day(2024, 5, 1) },
        { ID_CALENDAR_NEXT_YEAR, Day(2025, 5, 1) },
        { ID_CALENDAR_PREV_MONTH, Day(2025, 4, 1) },
        { ID_CALENDAR_PREV_YEAR, Day(2024, 4, 1) },
    };
    for (const Case& press : presses) {
        HWND button = ::GetDlgItem(calendar.m_hWnd, press.id);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(::IsWindowVisible(button));
        RECT r;
        ::GetWindowRect(button, &r);
        headless->Advance(GetDoubleClickTime() + 1);
        Click({ (r.left + r.right) / 2, (r.top + r.bottom) / 2 });
        EXPECT_EQ(calendar.GetDisplayDate(), press.shown) << press.id;
    }
    // The selection kept its grid position (cell 14) through every page.
    EXPECT_EQ(SelectedIndex(), 14);
    EXPECT_EQ(SelectedDay(), Day(2024, 4, 15));
}

TEST_F(CalendarTest, WithoutButtonFlagsTheTitleHasNoButtons)
{
    CreateCalendar(SECCalendar::DefaultFlags & ~(SECCalendar::MonthButtons | SECCalendar::YearButtons));
    EXPECT_FALSE(calendar.GetTitle().HasMonthButtons());
    EXPECT_FALSE(calendar.GetTitle().HasYearButtons());
    EXPECT_EQ(::GetDlgItem(calendar.m_hWnd, ID_CALENDAR_NEXT_MONTH), nullptr);
}

TEST_F(CalendarTest, ARightClickTogglesAMarkAndMarksStayOrdered)
{
    CreateCalendar();
    ClickCell(20, 3);
    EXPECT_TRUE(calendar.GetDayBox(20).IsHighlighted());
    EXPECT_TRUE(calendar.IsHighlightedDate(Day(2024, 4, 21)));
    EXPECT_EQ(Notifications(), (std::vector<Notification> { { WM_CALENDAR_HIGHLIGHT, TRUE, Day(2024, 4, 21) } }));
    ClickCell(20, 3);
    EXPECT_FALSE(calendar.GetDayBox(20).IsHighlighted());
    EXPECT_TRUE(calendar.GetHighlightedDates().empty());
    EXPECT_EQ(Notifications(), (std::vector<Notification> { { WM_CALENDAR_HIGHLIGHT, FALSE, Day(2024, 4, 21) } }));

    for (COleDateTime day : { Day(2024, 5, 3), Day(2023, 1, 1), Day(2024, 5, 3), Day(2024, 4, 2) })
        calendar.HighlightDate(day, TRUE);
    EXPECT_EQ(calendar.GetHighlightedDates(), (std::vector<COleDateTime> { Day(2023, 1, 1), Day(2024, 4, 2), Day(2024, 5, 3) }));
    // A day of the next month shown in the grid takes no mark until the page turns to it.
    EXPECT_FALSE(calendar.GetDayBox(32).IsHighlighted());
    ClickCell(32, 3);  // 3 May: the page turns, and the mark comes off
    EXPECT_EQ(calendar.GetDisplayDate(), Day(2024, 5, 3));
    EXPECT_EQ(calendar.GetHighlightedDates(), (std::vector<COleDateTime> { Day(2023, 1, 1), Day(2024, 4, 2) }));
    EXPECT_EQ(calendar.SetDateColor(Day(2024, 5, 20), RGB(0, 0, 255)), RGB(255, 0, 0));
    EXPECT_EQ(calendar.SetDateColor(Day(2024, 5, 20), RGB(0, 128, 0)), RGB(0, 0, 255));
}

TEST_F(CalendarTest, PressAndDragSelectsTheDayUnderThePointer)
{
    CreateCalendar(SECCalendar::DefaultFlags | SECCalendar::DragSelect | SECCalendar::PickOnDoubleClick);
    headless->Advance(GetDoubleClickTime() + 1);
    headless->InjectMouseMove(CellPoint(8));
    headless->InjectButton(1, true, CellPoint(8));
    Pump();
    EXPECT_EQ(SelectedDay(), Day(2024, 4, 9));
    headless->InjectMouseMove(CellPoint(10));
    Pump();
    EXPECT_EQ(SelectedDay(), Day(2024, 4, 11));
    headless->InjectButton(1, false, CellPoint(10));
    Pump();
    auto notes = Notifications();
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.back(), (Notification { WM_CALENDAR_PICKED, 0, COleDateTime() }));
    EXPECT_EQ(SelectedDay(), Day(2024, 4, 11));
    EXPECT_EQ(::GetCapture(), nullptr);

    // Released outside the calendar: the selection goes back to the day held before the drag.
    headless->Advance(GetDoubleClickTime() + 1);
    headless->InjectMouseMove(CellPoint(3));
    headless->InjectButton(1, true, CellPoint(3));
    Pump();
    EXPECT_EQ(SelectedDay(), Day(2024, 4, 4));
    POINT outside = ScreenPoint(calendar.m_hWnd, Place.Width() + 40, 20);
    headless->InjectMouseMove(outside);
    Pump();
    EXPECT_EQ(SelectedIndex(), -1);
    headless->InjectButton(1, false, outside);
    Pump();
    EXPECT_EQ(SelectedDay(), Day(2024, 4, 11));
}

TEST_F(CalendarTest, ADoubleClickPicksWhenTheFlagSaysSo)
{
    CreateCalendar(SECCalendar::DefaultFlags | SECCalendar::PickOnDoubleClick);
    headless->Advance(GetDoubleClickTime() + 1);
    Click(CellPoint(17));
    Click(CellPoint(17));
    auto notes = Notifications();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], (Notification { WM_CALENDAR_SELECT, TRUE, Day(2024, 4, 18) }));
    EXPECT_EQ(notes[1], (Notification { WM_CALENDAR_PICKED, 0, COleDateTime() }));
    EXPECT_EQ(SelectedDay(), Day(2024, 4, 18));
}

TEST_F(CalendarTest, SelectionPostsPicksWhenEverySelectionPicks)
{
    CreateCalendar(SECCalendar::DefaultFlags | SECCalendar::PickOnSelect);
    EXPECT_TRUE(calendar.SelectDate(Day(2024, 4, 3), TRUE));
    EXPECT_EQ(Notifications(), (std::vector<Notification> { { WM_CALENDAR_SELECT, TRUE, Day(2024, 4, 3) },
                                                             { WM_CALENDAR_PICKED, TRUE, Day(2024, 4, 3) } }));
    COleDateTime invalid;
    invalid.SetStatus(COleDateTime::invalid);
    EXPECT_FALSE(calendar.SelectDate(invalid, TRUE));
    EXPECT_FALSE(calendar.ToggleSelectDate(Day(2030, 1, 1)));  // not on show
    EXPECT_TRUE(Notifications().empty());
}

TEST_F(CalendarTest, AFixedDateRefusesChangesOnceCreated)
{
    CreateCalendar(SECCalendar::DefaultFlags | SECCalendar::FixedDate);
    EXPECT_FALSE(calendar.SetDisplayDate(Day(2024, 6, 1)));
    EXPECT_FALSE(calendar.NextMonth(FALSE));
    EXPECT_EQ(calendar.GetDisplayDate(), Day(2024, 4, 15));
}

TEST_F(CalendarTest, TheBorderSizesOnlyWhenTheFlagSaysSo)
{
    for (DWORD flags : { SECCalendar::DefaultFlags, SECCalendar::DefaultFlags | SECCalendar::SizableBorder }) {
        SECCalendar framed;
        framed.SetFlags(flags);
        ASSERT_TRUE(framed.Create(WS_VISIBLE | WS_THICKFRAME, CRect(240, 10, 390, 150), &page, 1001));
        CRect window;
        framed.GetWindowRect(&window);
        LRESULT hit = ::SendMessageW(framed.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(window.left + 1, window.top + 60));
        EXPECT_EQ(hit, (flags & SECCalendar::SizableBorder) ? HTLEFT : HTCLIENT);
        framed.DestroyWindow();
    }
}

TEST_F(CalendarTest, PaintsTheMonthWithTheSelectionAndAMark)
{
    CreateCalendar();
    calendar.HighlightDate(Day(2024, 4, 25), TRUE);
    Pump();
    // Read through the page's window, which shows the title's buttons too.
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(page.m_hWnd, AreaInWindow(page.m_hWnd, calendar.m_hWnd),
        "calendar-april-2024.png"));
}

} // namespace

namespace {

class PopupCalendarTest : public CalendarTest {
protected:
    void TearDown() override
    {
        popup.DestroyWindow();
        CalendarTest::TearDown();
    }
    // Opens the popup below an anchor on the page, on 15 April 2024 with `selected` selected.
    void Open(std::optional<COleDateTime> selected)
    {
        popup.SetDisplayDate(Day(2024, 4, 15), FALSE);
        popup.SelectDate(selected ? *selected : popup.GetSelectedDate(), selected.has_value());
        anchor = CRect(ScreenPoint(page.m_hWnd, 20, 20), CSize(120, 20));
        ASSERT_TRUE(popup.CreatePopup(WS_VISIBLE | WS_BORDER | SECPopupCalendar::AlignLeft, anchor, &page));
        Pump();
        MessageLog::Instance().entries.clear();
    }
    POINT PopupCellPoint(int index)
    {
        CPoint centre = popup.GetDayBox(index).GetRect().CenterPoint();
        return ScreenPoint(popup.m_hWnd, centre.x, centre.y);
    }

    SECPopupCalendar popup;
    CRect anchor;
};

TEST_F(PopupCalendarTest, OpensBelowTheAnchorSizedToItsContent)
{
    Open(Day(2024, 4, 15));
    EXPECT_TRUE(popup.GetStyle() & WS_POPUP);
    EXPECT_FALSE(popup.GetStyle() & WS_CHILD);
    EXPECT_EQ(::GetFocus(), popup.m_hWnd);
    CRect window;
    popup.GetWindowRect(&window);
    EXPECT_EQ(window.TopLeft(), CPoint(anchor.left, anchor.bottom));
    // Sized to the content its first fonts need; the fonts are then fitted to the panels.
    SECPopupCalendar unopened;
    CRect content(0, 0, 0, 0);
    unopened.ComputeContentSize(content);
    CRect client;
    popup.GetClientRect(&client);
    EXPECT_EQ(client.Size(), content.Size());
    // Every day number fits its cell.
    CClientDC dc(&popup);
    dc.SelectObject(&popup.GetDayFont());
    CSize digits = dc.GetTextExtent(L"88");
    EXPECT_GE(popup.GetDayBox(0).GetRect().Width(), digits.cx);
    EXPECT_GE(popup.GetDayBox(0).GetRect().Height(), digits.cy);
    EXPECT_EQ(SelectedIndexOf(popup), 14);
}

TEST_F(PopupCalendarTest, NearTheWorkAreaEdgesItOpensOnTheOtherSide)
{
    const CRect work(0, 0, 800, 600);
    const CSize size(200, 150);
    struct Case {
        DWORD style;
        CRect anchor;
        CPoint place;
    };
    const Case cases[] = {
        { SECPopupCalendar::AlignLeft, { 100, 100, 220, 120 }, { 100, 120 } },
        { SECPopupCalendar::AlignLeft, { 650, 100, 770, 120 }, { 570, 120 } },  // right edge: flush with the anchor's right
        { SECPopupCalendar::AlignLeft, { 100, 500, 220, 520 }, { 100, 350 } },  // bottom edge: above the anchor
        { 0, { 100, 100, 220, 120 }, { 220, 120 } },
        { 0, { 500, 440, 620, 460 }, { 300, 290 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(SECPopupCalendar::PlaceBeside(c.style, c.anchor, size, work), c.place) << c.anchor.left << "," << c.anchor.top;
}

TEST_F(PopupCalendarTest, LosingTheActivationPicksTheSelectedDayOrDismisses)
{
    struct Case {
        std::optional<COleDateTime> selected;
        UINT message;
    };
    for (const Case& c : { Case { Day(2024, 4, 15), WM_CALENDAR_PICKED }, Case { std::nullopt, WM_CALENDAR_DISMISS } }) {
        Open(c.selected);
        ::SetActiveWindow(page.m_hWnd);
        auto notes = Notifications();
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_EQ(notes[0].message, c.message);
        EXPECT_FALSE(popup.IsWindowVisible());
    }
}

TEST_F(PopupCalendarTest, ADoubleClickPicksAndEscapeDismisses)
{
    Open(std::nullopt);
    headless->Advance(GetDoubleClickTime() + 1);
    Click(PopupCellPoint(9));
    Click(PopupCellPoint(9));
    auto notes = Notifications();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0], (Notification { WM_CALENDAR_SELECT, TRUE, Day(2024, 4, 10) }));
    EXPECT_EQ(notes[1].message, WM_CALENDAR_PICKED);
    EXPECT_FALSE(popup.IsWindowVisible());

    Open(std::nullopt);
    Key(VK_ESCAPE);
    EXPECT_EQ(Notifications(), (std::vector<Notification> { { WM_CALENDAR_DISMISS, 0, COleDateTime() } }));
    EXPECT_FALSE(popup.IsWindowVisible());
}

TEST_F(PopupCalendarTest, PaintsTheDropDown)
{
    Open(Day(2024, 4, 15));
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(popup.m_hWnd, AreaInWindow(popup.m_hWnd, popup.m_hWnd),
        "calendar-popup-april-2024.png"));
}

} // namespace
