#include "datetime/CalendarAnswers.h"

#include "datetime/CalendarAnswersFormat.h"
#include "datetime/CalendarAnswersRules.h"
#include "datecore/Clock.h"
#include "datecore/DateLocale.h"

#include <cstdarg>
#include <exception>
#include <iterator>

namespace {

namespace Command = CalendarCommand;

template <int Offset>
CDateValue FromEaster(int year) { return EasterOffset(year, Offset); }

template <int Month, int Day>
CDateValue Fixed(int year) { return FixedDate(year, Month, Day); }

// The feasts and holidays: "<label>: <date>".
struct FeastRule {
    UINT command;
    const wchar_t* label;
    CDateValue (*date)(int year);
};

constexpr FeastRule FeastRules[] = {
    { Command::NewYearsDay, L"New Years Day", Fixed<1, 1> },
    { Command::ValentinesDay, L"Valentines Day", Fixed<2, 14> },
    { Command::AshWednesday, L"Ash Wednesday", FromEaster<-46> },
    { Command::StPatricksDay, L"St Patricks Day", Fixed<3, 17> },
    { Command::GoodFriday, L"Good Friday", FromEaster<-2> },
    { Command::EasterSunday, L"Easter Sunday", FromEaster<0> },
    { Command::Pentecost, L"Pentecost", FromEaster<49> },
    { Command::PalmSunday, L"Palm Sunday", FromEaster<-7> },
    { Command::MaundyThursday, L"Maundy Thursday", FromEaster<-3> },
    { Command::FeastOfTheAscension, L"Feast of the Ascension", FromEaster<39> },
    { Command::FeastOfTheAnnunciation, L"Feast of the Annunciation", Fixed<3, 25> },
    { Command::ShroveTuesday, L"Shrove Tuesday", FromEaster<-47> },
    { Command::ChristmasDay, L"Christmas Day", Fixed<12, 25> },
    { Command::CanadaDay, L"Canada Day", Fixed<7, 1> },
    { Command::BastilleDay, L"Bastille Day", Fixed<7, 14> },
    { Command::MartinLutherKingDay, L"Martin Luther King Day", MartinLutherKingDay },
    { Command::USIndependenceDay, L"US Independ. Day", Fixed<7, 4> },
    { Command::USPresidentsDay, L"US Presidents Day", PresidentsDay },
    { Command::USArmedForcesDay, L"US Armed Forces Day", ArmedForcesDay },
    { Command::USMemorialDay, L"US Memorial Day", MemorialDay },
    { Command::USFlagDay, L"US Flag Day", Fixed<6, 14> },
    { Command::USLaborDay, L"US Labor Day", LaborDay },
    { Command::USColumbusDay, L"US Columbus Day", ColumbusDay },
    { Command::USElectionDay, L"US Election Day", ElectionDay },
    { Command::USVeteransDay, L"US Veterans Day", VeteransDay },
    { Command::USThanksgivingDay, L"US Thanksgiving Day", ThanksgivingDay },
};

// The epochs: "<label>" followed by the date of a fixed day number.
struct EpochRule {
    UINT command;
    const wchar_t* label;
    std::int32_t dayNumber;
};

constexpr EpochRule EpochRules[] = {
    { Command::JDEpoch, L"Julian Epoch is ", -2299161 },       // 24 November 4714 BC (Gregorian)
    { Command::MJDEpoch, L"Modified JD Epoch is ", 100839 },   // 16 November 1858, the day of JD 2400000
    { Command::Epoch1900, L"The 1900 Epoch is ", 115860 },
    { Command::Epoch1950, L"The 1950 Epoch is ", 134122 },
    { Command::EpochCTime, L"The CTime Epoch is ", 141427 },
    { Command::Epoch2000, L"The 2000 Epoch is ", 152384 },
    { Command::GregorianEpoch, L"The Gregorian Epoch is ", 0 },
};

struct SeasonRule {
    UINT command;
    SeasonEvent event;
};

constexpr SeasonRule SeasonRules[] = {
    { Command::VernalEquinox, SeasonEvent::VernalEquinox },
    { Command::SummerSolstice, SeasonEvent::SummerSolstice },
    { Command::AutumnalEquinox, SeasonEvent::AutumnalEquinox },
    { Command::WinterSolstice, SeasonEvent::WinterSolstice },
};

// The moon items in the order of the moon clock's info lines.
constexpr UINT MoonLineCommands[] = {
    Command::JulianDate, Command::UniversalTime, Command::LocalTime,   Command::AgeOfMoon,
    Command::MoonPhase,  Command::MoonsDistance, Command::MoonSubtends, Command::LastNewMoon,
    Command::FirstQuarter, Command::FullMoon,    Command::LastQuarter, Command::NextNewMoon,
};

CString Formatted(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    CString text;
    text.FormatV(format, args);
    va_end(args);
    return text;
}

// The English name of the locale's first day of the week; empty for a setting that names none.
CString WeekStartName(const CString& setting)
{
    static const wchar_t* const Names[] = { L"Monday", L"Tuesday", L"Wednesday", L"Thursday",
                                            L"Friday", L"Saturday", L"Sunday" };
    if (setting.GetLength() != 1 || setting[0] < L'0' || setting[0] > L'6')
        return CString();
    return Names[setting[0] - L'0'];
}

int CurrentYear()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wYear;
}

std::optional<CString> MoonLine(UINT commandId, const CStringArray* moonLines)
{
    for (int index = 0; index < static_cast<int>(std::size(MoonLineCommands)); ++index) {
        if (MoonLineCommands[index] != commandId)
            continue;
        if (!moonLines || index >= moonLines->GetSize() || moonLines->GetAt(index).IsEmpty())
            return std::nullopt;
        return moonLines->GetAt(index);
    }
    return std::nullopt;
}

std::optional<CString> DateFactAnswer(UINT commandId, CDateValue selected, const DateLocale& locale,
                                      const CString& pattern)
{
    CalendarDate date = selected.GetCalendarDate();
    int firstWeekday = FirstWeekdayFromSetting(locale.FirstDayOfWeekSetting());
    switch (commandId) {
    case Command::GetWeekday:
        return L"Today is " + locale.dayNames[date.weekday - 1];
    case Command::GetDayNoOfWeek:
        return Formatted(L"Todays day of week is %d", date.weekday);
    case Command::DaysInYear:
        return Formatted(L"Days in Year %d are %d", date.year, ::DaysInYear(date.year));
    case Command::DaysInMonth:
        return Formatted(L"Days in Month %d are %d", date.month, ::DaysInMonth(date.year, date.month));
    case Command::DaysSince31Dec:
        return Formatted(L"Days since 1.1.%d are %d", date.year, date.dayOfYear - 1);
    case Command::DaysSince0Jan:
        return Formatted(L"Days since 31.12.%d are %d", date.year - 1, date.dayOfYear);
    case Command::GetFullStringMonth:
        return L"We have " + locale.monthNames[date.month - 1];
    case Command::GetAbrStringMonth:
        return L"We have " + locale.abbreviatedMonthNames[date.month - 1];
    case Command::CurrentDayOfWeek:
        return L"Current day of week: " + FormatDate(selected, pattern, locale);
    case Command::GetBeginingDayOfWeek:
        return L"Week begins with " + WeekStartName(locale.FirstDayOfWeekSetting());
    case Command::GetWeekOfYear:
        return Formatted(L"The Calendar Week is %d", CalendarWeek(selected, firstWeekday));
    case Command::GetWeekOfMonth:
        return Formatted(L"The Month Week is %d", MonthWeek(selected, firstWeekday));
    case Command::CurrentYear:
        return Formatted(L"The Current Year is %ld", static_cast<long>(date.year));
    case Command::IsLeapYear: {
        const wchar_t* tense = date.year < CurrentYear() ? L"was" : L"is";
        const wchar_t* format = ::IsLeapYear(date.year) ? L"%ld %s a Leap Year" : L"%ld %s not a Leap Year";
        return Formatted(format, static_cast<long>(date.year), tense);
    }
    default:
        return std::nullopt;
    }
}

std::optional<CString> BuildAnswer(UINT commandId, CDateValue selected, const CStringArray* moonLines)
{
    DateLocale locale = CurrentDateLocale();
    CString pattern = BuildDatePattern(locale);
    int year = selected.GetYear();

    for (const FeastRule& rule : FeastRules) {
        if (rule.command == commandId)
            return CString(rule.label) + L": " + FormatDate(rule.date(year), pattern, locale);
    }
    for (const EpochRule& rule : EpochRules) {
        if (rule.command == commandId)
            return CString(rule.label) + FormatDate(CDateValue::FromDayNumber(rule.dayNumber), pattern, locale);
    }
    for (const SeasonRule& rule : SeasonRules) {
        if (rule.command == commandId)
            return JulianDayToDateText(SeasonJulianDay(year, rule.event));
    }
    if (auto line = MoonLine(commandId, moonLines))
        return line;
    return DateFactAnswer(commandId, selected, locale, pattern);
}

} // namespace

std::optional<CString> CalendarAnswer(UINT commandId, CDateValue selected, const CStringArray* moonLines)
{
    if (!selected.IsValid())
        return std::nullopt;
    // A failure while the answer is built ends the command without output.
    try {
        return BuildAnswer(commandId, selected, moonLines);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}
