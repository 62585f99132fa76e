// A frame with a tool bar on a real X server: xdotool moves to a button, which lights up, and
// clicks it, which sends the button's command to the frame; it drags the bar off by its gripper
// into the toolkit's floating frame and docks it again by a double click on that frame's caption.

#include "ToolBarFixture.h"
#include "platform/base/tests/RunCommand.h"

#include "framework/MiniDockFrameWnd.h"

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"

#include <functional>
#include <iostream>

namespace {

class ToolBarX11 : public RealServerTest {};

TEST_F(ToolBarX11, AClickOnAButtonSendsItsCommand)
{
    {
        CWinApp app(L"ToolBarX11Test");
        auto* frame = new CommandFrame;
        ASSERT_TRUE(frame->Create(nullptr, L"Tool bar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(50, 50, 650, 450)));
        app.m_pMainWnd = frame;
        frame->EnableDocking(CBRS_ALIGN_ANY);
        SECCustomToolBar bar;
        ASSERT_TRUE(bar.CreateEx(SEC_TBS_FLAT | SEC_TBS_GRIPPER, frame, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM,
            AFX_IDW_TOOLBAR));
        ASSERT_TRUE(bar.LoadToolBar(IDR_TB_EDIT));
        bar.EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&bar);
        frame->RecalcLayout();
        frame->UpdateWindow();

        CRect save = bar.GetButton(3)->GetRect();
        ASSERT_EQ(bar.GetButton(3)->m_nID, ID_TB_SAVE);
        bar.ClientToScreen(&save);
        // The button's picture is on the screen: its black frame, three pixels into the image.
        const CPoint frameCorner = save.TopLeft() + CSize((23 - 16 - 1) / 2 + 3, (22 - 15) / 2 + 3);
        ASSERT_TRUE(PumpUntil([&] { return ServerPixel(reader, frameCorner.x, frameCorner.y) == RGB(0, 0, 0); }));

        const std::string display = "DISPLAY=" + server->Name() + " ";
        const CPoint middle = save.CenterPoint();
        const std::string move = display + xdotool + " mousemove " + std::to_string(middle.x) + " " + std::to_string(middle.y);
        ASSERT_EQ(RunCommand(move).status, 0);
        EXPECT_TRUE(PumpUntil([&] { return ServerPixel(reader, save.left, save.top) == GetSysColor(COLOR_BTNHIGHLIGHT); }))
            << "the button under the pointer is raised";
        ASSERT_EQ(RunCommand(display + xdotool + " click 1").status, 0);
        EXPECT_TRUE(PumpUntil([&] { return !frame->commands.empty(); }));
        EXPECT_EQ(frame->commands, std::vector<UINT> { ID_TB_SAVE });

        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();
    }
}

TEST_F(ToolBarX11, XdotoolFloatsABarInTheToolkitsFrameAndItsCaptionDocksItAgain)
{
    {
        CWinApp app(L"ToolBarX11Test");
        auto* frame = new CommandFrame;
        ASSERT_TRUE(frame->Create(nullptr, L"Tool bar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(50, 50, 650, 450)));
        app.m_pMainWnd = frame;
        frame->EnableDocking(CBRS_ALIGN_ANY);
        SECCustomToolBar bar;
        ASSERT_TRUE(bar.CreateEx(SEC_TBS_FLAT | SEC_TBS_GRIPPER, frame, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_GRIPPER, AFX_IDW_TOOLBAR));
        ASSERT_TRUE(bar.LoadToolBar(IDR_TB_EDIT));
        bar.SetWindowText(L"Edit");
        bar.EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&bar);
        frame->RecalcLayout();
        frame->UpdateWindow();

        CRect docked;
        bar.GetWindowRect(&docked);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        ASSERT_TRUE(PumpUntil([&] { return ServerPixel(reader, docked.right - 3, docked.top + 3) == face; }));
        const std::string display = "DISPLAY=" + server->Name() + " ";
        auto run = [&](const std::string& steps) { return RunCommand(display + xdotool + steps).status; };
        auto at = [](CPoint point) { return " " + std::to_string(point.x) + " " + std::to_string(point.y); };

        // By the gripper, well off the dock bar.
        const CPoint grip(docked.left + 3, docked.top + docked.Height() / 2), drop = grip + CSize(150, 200);
        ASSERT_EQ(run(" mousemove" + at(grip) + " mousedown 1 mousemove" + at(grip + CSize(10, 10)) + " mousemove" + at(drop) + " mouseup 1"), 0);
        ASSERT_TRUE(PumpUntil([&] { return bar.IsFloating(); }));
        auto* floating = dynamic_cast<SECMiniDockFrameWnd*>(CWnd::FromHandlePermanent(GetAncestor(bar.m_hWnd, GA_ROOT)));
        ASSERT_NE(floating, nullptr);
        EXPECT_EQ(floating->GetWindowText(), CString(L"Edit"));
        CRect body;
        bar.GetWindowRect(&body);
        EXPECT_TRUE(PumpUntil([&] { return ServerPixel(reader, body.right - 3, body.bottom - 3) == face; })) << "the floating bar shows";
        CRect caption;
        floating->GetWindowRect(&caption);
        // The caption's gradient starts at the caption colour, over the white the main window shows there.
        const CPoint captionStart(caption.left + 4, caption.top + 12);
        EXPECT_TRUE(PumpUntil([&] { return ServerPixel(reader, captionStart.x, captionStart.y) == GetSysColor(COLOR_ACTIVECAPTION)
                                             || ServerPixel(reader, captionStart.x, captionStart.y) == GetSysColor(COLOR_INACTIVECAPTION); }))
            << "its small caption";
        std::cout << "floating: " << WriteServerScreenshot(reader, "fln-toolbar-floating", 800, 600) << "\n";

        // A double click on the caption docks it where it was.
        const CPoint title(caption.left + 20, caption.top + 6);
        ASSERT_EQ(run(" mousemove" + at(title) + " click --repeat 2 --delay 80 1"), 0);
        ASSERT_TRUE(PumpUntil([&] { return !bar.IsFloating(); }));
        bar.GetWindowRect(&body);
        EXPECT_EQ(body.TopLeft(), docked.TopLeft());
        std::cout << "docked again: " << WriteServerScreenshot(reader, "fln-toolbar-docked-again", 800, 600) << "\n";

        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();
    }
}

} // namespace
