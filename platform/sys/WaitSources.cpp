#include "platform/sys/WaitSources.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/timerfd.h>
#include <unistd.h>
#include <vector>

namespace {

struct Source {
    int fd;
    std::shared_ptr<std::function<void()>> onReadable;
    std::shared_ptr<bool> running;
};

// The registered sources and one epoll descriptor that holds them (and the loop's own descriptor).
class Registry {
public:
    // Never destroyed, so that sources that live until the program ends can still unregister.
    static Registry& Instance()
    {
        static Registry* registry = new Registry;
        return *registry;
    }

    void Add(int fd, std::function<void()> onReadable)
    {
        std::lock_guard lock(m_mutex);
        m_sources.push_back({fd, std::make_shared<std::function<void()>>(std::move(onReadable)), std::make_shared<bool>(false)});
        Watch(fd);
    }

    void Remove(int fd)
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_sources, [&](const Source& s) { return s.fd == fd; });
        if (m_epoll >= 0)
            epoll_ctl(m_epoll, EPOLL_CTL_DEL, fd, nullptr);
    }

    int Combined(int ownFd)
    {
        std::lock_guard lock(m_mutex);
        if (m_sources.empty())
            return ownFd;
        if (ownFd != m_ownFd) {
            if (m_ownFd >= 0 && m_epoll >= 0)
                epoll_ctl(m_epoll, EPOLL_CTL_DEL, m_ownFd, nullptr);
            m_ownFd = ownFd;
            Watch(ownFd);
        }
        return m_epoll >= 0 ? m_epoll : ownFd;
    }

    bool Empty()
    {
        std::lock_guard lock(m_mutex);
        return m_sources.empty();
    }

    // Each ready source is called outside the lock, so that a callback may add or remove sources.
    void DispatchReady()
    {
        std::vector<Source> ready;
        {
            std::lock_guard lock(m_mutex);
            std::vector<pollfd> fds;
            for (const Source& s : m_sources)
                fds.push_back({s.fd, POLLIN, 0});
            if (fds.empty() || poll(fds.data(), fds.size(), 0) <= 0)
                return;
            for (size_t i = 0; i < fds.size(); ++i)
                if (fds[i].revents && !*m_sources[i].running)
                    ready.push_back(m_sources[i]);
        }
        for (Source& s : ready) {
            *s.running = true;
            (*s.onReadable)();
            *s.running = false;
        }
    }

private:
    Registry() = default;

    void Watch(int fd)
    {
        if (m_epoll < 0)
            m_epoll = epoll_create1(EPOLL_CLOEXEC);
        if (m_epoll < 0 || fd < 0)
            return;
        epoll_event event{};
        event.events = EPOLLIN;
        event.data.fd = fd;
        epoll_ctl(m_epoll, EPOLL_CTL_ADD, fd, &event);
    }

    std::mutex m_mutex;
    std::vector<Source> m_sources;
    int m_epoll = -1;
    int m_ownFd = -1;
};

} // namespace

WaitSource::WaitSource(int fd, std::function<void()> onReadable) : m_fd(fd)
{
    Registry::Instance().Add(fd, std::move(onReadable));
}

WaitSource::~WaitSource() { Registry::Instance().Remove(m_fd); }

int CombinedWaitFd(int ownFd) { return Registry::Instance().Combined(ownFd); }

void DispatchReadyWaitSources() { Registry::Instance().DispatchReady(); }

bool PumpWaitSources(int timeoutMs)
{
    Registry& registry = Registry::Instance();
    if (registry.Empty())
        return false;
    pollfd fd{registry.Combined(-1), POLLIN, 0};
    poll(&fd, 1, timeoutMs);
    registry.DispatchReady();
    return true;
}

WaitTimer::WaitTimer(unsigned milliseconds, std::function<void()> onElapsed)
    : m_fd(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)), m_onElapsed(std::move(onElapsed))
{
    if (m_fd < 0)
        return;
    itimerspec when {};
    when.it_value.tv_sec = milliseconds / 1000;
    when.it_value.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L + (milliseconds == 0 ? 1 : 0);
    timerfd_settime(m_fd, 0, &when, nullptr);
    m_source = std::make_unique<WaitSource>(m_fd, [this] {
        uint64_t expirations = 0;
        if (read(m_fd, &expirations, sizeof expirations) == sizeof expirations && m_onElapsed)
            std::exchange(m_onElapsed, nullptr)();
    });
}

WaitTimer::~WaitTimer()
{
    m_source.reset();
    if (m_fd >= 0)
        close(m_fd);
}
