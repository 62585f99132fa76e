#include "datetime/MoonAstronomy.h"

#include <cmath>

namespace {

constexpr double RadiansPerDegree = 0.017453292519944444;
constexpr double DegreesPerRadian = 57.29577951307855;

double dtr(double degrees) { return degrees * RadiansPerDegree; }
double fixangle(double degrees) { return degrees - 360.0 * std::floor(degrees / 360.0); }

// Epoch of the orbital elements: 1980 January 0.0.
constexpr double Epoch1980 = 2444238.5;

// Sun's orbit.
constexpr double SunEclipticLongitudeAtEpoch = 278.83354;
constexpr double SunPerigeeLongitude = 282.596403;
constexpr double EarthOrbitEccentricity = 0.016718;
constexpr double SunSemiMajorAxis = 1.495985e8;  // km
constexpr double SunAngularSizeAtSemiMajorAxis = 0.533128;

// Moon's orbit.
constexpr double MoonMeanLongitudeAtEpoch = 64.975464;
constexpr double MoonPerigeeLongitudeAtEpoch = 349.383063;
constexpr double MoonOrbitEccentricity = 0.0549;
constexpr double MoonSemiMajorAxis = 384401.0;  // km
constexpr double MoonAngularSizeAtSemiMajorAxis = 0.5181;

// Kepler's equation converges in a handful of steps for any orbit of the solar system; the bound
// only keeps a pathological argument from spinning.
constexpr int MaxKeplerSteps = 100;
// From 45 days before the moment the lunation that holds it is at most three steps away.
constexpr int MaxLunationSteps = 16;

double MeanNewMoon(double k, double t)
{
    return 2415020.75933 + CMoonAstronomy::SynodicMonth * k + 0.0001178 * t * t - 0.000000155 * t * t * t
        + 0.00033 * std::sin(dtr(166.56 + 132.87 * t - 0.009173 * t * t));
}

} // namespace

bool CMoonAstronomy::IsSupportedJulianDay(double jd)
{
    return std::isfinite(jd) && std::fabs(jd) <= MaxJulianDay;
}

double CMoonAstronomy::JulianFromCivil(int year, int month, int day, int hour, int minute, int second)
{
    double y = year;
    double m = month + 1.0;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    // The reform is taken to start on 5 October 1582 (the first day that the Julian calendar skipped).
    double correction = 0;
    if (year > 1582 || (year == 1582 && (month > 9 || (month == 9 && day >= 5)))) {
        double century = std::trunc(y / 100);
        correction = 2 - century + std::trunc(century / 4);
    }
    double secondsOfDay = second + 60.0 * (minute + 60.0 * hour);
    return std::trunc(365.25 * (y + 4716)) + std::trunc(30.6001 * (m + 1)) + day + correction - 1524.5
        + secondsOfDay / 86400.0;
}

double CMoonAstronomy::JulianFromTm(const std::tm& time)
{
    return JulianFromCivil(time.tm_year + 1900, time.tm_mon, time.tm_mday, time.tm_hour, time.tm_min,
                           time.tm_sec);
}

std::optional<MoonCivilDate> CMoonAstronomy::CivilFromJulian(double jd)
{
    if (!IsSupportedJulianDay(jd))
        return std::nullopt;
    double j = jd + 0.5;
    double z = std::floor(j);
    double f = j - z;
    double a = z;
    if (z >= 2299161) {
        double alpha = std::floor((z - 1867216.25) / 36524.25);
        a = z + 1 + alpha - std::floor(alpha / 4);
    }
    double b = a + 1524;
    double c = std::floor((b - 122.1) / 365.25);
    double d = std::floor(365.25 * c);
    double e = std::floor((b - d) / 30.6001);

    MoonCivilDate date;
    date.day = static_cast<int>(b - d - std::floor(30.6001 * e) + f);
    date.month = static_cast<int>(e < 14 ? e - 1 : e - 13);
    date.year = static_cast<int>(date.month > 2 ? c - 4716 : c - 4715);
    return date;
}

std::optional<MoonClockTime> CMoonAstronomy::TimeFromJulian(double jd)
{
    if (!IsSupportedJulianDay(jd))
        return std::nullopt;
    double j = jd + 0.5;
    int seconds = static_cast<int>((j - std::floor(j)) * 86400 + 0.5);
    return MoonClockTime { seconds / 3600, (seconds / 60) % 60, seconds % 60 };
}

std::optional<int> CMoonAstronomy::WeekdayOfJulian(double jd)
{
    if (!IsSupportedJulianDay(jd))
        return std::nullopt;
    // floor and a non-negative remainder, so that days before the Julian epoch get a weekday too.
    long long days = static_cast<long long>(std::floor(jd + 1.5));
    return static_cast<int>(((days % 7) + 7) % 7);
}

double CMoonAstronomy::MeanPhase(double date, double k)
{
    double t = (date - 2415020.0) / 36525;
    return MeanNewMoon(k, t);
}

double CMoonAstronomy::TruePhase(double k, double phase)
{
    k += phase;
    double t = k / 1236.85;
    double t2 = t * t;
    double t3 = t2 * t;
    double pt = MeanNewMoon(k, t);

    double m = dtr(359.2242 + 29.10535608 * k - 0.0000333 * t2 - 0.00000347 * t3);
    double mprime = dtr(306.0253 + 385.81691806 * k + 0.0107306 * t2 + 0.00001236 * t3);
    double f = dtr(21.2964 + 390.67050646 * k - 0.0016528 * t2 - 0.00000239 * t3);

    if (phase < 0.01 || std::fabs(phase - 0.5) < 0.01) {
        pt += (0.1734 - 0.000393 * t) * std::sin(m) + 0.0021 * std::sin(2 * m) - 0.4068 * std::sin(mprime)
            + 0.0161 * std::sin(2 * mprime) - 0.0004 * std::sin(3 * mprime) + 0.0104 * std::sin(2 * f)
            - 0.0051 * std::sin(m + mprime) - 0.0074 * std::sin(m - mprime) + 0.0004 * std::sin(2 * f + m)
            - 0.0004 * std::sin(2 * f - m) - 0.0006 * std::sin(2 * f + mprime)
            + 0.0010 * std::sin(2 * f - mprime) + 0.0005 * std::sin(m + 2 * mprime);
    } else if (std::fabs(phase - 0.25) < 0.01 || std::fabs(phase - 0.75) < 0.01) {
        pt += (0.1721 - 0.0004 * t) * std::sin(m) + 0.0021 * std::sin(2 * m) - 0.6280 * std::sin(mprime)
            + 0.0089 * std::sin(2 * mprime) - 0.0004 * std::sin(3 * mprime) + 0.0079 * std::sin(2 * f)
            - 0.0119 * std::sin(m + mprime) - 0.0047 * std::sin(m - mprime) + 0.0003 * std::sin(2 * f + m)
            - 0.0004 * std::sin(2 * f - m) - 0.0006 * std::sin(2 * f + mprime)
            + 0.0021 * std::sin(2 * f - mprime) + 0.0003 * std::sin(m + 2 * mprime)
            + 0.0004 * std::sin(m - 2 * mprime) - 0.0003 * std::sin(2 * m + mprime);
        if (phase < 0.5)
            pt += 0.0028 - 0.0004 * std::cos(m) + 0.0003 * std::cos(mprime);
        else
            pt += -0.0028 + 0.0004 * std::cos(m) - 0.0003 * std::cos(mprime);
    }
    return pt;
}

double CMoonAstronomy::Kepler(double meanAnomaly, double eccentricity)
{
    if (!std::isfinite(meanAnomaly) || !(eccentricity >= 0 && eccentricity < 1))
        return std::nan("");
    double m = dtr(meanAnomaly);
    double e = m;
    for (int step = 0; step < MaxKeplerSteps; ++step) {
        double delta = e - eccentricity * std::sin(e) - m;
        e -= delta / (1 - eccentricity * std::cos(e));
        if (std::fabs(delta) <= 1e-6)
            return e;
    }
    return std::nan("");
}

std::optional<MoonState> CMoonAstronomy::ComputePhase(double jd)
{
    if (!std::isfinite(jd))
        return std::nullopt;
    double day = jd - Epoch1980;

    // The sun.
    double meanLongitude = fixangle(day * (360.0 / 365.2422));
    double sunMeanAnomaly = fixangle(meanLongitude + SunEclipticLongitudeAtEpoch - SunPerigeeLongitude);
    double eccentricAnomaly = Kepler(sunMeanAnomaly, EarthOrbitEccentricity);
    if (std::isnan(eccentricAnomaly))
        return std::nullopt;
    double trueAnomaly = 2 * DegreesPerRadian
        * std::atan(std::sqrt((1 + EarthOrbitEccentricity) / (1 - EarthOrbitEccentricity))
                    * std::tan(eccentricAnomaly / 2));
    double sunLongitude = fixangle(trueAnomaly + SunPerigeeLongitude);
    double sunDistanceFactor = (1 + EarthOrbitEccentricity * std::cos(dtr(trueAnomaly)))
        / (1 - EarthOrbitEccentricity * EarthOrbitEccentricity);

    // The moon.
    double moonLongitude = fixangle(13.1763966 * day + MoonMeanLongitudeAtEpoch);
    double moonMeanAnomaly = fixangle(moonLongitude - 0.1114041 * day - MoonPerigeeLongitudeAtEpoch);
    double evection = 1.2739 * std::sin(dtr(2 * (moonLongitude - sunLongitude) - moonMeanAnomaly));
    double annualEquation = 0.1858 * std::sin(dtr(sunMeanAnomaly));
    double thirdCorrection = 0.37 * std::sin(dtr(sunMeanAnomaly));
    double correctedAnomaly = moonMeanAnomaly + evection - annualEquation - thirdCorrection;
    double centreEquation = 6.2886 * std::sin(dtr(correctedAnomaly));
    double fourthCorrection = 0.214 * std::sin(dtr(2 * correctedAnomaly));
    double correctedLongitude = moonLongitude + evection + centreEquation - annualEquation + fourthCorrection;
    double variation = 0.6583 * std::sin(dtr(2 * (correctedLongitude - sunLongitude)));
    double ageAngle = correctedLongitude + variation - sunLongitude;

    MoonState state;
    state.illuminated = (1 - std::cos(dtr(ageAngle))) / 2;
    state.position = fixangle(ageAngle) / 360;
    state.age = SynodicMonth * state.position;
    state.distance = MoonSemiMajorAxis * (1 - MoonOrbitEccentricity * MoonOrbitEccentricity)
        / (1 + MoonOrbitEccentricity * std::cos(dtr(correctedAnomaly + centreEquation)));
    state.angularDiameter = MoonAngularSizeAtSemiMajorAxis / (state.distance / MoonSemiMajorAxis);
    state.sunDistance = SunSemiMajorAxis / sunDistanceFactor;
    state.sunAngularDiameter = sunDistanceFactor * SunAngularSizeAtSemiMajorAxis;
    return state;
}

std::optional<MoonPhaseTimes> CMoonAstronomy::FindPhases(double jd)
{
    if (!IsSupportedJulianDay(jd))
        return std::nullopt;
    double adate = jd - 45;
    auto start = CivilFromJulian(adate);
    if (!start)
        return std::nullopt;
    double k1 = std::floor((start->year + (start->month - 1) / 12.0 - 1900) * 12.3685);
    double t1 = MeanPhase(adate, k1);
    // The mean lunation drifts from the calendar estimate of k1 over the centuries (late in the tenth
    // millennium it starts after the moment): step back until the first lunation starts before it.
    for (int step = 0; step < MaxLunationSteps && !(t1 <= jd); ++step) {
        adate -= SynodicMonth;
        k1 -= 1;
        t1 = MeanPhase(adate, k1);
    }
    if (!(t1 <= jd))
        return std::nullopt;
    for (int step = 0; step < MaxLunationSteps; ++step) {
        adate += SynodicMonth;
        double k2 = k1 + 1;
        double t2 = MeanPhase(adate, k2);
        if (t1 <= jd && jd < t2) {
            return MoonPhaseTimes { TruePhase(k1, 0), TruePhase(k1, 0.25), TruePhase(k1, 0.5),
                                    TruePhase(k1, 0.75), TruePhase(k2, 0) };
        }
        t1 = t2;
        k1 = k2;
    }
    return std::nullopt;
}
