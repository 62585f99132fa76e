#pragma once
// Locale number information, read from the user's LC_NUMERIC (through LC_ALL/LC_NUMERIC/LANG),
// and GetNumberFormatW. Tests fix the locale with ScopedNumberLocale, so results do not depend
// on which locales a machine has generated.

#include "platform/base/WinTypes.h"

#include <optional>
#include <string>

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCID LOCALE_INVARIANT = 0x007F;

constexpr LCTYPE LOCALE_ILZERO = 0x12;
constexpr LCTYPE LOCALE_SDECIMAL = 0x0E;
constexpr LCTYPE LOCALE_STHOUSAND = 0x0F;
constexpr LCTYPE LOCALE_SGROUPING = 0x10;
constexpr LCTYPE LOCALE_IDIGITS = 0x11;
constexpr LCTYPE LOCALE_INEGNUMBER = 0x1010;
constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;

struct NUMBERFMTW {
    UINT NumDigits;
    UINT LeadingZero;
    UINT Grouping;  // 3 for groups of three; 32 for 3;2 (Indian)
    LPWSTR lpDecimalSep;
    LPWSTR lpThousandSep;
    UINT NegativeOrder;  // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -"
};

struct NumberLocale {
    std::wstring decimal = L".";
    std::wstring thousand = L",";
    UINT grouping = 3;
    UINT digits = 2;
    UINT leadingZero = 1;
    UINT negativeOrder = 1;
};

// The number conventions in force: the fixed test locale if one is set, else the user's.
NumberLocale CurrentNumberLocale();

// Sets a fixed locale for the lifetime of the object (tests), restoring the previous one after.
class ScopedNumberLocale {
public:
    explicit ScopedNumberLocale(NumberLocale locale);
    ~ScopedNumberLocale();
    ScopedNumberLocale(const ScopedNumberLocale&) = delete;
    ScopedNumberLocale& operator=(const ScopedNumberLocale&) = delete;

private:
    std::optional<NumberLocale> m_previous;
};

// Writes the value of the item as text into data (cchData characters including the terminator)
// and returns the characters written with the terminator; with cchData 0 returns the size needed.
// Returns 0 for an unknown item or a buffer too small.
int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int cchData);

// Formats the number text value ("-1234.5678": optional minus, digits, optional "." and digits)
// after the locale or the given format; returns the characters written with the terminator,
// the size needed when cchNumber is 0, or 0 when the value text is invalid or the buffer small.
int GetNumberFormatW(LCID locale, DWORD flags, LPCWSTR value, const NUMBERFMTW* format,
                     LPWSTR numberText, int cchNumber);
