#pragma once
// Globally unique identifiers: class ids, interface ids and their registry text form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".

#include "platform/base/WinTypes.h"

#include <string>

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];

    friend bool operator==(const GUID& a, const GUID& b);
};

using IID = GUID;
using CLSID = GUID;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using REFGUID = const GUID&;
using LPOLESTR = wchar_t*;
using LPCOLESTR = const wchar_t*;
using OLECHAR = wchar_t;

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return a == b; }
inline bool IsEqualIID(REFIID a, REFIID b) { return a == b; }
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b) { return a == b; }

constexpr HRESULT CO_E_CLASSSTRING = static_cast<HRESULT>(0x800401F3);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);

// Reads the braced text form (case-insensitive hex digits); false when malformed. (CLSIDFromString,
// which also takes a ProgID, is in ClassRegistry.h.)
bool GuidFromBracedText(LPCOLESTR text, GUID& guid);
HRESULT IIDFromString(LPCOLESTR text, IID* iid);
// Writes the braced upper-case form; returns the characters written with the terminator,
// 0 when the buffer is smaller than 39.
int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int size);
// The braced upper-case form as a string.
std::wstring GuidText(REFGUID guid);

extern const IID IID_NULL;
extern const IID IID_IUnknown;
extern const IID IID_IDispatch;
extern const IID IID_IClassFactory;
extern const IID IID_IEnumVARIANT;
extern const IID IID_ITypeInfo;
extern const IID IID_IProvideClassInfo;
extern const IID IID_IProvideClassInfo2;
extern const IID IID_IProvideMultipleClassInfo;
extern const IID IID_IConnectionPointContainer;
