#pragma once
// The real program on an X server of the test's own: finding its main window, waiting for a
// state on the server, and the window's picture for a failure to show.

#include "platform/base/WinTypes.h"

#include <gtest/gtest.h>

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"

#include <X11/Xatom.h>
#include <cairo.h>

#include "platform/base/tests/WaitUntil.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <sstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>

inline bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit = kWaitLimit)
{
    return WaitUntil(condition, limit);
}

inline std::string Utf8Property(XDisplay* x, Window window, const char* name)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(x, window, XInternAtom(x, name, False), 0, 1024, False, AnyPropertyType, &type, &format, &count, &after, &data) == Success && data) {
        text.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return text;
}

// The program's mapped main window: of its class, titled with its name (or another top-level window
// of the program's, by its title), other than `except`. A window manager puts top-level windows
// into frames of its own, so the search goes down the whole tree.
inline std::optional<Window> ProgramWindow(XDisplay* x, Window under = 0, const std::string& title = "Formulon 4.2", Window except = 0)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::optional<Window> found;
    if (!XQueryTree(x, under ? under : DefaultRootWindow(x), &root, &parent, &children, &count))
        return found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XClassHint hint {};
        XWindowAttributes attributes {};
        if (!XGetWindowAttributes(x, children[i], &attributes) || attributes.map_state != IsViewable || attributes.override_redirect)
            continue;
        if (XGetClassHint(x, children[i], &hint)) {
            if (std::string(hint.res_name) == "formulon" && Utf8Property(x, children[i], "_NET_WM_NAME") == title && children[i] != except)
                found = children[i];
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
        if (!found)
            found = ProgramWindow(x, children[i], title, except);
    }
    if (children)
        XFree(children);
    return found;
}

// A mapped pop-up of the program (an override-redirect window, such as a tip or a menu); 0 when none is.
inline Window ProgramPopup(XDisplay* x)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count))
        return 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XClassHint hint {};
        XWindowAttributes attributes {};
        if (!XGetWindowAttributes(x, children[i], &attributes) || attributes.map_state != IsViewable || !attributes.override_redirect)
            continue;
        if (XGetClassHint(x, children[i], &hint)) {
            if (std::string(hint.res_name) == "formulon")
                found = children[i];
            XFree(hint.res_name);
            XFree(hint.res_class);
        }
    }
    if (children)
        XFree(children);
    return found;
}

inline bool ProgramPopupMapped(XDisplay* x) { return ProgramPopup(x) != 0; }

// What /proc tells of a process now: its state (R running or waiting for a processor, S asleep...)
// and the processor time it has used so far, user and system, in clock ticks.
struct ProcessSample {
    char state = '?';
    long ticks = 0;
};

inline ProcessSample SampleProcess(pid_t process)
{
    std::ifstream file("/proc/" + std::to_string(process) + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ProcessSample sample;
    const size_t name = stat.rfind(')');
    if (name == std::string::npos)
        return sample;
    std::istringstream fields(stat.substr(name + 2));
    std::string field;
    long user = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 3)
            sample.state = field[0];
        if (i == 14)
            user = std::stol(field);
        if (i == 15)
            sample.ticks = user + std::stol(field);
    }
    return sample;
}

// The window's rectangle on the screen.
inline RECT ScreenRect(XDisplay* x, Window window)
{
    XWindowAttributes attributes {};
    XGetWindowAttributes(x, window, &attributes);
    int left = 0, top = 0;
    Window child = 0;
    XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &left, &top, &child);
    return { left, top, left + attributes.width, top + attributes.height };
}


// The window's picture as a PNG file in the temporary folder, for a failure to show.
inline std::string Screenshot(XDisplay* x, Window window, int width, int height, const std::string& name = "formulon-x11.png")
{
    XImage* image = XGetImage(x, window, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image)
        return {};
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    auto* rows = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
            reinterpret_cast<std::uint32_t*>(rows + row * stride)[col] = static_cast<std::uint32_t>(XGetPixel(image, col, row)) & 0xFFFFFF;
    cairo_surface_mark_dirty(surface);
    XDestroyImage(image);
    std::string path = ::testing::TempDir() + name;
    cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    return path;
}
