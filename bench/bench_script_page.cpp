// The VBScript page of the program on the headless display with a 20 MB script loaded through the
// page's own Load Content: the resident memory the loaded and painted page adds (loaded_mib; target
// at most three times the file's size), for a script of 400,000 lines, one of 650,000 shorter
// ones and one of a single 20 MB line; and what stays of it once a small script replaces the large
// one (after_small_mib; target: nothing, within a few MiB).

#include "app/VBScriptView.h"
#include "bench/HeadlessProgram.h"
#include "bench/ScriptFiles.h"

#include <benchmark/benchmark.h>

#include <fstream>

namespace {

std::filesystem::path SmallScript()
{
    const auto path = std::filesystem::temp_directory_path() / "fln-bench-script-page-small.vbs";
    std::ofstream(path, std::ios::binary) << "Option Explicit\r\nFLN.Formula = \"1+2\"\r\n";
    return path;
}

class Program : public bench::HeadlessProgram {
public:
    Program() : HeadlessProgram("bench-script-page"), scriptTab(FindTab<CVBScriptView>())
    {
        if (scriptTab < 0)
            return;
        ShowTab(scriptTab);
        Page().SetFilePrompt([this](CString& fileName, UINT, BOOL) {
            fileName = CString(file.string().c_str());
            return TRUE;
        });
    }
    CVBScriptView& Page() { return *static_cast<CVBScriptView*>(Frame().m_wndTab.GetPage(scriptTab)); }
    // Loads the file as Load Content does and paints the page.
    bool Load(const std::filesystem::path& path)
    {
        file = path;
        const bool loaded = Page().LoadCode();
        Pump();
        Page().UpdateWindow();
        return loaded;
    }

    int scriptTab = -1;
    std::filesystem::path file;
};

void PageMemory(benchmark::State& state, std::filesystem::path (*script)())
{
    static Program program;
    if (!program.started || program.scriptTab < 0) {
        state.SkipWithError("the program did not start with a VBScript page");
        return;
    }
    const std::filesystem::path large = script();
    for (auto _ : state) {
        program.Load(SmallScript());
        const double before = bench::ResidentMiB();
        if (!program.Load(large)) {
            state.SkipWithError("the script did not load");
            return;
        }
        const double loaded = bench::ResidentMiB();
        program.Load(SmallScript());
        const double afterSmall = bench::ResidentMiB();
        state.counters["file_mib"] = bench::FileMiB(large);
        state.counters["loaded_mib"] = loaded - before;
        state.counters["after_small_mib"] = afterSmall - before;
    }
}
BENCHMARK_CAPTURE(PageMemory, Lines, bench::ScriptFile)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(PageMemory, ShortLines, bench::ShortLinesFile)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(PageMemory, OneLine, bench::LongLineFile)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
