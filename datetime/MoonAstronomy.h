#pragma once
// The astronomy behind the moon clock: Julian days of its own (UTC, with the 1582 calendar reform),
// the moon's phase, age, distance and apparent size, and the times of the principal phases.
// Everything here is a pure function of its arguments; angles are in degrees unless noted.
//
// Functions that turn a Julian day into calendar fields only accept days of the supported range
// (IsSupportedJulianDay): beyond it the fields would not fit an int, and non-finite input has no date.

#include <ctime>
#include <optional>

struct MoonCivilDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;
};

struct MoonClockTime {
    int hour = 0;  // 0..24: a moment less than half a second before midnight rounds to 24:00:00
    int minute = 0;
    int second = 0;
};

// The state of moon and sun at one moment, as ComputePhase finds it.
struct MoonState {
    double position = 0;            // place in the lunation, 0 (new) .. 0.5 (full) .. 1
    double illuminated = 0;         // illuminated fraction of the disc, 0..1
    double age = 0;                 // days since the new moon
    double distance = 0;            // km, centre to centre
    double angularDiameter = 0;     // degrees
    double sunDistance = 0;         // km
    double sunAngularDiameter = 0;  // degrees
};

// The principal phases around a moment: the lunation that holds it, from new moon to new moon.
struct MoonPhaseTimes {
    double lastNewMoon = 0;
    double firstQuarter = 0;
    double fullMoon = 0;
    double lastQuarter = 0;
    double nextNewMoon = 0;
};

class CMoonAstronomy {
public:
    static constexpr double SynodicMonth = 29.53058868;  // days
    // The range of Julian days that the calendar conversions accept: about 2.7 million years.
    static constexpr double MaxJulianDay = 1.0e9;

    static bool IsSupportedJulianDay(double jd);

    // month is 0..11. Dates from 5 October 1582 on get the Gregorian correction.
    static double JulianFromCivil(int year, int month, int day, int hour, int minute, int second);
    // Uses tm_sec, tm_min, tm_hour, tm_mday, tm_mon (0..11) and tm_year (years since 1900).
    static double JulianFromTm(const std::tm& time);

    static std::optional<MoonCivilDate> CivilFromJulian(double jd);
    static std::optional<MoonClockTime> TimeFromJulian(double jd);
    // 0 = Sunday .. 6 = Saturday.
    static std::optional<int> WeekdayOfJulian(double jd);

    // The mean new moon of lunation k (k counted from January 1900), corrected for the epoch of date.
    static double MeanPhase(double date, double k);
    // The true time of a phase of lunation k: phase 0 new moon, 0.25 first quarter, 0.5 full moon,
    // 0.75 last quarter; any other phase gives the uncorrected mean time.
    static double TruePhase(double k, double phase);

    // Solves Kepler's equation for the eccentric anomaly (radians) from the mean anomaly (degrees).
    // Returns NaN for non-finite input, an eccentricity outside [0, 1) or no convergence.
    static double Kepler(double meanAnomaly, double eccentricity);

    // Nothing for a non-finite Julian day.
    static std::optional<MoonState> ComputePhase(double jd);
    // Nothing for a Julian day outside the supported range.
    static std::optional<MoonPhaseTimes> FindPhases(double jd);
};
