// Running a script: procedures and their calls, and each kind of statement.

#include "platform/script/VbsParser.h"
#include "platform/script/VbsRuntime.h"
#include "platform/sys/TerminationSignals.h"

#include <algorithm>
#include <cstring>
#include <new>

#include <pthread.h>

namespace vbs {

namespace {

// Deep script recursion ends with "Out of stack space" before the thread's stack does: the
// deepest call keeps a reserve for the built-ins, host calls and error reports it may still make.
constexpr size_t kStackReserve = 1024 * 1024;
constexpr size_t kMaxStackBudget = 64 * 1024 * 1024;

constexpr ULONG kMaxArrayElements = 4 * 1024 * 1024;

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

} // namespace

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
            if (!m_host.QueryContinue()) {
                // Stays asked: code that runs on while this unwinds (terminators) stops at once.
                RequestInterrupt(false);
                throw ScriptInterrupted{false};
            }
        }
    }
    if (m_interrupt.load(std::memory_order_relaxed))
        throw ScriptInterrupted{m_interruptReport.load()};
    // The program is asked to end while it may not come back to its loop (a runaway Class_Terminate).
    if (TerminationRequested())
        throw ScriptInterrupted{false};
    if (m_stepLimit && ++m_steps > m_stepLimit)
        throw ScriptInterrupted{false};
}

// An error gets the place of the statement it leaves when it has none yet, and when it comes
// from text compiled at run time into code that was not: the script's own lines show the
// statement that ran that text, as the text's lines are nowhere to be seen.
template<typename Failure>
void Interpreter::Place(Failure& failure, const Stmt& s) const
{
    const bool runTimeText = m_frame->proc->compiledAtRunTime;
    if (failure.line >= 0 && (runTimeText || !failure.inRunTimeText))
        return;
    failure.line = s.line;
    failure.column = s.column;
    failure.inRunTimeText = runTimeText;
}

void Interpreter::RecordError(const ScriptError& e)
{
    m_err->Set(e);
}

void Interpreter::Run(Unit& unit, ClassInstance* me)
{
    MemoryBudgetScope budget(m_budget.get());
    Procedure& code = *unit.globalCode;
    std::vector<ArgValue> none;
    CallProcedure(code, me, none, false);
}

Var Interpreter::ExecuteText(std::wstring_view text, bool expression, bool global)
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
    Frame* scope = global || !m_frame ? nullptr : m_frame->scope ? m_frame->scope : m_frame;
    const bool inProcedure = scope && scope->proc->kind != ProcKind::GlobalCode;
    ClassInstance* me = global || !m_frame ? nullptr : m_frame->me;
    unit->globalCode->compiledAtRunTime = true;
    for (auto& proc : unit->procedures)
        proc->compiledAtRunTime = true;
    for (auto& cls : unit->classes)
        for (auto& proc : cls->procedures)
            proc->compiledAtRunTime = true;
    ProcedureText names;
    if (inProcedure)
        names = TakeProcedureNames(*unit, *scope);
    else if (me)
        unit->globalCode->owner = &me->def();

    // Text that declares procedures or classes stays while the engine lives, for they may be
    // called from anywhere. Any other text is compiled for this one run and freed after it.
    Unit* added = nullptr;
    std::unique_ptr<Unit> transient;
    if (!unit->procedures.empty() || !unit->classes.empty()) {
        added = &AddUnit(std::move(unit));
    } else {
        Charge(*unit);
        transient = std::move(unit);
        added = transient.get();
    }
    struct Forget {
        Interpreter& self;
        Unit* transient;
        ~Forget()
        {
            if (transient)
                self.ForgetUndeclaredUses(*transient);
        }
    } forget{*this, transient.get()};
    if (transient)
        Declare(*transient);

    if (inProcedure)
        return ExecuteInProcedure(*added, names, *scope, expression);
    if (expression)
        return Evaluate(*added, me);
    Run(*added, me);
    return Var();
}

// The text's code gets the procedure's locals after its own hidden ones (the slots of its With
// blocks), then the names the procedure's earlier Eval and Execute made, then its own new names,
// which stay with the procedure's frame.
Interpreter::ProcedureText Interpreter::TakeProcedureNames(Unit& unit, const Frame& scope)
{
    Procedure& code = *unit.globalCode;
    const Procedure& caller = *scope.proc;
    code.kind = ProcKind::InProcedure;
    code.owner = caller.owner;
    code.constants = caller.constants;
    code.lower = caller.lower;
    ProcedureText names;
    names.ownLocals = code.locals.size();
    for (const std::wstring& name : caller.locals)
        code.AddLocal(name);
    if (caller.resultSlot >= 0)
        code.resultSlot = static_cast<int>(names.ownLocals) + caller.resultSlot;
    if (scope.added) {
        for (const std::wstring& name : scope.added->names)
            code.AddLocal(name);
    }
    names.knownLocals = code.locals.size();
    for (const auto& [name, line] : unit.globals)
        if (code.FindLocal(Lower(name)) < 0)
            code.AddLocal(Lower(name));
    unit.globals.clear();
    return names;
}

Var Interpreter::ExecuteInProcedure(Unit& unit, const ProcedureText& names, Frame& scope, bool expression)
{
    Procedure& code = *unit.globalCode;
    const Procedure& caller = *scope.proc;
    if (!scope.added)
        scope.added = std::make_unique<AddedLocals>();
    AddedLocals& added = *scope.added;
    for (size_t i = names.knownLocals; i < code.locals.size(); ++i) {
        added.names.push_back(code.locals[i]);
        added.values.emplace_back();
    }

    std::vector<Var> storage(names.ownLocals);
    std::vector<VARIANT*> slots;
    slots.reserve(code.locals.size());
    for (Var& hidden : storage)
        slots.push_back(&hidden.v);
    slots.insert(slots.end(), scope.slots, scope.slots + caller.locals.size());
    for (Var& value : added.values)
        slots.push_back(&value.v);
    Frame frame{&code, slots.data(), scope.me, false, &scope};
    if (expression)
        return EvalFrame(frame);
    ExecFrame(frame);
    return Var();
}

Var Interpreter::Evaluate(Unit& unit, ClassInstance* me)
{
    MemoryBudgetScope budget(m_budget.get());
    Procedure& code = *unit.globalCode;
    std::vector<Var> storage(code.locals.size());
    std::vector<VARIANT*> slots(storage.size());
    for (size_t i = 0; i < storage.size(); ++i)
        slots[i] = &storage[i].v;
    Frame frame{&code, slots.data(), me, false};
    return EvalFrame(frame);
}

// The value of the expression that is the frame's code.
Var Interpreter::EvalFrame(Frame& frame)
{
    Frame* outer = std::exchange(m_frame, &frame);
    struct Restore {
        Interpreter& self;
        Frame* outer;
        ~Restore() { self.m_frame = outer; }
    } restore{*this, outer};
    const Procedure& code = *frame.proc;
    if (code.body.empty() || !code.body[0]->a)
        return Var();
    // An object stays an object: Set x = Eval("Me").
    Var value = Eval(*code.body[0]->a);
    if (value.v.vt & VT_BYREF) {
        Var copy;
        copy.Assign(value.v);
        return copy;
    }
    return value;
}

Var Interpreter::CallProcedure(Procedure& proc, ClassInstance* me, std::vector<ArgValue>& args, bool wantResult)
{
    if (args.size() != proc.params.size())
        Throw(kWrongArgumentCount, ErrorText(kWrongArgumentCount) + L": '" + proc.name + L"'");
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
    ExecFrame(frame);
    if (wantResult && proc.resultSlot >= 0)
        return std::move(storage[proc.resultSlot]);
    return Var();
}

// Runs the statements of the frame's code, as one call deeper.
void Interpreter::ExecFrame(Frame& frame)
{
    if (m_depth == 0) {
        m_stackBase = FrameAddress();
        m_stackBudget = StackBudget(m_stackBase);
    } else if (m_stackBase > FrameAddress() && m_stackBase - FrameAddress() > m_stackBudget) {
        Throw(kOutOfStackSpace);
    }
    Tick();
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
    ExecBlock(frame.proc->body);
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
            Place(i, *s);
            throw;
        } catch (ScriptError& e) {
            Place(e, *s);
            if (!m_frame->resumeNext || e.endsRun)
                throw;
            RecordError(e);
        } catch (const std::bad_alloc&) {
            throw SystemOutOfMemory(*s);
        }
    }
    return Flow::Normal;
}

// What the statement's failure to get memory from the system becomes: the run ends with "Out of
// memory" there. Made without taking memory; the engine adds the text once the script's
// memory is back.
ScriptError Interpreter::SystemOutOfMemory(const Stmt& s) const
{
    ScriptError e;
    e.number = kOutOfMemory;
    e.endsRun = true;
    Place(e, s);
    return e;
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
        if (!m_frame->resumeNext || e.endsRun)
            throw;
        Place(e, s);
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
            // A failing condition under On Error Resume Next resumes with its branch's first statement.
            bool taken = branch.conditions.empty();
            if (!taken && !RunHead(s, [&] { taken = EvalCondition(*branch.conditions[0]); }))
                taken = true;
            if (taken)
                return ExecBlock(branch.body);
        }
        return Flow::Normal;
    case Stmt::Select: {
        Var subject;
        // Under On Error Resume Next a failing subject resumes with the first Case's statements, a
        // failing Case value with its own.
        if (!RunHead(s, [&] { subject = Eval(*s.a); }))
            return s.branches.empty() ? Flow::Normal : ExecBlock(s.branches.front().body);
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
                    match = true;
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

// The body of a loop whose head failed under On Error Resume Next: it runs once, as the statements
// after the failing one, and the loop ends, having nothing to go round on.
Interpreter::Flow Interpreter::ExecBodyOnce(const Stmt& s)
{
    Flow flow = ExecBlock(s.body);
    return flow == Flow::ExitFor ? Flow::Normal : flow;
}

Interpreter::Flow Interpreter::ExecFor(const Stmt& s)
{
    Var from, to, step;
    auto numeric = [](Var& v) {
        if (!v.IsNumeric() && !v.IsEmpty())
            v = Var::Double(ToDouble(v.v));
    };
    bool haveHead = RunHead(s, [&] {
        from = ValueOf(Eval(*s.b).v);
        to = ValueOf(Eval(*s.c).v);
        step = s.d ? ValueOf(Eval(*s.d).v) : Var::Int(1);
        numeric(from);
        numeric(to);
        numeric(step);
    });
    if (!haveHead)
        return ExecBodyOnce(s);
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

namespace {

// The enumerator of a collection object. An object without one is no collection; one whose
// enumerator fails says why.
ComPtr<IEnumVARIANT> EnumeratorOf(IDispatch* object)
{
    Var enumerator;
    EXCEPINFO info{};
    HRESULT hr = InvokeDispatch(object, DISPID_NEWENUM, DISPATCH_PROPERTYGET | DISPATCH_METHOD, nullptr, 0,
                                &enumerator.v, &info);
    if (FAILED(hr) && hr != DISP_E_MEMBERNOTFOUND && hr != DISP_E_UNKNOWNNAME)
        throw ErrorFromObject(hr, info);
    ClearExcepInfo(&info);
    if (FAILED(hr) || !enumerator.IsObject() || !enumerator.v.punkVal)
        Throw(kNotACollection);
    ComPtr<IEnumVARIANT> items;
    enumerator.v.punkVal->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(items.Receive()));
    if (!items)
        Throw(kNotACollection);
    return items;
}

} // namespace

Interpreter::Flow Interpreter::ExecForEach(const Stmt& s)
{
    Var group;
    ComPtr<IEnumVARIANT> items;
    bool haveGroup = RunHead(s, [&] {
        group = Eval(*s.b);
        if (!group.IsArray() && !group.IsObject())
            Throw(kNotACollection);
        if (group.IsObject() && !group.object())
            Throw(kObjectVariableNotSet);
        if (group.IsObject())
            items = EnumeratorOf(group.object());
    });
    if (!haveGroup)
        return ExecBodyOnce(s);
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
    while (true) {
        Var element;
        ULONG fetched = 0;
        HRESULT next = items->Next(1, &element.v, &fetched);
        if (FAILED(next)) {
            EXCEPINFO none{};
            throw ErrorFromObject(next, none);
        }
        if (next != S_OK || fetched != 1)
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
        // Under On Error Resume Next a failing condition resumes with the statement after it: the
        // body's first for a condition at the top, the one after the loop for a condition at the end.
        bool c = false;
        if (!RunHead(s, [&] { c = EvalCondition(*s.a); }))
            return !s.conditionAtEnd;
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

} // namespace vbs
