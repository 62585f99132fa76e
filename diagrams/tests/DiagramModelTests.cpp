// The diagram's model on its own, without a window or a device context: world-to-device transforms,
// the ticks of every axis with their values and labels, and scales that stay finite.

#include "diagrams/DiagramModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The model of a diagram in `mode` with the given ranges, laid out in `client`.
DiagramModel LaidOut(int mode, RECT client, double xmin, double xmax, double ymin, double ymax)
{
    DiagramModel model;
    model.m_nMode = mode;
    model.m_xmin = xmin;
    model.m_xmax = xmax;
    model.m_ymin = ymin;
    model.m_ymax = ymax;
    model.ComputeTickSteps(xmin, ymin, xmax, ymax, model.m_tickStepX, model.m_tickStepY);
    EXPECT_TRUE(model.LayOut(client));
    return model;
}

// Mathematical: the plot 60..560 x 30..330 shows [-10, 40] x [-10, 20] at 10 pixels per unit.
DiagramModel Mathematical() { return LaidOut(DiagramMathematical, { 0, 0, 590, 360 }, -10, 40, -10, 20); }
// Physical: the plot 100..600 x 20..320 shows [0, 50] x [-10, 20]; tick steps 10 and 5.
DiagramModel Physical() { return LaidOut(DiagramPhysical, { 0, 0, 620, 370 }, 0, 50, -10, 20); }
// Polar: the square plot 50..350 x 25..325 shows [-10, 20] on both axes at 10 pixels per unit.
DiagramModel Polar() { return LaidOut(DiagramPolar, { 0, 0, 400, 350 }, -10, 20, -10, 20); }

struct Tick {
    int position;
    double value;
    bool negative, labelled;
    bool operator==(const Tick&) const = default;
};

std::vector<Tick> Majors(const std::vector<AxisTick>& ticks)
{
    std::vector<Tick> majors;
    for (const AxisTick& tick : ticks)
        majors.push_back({ tick.position, tick.value, tick.negative, tick.labelled });
    return majors;
}

void PrintTo(const Tick& tick, std::ostream* out)
{
    *out << "{" << tick.position << ", " << tick.value << (tick.negative ? ", -" : "") << (tick.labelled ? ", labelled}" : "}");
}

} // namespace

TEST(DiagramModelTransforms, WorldPointsLandWhereEachModePutsThem)
{
    struct Case {
        const char* name;
        DiagramModel model;
        double x, y;
        POINT expected;
    };
    DiagramModel reversed = Physical();
    reversed.m_xmin = 50;
    reversed.m_xmax = 0;
    const Case cases[] = {
        { "mathematical origin", Mathematical(), 0, 0, { 160, 230 } },
        { "mathematical corners", Mathematical(), -10, -10, { 60, 330 } },
        { "mathematical far corner", Mathematical(), 40, 20, { 560, 30 } },
        { "mathematical half pixel, away from 0", Mathematical(), 0.05, -0.05, { 161, 231 } },
        { "mathematical far outside, held", Mathematical(), 1e300, -1e300, { 32000, 32000 } },
        { "physical lower left", Physical(), 0, -10, { 100, 320 } },
        { "physical upper right", Physical(), 50, 20, { 600, 20 } },
        { "physical middle", Physical(), 25, 5, { 350, 170 } },
        { "physical far outside, held", Physical(), -1e300, 1e300, { 100 - 32000, 320 - 32000 } },
        { "physical ends of the widest doubles", Physical(), 1.7e308, -1.7e308, { 100 + 32000, 320 + 32000 } },
        { "physical reversed x range", reversed, 50, -10, { 100, 320 } },
        { "physical reversed x range, other end", reversed, 0, -10, { 600, 320 } },
        { "polar origin", Polar(), 0, 0, { 150, 225 } },
        { "polar point", Polar(), -10, 10, { 50, 125 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const POINT device = c.model.WorldToDevice(c.x, c.y);
        EXPECT_EQ(device.x, c.expected.x);
        EXPECT_EQ(device.y, c.expected.y);
    }
}

TEST(DiagramModelTicks, AxesThroughTheOriginTickOutFromItOnBothSides)
{
    const DiagramModel model = Mathematical();
    // x: 50 units in 500 pixels, aimed at 10 ticks: a step of 5. The tick at 0 comes once, unlabelled.
    ASSERT_EQ(model.OriginStepX(), 5);
    const std::vector<Tick> x { { 160, 0, false, false }, { 210, 5, false, true },  { 260, 10, false, true },
                                { 310, 15, false, true }, { 360, 20, false, true }, { 410, 25, false, true },
                                { 460, 30, false, true }, { 510, 35, false, true }, { 560, 40, false, true },
                                { 110, 5, true, true },   { 60, 10, true, true } };
    EXPECT_EQ(Majors(model.OriginTicksX(model.OriginStepX())), x);
    // y: 30 units in 300 pixels: 3 rounds up to the nice step 5; upward first, then downward.
    ASSERT_EQ(model.OriginStepY(), 5);
    const std::vector<Tick> y { { 230, 0, false, false }, { 180, 5, false, true }, { 130, 10, false, true },
                                { 80, 15, false, true },  { 30, 20, false, true }, { 280, 5, true, true },
                                { 330, 10, true, true } };
    EXPECT_EQ(Majors(model.OriginTicksY(model.OriginStepY())), y);

    for (double step : { 0.0, -5.0, std::nan(""), HUGE_VAL })
        EXPECT_TRUE(model.OriginTicksX(step).empty()) << step;
    // However small the step, the list ends.
    EXPECT_EQ(model.OriginTicksX(1e-9).size(), 2u * DiagramModel::MaxTicks + 1);
}

TEST(DiagramModelTicks, PhysicalEdgesTickFromTheRangesStartWithTheirMinorTicks)
{
    DiagramModel model = Physical();
    ASSERT_EQ(model.m_tickStepX, 10);
    ASSERT_EQ(model.m_tickStepY, 5);
    // 100 pixels between the x ticks, 50 between the y ticks, from the lower left corner.
    const std::vector<Tick> x { { 100, 0, false, true },  { 200, 10, false, true }, { 300, 20, false, true },
                                { 400, 30, false, true }, { 500, 40, false, true }, { 600, 50, false, true } };
    const std::vector<AxisTick> ticksX = model.PhysicalTicksX();
    EXPECT_EQ(Majors(ticksX), x);
    EXPECT_EQ(ticksX[0].minors, (std::vector<int> { 110, 120, 130, 140, 150, 160, 170, 180, 190 }));
    EXPECT_TRUE(ticksX.back().minors.empty()); // none beyond the right edge
    const std::vector<AxisTick> ticksY = model.PhysicalTicksY();
    EXPECT_EQ(ticksY.size(), 7u);
    EXPECT_EQ(ticksY[0].position, 320);
    EXPECT_EQ(ticksY[0].value, -10);
    EXPECT_EQ(ticksY[0].minors, (std::vector<int> { 315, 310, 305, 300, 295, 290, 285, 280, 275 }));
    EXPECT_EQ(ticksY[6].position, 20);
    EXPECT_EQ(ticksY[6].value, 20);

    struct Case {
        const char* name;
        int every;
        std::vector<bool> labelled;
    };
    for (const Case& c : { Case { "every other", 2, { true, false, true, false, true, false } },
                           Case { "every third", 3, { true, false, false, true, false, false } },
                           Case { "0 as 1", 0, { true, true, true, true, true, true } } }) {
        SCOPED_TRACE(c.name);
        model.m_labelEveryX = c.every;
        std::vector<bool> labelled;
        for (const AxisTick& tick : model.PhysicalTicksX())
            labelled.push_back(tick.labelled);
        EXPECT_EQ(labelled, c.labelled);
    }
    model.m_minorSubdivisionsX = 4;
    EXPECT_EQ(model.PhysicalTicksX()[0].minors, (std::vector<int> { 125, 150, 175 }));

    // A tick step that gives no usable pixel distance on either axis leaves both edges bare.
    for (double step : { 0.0, std::nan(""), -5.0 }) {
        SCOPED_TRACE(step);
        DiagramModel bare = Physical();
        bare.m_tickStepY = step;
        EXPECT_TRUE(bare.PhysicalTicksX().empty());
        EXPECT_TRUE(bare.PhysicalTicksY().empty());
    }
}

TEST(DiagramModelTicks, PolarCirclesReachTheFarthestEdgeAndRaysEveryTenDegrees)
{
    DiagramModel model = Polar();
    EXPECT_EQ(model.PolarOuterRadius(), 200);
    ASSERT_EQ(model.OriginStepX(), 5);
    const std::vector<AxisTick> circles = model.PolarCircles(model.OriginStepX());
    std::vector<int> radii;
    for (const AxisTick& circle : circles)
        radii.push_back(circle.position);
    EXPECT_EQ(radii, (std::vector<int> { 50, 100, 150, 200 }));
    EXPECT_EQ(circles[1].minors, (std::vector<int> { 55, 60, 65, 70, 75, 80, 85, 90, 95 }));
    EXPECT_EQ(model.PolarRayAngles(), (std::vector<int> { 10, 20, 30, 40, 50, 60, 70, 80 }));
    model.m_tickCountY = 15;
    EXPECT_EQ(model.PolarRayAngles(), (std::vector<int> { 15, 30, 45, 60, 75 }));
    model.m_tickCountY = 0;
    EXPECT_TRUE(model.PolarRayAngles().empty());
}

TEST(DiagramModelTicks, LabelsReadTheValueInTheAxissDecimals)
{
    DiagramModel model;
    struct Case {
        double value;
        int decimals;
        bool negative;
        const wchar_t* x;
        double step = 0;
    };
    const Case cases[] = {
        { 10, 0, false, L"10" }, { 2.5, 1, false, L"2.5" }, { 2.5, 1, true, L"-2.5" }, { 0.125, 3, false, L"0.125" },
        // Given the step, a label shows the decimals its value needs, at least the axis's.
        { 12.5, 0, false, L"12.5", 2.5 }, { 7.5, 0, true, L"-7.5", 2.5 }, { 10, 0, false, L"10", 2.5 },
        { 0.75, 0, false, L"0.75", 0.25 }, { 0.1 + 0.2, 0, false, L"0.3", 0.1 }, { 50, 0, false, L"50", 25 },
        { 1, 2, false, L"1.00", 0.25 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " step " << c.step);
        model.m_labelDecimalsX = c.decimals;
        model.m_labelDecimalsY = c.decimals;
        EXPECT_EQ(model.LabelTextX(c.value, c.negative, c.step), CString(c.x));
        EXPECT_EQ(model.LabelTextY(c.value, c.negative, c.step), CString(c.x));
    }
}

// The scale of the axes through the origin, set on its own from ranges that were never repaired
// or that lie far from 0, stays finite, and the origin is held rather than wrapped round.
TEST(DiagramModelTransforms, TheOriginScaleOfAnyRangeIsFiniteAndHeld)
{
    struct Case {
        const char* name;
        double xmin, xmax, ymin, ymax;
        int originX, originY;
    };
    const Case cases[] = {
        { "empty ranges", 5, 5, -3, -3, 0, 0 },
        { "far below and far above 0", -1e12 - 10, -1e12, 1e12, 1e12 + 10, 32000, 32000 },
        { "far above and far below 0", 1e12, 1e12 + 10, -1e12 - 10, -1e12, -32000, -32000 },
        { "not numbers", NAN, NAN, NAN, 1, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DiagramModel model;
        model.m_nMode = DiagramMathematical;
        model.SetDeviceArea({ 0, 0, 600, 400 });
        model.m_xmin = c.xmin;
        model.m_xmax = c.xmax;
        model.m_ymin = c.ymin;
        model.m_ymax = c.ymax;
        model.ComputeAxisSteps();
        EXPECT_TRUE(std::isfinite(model.m_pixelsPerUnitX) && model.m_pixelsPerUnitX > 0);
        EXPECT_TRUE(std::isfinite(model.m_pixelsPerUnitY) && model.m_pixelsPerUnitY > 0);
        if (c.originX != 0) {
            EXPECT_EQ(model.m_originX, c.originX);
            EXPECT_EQ(model.m_originY, c.originY);
        }
        EXPECT_LE(model.OriginTicksX(model.OriginStepX()).size(), 2u * DiagramModel::MaxTicks + 1);
    }
}
