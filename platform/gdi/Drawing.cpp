// Lines, shapes, pixels and fills, drawn pixel by pixel as the classic system draws them: a line
// leaves out its last point, a shape's outline lies inside its box, fills are aliased.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Stock.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/SysColors.h"

#include <cmath>

using namespace fln::gdi;

namespace {

// The dash patterns of cosmetic pens, in pixels: on, off, on, off...
const std::vector<int>& dashPattern(int style)
{
    static const std::vector<int> solid {}, dash { 18, 6 }, dot { 3, 3 }, dashDot { 9, 6, 3, 6 },
        dashDotDot { 9, 3, 3, 3, 3, 3 }, alternate { 1, 1 };
    switch (style) {
    case PS_DASH: return dash;
    case PS_DOT: return dot;
    case PS_DASHDOT: return dashDot;
    case PS_DASHDOTDOT: return dashDotDot;
    case PS_ALTERNATE: return alternate;
    default: return solid;
    }
}

// How the current pen draws: its ink, its width in device pixels and its dashes.
struct PenDrawing {
    Ink ink;
    Ink gapInk; // gaps of a dashed pen in an opaque background mode
    bool null = true;
    int width = 1;
    const std::vector<int>* dashes = nullptr;
    bool insideFrame = false;
    int styleCounter = 0;

    PenDrawing(DeviceContext& dc, const Canvas& canvas)
    {
        const PenObject* pen = dc.currentPen();
        if (!pen || pen->lineStyle() == PS_NULL)
            return;
        null = false;
        COLORREF color = pen == stockObject(DC_PEN).get() ? dc.state.dcPenColor : pen->color;
        ink = Ink::solid(canvas.realize(color), dc.state.rop2);
        bool geometric = (pen->style & PS_TYPE_MASK) == PS_GEOMETRIC || !pen->extended;
        width = geometric ? std::max(1, dc.widthToDevice(pen->width)) : 1;
        insideFrame = pen->lineStyle() == PS_INSIDEFRAME;
        if (width == 1 && !dashPattern(pen->lineStyle()).empty()) {
            dashes = &dashPattern(pen->lineStyle());
            gapInk = Ink::solid(canvas.realize(dc.state.bkColor), dc.state.rop2);
            gapInk.empty = dc.state.bkMode == TRANSPARENT;
        }
    }

    const Ink& inkForNextPixel()
    {
        if (!dashes)
            return ink;
        int total = 0;
        for (int d : *dashes)
            total += d;
        int position = styleCounter++ % total;
        for (size_t i = 0; i < dashes->size(); ++i) {
            if (position < (*dashes)[i])
                return i % 2 == 0 ? ink : gapInk;
            position -= (*dashes)[i];
        }
        return ink;
    }
};

// One-pixel line from a to b, b itself left out.
void cosmeticLine(Canvas& canvas, POINT a, POINT b, PenDrawing& pen)
{
    int dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
    int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    if (dy == 0 && !pen.dashes) { // the common horizontal case as one span
        int left = sx > 0 ? a.x : b.x + 1, right = sx > 0 ? b.x : a.x + 1;
        canvas.fillSpan(a.y, left, right, pen.ink);
        return;
    }
    int x = a.x, y = a.y;
    if (dx >= dy && !pen.dashes) {
        // Solid: the pixels of each row as one span.
        int error = 2 * dy - dx, runStart = x;
        for (int i = 0; i < dx; ++i) {
            bool stepY = error > 0; // a tie keeps the minor coordinate
            if (stepY || i == dx - 1) {
                canvas.fillSpan(y, std::min(runStart, x), std::max(runStart, x) + 1, pen.ink);
                runStart = x + sx;
            }
            if (stepY) {
                y += sy;
                error -= 2 * dx;
            }
            error += 2 * dy;
            x += sx;
        }
    } else if (dx >= dy) {
        int error = 2 * dy - dx;
        for (int i = 0; i < dx; ++i) {
            canvas.plot(x, y, pen.inkForNextPixel());
            if (error > 0) {
                y += sy;
                error -= 2 * dx;
            }
            error += 2 * dy;
            x += sx;
        }
    } else {
        int error = 2 * dx - dy;
        for (int i = 0; i < dy; ++i) {
            canvas.plot(x, y, pen.inkForNextPixel());
            if (error > 0) {
                x += sx;
                error -= 2 * dy;
            }
            error += 2 * dx;
            y += sy;
        }
    }
}

Region disc(POINT centre, int diameter)
{
    int left = centre.x - diameter / 2, top = centre.y - diameter / 2;
    return Region::ellipse(RECT { left, top, left + diameter, top + diameter });
}

// A wide line as the pixels within width / 2 of the segment, with round ends.
Region wideLine(POINT a, POINT b, int width)
{
    Region area = disc(a, width) | disc(b, width);
    double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
    if (length == 0)
        return area;
    double nx = -dy / length * width / 2.0, ny = dx / length * width / 2.0;
    // Integer corners, scaled by 16 for precision and scaled back by the span conversion below.
    constexpr int Scale = 16;
    POINT quad[4] = {
        { LONG(std::lround((a.x + nx) * Scale)), LONG(std::lround((a.y + ny) * Scale)) },
        { LONG(std::lround((b.x + nx) * Scale)), LONG(std::lround((b.y + ny) * Scale)) },
        { LONG(std::lround((b.x - nx) * Scale)), LONG(std::lround((b.y - ny) * Scale)) },
        { LONG(std::lround((a.x - nx) * Scale)), LONG(std::lround((a.y - ny) * Scale)) },
    };
    // Rasterise at the pixel grid: rows every Scale units, sampled at centres.
    int minY = std::min({ quad[0].y, quad[1].y, quad[2].y, quad[3].y });
    int maxY = std::max({ quad[0].y, quad[1].y, quad[2].y, quad[3].y });
    SpanRows rows { int(std::floor(double(minY) / Scale)), {} };
    for (int y = rows.top; y * Scale <= maxY; ++y) {
        double yc = double(y) * Scale; // pixel centres, as the corners are not offset by half a pixel
        std::vector<double> xs;
        for (int i = 0; i < 4; ++i) {
            POINT p = quad[i], q = quad[(i + 1) % 4];
            if (p.y == q.y || yc < std::min(p.y, q.y) || yc >= std::max(p.y, q.y))
                continue;
            xs.push_back(p.x + (yc - p.y) * (q.x - p.x) / (q.y - p.y));
        }
        std::vector<Span> spans;
        if (xs.size() >= 2) {
            auto [lo, hi] = std::minmax_element(xs.begin(), xs.end());
            int left = int(std::ceil(*lo / Scale)), right = int(std::ceil(*hi / Scale));
            if (left < right)
                spans.push_back({ left, right });
        }
        rows.rows.push_back(std::move(spans));
    }
    return area | Region::fromRows(rows);
}

// Cuts a segment with far-away ends down to the part near the box (Liang-Barsky), so that a line
// across absurd coordinates costs no more than one across the surface. False when none is left.
bool clipFarSegment(POINT& a, POINT& b, const RECT& box)
{
    constexpr LONG Near = 0x8000;
    if (std::max({ std::abs(a.x), std::abs(a.y), std::abs(b.x), std::abs(b.y) }) <= Near)
        return true;
    double x0 = a.x, y0 = a.y, dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    double t0 = 0, t1 = 1;
    auto edge = [&](double p, double q) {
        if (p == 0)
            return q >= 0;
        double t = q / p;
        if (p < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        return t0 <= t1;
    };
    if (!edge(-dx, x0 - box.left) || !edge(dx, box.right - x0) || !edge(-dy, y0 - box.top) || !edge(dy, box.bottom - y0))
        return false;
    a = POINT { LONG(std::lround(x0 + t0 * dx)), LONG(std::lround(y0 + t0 * dy)) };
    b = POINT { LONG(std::lround(x0 + t1 * dx)), LONG(std::lround(y0 + t1 * dy)) };
    return true;
}

enum class Units { Logical, Device };

void drawPolyline(DeviceContext& dc, const POINT* points, int count, bool close, Units units = Units::Logical)
{
    if (count < 2)
        return;
    Canvas canvas(dc);
    PenDrawing pen(dc, canvas);
    if (pen.null || !canvas.valid())
        return;
    std::vector<POINT> device(points, points + count);
    if (units == Units::Logical)
        for (POINT& p : device)
            p = dc.toDevice(p);
    if (close)
        device.push_back(device.front());
    RECT near = canvas.clip().bounds();
    InflateRect(&near, pen.width + 2, pen.width + 2);
    Region area;
    for (size_t i = 0; i + 1 < device.size(); ++i) {
        POINT a = device[i], b = device[i + 1];
        if (!clipFarSegment(a, b, near))
            continue;
        if (pen.width > 1)
            area = area | wideLine(a, b, pen.width);
        else
            cosmeticLine(canvas, a, b, pen);
    }
    if (pen.width > 1)
        canvas.fillRegion(area, pen.ink);
}

// The one-pixel outline of a convex shape given as rows: each row's ends, widened to reach the
// next row towards the nearer edge, so that the outline is connected and one pixel thin.
Region outlineOf(const SpanRows& rows)
{
    SpanRows outline { rows.top, std::vector<std::vector<Span>>(rows.rows.size()) };
    int n = static_cast<int>(rows.rows.size());
    for (int i = 0; i < n; ++i) {
        if (rows.rows[i].empty())
            continue;
        Span s = rows.rows[i].front();
        int neighbour = i < n - 1 - i ? i - 1 : i + 1;
        if (neighbour < 0 || neighbour >= n || rows.rows[neighbour].empty()) {
            outline.rows[i].push_back(s);
            continue;
        }
        Span next = rows.rows[neighbour].front();
        outline.rows[i].push_back({ s.left, std::max(s.left + 1, std::min(next.left, s.right)) });
        outline.rows[i].push_back({ std::min(s.right - 1, std::max(next.right, s.left)), s.right });
    }
    return Region::fromRows(outline);
}

// The rows a shape drawing needs: those of the clip, and two more on each side so that an
// outline is not closed off at the clip's edge.
RowRange rowsNear(const Canvas& canvas, int margin)
{
    RECT box = canvas.clip().bounds();
    return RowRange { int(box.top) - margin - 2, int(box.bottom) + margin + 2 };
}

template<typename MakeRows>
void drawShape(DeviceContext& dc, RECT box, MakeRows makeRowsIn)
{
    Canvas canvas(dc);
    if (!canvas.valid())
        return;
    PenDrawing pen(dc, canvas);
    RowRange range = rowsNear(canvas, pen.width);
    auto makeRows = [&](const RECT& r) { return makeRowsIn(r, range); };
    Ink brush = dc.brushInk(canvas.monochrome());
    if (pen.null) {
        // Without a pen the filled shape is one pixel smaller to the right and bottom.
        canvas.fillRows(makeRows(RECT { box.left, box.top, box.right - 1, box.bottom - 1 }), brush);
        return;
    }
    RECT outer = box;
    if (pen.width > 1 && !pen.insideFrame)
        outer = RECT { box.left - pen.width / 2, box.top - pen.width / 2, box.right + (pen.width - 1) / 2, box.bottom + (pen.width - 1) / 2 };
    SpanRows outerRows = makeRows(outer);
    Region shape = Region::fromRows(outerRows);
    Region ring;
    if (pen.width == 1) {
        ring = outlineOf(outerRows);
    } else {
        RECT inner { outer.left + pen.width, outer.top + pen.width, outer.right - pen.width, outer.bottom - pen.width };
        ring = shape - (inner.left < inner.right && inner.top < inner.bottom ? Region::fromRows(makeRows(inner)) : Region());
    }
    canvas.fillRegion(shape - ring, brush);
    canvas.fillRegion(ring, pen.ink);
}

Region regionInDevice(DeviceContext& dc, HRGN handle)
{
    const Region* region = regionOf(handle);
    if (!region)
        return Region();
    Region copy = *region;
    POINT origin = dc.toDevice(POINT { 0, 0 });
    copy.offset(origin.x, origin.y);
    return copy;
}

// A brush handle, or a system colour index plus one in its place.
const BrushObject* brushOf(HBRUSH handle)
{
    auto value = reinterpret_cast<uintptr_t>(handle);
    if (value > 0 && value <= COLOR_MENUBAR + 1)
        handle = GetSysColorBrush(static_cast<int>(value - 1));
    auto object = ObjectTable::find<BrushObject>(handle, ObjectKind::Brush);
    return object.get(); // kept alive by the table for the duration of the call
}

} // namespace

BOOL MoveToEx(HDC handle, int x, int y, LPPOINT previous)
{
    FLN_DC_OR(FALSE);
    if (previous)
        *previous = dc->state.position;
    dc->state.position = POINT { x, y };
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC handle, LPPOINT position)
{
    FLN_DC_OR(FALSE);
    if (!position)
        return FALSE;
    *position = dc->state.position;
    return TRUE;
}

BOOL LineTo(HDC handle, int x, int y)
{
    FLN_DC_OR(FALSE);
    POINT points[2] = { dc->state.position, POINT { x, y } };
    drawPolyline(*dc, points, 2, false);
    dc->state.position = points[1];
    return TRUE;
}

BOOL Polyline(HDC handle, const POINT* points, int count)
{
    FLN_DC_OR(FALSE);
    if (!points || count < 2)
        return FALSE;
    drawPolyline(*dc, points, count, false);
    return TRUE;
}

BOOL PolylineTo(HDC handle, const POINT* points, DWORD count)
{
    FLN_DC_OR(FALSE);
    if (!points || count == 0)
        return FALSE;
    std::vector<POINT> all { dc->state.position };
    all.insert(all.end(), points, points + count);
    drawPolyline(*dc, all.data(), static_cast<int>(all.size()), false);
    dc->state.position = all.back();
    return TRUE;
}

BOOL PolyPolyline(HDC handle, const POINT* points, const DWORD* counts, DWORD polylineCount)
{
    FLN_DC_OR(FALSE);
    if (!points || !counts)
        return FALSE;
    for (DWORD i = 0; i < polylineCount; points += counts[i], ++i)
        drawPolyline(*dc, points, static_cast<int>(counts[i]), false);
    return TRUE;
}

BOOL PolyPolygon(HDC handle, const POINT* points, const INT* counts, int polygonCount)
{
    FLN_DC_OR(FALSE);
    if (!points || !counts || polygonCount <= 0)
        return FALSE;
    int total = 0;
    for (int i = 0; i < polygonCount; ++i) {
        if (counts[i] < 2)
            return FALSE;
        total += counts[i];
    }
    std::vector<POINT> device(points, points + total);
    for (POINT& p : device)
        p = dc->toDevice(p);
    {
        Canvas canvas(*dc);
        canvas.fillRows(polygonRows(device.data(), counts, polygonCount, dc->state.polyFillMode, rowsNear(canvas, 0)),
            dc->brushInk(canvas.monochrome()));
    }
    for (int i = 0; i < polygonCount; points += counts[i], ++i)
        drawPolyline(*dc, points, counts[i], true);
    return TRUE;
}

BOOL Polygon(HDC handle, const POINT* points, int count) { return PolyPolygon(handle, points, &count, 1); }

BOOL Rectangle(HDC handle, int left, int top, int right, int bottom)
{
    FLN_DC_OR(FALSE);
    const PenObject* penObject = dc->currentPen();
    bool styled = penObject && penObject->lineStyle() != PS_SOLID && penObject->lineStyle() != PS_INSIDEFRAME
        && penObject->lineStyle() != PS_NULL && dc->widthToDevice(penObject->width) <= 1;
    RECT box = dc->toDevice(RECT { left, top, right, bottom });
    auto rectRows = [](const RECT& r, RowRange range) {
        SpanRows rows { std::max<int>(r.top, range.first), {} };
        for (int y = rows.top; y < std::min<int>(r.bottom, range.last); ++y)
            rows.rows.push_back(r.left < r.right ? std::vector<Span> { { r.left, r.right } } : std::vector<Span> {});
        return rows;
    };
    if (!styled) {
        drawShape(*dc, box, rectRows);
        return TRUE;
    }
    // Dashed outlines follow the border as one closed line.
    {
        Canvas canvas(*dc);
        canvas.fillRect(RECT { box.left + 1, box.top + 1, box.right - 1, box.bottom - 1 }, dc->brushInk(canvas.monochrome()));
    }
    POINT device[5] = { { box.left, box.top }, { box.right - 1, box.top }, { box.right - 1, box.bottom - 1 },
        { box.left, box.bottom - 1 }, { box.left, box.top } };
    drawPolyline(*dc, device, 5, false, Units::Device);
    return TRUE;
}

BOOL Ellipse(HDC handle, int left, int top, int right, int bottom)
{
    FLN_DC_OR(FALSE);
    drawShape(*dc, dc->toDevice(RECT { left, top, right, bottom }), [](const RECT& r, RowRange range) { return ellipseRows(r, range); });
    return TRUE;
}

BOOL RoundRect(HDC handle, int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
{
    FLN_DC_OR(FALSE);
    int cw = dc->widthToDevice(cornerWidth), ch = std::abs(dc->heightToDevice(cornerHeight));
    drawShape(*dc, dc->toDevice(RECT { left, top, right, bottom }), [cw, ch](const RECT& r, RowRange range) { return roundRectRows(r, cw, ch, range); });
    return TRUE;
}

COLORREF SetPixel(HDC handle, int x, int y, COLORREF color)
{
    FLN_DC_OR(CLR_INVALID);
    POINT p = dc->toDevice(POINT { x, y });
    Canvas canvas(*dc);
    if (!canvas.valid() || !canvas.visible(p.x, p.y))
        return CLR_INVALID;
    uint32_t pixel = canvas.realize(color);
    canvas.plot(p.x, p.y, Ink::solid(pixel));
    return toColorRef(pixel);
}

BOOL SetPixelV(HDC handle, int x, int y, COLORREF color) { return SetPixel(handle, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC handle, int x, int y)
{
    FLN_DC_OR(CLR_INVALID);
    POINT p = dc->toDevice(POINT { x, y });
    Canvas canvas(*dc, Canvas::Access::Read);
    if (!canvas.valid() || !canvas.visible(p.x, p.y))
        return CLR_INVALID;
    return toColorRef(canvas.pixel(p.x, p.y) & 0xFFFFFF);
}

int FillRect(HDC handle, const RECT* rect, HBRUSH brushHandle)
{
    FLN_DC_OR(0);
    const BrushObject* brush = brushOf(brushHandle);
    if (!rect || !brush)
        return 0;
    Canvas canvas(*dc);
    Ink ink = dc->brushInk(brush, canvas.monochrome());
    ink.rop2 = R2_COPYPEN;
    canvas.fillRect(dc->toDevice(*rect), ink);
    return 1;
}

int FrameRect(HDC handle, const RECT* rect, HBRUSH brushHandle)
{
    FLN_DC_OR(0);
    const BrushObject* brush = brushOf(brushHandle);
    if (!rect || !brush)
        return 0;
    RECT r = dc->toDevice(*rect);
    if (r.right <= r.left || r.bottom <= r.top)
        return 1;
    Canvas canvas(*dc);
    Ink ink = dc->brushInk(brush, canvas.monochrome());
    ink.rop2 = R2_COPYPEN;
    canvas.fillRegion(Region(r) - Region(RECT { r.left + 1, r.top + 1, r.right - 1, r.bottom - 1 }), ink);
    return 1;
}

BOOL InvertRect(HDC handle, const RECT* rect)
{
    FLN_DC_OR(FALSE);
    if (!rect)
        return FALSE;
    Canvas canvas(*dc);
    canvas.fillRect(dc->toDevice(*rect), Ink::solid(0, R2_NOT));
    return TRUE;
}

BOOL FillRgn(HDC handle, HRGN region, HBRUSH brushHandle)
{
    FLN_DC_OR(FALSE);
    const BrushObject* brush = brushOf(brushHandle);
    if (!regionOf(region) || !brush)
        return FALSE;
    Canvas canvas(*dc);
    Ink ink = dc->brushInk(brush, canvas.monochrome());
    ink.rop2 = R2_COPYPEN;
    canvas.fillRegion(regionInDevice(*dc, region), ink);
    return TRUE;
}

BOOL PaintRgn(HDC handle, HRGN region)
{
    FLN_DC_OR(FALSE);
    if (!regionOf(region))
        return FALSE;
    Canvas canvas(*dc);
    canvas.fillRegion(regionInDevice(*dc, region), dc->brushInk(canvas.monochrome()));
    return TRUE;
}

BOOL FrameRgn(HDC handle, HRGN region, HBRUSH brushHandle, int width, int height)
{
    FLN_DC_OR(FALSE);
    const BrushObject* brush = brushOf(brushHandle);
    if (!regionOf(region) || !brush || width <= 0 || height <= 0)
        return FALSE;
    Region shape = regionInDevice(*dc, region);
    // The frame is what erosion by (width, height) takes away.
    Region inner = shape;
    for (auto [dx, dy] : { std::pair { width, 0 }, { -width, 0 }, { 0, height }, { 0, -height } }) {
        Region moved = shape;
        moved.offset(dx, dy);
        inner = inner & moved;
    }
    Canvas canvas(*dc);
    Ink ink = dc->brushInk(brush, canvas.monochrome());
    ink.rop2 = R2_COPYPEN;
    canvas.fillRegion(shape - inner, ink);
    return TRUE;
}

BOOL InvertRgn(HDC handle, HRGN region)
{
    FLN_DC_OR(FALSE);
    if (!regionOf(region))
        return FALSE;
    Canvas canvas(*dc);
    canvas.fillRegion(regionInDevice(*dc, region), Ink::solid(0, R2_NOT));
    return TRUE;
}
