#include "platform/com/AutomationObject.h"

#include <algorithm>
#include <cwctype>

namespace {

bool SameNameNoCase(std::wstring_view a, const wchar_t* b)
{
    size_t i = 0;
    for (; i < a.size(); ++i)
        if (!b[i] || std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    return b[i] == 0;
}

VARIANT* Target(VARIANT* arg)
{
    return (arg->vt == (VT_BYREF | VT_VARIANT)) ? arg->pvarVal : arg;
}

} // namespace

VARIANT AutomationObject::Call::Arg(size_t i) const
{
    VARIANT v;
    VariantInit(&v);
    if (i < args.size())
        VariantCopyInd(&v, args[i]);
    if (v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND)
        VariantInit(&v);
    return v;
}

bool AutomationObject::Call::Has(size_t i) const
{
    if (i >= args.size())
        return false;
    const VARIANT* v = Target(args[i]);
    return !(v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND);
}

HRESULT AutomationObject::Call::ArgAs(size_t i, VARTYPE vt, VARIANT& out) const
{
    if (!Has(i))
        return DISP_E_PARAMNOTOPTIONAL;
    VARIANT v = Arg(i);
    HRESULT hr = VariantChangeType(&v, &v, VARIANT_ALPHABOOL, vt);
    if (FAILED(hr)) {
        VariantClear(&v);
        return hr;
    }
    VariantClear(&out);
    out = v;
    return S_OK;
}

HRESULT AutomationObject::Call::Text(size_t i, std::wstring& out) const
{
    VARIANT v;
    VariantInit(&v);
    HRESULT hr = ArgAs(i, VT_BSTR, v);
    if (SUCCEEDED(hr))
        out.assign(BstrView(v.bstrVal));
    VariantClear(&v);
    return hr;
}

HRESULT AutomationObject::Call::Number(size_t i, double& out) const
{
    VARIANT v;
    VariantInit(&v);
    HRESULT hr = ArgAs(i, VT_R8, v);
    if (SUCCEEDED(hr))
        out = v.dblVal;
    return hr;
}

HRESULT AutomationObject::Call::Flag(size_t i, bool& out) const
{
    VARIANT v;
    VariantInit(&v);
    HRESULT hr = ArgAs(i, VT_BOOL, v);
    if (SUCCEEDED(hr))
        out = v.boolVal != 0;
    return hr;
}

HRESULT AutomationObject::Call::WriteBack(size_t i, const VARIANT& value) const
{
    if (i >= args.size())
        return DISP_E_TYPEMISMATCH;
    return VariantWriteByRef(args[i], value);
}

void AutomationObject::Call::Return(VARIANT value) const
{
    if (result) {
        VariantClear(result);
        *result = value;
    } else {
        VariantClear(&value);
    }
}

void AutomationObject::Call::ReturnText(std::wstring_view text) const
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringView(text);
    Return(v);
}

void AutomationObject::Call::ReturnBool(bool value) const
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    Return(v);
}

void AutomationObject::Call::ReturnLong(LONG value) const
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    Return(v);
}

void AutomationObject::Call::ReturnDouble(double value) const
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    Return(v);
}

void AutomationObject::Call::ReturnObject(IDispatch* object) const
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    if (object)
        object->AddRef();
    Return(v);
}

HRESULT AutomationObject::Call::Raise(int number, std::wstring_view description, std::wstring_view source) const
{
    if (exception) {
        ClearExcepInfo(exception);
        exception->scode = MakeControlError(number);
        exception->bstrDescription = SysAllocStringView(description);
        exception->bstrSource = SysAllocStringView(source);
    }
    return DISP_E_EXCEPTION;
}

HRESULT AutomationObject::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *ppv = static_cast<IDispatch*>(this);
    } else if (void* extra = QueryExtraInterface(riid)) {
        *ppv = extra;
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG AutomationObject::AddRef() { return ++m_refs; }

ULONG AutomationObject::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT AutomationObject::GetTypeInfoCount(UINT* pctinfo)
{
    if (!pctinfo)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

HRESULT AutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo)
        *ppTInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT AutomationObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!names || !ids || count == 0)
        return E_INVALIDARG;
    const Member* member = nullptr;
    for (const Member& m : m_members)
        if (names[0] && SameNameNoCase(m.name, names[0]))
            member = &m;
    ids[0] = member ? member->id : DISPID_UNKNOWN;
    bool allFound = member != nullptr;
    for (UINT n = 1; n < count; ++n) {
        ids[n] = DISPID_UNKNOWN;
        if (!member || !names[n]) {
            allFound = false;
            continue;
        }
        for (size_t p = 0; p < member->parameters.size(); ++p)
            if (SameNameNoCase(member->parameters[p], names[n]))
                ids[n] = static_cast<DISPID>(p);
        allFound = allFound && ids[n] != DISPID_UNKNOWN;
    }
    return allFound ? S_OK : DISP_E_UNKNOWNNAME;
}

const AutomationObject::Member* AutomationObject::Find(DISPID id) const
{
    for (const Member& m : m_members)
        if (m.id == id)
            return &m;
    return nullptr;
}

HRESULT AutomationObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* exception, UINT*)
{
    const Member* member = Find(id);
    if (!member)
        return DISP_E_MEMBERNOTFOUND;
    static VARIANT missing = [] {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_ERROR;
        v.scode = DISP_E_PARAMNOTFOUND;
        return v;
    }();
    Call call{flags, {}, result, exception};
    if (params && params->cArgs) {
        if (!params->rgvarg)
            return E_INVALIDARG;
        UINT named = std::min(params->cNamedArgs, params->cArgs);
        UINT positional = params->cArgs - named;
        VARIANT* putValue = nullptr;
        // Positional arguments come last in rgvarg, reversed.
        for (UINT i = 0; i < positional; ++i)
            call.args.push_back(&params->rgvarg[params->cArgs - 1 - i]);
        for (UINT n = 0; n < named; ++n) {
            DISPID slot = params->rgdispidNamedArgs ? params->rgdispidNamedArgs[n] : DISPID_UNKNOWN;
            if (slot == DISPID_PROPERTYPUT) {
                putValue = &params->rgvarg[n];
                continue;
            }
            if (slot < 0 || size_t(slot) >= member->parameters.size())
                return DISP_E_PARAMNOTFOUND;
            if (call.args.size() <= size_t(slot))
                call.args.resize(slot + 1, &missing);
            call.args[slot] = &params->rgvarg[n];
        }
        if (putValue)
            call.args.push_back(putValue);
    }
    if (result)
        VariantInit(result);
    Handler handler = member->handler;  // the call may replace the table
    AddRef();
    HRESULT hr;
    if (member->indexesResult && !call.args.empty() && !call.IsPut()) {
        VARIANT collection;
        VariantInit(&collection);
        Call get{DISPATCH_PROPERTYGET, {}, &collection, exception};
        hr = handler(get);
        if (SUCCEEDED(hr)) {
            if (collection.vt != VT_DISPATCH || !collection.pdispVal) {
                hr = DISP_E_BADPARAMCOUNT;
            } else {
                DISPPARAMS indexArgs = *params;
                hr = collection.pdispVal->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                                                 &indexArgs, result, exception, nullptr);
            }
        }
        VariantClear(&collection);
    } else {
        hr = handler(call);
    }
    Release();
    return hr;
}

std::vector<std::wstring> AutomationObject::MemberNames() const
{
    std::vector<std::wstring> names;
    for (const Member& m : m_members)
        names.push_back(m.name);
    return names;
}

void AutomationObject::AddMember(std::wstring name, DISPID id, Handler handler, std::vector<std::wstring> parameterNames)
{
    m_members.push_back({std::move(name), id, std::move(handler), std::move(parameterNames), false});
}

void AutomationObject::AddCollectionProperty(std::wstring name, DISPID id, Handler handler)
{
    m_members.push_back({std::move(name), id, std::move(handler), {}, true});
}

// ---- VariantEnumerator -----------------------------------------------------------------------

VariantEnumerator::VariantEnumerator(std::vector<VARIANT> values) : m_values(std::move(values)) {}

VariantEnumerator::~VariantEnumerator()
{
    for (VARIANT& v : m_values)
        VariantClear(&v);
}

HRESULT VariantEnumerator::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IEnumVARIANT) {
        *ppv = static_cast<IEnumVARIANT*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG VariantEnumerator::Release()
{
    ULONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return refs;
}

HRESULT VariantEnumerator::Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched)
{
    if (!rgVar)
        return E_POINTER;
    ULONG fetched = 0;
    while (fetched < celt && m_position < m_values.size()) {
        VariantInit(&rgVar[fetched]);
        VariantCopy(&rgVar[fetched], &m_values[m_position++]);
        ++fetched;
    }
    if (pCeltFetched)
        *pCeltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
}

HRESULT VariantEnumerator::Skip(ULONG celt)
{
    m_position = std::min(m_values.size(), m_position + celt);
    return m_position < m_values.size() ? S_OK : S_FALSE;
}

HRESULT VariantEnumerator::Clone(IEnumVARIANT** ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    std::vector<VARIANT> copies(m_values.size());
    for (size_t i = 0; i < m_values.size(); ++i) {
        VariantInit(&copies[i]);
        VariantCopy(&copies[i], &m_values[i]);
    }
    auto* clone = new VariantEnumerator(std::move(copies));
    clone->m_position = m_position;
    *ppEnum = clone;
    return S_OK;
}
