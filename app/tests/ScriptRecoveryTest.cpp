// Recovery copies of a changed script: private files beside the settings, named to the user once
// at the next start, kept within a bound; and the start that names them.

#include "app/ScriptRecovery.h"
#include "ProgramTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

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

class ScriptRecoveryTest : public testing::Test {
protected:
    TempSettingsFolder m_folder;
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

// A folder that cannot be made is a failure the caller can report, not a lost silence.
TEST_F(ScriptRecoveryTest, AnUnwritableFolderFailsWithAReason)
{
    TempSettingsFolder::WriteAll(m_folder.settings() + "/Recovered scripts", "a file in the way");
    errno = 0;
    EXPECT_FALSE(KeepRecoveryCopy("Rem lost"));
    EXPECT_NE(errno, 0);
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
