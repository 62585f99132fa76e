#include "datetime/Calendar.h"

IMPLEMENT_DYNCREATE(FlCalendar, SECCalendar)

void FlCalendar::FitFonts()
{
    auto size = [](LOGFONT& description, LONG height, LONG width) {
        description.lfHeight = height;
        description.lfWidth = width;
    };
    size(m_TitleLogFont, 13, 7);
    size(m_DayBarLogFont, 11, 7);
    size(m_DayLogFont, 11, 7);
    RecreateFonts();
}
