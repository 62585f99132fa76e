#pragma once
// A window manager (openbox) on a test's own X server, for the tests where the window manager
// takes part: placing, maximising, restoring and the work area. It runs until the object goes.

#include "platform/base/tests/EndWithParent.h"
#include "platform/user/tests/VirtualServer.h"

#define Display XDisplay
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef Display

#include <array>
#include <cstdlib>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

class WindowManager {
public:
    // Starts openbox on the server; false when it is not installed or never finishes starting.
    // The window manager takes over the screen (and announces itself) before it is ready to
    // manage windows: a window mapped in between is never managed, so a test waits for the
    // command openbox runs once it has started.
    bool Start(const VirtualServer& server)
    {
        const std::string program = FindProgram("openbox"), touch = FindProgram("touch");
        char folder[] = "/tmp/fln-openbox-XXXXXX";
        if (program.empty() || touch.empty() || !mkdtemp(folder))
            return false;
        m_folder = folder;
        const std::string startup = touch + " " + ReadyFile();
        // Not before the display is our server's (see ConnectWhenServing).
        XDisplay* x = ConnectWhenServing(server);
        if (!x)
            return false;
        XCloseDisplay(x);
        const pid_t parent = getpid();
        m_pid = fork();
        if (m_pid == 0) {
            EndWithParent(parent);
            setenv("DISPLAY", server.Name().c_str(), 1);
            if (int null = open("/dev/null", O_WRONLY); null >= 0) {
                dup2(null, STDOUT_FILENO);
                dup2(null, STDERR_FILENO);
            }
            execl(program.c_str(), "openbox", "--sm-disable", "--startup", startup.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        bool died = false;
        const bool ready = WaitUntil([&] {
            died = waitpid(m_pid, nullptr, WNOHANG) == m_pid;
            return died || access(ReadyFile().c_str(), F_OK) == 0;
        });
        if (died)
            m_pid = -1;
        return ready && !died;
    }
    ~WindowManager()
    {
        if (!m_folder.empty()) {
            unlink(ReadyFile().c_str());
            rmdir(m_folder.c_str());
        }
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        if (WaitUntil([&] { return waitpid(m_pid, nullptr, WNOHANG) == m_pid; }, std::chrono::seconds(5)))
            return;
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }

    // A panel along the top of the screen, `height` pixels tall, that the window manager keeps
    // out of the work area (a dock window with a strut); it lives as long as the connection.
    static Window AddTopPanel(XDisplay* x, int height)
    {
        const int width = DisplayWidth(x, DefaultScreen(x));
        XSetWindowAttributes attributes {};
        attributes.background_pixel = 0x404040;
        Window panel = XCreateWindow(x, DefaultRootWindow(x), 0, 0, width, height, 0, CopyFromParent, InputOutput, CopyFromParent,
            CWBackPixel, &attributes);
        Atom dock = XInternAtom(x, "_NET_WM_WINDOW_TYPE_DOCK", False);
        XChangeProperty(x, panel, XInternAtom(x, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
            reinterpret_cast<unsigned char*>(&dock), 1);
        long strut[12] = { 0, 0, height, 0, 0, 0, 0, 0, 0, width - 1, 0, 0 };
        XChangeProperty(x, panel, XInternAtom(x, "_NET_WM_STRUT_PARTIAL", False), XA_CARDINAL, 32, PropModeReplace,
            reinterpret_cast<unsigned char*>(strut), 12);
        XChangeProperty(x, panel, XInternAtom(x, "_NET_WM_STRUT", False), XA_CARDINAL, 32, PropModeReplace,
            reinterpret_cast<unsigned char*>(strut), 4);
        XSizeHints place {}; // at the top, not where the window manager would put a new window
        place.flags = USPosition;
        XSetWMNormalHints(x, panel, &place);
        XMapWindow(x, panel);
        XSync(x, False);
        return panel;
    }

    // The work area the window manager announces (_NET_WORKAREA of the first desktop), as
    // left, top, right, bottom; the whole screen while it announces none.
    static std::array<long, 4> WorkArea(XDisplay* x)
    {
        std::array<long, 4> area { 0, 0, DisplayWidth(x, DefaultScreen(x)), DisplayHeight(x, DefaultScreen(x)) };
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(x, DefaultRootWindow(x), XInternAtom(x, "_NET_WORKAREA", False), 0, 4, False, XA_CARDINAL, &type,
                &format, &count, &after, &data) == Success && data && count >= 4) {
            const long* values = reinterpret_cast<const long*>(data);
            area = { values[0], values[1], values[0] + values[2], values[1] + values[3] };
        }
        if (data)
            XFree(data);
        return area;
    }

private:
    std::string ReadyFile() const { return m_folder + "/started"; }

    pid_t m_pid = -1;
    std::string m_folder; // where openbox marks that it has started
};
