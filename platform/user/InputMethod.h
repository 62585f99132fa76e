#pragma once
// Inside the window layer: tells the display where an input method shows the text it composes.

#include "platform/user/WinUser.h"

namespace fln::user {

// Puts the composition spot of the window's top-level window at point, in the window's client
// coordinates. The caret calls it as it moves, so compositions show where the user types even in
// windows that never place them.
void PlaceComposition(HWND window, POINT clientPoint);

}
