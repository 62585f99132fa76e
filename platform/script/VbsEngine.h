#pragma once
// The VBScript engine behind the scripting-engine interfaces. Hosts create it through the class
// registry (CLSID_VBScript); tools that need its limits (the fuzzer) create it directly.

#include "platform/script/ActiveScript.h"

#include <cstddef>
#include <cstdint>

namespace vbs {

class Engine;

// A new engine with one reference, seen through IActiveScript.
IActiveScript* CreateEngine();
// Limits the statements, loop turns and procedure calls of each run (0: no limit); past it the run ends
// as if interrupted.
void SetEngineStepLimit(IActiveScript* engine, std::uint64_t steps);
// Limits the bytes of strings and arrays the engine's scripts may hold at once (1 GiB unless set);
// past it the script gets error 7, out of memory.
void SetEngineMemoryLimit(IActiveScript* engine, std::size_t bytes);

} // namespace vbs
