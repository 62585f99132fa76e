#include "platform/com/SessionBusLibrary.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

// Never destroyed: classes published until the program ends still reach the bus while it ends.
SessionBusLibrary& SystemLibrary()
{
    static auto* library = new SessionBusLibrary("libsystemd.so.0");
    return *library;
}

std::atomic<SessionBusLibrary*> g_replacement = nullptr;

SessionBusLibrary& LibraryInUse()
{
    SessionBusLibrary* replacement = g_replacement.load(std::memory_order_acquire);
    return replacement ? *replacement : SystemLibrary();
}

// The socket file where the session bus would be, as sd_bus_open_user() finds it: the address's
// path when the address names one Unix socket by path in plain characters, or the runtime folder's
// "bus" when no address is set. Empty for anything else (alternatives, other transports, escaped
// characters, no runtime folder), which only the library can judge.
std::string SessionBusSocket()
{
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
        std::string_view rest(address);
        if (!rest.starts_with("unix:") || rest.find_first_of(";%") != std::string_view::npos)
            return {};
        rest.remove_prefix(5);
        while (!rest.empty()) {
            const std::string_view entry = rest.substr(0, rest.find(','));
            if (entry.starts_with("path="))
                return std::string(entry.substr(5));
            rest.remove_prefix(std::min(rest.size(), entry.size() + 1));
        }
        return {};
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime ? std::string(runtime) + "/bus" : std::string();
}

}

bool SessionBusLibrary::Load()
{
    std::call_once(m_loaded, [this] {
        bool complete = true;
        // Every function is looked up, so that a table is either complete or never used.
#define FLN_RESOLVE_SESSION_BUS_FUNCTION(name) complete = m_library.resolve(m_functions.name, "sd_bus_" #name) && complete;
        FLN_ENUMERATE_SESSION_BUS_FUNCTIONS(FLN_RESOLVE_SESSION_BUS_FUNCTION)
#undef FLN_RESOLVE_SESSION_BUS_FUNCTION
        m_complete = complete;
    });
    return m_complete;
}

const SessionBusFunctions& SessionBus() { return LibraryInUse().functions(); }

int OpenUserBus(sd_bus** bus)
{
    // Where the bus's socket is missing, connecting would fail as it does here: the library and
    // the six it needs are not loaded only to find that out.
    if (const std::string socket = SessionBusSocket(); !socket.empty() && access(socket.c_str(), F_OK) != 0 && errno == ENOENT) {
        *bus = nullptr;
        return -ENOENT;
    }
    SessionBusLibrary& library = LibraryInUse();
    if (!library.Load()) {
        *bus = nullptr;
        return -ENOMEDIUM;
    }
    return library.functions().open_user(bus);
}

ScopedSessionBusLibrary::ScopedSessionBusLibrary(SessionBusLibrary& library)
    : m_previous(g_replacement.exchange(&library, std::memory_order_acq_rel))
{
}

ScopedSessionBusLibrary::~ScopedSessionBusLibrary() { g_replacement.store(m_previous, std::memory_order_release); }
