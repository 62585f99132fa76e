#pragma once
// An Xvfb server of a fuzz target's own, with $DISPLAY pointed at it and a connection of another
// client to it (the program's peer). Made on first use and ended at exit.

#include "platform/display/Display.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/user/tests/X11TestSupport.h"

#include <cstdlib>
#include <memory>

namespace fuzz {

class PrivateXServer {
public:
    static PrivateXServer& Get()
    {
        static PrivateXServer server;
        return server;
    }

    XDisplay* Peer() const { return m_peer; }

private:
    PrivateXServer()
    {
        const std::string xvfb = FindProgram("Xvfb");
        std::unique_ptr<Display> first = xvfb.empty() ? nullptr : ConnectToNewServer(xvfb, m_server);
        if (!first || !(m_peer = XOpenDisplay(m_server->Name().c_str())))
            std::abort();
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    }
    ~PrivateXServer() { XCloseDisplay(m_peer); }

    std::unique_ptr<VirtualServer> m_server;
    XDisplay* m_peer = nullptr;
};

} // namespace fuzz
