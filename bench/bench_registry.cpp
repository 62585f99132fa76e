// The registry under many writes: 2,000 values set one by one into one key, starting from an empty
// settings folder. Run on a memory file system, the figure is the registry's own cost; on the temp
// folder's disk, each write also waits for its atomic replace to reach the disk.

#include "platform/sys/Registry.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

constexpr int kValues = 2000;

void WriteValuesOneByOne(benchmark::State& state, const std::filesystem::path& base)
{
    std::error_code error;
    if (!std::filesystem::is_directory(base, error)) {
        state.SkipWithError(("no folder " + base.string()).c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        std::string pattern = (base / "fln-bench-XXXXXX").string();
        std::string root = ::mkdtemp(pattern.data());
        ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Formulon\\Bench", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr);
        state.ResumeTiming();

        for (int i = 0; i < kValues; ++i) {
            std::wstring name = L"Value" + std::to_wstring(i);
            DWORD number = static_cast<DWORD>(i);
            if (RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number) !=
                ERROR_SUCCESS) {
                state.SkipWithError("a write failed");
                break;
            }
        }

        state.PauseTiming();
        RegCloseKey(key);
        std::filesystem::remove_all(root, error);
        state.ResumeTiming();
    }
    state.counters["per_write"] =
        benchmark::Counter(static_cast<double>(kValues) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Registry2000ValuesInMemory(benchmark::State& state) { WriteValuesOneByOne(state, "/dev/shm"); }
void BM_Registry2000ValuesOnDisk(benchmark::State& state)
{
    WriteValuesOneByOne(state, std::filesystem::temp_directory_path());
}

} // namespace

BENCHMARK(BM_Registry2000ValuesInMemory)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Registry2000ValuesOnDisk)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

BENCHMARK_MAIN();
