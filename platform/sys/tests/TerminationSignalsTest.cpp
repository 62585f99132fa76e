// Termination signals: the request reaches the user-interface thread's call, the flag is up for
// work that checks it, and the last resort acts when the request is not taken or the end does not
// come in time.

#include "platform/sys/TerminationSignals.h"
#include "platform/base/tests/WaitUntil.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <optional>
#include <string>

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

// FORMULON_END_WAIT_MS sets both limits when it is a whole number of milliseconds within ten
// minutes; anything else leaves the defaults.
TEST(TerminationSignals, TheChosenLimitsComeFromTheEnvironmentOnlyWhenValid)
{
    const TerminationLastResort defaults;
    const struct {
        std::optional<std::string> value;
        std::optional<milliseconds> taken;
    } cases[] = {
        { std::nullopt, std::nullopt },
        { "500", milliseconds(500) },
        { "600000", milliseconds(600000) },
        { "", std::nullopt },
        { "0", std::nullopt },
        { "-500", std::nullopt },
        { "600001", std::nullopt },
        { "500ms", std::nullopt },
        { " 500", std::nullopt },
        { "99999999999999999999999", std::nullopt },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value.value_or("(unset)"));
        std::optional<ScopedEnv> env;
        if (c.value)
            env.emplace("FORMULON_END_WAIT_MS", *c.value);
        else
            env.emplace("FORMULON_END_WAIT_MS");
        TerminationLastResort resort;
        resort.TakeChosenLimits();
        EXPECT_EQ(resort.grace, c.taken.value_or(defaults.grace));
        EXPECT_EQ(resort.endLimit, c.taken.value_or(defaults.endLimit));
    }
}

} // namespace
