// Pasting another program's text on an X server of the benchmark's own (Xvfb): the clipboard's
// owner, a client on a thread of its own, offers a text in 256 KiB chunks (the incremental
// protocol, as large texts come), and the program reads it through its one paste path
// (GetClipboardData) while its event loop stands by. The text is 50 MB, ten times a large paste.
//   mb_per_s  megabytes of text read per second
// Target: the whole read well inside the paste's wait of kSelectionWaitLimitMs (3 s), which it
// must finish in to be pasted at all; the read's cost grows linearly with the text.

#include "platform/display/Display.h"
#include "platform/user/WinUser.h"
#include "platform/user/tests/OtherXClient.h"
#include "platform/user/tests/VirtualServer.h"

#include <benchmark/benchmark.h>

#define Display XDisplay
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#undef Display

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

namespace {

constexpr size_t kTextBytes = 50'000'000;
constexpr size_t kChunkBytes = 256 * 1024;

// The other client: owns CLIPBOARD and answers every request for it in chunks, each once the
// requestor took the one before.
class ChunkingOwner {
public:
    ChunkingOwner(const std::string& server, std::string text)
        : m_text(std::move(text))
        , m_client(server)
    {
        if (!m_client.Connected())
            return;
        m_incr = m_client.Intern("INCR");
        m_utf8 = m_client.Intern("UTF8_STRING");
        m_client.OwnSelection("CLIPBOARD");
        m_client.Serve([this] { Serve(); });
    }
    bool Connected() const { return m_client.Connected(); }

private:
    void Serve()
    {
        XDisplay* x = m_client.Connection();
        XSelectionRequestEvent request {};
        size_t sent = 0;
        bool sending = false;
        while (!m_client.Stopping()) {
            XEvent event;
            if (!m_client.NextEvent(event, std::chrono::milliseconds(20)))
                continue;
            if (event.type == SelectionRequest) {
                request = event.xselectionrequest;
                XSelectInput(x, request.requestor, PropertyChangeMask);
                long size = static_cast<long>(m_text.size());
                XChangeProperty(x, request.requestor, request.property, m_incr, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&size), 1);
                XSelectionEvent reply { SelectionNotify, 0, True, x, request.requestor, request.selection, request.target, request.property, request.time };
                XSendEvent(x, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
                XFlush(x);
                sent = 0;
                sending = true;
            } else if (sending && event.type == PropertyNotify && event.xproperty.window == request.requestor
                && event.xproperty.atom == request.property && event.xproperty.state == PropertyDelete) {
                const size_t length = std::min(kChunkBytes, m_text.size() - sent);
                XChangeProperty(x, request.requestor, request.property, m_utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(m_text.data() + sent), static_cast<int>(length));
                XFlush(x);
                sent += length;
                sending = length > 0;
            }
        }
    }

    std::string m_text;
    Atom m_incr = 0, m_utf8 = 0;
    OtherXClient m_client; // last: see OtherXClient
};

size_t PastedLength()
{
    size_t length = 0;
    if (!OpenClipboard(nullptr))
        return 0;
    if (HANDLE text = GetClipboardData(CF_UNICODETEXT))
        length = std::char_traits<wchar_t>::length(static_cast<const wchar_t*>(GlobalLock(text)));
    CloseClipboard();
    return length;
}

void PasteFromAnotherProgram(benchmark::State& state)
{
    VirtualServer server;
    const std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty() || !server.Start(xvfb)) {
        state.SkipWithError("Xvfb could not be started");
        return;
    }
    XDisplay* probe = ConnectWhenServing(server);
    if (!probe) {
        state.SkipWithError("no connection to Xvfb");
        return;
    }
    XCloseDisplay(probe);
    setenv("DISPLAY", server.Name().c_str(), 1);
    auto previous = SetCurrentDisplay(CreateX11Display());
    {
        std::string text(kTextBytes, '7');
        for (size_t i = 79; i < text.size(); i += 80)
            text[i] = '\n';
        ChunkingOwner owner(server.Name(), std::move(text));
        if (!owner.Connected()) {
            state.SkipWithError("the owner could not connect");
        } else {
            for (auto _ : state) {
                if (PastedLength() != kTextBytes) {
                    state.SkipWithError("the text was not read whole");
                    break;
                }
            }
            state.counters["mb_per_s"] = benchmark::Counter(static_cast<double>(kTextBytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
        }
    }
    SetCurrentDisplay(std::move(previous));
}
BENCHMARK(PasteFromAnotherProgram)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
