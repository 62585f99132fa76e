#include "datecore/Clock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace {

// 2026-07-01 10:30:00 UTC and 2026-01-15 10:30:00 UTC.
constexpr std::int64_t kSummer = 1782901800;
constexpr std::int64_t kWinter = 1768473000;

SYSTEMTIME Time(int year, int month, int day, int hour, int minute, int second = 0)
{
    return SYSTEMTIME{static_cast<WORD>(year), static_cast<WORD>(month), 0, static_cast<WORD>(day),
                      static_cast<WORD>(hour), static_cast<WORD>(minute), static_cast<WORD>(second), 0};
}

TEST(Clock, UnixSecondsRoundTrip)
{
    EXPECT_EQ(SystemTimeToUnixSeconds(Time(1970, 1, 1, 0, 0)), 0);
    EXPECT_EQ(SystemTimeToUnixSeconds(Time(2026, 7, 1, 10, 30)), kSummer);
    SYSTEMTIME back = UnixSecondsToSystemTime(kWinter);
    EXPECT_EQ(back.wYear, 2026);
    EXPECT_EQ(back.wMonth, 1);
    EXPECT_EQ(back.wDay, 15);
    EXPECT_EQ(back.wDayOfWeek, 4);  // Thursday
    EXPECT_EQ(back.wHour, 10);
    EXPECT_FALSE(SystemTimeToUnixSeconds(Time(2026, 2, 29, 0, 0)));
    EXPECT_FALSE(SystemTimeToUnixSeconds(Time(2026, 1, 1, 24, 0)));
}

TEST(Clock, FixedClockAndZone)
{
    ScopedFixedClock clock(kSummer, CentralEuropeanZone());
    SYSTEMTIME utc, local;
    GetSystemTime(&utc);
    GetLocalTime(&local);
    EXPECT_EQ(utc.wHour, 10);
    EXPECT_EQ(local.wHour, 12);  // summer time, UTC+2
    TIME_ZONE_INFORMATION zone;
    EXPECT_EQ(GetTimeZoneInformation(&zone), TIME_ZONE_ID_DAYLIGHT);
    EXPECT_EQ(zone.Bias, -60);

    clock.Advance(kWinter - kSummer);
    GetLocalTime(&local);
    EXPECT_EQ(local.wHour, 11);
    EXPECT_EQ(GetTimeZoneInformation(&zone), TIME_ZONE_ID_STANDARD);
}

TEST(Clock, TransitionsOfARecurringRule)
{
    TIME_ZONE_INFORMATION zone = CentralEuropeanZone();
    SYSTEMTIME local;
    // 2026: summer time from 29 March 01:00 UTC to 25 October 01:00 UTC.
    struct Case {
        SYSTEMTIME utc;
        int localHour;
    } cases[] = {
        {Time(2026, 3, 29, 0, 59, 59), 1},
        {Time(2026, 3, 29, 1, 0, 0), 3},
        {Time(2026, 10, 25, 0, 59, 59), 2},
        {Time(2026, 10, 25, 1, 0, 0), 2},
        {Time(2026, 10, 25, 2, 0, 0), 3},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&zone, &c.utc, &local));
        EXPECT_EQ(local.wHour, c.localHour) << c.utc.wMonth << " " << c.utc.wHour << ":" << c.utc.wMinute;
    }
    SYSTEMTIME utc;
    SYSTEMTIME noon = Time(2026, 7, 1, 12, 0);
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(&zone, &noon, &utc));
    EXPECT_EQ(utc.wHour, 10);
    noon = Time(2026, 1, 1, 12, 0);
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(&zone, &noon, &utc));
    EXPECT_EQ(utc.wHour, 11);

    TIME_ZONE_INFORMATION tokyo = FixedOffsetZone(9 * 60);
    SYSTEMTIME late = Time(2026, 12, 31, 20, 0);
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&tokyo, &late, &local));
    EXPECT_EQ(local.wYear, 2027);
    EXPECT_EQ(local.wHour, 5);
    SYSTEMTIME bad = Time(2026, 13, 1, 0, 0);
    EXPECT_FALSE(SystemTimeToTzSpecificLocalTime(&tokyo, &bad, &local));
}

TEST(Clock, SystemClockAgreesWithItsZone)
{
    // The system's own conversion and the rules read from it give the same local time now.
    SYSTEMTIME utc, viaSystem, viaRules;
    GetSystemTime(&utc);
    utc.wMilliseconds = 0;
    TIME_ZONE_INFORMATION zone;
    EXPECT_NE(GetTimeZoneInformation(&zone), TIME_ZONE_ID_INVALID);
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &viaSystem));
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&zone, &utc, &viaRules));
    EXPECT_EQ(SystemTimeToUnixSeconds(viaSystem), SystemTimeToUnixSeconds(viaRules));
    SYSTEMTIME back;
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &viaSystem, &back));
    EXPECT_EQ(SystemTimeToUnixSeconds(back), SystemTimeToUnixSeconds(utc));
}

// Sets the process's zone to a POSIX rule (no zone files needed) and puts the old one back.
class ScopedTz {
public:
    explicit ScopedTz(const char* rule)
    {
        if (const char* old = std::getenv("TZ")) m_previous = old;
        setenv("TZ", rule, 1);
        tzset();
    }
    ~ScopedTz()
    {
        if (m_previous)
            setenv("TZ", m_previous->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    std::optional<std::string> m_previous;
};

TEST(Clock, SystemZoneIsDescribedByItsRules)
{
    struct Case {
        const char* rule;
        LONG bias;
        LONG daylightBias;
        WORD daylightMonth, daylightWeek, daylightHour;
        WORD standardMonth, standardWeek, standardHour;
    } cases[] = {
        {"CET-1CEST,M3.5.0,M10.5.0/3", -60, -60, 3, 5, 2, 10, 5, 3},
        {"AEST-10AEDT,M10.1.0,M4.1.0/3", -600, -60, 10, 1, 2, 4, 1, 3},
        {"EST5EDT,M3.2.0,M11.1.0", 300, -60, 3, 2, 2, 11, 1, 2},
    };
    for (const Case& c : cases) {
        ScopedTz tz(c.rule);
        SCOPED_TRACE(c.rule);
        TIME_ZONE_INFORMATION zone;
        EXPECT_NE(GetTimeZoneInformation(&zone), TIME_ZONE_ID_UNKNOWN);
        EXPECT_EQ(zone.Bias, c.bias);
        EXPECT_EQ(zone.DaylightBias, c.daylightBias);
        EXPECT_EQ(zone.DaylightDate.wMonth, c.daylightMonth);
        EXPECT_EQ(zone.DaylightDate.wDay, c.daylightWeek);
        EXPECT_EQ(zone.DaylightDate.wDayOfWeek, 0);
        EXPECT_EQ(zone.DaylightDate.wHour, c.daylightHour);
        EXPECT_EQ(zone.StandardDate.wMonth, c.standardMonth);
        EXPECT_EQ(zone.StandardDate.wDay, c.standardWeek);
        EXPECT_EQ(zone.StandardDate.wHour, c.standardHour);
    }
    ScopedTz tokyo("JST-9");
    TIME_ZONE_INFORMATION zone;
    EXPECT_EQ(GetTimeZoneInformation(&zone), TIME_ZONE_ID_UNKNOWN);
    EXPECT_EQ(zone.Bias, -540);
    EXPECT_EQ(std::wstring(zone.StandardName), L"JST");
}

}
