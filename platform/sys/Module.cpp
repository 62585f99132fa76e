#include "platform/sys/Module.h"

#include "platform/base/ErrorCodes.h"

#include <algorithm>
#include <climits>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

char g_moduleMarker;  // its address is the program's module handle

std::wstring ProgramPath()
{
    char path[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    return NarrowToWide(std::string_view(path, static_cast<size_t>(length)));
}

} // namespace

HMODULE GetModuleHandleW(LPCWSTR moduleName)
{
    if (moduleName) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HMODULE>(&g_moduleMarker);
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size)
{
    if (module && module != GetModuleHandleW(nullptr)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    std::wstring path = ProgramPath();
    if (!buffer || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    size_t count = std::min<size_t>(path.size(), size - 1);
    std::wmemcpy(buffer, path.data(), count);
    buffer[count] = L'\0';
    if (count < path.size()) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    return static_cast<DWORD>(count);
}

CString GetModuleDirectory()
{
    std::wstring path = ProgramPath();
    return CString(path.substr(0, path.rfind(L'/') + 1));
}

const std::vector<CString>& CommandLineArguments()
{
    static const std::vector<CString> arguments = [] {
        std::vector<CString> result;
        std::ifstream file("/proc/self/cmdline", std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        for (size_t start = 0; start < bytes.size();) {
            size_t end = bytes.find('\0', start);
            if (end == std::string::npos)
                end = bytes.size();
            result.emplace_back(NarrowToWide(std::string_view(bytes).substr(start, end - start)).c_str());
            start = end + 1;
        }
        return result;
    }();
    return arguments;
}
