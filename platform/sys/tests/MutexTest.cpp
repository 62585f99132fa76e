#include "platform/sys/Mutex.h"

#include <gtest/gtest.h>

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

    // Another process cannot take it while we hold it, and can once we let go.
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    pid_t child = fork();
    if (child == 0) {
        CMutex opened(TRUE, name.c_str());  // held elsewhere: opened without waiting, not owned
        bool notOwned = !opened.Unlock();
        CMutex theirs(FALSE, name.c_str());
        bool blocked = notOwned && !theirs.Lock(30);
        char go;
        (void)::read(pipeEnds[0], &go, 1);
        bool taken = theirs.Lock(5000);
        _exit(blocked && taken ? 0 : 1);
    }
    ::usleep(100 * 1000);
    EXPECT_TRUE(first.Unlock());
    (void)::write(pipeEnds[1], "g", 1);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
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

} // namespace
