#include "editor/Edit.h"
#include "editor/LangConfigStorage.h"

#include "EditTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace edittest;

namespace {

int Group(const SECEditLangConfig& config, const wchar_t* word)
{
    USHORT group = 0xFFFF;
    return config.IsKeyword(word, static_cast<int>(std::wcslen(word)), group) ? group : -1;
}

TEST(LangConfig, IsMadeByItsClassName)
{
    CRuntimeClass* record = CRuntimeClass::FromName("SECEditLangConfig");
    ASSERT_NE(record, nullptr);
    std::unique_ptr<CObject> config(record->CreateObject());
    ASSERT_NE(config, nullptr);
    EXPECT_TRUE(config->IsKindOf(RUNTIME_CLASS(SECEditLangConfig)));
}

TEST(LangConfig, KeywordsFollowMatchCase)
{
    auto config = MakeTestLanguage();
    EXPECT_EQ(Group(*config, L"Dim"), 4);
    EXPECT_EQ(Group(*config, L"DIM"), 4);
    config->SetMatchCase(TRUE);
    EXPECT_EQ(Group(*config, L"DIM"), -1);
    EXPECT_EQ(Group(*config, L"Dim"), 4);
}

TEST(LangConfig, WordsBeginningWithADigitAreNumbers)
{
    auto config = MakeTestLanguage();
    EXPECT_EQ(Group(*config, L"42"), BuiltinNumber);
    EXPECT_EQ(Group(*config, L"2abc"), BuiltinNumber);
    EXPECT_EQ(Group(*config, L"abc2"), -1);
    EXPECT_EQ(Group(*config, L""), -1);
}

TEST(LangConfig, LaterTagWhoseBeginExtendsAnEarlierOneReplacesIt)
{
    SECEditLangConfig config;
    for (const wchar_t* begin : { L"'", L"''" }) {
        auto tag = std::make_unique<SECEditKeywordInfo>();
        tag->m_strBeginTag = begin;
        config.AddTag(std::move(tag));
    }
    std::vector<const SECEditKeywordInfo*> tags;
    config.GetTags(tags, TagAny);
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0]->m_strBeginTag, L"''");
    EXPECT_EQ(config.FindTag(L"'x", 2, 0, TagAny), nullptr);
    EXPECT_EQ(config.FindTag(L"''x", 3, 0, TagAny), tags[0]);
    EXPECT_EQ(config.FindTag(L"''x", 3, 0, TagMultiLine), nullptr);
    EXPECT_EQ(config.FindTag(L"''x", 3, 3, TagAny), nullptr) << "a word token must be the whole begin text";
}

TEST(LangConfig, CharacterClassesStopBelow65535)
{
    SECEditLangConfig config;
    config.SetCharClass(L"+\uFFFF", CharClassOperator, TRUE);
    EXPECT_TRUE(config.IsCharOfClass(L'+', CharClassOperator));
    for (int charClass = 0; charClass < 6; ++charClass)
        EXPECT_FALSE(config.IsCharOfClass(static_cast<wchar_t>(65535), charClass));
    EXPECT_FALSE(config.IsCharOfClass(L'+', 5));
    EXPECT_EQ(config.GetCharClass(CharClassOperator), L"+");
}

TEST(LangConfig, AnswersForItsInterfaces)
{
    SECEditLangConfig config;
    void* object = nullptr;
    EXPECT_TRUE(config.QueryGuid(IID_ISECEditLangConfig, &object));
    EXPECT_EQ(object, static_cast<ISECEditLangConfig*>(&config));
    EXPECT_FALSE(config.QueryGuid(divuzura::foundation::IID_IMessage, &object));
    EXPECT_EQ(object, nullptr);
}

TEST(LangConfig, NotifiesObserversButTheSender)
{
    struct Counter : IObserver {
        bool QueryGuid(GUID_REF, void** object) override { *object = nullptr; return false; }
        ULONG AddRef() override { return 1; }
        ULONG Release() override { return 1; }
        void OnUpdate(ISubject*, IMessage* message) override { codes.push_back(message->GetTypeID()); }
        std::vector<UINT> codes;
    } first, second;
    SECEditLangConfig config;
    config.AddObserver(&first);
    config.AddObserver(&second);
    config.SetCharClass(L"x", CharClassDelimiter, FALSE);
    EXPECT_EQ(first.codes, std::vector<UINT> { SECEDIT_INVALIDATE_COLORING });
    SECEditMsg message(SECEDIT_FONT_UPDATE);
    message.AddRef();
    config.Notify(&first, &message);
    EXPECT_EQ(first.codes.size(), 1u);
    EXPECT_EQ(second.codes.back(), static_cast<UINT>(SECEDIT_FONT_UPDATE));
}

class LangConfigStorage : public testing::Test {
protected:
    LangConfigStorage()
    {
        const char* previous = std::getenv("XDG_CONFIG_HOME");
        m_previousHome = previous ? previous : "";
        ::setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
        SetEditProfile(&m_profile);
    }
    ~LangConfigStorage() override
    {
        SetEditProfile(nullptr);
        if (m_previousHome.empty())
            ::unsetenv("XDG_CONFIG_HOME");
        else
            ::setenv("XDG_CONFIG_HOME", m_previousHome.c_str(), 1);
    }
    CString WriteIni(const std::string& text)
    {
        WriteBytes(m_dir.File("Lang.ini"), text);
        return Wide(m_dir.File("Lang.ini"));
    }

    TempDir m_dir;
    std::string m_previousHome;
    EditRegistryProfile m_profile { L"Software\\Formulon\\Tests" };
};

TEST_F(LangConfigStorage, IniFileFillsEverySection)
{
    const CString path = WriteIni(
        "[Editor]\nTabSize=8\nAutoIndent=1\nMatchCase=0\n"
        "[Font]\nFaceName=Courier New\nSize=12\nBold=1\n"
        "[ColorGroups]\nNumGroups=3\nGroup1=Text\nGroup2=Keyword\nGroup3=\n"
        "[Text]\nForeground=255,0,0\n"
        "[Keyword]\nDisplayName=Keywords\nForeground=0,0,255\nForeColorAutomatic=0\nConfigurable=1\n"
        "[Parser]\nOperators=+-\nDelimiters= +-\"\nNumTags=2\n"
        "[Tag1]\nColorGroup=Missing\nBeginTag=\"\nEndTag=\"\n"
        "[Tag2]\nColorGroup=Keyword\nBeginTag=/*\nEndTag=*/\nMultiLine=1\n"
        "[Keywords]\n  Dim  = Keyword \nIf=Keyword\nEmpty=\nNoGroup=Nowhere\n=Keyword\nplain\n");
    SECEditLangConfig config;
    SECEditLangConfigIniReader* reader = new SECEditLangConfigIniReader(path);
    EXPECT_TRUE(reader->Read(&config));
    reader->Release();

    EXPECT_EQ(config.GetTabSize(), 8);
    EXPECT_TRUE(config.GetAutoIndent());
    EXPECT_FALSE(config.GetMatchCase());
    EXPECT_EQ(config.GetFaceName(), L"Courier New");
    EXPECT_EQ(config.GetSize(), 12);
    EXPECT_TRUE(config.GetBold());

    EXPECT_EQ(config.GetColorGroupCount(), 5) << "Text is replaced, Keyword added, the empty entry skipped";
    const SECEditColorGroup* text = config.GetBuiltinColorGroup(BuiltinText);
    EXPECT_EQ(text->m_foreground, RGB(255, 0, 0));
    EXPECT_FALSE(text->m_bForeAutomatic);
    EXPECT_TRUE(text->m_bBackAutomatic);
    EXPECT_EQ(text->m_background, RGB(255, 255, 255));
    const int keyword = config.FindColorGroup(L"Keyword");
    EXPECT_EQ(config.GetColorGroup(keyword)->m_strDisplayName, L"Keywords");

    EXPECT_EQ(Group(config, L"Dim"), keyword);
    EXPECT_EQ(Group(config, L"if"), keyword);
    EXPECT_EQ(Group(config, L"Empty"), -1);
    EXPECT_EQ(Group(config, L"NoGroup"), -1);
    EXPECT_EQ(config.GetKeywordTable().size(), 2u);

    EXPECT_TRUE(config.IsCharOfClass(L'+', CharClassOperator));
    EXPECT_TRUE(config.IsCharOfClass(L'"', CharClassDelimiter));
    const SECEditKeywordInfo* string = config.FindTag(L"\"x\"", 3, 0, TagAny);
    ASSERT_NE(string, nullptr);
    EXPECT_EQ(string->m_nColorGroup, 0) << "a missing group gives group 0";
    const SECEditKeywordInfo* comment = config.FindTag(L"/* x", 4, 0, TagMultiLine);
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->m_nColorGroup, keyword);
}

TEST_F(LangConfigStorage, ImpossibleCountsInTheFileAreBounded)
{
    const CString path = WriteIni("[ColorGroups]\nNumGroups=2000000000\nGroup1=Keyword\n[Keyword]\nForeground=0,0,255\n"
                                  "[Parser]\nNumTags=2000000000\n[Tag1]\nBeginTag='\n");
    SECEditLangConfig config;
    SECEditLangConfigIniReader* reader = new SECEditLangConfigIniReader(path);
    EXPECT_TRUE(reader->Read(&config)); // returns at once instead of reading two billion entries
    reader->Release();
    EXPECT_EQ(config.GetColorGroupCount(), 5);
    EXPECT_NE(config.FindTag(L"'", 1, 0, TagAny), nullptr);
}

TEST_F(LangConfigStorage, KeywordsPastTheListBufferAreNotRead)
{
    // The list buffer of 32,760 characters holds 2,183 whole entries "Knnnnn=Keyword" and the
    // start of the next, "K02183=Keywor", which names no group.
    std::string text = "[ColorGroups]\nNumGroups=1\nGroup1=Keyword\n[Keywords]\n";
    for (int i = 0; i < 3000; ++i) {
        char entry[32];
        std::snprintf(entry, sizeof entry, "K%05d=Keyword\n", i);
        text += entry;
    }
    SECEditLangConfig config;
    SECEditLangConfigIniReader* reader = new SECEditLangConfigIniReader(WriteIni(text));
    EXPECT_TRUE(reader->Read(&config));
    reader->Release();
    EXPECT_EQ(Group(config, L"K02182"), config.FindColorGroup(L"Keyword"));
    EXPECT_EQ(Group(config, L"K02183"), -1);
    EXPECT_EQ(config.GetKeywordTable().size(), 2183u);
}

TEST_F(LangConfigStorage, NumbersOutsideWhatTheEditorDrawsAreBounded)
{
    const struct {
        const char* text;
        int tabSize, fontSize;
    } cases[] = {
        { "[Editor]\nTabSize=2147483647\n[Font]\nSize=2147483647\n", SECEditLangConfig::MaxTabSize, SECEditLangConfig::MaxFontSize },
        { "[Editor]\nTabSize=-5\n[Font]\nSize=-2147483648\n", 1, 1 },
        { "[Editor]\nTabSize=0\n[Font]\nSize=0\n", 1, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        SECEditLangConfig config;
        SECEditLangConfigIniReader* reader = new SECEditLangConfigIniReader(WriteIni(c.text));
        EXPECT_TRUE(reader->Read(&config));
        reader->Release();
        EXPECT_EQ(config.GetTabSize(), c.tabSize);
        EXPECT_EQ(config.GetSize(), c.fontSize);
    }
}

TEST_F(LangConfigStorage, MissingIniFileGivesTheDefaults)
{
    SECEditLangConfig config;
    config.SetTabSize(2);
    SECEditLangConfigIniReader* reader = new SECEditLangConfigIniReader(Wide(m_dir.File("none.ini")));
    EXPECT_TRUE(reader->Read(&config));
    reader->Release();
    EXPECT_EQ(config.GetTabSize(), 4);
    EXPECT_TRUE(config.GetMatchCase());
    EXPECT_EQ(config.GetFaceName(), L"Courier");
    EXPECT_EQ(config.GetColorGroupCount(), 4);
}

TEST_F(LangConfigStorage, RegistryOverridesTheIniFileAndRoundTrips)
{
    const CString path = WriteIni("[ColorGroups]\nNumGroups=1\nGroup1=Text\n[Text]\nForeground=255,0,0\n[Font]\nFaceName=Mono\n");
    {
        SECEditLangConfig saved;
        saved.SetFaceName(L"Saved Face");
        saved.SetTabSize(3);
        saved.GetBuiltinColorGroup(BuiltinText)->m_foreground = RGB(0, 128, 0);
        SECEditLangConfigRegWriter* writer = new SECEditLangConfigRegWriter(L"Lang\\");
        EXPECT_TRUE(writer->Write(&saved));
        writer->Release();
    }
    EXPECT_EQ(m_profile.GetProfileString(L"Lang\\Font", L"Facename", L""), L"Saved Face") << "one backslash, and Facename as the key";

    SECEditLangConfig config;
    SECEditLangConfig::Reader* reader = SECEditLangConfigCompositeReader::Create(path, L"Lang");
    EXPECT_TRUE(reader->Read(&config));
    reader->Release();
    EXPECT_EQ(config.GetBuiltinColorGroup(BuiltinText)->m_foreground, RGB(0, 128, 0));
    EXPECT_EQ(config.GetFaceName(), L"Saved Face");
    EXPECT_EQ(config.GetTabSize(), 3);
}

TEST_F(LangConfigStorage, WriterWithoutAnApplicationProfileWritesNothing)
{
    SetEditProfile(nullptr);
    SECEditLangConfig config;
    SECEditLangConfigRegWriter* writer = new SECEditLangConfigRegWriter(L"Lang");
    EXPECT_TRUE(writer->Write(&config));
    EXPECT_FALSE(writer->WriteColorGroups(&config));
    writer->Release();
}

TEST_F(LangConfigStorage, ManagerReadsALanguageOnce)
{
    struct CountingReader : SECEditLangConfigRefCounted<SECEditLangConfig::Reader> {
        explicit CountingReader(int* reads) : reads(reads) {}
        BOOL Read(SECEditLangConfig* config) override
        {
            ++*reads;
            config->SetTabSize(7);
            return FALSE; // a failed read still stores what was read
        }
        int* reads;
    };
    int reads = 0;
    auto* reader = new CountingReader(&reads);
    SECEditLangConfig::RegisterLanguage(L"Counted", reader, nullptr);
    reader->Release();
    SECEditLangConfig* first = SECEditLangConfig::GetConfig(L"Counted");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(SECEditLangConfig::GetConfig(L"Counted"), first);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(first->GetTabSize(), 7);
    EXPECT_EQ(first->GetName(), L"Counted");
    EXPECT_EQ(SECEditLangConfig::GetConfig(L"Never registered"), nullptr);
    EXPECT_NE(SECEditLangConfig::GetConfig(L"Default"), nullptr);

    SECEdit edit;
    EXPECT_FALSE(edit.SetLanguage(L"Never registered"));
    EXPECT_TRUE(edit.InitializeContent(L"Counted"));
    EXPECT_EQ(edit.GetLangConfig(), first);
    EXPECT_EQ(edit.GetFontInfo()->m_strFaceName, L"Courier");
}

} // namespace
