#pragma once
// Text at byte boundaries: UTF-16LE (surrogate pairs joined into one wchar_t) and whole text files
// whose byte-order mark tells their encoding.

#include <string>
#include <string_view>

std::wstring Utf16LeToWide(std::string_view bytes);  // an odd last byte is dropped; lone surrogates become U+FFFD
std::string WideToUtf16Le(std::wstring_view text);

enum class TextFileEncoding {
    Ansi,        // no mark, UTF-8
    Windows1252, // no mark, and bytes that are not valid UTF-8
    Utf8Bom,     // EF BB BF
    Utf16LeBom,  // FF FE
};

struct DecodedText {
    std::wstring text;
    TextFileEncoding encoding = TextFileEncoding::Ansi;
};

DecodedText DecodeTextFile(std::string_view bytes);
// The bytes of text in the encoding, with its mark. Text that Windows-1252 cannot hold is written
// as UTF-8 instead, which loses nothing and reads back the same.
std::string EncodeTextFile(std::wstring_view text, TextFileEncoding encoding);
