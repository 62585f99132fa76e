// Speed of the script engine on a counting loop and on building a string, run through the
// engine's interfaces as the script page runs a program. Target: the counting loop of
// 1,000,000 turns under 0.3 s in a release build.

#include "platform/com/Automation.h"
#include "platform/script/VbsEngine.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

class QuietSite final : public IActiveScriptSite {
public:
    int errors = 0;
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
    HRESULT GetItemInfo(LPCOLESTR, DWORD, IUnknown**, ITypeInfo**) override { return TYPE_E_ELEMENTNOTFOUND; }
    HRESULT GetDocVersionString(BSTR*) override { return E_NOTIMPL; }
    HRESULT OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    HRESULT OnStateChange(SCRIPTSTATE) override { return S_OK; }
    HRESULT OnScriptError(IActiveScriptError*) override { ++errors; return S_OK; }
    HRESULT OnEnterScript() override { return S_OK; }
    HRESULT OnLeaveScript() override { return S_OK; }
};

void RunScript(benchmark::State& state, const wchar_t* text)
{
    for (auto _ : state) {
        QuietSite site;
        IActiveScript* engine = vbs::CreateEngine();
        IActiveScriptParse* parser = nullptr;
        engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parser));
        engine->SetScriptSite(&site);
        parser->InitNew();
        parser->ParseScriptText(text, nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr);
        engine->SetScriptState(SCRIPTSTATE_STARTED);
        engine->Close();
        parser->Release();
        engine->Release();
        if (site.errors)
            state.SkipWithError("the script failed");
    }
}

void BM_CountingLoop(benchmark::State& state)
{
    RunScript(state, L"For i = 1 To 1000000: s = s + i: Next");
}
BENCHMARK(BM_CountingLoop)->Unit(benchmark::kMillisecond);

void BM_StringBuilding(benchmark::State& state)
{
    RunScript(state, L"s = \"\"\nFor i = 1 To 20000\n    s = s & CStr(i Mod 10)\nNext\nIf Len(s) <> 20000 Then Err.Raise 5");
}
BENCHMARK(BM_StringBuilding)->Unit(benchmark::kMillisecond);

void BM_ProcedureCalls(benchmark::State& state)
{
    RunScript(state, L"Function Add(a, b)\n Add = a + b\nEnd Function\nFor i = 1 To 200000: s = Add(s, i): Next");
}
BENCHMARK(BM_ProcedureCalls)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
