#include "diagrams/D2KSys.h"

#include "diagrams/QArray.h"
#include "platform/base/MulDiv.h"
#include "platform/gdi/Gdi.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/GdiObjects.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <limits>
#include <utility>

IMPLEMENT_DYNCREATE(CD2KSys, CObject)

namespace {

int Round(double value) { return CMathHelper::RoundToInt(value); }

// The narrowest span drawn: a plot of any size divided by it stays finite. Data closer together
// than this cannot be told apart on a screen anyway.
constexpr double MinimumSpan = 1e-300;

// A range that can be divided by and drawn: finite ends and a finite span of at least MinimumSpan.
bool IsUsableRange(double a, double b)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(b - a) && std::fabs(b - a) >= MinimumSpan;
}

// The nice outward rounding of a range, when it gives a usable one; the range as it was otherwise.
double NiceRoundRange(double* min, double* max, int* decimals)
{
    double niceMin = *min, niceMax = *max, step = 0;
    int niceDecimals = 0;
    CMathHelper::ComputeAxisScale(&niceMin, &niceMax, &step, &niceDecimals);
    if (!IsUsableRange(niceMin, niceMax) || !std::isfinite(step) || step == 0)
        return 0;
    *min = niceMin;
    *max = niceMax;
    if (decimals)
        *decimals = niceDecimals;
    return step;
}

// Makes a range usable: ends that are not finite are pulled in, a span that overflows is narrowed
// to the widest a double holds, an empty range gets a width (1, or enough to tell the ends apart at
// their magnitude) and a tiny one at least MinimumSpan.
void RepairRange(double* min, double* max)
{
    const double half = std::numeric_limits<double>::max() / 2;
    for (double* end : { min, max })
        *end = std::isnan(*end) ? 0 : std::clamp(*end, -std::numeric_limits<double>::max(), std::numeric_limits<double>::max());
    if (!std::isfinite(*max - *min)) {
        *min = std::clamp(*min, -half, half);
        *max = std::clamp(*max, -half, half);
    }
    if (*max == *min)
        *max = *min + std::max(1.0, std::fabs(*min) * 0x1p-40);
    else if (std::fabs(*max - *min) < MinimumSpan)
        *max = *min + (*max > *min ? MinimumSpan : -MinimumSpan);
}

} // namespace

CD2KSys::CD2KSys() = default;

CD2KSys::CD2KSys(const RECT& client) : m_client(client)
{
    FillPlaceholders();
    CreateFonts();
}

CD2KSys::~CD2KSys() = default;

void CD2KSys::FillPlaceholders()
{
    m_pointsX.SetSize(PointCount);
    m_pointsY.SetSize(PointCount);
    for (int i = 0; i < PointCount; ++i) {
        m_pointsX[i] = i + 1;
        m_pointsY[i] = (i + 1) * 10;
    }
    m_curveX.SetSize(SampleCount);
    m_curveY.SetSize(SampleCount);
    for (int i = 0; i < SampleCount; ++i) {
        m_curveX[i] = i;
        m_curveY[i] = 0;
    }
}

void CD2KSys::CreateFonts()
{
    m_labelFont = {};
    m_labelFont.lfHeight = -11; // points
    m_labelFont.lfWeight = FW_NORMAL;
    std::wcscpy(m_labelFont.lfFaceName, L"Times New Roman");
    for (CString& title : m_titles)
        title.Empty();
}

void CD2KSys::SetPlotArea(int left, int top, int right, int bottom, double xmin, double xmax)
{
    m_client = { left, top, right, bottom };
    m_xmin = m_intervalA = xmin;
    m_xmax = m_intervalB = xmax;
    m_nSamples = SampleCount;
}

void CD2KSys::Draw(CDC* dc)
{
    UpdateRanges(false);
    DrawDiagram(dc);
}

// ---- ranges

void CD2KSys::UpdateRanges(bool onlyWithAxes)
{
    if (onlyWithAxes && !m_bDrawAxes)
        return;
    if (!m_bFixedRange)
        ComputeDataRange();
    else {
        m_savedXmin = m_xmin;
        m_savedXmax = m_xmax;
        m_savedYmin = m_ymin;
        m_savedYmax = m_ymax;
    }
    if (m_nMode == DiagramPhysical)
        ComputeTickSteps(m_xmin, m_ymin, m_xmax, m_ymax, m_tickStepX, m_tickStepY);
}

void CD2KSys::ComputeDataRange()
{
    if (m_bRangeFromPoints)
        GetSortedExtent(m_pointsX, m_pointsY, m_nPoints);
    else if (m_nSamples >= 2)
        GetSortedExtent(m_curveX, m_curveY, m_nSamples);
    else if (std::isfinite(m_intervalA) && std::isfinite(m_intervalB))
        // No curve: the x axis still stands on the interval, with labels made for it; the y axis
        // keeps its range and labels.
        FitAxis(std::min(m_intervalA, m_intervalB), std::max(m_intervalA, m_intervalB), m_xmin, m_xmax, m_xWideningFactor,
            m_labelDecimalsX);
}

void CD2KSys::GetSortedExtent(const CArray<double, double>& xs, const CArray<double, double>& ys, int count)
{
    count = static_cast<int>(std::min<INT_PTR>({ count, xs.GetSize(), ys.GetSize() }));
    if (count < 2)
        return;
    struct Axis {
        const CArray<double, double>& values;
        double& min;
        double& max;
        int factor;
        int& decimals;
    };
    for (Axis axis : { Axis { xs, m_xmin, m_xmax, m_xWideningFactor, m_labelDecimalsX },
                       Axis { ys, m_ymin, m_ymax, 10, m_labelDecimalsY } }) {
        CQArray<double, double> sorted;
        sorted.SetSize(count);
        for (int i = 0; i < count; ++i)
            sorted[i] = axis.values[i];
        sorted.Sort(true);
        FitAxis(sorted[0], sorted[count - 1], axis.min, axis.max, axis.factor, axis.decimals);
    }
}

void CD2KSys::FitAxis(double min, double max, double& axisMin, double& axisMax, int wideningFactor, int& decimals)
{
    RepairRange(&min, &max);
    if (m_nMode == DiagramMathematical || m_nMode == DiagramPhysical) {
        double wideMin = min, wideMax = max;
        WidenRange(&wideMin, &wideMax, wideningFactor);
        if (IsUsableRange(wideMin, wideMax)) {
            min = wideMin;
            max = wideMax;
        }
    }
    if (m_bNiceRounding) {
        int niceDecimals = decimals;
        NiceRoundRange(&min, &max, &niceDecimals);
        if (m_bStoreLabelDecimals)
            decimals = niceDecimals;
    } else if (m_bStoreLabelDecimals)
        decimals = 4;
    if (m_nMode == DiagramMathematical || m_bIncludeZero)
        CMathHelper::IncludeZeroInRange(&min, &max);
    axisMin = min;
    axisMax = max;
}

void CD2KSys::WidenRange(double* min, double* max, int factor) const
{
    const double by = std::fabs(*max - *min) * 0.005 * factor;
    if (*max >= *min) {
        *min -= by;
        *max += by;
    } else {
        *min += by;
        *max -= by;
    }
}

void CD2KSys::ComputeTickSteps(double xmin, double ymin, double xmax, double ymax, double& stepX, double& stepY) const
{
    struct Axis {
        double min, max;
        double& step;
    };
    for (Axis axis : { Axis { xmin, xmax, stepX }, Axis { ymin, ymax, stepY } }) {
        if (m_bAutoTickSteps) {
            double min = axis.min, max = axis.max;
            axis.step = NiceRoundRange(&min, &max, nullptr);
        }
        if (axis.step == 0)
            axis.step = (axis.max - axis.min) / 10;
        if (axis.max > axis.min && axis.step < 0)
            axis.step = -axis.step;
        else if (axis.max < axis.min && axis.step > 0)
            axis.step = -axis.step;
    }
}

// ---- device area and transforms

void CD2KSys::SetDeviceArea(const RECT& r)
{
    switch (m_nMode) {
    case DiagramMathematical:
        m_plot = { r.left + 60, r.top + 30, r.right - 30, r.bottom - 30 };
        break;
    case DiagramPhysical:
        m_plot = { r.left + 100, r.top + 20, r.right - 20, r.bottom - 50 };
        break;
    case DiagramPolar: {
        const int side = r.bottom - r.top - 50;
        const int left = r.left + Round(((r.right - r.left) - side) * 0.5);
        m_plot = { left, r.top + 25, left + side, r.bottom - 25 };
        break;
    }
    default:
        m_plot = r;
        break;
    }
    m_plotWidth = m_plot.right - m_plot.left;
    m_plotHeight = m_plot.bottom - m_plot.top;
    ComputeScale();
}

void CD2KSys::ComputeScale()
{
    m_tickCountX = 10;
    m_tickCountY = 10;
    m_tickHalfLength = 2;
}

void CD2KSys::ComputeAxisSteps()
{
    double xmin = m_xmin, xmax = m_xmax, ymin = m_ymin, ymax = m_ymax;
    NiceRoundRange(&xmin, &xmax, nullptr);
    NiceRoundRange(&ymin, &ymax, nullptr);
    m_pixelsPerUnitX = m_plotWidth / (xmax - xmin);
    m_pixelsPerUnitY = m_plotHeight / (ymax - ymin);
    m_originX = m_plot.left + Round(m_plotWidth * 0.5) - Round((xmin * 0.5 + xmax * 0.5) * m_pixelsPerUnitX);
    m_originY = m_plot.top + Round(m_plotHeight * 0.5) + Round((ymin * 0.5 + ymax * 0.5) * m_pixelsPerUnitY);
}

POINT CD2KSys::WorldToDevice(double x, double y) const
{
    // Far outside the plot a coordinate only has to keep its direction: it is held where the
    // drawing functions and int arithmetic still take it.
    static constexpr double Limit = 32000;
    auto held = [](double device) { return Round(std::clamp(device, -Limit, Limit)); };
    if (m_nMode == DiagramPhysical) {
        return { m_plot.left + held(PhysicalPixels(x - m_xmin, m_plotWidth, m_xmax - m_xmin)),
                 m_plot.bottom - held(PhysicalPixels(y - m_ymin, m_plotHeight, m_ymax - m_ymin)) };
    }
    return { held(x * m_pixelsPerUnitX + m_originX), held(-(y * m_pixelsPerUnitY) + m_originY) };
}

double CD2KSys::PhysicalPixels(double distance, int pixels, double span)
{
    const double product = distance * pixels;
    return std::isfinite(product) ? product / span : distance / span * pixels;
}

// ---- the draw sequence

void CD2KSys::DrawDiagram(CDC* dc)
{
    RepairRange(&m_xmin, &m_xmax);
    RepairRange(&m_ymin, &m_ymax);
    RECT ordered { std::min(m_client.left, m_client.right), std::min(m_client.top, m_client.bottom),
                   std::max(m_client.left, m_client.right), std::max(m_client.top, m_client.bottom) };
    SetDeviceArea(ordered);
    if (m_nMode != DiagramMathematical && m_nMode != DiagramPhysical && m_nMode != DiagramPolar)
        return;

    if (m_nMode != DiagramPhysical) {
        CMathHelper::IncludeZeroInRange(&m_xmin, &m_xmax);
        CMathHelper::IncludeZeroInRange(&m_ymin, &m_ymax);
        ComputeAxisSteps();
    }
    if (m_bDrawAxes) {
        if (m_nMode == DiagramMathematical)
            DrawMathematical(dc);
        else if (m_nMode == DiagramPolar)
            DrawPolar(dc);
        else
            DrawPhysical(dc, true, true, true, true, true);
    }
    if (m_bPointsFirst && m_bDrawPoints)
        DrawPoints(dc);
    if (m_bDrawCurve)
        DrawCurve(dc);
    if (!m_bPointsFirst && m_bDrawPoints)
        DrawPoints(dc);
}

CFont* SelectFontInPoints(CDC* dc, const LOGFONTW* logFont, COLORREF colour, CFont* font)
{
    LOGFONTW copy = *logFont;
    copy.lfHeight = -MulDiv(-logFont->lfHeight, dc->GetDeviceCaps(LOGPIXELSY), 72);
    constexpr COLORREF WindowColourIndex = 6;
    dc->SetTextColor(colour == WindowColourIndex ? GetSysColor(COLOR_WINDOW) : colour);
    font->DeleteObject();
    if (!font->CreateFontIndirect(&copy))
        return nullptr;
    return dc->SelectObject(font);
}
