#include "platform/com/LocalServerRegistration.h"

#include "platform/base/CString.h"
#include "platform/com/BusNames.h"
#include "platform/com/ClassRegistry.h"
#include "platform/sys/AtomicFile.h"
#include "platform/sys/Registry.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

LSTATUS SetDefaultText(const std::wstring& key, const std::wstring& text)
{
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Deletes a key with its subkeys.
void DeleteTree(const std::wstring& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS)
        return;
    wchar_t name[256];
    DWORD size = 256;
    while (RegEnumKeyExW(handle, 0, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        DeleteTree(key + L"\\" + name);
        size = 256;
    }
    RegCloseKey(handle);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
}

bool FileHolds(const std::string& path, const std::string& text)
{
    std::ifstream file(path, std::ios::binary);
    std::string held((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return file.is_open() && held == text;
}

std::string DataHome()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return data;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.local/share";
}

// One word of the service file's Exec line, quoted the way the bus reads it (as a shell would).
std::string ExecWord(const std::string& word)
{
    if (word.find_first_of(" \t\n'\"\\$`") == std::string::npos)
        return word;
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

std::string ServiceFilePath(LPCOLESTR progId)
{
    return DataHome() + "/dbus-1/services/" + BusNameFromProgId(progId ? progId : L"") + ".service";
}

HRESULT RegisterLocalServer(REFCLSID clsid, LPCOLESTR progId, const std::string& program)
{
    if (!progId || !*progId || program.empty() || program[0] != '/' || program.find('\n') != std::string::npos)
        return E_INVALIDARG;
    std::string busName = BusNameFromProgId(progId);
    std::string service = "[D-BUS Service]\nName=" + busName + "\nExec=" + ExecWord(program) + " " + kAutomationSwitch + "\n";
    std::string path = ServiceFilePath(progId);
    std::error_code error;
    std::filesystem::create_directories(FolderOf(path), error);
    // Registered at every start: an unchanged file is not written again.
    if (error || (!FileHolds(path, service) && !ReplaceFileAtomically(path, service)))
        return E_FAIL;
    std::wstring clsidText = GuidText(clsid);
    std::wstring commandLine = NarrowToWide(ExecWord(program) + " " + kAutomationSwitch);
    if (SetDefaultText(std::wstring(progId) + L"\\CLSID", clsidText) != ERROR_SUCCESS
        || SetDefaultText(L"CLSID\\" + clsidText + L"\\ProgID", progId) != ERROR_SUCCESS
        || SetDefaultText(L"CLSID\\" + clsidText + L"\\LocalServer32", commandLine) != ERROR_SUCCESS) {
        std::filesystem::remove(path, error);
        return E_FAIL;
    }
    return S_OK;
}

HRESULT UnregisterLocalServer(REFCLSID clsid)
{
    std::wstring progId = ProgIdFromClsid(clsid);
    std::wstring clsidText = GuidText(clsid);
    HKEY handle = nullptr;
    bool registered = RegOpenKeyExW(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsidText).c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS;
    if (handle)
        RegCloseKey(handle);
    if (!registered)
        return S_FALSE;
    if (!progId.empty()) {
        DeleteTree(progId);
        std::error_code error;
        std::filesystem::remove(ServiceFilePath(progId.c_str()), error);
    }
    DeleteTree(L"CLSID\\" + clsidText);
    return S_OK;
}
