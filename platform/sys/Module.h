#pragma once
// The running program: its file, its folder and the arguments it was started with.

#include "platform/base/CString.h"
#include "platform/base/WinTypes.h"

#include <vector>

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

// The one module of this program (everything is linked into one executable); a null name gives it.
HMODULE GetModuleHandleW(LPCWSTR moduleName);

// Copies the program's full path into buffer and returns its length. When size is too small the
// path is cut to size - 1 characters, the result is size and the last error
// ERROR_INSUFFICIENT_BUFFER. Only a null module or this program's module is known.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);

// The folder of the running program with a trailing separator ("/opt/formulon/bin/").
CString GetModuleDirectory();

// The program's arguments as it was started, argument 0 (the program) first; read once from the
// process's own record, each decoded from UTF-8 (Windows-1252 where the bytes are not UTF-8).
const std::vector<CString>& CommandLineArguments();

inline constexpr auto& GetModuleHandle = GetModuleHandleW;
inline constexpr auto& GetModuleFileName = GetModuleFileNameW;
