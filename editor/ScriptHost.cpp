#include "editor/ScriptHost.h"

#include "editor/ScriptNamedItems.h"
#include "platform/base/ErrorCodes.h"
#include "platform/base/NativePath.h"
#include "platform/com/Automation.h"
#include "platform/com/ClassRegistry.h"
#include "platform/mfc/Wnd.h"

#include <cstdio>
#include <memory>
#include <new>
#include <sys/stat.h>

namespace {

constexpr const wchar_t* kVBScriptClassId = L"{B54F3741-5B07-11cf-A4B0-00AA004A55E8}";
constexpr const wchar_t* kJScriptClassId = L"{F414C260-6AC0-11CF-B6D1-00AA00BBBB58}";

constexpr HRESULT HResultFromSystemError(LONG error)
{
    return static_cast<HRESULT>(0x80070000u | (static_cast<DWORD>(error) & 0xFFFF));
}

// The whole file as bytes, or the failure: a file that is missing, or one that cannot be read.
struct FileBytes {
    std::string bytes;
    HRESULT status = S_OK;
};

FileBytes ReadWholeFile(LPCOLESTR path)
{
    FileBytes file;
    std::string narrowPath = NativePath(path);
    struct stat status {};
    if (::stat(narrowPath.c_str(), &status) != 0) {
        file.status = HResultFromSystemError(ERROR_FILE_NOT_FOUND);
        return file;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> stream(std::fopen(narrowPath.c_str(), "rb"), &std::fclose);
    if (!stream || S_ISDIR(status.st_mode)) {
        SECAScriptHost::LastErrorText = L"File error";
        file.status = E_FAIL;
        return file;
    }
    file.bytes.resize(static_cast<size_t>(status.st_size));
    size_t read = std::fread(file.bytes.data(), 1, file.bytes.size(), stream.get());
    if (read != file.bytes.size() || std::ferror(stream.get())) {
        SECAScriptHost::LastErrorText = L"File error";
        file.status = E_FAIL;
    }
    return file;
}

} // namespace

const wchar_t* SECAScriptHost::LastErrorText = nullptr;

SECAScriptHost::SECAScriptHost(IActiveScriptErrorHandler* handler)
    : m_pErrorHandler(handler)
{
}

SECAScriptHost::~SECAScriptHost()
{
    POSITION position = m_mapItemDispatch.GetStartPosition();
    while (position) {
        CString name;
        IDispatch* item = nullptr;
        m_mapItemDispatch.GetNextAssoc(position, name, item);
        if (item)
            item->Release();
    }
    position = m_mapItemWindow.GetStartPosition();
    while (position) {
        CString name;
        CWnd* window = nullptr;
        m_mapItemWindow.GetNextAssoc(position, name, window);
        if (!window)
            continue;
        if (::IsWindow(window->GetSafeHwnd())) {
            window->SendMessage(WM_KILLFOCUS, 0, 0);
            window->DestroyWindow();
        }
        delete window;
    }
    m_mapItemDispatch.RemoveAll();
    m_mapItemWindow.RemoveAll();
}

// ---- IUnknown ----------------------------------------------------------------------------------

HRESULT SECAScriptHost::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_INVALIDARG;
    if (riid == IID_IUnknown || riid == IID_IActiveScriptSite)
        *ppv = static_cast<IActiveScriptSite*>(this);
    else if (riid == IID_IActiveScriptSiteWindow)
        *ppv = static_cast<IActiveScriptSiteWindow*>(this);
    else if (riid == IID_IActiveScriptSiteInterruptPoll)
        *ppv = static_cast<IActiveScriptSiteInterruptPoll*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG SECAScriptHost::AddRef()
{
    return ++m_refCount;
}

ULONG SECAScriptHost::Release()
{
    if (--m_refCount == 0) {
        delete this;
        return 0;
    }
    return m_refCount;
}

// ---- IActiveScriptSite -------------------------------------------------------------------------

HRESULT SECAScriptHost::GetLCID(LCID* plcid)
{
    if (!plcid)
        return E_POINTER;
    *plcid = 0;
    return S_OK;
}

HRESULT SECAScriptHost::GetItemInfo(LPCOLESTR pstrName, DWORD dwReturnMask, IUnknown** ppiunkItem, ITypeInfo** ppti)
{
    const bool wantsTypeInfo = dwReturnMask & SCRIPTINFO_ITYPEINFO;
    const bool wantsObject = dwReturnMask & SCRIPTINFO_IUNKNOWN;
    if (wantsTypeInfo) {
        if (!ppti)
            return E_INVALIDARG;
        *ppti = nullptr;
    }
    if (wantsObject) {
        if (!ppiunkItem)
            return E_INVALIDARG;
        *ppiunkItem = nullptr;
    }

    IDispatch* item = nullptr;
    if (!pstrName || !m_mapItemDispatch.Lookup(pstrName, item) || !item)
        return TYPE_E_ELEMENTNOTFOUND;

    if (wantsTypeInfo) {
        ITypeInfo* typeInfo = nullptr;
        if (FAILED(item->GetTypeInfo(0, 0, &typeInfo)))
            return TYPE_E_ELEMENTNOTFOUND;
        *ppti = typeInfo;
    }
    if (wantsObject) {
        // The item's identity is its class-information part, through which the engine reaches
        // the published object's own dispatch interface.
        if (FAILED(item->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ppiunkItem))))
            return TYPE_E_ELEMENTNOTFOUND;
    }
    return S_OK;
}

HRESULT SECAScriptHost::GetDocVersionString(BSTR*)
{
    return E_NOTIMPL;
}

HRESULT SECAScriptHost::OnScriptTerminate(const VARIANT*, const EXCEPINFO*)
{
    return S_OK;
}

HRESULT SECAScriptHost::OnStateChange(SCRIPTSTATE)
{
    return S_OK;
}

HRESULT SECAScriptHost::OnScriptError(IActiveScriptError* pscripterror)
{
    if (m_pErrorHandler)
        return m_pErrorHandler->OnScriptError(pscripterror);
    return S_OK;
}

HRESULT SECAScriptHost::OnEnterScript()
{
    return S_OK;
}

HRESULT SECAScriptHost::OnLeaveScript()
{
    return S_OK;
}

// ---- IActiveScriptSiteWindow -------------------------------------------------------------------

HRESULT SECAScriptHost::GetWindow(HWND* phwnd)
{
    if (!phwnd)
        return E_INVALIDARG;
    *phwnd = m_hWnd;
    return S_OK;
}

HRESULT SECAScriptHost::EnableModeless(BOOL)
{
    return S_OK;
}

// ---- the host's own operations -----------------------------------------------------------------

HRESULT SECAScriptHost::CreateEngine(BOOL jscript)
{
    CLSID clsid {};
    HRESULT hr = CLSIDFromString(jscript ? kJScriptClassId : kVBScriptClassId, &clsid);
    if (FAILED(hr))
        return hr;
    return CreateEngineFromCLSID(clsid);
}

HRESULT SECAScriptHost::CreateEngineFromCLSID(CLSID clsid)
{
    if (m_pEngine)
        return S_FALSE;
    m_clsidEngine = clsid;
    IActiveScript* engine = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                                reinterpret_cast<void**>(&engine))) || !engine) {
        LastErrorText = L"Creating the ActiveX Scripting engine failed.  Scripting engine is probably not "
                        L"correctly registered or CLSID incorrect.";
        return E_FAIL;
    }
    {
        std::lock_guard lock(m_engineMutex);
        m_pEngine = engine;
    }

    HRESULT hr = m_pEngine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&m_pParser));
    if (FAILED(hr) || !m_pParser) {
        m_pParser = nullptr;
        LastErrorText = L"ActiveX Scripting engine does not support IActiveScriptParse";
        return FAILED(hr) ? hr : E_NOINTERFACE;
    }
    hr = m_pEngine->SetScriptSite(static_cast<IActiveScriptSite*>(this));
    if (FAILED(hr))
        return hr;
    return m_pParser->InitNew();
}

HRESULT SECAScriptHost::Close()
{
    if (m_pParser) {
        m_pParser->Release();
        m_pParser = nullptr;
    }
    // The engine stays reachable while it closes: the code the script's objects run on their way
    // out is interrupted as the run's own code is.
    if (ComPtr<IActiveScript> closing(m_pEngine); closing)
        closing->Close();
    IActiveScript* engine = nullptr;
    {
        std::lock_guard lock(m_engineMutex);
        engine = std::exchange(m_pEngine, nullptr);
    }
    if (engine)
        engine->Release();
    return S_OK;
}

HRESULT SECAScriptHost::AddNamedItem(LPCOLESTR name, IUnknown* object, CWnd* window, DWORD flags)
{
    if (!name || !object)
        return E_INVALIDARG;
    IDispatch* existing = nullptr;
    if (m_mapItemDispatch.Lookup(name, existing))
        return E_INVALIDARG;
    if (!m_pEngine)
        return E_FAIL;

    // The caller's pointer need not carry a reference of its own: the host works with the
    // object's identity and leaves its count as it was.
    IUnknown* identity = nullptr;
    HRESULT hr = object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    if (FAILED(hr) || !identity)
        return FAILED(hr) ? hr : E_NOINTERFACE;
    identity->Release();

    auto* item = new SECATopLevelItem(identity);
    m_mapItemDispatch.SetAt(name, item->GetIDispatch(FALSE));
    m_mapItemWindow.SetAt(name, window);
    return m_pEngine->AddNamedItem(name, flags);
}

HRESULT SECAScriptHost::ReAddNamedItems()
{
    if (!m_pEngine)
        return E_FAIL;
    POSITION position = m_mapItemDispatch.GetStartPosition();
    while (position) {
        CString name;
        IDispatch* item = nullptr;
        m_mapItemDispatch.GetNextAssoc(position, name, item);
        if (name.IsEmpty())
            continue;
        BSTR copy = SysAllocString(name);
        m_pEngine->AddNamedItem(copy, SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE);
        SysFreeString(copy);
    }
    return S_OK;
}

HRESULT SECAScriptHost::ParseScriptText(LPCOLESTR text, int, LPCOLESTR itemName)
{
    if (!text || !*text)
        return S_OK;
    if (!m_pEngine || !m_pParser)
        return E_FAIL;
    EXCEPINFO exception {};
    HRESULT hr = m_pParser->ParseScriptText(text, itemName, nullptr, nullptr, 0, 0, 0, nullptr, &exception);
    ClearExcepInfo(&exception);
    return hr;
}

HRESULT SECAScriptHost::ParseScriptFile(LPCOLESTR path, LPCOLESTR itemName)
{
    if (!path || !*path)
        return E_INVALIDARG;
    std::wstring text;
    size_t byteCount = 0;
    try {
        FileBytes file = ReadWholeFile(path);
        if (FAILED(file.status))
            return file.status;
        // Text ends at the first zero byte, as for any zero-terminated script text.
        byteCount = std::char_traits<char>::length(file.bytes.c_str());
        file.bytes.resize(byteCount);
        text = NarrowToWide(file.bytes);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;  // a file too large to hold
    }
    return ParseScriptText(text.c_str(), static_cast<int>(byteCount), itemName);
}

HRESULT SECAScriptHost::SetScriptState(SCRIPTSTATE state)
{
    if (!m_pEngine)
        return E_FAIL;
    return m_pEngine->SetScriptState(state);
}

HRESULT SECAScriptHost::GetScriptState(SCRIPTSTATE* state)
{
    if (!m_pEngine)
        return E_FAIL;
    return m_pEngine->GetScriptState(state);
}

HRESULT SECAScriptHost::SetWindow(CWnd* window)
{
    if (!window)
        return S_FALSE;
    return SetWindowHandle(window->GetSafeHwnd());
}

HRESULT SECAScriptHost::SetWindowHandle(HWND window)
{
    m_hWnd = window;
    return S_OK;
}

HRESULT SECAScriptHost::QueryContinue()
{
    return !m_continuePoll || m_continuePoll() ? S_OK : S_FALSE;
}

HRESULT SECAScriptHost::InterruptScript()
{
    std::lock_guard lock(m_engineMutex);
    if (!m_pEngine)
        return E_FAIL;
    return m_pEngine->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, 0);
}
