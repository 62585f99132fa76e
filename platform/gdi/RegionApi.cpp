// Regions: creation, combination, queries and the region data.

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Objects.h"
#include "platform/gdi/Surface.h"

#include <cstring>
#include <vector>

using namespace fln::gdi;

HRGN CreateRectRgn(int left, int top, int right, int bottom) { return createRegionHandle(Region(RECT { left, top, right, bottom })); }
HRGN CreateRectRgnIndirect(const RECT* rect) { return rect ? CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr; }
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    return createRegionHandle(Region::roundRect(RECT { left, top, right, bottom }, cornerWidth, cornerHeight));
}
HRGN CreateEllipticRgn(int left, int top, int right, int bottom) { return createRegionHandle(Region::ellipse(RECT { left, top, right, bottom })); }
HRGN CreateEllipticRgnIndirect(const RECT* rect) { return rect ? CreateEllipticRgn(rect->left, rect->top, rect->right, rect->bottom) : nullptr; }
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode) { return CreatePolyPolygonRgn(points, &count, 1, fillMode); }
HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygonCount, int fillMode)
{
    if (!points || !counts || polygonCount <= 0 || (fillMode != ALTERNATE && fillMode != WINDING))
        return nullptr;
    for (int i = 0; i < polygonCount; ++i)
        if (counts[i] < 2)
            return nullptr;
    return createRegionHandle(Region::polygons(points, counts, polygonCount, fillMode));
}

HRGN ExtCreateRegion(const void* transform, DWORD size, const RGNDATA* data)
{
    if (transform || !data || size < sizeof(RGNDATAHEADER) || data->rdh.iType != RDH_RECTANGLES
        || data->rdh.nCount > (size - sizeof(RGNDATAHEADER)) / sizeof(RECT))
        return nullptr;
    return createRegionHandle(Region::fromRects(reinterpret_cast<const RECT*>(data->Buffer), data->rdh.nCount));
}

BOOL SetRectRgn(HRGN handle, int left, int top, int right, int bottom)
{
    auto object = ObjectTable::find<RegionObject>(handle, ObjectKind::Region);
    if (!object)
        return FALSE;
    object->region = Region(RECT { left, top, right, bottom });
    return TRUE;
}

int CombineRgn(HRGN destination, HRGN a, HRGN b, int mode)
{
    auto target = ObjectTable::find<RegionObject>(destination, ObjectKind::Region);
    const Region* first = regionOf(a);
    const Region* second = regionOf(b);
    if (!target || !first || (mode != RGN_COPY && !second))
        return ERROR;
    switch (mode) {
    case RGN_AND: target->region = *first & *second; break;
    case RGN_OR: target->region = *first | *second; break;
    case RGN_XOR: target->region = *first ^ *second; break;
    case RGN_DIFF: target->region = *first - *second; break;
    case RGN_COPY: target->region = *first; break;
    default: return ERROR;
    }
    return target->region.complexity();
}

int OffsetRgn(HRGN handle, int dx, int dy)
{
    auto object = ObjectTable::find<RegionObject>(handle, ObjectKind::Region);
    if (!object)
        return ERROR;
    object->region.offset(dx, dy);
    return object->region.complexity();
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    const Region* first = regionOf(a);
    const Region* second = regionOf(b);
    return first && second && *first == *second;
}

BOOL PtInRegion(HRGN handle, int x, int y)
{
    const Region* region = regionOf(handle);
    return region && region->contains(x, y);
}

BOOL RectInRegion(HRGN handle, const RECT* rect)
{
    const Region* region = regionOf(handle);
    return region && rect && region->intersects(*rect);
}

int GetRgnBox(HRGN handle, LPRECT box)
{
    const Region* region = regionOf(handle);
    if (!region || !box)
        return ERROR;
    *box = region->bounds();
    return region->complexity();
}

DWORD GetRegionData(HRGN handle, DWORD size, RGNDATA* data)
{
    const Region* region = regionOf(handle);
    if (!region)
        return 0;
    std::vector<RECT> rects = region->rects();
    DWORD needed = static_cast<DWORD>(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    if (!data)
        return needed;
    if (size < needed)
        return 0;
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = static_cast<DWORD>(rects.size());
    data->rdh.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
    data->rdh.rcBound = region->bounds();
    if (!rects.empty())
        std::memcpy(data->Buffer, rects.data(), rects.size() * sizeof(RECT));
    return needed;
}
