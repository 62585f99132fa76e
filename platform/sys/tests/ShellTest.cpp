#include "platform/sys/Shell.h"

#include "platform/base/CString.h"
#include "platform/base/tests/WaitUntil.h"
#include "platform/base/ErrorCodes.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

namespace fs = std::filesystem;

namespace {

INT_PTR Open(LPCWSTR file, LPCWSTR directory = nullptr, LPCWSTR verb = L"open")
{
    return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, verb, file, nullptr, directory, 1));
}

// A folder with a file whose name holds blanks, quotes and a command separator.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TempSettingsFolder::WriteAll(awkward, "x");
        fs::create_directories(temp.root() + "/sub folder");
        TempSettingsFolder::WriteAll(temp.root() + "/-h", "x");
    }

    TempSettingsFolder temp;
    std::string awkward = temp.root() + "/a b 'c' \"d\"; rm -rf ~.txt";
};

TEST_F(ShellTest, EachTargetReachesTheOpenerAsOneArgument)
{
    std::vector<std::vector<std::string>> launched;
    auto previous = SetShellLauncher([&](const std::vector<std::string>& arguments) {
        launched.push_back(arguments);
        return true;
    });
    std::wstring root = NarrowToWide(temp.root());
    struct Case {
        std::wstring file;
        const wchar_t* directory;
        std::string expected;
    };
    const Case cases[] = {
        { L"https://example.org/a b?q=\"x\";y", nullptr, "https://example.org/a b?q=\"x\";y" },
        { L"mailto:someone@example.org?subject=Hi; there", nullptr, "mailto:someone@example.org?subject=Hi; there" },
        { L"FILE:///tmp/x", nullptr, "FILE:///tmp/x" },
        { NarrowToWide(awkward), nullptr, awkward },
        { L"a b 'c' \"d\"; rm -rf ~.txt", root.c_str(), awkward },
        { L"sub folder\\..\\sub folder", root.c_str(), temp.root() + "/sub folder" },
        { L"-h", root.c_str(), temp.root() + "/-h" },  // never taken for an option
        { L"www.example.org/r\u00e9sum\u00e9", root.c_str(), "http://www.example.org/r\xC3\xA9sum\xC3\xA9" },
    };
    for (const Case& c : cases)
        EXPECT_GT(Open(c.file.c_str(), c.directory), 32) << WideToUtf8(c.file);
    ASSERT_EQ(launched.size(), std::size(cases));
    for (size_t i = 0; i < launched.size(); ++i)
        EXPECT_EQ(launched[i], (std::vector<std::string> { "xdg-open", cases[i].expected })) << i;
    SetShellLauncher(std::move(previous));
}

TEST_F(ShellTest, WhatCannotBeOpenedIsReportedWithItsCode)
{
    int launches = 0;
    auto previous = SetShellLauncher([&](const std::vector<std::string>&) { return ++launches, true; });
    std::wstring root = NarrowToWide(temp.root());
    struct Case {
        const wchar_t* verb;
        std::wstring file;
        INT_PTR expected;
    };
    const Case cases[] = {
        { L"print", NarrowToWide(awkward), SE_ERR_NOASSOC },
        { L"open", L"", SE_ERR_NOASSOC },
        { L"open", root + L"/missing.txt", SE_ERR_FNF },
        { L"open", root + L"/missing folder/x.txt", SE_ERR_PNF },
        { L"open", L"C:\\Program Files\\x.txt", SE_ERR_PNF },  // a drive letter is no scheme
    };
    for (const Case& c : cases)
        EXPECT_EQ(Open(c.file.c_str(), nullptr, c.verb), c.expected) << WideToUtf8(c.file);
    EXPECT_EQ(Open(nullptr), SE_ERR_NOASSOC);
    EXPECT_EQ(launches, 0);

    SetShellLauncher([](const std::vector<std::string>&) { return false; });
    EXPECT_EQ(Open(L"https://example.org"), SE_ERR_FNF);
    SetShellLauncher(std::move(previous));
}

TEST_F(ShellTest, TheRealOpenerGetsTheTargetUntouched)
{
    // A stand-in opener on PATH writes the arguments it got, each ended by a NUL, then renames the
    // file into place so that the test never reads it half written.
    std::string bin = temp.root() + "/bin";
    std::string record = temp.root() + "/arguments";
    TempSettingsFolder::WriteAll(bin + "/xdg-open",
                                 "#!/bin/sh\nprintf '%s\\0' \"$#\" \"$@\" > \"$FLN_OPENER_RECORD.part\" && "
                                 "mv \"$FLN_OPENER_RECORD.part\" \"$FLN_OPENER_RECORD\"\n");
    ::chmod((bin + "/xdg-open").c_str(), 0755);
    ScopedEnv path("PATH", bin + ":/usr/bin:/bin");
    ScopedEnv recordTo("FLN_OPENER_RECORD", record);
    auto previous = SetShellLauncher({});

    ASSERT_GT(Open(NarrowToWide(awkward).c_str()), 32);
    WaitUntil([&] { return fs::exists(record); });
    EXPECT_EQ(TempSettingsFolder::ReadAll(record), std::string("1\0", 2) + awkward + std::string(1, '\0'));

    ScopedEnv nowhere("PATH", temp.root() + "/empty");
    EXPECT_EQ(Open(NarrowToWide(awkward).c_str()), SE_ERR_FNF);  // no opener installed
    SetShellLauncher(std::move(previous));
}

TEST(Shell, StartProgramPassesItsArgumentsAsTheyAre)
{
    std::vector<std::vector<std::string>> started;
    auto previous = SetShellLauncher([&](const std::vector<std::string>& arguments) {
        started.push_back(arguments);
        return true;
    });
    const std::vector<std::string> arguments { "browser", "--new-window", "a b; rm -rf ~" };
    EXPECT_TRUE(StartProgram(arguments));
    EXPECT_FALSE(StartProgram({}));
    EXPECT_FALSE(StartProgram({ "" }));
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], arguments);
    SetShellLauncher({});
    EXPECT_FALSE(StartProgram({ "/no/such/program-here" }));
    SetShellLauncher(std::move(previous));
}

TEST(Shell, AddressesWithoutSchemeGetTheLikelyOne)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        { L"  www.example.org/x  ", L"http://www.example.org/x" },
        { L"example.org", L"http://example.org" },
        { L"ftp.example.org/pub", L"ftp://ftp.example.org/pub" },
        { L"someone@example.org", L"mailto:someone@example.org" },
        { L"https://example.org/@me", L"https://example.org/@me" },
        { L"example.org/@me", L"http://example.org/@me" },
        { L"mailto:a@b.c", L"mailto:a@b.c" },
        { L" ", L"" },
    };
    for (auto [url, expected] : cases) EXPECT_EQ(GuessUrlProtocol(url), expected) << WideToUtf8(url);
}

TEST_F(ShellTest, AnInternetShortcutIsADesktopLink)
{
    std::wstring root = NarrowToWide(temp.root());
    std::string written = SaveInternetShortcut(root + L"\\Formulon Home.URL", L"www.example.org/?a=1\n[Desktop Entry]\nExec=x");
    ASSERT_EQ(written, temp.root() + "/Formulon Home.desktop");
    EXPECT_EQ(TempSettingsFolder::ReadAll(written),
              "[Desktop Entry]\nVersion=1.0\nType=Link\nName=Formulon Home\n"
              "URL=http://www.example.org/?a=1\\n[Desktop Entry]\\nExec=x\nIcon=text-html\n");

    // Saving again replaces the link; another extension is kept.
    EXPECT_EQ(SaveInternetShortcut(root + L"/Formulon Home.url", L"mailto:a@b.c"), written);
    EXPECT_NE(TempSettingsFolder::ReadAll(written).find("\nURL=mailto:a@b.c\n"), std::string::npos);
    EXPECT_EQ(SaveInternetShortcut(root + L"/link.lnk", L"https://example.org"), temp.root() + "/link.lnk");

    // Nothing is written, not even a temporary file, where it cannot be.
    EXPECT_EQ(SaveInternetShortcut(root + L"/missing/x.url", L"https://example.org"), "");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(fs::exists(temp.root() + "/missing"));
    EXPECT_EQ(SaveInternetShortcut(L"", L"https://example.org"), "");
    EXPECT_EQ(SaveInternetShortcut(root + L"/empty.url", L"  "), "");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(fs::exists(temp.root() + "/empty.desktop"));
}

} // namespace
