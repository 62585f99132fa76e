#pragma once
// How a class published as a local server is named on the session bus. The ProgID gives both
// names: each dot-separated part becomes one element, with every character outside A-Z, a-z, 0-9
// and '_' written as '_' and a '_' put before a part that starts with a digit (or is empty).
//
//   ProgID "FLN.Application"      bus name "org.formulon.FLN.Application"
//                                 class object "/FLN/Application", instances "/FLN/Application/1"...
//   ProgID "Calc.Engine.2"        bus name "org.formulon.Calc.Engine._2"

#include <string>
#include <string_view>

// The prefix that every automation bus name starts with.
inline constexpr std::string_view kAutomationBusPrefix = "org.formulon.";

// The D-Bus interfaces the published objects carry.
inline constexpr const char* kClassObjectInterface = "org.formulon.Automation.ClassObject";
inline constexpr const char* kDispatchInterface = "org.formulon.Automation.Dispatch";
inline constexpr const char* kMembersInterface = "org.formulon.Automation.Members";
// D-Bus error names for failures of the member methods called by other tools.
inline constexpr const char* kExceptionErrorName = "org.formulon.Automation.Exception";
inline constexpr const char* kFailureErrorName = "org.formulon.Automation.Failure";

std::string BusNameFromProgId(std::wstring_view progId);
std::string ObjectPathFromProgId(std::wstring_view progId);
