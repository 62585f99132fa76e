#pragma once
// Text output shared by TextOut, DrawText and DrawState (internal to platform/gdi).

#include "platform/gdi/DeviceContext.h"

#include <string_view>
#include <vector>

namespace fln::gdi {

// Advances in device pixels: the font's widths, the character extra, and the justification
// spread over the spaces.
std::vector<int> textAdvances(const DeviceContext& dc, const RealizedFont& font, std::wstring_view text);

struct TextDrawing {
    std::wstring_view text;
    POINT reference {}; // device units
    UINT align = TA_LEFT | TA_TOP;
    const std::vector<int>* advances = nullptr; // null: the natural advances
    int underlinedIndex = -1; // a mnemonic's character
    const RECT* clip = nullptr; // device units
    bool opaqueBackground = false;
};

// Draws one line of text in the DC's font and text colour; returns its width in device pixels.
int drawTextLine(DeviceContext& dc, const TextDrawing& drawing);

} // namespace fln::gdi
