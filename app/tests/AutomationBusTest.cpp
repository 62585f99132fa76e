// "FLN.Application" for other programs: a second process drives the running program's Formula page
// over a private session bus, busctl does the same from a shell, and the bus starts the program
// without a window for a client when none runs.

#include "app/Application.h"
#include "app/FlnDoc.h"
#include "platform/com/Automation.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/LocalServerRegistration.h"
#include "platform/base/tests/RunCommand.h"
#include "platform/base/tests/WaitUntil.h"
#include "platform/com/tests/PrivateBus.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

const std::string kService = "org.formulon.FLN.Application";

// The process that owns the service's bus name, 0 when none does.
pid_t ServiceOwner() { return BusNameOwner(kService); }

// How many connections own or wait for the service's bus name.
int NameOwnersAndWaiters()
{
    const std::string reply = RunCommand(Busctl() + "call org.freedesktop.DBus /org/freedesktop/DBus org.freedesktop.DBus "
                                         "ListQueuedOwners s " + kService).output;
    return reply.rfind("as ", 0) == 0 ? std::atoi(reply.c_str() + 3) : 0;
}

bool WaitFor(const std::function<bool()>& condition)
{
    return WaitUntil(condition, kWaitLimit, [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); });
}

VARIANT Text(const wchar_t* text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

VARIANT Double(double value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

class AutomationBus : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_bus.running()) << "dbus-daemon did not start"; }

    ComPtr<IDispatch> Create()
    {
        ComPtr<IDispatch> object;
        EXPECT_EQ(CoCreateInstance(CLSID_FlnApplication, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(object.Receive())), S_OK);
        return object;
    }

    static HRESULT Call(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result, EXCEPINFO* exception = nullptr)
    {
        DISPID id = DISPID_UNKNOWN;
        HRESULT hr = GetDispatchId(object, name, &id);
        if (SUCCEEDED(hr))
            hr = InvokeDispatch(object, id, DISPATCH_METHOD, args.data(), static_cast<UINT>(args.size()), result, exception);
        for (VARIANT& a : args)
            VariantClear(&a);
        return hr;
    }

    static double Result(IDispatch* object, double x)
    {
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(Call(object, L"GetFormulaResult", { Double(x) }, &result), S_OK);
        return result.vt == VT_R8 ? result.dblVal : -1e300;
    }

    // An invalid formula: the call succeeds with the parser's value for it ("2#x" reads as 2).
    static void ExpectParserValue(IDispatch* object)
    {
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO exception {};
        EXPECT_EQ(Call(object, L"GetFormulaResult", { Double(1) }, &result, &exception), S_OK);
        EXPECT_EQ(exception.bstrDescription, nullptr);
        ClearExcepInfo(&exception);
        EXPECT_EQ(result.vt, VT_R8);
        EXPECT_EQ(result.dblVal, 2);
    }

    PrivateBus m_bus;
};

TEST_F(AutomationBus, AnotherProcessDrivesTheRunningProgramsFormulaPage)
{
    ChildProcess program({ FLN_FORMULON }, true);
    ASSERT_TRUE(WaitFor([&] { return ServiceOwner() == program.pid(); })) << "the program did not publish its class";
    ComPtr<IDispatch> application = Create();
    ASSERT_TRUE(application);

    ASSERT_EQ(Call(application.get(), L"SetFormulaString", { Text(L"x^2+1") }, nullptr), S_OK);
    VARIANT formula;
    VariantInit(&formula);
    ASSERT_EQ(Call(application.get(), L"GetFormulaString", {}, &formula), S_OK);
    EXPECT_EQ(std::wstring_view(formula.bstrVal), L"x^2+1");
    VariantClear(&formula);
    EXPECT_EQ(Result(application.get(), 2), 5);
    EXPECT_EQ(Result(application.get(), -3), 10);
    EXPECT_EQ(Result(application.get(), 0.5), 1.25);

    ASSERT_EQ(Call(application.get(), L"SetFormulaString", { Text(L"2#x") }, nullptr), S_OK);
    ExpectParserValue(application.get());

    // busctl reaches the same page. The class object makes objects for it too, but an object goes
    // with the client that made it, so the calls go to this process's object.
    std::string created = RunCommand(Busctl() + "call " + kService + " /FLN/Application org.formulon.Automation.ClassObject CreateInstance").output;
    EXPECT_EQ(created.substr(0, 3), "o \"") << created;
    std::string object = kService + " /FLN/Application/1";
    std::string members = Busctl() + "call -- " + object + " org.formulon.Automation.Members ";
    CommandResult set = RunCommand(members + "SetFormulaString av 1 s \"3*x-1\"");
    EXPECT_EQ(set.status, 0) << set.output;
    struct Case {
        const char* x;
        const char* output;
    } cases[] = { { "2", "v d 5\n" }, { "-1", "v d -4\n" }, { "0.5", "v d 0.5\n" } };
    for (const Case& c : cases)
        EXPECT_EQ(RunCommand(members + "GetFormulaResult av 1 d " + c.x).output, c.output) << c.x;
    EXPECT_EQ(Result(application.get(), 1), 2) << "both clients share the page";

    RunCommand(members + "SetFormulaString av 1 s \"2#x\"");
    EXPECT_EQ(RunCommand(members + "GetFormulaResult av 1 d 1").output, "v d 2\n") << "the parser's value, no error";
}

TEST_F(AutomationBus, TheBusStartsTheProgramWithoutAWindowForItsClient)
{
    ASSERT_EQ(RegisterLocalServer(CLSID_FlnApplication, L"FLN.Application", FLN_FORMULON), S_OK);
    ComPtr<IDispatch> application = Create();
    ASSERT_TRUE(application);
    // Each client's program serves it alone: the bus name is free again once the object is made.
    std::string found = RunCommand(std::string("pgrep -x -f '") + FLN_FORMULON + " -Automation'").output;
    ASSERT_FALSE(found.empty()) << "no program was started for the client";
    const pid_t server = static_cast<pid_t>(std::stol(found));

    ASSERT_EQ(Call(application.get(), L"SetFormulaString", { Text(L"x*x*x") }, nullptr), S_OK);
    EXPECT_EQ(Result(application.get(), 2), 8);
    EXPECT_EQ(Result(application.get(), -1), -1);
    ASSERT_EQ(Call(application.get(), L"SetFormulaString", { Text(L"(x+1))") }, nullptr), S_OK);
    ExpectParserValue(application.get());

    // With its last client gone the program ends.
    application.Reset();
    EXPECT_TRUE(WaitFor([&] { return kill(server, 0) != 0; })) << "the program still runs";
}

// Without a runtime folder, a folder where the lock folder goes that is not the user's own (here one
// open to all) does not stop a windowless start: the program serves with its locks in the settings
// folder; where no private folder can be had at all, it ends and says why.
TEST_F(AutomationBus, ASquattedLockFolderDoesNotStopAWindowlessStartAndAFailureSaysWhy)
{
    namespace fs = std::filesystem;
    TempSettingsFolder folder;
    ScopedEnv noRuntime("XDG_RUNTIME_DIR"), temporary("TMPDIR", folder.root());
    const std::string squatted = folder.root() + "/formulon-" + std::to_string(::geteuid());
    fs::create_directory(squatted);
    fs::permissions(squatted, fs::perms::all);
    {
        ChildProcess windowless({ FLN_FORMULON, "-Automation" }, true);
        EXPECT_TRUE(WaitFor([&] { return ServiceOwner() == windowless.pid(); })) << "the windowless program did not publish";
    }
    fs::remove_all(folder.settings() + "/locks");
    TempSettingsFolder::WriteAll(folder.settings() + "/locks", "in the way");
    const CommandResult refused = RunCommand(std::string(FLN_FORMULON) + " -Automation");
    EXPECT_NE(refused.status, 0);
    EXPECT_NE(refused.output.find(squatted + " is open to other users"), std::string::npos) << refused.output;
    EXPECT_EQ(refused.output.find("already serve clients"), std::string::npos) << refused.output;
}

// A window started while a program without a window holds the name (one the bus started for a
// client) waits for the name: that program lets it go once it has served its object, and from then
// on clients reach the window.
TEST_F(AutomationBus, AWindowStartedWhileAWindowlessProgramHoldsTheNameTakesItOver)
{
    ChildProcess windowless({ FLN_FORMULON, "-Automation" }, true);
    ASSERT_TRUE(WaitFor([&] { return ServiceOwner() == windowless.pid(); })) << "the windowless program did not publish";
    // Held by its own rule, however long the window takes to start: it lives while a client holds
    // an object of it, and a document object leaves it the application's name.
    ASSERT_EQ(RegisterLocalServer(CLSID_FlnDocument, L"FLN.Document", FLN_FORMULON), S_OK);
    ComPtr<IDispatch> document;
    ASSERT_EQ(CoCreateInstance(CLSID_FlnDocument, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(document.Receive())), S_OK);
    EXPECT_EQ(ServiceOwner(), windowless.pid()) << "the document took the application's name along";
    ChildProcess window({ FLN_FORMULON }, true);
    ASSERT_TRUE(WaitFor([&] { return NameOwnersAndWaiters() == 2; })) << "the window does not wait for the name";
    EXPECT_EQ(ServiceOwner(), windowless.pid());

    ComPtr<IDispatch> first = Create();
    ASSERT_TRUE(first);
    ASSERT_EQ(Call(first.get(), L"SetFormulaString", { Text(L"x+1") }, nullptr), S_OK);
    EXPECT_TRUE(WaitFor([&] { return ServiceOwner() == window.pid(); })) << "the name did not pass to the window";
    ComPtr<IDispatch> second = Create();
    ASSERT_TRUE(second);
    VARIANT formula;
    VariantInit(&formula);
    ASSERT_EQ(Call(second.get(), L"GetFormulaString", {}, &formula), S_OK);
    EXPECT_NE(std::wstring_view(formula.bstrVal), L"x+1") << "the second client reached the first one's program";
    VariantClear(&formula);

    first.Reset();
    document.Reset();
    EXPECT_TRUE(windowless.WaitForExit(kWaitLimit)) << "the windowless program outlived its client";
}

// The README's automation example, taken from the README as it stands and run by the shell with a
// plain system PATH: against the running program, and against the program the bus starts when none runs.
TEST_F(AutomationBus, TheReadmesExampleWorksAsWritten)
{
    std::ifstream readme(FLN_README);
    std::string line, script;
    bool inExample = false;
    while (std::getline(readme, line)) {
        if (line == "    python3 - <<'EOF'")
            inExample = true;
        if (inExample)
            script += (line.size() > 4 ? line.substr(4) : std::string()) + "\n";
        if (inExample && line == "    EOF")
            break;
    }
    ASSERT_NE(script.find("EOF\n"), std::string::npos) << "the README has no example";
    const std::string file = m_bus.root() + "/example.sh";
    std::ofstream(file) << script;
    const std::string run = "env PATH=/usr/bin:/bin sh " + file;

    {
        ChildProcess program({ FLN_FORMULON }, true);
        ASSERT_TRUE(WaitFor([&] { return ServiceOwner() == program.pid(); })) << "the program did not publish its class";
        CommandResult reached = RunCommand(run);
        EXPECT_EQ(reached.output, "5.0\n") << "with the program running";
    }
    ASSERT_TRUE(WaitFor([&] { return ServiceOwner() == 0; }));
    ASSERT_EQ(RegisterLocalServer(CLSID_FlnApplication, L"FLN.Application", FLN_FORMULON), S_OK);
    CommandResult started = RunCommand(run);
    EXPECT_EQ(started.output, "5.0\n") << "with the program started by the bus";
}

} // namespace
