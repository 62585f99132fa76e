#include "commandbars/ProgressCtrl.h"
#include "commandbars/tests/HeadlessFrameTest.h"
#include "platform/user/tests/PixelChecks.h"

namespace {

constexpr COLORREF kNavy = RGB(0, 0, 0x80), kWhite = RGB(0xFF, 0xFF, 0xFF);

class ProgressCtrlTest : public HeadlessFrameTest {
protected:
    void Make(DWORD progressStyle, CRect rect = CRect(10, 10, 110, 26))
    {
        ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, rect, frame, 1, progressStyle));
        Pump();
    }
    SECProgressCtrl progress;
};

TEST_F(ProgressCtrlTest, ThePercentageIsClampedToTheRange)
{
    Make(SEC_PROG_DEFAULT);
    struct Case {
        int lower, upper, position;
        float percent;
    };
    const Case cases[] = {
        { 0, 200, 50, 25.0f },
        { 0, 100, 250, 100.0f }, // never beyond the upper bound
        { 10, 20, 0, 0.0f },
        { 5, 5, 5, 0.0f }, // an empty range counts as 1 wide
    };
    for (const Case& c : cases) {
        progress.SetRange(c.lower, c.upper);
        progress.SetPos(c.position);
        EXPECT_FLOAT_EQ(progress.GetPercent(), c.percent) << c.lower << ".." << c.upper << " at " << c.position;
    }
}

TEST_F(ProgressCtrlTest, TheBarGrowsFromTheEdgeItsStyleNames)
{
    struct Case {
        DWORD style;
        CRect bar, empty;
    };
    // A 100 x 16 client at 30 %.
    const Case cases[] = {
        { 0, CRect(0, 0, 30, 16), CRect(30, 0, 100, 16) },
        { SEC_PROG_FROMRIGHT, CRect(70, 0, 100, 16), CRect(0, 0, 70, 16) },
        { SEC_PROG_VERTICAL, CRect(0, 12, 100, 16), CRect(0, 0, 100, 12) },
        { SEC_PROG_VERTICAL | SEC_PROG_FROMTOP, CRect(0, 0, 100, 4), CRect(0, 4, 100, 16) },
        { SEC_PROG_MARQUEE, CRect(20, 0, 40, 16), CRect(40, 0, 100, 16) },
    };
    Make(0);
    for (const Case& c : cases) {
        progress.SetProgressStyle(c.style);
        CRect bar, empty;
        progress.CalcRects(30.0f, bar, empty);
        EXPECT_EQ(bar, c.bar) << std::hex << c.style;
        EXPECT_EQ(empty, c.empty) << std::hex << c.style;
    }
}

TEST_F(ProgressCtrlTest, ThePercentageIsDrawnInTheOppositeColours)
{
    Make(SEC_PROG_SHOWPERCENT);
    progress.SetPos(40, TRUE);
    EXPECT_EQ(PixelAt(&progress, 1, 1), kNavy);
    EXPECT_EQ(PixelAt(&progress, 98, 14), kWhite);
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(progress.m_hWnd, "statusbar-progress-percent.png"));
}

TEST_F(ProgressCtrlTest, TheTimerStepsTheBarUntilItIsFull)
{
    Make(SEC_PROG_DEFAULT);
    progress.SetStep(25);
    ASSERT_TRUE(progress.StartTimer(100));
    Advance(100);
    EXPECT_EQ(progress.GetPos(), 25);
    for (int i = 0; i < 6; ++i)
        Advance(100);
    EXPECT_EQ(progress.GetPos(), 100) << "the timer stopped at the upper bound";
    EXPECT_FALSE(progress.StartTimer(100)) << "a full bar has nothing left to step";
}

TEST_F(ProgressCtrlTest, TheMarqueeWrapsUntilItIsStopped)
{
    Make(SEC_PROG_MARQUEE);
    progress.SetStep(50);
    ASSERT_TRUE(progress.StartMarquee());
    ASSERT_TRUE(progress.StartTimer(40));
    Advance(40);
    EXPECT_EQ(progress.GetPos(), 50);
    Advance(40);
    EXPECT_EQ(progress.GetPos(), 0) << "at the upper bound the segment starts again";
    CRect bar, empty;
    progress.CalcRects(progress.GetPercent(), bar, empty);
    EXPECT_EQ(bar, CRect(0, 0, 10, 16));

    progress.SetMarqueeRunning(FALSE);
    Advance(40);
    Advance(40);
    EXPECT_EQ(progress.GetPos(), 50) << "one last step, then the timer stops";
    EXPECT_FALSE(progress.StartTimer(40));
}

} // namespace
