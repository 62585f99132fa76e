// Recovery copies of a changed script: private files beside the settings, named to the user once
// at the next start, kept within a bound; and the start that names them.

#include "app/ScriptRecovery.h"
#include "ProgramTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

class ScriptRecoveryTest : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(m_runtime);
        fs::permissions(m_runtime, fs::perms::owner_all);
    }

    // A folder of someone else's things, named as copies would be, that the program must leave as it is.
    std::string ForeignFolder(std::size_t copies)
    {
        const std::string folder = m_folder.root() + "/elsewhere";
        fs::create_directories(folder);
        for (std::size_t index = 0; index < copies; ++index) {
            char name[64];
            std::snprintf(name, sizeof name, "/Script 2020-01-01 00.00.%02zu.vbs", index);
            TempSettingsFolder::WriteAll(folder + name, "theirs");
            fs::last_write_time(folder + name, fs::file_time_type::clock::now() - std::chrono::hours(1000));
        }
        fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
        return folder;
    }

    TempSettingsFolder m_folder;
    const std::string m_runtime = m_folder.root() + "/runtime";
    ScopedEnv m_runtimeEnv { "XDG_RUNTIME_DIR", m_runtime };
};

TEST_F(ScriptRecoveryTest, ACopyIsPrivateAndNamedOnceUnderItsLastingName)
{
    const auto moment = std::chrono::system_clock::now();
    const std::optional<std::string> first = KeepRecoveryCopy("Rem \xCF\x80\r\nx = 1\r\n", moment);
    const std::optional<std::string> second = KeepRecoveryCopy("Rem second", moment);
    ASSERT_TRUE(first && second);
    EXPECT_NE(*first, *second) << "two ends in one second";
    EXPECT_EQ(fs::path(*first).parent_path().string(), m_folder.settings() + "/Recovered scripts");
    // Not told yet: not under the told name.
    EXPECT_FALSE(fs::exists(*first));

    const std::vector<std::string> told = TakeNewRecoveryCopies();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(TempSettingsFolder::ReadAll(*first), "Rem \xCF\x80\r\nx = 1\r\n");
    EXPECT_EQ(TempSettingsFolder::ReadAll(*second), "Rem second");
    EXPECT_TRUE(std::find(told.begin(), told.end(), *first) != told.end());
    EXPECT_TRUE(std::find(told.begin(), told.end(), *second) != told.end());
    struct stat info {};
    ASSERT_EQ(::stat(first->c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_EQ(::stat(RecoveryFolder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0077, 0u);

    EXPECT_TRUE(TakeNewRecoveryCopies().empty()) << "named twice";
    EXPECT_TRUE(fs::exists(*first)) << "a told copy must stay";
}

// Copies already told about go beyond the kept number, oldest first; new ones and the user's own
// files in the folder stay.
TEST_F(ScriptRecoveryTest, OnlyTheNewestToldCopiesStay)
{
    const auto start = std::chrono::system_clock::now();
    std::vector<std::string> copies;
    for (std::size_t index = 0; index < kKeptRecoveryCopies + 3; ++index) {
        copies.push_back(*KeepRecoveryCopy("Rem " + std::to_string(index), start + std::chrono::seconds(index)));
        TakeNewRecoveryCopies();
        fs::last_write_time(copies.back(), fs::file_time_type::clock::now() - std::chrono::hours(100) + std::chrono::minutes(index));
    }
    TempSettingsFolder::WriteAll(RecoveryFolder() + "/notes.txt", "mine");
    const std::string newest = *KeepRecoveryCopy("Rem newest", start + std::chrono::hours(1));
    EXPECT_EQ(TakeNewRecoveryCopies(), std::vector<std::string> { newest });
    for (std::size_t index = 0; index < copies.size(); ++index)
        EXPECT_EQ(fs::exists(copies[index]), index >= copies.size() - kKeptRecoveryCopies + 1) << index;
    EXPECT_TRUE(fs::exists(newest));
    EXPECT_EQ(FilesIn(RecoveryFolder()).size(), kKeptRecoveryCopies + 1);
    EXPECT_EQ(TempSettingsFolder::ReadAll(RecoveryFolder() + "/notes.txt"), "mine");
}

// What stands in the folder's place (a link to another folder, a plain file) is neither followed
// nor changed: the copy goes to the private folder in the runtime folder, and the next start names
// it there. Only where neither folder can take it is the copy lost, with a reason.
TEST_F(ScriptRecoveryTest, WhatStandsInTheFoldersPlaceIsLeftAloneAndTheCopyKeptElsewhere)
{
    const std::string foreign = ForeignFolder(kKeptRecoveryCopies + 3);
    const std::string blocker = m_folder.root() + "/blocker";
    TempSettingsFolder::WriteAll(blocker, "a file in the way");
    fs::permissions(blocker, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    for (const std::string& inTheWay : { foreign, blocker }) {
        SCOPED_TRACE(inTheWay);
        fs::create_directories(m_folder.settings());
        fs::remove(RecoveryFolder());
        fs::create_symlink(inTheWay, RecoveryFolder());
        const std::optional<std::string> kept = KeepRecoveryCopy("Rem kept");
        ASSERT_TRUE(kept) << std::strerror(errno);
        EXPECT_EQ(fs::path(*kept).parent_path().string(), FallbackRecoveryFolder());
        EXPECT_EQ(ModeOf(FallbackRecoveryFolder()), 0700u);
        EXPECT_EQ(TakeNewRecoveryCopies(), std::vector<std::string> { *kept });
        EXPECT_EQ(TempSettingsFolder::ReadAll(*kept), "Rem kept");
        fs::remove(*kept);
    }
    EXPECT_EQ(ModeOf(foreign), 0755u);
    EXPECT_EQ(FilesIn(foreign).size(), kKeptRecoveryCopies + 3) << "the other folder's files were written or removed";
    EXPECT_EQ(ModeOf(blocker), 0644u);
    EXPECT_EQ(TempSettingsFolder::ReadAll(blocker), "a file in the way");

    // A plain file in the folder's own place, and then in the fallback's too.
    fs::remove(RecoveryFolder());
    TempSettingsFolder::WriteAll(RecoveryFolder(), "a file in the way");
    const std::optional<std::string> kept = KeepRecoveryCopy("Rem kept");
    ASSERT_TRUE(kept);
    EXPECT_EQ(fs::path(*kept).parent_path().string(), FallbackRecoveryFolder());
    fs::remove_all(FallbackRecoveryFolder());
    TempSettingsFolder::WriteAll(FallbackRecoveryFolder(), "a file in the way");
    errno = 0;
    EXPECT_FALSE(KeepRecoveryCopy("Rem lost"));
    EXPECT_EQ(errno, ENOTDIR);
    EXPECT_EQ(TempSettingsFolder::ReadAll(RecoveryFolder()), "a file in the way");
}

// A folder of another user's or one others may write in is refused the same way; one of the user's
// own that others may only read is used as it is, its mode kept.
TEST_F(ScriptRecoveryTest, OnlyAFolderNobodyElseWritesInTakesACopy)
{
    fs::create_directories(RecoveryFolder());
    fs::permissions(RecoveryFolder(), fs::perms::owner_all | fs::perms::group_all);
    EXPECT_EQ(fs::path(*KeepRecoveryCopy("Rem 1")).parent_path().string(), FallbackRecoveryFolder());
    fs::permissions(RecoveryFolder(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    EXPECT_EQ(fs::path(*KeepRecoveryCopy("Rem 2")).parent_path().string(), RecoveryFolder());
    EXPECT_EQ(ModeOf(RecoveryFolder()), 0750u);
}

// Links in the folder named as a copy would be are neither written through nor replaced: the copy
// takes the next number.
TEST_F(ScriptRecoveryTest, ALinkNamedAsTheCopyIsNotWrittenThrough)
{
    const auto moment = std::chrono::system_clock::now();
    const std::string first = *KeepRecoveryCopy("Rem first", moment);
    ASSERT_EQ(TakeNewRecoveryCopies(), std::vector<std::string> { first });
    const std::string target = m_folder.root() + "/target";
    const std::string numbered = first.substr(0, first.size() - 4) + " (2).vbs";
    fs::create_symlink(target, numbered + ".new");
    fs::create_symlink(target, first.substr(0, first.size() - 4) + " (3).vbs");

    const std::optional<std::string> kept = KeepRecoveryCopy("Rem kept", moment);
    ASSERT_TRUE(kept);
    EXPECT_EQ(*kept, first.substr(0, first.size() - 4) + " (4).vbs");
    EXPECT_FALSE(fs::exists(fs::symlink_status(target))) << "written through a link";
    EXPECT_TRUE(fs::is_symlink(numbered + ".new"));
    EXPECT_EQ(TakeNewRecoveryCopies(), std::vector<std::string> { *kept }) << "a link taken for a copy";
    EXPECT_EQ(TempSettingsFolder::ReadAll(*kept), "Rem kept");
}

// Only the program's own copies are removed: not a link, a folder or a file of several names named
// as a copy, nor a file of another name.
TEST_F(ScriptRecoveryTest, PruningRemovesOnlyCopiesTheProgramMade)
{
    const auto start = std::chrono::system_clock::now() - std::chrono::hours(1);
    const std::string mine = m_folder.root() + "/mine.vbs";
    TempSettingsFolder::WriteAll(mine, "mine");
    fs::create_directories(RecoveryFolder());
    const std::vector<std::string> strangers = { "Script 2020-01-01 00.00.00.vbs", "Script 2020-01-01 00.00.01.vbs",
                                                 "Script 2020-01-01 00.00.02.vbs", "Script old.vbs" };
    fs::create_symlink(mine, RecoveryFolder() + "/" + strangers[0]);
    fs::create_directory(RecoveryFolder() + "/" + strangers[1]);
    fs::create_hard_link(mine, RecoveryFolder() + "/" + strangers[2]);
    TempSettingsFolder::WriteAll(RecoveryFolder() + "/" + strangers[3], "mine");
    for (const std::string& stranger : strangers)
        ::utimensat(AT_FDCWD, (RecoveryFolder() + "/" + stranger).c_str(), std::array<timespec, 2> { timespec { 0, 0 }, timespec { 0, 0 } }.data(), AT_SYMLINK_NOFOLLOW);
    std::vector<std::string> copies;
    for (std::size_t index = 0; index < kKeptRecoveryCopies + 2; ++index) {
        copies.push_back(*KeepRecoveryCopy("Rem " + std::to_string(index), start + std::chrono::seconds(index)));
        TakeNewRecoveryCopies();
        fs::last_write_time(copies.back(), fs::file_time_type::clock::now() - std::chrono::hours(100) + std::chrono::minutes(index));
    }
    EXPECT_FALSE(fs::exists(copies[0]));
    EXPECT_FALSE(fs::exists(copies[1]));
    EXPECT_TRUE(fs::exists(copies[2]));
    for (const std::string& stranger : strangers)
        EXPECT_TRUE(fs::exists(fs::symlink_status(RecoveryFolder() + "/" + stranger))) << stranger;
    EXPECT_EQ(TempSettingsFolder::ReadAll(mine), "mine");
}

// Two programs ending in the same second (a lost screen ends them together) keep both scripts.
TEST_F(ScriptRecoveryTest, TwoProgramsEndingInTheSameSecondKeepBothCopies)
{
    const auto moment = std::chrono::system_clock::now();
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        int gate[2];
        ASSERT_EQ(::pipe(gate), 0);
        std::vector<pid_t> writers;
        for (int writer = 0; writer < 2; ++writer) {
            const pid_t pid = ::fork();
            ASSERT_GE(pid, 0);
            if (pid == 0) {
                char go;
                ::close(gate[1]);
                // Both start together, when the gate closes.
                const bool opened = ::read(gate[0], &go, 1) == 0;
                const bool kept = opened && KeepRecoveryCopy("Rem writer " + std::to_string(writer), moment + std::chrono::seconds(round)).has_value();
                ::_exit(kept ? 0 : 1);
            }
            writers.push_back(pid);
        }
        ::close(gate[0]);
        ::close(gate[1]);
        for (pid_t pid : writers) {
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        std::vector<std::string> texts;
        for (const std::string& copy : TakeNewRecoveryCopies())
            texts.push_back(TempSettingsFolder::ReadAll(copy));
        std::sort(texts.begin(), texts.end());
        ASSERT_EQ(texts, (std::vector<std::string> { "Rem writer 0", "Rem writer 1" }));
    }
}

// One end keeps one copy: the snapshot only when the window's own end has not kept the script
// (or found nothing to keep), and never twice.
TEST_F(ScriptRecoveryTest, AnEndKeepsOneCopyWhicheverThreadComesFirst)
{
    const auto copies = [&] { return FilesIn(RecoveryFolder()); };
    {
        RecoveryCopyOnce once;
        once.SetSnapshot("Rem older");
        once.SetSnapshot("Rem snapshot");
        std::thread([&] { once.KeepSnapshot(); }).join();
        once.Keep("Rem current");
        once.KeepSnapshot();
        ASSERT_EQ(TakeNewRecoveryCopies().size(), 1u);
        ASSERT_EQ(copies().size(), 1u);
        EXPECT_EQ(TempSettingsFolder::ReadAll(RecoveryFolder() + "/" + copies()[0]), "Rem snapshot");
    }
    fs::remove_all(RecoveryFolder());
    for (const std::optional<std::string>& current : { std::optional<std::string>("Rem current"), std::optional<std::string>() }) {
        RecoveryCopyOnce once;
        once.SetSnapshot("Rem snapshot");
        once.Keep(current);
        std::thread([&] { once.KeepSnapshot(); }).join();
        const std::vector<std::string> told = TakeNewRecoveryCopies();
        ASSERT_EQ(told.size(), current ? 1u : 0u);
        if (current) {
            EXPECT_EQ(TempSettingsFolder::ReadAll(told[0]), *current);
        }
    }
}

// The start after an end that kept a copy names it in its report of the start-up's loads; the
// start after that says nothing.
class ScriptRecoveryStart : public ProgramTest {};

TEST_F(ScriptRecoveryStart, TheNextStartNamesTheCopyOnce)
{
    const std::string copy = *KeepRecoveryCopy("Rem kept");
    ASSERT_TRUE(Start());
    Pump();
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_NE(m_messages[0].find(CString(copy.c_str()).GetString()), std::wstring::npos) << CString(m_messages[0].c_str()).ToUtf8();
    Stop();
    m_messages.clear();
    ASSERT_TRUE(Start());
    Pump();
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(TempSettingsFolder::ReadAll(copy), "Rem kept");
}

} // namespace
