#pragma once
// A session bus of a test's own: a dbus-daemon on a socket in a temporary folder, with the
// environment pointed at it (DBUS_SESSION_BUS_ADDRESS) and at temporary settings and data folders
// (XDG_CONFIG_HOME for the registry, XDG_DATA_HOME for the bus's service files), plus helpers to
// start and end server processes. The programs it starts, and those the test starts, get a runtime
// and a temporary folder of their own too (XDG_RUNTIME_DIR, TMPDIR): what else runs on the machine
// under the same user, another suite's programs among it, holds none of their locks and slots. Every
// wait is bounded, and every call a proxy makes meanwhile waits as long as the tests wait for anything.

#include "platform/base/tests/EndWithParent.h"
#include "platform/base/tests/RunCommand.h"
#include "platform/base/tests/WaitUntil.h"
#include "platform/com/DispatchProxy.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A child process whose standard output the test reads; ended (SIGTERM, then SIGKILL) when it goes.
// A quiet child's standard error goes nowhere.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv, bool quiet = false)
    {
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0)
            return;
        const pid_t parent = getpid();
        m_pid = fork();
        if (m_pid == 0) {
            EndWithParent(parent);
            dup2(fds[1], STDOUT_FILENO);
            if (int null = quiet ? open("/dev/null", O_WRONLY) : -1; null >= 0)
                dup2(null, STDERR_FILENO);
            std::vector<char*> args;
            for (const std::string& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execv(args[0], args.data());
            _exit(127);
        }
        close(fds[1]);
        m_output = fds[0];
    }
    ~ChildProcess()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            if (!WaitForExit(std::chrono::seconds(2))) {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, nullptr, 0);
            }
        }
        if (m_output >= 0)
            close(m_output);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }

    // The next line of output, or nothing when none comes within the time.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout)
    {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (size_t end = m_buffer.find('\n'); end != std::string::npos) {
                std::string line = m_buffer.substr(0, end);
                m_buffer.erase(0, end + 1);
                return line;
            }
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            pollfd fd{m_output, POLLIN, 0};
            if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0)
                return std::nullopt;
            char chunk[256];
            ssize_t n = read(m_output, chunk, sizeof chunk);
            if (n <= 0)
                return std::nullopt;
            m_buffer.append(chunk, static_cast<size_t>(n));
        }
    }

    bool WaitForExit(std::chrono::milliseconds limit)
    {
        if (!WaitUntil([&] { return waitpid(m_pid, &m_status, WNOHANG) == m_pid; }, limit))
            return false;
        m_pid = -1;
        return true;
    }

    // How the process ended (waitpid's status), once WaitForExit saw it end.
    int ExitStatus() const { return m_status; }

private:
    pid_t m_pid = -1;
    int m_status = -1;
    int m_output = -1;
    std::string m_buffer;
};

class PrivateBus {
public:
    PrivateBus()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "fln-bus-XXXXXX").string();
        m_root = ::mkdtemp(pattern.data());
        std::filesystem::create_directories(m_root + "/data/dbus-1/services");
        std::filesystem::create_directories(m_root + "/config");
        std::filesystem::create_directories(m_root + "/tmp");
        std::filesystem::create_directory(m_root + "/runtime");
        std::filesystem::permissions(m_root + "/runtime", std::filesystem::perms::owner_all);
        std::ofstream(m_root + "/bus.conf")
            << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
               " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
               "<busconfig>\n  <type>session</type>\n"
               "  <listen>unix:path=" << m_root << "/socket</listen>\n"
               "  <servicedir>" << m_root << "/data/dbus-1/services</servicedir>\n"
               // A program the bus starts may take long on a loaded machine: it has the tests' wait limit.
               "  <limit name=\"service_start_timeout\">" << kWaitLimit.count() << "</limit>\n"
               // Messages as large as the user's session bus lets through, so that servers meet them.
               "  <limit name=\"max_message_size\">1000000000</limit>\n"
               "  <policy context=\"default\">\n    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
               "    <allow eavesdrop=\"true\"/>\n    <allow own=\"*\"/>\n  </policy>\n</busconfig>\n";
        Save("DBUS_SESSION_BUS_ADDRESS");
        Save("XDG_CONFIG_HOME");
        Save("XDG_DATA_HOME");
        Save("XDG_RUNTIME_DIR");
        Save("TMPDIR");
        ::setenv("XDG_CONFIG_HOME", (m_root + "/config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (m_root + "/data").c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", (m_root + "/runtime").c_str(), 1);
        ::setenv("TMPDIR", (m_root + "/tmp").c_str(), 1);
        SetProxyCallTimeout(kWaitLimit);
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
        // Started after the environment is set, so that servers the bus starts share the folders.
        m_daemon.emplace(std::vector<std::string>{"/usr/bin/dbus-daemon", "--config-file=" + m_root + "/bus.conf",
                                                  "--print-address", "--nofork", "--nopidfile"},
                         true);
        if (auto address = m_daemon->ReadLine(kWaitLimit)) {
            m_address = *address;
            ::setenv("DBUS_SESSION_BUS_ADDRESS", m_address.c_str(), 1);
        }
    }
    ~PrivateBus()
    {
        m_daemon.reset();
        SetProxyCallTimeout(m_savedProxyCallTimeout);
        for (const auto& [name, value] : m_saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool running() const { return !m_address.empty(); }
    const std::string& address() const { return m_address; }
    std::string root() const { return m_root; }

private:
    void Save(const char* name)
    {
        const char* value = std::getenv(name);
        m_saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::string m_root;
    std::string m_address;
    std::optional<ChildProcess> m_daemon;
    const std::chrono::microseconds m_savedProxyCallTimeout = ProxyCallTimeout();
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// The process that owns `name` on the test's bus, 0 when none does.
inline pid_t BusNameOwner(const std::string& name)
{
    std::istringstream status(RunCommand(Busctl() + "status --no-pager " + name).output);
    for (std::string line; std::getline(status, line);)
        if (line.rfind("PID=", 0) == 0)
            return static_cast<pid_t>(std::strtol(line.c_str() + 4, nullptr, 10));
    return 0;
}
