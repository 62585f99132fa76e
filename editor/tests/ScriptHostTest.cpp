#include "editor/ScriptHost.h"
#include "editor/ScriptNamedItems.h"
#include "editor/tests/ScriptHostSupport.h"
#include "platform/com/ClassRegistry.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/Wnd.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

// Holds a calculator for one test and checks that nothing keeps it alive afterwards.
class ScriptHostTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterScriptClasses(); }
    void TearDown() override
    {
        EXPECT_EQ(calculator->RefCount(), 1u) << "a reference to the published object leaked";
        calculator->Release();
    }
    IDispatch* Calculator() { return calculator; }

    TestCalculator* calculator = TestCalculator::Create();
    PageErrorHandler handler;
};

// A host held for one test, released at its end.
struct HostRef {
    SECAScriptHost* host;
    explicit HostRef(IActiveScriptErrorHandler* handler = nullptr) : host(new SECAScriptHost(handler)) {}
    ~HostRef() { host->Release(); }
    SECAScriptHost* operator->() const { return host; }
};

TEST_F(ScriptHostTest, ThePageRunDrivesThePublishedCalculator)
{
    PageRun run = RunLikeThePage(L"Option Explicit\r\n"
                                 L"Dim x\r\n"
                                 L"x = 4\r\n"
                                 L"FLN.Twice x\r\n"
                                 L"FLN.Value = FLN.Add(x, 2) * 10\r\n",
                                 Calculator(), handler);
    EXPECT_EQ(run.parse, S_OK);
    EXPECT_EQ(run.start, S_OK);
    EXPECT_TRUE(handler.errors.empty());
    EXPECT_EQ(calculator->value, 100);  // (4 doubled by reference + 2) * 10
}

TEST_F(ScriptHostTest, ErrorsReachTheHandlerWithNumberTextLineAndCharacter)
{
    struct Case {
        const wchar_t* text;
        PageError expected;
    };
    const Case cases[] = {
        {L"Option Explicit\r\nDim a\r\na = (1 +\r\n", {1023, L"Expected expression", 3, 9, L"a = (1 +"}},
        {L"Option Explicit\r\nDim a\r\n  a = 1 / 0\r\n", {11, L"Division by zero", 3, 3, L"  a = 1 / 0"}},
        {L"Option Explicit\r\nb = 1\r\n", {500, L"Variable is undefined: 'b'", 2, 1, L"b = 1"}},
        {L"FLN.Value = 1\r\nFLN.Fail\r\n", {1001, L"The calculator refused", 2, 1, L"FLN.Fail"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << WideToUtf8(c.text));
        handler.errors.clear();
        RunLikeThePage(c.text, Calculator(), handler);
        ASSERT_EQ(handler.errors.size(), 1u);
        EXPECT_EQ(handler.errors[0], c.expected);
    }
}

TEST_F(ScriptHostTest, ARunTimeErrorEndsTheRun)
{
    PageRun run = RunLikeThePage(L"FLN.Value = 1\r\nFLN.Fail\r\nFLN.Value = 2\r\n", Calculator(), handler);
    EXPECT_TRUE(FAILED(run.start));
    EXPECT_EQ(handler.errors.size(), 1u);
    EXPECT_EQ(calculator->value, 1);
}

TEST_F(ScriptHostTest, WithoutAHandlerErrorsAreAcknowledged)
{
    HostRef host;
    ASSERT_EQ(host->CreateEngine(FALSE), S_OK);
    EXPECT_EQ(host->ParseScriptText(L"x = 1 / 0", 9, nullptr), S_OK);
    EXPECT_TRUE(FAILED(host->SetScriptState(SCRIPTSTATE_STARTED)));
    EXPECT_EQ(host->Close(), S_OK);
}

TEST_F(ScriptHostTest, TheHostIsASiteAndASiteWindowButNoDispatch)
{
    HostRef host;
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(host->QueryInterface(IID_IDispatch, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(host->QueryInterface(IID_IUnknown, nullptr), E_INVALIDARG);

    IActiveScriptSiteWindow* window = nullptr;
    ASSERT_EQ(host->QueryInterface(IID_IActiveScriptSiteWindow, reinterpret_cast<void**>(&window)), S_OK);
    IActiveScriptSite* site = nullptr;
    ASSERT_EQ(window->QueryInterface(IID_IActiveScriptSite, reinterpret_cast<void**>(&site)), S_OK);
    EXPECT_EQ(site, static_cast<IActiveScriptSite*>(host.host));
    site->Release();

    EXPECT_EQ(host->SetWindowHandle(reinterpret_cast<HWND>(0x42)), S_OK);
    EXPECT_EQ(host->SetWindow(nullptr), S_FALSE);
    HWND answered = nullptr;
    EXPECT_EQ(window->GetWindow(&answered), S_OK);
    EXPECT_EQ(answered, reinterpret_cast<HWND>(0x42));
    EXPECT_EQ(window->GetWindow(nullptr), E_INVALIDARG);
    window->Release();

    LCID lcid = 7;
    EXPECT_EQ(host->GetLCID(&lcid), S_OK);
    EXPECT_EQ(lcid, 0u);
    EXPECT_EQ(host->GetDocVersionString(nullptr), E_NOTIMPL);
}

TEST_F(ScriptHostTest, ASecondEngineIsRefusedAndTheFirstKept)
{
    HostRef host;
    ASSERT_EQ(host->CreateEngine(FALSE), S_OK);
    EXPECT_EQ(host->CreateEngine(FALSE), S_FALSE);
    EXPECT_EQ(host->AddNamedItem(L"FLN", Calculator(), nullptr, SCRIPTITEM_ISVISIBLE), S_OK);
    EXPECT_EQ(host->ParseScriptText(L"FLN.Value = 3", 13, nullptr), S_OK);
    EXPECT_EQ(host->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    SCRIPTSTATE state = SCRIPTSTATE_UNINITIALIZED;
    EXPECT_EQ(host->GetScriptState(&state), S_OK);
    EXPECT_EQ(state, SCRIPTSTATE_STARTED);
    EXPECT_EQ(calculator->value, 3);
    host->Close();
}

TEST_F(ScriptHostTest, AnUnknownEngineLeavesItsMessage)
{
    HostRef host;
    const CLSID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    SECAScriptHost::LastErrorText = nullptr;
    EXPECT_EQ(host->CreateEngineFromCLSID(unknown), E_FAIL);
    ASSERT_NE(SECAScriptHost::LastErrorText, nullptr);
    EXPECT_STREQ(SECAScriptHost::LastErrorText, L"Creating the ActiveX Scripting engine failed.  Scripting engine is "
                                                L"probably not correctly registered or CLSID incorrect.");
    EXPECT_EQ(host->SetScriptState(SCRIPTSTATE_STARTED), E_FAIL);
    SCRIPTSTATE state;
    EXPECT_EQ(host->GetScriptState(&state), E_FAIL);
}

TEST_F(ScriptHostTest, NamedItemsAreKeptByExactNameAndLeaveTheObjectsCountAsItWas)
{
    HostRef host;
    ASSERT_EQ(host->CreateEngine(FALSE), S_OK);
    ULONG before = calculator->RefCount();
    EXPECT_EQ(host->AddNamedItem(L"FLN", Calculator(), nullptr, 6), S_OK);
    EXPECT_EQ(calculator->RefCount(), before + 1);  // the item's own reference
    EXPECT_EQ(host->AddNamedItem(L"FLN", Calculator(), nullptr, 6), E_INVALIDARG);
    EXPECT_EQ(calculator->RefCount(), before + 1);
    EXPECT_EQ(host->AddNamedItem(L"fln", Calculator(), nullptr, 6), S_OK);
    EXPECT_EQ(host->AddNamedItem(nullptr, Calculator(), nullptr, 6), E_INVALIDARG);
    EXPECT_EQ(host->AddNamedItem(L"X", nullptr, nullptr, 6), E_INVALIDARG);

    IUnknown* upper = nullptr;
    IUnknown* lower = nullptr;
    ASSERT_EQ(host->GetItemInfo(L"FLN", SCRIPTINFO_IUNKNOWN, &upper, nullptr), S_OK);
    ASSERT_EQ(host->GetItemInfo(L"fln", SCRIPTINFO_IUNKNOWN, &lower, nullptr), S_OK);
    EXPECT_NE(upper, lower);
    upper->Release();
    lower->Release();
    host->Close();
}

TEST_F(ScriptHostTest, ItemInfoAnswersThroughTheItemsClassInformationPart)
{
    HostRef host;
    ASSERT_EQ(host->CreateEngine(FALSE), S_OK);
    ASSERT_EQ(host->AddNamedItem(L"FLN", Calculator(), nullptr, 6), S_OK);

    IUnknown* unknown = reinterpret_cast<IUnknown*>(1);
    ITypeInfo* typeInfo = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(host->GetItemInfo(L"Missing", SCRIPTINFO_IUNKNOWN | SCRIPTINFO_ITYPEINFO, &unknown, &typeInfo),
              TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(unknown, nullptr);
    EXPECT_EQ(typeInfo, nullptr);
    EXPECT_EQ(host->GetItemInfo(L"FLN", SCRIPTINFO_IUNKNOWN, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(host->GetItemInfo(L"FLN", SCRIPTINFO_ITYPEINFO, nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(host->GetItemInfo(L"FLN", SCRIPTINFO_ITYPEINFO, nullptr, &typeInfo), TYPE_E_ELEMENTNOTFOUND);

    ASSERT_EQ(host->GetItemInfo(L"FLN", SCRIPTINFO_IUNKNOWN, &unknown, nullptr), S_OK);
    EXPECT_NE(unknown, static_cast<IUnknown*>(Calculator()));
    IProvideMultipleClassInfo* classInfo = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IProvideMultipleClassInfo, reinterpret_cast<void**>(&classInfo)), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(classInfo), unknown);
    classInfo->Release();
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    EXPECT_EQ(dispatch, Calculator());  // the engine talks to the published object itself
    dispatch->Release();
    unknown->Release();
    host->Close();
}

// An engine that only answers IActiveScript and records the names it is given.
class ParserlessEngine final : public IActiveScript {
public:
    std::vector<std::pair<std::wstring, DWORD>> namedItems;
    int closes = 0;

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IActiveScript) {
            *ppv = static_cast<IActiveScript*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }  // owned by the test
    HRESULT SetScriptSite(IActiveScriptSite*) override { return S_OK; }
    HRESULT GetScriptSite(REFIID, void**) override { return E_NOTIMPL; }
    HRESULT SetScriptState(SCRIPTSTATE) override { return S_OK; }
    HRESULT GetScriptState(SCRIPTSTATE*) override { return S_OK; }
    HRESULT Close() override
    {
        ++closes;
        return S_OK;
    }
    HRESULT AddNamedItem(LPCOLESTR name, DWORD flags) override
    {
        namedItems.emplace_back(name, flags);
        return S_OK;
    }
    HRESULT AddTypeLib(REFGUID, DWORD, DWORD, DWORD) override { return E_NOTIMPL; }
    HRESULT GetScriptDispatch(LPCOLESTR, IDispatch**) override { return E_NOTIMPL; }
    HRESULT GetCurrentScriptThreadID(SCRIPTTHREADID*) override { return E_NOTIMPL; }
    HRESULT GetScriptThreadID(DWORD, SCRIPTTHREADID*) override { return E_NOTIMPL; }
    HRESULT GetScriptThreadState(SCRIPTTHREADID, SCRIPTTHREADSTATE*) override { return E_NOTIMPL; }
    HRESULT InterruptScriptThread(SCRIPTTHREADID, const EXCEPINFO*, DWORD) override { return S_OK; }
    HRESULT Clone(IActiveScript**) override { return E_NOTIMPL; }

    ULONG refs = 1;
};

constexpr CLSID kParserlessClassId = {0x0DDBA11, 0x5EED, 0x4A11, {0xB0, 0x0B, 0, 0, 0, 0, 0, 1}};

class ParserlessEngineTest : public ScriptHostTest {
protected:
    void SetUp() override
    {
        ScriptHostTest::SetUp();
        RegisterComClass(kParserlessClassId, nullptr, [this](IUnknown*, REFIID riid, void** ppv) {
            return engine.QueryInterface(riid, ppv);
        });
    }
    void TearDown() override
    {
        UnregisterComClass(kParserlessClassId);
        EXPECT_EQ(engine.refs, 1u);
        ScriptHostTest::TearDown();
    }
    ParserlessEngine engine;
};

TEST_F(ParserlessEngineTest, AnEngineWithoutAParserFailsCleanly)
{
    HostRef host;
    SECAScriptHost::LastErrorText = nullptr;
    EXPECT_EQ(host->CreateEngineFromCLSID(kParserlessClassId), E_NOINTERFACE);
    EXPECT_STREQ(SECAScriptHost::LastErrorText, L"ActiveX Scripting engine does not support IActiveScriptParse");
    EXPECT_EQ(host->ParseScriptText(L"x = 1", 5, nullptr), E_FAIL);
    EXPECT_EQ(host->Close(), S_OK);
    EXPECT_EQ(engine.closes, 1);
    EXPECT_EQ(host->Close(), S_OK);  // a second Close finds nothing to close
    EXPECT_EQ(engine.closes, 1);
}

TEST_F(ParserlessEngineTest, ItemsAreAnnouncedAgainExceptAnUnnamedOne)
{
    HostRef host;
    host->CreateEngineFromCLSID(kParserlessClassId);
    host->AddNamedItem(L"", Calculator(), nullptr, SCRIPTITEM_ISVISIBLE);
    host->AddNamedItem(L"FLN", Calculator(), nullptr, SCRIPTITEM_ISVISIBLE);
    engine.namedItems.clear();
    EXPECT_EQ(host->ReAddNamedItems(), S_OK);
    ASSERT_EQ(engine.namedItems.size(), 1u);
    EXPECT_EQ(engine.namedItems[0].first, L"FLN");
    EXPECT_EQ(engine.namedItems[0].second, SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE);
    host->Close();
}

TEST_F(ScriptHostTest, WithoutAnEngineEveryOperationFailsInsteadOfReportingSuccess)
{
    HostRef host;
    EXPECT_EQ(host->ParseScriptText(L"", 0, nullptr), S_OK);  // nothing to do
    EXPECT_EQ(host->ParseScriptText(nullptr, 0, nullptr), S_OK);
    EXPECT_TRUE(FAILED(host->ParseScriptText(L"x = 1", 5, nullptr)));
    EXPECT_TRUE(FAILED(host->AddNamedItem(L"FLN", Calculator(), nullptr, 6)));
    EXPECT_TRUE(FAILED(host->ReAddNamedItems()));
    EXPECT_TRUE(FAILED(host->InterruptScript()));
    EXPECT_EQ(host->Close(), S_OK);
}

class ScriptFileTest : public ScriptHostTest {
protected:
    void TearDown() override
    {
        std::filesystem::remove_all(folder);
        ScriptHostTest::TearDown();
    }
    std::filesystem::path Write(const char* name, const std::string& bytes)
    {
        std::filesystem::create_directories(folder);
        std::filesystem::path path = folder / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::filesystem::path folder = std::filesystem::temp_directory_path() / ("fln-host-" + std::to_string(::getpid()));
};

TEST_F(ScriptFileTest, AFileIsReadAsAnsiTextAndRun)
{
    auto path = Write("run.vbs", "Dim s\r\ns = \"caf\xC3\xA9\"\r\nFLN.Value = Len(s) + AscW(Right(s, 1))\r\n");
    HostRef host(&handler);
    ASSERT_EQ(host->CreateEngine(FALSE), S_OK);
    host->AddNamedItem(L"FLN", Calculator(), nullptr, 6);
    EXPECT_EQ(host->ParseScriptFile(path.wstring().c_str(), nullptr), S_OK);
    EXPECT_EQ(host->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    EXPECT_EQ(calculator->value, 4 + 0xE9);
    host->Close();
}

TEST_F(ScriptFileTest, AMissingOrUnreadableFileFails)
{
    HostRef host(&handler);
    ASSERT_EQ(host->CreateEngine(FALSE), S_OK);
    EXPECT_TRUE(FAILED(host->ParseScriptFile((folder / "missing.vbs").wstring().c_str(), nullptr)));
    Write("placeholder", "");
    SECAScriptHost::LastErrorText = nullptr;
    EXPECT_EQ(host->ParseScriptFile(folder.wstring().c_str(), nullptr), E_FAIL);  // a folder cannot be read
    EXPECT_STREQ(SECAScriptHost::LastErrorText, L"File error");
    EXPECT_TRUE(handler.errors.empty());
    host->Close();
}

TEST_F(ScriptHostTest, AnEndlessLoopIsInterruptedFromAnotherThread)
{
    SECAScriptHost* running = nullptr;
    std::thread stopper;
    calculator->onReady = [&] {
        stopper = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let the loop spin
            EXPECT_EQ(running->InterruptScript(), S_OK);
        });
    };
    PageRun run = RunLikeThePage(L"FLN.Ready\r\nDo\r\nLoop\r\nFLN.Value = 1\r\n", Calculator(), handler, FALSE,
                                 [&](SECAScriptHost* host) { running = host; });
    stopper.join();
    EXPECT_TRUE(calculator->ready);
    EXPECT_TRUE(FAILED(run.start));
    EXPECT_TRUE(handler.errors.empty()) << "a stop asked by the user is no script error";
    EXPECT_EQ(calculator->value, 0);
}

TEST_F(ScriptHostTest, AnEndlessLoopIsInterruptedFromInsideTheScriptsOwnCalls)
{
    SECAScriptHost* running = nullptr;
    calculator->onTick = [&] {
        if (calculator->ticks == 3)
            running->InterruptScript();
    };
    RunLikeThePage(L"Do\r\nFLN.Tick\r\nLoop\r\n", Calculator(), handler, FALSE,
                   [&](SECAScriptHost* host) { running = host; });
    EXPECT_EQ(calculator->ticks, 3);
    EXPECT_TRUE(handler.errors.empty());
}

// A running script asks its host, about every 10 ms, whether to go on: a poll that stops it, or one
// that interrupts it from there (as the page does for Esc), ends an endless loop; a script that
// ends quickly is never held up by the poll.
TEST_F(ScriptHostTest, TheContinuePollIsAskedWhileAScriptRunsAndCanEndIt)
{
    const auto pollUntil = [](int& polls, SECAScriptHost*& running, bool interrupt) {
        return [&polls, &running, interrupt] {
            if (++polls < 3)
                return true;
            if (interrupt)
                running->InterruptScript();
            return interrupt;
        };
    };
    for (bool interrupt : { false, true }) {
        SCOPED_TRACE(interrupt ? "interrupted" : "stopped by the answer");
        int polls = 0;
        SECAScriptHost* running = nullptr;
        const auto start = std::chrono::steady_clock::now();
        PageRun run = RunLikeThePage(L"Do\r\nFLN.Tick\r\nLoop\r\nFLN.Value = 1\r\n", Calculator(), handler, FALSE,
                                     [&](SECAScriptHost* host) {
                                         running = host;
                                         host->SetContinuePoll(pollUntil(polls, running, interrupt));
                                     });
        EXPECT_EQ(polls, 3);
        EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
        EXPECT_TRUE(FAILED(run.start));
        EXPECT_TRUE(handler.errors.empty());
        EXPECT_EQ(calculator->value, 0);
    }
    int polls = 0;
    RunLikeThePage(L"FLN.Value = 2\r\n", Calculator(), handler, FALSE,
                   [&](SECAScriptHost* host) { host->SetContinuePoll([&] { return ++polls, false; }); });
    EXPECT_EQ(polls, 0);
    EXPECT_EQ(calculator->value, 2);
}

// The object the script's last line made ends when the host closes the engine, and its
// terminator never returns: the host's poll is asked meanwhile, and the interrupt it asks from
// there (as the page does for Esc) ends the close.
TEST_F(ScriptHostTest, ARunawayTerminatorRunByTheCloseIsInterruptedFromThePoll)
{
    HostRef host(&handler);
    ASSERT_EQ(host->CreateEngine(FALSE), S_OK);
    bool closing = false;
    int pollsWhileClosing = 0;
    host->SetContinuePoll([&] {
        if (closing && ++pollsWhileClosing == 2) {
            EXPECT_EQ(host->InterruptScript(), S_OK);
        }
        return true;
    });
    ASSERT_EQ(host->ParseScriptText(L"Class T\r\n Private Sub Class_Terminate()\r\n  Do\r\n  Loop\r\n End Sub\r\n"
                                    L"End Class\r\nSet t = New T\r\n", 0, nullptr),
              S_OK);
    ASSERT_EQ(host->SetScriptState(SCRIPTSTATE_STARTED), S_OK);
    closing = true;
    EXPECT_EQ(host->Close(), S_OK);
    EXPECT_EQ(pollsWhileClosing, 2);
    EXPECT_TRUE(handler.errors.empty());
}

// A window given with an item: the host destroys it (after taking its focus) and deletes it.
class ItemWindow : public CWnd {
public:
    std::vector<UINT>* messages;
    bool* deleted;
    ItemWindow(std::vector<UINT>* m, bool* d) : messages(m), deleted(d) {}
    ~ItemWindow() override { *deleted = true; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages->push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST_F(ScriptHostTest, TheHostDestroysAndDeletesTheItemsWindows)
{
    SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    std::vector<UINT> liveMessages, staleMessages;
    bool liveDeleted = false, staleDeleted = false;
    auto* live = new ItemWindow(&liveMessages, &liveDeleted);
    ASSERT_TRUE(live->CreateEx(0, nullptr, L"Item", WS_OVERLAPPEDWINDOW, 0, 0, 50, 50, nullptr, nullptr));
    HWND liveHandle = live->GetSafeHwnd();
    auto* stale = new ItemWindow(&staleMessages, &staleDeleted);  // its window never existed

    auto* host = new SECAScriptHost(nullptr);
    ASSERT_EQ(host->CreateEngine(FALSE), S_OK);
    host->AddNamedItem(L"A", Calculator(), live, 6);
    host->AddNamedItem(L"B", Calculator(), stale, 6);
    host->AddNamedItem(L"C", Calculator(), nullptr, 6);
    host->Close();
    liveMessages.clear();
    host->Release();

    EXPECT_TRUE(liveDeleted);
    EXPECT_TRUE(staleDeleted);
    EXPECT_FALSE(::IsWindow(liveHandle));
    ASSERT_FALSE(liveMessages.empty());
    EXPECT_EQ(liveMessages.front(), static_cast<UINT>(WM_KILLFOCUS));
    EXPECT_TRUE(staleMessages.empty());
}

} // namespace
