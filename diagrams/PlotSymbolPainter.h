#pragma once
// PlotSymbolPainter: draws one plot symbol centred on a device point (the 28 PlotSymbolKinds:
// crosses, squares, diamonds, triangles, circles, stars, half-filled and checkered shapes), in a
// colour, size and line width, outlined or filled. The diagram marks its point series with it and
// draws its ticks, axes and frames with its line primitive. Each symbol selects its own pen and
// brush and puts the device context's back.

#include "platform/base/Collections.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/mfc/GdiObjects.h"

#include <vector>

class CDC;

// The plot-symbol kinds, as the diagram keeps them in its symbol kind. Kinds from
// PlotSymbolKindCount on draw nothing.
enum PlotSymbolKind : int {
    SymbolDiagonalCross,
    SymbolUprightCross,
    SymbolSquare,
    SymbolDiamond,
    SymbolTriangleDown,
    SymbolTriangleUp,
    SymbolTriangleLeft,
    SymbolTriangleRight,
    SymbolRightTriangle, // the right angle at the lower left
    SymbolDot,           // one pixel; with thicker lines a small diagonal cross
    SymbolCircle,
    SymbolRingedCircle,   // white inside, with arcs facing left
    SymbolCorneredSquare, // white inside, with corner marks at the lower left
    SymbolFourPointedStar,
    SymbolFivePointedStar,
    SymbolPentagon,
    // A square with one half covered by lines.
    SymbolSquareUpperHalf,
    SymbolSquareLowerHalf,
    SymbolSquareLeftHalf,
    SymbolSquareRightHalf,
    // A diamond with one half filled.
    SymbolDiamondUpperHalf,
    SymbolDiamondLowerHalf,
    SymbolDiamondLeftHalf,
    SymbolDiamondRightHalf,
    // A square with marked parts.
    SymbolCheckerUpperLeft,  // the upper-left and lower-right quarters
    SymbolCheckerUpperRight, // the upper-right and lower-left quarters
    SymbolBowTie,
    SymbolHourglass,
    PlotSymbolKindCount
};

// Whether a kind is white inside whatever the filled switch says.
constexpr bool IsAlwaysWhiteInside(int kind) { return kind == SymbolRingedCircle || kind == SymbolCorneredSquare; }

class PlotSymbolPainter {
public:
    static constexpr int MinSize = 3, MaxSize = 50, MaxLineWidth = 10;
    static constexpr int MaxCorners = 100;

    PlotSymbolPainter();

    // Sets the style, draws the shape at (x, y) and restores the DC's pen and brush.
    void DrawSymbol(CDC* dc, float x, float y, int kind, int size, COLORREF colour, int lineWidth, bool filled,
                    bool whiteFill, bool thicknessFollowsScale, float scaleX, float scaleY);
    // Clamps and keeps the style, then selects its pen and brush.
    void SetStyle(CDC* dc, int kind, int size, COLORREF colour, int lineWidth, bool filled, bool whiteFill,
                  bool thicknessFollowsScale, float scaleX, float scaleY);
    void DrawShape(CDC* dc, int kind, float x, float y);
    void RestoreStyle(CDC* dc);

    // ---- primitives, in integer device coordinates
    static void Line(CDC* dc, int x1, int y1, int x2, int y2);
    // With the current brush, one pixel wider on the larger coordinate of each pair, so that both
    // end points are covered.
    static void FilledRect(CDC* dc, int x1, int y1, int x2, int y2);
    static void HollowCircle(CDC* dc, int x, int y, int radius);
    static void FilledCircle(CDC* dc, int x, int y, int radius);
    // An arc of `radius` round (x, y) from `startDegrees` to `endDegrees`, counter-clockwise.
    static void ArcDeg(CDC* dc, int x, int y, int radius, double startDegrees, double endDegrees);
    void PolylineOf(CDC* dc, int count);
    void PolygonOf(CDC* dc, int count);

    // ---- the style of the current symbol (after clamping)
    int Size() const { return m_size; }
    int LineWidth() const { return m_lineWidth; }
    int OutlineThickness() const { return m_thickness; }

private:
    void SetCorner(int index, int x, int y);
    std::vector<POINT> Corners(int count) const;
    // The closed polygon through `corners`, filled or outlined with thickening.
    void Polygon(CDC* dc, const POINT* corners, int count, bool filled);
    void OutlinedPolygon(CDC* dc, const POINT* corners, int count);
    void Square(CDC* dc, int cx, int cy, int hx, int hy);
    void Circle(CDC* dc, int cx, int cy, int radius);
    void Cross(CDC* dc, int kind, int cx, int cy, int hx, int hy);
    void HatchedSquare(CDC* dc, int kind, int cx, int cy, int hx, int hy);
    void HalfDiamond(CDC* dc, int kind, int cx, int cy, int hx, int hy);
    void MarkedSquare(CDC* dc, int kind, int cx, int cy, int hx, int hy);
    void RingedCircle(CDC* dc, int cx, int cy, int hx);
    void CorneredSquare(CDC* dc, int cx, int cy, int hx, int hy);
    void Star(CDC* dc, int cx, int cy, int hx, int hy, int points);
    void Pentagon(CDC* dc, int cx, int cy, int hx);
    // Fills `corners` with a pen and brush of `colour`, the symbol's own put back afterwards.
    void FillIn(CDC* dc, const POINT* corners, int count, COLORREF colour);

    CPen m_pen;
    CBrush m_brush;
    CPen* m_previousPen = nullptr;
    CBrush* m_previousBrush = nullptr;
    bool m_filled = false;
    bool m_whiteFill = false;
    int m_lineWidth = 1;
    int m_size = 10;
    COLORREF m_colour = 0;
    float m_scaleX = 1.0f, m_scaleY = 1.0f;
    int m_thickness = 1;
    CDWordArray m_cornersX, m_cornersY;
};
