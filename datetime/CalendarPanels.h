#pragma once
// The page calendar's panels are the toolkit calendar's (commandbars/CalendarPanels.h).

#include "commandbars/CalendarPanels.h"

using FlCalTitle = SECCalTitle;
using FlDayBar = SECDayBar;
using FlDayBox = SECDayBox;
