// Termination signals: the request reaches the user-interface thread's call, the flag is up for
// work that checks it, and the last resort acts when the request is not taken or the end does not
// come in time.

#include "platform/sys/TerminationSignals.h"
#include "platform/base/tests/WaitUntil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>

namespace {

using std::chrono::milliseconds;

struct Watched {
    std::atomic<int> requested { 0 };
    std::atomic<int> lastResort { 0 };

    TerminationSignals::LastResort Resort(milliseconds grace, milliseconds endLimit)
    {
        return { grace, endLimit, [this](int signal) { lastResort = signal; } };
    }
    std::function<void(int)> OnRequest()
    {
        return [this](int signal) { requested = signal; };
    }
};

// A thread busy elsewhere never takes the request: the last resort acts, with the signal's number,
// and the flag tells the busy work to stop.
TEST(TerminationSignals, ARequestNobodyTakesEndsThroughTheLastResort)
{
    Watched watched;
    {
        TerminationSignals signals(watched.OnRequest(), watched.Resort(milliseconds(0), kWaitLimit));
        EXPECT_FALSE(TerminationRequested());
        ASSERT_EQ(::raise(SIGHUP), 0);
        EXPECT_TRUE(TerminationRequested());
        EXPECT_TRUE(WaitUntil([&] { return watched.lastResort.load() != 0; }));
        EXPECT_EQ(watched.lastResort.load(), SIGHUP);
        EXPECT_EQ(watched.requested.load(), 0);
    }
    EXPECT_FALSE(TerminationRequested()) << "a flag outliving the signals' owner";
}

// A request taken in time needs no last resort as long as the end comes within its limit; an end
// that does not come meets it.
TEST(TerminationSignals, ATakenRequestMeetsTheLastResortOnlyWhenTheEndDoesNotCome)
{
    for (const milliseconds endLimit : { kWaitLimit, milliseconds(0) }) {
        SCOPED_TRACE(endLimit.count());
        Watched watched;
        {
            TerminationSignals signals(watched.OnRequest(), watched.Resort(kWaitLimit, endLimit));
            ASSERT_EQ(::raise(SIGTERM), 0);
            signals.DeliverPending();
            EXPECT_EQ(watched.requested.load(), SIGTERM);
            if (endLimit == milliseconds(0)) {
                EXPECT_TRUE(WaitUntil([&] { return watched.lastResort.load() == SIGTERM; }));
            }
        }
        // The end has come: the watcher has gone, having acted or not.
        EXPECT_EQ(watched.lastResort.load(), endLimit == milliseconds(0) ? SIGTERM : 0);
    }
}

} // namespace
