// The message loop watches the descriptors lower layers register and runs their callbacks on the
// loop's own thread.

#include "UserTestSupport.h"

#include "platform/sys/WaitSources.h"

#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace {

using WaitSourceLoop = UserTest;

TEST_F(WaitSourceLoop, GetMessageRunsReadySourcesOnTheLoopThread)
{
    int fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    ASSERT_GE(fd, 0);
    std::thread::id callbackThread;
    WaitSource source(fd, [&] {
        uint64_t value;
        (void)!read(fd, &value, sizeof value);
        callbackThread = std::this_thread::get_id();
        PostQuitMessage(3);
    });
    // A far timer bounds the wait: it would come first if the source were not watched.
    UINT_PTR guard = SetTimer(nullptr, 0, 60000, nullptr);
    std::thread([fd] {
        uint64_t one = 1;
        (void)!write(fd, &one, sizeof one);
    }).join();

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0))
        ASSERT_NE(message.message, static_cast<UINT>(WM_TIMER)) << "the source was not dispatched";
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_EQ(callbackThread, std::this_thread::get_id());
    KillTimer(nullptr, guard);
    close(fd);
}

} // namespace
