#pragma once
// The small glyphs of docked bars' caption buttons, drawn as crisp pixel shapes: the close cross,
// the four arrows of expanding and contracting a bar in its row, and the pin of auto-hiding. A
// glyph fills the cell a 6-point symbol font would take at 96 DPI.

#include "platform/gdi/GdiTypes.h"

namespace fln::gdi {

enum class CaptionGlyph { Close, ArrowLeft, ArrowRight, ArrowUp, ArrowDown };

constexpr int kCaptionGlyphCell = 8;

// Draws the glyph in the cell whose top-left corner is given.
void DrawCaptionGlyph(HDC dc, POINT cellTopLeft, CaptionGlyph glyph, COLORREF color);

// A drawing pin seen from the side in the square, measured in quarters and eighths of its width:
// its head a box, a collar across it, its point a line out of the collar's middle; pointing down
// when pinned, to the left when not.
void DrawPin(HDC dc, const RECT& square, bool pinned, COLORREF color);

} // namespace fln::gdi
