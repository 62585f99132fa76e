#include "framework/RowShares.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

void ExpectShares(const std::vector<RowMember>& row, const std::vector<float>& expected)
{
    ASSERT_EQ(row.size(), expected.size());
    for (size_t i = 0; i < row.size(); ++i)
        EXPECT_NEAR(row[i].share, expected[i], 1e-5f) << "bar " << i;
}

RowMember Settled(float share) { return { share, true, true }; }
RowMember Asking(float share) { return { share, true, false }; }

TEST(RowShares, TheMinimumShareKeeps18Pixels)
{
    struct Case {
        int length;
        float expected;
    };
    const Case cases[] = { { 100, 0.18f }, { 600, 0.03f }, { 18, 1.0f }, { 10, 1.0f }, { 0, 0.05f }, { -4, 0.05f } };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(MinimumShare(c.length), c.expected) << c.length;
}

TEST(RowShares, NormalisingFillsTheRowAndKeepsEveryBarAboveTheMinimum)
{
    struct Case {
        const char* name;
        std::vector<RowMember> row;
        int anchor;
        std::vector<float> expected;
    };
    const Case cases[] = {
        { "one settled bar fills its row", { Settled(0.4f) }, -1, { 1.0f } },
        { "one new bar fills its row", { Asking(0.3f) }, -1, { 1.0f } },
        { "a new bar keeps what it asks, the settled ones shrink alike", { Settled(0.5f), Settled(0.5f), Asking(0.3f) }, -1,
            { 0.35f, 0.35f, 0.3f } },
        { "more than 0.95 is asked as 0.95", { Settled(1.0f), Asking(2.0f) }, -1, { 0.05f, 0.95f } },
        { "the anchor keeps the part it asks of the others' row", { Settled(0.2f), Settled(0.5f), Settled(0.5f) }, 0,
            { 0.2f, 0.4f, 0.4f } },
        { "settled bars in proportion", { Settled(0.2f), Settled(0.6f) }, -1, { 0.25f, 0.75f } },
        { "no bar below the minimum", { Settled(0.001f), Settled(0.999f) }, -1, { 0.05f, 0.999f } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<RowMember> row = c.row;
        NormalizeRow(row, c.anchor, 0.05f);
        ExpectShares(row, c.expected);
        for (const RowMember& member : row)
            EXPECT_TRUE(member.settled);
    }
}

TEST(RowShares, HiddenBarsTakeNoPartAndBecomeUnsettled)
{
    std::vector<RowMember> row { Settled(0.5f), Settled(0.25f), Settled(0.25f) };
    row[1].visible = false;
    const RowCounts counts = NormalizeRow(row, -1, 0.05f);
    EXPECT_NEAR(row[0].share + row[2].share, 1.0f, 1e-5f);
    EXPECT_FALSE(row[1].settled);
    EXPECT_EQ(counts.stretchable, 2);

    row[2].fixedSize = true;
    EXPECT_EQ(NormalizeRow(row, -1, 0.05f).fixed, 1);
}

TEST(RowShares, ExpandingTakesTheRowAndRestoringSharesItAgain)
{
    std::vector<RowMember> row { Settled(0.3f), Settled(0.3f), Settled(0.4f) };
    const float minimum = 0.05f;
    ExpandInRow(row, 1, true, minimum);
    ExpectShares(row, { minimum, 1.0f, minimum });
    ExpandInRow(row, 1, false, minimum);
    ExpectShares(row, { 0.25f, 0.5f, 0.25f });
}

TEST(RowShares, AShareStopsAtTheMinimumAndReturnsTheRest)
{
    struct Case {
        float share, delta, expectedShare, expectedRest;
    };
    const Case cases[] = { { 0.5f, -0.2f, 0.3f, 0.0f }, { 0.2f, -0.3f, 0.1f, 0.2f }, { 0.2f, 0.3f, 0.5f, 0.0f } };
    for (const Case& c : cases) {
        RowMember member = Settled(c.share);
        EXPECT_NEAR(AddToShare(member, c.delta, 0.1f), c.expectedRest, 1e-6f);
        EXPECT_NEAR(member.share, c.expectedShare, 1e-6f);
    }
}

} // namespace
