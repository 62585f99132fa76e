#include "Canvas.h"

#include "platform/gdi/MemoryDC.h"

using fln::gdi::MemoryDC;

TEST(MemoryDC, DrawsOffScreenAndCopiesThePictureWhereAsked)
{
    TestCanvas target(20, 20);
    {
        MemoryDC offscreen(target.dc, 4, 3);
        ASSERT_TRUE(offscreen.valid());
        const RECT all { 0, 0, 4, 3 };
        FillSolidRect(offscreen, &all, RGB(0, 0, 0));
        EXPECT_TRUE(target.isWhite(5, 6)) << "nothing reaches the target before the copy";
        offscreen.CopyTo(target.dc, 5, 6);
    }
    EXPECT_EQ(target.inkBounds(20, 20), CRect(5, 6, 9, 9));
}

TEST(MemoryDC, HandsTheCallersBitmapBackAndKeepsADetachedOne)
{
    HBITMAP own = CreateBitmap(2, 2, 1, 32, nullptr);
    {
        MemoryDC dc(nullptr, own);
        SetPixelV(dc, 1, 1, RGB(10, 20, 30));
    }
    // Selected out again: another DC can take it, and the pixel drawn is there.
    EXPECT_EQ(GetPixel(MemoryDC(nullptr, own), 1, 1), RGB(10, 20, 30));
    EXPECT_EQ(GetObjectType(own), OBJ_BITMAP) << "the caller's bitmap stays";
    DeleteObject(own);

    TestCanvas screen(1, 1);
    HBITMAP kept = nullptr;
    {
        MemoryDC made(screen.dc, 3, 3);
        ASSERT_TRUE(made.valid());
        SetPixelV(made, 2, 2, RGB(40, 50, 60));
        kept = made.DetachBitmap();
    }
    ASSERT_EQ(GetObjectType(kept), OBJ_BITMAP) << "a detached bitmap outlives the DC";
    EXPECT_EQ(GetPixel(MemoryDC(nullptr, kept), 2, 2), RGB(40, 50, 60));
    DeleteObject(kept);
}

TEST(MemoryDC, FontMetricsMeasureTheFontOrTheSystemFont)
{
    HFONT large = CreateFontW(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Arial");
    const TEXTMETRICW system = fln::gdi::FontMetrics(nullptr), measured = fln::gdi::FontMetrics(large);
    EXPECT_GT(system.tmHeight, 0);
    EXPECT_GE(measured.tmHeight, 40);
    EXPECT_GT(measured.tmHeight, system.tmHeight);
    DeleteObject(large);
}
