#include "platform/com/BusVariant.h"

#include "platform/base/CString.h"
#include "platform/com/SessionBusLibrary.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kArraySignature = "(a(iu)a(qv))";

// The D-Bus type that carries a scalar VARTYPE; 0 for types that cannot cross.
char BasicType(VARTYPE vt)
{
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_UI1: return 'y';
    case VT_I1:
    case VT_I2: return 'n';
    case VT_UI2: return 'q';
    case VT_I4:
    case VT_INT:
    case VT_ERROR:
    case VT_HRESULT: return 'i';
    case VT_UI4:
    case VT_UINT: return 'u';
    case VT_I8:
    case VT_CY: return 'x';
    case VT_UI8: return 't';
    case VT_R4:
    case VT_R8:
    case VT_DATE: return 'd';
    case VT_BOOL: return 'b';
    case VT_BSTR: return 's';
    default: return 0;
    }
}

HRESULT Check(int r) { return HresultFromBusError(r); }

#define RETURN_IF_FAILED(expr) \
    do { \
        HRESULT hr_ = (expr); \
        if (FAILED(hr_)) \
            return hr_; \
    } while (0)

// A VARIANT that shows one element of an array without owning it.
VARIANT ElementView(const SAFEARRAY& array, ULONG index)
{
    const char* element = static_cast<const char*>(array.pvData) + size_t(index) * array.cbElements;
    if (array.vt == VT_VARIANT)
        return *reinterpret_cast<const VARIANT*>(element);
    VARIANT view;
    VariantInit(&view);
    view.vt = array.vt;
    std::memcpy(&view.llVal, element, array.cbElements);
    return view;
}

// Moves value (already of the array's element type) into an element slot that holds nothing.
void StoreElement(SAFEARRAY& array, ULONG index, VARIANT& value)
{
    char* element = static_cast<char*>(array.pvData) + size_t(index) * array.cbElements;
    if (array.vt == VT_VARIANT)
        std::memcpy(element, &value, sizeof(VARIANT));
    else
        std::memcpy(element, &value.llVal, array.cbElements);
    VariantInit(&value);
}

HRESULT WriteValue(sd_bus_message* m, const VARIANT& v, bool tagged);

HRESULT WriteScalar(sd_bus_message* m, const VARIANT& v, bool tagged)
{
    VARTYPE vt = v.vt;
    if ((vt == VT_DISPATCH || vt == VT_UNKNOWN) && !v.punkVal)
        vt = VT_EMPTY;  // Nothing crosses as Empty
    char type = BasicType(vt);
    if (!tagged && vt == VT_CY)
        type = 'd';
    if (!type)
        return DISP_E_BADVARTYPE;
    if (vt == VT_BSTR) {
        std::string text = WideToUtf8(BstrView(v.bstrVal));
        if (tagged && text.find('\0') != std::string::npos) {
            RETURN_IF_FAILED(Check(SessionBus().message_open_container(m, 'v', "ay")));
            RETURN_IF_FAILED(Check(SessionBus().message_append_array(m, 'y', text.data(), text.size())));
            return Check(SessionBus().message_close_container(m));
        }
        return Check(SessionBus().message_append(m, "v", "s", text.c_str()));
    }
    const char signature[2] = {type, 0};
    RETURN_IF_FAILED(Check(SessionBus().message_open_container(m, 'v', signature)));
    int r = 0;
    switch (type) {
    case 'y': { uint8_t x = vt == VT_UI1 ? v.bVal : 0; r = SessionBus().message_append_basic(m, type, &x); break; }
    case 'n': { int16_t x = vt == VT_I1 ? v.cVal : v.iVal; r = SessionBus().message_append_basic(m, type, &x); break; }
    case 'q': { uint16_t x = v.uiVal; r = SessionBus().message_append_basic(m, type, &x); break; }
    case 'i': { int32_t x = v.lVal; r = SessionBus().message_append_basic(m, type, &x); break; }
    case 'u': { uint32_t x = v.ulVal; r = SessionBus().message_append_basic(m, type, &x); break; }
    case 'x': { int64_t x = vt == VT_CY ? v.cyVal.int64 : v.llVal; r = SessionBus().message_append_basic(m, type, &x); break; }
    case 't': { uint64_t x = v.ullVal; r = SessionBus().message_append_basic(m, type, &x); break; }
    case 'd': {
        double x = vt == VT_R4 ? v.fltVal : vt == VT_CY ? static_cast<double>(v.cyVal.int64) / 10000 : v.dblVal;
        r = SessionBus().message_append_basic(m, type, &x);
        break;
    }
    case 'b': { int x = v.boolVal != 0; r = SessionBus().message_append_basic(m, type, &x); break; }
    }
    RETURN_IF_FAILED(Check(r));
    return Check(SessionBus().message_close_container(m));
}

HRESULT WriteArray(sd_bus_message* m, const SAFEARRAY* array, bool tagged)
{
    if (!array)
        return E_INVALIDARG;
    ULONG count = SafeArrayElementCount(array);
    if (!tagged) {
        RETURN_IF_FAILED(Check(SessionBus().message_open_container(m, 'v', "av")));
        RETURN_IF_FAILED(Check(SessionBus().message_open_container(m, 'a', "v")));
        for (ULONG i = 0; i < count; ++i)
            RETURN_IF_FAILED(WriteValue(m, ElementView(*array, i), false));
        RETURN_IF_FAILED(Check(SessionBus().message_close_container(m)));
        return Check(SessionBus().message_close_container(m));
    }
    RETURN_IF_FAILED(Check(SessionBus().message_open_container(m, 'v', kArraySignature)));
    RETURN_IF_FAILED(Check(SessionBus().message_open_container(m, 'r', "a(iu)a(qv)")));
    RETURN_IF_FAILED(Check(SessionBus().message_open_container(m, 'a', "(iu)")));
    for (USHORT d = 0; d < array->cDims; ++d)
        RETURN_IF_FAILED(
            Check(SessionBus().message_append(m, "(iu)", array->rgsabound[d].lLbound, array->rgsabound[d].cElements)));
    RETURN_IF_FAILED(Check(SessionBus().message_close_container(m)));
    RETURN_IF_FAILED(Check(SessionBus().message_open_container(m, 'a', "(qv)")));
    for (ULONG i = 0; i < count; ++i)
        RETURN_IF_FAILED(WriteTaggedVariant(m, ElementView(*array, i)));
    RETURN_IF_FAILED(Check(SessionBus().message_close_container(m)));
    RETURN_IF_FAILED(Check(SessionBus().message_close_container(m)));
    return Check(SessionBus().message_close_container(m));
}

// Writes the variant container holding v's value; references are followed.
HRESULT WriteValue(sd_bus_message* m, const VARIANT& v, bool tagged)
{
    if (v.vt & VT_BYREF) {
        VARIANT value;
        VariantInit(&value);
        HRESULT hr = VariantCopyInd(&value, &v);
        if (SUCCEEDED(hr))
            hr = WriteValue(m, value, tagged);
        VariantClear(&value);
        return hr;
    }
    if (v.vt & VT_ARRAY)
        return WriteArray(m, v.parray, tagged);
    return WriteScalar(m, v, tagged);
}

// Texts are measured before they are decoded: a huge one is refused at the cost of a look at it.
bool TextFits(size_t bytes, BusReadLimits& limits)
{
    if (bytes <= kMaxBusTextBytes)
        return true;
    limits.refusal = "A text argument is longer than " + std::to_string(kMaxBusTextBytes) + " bytes.";
    return false;
}

// Reads the basic value of D-Bus type `type` into v with the VARTYPE vt.
HRESULT ReadScalar(sd_bus_message* m, char type, VARTYPE vt, VARIANT& v, BusReadLimits& limits)
{
    union {
        uint8_t y;
        int16_t n;
        uint16_t q;
        int32_t i;
        uint32_t u;
        int64_t x;
        uint64_t t;
        double d;
        int b;
        const char* s;
    } x{};
    RETURN_IF_FAILED(Check(SessionBus().message_read_basic(m, type, &x)));
    VariantInit(&v);
    v.vt = vt;
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL: break;
    case VT_UI1: v.bVal = x.y; break;
    case VT_I1: v.cVal = static_cast<CHAR>(x.n); break;
    case VT_I2: v.iVal = x.n; break;
    case VT_UI2: v.uiVal = x.q; break;
    case VT_I4:
    case VT_INT:
    case VT_ERROR:
    case VT_HRESULT: v.lVal = x.i; break;
    case VT_UI4:
    case VT_UINT: v.ulVal = x.u; break;
    case VT_I8: v.llVal = x.x; break;
    case VT_CY: v.cyVal.int64 = x.x; break;
    case VT_UI8: v.ullVal = x.t; break;
    case VT_R4: v.fltVal = static_cast<float>(x.d); break;
    case VT_R8: v.dblVal = x.d; break;
    case VT_DATE: v.date = x.d; break;
    case VT_BOOL: v.boolVal = x.b ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_BSTR:
        if (!TextFits(::strnlen(x.s, kMaxBusTextBytes + 1), limits)) {
            v.vt = VT_EMPTY;
            return E_OUTOFMEMORY;
        }
        v.bstrVal = SysAllocStringView(NarrowToWide(x.s));
        break;
    default: v.vt = VT_EMPTY; return DISP_E_BADVARTYPE;
    }
    return S_OK;
}

// The VARTYPE a plain D-Bus basic type reads as.
VARTYPE PlainType(char type)
{
    switch (type) {
    case 'y': return VT_UI1;
    case 'n': return VT_I2;
    case 'q': return VT_UI2;
    case 'i': return VT_I4;
    case 'u': return VT_UI4;
    case 'x': return VT_I8;
    case 't': return VT_UI8;
    case 'd': return VT_R8;
    case 'b': return VT_BOOL;
    case 's':
    case 'o':
    case 'g': return VT_BSTR;
    default: return VT_EMPTY;
    }
}

// Takes count elements from what the message may still hold; E_OUTOFMEMORY past it.
HRESULT TakeElements(BusReadLimits& limits, uint64_t count)
{
    if (count <= limits.elementsLeft) {
        limits.elementsLeft -= count;
        return S_OK;
    }
    limits.refusal = "The arguments hold more than " + std::to_string(kMaxBusMessageElements) + " array elements.";
    return E_OUTOFMEMORY;
}

// Reads the next complete value of any type; containers become one-dimensional arrays of variants.
HRESULT ReadPlainValue(sd_bus_message* m, VARIANT& v, BusReadLimits& limits)
{
    char type = 0;
    const char* contents = nullptr;
    int r = SessionBus().message_peek_type(m, &type, &contents);
    if (r <= 0)
        return E_INVALIDARG;
    if (type == 'v') {
        RETURN_IF_FAILED(Check(SessionBus().message_enter_container(m, type, contents)));
        RETURN_IF_FAILED(ReadPlainValue(m, v, limits));
        return Check(SessionBus().message_exit_container(m));
    }
    if (type == 'a' || type == 'r' || type == 'e') {
        RETURN_IF_FAILED(Check(SessionBus().message_enter_container(m, type, contents)));
        std::vector<VARIANT> elements;
        HRESULT hr = S_OK;
        while (SUCCEEDED(hr) && SessionBus().message_at_end(m, false) == 0 && SUCCEEDED(hr = TakeElements(limits, 1))) {
            elements.emplace_back();
            VariantInit(&elements.back());
            hr = ReadPlainValue(m, elements.back(), limits);
        }
        SAFEARRAY* array = SUCCEEDED(hr) ? SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(elements.size())) : nullptr;
        if (SUCCEEDED(hr) && !array)
            hr = E_OUTOFMEMORY;
        for (size_t i = 0; i < elements.size(); ++i) {
            if (array)
                StoreElement(*array, static_cast<ULONG>(i), elements[i]);
            else
                VariantClear(&elements[i]);
        }
        if (FAILED(hr))
            return hr;
        v.vt = VT_ARRAY | VT_VARIANT;
        v.parray = array;
        return Check(SessionBus().message_exit_container(m));
    }
    VARTYPE vt = PlainType(type);
    if (vt == VT_EMPTY)
        return DISP_E_BADVARTYPE;
    return ReadScalar(m, type, vt, v, limits);
}

HRESULT ReadTaggedArray(sd_bus_message* m, VARTYPE elementType, VARIANT& v, BusReadLimits& limits)
{
    RETURN_IF_FAILED(Check(SessionBus().message_enter_container(m, 'r', "a(iu)a(qv)")));
    RETURN_IF_FAILED(Check(SessionBus().message_enter_container(m, 'a', "(iu)")));
    std::vector<SAFEARRAYBOUND> bounds;
    uint64_t count = 1;
    int32_t lower = 0;
    uint32_t elements = 0;
    int r;
    while ((r = SessionBus().message_read(m, "(iu)", &lower, &elements)) > 0 && bounds.size() <= 60) {
        bounds.push_back({elements, lower});
        count *= elements;
        if (count > limits.elementsLeft)
            return TakeElements(limits, count);
    }
    if (r < 0 || bounds.empty() || bounds.size() > 60)
        return E_INVALIDARG;
    RETURN_IF_FAILED(TakeElements(limits, count));
    RETURN_IF_FAILED(Check(SessionBus().message_exit_container(m)));
    SAFEARRAY* array = SafeArrayCreate(elementType, static_cast<UINT>(bounds.size()), bounds.data());
    if (!array)
        return DISP_E_BADVARTYPE;
    HRESULT hr = Check(SessionBus().message_enter_container(m, 'a', "(qv)"));
    for (ULONG i = 0; SUCCEEDED(hr) && i < count; ++i) {
        VARIANT element;
        VariantInit(&element);
        hr = ReadTaggedVariant(m, element, limits);
        if (SUCCEEDED(hr) && elementType != VT_VARIANT && element.vt != elementType)
            hr = VariantChangeType(&element, &element, 0, elementType);
        if (SUCCEEDED(hr))
            StoreElement(*array, i, element);
        VariantClear(&element);
    }
    if (SUCCEEDED(hr) && SessionBus().message_at_end(m, false) == 0)
        hr = E_INVALIDARG;  // more elements than the bounds hold
    if (SUCCEEDED(hr))
        hr = Check(SessionBus().message_exit_container(m));
    if (SUCCEEDED(hr))
        hr = Check(SessionBus().message_exit_container(m));
    if (FAILED(hr)) {
        SafeArrayDestroy(array);
        return hr;
    }
    v.vt = VT_ARRAY | elementType;
    v.parray = array;
    return S_OK;
}

} // namespace

HRESULT WriteTaggedVariant(sd_bus_message* m, const VARIANT& value)
{
    RETURN_IF_FAILED(Check(SessionBus().message_open_container(m, 'r', "qv")));
    VARTYPE vt = value.vt;
    if ((vt & VT_TYPEMASK) == VT_DISPATCH || (vt & VT_TYPEMASK) == VT_UNKNOWN) {
        // Only Nothing crosses: it arrives as Empty.
        VARIANT plain;
        VariantInit(&plain);
        VariantCopyInd(&plain, &value);
        bool nothing = !(plain.vt & VT_ARRAY) && !plain.punkVal;
        VariantClear(&plain);
        if (!nothing)
            return DISP_E_BADVARTYPE;
        vt = static_cast<VARTYPE>((vt & VT_BYREF) | VT_EMPTY);
    }
    if (vt == (VT_BYREF | VT_VARIANT) && value.pvarVal)
        vt = static_cast<VARTYPE>(VT_BYREF | (value.pvarVal->vt & ~VT_BYREF));
    RETURN_IF_FAILED(Check(SessionBus().message_append_basic(m, 'q', &vt)));
    RETURN_IF_FAILED(WriteValue(m, value, true));
    return Check(SessionBus().message_close_container(m));
}

HRESULT ReadTaggedVariant(sd_bus_message* m, VARIANT& value, BusReadLimits& limits, bool* byRef)
{
    RETURN_IF_FAILED(Check(SessionBus().message_enter_container(m, 'r', "qv")));
    uint16_t tag = 0;
    RETURN_IF_FAILED(Check(SessionBus().message_read_basic(m, 'q', &tag)));
    if (byRef)
        *byRef = tag & VT_BYREF;
    VARTYPE vt = static_cast<VARTYPE>(tag & ~VT_BYREF);
    char type = 0;
    const char* contents = nullptr;
    if (SessionBus().message_peek_type(m, &type, &contents) <= 0 || type != 'v' || !contents)
        return E_INVALIDARG;
    std::string signature = contents;
    RETURN_IF_FAILED(Check(SessionBus().message_enter_container(m, 'v', contents)));
    VariantInit(&value);
    if (vt & VT_ARRAY) {
        if (signature != kArraySignature)
            return E_INVALIDARG;
        RETURN_IF_FAILED(ReadTaggedArray(m, static_cast<VARTYPE>(vt & VT_TYPEMASK), value, limits));
    } else if (vt == VT_BSTR && signature == "ay") {
        const void* bytes = nullptr;
        size_t size = 0;
        RETURN_IF_FAILED(Check(SessionBus().message_read_array(m, 'y', &bytes, &size)));
        if (!TextFits(size, limits))
            return E_OUTOFMEMORY;
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocStringView(NarrowToWide(std::string_view(static_cast<const char*>(bytes), size)));
    } else {
        char type = BasicType(vt);
        if (!type)
            return DISP_E_BADVARTYPE;
        if (signature != std::string(1, type))
            return E_INVALIDARG;
        RETURN_IF_FAILED(ReadScalar(m, type, vt, value, limits));
    }
    RETURN_IF_FAILED(Check(SessionBus().message_exit_container(m)));
    return Check(SessionBus().message_exit_container(m));
}

HRESULT WritePlainVariant(sd_bus_message* m, const VARIANT& value) { return WriteValue(m, value, false); }

HRESULT ReadPlainVariant(sd_bus_message* m, VARIANT& value, BusReadLimits& limits)
{
    VariantInit(&value);
    return ReadPlainValue(m, value, limits);
}

namespace {

// The bytes a basic value of D-Bus type `type` takes on the wire; 0 for a text, whose bytes are
// its length's and its characters'.
size_t FixedBytes(char type)
{
    switch (type) {
    case 'y': return 1;
    case 'n':
    case 'q': return 2;
    case 'b':
    case 'i':
    case 'u':
    case 'h': return 4;
    case 'x':
    case 't':
    case 'd': return 8;
    default: return 0;
    }
}

// Whether an array of this element signature is read whole, as one block of the message.
bool IsBlockArray(const char* contents)
{
    return contents && contents[0] && !contents[1] && std::strchr("ybnqiuxtd", contents[0]);
}

} // namespace

size_t BusArgumentBytes(sd_bus_message* m, size_t limit)
{
    size_t bytes = 0;
    int depth = 0;
    // Reading hands out views of the message itself (texts and blocks of numbers), so nothing is
    // copied; a malformed message ends the count, and its reader fails at the same place.
    while (bytes <= limit) {
        char type = 0;
        const char* contents = nullptr;
        int r = SessionBus().message_peek_type(m, &type, &contents);
        if (r < 0 || (r == 0 && depth == 0))
            break;
        if (r == 0) {
            if (SessionBus().message_exit_container(m) < 0)
                break;
            --depth;
            continue;
        }
        if (type == 'a' && IsBlockArray(contents)) {
            const void* block = nullptr;
            size_t size = 0;
            if (SessionBus().message_read_array(m, contents[0], &block, &size) < 0)
                break;
            bytes += 4 + size;
        } else if (type == 'a' || type == 'v' || type == 'r' || type == 'e') {
            if (SessionBus().message_enter_container(m, type, contents) < 0)
                break;
            ++depth;
            bytes += type == 'v' ? 2 + std::strlen(contents) : type == 'a' ? 4 : 0;
        } else {
            union {
                uint64_t number;
                const char* text;
            } value{};
            if (SessionBus().message_read_basic(m, type, &value) < 0)
                break;
            bytes += FixedBytes(type) ? FixedBytes(type) : 5 + std::strlen(value.text);
        }
    }
    SessionBus().message_rewind(m, 1);
    return bytes;
}

HRESULT HresultFromBusError(int error)
{
    if (error >= 0)
        return S_OK;
    switch (-error) {
    case ENOMEM: return E_OUTOFMEMORY;
    case ETIMEDOUT: return RPC_E_TIMEOUT;
    case ECONNRESET:
    case ENOTCONN:
    case EPIPE:
    case ESHUTDOWN: return RPC_E_DISCONNECTED;
    case EHOSTDOWN:  // no such service, and none to start
    case ENXIO:
    case ESRCH: return CO_E_SERVER_EXEC_FAILURE;
    case EBADMSG:
    case EINVAL:
    default: return E_FAIL;
    }
}
