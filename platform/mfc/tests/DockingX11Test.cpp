// Docking on a real X server: xdotool drags a tool-bar-like bar off its dock bar, where it floats
// in a mini frame, widens it by the mini frame's right edge, and drags it back by the caption,
// where it docks again. Screenshots of each step are written to the temporary folder.

#include "platform/mfc/DockBar.h"
#include "platform/base/tests/RunCommand.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/tests/TestBars.h"

#include <gtest/gtest.h>

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"

#include <cairo.h>
#include <filesystem>
#include <functional>
#include <tuple>

namespace {

class DockingX11 : public RealServerTest {};

TEST_F(DockingX11, XdotoolDragsABarOffToFloatAndBackToDock)
{
    {
        CWinApp app(L"DockingX11Test");
        auto* frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, L"Docking", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(50, 50, 650, 450)));
        app.m_pMainWnd = frame;
        frame->EnableDocking(CBRS_ALIGN_ANY);
        SizableBar first, second;
        for (auto [bar, id, title] : { std::tuple { &first, AFX_IDW_TOOLBAR, L"First" }, { &second, AFX_IDW_TOOLBAR + 1, L"Second" } }) {
            ASSERT_TRUE(bar->Create(frame, id, title, WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_SIZE_DYNAMIC));
            bar->EnableDocking(CBRS_ALIGN_ANY);
        }
        frame->DockControlBar(&first);
        frame->DockControlBar(&second);
        frame->UpdateWindow();

        CRect docked;
        first.GetWindowRect(&docked);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        ASSERT_TRUE(PumpUntil([&] { return ServerPixel(reader, docked.left + 40, docked.top + 10) == face; }));
        std::cout << "docked: " << WriteServerScreenshot(reader, "fln-docking-1-docked", 800, 600) << "\n";

        const std::string display = "DISPLAY=" + server->Name() + " ";
        auto drag = [&](CPoint from, CPoint to) {
            std::string command = display + xdotool + " mousemove " + std::to_string(from.x) + " " + std::to_string(from.y)
                + " mousedown 1 mousemove " + std::to_string(from.x + 10) + " " + std::to_string(from.y + 10) + " mousemove "
                + std::to_string(to.x) + " " + std::to_string(to.y) + " mouseup 1";
            return RunCommand(command).status;
        };

        // Off the dock bar: the bar floats where it was dropped.
        const CPoint grab(docked.left + 3, docked.top + 10), drop(grab.x + 200, grab.y + 250);
        ASSERT_EQ(drag(grab, drop), 0);
        ASSERT_TRUE(PumpUntil([&] { return first.IsFloating(); }));
        HWND mini = GetAncestor(first.m_hWnd, GA_ROOT);
        CRect body;
        first.GetWindowRect(&body);
        EXPECT_EQ(body.TopLeft(), docked.TopLeft() + (drop - grab)) << "the bar lands where it was dropped";
        EXPECT_TRUE(PumpUntil([&] { return ServerPixel(reader, body.left + 60, body.top + 10) == face; })) << "the floating bar shows";
        std::cout << "floating: " << WriteServerScreenshot(reader, "fln-docking-2-floating", 800, 600) << "\n";

        // The frame's right edge widens the bar.
        CRect floating;
        GetWindowRect(mini, &floating);
        const CPoint rightEdge(floating.right - 1, floating.CenterPoint().y);
        ASSERT_EQ(SendMessageW(mini, WM_NCHITTEST, 0, MAKELPARAM(rightEdge.x, rightEdge.y)), HTRIGHT);
        ASSERT_EQ(drag(rightEdge, rightEdge + CSize(80, 0)), 0);
        ASSERT_TRUE(PumpUntil([&] {
            CRect now;
            GetWindowRect(mini, &now);
            return now.Width() == floating.Width() + 80;
        }));
        first.GetWindowRect(&body);
        EXPECT_EQ(body.Width(), 120 + 80) << "the floating width, 120, and the 80 pixels dragged";
        EXPECT_TRUE(PumpUntil([&] { return ServerPixel(reader, body.right - 10, body.top + 10) == face; })) << "the wider bar shows";
        std::cout << "wider: " << WriteServerScreenshot(reader, "fln-docking-3-wider", 800, 600) << "\n";
        GetWindowRect(mini, &floating);

        // Back by the caption onto the top dock bar, in the first row.
        CRect top;
        AfxFindDockBar(frame, AFX_IDW_DOCKBAR_TOP)->GetWindowRect(&top);
        ASSERT_EQ(drag(CPoint(floating.left + 20, floating.top + 8), CPoint(top.left + 200, top.top + 5)), 0);
        ASSERT_TRUE(PumpUntil([&] { return !first.IsFloating() && !IsWindow(mini); }));
        EXPECT_EQ(first.m_pDockBar, AfxFindDockBar(frame, AFX_IDW_DOCKBAR_TOP));
        first.GetWindowRect(&body);
        EXPECT_EQ(body.top, top.top) << "docked in the row under the pointer";
        EXPECT_TRUE(PumpUntil([&] { return ServerPixel(reader, body.left + 60, body.top + 10) == face; }));
        std::cout << "docked again: " << WriteServerScreenshot(reader, "fln-docking-4-docked-again", 800, 600) << "\n";

        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();
    }
}

} // namespace
