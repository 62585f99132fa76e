#include "controls/DrawManager.h"
#include "controls/Monitor.h"
#include "platform/display/HeadlessDisplay.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

using DM = CPPDrawManager;
constexpr COLORREF White = RGB(255, 255, 255), Black = RGB(0, 0, 0);

// A colour canvas in memory.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = White)
        : width(width)
        , height(height)
    {
        BITMAPINFO info {};
        info.bmiHeader = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bitmap);
        Fill(fill);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    void Fill(COLORREF color, RECT area = { 0, 0, 0, 0 })
    {
        if (IsRectEmpty(&area))
            area = { 0, 0, width, height };
        FillSolidRect(dc, &area, color);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
    // Detaches the bitmap for use as a source picture.
    HBITMAP Take()
    {
        SelectObject(dc, old);
        return std::exchange(bitmap, CreateBitmap(1, 1, 1, 1, nullptr));
    }

    int width, height;
    HBITMAP bitmap;
    HDC dc;
    HGDIOBJ old;
};

TEST(DrawManagerColours, ArithmeticFollowsTheChannelRules)
{
    EXPECT_EQ(DM::ToGrey(0x00FF0000), 0x004C4C4Cu);
    EXPECT_EQ(DM::ToGrey(0x000000FF), 0x001D1D1Du);
    EXPECT_EQ(DM::ToInverse(RGB(0, 100, 255)), RGB(255, 155, 0));
    struct Case {
        COLORREF color;
        double factor;
        COLORREF scaled, brightened;
    };
    for (const Case& c : {
             Case { RGB(100, 200, 51), 0.5, RGB(50, 100, 26), RGB(150, 255, 77) },
             Case { RGB(100, 200, 50), 0.0, RGB(0, 0, 0), RGB(100, 200, 50) },
             Case { RGB(100, 200, 50), 1.0, RGB(100, 200, 50), RGB(200, 255, 100) },
             Case { RGB(100, 200, 50), 1.5, RGB(100, 200, 50), RGB(100, 200, 50) },
             Case { RGB(100, 200, 50), -0.1, RGB(100, 200, 50), RGB(100, 200, 50) },
         }) {
        EXPECT_EQ(DM::ScaleColour(c.color, c.factor), c.scaled) << c.factor;
        EXPECT_EQ(DM::BrightenColour(c.color, c.factor), c.brightened) << c.factor;
    }
    EXPECT_EQ(DM::BlendColours(RGB(200, 0, 101), 0.5, RGB(0, 100, 0), 0.5), RGB(100, 50, 51));
}

TEST(DrawManagerBackgrounds, GradientBandsStartAtTheFirstColourAndNarrowOnesSkipEmptyBands)
{
    DM manager;
    Canvas wide(128, 4);
    RECT all { 0, 0, 128, 4 };
    manager.PaintBackground(wide.dc, DM::EFFECT_HGRADIENT, &all, Black, RGB(1, 2, 3), White, 0, 0);
    EXPECT_EQ(wide.At(0, 0), Black) << "the first band is the first colour exactly";
    EXPECT_EQ(wide.At(1, 3), Black);
    EXPECT_EQ(wide.At(127, 0), RGB(251, 251, 251));

    // 10 pixels wide: only the bands that cover a pixel are painted, each pixel once.
    Canvas narrow(10, 4, RGB(1, 2, 3));
    RECT ten { 0, 0, 10, 4 };
    manager.PaintBackground(narrow.dc, DM::EFFECT_HGRADIENT, &ten, Black, RGB(1, 2, 3), White, 0, 0);
    EXPECT_EQ(narrow.At(0, 0), RGB(23, 23, 23)) << "band 6 is the first one wide enough";
    EXPECT_EQ(narrow.At(9, 0), RGB(251, 251, 251));

    // Split gradients meet in the middle at the far colour.
    Canvas split(4, 128);
    RECT tall { 0, 0, 4, 128 };
    manager.PaintBackground(split.dc, DM::EFFECT_VCGRADIENT, &tall, Black, RGB(9, 9, 9), White, 0, 0);
    EXPECT_EQ(split.At(0, 0), Black);
    EXPECT_EQ(split.At(0, 64), White);
    EXPECT_EQ(split.At(0, 127), RGB(3, 3, 3));

    // Every split effect: colour at the start, the middle colour where the halves meet, the last band.
    struct Case {
        int effect;
        bool horizontal;
        COLORREF start, middle, end;
    };
    const COLORREF c1 = RGB(0, 0, 0), c2 = RGB(128, 128, 128), c3 = RGB(255, 255, 255);
    const Case cases[] = {
        { DM::EFFECT_HCGRADIENT, true, c1, c3, RGB(3, 3, 3) },
        { DM::EFFECT_VCGRADIENT, false, c1, c3, RGB(3, 3, 3) },
        { DM::EFFECT_3HGRADIENT, true, c1, c2, RGB(253, 253, 253) },
        { DM::EFFECT_3VGRADIENT, false, c1, c2, RGB(253, 253, 253) },
    };
    for (const Case& test : cases) {
        Canvas canvas(128, 128, RGB(1, 2, 3));
        RECT square { 0, 0, 128, 128 };
        manager.PaintBackground(canvas.dc, test.effect, &square, c1, c2, c3, 0, 0);
        auto at = [&](int along) { return test.horizontal ? canvas.At(along, 5) : canvas.At(5, along); };
        EXPECT_EQ(at(0), test.start) << test.effect;
        EXPECT_EQ(at(64), test.middle) << test.effect;
        EXPECT_EQ(at(127), test.end) << test.effect;
    }
}

TEST(DrawManagerBackgrounds, GranularityZeroGivesNoNoise)
{
    DM manager;
    Canvas canvas(40, 20);
    RECT area { 0, 0, 40, 20 };
    manager.PaintBackground(canvas.dc, DM::EFFECT_NOISE, &area, White, RGB(128, 128, 128), Black, 0, 0);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(canvas.At(x, y), RGB(128, 128, 128)) << x << "," << y;

    manager.PaintBackground(canvas.dc, DM::EFFECT_NOISE, &area, White, RGB(128, 128, 128), Black, 40, 0);
    std::set<COLORREF> seen;
    for (int x = 0; x < 40; ++x)
        seen.insert(canvas.At(x, 5));
    EXPECT_GT(seen.size(), 3u) << "a granularity adds noise";
}

TEST(DrawManagerBackgrounds, TheHardBumpCurveStaysInRangeOnVeryTallRectangles)
{
    // The curve's width times the square of the distance from the middle row passes the range of
    // an int past some 23000 rows.
    DM manager;
    Canvas canvas(100, 10, RGB(1, 2, 3));
    RECT area { 0, 0, 96, 23200 }; // drawn mostly past the canvas
    manager.PaintBackground(canvas.dc, DM::EFFECT_HARDBUMP, &area, RGB(250, 0, 0), RGB(0, 250, 0), RGB(0, 0, 250), 0, 0);
    EXPECT_NE(canvas.At(0, 5), RGB(1, 2, 3));
    EXPECT_NE(canvas.At(95, 5), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(96, 5), RGB(1, 2, 3));
}

TEST(DrawManagerBackgrounds, PatternsOnNarrowAndOneRowRectanglesStayInsideThem)
{
    DM manager;
    const RECT areas[] = { { 5, 5, 6, 6 }, { 5, 5, 10, 6 }, { 5, 5, 6, 45 }, { 5, 5, 8, 8 }, { 5, 5, 205, 6 }, { 5, 5, 10, 5 } };
    for (int effect = DM::EFFECT_NOISE; effect <= DM::EFFECT_METAL; ++effect) {
        for (const RECT& area : areas) {
            Canvas canvas(220, 60, RGB(1, 2, 3));
            manager.PaintBackground(canvas.dc, effect, &area, RGB(250, 0, 0), RGB(0, 250, 0), RGB(0, 0, 250), 10, 0);
            EXPECT_EQ(canvas.At(4, 5), RGB(1, 2, 3)) << effect;
            EXPECT_EQ(canvas.At(area.right, area.top), RGB(1, 2, 3)) << effect;
            EXPECT_EQ(canvas.At(area.left, area.bottom), RGB(1, 2, 3)) << effect;
            if (!IsRectEmpty(&area)) {
                EXPECT_NE(canvas.At(area.left, area.top), RGB(1, 2, 3)) << "effect " << effect << " painted nothing";
            }
        }
    }
}

TEST(DrawManagerCopies, BlendCopyAtFullOpacityCopiesExactlyAndOtherwiseMixes)
{
    Canvas source(8, 8, RGB(200, 0, 101));
    source.Fill(RGB(7, 8, 9), { 0, 0, 1, 1 });
    Canvas target(8, 8, RGB(0, 100, 0));
    DM::BlendCopy(target.dc, 0, 0, 8, 8, source.dc, 0, 0, 100);
    EXPECT_EQ(target.At(0, 0), RGB(7, 8, 9));
    EXPECT_EQ(target.At(5, 5), RGB(200, 0, 101));

    target.Fill(RGB(0, 100, 0));
    DM::BlendCopy(target.dc, 2, 2, 4, 4, source.dc, 2, 2, 50);
    EXPECT_EQ(target.At(3, 3), RGB(100, 50, 51));
    EXPECT_EQ(target.At(1, 1), RGB(0, 100, 0)) << "outside the area";
}

TEST(DrawManagerShadows, HardShadowsDarkenThroughTheMaskAndAnEvenBlurActsAsTheNextOddOne)
{
    Canvas mask(20, 20, White);
    mask.Fill(Black, { 5, 5, 15, 15 });
    HBITMAP maskBitmap = mask.Take();

    Canvas hard(20, 20, RGB(200, 100, 50));
    DM::PaintShadow(hard.dc, 0, 0, 20, 20, maskBitmap, FALSE, 0, 0);
    EXPECT_EQ(hard.At(10, 10), Black);
    EXPECT_EQ(hard.At(2, 2), RGB(200, 100, 50)) << "white in the mask leaves the destination";

    Canvas even(20, 20), odd(20, 20);
    DM::PaintShadow(even.dc, 0, 0, 20, 20, maskBitmap, TRUE, 4, 4);
    DM::PaintShadow(odd.dc, 0, 0, 20, 20, maskBitmap, TRUE, 5, 5);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(even.At(x, y), odd.At(x, y)) << x << "," << y;
    EXPECT_EQ(odd.At(0, 0), White);
    EXPECT_LT(GetRValue(odd.At(10, 10)), 128) << "the middle of a soft shadow is dark";
    EXPECT_GT(GetRValue(odd.At(5, 10)), GetRValue(odd.At(10, 10))) << "its edge is lighter";
    DeleteObject(maskBitmap);
}

TEST(DrawManagerImages, BitmapsDrawWithTransparencyEffectsAndShadows)
{
    constexpr COLORREF Magenta = RGB(255, 0, 255);
    Canvas picture(6, 6, Magenta);
    picture.Fill(RGB(255, 0, 0), { 1, 1, 5, 5 });
    HBITMAP bitmap = picture.Take();
    DM manager;

    Canvas plain(20, 20, RGB(0, 0, 200));
    manager.PaintBitmap(plain.dc, 2, 2, 6, 6, bitmap, TRUE, Magenta, 0, FALSE, 0, 0, 0, 0, 0);
    EXPECT_EQ(plain.At(2, 2), RGB(0, 0, 200)) << "the transparent colour shows the destination";
    EXPECT_EQ(plain.At(4, 4), RGB(255, 0, 0));

    Canvas grey(20, 20, RGB(0, 0, 200));
    manager.PaintBitmap(grey.dc, 2, 2, 6, 6, bitmap, TRUE, Magenta, DM::IMAGE_EFFECT_GRAYEN, FALSE, 0, 0, 0, 0, 0);
    EXPECT_EQ(grey.At(4, 4), RGB(76, 76, 76));

    Canvas shadowed(20, 20, White);
    // The fill colour sets how dark the shadow is.
    manager.PaintBitmap(shadowed.dc, 2, 2, 6, 6, bitmap, TRUE, Magenta, DM::IMAGE_EFFECT_SHADOW, TRUE, 4, 4, 0, 0,
        RGB(128, 128, 128));
    EXPECT_EQ(shadowed.At(4, 4), RGB(255, 0, 0));
    EXPECT_EQ(shadowed.At(10, 10), RGB(128, 128, 128)) << "the shadow below and to the right of the picture";
    EXPECT_EQ(shadowed.At(2, 2), White);

    Canvas moved(20, 20, White);
    manager.PaintBitmap(moved.dc, 2, 2, 6, 6, bitmap, TRUE, Magenta, 0, TRUE, 4, 4, 0, 0, 0);
    EXPECT_EQ(moved.At(4, 4), White) << "without a shadow effect the picture itself moves";
    EXPECT_EQ(moved.At(8, 8), RGB(255, 0, 0));
    DeleteObject(bitmap);
}

TEST(DrawManagerImages, IconsDrawThroughTheirMaskAndAFillTakesTheWholeShape)
{
    // An icon's picture is black where its mask is transparent.
    Canvas color(8, 8, Black);
    color.Fill(RGB(255, 0, 0), { 2, 2, 6, 6 });
    HBITMAP colorBitmap = color.Take();
    // Opaque (black in the mask) in the middle 4 x 4, rows padded to 16 bits.
    BYTE maskBits[16];
    for (int row = 0; row < 8; ++row) {
        maskBits[2 * row] = row >= 2 && row < 6 ? 0xC3 : 0xFF;
        maskBits[2 * row + 1] = 0;
    }
    HBITMAP maskBitmap = CreateBitmap(8, 8, 1, 1, maskBits);
    ICONINFO info { TRUE, 4, 4, maskBitmap, colorBitmap };
    HICON icon = CreateIconIndirect(&info);
    ASSERT_TRUE(icon);
    SIZE size;
    DM::IconSize(icon, &size);
    EXPECT_EQ(size.cx, 8);
    EXPECT_EQ(size.cy, 8);

    DM manager;
    Canvas plain(20, 20, RGB(0, 0, 200));
    manager.PaintIcon(plain.dc, 0, 0, 8, 8, icon, 0, FALSE, 0, 0, 0, 0, 0);
    EXPECT_EQ(plain.At(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(plain.At(0, 0), RGB(0, 0, 200));

    Canvas filled(20, 20, White);
    manager.PaintIcon(filled.dc, 0, 0, 16, 16, icon, DM::IMAGE_EFFECT_MONOCHROME, FALSE, 0, 0, 0, 0, RGB(0, 128, 0));
    EXPECT_EQ(filled.At(8, 8), RGB(0, 128, 0)) << "resized to 16 x 16 and filled";
    EXPECT_EQ(filled.At(1, 1), White);

    // As for bitmaps, the fill colour sets how dark the shadow is.
    Canvas shadowed(20, 20, White);
    manager.PaintIcon(shadowed.dc, 0, 0, 8, 8, icon, DM::IMAGE_EFFECT_SHADOW, TRUE, 4, 4, 0, 0, RGB(128, 128, 128));
    EXPECT_EQ(shadowed.At(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(shadowed.At(8, 8), RGB(128, 128, 128)) << "the shadow below and to the right of the shape";
    EXPECT_EQ(shadowed.At(11, 11), White);
    DestroyIcon(icon);
    DeleteObject(colorBitmap);
    DeleteObject(maskBitmap);
}

TEST(DrawManagerImages, ImageListCellsPastTheLastOneDrawNothing)
{
    Canvas strip(8, 4, RGB(255, 0, 0));
    strip.Fill(RGB(0, 0, 255), { 4, 0, 8, 4 });
    HBITMAP bitmap = strip.Take();
    DM manager;
    Canvas target(10, 10, White);
    manager.PaintImageListCell(target.dc, 0, 0, 4, 4, bitmap, 1, 4, 4, FALSE, 0, 0, FALSE, 0, 0, 0, 0, 0);
    EXPECT_EQ(target.At(1, 1), RGB(0, 0, 255));
    target.Fill(White);
    manager.PaintImageListCell(target.dc, 0, 0, 4, 4, bitmap, 2, 4, 4, FALSE, 0, 0, FALSE, 0, 0, 0, 0, 0);
    manager.PaintImageListCell(target.dc, 0, 0, 4, 4, bitmap, 0, 0, 4, FALSE, 0, 0, FALSE, 0, 0, 0, 0, 0);
    EXPECT_EQ(target.At(1, 1), White);
    DeleteObject(bitmap);
}

TEST(DrawManagerLines, FramesUseOneColourForTopLeftAndAnotherForBottomRight)
{
    Canvas canvas(20, 20);
    RECT frame { 2, 2, 12, 12 };
    DM::PaintFrame(canvas.dc, &frame, RGB(255, 0, 0), RGB(0, 0, 255), DM::PEN_SOLID, 1);
    EXPECT_EQ(canvas.At(2, 6), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(6, 2), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(12, 6), RGB(0, 0, 255));
    EXPECT_EQ(canvas.At(6, 12), RGB(0, 0, 255));

    Canvas doubled(20, 20);
    DM::PaintLine(doubled.dc, 2, 5, 15, 5, Black, DM::PEN_DOUBLE, 1);
    EXPECT_EQ(doubled.At(8, 5), Black);
    EXPECT_EQ(doubled.At(8, 7), Black) << "a second line two pen widths down";
    DM::PaintLine(doubled.dc, 2, 10, 15, 10, Black, DM::PEN_NULL, 1);
    EXPECT_EQ(doubled.At(8, 10), White);
}

TEST(Monitor, TheRectangleIsTheWholeMonitorNearestThePoint)
{
    auto display = std::make_unique<HeadlessDisplay>();
    display->SetMonitors({ { { 0, 0, 1000, 800 }, { 0, 0, 1000, 760 }, true }, { { 1000, 0, 1800, 600 }, { 1000, 0, 1800, 600 }, false } });
    auto previous = SetCurrentDisplay(std::move(display));
    RECT rect;
    CMonitor::FromPoint({ 500, 790 }).GetMonitorRect(&rect);
    EXPECT_EQ(CRect(rect), CRect(0, 0, 1000, 800)) << "the full rectangle, not the work area";
    CMonitor::FromPoint({ 5000, 100 }).GetMonitorRect(&rect);
    EXPECT_EQ(CRect(rect), CRect(1000, 0, 1800, 600));
    CMonitor none;
    none.GetMonitorRect(&rect);
    EXPECT_TRUE(IsRectEmpty(&rect));
    SetCurrentDisplay(std::move(previous));
}

} // namespace
