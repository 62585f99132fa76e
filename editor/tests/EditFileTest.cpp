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

TEST_F(EditFile, NulCharactersAndAnOddLastByteLoadAsCharacters)
{
    ASSERT_TRUE(Load(std::string("\xFF\xFE" "a\0\0\0b\0c", 9)));
    EXPECT_EQ(Text(), L"a bc");
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

TEST_F(EditFile, Windows1252TextIsReadAndSavedAsUtf8)
{
    ASSERT_TRUE(Load("caf\xE9 \x80 \x93q\x94"));
    EXPECT_EQ(Text(), L"caf\u00E9 \u20AC \u201Cq\u201D");
    EXPECT_EQ(Saved(), "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D") << "nothing becomes a substitute";
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

TEST_F(EditFile, LoadBreaksLinesWiderThanTheMaximum)
{
    ASSERT_TRUE(Load(std::string(5000, 'z')));
    ASSERT_EQ(m_edit.GetLineCount(), 3);
    EXPECT_EQ(m_edit.GetLineLength(0), 2048);
    EXPECT_EQ(m_edit.GetLineLength(2), 5000 - 2 * 2048);
    EXPECT_TRUE(m_edit.IsModified()) << "the broken text differs from the file";
    EXPECT_EQ(m_edit.Undo(), nullptr);
    m_edit.InsertText(1, 0, L"x");
    m_edit.Undo();
    EXPECT_TRUE(m_edit.IsModified()) << "undoing an edit leads back to the broken text, not to the file";
}

TEST_F(EditFile, FileOfOneLongLineIsBrokenAtEveryMaximumWidth)
{
    const int length = 200000;
    std::string bytes(length, 'q');
    bytes[1000] = '\t';
    ASSERT_TRUE(Load(bytes));
    const int lines = m_edit.GetLineCount();
    EXPECT_EQ(lines, 98) << "200000 characters, the tab three columns wider than a letter";
    EXPECT_EQ(m_edit.GetLineLength(0), 2045);
    for (int line = 1; line + 1 < lines; ++line)
        ASSERT_EQ(m_edit.GetLineLength(line), 2048) << line;
    EXPECT_EQ(m_edit.GetLineLength(lines - 1), length - 2045 - (lines - 2) * 2048);
    EXPECT_EQ(m_edit.Undo(), nullptr);
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
