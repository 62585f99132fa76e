#pragma once
// Pieces of the printed form of a function tree. Node texts are written so that the formula parser
// reads them back to the node's own value: a child's text gets parentheses wherever the operator
// around it would otherwise bind it differently ("-(x+1)", "1-(x-1)", "(x+1)^2").

#include "platform/base/CString.h"

// How a formula text binds when it stands as an operand, from loosest to tightest.
enum class FormulaTextForm {
    Sum,      // a "+" or "-" between two operands at the top level: x+1, 2*x-3
    Product,  // a "*" or "/" at the top level: 2*(x), (x)/(3)
    Signed,   // begins with a sign: -x, -2, -sin(x)
    Power,    // a "^" at the top level: x^2, 2^(x)
    Atom,     // a number, the variable, a function call or a parenthesised group
};

FormulaTextForm ClassifyFormulaText(const CString& text);

// The text, in parentheses unless it binds at least as tightly as required.
CString ParenthesizeBelow(const CString& text, FormulaTextForm required);

// A constant as it appears in node texts: six significant digits, "." as the decimal point.
CString FunctionNumberText(double value);
