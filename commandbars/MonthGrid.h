#pragma once
// The month calendar's date rules, without a window: which dates the calendar takes (the years 100
// to 9999), where moves by months and years land, and the six weeks of days that show a month.

#include "platform/base/Time.h"

#include <array>
#include <optional>

class MonthGrid {
public:
    static constexpr int CellCount = 42; // six weeks

    struct Cell {
        COleDateTime date;
        bool inUse = false;   // blank before 1 January 100 and after 31 December 9999
        bool inMonth = false; // a day of the shown month, not of the weeks' ends in the months around it
    };

    // The weeks that show the month of `shown`, each starting on `firstWeekday` (1 Sunday to
    // 7 Saturday), the first holding the month's first day.
    MonthGrid(const COleDateTime& shown, int firstWeekday);
    const Cell& operator[](int index) const { return m_cells[static_cast<size_t>(index)]; }

    // Out-of-range parts are carried into the next larger part (a day by 28, a month by 12);
    // true when the year that results is 100 to 9999.
    static bool IsValidDate(int year, int month, int day);
    // Whether a move by `span` from `date` stays in range, judged as the toolkit always has: whole
    // years of 365 days, then months of `daysPerMonth` days, carried as IsValidDate carries them.
    static bool IsValidDateAfter(const COleDateTime& date, const COleDateTimeSpan& span, int daysPerMonth);
    // The first day of the month after or before the date's; invalid past the ends of the dates.
    static COleDateTime NextMonthStart(const COleDateTime& date);
    static COleDateTime PrevMonthStart(const COleDateTime& date);
    // The date's day and month `years` later (29 February becomes the 28th). None when the year a
    // move back ends in, or the date's own year on a move forward, is not wholly in range; a move
    // past 9999 gives an invalid date.
    static std::optional<COleDateTime> SameDayInYear(const COleDateTime& date, int years);
    static COleDateTime FirstOfMonth(const COleDateTime& date);
    // The date without its time of day; an invalid date stays as it is.
    static void DropTime(COleDateTime& date);

private:
    std::array<Cell, CellCount> m_cells;
};
