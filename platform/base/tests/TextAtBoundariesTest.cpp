#include "platform/base/NativePath.h"
#include "platform/base/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(TextEncodingTest, Utf16LeRoundTripsAndSurvivesDamage)
{
    std::wstring text = L"a\x00e9\x4e2d\U0001F600";
    std::string bytes = WideToUtf16Le(text);
    EXPECT_EQ(bytes, std::string("a\0\xE9\0\x2D\x4E\x3D\xD8\x00\xDE", 10));
    EXPECT_EQ(Utf16LeToWide(bytes), text);
    EXPECT_EQ(Utf16LeToWide(std::string("a\0b", 3)), L"a");  // an odd last byte is dropped
    EXPECT_EQ(Utf16LeToWide(std::string("\x3D\xD8" "a\0", 4)), L"\xFFFD" L"a");  // a lone high surrogate
    EXPECT_EQ(Utf16LeToWide(std::string("\x00\xDE", 2)), L"\xFFFD");  // a lone low surrogate
}

TEST(TextEncodingTest, TheMarkTellsTheEncoding)
{
    struct Case {
        std::string bytes;
        std::wstring text;
        TextFileEncoding encoding;
    } cases[] = {
        { "\xFF\xFE" + std::string("h\0i\0", 4), L"hi", TextFileEncoding::Utf16LeBom },
        { "\xEF\xBB\xBFh\xC3\xA9", L"h\x00e9", TextFileEncoding::Utf8Bom },
        { "h\xC3\xA9", L"h\x00e9", TextFileEncoding::Ansi },
        { "h\xE9\x80", L"h\x00e9\x20ac", TextFileEncoding::Windows1252 },  // not UTF-8
    };
    for (const auto& c : cases) {
        DecodedText decoded = DecodeTextFile(c.bytes);
        EXPECT_EQ(decoded.text, c.text);
        EXPECT_EQ(decoded.encoding, c.encoding);
    }
    EXPECT_EQ(EncodeTextFile(L"h\x00e9", TextFileEncoding::Utf8Bom), "\xEF\xBB\xBFh\xC3\xA9");
}

TEST(TextEncodingTest, AWindows1252FileIsWrittenBackInItsCodePageWhileTheTextFitsIt)
{
    struct Case {
        std::wstring text;
        std::string bytes;
    } cases[] = {
        { L"K\x00f6nig \x20ac \x2122 \x0178", "K\xF6nig \x80 \x99 \x9F" },
        { L"\x0081\x00a0\x00ff", "\x81\xA0\xFF" },               // the code page's unassigned bytes round-trip
        { L"K\x00f6nig \x6f22", "K\xC3\xB6nig \xE6\xBC\xA2" },   // a character it lacks: UTF-8, nothing lost
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EncodeTextFile(c.text, TextFileEncoding::Windows1252), c.bytes);
        EXPECT_EQ(DecodeTextFile(c.bytes).text, c.text);
    }
}

TEST(NativePathTest, BackslashesSeparateAndRunsCountOnce)
{
    EXPECT_EQ(NativePath(L"D:\\Data\\a.fm"), "D:/Data/a.fm");
    EXPECT_EQ(NativePath(L"/home/u\\\\x\\\\y.ini"), "/home/u/x/y.ini");
    EXPECT_EQ(NativePath(L"//tmp//a"), "/tmp/a");
    EXPECT_EQ(NativePath(L"/tmp/K\x00f6nig.txt"), "/tmp/K\xC3\xB6nig.txt");
}

} // namespace
