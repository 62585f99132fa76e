#pragma once
// Requests to end the program from outside: SIGTERM (a logout, a system shutdown), SIGHUP (its
// terminal closed) and SIGINT (Ctrl+C in it). By default each ends the process at once, losing
// what the normal close saves; while a TerminationSignals lives, each arrives instead as a call on
// the user-interface thread, through the message loop's wait sources (or DeliverPending, for a
// loop of the program's own that does not wait), so the program can save and end. Further
// requests arrive the same way, so a second signal never cuts the saving of the first short: the
// program must end without asking anything once it has one.

#include <functional>
#include <memory>

class WaitSource;

class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void(int signal)> onRequest);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // Makes the calls for the requests that have come, without waiting.
    void DeliverPending();

private:

    std::function<void(int)> m_onRequest;
    int m_readFd = -1;
    std::unique_ptr<WaitSource> m_source;
};
