#pragma once
// Window surfaces whose pixels the X server reads from shared memory (the MIT-SHM extension): a
// present costs the server one copy within its own memory instead of the pixels' trip through
// the socket. Used only on a local connection to a server that offers the extension and shows
// 24-bit colour in cairo's RGB24 layout; everywhere else the display keeps plain surfaces.

#include "platform/base/Geometry.h"

// Xlib's own "Display" type is renamed here, so that it does not clash with ours.
#define Display XDisplay
#include <X11/Xlib.h>
#undef Display

#include <cairo.h>

#include <set>

class X11SharedImages {
public:
    // `wanted` false leaves shared memory unused whatever the server offers.
    X11SharedImages(XDisplay* connection, bool wanted);
    // Surfaces still alive keep their pixels; the closing connection lets the server go of them.
    ~X11SharedImages();
    X11SharedImages(const X11SharedImages&) = delete;
    X11SharedImages& operator=(const X11SharedImages&) = delete;

    // An RGB24 surface in a segment the server has attached, or null when shared memory cannot be
    // used (the caller makes a plain surface then). Destroying the surface frees the segment.
    cairo_surface_t* CreateSurface(int width, int height);
    // Copies area of the surface to the drawable when the surface is one of ours, and returns once
    // the server has read the pixels; false for any other surface.
    bool Put(Drawable drawable, GC gc, cairo_surface_t* surface, const RECT& area);

private:
    struct Segment;

    XDisplay* m_x;
    bool m_usable = false;
    std::set<Segment*> m_live;
};
