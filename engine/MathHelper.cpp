#include "engine/MathHelper.h"

#include "datecore/JulianDay.h"

#include "platform/base/StringFormat.h"
#include "platform/base/TextToNumber.h"
#include "platform/sys/Locale.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The program has always used this value of pi for degrees; results depend on it.
constexpr double DegreePi = 3.14159265359;

// Decimals beyond these change nothing but trailing zeros (every double's decimal expansion ends
// within 1074 places); widths beyond them would only build absurd texts.
constexpr int MaxDecimals = 1100;
constexpr int MaxPadding = 4096;
constexpr UINT MaxLocaleDecimals = 9;

template<typename Int>
Int SaturatingCast(double value)
{
    constexpr double upper = -static_cast<double>(std::numeric_limits<Int>::min());  // 2^(bits-1)
    if (std::isnan(value))
        return 0;
    if (value >= upper)
        return std::numeric_limits<Int>::max();
    if (value < -upper)
        return std::numeric_limits<Int>::min();
    return static_cast<Int>(value);
}

// 10^exponent, the double nearest to it: read from its decimal text, which is correctly rounded for
// every exponent (repeated squaring drifts beyond 1e22). Below the normal range it is subnormal, then 0.
double IntegerPowerOfTen(int exponent)
{
    char text[16];
    auto end = std::to_chars(text, text + sizeof text, exponent).ptr;
    std::string decimal = "1e" + std::string(text, end);
    double result = 0;
    if (std::from_chars(decimal.data(), decimal.data() + decimal.size(), result).ec == std::errc::result_out_of_range)
        return exponent > 0 ? HUGE_VAL : 0.0;
    return result;
}

std::wstring LocaleText(LCTYPE type)
{
    int size = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring text(static_cast<size_t>(size), L'\0');
    GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text.data(), size);
    text.resize(static_cast<size_t>(size - 1));
    return text;
}

// The user's number conventions, read afresh on every formatting call. The record points into
// the separators held here, so it is neither copied nor moved.
struct LocaleNumberFormat {
    std::wstring decimalSeparator = LocaleText(LOCALE_SDECIMAL);
    std::wstring thousandSeparator = LocaleText(LOCALE_STHOUSAND);
    NUMBERFMTW record {};
    bool decimalComma = CString(decimalSeparator.c_str()).CompareNoCase(L",") == 0;

    LocaleNumberFormat()
    {
        record.LeadingZero = static_cast<UINT>(_wtoi(LocaleText(LOCALE_ILZERO).c_str()));
        record.Grouping = 3;
        record.lpDecimalSep = decimalSeparator.data();
        record.lpThousandSep = thousandSeparator.data();
        record.NegativeOrder = static_cast<UINT>(_wtoi(LocaleText(LOCALE_INEGNUMBER).c_str()));
    }
    LocaleNumberFormat(const LocaleNumberFormat&) = delete;
    LocaleNumberFormat& operator=(const LocaleNumberFormat&) = delete;
};

// The number text after the locale record; the plain text if the record is refused.
CString LocaleNumberText(const std::wstring& plain, const NUMBERFMTW& format)
{
    int size = GetNumberFormatW(LOCALE_USER_DEFAULT, 0, plain.c_str(), &format, nullptr, 0);
    if (size <= 0)
        return CString(plain);
    std::vector<wchar_t> buffer(static_cast<size_t>(size));
    if (GetNumberFormatW(LOCALE_USER_DEFAULT, 0, plain.c_str(), &format, buffer.data(), size) <= 0)
        return CString(plain);
    return CString(buffer.data());
}

// The locale's number formatting takes at most 9 decimals. For more, the whole part is grouped
// by it, and the locale's negative pattern (the text it makes of -1) is put around the result.
CString GroupWithManyDecimals(const std::wstring& plain, const NUMBERFMTW& format)
{
    bool negative = plain.starts_with(L'-');
    size_t point = plain.find(L'.');
    std::wstring whole = plain.substr(negative ? 1 : 0, point - (negative ? 1 : 0));
    std::wstring decimals = plain.substr(point + 1);

    NUMBERFMTW wholeFormat = format;
    wholeFormat.NumDigits = 0;
    CString body = whole == L"0" && !format.LeadingZero ? CString() : LocaleNumberText(whole, wholeFormat);
    body += CString(format.lpDecimalSep) + CString(decimals);
    if (!negative || plain.find_first_of(L"123456789") == std::wstring::npos)
        return body;
    CString pattern = LocaleNumberText(L"-1", wholeFormat);
    pattern.Replace(L"1", body);
    return pattern;
}

CString PadInFront(CString text, int minWidth)
{
    minWidth = std::min(minWidth, MaxPadding);
    if (text.GetLength() < minWidth)
        text.Insert(0, CString(L' ', minWidth - text.GetLength()));
    return text;
}

// value / 10^exponent, in two steps near the ends of the range where 10^exponent alone would
// overflow or underflow (the mantissas of the largest and of subnormal values).
double ScaleDownByPowerOfTen(double value, int exponent)
{
    if (exponent > 300) {
        value /= 1e300;
        exponent -= 300;
    } else if (exponent < -300) {
        value *= 1e300;
        exponent += 300;
    }
    return value / std::pow(10.0, exponent);
}

CString ExponentText(int exponent, int minExpDigits)
{
    CString digits = CMathHelper::IntToString(std::abs(exponent));
    if (digits.GetLength() < minExpDigits)
        digits.Insert(0, CString(L'0', minExpDigits - digits.GetLength()));
    return exponent < 0 ? L"-" + digits : digits;
}

// Whether rounding |mantissa| to digits decimals reaches limit (the small addend absorbs the
// representation error of mantissas like 9.995).
bool RoundsUpTo(double mantissa, int digits, double limit)
{
    double scale = IntegerPowerOfTen(digits);
    double rounded = (scale * std::fabs(mantissa) + 0.5 + IntegerPowerOfTen(-3 - digits)) / scale;
    return std::trunc(rounded) == limit;
}

// Modes 2, 3 and 4: mantissa, " E", exponent.
CString FormatMantissaExponent(double value, NumberFormatMode mode, int digits, int minExpDigits,
                               bool decimalComma)
{
    double magnitude = std::fabs(value);
    int exponent = static_cast<int>(std::trunc(std::log10(magnitude)));
    switch (mode) {
    case NumberFormatScientific:
        if (magnitude < 1)
            --exponent;
        break;
    case NumberFormatEngineering:
        // The mantissa lies from 0.1 to under 1, so every magnitude of 1 and above moves up one.
        if (magnitude >= 1)
            ++exponent;
        break;
    default:
        while (exponent % 3 != 0)
            --exponent;
        break;
    }

    double mantissa = ScaleDownByPowerOfTen(value, exponent);
    // Just below a power of ten log10 rounds up to the whole number (999.99999999999989 gives 3),
    // which leaves the mantissa under its layout's lowest value.
    double lowest = mode == NumberFormatEngineering ? 0.1 : 1;
    if (std::fabs(mantissa) < lowest && (mode != NumberFormatTechnical || magnitude >= 1)) {
        exponent -= mode == NumberFormatTechnical ? 3 : 1;
        mantissa = ScaleDownByPowerOfTen(value, exponent);
    }
    if (mode == NumberFormatScientific && RoundsUpTo(mantissa, digits, 10)) {
        ++exponent;
        mantissa /= 10;
    } else if (mode == NumberFormatEngineering && RoundsUpTo(mantissa, digits, 1)) {
        ++exponent;
        mantissa /= 10;
    } else if (mode == NumberFormatTechnical && RoundsUpTo(mantissa, digits, 1000)) {
        exponent += 3;
        mantissa /= 1000;
    }

    CString text = CMathHelper::FixedText(mantissa, digits) + L" E" + ExponentText(exponent, minExpDigits);
    if (decimalComma)
        text.Replace(L'.', L',');
    return text;
}

CString FormatZeroMantissaExponent(int digits, int minExpDigits, bool decimalComma)
{
    CString text = L"0";
    if (digits > 0)
        text += CString(decimalComma ? L',' : L'.') + CString(L'0', digits);
    // At least one exponent digit, so that the text still reads as a number.
    return text + L" E" + CString(L'0', std::max(minExpDigits, 1));
}

constexpr std::array<const wchar_t*, 10> OnesWords = {
    L"", L"One ", L"Two ", L"Three ", L"Four ", L"Five ", L"Six ", L"Seven ", L"Eight ", L"Nine ",
};
constexpr std::array<const wchar_t*, 10> TensWords = {
    L"", L"", L"Twenty ", L"Thirty ", L"Forty ", L"Fifty ", L"Sixty ", L"Seventy ", L"Eighty ", L"Ninety ",
};
constexpr std::array<const wchar_t*, 10> TeensWords = {
    L"Ten ", L"Eleven ", L"Twelve ", L"Thirteen ", L"Fourteen ",
    L"Fifteen ", L"Sixteen ", L"Seventeen ", L"Eighteen ", L"Nineteen ",
};
constexpr std::array<const wchar_t*, 4> GroupWords = { L"Billion ", L"Million ", L"Thousand ", L"" };

// The largest whole number the group words can name.
constexpr std::uint64_t MaxSpelledNumber = 999'999'999'999ull;

// Spells 0 < n <= MaxSpelledNumber in groups of three digits, billions first.
CString SpellNumber(std::uint64_t n)
{
    if (n == 0)
        return L"Zero";
    CString words;
    std::uint64_t divisor = 1'000'000'000ull;
    for (const wchar_t* groupWord : GroupWords) {
        unsigned group = static_cast<unsigned>(n / divisor % 1000);
        divisor /= 1000;
        if (group == 0)
            continue;
        unsigned hundreds = group / 100, tens = group / 10 % 10, units = group % 10;
        if (hundreds != 0)
            words += CString(OnesWords[hundreds]) + L"Hundred ";
        if (tens == 1)
            words += TeensWords[units];
        else
            words += CString(TensWords[tens]) + OnesWords[units];
        words += groupWord;
    }
    words.TrimRight(L' ');
    return words;
}

// Mode 8. Negative values are spelled as "Minus " and their magnitude.
CString FormatWords(double value, int digits)
{
    double magnitude = std::fabs(value);
    double whole = std::trunc(magnitude);
    if (whole > static_cast<double>(MaxSpelledNumber))
        return L"Error: Max. Data Range";

    CString text = SpellNumber(static_cast<std::uint64_t>(whole));
    if (magnitude != whole) {
        text += L" and Fraction " + CMathHelper::FixedText(magnitude - whole, digits);
        text.Replace(L"Zero and ", L"");
    }
    return value < 0 ? L"Minus " + text : text;
}

// Modes 5, 6 and 7: the whole part of a Julian day is the date, its fraction the time of day.
// Each text is converted back and checked before it is shown.
CString FormatDate(double value)
{
    if (value < 0)
        return L"No Date";
    CString date = CJulianDay::JulianDayToDate(value);
    return CJulianDay::DateToJulianDay(date) > 0 ? CMathHelper::TrimText(date) : CString(L"v!=d");
}

CString FormatTime(double value)
{
    if (value < 0)
        return L"No Time";
    CString time = CJulianDay::JulianDayToTime(value - std::trunc(value));
    return CJulianDay::IsValidDateTimeText(time) ? time : CString(L"v!=t");
}

CString FormatDateTime(double value)
{
    if (value < 0)
        return L"No Date Time";
    CString date = CJulianDay::JulianDayToDate(value);
    CString text = CMathHelper::TrimText(date + L" " + CJulianDay::JulianDayToTime(value - std::trunc(value)));
    if (CJulianDay::DateToJulianDay(date) > 0 && CJulianDay::IsValidDateTimeText(text))
        return text;
    return L"v!=d+t";
}

CString FormatFloating(double value, int digits, LocaleNumberFormat& locale)
{
    if (digits >= 0) {
        locale.record.NumDigits = static_cast<UINT>(digits);
        return CMathHelper::FormatNumberLocale(value, locale.record);
    }
    double step = IntegerPowerOfTen(-digits);
    if (!(std::fabs(value) > step))
        return L"Rounding Error";
    // Rounded in floating point: the quotient can lie far beyond any integer type.
    locale.record.NumDigits = 0;
    return CMathHelper::FormatNumberLocale(CMathHelper::RoundHalfAway(value / step) * step, locale.record);
}

} // namespace

// --- Rounding and conversion ---

double CMathHelper::RoundHalfAway(double value)
{
    double tenths = std::fabs(std::fmod(value, 1.0) * 10);
    if (value > 0)
        return tenths >= 5 ? std::ceil(value) : std::floor(value);
    return tenths < 5 ? std::ceil(value) : std::floor(value);
}

int CMathHelper::RoundToInt(double value) { return SaturatingCast<int>(RoundHalfAway(value)); }
std::int64_t CMathHelper::RoundToInt64(double value) { return SaturatingCast<std::int64_t>(RoundHalfAway(value)); }
int CMathHelper::DoubleToInt(double value) { return SaturatingCast<int>(std::trunc(value)); }
int CMathHelper::TruncToInt(double value) { return SaturatingCast<int>(std::trunc(value)); }
double CMathHelper::FloatRemainder(double x, double y) { return x - std::trunc(x / y) * y; }
double CMathHelper::FloorValue(double value) { return std::floor(value); }

int CMathHelper::SignOf(double value)
{
    if (value < 0)
        return -1;
    return value > 0 ? 1 : 0;
}

// --- Degrees ---

double CMathHelper::SinDeg(double degrees) { return std::sin(DegToRad(degrees)); }
double CMathHelper::CosDeg(double degrees) { return std::cos(DegToRad(degrees)); }
double CMathHelper::RadToDeg(double radians) { return radians * 180 / DegreePi; }
double CMathHelper::DegToRad(double degrees) { return degrees * DegreePi / 180; }

// --- Decimal exponents ---

int CMathHelper::DecimalExponent(double value)
{
    double logarithm = std::log10(std::fabs(value));
    return std::isfinite(logarithm) ? static_cast<int>(std::floor(logarithm)) : 0;
}

double CMathHelper::PowerOfTenOf(double value) { return IntegerPowerOfTen(ScientificExponent(value)); }

double CMathHelper::GetRootTolerance()
{
    static const double tolerance = std::ldexp(1.0, -104);
    return tolerance;
}

// --- Axis ranges and steps ---

void CMathHelper::IncludeZeroInRange(double* a, double* b)
{
    if (*b >= *a) {
        if (*b < 0)
            *b = 0;
        if (*a > 0)
            *a = 0;
    } else {
        if (*b > 0)
            *b = 0;
        if (*a < 0)
            *a = 0;
    }
}

double CMathHelper::NiceStep(double span)
{
    if (span == 0 || !std::isfinite(span))
        return span;
    // The shortest decimal text of |span| gives its mantissa and exponent exactly, for every
    // magnitude down to the subnormals, so the step is never 0 for a span that is not.
    char text[32];
    auto written = std::to_chars(text, text + sizeof text, std::fabs(span), std::chars_format::scientific);
    std::string_view digits(text, written.ptr);
    const auto marker = digits.find('e');
    double mantissa = 0;
    int exponent = 0;
    std::from_chars(digits.data(), digits.data() + marker, mantissa);
    std::from_chars(digits.data() + marker + (digits[marker + 1] == '+' ? 2 : 1), digits.data() + digits.size(), exponent);
    struct Nice {
        double value;
        const char* text;
    };
    const char* nice = "10";
    for (Nice candidate : { Nice { 1, "1" }, { 2, "2" }, { 2.5, "2.5" }, { 5, "5" } }) {
        if (mantissa <= candidate.value) {
            nice = candidate.text;
            break;
        }
    }
    // Read back as one decimal text, the step is the double nearest to nice x 10^exponent.
    std::string stepText = std::string(nice) + "e" + std::to_string(exponent);
    // Beyond the largest double (a span above 1e308 rounds up to 2e308) the step is infinite.
    double result = 0;
    if (std::from_chars(stepText.data(), stepText.data() + stepText.size(), result).ec == std::errc::result_out_of_range)
        result = HUGE_VAL;
    return span < 0 ? -result : result;
}

void CMathHelper::NiceAxisRange(double* min, double* step, double* max)
{
    double span = *max - *min;
    double power = PowerOfTenOf(span);
    double ratio = std::fabs(span / power);
    double factor = ratio <= 1.4 ? 0.2 : ratio <= 3 ? 0.5 : ratio <= 6 ? 1 : 2;
    *step = *max < *min ? -factor * power : factor * power;
    // 0.499 rather than 0.5 leaves an end that already is a multiple of the step where it is.
    *min = RoundHalfAway(*min / *step - 0.499) * *step;
    *max = RoundHalfAway(*max / *step + 0.499) * *step;
}

void CMathHelper::ComputeAxisScale(double* min, double* max, double* step, int* decimals)
{
    NiceAxisRange(min, step, max);
    int exponent = ScientificExponent(*step);
    *decimals = exponent >= 0 ? 0 : -exponent;
}

// --- Gamma ---

double CMathHelper::Gamma(double x)
{
    // W. J. Cody's rational approximation on (1, 2) and the Stirling series beyond 12.
    static constexpr double p[8] = {
        -1.71618513886549492533811e+0, 2.47656508055759199108314e+1, -3.79804256470945635097577e+2,
        6.29331155312818442661052e+2, 8.66966202790413211295064e+2, -3.14512729688483675254357e+4,
        -3.61444134186911729807069e+4, 6.64561438202405440627855e+4,
    };
    static constexpr double q[8] = {
        -3.08402300119738975254353e+1, 3.15350626979604161529144e+2, -1.01515636749021914166146e+3,
        -3.10777167157231109440444e+3, 2.25381184209801510330112e+4, 4.75584627752788110767815e+3,
        -1.34659959864969306392456e+5, -1.15132259675553483497211e+5,
    };
    static constexpr double c[7] = {
        -1.910444077728e-3, 8.4171387781295e-4, -5.952379913043012e-4, 7.93650793500350248e-4,
        -2.777777777777681622553e-3, 8.333333333333333331554247e-2, 5.7083835261e-3,
    };
    // A pole is not reported as infinity: 0 and the negative integers give +-233 / Gamma(1 - x).
    constexpr double PoleValue = 233;

    if (std::isnan(x))
        return x;

    double sign = 1, fact = 1, y = x;
    if (x <= 0) {
        y = -x;
        double whole = std::trunc(y);
        if (std::fmod(whole, 2) != 0)
            sign = -1;
        double fraction = y - whole;
        fact = fraction != 0 ? -DegreePi / std::sin(DegreePi * fraction) : PoleValue;
        y += 1;
    }

    double result;
    if (y < 1e-20) {
        result = 1 / y;
    } else if (y <= 12) {
        double original = y;
        int steps = 0;
        double z;
        if (y < 1) {
            z = y;
            y += 1;
        } else {
            steps = static_cast<int>(y) - 1;
            y -= steps;
            z = y - 1;
        }
        double numerator = 0, denominator = 1;
        for (int i = 0; i < 8; ++i) {
            numerator = (numerator + p[i]) * z;
            denominator = denominator * z + q[i];
        }
        result = numerator / denominator + 1;
        if (original < y) {
            result /= original;
        } else {
            for (int i = 0; i < steps; ++i) {
                result *= y;
                y += 1;
            }
        }
    } else if (y <= 1700) {
        double ysq = y * y;
        double sum = c[6];
        for (int i = 0; i < 6; ++i)
            sum = sum / ysq + c[i];
        sum = sum / y - y + 0.5 * std::log(6.28318530718) + (y - 0.5) * std::log(y);
        result = std::exp(sum);  // overflows to infinity from about 171.6 on
    } else {
        result = std::numeric_limits<double>::infinity();
    }

    result *= sign;
    if (fact != 1)
        result = fact / result;
    // Whole results come back as exact integers (and -0 as 0).
    if (std::fabs(result) < 2147483648.0 && result == std::trunc(result))
        return static_cast<double>(static_cast<int>(result));
    return result;
}

// --- Value formatting ---

CString CMathHelper::FormatValue(CString* out, int /*spare*/, double value, int minWidth, NumberFormatMode mode,
                                 int digits, int minExpDigits, BOOL zeroAsPlain, BOOL /*ignored*/)
{
    try {
        // NaN is out of range as well: no format can show it.
        if (!(std::fabs(value) < DBL_MAX)) {
            *out = L"Error: Max. Data Range";
            return *out;
        }
        digits = std::clamp(digits, -MaxDecimals, MaxDecimals);
        minExpDigits = std::min(minExpDigits, MaxPadding);
        bool mantissaMode = mode == NumberFormatScientific || mode == NumberFormatEngineering
            || mode == NumberFormatTechnical;
        LocaleNumberFormat locale;
        bool decimalComma = locale.decimalComma;

        if (value == 0) {
            if (zeroAsPlain) {
                *out = L"0";
                return *out;
            }
            if (mantissaMode) {
                *out = PadInFront(FormatZeroMantissaExponent(std::max(digits, 0), minExpDigits, decimalComma), minWidth);
                return *out;
            }
        }

        CString text;
        switch (mode) {
        case NumberFormatFloating:
            text = FormatFloating(value, digits, locale);
            break;
        case NumberFormatScientific:
        case NumberFormatEngineering:
        case NumberFormatTechnical:
            text = FormatMantissaExponent(value, mode, std::max(digits, 0), minExpDigits, decimalComma);
            break;
        case NumberFormatDate:
            text = FormatDate(value);
            break;
        case NumberFormatTime:
            text = FormatTime(value);
            break;
        case NumberFormatDateTime:
            text = FormatDateTime(value);
            break;
        case NumberFormatWords:
            text = FormatWords(value, digits);
            break;
        default:
            break;
        }
        *out = PadInFront(text, minWidth);
    } catch (...) {
        *out = L"Catch Error";
    }
    return *out;
}

int CMathHelper::ScientificExponent(double value)
{
    CString text;
    FormatValue(&text, 0, value, 0, NumberFormatScientific, 0, 3, FALSE, FALSE);
    int marker = text.Find(L" E");
    return marker < 0 ? 0 : _wtoi(text.Mid(marker + 2));
}

CString CMathHelper::NumberToWords(std::uint32_t n) { return SpellNumber(n); }

CString CMathHelper::FormatNumberLocale(double value, const NUMBERFMTW& format)
{
    std::wstring plain = ::FormatWide(L"%.*f", static_cast<int>(format.NumDigits), value);
    if (format.NumDigits > MaxLocaleDecimals)
        return GroupWithManyDecimals(plain, format);
    return LocaleNumberText(plain, format);
}

CString CMathHelper::FixedText(double value, int digits)
{
    CString text(::FormatWide(L"%.*f", digits, value));
    // Only decimals are trimmed: the zeros of a whole number such as 100 stay.
    if (text.Find(L'.') >= 0) {
        text.TrimRight(L'0');
        text.TrimRight(L'.');
    }
    return text;
}

CString CMathHelper::IntToString(int value) { return CString(::FormatWide(L"%d", value)); }

CString CMathHelper::RepeatText(const CString& text, int count)
{
    CString result;
    for (int i = 0; i < count; ++i)
        result += text;
    return result;
}

CString CMathHelper::TrimText(const CString& text)
{
    CString result = text;
    result.Trim(L' ');
    return result;
}

// --- Text services ---

int CMathHelper::FormatWide(wchar_t* buffer, const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring text = FormatWideV(format, args);
    va_end(args);
    size_t length = std::min(text.size(), static_cast<size_t>(FormatBufferSize - 1));
    text.copy(buffer, length);
    buffer[length] = L'\0';
    return static_cast<int>(length);
}

void CMathHelper::TakeToken(CString* out, CString& text, const CString& separator)
{
    int position = separator.IsEmpty() ? -1 : text.Find(separator);
    if (position < 0) {
        *out = text;
        text.Empty();
        return;
    }
    *out = text.Left(position);
    text = text.Mid(position + 1);
}

CString CMathHelper::ExtractBetween(const CString& text, const CString& first, const CString& second)
{
    CString rest = text, skipped, between;
    TakeToken(&skipped, rest, first);
    TakeToken(&between, rest, second);
    return between;
}

double CMathHelper::TextToDouble(const wchar_t* text)
{
    return text ? ClassicStrToD(WideToUtf8(text).c_str()) : 0;
}

// --- CMathString ---

CMathString::CMathString(double value, int digits)
    : CString(::FormatWide(L"%.*lG", digits, value))
{
    Replace(L',', L'.');
}
