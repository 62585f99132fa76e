#pragma once
// Another client that owns a selection (CLIPBOARD or PRIMARY) with a short text and gives it to
// whoever asks, as another program's copy does. It owns the selection from its construction on,
// so a paste right after finds it, and it counts the requests it answered: the event a test that
// pastes waits for. The text goes in one property; texts beyond one request are not its job.

#include "platform/user/tests/OtherXClient.h"

#include <X11/Xatom.h>

#include <atomic>
#include <chrono>
#include <string>

class SelectionTextOwner {
public:
    SelectionTextOwner(const std::string& server, const char* selection, std::string text)
        : m_text(std::move(text))
        , m_client(server)
    {
        if (!m_client.Connected())
            return;
        m_targets = m_client.Intern("TARGETS");
        m_utf8 = m_client.Intern("UTF8_STRING");
        m_client.OwnSelection(selection);
        m_client.Serve([this] { Serve(); });
    }
    bool Connected() const { return m_client.Connected(); }
    // How many requests for the text it answered.
    int Answered() const { return m_answered; }

private:
    void Serve()
    {
        XDisplay* x = m_client.Connection();
        XEvent event;
        while (!m_client.Stopping()) {
            if (!m_client.NextEvent(event, std::chrono::milliseconds(100)) || event.type != SelectionRequest)
                continue;
            const XSelectionRequestEvent& request = event.xselectionrequest;
            // Requestors of old name no property: the target stands for it.
            const Atom property = request.property != 0 ? request.property : request.target;
            bool given = true;
            if (request.target == m_targets) {
                Atom offered[] { m_targets, m_utf8, XA_STRING };
                XChangeProperty(x, request.requestor, property, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(offered), 3);
            } else if (request.target == m_utf8 || request.target == XA_STRING) {
                XChangeProperty(x, request.requestor, property, request.target, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(m_text.data()), static_cast<int>(m_text.size()));
                ++m_answered;
            } else {
                given = false;
            }
            XSelectionEvent reply { SelectionNotify, 0, True, x, request.requestor, request.selection, request.target,
                given ? property : 0, request.time };
            XSendEvent(x, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
            XFlush(x);
        }
    }

    const std::string m_text;
    Atom m_targets = 0, m_utf8 = 0;
    std::atomic<int> m_answered { 0 };
    OtherXClient m_client; // last: see OtherXClient
};
