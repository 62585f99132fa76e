#include "controls/ColorEdit.h"
#include "controls/tests/ControlTestSupport.h"

#include "platform/gdi/SysColors.h"

namespace {

class ColorEditTest : public ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        ASSERT_TRUE(edit.Create(L"EDIT", L"", WS_CHILD | WS_VISIBLE, CRect(20, 20, 220, 44), &main, 7));
        Pump();
    }
    // The back colour shows at the right end of the edit, where no text reaches.
    COLORREF Back() { return PixelAt(edit, 190, 10); }

    CColorEdit edit;
};

TEST_F(ColorEditTest, DefaultsComeFromTheSystemColours)
{
    CColorControl colours;
    EXPECT_EQ(colours.TextColor(), RGB(255, 255, 255));
    EXPECT_EQ(colours.BackColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(colours.HoverTextColor(), RGB(0, 0, 0));
    EXPECT_EQ(colours.HoverBackColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(colours.Font(), nullptr);
    EXPECT_EQ(Back(), GetSysColor(COLOR_BTNFACE));
}

// Each state picks its own pair, and each brush has exactly its back colour.
TEST_F(ColorEditTest, EachStateUsesItsColoursAndABrushOfThatColour)
{
    CColorControl colours;
    colours.SetColors(RGB(1, 2, 3), RGB(10, 20, 30), RGB(4, 5, 6), RGB(40, 50, 60));
    colours.SetDisabledColors(RGB(7, 8, 9), RGB(70, 80, 90));
    struct Case {
        BOOL tracking, enabled, hovered;
        COLORREF text, back;
    };
    const Case cases[] = {
        { FALSE, TRUE, FALSE, RGB(1, 2, 3), RGB(10, 20, 30) },
        { FALSE, TRUE, TRUE, RGB(1, 2, 3), RGB(10, 20, 30) }, // no tracking: hover never shows
        { TRUE, TRUE, TRUE, RGB(4, 5, 6), RGB(40, 50, 60) },
        { TRUE, FALSE, TRUE, RGB(7, 8, 9), RGB(70, 80, 90) },
        { FALSE, FALSE, FALSE, RGB(7, 8, 9), RGB(70, 80, 90) },
    };
    for (const Case& c : cases) {
        colours.SetHoverTracking(c.tracking);
        auto look = colours.LookFor(c.enabled, c.hovered);
        EXPECT_EQ(look.text, c.text);
        EXPECT_EQ(look.back, c.back);
        LOGBRUSH brush {};
        ASSERT_EQ(GetObjectW(look.brush, sizeof brush, &brush), static_cast<int>(sizeof brush));
        EXPECT_EQ(brush.lbColor, c.back);
    }
}

TEST_F(ColorEditTest, SetBackColorChangesOnlyTheNormalBackgroundAndShowsAtTheNextPaint)
{
    edit.SetBackColor(RGB(200, 0, 0));
    EXPECT_EQ(edit.HoverBackColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(edit.TextColor(), RGB(255, 255, 255));
    EXPECT_EQ(Back(), GetSysColor(COLOR_BTNFACE)) << "the setter does not redraw";
    edit.Invalidate();
    Pump();
    EXPECT_EQ(Back(), RGB(200, 0, 0));

    edit.SetWindowText(L"8888");
    edit.SetTextColor(RGB(0, 0, 255));
    edit.Invalidate();
    Pump();
    EXPECT_TRUE(AnyPixelOf(edit, { 0, 0, 60, 24 }, RGB(0, 0, 255))) << "the text is drawn in the text colour";
}

TEST_F(ColorEditTest, ADisabledEditShowsTheDisabledColoursWhateverTheNormalOnes)
{
    edit.SetColors(RGB(255, 0, 0), RGB(0, 128, 0), RGB(0, 0, 0), RGB(0, 0, 255));
    edit.SetWindowText(L"8888");
    edit.EnableWindow(FALSE);
    Pump();
    EXPECT_EQ(Back(), GetSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(AnyPixelOf(edit, { 0, 0, 60, 24 }, RGB(255, 0, 0)));
}

TEST_F(ColorEditTest, HoverColoursShowWhileTheMouseIsOverAndGoWithinOneTimerPeriod)
{
    edit.SetColors(RGB(0, 0, 0), RGB(0, 128, 0), RGB(0, 0, 0), RGB(0, 0, 255));
    edit.SetHoverTracking(TRUE);
    edit.Invalidate();
    Pump();
    EXPECT_EQ(Back(), RGB(0, 128, 0));

    MoveMouse(ScreenPoint(edit, 50, 10));
    EXPECT_EQ(Back(), RGB(0, 0, 255)) << "hovering repaints at once";

    MoveMouse(ScreenPoint(main, 400, 300));
    EXPECT_EQ(Back(), RGB(0, 0, 255)) << "the edit gets no mouse move once the mouse is outside";
    Advance(10);
    EXPECT_EQ(Back(), RGB(0, 128, 0));
}

TEST_F(ColorEditTest, SetFontMakesThePointFontAndGivesItToTheEdit)
{
    struct Case {
        BOOL bold, italic;
        LONG weight;
        BYTE italicFlag;
    };
    const Case cases[] = { { FALSE, FALSE, FW_NORMAL, 0 }, { TRUE, FALSE, FW_BOLD, 0 }, { FALSE, TRUE, FW_NORMAL, 1 }, { TRUE, TRUE, FW_BOLD, 1 } };
    for (const Case& c : cases) {
        edit.SetFont(12, L"Arial", c.bold, c.italic);
        ASSERT_NE(edit.Font(), nullptr);
        LOGFONTW font {};
        edit.Font()->GetLogFont(&font);
        EXPECT_EQ(font.lfHeight, -16) << "12 points at 96 DPI";
        EXPECT_EQ(font.lfWeight, c.weight);
        EXPECT_EQ(font.lfItalic, c.italicFlag);
        EXPECT_EQ(std::wstring(font.lfFaceName), L"Arial");
        EXPECT_EQ(reinterpret_cast<HFONT>(edit.SendMessage(WM_GETFONT)), static_cast<HFONT>(*edit.Font()));
    }
}

}
