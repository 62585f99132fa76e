#pragma once
// The clock of the date calculator: "now" and the time zone, read from the system, or fixed by
// tests with ScopedFixedClock. The functions keep the names and the behaviour of the system time
// functions the calculator was written against; times are SYSTEMTIME records.

#include "platform/base/SystemTime.h"

#include <cstdint>
#include <optional>

// Bias values are minutes, UTC = local time + bias. A transition date with wYear 0 is a
// recurring rule: month wMonth, the wDay-th (5 = last) weekday wDayOfWeek, at wHour:wMinute local
// time. A wMonth of 0 means the zone has no daylight saving time.
struct TIME_ZONE_INFORMATION {
    LONG Bias = 0;
    WCHAR StandardName[32] = {};
    SYSTEMTIME StandardDate;
    LONG StandardBias = 0;
    WCHAR DaylightName[32] = {};
    SYSTEMTIME DaylightDate;
    LONG DaylightBias = 0;
};

constexpr DWORD TIME_ZONE_ID_UNKNOWN = 0;
constexpr DWORD TIME_ZONE_ID_STANDARD = 1;
constexpr DWORD TIME_ZONE_ID_DAYLIGHT = 2;
constexpr DWORD TIME_ZONE_ID_INVALID = 0xFFFFFFFF;

void GetSystemTime(SYSTEMTIME* utc);
void GetLocalTime(SYSTEMTIME* local);
// Fills the zone and tells whether daylight saving time applies now: TIME_ZONE_ID_UNKNOWN for a
// zone without it, else TIME_ZONE_ID_STANDARD or TIME_ZONE_ID_DAYLIGHT. The system's zone is
// described by the transitions of the current year, as recurring rules.
DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* zone);

// Conversions between universal and local time after the rules of a zone; a null zone is the
// current one (for the system's zone with its full history). FALSE for an invalid time.
BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* utc, SYSTEMTIME* local);
BOOL TzSpecificLocalTimeToSystemTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* local, SYSTEMTIME* utc);

// Seconds since 1 January 1970 00:00 UTC and SYSTEMTIME records, both ways (proleptic Gregorian).
std::optional<std::int64_t> SystemTimeToUnixSeconds(const SYSTEMTIME& time);
SYSTEMTIME UnixSecondsToSystemTime(std::int64_t seconds, int milliseconds = 0);

// Fixes "now" and the time zone for the lifetime of the object (tests).
class ScopedFixedClock {
public:
    ScopedFixedClock(std::int64_t utcUnixSeconds, const TIME_ZONE_INFORMATION& zone);
    ~ScopedFixedClock();
    ScopedFixedClock(const ScopedFixedClock&) = delete;
    ScopedFixedClock& operator=(const ScopedFixedClock&) = delete;

    // Moves the fixed clock on.
    void Advance(std::int64_t seconds);

private:
    struct State {
        std::int64_t utcSeconds;
        TIME_ZONE_INFORMATION zone;
    };
    std::optional<State> m_previous;
};

// A zone with a fixed offset (minutes east of UTC) and no daylight saving time.
TIME_ZONE_INFORMATION FixedOffsetZone(int minutesEastOfUtc);
// Central European time: UTC+1, daylight UTC+2 from the last Sunday of March 02:00 to the last
// Sunday of October 03:00 (the rules in use since 1996); handy for tests.
TIME_ZONE_INFORMATION CentralEuropeanZone();
