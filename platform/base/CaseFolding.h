#pragma once
// Names that compare without regard to case (registry keys and values, profile sections and keys)
// are looked up by one form of them.

#include <cwctype>
#include <string>
#include <string_view>

inline std::wstring FoldedName(std::wstring_view name)
{
    std::wstring folded(name);
    for (wchar_t& ch : folded)
        ch = static_cast<wchar_t>(std::towlower(ch));
    return folded;
}
