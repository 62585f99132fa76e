#pragma once
// Opening a document or an address with the program the desktop chooses for it (xdg-open), and
// Internet shortcuts saved as desktop-entry links.

#include "platform/base/WinTypes.h"
#include "platform/sys/Module.h"

#include <functional>
#include <string>
#include <vector>

// Starts the opener for file without waiting for it. file is an address with a scheme
// ("https://...", "mailto:...", "file:///..."), an address of the form "www.host" or "ftp.host"
// when no such file exists, or the path of an existing file or folder, relative to directory
// (or to the current folder) when not absolute. It reaches the opener as one argument, whatever
// it holds. Only the default verb ("open" or null) is known; parameters are not passed on.
// Returns a value above 32 when the opener was started, else SE_ERR_NOASSOC (an unknown verb or
// nothing to open), SE_ERR_FNF (no such file, or no opener could be started) or SE_ERR_PNF (no
// such folder).
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show);
constexpr INT_PTR SE_ERR_FNF = 2, SE_ERR_PNF = 3, SE_ERR_ACCESSDENIED = 5, SE_ERR_OOM = 8, SE_ERR_NOASSOC = 31;

inline HINSTANCE ShellExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory, int show)
{
    return ShellExecuteW(owner, verb, file, parameters, directory, show);
}

// Starts a program with its arguments (arguments[0] is the program, looked up in PATH) with no
// shell between and without waiting for it, through the launcher below when one is set. Returns
// whether it started.
bool StartProgram(const std::vector<std::string>& arguments);

// Replaces how the opener is started (tests); the argument list starts with the program's name.
// Returns the previous launcher; an empty one restores the real one.
using ShellLauncher = std::function<bool(const std::vector<std::string>& arguments)>;
ShellLauncher SetShellLauncher(ShellLauncher launcher);

// url with a scheme put in front when it has none: "mailto:" for an e-mail address, "ftp://" for
// "ftp.host", "http://" otherwise. Leading and trailing blanks are dropped.
std::wstring GuessUrlProtocol(std::wstring_view url);

// Saves an Internet shortcut to url (its protocol guessed) as a desktop entry of type Link,
// replacing any file there in one step. A path ending in ".url" is saved with ".desktop" in its
// place, so that desktops and file managers show it as a link; its title is the file's name
// without extension. Returns the path written (UTF-8), or empty on failure with GetLastError set
// (ERROR_INVALID_PARAMETER for an empty path or address).
std::string SaveInternetShortcut(std::wstring_view path, std::wstring_view url);
