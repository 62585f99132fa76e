#pragma once
// The answers of the Date & Time page's question menus ("Day", "Month", "Week", "Year", "Season",
// "Epoch", "Feast", "Moon"): one line of text for the date set on the page. Dates are written with
// the user's date conventions (CurrentDateLocale) and "now" is read from the clock.

#include "datecore/DateValue.h"
#include "platform/base/Array.h"
#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <optional>

// The command ids of the question menus.
namespace CalendarCommand {
constexpr UINT AshWednesday = 9100;
constexpr UINT BastilleDay = 9101;
constexpr UINT CanadaDay = 9105;
constexpr UINT ChristmasDay = 9106;
constexpr UINT CurrentDayOfWeek = 9108;
constexpr UINT CurrentYear = 9110;
constexpr UINT DaysInMonth = 9111;
constexpr UINT DaysInYear = 9112;
constexpr UINT DaysSince0Jan = 9113;
constexpr UINT DaysSince31Dec = 9114;
constexpr UINT EasterSunday = 9115;
constexpr UINT Epoch1900 = 9119;
constexpr UINT Epoch1950 = 9120;
constexpr UINT Epoch2000 = 9121;
constexpr UINT EpochCTime = 9122;
constexpr UINT GetAbrStringMonth = 9124;
constexpr UINT GetBeginingDayOfWeek = 9126;
constexpr UINT GetDayNoOfWeek = 9127;
constexpr UINT GetWeekday = 9129;
constexpr UINT GetFullStringMonth = 9130;
constexpr UINT GetWeekOfMonth = 9131;
constexpr UINT GetWeekOfYear = 9132;
constexpr UINT GoodFriday = 9133;
constexpr UINT GregorianEpoch = 9134;
constexpr UINT USIndependenceDay = 9135;
constexpr UINT IsLeapYear = 9138;
constexpr UINT JDEpoch = 9140;
constexpr UINT MJDEpoch = 9142;
constexpr UINT NewYearsDay = 9143;
constexpr UINT StPatricksDay = 9150;
constexpr UINT ValentinesDay = 9151;
constexpr UINT VernalEquinox = 9152;
constexpr UINT SummerSolstice = 9153;
constexpr UINT AutumnalEquinox = 9154;
constexpr UINT MartinLutherKingDay = 9155;
constexpr UINT USPresidentsDay = 9156;
constexpr UINT USArmedForcesDay = 9157;
constexpr UINT USMemorialDay = 9158;
constexpr UINT USFlagDay = 9159;
constexpr UINT USLaborDay = 9160;
constexpr UINT USColumbusDay = 9161;
constexpr UINT USElectionDay = 9162;
constexpr UINT USVeteransDay = 9163;
constexpr UINT USThanksgivingDay = 9164;
constexpr UINT PalmSunday = 9165;
constexpr UINT MaundyThursday = 9166;
constexpr UINT FeastOfTheAscension = 9167;
constexpr UINT FeastOfTheAnnunciation = 9168;
constexpr UINT ShroveTuesday = 9169;
constexpr UINT Pentecost = 9170;
constexpr UINT JulianDate = 9171;
constexpr UINT UniversalTime = 9172;
constexpr UINT LocalTime = 9173;
constexpr UINT AgeOfMoon = 9174;
constexpr UINT MoonPhase = 9175;
constexpr UINT MoonsDistance = 9176;
constexpr UINT MoonSubtends = 9177;
constexpr UINT LastNewMoon = 9180;
constexpr UINT FirstQuarter = 9181;
constexpr UINT FullMoon = 9182;
constexpr UINT LastQuarter = 9183;
constexpr UINT NextNewMoon = 9184;
constexpr UINT WinterSolstice = 9186;

constexpr UINT First = 9100;
constexpr UINT Last = 9186;
} // namespace CalendarCommand

// The answer to a question about the selected date. moonLines are the moon clock's info lines
// (Julian date, universal time, local time, age, phase, distance, apparent size, last new moon,
// first quarter, full moon, last quarter, next new moon), or null before the clock has drawn.
// Nothing for an invalid date, a command without an answer or a moon line that is not there yet;
// the page then leaves its result as it was.
std::optional<CString> CalendarAnswer(UINT commandId, CDateValue selected, const CStringArray* moonLines);
