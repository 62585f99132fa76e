// A frame with a tool bar on a real X server: xdotool moves to a button, which lights up, and
// clicks it, which sends the button's command to the frame.

#include "ToolBarFixture.h"

// After the test framework: Xlib's macros (None, Bool...) would clash with its names.
#include "platform/user/tests/X11TestSupport.h"

#include <functional>

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
        ASSERT_EQ(std::system(move.c_str()), 0);
        EXPECT_TRUE(PumpUntil([&] { return ServerPixel(reader, save.left, save.top) == GetSysColor(COLOR_BTNHIGHLIGHT); }))
            << "the button under the pointer is raised";
        ASSERT_EQ(std::system((display + xdotool + " click 1").c_str()), 0);
        EXPECT_TRUE(PumpUntil([&] { return !frame->commands.empty(); }));
        EXPECT_EQ(frame->commands, std::vector<UINT> { ID_TB_SAVE });

        app.m_pMainWnd = nullptr;
        frame->DestroyWindow();
    }
}

} // namespace
