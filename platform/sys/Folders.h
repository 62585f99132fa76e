#pragma once
// The folders the program keeps its files in. The user's settings folder,
// $XDG_CONFIG_HOME/Formulon (~/.config/Formulon when the variable is unset or not absolute),
// also answers for the "Windows" and "system" directories: the program's INI files and the
// registry live there, never in a shared system folder.

#include "platform/base/WinTypes.h"

#include <string>

// The settings folder as a UTF-8 path without a trailing separator; read from the environment on
// every call, so that a test can point it elsewhere.
std::string SettingsFolder();

// Creates the settings folder (and its parents) when missing; false when that fails.
bool EnsureSettingsFolder();

// Each copies the folder (without trailing separator) into buffer and returns its length; when
// size is too small it returns the size needed including the terminator and copies nothing.
UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size);
UINT GetSystemDirectoryW(LPWSTR buffer, UINT size);

// The folder for temporary files ($TMPDIR or /tmp) with a trailing separator; returns the length,
// or the size needed including the terminator when size is too small.
DWORD GetTempPathW(DWORD size, LPWSTR buffer);

inline constexpr auto& GetWindowsDirectory = GetWindowsDirectoryW;
inline constexpr auto& GetSystemDirectory = GetSystemDirectoryW;
inline constexpr auto& GetTempPath = GetTempPathW;
