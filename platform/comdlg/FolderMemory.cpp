#include "platform/comdlg/FolderMemory.h"

#include "platform/sys/Registry.h"

namespace fln::comdlg {

namespace {
constexpr const wchar_t* kKey = L"Software\\Formulon\\FLN\\File Dialogs";
}

std::wstring RememberedFolder(const std::wstring& dialogTitle)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::wstring folder(1024, L'\0');
    DWORD type = 0, size = static_cast<DWORD>(folder.size() * sizeof(wchar_t));
    LSTATUS status = RegQueryValueExW(key, dialogTitle.c_str(), nullptr, &type, reinterpret_cast<LPBYTE>(folder.data()), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return {};
    folder.resize(wcsnlen(folder.c_str(), size / sizeof(wchar_t)));
    return folder;
}

void RememberFolder(const std::wstring& dialogTitle, const std::wstring& folder)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, dialogTitle.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()), static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

} // namespace fln::comdlg
