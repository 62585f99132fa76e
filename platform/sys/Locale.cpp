#include "platform/sys/Locale.h"

#include "platform/base/CString.h"

#include <algorithm>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <cwchar>
#include <langinfo.h>
#include <locale.h>

namespace {

std::optional<NumberLocale>& FixedLocale()
{
    static std::optional<NumberLocale> fixed;
    return fixed;
}

const char* UserLocaleName()
{
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) return value;
    }
    return "C";
}

// The user's LC_NUMERIC conventions. The C and POSIX locales, and locales that are not
// installed, keep the defaults (point, comma, groups of three).
NumberLocale ReadUserLocale()
{
    NumberLocale result;
    locale_t loc = newlocale(LC_NUMERIC_MASK, UserLocaleName(), static_cast<locale_t>(0));
    if (!loc) return result;
    std::wstring decimal = NarrowToWide(nl_langinfo_l(RADIXCHAR, loc));
    std::wstring thousand = NarrowToWide(nl_langinfo_l(THOUSEP, loc));
    locale_t previous = uselocale(loc);
    const char* grouping = std::localeconv()->grouping;
    int firstGroup = grouping && *grouping > 0 && *grouping < CHAR_MAX ? grouping[0] : 0;
    int secondGroup = firstGroup && grouping[1] > 0 && grouping[1] < CHAR_MAX ? grouping[1] : firstGroup;
    uselocale(previous);
    freelocale(loc);
    bool plainC = decimal == L"." && thousand.empty();
    if (plainC) return result;
    if (!decimal.empty()) result.decimal = decimal;
    result.thousand = thousand;
    result.grouping = firstGroup == 0 ? 0 : (secondGroup != firstGroup ? firstGroup * 10 + secondGroup : firstGroup);
    return result;
}

int CopyOut(const std::wstring& text, LPWSTR out, int cch)
{
    int needed = static_cast<int>(text.size()) + 1;
    if (cch == 0) return needed;
    if (!out || cch < needed) return 0;
    std::wmemcpy(out, text.c_str(), needed);
    return needed;
}

// Adds one unit in the last place of a digit string; true when it carried out of the front.
bool Increment(std::wstring& digits)
{
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != L'9') {
            ++*it;
            return false;
        }
        *it = L'0';
    }
    return true;
}

std::wstring Group(const std::wstring& integer, UINT grouping, const std::wstring& separator)
{
    if (grouping == 0 || separator.empty()) return integer;
    size_t first = grouping >= 10 ? grouping / 10 : grouping;
    size_t rest = grouping >= 10 ? grouping % 10 : grouping;
    if (first == 0) return integer;
    std::wstring out;
    size_t group = first;
    size_t count = 0;
    for (size_t i = integer.size(); i-- > 0;) {
        out.insert(out.begin(), integer[i]);
        if (++count == group && i > 0 && rest > 0) {
            out.insert(0, separator);
            count = 0;
            group = rest;
        }
    }
    return out;
}

} // namespace

NumberLocale CurrentNumberLocale()
{
    if (FixedLocale()) return *FixedLocale();
    static const NumberLocale user = ReadUserLocale();
    return user;
}

ScopedNumberLocale::ScopedNumberLocale(NumberLocale locale) : m_previous(FixedLocale())
{
    FixedLocale() = std::move(locale);
}

ScopedNumberLocale::~ScopedNumberLocale() { FixedLocale() = m_previous; }

int GetLocaleInfoW(LCID /*locale*/, LCTYPE type, LPWSTR data, int cchData)
{
    NumberLocale loc = CurrentNumberLocale();
    std::wstring value;
    switch (type & ~LOCALE_NOUSEROVERRIDE) {
    case LOCALE_SDECIMAL: value = loc.decimal; break;
    case LOCALE_STHOUSAND: value = loc.thousand; break;
    case LOCALE_ILZERO: value = std::to_wstring(loc.leadingZero); break;
    case LOCALE_INEGNUMBER: value = std::to_wstring(loc.negativeOrder); break;
    case LOCALE_IDIGITS: value = std::to_wstring(loc.digits); break;
    case LOCALE_SGROUPING:
        if (loc.grouping == 0) value = L"0";
        else if (loc.grouping >= 10) value = std::to_wstring(loc.grouping / 10) + L";" + std::to_wstring(loc.grouping % 10) + L";0";
        else value = std::to_wstring(loc.grouping) + L";0";
        break;
    default: return 0;
    }
    return CopyOut(value, data, cchData);
}

int GetNumberFormatW(LCID /*locale*/, DWORD /*flags*/, LPCWSTR value, const NUMBERFMTW* format,
                     LPWSTR numberText, int cchNumber)
{
    if (!value) return 0;
    NumberLocale loc = CurrentNumberLocale();
    UINT digits = format ? format->NumDigits : loc.digits;
    UINT leadingZero = format ? format->LeadingZero : loc.leadingZero;
    UINT grouping = format ? format->Grouping : loc.grouping;
    std::wstring decimalSep = format && format->lpDecimalSep ? format->lpDecimalSep : loc.decimal;
    std::wstring thousandSep = format && format->lpThousandSep ? format->lpThousandSep : loc.thousand;
    UINT negativeOrder = format ? format->NegativeOrder : loc.negativeOrder;
    if (digits > 9 || negativeOrder > 4) return 0;

    const wchar_t* p = value;
    bool negative = *p == L'-';
    if (negative) ++p;
    std::wstring integer, fraction;
    while (*p >= L'0' && *p <= L'9') integer += *p++;
    if (*p == L'.') {
        ++p;
        while (*p >= L'0' && *p <= L'9') fraction += *p++;
    }
    if (*p || (integer.empty() && fraction.empty())) return 0;

    // Round half away from zero to the wanted number of fraction digits.
    bool roundUp = fraction.size() > digits && fraction[digits] >= L'5';
    fraction.resize(digits, L'0');
    if (roundUp && Increment(fraction) && Increment(integer)) integer.insert(0, 1, L'1');
    if (integer.empty()) integer = L"0";
    integer.erase(0, std::min(integer.find_first_not_of(L'0'), integer.size() - 1));

    std::wstring text = (integer == L"0" && !leadingZero && digits > 0) ? L"" : Group(integer, grouping, thousandSep);
    if (digits > 0) text += decimalSep + fraction;
    bool nonZero = (integer + fraction).find_first_not_of(L'0') != std::wstring::npos;
    if (negative && nonZero) {
        switch (negativeOrder) {
        case 0: text = L"(" + text + L")"; break;
        case 1: text = L"-" + text; break;
        case 2: text = L"- " + text; break;
        case 3: text += L"-"; break;
        case 4: text += L" -"; break;
        }
    }
    return CopyOut(text, numberText, cchNumber);
}
