#pragma once
// Calling automation objects from C++: COleDispatchDriver with InvokeHelper and its parameter
// strings (VTS_...), and the exceptions it throws for failed calls.

#include "platform/base/Exceptions.h"
#include "platform/com/Automation.h"

#include <cstdarg>

// A failed call: m_sc holds the failure code.
class COleException : public CException {
    DECLARE_DYNAMIC(COleException)
public:
    explicit COleException(SCODE sc = S_OK) : m_sc(sc) {}
    SCODE m_sc;

protected:
    CString Message() const override;
};

// An error the called object raised itself, with its exception record.
class COleDispatchException : public CException {
    DECLARE_DYNAMIC(COleDispatchException)
public:
    COleDispatchException(LPCWSTR description, UINT helpId, WORD code);
    WORD m_wCode;
    SCODE m_scError = 0;
    CString m_strSource;
    CString m_strDescription;
    CString m_strHelpFile;
    DWORD m_dwHelpContext = 0;

protected:
    CString Message() const override { return m_strDescription; }
};

[[noreturn]] void AfxThrowOleException(SCODE sc);
[[noreturn]] void AfxThrowOleDispatchException(WORD code, LPCWSTR description, UINT helpId = 0);

// Parameter strings: one byte per argument, the argument's VARTYPE, with 0x40 added for a
// pointer passed by reference. In the variable arguments: VTS_I2, VTS_UI1, VTS_BOOL, VTS_I4 and
// VTS_SCODE take an int, VTS_R4/VTS_R8/VTS_DATE a double, VTS_CY a CY, VTS_BSTR an LPCOLESTR,
// VTS_DISPATCH/VTS_UNKNOWN the interface pointer, VTS_VARIANT a const VARIANT*.
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_CY "\x06"
#define VTS_DATE "\x07"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_SCODE "\x0A"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_UNKNOWN "\x0D"
#define VTS_UI1 "\x11"
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PR4 "\x44"
#define VTS_PR8 "\x45"
#define VTS_PCY "\x46"
#define VTS_PDATE "\x47"
#define VTS_PBSTR "\x48"
#define VTS_PDISPATCH "\x49"
#define VTS_PSCODE "\x4A"
#define VTS_PBOOL "\x4B"
#define VTS_PVARIANT "\x4C"
#define VTS_PUNKNOWN "\x4D"
#define VTS_PUI1 "\x51"
#define VTS_NONE ""

class COleDispatchDriver {
public:
    COleDispatchDriver() = default;
    explicit COleDispatchDriver(LPDISPATCH dispatch, BOOL autoRelease = TRUE);
    COleDispatchDriver(const COleDispatchDriver& other);
    COleDispatchDriver& operator=(const COleDispatchDriver& other);
    ~COleDispatchDriver();

    // Creates the object and keeps its IDispatch; FALSE (with the code in error) on failure.
    BOOL CreateDispatch(REFCLSID clsid, COleException* error = nullptr);
    BOOL CreateDispatch(LPCWSTR progId, COleException* error = nullptr);
    void AttachDispatch(LPDISPATCH dispatch, BOOL autoRelease = TRUE);
    LPDISPATCH DetachDispatch();
    void ReleaseDispatch();

    // Calls the member. pvRet receives the result by vtRet: VT_I2 short*, VT_I4 LONG*, VT_R4 float*,
    // VT_R8/VT_DATE double*, VT_CY CY*, VT_BSTR CString*, VT_DISPATCH/VT_UNKNOWN interface pointer
    // (one reference), VT_BOOL BOOL*, VT_VARIANT VARIANT*, VT_ERROR SCODE*, VT_UI1 BYTE*.
    // Failures throw COleDispatchException (raised by the object) or COleException.
    void InvokeHelper(DISPID id, WORD flags, VARTYPE vtRet, void* pvRet, const BYTE* paramInfo, ...);
    void InvokeHelperV(DISPID id, WORD flags, VARTYPE vtRet, void* pvRet, const BYTE* paramInfo, va_list args);
    // Sets the property to value, of the type vtProp as InvokeHelper takes its arguments. (A
    // variadic function cannot start its list after a VARTYPE, which is promoted.)
    template<typename Value>
    void SetProperty(DISPID id, VARTYPE vtProp, Value value)
    {
        const BYTE info[2] = {static_cast<BYTE>(vtProp), 0};
        WORD flags = (vtProp == VT_DISPATCH || vtProp == VT_UNKNOWN) ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
        InvokeHelper(id, flags, VT_EMPTY, nullptr, info, value);
    }
    void GetProperty(DISPID id, VARTYPE vtProp, void* pvProp) const;

    LPDISPATCH m_lpDispatch = nullptr;
    BOOL m_bAutoRelease = TRUE;
};
