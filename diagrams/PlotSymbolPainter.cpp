#include "diagrams/PlotSymbolPainter.h"

#include "engine/MathHelper.h"
#include "platform/mfc/Dc.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

int Round(double value) { return CMathHelper::RoundToInt(value); }

// The corners of a polygon moved `by` pixels away from its centre (inward for a negative `by`).
std::vector<POINT> Offset(const POINT* corners, int count, int cx, int cy, int by)
{
    std::vector<POINT> moved(corners, corners + count);
    for (POINT& p : moved) {
        p.x += by * CMathHelper::SignOf(p.x - cx);
        p.y += by * CMathHelper::SignOf(p.y - cy);
    }
    return moved;
}

POINT Centre(const POINT* corners, int count)
{
    long sx = 0, sy = 0;
    for (int i = 0; i < count; ++i) {
        sx += corners[i].x;
        sy += corners[i].y;
    }
    return { static_cast<LONG>(sx / count), static_cast<LONG>(sy / count) };
}

} // namespace

PlotSymbolPainter::PlotSymbolPainter()
{
    m_cornersX.SetSize(MaxCorners);
    m_cornersY.SetSize(MaxCorners);
}

void PlotSymbolPainter::DrawSymbol(CDC* dc, float x, float y, int kind, int size, COLORREF colour, int lineWidth,
                                   bool filled, bool whiteFill, bool thicknessFollowsScale, float scaleX, float scaleY)
{
    SetStyle(dc, kind, size, colour, lineWidth, filled, whiteFill, thicknessFollowsScale, scaleX, scaleY);
    DrawShape(dc, kind, x, y);
    RestoreStyle(dc);
}

void PlotSymbolPainter::SetStyle(CDC* dc, int kind, int size, COLORREF colour, int lineWidth, bool filled,
                                 bool whiteFill, bool thicknessFollowsScale, float scaleX, float scaleY)
{
    m_size = std::clamp(size, MinSize, MaxSize);
    m_lineWidth = std::clamp(std::min(lineWidth, Round(m_size * 0.25)), 1, MaxLineWidth);
    m_thickness = std::max(1, thicknessFollowsScale ? Round(scaleX * m_lineWidth) : m_lineWidth);
    m_colour = colour;
    m_filled = filled;
    m_whiteFill = whiteFill;
    m_scaleX = scaleX;
    m_scaleY = scaleY;

    m_pen.DeleteObject();
    m_brush.DeleteObject();
    if (whiteFill || IsAlwaysWhiteInside(kind)) {
        m_pen.CreatePen(PS_SOLID, 1, colour);
        m_brush.CreateSolidBrush(White);
    } else if (filled && kind != SymbolDiagonalCross && kind != SymbolUprightCross && kind != SymbolDiamond) {
        m_pen.CreatePen(PS_SOLID, 1, Black);
        m_brush.CreateSolidBrush(colour);
    } else {
        m_pen.CreatePen(PS_SOLID, 1, colour);
        m_brush.CreateSolidBrush(colour);
    }
    m_previousPen = dc->SelectObject(&m_pen);
    m_previousBrush = dc->SelectObject(&m_brush);
}

void PlotSymbolPainter::RestoreStyle(CDC* dc)
{
    if (m_previousPen)
        dc->SelectObject(m_previousPen);
    if (m_previousBrush)
        dc->SelectObject(m_previousBrush);
    m_previousPen = nullptr;
    m_previousBrush = nullptr;
    m_pen.DeleteObject();
    m_brush.DeleteObject();
}

void PlotSymbolPainter::DrawShape(CDC* dc, int kind, float x, float y)
{
    const int cx = Round(x), cy = Round(y);
    const int hx = Round(m_scaleX * m_size * 0.5), hy = Round(m_scaleY * m_size * 0.5);
    switch (kind) {
    case SymbolDiagonalCross:
    case SymbolUprightCross:
        Cross(dc, kind, cx, cy, hx, hy);
        break;
    case SymbolSquare:
        Square(dc, cx, cy, hx, hy);
        break;
    case SymbolDiamond: {
        const POINT diamond[] = { { cx - hx, cy }, { cx, cy - hy }, { cx + hx, cy }, { cx, cy + hy } };
        Polygon(dc, diamond, 4, m_filled);
        break;
    }
    case SymbolTriangleDown:
    case SymbolTriangleUp:
    case SymbolTriangleLeft:
    case SymbolTriangleRight:
    case SymbolRightTriangle: {
        const POINT triangles[5][3] = {
            { { cx, cy + hy }, { cx - hx, cy - hy }, { cx + hx, cy - hy } },
            { { cx - hx, cy + hy }, { cx, cy - hy }, { cx + hx, cy + hy } },
            { { cx - hx, cy }, { cx + hx, cy - hy }, { cx + hx, cy + hy } },
            { { cx - hx, cy + hy }, { cx - hx, cy - hy }, { cx + hx, cy } },
            { { cx - hx, cy + hy }, { cx - hx, cy - hy }, { cx + hx, cy + hy } },
        };
        Polygon(dc, triangles[kind - SymbolTriangleDown], 3, m_filled);
        break;
    }
    case SymbolDot:
        dc->SetPixel(cx, cy, m_colour);
        if (m_lineWidth > 1) {
            for (int d : { -2, -1, 1, 2 }) {
                dc->SetPixel(cx + d, cy + d, m_colour);
                dc->SetPixel(cx + d, cy - d, m_colour);
            }
        }
        break;
    case SymbolCircle:
        Circle(dc, cx, cy, hx);
        break;
    case SymbolRingedCircle:
        RingedCircle(dc, cx, cy, hx);
        break;
    case SymbolCorneredSquare:
        CorneredSquare(dc, cx, cy, hx, hy);
        break;
    case SymbolFourPointedStar:
        Star(dc, cx, cy, hx, hy, 4);
        break;
    case SymbolFivePointedStar:
        Star(dc, cx, cy, hx, hy, 5);
        break;
    case SymbolPentagon:
        Pentagon(dc, cx, cy, hx);
        break;
    case SymbolSquareUpperHalf:
    case SymbolSquareLowerHalf:
    case SymbolSquareLeftHalf:
    case SymbolSquareRightHalf:
        HatchedSquare(dc, kind, cx, cy, hx, hy);
        break;
    case SymbolDiamondUpperHalf:
    case SymbolDiamondLowerHalf:
    case SymbolDiamondLeftHalf:
    case SymbolDiamondRightHalf:
        HalfDiamond(dc, kind, cx, cy, hx, hy);
        break;
    case SymbolCheckerUpperLeft:
    case SymbolCheckerUpperRight:
    case SymbolBowTie:
    case SymbolHourglass:
        MarkedSquare(dc, kind, cx, cy, hx, hy);
        break;
    default:
        break; // PlotSymbolKindCount and above: nothing
    }
}

// ---- shapes

void PlotSymbolPainter::Cross(CDC* dc, int kind, int cx, int cy, int hx, int hy)
{
    // A thick cross is the thin one again, one pixel further sideways per step.
    for (int d = 0; d <= CMathHelper::LastIndex(m_thickness); ++d) {
        if (kind == SymbolDiagonalCross) {
            Line(dc, cx - hx + d, cy + hy, cx + hx + d, cy - hy);
            Line(dc, cx - hx + d, cy - hy, cx + hx + d, cy + hy);
        } else {
            Line(dc, cx - hx, cy + d, cx + hx + 1, cy + d);
            Line(dc, cx + d, cy - hy, cx + d, cy + hy + 1);
        }
    }
}

void PlotSymbolPainter::Square(CDC* dc, int cx, int cy, int hx, int hy)
{
    if (m_filled) {
        FilledRect(dc, cx - hx, cy - hy, cx + hx, cy + hy);
        return;
    }
    const POINT corners[] = { { cx - hx, cy - hy }, { cx + hx, cy - hy }, { cx + hx, cy + hy }, { cx - hx, cy + hy } };
    OutlinedPolygon(dc, corners, 4);
}

void PlotSymbolPainter::Circle(CDC* dc, int cx, int cy, int radius)
{
    if (m_filled) {
        FilledCircle(dc, cx, cy, radius);
        return;
    }
    HollowCircle(dc, cx, cy, radius);
    for (int k = 1; k <= CMathHelper::LastIndex(m_thickness); ++k) {
        HollowCircle(dc, cx, cy, radius - k);
        HollowCircle(dc, cx, cy, radius + k);
    }
    if (m_whiteFill && radius - m_thickness > 0) {
        CPen whitePen(PS_SOLID, 1, White);
        CPen* previous = dc->SelectObject(&whitePen);
        FilledCircle(dc, cx, cy, radius - m_thickness);
        dc->SelectObject(previous);
    }
}

void PlotSymbolPainter::RingedCircle(CDC* dc, int cx, int cy, int hx)
{
    // Outlined, white to hx - 1, then the arcs facing left that larger sizes add.
    HollowCircle(dc, cx, cy, hx);
    FilledCircle(dc, cx, cy, hx - 1);
    HollowCircle(dc, cx, cy, hx);
    struct Arc {
        int fromSize, inset;
        double start, end;
    };
    for (Arc arc : { Arc { 7, 3, 75, 285 }, { 13, 5, 90, 270 }, { 17, 8, 110, 250 }, { 25, 12, 120, 240 } }) {
        if (m_size >= arc.fromSize)
            ArcDeg(dc, cx, cy, hx - Round(arc.inset * m_scaleX), arc.start, arc.end);
    }
}

void PlotSymbolPainter::CorneredSquare(CDC* dc, int cx, int cy, int hx, int hy)
{
    const int left = cx - hx, bottom = cy + hy;
    FilledRect(dc, cx - hx, cy - hy, cx + hx, cy + hy);
    for (auto [fromSize, inset] : { std::pair { 7, 3 }, { 13, 5 }, { 17, 8 }, { 25, 12 } }) {
        if (m_size < fromSize)
            continue;
        const int x = left + Round(inset * m_scaleX), y = bottom - Round(inset * m_scaleY);
        Line(dc, x, cy - hy, x, y);
        Line(dc, x, y, cx + hx + 1, y);
    }
}

void PlotSymbolPainter::Star(CDC* dc, int cx, int cy, int hx, int hy, int points)
{
    if (points == 4) {
        const POINT star[] = { { cx - hx, cy }, { cx - hx / 3, cy - hy / 3 }, { cx, cy - hy }, { cx + hx / 3, cy - hy / 3 },
                               { cx + hx, cy }, { cx + hx / 3, cy + hy / 3 }, { cx, cy + hy }, { cx - hx / 3, cy + hy / 3 } };
        Polygon(dc, star, 8, m_filled);
        return;
    }
    // The pentagon's corners in star order; WINDING fills the inner pentagon too.
    const int r = hx;
    auto corners = [&](int radius) {
        return std::vector<POINT> {
            { cx, cy - radius },
            { cx + Round(0.587785 * radius), cy + Round(0.809017 * radius) },
            { cx - Round(0.951057 * radius), cy - Round(0.309017 * radius) },
            { cx + Round(0.951057 * radius), cy - Round(0.309017 * radius) },
            { cx - Round(0.587785 * radius), cy + Round(0.809017 * radius) },
        };
    };
    if (m_filled) {
        const int previousMode = dc->SetPolyFillMode(WINDING);
        const std::vector<POINT> star = corners(r);
        Polygon(dc, star.data(), 5, true);
        dc->SetPolyFillMode(previousMode);
        return;
    }
    for (int k = 0; k <= CMathHelper::LastIndex(m_thickness); ++k) {
        const std::vector<POINT> star = corners(r + k);
        for (int i = 0; i < 5; ++i)
            SetCorner(i, star[i].x, star[i].y);
        SetCorner(5, star[0].x, star[0].y);
        PolylineOf(dc, 6);
    }
}

void PlotSymbolPainter::Pentagon(CDC* dc, int cx, int cy, int r)
{
    const POINT pentagon[] = { { cx, cy - r },
                               { cx + Round(0.951057 * r), cy - Round(0.309017 * r) },
                               { cx + Round(0.587785 * r), cy + Round(0.809017 * r) },
                               { cx - Round(0.587785 * r), cy + Round(0.809017 * r) },
                               { cx - Round(0.951057 * r), cy - Round(0.309017 * r) } };
    Polygon(dc, pentagon, 5, m_filled);
}

void PlotSymbolPainter::HatchedSquare(CDC* dc, int kind, int cx, int cy, int hx, int hy)
{
    Square(dc, cx, cy, hx, hy);
    CPen pen(PS_SOLID, 1, m_colour);
    CPen* previous = dc->SelectObject(&pen);
    switch (kind) {
    case SymbolSquareUpperHalf:
        for (int y = cy - hy; y <= cy; ++y)
            Line(dc, cx - hx, y, cx + hx + 1, y);
        break;
    case SymbolSquareLowerHalf:
        for (int y = cy; y <= cy + hy; ++y)
            Line(dc, cx - hx, y, cx + hx + 1, y);
        break;
    case SymbolSquareLeftHalf:
        for (int x = cx - hx; x <= cx; ++x)
            Line(dc, x, cy - hy, x, cy + hy + 1);
        break;
    default: // the right half
        for (int x = cx; x <= cx + hx; ++x)
            Line(dc, x, cy - hy, x, cy + hy + 1);
        break;
    }
    dc->SelectObject(previous);
}

void PlotSymbolPainter::HalfDiamond(CDC* dc, int kind, int cx, int cy, int hx, int hy)
{
    const POINT diamond[] = { { cx - hx, cy }, { cx, cy - hy }, { cx + hx, cy }, { cx, cy + hy } };
    Polygon(dc, diamond, 4, m_filled);
    const POINT halves[4][3] = {
        { { cx - hx, cy }, { cx, cy - hy }, { cx + hx, cy } },
        { { cx - hx, cy }, { cx, cy + hy }, { cx + hx, cy } },
        { { cx - hx, cy }, { cx, cy - hy }, { cx, cy + hy } },
        { { cx + hx, cy }, { cx, cy - hy }, { cx, cy + hy } },
    };
    FillIn(dc, halves[kind - SymbolDiamondUpperHalf], 3, m_colour);
}

void PlotSymbolPainter::MarkedSquare(CDC* dc, int kind, int cx, int cy, int hx, int hy)
{
    FilledRect(dc, cx - hx, cy - hy, cx + hx, cy + hy);
    const COLORREF mark = m_whiteFill ? m_colour : Black;
    const int l = cx - hx, t = cy - hy, r = cx + hx, b = cy + hy;
    switch (kind) {
    case SymbolCheckerUpperLeft: {
        const POINT upperLeft[] = { { l, t }, { cx, t }, { cx, cy }, { l, cy } };
        const POINT lowerRight[] = { { cx, cy }, { r, cy }, { r, b }, { cx, b } };
        FillIn(dc, upperLeft, 4, mark);
        FillIn(dc, lowerRight, 4, mark);
        break;
    }
    case SymbolCheckerUpperRight: {
        const POINT upperRight[] = { { cx, t }, { r, t }, { r, cy }, { cx, cy } };
        const POINT lowerLeft[] = { { l, cy }, { cx, cy }, { cx, b }, { l, b } };
        FillIn(dc, upperRight, 4, mark);
        FillIn(dc, lowerLeft, 4, mark);
        break;
    }
    case SymbolBowTie: {
        const POINT left[] = { { l, t }, { cx, cy }, { l, b } };
        const POINT right[] = { { r, t }, { cx, cy }, { r, b } };
        FillIn(dc, left, 3, mark);
        FillIn(dc, right, 3, mark);
        break;
    }
    default: { // the hourglass
        const POINT upper[] = { { l, t }, { r, t }, { cx, cy } };
        const POINT lower[] = { { l, b }, { r, b }, { cx, cy } };
        FillIn(dc, upper, 3, mark);
        FillIn(dc, lower, 3, mark);
        break;
    }
    }
}

void PlotSymbolPainter::FillIn(CDC* dc, const POINT* corners, int count, COLORREF colour)
{
    CPen pen(PS_SOLID, 1, colour);
    CBrush brush(colour);
    CPen* previousPen = dc->SelectObject(&pen);
    CBrush* previousBrush = dc->SelectObject(&brush);
    for (int i = 0; i < count; ++i)
        SetCorner(i, corners[i].x, corners[i].y);
    SetCorner(count, corners[0].x, corners[0].y);
    PolygonOf(dc, count + 1);
    dc->SelectObject(previousPen);
    dc->SelectObject(previousBrush);
}

void PlotSymbolPainter::Polygon(CDC* dc, const POINT* corners, int count, bool filled)
{
    if (!filled) {
        OutlinedPolygon(dc, corners, count);
        return;
    }
    for (int i = 0; i < count; ++i)
        SetCorner(i, corners[i].x, corners[i].y);
    SetCorner(count, corners[0].x, corners[0].y);
    PolygonOf(dc, count + 1);
}

void PlotSymbolPainter::OutlinedPolygon(CDC* dc, const POINT* corners, int count)
{
    const POINT centre = Centre(corners, count);
    for (int k = 0; k <= CMathHelper::LastIndex(m_thickness); ++k) {
        for (int side : { -1, 1 }) {
            if (k == 0 && side > 0)
                continue;
            const std::vector<POINT> ring = Offset(corners, count, centre.x, centre.y, side * k);
            for (int i = 0; i < count; ++i)
                SetCorner(i, ring[i].x, ring[i].y);
            SetCorner(count, ring[0].x, ring[0].y);
            PolylineOf(dc, count + 1);
        }
    }
    if (m_whiteFill) {
        // The inside in white, inset by the outline's thickness.
        const std::vector<POINT> inside = Offset(corners, count, centre.x, centre.y, -m_thickness);
        CPen pen(PS_SOLID, 1, White);
        CBrush brush(White);
        CPen* previousPen = dc->SelectObject(&pen);
        CBrush* previousBrush = dc->SelectObject(&brush);
        dc->Polygon(inside.data(), count);
        dc->SelectObject(previousPen);
        dc->SelectObject(previousBrush);
    }
}

// ---- primitives

void PlotSymbolPainter::Line(CDC* dc, int x1, int y1, int x2, int y2)
{
    dc->MoveTo(x1, y1);
    dc->LineTo(x2, y2);
}

void PlotSymbolPainter::FilledRect(CDC* dc, int x1, int y1, int x2, int y2)
{
    dc->Rectangle(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2) + 1, std::max(y1, y2) + 1);
}

void PlotSymbolPainter::HollowCircle(CDC* dc, int x, int y, int radius)
{
    CGdiObject* previous = dc->SelectStockObject(NULL_BRUSH);
    dc->Ellipse(x - radius, y - radius, x + radius + 1, y + radius + 1);
    dc->SelectObject(previous);
}

void PlotSymbolPainter::FilledCircle(CDC* dc, int x, int y, int radius)
{
    dc->Ellipse(x - radius, y - radius, x + radius + 1, y + radius + 1);
}

void PlotSymbolPainter::ArcDeg(CDC* dc, int x, int y, int radius, double startDegrees, double endDegrees)
{
    if (radius <= 0)
        return;
    // One point per degree is finer than a pixel at every symbol size.
    std::vector<POINT> points;
    for (double a = startDegrees; a < endDegrees; a += 1.0)
        points.push_back({ x + Round(CMathHelper::CosDeg(a) * radius), y - Round(CMathHelper::SinDeg(a) * radius) });
    points.push_back({ x + Round(CMathHelper::CosDeg(endDegrees) * radius), y - Round(CMathHelper::SinDeg(endDegrees) * radius) });
    dc->Polyline(points.data(), static_cast<int>(points.size()));
}

void PlotSymbolPainter::SetCorner(int index, int x, int y)
{
    m_cornersX.SetAt(index, static_cast<DWORD>(x));
    m_cornersY.SetAt(index, static_cast<DWORD>(y));
}

std::vector<POINT> PlotSymbolPainter::Corners(int count) const
{
    std::vector<POINT> points(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        points[i] = { static_cast<int>(m_cornersX.GetAt(i)), static_cast<int>(m_cornersY.GetAt(i)) };
    return points;
}

void PlotSymbolPainter::PolylineOf(CDC* dc, int count)
{
    const std::vector<POINT> points = Corners(count);
    dc->Polyline(points.data(), count);
}

void PlotSymbolPainter::PolygonOf(CDC* dc, int count)
{
    const std::vector<POINT> points = Corners(count);
    dc->Polygon(points.data(), count);
}
