#include "commandbars/MonthGrid.h"

#include <cstdlib>

MonthGrid::MonthGrid(const COleDateTime& shown, int firstWeekday)
{
    COleDateTime day = FirstOfMonth(shown);
    const COleDateTime firstDay(100, 1, 1, 0, 0, 0);
    const COleDateTime lastDay(9999, 12, 31, 0, 0, 0);
    int index = 0;
    if (day == firstDay) {
        // Nothing lies before 1 January 100: the weeks start with blanks.
        index = ((day.GetDayOfWeek() - firstWeekday) % 7 + 7) % 7;
    } else {
        while (day.GetDayOfWeek() != firstWeekday)
            day -= COleDateTimeSpan(1.0);
    }
    bool inMonth = false;
    for (; index < CellCount; ++index) {
        if (day.GetStatus() != COleDateTime::valid || day > lastDay)
            break;
        DropTime(day);
        if (day.GetDay() == 1)
            inMonth = !inMonth;
        m_cells[static_cast<size_t>(index)] = { day, true, inMonth };
        day += COleDateTimeSpan(1.0);
    }
}

bool MonthGrid::IsValidDate(int year, int month, int day)
{
    if (day < 1) {
        int borrowed = -day / 28 + 1;
        day += borrowed * 28;
        month -= borrowed;
    } else if (day > 31) {
        int carried = (day - 32) / 28 + 1;
        day -= carried * 28;
        month += carried;
    }
    if (month < 1) {
        int borrowed = -month / 12 + 1;
        month += borrowed * 12;
        year -= borrowed;
    } else if (month > 12) {
        int carried = (month - 13) / 12 + 1;
        month -= carried * 12;
        year += carried;
    }
    return year >= 100 && year <= 9999;
}

bool MonthGrid::IsValidDateAfter(const COleDateTime& date, const COleDateTimeSpan& span, int daysPerMonth)
{
    double total = span.GetTotalDays();
    long long days = static_cast<long long>(total + (total < 0 ? -0.5 : 0.5) / 86400.0);
    long long years = days / 365;
    long long rest = days - 365 * years;
    long long months = rest / daysPerMonth;
    long long year = date.GetYear() + years;
    long long month = date.GetMonth() + months;
    long long day = date.GetDay() + rest - daysPerMonth * months;
    if (std::llabs(year) > 100000)
        return false;
    return IsValidDate(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day));
}

COleDateTime MonthGrid::NextMonthStart(const COleDateTime& date)
{
    COleDateTime target = FirstOfMonth(date) + COleDateTimeSpan(27.0);
    while (target.GetStatus() == COleDateTime::valid && target.GetDay() != 1)
        target += COleDateTimeSpan(1.0);
    return target;
}

COleDateTime MonthGrid::PrevMonthStart(const COleDateTime& date)
{
    COleDateTime target = FirstOfMonth(date) - COleDateTimeSpan(27.0);
    while (target.GetStatus() == COleDateTime::valid && target.GetDay() != 1)
        target -= COleDateTimeSpan(1.0);
    return target;
}

std::optional<COleDateTime> MonthGrid::SameDayInYear(const COleDateTime& date, int years)
{
    const int year = date.GetYear(), month = date.GetMonth();
    // The year the move ends in must lie wholly in range.
    if (!IsValidDate(years < 0 ? year + years : year, 12, 31))
        return std::nullopt;
    const int day = month == 2 && date.GetDay() == 29 ? 28 : date.GetDay();
    return COleDateTime(year + years, month, day, 0, 0, 0);
}

COleDateTime MonthGrid::FirstOfMonth(const COleDateTime& date)
{
    return COleDateTime(date.GetYear(), date.GetMonth(), 1, 0, 0, 0);
}

void MonthGrid::DropTime(COleDateTime& date)
{
    if (date.GetStatus() == COleDateTime::valid)
        date.SetDate(date.GetYear(), date.GetMonth(), date.GetDay());
}
