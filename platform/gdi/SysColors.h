#pragma once
// The system colours, with the classic scheme's values, and a brush for each that is never deleted.

#include "platform/gdi/GdiTypes.h"

constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_DESKTOP = 1, COLOR_ACTIVECAPTION = 2,
              COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7,
              COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11,
              COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15,
              COLOR_3DFACE = 15, COLOR_BTNSHADOW = 16, COLOR_3DSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18,
              COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20, COLOR_BTNHILIGHT = 20,
              COLOR_3DHIGHLIGHT = 20, COLOR_3DHILIGHT = 20, COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22,
              COLOR_INFOTEXT = 23, COLOR_INFOBK = 24, COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27,
              COLOR_GRADIENTINACTIVECAPTION = 28, COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30;

// 0 for an index outside the table.
DWORD GetSysColor(int index);
// A stock brush of the colour; null for an index outside the table. Deleting it does nothing.
HBRUSH GetSysColorBrush(int index);
// Changes colours for the whole program (the window layer then tells every window).
BOOL SetSysColors(int count, const INT* indices, const COLORREF* colors);
