// Reading another client's selection as its events arrive: see X11SelectionReceiver.h.

#include "platform/display/X11SelectionReceiver.h"

#include <X11/Xatom.h>

#include <cstring>
#include <string>

class X11SelectionReceiver::Read final : public SelectionRead {
public:
    Read(std::shared_ptr<XDisplay*> connection, Window window, Atom property, Atom target, Atom incr, Atom utf8)
        : m_connection(std::move(connection))
        , m_x(*m_connection)
        , m_window(window)
        , m_property(property)
        , m_target(target)
        , m_incr(incr)
        , m_utf8(utf8)
    {
    }
    ~Read() override
    {
        if (!*m_connection)
            return;
        XDestroyWindow(m_x, m_window);
        XFlush(m_x);
    }

    bool Finished() const override { return m_stage == Stage::Finished; }
    std::optional<std::string> Text() const override { return Finished() ? m_text : std::nullopt; }

    void Answered(const XSelectionEvent& answer)
    {
        if (m_stage != Stage::AwaitingAnswer)
            return;
        if (answer.property == None)
            return Finish(std::nullopt);
        std::optional<Value> value = TakeValue();
        if (!value)
            return Finish(std::nullopt);
        if (value->type == m_incr) {
            // Taking the announcement asked for the first chunk.
            long lowerBound = 0;
            if (value->format == 32 && value->bytes.size() >= sizeof lowerBound)
                std::memcpy(&lowerBound, value->bytes.data(), sizeof lowerBound);
            if (static_cast<unsigned long>(lowerBound) > kSelectionLimit)
                return Finish(std::nullopt);
            m_stage = Stage::Chunks;
            m_text.emplace();
            return;
        }
        Finish(IsText(*value) ? std::optional(std::move(value->bytes)) : std::nullopt);
    }

    // A chunk taken asks for the next; an empty one ends the text, and a stray one ends the
    // read with no text at all, never a part of it.
    void PropertyChanged(const XPropertyEvent& change)
    {
        // The owner's writing of its answer comes before the answer: no news of a chunk.
        if (m_stage != Stage::Chunks || change.atom != m_property || change.state != PropertyNewValue)
            return;
        std::optional<Value> chunk = TakeValue();
        if (!chunk || (!chunk->bytes.empty() && (!IsText(*chunk) || chunk->bytes.size() > kSelectionLimit - m_text->size())))
            return Finish(std::nullopt);
        if (chunk->bytes.empty())
            return Finish(std::move(m_text));
        *m_text += chunk->bytes;
    }

private:
    enum class Stage { AwaitingAnswer, Chunks, Finished };
    struct Value {
        Atom type = None;
        int format = 0;
        std::string bytes; // as Xlib gives them: items of 16 and 32 bits in shorts and longs
    };

    void Finish(std::optional<std::string> text)
    {
        m_text = std::move(text);
        m_stage = Stage::Finished;
    }

    // Takes the property off the read's window; nothing when it is missing or longer than a
    // selection may be.
    std::optional<Value> TakeValue()
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::optional<Value> value;
        if (XGetWindowProperty(m_x, m_window, m_property, 0, kSelectionLimit / 4, False, AnyPropertyType, &type, &format, &count, &after, &data) == Success
            && type != None && after == 0) {
            const std::size_t itemSize = format == 8 ? 1 : format == 16 ? sizeof(short) : sizeof(long);
            value = Value { type, format, data ? std::string(reinterpret_cast<char*>(data), count * itemSize) : std::string() };
        }
        if (data)
            XFree(data);
        XDeleteProperty(m_x, m_window, m_property);
        XFlush(m_x);
        return value;
    }

    // Only bytes of the text form asked for, or of the two plain ones, are text: an owner's
    // number or list of atoms is not.
    bool IsText(const Value& value) const
    {
        return value.format == 8 && (value.type == m_target || value.type == m_utf8 || value.type == XA_STRING);
    }

    std::shared_ptr<XDisplay*> m_connection;
    XDisplay* m_x;
    Window m_window;
    Atom m_property, m_target, m_incr, m_utf8;
    Stage m_stage = Stage::AwaitingAnswer;
    std::optional<std::string> m_text;
};

X11SelectionReceiver::X11SelectionReceiver(XDisplay* x, Window root)
    : m_connection(std::make_shared<XDisplay*>(x))
    , m_root(root)
    , m_property(XInternAtom(x, "FLN_SELECTION", False))
    , m_incr(XInternAtom(x, "INCR", False))
    , m_utf8(XInternAtom(x, "UTF8_STRING", False))
{
}

X11SelectionReceiver::~X11SelectionReceiver()
{
    *m_connection = nullptr;
}

std::shared_ptr<SelectionRead> X11SelectionReceiver::Start(Atom selection, Atom target, Time time)
{
    std::erase_if(m_reads, [](const auto& entry) { return entry.second.expired(); });
    XSetWindowAttributes attributes {};
    attributes.override_redirect = True;
    attributes.event_mask = PropertyChangeMask; // the chunks of an incremental answer
    XDisplay* x = *m_connection;
    const Window window = XCreateWindow(x, m_root, -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent,
        CWOverrideRedirect | CWEventMask, &attributes);
    auto read = std::make_shared<Read>(m_connection, window, m_property, target, m_incr, m_utf8);
    m_reads[window] = read;
    XConvertSelection(x, selection, target, m_property, window, time);
    XFlush(x);
    return read;
}

bool X11SelectionReceiver::HandleEvent(const XEvent& event)
{
    if (event.type != SelectionNotify && event.type != PropertyNotify)
        return false;
    const Window window = event.type == SelectionNotify ? event.xselection.requestor : event.xproperty.window;
    auto it = m_reads.find(window);
    if (it == m_reads.end())
        return false;
    // A read let go of is answered into nothing.
    if (std::shared_ptr<Read> read = it->second.lock()) {
        if (event.type == SelectionNotify)
            read->Answered(event.xselection);
        else
            read->PropertyChanged(event.xproperty);
    }
    return true;
}

bool X11SelectionReceiver::IsReadWindow(Window window) const
{
    return m_reads.contains(window);
}
