#pragma once
// The date and time conventions of the user: day and month names, the short and long date forms,
// the time form and the first day of the week. On Linux they come from the user's LC_TIME
// (through LC_ALL, LC_TIME or LANG); tests fix them with ScopedDateLocale, so that results do not
// depend on which locales a machine has generated.
//
// Patterns use the strftime codes that LC_TIME itself uses: %d and %e (day with and without a
// leading zero), %m and %-m (month), %y and %Y, %A %a %B %b (names), %H %I %M %S %p (time).

#include "platform/base/CString.h"

#include <array>
#include <optional>

struct DateLocale {
    std::array<CString, 7> dayNames;  // Sunday first
    std::array<CString, 7> abbreviatedDayNames;
    std::array<CString, 12> monthNames;  // January first
    std::array<CString, 12> abbreviatedMonthNames;
    CString shortDatePattern = L"%d.%m.%Y";
    CString longDatePattern = L"%A, %e %B %Y";
    CString timePattern = L"%H:%M:%S";
    CString amSymbol = L"AM";
    CString pmSymbol = L"PM";
    int firstDayOfWeek = 2;  // weekday 1 = Sunday .. 7 = Saturday

    // English names, day.month.year with a four-digit year, a 24-hour clock, weeks from Monday.
    static DateLocale Default();
    // US English: month/day/year, a 12-hour clock, weeks from Sunday.
    static DateLocale UnitedStates();
    // The user's LC_TIME; Default() where it cannot be read.
    static DateLocale FromEnvironment();

    // The classic settings that the short date form implies.
    int DateOrder() const;  // 0 month-day-year, 1 day-month-year, 2 year-month-day
    CString DateSeparator() const;
    bool DayLeadingZero() const;
    bool MonthLeadingZero() const;
    bool FourDigitYear() const;
    // The first day of the week as the classic setting: "0" Monday .. "6" Sunday.
    CString FirstDayOfWeekSetting() const;

    // Fills a pattern with a proleptic Gregorian date and a time of day.
    CString Format(const CString& pattern, int year, int month, int day, int hour = 0, int minute = 0, int second = 0) const;
    CString FormatShortDate(int year, int month, int day) const { return Format(shortDatePattern, year, month, day); }
    CString FormatLongDate(int year, int month, int day) const { return Format(longDatePattern, year, month, day); }
    CString FormatTime(int hour, int minute, int second) const { return Format(timePattern, 2000, 1, 1, hour, minute, second); }
};

// The conventions in force: the fixed test locale if one is set, else the user's (read once).
DateLocale CurrentDateLocale();

// Fixes the conventions for the lifetime of the object (tests), restoring the previous ones after.
class ScopedDateLocale {
public:
    explicit ScopedDateLocale(DateLocale locale);
    ~ScopedDateLocale();
    ScopedDateLocale(const ScopedDateLocale&) = delete;
    ScopedDateLocale& operator=(const ScopedDateLocale&) = delete;

private:
    std::optional<DateLocale> m_previous;
};
