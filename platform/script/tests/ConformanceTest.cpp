// Runs every program in tests/scripts through the engine as the script page does and compares
// its message boxes, and the error it ends with, against the .out file beside it. An error is
// written as "! <number> <description> @ <line>:<char>" with the line as the page shows it.

#include "ScriptHarness.h"

#include "platform/base/CString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

fs::path ScriptFolder() { return fs::path(FLN_TEST_DATA_DIR).parent_path() / "scripts"; }

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::vector<std::string> ScriptNames()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ScriptFolder()))
        if (entry.path().extension() == ".vbs")
            names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring Transcript(const MessageBoxRecorder& boxes, const RunResult& result)
{
    std::wstring out = boxes.Text();
    for (const ReportedError& e : result.errors) {
        out += L"! " + std::to_wstring(e.code) + L" " + e.description + L" @ " + std::to_wstring(e.line + 1) + L":"
            + std::to_wstring(e.position) + L"\n";
    }
    return out;
}

class Conformance : public testing::TestWithParam<std::string> {};

TEST_P(Conformance, ShowsTheExpectedOutput)
{
    fs::path script = ScriptFolder() / (GetParam() + ".vbs");
    std::wstring text = NarrowToWide(ReadFile(script));
    MessageBoxRecorder boxes;
    RunResult result = RunLikeThePage(text);
    std::string actual = WideToUtf8(Transcript(boxes, result));
    fs::path expectedFile = ScriptFolder() / (GetParam() + ".out");
    if (const char* update = std::getenv("FLN_UPDATE_SCRIPT_OUTPUT"); update && *update) {
        std::ofstream(expectedFile, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(fs::exists(expectedFile)) << expectedFile;
    EXPECT_EQ(actual, ReadFile(expectedFile));
}

INSTANTIATE_TEST_SUITE_P(Scripts, Conformance, testing::ValuesIn(ScriptNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

} // namespace
