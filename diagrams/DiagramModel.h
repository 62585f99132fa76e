#pragma once
// DiagramModel: the numbers of a coordinate diagram, with no window and no device context. It keeps
// the mode, the curve and the point series, and the world ranges of both axes; it takes the ranges
// from the data (repaired, widened, rounded out, 0 taken in), places the plot area in a client
// rectangle, maps world points to device points and lists the ticks of every axis with the values
// their labels read. CD2KSys paints what it says.
//
// Every range it hands on is finite and at least 1e-300 wide, world points and the origin become
// device ints made with RoundToInt (halves away from zero) and held to +-32000, and no axis has more
// than 1000 ticks a side, so no data can stop a paint.

#include "engine/MathHelper.h"
#include "platform/base/Array.h"
#include "platform/base/CString.h"
#include "platform/gdi/GdiTypes.h"

#include <cmath>
#include <vector>

enum DiagramMode : int {
    DiagramMathematical = 1,
    DiagramPhysical = 2,
    DiagramPolar = 10,
};

// A tick of an axis, in the order the axis is drawn.
struct AxisTick {
    int position = 0;        // device x of an x tick, device y of a y tick, radius of a polar circle
    double value = 0;        // the value at the tick; on the negative side of an origin axis its magnitude
    bool negative = false;   // on the negative side of an axis through the origin: the label reads "-"
    bool labelled = false;   // the tick has a label
    std::vector<int> minors; // the minor ticks from this tick to the next (physical axes, polar circles)
};

class DiagramModel {
public:
    static constexpr int SampleCount = 300;
    static constexpr int PointCount = 10;
    // No side of an axis gets more ticks than this, whatever its step: every tick loop ends.
    static constexpr int MaxTicks = 1000;
    // Device coordinates far outside the plot are held here, where drawing functions and int
    // arithmetic still take them.
    static constexpr double DeviceLimit = 32000;

    // The placeholder series of a diagram made with the program's settings: points x = 1 to 10,
    // y = 10 to 100, and a flat curve of 300 samples.
    void FillPlaceholders();

    // ---- ranges and steps
    // Unless the range is fixed, the ranges from the data; the tick steps of the physical mode.
    void FitRangesToData();
    void ComputeDataRange();
    void GetSortedExtent(const CArray<double, double>& xs, const CArray<double, double>& ys, int count);
    // One axis's range from the least and greatest of its data: repaired, widened, rounded and
    // with its label decimals, as the range update makes it.
    void FitAxis(double min, double max, double& axisMin, double& axisMax, int wideningFactor, int& decimals);
    void WidenRange(double* min, double* max, int factor) const;
    void ComputeTickSteps(double xmin, double ymin, double xmax, double ymax, double& stepX, double& stepY) const;
    // Both ranges made finite, ordered as they were and at least 1e-300 wide.
    void RepairRanges();

    // ---- device area and transforms
    // Repairs the ranges and lays the plot area out in `client`, given in any corner order; the
    // mathematical and polar modes take 0 into both ranges and set their scale. False for a mode
    // that draws nothing.
    bool LayOut(const RECT& client);
    void SetDeviceArea(const RECT& ordered);
    void ComputeScale();
    // Pixels per unit and the origin of the mathematical and polar modes, from the current ranges.
    void ComputeAxisSteps();
    // A world point in device coordinates, by the transform of the current mode.
    POINT WorldToDevice(double x, double y) const;
    std::vector<POINT> CurveDevicePoints() const;
    std::vector<POINT> PointSeriesDevicePoints() const;
    // Whether a device point lies in the plot area, edges included.
    bool InPlotArea(POINT point) const;

    // ---- ticks
    // The nice world step between the ticks of the axes through the origin (and the polar circles);
    // 0 where the plot area gives none.
    double OriginStepX() const;
    double OriginStepY() const;
    // The ticks of the axes through the origin, out from it on the positive side and then on the
    // negative side, while inside the plot; the tick at the origin has no label. None for a step
    // that is not positive and finite.
    std::vector<AxisTick> OriginTicksX(double step) const;
    std::vector<AxisTick> OriginTicksY(double step) const;
    // The ticks of the physical frame's bottom and left edges, from xmin and ymin on, each with its
    // minor ticks. None unless the tick steps of both axes give a usable pixel distance.
    std::vector<AxisTick> PhysicalTicksX() const;
    std::vector<AxisTick> PhysicalTicksY() const;
    // The polar circles of the radius step out to the outer radius, each with its finer circles.
    std::vector<AxisTick> PolarCircles(double step) const;
    // The largest distance from the origin to an edge of the plot area.
    int PolarOuterRadius() const;
    // The angles of the polar rays in the first quadrant, in degrees: every y tick count to 90 - it.
    std::vector<int> PolarRayAngles() const;
    // The text of a tick label: its axis's number format and decimals, "-" in front on the
    // negative side of an axis. Given the step between the ticks, a fixed-point label shows
    // the decimals its value needs as a multiple of the step too (2.5, 5, 7.5 for a step of 2.5).
    CString LabelTextX(double value, bool negative, double step = 0) const;
    CString LabelTextY(double value, bool negative, double step = 0) const;

    int m_nMode = DiagramMathematical;

    // ---- the data
    CArray<double, double> m_curveX, m_curveY; // the kept samples, increasing x
    int m_nSamples = SampleCount;
    CArray<double, double> m_pointsX, m_pointsY; // the point series
    int m_nPoints = PointCount;

    // ---- plot area and scale
    RECT m_plot {};
    int m_plotWidth = 0, m_plotHeight = 0;
    int m_tickCountX = 10, m_tickCountY = 10;
    int m_tickHalfLength = 2;
    double m_pixelsPerUnitX = 1, m_pixelsPerUnitY = 1;
    int m_originX = 0, m_originY = 0;

    // ---- world ranges
    double m_xmin = 0, m_xmax = 10, m_ymin = 0, m_ymax = 100;
    double m_intervalA = NAN, m_intervalB = NAN; // the sampled x interval; none before the first
    double m_savedXmin = 0, m_savedYmin = 0, m_savedXmax = 10, m_savedYmax = 100;
    double m_tickStepX = 5, m_tickStepY = 10;
    int m_xWideningFactor = 20;
    int m_labelDecimalsX = 1, m_labelDecimalsY = 1;
    NumberFormatMode m_labelFormatX = NumberFormatFloating, m_labelFormatY = NumberFormatFloating;
    int m_labelLayout = 3;
    int m_labelEveryX = 1, m_labelEveryY = 1; // physical axes: every n-th major tick is labelled (0 as 1)
    int m_minorSubdivisionsX = 10, m_minorSubdivisionsY = 10;

    // ---- range switches
    bool m_bFixedRange = false;
    bool m_bRangeFromPoints = false;
    bool m_bNiceRounding = true;
    bool m_bStoreLabelDecimals = true;
    bool m_bIncludeZero = true;
    bool m_bAutoTickSteps = true;

private:
    // The ticks' distances in pixels along the physical axes; false unless both are usable.
    bool PhysicalSteps(double& stepX, double& stepY) const;
    // The ticks of one axis through the origin: `towardHigh` says whether its positive side runs
    // to greater device coordinates.
    std::vector<AxisTick> OriginTicks(double step, double extent, double pixelsPerUnit, int origin, bool towardHigh,
                                      int low, int high) const;
    CString LabelText(double value, NumberFormatMode format, int decimals, bool negative, double step) const;
    std::vector<POINT> DevicePoints(const CArray<double, double>& xs, const CArray<double, double>& ys, int count) const;
    // `distance` x `pixels` / `span`: a world distance in pixels along a physical axis. Near the
    // largest doubles the product would overflow, so there it divides first.
    static double PhysicalPixels(double distance, int pixels, double span);
};
