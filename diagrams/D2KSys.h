#pragma once
// CD2KSys: the program's coordinate diagram. Its numbers (mode, data, ranges, ticks, transforms)
// are its DiagramModel; to them it adds the sampling of a formula of x over an interval, the look
// (pens, colours, symbols, label font) and the painting of the diagram in one of three modes:
// mathematical (axes through the origin with arrowheads), physical (a white framed box with outer
// ticks) or polar (circles and rays round the origin). Sampling and the curve are in
// D2KSysCurve.cpp, axes, grids and labels in D2KSysAxes.cpp.
//
// Every drawing step selects its own pens, brushes and fonts and puts the previous ones back.

#include "diagrams/DiagramModel.h"
#include "diagrams/PlotSymbolPainter.h"
#include "platform/base/RunTimeClass.h"

#include <vector>

class CDC;
class CFont;
class CFormulaParser;

// What became of a sampling: the curve, or why the interval gave none.
enum class SamplingResult {
    Sampled,          // the curve holds the samples that evaluated to finite values
    EmptyInterval,    // xa = xb (or not a number)
    UnusableInterval, // too narrow (or too wide) for distinct, finite sample points
};

class CD2KSys : public CObject, public DiagramModel {
    DECLARE_DYNCREATE(CD2KSys)
public:
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
    // range given from right to left (xmin above xmax) is the same range and is put in order. A
    // sample with an error or a value that is not finite is dropped. An unusable interval leaves
    // the curve empty, so that only the axes are drawn.
    SamplingResult Bestimmung_der_Funktionswerte(CFormulaParser& parser, const CString& formula);
    // The model's range update, unless `onlyWithAxes` is set and the axes are not drawn.
    void UpdateRanges(bool onlyWithAxes);

    // ---- drawing
    void DrawDiagram(CDC* dc);
    void DrawMathematical(CDC* dc);
    void DrawPhysical(CDC* dc, bool grid, bool xAxis, bool yAxis, bool background, bool frame);
    void DrawPolar(CDC* dc);
    void DrawCurve(CDC* dc);
    void DrawPoints(CDC* dc);

    RECT m_client {};

    // ---- what is drawn
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
    int m_symbolKind = SymbolSquare, m_symbolSize = 10, m_symbolLineWidth = 1;
    double m_symbolScaleX = 1.0, m_symbolScaleY = 1.0;
    LOGFONTW m_labelFont {};
    COLORREF m_labelTextColour = 0;
    CString m_titles[5];

private:
    void CreateFonts();
    // step: the value from one labelled tick to the next, whose decimals the label shows.
    void DrawXLabel(CDC* dc, int x, int y, double value, bool negative, double step);
    void DrawYLabel(CDC* dc, int x, int y, double value, bool negative, double step);
    void DrawPhysicalXLabel(CDC* dc, int x, int y, double value, double step);
    void DrawPhysicalYLabel(CDC* dc, int x, int y, double value, double step);
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

    PlotSymbolPainter m_painter;
};

// Selects `logFont` into dc with its height, given in points as a negative number, turned into
// device units at the DC's resolution, and makes `colour` the text colour (6 stands for the
// window colour). Returns the font selected before, or null, selecting nothing, when the font
// cannot be made.
CFont* SelectFontInPoints(CDC* dc, const LOGFONTW* logFont, COLORREF colour, CFont* font);
