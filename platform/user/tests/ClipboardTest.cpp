#include "UserTestSupport.h"

#include "ForeignTextCases.h"

#include <cstring>

namespace {

using Clipboard = UserTest;

HGLOBAL Text(const wchar_t* text)
{
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text, bytes);
    GlobalUnlock(memory);
    return memory;
}

TEST_F(Clipboard, UnicodeTextRoundTripsAndReachesTheDisplay)
{
    HWND window = TopLevel();
    ASSERT_TRUE(OpenClipboard(window));
    EXPECT_FALSE(OpenClipboard(window)); // already open
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(SetClipboardData(CF_UNICODETEXT, Text(L"1.5E+006 \u00b5")));
    CloseClipboard();
    EXPECT_EQ(headless->ClipboardText(), std::string("1.5E+006 \xC2\xB5"));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));

    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr); // not open
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto* wide = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    EXPECT_STREQ(wide, L"1.5E+006 \u00b5");
    auto* narrow = static_cast<const char*>(GlobalLock(GetClipboardData(CF_TEXT)));
    EXPECT_STREQ(narrow, "1.5E+006 \xC2\xB5");
    CloseClipboard();
}

// A lone surrogate has no UTF-8 form: other programs get the replacement character, not bytes
// they would refuse.
TEST_F(Clipboard, UnencodableCharacterReachesTheDisplayAsReplacement)
{
    const wchar_t text[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
    ASSERT_TRUE(OpenClipboard(TopLevel()));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(SetClipboardData(CF_UNICODETEXT, Text(text)));
    CloseClipboard();
    EXPECT_EQ(headless->ClipboardText(), std::string("a\xEF\xBF\xBD" "b"));
}

TEST_F(Clipboard, TextFromAnotherProgramIsRead)
{
    headless->SetClipboardText("from elsewhere \xE2\x82\xAC");
    ASSERT_TRUE(OpenClipboard(nullptr));
    auto* wide = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
    ASSERT_TRUE(wide);
    EXPECT_STREQ(wide, L"from elsewhere \u20ac");
    CloseClipboard();
}

TEST_F(Clipboard, ForeignTextOfBothSelectionsIsReadWholeInUtf8OrTheFallbackCodePage)
{
    for (const auto& [name, bytes, text] : foreign_text::kCases) {
        SCOPED_TRACE(name);
        headless->SetClipboardText(bytes);
        ASSERT_TRUE(OpenClipboard(nullptr));
        auto* wide = static_cast<const wchar_t*>(GlobalLock(GetClipboardData(CF_UNICODETEXT)));
        ASSERT_TRUE(wide);
        EXPECT_EQ(std::wstring(wide), text) << "CLIPBOARD";
        CloseClipboard();

        headless->SetPrimarySelectionText(bytes);
        EXPECT_EQ(GetPrimarySelectionText(), text) << "PRIMARY";
    }
}

// Once another program holds the clipboard, none of this program's formats is on it any more.
// Whether it holds text is answered without asking that program, which only a read of the text
// waits for, once for each opening of the clipboard and within the bound; PRIMARY likewise.
TEST_F(Clipboard, AnotherProgramsHoldEndsTheProgramsOwnAndOnlyAReadWaitsForIt)
{
    const UINT marker = RegisterClipboardFormatW(L"Formulon Column Mark");
    ASSERT_TRUE(OpenClipboard(TopLevel()));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_TRUE(SetClipboardData(CF_UNICODETEXT, Text(L"111")));
    ASSERT_TRUE(SetClipboardData(marker, Text(L"")));
    CloseClipboard();
    headless->GiveSelectionToAnotherProgram(SelectionKind::Clipboard, "222", std::nullopt);

    const std::uint32_t before = headless->Now();
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(marker));
    EXPECT_EQ(headless->Now(), before) << "asking whether there is text waited";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    EXPECT_EQ(GetClipboardData(CF_TEXT), nullptr);
    EXPECT_FALSE(IsClipboardFormatAvailable(marker));
    CloseClipboard();
    EXPECT_EQ(headless->Now() - before, kSelectionWaitLimitMs);

    headless->GiveSelectionToAnotherProgram(SelectionKind::Primary, "333", std::nullopt);
    EXPECT_EQ(GetPrimarySelectionText(), L"");
    EXPECT_EQ(headless->Now() - before, 2 * kSelectionWaitLimitMs);
}

TEST_F(Clipboard, RegisteredFormatsStayInsideTheProgram)
{
    UINT format = RegisterClipboardFormatW(L"Formulon Diagram");
    ASSERT_GE(format, 0xC000u);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, 3);
    std::memcpy(GlobalLock(data), "abc", 3);
    GlobalUnlock(data);
    EXPECT_EQ(SetClipboardData(format, data), data);
    EXPECT_EQ(SetClipboardData(format, reinterpret_cast<HANDLE>(0x1234)), nullptr); // not a block
    CloseClipboard();
    EXPECT_TRUE(IsClipboardFormatAvailable(format));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(EnumClipboardFormats(0), format);
    EXPECT_EQ(EnumClipboardFormats(format), 0u);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE read = GetClipboardData(format);
    EXPECT_EQ(GlobalSize(read), 3u);
    EXPECT_EQ(std::memcmp(GlobalLock(read), "abc", 3), 0);
    EmptyClipboard();
    EXPECT_EQ(CountClipboardFormats(), 0);
    CloseClipboard();
}

} // namespace
