#include "controls/ToolTipPlacement.h"

namespace {

// The alignment along one axis that keeps the window on the screen, the tail at most offset from its end.
int FlipAlignment(int align, int at, int length, int offset, int low, int high)
{
    const bool fitsAfter = at + length - offset <= high;
    const bool fitsBefore = at - length + offset >= low;
    switch (align) {
    case PPTIP_ALIGN_NEAR: return fitsAfter ? align : fitsBefore ? PPTIP_ALIGN_FAR : PPTIP_ALIGN_CENTER;
    case PPTIP_ALIGN_FAR: return fitsBefore ? align : fitsAfter ? PPTIP_ALIGN_NEAR : PPTIP_ALIGN_CENTER;
    default:
        if (at - low <= offset)
            return PPTIP_ALIGN_NEAR;
        if (high - at <= offset)
            return PPTIP_ALIGN_FAR;
        return align;
    }
}

// The apex's position along the tail edge, moved so that the window stays between low and high.
int ApexAlong(int align, int at, int length, int offset, int low, int high)
{
    int apex = align == PPTIP_ALIGN_NEAR ? offset : align == PPTIP_ALIGN_FAR ? length - offset : length / 2;
    if (align == PPTIP_ALIGN_CENTER) {
        const int start = at - apex, end = start + length;
        if (end > high && start >= low)
            apex += end - high;
        else if (start < low && end <= high)
            apex -= low - start;
    }
    // Held inside the screen: the near end for near and centred tips, the far end for far ones.
    if (align == PPTIP_ALIGN_FAR) {
        if (at - apex + length > high)
            apex = at + length - high;
    } else if (at - apex < low) {
        apex = at - low;
    }
    return apex;
}

} // namespace

PPTipPlacement PlaceTip(int direction, POINT anchor, SIZE bodySize, const PPTipSizes& sizes, const RECT& screen)
{
    PPTipPlacement placement;
    placement.direction = direction;
    placement.window = bodySize;
    placement.body = { 0, 0, bodySize.cx, bodySize.cy };
    int edge = direction & 0xF0, align = direction & 0x0F;
    if (edge > PPTIP_TAIL_RIGHT || align > PPTIP_ALIGN_CENTER || (direction & ~0xFF) != 0)
        return placement;

    const bool vertical = edge == PPTIP_TAIL_TOP || edge == PPTIP_TAIL_BOTTOM; // the tail on a horizontal edge
    int& grown = vertical ? placement.window.cy : placement.window.cx;
    grown += sizes.tailHeight;
    const int W = placement.window.cx, H = placement.window.cy, offset = sizes.tailOffset;
    const int x = anchor.x, y = anchor.y;

    if (vertical)
        align = FlipAlignment(align, x, W, offset, screen.left, screen.right);
    else if (edge == PPTIP_TAIL_LEFT && x + W > screen.right)
        edge = PPTIP_TAIL_RIGHT;
    else if (edge == PPTIP_TAIL_RIGHT && x - W < screen.left)
        edge = PPTIP_TAIL_LEFT;
    if (edge == PPTIP_TAIL_TOP && y + H > screen.bottom)
        edge = PPTIP_TAIL_BOTTOM;
    else if (edge == PPTIP_TAIL_BOTTOM && y - H < screen.top)
        edge = PPTIP_TAIL_TOP;
    else if (!vertical)
        align = FlipAlignment(align, y, H, offset, screen.top, screen.bottom);
    placement.direction = edge | align;
    placement.hasTail = true;

    if (vertical) {
        placement.apex = { ApexAlong(align, x, W, offset, screen.left, screen.right), edge == PPTIP_TAIL_TOP ? 0 : H };
        if (edge == PPTIP_TAIL_TOP)
            OffsetRect(&placement.body, 0, sizes.tailHeight);
    } else {
        placement.apex = { edge == PPTIP_TAIL_LEFT ? 0 : W, ApexAlong(align, y, H, offset, screen.top, screen.bottom) };
        if (edge == PPTIP_TAIL_LEFT)
            OffsetRect(&placement.body, sizes.tailHeight, 0);
    }

    // The base of the tail on the body's edge at the tail side.
    const RECT& body = placement.body;
    const int baseStart = vertical ? body.left : body.top, baseEnd = vertical ? body.right : body.bottom;
    const int apexAlong = vertical ? placement.apex.x : placement.apex.y;
    int from = align == PPTIP_ALIGN_NEAR ? baseStart + offset
        : align == PPTIP_ALIGN_FAR       ? baseEnd - offset - sizes.tailWidth
                                         : apexAlong - sizes.tailWidth / 2;
    int to = from + sizes.tailWidth;
    const int side = edge == PPTIP_TAIL_TOP ? body.top : edge == PPTIP_TAIL_BOTTOM ? body.bottom
        : edge == PPTIP_TAIL_LEFT ? body.left : body.right;
    placement.tail[0] = placement.apex;
    placement.tail[1] = vertical ? POINT { from, side } : POINT { side, from };
    placement.tail[2] = vertical ? POINT { to, side } : POINT { side, to };
    return placement;
}
