#include "editor/Edit.h"

#include "EditTestSupport.h"
#include "platform/base/Archive.h"

#include <gtest/gtest.h>

using namespace edittest;

namespace {

// Stores with one archive and loads with another through a file of the temporary folder.
template <typename Store, typename Load>
void RoundTrip(const TempDir& dir, Store store, Load load)
{
    const CString path = Wide(dir.File("archive.bin"));
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        CArchive archive(&file, CArchive::store);
        store(archive);
        archive.Close();
    }
    CFile file(path, CFile::modeRead);
    CArchive archive(&file, CArchive::load);
    load(archive);
}

TEST(EditArchive, LanguageConfigurationRoundTrips)
{
    TempDir dir;
    auto original = MakeTestLanguage();
    original->SetTabSize(6);
    original->SetFaceName(L"Mono");
    original->SetBold(TRUE);
    original->GetColorGroup(original->FindColorGroup(L"Keyword"))->m_foreground = RGB(1, 2, 3);
    SECEditLangConfig copy;
    RoundTrip(dir, [&](CArchive& a) { original->Serialize(a); }, [&](CArchive& a) { copy.Serialize(a); });

    EXPECT_EQ(copy.GetTabSize(), 6);
    EXPECT_EQ(copy.GetFaceName(), L"Mono");
    EXPECT_TRUE(copy.GetBold());
    EXPECT_FALSE(copy.GetMatchCase());
    ASSERT_EQ(copy.GetColorGroupCount(), original->GetColorGroupCount());
    const int keyword = copy.FindColorGroup(L"Keyword");
    EXPECT_EQ(keyword, original->FindColorGroup(L"Keyword"));
    EXPECT_EQ(copy.GetColorGroup(keyword)->m_foreground, RGB(1, 2, 3));
    EXPECT_EQ(copy.GetColorGroup(keyword)->m_strDisplayName, L"Keyword");
    USHORT group = 0;
    EXPECT_TRUE(copy.IsKeyword(L"then", 4, group)) << "the lower-case table is rebuilt";
    EXPECT_EQ(group, keyword);
    for (int charClass = 0; charClass < 5; ++charClass)
        EXPECT_EQ(copy.GetCharClass(charClass), original->GetCharClass(charClass)) << charClass;
    const SECEditKeywordInfo* comment = copy.FindTag(L"{ x", 3, 0, TagMultiLine);
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->m_strEndTag, L"}");
    EXPECT_EQ(comment->m_nColorGroup, copy.FindColorGroup(L"Comment"));
    const SECEditKeywordInfo* string = copy.FindTag(L"\"x", 2, 0, TagSingleLine);
    ASSERT_NE(string, nullptr);
    EXPECT_EQ(string->m_strEscapeChar, L"\\");
    EXPECT_EQ(copy.GetTagTable().size(), original->GetTagTable().size());
}

TEST(EditArchive, ModelStoresItsTextAndLanguage)
{
    TempDir dir;
    SECEdit original;
    original.InitializeContent(L"Default");
    original.SetText(L"line one\r\nline two");
    original.InsertText(0, 0, L"x");
    SECEdit copy;
    RoundTrip(dir, [&](CArchive& a) { original.Serialize(a); }, [&](CArchive& a) { copy.Serialize(a); });

    CString text;
    copy.GetAllText(text);
    EXPECT_EQ(text, L"xline one\r\nline two");
    EXPECT_FALSE(copy.IsModified());
    EXPECT_EQ(copy.Undo(), nullptr);
    EXPECT_EQ(copy.GetLangConfig()->GetName(), L"Default");
    copy.InsertText(0, 0, L"y");
    copy.Undo();
    EXPECT_FALSE(copy.IsModified()) << "back at the stored text";
}

TEST(EditArchive, TruncatedArchiveThrowsAndChangesNothing)
{
    TempDir dir;
    auto original = MakeTestLanguage();
    const CString path = Wide(dir.File("short.bin"));
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        CArchive archive(&file, CArchive::store);
        original->Serialize(archive);
        archive.Close();
        file.SetLength(60);
    }
    auto copy = MakeTestLanguage();
    copy->SetTabSize(9);
    CFile file(path, CFile::modeRead);
    CArchive archive(&file, CArchive::load);
    try {
        copy->Serialize(archive);
        FAIL() << "a cut archive must not load";
    } catch (CArchiveException* error) {
        error->Delete();
    }
    EXPECT_EQ(copy->GetTabSize(), 9);
    EXPECT_EQ(copy->GetColorGroupCount(), original->GetColorGroupCount());
    USHORT group = 0;
    EXPECT_TRUE(copy->IsKeyword(L"Dim", 3, group));
}

} // namespace
