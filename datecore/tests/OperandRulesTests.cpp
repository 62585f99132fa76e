#include "datecore/JulianDay.h"

#include <gtest/gtest.h>

namespace {

using J = CJulianDay;

double At(const wchar_t* date, const wchar_t* time) { return J::DateTimeToJulianDay(date, time); }

TEST(OperandRules, CombineOperands)
{
    struct Case {
        const wchar_t* date;
        const wchar_t* time;
        const wchar_t* operand;
        bool plus;
        double expected;
    } cases[] = {
        {L"1.1.2000", L"12:00:00", L"10d", true, 2451555.0},
        {L"1.1.2000", L"10:00:00", L"1d12h", false, At(L"30.12.1999", L"22:00:00")},
        {L"1.1.2000", L"12:00:00", L"5W", true, 2451545.0 + 35},
        {L"1.1.2000", L"12:00:00", L"5W", false, 2451545.0 - 35},
        {L"1.1.2000", L"12:00:00", L"5w", true, -1.0},
        {L"31.1.2001", L"12:00:00", L"1M", true, At(L"28.2.2001", L"12:00:00")},
        {L"15.1.2001", L"12:00:00", L"1M", false, At(L"15.12.2000", L"12:00:00")},
        {L"15.6.2000", L"06:00:00", L"2Y", false, At(L"15.6.1998", L"06:00:00")},
        {L"1.1.2000", L"12:00:00", L"1.1.2001", true, 366.0},
        {L"1.1.2001", L"12:00:00", L"1.1.2000", true, 366.0},
        {L"1.1.2000", L"12:00:00", L"18:00:00", false, 0.25},
        {L"1.1.2000", L"12:00:00", L"12:30m", true, -1.0},
        {L"1.1.2000", L"12:00:00", L"abc", true, -1.0},
        // Across the calendar reform: 4 October 1582 is followed by the 15th.
        {L"4.10.1582", L"12:00:00", L"1d", true, At(L"15.10.1582", L"12:00:00")},
        // Whole seconds: eight hours plus sixteen is midnight, not 24:00:00 of the same day.
        {L"1.1.2000", L"08:00:00", L"16h", true, At(L"2.1.2000", L"00:00:00")},
        {L"1.1.2000", L"00:00:01", L"1s", false, At(L"1.1.2000", L"00:00:00")},
        {L"1.1.2000", L"00:00:00", L"1s", false, At(L"31.12.1999", L"23:59:59")},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(J::CombineOperands(c.date, c.time, c.operand, c.plus, false), c.expected)
            << CString(c.date).ToUtf8() << " " << CString(c.operand).ToUtf8() << (c.plus ? " +" : " -");
}

TEST(OperandRules, UnreadableStartIsNoResult)
{
    // A reference date or time that cannot be read gives no date, never one near Julian day 0.
    EXPECT_EQ(J::CombineOperands(L"31.2.2001", L"12:00:00", L"10d", true, false), -1.0);
    EXPECT_EQ(J::CombineOperands(L"", L"12:00:00", L"5W", true, false), -1.0);
    EXPECT_EQ(J::CombineOperands(L"1.1.2000", L"noon", L"10d", true, false), -1.0);
    EXPECT_EQ(J::CombineOperands(L"x", L"12:00:00", L"1.1.2001", true, false), -1.0);
    EXPECT_EQ(J::CombineOperands(L"1.1.2000", L"x", L"18:00:00", true, false), -1.0);
    // 29 February moved to a common year cannot be formed.
    EXPECT_LT(J::CombineOperands(L"29.2.2000", L"12:00:00", L"1Y", true, false), 0.0);
}

TEST(OperandRules, SpansBeyondEveryDateGiveNoResult)
{
    CString huge;
    for (int i = 0; i < 400; ++i) huge += L"2147483647d";
    EXPECT_EQ(J::CombineOperands(L"1.1.2000", L"12:00:00", huge, true, false), -1.0);
    EXPECT_LT(J::CombineOperands(L"1.1.2000", L"12:00:00", L"2147483647W", false, false), 0.0);
}

TEST(OperandRules, MonthFirstDates)
{
    EXPECT_DOUBLE_EQ(J::CombineOperands(L"01.31.2001", L"12:00:00", L"1M", true, true), At(L"28.2.2001", L"12:00:00"));
    EXPECT_DOUBLE_EQ(J::CombineOperands(L"1.5.2000", L"12:00:00", L"1d", true, true), At(L"6.1.2000", L"12:00:00"));
    EXPECT_DOUBLE_EQ(J::CombineOperands(L"12.24.2000", L"12:00:00", L"1.1.2001", true, true), 8.0);
}

TEST(OperandRules, Readers)
{
    EXPECT_DOUBLE_EQ(J::ParseSpan(L"1d12h"), 1.5);
    EXPECT_DOUBLE_EQ(J::ParseSpan(L"1.5d"), 1.0);  // only the whole part counts
    EXPECT_DOUBLE_EQ(J::ParseSpan(L"30m30s"), (30 * 60 + 30) / 86400.0);
    EXPECT_EQ(J::ParseSpan(L"12:30m"), -1.0);
    EXPECT_EQ(J::ParseSpan(L"10"), -1.0);
    EXPECT_EQ(J::ParseWeeks(L"5W"), 5);
    EXPECT_EQ(J::ParseWeeks(L"1.5W"), 1);
    EXPECT_EQ(J::ParseWeeks(L"5d"), -1);
    EXPECT_EQ(J::ParseYears(L"3Y", L"1.1.2000"), 3);
    EXPECT_EQ(J::ParseYears(L"3Y", L"1.13.2000"), -1);
    EXPECT_EQ(J::ParseMonths(L"3M", L"1.1.2000"), 3);
    EXPECT_EQ(J::ParseMonths(L"3m", L"1.1.2000"), -1);
}

TEST(OperandRules, MovingByYearsAndMonths)
{
    struct Case {
        const wchar_t* date;
        int months;
        const wchar_t* expected;
    } cases[] = {
        {L"31.1.2001", 1, L"28.02.2001"},
        {L"31.1.2000", 1, L"29.02.2000"},
        {L"15.1.2001", -1, L"15.12.2000"},
        {L"15.12.2000", 1, L"15.01.2001"},
        {L"15.12.2000", 12, L"15.12.2001"},
        {L"15.6.2000", -18, L"15.12.1998"},
        {L"15.6.2000", 24, L"15.06.2002"},
    };
    for (const Case& c : cases) {
        CString date = c.date;
        J::AddMonths(date, c.months);
        EXPECT_EQ(date.str(), c.expected) << CString(c.date).ToUtf8() << " " << c.months;
    }
    CString date = L"29.2.2000";
    J::AddYears(date, 4);
    EXPECT_EQ(date.str(), L"29.02.2004");
    J::AddYears(date, 1);
    EXPECT_EQ(date.str(), L"");
    date = L"1.1.2000";
    J::AddYears(date, 2147483647);
    EXPECT_EQ(date.str(), L"");
}

TEST(OperandRules, SwapDayMonth)
{
    CString date = L"12.24.2000";
    EXPECT_TRUE(J::SwapDayMonth(date));
    EXPECT_EQ(date.str(), L"24.12.2000");
    date = L"1.5.2000";
    EXPECT_TRUE(J::SwapDayMonth(date));
    EXPECT_EQ(date.str(), L"5.1.2000");
    date = L"24.12.2000";
    EXPECT_FALSE(J::SwapDayMonth(date));
    date = L"2000";
    EXPECT_FALSE(J::SwapDayMonth(date));
    EXPECT_EQ(date.str(), L"2000");
}

}
