#include "framework/AuxData.h"

#include "platform/gdi/SysColors.h"

#include <gtest/gtest.h>

namespace {

TEST(AuxDataTest, BlendingWeighsInPercentBelowOneHundredAndPerMilleFromThere)
{
    struct Case {
        COLORREF a, b;
        int weight;
        COLORREF expected;
    };
    const Case cases[] = {
        { RGB(200, 0, 0), RGB(0, 0, 100), 99, RGB(198, 0, 1) },
        { RGB(200, 0, 0), RGB(0, 0, 100), 100, RGB(20, 0, 90) },
        { RGB(255, 255, 255), RGB(0, 0, 0), 165, RGB(42, 42, 42) },
        { RGB(255, 255, 255), RGB(0, 0, 0), 50, RGB(128, 128, 128) },
        { RGB(10, 20, 30), RGB(40, 50, 60), 0, RGB(40, 50, 60) },
    };
    for (const Case& c : cases)
        EXPECT_EQ(BlendColors(c.a, c.b, c.weight), c.expected) << c.weight;
    EXPECT_EQ(LightenColor(RGB(250, 10, 0), 32), RGB(255, 42, 32)) << "saturates at 255";
}

TEST(AuxDataTest, ContrastKeepsAFarColourAndMovesANearOneAway)
{
    EXPECT_NEAR(ColorDistance(RGB(0, 0, 0), RGB(255, 255, 255)), 440.85, 0.01);
    EXPECT_EQ(EnsureContrast(RGB(0, 0, 0), RGB(255, 255, 255), 100), RGB(0, 0, 0));
    struct Case {
        COLORREF colour, background;
        double distance, required;
    };
    const Case cases[] = {
        { RGB(250, 250, 250), RGB(255, 255, 255), 100, 100 }, // on white: pushed towards black
        { RGB(10, 10, 10), RGB(0, 0, 0), 50, 100 },           // on black: twice the distance
        { RGB(0, 0, 255), RGB(0, 0, 200), 80, 80 * (2 - ColorDistance(RGB(0, 0, 200), RGB(0, 0, 0)) / 220) },
    };
    for (const Case& c : cases) {
        const COLORREF moved = EnsureContrast(c.colour, c.background, c.distance);
        EXPECT_NE(moved, c.colour);
        EXPECT_GE(ColorDistance(moved, c.background), c.required - 1.5) << std::hex << c.colour;
    }
}

TEST(AuxDataTest, HueSaturationLightnessRoundTrip)
{
    double h = 0, s = 0, l = 0;
    ColorToHLS(RGB(255, 0, 0), h, s, l);
    EXPECT_DOUBLE_EQ(h, 0);
    EXPECT_DOUBLE_EQ(s, 1);
    EXPECT_DOUBLE_EQ(l, 0.5);
    ColorToHLS(RGB(0, 0, 255), h, s, l);
    EXPECT_DOUBLE_EQ(h, 4.0 / 6);
    ColorToHLS(RGB(128, 128, 128), h, s, l);
    EXPECT_EQ(s, 0) << "a grey has no saturation";
    for (COLORREF colour : { RGB(255, 0, 0), RGB(12, 200, 99), RGB(240, 240, 10), RGB(128, 128, 128), RGB(0, 0, 0) }) {
        ColorToHLS(colour, h, s, l);
        const COLORREF back = HLSToColor(h, s, l);
        EXPECT_NEAR(GetRValue(back), GetRValue(colour), 1) << std::hex << colour;
        EXPECT_NEAR(GetGValue(back), GetGValue(colour), 1) << std::hex << colour;
        EXPECT_NEAR(GetBValue(back), GetBValue(colour), 1) << std::hex << colour;
    }
    EXPECT_EQ(AdjustColorHLS(RGB(128, 128, 128), 0, 0, 0.5), RGB(191, 191, 191));
    EXPECT_EQ(AdjustColorHLS(RGB(12, 200, 99), 0, 0, -1), RGB(0, 0, 0));
    const COLORREF white = AdjustColorHLS(RGB(12, 200, 99), 0, 0, 1); // truncated: a channel may land on 254
    for (BYTE channel : { GetRValue(white), GetGValue(white), GetBValue(white) })
        EXPECT_GE(channel, 254);
}

TEST(AuxDataTest, SharedDataFollowsTheSystemColours)
{
    const SEC_AUX_DATA& data = GetAuxData();
    EXPECT_EQ(data.cxBorder2, 2);
    EXPECT_EQ(data.cyBorder2, 2);
    EXPECT_NE(data.hcurArrow, nullptr);
    EXPECT_EQ(data.clrBtnFace, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(data.clrWindowText, GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(data.clrHighlightText, GetSysColor(COLOR_HIGHLIGHTTEXT));

    EXPECT_EQ(GetAuxBlendedColor(0), BlendColors(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNFACE), 165));
    EXPECT_EQ(GetAuxBlendedColor(8), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(GetAuxBlendedColor(28), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetAuxBlendedColor(27), GetAuxBlendedColor(1));
    EXPECT_EQ(GetAuxBlendedColor(29), GetAuxBlendedColor(2));
    EXPECT_EQ(GetAuxBlendedColor(33), RGB(255, 255, 255));
    EXPECT_EQ(GetAuxBlendedColor(-1), RGB(255, 255, 255));
    // The classic look has no colour scheme: the fixed one.
    EXPECT_EQ(GetAuxSchemeColor(0), COLORREF(0xE4AE88));
    EXPECT_EQ(GetAuxSchemeColor(2), COLORREF(0xF5BE9E));
    EXPECT_EQ(GetAuxSchemeColor(7), COLORREF(0));
    EXPECT_EQ(GetAuxSchemeColor(8), RGB(255, 255, 255));
}

} // namespace
