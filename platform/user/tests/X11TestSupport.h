#pragma once
// Window tests on a real X server: an Xvfb of the test's own, a connection to it, and pixels
// read back from the server.

#include "platform/base/tests/RequirePrograms.h"
#include "platform/display/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/WinUser.h"

#include <gtest/gtest.h>

// After the test framework: Xlib defines names (None, Bool) that it uses.
#include "platform/user/tests/VirtualServer.h"

// Xlib's "Display" is renamed so that it does not clash with the program's display interface.
#define Display XDisplay
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Display

#include <cairo.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

// Connects to a server of the test's own, with retries (a busy machine's server can take seconds),
// starting another server when that one does not answer. A server that goes away under a test
// fails its writes rather than killing the test with SIGPIPE.
inline std::unique_ptr<Display> ConnectToNewServer(const std::string& xvfb, std::unique_ptr<VirtualServer>& server)
{
    std::signal(SIGPIPE, SIG_IGN);
    std::unique_ptr<Display> x11;
    for (int attempt = 0; attempt < 3 && !x11; ++attempt) {
        server = std::make_unique<VirtualServer>();
        if (!server->Start(xvfb))
            continue;
        setenv("DISPLAY", server->Name().c_str(), 1);
        WaitUntil([&] {
            if (DisplayIsServedBy(server->Name(), server->Pid()))
                x11 = CreateX11Display();
            return x11 != nullptr;
        }, kWaitLimit, [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
    }
    return x11;
}

inline COLORREF ServerPixel(XDisplay* connection, int x, int y)
{
    XImage* image = XGetImage(connection, DefaultRootWindow(connection), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return CLR_INVALID;
    unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

inline void DispatchWaitingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Runs `pump` until the condition holds, or until `limit` has passed on the real clock (false then).
inline bool PumpUntil(const std::function<bool()>& condition, const std::function<void()>& pump = DispatchWaitingMessages,
    std::chrono::milliseconds limit = kWaitLimit)
{
    pump();
    return WaitUntil(condition, limit, [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        pump();
    });
}

// The program gives up on another client's text after a few seconds. On a loaded machine an answer
// can take longer than that, so a test that reads one lengthens the wait to the tests' own limit,
// and a test that shows the giving up sets the program's few seconds again around it.
class ScopedSelectionWaitLimit {
public:
    explicit ScopedSelectionWaitLimit(std::chrono::milliseconds limit)
        : m_previous(SelectionWaitLimitMs())
    {
        SetSelectionWaitLimitMs(static_cast<std::uint32_t>(limit.count()));
    }
    ~ScopedSelectionWaitLimit() { SetSelectionWaitLimitMs(m_previous); }
    ScopedSelectionWaitLimit(const ScopedSelectionWaitLimit&) = delete;
    ScopedSelectionWaitLimit& operator=(const ScopedSelectionWaitLimit&) = delete;

    static std::chrono::milliseconds ProgramsOwn() { return std::chrono::milliseconds(kSelectionWaitLimitMs); }

private:
    std::uint32_t m_previous;
};

// The top-left width x height of the server's screen as "<name>.png" in the temporary folder, for a
// person to look at; returns its path (empty when the screen could not be read).
inline std::string WriteServerScreenshot(XDisplay* connection, const std::string& name, int width, int height)
{
    XImage* image = XGetImage(connection, DefaultRootWindow(connection), 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image)
        return {};
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    auto* rows = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reinterpret_cast<std::uint32_t*>(rows + y * stride)[x] = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
    cairo_surface_mark_dirty(surface);
    XDestroyImage(image);
    std::string path = (std::filesystem::temp_directory_path() / (name + ".png")).string();
    cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    return path;
}

// A test on an X server of its own: the program's display is connected to it for the test's life,
// `reader` is a second connection to read the server's pixels, and `xdotool` the program that
// gives the server real input. Skipped where Xvfb or xdotool is not installed.
class RealServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        xvfb = FindProgram("Xvfb");
        xdotool = FindProgram("xdotool");
        FLN_REQUIRE_PROGRAMS("Xvfb", "xdotool");
        std::unique_ptr<Display> x11 = ConnectToNewServer(xvfb, server);
        ASSERT_TRUE(x11) << (server ? server->Name() : std::string());
        previous = SetCurrentDisplay(std::move(x11));
        connected = true;
        reader = XOpenDisplay(server->Name().c_str());
        ASSERT_TRUE(reader);
    }
    void TearDown() override
    {
        if (reader)
            XCloseDisplay(reader);
        if (connected)
            SetCurrentDisplay(std::move(previous));
    }

    std::string xvfb, xdotool;
    std::unique_ptr<VirtualServer> server;
    XDisplay* reader = nullptr;

private:
    std::unique_ptr<Display> previous;
    bool connected = false;
};
