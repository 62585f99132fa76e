#pragma once
// Writes the text of a selection the program owns to the clients that ask for it. A text that
// fits in one request goes whole into the requestor's property; a larger one would exceed what
// the server takes in one request, so it goes by the incremental protocol: the property first
// announces the size (type INCR), and each time the requestor deletes the property the next chunk
// takes its place, ending with an empty one. The transfers run from the event loop, any number at
// once, each on the text as it was asked for (a selection that changes meanwhile changes only the
// later requests); a requestor whose window goes or that stops taking chunks is forgotten.

// Xlib's own "Display" type is renamed here, so that it does not clash with ours.
#define Display XDisplay
#include <X11/Xlib.h>
#undef Display

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class X11SelectionSender {
public:
    // How long a requestor may leave a chunk untaken before its transfer is dropped.
    static constexpr std::chrono::seconds kStallLimit { 30 };

    // isOwnWindow tells the program's own windows, whose event selection a transfer must not
    // change: any client may name one as the requestor.
    X11SelectionSender(XDisplay* x, std::function<bool(Window)> isOwnWindow);

    // Writes the text as `type` (format 8) into the requestor's property, or starts sending it
    // there in chunks; the caller then tells the requestor with SelectionNotify and flushes.
    // False, with nothing written, for a text that needs chunks to one of the program's windows.
    bool Send(Window requestor, Atom property, Atom type, std::shared_ptr<const std::string> text);

    // Takes the news a transfer waits for (a chunk taken, a requestor's window destroyed); false
    // for any other event.
    bool HandleEvent(const XEvent& event);

private:
    struct Transfer {
        Window requestor;
        Atom property;
        Atom type;
        std::shared_ptr<const std::string> text;
        std::size_t sent = 0;
        std::chrono::steady_clock::time_point lastNews;
    };

    // False once the empty chunk that ends the transfer is written.
    bool SendNextChunk(Transfer& transfer);
    // Drops the transfers of requestors that went quiet.
    void DropStalled();
    // Ends the event selection on a requestor's window once no transfer goes to it.
    void StopWatching(Window requestor);
    bool Receives(Window requestor) const;

    XDisplay* m_x;
    std::function<bool(Window)> m_isOwnWindow;
    Atom m_incr;
    // The largest text written whole, and the size of each chunk of a larger one.
    std::size_t m_chunkSize;
    std::vector<Transfer> m_transfers;
};
