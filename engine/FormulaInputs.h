#pragma once
// What one evaluation of the Formula page's formula needs: the formula, x, the constants A to G
// and the x interval of the graph. It knows no window: the page fills it from its fields, and the
// "=" key, the root search, the automation object and the graph all compute through ApplyTo.

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <array>

class CFormulaParser;

struct FormulaInputs {
    static constexpr int ConstantCount = 7; // A to G

    CString formula;
    double x = 0.0;
    std::array<double, ConstantCount> constants {}; // A to G in order
    double xa = 0.0;                                // the graph's x interval
    double xb = 0.0;

    // Sets the parser's function constants 1 to 7 to A to G, and keeps the formula and A to G in
    // the globals the function-tree builder and the root search read (g_FormulaText and the first
    // seven elements of g_FunctConst; the last two keep what they hold).
    void ApplyTo(CFormulaParser& parser) const;
    // ApplyTo, then the parser's value of the formula at x.
    double Calculate(CFormulaParser& parser, int* errorPosition, CString* errorText, BOOL normalise) const;

    // The formula and A to G of the last ApplyTo, read back from the globals; x and the interval 0.
    static FormulaInputs LastApplied();
};
