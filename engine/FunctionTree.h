#pragma once
// The calculator's two uses of the function tree: the value of a formula in X computed a second
// time, on its tree, to verify the parser's result; and the symbolic derivative with its text.
// Each call builds its own tree from the text (reading the function constants A to G and the
// physical constants as they are now) and frees it before returning.

#include "platform/base/CString.h"

// Error codes written by the entry points.
inline constexpr int FunctionTreeOk = 0;
inline constexpr int FunctionTreeFailed = -1;  // no tree (out of memory) or no symbolic derivative

// The value of formula at x, with x = 0 read as the formula parser reads it (the smallest normal
// float), so that the two readings of a formula agree there: SIN(X)/X gives 1, X gives the
// parser's value. An empty formula gives 0.0 and leaves *error alone.
double EvaluateTree(CString formula, double x, int* error);

// The derivative of formula at x; *text receives the derivative's formula text. When no tree or no
// derivative can be made (the gamma function of x has none), *text is "Err", *error -1 and the
// result 0.0. An empty formula is the constant 0, whose derivative is 0.
double EvaluateDerivativeTree(CString formula, double x, CString* text, int* error);
