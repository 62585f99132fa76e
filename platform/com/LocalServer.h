#pragma once
// Class objects published for other processes. A class object registered with CLSCTX_LOCAL_SERVER
// is put on the user's session bus under the names BusNames.h derives from the class's ProgID
// (from the registry, or from the class registry when the class is also registered in-process);
// every bus call reaches it on the thread that waits on the program's wait sources, the message
// loop's (sys/WaitSources.h).
//
// On the bus, the class object answers CreateInstance with the path of a new object; each object
// carries the dispatch interface our proxies use (GetIDsOfNames, Invoke with tagged VARIANTs,
// Release), one method per member for other tools (arguments "av", result "v"), and
// introspection data. An object goes when its client releases it or leaves the bus. The class
// object's introspection does not list the objects: each client knows its own, and listing all
// would cost every caller the work of every client's objects.

#include "platform/com/Interfaces.h"

#include <functional>

constexpr DWORD REGCLS_SINGLEUSE = 0;    // the first creation hides the class from later clients
constexpr DWORD REGCLS_MULTIPLEUSE = 1;
constexpr DWORD REGCLS_MULTI_SEPARATE = 2;

// How many objects one client connection, and all clients together, may hold at a time;
// CreateInstance past either fails with E_OUTOFMEMORY. Each costs the server memory, and neither
// one client nor many together may starve the server.
constexpr size_t kMaxObjectsPerClient = 1024;
constexpr size_t kMaxObjectsInAll = 4096;

constexpr HRESULT CO_E_OBJNOTREG = static_cast<HRESULT>(0x800401FB);
constexpr HRESULT CO_E_OBJISREG = static_cast<HRESULT>(0x800401FC);  // the bus name has another owner

// classObject must answer IClassFactory. context CLSCTX_INPROC_SERVER keeps the class to this
// process; CLSCTX_LOCAL_SERVER also publishes it on the bus (REGDB_E_CLASSNOTREG without a
// ProgID, the bus error's code when the bus cannot be reached). While another server holds the
// bus name, a REGCLS_SINGLEUSE class is refused (CO_E_OBJISREG); any other class is registered
// and waits in the bus's queue for the name, which it takes over when that server lets it go.
HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* classObject, DWORD context, DWORD flags, LPDWORD cookie);
HRESULT CoRevokeClassObject(DWORD cookie);

// The class factory this process registered for clsid, with a reference; null when none.
ComPtr<IClassFactory> FindRegisteredClassObject(REFCLSID clsid);

// False once the bus connection of the published classes has been lost (a server started for
// automation ends then); true while connected or while nothing is published.
bool IsLocalServerConnected();
// Serves the requests that have reached this process, read from the connection or still in it,
// without waiting for more; on the waiting thread.
void ServeWaitingLocalServerRequests();
// Whether a client's call has reached that connection and waits there unread: tests wait for a
// request to arrive without serving it.
bool HasUnreadLocalServerCall();
// Called on the waiting thread when that connection is lost (empty: nothing is called).
void SetLocalServerLostHandler(std::function<void()> handler);
