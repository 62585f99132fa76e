#include "datetime/MoonClock.h"

#include "datecore/DateLocale.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/tests/PixelChecks.h"
#include "platform/sys/tests/TempSettingsFolder.h"
#include "platform/user/tests/UserTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

std::int64_t UnixSeconds(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME time { static_cast<WORD>(year),   static_cast<WORD>(month),  0, static_cast<WORD>(day),
                      static_cast<WORD>(hour),   static_cast<WORD>(minute), static_cast<WORD>(second), 0 };
    return *SystemTimeToUnixSeconds(time);
}

double JulianDay(int year, int month, int day, int hour, int minute, int second = 0)
{
    return CMoonAstronomy::JulianFromCivil(year, month - 1, day, hour, minute, second);
}

std::wstring Line(const CMoonClock& clock, int line)
{
    return clock.GetInfoLines()[line].GetString();
}

std::vector<std::wstring> Lines(const CMoonClock& clock)
{
    std::vector<std::wstring> lines;
    for (int line = 0; line < CMoonClock::InfoLineCount; ++line)
        lines.push_back(Line(clock, line));
    return lines;
}

constexpr BYTE Blank = CMoonClock::BlankDigit;

// A page with the moon clock on it, under the headless display, with English names and a clock
// fixed at noon UTC of 15 April 2024 in central Europe (summer time: UTC+2).
class MoonClockTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        ASSERT_TRUE(page.CreateEx(0, nullptr, L"Page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 200, nullptr, nullptr));
        app.m_pMainWnd = &page;
        ASSERT_TRUE(clock.Create(L"Moon", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 40), &page, 1039));
        Pump();
    }
    void TearDown() override
    {
        page.DestroyWindow();
        UserTest::TearDown();
        AfxDeleteTempObjects();
    }
    // What the page's clock timer does each second: invalidate, then let the paint come.
    void Tick()
    {
        clock.InvalidateRect(nullptr, TRUE);
        Pump();
    }
    void ShowMoment(double jd, const COleDateTime& date)
    {
        clock.ShowMoment(jd, date);
        Tick();
    }
    COLORREF Pixel(int x, int y) { return pixel_checks::PixelsOf(CClientDC(&clock), CRect(x, y, x + 1, y + 1)).front(); }

    ScopedDateLocale locale { DateLocale::Default() };
    std::optional<ScopedFixedClock> now { std::in_place, UnixSeconds(2024, 4, 15, 12, 0, 0), CentralEuropeanZone() };
    CWinApp app { L"MoonClockTest" };
    CWnd page;
    CMoonClock clock;
};

TEST_F(MoonClockTest, FixedMomentFillsTheTwelveLines)
{
    // The phases come within two minutes of the published times (UTC): new moon 8 April 2024 18:21,
    // first quarter 15 April 19:13, full moon 23 April 23:49, last quarter 1 May 11:27, new moon
    // 8 May 03:22; the 8 April new moon begins lunation 1253. The age is the phase angle's.
    ShowMoment(JulianDay(2024, 4, 15, 0, 0), COleDateTime(2024, 4, 15, 2, 0, 0));
    std::vector<std::wstring> expected = {
        L"Julian date: 2460415.500000",
        L"Universal time (UTC): 00:00:00  15. April 2024",
        L"Local time: 02:00:00  15. April. 2024",
        L"Age of moon: 6 day(s), 14 hour(s), 54 minute(s)",
        L"Moon phase: 41 %",
        L"Moon's distance: 392073 km",
        L"Moon subtends: 0.507961 degrees",
        L"Last new moon: 18:23 UTC, 08 April 2024, Lunation: 1253",
        L"First quarter: 19:14 UTC, 15 April 2024",
        L"Full moon: 23:51 UTC, 23 April 2024",
        L"Last quarter: 11:27 UTC, 01 May 2024",
        L"Next new moon: 03:24 UTC, 08 May 2024, Lunation: 1254",
    };
    EXPECT_EQ(Lines(clock), expected);
    EXPECT_TRUE(clock.IsFixedMode());
    EXPECT_EQ(clock.GetInfoLines().GetSize(), 20);
}

TEST_F(MoonClockTest, LinesAreEmptyUntilTheFirstPaint)
{
    CMoonClock unpainted;
    for (const std::wstring& line : Lines(unpainted))
        EXPECT_TRUE(line.empty());
}

TEST_F(MoonClockTest, LiveModeFollowsTheClockInLocalDigitsAndUniversalLines)
{
    ScopedFixedClock evening { UnixSeconds(2024, 7, 20, 22, 59, 58), CentralEuropeanZone() };
    clock.FollowSystemTime();
    Tick();
    // Local time is 00:59:58 on 21 July; the lines and the moon go by universal time.
    EXPECT_EQ(clock.GetDigits(), (std::array<BYTE, 14> { 0, 0, 5, 9, 5, 8, 2, 1, 0, 7, 2, 0, 2, 4 }));
    EXPECT_EQ(Line(clock, CMoonClock::UniversalTimeLine), L"Universal time (UTC): 22:59:58  20. July 2024");
    EXPECT_EQ(Line(clock, CMoonClock::LocalTimeLine), L"Local time: 00:59:58  21. July. 2024");
    EXPECT_EQ(Line(clock, CMoonClock::JulianDateLine), L"Julian date: 2460512.458310");
    // 20 July (universal time) marks the face.
    EXPECT_EQ(Pixel(41, 29), RGB(255, 0, 0));

    evening.Advance(2);
    Tick();
    EXPECT_EQ(clock.GetDigits(), (std::array<BYTE, 14> { 0, 1, 0, 0, 0, 0, 2, 1, 0, 7, 2, 0, 2, 4 }));
    EXPECT_EQ(Line(clock, CMoonClock::UniversalTimeLine), L"Universal time (UTC): 23:00:00  20. July 2024");
    EXPECT_FALSE(clock.IsFixedMode());

    evening.Advance(3600);
    Tick();
    EXPECT_EQ(Line(clock, CMoonClock::UniversalTimeLine), L"Universal time (UTC): 00:00:00  21. July 2024");
    EXPECT_NE(Pixel(41, 29), RGB(255, 0, 0));
}

TEST_F(MoonClockTest, MonthFirstOrdersTheDateDigits)
{
    clock.SetMonthFirst(TRUE);
    ShowMoment(JulianDay(2024, 4, 15, 0, 0), COleDateTime(2024, 4, 15, 9, 8, 7));
    EXPECT_EQ(clock.GetDigits(), (std::array<BYTE, 14> { 0, 9, 0, 8, 0, 7, 0, 4, 1, 5, 2, 0, 2, 4 }));
    clock.SetMonthFirst(FALSE);
    Tick();
    EXPECT_EQ(clock.GetDigits(), (std::array<BYTE, 14> { 0, 9, 0, 8, 0, 7, 1, 5, 0, 4, 2, 0, 2, 4 }));
}

TEST_F(MoonClockTest, AnInvalidDateLeavesTheDigitsBlank)
{
    COleDateTime invalid;
    invalid.SetStatus(COleDateTime::invalid);
    ShowMoment(JulianDay(2024, 4, 15, 0, 0), invalid);
    std::array<BYTE, 14> blank;
    blank.fill(Blank);
    EXPECT_EQ(clock.GetDigits(), blank);
    // The moon and its lines do not depend on the date shown.
    EXPECT_EQ(Line(clock, CMoonClock::JulianDateLine), L"Julian date: 2460415.500000");
}

TEST_F(MoonClockTest, AMomentWithoutALocalTimeSaysSoAndFillsTheRest)
{
    // 500 BC: no system time holds it.
    ShowMoment(JulianDay(-500, 3, 1, 12, 0), COleDateTime(2024, 4, 15, 0, 0, 0));
    EXPECT_EQ(Line(clock, CMoonClock::LocalTimeLine), L"Data Error 4");
    EXPECT_EQ(Line(clock, CMoonClock::UniversalTimeLine), L"Universal time (UTC): 12:00:00  01. March -0500");
    for (int line : { CMoonClock::AgeLine, CMoonClock::PhaseLine, CMoonClock::LastNewMoonLine, CMoonClock::NextNewMoonLine })
        EXPECT_FALSE(Line(clock, line).empty()) << line;
}

// A moment the page hands over shows, on the local line, the local time it was typed in: the
// zone's rules of that date, not today's (Germany kept no summer time in 1954), and moments before
// 1900, which the page takes as universal time, as they are.
TEST_F(MoonClockTest, AHistoricalMomentShowsTheLocalTimeOfItsOwnDate)
{
    now.reset();
    struct ZoneRulesReread {
        ~ZoneRulesReread() { tzset(); }
    } reread;
    ScopedEnv berlin("TZ", "Europe/Berlin");
    tzset();
    const struct {
        COleDateTime moment;
        const wchar_t* universal;
        const wchar_t* local;
    } cases[] = {
        { COleDateTime(1954, 7, 15, 20, 0, 0), L"Universal time (UTC): 19:00:00  15. July 1954", L"Local time: 20:00:00  15. July. 1954" },
        { COleDateTime(2024, 7, 15, 20, 0, 0), L"Universal time (UTC): 18:00:00  15. July 2024", L"Local time: 20:00:00  15. July. 2024" },
        { COleDateTime(1945, 7, 15, 20, 0, 0), L"Universal time (UTC): 17:00:00  15. July 1945", L"Local time: 20:00:00  15. July. 1945" },
        { COleDateTime(1850, 7, 15, 20, 0, 0), L"Universal time (UTC): 20:00:00  15. July 1850", L"Local time: 20:00:00  15. July. 1850" },
    };
    for (const auto& c : cases) {
        ShowMoment(MoonJulianDayOfLocalMoment(c.moment), c.moment);
        EXPECT_EQ(Line(clock, CMoonClock::UniversalTimeLine), c.universal);
        EXPECT_EQ(Line(clock, CMoonClock::LocalTimeLine), c.local);
    }
}

TEST_F(MoonClockTest, AMomentJustBeforeMidnightReadsAsTheNextDay)
{
    ShowMoment(JulianDay(2024, 4, 15, 0, 0) - 0.3 / 86400, COleDateTime(2024, 4, 15, 0, 0, 0));
    EXPECT_EQ(Line(clock, CMoonClock::UniversalTimeLine), L"Universal time (UTC): 00:00:00  15. April 2024");
    EXPECT_EQ(Line(clock, CMoonClock::LocalTimeLine), L"Local time: 02:00:00  15. April. 2024");
}

TEST_F(MoonClockTest, AMomentThatIsNoDayLeavesTheLinesEmpty)
{
    for (double jd : { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), 1e300 }) {
        ShowMoment(jd, COleDateTime(2024, 4, 15, 0, 0, 0));
        for (const std::wstring& line : Lines(clock))
            EXPECT_TRUE(line.empty()) << jd;
    }
}

TEST_F(MoonClockTest, ThePhaseLineTruncatesThePercentage)
{
    // The full moon of 23 April 2024: 99.9 % lit.
    ShowMoment(JulianDay(2024, 4, 23, 23, 49), COleDateTime(2024, 4, 23, 0, 0, 0));
    EXPECT_EQ(Line(clock, CMoonClock::PhaseLine), L"Moon phase: 99 %");
}

TEST_F(MoonClockTest, TheControlTakesTheFaceSizeOnceAndSettles)
{
    CRect window;
    clock.GetWindowRect(&window);
    EXPECT_EQ(window.Size(), CSize(207, 72));
    Tick();
    // A paint that changes nothing asks for no other paint.
    EXPECT_FALSE(GetUpdateRect(clock.m_hWnd, nullptr, FALSE));
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(MoonClockTest, NearANewMoonTheDiscIsDarkAndTheClockStillShowsTheTime)
{
    ShowMoment(JulianDay(2024, 4, 8, 18, 21), COleDateTime(2024, 4, 8, 20, 21, 0));
    // The hours' 2 has its top bar at (12..21, 35..38); the disc's centre is at (175, 32).
    EXPECT_EQ(Pixel(15, 36), RGB(0, 0, 0));
    for (int x = 148; x < 203; ++x)
        ASSERT_EQ(Pixel(x, 32), RGB(179, 183, 139)) << x;
    EXPECT_EQ(Line(clock, CMoonClock::PhaseLine), L"Moon phase: 0 %");
}

struct PictureCase {
    const char* name;
    double jd;
};

TEST_F(MoonClockTest, PicturesOfThePhases)
{
    // The principal phases of April and May 2024 (published times, UTC); the digits show the local
    // time the page would hand over.
    const PictureCase cases[] = {
        { "moonclock_new.png", JulianDay(2024, 4, 8, 18, 21) },
        { "moonclock_first_quarter.png", JulianDay(2024, 4, 15, 19, 13) },
        { "moonclock_full.png", JulianDay(2024, 4, 23, 23, 49) },
        { "moonclock_last_quarter.png", JulianDay(2024, 5, 1, 11, 27) },
    };
    for (const PictureCase& picture : cases) {
        double summerTime = picture.jd + 2.0 / 24;
        auto date = CMoonAstronomy::CivilFromJulian(summerTime);
        auto time = CMoonAstronomy::TimeFromJulian(summerTime);
        ShowMoment(picture.jd, COleDateTime(date->year, date->month, date->day, time->hour, time->minute, time->second));
        EXPECT_TRUE(pixel_checks::MatchesExpectedImage(clock.m_hWnd, picture.name));
    }
}

TEST(MoonClockLocalTime, FollowsTheZoneRules)
{
    struct Case {
        SYSTEMTIME utc;
        SYSTEMTIME local;
    };
    TIME_ZONE_INFORMATION europe = CentralEuropeanZone();
    // The transitions (last Sunday of March 02:00, of October 03:00) are compared with universal time.
    const Case cases[] = {
        { { 2024, 1, 0, 15, 12, 0, 0, 0 }, { 2024, 1, 1, 15, 13, 0, 0, 0 } },
        { { 2024, 7, 0, 15, 12, 0, 0, 0 }, { 2024, 7, 1, 15, 14, 0, 0, 0 } },
        { { 2024, 3, 0, 31, 1, 59, 0, 0 }, { 2024, 3, 0, 31, 2, 59, 0, 0 } },
        { { 2024, 3, 0, 31, 2, 1, 0, 0 }, { 2024, 3, 0, 31, 4, 1, 0, 0 } },
        { { 2024, 10, 0, 27, 3, 0, 0, 0 }, { 2024, 10, 0, 27, 5, 0, 0, 0 } },
        { { 2024, 10, 0, 27, 3, 1, 0, 0 }, { 2024, 10, 0, 27, 4, 1, 0, 0 } },
        { { 2024, 12, 0, 31, 23, 30, 0, 250 }, { 2025, 1, 3, 1, 0, 30, 0, 250 } },
    };
    for (const Case& c : cases) {
        SYSTEMTIME local {};
        ASSERT_TRUE(CMoonClock::ToLocalTime(europe, c.utc, local)) << c.utc.wMonth << "/" << c.utc.wDay;
        EXPECT_EQ(local.wYear, c.local.wYear);
        EXPECT_EQ(local.wMonth, c.local.wMonth);
        EXPECT_EQ(local.wDay, c.local.wDay);
        EXPECT_EQ(local.wHour, c.local.wHour) << c.utc.wMonth << "/" << c.utc.wDay << " " << c.utc.wHour << ":" << c.utc.wMinute;
        EXPECT_EQ(local.wMinute, c.local.wMinute);
        EXPECT_EQ(local.wMilliseconds, c.local.wMilliseconds);
    }

    // A zone without daylight time applies its bias alone.
    SYSTEMTIME local {};
    ASSERT_TRUE(CMoonClock::ToLocalTime(FixedOffsetZone(-300), { 2024, 7, 0, 15, 2, 0, 0, 0 }, local));
    EXPECT_EQ(local.wDay, 14);
    EXPECT_EQ(local.wHour, 21);

    // Southern zones start daylight time late in the year and end it early.
    TIME_ZONE_INFORMATION south = FixedOffsetZone(600);
    south.DaylightBias = -60;
    south.DaylightDate = { 0, 10, 0, 1, 2, 0, 0, 0 };
    south.StandardDate = { 0, 4, 0, 1, 3, 0, 0, 0 };
    ASSERT_TRUE(CMoonClock::ToLocalTime(south, { 2024, 1, 0, 15, 0, 0, 0, 0 }, local));
    EXPECT_EQ(local.wHour, 11);
    ASSERT_TRUE(CMoonClock::ToLocalTime(south, { 2024, 7, 0, 15, 0, 0, 0, 0 }, local));
    EXPECT_EQ(local.wHour, 10);
}

TEST(MoonClockLocalTime, RefusesWhatItCannotConvert)
{
    SYSTEMTIME local {};
    TIME_ZONE_INFORMATION europe = CentralEuropeanZone();
    EXPECT_FALSE(CMoonClock::ToLocalTime(europe, { 1600, 12, 0, 31, 12, 0, 0, 0 }, local));
    EXPECT_FALSE(CMoonClock::ToLocalTime(europe, { 2024, 13, 0, 1, 12, 0, 0, 0 }, local));
    // West of Greenwich, the first half hour of 1601 has no local time in the file-time range.
    EXPECT_FALSE(CMoonClock::ToLocalTime(FixedOffsetZone(-60), { 1601, 1, 1, 1, 0, 30, 0, 0 }, local));
    // Rules that name no day: a weekday beyond Saturday, a month beyond December.
    TIME_ZONE_INFORMATION broken = europe;
    broken.DaylightDate.wDayOfWeek = 9;
    EXPECT_FALSE(CMoonClock::ToLocalTime(broken, { 2024, 7, 0, 15, 12, 0, 0, 0 }, local));
    broken = europe;
    broken.StandardDate.wMonth = 14;
    EXPECT_FALSE(CMoonClock::ToLocalTime(broken, { 2024, 7, 0, 15, 12, 0, 0, 0 }, local));
}

} // namespace
