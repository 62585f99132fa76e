#pragma once
// The page's drop-down month calendar is the toolkit's (commandbars/PopupCalendar.h).

#include "commandbars/PopupCalendar.h"
#include "datetime/Calendar.h"

using FlPopupCalendar = SECPopupCalendar;
