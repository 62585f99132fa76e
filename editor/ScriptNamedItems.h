#pragma once
// SECATopLevelItem: the wrapper through which the script host publishes an object to a script
// engine as a named item. The engine reaches the object's own dispatch interface through the
// wrapper, and asks the wrapper for class information when the item is an event source.

#include "platform/com/AutomationTarget.h"
#include "platform/com/Guid.h"

class SECATopLevelItem : public CAutomationTarget {
public:
    // Holds one reference to object for the item's lifetime and keeps the application alive.
    explicit SECATopLevelItem(IUnknown* object);
    ~SECATopLevelItem() override;

    // The class-information part. Its IDispatch and IUnknown answers come from the wrapped object,
    // so the engine talks to the object itself; other interfaces go through the item's map.
    BEGIN_INTERFACE_PART(ProvideMultipleClassInfo, IProvideMultipleClassInfo)
        HRESULT GetClassInfo(ITypeInfo** ppTI) override;
        HRESULT GetGUID(DWORD dwGuidKind, GUID* pGUID) override;
        HRESULT GetMultiTypeInfoCount(ULONG* pcti) override;
        HRESULT GetInfoOfIndex(ULONG iti, DWORD dwFlags, ITypeInfo** pptiCoClass, DWORD* pdwTIFlags,
                               ULONG* pcdispidReserved, IID* piidPrimary, IID* piidSource) override;
    END_INTERFACE_PART(ProvideMultipleClassInfo)

    DECLARE_INTERFACE_MAP()

private:
    IUnknown* m_pObject = nullptr;
};
