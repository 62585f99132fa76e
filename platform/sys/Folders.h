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

constexpr UINT MAX_PATH = 260;

// Makes the name folder + the first three characters of prefix + four hexadecimal digits + ".tmp"
// in tempFileName (MAX_PATH characters). With unique 0 the number is chosen so that the file
// does not exist yet, and the file is created empty; otherwise unique is used and nothing is
// created. Returns the number used, or 0 on failure (GetLastError).
UINT GetTempFileNameW(LPCWSTR folder, LPCWSTR prefix, UINT unique, LPWSTR tempFileName);

inline constexpr auto& GetWindowsDirectory = GetWindowsDirectoryW;
inline constexpr auto& GetSystemDirectory = GetSystemDirectoryW;
inline constexpr auto& GetTempPath = GetTempPathW;
inline constexpr auto& GetTempFileName = GetTempFileNameW;
