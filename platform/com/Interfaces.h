#pragma once
// The basic object interfaces: IUnknown, IDispatch, class factories, enumerators and class
// information, plus ComPtr, the owning smart pointer used throughout the program's own code.

#include "platform/com/OleTypes.h"

#include <utility>

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;

// Type information is never available from the program's objects; the interface exists so that
// callers can ask for it and get a failure.
struct ITypeInfo : IUnknown {};

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                           VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;
};
using LPDISPATCH = IDispatch*;

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) = 0;
    virtual HRESULT LockServer(BOOL lock) = 0;
};

struct IEnumVARIANT : IUnknown {
    virtual HRESULT Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumVARIANT** ppEnum) = 0;
};

struct IProvideClassInfo : IUnknown {
    virtual HRESULT GetClassInfo(ITypeInfo** ppTI) = 0;
};

constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

struct IProvideClassInfo2 : IProvideClassInfo {
    virtual HRESULT GetGUID(DWORD dwGuidKind, GUID* pGUID) = 0;
};

constexpr DWORD MULTICLASSINFO_GETTYPEINFO = 0x1;
constexpr DWORD MULTICLASSINFO_GETNUMRESERVEDDISPIDS = 0x2;
constexpr DWORD MULTICLASSINFO_GETIIDPRIMARY = 0x4;
constexpr DWORD MULTICLASSINFO_GETIIDSOURCE = 0x8;

struct IProvideMultipleClassInfo : IProvideClassInfo2 {
    virtual HRESULT GetMultiTypeInfoCount(ULONG* pcti) = 0;
    virtual HRESULT GetInfoOfIndex(ULONG iti, DWORD dwFlags, ITypeInfo** pptiCoClass, DWORD* pdwTIFlags,
                                   ULONG* pcdispidReserved, IID* piidPrimary, IID* piidSource) = 0;
};

// Holds one reference to an interface and releases it when it goes.
template<typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : m_p(p) { if (m_p) m_p->AddRef(); }
    ComPtr(const ComPtr& other) : ComPtr(other.m_p) {}
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~ComPtr() { if (m_p) m_p->Release(); }
    ComPtr& operator=(const ComPtr& other) { ComPtr(other).Swap(*this); return *this; }
    ComPtr& operator=(ComPtr&& other) noexcept { ComPtr(std::move(other)).Swap(*this); return *this; }

    // Takes over a reference the caller already owns.
    static ComPtr Adopt(T* p) { ComPtr r; r.m_p = p; return r; }
    T* Detach() { return std::exchange(m_p, nullptr); }
    T** Receive() { Reset(); return &m_p; }
    void Reset() { if (T* p = std::exchange(m_p, nullptr)) p->Release(); }
    void Swap(ComPtr& other) noexcept { std::swap(m_p, other.m_p); }

    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    template<typename U>
    ComPtr<U> As(REFIID iid) const
    {
        ComPtr<U> r;
        if (m_p)
            m_p->QueryInterface(iid, reinterpret_cast<void**>(r.Receive()));
        return r;
    }

private:
    T* m_p = nullptr;
};
