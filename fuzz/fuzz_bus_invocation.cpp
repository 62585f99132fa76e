// Answers arbitrary D-Bus calls as an object made for a client does: GetIDsOfNames, Invoke with
// tagged arguments (any member id, flags, argument count, named ids, nested variants, arrays and
// by-reference values) and members called by name with plain arguments. The first byte picks the
// call; the rest builds its body: either the body the call expects, its values read from the
// input, or a body of any signature the input gives. Values are built through sd-bus, so they are
// what a client on the bus can send; the reply is built whole and then dropped (the call asks for
// none).

#include "fuzz/BusMessages.h"
#include "fuzz/FuzzSupport.h"
#include "platform/com/AutomationObject.h"
#include "platform/com/BusInvocation.h"
#include "platform/com/BusNames.h"
#include "platform/com/BusVariant.h"
#include "platform/com/SessionBusLibrary.h"

#include <cstdlib>
#include <string>
#include <sys/socket.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

namespace {

// Members of each kind a client calls: numbers, texts, by-reference writes, a value returned as it
// came (so that every readable value is also written back), an error, and a property.
class FuzzObject final : public AutomationObject {
public:
    FuzzObject()
    {
        VariantInit(&m_value);
        AddMember(L"Add", 1, [](Call& c) {
            double a = 0, b = 0;
            if (FAILED(c.Number(0, a)) || FAILED(c.Number(1, b)))
                return DISP_E_TYPEMISMATCH;
            c.ReturnDouble(a + b);
            return S_OK;
        }, { L"a", L"b" });
        AddMember(L"Concat", 2, [](Call& c) {
            std::wstring a, b;
            if (FAILED(c.Text(0, a)) || FAILED(c.Text(1, b)))
                return DISP_E_TYPEMISMATCH;
            c.ReturnText(a.substr(0, 1000) + b.substr(0, 1000));
            return S_OK;
        });
        AddMember(L"Swap", 3, [](Call& c) {
            VARIANT a = c.Arg(0), b = c.Arg(1);
            HRESULT hr = c.WriteBack(0, b);
            if (SUCCEEDED(hr))
                hr = c.WriteBack(1, a);
            VariantClear(&a);
            VariantClear(&b);
            return hr;
        });
        AddMember(L"Echo", 4, [](Call& c) {
            c.Return(c.Arg(c.Count() ? c.Count() - 1 : 0));
            return S_OK;
        });
        AddMember(L"Fail", 5, [](Call& c) {
            std::wstring text;
            c.Text(0, text);
            return c.Raise(5001, text.substr(0, 1000), L"Fuzz");
        });
        AddMember(L"Value", 6, [this](Call& c) {
            if (c.IsPut()) {
                VARIANT value = c.Arg(c.Count() ? c.Count() - 1 : 0);
                VariantClear(&m_value);
                m_value = value;
                return S_OK;
            }
            VARIANT copy;
            VariantInit(&copy);
            VariantCopy(&copy, &m_value);
            c.Return(copy);
            return S_OK;
        });
    }
    ~FuzzObject() override { VariantClear(&m_value); }

private:
    VARIANT m_value;
};

// A connection that is never answered: it lets messages be made and sealed like received ones.
sd_bus* Connection()
{
    static sd_bus* bus = [] {
        // The layer's table of sd-bus functions fills when a connection is first asked for. An
        // abstract socket that nobody serves: the layer cannot tell it is missing (as it can a
        // socket file) and loads the library to try it.
        ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:abstract=fln-fuzz-unserved", 1);
        sd_bus* user = nullptr;
        if (OpenUserBus(&user) >= 0)
            sd_bus_unref(user);
        int sockets[2];
        sd_bus* connection = nullptr;
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, sockets) < 0 || sd_bus_new(&connection) < 0
            || sd_bus_set_fd(connection, sockets[0], sockets[0]) < 0 || sd_bus_start(connection) < 0)
            std::abort();
        return connection;
    }();
    return bus;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::FuzzInput in(data, size);
    const std::uint8_t choice = in.Byte();
    static const char* const kMembers[] = { "Add", "Concat", "Swap", "Echo", "Fail", "Value", "Missing" };
    const bool byName = choice % 3 == 2;
    const char* member = byName ? kMembers[(choice >> 2) % std::size(kMembers)] : choice % 3 ? "Invoke" : "GetIDsOfNames";
    const char* expected = byName ? "av" : choice % 3 ? "iqa(qv)ai" : "as";

    sd_bus_message* call = nullptr;
    if (sd_bus_message_new_method_call(Connection(), &call, nullptr, "/fuzz/1", byName ? kMembersInterface : kDispatchInterface,
            member) < 0)
        std::abort();
    BusMessagePtr owned(call);
    sd_bus_message_set_expect_reply(call, 0);
    const std::string signature = choice & 0x80 ? std::string(in.TakeUntilNul()) : expected;
    if (!fuzz::AppendValues(call, signature, in, 0) || sd_bus_message_seal(call, 1, 0) < 0 || sd_bus_message_rewind(call, 1) < 0)
        return 0;

    auto* object = new FuzzObject;
    if (byName)
        AnswerMemberCall(object, member, call);
    else if (choice % 3)
        AnswerInvoke(object, call);
    else
        AnswerGetIDsOfNames(object, call);
    if (object->Release() != 0)
        __builtin_trap(); // a reference left behind by the call
    return 0;
}
