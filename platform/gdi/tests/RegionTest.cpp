#include "Canvas.h"

#include "platform/gdi/Surface.h"

#include <vector>

using fln::gdi::Region;

namespace {

std::vector<RECT> rectsOf(HRGN region)
{
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<char> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    EXPECT_EQ(GetRegionData(region, size, data), size);
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    return std::vector<RECT>(rects, rects + data->rdh.nCount);
}

} // namespace

TEST(Regions, CombineOperations)
{
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN result = CreateRectRgn(0, 0, 0, 0);
    struct Case {
        int mode;
        int complexity;
        POINT inside, outside;
    } cases[] = {
        { RGN_AND, SIMPLEREGION, { 7, 7 }, { 2, 2 } },
        { RGN_OR, COMPLEXREGION, { 12, 12 }, { 12, 2 } },
        { RGN_XOR, COMPLEXREGION, { 2, 2 }, { 7, 7 } },
        { RGN_DIFF, COMPLEXREGION, { 2, 7 }, { 7, 7 } },
        { RGN_COPY, SIMPLEREGION, { 9, 9 }, { 10, 10 } },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CombineRgn(result, a, b, c.mode), c.complexity) << c.mode;
        EXPECT_TRUE(PtInRegion(result, c.inside.x, c.inside.y)) << c.mode;
        EXPECT_FALSE(PtInRegion(result, c.outside.x, c.outside.y)) << c.mode;
    }
    HRGN far = CreateRectRgn(50, 50, 60, 60);
    EXPECT_EQ(CombineRgn(result, a, far, RGN_AND), NULLREGION);
    EXPECT_EQ(CombineRgn(result, a, nullptr, RGN_OR), ERROR);
    for (HRGN r : { a, b, result, far })
        DeleteObject(r);
}

TEST(Regions, UnionOfTouchingRectanglesIsOneRectangle)
{
    HRGN a = CreateRectRgn(0, 0, 10, 5);
    HRGN b = CreateRectRgn(0, 5, 10, 9);
    HRGN c = CreateRectRgn(10, 0, 12, 9);
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), SIMPLEREGION);
    EXPECT_EQ(CombineRgn(a, a, c, RGN_OR), SIMPLEREGION);
    HRGN expected = CreateRectRgn(0, 0, 12, 9);
    EXPECT_TRUE(EqualRgn(a, expected));
    RECT box {};
    EXPECT_EQ(GetRgnBox(a, &box), SIMPLEREGION);
    EXPECT_EQ(CRect(box), CRect(0, 0, 12, 9));
    for (HRGN r : { a, b, c, expected })
        DeleteObject(r);
}

TEST(Regions, DataListsBandsTopToBottomLeftToRight)
{
    HRGN region = CreateRectRgn(0, 0, 10, 10);
    HRGN hole = CreateRectRgn(3, 3, 6, 6);
    CombineRgn(region, region, hole, RGN_DIFF);
    auto rects = rectsOf(region);
    ASSERT_EQ(rects.size(), 4u);
    EXPECT_EQ(CRect(rects[0]), CRect(0, 0, 10, 3));
    EXPECT_EQ(CRect(rects[1]), CRect(0, 3, 3, 6));
    EXPECT_EQ(CRect(rects[2]), CRect(6, 3, 10, 6));
    EXPECT_EQ(CRect(rects[3]), CRect(0, 6, 10, 10));
    // The data makes the same region again.
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<char> buffer(size);
    GetRegionData(region, size, reinterpret_cast<RGNDATA*>(buffer.data()));
    HRGN copy = ExtCreateRegion(nullptr, size, reinterpret_cast<RGNDATA*>(buffer.data()));
    EXPECT_TRUE(EqualRgn(copy, region));
    // A count larger than the data is refused.
    reinterpret_cast<RGNDATA*>(buffer.data())->rdh.nCount = 1000;
    EXPECT_EQ(ExtCreateRegion(nullptr, size, reinterpret_cast<RGNDATA*>(buffer.data())), nullptr);
    EXPECT_EQ(GetRegionData(region, 8, reinterpret_cast<RGNDATA*>(buffer.data())), 0u);
    for (HRGN r : { region, hole, copy })
        DeleteObject(r);
}

TEST(Regions, OffsetAndEqual)
{
    HRGN a = CreateEllipticRgn(0, 0, 20, 10);
    HRGN b = CreateEllipticRgn(5, 7, 25, 17);
    EXPECT_FALSE(EqualRgn(a, b));
    EXPECT_EQ(OffsetRgn(a, 5, 7), COMPLEXREGION);
    EXPECT_TRUE(EqualRgn(a, b));
    DeleteObject(a);
    DeleteObject(b);
}

TEST(Regions, EllipseAndRoundRectStayInTheirBox)
{
    HRGN ellipse = CreateEllipticRgn(0, 0, 9, 7);
    RECT box {};
    GetRgnBox(ellipse, &box);
    EXPECT_EQ(CRect(box), CRect(0, 0, 9, 7));
    EXPECT_FALSE(PtInRegion(ellipse, 0, 0));
    EXPECT_TRUE(PtInRegion(ellipse, 4, 3));
    EXPECT_TRUE(PtInRegion(ellipse, 0, 3));
    HRGN round = CreateRoundRectRgn(0, 0, 20, 20, 6, 6);
    GetRgnBox(round, &box);
    EXPECT_EQ(CRect(box), CRect(0, 0, 20, 20));
    EXPECT_FALSE(PtInRegion(round, 0, 0));
    EXPECT_TRUE(PtInRegion(round, 10, 0));
    EXPECT_TRUE(PtInRegion(round, 19, 10));
    DeleteObject(ellipse);
    DeleteObject(round);
}

TEST(Regions, PolygonFillModes)
{
    // Two overlapping squares drawn as one polygon path: the overlap is a hole with ALTERNATE.
    POINT points[] = { { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 }, { 5, 5 }, { 15, 5 }, { 15, 15 }, { 5, 15 } };
    int counts[] = { 4, 4 };
    HRGN alternate = CreatePolyPolygonRgn(points, counts, 2, ALTERNATE);
    HRGN winding = CreatePolyPolygonRgn(points, counts, 2, WINDING);
    EXPECT_FALSE(PtInRegion(alternate, 7, 7));
    EXPECT_TRUE(PtInRegion(winding, 7, 7));
    EXPECT_TRUE(PtInRegion(alternate, 2, 2));
    // Pixels are in when their centres are; a centre on a right or bottom edge is out.
    POINT triangle[] = { { 0, 0 }, { 10, 0 }, { 0, 10 } };
    HRGN t = CreatePolygonRgn(triangle, 3, ALTERNATE);
    RECT box {};
    GetRgnBox(t, &box);
    EXPECT_EQ(CRect(box), CRect(0, 0, 9, 9));
    EXPECT_TRUE(PtInRegion(t, 0, 0));
    EXPECT_TRUE(PtInRegion(t, 8, 0));
    EXPECT_FALSE(PtInRegion(t, 9, 0));
    POINT square[] = { { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } };
    HRGN s = CreatePolygonRgn(square, 4, ALTERNATE);
    HRGN rect = CreateRectRgn(0, 0, 10, 10);
    EXPECT_TRUE(EqualRgn(s, rect));
    DeleteObject(s);
    DeleteObject(rect);
    EXPECT_EQ(CreatePolygonRgn(triangle, 1, ALTERNATE), nullptr);
    for (HRGN r : { alternate, winding, t })
        DeleteObject(r);
}

TEST(Regions, FillFrameAndInvert)
{
    TestCanvas canvas(12, 12);
    HRGN region = CreateRectRgn(2, 2, 10, 10);
    HRGN hole = CreateRectRgn(4, 4, 6, 6);
    CombineRgn(region, region, hole, RGN_DIFF);
    FrameRgn(canvas.dc, region, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 1, 1);
    EXPECT_TRUE(canvas.isBlack(2, 2));
    EXPECT_TRUE(canvas.isBlack(3, 4)); // the hole's edge is framed too
    EXPECT_TRUE(canvas.isWhite(3, 3));
    EXPECT_TRUE(canvas.isWhite(5, 5));
    InvertRgn(canvas.dc, region);
    EXPECT_TRUE(canvas.isWhite(2, 2));
    EXPECT_TRUE(canvas.isBlack(3, 3));
    EXPECT_TRUE(canvas.isWhite(5, 5));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRgn(canvas.dc, hole, red);
    EXPECT_EQ(canvas.at(5, 5), RGB(255, 0, 0));
    DeleteObject(red);
    DeleteObject(region);
    DeleteObject(hole);
}

TEST(Clipping, ClipRectanglesAndRegions)
{
    TestCanvas canvas(20, 20);
    EXPECT_EQ(IntersectClipRect(canvas.dc, 5, 5, 15, 15), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(canvas.dc, 8, 8, 10, 10), COMPLEXREGION);
    RECT all { 0, 0, 20, 20 };
    FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(canvas.at(4, 4), CLR_INVALID); // outside the clip
    SelectClipRgn(canvas.dc, nullptr);
    EXPECT_TRUE(canvas.isWhite(4, 4));
    EXPECT_TRUE(canvas.isBlack(5, 5));
    EXPECT_TRUE(canvas.isWhite(8, 8));
    EXPECT_TRUE(canvas.isWhite(15, 15));
    RECT box {};
    EXPECT_EQ(GetClipBox(canvas.dc, &box), SIMPLEREGION);
    EXPECT_EQ(CRect(box), CRect(0, 0, 20, 20));

    HRGN clip = CreateRectRgn(0, 0, 3, 3);
    SelectClipRgn(canvas.dc, clip);
    DeleteObject(clip); // the DC keeps its own copy
    HRGN read = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(canvas.dc, read), 1);
    RECT readBox {};
    GetRgnBox(read, &readBox);
    EXPECT_EQ(CRect(readBox), CRect(0, 0, 3, 3));
    EXPECT_TRUE(PtVisible(canvas.dc, 2, 2));
    EXPECT_FALSE(PtVisible(canvas.dc, 3, 3));
    RECT outside { 5, 5, 6, 6 };
    EXPECT_FALSE(RectVisible(canvas.dc, &outside));
    SelectClipRgn(canvas.dc, nullptr);
    EXPECT_EQ(GetClipRgn(canvas.dc, read), 0);
    DeleteObject(read);
}

TEST(Clipping, SaveAndRestoreKeepTheClipAndTheObjects)
{
    TestCanvas canvas(10, 10);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    int depth = SaveDC(canvas.dc);
    EXPECT_EQ(depth, 1);
    HGDIOBJ old = SelectObject(canvas.dc, pen);
    IntersectClipRect(canvas.dc, 0, 0, 2, 2);
    SetTextColor(canvas.dc, RGB(1, 1, 1));
    SetMapMode(canvas.dc, MM_LOMETRIC);
    EXPECT_EQ(SaveDC(canvas.dc), 2);
    EXPECT_TRUE(RestoreDC(canvas.dc, 1));
    EXPECT_EQ(GetCurrentObject(canvas.dc, OBJ_PEN), old);
    EXPECT_EQ(GetTextColor(canvas.dc), RGB(0, 0, 0));
    EXPECT_EQ(GetMapMode(canvas.dc), MM_TEXT);
    EXPECT_TRUE(PtVisible(canvas.dc, 5, 5));
    EXPECT_FALSE(RestoreDC(canvas.dc, 1)); // nothing saved any more
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST(Coordinates, MappingModes)
{
    TestCanvas canvas(200, 200);
    SetMapMode(canvas.dc, MM_LOMETRIC); // 0.1 mm, y up
    POINT p { 254, -254 };
    LPtoDP(canvas.dc, &p, 1);
    EXPECT_EQ(CPoint(p), CPoint(96, 96));
    SetMapMode(canvas.dc, MM_TWIPS);
    POINT q { 1440, -720 };
    LPtoDP(canvas.dc, &q, 1);
    EXPECT_EQ(CPoint(q), CPoint(96, 48));
    DPtoLP(canvas.dc, &q, 1);
    EXPECT_EQ(CPoint(q), CPoint(1440, -720));

    SetMapMode(canvas.dc, MM_ANISOTROPIC);
    SetWindowExtEx(canvas.dc, 100, 100, nullptr);
    SetViewportExtEx(canvas.dc, 200, 50, nullptr);
    SetViewportOrgEx(canvas.dc, 10, 20, nullptr);
    POINT r { 50, 50 };
    LPtoDP(canvas.dc, &r, 1);
    EXPECT_EQ(CPoint(r), CPoint(110, 45));
    // Isotropic mode keeps units square by shrinking the larger scale.
    SetMapMode(canvas.dc, MM_ISOTROPIC);
    SetWindowExtEx(canvas.dc, 100, 100, nullptr);
    SetViewportExtEx(canvas.dc, 200, 50, nullptr);
    SIZE viewport {};
    GetViewportExtEx(canvas.dc, &viewport);
    EXPECT_EQ(CSize(viewport), CSize(50, 50));

    // Drawing goes through the mapping.
    SetMapMode(canvas.dc, MM_TEXT);
    SetViewportOrgEx(canvas.dc, 0, 0, nullptr);
    SetWindowOrgEx(canvas.dc, -5, -5, nullptr);
    RECT cell { 0, 0, 1, 1 };
    FillRect(canvas.dc, &cell, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetWindowOrgEx(canvas.dc, 0, 0, nullptr);
    EXPECT_TRUE(canvas.isBlack(5, 5));
    EXPECT_EQ(GetDeviceCaps(canvas.dc, LOGPIXELSY), 96);
}

TEST(SurfaceDC, DrawsOnTheCallersSurfaceWithinItsVisibleRegion)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 40, 30);
    Region visible = Region(RECT { 10, 10, 30, 25 }) - Region(RECT { 15, 15, 20, 20 });
    HDC dc = CreateSurfaceDC(surface, visible, POINT { 10, 10 });
    ASSERT_NE(dc, nullptr);
    RECT all { -100, -100, 100, 100 };
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    cairo_surface_flush(surface);
    auto pixel = [&](int x, int y) {
        return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface))[x] & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(10, 10), 0xFFFFFFu);
    EXPECT_EQ(pixel(29, 24), 0xFFFFFFu);
    EXPECT_EQ(pixel(9, 10), 0u);
    EXPECT_EQ(pixel(16, 16), 0u); // the hole of the visible region
    EXPECT_EQ(pixel(30, 24), 0u);
    // Device (0, 0) is the origin; the clip calls narrow the visible region.
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(255, 0, 0)), RGB(255, 0, 0));
    cairo_surface_flush(surface);
    EXPECT_EQ(pixel(10, 10), 0xFF0000u);
    RECT box {};
    EXPECT_EQ(GetClipBox(dc, &box), COMPLEXREGION);
    EXPECT_EQ(CRect(box), CRect(0, 0, 20, 15));
    ExcludeClipRect(dc, 0, 0, 1, 1);
    EXPECT_EQ(SetPixel(dc, 0, 0, RGB(0, 255, 0)), CLR_INVALID);
    // Moving the DC changes where it draws.
    SetSurfaceDCVisible(dc, Region(RECT { 0, 0, 40, 30 }), POINT { 0, 0 });
    SelectClipRgn(dc, nullptr);
    SetPixelV(dc, 1, 1, RGB(0, 0, 255));
    cairo_surface_flush(surface);
    EXPECT_EQ(pixel(1, 1), 0x0000FFu);
    DeleteDC(dc);
    cairo_surface_destroy(surface);
}

TEST(SurfaceDC, ARGBSurfacesStayOpaque)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    HDC dc = CreateSurfaceDC(surface, Region(RECT { 0, 0, 4, 4 }), POINT { 0, 0 });
    RECT r { 0, 0, 2, 2 };
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    cairo_surface_flush(surface);
    EXPECT_EQ(reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface))[0], 0xFF808080u);
    DeleteDC(dc);
    cairo_surface_destroy(surface);
    EXPECT_EQ(CreateSurfaceDC(nullptr, Region(), POINT {}), nullptr);
}
