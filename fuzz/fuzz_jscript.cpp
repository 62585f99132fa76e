// Prepares, parses and runs arbitrary JScript text through the engine's interfaces, with a step
// limit so that endless work ends, and with a regular-expression object published as "re" so that
// scripts reach an automation object. Preparing the text must never move a line.

#include "platform/base/CString.h"
#include "platform/com/Automation.h"
#include "platform/com/ClassRegistry.h"
#include "platform/script/JScriptEngine.h"
#include "platform/script/JScriptSource.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

class FuzzSite final : public IActiveScriptSite {
public:
    IDispatch* published = nullptr;

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IActiveScriptSite) {
            *ppv = static_cast<IActiveScriptSite*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT GetLCID(LCID* lcid) override { *lcid = 0; return S_OK; }
    HRESULT GetItemInfo(LPCOLESTR name, DWORD, IUnknown** unknown, ITypeInfo**) override
    {
        if (!unknown || std::wstring_view(name) != L"re" || !published)
            return TYPE_E_ELEMENTNOTFOUND;
        published->AddRef();
        *unknown = published;
        return S_OK;
    }
    HRESULT GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT OnScriptError(IActiveScriptError* error) override
    {
        EXCEPINFO info {};
        error->GetExceptionInfo(&info);
        ClearExcepInfo(&info);
        BSTR line = nullptr;
        error->GetSourceLineText(&line);
        SysFreeString(line);
        return S_OK;
    }
    HRESULT OnEnterScript() override { return S_OK; }
    HRESULT OnLeaveScript() override { return S_OK; }
};

size_t LineBreaks(std::wstring_view text)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), L'\n'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static bool initialised = [] {
        RegisterScriptClasses();
        return true;
    }();
    (void)initialised;
    std::wstring text = NarrowToWide(std::string_view(reinterpret_cast<const char*>(data), size));
    if (LineBreaks(jscript::InstrumentSource(text)) != LineBreaks(text))
        std::abort();

    FuzzSite site;
    CoCreateInstance(CLSID_RegExp, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&site.published));
    IActiveScript* engine = jscript::CreateEngine();
    jscript::SetEngineStepLimit(engine, 20000);
    IActiveScriptParse* parser = nullptr;
    engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parser));
    engine->SetScriptSite(&site);
    parser->InitNew();
    engine->AddNamedItem(L"re", SCRIPTITEM_ISVISIBLE);
    parser->ParseScriptText(text.c_str(), nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr);
    engine->SetScriptState(SCRIPTSTATE_STARTED);
    engine->SetScriptState(SCRIPTSTATE_CLOSED);
    parser->Release();
    engine->Close();
    engine->Release();
    if (site.published)
        site.published->Release();
    return 0;
}
