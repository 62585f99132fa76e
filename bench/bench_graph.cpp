// The Graph page of the program on the headless display: a full repaint of its chart (300 samples
// of the formula through the parser, ranges, axes, labels and curve) in each mode, and the time
// from a new formula on the Formula page to its chart painted on the Graph page (switching to the
// tab included). Target: a repaint under 5 ms.

#include "app/FlnView.h"
#include "bench/HeadlessProgram.h"
#include "diagrams/KSysView.h"
#include "res/FormulaPage.h"
#include "res/GraphPage.h"

#include <benchmark/benchmark.h>

namespace {

// The program with its Graph page.
class Program : public bench::HeadlessProgram {
public:
    Program() : HeadlessProgram("bench-graph"), graphTab(FindTab<CKSysView>()) {}
    CKSysView& Graph() { return *static_cast<CKSysView*>(Frame().m_wndTab.GetPage(graphTab)); }
    void SetFormula(const wchar_t* formula) { SetDlgItemTextW(app->GetFlnView()->m_hWnd, IDC_FORMULA, formula); }

    int graphTab = -1;
};

Program& TheProgram()
{
    static Program program;
    return program;
}

// Whether the page shows the curve's red: the repaints measured drew the chart.
bool ShowsCurve(CWnd& page)
{
    CRect client;
    page.GetClientRect(&client);
    HDC dc = ::GetDC(page.m_hWnd);
    bool found = false;
    for (int y = client.top; y < client.bottom && !found; ++y)
        for (int x = client.left; x < client.right && !found; ++x)
            found = ::GetPixel(dc, x, y) == RGB(255, 0, 0);
    ::ReleaseDC(page.m_hWnd, dc);
    return found;
}

void GraphRepaint(benchmark::State& state)
{
    Program& program = TheProgram();
    if (!program.started || program.graphTab < 0) {
        state.SkipWithError("the program did not start with a Graph page");
        return;
    }
    program.SetFormula(L"SIN(x)*EXP(-x/10)");
    program.ShowTab(program.graphTab);
    program.Graph().DiagramMode = static_cast<int>(state.range(0));
    for (auto _ : state) {
        program.Graph().Invalidate(TRUE);
        program.Graph().UpdateWindow();
    }
    CRect client;
    program.Graph().GetClientRect(&client);
    state.counters["width"] = client.Width();
    state.counters["height"] = client.Height();
    if (!ShowsCurve(program.Graph()))
        state.SkipWithError("the page did not paint the chart");
}
BENCHMARK(GraphRepaint)->Arg(DiagramMathematical)->Arg(DiagramPhysical)->Arg(DiagramPolar)->Unit(benchmark::kMillisecond);

void FormulaToChart(benchmark::State& state)
{
    Program& program = TheProgram();
    if (!program.started || program.graphTab < 0) {
        state.SkipWithError("the program did not start with a Graph page");
        return;
    }
    program.Graph().DiagramMode = DiagramMathematical;
    bool odd = false;
    for (auto _ : state) {
        state.PauseTiming();
        program.ShowTab(0);
        state.ResumeTiming();
        program.SetFormula((odd = !odd) ? L"SIN(x)" : L"x^3-4*x");
        program.ShowTab(program.graphTab);
        program.Graph().UpdateWindow();
    }
}
BENCHMARK(FormulaToChart)->Unit(benchmark::kMillisecond);

// What the Graph page adds to the program's start: its page window (an empty view until it is
// first painted) and its hidden tool bar with the three 32 x 32 images.
void GraphPageCreation(benchmark::State& state)
{
    Program& program = TheProgram();
    if (!program.started) {
        state.SkipWithError("the program did not start");
        return;
    }
    CMainFrame& frame = program.Frame();
    for (auto _ : state) {
        auto* view = static_cast<CKSysView*>(RUNTIME_CLASS(CKSysView)->CreateObject());
        view->Create(nullptr, L"", WS_CHILD, CRect(0, 0, 0, 0), &frame.m_wndTab, 0xE900, nullptr);
        view->OnInitialUpdate();
        SECCustomToolBar bar;
        bar.CreateEx(0x300, &frame, WS_CHILD | CBRS_RIGHT, 0xE811);
        bar.LoadToolBar(IDR_DIAGRAM_BAR);
        state.PauseTiming();
        bar.DestroyWindow();
        view->DestroyWindow();
        state.ResumeTiming();
    }
}
BENCHMARK(GraphPageCreation)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
