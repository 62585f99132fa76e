#include "platform/script/VbsEngine.h"

#include "platform/com/Automation.h"
#include "platform/com/ClassRegistry.h"
#include "platform/script/JScriptEngine.h"
#include "platform/script/RegExpObject.h"
#include "platform/script/RunningScript.h"
#include "platform/script/ScriptEngineBase.h"
#include "platform/script/VbsInterpreter.h"
#include "platform/script/VbsParser.h"

#include <new>
#include <optional>

const IID IID_IActiveScript = {0xBB1A2AE1, 0xA4F9, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
const IID IID_IActiveScriptParse = {0xBB1A2AE2, 0xA4F9, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
const IID IID_IActiveScriptSite = {0xDB01A1E3, 0xA42B, 0x11CF, {0x8F, 0x20, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xAD}};
const IID IID_IActiveScriptSiteWindow = {0xD10F6761, 0x83E9, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
const IID IID_IActiveScriptSiteInterruptPoll = {0x539698A0, 0xCDCA, 0x11CF, {0xA5, 0xEB, 0x00, 0xAA, 0x00, 0x47, 0xA0, 0x63}};
const IID IID_IActiveScriptError = {0xEAE1BA61, 0xA4ED, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
const CLSID CLSID_VBScript = {0xB54F3741, 0x5B07, 0x11CF, {0xA4, 0xB0, 0x00, 0xAA, 0x00, 0x4A, 0x55, 0xE8}};
const CLSID CLSID_JScript = {0xF414C260, 0x6AC0, 0x11CF, {0xB6, 0xD1, 0x00, 0xAA, 0x00, 0xBB, 0xBB, 0x58}};
const CLSID CLSID_RegExp = {0x3F4DACA4, 0x160D, 0x11D2, {0xA8, 0xE9, 0x00, 0x10, 0x4B, 0x36, 0x5C, 0x9F}};

namespace vbs {

class Engine final : public script::ScriptEngineBase, public InterpreterHost {
public:
    Engine() = default;

    HRESULT InterruptScriptThread(SCRIPTTHREADID, const EXCEPINFO* info, DWORD flags) override
    {
        std::lock_guard lock(m_interruptMutex);  // another thread may ask while this one closes
        Interpreter* interpreter = m_interpreter.get();
        if (!interpreter)
            return E_UNEXPECTED;
        if (info) {
            m_interruptError = ScriptError{};
            m_interruptError->number = info->scode && (static_cast<DWORD>(info->scode) & 0xFFFF0000u) == 0x800A0000u
                ? (info->scode & 0xFFFF) : (info->scode ? info->scode : info->wCode);
            m_interruptError->scode = info->scode;
            m_interruptError->description = BstrView(info->bstrDescription);
            m_interruptError->source = BstrView(info->bstrSource);
        }
        interpreter->RequestInterrupt((flags & SCRIPTINTERRUPT_RAISEEXCEPTION) != 0);
        return S_OK;
    }

    // IActiveScriptParse
    HRESULT InitNew() override
    {
        if (m_state == SCRIPTSTATE_CLOSED)
            return E_UNEXPECTED;
        if (m_interpreter)
            return E_UNEXPECTED;
        m_interpreter = std::make_unique<Interpreter>(*this);
        m_interpreter->SetStepLimit(m_stepLimit);
        m_interpreter->SetMemoryLimit(m_memoryLimit);
        if (m_state == SCRIPTSTATE_UNINITIALIZED && m_site)
            ChangeState(SCRIPTSTATE_INITIALIZED);
        return S_OK;
    }
    HRESULT ParseScriptText(LPCOLESTR code, LPCOLESTR, IUnknown*, LPCOLESTR, DWORD context, ULONG startingLine,
                            DWORD flags, VARIANT* result, EXCEPINFO* exception) override
    {
        if (result)
            VariantInit(result);
        if (!m_interpreter || m_state == SCRIPTSTATE_CLOSED)
            return E_UNEXPECTED;
        std::wstring_view text = code ? std::wstring_view(code) : std::wstring_view();
        std::unique_ptr<Unit> unit;
        bool expression = (flags & SCRIPTTEXT_ISEXPRESSION) != 0;
        Unit* added = nullptr;
        try {
            unit = expression ? ParseExpressionUnit(text) : ParseUnit(text);
            unit->sourceContext = context;
            unit->startingLine = startingLine;
            added = &m_interpreter->AddUnit(std::move(unit));
        } catch (const ScriptError& e) {
            return ReportError(e, context, startingLine, text, exception);
        } catch (const std::bad_alloc&) {
            return ReportError(OutOfMemory(), context, startingLine, text, exception);
        }
        if (expression) {
            return RunUnit(*added, result);
        }
        if (IsStarted())
            return RunUnit(*added, nullptr);
        m_pending.push_back(added);
        return S_OK;
    }

    void SetStepLimit(std::uint64_t steps)
    {
        m_stepLimit = steps;
        if (m_interpreter)
            m_interpreter->SetStepLimit(steps);
    }
    void SetMemoryLimit(std::size_t bytes)
    {
        m_memoryLimit = bytes;
        if (m_interpreter)
            m_interpreter->SetMemoryLimit(bytes);
    }

private:
    ~Engine() override
    {
        if (m_interpreter)
            m_interpreter->ReleaseObjects();
        m_interpreter.reset();
    }

    // ScriptEngineBase
    bool HasInterpreter() const override { return m_interpreter != nullptr; }
    void OnSiteSet() override
    {
        if (m_state == SCRIPTSTATE_UNINITIALIZED)
            ChangeState(SCRIPTSTATE_INITIALIZED);
    }
    void RequestStop() override { m_interpreter->RequestInterrupt(false); }
    void ReleaseScriptObjects() override
    {
        ScopedRunningScript running(m_interpreter->InterruptFlag());
        m_interpreter->ReleaseObjects();
    }
    void DestroyInterpreter() override
    {
        m_pending.clear();
        if (m_interpreter) {
            m_interpreter->ReleaseObjects();
            std::lock_guard lock(m_interruptMutex);
            m_interpreter.reset();
        }
    }
    void AddItem(const std::wstring& name, DWORD flags) override { m_interpreter->AddNamedItem(name, flags); }
    HRESULT RunPending() override
    {
        return RunInOrder(m_pending, [this](Unit* unit) { return RunUnit(*unit, nullptr); });
    }
    void BeginRun() override
    {
        if (!m_reserve)
            m_reserve.reset(new (std::nothrow) char[kReserveBytes]);
        m_interpreter->ClearInterrupt();
        m_interpreter->ResetSteps();
    }
    void EndRun() override
    {
        if (m_interpreter)
            m_interpreter->ClearInterrupt();
    }

    // InterpreterHost
    IDispatch* GetNamedItem(const std::wstring& name) override { return NamedItemDispatch(name); }
    HWND OwnerWindow() override { return SiteWindow(); }
    bool QueryContinue() override { return SiteQueryContinue(); }

    static ScriptError OutOfMemory()
    {
        return ScriptError{kOutOfMemory, ErrorText(kOutOfMemory), kRuntimeErrorSource};
    }

    // A report needs a little memory too; when even that is refused, the failure is only returned.
    HRESULT ReportError(const ScriptError& e, DWORD context, ULONG startingLine, std::wstring_view text,
                        EXCEPINFO* exception)
    {
        try {
            return ReportError(e, context, startingLine, SplitSourceLines(text), exception);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

    HRESULT ReportError(const ScriptError& e, DWORD context, ULONG startingLine,
                        const std::vector<std::wstring>& lines, EXCEPINFO* exception)
    {
        std::wstring line = e.line >= 0 && size_t(e.line) < lines.size() ? lines[e.line] : L"";
        bool languageNumber = e.number > 0 && e.number < 65536;
        script::ErrorReport::Position position;
        position.context = context;
        position.line = e.line >= 0 ? startingLine + static_cast<ULONG>(e.line) : startingLine;
        position.column = e.column >= 0 ? e.column + 1 : 0;
        SCODE scode = e.scode ? e.scode : (languageNumber ? MakeControlError(e.number) : e.number);
        auto* report = new script::ErrorReport(static_cast<WORD>(languageNumber ? e.number : 0), scode, e.source,
                                               e.description, position, std::move(line));
        return Report(report, exception);
    }

    HRESULT RunUnit(Unit& unit, VARIANT* result)
    {
        return RunInScript([&]() -> HRESULT {
            ScopedRunningScript running(m_interpreter->InterruptFlag());
            try {
                if (result) {
                    Var value = ValueOf(m_interpreter->Evaluate(unit).v);
                    *result = value.Detach();
                } else {
                    m_interpreter->Run(unit);
                }
            } catch (const ScriptError& e) {
                if (e.endsRun)
                    return ReportSystemOutOfMemory(e, unit);
                return ReportFailure(e, unit);
            } catch (const std::bad_alloc&) {
                return ReportSystemOutOfMemory(ScriptError{}, unit);
            } catch (const ScriptInterrupted& interrupted) {
                std::optional<ScriptError> error;
                {
                    std::lock_guard lock(m_interruptMutex);
                    error = std::exchange(m_interruptError, std::nullopt);
                }
                if (interrupted.reportError && !m_closePending) {
                    if (!error) {
                        error = ScriptError{};
                        error->number = static_cast<int>(E_ABORT);
                        error->scode = E_ABORT;
                        error->description = L"The script was stopped";
                        error->source = kRuntimeErrorSource;
                    }
                    error->line = interrupted.line;
                    error->column = interrupted.column;
                    ReportFailure(*error, unit);
                }
                return E_ABORT;
            }
            return S_OK;
        });
    }

    // The system refused memory to the script: the reserve is let go and the script loses what it
    // holds (its variables emptied, its objects ended), so that the report, the host's message and
    // whatever runs next find memory.
    HRESULT ReportSystemOutOfMemory(ScriptError e, const Unit& unit)
    {
        m_reserve.reset();
        m_interpreter->ReleaseObjects();
        try {
            ScriptError full = OutOfMemory();
            full.line = e.line;
            full.column = e.column;
            e = std::move(full);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        return ReportFailure(e, unit);
    }

    HRESULT ReportFailure(const ScriptError& e, const Unit& unit)
    {
        try {
            return ReportError(e, unit.sourceContext, unit.startingLine, unit.lines, nullptr);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

    // Memory held while a script runs (untouched, so it costs address space only) and let go when
    // the system refuses the script memory: the error report and the host's message need some, and
    // the script may keep what it took (procedures it declared) until the engine closes.
    static constexpr size_t kReserveBytes = 8 << 20;
    std::unique_ptr<char[]> m_reserve;
    std::unique_ptr<Interpreter> m_interpreter;
    std::vector<Unit*> m_pending;
    std::uint64_t m_stepLimit = 0;
    std::size_t m_memoryLimit = kDefaultMemoryLimit;
    std::mutex m_interruptMutex;
    std::optional<ScriptError> m_interruptError;
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

void SetEngineMemoryLimit(IActiveScript* engine, std::size_t bytes)
{
    if (engine)
        static_cast<Engine*>(engine)->SetMemoryLimit(bytes);
}

} // namespace vbs

void RegisterScriptClasses()
{
    RegisterJScriptClass();
    RegisterComClass(CLSID_VBScript, L"VBScript", [](IUnknown* outer, REFIID riid, void** ppv) {
        return script::CreateForRegistry(outer, riid, ppv, &vbs::CreateEngine);
    });
    RegisterComClass(CLSID_RegExp, L"VBScript.RegExp", [](IUnknown* outer, REFIID riid, void** ppv) {
        return script::CreateForRegistry(outer, riid, ppv, &CreateRegExp);
    });
}
