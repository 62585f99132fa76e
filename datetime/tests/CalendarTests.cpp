#include "datetime/Calendar.h"

#include "datecore/Clock.h"
#include "datecore/DateLocale.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/tests/PixelChecks.h"
#include "platform/user/tests/UserTestSupport.h"

#include <gtest/gtest.h>

namespace {

// The page's calendar is the toolkit's (tested with it in commandbars/) with its own fixed font
// sizes in place of fitted ones.
class PageCalendarTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        ASSERT_TRUE(page.Attach(TopLevel(WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, { 100, 100, 500, 400 })));
        app.m_pMainWnd = &page;
    }
    void TearDown() override
    {
        calendar.DestroyWindow();
        page.Detach();
        UserTest::TearDown();
        AfxDeleteTempObjects();
    }

    ScopedFixedClock clock { 1713182400 /* Monday 15 April 2024, 12:00 UTC */, FixedOffsetZone(0) };
    ScopedDateLocale locale { DateLocale::Default() };
    CWinApp app { L"PageCalendarTest" };
    CWnd page;
    FlCalendar calendar;
};

TEST_F(PageCalendarTest, TakesFixedFontSizesAndPaintsTheMonth)
{
    calendar.SetCurrentMonthStyle(0x1000017F);
    calendar.SetDisplayDate(COleDateTime(2024, 4, 15, 0, 0, 0), FALSE);
    calendar.SelectDate(COleDateTime(2024, 4, 15, 0, 0, 0), TRUE);
    ASSERT_TRUE(calendar.Create(WS_VISIBLE, CRect(10, 10, 220, 170), &page, 1000));
    calendar.HighlightDate(COleDateTime(2024, 4, 25, 0, 0, 0), TRUE);
    Pump();
    LOGFONT title {}, days {};
    calendar.GetTitleFont().GetLogFont(&title);
    calendar.GetDayFont().GetLogFont(&days);
    EXPECT_EQ(title.lfHeight, 13);
    EXPECT_EQ(days.lfHeight, 11);
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(calendar.m_hWnd, "calendar_april_2024.png"));
}

} // namespace
