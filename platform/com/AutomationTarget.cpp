#include "platform/com/AutomationTarget.h"

#include "platform/base/CString.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/DispatchDriver.h"
#include "platform/com/LocalServer.h"
#include "platform/com/LocalServerRegistration.h"
#include "platform/sys/Module.h"

#include <atomic>
#include <cwctype>
#include <vector>

IMPLEMENT_DYNAMIC(CAutomationTarget, CObject)

// ---- application lock ------------------------------------------------------------------------

namespace {

std::atomic<LONG> g_lockCount{0};

bool SameNameNoCase(const wchar_t* a, const wchar_t* b)
{
    for (; *a && *b; ++a, ++b)
        if (std::towlower(*a) != std::towlower(*b))
            return false;
    return *a == *b;
}

} // namespace

void AfxOleLockApp() { ++g_lockCount; }
void AfxOleUnlockApp() { --g_lockCount; }
BOOL AfxOleCanExitApp() { return g_lockCount.load() == 0; }
LONG AfxOleGetLockCount() { return g_lockCount.load(); }
BOOL AfxOleInit() { return SUCCEEDED(OleInitialize(nullptr)); }

// ---- maps of the base ------------------------------------------------------------------------

const AFX_INTERFACEMAP_ENTRY CAutomationTarget::_interfaceEntries[] = {
    {&IID_IDispatch, [](CAutomationTarget* t) -> IUnknown* { return &t->m_xDispatch; }},
    {nullptr, nullptr},
};
const AFX_INTERFACEMAP CAutomationTarget::interfaceMap = {nullptr, &CAutomationTarget::_interfaceEntries[0]};
const AFX_DISPMAP_ENTRY CAutomationTarget::_dispatchEntries[] = {{nullptr, nullptr}};
const AFX_DISPMAP CAutomationTarget::dispatchMap = {nullptr, &CAutomationTarget::_dispatchEntries[0]};

const AFX_INTERFACEMAP* CAutomationTarget::GetInterfaceMap() const { return &interfaceMap; }
const AFX_DISPMAP* CAutomationTarget::GetDispatchMap() const { return &dispatchMap; }

CAutomationTarget::CAutomationTarget()
{
    m_xDispatch.owner = this;
    m_xInnerUnknown.owner = this;
}

CAutomationTarget::~CAutomationTarget() = default;

// ---- reference counting and interfaces ---------------------------------------------------------

LPDISPATCH CAutomationTarget::GetIDispatch(BOOL addRef)
{
    if (!m_automationEnabled)
        return nullptr;
    if (addRef)
        ExternalAddRef();
    return &m_xDispatch;
}

CAutomationTarget* CAutomationTarget::FromIDispatch(LPDISPATCH dispatch)
{
    auto* part = dynamic_cast<XDispatch*>(dispatch);
    return part ? part->owner : nullptr;
}

LPUNKNOWN CAutomationTarget::GetControllingUnknown()
{
    return m_pOuterUnknown ? m_pOuterUnknown : &m_xInnerUnknown;
}

IUnknown* CAutomationTarget::FindInterface(REFIID iid)
{
    for (const AFX_INTERFACEMAP* map = GetInterfaceMap(); map; map = map->pBaseMap) {
        for (const AFX_INTERFACEMAP_ENTRY* entry = map->pEntry; entry->part; ++entry) {
            if (!entry->piid)
                continue;
            if (entry->piid == &IID_IDispatch && !m_automationEnabled)
                continue;
            // The first interface of the map stands for the object's identity.
            if (iid == IID_IUnknown || *entry->piid == iid)
                return entry->part(this);
        }
    }
    return nullptr;
}

IUnknown* CAutomationTarget::QueryAggregates(REFIID iid)
{
    for (const AFX_INTERFACEMAP* map = GetInterfaceMap(); map; map = map->pBaseMap) {
        for (const AFX_INTERFACEMAP_ENTRY* entry = map->pEntry; entry->part; ++entry) {
            if (entry->piid)
                continue;
            IUnknown* aggregate = entry->part(this);
            IUnknown* found = nullptr;
            if (aggregate && aggregate->QueryInterface(iid, reinterpret_cast<void**>(&found)) == S_OK && found)
                return found;
        }
    }
    return nullptr;
}

DWORD CAutomationTarget::InternalQueryInterface(const void* iid, LPVOID* ppv)
{
    if (!ppv)
        return static_cast<DWORD>(E_POINTER);
    const IID& wanted = *static_cast<const IID*>(iid);
    if (IUnknown* part = FindInterface(wanted)) {
        *ppv = part;
        ExternalAddRef();
        return S_OK;
    }
    if (IUnknown* aggregate = QueryAggregates(wanted)) {
        *ppv = aggregate;  // the aggregated object already counted it
        return S_OK;
    }
    *ppv = nullptr;
    return static_cast<DWORD>(E_NOINTERFACE);
}

DWORD CAutomationTarget::InternalAddRef() { return static_cast<DWORD>(++m_dwRef); }

DWORD CAutomationTarget::InternalRelease()
{
    if (m_dwRef == 0)
        return 0;
    LONG refs = --m_dwRef;
    if (refs == 0)
        OnFinalRelease();
    return static_cast<DWORD>(refs);
}

DWORD CAutomationTarget::ExternalQueryInterface(const void* iid, LPVOID* ppv)
{
    if (m_pOuterUnknown)
        return static_cast<DWORD>(m_pOuterUnknown->QueryInterface(*static_cast<const IID*>(iid), ppv));
    return InternalQueryInterface(iid, ppv);
}

DWORD CAutomationTarget::ExternalAddRef()
{
    return m_pOuterUnknown ? m_pOuterUnknown->AddRef() : InternalAddRef();
}

DWORD CAutomationTarget::ExternalRelease()
{
    return m_pOuterUnknown ? m_pOuterUnknown->Release() : InternalRelease();
}

void CAutomationTarget::OnFinalRelease()
{
    delete this;
}

HRESULT CAutomationTarget::XInnerUnknown::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IUnknown && ppv) {
        *ppv = this;
        owner->InternalAddRef();
        return S_OK;
    }
    return static_cast<HRESULT>(owner->InternalQueryInterface(&riid, ppv));
}
ULONG CAutomationTarget::XInnerUnknown::AddRef() { return owner->InternalAddRef(); }
ULONG CAutomationTarget::XInnerUnknown::Release() { return owner->InternalRelease(); }

// ---- the dispatch part -----------------------------------------------------------------------

HRESULT CAutomationTarget::XDispatch::QueryInterface(REFIID riid, void** ppv)
{
    return static_cast<HRESULT>(owner->ExternalQueryInterface(&riid, ppv));
}
ULONG CAutomationTarget::XDispatch::AddRef() { return owner->ExternalAddRef(); }
ULONG CAutomationTarget::XDispatch::Release() { return owner->ExternalRelease(); }

HRESULT CAutomationTarget::XDispatch::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CAutomationTarget::XDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CAutomationTarget::XDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!names || !ids || count == 0)
        return E_INVALIDARG;
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    int level = 0;
    for (const AFX_DISPMAP* map = owner->GetDispatchMap(); map; map = map->pBaseMap, ++level) {
        int index = 1;
        for (const AFX_DISPMAP_ENTRY* entry = map->lpEntries; entry->name; ++entry, ++index) {
            if (names[0] && SameNameNoCase(entry->name, names[0])) {
                ids[0] = (level << 16) | index;
                return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
            }
        }
    }
    return DISP_E_UNKNOWNNAME;
}

const AFX_DISPMAP_ENTRY* CAutomationTarget::FindDispatchEntry(DISPID id) const
{
    int level = id >> 16, index = id & 0xFFFF;
    const AFX_DISPMAP* map = GetDispatchMap();
    for (int l = 0; map && l < level; ++l)
        map = map->pBaseMap;
    if (!map || index < 1)
        return nullptr;
    for (const AFX_DISPMAP_ENTRY* entry = map->lpEntries; entry->name; ++entry)
        if (--index == 0)
            return entry;
    return nullptr;
}

HRESULT CAutomationTarget::XDispatch::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                             EXCEPINFO* exception, UINT*)
{
    const AFX_DISPMAP_ENTRY* entry = owner->FindDispatchEntry(id);
    if (!entry)
        return DISP_E_MEMBERNOTFOUND;
    std::vector<VARIANT*> args;
    if (params) {
        UINT named = params->cNamedArgs;
        bool put = named == 1 && params->rgdispidNamedArgs && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
        if (named && !put)
            return DISP_E_NONAMEDARGS;
        for (UINT i = params->cArgs; i-- > named;)
            args.push_back(&params->rgvarg[i]);
        if (put)
            args.push_back(&params->rgvarg[0]);
    }
    if (result)
        VariantInit(result);
    owner->ExternalAddRef();  // the member may release the object's last outside reference
    HRESULT hr;
    try {
        hr = entry->invoke(owner, flags, args, result);
    } catch (COleDispatchException* raised) {
        // An error the member raised: the caller gets its record.
        if (exception) {
            ClearExcepInfo(exception);
            exception->wCode = raised->m_wCode;
            exception->scode = raised->m_scError;
            exception->bstrSource = SysAllocStringView(raised->m_strSource.view());
            exception->bstrDescription = SysAllocStringView(raised->m_strDescription.view());
        }
        raised->Delete();
        hr = DISP_E_EXCEPTION;
    }
    owner->ExternalRelease();
    return hr;
}

// ---- class factories -------------------------------------------------------------------------

namespace {

std::vector<COleObjectFactory*>& Factories()
{
    static std::vector<COleObjectFactory*> factories;
    return factories;
}

} // namespace

COleObjectFactory::COleObjectFactory(REFCLSID clsid, CRuntimeClass* runtimeClass, BOOL multiInstance, LPCWSTR progId)
    : m_clsid(clsid), m_pRuntimeClass(runtimeClass), m_bMultiInstance(multiInstance), m_progId(progId ? progId : L"")
{
    m_xClassFactory.owner = this;
    RegisterComClass(clsid, progId, [this](IUnknown* outer, REFIID riid, void** ppv) { return CreateObject(outer, riid, ppv); });
    Factories().push_back(this);
}

COleObjectFactory::~COleObjectFactory()
{
    Revoke();
    std::erase(Factories(), this);
    UnregisterComClass(m_clsid);
}

HRESULT COleObjectFactory::CreateObject(IUnknown* outer, REFIID riid, void** ppv) const
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    CObject* made = m_pRuntimeClass ? m_pRuntimeClass->CreateObject() : nullptr;
    auto* target = dynamic_cast<CAutomationTarget*>(made);
    if (!target) {
        delete made;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    HRESULT hr = static_cast<HRESULT>(target->InternalQueryInterface(&riid, ppv));
    target->InternalRelease();  // the creation reference: the caller's reference keeps it alive
    return hr;
}

BOOL COleObjectFactory::Register()
{
    if (m_dwRegister)
        return TRUE;
    DWORD flags = m_bMultiInstance ? REGCLS_SINGLEUSE : REGCLS_MULTIPLEUSE;
    return SUCCEEDED(CoRegisterClassObject(m_clsid, &m_xClassFactory, CLSCTX_LOCAL_SERVER, flags, &m_dwRegister));
}

void COleObjectFactory::Revoke()
{
    if (m_dwRegister)
        CoRevokeClassObject(std::exchange(m_dwRegister, 0));
}

BOOL COleObjectFactory::UpdateRegistry(BOOL registerClass)
{
    if (!registerClass)
        return SUCCEEDED(UnregisterLocalServer(m_clsid));
    wchar_t program[4096];
    DWORD length = GetModuleFileNameW(nullptr, program, 4096);
    if (m_progId.empty() || length == 0 || length >= 4096)
        return FALSE;
    return SUCCEEDED(RegisterLocalServer(m_clsid, m_progId.c_str(), WideToUtf8(std::wstring_view(program, length))));
}

BOOL COleObjectFactory::UpdateRegistryAll(BOOL registerClasses)
{
    BOOL all = TRUE;
    for (COleObjectFactory* factory : Factories())
        if (!factory->m_progId.empty() && !factory->UpdateRegistry(registerClasses))
            all = FALSE;
    return all;
}

BOOL COleObjectFactory::RegisterAll()
{
    BOOL all = TRUE;
    for (COleObjectFactory* factory : Factories())
        if (!factory->m_progId.empty() && !factory->Register())
            all = FALSE;
    return all;
}

void COleObjectFactory::RevokeAll()
{
    for (COleObjectFactory* factory : Factories())
        factory->Revoke();
}

HRESULT COleObjectFactory::XClassFactory::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid != IID_IUnknown && riid != IID_IClassFactory) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    *ppv = static_cast<IClassFactory*>(this);
    return S_OK;
}

HRESULT COleObjectFactory::XClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv)
{
    return owner->CreateObject(outer, riid, ppv);
}

HRESULT COleObjectFactory::XClassFactory::LockServer(BOOL lock)
{
    lock ? AfxOleLockApp() : AfxOleUnlockApp();
    return S_OK;
}
