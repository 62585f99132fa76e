#include "platform/script/VbsEngine.h"

#include "platform/com/Automation.h"
#include "platform/com/ClassRegistry.h"
#include "platform/script/JScriptEngine.h"
#include "platform/script/RegExpObject.h"
#include "platform/script/VbsInterpreter.h"
#include "platform/script/VbsParser.h"

#include <optional>

const IID IID_IActiveScript = {0xBB1A2AE1, 0xA4F9, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
const IID IID_IActiveScriptParse = {0xBB1A2AE2, 0xA4F9, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
const IID IID_IActiveScriptSite = {0xDB01A1E3, 0xA42B, 0x11CF, {0x8F, 0x20, 0x00, 0xAA, 0x00, 0x6C, 0x42, 0xAD}};
const IID IID_IActiveScriptSiteWindow = {0xD10F6761, 0x83E9, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
const IID IID_IActiveScriptError = {0xEAE1BA61, 0xA4ED, 0x11CF, {0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C, 0xD0, 0x64}};
const CLSID CLSID_VBScript = {0xB54F3741, 0x5B07, 0x11CF, {0xA4, 0xB0, 0x00, 0xAA, 0x00, 0x4A, 0x55, 0xE8}};
const CLSID CLSID_JScript = {0xF414C260, 0x6AC0, 0x11CF, {0xB6, 0xD1, 0x00, 0xAA, 0x00, 0xBB, 0xBB, 0x58}};
const CLSID CLSID_RegExp = {0x3F4DACA4, 0x160D, 0x11D2, {0xA8, 0xE9, 0x00, 0x10, 0x4B, 0x36, 0x5C, 0x9F}};

namespace vbs {

namespace {

// One error handed to the site: its record, position and source line.
class ErrorReport final : public IActiveScriptError {
public:
    ErrorReport(const ScriptError& error, DWORD context, ULONG lineOffset, std::wstring lineText)
        : m_error(error), m_context(context), m_lineOffset(lineOffset), m_lineText(std::move(lineText))
    {
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IActiveScriptError) {
            *ppv = static_cast<IActiveScriptError*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        ULONG refs = --m_refs;
        if (!refs)
            delete this;
        return refs;
    }

    HRESULT GetExceptionInfo(EXCEPINFO* info) override
    {
        if (!info)
            return E_POINTER;
        *info = EXCEPINFO{};
        info->wCode = static_cast<WORD>(m_error.number > 0 && m_error.number < 65536 ? m_error.number : 0);
        info->scode = m_error.scode ? m_error.scode
                                    : (m_error.number > 0 && m_error.number < 65536 ? MakeControlError(m_error.number)
                                                                                    : m_error.number);
        info->bstrSource = SysAllocStringView(m_error.source);
        info->bstrDescription = SysAllocStringView(m_error.description);
        return S_OK;
    }
    HRESULT GetSourcePosition(DWORD* context, ULONG* line, LONG* position) override
    {
        if (context)
            *context = m_context;
        if (line)
            *line = m_error.line >= 0 ? m_lineOffset + static_cast<ULONG>(m_error.line) : m_lineOffset;
        if (position)
            *position = m_error.column >= 0 ? m_error.column + 1 : 0;
        return S_OK;
    }
    HRESULT GetSourceLineText(BSTR* text) override
    {
        if (!text)
            return E_POINTER;
        *text = SysAllocStringView(m_lineText);
        return S_OK;
    }

private:
    ~ErrorReport() = default;
    ScriptError m_error;
    DWORD m_context;
    ULONG m_lineOffset;
    std::wstring m_lineText;
    ULONG m_refs = 1;
};

} // namespace

class Engine final : public IActiveScript, public IActiveScriptParse, public InterpreterHost {
public:
    Engine() = default;

    // IUnknown
    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IActiveScript)
            *ppv = static_cast<IActiveScript*>(this);
        else if (riid == IID_IActiveScriptParse)
            *ppv = static_cast<IActiveScriptParse*>(this);
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
        ULONG refs = --m_refs;
        if (!refs)
            delete this;
        return refs;
    }

    // IActiveScript
    HRESULT SetScriptSite(IActiveScriptSite* site) override
    {
        if (!site)
            return E_POINTER;
        if (m_site)
            return E_UNEXPECTED;
        m_site = site;
        if (m_state == SCRIPTSTATE_UNINITIALIZED)
            ChangeState(SCRIPTSTATE_INITIALIZED);
        return S_OK;
    }
    HRESULT GetScriptSite(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (!m_site)
            return S_FALSE;
        return m_site->QueryInterface(riid, ppv);
    }
    HRESULT SetScriptState(SCRIPTSTATE state) override
    {
        if (m_state == SCRIPTSTATE_CLOSED)
            return E_UNEXPECTED;
        switch (state) {
        case SCRIPTSTATE_STARTED:
        case SCRIPTSTATE_CONNECTED: {
            if (!m_site || !m_interpreter)
                return E_UNEXPECTED;
            ChangeState(state);
            return RunPending();
        }
        case SCRIPTSTATE_CLOSED:
            return Close();
        case SCRIPTSTATE_INITIALIZED:
        case SCRIPTSTATE_DISCONNECTED:
            ChangeState(state);
            return S_OK;
        default:
            return E_INVALIDARG;
        }
    }
    HRESULT GetScriptState(SCRIPTSTATE* state) override
    {
        if (!state)
            return E_POINTER;
        *state = m_state;
        return S_OK;
    }
    HRESULT Close() override
    {
        if (m_state == SCRIPTSTATE_CLOSED)
            return S_OK;
        if (m_running) {
            // Asked from inside the script's own calls: the run stops, then the engine closes.
            m_closePending = true;
            m_interpreter->RequestInterrupt(false);
            return S_OK;
        }
        m_pending.clear();
        if (m_interpreter) {
            m_interpreter->ReleaseObjects();
            std::lock_guard lock(m_interruptMutex);
            m_interpreter.reset();
        }
        ChangeState(SCRIPTSTATE_CLOSED);
        m_site.Reset();
        return S_OK;
    }
    HRESULT AddNamedItem(LPCOLESTR name, DWORD flags) override
    {
        if (!name || !*name)
            return E_INVALIDARG;
        if (!m_interpreter)
            return E_UNEXPECTED;
        m_interpreter->AddNamedItem(name, flags);
        return S_OK;
    }
    HRESULT AddTypeLib(REFGUID, DWORD, DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT GetScriptDispatch(LPCOLESTR, IDispatch** ppdisp) override
    {
        if (ppdisp)
            *ppdisp = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetCurrentScriptThreadID(SCRIPTTHREADID* id) override
    {
        if (!id)
            return E_POINTER;
        *id = 0;
        return S_OK;
    }
    HRESULT GetScriptThreadID(DWORD, SCRIPTTHREADID* id) override { return GetCurrentScriptThreadID(id); }
    HRESULT GetScriptThreadState(SCRIPTTHREADID, SCRIPTTHREADSTATE* state) override
    {
        if (!state)
            return E_POINTER;
        *state = m_running ? SCRIPTTHREADSTATE_RUNNING : SCRIPTTHREADSTATE_NOTINSCRIPT;
        return S_OK;
    }
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
    HRESULT Clone(IActiveScript** clone) override
    {
        if (clone)
            *clone = nullptr;
        return E_NOTIMPL;
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
        if (m_state == SCRIPTSTATE_UNINITIALIZED && m_site)
            ChangeState(SCRIPTSTATE_INITIALIZED);
        return S_OK;
    }
    HRESULT AddScriptlet(LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, DWORD, ULONG, DWORD,
                         BSTR* name, EXCEPINFO*) override
    {
        if (name)
            *name = nullptr;
        return E_NOTIMPL;
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
        try {
            unit = expression ? ParseExpressionUnit(text) : ParseUnit(text);
        } catch (const ScriptError& e) {
            return Report(e, context, startingLine, SplitSourceLines(text), exception);
        }
        unit->sourceContext = context;
        unit->startingLine = startingLine;
        Unit* added = nullptr;
        try {
            added = &m_interpreter->AddUnit(std::move(unit));
        } catch (const ScriptError& e) {
            return Report(e, context, startingLine, SplitSourceLines(text), exception);
        }
        if (expression) {
            return RunUnit(*added, result);
        }
        if (m_state == SCRIPTSTATE_STARTED || m_state == SCRIPTSTATE_CONNECTED)
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

private:
    ~Engine() override
    {
        if (m_interpreter)
            m_interpreter->ReleaseObjects();
        m_interpreter.reset();
    }

    // InterpreterHost
    IDispatch* GetNamedItem(const std::wstring& name) override
    {
        if (!m_site)
            return nullptr;
        IUnknown* unknown = nullptr;
        if (FAILED(m_site->GetItemInfo(name.c_str(), SCRIPTINFO_IUNKNOWN, &unknown, nullptr)) || !unknown)
            return nullptr;
        IDispatch* dispatch = nullptr;
        unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        unknown->Release();
        return dispatch;
    }
    HWND OwnerWindow() override
    {
        if (!m_site)
            return nullptr;
        ComPtr<IActiveScriptSiteWindow> window;
        m_site->QueryInterface(IID_IActiveScriptSiteWindow, reinterpret_cast<void**>(window.Receive()));
        HWND hwnd = nullptr;
        if (window)
            window->GetWindow(&hwnd);
        return hwnd;
    }

    void ChangeState(SCRIPTSTATE state)
    {
        if (m_state == state)
            return;
        m_state = state;
        if (m_site)
            m_site->OnStateChange(state);
    }

    HRESULT Report(const ScriptError& e, DWORD context, ULONG startingLine, const std::vector<std::wstring>& lines,
                   EXCEPINFO* exception)
    {
        std::wstring line = e.line >= 0 && size_t(e.line) < lines.size() ? lines[e.line] : L"";
        auto* report = new ErrorReport(e, context, startingLine, line);
        if (exception)
            report->GetExceptionInfo(exception);
        if (m_site)
            m_site->OnScriptError(report);
        report->Release();
        return SCRIPT_E_REPORTED;
    }

    HRESULT RunPending()
    {
        while (!m_pending.empty()) {
            Unit* unit = m_pending.front();
            m_pending.erase(m_pending.begin());
            HRESULT hr = RunUnit(*unit, nullptr);
            if (FAILED(hr)) {
                m_pending.clear();  // a runtime error ends the run
                return hr;
            }
        }
        return S_OK;
    }

    HRESULT RunUnit(Unit& unit, VARIANT* result)
    {
        if (m_running)
            return E_UNEXPECTED;
        ComPtr<IActiveScriptSite> site(m_site.get());
        Engine* self = this;
        self->AddRef();
        struct Release {
            Engine* engine;
            ~Release() { engine->Release(); }
        } release{self};
        m_running = true;
        m_interpreter->ClearInterrupt();
        m_interpreter->ResetSteps();
        if (site)
            site->OnEnterScript();
        HRESULT hr = S_OK;
        try {
            if (result) {
                Var value = m_interpreter->Evaluate(unit);
                *result = value.Detach();
            } else {
                m_interpreter->Run(unit);
            }
        } catch (const ScriptError& e) {
            hr = Report(e, unit.sourceContext, unit.startingLine, unit.lines, nullptr);
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
                Report(*error, unit.sourceContext, unit.startingLine, unit.lines, nullptr);
            }
            hr = E_ABORT;
        }
        m_running = false;
        if (m_interpreter)
            m_interpreter->ClearInterrupt();
        if (site)
            site->OnLeaveScript();
        if (m_closePending) {
            m_closePending = false;
            Close();
        }
        return hr;
    }

    ULONG m_refs = 1;
    ComPtr<IActiveScriptSite> m_site;
    SCRIPTSTATE m_state = SCRIPTSTATE_UNINITIALIZED;
    std::unique_ptr<Interpreter> m_interpreter;
    std::vector<Unit*> m_pending;
    bool m_running = false;
    bool m_closePending = false;
    std::uint64_t m_stepLimit = 0;
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

} // namespace vbs

void RegisterScriptClasses()
{
    RegisterJScriptClass();
    RegisterComClass(CLSID_VBScript, L"VBScript", [](IUnknown* outer, REFIID riid, void** ppv) -> HRESULT {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        IActiveScript* engine = vbs::CreateEngine();
        HRESULT hr = engine->QueryInterface(riid, ppv);
        engine->Release();
        return hr;
    });
    RegisterComClass(CLSID_RegExp, L"VBScript.RegExp", [](IUnknown* outer, REFIID riid, void** ppv) -> HRESULT {
        if (outer)
            return CLASS_E_NOAGGREGATION;
        IDispatch* regExp = CreateRegExp();
        HRESULT hr = regExp->QueryInterface(riid, ppv);
        regExp->Release();
        return hr;
    });
}
