#include "datecore/DateValue.h"
#include "platform/base/SystemTime.h"

#include <gtest/gtest.h>

namespace {

std::int32_t DayNumber(int year, int month, int day)
{
    std::int32_t n = kInvalidDayNumber;
    EXPECT_TRUE(DayNumberFromDate(year, static_cast<std::uint16_t>(month), static_cast<std::uint16_t>(day), n));
    return n;
}

TEST(DateValue, EpochIsFridayFifteenthOctober1582)
{
    CDateValue epoch(1582, 10, 15);
    EXPECT_EQ(epoch.GetDayNumber(), 0);
    EXPECT_EQ(epoch.GetDayOfWeek(), 6);
    CalendarDate before = DateFromDayNumber(-1);
    EXPECT_EQ(before.year, 1582);
    EXPECT_EQ(before.month, 10);
    EXPECT_EQ(before.day, 14);
    EXPECT_EQ(before.weekday, 5);  // Thursday
}

TEST(DateValue, KnownDayNumbers)
{
    // The epochs the calendar answers print.
    EXPECT_EQ(DayNumber(1858, 11, 17), 100840);
    EXPECT_EQ(DayNumber(1900, 1, 1), 115860);
    EXPECT_EQ(DayNumber(1950, 1, 1), 134122);
    EXPECT_EQ(DayNumber(1970, 1, 1), 141427);
    EXPECT_EQ(DayNumber(2000, 1, 1), 152384);
    EXPECT_EQ(CDateValue(2000, 1, 1).GetDayOfWeek(), 7);  // Saturday
    EXPECT_EQ(CDateValue(2026, 12, 9).GetDayOfWeek(), 4); // Wednesday
}

TEST(DateValue, LeapYearsAndMonthLengths)
{
    EXPECT_FALSE(CDateValue(1900, 2, 29).IsValid());
    EXPECT_TRUE(CDateValue(2000, 2, 29).IsValid());
    EXPECT_TRUE(IsLeapYear(0));
    EXPECT_TRUE(IsLeapYear(-4));
    EXPECT_FALSE(IsLeapYear(-100));
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 2), 28);
    EXPECT_EQ(DaysInYear(2100), 365);
    EXPECT_FALSE(CDateValue(2001, 13, 1).IsValid());
    EXPECT_FALSE(CDateValue(2001, 4, 31).IsValid());
}

TEST(DateValue, DayZeroIsTheDayBeforeTheFirst)
{
    EXPECT_EQ(DayNumber(2001, 3, 0), DayNumber(2001, 2, 28));
}

TEST(DateValue, DayOfYear)
{
    EXPECT_EQ(DayOfYear(2001, 3, 1), 60);
    EXPECT_EQ(DayOfYear(2000, 3, 1), 61);
    EXPECT_EQ(DayOfYear(2000, 12, 31), 366);
    EXPECT_EQ(CDateValue(2023, 12, 31).GetDayOfYear(), 365);
}

TEST(DateValue, CenturyBoundaryLandsOnFirstJanuary)
{
    // 36524 days after 1 January of year 1 is 1 January 101.
    CalendarDate date = DateFromDayNumber(36524 - kDaysFromYearOneToEpoch);
    EXPECT_EQ(date.year, 101);
    EXPECT_EQ(date.month, 1);
    EXPECT_EQ(date.day, 1);
    EXPECT_EQ(date.dayOfYear, 1);
}

// Walks every day from first to last, checking both directions against a counted calendar.
void ExpectEveryDayRoundTrips(int firstYear, int lastYear)
{
    std::int32_t first = DayNumber(firstYear, 1, 1);
    std::int32_t last = DayNumber(lastYear, 12, 31);
    int year = firstYear, month = 1, day = 1;
    for (std::int32_t n = first; n <= last; ++n) {
        CalendarDate date = DateFromDayNumber(n);
        ASSERT_EQ(date.year, year) << n;
        ASSERT_EQ(date.month, month) << n;
        ASSERT_EQ(date.day, day) << n;
        ASSERT_EQ(date.dayOfYear, DayOfYear(year, month, day));
        if (++day > DaysInMonth(year, static_cast<std::uint16_t>(month))) {
            day = 1;
            if (++month > 12) month = 1, ++year;
        }
    }
}

TEST(DateValue, RoundTripOverManyCenturies)
{
    // One whole 400-year cycle holds every kind of year; the second run crosses year 0 into
    // negative cycles.
    ExpectEveryDayRoundTrips(1601, 2000);
    ExpectEveryDayRoundTrips(-401, 1);
    // Beyond those, the first of every month from -1200 to 3000.
    for (int year = -1200; year <= 3000; ++year) {
        for (std::uint16_t month = 1; month <= 12; ++month) {
            CalendarDate date = DateFromDayNumber(DayNumber(year, month, 1));
            ASSERT_EQ(date.year * 100 + date.month, year * 100 + month);
            ASSERT_EQ(date.day, 1);
        }
    }
}

TEST(DateValue, ExtremeDayNumbersStayExact)
{
    for (std::int32_t n : {kLargestDayNumber, INT32_MAX, INT32_MIN + 1, -kDaysFromYearOneToEpoch}) {
        CalendarDate date = DateFromDayNumber(n);
        std::int32_t back = kInvalidDayNumber;
        ASSERT_TRUE(DayNumberFromDate(date.year, date.month, date.day, back)) << n;
        EXPECT_EQ(back, n);
    }
    std::int32_t n;
    EXPECT_FALSE(DayNumberFromDate(INT32_MAX, 12, 31, n));  // does not fit 32 bits
}

TEST(DateValue, AddWeeksKeepsToTheLimits)
{
    CDateValue invalid;
    invalid.AddWeeks(1);
    EXPECT_FALSE(invalid.IsValid());

    CDateValue date(2000, 1, 1);
    date.AddWeeks(2);
    EXPECT_EQ(date, CDateValue(2000, 1, 15));
    date.AddWeeks(-3);
    EXPECT_EQ(date, CDateValue(1999, 12, 25));

    CDateValue top = CDateValue::FromDayNumber(kLargestDayNumber - 7);
    top.AddWeeks(1);
    EXPECT_EQ(top.GetDayNumber(), kLargestDayNumber);
    top.AddWeeks(1);
    EXPECT_FALSE(top.IsValid());

    CDateValue bottom = CDateValue::FromDayNumber(INT32_MIN + 3);
    bottom.AddWeeks(-1);
    EXPECT_FALSE(bottom.IsValid());
    CDateValue far(2000, 1, 1);
    far.AddWeeks(INT32_MAX);
    EXPECT_FALSE(far.IsValid());
}

TEST(DateValue, SpansInSeconds)
{
    EXPECT_EQ(SpanToSeconds(10, 0, 0, 0), 864000);
    EXPECT_EQ(SpanToSeconds(1, 2, 3, 4), 93784);
    EXPECT_EQ(SpanToSeconds(-1, 2, 0, 0), -93600);
    EXPECT_EQ(SpanHours(-93600), 2);
    EXPECT_EQ(SpanHours(93784), 2);
    EXPECT_EQ(SpanMinutes(93784), 3);
    EXPECT_EQ(SpanSeconds(-93784), 4);
    EXPECT_EQ(SpanToSeconds(INT32_MIN, 65535, 65535, 65535), -185542587187200LL - 65535LL * 3600 - 65535LL * 60 - 65535);
}

TEST(DateValue, SystemTime)
{
    SYSTEMTIME time;
    ASSERT_TRUE(CDateValue(2000, 1, 1).GetAsSystemTime(time));
    EXPECT_EQ(time.wYear, 2000);
    EXPECT_EQ(time.wMonth, 1);
    EXPECT_EQ(time.wDay, 1);
    EXPECT_EQ(time.wDayOfWeek, 6);
    EXPECT_EQ(time.wHour, 0);
    EXPECT_FALSE(CDateValue().GetAsSystemTime(time));
    EXPECT_FALSE(CDateValue(65536, 1, 1).GetAsSystemTime(time));
    EXPECT_FALSE(CDateValue(-1, 1, 1).GetAsSystemTime(time));  // a WORD year cannot hold it
}

TEST(DateValue, ParseDateText)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* descriptor;
        CDateValue expected;
    } cases[] = {
        {L"7.3.04", L"dmy2.", CDateValue(2004, 3, 7)},
        {L"7.3.75", L"dmy2.", CDateValue(1975, 3, 7)},
        {L"7.3.04", L"dmy4.", CDateValue(4, 3, 7)},
        {L"24.01.1992", L"dmy4.", CDateValue(1992, 1, 24)},
        {L"01/24/1992", L"mdy4/", CDateValue(1992, 1, 24)},
        {L"1992-01-24", L"ymd4-", CDateValue(1992, 1, 24)},
        {L"31.2.2001", L"dmy4.", CDateValue()},
        {L"15", L"dmy4.", CDateValue(0, 1, 15)},      // missing month and year
        {L"24.01.1992", L"dmy4", CDateValue()},       // descriptor too short
        {L"24.01.1992", L"dmq4.", CDateValue()},      // unknown order letter
        {L"99999.1.2000", L"dmy4.", CDateValue()},
        {L"", L"dmy4.", CDateValue(0, 1, 0)},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseDateText(c.text, c.descriptor), c.expected) << c.text << " " << c.descriptor;
}

TEST(DateValue, ReadLeadingInteger)
{
    EXPECT_EQ(ReadLeadingInteger(L"-12ab"), -12);
    EXPECT_EQ(ReadLeadingInteger(L"+7"), 7);
    EXPECT_EQ(ReadLeadingInteger(L"x1"), 0);
    EXPECT_EQ(ReadLeadingInteger(L"99999999999"), INT32_MAX);
    bool overflow = false;
    EXPECT_EQ(ReadLeadingInteger64(L"-9223372036854775808", &overflow), INT64_MIN);
    EXPECT_FALSE(overflow);
    EXPECT_EQ(ReadLeadingInteger64(L"9223372036854775808", &overflow), INT64_MAX);
    EXPECT_TRUE(overflow);
}

}
