#pragma once
// Registering a program as the local server of a class for the current user:
//   HKEY_CLASSES_ROOT\<ProgID>\CLSID                = {class id}
//   HKEY_CLASSES_ROOT\CLSID\{class id}\ProgID       = <ProgID>
//   HKEY_CLASSES_ROOT\CLSID\{class id}\LocalServer32 = <program> -Automation
// and the D-Bus service file $XDG_DATA_HOME/dbus-1/services/<bus name>.service (XDG_DATA_HOME
// defaults to ~/.local/share), so that the bus starts the program in its automation mode when a
// client asks for the class and no instance runs.

#include "platform/com/Guid.h"

#include <string>

// The switch the program is started with by the bus.
inline constexpr const char* kAutomationSwitch = "-Automation";

// program is an absolute path. Writes nothing and returns E_INVALIDARG for an empty ProgID or a
// relative path; a failure to write the file or the keys comes back as E_FAIL.
HRESULT RegisterLocalServer(REFCLSID clsid, LPCOLESTR progId, const std::string& program);
// Removes the keys and the service file; S_FALSE when the class was not registered.
HRESULT UnregisterLocalServer(REFCLSID clsid);

// The service file's path for a ProgID.
std::string ServiceFilePath(LPCOLESTR progId);
