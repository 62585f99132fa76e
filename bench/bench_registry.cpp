// The registry under many writes: 2,000 values set one by one into one key, starting from an empty
// settings folder. Run on a memory file system, the figure is the registry's own cost; on the temp
// folder's disk, each write also waits for its atomic replace to reach the disk.
//
// And the settings file read at a start: 1 MB and 4 MB of values in one key, and of keys under one
// key listed in reverse order. Target: each well under a second, growing linearly with the size.

#include "platform/sys/Registry.h"
#include "platform/sys/RegistryTree.h"

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

// A settings text of about `bytes`: values in one key, or that many keys in reverse order.
std::wstring SettingsText(size_t bytes, bool keys)
{
    std::wstring text = L"[HKEY_CURRENT_USER\\Software\\Formulon\\Bench]\n";
    std::wstring body;
    for (int i = 0; text.size() + body.size() < bytes; ++i)
        body += keys ? L"[HKEY_CURRENT_USER\\Software\\Formulon\\Bench\\Key" + std::to_wstring(99'999'999 - i) + L"]\n"
                     : L"\"Value" + std::to_wstring(i) + L"\"=\"a value of about sixty characters, as a saved list has\"\n";
    return text + body;
}

void ReadSettingsText(benchmark::State& state, bool keys)
{
    const std::wstring text = SettingsText(static_cast<size_t>(state.range(0)) << 20, keys);
    for (auto _ : state) {
        RegistryKey user, classes;
        user.name = L"HKEY_CURRENT_USER";
        classes.name = L"HKEY_CLASSES_ROOT";
        benchmark::DoNotOptimize(ParseRegistryText(text, user, classes));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}

void BM_RegistryReadValuesOfOneKey(benchmark::State& state) { ReadSettingsText(state, false); }
void BM_RegistryReadKeysInReverseOrder(benchmark::State& state) { ReadSettingsText(state, true); }

} // namespace

BENCHMARK(BM_RegistryReadValuesOfOneKey)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RegistryReadKeysInReverseOrder)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Registry2000ValuesInMemory)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Registry2000ValuesOnDisk)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

BENCHMARK_MAIN();
