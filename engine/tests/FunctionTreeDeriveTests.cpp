// The simplifying copy and the symbolic derivative of function trees.

#include "engine/tests/FunctionTreeTestNodes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

// 0.5x + 0.2, a child that is neither x nor constant.
Tree G()
{
    return N<CPolynom1Function>(0.2, 0.5);
}

// --- Clone ------------------------------------------------------------------------------------

TEST(FunctionTreeClone, ConstantsAndPolynomialsFoldWhenSimplified)
{
    EXPECT_TRUE(Is<CNullFunction>(C(0)->Clone(true)));
    EXPECT_TRUE(Is<CConstFunction>(C(0)->Clone(false)));
    EXPECT_EQ(C(2.5)->Clone(true)->Evaluate(0), 2.5);

    const Tree linearAsConstant = N<CPolynom1Function>(4.0, 0.0)->Clone(true);
    ASSERT_TRUE(Is<CConstFunction>(linearAsConstant));
    EXPECT_EQ(linearAsConstant->Evaluate(9), 4);
    EXPECT_TRUE(Is<CNullFunction>(N<CPolynom1Function>(0.0, 0.0)->Clone(true)));
    EXPECT_TRUE(Is<CPolynom1Function>(N<CPolynom1Function>(0.0, 0.0)->Clone(false)));

    const Tree quadraticAsLinear = N<CPolynom2Function>(1.0, 3.0, 0.0)->Clone(true);
    ASSERT_TRUE(Is<CPolynom1Function>(quadraticAsLinear));
    const auto& linear = static_cast<const CPolynom1Function<double>&>(*quadraticAsLinear);
    EXPECT_EQ(linear.A(), 3);
    EXPECT_EQ(linear.B(), 1);
    EXPECT_TRUE(Is<CConstFunction>(N<CPolynom2Function>(7.0, 0.0, 0.0)->Clone(true)));
    EXPECT_TRUE(Is<CNullFunction>(N<CPolynom2Function>(0.0, 0.0, 0.0)->Clone(true)));
    EXPECT_TRUE(Is<CPolynom2Function>(N<CPolynom2Function>(1.0, 3.0, 0.0)->Clone(false)));
}

TEST(FunctionTreeClone, OperatorNodesFoldConstantChildren)
{
    const Tree sum = N<CAddFunction>(C(2), C(3))->Clone(true);
    ASSERT_TRUE(Is<CConstFunction>(sum));
    EXPECT_EQ(sum->Evaluate(0), 5);
    EXPECT_TRUE(Is<CAddFunction>(N<CAddFunction>(C(2), C(3))->Clone(false)));
    EXPECT_TRUE(Is<CNullFunction>(N<CAddFunction>(Zero(), Zero())->Clone(true)));
    // Only the left side zero: a constant operand 0, not a bare copy of the right side.
    const Tree zeroPlusX = N<CAddFunction>(Zero(), X())->Clone(true);
    ASSERT_TRUE(Is<CAdd0Function>(zeroPlusX));
    EXPECT_EQ(static_cast<const CAdd0Function<double>&>(*zeroPlusX).Constant(), 0);

    const Tree difference = N<CSubFunction>(C(2), X())->Clone(true);
    ASSERT_TRUE(Is<CSubL0Function>(difference));
    EXPECT_EQ(difference->Evaluate(5), -3);
    EXPECT_TRUE(Is<CSubR0Function>(N<CSubFunction>(X(), C(2))->Clone(true)));

    EXPECT_TRUE(Is<CNullFunction>(N<CMulFunction>(X(), Zero())->Clone(true)));
    const Tree triple = N<CMulFunction>(X(), C(3))->Clone(true);
    ASSERT_TRUE(Is<CMul0Function>(triple));
    EXPECT_EQ(triple->Evaluate(2), 6);

    EXPECT_TRUE(Is<CNullFunction>(N<CDivFunction>(Zero(), X())->Clone(true)));
    const Tree byZero = N<CDivFunction>(X(), Zero())->Clone(true);
    ASSERT_TRUE(Is<CDivR0Function>(byZero));
    EXPECT_EQ(static_cast<const CDivR0Function<double>&>(*byZero).Constant(), 0);
    EXPECT_TRUE(Is<CDivL0Function>(N<CDivFunction>(C(1), X())->Clone(true)));
    EXPECT_TRUE(std::isinf(N<CDivFunction>(C(1), Zero())->Clone(true)->Evaluate(0)));

    EXPECT_EQ(N<CPowerFunction>(C(2), C(10))->Clone(true)->Evaluate(0), 1024);
    EXPECT_TRUE(Is<CPowerL0Function>(N<CPowerFunction>(C(2), X())->Clone(true)));
    EXPECT_TRUE(Is<CPowerR0Function>(N<CPowerFunction>(X(), C(2))->Clone(true)));
    EXPECT_TRUE(Is<CPowerFunction>(N<CPowerFunction>(X(), X())->Clone(true)));
}

TEST(FunctionTreeClone, ConstantOperandNodesFoldOnlyByTheirChild)
{
    struct Case {
        const char* name;
        Tree node;
        double folded;  // value of the copy over the constant child 4 with c = 2
    };
    Case cases[] = {
        { "add", N<CAdd0Function>(C(4), 2.0), 6 },     { "mul", N<CMul0Function>(C(4), 2.0), 8 },
        { "subL", N<CSubL0Function>(C(4), 2.0), -2 },  { "subR", N<CSubR0Function>(C(4), 2.0), 2 },
        { "divL", N<CDivL0Function>(C(4), 2.0), 0.5 }, { "divR", N<CDivR0Function>(C(4), 2.0), 2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Tree copy = c.node->Clone(true);
        ASSERT_TRUE(Is<CConstFunction>(copy));
        EXPECT_EQ(copy->Evaluate(0), c.folded);
        EXPECT_FALSE(Is<CConstFunction>(c.node->Clone(false)));
    }
    // A zero child: the copy of its constant, or the zero node.
    EXPECT_EQ(N<CAdd0Function>(Zero(), 2.0)->Clone(true)->Evaluate(0), 2);
    EXPECT_TRUE(Is<CNullFunction>(N<CMul0Function>(Zero(), 2.0)->Clone(true)));
    EXPECT_EQ(N<CSubR0Function>(Zero(), 2.0)->Clone(true)->Evaluate(0), -2);
    EXPECT_TRUE(std::isinf(N<CDivL0Function>(Zero(), 2.0)->Clone(true)->Evaluate(0)));

    // The node's own constant is not looked at, and functions and powers fold nothing.
    EXPECT_TRUE(Is<CMul0Function>(N<CMul0Function>(X(), 0.0)->Clone(true)));
    EXPECT_TRUE(Is<CAdd0Function>(N<CAdd0Function>(X(), 0.0)->Clone(true)));
    const Tree sineOfZero = N<CSinFunction>(C(0))->Clone(true);
    ASSERT_TRUE(Is<CSinFunction>(sineOfZero));
    EXPECT_TRUE(Is<CNullFunction>(&static_cast<const CFunction1<double>&>(*sineOfZero).Child()));
    EXPECT_TRUE(Is<CPowerR0Function>(N<CPowerR0Function>(C(3), 2.0)->Clone(true)));
}

TEST(FunctionTreeClone, DeepCopyKeepsValueAndText)
{
    const Tree tree = N<CDivFunction>(N<CAddFunction>(N<CSinFunction>(G()), N<CSqr1Function>()),
                                      N<CPowerL0Function>(N<CNegFunction>(X()), 2.0));
    for (bool simplify : { false, true }) {
        const Tree copy = tree->Clone(simplify);
        EXPECT_EQ(Text(*copy), Text(*tree));
        for (double x : { -2.0, 0.5, 3.0 })
            EXPECT_EQ(copy->Evaluate(x), tree->Evaluate(x));
    }
}

// --- Derive -----------------------------------------------------------------------------------

struct DeriveCase {
    const char* name;
    std::function<Tree()> make;
};

// Every rule against the tree's own finite-difference derivative, at points where all of the
// functions below are defined and smooth.
TEST(FunctionTreeDerive, EveryRuleAgreesWithTheNumericDerivative)
{
    const DeriveCase cases[] = {
        { "x", [] { return X(); } },
        { "x^2", [] { return N<CSqr1Function>(); } },
        { "exp(x)", [] { return N<CExp1Function>(); } },
        { "sin(x)", [] { return N<CSin1Function>(); } },
        { "cos(x)", [] { return N<CCos1Function>(); } },
        { "tan(x)", [] { return N<CTan1Function>(); } },
        { "cot(x)", [] { return N<CCot1Function>(); } },
        { "sinh(x)", [] { return N<CSinh1Function>(); } },
        { "cosh(x)", [] { return N<CCosh1Function>(); } },
        { "tanh(x)", [] { return N<CTanh1Function>(); } },
        { "coth(x)", [] { return N<CCoth1Function>(); } },
        { "abs(x)", [] { return N<CAbs1Function>(); } },
        { "log(x)", [] { return N<CLog101Function>(); } },
        { "ln(x)", [] { return N<CLog1Function>(); } },
        { "sqr(x)", [] { return N<CSqrt1Function>(); } },
        { "arcsin(x)", [] { return N<CAsin1Function>(); } },
        { "arccos(x)", [] { return N<CAcos1Function>(); } },
        { "arctan(x)", [] { return N<CAtan1Function>(); } },
        { "3x+1", [] { return N<CPolynom1Function>(1.0, 3.0); } },
        { "2x^2-x+1", [] { return N<CPolynom2Function>(1.0, -1.0, 2.0); } },
        { "-g", [] { return N<CNegFunction>(G()); } },
        { "g^2", [] { return N<CSqrFunction>(G()); } },
        { "exp(g)", [] { return N<CExpFunction>(G()); } },
        { "sin(g)", [] { return N<CSinFunction>(G()); } },
        { "cos(g)", [] { return N<CCosFunction>(G()); } },
        { "tan(g)", [] { return N<CTanFunction>(G()); } },
        { "cot(g)", [] { return N<CCotFunction>(G()); } },
        { "sinh(g)", [] { return N<CSinhFunction>(G()); } },
        { "cosh(g)", [] { return N<CCoshFunction>(G()); } },
        { "tanh(g)", [] { return N<CTanhFunction>(G()); } },
        { "coth(g)", [] { return N<CCothFunction>(G()); } },
        { "abs(g)", [] { return N<CAbsFunction>(G()); } },
        { "log(g)", [] { return N<CLog10Function>(G()); } },
        { "ln(g)", [] { return N<CLogFunction>(G()); } },
        { "sqr(g)", [] { return N<CSqrtFunction>(G()); } },
        { "arcsin(g)", [] { return N<CAsinFunction>(G()); } },
        { "arccos(g)", [] { return N<CAcosFunction>(G()); } },
        { "arctan(g)", [] { return N<CAtanFunction>(G()); } },
        { "g+2", [] { return N<CAdd0Function>(G(), 2.0); } },
        { "-3g", [] { return N<CMul0Function>(G(), -3.0); } },
        { "2-g", [] { return N<CSubL0Function>(G(), 2.0); } },
        { "g-2", [] { return N<CSubR0Function>(G(), 2.0); } },
        { "2/g", [] { return N<CDivL0Function>(G(), 2.0); } },
        { "g/4", [] { return N<CDivR0Function>(G(), 4.0); } },
        { "3^g", [] { return N<CPowerL0Function>(G(), 3.0); } },
        { "g^3", [] { return N<CPowerR0Function>(G(), 3.0); } },
        { "g^1", [] { return N<CPowerR0Function>(G(), 1.0); } },
        { "g^-0.5", [] { return N<CPowerR0Function>(G(), -0.5); } },
        { "sin(x)+x^2", [] { return N<CAddFunction>(N<CSin1Function>(), N<CSqr1Function>()); } },
        { "sin(x)-g", [] { return N<CSubFunction>(N<CSin1Function>(), G()); } },
        { "sin(x)*g", [] { return N<CMulFunction>(N<CSin1Function>(), G()); } },
        { "sin(x)/g", [] { return N<CDivFunction>(N<CSin1Function>(), G()); } },
        { "g^sin(x)", [] { return N<CPowerFunction>(G(), N<CSin1Function>()); } },
        { "sin(g*exp(x))^2", [] { return N<CSqrFunction>(N<CSinFunction>(N<CMulFunction>(G(), N<CExp1Function>()))); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Tree tree = c.make();
        const CString textBefore = tree->GetText();
        const Tree derivative = tree->Derive();
        ASSERT_NE(derivative, nullptr);
        EXPECT_EQ(tree->GetText(), textBefore);  // the source is left as it was
        for (double x : { 0.3, 0.55, 0.8 }) {
            const double numeric = tree->NumDerivative(x, 1, 1e-7);
            EXPECT_NEAR(derivative->Evaluate(x), numeric, 1e-5 * (1 + std::fabs(numeric))) << "x = " << x;
        }
    }
}

TEST(FunctionTreeDerive, DerivativeTrees)
{
    EXPECT_TRUE(Is<CCos1Function>(N<CSin1Function>()->Derive()));
    EXPECT_EQ(Text(*N<CSin1Function>()->Derive()), "cos(x)");
    const Tree minusSine = N<CCos1Function>()->Derive();
    ASSERT_TRUE(Is<CNegFunction>(minusSine));
    EXPECT_EQ(Text(*minusSine), "-sin(x)");
    EXPECT_EQ(Text(*N<CSqr1Function>()->Derive()), "2*x+0");
    EXPECT_EQ(Text(*N<CAddFunction>(N<CSqr1Function>(), N<CSin1Function>())->Derive()), "2*x+0+cos(x)");
    const Tree triple = N<CMul0Function>(X(), 3.0)->Derive();
    ASSERT_TRUE(Is<CMul0Function>(triple));
    EXPECT_EQ(Text(*triple), "3*(1)");
    EXPECT_TRUE(Is<CConstFunction>(X()->Derive()));
    EXPECT_TRUE(Is<CNullFunction>(C(5)->Derive()));

    // d/dx (x+1)^3 prints its square with the base in parentheses.
    EXPECT_EQ(Text(*N<CPowerR0Function>(N<CAdd0Function>(X(), 1.0), 3.0)->Derive()), "3*(((x+1)^2)*(1))");

    // u^1 gives u' alone; u^0 the zero node.
    EXPECT_TRUE(Is<CPolynom1Function>(N<CPowerR0Function>(N<CSqr1Function>(), 1.0)->Derive()));
    EXPECT_TRUE(Is<CNullFunction>(N<CPowerR0Function>(N<CSqr1Function>(), 0.0)->Derive()));

    // exp(2) does not report itself constant, so its derivative is exp(2) times zero, not zero.
    const Tree expOfTwo = N<CExpFunction>(C(2))->Derive();
    ASSERT_TRUE(Is<CMulFunction>(expOfTwo));
    EXPECT_EQ(Text(*expOfTwo), "(exp(2))*(0)");
    EXPECT_EQ(expOfTwo->Evaluate(1), 0);

    // A node that reports itself constant derives to zero whatever its children.
    EXPECT_TRUE(Is<CNullFunction>(N<CSinFunction>(C(2))->Derive()));
    EXPECT_TRUE(Is<CNullFunction>(N<CMulFunction>(N<CSin1Function>(), Zero())->Derive()));
}

TEST(FunctionTreeDerive, StepFunctionsDeriveToZero)
{
    for (const Tree& tree : { N<CCeilFunction>(G()), N<CFloorFunction>(G()), N<CSignFunction>(G()),
                              N<CCeil1Function>(), N<CFloor1Function>(), N<CSign1Function>() })
        EXPECT_TRUE(Is<CNullFunction>(tree->Derive())) << Text(*tree);
}

// No node expresses the derivative of the gamma function: a tree that needs it has no derivative,
// rather than a wrong one.
TEST(FunctionTreeDerive, GammaOfAVariableHasNoSymbolicDerivative)
{
    EXPECT_EQ(N<CGamma1Function>()->Derive(), nullptr);
    EXPECT_EQ(N<CGammaFunction>(G())->Derive(), nullptr);
    EXPECT_EQ(N<CAddFunction>(X(), N<CGamma1Function>())->Derive(), nullptr);
    EXPECT_EQ(N<CMulFunction>(N<CGamma1Function>(), X())->Derive(), nullptr);
    EXPECT_EQ(N<CSinFunction>(N<CGammaFunction>(X()))->Derive(), nullptr);
    EXPECT_EQ(N<CPowerR0Function>(N<CGamma1Function>(), 2.0)->Derive(), nullptr);
    // Over a constant the gamma function is constant, and its derivative truly zero.
    EXPECT_TRUE(Is<CNullFunction>(N<CGammaFunction>(C(2.5))->Derive()));
    EXPECT_TRUE(Is<CNullFunction>(N<CMulFunction>(N<CGamma1Function>(), Zero())->Derive()));
}

} // namespace
