#include "platform/com/DispatchDriver.h"

#include "platform/com/ClassRegistry.h"

#include <vector>

IMPLEMENT_DYNAMIC(COleException, CException)
IMPLEMENT_DYNAMIC(COleDispatchException, CException)

CString COleException::Message() const
{
    CString text;
    text.Format(L"OLE error 0x%08X", static_cast<unsigned>(m_sc));
    return text;
}

COleDispatchException::COleDispatchException(LPCWSTR description, UINT helpId, WORD code)
    : m_wCode(code), m_strDescription(description), m_dwHelpContext(helpId)
{
}

void AfxThrowOleException(SCODE sc)
{
    throw new COleException(sc);
}

void AfxThrowOleDispatchException(WORD code, LPCWSTR description, UINT helpId)
{
    throw new COleDispatchException(description, helpId, code);
}

COleDispatchDriver::COleDispatchDriver(LPDISPATCH dispatch, BOOL autoRelease)
    : m_lpDispatch(dispatch), m_bAutoRelease(autoRelease)
{
}

COleDispatchDriver::COleDispatchDriver(const COleDispatchDriver& other)
    : m_lpDispatch(other.m_lpDispatch), m_bAutoRelease(TRUE)
{
    if (m_lpDispatch)
        m_lpDispatch->AddRef();
}

COleDispatchDriver& COleDispatchDriver::operator=(const COleDispatchDriver& other)
{
    if (this != &other) {
        if (other.m_lpDispatch)
            other.m_lpDispatch->AddRef();
        ReleaseDispatch();
        m_lpDispatch = other.m_lpDispatch;
        m_bAutoRelease = TRUE;
    }
    return *this;
}

COleDispatchDriver::~COleDispatchDriver()
{
    ReleaseDispatch();
}

BOOL COleDispatchDriver::CreateDispatch(REFCLSID clsid, COleException* error)
{
    ReleaseDispatch();
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(&m_lpDispatch));
    if (FAILED(hr)) {
        m_lpDispatch = nullptr;
        if (error)
            error->m_sc = hr;
        return FALSE;
    }
    m_bAutoRelease = TRUE;
    return TRUE;
}

BOOL COleDispatchDriver::CreateDispatch(LPCWSTR progId, COleException* error)
{
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) {
        if (error)
            error->m_sc = hr;
        return FALSE;
    }
    return CreateDispatch(clsid, error);
}

void COleDispatchDriver::AttachDispatch(LPDISPATCH dispatch, BOOL autoRelease)
{
    ReleaseDispatch();
    m_lpDispatch = dispatch;
    m_bAutoRelease = autoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch()
{
    LPDISPATCH dispatch = m_lpDispatch;
    m_lpDispatch = nullptr;
    return dispatch;
}

void COleDispatchDriver::ReleaseDispatch()
{
    if (m_lpDispatch && m_bAutoRelease)
        m_lpDispatch->Release();
    m_lpDispatch = nullptr;
}


void COleDispatchDriver::InvokeHelperV(DISPID id, WORD flags, VARTYPE vtRet, void* pvRet, const BYTE* paramInfo,
                                       va_list args)
{
    if (!m_lpDispatch)
        AfxThrowOleException(E_UNEXPECTED);
    std::vector<VARIANT> natural;
    std::vector<BSTR> copies;  // texts given as LPCOLESTR become system strings for the call
    for (const BYTE* p = paramInfo; p && *p; ++p) {
        BYTE info = *p;
        VARIANT v;
        VariantInit(&v);
        if (info & 0x40) {
            v.vt = VT_BYREF | (info & ~0x40);
            v.byref = va_arg(args, void*);
        } else {
            v.vt = info;
            switch (info) {
            case VT_I2: v.iVal = static_cast<SHORT>(va_arg(args, int)); break;
            case VT_UI1: v.bVal = static_cast<BYTE>(va_arg(args, int)); break;
            case VT_BOOL: v.boolVal = va_arg(args, int) ? VARIANT_TRUE : VARIANT_FALSE; break;
            case VT_I4: v.lVal = va_arg(args, int); break;
            case VT_ERROR: v.scode = va_arg(args, int); break;
            case VT_R4: v.fltVal = static_cast<float>(va_arg(args, double)); break;
            case VT_R8: v.dblVal = va_arg(args, double); break;
            case VT_DATE: v.date = va_arg(args, double); break;
            case VT_CY: v.cyVal = va_arg(args, CY); break;
            case VT_BSTR: v.bstrVal = const_cast<BSTR>(va_arg(args, LPCOLESTR)); break;  // copied below
            case VT_DISPATCH: v.pdispVal = va_arg(args, LPDISPATCH); break;
            case VT_UNKNOWN: v.punkVal = va_arg(args, LPUNKNOWN); break;
            case VT_VARIANT:
                if (const VARIANT* given = va_arg(args, const VARIANT*))
                    v = *given;  // borrowed for the call
                break;
            default:
                for (BSTR b : copies)
                    SysFreeString(b);
                AfxThrowOleException(DISP_E_BADVARTYPE);
            }
        }
        if (v.vt == VT_BSTR) {
            v.bstrVal = SysAllocString(v.bstrVal ? v.bstrVal : L"");
            copies.push_back(v.bstrVal);
        }
        natural.push_back(v);
    }
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO info{};
    HRESULT hr = InvokeDispatch(m_lpDispatch, id, flags, natural.data(), static_cast<UINT>(natural.size()),
                                vtRet == VT_EMPTY ? nullptr : &result, &info);
    for (BSTR b : copies)
        SysFreeString(b);
    if (FAILED(hr)) {
        VariantClear(&result);
        if (hr == DISP_E_EXCEPTION) {
            if (info.pfnDeferredFillIn)
                info.pfnDeferredFillIn(&info);
            auto* e = new COleDispatchException(info.bstrDescription ? info.bstrDescription : L"", info.dwHelpContext,
                                                info.wCode);
            e->m_scError = info.scode;
            e->m_strSource = info.bstrSource ? info.bstrSource : L"";
            e->m_strHelpFile = info.bstrHelpFile ? info.bstrHelpFile : L"";
            ClearExcepInfo(&info);
            throw e;
        }
        ClearExcepInfo(&info);
        AfxThrowOleException(hr);
    }
    ClearExcepInfo(&info);
    if (vtRet == VT_EMPTY || !pvRet)
        return;
    if (vtRet != VT_VARIANT && result.vt != vtRet) {
        hr = VariantChangeType(&result, &result, 0, vtRet);
        if (FAILED(hr)) {
            VariantClear(&result);
            AfxThrowOleException(hr);
        }
    }
    switch (vtRet) {
    case VT_I2: *static_cast<SHORT*>(pvRet) = result.iVal; break;
    case VT_I4: *static_cast<LONG*>(pvRet) = result.lVal; break;
    case VT_R4: *static_cast<float*>(pvRet) = result.fltVal; break;
    case VT_R8: *static_cast<double*>(pvRet) = result.dblVal; break;
    case VT_DATE: *static_cast<DATE*>(pvRet) = result.date; break;
    case VT_CY: *static_cast<CY*>(pvRet) = result.cyVal; break;
    case VT_BOOL: *static_cast<BOOL*>(pvRet) = result.boolVal != 0; break;
    case VT_UI1: *static_cast<BYTE*>(pvRet) = result.bVal; break;
    case VT_ERROR: *static_cast<SCODE*>(pvRet) = result.scode; break;
    case VT_BSTR:
        *static_cast<CString*>(pvRet) = CString(std::wstring(BstrView(result.bstrVal)));
        VariantClear(&result);
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        *static_cast<IUnknown**>(pvRet) = result.punkVal;  // the caller takes the reference
        break;
    case VT_VARIANT:
        VariantClear(static_cast<VARIANT*>(pvRet));
        *static_cast<VARIANT*>(pvRet) = result;
        break;
    default:
        VariantClear(&result);
        AfxThrowOleException(DISP_E_BADVARTYPE);
    }
}

void COleDispatchDriver::InvokeHelper(DISPID id, WORD flags, VARTYPE vtRet, void* pvRet, const BYTE* paramInfo, ...)
{
    va_list args;
    va_start(args, paramInfo);
    try {
        InvokeHelperV(id, flags, vtRet, pvRet, paramInfo, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}

void COleDispatchDriver::GetProperty(DISPID id, VARTYPE vtProp, void* pvProp) const
{
    const_cast<COleDispatchDriver*>(this)->InvokeHelper(id, DISPATCH_PROPERTYGET, vtProp, pvProp, nullptr);
}
