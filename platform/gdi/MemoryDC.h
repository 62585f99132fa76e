#pragma once
// A memory DC for the length of a scope, with whatever it holds selected out again and deleted
// when it goes: a caller's bitmap (for reading or drawing on it), a bitmap of its own compatible
// with a reference DC (for drawing off screen and copying the picture over in one piece), or
// nothing but the DC's own 1 x 1 bitmap (for measuring text in a font). Fonts, pens and brushes
// selected into it need not be selected out: they are let go with the DC. FontMetrics measures
// a font on one.

#include "platform/gdi/GdiTypes.h"

namespace fln::gdi {

class MemoryDC {
public:
    // A DC compatible with `reference` (null: the screen) that holds no picture of its own.
    explicit MemoryDC(HDC reference = nullptr);
    // Selects the caller's bitmap, which stays the caller's.
    MemoryDC(HDC reference, HBITMAP bitmap);
    // Makes a width x height bitmap compatible with `reference` and selects it. valid() tells
    // whether the DC and the bitmap could be made.
    MemoryDC(HDC reference, int width, int height);
    ~MemoryDC();
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;

    bool valid() const { return m_dc && (m_bitmap || !m_ownsBitmap); }
    HDC dc() const { return m_dc; }
    operator HDC() const { return m_dc; }

    // Copies the whole picture to (x, y) of `target`.
    void CopyTo(HDC target, int x, int y) const;
    // Selects the bitmap out of the DC and hands it over: the caller owns it from now on.
    HBITMAP DetachBitmap();

private:
    HDC m_dc;
    HBITMAP m_bitmap = nullptr;
    bool m_ownsBitmap = false;
    int m_width = 0;
    int m_height = 0;
    HGDIOBJ m_oldBitmap = nullptr;
};

// The metrics of a font as the screen measures it; null is the system font.
TEXTMETRICW FontMetrics(HFONT font);

} // namespace fln::gdi
