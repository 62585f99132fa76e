// The interpreter's life: its objects and named items, binding a unit's names to their places, and
// the language's random numbers.

#include "platform/script/VbsInterpreter.h"

#include "platform/script/VbsRuntime.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vbs {

const IID IID_IScriptTypeName = {0x6B9A58CE, 0xA473, 0x4C5F, {0xAD, 0xCB, 0x89, 0xEB, 0xE8, 0xBC, 0xAD, 0x8A}};

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
    // Instances that keep each other alive lose their fields, which breaks every cycle (left for
    // a later release when even the list of them cannot be made).
    std::vector<ClassInstance*> live;
    try {
        live.assign(m_instances.begin(), m_instances.end());
    } catch (const std::bad_alloc&) {
        m_closing = false;
        return;
    }
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
    Charge(*unit);
    // Kept before it is declared: what declaring it registers points into it.
    m_units.push_back(std::move(unit));
    Unit& added = *m_units.back();
    Declare(added);
    return added;
}

void Interpreter::Charge(Unit& unit)
{
    if (!unit.charge.Take(m_budget.get(), CompiledSize(unit)))
        Throw(kOutOfMemory);
}

void Interpreter::RecordUndeclaredUse(Expr& e)
{
    m_undeclaredUses[e.lower].push_back(&e);
    if (m_binding)
        m_binding->undeclaredUses.push_back(&e);
}

void Interpreter::ForgetUndeclaredUses(Unit& unit)
{
    for (Expr* e : unit.undeclaredUses) {
        auto uses = m_undeclaredUses.find(e->lower);
        if (uses == m_undeclaredUses.end())
            continue;
        std::vector<Expr*>& list = uses->second;
        // The unit's uses were recorded last.
        if (auto it = std::find(list.rbegin(), list.rend(), e); it != list.rend())
            list.erase(std::next(it).base());
        if (list.empty())
            m_undeclaredUses.erase(uses);
    }
    unit.undeclaredUses.clear();
}

void Interpreter::Declare(Unit& unitRef)
{
    Unit* unit = &unitRef;
    struct Binding {
        Interpreter& self;
        Unit* outer;
        ~Binding() { self.m_binding = outer; }
    } binding{*this, std::exchange(m_binding, unit)};
    for (auto& [name, value] : unit->constants)
        m_constants[Lower(name)] = value;
    for (auto& [name, line] : unit->globals) {
        std::wstring lower = Lower(name);
        m_implicitGlobals.erase(lower);
        if (!m_globalSlots.count(lower)) {
            m_globals.emplace_back();  // first: a slot never points past the variables
            m_globalSlots[lower] = static_cast<int>(m_globals.size()) - 1;
        }
    }
    for (auto& proc : unit->procedures)
        m_procedures[proc->lower] = proc.get();
    for (auto& cls : unit->classes)
        m_classes[cls->lower] = cls.get();
    BindDeclaredLater(*unit);
    bool strict = unit->optionExplicit;
    BindProcedure(*unit->globalCode, strict);
    for (auto& proc : unit->procedures)
        BindProcedure(*proc, strict);
    for (auto& cls : unit->classes)
        for (auto& proc : cls->procedures)
            BindProcedure(*proc, strict);
}

void Interpreter::BindDeclaredLater(const Unit& unit)
{
    for (const auto& proc : unit.procedures) {
        // Also when the code that made the variable is gone: the name is the procedure's now.
        if (m_implicitGlobals.erase(proc->lower))
            m_globalSlots.erase(proc->lower);
        auto uses = m_undeclaredUses.extract(proc->lower);
        if (uses.empty())
            continue;
        for (Expr* e : uses.mapped()) {
            e->bind = Bind::Procedure;
            e->proc = proc.get();
        }
    }
    for (const auto& [name, line] : unit.globals) {
        auto uses = m_undeclaredUses.find(Lower(name));
        if (uses == m_undeclaredUses.end())
            continue;
        int slot = m_globalSlots.at(uses->first);
        std::erase_if(uses->second, [slot](Expr* e) {
            if (e->bind != Bind::Undefined)
                return false;
            e->bind = Bind::Global;
            e->slot = slot;
            return true;
        });
    }
}

void Interpreter::BindProcedure(Procedure& proc, bool strict)
{
    proc.firstImplicitLocal = proc.locals.size();
    BindBlock(proc.body, proc, strict);
}

void Interpreter::BindBlock(Block& block, Procedure& proc, bool strict)
{
    for (auto& s : block) {
        switch (s->kind) {
        case Stmt::Assign:
        case Stmt::Set:
            BindExpr(s->a.get(), proc, strict);
            BindExpr(s->b.get(), proc, strict);
            break;
        case Stmt::For:
        case Stmt::ForEach:
            BindExpr(s->a.get(), proc, strict);
            BindExpr(s->b.get(), proc, strict);
            BindExpr(s->c.get(), proc, strict);
            BindExpr(s->d.get(), proc, strict);
            break;
        case Stmt::Dim:
        case Stmt::ReDim:
            // ReDim also declares a name nothing else declared, even under Option Explicit.
            for (DimItem& item : s->dims) {
                BindExpr(item.target.get(), proc, strict && s->kind == Stmt::Dim);
                for (auto& b : item.bounds)
                    BindExpr(b.get(), proc, strict);
            }
            break;
        default:
            // A function's name alone as a statement calls it; anywhere else it reads its result.
            BindExpr(s->a.get(), proc, strict, s->kind != Stmt::Call);
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
    // (f)(x) calls f.
    BindExpr(e->object.get(), proc, strict, e->kind != Expr::Index);
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
        if (size_t(slot) >= proc.firstImplicitLocal)
            RecordUndeclaredUse(e);
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
        if (m_implicitGlobals.count(name))
            RecordUndeclaredUse(e);
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
    RecordUndeclaredUse(e);
    if (strict) {
        e.bind = Bind::Undefined;
    } else if (proc.kind == ProcKind::GlobalCode) {
        m_globals.emplace_back();
        e.bind = Bind::Global;
        e.slot = static_cast<int>(m_globals.size()) - 1;
        m_globalSlots[name] = e.slot;
        m_implicitGlobals.insert(name);
    } else {
        e.bind = Bind::Local;
        e.slot = proc.AddLocal(name);
    }
}

// ---- random numbers --------------------------------------------------------------------------

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

} // namespace vbs
