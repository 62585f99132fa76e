// Descriptors watched for lower layers: pumping, the combined descriptor the message loop waits on,
// and callbacks that are never entered twice.

#include "platform/sys/WaitSources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

// An eventfd that is readable after Signal() until Drain().
class Event {
public:
    Event() : m_fd(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~Event() { close(m_fd); }
    int fd() const { return m_fd; }
    void Signal() { uint64_t one = 1; EXPECT_EQ(write(m_fd, &one, sizeof one), 8); }
    void Drain() { uint64_t value; (void)!read(m_fd, &value, sizeof value); }

private:
    int m_fd;
};

bool Readable(int fd)
{
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) == 1;
}

TEST(WaitSources, PumpRunsTheCallbacksOfReadableSourcesOnly)
{
    EXPECT_FALSE(PumpWaitSources(0));
    Event first, second;
    int firstCalls = 0, secondCalls = 0;
    {
        WaitSource a(first.fd(), [&] { ++firstCalls; first.Drain(); });
        WaitSource b(second.fd(), [&] { ++secondCalls; second.Drain(); });
        EXPECT_TRUE(PumpWaitSources(0));
        EXPECT_EQ(firstCalls + secondCalls, 0);
        second.Signal();
        EXPECT_TRUE(PumpWaitSources(1000));
        EXPECT_EQ(firstCalls, 0);
        EXPECT_EQ(secondCalls, 1);
    }
    // Gone with their registrations.
    first.Signal();
    EXPECT_FALSE(PumpWaitSources(0));
    EXPECT_EQ(firstCalls, 0);
}

TEST(WaitSources, CombinedDescriptorWakesForTheLoopAndForEachSource)
{
    Event own, source;
    EXPECT_EQ(CombinedWaitFd(own.fd()), own.fd());  // nothing registered: the loop's own descriptor
    WaitSource watch(source.fd(), [&] { source.Drain(); });
    int combined = CombinedWaitFd(own.fd());
    EXPECT_NE(combined, own.fd());
    EXPECT_FALSE(Readable(combined));
    own.Signal();
    EXPECT_TRUE(Readable(combined));
    own.Drain();
    EXPECT_FALSE(Readable(combined));
    source.Signal();
    EXPECT_TRUE(Readable(combined));
    DispatchReadyWaitSources();
    EXPECT_FALSE(Readable(combined));
}

TEST(WaitSources, CallbackIsNotEnteredAgainWhileItRuns)
{
    Event event;
    int depth = 0, maxDepth = 0, calls = 0;
    WaitSource watch(event.fd(), [&] {
        ++calls;
        maxDepth = std::max(maxDepth, ++depth);
        DispatchReadyWaitSources();  // a nested message loop while still readable
        event.Drain();
        --depth;
    });
    event.Signal();
    DispatchReadyWaitSources();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(maxDepth, 1);
}

} // namespace
