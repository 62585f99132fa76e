#include "platform/sys/Folders.h"

#include "platform/base/CString.h"
#include "platform/base/ErrorCodes.h"
#include "platform/base/NativePath.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace {

std::string AbsoluteEnv(const char* name)
{
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Copies text into buffer the way the folder queries do: the length on success, else the size
// needed with its terminator.
UINT CopyOut(const std::wstring& text, LPWSTR buffer, UINT size)
{
    if (!buffer || size <= text.size()) return static_cast<UINT>(text.size() + 1);
    std::wmemcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<UINT>(text.size());
}

std::string HomeFolder()
{
    std::string home = AbsoluteEnv("HOME");
    return home.empty() ? std::string("/tmp") : WithoutTrailingSlash(home);
}

// An XDG base directory: the variable when it holds an absolute path, else its default under home.
std::string BaseDirectory(const char* variable, const char* underHome)
{
    std::string base = AbsoluteEnv(variable);
    return base.empty() ? HomeFolder() + "/" + underHome : WithoutTrailingSlash(base);
}

// The value of a user-dirs.dirs line: a double-quoted shell word that starts with "$HOME" or "/".
std::string UserDirValue(std::string_view quoted)
{
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') return {};
    std::string value;
    for (size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] == '\\' && i + 2 < quoted.size()) ++i;
        value += quoted[i];
    }
    if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
        return WithoutTrailingSlash(HomeFolder() + value.substr(5));
    return value.front() == '/' ? WithoutTrailingSlash(value) : std::string();
}

// An XDG user directory ("DESKTOP", "DOCUMENTS"...) as user-dirs.dirs sets it, or fallback.
std::string UserDirectory(std::string_view key, const std::string& fallback)
{
    std::ifstream file(BaseDirectory("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
    std::string wanted = "XDG_" + std::string(key) + "_DIR=";
    std::string found;
    for (std::string line; std::getline(file, line);) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, wanted.size(), wanted) != 0) continue;
        std::string_view rest = std::string_view(line).substr(start + wanted.size());
        while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r')) rest.remove_suffix(1);
        if (std::string value = UserDirValue(rest); !value.empty()) found = value;  // the last line counts
    }
    return found.empty() ? fallback : found;
}

} // namespace

std::string SpecialFolder(int csidl)
{
    switch (csidl & ~CSIDL_FLAG_CREATE) {
    case CSIDL_DESKTOP:
    case CSIDL_DESKTOPDIRECTORY: return UserDirectory("DESKTOP", HomeFolder() + "/Desktop");
    case CSIDL_PERSONAL: return UserDirectory("DOCUMENTS", HomeFolder());
    case CSIDL_MYMUSIC: return UserDirectory("MUSIC", HomeFolder());
    case CSIDL_MYPICTURES: return UserDirectory("PICTURES", HomeFolder());
    case CSIDL_MYVIDEO: return UserDirectory("VIDEOS", HomeFolder());
    case CSIDL_TEMPLATES: return UserDirectory("TEMPLATES", HomeFolder());
    case CSIDL_APPDATA: return BaseDirectory("XDG_CONFIG_HOME", ".config");
    case CSIDL_LOCAL_APPDATA: return BaseDirectory("XDG_DATA_HOME", ".local/share");
    case CSIDL_INTERNET_CACHE: return BaseDirectory("XDG_CACHE_HOME", ".cache");
    case CSIDL_PROGRAMS:
    case CSIDL_STARTMENU: return BaseDirectory("XDG_DATA_HOME", ".local/share") + "/applications";
    case CSIDL_FONTS: return BaseDirectory("XDG_DATA_HOME", ".local/share") + "/fonts";
    case CSIDL_FAVORITES: return BaseDirectory("XDG_DATA_HOME", ".local/share") + "/Favorites";
    case CSIDL_PROGRAM_FILES: return HomeFolder() + "/.local/lib";
    case CSIDL_PROFILE: return HomeFolder();
    case CSIDL_WINDOWS:
    case CSIDL_SYSTEM: return SettingsFolder();
    default: return {};
    }
}

BOOL SHGetSpecialFolderPathW(HWND, LPWSTR path, int csidl, BOOL create)
{
    std::string folder = SpecialFolder(csidl);
    std::wstring wide = NarrowToWide(folder);
    if (!path || folder.empty() || wide.size() >= MAX_PATH) return FALSE;
    std::error_code error;
    if (create || (csidl & CSIDL_FLAG_CREATE)) std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) return FALSE;
    std::wmemcpy(path, wide.c_str(), wide.size() + 1);
    return TRUE;
}

std::string SettingsFolder() { return BaseDirectory("XDG_CONFIG_HOME", ".config") + "/Formulon"; }

bool EnsureSettingsFolder()
{
    std::error_code error;
    std::filesystem::create_directories(SettingsFolder(), error);
    return std::filesystem::is_directory(SettingsFolder(), error);
}

UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size)
{
    EnsureSettingsFolder();
    return CopyOut(NarrowToWide(SettingsFolder()), buffer, size);
}

UINT GetSystemDirectoryW(LPWSTR buffer, UINT size) { return GetWindowsDirectoryW(buffer, size); }

DWORD GetTempPathW(DWORD size, LPWSTR buffer)
{
    std::string folder = AbsoluteEnv("TMPDIR");
    if (folder.empty()) folder = "/tmp";
    return CopyOut(NarrowToWide(WithoutTrailingSlash(folder) + "/"), buffer, size);
}

UINT GetTempFileNameW(LPCWSTR folder, LPCWSTR prefix, UINT unique, LPWSTR tempFileName)
{
    if (!folder || !tempFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::wstring base = folder;
    if (!base.empty() && base.back() != L'/' && base.back() != L'\\') base += L'/';
    base += std::wstring(prefix ? prefix : L"").substr(0, 3);

    auto nameFor = [&](UINT number) {
        wchar_t digits[8];
        swprintf(digits, 8, L"%04X", number & 0xFFFF);
        return base + digits + L".tmp";
    };
    auto copyOut = [&](const std::wstring& name, UINT number) -> UINT {
        if (name.size() >= MAX_PATH) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            return 0;
        }
        std::wmemcpy(tempFileName, name.c_str(), name.size() + 1);
        return number;
    };

    if (unique != 0) return copyOut(nameFor(unique), unique & 0xFFFF);

    UINT start = static_cast<UINT>(std::time(nullptr) ^ ::getpid()) & 0xFFFF;
    for (UINT step = 0; step < 0x10000; ++step) {
        UINT number = (start + step) & 0xFFFF;
        if (number == 0) continue;
        std::wstring name = nameFor(number);
        if (name.size() >= MAX_PATH) return copyOut(name, number);
        int fd = ::open(NativePath(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return copyOut(name, number);
        }
        if (errno != EEXIST) {
            SetLastError(ErrnoToSystemError(errno));
            return 0;
        }
    }
    SetLastError(ERROR_FILE_EXISTS);
    return 0;
}
