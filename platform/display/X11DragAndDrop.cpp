// The XDND protocol for the X11 display: see X11DragAndDrop.h.

#include "platform/display/X11DragAndDrop.h"
#include "platform/display/Display.h"
#include "platform/display/X11Atoms.h"


#define Display XDisplay
#include <X11/Xatom.h>
#undef Display

#include <algorithm>
#include <chrono>
#include <poll.h>
#include <utility>

namespace {

constexpr int kVersion = 5;

} // namespace

X11DragAndDrop::X11DragAndDrop(XDisplay* x, Window root, Window messageWindow, Host& host)
    : m_x(x)
    , m_root(root)
    , m_messageWindow(messageWindow)
    , m_host(host)
{
    InternAtoms(m_x, { { &m_aware, "XdndAware" }, { &m_enter, "XdndEnter" }, { &m_position, "XdndPosition" },
        { &m_status, "XdndStatus" }, { &m_leave, "XdndLeave" }, { &m_drop, "XdndDrop" }, { &m_finished, "XdndFinished" },
        { &m_selection, "XdndSelection" }, { &m_typeList, "XdndTypeList" }, { &m_actionCopy, "XdndActionCopy" },
        { &m_actionMove, "XdndActionMove" }, { &m_utf8, "UTF8_STRING" }, { &m_textPlainUtf8, "text/plain;charset=utf-8" },
        { &m_textPlain, "text/plain" } });
}

bool X11DragAndDrop::IsTextTarget(Atom target) const
{
    return target == m_utf8 || target == m_textPlainUtf8 || target == m_textPlain;
}

void X11DragAndDrop::Send(Window to, Atom type, long l0, long l1, long l2, long l3, long l4)
{
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = to;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    const long data[] = { l0, l1, l2, l3, l4 };
    std::copy(std::begin(data), std::end(data), event.xclient.data.l);
    XSendEvent(m_x, to, False, NoEventMask, &event);
    XFlush(m_x);
}

Atom X11DragAndDrop::ActionAtom(DropAction action) const
{
    return action == DropAction::Move ? m_actionMove : action == DropAction::Copy ? m_actionCopy : None;
}

DropAction X11DragAndDrop::ActionFromAtom(Atom atom) const
{
    // Actions this program does not know (a link, "ask") are offered to it as a copy.
    return atom == m_actionMove ? DropAction::Move : atom == None ? DropAction::NoAction : DropAction::Copy;
}

// ---- target ---------------------------------------------------------------------------------

void X11DragAndDrop::AcceptDrops(Window window, bool accept)
{
    if (accept) {
        const long version = kVersion;
        XChangeProperty(m_x, window, m_aware, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&version), 1);
    } else {
        XDeleteProperty(m_x, window, m_aware);
    }
    XFlush(m_x);
}

Atom X11DragAndDrop::ChooseTextType(const XClientMessageEvent& enter) const
{
    std::vector<Atom> types;
    const Window source = static_cast<Window>(enter.data.l[0]);
    if (enter.data.l[1] & 1) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(m_x, source, m_typeList, 0, 1024, False, XA_ATOM, &type, &format, &count, &after, &data) == Success && data && format == 32) {
            const auto* atoms = reinterpret_cast<const Atom*>(data);
            types.assign(atoms, atoms + count);
        }
        if (data)
            XFree(data);
    } else {
        for (int i = 2; i < 5; ++i)
            if (enter.data.l[i])
                types.push_back(static_cast<Atom>(enter.data.l[i]));
    }
    for (Atom wanted : { m_utf8, m_textPlainUtf8 })
        if (std::ranges::find(types, wanted) != types.end())
            return wanted;
    return None;
}

bool X11DragAndDrop::HandleClientMessage(const XClientMessageEvent& message)
{
    const Atom type = message.message_type;
    const Window from = static_cast<Window>(message.data.l[0]);
    if (type == m_enter) {
        const int version = static_cast<int>((static_cast<unsigned long>(message.data.l[1]) >> 24) & 0xFF);
        m_incoming = Incoming { .source = from, .target = message.window, .version = std::min(version, kVersion), .textType = ChooseTextType(message) };
        return true;
    }
    if (type == m_position || type == m_drop || type == m_leave) {
        if (!m_incoming || m_incoming->source != from)
            return true; // a drag that never entered, or another's: nothing to answer for
        Incoming& drag = *m_incoming;
        if (type == m_leave) {
            if (drag.textType != None)
                m_host.PushEvent({ .kind = DisplayEventKind::DragLeave, .window = drag.target });
            m_incoming.reset();
        } else if (type == m_position) {
            const auto packed = static_cast<unsigned long>(message.data.l[2]);
            drag.proposed = ActionFromAtom(static_cast<Atom>(message.data.l[4]));
            if (drag.textType == None) {
                AnswerDragOver(drag.target, DropAction::NoAction);
            } else {
                drag.point = { static_cast<LONG>((packed >> 16) & 0xFFFF), static_cast<LONG>(packed & 0xFFFF) };
                m_host.PushEvent({ .kind = DisplayEventKind::DragOver, .window = drag.target, .screenPoint = drag.point, .action = drag.proposed });
            }
        } else {
            const Window target = drag.target;
            if (drag.textType == None || !drag.accepted) {
                if (drag.textType != None)
                    m_host.PushEvent({ .kind = DisplayEventKind::DragLeave, .window = target });
                FinishDrop(target, DropAction::NoAction);
                return true;
            }
            const Time time = drag.version >= 1 ? static_cast<Time>(message.data.l[2]) : CurrentTime;
            m_host.PushEvent({ .kind = DisplayEventKind::Drop, .window = target, .screenPoint = drag.point, .action = drag.proposed,
                .dropped = m_host.ReadDroppedText(m_selection, drag.textType, time) });
        }
        return true;
    }
    if (type == m_status) {
        if (m_outgoing && m_outgoing->target == from) {
            Outgoing& drag = *m_outgoing;
            drag.awaitingStatus = false;
            drag.accepted = (message.data.l[1] & 1) ? ActionFromAtom(static_cast<Atom>(message.data.l[4])) : DropAction::NoAction;
            if (drag.version < 2 && (message.data.l[1] & 1))
                drag.accepted = drag.wanted; // older targets name no action
            if (auto point = std::exchange(drag.unsentPosition, std::nullopt))
                SendPosition(*point);
        }
        return true;
    }
    if (type == m_finished) {
        if (m_outgoing && m_outgoing->target == from) {
            const bool accepted = m_outgoing->version < 5 || (message.data.l[1] & 1);
            m_outgoing->finished = !accepted ? DropAction::NoAction
                : m_outgoing->version < 5 ? m_outgoing->accepted
                                          : ActionFromAtom(static_cast<Atom>(message.data.l[2]));
        }
        return true;
    }
    return false;
}

void X11DragAndDrop::AnswerDragOver(Window window, DropAction action)
{
    if (!m_incoming || m_incoming->target != window)
        return;
    m_incoming->accepted = action != DropAction::NoAction;
    // Bit 1 asks for a position on every move: the answer depends on the place in the text.
    Send(m_incoming->source, m_status, static_cast<long>(window), (m_incoming->accepted ? 1 : 0) | 2, 0, 0, static_cast<long>(ActionAtom(action)));
}

void X11DragAndDrop::FinishDrop(Window window, DropAction action)
{
    if (!m_incoming || m_incoming->target != window)
        return;
    Send(m_incoming->source, m_finished, static_cast<long>(window), action != DropAction::NoAction ? 1 : 0, static_cast<long>(ActionAtom(action)));
    m_incoming.reset();
}

// ---- source ---------------------------------------------------------------------------------

void X11DragAndDrop::BeginDrag(const std::string& utf8)
{
    m_host.OwnSelectionText(m_selection, utf8);
    const Atom offered[] = { m_utf8, m_textPlainUtf8, m_textPlain };
    XChangeProperty(m_x, m_messageWindow, m_typeList, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(offered), 3);
    m_outgoing.reset();
    m_dragging = true;
}

int X11DragAndDrop::AwareVersion(Window window) const
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    int version = 0;
    if (XGetWindowProperty(m_x, window, m_aware, 0, 1, False, AnyPropertyType, &type, &format, &count, &after, &data) == Success && data && count == 1 && format == 32)
        version = static_cast<int>(*reinterpret_cast<const long*>(data));
    if (data)
        XFree(data);
    return version;
}

std::pair<Window, int> X11DragAndDrop::AwareWindowAt(POINT screen) const
{
    // Down from the root through the window manager's frame to the first window that says it
    // takes drops; one of ours on the way is ours to handle.
    Window window = m_root;
    for (int depth = 0; depth < 16; ++depth) {
        Window child = None;
        int x = 0, y = 0;
        if (!XTranslateCoordinates(m_x, m_root, window, screen.x, screen.y, &x, &y, &child) || child == None)
            return { None, 0 };
        window = child;
        if (m_host.IsOwnWindow(window))
            return { None, 0 };
        if (const int version = AwareVersion(window); version >= 3)
            return { window, std::min(version, kVersion) };
    }
    return { None, 0 };
}

void X11DragAndDrop::SendPosition(POINT screen)
{
    Outgoing& drag = *m_outgoing;
    if (drag.awaitingStatus) {
        drag.unsentPosition = screen; // one position at a time: the next goes with the answer
        return;
    }
    drag.awaitingStatus = true;
    const long packed = (static_cast<long>(screen.x & 0xFFFF) << 16) | (screen.y & 0xFFFF);
    Send(drag.target, m_position, static_cast<long>(m_messageWindow), 0, packed, static_cast<long>(m_host.LastTimestamp()), static_cast<long>(ActionAtom(drag.wanted)));
}

void X11DragAndDrop::LeaveTarget()
{
    if (m_outgoing)
        Send(m_outgoing->target, m_leave, static_cast<long>(m_messageWindow));
    m_outgoing.reset();
}

bool X11DragAndDrop::DragTo(POINT screen, DropAction wanted, DropAction& accepted)
{
    accepted = DropAction::NoAction;
    if (!m_dragging)
        return false;
    const auto [target, version] = AwareWindowAt(screen);
    if (!m_outgoing || m_outgoing->target != target) {
        LeaveTarget();
        if (target == None)
            return false;
        m_outgoing = Outgoing { .target = target, .version = version };
        Send(target, m_enter, static_cast<long>(m_messageWindow), static_cast<long>(version) << 24, static_cast<long>(m_utf8),
            static_cast<long>(m_textPlainUtf8), static_cast<long>(m_textPlain));
    }
    m_outgoing->wanted = wanted;
    SendPosition(screen);
    accepted = m_outgoing->accepted;
    return true;
}

void X11DragAndDrop::WaitForAnswer(const std::function<bool()>& answered, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!answered() && std::chrono::steady_clock::now() < deadline) {
        XEvent event;
        if (XCheckTypedWindowEvent(m_x, m_messageWindow, SelectionRequest, &event)) {
            m_host.AnswerSelectionRequest(event.xselectionrequest);
            continue;
        }
        if (XCheckTypedWindowEvent(m_x, m_messageWindow, ClientMessage, &event)) {
            HandleClientMessage(event.xclient);
            continue;
        }
        pollfd fd { ConnectionNumber(m_x), POLLIN, 0 };
        poll(&fd, 1, 20);
    }
}

DropAction X11DragAndDrop::EndDrag(bool drop)
{
    m_dragging = false;
    if (!m_outgoing)
        return DropAction::NoAction;
    // A release that comes before the answer to the last position waits for it: the target
    // decides on the place where the button was released.
    // A drop waits for the other program as a paste does: a third of that wait for the answer
    // to the last position, all of it for XdndFinished.
    if (drop)
        WaitForAnswer([this] { return !m_outgoing->awaitingStatus; }, static_cast<int>(SelectionWaitLimitMs() / 3));
    if (!drop || m_outgoing->awaitingStatus || m_outgoing->accepted == DropAction::NoAction) {
        LeaveTarget();
        return DropAction::NoAction;
    }
    Send(m_outgoing->target, m_drop, static_cast<long>(m_messageWindow), 0, static_cast<long>(m_host.LastTimestamp()));
    // The target reads the text and then says it is done; one that never says so counts as
    // having refused, so that a move deletes nothing.
    WaitForAnswer([this] { return m_outgoing->finished.has_value(); }, static_cast<int>(SelectionWaitLimitMs()));
    const DropAction done = m_outgoing->finished.value_or(DropAction::NoAction);
    m_outgoing.reset();
    return done;
}
