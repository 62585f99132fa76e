#include "editor/ScriptEncoding.h"

#include "platform/base/CString.h"

namespace {

constexpr char32_t kFirstStray = 0xDC80;
constexpr char32_t kLastStray = 0xDCFF;

// The length of the valid UTF-8 sequence at bytes[i] (1 for ASCII) and its code point; 0 when no
// valid sequence starts there.
size_t ValidSequenceAt(std::string_view bytes, size_t i, char32_t& code)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    size_t extra;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) { extra = 1; code = lead & 0x1F; minimum = 0x80; }
    else if ((lead & 0xF0) == 0xE0) { extra = 2; code = lead & 0x0F; minimum = 0x800; }
    else if ((lead & 0xF8) == 0xF0) { extra = 3; code = lead & 0x07; minimum = 0x10000; }
    else return 0;
    if (i + extra >= bytes.size())
        return 0;
    for (size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(bytes[i + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return extra + 1;
}

} // namespace

ScriptEncoding ClassifyEightBitText(std::string_view bytes)
{
    size_t multiByte = 0;
    size_t stray = 0;
    for (size_t i = 0; i < bytes.size();) {
        char32_t code = 0;
        const size_t length = ValidSequenceAt(bytes, i, code);
        if (length == 0) {
            ++stray;
            ++i;
            continue;
        }
        multiByte += length > 1;
        i += length;
    }
    return multiByte > stray ? ScriptEncoding::Utf8 : ScriptEncoding::Windows1252;
}

std::wstring DecodeUtf8KeepingStrayBytes(std::string_view bytes)
{
    std::wstring text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t code = 0;
        const size_t length = ValidSequenceAt(bytes, i, code);
        if (length == 0) {
            text += StrayByteCharacter(static_cast<unsigned char>(bytes[i++]));
            continue;
        }
        text += static_cast<wchar_t>(code);
        i += length;
    }
    return text;
}

std::string EncodeUtf8KeepingStrayBytes(std::wstring_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    auto isStray = [](wchar_t ch) { return static_cast<char32_t>(ch) >= kFirstStray && static_cast<char32_t>(ch) <= kLastStray; };
    for (size_t start = 0; start < text.size();) {
        size_t end = start;
        while (end < text.size() && !isStray(text[end]))
            ++end;
        bytes += WideToUtf8(text.substr(start, end - start));
        for (; end < text.size() && isStray(text[end]); ++end)
            bytes += static_cast<char>(static_cast<char32_t>(text[end]) - 0xDC00);
        start = end;
    }
    return bytes;
}
