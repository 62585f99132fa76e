#pragma once
// Points, sizes and rectangles in logical units, with the rectangle functions of the system
// interface and the CPoint, CSize and CRect classes over them. A rectangle includes its left and
// top edges and excludes its right and bottom edges; it is empty when it has no width or height.

#include "platform/base/WinTypes.h"

#include <algorithm>
#include <cstdint>

struct POINT {
    LONG x;
    LONG y;
};
struct SIZE {
    LONG cx;
    LONG cy;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPPOINT = POINT*;
using LPSIZE = SIZE*;
using LPRECT = RECT*;
using LPCRECT = const RECT*;

// The rectangle functions; each returns FALSE for a null rectangle pointer.
BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
BOOL SetRectEmpty(LPRECT rect);
BOOL CopyRect(LPRECT destination, const RECT* source);
BOOL IsRectEmpty(const RECT* rect);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* rect, POINT point);
BOOL InflateRect(LPRECT rect, int dx, int dy);
BOOL OffsetRect(LPRECT rect, int dx, int dy);
// The overlap of a and b; an empty result is set to all zeros and gives FALSE.
BOOL IntersectRect(LPRECT destination, const RECT* a, const RECT* b);
// The smallest rectangle holding both (an empty one is ignored); FALSE when both are empty.
BOOL UnionRect(LPRECT destination, const RECT* a, const RECT* b);
// a without b, where b covers a whole side of a; otherwise a unchanged. FALSE when empty.
BOOL SubtractRect(LPRECT destination, const RECT* a, const RECT* b);
// The middle of a rectangle, rounded toward zero; any rectangle, however far out, has one.
POINT CentreOf(const RECT& rect);
// A point moved by (dx, dy); like OffsetRect, it stops at the ends of the coordinate range.
POINT OffsetPoint(POINT point, std::int64_t dx, std::int64_t dy);

class CSize : public SIZE {
public:
    constexpr CSize() : SIZE { 0, 0 } {}
    constexpr CSize(int cx, int cy) : SIZE { cx, cy } {}
    constexpr CSize(SIZE size) : SIZE(size) {}
    constexpr explicit CSize(POINT point) : SIZE { point.x, point.y } {}
    // Width in the low word, height in the high word (both signed).
    constexpr explicit CSize(DWORD packed) : SIZE { static_cast<SHORT>(LOWORD(packed)), static_cast<SHORT>(HIWORD(packed)) } {}

    void SetSize(int x, int y) { cx = x, cy = y; }

    friend constexpr bool operator==(const SIZE& a, const SIZE& b) { return a.cx == b.cx && a.cy == b.cy; }
    CSize& operator+=(SIZE size) { cx += size.cx, cy += size.cy; return *this; }
    CSize& operator-=(SIZE size) { cx -= size.cx, cy -= size.cy; return *this; }
    constexpr CSize operator+(SIZE size) const { return CSize(cx + size.cx, cy + size.cy); }
    constexpr CSize operator-(SIZE size) const { return CSize(cx - size.cx, cy - size.cy); }
    constexpr CSize operator-() const { return CSize(-cx, -cy); }
};

class CPoint : public POINT {
public:
    constexpr CPoint() : POINT { 0, 0 } {}
    constexpr CPoint(int x, int y) : POINT { x, y } {}
    constexpr CPoint(POINT point) : POINT(point) {}
    constexpr explicit CPoint(SIZE size) : POINT { size.cx, size.cy } {}
    // x in the low word, y in the high word, both signed: the form mouse messages carry.
    constexpr explicit CPoint(LPARAM packed)
        : POINT { static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(packed))), static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(packed))) }
    {
    }

    void SetPoint(int newX, int newY) { x = newX, y = newY; }
    void Offset(int dx, int dy) { x += dx, y += dy; }
    void Offset(POINT point) { Offset(point.x, point.y); }
    void Offset(SIZE size) { Offset(size.cx, size.cy); }

    friend constexpr bool operator==(const POINT& a, const POINT& b) { return a.x == b.x && a.y == b.y; }
    CPoint& operator+=(SIZE size) { Offset(size); return *this; }
    CPoint& operator-=(SIZE size) { Offset(-size.cx, -size.cy); return *this; }
    CPoint& operator+=(POINT point) { Offset(point); return *this; }
    CPoint& operator-=(POINT point) { Offset(-point.x, -point.y); return *this; }
    constexpr CPoint operator+(SIZE size) const { return CPoint(x + size.cx, y + size.cy); }
    constexpr CPoint operator-(SIZE size) const { return CPoint(x - size.cx, y - size.cy); }
    constexpr CPoint operator+(POINT point) const { return CPoint(x + point.x, y + point.y); }
    constexpr CSize operator-(POINT point) const { return CSize(x - point.x, y - point.y); }
    constexpr CPoint operator-() const { return CPoint(-x, -y); }
};

class CRect : public RECT {
public:
    constexpr CRect() : RECT { 0, 0, 0, 0 } {}
    constexpr CRect(int l, int t, int r, int b) : RECT { l, t, r, b } {}
    constexpr CRect(const RECT& rect) : RECT(rect) {}
    CRect(const RECT* rect) : RECT(rect ? *rect : RECT { 0, 0, 0, 0 }) {}
    constexpr CRect(POINT topLeft, SIZE size) : RECT { topLeft.x, topLeft.y, topLeft.x + size.cx, topLeft.y + size.cy } {}
    constexpr CRect(POINT topLeft, POINT bottomRight) : RECT { topLeft.x, topLeft.y, bottomRight.x, bottomRight.y } {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return CSize(Width(), Height()); }
    // The corners as points that write through to the rectangle.
    CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
    constexpr CPoint TopLeft() const { return CPoint(left, top); }
    constexpr CPoint BottomRight() const { return CPoint(right, bottom); }
    constexpr CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }

    BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    BOOL PtInRect(POINT point) const { return ::PtInRect(this, point); }
    BOOL EqualRect(const RECT* rect) const { return ::EqualRect(this, rect); }

    void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    void SetRect(POINT topLeft, POINT bottomRight) { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }
    void SetRectEmpty() { SetRect(0, 0, 0, 0); }
    void CopyRect(const RECT* rect) { ::CopyRect(this, rect); }

    void InflateRect(int dx, int dy) { ::InflateRect(this, dx, dy); }
    void InflateRect(SIZE size) { InflateRect(size.cx, size.cy); }
    void InflateRect(const RECT* rect) { InflateRect(rect->left, rect->top, rect->right, rect->bottom); }
    void InflateRect(int l, int t, int r, int b) { left -= l, top -= t, right += r, bottom += b; }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void DeflateRect(SIZE size) { InflateRect(-size.cx, -size.cy); }
    void DeflateRect(const RECT* rect) { DeflateRect(rect->left, rect->top, rect->right, rect->bottom); }
    void DeflateRect(int l, int t, int r, int b) { left += l, top += t, right -= r, bottom -= b; }
    void OffsetRect(int dx, int dy) { ::OffsetRect(this, dx, dy); }
    void OffsetRect(POINT point) { OffsetRect(point.x, point.y); }
    void OffsetRect(SIZE size) { OffsetRect(size.cx, size.cy); }
    void MoveToX(int x) { right += x - left, left = x; }
    void MoveToY(int y) { bottom += y - top, top = y; }
    void MoveToXY(int x, int y) { MoveToX(x), MoveToY(y); }
    void MoveToXY(POINT point) { MoveToXY(point.x, point.y); }
    // Swaps edges so that left <= right and top <= bottom.
    void NormalizeRect()
    {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }

    BOOL IntersectRect(const RECT* a, const RECT* b) { return ::IntersectRect(this, a, b); }
    BOOL UnionRect(const RECT* a, const RECT* b) { return ::UnionRect(this, a, b); }
    BOOL SubtractRect(const RECT* a, const RECT* b) { return ::SubtractRect(this, a, b); }

    friend bool operator==(const RECT& a, const RECT& b)
    {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
    CRect& operator+=(POINT point) { OffsetRect(point); return *this; }
    CRect& operator+=(SIZE size) { OffsetRect(size); return *this; }
    CRect& operator+=(const RECT* rect) { InflateRect(rect); return *this; }
    CRect& operator-=(POINT point) { OffsetRect(-point.x, -point.y); return *this; }
    CRect& operator-=(SIZE size) { OffsetRect(-size.cx, -size.cy); return *this; }
    CRect& operator-=(const RECT* rect) { DeflateRect(rect); return *this; }
    CRect& operator&=(const RECT& rect) { ::IntersectRect(this, this, &rect); return *this; }
    CRect& operator|=(const RECT& rect) { ::UnionRect(this, this, &rect); return *this; }
    CRect operator+(POINT point) const { CRect r(*this); r += point; return r; }
    CRect operator+(SIZE size) const { CRect r(*this); r += size; return r; }
    CRect operator-(POINT point) const { CRect r(*this); r -= point; return r; }
    CRect operator-(SIZE size) const { CRect r(*this); r -= size; return r; }
    CRect operator&(const RECT& rect) const { CRect r; ::IntersectRect(&r, this, &rect); return r; }
    CRect operator|(const RECT& rect) const { CRect r; ::UnionRect(&r, this, &rect); return r; }
};
