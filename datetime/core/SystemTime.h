#pragma once
// The broken-down time and time-zone records the date calculator's clock speaks in, with the
// layout and constants that the system time functions document.

#include "platform/base/WinTypes.h"

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;      // 1..12
    WORD wDayOfWeek = 0;  // 0 = Sunday
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};

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
