#include "app/DisplayConversions.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

namespace {

struct RomanDigit {
    const wchar_t* symbol;
    int value;
};

} // namespace

std::optional<int> IntegerPart(double value)
{
    const double whole = std::trunc(value);
    if (!(whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max()))
        return std::nullopt;
    return static_cast<int>(whole);
}

CString ToRomanSubtractive(int n)
{
    if (n <= 0)
        return L"Data Error 8";
    static constexpr RomanDigit Digits[] = { { L"M", 1000 }, { L"CM", 900 }, { L"D", 500 }, { L"CD", 400 },
        { L"C", 100 }, { L"XC", 90 }, { L"L", 50 }, { L"XL", 40 }, { L"X", 10 }, { L"IX", 9 }, { L"V", 5 },
        { L"IV", 4 }, { L"I", 1 } };
    CString roman;
    for (const RomanDigit& digit : Digits) {
        for (; n >= digit.value; n -= digit.value)
            roman += digit.symbol;
    }
    return roman;
}

CString ToRomanCompact(int n)
{
    if (n <= 0)
        return L"Data Error 9";
    static constexpr RomanDigit Digits[] = { { L"M", 1000 }, { L"D", 500 }, { L"C", 100 }, { L"L", 50 },
        { L"X", 10 }, { L"V", 5 }, { L"I", 1 } };
    constexpr int Count = static_cast<int>(std::size(Digits));
    CString roman;
    for (int i = 0; i < Count; ++i) {
        for (; n >= Digits[i].value; n -= Digits[i].value)
            roman += Digits[i].symbol;
        for (int j = Count - 1; j > i; --j) {
            const int difference = Digits[i].value - Digits[j].value;
            if (Digits[j].value < difference && difference <= n) {
                roman += Digits[j].symbol;
                roman += Digits[i].symbol;
                n -= difference;
            }
        }
    }
    return roman;
}

CString InBase(int value, unsigned base)
{
    auto bits = static_cast<std::uint32_t>(value);
    CString digits;
    do {
        digits.Insert(0, L"0123456789ABCDEF"[bits % base]);
        bits /= base;
    } while (bits != 0);
    return digits;
}

CString GroupedByFour(const CString& digits)
{
    CString grouped;
    const int length = digits.GetLength();
    for (int i = 0; i < length; ++i) {
        if ((length - i) % 4 == 0)
            grouped += L' ';
        grouped += digits[i];
    }
    return grouped;
}
