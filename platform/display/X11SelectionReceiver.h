#pragma once
// Reads another client's selection without holding up the event loop. Each read asks the owner
// for the text on a window of its own and takes the answer as its events arrive: whole, or by
// the incremental protocol (the property first announces the size, type INCR, and each chunk
// taken by deleting the property brings the next, until an empty one ends the text). A read the
// caller lets go of takes its window along, so that a late owner's chunks land nowhere and never
// in a later read. Reads set no time limit of their own: the caller decides how long to wait.

#include "platform/display/Display.h"

// Xlib's own "Display" type is renamed here, so that it does not clash with ours.
#define Display XDisplay
#include <X11/Xlib.h>
#undef Display

#include <cstddef>
#include <map>
#include <memory>

class X11SelectionReceiver {
public:
    // A selection read from another program is refused whole beyond this size.
    static constexpr std::size_t kSelectionLimit = std::size_t(64) << 20;

    X11SelectionReceiver(XDisplay* x, Window root);
    // Before the connection closes: reads that outlive it have no window left to take along.
    ~X11SelectionReceiver();
    X11SelectionReceiver(const X11SelectionReceiver&) = delete;
    X11SelectionReceiver& operator=(const X11SelectionReceiver&) = delete;

    // Asks the selection's owner for its text in target's form (UTF8_STRING, text/plain...).
    std::shared_ptr<SelectionRead> Start(Atom selection, Atom target, Time time);

    // Takes the news of a read under way (its answer, a chunk); false for any other event.
    bool HandleEvent(const XEvent& event);
    // Whether the window is one a read receives on.
    bool IsReadWindow(Window window) const;

private:
    class Read;

    // Shared with the reads; null once the receiver is gone.
    std::shared_ptr<XDisplay*> m_connection;
    Window m_root;
    Atom m_property, m_incr, m_utf8;
    std::map<Window, std::weak_ptr<Read>> m_reads;
};
