#include "framework/HlsColor.h"

#include <algorithm>

void RGBtoHLS(COLORREF colour, WORD& hue, WORD& lightness, WORD& saturation)
{
    const int r = GetRValue(colour);
    const int g = GetGValue(colour);
    const int b = GetBValue(colour);
    const int mx = std::max({ r, g, b });
    const int mn = std::min({ r, g, b });

    const int l = ((mx + mn) * HLSMAX + RGBMAX) / (2 * RGBMAX);
    lightness = static_cast<WORD>(l);
    if (mx == mn) {
        saturation = 0;
        hue = HLS_UNDEFINED_HUE;
        return;
    }

    const int sum = mx + mn;
    const int range = mx - mn;
    if (l <= HLSMAX / 2)
        saturation = static_cast<WORD>((range * HLSMAX + sum / 2) / sum);
    else
        saturation = static_cast<WORD>((range * HLSMAX + (2 * RGBMAX - sum) / 2) / (2 * RGBMAX - sum));

    const int sixth = HLSMAX / 6;
    const int rd = ((mx - r) * sixth + range / 2) / range;
    const int gd = ((mx - g) * sixth + range / 2) / range;
    const int bd = ((mx - b) * sixth + range / 2) / range;

    int h;
    if (r == mx)
        h = bd - gd;
    else if (g == mx)
        h = HLSMAX / 3 + rd - bd;
    else
        h = 2 * HLSMAX / 3 + gd - rd;
    if (h < 0)
        h += HLSMAX;
    if (h > HLSMAX)
        h -= HLSMAX;
    hue = static_cast<WORD>(h);
}

static int HueToRGB(int m1, int m2, int h)
{
    if (h < 0)
        h += HLSMAX;
    if (h > HLSMAX)
        h -= HLSMAX;
    const int sixth = HLSMAX / 6;
    if (h < sixth)
        return m1 + ((m2 - m1) * h + sixth / 2) / sixth;
    if (h < HLSMAX / 2)
        return m2;
    if (h < 2 * HLSMAX / 3)
        return m1 + ((m2 - m1) * (2 * HLSMAX / 3 - h) + sixth / 2) / sixth;
    return m1;
}

COLORREF HLStoRGB(WORD hue, WORD lightness, WORD saturation)
{
    const int l = lightness;
    const int s = saturation;
    if (s == 0) {
        // A lightness raised past the scale is white, as in the coloured case below.
        const auto grey = static_cast<BYTE>(std::min(l * RGBMAX / HLSMAX, RGBMAX));
        return RGB(grey, grey, grey);
    }
    const int m2 = l <= HLSMAX / 2 ? (l * (HLSMAX + s) + HLSMAX / 2) / HLSMAX
                                   : l + s - (l * s + HLSMAX / 2) / HLSMAX;
    const int m1 = 2 * l - m2;
    auto channel = [&](int h) {
        return static_cast<BYTE>(std::clamp((HueToRGB(m1, m2, h) * RGBMAX + HLSMAX / 2) / HLSMAX, 0, RGBMAX));
    };
    const int h = hue;
    return RGB(channel(h + HLSMAX / 3), channel(h), channel(h - HLSMAX / 3));
}
