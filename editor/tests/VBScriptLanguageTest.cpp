// The VBScript language file as the program registers it at start-up: an INI reader on the file
// beside the program, then the user's registry settings.

#include "editor/Edit.h"
#include "editor/LangConfigStorage.h"
#include "platform/script/VbsInterpreter.h"

#include "EditTestSupport.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <filesystem>

using namespace edittest;

namespace {

CString LanguageFile()
{
    const std::filesystem::path source = std::filesystem::path(FLN_TEST_DATA_DIR) / ".." / ".." / ".." / "res" / "VBScript.ini";
    return CString(std::filesystem::weakly_canonical(source).string().c_str());
}

class VBScriptLanguage : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ::setenv("XDG_CONFIG_HOME", s_home.Path().c_str(), 1);
        SECEditLangConfig::Reader* reader = SECEditLangConfigCompositeReader::Create(LanguageFile(), L"VBScript");
        SECEditLangConfig::Writer* writer = new SECEditLangConfigRegWriter(L"VBScript");
        SECEditLangConfig::RegisterLanguage(L"VBScript", reader, writer);
        reader->Release();
        writer->Release();
    }

    int GroupOf(const SECEditLangConfig& config, const wchar_t* name) { return config.FindColorGroup(name); }

    static inline TempDir s_home;
};

TEST_F(VBScriptLanguage, FileDescribesTheLanguage)
{
    SECEditLangConfig* config = SECEditLangConfig::GetConfig(L"VBScript");
    ASSERT_NE(config, nullptr);
    EXPECT_FALSE(config->GetMatchCase()) << "VBScript ignores case";
    EXPECT_EQ(config->GetTabSize(), 4);
    EXPECT_EQ(config->GetFaceName(), L"Courier New");
    EXPECT_EQ(config->GetColorGroup(GroupOf(*config, L"Keyword"))->m_foreground, RGB(0, 0, 255));
    EXPECT_EQ(config->GetBuiltinColorGroupIndex(BuiltinNumber), GroupOf(*config, L"Number"));
    USHORT group = 0;
    EXPECT_TRUE(config->IsKeyword(L"function", 8, group));
    EXPECT_EQ(group, GroupOf(*config, L"Keyword"));
    EXPECT_TRUE(config->IsKeyword(L"MSGBOX", 6, group));
    EXPECT_EQ(group, GroupOf(*config, L"Function"));
    EXPECT_TRUE(config->IsKeyword(L"vbCrLf", 6, group));
    EXPECT_EQ(group, GroupOf(*config, L"Constant"));
    EXPECT_GT(config->GetKeywordTable().size(), 200u);
}

TEST_F(VBScriptLanguage, ColoursAScript)
{
    SECEdit edit;
    ASSERT_TRUE(edit.InitializeContent(L"VBScript"));
    SECEditLangConfig* config = SECEditLangConfig::GetConfig(L"VBScript");
    edit.SetText(L"Option Explicit\r\nDim s : s = \"it's\" & 42 ' note\r\nREM all of it\r\nRemark = Len(s)");

    auto groups = [&](int line) {
        std::vector<std::pair<int, int>> runs;
        for (const SECEditTextColor& run : *edit.GetLineColor(line))
            runs.emplace_back(run.m_nLength, run.m_nColorGroup);
        return runs;
    };
    const int keyword = GroupOf(*config, L"Keyword"), function = GroupOf(*config, L"Function");
    const int comment = GroupOf(*config, L"Comment"), string = GroupOf(*config, L"String");
    const int number = GroupOf(*config, L"Number"), op = GroupOf(*config, L"Operator"), text = GroupOf(*config, L"Text");

    EXPECT_EQ(groups(0), (std::vector<std::pair<int, int>> { { 6, keyword }, { 1, text }, { 8, keyword } }));
    EXPECT_EQ(groups(1), (std::vector<std::pair<int, int>> {
                             { 3, keyword }, { 3, text }, { 1, op }, { 3, text }, { 1, op }, { 1, text }, { 6, string },
                             { 1, text }, { 1, op }, { 1, text }, { 2, number }, { 1, text }, { 6, comment } }));
    EXPECT_EQ(groups(2), (std::vector<std::pair<int, int>> { { 13, comment } }));
    const auto last = groups(3);
    ASSERT_GE(last.size(), 4u);
    EXPECT_EQ(last[0], std::make_pair(7, text)) << "REM starts a comment only as a word of its own";
    EXPECT_EQ(last[3], std::make_pair(3, function));
}

// The file colours every function and constant the script engine knows, and names no other as one.
TEST_F(VBScriptLanguage, ColoursExactlyTheEnginesBuiltins)
{
    SECEditLangConfig* config = SECEditLangConfig::GetConfig(L"VBScript");
    ASSERT_NE(config, nullptr);
    const int function = GroupOf(*config, L"Function"), constant = GroupOf(*config, L"Constant");
    auto groupOf = [&](const std::wstring& name) {
        USHORT group = 0;
        return config->IsKeyword(name.c_str(), static_cast<int>(name.size()), group) ? int(group) : -1;
    };
    for (const auto& [name, builtin] : vbs::BuiltinFunctions())
        EXPECT_EQ(groupOf(name), function) << "the engine's function " << name;
    for (const auto& [name, value] : vbs::BuiltinConstants())
        EXPECT_EQ(groupOf(name), constant) << "the engine's constant " << name;

    for (const auto& [name, group] : config->GetKeywordTable()) {
        std::wstring lower = name;
        for (wchar_t& c : lower)
            c = static_cast<wchar_t>(std::towlower(c));
        if (group == function) {
            EXPECT_NE(vbs::FindBuiltin(lower), nullptr) << "the file's function " << name;
        } else if (group == constant) {
            EXPECT_NE(vbs::FindBuiltinConstant(lower), nullptr) << "the file's constant " << name;
        }
    }
}

} // namespace
