#include "controls/CeXDib.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

void* CCeXDib::Create(DWORD width, DWORD height, WORD bitCount)
{
    Free();
    m_header = {};
    m_lineWidth = 0;
    m_paletteEntries = bitCount == 1 ? 2 : bitCount == 4 ? 16 : bitCount == 8 ? 256 : 0;
    // Sizes are worked out in 64 bits: a picture whose sizes do not fit the header is refused rather
    // than made smaller than its rows.
    const std::uint64_t lineWidth = ((std::uint64_t { bitCount } * width + 31) / 8) & ~std::uint64_t { 3 };
    const std::uint64_t imageSize = lineWidth * height;
    constexpr std::uint64_t kLargest = std::numeric_limits<DWORD>::max() - sizeof(BITMAPINFOHEADER) - 256 * sizeof(RGBQUAD);
    if (width > std::numeric_limits<LONG>::max() || height > std::numeric_limits<LONG>::max() || imageSize > kLargest) {
        m_paletteEntries = 0;
        return nullptr;
    }
    m_lineWidth = static_cast<DWORD>(lineWidth);
    m_header.biSize = sizeof(BITMAPINFOHEADER);
    m_header.biWidth = static_cast<LONG>(width);
    m_header.biHeight = static_cast<LONG>(height);
    m_header.biPlanes = 1;
    m_header.biBitCount = bitCount;
    m_header.biCompression = BI_RGB;
    m_header.biSizeImage = m_lineWidth * height;
    try {
        m_block.assign(GetSize(), 0);
    } catch (const std::bad_alloc&) {
        m_block.clear();
        return nullptr;
    }
    std::memcpy(m_block.data(), &m_header, sizeof m_header);
    return m_block.data();
}

void CCeXDib::Free()
{
    if (m_memoryDC)
        DeleteDC(m_memoryDC);
    if (m_section)
        DeleteObject(m_section);
    m_memoryDC = nullptr;
    m_section = nullptr;
    m_sectionBits = nullptr;
    m_block.clear();
    m_block.shrink_to_fit();
}

void CCeXDib::Clear(BYTE value)
{
    if (BYTE* bits = GetBits())
        std::memset(bits, value, m_header.biSizeImage);
}

void CCeXDib::SetPaletteIndex(BYTE index, BYTE red, BYTE green, BYTE blue)
{
    if (m_block.empty() || index >= m_paletteEntries)
        return;
    Palette()[index] = { blue, green, red, 0 };
}

void CCeXDib::SetPixelIndex(DWORD x, DWORD y, BYTE index)
{
    if (m_block.empty() || m_header.biBitCount != 8 || x >= static_cast<DWORD>(m_header.biWidth)
        || y >= static_cast<DWORD>(m_header.biHeight))
        return;
    GetBits()[(static_cast<DWORD>(m_header.biHeight) - y - 1) * m_lineWidth + x] = index;
}

void CCeXDib::BlendPalette(COLORREF color, DWORD percent)
{
    if (m_block.empty())
        return;
    percent = std::min<DWORD>(percent, 100);
    auto blend = [percent](BYTE entry, BYTE target) {
        return static_cast<BYTE>((entry * (100 - percent) + target * percent) / 100);
    };
    for (DWORD i = 0; i < m_paletteEntries; ++i) {
        RGBQUAD& entry = Palette()[i];
        entry.rgbRed = blend(entry.rgbRed, GetRValue(color));
        entry.rgbGreen = blend(entry.rgbGreen, GetGValue(color));
        entry.rgbBlue = blend(entry.rgbBlue, GetBValue(color));
    }
}

void CCeXDib::Draw(HDC dc, DWORD x, DWORD y)
{
    if (m_block.empty())
        return;
    auto* info = reinterpret_cast<const BITMAPINFO*>(m_block.data());
    if (!m_section) {
        m_section = CreateDIBSection(dc, info, DIB_RGB_COLORS, &m_sectionBits, nullptr, 0);
        if (!m_section)
            return;
    }
    if (!m_memoryDC && !(m_memoryDC = CreateCompatibleDC(dc)))
        return;
    SetDIBits(m_memoryDC, m_section, 0, static_cast<UINT>(m_header.biHeight), GetBits(), info, DIB_RGB_COLORS);
    HGDIOBJ old = SelectObject(m_memoryDC, m_section);
    BitBlt(dc, static_cast<int>(x), static_cast<int>(y), m_header.biWidth, m_header.biHeight, m_memoryDC, 0, 0, SRCCOPY);
    SelectObject(m_memoryDC, old);
}
