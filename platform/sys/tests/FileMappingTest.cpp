#include "platform/sys/FileMapping.h"

#include "platform/base/CString.h"
#include "platform/base/ErrorCodes.h"
#include "platform/base/tests/WaitUntil.h"
#include "platform/sys/Mutex.h"
#include "HostileConditions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <cstring>
#include <sched.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>
#include <unistd.h>

namespace {

std::wstring UniqueName(const wchar_t* stem) { return stem + std::to_wstring(::getpid()); }

// Waits for a child for at most the time given; kills it and reports failure after that.
bool ChildSucceeded(pid_t child, std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(FileMapping, ANameIsOneBlockUntilItsLastHandleAndViewGo)
{
    std::wstring name = UniqueName(L"Local\\mapping test ");
    EXPECT_EQ(OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    HANDLE first = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 512, name.c_str());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    auto* written = static_cast<wchar_t*>(MapViewOfFile(first, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(written[0], L'\0');  // a new block is zeroed
    std::wcscpy(written, L"1 + 1 = 2");

    // Asking for a bigger block of the same name opens the existing one at its own size.
    HANDLE second = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name.c_str());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(MapViewOfFile(second, FILE_MAP_READ, 0, 0, 4096), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    HANDLE reader = OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str());
    ASSERT_NE(reader, nullptr);
    auto* read = static_cast<const wchar_t*>(MapViewOfFile(reader, FILE_MAP_READ, 0, 0, 512));
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(read, L"1 + 1 = 2");
    EXPECT_EQ(MapViewOfFile(reader, FILE_MAP_WRITE, 0, 0, 0), nullptr);  // opened for reading only
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    // A view keeps the block alive after every handle is closed...
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_TRUE(CloseHandle(reader));
    EXPECT_FALSE(CloseHandle(reader));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    HANDLE again = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(CloseHandle(again));
    EXPECT_TRUE(UnmapViewOfFile(written));
    EXPECT_STREQ(read, L"1 + 1 = 2");
    EXPECT_TRUE(UnmapViewOfFile(read));
    EXPECT_FALSE(UnmapViewOfFile(read));

    // ...and once the last one goes, the name makes a fresh block.
    EXPECT_EQ(OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
    HANDLE fresh = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 512, name.c_str());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    auto* zeroed = static_cast<const wchar_t*>(MapViewOfFile(fresh, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(zeroed, nullptr);
    EXPECT_EQ(zeroed[0], L'\0');
    EXPECT_TRUE(UnmapViewOfFile(zeroed));
    EXPECT_TRUE(CloseHandle(fresh));
}

TEST(FileMapping, ABlockLeftByAProcessThatEndedWithoutClosingItIsGone)
{
    std::wstring name = UniqueName(L"left behind ");
    // A process writes into the block and ends without unmapping or closing it.
    auto leaveBehind = [&] {
        pid_t child = ::fork();
        if (child == 0) {
            HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 512, name.c_str());
            auto* view = mapping ? static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
            if (view) std::strcpy(view, "stale");
            ::_exit(view ? 0 : 1);
        }
        return child > 0 && ChildSucceeded(child, kWaitLimit);
    };

    ASSERT_TRUE(leaveBehind());
    EXPECT_EQ(OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    ASSERT_TRUE(leaveBehind());
    HANDLE fresh = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 512, name.c_str());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    auto* view = static_cast<const char*>(MapViewOfFile(fresh, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view[0], '\0');
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_TRUE(CloseHandle(fresh));
}

TEST(FileMapping, NamesThatLookAlikeAreDifferentBlocks)
{
    std::wstring base = UniqueName(L"look-alike ");
    const std::wstring names[] = { base + L"a/b", base + L"a_b", base + L"a\\b", base + L"a\u00e9b",
                                   base + std::wstring(200, L'x') + L"1", base + std::wstring(200, L'x') + L"2" };
    std::vector<HANDLE> handles;
    for (const std::wstring& name : names) {
        handles.push_back(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 64, name.c_str()));
        ASSERT_NE(handles.back(), nullptr) << WideToUtf8(name);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << WideToUtf8(name);
    }
    for (HANDLE handle : handles) EXPECT_TRUE(CloseHandle(handle));
}

TEST(FileMapping, BadRequestsFailWithTheirErrors)
{
    std::wstring name = UniqueName(L"bad requests ");
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 2 * kFileMappingGranularity,
                                        name.c_str());
    ASSERT_NE(mapping, nullptr);
    HANDLE readOnly = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 64, nullptr);
    ASSERT_NE(readOnly, nullptr);
    auto notAHandle = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(12345));

    struct Case {
        const char* what;
        HANDLE (*call)(HANDLE mapping, HANDLE readOnly, HANDLE other, const wchar_t* name);
        LONG error;
    };
    const Case cases[] = {
        { "a real file", [](HANDLE, HANDLE, HANDLE other, const wchar_t* n) {
              return CreateFileMappingW(other, nullptr, PAGE_READWRITE, 0, 64, n); }, ERROR_INVALID_HANDLE },
        { "no size", [](HANDLE, HANDLE, HANDLE, const wchar_t* n) {
              return CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0, n); }, ERROR_INVALID_PARAMETER },
        { "an unknown protection", [](HANDLE, HANDLE, HANDLE, const wchar_t* n) {
              return CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, 0x40, 0, 64, n); }, ERROR_INVALID_PARAMETER },
        { "opening without a name", [](HANDLE, HANDLE, HANDLE, const wchar_t*) {
              return OpenFileMappingW(FILE_MAP_READ, FALSE, L""); }, ERROR_INVALID_PARAMETER },
        { "a view of no mapping", [](HANDLE, HANDLE, HANDLE other, const wchar_t*) {
              return static_cast<HANDLE>(MapViewOfFile(other, FILE_MAP_READ, 0, 0, 0)); }, ERROR_INVALID_HANDLE },
        { "a view off the boundary", [](HANDLE m, HANDLE, HANDLE, const wchar_t*) {
              return static_cast<HANDLE>(MapViewOfFile(m, FILE_MAP_READ, 0, 4096, 0)); }, ERROR_MAPPED_ALIGNMENT },
        { "a view past the end", [](HANDLE m, HANDLE, HANDLE, const wchar_t*) {
              return static_cast<HANDLE>(MapViewOfFile(m, FILE_MAP_READ, 0, kFileMappingGranularity, kFileMappingGranularity + 1)); },
          ERROR_ACCESS_DENIED },
        { "a view starting at the end", [](HANDLE m, HANDLE, HANDLE, const wchar_t*) {
              return static_cast<HANDLE>(MapViewOfFile(m, FILE_MAP_READ, 0, 2 * kFileMappingGranularity, 0)); },
          ERROR_ACCESS_DENIED },
        { "writing a read-only mapping", [](HANDLE, HANDLE r, HANDLE, const wchar_t*) {
              return static_cast<HANDLE>(MapViewOfFile(r, FILE_MAP_WRITE, 0, 0, 0)); }, ERROR_ACCESS_DENIED },
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(c.call(mapping, readOnly, notAHandle, name.c_str()), nullptr) << c.what;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(c.error)) << c.what;
    }

    // The second granule maps on its own; a private copy leaves the block alone.
    auto* second = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, kFileMappingGranularity, 0));
    ASSERT_NE(second, nullptr);
    second[0] = 'w';
    auto* copy = static_cast<char*>(MapViewOfFile(mapping, FILE_MAP_COPY, 0, kFileMappingGranularity, 16));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy[0], 'w');
    copy[0] = 'c';
    EXPECT_EQ(second[0], 'w');
    EXPECT_TRUE(UnmapViewOfFile(copy));
    EXPECT_TRUE(UnmapViewOfFile(second));
    EXPECT_TRUE(CloseHandle(readOnly));
    EXPECT_TRUE(CloseHandle(mapping));
}

TEST(FileMapping, TwoProcessesCountUpTogetherUnderTheNamedMutex)
{
    std::wstring name = UniqueName(L"shared counter ");
    std::wstring mutexName = UniqueName(L"shared counter guard ");
    constexpr int kRounds = 3000;
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(long), name.c_str());
    ASSERT_NE(mapping, nullptr);

    // Reads, yields and writes back: without the mutex the two processes would lose updates.
    auto countUp = [&](volatile long* counter) {
        CMutex guard(FALSE, mutexName.c_str());
        for (int round = 0; round < kRounds; ++round) {
            if (!guard.Lock(10000)) return false;
            long seen = *counter;
            ::sched_yield();
            *counter = seen + 1;
            guard.Unlock();
        }
        return true;
    };

    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HANDLE own = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
        auto* counter = own ? static_cast<volatile long*>(MapViewOfFile(own, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
        ::_exit(counter && countUp(counter) ? 0 : 1);
    }
    auto* counter = static_cast<volatile long*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_NE(counter, nullptr);
    EXPECT_TRUE(countUp(counter));
    EXPECT_TRUE(ChildSucceeded(child, kWaitLimit));
    EXPECT_EQ(*counter, 2 * kRounds);
    EXPECT_TRUE(UnmapViewOfFile(const_cast<long*>(counter)));
    EXPECT_TRUE(CloseHandle(mapping));
}

// Where the block of that name lives, learnt by making it once (it goes with its last handle).
std::string ObjectNameOf(const std::wstring& name)
{
    HANDLE probe = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 512, name.c_str());
    std::string path = SharedObjectPathOf(name);
    CloseHandle(probe);
    return path.empty() ? path : path.substr(std::strlen("/dev/shm"));
}

TEST(FileMapping, AnObjectOthersCanOpenIsNeverAdopted)
{
    const std::wstring name = UniqueName(L"squatted");
    const std::string object = ObjectNameOf(name);
    ASSERT_FALSE(object.empty());

    // This user's own object, but one that every user may read and write.
    int open = ::shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
    ASSERT_GE(open, 0);
    ::fchmod(open, 0666);
    ::ftruncate(open, 512);
    ::flock(open, LOCK_SH);  // in use, so it is not taken for one left behind
    EXPECT_EQ(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 512, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ::close(open);
    ::shm_unlink(object.c_str());

    // Another user's object of the name, made before this user's program started.
    auto squatted = RunAsNobody([&] {
        int fd = ::shm_open(object.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
        return fd >= 0 && ::ftruncate(fd, 512) == 0;
    });
    if (!squatted) GTEST_SKIP() << "needs to run as root to act as a second user";
    ASSERT_TRUE(*squatted);
    int theirs = ::shm_open(object.c_str(), O_RDWR, 0);
    ASSERT_GE(theirs, 0);
    ::flock(theirs, LOCK_SH);
    EXPECT_EQ(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 512, name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    ::close(theirs);
    ::shm_unlink(object.c_str());
}

TEST(FileMapping, AViewTellsWhenItsObjectWasShrunk)
{
    const std::wstring name = UniqueName(L"shrunk");
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 512, name.c_str());
    ASSERT_NE(mapping, nullptr);
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(IsViewOfFileWhole(view));

    int other = ::open(SharedObjectPathOf(name).c_str(), O_RDWR);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::ftruncate(other, 0), 0);
    EXPECT_FALSE(IsViewOfFileWhole(view));
    // The kernel's copies meet the missing page as an error, where touching it would raise SIGBUS.
    char bytes[8] = "6*7=42";
    EXPECT_FALSE(CopyIntoView(view, bytes, sizeof bytes));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ADDRESS));
    EXPECT_FALSE(CopyOutOfView(bytes, view, sizeof bytes));
    ASSERT_EQ(::ftruncate(other, 512), 0);
    EXPECT_TRUE(IsViewOfFileWhole(view));
    ASSERT_TRUE(CopyIntoView(view, bytes, sizeof bytes));
    char back[8] = {};
    ASSERT_TRUE(CopyOutOfView(back, view, sizeof back));
    EXPECT_STREQ(back, "6*7=42");
    ::close(other);

    EXPECT_FALSE(IsViewOfFileWhole(static_cast<char*>(view) + 1));  // not a view's start
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_TRUE(CloseHandle(mapping));
}

} // namespace
