#include "Canvas.h"

#include "platform/gdi/ImageList.h"
#include "platform/gdi/SysColors.h"

namespace {

// A 4 x 4 icon: the left half opaque red, the right half transparent.
HICON makeIcon()
{
    HBITMAP mask = CreateBitmap(4, 4, 1, 1, nullptr);
    HBITMAP color = CreateBitmap(4, 4, 1, 32, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, mask);
    RECT right { 2, 0, 4, 4 };
    FillRect(dc, &right, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SelectObject(dc, color);
    RECT left { 0, 0, 2, 4 };
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &left, red);
    DeleteObject(red);
    SelectObject(dc, old);
    DeleteDC(dc);
    ICONINFO info { TRUE, 0, 0, mask, color };
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(mask);
    DeleteObject(color);
    return icon;
}

} // namespace

TEST(ClassicLook, SystemColoursAndTheirBrushes)
{
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
    EXPECT_EQ(GetSysColor(99), 0u);
    LOGBRUSH lb {};
    GetObjectW(GetSysColorBrush(COLOR_BTNSHADOW), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(128, 128, 128));
    DeleteObject(GetSysColorBrush(COLOR_BTNSHADOW));
    EXPECT_EQ(GetObjectType(GetSysColorBrush(COLOR_BTNSHADOW)), OBJ_BRUSH);
    int index = COLOR_INFOBK;
    COLORREF yellow = RGB(255, 255, 0);
    SetSysColors(1, &index, &yellow);
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), yellow);
    GetObjectW(GetSysColorBrush(COLOR_INFOBK), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, yellow);
    COLORREF classic = RGB(255, 255, 225);
    SetSysColors(1, &index, &classic);
}

TEST(ClassicLook, RaisedAndSunkenEdges)
{
    TestCanvas canvas(10, 10);
    RECT r { 0, 0, 10, 10 };
    DrawEdge(canvas.dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    EXPECT_EQ(canvas.at(0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.at(9, 9), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.at(1, 1), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.at(8, 8), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.at(5, 5), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(CRect(r), CRect(2, 2, 8, 8));
    RECT s { 0, 0, 10, 10 };
    DrawEdge(canvas.dc, &s, EDGE_SUNKEN, BF_RECT);
    EXPECT_EQ(canvas.at(0, 0), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.at(1, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.at(9, 9), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(CRect(s), CRect(0, 0, 10, 10)); // unchanged without BF_ADJUST
}

TEST(ClassicLook, Draw3dRectAndFillSolidRect)
{
    TestCanvas canvas(6, 6);
    RECT r { 0, 0, 6, 6 };
    FillSolidRect(canvas.dc, &r, RGB(0, 0, 255));
    Draw3dRect(canvas.dc, &r, RGB(255, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(canvas.at(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(0, 5), RGB(0, 255, 0)); // the bottom-right colour owns the corners it reaches
    EXPECT_EQ(canvas.at(5, 0), RGB(0, 255, 0));
    EXPECT_EQ(canvas.at(2, 2), RGB(0, 0, 255));
    EXPECT_EQ(GetBkColor(canvas.dc), RGB(255, 255, 255)); // restored
}

TEST(ClassicLook, FocusRectangleDrawnTwiceVanishes)
{
    TestCanvas canvas(10, 10);
    RECT r { 1, 1, 9, 9 };
    DrawFocusRect(canvas.dc, &r);
    int changed = 0;
    for (int x = 1; x < 9; ++x)
        changed += canvas.isBlack(x, 1);
    EXPECT_EQ(changed, 4); // every other pixel
    EXPECT_TRUE(canvas.isWhite(4, 4));
    DrawFocusRect(canvas.dc, &r);
    EXPECT_EQ(canvas.inkBounds(10, 10), CRect(10, 10, 0, 0));
}

TEST(ClassicLook, FrameControlsDrawTheirGlyphs)
{
    struct Case {
        UINT type, state;
    } cases[] = { { DFC_CAPTION, DFCS_CAPTIONCLOSE }, { DFC_CAPTION, DFCS_CAPTIONMIN }, { DFC_CAPTION, DFCS_CAPTIONMAX },
        { DFC_CAPTION, DFCS_CAPTIONRESTORE }, { DFC_CAPTION, DFCS_CAPTIONHELP }, { DFC_SCROLL, DFCS_SCROLLUP },
        { DFC_SCROLL, DFCS_SCROLLDOWN }, { DFC_SCROLL, DFCS_SCROLLLEFT }, { DFC_SCROLL, DFCS_SCROLLRIGHT },
        { DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED }, { DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED } };
    for (const Case& c : cases) {
        TestCanvas canvas(16, 14);
        RECT r { 0, 0, 16, 14 };
        EXPECT_TRUE(DrawFrameControl(canvas.dc, &r, c.type, c.state));
        int text = 0;
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 16; ++x)
                text += canvas.at(x, y) == GetSysColor(c.type == DFC_BUTTON ? COLOR_WINDOWTEXT : COLOR_BTNTEXT);
        EXPECT_GT(text, 3) << c.type << " " << c.state;
    }
    // A disabled button draws its glyph in the shadow colour, a pushed one one pixel lower right.
    TestCanvas inactive(16, 14);
    RECT r { 0, 0, 16, 14 };
    DrawFrameControl(inactive.dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_INACTIVE);
    int shadow = 0;
    for (int y = 2; y < 12; ++y)
        for (int x = 2; x < 14; ++x)
            shadow += inactive.at(x, y) == GetSysColor(COLOR_BTNSHADOW);
    EXPECT_GT(shadow, 3);
    TestCanvas normal(16, 14), pushed(16, 14);
    DrawFrameControl(normal.dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    DrawFrameControl(pushed.dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_PUSHED);
    auto glyphLeft = [](const TestCanvas& c) {
        for (int x = 0; x < 16; ++x)
            for (int y = 2; y < 12; ++y)
                if (c.isBlack(x, y) && x > 2)
                    return x;
        return -1;
    };
    EXPECT_EQ(glyphLeft(pushed), glyphLeft(normal) + 1);
    EXPECT_FALSE(DrawFrameControl(normal.dc, &r, 99, 0));
}

namespace {

constexpr COLORREF Backdrop = RGB(0, 128, 0);

// The legend of frame-control pictures: the classic colours by letter, '.' the backdrop.
std::string classicPicture(const TestCanvas& canvas, const RECT& area)
{
    return canvas.picture(area, { { '.', Backdrop }, { 'W', RGB(255, 255, 255) }, { 'F', GetSysColor(COLOR_BTNFACE) },
                                    { 'G', GetSysColor(COLOR_BTNSHADOW) }, { 'D', GetSysColor(COLOR_3DDKSHADOW) }, { 'K', RGB(0, 0, 0) } });
}

struct FrameCanvas : TestCanvas {
    FrameCanvas(int width, int height)
        : TestCanvas(width, height)
    {
        RECT all { 0, 0, width, height };
        FillSolidRect(dc, &all, Backdrop);
    }
};

} // namespace

TEST(ClassicLook, RadioButtonsAreTheClassicRing)
{
    struct Case {
        const char* name;
        UINT state;
        std::string expected;
    };
    const Case cases[] = {
        { "checked", DFCS_BUTTONRADIO | DFCS_CHECKED,
            rows({ "....GGGG....", "..GGDDDDGG..", ".GDDWWWWDDW.", ".GDWWWWWWFW.", "GDWWWKKWWWFW", "GDWWKKKKWWFW",
                "GDWWKKKKWWFW", "GDWWWKKWWWFW", ".GDWWWWWWFW.", ".GFFWWWWFFW.", "..WWFFFFWW..", "....WWWW...." }) },
        { "pushed", DFCS_BUTTONRADIO | DFCS_PUSHED,
            rows({ "....GGGG....", "..GGDDDDGG..", ".GDDFFFFDDW.", ".GDFFFFFFFW.", "GDFFFFFFFFFW", "GDFFFFFFFFFW",
                "GDFFFFFFFFFW", "GDFFFFFFFFFW", ".GDFFFFFFFW.", ".GFFFFFFFFW.", "..WWFFFFWW..", "....WWWW...." }) },
        { "disabled and checked", DFCS_BUTTONRADIO | DFCS_CHECKED | DFCS_INACTIVE,
            rows({ "....GGGG....", "..GGDDDDGG..", ".GDDFFFFDDW.", ".GDFFFFFFFW.", "GDFFFGGFFFFW", "GDFFGGGGFFFW",
                "GDFFGGGGFFFW", "GDFFFGGFFFFW", ".GDFFFFFFFW.", ".GFFFFFFFFW.", "..WWFFFFWW..", "....WWWW...." }) },
        { "mask", DFCS_BUTTONRADIOMASK,
            rows({ "....KKKK....", "..KKKKKKKK..", ".KKKKKKKKKK.", ".KKKKKKKKKK.", "KKKKKKKKKKKK", "KKKKKKKKKKKK",
                "KKKKKKKKKKKK", "KKKKKKKKKKKK", ".KKKKKKKKKK.", ".KKKKKKKKKK.", "..KKKKKKKK..", "....KKKK...." }) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FrameCanvas canvas(16, 14);
        RECT r { 0, 0, 16, 14 };
        ASSERT_TRUE(DrawFrameControl(canvas.dc, &r, DFC_BUTTON, c.state));
        EXPECT_EQ(classicPicture(canvas, RECT { 2, 1, 14, 13 }), c.expected); // centred
        EXPECT_EQ(canvas.at(1, 7), Backdrop); // the backdrop around it is kept
        EXPECT_EQ(canvas.at(14, 7), Backdrop);
    }
}

TEST(ClassicLook, AnIndeterminateCheckBoxIsAGreyTickOnADither)
{
    RECT r { 0, 0, 13, 13 };
    FrameCanvas checked(13, 13), indeterminate(13, 13);
    DrawFrameControl(checked.dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    DrawFrameControl(indeterminate.dc, &r, DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED);
    const COLORREF white = RGB(255, 255, 255), face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW);
    int ticks = 0;
    for (int y = 2; y < 11; ++y)
        for (int x = 2; x < 11; ++x) {
            // The same tick, in the shadow colour; elsewhere white and face alternate like a chessboard.
            bool tick = checked.at(x, y) == RGB(0, 0, 0);
            ticks += tick;
            COLORREF expected = tick ? shadow : (x + y) % 2 == 0 ? white : face;
            EXPECT_EQ(indeterminate.at(x, y), expected) << x << "," << y;
        }
    EXPECT_GT(ticks, 10);
    // Its frame is the plain box's.
    EXPECT_EQ(classicPicture(indeterminate, RECT { 0, 0, 13, 2 }), classicPicture(checked, RECT { 0, 0, 13, 2 }));
    // Pushed, the well is the face colour.
    FrameCanvas pushed(13, 13);
    DrawFrameControl(pushed.dc, &r, DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_PUSHED);
    EXPECT_EQ(pushed.at(3, 3), face);
    EXPECT_EQ(pushed.at(4, 3), face);
}

TEST(ClassicLook, ButtonsTakeTheSoftEdges)
{
    // White outermost at the top left, the dark shadow outermost at the bottom right; pushed,
    // the dark shadow outermost at the top left with the shadow inside it.
    const std::string raised = rows({ "WWWWWD", "WFFFGD", "WFFFGD", "WGGGGD", "DDDDDD" });
    const std::string pushed = rows({ "DDDDDW", "DGGGFW", "DGFFFW", "DFFFFW", "WWWWWW" });
    for (auto [state, expected] : { std::pair { DFCS_BUTTONPUSH, raised }, std::pair { DFCS_BUTTONPUSH | DFCS_PUSHED, pushed } }) {
        FrameCanvas canvas(6, 5);
        RECT r { 0, 0, 6, 5 };
        DrawFrameControl(canvas.dc, &r, DFC_BUTTON, state);
        EXPECT_EQ(classicPicture(canvas, RECT { 0, 0, 6, 5 }), expected);
    }
    // Caption buttons share the push button's two outer rings; scroll arrows keep the plain edges.
    struct Case {
        UINT type, state;
        UINT likePush;
    } cases[] = { { DFC_CAPTION, DFCS_CAPTIONCLOSE, DFCS_BUTTONPUSH }, { DFC_CAPTION, DFCS_CAPTIONMIN | DFCS_PUSHED, DFCS_BUTTONPUSH },
        { DFC_SCROLL, DFCS_SCROLLUP, 0 }, { DFC_SCROLL, DFCS_SCROLLRIGHT | DFCS_PUSHED, 0 } };
    for (const Case& c : cases) {
        FrameCanvas button(16, 14), edge(16, 14);
        RECT r { 0, 0, 16, 14 };
        DrawFrameControl(button.dc, &r, c.type, c.state);
        if (c.likePush)
            DrawFrameControl(edge.dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (c.state & DFCS_PUSHED));
        else
            DrawEdge(edge.dc, &r, (c.state & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 16; ++x)
                if (x < 2 || y < 2 || x >= 14 || y >= 12) {
                    ASSERT_EQ(button.at(x, y), edge.at(x, y)) << c.type << " " << c.state << " at " << x << "," << y;
                }
    }
}

TEST(ClassicLook, GradientFillShadesFromTheFirstColourToTheSecond)
{
    struct Case {
        ULONG mode;
        int length; // along the shading
    };
    for (Case c : { Case { GRADIENT_FILL_RECT_H, 40 }, Case { GRADIENT_FILL_RECT_V, 30 } }) {
        TestCanvas canvas(50, 40);
        TRIVERTEX vertices[2] = { { 5, 5, 0x0A00, 0x2400, 0x6A00, 0 }, { 45, 35, 0xA600, 0xCA00, 0xF000, 0 } };
        GRADIENT_RECT mesh { 0, 1 };
        ASSERT_TRUE(GradientFill(canvas.dc, vertices, 2, &mesh, 1, c.mode));
        bool across = c.mode == GRADIENT_FILL_RECT_H;
        auto at = [&](int step, int side) { return across ? canvas.at(5 + step, 5 + side) : canvas.at(5 + side, 5 + step); };
        EXPECT_EQ(at(0, 0), RGB(0x0A, 0x24, 0x6A));
        for (int step = 1; step < c.length; ++step) {
            COLORREF before = at(step - 1, 0), now = at(step, 0);
            EXPECT_GE(GetRValue(now), GetRValue(before));
            EXPECT_GE(GetBValue(now), GetBValue(before));
            EXPECT_EQ(at(step, 7), now) << "one colour across the shading";
        }
        // The far edge is excluded: the last line falls short of the second colour by one step.
        COLORREF last = at(c.length - 1, 0);
        EXPECT_NEAR(GetRValue(last), 0xA6 - (0xA6 - 0x0A) / c.length, 1);
        EXPECT_EQ(canvas.inkBounds(50, 40), CRect(5, 5, 45, 35));
    }
    TestCanvas canvas(4, 4);
    TRIVERTEX vertices[2] = {};
    GRADIENT_RECT outside { 0, 2 };
    EXPECT_FALSE(GradientFill(canvas.dc, vertices, 2, &outside, 1, GRADIENT_FILL_RECT_H));
    EXPECT_FALSE(GradientFill(canvas.dc, vertices, 2, &outside, 1, GRADIENT_FILL_TRIANGLE));
}

TEST(ClassicLook, DrawStateDisabledEmbossesInHighlightAndShadow)
{
    TestCanvas canvas(20, 20);
    RECT all { 0, 0, 20, 20 };
    FillSolidRect(canvas.dc, &all, GetSysColor(COLOR_BTNFACE));
    HBITMAP bitmap = CreateBitmap(4, 4, 1, 32, nullptr); // black: all ink
    ASSERT_TRUE(DrawStateW(canvas.dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, 5, 5, 0, 0, DST_BITMAP | DSS_DISABLED));
    EXPECT_EQ(canvas.at(5, 5), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.at(8, 8), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.at(9, 9), GetSysColor(COLOR_BTNHIGHLIGHT)); // the highlight copy, one pixel lower right
    EXPECT_EQ(canvas.at(4, 4), GetSysColor(COLOR_BTNFACE));
    // Mono paints the image's ink in the brush.
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    DrawStateW(canvas.dc, blue, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, 12, 12, 0, 0, DST_BITMAP | DSS_MONO);
    EXPECT_EQ(canvas.at(15, 15), RGB(0, 0, 255));
    EXPECT_EQ(canvas.at(16, 16), GetSysColor(COLOR_BTNFACE));
    DeleteObject(blue);
    DeleteObject(bitmap);
}

TEST(Icons, DrawMaskThenColour)
{
    HICON icon = makeIcon();
    ASSERT_NE(icon, nullptr);
    TestCanvas canvas(8, 8);
    RECT all { 0, 0, 8, 8 };
    FillSolidRect(canvas.dc, &all, RGB(0, 128, 0));
    EXPECT_TRUE(DrawIcon(canvas.dc, 2, 2, icon));
    EXPECT_EQ(canvas.at(2, 2), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(4, 2), RGB(0, 128, 0)); // transparent half
    EXPECT_EQ(canvas.at(1, 1), RGB(0, 128, 0));
    // Stretched to 8 x 8 over a brush.
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    DrawIconEx(canvas.dc, 0, 0, icon, 8, 8, 0, blue, DI_NORMAL);
    EXPECT_EQ(canvas.at(3, 7), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(4, 0), RGB(0, 0, 255));
    DeleteObject(blue);

    ICONINFO info {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 2u); // the centre
    BITMAP bm {};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 4);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    HICON copy = CopyIcon(icon);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_TRUE(DrawIcon(canvas.dc, 0, 0, copy));
    DestroyIcon(copy);
    EXPECT_FALSE(DrawIconEx(canvas.dc, 0, 0, nullptr, 0, 0, 0, nullptr, DI_NORMAL));
}

TEST(ImageLists, MaskedImagesDrawTransparently)
{
    HIMAGELIST list = ImageList_Create(2, 2, ILC_COLOR32 | ILC_MASK, 1, 1);
    ASSERT_NE(list, nullptr);
    // A strip of two images; magenta is the transparent colour.
    TestCanvas strip(4, 2);
    RECT all { 0, 0, 4, 2 };
    FillSolidRect(strip.dc, &all, RGB(255, 0, 255));
    SetPixelV(strip.dc, 0, 0, RGB(255, 0, 0));
    SetPixelV(strip.dc, 3, 1, RGB(0, 0, 255));
    SelectObject(strip.dc, strip.previous);
    EXPECT_EQ(ImageList_AddMasked(list, strip.bitmap, RGB(255, 0, 255)), 0);
    SelectObject(strip.dc, strip.bitmap);
    EXPECT_EQ(ImageList_GetImageCount(list), 2);

    TestCanvas target(4, 4);
    EXPECT_TRUE(ImageList_Draw(list, 1, target.dc, 1, 1, ILD_TRANSPARENT));
    EXPECT_EQ(target.at(2, 2), RGB(0, 0, 255));
    EXPECT_TRUE(target.isWhite(1, 1));
    EXPECT_FALSE(ImageList_Draw(list, 2, target.dc, 0, 0, ILD_NORMAL));

    HICON icon = ImageList_GetIcon(list, 0, ILD_NORMAL);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(ImageList_AddIcon(list, icon), 2);
    DrawIcon(target.dc, 0, 0, icon);
    EXPECT_EQ(target.at(0, 0), RGB(255, 0, 0));
    DestroyIcon(icon);
    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    EXPECT_TRUE(ImageList_Destroy(list));
    EXPECT_FALSE(ImageList_Destroy(list));
}

TEST(Icons, AnOpacityChannelIsBlended)
{
    BITMAPINFO info {};
    info.bmiHeader = BITMAPINFOHEADER { sizeof(BITMAPINFOHEADER), 2, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<uint32_t*>(bits);
    pixels[0] = 0xFFFF0000; // opaque red
    pixels[1] = 0x800000FF; // half-transparent blue
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, nullptr);
    ICONINFO iconInfo { TRUE, 0, 0, mask, color };
    HICON icon = CreateIconIndirect(&iconInfo);
    DeleteObject(mask);
    DeleteObject(color);
    TestCanvas canvas(4, 1);
    DrawIconEx(canvas.dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(canvas.at(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.at(1, 0), RGB(127, 127, 255)); // blue at half over white
    EXPECT_TRUE(canvas.isWhite(2, 0));
    DestroyIcon(icon);
}
