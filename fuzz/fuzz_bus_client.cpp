// Reads the answers of another program's automation server as the program's proxy gets them: a
// server on a private session bus answers the proxy's GetIDsOfNames and Invoke with the input's
// body, either of the signature the proxy expects (status, result, values written back to
// by-reference arguments, exception) with any values, or of any signature. Whatever comes back,
// the call ends with a status, a result the caller can clear, and by-reference arguments that
// still hold values of their own types.

#include "fuzz/BusMessages.h"
#include "fuzz/FuzzSupport.h"
#include "platform/com/Automation.h"
#include "platform/com/BusNames.h"
#include "platform/com/DispatchProxy.h"
#include "platform/com/LocalServerRegistration.h"
#include "platform/com/tests/PrivateBus.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <systemd/sd-bus.h>
#include <thread>

namespace {

constexpr CLSID kServedClass = { 0x2F6B1E93, 0x0C4D, 0x4E8A, { 0xB7, 0x15, 0x6A, 0x92, 0xD3, 0x0E, 0x44, 0x1C } };
constexpr const wchar_t* kProgId = L"FlnFuzz.Client";

// The other program's server: makes one object for CreateInstance and answers every other call on
// it with the current answer, on a thread of its own.
class AnsweringServer {
public:
    AnsweringServer()
    {
        if (sd_bus_open_user(&m_bus) < 0 || sd_bus_request_name(m_bus, BusNameFromProgId(kProgId).c_str(), 0) < 0
            || sd_bus_add_fallback(m_bus, nullptr, "/", &AnsweringServer::OnCall, this) < 0)
            std::abort();
        m_thread = std::thread([this] {
            while (!m_stop) {
                while (sd_bus_process(m_bus, nullptr) > 0) {
                }
                sd_bus_wait(m_bus, 20'000);
            }
        });
    }
    ~AnsweringServer()
    {
        m_stop = true;
        m_thread.join();
        sd_bus_flush_close_unref(m_bus);
    }

    void SetAnswer(std::string_view answer)
    {
        std::lock_guard lock(m_mutex);
        m_answer = answer;
    }

private:
    static int OnCall(sd_bus_message* call, void* self, sd_bus_error*)
    {
        auto& server = *static_cast<AnsweringServer*>(self);
        const char* member = sd_bus_message_get_member(call);
        if (!member)
            return 0;
        if (std::string_view(member) == "CreateInstance")
            return sd_bus_reply_method_return(call, "o", "/FlnFuzz/Client/1");
        if (std::string_view(member) == "Release")
            return sd_bus_reply_method_return(call, "");
        std::lock_guard lock(server.m_mutex);
        fuzz::FuzzInput in(reinterpret_cast<const std::uint8_t*>(server.m_answer.data()), server.m_answer.size());
        const std::uint8_t choice = in.Byte();
        const std::string expected = std::string_view(member) == "Invoke" ? "i(qv)a(u(qv))(qssi)u" : "iai";
        const std::string signature = choice & 1 ? std::string(in.TakeUntilNul()) : expected;
        sd_bus_message* reply = nullptr;
        if (sd_bus_message_new_method_return(call, &reply) < 0)
            return -ENOMEM;
        if (!fuzz::AppendValues(reply, signature, in, 0)) {
            // What sd-bus would not build goes as an empty answer, which a server can send too.
            sd_bus_message_unref(reply);
            return sd_bus_reply_method_return(call, "");
        }
        const int r = sd_bus_send(nullptr, reply, nullptr);
        sd_bus_message_unref(reply);
        return r;
    }

    sd_bus* m_bus = nullptr;
    std::mutex m_mutex;
    std::string m_answer;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

// The bus, the other program's server, and the program's proxy to the object it made.
struct Session {
    PrivateBus bus;
    std::optional<AnsweringServer> server;
    IDispatch* proxy = nullptr;

    Session()
    {
        if (!bus.running() || FAILED(RegisterLocalServer(kServedClass, kProgId, "/bin/false")))
            std::abort();
        server.emplace();
        if (FAILED(CreateLocalServerObject(kServedClass, IID_IDispatch, reinterpret_cast<void**>(&proxy))))
            std::abort();
    }
    ~Session()
    {
        proxy->Release();
        server.reset();
    }
};

// Destroyed at exit, which ends the bus.
Session& TheSession()
{
    static Session session;
    return session;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Session& session = TheSession();
    if (size == 0)
        return 0;
    const bool invoke = data[0] & 0x80;
    session.server->SetAnswer(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
    if (!invoke) {
        LPOLESTR names[] = { const_cast<LPOLESTR>(L"Add"), const_cast<LPOLESTR>(L"a") };
        DISPID ids[2] = {};
        session.proxy->GetIDsOfNames(IID_NULL, names, 2, 0, ids);
        return 0;
    }
    // By value, and by reference of several types, as a script passes them.
    double number = 1.5;
    BSTR text = SysAllocString(L"text");
    VARIANT nested;
    VariantInit(&nested);
    VARIANT args[4];
    for (VARIANT& arg : args)
        VariantInit(&arg);
    args[0].vt = VT_I4;
    args[0].lVal = 7;
    args[1].vt = VT_R8 | VT_BYREF;
    args[1].pdblVal = &number;
    args[2].vt = VT_BSTR | VT_BYREF;
    args[2].pbstrVal = &text;
    args[3].vt = VT_VARIANT | VT_BYREF;
    args[3].pvarVal = &nested;
    DISPPARAMS params { args, nullptr, 4, 0 };
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception {};
    UINT argumentError = 0;
    session.proxy->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &params, &result, &exception, &argumentError);
    VariantClear(&result);
    VariantClear(&nested);
    ClearExcepInfo(&exception);
    SysFreeString(text);
    return 0;
}
