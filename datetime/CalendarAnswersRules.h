#pragma once
// The rules behind the calendar answers: Easter and the feasts that hang on it, the national
// holidays of the United States, Canada, France and Ireland, the equinoxes and solstices, and the
// calendar and month weeks. Rules take a year and give a CDateValue, invalid when the date cannot
// be formed (a year beyond the day-number range).
// Weekdays are numbered 1 = Sunday .. 7 = Saturday.

#include "datecore/DateValue.h"
#include "platform/base/CString.h"

namespace Weekday {
constexpr int Sunday = 1;
constexpr int Monday = 2;
constexpr int Tuesday = 3;
constexpr int Wednesday = 4;
constexpr int Thursday = 5;
constexpr int Friday = 6;
constexpr int Saturday = 7;
} // namespace Weekday

// A day of the year, invalid beyond the day-number range.
CDateValue FixedDate(int year, int month, int day);

// Easter Sunday of the Gregorian calendar (the computus applies its rule to every year).
void EasterDate(int year, int& month, int& day);
CDateValue EasterSunday(int year);
// Easter Sunday moved by the given number of days (Good Friday is -2, Pentecost +49).
CDateValue EasterOffset(int year, int days);

// The n-th given weekday of a month, n = 1..4, or the last one for n = 5; invalid for other n,
// another weekday or month.
CDateValue NthWeekdayOfMonth(int year, int month, int n, int weekday);

// The holidays whose date moves from year to year.
CDateValue MartinLutherKingDay(int year);  // third Monday of January
CDateValue PresidentsDay(int year);        // 22 February until 1970, then the third Monday of February
CDateValue ArmedForcesDay(int year);       // third Saturday of May
CDateValue MemorialDay(int year);          // 30 May until 1970, then the last Monday of May
CDateValue LaborDay(int year);             // first Monday of September
CDateValue ColumbusDay(int year);          // second Monday of October
CDateValue ElectionDay(int year);          // the Tuesday after the first Monday of November
CDateValue VeteransDay(int year);          // 11 November; the fourth Monday of October 1971..1977
CDateValue ThanksgivingDay(int year);      // fourth Thursday of November

enum class SeasonEvent { VernalEquinox, SummerSolstice, AutumnalEquinox, WinterSolstice };
// The mean time of the event as a Julian ephemeris day (no periodic terms, no Delta T).
double SeasonJulianDay(int year, SeasonEvent event);

// "dd-mm-yyyy hh:mm GMT" for a Julian day; hours and minutes are cut, not rounded.
CString JulianDayToDateText(double julianDay);

// The locale's first-day-of-week setting ("0" Monday .. "6" Sunday) as a weekday; Monday when the
// setting is anything else.
int FirstWeekdayFromSetting(const CString& setting);
// The week of the year counted from the year's first day that falls on firstWeekday; days
// before it are in week 0. Not the ISO 8601 week.
int CalendarWeek(CDateValue date, int firstWeekday);
// The same, counted from the first such day of the date's month.
int MonthWeek(CDateValue date, int firstWeekday);
