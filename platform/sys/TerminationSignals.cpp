#include "platform/sys/TerminationSignals.h"

#include "platform/sys/WaitSources.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = { SIGTERM, SIGHUP, SIGINT };

// The write end of the pipe the handler reports on; -1 while no TerminationSignals lives.
volatile sig_atomic_t g_writeFd = -1;

void RestoreDefaults()
{
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
}

// Only async-signal-safe calls: the signal's number down the pipe.
void OnSignal(int signal)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (g_writeFd >= 0 && ::write(g_writeFd, &number, 1) < 0) {
        // A full pipe already holds a request: this one adds nothing.
    }
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onRequest) : m_onRequest(std::move(onRequest))
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;  // the signals keep their default: the program still ends, only without saving
    m_readFd = fds[0];
    g_writeFd = fds[1];
    m_source = std::make_unique<WaitSource>(m_readFd, [this] { DeliverPending(); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals()
{
    if (m_readFd < 0)
        return;
    RestoreDefaults();
    m_source.reset();
    const int writeFd = g_writeFd;
    g_writeFd = -1;
    ::close(writeFd);
    ::close(m_readFd);
}

void TerminationSignals::DeliverPending()
{
    if (m_readFd < 0)
        return;
    unsigned char number = 0;
    while (::read(m_readFd, &number, 1) == 1)
        m_onRequest(number);
}
