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
