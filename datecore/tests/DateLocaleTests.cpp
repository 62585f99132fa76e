#include "datecore/DateLocale.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(DateLocale, SettingsFollowTheShortDateForm)
{
    DateLocale locale = DateLocale::Default();
    EXPECT_EQ(locale.DateOrder(), 1);
    EXPECT_EQ(locale.DateSeparator().str(), L".");
    EXPECT_TRUE(locale.DayLeadingZero());
    EXPECT_TRUE(locale.FourDigitYear());
    EXPECT_EQ(locale.FirstDayOfWeekSetting().str(), L"0");  // Monday

    DateLocale us = DateLocale::UnitedStates();
    EXPECT_EQ(us.DateOrder(), 0);
    EXPECT_EQ(us.DateSeparator().str(), L"/");
    EXPECT_EQ(us.FirstDayOfWeekSetting().str(), L"6");  // Sunday

    locale.shortDatePattern = L"%Y-%-m-%e";
    EXPECT_EQ(locale.DateOrder(), 2);
    EXPECT_EQ(locale.DateSeparator().str(), L"-");
    EXPECT_FALSE(locale.DayLeadingZero());
    EXPECT_FALSE(locale.MonthLeadingZero());
    locale.shortDatePattern = L"%m/%d/%y";
    EXPECT_FALSE(locale.FourDigitYear());
}

TEST(DateLocale, FormatsDatesAndTimes)
{
    DateLocale locale = DateLocale::Default();
    EXPECT_EQ(locale.FormatShortDate(1992, 1, 24).str(), L"24.01.1992");
    EXPECT_EQ(locale.FormatLongDate(1992, 1, 24).str(), L"Friday, 24 January 1992");
    EXPECT_EQ(locale.FormatTime(7, 5, 9).str(), L"07:05:09");
    EXPECT_EQ(locale.Format(L"%a %b %y %-d%%", 2004, 3, 7).str(), L"Sun Mar 04 7%");

    DateLocale us = DateLocale::UnitedStates();
    EXPECT_EQ(us.FormatShortDate(1992, 1, 24).str(), L"01/24/1992");
    EXPECT_EQ(us.FormatTime(0, 5, 9).str(), L"12:05:09 AM");
    EXPECT_EQ(us.FormatTime(13, 0, 0).str(), L"01:00:00 PM");
}

TEST(DateLocale, ScopedLocaleIsRestored)
{
    DateLocale before = CurrentDateLocale();
    {
        ScopedDateLocale fixed(DateLocale::UnitedStates());
        EXPECT_EQ(CurrentDateLocale().shortDatePattern.str(), L"%m/%d/%Y");
        {
            ScopedDateLocale inner(DateLocale::Default());
            EXPECT_EQ(CurrentDateLocale().shortDatePattern.str(), L"%d.%m.%Y");
        }
        EXPECT_EQ(CurrentDateLocale().shortDatePattern.str(), L"%m/%d/%Y");
    }
    EXPECT_EQ(CurrentDateLocale().shortDatePattern.str(), before.shortDatePattern.str());
}

TEST(DateLocale, EnvironmentGivesACompleteLocale)
{
    // Whatever the machine's locale, every name and form is filled in.
    DateLocale locale = DateLocale::FromEnvironment();
    for (const CString& name : locale.dayNames) EXPECT_FALSE(name.IsEmpty());
    for (const CString& name : locale.monthNames) EXPECT_FALSE(name.IsEmpty());
    EXPECT_GE(locale.firstDayOfWeek, 1);
    EXPECT_LE(locale.firstDayOfWeek, 7);
    EXPECT_FALSE(locale.FormatShortDate(2000, 1, 2).IsEmpty());
}

}
