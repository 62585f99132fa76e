// Window surfaces on a real X server: in memory shared with the server where it can attach it,
// sent through the socket where it cannot or must not. Either way the server shows exactly the
// surface's pixels, and no shared segment outlives the surface that used it.

#include "platform/base/tests/RequirePrograms.h"
#include "platform/base/tests/RunCommand.h"
#include "platform/display/HeadlessDisplay.h"

#include "X11TestSupport.h"
#include "platform/user/WindowTree.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

// How many processes have each System V segment this process made attached, from the kernel's table.
std::vector<int> OwnSegmentAttachments()
{
    std::ifstream table("/proc/sysvipc/shm");
    std::string line;
    std::getline(table, line); // the column names
    std::vector<int> attachments;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        long key, id, perms, size, creator, lastUser;
        int attached;
        if (fields >> key >> id >> perms >> size >> creator >> lastUser >> attached && creator == getpid())
            attachments.push_back(attached);
    }
    return attachments;
}

// Every pixel differs from its neighbours, and `seed` changes them all.
LRESULT PatternProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    const int seed = static_cast<int>(GetWindowLongPtrW(window, GWLP_USERDATA));
    for (int y = paint.rcPaint.top; y < paint.rcPaint.bottom; ++y)
        for (int x = paint.rcPaint.left; x < paint.rcPaint.right; ++x)
            SetPixelV(dc, x, y, RGB(x * 2 + seed, y * 2, (x ^ y) + seed));
    EndPaint(window, &paint);
    return 0;
}

HWND CreatePatternWindow(int x, int y, int width, int height)
{
    WNDCLASSEXW windowClass { sizeof windowClass };
    windowClass.lpfnWndProc = PatternProcedure;
    windowClass.lpszClassName = L"X11Pattern";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, L"X11Pattern", L"", WS_POPUP, x, y, width, height, nullptr, nullptr, nullptr, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

// Whether the server shows the window exactly as its backing surface holds it.
bool ServerShowsSurface(XDisplay* reader, HWND handle)
{
    const fln::user::Window* window = fln::user::WindowTree::Instance().Find(handle);
    cairo_surface_t* surface = window->surface;
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    XImage* image = XGetImage(reader, window->native, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image)
        return false;
    const unsigned char* rows = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    bool same = true;
    for (int y = 0; y < height && same; ++y)
        for (int x = 0; x < width && same; ++x)
            same = (reinterpret_cast<const std::uint32_t*>(rows + y * stride)[x] & 0xFFFFFF) == (XGetPixel(image, x, y) & 0xFFFFFF);
    XDestroyImage(image);
    return same;
}

// Shows a pattern window, then repaints a part of it: each picture must reach the server whole,
// the part at its place.
void ExpectPicturesArriveExactly(XDisplay* reader)
{
    HWND window = CreatePatternWindow(40, 30, 150, 110);
    EXPECT_TRUE(PumpUntil([&] { return ServerShowsSurface(reader, window); }));
    HDC dc = GetDC(window);
    EXPECT_EQ(GetPixel(dc, 7, 5), RGB(14, 10, 2));
    SetWindowLongPtrW(window, GWLP_USERDATA, 100);
    RECT part { 30, 20, 90, 70 };
    InvalidateRect(window, &part, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(GetPixel(dc, 30, 20), RGB(160, 40, 110));
    EXPECT_EQ(GetPixel(dc, 29, 20), RGB(58, 40, 9)); // outside the part: the first picture
    ReleaseDC(window, dc);
    EXPECT_TRUE(PumpUntil([&] { return ServerShowsSurface(reader, window); }));
    DestroyWindow(window);
}

struct SurfacePlace {
    const char* name;
    bool sharedMemoryWanted;
    size_t segmentsPerWindow;
};

void PrintTo(const SurfacePlace& place, std::ostream* out)
{
    *out << place.name;
}

class X11SharedMemory : public RealServerTest, public ::testing::WithParamInterface<SurfacePlace> {
protected:
    void SetUp() override
    {
        if (!GetParam().sharedMemoryWanted)
            setenv("FORMULON_NO_SHM", "1", 1);
        RealServerTest::SetUp();
        unsetenv("FORMULON_NO_SHM");
    }
};

TEST_P(X11SharedMemory, TheServerShowsExactlyTheSurfacesPixels)
{
    const size_t before = OwnSegmentAttachments().size();
    HWND window = CreatePatternWindow(300, 30, 60, 40);
    UpdateWindow(window); // its surface is made when it is first drawn
    const std::vector<int> during = OwnSegmentAttachments();
    ASSERT_EQ(during.size(), before + GetParam().segmentsPerWindow);
    if (GetParam().segmentsPerWindow) {
        EXPECT_EQ(during.back(), 2); // the program and the server
    }
    DestroyWindow(window);

    ExpectPicturesArriveExactly(reader);
}

TEST_P(X11SharedMemory, NoSegmentOutlivesItsSurface)
{
    const size_t before = OwnSegmentAttachments().size();
    HWND first = CreatePatternWindow(10, 10, 100, 80), second = CreatePatternWindow(200, 10, 100, 80);
    // A new size is a new surface in place of the old one.
    SetWindowPos(second, nullptr, 0, 0, 180, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(PumpUntil([&] { return ServerShowsSurface(reader, second); }));
    EXPECT_EQ(OwnSegmentAttachments().size(), before + 2 * GetParam().segmentsPerWindow);
    DestroyWindow(first);
    DestroyWindow(second);
    // The server lets go when it reads the detach request.
    EXPECT_TRUE(PumpUntil([&] { return OwnSegmentAttachments().size() == before; }));

    // A surface may outlive the display that made it.
    cairo_surface_t* surface = CurrentDisplay().CreateWindowSurface(64, 48);
    EXPECT_EQ(OwnSegmentAttachments().size(), before + GetParam().segmentsPerWindow);
    std::unique_ptr<Display> closing = SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    closing.reset();
    cairo_surface_destroy(surface);
    // The server lets go when it notices the connection closed.
    EXPECT_TRUE(PumpUntil([&] { return OwnSegmentAttachments().size() == before; }));
}

INSTANTIATE_TEST_SUITE_P(, X11SharedMemory,
    ::testing::Values(SurfacePlace { "SharedMemory", true, 1 }, SurfacePlace { "Socket", false, 0 }),
    [](const auto& info) { return std::string(info.param.name); });

// A server that cannot reach the program's segments (here: in an IPC namespace of its own, as a
// server on another machine or of another user would be) refuses the attach; the program goes
// on through the socket.
TEST(X11SharedMemoryRefused, TheProgramFallsBackToTheSocket)
{
    FLN_REQUIRE_PROGRAMS("Xvfb", "unshare");
    const std::string xvfb = FindProgram("Xvfb"), unshare = FindProgram("unshare");
    if (RunCommand(unshare + " --ipc true 2>/dev/null").status != 0)
        GTEST_SKIP() << "no IPC namespace can be made here";
    const std::filesystem::path starter = std::filesystem::temp_directory_path() / ("xvfb-own-ipc-" + std::to_string(getpid()));
    {
        std::ofstream script(starter);
        script << "#!/bin/sh\nexec " << unshare << " --ipc " << xvfb << " \"$@\"\n";
    }
    std::filesystem::permissions(starter, std::filesystem::perms::owner_all);
    std::unique_ptr<VirtualServer> server;
    std::unique_ptr<Display> x11 = ConnectToNewServer(starter.string(), server);
    std::filesystem::remove(starter);
    ASSERT_TRUE(x11);
    auto previous = SetCurrentDisplay(std::move(x11));
    XDisplay* reader = XOpenDisplay(server->Name().c_str());
    ASSERT_TRUE(reader);

    const size_t before = OwnSegmentAttachments().size();
    ExpectPicturesArriveExactly(reader);
    EXPECT_EQ(OwnSegmentAttachments().size(), before);

    XCloseDisplay(reader);
    SetCurrentDisplay(std::move(previous));
}

} // namespace
