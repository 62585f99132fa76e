#include "platform/com/SessionBusLibrary.h"

#include <atomic>
#include <cerrno>

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
