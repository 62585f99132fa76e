// Printed trees read back by the formula parser give the trees' own values: the derivative shown
// to the user names the function it computed.

#include "engine/FormulaEngine.h"
#include "engine/FunctionTree.h"
#include "engine/FunctionTreeBuilder.h"
#include "engine/tests/FunctionTreeTestNodes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The parser's value of text at x; the text must be read whole, with no evaluation problem.
double ParserValue(const CString& text, double x)
{
    int position = -1;
    CString message;
    const double value = GetFormulaEngine().FormulaParser.Calculate(text, x, &position, &message, TRUE);
    EXPECT_EQ(position, 0) << text.ToUtf8();
    EXPECT_EQ(message.ToUtf8(), "") << text.ToUtf8();
    return value;
}

// Node texts carry six significant digits.
void ExpectReadsBack(const CFunction<double>& tree, double x)
{
    const double value = tree.Evaluate(x);
    EXPECT_NEAR(ParserValue(tree.GetText(), x), value, 2e-5 * (1 + std::fabs(value)))
        << Text(tree) << " at x = " << x;
}

TEST(FunctionTreeText, HandBuiltTreesReadBack)
{
    const Tree trees[] = {
        N<CNegFunction>(N<CAdd0Function>(X(), 1.0)),
        N<CNegFunction>(N<CPowerR0Function>(X(), 2.0)),
        N<CNegFunction>(C(-2)),
        N<CNegFunction>(N<CNegFunction>(X())),
        N<CSubL0Function>(N<CSubL0Function>(X(), 1.0), 2.0),
        N<CSubL0Function>(N<CNegFunction>(X()), 2.0),
        N<CPowerR0Function>(N<CAdd0Function>(X(), 1.0), 3.0),
        N<CPowerR0Function>(N<CNegFunction>(X()), 2.0),
        N<CPowerR0Function>(N<CMul0Function>(X(), 2.0), 2.0),
        N<CPowerR0Function>(N<CPowerL0Function>(X(), 2.0), 2.0),
        N<CPowerR0Function>(X(), -1.0),
        N<CSqrFunction>(N<CSubR0Function>(X(), 3.0)),
        N<CLogFunction>(N<CSqr1Function>()),
        N<CLog10Function>(X()),
        N<CSqrtFunction>(N<CPolynom2Function>(1.0, -1.0, 2.0)),
        N<CAddFunction>(X(), N<CNegFunction>(N<CSubFunction>(X(), C(4)))),
        N<CMul0Function>(N<CPolynom1Function>(-3.0, 2.0), -0.5),
        N<CDivR0Function>(N<CAddFunction>(X(), C(1)), -4.0),
        N<CPowerL0Function>(N<CNegFunction>(X()), 0.5),
    };
    for (const Tree& tree : trees) {
        for (double x : { 0.7, 1.3, 2.1 })
            ExpectReadsBack(*tree, x);
    }
}

// Formulas, their trees and their derivatives all print as texts that the parser reads back.
TEST(FunctionTreeText, BuiltTreesAndDerivativesReadBack)
{
    const wchar_t* formulas[] = {
        L"SIN(X)", L"COS(X)", L"X*X", L"X^3", L"(X+1)^3", L"-(X+1)^2", L"-X^2", L"5-(X+1)", L"3-X*X", L"1-(1-X)",
        L"LN(X)", L"LOG(X)", L"SQR(X)", L"SQR(X^2+1)", L"EXP(2*X)", L"X*SIN(X)", L"SIN(X)/X", L"2^X", L"X^X",
        L"1/(X+1)", L"ARCTAN(X^2)", L"ARCSIN(X/4)", L"ARCCOS(X/4)", L"(COS(X)+2)^2", L"TAN(X)", L"COT(X)",
        L"COSH(X)*SINH(X)", L"TANH(X)", L"ABS(X-3)", L"LN(X^2+1)", L"LOG(3*X+1)", L"(X^2+1)/(X-3)",
        L"SIN(X)*SIN(X)", L"-SIN(2*X+1)", L"X/2-X/3", L"(2*X)^(1/2)", L"EXP(-X)", L"1/X^2",
    };
    for (const wchar_t* formula : formulas) {
        SCOPED_TRACE(CString(formula).ToUtf8());
        CString text = formula;
        const Tree tree = BuildFunctionTree(text, L"X");
        ASSERT_NE(tree, nullptr);
        const Tree derivative = tree->Derive();
        ASSERT_NE(derivative, nullptr);
        for (double x : { 0.7, 1.3, 2.1 }) {
            ExpectReadsBack(*tree, x);
            ExpectReadsBack(*derivative, x);
        }
    }
}

TEST(FunctionTreeText, TheDerivativeShownIsTheDerivativeComputed)
{
    CString text;
    int error = 0;
    for (const wchar_t* formula : { L"(X+1)^3", L"-X*X", L"SQR(X+2)", L"LN(2*X)" }) {
        const double value = EvaluateDerivativeTree(formula, 1.5, &text, &error);
        EXPECT_NEAR(ParserValue(text, 1.5), value, 1e-5 * (1 + std::fabs(value))) << text.ToUtf8();
    }
}

} // namespace
