#pragma once
// Runs script text the way the script page does: engine by class id, a site with named items,
// parse, start, close. Message boxes and errors are collected for the tests to compare.

#include "platform/base/MessageBox.h"
#include "platform/com/AutomationObject.h"
#include "platform/com/ClassRegistry.h"
#include "platform/script/ActiveScript.h"
#include "platform/script/ScriptDialogs.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

struct ReportedError {
    WORD code = 0;
    SCODE scode = 0;
    std::wstring source;
    std::wstring description;
    ULONG line = 0;
    LONG position = 0;
    std::wstring lineText;
};

class TestSite final : public IActiveScriptSite, public IActiveScriptSiteWindow, public IActiveScriptSiteInterruptPoll {
public:
    std::map<std::wstring, IUnknown*> items;  // not owned; the test keeps them alive
    std::vector<ReportedError> errors;
    std::vector<SCRIPTSTATE> states;
    HWND window = reinterpret_cast<HWND>(0x1234);
    std::function<void()> onError;
    // When set, the site offers the engine its poll, which this answers (S_FALSE: stop).
    std::function<HRESULT()> queryContinue;

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IActiveScriptSite)
            *ppv = static_cast<IActiveScriptSite*>(this);
        else if (riid == IID_IActiveScriptSiteWindow)
            *ppv = static_cast<IActiveScriptSiteWindow*>(this);
        else if (riid == IID_IActiveScriptSiteInterruptPoll && queryContinue)
            *ppv = static_cast<IActiveScriptSiteInterruptPoll*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }  // lives on the test's stack

    HRESULT GetLCID(LCID* lcid) override
    {
        *lcid = 0;
        return S_OK;
    }
    HRESULT GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** unknown, ITypeInfo** typeInfo) override
    {
        if (mask & SCRIPTINFO_ITYPEINFO) {
            if (!typeInfo)
                return E_INVALIDARG;
            *typeInfo = nullptr;
        }
        if (mask & SCRIPTINFO_IUNKNOWN) {
            if (!unknown)
                return E_INVALIDARG;
            *unknown = nullptr;
        }
        auto it = items.find(name);
        if (it == items.end())
            return TYPE_E_ELEMENTNOTFOUND;
        if (mask & SCRIPTINFO_ITYPEINFO)
            return TYPE_E_ELEMENTNOTFOUND;
        it->second->AddRef();
        *unknown = it->second;
        return S_OK;
    }
    HRESULT GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT OnStateChange(SCRIPTSTATE state) override
    {
        states.push_back(state);
        return S_OK;
    }
    HRESULT OnScriptError(IActiveScriptError* error) override
    {
        ReportedError r;
        EXCEPINFO info{};
        error->GetExceptionInfo(&info);
        r.code = info.wCode;
        r.scode = info.scode;
        r.source = BstrView(info.bstrSource);
        r.description = BstrView(info.bstrDescription);
        ClearExcepInfo(&info);
        DWORD context;
        error->GetSourcePosition(&context, &r.line, &r.position);
        BSTR line = nullptr;
        if (SUCCEEDED(error->GetSourceLineText(&line)))
            r.lineText = BstrView(line);
        SysFreeString(line);
        errors.push_back(r);
        if (onError)
            onError();
        return S_OK;
    }
    HRESULT OnEnterScript() override { return S_OK; }
    HRESULT OnLeaveScript() override { return S_OK; }
    HRESULT GetWindow(HWND* hwnd) override
    {
        if (!hwnd)
            return E_INVALIDARG;
        *hwnd = window;
        return S_OK;
    }
    HRESULT EnableModeless(BOOL) override { return S_OK; }
    HRESULT QueryContinue() override { return queryContinue(); }

    ULONG refs = 1;
};

// Collects the message boxes of a run and answers each with answer.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK)
    {
        m_previous = SetScriptMessageBoxHandler([this, answer](const ScriptMessageBoxRequest& r) {
            requests.push_back(r);
            return answer;
        });
    }
    ~MessageBoxRecorder() { SetScriptMessageBoxHandler(m_previous); }

    std::wstring Text() const
    {
        std::wstring out;
        for (const auto& r : requests)
            out += r.prompt + L"\n";
        return out;
    }

    std::vector<ScriptMessageBoxRequest> requests;

private:
    ScriptMessageBoxHandler m_previous;
};

struct RunResult {
    HRESULT parse = S_OK;
    HRESULT start = S_OK;
    std::vector<ReportedError> errors;
};

// The script page's order of calls for one run; a prelude, when given, is parsed first into the same
// engine, as a second text the page would add.
inline RunResult RunLikeThePage(const std::wstring& text, std::map<std::wstring, IUnknown*> items = {},
                                TestSite* useSite = nullptr, const wchar_t* progId = L"VBScript",
                                const std::wstring& prelude = {})
{
    RegisterScriptClasses();
    TestSite localSite;
    TestSite& site = useSite ? *useSite : localSite;
    site.items = items;
    RunResult result;
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(progId, &clsid)))
        return {E_FAIL, E_FAIL, {}};
    IActiveScript* engine = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript, reinterpret_cast<void**>(&engine))))
        return {E_FAIL, E_FAIL, {}};
    IActiveScriptParse* parser = nullptr;
    engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parser));
    engine->SetScriptSite(&site);
    parser->InitNew();
    for (auto& [name, object] : items)
        engine->AddNamedItem(name.c_str(), SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE);
    EXCEPINFO info{};
    if (!prelude.empty()) {
        result.parse = parser->ParseScriptText(prelude.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr, &info);
        ClearExcepInfo(&info);
    }
    if (SUCCEEDED(result.parse)) {
        result.parse = parser->ParseScriptText(text.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr, &info);
        ClearExcepInfo(&info);
    }
    result.start = engine->SetScriptState(SCRIPTSTATE_STARTED);
    engine->SetScriptState(SCRIPTSTATE_CLOSED);
    parser->Release();
    engine->Close();
    engine->Release();
    result.errors = site.errors;
    return result;
}
