// Built-in functions whose results depend on the number conventions, and edge cases of the
// others, evaluated as expression text.

#include "ScriptHarness.h"

#include "platform/sys/Locale.h"

#include <gtest/gtest.h>

namespace {

class Evaluator {
public:
    Evaluator()
    {
        RegisterScriptClasses();
        CLSID clsid;
        CLSIDFromProgID(L"VBScript", &clsid);
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript, reinterpret_cast<void**>(&m_engine));
        m_engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&m_parser));
        m_engine->SetScriptSite(&m_site);
        m_parser->InitNew();
        m_engine->SetScriptState(SCRIPTSTATE_STARTED);
    }
    ~Evaluator()
    {
        m_engine->Close();
        m_parser->Release();
        m_engine->Release();
    }

    // The value as text, or "!<number>" when the expression raised an error.
    std::wstring operator()(const wchar_t* expression)
    {
        m_site.errors.clear();
        VARIANT result;
        std::wstring text = L"(CStr(" + std::wstring(expression) + L"))";
        HRESULT hr = m_parser->ParseScriptText(text.c_str(), nullptr, nullptr, nullptr, 0, 0, SCRIPTTEXT_ISEXPRESSION,
                                               &result, nullptr);
        if (FAILED(hr))
            return m_site.errors.empty() ? L"!?" : L"!" + std::to_wstring(m_site.errors[0].code);
        std::wstring value(BstrView(result.bstrVal));
        VariantClear(&result);
        return value;
    }

private:
    TestSite m_site;
    IActiveScript* m_engine = nullptr;
    IActiveScriptParse* m_parser = nullptr;
};

TEST(Builtins, NumberFormattingFollowsTheLocale)
{
    Evaluator eval;
    {
        ScopedNumberLocale english(NumberLocale{L".", L",", 3, 2, 1, 1});
        EXPECT_EQ(eval(L"FormatNumber(1234567.891)"), L"1,234,567.89");
        EXPECT_EQ(eval(L"FormatNumber(-0.5, 3)"), L"-0.500");
        EXPECT_EQ(eval(L"FormatNumber(0.5, 1, 0)"), L".5");
        EXPECT_EQ(eval(L"FormatNumber(-12, 0, , -1)"), L"(12)");
        EXPECT_EQ(eval(L"FormatNumber(1234.5, 1, , , 0)"), L"1234.5");
        EXPECT_EQ(eval(L"FormatPercent(0.256)"), L"25.60%");
        EXPECT_EQ(eval(L"FormatCurrency(-1234.5)"), L"($1,234.50)");
        // Halves round away from zero, on the value's decimal digits (1.005 is not 1.00499...).
        EXPECT_EQ(eval(L"FormatNumber(2.5, 0) & \" \" & FormatNumber(-0.125, 2) & \" \" & FormatNumber(1.005, 2)"),
                  L"3 -0.13 1.01");
        EXPECT_EQ(eval(L"FormatNumber(9.995, 2) & \" \" & FormatNumber(0.4, 0) & \" \" & FormatNumber(1E+20, 0, , , 0)"),
                  L"10.00 0 100000000000000000000");
        EXPECT_EQ(eval(L"FormatNumber(-0.4, 0) & \" \" & FormatPercent(0.00125, 1) & \" \" & FormatCurrency(0.005)"),
                  L"0 0.1% $0.01");
    }
    {
        ScopedNumberLocale german(NumberLocale{L",", L".", 3, 2, 1, 1});
        EXPECT_EQ(eval(L"FormatNumber(1234567.891)"), L"1.234.567,89");
    }
    EXPECT_EQ(eval(L"FormatNumber(Null)"), L"!94");
}

TEST(Builtins, EdgeCasesOfTextAndNumbers)
{
    Evaluator eval;
    struct Case {
        const wchar_t* expression;
        const wchar_t* expected;
    } cases[] = {
        {L"Mid(\"abc\", 2, 100)", L"bc"},
        {L"Left(\"abc\", 0) & \"|\"", L"|"},
        {L"InStr(4, \"abc\", \"c\")", L"0"},
        {L"InStrRev(\"abcabc\", \"bc\", 4)", L"2"},
        {L"Replace(\"aaa\", \"a\", \"aa\")", L"aaaaaa"},
        {L"Replace(\"abc\", \"\", \"x\")", L"abc"},
        {L"Join(Split(\"a,b,c\", \",\", 2), \"|\")", L"a|b,c"},
        {L"UBound(Split(\"abc\", \"\"))", L"0"},
        {L"String(3, \"xyz\")", L"xxx"},
        {L"Space(-1)", L"!5"},
        {L"Chr(256)", L"!5"},
        {L"StrComp(\"abc\", \"ABC\", 5)", L"!5"},
        {L"Round(0.125, 2)", L"0.12"},
        {L"Round(-0.5)", L"0"},
        {L"Int(-0.5) & \" \" & Fix(-0.5)", L"-1 0"},
        {L"Hex(Null) & \"x\"", L"x"},
        {L"CInt(\"1e2\")", L"100"},
        {L"CLng(2147483647.4)", L"2147483647"},
        {L"CLng(2147483647.6)", L"!6"},
        {L"CDate(\"2/30/2024\")", L"!13"},
        {L"1 / 0", L"!11"},
        {L"0 / 0", L"!6"},
        {L"2 ^ 1024", L"!6"},
        {L"(-8) ^ (1 / 3)", L"!5"},
        {L"&H7FFFFFFF + 1", L"2147483648"},
        {L"-32768 - 1", L"-32769"},
        {L"TypeName(-32768 - 1)", L"Long"},
        {L"Len(Space(100000))", L"100000"},
        {L"Weekday(#1/1/2000#, vbMonday)", L"6"},
        {L"DateAdd(\"m\", -1, #3/31/2024#)", L"2/29/2024"},
        {L"DateDiff(\"ww\", #1/1/2024#, #1/31/2024#)", L"4"},
        {L"DateSerial(2024, 1, 1) - DateSerial(2023, 1, 1)", L"365"},
        {L"Year(-1)", L"1899"},
        {L"ScriptEngine & ScriptEngineMajorVersion", L"VBScript5"},
        {L"IsObject(CreateObject(\"VBScript.RegExp\"))", L"True"},
        {L"CreateObject(\"Nothing.Here\")", L"!429"},
        {L"GetObject(\"c:\\\\x.doc\")", L"!429"},
        {L"Eval(\"1 +\")", L"!1023"},
        {L"Array(1, 2)(1)", L"2"},
        {L"LBound(Array())", L"0"},
        {L"UBound(Array(), 2)", L"!9"},
        {L"Filter(1, \"a\")", L"!13"},
        {L"Escape(\"a b&c/\" & ChrW(8364))", L"a%20b%26c/%u20AC"},
        {L"Unescape(\"a%20b%u20ac%zz%\")", L"a b\u20ac%zz%"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(eval(c.expression), c.expected) << c.expression;
}

} // namespace
