#include "platform/base/TextToNumber.h"

#include <clocale>
#include <climits>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace {

template <typename Char>
bool IsSpace(Char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

template <typename Char>
bool IsDigit(Char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of text (after white space) that forms a decimal number;
// 0 when there is none. The prefix is copied to number as ASCII.
template <typename Char>
size_t ScanDecimal(const Char* text, std::string& number)
{
    const Char* p = text;
    while (IsSpace(*p)) ++p;
    if (*p == '+' || *p == '-') number += static_cast<char>(*p++);
    size_t digits = 0;
    while (IsDigit(*p)) { number += static_cast<char>(*p++); ++digits; }
    if (*p == '.') {
        number += '.';
        ++p;
        while (IsDigit(*p)) { number += static_cast<char>(*p++); ++digits; }
    }
    if (digits == 0) return 0;
    if (*p == 'e' || *p == 'E') {
        const Char* q = p + 1;
        std::string exponent = "e";
        if (*q == '+' || *q == '-') exponent += static_cast<char>(*q++);
        if (IsDigit(*q)) {
            while (IsDigit(*q)) exponent += static_cast<char>(*q++);
            number += exponent;
            p = q;
        }
    }
    return static_cast<size_t>(p - text);
}

locale_t ClassicLocale()
{
    static locale_t c = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0));
    return c;
}

template <typename Char>
double ToDouble(const Char* text, const Char** end)
{
    if (end) *end = text;
    if (!text) return 0.0;
    std::string number;
    size_t length = ScanDecimal(text, number);
    if (length == 0) return 0.0;
    if (end) *end = text + length;
    return strtod_l(number.c_str(), nullptr, ClassicLocale());
}

template <typename Char>
long long ToInteger(const Char* text, long long min, long long max)
{
    if (!text) return 0;
    const Char* p = text;
    while (IsSpace(*p)) ++p;
    bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    unsigned long long value = 0;
    bool overflow = false;
    for (; IsDigit(*p); ++p) {
        if (value > (ULLONG_MAX - 9) / 10) overflow = true;
        else value = value * 10 + (*p - '0');
    }
    // Out of range saturates, as the runtime's conversions do.
    if (negative) {
        if (overflow || value > static_cast<unsigned long long>(max) + 1) return min;
        return -static_cast<long long>(value);
    }
    if (overflow || value > static_cast<unsigned long long>(max)) return max;
    return static_cast<long long>(value);
}

} // namespace

double ClassicStrToD(const char* text, const char** end) { return ToDouble(text, end); }
double ClassicWcsToD(const wchar_t* text, const wchar_t** end) { return ToDouble(text, end); }

double _wtof(const wchar_t* text) { return ClassicWcsToD(text); }
int _wtoi(const wchar_t* text) { return static_cast<int>(ToInteger(text, INT_MIN, INT_MAX)); }
long _wtol(const wchar_t* text) { return static_cast<long>(ToInteger(text, INT_MIN, INT_MAX)); }
long long _wtoi64(const wchar_t* text) { return ToInteger(text, LLONG_MIN, LLONG_MAX); }
