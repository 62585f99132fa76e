#include "editor/Edit.h"

#include "EditTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace edittest;

namespace {

class EditFile : public testing::Test {
protected:
    EditFile()
    {
        m_edit.AttachLangConfig(m_language.get());
        m_edit.ResetContent();
    }
    ~EditFile() override { m_edit.AttachLangConfig(nullptr); }

    CString Text()
    {
        CString text;
        m_edit.GetAllText(text);
        return text;
    }
    BOOL Load(const std::string& bytes)
    {
        WriteBytes(m_dir.File("in.vbs"), bytes);
        return m_edit.LoadFile(Wide(m_dir.File("in.vbs")));
    }
    std::string Saved()
    {
        EXPECT_TRUE(m_edit.SaveFile(Wide(m_dir.File("out.vbs"))));
        return ReadBytes(m_dir.File("out.vbs"));
    }

    TempDir m_dir;
    CapturedMessages m_messages;
    std::unique_ptr<SECEditLangConfig> m_language = MakeTestLanguage();
    SECEdit m_edit;
};

TEST_F(EditFile, Utf16FileRoundTripsWithItsMark)
{
    const std::string bytes("\xFF\xFE" "a\0\r\0\n\0b\0\x3D\xD8\x00\xDE", 14);
    ASSERT_TRUE(Load(bytes));
    EXPECT_EQ(Text(), L"a\r\nb\U0001F600");
    EXPECT_TRUE(m_edit.IsUnicodeFile());
    EXPECT_FALSE(m_edit.IsModified());
    EXPECT_EQ(m_edit.Undo(), nullptr);
    EXPECT_EQ(Saved(), bytes);
}

// UTF-16 of either order, with its mark or without one where the bytes show it, comes back byte for
// byte: surrogates without their partners included, and an odd last byte, which is no character
// and is kept aside.
TEST_F(EditFile, Utf16FilesOfEitherOrderRoundTripByteForByte)
{
    using namespace std::string_literals;
    const struct {
        const char* name;
        std::string bytes;
        std::wstring text;
    } cases[] = {
        { "little-endian, odd length", "\xFF\xFE" "a\0b\0c"s, L"ab" },
        { "lone surrogates", "\xFF\xFE" "a\0\x3D\xD8" "b\0\x00\xDE"s, L"a\xD83D" L"b\xDE00" },
        { "a high surrogate last", "\xFF\xFE" "a\0\x3D\xD8"s, L"a\xD83D" },
        { "big-endian with its mark", "\xFE\xFF" "\0a\0\r\0\n\xD8\x3D\xDE\x00"s, L"a\r\n\U0001F600" },
        { "big-endian, odd length", "\xFE\xFF" "\0a\0b\x01"s, L"ab" },
        { "little-endian without a mark", "D\0i\0m\0 \0x\0\xE9\0=\0\0\x4E"s, L"Dim x\u00E9=\u4E00" },
        { "big-endian without a mark", "\0D\0i\0m\0 \0x\0\xE9"s, L"Dim x\u00E9" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Load(c.bytes));
        EXPECT_EQ(Text(), CString(c.text));
        EXPECT_TRUE(m_edit.IsUnicodeFile());
        EXPECT_EQ(Saved(), c.bytes);
    }
}

TEST_F(EditFile, FileWithNulCharactersIsRefusedAndTheTextKept)
{
    for (const std::string& bytes : { std::string("\xFF\xFE" "a\0\0\0b\0", 8), std::string("a\0b", 3), std::string("\xE9\0x", 3) }) {
        m_edit.SetText(L"keep me");
        m_messages.texts.clear();
        EXPECT_FALSE(Load(bytes));
        EXPECT_EQ(Text(), L"keep me");
        ASSERT_EQ(m_messages.texts.size(), 1u);
        EXPECT_NE(m_messages.texts[0].find(L"contains NUL characters"), std::wstring::npos);
    }
}

TEST_F(EditFile, EachLoadDetectsItsOwnEncoding)
{
    ASSERT_TRUE(Load("plain \xC3\xA9t\xC3\xA9\r\n"));
    EXPECT_EQ(Text(), L"plain \u00E9t\u00E9\r\n");
    EXPECT_FALSE(m_edit.IsUnicodeFile());
    EXPECT_EQ(Saved(), "plain \xC3\xA9t\xC3\xA9\r\n");

    // A UTF-16 file after a file without the mark is still read as UTF-16.
    ASSERT_TRUE(Load(std::string("\xFF\xFE" "x\0y\0", 6)));
    EXPECT_EQ(Text(), L"xy");
    EXPECT_EQ(Saved(), std::string("\xFF\xFE" "x\0y\0", 6));
}

TEST_F(EditFile, Utf8MarkIsKeptOutOfTheTextAndWrittenBack)
{
    ASSERT_TRUE(Load("\xEF\xBB\xBF" "x\xEF\xBB\xBF"));
    EXPECT_EQ(Text(), L"x\uFEFF");
    EXPECT_EQ(Saved(), "\xEF\xBB\xBF" "x\xEF\xBB\xBF");
    ASSERT_TRUE(Load("plain"));
    EXPECT_EQ(Saved(), "plain");
}

TEST_F(EditFile, EmptyFileLoadsAsEmptyTextWithoutTheMark)
{
    ASSERT_TRUE(Load(""));
    EXPECT_EQ(Text(), L"");
    EXPECT_FALSE(m_edit.IsUnicodeFile());
    EXPECT_EQ(Saved(), "");
}

TEST_F(EditFile, TextThatIsNotUtf8IsSavedBackAsItWasRead)
{
    struct Case {
        const char* name;
        std::string bytes;
        std::wstring text;
        ScriptEncoding encoding;
    };
    const Case cases[] = {
        { "Windows-1252", "caf\xE9 \x80 \x93q\x94 \x81\x8D\x8F\x90\x9D", L"caf\u00E9 \u20AC \u201Cq\u201D \u0081\u008D\u008F\u0090\u009D",
          ScriptEncoding::Windows1252 },
        { "UTF-8 with one bad byte", "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xFF end", L"\u00E9t\u00E9 \u20AC \xDCFF end", ScriptEncoding::Utf8 },
        { "UTF-8 mark, then Windows-1252", "\xEF\xBB\xBF" "gr\xFC\xDF", L"gr\u00FC\u00DF", ScriptEncoding::Windows1252 },
        { "bad bytes at both ends", "\x80x\xC3\xA9y\xC3\xA9z\xC3\xA9\xC3", L"\xDC80x\u00E9y\u00E9z\u00E9\xDCC3", ScriptEncoding::Utf8 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Load(c.bytes));
        EXPECT_EQ(Text(), c.text.c_str());
        EXPECT_EQ(m_edit.GetFileEncoding(), c.encoding);
        EXPECT_FALSE(m_edit.IsModified());
        EXPECT_EQ(Saved(), c.bytes);
    }
}

TEST_F(EditFile, EditedWindows1252TextStaysWindows1252UntilItNoLongerFits)
{
    ASSERT_TRUE(Load("caf\xE9\r\n"));
    m_edit.InsertText(1, 0, L"\u20AC");
    EXPECT_EQ(Saved(), "caf\xE9\r\n\x80");

    m_edit.InsertText(1, 1, L"\u2192");
    EXPECT_EQ(Saved(), "caf\xC3\xA9\r\n\xE2\x82\xAC\xE2\x86\x92") << "the whole file becomes UTF-8";
    EXPECT_EQ(m_edit.GetFileEncoding(), ScriptEncoding::Utf8);
}

TEST_F(EditFile, FailedLoadLeavesTheTextAndFileUntouched)
{
    // A FIFO is refused at once rather than waited on; a folder cannot be read.
    const std::string fifo = m_dir.File("pipe.vbs");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(m_dir.File("folder.vbs"));
    ASSERT_TRUE(Load("loaded \xE9"));
    m_edit.InsertText(0, 0, L"edited ");
    for (const char* name : { "pipe.vbs", "folder.vbs" }) {
        SCOPED_TRACE(name);
        m_messages.texts.clear();
        EXPECT_FALSE(m_edit.LoadFile(Wide(m_dir.File(name))));
        EXPECT_EQ(m_messages.texts.size(), 1u);
        EXPECT_EQ(Text(), L"edited loaded \u00E9");
        EXPECT_TRUE(m_edit.IsModified());
        EXPECT_EQ(m_edit.GetFileEncoding(), ScriptEncoding::Windows1252);
    }
}

TEST_F(EditFile, MultiByteCharacterCutByAReadPieceStaysWhole)
{
    // The euro sign's three bytes straddle the first 512000-byte piece.
    std::string bytes(SECEdit::ReadPiece - 1, 'a');
    for (size_t i = 100; i < bytes.size(); i += 100)
        bytes[i] = '\n';
    bytes += "\xE2\x82\xAC tail";
    ASSERT_TRUE(Load(bytes));
    CString text = Text();
    EXPECT_EQ(text.Right(6), L"\u20AC tail");
    EXPECT_EQ(text.Find(L'\uFFFD'), -1);
    EXPECT_EQ(Saved(), bytes);
}

TEST_F(EditFile, LongLinesAreKeptWholeAndTheViewWidensToThem)
{
    std::string bytes(5000, 'z');
    bytes[1000] = '\t';
    bytes += "\r\nshort\r\n" + std::string(200000, 'q');
    ASSERT_TRUE(Load(bytes));
    ASSERT_EQ(m_edit.GetLineCount(), 3);
    EXPECT_EQ(m_edit.GetLineLength(0), 5000);
    EXPECT_EQ(m_edit.GetLineLength(2), 200000);
    EXPECT_EQ(m_edit.GetMaxLineLength(), 200000);
    EXPECT_FALSE(m_edit.IsModified());
    EXPECT_TRUE(Saved() == bytes);

    // Editing within the long line keeps it whole too.
    m_edit.DeleteText(0, 10, 0, 20);
    m_edit.InsertText(0, 10, L"zzzzzzzzzz");
    EXPECT_EQ(m_edit.GetLineCount(), 3);
    EXPECT_TRUE(Saved() == bytes);

    m_edit.SetText(L"new");
    EXPECT_EQ(m_edit.GetMaxLineLength(), SECEdit::DefaultMaxLineLength) << "a new text starts from the usual maximum";
}

TEST_F(EditFile, MissingFileIsReportedAndLeavesTheText)
{
    m_edit.SetText(L"keep me");
    EXPECT_FALSE(m_edit.LoadFile(Wide(m_dir.File("missing.vbs"))));
    EXPECT_EQ(Text(), L"keep me");
    ASSERT_EQ(m_messages.texts.size(), 1u);
    EXPECT_NE(m_messages.texts[0].find(L"missing.vbs was not found."), std::wstring::npos);
}

TEST_F(EditFile, SaveToReadOnlyFileKeepsTheTextModified)
{
    const std::string path = m_dir.File("locked.vbs");
    WriteBytes(path, "old");
    ::chmod(path.c_str(), 0444);
    m_edit.SetText(L"new text");
    EXPECT_FALSE(m_edit.SaveFile(Wide(path)));
    EXPECT_TRUE(m_edit.IsModified());
    EXPECT_EQ(ReadBytes(path), "old");
    ASSERT_EQ(m_messages.texts.size(), 1u);
    EXPECT_EQ(m_messages.texts[0], L"The file '" + Wide(path).str() + L"' exists and is read-only. Please save to a different filename.");
}

TEST_F(EditFile, SavingThroughLinksKeepsThemAndWritesTheFileTheyName)
{
    WriteBytes(m_dir.File("real.vbs"), "old");
    std::filesystem::create_symlink("real.vbs", m_dir.File("link.vbs"));
    std::filesystem::create_hard_link(m_dir.File("real.vbs"), m_dir.File("second.vbs"));
    std::filesystem::create_symlink("fresh.vbs", m_dir.File("dangling.vbs"));
    m_edit.SetText(L"new");
    for (const char* saved : { "link.vbs", "dangling.vbs" }) {
        SCOPED_TRACE(saved);
        ASSERT_TRUE(m_edit.SaveFile(Wide(m_dir.File(saved))));
        EXPECT_TRUE(std::filesystem::is_symlink(m_dir.File(saved)));
    }
    const std::string text("\xFF\xFE" "n\0e\0w\0", 8);
    EXPECT_EQ(ReadBytes(m_dir.File("real.vbs")), text);
    EXPECT_EQ(ReadBytes(m_dir.File("second.vbs")), text) << "the other hard link names the saved text too";
    EXPECT_EQ(ReadBytes(m_dir.File("fresh.vbs")), text);
}

TEST_F(EditFile, SaveThatCannotCreateTheFileIsReported)
{
    m_edit.SetText(L"text");
    m_edit.SaveFile(Wide(m_dir.File("out.vbs")));
    m_edit.InsertText(0, 0, L"more ");
    EXPECT_FALSE(m_edit.SaveFile(Wide(m_dir.File("no/such/folder/out.vbs"))));
    EXPECT_TRUE(m_edit.IsModified());
    EXPECT_EQ(m_messages.texts.size(), 1u);

    std::filesystem::create_directory(m_dir.File("folder.vbs"));
    EXPECT_FALSE(m_edit.SaveFile(Wide(m_dir.File("folder.vbs"))));
    EXPECT_TRUE(m_edit.IsModified());
    EXPECT_EQ(m_messages.texts.size(), 2u);
    EXPECT_EQ(ReadBytes(m_dir.File("out.vbs")), std::string("\xFF\xFE" "t\0e\0x\0t\0", 10)) << "the saved file is untouched";
}

} // namespace
