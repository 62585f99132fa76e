#pragma once
// Runs compiled script units: binds their names to slots, then walks the tree. Runtime errors
// are thrown as ScriptError with the position of the statement that failed.

#include "platform/com/MemoryBudget.h"
#include "platform/script/ActiveScript.h"
#include "platform/script/VbsAst.h"
#include "platform/script/VbsErrors.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <random>
#include <span>
#include <unordered_map>
#include <unordered_set>

namespace vbs {

// What each engine's strings and arrays may take by default: far more than a calculator script needs.
constexpr size_t kDefaultMemoryLimit = size_t(1) << 30;

class Interpreter;
class ClassInstance;
class ErrObject;

// Arguments of a built-in function, evaluated; a missing argument is an error variant
// (DISP_E_PARAMNOTFOUND).
struct Args {
    std::span<const VARIANT* const> values;
    size_t size() const { return values.size(); }
    bool Has(size_t i) const
    {
        return i < values.size() && !(values[i]->vt == VT_ERROR && values[i]->scode == DISP_E_PARAMNOTFOUND);
    }
    // An argument left out where the function needs one, as in DateDiff("d", , d), is invalid.
    const VARIANT& operator[](size_t i) const
    {
        if (!Has(i))
            Throw(kInvalidProcedureCall);
        return *values[i];
    }
};

using BuiltinFn = Var (*)(Interpreter&, const Args&);

struct Builtin {
    const wchar_t* name;
    int minArgs;
    int maxArgs;
    BuiltinFn fn;
};

// The built-in functions and constants of the language, by lower-case name.
const std::unordered_map<std::wstring, const Builtin*>& BuiltinFunctions();
const std::unordered_map<std::wstring, Var>& BuiltinConstants();
const Builtin* FindBuiltin(const std::wstring& lower);
const Var* FindBuiltinConstant(const std::wstring& lower);
// What Timer gives: local seconds since midnight, to the microsecond.
float SecondsSinceMidnight();

// What the interpreter needs from the engine that runs it.
class InterpreterHost {
public:
    virtual ~InterpreterHost() = default;
    // The object published under the name (a new reference), or null.
    virtual IDispatch* GetNamedItem(const std::wstring& name) = 0;
    virtual HWND OwnerWindow() = 0;
    // Asked about every PollInterval of a run; false ends the run as an interrupt without a report.
    virtual bool QueryContinue() { return true; }
};

class Interpreter {
public:
    // How often a run asks its host whether to go on.
    static constexpr std::chrono::milliseconds PollInterval{10};

    explicit Interpreter(InterpreterHost& host);
    ~Interpreter();
    Interpreter(const Interpreter&) = delete;
    Interpreter& operator=(const Interpreter&) = delete;

    // Names the host published; names are compared without case.
    void AddNamedItem(const std::wstring& name, DWORD flags);
    // Makes the unit's declarations known and binds its names. Keeps the unit for the engine's
    // life. Throws out of memory (7) when the budget cannot hold it.
    Unit& AddUnit(std::unique_ptr<Unit> unit);
    // Runs the unit's global code, with me as Me (null: the global object). Throws ScriptError or
    // ScriptInterrupted.
    void Run(Unit& unit, ClassInstance* me = nullptr);
    // Runs an expression unit and returns its value.
    Var Evaluate(Unit& unit, ClassInstance* me = nullptr);

    // Eval, Execute and ExecuteGlobal: text compiled at run time. Eval and Execute run it where they
    // are called: inside a procedure its locals (and, in a class, Me and the class's members) are the
    // text's, and the names it makes are new locals of that procedure, kept while the procedure runs;
    // elsewhere, and always for ExecuteGlobal, it runs as global code. Procedures and classes it
    // declares are global. A syntax error in it is raised as a runtime error of the calling statement.
    Var ExecuteText(std::wstring_view text, bool expression, bool global);
    void ResetSteps();

    // Requests the running script to stop before its next statement, loop turn or call (any thread).
    void RequestInterrupt(bool reportError) { m_interruptReport = reportError; m_interrupt = true; }
    void ClearInterrupt() { m_interrupt = false; }
    const std::atomic<bool>& InterruptFlag() const { return m_interrupt; }
    // 0: no limit. Otherwise the number of statements, loop turns and calls a run may take.
    void SetStepLimit(std::uint64_t steps) { m_stepLimit = steps; }
    // The bytes of strings and arrays the script may hold at once; past it, error 7 (out of memory).
    void SetMemoryLimit(size_t bytes) { m_budget->SetLimit(bytes); }
    // Releases every object the script holds (closing the engine); instances lose their fields.
    void ReleaseObjects();

    // For built-in functions.
    HWND OwnerWindow() { return m_host.OwnerWindow(); }
    double NextRandom(std::optional<double> seedArgument);
    void Randomize(std::optional<double> seed);
    IDispatch* ErrDispatch();
    Var CreateObjectByName(const std::wstring& progId);
    // GetRef: an object whose default member calls the global procedure of that name.
    Var ProcedureReference(const std::wstring& name);
    // Calls a procedure for a caller outside the script (arguments in natural order).
    HRESULT InvokeProcedure(Procedure& proc, std::span<VARIANT* const> args, VARIANT* result, EXCEPINFO* exception);
    // Me outside a class: the global procedures and variables as members of one object.
    IDispatch* GlobalScope();
    bool HasGlobal(const std::wstring& lower) const;
    HRESULT InvokeGlobal(const std::wstring& lower, WORD flags, std::span<VARIANT* const> args, VARIANT* result,
                         EXCEPINFO* exception);

    // Called by script class instances.
    HRESULT InvokeInstance(ClassInstance& instance, ClassMember& member, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception);
    void TerminateInstance(ClassInstance& instance);
    void Track(ClassInstance* instance, bool live);

    // The chain that script class instances keep to reach the interpreter while it lives.
    struct Link {
        Interpreter* interpreter;
    };
    const std::shared_ptr<Link>& link() const { return m_link; }

private:
    // Locals that text run by Eval or Execute made in a procedure's frame.
    struct AddedLocals {
        std::vector<std::wstring> names;
        std::deque<Var> values;
    };
    struct Frame {
        Procedure* proc = nullptr;
        VARIANT** slots = nullptr;
        ClassInstance* me = nullptr;
        bool resumeNext = false;
        Frame* scope = nullptr;  // text run inside a procedure: that procedure's frame
        std::unique_ptr<AddedLocals> added;
    };
    enum class Flow { Normal, ExitDo, ExitFor, ExitProc };

    struct NamedItem {
        std::wstring name;
        std::wstring lower;
        DWORD flags;
        ComPtr<IDispatch> object;
        bool fetched = false;
    };

public:
    // An argument handed to a procedure: the caller's variable, or a value of its own. An array
    // element is passed as a copy that is written back to the element after the call (when the
    // element still exists), so the callee cannot be left holding a pointer into an array it resizes.
    struct ArgValue {
        VARIANT* ref = nullptr;
        Var value;
        bool missing = false;
        VARIANT* arrayVariable = nullptr;
        std::vector<LONG> indices;

        ArgValue() = default;
        ArgValue(ArgValue&& other) noexcept;
        ArgValue& operator=(ArgValue&&) = delete;
        ~ArgValue();
    };

private:
    // Runs call for a caller outside the script: its value goes to result, a script error to
    // exception as DISP_E_EXCEPTION.
    template<typename Call>
    HRESULT RunForCaller(Call&& call, VARIANT* result, EXCEPINFO* exception);

    // Binding.
    void BindProcedure(Procedure& proc, bool optionExplicit);
    void BindBlock(Block& block, Procedure& proc, bool optionExplicit);
    // ownNameIsResult: in a function, its own name without arguments stands for its result.
    void BindExpr(Expr* e, Procedure& proc, bool optionExplicit, bool ownNameIsResult = true);
    void BindName(Expr& e, Procedure& proc, bool optionExplicit, bool ownNameIsResult);
    // Text run later by ExecuteGlobal or Execute may declare a name that code bound before knew
    // nothing of: its uses are bound again to the new procedure or, under Option Explicit, global.
    void RecordUndeclaredUse(Expr& e);
    void BindDeclaredLater(const Unit& unit);
    // Holds the unit's size against the budget; out of memory when it does not fit.
    void Charge(Unit& unit);
    // Makes the unit's declarations known and binds its names.
    void Declare(Unit& unit);
    // Before a unit that was declared only for one run is freed: its uses leave the waiting list.
    void ForgetUndeclaredUses(Unit& unit);

    // Execution.
    void ExecFrame(Frame& frame);
    Var EvalFrame(Frame& frame);
    // Text run inside a procedure: the slots its code shares with the procedure's frame.
    struct ProcedureText {
        size_t ownLocals = 0;  // hidden slots of the text's own
        size_t knownLocals = 0;  // and the procedure's locals, those earlier text added included
    };
    ProcedureText TakeProcedureNames(Unit& unit, const Frame& scope);
    Var ExecuteInProcedure(Unit& unit, const ProcedureText& names, Frame& scope, bool expression);
    Flow ExecBlock(const Block& block);
    Flow Exec(const Stmt& s);
    bool AppendInPlace(const Stmt& s);
    Flow ExecFor(const Stmt& s);
    Flow ExecBodyOnce(const Stmt& s);
    Flow ExecForEach(const Stmt& s);
    Flow ExecDo(const Stmt& s);
    void ExecDim(const Stmt& s);
    void ExecReDim(const Stmt& s);
    void Assign(const Expr& target, Var value, bool isSet);
    void Tick();
    void RecordError(const ScriptError& e);
    ScriptError SystemOutOfMemory(const Stmt& s) const;
    template<typename Failure>
    void Place(Failure& failure, const Stmt& s) const;
    // Runs the head of s (a condition, a Select subject or Case value, a With object, a loop's
    // bounds or group). Under On Error Resume Next a failure there is recorded and false returned:
    // the statement then resumes with the first statement of its branch or body.
    template<typename Head>
    bool RunHead(const Stmt& s, Head&& head);
    IDispatch* WithObject(const Expr& member, Var& objectTemp);
    static bool IsParenthesizedCall(const Expr& index);
    Var CallParenthesized(const Expr& index);

    Var Eval(const Expr& e);
    const VARIANT& EvalRef(const Expr& e, Var& temp);
    bool EvalCondition(const Expr& e);
    VARIANT* Storage(const Expr& e);  // the variable a Name without arguments stands for
    VARIANT* AddedLocal(const std::wstring& lower);
    const VARIANT& EvalName(const Expr& e, Var& temp);
    const VARIANT& EvalMember(const Expr& e, Var& temp);
    Var CallBuiltin(const Expr& e);
    // name: the variable indexed, named in a type mismatch ("Foo(1)" with Foo not an array).
    Var Index(const VARIANT& container, const std::vector<ExprPtr>& args, bool hasArgList,
              std::wstring_view name = {});
    IDispatch* ObjectOf(const Expr& objectExpr, Var& temp);
    IDispatch* NamedItemObject(int index);

    std::vector<ArgValue> EvalArgs(const std::vector<ExprPtr>& args);
    Var CallProcedure(Procedure& proc, ClassInstance* me, std::vector<ArgValue>& args, bool wantResult = true);
    Var CallObjectMember(IDispatch* object, const std::wstring& name, const std::vector<ExprPtr>& args, WORD flags,
                         const Var* putValue = nullptr);
    Var CallInstanceMember(ClassInstance& instance, ClassMember& member, std::vector<ArgValue>& args, WORD flags,
                           const Var* putValue, bool fromInside);
    Var InvokeDispatchMember(IDispatch* object, DISPID id, const std::vector<ExprPtr>& args, WORD flags,
                             const Var* putValue);
    Var InvokeDispatchArgs(IDispatch* object, DISPID id, std::vector<ArgValue>& args, WORD flags, const Var* putValue);
    [[noreturn]] void ThrowFromDispatch(IDispatch* object, HRESULT hr, EXCEPINFO& info);
    Var NewInstance(ClassDef& def);
    Var MakeArray(const std::vector<int>& upperBounds);

    InterpreterHost& m_host;
    std::shared_ptr<Link> m_link;
    std::vector<std::unique_ptr<Unit>> m_units;
    std::deque<Var> m_globals;
    std::unordered_map<std::wstring, int> m_globalSlots;
    std::unordered_map<std::wstring, Var> m_constants;
    std::unordered_map<std::wstring, Procedure*> m_procedures;
    std::unordered_map<std::wstring, ClassDef*> m_classes;
    std::unordered_map<std::wstring, std::vector<Expr*>> m_undeclaredUses;
    std::unordered_set<std::wstring> m_implicitGlobals;  // made by their first use, not declared
    std::vector<NamedItem> m_namedItems;
    std::unordered_set<ClassInstance*> m_instances;
    Unit* m_binding = nullptr;  // the unit being declared
    ErrObject* m_err = nullptr;
    ComPtr<IDispatch> m_globalScope;

    Frame* m_frame = nullptr;
    int m_depth = 0;
    std::uintptr_t m_stackBase = 0;  // frame address of the outermost call of the running script
    size_t m_stackBudget = 0;  // how far below m_stackBase script calls may go
    std::atomic<bool> m_interrupt{false};
    std::atomic<bool> m_interruptReport{false};
    std::uint64_t m_stepLimit = 0;
    MemoryBudget::Ptr m_budget = MemoryBudget::Create(kDefaultMemoryLimit);
    std::uint64_t m_steps = 0;
    std::uint32_t m_ticksSincePoll = 0;
    std::chrono::steady_clock::time_point m_lastPoll;
    std::uint32_t m_randomState = 0x50000;  // 24 bits; the language starts every run from this seed
    float m_lastRandom = 0;
    bool m_closing = false;
};

} // namespace vbs
