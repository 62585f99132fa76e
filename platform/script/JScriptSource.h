#pragma once
// Prepares JScript text for the embedded interpreter, which has no interrupt hook of its own:
// every loop test and every function body first calls the engine's loop check (which ends the
// run when an interrupt was asked), text given to eval and Function is prepared the same way
// before it is compiled, and every member call `o.m(...)` becomes `o[mark("m")](...)`, so that an
// automation object can tell a method call from a property read. Line breaks stay where they are,
// so error lines keep their meaning. Text that does not scan is returned unchanged: compiling it
// reports the error.

#include <string>
#include <string_view>

namespace jscript {

inline constexpr std::wstring_view kLoopCheckName = L"__flnLoopCheck";
inline constexpr std::wstring_view kCallMarkName = L"__flnCall";
inline constexpr std::wstring_view kPrepareName = L"__flnPrepare";
inline constexpr std::wstring_view kBoundJsonName = L"__flnBoundJson";

std::wstring InstrumentSource(std::wstring_view text);

// JSON text with every number's exponent bounded as InstrumentSource bounds the script's own
// ("1e2147483648" becomes "1e99999", the same Infinity, which the interpreter accepts); strings
// and everything else stay as they are.
std::wstring BoundJsonExponents(std::wstring_view json);

} // namespace jscript
