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

std::optional<Utf16Order> UnmarkedUtf16Order(std::string_view sample, bool evenLength)
{
    if (!evenLength || sample.size() < 2)
        return std::nullopt;
    size_t lowFirst = 0;  // an ASCII character in little-endian order: c 00
    size_t highFirst = 0; // the same in big-endian order: 00 c
    for (size_t i = 0; i + 1 < sample.size(); i += 2) {
        lowFirst += sample[i] != 0 && sample[i + 1] == 0;
        highFirst += sample[i] == 0 && sample[i + 1] != 0;
    }
    // Half the characters or more are ASCII, and few others look like the other order (U+4E00 is
    // 00 4E in little-endian order).
    const size_t pairs = sample.size() / 2;
    if (2 * lowFirst >= pairs && 4 * highFirst < lowFirst)
        return Utf16Order::LittleEndian;
    if (2 * highFirst >= pairs && 4 * lowFirst < highFirst)
        return Utf16Order::BigEndian;
    return std::nullopt;
}

std::wstring DecodeUtf16LeKeepingLoneSurrogates(std::string_view bytes)
{
    std::wstring text;
    text.reserve(bytes.size() / 2);
    auto unit = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8); };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text += static_cast<wchar_t>(0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        text += static_cast<wchar_t>(code);
    }
    return text;
}
