// The buddy's number text.

#include "platform/comctl/UpDownNumber.h"

#include <cstdint>
#include <cwctype>

namespace fln::comctl {

std::wstring FormatUpDownNumber(int value, int base, const std::wstring& thousands)
{
    if (base == 16) {
        std::wstring digits;
        for (auto bits = static_cast<std::uint32_t>(value); bits || digits.size() < 4; bits >>= 4)
            digits.insert(digits.begin(), L"0123456789ABCDEF"[bits & 0xF]);
        return L"0x" + digits;
    }
    std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
    std::wstring digits = std::to_wstring(magnitude);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0 && !thousands.empty(); at -= 3)
        digits.insert(static_cast<size_t>(at), thousands);
    return value < 0 ? L"-" + digits : digits;
}

std::optional<int> ParseUpDownNumber(const std::wstring& text, int base, const std::wstring& thousands)
{
    size_t begin = text.find_first_not_of(L" \t");
    size_t end = text.find_last_not_of(L" \t");
    if (begin == std::wstring::npos)
        return std::nullopt;
    std::wstring body = text.substr(begin, end - begin + 1);
    if (base == 16) {
        if (body.size() > 2 && body[0] == L'0' && std::towlower(body[1]) == L'x')
            body.erase(0, 2);
        if (body.empty() || body.size() > 8)
            return std::nullopt;
        std::uint32_t bits = 0;
        for (wchar_t c : body) {
            if (!std::iswxdigit(c))
                return std::nullopt;
            bits = bits << 4 | static_cast<std::uint32_t>(std::iswdigit(c) ? c - L'0' : std::towlower(c) - L'a' + 10);
        }
        return static_cast<int>(bits);
    }
    bool negative = body[0] == L'-';
    if (negative || body[0] == L'+')
        body.erase(0, 1);
    if (!thousands.empty()) {
        for (size_t at; (at = body.find(thousands)) != std::wstring::npos;)
            body.erase(at, thousands.size());
    }
    if (body.empty() || body.size() > 10)
        return std::nullopt;
    std::int64_t magnitude = 0;
    for (wchar_t c : body) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - L'0');
    }
    std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace fln::comctl
