#include "platform/gdi/MemoryDC.h"

#include "platform/gdi/Gdi.h"

#include <utility>

namespace fln::gdi {

MemoryDC::MemoryDC(HDC reference)
    : m_dc(CreateCompatibleDC(reference))
{
}

MemoryDC::MemoryDC(HDC reference, HBITMAP bitmap)
    : MemoryDC(reference)
{
    if (m_dc && bitmap) {
        m_bitmap = bitmap;
        m_oldBitmap = SelectObject(m_dc, bitmap);
    }
}

MemoryDC::MemoryDC(HDC reference, int width, int height)
    : MemoryDC(reference)
{
    m_ownsBitmap = true;
    if (!m_dc || !(m_bitmap = CreateCompatibleBitmap(reference, width, height)))
        return;
    m_width = width;
    m_height = height;
    m_oldBitmap = SelectObject(m_dc, m_bitmap);
}

MemoryDC::~MemoryDC()
{
    const bool owned = m_ownsBitmap;
    if (HBITMAP bitmap = DetachBitmap(); bitmap && owned)
        DeleteObject(bitmap);
    if (m_dc)
        DeleteDC(m_dc);
}

void MemoryDC::CopyTo(HDC target, int x, int y) const
{
    BitBlt(target, x, y, m_width, m_height, m_dc, 0, 0, SRCCOPY);
}

HBITMAP MemoryDC::DetachBitmap()
{
    HBITMAP bitmap = std::exchange(m_bitmap, nullptr);
    if (bitmap)
        SelectObject(m_dc, std::exchange(m_oldBitmap, nullptr));
    m_ownsBitmap = false;
    m_width = m_height = 0;
    return bitmap;
}

TEXTMETRICW FontMetrics(HFONT font)
{
    MemoryDC dc;
    SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    return metrics;
}

} // namespace fln::gdi
