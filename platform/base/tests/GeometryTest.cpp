#include "platform/base/Geometry.h"

#include <gtest/gtest.h>

namespace {

TEST(GeometryTest, RectanglesExcludeTheirRightAndBottomEdges)
{
    CRect rect(10, 20, 30, 50);
    EXPECT_EQ(rect.Width(), 20);
    EXPECT_EQ(rect.Height(), 30);
    EXPECT_EQ(rect.CenterPoint(), CPoint(20, 35));
    EXPECT_TRUE(rect.PtInRect(CPoint(10, 20)));
    EXPECT_FALSE(rect.PtInRect(CPoint(30, 20)));
    EXPECT_FALSE(rect.PtInRect(CPoint(10, 50)));
    EXPECT_TRUE(CRect(5, 5, 5, 9).IsRectEmpty());
    EXPECT_TRUE(CRect(5, 5, 4, 9).IsRectEmpty());
    EXPECT_TRUE(CRect().IsRectNull());

    rect.TopLeft() = CPoint(0, 0);  // writes through
    EXPECT_EQ(rect, CRect(0, 0, 30, 50));
    rect.BottomRight() += CSize(1, 1);
    EXPECT_EQ(rect, CRect(0, 0, 31, 51));
}

TEST(GeometryTest, IntersectionUnionAndSubtraction)
{
    struct Case {
        RECT a, b;
        RECT intersection;
        BOOL intersects;
        RECT unionRect;
    } cases[] = {
        { { 0, 0, 10, 10 }, { 5, 5, 15, 15 }, { 5, 5, 10, 10 }, TRUE, { 0, 0, 15, 15 } },
        { { 0, 0, 10, 10 }, { 10, 0, 20, 10 }, { 0, 0, 0, 0 }, FALSE, { 0, 0, 20, 10 } },  // touching only
        { { 0, 0, 10, 10 }, { 3, 3, 3, 8 }, { 0, 0, 0, 0 }, FALSE, { 0, 0, 10, 10 } },     // empty b is ignored
    };
    for (const auto& c : cases) {
        CRect result(-1, -1, -1, -1);
        EXPECT_EQ(result.IntersectRect(&c.a, &c.b), c.intersects);
        EXPECT_EQ(result, CRect(c.intersection));
        EXPECT_TRUE(result.UnionRect(&c.a, &c.b));
        EXPECT_EQ(result, CRect(c.unionRect));
    }
    CRect a(0, 0, 10, 10);
    CRect result;
    EXPECT_TRUE(result.SubtractRect(a, CRect(-5, -5, 15, 4)));  // covers the top strip
    EXPECT_EQ(result, CRect(0, 4, 10, 10));
    EXPECT_TRUE(result.SubtractRect(a, CRect(6, -1, 11, 11)));  // covers the right strip
    EXPECT_EQ(result, CRect(0, 0, 6, 10));
    EXPECT_TRUE(result.SubtractRect(a, CRect(2, 2, 4, 4)));  // a hole cannot be expressed
    EXPECT_EQ(result, a);
    EXPECT_FALSE(result.SubtractRect(a, CRect(-1, -1, 11, 11)));
    EXPECT_TRUE(result.IsRectNull());
    EXPECT_EQ(CRect(0, 0, 10, 10) & CRect(20, 20, 30, 30), CRect());
}

TEST(GeometryTest, OffsetsInflationAndPackedPoints)
{
    CRect rect(0, 0, 10, 10);
    rect.InflateRect(2, 3);
    EXPECT_EQ(rect, CRect(-2, -3, 12, 13));
    rect.DeflateRect(1, 1, 2, 2);
    EXPECT_EQ(rect, CRect(-1, -2, 10, 11));
    rect += CPoint(1, 2);
    EXPECT_EQ(rect, CRect(0, 0, 11, 13));
    rect.MoveToXY(5, 5);
    EXPECT_EQ(rect, CRect(5, 5, 16, 18));
    CRect flipped(10, 10, 0, 0);
    flipped.NormalizeRect();
    EXPECT_EQ(flipped, CRect(0, 0, 10, 10));

    // Mouse coordinates arrive packed, and may be negative.
    CPoint point(static_cast<LPARAM>(MAKELONG(static_cast<WORD>(-5), 7)));
    EXPECT_EQ(point, CPoint(-5, 7));
    EXPECT_EQ(CPoint(3, 4) - CPoint(1, 1), CSize(2, 3));
    EXPECT_EQ(CPoint(3, 4) + CSize(1, 1), CPoint(4, 5));
}

} // namespace
