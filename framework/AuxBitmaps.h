#pragma once
// The toolkit's bitmap effects: a picture from a source DC drawn onto a destination with its key
// colour left out, greyed, tinted, embossed or as a flat shape, and the striped gradient fill.
// Each routine works through temporary memory DCs and bitmaps that it deletes again, and leaves
// the colours of both DCs as it found them. The key colour is matched as the source's device
// stores it: the top-left pixel of the source area is set to the key for a moment and read back.
// The routines answer FALSE, drawing nothing, for an empty area or when a temporary bitmap
// cannot be made.

#include "platform/gdi/GdiTypes.h"

// The picture with every key pixel showing the destination. A monochrome picture is drawn in the
// destination's text and background colours.
BOOL DrawTransparentBitmap(HDC dc, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF key);

// The picture lightened by 32 on every channel; with `grey`, near-white pixels become black and
// dark ones white first. Key pixels show the destination.
BOOL DrawBitmapDisabled(HDC dc, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF key, BOOL grey);

// Every non-key pixel p becomes (p * alpha + tint * (255 - alpha)) / 256 per channel.
BOOL DrawBitmapAlphaTinted(HDC dc, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF key,
    COLORREF tint, BYTE alpha);

// The picture's dark parts (neither key nor of a luminance above 180 of 255) in one colour.
BOOL DrawBitmapEmbossed(HDC dc, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF key,
    COLORREF colour);

// Every non-key pixel of the picture in one colour.
BOOL DrawBitmapShape(HDC dc, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF key, COLORREF colour);

// 255 strips from colourFrom towards colourTo, left to right when `horizontal`, else top to
// bottom; strip i spans i * extent / 255 to (i + 1) * extent / 255, rounded down.
BOOL FillGradient(HDC dc, int left, int top, int width, int height, COLORREF colourTo, COLORREF colourFrom, BOOL horizontal);

// ---- masks, and the embossed look the bars give disabled pictures

// A memory DC holding a bitmap of its own (1 or 32 bits a pixel), both deleted with it.
class SECMemoryBitmap {
public:
    SECMemoryBitmap(HDC reference, int cx, int cy, UINT bitsPerPixel);
    ~SECMemoryBitmap();
    SECMemoryBitmap(const SECMemoryBitmap&) = delete;
    SECMemoryBitmap& operator=(const SECMemoryBitmap&) = delete;

    bool IsValid() const { return m_bitmap != nullptr; }
    HDC GetDC() const { return m_dc; }
    HBITMAP GetBitmap() const { return m_bitmap; }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }

private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old = nullptr;
    int m_cx, m_cy;
};

// A monochrome mask that starts black (all picture); `Whiten` turns the pixels where a source
// shows a background colour white.
class SECMonoMask : public SECMemoryBitmap {
public:
    SECMonoMask(HDC reference, int cx, int cy);
    void Whiten(HDC source, int sourceX, int sourceY, COLORREF background);
};

// Whitens the mask (cx x cy, from its origin) where the source area shows `background`.
void WhitenMask(HDC mask, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF background);

// Paints `colour` where the monochrome mask is black; where it is white the destination stays.
void FillThroughMask(HDC dc, int x, int y, int cx, int cy, HDC mask, COLORREF colour);

// The classic embossed picture: the mask's black parts in the highlight colour one pixel right
// and down, then in the shadow colour in place.
void DrawEmbossedMask(HDC dc, int x, int y, int cx, int cy, HDC mask);
