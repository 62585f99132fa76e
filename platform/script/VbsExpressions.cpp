// Evaluating expressions: names, operators, members of objects, array elements, calls of built-ins
// and of dispatch members, and assignment.

#include "platform/script/RegExpObject.h"
#include "platform/script/VbsRuntime.h"

#include <algorithm>
#include <cstring>

namespace vbs {

// ---- expressions -----------------------------------------------------------------------------

Var Interpreter::Eval(const Expr& e)
{
    Var temp;
    const VARIANT& value = EvalRef(e, temp);
    if (&value == &temp.v)
        return temp;
    Var copy;
    copy.Assign(value);
    return copy;
}

const VARIANT& Interpreter::EvalRef(const Expr& e, Var& temp)
{
    switch (e.kind) {
    case Expr::Literal:
        return e.value.v;
    case Expr::Name:
        return EvalName(e, temp);
    case Expr::Member:
        return EvalMember(e, temp);
    case Expr::Index: {
        if (IsParenthesizedCall(e)) {
            temp = CallParenthesized(e);
            return temp.v;
        }
        Var containerTemp;
        const VARIANT& container = EvalRef(*e.object, containerTemp);
        temp = Index(container, e.args, true);
        return temp.v;
    }
    case Expr::Unary: {
        Var operandTemp;
        const VARIANT& operand = EvalRef(*e.object, operandTemp);
        switch (e.unary) {
        case UnaryOp::Negate: temp = Negate(operand); break;
        case UnaryOp::Not: temp = Not(operand); break;
        case UnaryOp::Plus: temp.Assign(operand); break;  // no conversion: +obj is obj, +"a" is "a"
        }
        return temp.v;
    }
    case Expr::Binary: {
        Var leftTemp, rightTemp;
        const VARIANT& left = EvalRef(*e.object, leftTemp);
        const VARIANT& right = EvalRef(*e.right, rightTemp);
        if (e.op >= BinaryOp::Equal && e.op <= BinaryOp::GreaterEqual) {
            Var leftConverted, rightConverted;
            temp = Binary(e.op, OperandAsWritten(*e.object, left, *e.right, leftConverted),
                          OperandAsWritten(*e.right, right, *e.object, rightConverted));
            return temp.v;
        }
        temp = Binary(e.op, left, right);
        return temp.v;
    }
    case Expr::New: {
        auto it = m_classes.find(e.lower);
        if (it == m_classes.end() && e.lower == L"regexp") {
            temp.Clear();
            temp.v.vt = VT_DISPATCH;
            temp.v.pdispVal = CreateRegExp();
            return temp.v;
        }
        if (it == m_classes.end())
            Throw(kClassNotDefined, ErrorText(kClassNotDefined) + L": '" + e.name + L"'");
        temp = NewInstance(*it->second);
        return temp.v;
    }
    case Expr::Me:
        temp = m_frame->me ? Var::Object(m_frame->me) : Var::Object(GlobalScope());
        return temp.v;
    case Expr::Nothing:
        temp = Var::Object(nullptr);
        return temp.v;
    case Expr::Empty:
        return kEmpty;
    case Expr::Null:
        temp = Var::Null();
        return temp.v;
    case Expr::Missing:
        return kMissing;
    }
    return kEmpty;
}

VARIANT* Interpreter::Storage(const Expr& e)
{
    if (e.kind != Expr::Name)
        return nullptr;
    switch (e.bind) {
    case Bind::Local: return m_frame->slots[e.slot];
    case Bind::Global: return &m_globals[e.slot].v;
    case Bind::Field: return &m_frame->me->fields[e.slot].v;
    case Bind::Undefined: return AddedLocal(e.lower);
    default: return nullptr;
    }
}

namespace {
VARIANT* ArrayElement(VARIANT& container, std::vector<Interpreter::ArgValue>& args);
} // namespace

Interpreter::ArgValue::ArgValue(ArgValue&& other) noexcept
    : ref(other.ref), value(std::move(other.value)), missing(other.missing),
      arrayVariable(std::exchange(other.arrayVariable, nullptr)), indices(std::move(other.indices))
{
    if (other.ref == &other.value.v)
        ref = &value.v;
}

Interpreter::ArgValue::~ArgValue()
{
    if (!arrayVariable || !(arrayVariable->vt & VT_ARRAY))
        return;
    SAFEARRAY* array = arrayVariable->parray;
    if (!array || array->vt != VT_VARIANT || array->cDims != indices.size())
        return;
    void* element;
    if (SUCCEEDED(SafeArrayPtrOfIndex(array, indices.data(), &element)))
        VariantCopy(static_cast<VARIANT*>(element), &value.v);
}

std::vector<Interpreter::ArgValue> Interpreter::EvalArgs(const std::vector<ExprPtr>& args)
{
    std::vector<ArgValue> values(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        const Expr& a = *args[i];
        if (a.kind == Expr::Missing) {
            values[i].missing = true;
            values[i].value.v = kMissing;
            continue;
        }
        if (!a.parenthesized && a.args.empty() && !a.hasArgList)
            if (VARIANT* storage = Storage(a)) {
                values[i].ref = storage;
                continue;
            }
        if (!a.parenthesized && !a.args.empty())
            if (VARIANT* storage = Storage(a); storage && (storage->vt & VT_ARRAY) && storage->parray
                                               && storage->parray->vt == VT_VARIANT) {
                std::vector<ArgValue> subscripts = EvalArgs(a.args);
                values[i].value.Assign(*ArrayElement(*storage, subscripts));
                for (ArgValue& subscript : subscripts)
                    values[i].indices.push_back(ToLong(subscript.ref ? *subscript.ref : subscript.value.v));
                values[i].ref = &values[i].value.v;
                values[i].arrayVariable = storage;
                continue;
            }
        values[i].value = Eval(a);
    }
    return values;
}

// Under Option Explicit, a name the procedure's code did not declare may be a local that its
// Execute made.
VARIANT* Interpreter::AddedLocal(const std::wstring& lower)
{
    const Frame& scope = m_frame->scope ? *m_frame->scope : *m_frame;
    if (!scope.added)
        return nullptr;
    const auto& names = scope.added->names;
    auto found = std::find(names.begin(), names.end(), lower);
    return found == names.end() ? nullptr : &scope.added->values[found - names.begin()].v;
}

const VARIANT& Interpreter::EvalName(const Expr& e, Var& temp)
{
    switch (e.bind) {
    case Bind::Undefined:
        if (!Storage(e))
            break;
        [[fallthrough]];
    case Bind::Local:
    case Bind::Global:
    case Bind::Field: {
        VARIANT* storage = Storage(e);
        if (e.args.empty() && !e.hasArgList)
            return *storage;
        temp = Index(*storage, e.args, e.hasArgList, e.name);
        return temp.v;
    }
    case Bind::Constant:
        return e.value.v;
    case Bind::Procedure: {
        std::vector<ArgValue> args = EvalArgs(e.args);
        temp = CallProcedure(*e.proc, nullptr, args);
        return temp.v;
    }
    case Bind::MemberOfMe: {
        std::vector<ArgValue> args = EvalArgs(e.args);
        temp = CallInstanceMember(*m_frame->me, *e.member, args, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, true);
        return temp.v;
    }
    case Bind::Builtin:
        temp = CallBuiltin(e);
        return temp.v;
    case Bind::NamedItem: {
        IDispatch* object = NamedItemObject(e.slot);
        if (e.args.empty() && !e.hasArgList) {
            temp = Var::Object(object);
            return temp.v;
        }
        ComPtr<IDispatch> hold(object);
        temp = InvokeDispatchMember(object, DISPID_VALUE, e.args, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr);
        return temp.v;
    }
    case Bind::GlobalMember: {
        ComPtr<IDispatch> object(NamedItemObject(e.slot));
        temp = CallObjectMember(object.get(), e.name, e.args, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
        return temp.v;
    }
    case Bind::Unresolved:
        break;
    }
    Throw(kVariableUndefined, ErrorText(kVariableUndefined) + L": '" + e.name + L"'");
}

Var Interpreter::CallBuiltin(const Expr& e)
{
    const Builtin& b = *e.builtin;
    int n = static_cast<int>(e.args.size());
    if (n < b.minArgs || n > b.maxArgs)
        Throw(kWrongArgumentCount, ErrorText(kWrongArgumentCount) + L": '" + e.name + L"'");
    std::vector<Var> temps(e.args.size());
    std::vector<const VARIANT*> values(e.args.size());
    for (size_t i = 0; i < e.args.size(); ++i)
        values[i] = &EvalRef(*e.args[i], temps[i]);
    return b.fn(*this, Args{values});
}

IDispatch* Interpreter::ObjectOf(const Expr& objectExpr, Var& temp)
{
    const VARIANT& v = EvalRef(objectExpr, temp);
    if (v.vt == VT_DISPATCH) {
        if (!v.pdispVal)
            Throw(kObjectVariableNotSet);
        if (&v != &temp.v)
            temp = Var::Object(v.pdispVal);  // hold it while its variable may change
        return temp.v.pdispVal;
    }
    if (v.vt == VT_UNKNOWN && v.punkVal) {
        Var dispatch;
        if (SUCCEEDED(v.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch.v.pdispVal)))) {
            dispatch.v.vt = VT_DISPATCH;
            temp = std::move(dispatch);
            return temp.v.pdispVal;
        }
    }
    std::wstring name = objectExpr.kind == Expr::Name ? objectExpr.name : L"";
    Throw(kObjectRequired, name.empty() ? ErrorText(kObjectRequired) : ErrorText(kObjectRequired) + L": '" + name + L"'");
}

const VARIANT& Interpreter::EvalMember(const Expr& e, Var& temp)
{
    Var objectTemp;
    if (e.object && e.object->kind == Expr::Me && m_frame->me) {
        ClassMember* member = m_frame->me->def().Find(e.lower);
        if (!member)
            Throw(kMemberNotSupported, ErrorText(kMemberNotSupported) + L": '" + e.name + L"'");
        std::vector<ArgValue> args = EvalArgs(e.args);
        ComPtr<IDispatch> hold(m_frame->me);
        temp = CallInstanceMember(*m_frame->me, *member, args, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr, true);
        return temp.v;
    }
    IDispatch* object;
    if (!e.object) {
        object = WithObject(e, objectTemp);
    } else {
        object = ObjectOf(*e.object, objectTemp);
    }
    temp = CallObjectMember(object, e.name, e.args, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    return temp.v;
}

Var Interpreter::CallObjectMember(IDispatch* object, const std::wstring& name, const std::vector<ExprPtr>& argExprs,
                                  WORD flags, const Var* putValue)
{
    if (ClassInstance* instance = ClassInstance::From(object)) {
        ClassMember* member = instance->def().Find(Lower(name));
        if (!member || !member->isPublic)
            Throw(kMemberNotSupported, ErrorText(kMemberNotSupported) + L": '" + name + L"'");
        std::vector<ArgValue> args = EvalArgs(argExprs);
        return CallInstanceMember(*instance, *member, args, flags, putValue, false);
    }
    DISPID id;
    if (FAILED(GetDispatchId(object, name.c_str(), &id)))
        Throw(kMemberNotSupported, ErrorText(kMemberNotSupported) + L": '" + name + L"'");
    return InvokeDispatchMember(object, id, argExprs, flags, putValue);
}

namespace {

LONG IndexValue(const Interpreter::ArgValue& a)
{
    if (a.missing)
        Throw(kSubscriptOutOfRange);
    return ToLong(a.ref ? *a.ref : a.value.v);
}

VARIANT* ArrayElement(VARIANT& container, std::vector<Interpreter::ArgValue>& args)
{
    SAFEARRAY* array = container.parray;
    if (!array || args.size() != array->cDims)
        Throw(kSubscriptOutOfRange);
    if (array->vt != VT_VARIANT)
        Throw(kTypeMismatch);
    std::vector<LONG> indices;
    for (auto& a : args)
        indices.push_back(IndexValue(a));
    void* element;
    if (FAILED(SafeArrayPtrOfIndex(array, indices.data(), &element)))
        Throw(kSubscriptOutOfRange);
    return static_cast<VARIANT*>(element);
}

Var ArrayValue(const VARIANT& container, std::vector<Interpreter::ArgValue>& args)
{
    SAFEARRAY* array = container.parray;
    if (!array || args.size() != array->cDims)
        Throw(kSubscriptOutOfRange);
    std::vector<LONG> indices;
    for (auto& a : args)
        indices.push_back(IndexValue(a));
    void* element;
    if (FAILED(SafeArrayPtrOfIndex(array, indices.data(), &element)))
        Throw(kSubscriptOutOfRange);
    Var result;
    if (array->vt == VT_VARIANT) {
        result.Assign(*static_cast<VARIANT*>(element));
    } else {
        VARIANT raw;
        VariantInit(&raw);
        raw.vt = array->vt;
        std::memcpy(&raw.llVal, element, array->cbElements);
        result.Assign(raw);
    }
    return result;
}

} // namespace

Var Interpreter::Index(const VARIANT& container, const std::vector<ExprPtr>& argExprs, bool hasArgList,
                       std::wstring_view name)
{
    const VARIANT& c = (container.vt == (VT_BYREF | VT_VARIANT)) ? *container.pvarVal : container;
    if (c.vt & VT_ARRAY) {
        std::vector<ArgValue> args = EvalArgs(argExprs);
        if (args.empty()) {
            Var copy;
            copy.Assign(c);
            return copy;
        }
        return ArrayValue(c, args);
    }
    if (c.vt == VT_DISPATCH) {
        if (!c.pdispVal)
            Throw(kObjectVariableNotSet);
        ComPtr<IDispatch> hold(c.pdispVal);
        return InvokeDispatchMember(c.pdispVal, DISPID_VALUE, argExprs, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr);
    }
    if (argExprs.empty() && hasArgList) {
        Var copy;
        copy.Assign(c);
        return copy;
    }
    if (name.empty())
        Throw(kTypeMismatch);
    Throw(kTypeMismatch, ErrorText(kTypeMismatch) + L": '" + std::wstring(name) + L"'");
}

Var Interpreter::CallInstanceMember(ClassInstance& instance, ClassMember& member, std::vector<ArgValue>& args,
                                    WORD flags, const Var* putValue, bool fromInside)
{
    if (!member.isPublic && !fromInside)
        Throw(kMemberNotSupported, ErrorText(kMemberNotSupported) + L": '" + member.name + L"'");
    bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    if (member.field >= 0) {
        VARIANT& field = instance.fields[member.field].v;
        if (put) {
            if (args.empty()) {
                Store(field, *putValue);
            } else if (field.vt & VT_ARRAY) {
                if (putValue->IsArray())
                    CheckNesting(putValue->v);
                Store(*ArrayElement(field, args), *putValue);
            } else {
                Throw(kTypeMismatch);
            }
            return Var();
        }
        if (args.empty()) {
            Var copy;
            copy.Assign(field);
            return copy;
        }
        if (field.vt & VT_ARRAY)
            return ArrayValue(field, args);
        if (field.vt == VT_DISPATCH && field.pdispVal) {
            ComPtr<IDispatch> hold(field.pdispVal);
            return InvokeDispatchArgs(field.pdispVal, DISPID_VALUE, args, DISPATCH_METHOD | DISPATCH_PROPERTYGET, nullptr);
        }
        Throw(kTypeMismatch);
    }
    if (put) {
        Procedure* proc = (flags & DISPATCH_PROPERTYPUTREF) ? member.set : member.let;
        if (!proc && (flags & DISPATCH_PROPERTYPUTREF) == 0 && member.set && putValue->IsObject())
            proc = member.set;
        if (!proc)
            Throw(kMemberNotSupported, ErrorText(kMemberNotSupported) + L": '" + member.name + L"'");
        ArgValue value;
        value.value = *putValue;
        args.push_back(std::move(value));
        CallProcedure(*proc, &instance, args, false);
        return Var();
    }
    if (!member.get)
        Throw(kMemberNotSupported, ErrorText(kMemberNotSupported) + L": '" + member.name + L"'");
    return CallProcedure(*member.get, &instance, args);
}

Var Interpreter::InvokeDispatchMember(IDispatch* object, DISPID id, const std::vector<ExprPtr>& argExprs, WORD flags,
                                      const Var* putValue)
{
    std::vector<ArgValue> args = EvalArgs(argExprs);
    return InvokeDispatchArgs(object, id, args, flags, putValue);
}

Var Interpreter::InvokeDispatchArgs(IDispatch* object, DISPID id, std::vector<ArgValue>& args, WORD flags,
                                    const Var* putValue)
{
    bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    std::vector<VARIANT> raw;
    raw.reserve(args.size() + 1);
    if (put)
        raw.push_back(putValue->v);
    for (size_t i = args.size(); i-- > 0;) {
        VARIANT v;
        VariantInit(&v);
        if (args[i].ref) {
            v.vt = VT_BYREF | VT_VARIANT;
            v.pvarVal = args[i].ref;
        } else {
            v = args[i].value.v;  // borrowed: args keeps ownership
        }
        raw.push_back(v);
    }
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{raw.data(), put ? &putId : nullptr, static_cast<UINT>(raw.size()), put ? 1u : 0u};
    Var result;
    EXCEPINFO info{};
    ComPtr<IDispatch> hold(object);
    HRESULT hr = object->Invoke(id, IID_NULL, 0, flags, &params, put ? nullptr : &result.v, &info, nullptr);
    if (FAILED(hr))
        ThrowFromDispatch(object, hr, info);
    ClearExcepInfo(&info);
    return result;
}

void Interpreter::ThrowFromDispatch(IDispatch* object, HRESULT hr, EXCEPINFO& info)
{
    if (object == m_err) {
        if (auto raised = m_err->TakeRaised()) {
            ClearExcepInfo(&info);
            throw *raised;
        }
    }
    throw ErrorFromObject(hr, info);
}

void Interpreter::Assign(const Expr& target, Var value, bool isSet)
{
    if (target.kind == Expr::Member) {
        WORD flags = isSet ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT;
        Var objectTemp;
        if (target.object && target.object->kind == Expr::Me && m_frame->me) {
            ClassMember* member = m_frame->me->def().Find(target.lower);
            if (!member)
                Throw(kMemberNotSupported, ErrorText(kMemberNotSupported) + L": '" + target.name + L"'");
            std::vector<ArgValue> args = EvalArgs(target.args);
            ComPtr<IDispatch> hold(m_frame->me);
            CallInstanceMember(*m_frame->me, *member, args, flags, &value, true);
            return;
        }
        IDispatch* object;
        if (!target.object) {
            object = WithObject(target, objectTemp);
        } else {
            object = ObjectOf(*target.object, objectTemp);
        }
        CallObjectMember(object, target.name, target.args, flags, &value);
        return;
    }
    if (target.kind != Expr::Name)
        Throw(kIllegalAssignment);
    if ((target.bind == Bind::Undefined || target.bind == Bind::Unresolved) && !Storage(target))
        Throw(kVariableUndefined, ErrorText(kVariableUndefined) + L": '" + target.name + L"'");
    switch (target.bind) {
    case Bind::Undefined:
    case Bind::Local:
    case Bind::Global:
    case Bind::Field: {
        VARIANT* storage = Storage(target);
        if (target.args.empty() && !target.hasArgList) {
            Store(*storage, std::move(value));
            return;
        }
        std::vector<ArgValue> args = EvalArgs(target.args);
        if (storage->vt & VT_ARRAY) {
            if (value.IsArray())
                CheckNesting(value.v);
            VARIANT* element = ArrayElement(*storage, args);
            Store(*element, std::move(value));
            return;
        }
        if (storage->vt == VT_DISPATCH && storage->pdispVal) {
            ComPtr<IDispatch> hold(storage->pdispVal);
            InvokeDispatchMember(storage->pdispVal, DISPID_VALUE, target.args,
                                 isSet ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT, &value);
            return;
        }
        Throw(kTypeMismatch);
    }
    case Bind::MemberOfMe: {
        std::vector<ArgValue> args = EvalArgs(target.args);
        ComPtr<IDispatch> hold(m_frame->me);
        CallInstanceMember(*m_frame->me, *target.member, args, isSet ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT,
                           &value, true);
        return;
    }
    case Bind::GlobalMember: {
        ComPtr<IDispatch> object(NamedItemObject(target.slot));
        CallObjectMember(object.get(), target.name, target.args, isSet ? DISPATCH_PROPERTYPUTREF : DISPATCH_PROPERTYPUT,
                         &value);
        return;
    }
    default:
        Throw(kIllegalAssignment, ErrorText(kIllegalAssignment) + L": '" + target.name + L"'");
    }
}

} // namespace vbs
