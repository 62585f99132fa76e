#include "platform/comdlg/ColorModel.h"

#include <algorithm>

namespace fln::comdlg {

namespace {

constexpr int kRgbMax = 255;

// One channel from the two magic numbers of the luminance and saturation, at a hue position.
int HueToChannel(int low, int high, int hue)
{
    hue = (hue % kHlsMax + kHlsMax) % kHlsMax;
    constexpr int sixth = kHlsMax / 6;
    if (hue < sixth)
        return low + ((high - low) * hue + sixth / 2) / sixth;
    if (hue < kHlsMax / 2)
        return high;
    if (hue < kHlsMax * 2 / 3)
        return low + ((high - low) * (kHlsMax * 2 / 3 - hue) + sixth / 2) / sixth;
    return low;
}

int ToRgb(int value)
{
    return std::clamp((value * kRgbMax + kHlsMax / 2) / kHlsMax, 0, kRgbMax);
}

} // namespace

Hls RgbToHls(COLORREF color)
{
    int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    int high = std::max({ r, g, b }), low = std::min({ r, g, b });
    int sum = high + low, range = high - low;
    Hls hls;
    hls.lum = (sum * kHlsMax + kRgbMax) / (2 * kRgbMax);
    if (range == 0) {
        hls.hue = kUndefinedHue;
        return hls;
    }
    int divisor = hls.lum <= kHlsMax / 2 ? sum : 2 * kRgbMax - sum;
    hls.sat = (range * kHlsMax + divisor / 2) / divisor;
    auto delta = [&](int channel) { return ((high - channel) * (kHlsMax / 6) + range / 2) / range; };
    int hue = r == high ? delta(b) - delta(g) : g == high ? kHlsMax / 3 + delta(r) - delta(b) : kHlsMax * 2 / 3 + delta(g) - delta(r);
    hls.hue = (hue % kHlsMax + kHlsMax) % kHlsMax;
    return hls;
}

COLORREF HlsToRgb(Hls hls)
{
    int lum = std::clamp(hls.lum, 0, kHlsMax), sat = std::clamp(hls.sat, 0, kHlsMax);
    if (sat == 0) {
        int grey = ToRgb(lum);
        return RGB(grey, grey, grey);
    }
    int high = lum <= kHlsMax / 2 ? (lum * (kHlsMax + sat) + kHlsMax / 2) / kHlsMax : lum + sat - (lum * sat + kHlsMax / 2) / kHlsMax;
    int low = 2 * lum - high;
    return RGB(ToRgb(HueToChannel(low, high, hls.hue + kHlsMax / 3)), ToRgb(HueToChannel(low, high, hls.hue)),
        ToRgb(HueToChannel(low, high, hls.hue - kHlsMax / 3)));
}

const std::array<COLORREF, 48> kBasicColors = {
    RGB(255, 128, 128), RGB(255, 255, 128), RGB(128, 255, 128), RGB(0, 255, 128), RGB(128, 255, 255), RGB(0, 128, 255), RGB(255, 128, 192), RGB(255, 128, 255),
    RGB(255, 0, 0), RGB(255, 255, 0), RGB(128, 255, 0), RGB(0, 255, 64), RGB(0, 255, 255), RGB(0, 128, 192), RGB(128, 128, 192), RGB(255, 0, 255),
    RGB(128, 64, 64), RGB(255, 128, 64), RGB(0, 255, 0), RGB(0, 128, 128), RGB(0, 64, 128), RGB(128, 128, 255), RGB(128, 0, 64), RGB(255, 0, 128),
    RGB(128, 0, 0), RGB(255, 128, 0), RGB(0, 128, 0), RGB(0, 128, 64), RGB(0, 0, 255), RGB(0, 0, 160), RGB(128, 0, 128), RGB(128, 0, 255),
    RGB(64, 0, 0), RGB(128, 64, 0), RGB(0, 64, 0), RGB(0, 64, 64), RGB(0, 0, 128), RGB(0, 0, 64), RGB(64, 0, 64), RGB(64, 0, 128),
    RGB(0, 0, 0), RGB(128, 128, 0), RGB(128, 128, 64), RGB(128, 128, 128), RGB(64, 128, 128), RGB(192, 192, 192), RGB(64, 64, 64), RGB(255, 255, 255),
};

} // namespace fln::comdlg
