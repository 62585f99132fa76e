#pragma once
// The scripting-engine interfaces: an engine (IActiveScript, IActiveScriptParse) runs script text
// for a host that implements IActiveScriptSite and learns of errors through IActiveScriptError.

#include "platform/com/Interfaces.h"

enum SCRIPTSTATE : int {
    SCRIPTSTATE_UNINITIALIZED = 0,
    SCRIPTSTATE_STARTED = 1,
    SCRIPTSTATE_CONNECTED = 2,
    SCRIPTSTATE_DISCONNECTED = 3,
    SCRIPTSTATE_CLOSED = 4,
    SCRIPTSTATE_INITIALIZED = 5,
};

enum SCRIPTTHREADSTATE : int {
    SCRIPTTHREADSTATE_NOTINSCRIPT = 0,
    SCRIPTTHREADSTATE_RUNNING = 1,
};

using SCRIPTTHREADID = DWORD;
constexpr SCRIPTTHREADID SCRIPTTHREADID_CURRENT = 0xFFFFFFFD;
constexpr SCRIPTTHREADID SCRIPTTHREADID_BASE = 0xFFFFFFFE;
constexpr SCRIPTTHREADID SCRIPTTHREADID_ALL = 0xFFFFFFFF;

constexpr DWORD SCRIPTITEM_ISVISIBLE = 0x2;
constexpr DWORD SCRIPTITEM_ISSOURCE = 0x4;
constexpr DWORD SCRIPTITEM_GLOBALMEMBERS = 0x8;
constexpr DWORD SCRIPTITEM_ISPERSISTENT = 0x40;
constexpr DWORD SCRIPTITEM_CODEONLY = 0x200;
constexpr DWORD SCRIPTITEM_NOCODE = 0x400;

constexpr DWORD SCRIPTINFO_IUNKNOWN = 0x1;
constexpr DWORD SCRIPTINFO_ITYPEINFO = 0x2;

constexpr DWORD SCRIPTTEXT_ISVISIBLE = 0x2;
constexpr DWORD SCRIPTTEXT_ISEXPRESSION = 0x20;
constexpr DWORD SCRIPTTEXT_ISPERSISTENT = 0x40;

constexpr DWORD SCRIPTINTERRUPT_DEBUG = 0x1;
constexpr DWORD SCRIPTINTERRUPT_RAISEEXCEPTION = 0x2;

// Returned by an engine for an error it has already handed to the site's OnScriptError.
constexpr HRESULT SCRIPT_E_REPORTED = static_cast<HRESULT>(0x80020101);

struct IActiveScriptError : IUnknown {
    virtual HRESULT GetExceptionInfo(EXCEPINFO* pexcepinfo) = 0;
    // line counts from 0; the character position counts from 1 (0 when the error has no column).
    virtual HRESULT GetSourcePosition(DWORD* pdwSourceContext, ULONG* pulLineNumber, LONG* plCharacterPosition) = 0;
    virtual HRESULT GetSourceLineText(BSTR* pbstrSourceLine) = 0;
};

struct IActiveScriptSite : IUnknown {
    virtual HRESULT GetLCID(LCID* plcid) = 0;
    virtual HRESULT GetItemInfo(LPCOLESTR pstrName, DWORD dwReturnMask, IUnknown** ppiunkItem, ITypeInfo** ppti) = 0;
    virtual HRESULT GetDocVersionString(BSTR* pbstrVersion) = 0;
    virtual HRESULT OnScriptTerminate(const VARIANT* pvarResult, const EXCEPINFO* pexcepinfo) = 0;
    virtual HRESULT OnStateChange(SCRIPTSTATE ssScriptState) = 0;
    virtual HRESULT OnScriptError(IActiveScriptError* pscripterror) = 0;
    virtual HRESULT OnEnterScript() = 0;
    virtual HRESULT OnLeaveScript() = 0;
};

struct IActiveScriptSiteWindow : IUnknown {
    virtual HRESULT GetWindow(HWND* phwnd) = 0;
    virtual HRESULT EnableModeless(BOOL fEnable) = 0;
};

// Offered by a site that wants to be asked, while a script runs, whether it should go on: about
// every 10 ms of a run the engine calls QueryContinue (S_OK goes on, S_FALSE ends the run without an
// error report). A host on the window thread dispatches its messages there, so that its window
// keeps painting and can interrupt the script.
struct IActiveScriptSiteInterruptPoll : IUnknown {
    virtual HRESULT QueryContinue() = 0;
};

struct IActiveScript : IUnknown {
    virtual HRESULT SetScriptSite(IActiveScriptSite* pass) = 0;
    virtual HRESULT GetScriptSite(REFIID riid, void** ppvObject) = 0;
    virtual HRESULT SetScriptState(SCRIPTSTATE ss) = 0;
    virtual HRESULT GetScriptState(SCRIPTSTATE* pssState) = 0;
    virtual HRESULT Close() = 0;
    virtual HRESULT AddNamedItem(LPCOLESTR pstrName, DWORD dwFlags) = 0;
    virtual HRESULT AddTypeLib(REFGUID rguidTypeLib, DWORD dwMajor, DWORD dwMinor, DWORD dwFlags) = 0;
    virtual HRESULT GetScriptDispatch(LPCOLESTR pstrItemName, IDispatch** ppdisp) = 0;
    virtual HRESULT GetCurrentScriptThreadID(SCRIPTTHREADID* pstidThread) = 0;
    virtual HRESULT GetScriptThreadID(DWORD dwWin32ThreadId, SCRIPTTHREADID* pstidThread) = 0;
    virtual HRESULT GetScriptThreadState(SCRIPTTHREADID stidThread, SCRIPTTHREADSTATE* pstsState) = 0;
    // Ends the running script; may be called from any thread, or from inside the script's own calls.
    virtual HRESULT InterruptScriptThread(SCRIPTTHREADID stidThread, const EXCEPINFO* pexcepinfo, DWORD dwFlags) = 0;
    virtual HRESULT Clone(IActiveScript** ppscript) = 0;
};

struct IActiveScriptParse : IUnknown {
    virtual HRESULT InitNew() = 0;
    virtual HRESULT AddScriptlet(LPCOLESTR pstrDefaultName, LPCOLESTR pstrCode, LPCOLESTR pstrItemName,
                                 LPCOLESTR pstrSubItemName, LPCOLESTR pstrEventName, LPCOLESTR pstrDelimiter,
                                 DWORD dwSourceContextCookie, ULONG ulStartingLineNumber, DWORD dwFlags,
                                 BSTR* pbstrName, EXCEPINFO* pexcepinfo) = 0;
    virtual HRESULT ParseScriptText(LPCOLESTR pstrCode, LPCOLESTR pstrItemName, IUnknown* punkContext,
                                    LPCOLESTR pstrDelimiter, DWORD dwSourceContextCookie, ULONG ulStartingLineNumber,
                                    DWORD dwFlags, VARIANT* pvarResult, EXCEPINFO* pexcepinfo) = 0;
};

extern const IID IID_IActiveScript;
extern const IID IID_IActiveScriptParse;
extern const IID IID_IActiveScriptSite;
extern const IID IID_IActiveScriptSiteWindow;
extern const IID IID_IActiveScriptSiteInterruptPoll;
extern const IID IID_IActiveScriptError;

extern const CLSID CLSID_VBScript;  // {B54F3741-5B07-11cf-A4B0-00AA004A55E8}
extern const CLSID CLSID_JScript;   // {F414C260-6AC0-11CF-B6D1-00AA00BBBB58}
extern const CLSID CLSID_RegExp;    // "VBScript.RegExp"

// Registers the VBScript engine (ProgID "VBScript"), the JScript engine (ProgID "JScript") and the
// regular-expression object (ProgID "VBScript.RegExp") with the class registry. Start-up calls it
// once; calling again is harmless.
void RegisterScriptClasses();
