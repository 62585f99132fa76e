#include "platform/base/TextEncoding.h"

#include "platform/base/CString.h"

std::wstring Utf16LeToWide(std::string_view bytes)
{
    std::wstring text;
    text.reserve(bytes.size() / 2);
    auto unit = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8)); };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t code = unit(i);
        if (code >= 0xD800 && code <= 0xDBFF && i + 3 < bytes.size()) {
            char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text += static_cast<wchar_t>(0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        text += (code >= 0xD800 && code <= 0xDFFF) ? L'\xFFFD' : static_cast<wchar_t>(code);
    }
    return text;
}

std::string WideToUtf16Le(std::wstring_view text)
{
    std::string bytes;
    bytes.reserve(text.size() * 2);
    auto put = [&](char32_t unit) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    };
    for (wchar_t ch : text) {
        auto code = static_cast<char32_t>(ch);
        if (code > 0x10FFFF) code = 0xFFFD;
        if (code >= 0x10000) {
            code -= 0x10000;
            put(0xD800 + (code >> 10));
            put(0xDC00 + (code & 0x3FF));
        } else {
            put(code);
        }
    }
    return bytes;
}

DecodedText DecodeTextFile(std::string_view bytes)
{
    if (bytes.starts_with("\xFF\xFE")) return { Utf16LeToWide(bytes.substr(2)), TextFileEncoding::Utf16LeBom };
    if (bytes.starts_with("\xEF\xBB\xBF")) return { NarrowToWide(bytes.substr(3)), TextFileEncoding::Utf8Bom };
    if (auto text = Utf8ToWide(bytes)) return { std::move(*text), TextFileEncoding::Ansi };
    return { Windows1252ToWide(bytes), TextFileEncoding::Windows1252 };
}

std::string EncodeTextFile(std::wstring_view text, TextFileEncoding encoding)
{
    switch (encoding) {
    case TextFileEncoding::Utf16LeBom: return "\xFF\xFE" + WideToUtf16Le(text);
    case TextFileEncoding::Utf8Bom: return "\xEF\xBB\xBF" + WideToUtf8(text);
    case TextFileEncoding::Windows1252:
        if (auto bytes = WideToWindows1252(text)) return std::move(*bytes);
        break;
    case TextFileEncoding::Ansi: break;
    }
    return WideToUtf8(text);
}
