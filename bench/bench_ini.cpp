// INI files and the registry at the sizes a hostile or long-lived settings folder reaches.
// - Loading 1 MB of INI text into the INI mirror, as many small sections and as few long ones:
//   each file is read once per load, so the target is well under a second (about 100 ms).
// - Saving the main frame's seven profile values into a 1 MB registry, as the close does: the
//   file is written once per save, so the target is one replacement of the file (tens of ms).
// - One formula of 60 MB (a parameter file just under the 64 MiB read limit) loaded into the INI
//   mirror as a start does, and the section reader over 60 MB and 600 MB of such bytes: each line
//   is cut to 8,192 characters as it is read, so the time is one pass over the bytes (well under a
//   second for 60 MB) and the peak heap (peak_MB) the file's bytes and little more.

#include "app/FrameSettings.h"
#include "app/IniFile.h"
#include "bench/HeapCounter.h"
#include "platform/mfc/WinApp.h"
#include "platform/sys/PrivateProfile.h"
#include "platform/sys/Registry.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr size_t kMegabyte = 1 << 20;

// A fresh settings folder on a memory file system for the benchmark's lifetime.
class BenchFolder {
public:
    BenchFolder()
    {
        std::string pattern = "/dev/shm/fln-bench-XXXXXX";
        m_root = ::mkdtemp(pattern.data());
        ::setenv("XDG_CONFIG_HOME", m_root.c_str(), 1);
    }
    ~BenchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    std::string Write(const std::string& name, const std::string& text) const
    {
        const std::string path = m_root + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

private:
    std::string m_root;
};

// About 1 MB of sections of keysPerSection short keys each.
std::string IniText(int keysPerSection)
{
    std::string text;
    for (int section = 0; text.size() < kMegabyte; ++section) {
        text += "[Section" + std::to_string(section) + "]\n";
        for (int key = 0; key < keysPerSection; ++key)
            text += "Key" + std::to_string(key) + "=" + std::to_string(section * key) + "\n";
    }
    return text;
}

void LoadIni(benchmark::State& state)
{
    BenchFolder folder;
    const std::string path = folder.Write("big.ini", IniText(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        CIniFile ini;
        ini.SetFileName(CString(path.c_str()));
        benchmark::DoNotOptimize(ini.Load());
        if (ini.GetSections().size() < 2)
            state.SkipWithError("the file was not read");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kMegabyte));
}

// A parameter file whose formula is megabytes long, the other keys after it.
std::string HugeFormulaFile(size_t megabytes)
{
    std::string text = "[INFO]\nVersion=1\n[TAB_FORMEL]\nf(x)=";
    text.reserve(megabytes * 1'000'000 + 64);
    while (text.size() < megabytes * 1'000'000)
        text += "0+";
    return text + "sin(x)\nf'(x)=cos(x)\n";
}

void LoadHugeFormulaFile(benchmark::State& state)
{
    BenchFolder folder;
    const std::string path = folder.Write("huge.fm", HugeFormulaFile(60));
    size_t peak = 0;
    for (auto _ : state) {
        const size_t before = bench::StartHeapPeak();
        CIniFile ini;
        ini.SetFileName(CString(path.c_str()));
        benchmark::DoNotOptimize(ini.Load());
        peak = std::max(peak, bench::HeapPeakSince(before));
        if (ini.GetValue(L"TAB_FORMEL", L"f'(x)") != L"cos(x)")
            state.SkipWithError("the file was not read");
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
}

void ReadHugeFormulaBytes(benchmark::State& state)
{
    const std::string bytes = HugeFormulaFile(static_cast<size_t>(state.range(0)));
    size_t peak = 0;
    for (auto _ : state) {
        const size_t before = bench::StartHeapPeak();
        const auto sections = PrivateProfileSectionsOfBytes(bytes);
        peak = std::max(peak, bench::HeapPeakSince(before));
        if (sections.size() != 2 || sections[1].lines.size() != 2)
            state.SkipWithError("the bytes were not read");
    }
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

void SaveProfileIntoBigRegistry(benchmark::State& state)
{
    BenchFolder folder;
    HKEY bulk = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Bulk", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &bulk, nullptr);
    {
        RegistryWriteBatch batch;
        const std::wstring text(100, L'x');
        for (int i = 0; i < 9000; ++i)
            RegSetValueExW(bulk, (L"V" + std::to_wstring(i)).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(bulk);
    CWinApp app(L"FLN");
    app.SetRegistryKey(L"Formulon");
    FrameSettings settings;
    for (auto _ : state) {
        ++settings.digits;
        if (!settings.Save(app))
            state.SkipWithError("the registry could not be written");
    }
}

} // namespace

// Sections of one key (about 60,000 of them) and of 100 keys.
BENCHMARK(LoadIni)->Name("BM_IniLoad1MB/keysPerSection")->Arg(1)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(LoadHugeFormulaFile)->Name("BM_IniLoad60MBFormula")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ReadHugeFormulaBytes)->Name("BM_ProfileSectionsOfHugeFormula/MB")->Arg(60)->Arg(600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SaveProfileIntoBigRegistry)->Name("BM_ProfileSaveInto1MBRegistry")->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
