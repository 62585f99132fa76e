#include "ComctlTestSupport.h"

#include "platform/gdi/ClassicParts.h"

namespace {

class ProgressTest : public CommonControlTest {
protected:
    static int Position(HWND bar) { return static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)); }

    // How many pixels along the bar's middle line have the bar's colour.
    static int FilledPixels(HWND bar, bool vertical, COLORREF color)
    {
        RECT inside = fln::gdi::ProgressBarInside(ClientRect(bar));
        HDC dc = GetDC(bar);
        int count = 0;
        if (vertical) {
            for (int y = inside.top; y < inside.bottom; ++y)
                count += GetPixel(dc, (inside.left + inside.right) / 2, y) == color;
        } else {
            for (int x = inside.left; x < inside.right; ++x)
                count += GetPixel(dc, x, (inside.top + inside.bottom) / 2) == color;
        }
        ReleaseDC(bar, dc);
        return count;
    }
};

TEST_F(ProgressTest, RangePositionAndStepMessages)
{
    HWND bar = Control(PROGRESS_CLASSW, 0, { 10, 10, 210, 30 });
    PBRANGE range {};
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
    EXPECT_EQ(range.iHigh, 100);
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT answer;
        int position;
    } cases[] = {
        { "set", PBM_SETPOS, 30, 0, 0, 30 },
        { "past the top", PBM_SETPOS, 500, 0, 30, 100 },
        { "below the bottom", PBM_SETPOS, static_cast<WPARAM>(-5), 0, 100, 0 },
        { "delta", PBM_DELTAPOS, 25, 0, 0, 25 },
        { "negative delta", PBM_DELTAPOS, static_cast<WPARAM>(-10), 0, 25, 15 },
        { "step", PBM_STEPIT, 0, 0, 15, 25 },
        { "step size", PBM_SETSTEP, 40, 0, 10, 25 },
        { "step", PBM_STEPIT, 0, 0, 25, 65 },
        { "step past the top starts over", PBM_STEPIT, 0, 0, 65, 5 },
        { "16-bit range", PBM_SETRANGE, 0, MAKELPARAM(10, 60), MAKELONG(0, 100), 10 },
        { "32-bit range keeps a position inside", PBM_SETRANGE32, static_cast<WPARAM>(-1000), 100000, MAKELONG(10, 60), 10 },
        { "far step", PBM_SETPOS, 99999, 0, 10, 99999 },
        { "step wraps by the span", PBM_STEPIT, 0, 0, 99999, -1000 + (99999 + 40 + 1000) % 101000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SendMessageW(bar, c.message, c.wParam, c.lParam), c.answer);
        EXPECT_EQ(Position(bar), c.position);
    }
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, 0), -1000);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 100000);
}

TEST_F(ProgressTest, AnEmptyOrUpsideDownRangeShowsNothingAndDoesNotFail)
{
    HWND bar = Control(PROGRESS_CLASSW, PBS_SMOOTH, { 10, 10, 210, 30 });
    for (auto [low, high] : { std::pair { 5, 5 }, std::pair { 50, 10 } }) {
        SCOPED_TRACE(low);
        SendMessageW(bar, PBM_SETRANGE32, low, high);
        SendMessageW(bar, PBM_SETPOS, 30, 0);
        SendMessageW(bar, PBM_STEPIT, 0, 0);
        EXPECT_EQ(Position(bar), low);
        Pump();
        EXPECT_EQ(FilledPixels(bar, false, GetSysColor(COLOR_HIGHLIGHT)), 0);
    }
}

TEST_F(ProgressTest, TheBarGrowsWithThePosition)
{
    struct Case {
        DWORD style;
        RECT rect;
        int position;
        int filled; // of a 196-pixel or 96-pixel bar
    } cases[] = {
        { PBS_SMOOTH, { 10, 10, 210, 30 }, 0, 0 },
        { PBS_SMOOTH, { 10, 10, 210, 30 }, 50, 98 },
        { PBS_SMOOTH, { 10, 10, 210, 30 }, 100, 196 },
        { PBS_SMOOTH | PBS_VERTICAL, { 10, 10, 30, 110 }, 25, 24 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.style << " at " << c.position);
        HWND bar = Control(PROGRESS_CLASSW, c.style, c.rect);
        SendMessageW(bar, PBM_SETPOS, c.position, 0);
        Pump();
        EXPECT_EQ(FilledPixels(bar, c.style & PBS_VERTICAL, GetSysColor(COLOR_HIGHLIGHT)), c.filled);
        DestroyWindow(bar);
    }
}

TEST_F(ProgressTest, ChunksAreWholeAndSpacedOut)
{
    HWND bar = Control(PROGRESS_CLASSW, 0, { 10, 10, 210, 30 });
    RECT inside = fln::gdi::ProgressBarInside(ClientRect(bar));
    int chunk = (inside.bottom - inside.top) * 2 / 3;
    SendMessageW(bar, PBM_SETPOS, 10, 0); // 19.6 pixels: two chunks, the second reached and so drawn whole
    Pump();
    EXPECT_EQ(FilledPixels(bar, false, GetSysColor(COLOR_HIGHLIGHT)), 2 * chunk);
    int middle = (inside.top + inside.bottom) / 2;
    EXPECT_EQ(PixelAt(bar, inside.left + chunk, middle), GetSysColor(COLOR_BTNFACE)); // the gap
    EXPECT_EQ(PixelAt(bar, inside.left + chunk + 2, middle), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(ProgressTest, ColoursAreTheCallersOrTheSystems)
{
    HWND bar = Control(PROGRESS_CLASSW, PBS_SMOOTH, { 10, 10, 210, 30 });
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(bar, PBM_SETBARCOLOR, 0, RGB(0, 128, 0))), CLR_DEFAULT);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(bar, PBM_SETBKCOLOR, 0, RGB(255, 255, 0))), CLR_DEFAULT);
    SendMessageW(bar, PBM_SETPOS, 50, 0);
    Pump();
    EXPECT_EQ(PixelAt(bar, 10, 10), RGB(0, 128, 0));
    EXPECT_EQ(PixelAt(bar, 150, 10), RGB(255, 255, 0));
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(bar, PBM_SETBARCOLOR, 0, CLR_DEFAULT)), RGB(0, 128, 0));
    Pump();
    EXPECT_EQ(PixelAt(bar, 10, 10), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(ProgressTest, AStepRepaintsOnlyWhenTheBarChangesLength)
{
    HWND bar = Control(PROGRESS_CLASSW, PBS_SMOOTH, { 10, 10, 60, 30 });
    SendMessageW(bar, PBM_SETRANGE32, 0, 1000);
    Pump();
    RECT update {};
    SendMessageW(bar, PBM_SETPOS, 10, 0); // under one pixel of 46
    EXPECT_FALSE(GetUpdateRect(bar, &update, FALSE));
    SendMessageW(bar, PBM_SETPOS, 500, 0);
    EXPECT_TRUE(GetUpdateRect(bar, &update, FALSE));
    EXPECT_EQ(CRect(update), CRect(fln::gdi::ProgressBarInside(ClientRect(bar))));
}

TEST_F(ProgressTest, TheClassicLook)
{
    HWND bar = Control(PROGRESS_CLASSW, 0, { 10, 10, 110, 28 });
    SendMessageW(bar, PBM_SETPOS, 45, 0);
    EXPECT_TRUE(LooksLike(bar, "progress.png"));
    HWND upwards = Control(PROGRESS_CLASSW, PBS_VERTICAL, { 120, 10, 138, 70 });
    SendMessageW(upwards, PBM_SETPOS, 60, 0);
    EXPECT_TRUE(LooksLike(upwards, "progress_vertical.png"));
}

} // namespace
