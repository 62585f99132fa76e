#include "platform/base/TextToNumber.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TextToNumber, ReadsTheLongestDecimalPrefix)
{
    struct Case { const wchar_t* text; double value; int consumed; };
    const Case cases[] = {
        {L"1.5", 1.5, 3},
        {L"  -2.5e3xyz", -2500.0, 8},
        {L"+.5", 0.5, 3},
        {L"5.", 5.0, 2},
        {L"1e", 1.0, 1},          // an exponent without digits is not part of the number
        {L"1e+", 1.0, 1},
        {L"2E-2*X", 0.02, 4},
        {L"1,5", 1.0, 1},         // the decimal point is always "."
        {L"0x1A", 0.0, 1},        // no hexadecimal
        {L"inf", 0.0, 0},         // no infinity or NaN words
        {L"nan", 0.0, 0},
        {L".", 0.0, 0},
        {L"-", 0.0, 0},
        {L"", 0.0, 0},
        {L"1e999", HUGE_VAL, 5},
        {L"1e-999", 0.0, 6},
    };
    for (const auto& c : cases) {
        const wchar_t* end = nullptr;
        double value = ClassicWcsToD(c.text, &end);
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(end - c.text, c.consumed) << c.text;
    }
    const char* end = nullptr;
    EXPECT_EQ(ClassicStrToD("3.25abc", &end), 3.25);
    EXPECT_STREQ(end, "abc");
}

TEST(TextToNumber, IntegerConversionsSaturate)
{
    EXPECT_EQ(_wtoi(L"  42abc"), 42);
    EXPECT_EQ(_wtoi(L"-17"), -17);
    EXPECT_EQ(_wtoi(L"x1"), 0);
    EXPECT_EQ(_wtoi(L"99999999999"), 2147483647);
    EXPECT_EQ(_wtoi(L"-99999999999"), -2147483647 - 1);
    EXPECT_EQ(_wtoi64(L"9223372036854775807"), 9223372036854775807LL);
    EXPECT_EQ(_wtof(L"12.5%"), 12.5);
    EXPECT_EQ(_wtoi(nullptr), 0);
}
