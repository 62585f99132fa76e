#include "Canvas.h"

#include "platform/gdi/CaptionGlyphs.h"

namespace {

using fln::gdi::CaptionGlyph;

TEST(CaptionGlyphs, EachGlyphHasItsShapeInItsCell)
{
    struct Case {
        CaptionGlyph glyph;
        const char* picture;
    };
    const Case cases[] = {
        { CaptionGlyph::Close, "........\n"
                               "##...##.\n"
                               ".##.##..\n"
                               "..###...\n"
                               "..###...\n"
                               ".##.##..\n"
                               "##...##.\n"
                               "........\n" },
        { CaptionGlyph::ArrowUp, "........\n"
                                 "........\n"
                                 "...#....\n"
                                 "..###...\n"
                                 ".#####..\n"
                                 "#######.\n"
                                 "........\n"
                                 "........\n" },
        { CaptionGlyph::ArrowLeft, ".....#..\n"
                                   "....##..\n"
                                   "...###..\n"
                                   "..####..\n"
                                   "...###..\n"
                                   "....##..\n"
                                   ".....#..\n"
                                   "........\n" },
    };
    for (const Case& c : cases) {
        TestCanvas canvas(12, 12);
        fln::gdi::DrawCaptionGlyph(canvas.dc, { 2, 2 }, c.glyph, RGB(0, 0, 0));
        EXPECT_EQ(canvas.picture(2, 2, 10, 10), c.picture);
        CRect ink = canvas.inkBounds(12, 12), cell(2, 2, 10, 10);
        EXPECT_EQ(ink & cell, ink) << "nothing outside the cell";
    }
    // The other arrows are the same triangles turned.
    TestCanvas right(12, 12), down(12, 12), left(12, 12), up(12, 12);
    fln::gdi::DrawCaptionGlyph(right.dc, { 2, 2 }, CaptionGlyph::ArrowRight, RGB(0, 0, 0));
    fln::gdi::DrawCaptionGlyph(left.dc, { 2, 2 }, CaptionGlyph::ArrowLeft, RGB(0, 0, 0));
    fln::gdi::DrawCaptionGlyph(down.dc, { 2, 2 }, CaptionGlyph::ArrowDown, RGB(0, 0, 0));
    fln::gdi::DrawCaptionGlyph(up.dc, { 2, 2 }, CaptionGlyph::ArrowUp, RGB(0, 0, 0));
    EXPECT_EQ(right.inkBounds(12, 12).Size(), left.inkBounds(12, 12).Size());
    EXPECT_EQ(down.inkBounds(12, 12).Size(), up.inkBounds(12, 12).Size());
    EXPECT_TRUE(right.isBlack(right.inkBounds(12, 12).right - 1, 2 + 3)) << "the tip on the right";
    EXPECT_TRUE(down.isBlack(2 + 3, down.inkBounds(12, 12).bottom - 1)) << "the tip at the bottom";
}

TEST(CaptionGlyphs, ThePinPointsDownWhenPinnedAndLeftWhenNot)
{
    TestCanvas pinned(16, 16), loose(16, 16);
    const RECT square { 0, 0, 16, 16 };
    fln::gdi::DrawPin(pinned.dc, square, true, RGB(0, 0, 0));
    fln::gdi::DrawPin(loose.dc, square, false, RGB(0, 0, 0));
    EXPECT_EQ(pinned.picture(0, 0, 16, 16), "................\n"
                                             "................\n"
                                             "................\n"
                                             "....########....\n"
                                             ".....#....#.....\n"
                                             ".....#....#.....\n"
                                             ".....#....#.....\n"
                                             ".....#....#.....\n"
                                             ".....#....#.....\n"
                                             ".....#....#.....\n"
                                             "..#############.\n"
                                             "........#.......\n"
                                             "........#.......\n"
                                             "........#.......\n"
                                             "................\n"
                                             "................\n");
    EXPECT_EQ(loose.picture(0, 0, 16, 16), "................\n"
                                           "................\n"
                                           "......#.........\n"
                                           "......#.........\n"
                                           "......#......#..\n"
                                           "......########..\n"
                                           "......#......#..\n"
                                           "......#......#..\n"
                                           "..#####......#..\n"
                                           "......#......#..\n"
                                           "......########..\n"
                                           "......#......#..\n"
                                           "......#.........\n"
                                           "......#.........\n"
                                           "......#.........\n"
                                           "................\n");
}

} // namespace
