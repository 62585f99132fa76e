// Reads arbitrary bytes as the registry file (copied from another machine, edited by hand or
// damaged): what the file form writes must read back whole, every key and value the reader took
// must be reachable through the registry functions, and a change must keep all of them and keep
// a damaged file's bytes aside.

#include "fuzz/FuzzSupport.h"
#include "platform/base/CString.h"
#include "platform/sys/Registry.h"
#include "platform/sys/RegistryTree.h"

#include <cstdlib>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Entry = std::tuple<std::wstring, std::wstring, DWORD, std::vector<BYTE>>; // key path, name, type, data

// Walks a root through the registry functions, at most `budget` keys.
void Walk(HKEY key, const std::wstring& path, std::set<Entry>& entries, int& budget)
{
    if (--budget < 0)
        return;
    for (DWORD index = 0;; ++index) {
        std::vector<wchar_t> name(16384);
        DWORD nameSize = static_cast<DWORD>(name.size()), type = 0, dataSize = 0;
        if (RegEnumValueW(key, index, name.data(), &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS)
            break;
        std::vector<BYTE> data(dataSize);
        DWORD queried = dataSize;
        if (RegQueryValueExW(key, name.data(), nullptr, &type, data.data(), &queried) != ERROR_SUCCESS || queried != dataSize)
            __builtin_trap();
        entries.emplace(path, std::wstring(name.data(), nameSize), type, std::move(data));
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameSize = 256;
        if (RegEnumKeyExW(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY subkey = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &subkey) != ERROR_SUCCESS)
            __builtin_trap();
        Walk(subkey, path + L"\\" + name, entries, budget);
        RegCloseKey(subkey);
    }
}

// The two trees the file holds, named as the registry names them.
struct Trees {
    RegistryKey currentUser, classesRoot;
    Trees()
    {
        currentUser.name = L"HKEY_CURRENT_USER";
        classesRoot.name = L"HKEY_CLASSES_ROOT";
    }
    bool Parse(const std::string& bytes) { return ParseRegistryText(NarrowToWide(bytes), currentUser, classesRoot); }
    std::string Text() const { return RegistryFileText(currentUser, classesRoot); }
};

std::set<Entry> Everything()
{
    std::set<Entry> entries;
    int budget = 20000;
    Walk(HKEY_CURRENT_USER, L"HKCU", entries, budget);
    Walk(HKEY_CLASSES_ROOT, L"HKCR", entries, budget);
    return entries;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The file form reads back as it was written.
    Trees trees, again;
    const bool readable = trees.Parse(bytes);
    const std::string written = trees.Text();
    if (!again.Parse(written) || again.Text() != written)
        __builtin_trap();

    // The registry keeps what it was given through a change.
    const std::filesystem::path file = fuzz::UseAsRegistryFile(bytes);

    const std::set<Entry> before = Everything();
    const DWORD mark = 1;
    if (RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Fuzz", L"Mark", REG_DWORD, &mark, sizeof mark) != ERROR_SUCCESS)
        __builtin_trap();
    const std::set<Entry> after = Everything();
    for (const Entry& entry : before)
        if (!after.contains(entry) && !(SameRegistryName(std::get<0>(entry), L"HKCU\\Software\\Fuzz") && SameRegistryName(std::get<1>(entry), L"Mark")))
            __builtin_trap();
    if (!readable && fuzz::ReadWholeFile(file.string() + ".damaged") != bytes)
        __builtin_trap();
    return 0;
}
