// Formula text read into function trees, and the two entry points built on them.

#include "engine/FormulaEngine.h"
#include "engine/FunctionTree.h"
#include "engine/FunctionTreeBuilder.h"
#include "engine/tests/FunctionTreeTestNodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

Tree Build(const wchar_t* formula)
{
    CString text = formula;
    Tree tree = BuildFunctionTree(text, L"X");
    EXPECT_NE(tree, nullptr) << CString(formula).ToUtf8();
    return tree;
}

const CFunction<double>& ChildOf(const Tree& node)
{
    return static_cast<const CFunction1<double>&>(*node).Child();
}

double ConstantOf(const Tree& node)
{
    return static_cast<const CConstOperandFunction<double>&>(*node).Constant();
}

// Sets the function constants A to G for one test and clears them afterwards.
class FunctionConstants {
public:
    explicit FunctionConstants(std::initializer_list<double> values)
    {
        int i = 0;
        for (double value : values)
            g_FunctConst[i++] = value;
    }
    ~FunctionConstants()
    {
        for (double& value : g_FunctConst)
            value = 0;
    }
};

TEST(FunctionTreeBuilder, VariableAndItsSquare)
{
    EXPECT_TRUE(Is<CIdentityFunction>(Build(L"X")));
    EXPECT_TRUE(Is<CIdentityFunction>(Build(L"x")));
    EXPECT_TRUE(Is<CIdentityFunction>(Build(L"((x))")));
    EXPECT_TRUE(Is<CSqr1Function>(Build(L"X*X")));
    // Only the exact variable name makes the leaf; another spelling squares the identity.
    const Tree lowerSquare = Build(L"x*x");
    ASSERT_TRUE(Is<CSqrFunction>(lowerSquare));
    EXPECT_TRUE(Is<CIdentityFunction>(&ChildOf(lowerSquare)));
    const Tree sineSquare = Build(L"SIN(X)*SIN(X)");
    ASSERT_TRUE(Is<CSqrFunction>(sineSquare));
    EXPECT_TRUE(Is<CSin1Function>(&ChildOf(sineSquare)));
}

TEST(FunctionTreeBuilder, EqualOperandsAndConstantOperands)
{
    const Tree twice = Build(L"X+X");
    ASSERT_TRUE(Is<CMul0Function>(twice));
    EXPECT_EQ(ConstantOf(twice), 2);
    EXPECT_TRUE(Is<CNullFunction>(Build(L"X-X")));
    const Tree one = Build(L"X/X");
    ASSERT_TRUE(Is<CConstFunction>(one));
    EXPECT_EQ(one->Evaluate(0), 1);

    EXPECT_EQ(Build(L"2+3")->Evaluate(0), 5);
    EXPECT_TRUE(Is<CConstFunction>(Build(L"2+3")));
    EXPECT_TRUE(Is<CNullFunction>(Build(L"0*X")));
    EXPECT_TRUE(Is<CNullFunction>(Build(L"X*0")));
    EXPECT_TRUE(Is<CNullFunction>(Build(L"0/X")));
    EXPECT_TRUE(std::isinf(Build(L"1/0")->Evaluate(0)));

    EXPECT_TRUE(Is<CAdd0Function>(Build(L"2+X")));
    EXPECT_TRUE(Is<CAdd0Function>(Build(L"X+2")));
    EXPECT_TRUE(Is<CSubL0Function>(Build(L"2-X")));
    EXPECT_TRUE(Is<CSubR0Function>(Build(L"X-2")));
    EXPECT_TRUE(Is<CMul0Function>(Build(L"2*X")));
    EXPECT_TRUE(Is<CDivL0Function>(Build(L"2/X")));
    EXPECT_TRUE(Is<CDivR0Function>(Build(L"X/2")));
    EXPECT_TRUE(Is<CPowerL0Function>(Build(L"2^X")));
    EXPECT_TRUE(Is<CPowerR0Function>(Build(L"X^2")));
    EXPECT_TRUE(Is<CAddFunction>(Build(L"X+SIN(X)")));
    EXPECT_TRUE(Is<CSubFunction>(Build(L"X-SIN(X)")));
    EXPECT_TRUE(Is<CMulFunction>(Build(L"X*SIN(X)")));
    EXPECT_TRUE(Is<CDivFunction>(Build(L"X/SIN(X)")));
    EXPECT_TRUE(Is<CPowerFunction>(Build(L"X^SIN(X)")));
}

// A constant zero divisor is kept as the division it is, instead of making the formula 0.
TEST(FunctionTreeBuilder, DivisionByAConstantZeroIsBuilt)
{
    const Tree quotient = Build(L"X/0");
    ASSERT_TRUE(Is<CDivR0Function>(quotient));
    EXPECT_TRUE(std::isinf(quotient->Evaluate(2)));
    EXPECT_TRUE(std::isnan(quotient->Evaluate(0)));
    EXPECT_TRUE(std::isinf(Build(L"(X+1)/(2-2)")->Evaluate(1)));
}

TEST(FunctionTreeBuilder, SignsAndConstants)
{
    EXPECT_EQ(Build(L"-PI")->Evaluate(0), -3.141592653589793);
    EXPECT_EQ(Build(L"_e")->Evaluate(0), 2.718281828459045);
    const Tree negation = Build(L"-X");
    ASSERT_TRUE(Is<CNegFunction>(negation));
    EXPECT_TRUE(Is<CIdentityFunction>(&ChildOf(negation)));
    EXPECT_TRUE(Is<CNullFunction>(Build(L"-SIN(0)")));
    // A leading "+" is no sign to the builder: the text reads as the constant 0, also inside
    // parentheses and as an operand, while the parser reads X (verification flags the difference).
    for (const wchar_t* formula : { L"+X", L" +X", L"(+X)" }) {
        const Tree tree = Build(formula);
        EXPECT_TRUE(Is<CConstFunction>(tree) && tree->Evaluate(2) == 0) << CString(formula).ToUtf8();
    }
    EXPECT_TRUE(Is<CNullFunction>(Build(L"X*(+X)")));
    EXPECT_EQ(Build(L"+2")->Evaluate(0), 2);
    EXPECT_EQ(Build(L"2+X")->Evaluate(1), 3);
    EXPECT_EQ(Build(L"-COS(0)")->Evaluate(5), -1);
    EXPECT_EQ(Build(L"_c*X")->Evaluate(2), 2 * 299792458.0);
    EXPECT_EQ(Build(L"_C")->Evaluate(0), 299792458.0);
    EXPECT_EQ(Build(L"")->Evaluate(3), 0);
    EXPECT_EQ(Build(L"2X")->Evaluate(3), 2);  // a number followed by letters reads its number
}

TEST(FunctionTreeBuilder, FunctionConstantsAreReadWhenTheTreeIsBuilt)
{
    {
        const FunctionConstants constants({ 0, 3 });
        EXPECT_TRUE(Is<CNullFunction>(Build(L"A*X")));
        const Tree scaled = Build(L"B*X");
        EXPECT_EQ(scaled->Evaluate(2), 6);
        g_FunctConst[1] = 10;
        EXPECT_EQ(scaled->Evaluate(2), 6);
    }
    const FunctionConstants constants({ 1, 2, 3, 4, 5, 6, 7 });
    EXPECT_EQ(Build(L"A+B+C+D+E+F+G")->Evaluate(0), 28);
    EXPECT_EQ(Build(L"g*x")->Evaluate(1), 7);
}

TEST(FunctionTreeBuilder, FunctionsOfConstantsVariablesAndSubformulas)
{
    EXPECT_TRUE(Is<CNullFunction>(Build(L"SIN(0)")));
    EXPECT_EQ(Build(L"COS(0)")->Evaluate(9), 1);
    EXPECT_TRUE(Is<CConstFunction>(Build(L"COS(0)")));
    EXPECT_TRUE(Is<CNullFunction>(Build(L"LN(1)")));
    EXPECT_TRUE(Is<CNullFunction>(Build(L"LOG(1)")));
    EXPECT_EQ(Build(L"SQR(16)")->Evaluate(0), 4);
    EXPECT_EQ(Build(L"GAMMA(5)")->Evaluate(0), 24);
    EXPECT_TRUE(Is<CSin1Function>(Build(L"SIN(X)")));
    EXPECT_TRUE(Is<CSin1Function>(Build(L"sin((x))")));
    EXPECT_TRUE(Is<CSinh1Function>(Build(L"SINH(X)")));
    EXPECT_TRUE(Is<CCoth1Function>(Build(L"COTH(X)")));
    EXPECT_TRUE(Is<CLog1Function>(Build(L"LN(X)")));
    EXPECT_TRUE(Is<CLog101Function>(Build(L"LOG(X)")));
    EXPECT_TRUE(Is<CSqrt1Function>(Build(L"SQR(X)")));
    EXPECT_TRUE(Is<CCeil1Function>(Build(L"CEIL(X)")));

    const Tree sineOfProduct = Build(L"SIN(2*X)");
    ASSERT_TRUE(Is<CSinFunction>(sineOfProduct));
    EXPECT_TRUE(Is<CMul0Function>(&ChildOf(sineOfProduct)));
    EXPECT_TRUE(Is<CSinhFunction>(Build(L"SINH(X+1)")));
    // COTH is not folded over a constant.
    const Tree cothOfTwo = Build(L"COTH(2)");
    ASSERT_TRUE(Is<CCothFunction>(cothOfTwo));
    EXPECT_TRUE(Is<CConstFunction>(&ChildOf(cothOfTwo)));
    EXPECT_DOUBLE_EQ(cothOfTwo->Evaluate(0), std::cosh(2.0) / std::sinh(2.0));
    EXPECT_DOUBLE_EQ(Build(L"EXP(LN(X+1))")->Evaluate(2), 3);
}

TEST(FunctionTreeBuilder, OperatorsGroupFromTheLeftAndPowersAreNotReduced)
{
    const Tree power = Build(L"2^3^2");
    ASSERT_TRUE(Is<CPowerR0Function>(power));
    EXPECT_EQ(ConstantOf(power), 2);
    ASSERT_TRUE(Is<CConstFunction>(&ChildOf(power)));
    EXPECT_EQ(ChildOf(power).Evaluate(0), 8);
    EXPECT_EQ(power->Evaluate(0), 64);
    EXPECT_EQ(Build(L"10-4+3")->Evaluate(0), 9);
    EXPECT_EQ(Build(L"X-4+3")->Evaluate(10), 9);
    EXPECT_EQ(Build(L"24/4*2")->Evaluate(0), 12);
    EXPECT_EQ(Build(L"X/4*2")->Evaluate(24), 12);
}

// The builder reads these differently from the evaluating parser, and verification is meant to
// flag them.
TEST(FunctionTreeBuilder, IntendedDifferencesFromTheParser)
{
    EXPECT_EQ(Build(L"2*-3")->Evaluate(0), -3);   // (2*0) - 3
    EXPECT_EQ(Build(L"-2^2")->Evaluate(0), -4);   // the sign takes the whole power
    EXPECT_EQ(Build(L"1E-5")->Evaluate(0), -4);   // 1E - 5
    EXPECT_EQ(Build(L"1E5")->Evaluate(0), 1e5);
    for (const wchar_t* unknown : { L"INT(X)", L"SIGN(X)", L"RAD(X)", L"DEG(X)", L"ARSINH(X)", L"ARCOSH(X)",
                                    L"ARTANH(X)", L"KGV(12,18)", L"GGT(12,18)" })
        EXPECT_EQ(Build(unknown)->Evaluate(2.5), 0) << CString(unknown).ToUtf8();
}

// The two readers' function names differ only as intended, and a function both know means the
// same in both.
TEST(FunctionTreeBuilder, FunctionNamesAgreeWithTheParser)
{
    const std::vector<std::wstring_view> parserNames = CFormulaParser::FunctionNames();
    const std::vector<std::wstring_view> treeNames = TreeFunctionNames();
    const std::set<std::wstring_view> parser(parserNames.begin(), parserNames.end());
    const std::set<std::wstring_view> tree(treeNames.begin(), treeNames.end());
    std::set<std::wstring_view> parserOnly, treeOnly, both;
    std::set_difference(parser.begin(), parser.end(), tree.begin(), tree.end(), std::inserter(parserOnly, parserOnly.end()));
    std::set_difference(tree.begin(), tree.end(), parser.begin(), parser.end(), std::inserter(treeOnly, treeOnly.end()));
    std::set_intersection(parser.begin(), parser.end(), tree.begin(), tree.end(), std::inserter(both, both.end()));
    EXPECT_EQ(parserOnly, (std::set<std::wstring_view> { L"ARCOSH", L"ARSINH", L"ARTANH", L"DEG", L"GGT", L"INT", L"KGV",
                                                         L"RAD", L"SIGN" }));
    EXPECT_EQ(treeOnly, (std::set<std::wstring_view> { L"CEIL", L"COTH", L"FLOOR", L"GAMMA" }));

    CFormulaParser& evaluator = GetFormulaEngine().FormulaParser;
    for (const std::wstring_view name : both) {
        CString formula = CString(std::wstring(name).c_str()) + L"(X)";
        int errorPosition = -1;
        CString errorText;
        const double expected = evaluator.Calculate(formula, 0.3, &errorPosition, &errorText, TRUE);
        ASSERT_EQ(errorPosition, 0) << formula.ToUtf8();
        EXPECT_DOUBLE_EQ(Build(formula)->Evaluate(0.3), expected) << formula.ToUtf8();
    }
}

TEST(FunctionTreeBuilder, TextHelpers)
{
    EXPECT_TRUE(IsConstantTerm(L""));
    EXPECT_TRUE(IsConstantTerm(L"2.5"));
    EXPECT_TRUE(IsConstantTerm(L"-2.5"));
    EXPECT_TRUE(IsConstantTerm(L"1E5"));
    EXPECT_TRUE(IsConstantTerm(L" pi "));
    EXPECT_TRUE(IsConstantTerm(L"_E"));
    EXPECT_TRUE(IsConstantTerm(L"d"));
    EXPECT_TRUE(IsConstantTerm(L"_n_a"));
    EXPECT_FALSE(IsConstantTerm(L"X"));
    EXPECT_FALSE(IsConstantTerm(L"H"));
    EXPECT_FALSE(IsConstantTerm(L"2X"));
    EXPECT_FALSE(IsConstantTerm(L"1E"));
    EXPECT_FALSE(IsConstantTerm(L"INF"));
    EXPECT_EQ(ConstantTermValue(L"2X"), 2);
    EXPECT_EQ(ConstantTermValue(L"SIN"), 0);
    EXPECT_EQ(ConstantTermValue(L"_g"), 9.80665);

    CString text = L"SIN(X+1)";
    EXPECT_TRUE(StripFunctionName(text, L"SIN"));
    EXPECT_EQ(text, CString(L"(X+1)"));
    text = L"SIN(X)+(1)";
    EXPECT_FALSE(StripFunctionName(text, L"SIN"));
    text = L"SINH(X)";
    EXPECT_FALSE(StripFunctionName(text, L"SIN"));
    text = L"SIN(X))(";
    EXPECT_FALSE(StripFunctionName(text, L"SIN"));

    text = L"cos(pi)";
    EXPECT_TRUE(MatchFunctionOfConstant(text, L"COS"));
    EXPECT_EQ(text, CString(L"pi"));
    text = L"COS(X)";
    EXPECT_FALSE(MatchFunctionOfConstant(text, L"COS"));
    EXPECT_EQ(text, CString(L"COS(X)"));

    EXPECT_TRUE(MatchFunctionOfVariable(L"LN(((x)))", L"LN", L"X"));
    EXPECT_FALSE(MatchFunctionOfVariable(L"LN(X+1)", L"LN", L"X"));
    EXPECT_TRUE(IsVariableTerm(L"(+X)", L"X"));
    EXPECT_FALSE(IsVariableTerm(L"(X)+(X)", L"X"));
    EXPECT_FALSE(IsVariableTerm(L"()", L"X"));
}

// No text crashes the builder or exhausts the stack: deep nesting falls back to a constant.
TEST(FunctionTreeBuilder, DeepAndOddTextsStillBuild)
{
    std::wstring nested;
    for (int i = 0; i < 2000; ++i)
        nested += L"SIN(";
    nested += L"X";
    nested += std::wstring(2000, L')');
    Build(nested.c_str());

    std::wstring chain = L"X";
    for (int i = 0; i < 3000; ++i)
        chain += L"+X^2";
    Build(chain.c_str());


    for (const wchar_t* odd : { L"(", L")", L")(", L"((", L"SIN(", L"SIN)", L"^", L"-", L"+", L"*", L"/", L"--X",
                                L"X^", L"^X", L"2**3", L"SIN()", L"COS(", L"(((X+1)", L"X+1))", L"SIN(2", L"_",
                                L"--", L"-(-(-X))", L"LN(-X)", L".", L"1.2.3" }) {
        const Tree tree = Build(odd);
        ASSERT_NE(tree, nullptr);
        tree->GetText();
        tree->Evaluate(1.5);
        if (Tree derivative = tree->Derive())
            derivative->GetText();
    }
}

// The depth limit is the nesting of the formula; chains of one operator are read whole at any length.
TEST(FunctionTreeBuilder, LongFlatChainsAreReadWhole)
{
    auto chain = [](const wchar_t* first, const wchar_t* link, int terms) {
        std::wstring text = first;
        for (int i = 1; i < terms; ++i)
            text += link;
        return text;
    };
    EXPECT_EQ(Build(chain(L"X", L"+X", 150).c_str())->Evaluate(1), 150);
    EXPECT_EQ(Build(chain(L"1", L"+X", 400).c_str())->Evaluate(2), 1 + 399 * 2);
    EXPECT_EQ(Build(chain(L"X", L"-X", 150).c_str())->Evaluate(1), 1 - 149);
    EXPECT_DOUBLE_EQ(Build(chain(L"X", L"*X", 150).c_str())->Evaluate(1.01), std::pow(1.01, 150));
    EXPECT_DOUBLE_EQ(Build(chain(L"X", L"/2", 150).c_str())->Evaluate(1), std::pow(0.5, 149));
    EXPECT_DOUBLE_EQ(Build(chain(L"X", L"^1", 150).c_str())->Evaluate(3), 3);
    EXPECT_DOUBLE_EQ(Build(chain(L"SIN(X)", L"+(X*X+2)", 200).c_str())->Evaluate(0.5), std::sin(0.5) + 199 * 2.25);

    // The derivative of a long sum is the sum of the derivatives.
    const Tree derivative = Build(chain(L"X", L"+X^2", 150).c_str())->Derive();
    ASSERT_NE(derivative, nullptr);
    EXPECT_EQ(derivative->Evaluate(1), 1 + 149 * 2);
}

// Chains as long as parameter files and automation give: the tree, its text and its value are
// those of the short chain, continued term by term, and the tree verifies the parser's value.
TEST(FunctionTreeBuilder, ChainsOfTwentyThousandTermsReadLikeShortOnes)
{
    constexpr int Terms = 20000;
    auto repeated = [](const std::wstring& part, int times) {
        std::wstring text;
        for (int i = 0; i < times; ++i)
            text += part;
        return text;
    };
    struct ChainCase {
        std::wstring formula;
        std::wstring text;
        double x;
        double value;
    };
    const ChainCase cases[] = {
        { L"X" + repeated(L"+X", Terms - 1), L"2*(x)" + repeated(L"+x", Terms - 2), 1.5, Terms * 1.5 },
        { L"X" + repeated(L"*X", Terms - 1), repeated(L"(", Terms - 3) + L"(x^2)*(x)" + repeated(L")*(x)", Terms - 3),
          -1, 1 },
        // The first left part loses its parentheses when normalised, and the chain goes on inside.
        { L"(X+1)" + repeated(L"+X", Terms - 1), L"x+1" + repeated(L"+x", Terms - 1), 1.5, 1 + Terms * 1.5 },
        { L"X" + repeated(L"+X*2-1", Terms - 1), L"x" + repeated(L"+2*(x)-1", Terms - 1), 1.5, 1.5 + (Terms - 1) * 2.0 },
    };
    CFormulaParser& parser = GetFormulaEngine().FormulaParser;
    for (const ChainCase& chain : cases) {
        SCOPED_TRACE(CString(chain.formula.substr(0, 20).c_str()).ToUtf8());
        const Tree tree = Build(chain.formula.c_str());
        ASSERT_NE(tree, nullptr);
        EXPECT_TRUE(tree->GetText() == CString(chain.text.c_str()));
        EXPECT_EQ(tree->Evaluate(chain.x), chain.value);

        int errPos = -1;
        CString errText;
        const double parsed = parser.Calculate(chain.formula.c_str(), chain.x, &errPos, &errText, TRUE);
        EXPECT_EQ(errPos, 0);
        int error = 42;
        EXPECT_EQ(EvaluateTree(chain.formula.c_str(), chain.x, &error), parsed);
        EXPECT_EQ(error, FunctionTreeOk);
    }
}

TEST(FunctionTreeBuilder, OnlyNestingDeeperThanTheLimitIsReadAsAConstant)
{
    auto nested = [](int levels) {
        return std::wstring(static_cast<size_t>(levels), L'(') + L"X+1" + std::wstring(static_cast<size_t>(levels), L')')
            + L"*X";
    };
    // Doubled parentheses are removed by the normaliser, so nest through a product at every level.
    auto nestedProducts = [](int levels) {
        std::wstring text = L"X";
        for (int i = 0; i < levels; ++i)
            text = L"2*(" + text + L"+X)";
        return text;
    };
    EXPECT_EQ(Build(nested(150).c_str())->Evaluate(2), 6);
    EXPECT_EQ(Build(nestedProducts(MaxBuildDepth).c_str())->Evaluate(0), 0);
    EXPECT_DOUBLE_EQ(Build(nestedProducts(MaxBuildDepth).c_str())->Evaluate(1), 3 * std::pow(2.0, MaxBuildDepth) - 2);
    EXPECT_NE(Build(nestedProducts(MaxBuildDepth + 5).c_str())->Evaluate(1), 3 * std::pow(2.0, MaxBuildDepth + 5) - 2);
}

// --- Entry points -----------------------------------------------------------------------------

TEST(FunctionTreeEntryPoints, EvaluateTree)
{
    int error = 42;
    EXPECT_EQ(EvaluateTree(L"", 1, &error), 0.0);
    EXPECT_EQ(error, 42);
    EXPECT_EQ(EvaluateTree(L"x^2", 3, &error), 9);
    EXPECT_EQ(error, FunctionTreeOk);
    EXPECT_DOUBLE_EQ(EvaluateTree(L"SIN(X)/X", 0.5, &error), std::sin(0.5) / 0.5);
    // At x = 0 the tree reads x as the parser does, so verification sees the same values.
    CFormulaParser& parser = GetFormulaEngine().FormulaParser;
    for (const wchar_t* formula : { L"SIN(X)/X", L"X", L"2*X+1", L"LN(X)" }) {
        int errPos = 0;
        CString errText;
        EXPECT_EQ(EvaluateTree(formula, 0, &error), parser.Calculate(formula, 0, &errPos, &errText, TRUE))
            << CString(formula).ToUtf8();
    }
    EXPECT_EQ(EvaluateTree(L"SIN(X)/X", 0, &error), 1);
    // A name the builder does not know is the constant 0, which verification then flags.
    EXPECT_EQ(EvaluateTree(L"INT(X)", 2.5, &error), 0);
    EXPECT_EQ(error, FunctionTreeOk);
    const CString formula = L"(X + 1)";
    EvaluateTree(formula, 1, &error);
    EXPECT_EQ(formula, CString(L"(X + 1)"));  // the caller's text is not normalised
}

TEST(FunctionTreeEntryPoints, EvaluateDerivativeTree)
{
    CString text;
    int error = 42;
    EXPECT_EQ(EvaluateDerivativeTree(L"SIN(X)", 0, &text, &error), 1);
    EXPECT_EQ(text, CString(L"cos(x)"));
    EXPECT_EQ(error, FunctionTreeOk);

    error = 42;
    EXPECT_EQ(EvaluateDerivativeTree(L"", 2, &text, &error), 0);
    EXPECT_EQ(text, CString(L"0"));
    EXPECT_EQ(error, FunctionTreeOk);

    EXPECT_EQ(EvaluateDerivativeTree(L"X^3", 2, &text, &error), 12);
    EXPECT_EQ(EvaluateDerivativeTree(L"(X+1)^3", 1, &text, &error), 12);
    EXPECT_EQ(text, CString(L"3*(((x+1)^2)*(1))"));
    EXPECT_EQ(EvaluateDerivativeTree(L"LN(X)", 4, &text, &error), 0.25);
    EXPECT_EQ(text, CString(L"1/(x)"));
}

// The derivative shown for a formula against the numeric derivative of the formula's own tree.
TEST(FunctionTreeEntryPoints, DerivativesOfFormulasAgreeWithTheNumericDerivative)
{
    const wchar_t* formulas[] = {
        L"3*X^4-2*X^2+X-7", L"SIN(X)*COS(X)", L"EXP(X)/(1+X^2)", L"LN(X^2+1)", L"SQR(X)*LOG(X)", L"X^X",
        L"2^(3*X)", L"ARCTAN(1/X)", L"TANH(X)-COTH(X)", L"(X+1)/(X-4)", L"ABS(X-0.2)*X", L"-(X^3)+COT(X)",
        L"ARCSIN(X/3)+ARCCOS(X/4)", L"SINH(X)^2-COSH(X)^2", L"PI*X^2/_e", L"(SIN(X)^2+1)^(1/2)",
    };
    for (const wchar_t* formula : formulas) {
        SCOPED_TRACE(CString(formula).ToUtf8());
        const Tree tree = Build(formula);
        for (double x : { 0.35, 1.1, 2.3 }) {
            CString text;
            int error = 42;
            const double derivative = EvaluateDerivativeTree(formula, x, &text, &error);
            EXPECT_EQ(error, FunctionTreeOk);
            const double numeric = tree->NumDerivative(x, 1, 1e-7);
            EXPECT_NEAR(derivative, numeric, 1e-5 * (1 + std::fabs(numeric))) << "x = " << x << ": " << text.ToUtf8();
        }
    }
}

// Formulas that both readers read alike (no sign before a power, no leading "+", no name only
// one of them knows) give exactly the parser's value on the tree, so verification stays quiet.
class FormulaGenerator {
public:
    std::wstring Formula(int depth)
    {
        if (depth == 0 || Pick(4) == 0) {
            const wchar_t* atoms[] = { L"X", L"X", L"3", L"1.5", L"PI", L"_e", L"A", L"_c", L"0.25" };
            return atoms[Pick(std::size(atoms))];
        }
        if (Pick(8) == 0) {
            const std::wstring operand = Formula(depth - 1);
            const bool compound = operand.find_first_of(L"+-*/^") != std::wstring::npos;
            return compound ? L"(-(" + operand + L"))" : L"(-" + operand + L")";
        }
        if (Pick(3) == 0) {
            const wchar_t* names[] = { L"SIN", L"COS", L"TAN", L"COT", L"EXP", L"LN", L"LOG", L"SQR",
                                       L"ABS", L"ARCTAN", L"SINH", L"COSH", L"TANH" };
            return std::wstring(names[Pick(std::size(names))]) + L"(" + Formula(depth - 1) + L")";
        }
        const wchar_t* operators[] = { L"+", L"-", L"*", L"/", L"^" };
        std::wstring left = Formula(depth - 1);
        std::wstring right = Formula(depth - 1);
        if (Pick(2))
            left = L"(" + left + L")";
        if (Pick(2))
            right = L"(" + right + L")";
        return left + operators[Pick(std::size(operators))] + right;
    }
    size_t Pick(size_t count) { return m_random() % count; }

private:
    std::mt19937 m_random { 20261209 };
};

TEST(FunctionTreeEntryPoints, VerificationAgreesWithTheParserWhereBothReadAlike)
{
    const FunctionConstants constants({ 2.5 });
    CFormulaParser& parser = GetFormulaEngine().FormulaParser;
    parser.SetFunctConst(1, 2.5);
    FormulaGenerator generator;
    int compared = 0;
    for (int i = 0; i < 600; ++i) {
        const CString formula = generator.Formula(4).c_str();
        const double x = 0.3 + 0.17 * static_cast<double>(generator.Pick(20));
        int errPos = -1;
        CString errText;
        const double parsed = parser.Calculate(formula, x, &errPos, &errText, TRUE);
        if (errPos != 0 || !errText.IsEmpty() || !std::isfinite(parsed))
            continue;  // the parser flagged it or left the finite range
        int error = 42;
        EXPECT_EQ(EvaluateTree(formula, x, &error), parsed) << formula.ToUtf8() << " at x = " << x;
        ++compared;
    }
    parser.SetFunctConst(1, 0);
    EXPECT_GT(compared, 400);
}

// Gamma has no derivative node: the derivative is reported as failed, never as a wrong value.
TEST(FunctionTreeEntryPoints, DerivativeOfGammaIsReportedAsAnError)
{
    CString text = L"old";
    int error = 42;
    EXPECT_EQ(EvaluateDerivativeTree(L"GAMMA(X)", 2, &text, &error), 0.0);
    EXPECT_EQ(text, CString(L"Err"));
    EXPECT_EQ(error, FunctionTreeFailed);
    EXPECT_EQ(EvaluateDerivativeTree(L"X*GAMMA(X+1)", 2, &text, &error), 0.0);
    EXPECT_EQ(error, FunctionTreeFailed);
    // Over a constant, gamma is a constant whose derivative is truly 0.
    EXPECT_EQ(EvaluateDerivativeTree(L"GAMMA(4)*X", 2, &text, &error), 6);
    EXPECT_EQ(error, FunctionTreeOk);
}

} // namespace
