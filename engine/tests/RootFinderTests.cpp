#include "engine/FormulaEngine.h"
#include "engine/RootFinder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

float SquareMinusTwo(float x) { return x * x - 2.0f; }
float PlusOne(float x) { return x + 1.0f; }
float MinusOne(float x) { return x - 1.0f; }

TEST(RootFinderTest, FindsTheSquareRootOfTwoInSinglePrecision)
{
    float a = 0.0f, b = 2.0f, fb = 0.0f;
    int iterations = -1;
    int result = FindRootPegasus(SquareMinusTwo, &a, &b, &fb, &iterations);
    EXPECT_TRUE(result == RootFound || result == RootIntervalConverged) << result;
    EXPECT_NEAR(b, 1.4142135f, 2e-7f);
    EXPECT_EQ(fb, SquareMinusTwo(b));
    EXPECT_GT(iterations, 0);
    EXPECT_LT(iterations, 100);
}

TEST(RootFinderTest, RejectsAnIntervalWithoutSignChange)
{
    float a = 0.0f, b = 2.0f, fb = 0.0f;
    int iterations = -1;
    EXPECT_EQ(FindRootPegasus(PlusOne, &a, &b, &fb, &iterations), RootNotBracketed);
    EXPECT_EQ(a, 0.0f);
    EXPECT_EQ(b, 2.0f);
    EXPECT_EQ(fb, 3.0f);
    EXPECT_EQ(iterations, 0);
}

TEST(RootFinderTest, AnEndThatIsARootIsReturnedAtOnce)
{
    float a = 1.0f, b = 3.0f, fb = -1.0f;
    int iterations = -1;
    EXPECT_EQ(FindRootPegasus(MinusOne, &a, &b, &fb, &iterations), RootFound);
    EXPECT_EQ(b, 1.0f);
    EXPECT_EQ(fb, 0.0f);

    a = -2.0f, b = 1.0f;
    EXPECT_EQ(FindRootPegasus(MinusOne, &a, &b, &fb, &iterations), RootFound);
    EXPECT_EQ(b, 1.0f);
    EXPECT_EQ(iterations, 0);
}

TEST(RootFinderTest, MissingFunctionEvaluatesNothing)
{
    float a = 0.0f, b = 2.0f, fb = 7.0f;
    int iterations = -1;
    EXPECT_EQ(FindRootPegasus(nullptr, &a, &b, &fb, &iterations), RootNoFunction);
    EXPECT_EQ(fb, 7.0f);
    EXPECT_EQ(b, 2.0f);
}

float FormulaOfTheApplication(float x)
{
    int errPos = 0;
    CString errText;
    return static_cast<float>(GetFormulaEngine().FormulaParser.Calculate(L"COS(x)-x", x, &errPos, &errText, TRUE));
}

TEST(RootFinderTest, SearchesAFormulaThroughTheApplicationsParser)
{
    float a = 0.0f, b = 1.0f, fb = 0.0f;
    int iterations = 0;
    int result = FindRootPegasus(FormulaOfTheApplication, &a, &b, &fb, &iterations);
    EXPECT_TRUE(result == RootFound || result == RootIntervalConverged) << result;
    EXPECT_NEAR(b, 0.7390851f, 2e-7f);
}

struct FractionCase {
    double value;
    double eps;
    const wchar_t* expected;
};

TEST(FractionTest, WritesMixedFractions)
{
    const FractionCase cases[] = {
        { 3.5, 1e-9, L"3 1/2" },
        { -0.25, 1e-9, L"-1/4" },
        { -2.5, 1e-9, L"-2 1/2" },
        { 4.0, 1e-9, L"4" },
        { 0.0, 1e-9, L"0" },
        { 0.3333333333, 1e-6, L"1/3" },
        { 0.9999999999, 1e-6, L"1" },
        { 2.0 / 7.0, 1e-9, L"2/7" },
        { 1.0 + 355.0 / 113.0 - 3.0, 1e-12, L"1 16/113" },
        { 3.14159265358979, 1e-3, L"3 16/113" },  // 1/7 misses by 1.3e-3
    };
    for (const FractionCase& c : cases) {
        CString text;
        FractionToText(c.value, &text, c.eps);
        EXPECT_EQ(text, c.expected) << c.value;
        wchar_t buffer[FractionBufferSize];
        EXPECT_EQ(CString(FormatFraction(c.value, buffer, c.eps)), c.expected) << c.value;
    }
}

TEST(FractionTest, ValuesOutsideTheIntegerRangeHaveNoFraction)
{
    for (double value : { std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN(), 1e19, -9.3e18, 1e300 }) {
        std::int64_t whole = 1, numerator = 1, denominator = 1;
        EXPECT_FALSE(ApproximateFraction(value, &whole, &numerator, &denominator, 1e-9)) << value;
        EXPECT_EQ(whole, 0);
        EXPECT_EQ(numerator, 0);
        EXPECT_EQ(denominator, 0);
        CString text(L"old");
        FractionToText(value, &text, 1e-9);
        EXPECT_EQ(text, L"");
    }
    std::int64_t whole, numerator, denominator;
    EXPECT_TRUE(ApproximateFraction(-9.2e18, &whole, &numerator, &denominator, 1e-9));
    EXPECT_EQ(whole, -9200000000000000000);
}

// With no close fraction at a tiny tolerance the convergents would outgrow 64 bits; the search
// keeps the last one that fits, and a long text never overruns the caller's buffer.
TEST(FractionTest, TinyToleranceEndsWithinTheIntegerRange)
{
    for (double eps : { 0.0, 1e-300 }) {
        std::int64_t whole, numerator, denominator;
        ASSERT_TRUE(ApproximateFraction(M_PI, &whole, &numerator, &denominator, eps));
        EXPECT_EQ(whole, 3);
        ASSERT_GT(denominator, 0);
        EXPECT_NEAR(static_cast<double>(numerator) / static_cast<double>(denominator), M_PI - 3, 1e-15);
    }

    CString full;
    FractionToText(-0.123456789012345, &full, 0.0);
    wchar_t buffer[FractionBufferSize + 1];
    buffer[FractionBufferSize] = L'#';
    FormatFraction(-0.123456789012345, buffer, 0.0);
    EXPECT_EQ(buffer[FractionBufferSize], L'#');
    EXPECT_EQ(CString(buffer), full.Left(FractionBufferSize - 1));
}

} // namespace
