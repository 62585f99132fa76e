// The diagram's numbers: data ranges, widening, tick steps, plot areas, world-to-device transforms
// and the sampling of a formula through the parser.

#include "diagrams/D2KSys.h"
#include "diagrams/QArray.h"
#include "diagrams/tests/Canvas.h"

#include "engine/FormulaEngine.h"
#include "platform/base/ErrorCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// A diagram of the program's settings whose curve holds `ys` at x = xs.
std::unique_ptr<CD2KSys> DiagramWith(int mode, const std::vector<double>& xs, const std::vector<double>& ys)
{
    auto diagram = std::make_unique<CD2KSys>(RECT { 0, 0, 600, 400 });
    diagram->m_nMode = mode;
    for (size_t i = 0; i < xs.size(); ++i) {
        diagram->m_curveX[static_cast<INT_PTR>(i)] = xs[i];
        diagram->m_curveY[static_cast<INT_PTR>(i)] = ys[i];
    }
    diagram->m_nSamples = static_cast<int>(xs.size());
    return diagram;
}

CFormulaParser& Parser()
{
    CFormulaParser& parser = GetFormulaEngine().FormulaParser;
    for (int constant = 1; constant <= 7; ++constant)
        parser.SetFunctConst(constant, 1.0);
    return parser;
}

} // namespace

TEST(D2KSysRanges, TheSampledIntervalIsWidenedRoundedAndWidenedToZero)
{
    // x [0, 10] widens by 10 % to [-1, 11], then rounds out to the step 2; y [20, 30] widens by 5 %.
    const auto diagramOwner = DiagramWith(DiagramMathematical, { 0, 5, 10 }, { 20, 25, 30 });
    CD2KSys& diagram = *diagramOwner;
    diagram.UpdateRanges(false);
    EXPECT_EQ(diagram.m_xmin, -2);
    EXPECT_EQ(diagram.m_xmax, 12);
    EXPECT_EQ(diagram.m_ymin, 0);
    EXPECT_EQ(diagram.m_ymax, 32);
    EXPECT_EQ(diagram.m_labelDecimalsX, 0);

    // The polar mode does not widen, but still rounds and takes in 0.
    const auto polarOwner = DiagramWith(DiagramPolar, { 1, 10 }, { 3, 7 });
    CD2KSys& polar = *polarOwner;
    polar.UpdateRanges(false);
    EXPECT_EQ(polar.m_xmin, 0);
    EXPECT_EQ(polar.m_xmax, 10);
    EXPECT_EQ(polar.m_ymin, 0);
    EXPECT_EQ(polar.m_ymax, 7);
}

TEST(D2KSysRanges, EqualValuesGetAWidthOfOne)
{
    const auto diagramOwner = DiagramWith(DiagramPhysical, { 1, 2, 3 }, { 4, 4, 4 });
    CD2KSys& diagram = *diagramOwner;
    diagram.m_bNiceRounding = false;
    diagram.m_bIncludeZero = false;
    diagram.UpdateRanges(false);
    // [4, 5], widened by 5 % of its span on either side.
    EXPECT_DOUBLE_EQ(diagram.m_ymin, 3.95);
    EXPECT_DOUBLE_EQ(diagram.m_ymax, 5.05);
    EXPECT_EQ(diagram.m_labelDecimalsY, 4);
}

TEST(D2KSysRanges, PhysicalTickStepsFollowTheRangesDirection)
{
    CD2KSys diagram(RECT { 0, 0, 100, 100 });
    double stepX = 0, stepY = 0;
    diagram.ComputeTickSteps(5, 0, -5, 100, stepX, stepY);
    EXPECT_EQ(stepX, -2);
    EXPECT_EQ(stepY, 20);
    diagram.m_bAutoTickSteps = false;
    stepX = 0;
    stepY = -3;
    diagram.ComputeTickSteps(0, 0, 50, 10, stepX, stepY);
    EXPECT_EQ(stepX, 5); // a step of 0 becomes a tenth of the range
    EXPECT_EQ(stepY, 3);
}

TEST(D2KSysAreas, EachModeHasItsPlotAreaAndAnUnorderedRectangleGivesTheSame)
{
    struct Case {
        int mode;
        RECT expected;
    };
    for (Case c : { Case { DiagramMathematical, { 60, 30, 570, 370 } }, { DiagramPhysical, { 100, 20, 580, 350 } },
                    { DiagramPolar, { 125, 25, 475, 375 } }, { 3, { 0, 0, 600, 400 } } }) {
        SCOPED_TRACE(c.mode);
        for (RECT client : { RECT { 0, 0, 600, 400 }, RECT { 600, 400, 0, 0 } }) {
            Canvas canvas(600, 400);
            CD2KSys diagram(client);
            diagram.m_nMode = c.mode;
            diagram.DrawDiagram(canvas.Dc());
            EXPECT_EQ(CRect(diagram.m_plot), CRect(c.expected));
            EXPECT_EQ(diagram.m_plotWidth, c.expected.right - c.expected.left);
            EXPECT_EQ(diagram.m_plotHeight, c.expected.bottom - c.expected.top);
            if (c.mode == 3) {
                EXPECT_EQ(canvas.Count(RGB(255, 255, 255)), 600 * 400); // nothing at all
            }
        }
    }
}

TEST(D2KSysTransforms, WorldPointsLandWhereTheModesPutThem)
{
    Canvas canvas(600, 400);
    CD2KSys physical(RECT { 0, 0, 600, 400 });
    physical.m_nMode = DiagramPhysical;
    physical.m_xmin = -10;
    physical.m_xmax = 10;
    physical.m_ymin = 0;
    physical.m_ymax = 100;
    physical.m_nSamples = 0;
    physical.DrawDiagram(canvas.Dc());
    EXPECT_EQ(CPoint(physical.WorldToDevice(-10, 0)), CPoint(100, 350));
    EXPECT_EQ(CPoint(physical.WorldToDevice(10, 100)), CPoint(580, 20));
    EXPECT_EQ(CPoint(physical.WorldToDevice(0, 50)), CPoint(340, 185));
    // A reversed range runs the other way, its first end on the left, with a negative tick step.
    physical.m_bFixedRange = true;
    physical.m_xmin = 10;
    physical.m_xmax = -10;
    physical.Draw(canvas.Dc());
    EXPECT_EQ(physical.m_tickStepX, -5);
    EXPECT_EQ(CPoint(physical.WorldToDevice(10, 0)), CPoint(100, 350));
    EXPECT_EQ(CPoint(physical.WorldToDevice(-10, 100)), CPoint(580, 20));
    physical.m_bFixedRange = false;
    // Far outside, a point keeps its direction and stays where the drawing functions take it.
    EXPECT_EQ(physical.WorldToDevice(0, 1e300).y, 350 - 32000);

    // [-2, 12] x [0, 32] in 510 x 340 pixels, the y range rounded out once more to [0, 40]: the
    // origin 2 units in from the left, at the bottom.
    const auto mathematicalOwner = DiagramWith(DiagramMathematical, { 0, 5, 10 }, { 20, 25, 30 });
    CD2KSys& mathematical = *mathematicalOwner;
    mathematical.UpdateRanges(false);
    mathematical.DrawDiagram(canvas.Dc());
    EXPECT_DOUBLE_EQ(mathematical.m_pixelsPerUnitX, 510.0 / 14);
    EXPECT_DOUBLE_EQ(mathematical.m_pixelsPerUnitY, 340.0 / 40);
    EXPECT_EQ(mathematical.m_originX, 60 + 255 - CMathHelper::RoundToInt(5 * 510.0 / 14));
    EXPECT_EQ(mathematical.m_originY, 370);
    EXPECT_EQ(CPoint(mathematical.WorldToDevice(0, 0)), CPoint(mathematical.m_originX, 370));
    EXPECT_EQ(CPoint(mathematical.WorldToDevice(0, 40)), CPoint(mathematical.m_originX, 30));
}

// Whatever the data, the ranges come out finite and in order, the transforms divide by no 0 and
// the tick steps are positive: tiny, huge, negative, single-valued and mixed ranges.
TEST(D2KSysRanges, EveryRangeComesOutDrawable)
{
    struct Case {
        const char* name;
        std::vector<double> xs, ys;
    };
    const double big = 1e308;
    const Case cases[] = {
        { "tiny", { 0, 1e-310, 2e-310 }, { 1e-320, 2e-320, 3e-320 } },
        { "tiny away from 0", { 1, 1 + 1e-15 }, { 5, 5 + 4e-15 } },
        { "huge", { -1e300, 1e300 }, { 1e307, 1e308 } },
        { "span overflows", { -big, big }, { -big, big } },
        { "negative", { -50, -10 }, { -3e5, -1e5 } },
        { "one value", { 7, 7 }, { -2, -2 } },
        { "huge single value", { 1e20, 1e20 }, { 1e300, 1e300 } },
    };
    for (const Case& c : cases) {
        for (int mode : { DiagramMathematical, DiagramPhysical, DiagramPolar }) {
            SCOPED_TRACE(testing::Message() << c.name << ", mode " << mode);
            Canvas canvas(300, 200);
            const auto diagramOwner = DiagramWith(mode, c.xs, c.ys);
            CD2KSys& diagram = *diagramOwner;
            diagram.m_client = { 0, 0, 300, 200 };
            diagram.Draw(canvas.Dc());
            for (auto [min, max] : { std::pair { diagram.m_xmin, diagram.m_xmax }, { diagram.m_ymin, diagram.m_ymax } }) {
                EXPECT_TRUE(std::isfinite(min) && std::isfinite(max) && std::isfinite(max - min));
                EXPECT_LT(min, max);
            }
            if (mode == DiagramPhysical) {
                EXPECT_GT(diagram.m_tickStepX, 0);
                EXPECT_GT(diagram.m_tickStepY, 0);
                // The first tick of each axis, outside the frame's lower left corner.
                EXPECT_EQ(canvas.Pixel(diagram.m_plot.left, diagram.m_plot.bottom + 10), RGB(0, 0, 0));
                EXPECT_EQ(canvas.Pixel(diagram.m_plot.left - 10, diagram.m_plot.bottom), RGB(0, 0, 0));
            }
            if (mode != DiagramPhysical) {
                EXPECT_TRUE(std::isfinite(diagram.m_pixelsPerUnitX) && diagram.m_pixelsPerUnitX > 0);
                EXPECT_TRUE(std::isfinite(diagram.m_pixelsPerUnitY) && diagram.m_pixelsPerUnitY > 0);
            }
            // The ranges' corners land on the plot area, give or take the rounding of a pixel.
            const POINT low = diagram.WorldToDevice(diagram.m_xmin, diagram.m_ymin);
            const POINT high = diagram.WorldToDevice(diagram.m_xmax, diagram.m_ymax);
            EXPECT_GE(low.x, diagram.m_plot.left - 1);
            EXPECT_LE(low.y, diagram.m_plot.bottom + 1);
            EXPECT_LE(high.x, diagram.m_plot.right + 1);
            EXPECT_GE(high.y, diagram.m_plot.top - 1);
            EXPECT_LT(low.x, high.x);
            EXPECT_GT(low.y, high.y);
            EXPECT_GT(canvas.Count(RGB(0, 0, 0)), 0); // the axes are there
        }
    }
}

TEST(D2KSysSort, SortsEitherWayAndRefusesFewerThanTwo)
{
    CQArray<double, double> values;
    for (double v : { 3.0, -1.0, 8.0, 3.0, 0.5, -7.0 })
        values.Add(v);
    EXPECT_TRUE(values.Sort(true));
    EXPECT_EQ(std::vector<double>(values.GetData(), values.GetData() + 6), (std::vector<double> { -7, -1, 0.5, 3, 3, 8 }));
    EXPECT_TRUE(values.Sort(false));
    EXPECT_EQ(std::vector<double>(values.GetData(), values.GetData() + 6), (std::vector<double> { 8, 3, 3, 0.5, -1, -7 }));
    CQArray<double, double> one;
    one.Add(1);
    SetLastError(0);
    EXPECT_FALSE(one.Sort(true));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// ---- sampling

TEST(D2KSysSampling, SamplesThreeHundredPointsOverTheInterval)
{
    CD2KSys diagram(RECT { 0, 0, 600, 400 });
    diagram.SetPlotArea(0, 0, 600, 400, -3, 3);
    const CString formula = L" 2 * x ";
    EXPECT_EQ(diagram.Bestimmung_der_Funktionswerte(Parser(), formula), SamplingResult::Sampled);
    ASSERT_EQ(diagram.m_nSamples, 300);
    EXPECT_EQ(diagram.m_curveX[0], -3);
    EXPECT_EQ(diagram.m_curveX[299], 3);
    EXPECT_DOUBLE_EQ(diagram.m_curveX[150], -3 + 150 * (6.0 / 299));
    EXPECT_DOUBLE_EQ(diagram.m_curveY[150], 2 * diagram.m_curveX[150]);
    EXPECT_EQ(formula, CString(L" 2 * x ")); // the caller's text is not normalised

    // The constants are the parser's: A is 3 here.
    Parser().SetFunctConst(1, 3);
    diagram.SetPlotArea(0, 0, 600, 400, 0, 1);
    diagram.Bestimmung_der_Funktionswerte(GetFormulaEngine().FormulaParser, L"A*x");
    EXPECT_DOUBLE_EQ(diagram.m_curveY[299], 3);

    // An empty formula is the line y = 0.
    diagram.SetPlotArea(0, 0, 600, 400, 0, 1);
    diagram.Bestimmung_der_Funktionswerte(Parser(), L"");
    EXPECT_EQ(diagram.m_nSamples, 300);
    EXPECT_EQ(diagram.m_curveY[10], 0);
}

TEST(D2KSysSampling, DropsErrorsAndValuesThatAreNotFinite)
{
    CD2KSys diagram(RECT { 0, 0, 600, 400 });
    // Overflowing to infinity from x = 8.9 on.
    diagram.SetPlotArea(0, 0, 600, 400, -10, 10);
    diagram.Bestimmung_der_Funktionswerte(Parser(), L"EXP(x^3)");
    ASSERT_GT(diagram.m_nSamples, 200);
    ASSERT_LT(diagram.m_nSamples, 300);
    for (int i = 0; i < diagram.m_nSamples; ++i) {
        ASSERT_TRUE(std::isfinite(diagram.m_curveY[i])) << i;
        ASSERT_LT(diagram.m_curveX[i], 9);
    }
    Canvas canvas(600, 400);
    diagram.Draw(canvas.Dc());
    EXPECT_TRUE(std::isfinite(diagram.m_ymax));

    // Square roots of negative numbers and a division by zero are no points.
    diagram.SetPlotArea(0, 0, 600, 400, -1, 1);
    diagram.Bestimmung_der_Funktionswerte(Parser(), L"SQR(x)+1/(x-x)");
    EXPECT_EQ(diagram.m_nSamples, 0);
    diagram.SetPlotArea(0, 0, 600, 400, -1, 1);
    diagram.Bestimmung_der_Funktionswerte(Parser(), L"SQR(x)");
    ASSERT_GT(diagram.m_nSamples, 100);
    for (int i = 0; i < diagram.m_nSamples; ++i)
        ASSERT_GE(diagram.m_curveX[i], 0) << i;

    // A syntax error keeps nothing; the last y range stays.
    diagram.SetPlotArea(0, 0, 600, 400, -1, 1);
    diagram.m_ymin = -4;
    diagram.m_ymax = 4;
    EXPECT_EQ(diagram.Bestimmung_der_Funktionswerte(Parser(), L"SIN(x)#2"), SamplingResult::Sampled);
    EXPECT_EQ(diagram.m_nSamples, 0);
    diagram.UpdateRanges(false);
    EXPECT_EQ(diagram.m_ymin, -4);
    EXPECT_EQ(diagram.m_ymax, 4);
}

TEST(D2KSysSampling, AnIntervalWithoutDistinctPointsGivesNoCurveAndOrderedAxes)
{
    struct Case {
        double xa, xb;
        SamplingResult result;
        double xmin, xmax;
    };
    const double huge = 1.5e308;
    for (Case c : { Case { 2, 2, SamplingResult::EmptyInterval, 2, 2 }, { NAN, 1, SamplingResult::EmptyInterval, NAN, 1 },
                    { 1, 1 + 1e-14, SamplingResult::UnusableInterval, 1, 1 + 1e-14 },
                    { 1 + 1e-14, 1, SamplingResult::UnusableInterval, 1, 1 + 1e-14 },
                    { 0, 1e-322, SamplingResult::UnusableInterval, 0, 1e-322 },
                    { -huge, huge, SamplingResult::UnusableInterval, -huge, huge } }) {
        SCOPED_TRACE(testing::Message() << c.xa << " .. " << c.xb);
        CD2KSys diagram(RECT { 0, 0, 600, 400 });
        diagram.SetPlotArea(0, 0, 600, 400, c.xa, c.xb);
        EXPECT_EQ(diagram.Bestimmung_der_Funktionswerte(Parser(), L"x"), c.result);
        EXPECT_EQ(diagram.m_nSamples, 0);
        if (!std::isnan(c.xmin)) {
            EXPECT_EQ(diagram.m_xmin, c.xmin);
            EXPECT_EQ(diagram.m_xmax, c.xmax);
        }
        Canvas canvas(600, 400);
        diagram.Draw(canvas.Dc());
        EXPECT_GT(canvas.Count(RGB(0, 0, 0)), 0);
        EXPECT_EQ(canvas.Count(RGB(255, 0, 0)), 0);
    }
    // Narrow but still distinct: sampled.
    CD2KSys diagram(RECT { 0, 0, 600, 400 });
    diagram.SetPlotArea(0, 0, 600, 400, 1, 1 + 1e-12);
    EXPECT_EQ(diagram.Bestimmung_der_Funktionswerte(Parser(), L"x"), SamplingResult::Sampled);
    EXPECT_EQ(diagram.m_nSamples, 300);
}

// xa above xb is the same interval, given from its right end: the same samples, axes and curve.
TEST(D2KSysSampling, AnIntervalGivenFromRightToLeftDrawsTheSameCurve)
{
    for (int mode : { DiagramMathematical, DiagramPhysical, DiagramPolar }) {
        SCOPED_TRACE(testing::Message() << "mode " << mode);
        std::vector<COLORREF> pictures[2];
        for (int reversed : { 0, 1 }) {
            CD2KSys diagram(RECT { 0, 0, 600, 400 });
            diagram.SetPlotArea(0, 0, 600, 400, reversed ? 10 : -10, reversed ? -10 : 10);
            EXPECT_EQ(diagram.Bestimmung_der_Funktionswerte(Parser(), L"SIN(x)*3"), SamplingResult::Sampled);
            ASSERT_EQ(diagram.m_nSamples, 300);
            EXPECT_EQ(diagram.m_xmin, -10);
            EXPECT_EQ(diagram.m_xmax, 10);
            EXPECT_EQ(diagram.m_curveX[0], -10);
            EXPECT_EQ(diagram.m_curveX[299], 10);
            diagram.m_nMode = mode;
            Canvas canvas(600, 400);
            diagram.Draw(canvas.Dc());
            pictures[reversed] = canvas.Pixels();
            EXPECT_GT(std::count(pictures[reversed].begin(), pictures[reversed].end(), RGB(255, 0, 0)), 100);
        }
        EXPECT_TRUE(pictures[0] == pictures[1]);
    }
}

// A window smaller than a mode's margins leaves an empty or inverted plot area: the chart is still
// drawn to its end, with finite scales.
TEST(D2KSysAreas, AClientSmallerThanTheMarginsStillDraws)
{
    for (int mode : { DiagramMathematical, DiagramPhysical, DiagramPolar }) {
        for (SIZE size : { SIZE { 0, 0 }, SIZE { 1, 1 }, SIZE { 40, 20 }, SIZE { 90, 60 } }) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", " << size.cx << " x " << size.cy);
            Canvas canvas(100, 100);
            CD2KSys diagram(RECT { 0, 0, 100, 100 });
            diagram.SetPlotArea(0, 0, size.cx, size.cy, -3, 3);
            diagram.Bestimmung_der_Funktionswerte(Parser(), L"x^2");
            diagram.m_nMode = mode;
            diagram.Draw(canvas.Dc());
            EXPECT_TRUE(std::isfinite(diagram.m_pixelsPerUnitX) && std::isfinite(diagram.m_pixelsPerUnitY));
        }
    }
}
