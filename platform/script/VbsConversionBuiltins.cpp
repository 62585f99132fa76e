// The conversion functions of the script language: the C* conversions, hexadecimal and octal, rounding
// and the number, percent and currency formats.

#include "platform/script/VbsBuiltinSupport.h"

#include "platform/sys/Locale.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cwctype>

namespace vbs::builtins {
namespace {

// Number text too large for any number ("1e400") overflows rather than being no number at all.
bool IsOverflowingNumberText(const VARIANT& v)
{
    if (v.vt != VT_BSTR || !v.bstrVal)
        return false;
    std::wstring text(BstrView(v.bstrVal));
    wchar_t* end = nullptr;
    errno = 0;
    double value = std::wcstod(text.c_str(), &end);
    while (end && std::iswspace(*end))
        ++end;
    return end && *end == 0 && end != text.c_str() && errno == ERANGE && std::isinf(value);
}

Var Converted(const Args& a, VARTYPE vt)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    Var value = ValueOf(a[0]);
    if (value.IsArray())
        Throw(kTypeMismatch);
    if (vt == VT_UI1 && value.type() == VT_BOOL)
        return Var::Byte(value.v.boolVal ? 255 : 0);  // True has every bit set
    Var out;
    HRESULT hr = VariantChangeType(&out.v, &value.v, VARIANT_ALPHABOOL, vt);
    if (hr == DISP_E_OVERFLOW || (FAILED(hr) && IsOverflowingNumberText(value.v)))
        Throw(kOverflow);
    if (FAILED(hr))
        Throw(kTypeMismatch);
    return out;
}

Var CBool(Interpreter&, const Args& a) { return Converted(a, VT_BOOL); }
Var CByte(Interpreter&, const Args& a) { return Converted(a, VT_UI1); }
Var CCur(Interpreter&, const Args& a) { return Converted(a, VT_CY); }
Var CDateOf(Interpreter&, const Args& a) { return Converted(a, VT_DATE); }
Var CDbl(Interpreter&, const Args& a) { return Converted(a, VT_R8); }
Var CInt(Interpreter&, const Args& a) { return Converted(a, VT_I2); }
Var CLng(Interpreter&, const Args& a) { return Converted(a, VT_I4); }
Var CSng(Interpreter&, const Args& a) { return Converted(a, VT_R4); }
Var CStr(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    return Var::Text(ToText(a[0]));
}

Var Radix(const Args& a, int bitsPerDigit)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    Var value = ValueOf(a[0]);
    LONG n = ToLong(value.v);
    DWORD bits = static_cast<DWORD>(n);
    if (n < 0 && (value.type() == VT_I2 || value.type() == VT_UI1 || value.type() == VT_BOOL || value.type() == VT_EMPTY))
        bits &= 0xFFFF;
    std::wstring digits;
    do {
        DWORD d = bits & ((1u << bitsPerDigit) - 1);
        digits.insert(digits.begin(), static_cast<wchar_t>(d < 10 ? L'0' + d : L'A' + d - 10));
        bits >>= bitsPerDigit;
    } while (bits);
    return Var::Text(digits);
}

Var Hex(Interpreter&, const Args& a) { return Radix(a, 4); }
Var Oct(Interpreter&, const Args& a) { return Radix(a, 3); }

template<bool Floor>
Var IntPart(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    Var v = ValueOf(a[0]);
    switch (v.type()) {
    case VT_I2: case VT_I4: case VT_UI1: return v;
    case VT_BOOL: return Var::Int(v.v.boolVal ? -1 : 0);
    case VT_EMPTY: return Var::Int(0);
    default: break;
    }
    double d = ToDouble(v.v);
    double r = Floor ? std::floor(d) : std::trunc(d);
    if (v.type() == VT_R4) {
        Var s;
        s.v.vt = VT_R4;
        s.v.fltVal = static_cast<float>(r);
        return s;
    }
    if (v.type() == VT_CY || v.type() == VT_DATE) {
        Var out = v;
        if (v.type() == VT_DATE)
            out.v.date = r;
        else
            out.v.cyVal.int64 = static_cast<LONGLONG>(r) * 10000;
        return out;
    }
    return Var::Double(r);
}

Var Round(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    Var v = ValueOf(a[0]);
    LONG digits = Whole(a, 1, 0);
    if (digits < 0)
        Throw(kInvalidProcedureCall);
    if (v.type() == VT_I2 || v.type() == VT_I4 || v.type() == VT_UI1 || v.type() == VT_BOOL)
        return v;  // already whole: keeps its type
    double d = ToDouble(v.v);
    double scale = std::pow(10.0, std::min<LONG>(digits, 22));
    double r = std::nearbyint(d * scale) / scale;
    if (std::isinf(d * scale))
        r = d;
    return Var::Double(r);
}

// magnitude with the given number of decimals ("1234.50"). It is rounded on its 15 significant
// decimal digits, half away from zero, so that 2.5 gives 3 and 1.005 gives 1.01.
std::wstring FixedDecimals(double magnitude, int digits)
{
    if (!std::isfinite(magnitude))  // an infinity or NaN handed in by an object
        Throw(kOverflow);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", magnitude);  // d.dddddddddddddde±x
    std::string mantissa = std::string(1, buffer[0]) + std::string(buffer + 2, 14);
    int exponent = std::atoi(std::strchr(buffer, 'e') + 1);
    int kept = exponent + 1 + digits;  // significant digits left after rounding
    std::string scaled;  // magnitude * 10^digits, rounded, as decimal digits
    if (kept < 0)
        scaled = "0";
    else if (kept == 0)
        scaled = mantissa[0] >= '5' ? "1" : "0";
    else if (kept >= 15)
        scaled = mantissa + std::string(kept - 15, '0');
    else {
        scaled = mantissa.substr(0, kept);
        if (mantissa[kept] >= '5') {
            size_t i = scaled.size();
            while (i > 0 && scaled[i - 1] == '9')
                scaled[--i] = '0';
            if (i == 0)
                scaled.insert(scaled.begin(), '1');
            else
                ++scaled[i - 1];
        }
    }
    if (scaled.size() < size_t(digits) + 1)
        scaled.insert(0, size_t(digits) + 1 - scaled.size(), '0');
    if (digits > 0)
        scaled.insert(scaled.size() - digits, 1, '.');
    return std::wstring(scaled.begin(), scaled.end());
}

// Groups the digits of the whole part and places the locale's separators.
std::wstring FormatFixed(double value, int digits, bool leadingZero, bool parens, bool group)
{
    NumberLocale locale = CurrentNumberLocale();
    if (digits < 0)
        digits = static_cast<int>(locale.digits);
    digits = std::min(digits, 30);
    std::wstring text = FixedDecimals(std::fabs(value), digits);
    bool negative = value < 0 && text.find_first_not_of(L"0.") != std::wstring::npos;
    size_t dot = text.find(L'.');
    std::wstring whole = text.substr(0, dot);
    std::wstring fraction = dot == std::wstring::npos ? L"" : text.substr(dot + 1);
    if (group && !locale.thousand.empty()) {
        std::wstring grouped;
        int count = 0;
        for (size_t i = whole.size(); i-- > 0;) {
            grouped.insert(grouped.begin(), whole[i]);
            if (++count % 3 == 0 && i > 0)
                grouped.insert(0, locale.thousand);
        }
        whole = grouped;
    }
    if (whole == L"0" && !leadingZero && !fraction.empty())
        whole.clear();
    std::wstring out = whole;
    if (!fraction.empty())
        out += locale.decimal + fraction;
    if (negative)
        out = parens ? L"(" + out + L")" : L"-" + out;
    return out;
}

// The number of decimals a Format function is asked for; -1 stands for the locale's count.
LONG DecimalCount(const Args& a)
{
    LONG digits = Whole(a, 1, -1);
    if (digits < -1)
        Throw(kInvalidProcedureCall);
    return digits;
}

bool TriState(const Args& a, size_t i, bool fallback)
{
    LONG v = Whole(a, i, -2);
    return v == -2 ? fallback : v != 0;
}

Var FormatNumber(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    return Var::Text(FormatFixed(ToDouble(a[0]), DecimalCount(a), TriState(a, 2, true), TriState(a, 3, false),
                                 TriState(a, 4, true)));
}

Var FormatPercent(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    return Var::Text(FormatFixed(ToDouble(a[0]) * 100, DecimalCount(a), TriState(a, 2, true), TriState(a, 3, false),
                                 TriState(a, 4, true)) + L"%");
}

Var FormatCurrency(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    double value = ToDouble(a[0]);
    std::wstring text = FormatFixed(std::fabs(value), DecimalCount(a), TriState(a, 2, true), false, TriState(a, 4, true));
    text = L"$" + text;
    if (value < 0)
        text = TriState(a, 3, true) ? L"(" + text + L")" : L"-" + text;
    return Var::Text(text);
}

const Builtin kFunctions[] = {
    {L"cbool", 1, 1, CBool},
    {L"cbyte", 1, 1, CByte},
    {L"ccur", 1, 1, CCur},
    {L"cdate", 1, 1, CDateOf},
    {L"cdbl", 1, 1, CDbl},
    {L"cint", 1, 1, CInt},
    {L"clng", 1, 1, CLng},
    {L"csng", 1, 1, CSng},
    {L"cstr", 1, 1, CStr},
    {L"fix", 1, 1, IntPart<false>},
    {L"formatcurrency", 1, 5, FormatCurrency},
    {L"formatnumber", 1, 5, FormatNumber},
    {L"formatpercent", 1, 5, FormatPercent},
    {L"hex", 1, 1, Hex},
    {L"int", 1, 1, IntPart<true>},
    {L"oct", 1, 1, Oct},
    {L"round", 1, 2, Round},
};

} // namespace

std::span<const Builtin> ConversionFunctions() { return kFunctions; }

} // namespace vbs::builtins
