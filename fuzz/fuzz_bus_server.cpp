// Calls the program's published class object on a private session bus as any other client can:
// each input is one message from another connection, to any path under the class's (the class
// object, an object the client made, an id that was never handed out, a path that merely looks
// like one), on any interface and member, with any body sd-bus lets a client build. The program
// routes it on its own waiting thread; every call gets an answer within moments, and an object a
// client made goes when the client releases it.

#include "fuzz/BusMessages.h"
#include "fuzz/FuzzSupport.h"
#include "platform/com/AutomationObject.h"
#include "platform/com/BusNames.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/LocalServer.h"
#include "platform/com/LocalServerRegistration.h"
#include "platform/com/tests/PrivateBus.h"
#include "platform/com/tests/ResidentClassFactory.h"
#include "platform/sys/WaitSources.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <systemd/sd-bus.h>

namespace {

constexpr CLSID kFuzzClass = { 0x5A1D3C42, 0x7E19, 0x4B6A, { 0x9C, 0x21, 0x3F, 0x8E, 0x41, 0x0D, 0x6B, 0x77 } };
constexpr const wchar_t* kProgId = L"FlnFuzz.Server";

class Adder final : public AutomationObject {
public:
    Adder()
    {
        AddMember(L"Add", 1, [](Call& c) {
            double a = 0, b = 0;
            if (FAILED(c.Number(0, a)) || FAILED(c.Number(1, b)))
                return DISP_E_TYPEMISMATCH;
            c.ReturnDouble(a + b);
            return S_OK;
        }, { L"a", L"b" });
    }
};

// The bus, the program's published class and a client's connection to the bus.
struct Session {
    PrivateBus bus;
    ResidentClassFactory factory { MakeObject<Adder> };
    sd_bus* client = nullptr;
    std::string name, path;

    Session()
    {
        DWORD cookie = 0;
        if (!bus.running() || FAILED(RegisterLocalServer(kFuzzClass, kProgId, "/bin/false"))
            || FAILED(CoRegisterClassObject(kFuzzClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie))
            || sd_bus_open_user(&client) < 0)
            std::abort();
        name = BusNameFromProgId(kProgId);
        path = ObjectPathFromProgId(kProgId);
    }
    ~Session() { sd_bus_flush_close_unref(client); }
};

// Destroyed at exit, which ends the bus.
Session& TheSession()
{
    static Session session;
    return session;
}

// Serves the program's side until the client has its answer.
bool AnswerArrives(Session& session, sd_bus_message* call)
{
    bool answered = false;
    auto onReply = [](sd_bus_message*, void* flag, sd_bus_error*) {
        *static_cast<bool*>(flag) = true;
        return 0;
    };
    sd_bus_slot* slot = nullptr;
    if (sd_bus_call_async(session.client, &slot, call, onReply, &answered, 3'000'000) < 0)
        return true; // refused by sd-bus on the client's side: never sent
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!answered && std::chrono::steady_clock::now() < deadline) {
        PumpWaitSources(1);
        while (sd_bus_process(session.client, nullptr) > 0) {
        }
    }
    sd_bus_slot_unref(slot);
    return answered;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Session& session = TheSession();
    fuzz::FuzzInput in(data, size);
    const std::uint8_t choice = in.Byte();
    std::string path = session.path;
    switch (choice & 3) {
    case 1: path += "/" + std::to_string(in.Byte()); break;
    case 2: path += "/" + std::string(in.TakeUntilNul()); break;
    case 3: path = std::string(in.TakeUntilNul()); break;
    }
    static const char* const kInterfaces[] = { kClassObjectInterface, kDispatchInterface, kMembersInterface,
        "org.freedesktop.DBus.Introspectable", "org.freedesktop.DBus.Properties" };
    static const char* const kMembers[] = { "CreateInstance", "Release", "GetIDsOfNames", "Invoke", "Add", "Introspect", "Get" };
    const std::string interface = choice & 0x40 ? std::string(in.TakeUntilNul()) : kInterfaces[(choice >> 2) % std::size(kInterfaces)];
    const std::string member = choice & 0x80 ? std::string(in.TakeUntilNul()) : kMembers[in.Byte() % std::size(kMembers)];

    sd_bus_message* call = nullptr;
    if (sd_bus_message_new_method_call(session.client, &call, session.name.c_str(), path.c_str(), interface.c_str(), member.c_str()) < 0)
        return 0;
    const std::string signature(in.TakeUntilNul());
    if (fuzz::AppendValues(call, signature, in, 0) && !AnswerArrives(session, call))
        __builtin_trap(); // a call the program left without an answer
    sd_bus_message_unref(call);
    return 0;
}
