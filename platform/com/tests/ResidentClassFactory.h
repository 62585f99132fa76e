#pragma once
// A class factory for a test, a fuzz target or a test server: it lives as long as they do (it counts
// no references), refuses aggregation, and makes a new object for each request through `make`.

#include "platform/com/Interfaces.h"

#include <functional>
#include <utility>

class ResidentClassFactory final : public IClassFactory {
public:
    // Makes an object and asks it for riid; the caller then holds its only reference.
    using Make = std::function<HRESULT(REFIID riid, void** object)>;

    explicit ResidentClassFactory(Make make) : m_make(std::move(make)) {}

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        *ppv = riid == IID_IUnknown || riid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        return m_make(riid, ppv);
    }
    HRESULT LockServer(BOOL) override { return S_OK; }

private:
    Make m_make;
};

// The usual make for a reference-counted object: a new one, asked for riid, and its own reference
// given up.
template <typename Object>
HRESULT MakeObject(REFIID riid, void** ppv)
{
    auto* object = new Object;
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}
