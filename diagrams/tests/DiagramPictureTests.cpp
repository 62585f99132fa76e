// The diagram's pictures: the three modes with a sampled curve, and every plot-symbol kind.

#include "diagrams/D2KSys.h"
#include "diagrams/tests/Canvas.h"

#include "engine/FormulaEngine.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF Black = RGB(0, 0, 0), White = RGB(255, 255, 255), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255);
constexpr COLORREF Grey = RGB(120, 120, 120);

// `formula` over [xa, xb] drawn by the program's diagram into a 400 x 300 canvas.
void DrawChart(Canvas& canvas, int mode, const wchar_t* formula, double xa = -12, double xb = 12)
{
    CD2KSys diagram(RECT { 0, 0, 100, 100 });
    diagram.SetPlotArea(0, 0, 400, 300, xa, xb);
    diagram.Bestimmung_der_Funktionswerte(GetFormulaEngine().FormulaParser, formula);
    diagram.m_nMode = mode;
    diagram.Draw(canvas.Dc());
}

} // namespace

TEST(DiagramPicture, MathematicalAxesWithArrowsTicksAndLabels)
{
    Canvas canvas(400, 300);
    DrawChart(canvas, DiagramMathematical, L"SIN(x)");
    EXPECT_TRUE(canvas.Matches("chart_mathematical_sin.png"));
    // x [-12, 12] widens to [-14.4, 14.4] and rounds to [-15, 15]; the origin is in the middle of
    // the plot (60..370 x 30..270), the arrowheads' tips 20 pixels beyond it.
    EXPECT_EQ(canvas.Pixel(215, 100), Black);
    EXPECT_EQ(canvas.Pixel(100, 150), Black);
    EXPECT_EQ(canvas.Pixel(389, 150), Black);
    EXPECT_EQ(canvas.Pixel(391, 150), White);
    EXPECT_EQ(canvas.Pixel(215, 11), Black);
    EXPECT_EQ(canvas.Pixel(215, 9), White);
    EXPECT_GT(canvas.Count(Red), 300);
}

TEST(DiagramPicture, PhysicalFrameTicksAndLabels)
{
    Canvas canvas(400, 300);
    DrawChart(canvas, DiagramPhysical, L"SIN(x)");
    EXPECT_TRUE(canvas.Matches("chart_physical_sin.png"));
    // The frame is two pixels wide round the white plot area (100..380 x 20..250).
    for (POINT p : { POINT { 100, 100 }, { 101, 100 }, { 380, 100 }, { 379, 100 }, { 200, 20 }, { 200, 21 }, { 200, 250 }, { 200, 249 } })
        EXPECT_EQ(canvas.Pixel(p.x, p.y), Black) << p.x << ", " << p.y;
    EXPECT_EQ(canvas.Pixel(105, 25), White);
}

TEST(DiagramPicture, PolarCirclesRaysAndTurnedLabels)
{
    Canvas canvas(400, 300);
    DrawChart(canvas, DiagramPolar, L"SIN(x)");
    EXPECT_TRUE(canvas.Matches("chart_polar_sin.png"));
    EXPECT_GT(canvas.Count(Grey), 500); // the circles
}

TEST(DiagramPicture, AFormulaWithoutAValueDrawsTheAxesOnly)
{
    for (int mode : { DiagramMathematical, DiagramPhysical, DiagramPolar }) {
        SCOPED_TRACE(mode);
        Canvas canvas(400, 300);
        DrawChart(canvas, mode, L"LN(x-100)");
        // Only the physical mode's dotted zero line at x = 0 is red, at most one pixel per row.
        EXPECT_LE(canvas.Count(Red), mode == DiagramPhysical ? 300 / 2 : 0);
        EXPECT_GT(canvas.Count(Black), 100);
    }
}

// The graph page keeps one diagram: after an interval where the formula has no value, the axis of
// the next interval without a value gets the labels of its own range, as a fresh diagram does.
TEST(DiagramPicture, AnAxisWithoutPointsGetsTheLabelsOfItsOwnRange)
{
    for (int mode : { DiagramMathematical, DiagramPhysical, DiagramPolar }) {
        SCOPED_TRACE(mode);
        CD2KSys reused(RECT { 0, 0, 100, 100 }), fresh(RECT { 0, 0, 100, 100 });
        reused.m_nMode = fresh.m_nMode = mode;
        Canvas first(400, 300), second(400, 300), reference(400, 300);
        auto draw = [&](CD2KSys& diagram, Canvas& canvas, const wchar_t* formula, double xa, double xb) {
            diagram.SetPlotArea(0, 0, 400, 300, xa, xb);
            diagram.Bestimmung_der_Funktionswerte(GetFormulaEngine().FormulaParser, formula);
            diagram.Draw(canvas.Dc());
        };
        draw(reused, first, L"SIN(x)", -12, 12);
        draw(reused, second, L"LN(x-100)", 0, 1.2);
        draw(fresh, reference, L"x", 0, 1.2);
        EXPECT_GT(fresh.m_labelDecimalsX, 0);
        EXPECT_EQ(reused.m_labelDecimalsX, fresh.m_labelDecimalsX);
        EXPECT_EQ(reused.m_xmin, fresh.m_xmin);
        EXPECT_EQ(reused.m_xmax, fresh.m_xmax);
        // Drawn again without sampling: the same axis, not one widened once more.
        Canvas again(400, 300);
        reused.Draw(again.Dc());
        EXPECT_EQ(again.Pixels(), second.Pixels());
    }
}

// Labels of wide values (many decimals, large magnitudes) are moved into the chart's area rather
// than cut at its edge: nothing is drawn beside the area given to the chart.
TEST(DiagramPicture, WideLabelsStayInsideTheChartsArea)
{
    constexpr int Margin = 40;
    for (const wchar_t* formula : { L"x*10^17", L"x*0.0000001", L"-x*123456789012" }) {
        for (int mode : { DiagramMathematical, DiagramPhysical, DiagramPolar }) {
            SCOPED_TRACE(testing::Message() << CString(formula).ToUtf8() << ", mode " << mode);
            Canvas canvas(400 + 2 * Margin, 300);
            CD2KSys diagram(RECT { 0, 0, 100, 100 });
            diagram.SetPlotArea(Margin, 0, 400 + Margin, 300, 0.3, 7);
            diagram.Bestimmung_der_Funktionswerte(GetFormulaEngine().FormulaParser, formula);
            ASSERT_EQ(diagram.m_nSamples, CD2KSys::SampleCount);
            diagram.m_nMode = mode;
            diagram.Draw(canvas.Dc());
            int outside = 0;
            for (int y = 0; y < 300; ++y)
                for (int x = 0; x < Margin; ++x)
                    outside += (canvas.Pixel(x, y) != White) + (canvas.Pixel(400 + Margin + x, y) != White);
            EXPECT_EQ(outside, 0);
        }
    }
}

// Ticks 2.5 apart are labelled 2.5, 5, 7.5, 10, 12.5 on every axis of every mode, though the
// axis's own decimals (of a step of 5 or 10) are none.
TEST(DiagramPicture, TickLabelsShowTheDecimalsOfTheirStep)
{
    const struct {
        int mode;
        double xb;
        const char* picture;
    } charts[] = {
        { DiagramMathematical, 16, "chart_mathematical_step_2_5.png" },
        { DiagramPhysical, 16, "chart_physical_step_2_5.png" },
        { DiagramPolar, 22, "chart_polar_step_2_5.png" },
    };
    for (const auto& chart : charts) {
        SCOPED_TRACE(chart.picture);
        Canvas canvas(400, 300);
        CD2KSys diagram(RECT { 0, 0, 100, 100 });
        diagram.SetPlotArea(0, 0, 400, 300, 0, chart.xb);
        diagram.Bestimmung_der_Funktionswerte(GetFormulaEngine().FormulaParser, L"x");
        diagram.m_nMode = chart.mode;
        // The physical frame's steps as the user may set them.
        diagram.m_bAutoTickSteps = chart.mode != DiagramPhysical;
        diagram.m_tickStepX = diagram.m_tickStepY = 2.5;
        diagram.Draw(canvas.Dc());
        EXPECT_EQ(diagram.m_labelDecimalsX, 0);
        EXPECT_TRUE(canvas.Matches(chart.picture));
    }
}

TEST(DiagramPicture, TheSameModeTwiceDrawsTheSamePicture)
{
    Canvas first(400, 300), second(400, 300);
    DrawChart(first, DiagramPolar, L"x^2");
    DrawChart(second, DiagramPolar, L"x^2");
    EXPECT_EQ(first.Pixels(), second.Pixels());
}

TEST(DiagramPicture, ThePointSeriesWithSymbolsDropLinesAndAPolyline)
{
    Canvas canvas(400, 300);
    CD2KSys diagram(RECT { 0, 0, 400, 300 });
    diagram.m_nMode = DiagramPhysical;
    diagram.m_bDrawPoints = true;
    diagram.m_bDrawCurve = false;
    diagram.m_bDropLinesX = diagram.m_bDropLinesY = true;
    diagram.m_bWhiteFill = false;
    diagram.m_bRangeFromPoints = true;
    diagram.Draw(canvas.Dc());
    EXPECT_TRUE(canvas.Matches("chart_point_series.png"));
    // Each of the ten points (x = 1..10, y = 10..100) has its filled square in the symbol colour.
    for (int i = 1; i <= 10; ++i) {
        const POINT p = diagram.WorldToDevice(i, 10 * i);
        EXPECT_EQ(canvas.Pixel(p.x + 3, p.y + 3), Blue) << i;
    }
}

// ---- plot symbols

namespace {

// Every kind, seven to a row, 40 pixels apart, size 20.
void DrawAllKinds(Canvas& canvas, bool filled, bool whiteFill, int lineWidth)
{
    PlotSymbolPainter painter;
    for (int kind = 0; kind < PlotSymbolKindCount; ++kind)
        painter.DrawSymbol(canvas.Dc(), 20.0f + 40 * (kind % 7), 20.0f + 40 * (kind / 7), kind, 20, Blue, lineWidth, filled,
                           whiteFill, true, 1.0f, 1.0f);
}

} // namespace

TEST(PlotSymbols, EveryKindOutlinedFilledAndWhiteFilled)
{
    struct Picture {
        bool filled, whiteFill;
        int lineWidth;
        const char* name;
    };
    for (Picture picture : { Picture { false, false, 1, "symbols_outlined.png" }, { true, false, 1, "symbols_filled.png" },
                             { true, true, 3, "symbols_white_thick.png" } }) {
        SCOPED_TRACE(picture.name);
        Canvas canvas(280, 160);
        DrawAllKinds(canvas, picture.filled, picture.whiteFill, picture.lineWidth);
        EXPECT_TRUE(canvas.Matches(picture.name));
    }
}

TEST(PlotSymbols, StyleIsClamped)
{
    struct Case {
        int size, lineWidth, expectedSize, expectedWidth;
    };
    for (Case c : { Case { 1, 1, 3, 1 }, { 60, 1, 50, 1 }, { 10, 5, 10, 3 }, { 10, 3, 10, 3 }, { 50, 40, 50, 10 }, { 20, 0, 20, 1 } }) {
        SCOPED_TRACE(testing::Message() << c.size << ", " << c.lineWidth);
        Canvas canvas(10, 10);
        PlotSymbolPainter painter;
        painter.SetStyle(canvas.Dc(), 2, c.size, Blue, c.lineWidth, false, false, true, 2.0f, 1.0f);
        EXPECT_EQ(painter.Size(), c.expectedSize);
        EXPECT_EQ(painter.LineWidth(), c.expectedWidth);
        EXPECT_EQ(painter.OutlineThickness(), 2 * c.expectedWidth);
        painter.RestoreStyle(canvas.Dc());
    }
    // Drawn, a size of 1 is a square of size 3 (half size 2, so 5 pixels wide) and a size of 60 one
    // of size 50.
    Canvas small(20, 20), large(80, 80);
    PlotSymbolPainter painter;
    painter.DrawSymbol(small.Dc(), 10, 10, 2, 1, Blue, 1, true, false, true, 1, 1);
    EXPECT_EQ(small.Count(White), 20 * 20 - 5 * 5);
    painter.DrawSymbol(large.Dc(), 40, 40, 2, 60, Blue, 1, true, false, true, 1, 1);
    EXPECT_EQ(large.Count(White), 80 * 80 - 51 * 51);
}

TEST(PlotSymbols, TheSinglePixelTheNothingAndTheAlwaysWhiteKinds)
{
    Canvas canvas(60, 20);
    PlotSymbolPainter painter;
    painter.DrawSymbol(canvas.Dc(), 10, 10, 9, 10, Blue, 1, true, false, true, 1, 1);
    EXPECT_EQ(canvas.Count(Blue), 1);
    EXPECT_EQ(canvas.Pixel(10, 10), Blue);

    HGDIOBJ pen = GetCurrentObject(*canvas.Dc(), OBJ_PEN), brush = GetCurrentObject(*canvas.Dc(), OBJ_BRUSH);
    painter.DrawSymbol(canvas.Dc(), 30, 10, 28, 10, Blue, 1, true, false, true, 1, 1);
    EXPECT_EQ(canvas.Count(Blue), 1);
    EXPECT_EQ(GetCurrentObject(*canvas.Dc(), OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(*canvas.Dc(), OBJ_BRUSH), brush);

    for (int kind : { 11, 12 }) {
        Canvas filled(40, 40);
        painter.DrawSymbol(filled.Dc(), 20, 20, kind, 24, Blue, 1, true, false, true, 1, 1);
        EXPECT_EQ(filled.Pixel(24, 16), White) << kind; // inside
        EXPECT_EQ(filled.Pixel(20, 8), Blue) << kind;   // on the outline
    }
}
