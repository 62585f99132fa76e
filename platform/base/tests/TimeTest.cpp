#include "platform/base/Time.h"
#include "platform/base/StringFormat.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// Runs a test in a fixed time zone, whatever the machine's.
class FixedZone {
public:
    explicit FixedZone(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) m_previous = old, m_had = true;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~FixedZone()
    {
        if (m_had) ::setenv("TZ", m_previous.c_str(), 1);
        else ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::string m_previous;
    bool m_had = false;
};

TEST(OleDateTimeTest, PartsOfKnownDates)
{
    struct Case {
        DATE value;
        int year, month, day, hour, minute, second, dayOfWeek, dayOfYear;
    } cases[] = {
        { 0.0, 1899, 12, 30, 0, 0, 0, 7, 364 },
        { 1.5, 1899, 12, 31, 12, 0, 0, 1, 365 },
        { -1.25, 1899, 12, 29, 6, 0, 0, 6, 363 },  // the fraction counts forward before the epoch too
        { 36526.0, 2000, 1, 1, 0, 0, 0, 7, 1 },
        { 2958465.0, 9999, 12, 31, 0, 0, 0, 6, 365 },
        { -657434.0, 100, 1, 1, 0, 0, 0, 6, 1 },
        { 2.0 - 0.4 / 86400, 1900, 1, 1, 0, 0, 0, 2, 1 },  // rounds to the nearest second, into the next day
    };
    for (const auto& c : cases) {
        COleDateTime date(c.value);
        EXPECT_EQ(date.GetYear(), c.year) << c.value;
        EXPECT_EQ(date.GetMonth(), c.month) << c.value;
        EXPECT_EQ(date.GetDay(), c.day) << c.value;
        EXPECT_EQ(date.GetHour(), c.hour) << c.value;
        EXPECT_EQ(date.GetMinute(), c.minute) << c.value;
        EXPECT_EQ(date.GetSecond(), c.second) << c.value;
        EXPECT_EQ(date.GetDayOfWeek(), c.dayOfWeek) << c.value;
        EXPECT_EQ(date.GetDayOfYear(), c.dayOfYear) << c.value;
    }
    EXPECT_EQ(COleDateTime(3e6).GetYear(), AFX_OLE_DATETIME_ERROR);
}

TEST(OleDateTimeTest, SettingChecksEveryField)
{
    COleDateTime date;
    EXPECT_EQ(date.SetDateTime(1899, 12, 29, 6, 0, 0), 0);
    EXPECT_DOUBLE_EQ(date.m_dt, -1.25);
    EXPECT_EQ(date.SetDate(2000, 2, 29), 0);
    EXPECT_EQ(date.m_dt, 36585.0);
    struct Bad {
        int year, month, day, hour, minute, second;
    } bad[] = { { 1999, 2, 29, 0, 0, 0 }, { 99, 1, 1, 0, 0, 0 }, { 10000, 1, 1, 0, 0, 0 }, { 2000, 13, 1, 0, 0, 0 },
                { 2000, 1, 0, 0, 0, 0 },  { 2000, 1, 1, 24, 0, 0 }, { 2000, 1, 1, 0, 60, 0 },  { 2000, 1, 1, 0, 0, 60 } };
    for (const auto& b : bad) {
        EXPECT_EQ(date.SetDateTime(b.year, b.month, b.day, b.hour, b.minute, b.second), 1);
        EXPECT_EQ(date.GetStatus(), COleDateTime::invalid);
        EXPECT_EQ(date.GetDay(), AFX_OLE_DATETIME_ERROR);
        EXPECT_TRUE(date.Format(L"%Y").IsEmpty());
    }
}

TEST(OleDateTimeTest, ArithmeticRunsStraightAcrossTheEpoch)
{
    COleDateTime date(1899, 12, 30, 3, 0, 0);
    COleDateTime earlier = date - COleDateTimeSpan(0, 6, 0, 0);  // 29 December, 21:00
    EXPECT_EQ(earlier.GetDay(), 29);
    EXPECT_EQ(earlier.GetHour(), 21);
    EXPECT_DOUBLE_EQ(earlier.m_dt, -1.875);
    EXPECT_LT(earlier, date);
    EXPECT_TRUE(COleDateTime(-1.25) > COleDateTime(-1.0));
    COleDateTimeSpan difference = date - earlier;
    EXPECT_DOUBLE_EQ(difference.GetTotalHours(), 6.0);

    COleDateTimeSpan span(-1, -2, -3, -4);
    EXPECT_EQ(span.GetDays(), -1);
    EXPECT_EQ(span.GetHours(), -2);
    EXPECT_EQ(span.GetMinutes(), -3);
    EXPECT_EQ(span.GetSeconds(), -4);
    EXPECT_EQ((COleDateTime(2958465.0) + COleDateTimeSpan(2.0)).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(COleDateTime(2000, 3, 1, 0, 0, 0).Format(L"%Y-%m-%d %A"), L"2000-03-01 Wednesday");
}

// The first day of the range is whole: before 1899 a later time of day makes the raw value more
// negative, yet 1 January 100 at noon or at 23:59:59 is as valid as its midnight.
TEST(OleDateTimeTest, EveryTimeOfTheFirstDayIsInRange)
{
    const struct {
        int hour, minute, second;
    } times[] = { { 0, 0, 0 }, { 0, 0, 1 }, { 12, 0, 0 }, { 23, 59, 59 } };
    for (const auto& t : times) {
        COleDateTime date;
        ASSERT_EQ(date.SetDateTime(100, 1, 1, t.hour, t.minute, t.second), 0);
        EXPECT_EQ(date.GetYear(), 100) << t.hour << ":" << t.minute << ":" << t.second;
        EXPECT_EQ(date.GetHour(), t.hour);
        EXPECT_EQ(date.GetSecond(), t.second);
        EXPECT_EQ(date.Format(L"%H:%M:%S"), CString(FormatWide(L"%02d:%02d:%02d", t.hour, t.minute, t.second).c_str()));
    }
    const COleDateTime noon(100, 1, 1, 12, 0, 0);
    EXPECT_EQ((noon + COleDateTimeSpan(0, 11, 0, 0)).GetHour(), 23);
    EXPECT_EQ((noon - COleDateTimeSpan(0, 12, 0, 0)).GetHour(), 0);
    EXPECT_EQ((noon - COleDateTimeSpan(0, 12, 0, 1)).GetStatus(), COleDateTime::invalid) << "31 December 99 stays out";
    EXPECT_EQ(COleDateTime(-657435.5).GetYear(), AFX_OLE_DATETIME_ERROR);
}

TEST(TimeTest, CTimeReadsAndWritesLocalTime)
{
    FixedZone zone("UTC-2");  // two hours east of UTC
    CTime time(2024, 2, 29, 13, 45, 30);
    EXPECT_EQ(time.GetTime(), 1709207130);
    EXPECT_EQ(time.GetHour(), 13);
    EXPECT_EQ(time.GetDayOfWeek(), 5);  // a Thursday
    EXPECT_EQ(time.FormatGmt(L"%H:%M"), L"11:45");
    EXPECT_EQ(time.Format(L"%d.%m.%Y"), L"29.02.2024");
    CTimeSpan span = CTime(2024, 3, 2, 0, 0, 0) - CTime(2024, 2, 28, 22, 30, 15);
    EXPECT_EQ(span.GetDays(), 2);
    EXPECT_EQ(span.GetHours(), 1);
    EXPECT_EQ(span.GetMinutes(), 29);
    EXPECT_EQ(span.GetSeconds(), 45);
    EXPECT_EQ(CTime(2024, 1, 32, 0, 0, 0).GetMonth(), 2);  // rolls over

    COleDateTime fromSeconds(time.GetTime());
    EXPECT_EQ(fromSeconds.GetHour(), 13);
    EXPECT_EQ(fromSeconds.GetDay(), 29);
}

} // namespace
