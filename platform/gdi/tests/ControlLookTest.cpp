#include "Canvas.h"

#include "platform/gdi/ControlLook.h"
#include "platform/gdi/SysColors.h"

using namespace fln::gdi;

TEST(ControlLook, PushButtonFacesFrameTheirContent)
{
    const RECT bounds { 0, 0, 40, 20 };
    struct Case {
        const char* name;
        PushButtonLook look;
        COLORREF corner;  // the outermost pixel
        COLORREF inside;  // just inside the outer line
        RECT content, focus;
    };
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME), shadow = GetSysColor(COLOR_BTNSHADOW), face = GetSysColor(COLOR_BTNFACE);
    const Case cases[] = {
        { "normal", {}, CLR_INVALID, CLR_INVALID, { 2, 2, 38, 18 }, { 3, 3, 37, 17 } },
        { "default", { .isDefault = true }, frame, CLR_INVALID, { 3, 3, 37, 17 }, { 4, 4, 36, 16 } },
        { "pressed", { .pressed = true }, frame, shadow, { 4, 4, 38, 18 }, { 4, 4, 36, 16 } },
        { "checked", { .checked = true }, CLR_INVALID, CLR_INVALID, { 3, 3, 39, 19 }, { 3, 3, 37, 17 } },
    };
    for (const Case& c : cases) {
        TestCanvas canvas(40, 20);
        PushButtonParts parts = DrawPushButtonFace(canvas.dc, bounds, c.look);
        EXPECT_TRUE(EqualRect(&parts.content, &c.content)) << c.name << ": content " << parts.content.left << "," << parts.content.top;
        EXPECT_TRUE(EqualRect(&parts.focus, &c.focus)) << c.name << ": focus " << parts.focus.left << "," << parts.focus.top;
        if (c.corner != CLR_INVALID)
            EXPECT_EQ(canvas.at(0, 0), c.corner) << c.name;
        else
            EXPECT_NE(canvas.at(0, 0), frame) << c.name;
        if (c.inside != CLR_INVALID) {
            EXPECT_EQ(canvas.at(1, 1), c.inside) << c.name;
        }
        EXPECT_EQ(canvas.at(20, 10), face) << c.name; // the face is filled
    }
}

TEST(ControlLook, GroupBoxFramesLeaveTheCaptionOpen)
{
    TestCanvas canvas(60, 30);
    DrawGroupBoxFrame(canvas.dc, RECT { 0, 5, 60, 30 }, RECT { 6, 0, 30, 12 });
    // The etched top edge: shadow over highlight, open where the caption goes.
    EXPECT_EQ(canvas.at(3, 5), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.at(3, 6), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_TRUE(canvas.isWhite(10, 5));
    EXPECT_EQ(canvas.at(40, 5), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.at(0, 20), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_TRUE(canvas.isWhite(30, 20)); // the inside is left alone
    // The clip is given back.
    RECT all { 0, 0, 60, 30 };
    FillRect(canvas.dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_TRUE(canvas.isBlack(10, 5));
}

TEST(ControlLook, DisabledLabelsAreEmbossedAndEnabledOnesTakeTheTextColour)
{
    auto countColours = [](const TestCanvas& canvas, COLORREF colour) {
        int count = 0;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 60; ++x)
                count += canvas.at(x, y) == colour;
        return count;
    };
    TestCanvas enabled(60, 20), disabled(60, 20);
    const RECT all { 0, 0, 60, 20 };
    for (TestCanvas* canvas : { &enabled, &disabled }) {
        FillSolidRect(canvas->dc, &all, GetSysColor(COLOR_BTNFACE));
        SetTextColor(canvas->dc, RGB(0, 0, 255));
        SetBkMode(canvas->dc, TRANSPARENT);
        SelectObject(canvas->dc, GetStockObject(DEFAULT_GUI_FONT));
    }
    DrawLabel(enabled.dc, L"MW", -1, RECT { 2, 2, 58, 18 }, DT_LEFT | DT_SINGLELINE, false);
    DrawLabel(disabled.dc, L"MW", -1, RECT { 2, 2, 58, 18 }, DT_LEFT | DT_SINGLELINE, true);
    EXPECT_GT(countColours(enabled, RGB(0, 0, 255)), 10);
    EXPECT_EQ(countColours(disabled, RGB(0, 0, 255)), 0);
    EXPECT_GT(countColours(disabled, GetSysColor(COLOR_BTNSHADOW)), 10);
    EXPECT_GT(countColours(disabled, GetSysColor(COLOR_BTNHIGHLIGHT)), 10);
}

TEST(ControlLook, ButtonBevelsLieOnTheEdgeAndLeaveTheInside)
{
    struct Case {
        ButtonBevel bevel;
        const char* picture; // h highlight, s shadow, f face, k window frame, o untouched
        RECT inside;
    };
    const Case cases[] = {
        { ButtonBevel::Raised, "hhhhs\nhooos\nhooos\nsssss\n", { 1, 1, 4, 3 } },
        { ButtonBevel::Sunken, "ssssh\nsoooh\nsoooh\nhhhhh\n", { 1, 1, 4, 3 } },
        { ButtonBevel::Flat, "sssss\nsooos\nsooos\nsssss\n", { 1, 1, 4, 3 } },
        { ButtonBevel::PushRaised, "hhhhk\nhffsk\nhsssk\nkkkkk\n", { 2, 2, 3, 2 } },
        { ButtonBevel::PushSunken, "kkkkh\nkssfh\nkfffh\nhhhhh\n", { 2, 2, 3, 2 } },
    };
    const COLORREF untouched = RGB(0, 0, 255);
    for (const Case& c : cases) {
        TestCanvas canvas(5, 4);
        const RECT all { 0, 0, 5, 4 };
        FillSolidRect(canvas.dc, &all, untouched);
        const RECT inside = DrawButtonBevel(canvas.dc, all, c.bevel);
        EXPECT_EQ(canvas.picture(all, { { 'h', GetSysColor(COLOR_BTNHIGHLIGHT) }, { 's', GetSysColor(COLOR_BTNSHADOW) },
                      { 'f', GetSysColor(COLOR_BTNFACE) }, { 'k', GetSysColor(COLOR_WINDOWFRAME) }, { 'o', untouched } }),
            c.picture)
            << static_cast<int>(c.bevel);
        EXPECT_TRUE(EqualRect(&inside, &c.inside)) << static_cast<int>(c.bevel);
    }
}
