#pragma once
// Builds the syntax tree of one piece of script text. Syntax errors are thrown as ScriptError
// with compile set, the language's number and the position of the offending token.

#include "platform/script/SourceLines.h"
#include "platform/script/VbsAst.h"

namespace vbs {

std::unique_ptr<Unit> ParseUnit(std::wstring_view text);
// An expression alone (for text parsed as an expression).
std::unique_ptr<Unit> ParseExpressionUnit(std::wstring_view text);
using script::SplitSourceLines;

} // namespace vbs
