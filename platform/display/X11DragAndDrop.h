#pragma once
// Drag and drop of text with other X programs (the XDND protocol, version 5). As a target, the
// program's top-level windows that take drops say so (XdndAware); another program's drag over
// them becomes DragOver, DragLeave and Drop display events, whose answers go back as XdndStatus
// and XdndFinished. As a source, a drag of the program's finds the XDND window under the pointer
// (looking inside window-manager frames), tells it of the drag, offers the text as the
// XdndSelection and waits a bounded time for the end of a drop.

#include "platform/display/Display.h"

// Xlib's own "Display" type is renamed here, so that it does not clash with ours.
#define Display XDisplay
#include <X11/Xlib.h>
#undef Display

#include <functional>
#include <memory>
#include <optional>
#include <string>

class X11DragAndDrop {
public:
    // What the display does for the protocol.
    class Host {
    public:
        virtual ~Host() = default;
        virtual void PushEvent(DisplayEvent event) = 0;
        virtual bool IsOwnWindow(Window window) const = 0;
        // Makes the program the selection's owner, offering the text.
        virtual void OwnSelectionText(Atom selection, const std::string& utf8) = 0;
        // Asks the selection's owner for the dropped text in target's form.
        virtual std::shared_ptr<SelectionRead> ReadDroppedText(Atom selection, Atom target, Time time) = 0;
        virtual void AnswerSelectionRequest(const XSelectionRequestEvent& request) = 0;
        virtual Time LastTimestamp() const = 0;
    };

    X11DragAndDrop(XDisplay* x, Window root, Window messageWindow, Host& host);

    // The text forms a drop is read in, and that a drag offers, best first.
    bool IsTextTarget(Atom target) const;

    // Target side.
    void AcceptDrops(Window window, bool accept);
    // Handles an XDND client message; false for any other.
    bool HandleClientMessage(const XClientMessageEvent& message);
    void AnswerDragOver(Window window, DropAction action);
    void FinishDrop(Window window, DropAction action);

    // Source side.
    void BeginDrag(const std::string& utf8);
    bool DragTo(POINT screen, DropAction wanted, DropAction& accepted);
    DropAction EndDrag(bool drop);

private:
    // Another program's drag over one of ours.
    struct Incoming {
        Window source = None;
        Window target = None;
        int version = 0;
        Atom textType = None; // None: the drag offers no text
        DropAction proposed = DropAction::NoAction;
        POINT point {}; // where the last position put the pointer
        bool accepted = false;
    };
    // Our drag over another program's window.
    struct Outgoing {
        Window target = None;
        int version = 0;
        bool awaitingStatus = false;
        std::optional<POINT> unsentPosition;
        DropAction wanted = DropAction::NoAction;
        DropAction accepted = DropAction::NoAction;
        std::optional<DropAction> finished;
    };

    void Send(Window to, Atom type, long l0, long l1 = 0, long l2 = 0, long l3 = 0, long l4 = 0);
    Atom ActionAtom(DropAction action) const;
    DropAction ActionFromAtom(Atom atom) const;
    Atom ChooseTextType(const XClientMessageEvent& enter) const;
    // The XDND window under a screen point and its version; None where it is one of ours or
    // where no window takes drops.
    std::pair<Window, int> AwareWindowAt(POINT screen) const;
    int AwareVersion(Window window) const;
    void SendPosition(POINT screen);
    void LeaveTarget();
    // Handles the other program's messages and its requests for the text until answered()
    // holds or timeoutMs have passed.
    void WaitForAnswer(const std::function<bool()>& answered, int timeoutMs);

    XDisplay* m_x;
    Window m_root;
    Window m_messageWindow;
    Host& m_host;
    Atom m_aware, m_enter, m_position, m_status, m_leave, m_drop, m_finished, m_selection, m_typeList;
    Atom m_actionCopy, m_actionMove, m_utf8, m_textPlainUtf8, m_textPlain;
    std::optional<Incoming> m_incoming;
    std::optional<Outgoing> m_outgoing;
    bool m_dragging = false;
};
