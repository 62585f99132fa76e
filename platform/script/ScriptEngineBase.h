#pragma once
// What every script engine does the same way behind the scripting-engine interfaces: reference
// counting, the site, the state changes, the thread questions, the queue of texts waiting for the
// start, the bracket around each run and the error reports handed to the site. An engine adds its
// interpreter through the hooks below.

#include "platform/script/ActiveScript.h"

#include <string>
#include <vector>

namespace script {

// One error handed to the site: its exception record, position and source line.
class ErrorReport final : public IActiveScriptError {
public:
    struct Position {
        DWORD context = 0;
        ULONG line = 0;     // absolute, the text's starting line included
        LONG column = 0;    // from 1, 0 when unknown
    };

    ErrorReport(WORD code, SCODE scode, std::wstring source, std::wstring description, Position position,
                std::wstring lineText);

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override;

    HRESULT GetExceptionInfo(EXCEPINFO* info) override;
    HRESULT GetSourcePosition(DWORD* context, ULONG* line, LONG* position) override;
    HRESULT GetSourceLineText(BSTR* text) override;

private:
    ~ErrorReport() = default;
    WORD m_code;
    SCODE m_scode;
    std::wstring m_source;
    std::wstring m_description;
    Position m_position;
    std::wstring m_lineText;
    ULONG m_refs = 1;
};

// The class registry's creator for a script object: aggregation is refused, and a new object made by
// create is handed out through riid.
template<typename Create>
HRESULT CreateForRegistry(IUnknown* outer, REFIID riid, void** ppv, Create create)
{
    if (outer)
        return CLASS_E_NOAGGREGATION;
    auto* object = create();
    HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

class ScriptEngineBase : public IActiveScript, public IActiveScriptParse {
public:
    // IUnknown
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override;

    // IActiveScript
    HRESULT SetScriptSite(IActiveScriptSite* site) override;
    HRESULT GetScriptSite(REFIID riid, void** ppv) override;
    HRESULT SetScriptState(SCRIPTSTATE state) override;
    HRESULT GetScriptState(SCRIPTSTATE* state) override;
    HRESULT Close() override;
    HRESULT AddNamedItem(LPCOLESTR name, DWORD flags) override;
    HRESULT AddTypeLib(REFGUID, DWORD, DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT GetScriptDispatch(LPCOLESTR, IDispatch** ppdisp) override;
    HRESULT GetCurrentScriptThreadID(SCRIPTTHREADID* id) override;
    HRESULT GetScriptThreadID(DWORD, SCRIPTTHREADID* id) override { return GetCurrentScriptThreadID(id); }
    HRESULT GetScriptThreadState(SCRIPTTHREADID, SCRIPTTHREADSTATE* state) override;
    HRESULT Clone(IActiveScript** clone) override;

    // IActiveScriptParse
    HRESULT AddScriptlet(LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, DWORD, ULONG, DWORD,
                         BSTR* name, EXCEPINFO*) override;

protected:
    ScriptEngineBase() = default;
    virtual ~ScriptEngineBase() = default;

    // Whether InitNew has made the interpreter.
    virtual bool HasInterpreter() const = 0;
    // Called once the site is set; the engine moves to the initialized state as it sees fit.
    virtual void OnSiteSet() = 0;
    // Asks a run in progress to stop without reporting an error.
    virtual void RequestStop() = 0;
    // Lets go of the objects the script holds, which may run script code (a class's terminator);
    // called inside a run bracket, so that code is stopped as any run is.
    virtual void ReleaseScriptObjects() {}
    // Frees the interpreter and everything it holds.
    virtual void DestroyInterpreter() = 0;
    // Adds a checked, non-empty name while the interpreter exists.
    virtual void AddItem(const std::wstring& name, DWORD flags) = 0;
    // Runs the texts parsed before the start, in order.
    virtual HRESULT RunPending() = 0;
    // Clears the run's counters and flags; BeginRun before the site hears of the run, EndRun before
    // it hears of its end.
    virtual void BeginRun() = 0;
    virtual void EndRun() = 0;

    void ChangeState(SCRIPTSTATE state);
    bool IsStarted() const { return m_state == SCRIPTSTATE_STARTED || m_state == SCRIPTSTATE_CONNECTED; }

    // The named item as the site gives it, with one reference, or null.
    IDispatch* NamedItemDispatch(const std::wstring& name);
    // The window the site lends to dialogs, or null.
    HWND SiteWindow();
    // Whether the site, asked while a run goes on, lets it continue (a site without the poll does).
    bool SiteQueryContinue();

    // Fills exception (when given), tells the site and hands back SCRIPT_E_REPORTED.
    HRESULT Report(ErrorReport* report, EXCEPINFO* exception);

    // Brackets one run: refuses a nested run, keeps the engine and its site alive through it, tells
    // the site of its start and end, and closes the engine afterwards when Close was asked meanwhile.
    template<typename Body>
    HRESULT RunInScript(Body&& body)
    {
        if (m_running)
            return E_UNEXPECTED;
        ComPtr<IActiveScriptSite> site(m_site.get());
        AddRef();  // the site may release the engine from inside the run
        m_running = true;
        m_poll.Reset();
        if (site)
            site->QueryInterface(IID_IActiveScriptSiteInterruptPoll, reinterpret_cast<void**>(m_poll.Receive()));
        BeginRun();
        if (site)
            site->OnEnterScript();
        HRESULT hr = body();
        m_running = false;
        m_poll.Reset();
        EndRun();
        if (site)
            site->OnLeaveScript();
        if (m_closePending) {
            m_closePending = false;
            Close();
        }
        Release();
        return hr;
    }

    // Takes the queued units one by one; the first failure empties the queue and ends the run.
    template<typename Unit, typename Run>
    static HRESULT RunInOrder(std::vector<Unit>& pending, Run run)
    {
        while (!pending.empty()) {
            Unit unit = pending.front();
            pending.erase(pending.begin());
            HRESULT hr = run(unit);
            if (FAILED(hr)) {
                pending.clear();
                return hr;
            }
        }
        return S_OK;
    }

    ComPtr<IActiveScriptSite> m_site;
    SCRIPTSTATE m_state = SCRIPTSTATE_UNINITIALIZED;
    bool m_running = false;
    bool m_closePending = false;

private:
    ULONG m_refs = 1;
    ComPtr<IActiveScriptSiteInterruptPoll> m_poll;  // the site's, while a run goes on
};

} // namespace script
