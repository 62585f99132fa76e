#include "platform/com/ClassRegistry.h"

#include <cwctype>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct ClassEntry {
    CLSID clsid;
    std::wstring progId;  // lower case
    ClassCreator creator;
    DWORD contexts;
};

std::mutex& RegistryMutex()
{
    static std::mutex mutex;
    return mutex;
}

std::vector<ClassEntry>& Classes()
{
    static std::vector<ClassEntry> classes;
    return classes;
}

std::wstring Lower(const wchar_t* text)
{
    std::wstring out = text ? text : L"";
    for (wchar_t& c : out)
        c = static_cast<wchar_t>(std::towlower(c));
    return out;
}

} // namespace

void RegisterComClass(REFCLSID clsid, const wchar_t* progId, ClassCreator creator, DWORD contexts)
{
    std::lock_guard lock(RegistryMutex());
    std::erase_if(Classes(), [&](const ClassEntry& e) { return e.clsid == clsid; });
    Classes().push_back({clsid, Lower(progId), std::move(creator), contexts});
}

void UnregisterComClass(REFCLSID clsid)
{
    std::lock_guard lock(RegistryMutex());
    std::erase_if(Classes(), [&](const ClassEntry& e) { return e.clsid == clsid; });
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ClassCreator creator;
    {
        std::lock_guard lock(RegistryMutex());
        for (const ClassEntry& e : Classes())
            if (e.clsid == clsid && (e.contexts & context))
                creator = e.creator;
    }
    if (!creator)
        return REGDB_E_CLASSNOTREG;
    return creator(outer, riid, ppv);
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid)
{
    if (!clsid)
        return E_INVALIDARG;
    *clsid = IID_NULL;
    if (!progId || !*progId)
        return CO_E_CLASSSTRING;
    std::wstring key = Lower(progId);
    std::lock_guard lock(RegistryMutex());
    for (const ClassEntry& e : Classes()) {
        if (!e.progId.empty() && e.progId == key) {
            *clsid = e.clsid;
            return S_OK;
        }
    }
    return REGDB_E_CLASSNOTREG;
}

HRESULT CoInitialize(void*) { return S_OK; }
HRESULT OleInitialize(void*) { return S_OK; }
void CoUninitialize() {}
void OleUninitialize() {}
