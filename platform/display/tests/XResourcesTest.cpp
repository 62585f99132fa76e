#include "platform/display/HeadlessDisplay.h"
#include "platform/display/XResources.h"

#include <gtest/gtest.h>

using fln::gdi::FontRendering;
using fln::gdi::HintStyle;
using fln::gdi::SubpixelOrder;

namespace {

TEST(XResources, FontSettingsFollowTheXftResources)
{
    struct Case {
        const char* resources;
        FontRendering expected;
    };
    const Case cases[] = {
        // Nothing set: crisp, fully hinted, 96 dpi.
        { "", {} },
        { "Xcursor.size:\t24\n", {} },
        { "Xft.antialias:\t1\nXft.hinting:\t1\nXft.hintstyle:\thintslight\nXft.rgba:\trgb\nXft.dpi:\t192\n",
            { true, HintStyle::Slight, SubpixelOrder::Rgb, 192 } },
        { "Xft.antialias: true\nXft.rgba: vbgr\n", { true, HintStyle::Full, SubpixelOrder::VerticalBgr, 96 } },
        { "Xft.antialias:\tOn\nXft.rgba:\tnone\nXft.hintstyle:\thintmedium\n", { true, HintStyle::Medium, SubpixelOrder::None, 96 } },
        // Hinting switched off wins over the style, in either order.
        { "Xft.hintstyle:\thintfull\nXft.hinting:\t0\n", { false, HintStyle::None, SubpixelOrder::None, 96 } },
        { "Xft.hinting: false\nXft.hintstyle: hintslight\n", { false, HintStyle::None, SubpixelOrder::None, 96 } },
        { "Xft.hintstyle:\thintnone\n", { false, HintStyle::None, SubpixelOrder::None, 96 } },
        // A fractional dpi rounds; the last line for a name wins; Windows line ends are read.
        { "Xft.dpi:\t120.4\r\nXft.antialias:\t1\r\nXft.antialias:\t0\r\n", { false, HintStyle::Full, SubpixelOrder::None, 120 } },
        { "Xft.rgba:\tbgr\nXft.rgba:\trgb\n", { false, HintStyle::Full, SubpixelOrder::Rgb, 96 } },
        // Values not understood keep the defaults, and so do names that only look alike.
        { "Xft.antialias:\tmaybe\nXft.hintstyle:\thintextreme\nXft.rgba:\tcmyk\nXft.dpi:\tlots\n", {} },
        { "Xft.dpi:\t-96\nXft.dpi:\t96x\nXft.dpi:\tnan\n", {} },
        { "Xft.antialiasing:\t1\nxft.antialias:\t1\n*antialias:\t1\nXft.antialias\n", {} },
    };
    for (const Case& c : cases)
        EXPECT_EQ(FontRenderingFromResources(c.resources), c.expected) << c.resources;
}

TEST(XResources, ABecomingCurrentDisplayHandsDownItsRendering)
{
    fln::gdi::SetFontRendering({ true, HintStyle::Slight, SubpixelOrder::Rgb, 192 });
    auto previous = SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    EXPECT_EQ(fln::gdi::CurrentFontRendering(), FontRendering {}); // headless: the classic defaults
    SetCurrentDisplay(std::move(previous));
}

} // namespace
