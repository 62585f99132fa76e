#include "platform/script/JScriptBridge.h"

#include "platform/base/CString.h"
#include "platform/com/Guid.h"
#include "platform/script/JScriptLibrary.h"
#include "platform/script/JScriptSource.h"
#include "platform/script/RunningScript.h"

#include <duktape.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace jscript {

namespace {

constexpr const char* kBridgeKey = DUK_HIDDEN_SYMBOL("flnBridge");
constexpr const char* kDispatchKey = DUK_HIDDEN_SYMBOL("flnDispatch");
constexpr const char* kTargetKey = DUK_HIDDEN_SYMBOL("flnTarget");
constexpr const char* kMemberKey = DUK_HIDDEN_SYMBOL("flnMember");
constexpr const char* kSafeArrayKey = DUK_HIDDEN_SYMBOL("flnSafeArray");

// Days from the automation date origin (30 December 1899) to the script epoch (1 January 1970).
constexpr double kEpochInAutomationDays = 25569.0;
constexpr double kMillisecondsPerDay = 86400000.0;

std::wstring WideOf(duk_context* ctx, duk_idx_t index)
{
    duk_size_t length = 0;
    const char* text = duk_safe_to_lstring(ctx, index, &length);
    return NarrowToWide(std::string_view(text, length));
}

void PushWide(duk_context* ctx, std::wstring_view text)
{
    std::string narrow = WideToUtf8(text);
    duk_push_lstring(ctx, narrow.data(), narrow.size());
}

// The position of the script code that called the running native function.
struct CallerPosition {
    void* function = nullptr;
    long pc = -1;
};

CallerPosition CallerOf(duk_context* ctx)
{
    CallerPosition position;
    duk_inspect_callstack_entry(ctx, -2);
    if (duk_is_object(ctx, -1)) {
        duk_get_prop_string(ctx, -1, "function");
        position.function = duk_get_heapptr(ctx, -1);
        duk_pop(ctx);
        duk_get_prop_string(ctx, -1, "pc");
        position.pc = static_cast<long>(duk_get_number_default(ctx, -1, -1));
        duk_pop(ctx);
    }
    duk_pop(ctx);
    return position;
}

IDispatch* TargetDispatch(duk_context* ctx, duk_idx_t target)
{
    duk_get_prop_string(ctx, target, kDispatchKey);
    auto* dispatch = static_cast<IDispatch*>(duk_get_pointer(ctx, -1));
    duk_pop(ctx);
    return dispatch;
}

// The safe array a script value holds (as automation hands arrays to scripts), or null.
SAFEARRAY* HeldSafeArray(duk_context* ctx, duk_idx_t index)
{
    if (!duk_is_object(ctx, index))
        return nullptr;
    duk_get_prop_string(ctx, index, kSafeArrayKey);
    auto* array = static_cast<SAFEARRAY*>(duk_get_pointer(ctx, -1));
    duk_pop(ctx);
    return array;
}

DISPID MemberId(IDispatch* object, const std::wstring& name, HRESULT& hr)
{
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    return id;
}

} // namespace

void DefineHiddenGlobal(duk_context* context, std::wstring_view name, duk_c_function function, duk_idx_t arguments)
{
    std::string narrow = WideToUtf8(name);
    duk_push_global_object(context);
    duk_push_string(context, narrow.c_str());
    duk_push_c_function(context, function, arguments);
    duk_def_prop(context, -3, DUK_DEFPROP_HAVE_VALUE | DUK_DEFPROP_CLEAR_WRITABLE | DUK_DEFPROP_CLEAR_ENUMERABLE
                     | DUK_DEFPROP_CLEAR_CONFIGURABLE);
    duk_pop(context);
}

int ErrorNumberOfInvokeFailure(HRESULT hr)
{
    switch (hr) {
    case DISP_E_MEMBERNOTFOUND:
    case DISP_E_UNKNOWNNAME:
        return 438;  // Object doesn't support this property or method
    case DISP_E_BADPARAMCOUNT:
    case DISP_E_PARAMNOTOPTIONAL:
        return 450;  // Wrong number of arguments or invalid property assignment
    case DISP_E_TYPEMISMATCH:
        return 13;  // Type mismatch
    case DISP_E_OVERFLOW:
        return 6;  // Overflow
    default:
        return (static_cast<DWORD>(hr) & 0xFFFF0000u) == 0x800A0000u ? (hr & 0xFFFF) : 5;
    }
}

// The interpreter's entry points into the bridge. The interpreter unwinds errors with a long
// jump, which must not cross a frame that still holds C++ objects: each entry point does its work
// in a function that pushes either its result or an error object, and throws only after that
// function has returned.
struct BridgeCallbacks {
    static duk_ret_t Finish(duk_context* ctx, bool succeeded)
    {
        if (!succeeded)
            duk_throw(ctx);
        return 1;
    }

    // __flnCall(name): remembers where a member call starts and gives back the name.
    static duk_ret_t CallMark(duk_context* ctx)
    {
        Bridge& bridge = Bridge::Of(ctx);
        CallerPosition caller = CallerOf(ctx);
        bridge.m_markFunction = caller.function;
        bridge.m_markPosition = caller.pc;
        bridge.m_markName = duk_safe_to_string(ctx, 0);
        return 1;
    }

    // Proxy get trap (target, key, receiver).
    static duk_ret_t Get(duk_context* ctx) { return Finish(ctx, PushMember(ctx)); }
    // Proxy set trap (target, key, value, receiver).
    static duk_ret_t Set(duk_context* ctx) { return Finish(ctx, PutMember(ctx)); }
    // A member function: calls its member with the script's arguments.
    static duk_ret_t Call(duk_context* ctx) { return Finish(ctx, CallMember(ctx)); }

    static bool PushMember(duk_context* ctx)
    {
        if (!duk_is_string(ctx, 1) || duk_is_symbol(ctx, 1)) {
            duk_push_undefined(ctx);
            return true;
        }
        Bridge& bridge = Bridge::Of(ctx);
        IDispatch* object = TargetDispatch(ctx, 0);
        std::string key = duk_get_string(ctx, 1);
        CallerPosition caller = CallerOf(ctx);
        // The call mark's own call and the read of the member lie a few instructions apart.
        bool called = key == bridge.m_markName && caller.function == bridge.m_markFunction
            && caller.pc >= bridge.m_markPosition && caller.pc - bridge.m_markPosition <= 4;
        bridge.m_markName.clear();
        if (!object) {
            duk_push_undefined(ctx);
            return true;
        }
        std::wstring name = NarrowToWide(key);
        HRESULT hr = S_OK;
        DISPID id = MemberId(object, name, hr);
        EXCEPINFO exception {};
        if (FAILED(hr)) {
            if (key == "toString" || key == "valueOf") {
                id = DISPID_VALUE;  // the text of an object is its default value
                called = true;
            } else if (called) {
                bridge.PushInvokeError(hr, exception, name);
                return false;
            } else {
                duk_push_undefined(ctx);
                return true;
            }
        }
        if (called) {
            duk_push_c_function(ctx, &BridgeCallbacks::Call, DUK_VARARGS);
            duk_dup(ctx, 0);
            duk_put_prop_string(ctx, -2, kTargetKey);  // keeps the object alive with the function
            duk_push_number(ctx, id);
            duk_put_prop_string(ctx, -2, kMemberKey);
            return true;
        }
        VARIANT result;
        VariantInit(&result);
        DISPPARAMS none {nullptr, nullptr, 0, 0};
        hr = object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, &exception, nullptr);
        if (FAILED(hr)) {
            bridge.PushInvokeError(hr, exception, name);
            return false;
        }
        bool pushed = bridge.PushVariant(result);
        VariantClear(&result);
        return pushed;
    }

    static bool PutMember(duk_context* ctx)
    {
        Bridge& bridge = Bridge::Of(ctx);
        IDispatch* object = TargetDispatch(ctx, 0);
        if (!object || !duk_is_string(ctx, 1) || duk_is_symbol(ctx, 1)) {
            duk_push_false(ctx);
            return true;
        }
        std::wstring name = NarrowToWide(duk_get_string(ctx, 1));
        HRESULT hr = S_OK;
        DISPID id = MemberId(object, name, hr);
        EXCEPINFO exception {};
        VARIANT value;
        VariantInit(&value);
        if (SUCCEEDED(hr))
            hr = bridge.ToVariant(2, value);
        if (SUCCEEDED(hr)) {
            DISPID named = DISPID_PROPERTYPUT;
            DISPPARAMS params {&value, &named, 1, 1};
            hr = object->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, &exception, nullptr);
        }
        VariantClear(&value);
        if (FAILED(hr)) {
            bridge.PushInvokeError(hr, exception, name);
            return false;
        }
        duk_push_true(ctx);
        return true;
    }

    static bool CallMember(duk_context* ctx)
    {
        Bridge& bridge = Bridge::Of(ctx);
        duk_idx_t count = duk_get_top(ctx);
        duk_push_current_function(ctx);
        duk_get_prop_string(ctx, -1, kMemberKey);
        auto id = static_cast<DISPID>(duk_get_int(ctx, -1));
        duk_pop(ctx);
        duk_get_prop_string(ctx, -1, kTargetKey);
        IDispatch* object = TargetDispatch(ctx, -1);
        duk_pop_2(ctx);
        EXCEPINFO exception {};
        if (!object) {
            bridge.PushInvokeError(DISP_E_MEMBERNOTFOUND, exception, L"");
            return false;
        }

        // Arguments go in reverse order.
        std::vector<VARIANT> args(static_cast<size_t>(count));
        for (auto& arg : args)
            VariantInit(&arg);
        HRESULT hr = S_OK;
        for (duk_idx_t i = 0; i < count && SUCCEEDED(hr); ++i)
            hr = bridge.ToVariant(i, args[static_cast<size_t>(count - 1 - i)]);
        VARIANT result;
        VariantInit(&result);
        if (SUCCEEDED(hr)) {
            DISPPARAMS params {args.data(), nullptr, static_cast<UINT>(count), 0};
            hr = object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result,
                                &exception, nullptr);
        }
        for (auto& arg : args)
            VariantClear(&arg);
        if (FAILED(hr)) {
            bridge.PushInvokeError(hr, exception, L"");
            return false;
        }
        bool pushed = bridge.PushVariant(result);
        VariantClear(&result);
        return pushed;
    }

    static duk_ret_t SafeArrayData(duk_context* ctx) { return Finish(ctx, PushSafeArrayData(ctx)); }
    static duk_ret_t CollectionItems(duk_context* ctx) { return Finish(ctx, PushCollectionItems(ctx)); }

    static bool PushSafeArrayData(duk_context* ctx)
    {
        Bridge& bridge = Bridge::Of(ctx);
        SAFEARRAY* array = HeldSafeArray(ctx, 0);
        if (!array) {
            duk_push_error_object(ctx, DUK_ERR_TYPE_ERROR, "VBArray expected");
            return false;
        }
        duk_idx_t data = duk_push_object(ctx);
        duk_idx_t lbounds = duk_push_array(ctx);
        duk_idx_t ubounds = duk_push_array(ctx);
        for (UINT d = 0; d < array->cDims; ++d) {
            LONG low = 0, high = 0;
            SafeArrayGetLBound(array, d + 1, &low);
            SafeArrayGetUBound(array, d + 1, &high);
            duk_push_int(ctx, low);
            duk_put_prop_index(ctx, lbounds, d);
            duk_push_int(ctx, high);
            duk_put_prop_index(ctx, ubounds, d);
        }
        duk_put_prop_string(ctx, data, "ubounds");
        duk_put_prop_string(ctx, data, "lbounds");
        duk_idx_t items = duk_push_array(ctx);
        ULONG count = array->pvData ? SafeArrayElementCount(array) : 0;
        for (ULONG i = 0; i < count; ++i) {
            VARIANT element;
            VariantInit(&element);
            if (array->vt == VT_VARIANT) {
                element = static_cast<const VARIANT*>(array->pvData)[i];
            } else {
                element.vt = array->vt;
                std::memcpy(&element.llVal, static_cast<const char*>(array->pvData) + size_t(i) * array->cbElements,
                            std::min<size_t>(array->cbElements, sizeof element.llVal));
            }
            if (!bridge.PushVariant(element))  // borrowed: PushVariant copies what it keeps
                return false;
            duk_put_prop_index(ctx, items, i);
        }
        duk_put_prop_string(ctx, data, "items");
        return true;
    }

    static bool PushCollectionItems(duk_context* ctx)
    {
        Bridge& bridge = Bridge::Of(ctx);
        EXCEPINFO exception {};
        IDispatch* object = bridge.DispatchOf(0);
        if (!object) {
            duk_push_error_object(ctx, DUK_ERR_TYPE_ERROR, "Object doesn't support this property or method");
            return false;
        }
        VARIANT result;
        VariantInit(&result);
        DISPPARAMS none {nullptr, nullptr, 0, 0};
        HRESULT hr = object->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &none,
                                    &result, &exception, nullptr);
        IEnumVARIANT* items = nullptr;
        if (SUCCEEDED(hr) && (result.vt == VT_UNKNOWN || result.vt == VT_DISPATCH) && result.punkVal)
            result.punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&items));
        VariantClear(&result);
        if (!items) {
            bridge.PushInvokeError(FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND, exception, L"");
            return false;
        }
        duk_idx_t list = duk_push_array(ctx);
        bool pushed = true;
        for (duk_uarridx_t i = 0; pushed && !RunningScriptStopRequested(); ++i) {
            VARIANT item;
            VariantInit(&item);
            ULONG fetched = 0;
            if (items->Next(1, &item, &fetched) != S_OK || fetched != 1)
                break;
            pushed = bridge.PushVariant(item);
            VariantClear(&item);
            if (pushed)
                duk_put_prop_index(ctx, list, i);
        }
        items->Release();
        return pushed;
    }

    // Finalizer of a script value holding a safe array.
    static duk_ret_t FinalizeSafeArray(duk_context* ctx)
    {
        if (SAFEARRAY* array = HeldSafeArray(ctx, 0)) {
            duk_push_pointer(ctx, nullptr);
            duk_put_prop_string(ctx, 0, kSafeArrayKey);
            SafeArrayDestroy(array);
        }
        return 0;
    }

    // Finalizer of a proxy's target: the object's reference goes.
    static duk_ret_t Finalize(duk_context* ctx)
    {
        if (IDispatch* object = TargetDispatch(ctx, 0)) {
            duk_push_pointer(ctx, nullptr);
            duk_put_prop_string(ctx, 0, kDispatchKey);
            object->Release();
        }
        return 0;
    }
};

Bridge::Bridge(duk_context* context)
    : m_context(context)
{
    duk_push_global_stash(m_context);
    duk_push_pointer(m_context, this);
    duk_put_prop_string(m_context, -2, kBridgeKey);
    duk_pop(m_context);

    DefineHiddenGlobal(m_context, kCallMarkName, &BridgeCallbacks::CallMark, 1);
    DefineHiddenGlobal(m_context, kSafeArrayDataName, &BridgeCallbacks::SafeArrayData, 1);
    DefineHiddenGlobal(m_context, kCollectionItemsName, &BridgeCallbacks::CollectionItems, 1);
}

Bridge& Bridge::Of(duk_context* context)
{
    duk_push_global_stash(context);
    duk_get_prop_string(context, -1, kBridgeKey);
    auto* bridge = static_cast<Bridge*>(duk_get_pointer(context, -1));
    duk_pop_2(context);
    return *bridge;
}

void Bridge::PushDispatch(IDispatch* object)
{
    if (!object) {
        duk_push_null(m_context);
        return;
    }
    duk_push_object(m_context);  // the target: holds the object's reference
    object->AddRef();
    duk_push_pointer(m_context, object);
    duk_put_prop_string(m_context, -2, kDispatchKey);
    duk_push_c_function(m_context, &BridgeCallbacks::Finalize, 2);
    duk_set_finalizer(m_context, -2);

    duk_push_object(m_context);  // the handler
    duk_push_c_function(m_context, &BridgeCallbacks::Get, 3);
    duk_put_prop_string(m_context, -2, "get");
    duk_push_c_function(m_context, &BridgeCallbacks::Set, 4);
    duk_put_prop_string(m_context, -2, "set");

    duk_push_proxy(m_context, 0);  // [target handler] -> [proxy]
}

IDispatch* Bridge::DispatchOf(int index)
{
    // Hidden names bypass a proxy's traps and reach its target; scripts cannot make them.
    return TargetDispatch(m_context, index);
}

bool Bridge::PushVariant(const VARIANT& input)
{
    VARIANT value;
    VariantInit(&value);
    VariantCopyInd(&value, &input);
    if (value.vt & VT_ARRAY) {
        // An opaque value that only VBArray reads; it holds its own copy of the array.
        duk_push_object(m_context);
        duk_push_pointer(m_context, std::exchange(value.parray, nullptr));
        duk_put_prop_string(m_context, -2, kSafeArrayKey);
        duk_push_c_function(m_context, &BridgeCallbacks::FinalizeSafeArray, 2);
        duk_set_finalizer(m_context, -2);
        value.vt = VT_EMPTY;
        return true;
    }
    switch (value.vt) {
    case VT_EMPTY:
        duk_push_undefined(m_context);
        break;
    case VT_NULL:
        duk_push_null(m_context);
        break;
    case VT_BOOL:
        duk_push_boolean(m_context, value.boolVal != VARIANT_FALSE);
        break;
    case VT_BSTR:
        PushWide(m_context, BstrView(value.bstrVal));
        break;
    case VT_DATE:
        duk_get_global_string(m_context, "Date");
        duk_push_number(m_context, std::round((value.date - kEpochInAutomationDays) * kMillisecondsPerDay));
        duk_new(m_context, 1);
        break;
    case VT_DISPATCH:
        PushDispatch(value.pdispVal);
        break;
    case VT_UNKNOWN: {
        IDispatch* dispatch = nullptr;
        if (value.punkVal)
            value.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        PushDispatch(dispatch);
        if (dispatch)
            dispatch->Release();
        break;
    }
    default: {
        VARIANT number;
        VariantInit(&number);
        if (FAILED(VariantChangeType(&number, &value, 0, VT_R8))) {
            VariantClear(&value);
            EXCEPINFO none {};
            PushInvokeError(DISP_E_TYPEMISMATCH, none, L"");
            return false;
        }
        duk_push_number(m_context, number.dblVal);
        break;
    }
    }
    VariantClear(&value);
    return true;
}

HRESULT Bridge::ToVariant(int index, VARIANT& out)
{
    VariantClear(&out);
    switch (duk_get_type(m_context, index)) {
    case DUK_TYPE_UNDEFINED:
    case DUK_TYPE_NONE:
        out.vt = VT_EMPTY;
        return S_OK;
    case DUK_TYPE_NULL:
        out.vt = VT_NULL;
        return S_OK;
    case DUK_TYPE_BOOLEAN:
        out.vt = VT_BOOL;
        out.boolVal = duk_get_boolean(m_context, index) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    case DUK_TYPE_NUMBER: {
        // Whole numbers travel as long integers, as the script engines pass them.
        double number = duk_get_number(m_context, index);
        bool whole = number == std::trunc(number) && number >= -2147483648.0 && number <= 2147483647.0
            && !(number == 0 && std::signbit(number));
        if (whole) {
            out.vt = VT_I4;
            out.lVal = static_cast<LONG>(number);
        } else {
            out.vt = VT_R8;
            out.dblVal = number;
        }
        return S_OK;
    }
    case DUK_TYPE_STRING: {
        std::wstring text = WideOf(m_context, index);
        out.vt = VT_BSTR;
        out.bstrVal = SysAllocStringView(text);
        return S_OK;
    }
    case DUK_TYPE_OBJECT:
        if (SAFEARRAY* array = HeldSafeArray(m_context, index)) {
            HRESULT hr = SafeArrayCopy(array, &out.parray);
            if (SUCCEEDED(hr))
                out.vt = VT_ARRAY | array->vt;
            return hr;
        }
        if (IDispatch* object = DispatchOf(index)) {
            object->AddRef();
            out.vt = VT_DISPATCH;
            out.pdispVal = object;
            return S_OK;
        }
        if (duk_is_function(m_context, index))
            return DISP_E_TYPEMISMATCH;
        {
            // Other objects travel as their text, as they would print.
            std::wstring text = WideOf(m_context, index);
            out.vt = VT_BSTR;
            out.bstrVal = SysAllocStringView(text);
        }
        return S_OK;
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

void Bridge::PushInvokeError(HRESULT hr, EXCEPINFO& exception, std::wstring_view member)
{
    HRESULT scode = hr;
    std::wstring description;
    if (hr == DISP_E_EXCEPTION) {
        scode = exception.scode ? exception.scode : MakeControlError(exception.wCode);
        description = BstrView(exception.bstrDescription);
    }
    ClearExcepInfo(&exception);
    int number = ErrorNumberOfInvokeFailure(scode);
    if (description.empty()) {
        switch (number) {
        case 438: description = L"Object doesn't support this property or method"; break;
        case 450: description = L"Wrong number of arguments or invalid property assignment"; break;
        case 13: description = L"Type mismatch"; break;
        case 6: description = L"Overflow"; break;
        default: description = L"Invalid procedure call or argument"; break;
        }
        if (!member.empty() && number == 438)
            description += L": '" + std::wstring(member) + L"'";
    }
    std::string text = WideToUtf8(description);
    // Blamed on the script line that made the call, not on this file.
    duk_push_error_object_raw(m_context, DUK_ERR_ERROR, nullptr, 0, "%s", text.c_str());
    duk_push_number(m_context, static_cast<double>(static_cast<HRESULT>(MakeControlError(number))));
    duk_put_prop_string(m_context, -2, "number");
    PushWide(m_context, description);
    duk_put_prop_string(m_context, -2, "description");
}

} // namespace jscript
