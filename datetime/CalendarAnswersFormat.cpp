#include "datetime/CalendarAnswersFormat.h"

#include "datetime/CalendarAnswersRules.h"

#include <cstdlib>
#include <optional>

CString BuildDatePattern(const DateLocale& locale)
{
    CString day = locale.DayLeadingZero() ? L"%d" : L"%#d";
    CString month = locale.MonthLeadingZero() ? L"%m" : L"%#m";
    CString year = locale.FourDigitYear() ? L"%Y" : L"%y";
    CString separator = locale.DateSeparator();
    if (separator.IsEmpty())
        separator = L"/";

    switch (locale.DateOrder()) {
    case 0:
        return month + separator + day + separator + year;
    case 1:
        return day + separator + month + separator + year;
    default:
        return year + separator + month + separator + day;
    }
}

namespace {

CString Number(int value, int digits, bool dropLeadingZeros)
{
    CString text;
    if (dropLeadingZeros)
        text.Format(L"%d", value);
    else
        text.Format(L"%.*d", digits, value);
    return text;
}

// The text of one code letter, or nothing when the letter is no code.
std::optional<CString> FieldText(wchar_t letter, bool dropLeadingZeros, CDateValue date, const DateLocale& locale)
{
    CalendarDate fields = date.GetCalendarDate();
    switch (letter) {
    case L'd':
        return Number(fields.day, 2, dropLeadingZeros);
    case L'm':
        return Number(fields.month, 2, dropLeadingZeros);
    case L'y':
        return Number(std::abs(fields.year % 100), 2, dropLeadingZeros);
    case L'Y':
        return Number(fields.year, 1, false);
    case L'j':
        return Number(fields.dayOfYear, 3, dropLeadingZeros);
    case L'w':
        return Number(fields.weekday, 1, false);
    case L'U':
        return Number(CalendarWeek(date, FirstWeekdayFromSetting(locale.FirstDayOfWeekSetting())), 2,
                      dropLeadingZeros);
    case L'A':
        return locale.dayNames[fields.weekday - 1];
    case L'a':
        return locale.abbreviatedDayNames[fields.weekday - 1];
    case L'B':
        return locale.monthNames[fields.month - 1];
    case L'b':
        return locale.abbreviatedMonthNames[fields.month - 1];
    case L'x':
        return dropLeadingZeros ? locale.FormatLongDate(fields.year, fields.month, fields.day)
                                : locale.FormatShortDate(fields.year, fields.month, fields.day);
    default:
        return std::nullopt;
    }
}

} // namespace

CString FormatDate(CDateValue date, const CString& pattern, const DateLocale& locale)
{
    if (!date.IsValid())
        return CString();

    CString text;
    int length = pattern.GetLength();
    for (int i = 0; i < length; ++i) {
        wchar_t ch = pattern[i];
        if (ch != L'%') {
            text += ch;
            continue;
        }
        bool dropLeadingZeros = i + 1 < length && pattern[i + 1] == L'#';
        int letterAt = i + (dropLeadingZeros ? 2 : 1);
        std::optional<CString> field;
        if (letterAt < length)
            field = FieldText(pattern[letterAt], dropLeadingZeros, date, locale);
        if (!field) {
            text += ch;
            continue;
        }
        text += *field;
        i = letterAt;
    }
    return text;
}
