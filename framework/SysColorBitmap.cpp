#include "framework/SysColorBitmap.h"

#include "platform/mfc/Dc.h"
#include "platform/res/Resources.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

COLORREF SystemColourFor(const RGBQUAD& entry, bool& mapped)
{
    struct Mapping {
        BYTE level;
        int index;
    };
    constexpr Mapping kMappings[] = { { 0x00, COLOR_BTNTEXT }, { 0x80, COLOR_BTNSHADOW }, { 0xC0, COLOR_BTNFACE }, { 0xFF, COLOR_BTNHIGHLIGHT } };
    mapped = false;
    if (entry.rgbRed != entry.rgbGreen || entry.rgbGreen != entry.rgbBlue)
        return 0;
    for (const Mapping& mapping : kMappings) {
        if (entry.rgbRed == mapping.level) {
            mapped = true;
            return ::GetSysColor(mapping.index);
        }
    }
    return 0;
}

} // namespace

BOOL SECLoadSysColorBitmap(CBitmap& bitmap, LPCWSTR name)
{
    HRSRC resource = ::FindResourceW(nullptr, name, RT_BITMAP);
    HGLOBAL data = resource ? ::LoadResource(nullptr, resource) : nullptr;
    const auto* bytes = static_cast<const BYTE*>(data ? ::LockResource(data) : nullptr);
    const DWORD size = resource ? ::SizeofResource(nullptr, resource) : 0;
    if (!bytes || size < sizeof(BITMAPINFOHEADER))
        return FALSE;
    BITMAPINFOHEADER header;
    std::memcpy(&header, bytes, sizeof header);
    if (header.biSize < sizeof header || header.biWidth <= 0 || header.biHeight == 0 || header.biBitCount == 0)
        return FALSE;
    // A palette bitmap's table has the entries it says it uses, or all its depth allows.
    const DWORD colours = header.biBitCount <= 8 ? (header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount) : 0;
    const size_t tableBytes = static_cast<size_t>(colours) * sizeof(RGBQUAD);
    if (header.biSize + tableBytes > size || colours > 256)
        return FALSE;
    std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + std::max<size_t>(tableBytes, sizeof(RGBQUAD)));
    std::memcpy(info.data(), &header, sizeof header);
    reinterpret_cast<BITMAPINFOHEADER*>(info.data())->biSize = sizeof header;
    std::memcpy(info.data() + sizeof header, bytes + header.biSize, tableBytes);
    auto* table = reinterpret_cast<RGBQUAD*>(info.data() + sizeof header);
    for (DWORD i = 0; i < colours; ++i) {
        bool mapped = false;
        const COLORREF colour = SystemColourFor(table[i], mapped);
        if (mapped)
            table[i] = { GetBValue(colour), GetGValue(colour), GetRValue(colour), 0 };
    }
    const int width = header.biWidth, height = std::abs(header.biHeight);
    const DWORD rowBytes = ((static_cast<DWORD>(width) * header.biBitCount + 31) / 32) * 4;
    const size_t bitsOffset = header.biSize + tableBytes;
    if (bitsOffset + static_cast<size_t>(rowBytes) * static_cast<size_t>(height) > size)
        return FALSE;

    CClientDC screen(nullptr);
    CDC memory;
    CBitmap made;
    if (!memory.CreateCompatibleDC(&screen) || !made.CreateCompatibleBitmap(&screen, width, height))
        return FALSE;
    CBitmap* old = memory.SelectObject(&made);
    ::StretchDIBits(memory, 0, 0, width, height, 0, 0, width, height, bytes + bitsOffset,
        reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, SRCCOPY);
    memory.SelectObject(old);
    bitmap.DeleteObject();
    return bitmap.Attach(made.Detach());
}
