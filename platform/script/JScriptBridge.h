#pragma once
// Automation objects inside the JScript interpreter: each IDispatch appears as a proxy object
// whose property reads, writes and method calls go through GetIDsOfNames and Invoke, and values
// cross between VARIANTs and script values.

#include "platform/com/Automation.h"

#include <string>
#include <string_view>

struct duk_hthread;
using duk_context = duk_hthread;

namespace jscript {

class Bridge {
public:
    // Installs the call mark and the bridge's own hidden state in the interpreter's global object.
    explicit Bridge(duk_context* context);
    Bridge(const Bridge&) = delete;
    Bridge& operator=(const Bridge&) = delete;

    static Bridge& Of(duk_context* context);

    // Pushes the script view of object (a new proxy holding one reference), or null.
    void PushDispatch(IDispatch* object);
    // Pushes a value, or an error object (and returns false) for a value the script cannot hold.
    bool PushVariant(const VARIANT& value);
    // Converts the script value at index; DISP_E_TYPEMISMATCH for values automation cannot carry.
    HRESULT ToVariant(int index, VARIANT& out);

    // Pushes the script error for a failed Invoke: the exception record's text and number when
    // there is one (the record is cleared), else the automation failure's own.
    void PushInvokeError(HRESULT hr, EXCEPINFO& exception, std::wstring_view member);

private:
    friend struct BridgeCallbacks;

    IDispatch* DispatchOf(int index);

    duk_context* m_context;
    // Where the last call mark was made (function, bytecode position), so that only the property
    // read right after it counts as a method call.
    void* m_markFunction = nullptr;
    long m_markPosition = -1;
    std::string m_markName;
};

// Script error numbers of the automation failures (as raised into the script).
int ErrorNumberOfInvokeFailure(HRESULT hr);

// Defines a fixed global that scripts do not see when they list names.
void DefineHiddenGlobal(duk_context* context, std::wstring_view name, int (*function)(duk_context*), int arguments);

} // namespace jscript
