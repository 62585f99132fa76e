#pragma once
// Conversions between date and time texts and Julian days, on the historical calendar: Julian up
// to 4 October 1582, Gregorian from 15 October 1582, and no year 0 (year -1 is 1 BC).
//
// A Julian day is a double whose whole number stands for noon of a date. Date texts are
// day.month.year, time texts hours:minutes:seconds; output texts pad one-character parts with a
// leading "0". Texts that cannot be read give -1.0 (or a negative value) and false, never errors.
//
// The second half combines one operand of a date expression (a span such as 1d12h, weeks 5W,
// years 2Y, months 3M, a date or a time) with a date and a time.

#include "platform/base/CString.h"

class CJulianDay {
public:
    virtual ~CJulianDay() = default;

    // Calendar rules. Years up to 1582 follow the Julian rule; years before 1 AD count without a
    // year 0, so 1 BC (-1), 5 BC (-5) ... are the leap years there.
    static bool IsLeapYear(int year);
    static bool IsValidDate(int year, int month, int day);
    static int MonthLength(int month, bool leapYear);

    static bool SplitDate(const CString& date, int& day, int& month, int& year);
    static bool IsValidDateText(const CString& date) { int d, m, y; return SplitDate(date, d, m, y); }

    static double DateToJulianDay(const CString& date);
    // Fraction of the day in [0, 1); "h:mm" and "hh:mm" are read as whole minutes.
    static double TimeToDayFraction(const CString& time);
    static double DateTimeToJulianDay(const CString& date, const CString& time);

    // The date whose noon number is the whole part of the Julian day (dd.mm.yyyy); empty for a
    // value that is not finite or lies beyond every representable year.
    static CString JulianDayToDate(double julianDay);
    // hh:mm:ss, or with unitForm 08h05m09s; a negative fraction counts back from midnight and a
    // fraction just below 1 gives 24:00:00; hours are not wrapped (1.25 is 30:00:00). Empty for a
    // value that is not finite or lies beyond every date.
    static CString JulianDayToTime(double dayFraction, bool unitForm = false);

    // With an empty input and julianDay >= 0, writes the date and time of julianDay and returns
    // false. Otherwise reads the input into julianDay (-1.0 when it is no date): a date also sets
    // the normalised date text, a time the normalised time text (both return false); true when the
    // input is neither.
    static bool ConvertDateTime(CString& date, CString& time, const CString& input, double& julianDay);
    // Reads the time of "date time" (or of a bare time): valid for 0..24 hours, 0..59 minutes and
    // seconds. The date part needs two dots and is not checked further.
    static bool SplitDateTime(const CString& text, int& hours, int& minutes, int& seconds);
    static bool IsValidDateTimeText(const CString& text) { int h, m, s; return SplitDateTime(text, h, m, s); }
    // Rewrites day.month.year as month/day/year; returns whether the text was a valid date before.
    static bool ToMonthDayYear(CString& date);

    // One step of a date expression: the date and time moved by the operand (a Julian day), or
    // the whole days between two dates, or the fraction of a day between two times; -1.0 when
    // the operand is none of these or the date or time it starts from cannot be read.
    static double CombineOperands(CString date, CString time, CString operand, bool plus, bool monthFirst);

    // Readers that classify an operand text by its unit letter; -1 when the letter is absent.
    static double ParseSpan(const CString& operand);
    static int ParseWeeks(const CString& operand);
    static int ParseYears(const CString& operand, const CString& date);
    static int ParseMonths(const CString& operand, const CString& date);
    // Move a day.month.year text; a date that cannot be formed becomes the empty text.
    static void AddYears(CString& date, int years);
    static void AddMonths(CString& date, int months);
    // Rewrites month.day.year as day.month.year; true when the result is a valid date text.
    static bool SwapDayMonth(CString& date);
};
