#pragma once
// Keeps the controls of a form at their size and at their offset from the centre of the window as
// it grows, so that the whole form stays centred; a window smaller than the form leaves them
// where the form puts them (a form view scrolls then).

#include "platform/base/Geometry.h"
#include "platform/base/WinTypes.h"

#include <vector>

class CentredControls {
public:
    // Takes the form's children as they stand now, at their places for a client area of the
    // reference size.
    void Record(HWND form, SIZE reference);
    // Moves every child by the change of its offset since the last layout: half of what the
    // client area has grown beyond the reference.
    void Layout(int width, int height);

private:
    HWND m_form = nullptr;
    SIZE m_reference {};
    POINT m_applied {};  // the offset the children have now
    std::vector<HWND> m_controls;
};
