#include "datecore/JulianDay.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using J = CJulianDay;

TEST(JulianDay, DatesToJulianDays)
{
    EXPECT_EQ(J::DateToJulianDay(L"1.1.2000"), 2451545.0);
    EXPECT_EQ(J::DateToJulianDay(L"4.10.1582"), 2299160.0);
    EXPECT_EQ(J::DateToJulianDay(L"15.10.1582"), 2299161.0);
    EXPECT_EQ(J::DateToJulianDay(L"10.10.1582"), -1.0);
    EXPECT_EQ(J::DateToJulianDay(L"1.1.-4713"), 0.0);
    EXPECT_EQ(J::DateToJulianDay(L"17.11.1858"), 2400001.0);
    EXPECT_EQ(J::DateToJulianDay(L"1.1.1"), 1721424.0);
    EXPECT_EQ(J::DateToJulianDay(L"31.12.-1"), 1721423.0);
    EXPECT_EQ(J::DateToJulianDay(L"1.1.0"), -1.0);  // there is no year 0
    EXPECT_EQ(J::DateToJulianDay(L"1.2000"), -1.0);
    EXPECT_EQ(J::DateToJulianDay(L"abc"), -1.0);
}

TEST(JulianDay, DateAndTime)
{
    EXPECT_EQ(J::DateTimeToJulianDay(L"1.1.2000", L"00:00:00"), 2451544.5);
    EXPECT_EQ(J::DateTimeToJulianDay(L"1.1.2000", L"12:00:00"), 2451545.0);
    EXPECT_EQ(J::DateTimeToJulianDay(L"1.1.2000", L"25:00:00"), -1.0);
    EXPECT_LT(J::DateTimeToJulianDay(L"x", L"12:00:00"), 0.0);
}

TEST(JulianDay, TimeFractions)
{
    EXPECT_EQ(J::TimeToDayFraction(L"18:00:00"), 0.75);
    EXPECT_DOUBLE_EQ(J::TimeToDayFraction(L"01:02:03"), (3600 + 120 + 3) / 86400.0);
    EXPECT_DOUBLE_EQ(J::TimeToDayFraction(L"12:30"), 12.5 / 24);
    EXPECT_DOUBLE_EQ(J::TimeToDayFraction(L"9:15"), 9.25 / 24);
    EXPECT_EQ(J::TimeToDayFraction(L"12:30m"), -1.0);
    EXPECT_EQ(J::TimeToDayFraction(L"12:60:00"), -1.0);
    EXPECT_EQ(J::TimeToDayFraction(L"24:00:00"), -1.0);
    EXPECT_EQ(J::TimeToDayFraction(L"1:-30:00"), -1.0);  // negative parts are no time of day
    EXPECT_EQ(J::TimeToDayFraction(L"1200"), -1.0);
}

TEST(JulianDay, JulianDaysToTexts)
{
    EXPECT_EQ(J::JulianDayToDate(2451545.7).str(), L"01.01.2000");
    EXPECT_EQ(J::JulianDayToDate(2299160).str(), L"04.10.1582");
    EXPECT_EQ(J::JulianDayToDate(2299161).str(), L"15.10.1582");
    EXPECT_EQ(J::JulianDayToDate(0).str(), L"01.01.-4713");
    EXPECT_EQ(J::JulianDayToDate(1721423).str(), L"31.12.-1");
    EXPECT_EQ(J::JulianDayToDate(NAN).str(), L"");
    EXPECT_EQ(J::JulianDayToDate(1e300).str(), L"");
    EXPECT_EQ(J::JulianDayToTime(-0.25).str(), L"18:00:00");
    EXPECT_EQ(J::JulianDayToTime(0.999999).str(), L"24:00:00");
    EXPECT_EQ(J::JulianDayToTime(1.25).str(), L"30:00:00");  // hours are not wrapped
    EXPECT_EQ(J::JulianDayToTime(0.25, true).str(), L"06h00m00s");
    EXPECT_EQ(J::JulianDayToTime((8 * 3600 + 5 * 60 + 9) / 86400.0, true).str(), L"08h05m09s");
    EXPECT_EQ(J::JulianDayToTime(INFINITY).str(), L"");
}

TEST(JulianDay, DateTextsRoundTripAcrossTheReform)
{
    // Every day around the reform and around 1 AD, and every 211th day from 4713 BC to AD 3000.
    auto roundTrip = [](double n) {
        CString text = J::JulianDayToDate(n);
        return J::DateToJulianDay(text) == n;
    };
    for (double n = 2299161 - 800; n <= 2299161 + 800; n += 1) ASSERT_TRUE(roundTrip(n)) << n;
    for (double n = 1721424 - 800; n <= 1721424 + 800; n += 1) ASSERT_TRUE(roundTrip(n)) << n;
    for (double n = 0; n <= 2817152; n += 211) {
        CString text = J::JulianDayToDate(n);
        ASSERT_EQ(J::DateToJulianDay(text), n) << text.ToUtf8();
    }
    // Negative Julian days stay exact too.
    for (double n = -5000; n < 0; n += 37) ASSERT_EQ(J::DateToJulianDay(J::JulianDayToDate(n)), n);
}

TEST(JulianDay, LeapYearsOfTheHistoricalCalendar)
{
    EXPECT_TRUE(J::IsLeapYear(1500));
    EXPECT_FALSE(J::IsLeapYear(1700));
    EXPECT_TRUE(J::IsLeapYear(2000));
    EXPECT_TRUE(J::IsValidDate(1500, 2, 29));
    EXPECT_TRUE(J::IsLeapYear(-1));   // 1 BC
    EXPECT_FALSE(J::IsLeapYear(-4));  // 4 BC
    EXPECT_TRUE(J::IsValidDate(-5, 2, 29));
    EXPECT_FALSE(J::IsValidDate(2001, 2, 29));
    EXPECT_FALSE(J::IsValidDate(2001, 0, 1));
    EXPECT_FALSE(J::IsValidDate(2001, 1, 0));
    EXPECT_EQ(J::MonthLength(2, true), 29);
    EXPECT_EQ(J::MonthLength(4, false), 30);
}

TEST(JulianDay, ConvertDateTime)
{
    CString date, time;
    double jd = 2451545.25;
    EXPECT_FALSE(J::ConvertDateTime(date, time, L"", jd));
    EXPECT_EQ(date.str(), L"01.01.2000");
    EXPECT_EQ(time.str(), L"18:00:00");
    jd = 2451545.75;
    EXPECT_FALSE(J::ConvertDateTime(date, time, L"", jd));
    EXPECT_EQ(date.str(), L"02.01.2000");
    EXPECT_EQ(time.str(), L"06:00:00");

    date = time = L"";
    jd = -1;
    EXPECT_FALSE(J::ConvertDateTime(date, time, L"5.3.2001", jd));
    EXPECT_EQ(date.str(), L"05.03.2001");
    EXPECT_EQ(jd, J::DateToJulianDay(L"5.3.2001"));
    EXPECT_FALSE(J::ConvertDateTime(date, time, L"7:5:3", jd));
    EXPECT_EQ(time.str(), L"07:05:03");
    EXPECT_EQ(jd, -1.0);  // a time is no date
    EXPECT_TRUE(J::ConvertDateTime(date, time, L"nonsense", jd));
}

TEST(JulianDay, DateTimeTexts)
{
    EXPECT_TRUE(J::IsValidDateTimeText(L"01.01.2000 24:00:00"));
    EXPECT_TRUE(J::IsValidDateTimeText(L"12:30:00"));
    EXPECT_FALSE(J::IsValidDateTimeText(L"01.01.2000 12:60:00"));
    EXPECT_FALSE(J::IsValidDateTimeText(L"1.2000 10:00:00"));
    EXPECT_FALSE(J::IsValidDateTimeText(L"01.01.2000"));
    int h, m, s;
    ASSERT_TRUE(J::SplitDateTime(L"01.01.2000   7:08:09  ", h, m, s));
    EXPECT_EQ(h * 10000 + m * 100 + s, 70809);
}

TEST(JulianDay, MonthDayYear)
{
    CString date = L"24.01.1992";
    EXPECT_TRUE(J::ToMonthDayYear(date));
    EXPECT_EQ(date.str(), L"01/24/1992");
    date = L"1.5.2000";
    EXPECT_TRUE(J::ToMonthDayYear(date));
    EXPECT_EQ(date.str(), L"5/1/2000");
    date = L"31.02.1992";
    EXPECT_FALSE(J::ToMonthDayYear(date));
    date = L"";
    EXPECT_FALSE(J::ToMonthDayYear(date));
}

}
