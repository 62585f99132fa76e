#pragma once

// Waiting in tests for what another thread or process does: by a deadline on the real clock,
// never by a count of tries. A machine that runs the whole suite beside other work can take many
// seconds to start a server or a program; a test that succeeds returns as soon as the condition
// holds, so the generous limit costs only a test that fails.

#include <chrono>
#include <thread>

// How long a test waits for another process or thread before it gives up.
inline constexpr std::chrono::milliseconds kWaitLimit = std::chrono::seconds(60);

// Calls `condition` until it returns true (then true), or until `limit` has passed (then false);
// `between` runs after each false answer (by default a short sleep).
template <class Condition, class Between>
bool WaitUntil(Condition&& condition, std::chrono::milliseconds limit, Between&& between)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        between();
    }
}

template <class Condition>
bool WaitUntil(Condition&& condition, std::chrono::milliseconds limit = kWaitLimit)
{
    return WaitUntil(condition, limit, [] { std::this_thread::sleep_for(std::chrono::milliseconds(10)); });
}
