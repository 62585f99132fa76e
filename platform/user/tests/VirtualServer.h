#pragma once
// An Xvfb server of a test's or a benchmark's own, and the checks that reach it: what the tests
// on a real X server and the start-up benchmark stand on.

#include "platform/base/tests/EndWithParent.h"
#include "platform/base/tests/FindProgram.h"
#include "platform/base/tests/WaitUntil.h"

// Xlib's "Display" is renamed so that it does not clash with the program's display interface.
#define Display XDisplay
#include <X11/Xlib.h>
#undef Display

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// An Xvfb server of our own, on the display number it picks (-displayfd).
class VirtualServer {
public:
    bool Start(const std::string& program)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        const pid_t parent = getpid();
        m_pid = fork();
        if (m_pid == 0) {
            EndWithParent(parent);
            close(fds[0]);
            std::string fd = std::to_string(fds[1]);
            execl(program.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // The server writes the number and the newline apart, and fails when the pipe is closed
        // between them: read up to the newline.
        std::string number;
        char buffer[16];
        while (number.find('\n') == std::string::npos && number.size() < 16) {
            ssize_t length = read(fds[0], buffer, sizeof buffer);
            if (length < 0 && errno == EINTR)
                continue;
            if (length <= 0)
                break;
            number.append(buffer, static_cast<size_t>(length));
        }
        close(fds[0]);
        if (number.empty() || number.back() != '\n')
            return false;
        number.pop_back();
        m_display = ":" + number;
        return true;
    }
    ~VirtualServer()
    {
        if (m_pid <= 0)
            return;
        // A server that takes the signal just before it starts waiting for clients sleeps on
        // (for minutes) before it ends: ask again until it has, and insist at last.
        kill(m_pid, SIGTERM);
        const bool ended = WaitUntil([&] { return waitpid(m_pid, nullptr, WNOHANG) == m_pid; }, std::chrono::seconds(5), [&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            kill(m_pid, SIGTERM);
        });
        if (ended)
            return;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    const std::string& Name() const { return m_display; }
    pid_t Pid() const { return m_pid; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

// Whether a connection to the display reaches the server of that process. A server that is ending
// gives up its display number (its lock file) before its listening sockets; a new server that takes
// the number over cannot bind the abstract socket the old one still holds, and clients reach the
// old one through it until it is gone.
inline bool DisplayIsServedBy(const std::string& name, pid_t server)
{
    XDisplay* connection = XOpenDisplay(name.c_str());
    if (!connection)
        return false;
    ucred peer {};
    socklen_t length = sizeof peer;
    const bool ours = getsockopt(ConnectionNumber(connection), SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.pid == server;
    XCloseDisplay(connection);
    return ours;
}

// A connection to the server once its display is served by it (a busy machine's server can take
// seconds to start); null when it never is.
inline XDisplay* ConnectWhenServing(const VirtualServer& server)
{
    XDisplay* connection = nullptr;
    WaitUntil([&] { return DisplayIsServedBy(server.Name(), server.Pid()) && (connection = XOpenDisplay(server.Name().c_str())); },
        kWaitLimit, [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
    return connection;
}
