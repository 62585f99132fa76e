// What the x11 display asks an input method for: the style, the spot's baseline and the fonts.

#include <gtest/gtest.h>

#include "platform/display/X11InputMethod.h"

namespace {

TEST(X11InputMethodStyle, OverTheSpotFirstThenTheInputMethodsOwnWindow)
{
    const XIMStyle position = XIMPreeditPosition | XIMStatusNothing, root = XIMPreeditNothing | XIMStatusNothing,
                   bare = XIMPreeditNone | XIMStatusNone, callbacks = XIMPreeditCallbacks | XIMStatusCallbacks;
    struct Case {
        std::vector<XIMStyle> offered;
        bool overTheSpot;
        XIMStyle chosen;
    } cases[] = {
        { { bare, root, position }, true, position },
        { { bare, root, position }, false, root },
        { { callbacks, bare }, true, bare },
        { { XIMPreeditPosition | XIMStatusNone }, true, XIMPreeditPosition | XIMStatusNone },
        { { callbacks, XIMPreeditArea | XIMStatusArea }, true, 0 },
        { {}, true, 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseInputStyle(c.offered, c.overTheSpot), c.chosen);
}

TEST(X11InputMethodStyle, TheSpotIsTheBaselineOfTheFirstCharacter)
{
    XPoint spot = SpotLocation({ 12, 40 }, CompositionFont { L"Courier New", 16, 13 });
    EXPECT_EQ(spot.x, 12);
    EXPECT_EQ(spot.y, 53);
    spot = SpotLocation({ 5, 5 }, std::nullopt);
    EXPECT_EQ(spot.y, 15) << "the dialog font's ascent without a font";
    spot = SpotLocation({ 100000, -100000 }, std::nullopt);
    EXPECT_EQ(spot.x, 32767);
    EXPECT_EQ(spot.y, -32768);
}

TEST(X11InputMethodStyle, FontSetPatternsGoFromTheFamilyToAnyFont)
{
    EXPECT_EQ(FontSetPattern(CompositionFont { L"Courier New", 16, 13 }),
        "-*-courier new-medium-r-normal--16-*-*-*-*-*-*-*,-*-*-medium-r-normal--16-*-*-*-*-*-*-*,-*-*-*-*-*--16-*-*-*-*-*-*-*,*");
    // Characters that would end an XLFD field or the list are left out of the family.
    EXPECT_EQ(FontSetPattern(CompositionFont { L"A-b*c,d?\u00E9", 0, 0 }).substr(0, 20), "-*-abcd-medium-r-nor");
    EXPECT_EQ(FontSetPattern(std::nullopt), "-*-*-medium-r-normal--13-*-*-*-*-*-*-*,-*-*-*-*-*--13-*-*-*-*-*-*-*,*");
}

}
