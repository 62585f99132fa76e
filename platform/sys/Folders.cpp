#include "platform/sys/Folders.h"

#include "platform/base/CString.h"

#include <cstdlib>
#include <cwchar>
#include <filesystem>
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

} // namespace

std::string SettingsFolder()
{
    std::string base = AbsoluteEnv("XDG_CONFIG_HOME");
    if (base.empty()) {
        std::string home = AbsoluteEnv("HOME");
        base = (home.empty() ? std::string("/tmp") : WithoutTrailingSlash(home)) + "/.config";
    }
    return WithoutTrailingSlash(base) + "/Formulon";
}

bool EnsureSettingsFolder()
{
    std::error_code error;
    std::filesystem::create_directories(SettingsFolder(), error);
    return std::filesystem::is_directory(SettingsFolder(), error);
}

UINT GetWindowsDirectoryW(LPWSTR buffer, UINT size)
{
    return CopyOut(NarrowToWide(SettingsFolder()), buffer, size);
}

UINT GetSystemDirectoryW(LPWSTR buffer, UINT size) { return GetWindowsDirectoryW(buffer, size); }

DWORD GetTempPathW(DWORD size, LPWSTR buffer)
{
    std::string folder = AbsoluteEnv("TMPDIR");
    if (folder.empty()) folder = "/tmp";
    return CopyOut(NarrowToWide(WithoutTrailingSlash(folder) + "/"), buffer, size);
}
