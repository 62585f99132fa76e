#include "framework/AuxBitmaps.h"

#include "framework/AuxData.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <cstdint>
#include <vector>

namespace {

// The brush where the source is white, the destination elsewhere. A monochrome mask drawn with
// text colour white and background black arrives with its black pixels white.
constexpr DWORD kBrushWhereSourceWhite = 0xE20746;

// Heavier on green, as the eye sees it: 0 for black, 65280 for white.
int Luminance(COLORREF c)
{
    return 77 * GetRValue(c) + 153 * GetGValue(c) + 26 * GetBValue(c);
}

// The key as the source's device stores it, so that it matches the source's own pixels.
COLORREF DeviceKey(HDC source, int x, int y, COLORREF key)
{
    const COLORREF saved = GetPixel(source, x, y);
    if (saved == CLR_INVALID)
        return key;
    SetPixelV(source, x, y, key);
    const COLORREF stored = GetPixel(source, x, y);
    SetPixelV(source, x, y, saved);
    return stored == CLR_INVALID ? key : stored;
}

BITMAPINFO TopDown32(int cx, int cy)
{
    BITMAPINFO info {};
    info.bmiHeader = BITMAPINFOHEADER { sizeof(BITMAPINFOHEADER), cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0 };
    return info;
}

// Every pixel of a memory bitmap, row by row from the top.
std::vector<COLORREF> PixelsOf(const SECMemoryBitmap& bitmap)
{
    std::vector<DWORD> quads(static_cast<size_t>(bitmap.Width()) * static_cast<size_t>(bitmap.Height()));
    BITMAPINFO info = TopDown32(bitmap.Width(), bitmap.Height());
    GetDIBits(bitmap.GetDC(), bitmap.GetBitmap(), 0, static_cast<UINT>(bitmap.Height()), quads.data(), &info, DIB_RGB_COLORS);
    std::vector<COLORREF> pixels;
    pixels.reserve(quads.size());
    for (DWORD quad : quads) // blue first: 0x00RRGGBB
        pixels.push_back(RGB((quad >> 16) & 0xFF, (quad >> 8) & 0xFF, quad & 0xFF));
    return pixels;
}

void SetPixelsOf(SECMemoryBitmap& bitmap, const std::vector<COLORREF>& pixels)
{
    std::vector<DWORD> quads;
    quads.reserve(pixels.size());
    for (COLORREF c : pixels)
        quads.push_back(DWORD(GetRValue(c)) << 16 | DWORD(GetGValue(c)) << 8 | GetBValue(c));
    BITMAPINFO info = TopDown32(bitmap.Width(), bitmap.Height());
    SetDIBits(bitmap.GetDC(), bitmap.GetBitmap(), 0, static_cast<UINT>(bitmap.Height()), quads.data(), &info, DIB_RGB_COLORS);
}

// The source's picture on a colour bitmap of its own.
bool CopySource(const SECMemoryBitmap& copy, HDC source, int sourceX, int sourceY)
{
    return copy.IsValid() && BitBlt(copy.GetDC(), 0, 0, copy.Width(), copy.Height(), source, sourceX, sourceY, SRCCOPY);
}

// Sets recolour(p) of every non-key source pixel p into a copy of the destination area, and
// copies that back.
template<typename Recolour>
BOOL RecolourOnto(HDC dc, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF key, Recolour recolour)
{
    SECMemoryBitmap picture(dc, cx, cy, 32), canvas(dc, cx, cy, 32);
    if (!CopySource(picture, source, sourceX, sourceY) || !CopySource(canvas, dc, x, y))
        return FALSE;
    const COLORREF deviceKey = DeviceKey(source, sourceX, sourceY, key);
    const std::vector<COLORREF> pixels = PixelsOf(picture);
    std::vector<COLORREF> result = PixelsOf(canvas);
    for (size_t i = 0; i < pixels.size(); ++i)
        if (pixels[i] != deviceKey)
            result[i] = recolour(pixels[i]);
    SetPixelsOf(canvas, result);
    return BitBlt(dc, x, y, cx, cy, canvas.GetDC(), 0, 0, SRCCOPY);
}

} // namespace

// ---- masks

SECMemoryBitmap::SECMemoryBitmap(HDC reference, int cx, int cy, UINT bitsPerPixel)
    : m_dc(CreateCompatibleDC(reference))
    , m_bitmap(m_dc && cx > 0 && cy > 0 ? CreateBitmap(cx, cy, 1, bitsPerPixel, nullptr) : nullptr)
    , m_cx(cx)
    , m_cy(cy)
{
    if (m_bitmap)
        m_old = SelectObject(m_dc, m_bitmap);
}

SECMemoryBitmap::~SECMemoryBitmap()
{
    if (m_old)
        SelectObject(m_dc, m_old);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    if (m_dc)
        DeleteDC(m_dc);
}

SECMonoMask::SECMonoMask(HDC reference, int cx, int cy)
    : SECMemoryBitmap(reference, cx, cy, 1)
{
    if (IsValid())
        PatBlt(GetDC(), 0, 0, cx, cy, BLACKNESS);
}

void SECMonoMask::Whiten(HDC source, int sourceX, int sourceY, COLORREF background)
{
    if (IsValid())
        WhitenMask(GetDC(), Width(), Height(), source, sourceX, sourceY, background);
}

void WhitenMask(HDC mask, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF background)
{
    // Colour to monochrome: the source's background colour becomes white, all else black.
    const COLORREF previous = SetBkColor(source, background);
    BitBlt(mask, 0, 0, cx, cy, source, sourceX, sourceY, SRCPAINT);
    SetBkColor(source, previous);
}

void FillThroughMask(HDC dc, int x, int y, int cx, int cy, HDC mask, COLORREF colour)
{
    HBRUSH brush = CreateSolidBrush(colour);
    const HGDIOBJ oldBrush = SelectObject(dc, brush);
    const COLORREF oldText = SetTextColor(dc, RGB(255, 255, 255)), oldBack = SetBkColor(dc, RGB(0, 0, 0));
    BitBlt(dc, x, y, cx, cy, mask, 0, 0, kBrushWhereSourceWhite);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    SelectObject(dc, oldBrush);
    DeleteObject(brush);
}

void DrawEmbossedMask(HDC dc, int x, int y, int cx, int cy, HDC mask)
{
    FillThroughMask(dc, x + 1, y + 1, cx - 1, cy - 1, mask, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillThroughMask(dc, x, y, cx, cy, mask, GetSysColor(COLOR_BTNSHADOW));
}

// ---- the routines

BOOL DrawTransparentBitmap(HDC dc, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF key)
{
    SECMonoMask mask(dc, cx, cy);
    if (!mask.IsValid())
        return FALSE;
    mask.Whiten(source, sourceX, sourceY, DeviceKey(source, sourceX, sourceY, key));
    // source ^ destination, kept only under the key, ^ source: the source, or the destination under
    // the key. A monochrome source is drawn in the destination's text and background colours.
    BitBlt(dc, x, y, cx, cy, source, sourceX, sourceY, SRCINVERT);
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0)), oldBack = SetBkColor(dc, RGB(255, 255, 255));
    BitBlt(dc, x, y, cx, cy, mask.GetDC(), 0, 0, SRCAND);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    BitBlt(dc, x, y, cx, cy, source, sourceX, sourceY, SRCINVERT);
    return TRUE;
}

BOOL DrawBitmapDisabled(HDC dc, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF key, BOOL grey)
{
    return RecolourOnto(dc, x, y, cx, cy, source, sourceX, sourceY, key, [grey](COLORREF p) {
        if (grey) {
            const int luminance = Luminance(p);
            if (luminance > 64768)
                p = RGB(0, 0, 0);
            else if (luminance < 25600)
                p = RGB(255, 255, 255);
        }
        return LightenColor(p, 32);
    });
}

BOOL DrawBitmapAlphaTinted(HDC dc, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF key,
    COLORREF tint, BYTE alpha)
{
    auto mix = [alpha](int p, int t) { return static_cast<BYTE>((p * alpha + t * (255 - alpha)) / 256); };
    return RecolourOnto(dc, x, y, cx, cy, source, sourceX, sourceY, key, [&](COLORREF p) {
        return RGB(mix(GetRValue(p), GetRValue(tint)), mix(GetGValue(p), GetGValue(tint)), mix(GetBValue(p), GetBValue(tint)));
    });
}

BOOL DrawBitmapEmbossed(HDC dc, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF key, COLORREF colour)
{
    SECMemoryBitmap picture(dc, cx, cy, 32);
    SECMonoMask mask(dc, cx, cy);
    if (!mask.IsValid() || !CopySource(picture, source, sourceX, sourceY))
        return FALSE;
    // White under the key and where the picture is light; black (the colour) elsewhere.
    const COLORREF deviceKey = DeviceKey(source, sourceX, sourceY, key);
    std::vector<COLORREF> pixels = PixelsOf(picture);
    for (COLORREF& p : pixels)
        p = p == deviceKey || Luminance(p) > 46080 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    SetPixelsOf(mask, pixels);
    FillThroughMask(dc, x, y, cx, cy, mask.GetDC(), colour);
    return TRUE;
}

BOOL DrawBitmapShape(HDC dc, int x, int y, int cx, int cy, HDC source, int sourceX, int sourceY, COLORREF key, COLORREF colour)
{
    SECMonoMask mask(dc, cx, cy);
    if (!mask.IsValid())
        return FALSE;
    mask.Whiten(source, sourceX, sourceY, DeviceKey(source, sourceX, sourceY, key));
    FillThroughMask(dc, x, y, cx, cy, mask.GetDC(), colour);
    return TRUE;
}

BOOL FillGradient(HDC dc, int left, int top, int width, int height, COLORREF colourTo, COLORREF colourFrom, BOOL horizontal)
{
    if (width <= 0 || height <= 0)
        return FALSE;
    constexpr int kStrips = 255;
    const int extent = horizontal ? width : height;
    auto step = [](int from, int to, int i) { return from + (to - from) * i / kStrips; };
    for (int i = 0; i < kStrips; ++i) {
        const int begin = static_cast<int>(int64_t(i) * extent / kStrips), end = static_cast<int>(int64_t(i + 1) * extent / kStrips);
        if (begin == end)
            continue;
        const RECT strip = horizontal ? RECT { left + begin, top, left + end, top + height } : RECT { left, top + begin, left + width, top + end };
        HBRUSH brush = CreateSolidBrush(RGB(step(GetRValue(colourFrom), GetRValue(colourTo), i),
            step(GetGValue(colourFrom), GetGValue(colourTo), i), step(GetBValue(colourFrom), GetBValue(colourTo), i)));
        FillRect(dc, &strip, brush);
        DeleteObject(brush);
    }
    return TRUE;
}
