#include "platform/base/StringFormat.h"

#include "platform/base/CString.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace {

enum class Size { Default, Short, Char, Long, LongLong, Pointer, WideText, NarrowText };

struct Conversion {
    std::string flags;
    int width = -1;
    int precision = -1;
    Size size = Size::Default;
    char conversion = 0;

    bool Has(char flag) const { return flags.find(flag) != std::string::npos; }
};

// Text of one conversion, narrow (numbers are ASCII) or wide (text arguments).
template <typename Char>
using Text = std::basic_string<Char>;

std::string Printf(const std::string& conv, auto value)
{
    char small[128];
    int n = std::snprintf(small, sizeof small, conv.c_str(), value);
    if (n < 0) return {};
    if (n < static_cast<int>(sizeof small)) return std::string(small, n);
    std::string big(n + 1, '\0');
    std::snprintf(big.data(), big.size(), conv.c_str(), value);
    big.resize(n);
    return big;
}

// The classic runtime writes at least three exponent digits: 1E+06 becomes 1E+006.
void WidenExponent(std::string& text)
{
    auto e = text.find_first_of("eE");
    if (e == std::string::npos || e + 2 >= text.size()) return;
    size_t digits = text.size() - (e + 2);
    if (digits < 3) text.insert(e + 2, 3 - digits, '0');
}

// Pads a formatted number to the field width, zeros going after the sign or the 0x prefix.
void PadNumber(std::string& text, const Conversion& conv, bool zeroAllowed)
{
    if (conv.width < 0 || static_cast<int>(text.size()) >= conv.width) return;
    size_t fill = conv.width - text.size();
    if (conv.Has('-')) {
        text.append(fill, ' ');
    } else if (conv.Has('0') && zeroAllowed) {
        size_t at = (!text.empty() && (text[0] == '-' || text[0] == '+' || text[0] == ' ')) ? 1 : 0;
        if (text.size() >= at + 2 && text[at] == '0' && (text[at + 1] == 'x' || text[at + 1] == 'X')) at += 2;
        text.insert(at, fill, '0');
    } else {
        text.insert(0, fill, ' ');
    }
}

template <typename Char>
Text<Char> PadText(Text<Char> text, const Conversion& conv)
{
    if (conv.precision >= 0 && static_cast<int>(text.size()) > conv.precision) text.resize(conv.precision);
    if (conv.width > static_cast<int>(text.size())) {
        size_t fill = conv.width - text.size();
        if (conv.Has('-')) text.append(fill, Char(' '));
        else text.insert(0, fill, Char(' '));
    }
    return text;
}

template <typename Char>
Text<Char> FromAscii(const std::string& text) { return Text<Char>(text.begin(), text.end()); }

template <typename Char>
Text<Char> FromWide(const wchar_t* text)
{
    if constexpr (sizeof(Char) == sizeof(wchar_t)) return text;
    else return WideToUtf8(text);
}

template <typename Char>
Text<Char> FromNarrow(const char* text)
{
    if constexpr (sizeof(Char) == sizeof(wchar_t)) return NarrowToWide(text);
    else return text;
}

template <typename Char>
int ReadNumber(const Char*& p)
{
    int value = 0;
    while (*p >= Char('0') && *p <= Char('9')) {
        if (value < 100000) value = value * 10 + (*p - Char('0'));
        ++p;
    }
    return value;
}

template <typename Char>
Size ReadSize(const Char*& p)
{
    switch (*p) {
    case Char('h'):
        ++p;
        if (*p == Char('h')) { ++p; return Size::Char; }
        return Size::Short;
    case Char('l'):
        ++p;
        if (*p == Char('l')) { ++p; return Size::LongLong; }
        return Size::Long;
    case Char('L'): ++p; return Size::Long;
    case Char('w'): ++p; return Size::WideText;
    case Char('j'): case Char('z'): case Char('t'): ++p; return Size::Pointer;
    case Char('I'):
        if (p[1] == Char('6') && p[2] == Char('4')) { p += 3; return Size::LongLong; }
        if (p[1] == Char('3') && p[2] == Char('2')) { p += 3; return Size::Default; }
        ++p;
        return Size::Pointer;
    default: return Size::Default;
    }
}

// The narrow C pattern of a number conversion, without width (widths are applied afterwards).
std::string NumberPattern(const Conversion& conv, const char* length, bool withWidth)
{
    std::string out = "%" + conv.flags;
    if (withWidth && conv.width >= 0) out += std::to_string(conv.width);
    if (conv.precision >= 0) out += "." + std::to_string(conv.precision);
    return out + length + conv.conversion;
}

// True when the exact decimal value of v ends in a 5 just after the last digit that the
// conversion writes, so that rounding it is a tie.
bool IsExactTie(const Conversion& conv, double v)
{
    // A double's exact decimal expansion has at most 767 significant digits.
    std::string exact = Printf("%.800e", v);
    size_t e = exact.find('e');
    std::string digits = exact.substr(exact[0] == '-' ? 1 : 0, e - (exact[0] == '-' ? 1 : 0));
    digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
    digits.erase(digits.find_last_not_of('0') + 1);
    if (digits.empty() || digits.back() != '5') return false;
    int significant = static_cast<int>(digits.size());
    int exponent = std::atoi(exact.c_str() + e + 1);
    int precision = conv.precision < 0 ? 6 : conv.precision;
    switch (conv.conversion) {
    case 'f': case 'F': return exponent - (significant - 1) == -(precision + 1);
    case 'e': case 'E': return significant == precision + 2;
    default: return significant == (precision == 0 ? 1 : precision) + 1;  // g, G
    }
}

// The classic runtime rounds a tie away from zero (2.5 with no decimals gives 3, 0.125 with two
// gives 0.13), where the C library rounds it to even. Near a rounding boundary the neighbour of v
// away from zero shows which way away is, and it only wins for an exact tie.
std::string FormatDecimal(const Conversion& conv, double v)
{
    std::string pattern = NumberPattern(conv, "", false);
    std::string text = Printf(pattern, v);
    if (v == 0.0) return text;
    std::string away = Printf(pattern, std::nextafter(v, v > 0 ? HUGE_VAL : -HUGE_VAL));
    return away != text && IsExactTie(conv, v) ? away : text;
}

template <typename Char>
Text<Char> FormatImpl(const Char* format, va_list args)
{
    constexpr bool wide = sizeof(Char) == sizeof(wchar_t);
    Text<Char> out;
    for (const Char* p = format; p && *p;) {
        if (*p != Char('%')) {
            out += *p++;
            continue;
        }
        ++p;
        if (*p == Char('%')) {
            out += *p++;
            continue;
        }
        Conversion conv;
        while (*p == Char('-') || *p == Char('+') || *p == Char(' ') || *p == Char('#') || *p == Char('0'))
            conv.flags += static_cast<char>(*p++);
        if (*p == Char('*')) {
            ++p;
            conv.width = va_arg(args, int);
            if (conv.width < 0) { conv.flags += '-'; conv.width = -conv.width; }
        } else {
            conv.width = *p >= Char('0') && *p <= Char('9') ? ReadNumber(p) : -1;
        }
        if (*p == Char('.')) {
            ++p;
            if (*p == Char('*')) {
                ++p;
                conv.precision = va_arg(args, int);
            } else {
                conv.precision = ReadNumber(p);
            }
        }
        conv.size = ReadSize(p);
        if (!*p) break;
        conv.conversion = static_cast<char>(*p++);

        switch (conv.conversion) {
        case 'd': case 'i': {
            long long v = conv.size == Size::LongLong || conv.size == Size::Pointer ? va_arg(args, long long)
                                                                                     : va_arg(args, int);
            if (conv.size == Size::Short) v = static_cast<short>(v);
            if (conv.size == Size::Char) v = static_cast<signed char>(v);
            out += FromAscii<Char>(Printf(NumberPattern(conv, "ll", true), v));
            break;
        }
        case 'u': case 'x': case 'X': case 'o': {
            unsigned long long v = conv.size == Size::LongLong || conv.size == Size::Pointer
                                       ? va_arg(args, unsigned long long)
                                       : va_arg(args, unsigned int);
            if (conv.size == Size::Short) v = static_cast<unsigned short>(v);
            if (conv.size == Size::Char) v = static_cast<unsigned char>(v);
            out += FromAscii<Char>(Printf(NumberPattern(conv, "ll", true), v));
            break;
        }
        case 'e': case 'E': case 'f': case 'F': case 'g': case 'G': case 'a': case 'A': {
            double v = va_arg(args, double);
            bool finite = std::isfinite(v);
            bool decimal = conv.conversion != 'a' && conv.conversion != 'A';
            std::string text = decimal && finite ? FormatDecimal(conv, v) : Printf(NumberPattern(conv, "", false), v);
            if (finite && decimal) WidenExponent(text);
            PadNumber(text, conv, finite);
            out += FromAscii<Char>(text);
            break;
        }
        case 'p': {
            std::string text = Printf("%016llX", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(va_arg(args, void*))));
            PadNumber(text, conv, false);
            out += FromAscii<Char>(text);
            break;
        }
        case 'c': case 'C': {
            int ch = va_arg(args, int);
            // In a wide format %c is a wide character and %C a narrow one; the other way round in a narrow one.
            bool wideArg = conv.size == Size::Long || conv.size == Size::WideText ||
                           (conv.size != Size::Short && ((conv.conversion == 'c') == wide));
            Text<Char> text;
            if (wideArg) {
                wchar_t w[2] = {static_cast<wchar_t>(ch), 0};
                text = FromWide<Char>(w);
            } else {
                char n[2] = {static_cast<char>(ch), 0};
                text = FromNarrow<Char>(n);
            }
            conv.precision = -1;
            out += PadText<Char>(text, conv);
            break;
        }
        case 's': case 'S': {
            bool wideArg = conv.size == Size::Long || conv.size == Size::WideText ||
                           (conv.size != Size::Short && ((conv.conversion == 's') == wide));
            Text<Char> text;
            if (wideArg) {
                const wchar_t* s = va_arg(args, const wchar_t*);
                text = FromWide<Char>(s ? s : L"(null)");
            } else {
                const char* s = va_arg(args, const char*);
                text = FromNarrow<Char>(s ? s : "(null)");
            }
            out += PadText<Char>(text, conv);
            break;
        }
        case 'n':
            (void)va_arg(args, void*);  // never written: a format must not write to memory
            break;
        default:
            out += Char('%');
            out += Char(conv.conversion);
            break;
        }
    }
    return out;
}

// Formats from a copy, so that the caller's argument list stays usable.
template <typename Char>
Text<Char> FormatFromCopy(const Char* format, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    Text<Char> out = FormatImpl<Char>(format, copy);
    va_end(copy);
    return out;
}

} // namespace

std::wstring FormatWideV(const wchar_t* format, va_list args) { return FormatFromCopy(format, args); }
std::string FormatNarrowV(const char* format, va_list args) { return FormatFromCopy(format, args); }

std::wstring FormatWide(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring out = FormatWideV(format, args);
    va_end(args);
    return out;
}

std::string FormatNarrow(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string out = FormatNarrowV(format, args);
    va_end(args);
    return out;
}
