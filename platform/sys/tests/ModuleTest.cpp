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
    EXPECT_TRUE(std::filesystem::is_directory(settings.settings()));  // made, as a system folder always exists
    EXPECT_EQ(GetWindowsDirectoryW(buffer, 3), length + 1);  // too small: the size needed

    ScopedEnv relative("XDG_CONFIG_HOME", "relative/path");  // not absolute: ignored
    ScopedEnv home("HOME", "/home/someone/");
    EXPECT_EQ(SettingsFolder(), "/home/someone/.config/Formulon");
}

TEST(FoldersTest, SpecialFoldersAreTheUsersOwn)
{
    TempSettingsFolder temp;
    std::string home = temp.root() + "/home";
    ScopedEnv homeVariable("HOME", home + "/");
    ScopedEnv data("XDG_DATA_HOME", temp.root() + "/data");
    ScopedEnv cache("XDG_CACHE_HOME", "cache");  // relative: the default stands
    TempSettingsFolder::WriteAll(temp.root() + "/user-dirs.dirs",
                                 "# written by the desktop\n"
                                 "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                 "XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\n"
                                 "XDG_MUSIC_DIR=\"/srv/music/\"\r\n"
                                 "XDG_PICTURES_DIR=\"relative\"\n"  // neither $HOME nor absolute: ignored
                                 "  XDG_VIDEOS_DIR=\"$HOME/Videos\"\n"
                                 "XDG_VIDEOS_DIR=\"$HOME/Filme\"\n"  // the last one counts
                                 "XDG_TEMPLATES_DIR=\"$HOMEWORK\"\n");
    const std::pair<int, std::string> cases[] = {
        { CSIDL_DESKTOP, home + "/Schreibtisch" },
        { CSIDL_DESKTOPDIRECTORY, home + "/Schreibtisch" },
        { CSIDL_PERSONAL, home + "/My \"Docs\"" },
        { CSIDL_MYMUSIC, "/srv/music" },
        { CSIDL_MYPICTURES, home },
        { CSIDL_MYVIDEO, home + "/Filme" },
        { CSIDL_TEMPLATES, home },
        { CSIDL_APPDATA, temp.root() },
        { CSIDL_LOCAL_APPDATA, temp.root() + "/data" },
        { CSIDL_INTERNET_CACHE, home + "/.cache" },
        { CSIDL_FAVORITES, temp.root() + "/data/Favorites" },
        { CSIDL_PROGRAMS, temp.root() + "/data/applications" },
        { CSIDL_PROGRAM_FILES, home + "/.local/lib" },
        { CSIDL_PROFILE, home },
        { CSIDL_SYSTEM, temp.settings() },
        { CSIDL_PERSONAL | CSIDL_FLAG_CREATE, home + "/My \"Docs\"" },
    };
    for (auto [csidl, expected] : cases) EXPECT_EQ(SpecialFolder(csidl), expected) << csidl;
    EXPECT_EQ(SpecialFolder(0x0023), "");  // the folder shared by all users has no counterpart

    // The folder is made on request; a missing one is not answered otherwise.
    wchar_t path[MAX_PATH] = L"untouched";
    EXPECT_FALSE(SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOP, FALSE));
    EXPECT_STREQ(path, L"untouched");
    EXPECT_TRUE(SHGetSpecialFolderPathW(nullptr, path, CSIDL_DESKTOP, TRUE));
    EXPECT_EQ(std::wstring(path), NarrowToWide(home + "/Schreibtisch"));
    EXPECT_TRUE(std::filesystem::is_directory(home + "/Schreibtisch"));
    EXPECT_TRUE(SHGetSpecialFolderPathW(nullptr, path, CSIDL_FAVORITES | CSIDL_FLAG_CREATE, FALSE));
    EXPECT_TRUE(std::filesystem::is_directory(temp.root() + "/data/Favorites"));
    EXPECT_FALSE(SHGetSpecialFolderPathW(nullptr, path, 0x0023, TRUE));

    ScopedEnv longHome("HOME", "/" + std::string(MAX_PATH, 'h'));
    EXPECT_FALSE(SHGetSpecialFolderPathW(nullptr, path, CSIDL_PROFILE, TRUE));  // does not fit
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
