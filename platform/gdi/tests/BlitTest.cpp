#include "Canvas.h"

#include "platform/gdi/SysColors.h"

#include <cstring>
#include <vector>

namespace {

void paint(HDC dc, int x, int y, COLORREF color)
{
    SetPixelV(dc, x, y, color);
}

} // namespace

// Each raster operation against its truth table, with pattern, source and destination chosen so
// that every combination of bits occurs in one channel.
TEST(RasterOperations, TruthTablesOfTheNamedCodes)
{
    constexpr COLORREF P = RGB(0xF0, 0, 0), S = RGB(0xCC, 0, 0), D = RGB(0xAA, 0, 0);
    struct Case {
        DWORD rop;
        BYTE expected; // the code's own truth table, as the red channel
    } cases[] = { { SRCCOPY, 0xCC }, { SRCAND, 0x88 }, { SRCPAINT, 0xEE }, { SRCINVERT, 0x66 }, { PATCOPY, 0xF0 },
        { WHITENESS, 0xFF }, { BLACKNESS, 0x00 }, { PATINVERT, 0x5A }, { DSTINVERT, 0x55 }, { NOTSRCCOPY, 0x33 },
        { 0x00B8074A, 0xB8 }, { 0x00E20746, 0xE2 }, { 0x00660046, 0x66 }, { 0x00220326, 0x22 } };
    TestCanvas source(1, 1);
    paint(source.dc, 0, 0, S);
    for (const Case& c : cases) {
        TestCanvas destination(1, 1);
        paint(destination.dc, 0, 0, D);
        HBRUSH brush = CreateSolidBrush(P);
        HGDIOBJ old = SelectObject(destination.dc, brush);
        BitBlt(destination.dc, 0, 0, 1, 1, source.dc, 0, 0, c.rop);
        BYTE others = (c.expected & 1) ? 255 : 0; // green and blue are 0 in P, S and D
        EXPECT_EQ(destination.at(0, 0), RGB(c.expected, others, others)) << std::hex << c.rop;
        SelectObject(destination.dc, old);
        DeleteObject(brush);
    }
}

TEST(RasterOperations, PatBltRefusesASourceOperation)
{
    TestCanvas canvas(4, 4);
    EXPECT_FALSE(PatBlt(canvas.dc, 0, 0, 4, 4, SRCCOPY));
    EXPECT_TRUE(PatBlt(canvas.dc, 0, 0, 2, 2, BLACKNESS));
    EXPECT_TRUE(canvas.isBlack(1, 1));
    EXPECT_TRUE(canvas.isWhite(2, 2));
}

TEST(RasterOperations, ColourToMonochromeUsesTheSourceBackground)
{
    TestCanvas colour(3, 1);
    paint(colour.dc, 0, 0, RGB(255, 0, 0));
    paint(colour.dc, 1, 0, RGB(0, 255, 0));
    paint(colour.dc, 2, 0, RGB(255, 255, 255));
    TestCanvas mono(3, 1, 1);
    SetBkColor(colour.dc, RGB(0, 255, 0));
    BitBlt(mono.dc, 0, 0, 3, 1, colour.dc, 0, 0, SRCCOPY);
    EXPECT_TRUE(mono.isBlack(0, 0));
    EXPECT_TRUE(mono.isWhite(1, 0)); // the background colour becomes white
    EXPECT_TRUE(mono.isBlack(2, 0)); // even white is black when it is not the background
}

TEST(RasterOperations, MonochromeToColourUsesTheDestinationColours)
{
    TestCanvas mono(2, 1, 1);
    paint(mono.dc, 0, 0, RGB(0, 0, 0));
    paint(mono.dc, 1, 0, RGB(255, 255, 255));
    TestCanvas colour(2, 1);
    SetTextColor(colour.dc, RGB(10, 20, 30));
    SetBkColor(colour.dc, RGB(200, 100, 50));
    BitBlt(colour.dc, 0, 0, 2, 1, mono.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(colour.at(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(colour.at(1, 0), RGB(200, 100, 50));
}

TEST(RasterOperations, MonochromeBitmapRealisesColoursAsBlackOrWhite)
{
    TestCanvas mono(4, 1, 1);
    EXPECT_EQ(SetPixel(mono.dc, 0, 0, RGB(200, 200, 200)), RGB(255, 255, 255));
    EXPECT_EQ(SetPixel(mono.dc, 1, 0, RGB(40, 40, 40)), RGB(0, 0, 0));
    BITMAP bm {};
    GetObjectW(GetCurrentObject(mono.dc, OBJ_BITMAP), sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(GetDeviceCaps(mono.dc, BITSPIXEL), 32); // the screen's depth, not the bitmap's
}

// The transparent copy recipe: a mask from the transparent colour, then source XOR, mask AND,
// source XOR leaves the destination where the source had the transparent colour.
TEST(RasterOperations, TransparentCopyThroughAMask)
{
    const COLORREF key = RGB(192, 192, 192), ink = RGB(0, 0, 255), behind = RGB(0, 128, 0);
    TestCanvas source(4, 1);
    paint(source.dc, 0, 0, key);
    paint(source.dc, 1, 0, ink);
    paint(source.dc, 2, 0, key);
    paint(source.dc, 3, 0, ink);
    TestCanvas mask(4, 1, 1);
    SetBkColor(source.dc, key);
    BitBlt(mask.dc, 0, 0, 4, 1, source.dc, 0, 0, SRCCOPY);
    TestCanvas destination(4, 1);
    RECT all { 0, 0, 4, 1 };
    FillSolidRect(destination.dc, &all, behind);
    SetTextColor(destination.dc, RGB(0, 0, 0));
    SetBkColor(destination.dc, RGB(255, 255, 255));
    BitBlt(destination.dc, 0, 0, 4, 1, source.dc, 0, 0, SRCINVERT);
    BitBlt(destination.dc, 0, 0, 4, 1, mask.dc, 0, 0, SRCAND);
    BitBlt(destination.dc, 0, 0, 4, 1, source.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(destination.at(0, 0), behind);
    EXPECT_EQ(destination.at(1, 0), ink);
    EXPECT_EQ(destination.at(2, 0), behind);
    EXPECT_EQ(destination.at(3, 0), ink);
}

// 0xB8074A paints the brush where the monochrome source is black and keeps the rest; 0xE20746
// paints it where the source is white.
TEST(RasterOperations, BrushThroughAMonochromeMask)
{
    TestCanvas mask(2, 1, 1);
    paint(mask.dc, 0, 0, RGB(0, 0, 0));
    for (auto [rop, paintedAt] : { std::pair { DWORD(0x00B8074A), 0 }, { DWORD(0x00E20746), 1 } }) {
        TestCanvas destination(2, 1);
        SetTextColor(destination.dc, RGB(0, 0, 0));
        SetBkColor(destination.dc, RGB(255, 255, 255));
        HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
        HGDIOBJ old = SelectObject(destination.dc, brush);
        BitBlt(destination.dc, 0, 0, 2, 1, mask.dc, 0, 0, rop);
        EXPECT_EQ(destination.at(paintedAt, 0), RGB(255, 0, 0));
        EXPECT_TRUE(destination.isWhite(1 - paintedAt, 0));
        SelectObject(destination.dc, old);
        DeleteObject(brush);
    }
}

TEST(RasterOperations, StretchAndMirror)
{
    TestCanvas source(2, 1);
    paint(source.dc, 0, 0, RGB(255, 0, 0));
    paint(source.dc, 1, 0, RGB(0, 0, 255));
    TestCanvas destination(4, 2);
    StretchBlt(destination.dc, 0, 0, 4, 2, source.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(destination.at(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(destination.at(2, 0), RGB(0, 0, 255));
    // A negative width mirrors.
    StretchBlt(destination.dc, 3, 0, -4, 1, source.dc, 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(destination.at(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(destination.at(3, 0), RGB(255, 0, 0));
}

TEST(RasterOperations, OverlappingCopyWithinOneBitmap)
{
    TestCanvas canvas(6, 1);
    for (int x = 0; x < 3; ++x)
        paint(canvas.dc, x, 0, RGB(x * 50, 0, 0));
    BitBlt(canvas.dc, 1, 0, 3, 1, canvas.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(canvas.at(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.at(2, 0), RGB(50, 0, 0));
    EXPECT_EQ(canvas.at(3, 0), RGB(100, 0, 0));
}

TEST(Brushes, HatchAndPatternBrushes)
{
    TestCanvas canvas(16, 16);
    HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(0, 0, 0));
    RECT r { 0, 0, 16, 16 };
    SetBkMode(canvas.dc, TRANSPARENT);
    FillRect(canvas.dc, &r, hatch);
    int black = 0;
    for (int x = 0; x < 8; ++x)
        black += canvas.isBlack(x, 3);
    EXPECT_EQ(black, 1); // one vertical line per 8 pixels
    DeleteObject(hatch);

    // A monochrome pattern takes the text (0 bits) and background (1 bits) colours.
    const WORD rows[8] = { 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA };
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH dither = CreatePatternBrush(bits);
    DeleteObject(bits); // the brush keeps its own copy
    SetTextColor(canvas.dc, RGB(255, 0, 0));
    SetBkColor(canvas.dc, RGB(0, 0, 255));
    FillRect(canvas.dc, &r, dither);
    EXPECT_EQ(canvas.at(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(1, 0), RGB(0, 0, 255));
    EXPECT_EQ(canvas.at(0, 1), RGB(0, 0, 255));
    // The brush origin shifts the pattern.
    SetBrushOrgEx(canvas.dc, 1, 0, nullptr);
    FillRect(canvas.dc, &r, dither);
    EXPECT_EQ(canvas.at(0, 0), RGB(0, 0, 255));
    DeleteObject(dither);
}

TEST(Bitmaps, DibSectionsOfEachDepth)
{
    for (int bits : { 1, 8, 24, 32 }) {
        std::vector<uint8_t> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
        info->bmiHeader = BITMAPINFOHEADER { sizeof(BITMAPINFOHEADER), 4, 2, 1, WORD(bits), BI_RGB, 0, 0, 0, 0, 0 };
        info->bmiColors[0] = RGBQUAD { 0, 0, 0, 0 };
        info->bmiColors[1] = RGBQUAD { 0, 0, 255, 0 }; // red
        void* pixels = nullptr;
        HBITMAP dib = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        ASSERT_NE(dib, nullptr) << bits;
        ASSERT_NE(pixels, nullptr);
        auto* bytes = static_cast<uint8_t*>(pixels);
        int stride = ((4 * bits + 31) / 32) * 4;
        // Bottom-up: the first stored row is the bottom one. Make pixel (1, 1) red.
        switch (bits) {
        case 1: bytes[0] = 0x40; break;
        case 8: bytes[1] = 1; break;
        case 24: bytes[3 + 2] = 255; break;
        case 32: bytes[4 + 2] = 255; break;
        }
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, dib);
        EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 0, 0)) << bits;
        EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 0)) << bits;
        // Drawing writes through to the bits.
        SetPixelV(dc, 2, 0, RGB(255, 0, 0));
        GdiFlush();
        const uint8_t* top = bytes + stride;
        switch (bits) {
        case 1: EXPECT_EQ(top[0] & 0x20, 0x20); break;
        case 8: EXPECT_EQ(top[2], 1); break;
        case 24: EXPECT_EQ(top[6 + 2], 255); break;
        case 32: EXPECT_EQ(top[8 + 2], 255); break;
        }
        DIBSECTION section {};
        EXPECT_EQ(GetObjectW(dib, sizeof section, &section), static_cast<int>(sizeof section));
        EXPECT_EQ(section.dsBm.bmBitsPixel, bits);
        EXPECT_EQ(section.dsBm.bmBits, pixels);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(dib);
    }
}

TEST(Bitmaps, GetAndSetDIBitsRoundTrip)
{
    TestCanvas canvas(3, 2);
    paint(canvas.dc, 0, 0, RGB(1, 2, 3));
    paint(canvas.dc, 2, 1, RGB(4, 5, 6));
    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    SelectObject(canvas.dc, canvas.previous); // a bitmap is read while no DC holds it
    ASSERT_EQ(GetDIBits(canvas.dc, canvas.bitmap, 0, 2, nullptr, &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(info.bmiHeader.biWidth, 3);
    EXPECT_EQ(info.bmiHeader.biBitCount, 32);
    info.bmiHeader.biHeight = -2; // top-down
    std::vector<uint32_t> pixels(6);
    ASSERT_EQ(GetDIBits(canvas.dc, canvas.bitmap, 0, 2, pixels.data(), &info, DIB_RGB_COLORS), 2);
    EXPECT_EQ(pixels[0] & 0xFFFFFF, 0x010203u);
    EXPECT_EQ(pixels[5] & 0xFFFFFF, 0x040506u);
    pixels[1] = 0x00FF00;
    EXPECT_EQ(SetDIBits(canvas.dc, canvas.bitmap, 0, 2, pixels.data(), &info, DIB_RGB_COLORS), 2);
    SelectObject(canvas.dc, canvas.bitmap);
    EXPECT_EQ(canvas.at(1, 0), RGB(0, 255, 0));
}

TEST(Bitmaps, StretchDIBitsCountsRowsFromTheBottom)
{
    TestCanvas canvas(2, 2);
    BITMAPINFO info {};
    info.bmiHeader = BITMAPINFOHEADER { sizeof(BITMAPINFOHEADER), 1, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    uint32_t bits[2] = { 0x0000FF, 0xFF0000 }; // bottom row blue, top row red
    StretchDIBits(canvas.dc, 0, 0, 1, 1, 0, 1, 1, 1, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(canvas.at(0, 0), RGB(255, 0, 0)); // y = 1 from the bottom is the top row
    StretchDIBits(canvas.dc, 1, 0, 1, 2, 0, 0, 1, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(canvas.at(1, 1), RGB(0, 0, 255));
}

TEST(Bitmaps, CompatibleBitmapOfAFreshMemoryDCIsMonochrome)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 4, 4);
    BITMAP bm {};
    GetObjectW(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteObject(bitmap);
    HDC screen = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    bitmap = CreateCompatibleBitmap(screen, 4, 4);
    GetObjectW(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    DeleteObject(bitmap);
    DeleteDC(screen);
    DeleteDC(dc);
}

TEST(Objects, SelectedObjectsOutliveDeletion)
{
    TestCanvas canvas(4, 4);
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    HGDIOBJ old = SelectObject(canvas.dc, brush);
    EXPECT_TRUE(DeleteObject(brush)); // deferred while selected
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    Rectangle(canvas.dc, 0, 0, 3, 3);
    EXPECT_EQ(canvas.at(1, 1), RGB(0, 255, 0));
    SelectObject(canvas.dc, old);
    EXPECT_EQ(GetObjectType(brush), 0u); // gone once deselected
    EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);
    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH))); // stock objects stay
    EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), OBJ_BRUSH);
}

TEST(Objects, ABitmapLivesInOneDCAtATime)
{
    TestCanvas canvas(4, 4);
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(other, canvas.bitmap), nullptr);
    DeleteDC(other);
}

TEST(Objects, GetObjectOfPensBrushesAndBitmaps)
{
    HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
    LOGPEN lp {};
    EXPECT_EQ(GetObjectW(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, UINT(PS_DASH));
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
    EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
    DeleteObject(pen);
    HBRUSH brush = CreateHatchBrush(HS_BDIAGONAL, RGB(4, 5, 6));
    LOGBRUSH lb {};
    GetObjectW(brush, sizeof lb, &lb);
    EXPECT_EQ(lb.lbStyle, BS_HATCHED);
    EXPECT_EQ(lb.lbHatch, ULONG_PTR(HS_BDIAGONAL));
    DeleteObject(brush);
    EXPECT_EQ(GetObjectW(nullptr, 4, &lb), 0);
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(0x1234)));
}

TEST(RasterOperations, ScrollDCMovesPixelsAndReportsTheUncoveredPart)
{
    TestCanvas canvas(10, 10);
    SetPixelV(canvas.dc, 2, 5, RGB(255, 0, 0));
    SetPixelV(canvas.dc, 9, 9, RGB(0, 0, 255));
    RECT scroll { 0, 0, 10, 8 };
    HRGN update = CreateRectRgn(0, 0, 0, 0);
    RECT updateRect {};
    ASSERT_TRUE(ScrollDC(canvas.dc, 0, -3, &scroll, nullptr, update, &updateRect));
    EXPECT_EQ(canvas.at(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(9, 9), RGB(0, 0, 255)); // outside the scrolled area
    EXPECT_EQ(CRect(updateRect), CRect(0, 5, 10, 8));
    EXPECT_TRUE(PtInRegion(update, 5, 6));
    EXPECT_FALSE(PtInRegion(update, 5, 4));
    DeleteObject(update);
}

TEST(RasterOperations, MaskBltChoosesTheOperationByTheMask)
{
    TestCanvas source(2, 1);
    RECT all { 0, 0, 2, 1 };
    FillSolidRect(source.dc, &all, RGB(255, 0, 0));
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, nullptr);
    {
        HDC maskDC = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(maskDC, mask);
        SetPixelV(maskDC, 0, 0, RGB(255, 255, 255)); // 1: the foreground operation
        SelectObject(maskDC, old);
        DeleteDC(maskDC);
    }
    TestCanvas destination(2, 1);
    // Foreground SRCCOPY, background keeps the destination (0xAA).
    EXPECT_TRUE(MaskBlt(destination.dc, 0, 0, 2, 1, source.dc, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029)));
    EXPECT_EQ(destination.at(0, 0), RGB(255, 0, 0));
    EXPECT_TRUE(destination.isWhite(1, 0));
    HBITMAP colour = CreateBitmap(2, 1, 1, 32, nullptr);
    EXPECT_FALSE(MaskBlt(destination.dc, 0, 0, 2, 1, source.dc, 0, 0, colour, 0, 0, SRCCOPY)); // masks are monochrome
    DeleteObject(colour);
    DeleteObject(mask);
}
