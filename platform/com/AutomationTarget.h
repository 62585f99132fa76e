#pragma once
// The automation half of the framework's command target: reference counting, interface maps
// (with aggregation), dispatch maps that publish member functions and properties through
// IDispatch, class factories by class id and ProgID, and the application lock count.
//
//   class CCalc : public CAutomationTarget {            // normally through CCmdTarget
//   public:
//       CCalc() { EnableAutomation(); }
//       double Twice(double x) { return 2 * x; }
//       DECLARE_DISPATCH_MAP()
//   };
//   BEGIN_DISPATCH_MAP(CCalc, CAutomationTarget)
//       DISP_FUNCTION(CCalc, "Twice", Twice, VT_R8, VTS_R8)   // dispatch id 1
//   END_DISPATCH_MAP()
//
// Dispatch ids count from 1 in map order; members of base maps get the map level in the high word.

#include "platform/base/RunTimeClass.h"
#include "platform/com/Automation.h"

#include <span>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

class CAutomationTarget;

struct AFX_INTERFACEMAP_ENTRY {
    const IID* piid;  // null for an aggregate
    // The interface part (or, for an aggregate, the aggregated object's IUnknown, may be null).
    IUnknown* (*part)(CAutomationTarget* target);
};

struct AFX_INTERFACEMAP {
    const AFX_INTERFACEMAP* pBaseMap;
    const AFX_INTERFACEMAP_ENTRY* pEntry;  // ends with an entry whose part is null
};

struct AFX_DISPMAP_ENTRY {
    const wchar_t* name;  // null ends the map
    // Calls the member: arguments in natural order, a property's new value last.
    HRESULT (*invoke)(CAutomationTarget* target, WORD flags, std::span<VARIANT*> args, VARIANT* result);
};

struct AFX_DISPMAP {
    const AFX_DISPMAP* pBaseMap;
    const AFX_DISPMAP_ENTRY* lpEntries;
};

class CAutomationTarget : public CObject {
    DECLARE_DYNAMIC(CAutomationTarget)
public:
    CAutomationTarget();
    ~CAutomationTarget() override;
    CAutomationTarget(const CAutomationTarget&) = delete;
    CAutomationTarget& operator=(const CAutomationTarget&) = delete;

    void EnableAutomation() { m_automationEnabled = true; }
    void EnableAggregation() { m_aggregationEnabled = true; }
    bool IsAutomationEnabled() const { return m_automationEnabled; }

    // The object's IDispatch (null unless automation is enabled), with a reference when asked.
    LPDISPATCH GetIDispatch(BOOL addRef);
    static CAutomationTarget* FromIDispatch(LPDISPATCH dispatch);
    // The outer object when aggregated, else the object's own IUnknown.
    LPUNKNOWN GetControllingUnknown();

    DWORD InternalQueryInterface(const void* iid, LPVOID* ppv);
    DWORD InternalAddRef();
    DWORD InternalRelease();
    DWORD ExternalQueryInterface(const void* iid, LPVOID* ppv);
    DWORD ExternalAddRef();
    DWORD ExternalRelease();
    // Runs when the last reference goes; deletes the object.
    virtual void OnFinalRelease();

    virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;
    virtual const AFX_DISPMAP* GetDispatchMap() const;

    LONG m_dwRef = 1;
    LPUNKNOWN m_pOuterUnknown = nullptr;

protected:
    static const AFX_INTERFACEMAP interfaceMap;
    static const AFX_DISPMAP dispatchMap;

private:
    class XDispatch final : public IDispatch {
    public:
        HRESULT QueryInterface(REFIID riid, void** ppv) override;
        ULONG AddRef() override;
        ULONG Release() override;
        HRESULT GetTypeInfoCount(UINT* count) override;
        HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
        HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
        HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                       UINT* argError) override;
        CAutomationTarget* owner = nullptr;
    };
    class XInnerUnknown final : public IUnknown {
    public:
        HRESULT QueryInterface(REFIID riid, void** ppv) override;
        ULONG AddRef() override;
        ULONG Release() override;
        CAutomationTarget* owner = nullptr;
    };

    IUnknown* FindInterface(REFIID iid);
    IUnknown* QueryAggregates(REFIID iid);
    const AFX_DISPMAP_ENTRY* FindDispatchEntry(DISPID id) const;

    XDispatch m_xDispatch;
    XInnerUnknown m_xInnerUnknown;
    bool m_automationEnabled = false;
    bool m_aggregationEnabled = false;
    static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[];
    static const AFX_DISPMAP_ENTRY _dispatchEntries[];
    friend class XDispatch;
};

// The application stays alive while objects it serves exist.
void AfxOleLockApp();
void AfxOleUnlockApp();
BOOL AfxOleCanExitApp();
LONG AfxOleGetLockCount();
BOOL AfxOleInit();

// Makes the objects of a run-time class for CoCreateInstance: registered with the class registry
// by class id and ProgID while the factory exists. A factory with a ProgID can also serve other
// processes: UpdateRegistry makes this program the class's local server for the user, and
// Register publishes the class on the session bus (LocalServer.h) until Revoke or the factory goes.
class COleObjectFactory {
public:
    // multiInstance: each object from another process wants a program of its own, so a published
    // class serves one creation only (REGCLS_SINGLEUSE); otherwise it serves them all.
    COleObjectFactory(REFCLSID clsid, CRuntimeClass* runtimeClass, BOOL multiInstance, LPCWSTR progId);
    ~COleObjectFactory();
    COleObjectFactory(const COleObjectFactory&) = delete;
    COleObjectFactory& operator=(const COleObjectFactory&) = delete;

    BOOL Register();
    void Revoke();
    BOOL IsRegistered() const { return m_dwRegister != 0; }
    // Registers (or with FALSE removes) this program, by its own path, as the class's local server.
    BOOL UpdateRegistry(BOOL registerClass = TRUE);

    // Each goes over every factory that has a ProgID; TRUE when all succeeded.
    static BOOL UpdateRegistryAll(BOOL registerClasses = TRUE);
    static BOOL RegisterAll();
    static void RevokeAll();

    CLSID m_clsid;
    CRuntimeClass* m_pRuntimeClass;
    BOOL m_bMultiInstance;
    std::wstring m_progId;
    DWORD m_dwRegister = 0;

private:
    // The factory as the class object that Register publishes.
    class XClassFactory final : public IClassFactory {
    public:
        HRESULT QueryInterface(REFIID riid, void** ppv) override;
        ULONG AddRef() override { return 1; }  // lives as long as its factory
        ULONG Release() override { return 1; }
        HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
        HRESULT LockServer(BOOL lock) override;
        COleObjectFactory* owner = nullptr;
    };

    HRESULT CreateObject(IUnknown* outer, REFIID riid, void** ppv) const;

    XClassFactory m_xClassFactory;
};

// ---- maps ------------------------------------------------------------------------------------

#define DECLARE_INTERFACE_MAP() \
private: \
    static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[]; \
protected: \
    static const AFX_INTERFACEMAP interfaceMap; \
    const AFX_INTERFACEMAP* GetInterfaceMap() const override;

#define BEGIN_INTERFACE_MAP(theClass, baseClass) \
    const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const { return &theClass::interfaceMap; } \
    const AFX_INTERFACEMAP theClass::interfaceMap = {&baseClass::interfaceMap, &theClass::_interfaceEntries[0]}; \
    const AFX_INTERFACEMAP_ENTRY theClass::_interfaceEntries[] = {

#define INTERFACE_PART(theClass, iid, localClass) \
    {&iid, [](CAutomationTarget* t) -> IUnknown* { return &static_cast<theClass*>(t)->m_x##localClass; }},

#define INTERFACE_AGGREGATE(theClass, theAggregate) \
    {nullptr, [](CAutomationTarget* t) -> IUnknown* { return static_cast<theClass*>(t)->theAggregate; }},

#define END_INTERFACE_MAP() {nullptr, nullptr} };

#define BEGIN_INTERFACE_PART(localClass, baseInterface) \
    class X##localClass : public baseInterface { \
    public: \
        HRESULT QueryInterface(REFIID iid, void** ppvObj) override; \
        ULONG AddRef() override; \
        ULONG Release() override;

#define END_INTERFACE_PART(localClass) \
    } m_x##localClass; \
    friend class X##localClass;

// Inside a method of an interface part: pThis is the object that holds the part.
#define METHOD_PROLOGUE(theClass, localClass) \
    _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Winvalid-offsetof\"") \
    theClass* pThis = reinterpret_cast<theClass*>(reinterpret_cast<BYTE*>(this) - offsetof(theClass, m_x##localClass)); \
    _Pragma("GCC diagnostic pop") (void)pThis;

#define DECLARE_DISPATCH_MAP() \
private: \
    static const AFX_DISPMAP_ENTRY _dispatchEntries[]; \
protected: \
    static const AFX_DISPMAP dispatchMap; \
    const AFX_DISPMAP* GetDispatchMap() const override;

#define BEGIN_DISPATCH_MAP(theClass, baseClass) \
    const AFX_DISPMAP* theClass::GetDispatchMap() const { return &theClass::dispatchMap; } \
    const AFX_DISPMAP theClass::dispatchMap = {&baseClass::dispatchMap, &theClass::_dispatchEntries[0]}; \
    const AFX_DISPMAP_ENTRY theClass::_dispatchEntries[] = {

// The VT_ and VTS_ arguments document the member; the types come from its C++ signature.
#define DISP_FUNCTION(theClass, name, member, vtRetVal, vtsParams) \
    {L"" name, &AutomationDetail::InvokeMethod<&theClass::member>},

#define DISP_PROPERTY_EX(theClass, name, getter, setter, vtPropType) \
    {L"" name, &AutomationDetail::InvokeProperty<&theClass::getter, &theClass::setter>},

#define DISP_PROPERTY(theClass, name, field, vtPropType) \
    {L"" name, &AutomationDetail::InvokeField<&theClass::field>},

#define END_DISPATCH_MAP() {nullptr, nullptr} };

// ---- argument and result conversion of dispatch members --------------------------------------

namespace AutomationDetail {

template<typename R>
HRESULT StoreResult(R&& value, VARIANT* result);

// Holds one argument converted to the parameter type T; by-reference parameters write back.
template<typename T>
struct Argument;

template<typename T, VARTYPE VT, auto Field>
struct ValueArgument {
    T value{};
    HRESULT status;
    explicit ValueArgument(VARIANT* v)
    {
        VARIANT converted;
        VariantInit(&converted);
        status = VariantChangeType(&converted, v, VARIANT_ALPHABOOL, VT);
        if (SUCCEEDED(status))
            value = static_cast<T>(converted.*Field);
        VariantClear(&converted);
    }
    T get() { return value; }
};

template<> struct Argument<double> : ValueArgument<double, VT_R8, &VARIANT::dblVal> { using ValueArgument::ValueArgument; };
template<> struct Argument<float> : ValueArgument<float, VT_R4, &VARIANT::fltVal> { using ValueArgument::ValueArgument; };
template<> struct Argument<short> : ValueArgument<short, VT_I2, &VARIANT::iVal> { using ValueArgument::ValueArgument; };
template<> struct Argument<int> : ValueArgument<int, VT_I4, &VARIANT::lVal> { using ValueArgument::ValueArgument; };
template<> struct Argument<long> : ValueArgument<long, VT_I4, &VARIANT::lVal> { using ValueArgument::ValueArgument; };
template<> struct Argument<bool> : ValueArgument<bool, VT_BOOL, &VARIANT::boolVal> { using ValueArgument::ValueArgument; };
template<> struct Argument<BYTE> : ValueArgument<BYTE, VT_UI1, &VARIANT::bVal> { using ValueArgument::ValueArgument; };

template<>
struct Argument<const wchar_t*> {
    VARIANT text;
    HRESULT status;
    explicit Argument(VARIANT* v)
    {
        VariantInit(&text);
        status = VariantChangeType(&text, v, VARIANT_ALPHABOOL, VT_BSTR);
    }
    ~Argument() { VariantClear(&text); }
    Argument(const Argument&) = delete;
    const wchar_t* get() { return text.bstrVal ? text.bstrVal : L""; }
};
template<> struct Argument<wchar_t*> : Argument<const wchar_t*> {
    using Argument<const wchar_t*>::Argument;
    wchar_t* get() { return const_cast<wchar_t*>(Argument<const wchar_t*>::get()); }
};

template<>
struct Argument<IDispatch*> {
    VARIANT object;
    HRESULT status;
    explicit Argument(VARIANT* v)
    {
        VariantInit(&object);
        status = VariantChangeType(&object, v, 0, VT_DISPATCH);
    }
    ~Argument() { VariantClear(&object); }
    Argument(const Argument&) = delete;
    IDispatch* get() { return object.pdispVal; }
};

template<>
struct Argument<const VARIANT&> {
    VARIANT* value;
    HRESULT status = S_OK;
    explicit Argument(VARIANT* v) : value(v->vt == (VT_BYREF | VT_VARIANT) ? v->pvarVal : v) {}
    const VARIANT& get() { return *value; }
};
template<> struct Argument<VARIANT*> {
    VARIANT* value;
    HRESULT status = S_OK;
    explicit Argument(VARIANT* v) : value(v->vt == (VT_BYREF | VT_VARIANT) ? v->pvarVal : v) {}
    VARIANT* get() { return value; }
};

// A pointer parameter: the caller's typed reference, or a temporary written back to its variant.
template<typename T>
struct Argument<T*> {
    Argument<T> input;
    T value{};
    VARIANT* target;
    HRESULT status;
    explicit Argument(VARIANT* v) : input(v), target(v)
    {
        status = input.status;
        if (SUCCEEDED(status))
            value = input.get();
    }
    ~Argument()
    {
        VARIANT out;
        VariantInit(&out);
        StoreResult(T(value), &out);
        VariantWriteByRef(target, out);
        VariantClear(&out);
    }
    T* get() { return &value; }
};

template<typename R>
HRESULT StoreResult(R&& value, VARIANT* result)
{
    if (!result)
        return S_OK;
    using T = std::decay_t<R>;
    VariantClear(result);
    if constexpr (std::is_same_v<T, double>) {
        result->vt = VT_R8;
        result->dblVal = value;
    } else if constexpr (std::is_same_v<T, float>) {
        result->vt = VT_R4;
        result->fltVal = value;
    } else if constexpr (std::is_same_v<T, short>) {
        result->vt = VT_I2;
        result->iVal = value;
    } else if constexpr (std::is_same_v<T, int> || std::is_same_v<T, long>) {
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(value);
    } else if constexpr (std::is_same_v<T, bool>) {
        result->vt = VT_BOOL;
        result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    } else if constexpr (std::is_same_v<T, BSTR>) {
        result->vt = VT_BSTR;
        result->bstrVal = value;  // the member's new string goes to the caller
    } else if constexpr (std::is_same_v<T, IDispatch*>) {
        result->vt = VT_DISPATCH;
        result->pdispVal = value;  // the member's reference goes to the caller
    } else if constexpr (std::is_same_v<T, VARIANT>) {
        *result = value;
    } else {
        static_assert(sizeof(T) == 0, "unsupported result type of a dispatch member");
    }
    return S_OK;
}

template<typename F>
struct MethodTraits;
template<typename C, typename R, typename... A>
struct MethodTraits<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
    using Arguments = std::tuple<A...>;
};

template<auto Method, typename C, typename R, typename... A, size_t... I>
HRESULT CallMethod(C* object, std::span<VARIANT*> args, VARIANT* result, std::index_sequence<I...>)
{
    (void)args;
    std::tuple<Argument<A>...> converted(args[I]...);  // built in place: arguments own data
    HRESULT status = S_OK;
    ((status = FAILED(status) ? status : std::get<I>(converted).status), ...);
    if (FAILED(status))
        return DISP_E_TYPEMISMATCH;
    if constexpr (std::is_void_v<R>) {
        (object->*Method)(std::get<I>(converted).get()...);
        if (result)
            VariantClear(result);
        return S_OK;
    } else {
        return StoreResult((object->*Method)(std::get<I>(converted).get()...), result);
    }
}

template<auto Method>
HRESULT InvokeMethod(CAutomationTarget* target, WORD flags, std::span<VARIANT*> args, VARIANT* result)
{
    using Traits = MethodTraits<decltype(Method)>;
    return []<typename... A>(CAutomationTarget* t, WORD f, std::span<VARIANT*> a, VARIANT* r, std::tuple<A...>*) {
        if (f & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
            return DISP_E_MEMBERNOTFOUND;
        if (a.size() != sizeof...(A))
            return DISP_E_BADPARAMCOUNT;
        return CallMethod<Method, typename Traits::Class, typename Traits::Result, A...>(
            static_cast<typename Traits::Class*>(t), a, r, std::index_sequence_for<A...>{});
    }(target, flags, args, result, static_cast<typename Traits::Arguments*>(nullptr));
}

template<auto Getter, auto Setter>
HRESULT InvokeProperty(CAutomationTarget* target, WORD flags, std::span<VARIANT*> args, VARIANT* result)
{
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
        return InvokeMethod<Setter>(target, DISPATCH_METHOD, args, nullptr);
    return InvokeMethod<Getter>(target, DISPATCH_METHOD, args, result);
}

template<typename F>
struct FieldTraits;
template<typename C, typename T>
struct FieldTraits<T C::*> {
    using Class = C;
    using Type = T;
};

template<auto Field>
HRESULT InvokeField(CAutomationTarget* target, WORD flags, std::span<VARIANT*> args, VARIANT* result)
{
    using Traits = FieldTraits<decltype(Field)>;
    auto* object = static_cast<typename Traits::Class*>(target);
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (args.size() != 1)
            return DISP_E_BADPARAMCOUNT;
        Argument<typename Traits::Type> value(args[0]);
        if (FAILED(value.status))
            return DISP_E_TYPEMISMATCH;
        object->*Field = value.get();
        return S_OK;
    }
    if (!args.empty())
        return DISP_E_BADPARAMCOUNT;
    return StoreResult(typename Traits::Type(object->*Field), result);
}

} // namespace AutomationDetail
