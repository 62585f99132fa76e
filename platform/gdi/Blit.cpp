// Bitmaps, DIBs and the raster operations that copy between device contexts.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Stock.h"
#include "platform/gdi/Surface.h"

#include <cstring>
#include <initializer_list>
#include <optional>

using namespace fln::gdi;

namespace {

constexpr BYTE ropCode(DWORD rop) { return static_cast<BYTE>((rop >> 16) & 0xFF); }
constexpr bool usesSource(BYTE code) { return ((code ^ (code >> 2)) & 0x33) != 0; }
constexpr bool usesPattern(BYTE code) { return ((code ^ (code >> 4)) & 0x0F) != 0; }

// Coordinates and extents beyond 2^27 are refused, as the classic system refuses them; within it
// no sum of two overflows.
constexpr bool inRange(std::initializer_list<int> values)
{
    for (int v : values)
        if (v < -(1 << 27) || v > (1 << 27))
            return false;
    return true;
}

// Normalises a possibly negative extent: a negative one covers (x + w, x] and mirrors.
void normalize(int& x, int& w, bool& mirrored)
{
    if (w < 0) {
        x = x + w + 1;
        w = -w;
        mirrored = !mirrored;
    }
}

// The part of the source rectangle on the source's target, read once (so that overlapping copies
// within one surface work) and converted to the destination's kind: colour to monochrome and
// monochrome to colour as the rules say.
struct SourcePixels {
    RECT area {};
    Pixels pixels;
    bool contains(int x, int y) const { return x >= area.left && x < area.right && y >= area.top && y < area.bottom; }
    uint32_t at(int x, int y) const { return pixels.at(x - area.left, y - area.top); }
};

SourcePixels readSource(DeviceContext& source, const RECT& wanted, DeviceContext& destination, bool destinationMono)
{
    SourcePixels out;
    Canvas canvas(source, Canvas::Access::Read);
    if (!canvas.valid())
        return out;
    RECT bounds = canvas.targetBounds();
    if (!IntersectRect(&out.area, &wanted, &bounds))
        return out;
    out.pixels.width = out.area.right - out.area.left;
    out.pixels.height = out.area.bottom - out.area.top;
    out.pixels.data.reserve(static_cast<size_t>(out.pixels.width) * out.pixels.height);
    bool sourceMono = canvas.monochrome();
    uint32_t sourceBack = toPixel(source.state.bkColor);
    uint32_t text = toPixel(destination.state.textColor), back = toPixel(destination.state.bkColor);
    for (int y = out.area.top; y < out.area.bottom; ++y)
        for (int x = out.area.left; x < out.area.right; ++x) {
            uint32_t p = canvas.pixel(x, y) & 0xFFFFFF;
            if (!sourceMono && destinationMono)
                p = p == sourceBack ? 0xFFFFFF : 0;
            else if (sourceMono && !destinationMono)
                p = p ? back : text;
            out.pixels.data.push_back(p);
        }
    return out;
}

// The plain copy without conversion, row by row (in the order that suits an overlapping copy
// within one surface). False when the source needs converting.
bool copyRows(Canvas& canvas, DeviceContext& src, int dx, int dy, int width, int height, int srcX, int srcY)
{
    std::optional<Canvas> own;
    Canvas* source = &canvas;
    if (&src != &canvas.owner()) {
        own.emplace(src, Canvas::Access::Read);
        source = &*own;
    }
    if (!source->valid() || source->monochrome() != canvas.monochrome())
        return false;
    RECT bounds = source->targetBounds();
    bool upwards = source->sharesPixelsWith(canvas) && srcY < dy;
    uint32_t alpha = canvas.hasAlpha() ? 0xFF000000 : 0;
    const Region& clip = canvas.clip();
    RECT box = clip.bounds();
    int firstRow = std::max(0, int(box.top) - dy), lastRow = std::min(height, int(box.bottom) - dy);
    canvas.touchRows(dy + firstRow, dy + lastRow);
    for (int i = 0; i < lastRow - firstRow; ++i) {
        int row = upwards ? lastRow - 1 - i : firstRow + i;
        int py = dy + row, sy = srcY + row;
        if (sy < bounds.top || sy >= bounds.bottom)
            continue;
        const Band* band = clip.bandAt(py);
        if (!band)
            continue;
        for (const Span& span : band->spans) {
            int left = std::max({ span.left, dx, dx + int(bounds.left) - srcX });
            int right = std::min({ span.right, dx + width, dx + int(bounds.right) - srcX });
            if (left >= right)
                continue;
            uint32_t* out = &canvas.pixel(left, py);
            std::memmove(out, &source->pixel(srcX + left - dx, sy), static_cast<size_t>(right - left) * 4);
            if (alpha)
                for (int x = 0; x < right - left; ++x)
                    out[x] |= alpha;
        }
    }
    return true;
}

bool blit(DeviceContext& dst, int x, int y, int width, int height, DeviceContext* src, int sx, int sy, int sw, int sh,
    DWORD rop, BitmapObject* mask = nullptr, int maskX = 0, int maskY = 0)
{
    if (!inRange({ x, y, width, height, sx, sy, sw, sh }))
        return false;
    BYTE fore = ropCode(rop);
    BYTE back = mask ? static_cast<BYTE>((rop >> 24) & 0xFF) : fore;
    bool needSource = usesSource(fore) || usesSource(back);
    if (needSource && !src)
        return false;

    // Destination rectangle in device units.
    POINT d0 = dst.toDevice(POINT { x, y }), d1 = dst.toDevice(POINT { x + width, y + height });
    int dx = d0.x, dw = d1.x - d0.x, dy = d0.y, dh = d1.y - d0.y;
    bool mirrorX = false, mirrorY = false;
    normalize(dx, dw, mirrorX);
    normalize(dy, dh, mirrorY);
    if (dw == 0 || dh == 0)
        return true;
    int srcX = 0, srcY = 0;
    if (needSource) {
        POINT s0 = src->toDevice(POINT { sx, sy }), s1 = src->toDevice(POINT { sx + sw, sy + sh });
        srcX = s0.x, srcY = s0.y, sw = s1.x - s0.x, sh = s1.y - s0.y;
        normalize(srcX, sw, mirrorX);
        normalize(srcY, sh, mirrorY);
        if (sw == 0 || sh == 0)
            return true;
    }

    Canvas canvas(dst);
    if (!canvas.valid())
        return false;
    if (!mask && fore == 0xCC && sw == dw && sh == dh && !mirrorX && !mirrorY && copyRows(canvas, *src, dx, dy, dw, dh, srcX, srcY))
        return true;
    SourcePixels source;
    if (needSource)
        source = readSource(*src, RECT { srcX, srcY, srcX + sw, srcY + sh }, dst, canvas.monochrome());
    Ink pattern = dst.brushInk(canvas.monochrome());
    bool needPattern = usesPattern(fore) || usesPattern(back);
    if (needPattern && pattern.empty)
        pattern = Ink::solid(0); // a null brush paints as black
    if (mask)
        mask->loadFromBits();

    const Region& clip = canvas.clip();
    RECT box = clip.bounds();
    canvas.touchRows(std::max(dy, int(box.top)), std::min(dy + dh, int(box.bottom)));
    for (int row = std::max(0, int(box.top) - dy); row < std::min(dh, int(box.bottom) - dy); ++row) {
        int py = dy + row;
        const Band* band = clip.bandAt(py);
        if (!band)
            continue;
        int sourceRow = needSource ? int(mirrorY ? sh - 1 - int64_t(row) * sh / dh : int64_t(row) * sh / dh) : 0;
        for (const Span& span : band->spans) {
            int left = std::max(span.left, dx), right = std::min(span.right, dx + dw);
            for (int px = left; px < right; ++px) {
                int column = px - dx;
                uint32_t s = 0;
                if (needSource) {
                    int sourceColumn = mirrorX ? sw - 1 - int(int64_t(column) * sw / dw) : int(int64_t(column) * sw / dw);
                    if (!source.contains(srcX + sourceColumn, srcY + sourceRow))
                        continue;
                    s = source.at(srcX + sourceColumn, srcY + sourceRow);
                }
                BYTE code = fore;
                if (mask) {
                    int mx = maskX + column, my = maskY + row;
                    bool on = mx >= 0 && my >= 0 && mx < mask->width() && my < mask->height() && (mask->row(my)[mx] & 0xFFFFFF);
                    code = on ? fore : back;
                }
                uint32_t& d = canvas.pixel(px, py);
                uint32_t alpha = d & 0xFF000000;
                uint32_t p = needPattern ? pattern.at(px, py) : 0;
                d = applyRop3(code, p, s, d & 0xFFFFFF) | alpha;
            }
        }
    }
    return true;
}

std::shared_ptr<BitmapObject> bitmapOf(HBITMAP handle) { return ObjectTable::find<BitmapObject>(handle, ObjectKind::Bitmap); }

HBITMAP addBitmap(std::shared_ptr<BitmapObject> bitmap)
{
    return bitmap ? static_cast<HBITMAP>(ObjectTable::add(std::move(bitmap))) : nullptr;
}

// The colour table GetDIBits writes for 1, 4 and 8 bits: black and white; the 16 classic colours;
// a 6 x 6 x 6 cube with 40 greys.
std::vector<RGBQUAD> standardPalette(int bits)
{
    std::vector<RGBQUAD> palette;
    auto add = [&](int r, int g, int b) { palette.push_back(RGBQUAD { BYTE(b), BYTE(g), BYTE(r), 0 }); };
    if (bits == 1) {
        add(0, 0, 0), add(255, 255, 255);
    } else if (bits == 4) {
        const int vga[16][3] = { { 0, 0, 0 }, { 128, 0, 0 }, { 0, 128, 0 }, { 128, 128, 0 }, { 0, 0, 128 }, { 128, 0, 128 },
            { 0, 128, 128 }, { 192, 192, 192 }, { 128, 128, 128 }, { 255, 0, 0 }, { 0, 255, 0 }, { 255, 255, 0 },
            { 0, 0, 255 }, { 255, 0, 255 }, { 0, 255, 255 }, { 255, 255, 255 } };
        for (auto& c : vga)
            add(c[0], c[1], c[2]);
    } else {
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6; ++b)
                    add(r * 51, g * 51, b * 51);
        for (int i = 0; i < 40; ++i)
            add(i * 255 / 39, i * 255 / 39, i * 255 / 39);
    }
    return palette;
}

size_t colorTableEntries(const BITMAPINFOHEADER& header)
{
    if (header.biBitCount > 8)
        return 0;
    return header.biClrUsed ? header.biClrUsed : size_t(1) << header.biBitCount;
}

// A DIB's `lines` rows beginning at scan `start` (counted from the bottom for bottom-up DIBs) as
// a bitmap object of that many rows.
std::shared_ptr<BitmapObject> dibRows(const BITMAPINFO* info, UINT usage, const void* bits, UINT lines)
{
    if (!info || !bits || lines == 0)
        return nullptr;
    std::vector<uint8_t> copy(info->bmiHeader.biSize + 256 * sizeof(RGBQUAD));
    std::memcpy(copy.data(), info, info->bmiHeader.biSize + colorTableEntries(info->bmiHeader) * (usage == DIB_PAL_COLORS ? 2 : 4));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(copy.data());
    header->biHeight = info->bmiHeader.biHeight < 0 ? -static_cast<LONG>(lines) : static_cast<LONG>(lines);
    return BitmapObject::createDib(reinterpret_cast<BITMAPINFO*>(copy.data()), usage, bits);
}

void copyInto(BitmapObject& target, const BitmapObject& source, int top)
{
    cairo_surface_flush(target.surface());
    for (int y = 0; y < source.height(); ++y) {
        int ty = top + y;
        if (ty < 0 || ty >= target.height())
            continue;
        const uint32_t* in = source.row(y);
        uint32_t* out = target.row(ty);
        for (int x = 0; x < std::min(source.width(), target.width()); ++x)
            out[x] = target.isMonochrome() ? toMonoPixel(in[x] & 0xFFFFFF) : in[x] & 0xFFFFFF;
    }
    cairo_surface_mark_dirty(target.surface());
    target.storeToBits();
}

fln::gdi::ScreenReader g_screenReader = nullptr;

// A copy whose source is a screen DC reads the screen's pixels into a surface of their own first.
bool blitFromScreen(DeviceContext& dst, int x, int y, int width, int height, DeviceContext& screen, int sx, int sy,
    int sw, int sh, DWORD rop)
{
    if (!g_screenReader || !inRange({ sx, sy, sw, sh }))
        return false;
    POINT s0 = screen.toDevice(POINT { sx, sy }), s1 = screen.toDevice(POINT { sx + sw, sy + sh });
    RECT area { std::min(s0.x, s1.x), std::min(s0.y, s1.y), std::max(s0.x, s1.x), std::max(s0.y, s1.y) };
    if (IsRectEmpty(&area))
        return true;
    cairo_surface_t* pixels = cairo_image_surface_create(CAIRO_FORMAT_RGB24, area.right - area.left, area.bottom - area.top);
    bool read = cairo_surface_status(pixels) == CAIRO_STATUS_SUCCESS && g_screenReader(area, pixels);
    bool copied = false;
    if (read) {
        cairo_surface_mark_dirty(pixels);
        RECT whole { 0, 0, area.right - area.left, area.bottom - area.top };
        HDC copy = CreateSurfaceDC(pixels, fln::gdi::Region(whole), POINT { -area.left, -area.top });
        if (DeviceContext* source = DeviceContext::from(copy)) {
            source->state.bkColor = screen.state.bkColor;
            source->state.textColor = screen.state.textColor;
            copied = blit(dst, x, y, width, height, source, s0.x, s0.y, s1.x - s0.x, s1.y - s0.y, rop);
        }
        DeleteDC(copy);
    }
    cairo_surface_destroy(pixels);
    return copied;
}

bool blitFrom(DeviceContext& dst, int x, int y, int width, int height, DeviceContext* src, int sx, int sy, int sw,
    int sh, DWORD rop)
{
    if (src && src->type() == DeviceContext::Kind::Screen && usesSource(ropCode(rop)))
        return blitFromScreen(dst, x, y, width, height, *src, sx, sy, sw, sh, rop);
    return blit(dst, x, y, width, height, src, sx, sy, sw, sh, rop);
}

} // namespace

void fln::gdi::SetScreenReader(ScreenReader reader) { g_screenReader = reader; }

BOOL PatBlt(HDC handle, int x, int y, int width, int height, DWORD rop)
{
    FLN_DC_OR(FALSE);
    if (usesSource(ropCode(rop)))
        return FALSE;
    return blit(*dc, x, y, width, height, nullptr, 0, 0, 0, 0, rop);
}

BOOL BitBlt(HDC handle, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, DWORD rop)
{
    FLN_DC_OR(FALSE);
    DeviceContext* src = DeviceContext::from(source);
    if (source && !src)
        return FALSE;
    return blitFrom(*dc, x, y, width, height, src, sourceX, sourceY, width, height, rop);
}

BOOL StretchBlt(HDC handle, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, int sourceWidth,
    int sourceHeight, DWORD rop)
{
    FLN_DC_OR(FALSE);
    DeviceContext* src = DeviceContext::from(source);
    if (source && !src)
        return FALSE;
    return blitFrom(*dc, x, y, width, height, src, sourceX, sourceY, sourceWidth, sourceHeight, rop);
}

BOOL MaskBlt(HDC handle, int x, int y, int width, int height, HDC source, int sourceX, int sourceY, HBITMAP maskHandle,
    int maskX, int maskY, DWORD rop)
{
    FLN_DC_OR(FALSE);
    DeviceContext* src = DeviceContext::from(source);
    auto mask = bitmapOf(maskHandle);
    if ((source && !src) || (maskHandle && (!mask || !mask->isMonochrome())))
        return FALSE;
    if (!mask)
        return blit(*dc, x, y, width, height, src, sourceX, sourceY, width, height, rop & 0xFFFFFF);
    return blit(*dc, x, y, width, height, src, sourceX, sourceY, width, height, rop, mask.get(), maskX, maskY);
}

BOOL ScrollDC(HDC handle, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, LPRECT updateRect)
{
    FLN_DC_OR(FALSE);
    RECT area {};
    if (scroll)
        area = *scroll;
    else
        GetClipBox(handle, &area);
    if (clip && !IntersectRect(&area, &area, clip))
        SetRectEmpty(&area);
    RECT moved = area;
    OffsetRect(&moved, dx, dy);
    RECT filled {};
    if (IntersectRect(&filled, &moved, &area))
        blit(*dc, filled.left, filled.top, filled.right - filled.left, filled.bottom - filled.top, dc, filled.left - dx,
            filled.top - dy, filled.right - filled.left, filled.bottom - filled.top, SRCCOPY);
    Region uncovered = Region(area) - Region(filled);
    if (update) {
        HRGN result = createRegionHandle(uncovered);
        CombineRgn(update, result, nullptr, RGN_COPY);
        DeleteObject(result);
    }
    if (updateRect)
        *updateRect = uncovered.bounds();
    return TRUE;
}

// ---- bitmaps

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (width < 0 || height < 0 || planes != 1 || bitsPerPixel > 32)
        return nullptr;
    if (width == 0 || height == 0)
        return static_cast<HBITMAP>(defaultBitmap()->handle());
    auto bitmap = BitmapObject::create(width, height, static_cast<int>(bitsPerPixel));
    if (!bitmap)
        return nullptr;
    if (bits) {
        // Device-dependent rows are padded to 16 bits.
        int stride = ((width * static_cast<int>(bitsPerPixel) + 15) / 16) * 2;
        const auto* data = static_cast<const uint8_t*>(bits);
        cairo_surface_flush(bitmap->surface());
        for (int y = 0; y < height; ++y) {
            const uint8_t* in = data + static_cast<size_t>(y) * stride;
            uint32_t* out = bitmap->row(y);
            for (int x = 0; x < width; ++x) {
                switch (bitsPerPixel) {
                case 1: out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1 ? 0xFFFFFF : 0; break;
                case 8: out[x] = in[x] * 0x010101u; break;
                case 16: {
                    unsigned v = in[2 * x] | (in[2 * x + 1] << 8);
                    out[x] = (((v >> 10) & 31) << 19) | (((v >> 5) & 31) << 11) | ((v & 31) << 3);
                    break;
                }
                case 24: out[x] = (in[3 * x + 2] << 16) | (in[3 * x + 1] << 8) | in[3 * x]; break;
                case 32: out[x] = (in[4 * x + 2] << 16) | (in[4 * x + 1] << 8) | in[4 * x]; break;
                default: break;
                }
            }
        }
        cairo_surface_mark_dirty(bitmap->surface());
    }
    return addBitmap(bitmap);
}

HBITMAP CreateBitmapIndirect(const BITMAP* bitmap)
{
    return bitmap ? CreateBitmap(bitmap->bmWidth, bitmap->bmHeight, bitmap->bmPlanes, bitmap->bmBitsPixel, bitmap->bmBits) : nullptr;
}

HBITMAP CreateCompatibleBitmap(HDC handle, int width, int height)
{
    FLN_DC_OR(nullptr);
    if (width < 0 || height < 0)
        return nullptr;
    return CreateBitmap(width, height, 1, dc->monochrome() ? 1 : 32, nullptr);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, void* section, DWORD)
{
    if (bits)
        *bits = nullptr;
    if (section) // file-mapping sections are not supported
        return nullptr;
    auto bitmap = BitmapObject::createDib(info, usage);
    if (!bitmap)
        return nullptr;
    if (bits)
        *bits = bitmap->dibBits();
    return addBitmap(bitmap);
}

HBITMAP CreateDIBitmap(HDC handle, const BITMAPINFOHEADER* header, DWORD init, const void* bits, const BITMAPINFO* info, UINT usage)
{
    if (!header)
        return nullptr;
    DeviceContext* dc = DeviceContext::from(handle);
    bool mono = header->biBitCount == 1 && (!dc || dc->monochrome());
    HBITMAP bitmap = CreateBitmap(header->biWidth, std::abs(header->biHeight), 1, mono ? 1 : 32, nullptr);
    if (bitmap && (init & CBM_INIT) && bits && info)
        SetDIBits(handle, bitmap, 0, static_cast<UINT>(std::abs(header->biHeight)), bits, info, usage);
    return bitmap;
}

int SetDIBits(HDC, HBITMAP bitmapHandle, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    auto target = bitmapOf(bitmapHandle);
    if (!target || !info || !bits)
        return 0;
    lines = std::min<UINT>(lines, static_cast<UINT>(std::abs(info->bmiHeader.biHeight)));
    auto rows = dibRows(info, usage, bits, lines);
    if (!rows)
        return 0;
    target->loadFromBits();
    int height = target->height();
    int top = info->bmiHeader.biHeight < 0 ? static_cast<int>(start) : height - static_cast<int>(start + lines);
    copyInto(*target, *rows, top);
    return static_cast<int>(lines);
}

int GetDIBits(HDC, HBITMAP bitmapHandle, UINT start, UINT lines, LPVOID bits, BITMAPINFO* info, UINT)
{
    auto bitmap = bitmapOf(bitmapHandle);
    if (!bitmap || !info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER))
        return 0;
    BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biBitCount == 0) { // only the header asked for
        header.biWidth = bitmap->width();
        header.biHeight = bitmap->height();
        header.biPlanes = 1;
        header.biBitCount = static_cast<WORD>(bitmap->isDib() ? bitmap->bitsPixel() : bitmap->isMonochrome() ? 1 : 32);
        header.biCompression = BI_RGB;
        header.biSizeImage = static_cast<DWORD>(((header.biWidth * header.biBitCount + 31) / 32) * 4 * bitmap->height());
        return bitmap->height();
    }
    int bitCount = header.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return 0;
    std::vector<uint8_t> tempInfo(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* temp = reinterpret_cast<BITMAPINFO*>(tempInfo.data());
    temp->bmiHeader = BITMAPINFOHEADER { sizeof(BITMAPINFOHEADER), bitmap->width(), header.biHeight < 0 ? -bitmap->height() : bitmap->height(),
        1, static_cast<WORD>(bitCount), BI_RGB, 0, 0, 0, 0, 0 };
    std::vector<RGBQUAD> palette;
    if (bitCount <= 8) {
        palette = bitmap->isDib() && bitmap->bitsPixel() == bitCount ? bitmap->colorTable() : standardPalette(bitCount);
        palette.resize(size_t(1) << bitCount);
        std::memcpy(temp->bmiColors, palette.data(), palette.size() * sizeof(RGBQUAD));
        std::memcpy(info->bmiColors, palette.data(), palette.size() * sizeof(RGBQUAD));
    }
    header.biWidth = bitmap->width();
    header.biSizeImage = temp->bmiHeader.biSizeImage = static_cast<DWORD>(((bitmap->width() * bitCount + 31) / 32) * 4 * bitmap->height());
    header.biCompression = BI_RGB;
    if (!bits)
        return bitmap->height();
    auto converted = BitmapObject::createDib(temp, DIB_RGB_COLORS);
    if (!converted)
        return 0;
    bitmap->loadFromBits();
    copyInto(*converted, *bitmap, 0);
    int stride = converted->dibStride();
    lines = std::min<UINT>(lines, static_cast<UINT>(bitmap->height()) - std::min<UINT>(start, bitmap->height()));
    if (lines == 0)
        return 0;
    std::memcpy(bits, static_cast<uint8_t*>(converted->dibBits()) + static_cast<size_t>(start) * stride, static_cast<size_t>(lines) * stride);
    return static_cast<int>(lines);
}

int StretchDIBits(HDC handle, int x, int y, int width, int height, int sourceX, int sourceY, int sourceWidth, int sourceHeight,
    const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    FLN_DC_OR(0);
    if (!info)
        return 0;
    int dibHeight = std::abs(info->bmiHeader.biHeight);
    auto dib = dibRows(info, usage, bits, static_cast<UINT>(dibHeight));
    if (!dib)
        return 0;
    auto source = std::make_shared<DeviceContext>(DeviceContext::Kind::Memory);
    source->select(source->state.bitmap, dib);
    // For bottom-up DIBs the source y is counted from the bottom row.
    int top = info->bmiHeader.biHeight > 0 ? dibHeight - sourceY - sourceHeight : sourceY;
    if (!blit(*dc, x, y, width, height, source.get(), sourceX, top, sourceWidth, sourceHeight, rop))
        return 0;
    return dibHeight;
}

int SetDIBitsToDevice(HDC handle, int x, int y, DWORD width, DWORD height, int sourceX, int sourceY, UINT startScan,
    UINT lines, const void* bits, const BITMAPINFO* info, UINT usage)
{
    FLN_DC_OR(0);
    if (!info || !bits || lines == 0)
        return 0;
    auto rows = dibRows(info, usage, bits, lines);
    if (!rows)
        return 0;
    auto source = std::make_shared<DeviceContext>(DeviceContext::Kind::Memory);
    source->select(source->state.bitmap, rows);
    int dibHeight = std::abs(info->bmiHeader.biHeight);
    // The band holds scans [startScan, startScan + lines) of the whole picture.
    int bandTop = info->bmiHeader.biHeight > 0 ? dibHeight - static_cast<int>(startScan + lines) : static_cast<int>(startScan);
    int top = info->bmiHeader.biHeight > 0 ? dibHeight - sourceY - static_cast<int>(height) : sourceY;
    blit(*dc, x, y, static_cast<int>(width), static_cast<int>(height), source.get(), sourceX, top - bandTop,
        static_cast<int>(width), static_cast<int>(height), SRCCOPY);
    return static_cast<int>(lines);
}

LONG GetBitmapBits(HBITMAP handle, LONG size, LPVOID bits)
{
    auto bitmap = bitmapOf(handle);
    if (!bitmap || !bits || size <= 0)
        return 0;
    bitmap->loadFromBits();
    BITMAP info = bitmap->info();
    int stride = ((bitmap->width() * (bitmap->isMonochrome() ? 1 : 32) + 15) / 16) * 2;
    auto* out = static_cast<uint8_t*>(bits);
    LONG written = 0;
    cairo_surface_flush(bitmap->surface());
    for (int y = 0; y < info.bmHeight && written + stride <= size; ++y, written += stride) {
        uint8_t* row = out + static_cast<size_t>(y) * stride;
        std::memset(row, 0, stride);
        const uint32_t* in = bitmap->row(y);
        for (int x = 0; x < bitmap->width(); ++x) {
            if (bitmap->isMonochrome()) {
                if (in[x] & 0xFFFFFF)
                    row[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
            } else {
                row[4 * x] = in[x] & 0xFF, row[4 * x + 1] = (in[x] >> 8) & 0xFF, row[4 * x + 2] = (in[x] >> 16) & 0xFF;
            }
        }
    }
    return written;
}
