#pragma once
// A palette picture in memory (1, 4 or 8 bits a pixel, rows stored bottom-up) that draws itself
// through a DIB section made on first use.

#include "platform/gdi/Gdi.h"

#include <vector>

class CCeXDib {
public:
    virtual ~CCeXDib() { Free(); }

    // The block (header, palette, pixels), or null when it cannot be made; frees what was held.
    void* Create(DWORD width, DWORD height, WORD bitCount);
    void Free();
    void Clear(BYTE value = 0);
    void SetPaletteIndex(BYTE index, BYTE red, BYTE green, BYTE blue);
    // y counts from the top; outside the picture nothing happens.
    void SetPixelIndex(DWORD x, DWORD y, BYTE index);
    // Moves every palette entry percent (at most 100) of the way towards the colour.
    void BlendPalette(COLORREF color, DWORD percent);
    void Draw(HDC dc, DWORD x, DWORD y);

    BYTE* GetBits() { return m_block.empty() ? nullptr : m_block.data() + m_header.biSize + GetPaletteSize(); }
    DWORD GetLineWidth() const { return m_lineWidth; }
    DWORD GetPaletteSize() const { return m_paletteEntries * sizeof(RGBQUAD); }
    DWORD GetSize() const { return m_header.biSize + GetPaletteSize() + m_header.biSizeImage; }

private:
    RGBQUAD* Palette() { return reinterpret_cast<RGBQUAD*>(m_block.data() + m_header.biSize); }

    std::vector<BYTE> m_block;
    BITMAPINFOHEADER m_header {};
    DWORD m_lineWidth = 0;
    DWORD m_paletteEntries = 0;
    HBITMAP m_section = nullptr;
    HDC m_memoryDC = nullptr;
    void* m_sectionBits = nullptr;
};
