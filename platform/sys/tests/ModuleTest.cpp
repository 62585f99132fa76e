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

} // namespace
