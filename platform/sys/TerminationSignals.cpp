#include "platform/sys/TerminationSignals.h"

#include "platform/sys/WaitSources.h"

#include <charconv>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = { SIGTERM, SIGHUP, SIGINT };

// The write ends of the pipes the handler reports on (the message loop's and the last resort's);
// -1 while no TerminationSignals lives.
volatile sig_atomic_t g_writeFd = -1;
volatile sig_atomic_t g_watchWriteFd = -1;
volatile sig_atomic_t g_requested = 0;

void RestoreDefaults()
{
    for (int signal : kSignals)
        std::signal(signal, SIG_DFL);
}

void WriteNumber(int fd, unsigned char number)
{
    if (fd >= 0 && ::write(fd, &number, 1) < 0) {
        // A full pipe already holds a request: this one adds nothing.
    }
}

// Only async-signal-safe calls: the flag, and the signal's number down the pipes.
void OnSignal(int signal)
{
    const int savedErrno = errno;
    g_requested = 1;
    WriteNumber(g_writeFd, static_cast<unsigned char>(signal));
    WriteNumber(g_watchWriteFd, static_cast<unsigned char>(signal));
    errno = savedErrno;
}

// The number that tells the watching thread to go.
constexpr unsigned char kStopWatching = 0;

} // namespace

bool TerminationRequested() { return g_requested != 0; }

void TerminationLastResort::TakeChosenLimits()
{
    const char* chosen = std::getenv("FORMULON_END_WAIT_MS");
    if (!chosen)
        return;
    const char* end = chosen + std::strlen(chosen);
    unsigned long value = 0;
    const auto [stop, error] = std::from_chars(chosen, end, value);
    if (error != std::errc() || stop != end || value < 1 || value > 600'000)
        return;
    grace = endLimit = std::chrono::milliseconds(value);
}

TerminationSignals::TerminationSignals(std::function<void(int)> onRequest, LastResort lastResort)
    : m_onRequest(std::move(onRequest)), m_lastResort(std::move(lastResort))
{
    g_requested = 0;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;  // the signals keep their default: the program still ends, only without saving
    m_readFd = fds[0];
    g_writeFd = fds[1];
    m_source = std::make_unique<WaitSource>(m_readFd, [this] { DeliverPending(); });
    // The watching thread blocks on its pipe's read end; the handler's write end must not block.
    if (m_lastResort.act && ::pipe2(fds, O_CLOEXEC) == 0) {
        ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
        m_watchReadFd = fds[0];
        g_watchWriteFd = fds[1];
        m_watcher = std::thread([this] { Watch(); });
    }
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
    if (m_watcher.joinable()) {
        {
            std::lock_guard lock(m_mutex);
            m_ending = true;
        }
        m_changed.notify_all();
        WriteNumber(g_watchWriteFd, kStopWatching);
        m_watcher.join();
        const int watchWriteFd = g_watchWriteFd;
        g_watchWriteFd = -1;
        ::close(watchWriteFd);
        ::close(m_watchReadFd);
    }
    m_source.reset();
    g_requested = 0;
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
    while (::read(m_readFd, &number, 1) == 1) {
        {
            std::lock_guard lock(m_mutex);
            m_taken = true;
        }
        m_changed.notify_all();
        m_onRequest(number);
    }
}

// Waits for the first signal, then for the user-interface thread to take it and for the end; the
// last resort acts where either does not come in time.
void TerminationSignals::Watch()
{
    unsigned char signal = kStopWatching;
    while (::read(m_watchReadFd, &signal, 1) < 0 && errno == EINTR) {
    }
    if (signal == kStopWatching)
        return;
    std::unique_lock lock(m_mutex);
    if (!m_changed.wait_for(lock, m_lastResort.grace, [this] { return m_taken || m_ending; })
        || !m_changed.wait_for(lock, m_lastResort.endLimit, [this] { return m_ending; })) {
        lock.unlock();
        m_lastResort.act(signal);
    }
}
