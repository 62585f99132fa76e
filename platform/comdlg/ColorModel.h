#pragma once
// The colour dialog's arithmetic: hue, luminance and saturation on the dialog's 0..240 scale, and
// the basic colours it offers.

#include "platform/gdi/GdiTypes.h"

#include <array>

namespace fln::comdlg {

constexpr int kHlsMax = 240;       // saturation and luminance run 0..240, hue 0..239
constexpr int kUndefinedHue = 160; // the hue of greys

struct Hls {
    int hue = 0;
    int lum = 0;
    int sat = 0;
    bool operator==(const Hls&) const = default;
};

Hls RgbToHls(COLORREF color);
COLORREF HlsToRgb(Hls hls);

constexpr int kBasicColumns = 8;
extern const std::array<COLORREF, 48> kBasicColors; // row by row, 8 to a row

} // namespace fln::comdlg
