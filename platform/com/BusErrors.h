#pragma once
// A failed call as other programs read it on the bus: a D-Bus error whose name tells the kind of
// cause and whose message says it in a sentence, closed by the failure code that our own proxies
// read back, as in "A text argument is longer than 1048576 bytes. (code 0x8007000E)".

#include "platform/com/Automation.h"

#include <string>
#include <string_view>

struct BusError {
    const char* name;
    std::string message;
};

// The error for a failure code. cause, when given, is the sentence; else one that fits the code.
BusError BusErrorOf(HRESULT hr, std::string_view cause = {});

// The failure code of an error that BusErrorOf made, from its name and message; S_OK for any other.
HRESULT FailureCodeOfBusError(const char* name, const char* message);
