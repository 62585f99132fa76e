#include "platform/base/Time.h"

#include <cmath>
#include <ctime>
#include <cwchar>

namespace {

constexpr LONGLONG kSecondsPerDay = 86400;
// The valid range on the straight line of ToLinear: a DATE before 1899 counts its time of day
// away from its negative day, so the raw value of 1 January 100, 12:00 lies below the first one.
constexpr double kMinDate = -657434.0;  // 1 January 100
constexpr double kMaxDate = 2958465.99999;  // 31 December 9999, 23:59:59

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar, and back.
LONGLONG DaysFromCivil(LONGLONG year, int month, int day)
{
    year -= month <= 2;
    LONGLONG era = (year >= 0 ? year : year - 399) / 400;
    LONGLONG yearOfEra = year - era * 400;
    LONGLONG dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    LONGLONG dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

struct CivilDate {
    LONGLONG year;
    int month;
    int day;
};

CivilDate CivilFromDays(LONGLONG days)
{
    days += 719468;
    LONGLONG era = (days >= 0 ? days : days - 146096) / 146097;
    LONGLONG dayOfEra = days - era * 146097;
    LONGLONG yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    LONGLONG dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    LONGLONG shiftedMonth = (5 * dayOfYear + 2) / 153;
    int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    return { yearOfEra + era * 400 + (month <= 2), month, day };
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static constexpr int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

const LONGLONG kOleEpochDays = DaysFromCivil(1899, 12, 30);

// A DATE as a count of days on a straight line (so that -1.25 becomes -0.75), and back.
double ToLinear(DATE value)
{
    double whole = std::trunc(value);
    return value >= 0 ? value : whole - (value - whole);
}

DATE FromLinear(double linear)
{
    if (linear >= 0) return linear;
    double day = std::floor(linear);
    double fraction = linear - day;
    return fraction == 0 ? day : day - fraction;
}

bool InRange(DATE value)
{
    const double linear = ToLinear(value);
    return linear >= kMinDate && linear <= kMaxDate;
}

struct Parts {
    int year, month, day, hour, minute, second, dayOfWeek, dayOfYear;
};

// The parts of a DATE, rounded to the nearest second; false outside the valid range.
bool SplitDate(DATE value, Parts& parts)
{
    if (!InRange(value)) return false;
    LONGLONG totalSeconds = std::llround(ToLinear(value) * kSecondsPerDay);
    LONGLONG days = totalSeconds >= 0 ? totalSeconds / kSecondsPerDay : -((-totalSeconds + kSecondsPerDay - 1) / kSecondsPerDay);
    LONGLONG secondOfDay = totalSeconds - days * kSecondsPerDay;
    CivilDate date = CivilFromDays(kOleEpochDays + days);
    parts.year = static_cast<int>(date.year);
    parts.month = date.month;
    parts.day = date.day;
    parts.hour = static_cast<int>(secondOfDay / 3600);
    parts.minute = static_cast<int>(secondOfDay / 60 % 60);
    parts.second = static_cast<int>(secondOfDay % 60);
    LONGLONG unixDays = kOleEpochDays + days;  // 1970-01-01 was a Thursday
    parts.dayOfWeek = static_cast<int>(((unixDays + 4) % 7 + 7) % 7) + 1;
    parts.dayOfYear = static_cast<int>(unixDays - DaysFromCivil(date.year, 1, 1)) + 1;
    return true;
}

CString FormatTm(const std::tm& time, LPCWSTR format)
{
    if (!format || !*format) return CString();
    std::wstring buffer(256, L'\0');
    for (;;) {
        size_t length = std::wcsftime(buffer.data(), buffer.size(), format, &time);
        if (length > 0 || buffer.size() > 65536) return CString(buffer.substr(0, length));
        buffer.resize(buffer.size() * 4);  // 0 means too small, or an empty result; try a little more
    }
}

std::tm LocalTm(__time64_t seconds)
{
    std::time_t value = static_cast<std::time_t>(seconds);
    std::tm parts {};
    localtime_r(&value, &parts);
    return parts;
}

} // namespace

// ---- CTime ----

CTime::CTime(int year, int month, int day, int hour, int minute, int second, int dst)
{
    std::tm parts {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    parts.tm_isdst = dst < 0 ? -1 : (dst > 0);
    m_time = std::mktime(&parts);
}

CTime CTime::GetCurrentTime() { return CTime(static_cast<__time64_t>(std::time(nullptr))); }

int CTime::GetYear() const { return LocalTm(m_time).tm_year + 1900; }
int CTime::GetMonth() const { return LocalTm(m_time).tm_mon + 1; }
int CTime::GetDay() const { return LocalTm(m_time).tm_mday; }
int CTime::GetHour() const { return LocalTm(m_time).tm_hour; }
int CTime::GetMinute() const { return LocalTm(m_time).tm_min; }
int CTime::GetSecond() const { return LocalTm(m_time).tm_sec; }
int CTime::GetDayOfWeek() const { return LocalTm(m_time).tm_wday + 1; }

CString CTime::Format(LPCWSTR format) const { return FormatTm(LocalTm(m_time), format); }

CString CTime::FormatGmt(LPCWSTR format) const
{
    std::time_t value = static_cast<std::time_t>(m_time);
    std::tm parts {};
    gmtime_r(&value, &parts);
    return FormatTm(parts, format);
}

// ---- COleDateTimeSpan ----

void COleDateTimeSpan::SetDateTimeSpan(LONG days, int hours, int minutes, int seconds)
{
    m_span = days + (hours + (minutes + seconds / 60.0) / 60.0) / 24.0;
    m_status = valid;
}

LONGLONG COleDateTimeSpan::AbsoluteSeconds() const { return std::llround(std::fabs(m_span) * kSecondsPerDay); }

LONG COleDateTimeSpan::GetDays() const
{
    LONGLONG days = AbsoluteSeconds() / kSecondsPerDay;
    return static_cast<LONG>(m_span < 0 ? -days : days);
}

LONG COleDateTimeSpan::GetHours() const
{
    LONG hours = static_cast<LONG>(AbsoluteSeconds() % kSecondsPerDay / 3600);
    return m_span < 0 ? -hours : hours;
}

LONG COleDateTimeSpan::GetMinutes() const
{
    LONG minutes = static_cast<LONG>(AbsoluteSeconds() % 3600 / 60);
    return m_span < 0 ? -minutes : minutes;
}

LONG COleDateTimeSpan::GetSeconds() const
{
    LONG seconds = static_cast<LONG>(AbsoluteSeconds() % 60);
    return m_span < 0 ? -seconds : seconds;
}

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& other) const
{
    COleDateTimeSpan result(m_span + other.m_span);
    if (m_status != valid || other.m_status != valid)
        result.m_status = (m_status == invalid || other.m_status == invalid) ? invalid : null;
    return result;
}

COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& other) const { return *this + (-other); }

COleDateTimeSpan COleDateTimeSpan::operator-() const
{
    COleDateTimeSpan result(-m_span);
    result.m_status = m_status;
    return result;
}

// ---- COleDateTime ----

COleDateTime COleDateTime::GetCurrentTime() { return COleDateTime(static_cast<__time64_t>(std::time(nullptr))); }

void COleDateTime::SetFromTime(__time64_t seconds)
{
    std::tm parts = LocalTm(seconds);
    SetDateTime(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
}

int COleDateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second)
{
    bool ok = year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) &&
              hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
    if (!ok) {
        m_dt = 0;
        m_status = invalid;
        return 1;
    }
    double days = static_cast<double>(DaysFromCivil(year, month, day) - kOleEpochDays);
    double time = (hour * 3600 + minute * 60 + second) / static_cast<double>(kSecondsPerDay);
    m_dt = days >= 0 ? days + time : days - time;
    m_status = valid;
    return 0;
}

#define FLN_OLE_PART(name, field) \
    int COleDateTime::name() const \
    { \
        Parts parts; \
        return m_status == valid && SplitDate(m_dt, parts) ? parts.field : AFX_OLE_DATETIME_ERROR; \
    }
FLN_OLE_PART(GetYear, year)
FLN_OLE_PART(GetMonth, month)
FLN_OLE_PART(GetDay, day)
FLN_OLE_PART(GetHour, hour)
FLN_OLE_PART(GetMinute, minute)
FLN_OLE_PART(GetSecond, second)
FLN_OLE_PART(GetDayOfWeek, dayOfWeek)
FLN_OLE_PART(GetDayOfYear, dayOfYear)
#undef FLN_OLE_PART

CString COleDateTime::Format(LPCWSTR format) const
{
    Parts parts;
    if (m_status != valid || !SplitDate(m_dt, parts)) return CString();
    std::tm time {};
    time.tm_year = parts.year - 1900;
    time.tm_mon = parts.month - 1;
    time.tm_mday = parts.day;
    time.tm_hour = parts.hour;
    time.tm_min = parts.minute;
    time.tm_sec = parts.second;
    time.tm_wday = parts.dayOfWeek - 1;
    time.tm_yday = parts.dayOfYear - 1;
    time.tm_isdst = -1;
    return FormatTm(time, format);
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& span) const
{
    COleDateTime result;
    if (m_status != valid || span.m_status != COleDateTimeSpan::valid) {
        result.m_status = (m_status == invalid || span.m_status == COleDateTimeSpan::invalid) ? invalid : null;
        return result;
    }
    result.m_dt = FromLinear(ToLinear(m_dt) + span.m_span);
    if (!InRange(result.m_dt)) result = COleDateTime(), result.m_status = invalid;
    return result;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& span) const { return *this + (-span); }

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& other) const
{
    COleDateTimeSpan result(ToLinear(m_dt) - ToLinear(other.m_dt));
    if (m_status != valid || other.m_status != valid)
        result.m_status = (m_status == invalid || other.m_status == invalid) ? COleDateTimeSpan::invalid : COleDateTimeSpan::null;
    return result;
}

bool COleDateTime::operator<(const COleDateTime& other) const { return ToLinear(m_dt) < ToLinear(other.m_dt); }
