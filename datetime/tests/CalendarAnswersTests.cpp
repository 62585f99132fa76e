#include "datetime/CalendarAnswers.h"
#include "datetime/CalendarAnswersFormat.h"
#include "datecore/Clock.h"
#include "datecore/DateLocale.h"

#include <gtest/gtest.h>

#include <ostream>

// Readable failure messages for date texts.
inline void PrintTo(const CString& text, std::ostream* out) { *out << '"' << text.ToUtf8() << '"'; }

namespace {

namespace Command = CalendarCommand;

DateLocale WithShortDate(const wchar_t* pattern, DateLocale locale = DateLocale::Default())
{
    locale.shortDatePattern = pattern;
    return locale;
}

TEST(CalendarDatePattern, FollowsTheLocalesShortDate)
{
    EXPECT_EQ(BuildDatePattern(DateLocale::Default()), L"%d.%m.%Y");
    EXPECT_EQ(BuildDatePattern(DateLocale::UnitedStates()), L"%m/%d/%Y");
    EXPECT_EQ(BuildDatePattern(WithShortDate(L"%Y-%m-%d")), L"%Y-%m-%d");
    EXPECT_EQ(BuildDatePattern(WithShortDate(L"%e/%-m/%y")), L"%#d/%#m/%y");
    EXPECT_EQ(BuildDatePattern(WithShortDate(L"%d/%m/%Y")), L"%d/%m/%Y");
}

TEST(CalendarDateFormatter, EveryCode)
{
    DateLocale locale = DateLocale::Default();
    CDateValue date(2024, 3, 5);  // a Tuesday, day 65 of the year, in calendar week 10 (weeks from Monday)
    EXPECT_EQ(FormatDate(date, L"%d|%#d|%m|%#m|%y|%#y|%Y|%j|%#j|%w|%U", locale), L"05|5|03|3|24|24|2024|065|65|3|10");
    EXPECT_EQ(FormatDate(date, L"%A %a %B %b", locale), L"Tuesday Tue March Mar");
    EXPECT_EQ(FormatDate(date, L"%x / %#x", locale), L"05.03.2024 / Tuesday, 5 March 2024");
    EXPECT_EQ(FormatDate(CDateValue(2009, 1, 1), L"%y %#y %U", locale), L"09 9 00");
}

TEST(CalendarDateFormatter, OtherTextStaysAsItIs)
{
    DateLocale locale = DateLocale::Default();
    CDateValue date(2024, 3, 5);
    EXPECT_EQ(FormatDate(date, L"Day %d of 100%", locale), L"Day 05 of 100%");
    EXPECT_EQ(FormatDate(date, L"%q %#q %% %#", locale), L"%q %#q %% %#");
    EXPECT_EQ(FormatDate(date, L"", locale), L"");
}

TEST(CalendarDateFormatter, YearsOfAnyLength)
{
    DateLocale locale = DateLocale::Default();
    EXPECT_EQ(FormatDate(CDateValue(5, 7, 9), L"%d.%m.%Y %y", locale), L"09.07.5 05");
    EXPECT_EQ(FormatDate(CDateValue(-45, 1, 1), L"%Y %y", locale), L"-45 45");
    EXPECT_EQ(FormatDate(CDateValue(12345, 12, 31), L"%Y %j", locale), L"12345 365");
}

TEST(CalendarDateFormatter, InvalidDateGivesNoText)
{
    EXPECT_EQ(FormatDate(CDateValue(), L"%d.%m.%Y", DateLocale::Default()), L"");
}

class CalendarAnswers : public ::testing::Test {
protected:
    // 1 June 2026, noon UTC, in a day-month-year locale with "/" and weeks from Monday.
    ScopedFixedClock m_clock { 1780315200, FixedOffsetZone(0) };
    ScopedDateLocale m_locale { WithShortDate(L"%d/%m/%Y") };

    static std::string Answer(UINT command, CDateValue date, const CStringArray* moonLines = nullptr)
    {
        std::optional<CString> answer = CalendarAnswer(command, date, moonLines);
        return answer ? answer->ToUtf8() : "<none>";
    }
};

TEST_F(CalendarAnswers, FeastsOfTheSelectedYear)
{
    struct Case {
        UINT command;
        CDateValue date;
        const char* answer;
    };
    const Case cases[] = {
        { Command::EasterSunday, CDateValue(2008, 7, 1), "Easter Sunday: 23/03/2008" },
        { Command::AshWednesday, CDateValue(2008, 1, 1), "Ash Wednesday: 06/02/2008" },
        { Command::ShroveTuesday, CDateValue(2008, 1, 1), "Shrove Tuesday: 05/02/2008" },
        { Command::PalmSunday, CDateValue(2008, 1, 1), "Palm Sunday: 16/03/2008" },
        { Command::MaundyThursday, CDateValue(2008, 1, 1), "Maundy Thursday: 20/03/2008" },
        { Command::GoodFriday, CDateValue(2008, 1, 1), "Good Friday: 21/03/2008" },
        { Command::Pentecost, CDateValue(2008, 12, 31), "Pentecost: 11/05/2008" },
        { Command::FeastOfTheAscension, CDateValue(2008, 1, 1), "Feast of the Ascension: 01/05/2008" },
        { Command::FeastOfTheAnnunciation, CDateValue(2008, 1, 1), "Feast of the Annunciation: 25/03/2008" },
        { Command::NewYearsDay, CDateValue(2025, 6, 1), "New Years Day: 01/01/2025" },
        { Command::ValentinesDay, CDateValue(2025, 6, 1), "Valentines Day: 14/02/2025" },
        { Command::StPatricksDay, CDateValue(2025, 6, 1), "St Patricks Day: 17/03/2025" },
        { Command::ChristmasDay, CDateValue(2025, 6, 1), "Christmas Day: 25/12/2025" },
        { Command::CanadaDay, CDateValue(2025, 6, 1), "Canada Day: 01/07/2025" },
        { Command::BastilleDay, CDateValue(2025, 6, 1), "Bastille Day: 14/07/2025" },
        { Command::MartinLutherKingDay, CDateValue(2008, 6, 1), "Martin Luther King Day: 21/01/2008" },
        { Command::USIndependenceDay, CDateValue(2025, 6, 1), "US Independ. Day: 04/07/2025" },
        { Command::USPresidentsDay, CDateValue(1970, 6, 1), "US Presidents Day: 22/02/1970" },
        { Command::USPresidentsDay, CDateValue(2025, 6, 1), "US Presidents Day: 17/02/2025" },
        { Command::USArmedForcesDay, CDateValue(2024, 6, 1), "US Armed Forces Day: 18/05/2024" },
        { Command::USMemorialDay, CDateValue(1970, 6, 1), "US Memorial Day: 30/05/1970" },
        { Command::USMemorialDay, CDateValue(2025, 6, 1), "US Memorial Day: 26/05/2025" },
        { Command::USFlagDay, CDateValue(2025, 6, 1), "US Flag Day: 14/06/2025" },
        { Command::USLaborDay, CDateValue(2025, 6, 1), "US Labor Day: 01/09/2025" },
        { Command::USColumbusDay, CDateValue(2025, 6, 1), "US Columbus Day: 13/10/2025" },
        { Command::USElectionDay, CDateValue(2008, 6, 1), "US Election Day: 04/11/2008" },
        { Command::USVeteransDay, CDateValue(1975, 6, 1), "US Veterans Day: 27/10/1975" },
        { Command::USVeteransDay, CDateValue(2025, 6, 1), "US Veterans Day: 11/11/2025" },
        { Command::USThanksgivingDay, CDateValue(2008, 6, 1), "US Thanksgiving Day: 27/11/2008" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Answer(c.command, c.date), c.answer) << c.command;
}

TEST_F(CalendarAnswers, DatesFollowTheUsersConventions)
{
    ScopedDateLocale unitedStates(DateLocale::UnitedStates());
    EXPECT_EQ(Answer(Command::EasterSunday, CDateValue(2026, 1, 1)), "Easter Sunday: 04/05/2026");
    ScopedDateLocale iso(WithShortDate(L"%Y-%m-%d"));
    EXPECT_EQ(Answer(Command::EasterSunday, CDateValue(2026, 1, 1)), "Easter Sunday: 2026-04-05");
    ScopedDateLocale shortForm(WithShortDate(L"%e.%-m.%y"));
    EXPECT_EQ(Answer(Command::EasterSunday, CDateValue(2026, 1, 1)), "Easter Sunday: 5.4.26");
}

TEST_F(CalendarAnswers, AFeastThatCannotBeFormedEndsAfterItsLabel)
{
    // The day-number range ends on 11 July 5879611.
    EXPECT_EQ(Answer(Command::ChristmasDay, CDateValue(5879611, 1, 1)), "Christmas Day: ");
    EXPECT_EQ(Answer(Command::CanadaDay, CDateValue(5879611, 1, 1)), "Canada Day: 01/07/5879611");
}

TEST_F(CalendarAnswers, Seasons)
{
    EXPECT_EQ(Answer(Command::VernalEquinox, CDateValue(2000, 8, 8)), "20-03-2000 07:26 GMT");
    EXPECT_EQ(Answer(Command::VernalEquinox, CDateValue(2024, 1, 1)), "20-03-2024 03:02 GMT");
    EXPECT_EQ(Answer(Command::SummerSolstice, CDateValue(2024, 1, 1)), "20-06-2024 20:48 GMT");
    EXPECT_EQ(Answer(Command::AutumnalEquinox, CDateValue(2024, 1, 1)), "22-09-2024 12:36 GMT");
    EXPECT_EQ(Answer(Command::WinterSolstice, CDateValue(2024, 1, 1)), "21-12-2024 09:14 GMT");
}

TEST_F(CalendarAnswers, EpochsPrintTheirFixedDays)
{
    CDateValue any(2024, 5, 5);
    EXPECT_EQ(Answer(Command::JDEpoch, any), "Julian Epoch is 24/11/-4713");
    EXPECT_EQ(Answer(Command::MJDEpoch, any), "Modified JD Epoch is 16/11/1858");
    EXPECT_EQ(Answer(Command::Epoch1900, any), "The 1900 Epoch is 01/01/1900");
    EXPECT_EQ(Answer(Command::Epoch1950, any), "The 1950 Epoch is 01/01/1950");
    EXPECT_EQ(Answer(Command::EpochCTime, any), "The CTime Epoch is 01/01/1970");
    EXPECT_EQ(Answer(Command::Epoch2000, any), "The 2000 Epoch is 01/01/2000");
    EXPECT_EQ(Answer(Command::GregorianEpoch, any), "The Gregorian Epoch is 15/10/1582");
}

TEST_F(CalendarAnswers, FactsAboutTheDay)
{
    CDateValue lastOfLeapYear(2024, 12, 31);  // a Tuesday
    EXPECT_EQ(Answer(Command::GetWeekday, lastOfLeapYear), "Today is Tuesday");
    EXPECT_EQ(Answer(Command::GetDayNoOfWeek, lastOfLeapYear), "Todays day of week is 3");
    EXPECT_EQ(Answer(Command::DaysInYear, lastOfLeapYear), "Days in Year 2024 are 366");
    EXPECT_EQ(Answer(Command::DaysInYear, CDateValue(1900, 3, 1)), "Days in Year 1900 are 365");
    EXPECT_EQ(Answer(Command::DaysInMonth, lastOfLeapYear), "Days in Month 12 are 31");
    EXPECT_EQ(Answer(Command::DaysInMonth, CDateValue(2024, 2, 10)), "Days in Month 2 are 29");
    EXPECT_EQ(Answer(Command::DaysInMonth, CDateValue(2023, 2, 10)), "Days in Month 2 are 28");
    EXPECT_EQ(Answer(Command::DaysSince31Dec, lastOfLeapYear), "Days since 1.1.2024 are 365");
    EXPECT_EQ(Answer(Command::DaysSince0Jan, lastOfLeapYear), "Days since 31.12.2023 are 366");
    EXPECT_EQ(Answer(Command::DaysSince31Dec, CDateValue(2025, 1, 1)), "Days since 1.1.2025 are 0");
    EXPECT_EQ(Answer(Command::GetFullStringMonth, lastOfLeapYear), "We have December");
    EXPECT_EQ(Answer(Command::GetAbrStringMonth, lastOfLeapYear), "We have Dec");
    EXPECT_EQ(Answer(Command::CurrentDayOfWeek, lastOfLeapYear), "Current day of week: 31/12/2024");
}

TEST_F(CalendarAnswers, Weeks)
{
    EXPECT_EQ(Answer(Command::GetBeginingDayOfWeek, CDateValue(2024, 1, 1)), "Week begins with Monday");
    EXPECT_EQ(Answer(Command::GetWeekOfYear, CDateValue(2024, 12, 31)), "The Calendar Week is 53");
    EXPECT_EQ(Answer(Command::GetWeekOfYear, CDateValue(2023, 1, 1)), "The Calendar Week is 0");
    EXPECT_EQ(Answer(Command::GetWeekOfMonth, CDateValue(2024, 5, 31)), "The Month Week is 4");
    EXPECT_EQ(Answer(Command::GetWeekOfMonth, CDateValue(2024, 5, 5)), "The Month Week is 0");

    DateLocale sundayFirst = DateLocale::Default();
    sundayFirst.firstDayOfWeek = 1;  // Sunday
    ScopedDateLocale locale(sundayFirst);
    EXPECT_EQ(Answer(Command::GetBeginingDayOfWeek, CDateValue(2024, 1, 1)), "Week begins with Sunday");
    EXPECT_EQ(Answer(Command::GetWeekOfYear, CDateValue(2023, 1, 1)), "The Calendar Week is 1");
    EXPECT_EQ(Answer(Command::GetWeekOfMonth, CDateValue(2024, 5, 5)), "The Month Week is 1");
}

TEST_F(CalendarAnswers, Years)
{
    EXPECT_EQ(Answer(Command::CurrentYear, CDateValue(1999, 5, 5)), "The Current Year is 1999");
    // The clock stands in 2026.
    EXPECT_EQ(Answer(Command::IsLeapYear, CDateValue(1900, 5, 5)), "1900 was not a Leap Year");
    EXPECT_EQ(Answer(Command::IsLeapYear, CDateValue(2000, 5, 5)), "2000 was a Leap Year");
    EXPECT_EQ(Answer(Command::IsLeapYear, CDateValue(2026, 5, 5)), "2026 is not a Leap Year");
    EXPECT_EQ(Answer(Command::IsLeapYear, CDateValue(2028, 5, 5)), "2028 is a Leap Year");
}

TEST_F(CalendarAnswers, MoonItemsShowTheMoonClocksLines)
{
    CStringArray lines;
    for (int i = 0; i < 12; ++i)
        lines.Add(CString(L"line ") + CString(std::to_wstring(i)));
    CDateValue any(2024, 5, 5);
    EXPECT_EQ(Answer(Command::JulianDate, any, &lines), "line 0");
    EXPECT_EQ(Answer(Command::MoonSubtends, any, &lines), "line 6");
    EXPECT_EQ(Answer(Command::LastNewMoon, any, &lines), "line 7");
    EXPECT_EQ(Answer(Command::NextNewMoon, any, &lines), "line 11");

    // Before the clock has drawn: no lines, or lines still empty, or too few.
    EXPECT_EQ(Answer(Command::JulianDate, any, nullptr), "<none>");
    CStringArray empty;
    empty.SetSize(20);
    EXPECT_EQ(Answer(Command::FullMoon, any, &empty), "<none>");
    lines.SetSize(5);
    EXPECT_EQ(Answer(Command::FullMoon, any, &lines), "<none>");
}

TEST_F(CalendarAnswers, NothingForAnInvalidDateOrAnUnknownCommand)
{
    EXPECT_FALSE(CalendarAnswer(Command::EasterSunday, CDateValue(), nullptr));
    EXPECT_FALSE(CalendarAnswer(Command::GetWeekday, CDateValue(2023, 2, 29), nullptr));
    EXPECT_FALSE(CalendarAnswer(9102, CDateValue(2024, 1, 1), nullptr));
    EXPECT_FALSE(CalendarAnswer(9178, CDateValue(2024, 1, 1), nullptr));
    EXPECT_FALSE(CalendarAnswer(42, CDateValue(2024, 1, 1), nullptr));
}

} // namespace
