#include "DockingFixture.h"

#include "framework/ContextHelp.h"
#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/FrameWnd.h"
#include "framework/ToolBarManager.h"
#include "framework/WndPlugIn.h"

#include <string>
#include <vector>

namespace {

using divuzura::foundation::SECWndPlugIn;

constexpr UINT ID_BAR = AFX_IDW_CONTROLBAR_FIRST + 120;
constexpr UINT ID_TAKEN = 43010; // a command the frame itself does not handle

// Takes ID_TAKEN whole and watches the rest go by.
class CommandTaker : public SECWndPlugIn {
    DECLARE_DYNCREATE(CommandTaker)
public:
    BOOL OnCmdMsg(UINT id, int code, void*, AFX_CMDHANDLERINFO*) override
    {
        seen.push_back(id);
        if (id != ID_TAKEN || code != CN_COMMAND)
            return FALSE;
        ExitMessage();
        return TRUE;
    }
    std::vector<UINT> seen;
};
IMPLEMENT_DYNCREATE(CommandTaker, CWnd) // the plug-in base has no run-time class of its own

class Refuser : public SECWndPlugIn {
    DECLARE_DYNCREATE(Refuser)
public:
    void PlugInTo(CWnd*) override {}
};
IMPLEMENT_DYNCREATE(Refuser, CWnd) // the plug-in base has no run-time class of its own

class NotAPlugIn : public CObject {
    DECLARE_DYNCREATE(NotAPlugIn)
};
IMPLEMENT_DYNCREATE(NotAPlugIn, CObject)

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

// Notes each hook with where the bar was at that moment.
class HookedBar : public SECControlBar {
public:
    void OnPreDock() override { Note("pre-dock"); }
    void OnPostDock() override { Note("post-dock"); }
    void OnPreFloat() override { Note("pre-float"); }
    void OnPostFloat() override { Note("post-float"); }
    std::vector<std::string> notes;

private:
    void Note(const std::string& hook) { notes.push_back(hook + (!m_pDockBar ? " (free)" : IsFloating() ? " (floating)" : " (docked)")); }
};

TEST_F(SECFrameWndTest, DockingAndFloatingRunTheBarsHooksAroundTheMove)
{
    HookedBar bar;
    ASSERT_TRUE(bar.Create(frame, L"Bar", WS_VISIBLE | CBRS_TOP, 0, ID_BAR));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    Frame()->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    Frame()->FloatControlBar(&bar, CPoint(300, 300));
    Frame()->DockControlBarEx(&bar, AFX_IDW_DOCKBAR_LEFT, 0, 0, 1.0f, 100);
    EXPECT_EQ(bar.notes, (std::vector<std::string> { "pre-dock (free)", "post-dock (docked)", "pre-float (docked)",
                             "post-float (floating)", "pre-dock (floating)", "post-dock (docked)" }));
    bar.DestroyWindow();
}

TEST_F(SECFrameWndTest, ACommandPlugInSeesCommandsFirstAndEndsThoseItTakes)
{
    for (CRuntimeClass* unusable : { static_cast<CRuntimeClass*>(nullptr), RUNTIME_CLASS(NotAPlugIn), RUNTIME_CLASS(Refuser) }) {
        EXPECT_EQ(Frame()->CreateCommandPlugIn(unusable), nullptr);
        EXPECT_EQ(Frame()->GetCommandPlugIn(), nullptr);
    }
    auto* taker = static_cast<CommandTaker*>(Frame()->CreateCommandPlugIn(RUNTIME_CLASS(CommandTaker)));
    ASSERT_NE(taker, nullptr);
    EXPECT_EQ(Frame()->GetCommandPlugIn(), taker);
    EXPECT_EQ(taker->m_hWnd, frame->m_hWnd);
    AFX_CMDHANDLERINFO info {};
    EXPECT_TRUE(frame->OnCmdMsg(ID_TAKEN, CN_COMMAND, nullptr, &info));
    // Not taken: the frame's own handler still runs, and an unknown command stays unhandled.
    EXPECT_TRUE(frame->OnCmdMsg(43007, CN_COMMAND, nullptr, &info));
    EXPECT_FALSE(frame->OnCmdMsg(43011, CN_COMMAND, nullptr, &info));
    EXPECT_EQ(taker->seen, (std::vector<UINT> { ID_TAKEN, 43007, 43011 }));
}

TEST_F(SECFrameWndTest, TheMenuBitmapColourStartsLightGreyAndKeepsItsSwitch)
{
    EXPECT_EQ(Frame()->GetMenuBitmapColor(), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_FALSE(Frame()->IsMenuBitmapColorUsed());
    EXPECT_EQ(Frame()->SetMenuBitmapColor(RGB(255, 0, 255), TRUE), RGB(255, 0, 255));
    EXPECT_EQ(Frame()->GetMenuBitmapColor(), RGB(255, 0, 255));
    EXPECT_TRUE(Frame()->IsMenuBitmapColorUsed());
}

// Counts its layouts.
class CountingFrame : public SECFrameWnd {
public:
    void RecalcLayout(BOOL notify = TRUE) override
    {
        ++layouts;
        SECFrameWnd::RecalcLayout(notify);
    }
    int layouts = 0;
};

class CustomisingFrameTest : public DockingFixture {
protected:
    CFrameWnd* NewFrame() override { return new CountingFrame; }
    CountingFrame* Frame() const { return static_cast<CountingFrame*>(frame); }
};

TEST_F(CustomisingFrameTest, WhileTheBarsAreCustomisedTheFrameLaysOutInsideDialogsAndCannotBeHitOrClosed)
{
    SECToolBarManager manager(frame);
    EXPECT_EQ(Frame()->SetToolBarManager(&manager), &manager);
    MSG close { frame->m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0 };
    CRect window;
    frame->GetWindowRect(&window);
    const LPARAM inside = MAKELPARAM(window.left + 50, window.top + 50);
    struct Case {
        const char* name;
        BOOL customizing;
        WPARAM why;
        int layouts;
    };
    for (const Case& c : { Case { "not customising", FALSE, MSGF_DIALOGBOX, 0 }, Case { "a menu waits", TRUE, MSGF_MENU, 0 },
             Case { "a dialog waits while customising", TRUE, MSGF_DIALOGBOX, 1 } }) {
        SCOPED_TRACE(c.name);
        manager.m_bCustomizing = c.customizing;
        frame->DelayRecalcLayout();
        Frame()->layouts = 0;
        frame->SendMessage(WM_ENTERIDLE, c.why, 0);
        EXPECT_EQ(Frame()->layouts, c.layouts);
        EXPECT_EQ(frame->PreTranslateMessage(&close), c.customizing);
        EXPECT_EQ(frame->SendMessage(WM_NCHITTEST, 0, inside) == HTERROR, c.customizing);
    }
    Frame()->SetToolBarManager(nullptr);
}

} // namespace
