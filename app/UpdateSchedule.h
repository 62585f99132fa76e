#pragma once
// When the update check is due, and the time of the last check in the profile.

#include "platform/base/Time.h"

class CWinApp;

struct UpdateSchedule {
    bool checkForUpdates = true;
    int intervalDays = 0;
    __time64_t lastCheck = 0;

    // Never when checking is off; always for an interval below one day; else once the interval
    // has passed since the last check. A last check later than now (a clock put back, a damaged
    // profile) does not hold the check off.
    bool IsCheckDue(__time64_t now) const;
};

// The last check time in the section "Options" of the application's profile: 0 when there is none.
// It is kept as decimal text with all 64 bits; a value written as a 32-bit integer reads as the
// unsigned 32-bit time it held (up to the year 2106).
__time64_t ReadLastUpdateCheck(CWinApp& app);
void WriteLastUpdateCheck(CWinApp& app, __time64_t time);
