#include "DockingFixture.h"

#include "framework/ContextHelp.h"
#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/FrameWnd.h"

namespace {

constexpr UINT ID_BAR = AFX_IDW_CONTROLBAR_FIRST + 120;

class SECFrameWndTest : public DockingFixture {
protected:
    CFrameWnd* NewFrame() override { return new SECFrameWnd; }
    SECFrameWnd* Frame() const { return static_cast<SECFrameWnd*>(frame); }
};

TEST_F(SECFrameWndTest, EnableDockingThroughAPlainFramePointerMakesTheStripsToo)
{
    // The fixture enabled docking through a CFrameWnd pointer.
    for (DWORD side : { CBRS_ALIGN_LEFT, CBRS_ALIGN_TOP, CBRS_ALIGN_RIGHT, CBRS_ALIGN_BOTTOM })
        EXPECT_NE(Frame()->GetAutoHideBar(side), nullptr) << side;
    EXPECT_NE(dynamic_cast<SECDockBar*>(AfxFindDockBar(frame, AFX_IDW_DOCKBAR_TOP)), nullptr);
}

TEST_F(SECFrameWndTest, AFloatedBarKeepsTenPixelsOnTheWorkArea)
{
    SECControlBar bar;
    ASSERT_TRUE(bar.Create(frame, L"Bar", WS_VISIBLE | CBRS_TOP, CBRS_EX_FIXEDSIZE, ID_BAR));
    bar.m_szHorzDocked = CSize(150, 24);
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    CRect work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    struct Case {
        const char* name;
        CPoint point;
    };
    for (const Case& c : { Case { "far off to the bottom right", CPoint(work.right + 900, work.bottom + 900) },
             Case { "far off to the top left", CPoint(work.left - 900, work.top - 900) } }) {
        SCOPED_TRACE(c.name);
        CFrameWnd* plain = frame;
        plain->FloatControlBar(&bar, c.point);
        Pump();
        CRect floating;
        ::GetWindowRect(::GetAncestor(bar.m_hWnd, GA_ROOT), &floating);
        EXPECT_LE(floating.left, work.right - 10);
        EXPECT_LE(floating.top, work.bottom - 10);
        EXPECT_GE(floating.right, work.left + 10);
        EXPECT_GE(floating.bottom, work.top + 10);
    }
}

TEST_F(SECFrameWndTest, TheWorkspaceCommandsAndHelpModeAreTheFrames)
{
    for (UINT id : { 43007u, 43014u, 43031u, 43039u, ID_CONTEXT_HELP }) {
        AFX_CMDHANDLERINFO info {};
        EXPECT_TRUE(frame->OnCmdMsg(id, CN_COMMAND, nullptr, &info)) << id;
    }
    AFX_CMDHANDLERINFO info {};
    EXPECT_FALSE(frame->OnCmdMsg(43010, CN_COMMAND, nullptr, &info));
    // Help mode starts and Esc ends it without help.
    frame->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    frame->SendMessage(WM_COMMAND, ID_CONTEXT_HELP);
    EXPECT_FALSE(::GetCapture());
}

} // namespace
