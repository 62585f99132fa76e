#pragma once
// Another X client beside the program, for the tests and benchmarks that need one (a clipboard
// owner, a drag-and-drop peer): a connection of its own to the server, one window, the atoms it
// names, and a thread that serves it until the client is dropped.

// Xlib's "Display" is renamed so that it does not clash with the program's display interface.
#define Display XDisplay
#include <X11/Xlib.h>
#undef Display

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <poll.h>
#include <string>
#include <thread>

// A class that serves one from its thread declares it as its last member: the thread then ends
// before the members it uses go.
class OtherXClient {
public:
    // Connected to the server with its window, not mapped, at the given place; else not Connected().
    explicit OtherXClient(const std::string& server, int x = 0, int y = 0, unsigned width = 1, unsigned height = 1)
        : m_x(XOpenDisplay(server.c_str()))
    {
        if (m_x)
            m_window = XCreateSimpleWindow(m_x, DefaultRootWindow(m_x), x, y, width, height, 0, 0, WhitePixel(m_x, DefaultScreen(m_x)));
    }
    ~OtherXClient()
    {
        Stop();
        if (m_x)
            XCloseDisplay(m_x);
    }
    OtherXClient(const OtherXClient&) = delete;
    OtherXClient& operator=(const OtherXClient&) = delete;

    bool Connected() const { return m_x != nullptr; }
    XDisplay* Connection() const { return m_x; }
    Window OwnWindow() const { return m_window; }
    Atom Intern(const char* name) const { return XInternAtom(m_x, name, False); }
    // Makes the window the owner of the selection, before the program asks for it.
    void OwnSelection(const char* selection)
    {
        XSetSelectionOwner(m_x, Intern(selection), m_window, CurrentTime);
        XSync(m_x, False);
    }

    // Runs `serve` on a thread of its own, which returns once Stopping().
    void Serve(std::function<void()> serve) { m_thread = std::thread(std::move(serve)); }
    bool Stopping() const { return m_stop; }
    void Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    // The next event, or false once the client stops or `limit` has passed without one.
    bool NextEvent(XEvent& event, std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!m_stop) {
            if (XPending(m_x)) {
                XNextEvent(m_x, &event);
                return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            pollfd fd { ConnectionNumber(m_x), POLLIN, 0 };
            poll(&fd, 1, static_cast<int>(std::min<long long>(left.count(), 20)));
        }
        return false;
    }

private:
    XDisplay* m_x;
    Window m_window = 0;
    std::atomic<bool> m_stop { false };
    std::thread m_thread;
};
