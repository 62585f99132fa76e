#pragma once
// Two ways of holding a date and time:
//  - CTime: seconds since 1 January 1970 UTC, shown in the local time zone; CTimeSpan: seconds.
//  - COleDateTime: days since 30 December 1899 00:00 as a double (the time of day in the fraction;
//    before that day the fraction still counts forward from midnight, so -1.25 is 29 December
//    1899 06:00), valid from 1 January 100 to 31 December 9999, with a status; COleDateTimeSpan:
//    days as a double. Parts of a COleDateTime are read to the nearest second.

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <concepts>
#include <cstdint>

using __time64_t = std::int64_t;
using DATE = double;

class CTimeSpan {
public:
    constexpr CTimeSpan() = default;
    constexpr CTimeSpan(__time64_t seconds) : m_seconds(seconds) {}
    constexpr CTimeSpan(LONG days, int hours, int minutes, int seconds)
        : m_seconds(((static_cast<__time64_t>(days) * 24 + hours) * 60 + minutes) * 60 + seconds)
    {
    }

    constexpr LONGLONG GetDays() const { return m_seconds / 86400; }
    constexpr LONGLONG GetTotalHours() const { return m_seconds / 3600; }
    constexpr LONG GetHours() const { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
    constexpr LONGLONG GetTotalMinutes() const { return m_seconds / 60; }
    constexpr LONG GetMinutes() const { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
    constexpr LONGLONG GetTotalSeconds() const { return m_seconds; }
    constexpr LONG GetSeconds() const { return static_cast<LONG>(m_seconds - GetTotalMinutes() * 60); }
    constexpr __time64_t GetTimeSpan() const { return m_seconds; }

    constexpr CTimeSpan operator+(CTimeSpan other) const { return m_seconds + other.m_seconds; }
    constexpr CTimeSpan operator-(CTimeSpan other) const { return m_seconds - other.m_seconds; }
    CTimeSpan& operator+=(CTimeSpan other) { m_seconds += other.m_seconds; return *this; }
    CTimeSpan& operator-=(CTimeSpan other) { m_seconds -= other.m_seconds; return *this; }
    constexpr auto operator<=>(const CTimeSpan&) const = default;

private:
    __time64_t m_seconds = 0;
};

class CTime {
public:
    constexpr CTime() = default;
    constexpr CTime(__time64_t seconds) : m_time(seconds) {}
    // A local date and time; dst is 1 for summer time, 0 for standard time, -1 to let the zone
    // decide. Out-of-range fields roll over (the 32nd of January is the 1st of February).
    CTime(int year, int month, int day, int hour, int minute, int second, int dst = -1);

    static CTime GetCurrentTime();

    constexpr __time64_t GetTime() const { return m_time; }
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;  // 1 = Sunday

    // strftime conversions (%Y %m %d %H %M %S %A %B %j %c %x %X %%...), in local time or in UTC.
    CString Format(LPCWSTR format) const;
    CString FormatGmt(LPCWSTR format) const;

    constexpr CTimeSpan operator-(CTime other) const { return m_time - other.m_time; }
    constexpr CTime operator+(CTimeSpan span) const { return m_time + span.GetTimeSpan(); }
    constexpr CTime operator-(CTimeSpan span) const { return m_time - span.GetTimeSpan(); }
    CTime& operator+=(CTimeSpan span) { m_time += span.GetTimeSpan(); return *this; }
    CTime& operator-=(CTimeSpan span) { m_time -= span.GetTimeSpan(); return *this; }
    constexpr auto operator<=>(const CTime&) const = default;

private:
    __time64_t m_time = 0;
};

class COleDateTimeSpan {
public:
    enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

    constexpr COleDateTimeSpan() = default;
    constexpr COleDateTimeSpan(double days) : m_span(days) {}
    COleDateTimeSpan(LONG days, int hours, int minutes, int seconds) { SetDateTimeSpan(days, hours, minutes, seconds); }

    void SetDateTimeSpan(LONG days, int hours, int minutes, int seconds);
    DateTimeSpanStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeSpanStatus status) { m_status = status; }

    double GetTotalDays() const { return m_span; }
    double GetTotalHours() const { return m_span * 24; }
    double GetTotalMinutes() const { return m_span * 24 * 60; }
    double GetTotalSeconds() const { return m_span * 24 * 60 * 60; }
    // The whole days and the hours (0..23), minutes and seconds of the rest, with the span's sign.
    LONG GetDays() const;
    LONG GetHours() const;
    LONG GetMinutes() const;
    LONG GetSeconds() const;

    COleDateTimeSpan operator+(const COleDateTimeSpan& other) const;
    COleDateTimeSpan operator-(const COleDateTimeSpan& other) const;
    COleDateTimeSpan operator-() const;
    COleDateTimeSpan& operator+=(const COleDateTimeSpan& other) { return *this = *this + other; }
    COleDateTimeSpan& operator-=(const COleDateTimeSpan& other) { return *this = *this - other; }
    bool operator==(const COleDateTimeSpan& other) const { return m_status == other.m_status && m_span == other.m_span; }
    bool operator<(const COleDateTimeSpan& other) const { return m_span < other.m_span; }
    bool operator>(const COleDateTimeSpan& other) const { return m_span > other.m_span; }
    bool operator<=(const COleDateTimeSpan& other) const { return m_span <= other.m_span; }
    bool operator>=(const COleDateTimeSpan& other) const { return m_span >= other.m_span; }

    double m_span = 0;
    DateTimeSpanStatus m_status = valid;

private:
    // The span's magnitude in whole seconds, rounded.
    LONGLONG AbsoluteSeconds() const;
};

class COleDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    constexpr COleDateTime() = default;
    constexpr COleDateTime(DATE value) : m_dt(value) {}
    COleDateTime(int year, int month, int day, int hour, int minute, int second)
    {
        SetDateTime(year, month, day, hour, minute, second);
    }
    // The local date and time of a count of seconds since 1970 (as CTime holds it).
    template <std::same_as<__time64_t> T>
    COleDateTime(T seconds)
    {
        SetFromTime(seconds);
    }

    // The local date and time now.
    static COleDateTime GetCurrentTime();

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }

    // Each returns 0 when the value is set, 1 (and the status invalid) when a field is out of range.
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);
    int SetDate(int year, int month, int day) { return SetDateTime(year, month, day, 0, 0, 0); }
    int SetTime(int hour, int minute, int second) { return SetDateTime(1899, 12, 30, hour, minute, second); }

    // The parts of a valid value; -1 (AFX_OLE_DATETIME_ERROR) for an invalid or null one.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;  // 1 = Sunday
    int GetDayOfYear() const;  // 1 = 1 January

    // strftime conversions of the value's parts (%Y %m %d %H %M %S %A %B %j %%...); empty text for an
    // invalid value, "" for a null one.
    CString Format(LPCWSTR format) const;

    explicit operator DATE() const { return m_dt; }

    COleDateTime operator+(const COleDateTimeSpan& span) const;
    COleDateTime operator-(const COleDateTimeSpan& span) const;
    COleDateTime& operator+=(const COleDateTimeSpan& span) { return *this = *this + span; }
    COleDateTime& operator-=(const COleDateTimeSpan& span) { return *this = *this - span; }
    COleDateTimeSpan operator-(const COleDateTime& other) const;

    // Comparisons go by the moment the values stand for (so -1.25 comes after -1.0).
    bool operator==(const COleDateTime& other) const { return m_status == other.m_status && m_dt == other.m_dt; }
    bool operator<(const COleDateTime& other) const;
    bool operator>(const COleDateTime& other) const { return other < *this; }
    bool operator<=(const COleDateTime& other) const { return !(other < *this); }
    bool operator>=(const COleDateTime& other) const { return !(*this < other); }

    DATE m_dt = 0;
    DateTimeStatus m_status = valid;

private:
    void SetFromTime(__time64_t seconds);
};

constexpr int AFX_OLE_DATETIME_ERROR = -1;
