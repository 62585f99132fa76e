// Runs every program in tests/scripts through the engine as the script page does and compares
// its message boxes, and the error it ends with, against the .out file beside it. An error is
// written as "! <number> <description> @ <line>:<char>" with the line as the page shows it.
// The programs reach one host object, Host, whose calls fail the way an object's calls can.

#include "ScriptHarness.h"

#include "platform/base/CString.h"
#include "platform/com/AutomationObject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// Host.Fail(code) returns the failure code; Host.Throw(code, helpFile, helpContext) reports it as
// an exception carrying help but no description.
class FailingHost final : public AutomationObject {
public:
    FailingHost()
    {
        AddMember(L"Fail", 1, [](Call& c) {
            double code = 0;
            c.Number(0, code);
            return static_cast<HRESULT>(static_cast<LONGLONG>(code));
        });
        AddMember(L"Throw", 2, [](Call& c) {
            double code = 0, context = 0;
            std::wstring helpFile;
            c.Number(0, code);
            c.Text(1, helpFile);
            c.Number(2, context);
            if (c.exception) {
                ClearExcepInfo(c.exception);
                c.exception->scode = static_cast<HRESULT>(static_cast<LONGLONG>(code));
                c.exception->bstrHelpFile = SysAllocStringView(helpFile);
                c.exception->dwHelpContext = static_cast<DWORD>(context);
            }
            return DISP_E_EXCEPTION;
        });
    }
};

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
    auto* host = new FailingHost;
    RunResult result = RunLikeThePage(text, {{L"Host", host}});
    host->Release();
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
