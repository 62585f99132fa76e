#include "platform/script/JScriptEngine.h"

#include "platform/base/CString.h"
#include "platform/script/tests/ScriptHarness.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Published as "calc": Tick() runs onTick inside the script's call; IsSelf(x) tells whether x is
// this very object.
class Ticker final : public AutomationObject {
public:
    std::function<void()> onTick;
    Ticker()
    {
        AddMember(L"Tick", 1, [this](Call&) {
            if (onTick)
                onTick();
            return S_OK;
        });
        AddMember(L"IsSelf", 2, [this](Call& call) {
            VARIANT arg = call.Arg(0);
            call.ReturnBool(arg.vt == VT_DISPATCH && arg.pdispVal == static_cast<IDispatch*>(this));
            VariantClear(&arg);
            return S_OK;
        });
    }
};

// Publishes a ticker on a site for one test.
struct TestCalculatorSite {
    Ticker* ticker = new Ticker;
    std::function<void()>& onTick = ticker->onTick;
    explicit TestCalculatorSite(TestSite& site) { site.items[L"calc"] = ticker; }
    ~TestCalculatorSite() { ticker->Release(); }
};

// A JScript engine on a test site, initialised and ready for text.
class JScriptEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegisterScriptClasses();
        CLSID clsid {};
        ASSERT_EQ(CLSIDFromProgID(L"JScript", &clsid), S_OK);
        ASSERT_EQ(clsid, CLSID_JScript);
        ASSERT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript,
                                   reinterpret_cast<void**>(&engine)), S_OK);
        ASSERT_EQ(engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parser)), S_OK);
        ASSERT_EQ(engine->SetScriptSite(&site), S_OK);
        ASSERT_EQ(parser->InitNew(), S_OK);
    }
    void TearDown() override
    {
        if (parser)
            parser->Release();
        if (engine) {
            engine->Close();
            engine->Release();
        }
    }
    HRESULT Parse(const wchar_t* text, DWORD flags = 0, VARIANT* result = nullptr)
    {
        return parser->ParseScriptText(text, nullptr, nullptr, nullptr, 0, 0, flags, result, nullptr);
    }

    TestSite site;
    IActiveScript* engine = nullptr;
    IActiveScriptParse* parser = nullptr;
};

TEST_F(JScriptEngineTest, ExpressionsGiveTheirValue)
{
    VARIANT result;
    ASSERT_EQ(Parse(L"6 * 7", SCRIPTTEXT_ISEXPRESSION, &result), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 42);
    ASSERT_EQ(Parse(L"[1, 2, 3].join('-') + 0.5", SCRIPTTEXT_ISEXPRESSION, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(BstrView(result.bstrVal), L"1-2-30.5");
    VariantClear(&result);
    ASSERT_EQ(Parse(L"1 / 4", SCRIPTTEXT_ISEXPRESSION, &result), S_OK);
    EXPECT_EQ(result.vt, VT_R8);
    EXPECT_EQ(result.dblVal, 0.25);
}

TEST_F(JScriptEngineTest, GlobalCodeWaitsForTheStartAndSharesItsNames)
{
    ASSERT_EQ(Parse(L"var total = 0; function add(n) { total += n; }"), S_OK);
    ASSERT_EQ(Parse(L"add(2); add(3);"), S_OK);
    VARIANT result;
    ASSERT_EQ(Parse(L"typeof total", SCRIPTTEXT_ISEXPRESSION, &result), S_OK);
    EXPECT_EQ(BstrView(result.bstrVal), L"undefined") << "nothing ran before the start";
    VariantClear(&result);
    ASSERT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    ASSERT_EQ(Parse(L"total", SCRIPTTEXT_ISEXPRESSION, &result), S_OK);
    EXPECT_EQ(result.lVal, 5);
}

TEST_F(JScriptEngineTest, AutomationObjectsComeBackAsObjectsWithMembers)
{
    IDispatch* regExp = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_RegExp, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&regExp)), S_OK);
    site.items[L"re"] = regExp;
    ASSERT_EQ(engine->AddNamedItem(L"re", SCRIPTITEM_ISVISIBLE), S_OK);
    ASSERT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);

    VARIANT result;
    ASSERT_EQ(Parse(L"re.Pattern = 'b+'; re.Global = true;"
                    L"var matches = re.Execute('abbbc xbb');"
                    L"[matches.Count, matches.Item(0).FirstIndex, matches.Item(1).Length, '' + matches.Item(0),"
                    L" re.Replace('abc', 'x'), re.Test('ccc')].join('|')",
                    SCRIPTTEXT_ISEXPRESSION, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(BstrView(result.bstrVal), L"2|1|2|bbb|axc|false");
    VariantClear(&result);
    EXPECT_TRUE(site.errors.empty());
    engine->Close();  // lets go of the objects the script still holds
    EXPECT_EQ(regExp->Release(), 0u);
}

TEST_F(JScriptEngineTest, AnObjectPassedBackArrivesAsItself)
{
    TestCalculatorSite calculator(site);
    ASSERT_EQ(engine->AddNamedItem(L"calc", SCRIPTITEM_ISVISIBLE), S_OK);
    ASSERT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    VARIANT result;
    ASSERT_EQ(Parse(L"var kept = calc; [calc.IsSelf(calc), calc.IsSelf(kept), calc.IsSelf({}), calc.IsSelf('calc')].join()",
                    SCRIPTTEXT_ISEXPRESSION, &result), S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(BstrView(result.bstrVal), L"true,true,false,false");
    VariantClear(&result);
}

TEST_F(JScriptEngineTest, AnInterruptThatRaisesAnErrorIsReported)
{
    TestCalculatorSite calculator(site);
    calculator.onTick = [&] { engine->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, SCRIPTINTERRUPT_RAISEEXCEPTION); };
    ASSERT_EQ(engine->AddNamedItem(L"calc", SCRIPTITEM_ISVISIBLE), S_OK);
    ASSERT_EQ(Parse(L"var n = 0;\nwhile (true) { n++; calc.Tick(); }"), S_OK);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), E_ABORT);
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_EQ(site.errors[0].description, L"The script was stopped");
}

TEST_F(JScriptEngineTest, LoopsRecursionAndTextCompiledAtRunTimeAreInterrupted)
{
    TestCalculatorSite calculator(site);
    int ticks = 0;
    calculator.onTick = [&] {
        if (++ticks == 3)
            engine->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, 0);
    };
    ASSERT_EQ(engine->AddNamedItem(L"calc", SCRIPTITEM_ISVISIBLE), S_OK);
    ASSERT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    const wchar_t* programs[] = {
        // The evaluated text still sees the function's own names.
        L"function run() { var local = calc; eval('while (true) local.Tick()'); }\nrun();",
        L"new Function('c', 'for (;;) c.Tick()')(calc);",
        // Recursion without a loop, far too long to wait for.
        L"function grow(n) { calc.Tick(); if (n < 60) { grow(n + 1); grow(n + 1); } }\ngrow(0);",
    };
    for (const wchar_t* program : programs) {
        SCOPED_TRACE(WideToUtf8(program));
        ticks = 0;
        EXPECT_EQ(Parse(program), E_ABORT);
        EXPECT_EQ(ticks, 3);
    }
    EXPECT_TRUE(site.errors.empty());
}

// A pattern that backtracks for minutes stops as soon as it is asked to, caught or not.
TEST_F(JScriptEngineTest, ARunawayRegularExpressionIsInterrupted)
{
    TestCalculatorSite calculator(site);
    calculator.onTick = [&] { engine->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, 0); };
    ASSERT_EQ(engine->AddNamedItem(L"calc", SCRIPTITEM_ISVISIBLE), S_OK);
    ASSERT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    const wchar_t* programs[] = {
        L"var s = new Array(40).join('a');\ncalc.Tick();\n/(a+)+b/.test(s);",
        L"var s = new Array(40).join('a');\ncalc.Tick();\ntry { s.replace(/(a|aa)+c/g, 'x'); } catch (e) {}\nfor (;;) {}",
    };
    for (const wchar_t* program : programs) {
        SCOPED_TRACE(WideToUtf8(program));
        EXPECT_EQ(Parse(program), E_ABORT);
    }
    EXPECT_TRUE(site.errors.empty());
}

TEST_F(JScriptEngineTest, AnItemNamedLikeAFixedGlobalIsRefusedQuietly)
{
    TestCalculatorSite calculator(site);
    site.items[L"undefined"] = calculator.ticker;
    EXPECT_EQ(engine->AddNamedItem(L"undefined", SCRIPTITEM_ISVISIBLE), S_OK);
    VARIANT result;
    ASSERT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    ASSERT_EQ(Parse(L"typeof undefined", SCRIPTTEXT_ISEXPRESSION, &result), S_OK);
    EXPECT_EQ(BstrView(result.bstrVal), L"undefined");
    VariantClear(&result);
}

TEST_F(JScriptEngineTest, AStepLimitEndsEndlessWork)
{
    jscript::SetEngineStepLimit(engine, 1000);
    ASSERT_EQ(Parse(L"function f() { f(); f(); }\nfor (;;) {}\n"), S_OK);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), E_ABORT);
    EXPECT_EQ(Parse(L"f();"), E_ABORT);
    EXPECT_TRUE(site.errors.empty());
}

TEST_F(JScriptEngineTest, AScriptThatOutgrowsItsMemoryGetsAnError)
{
    ASSERT_EQ(Parse(L"var s = 'x';\nwhile (true) s = s + s;\n"), S_OK);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), SCRIPT_E_REPORTED);
    ASSERT_EQ(site.errors.size(), 1u);
    EXPECT_EQ(site.errors[0].line, 1u);
    VARIANT result;
    ASSERT_EQ(Parse(L"s.length > 1000000", SCRIPTTEXT_ISEXPRESSION, &result), S_OK) << "the engine goes on working";
    EXPECT_EQ(result.boolVal, VARIANT_TRUE);
}

TEST_F(JScriptEngineTest, ClosingFromInsideTheScriptEndsTheRunFirst)
{
    TestCalculatorSite calculator(site);
    calculator.onTick = [&] { engine->Close(); };
    ASSERT_EQ(engine->AddNamedItem(L"calc", SCRIPTITEM_ISVISIBLE), S_OK);
    ASSERT_EQ(Parse(L"for (;;) calc.Tick();"), S_OK);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), E_ABORT);
    SCRIPTSTATE state;
    engine->GetScriptState(&state);
    EXPECT_EQ(state, SCRIPTSTATE_CLOSED);
    EXPECT_TRUE(site.errors.empty());
}

} // namespace
