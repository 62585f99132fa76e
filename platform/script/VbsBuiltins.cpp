// The built-in functions and constants of the script language.

#include "platform/script/VbsInterpreter.h"

#include "platform/base/CString.h"
#include "platform/script/EngineVersion.h"
#include "platform/script/ScriptDialogs.h"
#include "platform/sys/Locale.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <cwctype>
#include <sys/time.h>

namespace vbs {

namespace {


// ---- argument helpers ----

bool IsNullArg(const Args& a, size_t i) { return a.Has(i) && a[i].vt == VT_NULL; }
std::wstring Text(const Args& a, size_t i) { return a.Has(i) ? ToText(a[i]) : L""; }
double Number(const Args& a, size_t i, double fallback = 0) { return a.Has(i) ? ToDouble(a[i]) : fallback; }
LONG Whole(const Args& a, size_t i, LONG fallback = 0) { return a.Has(i) ? ToLong(a[i]) : fallback; }
// A count or place that has no default: left out, as in Left(s, ), it is an invalid argument.
LONG RequiredWhole(const Args& a, size_t i)
{
    if (!a.Has(i))
        Throw(kInvalidProcedureCall);
    return ToLong(a[i]);
}
bool TextCompare(const Args& a, size_t i)
{
    LONG mode = Whole(a, i, 0);
    if (mode < 0 || mode > 2)
        Throw(kInvalidProcedureCall);
    return mode != 0;
}
void CheckLength(size_t n)
{
    if (n > kMaxTextLength)
        Throw(14, L"Out of string space");
}

size_t FindText(std::wstring_view haystack, std::wstring_view needle, size_t from, bool noCase)
{
    if (!noCase)
        return haystack.find(needle, from);
    if (needle.size() > haystack.size())
        return std::wstring_view::npos;
    for (size_t i = from; i + needle.size() <= haystack.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && FoldCase(haystack[i + k]) == FoldCase(needle[k]))
            ++k;
        if (k == needle.size())
            return i;
    }
    return std::wstring_view::npos;
}

Var MakeVector(std::vector<Var>& items)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
    if (!array)
        Throw(kOutOfMemory);
    auto* data = static_cast<VARIANT*>(array->pvData);
    for (size_t i = 0; i < items.size(); ++i)
        data[i] = items[i].Detach();
    Var r;
    r.v.vt = VT_ARRAY | VT_VARIANT;
    r.v.parray = array;
    return r;
}

const VARIANT& ArrayArg(const Args& a, size_t i)
{
    const VARIANT& v = a[i].vt == (VT_BYREF | VT_VARIANT) ? *a[i].pvarVal : a[i];
    if (!(v.vt & VT_ARRAY))
        Throw(kTypeMismatch);
    return v;
}

// Elements of a one-dimensional array as values.
std::vector<Var> Elements(const VARIANT& v)
{
    std::vector<Var> out;
    SAFEARRAY* array = v.parray;
    if (!array)
        return out;
    if (array->cDims != 1)
        Throw(kSubscriptOutOfRange);
    ULONG n = SafeArrayElementCount(array);
    for (ULONG i = 0; i < n; ++i) {
        Var e;
        if (array->vt == VT_VARIANT) {
            e.Assign(static_cast<VARIANT*>(array->pvData)[i]);
        } else {
            VARIANT raw;
            VariantInit(&raw);
            raw.vt = array->vt;
            std::memcpy(&raw.llVal, static_cast<char*>(array->pvData) + size_t(i) * array->cbElements, array->cbElements);
            e.Assign(raw);
        }
        out.push_back(std::move(e));
    }
    return out;
}

// ---- strings ----

Var Len(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    return Var::Long(static_cast<LONG>(ToText(a[0]).size()));
}

Var Left(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    std::wstring s = Text(a, 0);
    LONG n = RequiredWhole(a, 1);
    if (n < 0)
        Throw(kInvalidProcedureCall);
    return Var::Text(s.substr(0, std::min<size_t>(n, s.size())));
}

Var Right(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    std::wstring s = Text(a, 0);
    LONG n = RequiredWhole(a, 1);
    if (n < 0)
        Throw(kInvalidProcedureCall);
    size_t k = std::min<size_t>(n, s.size());
    return Var::Text(s.substr(s.size() - k));
}

Var Mid(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    std::wstring s = Text(a, 0);
    LONG start = RequiredWhole(a, 1);
    if (start < 1)
        Throw(kInvalidProcedureCall);
    LONG length = a.Has(2) ? Whole(a, 2) : static_cast<LONG>(s.size());
    if (length < 0)
        Throw(kInvalidProcedureCall);
    if (size_t(start) > s.size())
        return Var::Text(L"");
    return Var::Text(s.substr(start - 1, length));
}

Var InStr(Interpreter&, const Args& a)
{
    size_t first = 0;
    LONG start = 1;
    if (a.size() >= 3) {
        if (IsNullArg(a, 0))
            Throw(kInvalidUseOfNull);
        start = Whole(a, 0, 1);
        if (start < 1)
            Throw(kInvalidProcedureCall);
        first = 1;
    }
    if (IsNullArg(a, first) || IsNullArg(a, first + 1))
        return Var::Null();
    std::wstring s = Text(a, first), find = Text(a, first + 1);
    bool noCase = a.size() >= 4 && TextCompare(a, 3);
    if (size_t(start) > s.size())
        return Var::Long(0);
    if (find.empty())
        return Var::Long(start);
    size_t at = FindText(s, find, start - 1, noCase);
    return Var::Long(at == std::wstring::npos ? 0 : static_cast<LONG>(at + 1));
}

Var InStrRev(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0) || IsNullArg(a, 1))
        return Var::Null();
    std::wstring s = Text(a, 0), find = Text(a, 1);
    LONG start = Whole(a, 2, -1);
    bool noCase = TextCompare(a, 3);
    if (start == 0 || start < -1)
        Throw(kInvalidProcedureCall);
    if (start == -1)
        start = static_cast<LONG>(s.size());
    if (size_t(start) > s.size())
        return Var::Long(0);
    if (find.empty())
        return Var::Long(start);
    for (LONG i = start - static_cast<LONG>(find.size()); i >= 0; --i) {
        if (FindText(std::wstring_view(s).substr(i, find.size()), find, 0, noCase) == 0)
            return Var::Long(i + 1);
    }
    return Var::Long(0);
}

Var Replace(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    std::wstring s = Text(a, 0), find = Text(a, 1), with = Text(a, 2);
    LONG start = Whole(a, 3, 1);
    LONG count = Whole(a, 4, -1);
    bool noCase = TextCompare(a, 5);
    if (start < 1 || count < -1)
        Throw(kInvalidProcedureCall);
    if (size_t(start) > s.size())
        return Var::Text(L"");
    std::wstring rest = s.substr(start - 1);
    if (find.empty() || count == 0)
        return Var::Text(rest);
    std::wstring out;
    size_t pos = 0;
    LONG done = 0;
    while (count == -1 || done < count) {
        size_t at = FindText(rest, find, pos, noCase);
        if (at == std::wstring::npos)
            break;
        out.append(rest, pos, at - pos);
        out += with;
        CheckLength(out.size());
        pos = at + find.size();
        ++done;
    }
    out.append(rest, pos, std::wstring::npos);
    return Var::Text(out);
}

Var Split(Interpreter&, const Args& a)
{
    std::wstring s = Text(a, 0);
    std::wstring delimiter = a.Has(1) ? Text(a, 1) : L" ";
    LONG count = Whole(a, 2, -1);
    bool noCase = TextCompare(a, 3);
    if (count < -1)
        Throw(kInvalidProcedureCall);
    std::vector<Var> parts;
    if (!s.empty() && count != 0) {
        if (delimiter.empty()) {
            parts.push_back(Var::Text(s));
        } else {
            size_t pos = 0;
            while (true) {
                if (count != -1 && static_cast<LONG>(parts.size()) == count - 1) {
                    parts.push_back(Var::Text(s.substr(pos)));
                    break;
                }
                size_t at = FindText(s, delimiter, pos, noCase);
                if (at == std::wstring::npos) {
                    parts.push_back(Var::Text(s.substr(pos)));
                    break;
                }
                parts.push_back(Var::Text(s.substr(pos, at - pos)));
                pos = at + delimiter.size();
            }
        }
    }
    return MakeVector(parts);
}

Var Join(Interpreter&, const Args& a)
{
    const VARIANT& v = ArrayArg(a, 0);
    std::wstring delimiter = a.Has(1) ? Text(a, 1) : L" ";
    std::wstring out;
    bool first = true;
    for (Var& e : Elements(v)) {
        if (!first)
            out += delimiter;
        first = false;
        if (!e.IsNull())
            out += ToText(e.v);
        CheckLength(out.size());
    }
    return Var::Text(out);
}

Var Filter(Interpreter&, const Args& a)
{
    const VARIANT& v = ArrayArg(a, 0);
    if (IsNullArg(a, 1))
        Throw(kInvalidUseOfNull);
    std::wstring match = Text(a, 1);
    bool include = a.Has(2) ? ToBool(a[2]) : true;
    bool noCase = TextCompare(a, 3);
    std::vector<Var> kept;
    for (Var& e : Elements(v)) {
        bool found = FindText(ToText(e.v), match, 0, noCase) != std::wstring::npos;
        if (found == include)
            kept.push_back(Var::Text(ToText(e.v)));
    }
    return MakeVector(kept);
}

template<bool Upper>
Var ChangeCase(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    CString s(Text(a, 0));
    return Var::Text(Upper ? s.MakeUpper().view() : s.MakeLower().view());
}

template<bool Leading, bool Trailing>
Var TrimText(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    std::wstring s = Text(a, 0);
    size_t first = 0, last = s.size();
    if (Leading)
        while (first < last && s[first] == L' ')
            ++first;
    if (Trailing)
        while (last > first && s[last - 1] == L' ')
            --last;
    return Var::Text(s.substr(first, last - first));
}

Var Space(Interpreter&, const Args& a)
{
    LONG n = Whole(a, 0);
    if (n < 0)
        Throw(kInvalidProcedureCall);
    CheckLength(n);
    return Var::Text(std::wstring(n, L' '));
}

Var StringOf(Interpreter&, const Args& a)
{
    LONG n = Whole(a, 0);
    if (n < 0)
        Throw(kInvalidProcedureCall);
    if (IsNullArg(a, 1))
        return Var::Null();
    CheckLength(n);
    wchar_t c;
    if (a[1].vt == VT_BSTR) {
        std::wstring s = Text(a, 1);
        if (s.empty())
            Throw(kInvalidProcedureCall);
        c = s[0];
    } else {
        LONG code = Whole(a, 1);
        c = static_cast<wchar_t>(((code % 256) + 256) % 256);
    }
    return Var::Text(std::wstring(n, c));
}

Var StrReverse(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    std::wstring s = Text(a, 0);
    return Var::Text(std::wstring(s.rbegin(), s.rend()));
}

Var StrComp(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0) || IsNullArg(a, 1))
        return Var::Null();
    bool noCase = TextCompare(a, 2);
    Var x = Var::Text(Text(a, 0)), y = Var::Text(Text(a, 1));
    return Var::Int(static_cast<SHORT>(Compare(x.v, y.v, noCase)));
}

// Asc and Chr work in the Western (Windows-1252) code page: Chr(128) is the euro sign, and a
// character the page lacks reads as "?".
wchar_t CharOfCodePage(BYTE code) { return NarrowToWide(std::string(1, static_cast<char>(code)))[0]; }

BYTE CodePageOf(wchar_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<BYTE>(c);
    for (int code = 0x80; code < 0xA0; ++code)
        if (CharOfCodePage(static_cast<BYTE>(code)) == c)
            return static_cast<BYTE>(code);
    return '?';
}

template<bool Wide>
Var Asc(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        Throw(kInvalidUseOfNull);
    std::wstring s = Text(a, 0);
    if (s.empty())
        Throw(kInvalidProcedureCall);
    if (!Wide)
        return Var::Whole(CodePageOf(s[0]));
    // A UTF-16 code unit as a signed Integer: ChrW(&HFFFF) gives -1; beyond the BMP, the lead surrogate.
    wchar_t unit = s[0] > 0xFFFF ? static_cast<wchar_t>(0xD800 + ((s[0] - 0x10000) >> 10)) : s[0];
    return Var::Whole(static_cast<SHORT>(static_cast<WORD>(unit)));
}

Var Chr(Interpreter&, const Args& a)
{
    LONG code = Whole(a, 0);
    if (code < 0 || code > 255)
        Throw(kInvalidProcedureCall);
    return Var::Text(std::wstring(1, CharOfCodePage(static_cast<BYTE>(code))));
}

Var ChrW(Interpreter&, const Args& a)
{
    LONG code = Whole(a, 0);
    if (code < -32768 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        Throw(kInvalidProcedureCall);
    if (code < 0)
        code += 65536;
    return Var::Text(std::wstring(1, static_cast<wchar_t>(code)));
}

// Escape writes %XX (below 256) or %uXXXX for every character but letters, digits and @*_+-./
Var Escape(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    static const std::wstring_view kept = L"@*_+-./";
    std::wstring out;
    wchar_t buffer[8];
    for (wchar_t c : Text(a, 0)) {
        if ((c < 128 && std::iswalnum(c)) || kept.find(c) != std::wstring_view::npos)
            out += c;
        else if (c < 256) {
            std::swprintf(buffer, 8, L"%%%02X", static_cast<unsigned>(c));
            out += buffer;
        } else {
            std::swprintf(buffer, 8, L"%%u%04X", static_cast<unsigned>(c) & 0xFFFF);
            out += buffer;
        }
        CheckLength(out.size());
    }
    return Var::Text(out);
}

Var Unescape(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    std::wstring s = Text(a, 0), out;
    auto hex = [&](size_t at, size_t count, unsigned& value) {
        value = 0;
        if (at + count > s.size())
            return false;
        for (size_t k = at; k < at + count; ++k) {
            if (!std::iswxdigit(s[k]))
                return false;
            value = value * 16 + (std::iswdigit(s[k]) ? s[k] - L'0' : (std::towlower(s[k]) - L'a' + 10));
        }
        return true;
    };
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned value;
        if (s[i] == L'%' && i + 1 < s.size() && (s[i + 1] == L'u' || s[i + 1] == L'U') && hex(i + 2, 4, value)) {
            out += static_cast<wchar_t>(value);
            i += 5;
        } else if (s[i] == L'%' && hex(i + 1, 2, value)) {
            out += static_cast<wchar_t>(value);
            i += 2;
        } else {
            out += s[i];
        }
    }
    return Var::Text(out);
}

// ---- conversion ----

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

// ---- math ----

template<double (*F)(double)>
Var MathOf(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    double r = F(ToDouble(a[0]));
    if (std::isnan(r) || std::isinf(r))
        Throw(kInvalidProcedureCall);
    return Var::Double(r);
}

double SafeLog(double x)
{
    if (x <= 0)
        Throw(kInvalidProcedureCall);
    return std::log(x);
}

double SafeSqrt(double x)
{
    if (x < 0)
        Throw(kInvalidProcedureCall);
    return std::sqrt(x);
}

double SafeExp(double x)
{
    double r = std::exp(x);
    if (std::isinf(r))
        Throw(kOverflow);
    return r;
}

double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Atn(double x) { return std::atan(x); }

Var Abs(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    Var v = ValueOf(a[0]);
    switch (v.type()) {
    case VT_EMPTY: return Var::Int(0);
    case VT_I2: case VT_I4: case VT_R4: case VT_CY: case VT_UI1:
        return ToDouble(v.v) < 0 ? Negate(v.v) : v;
    case VT_BOOL: return Var::Int(v.v.boolVal ? 1 : 0);
    default: return Var::Double(std::fabs(ToDouble(v.v)));
    }
}

Var Sgn(Interpreter&, const Args& a)
{
    if (IsNullArg(a, 0))
        return Var::Null();
    double d = ToDouble(a[0]);
    return Var::Int(static_cast<SHORT>(d > 0 ? 1 : d < 0 ? -1 : 0));
}

Var Rnd(Interpreter& in, const Args& a)
{
    std::optional<double> argument;
    if (a.Has(0))
        argument = ToDouble(a[0]);
    Var r;
    r.v.vt = VT_R4;
    r.v.fltVal = static_cast<float>(in.NextRandom(argument));
    return r;
}

// ---- type information ----

const VARIANT& Plain(const VARIANT& v) { return v.vt == (VT_BYREF | VT_VARIANT) ? *v.pvarVal : v; }

Var IsArray(Interpreter&, const Args& a) { return Var::Bool((Plain(a[0]).vt & VT_ARRAY) != 0); }
Var IsEmpty(Interpreter&, const Args& a) { return Var::Bool(Plain(a[0]).vt == VT_EMPTY); }
Var IsNull(Interpreter&, const Args& a) { return Var::Bool(Plain(a[0]).vt == VT_NULL); }
Var IsObject(Interpreter&, const Args& a)
{
    VARTYPE vt = Plain(a[0]).vt;
    return Var::Bool(vt == VT_DISPATCH || vt == VT_UNKNOWN);
}
Var IsNumeric(Interpreter&, const Args& a)
{
    const VARIANT& v = Plain(a[0]);
    switch (v.vt) {
    case VT_EMPTY: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_BOOL: case VT_UI1:
        return Var::Bool(true);
    case VT_BSTR: return Var::Bool(IsNumericText(v));
    default: return Var::Bool(false);
    }
}
Var IsDate(Interpreter&, const Args& a)
{
    const VARIANT& v = Plain(a[0]);
    if (v.vt == VT_DATE)
        return Var::Bool(true);
    if (v.vt != VT_BSTR)
        return Var::Bool(false);
    DATE d;
    return Var::Bool(ParseDateText(BstrView(v.bstrVal), d));
}
Var TypeName(Interpreter&, const Args& a) { return Var::Text(TypeNameOf(a[0])); }
Var VarType(Interpreter&, const Args& a)
{
    const VARIANT& v = Plain(a[0]);
    if (v.vt & VT_ARRAY)
        return Var::Int(static_cast<SHORT>(VT_ARRAY | (v.parray ? v.parray->vt : VARTYPE(VT_VARIANT))));
    return Var::Int(static_cast<SHORT>(v.vt == VT_UNKNOWN ? VARTYPE(VT_DISPATCH) : v.vt));
}

// ---- arrays ----

Var ArrayOf(Interpreter&, const Args& a)
{
    std::vector<Var> items;
    for (size_t i = 0; i < a.size(); ++i) {
        Var e;
        if (a.Has(i))
            e.Assign(a[i]);
        if (e.IsArray())
            CheckNesting(e.v);
        items.push_back(std::move(e));
    }
    return MakeVector(items);
}

template<bool Upper>
Var Bound(Interpreter&, const Args& a)
{
    const VARIANT& v = ArrayArg(a, 0);
    LONG dim = Whole(a, 1, 1);
    if (!v.parray)
        Throw(kSubscriptOutOfRange);
    LONG bound;
    HRESULT hr = Upper ? SafeArrayGetUBound(v.parray, dim, &bound) : SafeArrayGetLBound(v.parray, dim, &bound);
    if (dim < 1 || FAILED(hr))
        Throw(kSubscriptOutOfRange);
    return Var::Long(bound);
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
    LONG n = Whole(a, 0);
    bool abbreviate = a.Has(1) && ToBool(a[1]);
    int first = FirstDay(a, 2);
    if (n < 1 || n > 7)
        Throw(kInvalidProcedureCall);
    std::wstring name = kDayNames[(n - 1 + first - 1) % 7];
    return Var::Text(abbreviate ? name.substr(0, 3) : name);
}

Var MonthName(Interpreter&, const Args& a)
{
    LONG n = Whole(a, 0);
    bool abbreviate = a.Has(1) && ToBool(a[1]);
    if (n < 1 || n > 12)
        Throw(kInvalidProcedureCall);
    std::wstring name = kMonthNames[n - 1];
    return Var::Text(abbreviate ? name.substr(0, 3) : name);
}

Var DateSerial(Interpreter&, const Args& a)
{
    double y = Number(a, 0), m = Number(a, 1), d = Number(a, 2);
    if (!(std::fabs(y) <= 100000 && std::fabs(m) <= 1200000 && std::fabs(d) <= 1e8))  // also NaN
        Throw(kInvalidProcedureCall);
    int year = static_cast<int>(std::nearbyint(y));
    if (year >= 0 && year < 30)
        year += 2000;
    else if (year >= 30 && year < 100)
        year += 1900;
    DATE date;
    if (!DateFromParts(year, static_cast<int>(std::nearbyint(m)), static_cast<int>(std::nearbyint(d)), 0, 0, 0, date))
        Throw(kInvalidProcedureCall);
    return Var::Date(date);
}

Var TimeSerial(Interpreter&, const Args& a)
{
    double h = Number(a, 0), m = Number(a, 1), s = Number(a, 2);
    double seconds = std::nearbyint(h) * 3600 + std::nearbyint(m) * 60 + std::nearbyint(s);
    if (!(std::fabs(seconds) <= 86400.0 * 1000))  // also NaN
        Throw(kInvalidProcedureCall);
    DATE date;
    if (!DateFromParts(1899, 12, 30, 0, 0, static_cast<int>(seconds), date))
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
    double amount = std::trunc(Number(a, 1));
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

// ---- host and objects ----

Var MsgBox(Interpreter& in, const Args& a)
{
    ScriptMessageBoxRequest request;
    request.owner = in.OwnerWindow();
    request.prompt = IsNullArg(a, 0) ? L"" : Text(a, 0);
    request.type = static_cast<UINT>(Whole(a, 1, 0));
    request.title = a.Has(2) ? Text(a, 2) : L"VBScript";
    return Var::Int(static_cast<SHORT>(ShowScriptMessageBox(request)));
}

Var InputBox(Interpreter& in, const Args& a)
{
    ScriptInputBoxRequest request;
    request.owner = in.OwnerWindow();
    request.prompt = Text(a, 0);
    request.title = a.Has(1) ? Text(a, 1) : L"VBScript";
    request.defaultText = Text(a, 2);
    if (a.Has(3))
        request.x = Whole(a, 3);
    if (a.Has(4))
        request.y = Whole(a, 4);
    std::optional<std::wstring> answer = ShowScriptInputBox(request);
    return Var::Text(answer ? *answer : L"");
}

Var CreateObject(Interpreter& in, const Args& a) { return in.CreateObjectByName(Text(a, 0)); }

Var GetObject(Interpreter& in, const Args& a)
{
    std::wstring path = Text(a, 0);
    if (path.empty() && a.Has(1))
        return in.CreateObjectByName(Text(a, 1));
    Throw(kCannotCreateObject);
}

Var Eval(Interpreter& in, const Args& a) { return in.ExecuteText(Text(a, 0), true); }
Var Execute(Interpreter& in, const Args& a) { return in.ExecuteText(Text(a, 0), false); }

Var GetRef(Interpreter& in, const Args& a) { return in.ProcedureReference(Text(a, 0)); }

Var ErrOf(Interpreter& in, const Args&) { return Var::Object(in.ErrDispatch()); }
Var ScriptEngine(Interpreter&, const Args&) { return Var::Text(L"VBScript"); }
Var EngineMajor(Interpreter&, const Args&) { return Var::Long(script::kEngineMajorVersion); }
Var EngineMinor(Interpreter&, const Args&) { return Var::Long(script::kEngineMinorVersion); }
Var EngineBuild(Interpreter&, const Args&) { return Var::Long(script::kEngineBuildVersion); }
Var GetLocale(Interpreter&, const Args&) { return Var::Long(1033); }
Var SetLocale(Interpreter&, const Args&) { return Var::Long(1033); }

Var Rgb(Interpreter&, const Args& a)
{
    auto part = [&](size_t i) {
        LONG v = Whole(a, i);
        if (v < 0)
            Throw(kInvalidProcedureCall);
        return std::min<LONG>(v, 255);
    };
    return Var::Long(part(0) | (part(1) << 8) | (part(2) << 16));
}

const Builtin kBuiltins[] = {
    {L"abs", 1, 1, Abs},
    {L"array", 0, 1 << 16, ArrayOf},
    {L"asc", 1, 1, Asc<false>},
    {L"ascb", 1, 1, Asc<false>},
    {L"ascw", 1, 1, Asc<true>},
    {L"atn", 1, 1, MathOf<Atn>},
    {L"cbool", 1, 1, CBool},
    {L"cbyte", 1, 1, CByte},
    {L"ccur", 1, 1, CCur},
    {L"cdate", 1, 1, CDateOf},
    {L"cdbl", 1, 1, CDbl},
    {L"chr", 1, 1, Chr},
    {L"chrb", 1, 1, Chr},
    {L"chrw", 1, 1, ChrW},
    {L"cint", 1, 1, CInt},
    {L"clng", 1, 1, CLng},
    {L"cos", 1, 1, MathOf<Cos>},
    {L"createobject", 1, 2, CreateObject},
    {L"csng", 1, 1, CSng},
    {L"cstr", 1, 1, CStr},
    {L"date", 0, 0, DateNow},
    {L"dateadd", 3, 3, DateAdd},
    {L"datediff", 3, 5, DateDiff},
    {L"datepart", 2, 4, DatePart},
    {L"dateserial", 3, 3, DateSerial},
    {L"datevalue", 1, 1, DateValue},
    {L"day", 1, 1, DatePartOf<&DateParts::day>},
    {L"err", 0, 0, ErrOf},
    {L"escape", 1, 1, Escape},
    {L"eval", 1, 1, Eval},
    {L"execute", 1, 1, Execute},
    {L"executeglobal", 1, 1, Execute},
    {L"exp", 1, 1, MathOf<SafeExp>},
    {L"filter", 2, 4, Filter},
    {L"fix", 1, 1, IntPart<false>},
    {L"formatcurrency", 1, 5, FormatCurrency},
    {L"formatdatetime", 1, 2, FormatDateTime},
    {L"formatnumber", 1, 5, FormatNumber},
    {L"formatpercent", 1, 5, FormatPercent},
    {L"getlocale", 0, 0, GetLocale},
    {L"getobject", 0, 2, GetObject},
    {L"getref", 1, 1, GetRef},
    {L"hex", 1, 1, Hex},
    {L"hour", 1, 1, DatePartOf<&DateParts::hour>},
    {L"inputbox", 1, 7, InputBox},
    {L"instr", 2, 4, InStr},
    {L"instrrev", 2, 4, InStrRev},
    {L"int", 1, 1, IntPart<true>},
    {L"isarray", 1, 1, IsArray},
    {L"isdate", 1, 1, IsDate},
    {L"isempty", 1, 1, IsEmpty},
    {L"isnull", 1, 1, IsNull},
    {L"isnumeric", 1, 1, IsNumeric},
    {L"isobject", 1, 1, IsObject},
    {L"join", 1, 2, Join},
    {L"lbound", 1, 2, Bound<false>},
    {L"lcase", 1, 1, ChangeCase<false>},
    {L"left", 2, 2, Left},
    {L"len", 1, 1, Len},
    {L"log", 1, 1, MathOf<SafeLog>},
    {L"ltrim", 1, 1, TrimText<true, false>},
    {L"mid", 2, 3, Mid},
    {L"minute", 1, 1, DatePartOf<&DateParts::minute>},
    {L"month", 1, 1, DatePartOf<&DateParts::month>},
    {L"monthname", 1, 2, MonthName},
    {L"msgbox", 1, 5, MsgBox},
    {L"now", 0, 0, Now},
    {L"oct", 1, 1, Oct},
    {L"replace", 3, 6, Replace},
    {L"rgb", 3, 3, Rgb},
    {L"right", 2, 2, Right},
    {L"rnd", 0, 1, Rnd},
    {L"round", 1, 2, Round},
    {L"rtrim", 1, 1, TrimText<false, true>},
    {L"scriptengine", 0, 0, ScriptEngine},
    {L"scriptenginebuildversion", 0, 0, EngineBuild},
    {L"scriptenginemajorversion", 0, 0, EngineMajor},
    {L"scriptengineminorversion", 0, 0, EngineMinor},
    {L"second", 1, 1, DatePartOf<&DateParts::second>},
    {L"setlocale", 0, 1, SetLocale},
    {L"sgn", 1, 1, Sgn},
    {L"sin", 1, 1, MathOf<Sin>},
    {L"space", 1, 1, Space},
    {L"split", 1, 4, Split},
    {L"sqr", 1, 1, MathOf<SafeSqrt>},
    {L"strcomp", 2, 3, StrComp},
    {L"string", 2, 2, StringOf},
    {L"strreverse", 1, 1, StrReverse},
    {L"tan", 1, 1, MathOf<Tan>},
    {L"time", 0, 0, TimeNow},
    {L"timer", 0, 0, TimerNow},
    {L"timeserial", 3, 3, TimeSerial},
    {L"timevalue", 1, 1, TimeValue},
    {L"trim", 1, 1, TrimText<true, true>},
    {L"typename", 1, 1, TypeName},
    {L"ubound", 1, 2, Bound<true>},
    {L"ucase", 1, 1, ChangeCase<true>},
    {L"unescape", 1, 1, Unescape},
    {L"vartype", 1, 1, VarType},
    {L"weekday", 1, 2, Weekday},
    {L"weekdayname", 1, 3, WeekdayName},
    {L"year", 1, 1, DatePartOf<&DateParts::year>},
};

} // namespace

const Builtin* FindBuiltin(const std::wstring& lower)
{
    static const std::unordered_map<std::wstring, const Builtin*> table = [] {
        std::unordered_map<std::wstring, const Builtin*> t;
        for (const Builtin& b : kBuiltins)
            t[b.name] = &b;
        return t;
    }();
    auto it = table.find(lower);
    return it == table.end() ? nullptr : it->second;
}

const Var* FindBuiltinConstant(const std::wstring& lower)
{
    static const std::unordered_map<std::wstring, Var> table = [] {
        std::unordered_map<std::wstring, Var> t;
        auto i = [&](const wchar_t* name, int value) { t[name] = Var::Int(static_cast<SHORT>(value)); };
        auto l = [&](const wchar_t* name, LONG value) { t[name] = Var::Long(value); };
        auto s = [&](const wchar_t* name, std::wstring_view value) { t[name] = Var::Text(value); };
        s(L"vbcr", L"\r");
        s(L"vblf", L"\n");
        s(L"vbcrlf", L"\r\n");
        s(L"vbnewline", L"\r\n");
        s(L"vbtab", L"\t");
        s(L"vbnullchar", std::wstring_view(L"\0", 1));
        s(L"vbnullstring", L"");
        s(L"vbformfeed", L"\f");
        s(L"vbverticaltab", L"\v");
        i(L"vbtrue", -1);
        i(L"vbfalse", 0);
        i(L"vbusedefault", -2);
        i(L"vbbinarycompare", 0);
        i(L"vbtextcompare", 1);
        i(L"vbdatabasecompare", 2);
        i(L"vbokonly", 0);
        i(L"vbokcancel", 1);
        i(L"vbabortretryignore", 2);
        i(L"vbyesnocancel", 3);
        i(L"vbyesno", 4);
        i(L"vbretrycancel", 5);
        i(L"vbcritical", 16);
        i(L"vbquestion", 32);
        i(L"vbexclamation", 48);
        i(L"vbinformation", 64);
        i(L"vbdefaultbutton1", 0);
        i(L"vbdefaultbutton2", 256);
        i(L"vbdefaultbutton3", 512);
        i(L"vbdefaultbutton4", 768);
        i(L"vbapplicationmodal", 0);
        i(L"vbsystemmodal", 4096);
        i(L"vbmsgboxhelpbutton", 16384);
        l(L"vbmsgboxsetforeground", 65536);
        l(L"vbmsgboxright", 524288);
        l(L"vbmsgboxrtlreading", 1048576);
        i(L"vbok", 1);
        i(L"vbcancel", 2);
        i(L"vbabort", 3);
        i(L"vbretry", 4);
        i(L"vbignore", 5);
        i(L"vbyes", 6);
        i(L"vbno", 7);
        i(L"vbempty", 0);
        i(L"vbnull", 1);
        i(L"vbinteger", 2);
        i(L"vblong", 3);
        i(L"vbsingle", 4);
        i(L"vbdouble", 5);
        i(L"vbcurrency", 6);
        i(L"vbdate", 7);
        i(L"vbstring", 8);
        i(L"vbobject", 9);
        i(L"vberror", 10);
        i(L"vbboolean", 11);
        i(L"vbvariant", 12);
        i(L"vbdataobject", 13);
        i(L"vbdecimal", 14);
        i(L"vbbyte", 17);
        i(L"vbarray", 8192);
        i(L"vbsunday", 1);
        i(L"vbmonday", 2);
        i(L"vbtuesday", 3);
        i(L"vbwednesday", 4);
        i(L"vbthursday", 5);
        i(L"vbfriday", 6);
        i(L"vbsaturday", 7);
        i(L"vbusesystemdayofweek", 0);
        i(L"vbusesystem", 0);
        i(L"vbfirstjan1", 1);
        i(L"vbfirstfourdays", 2);
        i(L"vbfirstfullweek", 3);
        i(L"vbgeneraldate", 0);
        i(L"vblongdate", 1);
        i(L"vbshortdate", 2);
        i(L"vblongtime", 3);
        i(L"vbshorttime", 4);
        l(L"vbobjecterror", static_cast<LONG>(0x80040000u));
        l(L"vbblack", 0);
        l(L"vbred", 0xFF);
        l(L"vbgreen", 0xFF00);
        l(L"vbyellow", 0xFFFF);
        l(L"vbblue", 0xFF0000);
        l(L"vbmagenta", 0xFF00FF);
        l(L"vbcyan", 0xFFFF00);
        l(L"vbwhite", 0xFFFFFF);
        return t;
    }();
    auto it = table.find(lower);
    return it == table.end() ? nullptr : &it->second;
}

float SecondsSinceMidnight()
{
    timeval tv;
    gettimeofday(&tv, nullptr);
    time_t t = tv.tv_sec;
    tm local;
    localtime_r(&t, &local);
    return static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec + tv.tv_usec / 1e6);
}

} // namespace vbs
