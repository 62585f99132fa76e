#include "editor/EditTypes.h"

#include <gtest/gtest.h>

namespace {

using P = SECEditLineCol;
using R = SECEditLineColPair;

TEST(EditPositions, OrderIsReadingOrder)
{
    EXPECT_LT(P(3, 5), P(4, 0));
    EXPECT_LT(P(4, 0), P(4, 1));
    EXPECT_GE(P(4, 1), P(4, 1));
    const R reversed(5, 0, 2, 3);
    EXPECT_FALSE(reversed.IsOrdered());
    EXPECT_EQ(reversed.Normalized().m_start, P(2, 3));
    EXPECT_EQ(reversed.Normalized().m_end, P(5, 0));
    EXPECT_EQ(reversed, R(2, 3, 5, 0)) << "pairs compare normalised";
}

TEST(EditPositions, ContainsIncludesBothEnds)
{
    const R range(1, 2, 3, 4);
    EXPECT_TRUE(range.Contains(P(1, 2)));
    EXPECT_TRUE(range.Contains(P(3, 4)));
    EXPECT_TRUE(range.Contains(P(2, 100)));
    EXPECT_FALSE(range.Contains(P(1, 1)));
    EXPECT_FALSE(range.Contains(P(3, 5)));
    EXPECT_TRUE(R(3, 4, 1, 2).Contains(P(3, 4)));
}

TEST(EditPositions, FollowDeletionsAndInsertions)
{
    struct Case {
        R edit;
        bool insert;
        P before, after;
        int moved;
    };
    const Case cases[] = {
        { R(1, 2, 1, 5), false, P(1, 9), P(1, 6), 1 },
        { R(1, 2, 3, 4), false, P(3, 10), P(1, 8), 1 },
        { R(1, 2, 3, 4), false, P(2, 0), P(1, 2), 1 },
        { R(1, 2, 3, 4), false, P(1, 2), P(1, 2), 0 },
        { R(1, 2, 3, 4), false, P(0, 7), P(0, 7), 0 },
        { R(1, 2, 3, 4), false, P(5, 1), P(3, 1), 1 },
        { R(1, 2, 2, 3), true, P(1, 6), P(2, 7), 1 },
        { R(1, 2, 2, 3), true, P(0, 9), P(0, 9), 0 },
        { R(1, 2, 2, 3), true, P(4, 1), P(5, 1), 1 },
        { R(1, 2, 1, 4), true, P(1, 2), P(1, 4), 1 },
    };
    for (const Case& c : cases) {
        P position = c.before;
        EXPECT_EQ(position.AdjustForEdit(c.edit, c.insert), c.moved) << c.before.m_nLine << "," << c.before.m_nCol;
        EXPECT_EQ(position, c.after) << c.before.m_nLine << "," << c.before.m_nCol;
    }
}

TEST(EditPositions, OverlapsWithAnOpenEndedRangeTestsOnlyItsStart)
{
    const R span(2, 0, 4, 3);
    EXPECT_TRUE(span.Overlaps(R(3, 1, 0, 0)));
    EXPECT_FALSE(span.Overlaps(R(1, 0, 0, 0)));
    EXPECT_TRUE(span.Overlaps(R(1, 0, 2, 0)));
    EXPECT_TRUE(span.Overlaps(R(1, 0, 9, 0)));
    EXPECT_FALSE(span.Overlaps(R(5, 0, 6, 0)));
}

TEST(EditSelection, ModeTwoCountsAsSelection)
{
    SECEditSelection selection;
    selection.SetCaret(P(1, 1), 1);
    EXPECT_FALSE(selection.HasSelection());
    selection.SetCaret(P(1, 1), 2);
    EXPECT_TRUE(selection.HasSelection());
    selection.Set(P(5, 0), P(2, 1), 1);
    EXPECT_EQ(selection.GetFirst(), P(2, 1));
    EXPECT_EQ(selection.GetAnchor(), P(5, 0));
    int first = 0, last = 0;
    EXPECT_TRUE(selection.MoveEnd(7, 0, first, last));
    EXPECT_EQ(first, 2);
    EXPECT_EQ(last, 7);
    EXPECT_FALSE(selection.MoveEnd(7, 0, first, last));
    selection.Clear();
    EXPECT_EQ(selection.m_nMode, 1);
    EXPECT_FALSE(selection.HasSelection());
}

TEST(EditCommentSpans, StayOrderedByTheirEnds)
{
    SECEditMLCommentArray spans;
    EXPECT_EQ(spans.Add(SECEditMLComment(5, 0, 6, 0)), 0);
    EXPECT_EQ(spans.Add(SECEditMLComment(1, 0, 2, 0)), 0);
    EXPECT_EQ(spans.Add(SECEditMLComment(3, 0, 4, 0)), 1);
    EXPECT_EQ(spans.Add(SECEditMLComment(7, 0, 9, 0)), 3);
    ASSERT_EQ(spans.GetSize(), 4);
    for (INT_PTR i = 1; i < spans.GetSize(); ++i)
        EXPECT_LT(spans[i - 1].m_end, spans[i].m_end);
    EXPECT_EQ(spans[0].m_nTagIndex, -1);
}

} // namespace
