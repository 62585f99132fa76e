#pragma once
// The two time records of the system interface: FILETIME, 100-nanosecond intervals since
// 1 January 1601 (UTC), and SYSTEMTIME, a broken-down date and time.

#include "platform/base/WinTypes.h"

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;      // 1 = January
    WORD wDayOfWeek;  // 0 = Sunday
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
