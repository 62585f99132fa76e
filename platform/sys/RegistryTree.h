#pragma once
// The registry in memory, as trees of keys holding named, typed values, and the text form the
// trees take in the settings file. Names compare without regard to case.

#include "platform/base/WinTypes.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

int CompareRegistryNames(std::wstring_view a, std::wstring_view b);
bool SameRegistryName(std::wstring_view a, std::wstring_view b);

struct RegistryValue {
    std::wstring name;  // empty for the key's default value
    DWORD type = 0;
    std::vector<BYTE> data;
    // Its line in the settings file, made when first written out, so that a write costs what it
    // changes. A changed value is assigned as a whole, which starts without one.
    mutable std::string fileLine;
};

struct RegistryKey {
    std::wstring name;
    std::vector<std::unique_ptr<RegistryKey>> subkeys;  // sorted by name
    std::vector<RegistryValue> values;                  // in the order first set

    RegistryKey* FindSubkey(std::wstring_view subName);
    RegistryKey& AddSubkey(std::wstring_view subName);
    RegistryValue* FindValue(std::wstring_view valueName);
    void Clear();

private:
    std::vector<std::unique_ptr<RegistryKey>>::iterator LowerBound(std::wstring_view subName);
};

using KeyPath = std::vector<std::wstring>;

// Splits "a\b\\c\" into its names; empty steps are skipped. False for a name no key can have
// (longer than 255 characters, or with control characters).
bool SplitKeyPath(LPCWSTR text, KeyPath& path);

// Text values are held as wchar_t units with a terminating NUL; TextOfValueData stops at the first NUL.
std::wstring TextOfValueData(const std::vector<BYTE>& data);
std::vector<BYTE> ValueDataOfText(std::wstring_view text);

// The file form (UTF-8 text) of the two trees kept in the file.
std::string RegistryFileText(const RegistryKey& currentUser, const RegistryKey& classesRoot);
// Adds what text holds to the two trees; false when some lines could not be read (they are
// skipped, and the rest is still taken).
bool ParseRegistryText(std::wstring_view text, RegistryKey& currentUser, RegistryKey& classesRoot);
