#include "platform/sys/Module.h"

#include "platform/base/ErrorCodes.h"
#include "platform/sys/Folders.h"

#include "TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ModuleTest, TheProgramFileAndItsFolder)
{
    wchar_t path[1024];
    DWORD length = GetModuleFileNameW(nullptr, path, 1024);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(std::wstring(path), std::filesystem::canonical("/proc/self/exe").wstring());
    EXPECT_EQ(GetModuleFileNameW(GetModuleHandleW(nullptr), path, 1024), length);

    CString folder = GetModuleDirectory();
    EXPECT_EQ(folder.Right(1), L"/");
    EXPECT_EQ(folder + CString(std::filesystem::path(path).filename().wstring()), CString(path));
}

TEST(ModuleTest, AShortBufferIsCutAndReported)
{
    wchar_t path[6];
    EXPECT_EQ(GetModuleFileNameW(nullptr, path, 6), 6u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::wcslen(path), 5u);
    EXPECT_EQ(GetModuleHandleW(L"other.dll"), nullptr);
}

TEST(ModuleTest, TheArgumentsAreTheOnesThisProcessGot)
{
    const std::vector<std::string> expected = testing::internal::GetArgvs();
    const std::vector<CString>& arguments = CommandLineArguments();
    ASSERT_EQ(arguments.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(arguments[i], CString(NarrowToWide(expected[i]).c_str())) << i;
}

TEST(FoldersTest, TheSystemFoldersAreTheSettingsFolder)
{
    TempSettingsFolder settings;
    wchar_t buffer[512];
    UINT length = GetSystemDirectoryW(buffer, 512);
    EXPECT_EQ(std::wstring(buffer), std::filesystem::path(settings.settings()).wstring());
    EXPECT_EQ(length, std::wcslen(buffer));
    EXPECT_EQ(GetWindowsDirectoryW(buffer, 3), length + 1);  // too small: the size needed

    const char* home = std::getenv("HOME");
    std::string savedHome = home ? home : "";
    ::setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored
    ::setenv("HOME", "/home/someone/", 1);
    EXPECT_EQ(SettingsFolder(), "/home/someone/.config/Formulon");
    ::setenv("HOME", savedHome.c_str(), 1);
}

TEST(FoldersTest, TemporaryFileNamesAreNewAndCreatedWhenChosen)
{
    TempSettingsFolder scratch;
    std::wstring folder = std::filesystem::path(scratch.root()).wstring();
    wchar_t first[MAX_PATH], second[MAX_PATH];
    UINT a = GetTempFileNameW(folder.c_str(), L"version", 0, first);
    UINT b = GetTempFileNameW((folder + L"/").c_str(), L"version", 0, second);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);
    EXPECT_TRUE(std::filesystem::exists(first));
    EXPECT_TRUE(std::filesystem::exists(second));
    EXPECT_EQ(std::filesystem::path(first).filename().wstring().substr(0, 3), L"ver");
    EXPECT_EQ(std::filesystem::path(first).extension(), ".tmp");

    wchar_t named[MAX_PATH];
    EXPECT_EQ(GetTempFileNameW(folder.c_str(), L"ab", 0x1F, named), 0x1Fu);
    EXPECT_EQ(std::wstring(named), folder + L"/ab001F.tmp");
    EXPECT_FALSE(std::filesystem::exists(named));  // a given number creates nothing

    EXPECT_EQ(GetTempFileNameW((folder + L"/missing").c_str(), L"x", 0, named), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

} // namespace
