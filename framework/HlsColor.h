#pragma once
// Integer RGB <-> hue/lightness/saturation conversion on the 0..240 scale, so that drawing code
// can derive lighter, darker or more saturated shades of a colour.

#include "platform/base/WinTypes.h"

constexpr int HLSMAX = 240;
constexpr int RGBMAX = 255;
constexpr int HLS_UNDEFINED_HUE = HLSMAX * 2 / 3;

void RGBtoHLS(COLORREF colour, WORD& hue, WORD& lightness, WORD& saturation);
COLORREF HLStoRGB(WORD hue, WORD lightness, WORD saturation);
