#pragma once
// A region as a set of pixels stored as horizontal bands: each band covers rows [top, bottom) and
// holds sorted, disjoint, non-touching spans [left, right). Bands are sorted, disjoint and coalesced
// (two touching bands never have the same spans), so that equal regions have equal representations.
// This is the value type behind HRGN, the clip of every device context and the visible part of a
// window.

#include "platform/base/Geometry.h"

#include <vector>

namespace fln::gdi {

struct Span {
    int left;
    int right;
    friend bool operator==(const Span&, const Span&) = default;
};

struct Band {
    int top;
    int bottom;
    std::vector<Span> spans;
};

// The spans of consecutive rows, starting at row `top`: what scan conversion of a shape produces.
struct SpanRows {
    int top = 0;
    std::vector<std::vector<Span>> rows;
};

class Region {
public:
    enum class Op { And, Or, Xor, Diff };

    Region() = default;
    explicit Region(const RECT& rect);
    static Region fromRows(const SpanRows& rows);
    static Region fromRects(const RECT* rects, size_t count);

    static Region ellipse(const RECT& box);
    static Region roundRect(const RECT& box, int cornerWidth, int cornerHeight);
    // fillMode is ALTERNATE or WINDING; each polygon is closed implicitly.
    static Region polygons(const POINT* points, const int* counts, int polygonCount, int fillMode);

    static Region combine(const Region& a, const Region& b, Op op);
    Region operator&(const Region& other) const { return combine(*this, other, Op::And); }
    Region operator|(const Region& other) const { return combine(*this, other, Op::Or); }
    Region operator-(const Region& other) const { return combine(*this, other, Op::Diff); }
    Region operator^(const Region& other) const { return combine(*this, other, Op::Xor); }
    friend bool operator==(const Region& a, const Region& b);

    bool isEmpty() const { return m_bands.empty(); }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int complexity() const;
    RECT bounds() const;
    bool contains(int x, int y) const;
    bool intersects(const RECT& rect) const;
    void offset(int dx, int dy);

    // The region as rectangles, top to bottom, then left to right.
    std::vector<RECT> rects() const;
    const std::vector<Band>& bands() const { return m_bands; }
    // The band holding row y, or null.
    const Band* bandAt(int y) const;

private:
    void appendBand(int top, int bottom, std::vector<Span> spans);

    std::vector<Band> m_bands;
};

// Scan conversion shared by regions and the shape drawing, so that Ellipse() fills exactly the
// pixels of CreateEllipticRgn() with the same box. Only rows in [first, last) are made: drawing
// asks for the rows near its clip; regions stop far beyond any surface.
struct RowRange {
    int first = -0x10000;
    int last = 0x10000;
};
SpanRows ellipseRows(const RECT& box, RowRange range = {});
SpanRows roundRectRows(const RECT& box, int cornerWidth, int cornerHeight, RowRange range = {});
SpanRows polygonRows(const POINT* points, const int* counts, int polygonCount, int fillMode, RowRange range = {});

} // namespace fln::gdi
