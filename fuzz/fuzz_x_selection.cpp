// Reads text another X client offers, as that client can offer it: the CLIPBOARD and PRIMARY
// selections and the data of a drag dropped on a window of the program (XDND), answered with any
// type, format and length, refused, or sent in pieces (INCR), after any sequence of XDND messages
// with any fields. Each input drives one such exchange between the program's display and a peer
// on a private Xvfb server. Whatever the peer does, the program answers within its time limits,
// what it reads as text is the offered text bytes, decoded as all outside text is, and what is
// not text reads as none.

#include "fuzz/FuzzSupport.h"
#include "fuzz/PrivateXServer.h"
#include "platform/base/CString.h"
#include "platform/user/WinUser.h"
#include "platform/user/WindowTree.h"

#include <X11/Xatom.h>

#include <atomic>
#include <cairo.h>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <optional>
#include <poll.h>
#include <thread>
#include <vector>

namespace {

// What the peer answers to a request for a selection's content.
struct Offer {
    enum class Kind { Whole, Refused, Incremental } kind = Kind::Whole;
    Atom type = XA_STRING;
    int format = 8;
    std::string bytes;
    std::size_t piece = 1; // bytes per INCR piece
};

// The other client: owns CLIPBOARD, PRIMARY and XdndSelection on a window of its own and answers
// every request for them from its own thread, INCR pieces as the requestor deletes each.
class Peer {
public:
    Peer()
        : m_x(fuzz::PrivateXServer::Get().Peer())
    {
        m_window = XCreateSimpleWindow(m_x, DefaultRootWindow(m_x), 0, 0, 1, 1, 0, 0, 0);
        m_incr = XInternAtom(m_x, "INCR", False);
        m_utf8 = XInternAtom(m_x, "UTF8_STRING", False);
        for (const char* name : { "CLIPBOARD", "PRIMARY", "XdndSelection" })
            XSetSelectionOwner(m_x, XInternAtom(m_x, name, False), m_window, CurrentTime);
        XSync(m_x, False);
        m_thread = std::thread([this] { Serve(); });
    }
    ~Peer()
    {
        m_stop = true;
        m_thread.join();
        XDestroyWindow(m_x, m_window);
        XSync(m_x, False);
    }

    XDisplay* Connection() const { return m_x; }
    Window SourceWindow() const { return m_window; }
    Atom Utf8() const { return m_utf8; }
    Atom Incr() const { return m_incr; }

    void SetOffer(Offer offer)
    {
        std::lock_guard lock(m_mutex);
        m_offer = std::move(offer);
        // The pieces of an earlier offer the program gave up on are no longer sent.
        m_sending.reset();
    }
    // Sends a client message to a window of the program, from this client's thread's connection,
    // and returns once the server has passed it on.
    void Send(XClientMessageEvent message)
    {
        std::lock_guard lock(m_mutex);
        XEvent event {};
        event.xclient = message;
        XSendEvent(m_x, message.window, False, NoEventMask, &event);
        XSync(m_x, False);
    }

private:
    void Serve()
    {
        while (!m_stop) {
            std::unique_lock lock(m_mutex);
            while (XPending(m_x)) {
                XEvent event;
                XNextEvent(m_x, &event);
                if (event.type == SelectionRequest)
                    Answer(event.xselectionrequest);
                else if (event.type == PropertyNotify && event.xproperty.state == PropertyDelete)
                    NextPiece(event.xproperty);
            }
            lock.unlock();
            pollfd fd { ConnectionNumber(m_x), POLLIN, 0 };
            poll(&fd, 1, 10);
        }
    }
    void Answer(const XSelectionRequestEvent& request)
    {
        XSelectionEvent reply {};
        reply.type = SelectionNotify;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = None;
        m_sending.reset();
        if (m_offer.kind != Offer::Kind::Refused && request.property != None) {
            if (m_offer.kind == Offer::Kind::Incremental) {
                const long total = static_cast<long>(m_offer.bytes.size());
                XSelectInput(m_x, request.requestor, PropertyChangeMask);
                XChangeProperty(m_x, request.requestor, request.property, m_incr, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&total), 1);
                m_sending = Sending { request.requestor, request.property, 0 };
            } else {
                const std::size_t unit = m_offer.format == 32 ? sizeof(long) : static_cast<std::size_t>(m_offer.format / 8);
                XChangeProperty(m_x, request.requestor, request.property, m_offer.type, m_offer.format, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(m_offer.bytes.data()), static_cast<int>(m_offer.bytes.size() / unit));
            }
            reply.property = request.property;
        }
        XEvent event {};
        event.xselection = reply;
        XSendEvent(m_x, request.requestor, False, NoEventMask, &event);
        XFlush(m_x);
    }
    void NextPiece(const XPropertyEvent& deleted)
    {
        if (!m_sending || deleted.window != m_sending->requestor || deleted.atom != m_sending->property)
            return;
        const std::size_t at = m_sending->sent, count = std::min(m_offer.piece, m_offer.bytes.size() - at);
        XChangeProperty(m_x, deleted.window, deleted.atom, m_offer.type, 8, PropModeReplace, reinterpret_cast<const unsigned char*>(m_offer.bytes.data() + at),
            static_cast<int>(count));
        m_sending->sent += count;
        if (count == 0)
            m_sending.reset(); // the empty piece ends the transfer
        XFlush(m_x);
    }

    struct Sending {
        Window requestor;
        Atom property;
        std::size_t sent;
    };

    XDisplay* m_x;
    Window m_window = None;
    Atom m_incr = None, m_utf8 = None;
    std::mutex m_mutex;
    Offer m_offer;
    std::optional<Sending> m_sending;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

// A window of the program that takes dropped text.
class Target final : public DropTarget {
public:
    void DragEnter(const DragData&, DWORD, POINT, DWORD& effect) override { effect = DROPEFFECT_COPY; }
    void DragOver(DWORD, POINT, DWORD& effect) override { effect = DROPEFFECT_COPY; }
    void DragLeave() override {}
    void Drop(const DragData& data, DWORD, POINT, DWORD& effect) override
    {
        dropped = data.Text();
        effect = DROPEFFECT_COPY;
    }
    std::optional<std::wstring> dropped;
};

struct Program {
    std::unique_ptr<Display> previous;
    HWND window = nullptr;
    Target target;

    Program()
    {
        fuzz::PrivateXServer::Get();
        std::unique_ptr<Display> x11 = CreateX11Display();
        if (!x11)
            std::abort();
        previous = SetCurrentDisplay(std::move(x11));
        window = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 100, 100, 200, 200, nullptr, nullptr, nullptr, nullptr);
        RegisterDragDrop(window, &target);
        Pump();
    }
    ~Program()
    {
        RevokeDragDrop(window);
        DestroyWindow(window);
        SetCurrentDisplay(std::move(previous));
    }
    void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    // Handles every event the server sent before now: a request that waits for the server's answer
    // (reading a pixel of the screen) comes back after them, so they are all queued once it returns.
    void PumpAllSent()
    {
        cairo_surface_t* pixel = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
        CurrentDisplay().CaptureScreen(RECT { 0, 0, 1, 1 }, pixel);
        cairo_surface_destroy(pixel);
        Pump();
    }
};

Peer& ThePeer()
{
    static Peer peer;
    return peer;
}

Program& TheProgram()
{
    static Program program;
    return program;
}

Offer OfferFrom(fuzz::FuzzInput& in, Atom utf8, Atom incr)
{
    Offer offer;
    const std::uint8_t shape = in.Byte();
    offer.kind = (shape & 3) == 1 ? Offer::Kind::Refused : (shape & 3) == 2 ? Offer::Kind::Incremental : Offer::Kind::Whole;
    const Atom types[] = { utf8, XA_STRING, XA_INTEGER, incr };
    offer.type = types[(shape >> 2) & 3];
    offer.format = ((shape >> 4) & 3) == 1 ? 16 : ((shape >> 4) & 3) == 2 ? 32 : 8;
    offer.piece = 1 + in.Byte();
    std::string bytes(in.Rest());
    // Whole items of the format: format 32 items are longs in Xlib's hands.
    if (offer.format == 32) {
        std::string longs;
        for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
            std::uint32_t item;
            std::memcpy(&item, bytes.data() + i, 4);
            const long value = item;
            longs.append(reinterpret_cast<const char*>(&value), sizeof value);
        }
        offer.bytes = longs;
    } else {
        offer.bytes = bytes.substr(0, bytes.size() / (offer.format / 8) * (offer.format / 8));
    }
    return offer;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Program& program = TheProgram();
    Peer& peer = ThePeer();
    fuzz::FuzzInput in(data, size);
    const std::uint8_t route = in.Byte() % 3;
    std::vector<XClientMessageEvent> messages;
    if (route == 2) {
        // XDND messages to the program's window, their fields from the input; the first names the peer.
        static const char* const kTypes[] = { "XdndEnter", "XdndPosition", "XdndDrop", "XdndLeave" };
        for (int count = in.Byte() % 5; count > 0; --count) {
            XClientMessageEvent message {};
            message.type = ClientMessage;
            const std::uint8_t kind = in.Byte() % 4, flags = in.Byte();
            message.message_type = XInternAtom(peer.Connection(), kTypes[kind], False);
            message.format = 32;
            message.data.l[0] = static_cast<long>(flags & 1 ? peer.SourceWindow() : in.Number<std::uint32_t>());
            for (int i = 1; i < 5; ++i)
                message.data.l[i] = static_cast<long>(in.Number<std::uint32_t>());
            if (kind == 0 && (flags & 2))
                message.data.l[2] = static_cast<long>(peer.Utf8()); // an offer of text, whose atom no input can know
            messages.push_back(message);
        }
    }
    const Offer offer = OfferFrom(in, peer.Utf8(), peer.Incr());
    peer.SetOffer(offer);

    std::optional<std::wstring> read;
    if (route == 0 && OpenClipboard(nullptr)) {
        if (HANDLE text = GetClipboardData(CF_UNICODETEXT))
            read = static_cast<const wchar_t*>(GlobalLock(text));
        CloseClipboard();
    } else if (route == 1) {
        read = GetPrimarySelectionText();
    } else {
        program.target.dropped.reset();
        for (XClientMessageEvent message : messages) {
            message.window = static_cast<Window>(fln::user::FindWindowObject(program.window)->native);
            peer.Send(message);
            program.PumpAllSent();  // a drop reads its text before the pump ends
        }
    }
    // Text offered as the text it was asked for, whole or in pieces, reads back as those bytes
    // decoded; anything else (a number, atoms, items of 16 or 32 bits) reads as no text. Every
    // message was handled before the next was sent, so each drop that happened is checked; but a
    // drop names the source's time, and the server refuses a request of a time before the selection
    // was taken (an empty drop): only a drop that read something is compared.
    const bool text = offer.type == peer.Utf8() || offer.type == XA_STRING;
    const bool plain = text && (offer.kind == Offer::Kind::Incremental || (offer.kind == Offer::Kind::Whole && offer.format == 8));
    if (route == 2 && program.target.dropped && !program.target.dropped->empty())
        read = program.target.dropped;
    std::wstring expected = plain ? NarrowToWide(offer.bytes) : std::wstring();
    if (route != 1)
        expected.resize(std::wcslen(expected.c_str())); // the clipboard's text, like dropped text, ends at a NUL
    if (read && *read != expected)
        __builtin_trap();
    return 0;
}
