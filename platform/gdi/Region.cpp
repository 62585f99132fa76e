#include "platform/gdi/Region.h"

#include "platform/gdi/GdiTypes.h"

#include <algorithm>
#include <cmath>

namespace fln::gdi {

namespace {

RECT normalized(const RECT& rect)
{
    return RECT { std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
        std::max(rect.left, rect.right), std::max(rect.top, rect.bottom) };
}

bool contains(const std::vector<Span>& spans, int x)
{
    auto it = std::upper_bound(spans.begin(), spans.end(), x, [](int value, const Span& span) { return value < span.right; });
    return it != spans.end() && it->left <= x;
}

// Sorts spans and merges the ones that overlap or touch.
std::vector<Span> normalizedSpans(std::vector<Span> spans)
{
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.left < b.left; });
    std::vector<Span> merged;
    for (const Span& span : spans) {
        if (span.left >= span.right)
            continue;
        if (!merged.empty() && span.left <= merged.back().right)
            merged.back().right = std::max(merged.back().right, span.right);
        else
            merged.push_back(span);
    }
    return merged;
}

std::vector<Span> combineSpans(const std::vector<Span>& a, const std::vector<Span>& b, Region::Op op)
{
    auto keep = [op](bool inA, bool inB) {
        switch (op) {
        case Region::Op::And: return inA && inB;
        case Region::Op::Or: return inA || inB;
        case Region::Op::Xor: return inA != inB;
        case Region::Op::Diff: return inA && !inB;
        }
        return false;
    };
    std::vector<int> edges;
    edges.reserve(2 * (a.size() + b.size()));
    for (const Span& span : a)
        edges.insert(edges.end(), { span.left, span.right });
    for (const Span& span : b)
        edges.insert(edges.end(), { span.left, span.right });
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());

    std::vector<Span> result;
    size_t ia = 0, ib = 0;
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        int x = edges[i];
        while (ia < a.size() && a[ia].right <= x)
            ++ia;
        while (ib < b.size() && b[ib].right <= x)
            ++ib;
        bool inA = ia < a.size() && a[ia].left <= x;
        bool inB = ib < b.size() && b[ib].left <= x;
        if (!keep(inA, inB))
            continue;
        if (!result.empty() && result.back().right == x)
            result.back().right = edges[i + 1];
        else
            result.push_back({ x, edges[i + 1] });
    }
    return result;
}

} // namespace

Region::Region(const RECT& rect)
{
    RECT r = normalized(rect);
    if (r.left < r.right && r.top < r.bottom)
        m_bands.push_back({ r.top, r.bottom, { { r.left, r.right } } });
}

void Region::appendBand(int top, int bottom, std::vector<Span> spans)
{
    if (spans.empty() || top >= bottom)
        return;
    if (!m_bands.empty() && m_bands.back().bottom == top && m_bands.back().spans == spans) {
        m_bands.back().bottom = bottom;
        return;
    }
    m_bands.push_back({ top, bottom, std::move(spans) });
}

Region Region::fromRows(const SpanRows& rows)
{
    Region region;
    for (size_t i = 0; i < rows.rows.size(); ++i) {
        int y = rows.top + static_cast<int>(i);
        region.appendBand(y, y + 1, normalizedSpans(rows.rows[i]));
    }
    return region;
}

Region Region::fromRects(const RECT* rects, size_t count)
{
    // Pairwise unions, so that many rectangles cost n log n rather than n squared.
    std::vector<Region> parts;
    parts.reserve(count);
    for (size_t i = 0; i < count; ++i)
        parts.emplace_back(rects[i]);
    while (parts.size() > 1) {
        std::vector<Region> merged;
        merged.reserve((parts.size() + 1) / 2);
        for (size_t i = 0; i + 1 < parts.size(); i += 2)
            merged.push_back(parts[i] | parts[i + 1]);
        if (parts.size() % 2)
            merged.push_back(std::move(parts.back()));
        parts = std::move(merged);
    }
    return parts.empty() ? Region() : std::move(parts.front());
}

Region Region::ellipse(const RECT& box) { return fromRows(ellipseRows(box)); }

Region Region::roundRect(const RECT& box, int cornerWidth, int cornerHeight)
{
    return fromRows(roundRectRows(box, cornerWidth, cornerHeight));
}

Region Region::polygons(const POINT* points, const int* counts, int polygonCount, int fillMode)
{
    return fromRows(polygonRows(points, counts, polygonCount, fillMode));
}

Region Region::combine(const Region& a, const Region& b, Op op)
{
    std::vector<int> ys;
    ys.reserve(2 * (a.m_bands.size() + b.m_bands.size()));
    for (const Band& band : a.m_bands)
        ys.insert(ys.end(), { band.top, band.bottom });
    for (const Band& band : b.m_bands)
        ys.insert(ys.end(), { band.top, band.bottom });
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

    static const std::vector<Span> none;
    Region result;
    size_t ia = 0, ib = 0;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        int y = ys[i];
        while (ia < a.m_bands.size() && a.m_bands[ia].bottom <= y)
            ++ia;
        while (ib < b.m_bands.size() && b.m_bands[ib].bottom <= y)
            ++ib;
        const auto& spansA = ia < a.m_bands.size() && a.m_bands[ia].top <= y ? a.m_bands[ia].spans : none;
        const auto& spansB = ib < b.m_bands.size() && b.m_bands[ib].top <= y ? b.m_bands[ib].spans : none;
        result.appendBand(y, ys[i + 1], combineSpans(spansA, spansB, op));
    }
    return result;
}

bool operator==(const Region& a, const Region& b)
{
    if (a.m_bands.size() != b.m_bands.size())
        return false;
    for (size_t i = 0; i < a.m_bands.size(); ++i) {
        const Band& x = a.m_bands[i];
        const Band& y = b.m_bands[i];
        if (x.top != y.top || x.bottom != y.bottom || x.spans != y.spans)
            return false;
    }
    return true;
}

int Region::complexity() const
{
    if (m_bands.empty())
        return NULLREGION;
    return m_bands.size() == 1 && m_bands[0].spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT Region::bounds() const
{
    if (m_bands.empty())
        return RECT { 0, 0, 0, 0 };
    RECT box { m_bands.front().spans.front().left, m_bands.front().top, m_bands.front().spans.back().right, m_bands.back().bottom };
    for (const Band& band : m_bands) {
        box.left = std::min(box.left, band.spans.front().left);
        box.right = std::max(box.right, band.spans.back().right);
    }
    return box;
}

const Band* Region::bandAt(int y) const
{
    auto it = std::upper_bound(m_bands.begin(), m_bands.end(), y, [](int value, const Band& band) { return value < band.bottom; });
    return it != m_bands.end() && it->top <= y ? &*it : nullptr;
}

bool Region::contains(int x, int y) const
{
    const Band* band = bandAt(y);
    return band && fln::gdi::contains(band->spans, x);
}

bool Region::intersects(const RECT& rect) const
{
    return !(*this & Region(rect)).isEmpty();
}

void Region::offset(int dx, int dy)
{
    for (Band& band : m_bands) {
        band.top += dy, band.bottom += dy;
        for (Span& span : band.spans)
            span.left += dx, span.right += dx;
    }
}

std::vector<RECT> Region::rects() const
{
    std::vector<RECT> result;
    for (const Band& band : m_bands)
        for (const Span& span : band.spans)
            result.push_back({ span.left, band.top, span.right, band.bottom });
    return result;
}

// ---- scan conversion. Pixels are sampled at their centres (x + 0.5, y + 0.5).

SpanRows ellipseRows(const RECT& box, RowRange range)
{
    RECT r = normalized(box);
    SpanRows out { r.top, {} };
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return out;
    double cx = (r.left + r.right) / 2.0, cy = (r.top + r.bottom) / 2.0;
    double a = width / 2.0, b = height / 2.0;
    int first = std::max(0, range.first - int(r.top)), last = std::min(height, range.last - int(r.top));
    out.top = r.top + first;
    out.rows.resize(std::max(0, last - first));
    for (int i = first; i < last; ++i) {
        double dy = (r.top + i + 0.5 - cy) / b;
        double half = a * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        int left = static_cast<int>(std::ceil(cx - half - 0.5));
        int right = static_cast<int>(std::floor(cx + half - 0.5)) + 1;
        left = std::max(left, static_cast<int>(r.left));
        right = std::min(right, static_cast<int>(r.right));
        if (left < right)
            out.rows[i - first].push_back({ left, right });
    }
    return out;
}

SpanRows roundRectRows(const RECT& box, int cornerWidth, int cornerHeight, RowRange range)
{
    RECT r = normalized(box);
    SpanRows out { r.top, {} };
    int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return out;
    int cw = std::clamp(std::abs(cornerWidth), 0, width), ch = std::clamp(std::abs(cornerHeight), 0, std::min(height, 0x20000));
    int first = std::max(0, range.first - int(r.top)), last = std::min(height, range.last - int(r.top));
    out.top = r.top + first;
    out.rows.resize(std::max(0, last - first));
    SpanRows corner = ellipseRows(RECT { 0, 0, cw, ch });
    for (int i = first; i < last; ++i) {
        int inset = 0;
        int cornerRow = i < ch / 2 ? i : (height - 1 - i < ch / 2 ? ch - height + i : -1);
        if (cornerRow >= 0 && cw > 0 && ch > 0) {
            const auto& spans = corner.rows[cornerRow];
            inset = spans.empty() ? width : spans.front().left;
        }
        if (r.left + inset < r.right - inset)
            out.rows[i - first].push_back({ static_cast<int>(r.left) + inset, static_cast<int>(r.right) - inset });
    }
    return out;
}

SpanRows polygonRows(const POINT* points, const int* counts, int polygonCount, int fillMode, RowRange range)
{
    struct Edge {
        double x0, y0, x1, y1;
        int direction;
    };
    std::vector<Edge> edges;
    int minY = 0, maxY = 0;
    bool any = false;
    const POINT* polygon = points;
    for (int p = 0; p < polygonCount; ++p) {
        int n = counts[p];
        for (int i = 0; i < n; ++i) {
            POINT a = polygon[i], b = polygon[(i + 1) % n];
            minY = any ? std::min<int>(minY, std::min(a.y, b.y)) : std::min(a.y, b.y);
            maxY = any ? std::max<int>(maxY, std::max(a.y, b.y)) : std::max(a.y, b.y);
            any = true;
            if (a.y == b.y)
                continue;
            if (a.y < b.y)
                edges.push_back({ double(a.x), double(a.y), double(b.x), double(b.y), 1 });
            else
                edges.push_back({ double(b.x), double(b.y), double(a.x), double(a.y), -1 });
        }
        polygon += n;
    }
    minY = std::max(minY, range.first), maxY = std::min(maxY, range.last);
    SpanRows out { minY, {} };
    if (!any || minY >= maxY)
        return out;
    out.rows.resize(maxY - minY);
    std::vector<std::pair<double, int>> crossings;
    for (int y = minY; y < maxY; ++y) {
        double yc = y + 0.5;
        crossings.clear();
        for (const Edge& e : edges)
            if (yc >= e.y0 && yc < e.y1)
                crossings.push_back({ e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.direction });
        std::sort(crossings.begin(), crossings.end());
        auto& row = out.rows[y - minY];
        int winding = 0;
        for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].second;
            bool inside = fillMode == WINDING ? winding != 0 : (i % 2 == 0);
            if (!inside)
                continue;
            int left = static_cast<int>(std::ceil(crossings[i].first - 0.5));
            int right = static_cast<int>(std::ceil(crossings[i + 1].first - 0.5));
            if (left < right)
                row.push_back({ left, right });
        }
    }
    return out;
}

} // namespace fln::gdi
