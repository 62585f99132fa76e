// The Formula page's "=" from the key press to the pixels: Enter in the formula input, the
// calculation with its verification, the result texts and every paint they cause, until no
// message waits, on the headless display. Also reported: the page's paints per "=".
// Target: under 2 ms.

#include "app/FlnView.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/Frame.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/tests/TempSettingsFolder.h"
#include "platform/user/WinUser.h"
#include "res/FormulaPage.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class BenchFrame : public CFrameWnd {
    DECLARE_DYNCREATE(BenchFrame)
};
class BenchDocument : public CDocument {
    DECLARE_DYNCREATE(BenchDocument)
};
IMPLEMENT_DYNCREATE(BenchFrame, CFrameWnd)
IMPLEMENT_DYNCREATE(BenchDocument, CDocument)

HWND g_page = nullptr;
long g_paints = 0;

bool OnPage(HWND window)
{
    return window == g_page || ::IsChild(g_page, window);
}

LRESULT CountSentPaint(int code, WPARAM wParam, LPARAM lParam)
{
    if (const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam); call->message == WM_PAINT && OnPage(call->hwnd))
        ++g_paints;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// Dispatches what waits as the application's loop does, counting the page's paints.
void Pump(CWinApp& app)
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_PAINT && OnPage(message.hwnd))
            ++g_paints;
        if (app.PreTranslateMessage(&message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

void EqualsKeyToPixels(benchmark::State& state)
{
    TempSettingsFolder settings;
    auto display = std::make_unique<HeadlessDisplay>();
    HeadlessDisplay* headless = display.get();
    SetCurrentDisplay(std::move(display));
    InitCommonControls();
    auto app = std::make_unique<CWinApp>(L"FLN");
    app->AddDocTemplate(new CSingleDocTemplate(0, RUNTIME_CLASS(BenchDocument), RUNTIME_CLASS(BenchFrame),
        RUNTIME_CLASS(CFlnView)));
    app->OnFileNew();
    auto* frame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
    auto* view = frame ? dynamic_cast<CFlnView*>(frame->GetActiveView()) : nullptr;
    if (!view) {
        state.SkipWithError("the page could not be made");
        return;
    }
    view->ResizeParentToFit(FALSE);
    frame->ShowWindow(SW_SHOW);
    Pump(*app);
    HWND formula = ::GetDlgItem(view->m_hWnd, IDC_FORMULA);
    ::SetWindowTextW(formula, L"{x^2 + exp[a * log(abs(x))]} * sin(x)");
    ::SetFocus(formula);
    Pump(*app);

    g_page = view->m_hWnd;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &CountSentPaint, nullptr, 0);
    g_paints = 0;
    for (auto _ : state) {
        headless->InjectKey(VK_RETURN, true);
        headless->InjectKey(VK_RETURN, false);
        Pump(*app);
    }
    ::UnhookWindowsHookEx(hook);
    state.counters["page_paints"] = benchmark::Counter(static_cast<double>(g_paints), benchmark::Counter::kAvgIterations);

    while (HWND window = ::GetTopWindow(nullptr))
        ::DestroyWindow(window);
    Pump(*app);
}

} // namespace

BENCHMARK(EqualsKeyToPixels)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
