#include "framework/MdiFrameWnd.h"

#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"

#include "framework/SysCommandEx.h"

#include <gtest/gtest.h>

using nsSysCommandEx::SysCommandExMessage;

namespace {

constexpr UINT ID_PROBE = 700;

// A filter that answers the extended system command and counts what it saw.
class ProbeFilter : public SECMsgFilter {
    DECLARE_DYNCREATE(ProbeFilter)
public:
    static inline int seen = 0;
    UINT WindowProc(UINT message, WPARAM wParam, LPARAM, LRESULT* result) override
    {
        if (message != SysCommandExMessage())
            return 0;
        ++seen;
        *result = static_cast<LRESULT>(wParam + 1);
        return MsgFilterHandled;
    }
};
IMPLEMENT_DYNCREATE(ProbeFilter, SECMsgFilter)

// A frame that takes one command, standing in for the active child.
class CommandFrame : public CFrameWnd {
public:
    int probes = 0;

protected:
    void OnProbe() { ++probes; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CommandFrame, CFrameWnd)
    ON_COMMAND(ID_PROBE, OnProbe)
END_MESSAGE_MAP()

TEST(SECMDIFrameWndPlacement, TheDockCycleGoesRoundTheSidesWithGaps)
{
    SECMDIFrameWnd frame;
    const std::vector<UINT> expected { 0, 59422, 0, 59420, 0, 59421, 59422, 59420, 59421, 59422, 0, 59420, 0, 59421, 0, 59422,
        59420, 59421, 59422, 0, 59420, 0, 59421, 59422, 59420, 59421 };
    EXPECT_EQ(frame.DockCycle(), expected);
    struct Step {
        UINT id;
        int column, row, flags;
    };
    // Bottom after a gap: a row of its own; left after a gap: at the front, first column.
    const Step steps[] = { { 59422, 0, 1, 6 }, { 59420, 1, 1, 7 }, { 59421, 0, 1, 6 }, { 59422, 0, 1, 2 }, { 59420, 0, 1, 3 } };
    for (const Step& step : steps) {
        SECDockPos position;
        SECDockSize size;
        EXPECT_EQ(frame.GetDefaultDockPlacement(position, size), step.id);
        EXPECT_EQ(position.column, step.column);
        EXPECT_EQ(position.row, step.row);
        EXPECT_EQ(position.flags, step.flags) << step.id;
        EXPECT_EQ(size.height, 150);
        EXPECT_FLOAT_EQ(size.proportion, 1.0f);
    }
}

TEST(SECMDIFrameWndPlacement, FloatedBarsCascadeAndStayInTheClient)
{
    SECFloatCascade cascade;
    const CSize client(100, 100);
    EXPECT_EQ(cascade.Next(client), CPoint(30, 30));
    EXPECT_EQ(cascade.Next(client), CPoint(50, 53));
    EXPECT_EQ(cascade.Next(client), CPoint(70, 30)); // 76 would come within 30 of the bottom
    EXPECT_EQ(cascade.Next(client), CPoint(30, 53));
    EXPECT_EQ(SECFloatCascade::Clamp(CPoint(-5, 500), CSize(200, 100)), CPoint(0, 70));
    EXPECT_EQ(SECFloatCascade::Clamp(CPoint(40, 10), CSize(200, 100)), CPoint(40, 10));
    EXPECT_EQ(SECFloatCascade::Clamp(CPoint(40, 10), CSize(0, 0)), CPoint(0, 0));
}

class SECMDIFrameWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        frame = new SECMDIFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, L"Desk", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 400)));
        app.m_pMainWnd = frame;
    }
    void TearDown() override
    {
        app.m_pMainWnd = nullptr;
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        Pump();
    }
    static void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    SECMDIChildWnd* NewChild(LPCWSTR title)
    {
        auto* child = new SECMDIChildWnd;
        if (!child->Create(nullptr, title, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0), frame)) {
            delete child;
            return nullptr;
        }
        child->MDIActivate();
        Pump();
        return child;
    }

    CWinApp app { L"SECMDIFrameWndTest" };
    SECMDIFrameWnd* frame = nullptr;
};

TEST_F(SECMDIFrameWndTest, TheExtendedSystemCommandGoesToTheFilters)
{
    // Without filters it is answered with 0.
    EXPECT_EQ(frame->SendMessage(SysCommandExMessage(), 0xC000, 0), 0);
    SECMsgFilter::Descriptor probe(300, SECMsgFilter::RootId, RUNTIME_CLASS(ProbeFilter));
    ASSERT_TRUE(frame->FilterRoot().Install(probe, TRUE));
    ProbeFilter::seen = 0;
    EXPECT_EQ(frame->SendMessage(SysCommandExMessage(), 0xC010, 0), 0xC011);
    EXPECT_EQ(ProbeFilter::seen, 1);
    // A document frame has filters of its own.
    SECMDIChildWnd* child = NewChild(L"Doc");
    ASSERT_TRUE(child->FilterRoot().Install(probe, TRUE));
    EXPECT_EQ(child->SendMessage(SysCommandExMessage(), 0xC020, 0), 0xC021);
    EXPECT_EQ(ProbeFilter::seen, 2);
    // Each table lists the filters to install, by id and parent.
    ASSERT_EQ(frame->FilterTable().GetSize(), 4);
    EXPECT_EQ(frame->FilterTable()[2]->parentId, 256);
    ASSERT_EQ(child->FilterTable().GetSize(), 5);
    EXPECT_EQ(child->FilterTable()[1]->flags, SECMsgFilter::Descriptor::KeepStateWhenDisabled);
}

TEST_F(SECMDIFrameWndTest, AStandInChildGetsCommandsFirst)
{
    SECMDIChildWnd* child = NewChild(L"Doc");
    EXPECT_EQ(frame->GetActiveFrame(), child);
    auto* standIn = new CommandFrame;
    ASSERT_TRUE(standIn->Create(nullptr, L"Outside", WS_OVERLAPPEDWINDOW, CRect(600, 0, 800, 200), frame));
    frame->SetActiveChild(standIn);
    EXPECT_EQ(frame->GetActiveFrame(), standIn);
    frame->SendMessage(WM_COMMAND, ID_PROBE, 0);
    EXPECT_EQ(standIn->probes, 1);
    frame->SetActiveChild(nullptr);
    EXPECT_EQ(frame->GetActiveFrame(), child);
}

TEST_F(SECMDIFrameWndTest, AnActiveFloatingFrameTakesTheActiveLookFromTheChildren)
{
    SECMDIChildWnd* child = NewChild(L"Doc");
    auto* floating = new CFrameWnd;
    ASSERT_TRUE(floating->Create(nullptr, L"Floating", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(600, 0, 800, 200), frame));
    frame->SetActiveFloatingFrame(floating);
    EXPECT_EQ(frame->GetActiveFloatingFrame(), floating);
    EXPECT_TRUE(::GetFocus() == floating->m_hWnd || ::IsChild(floating->m_hWnd, ::GetFocus()));
    // The child's caption stays inactive even when told to activate.
    child->SendMessage(WM_NCACTIVATE, TRUE);
    HDC dc = ::GetWindowDC(child->m_hWnd);
    int edge = GetSystemMetrics(SM_CXFRAME);
    EXPECT_EQ(::GetPixel(dc, edge, edge + 2), GetSysColor(COLOR_INACTIVECAPTION));
    ::ReleaseDC(child->m_hWnd, dc);
    frame->EndActiveFloatingFrame(TRUE);
    EXPECT_EQ(frame->GetActiveFloatingFrame(), nullptr);
    EXPECT_TRUE(::GetFocus() == child->m_hWnd || ::IsChild(child->m_hWnd, ::GetFocus()));
}

TEST_F(SECMDIFrameWndTest, AHostedFrameTakesAndGivesBackTheFloatingStyles)
{
    HWND host = ::CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 150, frame->m_hWnd, nullptr, nullptr, nullptr);
    auto* hosted = new CFrameWnd;
    ASSERT_TRUE(hosted->Create(nullptr, L"Hosted", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 80), CWnd::FromHandle(host)));
    const DWORD docked = hosted->GetStyle(), dockedEx = hosted->GetExStyle();
    frame->SetHostedFrameFloating(hosted, TRUE);
    EXPECT_EQ(hosted->GetStyle() & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(::GetPropW(hosted->m_hWnd, L"SECDockableFrame PreFloat Docked Style")), docked);
    frame->FitHostedFrame(hosted);
    CRect hostRect, hostedRect;
    ::GetWindowRect(host, &hostRect);
    hosted->GetWindowRect(&hostedRect);
    EXPECT_EQ(hostedRect, hostRect);
    frame->SetHostedFrameFloating(hosted, FALSE);
    EXPECT_EQ(hosted->GetStyle(), docked);
    EXPECT_EQ(hosted->GetExStyle(), dockedEx);
    EXPECT_FALSE(::GetPropW(hosted->m_hWnd, L"SECDockableFrame PreFloat Docked Style"));
}

} // namespace
