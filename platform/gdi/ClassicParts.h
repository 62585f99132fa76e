#pragma once
// Pieces of the classic look that the common controls are drawn from: arrow buttons (up-down
// controls and the tab row's scroll arrows), tabs and their pane, and progress bars. Colours are
// the system colours; every line is one crisp pixel.

#include "platform/gdi/GdiTypes.h"

namespace fln::gdi {

enum class ArrowDirection { Up, Down, Left, Right };

// A solid triangle whose base is 2 * size - 1 pixels and whose height is `size`, centred in the
// rectangle and pointing the given way.
void DrawArrow(HDC dc, const RECT& r, ArrowDirection direction, int size, COLORREF color);

// A push button with a solid arrow sized to fit it. `state` takes DFCS_PUSHED (sunken, the arrow
// one pixel down and right) and DFCS_INACTIVE (an embossed arrow).
void DrawArrowButton(HDC dc, const RECT& rect, ArrowDirection direction, UINT state);

// The frame of a tab control's pane: a soft raised edge filled with the face colour.
void DrawTabPane(HDC dc, const RECT& pane);

// One tab standing on the pane: highlight on the left and top with cut corners, shadows on the
// right, the face colour inside down to the bottom, which stays open. A selected tab is given
// reaching one pixel into the pane, so that it covers the pane's top line and joins it.
void DrawTabItem(HDC dc, const RECT& tab);

// The inside of a progress bar's thin sunken frame, where the bar grows.
RECT ProgressBarInside(const RECT& client);
// A progress bar: the frame, the background and `filled` pixels of bar from the left (from the
// bottom when vertical), as one smooth block or as chunks two thirds as long as the bar is thick.
void DrawProgressBar(HDC dc, const RECT& client, int filled, bool smooth, bool vertical, COLORREF bar,
    COLORREF background);

} // namespace fln::gdi
