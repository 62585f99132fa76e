// Icons and cursors as mask and colour bitmap pairs.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"

#include <optional>

using namespace fln::gdi;

namespace {

std::shared_ptr<IconObject> iconOf(HICON handle) { return ObjectTable::find<IconObject>(handle, ObjectKind::Icon); }

// A temporary memory DC holding one of an icon's own bitmaps, for the raster operations that
// draw icons.
class BitmapDC {
public:
    explicit BitmapDC(const std::shared_ptr<BitmapObject>& bitmap)
    {
        auto dc = std::make_shared<DeviceContext>(DeviceContext::Kind::Memory);
        if (bitmap)
            dc->select(dc->state.bitmap, bitmap);
        m_dc = static_cast<HDC>(ObjectTable::add(dc));
    }
    ~BitmapDC() { DeleteDC(m_dc); }
    BitmapDC(const BitmapDC&) = delete;
    BitmapDC& operator=(const BitmapDC&) = delete;
    HDC dc() const { return m_dc; }

private:
    HDC m_dc;
};

// The opacity bytes of a 32-bit DIB, top row first; empty when they are all zero (no alpha).
std::vector<uint8_t> alphaOf(const BitmapObject& bitmap)
{
    if (!bitmap.isDib() || bitmap.bitsPixel() != 32)
        return {};
    std::vector<uint8_t> alpha;
    alpha.reserve(static_cast<size_t>(bitmap.width()) * bitmap.height());
    bool any = false;
    for (int y = 0; y < bitmap.height(); ++y) {
        int stored = bitmap.dibHeader().biHeight < 0 ? y : bitmap.height() - 1 - y;
        const auto* row = static_cast<const uint8_t*>(bitmap.dibBits()) + static_cast<size_t>(stored) * bitmap.dibStride();
        for (int x = 0; x < bitmap.width(); ++x) {
            alpha.push_back(row[4 * x + 3]);
            any |= row[4 * x + 3] != 0;
        }
    }
    return any ? alpha : std::vector<uint8_t> {};
}

// Lays an icon with an opacity channel over the DC's pixels, scaled to cx x cy.
void blendIcon(DeviceContext& dc, int x, int y, const IconObject& icon, int cx, int cy)
{
    Canvas canvas(dc);
    if (!canvas.valid())
        return;
    POINT origin = dc.toDevice(POINT { x, y });
    int width = dc.widthToDevice(cx), height = std::abs(dc.heightToDevice(cy));
    int iconWidth = icon.color->width(), iconHeight = icon.color->height();
    cairo_surface_flush(icon.color->surface());
    canvas.touchRows(origin.y, origin.y + height);
    for (int row = 0; row < height; ++row) {
        int sy = int(int64_t(row) * iconHeight / height);
        const uint32_t* source = icon.color->row(sy);
        for (int column = 0; column < width; ++column) {
            int px = origin.x + column, py = origin.y + row;
            if (!canvas.visible(px, py))
                continue;
            int sx = int(int64_t(column) * iconWidth / width);
            unsigned a = icon.alpha[static_cast<size_t>(sy) * iconWidth + sx];
            if (a == 0)
                continue;
            uint32_t s = canvas.monochrome() ? toMonoPixel(source[sx] & 0xFFFFFF) : source[sx] & 0xFFFFFF;
            uint32_t& d = canvas.pixel(px, py);
            auto mix = [a](uint32_t fg, uint32_t bg, int shift) {
                unsigned f = (fg >> shift) & 0xFF, b = (bg >> shift) & 0xFF;
                return ((f * a + b * (255 - a) + 127) / 255) << shift;
            };
            d = (d & 0xFF000000) | mix(s, d, 16) | mix(s, d, 8) | mix(s, d, 0);
            if (canvas.monochrome())
                d = (d & 0xFF000000) | toMonoPixel(d & 0xFFFFFF);
        }
    }
}

} // namespace

HICON CreateIconIndirect(const ICONINFO* info)
{
    if (!info || !info->hbmMask)
        return nullptr;
    auto mask = ObjectTable::find<BitmapObject>(info->hbmMask, ObjectKind::Bitmap);
    auto color = info->hbmColor ? ObjectTable::find<BitmapObject>(info->hbmColor, ObjectKind::Bitmap) : nullptr;
    if (!mask || (info->hbmColor && !color))
        return nullptr;
    auto icon = std::make_shared<IconObject>();
    icon->isIcon = info->fIcon != FALSE;
    icon->mask = cloneBitmap(*mask);
    icon->color = color ? cloneBitmap(*color) : nullptr;
    int width = icon->width(), height = icon->height();
    // Icons have their hot spot in the centre, cursors where the caller says.
    icon->hotSpot = icon->isIcon ? POINT { width / 2, height / 2 } : POINT { LONG(info->xHotspot), LONG(info->yHotspot) };
    if (!icon->mask || (color && !icon->color))
        return nullptr;
    if (icon->color)
        icon->alpha = alphaOf(*icon->color);
    return static_cast<HICON>(ObjectTable::add(icon));
}

BOOL GetIconInfo(HICON handle, ICONINFO* info)
{
    auto icon = iconOf(handle);
    if (!icon || !info)
        return FALSE;
    info->fIcon = icon->isIcon;
    info->xHotspot = static_cast<DWORD>(icon->hotSpot.x);
    info->yHotspot = static_cast<DWORD>(icon->hotSpot.y);
    info->hbmMask = static_cast<HBITMAP>(ObjectTable::add(cloneBitmap(*icon->mask)));
    info->hbmColor = icon->color ? static_cast<HBITMAP>(ObjectTable::add(cloneBitmap(*icon->color))) : nullptr;
    return TRUE;
}

HICON CopyIcon(HICON handle)
{
    auto icon = iconOf(handle);
    if (!icon)
        return nullptr;
    auto copy = std::make_shared<IconObject>();
    copy->isIcon = icon->isIcon;
    copy->hotSpot = icon->hotSpot;
    copy->mask = cloneBitmap(*icon->mask);
    copy->color = icon->color ? cloneBitmap(*icon->color) : nullptr;
    copy->alpha = icon->alpha;
    return static_cast<HICON>(ObjectTable::add(copy));
}

BOOL DestroyIcon(HICON handle) { return iconOf(handle) && ObjectTable::destroy(handle); }
BOOL DestroyCursor(HCURSOR handle) { return DestroyIcon(handle); }

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) { return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL); }

BOOL DrawIconEx(HDC dc, int x, int y, HICON handle, int cx, int cy, UINT, HBRUSH background, UINT flags)
{
    auto icon = iconOf(handle);
    if (!icon || !DeviceContext::from(dc))
        return FALSE;
    int width = icon->width(), height = icon->height();
    if (cx == 0)
        cx = width;
    if (cy == 0)
        cy = height;
    if ((flags & DI_NORMAL) == 0)
        flags |= DI_NORMAL;

    HDC target = dc;
    std::optional<MemoryDC> offscreen;
    int drawX = x, drawY = y;
    if (background) { // drawn over the brush off screen, then copied in one piece
        offscreen.emplace(dc, cx, cy);
        RECT all { 0, 0, cx, cy };
        FillRect(*offscreen, &all, background);
        target = *offscreen;
        drawX = drawY = 0;
    }
    COLORREF text = SetTextColor(target, RGB(0, 0, 0));
    COLORREF back = SetBkColor(target, RGB(255, 255, 255));
    if (!icon->alpha.empty() && (flags & DI_NORMAL) == DI_NORMAL) {
        // An icon with an opacity channel is blended; its mask is not used.
        blendIcon(*DeviceContext::from(target), drawX, drawY, *icon, cx, cy);
    } else {
        BitmapDC mask(icon->mask);
        if (flags & DI_MASK)
            StretchBlt(target, drawX, drawY, cx, cy, mask.dc(), 0, 0, width, height, (flags & DI_IMAGE) ? SRCAND : SRCCOPY);
        if (flags & DI_IMAGE) {
            if (icon->color) {
                BitmapDC color(icon->color);
                StretchBlt(target, drawX, drawY, cx, cy, color.dc(), 0, 0, width, height, (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
            } else { // a monochrome icon keeps its XOR half below the AND half
                StretchBlt(target, drawX, drawY, cx, cy, mask.dc(), 0, height, width, height, (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
            }
        }
    }
    SetTextColor(target, text);
    SetBkColor(target, back);
    if (offscreen)
        offscreen->CopyTo(dc, x, y);
    return TRUE;
}
