#pragma once
// Classes by class id and ProgID: CoCreateInstance and CLSIDFromProgID find the objects that the
// program's libraries register at start-up, then, for CLSCTX_LOCAL_SERVER, what the local-server
// hook reaches: the class objects this process published (LocalServer.h) and the local servers
// registered for the user (LocalServerRegistration.h), over the session bus through a proxy IDispatch.

#include "platform/com/Interfaces.h"

#include <functional>
#include <string>

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;
constexpr DWORD CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// Makes a new object and queries it for riid; outer is the controlling object for aggregation
// (classes that cannot be aggregated answer CLASS_E_NOAGGREGATION when it is given).
using ClassCreator = std::function<HRESULT(IUnknown* outer, REFIID riid, void** ppv)>;

// Registers (or replaces) a class; progId may be null. ProgIDs compare without case. contexts
// are the CLSCTX_ values the class answers: a class that stands in for another program's server
// adds CLSCTX_LOCAL_SERVER, since it is served from this process.
void RegisterComClass(REFCLSID clsid, const wchar_t* progId, ClassCreator creator,
                      DWORD contexts = CLSCTX_INPROC_SERVER);
void UnregisterComClass(REFCLSID clsid);

// How CoCreateInstance reaches classes served outside the in-process registry. The local server
// installs it when it is linked in (LocalServer.cpp), so that the registry needs nothing of the bus;
// without it, such classes are not registered.
struct LocalServerHook {
    // The class factory this process published for the class, with a reference; null when none.
    std::function<ComPtr<IClassFactory>(REFCLSID clsid)> findClassObject;
    // A new object of another process's server, answering riid.
    std::function<HRESULT(REFCLSID clsid, REFIID riid, void** ppv)> createRemoteObject;
};
void SetLocalServerHook(LocalServerHook hook);

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** ppv);
// REGDB_E_CLASSNOTREG for a ProgID no class registered, CO_E_CLASSSTRING for an empty one.
HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid);
// Reads the braced text form (case-insensitive hex digits); CO_E_CLASSSTRING when malformed.
// A text that is not braced is taken as a ProgID and looked up as CLSIDFromProgID does.
HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid);
// The ProgID of a class registered in-process or for the user; empty when it has none.
std::wstring ProgIdFromClsid(REFCLSID clsid);

// The library keeps no per-thread state: initialisation always succeeds.
HRESULT CoInitialize(void* reserved);
HRESULT OleInitialize(void* reserved);
void CoUninitialize();
void OleUninitialize();
