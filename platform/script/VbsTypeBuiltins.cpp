// The type information and array functions of the script language.

#include "platform/script/VbsBuiltinSupport.h"

namespace vbs::builtins {
namespace {

const VARIANT& Plain(const VARIANT& v) { return v.vt == (VT_BYREF | VT_VARIANT) ? *v.pvarVal : v; }

Var IsArray(Interpreter&, const Args& a) { return Var::Bool((Plain(a[0]).vt & VT_ARRAY) != 0); }
Var IsEmpty(Interpreter&, const Args& a) { return Var::Bool(Plain(a[0]).vt == VT_EMPTY); }
Var IsNull(Interpreter&, const Args& a) { return Var::Bool(Plain(a[0]).vt == VT_NULL); }
Var IsObject(Interpreter&, const Args& a)
{
    VARTYPE vt = Plain(a[0]).vt;
    return Var::Bool(vt == VT_DISPATCH || vt == VT_UNKNOWN);
}
bool IsNumericValue(const VARIANT& v)
{
    switch (v.vt) {
    case VT_EMPTY: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_BOOL: case VT_UI1:
        return true;
    case VT_BSTR: return IsNumericText(v);
    default: return false;
    }
}

// Never fails: an object is judged by its default value, and one without any is no number.
Var IsNumeric(Interpreter&, const Args& a)
{
    const VARIANT& v = Plain(a[0]);
    if (v.vt != VT_DISPATCH || !v.pdispVal)
        return Var::Bool(IsNumericValue(v));
    try {
        return Var::Bool(IsNumericValue(ValueOf(v).v));
    } catch (const ScriptError&) {
        return Var::Bool(false);
    }
}
Var IsDate(Interpreter&, const Args& a)
{
    const VARIANT& v = Plain(a[0]);
    if (v.vt == VT_DATE)
        return Var::Bool(true);
    if (v.vt != VT_BSTR)
        return Var::Bool(false);
    DATE d;
    return Var::Bool(ParseDateText(BstrView(v.bstrVal), d));
}
Var TypeName(Interpreter&, const Args& a) { return Var::Text(TypeNameOf(a[0])); }
Var VarType(Interpreter&, const Args& a)
{
    const VARIANT& v = Plain(a[0]);
    if (v.vt & VT_ARRAY)
        return Var::Int(static_cast<SHORT>(VT_ARRAY | (v.parray ? v.parray->vt : VARTYPE(VT_VARIANT))));
    return Var::Int(static_cast<SHORT>(v.vt == VT_UNKNOWN ? VARTYPE(VT_DISPATCH) : v.vt));
}

// ---- arrays ----

Var ArrayOf(Interpreter&, const Args& a)
{
    std::vector<Var> items;
    for (size_t i = 0; i < a.size(); ++i) {
        Var e;
        if (a.Has(i))
            e.Assign(a[i]);
        if (e.IsArray())
            CheckNesting(e.v);
        items.push_back(std::move(e));
    }
    return MakeVector(items);
}

template<bool Upper>
Var Bound(Interpreter&, const Args& a)
{
    const VARIANT& v = ArrayArg(a, 0);
    LONG dim = Whole(a, 1, 1);
    if (!v.parray)
        Throw(kSubscriptOutOfRange);
    LONG bound;
    HRESULT hr = Upper ? SafeArrayGetUBound(v.parray, dim, &bound) : SafeArrayGetLBound(v.parray, dim, &bound);
    if (dim < 1 || FAILED(hr))
        Throw(kSubscriptOutOfRange);
    return Var::Long(bound);
}

const Builtin kFunctions[] = {
    {L"array", 0, 1 << 16, ArrayOf},
    {L"isarray", 1, 1, IsArray},
    {L"isdate", 1, 1, IsDate},
    {L"isempty", 1, 1, IsEmpty},
    {L"isnull", 1, 1, IsNull},
    {L"isnumeric", 1, 1, IsNumeric},
    {L"isobject", 1, 1, IsObject},
    {L"lbound", 1, 2, Bound<false>},
    {L"typename", 1, 1, TypeName},
    {L"ubound", 1, 2, Bound<true>},
    {L"vartype", 1, 1, VarType},
};

} // namespace

std::span<const Builtin> TypeFunctions() { return kFunctions; }

} // namespace vbs::builtins
