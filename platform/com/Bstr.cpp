#include "platform/com/Automation.h"

#include "platform/com/MemoryBudget.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>

// The length in characters is kept in front of the text.
namespace {

struct BstrHeader {
    size_t length;
    size_t capacity;  // characters the block holds before the terminator
};

BstrHeader* HeaderOf(BSTR text) { return reinterpret_cast<BstrHeader*>(text) - 1; }

} // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length)
{
    auto* header = static_cast<BstrHeader*>(AllocateCharged(sizeof(BstrHeader) + (size_t(length) + 1) * sizeof(OLECHAR)));
    if (!header)
        return nullptr;
    header->length = length;
    header->capacity = length;
    auto* chars = reinterpret_cast<OLECHAR*>(header + 1);
    if (text)
        std::wmemcpy(chars, text, length);
    else
        std::wmemset(chars, 0, length);
    chars[length] = 0;
    return chars;
}

BSTR SysAllocString(const OLECHAR* text)
{
    if (!text)
        return nullptr;
    return SysAllocStringLen(text, static_cast<UINT>(std::wcslen(text)));
}

BSTR SysAllocStringView(std::wstring_view text)
{
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

void SysFreeString(BSTR text)
{
    if (text)
        FreeCharged(HeaderOf(text));
}

UINT SysStringLen(BSTR text)
{
    return text ? static_cast<UINT>(HeaderOf(text)->length) : 0;
}

int SysReAllocString(BSTR* target, const OLECHAR* text)
{
    if (!target)
        return FALSE;
    BSTR copy = SysAllocString(text);
    if (text && !copy)
        return FALSE;
    SysFreeString(*target);
    *target = copy;
    return TRUE;
}

HRESULT BstrAppend(BSTR* target, std::wstring_view text)
{
    if (!target)
        return E_INVALIDARG;
    if (!*target) {
        *target = SysAllocStringView(text);
        return *target ? S_OK : E_OUTOFMEMORY;
    }
    BstrHeader* header = HeaderOf(*target);
    size_t needed = header->length + text.size();
    if (needed > header->capacity) {
        // The text may be (part of) the target itself, which moves when the block grows.
        const OLECHAR* old = *target;
        bool inside = text.data() >= old && text.data() <= old + header->length;
        size_t offset = inside ? size_t(text.data() - old) : 0;
        size_t capacity = std::max(needed, header->capacity * 2);
        auto* grown = static_cast<BstrHeader*>(ReallocateCharged(header, sizeof(BstrHeader) + (capacity + 1) * sizeof(OLECHAR)));
        if (!grown)
            return E_OUTOFMEMORY;
        header = grown;
        header->capacity = capacity;
        *target = reinterpret_cast<OLECHAR*>(header + 1);
        if (inside)
            text = std::wstring_view(*target + offset, text.size());
    }
    std::wmemcpy(*target + header->length, text.data(), text.size());
    header->length = needed;
    (*target)[needed] = 0;
    return S_OK;
}
