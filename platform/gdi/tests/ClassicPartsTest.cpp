#include "Canvas.h"

#include "platform/gdi/ClassicParts.h"
#include "platform/gdi/SysColors.h"

using namespace fln::gdi;

namespace {

// The pixels of a rectangle as text rows, one letter per system colour that matters here.
std::string colours(const TestCanvas& canvas, int left, int top, int right, int bottom)
{
    std::string out;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            COLORREF c = canvas.at(x, y);
            out += c == GetSysColor(COLOR_BTNTEXT) ? '#'
                : c == GetSysColor(COLOR_BTNHIGHLIGHT) ? 'h'
                : c == GetSysColor(COLOR_BTNFACE) ? '.'
                : c == GetSysColor(COLOR_BTNSHADOW) ? 's'
                : c == GetSysColor(COLOR_3DDKSHADOW) ? 'd'
                                                      : '?';
        }
        out += '\n';
    }
    return out;
}

} // namespace

TEST(ClassicParts, ArrowButtonsPointTheirWayAndSinkWhenPushed)
{
    struct Case {
        ArrowDirection direction;
        UINT state;
        const char* picture; // the button's inside, 2 pixels in from each side
    } cases[] = {
        { ArrowDirection::Up, 0, "............\n"
                                 "............\n"
                                 ".....#......\n"
                                 "....###.....\n"
                                 "...#####....\n"
                                 "............\n"
                                 "............\n" },
        { ArrowDirection::Down, 0, "............\n"
                                   "............\n"
                                   "...#####....\n"
                                   "....###.....\n"
                                   ".....#......\n"
                                   "............\n"
                                   "............\n" },
        { ArrowDirection::Up, DFCS_PUSHED, "............\n"
                                           "............\n"
                                           "............\n"
                                           "......#.....\n"
                                           ".....###....\n"
                                           "....#####...\n"
                                           "............\n" },
        { ArrowDirection::Down, DFCS_INACTIVE, "............\n"
                                               "............\n"
                                               "...sssss....\n"
                                               "....ssshh...\n"
                                               ".....shh....\n"
                                               "......h.....\n"
                                               "............\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        TestCanvas canvas(16, 11);
        DrawArrowButton(canvas.dc, { 0, 0, 16, 11 }, c.direction, c.state);
        EXPECT_EQ(colours(canvas, 2, 2, 14, 9), c.picture);
        // Raised, or sunken when pushed.
        bool pushed = c.state & DFCS_PUSHED;
        EXPECT_EQ(canvas.at(0, 0), GetSysColor(pushed ? COLOR_BTNSHADOW : COLOR_3DLIGHT));
        EXPECT_EQ(canvas.at(15, 10), GetSysColor(pushed ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW));
    }

    // Sideways arrows in a square button; small buttons get small arrows.
    TestCanvas canvas(17, 17);
    DrawArrowButton(canvas.dc, { 0, 0, 17, 17 }, ArrowDirection::Right, 0);
    EXPECT_EQ(colours(canvas, 6, 5, 11, 12), "#....\n##...\n###..\n####.\n###..\n##...\n#....\n");
    TestCanvas tiny(8, 8);
    DrawArrowButton(tiny.dc, { 0, 0, 8, 8 }, ArrowDirection::Left, 0);
    EXPECT_EQ(colours(tiny, 2, 2, 6, 6), "....\n.#..\n....\n....\n");
}

TEST(ClassicParts, TabsHaveCutCornersAndAnOpenBottom)
{
    TestCanvas canvas(12, 8);
    RECT all { 0, 0, 12, 8 };
    COLORREF underneath = RGB(255, 0, 255);
    FillSolidRect(canvas.dc, &all, underneath);
    DrawTabItem(canvas.dc, all);
    EXPECT_EQ(colours(canvas, 0, 0, 12, 8), "??hhhhhhhh??\n"
                                             "?h........d?\n"
                                             "h.........sd\n"
                                             "h.........sd\n"
                                             "h.........sd\n"
                                             "h.........sd\n"
                                             "h.........sd\n"
                                             "h.........sd\n");
    EXPECT_EQ(canvas.at(11, 0), underneath); // the cut corners leave what was there

    // The pane is a soft raised edge.
    TestCanvas pane(10, 6);
    DrawTabPane(pane.dc, { 0, 0, 10, 6 });
    EXPECT_EQ(colours(pane, 0, 0, 10, 6), "hhhhhhhhhd\n"
                                          "h.......sd\n"
                                          "h.......sd\n"
                                          "h.......sd\n"
                                          "hssssssssd\n"
                                          "dddddddddd\n");
}

TEST(ClassicParts, ProgressBarsFillSmoothlyOrInWholeChunks)
{
    COLORREF bar = RGB(0, 0, 128), background = RGB(255, 255, 0);
    RECT client { 0, 0, 30, 10 };
    RECT inside = ProgressBarInside(client);
    EXPECT_EQ(CRect(inside), CRect(2, 2, 28, 8));
    auto row = [&](const TestCanvas& canvas, int y) {
        std::string out;
        for (int x = 0; x < 30; ++x) {
            COLORREF c = canvas.at(x, y);
            out += c == bar ? '#' : c == background ? '-' : c == GetSysColor(COLOR_BTNSHADOW) ? 's' : c == GetSysColor(COLOR_BTNHIGHLIGHT) ? 'h' : '?';
        }
        return out;
    };
    struct Case {
        bool smooth;
        bool vertical;
        int filled;
        int y;
        std::string expected;
    } cases[] = {
        { true, false, 7, 5, "s-#######--------------------h" },
        { false, false, 7, 5, "s-####--####-----------------h" }, // chunks of 4 with gaps of 2; the second one reached
        { false, false, 0, 5, "s----------------------------h" },
        { false, false, 99, 5, "s-####--####--####--####--##-h" },
        { true, false, 7, 0, "sssssssssssssssssssssssssssssh" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        TestCanvas canvas(30, 10);
        DrawProgressBar(canvas.dc, client, c.filled, c.smooth, c.vertical, bar, background);
        EXPECT_EQ(row(canvas, c.y), c.expected);
    }

    // Upwards, from the bottom.
    TestCanvas upright(10, 30);
    DrawProgressBar(upright.dc, { 0, 0, 10, 30 }, 5, true, true, bar, background);
    EXPECT_EQ(upright.at(5, 27), bar);
    EXPECT_EQ(upright.at(5, 23), bar);
    EXPECT_EQ(upright.at(5, 22), background);
}
