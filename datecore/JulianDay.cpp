#include "datecore/JulianDay.h"

#include "datecore/DateValue.h"
#include "datecore/FloorDivision.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace {

// 15 October 1582, the first day of the Gregorian calendar.
constexpr std::int64_t kFirstGregorianDay = 2299161;
// Julian days whose year still fits an int, with a margin.
constexpr double kLargestJulianDay = 7.0e11;

int ReadInt(const CString& text) { return ReadLeadingInteger(text.view()); }

// One-character parts get a leading "0".
CString Padded(std::int64_t value)
{
    CString text;
    text.Format(L"%lld", static_cast<long long>(value));
    return text.GetLength() == 1 ? L"0" + text : text;
}

CString DateText(std::int64_t day, std::int64_t month, std::int64_t year)
{
    return Padded(day) + L"." + Padded(month) + L"." + Padded(year);
}

struct HistoricalDate {
    std::int64_t year;  // as in texts: no year 0
    int month;
    int day;
};

// The date whose noon is Julian day number n.
HistoricalDate DateOfDayNumber(std::int64_t n)
{
    std::int64_t c, d, e, m, year;
    if (n >= kFirstGregorianDay) {
        std::int64_t a = n + 32044;
        std::int64_t b = FloorDiv(4 * a + 3, 146097);
        c = a - FloorDiv(146097 * b, 4);
        d = FloorDiv(4 * c + 3, 1461);
        e = c - FloorDiv(1461 * d, 4);
        m = FloorDiv(5 * e + 2, 153);
        year = 100 * b + d - 4800 + m / 10;
    } else {
        c = n + 32082;
        d = FloorDiv(4 * c + 3, 1461);
        e = c - FloorDiv(1461 * d, 4);
        m = FloorDiv(5 * e + 2, 153);
        year = d - 4800 + m / 10;
    }
    int day = static_cast<int>(e - FloorDiv(153 * m + 2, 5) + 1);
    int month = static_cast<int>(m + 3 - 12 * (m / 10));
    return {year <= 0 ? year - 1 : year, month, day};
}

// A text of three parts, cut at the first and the last separator; both must exist apart.
struct ThreeParts {
    CString first, middle, last;
};
std::optional<ThreeParts> CutInThree(const CString& text, wchar_t separator)
{
    int first = text.Find(separator);
    int last = text.ReverseFind(separator);
    if (first < 0 || first == last) return std::nullopt;
    return ThreeParts{text.Left(first), text.Mid(first + 1, last - first - 1), text.Mid(last + 1)};
}

// Hours, minutes and seconds of a "h:m:s" text.
struct TimeParts {
    int hours, minutes, seconds;
};
std::optional<TimeParts> SplitTime(const CString& time)
{
    auto parts = CutInThree(time, L':');
    if (!parts) return std::nullopt;
    return TimeParts{ReadInt(parts->first), ReadInt(parts->middle), ReadInt(parts->last)};
}

// Collects the number before each occurrence of the unit letter; the last count is the result.
// As for spans, only the whole part of a number counts: 1.5W is one week.
int CountBeforeLetter(const CString& operand, wchar_t letter)
{
    CString digits;
    int count = -1;
    for (wchar_t ch : operand.view()) {
        if ((ch >= L'0' && ch <= L'9') || ch == L'.') {
            digits += ch;
        } else if (ch == letter) {
            count = ReadInt(digits);
            digits.Empty();
        }
    }
    return count;
}

std::int64_t ToSeconds(double days) { return std::llround(days * kSecondsPerDay); }

}

bool CJulianDay::IsLeapYear(int year)
{
    if (year > 1582) return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 0) return (year + 1) % 4 == 0;
    return year % 4 == 0;
}

int CJulianDay::MonthLength(int month, bool leapYear)
{
    static constexpr int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && leapYear ? 29 : kLengths[month - 1];
}

bool CJulianDay::IsValidDate(int year, int month, int day)
{
    if (year == 0 || month < 1 || month > 12 || day < 1) return false;
    if (year == 1582 && month == 10 && day >= 5 && day <= 14) return false;
    return day <= MonthLength(month, IsLeapYear(year));
}

bool CJulianDay::SplitDate(const CString& date, int& day, int& month, int& year)
{
    auto parts = CutInThree(date, L'.');
    if (!parts) return false;
    day = ReadInt(parts->first);
    month = ReadInt(parts->middle);
    year = ReadInt(parts->last);
    return IsValidDate(year, month, day);
}

double CJulianDay::DateToJulianDay(const CString& date)
{
    int day, month, year;
    if (!SplitDate(date, day, month, year)) return -1.0;
    bool gregorian = year > 1582 || (year == 1582 && (month > 10 || (month == 10 && day > 4)));
    std::int64_t y = year, m = month;
    if (m < 3) {
        m += 12;
        y -= 1;
    }
    if (y < 0) y += 1;  // no year 0 before 1 AD
    // floor(365.25 y) over whole four-year cycles, exact for every year.
    std::int64_t n = FloorDiv(1461 * y, 4) + (306001 * (m + 1)) / 10000 + day + 1720995;
    if (gregorian) {
        std::int64_t a = y / 100;
        n += 2 - a + a / 4;
    }
    return static_cast<double>(n);
}

double CJulianDay::TimeToDayFraction(const CString& time)
{
    CString text = time;
    // hh:mm and h:mm count as whole minutes.
    if ((text.GetLength() == 5 && text[2] == L':' && text.Find(L':', 3) < 0) ||
        (text.GetLength() == 4 && text[1] == L':' && text.Find(L':', 2) < 0))
        text += L":00";
    auto parts = SplitTime(text);
    if (!parts) return -1.0;
    auto [h, m, s] = *parts;
    if (h < 0 || m < 0 || s < 0 || h >= 24 || m >= 60 || s >= 60) return -1.0;
    return h / 24.0 + m / 1440.0 + s / 86400.0;
}

double CJulianDay::DateTimeToJulianDay(const CString& date, const CString& time)
{
    double t = TimeToDayFraction(time);
    if (t < 0) return -1.0;
    return DateToJulianDay(date) + t - 0.5;
}

CString CJulianDay::JulianDayToDate(double julianDay)
{
    if (!std::isfinite(julianDay) || std::fabs(julianDay) > kLargestJulianDay) return {};
    HistoricalDate date = DateOfDayNumber(static_cast<std::int64_t>(std::trunc(julianDay)));
    return DateText(date.day, date.month, date.year);
}

CString CJulianDay::JulianDayToTime(double dayFraction, bool unitForm)
{
    if (!std::isfinite(dayFraction) || std::fabs(dayFraction) > kLargestJulianDay) return {};
    double f = dayFraction < 0 ? dayFraction + 1 : dayFraction;
    double hours = 24 * f;
    std::int64_t h = static_cast<std::int64_t>(std::trunc(hours));
    double minutes = 60 * (hours - h);
    std::int64_t m = static_cast<std::int64_t>(std::trunc(minutes));
    std::int64_t s = static_cast<std::int64_t>(std::trunc(60 * (minutes - m) + 0.5));
    if (s > 59) {
        s -= 60;
        m += 1;
    }
    if (m > 59) {
        m -= 60;
        h += 1;
    }
    if (unitForm) return Padded(h) + L"h" + Padded(m) + L"m" + Padded(s) + L"s";
    return Padded(h) + L":" + Padded(m) + L":" + Padded(s);
}

bool CJulianDay::ConvertDateTime(CString& date, CString& time, const CString& input, double& julianDay)
{
    if (input.IsEmpty() && julianDay >= 0) {
        double whole = std::trunc(julianDay);
        double fraction = julianDay - whole;
        if (fraction >= 0.5) {
            date = JulianDayToDate(whole + 1);
            time = JulianDayToTime(fraction - 0.5);
        } else {
            date = JulianDayToDate(whole);
            time = JulianDayToTime(fraction + 0.5);
        }
        return false;
    }
    julianDay = DateToJulianDay(input);  // -1.0 unless the input is a date
    double fraction = TimeToDayFraction(input);
    if (julianDay >= 0) {
        date = JulianDayToDate(julianDay);
        return false;
    }
    if (fraction >= 0) {
        time = JulianDayToTime(fraction);
        return false;
    }
    return true;
}

bool CJulianDay::SplitDateTime(const CString& text, int& hours, int& minutes, int& seconds)
{
    int firstDot = text.Find(L'.');
    int lastDot = text.ReverseFind(L'.');
    CString timePart;
    if (firstDot < 0) {
        timePart = text;
    } else if (firstDot == lastDot) {
        return false;
    } else {
        int blank = text.Find(L' ');
        if (blank >= 0) timePart = text.Mid(blank + 1);
    }
    timePart.Trim();
    auto parts = SplitTime(timePart);
    if (!parts) return false;
    hours = parts->hours;
    minutes = parts->minutes;
    seconds = parts->seconds;
    return hours >= 0 && hours <= 24 && minutes >= 0 && minutes <= 59 && seconds >= 0 && seconds <= 59;
}

bool CJulianDay::ToMonthDayYear(CString& date)
{
    bool valid = IsValidDateText(date);
    // Cut at the dots rather than at fixed widths, so that 1.5.2000 becomes 5/1/2000.
    if (auto parts = CutInThree(date, L'.')) date = parts->middle + L"/" + parts->first + L"/" + parts->last;
    return valid;
}

double CJulianDay::ParseSpan(const CString& operand)
{
    CString number;
    double days = 0, hours = 0, minutes = 0, seconds = 0;
    bool unitSeen = false;
    for (wchar_t ch : operand.view()) {
        if ((ch >= L'0' && ch <= L'9') || ch == L'.') {
            number += ch;
            continue;
        }
        double* target = nullptr;
        switch (ch) {
        case L'd': target = &days; break;
        case L'h': target = &hours; break;
        case L'm': target = &minutes; break;
        case L's': target = &seconds; break;
        case L':': return -1.0;
        default: continue;
        }
        *target += ReadInt(number);  // the whole part: 1.5d counts one day
        number.Empty();
        unitSeen = true;
    }
    if (!unitSeen) return -1.0;
    return days + hours / 24 + minutes / 1440 + seconds / 86400;
}

int CJulianDay::ParseWeeks(const CString& operand) { return CountBeforeLetter(operand, L'W'); }

int CJulianDay::ParseYears(const CString& operand, const CString& date)
{
    return IsValidDateText(date) ? CountBeforeLetter(operand, L'Y') : -1;
}

int CJulianDay::ParseMonths(const CString& operand, const CString& date)
{
    return IsValidDateText(date) ? CountBeforeLetter(operand, L'M') : -1;
}

void CJulianDay::AddYears(CString& date, int years)
{
    int day, month, year;
    if (!SplitDate(date, day, month, year)) return;
    std::int64_t moved = static_cast<std::int64_t>(year) + years;
    // 29 February moved to a common year cannot be formed.
    bool valid = moved >= INT32_MIN && moved <= INT32_MAX && IsValidDate(static_cast<int>(moved), month, day);
    date = valid ? DateText(day, month, moved) : CString();
}

void CJulianDay::AddMonths(CString& date, int months)
{
    int day, month, year;
    if (!SplitDate(date, day, month, year)) return;
    std::int64_t m = static_cast<std::int64_t>(month) + months;
    std::int64_t y = year;
    if (m > 12 || m < 1) {
        y += m / 12;
        m %= 12;
    }
    if (m < 1) {
        m += 12;
        y -= 1;
    }
    if (y < INT32_MIN || y > INT32_MAX) {
        date.Empty();
        return;
    }
    int length = MonthLength(static_cast<int>(m), IsLeapYear(static_cast<int>(y)));
    std::int64_t clipped = day < length ? day : length;
    date = IsValidDate(static_cast<int>(y), static_cast<int>(m), static_cast<int>(clipped)) ? DateText(clipped, m, y) : CString();
}

bool CJulianDay::SwapDayMonth(CString& date)
{
    auto parts = CutInThree(date, L'.');
    if (!parts) return false;
    date = parts->middle + L"." + parts->first + L"." + parts->last;
    return IsValidDateText(date);
}

double CJulianDay::CombineOperands(CString date, CString time, CString operand, bool plus, bool monthFirst)
{
    if (monthFirst) {
        SwapDayMonth(date);
        SwapDayMonth(operand);
    }
    double dateDay = DateToJulianDay(date);
    double dayFraction = TimeToDayFraction(time);
    double span = ParseSpan(operand);
    int weeks = ParseWeeks(operand);
    int years = ParseYears(operand, date);
    int months = ParseMonths(operand, date);

    if (span >= 0 || weeks >= 0) {
        if (dateDay < 0 || dayFraction < 0) return -1.0;
        double days = weeks >= 0 ? 7.0 * weeks : span;
        if (days > kLargestJulianDay) return -1.0;  // beyond every date, and beyond counting in seconds
        if (!plus) days = -days;
        // Whole seconds, so that 08:00:00 + 16h lands on midnight and not on 24:00:00.
        std::int64_t seconds = ToSeconds(dayFraction) + ToSeconds(days);
        std::int64_t wholeDays = FloorDiv(seconds, kSecondsPerDay);
        std::int64_t rest = seconds - wholeDays * kSecondsPerDay;
        CString movedDate = JulianDayToDate(dateDay + static_cast<double>(wholeDays));
        CString movedTime = JulianDayToTime(static_cast<double>(rest) / kSecondsPerDay);
        return DateTimeToJulianDay(movedDate, movedTime);
    }
    if (years >= 0 || months >= 0) {
        int n = years >= 0 ? years : months;
        if (!plus) n = -n;
        if (years >= 0)
            AddYears(date, n);
        else
            AddMonths(date, n);
        return DateTimeToJulianDay(date, time);
    }
    double operandDay = DateToJulianDay(operand);
    if (operandDay >= 0) return dateDay < 0 ? -1.0 : std::fabs(operandDay - dateDay);
    double operandFraction = TimeToDayFraction(operand);
    if (operandFraction >= 0) return dayFraction < 0 ? -1.0 : std::fabs(operandFraction - dayFraction);
    return -1.0;
}
