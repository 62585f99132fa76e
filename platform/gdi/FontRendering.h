#pragma once
// How text is rasterised and how many pixels an inch has: the user's desktop settings, which the
// window layer hands down when it opens the display. Until then (and in tests) text is crisp
// monochrome with full hinting at 96 DPI, as the classic desktop draws it.

namespace fln::gdi {

enum class HintStyle { None, Slight, Medium, Full };

// The order of a pixel's colour stripes, for subpixel smoothing; None smooths in grey.
enum class SubpixelOrder { None, Rgb, Bgr, VerticalRgb, VerticalBgr };

struct FontRendering {
    bool antialias = false;
    HintStyle hinting = HintStyle::Full;
    SubpixelOrder subpixels = SubpixelOrder::None; // used only when antialiased
    int dpi = 96; // logical pixels per inch (LOGPIXELSX/Y)

    bool operator==(const FontRendering&) const = default;
};

// Replaces the settings; fonts realised from now on follow them. The dpi is kept within 48..480.
void SetFontRendering(const FontRendering& rendering);
FontRendering CurrentFontRendering();

} // namespace fln::gdi
