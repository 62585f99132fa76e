#include "platform/com/ClassRegistry.h"

#include "platform/com/Guid.h"
#include "platform/sys/Registry.h"

#include <cwctype>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct ClassEntry {
    CLSID clsid;
    std::wstring progId;  // lower case
    std::wstring originalProgId;
    ClassCreator creator;
    DWORD contexts;
};

std::mutex& RegistryMutex()
{
    static std::mutex mutex;
    return mutex;
}

LocalServerHook& TheLocalServerHook()
{
    static LocalServerHook hook;
    return hook;
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

// The default value of HKEY_CLASSES_ROOT\<key>, empty when missing.
std::wstring ClassesRootText(const std::wstring& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return {};
    std::wstring text;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(handle, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ && size) {
        std::wstring buffer(size / sizeof(wchar_t), L'\0');
        if (RegQueryValueExW(handle, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &size) == ERROR_SUCCESS)
            text.assign(buffer.c_str());
    }
    RegCloseKey(handle);
    return text;
}

} // namespace

void RegisterComClass(REFCLSID clsid, const wchar_t* progId, ClassCreator creator, DWORD contexts)
{
    std::lock_guard lock(RegistryMutex());
    std::erase_if(Classes(), [&](const ClassEntry& e) { return e.clsid == clsid; });
    Classes().push_back({clsid, Lower(progId), progId ? progId : L"", std::move(creator), contexts});
}

void UnregisterComClass(REFCLSID clsid)
{
    std::lock_guard lock(RegistryMutex());
    std::erase_if(Classes(), [&](const ClassEntry& e) { return e.clsid == clsid; });
}

void SetLocalServerHook(LocalServerHook hook)
{
    std::lock_guard lock(RegistryMutex());
    TheLocalServerHook() = std::move(hook);
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ClassCreator creator;
    bool servedHere = false;
    LocalServerHook localServer;
    {
        std::lock_guard lock(RegistryMutex());
        localServer = TheLocalServerHook();
        for (const ClassEntry& e : Classes()) {
            if (e.clsid != clsid)
                continue;
            servedHere = true;
            if (e.contexts & context)
                creator = e.creator;
        }
    }
    // A class made in this process for the contexts asked for; else another process's, on the bus.
    if (creator)
        return creator(outer, riid, ppv);
    if (!(context & CLSCTX_LOCAL_SERVER) || !localServer.findClassObject || !localServer.createRemoteObject)
        return REGDB_E_CLASSNOTREG;
    if (ComPtr<IClassFactory> factory = localServer.findClassObject(clsid))
        return factory->CreateInstance(outer, riid, ppv);
    if (servedHere)
        return REGDB_E_CLASSNOTREG; // this process serves it, but not as a local server
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return localServer.createRemoteObject(clsid, riid, ppv);
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid)
{
    if (!clsid)
        return E_INVALIDARG;
    if (text && text[0] == L'{') {
        if (GuidFromBracedText(text, *clsid))
            return S_OK;
        *clsid = IID_NULL;
        return CO_E_CLASSSTRING;
    }
    HRESULT hr = CLSIDFromProgID(text, clsid);
    return SUCCEEDED(hr) ? hr : CO_E_CLASSSTRING;
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid)
{
    if (!clsid)
        return E_INVALIDARG;
    *clsid = IID_NULL;
    if (!progId || !*progId)
        return CO_E_CLASSSTRING;
    std::wstring key = Lower(progId);
    {
        std::lock_guard lock(RegistryMutex());
        for (const ClassEntry& e : Classes()) {
            if (!e.progId.empty() && e.progId == key) {
                *clsid = e.clsid;
                return S_OK;
            }
        }
    }
    std::wstring registered = ClassesRootText(std::wstring(progId) + L"\\CLSID");
    if (!registered.empty() && registered.front() == L'{' && SUCCEEDED(CLSIDFromString(registered.c_str(), clsid)))
        return S_OK;
    return REGDB_E_CLASSNOTREG;
}

std::wstring ProgIdFromClsid(REFCLSID clsid)
{
    {
        std::lock_guard lock(RegistryMutex());
        for (const ClassEntry& e : Classes())
            if (e.clsid == clsid && !e.progId.empty())
                return e.originalProgId;
    }
    return ClassesRootText(L"CLSID\\" + GuidText(clsid) + L"\\ProgID");
}

HRESULT CoInitialize(void*) { return S_OK; }
HRESULT OleInitialize(void*) { return S_OK; }
void CoUninitialize() {}
void OleUninitialize() {}
