#include "datecore/DateValue.h"

#include "datecore/FloorDivision.h"
#include "platform/base/SystemTime.h"

#include <array>
#include <limits>

namespace {

constexpr std::array<std::uint16_t, 13> kMonthLengths = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Days from 1 January of year 1 (day 0) to 1 January of the given year.
constexpr std::int64_t DaysBeforeYear(std::int64_t year)
{
    std::int64_t p = year - 1;
    return 365 * p + FloorDiv(p, 4) - FloorDiv(p, 100) + FloorDiv(p, 400);
}

bool FitsDayNumber(std::int64_t n) { return n > kInvalidDayNumber && n <= std::numeric_limits<std::int32_t>::max(); }

}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, std::uint16_t month)
{
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kMonthLengths[month];
}

int DaysInYear(int year) { return IsLeapYear(year) ? 366 : 365; }

int DayOfYear(int year, int month, int day)
{
    int k = IsLeapYear(year) ? 1 : 2;
    return 275 * month / 9 - k * ((month + 9) / 12) + day - 30;
}

bool DayNumberFromDate(int year, std::uint16_t month, std::uint16_t day, std::int32_t& dayNumber)
{
    if (month < 1 || month > 12 || day > DaysInMonth(year, month)) return false;
    std::int64_t n = DaysBeforeYear(year);
    for (std::uint16_t m = 1; m < month; ++m) n += DaysInMonth(year, m);
    n += day;
    n -= kDaysFromYearOneToEpoch + 1;
    if (!FitsDayNumber(n)) return false;
    dayNumber = static_cast<std::int32_t>(n);
    return true;
}

int WeekdayOfDayNumber(std::int32_t dayNumber)
{
    return static_cast<int>(FloorMod(static_cast<std::int64_t>(dayNumber) + 12, 7)) + 1;
}

CalendarDate DateFromDayNumber(std::int32_t dayNumber)
{
    CalendarDate date;
    if (dayNumber == kInvalidDayNumber) return date;
    std::int64_t days = static_cast<std::int64_t>(dayNumber) + kDaysFromYearOneToEpoch;
    // Whole 400-year cycles first, then the year inside the cycle by estimate and correction.
    std::int64_t cycles = FloorDiv(days, 146097);
    std::int64_t inCycle = days - cycles * 146097;
    std::int64_t year = 1 + inCycle / 366;
    while (DaysBeforeYear(year + 1) <= inCycle) ++year;
    std::int64_t remaining = inCycle - DaysBeforeYear(year);
    int leapYear = static_cast<int>(year);  // 1..400: leap exactly where the cycle's year is
    year += 400 * cycles;
    std::uint16_t month = 1;
    while (remaining >= DaysInMonth(leapYear, month)) remaining -= DaysInMonth(leapYear, month++);
    date.year = static_cast<std::int32_t>(year);
    date.month = month;
    date.day = static_cast<std::uint16_t>(remaining + 1);
    date.weekday = WeekdayOfDayNumber(dayNumber);
    date.dayOfYear = DayOfYear(date.year, date.month, date.day);
    return date;
}

std::int64_t SpanToSeconds(std::int32_t days, std::uint16_t hours, std::uint16_t minutes, std::uint16_t seconds)
{
    std::int64_t d = days;
    if (d >= 0) return ((d * 24 + hours) * 60 + minutes) * 60 + seconds;
    return ((d * 24 - hours) * 60 - minutes) * 60 - seconds;
}

namespace {
// The magnitude of a span; kInvalidSpan has none and is a caller's error.
std::int64_t Magnitude(std::int64_t seconds) { return seconds < 0 ? -seconds : seconds; }
}

int SpanHours(std::int64_t seconds) { return static_cast<int>(Magnitude(seconds) % 86400 / 3600); }
int SpanMinutes(std::int64_t seconds) { return static_cast<int>(Magnitude(seconds) % 3600 / 60); }
int SpanSeconds(std::int64_t seconds) { return static_cast<int>(Magnitude(seconds) % 60); }

std::int64_t ReadLeadingInteger64(std::wstring_view text, bool* overflow)
{
    if (overflow) *overflow = false;
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    // Accumulate toward minus infinity so that the smallest value is reachable.
    std::int64_t value = 0;
    constexpr std::int64_t lowest = std::numeric_limits<std::int64_t>::min();
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        int digit = text[i] - L'0';
        if (value < (lowest + digit) / 10) {
            if (overflow) *overflow = true;
            return negative ? lowest : std::numeric_limits<std::int64_t>::max();
        }
        value = value * 10 - digit;
    }
    if (negative) return value;
    if (value == lowest) {
        if (overflow) *overflow = true;
        return std::numeric_limits<std::int64_t>::max();
    }
    return -value;
}

int ReadLeadingInteger(std::wstring_view text)
{
    std::int64_t value = ReadLeadingInteger64(text);
    if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (value < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

CDateValue::CDateValue(int year, std::uint16_t month, std::uint16_t day)
{
    std::int32_t n;
    if (DayNumberFromDate(year, month, day, n)) m_dayNumber = n;
}

CDateValue CDateValue::FromDayNumber(std::int32_t dayNumber)
{
    CDateValue value;
    value.m_dayNumber = dayNumber;
    return value;
}

int CDateValue::GetYear() const { return GetCalendarDate().year; }
int CDateValue::GetMonth() const { return GetCalendarDate().month; }
int CDateValue::GetDay() const { return GetCalendarDate().day; }
int CDateValue::GetDayOfYear() const { return GetCalendarDate().dayOfYear; }

int CDateValue::GetDayOfWeek() const { return IsValid() ? WeekdayOfDayNumber(m_dayNumber) : 0; }

void CDateValue::AddWeeks(int n) { AddDays(7 * static_cast<std::int64_t>(n)); }

void CDateValue::AddDays(std::int64_t n)
{
    if (!IsValid()) return;
    std::int64_t moved = static_cast<std::int64_t>(m_dayNumber) + n;
    m_dayNumber = FitsDayNumber(moved) && moved <= kLargestDayNumber ? static_cast<std::int32_t>(moved) : kInvalidDayNumber;
}

bool CDateValue::GetAsSystemTime(SYSTEMTIME& time) const
{
    if (!IsValid()) return false;
    CalendarDate date = GetCalendarDate();
    if (date.year < 0 || date.year > 65535) return false;
    time = SYSTEMTIME{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = date.month;
    time.wDay = date.day;
    time.wDayOfWeek = static_cast<WORD>(date.weekday - 1);
    return true;
}

CDateValue ParseDateText(std::wstring_view text, std::wstring_view descriptor)
{
    if (descriptor.size() != 5) return {};
    wchar_t separator = descriptor[4];
    int day = 0, month = 1, year = 0;
    std::size_t start = 0;
    for (int field = 0; field < 3 && start <= text.size(); ++field) {
        std::size_t end = text.find(separator, start);
        std::wstring_view part = text.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
        int value = ReadLeadingInteger(part);
        switch (descriptor[field]) {
        case L'd': day = value; break;
        case L'm': month = value; break;
        case L'y': year = value; break;
        default: return {};
        }
        if (end == std::wstring_view::npos) break;
        start = end + 1;
    }
    if (descriptor[3] == L'2') year += year < 50 ? 2000 : 1900;
    if (day < 0 || day > 0xFFFF || month < 0 || month > 0xFFFF) return {};
    return CDateValue(year, static_cast<std::uint16_t>(month), static_cast<std::uint16_t>(day));
}
