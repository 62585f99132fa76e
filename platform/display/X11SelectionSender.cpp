#include "platform/display/X11SelectionSender.h"

#include <algorithm>

namespace {

// Room for the ChangeProperty request's own fields (with the longer length of a big request).
constexpr long kRequestHeaderBytes = 32;

std::size_t LargestPropertyWrite(XDisplay* x)
{
    long units = XExtendedMaxRequestSize(x);
    if (units <= 0)
        units = XMaxRequestSize(x);
    return static_cast<std::size_t>(std::max(units * 4 - kRequestHeaderBytes, 4096L));
}

} // namespace

X11SelectionSender::X11SelectionSender(XDisplay* x, std::function<bool(Window)> isOwnWindow)
    : m_x(x)
    , m_isOwnWindow(std::move(isOwnWindow))
    , m_incr(XInternAtom(x, "INCR", False))
    , m_chunkSize(LargestPropertyWrite(x))
{
}

bool X11SelectionSender::Send(Window requestor, Atom property, Atom type, std::shared_ptr<const std::string> text)
{
    DropStalled();
    // A new request into the same property replaces the transfer that used it.
    auto same = std::find_if(m_transfers.begin(), m_transfers.end(),
        [&](const Transfer& t) { return t.requestor == requestor && t.property == property; });
    const bool replaced = same != m_transfers.end();
    if (replaced)
        m_transfers.erase(same);
    if (text->size() <= m_chunkSize) {
        XChangeProperty(m_x, requestor, property, type, 8, PropModeReplace, reinterpret_cast<const unsigned char*>(text->data()),
            static_cast<int>(text->size()));
        if (replaced)
            StopWatching(requestor);
        return true;
    }
    if (m_isOwnWindow(requestor))
        return false;
    // Watched before the announcement is written: the requestor may take it at once.
    XSelectInput(m_x, requestor, PropertyChangeMask | StructureNotifyMask);
    long size = static_cast<long>(text->size());
    XChangeProperty(m_x, requestor, property, m_incr, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&size), 1);
    m_transfers.push_back({ requestor, property, type, std::move(text), 0, std::chrono::steady_clock::now() });
    return true;
}

bool X11SelectionSender::HandleEvent(const XEvent& event)
{
    if (event.type == DestroyNotify) {
        const Window gone = event.xdestroywindow.window;
        const bool had = Receives(gone);
        std::erase_if(m_transfers, [&](const Transfer& t) { return t.requestor == gone; });
        return had;
    }
    if (event.type != PropertyNotify || event.xproperty.state != PropertyDelete)
        return false;
    auto transfer = std::find_if(m_transfers.begin(), m_transfers.end(),
        [&](const Transfer& t) { return t.requestor == event.xproperty.window && t.property == event.xproperty.atom; });
    if (transfer == m_transfers.end())
        return false;
    if (!SendNextChunk(*transfer)) {
        const Window requestor = transfer->requestor;
        m_transfers.erase(transfer);
        StopWatching(requestor);
    }
    DropStalled();
    XFlush(m_x);
    return true;
}

bool X11SelectionSender::SendNextChunk(Transfer& transfer)
{
    const std::size_t length = std::min(m_chunkSize, transfer.text->size() - transfer.sent);
    XChangeProperty(m_x, transfer.requestor, transfer.property, transfer.type, 8, PropModeReplace,
        reinterpret_cast<const unsigned char*>(transfer.text->data() + transfer.sent), static_cast<int>(length));
    transfer.sent += length;
    transfer.lastNews = std::chrono::steady_clock::now();
    // The empty chunk ends the transfer: nothing more is asked for.
    return length > 0;
}

void X11SelectionSender::DropStalled()
{
    const auto now = std::chrono::steady_clock::now();
    std::vector<Window> dropped;
    std::erase_if(m_transfers, [&](const Transfer& t) {
        const bool stalled = now - t.lastNews > kStallLimit;
        if (stalled)
            dropped.push_back(t.requestor);
        return stalled;
    });
    for (Window requestor : dropped)
        StopWatching(requestor);
}

void X11SelectionSender::StopWatching(Window requestor)
{
    if (!Receives(requestor))
        XSelectInput(m_x, requestor, NoEventMask);
}

bool X11SelectionSender::Receives(Window requestor) const
{
    return std::any_of(m_transfers.begin(), m_transfers.end(), [&](const Transfer& t) { return t.requestor == requestor; });
}
