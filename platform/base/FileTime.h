#pragma once
// FILETIME: a point in time as 100-nanosecond intervals since 1 January 1601 (UTC).

#include "platform/base/WinTypes.h"

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
