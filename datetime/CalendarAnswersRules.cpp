#include "datetime/CalendarAnswersRules.h"

#include <cmath>
#include <cstdint>

namespace {

// Quotient and remainder rounded toward minus infinity, so that the rules hold for years before
// year 0 as well.
constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
constexpr std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return a - b * FloorDiv(a, b); }

// Dates past kLargestDayNumber exist as day numbers but cannot be moved by weeks; the rules treat
// them as out of range.
CDateValue DateOf(int year, int month, int day)
{
    CDateValue date(year, static_cast<std::uint16_t>(month), static_cast<std::uint16_t>(day));
    return date.GetDayNumber() > kLargestDayNumber ? CDateValue() : date;
}

CDateValue Moved(CDateValue date, std::int64_t days)
{
    date.AddDays(days);
    return date;
}

// The first day on or after the given one that falls on the weekday.
CDateValue WeekdayOnOrAfter(CDateValue date, int weekday)
{
    if (!date.IsValid())
        return date;
    return Moved(date, FloorMod(weekday - date.GetDayOfWeek(), 7));
}

int WeeksSince(CDateValue date, CDateValue start)
{
    if (!date.IsValid() || !start.IsValid() || date < start)
        return 0;
    return static_cast<int>((static_cast<std::int64_t>(date.GetDayNumber()) - start.GetDayNumber()) / 7 + 1);
}

} // namespace

CDateValue FixedDate(int year, int month, int day) { return DateOf(year, month, day); }

void EasterDate(int year, int& month, int& day)
{
    std::int64_t y = year;
    std::int64_t a = FloorMod(y, 19);
    std::int64_t b = FloorDiv(y, 100);
    std::int64_t c = FloorMod(y, 100);
    std::int64_t d = FloorDiv(b, 4);
    std::int64_t e = FloorMod(b, 4);
    std::int64_t f = FloorDiv(b + 8, 25);
    std::int64_t g = FloorDiv(b - f + 1, 3);
    std::int64_t h = FloorMod(19 * a + b - d - g + 15, 30);
    std::int64_t i = c / 4;
    std::int64_t k = c % 4;
    std::int64_t l = FloorMod(32 + 2 * e + 2 * i - h - k, 7);
    std::int64_t m = (a + 11 * h + 22 * l) / 451;
    std::int64_t n = h + l - 7 * m + 114;
    month = static_cast<int>(n / 31);
    day = static_cast<int>(n % 31 + 1);
}

CDateValue EasterSunday(int year)
{
    int month, day;
    EasterDate(year, month, day);
    return DateOf(year, month, day);
}

CDateValue EasterOffset(int year, int days) { return Moved(EasterSunday(year), days); }

CDateValue NthWeekdayOfMonth(int year, int month, int n, int weekday)
{
    if (weekday < Weekday::Sunday || weekday > Weekday::Saturday)
        return CDateValue();
    if (n == 5) {
        CDateValue firstOfNext = month == 12 ? DateOf(year + 1, 1, 1) : DateOf(year, month + 1, 1);
        return Moved(WeekdayOnOrAfter(firstOfNext, weekday), -7);
    }
    if (n < 1 || n > 4)
        return CDateValue();
    return Moved(WeekdayOnOrAfter(DateOf(year, month, 1), weekday), 7 * (n - 1));
}

CDateValue MartinLutherKingDay(int year) { return NthWeekdayOfMonth(year, 1, 3, Weekday::Monday); }

CDateValue PresidentsDay(int year)
{
    return year < 1971 ? DateOf(year, 2, 22) : NthWeekdayOfMonth(year, 2, 3, Weekday::Monday);
}

CDateValue ArmedForcesDay(int year) { return NthWeekdayOfMonth(year, 5, 3, Weekday::Saturday); }

CDateValue MemorialDay(int year)
{
    return year >= 1971 ? NthWeekdayOfMonth(year, 5, 5, Weekday::Monday) : DateOf(year, 5, 30);
}

CDateValue LaborDay(int year) { return NthWeekdayOfMonth(year, 9, 1, Weekday::Monday); }

CDateValue ColumbusDay(int year) { return NthWeekdayOfMonth(year, 10, 2, Weekday::Monday); }

CDateValue ElectionDay(int year) { return WeekdayOnOrAfter(DateOf(year, 11, 2), Weekday::Tuesday); }

CDateValue VeteransDay(int year)
{
    return year >= 1971 && year <= 1977 ? NthWeekdayOfMonth(year, 10, 4, Weekday::Monday) : DateOf(year, 11, 11);
}

CDateValue ThanksgivingDay(int year) { return NthWeekdayOfMonth(year, 11, 4, Weekday::Thursday); }

double SeasonJulianDay(int year, SeasonEvent event)
{
    struct Polynomial {
        double c0, c1, c2, c3, c4;
    };
    static constexpr Polynomial Events[] = {
        { 2451623.80984, 365242.37404, 0.05169, -0.00411, -0.00057 },
        { 2451716.56767, 365241.62603, 0.00325, 0.00888, -0.00030 },
        { 2451810.21715, 365242.01767, -0.11575, 0.00337, 0.00078 },
        { 2451900.05952, 365242.74049, -0.06223, -0.00823, 0.00032 },
    };
    const Polynomial& p = Events[static_cast<int>(event)];
    double t = (year - 2000) / 1000.0;
    return p.c0 + t * (p.c1 + t * (p.c2 + t * (p.c3 + t * p.c4)));
}

CString JulianDayToDateText(double julianDay)
{
    if (!std::isfinite(julianDay) || std::fabs(julianDay) > 1e15)
        return CString();
    double shifted = julianDay + 0.5;
    auto j = static_cast<std::int64_t>(std::floor(shifted));
    // Before 15 October 1582 the days are those of the Julian calendar.
    bool julianCalendar = j < 2299161;
    // Floor division keeps the conversion exact before Julian day 0 as well.
    std::int64_t l = j + 68569 + (julianCalendar ? 38 : 0);
    std::int64_t divisor = julianCalendar ? 146100 : 146097;
    std::int64_t n = FloorDiv(4 * l, divisor);
    l -= FloorDiv(divisor * n + 3, 4);
    std::int64_t i = FloorDiv(4000 * (l + 1), 1461001);
    l = l - FloorDiv(1461 * i, 4) + 31;
    std::int64_t k = FloorDiv(80 * l, 2447);
    std::int64_t day = l - FloorDiv(2447 * k, 80);
    l = FloorDiv(k, 11);
    std::int64_t month = k + 2 - 12 * l;
    std::int64_t year = 100 * (n - 49) + i + l;
    if (year < 1)
        --year;

    double hours = (shifted - static_cast<double>(j)) * 24;
    int wholeHours = static_cast<int>(hours);
    int minutes = static_cast<int>((hours - wholeHours) * 60);
    CString text;
    text.Format(L"%02d-%02d-%4lld %02d:%02d GMT", static_cast<int>(day), static_cast<int>(month),
                static_cast<long long>(year), wholeHours, minutes);
    return text;
}

int FirstWeekdayFromSetting(const CString& setting)
{
    static const wchar_t* const Settings[] = { L"0", L"1", L"2", L"3", L"4", L"5", L"6" };
    for (int i = 0; i < 7; ++i) {
        if (setting == Settings[i])
            return (i + 1) % 7 + 1;  // "0" Monday (2) .. "5" Saturday (7), "6" Sunday (1)
    }
    return Weekday::Monday;
}

int CalendarWeek(CDateValue date, int firstWeekday)
{
    if (!date.IsValid())
        return 0;
    return WeeksSince(date, NthWeekdayOfMonth(date.GetYear(), 1, 1, firstWeekday));
}

int MonthWeek(CDateValue date, int firstWeekday)
{
    if (!date.IsValid())
        return 0;
    return WeeksSince(date, NthWeekdayOfMonth(date.GetYear(), date.GetMonth(), 1, firstWeekday));
}
