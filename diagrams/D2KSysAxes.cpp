// The diagram's frame: the mathematical axes with arrowheads, the physical box with its ticks, and
// the polar circles and rays, each with its tick labels.

#include "diagrams/D2KSys.h"

#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObjects.h"

#include <algorithm>
#include <cmath>

namespace {

// No axis gets more ticks than this, whatever its step: every tick loop ends.
constexpr int MaxTicks = 1000;

int Round(double value) { return CMathHelper::RoundToInt(value); }

bool IsUsableStep(double step) { return std::isfinite(step) && step > 0; }

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

CString CD2KSys::TickLabel(double value, int decimals, NumberFormatMode format, bool negative) const
{
    CString text;
    CMathHelper::FormatValue(&text, 0, value, 0, format, decimals, m_labelLayout, FALSE, TRUE);
    return (negative ? CString(L"-") : CString()) + text;
}

void CD2KSys::DrawXLabel(CDC* dc, int x, int y, double value, bool negative)
{
    if (m_titles[0].IsEmpty())
        WriteLabel(dc, x, y, TickLabel(value, m_labelDecimalsX, m_labelFormatX, negative));
}

void CD2KSys::DrawYLabel(CDC* dc, int x, int y, double value, bool negative)
{
    const CString text = TickLabel(value, m_labelDecimalsY, m_labelFormatY, negative);
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

void CD2KSys::DrawPhysicalXLabel(CDC* dc, int x, int y, double value)
{
    DrawXLabel(dc, x, y, value, false);
}

void CD2KSys::DrawPhysicalYLabel(CDC* dc, int x, int y, double value)
{
    DrawYLabel(dc, x, y, value, false);
}

// ---- mathematical mode

void CD2KSys::DrawOriginXTicks(CDC* dc, double step, bool grid)
{
    if (!IsUsableStep(step))
        return;
    const double extent = m_plotWidth / m_pixelsPerUnitX;
    const int labelY = m_originY + m_tickHalfLength + Round(3 * m_symbolScaleY);
    dc->SetTextAlign(TA_CENTER | TA_TOP);
    for (int side : { 1, -1 }) {
        for (int n = 0; n <= MaxTicks; ++n) {
            const double u = n * step;
            if (u > extent)
                break;
            const int x = m_originX + side * Round(u * m_pixelsPerUnitX);
            if (side > 0 ? x > m_plot.right : x < m_plot.left)
                break;
            if (grid && m_bGrid && m_bMajorGridX) {
                PenScope pen(dc, m_gridPenStyleX, 1, m_gridColourX);
                PlotSymbolPainter::Line(dc, x, m_plot.top, x, m_plot.bottom);
            }
            {
                PenScope pen(dc, PS_SOLID, m_axisPenWidth, m_tickColour);
                PlotSymbolPainter::Line(dc, x, m_originY + m_tickHalfLength, x, m_originY - m_tickHalfLength);
            }
            if (n != 0)
                DrawXLabel(dc, x, labelY, u, side < 0);
        }
    }
}

void CD2KSys::DrawMathematical(CDC* dc)
{
    LabelScope labels(dc, m_labelFont, m_labelTextColour);
    if (!labels.HasFont())
        return;
    ComputeAxisSteps();
    DrawOriginXTicks(dc, CMathHelper::NiceStep((m_plotWidth / m_pixelsPerUnitX) / m_tickCountX), true);

    const double stepY = CMathHelper::NiceStep((m_plotHeight / m_pixelsPerUnitY) / m_tickCountY);
    if (IsUsableStep(stepY)) {
        const double extent = m_plotHeight / m_pixelsPerUnitY;
        const int labelX = m_originX - m_tickHalfLength - Round(5 * m_symbolScaleX);
        dc->SetTextAlign(TA_RIGHT | TA_BOTTOM);
        for (int side : { 1, -1 }) {
            for (int n = 0; n <= MaxTicks; ++n) {
                const double u = n * stepY;
                if (u > extent)
                    break;
                const int y = m_originY - side * Round(u * m_pixelsPerUnitY);
                if (side > 0 ? y < m_plot.top : y > m_plot.bottom)
                    break;
                if (m_bGrid && m_bMajorGridY) {
                    PenScope pen(dc, m_gridPenStyleY, 1, m_gridColourY);
                    PlotSymbolPainter::Line(dc, m_plot.left, y, m_plot.right, y);
                }
                {
                    PenScope pen(dc, PS_SOLID, m_axisPenWidth, m_tickColour);
                    PlotSymbolPainter::Line(dc, m_originX - m_tickHalfLength, y, m_originX + m_tickHalfLength, y);
                }
                if (n != 0)
                    DrawYLabel(dc, labelX, y, u, side < 0);
            }
        }
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

bool CD2KSys::PhysicalSteps(double& stepX, double& stepY) const
{
    // The ticks' distance in pixels along each axis; both must be positive and finite.
    stepX = PhysicalPixels(m_tickStepX, m_plotWidth, m_xmax - m_xmin);
    stepY = PhysicalPixels(m_tickStepY, m_plotHeight, m_ymax - m_ymin);
    return IsUsableStep(stepX) && IsUsableStep(stepY);
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
    double dx = 0, dy = 0;
    const bool ticks = PhysicalSteps(dx, dy);
    const int labelGap = 2 * m_tickLength;
    auto minorFactor = [](int k, int subdivisions) { return subdivisions == 10 && k == 5 ? 1.5 : 1.0; };
    if (ticks && xAxis) {
        dc->SetTextAlign(TA_CENTER | TA_TOP);
        for (int n = 0; n <= MaxTicks; ++n) {
            const double x = m_plot.left + n * dx;
            if (Round(x) > m_plot.right)
                break;
            PenScope tickPen(dc, PS_SOLID, m_axisPenWidth, m_tickColour);
            DrawPhysicalXTick(dc, Round(x), 2);
            if (n % m_labelEveryX == 0)
                DrawPhysicalXLabel(dc, Round(x), m_plot.bottom + labelGap, m_xmin + n * m_tickStepX);
            for (int k = 1; k < m_minorSubdivisionsX; ++k) {
                const int minor = Round(x + k * dx / m_minorSubdivisionsX);
                if (minor > m_plot.right)
                    break;
                DrawPhysicalXTick(dc, minor, minorFactor(k, m_minorSubdivisionsX));
                if (grid && m_bGrid && m_bMinorGridX) {
                    PenScope gridPen(dc, m_minorGridPenStyleX, 1, m_gridColourX);
                    PlotSymbolPainter::Line(dc, minor, m_plot.top, minor, m_plot.bottom);
                }
            }
            if (grid && m_bGrid && m_bMajorGridX) {
                PenScope gridPen(dc, m_gridPenStyleX, 1, m_gridColourX);
                PlotSymbolPainter::Line(dc, Round(x), m_plot.top, Round(x), m_plot.bottom);
            }
        }
    }
    if (ticks && yAxis) {
        dc->SetTextAlign(TA_RIGHT | TA_BOTTOM);
        for (int n = 0; n <= MaxTicks; ++n) {
            const double y = m_plot.bottom - n * dy;
            if (Round(y) < m_plot.top)
                break;
            PenScope tickPen(dc, PS_SOLID, m_axisPenWidth, m_tickColour);
            DrawPhysicalYTick(dc, Round(y), 2);
            if (n % m_labelEveryY == 0)
                DrawPhysicalYLabel(dc, m_plot.left - labelGap, Round(y), m_ymin + n * m_tickStepY);
            for (int k = 1; k < m_minorSubdivisionsY; ++k) {
                const int minor = Round(y - k * dy / m_minorSubdivisionsY);
                if (minor < m_plot.top)
                    break;
                DrawPhysicalYTick(dc, minor, minorFactor(k, m_minorSubdivisionsY));
                if (grid && m_bGrid && m_bMinorGridY) {
                    PenScope gridPen(dc, m_minorGridPenStyleY, 1, m_gridColourY);
                    PlotSymbolPainter::Line(dc, m_plot.left, minor, m_plot.right, minor);
                }
            }
            if (grid && m_bGrid && m_bMajorGridY) {
                PenScope gridPen(dc, m_gridPenStyleY, 1, m_gridColourY);
                PlotSymbolPainter::Line(dc, m_plot.left, Round(y), m_plot.right, Round(y));
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
    const int step = m_tickCountY;
    for (int a = step; step > 0 && a <= 90 - step; a += step) {
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
    const int step = m_tickCountY;
    const double reach = radius + 5 * m_symbolScaleX;
    for (int a = step; step > 0 && a <= 90 - step; a += step) {
        const int angles[] = { a, 180 - a, 180 + a, 360 - a };
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            const int angle = angles[quadrant];
            const POINT anchor { m_originX + Round(CMathHelper::CosDeg(angle) * reach),
                                 m_originY - Round(CMathHelper::SinDeg(angle) * reach) };
            if (anchor.x < m_plot.left || anchor.x > m_plot.right || anchor.y < m_plot.top || anchor.y > m_plot.bottom)
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
    const int outer = std::max({ m_originX - m_plot.left, m_plot.right - m_originX, m_originY - m_plot.top, m_plot.bottom - m_originY });
    const double step = CMathHelper::NiceStep((m_plotWidth / m_pixelsPerUnitX) / m_tickCountX);
    if (!IsUsableStep(step))
        return;

    const int saved = dc->SaveDC();
    CRgn clip;
    clip.CreateRectRgn(m_plot.left - 1, m_plot.top - 1, m_plot.right + 1, m_plot.bottom + 1);
    dc->SelectClipRgn(&clip);
    dc->SelectStockObject(NULL_BRUSH);
    int inner = 0;
    for (int n = 1; n <= MaxTicks; ++n) {
        const int r = Round(n * step * m_pixelsPerUnitX);
        if (r > outer)
            break;
        if (inner == 0)
            inner = r;
        if (m_bGrid && m_bMajorGridX) {
            PenScope pen(dc, PS_DASHDOTDOT, 1, m_gridColourX);
            for (int k = 1; k < m_minorSubdivisionsX; ++k) {
                const int minor = Round((n - 1 + static_cast<double>(k) / m_minorSubdivisionsX) * step * m_pixelsPerUnitX);
                PlotSymbolPainter::HollowCircle(dc, m_originX, m_originY, minor);
            }
        }
        PenScope pen(dc, PS_SOLID, m_axisPenWidth, m_gridColourX);
        PlotSymbolPainter::HollowCircle(dc, m_originX, m_originY, r);
    }
    DrawPolarRays(dc, inner, outer);
    dc->RestoreDC(saved);

    DrawOriginXTicks(dc, step, false);
    DrawPolarAngleLabels(dc, outer);
    PenScope pen(dc, PS_SOLID, m_axisPenWidth, m_axisColour);
    PlotSymbolPainter::Line(dc, m_plot.left, m_originY, m_plot.right, m_originY);
    PlotSymbolPainter::Line(dc, m_originX, m_plot.bottom, m_originX, m_plot.top);
}
