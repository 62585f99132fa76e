#pragma once
// SECAScriptHost: the site through which the program runs script text on a scripting engine.
// It creates the engine by class id, publishes named objects to it, hands it text or a file,
// drives its state and passes the engine's errors to the owner's error handler.
//
// One run, as the VBScript page drives it:
//   auto* host = new SECAScriptHost(handler);
//   host->CreateEngine(FALSE);
//   host->SetWindow(view);
//   host->AddNamedItem(L"FLN", application, nullptr, SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE);
//   host->ParseScriptText(text, length, nullptr);
//   host->SetScriptState(SCRIPTSTATE_STARTED);   // the program runs here; errors reach the handler
//   host->SetScriptState(SCRIPTSTATE_CLOSED);
//   host->Close();
//   host->Release();

#include "platform/base/Collections.h"
#include "platform/base/CString.h"
#include "platform/script/ActiveScript.h"

#include <functional>
#include <mutex>

class CWnd;

// What the owner of a host implements to learn of script errors (not a COM interface).
class IActiveScriptErrorHandler {
public:
    virtual HRESULT OnScriptError(IActiveScriptError* error) = 0;

protected:
    ~IActiveScriptErrorHandler() = default;
};

class SECAScriptHost : public IActiveScriptSite, public IActiveScriptSiteWindow, public IActiveScriptSiteInterruptPoll {
public:
    // handler may be null (errors are then acknowledged and dropped); it is not owned.
    explicit SECAScriptHost(IActiveScriptErrorHandler* handler);
    SECAScriptHost(const SECAScriptHost&) = delete;
    SECAScriptHost& operator=(const SECAScriptHost&) = delete;

    // IUnknown (shared by both interfaces). IDispatch is not offered.
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // IActiveScriptSite
    HRESULT GetLCID(LCID* plcid) override;
    HRESULT GetItemInfo(LPCOLESTR pstrName, DWORD dwReturnMask, IUnknown** ppiunkItem, ITypeInfo** ppti) override;
    HRESULT GetDocVersionString(BSTR* pbstrVersion) override;
    HRESULT OnScriptTerminate(const VARIANT* pvarResult, const EXCEPINFO* pexcepinfo) override;
    HRESULT OnStateChange(SCRIPTSTATE ssScriptState) override;
    HRESULT OnScriptError(IActiveScriptError* pscripterror) override;
    HRESULT OnEnterScript() override;
    HRESULT OnLeaveScript() override;

    // IActiveScriptSiteWindow
    HRESULT GetWindow(HWND* phwnd) override;
    HRESULT EnableModeless(BOOL fEnable) override;

    // IActiveScriptSiteInterruptPoll: asks the poll set below; S_FALSE when it says stop.
    HRESULT QueryContinue() override;
    // Called about every 10 ms while a script runs, on the script's thread: the owner may dispatch
    // its window's messages there (and interrupt the script); false ends the run.
    void SetContinuePoll(std::function<bool()> poll) { m_continuePoll = std::move(poll); }

    // FALSE: the VBScript engine; TRUE: the JScript engine. S_FALSE when an engine is already held.
    virtual HRESULT CreateEngine(BOOL jscript);
    virtual HRESULT CreateEngineFromCLSID(CLSID clsid);
    // Releases the parser, closes and releases the engine; the host may then create another.
    virtual HRESULT Close();
    // Publishes object under name (case-sensitive) and announces it to the engine, whose result is
    // returned. window (may be null) belongs to the host once the name is stored; a name already
    // published, a null argument or a missing engine store nothing and leave it with the caller.
    virtual HRESULT AddNamedItem(LPCOLESTR name, IUnknown* object, CWnd* window, DWORD flags);
    // Reads the file as ANSI text and parses it.
    virtual HRESULT ParseScriptFile(LPCOLESTR path, LPCOLESTR itemName);
    // Adds text as global code, run when the script is started. length is not used: text ends at 0.
    virtual HRESULT ParseScriptText(LPCOLESTR text, int length, LPCOLESTR itemName);
    virtual HRESULT SetScriptState(SCRIPTSTATE state);
    virtual HRESULT GetScriptState(SCRIPTSTATE* state);
    // The owner window of the engine's dialogs; S_FALSE for null, which leaves the handle as it was.
    virtual HRESULT SetWindow(CWnd* window);
    virtual HRESULT SetWindowHandle(HWND window);
    // Announces every stored item to the engine again (visible, event source).
    virtual HRESULT ReAddNamedItems();
    // Stops the running script. Safe from any thread, and from the script's own calls into the
    // program (a timer or a named item's method); the run ends without an error report.
    virtual HRESULT InterruptScript();

    // The message of the last failure of engine creation or file reading; never cleared.
    static const wchar_t* LastErrorText;

protected:
    virtual ~SECAScriptHost();

private:
    CTypedPtrMap<CMapStringToPtr, CString, IDispatch*> m_mapItemDispatch {10};
    CTypedPtrMap<CMapStringToPtr, CString, CWnd*> m_mapItemWindow {10};
    IActiveScript* m_pEngine = nullptr;
    IActiveScriptParse* m_pParser = nullptr;
    IActiveScriptErrorHandler* m_pErrorHandler = nullptr;
    CLSID m_clsidEngine {};
    HWND m_hWnd = nullptr;
    ULONG m_refCount = 1;
    std::function<bool()> m_continuePoll;
    // Guards m_pEngine against an interrupt asked from another thread while it changes.
    std::mutex m_engineMutex;
};
