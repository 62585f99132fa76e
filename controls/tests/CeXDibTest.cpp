#include "controls/CeXDib.h"

#include <gtest/gtest.h>

TEST(CeXDib, RowsAreStoredBottomUpAndDrawWithTheirPaletteColours)
{
    CCeXDib dib;
    ASSERT_NE(dib.Create(5, 3, 8), nullptr);
    EXPECT_EQ(dib.GetLineWidth(), 8u);
    EXPECT_EQ(dib.GetSize(), 40u + 256 * 4 + 8 * 3);
    dib.SetPaletteIndex(1, 255, 0, 0);
    dib.SetPaletteIndex(2, 0, 0, 200);
    dib.Clear(2);
    dib.SetPixelIndex(4, 0, 1);   // top row
    dib.SetPixelIndex(5, 0, 1);   // outside: ignored
    EXPECT_EQ(dib.GetBits()[2 * 8 + 4], 1) << "the top row is the last one in memory";

    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info {};
    info.bmiHeader = { sizeof(BITMAPINFOHEADER), 10, -10, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, target);
    dib.Draw(dc, 2, 2);
    EXPECT_EQ(GetPixel(dc, 6, 2), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 2, 4), RGB(0, 0, 200));

    dib.BlendPalette(RGB(255, 255, 255), 150); // counts as 100
    dib.Draw(dc, 2, 2);
    EXPECT_EQ(GetPixel(dc, 2, 4), RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
}

TEST(CeXDib, APictureTooLargeForItsHeaderIsRefused)
{
    CCeXDib dib;
    // 65536 rows of 65537 bytes would wrap a 32-bit image size round to a few bytes.
    EXPECT_EQ(dib.Create(65537, 65536, 8), nullptr);
    EXPECT_EQ(dib.GetBits(), nullptr);
    dib.SetPixelIndex(65536, 65535, 1); // nothing to write into
    EXPECT_EQ(dib.Create(0x80000000u, 1, 1), nullptr);
    ASSERT_NE(dib.Create(2, 2, 8), nullptr) << "a refused picture leaves the object usable";
    EXPECT_EQ(dib.GetSize(), 40u + 256 * 4 + 4 * 2);
}
