// A tab window on a real X server: xdotool clicks a tab of a frame's three-dimensional tab window,
// the tab becomes active and shows its page, and the screenshot shows it standing out. The
// screenshots are written to the temporary folder.

#include "framework/Tab3DWnd.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"

#include <cairo.h>
#include <filesystem>
#include <functional>

namespace {

// A page that goes with its window, as views do.
class PlainPage : public CWnd {
    DECLARE_DYNCREATE(PlainPage)
    void PostNcDestroy() override { delete this; }
};
IMPLEMENT_DYNCREATE(PlainPage, CWnd)

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
    std::string path = (std::filesystem::temp_directory_path() / ("fln-tabs-" + std::string(name) + ".png")).string();
    cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    return path;
}

TEST(TabWndX11, XdotoolClicksATabAndItBecomesActive)
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
        CWinApp app(L"TabWndX11Test");
        auto* frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, L"Tabs", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 640, 440)));
        app.m_pMainWnd = frame;
        SEC3DTabWnd tabs;
        ASSERT_TRUE(tabs.Create(frame, 0x50000A10, AFX_IDW_PANE_FIRST));
        const wchar_t* labels[] = { L"Formula", L"Date & Time", L"Graph", L"VBScript" };
        for (const wchar_t* label : labels)
            ASSERT_NE(tabs.AddTab(RUNTIME_CLASS(PlainPage), label), nullptr);
        ASSERT_TRUE(tabs.ActivateTab(0));
        frame->RecalcLayout();
        frame->UpdateWindow();

        // Tabs hang from the strip's top edge; an inactive tab lies under the strip's dark
        // lines, the active one covers them.
        SEC3DTabControl* strip = tabs.GetTabControl();
        CRect graph;
        strip->GetTabRect(2, graph);
        CPoint line(graph.CenterPoint().x, 3), centre = graph.CenterPoint();
        strip->ClientToScreen(&line);
        strip->ClientToScreen(&centre);
        ASSERT_TRUE(PumpUntil([&] { return ServerPixel(reader, line.x, line.y) == RGB(0, 0, 0); }));
        std::cout << "before: " << Screenshot(reader, "1-before") << "\n";

        const std::string command = "DISPLAY=" + server->Name() + " " + xdotool + " mousemove " + std::to_string(centre.x)
            + " " + std::to_string(centre.y) + " click 1";
        ASSERT_EQ(std::system(command.c_str()), 0);
        int active = -1;
        ASSERT_TRUE(PumpUntil([&] { return tabs.GetActiveTab(active) && active == 2; }));
        EXPECT_EQ(tabs.GetActivePage(), tabs.GetPage(2));
        EXPECT_TRUE(tabs.GetPage(2)->IsWindowVisible());
        EXPECT_FALSE(tabs.GetPage(0)->IsWindowVisible());
        EXPECT_TRUE(PumpUntil([&] { return ServerPixel(reader, line.x, line.y) == GetSysColor(COLOR_BTNFACE); }))
            << "the active tab covers the strip's lines";
        std::cout << "after: " << Screenshot(reader, "2-after") << "\n";

        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();
    }
    XCloseDisplay(reader);
    SetCurrentDisplay(std::move(previous));
}

} // namespace
