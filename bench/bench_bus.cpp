// The program serving automation (formulon -Automation, on a session bus of the benchmark's own)
// when another program calls "GetFormulaResult" with one array of 60 texts of 1 MiB (and of 30,
// and of 3, which a call may carry): the server's peak resident memory during the call above what
// it held before (peak_mib; target: no more than the message itself, which the bus library holds
// whole before the server sees it; nothing of a refused call is decoded) and what stays resident
// once the call is answered (after_mib; target: within a few MiB). Ten times the longest text a
// user passes (a formula of 262,144 characters) is about what one such call holds. Measured: with
// every argument decoded before the member refused it, the 60 texts took 544 MiB at the peak and
// the 30 took 274; refused unread, each takes its message's size (60 and 30 MiB), and 3 texts,
// decoded, 31 MiB.

#include "platform/base/tests/WaitUntil.h"
#include "platform/com/BusNames.h"
#include "platform/com/SessionBusLibrary.h"
#include "platform/com/tests/PrivateBus.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <optional>
#include <thread>

namespace {

const char* const kBusName = "org.formulon.FLN.Application";
const char* const kClassPath = "/FLN/Application";

// A field of /proc/<pid>/status in MiB ("VmHWM", "VmRSS"); -1 when it cannot be read.
double StatusMiB(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0)
            return std::strtod(line.c_str() + field.size() + 1, nullptr) / 1024;
    return -1;
}

// Starts the peak anew at what the process holds now.
void ResetPeak(pid_t pid) { std::ofstream("/proc/" + std::to_string(pid) + "/clear_refs") << "5"; }

class Client {
public:
    Client() { m_open = OpenUserBus(&m_bus) >= 0; }
    ~Client()
    {
        if (m_open)
            SessionBus().flush_close_unref(m_bus);
    }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // The path of a new object, or nothing.
    std::optional<std::string> Create()
    {
        sd_bus_message* call = nullptr;
        sd_bus_message* reply = nullptr;
        sd_bus_error error = SD_BUS_ERROR_NULL;
        std::optional<std::string> path;
        const char* made = nullptr;
        if (m_open && SessionBus().message_new_method_call(m_bus, &call, kBusName, kClassPath, kClassObjectInterface, "CreateInstance") >= 0
            && SessionBus().call(m_bus, call, std::chrono::microseconds(kWaitLimit).count(), &error, &reply) >= 0
            && SessionBus().message_read(reply, "o", &made) >= 0) {
            path = made;
            // A program started for automation lets its name go once it has made its object.
            m_server = SessionBus().message_get_sender(reply);
        }
        SessionBus().message_unref(call);
        SessionBus().message_unref(reply);
        SessionBus().error_free(&error);
        return path;
    }

    // Calls GetFormulaResult with one argument, an array of `count` texts of `bytes` each; the
    // error's name, or "" when it was answered.
    std::string CallWithTexts(const std::string& object, size_t count, size_t bytes)
    {
        const std::string text(bytes, '1');
        sd_bus_message* call = nullptr;
        int r = SessionBus().message_new_method_call(m_bus, &call, m_server.c_str(), object.c_str(), kMembersInterface, "GetFormulaResult");
        if (r >= 0)
            r = SessionBus().message_open_container(call, 'a', "v");
        if (r >= 0)
            r = SessionBus().message_open_container(call, 'v', "av");
        if (r >= 0)
            r = SessionBus().message_open_container(call, 'a', "v");
        for (size_t i = 0; r >= 0 && i < count; ++i)
            r = SessionBus().message_append(call, "v", "s", text.c_str());
        for (int level = 0; r >= 0 && level < 3; ++level)
            r = SessionBus().message_close_container(call);
        sd_bus_message* reply = nullptr;
        sd_bus_error error = SD_BUS_ERROR_NULL;
        if (r >= 0)
            r = SessionBus().call(m_bus, call, std::chrono::microseconds(kWaitLimit).count(), &error, &reply);
        std::string answer = r >= 0 ? "" : error.name ? error.name : "the call could not be made";
        SessionBus().message_unref(call);
        SessionBus().message_unref(reply);
        SessionBus().error_free(&error);
        return answer;
    }

private:
    sd_bus* m_bus = nullptr;
    bool m_open = false;
    std::string m_server;  // the unique name of the program that made the object
};

void CallOfLongTexts(benchmark::State& state)
{
    const auto count = static_cast<size_t>(state.range(0));
    PrivateBus bus;
    if (!bus.running()) {
        state.SkipWithError("dbus-daemon did not start");
        return;
    }
    ChildProcess server({ FLN_FORMULON, "-Automation" }, true);
    if (!WaitUntil([&] { return BusNameOwner(kBusName) == server.pid(); }, kWaitLimit,
                   [] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); })) {
        state.SkipWithError("the program did not publish its class");
        return;
    }
    Client client;
    const std::optional<std::string> object = client.Create();
    if (!object) {
        state.SkipWithError("no object was made");
        return;
    }
    for (auto _ : state) {
        const double before = StatusMiB(server.pid(), "VmRSS");
        ResetPeak(server.pid());
        const std::string answer = client.CallWithTexts(*object, count, 1 << 20);
        state.counters["message_mib"] = static_cast<double>(count);
        state.counters["peak_mib"] = StatusMiB(server.pid(), "VmHWM") - before;
        // The server hands memory back once its round of calls ends, which may be after its reply.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        state.counters["after_mib"] = StatusMiB(server.pid(), "VmRSS") - before;
        state.SetLabel(answer.empty() ? "answered" : answer);
    }
}
BENCHMARK(CallOfLongTexts)->Arg(60)->Arg(30)->Arg(3)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
