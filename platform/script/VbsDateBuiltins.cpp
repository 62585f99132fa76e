// The date and time functions of the script language.

#include "platform/script/VbsBuiltinSupport.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <sys/time.h>

namespace vbs::builtins {
namespace {

const wchar_t* const kMonthNames[] = {L"January", L"February", L"March", L"April", L"May", L"June", L"July",
                                      L"August", L"September", L"October", L"November", L"December"};
const wchar_t* const kDayNames[] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday", L"Thursday", L"Friday", L"Saturday"};

Var FormatDateTime(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    DATE date = ToDate(a[0]);
    LONG format = Whole(a, 1, 0);
    DateParts p = DateToParts(date);
    wchar_t buffer[128];
    switch (format) {
    case 0: return Var::Text(FormatDateText(date));
    case 1:
        std::swprintf(buffer, 128, L"%ls, %ls %d, %d", kDayNames[p.dayOfWeek - 1], kMonthNames[p.month - 1], p.day, p.year);
        return Var::Text(buffer);
    case 2:
        std::swprintf(buffer, 128, L"%d/%d/%d", p.month, p.day, p.year);
        return Var::Text(buffer);
    case 3: {
        int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
        std::swprintf(buffer, 128, L"%d:%02d:%02d %ls", hour12, p.minute, p.second, p.hour < 12 ? L"AM" : L"PM");
        return Var::Text(buffer);
    }
    case 4:
        std::swprintf(buffer, 128, L"%02d:%02d", p.hour, p.minute);
        return Var::Text(buffer);
    default:
        Throw(kInvalidProcedureCall);
    }
}

// ---- dates ----

DATE NowValue()
{
    timeval tv;
    gettimeofday(&tv, nullptr);
    time_t t = tv.tv_sec;
    tm local;
    localtime_r(&t, &local);
    DATE d = 0;
    DateFromParts(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, d);
    return d;
}

Var Now(Interpreter&, const Args&) { return Var::Date(NowValue()); }
Var DateNow(Interpreter&, const Args&) { return Var::Date(std::floor(NowValue())); }
Var TimeNow(Interpreter&, const Args&)
{
    DATE d = NowValue();
    return Var::Date(d - std::floor(d));
}
Var TimerNow(Interpreter&, const Args&)
{
    Var r;
    r.v.vt = VT_R4;
    r.v.fltVal = SecondsSinceMidnight();
    return r;
}

template<int DateParts::*Field>
Var DatePartOf(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    DateParts p = DateToParts(ToDate(a[0]));
    return Var::Int(static_cast<SHORT>(p.*Field));
}

int FirstDay(const Args& a, size_t i)
{
    LONG first = Whole(a, i, 1);
    if (first < 0 || first > 7)
        Throw(kInvalidProcedureCall);
    return first == 0 ? 1 : first;
}

Var Weekday(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    int first = FirstDay(a, 1);
    DateParts p = DateToParts(ToDate(a[0]));
    return Var::Int(static_cast<SHORT>((p.dayOfWeek - first + 7) % 7 + 1));
}

Var WeekdayName(Interpreter&, const Args& a)
{
    LONG n = ToLong(a[0]);
    bool abbreviate = a.Has(1) && ToBool(a[1]);
    int first = FirstDay(a, 2);
    if (n < 1 || n > 7)
        Throw(kInvalidProcedureCall);
    std::wstring name = kDayNames[(n - 1 + first - 1) % 7];
    return Var::Text(abbreviate ? name.substr(0, 3) : name);
}

Var MonthName(Interpreter&, const Args& a)
{
    LONG n = ToLong(a[0]);
    bool abbreviate = a.Has(1) && ToBool(a[1]);
    if (n < 1 || n > 12)
        Throw(kInvalidProcedureCall);
    std::wstring name = kMonthNames[n - 1];
    return Var::Text(abbreviate ? name.substr(0, 3) : name);
}

// DateSerial and TimeSerial take Integers: halves round to even, beyond -32768..32767 is an
// overflow, Null is invalid; a part past its range carries into the next larger one.
Var DateSerial(Interpreter&, const Args& a)
{
    int year = ToInteger(a[0]), month = ToInteger(a[1]), day = ToInteger(a[2]);
    if (year >= 0 && year < 30)
        year += 2000;
    else if (year >= 30 && year < 100)
        year += 1900;
    DATE date;
    if (!DateFromParts(year, month, day, 0, 0, 0, date))
        Throw(kInvalidProcedureCall);
    return Var::Date(date);
}

Var TimeSerial(Interpreter&, const Args& a)
{
    int seconds = ToInteger(a[0]) * 3600 + ToInteger(a[1]) * 60 + ToInteger(a[2]);
    DATE date;
    if (!DateFromParts(1899, 12, 30, 0, 0, seconds, date))
        Throw(kInvalidProcedureCall);
    return Var::Date(date);
}

Var DateValue(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    return Var::Date(std::trunc(ToDate(a[0])));
}

Var TimeValue(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    DATE d = ToDate(a[0]);
    return Var::Date(std::fabs(d - std::trunc(d)));
}

std::wstring Interval(const Args& a)
{
    std::wstring s = Text(a, 0);
    for (wchar_t& c : s)
        c = FoldCase(c);
    return s;
}

Var DateAdd(Interpreter&, const Args& a)
{
    std::wstring unit = Interval(a);
    double amount = std::trunc(ToDouble(a[1]));
    if (IsNullArg(a, 2))
        return Var::Null();
    DATE date = ToDate(a[2]);
    DateParts p = DateToParts(date);
    if (!(std::fabs(amount) <= 1e7))  // also NaN
        Throw(kInvalidProcedureCall);
    int n = static_cast<int>(amount);
    auto addMonths = [&](int months) {
        int total = p.year * 12 + (p.month - 1) + months;
        int year = total / 12, month = total % 12 + 1;
        static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        int last = days[month - 1] + (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0));
        DATE out;
        if (!DateFromParts(year, month, std::min(p.day, last), p.hour, p.minute, p.second, out))
            Throw(kInvalidProcedureCall);
        return Var::Date(out);
    };
    auto addSeconds = [&](long long seconds) {
        long long days = seconds >= 0 ? seconds / 86400 : -((86399 - seconds) / 86400);
        long long rest = seconds - days * 86400;
        DATE out;
        if (!DateFromParts(p.year, p.month, static_cast<int>(p.day + days), p.hour, p.minute,
                           static_cast<int>(p.second + rest), out))
            Throw(kInvalidProcedureCall);
        return Var::Date(out);
    };
    if (unit == L"yyyy")
        return addMonths(n * 12);
    if (unit == L"q")
        return addMonths(n * 3);
    if (unit == L"m")
        return addMonths(n);
    if (unit == L"d" || unit == L"y" || unit == L"w")
        return addSeconds(86400LL * n);
    if (unit == L"ww")
        return addSeconds(86400LL * 7 * n);
    if (unit == L"h")
        return addSeconds(3600LL * n);
    if (unit == L"n")
        return addSeconds(60LL * n);
    if (unit == L"s")
        return addSeconds(n);
    Throw(kInvalidProcedureCall);
}

long long DayNumber(DATE d) { return static_cast<long long>(std::floor(d + 1e-9)); }

Var DateDiff(Interpreter&, const Args& a)
{
    std::wstring unit = Interval(a);
    if (IsNullArg(a, 1) || IsNullArg(a, 2))
        return Var::Null();
    DATE d1 = ToDate(a[1]), d2 = ToDate(a[2]);
    int first = FirstDay(a, 3);
    DateParts p1 = DateToParts(d1), p2 = DateToParts(d2);
    auto seconds = [](DATE d) {
        DateParts p = DateToParts(d);
        double day = std::floor(d);
        return day * 86400.0 + p.hour * 3600 + p.minute * 60 + p.second;
    };
    double result;
    if (unit == L"yyyy")
        result = p2.year - p1.year;
    else if (unit == L"q")
        result = (p2.year * 4 + (p2.month - 1) / 3) - (p1.year * 4 + (p1.month - 1) / 3);
    else if (unit == L"m")
        result = (p2.year * 12 + p2.month) - (p1.year * 12 + p1.month);
    else if (unit == L"d" || unit == L"y")
        result = static_cast<double>(DayNumber(d2) - DayNumber(d1));
    else if (unit == L"w")
        result = std::trunc((DayNumber(d2) - DayNumber(d1)) / 7.0);
    else if (unit == L"ww") {
        // Counts the first days of the week between the two dates.
        auto weekStart = [&](DATE d) {
            long long day = DayNumber(d);
            int dow = DateToParts(d).dayOfWeek;
            return day - ((dow - first + 7) % 7);
        };
        result = static_cast<double>((weekStart(d2) - weekStart(d1)) / 7);
    } else if (unit == L"h")
        result = std::floor(seconds(d2) / 3600) - std::floor(seconds(d1) / 3600);
    else if (unit == L"n")
        result = std::floor(seconds(d2) / 60) - std::floor(seconds(d1) / 60);
    else if (unit == L"s")
        result = seconds(d2) - seconds(d1);
    else
        Throw(kInvalidProcedureCall);
    return Var::Whole(result);
}

Var DatePart(Interpreter&, const Args& a)
{
    std::wstring unit = Interval(a);
    if (IsNullArg(a, 1))
        return Var::Null();
    DATE date = ToDate(a[1]);
    int first = FirstDay(a, 2);
    DateParts p = DateToParts(date);
    DATE jan1;
    DateFromParts(p.year, 1, 1, 0, 0, 0, jan1);
    long long dayOfYear = DayNumber(date) - DayNumber(jan1) + 1;
    if (unit == L"yyyy") return Var::Int(static_cast<SHORT>(p.year));
    if (unit == L"q") return Var::Int(static_cast<SHORT>((p.month - 1) / 3 + 1));
    if (unit == L"m") return Var::Int(static_cast<SHORT>(p.month));
    if (unit == L"y") return Var::Int(static_cast<SHORT>(dayOfYear));
    if (unit == L"d") return Var::Int(static_cast<SHORT>(p.day));
    if (unit == L"w") return Var::Int(static_cast<SHORT>((p.dayOfWeek - first + 7) % 7 + 1));
    if (unit == L"ww") {
        int jan1Dow = DateToParts(jan1).dayOfWeek;
        int offset = (jan1Dow - first + 7) % 7;
        return Var::Int(static_cast<SHORT>((dayOfYear - 1 + offset) / 7 + 1));
    }
    if (unit == L"h") return Var::Int(static_cast<SHORT>(p.hour));
    if (unit == L"n") return Var::Int(static_cast<SHORT>(p.minute));
    if (unit == L"s") return Var::Int(static_cast<SHORT>(p.second));
    Throw(kInvalidProcedureCall);
}

const Builtin kFunctions[] = {
    {L"date", 0, 0, DateNow},
    {L"dateadd", 3, 3, DateAdd},
    {L"datediff", 3, 5, DateDiff},
    {L"datepart", 2, 4, DatePart},
    {L"dateserial", 3, 3, DateSerial},
    {L"datevalue", 1, 1, DateValue},
    {L"day", 1, 1, DatePartOf<&DateParts::day>},
    {L"formatdatetime", 1, 2, FormatDateTime},
    {L"hour", 1, 1, DatePartOf<&DateParts::hour>},
    {L"minute", 1, 1, DatePartOf<&DateParts::minute>},
    {L"month", 1, 1, DatePartOf<&DateParts::month>},
    {L"monthname", 1, 2, MonthName},
    {L"now", 0, 0, Now},
    {L"second", 1, 1, DatePartOf<&DateParts::second>},
    {L"time", 0, 0, TimeNow},
    {L"timer", 0, 0, TimerNow},
    {L"timeserial", 3, 3, TimeSerial},
    {L"timevalue", 1, 1, TimeValue},
    {L"weekday", 1, 2, Weekday},
    {L"weekdayname", 1, 3, WeekdayName},
    {L"year", 1, 1, DatePartOf<&DateParts::year>},
};

} // namespace

std::span<const Builtin> DateFunctions() { return kFunctions; }

} // namespace vbs::builtins
