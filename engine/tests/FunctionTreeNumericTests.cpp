// Finite-difference derivatives, Newton roots and numerical integration of function trees.

#include "engine/tests/FunctionTreeTestNodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(FunctionTreeNumeric, FiniteDifferenceDerivatives)
{
    const Tree square = N<CSqr1Function>();
    EXPECT_NEAR(square->NumDerivative(3, 1, 0.001), 6.001, 1e-9);  // forward difference
    EXPECT_NEAR(square->NumDerivative(3, 2, 0.001), 2, 1e-6);
    EXPECT_EQ(square->NumDerivative(3, 0, 0.001), 9);
    EXPECT_NEAR(square->NumDerivative(3, 3, 0.01), 0, 1e-6);

    const Tree exponential = N<CExp1Function>();
    EXPECT_NEAR(exponential->NumDerivative(0.5, 3, 1e-3), std::exp(0.5), 1e-2);
    EXPECT_NEAR(exponential->NumDerivative(0.5, 4, 1e-2), std::exp(0.5), 0.1);
    const Tree sine = N<CSin1Function>();
    EXPECT_NEAR(sine->NumDerivative(1, 3, 1e-3), -std::cos(1.0), 1e-2);
    // x^3 has the third derivative 6 everywhere.
    const Tree cube = N<CPowerR0Function>(X(), 3.0);
    EXPECT_NEAR(cube->NumDerivative(2, 3, 1e-2), 6, 1e-6);
}

TEST(FunctionTreeNumeric, DerivativeOrdersOutsideTheRangeStayBounded)
{
    const Tree square = N<CSqr1Function>();
    EXPECT_EQ(square->NumDerivative(3, -5, 0.001), 9);  // read as order 0
    EXPECT_TRUE(std::isnan(square->NumDerivative(3, std::numeric_limits<int>::max(), 0.001)));
    EXPECT_TRUE(std::isfinite(square->NumDerivative(3, CFunction<double>::MaxDerivativeOrder, 0.5)));
    EXPECT_FALSE(std::isfinite(square->NumDerivative(3, 1, 0)));
}

TEST(FunctionTreeNumeric, NewtonRootFindsZeros)
{
    const Tree square = N<CSqr1Function>();
    const double root = square->NewtonRoot(1, 1e-10);
    EXPECT_LE(root * root, 1e-10);
    EXPECT_GT(root * root, 1e-10 / 16);  // stops at the first step under the tolerance
    EXPECT_EQ(square->NewtonRoot(0, 1e-10), 0);

    const Tree shifted = N<CSubR0Function>(N<CSqr1Function>(), 2.0);  // x^2 - 2
    EXPECT_NEAR(shifted->NewtonRoot(1, 1e-12), std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(N<CCos1Function>()->NewtonRoot(1, 1e-12), std::acos(0.0), 1e-9);
}

TEST(FunctionTreeNumeric, NewtonRootWithoutAZeroReportsNotANumber)
{
    // A non-zero constant: x runs off to infinity while the value stays 1.
    EXPECT_TRUE(std::isnan(C(1)->NewtonRoot(0, 1e-10)));
    // x^2 + 1 has no real zero; its iterates stay finite and wander.
    EXPECT_TRUE(std::isnan(N<CAdd0Function>(N<CSqr1Function>(), 1.0)->NewtonRoot(0.5, 1e-10)));
    // Left of 0 the square root is not a number, which is no zero either.
    EXPECT_TRUE(std::isnan(N<CSqrt1Function>()->NewtonRoot(-1, 1e-10)));
}

TEST(FunctionTreeNumeric, TrapezoidRule)
{
    const Tree square = N<CSqr1Function>();
    EXPECT_DOUBLE_EQ(square->IntegrateTrapezoid(1, 3, 1), (3 - 1) / 2.0 * (1 + 9));
    EXPECT_NEAR(square->IntegrateTrapezoid(0, 1, 1000), 1.0 / 3, 1e-6);
    EXPECT_NEAR(X()->IntegrateTrapezoid(0, 1, 7), 0.5, 1e-12);
    EXPECT_NEAR(N<CSin1Function>()->IntegrateTrapezoid(0, M_PI, 200), 2, 1e-4);
    EXPECT_FALSE(std::isfinite(square->IntegrateTrapezoid(0, 1, 0)));
}

TEST(FunctionTreeNumeric, MidpointRule)
{
    const Tree square = N<CSqr1Function>();
    EXPECT_EQ(square->IntegrateMidpoint(0, 1, 0), 0);
    EXPECT_EQ(square->IntegrateMidpoint(0, 1, -3), 0);
    EXPECT_DOUBLE_EQ(square->IntegrateMidpoint(0, 2, 1), 2 * 1.0);  // h * f(1)
    EXPECT_NEAR(square->IntegrateMidpoint(0, 1, 1000), 1.0 / 3, 1e-6);
}

TEST(FunctionTreeNumeric, SimpsonRule)
{
    const Tree square = N<CSqr1Function>();
    EXPECT_NEAR(square->IntegrateSimpson(0, 1, 2), 1.0 / 3, 1e-15);
    EXPECT_NEAR(X()->IntegrateSimpson(0, 1, 3), 0.5, 1e-15);
    // An odd count is raised to the next even one.
    EXPECT_EQ(N<CExp1Function>()->IntegrateSimpson(0, 1, 3), N<CExp1Function>()->IntegrateSimpson(0, 1, 4));
    EXPECT_NEAR(N<CExp1Function>()->IntegrateSimpson(0, 1, 10), std::exp(1.0) - 1, 1e-6);
    // Any count up to 2 uses the three points a, a + h, a + 2h.
    EXPECT_EQ(square->IntegrateSimpson(0, 1, 1), square->IntegrateSimpson(0, 1, 2));
    EXPECT_FALSE(std::isfinite(square->IntegrateSimpson(0, 1, 0)));
    EXPECT_TRUE(std::isfinite(square->IntegrateSimpson(0, 1, -3)));
}

} // namespace
