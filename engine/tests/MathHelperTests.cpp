#include "engine/MathHelper.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(MathHelper, RoundingIsHalfAwayFromZero)
{
    struct Case {
        double value;
        int rounded;
    };
    for (Case c : { Case { 2.5, 3 }, { -2.5, -3 }, { 2.4999, 2 }, { -0.4, 0 }, { 0.5, 1 }, { -0.5, -1 },
                    { 7, 7 }, { -7, -7 }, { 1e9 + 0.5, 1000000001 }, { 0, 0 } }) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(CMathHelper::RoundToInt(c.value), c.rounded);
        EXPECT_EQ(CMathHelper::RoundToInt64(c.value), c.rounded);
        EXPECT_EQ(CMathHelper::RoundHalfAway(c.value), c.rounded);
    }
    EXPECT_EQ(CMathHelper::RoundToInt64(1e15 + 0.5), 1000000000000001);
    EXPECT_EQ(CMathHelper::RoundHalfAway(-1e300), -1e300);
}

TEST(MathHelper, ConversionsToIntegersSaturateInsteadOfOverflowing)
{
    constexpr int intMax = std::numeric_limits<int>::max();
    constexpr int intMin = std::numeric_limits<int>::min();
    EXPECT_EQ(CMathHelper::RoundToInt(3e9), intMax);
    EXPECT_EQ(CMathHelper::RoundToInt(-3e9), intMin);
    EXPECT_EQ(CMathHelper::RoundToInt(Infinity), intMax);
    EXPECT_EQ(CMathHelper::RoundToInt(NaN), 0);
    EXPECT_EQ(CMathHelper::RoundToInt64(1e300), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(CMathHelper::RoundToInt64(-Infinity), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(CMathHelper::TruncToInt(-7.9), -7);
    EXPECT_EQ(CMathHelper::DoubleToInt(7.9), 7);
    EXPECT_EQ(CMathHelper::DoubleToInt(-1e20), intMin);
    EXPECT_EQ(CMathHelper::TruncToInt(NaN), 0);
}

TEST(MathHelper, SmallArithmeticHelpers)
{
    EXPECT_EQ(CMathHelper::FloatRemainder(7.5, 2), 1.5);
    EXPECT_EQ(CMathHelper::FloatRemainder(-7.5, 2), -1.5);
    EXPECT_EQ(CMathHelper::FloorValue(-1.5), -2);
    EXPECT_EQ(CMathHelper::LastIndex(4), 3);
    EXPECT_EQ(CMathHelper::SignOf(-0.1), -1);
    EXPECT_EQ(CMathHelper::SignOf(3), 1);
    EXPECT_EQ(CMathHelper::SignOf(0), 0);
    EXPECT_EQ(CMathHelper::SignOf(NaN), 0);
}

TEST(MathHelper, DegreesUseTheProgramsValueOfPi)
{
    constexpr double pi = 3.14159265359;
    EXPECT_DOUBLE_EQ(CMathHelper::DegToRad(180), pi);
    EXPECT_DOUBLE_EQ(CMathHelper::RadToDeg(pi), 180);
    EXPECT_DOUBLE_EQ(CMathHelper::SinDeg(30), std::sin(30 * pi / 180));
    EXPECT_NEAR(CMathHelper::SinDeg(90), 1, 1e-15);
    EXPECT_NEAR(CMathHelper::CosDeg(60), 0.5, 1e-11);
    // The rounded pi leaves a visible remainder where the exact one gives 0.
    EXPECT_NE(CMathHelper::SinDeg(180), std::sin(std::numbers::pi));
}

TEST(MathHelper, DecimalExponentAndPowerOfTen)
{
    EXPECT_EQ(CMathHelper::DecimalExponent(12345), 4);
    EXPECT_EQ(CMathHelper::DecimalExponent(-0.05), -2);
    EXPECT_EQ(CMathHelper::DecimalExponent(0.001), -3);
    EXPECT_EQ(CMathHelper::DecimalExponent(1), 0);
    EXPECT_EQ(CMathHelper::DecimalExponent(0), 0);
    EXPECT_EQ(CMathHelper::DecimalExponent(Infinity), 0);

    EXPECT_EQ(CMathHelper::PowerOfTenOf(7), 1);
    EXPECT_EQ(CMathHelper::PowerOfTenOf(12345), 1e4);
    EXPECT_EQ(CMathHelper::PowerOfTenOf(-0.03), 0.01);
    // 9.99 is written 1 E+01 in the scientific format, so its power is 10.
    EXPECT_EQ(CMathHelper::PowerOfTenOf(9.99), 10);
    EXPECT_EQ(CMathHelper::PowerOfTenOf(0), 1);
    EXPECT_EQ(CMathHelper::PowerOfTenOf(NaN), 1);

    EXPECT_EQ(CMathHelper::GetRootTolerance(), 4.930380657631324e-32);
}

TEST(MathHelper, IncludeZeroInRangeMovesTheEndOnTheWrongSide)
{
    struct Case {
        double a, b, expectedA, expectedB;
    };
    for (Case c : { Case { 3, 5, 0, 5 }, { -5, -3, -5, 0 }, { 5, 3, 5, 0 }, { -3, -5, 0, -5 },
                    { -2, 4, -2, 4 }, { 4, -2, 4, -2 } }) {
        SCOPED_TRACE(testing::Message() << c.a << ", " << c.b);
        double a = c.a, b = c.b;
        CMathHelper::IncludeZeroInRange(&a, &b);
        EXPECT_EQ(a, c.expectedA);
        EXPECT_EQ(b, c.expectedB);
    }
}

TEST(MathHelper, NiceStepRaisesTheMantissaToOneTwoTwoAndAHalfFiveOrTen)
{
    struct Case {
        double span, step;
    };
    for (Case c : { Case { 0.3, 0.5 }, { 7, 10 }, { 2.2, 2.5 }, { -3, -5 }, { 0, 0 }, { 2, 2 }, { 0.25, 0.25 },
                    { 1, 1 }, { 1.01, 2 }, { 450, 500 }, { 0.0012, 0.002 }, { 1e20, 1e20 } }) {
        SCOPED_TRACE(c.span);
        EXPECT_DOUBLE_EQ(CMathHelper::NiceStep(c.span), c.step);
    }
}

// Far from 1 the step is still the double nearest to the nice value, and a span too small for
// a normal double still gets a positive step and a usable axis.
TEST(MathHelper, NiceStepIsExactAtEveryMagnitude)
{
    struct Case {
        double span, step;
    };
    for (Case c : { Case { 1e-100, 1e-100 }, { 1.5e-100, 2e-100 }, { 3e25, 5e25 }, { 1e300, 1e300 }, { -2.2e-200, -2.5e-200 },
                    { 7e-310, 1e-309 }, { 4e-320, 5e-320 } }) {
        SCOPED_TRACE(c.span);
        EXPECT_EQ(CMathHelper::NiceStep(c.span), c.step);
    }
    EXPECT_GT(CMathHelper::NiceStep(std::numeric_limits<double>::denorm_min()), 0);
    EXPECT_EQ(CMathHelper::NiceStep(-1.7e308), -HUGE_VAL);
    for (double span : { 1e-320, 1e-310, 1e-100 }) {
        SCOPED_TRACE(span);
        double min = 0, max = span, step = 0;
        int decimals = 0;
        CMathHelper::ComputeAxisScale(&min, &max, &step, &decimals);
        EXPECT_GT(step, 0);
        EXPECT_TRUE(std::isfinite(min) && std::isfinite(max));
        EXPECT_LE(min, 0);
        EXPECT_GE(max, span * 0.999); // a subnormal step keeps fewer digits
        EXPECT_GT(max, min);
    }
}

TEST(MathHelper, NiceAxisRangeMovesBothEndsOutwardToTheStep)
{
    struct Case {
        double min, max, step, niceMin, niceMax;
    };
    for (Case c : { Case { 0, 7, 2, 0, 8 }, { 0, 1, 0.2, 0, 1 }, { -1.3, 2.2, 1, -2, 3 },
                    { 0.12, 0.31, 0.05, 0.1, 0.35 }, { 10, 0, -2, 10, 0 } }) {
        SCOPED_TRACE(testing::Message() << c.min << " .. " << c.max);
        double min = c.min, max = c.max, step = 0;
        CMathHelper::NiceAxisRange(&min, &step, &max);
        EXPECT_DOUBLE_EQ(step, c.step);
        EXPECT_DOUBLE_EQ(min, c.niceMin);
        EXPECT_DOUBLE_EQ(max, c.niceMax);
    }
}

TEST(MathHelper, ComputeAxisScaleGivesTheLabelDecimals)
{
    double min = 0.12, max = 0.31, step = 0;
    int decimals = -1;
    CMathHelper::ComputeAxisScale(&min, &max, &step, &decimals);
    EXPECT_DOUBLE_EQ(step, 0.05);
    EXPECT_EQ(decimals, 2);

    min = 0, max = 700;
    CMathHelper::ComputeAxisScale(&min, &max, &step, &decimals);
    EXPECT_EQ(step, 200);
    EXPECT_EQ(max, 800);
    EXPECT_EQ(decimals, 0);

    // An empty range still gets a step and no endless loop or crash.
    min = max = 5;
    CMathHelper::ComputeAxisScale(&min, &max, &step, &decimals);
    EXPECT_DOUBLE_EQ(step, 0.2);
    EXPECT_EQ(decimals, 1);
}

TEST(MathHelper, GammaOfPositiveArguments)
{
    EXPECT_EQ(CMathHelper::Gamma(5), 24);
    EXPECT_EQ(CMathHelper::Gamma(1), 1);
    EXPECT_EQ(CMathHelper::Gamma(12), 39916800);
    EXPECT_DOUBLE_EQ(CMathHelper::Gamma(0.5), std::sqrt(std::numbers::pi));
    for (double x : { 1e-10, 0.1, 1.5, 2.7, 7.3, 11.9, 12.5, 30.0, 100.5, 170.5 }) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(CMathHelper::Gamma(x) / std::tgamma(x), 1, 1e-13);
    }
    EXPECT_DOUBLE_EQ(CMathHelper::Gamma(1e-25), 1e25);
}

TEST(MathHelper, GammaOfNegativeArgumentsAndPoles)
{
    // Poles give 233 over the gamma of the shifted argument, signed by parity.
    EXPECT_EQ(CMathHelper::Gamma(0), 233);
    EXPECT_EQ(CMathHelper::Gamma(-1), -233);
    EXPECT_EQ(CMathHelper::Gamma(-2), 233.0 / 2);
    EXPECT_EQ(CMathHelper::Gamma(-3), -233.0 / 6);
    // Between the poles the reflection formula holds (up to the program's rounded pi).
    for (double x : { -0.5, -1.5, -2.25, -7.7 }) {
        SCOPED_TRACE(x);
        EXPECT_NEAR(CMathHelper::Gamma(x) / std::tgamma(x), 1, 1e-10);
    }
    EXPECT_EQ(CMathHelper::Gamma(-200.5), 0);
}

TEST(MathHelper, GammaOverflowsToInfinityForEveryLargeArgument)
{
    EXPECT_EQ(CMathHelper::Gamma(171.7), Infinity);
    EXPECT_EQ(CMathHelper::Gamma(1700), Infinity);
    // Beyond the series' range as well, not a finite stand-in value.
    EXPECT_EQ(CMathHelper::Gamma(1700.5), Infinity);
    EXPECT_EQ(CMathHelper::Gamma(1e300), Infinity);
    EXPECT_EQ(CMathHelper::Gamma(Infinity), Infinity);
    EXPECT_TRUE(std::isnan(CMathHelper::Gamma(NaN)));
}

TEST(MathHelper, TakeTokenSplitsAtTheFirstSeparator)
{
    CString text = L"12.18", token;
    CMathHelper::TakeToken(&token, text, L".");
    EXPECT_EQ(token, L"12");
    EXPECT_EQ(text, L"18");

    CMathHelper::TakeToken(&token, text, L".");
    EXPECT_EQ(token, L"18");
    EXPECT_EQ(text, L"");

    // Only one character of a longer separator is skipped.
    text = L"a::b";
    CMathHelper::TakeToken(&token, text, L"::");
    EXPECT_EQ(token, L"a");
    EXPECT_EQ(text, L":b");

    text = L"abc";
    CMathHelper::TakeToken(&token, text, L"");
    EXPECT_EQ(token, L"abc");
    EXPECT_EQ(text, L"");
}

TEST(MathHelper, ExtractBetweenTwoSeparators)
{
    EXPECT_EQ(CMathHelper::ExtractBetween(L"Result = 42 (exact)", L"=", L"("), L" 42 ");
    EXPECT_EQ(CMathHelper::ExtractBetween(L"12.05.2024", L".", L"."), L"05");
    EXPECT_EQ(CMathHelper::ExtractBetween(L"no marks", L"[", L"]"), L"");
}

TEST(MathHelper, TextToDoubleReadsPointDecimalsOnly)
{
    EXPECT_EQ(CMathHelper::TextToDouble(L"2.5"), 2.5);
    EXPECT_EQ(CMathHelper::TextToDouble(L"-1.25E+003xyz"), -1250);
    EXPECT_EQ(CMathHelper::TextToDouble(L"2,5"), 2);
    EXPECT_EQ(CMathHelper::TextToDouble(L"abc"), 0);
    EXPECT_EQ(CMathHelper::TextToDouble(nullptr), 0);
}

TEST(MathHelper, FormatWideCutsToTheBuffer)
{
    wchar_t buffer[CMathHelper::FormatBufferSize];
    EXPECT_EQ(CMathHelper::FormatWide(buffer, L"%d|%s", 42, L"x"), 4);
    EXPECT_STREQ(buffer, L"42|x");

    std::wstring longText(3000, L'y');
    EXPECT_EQ(CMathHelper::FormatWide(buffer, L"%s", longText.c_str()), CMathHelper::FormatBufferSize - 1);
    EXPECT_EQ(buffer[CMathHelper::FormatBufferSize - 1], L'\0');
}

TEST(MathHelper, TextHelpers)
{
    EXPECT_EQ(CMathHelper::IntToString(-17), L"-17");
    EXPECT_EQ(CMathHelper::RepeatText(L"ab", 3), L"ababab");
    EXPECT_EQ(CMathHelper::RepeatText(L"ab", 0), L"");
    EXPECT_EQ(CMathHelper::RepeatText(L"ab", -2), L"");
    EXPECT_EQ(CMathHelper::TrimText(L"  a b  "), L"a b");
}

TEST(MathString, UsesSignificantDigitsAndThreeExponentDigits)
{
    struct Case {
        double value;
        int digits;
        const wchar_t* text;
    };
    for (Case c : { Case { 1e6, 6, L"1E+006" }, { 0.00001, 6, L"1E-005" }, { 0.5, 6, L"0.5" },
                    { 1.0 / 3, 6, L"0.333333" }, { 123456, 6, L"123456" }, { 1234567, 6, L"1.23457E+006" },
                    { -2.5, 3, L"-2.5" }, { 1e-300, 2, L"1E-300" }, { 3.14159, 3, L"3.14" } }) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CMathString(c.value, c.digits), c.text);
    }
}
