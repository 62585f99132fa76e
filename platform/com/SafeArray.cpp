#include "platform/com/Automation.h"

#include "platform/com/MemoryBudget.h"

#include <cstdlib>
#include <cstring>

namespace {

size_t ElementSize(VARTYPE vt)
{
    switch (vt) {
    case VT_I1: case VT_UI1: return 1;
    case VT_I2: case VT_UI2: case VT_BOOL: return 2;
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: case VT_ERROR: return 4;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: return 8;
    case VT_BSTR: return sizeof(BSTR);
    case VT_DISPATCH: case VT_UNKNOWN: return sizeof(IUnknown*);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
    }
}

size_t HeaderSize(UINT dims) { return sizeof(SAFEARRAY) + (dims - 1) * sizeof(SAFEARRAYBOUND); }

// Frees what the elements own (strings, references, nested variants), leaving zero bytes.
void ClearElements(SAFEARRAY* a, ULONG first, ULONG count)
{
    char* base = static_cast<char*>(a->pvData) + size_t(first) * a->cbElements;
    for (ULONG i = 0; i < count; ++i) {
        void* element = base + size_t(i) * a->cbElements;
        switch (a->vt) {
        case VT_VARIANT: VariantClear(static_cast<VARIANT*>(element)); break;
        case VT_BSTR: SysFreeString(*static_cast<BSTR*>(element)); break;
        case VT_DISPATCH: case VT_UNKNOWN:
            if (auto* p = *static_cast<IUnknown**>(element))
                p->Release();
            break;
        default: break;
        }
    }
    std::memset(base, 0, size_t(count) * a->cbElements);
}

// Copies one element value into place, making owned copies; the target must hold nothing.
HRESULT CopyElementIn(VARTYPE vt, void* target, const void* value)
{
    switch (vt) {
    case VT_VARIANT: {
        auto* t = static_cast<VARIANT*>(target);
        VariantInit(t);
        return VariantCopy(t, static_cast<const VARIANT*>(value));
    }
    case VT_BSTR: {
        BSTR source = *static_cast<const BSTR*>(value);
        *static_cast<BSTR*>(target) = source ? SysAllocStringLen(source, SysStringLen(source)) : nullptr;
        return source && !*static_cast<BSTR*>(target) ? E_OUTOFMEMORY : S_OK;
    }
    case VT_DISPATCH: case VT_UNKNOWN: {
        IUnknown* p = *static_cast<IUnknown* const*>(value);
        if (p)
            p->AddRef();
        *static_cast<IUnknown**>(target) = p;
        return S_OK;
    }
    default:
        std::memcpy(target, value, ElementSize(vt));
        return S_OK;
    }
}

} // namespace

ULONG SafeArrayElementCount(const SAFEARRAY* a)
{
    if (!a)
        return 0;
    ULONG count = 1;
    for (USHORT d = 0; d < a->cDims; ++d)
        count *= a->rgsabound[d].cElements;
    return count;
}

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT dims, const SAFEARRAYBOUND* bounds)
{
    size_t size = ElementSize(vt);
    if (dims == 0 || dims > 60 || !bounds || size == 0)
        return nullptr;
    unsigned long long count = 1;
    for (UINT d = 0; d < dims; ++d) {
        count *= bounds[d].cElements;
        if (count * size > (1ull << 31))
            return nullptr;
    }
    auto* a = static_cast<SAFEARRAY*>(std::calloc(1, HeaderSize(dims)));
    if (!a)
        return nullptr;
    a->cDims = static_cast<USHORT>(dims);
    a->cbElements = static_cast<ULONG>(size);
    a->vt = vt;
    a->fFeatures = vt == VT_VARIANT ? FADF_VARIANT : vt == VT_BSTR ? FADF_BSTR
        : vt == VT_DISPATCH ? FADF_DISPATCH : vt == VT_UNKNOWN ? FADF_UNKNOWN : 0;
    std::memcpy(a->rgsabound, bounds, dims * sizeof(SAFEARRAYBOUND));
    size_t bytes = size_t(count ? count : 1) * size;
    a->pvData = AllocateCharged(bytes);
    if (!a->pvData) {
        std::free(a);
        return nullptr;
    }
    std::memset(a->pvData, 0, bytes);
    return a;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lowerBound, ULONG elements)
{
    SAFEARRAYBOUND bound{elements, lowerBound};
    return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* a)
{
    if (!a)
        return S_OK;
    if (a->cLocks)
        return DISP_E_ARRAYISLOCKED;
    ClearElements(a, 0, SafeArrayElementCount(a));
    FreeCharged(a->pvData);
    std::free(a);
    return S_OK;
}

HRESULT SafeArrayCopy(const SAFEARRAY* a, SAFEARRAY** copy)
{
    if (!copy)
        return E_INVALIDARG;
    *copy = nullptr;
    if (!a)
        return S_OK;
    SAFEARRAY* c = SafeArrayCreate(a->vt, a->cDims, a->rgsabound);
    if (!c)
        return E_OUTOFMEMORY;
    c->fFeatures = a->fFeatures & ~(FADF_AUTO | FADF_STATIC | FADF_FIXEDSIZE);
    ULONG count = SafeArrayElementCount(a);
    for (ULONG i = 0; i < count; ++i) {
        HRESULT hr = CopyElementIn(a->vt, static_cast<char*>(c->pvData) + size_t(i) * a->cbElements,
                                   static_cast<const char*>(a->pvData) + size_t(i) * a->cbElements);
        if (FAILED(hr)) {
            SafeArrayDestroy(c);
            return hr;
        }
    }
    *copy = c;
    return S_OK;
}

UINT SafeArrayGetDim(const SAFEARRAY* a) { return a ? a->cDims : 0; }
UINT SafeArrayGetElemsize(const SAFEARRAY* a) { return a ? a->cbElements : 0; }

HRESULT SafeArrayGetVartype(const SAFEARRAY* a, VARTYPE* vt)
{
    if (!a || !vt)
        return E_INVALIDARG;
    *vt = a->vt;
    return S_OK;
}

HRESULT SafeArrayGetLBound(const SAFEARRAY* a, UINT dim, LONG* bound)
{
    if (!a || !bound)
        return E_INVALIDARG;
    if (dim < 1 || dim > a->cDims)
        return DISP_E_BADINDEX;
    *bound = a->rgsabound[dim - 1].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(const SAFEARRAY* a, UINT dim, LONG* bound)
{
    if (!a || !bound)
        return E_INVALIDARG;
    if (dim < 1 || dim > a->cDims)
        return DISP_E_BADINDEX;
    const SAFEARRAYBOUND& b = a->rgsabound[dim - 1];
    *bound = static_cast<LONG>(b.lLbound + static_cast<long long>(b.cElements) - 1);
    return S_OK;
}

HRESULT SafeArrayPtrOfIndex(SAFEARRAY* a, const LONG* indices, void** element)
{
    if (!a || !indices || !element)
        return E_INVALIDARG;
    size_t offset = 0, stride = 1;
    for (USHORT d = 0; d < a->cDims; ++d) {
        long long i = static_cast<long long>(indices[d]) - a->rgsabound[d].lLbound;
        if (i < 0 || i >= a->rgsabound[d].cElements)
            return DISP_E_BADINDEX;
        offset += size_t(i) * stride;
        stride *= a->rgsabound[d].cElements;
    }
    *element = static_cast<char*>(a->pvData) + offset * a->cbElements;
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* a, const LONG* indices, void* value)
{
    void* element;
    HRESULT hr = SafeArrayPtrOfIndex(a, indices, &element);
    if (FAILED(hr))
        return hr;
    return CopyElementIn(a->vt, value, element);
}

HRESULT SafeArrayPutElement(SAFEARRAY* a, const LONG* indices, const void* value)
{
    void* element;
    HRESULT hr = SafeArrayPtrOfIndex(a, indices, &element);
    if (FAILED(hr))
        return hr;
    char scratch[sizeof(VARIANT)] = {};
    hr = CopyElementIn(a->vt, scratch, value);
    if (FAILED(hr))
        return hr;
    ULONG index = static_cast<ULONG>((static_cast<char*>(element) - static_cast<char*>(a->pvData)) / a->cbElements);
    ClearElements(a, index, 1);
    std::memcpy(element, scratch, a->cbElements);
    return S_OK;
}

HRESULT SafeArrayRedim(SAFEARRAY* a, const SAFEARRAYBOUND* lastBound)
{
    if (!a || !lastBound)
        return E_INVALIDARG;
    if (a->cLocks || (a->fFeatures & FADF_FIXEDSIZE))
        return DISP_E_ARRAYISLOCKED;
    ULONG oldCount = SafeArrayElementCount(a);
    SAFEARRAYBOUND& last = a->rgsabound[a->cDims - 1];
    unsigned long long inner = last.cElements ? oldCount / last.cElements : 1;
    if (!last.cElements) {
        inner = 1;
        for (USHORT d = 0; d + 1 < a->cDims; ++d)
            inner *= a->rgsabound[d].cElements;
    }
    unsigned long long newCount = inner * lastBound->cElements;
    if (newCount * a->cbElements > (1ull << 31))
        return E_OUTOFMEMORY;
    if (newCount < oldCount)
        ClearElements(a, static_cast<ULONG>(newCount), static_cast<ULONG>(oldCount - newCount));
    void* data = ReallocateCharged(a->pvData, size_t(newCount ? newCount : 1) * a->cbElements);
    if (!data)
        return E_OUTOFMEMORY;
    a->pvData = data;
    if (newCount > oldCount)
        std::memset(static_cast<char*>(data) + size_t(oldCount) * a->cbElements, 0, size_t(newCount - oldCount) * a->cbElements);
    last = *lastBound;
    return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* a)
{
    if (!a)
        return E_INVALIDARG;
    ++a->cLocks;
    return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* a)
{
    if (!a || !a->cLocks)
        return E_UNEXPECTED;
    --a->cLocks;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* a, void** data)
{
    if (!a || !data)
        return E_INVALIDARG;
    ++a->cLocks;
    *data = a->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* a) { return SafeArrayUnlock(a); }
