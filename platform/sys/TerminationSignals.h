#pragma once
// Requests to end the program from outside: SIGTERM (a logout, a system shutdown), SIGHUP (its
// terminal closed) and SIGINT (Ctrl+C in it). By default each ends the process at once, losing
// what the normal close saves; while a TerminationSignals lives, each arrives instead as a call on
// the user-interface thread, through the message loop's wait sources (or DeliverPending, for a
// loop of the program's own that does not wait), so the program can save and end. Further
// requests arrive the same way, so a second signal never cuts the saving of the first short: the
// program must end without asking anything once it has one.
//
// A thread busy in a long piece of work takes no message: from the signal on, TerminationRequested
// is true, for the work's own stop checks (a running script's) to end it early. Where the work
// checks nothing, the last resort ends the process from a thread of its own: when the request has
// not been taken within its grace, or the end has not come within its end limit after that.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class WaitSource;

// The last resort of an end asked from outside, acting from a thread of its own.
struct TerminationLastResort {
    // From the signal to the call on the user-interface thread.
    std::chrono::milliseconds grace { 3000 };
    // From that call to the destruction of the TerminationSignals, the program's end.
    std::chrono::milliseconds endLimit { 10000 };
    // Runs on the watching thread with the first signal's number; it is to end the process (_exit),
    // and to touch what the busy thread holds only through its own locks. None: no last resort.
    std::function<void(int signal)> act;

    // Sets both limits to FORMULON_END_WAIT_MS's milliseconds (1 to 600000) where it is set, for
    // tests: longer where a loaded machine must not bring the last resort to a program that ends
    // on its own, shorter where the last resort is what a test checks. Other values change nothing.
    void TakeChosenLimits();
};

class TerminationSignals {
public:
    using LastResort = TerminationLastResort;

    explicit TerminationSignals(std::function<void(int signal)> onRequest, LastResort lastResort = {});
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // Makes the calls for the requests that have come, without waiting.
    void DeliverPending();

private:
    void Watch();

    std::function<void(int)> m_onRequest;
    int m_readFd = -1;
    std::unique_ptr<WaitSource> m_source;

    LastResort m_lastResort;
    int m_watchReadFd = -1;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_taken = false;
    bool m_ending = false;
    std::thread m_watcher;
};

// True once a termination signal has come while a TerminationSignals lives. Safe on any thread.
bool TerminationRequested();
