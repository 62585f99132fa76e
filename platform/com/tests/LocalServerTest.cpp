// Automation across processes: a calculator published by another process on a private session
// bus, reached through CoCreateInstance's proxy, started by the bus, and described to busctl.

#include "platform/com/AutomationTarget.h"
#include "platform/com/BusNames.h"
#include "platform/com/BusVariant.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/DispatchProxy.h"
#include "platform/com/LocalServer.h"
#include "platform/com/LocalServerRegistration.h"
#include "platform/com/SessionBusLibrary.h"
#include "platform/base/tests/RunCommand.h"
#include "platform/com/tests/PrivateBus.h"
#include "platform/com/tests/ResidentClassFactory.h"
#include "platform/com/tests/helpers/TestCalculator.h"
#include "platform/sys/WaitSources.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <chrono>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>
#include <sys/stat.h>

namespace {

VARIANT Make(VARTYPE vt)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    return v;
}

VARIANT Long(LONG value) { VARIANT v = Make(VT_I4); v.lVal = value; return v; }
VARIANT Double(double value) { VARIANT v = Make(VT_R8); v.dblVal = value; return v; }
VARIANT Date(double value) { VARIANT v = Make(VT_DATE); v.date = value; return v; }
VARIANT Text(const wchar_t* text) { VARIANT v = Make(VT_BSTR); v.bstrVal = SysAllocString(text); return v; }

// Owns a VARIANT for a test's scope.
struct Var {
    VARIANT v;
    Var() { VariantInit(&v); }
    explicit Var(VARIANT value) : v(value) {}
    ~Var() { VariantClear(&v); }
    Var(const Var&) = delete;
};

class LocalServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_bus.running()) << "dbus-daemon did not start";
        ASSERT_EQ(RegisterLocalServer(CLSID_TestCalculator, kTestCalculatorProgId, FLN_AUTOMATION_SERVER), S_OK);
    }

    // Starts the server process and waits until it has published the class.
    void StartServer()
    {
        m_server = std::make_unique<ChildProcess>(std::vector<std::string>{FLN_AUTOMATION_SERVER, kAutomationSwitch});
        ASSERT_EQ(m_server->ReadLine(kWaitLimit), std::optional<std::string>("ready"));
    }

    ComPtr<IDispatch> Create()
    {
        ComPtr<IDispatch> object;
        EXPECT_EQ(CoCreateInstance(CLSID_TestCalculator, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(object.Receive())), S_OK);
        return object;
    }

    static DISPID Id(IDispatch* object, const wchar_t* name)
    {
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(GetDispatchId(object, name, &id), S_OK) << name;
        return id;
    }

    // Calls a member with arguments in natural order.
    static HRESULT Call(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result,
                        EXCEPINFO* exception = nullptr, WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET)
    {
        DISPID id = DISPID_UNKNOWN;
        HRESULT hr = GetDispatchId(object, name, &id);
        if (SUCCEEDED(hr))
            hr = InvokeDispatch(object, id, flags, args.data(), static_cast<UINT>(args.size()), result, exception);
        for (VARIANT& a : args)
            if (!(a.vt & VT_BYREF))
                VariantClear(&a);
        return hr;
    }

    PrivateBus m_bus;
    std::unique_ptr<ChildProcess> m_server;
};

TEST(BusNames, ProgIdsMapToValidBusNamesAndPaths)
{
    struct Case {
        const wchar_t* progId;
        const char* busName;
        const char* path;
    } cases[] = {
        {L"FLN.Application", "org.formulon.FLN.Application", "/FLN/Application"},
        {L"Calc.Engine.2", "org.formulon.Calc.Engine._2", "/Calc/Engine/_2"},
        {L"My-Tool.Über Object", "org.formulon.My_Tool._ber_Object", "/My_Tool/_ber_Object"},
        {L"Odd..Name", "org.formulon.Odd._.Name", "/Odd/_/Name"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BusNameFromProgId(c.progId), c.busName);
        EXPECT_EQ(ObjectPathFromProgId(c.progId), c.path);
    }
}

TEST_F(LocalServerTest, RegistrationWritesServiceFileAndClassKeys)
{
    std::ifstream in(ServiceFilePath(kTestCalculatorProgId));
    std::string service((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(service, "[D-BUS Service]\nName=org.formulon.FlnTest.Calculator\nExec=" + std::string(FLN_AUTOMATION_SERVER)
                           + " -Automation\n");
    // The next start registers again and finds nothing to write.
    auto fileIdentity = [] {
        struct stat info {};
        EXPECT_EQ(::stat(ServiceFilePath(kTestCalculatorProgId).c_str(), &info), 0);
        return info.st_ino;
    };
    const ino_t written = fileIdentity();
    ASSERT_EQ(RegisterLocalServer(CLSID_TestCalculator, kTestCalculatorProgId, FLN_AUTOMATION_SERVER), S_OK);
    EXPECT_EQ(fileIdentity(), written);
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(L"flntest.calculator", &clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_TestCalculator);
    EXPECT_EQ(ProgIdFromClsid(CLSID_TestCalculator), kTestCalculatorProgId);

    EXPECT_EQ(RegisterLocalServer(CLSID_TestCalculator, L"", "/bin/true"), E_INVALIDARG);
    EXPECT_EQ(RegisterLocalServer(CLSID_TestCalculator, L"Relative.Path", "bin/server"), E_INVALIDARG);
    EXPECT_FALSE(std::filesystem::exists(ServiceFilePath(L"Relative.Path")));

    EXPECT_EQ(UnregisterLocalServer(CLSID_TestCalculator), S_OK);
    EXPECT_FALSE(std::filesystem::exists(ServiceFilePath(kTestCalculatorProgId)));
    EXPECT_EQ(CLSIDFromProgID(kTestCalculatorProgId, &clsid), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(UnregisterLocalServer(CLSID_TestCalculator), S_FALSE);
}

TEST_F(LocalServerTest, ProxyCarriesValuesOfEachKindBothWays)
{
    StartServer();
    ComPtr<IDispatch> calc = Create();
    ASSERT_TRUE(calc);

    Var sum, text, positive, next, pid, onMain;
    EXPECT_EQ(Call(calc.get(), L"Add", {Long(2), Double(0.5)}, &sum.v), S_OK);
    EXPECT_EQ(sum.v.vt, VT_R8);
    EXPECT_EQ(sum.v.dblVal, 2.5);
    EXPECT_EQ(Call(calc.get(), L"concat", {Text(L"π ≈ "), Text(L"3.14")}, &text.v), S_OK);
    ASSERT_EQ(text.v.vt, VT_BSTR);
    EXPECT_EQ(BstrView(text.v.bstrVal), L"π ≈ 3.14");
    EXPECT_EQ(Call(calc.get(), L"IsPositive", {Long(-3)}, &positive.v), S_OK);
    EXPECT_EQ(positive.v.vt, VT_BOOL);
    EXPECT_EQ(positive.v.boolVal, VARIANT_FALSE);
    EXPECT_EQ(Call(calc.get(), L"NextDay", {Date(45000.25)}, &next.v), S_OK);
    EXPECT_EQ(next.v.vt, VT_DATE);
    EXPECT_EQ(next.v.date, 45001.25);

    // The call ran in the server process, on its main thread.
    EXPECT_EQ(Call(calc.get(), L"ProcessId", {}, &pid.v), S_OK);
    EXPECT_EQ(pid.v.lVal, m_server->pid());
    EXPECT_EQ(Call(calc.get(), L"OnMainThread", {}, &onMain.v), S_OK);
    EXPECT_EQ(onMain.v.boolVal, VARIANT_TRUE);

    // A call that revokes the class still gets its answer; the server ends after it.
    EXPECT_EQ(Call(calc.get(), L"Quit", {}, nullptr), S_OK);
    EXPECT_TRUE(m_server->WaitForExit(kWaitLimit));
}

TEST_F(LocalServerTest, PropertiesAndArraysCrossBothWays)
{
    StartServer();
    ComPtr<IDispatch> calc = Create();
    ASSERT_TRUE(calc);

    Var total;
    EXPECT_EQ(Call(calc.get(), L"Total", {Text(L"kept")}, nullptr, nullptr, DISPATCH_PROPERTYPUT), S_OK);
    EXPECT_EQ(Call(calc.get(), L"Total", {}, &total.v, nullptr, DISPATCH_PROPERTYGET), S_OK);
    ASSERT_EQ(total.v.vt, VT_BSTR);
    EXPECT_EQ(BstrView(total.v.bstrVal), L"kept");

    Var range;
    ASSERT_EQ(Call(calc.get(), L"Range", {Long(4)}, &range.v), S_OK);
    ASSERT_EQ(range.v.vt, VT_ARRAY | VT_VARIANT);
    ASSERT_EQ(SafeArrayElementCount(range.v.parray), 4u);
    for (LONG i = 0; i < 4; ++i) {
        Var element;
        ASSERT_EQ(SafeArrayGetElement(range.v.parray, &i, &element.v), S_OK);
        EXPECT_EQ(element.v.vt, VT_I4);
        EXPECT_EQ(element.v.lVal, i + 1);
    }

    // A two-dimensional array of doubles with a lower bound other than 0 keeps its shape.
    SAFEARRAYBOUND bounds[2] = {{2, 1}, {3, -1}};
    VARIANT grid = Make(VT_ARRAY | VT_R8);
    grid.parray = SafeArrayCreate(VT_R8, 2, bounds);
    for (ULONG i = 0; i < 6; ++i)
        static_cast<double*>(grid.parray->pvData)[i] = i * 1.5;
    EXPECT_EQ(Call(calc.get(), L"Total", {grid}, nullptr, nullptr, DISPATCH_PROPERTYPUT), S_OK);
    Var back;
    ASSERT_EQ(Call(calc.get(), L"Total", {}, &back.v, nullptr, DISPATCH_PROPERTYGET), S_OK);
    ASSERT_EQ(back.v.vt, VT_ARRAY | VT_R8);
    ASSERT_EQ(SafeArrayGetDim(back.v.parray), 2u);
    LONG lower = 0;
    SafeArrayGetLBound(back.v.parray, 2, &lower);
    EXPECT_EQ(lower, -1);
    EXPECT_EQ(SafeArrayElementCount(back.v.parray), 6u);
    EXPECT_EQ(static_cast<double*>(back.v.parray->pvData)[5], 7.5);

    VARIANT numbers = Make(VT_ARRAY | VT_I4);
    numbers.parray = SafeArrayCreateVector(VT_I4, 1, 3);
    for (LONG i = 0; i < 3; ++i)
        static_cast<LONG*>(numbers.parray->pvData)[i] = 10 * (i + 1);
    Var summed;
    EXPECT_EQ(Call(calc.get(), L"Sum", {numbers}, &summed.v), S_OK);
    EXPECT_EQ(summed.v.dblVal, 60);
}

TEST_F(LocalServerTest, ByReferenceArgumentsAreWrittenBack)
{
    StartServer();
    ComPtr<IDispatch> calc = Create();
    ASSERT_TRUE(calc);

    // A typed reference keeps its type; a variant reference takes what the server wrote.
    LONG counter = 41;
    VARIANT counterRef = Make(VT_BYREF | VT_I4);
    counterRef.plVal = &counter;
    Var old;
    EXPECT_EQ(Call(calc.get(), L"Increment", {counterRef}, &old.v), S_OK);
    EXPECT_EQ(counter, 42);
    EXPECT_EQ(old.v.dblVal, 41);

    Var left(Text(L"left"));
    Var right(Long(7));
    VARIANT leftRef = Make(VT_BYREF | VT_VARIANT);
    leftRef.pvarVal = &left.v;
    VARIANT rightRef = Make(VT_BYREF | VT_VARIANT);
    rightRef.pvarVal = &right.v;
    EXPECT_EQ(Call(calc.get(), L"Swap", {leftRef, rightRef}, nullptr), S_OK);
    ASSERT_EQ(left.v.vt, VT_I4);
    EXPECT_EQ(left.v.lVal, 7);
    ASSERT_EQ(right.v.vt, VT_BSTR);
    EXPECT_EQ(BstrView(right.v.bstrVal), L"left");

    // An argument passed by value cannot be written back.
    EXPECT_EQ(Call(calc.get(), L"Increment", {Long(5)}, nullptr), DISP_E_TYPEMISMATCH);
}

TEST_F(LocalServerTest, FailuresArriveWithTheirCodesAndExceptionRecord)
{
    StartServer();
    ComPtr<IDispatch> calc = Create();
    ASSERT_TRUE(calc);

    EXCEPINFO info{};
    Var none;
    EXPECT_EQ(Call(calc.get(), L"Fail", {Text(L"Overflow in the bus test")}, &none.v, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(info.scode, MakeControlError(5001));
    EXPECT_EQ(BstrView(info.bstrSource), kTestCalculatorProgId);
    EXPECT_EQ(BstrView(info.bstrDescription), L"Overflow in the bus test");
    ClearExcepInfo(&info);

    DISPID id = 0;
    EXPECT_EQ(GetDispatchId(calc.get(), L"NoSuchMember", &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
    EXPECT_EQ(Call(calc.get(), L"Add", {Text(L"two"), Long(1)}, &none.v), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(calc->Invoke(999, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);

    // Objects do not cross between processes: the call is refused before it is sent.
    VARIANT object = Make(VT_DISPATCH);
    object.pdispVal = calc.get();
    EXPECT_EQ(InvokeDispatch(calc.get(), Id(calc.get(), L"Add"), DISPATCH_METHOD, &object, 1, &none.v), DISP_E_BADVARTYPE);

    // A server that goes away fails the next call instead of hanging.
    m_server.reset();
    EXPECT_TRUE(FAILED(Call(calc.get(), L"Add", {Long(1), Long(2)}, &none.v)));
}

TEST_F(LocalServerTest, BusStartsTheServerWhenNoneRuns)
{
    ComPtr<IDispatch> calc = Create();
    ASSERT_TRUE(calc);
    Var pid;
    EXPECT_EQ(Call(calc.get(), L"ProcessId", {}, &pid.v), S_OK);
    EXPECT_NE(pid.v.lVal, getpid());
    EXPECT_GT(pid.v.lVal, 0);
}

TEST_F(LocalServerTest, UnknownAndUnreachableClassesFail)
{
    ASSERT_EQ(UnregisterLocalServer(CLSID_TestCalculator), S_OK);
    ComPtr<IDispatch> object;
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalculator, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(object.Receive())), REGDB_E_CLASSNOTREG);

    // Registered, but the service file is gone and nothing runs.
    ASSERT_EQ(RegisterLocalServer(CLSID_TestCalculator, kTestCalculatorProgId, FLN_AUTOMATION_SERVER), S_OK);
    std::filesystem::remove(ServiceFilePath(kTestCalculatorProgId));
    EXPECT_EQ(CoCreateInstance(CLSID_TestCalculator, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(object.Receive())), CO_E_SERVER_EXEC_FAILURE);
    EXPECT_FALSE(object);
}

TEST_F(LocalServerTest, OtherToolsIntrospectAndCallThePublishedObject)
{
    StartServer();
    ComPtr<IDispatch> calc = Create();  // the server's first object: /FlnTest/Calculator/1
    ASSERT_TRUE(calc);
    const std::string service = "org.formulon.FlnTest.Calculator";
    const std::string object = service + " /FlnTest/Calculator/1";

    CommandResult classObject = RunCommand(Busctl() + "introspect " + service + " /FlnTest/Calculator");
    EXPECT_EQ(classObject.status, 0) << classObject.output;
    EXPECT_NE(classObject.output.find(".CreateInstance"), std::string::npos) << classObject.output;

    CommandResult members = RunCommand(Busctl() + "introspect " + object + " org.formulon.Automation.Members");
    EXPECT_EQ(members.status, 0) << members.output;
    for (const char* name : {".Add ", ".Concat ", ".Increment ", ".Fail ", ".Total ", ".ProcessId "})
        EXPECT_NE(members.output.find(name), std::string::npos) << name << "\n" << members.output;
    EXPECT_NE(members.output.find("av "), std::string::npos) << members.output;

    struct Case {
        std::string arguments;
        std::string output;
    } cases[] = {
        {"Add av 2 i 2 d 0.5", "v d 2.5\n"},
        {"Concat av 2 s one s \"two three\"", "v s \"onetwo three\"\n"},
        {"IsPositive av 1 x 7", "v b true\n"},
        {"Range av 1 u 2", "v av 2 i 1 i 2\n"},
        {"Sum av 1 av 3 i 1 d 2.5 y 3", "v d 6.5\n"},
    };
    for (const Case& c : cases) {
        CommandResult call = RunCommand(Busctl() + "call " + object + " org.formulon.Automation.Members " + c.arguments);
        EXPECT_EQ(call.status, 0) << c.arguments << "\n" << call.output;
        EXPECT_EQ(call.output, c.output) << c.arguments;
    }

    CommandResult failure = RunCommand(Busctl() + "call " + object + " org.formulon.Automation.Members Fail av 1 s \"bad input\"");
    EXPECT_NE(failure.status, 0);
    EXPECT_NE(failure.output.find("FlnTest.Calculator: bad input"), std::string::npos) << failure.output;

    CommandResult gdbus = RunCommand(GdbusCall() + "--dest " + service + " --object-path /FlnTest/Calculator/1 --method "
                              "org.formulon.Automation.Members.Concat \"[<'a'>, <'b'>]\"");
    EXPECT_EQ(gdbus.status, 0) << gdbus.output;
    EXPECT_EQ(gdbus.output, "(<'ab'>,)\n");
}

TEST_F(LocalServerTest, MalformedCallsGetAnErrorAndTheServerGoesOn)
{
    StartServer();
    ComPtr<IDispatch> calc = Create();  // /FlnTest/Calculator/1
    ASSERT_TRUE(calc);
    const std::string invoke = Busctl() + "call org.formulon.FlnTest.Calculator /FlnTest/Calculator/1 "
                               "org.formulon.Automation.Dispatch Invoke 'iqa(qv)ai' 1 1 ";
    struct Case {
        const char* what;
        std::string arguments;
        const char* code;
    } cases[] = {
        {"a text tag on a number", "1 8 i 5 0", "0x80070057"},
        {"an unknown type tag", "1 99 i 5 0", "0x80020008"},
        {"an array with fewer elements than its bounds", "1 8204 '(a(iu)a(qv))' 1 0 3 1 3 i 7 0", "0x80070057"},
        {"an array announcing four billion elements", "1 8204 '(a(iu)a(qv))' 1 0 4294967295 0 0", "0x8007000E"},
        {"more named arguments than arguments", "0 2 0 1", "0x80070057"},
    };
    for (const Case& c : cases) {
        CommandResult call = RunCommand(invoke + c.arguments);
        EXPECT_NE(call.status, 0) << c.what << "\n" << call.output;
        EXPECT_NE(call.output.find(std::string("(code ") + c.code + ")"), std::string::npos)
            << c.what << "\n" << call.output;
    }
    Var sum;
    EXPECT_EQ(Call(calc.get(), L"Add", {Long(1), Long(2)}, &sum.v), S_OK);
    EXPECT_EQ(sum.v.dblVal, 3);
}

TEST_F(LocalServerTest, ObjectsGoWhenTheirClientReleasesThem)
{
    StartServer();
    ComPtr<IDispatch> first = Create();
    ComPtr<IDispatch> second = Create();
    ASSERT_TRUE(first && second);
    // An object is there while it answers a call at its path.
    auto exists = [](int id) {
        return RunCommand(Busctl() + "call org.formulon.FlnTest.Calculator /FlnTest/Calculator/" + std::to_string(id)
                          + " org.formulon.Automation.Members ProcessId av 0").status == 0;
    };
    auto goes = [&](int id) { return WaitUntil([&] { return !exists(id); }); };
    EXPECT_TRUE(exists(1));
    EXPECT_TRUE(exists(2));
    // The class object's introspection lists no objects: it would cost every caller all of them.
    EXPECT_EQ(RunCommand(Busctl() + "call org.formulon.FlnTest.Calculator /FlnTest/Calculator "
                         "org.freedesktop.DBus.Introspectable Introspect").output.find("<node name="), std::string::npos);

    first.Reset();
    EXPECT_TRUE(goes(1));
    EXPECT_TRUE(exists(2));
    Var pid;
    EXPECT_EQ(Call(second.get(), L"ProcessId", {}, &pid.v), S_OK);

    // A client that leaves the bus without releasing loses its object too.
    EXPECT_EQ(RunCommand(Busctl() + "call org.formulon.FlnTest.Calculator /FlnTest/Calculator "
                         "org.formulon.Automation.ClassObject CreateInstance").output,
              "o \"/FlnTest/Calculator/3\"\n");
    EXPECT_TRUE(goes(3));
}

// A connection of its own to the server, calling without a proxy.
class RawClient {
public:
    RawClient() { m_open = OpenUserBus(&m_bus) >= 0; }
    ~RawClient()
    {
        if (m_open)
            SessionBus().flush_close_unref(m_bus);
    }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool open() const { return m_open; }

    // What a call gets: the reply, or the error's name and message.
    struct Answer {
        BusMessagePtr reply;
        std::string errorName;
        std::string error;
    };
    // A method call with the arguments `append` adds (none without it).
    Answer Send(const char* path, const char* interface, const char* member,
                const std::function<int(sd_bus_message*)>& append = {})
    {
        Answer answer;
        sd_bus_message* message = nullptr;
        sd_bus_message* reply = nullptr;
        sd_bus_error failure = SD_BUS_ERROR_NULL;
        int r = SessionBus().message_new_method_call(m_bus, &message, "org.formulon.FlnTest.Calculator", path, interface, member);
        if (r >= 0 && append)
            r = append(message);
        if (r < 0)
            answer.error = "the call could not be made";
        else if (SessionBus().call(m_bus, message, std::chrono::microseconds(kWaitLimit).count(), &failure, &reply) < 0)
            answer.errorName = failure.name ? failure.name : "", answer.error = failure.message ? failure.message : "";
        SessionBus().message_unref(message);
        SessionBus().error_free(&failure);
        answer.reply.reset(reply);
        return answer;
    }
    // A method call without arguments; the reply when it succeeded, else null with the error's text.
    BusMessagePtr Call(const char* path, const char* interface, const char* member, std::string* error)
    {
        Answer answer = Send(path, interface, member);
        *error = answer.error;
        return std::move(answer.reply);
    }
    bool Create(std::string* path, std::string* error)
    {
        BusMessagePtr reply = Call("/FlnTest/Calculator", kClassObjectInterface, "CreateInstance", error);
        const char* made = nullptr;
        if (!reply || SessionBus().message_read(reply.get(), "o", &made) < 0)
            return false;
        *path = made;
        return true;
    }

private:
    sd_bus* m_bus = nullptr;
    bool m_open = false;
};

TEST_F(LocalServerTest, OneClientHoldsABoundedNumberOfObjects)
{
    StartServer();
    std::string first, last, error;
    {
        RawClient client;
        ASSERT_TRUE(client.open());
        for (size_t i = 0; i < kMaxObjectsPerClient; ++i)
            ASSERT_TRUE(client.Create(i == 0 ? &first : &last, &error)) << i << ": " << error;
        EXPECT_FALSE(client.Create(&last, &error));
        EXPECT_NE(error.find("0x8007000E"), std::string::npos) << error;

        // Releasing one makes room for another.
        ASSERT_TRUE(client.Call(first.c_str(), kDispatchInterface, "Release", &error)) << error;
        EXPECT_TRUE(client.Create(&last, &error)) << error;
    }

    // The server goes on serving other clients, and the leaving client's objects are gone.
    ComPtr<IDispatch> other = Create();
    ASSERT_TRUE(other);
    Var pid;
    EXPECT_EQ(Call(other.get(), L"ProcessId", {}, &pid.v), S_OK);
}

// Many clients together cannot take more objects than the server serves at a time.
TEST_F(LocalServerTest, AllClientsTogetherHoldABoundedNumberOfObjects)
{
    StartServer();
    constexpr size_t kFullClients = kMaxObjectsInAll / kMaxObjectsPerClient;
    std::vector<std::unique_ptr<RawClient>> clients;
    std::string first, path, error;
    for (size_t c = 0; c < kFullClients; ++c) {
        clients.push_back(std::make_unique<RawClient>());
        ASSERT_TRUE(clients.back()->open());
        for (size_t i = 0; i < kMaxObjectsPerClient; ++i)
            ASSERT_TRUE(clients.back()->Create(c == 0 && i == 0 ? &first : &path, &error)) << c << "/" << i << ": " << error;
    }
    RawClient late;
    ASSERT_TRUE(late.open());
    EXPECT_FALSE(late.Create(&path, &error));
    EXPECT_NE(error.find("0x8007000E"), std::string::npos) << error;
    ASSERT_TRUE(clients.front()->Call(first.c_str(), kDispatchInterface, "Release", &error)) << error;
    EXPECT_TRUE(late.Create(&path, &error)) << error;
}

// A text past what a call may pass is refused before the server decodes it; the server goes on.
TEST_F(LocalServerTest, AnOversizedTextIsRefusedAndTheServerGoesOn)
{
    StartServer();
    ComPtr<IDispatch> calc = Create();
    ASSERT_TRUE(calc);
    const std::wstring huge(kMaxBusTextBytes + 1, L'x');
    Var joined;
    EXPECT_EQ(Call(calc.get(), L"Concat", { Text(huge.c_str()), Text(L"b") }, &joined.v), E_OUTOFMEMORY);
    Var small;
    ASSERT_EQ(Call(calc.get(), L"Concat", { Text(L"a"), Text(L"b") }, &small.v), S_OK);
    EXPECT_EQ(std::wstring_view(small.v.bstrVal), L"ab");
}

// Arguments for the raw calls below.
int AppendPlainTexts(sd_bus_message* m, const std::vector<std::string>& texts)
{
    int r = SessionBus().message_open_container(m, 'a', "v");
    for (size_t i = 0; r >= 0 && i < texts.size(); ++i)
        r = SessionBus().message_append(m, "v", "s", texts[i].c_str());
    return r < 0 ? r : SessionBus().message_close_container(m);
}

int AppendPlainNumbers(sd_bus_message* m, size_t count)
{
    int r = SessionBus().message_open_container(m, 'a', "v");
    for (size_t i = 0; r >= 0 && i < count; ++i)
        r = SessionBus().message_append(m, "v", "i", static_cast<int32_t>(i));
    return r < 0 ? r : SessionBus().message_close_container(m);
}

// Invoke of member 1 (Add) with count tagged numbers and no named arguments.
int AppendInvoke(sd_bus_message* m, size_t count)
{
    int r = SessionBus().message_append(m, "iq", 1, static_cast<uint16_t>(DISPATCH_METHOD));
    if (r >= 0)
        r = SessionBus().message_open_container(m, 'a', "(qv)");
    for (size_t i = 0; r >= 0 && i < count; ++i)
        r = SessionBus().message_append(m, "(qv)", static_cast<uint16_t>(VT_I4), "i", static_cast<int32_t>(i));
    if (r >= 0)
        r = SessionBus().message_close_container(m);
    return r < 0 ? r : SessionBus().message_append_array(m, 'i', nullptr, 0);
}

// Another program's calls that the server refuses get an error whose name tells the kind of cause
// and whose message says it, with the code our own proxies read back. Lists far longer than any
// call needs are refused at once, after the server has read no more of them than a call may pass:
// a few thousand entries past the limits show that as well as any larger number would.
TEST_F(LocalServerTest, RefusedCallsNameTheirCause)
{
    StartServer();
    RawClient client;
    ASSERT_TRUE(client.open());
    std::string object, error;
    ASSERT_TRUE(client.Create(&object, &error)) << error;
    const std::string huge(kMaxBusTextBytes + 1, 'x');
    // Each as long as a text may be, and together more than a call may carry.
    const std::vector<std::string> longest(kMaxBusCallBytes / kMaxBusTextBytes + 1, std::string(kMaxBusTextBytes, 'x'));
    const std::vector<std::string> names(5'000, "Add");
    const char* kInvalidArgs = "org.freedesktop.DBus.Error.InvalidArgs";
    const char* kLimitsExceeded = "org.freedesktop.DBus.Error.LimitsExceeded";
    struct Case {
        const char* what;
        const char* interface;
        const char* member;
        std::function<int(sd_bus_message*)> append;
        const char* errorName;
        std::string message;
        const char* path = nullptr;  // the object's, when not given
    } cases[] = {
        {"an oversized text", kMembersInterface, "Concat", [&](sd_bus_message* m) { return AppendPlainTexts(m, {huge, "b"}); },
         kLimitsExceeded, "A text argument is longer than 1048576 bytes. (code 0x8007000E)"},
        {"a text where a number belongs", kMembersInterface, "Add", [](sd_bus_message* m) { return AppendPlainTexts(m, {"two", "1"}); },
         "org.formulon.Automation.TypeMismatch", "An argument has the wrong type. (code 0x80020005)"},
        {"a member's arguments of the wrong signature", kMembersInterface, "Add",
         [](sd_bus_message* m) { return SessionBus().message_append(m, "i", 5); }, kInvalidArgs,
         "The call takes the arguments \"av\", not \"i\". (code 0x80070057)"},
        {"Invoke's arguments of the wrong signature", kDispatchInterface, "Invoke",
         [](sd_bus_message* m) { return SessionBus().message_append(m, "s", "Add"); }, kInvalidArgs,
         "The call takes the arguments \"iqa(qv)ai\", not \"s\". (code 0x80070057)"},
        {"GetIDsOfNames's arguments of the wrong signature", kDispatchInterface, "GetIDsOfNames",
         [](sd_bus_message* m) { return SessionBus().message_append(m, "s", "Add"); }, kInvalidArgs,
         "The call takes the arguments \"as\", not \"s\". (code 0x80070057)"},
        {"5,000 names", kDispatchInterface, "GetIDsOfNames",
         [&](sd_bus_message* m) {
             std::vector<char*> list;
             for (const std::string& n : names)
                 list.push_back(const_cast<char*>(n.c_str()));
             list.push_back(nullptr);
             return SessionBus().message_append_strv(m, list.data());
         },
         kLimitsExceeded, "The call asks for the ids of more than 65 names. (code 0x8007000E)"},
        {"5,000 tagged arguments", kDispatchInterface, "Invoke", [](sd_bus_message* m) { return AppendInvoke(m, 5'000); },
         kLimitsExceeded, "The call passes more than 64 arguments. (code 0x8007000E)"},
        {"65 plain arguments", kMembersInterface, "Add", [](sd_bus_message* m) { return AppendPlainNumbers(m, 65); },
         kLimitsExceeded, "The call passes more than 64 arguments. (code 0x8007000E)"},
        {"an array of 70,000 elements", kMembersInterface, "Sum",
         [](sd_bus_message* m) {
             int r = SessionBus().message_open_container(m, 'a', "v");
             if (r >= 0)
                 r = SessionBus().message_open_container(m, 'v', "av");
             if (r >= 0)
                 r = AppendPlainNumbers(m, 70'000);
             if (r >= 0)
                 r = SessionBus().message_close_container(m);
             return r < 0 ? r : SessionBus().message_close_container(m);
         },
         kLimitsExceeded, "The arguments hold more than 65536 array elements. (code 0x8007000E)"},
        {"an array of texts that together pass what a call may carry", kMembersInterface, "Sum",
         [&](sd_bus_message* m) {
             int r = SessionBus().message_open_container(m, 'a', "v");
             if (r >= 0)
                 r = SessionBus().message_open_container(m, 'v', "av");
             if (r >= 0)
                 r = AppendPlainTexts(m, longest);
             if (r >= 0)
                 r = SessionBus().message_close_container(m);
             return r < 0 ? r : SessionBus().message_close_container(m);
         },
         kLimitsExceeded, "The call carries more than 4194304 bytes. (code 0x8007000E)"},
        {"tagged texts that together pass what a call may carry", kDispatchInterface, "Invoke",
         [&](sd_bus_message* m) {
             int r = SessionBus().message_append(m, "iq", 2, static_cast<uint16_t>(DISPATCH_METHOD));
             if (r >= 0)
                 r = SessionBus().message_open_container(m, 'a', "(qv)");
             for (size_t i = 0; r >= 0 && i < longest.size(); ++i)
                 r = SessionBus().message_append(m, "(qv)", static_cast<uint16_t>(VT_BSTR), "s", longest[i].c_str());
             if (r >= 0)
                 r = SessionBus().message_close_container(m);
             return r < 0 ? r : SessionBus().message_append_array(m, 'i', nullptr, 0);
         },
         kLimitsExceeded, "The call carries more than 4194304 bytes. (code 0x8007000E)"},
        {"CreateInstance with an argument", kClassObjectInterface, "CreateInstance",
         [](sd_bus_message* m) { return SessionBus().message_append(m, "s", "x"); }, kInvalidArgs,
         "The call takes no arguments, not \"s\". (code 0x80070057)", "/FlnTest/Calculator"},
        {"CreateInstance with texts past what a call may carry", kClassObjectInterface, "CreateInstance",
         [&](sd_bus_message* m) { return AppendPlainTexts(m, longest); }, kLimitsExceeded,
         "The call carries more than 4194304 bytes. (code 0x8007000E)", "/FlnTest/Calculator"},
        {"Release with an argument", kDispatchInterface, "Release",
         [](sd_bus_message* m) { return SessionBus().message_append(m, "i", 1); }, kInvalidArgs,
         "The call takes no arguments, not \"i\". (code 0x80070057)"},
    };
    for (const Case& c : cases) {
        RawClient::Answer answer = client.Send(c.path ? c.path : object.c_str(), c.interface, c.member, c.append);
        EXPECT_FALSE(answer.reply) << c.what;
        EXPECT_EQ(answer.errorName, c.errorName) << c.what;
        EXPECT_EQ(answer.error, c.message) << c.what;
    }
    // The server goes on, and a call of the right form still works.
    RawClient::Answer sum = client.Send(object.c_str(), kMembersInterface, "Add", [](sd_bus_message* m) { return AppendPlainNumbers(m, 2); });
    double total = 0;
    ASSERT_TRUE(sum.reply) << sum.error;
    EXPECT_GE(SessionBus().message_read(sum.reply.get(), "v", "d", &total), 0);
    EXPECT_EQ(total, 1);
}

// Shaped like the program's application object: a dispatch map with a method and a property.
class CDoubler : public CAutomationTarget {
    DECLARE_DYNCREATE(CDoubler)
public:
    CDoubler() { EnableAutomation(); }
    double Twice(double x) { return 2 * x; }
    double m_offset = 0.25;
    DECLARE_DISPATCH_MAP()
};

IMPLEMENT_DYNCREATE(CDoubler, CAutomationTarget)

BEGIN_DISPATCH_MAP(CDoubler, CAutomationTarget)
    DISP_FUNCTION(CDoubler, "Twice", Twice, VT_R8, VTS_R8)
    DISP_PROPERTY(CDoubler, "Offset", m_offset, VT_R8)
END_DISPATCH_MAP()

// A new CDoubler for each request, reached through its automation target's own counting.
HRESULT MakeDoubler(REFIID riid, void** ppv)
{
    auto* doubler = new CDoubler;
    const HRESULT hr = static_cast<HRESULT>(doubler->ExternalQueryInterface(&riid, ppv));
    doubler->ExternalRelease();
    return hr;
}

// {0E7A5C21-9B64-4D3F-8A12-7C5D3E9F1B60}
constexpr CLSID kDoublerClass = {0x0E7A5C21, 0x9B64, 0x4D3F, {0x8A, 0x12, 0x7C, 0x5D, 0x3E, 0x9F, 0x1B, 0x60}};

// Runs work on another thread while this thread serves the bus, as the message loop would.
void ServeWhile(const std::function<void()>& work)
{
    std::atomic<bool> done = false;
    std::thread worker([&] {
        work();
        done = true;
    });
    WaitUntil([&] { return done.load(); }, kWaitLimit, [] { PumpWaitSources(50); });
    worker.join();
}

TEST_F(LocalServerTest, ThisProcessPublishesItsOwnClassAndServesItWhileWaiting)
{
    ASSERT_EQ(RegisterLocalServer(kDoublerClass, L"FlnTest.Doubler", "/bin/false"), S_OK);
    ResidentClassFactory factory { MakeDoubler };
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(kDoublerClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);

    // Created in this process, the object comes without a proxy.
    ComPtr<IDispatch> local;
    ASSERT_EQ(CoCreateInstance(kDoublerClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(local.Receive())), S_OK);
    EXPECT_NE(CAutomationTarget::FromIDispatch(local.get()), nullptr);

    // A client on its own connection holds the bus's first object; other tools see its dispatch map.
    ComPtr<IDispatch> remote;
    ServeWhile([&] { CreateLocalServerObject(kDoublerClass, IID_IDispatch, reinterpret_cast<void**>(remote.Receive())); });
    ASSERT_TRUE(remote);
    EXPECT_EQ(CAutomationTarget::FromIDispatch(remote.get()), nullptr);
    std::string members, twice;
    ServeWhile([&] {
        members = RunCommand(Busctl() + "introspect org.formulon.FlnTest.Doubler /FlnTest/Doubler/1 "
                             "org.formulon.Automation.Members").output;
        twice = RunCommand(Busctl() + "call org.formulon.FlnTest.Doubler /FlnTest/Doubler/1 "
                           "org.formulon.Automation.Members Twice av 1 d 1.5").output;
    });
    EXPECT_NE(members.find(".Twice "), std::string::npos) << members;
    EXPECT_NE(members.find(".Offset "), std::string::npos) << members;
    EXPECT_EQ(twice, "v d 3\n");
    Var offset;
    ServeWhile([&] { EXPECT_EQ(Call(remote.get(), L"Offset", {}, &offset.v), S_OK); });
    EXPECT_EQ(offset.v.dblVal, 0.25);
    remote.Reset();

    EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
    EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
    EXPECT_EQ(UnregisterLocalServer(kDoublerClass), S_OK);

    // While another process has a class on the bus, a single-use class of this one is refused; a
    // class that serves every client waits for the name and takes it over when the other goes.
    StartServer();
    auto owner = [] { return BusNameOwner("org.formulon.FlnTest.Calculator"); };
    EXPECT_EQ(CoRegisterClassObject(CLSID_TestCalculator, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie),
              CO_E_OBJISREG);
    ASSERT_EQ(CoRegisterClassObject(CLSID_TestCalculator, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
    EXPECT_EQ(owner(), m_server->pid());
    m_server.reset();
    long now = 0;
    ServeWhile([&] {
        WaitUntil([&] { return (now = owner()) == getpid(); });
    });
    EXPECT_EQ(now, getpid()) << "the waiting class took the name over";
    EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
}

TEST(SessionBusLibrary, LoadsOnlyALibraryWithEveryFunction)
{
    struct Case {
        const char* fileName;
        bool complete;
    } cases[] = {
        {"libsystemd.so.0", true},
        {"libc.so.6", false},  // opens, but has none of the functions
        {"libformulon-no-such-library.so.0", false},
    };
    for (const Case& c : cases) {
        SessionBusLibrary library(c.fileName);
        EXPECT_EQ(library.Load(), c.complete) << c.fileName;
    }
}

// Without its library the bus is unavailable exactly as when no bus answers at the address: the
// same failures for publishing and for reaching a class, and nothing is left half made.
TEST_F(LocalServerTest, WithoutTheBusLibraryTheBusIsUnavailableAsWithoutABus)
{
    ASSERT_EQ(RegisterLocalServer(kDoublerClass, L"FlnTest.Doubler", "/bin/false"), S_OK);
    ResidentClassFactory factory { MakeDoubler };
    auto expectUnavailable = [&](const char* why) {
        DWORD cookie = 7;
        EXPECT_EQ(CoRegisterClassObject(kDoublerClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie), E_FAIL)
            << why;
        EXPECT_EQ(cookie, 0u) << why;
        EXPECT_FALSE(FindRegisteredClassObject(kDoublerClass)) << why;
        ComPtr<IDispatch> object;
        EXPECT_EQ(CoCreateInstance(CLSID_TestCalculator, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                   reinterpret_cast<void**>(object.Receive())), CO_E_SERVER_EXEC_FAILURE) << why;
        EXPECT_FALSE(object) << why;
        EXPECT_TRUE(IsLocalServerConnected()) << why;
    };
    {
        ScopedEnv nowhere("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + m_bus.root() + "/no-socket");
        expectUnavailable("no bus at the address");
    }
    {
        SessionBusLibrary missing("libformulon-no-such-library.so.0");
        ScopedSessionBusLibrary use(missing);
        expectUnavailable("no bus library");
        // Where the address's socket is missing the library is not even asked for: the answer is
        // the missing socket's, not the missing library's.
        sd_bus* none = nullptr;
        for (const std::string& address : { "unix:path=" + m_bus.root() + "/no-socket", "unix:guid=0123,path=" + m_bus.root() + "/no-socket" }) {
            ScopedEnv nowhere("DBUS_SESSION_BUS_ADDRESS", address);
            EXPECT_EQ(OpenUserBus(&none), -ENOENT) << address;
        }
        {
            ScopedEnv noAddress("DBUS_SESSION_BUS_ADDRESS");
            ScopedEnv runtime("XDG_RUNTIME_DIR", m_bus.root() + "/no-runtime-folder");
            EXPECT_EQ(OpenUserBus(&none), -ENOENT);
        }
        // An address the check cannot judge is the library's to try.
        ScopedEnv other("DBUS_SESSION_BUS_ADDRESS", "unix:abstract=/formulon-no-such-bus");
        EXPECT_EQ(OpenUserBus(&none), -ENOMEDIUM);
        EXPECT_EQ(none, nullptr);
    }

    // The bus was there all along: with the library back, the same calls go through.
    DWORD cookie = 0;
    EXPECT_EQ(CoRegisterClassObject(kDoublerClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
    EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
    EXPECT_TRUE(Create());
}

TEST_F(LocalServerTest, ObjectFactoryMakesThisProgramTheServerOfItsClass)
{
    // {5B2E8D40-3C71-4A96-B0E5-81F4C2D7A913}
    constexpr CLSID factoryClass = {0x5B2E8D40, 0x3C71, 0x4A96, {0xB0, 0xE5, 0x81, 0xF4, 0xC2, 0xD7, 0xA9, 0x13}};
    COleObjectFactory factory(factoryClass, RUNTIME_CLASS(CDoubler), FALSE, L"FlnTest.FactoryDoubler");
    ASSERT_TRUE(COleObjectFactory::UpdateRegistryAll());
    std::ifstream in(ServiceFilePath(L"FlnTest.FactoryDoubler"));
    std::string service((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(service.find("Exec=" + std::filesystem::read_symlink("/proc/self/exe").string() + " -Automation\n"),
              std::string::npos) << service;

    ASSERT_TRUE(COleObjectFactory::RegisterAll());
    EXPECT_TRUE(factory.IsRegistered());
    ComPtr<IDispatch> remote;
    Var twice;
    ServeWhile([&] {
        ASSERT_EQ(CreateLocalServerObject(factoryClass, IID_IDispatch, reinterpret_cast<void**>(remote.Receive())), S_OK);
        EXPECT_EQ(Call(remote.get(), L"Twice", {Double(4)}, &twice.v), S_OK);
    });
    EXPECT_EQ(twice.v.dblVal, 8);
    remote.Reset();

    COleObjectFactory::RevokeAll();
    EXPECT_FALSE(factory.IsRegistered());
    EXPECT_TRUE(COleObjectFactory::UpdateRegistryAll(FALSE));
    EXPECT_FALSE(std::filesystem::exists(ServiceFilePath(L"FlnTest.FactoryDoubler")));
}

} // namespace
