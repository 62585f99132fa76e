#include "datecore/DateLocale.h"

#include "datecore/DateValue.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdint>
#include <mutex>

namespace {

constexpr std::array<const wchar_t*, 7> kDayNames = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};
constexpr std::array<const wchar_t*, 12> kMonthNames = {L"January", L"February", L"March", L"April", L"May", L"June",
                                                        L"July", L"August", L"September", L"October", L"November", L"December"};

std::mutex g_lock;
std::optional<DateLocale> g_fixed;
std::optional<DateLocale> g_environment;

// The strftime code at position i of a pattern (after "%" and an optional "-" or "#"), or 0.
struct Code {
    wchar_t letter = 0;
    bool dropZeros = false;
    int length = 0;  // characters taken, "%" included
};
Code CodeAt(const CString& pattern, int i)
{
    if (pattern[i] != L'%' || i + 1 >= pattern.GetLength()) return {};
    int j = i + 1;
    bool dropZeros = pattern[j] == L'-' || pattern[j] == L'#';
    if (dropZeros && ++j >= pattern.GetLength()) return {};
    return {pattern[j], dropZeros, j - i + 1};
}

CString Number(int value, bool dropZeros)
{
    CString text;
    text.Format(dropZeros ? L"%d" : L"%02d", value);
    return text;
}

}

DateLocale DateLocale::Default()
{
    DateLocale locale;
    for (int i = 0; i < 7; ++i) {
        locale.dayNames[i] = kDayNames[i];
        locale.abbreviatedDayNames[i] = CString(kDayNames[i]).Left(3);
    }
    for (int i = 0; i < 12; ++i) {
        locale.monthNames[i] = kMonthNames[i];
        locale.abbreviatedMonthNames[i] = CString(kMonthNames[i]).Left(3);
    }
    return locale;
}

DateLocale DateLocale::UnitedStates()
{
    DateLocale locale = Default();
    locale.shortDatePattern = L"%m/%d/%Y";
    locale.longDatePattern = L"%A, %B %e, %Y";
    locale.timePattern = L"%I:%M:%S %p";
    locale.firstDayOfWeek = 1;
    return locale;
}

DateLocale DateLocale::FromEnvironment()
{
    DateLocale result = Default();
    locale_t handle = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (!handle) return result;
    auto text = [handle](nl_item item) { return CString(NarrowToWide(nl_langinfo_l(item, handle))); };
    for (int i = 0; i < 7; ++i) {
        result.dayNames[i] = text(DAY_1 + i);
        result.abbreviatedDayNames[i] = text(ABDAY_1 + i);
    }
    for (int i = 0; i < 12; ++i) {
        result.monthNames[i] = text(MON_1 + i);
        result.abbreviatedMonthNames[i] = text(ABMON_1 + i);
    }
    if (CString date = text(D_FMT); !date.IsEmpty()) result.shortDatePattern = date;
    if (CString time = text(T_FMT); !time.IsEmpty()) result.timePattern = time;
    result.amSymbol = text(AM_STR);
    result.pmSymbol = text(PM_STR);
    // LC_TIME has no long date form of its own: it is built from the order of the short one.
    static constexpr const wchar_t* kLongForms[] = {L"%A, %B %e, %Y", L"%A, %e %B %Y", L"%Y %B %e, %A"};
    result.longDatePattern = kLongForms[result.DateOrder()];
    // The first weekday counts from the locale's reference day (19971130 is a Sunday, 19971201 a Monday).
    auto referenceDay = static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(nl_langinfo_l(_NL_TIME_WEEK_1STDAY, handle)));
    int referenceWeekday = referenceDay == 19971201 ? 2 : 1;
    int firstWeekday = *nl_langinfo_l(_NL_TIME_FIRST_WEEKDAY, handle);
    if (firstWeekday >= 1 && firstWeekday <= 7) result.firstDayOfWeek = (referenceWeekday - 1 + firstWeekday - 1) % 7 + 1;
    freelocale(handle);
    return result;
}

int DateLocale::DateOrder() const
{
    int day = -1, month = -1, year = -1;
    for (int i = 0; i < shortDatePattern.GetLength(); ++i) {
        switch (CodeAt(shortDatePattern, i).letter) {
        case L'd': case L'e': if (day < 0) day = i; break;
        case L'm': case L'b': case L'B': if (month < 0) month = i; break;
        case L'y': case L'Y': if (year < 0) year = i; break;
        default: break;
        }
    }
    if (year >= 0 && year < month && year < day) return 2;
    if (month >= 0 && day >= 0 && month < day) return 0;
    return 1;
}

CString DateLocale::DateSeparator() const
{
    // The text between the first two fields.
    for (int i = 0; i < shortDatePattern.GetLength(); ++i) {
        Code code = CodeAt(shortDatePattern, i);
        if (!code.letter) continue;
        int start = i + code.length;
        int end = shortDatePattern.Find(L'%', start);
        if (end > start) return shortDatePattern.Mid(start, end - start);
        break;
    }
    return L"/";
}

namespace {
bool HasCode(const CString& pattern, wchar_t letter, bool dropZeros)
{
    for (int i = 0; i < pattern.GetLength(); ++i) {
        Code code = CodeAt(pattern, i);
        if (code.letter == letter && code.dropZeros == dropZeros) return true;
    }
    return false;
}
}

bool DateLocale::DayLeadingZero() const { return HasCode(shortDatePattern, L'd', false); }
bool DateLocale::MonthLeadingZero() const { return HasCode(shortDatePattern, L'm', false); }
bool DateLocale::FourDigitYear() const { return !HasCode(shortDatePattern, L'y', false) && !HasCode(shortDatePattern, L'y', true); }

CString DateLocale::FirstDayOfWeekSetting() const
{
    CString setting;
    setting.Format(L"%d", (firstDayOfWeek + 5) % 7);
    return setting;
}

CString DateLocale::Format(const CString& pattern, int year, int month, int day, int hour, int minute, int second) const
{
    CDateValue date(year, static_cast<std::uint16_t>(month), static_cast<std::uint16_t>(day));
    int weekday = date.IsValid() ? date.GetDayOfWeek() - 1 : 0;
    int monthIndex = month >= 1 && month <= 12 ? month - 1 : 0;
    CString out;
    for (int i = 0; i < pattern.GetLength();) {
        Code code = CodeAt(pattern, i);
        if (!code.letter) {
            out += pattern[i++];
            continue;
        }
        i += code.length;
        bool drop = code.dropZeros;
        switch (code.letter) {
        case L'd': out += Number(day, drop); break;
        case L'e': out += Number(day, true); break;
        case L'm': out += Number(month, drop); break;
        case L'y': out += Number((year < 0 ? -year : year) % 100, drop); break;
        case L'Y': out += Number(year, true); break;
        case L'A': out += dayNames[weekday]; break;
        case L'a': out += abbreviatedDayNames[weekday]; break;
        case L'B': out += monthNames[monthIndex]; break;
        case L'b': case L'h': out += abbreviatedMonthNames[monthIndex]; break;
        case L'H': out += Number(hour, drop); break;
        case L'I': out += Number(hour % 12 == 0 ? 12 : hour % 12, drop); break;
        case L'l': out += Number(hour % 12 == 0 ? 12 : hour % 12, true); break;
        case L'M': out += Number(minute, drop); break;
        case L'S': out += Number(second, drop); break;
        case L'p': out += hour < 12 ? amSymbol : pmSymbol; break;
        case L'%': out += L'%'; break;
        default: break;  // codes without a use in dates and times are dropped
        }
    }
    return out;
}

DateLocale CurrentDateLocale()
{
    std::lock_guard guard(g_lock);
    if (g_fixed) return *g_fixed;
    if (!g_environment) g_environment = DateLocale::FromEnvironment();
    return *g_environment;
}

ScopedDateLocale::ScopedDateLocale(DateLocale locale)
{
    std::lock_guard guard(g_lock);
    m_previous = std::move(g_fixed);
    g_fixed = std::move(locale);
}

ScopedDateLocale::~ScopedDateLocale()
{
    std::lock_guard guard(g_lock);
    g_fixed = std::move(m_previous);
}
