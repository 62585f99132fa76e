#pragma once
// The JScript engine behind the scripting-engine interfaces, on the embedded Duktape interpreter.
// Hosts create it through the class registry (CLSID_JScript, ProgID "JScript").

#include "platform/script/ActiveScript.h"

namespace jscript {

// A new engine with one reference, seen through IActiveScript.
IActiveScript* CreateEngine();

} // namespace jscript

// Registers the engine with the class registry; RegisterScriptClasses does it at start-up.
void RegisterJScriptClass();
