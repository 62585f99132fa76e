// The version functions on the program's own VS_VERSION_INFO resource. The block handed to the
// caller is the resource itself, followed (from the first DWORD boundary after it) by a text
// area twice its size: the text value stored at byte offset o is copied, as wchar_t, to byte
// offset 2o of that area, where VerQueryValue points for it. The resource itself (as locked from
// FindResource) may be queried too.

#include "platform/res/Resources.h"

#include "platform/base/ErrorCodes.h"
#include "platform/base/TextEncoding.h"
#include "platform/res/LinkedResources.h"

#include <cstring>
#include <map>
#include <mutex>
#include <vector>

namespace {

constexpr int kMaxDepth = 16;

struct VersionNode {
    std::size_t offset = 0;      // of the node in the block
    std::size_t length = 0;      // wLength
    std::size_t valueLength = 0; // wValueLength: characters for text, bytes otherwise
    bool isText = false;
    std::wstring key;
    std::size_t valueOffset = 0;
    std::size_t childrenOffset = 0;
};

WORD ReadWord(const BYTE* block, std::size_t offset)
{
    return static_cast<WORD>(block[offset] | (block[offset + 1] << 8));
}

std::size_t AlignToDword(std::size_t offset)
{
    return (offset + 3) & ~std::size_t(3);
}

// Reads the node at offset, which must lie wholly within [offset, limit).
bool ReadNode(const BYTE* block, std::size_t offset, std::size_t limit, VersionNode& node)
{
    if (offset + 6 > limit)
        return false;
    node.offset = offset;
    node.length = ReadWord(block, offset);
    node.valueLength = ReadWord(block, offset + 2);
    node.isText = ReadWord(block, offset + 4) == 1;
    if (node.length < 6 || offset + node.length > limit)
        return false;
    const std::size_t end = offset + node.length;
    std::size_t keyEnd = offset + 6;
    while (keyEnd + 2 <= end && ReadWord(block, keyEnd) != 0)
        keyEnd += 2;
    if (keyEnd + 2 > end)
        return false;
    node.key = Utf16LeToWide({ reinterpret_cast<const char*>(block) + offset + 6, keyEnd - offset - 6 });
    node.valueOffset = std::min(AlignToDword(keyEnd + 2), end);
    const std::size_t valueBytes = node.isText ? 2 * node.valueLength : node.valueLength;
    if (node.valueOffset + valueBytes > end)
        return false;
    node.childrenOffset = std::min(AlignToDword(node.valueOffset + valueBytes), end);
    return true;
}

template<typename Visit>
void ForEachChild(const BYTE* block, const VersionNode& parent, Visit&& visit)
{
    const std::size_t end = parent.offset + parent.length;
    VersionNode child;
    for (std::size_t offset = parent.childrenOffset; offset < end; offset = AlignToDword(child.offset + child.length)) {
        if (!ReadNode(block, offset, end, child) || !visit(child))
            return;
    }
}

std::size_t RootLength(const BYTE* block)
{
    return ReadWord(block, 0);
}

std::size_t TextAreaOffset(std::size_t rootLength)
{
    return AlignToDword(rootLength);
}

// Copies each text value of the tree into the text area, as wchar_t.
void ConvertTexts(BYTE* block, const VersionNode& node, int depth)
{
    if (node.isText && node.valueLength != 0) {
        std::wstring text = Utf16LeToWide({ reinterpret_cast<const char*>(block) + node.valueOffset, 2 * node.valueLength });
        text.resize(std::wcslen(text.c_str()));
        BYTE* target = block + TextAreaOffset(RootLength(block)) + 2 * node.valueOffset;
        std::memcpy(target, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    if (depth >= kMaxDepth)
        return;
    ForEachChild(block, node, [&](const VersionNode& child) {
        ConvertTexts(block, child, depth + 1);
        return true;
    });
}

bool IsOwnFile(LPCWSTR fileName)
{
    if (!fileName || !*fileName)
        return true;
    wchar_t path[4096];
    DWORD length = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
    if (length == 0 || length >= std::size(path))
        return false;
    CString own(path);
    CString wanted(fileName);
    wanted.Replace(L'\\', L'/');
    if (wanted == own)
        return true;
    return wanted.Find(L'/') < 0 && wanted == own.Mid(own.ReverseFind(L'/') + 1);
}

// The program's version resource, checked to hold a whole root node.
const BYTE* OwnVersionResource(std::size_t& size)
{
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_VERSION);
    if (!resource)
        return nullptr;
    auto* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    size = SizeofResource(nullptr, resource);
    VersionNode root;
    if (!data || !ReadNode(data, 0, size, root)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    return data;
}

}

DWORD GetFileVersionInfoSizeW(LPCWSTR fileName, LPDWORD handle)
{
    if (handle)
        *handle = 0;
    if (!IsOwnFile(fileName)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    std::size_t size = 0;
    const BYTE* data = OwnVersionResource(size);
    if (!data)
        return 0;
    const std::size_t length = RootLength(data);
    return static_cast<DWORD>(TextAreaOffset(length) + 2 * length + sizeof(wchar_t));
}

BOOL GetFileVersionInfoW(LPCWSTR fileName, DWORD, DWORD size, LPVOID block)
{
    if (!block) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD needed = GetFileVersionInfoSizeW(fileName, nullptr);
    if (needed == 0)
        return FALSE;
    if (size < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::size_t resourceSize = 0;
    const BYTE* data = OwnVersionResource(resourceSize);
    auto* target = static_cast<BYTE*>(block);
    const std::size_t length = RootLength(data);
    std::memset(target, 0, needed);
    std::memcpy(target, data, length);
    VersionNode root;
    ReadNode(target, 0, length, root);
    ConvertTexts(target, root, 0);
    return TRUE;
}

BOOL VerQueryValueW(LPCVOID block, LPCWSTR subBlock, LPVOID* value, PUINT length)
{
    if (!block || !subBlock || !value || !length)
        return FALSE;
    auto* data = static_cast<const BYTE*>(block);
    VersionNode node;
    if (!ReadNode(data, 0, RootLength(data), node))
        return FALSE;
    const std::wstring_view path(subBlock);
    for (std::size_t start = 0; start < path.size();) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos)
            end = path.size();
        const CString key(path.substr(start, end - start));
        start = end + 1;
        if (key.IsEmpty())
            continue;
        bool found = false;
        ForEachChild(data, node, [&](const VersionNode& child) {
            found = key.CompareNoCase(child.key.c_str()) == 0;
            if (found)
                node = child;
            return !found;
        });
        if (!found)
            return FALSE;
    }
    if (node.valueLength == 0)
        return FALSE;
    if (node.isText && fln::res::IsLinkedResourceData(block)) {
        // The resource itself, locked by the caller, has no text area: keep a converted copy.
        static std::mutex lock;
        static std::map<const BYTE*, std::wstring> kept;
        std::wstring text = Utf16LeToWide({ reinterpret_cast<const char*>(data) + node.valueOffset, 2 * node.valueLength });
        text.resize(std::wcslen(text.c_str()));
        std::lock_guard guard(lock);
        *value = kept.try_emplace(data + node.valueOffset, std::move(text)).first->second.data();
    } else if (node.isText) {
        *value = const_cast<BYTE*>(data) + TextAreaOffset(RootLength(data)) + 2 * node.valueOffset;
    } else {
        *value = const_cast<BYTE*>(data) + node.valueOffset;
        *length = static_cast<UINT>(node.valueLength);
        return TRUE;
    }
    // Counted as converted: a surrogate pair is one wchar_t here.
    *length = static_cast<UINT>(std::wcslen(static_cast<const wchar_t*>(*value)) + 1);
    return TRUE;
}
