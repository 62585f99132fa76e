#pragma once
// The client side of a local server: an IDispatch in this process that forwards GetIDsOfNames and
// Invoke to an object published by another process on the session bus (LocalServer.h). Arguments,
// results and by-reference arguments travel as tagged VARIANTs (BusVariant.h); an error the object
// raised arrives as DISP_E_EXCEPTION with its source and description. Each proxy has its own bus
// connection; calls wait for the reply (at most the call time-out) without running messages.

#include "platform/com/Interfaces.h"

#include <chrono>

// Asks the class's server (started by the bus when none runs) for a new object and answers riid
// on its proxy. REGDB_E_CLASSNOTREG when the class has no ProgID; CO_E_SERVER_EXEC_FAILURE when
// no server answers for it; E_NOINTERFACE for interfaces other than IUnknown and IDispatch.
HRESULT CreateLocalServerObject(REFCLSID clsid, REFIID riid, void** ppv);

// The longest a proxy waits for one reply, starting a server included: 25 s unless set otherwise.
std::chrono::microseconds ProxyCallTimeout();
// Sets that wait for every proxy call this process makes from now on. Tests set the wait they allow
// everything else on a loaded machine, so that none of their calls ends before that limit.
void SetProxyCallTimeout(std::chrono::microseconds limit);
