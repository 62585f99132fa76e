#pragma once
// libsystemd's sd-bus, opened when the layer first needs the session bus instead of linked into
// the program: the library and the six it depends on would otherwise be loaded and relocated at
// every start, while the program reaches the bus only after its first paint.
//
// Connections are opened only through OpenUserBus(), which loads the library. Everything else
// calls through SessionBus(): a connection or a message exists only once the table is complete,
// so code that holds one finds every function there.

#include "platform/sys/SharedLibrary.h"

#include <mutex>
#include <systemd/sd-bus.h>

// Every sd-bus function the layer calls, without its "sd_bus_" prefix.
#define FLN_ENUMERATE_SESSION_BUS_FUNCTIONS(F) \
    F(open_user)                               \
    F(get_fd)                                  \
    F(process)                                 \
    F(flush)                                   \
    F(flush_close_unref)                       \
    F(add_fallback)                            \
    F(slot_unref)                              \
    F(request_name)                            \
    F(release_name)                            \
    F(send)                                    \
    F(call)                                    \
    F(reply_method_return)                     \
    F(reply_method_errorf)                     \
    F(error_has_name)                          \
    F(error_free)                              \
    F(track_new)                               \
    F(track_add_sender)                        \
    F(track_unref)                             \
    F(message_new_method_call)                 \
    F(message_new_method_return)               \
    F(message_unref)                           \
    F(message_set_expect_reply)                \
    F(message_get_type)                        \
    F(message_get_path)                        \
    F(message_get_interface)                   \
    F(message_get_member)                      \
    F(message_get_sender)                      \
    F(message_is_method_call)                  \
    F(message_get_signature)                   \
    F(message_has_signature)                   \
    F(message_append)                          \
    F(message_append_basic)                    \
    F(message_append_array)                    \
    F(message_append_strv)                     \
    F(message_open_container)                  \
    F(message_close_container)                 \
    F(message_enter_container)                 \
    F(message_exit_container)                  \
    F(message_peek_type)                       \
    F(message_at_end)                          \
    F(message_read)                            \
    F(message_read_basic)                      \
    F(message_read_array)                      \
    F(message_read_strv)                       \
    F(message_rewind)

// The functions as the library's header declares them; variadic ones keep their variadic type.
struct SessionBusFunctions {
#define FLN_SESSION_BUS_POINTER(name) decltype(::sd_bus_##name)* name = nullptr;
    FLN_ENUMERATE_SESSION_BUS_FUNCTIONS(FLN_SESSION_BUS_POINTER)
#undef FLN_SESSION_BUS_POINTER
};

// A library file that provides the functions, opened and resolved on the first Load().
class SessionBusLibrary {
public:
    explicit SessionBusLibrary(const char* fileName)
        : m_library(fileName)
    {
    }
    SessionBusLibrary(const SessionBusLibrary&) = delete;
    SessionBusLibrary& operator=(const SessionBusLibrary&) = delete;

    // True when the library opened and has every function; the first call's answer stands.
    bool Load();
    const SessionBusFunctions& functions() const { return m_functions; }

private:
    fln::sys::SharedLibrary m_library;
    std::once_flag m_loaded;
    bool m_complete = false;
    SessionBusFunctions m_functions;
};

// The functions of the library in use. Only for code that holds a connection or a message.
const SessionBusFunctions& SessionBus();

// Opens a connection to the user's session bus as sd_bus_open_user() does, loading the library on
// the first call. Without the library, or with one that lacks a function, no bus can be reached:
// -ENOMEDIUM, the answer sd-bus gives when it knows of no bus to connect to. Where the bus's
// socket file is missing, -ENOENT without loading the library.
int OpenUserBus(sd_bus** bus);

// For tests: the layer uses `library` in place of libsystemd while this lives. No connection may
// be open across the change.
class ScopedSessionBusLibrary {
public:
    explicit ScopedSessionBusLibrary(SessionBusLibrary& library);
    ~ScopedSessionBusLibrary();
    ScopedSessionBusLibrary(const ScopedSessionBusLibrary&) = delete;
    ScopedSessionBusLibrary& operator=(const ScopedSessionBusLibrary&) = delete;

private:
    SessionBusLibrary* m_previous;
};
