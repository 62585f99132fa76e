#pragma once
// Opening a document or an address with the program the desktop chooses for it (xdg-open).

#include "platform/base/WinTypes.h"
#include "platform/sys/Module.h"

#include <functional>
#include <string>
#include <vector>

// Starts the opener for file (a path or an address) without waiting for it. Only the default
// verb ("open" or null) is known. Returns a value above 32 when the opener was started, else
// SE_ERR_NOASSOC (an unknown verb or nothing to open) or SE_ERR_FNF (no opener could be started).
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show);
constexpr INT_PTR SE_ERR_FNF = 2, SE_ERR_NOASSOC = 31;

// Replaces how the opener is started (tests); the argument list starts with the program's name.
// Returns the previous launcher; an empty one restores the real one.
using ShellLauncher = std::function<bool(const std::vector<std::string>& arguments)>;
ShellLauncher SetShellLauncher(ShellLauncher launcher);
