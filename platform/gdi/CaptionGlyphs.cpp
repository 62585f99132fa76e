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
    const int side = square.right - square.left, quarter = side / 4, eighth = std::max(1, side / 8);
    const POINT centre { (square.left + square.right) / 2, (square.top + square.bottom) / 2 };
    auto line = [&](int x, int y, int cx, int cy) {
        const RECT r { x, y, x + cx, y + cy };
        FillSolidRect(dc, &r, color);
    };
    auto box = [&](int x, int y, int cx, int cy) {
        const RECT r { x, y, x + cx, y + cy };
        Draw3dRect(dc, &r, color, color);
    };
    if (pinned) {
        const int collar = square.top + eighth + 2 * quarter;
        line(centre.x - quarter, square.top + eighth + 1, 2 * quarter, 1); // the head's cap
        box(centre.x - eighth - 1, square.top + eighth + 1, 2 * eighth + 2, 2 * quarter);
        line(centre.x - quarter - eighth, collar, 2 * (quarter + eighth) + 1, 1);
        line(centre.x, collar, 1, square.bottom - eighth - collar);
    } else {
        const int collar = square.right - eighth - 2 * quarter;
        line(square.right - eighth - 1, centre.y - quarter, 1, 2 * quarter);
        box(collar, centre.y - eighth - 1, 2 * quarter, 2 * eighth + 2);
        line(collar, centre.y - quarter - eighth, 1, 2 * (quarter + eighth) + 1);
        line(square.left + eighth, centre.y, collar - (square.left + eighth), 1);
    }
}

} // namespace fln::gdi
