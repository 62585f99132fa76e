// The code editor on a large script: loading a 20 MB, 400,000-line file, colouring every line
// once, and inserting and undoing 10,000 characters. Memory is counted by this program's own
// allocator hooks, so the peak is the heap the editor holds, not the whole process.

#include "bench/HeapCounter.h"
#include "editor/Edit.h"
#include "editor/LangConfigStorage.h"
#include "platform/base/MessageBox.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int LineCount = 400000;
constexpr size_t TargetBytes = 20u * 1000u * 1000u;

std::filesystem::path LanguageFile()
{
    return std::filesystem::path(__FILE__).parent_path().parent_path() / "res" / "VBScript.ini";
}

// A script of LineCount lines padded so that the file has about TargetBytes bytes.
const std::filesystem::path& ScriptFile(bool utf16)
{
    static const std::filesystem::path paths[2] = {
        std::filesystem::temp_directory_path() / "fln-bench-editor-utf8.vbs",
        std::filesystem::temp_directory_path() / "fln-bench-editor-utf16.vbs",
    };
    const std::filesystem::path& path = paths[utf16];
    if (std::filesystem::exists(path))
        return path;
    const char* shapes[] = {
        "Dim value%d : value%d = Len(\"text %d\") + %d ' count",
        "If value%d > %d Then MsgBox \"big\" & value%d & %d",
        "REM step %d of the loop %d %d %d",
        "x%d = (y%d * 3.5) / %d - Sqr(%d)",
    };
    const size_t unit = utf16 ? 2 : 1;
    const size_t perLine = TargetBytes / LineCount / unit - 2; // characters before CR LF
    std::string text;
    text.reserve(TargetBytes / unit + LineCount);
    char line[256];
    for (int i = 0; i < LineCount; ++i) {
        int n = std::snprintf(line, sizeof line, shapes[i % 4], i, i % 97, i, i % 13);
        std::string padded(line, n);
        padded.resize(perLine, ' ');
        text += padded;
        text += "\r\n";
    }
    std::ofstream out(path, std::ios::binary);
    if (utf16) {
        std::string bytes = "\xFF\xFE";
        bytes.reserve(text.size() * 2 + 2);
        for (char ch : text) {
            bytes += ch;
            bytes += '\0';
        }
        out << bytes;
    } else {
        out << text;
    }
    return path;
}

void RegisterLanguage()
{
    static const bool registered = [] {
        SetMessageBoxHandler([](const wchar_t*, const wchar_t*, UINT) { return IDOK; });
        SECEditLangConfig::Reader* reader = new SECEditLangConfigIniReader(CString(LanguageFile().string().c_str()));
        SECEditLangConfig::RegisterLanguage(L"VBScript", reader, nullptr);
        reader->Release();
        return true;
    }();
    (void)registered;
}

void ColourEveryLine(SECEdit& edit)
{
    const int lines = edit.GetLineCount();
    for (int line = 0; line < lines; ++line)
        benchmark::DoNotOptimize(edit.GetLineColor(line));
}

void LoadAndColour(benchmark::State& state)
{
    RegisterLanguage();
    const bool utf16 = state.range(0) != 0;
    const std::filesystem::path& path = ScriptFile(utf16);
    const double fileBytes = static_cast<double>(std::filesystem::file_size(path));
    size_t peak = 0;
    for (auto _ : state) {
        const size_t before = bench::StartHeapPeak();
        {
            SECEdit edit;
            edit.InitializeContent(L"VBScript");
            if (!edit.LoadFile(CString(path.string().c_str())))
                state.SkipWithError("the script could not be loaded");
            ColourEveryLine(edit);
        }
        peak = bench::HeapPeakSince(before);
    }
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["peak_per_file_size"] = static_cast<double>(peak) / fileBytes;
}
BENCHMARK(LoadAndColour)->Arg(1)->Arg(0)->ArgName("utf16")->Unit(benchmark::kMillisecond)->Iterations(3);

// A file of one line of a million characters: loading breaks it at every maximum width, which
// must cost one pass over the line, not one per piece.
void LoadOneLongLine(benchmark::State& state)
{
    RegisterLanguage();
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "fln-bench-editor-one-line.vbs";
    if (!std::filesystem::exists(path))
        std::ofstream(path, std::ios::binary) << std::string(1000000, 'q');
    for (auto _ : state) {
        SECEdit edit;
        edit.InitializeContent(L"VBScript");
        if (!edit.LoadFile(CString(path.string().c_str())))
            state.SkipWithError("the file could not be loaded");
        benchmark::DoNotOptimize(edit.GetLineCount());
    }
}
BENCHMARK(LoadOneLongLine)->Unit(benchmark::kMillisecond);

// Loads once, then types 10,000 characters one by one and undoes them all.
void TypeAndUndo(benchmark::State& state)
{
    RegisterLanguage();
    SECEdit edit;
    edit.InitializeContent(L"VBScript");
    edit.LoadFile(CString(ScriptFile(true).string().c_str()));
    const int line = static_cast<int>(state.range(0)) == 0 ? edit.GetLastLine() : edit.GetLineCount() / 2;
    constexpr int Characters = 10000;
    for (auto _ : state) {
        int column = 0;
        for (int i = 0; i < Characters; ++i) {
            const wchar_t ch = i % 60 == 59 ? L'\n' : static_cast<wchar_t>(L'a' + i % 26);
            edit.InsertText(line + i / 60, column, &ch, 1);
            column = ch == L'\n' ? 0 : column + 1;
            benchmark::DoNotOptimize(edit.GetLineColor(line + i / 60));
        }
        while (edit.Undo())
            ;
    }
    state.counters["characters"] = Characters;
}
BENCHMARK(TypeAndUndo)->Arg(0)->Arg(1)->ArgName("middle")->Unit(benchmark::kMillisecond)->Iterations(1);

// One insertion of 10,000 characters (a paste) in the middle, then its undo.
void PasteAndUndo(benchmark::State& state)
{
    RegisterLanguage();
    SECEdit edit;
    edit.InitializeContent(L"VBScript");
    edit.LoadFile(CString(ScriptFile(true).string().c_str()));
    std::wstring text;
    for (int i = 0; i < 10000; ++i)
        text += i % 60 == 59 ? L'\n' : static_cast<wchar_t>(L'a' + i % 26);
    const int line = edit.GetLineCount() / 2;
    for (auto _ : state) {
        edit.InsertText(line, 0, text.c_str(), static_cast<int>(text.size()));
        benchmark::DoNotOptimize(edit.GetLineColor(line));
        edit.Undo();
    }
}
BENCHMARK(PasteAndUndo)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
