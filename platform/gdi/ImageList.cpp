#include "platform/gdi/ImageList.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"

#include <memory>
#include <mutex>
#include <unordered_set>
#include <utility>

// The list keeps its images side by side in one colour bitmap, and their masks in one monochrome
// bitmap of the same size (black where the image shows).
struct IMAGELIST {
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    int count = 0;
    int capacity = 0;
    COLORREF background = CLR_NONE;
    HBITMAP images = nullptr;
    HBITMAP masks = nullptr;

    ~IMAGELIST()
    {
        DeleteObject(images);
        DeleteObject(masks);
    }
    bool hasMask() const { return flags & ILC_MASK; }
};

namespace {

std::mutex g_listsMutex;
std::unordered_set<HIMAGELIST> g_lists;

bool isList(HIMAGELIST list)
{
    std::lock_guard lock(g_listsMutex);
    return list && g_lists.count(list);
}

bool reserve(HIMAGELIST list, int needed)
{
    if (needed <= list->capacity)
        return true;
    int capacity = std::max(needed, list->capacity * 2);
    HBITMAP images = CreateBitmap(capacity * list->cx, list->cy, 1, 32, nullptr);
    HBITMAP masks = CreateBitmap(capacity * list->cx, list->cy, 1, 1, nullptr);
    if (!images || !masks) {
        DeleteObject(images);
        DeleteObject(masks);
        return false;
    }
    if (list->images) {
        fln::gdi::MemoryDC from(nullptr, list->images), to(nullptr, images);
        BitBlt(to, 0, 0, list->count * list->cx, list->cy, from, 0, 0, SRCCOPY);
        fln::gdi::MemoryDC fromMask(nullptr, list->masks), toMask(nullptr, masks);
        BitBlt(toMask, 0, 0, list->count * list->cx, list->cy, fromMask, 0, 0, SRCCOPY);
        DeleteObject(list->images);
        DeleteObject(list->masks);
    }
    list->images = images;
    list->masks = masks;
    list->capacity = capacity;
    return true;
}

} // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int)
{
    if (cx <= 0 || cy <= 0 || initial < 0)
        return nullptr;
    auto list = std::make_unique<IMAGELIST>();
    list->cx = cx;
    list->cy = cy;
    list->flags = flags;
    if (!reserve(list.get(), std::max(initial, 1)))
        return nullptr;
    std::lock_guard lock(g_listsMutex);
    g_lists.insert(list.get());
    return list.release();
}

BOOL ImageList_Destroy(HIMAGELIST list)
{
    {
        std::lock_guard lock(g_listsMutex);
        if (!list || !g_lists.erase(list))
            return FALSE;
    }
    delete list;
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST list) { return isList(list) ? list->count : 0; }

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy)
{
    if (!isList(list) || !cx || !cy)
        return FALSE;
    *cx = list->cx;
    *cy = list->cy;
    return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask)
{
    BITMAP bm {};
    if (!isList(list) || !GetObjectW(image, sizeof bm, &bm))
        return -1;
    int added = bm.bmWidth / list->cx;
    if (added <= 0 || !reserve(list, list->count + added))
        return -1;
    int first = list->count;
    {
        fln::gdi::MemoryDC from(nullptr, image), to(nullptr, list->images);
        BitBlt(to, first * list->cx, 0, added * list->cx, list->cy, from, 0, 0, SRCCOPY);
    }
    {
        fln::gdi::MemoryDC toMask(nullptr, list->masks);
        if (mask) {
            fln::gdi::MemoryDC fromMask(nullptr, mask);
            BitBlt(toMask, first * list->cx, 0, added * list->cx, list->cy, fromMask, 0, 0, SRCCOPY);
        } else {
            PatBlt(toMask, first * list->cx, 0, added * list->cx, list->cy, BLACKNESS);
        }
    }
    list->count += added;
    return first;
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor)
{
    BITMAP bm {};
    if (!isList(list) || !GetObjectW(image, sizeof bm, &bm))
        return -1;
    // Mask: white where the image has the mask colour. Image: those pixels made black.
    HBITMAP mask = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr);
    HBITMAP copy = CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 32, nullptr);
    {
        fln::gdi::MemoryDC source(nullptr, image), maskDC(nullptr, mask), copyDC(nullptr, copy);
        SetBkColor(source, maskColor);
        BitBlt(maskDC, 0, 0, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
        BitBlt(copyDC, 0, 0, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
        SetTextColor(copyDC, RGB(0, 0, 0));
        SetBkColor(copyDC, RGB(255, 255, 255));
        BitBlt(copyDC, 0, 0, bm.bmWidth, bm.bmHeight, maskDC, 0, 0, 0x00220326); // D & ~S
    }
    int first = ImageList_Add(list, copy, mask);
    DeleteObject(mask);
    DeleteObject(copy);
    return first;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon)
{
    if (!isList(list) || index < -1 || index >= list->count)
        return -1;
    if (index == -1) {
        if (!reserve(list, list->count + 1))
            return -1;
        index = list->count++;
    }
    {
        fln::gdi::MemoryDC images(nullptr, list->images);
        RECT cell { index * list->cx, 0, (index + 1) * list->cx, list->cy };
        FillRect(images, &cell, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        DrawIconEx(images, cell.left, 0, icon, list->cx, list->cy, 0, nullptr, DI_IMAGE);
        fln::gdi::MemoryDC masks(nullptr, list->masks);
        DrawIconEx(masks, cell.left, 0, icon, list->cx, list->cy, 0, nullptr, DI_MASK);
    }
    return index;
}

BOOL ImageList_Remove(HIMAGELIST list, int index)
{
    if (!isList(list) || index < -1 || index >= list->count)
        return FALSE;
    if (index == -1) {
        list->count = 0;
        return TRUE;
    }
    int after = list->count - index - 1;
    if (after > 0) {
        fln::gdi::MemoryDC images(nullptr, list->images), masks(nullptr, list->masks);
        BitBlt(images, index * list->cx, 0, after * list->cx, list->cy, images, (index + 1) * list->cx, 0, SRCCOPY);
        BitBlt(masks, index * list->cx, 0, after * list->cx, list->cy, masks, (index + 1) * list->cx, 0, SRCCOPY);
    }
    --list->count;
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color)
{
    if (!isList(list))
        return CLR_NONE;
    return std::exchange(list->background, color);
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) { return isList(list) ? list->background : CLR_NONE; }

BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int cx, int cy, COLORREF background, COLORREF, UINT style)
{
    if (!isList(list) || index < 0 || index >= list->count)
        return FALSE;
    if (cx == 0)
        cx = list->cx;
    if (cy == 0)
        cy = list->cy;
    int sx = index * list->cx;
    fln::gdi::MemoryDC images(nullptr, list->images), masks(nullptr, list->masks);
    if (style & ILD_MASK) {
        BitBlt(dc, x, y, cx, cy, masks, sx, 0, SRCCOPY);
        return TRUE;
    }
    COLORREF fill = background == CLR_DEFAULT ? list->background : background;
    bool transparent = list->hasMask() && ((style & ILD_TRANSPARENT) || fill == CLR_NONE);
    COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    if (transparent) {
        BitBlt(dc, x, y, cx, cy, masks, sx, 0, SRCAND);
        BitBlt(dc, x, y, cx, cy, images, sx, 0, SRCPAINT);
    } else if (list->hasMask() && fill != CLR_NONE) {
        RECT cell { x, y, x + cx, y + cy };
        FillSolidRect(dc, &cell, fill);
        BitBlt(dc, x, y, cx, cy, masks, sx, 0, SRCAND);
        BitBlt(dc, x, y, cx, cy, images, sx, 0, SRCPAINT);
    } else {
        BitBlt(dc, x, y, cx, cy, images, sx, 0, SRCCOPY);
    }
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style)
{
    return ImageList_DrawEx(list, index, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT)
{
    if (!isList(list) || index < 0 || index >= list->count)
        return nullptr;
    HBITMAP color = CreateBitmap(list->cx, list->cy, 1, 32, nullptr);
    HBITMAP mask = CreateBitmap(list->cx, list->cy, 1, 1, nullptr);
    {
        fln::gdi::MemoryDC images(nullptr, list->images), masks(nullptr, list->masks), colorDC(nullptr, color), maskDC(nullptr, mask);
        BitBlt(colorDC, 0, 0, list->cx, list->cy, images, index * list->cx, 0, SRCCOPY);
        BitBlt(maskDC, 0, 0, list->cx, list->cy, masks, index * list->cx, 0, SRCCOPY);
    }
    ICONINFO info { TRUE, 0, 0, mask, color };
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}
