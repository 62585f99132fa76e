#include "platform/base/StringFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(StringFormat, ExponentsHaveAtLeastThreeDigits)
{
    EXPECT_EQ(FormatWide(L"%.*lG", 6, 1e6), L"1E+006");
    EXPECT_EQ(FormatWide(L"%.*lG", 6, 0.00001), L"1E-005");
    EXPECT_EQ(FormatWide(L"%lG", 1e-300), L"1E-300");
    EXPECT_EQ(FormatWide(L"%.15E", 1234.5), L"1.234500000000000E+003");
    EXPECT_EQ(FormatWide(L"%e", -2.5e-7), L"-2.500000e-007");
    EXPECT_EQ(FormatWide(L"%g", 0.5), L"0.5");
    EXPECT_EQ(FormatWide(L"%G", 123456789.0), L"1.23457E+008");
    EXPECT_EQ(FormatNarrow("%.2E", 1e100), "1.00E+100");
}

TEST(StringFormat, WidthAndFlagsApplyAfterTheExponentIsWidened)
{
    EXPECT_EQ(FormatWide(L"%14.3E|", 1e6), L"    1.000E+006|");
    EXPECT_EQ(FormatWide(L"%-12G|", 1e6), L"1E+006      |");
    EXPECT_EQ(FormatWide(L"%012.2E", -1e6), L"-001.00E+006");
    EXPECT_EQ(FormatWide(L"%+.1e", 3.0), L"+3.0e+000");
    EXPECT_EQ(FormatWide(L"%8.2lf|", 3.14159), L"    3.14|");
    EXPECT_EQ(FormatWide(L"%lf", 2.0), L"2.000000");
}

TEST(StringFormat, IntegersAndSizePrefixes)
{
    EXPECT_EQ(FormatWide(L"%012u", 42u), L"000000000042");
    EXPECT_EQ(FormatWide(L"%I64d", static_cast<long long>(-9007199254740993LL)), L"-9007199254740993");
    EXPECT_EQ(FormatWide(L"%I64u", 18446744073709551615ULL), L"18446744073709551615");
    EXPECT_EQ(FormatWide(L"%lld|%ld|%hd", 1LL << 40, 7, 65537), L"1099511627776|7|1");
    EXPECT_EQ(FormatWide(L"%X %x %o %5d|%-5d|", 255u, 255u, 8u, 3, 3), L"FF ff 10     3|3    |");
    EXPECT_EQ(FormatWide(L"%#x %*d %.*d", 255u, 4, 7, 3, 5), L"0xff    7 005");
    EXPECT_EQ(FormatWide(L"100%% %q"), L"100% %q");
}

TEST(StringFormat, TextArgumentsFollowTheFormatWidth)
{
    EXPECT_EQ(FormatWide(L"%s|%S|%hs|%ls", L"wide", "narrow", "narrow", L"wide"), L"wide|narrow|narrow|wide");
    EXPECT_EQ(FormatWide(L"%c%C", L'ä', 'b'), L"äb");
    EXPECT_EQ(FormatWide(L"[%5s][%-5s][%.2s]", L"ab", L"ab", L"abc"), L"[   ab][ab   ][ab]");
    EXPECT_EQ(FormatWide(L"%s", static_cast<const wchar_t*>(nullptr)), L"(null)");
    EXPECT_EQ(FormatNarrow("%s %ls %S", "ü", L"ä", L"€"), "ü ä €");
}

TEST(StringFormat, NonFiniteValuesAreNotZeroPadded)
{
    double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FormatWide(L"%08.2e", inf), L"     inf");
    EXPECT_EQ(FormatWide(L"%G", -inf), L"-INF");
}

TEST(StringFormat, FormatNeverWritesThroughPercentN)
{
    int target = 17;
    EXPECT_EQ(FormatWide(L"ab%nc", &target), L"abc");
    EXPECT_EQ(target, 17);
}

TEST(StringFormat, TiesRoundAwayFromZero)
{
    struct Case { const wchar_t* format; double value; const wchar_t* expected; };
    const Case cases[] = {
        {L"%.0f", 0.5, L"1"},       {L"%.0f", 2.5, L"3"},        {L"%.0f", -2.5, L"-3"},
        {L"%.2f", 0.125, L"0.13"},  {L"%.2f", 0.375, L"0.38"},   {L"%.1f", 0.25, L"0.3"},
        {L"%.2f", 0.115, L"0.12"},  // 0.115 is stored a little above: no tie
        {L"%.2f", 0.145, L"0.14"},  // 0.145 is stored a little below: no tie
        {L"%.1e", 1.25, L"1.3e+000"}, {L"%.2E", -1.125e10, L"-1.13E+010"},
        {L"%.2G", 0.125, L"0.13"},  {L"%.1G", 2.5, L"3"},        {L"%.3G", 1e6, L"1E+006"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatWide(c.format, c.value), c.expected) << c.format << " " << c.value;
}
