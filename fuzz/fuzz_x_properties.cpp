// Reads the X properties the program takes from the root window as another client (a window
// manager, xrdb, a stray program) might set them: the resource database RESOURCE_MANAGER (font
// settings) and _NET_WORKAREA, of any type, format and length. Each input sets both on a private
// Xvfb server, connects the program's display to it and places a window as a saved placement
// would. Whatever the properties hold, the font settings stay in range, every work area lies on
// its monitor, and the window's normal place lies on the screen.

#include "fuzz/FuzzSupport.h"
#include "fuzz/PrivateXServer.h"
#include "platform/gdi/FontRendering.h"
#include "platform/user/WinUser.h"

#include <X11/Xatom.h>

#include <vector>

namespace {

void CheckInRange(const fln::gdi::FontRendering& rendering)
{
    if (rendering.dpi < 48 || rendering.dpi > 480)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    XDisplay* peer = fuzz::PrivateXServer::Get().Peer();
    static const Atom workArea = XInternAtom(peer, "_NET_WORKAREA", False), resources = XInternAtom(peer, "RESOURCE_MANAGER", False);
    fuzz::FuzzInput in(data, size);
    const std::uint8_t shape = in.Byte();
    static const Atom kTypes[] = { XA_CARDINAL, XA_INTEGER, XA_ATOM, XA_STRING };
    const Atom type = kTypes[shape & 3];
    const int format = (shape >> 2) % 3 == 0 ? 8 : (shape >> 2) % 3 == 1 ? 16 : 32;
    const std::size_t items = in.Byte() % 9;
    std::vector<long> longs(items);
    std::vector<short> shorts(items);
    std::vector<char> bytes(items);
    for (std::size_t i = 0; i < items; ++i) {
        const auto value = in.Number<std::uint32_t>();
        longs[i] = static_cast<long>(value);
        shorts[i] = static_cast<short>(value);
        bytes[i] = static_cast<char>(value);
    }
    const unsigned char* values = format == 32 ? reinterpret_cast<unsigned char*>(longs.data())
        : format == 16                         ? reinterpret_cast<unsigned char*>(shorts.data())
                                               : reinterpret_cast<unsigned char*>(bytes.data());
    const Window root = DefaultRootWindow(peer);
    if (shape & 0x80)
        XDeleteProperty(peer, root, workArea);
    else
        XChangeProperty(peer, root, workArea, type, format, PropModeReplace, values, static_cast<int>(items));
    WINDOWPLACEMENT placement { sizeof placement };
    placement.showCmd = SW_SHOWNORMAL;
    placement.rcNormalPosition = { in.Number<std::int32_t>(), in.Number<std::int32_t>(), in.Number<std::int32_t>(), in.Number<std::int32_t>() };
    const std::string_view database = in.Rest();
    XChangeProperty(peer, root, resources, XA_STRING, 8, PropModeReplace, reinterpret_cast<const unsigned char*>(database.data()),
        static_cast<int>(database.size()));
    XSync(peer, False);

    std::unique_ptr<Display> program = CreateX11Display();
    if (!program)
        std::abort();
    std::unique_ptr<Display> previous = SetCurrentDisplay(std::move(program));
    CheckInRange(fln::gdi::CurrentFontRendering());
    {
        MONITORINFO monitor { sizeof monitor };
        if (!GetMonitorInfoW(MonitorFromPoint({ 0, 0 }, MONITOR_DEFAULTTOPRIMARY), &monitor))
            __builtin_trap();
        RECT onMonitor;
        if (!IntersectRect(&onMonitor, &monitor.rcWork, &monitor.rcMonitor) || !EqualRect(&onMonitor, &monitor.rcWork))
            __builtin_trap();
        HWND window = CreateWindowExW(0, L"Static", L"", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr, nullptr, nullptr);
        SetWindowPlacement(window, &placement);
        WINDOWPLACEMENT placed { sizeof placed };
        GetWindowPlacement(window, &placed);
        RECT visible;
        if (!IsRectEmpty(&placed.rcNormalPosition) && !IntersectRect(&visible, &placed.rcNormalPosition, &monitor.rcWork))
            __builtin_trap();
        DestroyWindow(window);
    }
    SetCurrentDisplay(std::move(previous));
    return 0;
}
