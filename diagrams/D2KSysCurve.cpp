// The diagram's data: sampling the formula into the curve, drawing the curve and the point series.

#include "diagrams/D2KSys.h"

#include "engine/FormulaParser.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObjects.h"

#include <algorithm>
#include <cmath>

namespace {

// The i-th of `count` sample points from a to b; the last is b itself.
double SamplePoint(double a, double b, int i, int count)
{
    return i == count - 1 ? b : a + i * ((b - a) / (count - 1));
}

// Whether the interval holds `count` distinct, finite, increasing sample points.
SamplingResult CheckInterval(double a, double b, int count)
{
    if (!(a < b))
        return SamplingResult::EmptyInterval;
    if (!std::isfinite(b - a))
        return SamplingResult::UnusableInterval;
    for (int i = 1; i < count; ++i) {
        if (!(SamplePoint(a, b, i, count) > SamplePoint(a, b, i - 1, count)))
            return SamplingResult::UnusableInterval;
    }
    return SamplingResult::Sampled;
}

} // namespace

SamplingResult CD2KSys::Bestimmung_der_Funktionswerte(CFormulaParser& parser, const CString& formula)
{
    m_curveX.SetSize(SampleCount);
    m_curveY.SetSize(SampleCount);
    const int count = m_nSamples > 1 ? std::min(m_nSamples, static_cast<int>(SampleCount)) : SampleCount;
    // An interval given from right to left (xa above xb) holds the same points: the axes and the
    // samples go from its lower end up.
    if (m_xmin > m_xmax)
        std::swap(m_xmin, m_xmax);
    const double a = m_xmin, b = m_xmax;
    const SamplingResult interval = CheckInterval(a, b, count);
    if (interval != SamplingResult::Sampled) {
        m_nSamples = 0;
        return interval;
    }
    // The caller's text stays as it is: the sampling normalises its own copy, once.
    CString text = formula;
    parser.NormalizeFormula(text);
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const double x = SamplePoint(a, b, i, count);
        int errorPosition = 0;
        CString errorText;
        const double y = parser.Calculate(text, x, &errorPosition, &errorText, FALSE);
        // An error without a position, and a value that is not finite, are no points either.
        if (errorPosition != 0 || !errorText.IsEmpty() || !std::isfinite(y))
            continue;
        m_curveX[kept] = x;
        m_curveY[kept] = y;
        ++kept;
    }
    m_nSamples = kept;
    return SamplingResult::Sampled;
}

void CD2KSys::DrawCurve(CDC* dc)
{
    if (m_nSamples < 1)
        return;
    const std::vector<POINT> points = CurveDevicePoints();
    if (points.empty())
        return;
    const int saved = dc->SaveDC();
    CRgn clip;
    const RECT area { m_plot.left - 1, m_plot.top - 1, m_plot.right + 1, m_plot.bottom + 1 };
    if (m_nMode == DiagramPolar)
        clip.CreateEllipticRgn(area.left, area.top, area.right, area.bottom);
    else
        clip.CreateRectRgnIndirect(&area);
    dc->SelectClipRgn(&clip);
    dc->SetBkMode(OPAQUE);
    dc->SetROP2(R2_COPYPEN);
    CPen pen(m_curvePenStyle, m_curvePenWidth, m_curveColour);
    dc->SelectObject(&pen);
    dc->Polyline(points.data(), static_cast<int>(points.size()));
    dc->RestoreDC(saved);
}

void CD2KSys::DrawPoints(CDC* dc)
{
    if (!m_bDrawPoints || m_nPoints < 1)
        return;
    const std::vector<POINT> points = PointSeriesDevicePoints();
    if (points.empty())
        return;
    const int saved = dc->SaveDC();
    dc->SetBkMode(TRANSPARENT);
    dc->SetROP2(R2_COPYPEN);
    if (m_bSymbols && m_bPointsFirst)
        DrawSymbols(dc, points);
    if (m_bConnectPoints) {
        CPen pen(m_curvePenStyle, m_curvePenWidth, m_curveColour);
        CPen* previous = dc->SelectObject(&pen);
        dc->Polyline(points.data(), static_cast<int>(points.size()));
        dc->SelectObject(previous);
    }
    if (m_bDropLinesX || m_bDropLinesY) {
        CPen pen(PS_DASHDOTDOT, 1, RGB(0, 0, 0));
        CPen* previous = dc->SelectObject(&pen);
        for (const POINT& p : points) {
            if (m_bDropLinesX)
                PlotSymbolPainter::Line(dc, p.x, m_plot.bottom, p.x, p.y);
            if (m_bDropLinesY)
                PlotSymbolPainter::Line(dc, p.x, p.y, m_plot.left, p.y);
        }
        dc->SelectObject(previous);
    }
    if (m_bSymbols && !m_bPointsFirst)
        DrawSymbols(dc, points);
    dc->RestoreDC(saved);
}

void CD2KSys::DrawSymbols(CDC* dc, const std::vector<POINT>& points)
{
    CPen pen(PS_SOLID, 1, m_symbolColour);
    CBrush brush;
    if (!m_bFilledSymbols)
        brush.Attach(GetStockObject(NULL_BRUSH));
    else
        brush.CreateSolidBrush(m_bWhiteFill || IsAlwaysWhiteInside(m_symbolKind) ? RGB(255, 255, 255) : m_symbolColour);
    CPen* previousPen = dc->SelectObject(&pen);
    CBrush* previousBrush = dc->SelectObject(&brush);
    for (const POINT& p : points) {
        if (!InPlotArea(p))
            continue;
        m_painter.DrawSymbol(dc, static_cast<float>(p.x), static_cast<float>(p.y), m_symbolKind, m_symbolSize,
                             m_symbolColour, m_symbolLineWidth, m_bFilledSymbols, m_bWhiteFill, true,
                             static_cast<float>(m_symbolScaleX), static_cast<float>(m_symbolScaleY));
    }
    dc->SelectObject(previousPen);
    dc->SelectObject(previousBrush);
    if (!m_bFilledSymbols)
        brush.Detach();
}
