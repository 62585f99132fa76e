#include "datecore/Clock.h"

#include "datecore/DateValue.h"
#include "datecore/FloorDivision.h"
#include "platform/base/CString.h"

#include <ctime>
#include <mutex>
#include <string>

namespace {

// Day number of 1 January 1970.
constexpr std::int32_t kUnixEpochDayNumber = 141427;

struct FixedClock {
    std::int64_t utcSeconds;
    TIME_ZONE_INFORMATION zone;
};
std::mutex g_lock;
std::optional<FixedClock> g_fixed;

std::optional<FixedClock> Fixed()
{
    std::lock_guard guard(g_lock);
    return g_fixed;
}

void CopyName(WCHAR (&target)[32], const char* name)
{
    std::wstring wide = name ? NarrowToWide(name) : std::wstring();
    std::size_t n = wide.size() < 31 ? wide.size() : 31;
    wide.copy(target, n);
    target[n] = 0;
}

// The local moment (in seconds since 1970 on the local clock) of a transition rule in a year.
std::optional<std::int64_t> RuleMoment(const SYSTEMTIME& rule, int year)
{
    if (rule.wMonth < 1 || rule.wMonth > 12) return std::nullopt;
    int day = rule.wDay;
    if (rule.wYear == 0) {
        // The wDay-th (5 = last) weekday wDayOfWeek of the month.
        CDateValue first(year, rule.wMonth, 1);
        if (!first.IsValid()) return std::nullopt;
        int firstWeekday = first.GetDayOfWeek() - 1;
        day = 1 + (rule.wDayOfWeek - firstWeekday + 7) % 7 + 7 * ((rule.wDay < 1 ? 1 : rule.wDay > 5 ? 5 : rule.wDay) - 1);
        while (day > DaysInMonth(year, rule.wMonth)) day -= 7;
    }
    CDateValue date(year, rule.wMonth, static_cast<std::uint16_t>(day));
    if (!date.IsValid()) return std::nullopt;
    return (static_cast<std::int64_t>(date.GetDayNumber()) - kUnixEpochDayNumber) * kSecondsPerDay + rule.wHour * 3600 + rule.wMinute * 60 + rule.wSecond;
}

bool HasDaylightTime(const TIME_ZONE_INFORMATION& zone) { return zone.DaylightDate.wMonth != 0 && zone.StandardDate.wMonth != 0; }

bool IsDaylightAt(const TIME_ZONE_INFORMATION& zone, std::int64_t utcSeconds)
{
    if (!HasDaylightTime(zone)) return false;
    int year = UnixSecondsToSystemTime(utcSeconds - zone.Bias * 60LL).wYear;
    auto daylightStart = RuleMoment(zone.DaylightDate, year);
    auto standardStart = RuleMoment(zone.StandardDate, year);
    if (!daylightStart || !standardStart) return false;
    // Each rule is written in the local time in force before it.
    std::int64_t d = *daylightStart + (zone.Bias + zone.StandardBias) * 60LL;
    std::int64_t s = *standardStart + (zone.Bias + zone.DaylightBias) * 60LL;
    return d < s ? (utcSeconds >= d && utcSeconds < s) : (utcSeconds >= d || utcSeconds < s);
}

LONG BiasAt(const TIME_ZONE_INFORMATION& zone, std::int64_t utcSeconds)
{
    return zone.Bias + (IsDaylightAt(zone, utcSeconds) ? zone.DaylightBias : zone.StandardBias);
}

std::int64_t SystemNow(int* milliseconds = nullptr)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    if (milliseconds) *milliseconds = static_cast<int>(now.tv_nsec / 1000000);
    return now.tv_sec;
}

// The transition of the system zone's daylight flag in (from, from + step], to the second.
std::int64_t FindFlip(std::int64_t from, std::int64_t to)
{
    auto isDst = [](std::int64_t t) {
        time_t value = static_cast<time_t>(t);
        tm broken{};
        localtime_r(&value, &broken);
        return broken.tm_isdst > 0;
    };
    bool start = isDst(from);
    while (to - from > 1) {
        std::int64_t middle = from + (to - from) / 2;
        (isDst(middle) == start ? from : to) = middle;
    }
    return to;
}

SYSTEMTIME RuleOf(std::int64_t localSeconds)
{
    SYSTEMTIME local = UnixSecondsToSystemTime(localSeconds);
    SYSTEMTIME rule;
    rule.wMonth = local.wMonth;
    rule.wDayOfWeek = local.wDayOfWeek;
    rule.wDay = static_cast<WORD>(local.wDay + 7 > DaysInMonth(local.wYear, local.wMonth) ? 5 : (local.wDay - 1) / 7 + 1);
    rule.wHour = local.wHour;
    rule.wMinute = local.wMinute;
    rule.wSecond = local.wSecond;
    return rule;
}

// The system zone, described by the transitions of the current year.
TIME_ZONE_INFORMATION SystemZone()
{
    TIME_ZONE_INFORMATION zone;
    time_t now = static_cast<time_t>(SystemNow());
    tm today{};
    localtime_r(&now, &today);
    std::int64_t yearStart = *SystemTimeToUnixSeconds(SYSTEMTIME{static_cast<WORD>(today.tm_year + 1900), 1, 0, 1, 0, 0, 0, 0});
    long standardOffset = today.tm_gmtoff, daylightOffset = today.tm_gmtoff;
    const char* standardName = today.tm_zone;
    const char* daylightName = today.tm_zone;
    std::optional<std::int64_t> daylightStart, standardStart;
    bool previous = false;
    for (std::int64_t t = yearStart; t < yearStart + 366 * kSecondsPerDay; t += kSecondsPerDay) {
        time_t value = static_cast<time_t>(t);
        tm broken{};
        localtime_r(&value, &broken);
        bool dst = broken.tm_isdst > 0;
        (dst ? daylightOffset : standardOffset) = broken.tm_gmtoff;
        (dst ? daylightName : standardName) = broken.tm_zone;
        if (t != yearStart && dst != previous) (dst ? daylightStart : standardStart) = FindFlip(t - kSecondsPerDay, t);
        previous = dst;
    }
    zone.Bias = static_cast<LONG>(-standardOffset / 60);
    CopyName(zone.StandardName, standardName);
    CopyName(zone.DaylightName, daylightName);
    if (daylightStart && standardStart) {
        zone.DaylightBias = static_cast<LONG>(-(daylightOffset - standardOffset) / 60);
        zone.DaylightDate = RuleOf(*daylightStart + standardOffset);
        zone.StandardDate = RuleOf(*standardStart + daylightOffset);
    }
    return zone;
}

bool IsValidTime(const SYSTEMTIME& time)
{
    return time.wMonth >= 1 && time.wMonth <= 12 && time.wDay >= 1 && time.wDay <= DaysInMonth(time.wYear, time.wMonth) &&
           time.wHour < 24 && time.wMinute < 60 && time.wSecond < 60 && time.wMilliseconds < 1000;
}

}

std::optional<std::int64_t> SystemTimeToUnixSeconds(const SYSTEMTIME& time)
{
    if (!IsValidTime(time)) return std::nullopt;
    std::int32_t dayNumber;
    if (!DayNumberFromDate(time.wYear, time.wMonth, time.wDay, dayNumber)) return std::nullopt;
    return (static_cast<std::int64_t>(dayNumber) - kUnixEpochDayNumber) * kSecondsPerDay + time.wHour * 3600 + time.wMinute * 60 + time.wSecond;
}

SYSTEMTIME UnixSecondsToSystemTime(std::int64_t seconds, int milliseconds)
{
    SYSTEMTIME time;
    std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
    std::int64_t rest = seconds - days * kSecondsPerDay;
    std::int64_t dayNumber = days + kUnixEpochDayNumber;
    if (dayNumber <= INT32_MIN || dayNumber > INT32_MAX) return time;
    CalendarDate date = DateFromDayNumber(static_cast<std::int32_t>(dayNumber));
    if (date.year < 0 || date.year > 65535) return time;
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = date.month;
    time.wDay = date.day;
    time.wDayOfWeek = static_cast<WORD>(date.weekday - 1);
    time.wHour = static_cast<WORD>(rest / 3600);
    time.wMinute = static_cast<WORD>(rest % 3600 / 60);
    time.wSecond = static_cast<WORD>(rest % 60);
    time.wMilliseconds = static_cast<WORD>(milliseconds);
    return time;
}

void GetSystemTime(SYSTEMTIME* utc)
{
    if (!utc) return;
    if (auto fixed = Fixed()) {
        *utc = UnixSecondsToSystemTime(fixed->utcSeconds);
        return;
    }
    int milliseconds = 0;
    std::int64_t now = SystemNow(&milliseconds);
    *utc = UnixSecondsToSystemTime(now, milliseconds);
}

void GetLocalTime(SYSTEMTIME* local)
{
    if (!local) return;
    SYSTEMTIME utc;
    GetSystemTime(&utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, local);
}

DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* zone)
{
    if (!zone) return TIME_ZONE_ID_INVALID;
    auto fixed = Fixed();
    *zone = fixed ? fixed->zone : SystemZone();
    if (!HasDaylightTime(*zone)) return TIME_ZONE_ID_UNKNOWN;
    std::int64_t now = fixed ? fixed->utcSeconds : SystemNow();
    return IsDaylightAt(*zone, now) ? TIME_ZONE_ID_DAYLIGHT : TIME_ZONE_ID_STANDARD;
}

BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* utc, SYSTEMTIME* local)
{
    if (!utc || !local) return FALSE;
    auto seconds = SystemTimeToUnixSeconds(*utc);
    if (!seconds) return FALSE;
    std::optional<FixedClock> fixed = zone ? std::nullopt : Fixed();
    if (!zone && !fixed) {
        time_t value = static_cast<time_t>(*seconds);
        tm broken{};
        if (!localtime_r(&value, &broken)) return FALSE;
        *local = UnixSecondsToSystemTime(*seconds + broken.tm_gmtoff, utc->wMilliseconds);
    } else {
        const TIME_ZONE_INFORMATION& rules = zone ? *zone : fixed->zone;
        *local = UnixSecondsToSystemTime(*seconds - BiasAt(rules, *seconds) * 60LL, utc->wMilliseconds);
    }
    return local->wMonth != 0;
}

BOOL TzSpecificLocalTimeToSystemTime(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* local, SYSTEMTIME* utc)
{
    if (!local || !utc) return FALSE;
    auto seconds = SystemTimeToUnixSeconds(*local);
    if (!seconds) return FALSE;
    std::optional<FixedClock> fixed = zone ? std::nullopt : Fixed();
    if (!zone && !fixed) {
        tm broken{};
        broken.tm_year = local->wYear - 1900;
        broken.tm_mon = local->wMonth - 1;
        broken.tm_mday = local->wDay;
        broken.tm_hour = local->wHour;
        broken.tm_min = local->wMinute;
        broken.tm_sec = local->wSecond;
        broken.tm_isdst = -1;
        time_t value = mktime(&broken);
        if (value == static_cast<time_t>(-1) && broken.tm_year != 69) return FALSE;
        *utc = UnixSecondsToSystemTime(value, local->wMilliseconds);
    } else {
        const TIME_ZONE_INFORMATION& rules = zone ? *zone : fixed->zone;
        std::int64_t standard = *seconds + (rules.Bias + rules.StandardBias) * 60LL;
        std::int64_t daylight = *seconds + (rules.Bias + rules.DaylightBias) * 60LL;
        *utc = UnixSecondsToSystemTime(IsDaylightAt(rules, daylight) ? daylight : standard, local->wMilliseconds);
    }
    return utc->wMonth != 0;
}

ScopedFixedClock::ScopedFixedClock(std::int64_t utcUnixSeconds, const TIME_ZONE_INFORMATION& zone)
{
    std::lock_guard guard(g_lock);
    if (g_fixed) m_previous = State{g_fixed->utcSeconds, g_fixed->zone};
    g_fixed = FixedClock{utcUnixSeconds, zone};
}

ScopedFixedClock::~ScopedFixedClock()
{
    std::lock_guard guard(g_lock);
    if (m_previous)
        g_fixed = FixedClock{m_previous->utcSeconds, m_previous->zone};
    else
        g_fixed.reset();
}

void ScopedFixedClock::Advance(std::int64_t seconds)
{
    std::lock_guard guard(g_lock);
    if (g_fixed) g_fixed->utcSeconds += seconds;
}

TIME_ZONE_INFORMATION FixedOffsetZone(int minutesEastOfUtc)
{
    TIME_ZONE_INFORMATION zone;
    zone.Bias = -minutesEastOfUtc;
    return zone;
}

TIME_ZONE_INFORMATION CentralEuropeanZone()
{
    TIME_ZONE_INFORMATION zone;
    zone.Bias = -60;
    CopyName(zone.StandardName, "CET");
    CopyName(zone.DaylightName, "CEST");
    zone.DaylightBias = -60;
    zone.DaylightDate = SYSTEMTIME{0, 3, 0, 5, 2, 0, 0, 0};
    zone.StandardDate = SYSTEMTIME{0, 10, 0, 5, 3, 0, 0, 0};
    return zone;
}
