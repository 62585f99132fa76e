#pragma once
// Reads the text of a formula in one variable into a function tree.
//
// A second reader of formula text beside the evaluating parser: it shares the parser's normaliser
// and constant names, but splits the text at its rightmost operator of the loosest kind instead of
// descending, and knows a different set of function names (CEIL, FLOOR, GAMMA and COTH, but not
// INT, SIGN, RAD, DEG, the area functions, KGV or GGT). The differences are deliberate: the
// calculator verifies a parser result on the tree, and a formula that the two read differently
// is then flagged. All operators group from the left; a sign is read only at the start of a
// (sub)text, so 2*-3 is 2*0 - 3 and 1E-5 is 1E - 5.
//
// Every text yields a tree: what the builder cannot read (an unknown name, "2X", a nesting deeper
// than MaxBuildDepth) becomes a constant, the leading number of the text or 0. Constant parts are
// folded as the tree is built. Chains of one operator (X+X+...+X) are read in a loop, so their
// length is not bounded.

#include "engine/Function.h"

#include <string_view>
#include <vector>

// Subtexts nested deeper than this (parentheses, function arguments, signs) are read as
// constants, so that no text exhausts the stack.
inline constexpr int MaxBuildDepth = 100;

// Normalises text in place (the parser's NormalizeFormula) and builds its tree in the variable
// (compared without regard to case). Null only when memory ran out.
FunctionPtr<double> BuildFunctionTree(CString& text, const wchar_t* variable);

// The names of the functions the builder reads, in upper case.
std::vector<std::wstring_view> TreeFunctionNames();

// True for "PI", "_e", the function constants "A" to "G", a physical-constant name (any case,
// blanks around ignored) and a text that is a number with nothing after it; the empty text too.
bool IsConstantTerm(const CString& text);
// The value of a constant name, or the leading number of the text (0 when there is none).
double ConstantTermValue(const CString& text);

// A text "NAME(...)" whose parentheses close at its last character: the name is removed.
bool StripFunctionName(CString& text, const wchar_t* name);
// A text "NAME(c)" with a constant term c: the text is replaced by c.
bool MatchFunctionOfConstant(CString& text, const wchar_t* name);
// A text "NAME(variable)", the variable in any number of parentheses.
bool MatchFunctionOfVariable(const CString& text, const wchar_t* name, const wchar_t* variable);
// The variable, in any number of enclosing parentheses and after at most one "+" or blank.
bool IsVariableTerm(const CString& text, const wchar_t* variable);
