// The common controls' pieces of the classic look.

#include "platform/gdi/ClassicParts.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>

namespace fln::gdi {
namespace {

void FillWith(HDC dc, int left, int top, int right, int bottom, int colorIndex)
{
    RECT r { left, top, right, bottom };
    if (r.left < r.right && r.top < r.bottom)
        FillSolidRect(dc, &r, GetSysColor(colorIndex));
}

} // namespace

void DrawArrow(HDC dc, const RECT& r, ArrowDirection direction, int size, COLORREF color)
{
    bool vertical = direction == ArrowDirection::Up || direction == ArrowDirection::Down;
    int width = vertical ? 2 * size - 1 : size, height = vertical ? size : 2 * size - 1;
    int left = r.left + (r.right - r.left - width) / 2, top = r.top + (r.bottom - r.top - height) / 2;
    for (int step = 0; step < size; ++step) {
        // `step` counts from the tip; each step is one pixel longer on both sides.
        RECT line {};
        switch (direction) {
        case ArrowDirection::Up: line = { left + size - 1 - step, top + step, left + size + step, top + step + 1 }; break;
        case ArrowDirection::Down: line = { left + size - 1 - step, top + size - 1 - step, left + size + step, top + size - step }; break;
        case ArrowDirection::Left: line = { left + step, top + size - 1 - step, left + step + 1, top + size + step }; break;
        case ArrowDirection::Right: line = { left + size - 1 - step, top + size - 1 - step, left + size - step, top + size + step }; break;
        }
        FillSolidRect(dc, &line, color);
    }
}

void DrawArrowButton(HDC dc, const RECT& rect, ArrowDirection direction, UINT state)
{
    RECT inside = rect;
    // The plain edges of scroll arrows, not the soft ones of push buttons.
    DrawEdge(dc, &inside, (state & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
    bool vertical = direction == ArrowDirection::Up || direction == ArrowDirection::Down;
    int across = vertical ? inside.right - inside.left : inside.bottom - inside.top;
    int along = vertical ? inside.bottom - inside.top : inside.right - inside.left;
    int size = std::clamp(std::min((across + 3) / 4, (along + 1) / 2), 1, 4);
    if (across < 1 || along < 1)
        return;
    if (state & DFCS_PUSHED)
        OffsetRect(&inside, 1, 1);
    if (state & DFCS_INACTIVE) {
        RECT emboss = inside;
        OffsetRect(&emboss, 1, 1);
        DrawArrow(dc, emboss, direction, size, GetSysColor(COLOR_BTNHIGHLIGHT));
        DrawArrow(dc, inside, direction, size, GetSysColor(COLOR_BTNSHADOW));
    } else {
        DrawArrow(dc, inside, direction, size, GetSysColor(COLOR_BTNTEXT));
    }
}

void DrawTabPane(HDC dc, const RECT& pane)
{
    RECT r = pane;
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
}

void DrawTabItem(HDC dc, const RECT& tab)
{
    int l = tab.left, t = tab.top, r = tab.right, b = tab.bottom;
    FillWith(dc, l + 1, t + 1, r - 2, b, COLOR_BTNFACE);
    FillWith(dc, l, t + 2, l + 1, b, COLOR_BTNHIGHLIGHT);     // left side
    FillWith(dc, l + 1, t + 1, l + 2, t + 2, COLOR_BTNHIGHLIGHT); // the cut top-left corner
    FillWith(dc, l + 2, t, r - 2, t + 1, COLOR_BTNHIGHLIGHT);  // top
    FillWith(dc, r - 2, t + 1, r - 1, t + 2, COLOR_3DDKSHADOW); // the cut top-right corner
    FillWith(dc, r - 2, t + 2, r - 1, b, COLOR_BTNSHADOW);     // right side, inner
    FillWith(dc, r - 1, t + 2, r, b, COLOR_3DDKSHADOW);        // right side, outer
}

RECT ProgressBarInside(const RECT& client)
{
    RECT inside = client;
    InflateRect(&inside, -2, -2); // the frame, then a pixel of background around the bar
    return inside;
}

void DrawProgressBar(HDC dc, const RECT& client, int filled, bool smooth, bool vertical, COLORREF bar,
    COLORREF background)
{
    RECT r = client;
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    FillSolidRect(dc, &r, background);
    RECT inside = ProgressBarInside(client);
    int length = vertical ? inside.bottom - inside.top : inside.right - inside.left;
    int thickness = vertical ? inside.right - inside.left : inside.bottom - inside.top;
    filled = std::clamp(filled, 0, std::max(length, 0));
    // The stretch [from, to) measured along the bar from its start, as a rectangle.
    auto piece = [&](int from, int to) {
        to = std::min(to, length);
        return vertical ? RECT { inside.left, inside.bottom - to, inside.right, inside.bottom - from }
                        : RECT { inside.left + from, inside.top, inside.left + to, inside.bottom };
    };
    if (smooth) {
        RECT block = piece(0, filled);
        if (filled > 0)
            FillSolidRect(dc, &block, bar);
        return;
    }
    // A chunk that the bar has reached is drawn whole.
    constexpr int kGap = 2;
    int chunk = std::max(1, thickness * 2 / 3);
    for (int start = 0; start < filled; start += chunk + kGap) {
        RECT block = piece(start, start + chunk);
        FillSolidRect(dc, &block, bar);
    }
}

} // namespace fln::gdi
