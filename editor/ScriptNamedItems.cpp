#include "editor/ScriptNamedItems.h"

namespace {
// Dispatch ids an event-source item reserves for the engine's own use.
constexpr ULONG kReservedDispatchIds = 256;
} // namespace

BEGIN_INTERFACE_MAP(SECATopLevelItem, CAutomationTarget)
    INTERFACE_PART(SECATopLevelItem, IID_IProvideMultipleClassInfo, ProvideMultipleClassInfo)
    INTERFACE_AGGREGATE(SECATopLevelItem, m_pObject)
END_INTERFACE_MAP()

SECATopLevelItem::SECATopLevelItem(IUnknown* object)
    : m_pObject(object)
{
    EnableAutomation();
    EnableAggregation();
    if (m_pObject)
        m_pObject->AddRef();
    AfxOleLockApp();
}

SECATopLevelItem::~SECATopLevelItem()
{
    if (m_pObject)
        m_pObject->Release();
    AfxOleUnlockApp();
}

HRESULT SECATopLevelItem::XProvideMultipleClassInfo::QueryInterface(REFIID iid, void** ppvObj)
{
    METHOD_PROLOGUE(SECATopLevelItem, ProvideMultipleClassInfo)
    if (!ppvObj)
        return E_POINTER;
    if (iid == IID_IDispatch || iid == IID_IUnknown) {
        if (!pThis->m_pObject) {
            *ppvObj = nullptr;
            return E_NOINTERFACE;
        }
        return pThis->m_pObject->QueryInterface(iid, ppvObj);
    }
    return static_cast<HRESULT>(pThis->InternalQueryInterface(&iid, ppvObj));
}

ULONG SECATopLevelItem::XProvideMultipleClassInfo::AddRef()
{
    METHOD_PROLOGUE(SECATopLevelItem, ProvideMultipleClassInfo)
    return pThis->InternalAddRef();
}

ULONG SECATopLevelItem::XProvideMultipleClassInfo::Release()
{
    METHOD_PROLOGUE(SECATopLevelItem, ProvideMultipleClassInfo)
    return pThis->InternalRelease();
}

HRESULT SECATopLevelItem::XProvideMultipleClassInfo::GetClassInfo(ITypeInfo** ppTI)
{
    if (ppTI)
        *ppTI = nullptr;
    return E_NOTIMPL;
}

HRESULT SECATopLevelItem::XProvideMultipleClassInfo::GetGUID(DWORD, GUID*)
{
    return E_NOTIMPL;
}

HRESULT SECATopLevelItem::XProvideMultipleClassInfo::GetMultiTypeInfoCount(ULONG* pcti)
{
    if (!pcti)
        return E_POINTER;
    *pcti = 1;
    return S_OK;
}

HRESULT SECATopLevelItem::XProvideMultipleClassInfo::GetInfoOfIndex(ULONG iti, DWORD dwFlags,
    ITypeInfo** pptiCoClass, DWORD* pdwTIFlags, ULONG* pcdispidReserved, IID*, IID*)
{
    METHOD_PROLOGUE(SECATopLevelItem, ProvideMultipleClassInfo)
    HRESULT result = iti == 0 ? S_OK : E_FAIL;
    ITypeInfo* coClass = nullptr;

    if (dwFlags & MULTICLASSINFO_GETTYPEINFO) {
        if (!pptiCoClass || !pdwTIFlags) {
            result = E_INVALIDARG;
        } else {
            *pptiCoClass = nullptr;
            *pdwTIFlags = 0;
            IProvideClassInfo* classInfo = nullptr;
            HRESULT query = pThis->m_pObject
                ? pThis->m_pObject->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&classInfo))
                : E_NOINTERFACE;
            if (FAILED(query) || !classInfo)
                return FAILED(query) ? query : E_NOINTERFACE;
            HRESULT fetched = classInfo->GetClassInfo(&coClass);
            classInfo->Release();
            if (SUCCEEDED(result))  // a wrong index stays the failure
                result = fetched;
        }
    }

    if (dwFlags & MULTICLASSINFO_GETNUMRESERVEDDISPIDS) {
        if (!pcdispidReserved)
            result = E_INVALIDARG;
        else
            *pcdispidReserved = kReservedDispatchIds;
    }

    // The primary and source interface ids are not known here: those out values stay untouched.
    if (FAILED(result)) {
        if (coClass)
            coClass->Release();
        if (pptiCoClass)
            *pptiCoClass = nullptr;
    } else if (pptiCoClass) {
        *pptiCoClass = coClass;
    }
    return result;
}
