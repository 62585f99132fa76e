// The faces of tool-bar buttons, compared with expected images in tests/data (FLN_WRITE_EXPECTED=1
// writes them, to be looked at before they are kept).

#include "ToolBarFixture.h"

#include "platform/user/tests/PixelChecks.h"

namespace {

class ToolBarPaintTest : public ToolBarFixture {
protected:
    SECCustomToolBar bar;

    void AddStyle(UINT id, DWORD style)
    {
        for (int i = 0; i < bar.GetButtonCount(); ++i)
            if (bar.GetButton(i)->m_nID == id)
                bar.SetButtonStyle(i, bar.GetButtonStyle(i) | style);
    }
    // Every state a face can show, one button each.
    void ShowEveryState()
    {
        AddStyle(ID_TB_OPEN, SEC_TBBS_HOT);
        AddStyle(ID_TB_SAVE, TBBS_PRESSED);
        AddStyle(ID_TB_CUT, TBBS_CHECKED);
        AddStyle(ID_TB_COPY, TBBS_DISABLED);
        AddStyle(ID_TB_PASTE, TBBS_INDETERMINATE);
        AddStyle(ID_TB_PRINT, TBBS_CHECKED | TBBS_DISABLED);
        bar.UpdateWindow();
    }
};

TEST_F(ToolBarPaintTest, AFlatBarWithItsGripperShowsEveryFace)
{
    MakeBar(bar, SEC_TBS_FLAT | SEC_TBS_GRIPPER);
    ShowEveryState();
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(bar.m_hWnd, "toolbar-flat.png"));
}

TEST_F(ToolBarPaintTest, ABarThatIsNotFlatRaisesEveryButtonAndDrawsNoSeparators)
{
    MakeBar(bar, 0);
    ShowEveryState();
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(bar.m_hWnd, "toolbar-raised.png"));
}

TEST_F(ToolBarPaintTest, SeparatorsOfAVerticalBarLieAcrossIt)
{
    MakeBar(bar);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    frame->RecalcLayout();
    bar.UpdateWindow();
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(bar.m_hWnd, "toolbar-vertical.png"));
}

TEST_F(ToolBarPaintTest, ABarFloatedUprightStandsInItsSmallFrame)
{
    MakeBar(bar, SEC_TBS_FLAT | SEC_TBS_GRIPPER);
    bar.SetWindowText(L"Edit");
    frame->FloatControlBar(&bar, CPoint(300, 200), CBRS_ALIGN_LEFT);
    Pump();
    HWND floating = ::GetAncestor(bar.m_hWnd, GA_ROOT);
    ASSERT_NE(floating, frame->m_hWnd);
    ::RedrawWindow(floating, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    CRect window;
    ::GetWindowRect(floating, &window);
    ASSERT_GT(window.Height(), window.Width()) << "upright";
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(floating, CRect(CPoint(), window.Size()), "toolbar-floating-upright.png"));
}

// Four pixels of face, two raised grip lines a pixel apart, six pixels of face, then the first
// button: along the left of a bar docked at the top, across the top of one docked at the side.
TEST_F(ToolBarPaintTest, TheGripperLiesInTheRoomItsBarLeavesBeforeTheFirstButton)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW),
                   highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF strip[] = { face, face, face, face, highlight, face, shadow, face, highlight, face, shadow,
        face, face, face, face, face, face };
    MakeBar(bar, SEC_TBS_FLAT | SEC_TBS_GRIPPER);
    for (UINT dockBar : { AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_LEFT }) {
        const bool alongLeft = dockBar == AFX_IDW_DOCKBAR_TOP;
        SCOPED_TRACE(alongLeft ? "docked at the top" : "docked at the left");
        frame->DockControlBar(&bar, dockBar);
        frame->RecalcLayout();
        bar.UpdateWindow();
        const CRect first = bar.GetButton(0)->GetRect();
        EXPECT_EQ(alongLeft ? first.left : first.top, static_cast<int>(std::size(strip)));
        CRect client;
        bar.GetClientRect(&client);
        HDC dc = ::GetDC(bar.m_hWnd);
        for (int offset = 0; offset < static_cast<int>(std::size(strip)); ++offset) {
            const CPoint at = alongLeft ? CPoint(offset, client.Height() / 2) : CPoint(client.Width() / 2, offset);
            EXPECT_EQ(pixel_checks::Rgb24(::GetPixel(dc, at.x, at.y)), pixel_checks::Rgb24(strip[offset])) << offset;
        }
        EXPECT_EQ(pixel_checks::Rgb24(::GetPixel(dc, 0, 0)), pixel_checks::Rgb24(face)) << "the lines stop a pixel short of the bar's edge";
        ::ReleaseDC(bar.m_hWnd, dc);
    }
}

TEST_F(ToolBarPaintTest, FacesUseTheSystemColours)
{
    MakeBar(bar);
    ShowEveryState();
    const COLORREF face = GetSysColor(COLOR_BTNFACE), shadow = GetSysColor(COLOR_BTNSHADOW),
                   highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    auto at = [&](UINT id, int x, int y) {
        for (int i = 0; i < bar.GetButtonCount(); ++i)
            if (bar.GetButton(i)->m_nID == id) {
                const CPoint point = bar.GetButton(i)->GetRect().TopLeft() + CSize(x, y);
                HDC dc = ::GetDC(bar.m_hWnd);
                const COLORREF colour = ::GetPixel(dc, point.x, point.y);
                ::ReleaseDC(bar.m_hWnd, dc);
                return pixel_checks::Rgb24(colour);
            }
        return 0u;
    };
    using pixel_checks::Rgb24;
    // A plain button of a flat bar has no frame; the hot one is raised; the pressed one sunken.
    EXPECT_EQ(at(ID_TB_NEW, 0, 0), Rgb24(face));
    EXPECT_EQ(at(ID_TB_OPEN, 0, 0), Rgb24(highlight));
    EXPECT_EQ(at(ID_TB_OPEN, 22, 21), Rgb24(shadow));
    EXPECT_EQ(at(ID_TB_SAVE, 0, 0), Rgb24(shadow));
    EXPECT_EQ(at(ID_TB_SAVE, 22, 21), Rgb24(highlight));
    // A checked face is a half-tone of highlight and face pixels.
    EXPECT_NE(at(ID_TB_CUT, 1, 1), at(ID_TB_CUT, 2, 1));
    EXPECT_EQ(at(ID_TB_CUT, 1, 1), at(ID_TB_CUT, 2, 2));
    // The picture's black frame: embossed (shadow, with highlight below right) when disabled.
    const int left = (23 - 16 - 1) / 2 + 3, top = (22 - 15) / 2 + 3;
    EXPECT_EQ(at(ID_TB_NEW, left, top), 0u);
    EXPECT_EQ(at(ID_TB_COPY, left, top), Rgb24(shadow));
    EXPECT_EQ(at(ID_TB_COPY, left + 9 + 1, top + 8 + 1), Rgb24(highlight));
    EXPECT_EQ(at(ID_TB_PASTE, left, top), Rgb24(shadow));
}

} // namespace

namespace {

// A DIB section of that depth whose top-left pixel is dark red (the rest black).
HBITMAP ImageOfDepth(WORD bitCount)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info {};
    info.header = { sizeof(BITMAPINFOHEADER), 4, -4, 1, bitCount, BI_RGB, 0, 0, 0, 0, 0 };
    info.colours[1] = { 0, 0, 128, 0 };
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap && bits) {
        auto* bytes = static_cast<BYTE*>(bits);
        if (bitCount == 8)
            bytes[0] = 1;
        else
            bytes[2] = 128; // blue, green, red
    }
    return bitmap;
}

TEST(BtnDrawDataTest, TheTransparentColourIsTheSetOneOrTheTopLeftPixelOfADeepImage)
{
    SECBtnDrawData data;
    EXPECT_EQ(data.GetTransparentColor(), RGB(192, 192, 192)) << "no image";
    HBITMAP palette = ImageOfDepth(8), deep = ImageOfDepth(24);
    ASSERT_TRUE(palette && deep);
    data.SelectImage(palette);
    EXPECT_EQ(data.GetTransparentColor(), RGB(192, 192, 192)) << "8 bits per pixel";
    data.SelectImage(deep);
    EXPECT_EQ(data.GetTransparentColor(), RGB(128, 0, 0)) << "24 bits per pixel";
    data.SetTransparentColor(RGB(255, 0, 255), TRUE);
    EXPECT_EQ(data.GetTransparentColor(), RGB(255, 0, 255)) << "set";
    data.SelectImage(nullptr);
    DeleteObject(palette);
    DeleteObject(deep);
}

} // namespace
