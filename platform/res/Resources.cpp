#include "platform/res/Resources.h"

#include "platform/base/ErrorCodes.h"
#include "platform/base/TextEncoding.h"
#include "platform/res/LinkedResources.h"

#include <algorithm>
#include <cwctype>
#include <map>
#include <mutex>

using fln::res::LinkedResource;

namespace {

bool IsOwnModule(HMODULE module)
{
    return module == nullptr || module == GetModuleHandleW(nullptr);
}

// An ordinal given as MAKEINTRESOURCE(n) or as the text "#n".
bool OrdinalOf(LPCWSTR query, WORD& ordinal)
{
    if (IS_INTRESOURCE(query)) {
        ordinal = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(query));
        return true;
    }
    if (query[0] != L'#' || query[1] == 0)
        return false;
    unsigned value = 0;
    for (const wchar_t* p = query + 1; *p; ++p) {
        if (*p < L'0' || *p > L'9' || (value = value * 10 + (*p - L'0')) > 0xFFFF)
            return false;
    }
    ordinal = static_cast<WORD>(value);
    return true;
}

bool Matches(LPCWSTR query, WORD id, const wchar_t* name)
{
    WORD ordinal = 0;
    if (OrdinalOf(query, ordinal))
        return name == nullptr && id == ordinal;
    if (name == nullptr)
        return false;
    for (; *query && *name; ++query, ++name) {
        if (std::towupper(*query) != std::towupper(*name))
            return false;
    }
    return *query == *name;
}

const LinkedResource* FromHandle(HRSRC handle)
{
    auto* entry = reinterpret_cast<const LinkedResource*>(handle);
    for (auto table : fln::res::LinkedTables()) {
        if (!table.empty() && entry >= table.data() && entry < table.data() + table.size())
            return entry;
    }
    return nullptr;
}

// A stored string-table entry as text, or nothing when the block or the entry is missing.
bool FindTableString(UINT id, std::wstring& text)
{
    if (id > 0xFFFF)
        return false;
    HRSRC block = FindResourceW(nullptr, MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING);
    if (!block)
        return false;
    const LinkedResource* entry = FromHandle(block);
    std::size_t offset = 0;
    for (UINT slot = 0;; ++slot) {
        if (offset + 2 > entry->size)
            return false;
        std::size_t length = entry->data[offset] | (entry->data[offset + 1] << 8);
        offset += 2;
        if (offset + 2 * length > entry->size)
            return false;
        if (slot == (id & 15)) {
            text = Utf16LeToWide({ reinterpret_cast<const char*>(entry->data) + offset, 2 * length });
            return length != 0;
        }
        offset += 2 * length;
    }
}

}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    return FindResourceExW(module, type, name, 0);
}

HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD)
{
    if (!type || !name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!IsOwnModule(module)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    bool typeFound = false;
    for (auto table : fln::res::LinkedTables()) {
        for (const LinkedResource& entry : table) {
            if (!Matches(type, entry.typeId, entry.typeName))
                continue;
            typeFound = true;
            if (Matches(name, entry.nameId, entry.name))
                return reinterpret_cast<HRSRC>(const_cast<LinkedResource*>(&entry));
        }
    }
    SetLastError(typeFound ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource)
{
    const LinkedResource* entry = IsOwnModule(module) ? FromHandle(resource) : nullptr;
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return const_cast<unsigned char*>(entry->data);
}

LPVOID LockResource(HGLOBAL data)
{
    return data;
}

DWORD SizeofResource(HMODULE module, HRSRC resource)
{
    const LinkedResource* entry = IsOwnModule(module) ? FromHandle(resource) : nullptr;
    if (!entry) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return entry->size;
}

BOOL FreeResource(HGLOBAL)
{
    return FALSE; // nothing to free: resources live as long as the program
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size)
{
    if (!buffer || size < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::wstring text;
    const bool found = IsOwnModule(instance) && FindTableString(id, text);
    if (size == 0) {
        // The caller receives a pointer to the text, which must outlive the call: keep one
        // converted copy of each string asked for this way.
        static std::mutex lock;
        static std::map<UINT, std::wstring> kept;
        if (!found)
            return 0;
        std::lock_guard guard(lock);
        const std::wstring& stored = kept.try_emplace(id, std::move(text)).first->second;
        *reinterpret_cast<const wchar_t**>(buffer) = stored.c_str();
        return static_cast<int>(stored.size());
    }
    if (!found) {
        buffer[0] = 0;
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    const int length = std::min(static_cast<int>(text.size()), size - 1);
    text.copy(buffer, length);
    buffer[length] = 0;
    return length;
}

BOOL CString::LoadString(UINT id)
{
    std::wstring text;
    if (!FindTableString(id, text))
        return FALSE;
    *this = CString(std::move(text));
    return TRUE;
}
