#pragma once
// SYSTEMTIME: a point in time broken down into calendar fields, with the layout the system time
// functions document.

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
