#include "engine/FunctionTree.h"

#include "engine/FormulaParser.h"
#include "engine/FunctionTreeBuilder.h"

#include <new>

namespace {

void SetError(int* error, int value)
{
    if (error)
        *error = value;
}

} // namespace

double EvaluateTree(CString formula, double x, int* error)
{
    if (formula.GetLength() < 1)
        return 0.0;
    const FunctionPtr<double> tree = BuildFunctionTree(formula, L"X");
    if (!tree) {
        SetError(error, FunctionTreeFailed);
        return 0.0;
    }
    // The tree verifies the parser's result at the same x, so it reads x = 0 as the parser does.
    const double value = tree->Evaluate(x == 0.0 ? CFormulaParser::ZeroSubstitute : x);
    SetError(error, FunctionTreeOk);
    return value;
}

double EvaluateDerivativeTree(CString formula, double x, CString* text, int* error)
{
    try {
        const FunctionPtr<double> tree = BuildFunctionTree(formula, L"X");
        const FunctionPtr<double> derivative = tree ? tree->Derive() : nullptr;
        if (derivative) {
            const double value = derivative->Evaluate(x);
            CString derivativeText = derivative->GetText();
            if (text)
                *text = std::move(derivativeText);
            SetError(error, FunctionTreeOk);
            return value;
        }
    } catch (const std::bad_alloc&) {
    }
    if (text)
        *text = L"Err";
    SetError(error, FunctionTreeFailed);
    return 0.0;
}
