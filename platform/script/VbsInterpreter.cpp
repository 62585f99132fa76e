#include "platform/script/VbsInterpreter.h"

#include "platform/com/ClassRegistry.h"
#include "platform/script/ActiveScript.h"
#include "platform/script/RegExpObject.h"
#include "platform/script/VbsParser.h"
#include "platform/script/VbsObjects.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <optional>

#include <pthread.h>

namespace vbs {

const IID IID_IScriptTypeName = {0x6B9A58CE, 0xA473, 0x4C5F, {0xAD, 0xCB, 0x89, 0xEB, 0xE8, 0xBC, 0xAD, 0x8A}};

namespace {

const IID IID_IScriptClassInstance = {0x66E66D1D, 0xC555, 0x44FC, {0xB7, 0xEC, 0x26, 0x4D, 0x3A, 0xE4, 0xD8, 0x9D}};

// Deep script recursion ends with "Out of stack space" before the thread's stack does: the
// deepest call keeps a reserve for the built-ins, host calls and error reports it may still make.
constexpr size_t kStackReserve = 1024 * 1024;
constexpr size_t kMaxStackBudget = 64 * 1024 * 1024;
constexpr ULONG kMaxArrayElements = 4 * 1024 * 1024;

std::wstring Lower(std::wstring_view s)
{
    std::wstring r(s);
    for (wchar_t& c : r)
        c = static_cast<wchar_t>(std::towlower(c));
    return r;
}

VARIANT MissingArgument()
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}
const VARIANT kMissing = MissingArgument();
const VARIANT kEmpty = [] { VARIANT v; VariantInit(&v); return v; }();

// Replaces what target holds; the old value is released after the new one is in place, so that
// code run by its release sees the new value.
void Store(VARIANT& target, Var value)
{
    VARIANT old = target;
    target = value.Detach();
    VariantClear(&old);
}

std::uintptr_t FrameAddress() { return reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)); }

// How deep below base the running thread's stack lets script calls go.
size_t StackBudget(std::uintptr_t base)
{
    constexpr size_t kUnknownStackBudget = 1536 * 1024;
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0)
        return kUnknownStackBudget;
    void* lowest = nullptr;
    size_t size = 0;
    int failed = pthread_attr_getstack(&attributes, &lowest, &size);
    pthread_attr_destroy(&attributes);
    auto low = reinterpret_cast<std::uintptr_t>(lowest);
    if (failed || base <= low)
        return kUnknownStackBudget;
    size_t room = base - low;
    return std::min(room - std::min(room / 2, kStackReserve), kMaxStackBudget);
}

// The number (possibly signed) or text an operand is written as in the program, or null.
const VARIANT* WrittenLiteral(const Expr& e)
{
    if (e.kind == Expr::Literal)
        return &e.value.v;
    if (e.kind == Expr::Unary && e.unary != UnaryOp::Not && e.object->kind == Expr::Literal
        && e.object->value.v.vt != VT_BSTR)
        return &e.object->value.v;
    return nullptr;
}

// In a comparison, a value met by a literal of the other kind written on the other side takes
// the literal's kind first ("5" held in a variable equals a written 5).
const VARIANT& OperandAsWritten(const Expr& expr, const VARIANT& value, const Expr& otherExpr, Var& converted)
{
    const VARIANT* written = WrittenLiteral(otherExpr);
    if (!written || WrittenLiteral(expr))
        return value;
    return AsKindOfWritten(*written, value, converted);
}

} // namespace

// ---- the Err object --------------------------------------------------------------------------

class ErrObject final : public RuntimeObject {
public:
    ErrObject() : RuntimeObject(L"ErrObject")
    {
        AddLongProperty(L"Number", DISPID_VALUE, m_number);
        AddTextProperty(L"Description", 1, m_description);
        AddTextProperty(L"Source", 2, m_source);
        AddTextProperty(L"HelpFile", 3, m_helpFile);
        AddLongProperty(L"HelpContext", 4, m_helpContext);
        AddMember(L"Raise", 5, [this](Call& c) { return Raise(c); },
                  {L"Number", L"Source", L"Description", L"HelpFile", L"HelpContext"});
        AddMember(L"Clear", 6, [this](Call&) {
            Clear();
            return S_OK;
        });
    }

    void Clear()
    {
        m_number = 0;
        m_helpContext = 0;
        m_description.clear();
        m_source.clear();
        m_helpFile.clear();
    }

    void Set(const ScriptError& e)
    {
        Clear();
        m_number = e.number;
        m_description = e.description;
        m_source = e.source;
        m_helpFile = e.helpFile;
        m_helpContext = e.helpContext;
    }

    std::optional<ScriptError> TakeRaised() { return std::exchange(m_raised, std::nullopt); }

private:
    void AddLongProperty(const wchar_t* name, DISPID id, LONG& field)
    {
        AddMember(name, id, [&field](Call& c) {
            if (c.IsPut()) {
                double n;
                if (HRESULT hr = c.Number(c.Count() - 1, n); FAILED(hr))
                    return hr;
                field = static_cast<LONG>(n);
                return S_OK;
            }
            c.ReturnLong(field);
            return S_OK;
        });
    }

    void AddTextProperty(const wchar_t* name, DISPID id, std::wstring& field)
    {
        AddMember(name, id, [&field](Call& c) {
            if (c.IsPut())
                return c.Text(c.Count() - 1, field);
            c.ReturnText(field);
            return S_OK;
        });
    }

    HRESULT Raise(Call& c)
    {
        if (!c.Has(0))
            return DISP_E_PARAMNOTOPTIONAL;
        double number;
        if (HRESULT hr = c.Number(0, number); FAILED(hr))
            return hr;
        if (number == 0 || number > 2147483647.0 || number < -2147483648.0) {
            ScriptError e{kInvalidProcedureCall, ErrorText(kInvalidProcedureCall), kRuntimeErrorSource};
            m_raised = e;
            return DISP_E_EXCEPTION;
        }
        ScriptError e;
        e.number = static_cast<int>(number);
        e.source = kRuntimeErrorSource;
        e.description = (e.number > 0 && e.number < 65536) ? ErrorText(e.number) : L"Unknown runtime error";
        if (c.Has(1) && FAILED(c.Text(1, e.source)))
            return DISP_E_TYPEMISMATCH;
        if (c.Has(2) && FAILED(c.Text(2, e.description)))
            return DISP_E_TYPEMISMATCH;
        if (c.Has(3) && FAILED(c.Text(3, e.helpFile)))
            return DISP_E_TYPEMISMATCH;
        double context = 0;
        if (c.Has(4) && FAILED(c.Number(4, context)))
            return DISP_E_TYPEMISMATCH;
        e.helpContext = static_cast<LONG>(context);
        m_raised = e;
        return DISP_E_EXCEPTION;
    }

    LONG m_number = 0;
    LONG m_helpContext = 0;
    std::wstring m_description;
    std::wstring m_source;
    std::wstring m_helpFile;
    std::optional<ScriptError> m_raised;
};

// ---- instances of script classes -------------------------------------------------------------

class ClassInstance final : public IDispatch, public IScriptTypeName {
public:
    ClassInstance(Interpreter& interpreter, ClassDef& def)
        : m_link(interpreter.link()), m_def(&def), m_typeName(def.name), fields(def.fieldCount)
    {
        interpreter.Track(this, true);
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch)
            *ppv = static_cast<IDispatch*>(this);
        else if (riid == IID_IScriptTypeName)
            *ppv = static_cast<IScriptTypeName*>(this);
        else if (riid == IID_IScriptClassInstance)
            *ppv = this;
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        if (--m_refs)
            return m_refs;
        // Instances end one after another, not inside each other: freeing a long chain of
        // objects must not recurse once per object.
        thread_local std::vector<ClassInstance*> ending;
        thread_local bool draining = false;
        ending.push_back(this);
        if (draining)
            return 0;
        draining = true;
        while (!ending.empty()) {
            ClassInstance* next = ending.back();
            ending.pop_back();
            next->End();
        }
        draining = false;
        return 0;
    }
    std::wstring TypeName() override { return m_typeName; }

    HRESULT GetTypeInfoCount(UINT* count) override
    {
        if (count)
            *count = 0;
        return count ? S_OK : E_POINTER;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (!names || !ids || !count)
            return E_INVALIDARG;
        if (!m_link->interpreter)
            return E_UNEXPECTED;
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        ClassMember* member = names[0] ? m_def->Find(Lower(names[0])) : nullptr;
        if (!member || !member->isPublic)
            return DISP_E_UNKNOWNNAME;
        ids[0] = member->dispid;
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                   UINT*) override
    {
        Interpreter* interpreter = m_link->interpreter;
        if (!interpreter)
            return E_UNEXPECTED;
        ClassMember* member = nullptr;
        if (id == DISPID_VALUE)
            member = m_def->defaultMember;
        else if (id > 0 && size_t(id) <= m_def->members.size())
            member = m_def->members[id - 1].get();
        if (!member || (!member->isPublic && id != DISPID_VALUE))
            return DISP_E_MEMBERNOTFOUND;
        return interpreter->InvokeInstance(*this, *member, flags, params, result, exception);
    }

    ClassDef& def() { return *m_def; }
    void ClearFields()
    {
        std::vector<Var> old;
        old.swap(fields);
        fields.resize(old.size());
    }

    static ClassInstance* From(IDispatch* object)
    {
        if (!object)
            return nullptr;
        void* p = nullptr;
        if (FAILED(object->QueryInterface(IID_IScriptClassInstance, &p)) || !p)
            return nullptr;
        auto* instance = static_cast<ClassInstance*>(p);
        instance->Release();  // the caller holds the object
        return instance;
    }

private:
    ~ClassInstance()
    {
        if (Interpreter* interpreter = m_link->interpreter)
            interpreter->Track(this, false);
    }

    // Runs Class_Terminate once, then deletes the instance unless that code kept a reference.
    void End()
    {
        if (Interpreter* interpreter = m_link->interpreter; interpreter && !m_terminated) {
            m_terminated = true;
            m_refs = 1;
            interpreter->TerminateInstance(*this);
            if (--m_refs)
                return;
        }
        delete this;
    }

    std::shared_ptr<Interpreter::Link> m_link;
    ClassDef* m_def;
    std::wstring m_typeName;
    ULONG m_refs = 1;
    bool m_terminated = false;

public:
    std::vector<Var> fields;
};

// ---- life of the interpreter -----------------------------------------------------------------

Interpreter::Interpreter(InterpreterHost& host)
    : m_host(host), m_link(std::make_shared<Link>(Link{this})), m_err(new ErrObject)
{
}

Interpreter::~Interpreter()
{
    ReleaseObjects();
    m_link->interpreter = nullptr;
    m_err->Release();
}

void Interpreter::ReleaseObjects()
{
    // Objects the script variables still hold end as they would at any release: their
    // Class_Terminate runs. What that code stores again is released without it.
    for (Var& g : m_globals)
        Store(g.v, Var());
    m_closing = true;
    for (Var& g : m_globals)
        Store(g.v, Var());
    for (NamedItem& item : m_namedItems) {
        item.object.Reset();
        item.fetched = false;
    }
    m_globalScope.Reset();
    // Instances that keep each other alive lose their fields, which breaks every cycle.
    std::vector<ClassInstance*> live(m_instances.begin(), m_instances.end());
    for (ClassInstance* i : live)
        i->AddRef();
    for (ClassInstance* i : live)
        i->ClearFields();
    for (ClassInstance* i : live)
        i->Release();
    m_closing = false;
}

void Interpreter::Track(ClassInstance* instance, bool live)
{
    if (live)
        m_instances.insert(instance);
    else
        m_instances.erase(instance);
}

IDispatch* Interpreter::ErrDispatch() { return m_err; }

void Interpreter::AddNamedItem(const std::wstring& name, DWORD flags)
{
    std::wstring lower = Lower(name);
    for (NamedItem& item : m_namedItems) {
        if (item.lower == lower) {
            item.flags = flags;
            return;
        }
    }
    m_namedItems.push_back({name, lower, flags, {}, false});
}

IDispatch* Interpreter::NamedItemObject(int index)
{
    NamedItem& item = m_namedItems[index];
    if (!item.fetched) {
        item.fetched = true;
        item.object = ComPtr<IDispatch>::Adopt(m_host.GetNamedItem(item.name));
    }
    if (!item.object)
        Throw(kObjectRequired, ErrorText(kObjectRequired) + L": '" + item.name + L"'");
    return item.object.get();
}

// ---- binding ---------------------------------------------------------------------------------

Unit& Interpreter::AddUnit(std::unique_ptr<Unit> unit)
{
    for (auto& [name, value] : unit->constants)
        m_constants[Lower(name)] = value;
    for (auto& [name, line] : unit->globals) {
        std::wstring lower = Lower(name);
        if (!m_globalSlots.count(lower)) {
            m_globalSlots[lower] = static_cast<int>(m_globals.size());
            m_globals.emplace_back();
        }
    }
    for (auto& proc : unit->procedures)
        m_procedures[proc->lower] = proc.get();
    for (auto& cls : unit->classes)
        m_classes[cls->lower] = cls.get();
    bool strict = unit->optionExplicit;
    BindProcedure(*unit->globalCode, strict);
    for (auto& proc : unit->procedures)
        BindProcedure(*proc, strict);
    for (auto& cls : unit->classes)
        for (auto& proc : cls->procedures)
            BindProcedure(*proc, strict);
    m_units.push_back(std::move(unit));
    return *m_units.back();
}

void Interpreter::BindProcedure(Procedure& proc, bool strict)
{
    BindBlock(proc.body, proc, strict);
}

void Interpreter::BindBlock(Block& block, Procedure& proc, bool strict)
{
    for (auto& s : block) {
        switch (s->kind) {
        case Stmt::Assign:
        case Stmt::Set:
            BindExpr(s->a.get(), proc, strict, true);
            BindExpr(s->b.get(), proc, strict);
            break;
        case Stmt::For:
        case Stmt::ForEach:
            BindExpr(s->a.get(), proc, strict, true);
            BindExpr(s->b.get(), proc, strict);
            BindExpr(s->c.get(), proc, strict);
            BindExpr(s->d.get(), proc, strict);
            break;
        case Stmt::Dim:
        case Stmt::ReDim:
            // ReDim also declares a name nothing else declared, even under Option Explicit.
            for (DimItem& item : s->dims) {
                BindExpr(item.target.get(), proc, strict && s->kind == Stmt::Dim, true);
                for (auto& b : item.bounds)
                    BindExpr(b.get(), proc, strict);
            }
            break;
        default:
            BindExpr(s->a.get(), proc, strict);
            BindExpr(s->b.get(), proc, strict);
            break;
        }
        for (Branch& branch : s->branches) {
            for (auto& c : branch.conditions)
                BindExpr(c.get(), proc, strict);
            BindBlock(branch.body, proc, strict);
        }
        BindBlock(s->body, proc, strict);
    }
}

void Interpreter::BindExpr(Expr* e, Procedure& proc, bool strict, bool ownNameIsResult)
{
    if (!e)
        return;
    if (e->kind == Expr::Name)
        BindName(*e, proc, strict, ownNameIsResult);
    // In a function, its name before ".member" is its result ("f.Value = 1"); elsewhere it calls.
    BindExpr(e->object.get(), proc, strict, e->kind == Expr::Member);
    BindExpr(e->right.get(), proc, strict);
    for (auto& a : e->args)
        BindExpr(a.get(), proc, strict);
}

void Interpreter::BindName(Expr& e, Procedure& proc, bool strict, bool ownNameIsResult)
{
    const std::wstring& name = e.lower;
    if (ownNameIsResult && proc.resultSlot >= 0 && name == proc.lower && e.args.empty() && !e.hasArgList) {
        e.bind = Bind::Local;
        e.slot = proc.resultSlot;
        return;
    }
    if (int slot = proc.FindLocal(name); slot >= 0) {
        e.bind = Bind::Local;
        e.slot = slot;
        return;
    }
    if (auto it = proc.constants.find(name); it != proc.constants.end()) {
        e.bind = Bind::Constant;
        e.value = it->second;
        return;
    }
    if (proc.owner) {
        if (ClassMember* member = proc.owner->Find(name)) {
            if (member->field >= 0) {
                e.bind = Bind::Field;
                e.slot = member->field;
            } else {
                e.bind = Bind::MemberOfMe;
                e.member = member;
            }
            return;
        }
    }
    if (auto it = m_constants.find(name); it != m_constants.end()) {
        e.bind = Bind::Constant;
        e.value = it->second;
        return;
    }
    if (auto it = m_globalSlots.find(name); it != m_globalSlots.end()) {
        e.bind = Bind::Global;
        e.slot = it->second;
        return;
    }
    if (auto it = m_procedures.find(name); it != m_procedures.end()) {
        e.bind = Bind::Procedure;
        e.proc = it->second;
        return;
    }
    for (size_t i = 0; i < m_namedItems.size(); ++i) {
        if (m_namedItems[i].lower == name) {
            e.bind = Bind::NamedItem;
            e.slot = static_cast<int>(i);
            return;
        }
    }
    if (const Var* constant = FindBuiltinConstant(name)) {
        e.bind = Bind::Constant;
        e.value = *constant;
        return;
    }
    if (const Builtin* builtin = FindBuiltin(name)) {
        e.bind = Bind::Builtin;
        e.builtin = builtin;
        return;
    }
    for (size_t i = 0; i < m_namedItems.size(); ++i) {
        if (!(m_namedItems[i].flags & SCRIPTITEM_GLOBALMEMBERS))
            continue;
        try {
            DISPID id;
            if (SUCCEEDED(GetDispatchId(NamedItemObject(static_cast<int>(i)), e.name.c_str(), &id))) {
                e.bind = Bind::GlobalMember;
                e.slot = static_cast<int>(i);
                return;
            }
        } catch (const ScriptError&) {
        }
    }
    if (strict) {
        e.bind = Bind::Undefined;
        return;
    }
    if (proc.kind == ProcKind::GlobalCode) {
        e.bind = Bind::Global;
        e.slot = static_cast<int>(m_globals.size());
        m_globalSlots[name] = e.slot;
        m_globals.emplace_back();
        return;
    }
    e.bind = Bind::Local;
    e.slot = proc.AddLocal(name);
}

// ---- running ---------------------------------------------------------------------------------

void Interpreter::ResetSteps()
{
    m_steps = 0;
    m_ticksSincePoll = 0;
    m_lastPoll = std::chrono::steady_clock::now();
}

void Interpreter::Tick()
{
    // The clock is read only every few hundred steps: a step takes well under a microsecond.
    if (++m_ticksSincePoll >= 256) {
        m_ticksSincePoll = 0;
        const auto now = std::chrono::steady_clock::now();
        if (now - m_lastPoll >= PollInterval) {
            m_lastPoll = now;
            if (!m_host.QueryContinue())
                throw ScriptInterrupted{false};
        }
    }
    if (m_interrupt.load(std::memory_order_relaxed))
        throw ScriptInterrupted{m_interruptReport.load()};
    if (m_stepLimit && ++m_steps > m_stepLimit)
        throw ScriptInterrupted{false};
}

void Interpreter::RecordError(const ScriptError& e)
{
    m_err->Set(e);
}

void Interpreter::Run(Unit& unit)
{
    MemoryBudgetScope budget(m_budget.get());
    Procedure& code = *unit.globalCode;
    std::vector<ArgValue> none;
    CallProcedure(code, nullptr, none, false);
}

Var Interpreter::ExecuteText(std::wstring_view text, bool expression)
{
    std::unique_ptr<Unit> unit;
    try {
        unit = expression ? ParseExpressionUnit(text) : ParseUnit(text);
    } catch (ScriptError& e) {
        e.line = -1;
        e.column = -1;
        e.compile = false;
        throw;
    }
    Unit& added = AddUnit(std::move(unit));
    if (expression)
        return Evaluate(added);
    Run(added);
    return Var();
}

Var Interpreter::Evaluate(Unit& unit)
{
    MemoryBudgetScope budget(m_budget.get());
    Procedure& code = *unit.globalCode;
    std::vector<Var> storage(code.locals.size());
    std::vector<VARIANT*> slots(storage.size());
    for (size_t i = 0; i < storage.size(); ++i)
        slots[i] = &storage[i].v;
    Frame frame{&code, slots.data(), nullptr, false};
    Frame* outer = std::exchange(m_frame, &frame);
    struct Restore {
        Interpreter& self;
        Frame* outer;
        ~Restore() { self.m_frame = outer; }
    } restore{*this, outer};
    if (code.body.empty() || !code.body[0]->a)
        return Var();
    return ValueOf(Eval(*code.body[0]->a).v);
}

Var Interpreter::CallProcedure(Procedure& proc, ClassInstance* me, std::vector<ArgValue>& args, bool wantResult)
{
    if (args.size() != proc.params.size())
        Throw(kWrongArgumentCount, ErrorText(kWrongArgumentCount) + L": '" + proc.name + L"'");
    if (m_depth == 0) {
        m_stackBase = FrameAddress();
        m_stackBudget = StackBudget(m_stackBase);
    } else if (m_stackBase > FrameAddress() && m_stackBase - FrameAddress() > m_stackBudget) {
        Throw(kOutOfStackSpace);
    }
    Tick();
    size_t count = proc.locals.size();
    std::vector<Var> storage(count);
    std::vector<VARIANT*> slots(count);
    for (size_t i = 0; i < count; ++i)
        slots[i] = &storage[i].v;
    for (size_t i = 0; i < proc.params.size(); ++i) {
        ArgValue& arg = args[i];
        if (arg.ref && proc.params[i].byRef)
            slots[i] = arg.ref;
        else if (arg.ref)
            storage[i].Assign(*arg.ref);
        else
            storage[i] = std::move(arg.value);
    }
    for (size_t i = proc.params.size(); i < count; ++i) {
        if (proc.localIsArray[i])
            storage[i] = MakeArray(proc.localBounds[i]);
    }
    Frame frame{&proc, slots.data(), me, false};
    Frame* outer = std::exchange(m_frame, &frame);
    ++m_depth;
    struct Restore {
        Interpreter& self;
        Frame* outer;
        ~Restore()
        {
            self.m_frame = outer;
            --self.m_depth;
        }
    } restore{*this, outer};
    ExecBlock(proc.body);
    if (wantResult && proc.resultSlot >= 0)
        return std::move(storage[proc.resultSlot]);
    return Var();
}

Interpreter::Flow Interpreter::ExecBlock(const Block& block)
{
    for (const auto& s : block) {
        try {
            Tick();
            Flow flow = Exec(*s);
            if (flow != Flow::Normal)
                return flow;
        } catch (ScriptInterrupted& i) {
            if (i.line < 0) {
                i.line = s->line;
                i.column = s->column;
            }
            throw;
        } catch (ScriptError& e) {
            if (e.line < 0) {
                e.line = s->line;
                e.column = s->column;
            }
            if (!m_frame->resumeNext)
                throw;
            RecordError(e);
        }
    }
    return Flow::Normal;
}

// The object of the innermost With around a .member; a .member outside any With has none.
IDispatch* Interpreter::WithObject(const Expr& member, Var& objectTemp)
{
    if (member.slot < 0)
        Throw(kInvalidReference);
    const VARIANT& with = *m_frame->slots[member.slot];
    if (with.vt != VT_DISPATCH || !with.pdispVal)
        Throw(kObjectRequired);
    objectTemp = Var::Object(with.pdispVal);
    return objectTemp.v.pdispVal;
}

// (f)(x) calls a script function that takes the arguments; (f)(x) of one that takes none
// indexes its result.
bool Interpreter::IsParenthesizedCall(const Expr& index)
{
    const Expr& callee = *index.object;
    return callee.parenthesized && callee.kind == Expr::Name && callee.bind == Bind::Procedure
        && !callee.hasArgList && !index.args.empty() && callee.proc->params.size() == index.args.size();
}

// Kept out of Eval, whose frame every nested expression and script call pays for.
Var Interpreter::CallParenthesized(const Expr& index)
{
    std::vector<ArgValue> args = EvalArgs(index.args);
    return CallProcedure(*index.object->proc, nullptr, args);
}

template<typename Head>
bool Interpreter::RunHead(const Stmt& s, Head&& head)
{
    try {
        head();
        return true;
    } catch (ScriptError& e) {
        if (!m_frame->resumeNext)
            throw;
        if (e.line < 0) {
            e.line = s.line;
            e.column = s.column;
        }
        RecordError(e);
        return false;
    }
}

bool Interpreter::EvalCondition(const Expr& e)
{
    Var temp;
    const VARIANT& v = EvalRef(e, temp);
    if (v.vt == VT_BOOL)
        return v.boolVal != 0;
    if (v.vt == VT_NULL)
        return false;
    return ToBool(v);
}

Interpreter::Flow Interpreter::Exec(const Stmt& s)
{
    switch (s.kind) {
    case Stmt::Assign: {
        if (AppendInPlace(s))
            return Flow::Normal;
        Var value = Eval(*s.b);
        if (value.IsObject())
            value = ValueOf(value.v);
        Assign(*s.a, std::move(value), false);
        return Flow::Normal;
    }
    case Stmt::Set: {
        Var value = Eval(*s.b);
        if (!value.IsObject())
            Throw(kObjectRequired);
        Assign(*s.a, std::move(value), true);
        return Flow::Normal;
    }
    case Stmt::Call: {
        Var temp;
        EvalRef(*s.a, temp);
        return Flow::Normal;
    }
    case Stmt::If:
        for (const Branch& branch : s.branches) {
            // A failing condition under On Error Resume Next goes on after End If.
            bool taken = branch.conditions.empty();
            if (!taken && !RunHead(s, [&] { taken = EvalCondition(*branch.conditions[0]); }))
                return Flow::Normal;
            if (taken)
                return ExecBlock(branch.body);
        }
        return Flow::Normal;
    case Stmt::Select: {
        Var subject;
        // A failing subject or Case value under On Error Resume Next goes on after End Select.
        if (!RunHead(s, [&] { subject = Eval(*s.a); }))
            return Flow::Normal;
        for (const Branch& branch : s.branches) {
            bool match = branch.conditions.empty();
            for (const auto& c : branch.conditions) {
                bool evaluated = RunHead(s, [&] {
                    Var value = Eval(*c);
                    Var subjectConverted, valueConverted;
                    match = Compare(OperandAsWritten(*s.a, subject.v, *c, subjectConverted),
                                    OperandAsWritten(*c, value.v, *s.a, valueConverted)) == 0;
                });
                if (!evaluated)
                    return Flow::Normal;
                if (match)
                    break;
            }
            if (match)
                return ExecBlock(branch.body);
        }
        return Flow::Normal;
    }
    case Stmt::For:
        return ExecFor(s);
    case Stmt::ForEach:
        return ExecForEach(s);
    case Stmt::Do:
    case Stmt::While:
        return ExecDo(s);
    case Stmt::Exit:
        switch (s.exit) {
        case ExitKind::Do: return Flow::ExitDo;
        case ExitKind::For: return Flow::ExitFor;
        default: return Flow::ExitProc;
        }
    case Stmt::Dim:
        ExecDim(s);
        return Flow::Normal;
    case Stmt::ReDim:
        ExecReDim(s);
        return Flow::Normal;
    case Stmt::OnErrorResumeNext:
        m_frame->resumeNext = true;
        m_err->Clear();
        return Flow::Normal;
    case Stmt::OnErrorGoto0:
        m_frame->resumeNext = false;
        m_err->Clear();
        return Flow::Normal;
    case Stmt::With: {
        Var object;
        RunHead(s, [&] {
            object = Eval(*s.a);
            if (!object.IsObject())
                Throw(kObjectRequired);
        });
        Store(*m_frame->slots[s.slot], std::move(object));
        struct Clear {
            VARIANT* slot;
            ~Clear() { Store(*slot, Var()); }
        } clear{m_frame->slots[s.slot]};
        return ExecBlock(s.body);
    }
    case Stmt::Erase: {
        VARIANT* target = Storage(*s.a);
        if (!target) {
            if (s.a->bind == Bind::Undefined)
                Throw(kVariableUndefined, ErrorText(kVariableUndefined) + L": '" + s.a->name + L"'");
            Throw(kTypeMismatch);
        }
        if (!(target->vt & VT_ARRAY))
            Throw(kTypeMismatch);
        SAFEARRAY* array = target->parray;
        if (array && (array->fFeatures & FADF_FIXEDSIZE)) {
            if (array->cLocks)
                Throw(kArrayFixedOrLocked);
            ULONG n = SafeArrayElementCount(array);
            for (ULONG i = 0; i < n; ++i)
                Store(static_cast<VARIANT*>(array->pvData)[i], Var());
        } else {
            if (array && array->cLocks)
                Throw(kArrayFixedOrLocked);
            Var empty;
            empty.v.vt = VT_ARRAY | VT_VARIANT;
            empty.v.parray = nullptr;
            Store(*target, std::move(empty));
        }
        return Flow::Normal;
    }
    case Stmt::Randomize:
        if (s.a)
            Randomize(ToDouble(Eval(*s.a).v));
        else
            Randomize(std::nullopt);
        return Flow::Normal;
    case Stmt::Nop:
        return Flow::Normal;
    }
    return Flow::Normal;
}

namespace {

// True when evaluating e cannot run script code that might change a variable.
bool IsPure(const Expr& e)
{
    switch (e.kind) {
    case Expr::Literal: case Expr::Empty: case Expr::Null: case Expr::Nothing:
        return true;
    case Expr::Name:
        if (e.bind != Bind::Local && e.bind != Bind::Global && e.bind != Bind::Field && e.bind != Bind::Constant
            && e.bind != Bind::Builtin)
            return false;
        for (const auto& a : e.args)
            if (!IsPure(*a))
                return false;
        return true;
    case Expr::Unary:
        return IsPure(*e.object);
    case Expr::Binary:
        return IsPure(*e.object) && IsPure(*e.right);
    default:
        return false;
    }
}

bool SameVariable(const Expr& a, const Expr& b)
{
    return a.kind == Expr::Name && b.kind == Expr::Name && a.bind == b.bind && a.slot == b.slot && a.args.empty()
        && b.args.empty() && !a.hasArgList && !b.hasArgList
        && (a.bind == Bind::Local || a.bind == Bind::Global || a.bind == Bind::Field);
}

} // namespace

// s = s & x appends to the text s holds instead of copying it.
bool Interpreter::AppendInPlace(const Stmt& s)
{
    const Expr& value = *s.b;
    if (value.kind != Expr::Binary || value.op != BinaryOp::Concat || !SameVariable(*s.a, *value.object)
        || !IsPure(*value.right))
        return false;
    VARIANT* target = Storage(*s.a);
    if (!target || target->vt != VT_BSTR)
        return false;
    Var temp;
    const VARIANT& piece = EvalRef(*value.right, temp);
    std::wstring converted;
    std::wstring_view text;
    if (piece.vt == VT_BSTR)
        text = BstrView(piece.bstrVal);
    else if (piece.vt != VT_NULL)
        text = converted = ToText(piece);
    // Checked before the append, so that a failed one leaves the variable as it was.
    if (SysStringLen(target->bstrVal) + text.size() > kMaxTextLength)
        Throw(14, L"Out of string space");
    if (FAILED(BstrAppend(&target->bstrVal, text)))
        Throw(kOutOfMemory);
    return true;
}

Interpreter::Flow Interpreter::ExecFor(const Stmt& s)
{
    Var from = ValueOf(Eval(*s.b).v);
    Var to = ValueOf(Eval(*s.c).v);
    Var step = s.d ? ValueOf(Eval(*s.d).v) : Var::Int(1);
    auto numeric = [](Var& v) {
        if (!v.IsNumeric() && !v.IsEmpty())
            v = Var::Double(ToDouble(v.v));
    };
    numeric(from);
    numeric(to);
    numeric(step);
    double stepValue = ToDouble(step.v);
    Assign(*s.a, std::move(from), false);
    VARIANT* counter = Storage(*s.a);
    bool wholeLimits = (to.type() == VT_I2 || to.type() == VT_I4) && (step.type() == VT_I2 || step.type() == VT_I4);
    long long limit = wholeLimits ? (to.type() == VT_I2 ? to.v.iVal : to.v.lVal) : 0;
    while (true) {
        Tick();
        Var current;
        const VARIANT& value = counter ? *counter : EvalRef(*s.a, current);
        bool past;
        if (wholeLimits && (value.vt == VT_I2 || value.vt == VT_I4)) {
            long long c = value.vt == VT_I2 ? value.iVal : value.lVal;
            past = stepValue >= 0 ? c > limit : c < limit;
        } else {
            double c = ToDouble(value);
            double t = ToDouble(to.v);
            past = stepValue >= 0 ? c > t : c < t;
        }
        if (past)
            break;
        Flow flow = ExecBlock(s.body);
        if (flow == Flow::ExitFor)
            break;
        if (flow != Flow::Normal)
            return flow;
        if (counter) {
            Store(*counter, Binary(BinaryOp::Add, *counter, step.v));
        } else {
            Var now = Eval(*s.a);
            Assign(*s.a, Binary(BinaryOp::Add, now.v, step.v), false);
        }
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::ExecForEach(const Stmt& s)
{
    Var group;
    bool haveGroup = RunHead(s, [&] {
        group = Eval(*s.b);
        if (!group.IsArray() && !group.IsObject())
            Throw(kNotACollection);
        if (group.IsObject() && !group.object())
            Throw(kObjectVariableNotSet);
    });
    if (!haveGroup)
        return Flow::Normal;  // under On Error Resume Next: on after Next
    auto visit = [&](Var element) -> std::optional<Flow> {
        Tick();
        bool isObject = element.IsObject();
        Assign(*s.a, std::move(element), isObject);
        Flow flow = ExecBlock(s.body);
        if (flow == Flow::ExitFor)
            return Flow::Normal;
        if (flow != Flow::Normal)
            return flow;
        return std::nullopt;
    };
    if (group.IsArray()) {
        SAFEARRAY* array = group.v.parray;
        if (!array)
            return Flow::Normal;
        ULONG count = SafeArrayElementCount(array);
        for (ULONG i = 0; i < count; ++i) {
            Var element;
            if (array->vt == VT_VARIANT) {
                element.Assign(static_cast<VARIANT*>(array->pvData)[i]);
            } else {
                VARIANT raw;
                VariantInit(&raw);
                raw.vt = array->vt;
                std::memcpy(&raw.llVal, static_cast<char*>(array->pvData) + size_t(i) * array->cbElements, array->cbElements);
                element.Assign(raw);
            }
            if (auto flow = visit(std::move(element)))
                return *flow;
        }
        return Flow::Normal;
    }
    if (!group.IsObject())
        Throw(kNotACollection);
    IDispatch* object = group.object();
    if (!object)
        Throw(kObjectVariableNotSet);
    Var enumerator;
    EXCEPINFO info{};
    HRESULT hr = InvokeDispatch(object, DISPID_NEWENUM, DISPATCH_PROPERTYGET | DISPATCH_METHOD, nullptr, 0,
                                &enumerator.v, &info);
    ClearExcepInfo(&info);
    if (FAILED(hr) || !enumerator.IsObject() || !enumerator.v.punkVal)
        Throw(kNotACollection);
    ComPtr<IEnumVARIANT> items;
    enumerator.v.punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(items.Receive()));
    if (!items)
        Throw(kNotACollection);
    while (true) {
        Var element;
        ULONG fetched = 0;
        if (items->Next(1, &element.v, &fetched) != S_OK || fetched != 1)
            break;
        if (auto flow = visit(std::move(element)))
            return *flow;
    }
    return Flow::Normal;
}

Interpreter::Flow Interpreter::ExecDo(const Stmt& s)
{
    bool isDo = s.kind == Stmt::Do;
    auto keepGoing = [&] {
        // A failing condition under On Error Resume Next leaves the loop: going round would fail again.
        bool c = false;
        if (!RunHead(s, [&] { c = EvalCondition(*s.a); }))
            return false;
        return s.until ? !c : c;
    };
    while (true) {
        Tick();
        if (s.a && !s.conditionAtEnd && !keepGoing())
            break;
        Flow flow = ExecBlock(s.body);
        if (flow == Flow::ExitDo && isDo)
            break;
        if (flow != Flow::Normal)
            return flow;
        if (s.a && s.conditionAtEnd && !keepGoing())
            break;
    }
    return Flow::Normal;
}

Var Interpreter::MakeArray(const std::vector<int>& upperBounds)
{
    Var result;
    if (upperBounds.empty()) {
        result.v.vt = VT_ARRAY | VT_VARIANT;
        result.v.parray = nullptr;
        return result;
    }
    std::vector<SAFEARRAYBOUND> bounds;
    unsigned long long total = 1;
    for (int upper : upperBounds) {
        if (upper < -1)
            Throw(kSubscriptOutOfRange);
        bounds.push_back({static_cast<ULONG>(upper + 1), 0});
        total *= static_cast<unsigned long long>(upper + 1);
        if (total > kMaxArrayElements)
            Throw(kOutOfMemory);
    }
    SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, static_cast<UINT>(bounds.size()), bounds.data());
    if (!array)
        Throw(kOutOfMemory);
    array->fFeatures |= FADF_FIXEDSIZE;
    result.v.vt = VT_ARRAY | VT_VARIANT;
    result.v.parray = array;
    return result;
}

void Interpreter::ExecDim(const Stmt& s)
{
    for (const DimItem& item : s.dims) {
        VARIANT* target = Storage(*item.target);
        if (!target || !item.isArray)
            continue;
        std::vector<int> bounds;
        for (const auto& b : item.bounds)
            bounds.push_back(ToLong(b->value.v));
        Store(*target, MakeArray(bounds));
    }
}

void Interpreter::ExecReDim(const Stmt& s)
{
    for (const DimItem& item : s.dims) {
        std::vector<int> bounds;
        for (const auto& b : item.bounds) {
            LONG upper = ToLong(Eval(*b).v);
            bounds.push_back(upper);
        }
        VARIANT* target = Storage(*item.target);
        if (!target) {
            if (item.target->bind == Bind::Undefined)
                Throw(kVariableUndefined, ErrorText(kVariableUndefined) + L": '" + item.target->name + L"'");
            Throw(kTypeMismatch);
        }
        SAFEARRAY* old = (target->vt & VT_ARRAY) ? target->parray : nullptr;
        if (old && ((old->fFeatures & FADF_FIXEDSIZE) || old->cLocks))
            Throw(kArrayFixedOrLocked);
        Var fresh = MakeArray(bounds);
        fresh.v.parray->fFeatures &= ~FADF_FIXEDSIZE;
        if (s.preserve && old && old->vt == VT_VARIANT) {
            if (old->cDims != bounds.size())
                Throw(kSubscriptOutOfRange);
            for (size_t d = 0; d + 1 < bounds.size(); ++d)
                if (old->rgsabound[d].cElements != static_cast<ULONG>(bounds[d] + 1) || old->rgsabound[d].lLbound != 0)
                    Throw(kSubscriptOutOfRange);
            SAFEARRAYBOUND last{static_cast<ULONG>(bounds.back() + 1), 0};
            if (FAILED(SafeArrayRedim(old, &last)))
                Throw(kOutOfMemory);
            continue;
        }
        Store(*target, std::move(fresh));
    }
}

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

const VARIANT& Interpreter::EvalName(const Expr& e, Var& temp)
{
    switch (e.bind) {
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
    case Bind::Undefined:
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
    ScriptError e;
    e.source = kRuntimeErrorSource;
    if (hr == DISP_E_EXCEPTION) {
        if (info.pfnDeferredFillIn)
            info.pfnDeferredFillIn(&info);
        HRESULT code = info.scode;
        e.number = code ? LanguageErrorNumber(code) : info.wCode;
        e.scode = code;
        std::wstring_view description = BstrView(info.bstrDescription);
        e.description = description.empty() ? ErrorText(e.number) : std::wstring(description);
        if (info.bstrSource && SysStringLen(info.bstrSource))
            e.source = BstrView(info.bstrSource);
        e.helpFile = BstrView(info.bstrHelpFile);
        e.helpContext = static_cast<LONG>(info.dwHelpContext);
        ClearExcepInfo(&info);
        throw e;
    }
    ClearExcepInfo(&info);
    e.number = LanguageErrorNumber(hr);
    e.scode = hr;
    e.description = ErrorText(e.number);
    throw e;
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
    switch (target.bind) {
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
    case Bind::Undefined:
    case Bind::Unresolved:
        Throw(kVariableUndefined, ErrorText(kVariableUndefined) + L": '" + target.name + L"'");
    default:
        Throw(kIllegalAssignment, ErrorText(kIllegalAssignment) + L": '" + target.name + L"'");
    }
}

Var Interpreter::NewInstance(ClassDef& def)
{
    auto* instance = new ClassInstance(*this, def);
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
        FillException(exception, e);
        return DISP_E_EXCEPTION;
    } catch (const ScriptInterrupted&) {
        if (m_depth > 0)
            throw;
        return E_ABORT;
    }
}

// ---- random numbers and objects --------------------------------------------------------------

// The language's generator: a linear congruence on 24 bits, the value being state / 2^24.
// Rnd(0) repeats the last value; a negative argument restarts the sequence from its bits.
double Interpreter::NextRandom(std::optional<double> argument)
{
    if (argument && *argument == 0)
        return m_lastRandom;
    if (argument && *argument < 0) {
        float seed = static_cast<float>(*argument);
        std::uint32_t bits;
        std::memcpy(&bits, &seed, sizeof bits);
        m_randomState = (bits + (bits >> 24)) & 0xFFFFFF;
    }
    m_randomState = (m_randomState * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFF;
    m_lastRandom = static_cast<float>(m_randomState) / 16777216.0f;
    return m_lastRandom;
}

// Randomize n folds the high half of n's double into the middle 16 bits of the state and keeps
// its low byte; without n it uses the seconds since midnight.
void Interpreter::Randomize(std::optional<double> seed)
{
    double value = seed ? *seed : SecondsSinceMidnight();
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    auto high = static_cast<std::uint32_t>(bits >> 32);
    std::uint32_t middle = ((high & 0xFFFF) ^ (high >> 16)) << 8;
    m_randomState = (m_randomState & 0xFF) | middle;
}

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
