#include "engine/FormulaInputs.h"

#include "engine/FormulaEngine.h"
#include "engine/FunctionTree.h"
#include "platform/base/tests/Printers.h"

#include <gtest/gtest.h>

namespace {

// Each test starts and ends with the globals as a fresh run has them.
class FormulaInputsTest : public ::testing::Test {
protected:
    void SetUp() override { ClearGlobals(); }
    void TearDown() override { ClearGlobals(); }
    static void ClearGlobals()
    {
        for (double& value : g_FunctConst)
            value = 0;
        g_FormulaText.Empty();
    }

    static FormulaInputs Inputs(const wchar_t* formula, double x)
    {
        FormulaInputs inputs;
        inputs.formula = formula;
        inputs.x = x;
        inputs.constants = { 1, 2, 3, 4, 5, 6, 7 };
        return inputs;
    }

    CFormulaEngine engine;
};

TEST_F(FormulaInputsTest, TheParserAndTheTreeBuilderSeeTheSameConstants)
{
    const FormulaInputs inputs = Inputs(L"a + 10*b + 100*g + x", 0.5);
    int errorPosition = -1;
    CString errorText;
    EXPECT_EQ(inputs.Calculate(engine.FormulaParser, &errorPosition, &errorText, TRUE), 721.5);
    EXPECT_EQ(errorPosition, 0);
    EXPECT_TRUE(errorText.IsEmpty());

    EXPECT_EQ(g_FormulaText, CString(L"a + 10*b + 100*g + x"));
    for (int i = 0; i < FormulaInputs::ConstantCount; ++i)
        EXPECT_EQ(g_FunctConst[i], i + 1.0) << i;
    int treeError = 0;
    EXPECT_EQ(EvaluateTree(g_FormulaText, 0.5, &treeError), 721.5) << "the tree reads A to G from the globals";
}

TEST_F(FormulaInputsTest, OnlyAToGOfTheGlobalsChange)
{
    g_FunctConst[7] = 8.5;
    g_FunctConst[8] = 9.5;
    Inputs(L"1", 0).ApplyTo(engine.FormulaParser);
    EXPECT_EQ(g_FunctConst[6], 7.0);
    EXPECT_EQ(g_FunctConst[7], 8.5);
    EXPECT_EQ(g_FunctConst[8], 9.5);
}

TEST_F(FormulaInputsTest, LastAppliedGivesBackTheFormulaAndTheConstants)
{
    Inputs(L"c*x", 3).ApplyTo(engine.FormulaParser);
    const FormulaInputs last = FormulaInputs::LastApplied();
    EXPECT_EQ(last.formula, CString(L"c*x"));
    EXPECT_EQ(last.constants, (std::array<double, 7> { 1, 2, 3, 4, 5, 6, 7 }));
    EXPECT_EQ(last.x, 0.0);
}

// The globals follow the calculation even when the formula does not parse: the pages that read
// them next compute the same formula again and meet the same error.
TEST_F(FormulaInputsTest, AParseErrorComesBackAndTheGlobalsFollowAnyway)
{
    int errorPosition = 0;
    CString errorText;
    Inputs(L"2#3", 0).Calculate(engine.FormulaParser, &errorPosition, &errorText, TRUE);
    EXPECT_EQ(errorPosition, 2);
    EXPECT_EQ(errorText, CString(L"Error on position 2 --> Return Button"));
    EXPECT_EQ(g_FormulaText, CString(L"2#3"));
    EXPECT_EQ(g_FunctConst[0], 1.0);
}

} // namespace
