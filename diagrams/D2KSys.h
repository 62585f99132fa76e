#pragma once
// CD2KSys: the program's coordinate diagram. It samples a formula of x over an interval, keeps the
// world ranges of both axes with their tick steps, maps world points to device points and draws
// the diagram in one of three modes: mathematical (axes through the origin with arrowheads),
// physical (a white framed box with outer ticks) or polar (circles and rays round the origin).
// Sampling and the curve are in D2KSysCurve.cpp, axes, grids and labels in D2KSysAxes.cpp.
//
// Every drawing step selects its own pens, brushes and fonts and puts the previous ones back.
// Device coordinates are ints made with RoundToInt (halves away from zero).

#include "diagrams/PlotSymbolPainter.h"
#include "engine/MathHelper.h"
#include "platform/base/Array.h"
#include "platform/base/CString.h"
#include "platform/base/RunTimeClass.h"
#include "platform/gdi/GdiTypes.h"

#include <cmath>
#include <vector>

class CDC;
class CFont;
class CFormulaParser;

enum DiagramMode : int {
    DiagramMathematical = 1,
    DiagramPhysical = 2,
    DiagramPolar = 10,
};

// What became of a sampling: the curve, or why the interval gave none.
enum class SamplingResult {
    Sampled,          // the curve holds the samples that evaluated to finite values
    EmptyInterval,    // xa >= xb (or not a number)
    UnusableInterval, // too narrow (or too wide) for distinct, finite sample points
};

class CD2KSys : public CObject {
    DECLARE_DYNCREATE(CD2KSys)
public:
    static constexpr int SampleCount = 300;
    static constexpr int PointCount = 10;

    CD2KSys();
    // With the program's settings, drawing into `client`.
    explicit CD2KSys(const RECT& client);
    ~CD2KSys() override;

    void Serialize(CArchive&) override {}
    // Updates the ranges from the data, then draws the diagram.
    virtual void Draw(CDC* dc);

    // The area to draw in and the x interval to sample; the sample count becomes 300.
    void SetPlotArea(int left, int top, int right, int bottom, double xmin, double xmax);
    // Samples `formula` at 300 equally spaced x over the x range with the parser's constants. A
    // sample with an error or a value that is not finite is dropped. An unusable interval leaves
    // the curve empty and the x range in order, so that the axes can still be drawn.
    SamplingResult Bestimmung_der_Funktionswerte(CFormulaParser& parser, const CString& formula);

    // ---- ranges and steps
    void UpdateRanges(bool onlyWithAxes);
    void ComputeDataRange();
    void GetSortedExtent(const CArray<double, double>& xs, const CArray<double, double>& ys, int count);
    // One axis's range from the least and greatest of its data: repaired, widened, rounded and
    // with its label decimals, as the range update makes it.
    void FitAxis(double min, double max, double& axisMin, double& axisMax, int wideningFactor, int& decimals);
    void WidenRange(double* min, double* max, int factor) const;
    void ComputeTickSteps(double xmin, double ymin, double xmax, double ymax, double& stepX, double& stepY) const;

    // ---- device area and transforms
    void SetDeviceArea(const RECT& ordered);
    void ComputeScale();
    // Pixels per unit and the origin of the mathematical and polar modes, from the current ranges.
    void ComputeAxisSteps();
    // A world point in device coordinates, by the transform of the current mode.
    POINT WorldToDevice(double x, double y) const;

    // ---- drawing
    void DrawDiagram(CDC* dc);
    void DrawMathematical(CDC* dc);
    void DrawPhysical(CDC* dc, bool grid, bool xAxis, bool yAxis, bool background, bool frame);
    void DrawPolar(CDC* dc);
    void DrawCurve(CDC* dc);
    void DrawPoints(CDC* dc);

    int m_nMode = DiagramMathematical;

    // ---- the data
    CArray<double, double> m_curveX, m_curveY; // the kept samples, increasing x
    int m_nSamples = SampleCount;
    CArray<double, double> m_pointsX, m_pointsY; // the point series, drawn with symbols
    int m_nPoints = PointCount;

    // ---- geometry
    RECT m_client {};
    RECT m_plot {};
    int m_plotWidth = 0, m_plotHeight = 0;
    int m_tickCountX = 10, m_tickCountY = 10;
    int m_tickHalfLength = 2;
    double m_pixelsPerUnitX = 1, m_pixelsPerUnitY = 1;
    int m_originX = 0, m_originY = 0;

    // ---- world ranges
    double m_xmin = 0, m_xmax = 10, m_ymin = 0, m_ymax = 100;
    double m_intervalA = NAN, m_intervalB = NAN; // the x interval of SetPlotArea; none before
    double m_savedXmin = 0, m_savedYmin = 0, m_savedXmax = 10, m_savedYmax = 100;
    double m_tickStepX = 5, m_tickStepY = 10;
    int m_xWideningFactor = 20;
    int m_labelDecimalsX = 1, m_labelDecimalsY = 1;
    NumberFormatMode m_labelFormatX = NumberFormatFloating, m_labelFormatY = NumberFormatFloating;
    int m_labelLayout = 3;

    // ---- switches
    bool m_bFixedRange = false;
    bool m_bRangeFromPoints = false;
    bool m_bNiceRounding = true;
    bool m_bStoreLabelDecimals = true;
    bool m_bIncludeZero = true;
    bool m_bAutoTickSteps = true;
    bool m_bDrawAxes = true;
    bool m_bDrawCurve = true;
    bool m_bDrawPoints = false;
    bool m_bPointsFirst = true;
    bool m_bConnectPoints = true;
    bool m_bSymbols = true, m_bFilledSymbols = true, m_bWhiteFill = true;
    bool m_bDropLinesX = false, m_bDropLinesY = false;
    bool m_bGrid = false;
    bool m_bMajorGridX = true, m_bMajorGridY = true, m_bMinorGridX = false, m_bMinorGridY = false;
    bool m_bTicksOutside = true;
    int m_labelEveryX = 1, m_labelEveryY = 1;
    int m_minorSubdivisionsX = 10, m_minorSubdivisionsY = 10;
    int m_tickLength = 8;

    // ---- pens, colours, symbols, font
    int m_gridPenStyleX = PS_SOLID, m_gridPenStyleY = PS_SOLID;
    int m_minorGridPenStyleX = PS_DOT, m_minorGridPenStyleY = PS_DOT;
    COLORREF m_gridColourX = RGB(120, 120, 120), m_gridColourY = RGB(120, 120, 120);
    int m_axisPenWidth = 1;
    COLORREF m_axisColour = RGB(0, 0, 0);
    COLORREF m_tickColour = RGB(0, 0, 0);
    COLORREF m_plotBackground = RGB(255, 255, 255);
    COLORREF m_curveColour = RGB(255, 0, 0);
    int m_curvePenStyle = PS_SOLID, m_curvePenWidth = 1;
    COLORREF m_symbolColour = RGB(0, 0, 255);
    int m_symbolKind = 2, m_symbolSize = 10, m_symbolLineWidth = 1;
    double m_symbolScaleX = 1.0, m_symbolScaleY = 1.0;
    LOGFONTW m_labelFont {};
    COLORREF m_labelTextColour = 0;
    CString m_titles[5];

private:
    void CreateFonts();
    void FillPlaceholders();
    bool PhysicalSteps(double& stepX, double& stepY) const;
    // The tick label of `value`, "-" in front on the negative side of an axis.
    CString TickLabel(double value, int decimals, NumberFormatMode format, bool negative) const;
    void DrawXLabel(CDC* dc, int x, int y, double value, bool negative);
    void DrawYLabel(CDC* dc, int x, int y, double value, bool negative);
    void DrawPhysicalXLabel(CDC* dc, int x, int y, double value);
    void DrawPhysicalYLabel(CDC* dc, int x, int y, double value);
    // TextOut in the current alignment, kept inside the client area's width.
    void WriteLabel(CDC* dc, int x, int y, const CString& text) const;
    void DrawPhysicalXTick(CDC* dc, int x, double factor);
    void DrawPhysicalYTick(CDC* dc, int y, double factor);
    void DrawWorldLine(CDC* dc, double x1, double y1, double x2, double y2);
    // The x ticks and labels of the mathematical and polar modes, both sides of the origin.
    void DrawOriginXTicks(CDC* dc, double step, bool grid);
    void DrawPolarRays(CDC* dc, int innerRadius, int outerRadius);
    void DrawPolarAngleLabels(CDC* dc, int radius);
    void DrawSymbols(CDC* dc, const std::vector<POINT>& points);
    std::vector<POINT> CurveDevicePoints() const;
    // `distance` x `pixels` / `span`: a world distance in pixels along a physical axis. Near the
    // largest doubles the product would overflow, so there it divides first.
    static double PhysicalPixels(double distance, int pixels, double span);

    PlotSymbolPainter m_painter;
};

// Selects `logFont` into dc with its height, given in points as a negative number, turned into
// device units at the DC's resolution, and makes `colour` the text colour (6 stands for the
// window colour). Returns the font selected before, or null, selecting nothing, when the font
// cannot be made.
CFont* SelectFontInPoints(CDC* dc, const LOGFONTW* logFont, COLORREF colour, CFont* font);
