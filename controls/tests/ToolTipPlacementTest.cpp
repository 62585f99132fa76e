#include "controls/ToolTipPlacement.h"

#include <gtest/gtest.h>

namespace {

constexpr RECT Screen { 0, 0, 1000, 800 };
constexpr PPTipSizes Balloon { 12, 16, 16 };

TEST(ToolTipPlacement, FlipsAwayFromTheScreenEdges)
{
    struct Case {
        int direction;
        POINT anchor;
        SIZE body;
        int placed;
        POINT apex;
        POINT bodyOrigin;
    } cases[] = {
        { 0x10, { 500, 400 }, { 100, 50 }, 0x10, { 16, 66 }, { 0, 0 } },
        { 0x10, { 950, 400 }, { 100, 50 }, 0x11, { 84, 66 }, { 0, 0 } },
        { 0x11, { 50, 400 }, { 100, 50 }, 0x10, { 16, 66 }, { 0, 0 } },
        { 0x10, { 500, 400 }, { 990, 50 }, 0x12, { 495, 66 }, { 0, 0 } },
        { 0x12, { 20, 400 }, { 100, 50 }, 0x12, { 20, 66 }, { 0, 0 } },
        { 0x12, { 10, 400 }, { 100, 50 }, 0x10, { 10, 66 }, { 0, 0 } },
        { 0x00, { 500, 790 }, { 100, 50 }, 0x10, { 16, 66 }, { 0, 0 } },
        { 0x10, { 500, 20 }, { 100, 50 }, 0x00, { 16, 0 }, { 0, 16 } },
        { 0x00, { 500, 100 }, { 100, 50 }, 0x00, { 16, 0 }, { 0, 16 } },
        { 0x20, { 950, 400 }, { 100, 50 }, 0x30, { 116, 16 }, { 0, 0 } },
        { 0x30, { 50, 400 }, { 100, 50 }, 0x20, { 0, 16 }, { 16, 0 } },
        { 0x20, { 500, 790 }, { 100, 50 }, 0x21, { 0, 40 }, { 16, 0 } },
    };
    for (const auto& c : cases) {
        PPTipPlacement placement = PlaceTip(c.direction, c.anchor, c.body, Balloon, Screen);
        SCOPED_TRACE(testing::Message() << "direction " << c.direction << " at " << c.anchor.x << "," << c.anchor.y);
        EXPECT_TRUE(placement.hasTail);
        EXPECT_EQ(placement.direction, c.placed);
        EXPECT_EQ(placement.apex.x, c.apex.x);
        EXPECT_EQ(placement.apex.y, c.apex.y);
        EXPECT_EQ(placement.body.left, c.bodyOrigin.x);
        EXPECT_EQ(placement.body.top, c.bodyOrigin.y);
        EXPECT_EQ(placement.body.right - placement.body.left, c.body.cx);
        // The window, placed with its apex on the anchor, stays on the screen.
        const int left = c.anchor.x - placement.apex.x, top = c.anchor.y - placement.apex.y;
        EXPECT_GE(left, Screen.left);
        EXPECT_LE(left + placement.window.cx, Screen.right);
        EXPECT_GE(top, Screen.top);
        EXPECT_LE(top + placement.window.cy, Screen.bottom);
    }
}

TEST(ToolTipPlacement, TailBaseSitsOnTheBodyEdge)
{
    struct Case {
        int direction;
        POINT base0, base1;
    } cases[] = {
        { 0x10, { 16, 50 }, { 28, 50 } },
        { 0x11, { 72, 50 }, { 84, 50 } },
        { 0x12, { 44, 50 }, { 56, 50 } },
        { 0x00, { 16, 16 }, { 28, 16 } },
        { 0x20, { 16, 16 }, { 16, 28 } },
        { 0x31, { 100, 22 }, { 100, 34 } },
    };
    for (const auto& c : cases) {
        PPTipPlacement placement = PlaceTip(c.direction, { 500, 400 }, { 100, 50 }, Balloon, Screen);
        SCOPED_TRACE(c.direction);
        EXPECT_EQ(placement.tail[0].x, placement.apex.x);
        EXPECT_EQ(placement.tail[0].y, placement.apex.y);
        EXPECT_EQ(placement.tail[1].x, c.base0.x);
        EXPECT_EQ(placement.tail[1].y, c.base0.y);
        EXPECT_EQ(placement.tail[2].x, c.base1.x);
        EXPECT_EQ(placement.tail[2].y, c.base1.y);
    }
}

TEST(ToolTipPlacement, UndefinedCodesGiveABodyWithoutTail)
{
    for (int direction : { 0x03, 0x40, 0x1F, 0x110 }) {
        PPTipPlacement placement = PlaceTip(direction, { 500, 400 }, { 100, 50 }, Balloon, Screen);
        EXPECT_FALSE(placement.hasTail) << direction;
        EXPECT_EQ(placement.window.cx, 100);
        EXPECT_EQ(placement.window.cy, 50);
    }
}

} // namespace
