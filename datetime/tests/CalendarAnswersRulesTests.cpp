#include "datetime/CalendarAnswersRules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct YearDate {
    int year, month, day;
};

CDateValue DateOf(const YearDate& date)
{
    return CDateValue(date.year, static_cast<std::uint16_t>(date.month), static_cast<std::uint16_t>(date.day));
}

std::string Text(CDateValue value)
{
    if (!value.IsValid())
        return "invalid";
    CalendarDate date = value.GetCalendarDate();
    return std::to_string(date.year) + "-" + std::to_string(date.month) + "-" + std::to_string(date.day);
}

std::string Text(const YearDate& date) { return Text(DateOf(date)); }

// Easter Sunday as the churches' calendars and almanacs publish it, including the earliest
// (22 March) and latest (25 April) dates the Gregorian rule allows.
constexpr YearDate PublishedEasterSundays[] = {
    { 1583, 4, 10 }, { 1600, 4, 2 },  { 1700, 4, 11 }, { 1800, 4, 13 }, { 1818, 3, 22 }, { 1886, 4, 25 },
    { 1900, 4, 15 }, { 1913, 3, 23 }, { 1943, 4, 25 }, { 1954, 4, 18 }, { 1961, 4, 2 },  { 1970, 3, 29 },
    { 1980, 4, 6 },  { 1981, 4, 19 }, { 1985, 4, 7 },  { 1990, 4, 15 }, { 1995, 4, 16 }, { 1999, 4, 4 },
    { 2000, 4, 23 }, { 2001, 4, 15 }, { 2002, 3, 31 }, { 2003, 4, 20 }, { 2004, 4, 11 }, { 2005, 3, 27 },
    { 2006, 4, 16 }, { 2007, 4, 8 },  { 2008, 3, 23 }, { 2009, 4, 12 }, { 2010, 4, 4 },  { 2011, 4, 24 },
    { 2012, 4, 8 },  { 2013, 3, 31 }, { 2014, 4, 20 }, { 2015, 4, 5 },  { 2016, 3, 27 }, { 2017, 4, 16 },
    { 2018, 4, 1 },  { 2019, 4, 21 }, { 2020, 4, 12 }, { 2021, 4, 4 },  { 2022, 4, 17 }, { 2023, 4, 9 },
    { 2024, 3, 31 }, { 2025, 4, 20 }, { 2026, 4, 5 },  { 2027, 3, 28 }, { 2028, 4, 16 }, { 2029, 4, 1 },
    { 2030, 4, 21 }, { 2038, 4, 25 }, { 2285, 3, 22 }, { 4099, 4, 19 },
};

TEST(CalendarEaster, MatchesPublishedDates)
{
    for (const YearDate& published : PublishedEasterSundays) {
        int month = 0, day = 0;
        EasterDate(published.year, month, day);
        EXPECT_EQ(month, published.month) << published.year;
        EXPECT_EQ(day, published.day) << published.year;
        EXPECT_EQ(EasterSunday(published.year), DateOf(published)) << published.year;
    }
}

TEST(CalendarEaster, IsASundayBetween22MarchAnd25AprilInEveryGregorianYear)
{
    for (int year = 1583; year <= 4099; ++year) {
        CDateValue easter = EasterSunday(year);
        ASSERT_TRUE(easter.IsValid()) << year;
        EXPECT_EQ(easter.GetDayOfWeek(), Weekday::Sunday) << year;
        EXPECT_GE(easter, CDateValue(year, 3, 22)) << year;
        EXPECT_LE(easter, CDateValue(year, 4, 25)) << year;
    }
}

TEST(CalendarEaster, YearsBeforeYearZeroFollowTheSameCycle)
{
    // The Gregorian Easter cycle is 5,700,000 years long.
    int month1, day1, month2, day2;
    EasterDate(-3, month1, day1);
    EasterDate(-3 + 5700000, month2, day2);
    EXPECT_EQ(month1, month2);
    EXPECT_EQ(day1, day2);
    EXPECT_EQ(EasterSunday(-3).GetDayOfWeek(), Weekday::Sunday);
}

TEST(CalendarEaster, FeastsThatHangOnIt)
{
    struct Case {
        int offset;
        YearDate expected;
    };
    // 2008: Easter on 23 March; 2025: on 20 April.
    const Case cases[] = {
        { -47, { 2008, 2, 5 } },  // Shrove Tuesday
        { -46, { 2008, 2, 6 } },  // Ash Wednesday
        { -7, { 2008, 3, 16 } },  // Palm Sunday
        { -3, { 2008, 3, 20 } },  // Maundy Thursday
        { -2, { 2008, 3, 21 } },  // Good Friday
        { 39, { 2008, 5, 1 } },   // Ascension
        { 49, { 2008, 5, 11 } },  // Pentecost
        { -46, { 2025, 3, 5 } },
        { 39, { 2025, 5, 29 } },
        { 49, { 2025, 6, 8 } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Text(EasterOffset(c.expected.year, c.offset)), Text(c.expected)) << c.offset;

    // The day-number range ends on 11 July 5879611: later dates cannot be formed.
    EXPECT_TRUE(EasterOffset(5879611, 49).IsValid());
    EXPECT_FALSE(EasterSunday(5879612).IsValid());
    EXPECT_FALSE(EasterOffset(5879612, -47).IsValid());
    EXPECT_FALSE(ThanksgivingDay(5879611).IsValid());
    EXPECT_FALSE(MemorialDay(5879612).IsValid());
}

TEST(CalendarNthWeekday, CountsFromTheFirstAndTakesTheLastForFive)
{
    EXPECT_EQ(Text(NthWeekdayOfMonth(2024, 1, 1, Weekday::Monday)), "2024-1-1");
    EXPECT_EQ(Text(NthWeekdayOfMonth(2024, 1, 4, Weekday::Sunday)), "2024-1-28");
    EXPECT_EQ(Text(NthWeekdayOfMonth(2024, 2, 5, Weekday::Thursday)), "2024-2-29");
    EXPECT_EQ(Text(NthWeekdayOfMonth(2024, 12, 5, Weekday::Tuesday)), "2024-12-31");
    EXPECT_EQ(Text(NthWeekdayOfMonth(2025, 12, 5, Weekday::Wednesday)), "2025-12-31");
    EXPECT_FALSE(NthWeekdayOfMonth(2024, 1, 0, Weekday::Monday).IsValid());
    EXPECT_FALSE(NthWeekdayOfMonth(2024, 1, 6, Weekday::Monday).IsValid());
    EXPECT_FALSE(NthWeekdayOfMonth(2024, 1, 1, 0).IsValid());
    EXPECT_FALSE(NthWeekdayOfMonth(2024, 1, 1, 8).IsValid());
    EXPECT_FALSE(NthWeekdayOfMonth(2024, 0, 1, Weekday::Monday).IsValid());
    EXPECT_FALSE(NthWeekdayOfMonth(2024, 13, 5, Weekday::Monday).IsValid());
}

TEST(CalendarHolidays, UnitedStatesFederalCalendars)
{
    struct Year {
        int year;
        YearDate king, presidents, armedForces, memorial, labor, columbus, election, veterans, thanksgiving;
    };
    const Year years[] = {
        { 2008, { 2008, 1, 21 }, { 2008, 2, 18 }, { 2008, 5, 17 }, { 2008, 5, 26 }, { 2008, 9, 1 },
          { 2008, 10, 13 }, { 2008, 11, 4 }, { 2008, 11, 11 }, { 2008, 11, 27 } },
        { 2023, { 2023, 1, 16 }, { 2023, 2, 20 }, { 2023, 5, 20 }, { 2023, 5, 29 }, { 2023, 9, 4 },
          { 2023, 10, 9 }, { 2023, 11, 7 }, { 2023, 11, 11 }, { 2023, 11, 23 } },
        { 2024, { 2024, 1, 15 }, { 2024, 2, 19 }, { 2024, 5, 18 }, { 2024, 5, 27 }, { 2024, 9, 2 },
          { 2024, 10, 14 }, { 2024, 11, 5 }, { 2024, 11, 11 }, { 2024, 11, 28 } },
        { 2025, { 2025, 1, 20 }, { 2025, 2, 17 }, { 2025, 5, 17 }, { 2025, 5, 26 }, { 2025, 9, 1 },
          { 2025, 10, 13 }, { 2025, 11, 4 }, { 2025, 11, 11 }, { 2025, 11, 27 } },
        { 2026, { 2026, 1, 19 }, { 2026, 2, 16 }, { 2026, 5, 16 }, { 2026, 5, 25 }, { 2026, 9, 7 },
          { 2026, 10, 12 }, { 2026, 11, 3 }, { 2026, 11, 11 }, { 2026, 11, 26 } },
        // Before the Monday holiday law took effect, and the years of Veterans Day in October.
        { 1970, { 1970, 1, 19 }, { 1970, 2, 22 }, { 1970, 5, 16 }, { 1970, 5, 30 }, { 1970, 9, 7 },
          { 1970, 10, 12 }, { 1970, 11, 3 }, { 1970, 11, 11 }, { 1970, 11, 26 } },
        { 1975, { 1975, 1, 20 }, { 1975, 2, 17 }, { 1975, 5, 17 }, { 1975, 5, 26 }, { 1975, 9, 1 },
          { 1975, 10, 13 }, { 1975, 11, 4 }, { 1975, 10, 27 }, { 1975, 11, 27 } },
    };
    for (const Year& y : years) {
        SCOPED_TRACE(y.year);
        EXPECT_EQ(Text(MartinLutherKingDay(y.year)), Text(y.king));
        EXPECT_EQ(Text(PresidentsDay(y.year)), Text(y.presidents));
        EXPECT_EQ(Text(ArmedForcesDay(y.year)), Text(y.armedForces));
        EXPECT_EQ(Text(MemorialDay(y.year)), Text(y.memorial));
        EXPECT_EQ(Text(LaborDay(y.year)), Text(y.labor));
        EXPECT_EQ(Text(ColumbusDay(y.year)), Text(y.columbus));
        EXPECT_EQ(Text(ElectionDay(y.year)), Text(y.election));
        EXPECT_EQ(Text(VeteransDay(y.year)), Text(y.veterans));
        EXPECT_EQ(Text(ThanksgivingDay(y.year)), Text(y.thanksgiving));
    }
}

TEST(CalendarHolidays, FallOnTheirWeekdayInTheirWeekOfTheMonth)
{
    struct Rule {
        const char* name;
        CDateValue (*date)(int year);
        int weekday, month, firstDay;
    };
    const Rule rules[] = {
        { "Martin Luther King Day", MartinLutherKingDay, Weekday::Monday, 1, 15 },
        { "Presidents Day", PresidentsDay, Weekday::Monday, 2, 15 },
        { "Armed Forces Day", ArmedForcesDay, Weekday::Saturday, 5, 15 },
        { "Memorial Day", MemorialDay, Weekday::Monday, 5, 25 },
        { "Labor Day", LaborDay, Weekday::Monday, 9, 1 },
        { "Columbus Day", ColumbusDay, Weekday::Monday, 10, 8 },
        { "Election Day", ElectionDay, Weekday::Tuesday, 11, 2 },
        { "Thanksgiving Day", ThanksgivingDay, Weekday::Thursday, 11, 22 },
    };
    for (int year = 1971; year <= 2400; ++year) {
        for (const Rule& rule : rules) {
            CDateValue date = rule.date(year);
            ASSERT_TRUE(date.IsValid()) << rule.name << " " << year;
            EXPECT_EQ(date.GetDayOfWeek(), rule.weekday) << rule.name << " " << year;
            EXPECT_EQ(date.GetMonth(), rule.month) << rule.name << " " << year;
            EXPECT_GE(date.GetDay(), rule.firstDay) << rule.name << " " << year;
            EXPECT_LE(date.GetDay(), rule.firstDay + 6) << rule.name << " " << year;
        }
    }
}

TEST(CalendarHolidays, ElectionDayIsNeverTheFirstOfNovember)
{
    // 2022 and 2033 start November on a Tuesday: the election is a week later.
    EXPECT_EQ(Text(ElectionDay(2022)), "2022-11-8");
    EXPECT_EQ(Text(ElectionDay(2033)), "2033-11-8");
}

TEST(CalendarSeasons, MeanTimesAsText)
{
    EXPECT_EQ(JulianDayToDateText(SeasonJulianDay(2000, SeasonEvent::VernalEquinox)), L"20-03-2000 07:26 GMT");
    // 03:02.6: the minutes are cut, not rounded.
    EXPECT_EQ(JulianDayToDateText(SeasonJulianDay(2024, SeasonEvent::VernalEquinox)), L"20-03-2024 03:02 GMT");
    EXPECT_EQ(JulianDayToDateText(SeasonJulianDay(2024, SeasonEvent::SummerSolstice)), L"20-06-2024 20:48 GMT");
    EXPECT_EQ(JulianDayToDateText(SeasonJulianDay(2024, SeasonEvent::AutumnalEquinox)), L"22-09-2024 12:36 GMT");
    EXPECT_EQ(JulianDayToDateText(SeasonJulianDay(2024, SeasonEvent::WinterSolstice)), L"21-12-2024 09:14 GMT");
}

TEST(CalendarSeasons, DateTextAcrossTheCalendarReform)
{
    EXPECT_EQ(JulianDayToDateText(2451545.0), L"01-01-2000 12:00 GMT");
    EXPECT_EQ(JulianDayToDateText(2299160.0), L"04-10-1582 12:00 GMT");
    EXPECT_EQ(JulianDayToDateText(2299161.0), L"15-10-1582 12:00 GMT");
    EXPECT_EQ(JulianDayToDateText(2299160.75), L"15-10-1582 06:00 GMT");
    EXPECT_EQ(JulianDayToDateText(1721423.5), L"01-01-   1 00:00 GMT");
    // Before the Julian epoch: JD 0 is 1 January 4713 BC, printed as year -4713 (no year 0).
    EXPECT_EQ(JulianDayToDateText(0.0), L"01-01--4713 12:00 GMT");
    EXPECT_EQ(JulianDayToDateText(-1.0), L"31-12--4714 12:00 GMT");
    EXPECT_EQ(JulianDayToDateText(-365.0), L"01-01--4714 12:00 GMT");
    EXPECT_TRUE(JulianDayToDateText(std::nan("")).IsEmpty());
}

TEST(CalendarWeeks, CalendarWeekStartsAtTheYearsFirstWeekStart)
{
    // 1 January 2023 is a Sunday: with weeks from Monday it lies in week 0.
    EXPECT_EQ(CalendarWeek(CDateValue(2023, 1, 1), Weekday::Monday), 0);
    EXPECT_EQ(CalendarWeek(CDateValue(2023, 1, 2), Weekday::Monday), 1);
    EXPECT_EQ(CalendarWeek(CDateValue(2023, 1, 1), Weekday::Sunday), 1);
    EXPECT_EQ(CalendarWeek(CDateValue(2024, 1, 1), Weekday::Monday), 1);
    EXPECT_EQ(CalendarWeek(CDateValue(2024, 12, 31), Weekday::Monday), 53);
    EXPECT_EQ(CalendarWeek(CDateValue(), Weekday::Monday), 0);

    EXPECT_EQ(MonthWeek(CDateValue(2024, 5, 5), Weekday::Monday), 0);
    EXPECT_EQ(MonthWeek(CDateValue(2024, 5, 6), Weekday::Monday), 1);
    EXPECT_EQ(MonthWeek(CDateValue(2024, 5, 31), Weekday::Monday), 4);
}

TEST(CalendarWeeks, FirstWeekdayFromTheLocaleSetting)
{
    const std::pair<const wchar_t*, int> cases[] = {
        { L"0", Weekday::Monday },   { L"1", Weekday::Tuesday }, { L"2", Weekday::Wednesday },
        { L"3", Weekday::Thursday }, { L"4", Weekday::Friday },  { L"5", Weekday::Saturday },
        { L"6", Weekday::Sunday },   { L"7", Weekday::Monday },  { L"", Weekday::Monday },
        { L"06", Weekday::Monday },
    };
    for (auto [setting, weekday] : cases)
        EXPECT_EQ(FirstWeekdayFromSetting(setting), weekday) << setting;
}

} // namespace
