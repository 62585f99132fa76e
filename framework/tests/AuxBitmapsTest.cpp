#include "framework/AuxBitmaps.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr COLORREF kKey = RGB(192, 192, 192), kBehind = RGB(0, 128, 0), kInk = RGB(0, 0, 255), kPaint = RGB(255, 0, 0);

// A memory DC on its own bitmap (colour, or monochrome with 1 bit a pixel), filled with one colour.
class Surface {
public:
    Surface(int width, int height, COLORREF fill, UINT bitsPerPixel = 32)
        : m_dc(CreateCompatibleDC(nullptr))
        , m_bitmap(CreateBitmap(width, height, 1, bitsPerPixel, nullptr))
        , m_old(SelectObject(m_dc, m_bitmap))
        , m_width(width)
        , m_height(height)
    {
        const RECT all { 0, 0, width, height };
        FillSolidRect(m_dc, &all, fill);
    }
    ~Surface()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc() const { return m_dc; }
    COLORREF at(int x, int y) const { return GetPixel(m_dc, x, y); }
    // Paints row by row, one letter of the legend per pixel.
    void Paint(std::initializer_list<const char*> rows, std::initializer_list<std::pair<char, COLORREF>> legend)
    {
        int y = 0;
        for (const char* row : rows) {
            for (int x = 0; row[x]; ++x)
                for (auto [letter, colour] : legend)
                    if (row[x] == letter)
                        SetPixelV(m_dc, x, y, colour);
            ++y;
        }
    }
    // The pixels as rows of letters of the legend, '?' for a colour not in it.
    std::string Picture(std::initializer_list<std::pair<char, COLORREF>> legend) const
    {
        std::string out;
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                char letter = '?';
                for (auto [key, colour] : legend)
                    if (at(x, y) == colour)
                        letter = key;
                out += letter;
            }
            out += '\n';
        }
        return out;
    }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    int m_width, m_height;
};

// A 4 x 4 picture: a key-coloured frame around a 2 x 2 inside of the given colours.
void PaintPicture(Surface& source, COLORREF a, COLORREF b, COLORREF c, COLORREF d)
{
    source.Paint({ "kkkk", "kabk", "kcdk", "kkkk" }, { { 'k', kKey }, { 'a', a }, { 'b', b }, { 'c', c }, { 'd', d } });
}

TEST(AuxBitmapsTest, TransparentBitmapKeepsTheDestinationUnderTheKey)
{
    Surface source(4, 4, kKey);
    source.Paint({ "kiik", "ikki", "kiik", "iiii" }, { { 'k', kKey }, { 'i', kInk } });
    Surface destination(6, 6, kBehind);
    SetTextColor(destination.dc(), RGB(1, 2, 3));
    SetBkColor(destination.dc(), RGB(4, 5, 6));
    SetBkColor(source.dc(), RGB(7, 8, 9));

    EXPECT_TRUE(DrawTransparentBitmap(destination.dc(), 1, 1, 4, 4, source.dc(), 0, 0, kKey));
    EXPECT_EQ(destination.Picture({ { '.', kBehind }, { 'i', kInk } }), "......\n"
                                                                         "..ii..\n"
                                                                         ".i..i.\n"
                                                                         "..ii..\n"
                                                                         ".iiii.\n"
                                                                         "......\n");
    EXPECT_EQ(GetTextColor(destination.dc()), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(destination.dc()), RGB(4, 5, 6));
    EXPECT_EQ(GetBkColor(source.dc()), RGB(7, 8, 9));
    EXPECT_EQ(source.at(0, 0), kKey) << "the pixel that matched the key is restored";
}

TEST(AuxBitmapsTest, TheKeyIsMatchedAsTheSourceStoresIt)
{
    // A monochrome source stores a light grey key as white, so its white pixels are the key; its
    // black ones come out in the destination's text colour.
    Surface source(2, 1, RGB(255, 255, 255), 1);
    SetPixelV(source.dc(), 1, 0, RGB(0, 0, 0));
    Surface destination(2, 1, kBehind);
    SetTextColor(destination.dc(), kPaint);
    EXPECT_TRUE(DrawTransparentBitmap(destination.dc(), 0, 0, 2, 1, source.dc(), 0, 0, RGB(250, 250, 250)));
    EXPECT_EQ(destination.at(0, 0), kBehind);
    EXPECT_EQ(destination.at(1, 0), kPaint);
    EXPECT_EQ(source.at(0, 0), RGB(255, 255, 255));
}

TEST(AuxBitmapsTest, DisabledLightensAndWithGreyRecoloursByLuminance)
{
    // Luminance 77 R + 153 G + 26 B: above 64768 black, below 25600 white, then everything + 32.
    struct Case {
        COLORREF pixel;
        BOOL grey;
        COLORREF expected;
    };
    const Case cases[] = {
        { RGB(255, 255, 255), TRUE, RGB(32, 32, 32) },
        { RGB(254, 254, 254), TRUE, RGB(32, 32, 32) },   // 65024
        { RGB(253, 253, 253), TRUE, RGB(255, 255, 255) }, // 64768: kept, lightened
        { RGB(100, 100, 100), TRUE, RGB(132, 132, 132) }, // 25600: kept
        { RGB(99, 99, 99), TRUE, RGB(255, 255, 255) },
        { RGB(0, 0, 0), TRUE, RGB(255, 255, 255) },
        { RGB(0, 0, 255), TRUE, RGB(255, 255, 255) }, // dark blue: 6630
        { RGB(0, 0, 0), FALSE, RGB(32, 32, 32) },
        { RGB(255, 255, 255), FALSE, RGB(255, 255, 255) },
        { RGB(10, 200, 240), FALSE, RGB(42, 232, 255) },
    };
    for (const Case& c : cases) {
        Surface source(4, 4, kKey);
        PaintPicture(source, c.pixel, c.pixel, c.pixel, c.pixel);
        Surface destination(4, 4, kBehind);
        EXPECT_TRUE(DrawBitmapDisabled(destination.dc(), 0, 0, 4, 4, source.dc(), 0, 0, kKey, c.grey));
        EXPECT_EQ(destination.Picture({ { '.', kBehind }, { 'x', c.expected } }), "....\n"
                                                                                   ".xx.\n"
                                                                                   ".xx.\n"
                                                                                   "....\n")
            << std::hex << c.pixel << " grey " << c.grey;
    }
}

TEST(AuxBitmapsTest, AlphaTintMixesEachChannelOverTwoHundredFiftySix)
{
    Surface source(4, 4, kKey);
    PaintPicture(source, RGB(200, 100, 0), RGB(255, 255, 255), RGB(0, 0, 0), RGB(200, 100, 0));
    struct Case {
        BYTE alpha;
        COLORREF a, b, c;
    };
    const COLORREF tint = RGB(0, 0, 255);
    const Case cases[] = {
        { 128, RGB(100, 50, 126), RGB(127, 127, 254), RGB(0, 0, 126) },
        { 255, RGB(199, 99, 0), RGB(254, 254, 254), RGB(0, 0, 0) }, // over 256: never quite the pixel
        { 0, RGB(0, 0, 254), RGB(0, 0, 254), RGB(0, 0, 254) },
    };
    for (const Case& c : cases) {
        Surface destination(4, 4, kBehind);
        EXPECT_TRUE(DrawBitmapAlphaTinted(destination.dc(), 0, 0, 4, 4, source.dc(), 0, 0, kKey, tint, c.alpha));
        EXPECT_EQ(destination.at(0, 0), kBehind);
        EXPECT_EQ(destination.at(1, 1), c.a) << int(c.alpha);
        EXPECT_EQ(destination.at(2, 1), c.b) << int(c.alpha);
        EXPECT_EQ(destination.at(1, 2), c.c) << int(c.alpha);
        EXPECT_EQ(destination.at(2, 2), c.a) << int(c.alpha);
    }
}

TEST(AuxBitmapsTest, EmbossedPaintsTheDarkPartsAndShapeEveryNonKeyPixel)
{
    // Luminance 46080 is the line: (180, 180, 180) is dark, (181, 181, 181) light.
    Surface source(4, 4, kKey);
    PaintPicture(source, RGB(0, 0, 0), RGB(181, 181, 181), RGB(180, 180, 180), RGB(255, 0, 0));
    const std::pair<char, COLORREF> legend[] = { { '.', kBehind }, { '#', kPaint } };

    Surface embossed(4, 4, kBehind);
    SetTextColor(embossed.dc(), RGB(1, 2, 3));
    EXPECT_TRUE(DrawBitmapEmbossed(embossed.dc(), 0, 0, 4, 4, source.dc(), 0, 0, kKey, kPaint));
    EXPECT_EQ(embossed.Picture({ legend[0], legend[1] }), "....\n"
                                                          ".#..\n"
                                                          ".##.\n"
                                                          "....\n");
    EXPECT_EQ(GetTextColor(embossed.dc()), RGB(1, 2, 3));

    Surface shape(4, 4, kBehind);
    EXPECT_TRUE(DrawBitmapShape(shape.dc(), 0, 0, 4, 4, source.dc(), 0, 0, kKey, kPaint));
    EXPECT_EQ(shape.Picture({ legend[0], legend[1] }), "....\n"
                                                       ".##.\n"
                                                       ".##.\n"
                                                       "....\n");
}

TEST(AuxBitmapsTest, TheClassicEmbossPutsTheHighlightBelowTheShadow)
{
    Surface source(3, 3, kKey);
    source.Paint({ "i..", ".i.", "..." }, { { 'i', kInk } });
    SECMonoMask mask(source.dc(), 3, 3);
    ASSERT_TRUE(mask.IsValid());
    mask.Whiten(source.dc(), 0, 0, kKey);
    Surface destination(4, 4, kBehind);
    DrawEmbossedMask(destination.dc(), 0, 0, 3, 3, mask.GetDC());
    EXPECT_EQ(destination.Picture({ { '.', kBehind }, { 's', GetSysColor(COLOR_BTNSHADOW) }, { 'h', GetSysColor(COLOR_BTNHIGHLIGHT) } }),
        "s...\n"
        ".s..\n"
        "..h.\n"
        "....\n");
}

TEST(AuxBitmapsTest, GradientStripsSpanTheirShareOfTheExtent)
{
    // Over 255 pixels each of the 255 strips is one pixel, strip i the colour i / 255 of the way.
    Surface wide(257, 1, kBehind);
    EXPECT_TRUE(FillGradient(wide.dc(), 1, 0, 255, 1, RGB(255, 255, 255), RGB(0, 0, 0), TRUE));
    EXPECT_EQ(wide.at(0, 0), kBehind);
    EXPECT_EQ(wide.at(256, 0), kBehind);
    for (int x = 0; x < 255; ++x)
        ASSERT_EQ(wide.at(1 + x, 0), RGB(x, x, x)) << x;

    // Over 100 pixels strip i spans floor(i * 100 / 255) to floor((i + 1) * 100 / 255): row r
    // shows the last strip that begins at or before it. Falling channels truncate too.
    Surface tall(2, 100, kBehind);
    EXPECT_TRUE(FillGradient(tall.dc(), 0, 0, 2, 100, RGB(0, 0, 0), RGB(255, 10, 0), FALSE));
    for (int row = 0; row < 100; ++row) {
        const int strip = ((row + 1) * 255 + 99) / 100 - 1;
        ASSERT_EQ(tall.at(1, row), RGB(255 - strip, 10 - 10 * strip / 255, 0)) << row;
    }
    EXPECT_EQ(tall.at(0, 0), RGB(253, 10, 0)) << "strips 0 and 1 are empty";

    // Over 510 pixels each strip is two pixels.
    Surface doubled(510, 1, kBehind);
    EXPECT_TRUE(FillGradient(doubled.dc(), 0, 0, 510, 1, RGB(255, 0, 0), RGB(0, 0, 0), TRUE));
    for (int x = 0; x < 510; ++x)
        ASSERT_EQ(doubled.at(x, 0), RGB(x / 2, 0, 0)) << x;
}

TEST(AuxBitmapsTest, AnEmptyAreaOrOneTooLargeForABitmapDrawsNothing)
{
    Surface source(4, 4, kKey);
    PaintPicture(source, kInk, kInk, kInk, kInk);
    Surface destination(4, 4, kBehind);
    const std::string untouched = destination.Picture({ { '.', kBehind } });
    for (auto [cx, cy] : { std::pair { 0, 4 }, { 4, -1 }, { 40000, 4 } }) {
        EXPECT_FALSE(DrawTransparentBitmap(destination.dc(), 0, 0, cx, cy, source.dc(), 0, 0, kKey)) << cx;
        EXPECT_FALSE(DrawBitmapDisabled(destination.dc(), 0, 0, cx, cy, source.dc(), 0, 0, kKey, TRUE)) << cx;
        EXPECT_FALSE(DrawBitmapAlphaTinted(destination.dc(), 0, 0, cx, cy, source.dc(), 0, 0, kKey, kPaint, 9)) << cx;
        EXPECT_FALSE(DrawBitmapEmbossed(destination.dc(), 0, 0, cx, cy, source.dc(), 0, 0, kKey, kPaint)) << cx;
        EXPECT_FALSE(DrawBitmapShape(destination.dc(), 0, 0, cx, cy, source.dc(), 0, 0, kKey, kPaint)) << cx;
    }
    EXPECT_FALSE(FillGradient(destination.dc(), 0, 0, 0, 4, kPaint, kInk, TRUE));
    EXPECT_FALSE(FillGradient(destination.dc(), 0, 0, 4, -1, kPaint, kInk, FALSE));
    EXPECT_EQ(destination.Picture({ { '.', kBehind } }), untouched);
}

} // namespace
