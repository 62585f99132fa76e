// Runs every program in tests/scripts (.vbs in VBScript, .js in JScript) through its engine as the
// script page does and compares its message boxes, what it said through Host.Say, and the error it
// ends with, against the .out file beside it. An error is written as
// "! <number> <description> @ <line>:<char>" with the line as the page shows it. The programs reach
// one host object, Host, whose calls can also fail the way an object's calls can. Every VBScript
// program is preceded by scripts/prelude/check.vbs, which gives it Check and its counts.

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

// Host.Colours is a collection of three texts, enumerable and indexable.
class ColourList final : public AutomationObject {
public:
    ColourList()
    {
        AddMember(L"_NewEnum", DISPID_NEWENUM, [](Call& c) {
            std::vector<VARIANT> items;
            for (const wchar_t* name : kNames) {
                VARIANT v;
                VariantInit(&v);
                v.vt = VT_BSTR;
                v.bstrVal = SysAllocStringView(name);
                items.push_back(v);
            }
            VARIANT v;
            VariantInit(&v);
            v.vt = VT_UNKNOWN;
            v.punkVal = new VariantEnumerator(std::move(items));
            c.Return(v);
            return S_OK;
        });
        AddMember(L"Count", 1, [](Call& c) {
            c.ReturnLong(3);
            return S_OK;
        });
    }

private:
    static constexpr const wchar_t* kNames[] = {L"red", L"green", L"blue"};
};

// An object whose default member and enumerator both fail with one code.
class FailingObject final : public AutomationObject {
public:
    explicit FailingObject(HRESULT code)
    {
        AddMember(L"Value", DISPID_VALUE, [code](Call&) { return code; });
        AddMember(L"_NewEnum", DISPID_NEWENUM, [code](Call&) { return code; });
    }
};

// Host.Say(text) adds a line to the transcript; Host.Fail(code) returns the failure code;
// Host.Throw(code, helpFile, helpContext) reports it as an exception carrying help but no description.
// Host.Grid is a 2 x 3 array (bounds 1..2 and 0..2) whose element (i, j) is 10 * i + j;
// Host.Colours a collection. Host.Kind(value) gives the variant type the host received (references
// followed); Host.CallBack(object, name[, argument]) calls that member of a script's object, as
// another program would, and returns what it gives. Host.Failing(code) is a
// FailingObject.
class ScriptHost final : public AutomationObject {
public:
    std::wstring said;

    ScriptHost()
    {
        AddMember(L"Grid", 4, [](Call& c) {
            SAFEARRAYBOUND bounds[] = {{2, 1}, {3, 0}};
            SAFEARRAY* grid = SafeArrayCreate(VT_VARIANT, 2, bounds);
            for (LONG i = 1; i <= 2; ++i) {
                for (LONG j = 0; j <= 2; ++j) {
                    LONG at[] = {i, j};
                    VARIANT v;
                    VariantInit(&v);
                    v.vt = VT_I4;
                    v.lVal = 10 * i + j;
                    SafeArrayPutElement(grid, at, &v);
                }
            }
            VARIANT v;
            VariantInit(&v);
            v.vt = VT_ARRAY | VT_VARIANT;
            v.parray = grid;
            c.Return(v);
            return S_OK;
        });
        AddMember(L"Colours", 5, [](Call& c) {
            auto* colours = new ColourList;
            c.ReturnObject(colours);
            colours->Release();
            return S_OK;
        });
        AddMember(L"Say", 3, [this](Call& c) {
            std::wstring line;
            if (HRESULT hr = c.Text(0, line); FAILED(hr))
                return hr;
            said += line + L"\n";
            return S_OK;
        });
        AddMember(L"Kind", 6, [](Call& c) {
            VARIANT v = c.Arg(0);
            c.ReturnLong(v.vt);
            VariantClear(&v);
            return S_OK;
        });
        AddMember(L"CallBack", 7, [](Call& c) {
            VARIANT object = c.Arg(0);
            std::wstring name;
            HRESULT hr = object.vt == VT_DISPATCH && object.pdispVal ? c.Text(1, name) : DISP_E_TYPEMISMATCH;
            DISPID id = 0;
            if (SUCCEEDED(hr))
                hr = GetDispatchId(object.pdispVal, name.c_str(), &id);
            if (SUCCEEDED(hr)) {
                VARIANT argument = c.Arg(2);
                DISPPARAMS params{&argument, nullptr, c.Has(2) ? 1u : 0u, 0};
                VARIANT result;
                VariantInit(&result);
                hr = object.pdispVal->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result,
                                             c.exception, nullptr);
                VariantClear(&argument);
                if (SUCCEEDED(hr))
                    c.Return(result);
            }
            VariantClear(&object);
            return hr;
        });
        AddMember(L"Failing", 8, [](Call& c) {
            double code = 0;
            c.Number(0, code);
            auto* object = new FailingObject(static_cast<HRESULT>(static_cast<LONGLONG>(code)));
            c.ReturnObject(object);
            object->Release();
            return S_OK;
        });
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
        if (entry.path().extension() == ".vbs" || entry.path().extension() == ".js")
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring Transcript(const MessageBoxRecorder& boxes, const ScriptHost& host, const RunResult& result)
{
    std::wstring out = boxes.Text() + host.said;
    for (const ReportedError& e : result.errors) {
        out += L"! " + std::to_wstring(e.code) + L" " + e.description + L" @ " + std::to_wstring(e.line + 1) + L":"
            + std::to_wstring(e.position) + L"\n";
    }
    return out;
}

class Conformance : public testing::TestWithParam<std::string> {};

TEST_P(Conformance, ShowsTheExpectedOutput)
{
    fs::path script = ScriptFolder() / GetParam();
    std::wstring text = NarrowToWide(ReadFile(script));
    MessageBoxRecorder boxes;
    auto* host = new ScriptHost;
    const bool vbscript = script.extension() == ".vbs";
    RunResult result = RunLikeThePage(text, {{L"Host", host}}, nullptr, vbscript ? L"VBScript" : L"JScript",
                                      vbscript ? NarrowToWide(ReadFile(ScriptFolder() / "prelude" / "check.vbs")) : L"");
    std::string actual = WideToUtf8(Transcript(boxes, *host, result));
    host->Release();
    fs::path expectedFile = fs::path(script).replace_extension(".out");
    if (const char* update = std::getenv("FLN_UPDATE_SCRIPT_OUTPUT"); update && *update) {
        std::ofstream(expectedFile, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(fs::exists(expectedFile)) << expectedFile;
    EXPECT_EQ(actual, ReadFile(expectedFile));
}

INSTANTIATE_TEST_SUITE_P(Scripts, Conformance, testing::ValuesIn(ScriptNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

} // namespace
