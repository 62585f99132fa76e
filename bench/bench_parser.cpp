// Formula evaluation speed: CFormulaParser::Calculate (text to value on every call) beside
// muparser, timed as SetExpr + Eval (text to value) and as Eval alone (precompiled bytecode).
// After the runs a table prints the ratios per formula and their medians.

// muparser first: it defines its own _T for narrow text, which our headers define for wide text.
#include <muParser.h>
#undef _T

#include "engine/FormulaParser.h"
#include "engine/PhysConst.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

struct BenchFormula {
    const char* label;
    const wchar_t* formula;   // as the calculator writes it
    const char* muExpression;  // the same in muparser's syntax
};

const BenchFormula kFormulas[] = {
    { "linear", L"2.2*x+1.1", "2.2*x+1.1" },
    { "quadratic", L"x^2+3*x-5", "x^2+3*x-5" },
    { "sinc", L"SIN(x)/x", "sin(x)/x" },
    { "root", L"SQR(x^2+1)", "sqrt(x^2+1)" },
    { "damped", L"EXP(-x)*COS(2*PI*x)", "exp(-x)*cos(2*_pi*x)" },
    { "logs", L"LN(ABS(x)+1)+LOG(x+10)", "ln(abs(x)+1)+log10(x+10)" },
    { "nested", L"SIN(COS(TAN(x)))", "sin(cos(tan(x)))" },
    { "area", L"ARSINH(x)+ARTANH(x/10)", "asinh(x)+atanh(x/10)" },
    { "rational", L"(x+1)*(x-1)/(x^2+1)", "(x+1)*(x-1)/(x^2+1)" },
    { "poly5", L"3*x^5-2*x^4+7*x^3-x^2+5*x-11", "3*x^5-2*x^4+7*x^3-x^2+5*x-11" },
    { "poly9", L"1.5*x^9+2.25*x^8-3.125*x^7+4*x^6-5.5*x^5+6.75*x^4-7*x^3+8.5*x^2-9.25*x+10",
      "1.5*x^9+2.25*x^8-3.125*x^7+4*x^6-5.5*x^5+6.75*x^4-7*x^3+8.5*x^2-9.25*x+10" },
    { "horner", L"((((2*x+3)*x-4)*x+5)*x-6)*x+7", "((((2*x+3)*x-4)*x+5)*x-6)*x+7" },
    { "trig", L"SQR(SIN(x)^2+COS(x)^2)*ARCTAN(x)", "sqrt(sin(x)^2+cos(x)^2)*atan(x)" },
    { "constant", L"_c*x/(1+x^2)", "_c*x/(1+x^2)" },
};

constexpr double kX = 0.7;
constexpr double kSpeedOfLight = 299792458.0;

CPhysConst& Constants()
{
    static CPhysConst constants;
    return constants;
}

void PrepareMuParser(mu::Parser& parser, double& x, const char* expression)
{
    parser.DefineVar("x", &x);
    parser.DefineConst("_c", kSpeedOfLight);
    parser.SetExpr(expression);
}

void BM_Calculate(benchmark::State& state, const BenchFormula& formula, BOOL normalise)
{
    CFormulaParser parser(Constants());
    const CString text(formula.formula);
    int errPos = 0;
    CString errText;
    for (auto _ : state)
        benchmark::DoNotOptimize(parser.Calculate(text, kX, &errPos, &errText, normalise));
    if (errPos != 0 || !errText.IsEmpty())
        state.SkipWithError("the formula reported an error");
}

void BM_MuSetExprEval(benchmark::State& state, const BenchFormula& formula)
{
    mu::Parser parser;
    double x = kX;
    PrepareMuParser(parser, x, formula.muExpression);
    const std::string expression = formula.muExpression;
    for (auto _ : state) {
        parser.SetExpr(expression);
        benchmark::DoNotOptimize(parser.Eval());
    }
}

void BM_MuEval(benchmark::State& state, const BenchFormula& formula)
{
    mu::Parser parser;
    double x = kX;
    PrepareMuParser(parser, x, formula.muExpression);
    parser.Eval();  // compiles the bytecode once
    for (auto _ : state)
        benchmark::DoNotOptimize(parser.Eval());
}

// Both parsers must compute the same values, or the comparison means nothing.
bool CheckAgreement()
{
    bool agree = true;
    CFormulaParser parser(Constants());
    for (const BenchFormula& formula : kFormulas) {
        int errPos = 0;
        CString errText;
        double ours = parser.Calculate(formula.formula, kX, &errPos, &errText, FALSE);
        mu::Parser mu;
        double x = kX;
        PrepareMuParser(mu, x, formula.muExpression);
        double theirs = mu.Eval();
        if (errPos != 0 || !errText.IsEmpty() || std::fabs(ours - theirs) > 1e-12 * std::max(1.0, std::fabs(theirs))) {
            std::fprintf(stderr, "%s: %.17g here, %.17g in muparser\n", formula.label, ours, theirs);
            agree = false;
        }
    }
    return agree;
}

// Keeps the time per iteration of every run for the closing table: the median of the repetitions
// when --benchmark_repetitions asks for several, else the one run.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred)
                continue;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times[run.run_name.str()] = run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Iteration && run.repetitions <= 1)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> times;  // nanoseconds per iteration
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintRatios(const std::map<std::string, double>& times)
{
    std::printf("\n%-10s %12s %14s %14s %12s %16s %14s\n", "formula", "Calculate", "Calc+normalise",
                "mu SetExpr+Eval", "mu Eval", "SetExpr+Eval/Calc", "Calc/mu Eval");
    std::vector<double> calculate, normalised, setExprEval, eval, speedUp, slowDown;
    for (const BenchFormula& formula : kFormulas) {
        std::string label = formula.label;
        auto find = [&](const std::string& prefix) {
            auto it = times.find(prefix + "/" + label);
            return it == times.end() ? NAN : it->second;
        };
        double ours = find("Calculate"), ourNormalised = find("CalculateNormalised");
        double muBoth = find("MuSetExprEval"), muEval = find("MuEval");
        calculate.push_back(ours);
        normalised.push_back(ourNormalised);
        setExprEval.push_back(muBoth);
        eval.push_back(muEval);
        speedUp.push_back(muBoth / ours);
        slowDown.push_back(ours / muEval);
        std::printf("%-10s %10.1fns %12.1fns %13.1fns %10.1fns %16.1fx %13.2fx\n", label.c_str(), ours,
                    ourNormalised, muBoth, muEval, muBoth / ours, ours / muEval);
    }
    std::printf("%-10s %10.1fns %12.1fns %13.1fns %10.1fns %16.1fx %13.2fx\n", "median", Median(calculate),
                Median(normalised), Median(setExprEval), Median(eval), Median(speedUp), Median(slowDown));
    std::printf("least SetExpr+Eval/Calculate: %.1fx; Calculate/Eval of the medians: %.2fx\n",
                *std::min_element(speedUp.begin(), speedUp.end()), Median(calculate) / Median(eval));
}

} // namespace

int main(int argc, char** argv)
{
    if (!CheckAgreement())
        return 1;
    for (const BenchFormula& formula : kFormulas) {
        std::string label = formula.label;
        benchmark::RegisterBenchmark(("Calculate/" + label).c_str(), BM_Calculate, formula, FALSE);
        benchmark::RegisterBenchmark(("CalculateNormalised/" + label).c_str(), BM_Calculate, formula, TRUE);
        benchmark::RegisterBenchmark(("MuSetExprEval/" + label).c_str(), BM_MuSetExprEval, formula);
        benchmark::RegisterBenchmark(("MuEval/" + label).c_str(), BM_MuEval, formula);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    PrintRatios(reporter.times);
    return 0;
}
