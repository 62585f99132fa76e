#include "app/IniFile.h"

#include "platform/sys/PrivateProfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

class IniFile : public testing::Test {
protected:
    IniFile()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "fln-ini-XXXXXX").string();
        m_dir = ::mkdtemp(pattern.data());
    }
    ~IniFile() override { std::filesystem::remove_all(m_dir); }

    CString Path(const char* name) const { return CString((m_dir + "/" + name).c_str()); }
    std::string Read(const char* name) const
    {
        std::ifstream in(m_dir + "/" + name, std::ios::binary);
        return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    }
    void Write(const char* name, const std::string& text) const { std::ofstream(m_dir + "/" + name, std::ios::binary) << text; }

    std::string m_dir;
};

TEST_F(IniFile, FileNamesAreStoredInTheirWrittenForm)
{
    CIniFile ini;
    struct Case {
        const wchar_t* path;
        const wchar_t* stored;
    };
    const Case cases[] = {
        { L"", L"c:\\dummy.ini" },
        { L"D:\\\\x\\\\y.ini", L"D:\\\\x\\\\y.ini" },
        { L"D:\\x\\y.ini", L"D:\\\\x\\\\y.ini" },
        { L"y.ini", L"D:\\\\x\\\\y.ini" },
        { L"/home/u/a.fm", L"/home/u/a.fm" },
        { L"/home/u/dir\\a.fm", L"/home/u/dir\\a.fm" },
    };
    for (const Case& c : cases) {
        ini.SetFileName(c.path);
        EXPECT_EQ(ini.GetFileName(), c.stored) << CString(c.path).ToUtf8();
    }
}

TEST_F(IniFile, LoadWithoutAPathReadsNothing)
{
    CIniFile ini;
    EXPECT_EQ(ini.Load(), 0);
    EXPECT_TRUE(ini.GetSections().empty());
}

TEST_F(IniFile, ReadsLinesAtTheirFirstEqualsSign)
{
    Write("a.ini", "[Info]\nfirst=b=c\nabc\nk=\nSpeed= 42x\nword=x\n");
    CIniFile ini;
    ini.SetFileName(Path("a.ini"));
    EXPECT_GT(ini.Load(), 0);
    EXPECT_EQ(ini.GetValue(L"INFO", L"First"), L"b=c");
    EXPECT_EQ(ini.GetValue(L"info", L""), L"abc") << "a line without an equals sign has an empty key";
    EXPECT_EQ(ini.GetInt(L"Info", L"k", 7), 7);
    EXPECT_EQ(ini.GetString(L"Info", L"k", L"none"), L"none");
    EXPECT_EQ(ini.GetInt(L"Info", L"SPEED", 0), 42);
    EXPECT_EQ(ini.GetInt(L"Info", L"word", 5), 0);
    EXPECT_EQ(ini.GetValue(L"Missing", L"k"), L"");
    EXPECT_FALSE(ini.IsModified());
}

// A line longer than the reader keeps is cut to it, and the lines after it are read as they are.
TEST_F(IniFile, ALongLineIsCutToTheLongestLineAndTheRestIsRead)
{
    std::string formula;
    for (int i = 0; i < 9999; ++i)
        formula += "0+";
    formula += "sin(x)";
    Write("long.ini", "[TAB_FORMEL]\nf(x)=" + formula + "\nafter=1\n[CONSTANTS]\nA=2.5\n");
    CIniFile ini;
    ini.SetFileName(Path("long.ini"));
    EXPECT_GT(ini.Load(), 0);
    const size_t kept = kLongestProfileLine - std::string("f(x)=").size();
    EXPECT_EQ(ini.GetValue(L"TAB_FORMEL", L"f(x)"), CString(formula.substr(0, kept).c_str()));
    EXPECT_EQ(ini.GetInt(L"TAB_FORMEL", L"after", 0), 1);
    EXPECT_EQ(ini.GetValue(L"CONSTANTS", L"A"), L"2.5");
}

TEST_F(IniFile, WritesOwnSectionsAndKeepsTheOthers)
{
    Write("a.fm", "[OTHER]\nkeep=yes\n[INFO]\nold=1\n");
    {
        CIniFile ini;
        ini.RemoveAll();
        ini.SetFileName(Path("a.fm"));
        ini.SetInt(L"INFO", L"Count", -5);
        ini.SetBool(L"CHECKS", L"Verify", true);
        ini.SetBool(L"CHECKS", L"Other", false);
        ini.SetString(L"info", L"Name", L"x = y");
        EXPECT_TRUE(ini.IsModified());
        ini.Flush();
        EXPECT_FALSE(ini.IsModified());
    }
    wchar_t value[64] = {};
    const std::wstring file = Path("a.fm").str();
    GetPrivateProfileStringW(L"OTHER", L"keep", L"", value, 64, file.c_str());
    EXPECT_STREQ(value, L"yes");
    GetPrivateProfileStringW(L"INFO", L"old", L"gone", value, 64, file.c_str());
    EXPECT_STREQ(value, L"gone") << "the section is replaced as a whole";
    EXPECT_EQ(GetPrivateProfileIntW(L"INFO", L"Count", 0, file.c_str()), static_cast<UINT>(-5));
    GetPrivateProfileStringW(L"CHECKS", L"Other", L"", value, 64, file.c_str());
    EXPECT_STREQ(value, L"0");

    CIniFile back;
    back.SetFileName(Path("a.fm"));
    ASSERT_GT(back.Load(), 0);
    EXPECT_EQ(back.GetString(L"INFO", L"Name", L""), L"x = y");
    EXPECT_EQ(back.GetInt(L"CHECKS", L"Verify", 0), 1);
}

TEST_F(IniFile, SettingAKeyTwiceKeepsTheLatestValue)
{
    CIniFile ini;
    ini.SetString(L"S", L"Key", L"one");
    ini.SetString(L"s", L"KEY", L"two");
    EXPECT_EQ(ini.GetValue(L"S", L"key"), L"two");
    EXPECT_EQ(ini.GetSections().size(), 1u);
    EXPECT_EQ(ini.GetSections()[0].keys.size(), 1u);
}

TEST_F(IniFile, DestructorWritesOnlyWhatIsUnwritten)
{
    {
        CIniFile ini;
        ini.SetFileName(Path("d.ini"));
        ini.SetString(L"S", L"a", L"1");
    }
    EXPECT_NE(Read("d.ini").find("a=1"), std::string::npos);
    Write("d.ini", "[S]\na=changed\n");
    {
        CIniFile ini;
        ini.SetFileName(Path("d.ini"));
        ini.SetString(L"S", L"a", L"2");
        ini.Flush();
        Write("d.ini", "[S]\na=outside\n");
    }
    EXPECT_NE(Read("d.ini").find("a=outside"), std::string::npos) << "a flushed mirror writes nothing more";
}

TEST_F(IniFile, AFailedSectionFailsTheWriteAndTheMirrorStaysModified)
{
    // A section name with "]" cannot be written; where it stands must not matter.
    const wchar_t* const orders[][2] = { { L"Bad]Name", L"Good" }, { L"Good", L"Bad]Name" } };
    for (const auto& order : orders) {
        SCOPED_TRACE(CString(order[0]).ToUtf8());
        std::filesystem::remove(m_dir + "/f.ini");
        CIniFile ini;
        ini.SetFileName(Path("f.ini"));
        for (const wchar_t* section : order) ini.SetString(section, L"k", L"v");
        EXPECT_FALSE(ini.WriteFile());
        EXPECT_TRUE(ini.IsModified());
        EXPECT_EQ(Read("f.ini"), "[Good]\nk=v\n") << "the sections that can be written are";
    }
}

TEST_F(IniFile, EscapeBackslashDoublesEachOne)
{
    EXPECT_EQ(CIniFile::EscapeBackslash(L"a\\b\\\\c"), L"a\\\\b\\\\\\\\c");
    EXPECT_EQ(CIniFile::EscapeBackslash(L""), L"");
}

} // namespace
