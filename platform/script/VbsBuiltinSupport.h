#pragma once
// What the built-in functions of the script language share: reading their arguments, and each
// family's table of functions, which FindBuiltin looks names up in.

#include "platform/script/VbsInterpreter.h"

#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace vbs::builtins {

inline bool IsNullArg(const Args& a, size_t i) { return a.Has(i) && a[i].vt == VT_NULL; }
inline std::wstring Text(const Args& a, size_t i) { return a.Has(i) ? ToText(a[i]) : L""; }
inline double Number(const Args& a, size_t i, double fallback = 0) { return a.Has(i) ? ToDouble(a[i]) : fallback; }
inline LONG Whole(const Args& a, size_t i, LONG fallback = 0) { return a.Has(i) ? ToLong(a[i]) : fallback; }
inline bool TextCompare(const Args& a, size_t i)
{
    LONG mode = Whole(a, i, 0);
    if (mode < 0 || mode > 2)
        Throw(kInvalidProcedureCall);
    return mode != 0;
}
inline void CheckLength(size_t n)
{
    if (n > kMaxTextLength)
        Throw(14, L"Out of string space");
}

inline size_t FindText(std::wstring_view haystack, std::wstring_view needle, size_t from, bool noCase)
{
    if (!noCase)
        return haystack.find(needle, from);
    if (needle.size() > haystack.size())
        return std::wstring_view::npos;
    for (size_t i = from; i + needle.size() <= haystack.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && FoldCase(haystack[i + k]) == FoldCase(needle[k]))
            ++k;
        if (k == needle.size())
            return i;
    }
    return std::wstring_view::npos;
}

inline Var MakeVector(std::vector<Var>& items)
{
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
    if (!array)
        Throw(kOutOfMemory);
    auto* data = static_cast<VARIANT*>(array->pvData);
    for (size_t i = 0; i < items.size(); ++i)
        data[i] = items[i].Detach();
    Var r;
    r.v.vt = VT_ARRAY | VT_VARIANT;
    r.v.parray = array;
    return r;
}

inline const VARIANT& ArrayArg(const Args& a, size_t i)
{
    const VARIANT& v = a[i].vt == (VT_BYREF | VT_VARIANT) ? *a[i].pvarVal : a[i];
    if (!(v.vt & VT_ARRAY))
        Throw(kTypeMismatch);
    return v;
}

// Elements of a one-dimensional array as values.
inline std::vector<Var> Elements(const VARIANT& v)
{
    std::vector<Var> out;
    SAFEARRAY* array = v.parray;
    if (!array)
        return out;
    if (array->cDims != 1)
        Throw(kSubscriptOutOfRange);
    ULONG n = SafeArrayElementCount(array);
    for (ULONG i = 0; i < n; ++i) {
        Var e;
        if (array->vt == VT_VARIANT) {
            e.Assign(static_cast<VARIANT*>(array->pvData)[i]);
        } else {
            VARIANT raw;
            VariantInit(&raw);
            raw.vt = array->vt;
            std::memcpy(&raw.llVal, static_cast<char*>(array->pvData) + size_t(i) * array->cbElements, array->cbElements);
            e.Assign(raw);
        }
        out.push_back(std::move(e));
    }
    return out;
}

std::span<const Builtin> StringFunctions(); // strings
std::span<const Builtin> ConversionFunctions(); // conversions and number formats
std::span<const Builtin> MathFunctions(); // mathematics
std::span<const Builtin> TypeFunctions(); // type information and arrays
std::span<const Builtin> DateFunctions(); // dates and times
std::span<const Builtin> HostFunctions(); // message boxes, objects, the engine and colours

} // namespace vbs::builtins
