// A tab window on a real X server: xdotool clicks a tab of a frame's three-dimensional tab window,
// the tab becomes active and shows its page, and the screenshot shows it standing out. The
// screenshots are written to the temporary folder.

#include "framework/Tab3DWnd.h"
#include "platform/base/tests/RunCommand.h"
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

class TabWndX11 : public RealServerTest {};

TEST_F(TabWndX11, XdotoolClicksATabAndItBecomesActive)
{
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
        std::cout << "before: " << WriteServerScreenshot(reader, "fln-tabs-1-before", 700, 500) << "\n";

        const std::string command = "DISPLAY=" + server->Name() + " " + xdotool + " mousemove " + std::to_string(centre.x)
            + " " + std::to_string(centre.y) + " click 1";
        ASSERT_EQ(RunCommand(command).status, 0);
        int active = -1;
        ASSERT_TRUE(PumpUntil([&] { return tabs.GetActiveTab(active) && active == 2; }));
        EXPECT_EQ(tabs.GetActivePage(), tabs.GetPage(2));
        EXPECT_TRUE(tabs.GetPage(2)->IsWindowVisible());
        EXPECT_FALSE(tabs.GetPage(0)->IsWindowVisible());
        EXPECT_TRUE(PumpUntil([&] { return ServerPixel(reader, line.x, line.y) == GetSysColor(COLOR_BTNFACE); }))
            << "the active tab covers the strip's lines";
        std::cout << "after: " << WriteServerScreenshot(reader, "fln-tabs-2-after", 700, 500) << "\n";

        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();
    }
}

} // namespace
