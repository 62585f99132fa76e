// An MDI frame on a real X server: xdotool clicks the inactive one of two document frames, which
// becomes the active one, its caption drawn active. Screenshots before and after the click are
// written to the temporary folder.

#include "platform/mfc/Mdi.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"

#include <cairo.h>
#include <filesystem>
#include <functional>

namespace {

bool PumpUntil(const std::function<bool()>& condition)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < deadline) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// The server's screen as a PNG file.
std::string Screenshot(XDisplay* connection, const char* name)
{
    const int width = 700, height = 500;
    XImage* image = XGetImage(connection, DefaultRootWindow(connection), 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image)
        return {};
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    auto* rows = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reinterpret_cast<std::uint32_t*>(rows + y * stride)[x] = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
    cairo_surface_mark_dirty(surface);
    XDestroyImage(image);
    std::string path = (std::filesystem::temp_directory_path() / ("fln-mdi-" + std::string(name) + ".png")).string();
    cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    return path;
}

// The left end of a document frame's caption, on the screen.
CPoint CaptionStart(const CWnd& child)
{
    CRect r;
    child.GetWindowRect(&r);
    int frame = GetSystemMetrics(SM_CXFRAME);
    return { r.left + frame, r.top + frame + 2 };
}

TEST(MdiX11, XdotoolClicksTheInactiveChildWhichBecomesActive)
{
    std::string xvfb = FindProgram("Xvfb");
    std::string xdotool = FindProgram("xdotool");
    if (xvfb.empty() || xdotool.empty())
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    std::unique_ptr<VirtualServer> server;
    std::unique_ptr<Display> x11 = ConnectToNewServer(xvfb, server);
    ASSERT_TRUE(x11) << server->Name();
    auto previous = SetCurrentDisplay(std::move(x11));
    XDisplay* reader = XOpenDisplay(server->Name().c_str());
    ASSERT_TRUE(reader);
    {
        CWinApp app(L"MdiX11Test");
        auto* frame = new CMDIFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, L"Workbench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 640, 440)));
        app.m_pMainWnd = frame;
        auto* left = new CMDIChildWnd;
        auto* right = new CMDIChildWnd;
        ASSERT_TRUE(left->Create(nullptr, L"Left", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(10, 10, 260, 210), frame));
        ASSERT_TRUE(right->Create(nullptr, L"Right", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(290, 10, 540, 210), frame));
        ::SetActiveWindow(frame->m_hWnd);
        frame->UpdateWindow();
        ASSERT_EQ(frame->MDIGetActive(), right);

        const COLORREF active = GetSysColor(COLOR_ACTIVECAPTION), inactive = GetSysColor(COLOR_INACTIVECAPTION);
        CPoint leftCaption = CaptionStart(*left), rightCaption = CaptionStart(*right);
        ASSERT_TRUE(PumpUntil([&] {
            return ServerPixel(reader, leftCaption.x, leftCaption.y) == inactive && ServerPixel(reader, rightCaption.x, rightCaption.y) == active;
        })) << "the second child shows active";
        std::cout << "before: " << Screenshot(reader, "1-right-active") << "\n";

        CRect body;
        left->GetWindowRect(&body);
        const std::string display = "DISPLAY=" + server->Name() + " ";
        std::string click = display + xdotool + " mousemove " + std::to_string(body.CenterPoint().x) + " " + std::to_string(body.CenterPoint().y) + " click 1";
        ASSERT_EQ(std::system(click.c_str()), 0);
        ASSERT_TRUE(PumpUntil([&] { return frame->MDIGetActive() == left; }));
        EXPECT_TRUE(PumpUntil([&] {
            return ServerPixel(reader, leftCaption.x, leftCaption.y) == active && ServerPixel(reader, rightCaption.x, rightCaption.y) == inactive;
        })) << "the clicked child shows active";
        std::cout << "after: " << Screenshot(reader, "2-left-active") << "\n";

        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();
    }
    XCloseDisplay(reader);
    SetCurrentDisplay(std::move(previous));
}

} // namespace
