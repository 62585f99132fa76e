#include "platform/sys/Mutex.h"

#include "HostileConditions.h"
#include "TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include <atomic>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::wstring UniqueName(const wchar_t* stem) { return stem + std::to_wstring(::getpid()); }

TEST(MutexTest, TheOwnerMayLockAgainAndOthersWait)
{
    CMutex mutex;
    ASSERT_NE(mutex.m_hObject, nullptr);
    EXPECT_TRUE(mutex.Lock());
    EXPECT_TRUE(mutex.Lock(0));  // recursive
    std::atomic<int> result { -1 };
    std::thread other([&] { result = mutex.Lock(20); });
    other.join();
    EXPECT_EQ(result, FALSE);
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_TRUE(mutex.Unlock());
    EXPECT_FALSE(mutex.Unlock());  // not owned any more
    std::thread again([&] {
        result = mutex.Lock(1000);
        mutex.Unlock();
    });
    again.join();
    EXPECT_EQ(result, TRUE);
}

TEST(MutexTest, ObjectsOfOneNameAreOneMutexAcrossThreadsAndProcesses)
{
    std::wstring name = UniqueName(L"Global\\test-mutex-");
    CMutex first(TRUE, name.c_str());  // initially owned
    CMutex second(FALSE, name.c_str());
    ASSERT_NE(second.m_hObject, nullptr);
    std::atomic<int> result { -1 };
    std::thread other([&] { result = second.Lock(20); });
    other.join();
    EXPECT_EQ(result, FALSE);

    // Another process cannot take it while we hold it, and can once we let go. The child says when
    // it has found the mutex held, and the parent lets go only then.
    int tried[2], go[2];
    ASSERT_EQ(::pipe(tried), 0);
    ASSERT_EQ(::pipe(go), 0);
    pid_t child = fork();
    if (child == 0) {
        CMutex opened(TRUE, name.c_str());  // held elsewhere: opened without waiting, not owned
        bool notOwned = !opened.Unlock();
        CMutex theirs(FALSE, name.c_str());
        bool blocked = notOwned && !theirs.Lock(30);
        (void)::write(tried[1], "t", 1);
        char signal;
        (void)::read(go[0], &signal, 1);
        bool taken = theirs.Lock(60'000);
        _exit(blocked && taken ? 0 : 1);
    }
    char signal;
    ASSERT_EQ(::read(tried[0], &signal, 1), 1);
    EXPECT_TRUE(first.Unlock());
    (void)::write(go[1], "g", 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int end : { tried[0], tried[1], go[0], go[1] })
        ::close(end);
}

TEST(MutexTest, SingleLockReleasesAtTheEndOfItsScope)
{
    CMutex mutex;
    {
        CSingleLock lock(&mutex, TRUE);
        EXPECT_TRUE(lock.IsLocked());
    }
    std::atomic<int> result { -1 };
    std::thread other([&] {
        CSingleLock lock(&mutex);
        result = lock.Lock(100);
    });
    other.join();
    EXPECT_EQ(result, TRUE);
}

// Without a session's runtime folder, lock files go to a folder of the user's own that no one else
// may enter: a folder another user made, a link planted in its place, or one open to all makes
// the mutex unusable rather than lock, or make a file, where others decide.
TEST(MutexTest, WithoutARuntimeFolderLockFilesStayInAPrivateFolder)
{
    namespace fs = std::filesystem;
    TempSettingsFolder temporary;
    ScopedEnv noRuntime("XDG_RUNTIME_DIR");
    ScopedEnv tmp("TMPDIR", temporary.root());
    const std::string folder = temporary.root() + "/formulon-" + std::to_string(::geteuid());
    const std::wstring name = UniqueName(L"private lock ");

    {
        CMutex mutex(FALSE, name.c_str());
        ASSERT_NE(mutex.m_hObject, nullptr);
        EXPECT_TRUE(mutex.Lock(0));
        struct stat info {};
        ASSERT_EQ(::lstat(folder.c_str(), &info), 0);
        EXPECT_TRUE(S_ISDIR(info.st_mode));
        EXPECT_EQ(info.st_mode & 07777, 0700u);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
        mutex.Unlock();
    }

    // A lock file planted as a link is not followed.
    const std::string target = temporary.root() + "/target";
    fs::create_directory(target);
    for (const auto& entry : fs::directory_iterator(folder)) {
        fs::remove(entry.path());
        fs::create_symlink(target + "/created", entry.path());
    }
    EXPECT_EQ(CMutex(FALSE, name.c_str()).m_hObject, nullptr);
    EXPECT_FALSE(fs::exists(target + "/created"));
    fs::remove_all(folder);

    fs::create_directory_symlink(target, folder);
    EXPECT_EQ(CMutex(FALSE, name.c_str()).m_hObject, nullptr);
    EXPECT_TRUE(fs::is_empty(target));
    fs::remove(folder);

    fs::create_directory(folder);
    fs::permissions(folder, fs::perms::all);
    EXPECT_EQ(CMutex(FALSE, name.c_str()).m_hObject, nullptr);

    fs::permissions(folder, fs::perms::owner_all);
    if (::geteuid() == 0 && ::chown(folder.c_str(), kNobodyUser, kNobodyGroup) == 0) {
        EXPECT_EQ(CMutex(FALSE, name.c_str()).m_hObject, nullptr) << "another user's folder";
    }
}

} // namespace
