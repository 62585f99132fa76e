// Icons and cursors as mask and colour bitmap pairs.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"

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
    HDC offscreen = nullptr;
    HBITMAP offscreenBitmap = nullptr;
    int drawX = x, drawY = y;
    if (background) { // drawn over the brush off screen, then copied in one piece
        offscreen = CreateCompatibleDC(dc);
        offscreenBitmap = CreateCompatibleBitmap(dc, cx, cy);
        SelectObject(offscreen, offscreenBitmap);
        RECT all { 0, 0, cx, cy };
        FillRect(offscreen, &all, background);
        target = offscreen;
        drawX = drawY = 0;
    }
    COLORREF text = SetTextColor(target, RGB(0, 0, 0));
    COLORREF back = SetBkColor(target, RGB(255, 255, 255));
    {
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
    if (offscreen) {
        BitBlt(dc, x, y, cx, cy, offscreen, 0, 0, SRCCOPY);
        DeleteDC(offscreen);
        DeleteObject(offscreenBitmap);
    }
    return TRUE;
}
