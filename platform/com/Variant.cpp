#include "platform/com/Automation.h"

#include "platform/base/TextToNumber.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>
#include <limits>
#include <optional>
#include <vector>

void VariantInit(VARIANT* v)
{
    v->vt = VT_EMPTY;
    v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
    v->llVal = 0;
}

HRESULT VariantClear(VARIANT* v)
{
    if (!v)
        return E_INVALIDARG;
    if (!(v->vt & VT_BYREF)) {
        if (v->vt & VT_ARRAY) {
            if (v->parray) {
                HRESULT hr = SafeArrayDestroy(v->parray);
                if (FAILED(hr))
                    return hr;
            }
        } else if (v->vt == VT_BSTR) {
            SysFreeString(v->bstrVal);
        } else if (v->vt == VT_DISPATCH || v->vt == VT_UNKNOWN) {
            if (v->punkVal)
                v->punkVal->Release();
        }
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src)
{
    if (!dest || !src)
        return E_INVALIDARG;
    if (dest == src)
        return S_OK;
    VARIANT copy = *src;
    if (!(src->vt & VT_BYREF)) {
        if (src->vt & VT_ARRAY) {
            copy.parray = nullptr;
            if (src->parray) {
                HRESULT hr = SafeArrayCopy(src->parray, &copy.parray);
                if (FAILED(hr))
                    return hr;
            }
        } else if (src->vt == VT_BSTR) {
            copy.bstrVal = src->bstrVal ? SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal)) : nullptr;
            if (src->bstrVal && !copy.bstrVal)
                return E_OUTOFMEMORY;
        } else if ((src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) && src->punkVal) {
            src->punkVal->AddRef();
        }
    }
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src)
{
    if (!src || !dest)
        return E_INVALIDARG;
    if (!(src->vt & VT_BYREF))
        return VariantCopy(dest, src);
    VARIANT value;
    VariantInit(&value);
    VARTYPE type = src->vt & ~VT_BYREF;
    if (type == VT_VARIANT)
        return VariantCopyInd(dest, src->pvarVal);
    value.vt = type;
    if (type & VT_ARRAY) {
        value.parray = *src->pparray;
    } else {
        switch (type) {
        case VT_I2: value.iVal = *src->piVal; break;
        case VT_I4: case VT_ERROR: value.lVal = *src->plVal; break;
        case VT_R4: value.fltVal = *src->pfltVal; break;
        case VT_R8: value.dblVal = *src->pdblVal; break;
        case VT_CY: value.cyVal = *src->pcyVal; break;
        case VT_DATE: value.date = *src->pdate; break;
        case VT_BOOL: value.boolVal = *src->pboolVal; break;
        case VT_UI1: value.bVal = *src->pbVal; break;
        case VT_I8: value.llVal = *src->pllVal; break;
        case VT_BSTR: value.bstrVal = *src->pbstrVal; break;
        case VT_DISPATCH: case VT_UNKNOWN: value.punkVal = *src->ppunkVal; break;
        default: return DISP_E_BADVARTYPE;
        }
    }
    // value borrows the referenced data; VariantCopy makes the owned copy.
    return VariantCopy(dest, &value);
}

// ---- numbers as text -------------------------------------------------------------------------

std::wstring FormatDoubleText(double value, int significantDigits)
{
    if (std::isnan(value))
        return L"NaN";
    if (std::isinf(value))
        return value > 0 ? L"Infinity" : L"-Infinity";
    if (value == 0)
        return L"0";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significantDigits - 1, value);
    // buffer: [-]d.ddddde[+-]xx
    std::string text(buffer);
    bool negative = text[0] == '-';
    size_t ePos = text.find('e');
    int exponent = std::atoi(text.c_str() + ePos + 1);
    std::string digits;
    for (size_t i = negative ? 1 : 0; i < ePos; ++i)
        if (text[i] != '.')
            digits += text[i];
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string out = negative ? "-" : "";
    // As the G form: 0.0001 stays plain, 0.00001 is written 1E-05 (two exponent digits at least).
    if (exponent < -4 || exponent >= significantDigits) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += exp;
    } else if (exponent < 0) {
        out += "0.";
        out.append(size_t(-exponent - 1), '0');
        out += digits;
    } else {
        if (digits.size() <= size_t(exponent) + 1) {
            out += digits;
            out.append(exponent + 1 - digits.size(), '0');
        } else {
            out.append(digits, 0, exponent + 1);
            out += '.';
            out.append(digits, exponent + 1);
        }
    }
    return std::wstring(out.begin(), out.end());
}

std::wstring FormatCurrencyText(LONGLONG scaled)
{
    bool negative = scaled < 0;
    unsigned long long magnitude = negative ? 0ull - static_cast<unsigned long long>(scaled) : scaled;
    std::wstring text = std::to_wstring(magnitude / 10000);
    unsigned fraction = magnitude % 10000;
    if (fraction) {
        wchar_t digits[8];
        std::swprintf(digits, 8, L"%04u", fraction);
        std::wstring f(digits);
        while (f.back() == L'0')
            f.pop_back();
        text += L"." + f;
    }
    return negative ? L"-" + text : text;
}

bool ParseNumberText(std::wstring_view text, double& value)
{
    size_t first = 0, last = text.size();
    while (first < last && std::iswspace(text[first]))
        ++first;
    while (last > first && std::iswspace(text[last - 1]))
        --last;
    std::wstring body(text.substr(first, last - first));
    if (body.empty())
        return false;
    if (body.size() > 2 && body[0] == L'&' && (body[1] == L'H' || body[1] == L'h' || body[1] == L'O' || body[1] == L'o')) {
        bool hex = body[1] == L'H' || body[1] == L'h';
        unsigned long long v = 0;
        size_t i = 2;
        for (; i < body.size(); ++i) {
            wchar_t c = body[i];
            int digit = -1;
            if (c >= L'0' && c <= L'9')
                digit = c - L'0';
            else if (hex && c >= L'a' && c <= L'f')
                digit = c - L'a' + 10;
            else if (hex && c >= L'A' && c <= L'F')
                digit = c - L'A' + 10;
            if (digit < 0 || digit >= (hex ? 16 : 8))
                return false;
            v = v * (hex ? 16 : 8) + digit;
            if (v > 0xFFFFFFFFull)
                return false;
        }
        size_t digits = body.size() - 2;
        if (hex ? digits <= 4 : v <= 0xFFFF)
            value = static_cast<SHORT>(static_cast<WORD>(v));
        else
            value = static_cast<LONG>(static_cast<DWORD>(v));
        return true;
    }
    // The classic reader takes "." decimals and an "e" exponent; the language also writes "d".
    for (wchar_t& c : body)
        if (c == L'd' || c == L'D')
            c = L'e';
    // Digit groups are separated by "," in the whole part ("1,000" is 1000); they are dropped.
    size_t wholeEnd = body.find_first_of(L".eE");
    for (size_t i = std::min(wholeEnd, body.size()); i-- > 1;)
        if (body[i] == L',' && body[i - 1] >= L'0' && body[i - 1] <= L'9')
            body.erase(i, 1);
    bool hasDigit = false;
    for (wchar_t c : body) {
        if (c >= L'0' && c <= L'9')
            hasDigit = true;
        else if (!(c == L'+' || c == L'-' || c == L'.' || c == L'e' || c == L'E'))
            return false;
    }
    if (!hasDigit)
        return false;
    const wchar_t* end = nullptr;
    double v = ClassicWcsToD(body.c_str(), &end);
    if (end != body.c_str() + body.size())
        return false;
    if (std::isinf(v) || std::isnan(v))
        return false;
    value = v;
    return true;
}

// ---- dates -----------------------------------------------------------------------------------

namespace {

constexpr double kMinDate = -657434.0;  // 1 January 100
constexpr double kMaxDate = 2958465.0;  // 31 December 9999

long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    long long era = (y >= 0 ? y : y - 399) / 400;
    unsigned yoe = static_cast<unsigned>(y - era * 400);
    unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    unsigned doe = static_cast<unsigned>(z - era * 146097);
    unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long yy = static_cast<long long>(yoe) + era * 400;
    unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

const long long kEpochDays = DaysFromCivil(1899, 12, 30);

const wchar_t* const kMonthNames[] = {L"january", L"february", L"march", L"april", L"may", L"june", L"july",
                                      L"august", L"september", L"october", L"november", L"december"};

int MonthFromName(const std::wstring& word)
{
    if (word.size() < 3)
        return 0;
    for (int i = 0; i < 12; ++i) {
        std::wstring name = kMonthNames[i];
        if (name.compare(0, word.size(), word) == 0)
            return i + 1;
    }
    return 0;
}

int DaysInMonth(int year, int month)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

int ExpandYear(int year, size_t digits)
{
    if (digits <= 2 && year < 100)
        return year < 30 ? 2000 + year : 1900 + year;
    return year;
}

} // namespace

// A date value holds any time of those days; a day's time adds to its magnitude.
bool IsDateInRange(DATE date) { return date > kMinDate - 1 && date < kMaxDate + 1; }

bool DateFromParts(int year, int month, int day, int hour, int minute, int second, DATE& date)
{
    long long y = year + (month - 1 >= 0 ? (month - 1) / 12 : -((12 - month) / 12));
    int m = ((month - 1) % 12 + 12) % 12 + 1;
    long long days = DaysFromCivil(y, m, 1) + (day - 1) - kEpochDays;
    long long seconds = static_cast<long long>(hour) * 3600 + static_cast<long long>(minute) * 60 + second;
    days += seconds >= 0 ? seconds / 86400 : -((86399 - seconds) / 86400);
    seconds = ((seconds % 86400) + 86400) % 86400;
    double fraction = seconds / 86400.0;
    double value = days >= 0 ? days + fraction : days - fraction;
    if (!IsDateInRange(value))
        return false;
    date = value;
    return true;
}

DateParts DateToParts(DATE date)
{
    DateParts parts;
    double whole = std::trunc(date);
    double fraction = std::fabs(date - whole);
    long long seconds = std::llround(fraction * 86400.0);
    long long days = static_cast<long long>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += date >= 0 ? 1 : -1;
    }
    CivilFromDays(days + kEpochDays, parts.year, parts.month, parts.day);
    parts.hour = static_cast<int>(seconds / 3600);
    parts.minute = static_cast<int>(seconds / 60 % 60);
    parts.second = static_cast<int>(seconds % 60);
    parts.dayOfWeek = static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
    return parts;
}

std::wstring FormatDateText(DATE date)
{
    DateParts p = DateToParts(date);
    bool hasDate = std::trunc(date) != 0;
    // The zero date (midnight of day 0) is written as a time, "12:00:00 AM".
    bool hasTime = p.hour || p.minute || p.second || !hasDate;
    wchar_t buffer[64];
    std::wstring text;
    if (hasDate) {
        std::swprintf(buffer, 64, L"%d/%d/%d", p.month, p.day, p.year);
        text = buffer;
    }
    if (hasTime) {
        int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
        std::swprintf(buffer, 64, L"%d:%02d:%02d %ls", hour12, p.minute, p.second, p.hour < 12 ? L"AM" : L"PM");
        if (!text.empty())
            text += L' ';
        text += buffer;
    }
    return text;
}

bool ParseDateText(std::wstring_view input, DATE& date)
{
    struct Token {
        bool number;
        int value;
        size_t digits;
        std::wstring word;
        wchar_t separatorAfter;
    };
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < input.size()) {
        wchar_t c = input[i];
        if (std::iswdigit(c)) {
            Token t{true, 0, 0, L"", 0};
            while (i < input.size() && std::iswdigit(input[i])) {
                if (t.digits < 6)
                    t.value = t.value * 10 + (input[i] - L'0');
                ++t.digits;
                ++i;
            }
            if (i < input.size() && !std::iswalnum(input[i]))
                t.separatorAfter = input[i];
            tokens.push_back(t);
        } else if (std::iswalpha(c)) {
            Token t{false, 0, 0, L"", 0};
            while (i < input.size() && std::iswalpha(input[i]))
                t.word += static_cast<wchar_t>(std::towlower(input[i++]));
            tokens.push_back(t);
        } else if (c == L' ' || c == L'\t' || c == L'/' || c == L'-' || c == L',' || c == L'.' || c == L':') {
            ++i;
        } else {
            return false;
        }
    }
    if (tokens.empty())
        return false;
    int hour = 0, minute = 0, second = 0;
    bool hasTime = false;
    std::vector<Token> dateTokens;
    int month = 0;
    for (size_t k = 0; k < tokens.size(); ++k) {
        const Token& t = tokens[k];
        if (t.number && t.separatorAfter == L':' && !hasTime) {
            hasTime = true;
            hour = t.value;
            if (k + 1 >= tokens.size() || !tokens[k + 1].number)
                return false;
            minute = tokens[++k].value;
            if (tokens[k].separatorAfter == L':') {
                if (k + 1 >= tokens.size() || !tokens[k + 1].number)
                    return false;
                second = tokens[++k].value;
            }
            if (k + 1 < tokens.size() && !tokens[k + 1].number && (tokens[k + 1].word == L"am" || tokens[k + 1].word == L"pm")) {
                bool pm = tokens[++k].word == L"pm";
                if (hour < 1 || hour > 12)
                    return false;
                hour = hour % 12 + (pm ? 12 : 0);
            }
            if (hour > 23 || minute > 59 || second > 59)
                return false;
        } else if (!t.number) {
            int m = MonthFromName(t.word);
            if (!m || month)
                return false;
            month = m;
        } else {
            dateTokens.push_back(t);
        }
    }
    int year = 1899, day = 30;
    bool hasDate = month != 0 || !dateTokens.empty();
    if (hasDate) {
        if (month) {
            if (dateTokens.size() == 2) {
                bool firstIsYear = dateTokens[0].value > 31 || dateTokens[0].digits > 2;
                day = dateTokens[firstIsYear ? 1 : 0].value;
                const Token& y = dateTokens[firstIsYear ? 0 : 1];
                year = ExpandYear(y.value, y.digits);
            } else if (dateTokens.size() == 1) {
                if (dateTokens[0].value > 31) {
                    year = ExpandYear(dateTokens[0].value, dateTokens[0].digits);
                    day = 1;
                } else {
                    return false;
                }
            } else {
                return false;
            }
        } else if (dateTokens.size() == 3) {
            if (dateTokens[0].digits > 2 || dateTokens[0].value > 31) {
                year = dateTokens[0].value;
                month = dateTokens[1].value;
                day = dateTokens[2].value;
            } else {
                month = dateTokens[0].value;
                day = dateTokens[1].value;
                year = ExpandYear(dateTokens[2].value, dateTokens[2].digits);
                if (month > 12 && day <= 12)
                    std::swap(month, day);
            }
        } else {
            return false;
        }
        if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month))
            return false;
    } else if (!hasTime) {
        return false;
    }
    if (!hasDate) {
        year = 1899;
        month = 12;
        day = 30;
    }
    return DateFromParts(year, month, day, hour, minute, second, date);
}

// ---- coercion --------------------------------------------------------------------------------

namespace {

bool IsTextEqualNoCase(std::wstring_view a, const wchar_t* b)
{
    size_t n = std::wcslen(b);
    if (a.size() != n)
        return false;
    for (size_t i = 0; i < n; ++i)
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return true;
}

std::wstring_view Trimmed(std::wstring_view text)
{
    while (!text.empty() && std::iswspace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && std::iswspace(text.back()))
        text.remove_suffix(1);
    return text;
}

// The value of a scalar variant as a double; false when it has none.
HRESULT NumberOf(const VARIANT& v, double& out)
{
    switch (v.vt) {
    case VT_EMPTY: out = 0; return S_OK;
    case VT_NULL: return DISP_E_TYPEMISMATCH;
    case VT_I2: out = v.iVal; return S_OK;
    case VT_I4: case VT_INT: out = v.lVal; return S_OK;
    case VT_UI1: out = v.bVal; return S_OK;
    case VT_I1: out = v.cVal; return S_OK;
    case VT_UI2: out = v.uiVal; return S_OK;
    case VT_UI4: case VT_UINT: out = v.ulVal; return S_OK;
    case VT_I8: out = static_cast<double>(v.llVal); return S_OK;
    case VT_UI8: out = static_cast<double>(v.ullVal); return S_OK;
    case VT_R4: out = v.fltVal; return S_OK;
    case VT_R8: out = v.dblVal; return S_OK;
    case VT_DATE: out = v.date; return S_OK;
    case VT_CY: out = v.cyVal.int64 / 10000.0; return S_OK;
    case VT_BOOL: out = v.boolVal ? -1 : 0; return S_OK;
    case VT_ERROR: out = v.scode; return S_OK;
    case VT_BSTR: return ParseNumberText(BstrView(v.bstrVal), out) ? S_OK : DISP_E_TYPEMISMATCH;
    default: return DISP_E_TYPEMISMATCH;
    }
}

// "True" and "False" (also written "#TRUE#", "#FALSE#") are Boolean words, not numbers: they
// convert to a Boolean only.
std::optional<bool> BooleanWord(std::wstring_view text)
{
    std::wstring_view t = Trimmed(text);
    if (IsTextEqualNoCase(t, L"true") || IsTextEqualNoCase(t, L"#true#"))
        return true;
    if (IsTextEqualNoCase(t, L"false") || IsTextEqualNoCase(t, L"#false#"))
        return false;
    return std::nullopt;
}

double RoundHalfEven(double value)
{
    return std::nearbyint(value);  // the default rounding mode rounds half to even
}

HRESULT ToInteger(double value, double low, double high, LONGLONG& out)
{
    if (std::isnan(value))
        return DISP_E_OVERFLOW;
    double r = RoundHalfEven(value);
    if (r < low || r > high)
        return DISP_E_OVERFLOW;
    out = static_cast<LONGLONG>(r);
    return S_OK;
}

} // namespace

HRESULT VarCyFromR8(double value, CY* out)
{
    // The whole part is scaled apart from the fraction: value * 10000 as a double is off by up to
    // a thousand ten-thousandths near the ends of the range.
    if (!(std::fabs(value) < 922337203685478.0))
        return DISP_E_OVERFLOW;
    double whole = std::trunc(value);
    auto fraction = static_cast<LONGLONG>(RoundHalfEven((value - whole) * 10000));
    LONGLONG scaled;
    if (__builtin_add_overflow(static_cast<LONGLONG>(whole) * 10000, fraction, &scaled))
        return DISP_E_OVERFLOW;
    out->int64 = scaled;
    return S_OK;
}

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt)
{
    if (!dest || !src)
        return E_INVALIDARG;
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = VariantCopyInd(&value, src);
    if (FAILED(hr))
        return hr;
    struct Guard {
        VARIANT* v;
        ~Guard() { VariantClear(v); }
    } guard{&value};

    if (value.vt == vt || vt == VT_VARIANT) {
        VariantClear(dest);
        *dest = value;
        VariantInit(&value);
        return S_OK;
    }
    if (value.vt == VT_DISPATCH && vt != VT_UNKNOWN) {
        if (flags & VARIANT_NOVALUEPROP || !value.pdispVal)
            return DISP_E_TYPEMISMATCH;
        VARIANT property;
        VariantInit(&property);
        hr = InvokeDispatch(value.pdispVal, DISPID_VALUE, DISPATCH_PROPERTYGET, nullptr, 0, &property);
        if (FAILED(hr))
            return hr == DISP_E_MEMBERNOTFOUND ? DISP_E_TYPEMISMATCH : hr;
        hr = VariantChangeType(dest, &property, flags | VARIANT_NOVALUEPROP, vt);
        VariantClear(&property);
        return hr;
    }
    if ((value.vt & VT_ARRAY) || (vt & VT_ARRAY))
        return DISP_E_TYPEMISMATCH;

    VARIANT result;
    VariantInit(&result);
    result.vt = vt;
    double number = 0;
    LONGLONG integer = 0;
    switch (vt) {
    case VT_EMPTY:
        break;
    case VT_NULL:
        return DISP_E_TYPEMISMATCH;
    case VT_BSTR: {
        std::wstring text;
        switch (value.vt) {
        case VT_EMPTY: break;
        case VT_NULL: return DISP_E_TYPEMISMATCH;
        case VT_BOOL:
            text = (flags & VARIANT_ALPHABOOL) ? (value.boolVal ? L"True" : L"False") : (value.boolVal ? L"-1" : L"0");
            break;
        case VT_R4: text = FormatDoubleText(value.fltVal, 7); break;
        case VT_R8: text = FormatDoubleText(value.dblVal); break;
        case VT_DATE:
            if (!IsDateInRange(value.date))
                return DISP_E_OVERFLOW;
            text = FormatDateText(value.date);
            break;
        case VT_CY: text = FormatCurrencyText(value.cyVal.int64); break;
        case VT_I8: text = std::to_wstring(value.llVal); break;
        case VT_UI8: text = std::to_wstring(value.ullVal); break;
        case VT_ERROR: text = L"Error " + std::to_wstring(value.scode); break;
        case VT_UNKNOWN: return DISP_E_TYPEMISMATCH;
        default:
            hr = NumberOf(value, number);
            if (FAILED(hr))
                return hr;
            text = FormatDoubleText(number);
        }
        result.bstrVal = SysAllocStringView(text);
        if (!result.bstrVal)
            return E_OUTOFMEMORY;
        break;
    }
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (value.vt != VT_DISPATCH && value.vt != VT_UNKNOWN)
            return DISP_E_TYPEMISMATCH;
        result.punkVal = nullptr;
        if (value.punkVal) {
            hr = value.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown,
                                               reinterpret_cast<void**>(&result.punkVal));
            if (FAILED(hr))
                return DISP_E_TYPEMISMATCH;
        }
        break;
    case VT_DATE:
        if (value.vt == VT_BSTR) {
            DATE date;
            if (ParseDateText(BstrView(value.bstrVal), date)) {
                result.date = date;
                break;
            }
        }
        hr = NumberOf(value, number);
        if (FAILED(hr))
            return hr;
        if (!IsDateInRange(number))
            return DISP_E_OVERFLOW;
        result.date = number;
        break;
    default: {
        if (vt == VT_BOOL && value.vt == VT_BSTR) {
            if (std::optional<bool> word = BooleanWord(BstrView(value.bstrVal))) {
                result.boolVal = *word ? VARIANT_TRUE : VARIANT_FALSE;
                break;
            }
        }
        hr = NumberOf(value, number);
        if (FAILED(hr))
            return hr;
        switch (vt) {
        case VT_BOOL: result.boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE; break;
        case VT_R8: result.dblVal = number; break;
        case VT_R4:
            if (std::fabs(number) > std::numeric_limits<float>::max())
                return DISP_E_OVERFLOW;
            result.fltVal = static_cast<float>(number);
            break;
        case VT_CY:
            if (FAILED(hr = VarCyFromR8(number, &result.cyVal)))
                return hr;
            break;
        case VT_UI1:
            if (FAILED(hr = ToInteger(number, 0, 255, integer)))
                return hr;
            result.bVal = static_cast<BYTE>(integer);
            break;
        case VT_I2:
            if (FAILED(hr = ToInteger(number, -32768, 32767, integer)))
                return hr;
            result.iVal = static_cast<SHORT>(integer);
            break;
        case VT_I4:
        case VT_INT:
            if (FAILED(hr = ToInteger(number, -2147483648.0, 2147483647.0, integer)))
                return hr;
            result.lVal = static_cast<LONG>(integer);
            break;
        case VT_UI2:
            if (FAILED(hr = ToInteger(number, 0, 65535, integer)))
                return hr;
            result.uiVal = static_cast<USHORT>(integer);
            break;
        case VT_UI4:
        case VT_UINT:
            if (FAILED(hr = ToInteger(number, 0, 4294967295.0, integer)))
                return hr;
            result.ulVal = static_cast<ULONG>(integer);
            break;
        case VT_I8:
            if (FAILED(hr = ToInteger(number, -9.2233720368547758e18, 9.2233720368547748e18, integer)))
                return hr;
            result.llVal = integer;
            break;
        case VT_ERROR:
            result.scode = static_cast<SCODE>(number);
            break;
        default:
            return DISP_E_BADVARTYPE;
        }
    }
    }
    VariantClear(dest);
    *dest = result;
    return S_OK;
}

// ---- calling objects -------------------------------------------------------------------------

HRESULT VariantWriteByRef(VARIANT* arg, const VARIANT& value)
{
    if (!arg || !(arg->vt & VT_BYREF))
        return DISP_E_TYPEMISMATCH;
    if (arg->vt == (VT_BYREF | VT_VARIANT))
        return VariantCopy(arg->pvarVal, &value);
    VARIANT converted;
    VariantInit(&converted);
    VARTYPE type = arg->vt & ~VT_BYREF;
    HRESULT hr = VariantChangeType(&converted, &value, VARIANT_ALPHABOOL, type);
    if (FAILED(hr))
        return hr;
    switch (type) {
    case VT_I2: *arg->piVal = converted.iVal; break;
    case VT_I4: *arg->plVal = converted.lVal; break;
    case VT_R4: *arg->pfltVal = converted.fltVal; break;
    case VT_R8: *arg->pdblVal = converted.dblVal; break;
    case VT_BOOL: *arg->pboolVal = converted.boolVal; break;
    case VT_UI1: *arg->pbVal = converted.bVal; break;
    case VT_DATE: *arg->pdate = converted.date; break;
    case VT_CY: *arg->pcyVal = converted.cyVal; break;
    case VT_BSTR:
        SysFreeString(*arg->pbstrVal);
        *arg->pbstrVal = converted.bstrVal;
        return S_OK;
    default:
        VariantClear(&converted);
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

HRESULT InvokeDispatch(IDispatch* object, DISPID id, WORD flags, VARIANT* args, UINT count, VARIANT* result,
                       EXCEPINFO* exception)
{
    if (!object)
        return E_POINTER;
    std::vector<VARIANT> reversed(args ? args : nullptr, args ? args + count : nullptr);
    std::reverse(reversed.begin(), reversed.end());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, count, 0};
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO local{};
    HRESULT hr = object->Invoke(id, IID_NULL, 0, flags, &params, result, exception ? exception : &local, nullptr);
    if (!exception)
        ClearExcepInfo(&local);
    return hr;
}

HRESULT GetDispatchId(IDispatch* object, const wchar_t* name, DISPID* id)
{
    if (!object)
        return E_POINTER;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return object->GetIDsOfNames(IID_NULL, names, 1, 0, id);
}

void ClearExcepInfo(EXCEPINFO* info)
{
    if (!info)
        return;
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrHelpFile);
    *info = EXCEPINFO{};
}
