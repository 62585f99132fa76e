#include "platform/sys/AtomicFile.h"

#include "platform/base/ErrorCodes.h"
#include "platform/base/File.h"
#include "platform/sys/PrivateProfile.h"

#include "HostileConditions.h"
#include "TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::TestWithParam<bool> {
protected:
    TempSettingsFolder folder;
    std::string root = folder.root();

    void SetUp() override { UseUnnamedTemporaryFiles(GetParam()); }
    void TearDown() override { UseUnnamedTemporaryFiles(true); }

    std::string At(const std::string& name) const { return root + "/" + name; }

    std::vector<std::string> Entries(const std::string& in) const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(in)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

INSTANTIATE_TEST_SUITE_P(TemporaryFiles, AtomicFileTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Unnamed" : "Named"; });

TEST_P(AtomicFileTest, SymbolicLinksStayLinksAndTheFileTheyNameIsReplaced)
{
    fs::create_directories(At("real"));
    struct Case {
        const char* link;
        std::string pointsTo;
        const char* finalFile;
    };
    const Case cases[] = {
        { "relative.ini", "real/a.ini", "real/a.ini" },
        { "absolute.ini", At("real/b.ini"), "real/b.ini" },
        { "chain.ini", "relative.ini", "real/a.ini" },
        { "dangling.ini", "real/missing.ini", "real/missing.ini" },
    };
    TempSettingsFolder::WriteAll(At("real/a.ini"), "old a");
    TempSettingsFolder::WriteAll(At("real/b.ini"), "old b");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.link);
        fs::create_symlink(c.pointsTo, At(c.link));
        ASSERT_TRUE(ReplaceFileAtomically(At(c.link), std::string("new through ") + c.link));
        EXPECT_TRUE(fs::is_symlink(At(c.link)));
        EXPECT_EQ(fs::read_symlink(At(c.link)).string(), c.pointsTo);
        EXPECT_EQ(TempSettingsFolder::ReadAll(At(c.finalFile)), std::string("new through ") + c.link);
        EXPECT_EQ(FinalTarget(At(c.link)), At(c.finalFile));
    }
    EXPECT_EQ(Entries(At("real")), (std::vector<std::string> { "a.ini", "b.ini", "missing.ini" }));
}

TEST_P(AtomicFileTest, ALoopOfLinksIsRefusedAndStays)
{
    fs::create_symlink("loop-b", At("loop-a"));
    fs::create_symlink("loop-a", At("loop-b"));
    errno = 0;
    EXPECT_FALSE(ReplaceFileAtomically(At("loop-a"), "text"));
    EXPECT_EQ(errno, ELOOP);
    EXPECT_TRUE(fs::is_symlink(At("loop-a")));
    EXPECT_TRUE(fs::is_symlink(At("loop-b")));
}

TEST_P(AtomicFileTest, EveryHardLinkNamesTheNewText)
{
    TempSettingsFolder::WriteAll(At("one.ini"), "the old text, longer than the new one");
    fs::create_hard_link(At("one.ini"), At("two.ini"));
    ASSERT_TRUE(ReplaceFileAtomically(At("two.ini"), "new"));
    EXPECT_EQ(TempSettingsFolder::ReadAll(At("one.ini")), "new");
    EXPECT_EQ(TempSettingsFolder::ReadAll(At("two.ini")), "new");
    EXPECT_EQ(fs::hard_link_count(At("one.ini")), 2u);
    EXPECT_EQ(Entries(root), (std::vector<std::string> { "one.ini", "two.ini" }));
}

TEST_P(AtomicFileTest, OwnerGroupAndPermissionBitsAreKept)
{
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another user needs root";
    const mode_t modes[] = { 0640, 0604, 0600, 0660 };
    for (mode_t mode : modes) {
        SCOPED_TRACE(mode);
        std::string path = At("owned.ini");
        TempSettingsFolder::WriteAll(path, "old");
        ASSERT_EQ(::chown(path.c_str(), kNobodyUser, kNobodyGroup), 0);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(ReplaceFileAtomically(path, "saved by root"));
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, kNobodyUser);
        EXPECT_EQ(info.st_gid, kNobodyGroup);
        EXPECT_EQ(info.st_mode & 07777, mode);
        EXPECT_EQ(TempSettingsFolder::ReadAll(path), "saved by root");
    }
}

TEST_P(AtomicFileTest, AFileWithoutWritePermissionIsRefused)
{
    std::string path = At("locked.ini");
    TempSettingsFolder::WriteAll(path, "keep me");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    // Read-only bits bind every writer, the privileged one too.
    errno = 0;
    EXPECT_FALSE(ReplaceFileAtomically(path, "lost"));
    EXPECT_EQ(errno, EACCES);

    // A file of another user, in a folder the writer may change, is not taken over either.
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    ASSERT_EQ(::chmod(root.c_str(), 0777), 0);
    auto refused = RunAsNobody([&] { return !ReplaceFileAtomically(path, "lost") && errno == EACCES; });
    if (refused) {
        EXPECT_TRUE(*refused);
    }
    EXPECT_EQ(TempSettingsFolder::ReadAll(path), "keep me");
    EXPECT_EQ(Entries(root), (std::vector<std::string> { "locked.ini" }));
}

TEST_P(AtomicFileTest, ANameAtTheFileSystemsLimitCanBeSaved)
{
    long limit = ::pathconf(root.c_str(), _PC_NAME_MAX);
    ASSERT_GT(limit, 20);
    std::string path = At(std::string(static_cast<size_t>(limit) - 4, 'n') + ".ini");
    ASSERT_TRUE(ReplaceFileAtomically(path, "first"));
    ASSERT_TRUE(ReplaceFileAtomically(path, "second"));
    EXPECT_EQ(TempSettingsFolder::ReadAll(path), "second");
    EXPECT_EQ(Entries(root).size(), 1u);
}

TEST_P(AtomicFileTest, AFullDiskFailsTheWriteAndChangesNothing)
{
    std::string disk = At("disk");
    fs::create_directories(disk);
    ScopedTmpfs tmpfs(disk, "64k");
    if (!tmpfs.mounted()) GTEST_SKIP() << "mounting a tmpfs is not permitted here";
    const std::string old(8192, 'o');
    TempSettingsFolder::WriteAll(disk + "/single.ini", old);
    TempSettingsFolder::WriteAll(disk + "/linked.ini", old);
    fs::create_hard_link(disk + "/linked.ini", disk + "/other-name.ini");
    const std::string tooBig(64 * 1024, 'n');
    for (const char* name : { "single.ini", "linked.ini" }) {
        SCOPED_TRACE(name);
        errno = 0;
        EXPECT_FALSE(ReplaceFileAtomically(disk + "/" + name, tooBig));
        EXPECT_EQ(errno, ENOSPC);
        EXPECT_EQ(TempSettingsFolder::ReadAll(disk + "/" + name), old);
    }
    EXPECT_EQ(Entries(disk), (std::vector<std::string> { "linked.ini", "other-name.ini", "single.ini" }));
}

TEST_P(AtomicFileTest, WritersKilledMidWayLeaveAWholeFileAndTheNextWriteLeavesNoTemporaryFile)
{
    const std::string path = At("settings.ini");
    const std::string first(128 * 1024, 'a'), second(160 * 1024, 'b');
    ASSERT_TRUE(ReplaceFileAtomically(path, first));
    // Leftovers of our pattern from earlier deaths go too; names of other patterns stay.
    const std::string prefix(kTemporaryNamePrefix);
    TempSettingsFolder::WriteAll(At(prefix + "AbC123"), "stale");
    TempSettingsFolder::WriteAll(At(prefix + "Short"), "not ours");

    constexpr int kKills = 25;
    for (int kill = 0; kill < kKills; ++kill) {
        pid_t child = ::fork();
        if (child == 0) {
            for (int i = 0;; ++i) ReplaceFileAtomically(path, i % 2 ? first : second);
        }
        ::usleep(static_cast<useconds_t>(500 + 150 * kill));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        std::string now = TempSettingsFolder::ReadAll(path);
        ASSERT_TRUE(now == first || now == second) << "after kill " << kill << ": " << now.size() << " bytes";
    }
    ASSERT_TRUE(ReplaceFileAtomically(path, "final"));
    EXPECT_EQ(TempSettingsFolder::ReadAll(path), "final");
    EXPECT_EQ(Entries(root), (std::vector<std::string> { prefix + "Short", "settings.ini" }));
}

TEST(FolderWriteLockTest, IsTakenInAFolderThatMayNotBeListed)
{
    if (::geteuid() != 0) GTEST_SKIP() << "handing a folder to another user needs root";
    TempSettingsFolder folder;
    std::string locked = folder.settings();
    fs::create_directories(locked);
    ASSERT_EQ(::chmod(folder.root().c_str(), 0711), 0);
    ASSERT_EQ(::chown(locked.c_str(), kNobodyUser, kNobodyGroup), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0300), 0);
    auto held = RunAsNobody([&] {
        FolderWriteLock lock(locked);
        return lock.held();
    });
    if (!held) GTEST_SKIP() << "privileges cannot be dropped here";
    EXPECT_TRUE(*held);
}

// Settings, INI and document readers meet whatever a path names. A FIFO must not block the reader
// (it would hang the start or a load), a device must not be read for ever, and a huge sparse file
// must not be read into memory: each is refused at once with its reason.
TEST(SpecialFiles, AreRefusedAtOnceWithTheirReason)
{
    TempSettingsFolder folder;
    const std::string fifo = folder.root() + "/fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string sparse = folder.root() + "/sparse.ini";
    {
        int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, 2ll << 30), 0);
        ::close(fd);
    }
    const struct {
        std::string path;
        int error;
        DWORD systemError;
    } cases[] = {
        { fifo, ENODEV, ERROR_BAD_FILE_TYPE },
        { "/dev/zero", ENODEV, ERROR_BAD_FILE_TYPE },
        { sparse, EFBIG, ERROR_FILE_TOO_LARGE },
        { folder.root(), EISDIR, ERROR_ACCESS_DENIED },
    };
    for (const auto& special : cases) {
        SCOPED_TRACE(special.path);
        errno = 0;
        EXPECT_FALSE(ReadFileBytes(special.path));
        EXPECT_EQ(errno, special.error);

        const CString path(Utf8ToWide(special.path)->c_str());
        wchar_t value[16] = {};
        EXPECT_EQ(GetPrivateProfileStringW(L"INFO", L"Key", L"kept", value, 16, path), 4u);
        EXPECT_STREQ(value, L"kept");
        EXPECT_EQ(GetLastError(), special.systemError);

        if (special.error == EFBIG) continue;  // a stream reads a large file piece by piece
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(path, CFile::modeRead, &error));
        EXPECT_EQ(error.m_lOsError, static_cast<LONG>(special.systemError));
    }
}

} // namespace
