#include "app/DisplayConversions.h"

#include "platform/base/tests/Printers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

namespace {

struct RomanCase {
    int n;
    const wchar_t* compact;
    const wchar_t* subtractive;
};

TEST(DisplayConversionsTest, RomanNumeralsInBothForms)
{
    const RomanCase cases[] = {
        { 1, L"I", L"I" }, { 3, L"III", L"III" }, { 4, L"IV", L"IV" }, { 9, L"IX", L"IX" },
        { 45, L"VL", L"XLV" }, { 49, L"IL", L"XLIX" }, { 99, L"IC", L"XCIX" }, { 944, L"CMXLIV", L"CMXLIV" },
        { 999, L"IM", L"CMXCIX" }, { 1999, L"MIM", L"MCMXCIX" }, { 5000, L"MMMMM", L"MMMMM" },
        // Nothing below one.
        { 0, L"Data Error 9", L"Data Error 8" }, { -3, L"Data Error 9", L"Data Error 8" },
        { INT_MIN, L"Data Error 9", L"Data Error 8" },
    };
    for (const RomanCase& c : cases) {
        EXPECT_EQ(ToRomanCompact(c.n), CString(c.compact)) << c.n;
        EXPECT_EQ(ToRomanSubtractive(c.n), CString(c.subtractive)) << c.n;
    }
}

TEST(DisplayConversionsTest, BasesWriteNegativesAsTwosComplement)
{
    struct Case {
        int value;
        unsigned base;
        const wchar_t* digits;
    };
    const Case cases[] = {
        { 0, 16, L"0" }, { 255, 16, L"FF" }, { -1, 16, L"FFFFFFFF" }, { INT_MIN, 16, L"80000000" },
        { INT_MAX, 16, L"7FFFFFFF" }, { 64, 8, L"100" }, { -1, 8, L"37777777777" }, { 0, 2, L"0" },
        { 10, 2, L"1010" }, { -1, 2, L"11111111111111111111111111111111" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(InBase(c.value, c.base), CString(c.digits)) << c.value << " in base " << c.base;
}

TEST(DisplayConversionsTest, BinaryDigitsGroupByFourFromTheRight)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        { L"", L"" }, { L"1", L"1" }, { L"101", L"101" }, { L"1000", L" 1000" }, { L"10000", L"1 0000" },
        { L"11111111", L" 1111 1111" },
    };
    for (const auto& [digits, grouped] : cases)
        EXPECT_EQ(GroupedByFour(digits), CString(grouped)) << digits;
}

TEST(DisplayConversionsTest, TheIntegerPartTruncatesAndStaysInTheIntRange)
{
    EXPECT_EQ(IntegerPart(255.9), 255);
    EXPECT_EQ(IntegerPart(-0.5), 0);
    EXPECT_EQ(IntegerPart(-2147483648.7), INT_MIN);
    EXPECT_EQ(IntegerPart(2147483647.9), INT_MAX);
    EXPECT_EQ(IntegerPart(2147483648.0), std::nullopt);
    EXPECT_EQ(IntegerPart(-2147483649.0), std::nullopt);
    EXPECT_EQ(IntegerPart(std::numeric_limits<double>::quiet_NaN()), std::nullopt);
    EXPECT_EQ(IntegerPart(std::numeric_limits<double>::infinity()), std::nullopt);
}

} // namespace
