#include "commandbars/MonthGrid.h"

#include <gtest/gtest.h>

namespace {

COleDateTime Day(int year, int month, int day) { return COleDateTime(year, month, day, 0, 0, 0); }

int FirstUsed(const MonthGrid& grid)
{
    int index = 0;
    while (index < MonthGrid::CellCount && !grid[index].inUse)
        ++index;
    return index;
}

int LastUsed(const MonthGrid& grid)
{
    int index = MonthGrid::CellCount - 1;
    while (index >= 0 && !grid[index].inUse)
        --index;
    return index;
}

TEST(MonthGrid, SixWeeksShowTheMonthFromTheFirstWeekday)
{
    struct Case {
        COleDateTime shown;
        int firstWeekday; // 1 Sunday .. 7 Saturday
        COleDateTime firstCell;
        int firstOfMonthAt;
        int daysInMonth;
    };
    const Case cases[] = {
        { Day(2024, 4, 15), 2, Day(2024, 4, 1), 0, 30 },   // April 2024 starts on the Monday it shows first
        { Day(2024, 4, 15), 1, Day(2024, 3, 31), 1, 30 },  // from Sunday, the last day of March comes first
        { Day(2024, 2, 29), 2, Day(2024, 1, 29), 3, 29 },  // a leap February, from Monday
        { Day(2023, 12, 31), 7, Day(2023, 11, 25), 6, 31 }, // Saturday first: December 1 is a Friday
    };
    for (const Case& c : cases) {
        const MonthGrid grid(c.shown, c.firstWeekday);
        EXPECT_EQ(grid[0].date, c.firstCell) << c.shown.GetMonth() << "/" << c.firstWeekday;
        EXPECT_EQ(grid[0].date.GetDayOfWeek(), c.firstWeekday);
        EXPECT_EQ(grid[c.firstOfMonthAt].date.GetDay(), 1);
        int inMonth = 0;
        for (int i = 0; i < MonthGrid::CellCount; ++i) {
            ASSERT_TRUE(grid[i].inUse);
            if (i > 0) {
                EXPECT_EQ(grid[i].date - grid[i - 1].date, COleDateTimeSpan(1.0)) << "consecutive days";
            }
            EXPECT_EQ(grid[i].inMonth, grid[i].date.GetMonth() == c.shown.GetMonth()) << i;
            inMonth += grid[i].inMonth;
        }
        EXPECT_EQ(inMonth, c.daysInMonth);
    }
}

TEST(MonthGrid, TheEndsOfTheDatesLeaveBlankCells)
{
    for (int firstWeekday = 1; firstWeekday <= 7; ++firstWeekday) {
        const MonthGrid first(Day(100, 1, 20), firstWeekday);
        const int blanks = FirstUsed(first);
        EXPECT_EQ(first[blanks].date, Day(100, 1, 1));
        EXPECT_EQ(blanks, ((Day(100, 1, 1).GetDayOfWeek() - firstWeekday) % 7 + 7) % 7);
        EXPECT_EQ(LastUsed(first), MonthGrid::CellCount - 1);

        const MonthGrid last(Day(9999, 12, 5), firstWeekday);
        EXPECT_EQ(FirstUsed(last), 0);
        EXPECT_EQ(last[LastUsed(last)].date, Day(9999, 12, 31)) << "nothing after the last date";
        EXPECT_LT(LastUsed(last), MonthGrid::CellCount - 1);
    }
}

TEST(MonthGrid, MonthAndYearMovesLandOnTheirDays)
{
    struct MonthCase {
        COleDateTime from, next, previous;
    };
    const MonthCase months[] = {
        { Day(2024, 1, 31), Day(2024, 2, 1), Day(2023, 12, 1) },
        { Day(2023, 12, 15), Day(2024, 1, 1), Day(2023, 11, 1) },
        { Day(2024, 3, 10), Day(2024, 4, 1), Day(2024, 2, 1) },
    };
    for (const MonthCase& c : months) {
        EXPECT_EQ(MonthGrid::NextMonthStart(c.from), c.next);
        EXPECT_EQ(MonthGrid::PrevMonthStart(c.from), c.previous);
    }
    EXPECT_NE(MonthGrid::NextMonthStart(Day(9999, 12, 3)).GetStatus(), COleDateTime::valid);
    EXPECT_NE(MonthGrid::PrevMonthStart(Day(100, 1, 3)).GetStatus(), COleDateTime::valid);

    EXPECT_EQ(MonthGrid::SameDayInYear(Day(2024, 2, 29), 1), Day(2025, 2, 28)) << "no 29 February next year";
    EXPECT_EQ(MonthGrid::SameDayInYear(Day(2024, 2, 29), -1), Day(2023, 2, 28));
    EXPECT_EQ(MonthGrid::SameDayInYear(Day(2023, 7, 14), 1), Day(2024, 7, 14));
    EXPECT_FALSE(MonthGrid::SameDayInYear(Day(100, 6, 1), -1)) << "the year 99 is out of range";
    const std::optional<COleDateTime> past = MonthGrid::SameDayInYear(Day(9999, 6, 1), 1);
    ASSERT_TRUE(past);
    EXPECT_NE(past->GetStatus(), COleDateTime::valid);
}

TEST(MonthGrid, MovesAreJudgedByYearsAndMonthsOfFixedLength)
{
    struct Case {
        COleDateTime from;
        double days;
        int daysPerMonth;
        bool valid;
    };
    const Case cases[] = {
        { Day(9999, 12, 1), 30, 31, true },    // day 31 of December
        { Day(9999, 12, 1), 31, 31, false },   // a month of 31 days: the month 13 carries into the year 10000
        { Day(9999, 11, 1), 31, 28, true },    // a month of 28 days and 3 days
        { Day(100, 1, 15), -14, 28, true },
        { Day(100, 1, 15), -15, 28, false },   // day 0 borrows from December 99
        { Day(2000, 6, 1), 365.0 * 7999, 31, true },
        { Day(2000, 6, 1), 365.0 * 8000, 31, false },
        { Day(2000, 6, 1), 365.0 * 200000, 31, false }, // past any year the check considers
    };
    for (const Case& c : cases)
        EXPECT_EQ(MonthGrid::IsValidDateAfter(c.from, COleDateTimeSpan(c.days), c.daysPerMonth), c.valid)
            << c.from.GetYear() << "-" << c.from.GetMonth() << "-" << c.from.GetDay() << " + " << c.days << " / " << c.daysPerMonth;
}

} // namespace
