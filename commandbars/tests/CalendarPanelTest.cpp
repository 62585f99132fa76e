// The calendar panel: which states it takes, where its text starts, and its bands from the edge in.

#include "commandbars/CalendarPanel.h"
#include "platform/mfc/Dc.h"

#include <gtest/gtest.h>

namespace {

// A panel drawn on a white bitmap, its pixels read back.
class PanelPicture {
public:
    PanelPicture()
        : m_dc(CreateCompatibleDC(nullptr))
        , m_bitmap(ColourBitmap())
        , m_previous(SelectObject(m_dc, m_bitmap))
    {
        RECT all { 0, 0, 40, 30 };
        FillRect(m_dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~PanelPicture()
    {
        SelectObject(m_dc, m_previous);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    void Draw(SECPanel& panel)
    {
        CDC dc;
        dc.Attach(m_dc);
        panel.Draw(&dc);
        dc.Detach();
    }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }

private:
    // In the screen's colours: a memory DC's own bitmap is monochrome.
    static HBITMAP ColourBitmap()
    {
        HDC screen = GetDC(nullptr);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 40, 30);
        ReleaseDC(nullptr, screen);
        return bitmap;
    }

    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_previous;
};

} // namespace

TEST(CalendarPanel, TheFlagsDecideWhichStatesItTakes)
{
    SECPanel panel;
    ASSERT_TRUE(panel.Create({ 0, 0, 30, 20 }, nullptr, FALSE, FALSE, SECPanel::DefaultStyle, 0, 3));
    EXPECT_FALSE(panel.Select(TRUE, FALSE));
    EXPECT_FALSE(panel.IsSelected());
    EXPECT_FALSE(panel.Highlight(TRUE, FALSE));
    panel.SetFlags(SECPanel::DefaultFlags);
    EXPECT_TRUE(panel.Select(TRUE, FALSE));
    EXPECT_TRUE(panel.Highlight(TRUE, FALSE));
    EXPECT_TRUE(panel.IsSelected() && panel.IsHighlighted());
}

TEST(CalendarPanel, TheTextStartsInsideTheBandsOfItsState)
{
    SECPanel panel;
    ASSERT_TRUE(panel.Create({ 0, 0, 30, 20 }, nullptr, FALSE, FALSE, SECPanel::DefaultStyle, SECPanel::DefaultFlags, 3));
    EXPECT_EQ(panel.GetInsideRect(), CRect(4, 4, 26, 16)) << "a frame and a 3-D band";
    panel.Select(TRUE, FALSE);
    panel.Highlight(TRUE, FALSE);
    EXPECT_EQ(panel.GetInsideRect(), CRect(7, 7, 23, 13)) << "1 + 3 + 3 with the highlight band";
    panel.SetStyle(SECPanel::StyleCentred);
    EXPECT_EQ(panel.GetInsideRect(), CRect(0, 0, 30, 20)) << "no bands";
    panel.SetStyle(SECPanel::DefaultStyle);
    panel.SetRect({ 0, 0, 10, 10 });
    EXPECT_TRUE(panel.GetInsideRect().IsRectEmpty()) << "bands wider than the panel";
}

TEST(CalendarPanel, ItsBandsGoFromTheEdgeIn)
{
    SECPanel panel;
    ASSERT_TRUE(panel.Create({ 2, 2, 32, 24 }, nullptr, FALSE, FALSE, SECPanel::DefaultStyle, SECPanel::DefaultFlags, 2));
    PanelPicture picture;
    picture.Draw(panel);
    EXPECT_EQ(picture.At(2, 10), GetSysColor(COLOR_BTNTEXT)) << "the frame";
    EXPECT_EQ(picture.At(32, 10), GetSysColor(COLOR_BTNTEXT)) << "the frame reaches one pixel past the right edge";
    EXPECT_EQ(picture.At(3, 10), GetSysColor(COLOR_BTNHIGHLIGHT)) << "raised: light at the top left";
    EXPECT_EQ(picture.At(30, 10), GetSysColor(COLOR_BTNSHADOW)) << "raised: shadow at the bottom right";
    EXPECT_EQ(picture.At(15, 12), GetSysColor(COLOR_BTNFACE)) << "the background";

    panel.Select(TRUE, FALSE);
    panel.Highlight(TRUE, FALSE);
    picture.Draw(panel);
    EXPECT_EQ(picture.At(3, 10), GetSysColor(COLOR_BTNSHADOW)) << "sunken when selected";
    EXPECT_EQ(picture.At(5, 10), SECPanel::DefaultHighlightColor) << "the highlight band inside the 3-D band";
}
