#include "platform/base/Geometry.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// Coordinates stop at the ends of their range rather than wrap: a rectangle moved far off stays far off.
LONG Shifted(LONG coordinate, std::int64_t by)
{
    const std::int64_t sum = coordinate + by;
    return static_cast<LONG>(std::clamp<std::int64_t>(sum, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

} // namespace

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom)
{
    if (!rect) return FALSE;
    *rect = RECT { left, top, right, bottom };
    return TRUE;
}

BOOL SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }

BOOL CopyRect(LPRECT destination, const RECT* source)
{
    if (!destination || !source) return FALSE;
    *destination = *source;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* rect) { return !rect || rect->right <= rect->left || rect->bottom <= rect->top; }

BOOL EqualRect(const RECT* a, const RECT* b)
{
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* rect, POINT point)
{
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom;
}

BOOL InflateRect(LPRECT rect, int dx, int dy)
{
    if (!rect) return FALSE;
    rect->left = Shifted(rect->left, -std::int64_t { dx }), rect->right = Shifted(rect->right, dx);
    rect->top = Shifted(rect->top, -std::int64_t { dy }), rect->bottom = Shifted(rect->bottom, dy);
    return TRUE;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy)
{
    if (!rect) return FALSE;
    rect->left = Shifted(rect->left, dx), rect->right = Shifted(rect->right, dx);
    rect->top = Shifted(rect->top, dy), rect->bottom = Shifted(rect->bottom, dy);
    return TRUE;
}

BOOL IntersectRect(LPRECT destination, const RECT* a, const RECT* b)
{
    if (!destination || !a || !b) return FALSE;
    RECT overlap { std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                   std::min(a->bottom, b->bottom) };
    if (IsRectEmpty(a) || IsRectEmpty(b) || IsRectEmpty(&overlap)) return SetRectEmpty(destination) && FALSE;
    *destination = overlap;
    return TRUE;
}

BOOL UnionRect(LPRECT destination, const RECT* a, const RECT* b)
{
    if (!destination || !a || !b) return FALSE;
    bool aEmpty = IsRectEmpty(a), bEmpty = IsRectEmpty(b);
    if (aEmpty && bEmpty) return SetRectEmpty(destination) && FALSE;
    if (aEmpty || bEmpty) {
        *destination = aEmpty ? *b : *a;
        return TRUE;
    }
    *destination = RECT { std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                          std::max(a->bottom, b->bottom) };
    return TRUE;
}

BOOL SubtractRect(LPRECT destination, const RECT* a, const RECT* b)
{
    if (!destination || !a || !b) return FALSE;
    RECT result = *a;
    RECT overlap;
    if (IntersectRect(&overlap, a, b)) {
        if (b->left <= a->left && b->right >= a->right) {  // b spans a's whole width
            if (b->top <= a->top) result.top = std::min(b->bottom, a->bottom);
            else if (b->bottom >= a->bottom) result.bottom = b->top;
        } else if (b->top <= a->top && b->bottom >= a->bottom) {  // b spans a's whole height
            if (b->left <= a->left) result.left = std::min(b->right, a->right);
            else if (b->right >= a->right) result.right = b->left;
        }
    }
    if (IsRectEmpty(&result)) return SetRectEmpty(destination) && FALSE;
    *destination = result;
    return TRUE;
}

POINT CentreOf(const RECT& rect)
{
    // In 64 bits: the sum of two coordinates near the ends of their range does not fit a LONG.
    return { static_cast<LONG>((std::int64_t { rect.left } + rect.right) / 2), static_cast<LONG>((std::int64_t { rect.top } + rect.bottom) / 2) };
}

POINT OffsetPoint(POINT point, std::int64_t dx, std::int64_t dy) { return { Shifted(point.x, dx), Shifted(point.y, dy) }; }
