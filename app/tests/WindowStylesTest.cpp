// res/WindowStyles.h, the style words of the resource scripts, against the values the windows
// read them with: a word the scripts use means what the code means by it.

#include "platform/base/MessageBox.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/user/WinUser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace {

TEST(WindowStyles, TheResourceScriptsWordsHaveTheWindowsValues)
{
    const std::map<std::string, long long> expected {
        { "WS_TABSTOP", WS_TABSTOP }, { "WS_GROUP", WS_GROUP }, { "WS_SYSMENU", WS_SYSMENU },
        { "WS_VSCROLL", WS_VSCROLL }, { "WS_CAPTION", WS_CAPTION }, { "WS_CLIPSIBLINGS", WS_CLIPSIBLINGS },
        { "WS_DISABLED", WS_DISABLED }, { "WS_VISIBLE", WS_VISIBLE }, { "WS_CHILD", WS_CHILD },
        { "WS_POPUP", WS_POPUP }, { "DS_SETFONT", DS_SETFONT }, { "DS_MODALFRAME", DS_MODALFRAME },
        { "DS_CONTROL", DS_CONTROL }, { "DS_CENTER", DS_CENTER }, { "BS_AUTOCHECKBOX", BS_AUTOCHECKBOX },
        { "BS_AUTORADIOBUTTON", BS_AUTORADIOBUTTON }, { "BS_OWNERDRAW", BS_OWNERDRAW }, { "BS_RIGHT", BS_RIGHT },
        { "BS_PUSHLIKE", BS_PUSHLIKE }, { "ES_MULTILINE", ES_MULTILINE }, { "ES_AUTOVSCROLL", ES_AUTOVSCROLL },
        { "ES_AUTOHSCROLL", ES_AUTOHSCROLL }, { "ES_READONLY", ES_READONLY }, { "ES_NUMBER", ES_NUMBER },
        { "SS_NOPREFIX", SS_NOPREFIX }, { "SS_NOTIFY", SS_NOTIFY }, { "SS_CENTERIMAGE", SS_CENTERIMAGE },
        { "SS_SUNKEN", SS_SUNKEN }, { "LBS_NOTIFY", LBS_NOTIFY }, { "LBS_NOINTEGRALHEIGHT", LBS_NOINTEGRALHEIGHT },
        { "CBS_SIMPLE", CBS_SIMPLE }, { "CBS_DROPDOWN", CBS_DROPDOWN }, { "CBS_DROPDOWNLIST", CBS_DROPDOWNLIST },
        { "CBS_AUTOHSCROLL", CBS_AUTOHSCROLL }, { "UDS_SETBUDDYINT", UDS_SETBUDDYINT },
        { "UDS_ALIGNRIGHT", UDS_ALIGNRIGHT }, { "UDS_ARROWKEYS", UDS_ARROWKEYS }, { "IDOK", IDOK },
        { "IDCANCEL", IDCANCEL }, { "IDC_STATIC", -1 },  // the id of the controls no code asks for
    };
    std::ifstream header(std::filesystem::path(FLN_TEST_DATA_DIR) / ".." / ".." / ".." / "res" / "WindowStyles.h");
    ASSERT_TRUE(header.is_open());
    const std::regex define(R"(#define\s+(\w+)\s+(-?(?:0x[0-9A-Fa-f]+|\d+))L?\s*)");
    std::map<std::string, long long> defined;
    for (std::string line; std::getline(header, line);) {
        std::smatch match;
        if (std::regex_match(line, match, define))
            defined[match[1]] = std::stoll(match[2], nullptr, 0);
    }
    for (const auto& [name, value] : expected) {
        const auto found = defined.find(name);
        if (found == defined.end())
            ADD_FAILURE() << name << " is not defined";
        else
            EXPECT_EQ(found->second, value) << name;
    }
    for (const auto& [name, value] : defined)
        EXPECT_TRUE(expected.contains(name)) << name << " has no value to be checked against here";
}

} // namespace
