#include "framework/HlsColor.h"

#include <gtest/gtest.h>

namespace {

struct Hls {
    WORD hue, lightness, saturation;
};

Hls ToHls(COLORREF colour)
{
    Hls hls {};
    RGBtoHLS(colour, hls.hue, hls.lightness, hls.saturation);
    return hls;
}

TEST(HlsColor, WhiteAndGreysHaveNoSaturationAndTheUndefinedHue)
{
    for (int grey : { 0, 1, 127, 128, 200, 255 }) {
        const Hls hls = ToHls(RGB(grey, grey, grey));
        EXPECT_EQ(hls.saturation, 0) << grey;
        EXPECT_EQ(hls.hue, 160) << grey;
        // The 0..240 scale is coarser than 0..255: greys come back within one step.
        EXPECT_NEAR(GetRValue(HLStoRGB(hls.hue, hls.lightness, hls.saturation)), grey, 1) << grey;
    }
    const Hls white = ToHls(RGB(255, 255, 255));
    EXPECT_EQ(white.lightness, 240);
    EXPECT_EQ(HLStoRGB(white.hue, white.lightness, white.saturation), RGB(255, 255, 255));
}

TEST(HlsColor, PrimaryHuesFollowTheColourWheel)
{
    EXPECT_EQ(ToHls(RGB(255, 0, 0)).hue, 0);
    EXPECT_EQ(ToHls(RGB(0, 255, 0)).hue, 80);
    EXPECT_EQ(ToHls(RGB(0, 0, 255)).hue, 160);
    const Hls red = ToHls(RGB(255, 0, 0));
    EXPECT_EQ(red.lightness, 120);
    EXPECT_EQ(red.saturation, 240);
    EXPECT_EQ(HLStoRGB(red.hue, red.lightness, red.saturation), RGB(255, 0, 0));
}

TEST(HlsColor, MagentaRedLiesBetween200And240)
{
    const Hls hls = ToHls(RGB(200, 30, 90));
    EXPECT_GT(hls.hue, 200);
    EXPECT_LE(hls.hue, 240);
}

TEST(HlsColor, SaturatingWhiteStaysWhiteAndLightBlackIsDarkGrey)
{
    const Hls white = ToHls(RGB(255, 255, 255));
    EXPECT_EQ(HLStoRGB(white.hue, white.lightness, white.saturation + 100), RGB(255, 255, 255));
    const Hls black = ToHls(RGB(0, 0, 0));
    EXPECT_EQ(HLStoRGB(black.hue, 30, black.saturation), RGB(31, 31, 31));
    EXPECT_EQ(HLStoRGB(white.hue, white.lightness + 20, white.saturation), RGB(255, 255, 255)) << "lighter than white is white";
}

TEST(HlsColor, RoundTripStaysWithinOneStepPerChannel)
{
    for (COLORREF colour : { RGB(10, 120, 230), RGB(250, 128, 114), RGB(34, 139, 34), RGB(75, 0, 130) }) {
        const Hls hls = ToHls(colour);
        const COLORREF back = HLStoRGB(hls.hue, hls.lightness, hls.saturation);
        EXPECT_NEAR(GetRValue(back), GetRValue(colour), 3);
        EXPECT_NEAR(GetGValue(back), GetGValue(colour), 3);
        EXPECT_NEAR(GetBValue(back), GetBValue(colour), 3);
    }
}

} // namespace
