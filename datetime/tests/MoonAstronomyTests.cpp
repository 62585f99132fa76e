#include "datetime/MoonAstronomy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

using Moon = CMoonAstronomy;

constexpr double Nan = std::numeric_limits<double>::quiet_NaN();
constexpr double Infinity = std::numeric_limits<double>::infinity();
constexpr double Minute = 1.0 / 1440;

TEST(MoonJulianDays, AlmanacFactsAndTheCalendarReform)
{
    EXPECT_DOUBLE_EQ(Moon::JulianFromCivil(2000, 0, 1, 12, 0, 0), 2451545.0);
    EXPECT_DOUBLE_EQ(Moon::JulianFromCivil(2000, 0, 1, 0, 0, 0), 2451544.5);
    EXPECT_DOUBLE_EQ(Moon::JulianFromCivil(-4712, 0, 1, 12, 0, 0), 0.0);
    EXPECT_DOUBLE_EQ(Moon::JulianFromCivil(1858, 10, 17, 0, 0, 0), 2400000.5);
    // 4 October 1582 (Julian) and 15 October 1582 (Gregorian) are consecutive days.
    EXPECT_DOUBLE_EQ(Moon::JulianFromCivil(1582, 9, 4, 12, 0, 0), 2299160.0);
    EXPECT_DOUBLE_EQ(Moon::JulianFromCivil(1582, 9, 15, 12, 0, 0), 2299161.0);
    // The correction starts on the 5th: the skipped days are numbered as Gregorian dates.
    EXPECT_DOUBLE_EQ(Moon::JulianFromCivil(1582, 9, 5, 0, 0, 0), Moon::JulianFromCivil(1582, 8, 25, 0, 0, 0));
    EXPECT_DOUBLE_EQ(Moon::JulianFromCivil(2024, 2, 10, 18, 30, 36), 2460380.0 + 6.51 / 24);

    std::tm time {};
    time.tm_year = 100;
    time.tm_mon = 0;
    time.tm_mday = 1;
    time.tm_hour = 18;
    EXPECT_DOUBLE_EQ(Moon::JulianFromTm(time), 2451545.25);
}

TEST(MoonJulianDays, CivilDateAroundTheReform)
{
    auto gregorian = Moon::CivilFromJulian(2299160.5);
    ASSERT_TRUE(gregorian);
    EXPECT_EQ(gregorian->year, 1582);
    EXPECT_EQ(gregorian->month, 10);
    EXPECT_EQ(gregorian->day, 15);

    auto julian = Moon::CivilFromJulian(2299159.5);
    ASSERT_TRUE(julian);
    EXPECT_EQ(julian->year, 1582);
    EXPECT_EQ(julian->month, 10);
    EXPECT_EQ(julian->day, 4);
}

TEST(MoonJulianDays, CivilDateInvertsJulianFromCivil)
{
    // Every 97th day across five millennia, on both sides of the reform.
    for (double jd = 1000000.5; jd < 2900000; jd += 97) {
        auto date = Moon::CivilFromJulian(jd);
        ASSERT_TRUE(date);
        EXPECT_DOUBLE_EQ(Moon::JulianFromCivil(date->year, date->month - 1, date->day, 0, 0, 0), jd)
            << date->year << "-" << date->month << "-" << date->day;
    }
}

TEST(MoonJulianDays, TimeOfDayRoundsToTheNearestSecond)
{
    auto noon = Moon::TimeFromJulian(2451545.0);
    ASSERT_TRUE(noon);
    EXPECT_EQ(noon->hour, 12);
    EXPECT_EQ(noon->minute, 0);
    EXPECT_EQ(noon->second, 0);

    auto evening = Moon::TimeFromJulian(2451545.0 + (6 * 3600 + 7 * 60 + 8.4) / 86400);
    ASSERT_TRUE(evening);
    EXPECT_EQ(evening->hour, 18);
    EXPECT_EQ(evening->minute, 7);
    EXPECT_EQ(evening->second, 8);

    // Less than half a second before midnight: 24:00:00, not 00:00:00 of the next day.
    auto midnight = Moon::TimeFromJulian(2451545.5 - 0.4 / 86400);
    ASSERT_TRUE(midnight);
    EXPECT_EQ(midnight->hour, 24);
    EXPECT_EQ(midnight->minute, 0);
    EXPECT_EQ(midnight->second, 0);
}

TEST(MoonJulianDays, Weekdays)
{
    EXPECT_EQ(Moon::WeekdayOfJulian(2451544.5), 6);  // 1 January 2000, a Saturday
    EXPECT_EQ(Moon::WeekdayOfJulian(2299160.5), 5);  // 15 October 1582, a Friday
    EXPECT_EQ(Moon::WeekdayOfJulian(2460676.5), 3);  // 1 January 2025, a Wednesday
    // Before the Julian epoch the weekdays go on in the same cycle.
    for (double jd = -20.5; jd < 20; jd += 1)
        EXPECT_EQ(Moon::WeekdayOfJulian(jd), (*Moon::WeekdayOfJulian(jd + 7 * 1000))) << jd;
}

TEST(MoonJulianDays, RejectsDaysWithoutACalendarDate)
{
    for (double jd : { Nan, Infinity, -Infinity, 1e300, -1e300, Moon::MaxJulianDay * 2 }) {
        EXPECT_FALSE(Moon::CivilFromJulian(jd)) << jd;
        EXPECT_FALSE(Moon::TimeFromJulian(jd)) << jd;
        EXPECT_FALSE(Moon::WeekdayOfJulian(jd)) << jd;
        EXPECT_FALSE(Moon::FindPhases(jd)) << jd;
    }
    EXPECT_TRUE(Moon::CivilFromJulian(-Moon::MaxJulianDay));
    // The phase search serves the historical range, from before the Julian epoch to year 10000.
    EXPECT_TRUE(Moon::FindPhases(0.0));
    EXPECT_TRUE(Moon::FindPhases(5373484.5));
    // Far out the secular terms outrun the lunation estimate: the bounded search gives up.
    EXPECT_FALSE(Moon::FindPhases(Moon::MaxJulianDay));
}

TEST(MoonKepler, SolvesKeplersEquation)
{
    for (double meanAnomaly : { 0.0, 1.0, 45.0, 179.9, 180.0, 270.0, 359.0, -30.0, 1000.0 }) {
        for (double eccentricity : { 0.0, 0.016718, 0.5, 0.9 }) {
            double e = Moon::Kepler(meanAnomaly, eccentricity);
            ASSERT_FALSE(std::isnan(e)) << meanAnomaly << " " << eccentricity;
            EXPECT_NEAR(e - eccentricity * std::sin(e), meanAnomaly * std::numbers::pi / 180, 1e-6)
                << meanAnomaly << " " << eccentricity;
        }
    }
}

TEST(MoonKepler, RejectsInputWithoutASolution)
{
    EXPECT_TRUE(std::isnan(Moon::Kepler(Nan, 0.1)));
    EXPECT_TRUE(std::isnan(Moon::Kepler(Infinity, 0.1)));
    EXPECT_TRUE(std::isnan(Moon::Kepler(10, Nan)));
    // An open orbit has no eccentric anomaly; the search must end, not spin.
    EXPECT_TRUE(std::isnan(Moon::Kepler(10, 1.0)));
    EXPECT_TRUE(std::isnan(Moon::Kepler(10, 5.0)));
    EXPECT_TRUE(std::isnan(Moon::Kepler(10, -0.1)));
}

struct PhaseMoment {
    int year, month, day, hour, minute;
};

double JulianOf(const PhaseMoment& moment)
{
    return Moon::JulianFromCivil(moment.year, moment.month - 1, moment.day, moment.hour, moment.minute, 0);
}

// Published times (UTC, to the minute) of the new and full moons of 2024.
constexpr PhaseMoment NewMoons2024[] = {
    { 2024, 1, 11, 11, 57 }, { 2024, 2, 9, 22, 59 },  { 2024, 3, 10, 9, 0 },   { 2024, 4, 8, 18, 21 },
    { 2024, 5, 8, 3, 22 },   { 2024, 6, 6, 12, 38 },  { 2024, 7, 5, 22, 57 },  { 2024, 8, 4, 11, 13 },
    { 2024, 9, 3, 1, 55 },   { 2024, 10, 2, 18, 49 }, { 2024, 11, 1, 12, 47 }, { 2024, 12, 1, 6, 21 },
    { 2024, 12, 30, 22, 27 },
};
constexpr PhaseMoment FullMoons2024[] = {
    { 2024, 1, 25, 17, 54 }, { 2024, 2, 24, 12, 30 }, { 2024, 3, 25, 7, 0 },   { 2024, 4, 23, 23, 49 },
    { 2024, 5, 23, 13, 53 }, { 2024, 6, 22, 1, 8 },   { 2024, 7, 21, 10, 17 }, { 2024, 8, 19, 18, 26 },
    { 2024, 9, 18, 2, 34 },  { 2024, 10, 17, 11, 26 }, { 2024, 11, 15, 21, 28 }, { 2024, 12, 15, 9, 2 },
};

// The truncated series reaches a few minutes: the worst case of 2024 is under three.
constexpr double PhaseTolerance = 5 * Minute;

double WorstPhaseError(const PhaseMoment* moments, size_t count, double phase)
{
    double worst = 0;
    for (size_t i = 0; i < count; ++i) {
        double published = JulianOf(moments[i]);
        double k = std::round((published - 2415020.75933) / Moon::SynodicMonth - phase);
        double error = std::fabs(Moon::TruePhase(k, phase) - published);
        EXPECT_LT(error, PhaseTolerance) << moments[i].month << "/" << moments[i].day << " off by "
                                         << error / Minute << " minutes";
        worst = std::max(worst, error);
    }
    return worst;
}

TEST(MoonPhases, NewAndFullMoonsOf2024MatchPublishedTimes)
{
    double worstNew = WorstPhaseError(NewMoons2024, std::size(NewMoons2024), 0.0);
    double worstFull = WorstPhaseError(FullMoons2024, std::size(FullMoons2024), 0.5);
    RecordProperty("worst_new_moon_minutes", std::to_string(worstNew / Minute));
    RecordProperty("worst_full_moon_minutes", std::to_string(worstFull / Minute));
}

TEST(MoonPhases, FindPhasesGivesTheLunationThatHoldsTheMoment)
{
    double moment = Moon::JulianFromCivil(2024, 3, 15, 0, 0, 0);  // 15 April 2024
    auto phases = Moon::FindPhases(moment);
    ASSERT_TRUE(phases);
    EXPECT_NEAR(phases->lastNewMoon, JulianOf({ 2024, 4, 8, 18, 21 }), PhaseTolerance);
    EXPECT_NEAR(phases->firstQuarter, JulianOf({ 2024, 4, 15, 19, 13 }), PhaseTolerance);
    EXPECT_NEAR(phases->fullMoon, JulianOf({ 2024, 4, 23, 23, 49 }), PhaseTolerance);
    EXPECT_NEAR(phases->lastQuarter, JulianOf({ 2024, 5, 1, 11, 27 }), PhaseTolerance);
    EXPECT_NEAR(phases->nextNewMoon, JulianOf({ 2024, 5, 8, 3, 22 }), PhaseTolerance);

    // Any moment of the century: ordered phases, the moment between the two new moons.
    for (double jd = 2451545.0; jd < 2488070.0; jd += 3.7) {
        auto p = Moon::FindPhases(jd);
        ASSERT_TRUE(p) << jd;
        EXPECT_LT(p->lastNewMoon, p->firstQuarter);
        EXPECT_LT(p->firstQuarter, p->fullMoon);
        EXPECT_LT(p->fullMoon, p->lastQuarter);
        EXPECT_LT(p->lastQuarter, p->nextNewMoon);
        EXPECT_NEAR(p->nextNewMoon - p->lastNewMoon, Moon::SynodicMonth, 0.6);
        // The search works on mean phases: the true new moon may lie up to half a day either side.
        EXPECT_LT(p->lastNewMoon, jd + 0.6);
        EXPECT_GT(p->nextNewMoon, jd - 0.6);
    }
}

// Every moment of the years the Date & Time page takes, 100 to 9999, gets the lunation that holds it
// (late in the tenth millennium the calendar's estimate of the lunation starts after the moment).
TEST(MoonPhases, FindPhasesCoversTheYears100To9999)
{
    const double first = Moon::JulianFromCivil(100, 0, 1, 0, 0, 0);
    const double last = Moon::JulianFromCivil(9999, 11, 31, 23, 59, 59);
    for (double jd = first; jd <= last; jd += 2.9) {
        auto p = Moon::FindPhases(jd);
        ASSERT_TRUE(p) << jd;
        ASSERT_LT(p->lastNewMoon, jd + 0.6) << jd;
        ASSERT_GT(p->nextNewMoon, jd - 0.6) << jd;
    }
}

TEST(MoonPhases, OtherPhaseValuesGiveTheMeanTime)
{
    double k = 1500;
    double mean = 2415020.75933 + Moon::SynodicMonth * (k + 0.1);
    EXPECT_NEAR(Moon::TruePhase(k, 0.1), mean, 0.01);
}

TEST(MoonState, FollowsTheLunation)
{
    auto atNew = Moon::ComputePhase(JulianOf({ 2024, 4, 8, 18, 21 }));
    ASSERT_TRUE(atNew);
    EXPECT_LT(atNew->illuminated, 0.002);
    EXPECT_TRUE(atNew->position < 0.01 || atNew->position > 0.99);

    auto atFull = Moon::ComputePhase(JulianOf({ 2024, 4, 23, 23, 49 }));
    ASSERT_TRUE(atFull);
    EXPECT_GT(atFull->illuminated, 0.998);
    EXPECT_NEAR(atFull->position, 0.5, 0.01);
    EXPECT_NEAR(atFull->age, 0.5 * Moon::SynodicMonth, 0.3);

    auto atQuarter = Moon::ComputePhase(JulianOf({ 2024, 4, 15, 19, 13 }));
    ASSERT_TRUE(atQuarter);
    EXPECT_NEAR(atQuarter->illuminated, 0.5, 0.03);
    EXPECT_NEAR(atQuarter->position, 0.25, 0.01);
}

TEST(MoonState, DistancesAndSizesStayPhysical)
{
    for (double jd = 2451545.0; jd < 2451545.0 + 3 * 365.25; jd += 0.77) {
        auto state = Moon::ComputePhase(jd);
        ASSERT_TRUE(state);
        EXPECT_GE(state->position, 0.0);
        EXPECT_LT(state->position, 1.0);
        EXPECT_NEAR(state->age, state->position * Moon::SynodicMonth, 1e-9);
        EXPECT_GT(state->distance, 355000);
        EXPECT_LT(state->distance, 408000);
        EXPECT_NEAR(state->angularDiameter * state->distance, 0.5181 * 384401, 1e-6);
        EXPECT_GT(state->sunDistance, 1.47e8);
        EXPECT_LT(state->sunDistance, 1.53e8);
        EXPECT_NEAR(state->sunAngularDiameter, 0.533128 * 1.495985e8 / state->sunDistance, 1e-9);
    }
}

TEST(MoonState, RejectsNonFiniteMoments)
{
    EXPECT_FALSE(Moon::ComputePhase(Nan));
    EXPECT_FALSE(Moon::ComputePhase(Infinity));
    EXPECT_FALSE(Moon::ComputePhase(-Infinity));
}

} // namespace
