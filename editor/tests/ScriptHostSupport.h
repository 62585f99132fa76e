#pragma once
// Shared by the script host tests: a calculator-like automation object to publish as a named
// item, and an error handler that reads each error the way the VBScript page does.

#include "editor/ScriptHost.h"
#include "platform/com/AutomationObject.h"

#include <atomic>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Published as "FLN": Value (property), Add(a, b), Twice(ByRef x), Fail(), Ready(), Tick().
class TestCalculator final : public AutomationObject {
public:
    double value = 0;
    std::atomic<bool> ready {false};
    int ticks = 0;
    std::function<void()> onReady;  // runs inside the script's call of Ready
    std::function<void()> onTick;   // runs inside the script's call of Tick

    static TestCalculator* Create() { return new TestCalculator; }

private:
    TestCalculator()
    {
        AddMember(L"Value", 1, [this](Call& call) {
            if (call.IsPut())
                return call.Number(0, value);
            call.ReturnDouble(value);
            return S_OK;
        });
        AddMember(L"Add", 2, [](Call& call) {
            double a = 0, b = 0;
            if (HRESULT hr = call.Number(0, a); FAILED(hr))
                return hr;
            if (HRESULT hr = call.Number(1, b); FAILED(hr))
                return hr;
            call.ReturnDouble(a + b);
            return S_OK;
        });
        AddMember(L"Twice", 3, [](Call& call) {
            double x = 0;
            if (HRESULT hr = call.Number(0, x); FAILED(hr))
                return hr;
            VARIANT doubled;
            VariantInit(&doubled);
            doubled.vt = VT_R8;
            doubled.dblVal = 2 * x;
            return call.WriteBack(0, doubled);
        });
        AddMember(L"Fail", 4, [](Call& call) { return call.Raise(1001, L"The calculator refused", L"FLN"); });
        AddMember(L"Ready", 5, [this](Call&) {
            ready = true;
            if (onReady)
                onReady();
            return S_OK;
        });
        AddMember(L"Tick", 6, [this](Call&) {
            ++ticks;
            if (onTick)
                onTick();
            return S_OK;
        });
    }
};

// One error as the page shows it: number, description, 1-based line and character.
struct PageError {
    int number = 0;
    std::wstring description;
    int line = 0;
    int character = 0;
    std::wstring sourceLine;

    bool operator==(const PageError&) const = default;
    friend void PrintTo(const PageError& e, std::ostream* out)
    {
        *out << e.number << " '" << WideToUtf8(e.description) << "' line " << e.line << " char " << e.character
             << " '" << WideToUtf8(e.sourceLine) << "'";
    }
};

class PageErrorHandler final : public IActiveScriptErrorHandler {
public:
    std::vector<PageError> errors;

    HRESULT OnScriptError(IActiveScriptError* error) override
    {
        EXCEPINFO info {};
        if (HRESULT hr = error->GetExceptionInfo(&info); FAILED(hr))
            return hr;
        DWORD context = 0;
        ULONG line = 0;
        LONG character = 0;
        if (HRESULT hr = error->GetSourcePosition(&context, &line, &character); FAILED(hr)) {
            ClearExcepInfo(&info);
            return hr;
        }
        PageError shown;
        shown.number = info.wCode;
        shown.description = BstrView(info.bstrDescription);
        shown.line = static_cast<int>(line) + 1;
        shown.character = character;
        BSTR sourceLine = nullptr;
        if (SUCCEEDED(error->GetSourceLineText(&sourceLine)))
            shown.sourceLine = BstrView(sourceLine);
        SysFreeString(sourceLine);
        ClearExcepInfo(&info);
        errors.push_back(shown);
        return S_OK;
    }
};

// The page's calls for one run, on a host the test may also reach (to interrupt it).
struct PageRun {
    HRESULT parse = S_OK;
    HRESULT start = S_OK;
};

inline PageRun RunLikeThePage(const wchar_t* text, IDispatch* calculator, PageErrorHandler& handler, BOOL jscript = FALSE,
                              std::function<void(SECAScriptHost*)> onHost = {})
{
    RegisterScriptClasses();
    auto* host = new SECAScriptHost(&handler);
    if (onHost)
        onHost(host);
    PageRun run;
    host->CreateEngine(jscript);
    host->AddNamedItem(L"FLN", calculator, nullptr, SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE);
    run.parse = host->ParseScriptText(text, static_cast<int>(std::wcslen(text)), nullptr);
    run.start = host->SetScriptState(SCRIPTSTATE_STARTED);
    host->SetScriptState(SCRIPTSTATE_CLOSED);
    host->Close();
    host->Release();
    return run;
}
