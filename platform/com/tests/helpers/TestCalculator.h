#pragma once
// The object the bus tests publish: a few members of each kind a client calls across processes.

#include "platform/com/AutomationObject.h"

#include <string>

// {6A1C34B0-7E52-4F19-9D0B-2C8E51A7F3D4}
inline constexpr CLSID CLSID_TestCalculator = {0x6A1C34B0, 0x7E52, 0x4F19, {0x9D, 0x0B, 0x2C, 0x8E, 0x51, 0xA7, 0xF3, 0xD4}};
inline constexpr const wchar_t* kTestCalculatorProgId = L"FlnTest.Calculator";
