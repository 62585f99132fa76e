#pragma once
// Numeric services shared by the formula parser, the function tree and the diagrams: rounding half
// away from zero, degree trigonometry, decimal exponents, axis scaling, the gamma function, value
// formatting in every number format, and a few text helpers.
//
// CMathHelper holds no data. Every operation is static, so it can be called either on the instance a
// class embeds (m_math.RoundToInt(v)) or directly (CMathHelper::Gamma(x)).

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <cstdint>

struct NUMBERFMTW;

enum NumberFormatMode : int {
    NumberFormatFloating = 1,    // fixed decimals, locale grouping and separators
    NumberFormatScientific = 2,  // mantissa 1 to under 10, " E", exponent
    NumberFormatEngineering = 3, // mantissa 0.1 to under 1, " E", exponent
    NumberFormatTechnical = 4,   // exponent a multiple of 3, " E", exponent
    NumberFormatDate = 5,        // value is a Julian day number
    NumberFormatTime = 6,        // value is a fraction of a day
    NumberFormatDateTime = 7,    // date and time
    NumberFormatWords = 8,       // English number words
};

class CMathHelper {
public:
    // --- Rounding and conversion (half away from zero) ---
    // Values beyond the integer range saturate at its ends; NaN gives 0.
    static int RoundToInt(double value);
    static std::int64_t RoundToInt64(double value);
    static double RoundHalfAway(double value);
    static int DoubleToInt(double value);  // truncation toward zero, saturating
    static int TruncToInt(double value);   // truncation toward zero, saturating
    static double FloatRemainder(double x, double y);  // x - trunc(x / y) * y
    static double FloorValue(double value);
    static int LastIndex(int count) { return count - 1; }
    static int SignOf(double value);  // -1, 1, or 0 for 0 and NaN

    // --- Degrees (pi taken as 3.14159265359) ---
    static double SinDeg(double degrees);
    static double CosDeg(double degrees);
    static double RadToDeg(double radians);
    static double DegToRad(double degrees);

    // --- Decimal exponents ---
    // floor(log10(|x|)); 0 for 0, infinity and NaN.
    static int DecimalExponent(double value);
    // 10 to the power ScientificExponent(x).
    static double PowerOfTenOf(double value);
    // 2^-104, computed once.
    static double GetRootTolerance();

    // --- Axis ranges and steps ---
    static void IncludeZeroInRange(double* a, double* b);
    static double NiceStep(double span);
    static void NiceAxisRange(double* min, double* step, double* max);
    static void ComputeAxisScale(double* min, double* max, double* step, int* decimals);

    // --- Special functions ---
    // Cody's rational approximation. At 0 and the negative integers it gives +-233 divided by the
    // gamma of the shifted argument instead of a pole; from about 171.6 on it overflows to infinity.
    static double Gamma(double x);

    // --- Value formatting ---
    // Writes value into *out in the given mode and returns the text. spare and ignored are not read.
    // digits: decimals (modes 1-4, 8; negative in mode 1 rounds to tens, hundreds...); minExpDigits:
    // least number of exponent digits; zeroAsPlain: exactly 0 gives "0"; minWidth: blanks in front.
    static CString FormatValue(CString* out, int spare, double value, int minWidth,
                               NumberFormatMode mode, int digits, int minExpDigits,
                               BOOL zeroAsPlain, BOOL ignored);
    // The signed exponent of value in the scientific format (0 for 0 and out-of-range values).
    static int ScientificExponent(double value);
    // English words for n ("One Million Two Hundred Thirty Four Thousand ..."); 0 gives "Zero".
    static CString NumberToWords(std::uint32_t n);
    // The value with format.NumDigits decimals, grouped and signed after format.
    static CString FormatNumberLocale(double value, const NUMBERFMTW& format);
    // "%.*f", then trailing "0" and a trailing "." removed (2.500 -> "2.5", 2.000 -> "2").
    static CString FixedText(double value, int digits);
    static CString IntToString(int value);
    static CString RepeatText(const CString& text, int count);
    static CString TrimText(const CString& text);

    // --- Text services ---
    static constexpr int FormatBufferSize = 1024;
    // Formatted print into buffer (FormatBufferSize characters, cut to fit); returns the length.
    static int FormatWide(wchar_t* buffer, const wchar_t* format, ...);
    // *out = text before the first separator; text = the rest after it (one character skipped).
    // Without a separator *out = text and text becomes empty.
    static void TakeToken(CString* out, CString& text, const CString& separator);
    // The text between the first and the second separator.
    static CString ExtractBetween(const CString& text, const CString& first, const CString& second);
    // Reads a number with "." as the decimal point; an invalid text gives 0.
    static double TextToDouble(const wchar_t* text);
};

// A number as formula text: "%.*lG" with digits significant digits and "." as the decimal point
// whatever the locale; an exponent is written with its sign and at least three digits ("1E+006").
class CMathString : public CString {
public:
    CMathString(double value, int digits);
};
