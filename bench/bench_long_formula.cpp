// "=" on the Formula page, with verification on, for formulas of 10 to 100,000 terms: a chain of
// "+", a chain of "*", and a sum of bracket groups nested 32 deep. The formula is put into the page
// as the automation object does; each iteration is one "=" (parse, evaluate, build the function
// tree, evaluate it, compare, show the texts) on the headless display. Memory is counted by this
// program's own allocator hooks: the peak heap above what the page held before "=".
// Targets: 10,000 terms under 20 ms and 10 MB; from 10,000 to 100,000 terms at most 12 times the
// time and the memory.

#include "app/FlnView.h"
#include "bench/HeapCounter.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/WinUser.h"
#include "res/FormulaPage.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

class BenchDocument : public CDocument {
    DECLARE_DYNCREATE(BenchDocument)
};
IMPLEMENT_DYNCREATE(BenchDocument, CDocument)

// X+X+...+X or X*X*...*X.
std::wstring Chain(int terms, wchar_t op)
{
    std::wstring text = L"X";
    text.reserve(static_cast<size_t>(terms) * 2);
    for (int i = 1; i < terms; ++i) {
        text += op;
        text += L'X';
    }
    return text;
}

// (X+(X+(...+(X)...))) groups of up to 32 terms, joined by "+".
std::wstring NestedGroups(int terms)
{
    constexpr int GroupTerms = 32;
    std::wstring text;
    for (int done = 0; done < terms; done += GroupTerms) {
        const int group = std::min(GroupTerms, terms - done);
        if (done > 0)
            text += L'+';
        for (int i = 1; i < group; ++i)
            text += L"(X+";
        text += L'X';
        text.append(static_cast<size_t>(group - 1), L')');
    }
    return text;
}

void PumpAll()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// The Formula page in a plain frame, which the page accepts as a host without outputs.
class FormulaPage {
public:
    FormulaPage()
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        InitCommonControls();
        m_app.AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(BenchDocument), RUNTIME_CLASS(CFrameWnd),
            RUNTIME_CLASS(CFlnView)));
        m_app.OnFileNew();
        auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
        m_view = frame ? dynamic_cast<CFlnView*>(frame->GetActiveView()) : nullptr;
        if (!m_view)
            return;
        m_view->ResizeParentToFit(FALSE);
        frame->ShowWindow(SW_SHOW);
        PumpAll();
        ::SetWindowTextW(::GetDlgItem(m_view->m_hWnd, IDC_VALUE_X), L"1");
    }

    bool IsOpen() const { return m_view != nullptr; }
    bool Verifies() const { return m_view->m_bVerify; }

    // As the automation object's Formula property does.
    void SetFormula(const std::wstring& formula)
    {
        m_view->m_strFormula = formula.c_str();
        m_view->UpdateData(FALSE);
    }

    void PressEquals()
    {
        HWND key = ::GetDlgItem(m_view->m_hWnd, IDC_KEY_EQUALS);
        ::SendMessageW(m_view->m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_KEY_EQUALS, BN_CLICKED), reinterpret_cast<LPARAM>(key));
        PumpAll();
    }

    std::wstring Output() const
    {
        HWND output = ::GetDlgItem(m_view->m_hWnd, IDC_OUTPUT);
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(output)) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(output, text.data(), static_cast<int>(text.size()))));
        return text;
    }

private:
    CWinApp m_app { L"FLN" };
    CFlnView* m_view = nullptr;
};

FormulaPage& Page()
{
    static FormulaPage page;
    return page;
}

void Equals(benchmark::State& state, std::wstring (*formulaOf)(int))
{
    FormulaPage& page = Page();
    if (!page.IsOpen() || !page.Verifies()) {
        state.SkipWithError("the Formula page could not be made with verification on");
        return;
    }
    page.SetFormula(formulaOf(static_cast<int>(state.range(0))));
    page.PressEquals();
    // Both readings agree on these formulas: "!=" would mean the tree read them otherwise.
    if (page.Output().find(L"!=") != std::wstring::npos || page.Output().find(L"Error") != std::wstring::npos) {
        state.SkipWithError("the page did not verify the formula");
        return;
    }
    const size_t before = bench::StartHeapPeak();
    for (auto _ : state)
        page.PressEquals();
    state.counters["peak_MB"] = static_cast<double>(bench::HeapPeakSince(before)) / 1e6;
}

void RegisterAll()
{
    struct Shape {
        const char* name;
        std::wstring (*formulaOf)(int);
    };
    const Shape shapes[] = {
        { "sum", [](int n) { return Chain(n, L'+'); } },
        { "product", [](int n) { return Chain(n, L'*'); } },
        { "nested", NestedGroups },
    };
    for (const Shape& shape : shapes) {
        benchmark::RegisterBenchmark((std::string("Equals/") + shape.name).c_str(), Equals, shape.formulaOf)
            ->RangeMultiplier(10)
            ->Range(10, 100000)
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // The page reads and writes its settings: keep them away from the user's.
    const auto settings = std::filesystem::temp_directory_path() / "fln-bench-formula-page";
    std::filesystem::create_directories(settings);
    setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
    benchmark::Initialize(&argc, argv);
    RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
