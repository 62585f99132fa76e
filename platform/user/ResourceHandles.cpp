// Menus, accelerator tables, bitmaps, icons and cursors made from resources and image files.

#include "platform/user/ResourceHandles.h"

#include "platform/base/ErrorCodes.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"
#include "platform/res/Templates.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <tuple>
#include <utility>
#include <vector>

using fln::res::MenuTemplateItem;

namespace {

using Bytes = std::span<const BYTE>;

template<typename Handle>
Handle Fail(DWORD error)
{
    SetLastError(error);
    return nullptr;
}

// The bytes of a resource; nothing (with the last error set) when it is missing.
std::optional<Bytes> FindData(HINSTANCE instance, LPCWSTR name, LPCWSTR type)
{
    HRSRC found = FindResourceW(instance, name, type);
    if (!found)
        return std::nullopt;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
    if (!data) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return std::nullopt;
    }
    return Bytes(data, SizeofResource(instance, found));
}

bool IsSystemName(HINSTANCE instance, LPCWSTR name, ULONG_PTR first, ULONG_PTR last)
{
    auto id = reinterpret_cast<ULONG_PTR>(name);
    return !instance && IS_INTRESOURCE(name) && id >= first && id <= last;
}

// ---- menus

bool AppendMenuItems(HMENU menu, const std::vector<MenuTemplateItem>& items, bool extended)
{
    constexpr UINT kKeptOptions = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_MENUBARBREAK | MF_MENUBREAK | MF_HELP;
    for (const MenuTemplateItem& item : items) {
        HMENU popup = nullptr;
        if (item.isPopup) {
            popup = CreatePopupMenu();
            if (!popup || !AppendMenuItems(popup, item.children, extended)) {
                DestroyMenu(popup);
                return false;
            }
        }
        CString text = item.text;
        BOOL added = FALSE;
        if (extended) {
            MENUITEMINFOW info {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | (popup ? MIIM_SUBMENU : 0) | (text.IsEmpty() ? 0 : MIIM_STRING);
            info.fType = item.type;
            info.fState = item.state;
            info.wID = item.id;
            info.hSubMenu = popup;
            info.dwTypeData = text.GetBuffer();
            added = InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
            text.ReleaseBuffer();
        } else if (item.isSeparator) {
            added = AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            UINT flags = (item.options & kKeptOptions) | (popup ? MF_POPUP : MF_STRING);
            added = AppendMenuW(menu, flags, popup ? reinterpret_cast<UINT_PTR>(popup) : item.id, text);
        }
        if (!added) {
            DestroyMenu(popup);
            return false;
        }
    }
    return true;
}

HMENU MenuFromTemplate(const void* data, std::size_t size)
{
    auto decoded = fln::res::DecodeMenuTemplate(data, size);
    if (!decoded)
        return Fail<HMENU>(ERROR_RESOURCE_DATA_NOT_FOUND);
    HMENU menu = CreateMenu();
    if (!AppendMenuItems(menu, decoded->items, decoded->extended)) {
        DestroyMenu(menu);
        return Fail<HMENU>(ERROR_RESOURCE_DATA_NOT_FOUND);
    }
    return menu;
}

// ---- packed device-independent bitmaps

WORD Word(Bytes data, std::size_t at) { return WORD(data[at] | data[at + 1] << 8); }
DWORD Dword(Bytes data, std::size_t at) { return Word(data, at) | DWORD(Word(data, at + 2)) << 16; }

// A packed DIB checked against its length: header, colour table (or bit-field masks), rows.
struct PackedDib {
    std::vector<BYTE> bytes;
    std::size_t tableOffset = 0;
    std::size_t colours = 0;
    std::size_t bitsOffset = 0;
    std::size_t stride = 0;
    std::size_t sourceLength = 0; // the bytes it took in the data it was read from

    BITMAPINFOHEADER& header() { return *reinterpret_cast<BITMAPINFOHEADER*>(bytes.data()); }
    const BITMAPINFOHEADER& header() const { return *reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data()); }
    const BITMAPINFO* info() const { return reinterpret_cast<const BITMAPINFO*>(bytes.data()); }
    int width() const { return header().biWidth; }
    int height() const { return std::abs(header().biHeight); }
    int bitCount() const { return header().biBitCount; }
    RGBQUAD* table() { return reinterpret_cast<RGBQUAD*>(bytes.data() + tableOffset); }
    const RGBQUAD* table() const { return reinterpret_cast<const RGBQUAD*>(bytes.data() + tableOffset); }
    BYTE* bits() { return bytes.data() + bitsOffset; }
    const BYTE* bits() const { return bytes.data() + bitsOffset; }
    // Rows counted from the top, whichever way they are stored.
    const BYTE* row(int y) const { return bits() + stride * static_cast<std::size_t>(header().biHeight < 0 ? y : height() - 1 - y); }
    BYTE* row(int y) { return const_cast<BYTE*>(std::as_const(*this).row(y)); }

    // A palette index for 1, 4 and 8 bits per pixel.
    unsigned index(int x, int y) const
    {
        unsigned bpp = bitCount();
        unsigned bit = static_cast<unsigned>(x) * bpp;
        return (row(y)[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
    }
    // 0xAARRGGBB; alpha comes only from 32-bit pixels.
    uint32_t pixel(int x, int y) const
    {
        const BYTE* r = row(y);
        switch (bitCount()) {
        case 32: return r[4 * x] | r[4 * x + 1] << 8 | r[4 * x + 2] << 16 | uint32_t(r[4 * x + 3]) << 24;
        case 24: return r[3 * x] | r[3 * x + 1] << 8 | r[3 * x + 2] << 16 | 0xFF000000u;
        default: {
            unsigned i = index(x, y);
            if (i >= colours)
                return 0xFF000000u;
            const RGBQUAD& c = table()[i];
            return c.rgbBlue | c.rgbGreen << 8 | c.rgbRed << 16 | 0xFF000000u;
        }
        }
    }
};

constexpr DWORD kBiRgb = 0, kBiBitFields = 3;
constexpr LONG kMaxSide = 16384;

// The DIB at the start of the bytes; heightDivisor 2 reads an icon image (colour rows over mask rows).
std::optional<PackedDib> ParsePackedDib(Bytes data, int heightDivisor = 1)
{
    BITMAPINFOHEADER header;
    if (data.size() < sizeof header)
        return std::nullopt;
    std::memcpy(&header, data.data(), sizeof header);
    unsigned bpp = header.biBitCount;
    // The drawing layer takes plain 1-, 4-, 8-, 24- and 32-bit rows; 32-bit bit fields are read
    // when they are the plain layout (the masks follow a 40-byte header, or sit inside a longer one).
    bool knownDepth = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24 || bpp == 32;
    bool bitFields = header.biCompression == kBiBitFields;
    if (bitFields) {
        constexpr std::size_t kMasksAt = sizeof header;
        if (bpp != 32 || data.size() < kMasksAt + 12 || (header.biSize != sizeof header && header.biSize < kMasksAt + 12))
            return std::nullopt;
        if (Dword(data, kMasksAt) != 0xFF0000 || Dword(data, kMasksAt + 4) != 0xFF00 || Dword(data, kMasksAt + 8) != 0xFF)
            return std::nullopt;
    }
    LONG height = header.biHeight / heightDivisor;
    if (header.biSize < sizeof header || header.biSize > data.size() || !knownDepth || (header.biCompression != kBiRgb && !bitFields)
        || header.biWidth <= 0 || header.biWidth > kMaxSide || height == 0 || std::abs(height) > kMaxSide || header.biClrUsed > 256)
        return std::nullopt;
    PackedDib dib;
    dib.colours = bpp <= 8 ? (header.biClrUsed ? header.biClrUsed : std::size_t(1) << bpp) : header.biClrUsed;
    std::size_t sourceTable = header.biSize + (bitFields && header.biSize == sizeof header ? 12 : 0);
    // Our copy always has the plain 40-byte header, so that BITMAPINFO reads it.
    dib.tableOffset = sizeof header;
    dib.bitsOffset = dib.tableOffset + dib.colours * sizeof(RGBQUAD);
    dib.stride = (static_cast<std::size_t>(header.biWidth) * bpp + 31) / 32 * 4;
    std::size_t rows = dib.stride * static_cast<std::size_t>(std::abs(height));
    std::size_t needed = sourceTable + dib.colours * sizeof(RGBQUAD) + rows;
    if (data.size() < needed)
        return std::nullopt;
    dib.sourceLength = needed;
    header.biSize = sizeof header;
    header.biHeight = height;
    header.biCompression = kBiRgb;
    header.biSizeImage = static_cast<DWORD>(rows);
    dib.bytes.resize(dib.bitsOffset + rows);
    std::memcpy(dib.bytes.data(), &header, sizeof header);
    std::memcpy(dib.bytes.data() + dib.tableOffset, data.data() + sourceTable, dib.bitsOffset - dib.tableOffset + rows);
    return dib;
}

COLORREF SwapRedBlue(uint32_t bgr) { return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF); }

// Replaces colours (COLORREF to COLORREF) in the colour table, or in the pixels of 24- and 32-bit DIBs.
template<typename Map>
void RemapColours(PackedDib& dib, Map map)
{
    auto apply = [&](BYTE& blue, BYTE& green, BYTE& red) {
        COLORREF mapped = map(RGB(red, green, blue));
        red = GetRValue(mapped), green = GetGValue(mapped), blue = GetBValue(mapped);
    };
    if (dib.bitCount() <= 8) {
        for (std::size_t i = 0; i < dib.colours; ++i)
            apply(dib.table()[i].rgbBlue, dib.table()[i].rgbGreen, dib.table()[i].rgbRed);
        return;
    }
    if (dib.bitCount() < 24)
        return;
    int step = dib.bitCount() / 8;
    for (int y = 0; y < dib.height(); ++y) {
        BYTE* p = dib.row(y);
        for (int x = 0; x < dib.width(); ++x, p += step)
            apply(p[0], p[1], p[2]);
    }
}

void ApplyColourFlags(PackedDib& dib, UINT flags)
{
    if (flags & LR_LOADTRANSPARENT) {
        // The first pixel's colour (its palette entry, for palette images) becomes the window colour.
        COLORREF window = GetSysColor(COLOR_WINDOW);
        if (dib.bitCount() <= 8) {
            unsigned i = dib.index(0, 0);
            if (i < dib.colours)
                dib.table()[i] = { GetBValue(window), GetGValue(window), GetRValue(window), 0 };
        } else {
            COLORREF first = SwapRedBlue(dib.pixel(0, 0));
            RemapColours(dib, [&](COLORREF c) { return c == first ? window : c; });
        }
    }
    if (flags & LR_LOADMAP3DCOLORS) {
        RemapColours(dib, [](COLORREF c) {
            switch (c) {
            case RGB(128, 128, 128): return GetSysColor(COLOR_3DSHADOW);
            case RGB(192, 192, 192): return GetSysColor(COLOR_3DFACE);
            case RGB(223, 223, 223): return GetSysColor(COLOR_3DLIGHT);
            default: return c;
            }
        });
    }
}

// A bitmap from the DIB: a DIB section, or a device bitmap; scaled when a size is given.
HBITMAP BitmapFromDib(const PackedDib& dib, int cx, int cy, bool section)
{
    int width = cx > 0 ? cx : dib.width(), height = cy > 0 ? cy : dib.height();
    auto make = [&](const PackedDib& source) -> HBITMAP {
        if (!section)
            return CreateDIBitmap(nullptr, &source.header(), CBM_INIT, source.bits(), source.info(), DIB_RGB_COLORS);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, source.info(), DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap && bits)
            std::memcpy(bits, source.bits(), source.bytes.size() - source.bitsOffset);
        return bitmap;
    };
    HBITMAP original = make(dib);
    if (!original || (width == dib.width() && height == dib.height()))
        return original;
    PackedDib scaled = dib;
    scaled.header().biWidth = width;
    scaled.header().biHeight = dib.header().biHeight < 0 ? -height : height;
    scaled.stride = (static_cast<std::size_t>(width) * dib.bitCount() + 31) / 32 * 4;
    scaled.bytes.resize(scaled.bitsOffset + scaled.stride * height);
    scaled.header().biSizeImage = static_cast<DWORD>(scaled.stride * height);
    HBITMAP target = make(scaled);
    if (target) {
        fln::gdi::MemoryDC from(nullptr, original), to(nullptr, target);
        SetStretchBltMode(to, COLORONCOLOR);
        StretchBlt(to, 0, 0, width, height, from, 0, 0, dib.width(), dib.height(), SRCCOPY);
    }
    DeleteObject(original);
    return target;
}

// ---- images with opacity (icons, cursors, PNG files)

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

Surface NewSurface(int width, int height)
{
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    return surface;
}

// The image at the given size, as premultiplied ARGB.
Surface Scaled(cairo_surface_t* source, int width, int height)
{
    Surface target = NewSurface(width, height);
    if (!target)
        return nullptr;
    cairo_t* cr = cairo_create(target.get());
    int sourceWidth = cairo_image_surface_get_width(source), sourceHeight = cairo_image_surface_get_height(source);
    cairo_scale(cr, double(width) / sourceWidth, double(height) / sourceHeight);
    cairo_set_source_surface(cr, source, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(target.get());
    return target;
}

bool IsPng(Bytes data) { return data.size() >= 8 && std::memcmp(data.data(), "\x89PNG\r\n\x1a\n", 8) == 0; }

// The size the header chunk declares, which must come first.
std::optional<SIZE> PngSize(Bytes data)
{
    constexpr std::size_t kHeaderEnd = 8 + 8 + 8;
    if (data.size() < kHeaderEnd || std::memcmp(data.data() + 12, "IHDR", 4) != 0)
        return std::nullopt;
    auto side = [&](std::size_t at) { return LONG((data[at] & 0x7F) << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3]); };
    return SIZE { side(16), side(20) };
}

Surface DecodePng(Bytes data)
{
    // A few bytes may declare a picture of gigabytes: take no more than a bitmap may hold.
    auto size = IsPng(data) ? PngSize(data) : std::nullopt;
    if (!size || size->cx > kMaxSide || size->cy > kMaxSide)
        return nullptr;
    struct Reader {
        Bytes rest;
    } reader { data };
    auto read = [](void* closure, unsigned char* out, unsigned int length) {
        auto& r = *static_cast<Reader*>(closure);
        if (length > r.rest.size())
            return CAIRO_STATUS_READ_ERROR;
        std::memcpy(out, r.rest.data(), length);
        r.rest = r.rest.subspan(length);
        return CAIRO_STATUS_SUCCESS;
    };
    Surface surface(cairo_image_surface_create_from_png_stream(read, &reader));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    // Opaque files come as RGB24 (the top byte unspecified), deep ones as floats: bring every
    // one to ARGB32, which the rest reads.
    if (cairo_image_surface_get_format(surface.get()) == CAIRO_FORMAT_ARGB32)
        return surface;
    return Scaled(surface.get(), cairo_image_surface_get_width(surface.get()), cairo_image_surface_get_height(surface.get()));
}

// An icon image stored as a DIB: colour rows, then a 1-bit mask (1: transparent).
Surface DecodeIconDib(Bytes data)
{
    auto colour = ParsePackedDib(data, 2);
    if (!colour)
        return nullptr;
    int width = colour->width(), height = colour->height();
    std::size_t maskStride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    if (data.size() - colour->sourceLength < maskStride * height)
        return nullptr;
    const BYTE* mask = data.data() + colour->sourceLength;
    bool alpha = false;
    if (colour->bitCount() == 32)
        for (int y = 0; y < height && !alpha; ++y)
            for (int x = 0; x < width && !alpha; ++x)
                alpha = colour->pixel(x, y) >> 24;
    Surface surface = NewSurface(width, height);
    if (!surface)
        return nullptr;
    auto* out = cairo_image_surface_get_data(surface.get());
    int outStride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        const BYTE* maskRow = mask + maskStride * (colour->header().biHeight < 0 ? y : height - 1 - y);
        auto* target = reinterpret_cast<uint32_t*>(out + static_cast<std::size_t>(outStride) * y);
        for (int x = 0; x < width; ++x) {
            uint32_t p = colour->pixel(x, y);
            unsigned a = alpha ? p >> 24 : ((maskRow[x / 8] >> (7 - x % 8)) & 1) ? 0 : 255;
            auto premultiply = [a](uint32_t c, int shift) { return (((c >> shift) & 0xFF) * a + 127) / 255 << shift; };
            target[x] = a << 24 | premultiply(p, 16) | premultiply(p, 8) | premultiply(p, 0);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

Surface DecodeIconImage(Bytes data) { return IsPng(data) ? DecodePng(data) : DecodeIconDib(data); }

// A top-down 32-bit DIB (blue, green, red, opacity, not premultiplied) of the image.
PackedDib DibFromSurface(cairo_surface_t* surface)
{
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    PackedDib dib;
    dib.tableOffset = dib.bitsOffset = sizeof(BITMAPINFOHEADER);
    dib.stride = static_cast<std::size_t>(width) * 4;
    dib.bytes.resize(dib.bitsOffset + dib.stride * height);
    dib.header() = { sizeof(BITMAPINFOHEADER), width, -height, 1, 32, kBiRgb, static_cast<DWORD>(dib.stride * height), 0, 0, 0, 0 };
    const auto* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const auto* source = reinterpret_cast<const uint32_t*>(data + static_cast<std::size_t>(stride) * y);
        auto* target = reinterpret_cast<uint32_t*>(dib.row(y));
        for (int x = 0; x < width; ++x) {
            uint32_t p = source[x];
            unsigned a = p >> 24;
            auto straight = [a](uint32_t c, int shift) { return a ? std::min(255u, (((c >> shift) & 0xFF) * 255 + a / 2) / a) << shift : 0; };
            target[x] = a << 24 | straight(p, 16) | straight(p, 8) | straight(p, 0);
        }
    }
    return dib;
}

HICON IconFromSurface(cairo_surface_t* surface, bool isIcon, POINT hotSpot)
{
    PackedDib colour = DibFromSurface(surface);
    int width = colour.width(), height = colour.height();
    std::size_t maskStride = (static_cast<std::size_t>(width) + 15) / 16 * 2;
    std::vector<BYTE> maskBits(maskStride * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((colour.pixel(x, y) >> 24) == 0)
                maskBits[maskStride * y + x / 8] |= BYTE(0x80 >> (x % 8));
    ICONINFO info { isIcon, static_cast<DWORD>(hotSpot.x), static_cast<DWORD>(hotSpot.y), nullptr, nullptr };
    info.hbmMask = CreateBitmap(width, height, 1, 1, maskBits.data());
    info.hbmColor = BitmapFromDib(colour, 0, 0, true);
    HICON icon = info.hbmMask && info.hbmColor ? CreateIconIndirect(&info) : nullptr;
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return icon ? icon : Fail<HICON>(ERROR_NOT_ENOUGH_MEMORY);
}

// The icon or cursor size asked for: the given one, the system's with LR_DEFAULTSIZE, or 0 (the image's own).
SIZE RequestedSize(UINT type, int cx, int cy, UINT flags)
{
    bool cursor = type == IMAGE_CURSOR;
    if (flags & LR_DEFAULTSIZE) {
        cx = cx ? cx : GetSystemMetrics(cursor ? SM_CXCURSOR : SM_CXICON);
        cy = cy ? cy : GetSystemMetrics(cursor ? SM_CYCURSOR : SM_CYICON);
    }
    return { cx, cy };
}

// A decoded icon or cursor image brought to the requested size, its hot spot moved along.
HICON MakeIcon(Surface image, bool isIcon, POINT hotSpot, SIZE requested)
{
    if (!image)
        return Fail<HICON>(ERROR_RESOURCE_DATA_NOT_FOUND);
    int width = cairo_image_surface_get_width(image.get()), height = cairo_image_surface_get_height(image.get());
    int cx = requested.cx ? requested.cx : width, cy = requested.cy ? requested.cy : height;
    if (cx != width || cy != height) {
        hotSpot = { LONG(int64_t(hotSpot.x) * cx / width), LONG(int64_t(hotSpot.y) * cy / height) };
        image = Scaled(image.get(), cx, cy);
        if (!image)
            return Fail<HICON>(ERROR_NOT_ENOUGH_MEMORY);
    }
    return IconFromSurface(image.get(), isIcon, hotSpot);
}

// The index of the image nearest the requested size (the system icon size when none is), deepest first.
template<typename Entry>
std::size_t NearestImage(const std::vector<Entry>& entries, SIZE requested, bool cursor)
{
    int cx = requested.cx ? requested.cx : GetSystemMetrics(cursor ? SM_CXCURSOR : SM_CXICON);
    int cy = requested.cy ? requested.cy : GetSystemMetrics(cursor ? SM_CYCURSOR : SM_CYICON);
    auto distance = [&](const Entry& e) { return std::tuple(std::abs(e.width - cx) + std::abs(e.height - cy), -int(e.bitCount)); };
    auto best = std::min_element(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) { return distance(a) < distance(b); });
    return static_cast<std::size_t>(best - entries.begin());
}

HICON IconFromResource(HINSTANCE instance, LPCWSTR name, UINT type, SIZE requested)
{
    bool cursor = type == IMAGE_CURSOR;
    auto group = FindData(instance, name, cursor ? RT_GROUP_CURSOR : RT_GROUP_ICON);
    if (!group)
        return nullptr;
    auto entries = fln::res::DecodeIconGroup(group->data(), group->size(), cursor);
    if (!entries || entries->empty())
        return Fail<HICON>(ERROR_RESOURCE_DATA_NOT_FOUND);
    const auto& entry = (*entries)[NearestImage(*entries, requested, cursor)];
    auto image = FindData(instance, MAKEINTRESOURCEW(entry.imageId), cursor ? RT_CURSOR : RT_ICON);
    if (!image)
        return nullptr;
    POINT hotSpot {};
    if (cursor) {
        if (image->size() < 4)
            return Fail<HICON>(ERROR_RESOURCE_DATA_NOT_FOUND);
        hotSpot = { (*image)[0] | (*image)[1] << 8, (*image)[2] | (*image)[3] << 8 };
        *image = image->subspan(4);
    }
    return MakeIcon(DecodeIconImage(*image), !cursor, hotSpot, requested);
}

// ---- files

std::optional<std::vector<BYTE>> ReadFile(LPCWSTR name)
{
    std::ifstream file(WideToUtf8(name), std::ios::binary);
    if (!file)
        return std::nullopt;
    std::vector<BYTE> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        return std::nullopt;
    return bytes;
}

// An icon (.ico) or cursor (.cur) file: a directory of images, each a PNG or a DIB.
HICON IconFromIconFile(Bytes data, UINT type, SIZE requested)
{
    bool cursor = type == IMAGE_CURSOR;
    if (data.size() < 6 || Word(data, 0) != 0 || Word(data, 2) != (cursor ? 2 : 1) || Word(data, 4) == 0)
        return Fail<HICON>(ERROR_INVALID_PARAMETER);
    struct Entry {
        int width, height;
        WORD bitCount;
        POINT hotSpot;
        DWORD size, offset;
    };
    std::vector<Entry> entries;
    for (std::size_t i = 0, count = Word(data, 4); i < count; ++i) {
        std::size_t at = 6 + 16 * i;
        if (data.size() < at + 16)
            return Fail<HICON>(ERROR_INVALID_PARAMETER);
        Entry e { data[at] ? data[at] : 256, data[at + 1] ? data[at + 1] : 256, cursor ? WORD(0) : Word(data, at + 6),
            cursor ? POINT { Word(data, at + 4), Word(data, at + 6) } : POINT {}, Dword(data, at + 8), Dword(data, at + 12) };
        if (e.offset > data.size() || e.size > data.size() - e.offset)
            return Fail<HICON>(ERROR_INVALID_PARAMETER);
        entries.push_back(e);
    }
    const Entry& entry = entries[NearestImage(entries, requested, cursor)];
    return MakeIcon(DecodeIconImage(data.subspan(entry.offset, entry.size)), !cursor, entry.hotSpot, requested);
}

std::optional<PackedDib> DibFromFile(Bytes data)
{
    if (IsPng(data)) {
        Surface image = DecodePng(data);
        return image ? std::optional(DibFromSurface(image.get())) : std::nullopt;
    }
    constexpr std::size_t kFileHeader = 14;
    if (data.size() < kFileHeader || data[0] != 'B' || data[1] != 'M')
        return std::nullopt;
    auto dib = ParsePackedDib(data.subspan(kFileHeader));
    if (!dib)
        return std::nullopt;
    // The file header says where the rows start; the colour table may be followed by a gap.
    std::size_t rowsAt = Dword(data, 10), rows = dib->bytes.size() - dib->bitsOffset;
    if (rowsAt > data.size() || data.size() - rowsAt < rows)
        return std::nullopt;
    std::memcpy(dib->bits(), data.data() + rowsAt, rows);
    return dib;
}

HANDLE ImageFromFile(LPCWSTR name, UINT type, int cx, int cy, UINT flags)
{
    auto bytes = name ? ReadFile(name) : std::nullopt;
    if (!bytes)
        return Fail<HANDLE>(ERROR_FILE_NOT_FOUND);
    Bytes data(*bytes);
    if (type == IMAGE_BITMAP) {
        auto dib = DibFromFile(data);
        if (!dib)
            return Fail<HANDLE>(ERROR_INVALID_PARAMETER);
        ApplyColourFlags(*dib, flags);
        return BitmapFromDib(*dib, cx, cy, flags & LR_CREATEDIBSECTION);
    }
    SIZE requested = RequestedSize(type, cx, cy, flags);
    if (IsPng(data))
        return MakeIcon(DecodePng(data), type == IMAGE_ICON, {}, requested);
    return IconFromIconFile(data, type, requested);
}

// ---- images drawn here

// Monochrome 13 x 13 bitmaps, 'X' black.
HBITMAP MonochromeBitmap(const std::vector<const char*>& rows)
{
    int width = static_cast<int>(std::strlen(rows.front())), height = static_cast<int>(rows.size());
    std::size_t stride = (static_cast<std::size_t>(width) + 15) / 16 * 2;
    std::vector<BYTE> bits(stride * height, 0xFF);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (rows[y][x] == 'X')
                bits[stride * y + x / 8] &= BYTE(~(0x80 >> (x % 8)));
    return CreateBitmap(width, height, 1, 1, bits.data());
}

HBITMAP SystemBitmap(LPCWSTR name)
{
    if (name == OBM_CHECK)
        return MonochromeBitmap({ "             ", "             ", "             ", "          X  ", "         XX  ",
            "   X    XXX  ", "   XX  XXX   ", "   XXXXXX    ", "    XXXX     ", "     XX      ", "             ",
            "             ", "             " });
    if (name == OBM_MNARROW)
        return MonochromeBitmap({ "             ", "             ", "             ", "    X        ", "    XX       ",
            "    XXX      ", "    XXXX     ", "    XXX      ", "    XX       ", "    X        ", "             ",
            "             ", "             " });
    return Fail<HBITMAP>(ERROR_RESOURCE_NAME_NOT_FOUND);
}

void SetColour(cairo_t* cr, COLORREF colour)
{
    cairo_set_source_rgb(cr, GetRValue(colour) / 255.0, GetGValue(colour) / 255.0, GetBValue(colour) / 255.0);
}

// A disc with a dark rim, the face of the error, question and information icons.
void Disc(cairo_t* cr, COLORREF fill, COLORREF rim)
{
    cairo_arc(cr, 16, 16, 14.5, 0, 2 * M_PI);
    SetColour(cr, fill);
    cairo_fill_preserve(cr);
    SetColour(cr, rim);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

// The standard icons, 32 x 32, drawn with shapes only so that no font decides their look.
HICON SystemIcon(LPCWSTR name, SIZE requested)
{
    Surface surface = NewSurface(32, 32);
    if (!surface)
        return Fail<HICON>(ERROR_NOT_ENOUGH_MEMORY);
    cairo_t* cr = cairo_create(surface.get());
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    if (name == IDI_HAND) {
        Disc(cr, RGB(224, 32, 32), RGB(128, 0, 0));
        SetColour(cr, RGB(255, 255, 255));
        cairo_set_line_width(cr, 4);
        cairo_move_to(cr, 10, 10), cairo_line_to(cr, 22, 22);
        cairo_move_to(cr, 22, 10), cairo_line_to(cr, 10, 22);
        cairo_stroke(cr);
    } else if (name == IDI_EXCLAMATION) {
        cairo_move_to(cr, 16, 1.5), cairo_line_to(cr, 30.5, 29), cairo_line_to(cr, 1.5, 29), cairo_close_path(cr);
        SetColour(cr, RGB(255, 224, 0));
        cairo_fill_preserve(cr);
        SetColour(cr, RGB(0, 0, 0));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        cairo_set_line_width(cr, 4);
        cairo_move_to(cr, 16, 10), cairo_line_to(cr, 16, 19);
        cairo_stroke(cr);
        cairo_arc(cr, 16, 24.5, 2.2, 0, 2 * M_PI);
        cairo_fill(cr);
    } else if (name == IDI_ASTERISK || name == IDI_QUESTION) {
        Disc(cr, RGB(255, 255, 255), RGB(0, 0, 160));
        SetColour(cr, RGB(0, 0, 192));
        cairo_set_line_width(cr, 4);
        if (name == IDI_ASTERISK) {
            cairo_arc(cr, 16, 8.5, 2.5, 0, 2 * M_PI);
            cairo_fill(cr);
            cairo_move_to(cr, 16, 14), cairo_line_to(cr, 16, 24);
        } else {
            cairo_arc(cr, 16, 12, 5, M_PI, 2.3 * M_PI);
            cairo_line_to(cr, 16, 19);
            cairo_stroke(cr);
            cairo_arc(cr, 16, 24.5, 2.2, 0, 2 * M_PI);
            cairo_fill(cr);
        }
        cairo_stroke(cr);
    } else {
        // The application: a window with a blue title bar.
        cairo_rectangle(cr, 3.5, 5.5, 25, 21);
        SetColour(cr, RGB(255, 255, 255));
        cairo_fill_preserve(cr);
        SetColour(cr, RGB(0, 0, 0));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        cairo_rectangle(cr, 4, 6, 24, 5);
        SetColour(cr, RGB(0, 0, 128));
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface.get());
    return MakeIcon(std::move(surface), true, {}, requested);
}

// ---- shared handles

using SharedKey = std::tuple<HINSTANCE, std::wstring, ULONG_PTR, UINT, int, int, UINT>;

std::mutex& SharedLock()
{
    static std::mutex lock;
    return lock;
}

std::map<SharedKey, HANDLE>& SharedHandles()
{
    static std::map<SharedKey, HANDLE> handles;
    return handles;
}

SharedKey KeyOf(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags)
{
    if (IS_INTRESOURCE(name))
        return { instance, std::wstring(), reinterpret_cast<ULONG_PTR>(name), type, cx, cy, flags };
    std::wstring text = name;
    std::transform(text.begin(), text.end(), text.begin(), ::towupper);
    return { instance, text, 0, type, cx, cy, flags };
}

// Whether a shared handle was destroyed by a caller after all; it is then loaded afresh.
bool StillAlive(HANDLE handle, UINT type)
{
    if (type == IMAGE_BITMAP)
        return GetObjectType(handle) == OBJ_BITMAP;
    ICONINFO info {};
    if (!GetIconInfo(static_cast<HICON>(handle), &info))
        return false;
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    return true;
}

HANDLE LoadUnshared(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags)
{
    if (type == IMAGE_BITMAP) {
        if (IsSystemName(instance, name, 32734, 32767))
            return SystemBitmap(name);
        auto data = FindData(instance, name, RT_BITMAP);
        if (!data)
            return nullptr;
        auto dib = ParsePackedDib(*data);
        if (!dib)
            return Fail<HANDLE>(ERROR_RESOURCE_DATA_NOT_FOUND);
        ApplyColourFlags(*dib, flags);
        return BitmapFromDib(*dib, cx, cy, flags & LR_CREATEDIBSECTION);
    }
    SIZE requested = RequestedSize(type, cx, cy, flags);
    if (type == IMAGE_ICON && IsSystemName(instance, name, 32512, 32517))
        return SystemIcon(name, requested.cx ? requested : SIZE { 32, 32 });
    if (type == IMAGE_CURSOR && IsSystemName(instance, name, 32512, 32651))
        return LoadCursorW(nullptr, name);
    return IconFromResource(instance, name, type, requested);
}

} // namespace

HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name)
{
    auto data = FindData(instance, name, RT_MENU);
    return data ? MenuFromTemplate(data->data(), data->size()) : nullptr;
}

HMENU LoadMenuIndirectW(const void* menuTemplate)
{
    // The caller vouches for a whole template; the bound only keeps a damaged one from running on.
    constexpr std::size_t kLongestTemplate = 1 << 20;
    if (!menuTemplate)
        return Fail<HMENU>(ERROR_INVALID_PARAMETER);
    return MenuFromTemplate(menuTemplate, kLongestTemplate);
}

HACCEL LoadAcceleratorsW(HINSTANCE instance, LPCWSTR name)
{
    auto data = FindData(instance, name, RT_ACCELERATOR);
    if (!data)
        return nullptr;
    auto decoded = fln::res::DecodeAcceleratorTable(data->data(), data->size());
    if (!decoded || decoded->empty())
        return Fail<HACCEL>(ERROR_RESOURCE_DATA_NOT_FOUND);
    std::vector<ACCEL> table;
    for (const auto& entry : *decoded)
        table.push_back({ entry.flags, entry.key, entry.command });
    return CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name)
{
    return static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

HICON LoadIconW(HINSTANCE instance, LPCWSTR name)
{
    return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HANDLE LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags)
{
    if (type > IMAGE_CURSOR || cx < 0 || cy < 0 || !name)
        return Fail<HANDLE>(ERROR_INVALID_PARAMETER);
    if (flags & LR_LOADFROMFILE)
        return ImageFromFile(name, type, cx, cy, flags);
    if (!(flags & LR_SHARED))
        return LoadUnshared(instance, name, type, cx, cy, flags);
    SharedKey key = KeyOf(instance, name, type, cx, cy, flags);
    std::lock_guard guard(SharedLock());
    auto found = SharedHandles().find(key);
    if (found != SharedHandles().end() && StillAlive(found->second, type))
        return found->second;
    HANDLE loaded = LoadUnshared(instance, name, type, cx, cy, flags);
    if (loaded)
        SharedHandles().insert_or_assign(key, loaded);
    return loaded;
}

HCURSOR fln::user::LoadResourceCursor(HINSTANCE instance, LPCWSTR name)
{
    return static_cast<HCURSOR>(LoadImageW(instance, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}
