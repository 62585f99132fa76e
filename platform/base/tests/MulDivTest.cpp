#include "platform/base/MulDiv.h"

#include <climits>
#include <gtest/gtest.h>

namespace {

TEST(MulDivTest, RoundsHalvesAwayFromZeroAndReportsOverflow)
{
    struct Case {
        int number, numerator, denominator, expected;
    } cases[] = {
        { 255, 50, 100, 128 },  // 127.5 rounds up
        { -255, 50, 100, -128 },
        { 255, 50, -100, -128 },
        { 75, 20, 100, 15 },
        { 1, 1, 3, 0 },
        { 2, 1, 3, 1 },
        { INT_MAX, INT_MAX, INT_MAX, INT_MAX },  // the product alone would overflow
        { INT_MIN, 1, 1, INT_MIN },
        { INT_MAX, 2, 1, -1 },
        { 5, 5, 0, -1 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << " * " << c.numerator << " / " << c.denominator;
}

} // namespace
