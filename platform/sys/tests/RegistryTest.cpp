#include "platform/sys/Registry.h"

#include "platform/sys/AtomicFile.h"
#include "platform/sys/RegistryTree.h"

#include "HostileConditions.h"
#include "TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class RegistryTest : public ::testing::Test {
protected:
    TempSettingsFolder folder;

    std::string File() const { return folder.settings() + "/registry.txt"; }

    HKEY Create(HKEY root, const wchar_t* path)
    {
        HKEY key = nullptr;
        DWORD disposition = 0;
        EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
                  ERROR_SUCCESS);
        return key;
    }

    static LSTATUS SetText(HKEY key, const wchar_t* name, const std::wstring& text)
    {
        return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    static LSTATUS SetNumber(HKEY key, const wchar_t* name, DWORD number)
    {
        return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
    static std::wstring GetText(HKEY key, const wchar_t* name)
    {
        wchar_t buffer[512] = {};
        DWORD size = sizeof buffer, type = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
            return L"<missing>";
        EXPECT_EQ(type, REG_SZ);
        return buffer;
    }
    static DWORD GetNumber(HKEY key, const wchar_t* name)
    {
        DWORD number = 0, size = sizeof number, type = 0;
        EXPECT_EQ(RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&number), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, REG_DWORD);
        return number;
    }
};

// A file written by hand may list keys out of order, name a key twice and a value twice (in
// another case): the subkeys come out in order, and a value named again replaces the earlier one
// in its place.
TEST(RegistryText, KeysComeInOrderAndAValueNamedAgainReplacesTheFirst)
{
    RegistryKey user, classes;
    user.name = L"HKEY_CURRENT_USER";
    classes.name = L"HKEY_CLASSES_ROOT";
    ASSERT_TRUE(ParseRegistryText(L"[HKEY_CURRENT_USER\\Software\\c]\n\"x\"=dword:00000001\n\"y\"=\"one\"\n"
                                  L"[HKEY_CURRENT_USER\\Software\\B]\n[HKEY_CURRENT_USER\\software\\a]\n"
                                  L"[HKEY_CURRENT_USER\\Software\\C]\n\"X\"=dword:00000002\n\"z\"=\"three\"\n",
                                  user, classes));
    ASSERT_EQ(user.subkeys.size(), 1u);
    const RegistryKey& software = *user.subkeys[0];
    EXPECT_EQ(software.name, L"Software");
    std::vector<std::wstring> subkeys;
    for (const auto& key : software.subkeys)
        subkeys.push_back(key->name);
    EXPECT_EQ(subkeys, (std::vector<std::wstring>{L"a", L"B", L"c"}));
    const RegistryKey& c = *software.subkeys[2];
    std::vector<std::wstring> values;
    for (const RegistryValue& value : c.values)
        values.push_back(value.name);
    EXPECT_EQ(values, (std::vector<std::wstring>{L"X", L"y", L"z"}));
    ASSERT_EQ(c.values[0].data.size(), 4u);
    EXPECT_EQ(c.values[0].data[0], 2);

    // Read into trees that hold them already, known keys and values are found again.
    ASSERT_TRUE(ParseRegistryText(L"[HKEY_CURRENT_USER\\Software\\B]\n[HKEY_CURRENT_USER\\Software\\C]\n\"x\"=dword:00000002\n",
                                  user, classes));
    EXPECT_EQ(software.subkeys.size(), 3u);
    EXPECT_EQ(c.values.size(), 3u);
    EXPECT_EQ(c.values[0].name, L"x");
}

TEST_F(RegistryTest, ValuesOfEveryTypeSurviveTheFileAndComeBackInAnotherProcess)
{
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon\\FLN");
    const BYTE blob[] = { 0x2c, 0x00, 0xff, 0x0a };
    std::wstring tricky = L"line 1\nline \"2\" \\ end \x00e9\x4e2d";
    EXPECT_EQ(SetText(key, L"Name", tricky), ERROR_SUCCESS);
    EXPECT_EQ(SetNumber(key, L"Stellen", 0xDEADBEEF), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, L"WP", 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
    EXPECT_EQ(SetText(key, nullptr, L"default"), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, L"Empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    RegCloseKey(key);

    // A child process starts with no cached state: what it reads came from the file.
    pid_t child = fork();
    if (child == 0) {
        HKEY again = nullptr;
        bool ok = RegOpenKeyExW(HKEY_CURRENT_USER, L"software\\FORMULON\\fln", 0, KEY_READ, &again) == ERROR_SUCCESS;
        BYTE read[8] = {};
        DWORD size = sizeof read, type = 0;
        ok = ok && GetText(again, L"name") == tricky && GetNumber(again, L"STELLEN") == 0xDEADBEEF &&
             GetText(again, L"") == L"default";
        ok = ok && RegQueryValueExW(again, L"WP", nullptr, &type, read, &size) == ERROR_SUCCESS && type == REG_BINARY &&
             size == 4 && std::memcmp(read, blob, 4) == 0;
        size = sizeof read;
        ok = ok && RegQueryValueExW(again, L"Empty", nullptr, &type, read, &size) == ERROR_SUCCESS && size == 0;
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_NE(TempSettingsFolder::ReadAll(File()).find("[HKEY_CURRENT_USER\\Software\\Formulon\\FLN]"),
              std::string::npos);
}

TEST_F(RegistryTest, OpeningAndQueryingWhatIsMissingReportsFileNotFound)
{
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Nothing", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
    key = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Absent", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueW(key, L"Absent"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(key, L"Absent"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, CreateReportsWhetherTheKeyIsNewAndAcceptsEmptySteps)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L".htm\\\\shell\\", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, L".HTM\\Shell", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);
    // The two trees are apart.
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L".htm", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, BufferSizesFollowTheQueryRules)
{
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    ASSERT_EQ(SetText(key, L"Text", L"abcdef"), ERROR_SUCCESS);
    const DWORD needed = 7 * sizeof(wchar_t);

    DWORD size = 0, type = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"Text", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(type, REG_SZ);

    wchar_t small[3] = { L'x', L'x', L'x' };
    size = sizeof small;
    EXPECT_EQ(RegQueryValueExW(key, L"Text", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(small[0], L'x');

    BYTE data[4];
    EXPECT_EQ(RegQueryValueExW(key, L"Text", nullptr, nullptr, data, nullptr), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST_F(RegistryTest, SettingValidatesData)
{
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    WORD tooShort = 5;
    EXPECT_EQ(RegSetValueExW(key, L"N", 0, REG_DWORD, reinterpret_cast<BYTE*>(&tooShort), sizeof tooShort),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExW(key, L"N", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    // Text without its terminator, or with text after an inner NUL, keeps what comes before.
    const wchar_t raw[] = { L'a', L'b', L'\0', L'c' };
    EXPECT_EQ(RegSetValueExW(key, L"T", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), sizeof raw), ERROR_SUCCESS);
    EXPECT_EQ(GetText(key, L"T"), L"ab");
    EXPECT_EQ(RegSetValueExW(key, L"U", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), 2 * sizeof(wchar_t)),
              ERROR_SUCCESS);
    EXPECT_EQ(GetText(key, L"U"), L"ab");
    // Changing a value's type in place.
    EXPECT_EQ(SetNumber(key, L"T", 7), ERROR_SUCCESS);
    EXPECT_EQ(GetNumber(key, L"t"), 7u);
    RegCloseKey(key);
    EXPECT_EQ(SetNumber(HKEY_LOCAL_MACHINE, L"X", 1), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryTest, EnumerationListsKeysAlphabeticallyAndValuesInOrderSet)
{
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    for (const wchar_t* name : { L"zeta", L"Alpha", L"mid" }) RegCloseKey(Create(key, name));
    SetNumber(key, L"second", 2);
    SetText(key, L"first", L"1");
    SetNumber(key, L"SECOND", 22);  // an existing value keeps its place

    std::vector<std::wstring> keys;
    wchar_t name[64];
    for (DWORD i = 0;; ++i) {
        DWORD size = 64;
        LSTATUS status = RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(status, ERROR_SUCCESS);
        EXPECT_EQ(size, std::wcslen(name));
        keys.push_back(name);
    }
    EXPECT_EQ(keys, (std::vector<std::wstring> { L"Alpha", L"mid", L"zeta" }));

    DWORD size = 3;
    EXPECT_EQ(RegEnumKeyExW(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);

    std::vector<std::wstring> values;
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 64, type = 0;
        LSTATUS status = RegEnumValueW(key, i, name, &nameSize, nullptr, &type, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(status, ERROR_SUCCESS);
        values.push_back(name);
    }
    EXPECT_EQ(values, (std::vector<std::wstring> { L"second", L"first" }));
    EXPECT_EQ(GetNumber(key, L"second"), 22u);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DeletingKeysAndHandleLifetimes)
{
    HKEY parent = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    HKEY child = Create(parent, L"Child\\Grandchild");
    EXPECT_EQ(RegDeleteKeyW(parent, L"Child"), ERROR_ACCESS_DENIED);  // has a subkey
    EXPECT_EQ(RegDeleteKeyW(parent, L"Child\\Grandchild"), ERROR_SUCCESS);
    EXPECT_EQ(SetNumber(child, L"x", 1), ERROR_KEY_DELETED);
    EXPECT_EQ(RegQueryValueExW(child, L"x", nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    EXPECT_EQ(RegDeleteKeyW(parent, L"Child"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(parent, L""), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(child), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(child), ERROR_INVALID_HANDLE);
    EXPECT_EQ(SetNumber(child, L"x", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    RegCloseKey(parent);
}

TEST_F(RegistryTest, AChangeMadeByAnotherWriterIsSeenAndKept)
{
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    ASSERT_EQ(SetNumber(key, L"Mine", 1), ERROR_SUCCESS);
    // Another program rewrites the file; our next write must keep its value.
    std::string text = TempSettingsFolder::ReadAll(File());
    text += "[HKEY_CURRENT_USER\\Software\\Formulon]\n\"Theirs\"=dword:00000002\n";
    TempSettingsFolder::WriteAll(File(), text);
    ASSERT_EQ(SetNumber(key, L"Mine", 3), ERROR_SUCCESS);
    EXPECT_EQ(GetNumber(key, L"Theirs"), 2u);
    EXPECT_EQ(GetNumber(key, L"Mine"), 3u);
    RegCloseKey(key);
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNothing)
{
    RegCloseKey(Create(HKEY_CURRENT_USER, L"Software\\Formulon"));
    constexpr int kWrites = 40;
    auto writeMany = [](const wchar_t* prefix) {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Formulon", 0, KEY_WRITE, &key) != ERROR_SUCCESS) return false;
        for (int i = 0; i < kWrites; ++i) {
            std::wstring name = prefix + std::to_wstring(i);
            if (SetNumber(key, name.c_str(), static_cast<DWORD>(i)) != ERROR_SUCCESS) return false;
        }
        return RegCloseKey(key) == ERROR_SUCCESS;
    };
    pid_t child = fork();
    if (child == 0) _exit(writeMany(L"child") ? 0 : 1);
    EXPECT_TRUE(writeMany(L"parent"));
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Formulon", 0, KEY_READ, &key), ERROR_SUCCESS);
    for (const wchar_t* prefix : { L"child", L"parent" })
        for (int i = 0; i < kWrites; ++i)
            EXPECT_EQ(GetNumber(key, (prefix + std::to_wstring(i)).c_str()), static_cast<DWORD>(i));
    RegCloseKey(key);
}

TEST_F(RegistryTest, ADamagedFileIsReadAsFarAsPossibleAndKeptAside)
{
    std::string damaged =
        "[HKEY_CURRENT_USER\\Software\\Formulon]\n"
        "\"Good\"=dword:00000005\n"
        "this line means nothing\n"
        "\"Bad\"=dword:xyz\n"
        "[HKEY_NOWHERE\\X]\n"
        "\"Lost\"=\"?\"\n";
    TempSettingsFolder::WriteAll(File(), damaged);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Formulon", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(GetNumber(key, L"Good"), 5u);
    EXPECT_EQ(RegQueryValueExW(key, L"Bad", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(SetNumber(key, L"New", 1), ERROR_SUCCESS);
    EXPECT_EQ(TempSettingsFolder::ReadAll(File() + ".damaged"), damaged);
    // A second damaged file does not replace the first copy.
    TempSettingsFolder::WriteAll(File(), damaged + "junk\n");
    ASSERT_EQ(SetNumber(key, L"New", 2), ERROR_SUCCESS);
    EXPECT_EQ(TempSettingsFolder::ReadAll(File() + ".damaged"), damaged);
    EXPECT_EQ(TempSettingsFolder::ReadAll(File() + ".damaged-1"), damaged + "junk\n");
    RegCloseKey(key);
}

// Lines no registry function could have written are unreadable: they are kept aside with the
// file, and never become values that cannot be reached by name or that the file would not keep.
TEST_F(RegistryTest, ValuesWithANulInANameOrTextAreDamage)
{
    using namespace std::string_literals;
    const std::string lines[] = {
        "\"U\0cent\"=dword:00000001\n"s, // a name no caller can pass
        "\"Text\"=\"a\0b\"\n"s,          // a text the file would keep only up to the NUL
    };
    for (const std::string& line : lines) {
        const std::string damaged = "[HKEY_CURRENT_USER\\Software\\Formulon]\n\"Good\"=dword:00000005\n" + line;
        std::filesystem::remove(File() + ".damaged");
        TempSettingsFolder::WriteAll(File(), damaged);
        HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
        DWORD values = 0;
        for (wchar_t name[64]; ; ++values) {
            DWORD size = 64;
            if (RegEnumValueW(key, values, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
        }
        EXPECT_EQ(values, 1u) << line;
        EXPECT_EQ(GetNumber(key, L"Good"), 5u) << line;
        ASSERT_EQ(SetNumber(key, L"New", 1), ERROR_SUCCESS) << line;
        EXPECT_EQ(TempSettingsFolder::ReadAll(File() + ".damaged"), damaged) << line;
        RegCloseKey(key);
    }
}

TEST_F(RegistryTest, ASettingsFolderThatCannotBeMadeFailsTheWrite)
{
    std::string blocker = folder.root() + "/file";
    TempSettingsFolder::WriteAll(blocker, "x");
    ::setenv("XDG_CONFIG_HOME", blocker.c_str(), 1);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_CANTWRITE);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, AFailedWriteChangesNothing)
{
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    ASSERT_EQ(SetNumber(key, L"Before", 1), ERROR_SUCCESS);
    std::string before = TempSettingsFolder::ReadAll(File());

    // A file-size limit makes every write of the new file fail, whoever runs the test.
    rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    LSTATUS status = SetNumber(key, L"After", 2);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(status, ERROR_CANTWRITE);
    EXPECT_EQ(RegQueryValueExW(key, L"After", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetNumber(key, L"Before"), 1u);
    EXPECT_EQ(TempSettingsFolder::ReadAll(File()), before);
    // Only the file and the folder's lock file are there: no temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.settings()), {}), 2);
    EXPECT_TRUE(std::filesystem::exists(folder.settings() + "/" + FolderWriteLock::kLockFileName));
    RegCloseKey(key);
}

TEST_F(RegistryTest, ADamagedFileIsLeftAloneWhenItsCopyCannotBeKept)
{
    std::filesystem::create_directories(folder.settings());
    ScopedTmpfs disk(folder.settings(), "64k");
    if (!disk.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    // Unreadable lines fill most of the disk; the rewritten registry would still fit, its copy not.
    std::string damaged = "[HKEY_CURRENT_USER\\Software\\Formulon]\n\"Good\"=dword:00000005\n";
    while (damaged.size() < 24 * 1024) damaged += "an unreadable line kept for the user\n";
    TempSettingsFolder::WriteAll(File(), damaged);
    TempSettingsFolder::WriteAll(folder.settings() + "/filler", std::string(32 * 1024, 'f'));

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Formulon", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(SetNumber(key, L"New", 1), ERROR_CANTWRITE);
    EXPECT_TRUE(TempSettingsFolder::ReadAll(File()) == damaged);
    EXPECT_EQ(RegQueryValueExW(key, L"New", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(GetNumber(key, L"Good"), 5u);
    EXPECT_FALSE(std::filesystem::exists(File() + ".damaged"));

    // With room for the copy the same write goes through and the lines are kept aside.
    std::filesystem::remove(folder.settings() + "/filler");
    EXPECT_EQ(SetNumber(key, L"New", 1), ERROR_SUCCESS);
    EXPECT_TRUE(TempSettingsFolder::ReadAll(File() + ".damaged") == damaged);
    RegCloseKey(key);
}

TEST_F(RegistryTest, WritersTakeTurnsInASettingsFolderThatMayNotBeListed)
{
    if (::geteuid() != 0) GTEST_SKIP() << "handing the folder to another user needs root";
    std::filesystem::create_directories(folder.settings());
    ASSERT_EQ(::chmod(folder.root().c_str(), 0711), 0);
    ASSERT_EQ(::chown(folder.settings().c_str(), kNobodyUser, kNobodyGroup), 0);
    ASSERT_EQ(::chmod(folder.settings().c_str(), 0300), 0);

    constexpr int kWrites = 40;
    auto writer = [](const wchar_t* prefix) {
        pid_t child = fork();
        if (child != 0) return child;
        auto written = RunAsNobody([&] {
            HKEY key = nullptr;
            if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Formulon", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                nullptr) != ERROR_SUCCESS)
                return false;
            for (int i = 0; i < kWrites; ++i)
                if (SetNumber(key, (prefix + std::to_wstring(i)).c_str(), static_cast<DWORD>(i)) != ERROR_SUCCESS)
                    return false;
            return RegCloseKey(key) == ERROR_SUCCESS;
        });
        _exit(written.value_or(false) ? 0 : 1);
    };
    pid_t first = writer(L"first"), second = writer(L"second");
    for (pid_t child : { first, second }) {
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer failed";
    }

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Formulon", 0, KEY_READ, &key), ERROR_SUCCESS);
    for (const wchar_t* prefix : { L"first", L"second" })
        for (int i = 0; i < kWrites; ++i)
            EXPECT_EQ(GetNumber(key, (prefix + std::to_wstring(i)).c_str()), static_cast<DWORD>(i));
    RegCloseKey(key);
}

TEST_F(RegistryTest, EachChangeOfAValueReachesTheFile)
{
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    for (DWORD number : { 1u, 2u, 3u }) ASSERT_EQ(SetNumber(key, L"Count", number), ERROR_SUCCESS);
    ASSERT_EQ(SetText(key, L"COUNT", L"three"), ERROR_SUCCESS);
    std::string text = TempSettingsFolder::ReadAll(File());
    EXPECT_NE(text.find("\"Count\"=\"three\"\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("dword"), std::string::npos) << text;
    RegCloseKey(key);
}

TEST_F(RegistryTest, SettingWhatIsThereAlreadyLeavesTheFileAlone)
{
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    ASSERT_EQ(SetNumber(key, L"Count", 7), ERROR_SUCCESS);
    auto fileIdentity = [&] {
        struct stat info {};
        EXPECT_EQ(::stat(File().c_str(), &info), 0);
        return info.st_ino;
    };
    const ino_t written = fileIdentity();
    ASSERT_EQ(SetNumber(key, L"COUNT", 7), ERROR_SUCCESS);
    HKEY again = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    EXPECT_EQ(fileIdentity(), written) << "an unchanged value or key was written again";

    // The same bytes as another type are a change.
    const DWORD seven = 7;
    ASSERT_EQ(RegSetValueExW(key, L"Count", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&seven), sizeof seven), ERROR_SUCCESS);
    EXPECT_NE(fileIdentity(), written);
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExW(again, L"Count", nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    RegCloseKey(again);
    RegCloseKey(key);
}

TEST_F(RegistryTest, SetKeyValueMakesTheMissingKeysOnTheWay)
{
    const std::wstring text = L"{00000000-0000-0000-0000-000000000001}";
    const auto textSize = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, L"FlnTest.Thing\\CLSID", nullptr, REG_SZ, text.c_str(), textSize), ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, L"FlnTest.Thing\\CLSID", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(GetText(key, nullptr), text);
    const DWORD number = 5;
    EXPECT_EQ(RegSetKeyValueW(key, nullptr, L"Count", REG_DWORD, &number, 3), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(RegSetKeyValueW(key, nullptr, L"Count", REG_DWORD, &number, sizeof number), ERROR_SUCCESS);
    EXPECT_EQ(GetNumber(key, L"Count"), 5u);
    RegCloseKey(key);
    EXPECT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software", L"Count", REG_DWORD, &number, sizeof number), ERROR_ACCESS_DENIED);
}

// Many values saved at once reach the file in one replacement: a kill at it leaves the old file,
// and within the batch the program already reads what it set.
TEST_F(RegistryTest, AWriteBatchReplacesTheFileOnce)
{
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon\\FLN");
    ASSERT_EQ(SetNumber(key, L"Stellen", 1), ERROR_SUCCESS);
    const std::string before = TempSettingsFolder::ReadAll(File());
    const auto saveMany = [&] {
        RegistryWriteBatch batch;
        for (DWORD i = 0; i < 20; ++i) SetNumber(key, (L"Value" + std::to_wstring(i)).c_str(), i);
        SetNumber(key, L"Stellen", 9);
        batch.Commit();
    };
    for (int killAt = 1;; ++killAt) {
        const auto run = RunKilledAtRename(killAt, saveMany);
        if (!run) GTEST_SKIP() << "a child process cannot be traced here";
        if (!run->killed) {
            EXPECT_EQ(run->renames, 1);
            break;
        }
        EXPECT_EQ(TempSettingsFolder::ReadAll(File()), before) << "killed at rename " << killAt;
    }
    EXPECT_EQ(GetNumber(key, L"Stellen"), 9u);
    EXPECT_EQ(GetNumber(key, L"Value19"), 19u);

    RegistryWriteBatch batch;
    ASSERT_EQ(SetNumber(key, L"Stellen", 4), ERROR_SUCCESS);
    EXPECT_EQ(GetNumber(key, L"Stellen"), 4u);
    EXPECT_EQ(TempSettingsFolder::ReadAll(File()).find("\"Stellen\"=dword:00000004"), std::string::npos);
    EXPECT_EQ(batch.Commit(), ERROR_SUCCESS);
    EXPECT_NE(TempSettingsFolder::ReadAll(File()).find("\"Stellen\"=dword:00000004"), std::string::npos);
    RegCloseKey(key);
}

TEST_F(RegistryTest, AReadOnlyFileRefusesChangesWithAccessDenied)
{
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    ASSERT_EQ(SetNumber(key, L"Kept", 1), ERROR_SUCCESS);
    std::string before = TempSettingsFolder::ReadAll(File());
    ASSERT_EQ(::chmod(File().c_str(), 0444), 0);
    EXPECT_EQ(SetNumber(key, L"Kept", 2), ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetNumber(key, L"Kept"), 1u);
    EXPECT_EQ(TempSettingsFolder::ReadAll(File()), before);
    RegCloseKey(key);
}

TEST_F(RegistryTest, ARegistryFileReachedThroughALinkStaysALink)
{
    std::string elsewhere = folder.root() + "/synced/registry.txt";
    TempSettingsFolder::WriteAll(elsewhere, "[HKEY_CURRENT_USER\\Software\\Formulon]\n\"Old\"=dword:00000001\n");
    std::filesystem::create_directories(folder.settings());
    std::filesystem::create_symlink("../synced/registry.txt", File());
    HKEY key = Create(HKEY_CURRENT_USER, L"Software\\Formulon");
    ASSERT_EQ(SetNumber(key, L"New", 2), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_TRUE(std::filesystem::is_symlink(File()));
    std::string text = TempSettingsFolder::ReadAll(elsewhere);
    EXPECT_NE(text.find("\"Old\"=dword:00000001"), std::string::npos);
    EXPECT_NE(text.find("\"New\"=dword:00000002"), std::string::npos);
}

} // namespace
