// Start-up of the formulon program on an X server of its own (Xvfb): from exec to the main
// window mapped, and to its first paint complete (the window's pixels equal to those it shows
// once it has settled), then the resident memory and the processor time it uses while idle in the
// two seconds after that. Each iteration starts the program afresh with empty settings. A bare
// Xlib window (bare_xlib_window.cpp) and xcalc, where installed, are measured the same way as the
// floors; FLN_BASELINE_FORMULON names another build of the program to measure beside this one in
// the same run.
// The benchmark waits on the server's events (the map, then the window's damage reports) and
// reads the window's pixels only after it changed: polling the server would take its time and a
// processor from the program being measured.
//   mapped_ms    exec to the main window viewable
//   painted_ms   exec to the window's first complete picture (the iteration's time)
//   rss_mib      resident memory two seconds after the paint
//   idle_cpu_ms  processor time used in those two seconds
//   libraries    shared libraries mapped at the first paint (targets: at most 45)
//   page_faults  page faults taken up to the first paint
// Targets: painted_ms at most twice xcalc's, rss_mib at most 20, page faults half of the 2,949 of
// a program that linked every library it might use.
// Idle measures the processor time the program uses in ten seconds with the pointer resting on a
// tool-bar button (/0), elsewhere on the window (/1) and outside it (/2); the target is 0.
// Present measures one part of that start: a full copy of a main window's picture to the server,
// through shared memory (/1) or through the socket (/0), until the server has carried it out.

#include "platform/display/Display.h"
#include "platform/user/tests/VirtualServer.h"

#include <benchmark/benchmark.h>

#define Display XDisplay
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#undef Display

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <poll.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// An Xvfb for the whole run, and the benchmark's own connection to it.
class ServerForRun {
public:
    ServerForRun()
    {
        std::string xvfb = FindProgram("Xvfb");
        if (!xvfb.empty() && m_server.Start(xvfb))
            m_x = ConnectWhenServing(m_server);
    }
    ~ServerForRun()
    {
        if (m_x)
            XCloseDisplay(m_x);
    }
    ServerForRun(const ServerForRun&) = delete;
    ServerForRun& operator=(const ServerForRun&) = delete;

    XDisplay* x() const { return m_x; }
    const std::string& name() const { return m_server.Name(); }

private:
    VirtualServer m_server;
    XDisplay* m_x = nullptr;
};

// A program measured: its file and the class name of its main window.
struct Program {
    std::string path;
    std::string className;
};

pid_t StartProgram(const Program& program, const std::string& display, const std::string& settings)
{
    pid_t pid = fork();
    if (pid == 0) {
        setenv("DISPLAY", display.c_str(), 1);
        setenv("FORMULON_DISPLAY", "x11", 1);
        setenv("XDG_CONFIG_HOME", settings.c_str(), 1);
        setenv("XDG_DATA_HOME", (settings + "/data").c_str(), 1);
        setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
        execl(program.path.c_str(), program.className.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

bool IsProgramWindow(XDisplay* x, Window window, const std::string& className)
{
    XWindowAttributes attributes {};
    XClassHint hint {};
    if (!XGetWindowAttributes(x, window, &attributes) || attributes.override_redirect || !XGetClassHint(x, window, &hint))
        return false;
    bool program = std::string(hint.res_name) == className;
    XFree(hint.res_name);
    XFree(hint.res_class);
    return program;
}

std::optional<Window> MappedProgramWindow(XDisplay* x, const std::string& className)
{
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::optional<Window> found;
    if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count))
        return found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes {};
        if (XGetWindowAttributes(x, children[i], &attributes) && attributes.map_state == IsViewable && IsProgramWindow(x, children[i], className))
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

// The next event, or nothing once `deadline` has passed.
std::optional<XEvent> NextEvent(XDisplay* x, Clock::time_point deadline)
{
    while (!XPending(x)) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return std::nullopt;
        pollfd connection { ConnectionNumber(x), POLLIN, 0 };
        poll(&connection, 1, static_cast<int>(left));
    }
    XEvent event;
    XNextEvent(x, &event);
    return event;
}

std::vector<char> Picture(XDisplay* x, Window window)
{
    XWindowAttributes attributes {};
    if (!XGetWindowAttributes(x, window, &attributes))
        return {};
    XImage* image = XGetImage(x, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image)
        return {};
    std::vector<char> bytes(image->data, image->data + static_cast<size_t>(image->bytes_per_line) * image->height);
    XDestroyImage(image);
    return bytes;
}

long ProcessValue(pid_t pid, const char* file, const std::string& key)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::stol(line.substr(key.size()));
    return -1;
}

// Processor time (user and system) of the process, in milliseconds.
double CpuMilliseconds(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long user = 0, system = 0;
    for (int i = 3; fields >> field; ++i) {
        if (i == 14)
            user = std::stol(field);
        if (i == 15) {
            system = std::stol(field);
            break;
        }
    }
    return 1000.0 * static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Page faults (minor and major) the process has taken.
long PageFaults(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long faults = 0;
    for (int i = 3; fields >> field && i <= 12; ++i)
        if (i == 10 || i == 12)
            faults += std::stol(field);
    return faults;
}

// The shared libraries the process has mapped, each counted once.
long MappedLibraries(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/maps");
    std::set<std::string> libraries;
    std::string line;
    while (std::getline(in, line)) {
        std::string::size_type path = line.find('/');
        if (path != std::string::npos && line.find(".so", path) != std::string::npos)
            libraries.insert(line.substr(path));
    }
    return static_cast<long>(libraries.size());
}

void Stop(pid_t pid)
{
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

// Starts the program with empty settings and waits (up to five seconds) for its main window.
std::optional<Window> StartShown(XDisplay* x, const std::string& display, const Program& program, const std::string& settings, pid_t& pid)
{
    std::filesystem::remove_all(settings);
    pid = StartProgram(program, display, settings);
    std::optional<Window> window;
    for (int i = 0; i < 500 && !(window = MappedProgramWindow(x, program.className)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return window;
}

const Program& Formulon()
{
    static const Program formulon { FLN_FORMULON, "formulon" };
    return formulon;
}

void StartUp(benchmark::State& state, const Program& program)
{
    ServerForRun server;
    if (!server.x()) {
        state.SkipWithError("Xvfb could not be started");
        return;
    }
    XSetErrorHandler([](XDisplay*, XErrorEvent*) { return 0; });
    std::string settings = (std::filesystem::temp_directory_path() / "fln-bench-startup").string();

    // The settled picture of a first start, which later starts must reach.
    pid_t first = 0;
    std::optional<Window> window = StartShown(server.x(), server.name(), program, settings, first);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    std::vector<char> settled = window ? Picture(server.x(), *window) : std::vector<char> {};
    Stop(first);
    if (settled.empty()) {
        state.SkipWithError("the program showed no window");
        return;
    }

    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(server.x(), &damageEvent, &damageError)) {
        state.SkipWithError("the X server has no damage extension");
        return;
    }
    XSelectInput(server.x(), DefaultRootWindow(server.x()), SubstructureNotifyMask);

    double mapped = 0, painted = 0, rss = 0, idle = 0, libraries = 0, faults = 0;
    for (auto _ : state) {
        std::filesystem::remove_all(settings);
        XSync(server.x(), True);
        const Clock::time_point start = Clock::now();
        const Clock::time_point deadline = start + std::chrono::seconds(10);
        pid_t pid = StartProgram(program, server.name(), settings);
        std::optional<Window> shown;
        while (!shown) {
            std::optional<XEvent> event = NextEvent(server.x(), deadline);
            if (!event)
                break;
            if (event->type == MapNotify && IsProgramWindow(server.x(), event->xmap.window, program.className))
                shown = event->xmap.window;
        }
        const Clock::time_point mappedAt = Clock::now();
        if (shown) {
            // Damage reported from here on; what was drawn before it is in the first picture.
            Damage damage = XDamageCreate(server.x(), *shown, XDamageReportNonEmpty);
            bool settledNow = Picture(server.x(), *shown) == settled;
            while (!settledNow) {
                std::optional<XEvent> event = NextEvent(server.x(), deadline);
                if (!event)
                    break;
                if (event->type != damageEvent + XDamageNotify)
                    continue;
                XDamageSubtract(server.x(), damage, None, None);
                settledNow = Picture(server.x(), *shown) == settled;
            }
            XDamageDestroy(server.x(), damage);
        }
        const Clock::time_point paintedAt = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(paintedAt - start).count());
        libraries += static_cast<double>(MappedLibraries(pid));
        faults += static_cast<double>(PageFaults(pid));

        const double cpuBefore = CpuMilliseconds(pid);
        std::this_thread::sleep_for(std::chrono::seconds(2));
        idle += CpuMilliseconds(pid) - cpuBefore;
        rss += static_cast<double>(ProcessValue(pid, "status", "VmRSS:")) / 1024.0;
        mapped += Milliseconds(mappedAt - start);
        painted += Milliseconds(paintedAt - start);
        Stop(pid);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["mapped_ms"] = mapped / n;
    state.counters["painted_ms"] = painted / n;
    state.counters["rss_mib"] = rss / n;
    state.counters["idle_cpu_ms"] = idle / n;
    state.counters["libraries"] = libraries / n;
    state.counters["page_faults"] = faults / n;
    std::filesystem::remove_all(settings);
}

BENCHMARK_CAPTURE(StartUp, formulon, Formulon())->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);

// Where the pointer rests while the program idles, in the main window's coordinates; outside is
// past its bottom right corner.
constexpr POINT kToolBarButton { 86, 63 }, kOnTheWindow { 440, 200 };

void Idle(benchmark::State& state, const Program& program, int where)
{
    ServerForRun server;
    if (!server.x()) {
        state.SkipWithError("Xvfb could not be started");
        return;
    }
    XSetErrorHandler([](XDisplay*, XErrorEvent*) { return 0; });
    std::string settings = (std::filesystem::temp_directory_path() / "fln-bench-idle").string();
    XWarpPointer(server.x(), None, DefaultRootWindow(server.x()), 0, 0, 0, 0, 1000, 900);
    pid_t pid = 0;
    std::optional<Window> window = StartShown(server.x(), server.name(), program, settings, pid);
    if (!window) {
        Stop(pid);
        state.SkipWithError("the program showed no window");
        return;
    }
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const POINT place = where == 0 ? kToolBarButton : where == 1 ? kOnTheWindow : POINT { 1000, 900 };
    if (where == 2)
        XWarpPointer(server.x(), None, DefaultRootWindow(server.x()), 0, 0, 0, 0, place.x, place.y);
    else
        XWarpPointer(server.x(), None, *window, 0, 0, 0, 0, place.x, place.y);
    XSync(server.x(), False);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    double cpu = 0;
    for (auto _ : state) {
        const double before = CpuMilliseconds(pid);
        std::this_thread::sleep_for(std::chrono::seconds(10));
        cpu += CpuMilliseconds(pid) - before;
    }
    state.counters["cpu_ms"] = cpu / static_cast<double>(state.iterations());
    Stop(pid);
    std::filesystem::remove_all(settings);
}

void RegisterIdle(const std::string& name, const Program& program)
{
    for (int where = 0; where < 3; ++where)
        benchmark::RegisterBenchmark(("Idle/" + name + "/" + std::to_string(where)).c_str(),
            [&program, where](benchmark::State& state) { Idle(state, program, where); })
            ->Iterations(1)->Unit(benchmark::kSecond);
}

void Present(benchmark::State& state)
{
    ServerForRun server;
    if (!server.x()) {
        state.SkipWithError("Xvfb could not be started");
        return;
    }
    setenv("DISPLAY", server.name().c_str(), 1);
    if (state.range(0) == 0)
        setenv("FORMULON_NO_SHM", "1", 1);
    std::unique_ptr<Display> display = CreateX11Display();
    unsetenv("FORMULON_NO_SHM");
    if (!display) {
        state.SkipWithError("no connection to Xvfb");
        return;
    }
    const RECT area { 0, 0, 640, 480 };
    NativeWindowId window = display->CreateNativeWindow({ .bounds = area });
    display->ShowNativeWindow(window, true, false);
    cairo_surface_t* surface = display->CreateWindowSurface(area.right, area.bottom);
    cairo_surface_t* pixel = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    for (auto _ : state) {
        display->Present(window, surface, area);
        // Reading the screen is answered once the server has carried out everything sent before.
        display->CaptureScreen({ 0, 0, 1, 1 }, pixel);
    }
    cairo_surface_destroy(pixel);
    cairo_surface_destroy(surface);
    display->DestroyNativeWindow(window);
}

BENCHMARK(Present)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // The floors (a bare Xlib window, and xcalc where installed), and another build of the program.
    static const Program bare { FLN_BARE_WINDOW, "bare" };
    benchmark::RegisterBenchmark("StartUp/bare_xlib_window", [](benchmark::State& state) { StartUp(state, bare); })
        ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);
    static const Program xcalc { FindProgram("xcalc"), "xcalc" };
    if (!xcalc.path.empty())
        benchmark::RegisterBenchmark("StartUp/xcalc", [](benchmark::State& state) { StartUp(state, xcalc); })
            ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);
    RegisterIdle("formulon", Formulon());
    if (const char* baseline = std::getenv("FLN_BASELINE_FORMULON")) {
        static const Program other { baseline, "formulon" };
        benchmark::RegisterBenchmark("StartUp/baseline", [](benchmark::State& state) { StartUp(state, other); })
            ->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(7);
        RegisterIdle("baseline", other);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
