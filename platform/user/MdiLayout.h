#pragma once
// Where an MDI client puts its children when it cascades, tiles or arranges the minimised ones
// (internal to platform/user). Pure arithmetic on the client rectangle; no windows.

#include "platform/base/Geometry.h"

#include <vector>

namespace fln::user {

struct MdiMetrics {
    int cascadeStep;  // how far each cascaded window lies right of and below the one before
    int iconWidth;    // a minimised child
    int iconHeight;
};

// The rectangles of `count` cascaded windows, the first at the top left; each is the client less
// the steps of the ones after it, but never smaller than two thirds of the client, and the
// cascade starts again at the top left once a window would leave the client.
std::vector<RECT> CascadeRects(int count, const RECT& client, const MdiMetrics& metrics);
// `count` tiled windows in stripes (columns when `sideBySide`, else rows): as many stripes as
// windows up to three, then the rounded-up square root; the later stripes take the windows left
// over, and every stripe shares its length evenly.
std::vector<RECT> TileRects(int count, const RECT& client, bool sideBySide);
// The place of the minimised child in slot `index`: left to right along the bottom of the
// client, then in rows above it.
RECT IconSlot(int index, const RECT& client, const MdiMetrics& metrics);
// The rows the minimised children take at the bottom of the client (0 when there are none).
int IconRows(int iconCount, const RECT& client, const MdiMetrics& metrics);

} // namespace fln::user
