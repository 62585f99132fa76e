// Values, texts and the constancy and zero tests of every node family.

#include "engine/MathHelper.h"
#include "engine/tests/FunctionTreeTestNodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// Equal values, or both not a number.
void ExpectSameValue(double actual, double expected)
{
    if (std::isnan(expected))
        EXPECT_TRUE(std::isnan(actual)) << actual;
    else
        EXPECT_DOUBLE_EQ(actual, expected);
}

struct LeafCase {
    const char* text;
    std::function<Tree()> make;
    std::function<double(double)> expected;
};

TEST(FunctionTreeNodes, LeavesOfXComputeTheirFunctionAndPrintTheirName)
{
    const LeafCase cases[] = {
        { "x", [] { return X(); }, [](double x) { return x; } },
        { "x^2", [] { return N<CSqr1Function>(); }, [](double x) { return x * x; } },
        { "exp(x)", [] { return N<CExp1Function>(); }, [](double x) { return std::exp(x); } },
        { "sin(x)", [] { return N<CSin1Function>(); }, [](double x) { return std::sin(x); } },
        { "cos(x)", [] { return N<CCos1Function>(); }, [](double x) { return std::cos(x); } },
        { "tan(x)", [] { return N<CTan1Function>(); }, [](double x) { return std::tan(x); } },
        { "cot(x)", [] { return N<CCot1Function>(); }, [](double x) { return std::cos(x) / std::sin(x); } },
        { "sinh(x)", [] { return N<CSinh1Function>(); }, [](double x) { return std::sinh(x); } },
        { "cosh(x)", [] { return N<CCosh1Function>(); }, [](double x) { return std::cosh(x); } },
        { "tanh(x)", [] { return N<CTanh1Function>(); }, [](double x) { return std::tanh(x); } },
        { "coth(x)", [] { return N<CCoth1Function>(); }, [](double x) { return std::cosh(x) / std::sinh(x); } },
        { "abs(x)", [] { return N<CAbs1Function>(); }, [](double x) { return std::fabs(x); } },
        { "ceil(x)", [] { return N<CCeil1Function>(); }, [](double x) { return std::ceil(x); } },
        { "floor(x)", [] { return N<CFloor1Function>(); }, [](double x) { return std::floor(x); } },
        { "log(x)", [] { return N<CLog101Function>(); }, [](double x) { return std::log10(x); } },
        { "ln(x)", [] { return N<CLog1Function>(); }, [](double x) { return std::log(x); } },
        { "sqr(x)", [] { return N<CSqrt1Function>(); }, [](double x) { return std::sqrt(x); } },
        { "arcsin(x)", [] { return N<CAsin1Function>(); }, [](double x) { return std::asin(x); } },
        { "arccos(x)", [] { return N<CAcos1Function>(); }, [](double x) { return std::acos(x); } },
        { "arctan(x)", [] { return N<CAtan1Function>(); }, [](double x) { return std::atan(x); } },
        { "Gamma(x)", [] { return N<CGamma1Function>(); }, [](double x) { return CMathHelper::Gamma(x); } },
        { "sign(x)", [] { return N<CSign1Function>(); }, [](double x) { return x > 0 ? 1.0 : -1.0; } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Tree leaf = c.make();
        EXPECT_EQ(Text(*leaf), c.text);
        EXPECT_FALSE(leaf->IsConstant());
        EXPECT_FALSE(leaf->IsZero());
        for (double x : { 0.3, 0.75, 2.5, -1.25 }) {
            SCOPED_TRACE(x);
            ExpectSameValue(leaf->Evaluate(x), c.expected(x));
        }
    }
}

TEST(FunctionTreeNodes, ConstantsAndPolynomials)
{
    EXPECT_TRUE(C(0)->IsZero());
    EXPECT_FALSE(C(2.5)->IsZero());
    EXPECT_TRUE(C(2.5)->IsConstant());
    EXPECT_EQ(Text(*C(2.5)), "2.5");
    EXPECT_EQ(Text(*C(1.0 / 3)), "0.333333");
    EXPECT_EQ(Text(*C(1234567)), "1.23457E+006");
    EXPECT_EQ(Text(*Zero()), "0");
    EXPECT_EQ(Zero()->Evaluate(7), 0);
    EXPECT_TRUE(Zero()->IsZero());

    const Tree linear = N<CPolynom1Function>(1.0, 2.0);  // 2x + 1
    EXPECT_EQ(Text(*linear), "2*x+1");
    EXPECT_DOUBLE_EQ(linear->Evaluate(3), 7);
    EXPECT_FALSE(linear->IsConstant());
    EXPECT_TRUE(N<CPolynom1Function>(4.0, 0.0)->IsConstant());
    EXPECT_FALSE(N<CPolynom1Function>(4.0, 0.0)->IsZero());
    EXPECT_TRUE(N<CPolynom1Function>(0.0, 0.0)->IsZero());

    const Tree quadratic = N<CPolynom2Function>(1.0, 0.0, -1.0);  // -x^2 + 1
    EXPECT_EQ(Text(*quadratic), "-1*x^2+0*x+1");
    EXPECT_DOUBLE_EQ(quadratic->Evaluate(3), -8);
    EXPECT_TRUE(N<CPolynom2Function>(5.0, 0.0, 0.0)->IsConstant());
    EXPECT_FALSE(N<CPolynom2Function>(5.0, 1.0, 0.0)->IsConstant());
    EXPECT_TRUE(N<CPolynom2Function>(0.0, 0.0, 0.0)->IsZero());
}

struct FunctionCase {
    const char* text;   // over the child x
    std::function<Tree(Tree)> make;
    double (*function)(double);
    bool zeroOfZero;    // the node reports zero over a zero child
};

TEST(FunctionTreeNodes, FunctionsOfAChildApplyTheirFunctionToTheChildValue)
{
    const FunctionCase cases[] = {
        { "exp(x)", [](Tree u) { return N<CExpFunction>(std::move(u)); }, [](double v) { return std::exp(v); }, false },
        { "sin(x)", [](Tree u) { return N<CSinFunction>(std::move(u)); }, [](double v) { return std::sin(v); }, true },
        { "cos(x)", [](Tree u) { return N<CCosFunction>(std::move(u)); }, [](double v) { return std::cos(v); }, false },
        { "tan(x)", [](Tree u) { return N<CTanFunction>(std::move(u)); }, [](double v) { return std::tan(v); }, true },
        { "cot(x)", [](Tree u) { return N<CCotFunction>(std::move(u)); }, [](double v) { return std::cos(v) / std::sin(v); }, false },
        { "sinh(x)", [](Tree u) { return N<CSinhFunction>(std::move(u)); }, [](double v) { return std::sinh(v); }, true },
        { "cosh(x)", [](Tree u) { return N<CCoshFunction>(std::move(u)); }, [](double v) { return std::cosh(v); }, false },
        { "tanh(x)", [](Tree u) { return N<CTanhFunction>(std::move(u)); }, [](double v) { return std::tanh(v); }, true },
        { "coth(x)", [](Tree u) { return N<CCothFunction>(std::move(u)); }, [](double v) { return std::cosh(v) / std::sinh(v); }, false },
        { "abs(x)", [](Tree u) { return N<CAbsFunction>(std::move(u)); }, [](double v) { return std::fabs(v); }, true },
        { "sign(x)", [](Tree u) { return N<CSignFunction>(std::move(u)); }, [](double v) { return v > 0 ? 1.0 : v < 0 ? -1.0 : 0.0; }, true },
        { "ceil(x)", [](Tree u) { return N<CCeilFunction>(std::move(u)); }, [](double v) { return std::ceil(v); }, true },
        { "floor(x)", [](Tree u) { return N<CFloorFunction>(std::move(u)); }, [](double v) { return std::floor(v); }, true },
        { "log(x)", [](Tree u) { return N<CLog10Function>(std::move(u)); }, [](double v) { return std::log10(v); }, false },
        { "ln(x)", [](Tree u) { return N<CLogFunction>(std::move(u)); }, [](double v) { return std::log(v); }, false },
        { "sqr(x)", [](Tree u) { return N<CSqrtFunction>(std::move(u)); }, [](double v) { return std::sqrt(v); }, true },
        { "(x)^2", [](Tree u) { return N<CSqrFunction>(std::move(u)); }, [](double v) { return v * v; }, true },
        { "arcsin(x)", [](Tree u) { return N<CAsinFunction>(std::move(u)); }, [](double v) { return std::asin(v); }, true },
        { "arccos(x)", [](Tree u) { return N<CAcosFunction>(std::move(u)); }, [](double v) { return std::acos(v); }, false },
        { "arctan(x)", [](Tree u) { return N<CAtanFunction>(std::move(u)); }, [](double v) { return std::atan(v); }, true },
        { "Gamma(x)", [](Tree u) { return N<CGammaFunction>(std::move(u)); }, [](double v) { return CMathHelper::Gamma(v); }, false },
        { "-x", [](Tree u) { return N<CNegFunction>(std::move(u)); }, [](double v) { return -v; }, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Tree node = c.make(X());
        EXPECT_EQ(Text(*node), c.text);
        EXPECT_FALSE(node->IsConstant());
        EXPECT_FALSE(node->IsZero());
        for (double x : { 0.4, 0.9 }) {
            // The child's value, not x, goes into the function: 2x + 0.1 as the child.
            const Tree shifted = c.make(N<CPolynom1Function>(0.1, 2.0));
            ExpectSameValue(node->Evaluate(x), c.function(x));
            ExpectSameValue(shifted->Evaluate(x), c.function(2 * x + 0.1));
        }
        EXPECT_EQ(c.make(Zero())->IsZero(), c.zeroOfZero);
    }
}

TEST(FunctionTreeNodes, ConstancyOfFunctionsFollowsTheChild)
{
    EXPECT_TRUE(N<CSinFunction>(C(2))->IsConstant());
    EXPECT_FALSE(N<CSinFunction>(C(2))->IsZero());
    EXPECT_TRUE(N<CCosFunction>(Zero())->IsConstant());
    EXPECT_FALSE(N<CCosFunction>(Zero())->IsZero());
    // exp asks its child whether it is zero: exp(2) is reported as varying, exp(0) as constant.
    EXPECT_FALSE(N<CExpFunction>(C(2))->IsConstant());
    EXPECT_TRUE(N<CExpFunction>(Zero())->IsConstant());
    // A logarithm is zero over the constant 1 only.
    EXPECT_TRUE(N<CLogFunction>(C(1))->IsZero());
    EXPECT_TRUE(N<CLog10Function>(C(1))->IsZero());
    EXPECT_FALSE(N<CLogFunction>(C(2))->IsZero());
    EXPECT_FALSE(N<CLogFunction>(N<CPolynom1Function>(1.0, 1.0))->IsZero());
}

TEST(FunctionTreeNodes, SignOfNotANumberIsZero)
{
    EXPECT_EQ(N<CSignFunction>(C(NaN))->Evaluate(1), 0);
    EXPECT_EQ(N<CSign1Function>()->Evaluate(NaN), 0);
    EXPECT_EQ(N<CSign1Function>()->Evaluate(0), 0);
    EXPECT_EQ(N<CSign1Function>()->Evaluate(-3), -1);
}

struct ConstOperandCase {
    const char* text;  // over the child x with c = 2
    std::function<Tree(Tree, double)> make;
    std::function<double(double, double)> value;  // (u, c)
    bool constantOverConstant = true;
};

TEST(FunctionTreeNodes, ConstantOperandNodesCombineChildAndConstant)
{
    const ConstOperandCase cases[] = {
        { "x+2", [](Tree u, double c) { return N<CAdd0Function>(std::move(u), c); }, [](double u, double c) { return u + c; } },
        { "2*(x)", [](Tree u, double c) { return N<CMul0Function>(std::move(u), c); }, [](double u, double c) { return c * u; } },
        { "2-x", [](Tree u, double c) { return N<CSubL0Function>(std::move(u), c); }, [](double u, double c) { return c - u; } },
        { "x-2", [](Tree u, double c) { return N<CSubR0Function>(std::move(u), c); }, [](double u, double c) { return u - c; } },
        { "2/(x)", [](Tree u, double c) { return N<CDivL0Function>(std::move(u), c); }, [](double u, double c) { return c / u; } },
        { "(x)/2", [](Tree u, double c) { return N<CDivR0Function>(std::move(u), c); }, [](double u, double c) { return u / c; } },
        { "2^(x)", [](Tree u, double c) { return N<CPowerL0Function>(std::move(u), c); }, [](double u, double c) { return std::pow(c, u); },
          false },  // c^u asks for a constant child and c = 0
        { "x^2", [](Tree u, double c) { return N<CPowerR0Function>(std::move(u), c); }, [](double u, double c) { return std::pow(u, c); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Tree node = c.make(X(), 2);
        EXPECT_EQ(Text(*node), c.text);
        EXPECT_FALSE(node->IsConstant());
        EXPECT_FALSE(node->IsZero());
        for (double x : { -1.5, 0.5, 3.0 })
            EXPECT_DOUBLE_EQ(node->Evaluate(x), c.value(x, 2)) << x;
        EXPECT_EQ(c.make(C(3), 2)->IsConstant(), c.constantOverConstant);
    }
}

TEST(FunctionTreeNodes, ZeroAndConstancyOfConstantOperandNodes)
{
    EXPECT_TRUE(N<CAdd0Function>(C(-2), 2.0)->IsZero());
    EXPECT_FALSE(N<CAdd0Function>(C(2), 2.0)->IsZero());
    EXPECT_TRUE(N<CMul0Function>(X(), 0.0)->IsConstant());
    EXPECT_TRUE(N<CMul0Function>(X(), 0.0)->IsZero());
    EXPECT_TRUE(N<CMul0Function>(Zero(), 5.0)->IsZero());
    EXPECT_TRUE(N<CSubL0Function>(C(4), 4.0)->IsZero());
    EXPECT_TRUE(N<CSubR0Function>(C(4), 4.0)->IsZero());
    EXPECT_FALSE(N<CSubR0Function>(C(4), -4.0)->IsZero());
    EXPECT_TRUE(N<CDivL0Function>(X(), 0.0)->IsZero());
    EXPECT_TRUE(N<CDivL0Function>(X(), 0.0)->IsConstant());
    EXPECT_TRUE(N<CDivR0Function>(Zero(), 3.0)->IsZero());
    EXPECT_TRUE(N<CPowerL0Function>(X(), 0.0)->IsZero());
    EXPECT_FALSE(N<CPowerL0Function>(C(2), 3.0)->IsConstant());
    EXPECT_TRUE(N<CPowerL0Function>(C(2), 0.0)->IsConstant());
    EXPECT_TRUE(N<CPowerR0Function>(X(), 0.0)->IsConstant());
    EXPECT_TRUE(N<CPowerR0Function>(Zero(), 3.0)->IsZero());
}

TEST(FunctionTreeNodes, OperatorNodes)
{
    const Tree sum = N<CAddFunction>(X(), N<CSin1Function>());
    EXPECT_EQ(Text(*sum), "x+sin(x)");
    EXPECT_DOUBLE_EQ(sum->Evaluate(1), 1 + std::sin(1.0));
    const Tree difference = N<CSubFunction>(X(), N<CSin1Function>());
    EXPECT_EQ(Text(*difference), "(x)-(sin(x))");
    EXPECT_DOUBLE_EQ(difference->Evaluate(1), 1 - std::sin(1.0));
    const Tree product = N<CMulFunction>(X(), N<CSin1Function>());
    EXPECT_EQ(Text(*product), "(x)*(sin(x))");
    EXPECT_DOUBLE_EQ(product->Evaluate(2), 2 * std::sin(2.0));
    const Tree quotient = N<CDivFunction>(X(), N<CSin1Function>());
    EXPECT_EQ(Text(*quotient), "(x)/(sin(x))");
    EXPECT_DOUBLE_EQ(quotient->Evaluate(2), 2 / std::sin(2.0));
    const Tree power = N<CPowerFunction>(X(), N<CSin1Function>());
    EXPECT_EQ(Text(*power), "(x)^(sin(x))");
    EXPECT_DOUBLE_EQ(power->Evaluate(2), std::pow(2.0, std::sin(2.0)));

    EXPECT_EQ(Text(*N<CAddFunction>(X(), C(-1))), "x+-1");
    for (const Tree& node : { std::cref(sum), std::cref(difference), std::cref(product), std::cref(quotient),
                              std::cref(power) }) {
        EXPECT_FALSE(node->IsConstant());
        EXPECT_FALSE(node->IsZero());
    }
}

TEST(FunctionTreeNodes, ZeroAndConstancyOfOperatorNodes)
{
    // x - x is 0 everywhere, but the rule sees two varying children.
    const Tree selfDifference = N<CSubFunction>(X(), X());
    EXPECT_EQ(selfDifference->Evaluate(3.5), 0);
    EXPECT_FALSE(selfDifference->IsZero());

    EXPECT_TRUE(N<CAddFunction>(C(2), C(-2))->IsZero());
    EXPECT_TRUE(N<CAddFunction>(Zero(), Zero())->IsZero());
    EXPECT_FALSE(N<CAddFunction>(C(2), C(2))->IsZero());
    EXPECT_TRUE(N<CSubFunction>(C(2), C(2))->IsZero());
    EXPECT_TRUE(N<CMulFunction>(X(), Zero())->IsZero());
    EXPECT_TRUE(N<CMulFunction>(X(), Zero())->IsConstant());
    EXPECT_TRUE(N<CDivFunction>(Zero(), X())->IsZero());
    EXPECT_FALSE(N<CDivFunction>(X(), Zero())->IsZero());
    EXPECT_TRUE(N<CPowerFunction>(X(), Zero())->IsConstant());
    EXPECT_TRUE(N<CPowerFunction>(Zero(), X())->IsZero());
    EXPECT_TRUE(N<CPowerFunction>(C(2), C(3))->IsConstant());
}

TEST(FunctionTreeNodes, DomainErrorsAndZeroDivisorsGiveFloatingPointResults)
{
    EXPECT_TRUE(std::isinf(N<CDivFunction>(C(1), Zero())->Evaluate(0)));
    EXPECT_TRUE(std::isnan(N<CLogFunction>(C(-1))->Evaluate(0)));
    EXPECT_TRUE(std::isinf(N<CDivR0Function>(X(), 0.0)->Evaluate(2)));
}

TEST(FunctionTreeNodes, ANodeCannotBeBuiltWithoutItsChildren)
{
    EXPECT_THROW(N<CSinFunction>(Tree()), std::invalid_argument);
    EXPECT_THROW(N<CAdd0Function>(Tree(), 1.0), std::invalid_argument);
    // The left child given with a missing right one is freed, not leaked.
    EXPECT_THROW(N<CMulFunction>(X(), Tree()), std::invalid_argument);
}

// Printed texts are written so that the formula parser reads back the node's own value.
// A tree as deep as a long chain is freed without a destructor per level on the stack, whichever
// side it grows on and through one-child nodes too.
TEST(FunctionTreeNodes, TreesFarDeeperThanTheStackAreFreed)
{
    constexpr int Depth = 200000;
    Tree leftDeep = X();
    Tree rightDeep = X();
    Tree throughOneChild = X();
    for (int i = 0; i < Depth; ++i) {
        leftDeep = N<CAddFunction>(std::move(leftDeep), X());
        rightDeep = N<CMulFunction>(C(2), std::move(rightDeep));
        throughOneChild = N<CNegFunction>(std::move(throughOneChild));
    }
    EXPECT_TRUE(Is<CAddFunction>(leftDeep));
    leftDeep.reset();
    rightDeep.reset();
    throughOneChild.reset();
}

TEST(FunctionTreeNodes, CompoundChildrenArePrintedInParentheses)
{
    const auto xPlus1 = [] { return N<CAdd0Function>(X(), 1.0); };
    EXPECT_EQ(Text(*N<CNegFunction>(xPlus1())), "-(x+1)");
    EXPECT_EQ(Text(*N<CNegFunction>(C(-2))), "-(-2)");
    EXPECT_EQ(Text(*N<CNegFunction>(N<CPowerR0Function>(X(), 2.0))), "-(x^2)");
    EXPECT_EQ(Text(*N<CNegFunction>(N<CSin1Function>())), "-sin(x)");
    EXPECT_EQ(Text(*N<CSubL0Function>(xPlus1(), 3.0)), "3-(x+1)");
    EXPECT_EQ(Text(*N<CSubL0Function>(N<CMul0Function>(X(), 2.0), 3.0)), "3-2*(x)");
    EXPECT_EQ(Text(*N<CPowerR0Function>(xPlus1(), 2.0)), "(x+1)^2");
    EXPECT_EQ(Text(*N<CPowerR0Function>(N<CNegFunction>(X()), 2.0)), "(-x)^2");
    EXPECT_EQ(Text(*N<CPowerR0Function>(N<CPowerR0Function>(X(), 2.0), 3.0)), "x^2^3");
    EXPECT_EQ(Text(*N<CPowerR0Function>(X(), -1.0)), "x^-1");
    EXPECT_EQ(Text(*N<CPowerR0Function>(N<CPowerL0Function>(X(), -2.0), 2.0)), "(-2^(x))^2");
    EXPECT_EQ(Text(*N<CPowerR0Function>(N<CPowerL0Function>(X(), 2.0), 2.0)), "2^(x)^2");
    EXPECT_EQ(Text(*N<CNegFunction>(N<CMulFunction>(X(), X()))), "-((x)*(x))");
    EXPECT_EQ(Text(*N<CSqrFunction>(xPlus1())), "(x+1)^2");
    EXPECT_EQ(Text(*N<CLogFunction>(X())), "ln(x)");
    EXPECT_EQ(Text(*N<CLog10Function>(X())), "log(x)");
    EXPECT_EQ(Text(*N<CSqrtFunction>(X())), "sqr(x)");
}

TEST(FunctionTreeNodes, CompositeTexts)
{
    CString out = L"old";
    const auto sine = std::make_unique<CSinFunction<double>>(X());
    EXPECT_EQ(sine->GetCompositeText(out, L"name"), CString(L"name(x)"));
    EXPECT_EQ(out, CString(L"name(x)"));
    const auto sum = std::make_unique<CAddFunction<double>>(X(), C(2));
    EXPECT_EQ(sum->GetCompositeText(out, L" op "), CString(L"(x) op (2)"));
}

} // namespace
