#include "Canvas.h"

// Lines leave out their last point, in every direction.
TEST(Lines, EndPointIsNotDrawn)
{
    struct Case {
        POINT from, to;
    } cases[] = { { { 2, 5 }, { 12, 5 } }, { { 12, 5 }, { 2, 5 } }, { { 5, 1 }, { 5, 9 } }, { { 5, 9 }, { 5, 1 } },
        { { 1, 1 }, { 9, 9 } }, { { 9, 9 }, { 1, 1 } }, { { 1, 8 }, { 12, 3 } } };
    for (const Case& c : cases) {
        TestCanvas canvas(16, 12);
        MoveToEx(canvas.dc, c.from.x, c.from.y, nullptr);
        LineTo(canvas.dc, c.to.x, c.to.y);
        EXPECT_TRUE(canvas.isBlack(c.from.x, c.from.y)) << c.from.x << "," << c.from.y;
        EXPECT_TRUE(canvas.isWhite(c.to.x, c.to.y)) << c.to.x << "," << c.to.y;
        POINT position {};
        GetCurrentPositionEx(canvas.dc, &position);
        EXPECT_EQ(CPoint(position), CPoint(c.to));
    }
}

TEST(Lines, DiagonalIsOnePixelThinAndConnected)
{
    TestCanvas canvas(12, 12);
    MoveToEx(canvas.dc, 0, 0, nullptr);
    LineTo(canvas.dc, 8, 4);
    EXPECT_EQ(canvas.picture(0, 0, 9, 5),
        "##.......\n"
        "..##.....\n"
        "....##...\n"
        "......##.\n"
        ".........\n");
}

TEST(Lines, DottedPenAlternatesThreeOnThreeOff)
{
    TestCanvas canvas(20, 3);
    HPEN pen = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(canvas.dc, pen);
    SetBkMode(canvas.dc, TRANSPARENT);
    MoveToEx(canvas.dc, 0, 1, nullptr);
    LineTo(canvas.dc, 14, 1);
    EXPECT_EQ(canvas.picture(0, 1, 15, 2), "###...###...##.\n");
    // In the opaque mode the gaps take the background colour.
    SetBkMode(canvas.dc, OPAQUE);
    SetBkColor(canvas.dc, RGB(255, 0, 0));
    MoveToEx(canvas.dc, 0, 2, nullptr);
    LineTo(canvas.dc, 6, 2);
    EXPECT_EQ(canvas.at(3, 2), RGB(255, 0, 0));
    SelectObject(canvas.dc, old);
    DeleteObject(pen);
}

TEST(Lines, WidePenIsRoundAndCentred)
{
    TestCanvas canvas(20, 20);
    HPEN pen = CreatePen(PS_SOLID, 5, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(canvas.dc, pen);
    MoveToEx(canvas.dc, 5, 10, nullptr);
    LineTo(canvas.dc, 15, 10);
    EXPECT_EQ(canvas.inkBounds(20, 20), CRect(3, 8, 18, 13));
    EXPECT_TRUE(canvas.isWhite(3, 8)); // round ends
    SelectObject(canvas.dc, old);
    DeleteObject(pen);
}

TEST(Shapes, RectangleOutlinesInsideItsBoxAndFillsTheRest)
{
    TestCanvas canvas(12, 10);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ old = SelectObject(canvas.dc, brush);
    Rectangle(canvas.dc, 2, 2, 8, 7);
    EXPECT_EQ(canvas.inkBounds(12, 10), CRect(2, 2, 8, 7));
    EXPECT_TRUE(canvas.isBlack(7, 6));
    EXPECT_EQ(canvas.at(3, 3), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(6, 5), RGB(255, 0, 0));
    // Without a pen the fill stops one pixel short on the right and bottom.
    SelectObject(canvas.dc, GetStockObject(NULL_PEN));
    RECT white { 0, 0, 12, 10 };
    FillRect(canvas.dc, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Rectangle(canvas.dc, 2, 2, 8, 7);
    EXPECT_EQ(canvas.inkBounds(12, 10), CRect(2, 2, 7, 6));
    SelectObject(canvas.dc, old);
    DeleteObject(brush);
}

TEST(Shapes, InsideFramePenStaysInTheBox)
{
    TestCanvas canvas(20, 20);
    HPEN inside = CreatePen(PS_INSIDEFRAME, 3, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(canvas.dc, inside);
    SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
    Rectangle(canvas.dc, 5, 5, 15, 15);
    EXPECT_EQ(canvas.inkBounds(20, 20), CRect(5, 5, 15, 15));
    EXPECT_TRUE(canvas.isBlack(7, 7));
    EXPECT_TRUE(canvas.isWhite(8, 8));
    // A plain wide pen is centred on the box's edge.
    HPEN centred = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
    SelectObject(canvas.dc, centred);
    RECT white { 0, 0, 20, 20 };
    FillRect(canvas.dc, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Rectangle(canvas.dc, 5, 5, 15, 15);
    EXPECT_EQ(canvas.inkBounds(20, 20), CRect(4, 4, 16, 16));
    SelectObject(canvas.dc, old);
    DeleteObject(inside);
    DeleteObject(centred);
}

TEST(Shapes, EllipseIsSymmetricWithAThinOutline)
{
    TestCanvas canvas(20, 20);
    SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
    Ellipse(canvas.dc, 2, 3, 14, 11);
    EXPECT_EQ(canvas.inkBounds(20, 20), CRect(2, 3, 14, 11));
    for (int y = 3; y < 11; ++y)
        for (int x = 2; x < 14; ++x) {
            EXPECT_EQ(canvas.at(x, y), canvas.at(15 - x, y)) << x << "," << y;
            EXPECT_EQ(canvas.at(x, y), canvas.at(x, 13 - y)) << x << "," << y;
        }
    EXPECT_TRUE(canvas.isWhite(8, 7)); // hollow
    EXPECT_TRUE(canvas.isBlack(2, 7)); // leftmost point of the outline
    EXPECT_TRUE(canvas.isWhite(2, 3)); // the corner of the box stays clear
    // Every row of the outline is one pixel wide at the sides.
    EXPECT_TRUE(canvas.isWhite(3, 7));
}

TEST(Shapes, FilledEllipseMatchesTheEllipticRegion)
{
    TestCanvas canvas(30, 30);
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    Ellipse(canvas.dc, 3, 4, 25, 19);
    HRGN region = CreateEllipticRgn(3, 4, 25, 19);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            EXPECT_EQ(canvas.isBlack(x, y), PtInRegion(region, x, y) != 0) << x << "," << y;
    DeleteObject(region);
}

TEST(Shapes, PolygonFillModes)
{
    // A five-pointed star: the centre is outside with ALTERNATE and inside with WINDING.
    POINT star[] = { { 20, 2 }, { 31, 36 }, { 2, 14 }, { 38, 14 }, { 9, 36 } };
    for (int mode : { ALTERNATE, WINDING }) {
        TestCanvas canvas(40, 40);
        SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
        SelectObject(canvas.dc, GetStockObject(NULL_PEN));
        SetPolyFillMode(canvas.dc, mode);
        Polygon(canvas.dc, star, 5);
        EXPECT_EQ(canvas.isBlack(20, 20), mode == WINDING);
        EXPECT_TRUE(canvas.isBlack(20, 8)); // a point
    }
}

TEST(Shapes, RoundRectCornersAreCut)
{
    TestCanvas canvas(20, 20);
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    RoundRect(canvas.dc, 2, 2, 18, 18, 8, 8);
    EXPECT_TRUE(canvas.isWhite(2, 2));
    EXPECT_TRUE(canvas.isBlack(10, 2));
    EXPECT_TRUE(canvas.isBlack(2, 10));
    EXPECT_EQ(canvas.inkBounds(20, 20), CRect(2, 2, 18, 18));
}

TEST(Shapes, FillFrameAndInvertRect)
{
    TestCanvas canvas(10, 10);
    RECT r { 1, 1, 6, 5 };
    FrameRect(canvas.dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(canvas.picture(0, 0, 7, 6),
        ".......\n"
        ".#####.\n"
        ".#...#.\n"
        ".#...#.\n"
        ".#####.\n"
        ".......\n");
    InvertRect(canvas.dc, &r);
    EXPECT_TRUE(canvas.isWhite(1, 1));
    EXPECT_TRUE(canvas.isBlack(2, 2));
    // A system colour index plus one stands for its brush.
    FillRect(canvas.dc, &r, reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(15 + 1)));
    EXPECT_EQ(canvas.at(3, 3), RGB(212, 208, 200));
}

TEST(Pixels, SetAndGetThroughTheClip)
{
    TestCanvas canvas(10, 10);
    EXPECT_EQ(SetPixel(canvas.dc, 3, 4, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(canvas.dc, 3, 4), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(canvas.dc, 10, 4), CLR_INVALID);
    IntersectClipRect(canvas.dc, 0, 0, 2, 2);
    EXPECT_EQ(SetPixel(canvas.dc, 5, 5, RGB(0, 0, 0)), CLR_INVALID);
    EXPECT_EQ(GetPixel(canvas.dc, 5, 5), CLR_INVALID);
    SelectClipRgn(canvas.dc, nullptr);
    EXPECT_TRUE(canvas.isWhite(5, 5));
}

// Coordinates far outside any surface draw what falls on it and return at once.
TEST(Shapes, FarCoordinatesAreCutToTheSurface)
{
    TestCanvas canvas(10, 10);
    MoveToEx(canvas.dc, -2000000000, 5, nullptr);
    LineTo(canvas.dc, 2000000000, 5);
    EXPECT_TRUE(canvas.isBlack(0, 5));
    EXPECT_TRUE(canvas.isBlack(9, 5));
    RECT huge { -2000000000, -2000000000, 2000000000, 2000000000 };
    FillRect(canvas.dc, &huge, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    EXPECT_EQ(canvas.at(3, 3), RGB(128, 128, 128));
    SelectObject(canvas.dc, GetStockObject(BLACK_BRUSH));
    Ellipse(canvas.dc, -1000000000, -1000000000, 1000000000, 1000000000);
    EXPECT_TRUE(canvas.isBlack(5, 5));
    Rectangle(canvas.dc, -1000000000, -1000000000, 1000000000, 1000000000);
    POINT far[] = { { -1000000000, -1000000000 }, { 1000000000, -1000000000 }, { 0, 1000000000 } };
    Polygon(canvas.dc, far, 3);
    HDC source = CreateCompatibleDC(canvas.dc);
    EXPECT_TRUE(StretchBlt(canvas.dc, 0, 0, 10, 10, source, -100000000, -100000000, 100000000, 100000000, SRCCOPY));
    DeleteDC(source);
    EXPECT_TRUE(BitBlt(canvas.dc, -100000000, -100000000, 130000000, 130000000, canvas.dc, -100000000, -99999999, SRCCOPY));
    EXPECT_FALSE(BitBlt(canvas.dc, 0, 0, 2000000000, 2000000000, canvas.dc, 2000000000, 0, SRCCOPY));
    HBITMAP tooBig = CreateBitmap(0x8000, 0x8000, 1, 32, nullptr);
    EXPECT_EQ(tooBig, nullptr);
}

TEST(Shapes, DottedRectangleFollowsTheBorderAsOneLine)
{
    TestCanvas canvas(12, 12);
    HPEN pen = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(canvas.dc, pen);
    SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
    SetBkMode(canvas.dc, TRANSPARENT);
    Rectangle(canvas.dc, 1, 1, 11, 11);
    EXPECT_EQ(canvas.picture(1, 1, 11, 2), "###...###.\n");
    EXPECT_EQ(canvas.inkBounds(12, 12), CRect(1, 1, 11, 11));
    EXPECT_TRUE(canvas.isWhite(5, 5));
    SelectObject(canvas.dc, old);
    DeleteObject(pen);
}

TEST(Lines, CosmeticAlternatePenSetsEveryOtherPixel)
{
    TestCanvas canvas(12, 3);
    LOGBRUSH brush { BS_SOLID, RGB(0, 0, 0), 0 };
    HPEN pen = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr);
    ASSERT_NE(pen, nullptr);
    EXPECT_EQ(GetObjectType(pen), OBJ_EXTPEN);
    HGDIOBJ old = SelectObject(canvas.dc, pen);
    SetBkMode(canvas.dc, TRANSPARENT);
    MoveToEx(canvas.dc, 1, 1, nullptr);
    LineTo(canvas.dc, 11, 1);
    EXPECT_EQ(canvas.picture(0, 1, 12, 2), ".#.#.#.#.#..\n");
    SelectObject(canvas.dc, old);
    DeleteObject(pen);
    EXPECT_EQ(ExtCreatePen(PS_COSMETIC, 3, &brush, 0, nullptr), nullptr); // cosmetic pens are one pixel wide
}

TEST(Lines, NotModeTwiceRestores)
{
    TestCanvas canvas(10, 10);
    SetPixelV(canvas.dc, 4, 4, RGB(10, 20, 30));
    SetROP2(canvas.dc, R2_NOT);
    for (int pass = 0; pass < 2; ++pass) {
        MoveToEx(canvas.dc, 0, 4, nullptr);
        LineTo(canvas.dc, 10, 4);
        if (pass == 0) {
            EXPECT_TRUE(canvas.isBlack(0, 4));
            EXPECT_EQ(canvas.at(4, 4), RGB(245, 235, 225));
        }
    }
    EXPECT_TRUE(canvas.isWhite(0, 4));
    EXPECT_EQ(canvas.at(4, 4), RGB(10, 20, 30));
    EXPECT_EQ(SetROP2(canvas.dc, 99), 0);
}

TEST(Shapes, PolygonOutlineClosesThePath)
{
    TestCanvas canvas(12, 12);
    SelectObject(canvas.dc, GetStockObject(NULL_BRUSH));
    POINT triangle[] = { { 1, 1 }, { 9, 1 }, { 1, 9 } };
    Polygon(canvas.dc, triangle, 3);
    EXPECT_TRUE(canvas.isBlack(1, 1));
    EXPECT_TRUE(canvas.isBlack(9, 1));
    EXPECT_TRUE(canvas.isBlack(1, 9));
    EXPECT_TRUE(canvas.isBlack(1, 5)); // the closing edge
    EXPECT_TRUE(canvas.isWhite(3, 3));
    EXPECT_FALSE(Polygon(canvas.dc, triangle, 1));
}
