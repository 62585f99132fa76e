// The engine behind its interfaces: states, errors with positions, named items reached through
// the site, the test automation object driven from scripts, interrupting a running script.

#include "ScriptHarness.h"
#include "platform/base/tests/WaitUntil.h"
#include "platform/com/tests/FreedMemoryFill.h"

#include "platform/com/AutomationTarget.h"
#include "platform/script/SourceLines.h"
#include "platform/script/VbsEngine.h"
#include "platform/sys/TerminationSignals.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <atomic>
#include <thread>

// An object published through a dispatch map, as the program's own automation object is.
class CFormulaObject : public CAutomationTarget {
public:
    CFormulaObject() { EnableAutomation(); }
    BSTR GetFormula() { return SysAllocStringView(m_formula); }
    void SetFormula(const wchar_t* text) { m_formula = text; }
    double GetFormulaResultEx(double x, short* count)
    {
        *count = 10;
        return x * 10;
    }
    DECLARE_DISPATCH_MAP()

private:
    std::wstring m_formula;
};

BEGIN_DISPATCH_MAP(CFormulaObject, CAutomationTarget)
    DISP_PROPERTY_EX(CFormulaObject, "Formula", GetFormula, SetFormula, VT_BSTR)
    DISP_FUNCTION(CFormulaObject, "GetFormulaResultEx", GetFormulaResultEx, VT_R8, VTS_R8 VTS_PI2)
END_DISPATCH_MAP()

// A named item as the script host publishes one: an automation target whose first interface
// part answers IDispatch and IUnknown queries with the wrapped object's own interfaces.
class CPublishedItem : public CAutomationTarget {
public:
    explicit CPublishedItem(IUnknown* object) : m_object(object)
    {
        EnableAutomation();
        EnableAggregation();
        m_object->AddRef();
    }
    ~CPublishedItem() override { m_object->Release(); }

    BEGIN_INTERFACE_PART(ClassInfo, IProvideClassInfo)
        HRESULT GetClassInfo(ITypeInfo** info) override
        {
            *info = nullptr;
            return E_NOTIMPL;
        }
    END_INTERFACE_PART(ClassInfo)

    IUnknown* m_object;
    DECLARE_INTERFACE_MAP()
};

BEGIN_INTERFACE_MAP(CPublishedItem, CAutomationTarget)
    INTERFACE_PART(CPublishedItem, IID_IProvideClassInfo, ClassInfo)
    INTERFACE_AGGREGATE(CPublishedItem, m_object)
END_INTERFACE_MAP()

HRESULT CPublishedItem::XClassInfo::QueryInterface(REFIID iid, void** ppv)
{
    METHOD_PROLOGUE(CPublishedItem, ClassInfo)
    if (iid == IID_IDispatch || iid == IID_IUnknown)
        return pThis->m_object->QueryInterface(iid, ppv);
    return static_cast<HRESULT>(pThis->InternalQueryInterface(&iid, ppv));
}
ULONG CPublishedItem::XClassInfo::AddRef()
{
    METHOD_PROLOGUE(CPublishedItem, ClassInfo)
    return pThis->InternalAddRef();
}
ULONG CPublishedItem::XClassInfo::Release()
{
    METHOD_PROLOGUE(CPublishedItem, ClassInfo)
    return pThis->InternalRelease();
}

namespace {

// The automation object scripts drive in these tests.
class TestObject final : public AutomationObject {
public:
    IActiveScript* engine = nullptr;  // for Stop
    ComPtr<IDispatch> kept;

    TestObject()
    {
        AddMember(L"Value", 1, [this](Call& c) {
            if (c.IsPut())
                return c.Text(c.Count() - 1, m_value);
            c.ReturnText(m_value);
            return S_OK;
        });
        AddMember(L"Add", 2, [](Call& c) {
            double a, b;
            if (HRESULT hr = c.Number(0, a); FAILED(hr))
                return hr;
            if (HRESULT hr = c.Number(1, b); FAILED(hr))
                return hr;
            c.ReturnDouble(a + b);
            return S_OK;
        });
        AddMember(L"Swap", 3, [](Call& c) {
            if (c.Count() != 2)
                return DISP_E_BADPARAMCOUNT;
            // Arguments passed by value are left alone, as a method written in any language would.
            VARIANT a = c.Arg(0), b = c.Arg(1);
            c.WriteBack(0, b);
            c.WriteBack(1, a);
            VariantClear(&a);
            VariantClear(&b);
            return S_OK;
        });
        AddMember(L"Fail", 4, [](Call& c) { return c.Raise(1001 + 1000, L"The test object failed", L"TestObject"); });
        AddMember(L"Stop", 5, [this](Call&) { return engine->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, 0); });
        AddMember(L"CloseEngine", 7, [this](Call&) { return engine->Close(); });
        AddMember(L"Keep", 6, [this](Call& c) {
            VARIANT v = c.Arg(0);
            kept = v.vt == VT_DISPATCH ? v.pdispVal : nullptr;
            VariantClear(&v);
            return S_OK;
        });
    }

private:
    std::wstring m_value = L"initial";
};

struct Engine {
    TestSite site;
    IActiveScript* engine = nullptr;
    IActiveScriptParse* parser = nullptr;

    Engine()
    {
        RegisterScriptClasses();
        CLSID clsid;
        CLSIDFromString(L"{B54F3741-5B07-11cf-A4B0-00AA004A55E8}", &clsid);
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IActiveScript, reinterpret_cast<void**>(&engine)), S_OK);
        engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parser));
        EXPECT_EQ(engine->SetScriptSite(&site), S_OK);
        EXPECT_EQ(parser->InitNew(), S_OK);
    }
    ~Engine()
    {
        engine->Close();
        parser->Release();
        EXPECT_EQ(engine->Release(), 0u);
    }
    void Publish(const wchar_t* name, IUnknown* object, DWORD flags = SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE)
    {
        site.items[name] = object;
        EXPECT_EQ(engine->AddNamedItem(name, flags), S_OK);
    }
    HRESULT Parse(const wchar_t* text) { return parser->ParseScriptText(text, nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr); }
    HRESULT Start() { return engine->SetScriptState(SCRIPTSTATE_STARTED); }
};

TEST(Engine, ReportsSyntaxErrorsWhileParsingAndRunsNothing)
{
    MessageBoxRecorder boxes;
    Engine e;
    EXPECT_EQ(e.Parse(L"MsgBox 1\r\nx = (1 + \r\nMsgBox 2"), SCRIPT_E_REPORTED);
    ASSERT_EQ(e.site.errors.size(), 1u);
    const ReportedError& error = e.site.errors[0];
    EXPECT_EQ(error.code, 1023);
    EXPECT_EQ(error.scode, MakeControlError(1023));
    EXPECT_EQ(error.description, L"Expected expression");
    EXPECT_EQ(error.source, L"VBScript compilation error");
    EXPECT_EQ(error.line, 1u);
    EXPECT_EQ(error.position, 10);  // the line break after "+", 1-based
    EXPECT_EQ(error.lineText, L"x = (1 + ");
    EXPECT_EQ(e.Start(), S_OK);
    EXPECT_TRUE(boxes.requests.empty());
}

TEST(Engine, RuntimeErrorEndsTheRunWithItsStatementPosition)
{
    MessageBoxRecorder boxes;
    Engine e;
    ASSERT_EQ(e.Parse(L"MsgBox \"a\"\n  Dim t: t = Array(1)\n  MsgBox t(3)\nMsgBox \"b\""), S_OK);
    EXPECT_TRUE(e.site.errors.empty());  // nothing runs before the start
    EXPECT_EQ(e.Start(), SCRIPT_E_REPORTED);
    ASSERT_EQ(e.site.errors.size(), 1u);
    EXPECT_EQ(e.site.errors[0].code, 9);
    EXPECT_EQ(e.site.errors[0].description, L"Subscript out of range");
    EXPECT_EQ(e.site.errors[0].source, L"VBScript runtime error");
    EXPECT_EQ(e.site.errors[0].line, 2u);
    EXPECT_EQ(e.site.errors[0].position, 3);
    EXPECT_EQ(boxes.Text(), L"a\n");
}

// An error in text given to Execute or ExecuteGlobal, or in a procedure such text declared, is
// shown at the script's statement that ran it, as one in Eval is; one in the script's own
// procedure keeps its own line.
TEST(Engine, ErrorsInTextRunByExecuteAreShownAtTheStatementThatRanIt)
{
    struct Case {
        const wchar_t* script;
        ULONG line;
        LONG position;
    } cases[] = {
        { L"Option Explicit\nSub S\n Dim a\n Execute \"a = 1 / 0\"\nEnd Sub\nS", 3, 2 },
        { L"Option Explicit\nDim x, y\nExecuteGlobal \"x = 1\" & vbLf & \"y = 1 / 0\"", 2, 1 },
        { L"Dim x\nx = 1\nExecute \"Execute \"\"x = 1\"\" & vbLf & \"\"x = 1 / 0\"\"\"", 2, 1 },
        { L"ExecuteGlobal \"Sub F\" & vbLf & \"x = 1 / 0\" & vbLf & \"End Sub\"\nDim x\nx = 1 :  F", 2, 10 },
        { L"x = 1\nx = Eval(\"1 / 0\")", 1, 1 },
        { L"Sub G\n x = 1 / 0\nEnd Sub\nExecute \"G\"", 1, 2 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        RunResult r = RunLikeThePage(c.script);
        ASSERT_EQ(r.errors.size(), 1u);
        EXPECT_EQ(r.errors[0].code, 11);
        EXPECT_EQ(r.errors[0].line, c.line);
        EXPECT_EQ(r.errors[0].position, c.position);
        EXPECT_EQ(r.errors[0].lineText, script::SplitSourceLines(c.script)[c.line]);
    }
}

TEST(Engine, GoesThroughItsStatesAndRefusesWorkWhenClosed)
{
    Engine e;
    SCRIPTSTATE state;
    ASSERT_EQ(e.engine->GetScriptState(&state), S_OK);
    EXPECT_EQ(state, SCRIPTSTATE_INITIALIZED);
    MessageBoxRecorder boxes;
    ASSERT_EQ(e.Parse(L"MsgBox \"first\""), S_OK);
    ASSERT_EQ(e.Start(), S_OK);
    // Text added to a started engine runs at once.
    ASSERT_EQ(e.Parse(L"MsgBox \"second\""), S_OK);
    EXPECT_EQ(boxes.Text(), L"first\nsecond\n");
    EXPECT_EQ(e.engine->SetScriptState(SCRIPTSTATE_CLOSED), S_OK);
    EXPECT_EQ(e.site.states, (std::vector<SCRIPTSTATE>{SCRIPTSTATE_INITIALIZED, SCRIPTSTATE_STARTED, SCRIPTSTATE_CLOSED}));
    EXPECT_EQ(e.Parse(L"MsgBox 1"), E_UNEXPECTED);
    EXPECT_EQ(e.Start(), E_UNEXPECTED);
    EXPECT_EQ(e.engine->AddNamedItem(L"X", SCRIPTITEM_ISVISIBLE), E_UNEXPECTED);
    EXPECT_EQ(e.site.refs, 1u);  // the engine let go of its site
}

TEST(Engine, EvaluatesExpressionText)
{
    Engine e;
    ASSERT_EQ(e.Start(), S_OK);
    VARIANT result;
    ASSERT_EQ(e.parser->ParseScriptText(L"Len(\"abc\") * 2", nullptr, nullptr, nullptr, 0, 0, SCRIPTTEXT_ISEXPRESSION,
                                        &result, nullptr), S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 6);
}

TEST(Engine, DrivesTheTestObjectPublishedAsANamedItem)
{
    MessageBoxRecorder boxes;
    auto* object = new TestObject;
    {
        Engine e;
        e.Publish(L"Calc", object);
        ASSERT_EQ(e.Parse(LR"(
MsgBox Calc.Value
Calc.Value = "changed"
MsgBox Calc.value & " " & Calc.Add(2, 3.5)
a = 1 : b = "two"
Calc.Swap a, b
MsgBox a & " " & b
Calc.Swap (a), b
MsgBox a & " " & b
On Error Resume Next
Calc.Fail
MsgBox Err.Number & " " & Err.Description & " " & Err.Source
Calc.Missing
MsgBox Err.Number
Err.Clear
MsgBox FormatNumber(Calc.Add(1.7E+308, 1.7E+308))
MsgBox Err.Number
Err.Clear
notANumber = Calc.Add(Calc.Add(1.7E+308, 1.7E+308), Calc.Add(-1.7E+308, -1.7E+308))
MsgBox DateAdd("d", notANumber, Now)
MsgBox Err.Number
Err.Clear
MsgBox DateSerial(notANumber, 1, 1)
MsgBox Err.Number
On Error GoTo 0
Calc.Fail
MsgBox "not reached"
)"), S_OK);
        EXPECT_EQ(e.Start(), SCRIPT_E_REPORTED);
        ASSERT_EQ(e.site.errors.size(), 1u);
        EXPECT_EQ(e.site.errors[0].code, 2001);
        EXPECT_EQ(e.site.errors[0].description, L"The test object failed");
        EXPECT_EQ(e.site.errors[0].source, L"TestObject");
        EXPECT_EQ(e.site.errors[0].line, 25u);
    }
    // An infinity from the object cannot be formatted as a number (error 6), nor NaN be a count
    // of days (error 5) or a year, an Integer (error 6).
    EXPECT_EQ(boxes.Text(), L"initial\nchanged 5.5\ntwo 1\ntwo two\n2001 The test object failed TestObject\n438\n6\n5\n6\n");
    EXPECT_EQ(object->Release(), 0u);
}

TEST(Engine, ScriptsReachDispatchMapObjectsWithReferenceArguments)
{
    MessageBoxRecorder boxes;
    auto* calc = new CFormulaObject;
    RunResult r = RunLikeThePage(L"FLN.Formula = \"x^2\"\nMsgBox FLN.GetFormulaResultEx(3, n) & \" \" & n & \" \" & FLN.formula",
                                 {{L"FLN", calc->GetIDispatch(FALSE)}});
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(boxes.Text(), L"30 10 x^2\n");
    EXPECT_EQ(calc->m_dwRef, 1);
    calc->InternalRelease();
}

TEST(Engine, ReachesAnObjectPublishedThroughAnItemWrapper)
{
    MessageBoxRecorder boxes;
    auto* calc = new CFormulaObject;
    auto* item = new CPublishedItem(calc->GetIDispatch(FALSE));
    calc->InternalRelease();  // the item holds it now
    IUnknown* identity = nullptr;  // what the host's GetItemInfo answers: the item's first part
    ASSERT_EQ(item->GetIDispatch(FALSE)->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&item->m_xClassInfo));
    RunResult r = RunLikeThePage(L"FLN.Formula = \"2*x\"\nMsgBox FLN.Formula & \" \" & FLN.GetFormulaResultEx(1, c)",
                                 {{L"FLN", identity}});
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(boxes.Text(), L"2*x 10\n");
    identity->Release();
    EXPECT_EQ(item->m_dwRef, 1);
    item->InternalRelease();
}

TEST(Engine, ObjectsHandedToTheHostOutliveTheEngineSafely)
{
    MessageBoxRecorder boxes;
    auto* object = new TestObject;
    {
        Engine e;
        e.Publish(L"Calc", object);
        ASSERT_EQ(e.Parse(L"Class Greeter\n Public Function Hello(n)\n Hello = \"hello \" & n\n End Function\nEnd Class\n"
                          L"Calc.Keep New Greeter"), S_OK);
        ASSERT_EQ(e.Start(), S_OK);
        ASSERT_TRUE(object->kept);
        DISPID id;
        ASSERT_EQ(GetDispatchId(object->kept.get(), L"HELLO", &id), S_OK);
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = VT_I4;
        arg.lVal = 7;
        VARIANT result;
        VariantInit(&result);
        ASSERT_EQ(InvokeDispatch(object->kept.get(), id, DISPATCH_METHOD, &arg, 1, &result), S_OK);
        EXPECT_EQ(BstrView(result.bstrVal), L"hello 7");
        VariantClear(&result);
    }
    EXPECT_EQ(InvokeDispatch(object->kept.get(), 1, DISPATCH_METHOD, nullptr, 0, nullptr), E_UNEXPECTED);
    object->kept.Reset();
    EXPECT_EQ(object->Release(), 0u);
}

TEST(Engine, GlobalMembersOfAnItemAreReachedUnqualified)
{
    MessageBoxRecorder boxes;
    auto* object = new TestObject;
    {
        Engine e;
        e.Publish(L"Calc", object, SCRIPTITEM_ISVISIBLE | SCRIPTITEM_GLOBALMEMBERS);
        ASSERT_EQ(e.Parse(L"MsgBox Add(1, 2) & Value"), S_OK);
        ASSERT_EQ(e.Start(), S_OK);
    }
    EXPECT_EQ(boxes.Text(), L"3initial\n");
    object->Release();
}

TEST(Engine, DialogsAreOwnedByTheSiteWindowAndAnsweredByTheHook)
{
    MessageBoxRecorder boxes(IDNO);
    std::vector<ScriptInputBoxRequest> asked;
    auto previous = SetScriptInputBoxHandler([&](const ScriptInputBoxRequest& r) {
        asked.push_back(r);
        return std::optional<std::wstring>(L"typed");
    });
    {
        Engine e;
        ASSERT_EQ(e.Parse(L"MsgBox MsgBox(\"Sure?\", vbYesNo, \"Question\") & InputBox(\"Name\", , \"x\", 100, 200)"), S_OK);
        ASSERT_EQ(e.Start(), S_OK);
        ASSERT_EQ(boxes.requests.size(), 2u);
        EXPECT_EQ(boxes.requests[0].owner, e.site.window);
        EXPECT_EQ(boxes.requests[0].title, L"Question");
        EXPECT_EQ(boxes.requests[0].type, 4u);
        EXPECT_EQ(boxes.requests[1].prompt, L"7typed");
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].defaultText, L"x");
        EXPECT_EQ(asked[0].title, L"VBScript");
        EXPECT_EQ(asked[0].y, 200);
    }
    SetScriptInputBoxHandler(previous);
}

TEST(Engine, InterruptFromAnotherThreadEndsAnEndlessLoop)
{
    Engine e;
    ASSERT_EQ(e.Parse(L"Do\n  n = n + 1\nLoop"), S_OK);
    // Asked again until the run has ended: a request that comes before the run begins is cleared
    // by its start, as a loaded machine may start the run late.
    std::atomic<bool> ended = false;
    std::thread stopper([&] {
        while (!ended) {
            EXCEPINFO info{};
            info.scode = E_ABORT;
            info.bstrDescription = SysAllocString(L"Stopped by the user");
            e.engine->InterruptScriptThread(SCRIPTTHREADID_ALL, &info, SCRIPTINTERRUPT_RAISEEXCEPTION);
            ClearExcepInfo(&info);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    EXPECT_EQ(e.Start(), E_ABORT);
    ended = true;
    stopper.join();
    ASSERT_EQ(e.site.errors.size(), 1u);
    EXPECT_EQ(e.site.errors[0].description, L"Stopped by the user");
    EXPECT_LE(e.site.errors[0].line, 1u);  // inside the loop
}

TEST(Engine, InterruptFromInsideACallEndsTheRunQuietly)
{
    MessageBoxRecorder boxes;
    auto* object = new TestObject;
    {
        Engine e;
        object->engine = e.engine;
        e.Publish(L"Calc", object);
        ASSERT_EQ(e.Parse(L"On Error Resume Next\nMsgBox 1\nCalc.Stop\nMsgBox 2"), S_OK);
        EXPECT_EQ(e.Start(), E_ABORT);
        EXPECT_TRUE(e.site.errors.empty());
        // The next run starts afresh.
        ASSERT_EQ(e.Parse(L"MsgBox 3"), S_OK);
    }
    EXPECT_EQ(boxes.Text(), L"1\n3\n");
    object->Release();
}

// A search that backtracks a while at each of 210,000 places would run for minutes; a stop asked
// while it runs ends it at the next place.
TEST(Engine, AStopEndsARunawayRegularExpressionSearch)
{
    MessageBoxRecorder boxes;
    auto* object = new TestObject;
    {
        Engine e;
        object->engine = e.engine;
        e.Publish(L"Calc", object);
        ASSERT_EQ(e.Parse(L"Set re = New RegExp\nre.Pattern = \"(a|aa)+[^ab]\"\nre.Global = True\n"
                          L"s = Replace(String(10000, \"x\"), \"x\", String(20, \"a\") & \"b\")\nn = Calc.Stop + re.Execute(s).Count\nMsgBox \"not reached\""),
                  S_OK);
        EXPECT_EQ(e.Start(), E_ABORT);
        EXPECT_TRUE(e.site.errors.empty());
    }
    EXPECT_EQ(boxes.Text(), L"");
    object->Release();
}

TEST(Engine, ClosingFromInsideTheScriptStopsItFirst)
{
    MessageBoxRecorder boxes;
    auto* object = new TestObject;
    {
        Engine e;
        object->engine = e.engine;
        e.Publish(L"Calc", object);
        ASSERT_EQ(e.Parse(L"MsgBox 1\nCalc.CloseEngine\nMsgBox 2"), S_OK);
        EXPECT_EQ(e.Start(), E_ABORT);
        SCRIPTSTATE state;
        ASSERT_EQ(e.engine->GetScriptState(&state), S_OK);
        EXPECT_EQ(state, SCRIPTSTATE_CLOSED);
        EXPECT_TRUE(e.site.errors.empty());
    }
    EXPECT_EQ(boxes.Text(), L"1\n");
    object->Release();
}

// Code that runs while the engine closes (a class's terminator, for the object the last line
// made) is the script's as much as the run's own: the site is asked whether to go on, and says
// stop, or the interrupt is asked from another thread, and the close ends.
TEST(Engine, ARunawayTerminatorRunByTheCloseStopsLikeTheRunsOwnCode)
{
    const wchar_t* script = L"Class T\n Private Sub Class_Terminate()\n  Do\n  Loop\n End Sub\nEnd Class\n"
                            L"Set t = New T\nMsgBox \"ran\"";
    for (bool bySite : { true, false }) {
        SCOPED_TRACE(bySite ? "the site says stop" : "an interrupt from another thread");
        MessageBoxRecorder boxes;
        Engine e;
        std::atomic<bool> closing = false, closed = false, askedWhileClosing = false;
        e.site.queryContinue = [&] {
            if (!closing)
                return S_OK;
            askedWhileClosing = true;
            return bySite ? S_FALSE : S_OK;
        };
        ASSERT_EQ(e.Parse(script), S_OK);
        ASSERT_EQ(e.Start(), S_OK);
        EXPECT_EQ(boxes.Text(), L"ran\n");
        // The other thread asks again and again (an interrupt asked before the close began is
        // cleared by it); in the site's case only once the wait has run out, to end a close the
        // site could not stop.
        std::thread other([&] {
            if (bySite)
                WaitUntil([&] { return closed.load(); });
            while (!closed) {
                e.engine->InterruptScriptThread(SCRIPTTHREADID_ALL, nullptr, 0);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        closing = true;
        EXPECT_EQ(e.engine->Close(), S_OK);
        closed = true;
        other.join();
        if (bySite) {
            EXPECT_TRUE(askedWhileClosing);
        }
        EXPECT_TRUE(e.site.errors.empty());
        SCRIPTSTATE state;
        ASSERT_EQ(e.engine->GetScriptState(&state), S_OK);
        EXPECT_EQ(state, SCRIPTSTATE_CLOSED);
    }
}

TEST(Engine, StepLimitEndsRunawayScripts)
{
    IActiveScript* engine = vbs::CreateEngine();
    vbs::SetEngineStepLimit(engine, 1000);
    TestSite site;
    IActiveScriptParse* parser = nullptr;
    engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parser));
    engine->SetScriptSite(&site);
    parser->InitNew();
    parser->ParseScriptText(L"Sub R()\n R\nEnd Sub\nDo: Loop", nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr);
    EXPECT_EQ(engine->SetScriptState(SCRIPTSTATE_STARTED), E_ABORT);
    engine->Close();
    parser->Release();
    engine->Release();
}

TEST(Engine, AStringAppendedToItselfPastEveryMoveOfItsBlockStaysWhole)
{
    const std::wstring grow = L"s = \"ab\"\nFor i = 1 To 20\n s = s & s\nNext\n";
    const std::wstring show = L"MsgBox Len(s) & \" \" & (s = Replace(Space(Len(s) / 2), \" \", \"ab\")) & \" \" & Err.Number\n";
    const std::wstring scripts[] = {
        grow + show,
        L"On Error Resume Next\n" + grow + show,
        L"Sub Grow()\n Dim s\n" + grow + show + L"End Sub\nGrow",
    };
    for (const std::wstring& script : scripts) {
        SCOPED_TRACE(script);
        MessageBoxRecorder boxes;
        RunResult r = RunLikeThePage(script);
        EXPECT_TRUE(r.errors.empty());
        EXPECT_EQ(boxes.Text(), L"2097152 True 0\n");
    }
}

TEST(Engine, AStringCannotGrowPastItsCapEvenWhenTheErrorIsIgnored)
{
    // Doubling 1,000,000 characters reaches 16,000,000; the next step would pass the cap.
    // Adding 1,000,000 characters at a time stops there too.
    const wchar_t* const appends[] = { L"s = s & s", L"s = s + s", L"s = s & Space(1000000)" };
    for (const wchar_t* append : appends) {
        SCOPED_TRACE(append);
        MessageBoxRecorder boxes;
        RunResult r = RunLikeThePage(std::wstring(L"On Error Resume Next\ns = Space(1000000)\nFor i = 1 To 20\n ") + append +
                                     L"\nNext\nMsgBox Len(s) & \" \" & Err.Number");
        EXPECT_TRUE(r.errors.empty());
        EXPECT_EQ(boxes.Text(), L"16000000 14\n");
    }
}

TEST(Engine, AllTheStringsAScriptHoldsShareOneBudget)
{
    MessageBoxRecorder boxes;
    // 201 texts of 16,000,000 characters would take about 13 GB; the budget stops them long before.
    RunResult r = RunLikeThePage(L"On Error Resume Next\nDim a(200)\nFor i = 0 To 200\n a(i) = Space(16000000)\n"
                                 L" If Err.Number <> 0 Then Exit For\nNext\nMsgBox (i < 200) & \" \" & Err.Number");
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(boxes.Text(), L"True 7\n");
}

TEST(Engine, MemoryPastTheBudgetIsOutOfMemoryAndMemoryLetGoCountsNoMore)
{
    struct Case {
        const wchar_t* script;
        size_t errors;
        const wchar_t* shown;
    } cases[] = {
        // Eleven texts of 100,000 characters (4 bytes each) do not fit in 2 MiB.
        { L"s = Space(100000)\nDim a(10)\nFor i = 0 To 10\n a(i) = s & i\nNext\nMsgBox \"all\"", 1, L"" },
        // Fifty do, one after the other.
        { L"For i = 1 To 50\n s = Space(100000) & i\nNext\nMsgBox Len(s)", 0, L"100002\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        MessageBoxRecorder boxes;
        IActiveScript* engine = vbs::CreateEngine();
        vbs::SetEngineMemoryLimit(engine, 2 << 20);
        TestSite site;
        IActiveScriptParse* parser = nullptr;
        engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parser));
        engine->SetScriptSite(&site);
        parser->InitNew();
        parser->ParseScriptText(c.script, nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr);
        engine->SetScriptState(SCRIPTSTATE_STARTED);
        ASSERT_EQ(site.errors.size(), c.errors);
        if (c.errors) {
            EXPECT_EQ(site.errors[0].code, 7);
            EXPECT_EQ(site.errors[0].line, 3u);
        }
        EXPECT_EQ(boxes.Text(), c.shown);
        engine->Close();
        parser->Release();
        engine->Release();
    }
}

// Runs the script on an engine whose scripts may hold limit bytes; the errors it reported.
std::vector<ReportedError> RunWithMemoryLimit(const wchar_t* script, size_t limit)
{
    IActiveScript* engine = vbs::CreateEngine();
    vbs::SetEngineMemoryLimit(engine, limit);
    TestSite site;
    IActiveScriptParse* parser = nullptr;
    engine->QueryInterface(IID_IActiveScriptParse, reinterpret_cast<void**>(&parser));
    engine->SetScriptSite(&site);
    parser->InitNew();
    parser->ParseScriptText(script, nullptr, nullptr, nullptr, 0, 0, 0, nullptr, nullptr);
    engine->SetScriptState(SCRIPTSTATE_STARTED);
    engine->Close();
    parser->Release();
    engine->Release();
    return site.errors;
}

TEST(Engine, ObjectsAndTextCompiledAtRunTimeCountAgainstTheMemoryBudget)
{
    struct Case {
        const wchar_t* script;
        const wchar_t* shown;
    } cases[] = {
        // 200,000 objects of about 100 bytes each do not fit in 2 MiB.
        { L"Class Node\n Public NextNode\nEnd Class\nSet head = Nothing\nOn Error Resume Next\nFor i = 1 To 200000\n Set n = New Node\n"
          L" If Err.Number <> 0 Then Exit For\n Set n.NextNode = head\n Set head = n\nNext\nMsgBox (i < 200000) & \" \" & Err.Number",
          L"True 7\n" },
        // Nor do 20,000 procedures declared at run time, which stay as long as the script.
        { L"On Error Resume Next\nFor i = 1 To 20000\n ExecuteGlobal \"Sub P\" & i & \"()\" & vbLf & \"End Sub\"\n"
          L" If Err.Number <> 0 Then Exit For\nNext\nMsgBox (i < 20000) & \" \" & Err.Number",
          L"True 7\n" },
        // Text that declares no procedure is let go once it has run: 20,000 of them fit.
        { L"Sub InSub(i)\n x = Eval(\"i * 2\")\n Execute \"y = i + x\"\nEnd Sub\n"
          L"For i = 1 To 20000\n v = Eval(\"i + 1\")\n Execute \"w = i\"\n ExecuteGlobal \"z = i\"\n InSub i\nNext\n"
          L"MsgBox v & \" \" & w & \" \" & z",
          L"20001 20000 20000\n" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        MessageBoxRecorder boxes;
        EXPECT_TRUE(RunWithMemoryLimit(c.script, 2 << 20).empty());
        EXPECT_EQ(boxes.Text(), c.shown);
    }
}

// Text run once is freed with what it noted about names nobody had declared yet; a later
// declaration of those names must find only the uses of code that still exists.
TEST(Engine, NamesDeclaredAfterFreedTextUsedThemAreBoundAsUsual)
{
    MessageBoxRecorder boxes;
    RunResult r = RunLikeThePage(L"For i = 1 To 3\n a = Eval(\"Later\")\n Execute \"b = LaterVar\"\nNext\n"
                                 L"Sub S\n Execute \"c = LaterVar\"\nEnd Sub\nS\n"
                                 L"ExecuteGlobal \"Function Later()\" & vbLf & \"Later = 7\" & vbLf & \"End Function\"\n"
                                 L"ExecuteGlobal \"Dim LaterVar : LaterVar = 8\"\n"
                                 L"MsgBox Eval(\"Later\") & \" \" & Eval(\"LaterVar\")");
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(boxes.Text(), L"7 8\n");
}

TEST(Engine, DeepRecursionEndsWithOutOfStackSpace)
{
    MessageBoxRecorder boxes;
    RunResult r = RunLikeThePage(L"Function F(n)\n F = F(n + 1) + 1\nEnd Function\nMsgBox F(1)");
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0].code, 28);
    EXPECT_EQ(r.errors[0].line, 1u);
}

TEST(Engine, ReleasingALongChainOfObjectsDoesNotExhaustTheStack)
{
    MessageBoxRecorder boxes;
    RunResult r = RunLikeThePage(L"Class Node\n Public NextNode\nEnd Class\nSet head = Nothing\n"
                                 L"For i = 1 To 50000\n Set n = New Node\n Set n.NextNode = head\n Set head = n\nNext\n"
                                 L"Set n = Nothing\nSet head = Nothing\nMsgBox \"released\"");
    EXPECT_TRUE(r.errors.empty());
    EXPECT_EQ(boxes.Text(), L"released\n");
}

TEST(Engine, CyclesBetweenScriptObjectsAreFreedWhenClosing)
{
    MessageBoxRecorder boxes;
    RunResult r = RunLikeThePage(L"Class Node\n Public Other\n Private Sub Class_Terminate()\n MsgBox \"bye\"\n End Sub\nEnd Class\n"
                                 L"Set a = New Node : Set b = New Node\nSet a.Other = b : Set b.Other = a\nSet a = Nothing : Set b = Nothing");
    EXPECT_TRUE(r.errors.empty());
    EXPECT_TRUE(boxes.requests.empty());  // a cycle is not terminated, but it is freed (leak checks run in the tests)
}

// A request to end the program stops a Class_Terminate that never ends, also one run at the close,
// where the host is asked nothing; the close then goes on.
TEST(Engine, ATerminationSignalStopsARunawayClassTerminate)
{
    TerminationSignals signals([](int) {});
    ScriptMessageBoxHandler previous = SetScriptMessageBoxHandler([](const ScriptMessageBoxRequest&) {
        ::raise(SIGTERM);
        return IDOK;
    });
    RunResult r = RunLikeThePage(L"Class Node\n Private Sub Class_Terminate()\n MsgBox \"bye\"\n Do\n Loop\n End Sub\nEnd Class\n"
                                 L"Set kept = New Node");
    SetScriptMessageBoxHandler(previous);
    EXPECT_TRUE(TerminationRequested());
    EXPECT_TRUE(r.errors.empty());
}

} // namespace
