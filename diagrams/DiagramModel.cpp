#include "diagrams/DiagramModel.h"

#include "diagrams/QArray.h"

#include <algorithm>
#include <limits>

namespace {

int Round(double value) { return CMathHelper::RoundToInt(value); }

// A device coordinate held where drawing functions and int arithmetic still take it.
int HeldToDevice(double device)
{
    return Round(std::clamp(device, -DiagramModel::DeviceLimit, DiagramModel::DeviceLimit));
}

bool IsUsableStep(double step) { return std::isfinite(step) && step > 0; }

double UsableOrZero(double step) { return IsUsableStep(step) ? step : 0; }

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

// A count of 0 labels every tick, as 1 does.
bool IsLabelledTick(int n, int every) { return every == 0 || n % every == 0; }

// The ticks of a physical edge from the device coordinate `start` on, `pixels` apart (negative:
// toward smaller coordinates) as far as `edge`, their values from `first` on by `valueStep`, each
// with the minor ticks that divide the way to the next one into `subdivisions`.
// The decimals that write value exactly, where value is a multiple of step (or lies on a grid of
// it): no more than the step itself needs, up to MaxLabelDecimals; 0 without a usable step.
int DecimalsOfMultiple(double value, double step)
{
    constexpr int MaxLabelDecimals = 10;
    step = std::fabs(step);
    if (!std::isfinite(step) || step == 0 || !std::isfinite(value))
        return 0;
    auto whole = [](double x, double tolerance) { return std::fabs(x - std::round(x)) <= tolerance; };
    int stepDecimals = 0;
    for (double scale = 1; stepDecimals < MaxLabelDecimals && !whole(step * scale, step * scale * 1e-9); scale *= 10)
        ++stepDecimals;
    // The value's own rounding error is a tiny part of the step.
    int decimals = 0;
    for (double scale = 1; decimals < stepDecimals && !whole(value * scale, step * scale * 1e-6); scale *= 10)
        ++decimals;
    return decimals;
}

std::vector<AxisTick> EdgeTicks(int start, double pixels, int edge, double first, double valueStep, int labelEvery,
                                int subdivisions)
{
    auto beyond = [&](int position) { return pixels > 0 ? position > edge : position < edge; };
    std::vector<AxisTick> ticks;
    for (int n = 0; n <= DiagramModel::MaxTicks; ++n) {
        const double major = start + n * pixels;
        if (beyond(Round(major)))
            break;
        AxisTick tick { Round(major), first + n * valueStep, false, IsLabelledTick(n, labelEvery), {} };
        tick.minors.reserve(static_cast<size_t>(std::max(subdivisions - 1, 0)));
        for (int k = 1; k < subdivisions; ++k) {
            const int minor = Round(major + k * pixels / subdivisions);
            if (beyond(minor))
                break;
            tick.minors.push_back(minor);
        }
        ticks.push_back(std::move(tick));
    }
    return ticks;
}

} // namespace

void DiagramModel::FillPlaceholders()
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

// ---- ranges

void DiagramModel::FitRangesToData()
{
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

void DiagramModel::ComputeDataRange()
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

void DiagramModel::GetSortedExtent(const CArray<double, double>& xs, const CArray<double, double>& ys, int count)
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

void DiagramModel::FitAxis(double min, double max, double& axisMin, double& axisMax, int wideningFactor, int& decimals)
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

void DiagramModel::WidenRange(double* min, double* max, int factor) const
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

void DiagramModel::ComputeTickSteps(double xmin, double ymin, double xmax, double ymax, double& stepX, double& stepY) const
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

void DiagramModel::RepairRanges()
{
    RepairRange(&m_xmin, &m_xmax);
    RepairRange(&m_ymin, &m_ymax);
}

// ---- device area and transforms

bool DiagramModel::LayOut(const RECT& client)
{
    RepairRanges();
    SetDeviceArea({ std::min(client.left, client.right), std::min(client.top, client.bottom),
                    std::max(client.left, client.right), std::max(client.top, client.bottom) });
    if (m_nMode != DiagramMathematical && m_nMode != DiagramPhysical && m_nMode != DiagramPolar)
        return false;
    if (m_nMode != DiagramPhysical) {
        CMathHelper::IncludeZeroInRange(&m_xmin, &m_xmax);
        CMathHelper::IncludeZeroInRange(&m_ymin, &m_ymax);
        ComputeAxisSteps();
    }
    return true;
}

void DiagramModel::SetDeviceArea(const RECT& r)
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

void DiagramModel::ComputeScale()
{
    m_tickCountX = 10;
    m_tickCountY = 10;
    m_tickHalfLength = 2;
}

void DiagramModel::ComputeAxisSteps()
{
    // On repaired copies: a range that is empty or not finite divides by nothing here either.
    double xmin = m_xmin, xmax = m_xmax, ymin = m_ymin, ymax = m_ymax;
    RepairRange(&xmin, &xmax);
    RepairRange(&ymin, &ymax);
    NiceRoundRange(&xmin, &xmax, nullptr);
    NiceRoundRange(&ymin, &ymax, nullptr);
    m_pixelsPerUnitX = m_plotWidth / (xmax - xmin);
    m_pixelsPerUnitY = m_plotHeight / (ymax - ymin);
    // Summed as doubles and held: for ranges far from 0 the origin lies far outside the plot.
    m_originX = HeldToDevice(static_cast<double>(m_plot.left) + Round(m_plotWidth * 0.5)
                             - Round((xmin * 0.5 + xmax * 0.5) * m_pixelsPerUnitX));
    m_originY = HeldToDevice(static_cast<double>(m_plot.top) + Round(m_plotHeight * 0.5)
                             + Round((ymin * 0.5 + ymax * 0.5) * m_pixelsPerUnitY));
}

POINT DiagramModel::WorldToDevice(double x, double y) const
{
    if (m_nMode == DiagramPhysical) {
        return { m_plot.left + HeldToDevice(PhysicalPixels(x - m_xmin, m_plotWidth, m_xmax - m_xmin)),
                 m_plot.bottom - HeldToDevice(PhysicalPixels(y - m_ymin, m_plotHeight, m_ymax - m_ymin)) };
    }
    return { HeldToDevice(x * m_pixelsPerUnitX + m_originX), HeldToDevice(-(y * m_pixelsPerUnitY) + m_originY) };
}

double DiagramModel::PhysicalPixels(double distance, int pixels, double span)
{
    const double product = distance * pixels;
    return std::isfinite(product) ? product / span : distance / span * pixels;
}

std::vector<POINT> DiagramModel::DevicePoints(const CArray<double, double>& xs, const CArray<double, double>& ys, int count) const
{
    count = static_cast<int>(std::min<INT_PTR>({ count, xs.GetSize(), ys.GetSize() }));
    std::vector<POINT> points;
    points.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        points.push_back(WorldToDevice(xs[i], ys[i]));
    return points;
}

std::vector<POINT> DiagramModel::CurveDevicePoints() const { return DevicePoints(m_curveX, m_curveY, m_nSamples); }

std::vector<POINT> DiagramModel::PointSeriesDevicePoints() const { return DevicePoints(m_pointsX, m_pointsY, m_nPoints); }

bool DiagramModel::InPlotArea(POINT p) const
{
    return p.x >= m_plot.left && p.x <= m_plot.right && p.y >= m_plot.top && p.y <= m_plot.bottom;
}

// ---- ticks

double DiagramModel::OriginStepX() const { return UsableOrZero(CMathHelper::NiceStep((m_plotWidth / m_pixelsPerUnitX) / m_tickCountX)); }

double DiagramModel::OriginStepY() const { return UsableOrZero(CMathHelper::NiceStep((m_plotHeight / m_pixelsPerUnitY) / m_tickCountY)); }

std::vector<AxisTick> DiagramModel::OriginTicks(double step, double extent, double pixelsPerUnit, int origin, bool towardHigh,
                                                int low, int high) const
{
    std::vector<AxisTick> ticks;
    if (!IsUsableStep(step))
        return ticks;
    bool originTaken = false;
    for (bool positive : { true, false }) {
        const bool up = positive == towardHigh; // the side runs to greater device coordinates
        for (int n = 0; n <= MaxTicks; ++n) {
            const double u = n * step;
            if (u > extent)
                break;
            const int offset = Round(u * pixelsPerUnit);
            const int position = up ? origin + offset : origin - offset;
            if (up ? position > high : position < low)
                break;
            if (n == 0 && originTaken)
                continue;
            originTaken = originTaken || n == 0;
            ticks.push_back({ position, u, !positive, n != 0, {} });
        }
    }
    return ticks;
}

std::vector<AxisTick> DiagramModel::OriginTicksX(double step) const
{
    return OriginTicks(step, m_plotWidth / m_pixelsPerUnitX, m_pixelsPerUnitX, m_originX, true, m_plot.left, m_plot.right);
}

std::vector<AxisTick> DiagramModel::OriginTicksY(double step) const
{
    return OriginTicks(step, m_plotHeight / m_pixelsPerUnitY, m_pixelsPerUnitY, m_originY, false, m_plot.top, m_plot.bottom);
}

bool DiagramModel::PhysicalSteps(double& stepX, double& stepY) const
{
    stepX = PhysicalPixels(m_tickStepX, m_plotWidth, m_xmax - m_xmin);
    stepY = PhysicalPixels(m_tickStepY, m_plotHeight, m_ymax - m_ymin);
    return IsUsableStep(stepX) && IsUsableStep(stepY);
}

std::vector<AxisTick> DiagramModel::PhysicalTicksX() const
{
    double dx = 0, dy = 0;
    if (!PhysicalSteps(dx, dy))
        return {};
    return EdgeTicks(m_plot.left, dx, m_plot.right, m_xmin, m_tickStepX, m_labelEveryX, m_minorSubdivisionsX);
}

std::vector<AxisTick> DiagramModel::PhysicalTicksY() const
{
    double dx = 0, dy = 0;
    if (!PhysicalSteps(dx, dy))
        return {};
    return EdgeTicks(m_plot.bottom, -dy, m_plot.top, m_ymin, m_tickStepY, m_labelEveryY, m_minorSubdivisionsY);
}

int DiagramModel::PolarOuterRadius() const
{
    return std::max({ m_originX - m_plot.left, m_plot.right - m_originX, m_originY - m_plot.top, m_plot.bottom - m_originY });
}

std::vector<AxisTick> DiagramModel::PolarCircles(double step) const
{
    std::vector<AxisTick> circles;
    if (!IsUsableStep(step))
        return circles;
    const int outer = PolarOuterRadius();
    for (int n = 1; n <= MaxTicks; ++n) {
        const int r = Round(n * step * m_pixelsPerUnitX);
        if (r > outer)
            break;
        AxisTick circle { r, n * step, false, false, {} };
        circle.minors.reserve(static_cast<size_t>(std::max(m_minorSubdivisionsX - 1, 0)));
        for (int k = 1; k < m_minorSubdivisionsX; ++k)
            circle.minors.push_back(Round((n - 1 + static_cast<double>(k) / m_minorSubdivisionsX) * step * m_pixelsPerUnitX));
        circles.push_back(std::move(circle));
    }
    return circles;
}

std::vector<int> DiagramModel::PolarRayAngles() const
{
    std::vector<int> angles;
    const int step = m_tickCountY;
    for (int a = step; step > 0 && a <= 90 - step; a += step)
        angles.push_back(a);
    return angles;
}

CString DiagramModel::LabelText(double value, NumberFormatMode format, int decimals, bool negative, double step) const
{
    if (format == NumberFormatFloating)
        decimals = std::max(decimals, DecimalsOfMultiple(value, step));
    CString text;
    CMathHelper::FormatValue(&text, 0, value, 0, format, decimals, m_labelLayout, FALSE, TRUE);
    return (negative ? CString(L"-") : CString()) + text;
}

CString DiagramModel::LabelTextX(double value, bool negative, double step) const
{
    return LabelText(value, m_labelFormatX, m_labelDecimalsX, negative, step);
}

CString DiagramModel::LabelTextY(double value, bool negative, double step) const
{
    return LabelText(value, m_labelFormatY, m_labelDecimalsY, negative, step);
}
