#include "platform/base/tests/Printers.h"
#include "engine/MathHelper.h"
#include "platform/sys/Locale.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <climits>
#include <limits>


namespace {

const NumberLocale English { L".", L",", 3, 2, 1, 1 };
const NumberLocale German { L",", L".", 3, 2, 1, 1 };

struct FormatCase {
    double value;
    int digits;
    const wchar_t* text;
};

CString Format(double value, int mode, int digits, int minExpDigits = 2, int minWidth = 0,
               BOOL zeroAsPlain = FALSE)
{
    CString out = L"stale";
    CString returned = CMathHelper::FormatValue(&out, 0, value, minWidth, static_cast<NumberFormatMode>(mode),
                                                digits, minExpDigits, zeroAsPlain, FALSE);
    EXPECT_EQ(returned, out);
    return out;
}

class FormatValue : public testing::Test {
protected:
    ScopedNumberLocale m_locale { English };
};

void ExpectTable(int mode, std::initializer_list<FormatCase> cases, int minExpDigits = 2)
{
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << mode << ", " << c.value << ", digits " << c.digits);
        EXPECT_EQ(Format(c.value, mode, c.digits, minExpDigits), c.text);
    }
}

} // namespace

TEST_F(FormatValue, ValuesOutOfRangeAndNaNAreAnError)
{
    for (double value : { std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                          DBL_MAX, -DBL_MAX, std::numeric_limits<double>::quiet_NaN() }) {
        for (int mode = 1; mode <= 8; ++mode) {
            SCOPED_TRACE(testing::Message() << value << " in mode " << mode);
            EXPECT_EQ(Format(value, mode, 2), L"Error: Max. Data Range");
        }
    }
    // The largest value below the limit is still written out.
    EXPECT_EQ(Format(std::nextafter(DBL_MAX, 0.0), 2, 2), L"1.8 E308");
}

TEST_F(FormatValue, ZeroIsPlainOnRequestAndElseFollowsTheMode)
{
    for (int mode = 1; mode <= 8; ++mode)
        EXPECT_EQ(Format(0, mode, 3, 2, 10, TRUE), L"0") << "mode " << mode;

    EXPECT_EQ(Format(0, 2, 2), L"0.00 E00");
    EXPECT_EQ(Format(0, 3, 0, 3), L"0 E000");
    EXPECT_EQ(Format(0, 4, -4), L"0 E00");
    EXPECT_EQ(Format(0, 2, 1, 2, 10), L"   0.0 E00");
    // Without exponent digits asked for, one is still written.
    EXPECT_EQ(Format(0, 2, 0, 0), L"0 E0");
    EXPECT_EQ(Format(0, 1, 2), L"0.00");
    EXPECT_EQ(Format(0, 8, 2), L"Zero");
}

TEST_F(FormatValue, FloatingUsesTheLocaleGroupingAndSeparators)
{
    ExpectTable(1, { { 1234.5, 2, L"1,234.50" }, { -1234.5, 2, L"-1,234.50" }, { 1234567.891, 0, L"1,234,568" },
                     { 0.126, 2, L"0.13" }, { 2.6, 0, L"3" }, { 999.999, 2, L"1,000.00" } });
    {
        ScopedNumberLocale german(German);
        EXPECT_EQ(Format(1234.5, 1, 2), L"1.234,50");
    }
    {
        ScopedNumberLocale bracketed({ L".", L" ", 3, 2, 0, 0 });
        EXPECT_EQ(Format(-1234.5, 1, 1), L"(1 234.5)");
        EXPECT_EQ(Format(0.5, 1, 1), L".5");
    }
    EXPECT_EQ(Format(5, 1, 2, 2, 8), L"    5.00");
}

TEST_F(FormatValue, FloatingWithMoreThanNineDecimalsKeepsTheLocaleForm)
{
    EXPECT_EQ(Format(1234.5, 1, 12), L"1,234.500000000000");
    EXPECT_EQ(Format(-0.5, 1, 10), L"-0.5000000000");
    EXPECT_EQ(Format(-1e-12, 1, 10), L"0.0000000000");
    ScopedNumberLocale german({ L",", L".", 3, 2, 0, 3 });
    EXPECT_EQ(Format(-1234.5, 1, 10), L"1.234,5000000000-");
    EXPECT_EQ(Format(0.25, 1, 10), L",2500000000");
}

TEST_F(FormatValue, FloatingWithNegativeDigitsRoundsToTensHundredsAndSoOn)
{
    ExpectTable(1, { { 12345, -2, L"12,300" }, { 12350, -2, L"12,400" }, { -12350, -2, L"-12,400" },
                     { 1234, -1, L"1,230" }, { 100, -2, L"Rounding Error" }, { -50, -2, L"Rounding Error" },
                     { 0, -1, L"Rounding Error" }, { 5, -400, L"Rounding Error" } });
    // Far beyond any integer type the rounding stays in floating point.
    CString huge = Format(1e300, 1, -2);
    EXPECT_EQ(huge.Find(L"Error"), -1);
    EXPECT_EQ(huge.Left(6), L"1,000,");
    EXPECT_EQ(huge.GetLength(), 301 + 100);
}

TEST_F(FormatValue, ScientificMantissaFromOneToUnderTen)
{
    ExpectTable(2, { { 12345, 2, L"1.23 E04" }, { 9.9999, 2, L"1 E01" }, { 0.001234, 2, L"1.23 E-03" },
                     { 1, 3, L"1 E00" }, { 0.1, 2, L"1 E-01" }, { 2.6, 0, L"3 E00" }, { 1e-100, 1, L"1 E-100" },
                     { 4.9406564584124654e-324, 2, L"4.94 E-324" }, { 12345, -3, L"1 E04" } });
    ExpectTable(2, { { 5, 1, L"5 E000" } }, 3);
}

TEST_F(FormatValue, NegativeValuesCarryLikePositiveOnes)
{
    ExpectTable(2, { { -0.1, 2, L"-1 E-01" }, { -9.9999, 2, L"-1 E01" }, { -0.0999999, 3, L"-1 E-01" },
                     { -12345, 2, L"-1.23 E04" } });
    ExpectTable(3, { { -0.9999, 2, L"-0.1 E01" }, { -0.001, 2, L"-0.1 E-02" } });
    ExpectTable(4, { { -999999, 2, L"-1 E06" }, { -0.0123, 1, L"-12.3 E-03" } });
}

TEST_F(FormatValue, EngineeringMantissaFromATenthToUnderOne)
{
    ExpectTable(3, { { 5, 2, L"0.5 E01" }, { 1, 2, L"0.1 E01" }, { 9.99, 3, L"0.999 E01" }, { 12345, 2, L"0.12 E05" },
                     { 0.5, 2, L"0.5 E00" }, { 0.05, 2, L"0.5 E-01" }, { 0.9999, 2, L"0.1 E01" },
                     { 0.001, 2, L"0.1 E-02" }, { 10, 2, L"0.1 E02" }, { 1.7e308, 2, L"0.17 E309" } });
}

TEST_F(FormatValue, TechnicalExponentIsAMultipleOfThree)
{
    ExpectTable(4, { { 12346, 2, L"12.35 E03" }, { 999999, 2, L"1 E06" }, { 999.9999, 2, L"1 E03" },
                     { 0.05, 2, L"50 E-03" }, { 100, 0, L"100 E00" }, { 1e-7, 0, L"100 E-09" },
                     { 5, 1, L"5 E00" }, { 0.5, 1, L"0.5 E00" } });
}

TEST_F(FormatValue, MantissaJustBelowAPowerOfTenKeepsItsLayout)
{
    double belowThousand = std::nextafter(1000.0, 0.0);
    CString scientific = Format(belowThousand, 2, 17);
    EXPECT_EQ(scientific.Left(16), L"9.99999999999999") << scientific.ToUtf8();
    EXPECT_EQ(scientific.Right(4), L" E02") << scientific.ToUtf8();
    CString engineering = Format(belowThousand, 3, 18);
    EXPECT_EQ(engineering.Left(16), L"0.99999999999999") << engineering.ToUtf8();
    EXPECT_EQ(engineering.Right(4), L" E03") << engineering.ToUtf8();
    EXPECT_EQ(Format(belowThousand, 4, 14), L"999.99999999999989 E00");
    EXPECT_EQ(Format(-belowThousand, 2, 2), L"-1 E03");
}

TEST_F(FormatValue, MantissaLayoutsFollowTheDecimalComma)
{
    ScopedNumberLocale german(German);
    EXPECT_EQ(Format(12345, 2, 2), L"1,23 E04");
    EXPECT_EQ(Format(0, 3, 2), L"0,00 E00");
    EXPECT_EQ(Format(1234, 4, 1, 2, 10), L"   1,2 E03");
}

TEST_F(FormatValue, WordsSpellTheWholePartAndShowTheFraction)
{
    ExpectTable(8, { { 0, 2, L"Zero" }, { 100, 2, L"One Hundred" }, { 1000000, 2, L"One Million" },
                     { 1234567, 0, L"One Million Two Hundred Thirty Four Thousand Five Hundred Sixty Seven" },
                     { 0.5, 2, L"Fraction 0.5" }, { 0.25, 2, L"Fraction 0.25" }, { 12.5, 2, L"Twelve and Fraction 0.5" },
                     { 115, 0, L"One Hundred Fifteen" }, { 1010, 0, L"One Thousand Ten" }, { 20, 0, L"Twenty" },
                     { 1000001, 0, L"One Million One" } });
}

TEST_F(FormatValue, WordsSpellNegativeAndLargeWholeParts)
{
    ExpectTable(8, { { -2.5, 2, L"Minus Two and Fraction 0.5" }, { -0.25, 2, L"Minus Fraction 0.25" },
                     { -7, 0, L"Minus Seven" },
                     { 4294967296.0, 0, L"Four Billion Two Hundred Ninety Four Million Nine Hundred Sixty Seven "
                                        L"Thousand Two Hundred Ninety Six" },
                     { 999999999999.0, 0, L"Nine Hundred Ninety Nine Billion Nine Hundred Ninety Nine Million Nine "
                                          L"Hundred Ninety Nine Thousand Nine Hundred Ninety Nine" },
                     { 1e12, 0, L"Error: Max. Data Range" } });
}

TEST_F(FormatValue, DateAndTimeOfAJulianDay)
{
    ExpectTable(5, { { 2451545.7, 2, L"01.01.2000" }, { 2299160, 2, L"04.10.1582" }, { -1, 2, L"No Date" },
                     { 1e12, 2, L"v!=d" }, { 0.5, 2, L"v!=d" } });
    ExpectTable(6, { { 0.25, 2, L"06:00:00" }, { 2451545.75, 2, L"18:00:00" }, { 0.999999, 2, L"24:00:00" },
                     { -0.25, 2, L"No Time" } });
    ExpectTable(7, { { 2451545.5, 2, L"01.01.2000 12:00:00" }, { -2, 2, L"No Date Time" }, { 1e12, 2, L"v!=d+t" } });
    EXPECT_EQ(Format(2451545.5, 5, 2, 2, 12), L"  01.01.2000");
}

TEST_F(FormatValue, UnknownModesGiveAnEmptyText)
{
    EXPECT_EQ(Format(5, 0, 2), L"");
    EXPECT_EQ(Format(5, 9, 2), L"");
    EXPECT_EQ(Format(5, -1, 2, 2, 3), L"   ");
}

TEST_F(FormatValue, AbsurdDigitCountsAndWidthsStayBounded)
{
    for (int mode = 1; mode <= 8; ++mode) {
        SCOPED_TRACE(mode);
        EXPECT_LE(Format(123.456, mode, INT_MAX, INT_MAX, INT_MAX).GetLength(), 10000);
        EXPECT_LE(Format(-123.456, mode, INT_MIN, INT_MIN, INT_MIN).GetLength(), 10000);
    }
    EXPECT_EQ(Format(2.5, 2, INT_MAX), L"2.5 E00");
}

TEST(ScientificExponent, IsTheExponentOfTheScientificText)
{
    ScopedNumberLocale german(German);
    EXPECT_EQ(CMathHelper::ScientificExponent(12345), 4);
    EXPECT_EQ(CMathHelper::ScientificExponent(-0.00999), -2);
    EXPECT_EQ(CMathHelper::ScientificExponent(9.6), 1);
    EXPECT_EQ(CMathHelper::ScientificExponent(1e-300), -300);
    EXPECT_EQ(CMathHelper::ScientificExponent(0), 0);
    EXPECT_EQ(CMathHelper::ScientificExponent(std::numeric_limits<double>::infinity()), 0);
}

TEST(NumberToWords, GroupsOfThreeWithoutAndOrHyphens)
{
    EXPECT_EQ(CMathHelper::NumberToWords(0), L"Zero");
    EXPECT_EQ(CMathHelper::NumberToWords(19), L"Nineteen");
    EXPECT_EQ(CMathHelper::NumberToWords(90), L"Ninety");
    EXPECT_EQ(CMathHelper::NumberToWords(2000000003), L"Two Billion Three");
    EXPECT_EQ(CMathHelper::NumberToWords(4294967295u),
              L"Four Billion Two Hundred Ninety Four Million Nine Hundred Sixty Seven Thousand Two Hundred "
              L"Ninety Five");
}

TEST(FormatNumberLocale, FollowsTheGivenRecordAndSizesTheTextFromTheValue)
{
    ScopedNumberLocale english(English);
    wchar_t decimal[] = L",", thousand[] = L"'";
    NUMBERFMTW record { 1, 1, 3, decimal, thousand, 4 };
    EXPECT_EQ(CMathHelper::FormatNumberLocale(-1234.5, record), L"1'234,5 -");
    record.NumDigits = 9;
    // The largest value with nine decimals needs far more than a few hundred characters.
    CString largest = CMathHelper::FormatNumberLocale(-1.7e308, record);
    EXPECT_EQ(largest.GetLength(), 309 + 102 + 1 + 9 + 2);
    EXPECT_EQ(largest.Right(12), L",000000000 -");
}

TEST(FixedText, TrimsOnlyTrailingDecimalZeros)
{
    EXPECT_EQ(CMathHelper::FixedText(2.5, 3), L"2.5");
    EXPECT_EQ(CMathHelper::FixedText(2, 3), L"2");
    EXPECT_EQ(CMathHelper::FixedText(-0.5, 2), L"-0.5");
    EXPECT_EQ(CMathHelper::FixedText(100, 0), L"100");
    EXPECT_EQ(CMathHelper::FixedText(100, 2), L"100");
    EXPECT_EQ(CMathHelper::FixedText(0.004, 2), L"0");
}
