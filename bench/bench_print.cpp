// Printing the code editor's script to the PDF printer under the headless display, at 80 pages (a
// long script a user prints), at 800 (ten times that) and at 10,200 (the longest a user has printed):
// the time a page takes (ms_per_page; target: no more than the screen takes to draw as many rows,
// ScreenPage below) and the resident memory the run reaches above where it began (peak_mib; target:
// flat per page, so about the same at every length, kib_per_page falling as the pages grow; the
// floor is one page's pixels at the printer's 600 dpi). ScreenPage paints the editor's window
// holding as many rows as a printed page, its text invalidated each time.

#include "bench/ScriptFiles.h"
#include "editor/EditView.h"
#include "editor/LangConfigStorage.h"
#include "platform/base/MessageBox.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/Print.h"
#include "platform/mfc/WinApp.h"
#include "platform/print/Printers.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using bench::ResidentMiB;

// Rows of a printed page: A4 at 600 dpi in the editor's 10-point font.
constexpr int RowsPerPrintedPage = 62;

// The editor's view, counting the pages it prints.
class CountingView : public SECEditView {
public:
    void OnPrint(CDC* dc, CPrintInfo* info) override
    {
        ++pagesPrinted;
        pageCount = info->GetMaxPage();
        SECEditView::OnPrint(dc, info);
    }
    int pagesPrinted = 0;
    UINT pageCount = 0;
};

// One frame with the view on a script of `lines` lines of statements, each about 60 characters.
struct Window {
    explicit Window(int lines)
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        SetMessageBoxHandler([](const wchar_t*, const wchar_t*, UINT) { return IDOK; });
        static const bool registered = [] {
            auto* reader = new SECEditLangConfigIniReader(CString(FLN_VBSCRIPT_INI));
            SECEditLangConfig::RegisterLanguage(L"VBScript", reader, nullptr);
            reader->Release();
            return true;
        }();
        (void)registered;
        edit.InitializeContent(L"VBScript");
        std::wstring text;
        for (int i = 0; i < lines; ++i)
            text += L"If value" + std::to_wstring(i) + L" > 17 Then total = total + Len(\"text\") ' line\r\n";
        edit.SetText(text.c_str());
        frame.CreateEx(0, nullptr, L"Bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr);
        app.m_pMainWnd = &frame;
        view = new CountingView;
        view->SetEdit(&edit);
        view->CreateEditWindow(&frame, CRect(0, 0, 780, 560), 1, WS_CHILD | WS_VISIBLE);
        view->OnInitialUpdate();
        Pump();
    }
    ~Window()
    {
        AfxSelectPrinter(nullptr, nullptr);
        frame.DestroyWindow();
    }
    static void Pump()
    {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }

    fln::print::ScopedPrinterList printers { { { fln::print::kPdfPrinterName, L"", true, true } } };
    CWinApp app { L"BenchPrint" };
    SECEdit edit;
    CWnd frame;
    CountingView* view = nullptr;
};

void PrintPages(benchmark::State& state)
{
    const int pages = static_cast<int>(state.range(0));
    const auto output = std::filesystem::temp_directory_path() / "fln-bench-print.pdf";
    for (auto _ : state) {
        Window window(pages * RowsPerPrintedPage);
        AfxSelectPrinter(fln::print::NewDevNames(fln::print::kPdfPrinterName, output.wstring(), false), nullptr);
        const double before = ResidentMiB();
        bench::ResetResidentPeak();
        const auto start = std::chrono::steady_clock::now();
        window.view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        const double peak = ResidentMiB("VmHWM:") - before;
        const int printed = window.view->pagesPrinted;
        if (printed == 0 || static_cast<UINT>(printed) != window.view->pageCount || !std::filesystem::exists(output))
            state.SkipWithError("the script did not print whole");
        state.counters["pages"] = printed;
        state.counters["ms_per_page"] = seconds * 1000 / std::max(printed, 1);
        state.counters["peak_mib"] = peak;
        state.counters["kib_per_page"] = peak * 1024 / std::max(printed, 1);
    }
    std::filesystem::remove(output);
}
BENCHMARK(PrintPages)->ArgName("pages")->Arg(80)->Arg(800)->Arg(10200)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

void ScreenPage(benchmark::State& state)
{
    Window window(10 * RowsPerPrintedPage);
    const int height = RowsPerPrintedPage * window.edit.GetFontInfo()->m_nLineHeight;
    window.frame.SetWindowPos(nullptr, 0, 0, 800, height + 40, SWP_NOZORDER);
    window.view->MoveWindow(0, 0, 780, height);
    window.Pump();
    for (auto _ : state) {
        window.view->Invalidate(FALSE);
        window.view->UpdateWindow();
    }
    state.counters["rows"] = RowsPerPrintedPage;
}
BENCHMARK(ScreenPage)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
