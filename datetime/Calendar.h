#pragma once
// The Date & Time page's month calendar: the toolkit's (commandbars/Calendar.h) with the page's own
// font sizes.

#include "commandbars/Calendar.h"
#include "datetime/CalendarPanels.h"

class FlCalendar : public SECCalendar {
    DECLARE_DYNCREATE(FlCalendar)

protected:
    // Fixed sizes rather than fitted ones: the title 13 x 7, the weekday bar and the days 11 x 7.
    void FitFonts() override;
};
