#pragma once
// Where a tooltip goes: the tail edge and alignment after flipping away from the screen's edges, the
// window's size, the tail tip (apex) inside it, the body and the tail triangle.

#include "platform/base/WinTypes.h"
#include "platform/base/Geometry.h"

#include <array>

// Direction codes: an edge for the tail (0x00 top, 0x10 bottom, 0x20 left, 0x30 right) and an alignment
// along it (0 near the left or top end, 1 near the right or bottom end, 2 centred).
enum : int { PPTIP_TAIL_TOP = 0x00, PPTIP_TAIL_BOTTOM = 0x10, PPTIP_TAIL_LEFT = 0x20, PPTIP_TAIL_RIGHT = 0x30 };
enum : int { PPTIP_ALIGN_NEAR = 0, PPTIP_ALIGN_FAR = 1, PPTIP_ALIGN_CENTER = 2 };

struct PPTipSizes {
    int tailWidth = 0;  // the tail's base
    int tailHeight = 0;
    int tailOffset = 0; // from the body's corner
};

struct PPTipPlacement {
    int direction = 0;       // after flipping
    bool hasTail = false;    // one of the twelve defined codes with a tail
    SIZE window {};          // body plus tail
    POINT apex {};           // the tail's tip, in window coordinates
    RECT body {};            // in window coordinates
    std::array<POINT, 3> tail {};
};

// anchor and screen in screen coordinates; bodySize without the tail.
PPTipPlacement PlaceTip(int direction, POINT anchor, SIZE bodySize, const PPTipSizes& sizes, const RECT& screen);
