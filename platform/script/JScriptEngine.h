#pragma once
// The JScript engine behind the scripting-engine interfaces, on the embedded Duktape interpreter.
// Hosts create it through the class registry (CLSID_JScript, ProgID "JScript").

#include "platform/script/ActiveScript.h"

#include <cstddef>
#include <cstdint>

namespace jscript {

// What one script may hold at once; past it an allocation fails as a script error.
inline constexpr std::size_t kHeapLimitBytes = 256u << 20;

// A new engine with one reference, seen through IActiveScript.
IActiveScript* CreateEngine();
// Limits the loop turns and function calls of each run (0: no limit); past it the run ends as if
// interrupted. For tools that run arbitrary text (the fuzzer).
void SetEngineStepLimit(IActiveScript* engine, std::uint64_t steps);

} // namespace jscript

// Registers the engine with the class registry; RegisterScriptClasses does it at start-up.
void RegisterJScriptClass();
