// Cascade, tile and icon places of MDI children.

#include "platform/user/MdiLayout.h"

#include <algorithm>
#include <cmath>

namespace fln::user {

std::vector<RECT> CascadeRects(int count, const RECT& client, const MdiMetrics& metrics)
{
    std::vector<RECT> rects;
    if (count <= 0)
        return rects;
    int width = client.right - client.left, height = client.bottom - client.top;
    int step = std::max(1, metrics.cascadeStep);
    int cx = std::max(width * 2 / 3, width - step * (count - 1));
    int cy = std::max(height * 2 / 3, height - step * (count - 1));
    int offset = 0;
    for (int i = 0; i < count; ++i) {
        if (offset > 0 && (offset + cx > width || offset + cy > height))
            offset = 0;
        rects.push_back({ client.left + offset, client.top + offset, client.left + offset + cx, client.top + offset + cy });
        offset += step;
    }
    return rects;
}

std::vector<RECT> TileRects(int count, const RECT& client, bool sideBySide)
{
    std::vector<RECT> rects;
    if (count <= 0)
        return rects;
    int stripes = count <= 3 ? count : static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    int across = sideBySide ? client.right - client.left : client.bottom - client.top;
    int along = sideBySide ? client.bottom - client.top : client.right - client.left;
    int placed = 0;
    for (int stripe = 0; stripe < stripes; ++stripe) {
        // Earlier stripes take the rounded-down share, so the later ones hold the extra windows.
        int inStripe = (count - placed) / (stripes - stripe);
        int from = across * stripe / stripes, to = across * (stripe + 1) / stripes;
        for (int k = 0; k < inStripe; ++k) {
            int start = along * k / inStripe, end = along * (k + 1) / inStripe;
            rects.push_back(sideBySide ? RECT { client.left + from, client.top + start, client.left + to, client.top + end }
                                       : RECT { client.left + start, client.top + from, client.left + end, client.top + to });
        }
        placed += inStripe;
    }
    return rects;
}

RECT IconSlot(int index, const RECT& client, const MdiMetrics& metrics)
{
    int width = client.right - client.left;
    int perRow = std::max(1, width / std::max(1, metrics.iconWidth));
    int row = index / perRow, column = index % perRow;
    int left = client.left + column * metrics.iconWidth;
    int bottom = client.bottom - row * metrics.iconHeight;
    return { left, bottom - metrics.iconHeight, left + metrics.iconWidth, bottom };
}

int IconRows(int iconCount, const RECT& client, const MdiMetrics& metrics)
{
    if (iconCount <= 0)
        return 0;
    int perRow = std::max(1, (client.right - client.left) / std::max(1, metrics.iconWidth));
    return (iconCount + perRow - 1) / perRow;
}

} // namespace fln::user
