#pragma once
// The Date & Time page's month calendar is the toolkit's (commandbars/Calendar.h), under the page's
// names.

#include "commandbars/Calendar.h"
#include "datetime/CalendarPanels.h"

using FlCalendar = SECCalendar;
