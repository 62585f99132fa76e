#pragma once
// The client side of a local server: an IDispatch in this process that forwards GetIDsOfNames and
// Invoke to an object published by another process on the session bus (LocalServer.h). Arguments,
// results and by-reference arguments travel as tagged VARIANTs (BusVariant.h); an error the object
// raised arrives as DISP_E_EXCEPTION with its source and description. Each proxy has its own bus
// connection; calls wait for the reply (at most the call time-out) without running messages.

#include "platform/com/Interfaces.h"

// Asks the class's server (started by the bus when none runs) for a new object and answers riid
// on its proxy. REGDB_E_CLASSNOTREG when the class has no ProgID; CO_E_SERVER_EXEC_FAILURE when
// no server answers for it; E_NOINTERFACE for interfaces other than IUnknown and IDispatch.
HRESULT CreateLocalServerObject(REFCLSID clsid, REFIID riid, void** ppv);

// The longest a proxy waits for one reply, in microseconds (starting a server included).
inline constexpr uint64_t kProxyCallTimeoutUsec = 25'000'000;
