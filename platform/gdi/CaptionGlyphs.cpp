#include "platform/gdi/CaptionGlyphs.h"

#include "platform/gdi/ClassicParts.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>

namespace fln::gdi {
namespace {

// A cross of two strokes two pixels wide, 7 by 6 pixels.
void DrawCross(HDC dc, POINT origin, COLORREF color)
{
    constexpr int kWidth = 7, kHeight = 6;
    for (int y = 0; y < kHeight; ++y) {
        const int step = std::min(y, kHeight - 1 - y);
        for (int x : { step, step + 1, kWidth - 2 - step, kWidth - 1 - step })
            SetPixelV(dc, origin.x + x, origin.y + y, color);
    }
}

} // namespace

void DrawCaptionGlyph(HDC dc, POINT cell, CaptionGlyph glyph, COLORREF color)
{
    const RECT box { cell.x, cell.y, cell.x + kCaptionGlyphCell, cell.y + kCaptionGlyphCell };
    constexpr int kArrowSize = 4;
    switch (glyph) {
    case CaptionGlyph::Close: DrawCross(dc, { cell.x, cell.y + 1 }, color); break;
    case CaptionGlyph::ArrowLeft: DrawArrow(dc, box, ArrowDirection::Left, kArrowSize, color); break;
    case CaptionGlyph::ArrowRight: DrawArrow(dc, box, ArrowDirection::Right, kArrowSize, color); break;
    case CaptionGlyph::ArrowUp: DrawArrow(dc, box, ArrowDirection::Up, kArrowSize, color); break;
    case CaptionGlyph::ArrowDown: DrawArrow(dc, box, ArrowDirection::Down, kArrowSize, color); break;
    }
}

void DrawPin(HDC dc, const RECT& square, bool pinned, COLORREF color)
{
    const int side = std::min(square.right - square.left, square.bottom - square.top);
    const POINT centre { square.left + side / 2, square.top + side / 2 };
    const int quarter = side / 4, eighth = std::max(1, side / 8);
    // Points are given across (u) and along (v) the pin, v growing towards its point.
    auto plot = [&](int u, int v) {
        const POINT at = pinned ? POINT { centre.x + u, centre.y + v } : POINT { centre.x - v, centre.y + u };
        SetPixelV(dc, at.x, at.y, color);
    };
    // The head: a box outlined from near the square's far edge to the centre.
    const int back = -(side / 2 - eighth);
    for (int v = back; v <= 0; ++v) {
        plot(-eighth, v);
        plot(eighth, v);
    }
    for (int u = -eighth; u <= eighth; ++u)
        plot(u, back);
    // The collar across the pin at the centre, and the needle beyond it.
    for (int u = -quarter; u <= quarter; ++u)
        plot(u, 0);
    for (int v = 0; v <= quarter; ++v)
        plot(0, v);
}

} // namespace fln::gdi
