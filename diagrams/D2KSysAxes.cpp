// The diagram's frame: the mathematical axes with arrowheads, the physical box with its ticks, and
// the polar circles and rays, each with its tick labels.

#include "diagrams/D2KSys.h"

#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObjects.h"

#include <algorithm>

namespace {

int Round(double value) { return CMathHelper::RoundToInt(value); }

// Text alignment, background and drawing mode for the ticks and labels, and the label font; all
// put back when it goes.
class LabelScope {
public:
    LabelScope(CDC* dc, const LOGFONTW& font, COLORREF colour) : m_dc(dc)
    {
        m_previousFont = SelectFontInPoints(dc, &font, colour, &m_font);
        m_previousBkMode = dc->SetBkMode(TRANSPARENT);
        m_previousRop = dc->SetROP2(R2_COPYPEN);
    }
    ~LabelScope()
    {
        m_dc->SetTextColor(RGB(0, 0, 0));
        m_dc->SetBkMode(m_previousBkMode);
        m_dc->SetROP2(m_previousRop);
        if (m_previousFont)
            m_dc->SelectObject(m_previousFont);
    }
    bool HasFont() const { return m_previousFont != nullptr; }

private:
    CDC* m_dc;
    CFont m_font;
    CFont* m_previousFont = nullptr;
    int m_previousBkMode = 0;
    int m_previousRop = 0;
};

// A pen selected for as long as it lives.
class PenScope {
public:
    PenScope(CDC* dc, int style, int width, COLORREF colour) : m_dc(dc), m_pen(style, width, colour)
    {
        m_previous = dc->SelectObject(&m_pen);
    }
    ~PenScope() { m_dc->SelectObject(m_previous); }

private:
    CDC* m_dc;
    CPen m_pen;
    CPen* m_previous;
};

} // namespace

// ---- labels

void CD2KSys::DrawXLabel(CDC* dc, int x, int y, double value, bool negative, double step)
{
    if (m_titles[0].IsEmpty())
        WriteLabel(dc, x, y, LabelTextX(value, negative, step));
}

void CD2KSys::DrawYLabel(CDC* dc, int x, int y, double value, bool negative, double step)
{
    const CString text = LabelTextY(value, negative, step);
    // Centred on the tick: the bottom half the text's height below it.
    if (m_titles[1].IsEmpty())
        WriteLabel(dc, x, y + dc->GetTextExtent(text).cy / 2, text);
}

void CD2KSys::WriteLabel(CDC* dc, int x, int y, const CString& text) const
{
    // A label wider than the margin beside its tick is moved sideways into the client area
    // rather than cut at its edge; one wider than the whole area keeps its start.
    const int width = dc->GetTextExtent(text).cx;
    const UINT horizontal = ::GetTextAlign(dc->GetSafeHdc()) & TA_CENTER;
    const int left = x - (horizontal == TA_RIGHT ? width : horizontal == TA_CENTER ? width / 2 : 0);
    const int clientLeft = std::min(m_client.left, m_client.right), clientRight = std::max(m_client.left, m_client.right);
    int shift = 0;
    if (left + width > clientRight)
        shift = clientRight - (left + width);
    if (left + shift < clientLeft)
        shift = clientLeft - left;
    dc->TextOut(x + shift, y, text);
}

void CD2KSys::DrawPhysicalXLabel(CDC* dc, int x, int y, double value, double step)
{
    DrawXLabel(dc, x, y, value, false, step);
}

void CD2KSys::DrawPhysicalYLabel(CDC* dc, int x, int y, double value, double step)
{
    DrawYLabel(dc, x, y, value, false, step);
}

// ---- mathematical mode

void CD2KSys::DrawOriginXTicks(CDC* dc, double step, bool grid)
{
    const int labelY = m_originY + m_tickHalfLength + Round(3 * m_symbolScaleY);
    dc->SetTextAlign(TA_CENTER | TA_TOP);
    for (const AxisTick& tick : OriginTicksX(step)) {
        if (grid && m_bGrid && m_bMajorGridX) {
            PenScope pen(dc, m_gridPenStyleX, 1, m_gridColourX);
            PlotSymbolPainter::Line(dc, tick.position, m_plot.top, tick.position, m_plot.bottom);
        }
        {
            PenScope pen(dc, PS_SOLID, m_axisPenWidth, m_tickColour);
            PlotSymbolPainter::Line(dc, tick.position, m_originY + m_tickHalfLength, tick.position, m_originY - m_tickHalfLength);
        }
        if (tick.labelled)
            DrawXLabel(dc, tick.position, labelY, tick.value, tick.negative, step);
    }
}

void CD2KSys::DrawMathematical(CDC* dc)
{
    LabelScope labels(dc, m_labelFont, m_labelTextColour);
    if (!labels.HasFont())
        return;
    ComputeAxisSteps();
    DrawOriginXTicks(dc, OriginStepX(), true);

    const int labelX = m_originX - m_tickHalfLength - Round(5 * m_symbolScaleX);
    dc->SetTextAlign(TA_RIGHT | TA_BOTTOM);
    const double stepY = OriginStepY();
    for (const AxisTick& tick : OriginTicksY(stepY)) {
        if (m_bGrid && m_bMajorGridY) {
            PenScope pen(dc, m_gridPenStyleY, 1, m_gridColourY);
            PlotSymbolPainter::Line(dc, m_plot.left, tick.position, m_plot.right, tick.position);
        }
        {
            PenScope pen(dc, PS_SOLID, m_axisPenWidth, m_tickColour);
            PlotSymbolPainter::Line(dc, m_originX - m_tickHalfLength, tick.position, m_originX + m_tickHalfLength, tick.position);
        }
        if (tick.labelled)
            DrawYLabel(dc, labelX, tick.position, tick.value, tick.negative, stepY);
    }

    // The axes, each ending in an arrowhead beyond the plot.
    dc->SetBkMode(OPAQUE);
    const int reachX = Round(20 * m_symbolScaleX), reachY = Round(20 * m_symbolScaleY);
    {
        PenScope pen(dc, PS_SOLID, m_axisPenWidth, m_axisColour);
        PlotSymbolPainter::Line(dc, m_plot.left, m_originY, m_plot.right + reachX, m_originY);
        PlotSymbolPainter::Line(dc, m_originX, m_plot.bottom, m_originX, m_plot.top - reachY);
    }
    PenScope pen(dc, PS_SOLID, 1, m_axisColour);
    CBrush brush(m_axisColour);
    CBrush* previousBrush = dc->SelectObject(&brush);
    const int lengthX = Round(10 * m_symbolScaleX), halfY = Round(5 * m_symbolScaleY);
    const int lengthY = Round(10 * m_symbolScaleY), halfX = Round(5 * m_symbolScaleX);
    const POINT tipX { m_plot.right + reachX, m_originY };
    const POINT arrowX[] = { tipX, { tipX.x - lengthX, m_originY - halfY }, { tipX.x - lengthX, m_originY + halfY }, tipX };
    dc->Polygon(arrowX, 4);
    const POINT tipY { m_originX, m_plot.top - reachY };
    const POINT arrowY[] = { tipY, { m_originX - halfX, tipY.y + lengthY }, { m_originX + halfX, tipY.y + lengthY }, tipY };
    dc->Polygon(arrowY, 4);
    dc->SelectObject(previousBrush);
}

// ---- physical mode

void CD2KSys::DrawPhysicalXTick(CDC* dc, int x, double factor)
{
    const int length = Round(m_tickLength * factor);
    PlotSymbolPainter::Line(dc, x, m_plot.bottom, x, m_bTicksOutside ? m_plot.bottom + length : m_plot.bottom - length);
}

void CD2KSys::DrawPhysicalYTick(CDC* dc, int y, double factor)
{
    const int length = Round(m_tickLength * factor);
    PlotSymbolPainter::Line(dc, m_plot.left, y, m_bTicksOutside ? m_plot.left - length : m_plot.left + length, y);
}

void CD2KSys::DrawWorldLine(CDC* dc, double x1, double y1, double x2, double y2)
{
    const POINT from = WorldToDevice(x1, y1), to = WorldToDevice(x2, y2);
    PlotSymbolPainter::Line(dc, from.x, from.y, to.x, to.y);
}

void CD2KSys::DrawPhysical(CDC* dc, bool grid, bool xAxis, bool yAxis, bool background, bool frame)
{
    LabelScope labels(dc, m_labelFont, m_labelTextColour);
    if (!labels.HasFont())
        return;
    if (background) {
        dc->FillSolidRect(&m_plot, m_plotBackground);
        // The zero lines, where 0 lies inside a range.
        PenScope pen(dc, PS_DOT, 1, RGB(255, 0, 0));
        if (m_ymin < 0 && 0 < m_ymax)
            DrawWorldLine(dc, m_xmin, 0, m_xmax, 0);
        if (m_xmin < 0 && 0 < m_xmax)
            DrawWorldLine(dc, 0, m_ymin, 0, m_ymax);
    }
    const int labelGap = 2 * m_tickLength;
    auto minorFactor = [](size_t k, int subdivisions) { return subdivisions == 10 && k == 5 ? 1.5 : 1.0; };
    if (xAxis) {
        dc->SetTextAlign(TA_CENTER | TA_TOP);
        for (const AxisTick& tick : PhysicalTicksX()) {
            PenScope tickPen(dc, PS_SOLID, m_axisPenWidth, m_tickColour);
            DrawPhysicalXTick(dc, tick.position, 2);
            if (tick.labelled)
                DrawPhysicalXLabel(dc, tick.position, m_plot.bottom + labelGap, tick.value, m_tickStepX);
            for (size_t k = 1; k <= tick.minors.size(); ++k) {
                const int minor = tick.minors[k - 1];
                DrawPhysicalXTick(dc, minor, minorFactor(k, m_minorSubdivisionsX));
                if (grid && m_bGrid && m_bMinorGridX) {
                    PenScope gridPen(dc, m_minorGridPenStyleX, 1, m_gridColourX);
                    PlotSymbolPainter::Line(dc, minor, m_plot.top, minor, m_plot.bottom);
                }
            }
            if (grid && m_bGrid && m_bMajorGridX) {
                PenScope gridPen(dc, m_gridPenStyleX, 1, m_gridColourX);
                PlotSymbolPainter::Line(dc, tick.position, m_plot.top, tick.position, m_plot.bottom);
            }
        }
    }
    if (yAxis) {
        dc->SetTextAlign(TA_RIGHT | TA_BOTTOM);
        for (const AxisTick& tick : PhysicalTicksY()) {
            PenScope tickPen(dc, PS_SOLID, m_axisPenWidth, m_tickColour);
            DrawPhysicalYTick(dc, tick.position, 2);
            if (tick.labelled)
                DrawPhysicalYLabel(dc, m_plot.left - labelGap, tick.position, tick.value, m_tickStepY);
            for (size_t k = 1; k <= tick.minors.size(); ++k) {
                const int minor = tick.minors[k - 1];
                DrawPhysicalYTick(dc, minor, minorFactor(k, m_minorSubdivisionsY));
                if (grid && m_bGrid && m_bMinorGridY) {
                    PenScope gridPen(dc, m_minorGridPenStyleY, 1, m_gridColourY);
                    PlotSymbolPainter::Line(dc, m_plot.left, minor, m_plot.right, minor);
                }
            }
            if (grid && m_bGrid && m_bMajorGridY) {
                PenScope gridPen(dc, m_gridPenStyleY, 1, m_gridColourY);
                PlotSymbolPainter::Line(dc, m_plot.left, tick.position, m_plot.right, tick.position);
            }
        }
    }
    if (frame) {
        dc->SetBkMode(OPAQUE);
        PenScope pen(dc, PS_INSIDEFRAME, m_axisPenWidth, m_axisColour);
        // The inner frame line repeats the frame inset by one pixel per step.
        const int insets = std::max(0, Round(m_axisPenWidth * m_symbolScaleX));
        for (int k = 0; k <= insets; ++k) {
            const int l = m_plot.left + k, t = m_plot.top + k, r = m_plot.right - k, b = m_plot.bottom - k;
            PlotSymbolPainter::Line(dc, l, t, r + 1, t);
            PlotSymbolPainter::Line(dc, r, t, r, b + 1);
            if (yAxis)
                PlotSymbolPainter::Line(dc, l, t, l, b + 1);
            if (xAxis)
                PlotSymbolPainter::Line(dc, l, b, r + 1, b);
        }
    }
}

// ---- polar mode

void CD2KSys::DrawPolarRays(CDC* dc, int innerRadius, int outerRadius)
{
    for (int a : PolarRayAngles()) {
        const bool whole = CMathHelper::IntToString(a).Right(1) == L"0";
        PenScope pen(dc, whole ? PS_SOLID : PS_DASHDOTDOT, 1, m_tickColour);
        for (int angle : { a, 180 - a, 180 + a, 360 - a }) {
            const double c = CMathHelper::CosDeg(angle), s = CMathHelper::SinDeg(angle);
            PlotSymbolPainter::Line(dc, m_originX + Round(c * innerRadius), m_originY - Round(s * innerRadius),
                                    m_originX + Round(c * outerRadius), m_originY - Round(s * outerRadius));
        }
    }
}

void CD2KSys::DrawPolarAngleLabels(CDC* dc, int radius)
{
    const double reach = radius + 5 * m_symbolScaleX;
    for (int a : PolarRayAngles()) {
        const int angles[] = { a, 180 - a, 180 + a, 360 - a };
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            const int angle = angles[quadrant];
            const POINT anchor { m_originX + Round(CMathHelper::CosDeg(angle) * reach),
                                 m_originY - Round(CMathHelper::SinDeg(angle) * reach) };
            if (!InPlotArea(anchor))
                continue;
            // Turned with its angle, reading outward from the centre.
            LOGFONTW turned = m_labelFont;
            turned.lfEscapement = turned.lfOrientation = quadrant % 2 == 0 ? 10 * a : 3600 - 10 * a;
            CFont font;
            CFont* previous = SelectFontInPoints(dc, &turned, m_labelTextColour, &font);
            if (!previous)
                continue;
            dc->SetTextAlign(TA_BASELINE | (quadrant == 0 || quadrant == 3 ? TA_LEFT : TA_RIGHT));
            CString text = CMathHelper::IntToString(angle);
            text.TrimLeft();
            dc->TextOut(anchor.x, anchor.y, text);
            dc->SelectObject(previous);
        }
    }
}

void CD2KSys::DrawPolar(CDC* dc)
{
    ComputeAxisSteps();
    LabelScope labels(dc, m_labelFont, m_labelTextColour);
    if (!labels.HasFont())
        return;
    const double step = OriginStepX();
    if (step == 0)
        return;

    const int outer = PolarOuterRadius();
    const int saved = dc->SaveDC();
    CRgn clip;
    clip.CreateRectRgn(m_plot.left - 1, m_plot.top - 1, m_plot.right + 1, m_plot.bottom + 1);
    dc->SelectClipRgn(&clip);
    dc->SelectStockObject(NULL_BRUSH);
    int inner = 0; // the first circle the rays start from
    for (const AxisTick& circle : PolarCircles(step)) {
        if (inner == 0)
            inner = circle.position;
        if (m_bGrid && m_bMajorGridX) {
            PenScope pen(dc, PS_DASHDOTDOT, 1, m_gridColourX);
            for (int minor : circle.minors)
                PlotSymbolPainter::HollowCircle(dc, m_originX, m_originY, minor);
        }
        PenScope pen(dc, PS_SOLID, m_axisPenWidth, m_gridColourX);
        PlotSymbolPainter::HollowCircle(dc, m_originX, m_originY, circle.position);
    }
    DrawPolarRays(dc, inner, outer);
    dc->RestoreDC(saved);

    DrawOriginXTicks(dc, step, false);
    DrawPolarAngleLabels(dc, outer);
    PenScope pen(dc, PS_SOLID, m_axisPenWidth, m_axisColour);
    PlotSymbolPainter::Line(dc, m_plot.left, m_originY, m_plot.right, m_originY);
    PlotSymbolPainter::Line(dc, m_originX, m_plot.bottom, m_originX, m_plot.top);
}
