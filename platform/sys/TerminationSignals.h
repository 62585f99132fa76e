#pragma once
// Requests to end the program from outside: SIGTERM (a logout, a system shutdown), SIGHUP (its
// terminal closed) and SIGINT (Ctrl+C in it). By default each ends the process at once, losing
// what the normal close saves; while a TerminationSignals lives, each arrives instead as a call on
// the user-interface thread, through the message loop's wait sources, so the program can close as
// if the user had closed it. A second request after the first ends the process as before, so a
// close that hangs or asks a question cannot keep the program alive against the user's will.

#include <functional>
#include <memory>

class WaitSource;

class TerminationSignals {
public:
    explicit TerminationSignals(std::function<void(int signal)> onRequest);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void Deliver();

    std::function<void(int)> m_onRequest;
    int m_readFd = -1;
    std::unique_ptr<WaitSource> m_source;
};
