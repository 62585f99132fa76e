#pragma once
// The date text of the calendar answers: a pattern built from the user's short date settings and
// a formatter that fills it from a day number.
//
// Pattern codes, each a percent sign and a letter: d day, m month, y the year's last two digits
// (all two digits), Y the year, j day of the year (three digits), w weekday (1 = Sunday), U calendar
// week (two digits), A a B b day and month names, full and abbreviated, x the locale's short date.
// A "#" after the percent sign drops leading zeros, and turns x into the locale's long date.
// Other text, and a percent sign before any other letter, is copied as it stands.

#include "datecore/DateLocale.h"
#include "datecore/DateValue.h"
#include "platform/base/CString.h"

// Day, month and year in the locale's order, joined by its date separator, with or without
// leading zeros and the century as the locale writes them ("%d/%m/%Y" for a day-month-year locale
// with "/").
CString BuildDatePattern(const DateLocale& locale);

// The date of the day number after the pattern; empty for the invalid day number.
CString FormatDate(CDateValue date, const CString& pattern, const DateLocale& locale);
