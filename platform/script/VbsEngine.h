#pragma once
// The VBScript engine behind the scripting-engine interfaces. Hosts create it through the class
// registry (CLSID_VBScript); tools that need its limits (the fuzzer) create it directly.

#include "platform/script/ActiveScript.h"

#include <cstdint>

namespace vbs {

class Engine;

// A new engine with one reference, seen through IActiveScript.
IActiveScript* CreateEngine();
// Limits the statements, loop turns and procedure calls of each run (0: no limit); past it the run ends
// as if interrupted.
void SetEngineStepLimit(IActiveScript* engine, std::uint64_t steps);

} // namespace vbs
