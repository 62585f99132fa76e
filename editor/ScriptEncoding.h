#pragma once
// The 8-bit encodings of script files. A file without a mark is UTF-8 when its bytes are; a file
// that is not is read so that saving gives back every byte it had: as Windows-1252 (each of its
// 256 bytes is one character) when it looks like a Windows-1252 text, else as UTF-8 whose stray
// bytes are held as the characters U+DC80 to U+DCFF, which no valid text contains.

#include <optional>
#include <string>
#include <string_view>

enum class ScriptEncoding {
    Utf16Le,     // FF FE, or no mark where the bytes show it
    Utf16Be,     // FE FF, or no mark where the bytes show it
    Utf8,        // no mark or EF BB BF; stray bytes kept as they were
    Windows1252, // bytes that are not UTF-8
};

// The character that stands for a byte that is not part of any valid UTF-8 sequence.
constexpr wchar_t StrayByteCharacter(unsigned char byte) { return static_cast<wchar_t>(0xDC00 + byte); }

// How an 8-bit text without a mark that is not strict UTF-8 is best read: as UTF-8 when its valid
// multi-byte characters outnumber its stray bytes (a UTF-8 text with a damaged byte or two), else
// as Windows-1252.
ScriptEncoding ClassifyEightBitText(std::string_view bytes);

// UTF-8 with each stray byte turned into StrayByteCharacter(byte).
std::wstring DecodeUtf8KeepingStrayBytes(std::string_view bytes);

// UTF-8 in which the stray-byte characters become their bytes again.
std::string EncodeUtf8KeepingStrayBytes(std::wstring_view text);

// The order of a UTF-16 text without a mark, judged from a sample of its start: most characters of
// a script are ASCII, so one byte of each pair is zero. Nothing for a text that does not show it
// (an odd length, or no such pattern), which is then 8-bit text.
enum class Utf16Order { LittleEndian, BigEndian };
std::optional<Utf16Order> UnmarkedUtf16Order(std::string_view sample, bool evenLength);

// UTF-16LE in which a surrogate without its partner stays that code unit, so that saving gives
// back the bytes it came from (no valid text holds one).
std::wstring DecodeUtf16LeKeepingLoneSurrogates(std::string_view bytes);
