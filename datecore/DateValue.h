#pragma once
// Whole days as day numbers and spans of time as counts of seconds, on the Gregorian calendar
// applied to every year (proleptic). Day number 0 is 15 October 1582; years are astronomical
// (year 0 exists). Nothing here reports errors other than through its result.

#include "platform/base/WinTypes.h"

#include <cstdint>
#include <string_view>

struct SYSTEMTIME;

constexpr std::int32_t kInvalidDayNumber = INT32_MIN;
constexpr std::int64_t kInvalidSpan = INT64_MIN;
constexpr std::int64_t kSecondsPerDay = 86400;
// The largest day number whose offset from 1 January of year 1 still fits in 32 bits.
constexpr std::int32_t kLargestDayNumber = 2146905911;
// Days from 1 January of year 1 (counted from 0) to day number 0.
constexpr std::int32_t kDaysFromYearOneToEpoch = 577735;

struct CalendarDate {
    std::int32_t year = 0;
    std::uint16_t month = 0;      // 1..12
    std::uint16_t day = 0;        // 1..31
    std::int32_t weekday = 0;     // 1 = Sunday .. 7 = Saturday
    std::int32_t dayOfYear = 0;   // 1..366
};

bool IsLeapYear(int year);
int DaysInMonth(int year, std::uint16_t month);
int DaysInYear(int year);
int DayOfYear(int year, int month, int day);

// False when the month is outside 1..12, the day exceeds the month, or the day number would not
// fit in 32 bits. A day of 0 is accepted and denotes the day before the first of the month.
bool DayNumberFromDate(int year, std::uint16_t month, std::uint16_t day, std::int32_t& dayNumber);
// The exact inverse of DayNumberFromDate; the invalid day number gives an all-zero date.
CalendarDate DateFromDayNumber(std::int32_t dayNumber);
// Weekday of a day number, 1 = Sunday .. 7 = Saturday.
int WeekdayOfDayNumber(std::int32_t dayNumber);

// Hours, minutes and seconds count in the direction of the days: -1 day and 2 hours is -26 hours.
std::int64_t SpanToSeconds(std::int32_t days, std::uint16_t hours, std::uint16_t minutes, std::uint16_t seconds);
// The parts of a span's magnitude; never call them with kInvalidSpan.
int SpanHours(std::int64_t seconds);
int SpanMinutes(std::int64_t seconds);
int SpanSeconds(std::int64_t seconds);

// Reads an optional sign and the digits that follow, stopping at the first other character;
// no digits give 0. The result saturates at the type's range, and *overflow tells when it did.
std::int64_t ReadLeadingInteger64(std::wstring_view text, bool* overflow = nullptr);
int ReadLeadingInteger(std::wstring_view text);

class CDateValue {
public:
    CDateValue() = default;
    CDateValue(int year, std::uint16_t month, std::uint16_t day);
    static CDateValue FromDayNumber(std::int32_t dayNumber);

    bool IsValid() const { return m_dayNumber != kInvalidDayNumber; }
    std::int32_t GetDayNumber() const { return m_dayNumber; }

    // The fields of DateFromDayNumber; 0 for the invalid value.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetDayOfYear() const;
    CalendarDate GetCalendarDate() const { return DateFromDayNumber(m_dayNumber); }
    // 1 = Sunday .. 7 = Saturday; 0 for the invalid value.
    int GetDayOfWeek() const;

    // Moves by n weeks; a result above kLargestDayNumber (or below the representable range)
    // makes the value invalid.
    void AddWeeks(int n);
    // Moves by n days with the same limits as AddWeeks.
    void AddDays(std::int64_t n);

    // False for the invalid value and for years outside 0..65535.
    bool GetAsSystemTime(SYSTEMTIME& time) const;

    friend bool operator==(CDateValue a, CDateValue b) = default;
    friend auto operator<=>(CDateValue a, CDateValue b) = default;

private:
    std::int32_t m_dayNumber = kInvalidDayNumber;
};

// Reads a date text after a descriptor of five characters: three order letters 'd', 'm', 'y'
// naming the fields in their order in the text, the year width ('2' reads 7.3.04 as 2004) and the
// separator. Missing fields leave day 0, month 1, year 0. Any other descriptor gives invalid.
CDateValue ParseDateText(std::wstring_view text, std::wstring_view descriptor);
