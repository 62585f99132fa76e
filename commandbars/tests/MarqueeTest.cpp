#include "commandbars/Marquee.h"
#include "commandbars/tests/HeadlessFrameTest.h"
#include "platform/mfc/Dialog.h"
#include "platform/user/tests/PixelChecks.h"

namespace {

// A marquee that counts its hooks.
class CountingMarquee : public SECMarquee {
public:
    int starts = 0, wraps = 0;

protected:
    void OnTextStart() override { ++starts; }
    void OnTextWrap() override { ++wraps; }
};

class MarqueeTest : public HeadlessFrameTest {
protected:
    void SetUp() override
    {
        HeadlessFrameTest::SetUp();
        ASSERT_TRUE(marquee.Create(L"Formulon", WS_CHILD | WS_VISIBLE, CRect(10, 10, 110, 30), frame));
    }
    // Runs the timer for that many ticks of the default interval.
    void Ticks(int count)
    {
        for (int i = 0; i < count; ++i)
            Advance(40);
    }
    CString Shown() const
    {
        CString text;
        marquee.GetDisplayText(text);
        return text;
    }
    static int Width(const wchar_t* text)
    {
        CClientDC screen(nullptr);
        screen.SelectObject(::GetStockObject(DEFAULT_GUI_FONT));
        return screen.GetTextExtent(text).cx;
    }

    // The leftmost column with a pixel of the text colour, 100 when none.
    int LeftmostText() const
    {
        HDC dc = ::GetDC(marquee.m_hWnd);
        int leftmost = 100;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < leftmost; ++x)
                if (::GetPixel(dc, x, y) == RGB(0xFF, 0, 0))
                    leftmost = x;
        ::ReleaseDC(marquee.m_hWnd, dc);
        return leftmost;
    }

    CountingMarquee marquee;
};

TEST_F(MarqueeTest, TheTextEntersFromTheRightOnePixelPerTick)
{
    ASSERT_TRUE(marquee.EnableScrolling(TRUE));
    EXPECT_TRUE(marquee.EnableScrolling(TRUE)) << "a second start changes nothing";
    Ticks(1);
    EXPECT_EQ(Shown(), L" F") << "one timer: one step per tick";
    EXPECT_EQ(marquee.starts, 1);
    Ticks(Width(L"F"));
    EXPECT_EQ(Shown(), L" Fo");
    const int ticks = 1 + Width(L"F");
    EXPECT_GE(LeftmostText(), 100 - ticks + Width(L" ")) << "the text starts right of the leading space";
    EXPECT_LT(LeftmostText(), 100);
    Ticks(20);
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(marquee.m_hWnd, "statusbar-marquee.png"));
}

TEST_F(MarqueeTest, AfterTheTextAGapPassesAndTheTextStartsAgain)
{
    marquee.EnableScrolling(TRUE);
    // A character enters each time the previous one has fully entered; the last one ends the
    // pass, and the blank that follows is half the width long.
    const int lastEnters = Width(L"Formulo");
    Ticks(lastEnters + Width(L"n") - 1);
    EXPECT_EQ(marquee.wraps, 0);
    Ticks(1);
    EXPECT_EQ(marquee.wraps, 1) << "the blank begins";
    Ticks(lastEnters + 49 - (lastEnters + Width(L"n")));
    EXPECT_EQ(marquee.starts, 1);
    Ticks(Width(L" ") + 2);
    EXPECT_EQ(marquee.starts, 2) << "the text enters again";
    // Characters that left on the left are dropped: what is kept never outgrows the width.
    Ticks(300);
    EXPECT_LE(Shown().GetLength(), 100 / Width(L" ") + 2) << Shown().GetString();
}

TEST_F(MarqueeTest, AnEmptyTextScrollsSpacesOnly)
{
    marquee.SetText(L"");
    marquee.EnableScrolling(TRUE);
    Ticks(60);
    CString shown = Shown();
    shown.Replace(L" ", L"");
    EXPECT_TRUE(shown.IsEmpty());
}

TEST_F(MarqueeTest, SettingsAreCheckedAndStoppingHaltsTheText)
{
    EXPECT_FALSE(marquee.SetGapRatio(0.0f));
    EXPECT_FALSE(marquee.SetGapRatio(-1.0f));
    EXPECT_TRUE(marquee.SetGapRatio(0.25f));

    SECMarquee other;
    EXPECT_FALSE(other.EnableScrolling(TRUE)) << "no window yet";
    EXPECT_NE(other.GetTimerId(), marquee.GetTimerId());

    marquee.EnableScrolling(TRUE);
    Ticks(10);
    EXPECT_TRUE(marquee.EnableScrolling(FALSE));
    const CString stopped = Shown();
    Ticks(30);
    EXPECT_EQ(Shown(), stopped);
    EXPECT_TRUE(marquee.SetInterval(80));
    EXPECT_TRUE(marquee.EnableScrolling(TRUE));
    Advance(40);
    EXPECT_EQ(Shown(), stopped) << "the new interval holds";
}

TEST_F(MarqueeTest, ADialogsStaticBecomesAMarquee)
{
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(3300, frame));
    SECMarquee attached;
    ASSERT_TRUE(attached.Attach(3304, &dialog));
    attached.SetText(L"About");
    EXPECT_TRUE(attached.EnableScrolling(TRUE));
    Ticks(3);
    CString text;
    attached.GetDisplayText(text);
    EXPECT_EQ(text.Left(2), L" A");
}

} // namespace
