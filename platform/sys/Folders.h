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

// Each makes the settings folder when missing (a system folder always exists), copies it (without
// trailing separator) into buffer and returns its length; when size is too small it returns the
// size needed including the terminator and copies nothing.
UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size);
UINT GetSystemDirectoryW(LPWSTR buffer, UINT size);

// The folder for temporary files ($TMPDIR or /tmp) with a trailing separator; returns the length,
// or the size needed including the terminator when size is too small.
DWORD GetTempPathW(DWORD size, LPWSTR buffer);

constexpr UINT MAX_PATH = 260;

// Special folders by CSIDL, answered with the user's own folders: the XDG user directories of
// user-dirs.dirs (Desktop, Documents, Music, Pictures, Videos, Templates; the desktop falls back to
// ~/Desktop, the others to the home folder), the XDG base directories ($XDG_CONFIG_HOME for the
// roaming application data, $XDG_DATA_HOME for the local one, $XDG_CACHE_HOME for the cache), and
// the settings folder for the Windows and system folders. Menu entries and fonts lie in their XDG
// data folders (applications, fonts), favourites in $XDG_DATA_HOME/Favorites, and programs
// installed for the user in ~/.local/lib.
constexpr int CSIDL_DESKTOP = 0x0000;
constexpr int CSIDL_PROGRAMS = 0x0002;
constexpr int CSIDL_PERSONAL = 0x0005;
constexpr int CSIDL_MYDOCUMENTS = CSIDL_PERSONAL;
constexpr int CSIDL_FAVORITES = 0x0006;
constexpr int CSIDL_STARTMENU = 0x000B;
constexpr int CSIDL_MYMUSIC = 0x000D;
constexpr int CSIDL_MYVIDEO = 0x000E;
constexpr int CSIDL_DESKTOPDIRECTORY = 0x0010;
constexpr int CSIDL_FONTS = 0x0014;
constexpr int CSIDL_TEMPLATES = 0x0015;
constexpr int CSIDL_APPDATA = 0x001A;
constexpr int CSIDL_LOCAL_APPDATA = 0x001C;
constexpr int CSIDL_INTERNET_CACHE = 0x0020;
constexpr int CSIDL_WINDOWS = 0x0024;
constexpr int CSIDL_SYSTEM = 0x0025;
constexpr int CSIDL_PROGRAM_FILES = 0x0026;
constexpr int CSIDL_MYPICTURES = 0x0027;
constexpr int CSIDL_PROFILE = 0x0028;
constexpr int CSIDL_FLAG_CREATE = 0x8000;

// The folder of a CSIDL as a UTF-8 path without trailing separator, read from the environment and
// user-dirs.dirs on every call; empty for a CSIDL without a folder here. Does not create it.
std::string SpecialFolder(int csidl);

// Copies the special folder into path (MAX_PATH characters). With create (or CSIDL_FLAG_CREATE in
// csidl) a missing folder is made; without it a missing folder fails. FALSE for an unknown CSIDL,
// a path too long, or a folder that does not exist and cannot be made.
BOOL SHGetSpecialFolderPathW(HWND owner, LPWSTR path, int csidl, BOOL create);

// Makes the name folder + the first three characters of prefix + four hexadecimal digits + ".tmp"
// in tempFileName (MAX_PATH characters). With unique 0 the number is chosen so that the file
// does not exist yet, and the file is created empty; otherwise unique is used and nothing is
// created. Returns the number used, or 0 on failure (GetLastError).
UINT GetTempFileNameW(LPCWSTR folder, LPCWSTR prefix, UINT unique, LPWSTR tempFileName);

inline constexpr auto& GetWindowsDirectory = GetWindowsDirectoryW;
inline constexpr auto& GetSystemDirectory = GetSystemDirectoryW;
inline constexpr auto& GetTempPath = GetTempPathW;
inline constexpr auto& GetTempFileName = GetTempFileNameW;
inline constexpr auto& SHGetSpecialFolderPath = SHGetSpecialFolderPathW;
