#include "engine/FormulaEngine.h"
#include "engine/FormulaParser.h"
#include "engine/PhysConst.h"
#include "platform/base/MessageBox.h"
#include "platform/base/TextToNumber.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Outcome {
    double value;
    int errPos;
    std::wstring errText;
};

class FormulaParserTest : public ::testing::Test {
protected:
    Outcome Evaluate(const wchar_t* formula, double x = 1.0, BOOL normalise = FALSE)
    {
        Outcome outcome { 0.0, -1, L"untouched" };
        CString errText(L"untouched");
        outcome.value = parser.Calculate(formula, x, &outcome.errPos, &errText, normalise);
        outcome.errText = errText.str();
        return outcome;
    }

    std::wstring Normalized(const wchar_t* text)
    {
        CString formula(text);
        parser.NormalizeFormula(formula);
        return formula.str();
    }

    CPhysConst constants;
    CFormulaParser parser { constants };
};

struct ValueCase {
    const wchar_t* formula;
    double x;
    double expected;
};

TEST_F(FormulaParserTest, EvaluatesOperatorsFunctionsAndNamesWithoutError)
{
    const ValueCase cases[] = {
        { L"2+3*4", 1, 14 },
        { L"(2+3)*4", 1, 20 },
        { L"2^3^2", 1, 64 },               // left-associative
        { L"-2^2", 1, 4 },                 // the sign binds tighter than "^"
        { L"2^-1", 1, 0.5 },
        { L"(-2)^2", 1, 4 },
        { L"10-4-3", 1, 3 },
        { L"12/4/3", 1, 1 },
        { L"2 + 3 *4", 1, 14 },            // blanks between tokens are skipped
        { L"2+", 1, 2 },                   // a missing operand at the end reads as 0
        { L"(2+3", 1, 5 },                 // a missing ")" is accepted
        { L"1.2.3", 1, 1.2 },              // the longest valid prefix of the number
        { L".5", 1, 0.5 },
        { L"x", 3, 3 },
        { L"X^2", 3, 9 },
        { L"pi*2", 1, 6.283185307179586 },
        { L"Pi*2", 1, 6.283185307179586 },
        { L"PI*2", 1, 6.283185307179586 },
        { L"PI2", 1, 3.141592653589793 },  // the argument of a constant is read and ignored
        { L"_e", 1, 2.718281828459045 },
        { L"SIN2", 1, std::sin(2.0) },
        { L"SIN x", 2, std::sin(2.0) },
        { L"sin(x)", 2, std::sin(2.0) },
        { L"SIN-1", 1, -1 },               // the argument is a factor: SIN(0) - 1
        { L"SINH(1)+COSH(1)+TANH(1)", 1, std::sinh(1.0) + std::cosh(1.0) + std::tanh(1.0) },
        { L"COS(1)*TAN(1)*COT(1)", 1, std::cos(1.0) * std::tan(1.0) * std::cos(1.0) / std::sin(1.0) },
        { L"ARCTAN(1)+ARCSIN(0.5)+ARCCOS(1)", 1, std::atan(1.0) + std::asin(0.5) },
        { L"LN(x)+LOG(1000)", 2, std::log(2.0) + 3 },
        { L"LN(0)", 1, -INFINITY },        // no error at 0
        { L"EXP(41)", 1, std::exp(41.0) },
        { L"SQR(16)+ABS(-3)", 1, 7 },
        { L"INT(-2.7)+INT(2.7)", 1, 0 },
        { L"SIGN(-5)*10+SIGN(0)", 1, -10 },
        { L"RAD(180)", 1, 3.14159265359 },
        { L"DEG(3.14159265359)", 1, 180 },
        { L"ARSINH(-1)", 1, -std::log(std::sqrt(2.0) + 1) },
        { L"ARCOSH(2)", 1, std::log(std::sqrt(3.0) + 2) },
        { L"ARTANH(0.5)", 1, 0.5 * std::log(3.0) },
        { L"_c*2", 1, 599584916 },
        { L"_C", 1, 299792458 },
        { L"_h_BAR_MeVs", 1, 6.582122e-22 },  // the longest matching name wins
        { L"_h_bar", 1, 1.05457266e-34 },
        { L"_e_C", 1, 1.60217733e-19 },
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(testing::Message() << CString(c.formula).ToUtf8());
        Outcome outcome = Evaluate(c.formula, c.x);
        EXPECT_DOUBLE_EQ(outcome.value, c.expected);
        EXPECT_EQ(outcome.errPos, 0);
        EXPECT_EQ(outcome.errText, L"");
    }
}

TEST_F(FormulaParserTest, EveryPhysicalConstantIsFoundByItsNameInAnyCase)
{
    for (int index = 1; index <= CPhysConst::ConstantCount; ++index) {
        CString name;
        constants.GetName(&name, index);
        CString lower = name;
        lower.MakeLower();
        EXPECT_EQ(Evaluate(name).value, constants.GetValue(name)) << name.ToUtf8();
        EXPECT_EQ(Evaluate(lower).value, constants.GetValue(name)) << lower.ToUtf8();
    }
}

TEST_F(FormulaParserTest, ReadsXEqualToZeroAsTheSmallestNormalFloat)
{
    EXPECT_EQ(Evaluate(L"x", 0.0).value, 1.1754943508222875e-38);
    EXPECT_DOUBLE_EQ(Evaluate(L"SIN(x)/x", 0.0).value, 1.0);
}

TEST_F(FormulaParserTest, FunctionConstantsAThroughGReadSlotsOneToSeven)
{
    for (int n = 1; n <= 7; ++n)
        parser.SetFunctConst(n, n * 10.0);
    EXPECT_EQ(Evaluate(L"A").value, 10);
    EXPECT_EQ(Evaluate(L"g+b").value, 90);
    EXPECT_EQ(Evaluate(L"E*2").value, 100);
    EXPECT_EQ(Evaluate(L"ABS(-1)").value, 1);  // a name goes before the letter
}

TEST_F(FormulaParserTest, SetFunctConstOutsideOneToNineShowsAMessageAndChangesNothing)
{
    std::vector<std::wstring> boxes;
    MessageBoxHandler previous = SetMessageBoxHandler([&](const wchar_t* text, const wchar_t*, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    parser.SetFunctConst(1, 4.0);
    parser.SetFunctConst(0, 99.0);
    parser.SetFunctConst(10, 99.0);
    parser.SetFunctConst(9, 99.0);
    SetMessageBoxHandler(previous);

    EXPECT_EQ(boxes, (std::vector<std::wstring> { L"ProgrammError in SetFunctConst()", L"ProgrammError in SetFunctConst()" }));
    EXPECT_EQ(Evaluate(L"A").value, 4.0);
}

struct ErrorCase {
    const wchar_t* formula;
    double expectedValue;
    int expectedPos;
    const wchar_t* expectedText;
};

TEST_F(FormulaParserTest, ReportsProblemsWithValueSoFarPositionAndMessage)
{
    const ErrorCase cases[] = {
        { L"2/", 2, 0, L" Divide by zero!" },
        { L"2/0+1", 3, 0, L" Divide by zero!" },
        { L"(-8)^(1/3)", -8, 0, L" No SQR from neg. values!" },
        { L"(-2)^1", -2, 0, L" No SQR from neg. values!" },
        { L"0^0.5", 0, 0, L" No SQR from neg. values!" },
        { L"(-2)^3000000000", -2, 0, L" No SQR from neg. values!" },  // beyond a 32-bit whole number
        { L"SQR(-1)", -1, 0, L" General Parser Error blocked!" },
        { L"LN(-1)", -1, 0, L" General Parser Error blocked!" },
        { L"EXP(41.5)", 41.5, 0, L" General Parser Error blocked!" },
        { L"ARCSIN(1)", 1, 0, L" General Parser Error blocked!" },
        { L"ARCCOS(-1.5)", -1.5, 0, L" General Parser Error blocked!" },
        { L"ARTANH(2)", 2, 0, L" General Parser Error blocked!" },
        { L"ARCOSH(0.5)", 0.5, 0, L" General Parser Error blocked!" },
        { L"ARCOSH(-2)", -2, 0, L" General Parser Error blocked!" },  // no silent NaN below -1
        { L"1/0+SQR(-1)", 0, 0, L" General Parser Error blocked!" },  // the last problem is kept
        { L"2#3", 2, 2, L"Error on position 2 --> Return Button" },
        { L"2PI", 2, 2, L"Error on position 2 --> Return Button" },
        { L"2E3", 2, 2, L"Error on position 2 --> Return Button" },  // no exponent notation
        { L"1 2", 1, 3, L"Error on position 3 --> Return Button" },
        { L"(2+3))", 5, 6, L"Error on position 6 --> Return Button" },
        { L"SQR(-4)#", -4, 8, L"Error on position 8 --> Return Button General Parser Error blocked!" },
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(testing::Message() << CString(c.formula).ToUtf8());
        Outcome outcome = Evaluate(c.formula);
        EXPECT_DOUBLE_EQ(outcome.value, c.expectedValue);
        EXPECT_EQ(outcome.errPos, c.expectedPos);
        EXPECT_EQ(outcome.errText, c.expectedText);
    }
}

TEST_F(FormulaParserTest, EmptyFormulaGivesZeroAndLeavesTheOutputsAlone)
{
    Outcome outcome = Evaluate(L"", 5.0, TRUE);
    EXPECT_EQ(outcome.value, 0.0);
    EXPECT_EQ(outcome.errPos, -1);
    EXPECT_EQ(outcome.errText, L"untouched");
}

TEST_F(FormulaParserTest, ErrorMessageIsClearedByTheNextCalculation)
{
    EXPECT_EQ(Evaluate(L"SQR(-1)").errText, L" General Parser Error blocked!");
    EXPECT_EQ(Evaluate(L"1+1").errText, L"");
}

TEST_F(FormulaParserTest, KgvAndGgtReadTheTwoIntegersOfTheLastNumberText)
{
    EXPECT_EQ(Evaluate(L"KGV(12,18)", 1, TRUE).value, 36);
    EXPECT_EQ(Evaluate(L"GGT(12,18)", 1, TRUE).value, 6);
    EXPECT_EQ(Evaluate(L"GGT(18.12)").value, 6);
    EXPECT_EQ(Evaluate(L"KGV(4.6.5)").value, 28);  // second part "6.5" rounds half away to 7
    EXPECT_EQ(Evaluate(L"GGT(12)").value, 12);     // no second integer
    EXPECT_EQ(Evaluate(L"KGV(12)").value, 0);
    EXPECT_EQ(Evaluate(L"KGV(0.0)").value, 0);
    // The argument's value is not used; the last number text even survives between calls.
    Evaluate(L"24.36");
    EXPECT_EQ(Evaluate(L"GGT x").value, 12);
    // Integers beyond 2^31 keep their value; beyond 2^63 the parts saturate instead of overflowing.
    EXPECT_EQ(Evaluate(L"KGV(99999999999,2)", 1, TRUE).value, 199999999998.0);
    EXPECT_EQ(Evaluate(L"GGT(6000000000,4000000000)", 1, TRUE).value, 2000000000.0);
    EXPECT_EQ(Evaluate(L"KGV(9000000000000000000.8000000000000000000)").value, 72000000000000000000.0);
    EXPECT_TRUE(std::isfinite(Evaluate(L"KGV(99999999999999999999999.99999999999999999999)").value));
}

TEST_F(FormulaParserTest, IntTruncatesWholeValuesOfAnySize)
{
    EXPECT_EQ(Evaluate(L"INT(3000000000.7)").value, 3000000000.0);
    EXPECT_EQ(Evaluate(L"INT(-5000000000.5)").value, -5000000000.0);
    const double minusHalf = Evaluate(L"INT(-0.5)").value;
    EXPECT_EQ(minusHalf, 0.0);
    EXPECT_FALSE(std::signbit(minusHalf));  // no "-0" on the display
}

TEST_F(FormulaParserTest, NumbersReadExactlyAsTheClassicConversion)
{
    std::vector<std::wstring> numbers = {
        L"0.1", L"2.2", L"1.1", L"123456789012345", L"1234567890123456789012345", L"3.14159265358979323846",
        L"0.000000000000000000000000001", L"9007199254740993", L"0.30000000000000004", L"00000.5000",
    };
    std::mt19937 random(7);
    for (int i = 0; i < 500; ++i) {
        std::wstring number;
        int length = 1 + static_cast<int>(random() % 25);
        int point = static_cast<int>(random() % (length + 1));
        for (int j = 0; j < length; ++j)
            number += j == point ? L'.' : static_cast<wchar_t>(L'0' + random() % 10);
        numbers.push_back(number);
    }
    for (const std::wstring& number : numbers) {
        SCOPED_TRACE(testing::Message() << CString(number).ToUtf8());
        EXPECT_EQ(Evaluate(number.c_str()).value, ClassicWcsToD(number.c_str()));
    }
}

TEST_F(FormulaParserTest, NormalizeFormulaRewritesTheText)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        { L"((x+1))*2", L"(x+1)*2" },
        { L"2*[a+b]", L"2*(a+b)" },
        { L"{a+b}*2", L"(a+b)*2" },
        { L"(3,5)", L"3.5" },
        { L" +2*(1)", L"2" },
        { L"((1+2))", L"1+2" },
        { L"(((x)))", L"x" },
        { L"(a)+(b)", L"(a)+(b)" },  // not enclosed: "+" stands outside
        { L"(a))", L"(a))" },        // the depth ends at -1
        { L"2*((x+1))", L"2*(x+1)" },
        { L"SIN((x))", L"SIN(x)" },
        // Only a pair that really encloses another is doubled: ")(" between two pairs is not.
        { L"a^(((b)-(c))^((d)))", L"a^(((b)-(c))^(d))" },
        { L"((a)+(b))*((c))", L"((a)+(b))*(c)" },
        { L"2*(x)", L"2*x" },
        { L"2*(x)^2", L"2*x^2" },
        { L"(x)*2+1", L"(x)*2+1" },
        { L"1+((x)*2)", L"1+(x*2)" },
        { L"1-(x)*2", L"1-x*2" },
        { L"x+1\t", L"x+1" },
        { L"2|3", L"23" },
        // A factor (1) goes only where the parse cannot change.
        { L"3*(1)+2", L"3+2" },
        { L"2+(1)*3", L"2+3" },
        { L"(1)*x", L"x" },
        { L"x^2*(1)", L"x^2" },
        { L"SIN(1)*2", L"SIN(1)*2" },
        { L"6/(1)*2", L"6/(1)*2" },
        { L"2*(1)^2", L"2*(1)^2" },
        { L"-(1)*2^2", L"-(1)*2^2" },
        { L"2^(1)*3", L"2^(1)*3" },
    };
    for (const auto& [input, expected] : cases)
        EXPECT_EQ(Normalized(input), expected) << CString(input).ToUtf8();

    // The function-tree builder asks to keep a leading "+"; everything else is rewritten alike.
    CString kept(L" ((+2*(1)))");
    parser.NormalizeFormula(kept, CFormulaParser::LeadingPlus::Keep);
    EXPECT_EQ(kept, CString(L"+2"));
}

// StablePrefixes answers for every prefix what normalising that prefix would answer: where the
// parentheses never close more than they opened, exactly; elsewhere it may only say "changes".
TEST_F(FormulaParserTest, StablePrefixesAreThePrefixesThatNormaliseToThemselves)
{
    std::vector<std::wstring> texts = {
        L"x+x+x", L"(x+1)+x+x", L"((x))+x", L"(x)(x)+1", L"x*(1)^2+x", L"x*(1)+x", L"2+(1)*3+x", L"SIN(1)*2+x",
        L"x+(x)*2", L"x*(x)+1", L"+x+1", L" x+1", L"x+1 ", L"x|1+2", L"[x]+{1},5", L"a^(((b)-(c))^((d)))+e",
        L"(((x+1)))*2", L"(a))+(b", L"x+1)+(2",
    };
    // And short texts of the characters the rules look at, with a fixed seed.
    std::mt19937 random(20261210);
    constexpr std::wstring_view alphabet = L"x1()()+-*^ |";
    for (int i = 0; i < 3000; ++i) {
        std::wstring text(random() % 14, L' ');
        for (wchar_t& c : text)
            c = alphabet[random() % alphabet.size()];
        texts.push_back(text);
    }
    for (const auto leadingPlus : { CFormulaParser::LeadingPlus::Keep, CFormulaParser::LeadingPlus::Drop }) {
        for (const std::wstring& text : texts) {
            const CFormulaParser::StablePrefixes stable(text, leadingPlus);
            int depth = 0;
            bool closedTooMany = false;
            for (size_t length = 0; length <= text.size(); ++length) {
                CString prefix(text.substr(0, length).c_str());
                parser.NormalizeFormula(prefix, leadingPlus);
                const bool unchanged = prefix.view() == text.substr(0, length);
                if (closedTooMany)
                    EXPECT_TRUE(unchanged || !stable.Keeps(static_cast<int>(length))) << CString(text.c_str()).ToUtf8() << " / " << length;
                else
                    EXPECT_EQ(stable.Keeps(static_cast<int>(length)), unchanged) << CString(text.c_str()).ToUtf8() << " / " << length;
                if (length < text.size()) {
                    depth += text[length] == L'(' ? 1 : text[length] == L')' ? -1 : 0;
                    closedTooMany = closedTooMany || depth < 0;
                }
            }
        }
    }
}

TEST_F(FormulaParserTest, NormalizingKeepsTheValueOfUserFormulasWithAFactorOne)
{
    EXPECT_DOUBLE_EQ(Evaluate(L"SIN(1)*2", 1, TRUE).value, 1.682941969615793);
    EXPECT_DOUBLE_EQ(Evaluate(L"6/(1)*2", 1, TRUE).value, 12);
    EXPECT_DOUBLE_EQ(Evaluate(L"-(1)*2^2", 1, TRUE).value, -4);
    EXPECT_DOUBLE_EQ(Evaluate(L"2*(1)^2", 1, TRUE).value, 2);
}

TEST_F(FormulaParserTest, NormalizingKeepsTheValueOfNestedParentheses)
{
    const wchar_t* formulas[] = { L"2^(((x)-(1))^((2)))", L"((x)+(1))*((x)-(2))", L"(((x)))^((2))" };
    for (const wchar_t* formula : formulas)
        EXPECT_DOUBLE_EQ(Evaluate(formula, 3, TRUE).value, Evaluate(formula, 3, FALSE).value) << CString(formula).ToUtf8();
    EXPECT_DOUBLE_EQ(Evaluate(L"2^(((x)-(1))^((2)))", 3, TRUE).value, 16);
}

TEST_F(FormulaParserTest, CalculateNormalizesOnlyItsOwnCopy)
{
    CString formula(L"[2+3]*4");
    int errPos = -1;
    CString errText;
    EXPECT_EQ(parser.Calculate(formula, 1, &errPos, &errText, TRUE), 20);
    EXPECT_EQ(formula, L"[2+3]*4");
    EXPECT_EQ(errPos, 0);
}

TEST_F(FormulaParserTest, DeepNestingStopsTheParseAtTheLimitInsteadOfCrashing)
{
    const int limit = CFormulaParser::MaxNestingDepth;
    std::wstring atLimit = std::wstring(limit, L'(') + L"1" + std::wstring(limit, L')');
    EXPECT_EQ(Evaluate(atLimit.c_str()).value, 1);
    EXPECT_EQ(Evaluate(atLimit.c_str()).errPos, 0);

    std::wstring open = std::wstring(100000, L'(') + L"1";
    Outcome outcome = Evaluate(open.c_str());
    EXPECT_EQ(outcome.errPos, limit + 1);
    EXPECT_EQ(outcome.errText, L"Error on position 1001 --> Return Button");
    EXPECT_EQ(Evaluate(open.c_str(), 1, TRUE).errPos, limit + 1);

    std::wstring functions;
    for (int i = 0; i < 100000; ++i)
        functions += L"SIN";
    EXPECT_EQ(Evaluate((functions + L"1").c_str()).errPos, 3 * limit + 1);
}

TEST_F(FormulaParserTest, NormalizesHugelyNestedTextsInLinearTime)
{
    std::wstring balanced = std::wstring(200000, L'(') + L"x" + std::wstring(200000, L')');
    EXPECT_EQ(Normalized(balanced.c_str()), L"x");
    std::wstring doubled = L"2*" + std::wstring(200000, L'(') + L"x+1" + std::wstring(200000, L')');
    EXPECT_EQ(Normalized(doubled.c_str()), L"2*(x+1)");
}

TEST(FormulaEngineTest, OwnsConstantsAndParserAndIsReachableAsTheApplicationsOne)
{
    CFormulaEngine& engine = GetFormulaEngine();
    EXPECT_EQ(&GetFormulaEngine(), &engine);
    int errPos = -1;
    CString errText;
    EXPECT_EQ(engine.FormulaParser.Calculate(L"_c", 1, &errPos, &errText, TRUE), engine.PhysConst.GetValue(L"_c"));
    EXPECT_EQ(errPos, 0);

    CFormulaEngine second;  // a later engine does not take the application's place
    EXPECT_EQ(&GetFormulaEngine(), &engine);
}

TEST(FormulaEngineTest, FunctionConstantsStartAtZero)
{
    for (double value : g_FunctConst)
        EXPECT_EQ(value, 0.0);
}

} // namespace
