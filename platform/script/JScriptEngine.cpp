#include "platform/script/JScriptEngine.h"

#include "platform/base/CString.h"
#include "platform/com/Automation.h"
#include "platform/com/ClassRegistry.h"
#include "platform/script/JScriptBridge.h"
#include "platform/script/JScriptLibrary.h"
#include "platform/script/JScriptSource.h"
#include "platform/script/RunningScript.h"
#include "platform/script/ScriptEngineBase.h"
#include "platform/script/SourceLines.h"

#include <duktape.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <initializer_list>
#include <cwctype>
#include <memory>
#include <string>
#include <vector>

namespace jscript {

namespace {

constexpr const char* kEngineKey = DUK_HIDDEN_SYMBOL("flnEngine");
constexpr const char* kUnitsKey = DUK_HIDDEN_SYMBOL("flnUnits");
constexpr const char* kStopKey = DUK_HIDDEN_SYMBOL("flnStop");

// The language's error numbers for the interpreter's own error kinds.
constexpr int kSyntaxError = 1002;
constexpr int kUndefinedIdentifier = 5009;
constexpr int kObjectExpected = 5007;
constexpr int kUncaughtException = 5022;
constexpr const wchar_t* kErrorSource = L"JScript runtime error";
constexpr const wchar_t* kCompileErrorSource = L"JScript compilation error";

// One error as the site sees it.
struct ErrorRecord {
    int number = 0;  // the language's number (low word of its code)
    std::wstring description;
    std::wstring source;
    long line = -1;   // from 0 within the text, -1 when unknown
    long column = -1; // from 0
};

// Reads a thrown value into [name, message, lineNumber, number, description]; runs protected,
// since reading an automation object's members may fail. A protected call sees the caller's whole
// stack: its one argument is on top.
duk_ret_t ReadThrownValue(duk_context* ctx, void*)
{
    duk_idx_t value = duk_normalize_index(ctx, -1);
    if (duk_is_object(ctx, value)) {
        for (const char* key : {"name", "message"}) {
            duk_get_prop_string(ctx, value, key);
            duk_safe_to_string(ctx, -1);
        }
        for (const char* key : {"lineNumber", "number", "description"})
            duk_get_prop_string(ctx, value, key);
    } else {
        duk_push_string(ctx, "");
        duk_dup(ctx, value);
        duk_safe_to_string(ctx, -1);
        duk_push_undefined(ctx);
        duk_push_undefined(ctx);
        duk_push_undefined(ctx);
    }
    return 5;
}

// [value, name] -> the global named name holds value. Runs protected: a fixed global refuses.
duk_ret_t DefineGlobal(duk_context* ctx, void*)
{
    duk_push_global_object(ctx);  // [value name global]
    duk_insert(ctx, -3);          // [global value name]
    duk_swap_top(ctx, -2);        // [global name value]
    duk_put_prop(ctx, -3);
    duk_pop(ctx);
    return 0;
}

std::wstring StackText(duk_context* ctx, duk_idx_t index)
{
    duk_size_t length = 0;
    const char* text = duk_safe_to_lstring(ctx, index, &length);
    return NarrowToWide(std::string_view(text, length));
}

// The interpreter's messages in the words the language uses.
std::wstring Describe(const std::wstring& name, std::wstring message)
{
    // Compile errors end in " (line N)": the line is reported apart.
    if (size_t at = message.rfind(L" (line "); at != std::wstring::npos && message.back() == L')')
        message.erase(at);
    constexpr std::wstring_view undefinedPrefix = L"identifier '";
    constexpr std::wstring_view undefinedSuffix = L"' undefined";
    if (name == L"ReferenceError" && message.starts_with(undefinedPrefix) && message.ends_with(undefinedSuffix)) {
        std::wstring identifier = message.substr(undefinedPrefix.size(),
                                                 message.size() - undefinedPrefix.size() - undefinedSuffix.size());
        return L"'" + identifier + L"' is undefined";
    }
    if (name == L"SyntaxError" && message.empty())
        return L"Syntax error";
    return message;
}

long LineFromMessage(const std::wstring& message)
{
    size_t at = message.rfind(L" (line ");
    if (at == std::wstring::npos)
        return -1;
    return std::wcstol(message.c_str() + at + 7, nullptr, 10);
}

// Keeps the interpreter's memory within kHeapLimitBytes: each block carries its size in front.
class HeapBudget {
public:
    static void* Allocate(void* udata, duk_size_t size) { return static_cast<HeapBudget*>(udata)->Resize(nullptr, size); }
    static void* Reallocate(void* udata, void* block, duk_size_t size)
    {
        return static_cast<HeapBudget*>(udata)->Resize(block, size);
    }
    static void Free(void* udata, void* block) { static_cast<HeapBudget*>(udata)->Resize(block, 0); }

private:
    static constexpr size_t kHeader = alignof(std::max_align_t);

    void* Resize(void* block, size_t size)
    {
        char* base = block ? static_cast<char*>(block) - kHeader : nullptr;
        size_t old = base ? *reinterpret_cast<size_t*>(base) : 0;
        if (size == 0) {
            std::free(base);
            m_used -= old;
            return nullptr;
        }
        if (size > kHeapLimitBytes || m_used - old + size > kHeapLimitBytes)
            return nullptr;  // the interpreter reports it as a failed allocation
        auto* grown = static_cast<char*>(std::realloc(base, size + kHeader));
        if (!grown)
            return nullptr;
        *reinterpret_cast<size_t*>(grown) = size;
        m_used = m_used - old + size;
        return grown + kHeader;
    }

    size_t m_used = 0;
};

} // namespace

// Called by the interpreter (duktape/Interpreter.c): a true answer raises an error there, which
// unwinds the script as a stop.
extern "C" int fln_duktape_stop_requested(void)
{
    return RunningScriptStopRequested();
}

class Engine final : public script::ScriptEngineBase {
public:
    Engine() = default;

    // Any thread: only the flags are touched; the running script sees them at its next loop test.
    HRESULT InterruptScriptThread(SCRIPTTHREADID, const EXCEPINFO*, DWORD flags) override
    {
        m_reportInterrupt = (flags & SCRIPTINTERRUPT_RAISEEXCEPTION) != 0;
        m_interrupt = true;
        return S_OK;
    }

    // IActiveScriptParse
    HRESULT InitNew() override
    {
        if (m_state == SCRIPTSTATE_CLOSED || m_context)
            return E_UNEXPECTED;
        m_context = duk_create_heap(&HeapBudget::Allocate, &HeapBudget::Reallocate, &HeapBudget::Free, &m_heapBudget,
                                    nullptr);
        if (!m_context)
            return E_OUTOFMEMORY;
        m_bridge = std::make_unique<Bridge>(m_context);
        InstallGlobals();
        if (m_site)
            ChangeState(SCRIPTSTATE_INITIALIZED);
        return S_OK;
    }
    HRESULT ParseScriptText(LPCOLESTR code, LPCOLESTR, IUnknown*, LPCOLESTR, DWORD context, ULONG startingLine,
                            DWORD flags, VARIANT* result, EXCEPINFO* exception) override
    {
        if (result)
            VariantInit(result);
        if (!m_context || m_state == SCRIPTSTATE_CLOSED)
            return E_UNEXPECTED;
        std::wstring_view text = code ? std::wstring_view(code) : std::wstring_view();
        Unit unit {script::SplitSourceLines(text), context, startingLine};
        bool expression = (flags & SCRIPTTEXT_ISEXPRESSION) != 0;

        std::string source = WideToUtf8(InstrumentSource(text));
        duk_push_string(m_context, "script");
        if (duk_pcompile_lstring_filename(m_context, expression ? DUK_COMPILE_EVAL : 0, source.data(), source.size())) {
            ErrorRecord record = ReadError(unit, kCompileErrorSource);
            duk_pop(m_context);
            if (record.number == kUncaughtException)
                record.number = kSyntaxError;
            return Report(record, unit, exception);
        }
        StoreFunction(unit);
        m_units.push_back(std::move(unit));
        size_t added = m_units.size() - 1;
        if (expression)
            return Run(added, result);
        if (IsStarted())
            return Run(added, nullptr);
        m_pending.push_back(added);
        return S_OK;
    }

    void SetStepLimit(std::uint64_t steps) { m_stepLimit = steps; }

private:
    struct Unit {
        std::vector<std::wstring> lines;
        DWORD context;
        ULONG startingLine;
        duk_uarridx_t slot = 0;  // where its compiled function waits in the stash
    };
    struct NamedItem {
        std::wstring name;
        bool bound;
    };

    ~Engine() override { DestroyInterpreter(); }

    // ScriptEngineBase
    bool HasInterpreter() const override { return m_context != nullptr; }
    void OnSiteSet() override
    {
        if (m_context)
            ChangeState(SCRIPTSTATE_INITIALIZED);
    }
    void RequestStop() override { m_interrupt = true; }
    void AddItem(const std::wstring& name, DWORD) override
    {
        m_items.push_back({name, false});
        BindNamedItems();
    }
    HRESULT RunPending() override
    {
        return RunInOrder(m_pending, [this](size_t unit) { return Run(unit, nullptr); });
    }
    void BeginRun() override
    {
        m_steps = 0;
        m_interrupt = false;
        m_reportInterrupt = false;
    }
    void EndRun() override { m_interrupt = false; }

    void DestroyInterpreter() override
    {
        m_pending.clear();
        m_units.clear();
        if (m_context)
            duk_destroy_heap(m_context);  // finalizers release the automation objects
        m_context = nullptr;
        m_bridge.reset();
    }

    void InstallGlobals()
    {
        duk_push_global_stash(m_context);
        duk_push_pointer(m_context, this);
        duk_put_prop_string(m_context, -2, kEngineKey);
        duk_push_array(m_context);
        duk_put_prop_string(m_context, -2, kUnitsKey);
        duk_push_object(m_context);  // thrown to stop a run; known by its identity
        m_stopSignal = duk_get_heapptr(m_context, -1);
        duk_put_prop_string(m_context, -2, kStopKey);
        duk_pop(m_context);

        DefineHiddenGlobal(m_context, kLoopCheckName, &Engine::LoopCheck, 0);
        DefineHiddenGlobal(m_context, kPrepareName, &Engine::PrepareText, 1);
        DefineHiddenGlobal(m_context, kBoundJsonName, &Engine::BoundJson, 1);
        // JSON.parse reads numbers with the interpreter's reader, which refuses long exponents.
        std::string parseWrapper = "(function (parse, bound) {"
                                   "  Object.defineProperty(JSON, 'parse', { writable: true, configurable: true,"
                                   "    value: function (text, reviver) { return parse.call(JSON, bound(text), reviver); } });"
                                   "})(JSON.parse, " + WideToUtf8(kBoundJsonName) + ")";
        duk_eval_string_noresult(m_context, parseWrapper.c_str());
        InstallLibrary(m_context);
    }

    static duk_ret_t BoundJson(duk_context* ctx)
    {
        duk_size_t length = 0;
        const char* text = duk_to_lstring(ctx, 0, &length);
        std::string bounded = WideToUtf8(BoundJsonExponents(NarrowToWide(std::string_view(text, length))));
        duk_push_lstring(ctx, bounded.data(), bounded.size());
        return 1;
    }

    // Text given to eval, prepared as the script's own text was; other values pass unchanged.
    static duk_ret_t PrepareText(duk_context* ctx)
    {
        if (!duk_is_string(ctx, 0))
            return 1;
        duk_size_t length = 0;
        const char* text = duk_get_lstring(ctx, 0, &length);
        std::string prepared = WideToUtf8(InstrumentSource(NarrowToWide(std::string_view(text, length))));
        duk_push_lstring(ctx, prepared.data(), prepared.size());
        return 1;
    }

    // Every loop test calls this first: a requested interrupt unwinds the script from here.
    static duk_ret_t LoopCheck(duk_context* ctx)
    {
        duk_push_global_stash(ctx);
        duk_get_prop_string(ctx, -1, kEngineKey);
        auto* engine = static_cast<Engine*>(duk_get_pointer(ctx, -1));
        duk_pop_2(ctx);
        bool overLimit = engine->m_stepLimit && ++engine->m_steps > engine->m_stepLimit;
        if (!engine->m_interrupt && !overLimit) {
            duk_push_true(ctx);
            return 1;
        }
        duk_push_heapptr(ctx, engine->m_stopSignal);
        return duk_throw(ctx);
    }

    void StoreFunction(Unit& unit)
    {
        duk_push_global_stash(m_context);
        duk_get_prop_string(m_context, -1, kUnitsKey);
        unit.slot = static_cast<duk_uarridx_t>(duk_get_length(m_context, -1));
        duk_dup(m_context, -3);
        duk_put_prop_index(m_context, -2, unit.slot);
        duk_pop_3(m_context);
    }

    void BindNamedItems()
    {
        if (!m_site || !m_context)
            return;
        for (NamedItem& item : m_items) {
            if (item.bound)
                continue;
            IDispatch* dispatch = NamedItemDispatch(item.name);
            if (!dispatch)
                continue;
            m_bridge->PushDispatch(dispatch);
            dispatch->Release();
            std::string name = WideToUtf8(item.name);
            duk_push_string(m_context, name.c_str());
            // A name the language keeps for itself ("undefined") cannot be bound: the item stays unbound.
            item.bound = duk_safe_call(m_context, &DefineGlobal, nullptr, 2, 1) == DUK_EXEC_SUCCESS;
            duk_pop(m_context);
        }
    }

    HRESULT Run(size_t unitIndex, VARIANT* result)
    {
        if (m_running)
            return E_UNEXPECTED;
        BindNamedItems();
        return RunInScript([&]() -> HRESULT {
            HRESULT hr = S_OK;
            Unit unit = m_units[unitIndex];
            duk_push_global_stash(m_context);
            duk_get_prop_string(m_context, -1, kUnitsKey);
            duk_get_prop_index(m_context, -1, unit.slot);
            ScopedRunningScript running(m_interrupt);
            if (duk_pcall(m_context, 0) == DUK_EXEC_SUCCESS) {
                if (result && FAILED(m_bridge->ToVariant(-1, *result)))
                    VariantInit(result);
            } else if (IsStop() || m_interrupt) {
                if (m_reportInterrupt && !m_closePending) {
                    ErrorRecord stopped {static_cast<int>(E_ABORT & 0xFFFF), L"The script was stopped", kErrorSource};
                    Report(stopped, unit, nullptr);
                }
                hr = E_ABORT;
            } else {
                ErrorRecord record = ReadError(unit, kErrorSource);
                hr = Report(record, unit, nullptr);
            }
            duk_pop_3(m_context);
            return hr;
        });
    }

    bool IsStop() { return duk_get_heapptr(m_context, -1) == m_stopSignal; }

    // The error value on top of the stack, as the site will see it.
    ErrorRecord ReadError(const Unit& unit, const wchar_t* source)
    {
        ErrorRecord record;
        record.source = source;
        duk_dup(m_context, -1);
        if (duk_safe_call(m_context, &ReadThrownValue, nullptr, 1, 5) != DUK_EXEC_SUCCESS) {
            duk_pop_n(m_context, 5);
            record.number = kUncaughtException;
            record.description = L"Exception thrown and not caught";
            return record;
        }
        std::wstring name = StackText(m_context, -5);
        std::wstring message = StackText(m_context, -4);
        double lineNumber = duk_get_number_default(m_context, -3, -1);
        if (duk_is_number(m_context, -2)) {
            auto code = static_cast<HRESULT>(static_cast<LONG>(duk_get_number(m_context, -2)));
            record.number = (static_cast<DWORD>(code) & 0xFFFF0000u) == 0x800A0000u ? (code & 0xFFFF) : kUncaughtException;
        } else if (name == L"SyntaxError") {
            record.number = kSyntaxError;
        } else if (name == L"ReferenceError") {
            record.number = kUndefinedIdentifier;
        } else if (name == L"TypeError") {
            record.number = kObjectExpected;
        } else {
            record.number = kUncaughtException;
        }
        record.description = duk_is_string(m_context, -1) ? StackText(m_context, -1) : Describe(name, message);
        duk_pop_n(m_context, 5);

        long line = lineNumber > 0 ? static_cast<long>(lineNumber) : LineFromMessage(message);
        if (line > 0 && static_cast<size_t>(line) <= unit.lines.size()) {
            record.line = line - 1;
            // The interpreter reports no column: the statement's first character stands for it.
            const std::wstring& text = unit.lines[static_cast<size_t>(record.line)];
            size_t first = 0;
            while (first < text.size() && std::iswspace(text[first]))
                ++first;
            record.column = static_cast<long>(first);
        }
        return record;
    }

    HRESULT Report(const ErrorRecord& record, const Unit& unit, EXCEPINFO* exception)
    {
        std::wstring lineText = record.line >= 0 ? unit.lines[static_cast<size_t>(record.line)] : std::wstring();
        script::ErrorReport::Position position;
        position.context = unit.context;
        position.line = unit.startingLine + static_cast<ULONG>(record.line >= 0 ? record.line : 0);
        position.column = record.column >= 0 ? record.column + 1 : 0;
        auto* report = new script::ErrorReport(static_cast<WORD>(record.number), MakeControlError(record.number),
                                               record.source, record.description, position, std::move(lineText));
        return ScriptEngineBase::Report(report, exception);
    }

    duk_context* m_context = nullptr;
    std::unique_ptr<Bridge> m_bridge;
    std::vector<Unit> m_units;
    std::vector<size_t> m_pending;
    std::vector<NamedItem> m_items;
    HeapBudget m_heapBudget;  // outlives the interpreter, which frees through it
    void* m_stopSignal = nullptr;  // lives in the stash as long as the interpreter
    std::uint64_t m_stepLimit = 0;
    std::uint64_t m_steps = 0;
    std::atomic<bool> m_interrupt {false};
    std::atomic<bool> m_reportInterrupt {false};
};

IActiveScript* CreateEngine()
{
    return static_cast<IActiveScript*>(new Engine);
}

void SetEngineStepLimit(IActiveScript* engine, std::uint64_t steps)
{
    if (engine)
        static_cast<Engine*>(engine)->SetStepLimit(steps);
}

} // namespace jscript

void RegisterJScriptClass()
{
    RegisterComClass(CLSID_JScript, L"JScript", [](IUnknown* outer, REFIID riid, void** ppv) {
        return script::CreateForRegistry(outer, riid, ppv, &jscript::CreateEngine);
    });
}
