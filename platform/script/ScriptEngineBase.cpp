#include "platform/script/ScriptEngineBase.h"

#include "platform/com/Automation.h"

namespace script {

ErrorReport::ErrorReport(WORD code, SCODE scode, std::wstring source, std::wstring description, Position position,
                         std::wstring lineText)
    : m_code(code)
    , m_scode(scode)
    , m_source(std::move(source))
    , m_description(std::move(description))
    , m_position(position)
    , m_lineText(std::move(lineText))
{
}

HRESULT ErrorReport::QueryInterface(REFIID riid, void** ppv)
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

ULONG ErrorReport::Release()
{
    ULONG refs = --m_refs;
    if (!refs)
        delete this;
    return refs;
}

HRESULT ErrorReport::GetExceptionInfo(EXCEPINFO* info)
{
    if (!info)
        return E_POINTER;
    *info = EXCEPINFO {};
    info->wCode = m_code;
    info->scode = m_scode;
    info->bstrSource = SysAllocStringView(m_source);
    info->bstrDescription = SysAllocStringView(m_description);
    return S_OK;
}

HRESULT ErrorReport::GetSourcePosition(DWORD* context, ULONG* line, LONG* position)
{
    if (context)
        *context = m_position.context;
    if (line)
        *line = m_position.line;
    if (position)
        *position = m_position.column;
    return S_OK;
}

HRESULT ErrorReport::GetSourceLineText(BSTR* text)
{
    if (!text)
        return E_POINTER;
    *text = SysAllocStringView(m_lineText);
    return S_OK;
}

HRESULT ScriptEngineBase::QueryInterface(REFIID riid, void** ppv)
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

ULONG ScriptEngineBase::Release()
{
    ULONG refs = --m_refs;
    if (!refs)
        delete this;
    return refs;
}

HRESULT ScriptEngineBase::SetScriptSite(IActiveScriptSite* site)
{
    if (!site)
        return E_POINTER;
    if (m_site)
        return E_UNEXPECTED;
    m_site = site;
    OnSiteSet();
    return S_OK;
}

HRESULT ScriptEngineBase::GetScriptSite(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    return m_site ? m_site->QueryInterface(riid, ppv) : S_FALSE;
}

HRESULT ScriptEngineBase::SetScriptState(SCRIPTSTATE state)
{
    if (m_state == SCRIPTSTATE_CLOSED)
        return E_UNEXPECTED;
    switch (state) {
    case SCRIPTSTATE_STARTED:
    case SCRIPTSTATE_CONNECTED:
        if (!m_site || !HasInterpreter())
            return E_UNEXPECTED;
        ChangeState(state);
        return RunPending();
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

HRESULT ScriptEngineBase::GetScriptState(SCRIPTSTATE* state)
{
    if (!state)
        return E_POINTER;
    *state = m_state;
    return S_OK;
}

HRESULT ScriptEngineBase::Close()
{
    if (m_state == SCRIPTSTATE_CLOSED)
        return S_OK;
    if (m_running) {
        // Asked from inside the script's own calls: the run stops, then the engine closes.
        m_closePending = true;
        RequestStop();
        return S_OK;
    }
    // What the script's objects run on their way out is script code like any other: the site is
    // asked whether to go on, and an interrupt or a stop request ends it.
    if (HasInterpreter())
        RunInScript([this] {
            ReleaseScriptObjects();
            return S_OK;
        });
    if (m_state == SCRIPTSTATE_CLOSED)
        return S_OK;  // closed while its objects were released
    DestroyInterpreter();
    ChangeState(SCRIPTSTATE_CLOSED);
    m_site.Reset();
    return S_OK;
}

HRESULT ScriptEngineBase::AddNamedItem(LPCOLESTR name, DWORD flags)
{
    if (!name || !*name)
        return E_INVALIDARG;
    if (!HasInterpreter())
        return E_UNEXPECTED;
    AddItem(name, flags);
    return S_OK;
}

HRESULT ScriptEngineBase::GetScriptDispatch(LPCOLESTR, IDispatch** ppdisp)
{
    if (ppdisp)
        *ppdisp = nullptr;
    return E_NOTIMPL;
}

HRESULT ScriptEngineBase::GetCurrentScriptThreadID(SCRIPTTHREADID* id)
{
    if (!id)
        return E_POINTER;
    *id = 0;
    return S_OK;
}

HRESULT ScriptEngineBase::GetScriptThreadState(SCRIPTTHREADID, SCRIPTTHREADSTATE* state)
{
    if (!state)
        return E_POINTER;
    *state = m_running ? SCRIPTTHREADSTATE_RUNNING : SCRIPTTHREADSTATE_NOTINSCRIPT;
    return S_OK;
}

HRESULT ScriptEngineBase::Clone(IActiveScript** clone)
{
    if (clone)
        *clone = nullptr;
    return E_NOTIMPL;
}

HRESULT ScriptEngineBase::AddScriptlet(LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, LPCOLESTR, DWORD, ULONG,
                                       DWORD, BSTR* name, EXCEPINFO*)
{
    if (name)
        *name = nullptr;
    return E_NOTIMPL;
}

void ScriptEngineBase::ChangeState(SCRIPTSTATE state)
{
    if (m_state == state)
        return;
    m_state = state;
    if (m_site)
        m_site->OnStateChange(state);
}

IDispatch* ScriptEngineBase::NamedItemDispatch(const std::wstring& name)
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

HWND ScriptEngineBase::SiteWindow()
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

bool ScriptEngineBase::SiteQueryContinue()
{
    if (!m_poll)
        return true;
    // The site may close or release the engine while it dispatches its messages.
    ComPtr<IActiveScriptSiteInterruptPoll> poll(m_poll.get());
    return poll->QueryContinue() != S_FALSE;
}

HRESULT ScriptEngineBase::Report(ErrorReport* report, EXCEPINFO* exception)
{
    // Released also when the site's handling throws (a site out of memory).
    auto held = ComPtr<IActiveScriptError>::Adopt(report);
    if (exception)
        report->GetExceptionInfo(exception);
    if (m_site)
        m_site->OnScriptError(report);
    return SCRIPT_E_REPORTED;
}

} // namespace script
