#include "platform/com/Guid.h"

#include <cwchar>
#include <cstring>

bool operator==(const GUID& a, const GUID& b)
{
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3
        && std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

namespace {

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

// Reads digits hex digits from text into value; false when one is not a hex digit.
bool ReadHex(const wchar_t*& text, int digits, unsigned long long& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i) {
        int v = HexValue(text[i]);
        if (v < 0)
            return false;
        value = value * 16 + v;
    }
    text += digits;
    return true;
}

bool ParseBraced(const wchar_t* text, GUID& guid)
{
    if (!text || std::wcslen(text) != 38 || text[0] != L'{' || text[37] != L'}')
        return false;
    const wchar_t* p = text + 1;
    unsigned long long v;
    if (!ReadHex(p, 8, v) || *p++ != L'-')
        return false;
    guid.Data1 = static_cast<DWORD>(v);
    if (!ReadHex(p, 4, v) || *p++ != L'-')
        return false;
    guid.Data2 = static_cast<WORD>(v);
    if (!ReadHex(p, 4, v) || *p++ != L'-')
        return false;
    guid.Data3 = static_cast<WORD>(v);
    for (int i = 0; i < 8; ++i) {
        if (i == 2 && *p++ != L'-')
            return false;
        if (!ReadHex(p, 2, v))
            return false;
        guid.Data4[i] = static_cast<BYTE>(v);
    }
    return true;
}

} // namespace

bool GuidFromBracedText(LPCOLESTR text, GUID& guid) { return ParseBraced(text, guid); }

HRESULT IIDFromString(LPCOLESTR text, IID* iid)
{
    if (!iid)
        return E_INVALIDARG;
    if (ParseBraced(text, *iid))
        return S_OK;
    *iid = IID_NULL;
    return E_INVALIDARG;
}

int StringFromGUID2(REFGUID guid, LPOLESTR buffer, int size)
{
    if (!buffer || size < 39)
        return 0;
    std::swprintf(buffer, size, L"{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1,
                  guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                  guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return 39;
}

const IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IEnumVARIANT = {0x00020404, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_ITypeInfo = {0x00020401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IProvideClassInfo = {0xB196B283, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
const IID IID_IProvideClassInfo2 = {0xA6BC3AC0, 0xDBAA, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
const IID IID_IProvideMultipleClassInfo = {0xA7ABA9C1, 0x8983, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
const IID IID_IConnectionPointContainer = {0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[39];
    StringFromGUID2(guid, text, 39);
    return text;
}
