// Builds a function tree from arbitrary formula text and puts it through everything a tree does:
// printing, plain and simplifying copies, the derivative, evaluation, the numeric methods (on the
// tree; its derivative can be far larger) and building again from the printed texts. The first
// byte picks x; the rest is the formula (UTF-8, or Windows-1252 bytes).

#include "engine/FunctionTree.h"
#include "engine/FunctionTreeBuilder.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace {

bool SameValue(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

void Exercise(const CFunction<double>& tree, double x, bool numericMethods)
{
    const CString text = tree.GetText();

    // A plain copy is the same tree: same text, same value.
    const FunctionPtr<double> copy = tree.Clone(false);
    if (!copy || copy->GetText() != text || !SameValue(copy->Evaluate(x), tree.Evaluate(x)))
        __builtin_trap();
    if (const FunctionPtr<double> simplified = tree.Clone(true))
        simplified->Evaluate(x);

    tree.IsConstant();
    tree.IsZero();
    if (numericMethods) {
        tree.NumDerivative(x, 3, 0.01);
        tree.IntegrateSimpson(0, 1, 4);
        tree.NewtonRoot(x, 1e-9);
    }

    // The printed text builds a tree again (short texts only: the builder normalises every subtext
    // anew, so its time grows with length times nesting).
    if (text.GetLength() <= 2000) {
        CString printed = text;
        if (const FunctionPtr<double> reread = BuildFunctionTree(printed, L"X"))
            reread->Evaluate(x);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const double points[] = { 0.0, 1.0, -1.0, 0.5, 2.5, -3.75, 1e-300, 1e300 };
    const double x = points[data[0] % std::size(points)];
    const CString formula(NarrowToWide(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1)));

    CString text = formula;
    const FunctionPtr<double> tree = BuildFunctionTree(text, L"X");
    if (!tree)
        __builtin_trap();  // only an exhausted memory gives no tree
    Exercise(*tree, x, true);
    if (const FunctionPtr<double> derivative = tree->Derive())
        Exercise(*derivative, x, false);

    int error = 42;
    EvaluateTree(formula, x, &error);
    if (error != FunctionTreeOk && !(formula.IsEmpty() && error == 42))
        __builtin_trap();
    CString derivativeText;
    EvaluateDerivativeTree(formula, x, &derivativeText, &error);
    if (error != FunctionTreeOk && error != FunctionTreeFailed)
        __builtin_trap();
    return 0;
}
