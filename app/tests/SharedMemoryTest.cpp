#include "app/SharedMemory.h"

#include "app/tests/HeldResultMutex.h"
#include "platform/sys/tests/HostileConditions.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <string>
#include <unistd.h>

namespace {

// Each test runs in a process of its own, next to the others: a name per process keeps their blocks apart.
const CString TestBlockName = CString(L"FormulonSharedMemoryTest") + std::to_wstring(getpid()).c_str();

TEST(SharedMemoryTest, AnotherUserOfTheNameReadsWhatWasWritten)
{
    CSharedMemory writer(CSharedMemory::ResultBlockSize, TestBlockName);
    EXPECT_TRUE(writer.IsCreator());
    EXPECT_EQ(writer.GetSize(), 512u);
    ASSERT_TRUE(writer.WriteText(L"x^2 = 4.0000  [1.000000000000000E+000]"));

    CSharedMemory reader(CSharedMemory::ResultBlockSize, TestBlockName);
    EXPECT_FALSE(reader.IsCreator());
    EXPECT_EQ(reader.ReadText(), CString(L"x^2 = 4.0000  [1.000000000000000E+000]"));

    writer.Close();
    EXPECT_FALSE(writer.WriteText(L"gone"));
    EXPECT_EQ(writer.GetSize(), 0u);
}

TEST(SharedMemoryTest, ALongTextIsCutToTheBlockWithItsEnd)
{
    CSharedMemory block(CSharedMemory::ResultBlockSize, TestBlockName);
    ASSERT_TRUE(block.WriteText(CString(L'7', 600)));
    EXPECT_EQ(block.ReadText(), CString(L'7', 255)) << "255 units and the terminating NUL fill 512 bytes";

    // A character outside the basic plane takes two units and is never split.
    CString text(L'a', 254);
    text += L'\U0001D70B';
    ASSERT_TRUE(block.WriteText(text));
    EXPECT_EQ(block.ReadText(), CString(L'a', 254));
    text = CString(L'a', 253) + L'\U0001D70B';
    ASSERT_TRUE(block.WriteText(text));
    EXPECT_EQ(block.ReadText(), text);
}

TEST(SharedMemoryTest, AWriteWaitsForAReaderThatHoldsTheMutex)
{
    CSharedMemory block(CSharedMemory::ResultBlockSize, TestBlockName);
    ASSERT_TRUE(block.WriteText(L"before"));
    {
        HeldResultMutex reader(TestBlockName);
        EXPECT_FALSE(block.WriteText(L"while held")) << "the write gives up rather than write under a reader";
    }
    EXPECT_EQ(block.ReadText(), CString(L"before"));
    EXPECT_TRUE(block.WriteText(L"after"));
    EXPECT_EQ(block.ReadText(), CString(L"after"));
}

TEST(SharedMemoryTest, ABlockShrunkByAnotherProcessIsLeftAlone)
{
    CSharedMemory block(CSharedMemory::ResultBlockSize, TestBlockName);
    ASSERT_TRUE(block.WriteText(L"1 + 1 = 2"));
    int other = ::open(SharedObjectPathOf(TestBlockName.GetString()).c_str(), O_RDWR);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::ftruncate(other, 0), 0);  // touching the view now would end the program
    EXPECT_FALSE(block.WriteText(L"2 + 2 = 4"));
    EXPECT_EQ(block.ReadText(), CString());
    ::close(other);
}

// A process of the user that shrinks and regrows the block without pause cannot end the program:
// each write and read either works or fails, whenever the truncation falls.
TEST(SharedMemoryTest, WritesSurviveAProcessThatTruncatesTheBlockAtAnyMoment)
{
    const pid_t writer = ::fork();
    if (writer == 0) {
        CSharedMemory block(CSharedMemory::ResultBlockSize, TestBlockName);
        const int fd = ::open(SharedObjectPathOf(TestBlockName.GetString()).c_str(), O_RDWR);
        if (fd < 0)
            ::_exit(3);
        const pid_t truncator = ::fork();
        if (truncator == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);  // the writer's death ends it too
            for (;;) {
                if (::ftruncate(fd, 0) != 0 || ::ftruncate(fd, CSharedMemory::ResultBlockSize) != 0)
                    ::_exit(4);
            }
        }
        int failed = 0;
        for (int i = 0; i < 20000; ++i) {
            failed += block.WriteText(L"6 * 7 = 42") ? 0 : 1;
            block.ReadText();
        }
        ::kill(truncator, SIGKILL);
        ::waitpid(truncator, nullptr, 0);
        ::_exit(failed > 0 ? 0 : 5);  // the truncations were met
    }
    int status = 0;
    ASSERT_EQ(::waitpid(writer, &status, 0), writer);
    // The writer made the block and ended without closing it: the name is removed as its close would.
    ::unlink(SharedObjectPathOf(TestBlockName.GetString()).c_str());
    ASSERT_FALSE(WIFSIGNALED(status)) << "the writer died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
