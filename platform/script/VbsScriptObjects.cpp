// Objects the interpreter deals with beyond values: instances of script classes made and ended,
// procedures and the global scope as dispatch objects for the host and other engines, calls coming
// in from outside, and objects created by name.

#include "platform/script/VbsRuntime.h"

#include "platform/com/ClassRegistry.h"

#include <new>

namespace vbs {

Var Interpreter::NewInstance(ClassDef& def)
{
    MemoryCharge charge;
    if (!charge.Take(m_budget.get(), sizeof(ClassInstance) + def.fieldCount * sizeof(Var)))
        Throw(kOutOfMemory);
    auto* instance = new ClassInstance(*this, def, std::move(charge));
    Var result = Var::Object(instance);
    instance->Release();
    for (auto& member : def.members) {
        if (member->field >= 0 && member->fieldIsArray)
            instance->fields[member->field] = MakeArray(member->fieldBounds);
    }
    if (def.initialize) {
        std::vector<ArgValue> none;
        CallProcedure(*def.initialize, instance, none, false);
    }
    return result;
}

void Interpreter::TerminateInstance(ClassInstance& instance)
{
    Procedure* terminate = instance.def().terminate;
    if (m_closing || !terminate)
        return;
    try {
        std::vector<ArgValue> none;
        Frame* outer = m_frame;
        CallProcedure(*terminate, &instance, none, false);
        m_frame = outer;
    } catch (...) {
        // Errors of Class_Terminate are not reported; an interrupt stays pending and stops the run.
    }
}

namespace {

class ProcedureObject final : public RuntimeObject {
public:
    ProcedureObject(std::shared_ptr<Interpreter::Link> link, Procedure& proc)
        : RuntimeObject(L"Object"), m_link(std::move(link)), m_proc(&proc)
    {
        AddMember(L"", DISPID_VALUE, [this](Call& c) {
            Interpreter* interpreter = m_link->interpreter;
            if (!interpreter)
                return E_UNEXPECTED;
            return interpreter->InvokeProcedure(*m_proc, c.args, c.result, c.exception);
        });
    }

private:
    std::shared_ptr<Interpreter::Link> m_link;
    Procedure* m_proc;
};

// What Me stands for outside a class: the script's global names as an object. A name becomes a
// member when it is first asked for, once the script has declared it.
class GlobalScopeObject final : public RuntimeObject {
public:
    explicit GlobalScopeObject(std::shared_ptr<Interpreter::Link> link) : RuntimeObject(L"Object"), m_link(std::move(link)) {}

    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override
    {
        Interpreter* interpreter = m_link->interpreter;
        if (names && count > 0 && names[0] && interpreter && !m_known.contains(Lower(names[0]))) {
            std::wstring lower = Lower(names[0]);
            if (interpreter->HasGlobal(lower)) {
                m_known.insert(lower);
                AddMember(names[0], static_cast<DISPID>(m_known.size()), [this, lower](Call& c) {
                    Interpreter* current = m_link->interpreter;
                    return current ? current->InvokeGlobal(lower, c.flags, c.args, c.result, c.exception) : E_UNEXPECTED;
                });
            }
        }
        return RuntimeObject::GetIDsOfNames(riid, names, count, lcid, ids);
    }

private:
    std::shared_ptr<Interpreter::Link> m_link;
    std::unordered_set<std::wstring> m_known;
};

void FillException(EXCEPINFO* exception, const ScriptError& e)
{
    if (!exception)
        return;
    ClearExcepInfo(exception);
    exception->scode = (e.number > 0 && e.number < 65536) ? MakeControlError(e.number) : e.number;
    exception->bstrDescription = SysAllocStringView(e.description);
    exception->bstrSource = SysAllocStringView(e.source);
}

// A caller's argument: a reference when it passes a variable by reference, else its value.
Interpreter::ArgValue ArgumentFrom(VARIANT& raw)
{
    Interpreter::ArgValue a;
    if (raw.vt == (VT_BYREF | VT_VARIANT) && raw.pvarVal)
        a.ref = raw.pvarVal;
    else
        a.value.Assign(raw);
    return a;
}

} // namespace

Var Interpreter::ProcedureReference(const std::wstring& name)
{
    auto it = m_procedures.find(Lower(name));
    if (it == m_procedures.end())
        Throw(kInvalidProcedureCall);
    auto* reference = new ProcedureObject(m_link, *it->second);
    Var result = Var::Object(reference);
    reference->Release();
    return result;
}

IDispatch* Interpreter::GlobalScope()
{
    if (!m_globalScope)
        m_globalScope = ComPtr<IDispatch>::Adopt(new GlobalScopeObject(m_link));
    return m_globalScope.get();
}

bool Interpreter::HasGlobal(const std::wstring& lower) const
{
    return m_procedures.contains(lower) || m_globalSlots.contains(lower);
}

HRESULT Interpreter::InvokeGlobal(const std::wstring& lower, WORD flags, std::span<VARIANT* const> args, VARIANT* result,
                                  EXCEPINFO* exception)
{
    bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    if (auto proc = m_procedures.find(lower); proc != m_procedures.end())
        return put ? DISP_E_MEMBERNOTFOUND : InvokeProcedure(*proc->second, args, result, exception);
    auto slot = m_globalSlots.find(lower);
    if (slot == m_globalSlots.end())
        return DISP_E_MEMBERNOTFOUND;
    Var& variable = m_globals[slot->second];
    if (put) {
        if (args.size() != 1)
            return DISP_E_BADPARAMCOUNT;
        Var value;
        value.Assign(*args[0]);
        return RunForCaller([&] { Store(variable.v, std::move(value)); return Var(); }, nullptr, exception);
    }
    if (!args.empty())
        return DISP_E_BADPARAMCOUNT;
    if (result)
        return VariantCopyInd(result, &variable.v);
    return S_OK;
}

HRESULT Interpreter::InvokeProcedure(Procedure& proc, std::span<VARIANT* const> raw, VARIANT* result,
                                     EXCEPINFO* exception)
{
    std::vector<ArgValue> args;
    for (VARIANT* arg : raw)
        args.push_back(ArgumentFrom(*arg));
    return RunForCaller([&] { return CallProcedure(proc, nullptr, args); }, result, exception);
}

HRESULT Interpreter::InvokeInstance(ClassInstance& instance, ClassMember& member, WORD flags, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO* exception)
{
    std::vector<ArgValue> args;
    const Var* putValue = nullptr;
    Var putHolder;
    if (params) {
        UINT named = std::min(params->cNamedArgs, params->cArgs);
        for (UINT n = 0; n < named; ++n) {
            if (params->rgdispidNamedArgs && params->rgdispidNamedArgs[n] == DISPID_PROPERTYPUT) {
                putHolder.Assign(params->rgvarg[n]);
                putValue = &putHolder;
            } else {
                return DISP_E_NONAMEDARGS;
            }
        }
        for (UINT i = params->cArgs; i-- > named;)
            args.push_back(ArgumentFrom(params->rgvarg[i]));
    }
    bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    if (put && !putValue)
        return DISP_E_PARAMNOTOPTIONAL;
    if (!put && !member.get && member.field < 0)
        return DISP_E_MEMBERNOTFOUND;
    ComPtr<IDispatch> hold(&instance);
    return RunForCaller([&] { return CallInstanceMember(instance, member, args, flags, putValue, true); }, result,
                        exception);
}

template<typename Call>
HRESULT Interpreter::RunForCaller(Call&& call, VARIANT* result, EXCEPINFO* exception)
{
    MemoryBudgetScope budget(m_budget.get());
    try {
        Var r = call();
        if (result) {
            VariantClear(result);
            *result = r.Detach();
        }
        return S_OK;
    } catch (const ScriptError& e) {
        if (e.endsRun && m_depth > 0)
            throw;
        FillException(exception, e);
        return DISP_E_EXCEPTION;
    } catch (const ScriptInterrupted&) {
        if (m_depth > 0)
            throw;
        return E_ABORT;
    } catch (const std::bad_alloc&) {
        if (m_depth > 0)
            throw;
        return E_OUTOFMEMORY;
    }
}

// ---- objects created by name ------------------------------------------------------------------

Var Interpreter::CreateObjectByName(const std::wstring& progId)
{
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid)))
        Throw(kCannotCreateObject, ErrorText(kCannotCreateObject) + L": '" + progId + L"'");
    Var result;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&result.v.pdispVal));
    if (FAILED(hr) || !result.v.pdispVal) {
        result.v.pdispVal = nullptr;
        if (hr == E_NOINTERFACE)
            Throw(kNoAutomation);
        Throw(kCannotCreateObject, ErrorText(kCannotCreateObject) + L": '" + progId + L"'");
    }
    result.v.vt = VT_DISPATCH;
    return result;
}

} // namespace vbs
