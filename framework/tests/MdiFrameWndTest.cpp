#include "framework/MdiFrameWnd.h"

#include "platform/mfc/View.h"
#include "platform/mfc/WinApp.h"

#include "framework/CaptionFilters.h"
#include "framework/ContextHelp.h"
#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/SysCommandEx.h"
#include "platform/user/tests/PixelChecks.h"

#include <gtest/gtest.h>

#include "DockingFixture.h"

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

class SECMDIFrameWndTest : public HeadlessAppFixture {
protected:
    void SetUp() override
    {
        HeadlessAppFixture::SetUp();
        frame = new SECMDIFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, L"Desk", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 400)));
        app.m_pMainWnd = frame;
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

    SECMDIFrameWnd* frame = nullptr;
};

// Records what the program's help is asked for.
class HelpRequests {
public:
    HelpRequests()
        : m_previous(SetHelpViewer([this](HWND, LPCWSTR, UINT, ULONG_PTR data) {
            ids.push_back(static_cast<DWORD>(data));
            return TRUE;
        }))
    {
    }
    ~HelpRequests() { SetHelpViewer(m_previous); }
    std::vector<DWORD> ids;

private:
    HelpViewer m_previous;
};

// A document frame that answers help on commands itself.
class HelpfulChild : public SECMDIChildWnd {
public:
    DWORD asked = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_COMMANDHELP)
            return SECMDIChildWnd::WindowProc(message, wParam, lParam);
        asked = static_cast<DWORD>(lParam);
        return TRUE;
    }
};

// A window with a help id of its own.
class HelpTarget : public CWnd {
protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        return message == WM_HELPHITTEST ? 0x50077 : CWnd::WindowProc(message, wParam, lParam);
    }
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

TEST_F(SECMDIFrameWndTest, PlacementRecordsDockBarsWithTheirThickness)
{
    frame->EnableDocking(CBRS_ALIGN_ANY);
    struct Case {
        const char* name;
        UINT dockBarId;
        DWORD dockStyle;
        UINT expectedDockBar;
        int height;
        CSize SECControlBar::*size;
        CSize expected;
    };
    const Case cases[] = {
        { "left: the width", AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_LEFT, 120, &SECControlBar::m_szVertDocked, CSize(120, 180) },
        { "top: the height", AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP, 40, &SECControlBar::m_szHorzDocked, CSize(300, 40) },
        { "no id: the first side it may dock to", 0, CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM, 60, &SECControlBar::m_szHorzDocked, CSize(300, 60) },
        { "an id of no dock bar: likewise", 1234, CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT, 90, &SECControlBar::m_szVertDocked, CSize(90, 180) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SECControlBar bar;
        ASSERT_TRUE(bar.Create(frame, L"Bar", WS_VISIBLE | CBRS_TOP, 0, 0xE830));
        bar.EnableDocking(c.dockStyle);
        frame->DockControlBarPlaced(&bar, c.dockBarId, 0, 0, 1.0f, c.height);
        CDockBar* dockBar = AfxFindDockBar(frame, c.expectedDockBar);
        EXPECT_EQ(bar.m_pDockBar, dockBar);
        EXPECT_EQ(bar.*c.size, c.expected);
        bar.DestroyWindow();
    }
}

TEST_F(SECMDIFrameWndTest, APlacedBarTakesItsRowColumnAndShare)
{
    frame->EnableDocking(CBRS_ALIGN_ANY);
    SECControlBar first, second, third;
    for (SECControlBar* bar : { &first, &second, &third }) {
        ASSERT_TRUE(bar->Create(frame, L"Bar", WS_VISIBLE | CBRS_TOP, 0, 0xE830));
        bar->EnableDocking(CBRS_ALIGN_ANY);
    }
    frame->DockControlBarPlaced(&first, AFX_IDW_DOCKBAR_TOP, 0, 0, 0.75f, 30);
    frame->DockControlBarPlaced(&second, AFX_IDW_DOCKBAR_TOP, 1, 0, 1.0f, 30);
    frame->DockControlBarPlaced(&third, AFX_IDW_DOCKBAR_TOP, 0, 0, 0.25f, 30); // in front of the first
    auto rows = AfxFindDockBar(frame, AFX_IDW_DOCKBAR_TOP)->Rows();
    std::erase(rows.front(), static_cast<CControlBar*>(frame->GetAutoHideBar(CBRS_ALIGN_TOP))); // hidden, at the end
    EXPECT_EQ(rows, (std::vector<std::vector<CControlBar*>> { { &third, &first }, { &second } }));
    EXPECT_NEAR(first.m_fPctWidth, 0.75f, 1e-4f);
    EXPECT_NEAR(third.m_fPctWidth, 0.25f, 1e-4f);
    for (SECControlBar* bar : { &first, &second, &third })
        bar->DestroyWindow();
}

TEST_F(SECMDIFrameWndTest, HelpOnACommandGoesToTheActiveChildFirst)
{
    HelpRequests help;
    auto* child = new HelpfulChild;
    ASSERT_TRUE(child->Create(nullptr, L"Doc", WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CRect(0, 0, 200, 150), frame));
    child->MDIActivate();
    Pump();
    EXPECT_EQ(frame->SendMessage(WM_COMMANDHELP, 0, 0x10123), TRUE);
    EXPECT_EQ(child->asked, 0x10123u);
    EXPECT_TRUE(help.ids.empty());

    // Without a child that answers, the frame opens the help: a command's id, the command being
    // tracked in a menu, else the frame's own.
    child->DestroyWindow();
    Pump();
    frame->m_nIDHelp = 300;
    frame->SendMessage(WM_COMMANDHELP, 0, 0x10123);
    frame->SendMessage(WM_COMMANDHELP, 0, 0);
    frame->SendMessage(WM_SETMESSAGESTRING, 0x8004);
    frame->SendMessage(WM_COMMANDHELP, 0, 0);
    const std::vector<DWORD> expected { 0x10123, HID_BASE_RESOURCE + 300, HID_BASE_COMMAND + 0x8004 };
    EXPECT_EQ(help.ids, expected);
}

TEST_F(SECMDIFrameWndTest, HelpModeNamesTheWindowUnderThePress)
{
    HelpRequests help;
    HelpTarget target;
    ASSERT_TRUE(target.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 40), CWnd::FromHandle(frame->m_hWndMDIClient), 5));
    CRect place;
    target.GetWindowRect(&place);
    frame->ScreenToClient(&place);
    frame->PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(place.left + 3, place.top + 3)); // only moves the cursor
    frame->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(place.left + 5, place.top + 5));
    frame->SendMessage(WM_COMMAND, ID_CONTEXT_HELP);
    EXPECT_EQ(help.ids, std::vector<DWORD> { 0x50077 });
    EXPECT_FALSE(::GetCapture());

    // Esc, or WM_EXITHELPMODE, ends help mode without help.
    for (MSG ending : { MSG { frame->m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0 }, MSG { frame->m_hWnd, WM_EXITHELPMODE, 0, 0 } }) {
        frame->PostMessage(ending.message, ending.wParam, ending.lParam);
        frame->SendMessage(WM_COMMAND, ID_CONTEXT_HELP);
    }
    EXPECT_EQ(help.ids.size(), 1u);
    EXPECT_FALSE(::GetCapture());
    target.DestroyWindow();
}

TEST_F(SECMDIFrameWndTest, TheWorkspaceCommandsAreTheFramesButDoNothing)
{
    for (UINT id : { 43007u, 43009u, 43012u, 43014u, 43031u, 43035u, 43039u }) {
        AFX_CMDHANDLERINFO info {};
        EXPECT_TRUE(frame->OnCmdMsg(id, CN_COMMAND, nullptr, &info)) << id;
    }
    for (UINT id : { 43006u, 43010u, 43030u, 43040u }) {
        AFX_CMDHANDLERINFO info {};
        EXPECT_FALSE(frame->OnCmdMsg(id, CN_COMMAND, nullptr, &info)) << id;
    }
}

TEST_F(SECMDIFrameWndTest, CaptionFlagsSwitchTheFiltersAndTheChildsButtons)
{
    SECMDIChildWnd* child = NewChild(L"Doc");
    ASSERT_TRUE(child);
    using Button = SECCaptionControlMsgFilter;
    child->UpdateCaptionFilters(1 | 2 | 8); // without minimise and close
    auto* list = dynamic_cast<SECCaptionControlListMsgFilter*>(child->FilterRoot().FindOrCreate(256));
    ASSERT_TRUE(list);
    EXPECT_TRUE(list->IsEnabled());
    EXPECT_FALSE(list->FindOrCreate(Button::Minimize)->IsEnabled());
    EXPECT_FALSE(list->FindOrCreate(Button::Close)->IsEnabled());
    EXPECT_TRUE(list->FindOrCreate(Button::Maximize)->IsEnabled());
    ASSERT_TRUE(child->FilterRoot().FindOrCreate(262));
    EXPECT_TRUE(child->FilterRoot().FindOrCreate(262)->IsEnabled());
    child->UpdateCaptionFilters(0);
    EXPECT_FALSE(child->FilterRoot().FindOrCreate(262)->IsEnabled());
    EXPECT_TRUE(list->IsEnabled()); // the button row keeps its state

    frame->UpdateCaptionFilters(1);
    ASSERT_TRUE(frame->FilterRoot().FindOrCreate(257));
    EXPECT_TRUE(frame->FilterRoot().FindOrCreate(257)->IsEnabled());
    frame->UpdateCaptionFilters(0);
    EXPECT_FALSE(frame->FilterRoot().FindOrCreate(257)->IsEnabled());
}

TEST_F(SECMDIFrameWndTest, TheToolkitCaptionStaysActiveWhileAFrameOfTheMainWindowIs)
{
    auto* floating = new CFrameWnd;
    ASSERT_TRUE(floating->Create(nullptr, L"Floating", WS_CHILD | WS_VISIBLE | WS_CAPTION, CRect(10, 10, 150, 100),
        CWnd::FromHandle(frame->m_hWndMDIClient)));
    ::SetForegroundWindow(frame->m_hWnd);
    CRect window;
    frame->GetWindowRect(&window);
    const int edge = GetSystemMetrics(SM_CXFRAME);
    const CPoint sample(window.Width() / 2 + 40, edge + 3); // in the caption, clear of the title and buttons
    auto caption = [&] {
        HDC dc = ::GetWindowDC(frame->m_hWnd);
        const COLORREF colour = ::GetPixel(dc, sample.x, sample.y);
        ::ReleaseDC(frame->m_hWnd, dc);
        return colour;
    };
    frame->SendMessage(WM_NCACTIVATE, TRUE);
    const COLORREF active = caption();
    frame->SendMessage(WM_NCACTIVATE, FALSE);
    const COLORREF inactive = caption();
    ASSERT_NE(active, inactive);

    EXPECT_FALSE(frame->EnableToolkitCaption(TRUE));
    Pump();
    frame->SetActiveFloatingFrame(floating);
    frame->SendMessage(WM_NCACTIVATE, FALSE);
    EXPECT_EQ(caption(), active);
    frame->SendMessage(WM_NCPAINT, 1);
    EXPECT_EQ(caption(), active);
    frame->SetWindowText(L"Desk - Floating");
    EXPECT_EQ(caption(), active);

    frame->EndActiveFloatingFrame(FALSE);
    frame->SendMessage(WM_NCACTIVATE, FALSE);
    EXPECT_EQ(caption(), inactive);
    EXPECT_TRUE(frame->EnableToolkitCaption(FALSE));
}

} // namespace

namespace {

TEST_F(SECMDIFrameWndTest, BarsAutoHideOnTheStripsOfTheMDIFrame)
{
    frame->EnableDocking(CBRS_ALIGN_ANY);
    for (DWORD side : { CBRS_ALIGN_LEFT, CBRS_ALIGN_TOP, CBRS_ALIGN_RIGHT, CBRS_ALIGN_BOTTOM }) {
        ASSERT_NE(frame->GetAutoHideBar(side), nullptr) << side;
        EXPECT_FALSE(frame->GetAutoHideBar(side)->IsVisible()) << "empty strips stay hidden";
    }
    SECControlBar bar;
    ASSERT_TRUE(bar.Create(frame, L"Bar", WS_VISIBLE | CBRS_LEFT, 0, 0xE830));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    ASSERT_TRUE(frame->AutoHideControlBar(&bar));
    SECAutoHideBar* strip = frame->GetAutoHideBar(CBRS_ALIGN_LEFT);
    ASSERT_NE(strip->FindButton(&bar), nullptr);
    EXPECT_TRUE(strip->IsVisible());
    EXPECT_FALSE(bar.IsVisible());
    ASSERT_TRUE(frame->PinControlBar(&bar));
    EXPECT_EQ(bar.m_pDockBar, AfxFindDockBar(frame, AFX_IDW_DOCKBAR_LEFT));
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_EQ(strip->GetButtonCount(), 0);
    bar.DestroyWindow();
}

// The colour of a window's caption, sampled clear of its title and buttons.
COLORREF CaptionColour(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, &rect);
    HDC dc = ::GetWindowDC(window);
    const int edge = GetSystemMetrics(SM_CXFRAME);
    const COLORREF colour = ::GetPixel(dc, rect.Width() - 4 * GetSystemMetrics(SM_CXSIZE), edge + 3);
    ::ReleaseDC(window, dc);
    return colour;
}

TEST_F(SECMDIFrameWndTest, ItsFloatingBarsTakeTheActivationWithoutTheCaptionGoingInactive)
{
    frame->EnableDocking(CBRS_ALIGN_ANY);
    SECControlBar bar;
    ASSERT_TRUE(bar.Create(frame, L"Bar", WS_VISIBLE | CBRS_TOP, 0, 0xE830));
    bar.m_szFloat = CSize(160, 120);
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->FloatControlBar(&bar, CPoint(520, 100));
    const HWND floating = ::GetAncestor(bar.m_hWnd, GA_ROOT);
    ASSERT_NE(floating, frame->m_hWnd);
    ASSERT_EQ(::GetWindow(floating, GW_OWNER), frame->m_hWnd);
    auto* stranger = new CFrameWnd;
    ASSERT_TRUE(stranger->Create(nullptr, L"Stranger", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(600, 300, 900, 500)));
    auto activate = [&](HWND window) {
        ::SetActiveWindow(window);
        Pump();
    };
    activate(stranger->m_hWnd);
    const COLORREF frameInactive = CaptionColour(frame->m_hWnd), floatingInactive = CaptionColour(floating);
    activate(frame->m_hWnd);
    const COLORREF frameActive = CaptionColour(frame->m_hWnd);
    ASSERT_NE(frameActive, frameInactive);
    EXPECT_NE(CaptionColour(floating), floatingInactive) << "the floating frame looks active with its frame";
    const COLORREF floatingActive = CaptionColour(floating);

    activate(floating);
    EXPECT_EQ(CaptionColour(frame->m_hWnd), frameActive);
    EXPECT_EQ(CaptionColour(floating), floatingActive);

    activate(stranger->m_hWnd);
    EXPECT_EQ(CaptionColour(frame->m_hWnd), frameInactive);
    EXPECT_EQ(CaptionColour(floating), floatingInactive);

    activate(frame->m_hWnd);
    activate(stranger->m_hWnd);
    EXPECT_EQ(CaptionColour(floating), floatingInactive) << "the floating frame goes inactive with its frame";
    bar.DestroyWindow();
}

// A window that notes the text of the status line whenever it is asked to.
class StatusWatcher : public CWnd {
public:
    HWND status = nullptr;
    std::vector<std::wstring> seen;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_USER)
            return CWnd::WindowProc(message, wParam, lParam);
        wchar_t text[128] = {};
        ::GetWindowTextW(status, text, 128);
        seen.emplace_back(text);
        return 0;
    }
};

TEST_F(SECMDIFrameWndTest, LeavingTheProgramTheActiveFloatingFrameLooksInactive)
{
    NewChild(L"Doc");
    auto* floating = new CFrameWnd;
    ASSERT_TRUE(floating->Create(nullptr, L"Floating", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(600, 0, 800, 200), frame));
    frame->SetActiveFloatingFrame(floating);
    Pump();
    const COLORREF active = CaptionColour(floating->m_hWnd);
    frame->SendMessage(WM_ACTIVATEAPP, FALSE, 0);
    Pump();
    EXPECT_NE(CaptionColour(floating->m_hWnd), active);
    frame->SendMessage(WM_ACTIVATEAPP, TRUE, 0);
    Pump();
    EXPECT_EQ(CaptionColour(floating->m_hWnd), active);
    // A floating frame that goes is no longer the active one.
    floating->DestroyWindow();
    EXPECT_EQ(frame->GetActiveFloatingFrame(), nullptr);
    frame->SendMessage(WM_ACTIVATEAPP, FALSE, 0);
    Pump();
}

TEST_F(SECMDIFrameWndTest, HelpModeSaysWhatToDoInTheStatusLineUntilEsc)
{
    HelpRequests help;
    CWnd status;
    ASSERT_TRUE(status.Create(L"Static", L"Ready", WS_CHILD | WS_VISIBLE, CRect(0, 360, 400, 380), frame, AFX_IDW_STATUS_BAR));
    StatusWatcher watcher;
    watcher.status = status.m_hWnd;
    ASSERT_TRUE(watcher.Create(nullptr, L"", WS_CHILD, CRect(0, 0, 1, 1), frame, 1));
    Pump(); // the frame's first prompt
    frame->SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(L"Ready"));
    watcher.PostMessage(WM_USER);
    frame->PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    watcher.PostMessage(WM_USER); // after help mode
    frame->SendMessage(WM_COMMAND, ID_CONTEXT_HELP);
    Pump();
    ASSERT_EQ(watcher.seen.size(), 2u);
    EXPECT_EQ(watcher.seen[0], L"Select an object on which to get Help");
    EXPECT_NE(watcher.seen[1], watcher.seen[0]);
    EXPECT_TRUE(help.ids.empty()) << "Esc asks for no help";
    EXPECT_FALSE(::GetCapture());
}

TEST_F(SECMDIFrameWndTest, OverlappingChildrenShowTheActiveOneOnTop)
{
    SECMDIChildWnd* lower = NewChild(L"Lower");
    SECMDIChildWnd* upper = NewChild(L"Upper");
    ASSERT_EQ(frame->MDIGetActive(), upper);
    CRect lowerRect, upperRect, overlap;
    lower->GetWindowRect(&lowerRect);
    upper->GetWindowRect(&upperRect);
    ASSERT_TRUE(overlap.IntersectRect(&lowerRect, &upperRect)) << "cascaded children overlap";
    const std::vector<COLORREF> before = ScreenPixels(overlap);

    // The child below draws its whole window again, caption and all, only where it shows.
    lower->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    lower->SendMessage(WM_NCACTIVATE, FALSE);
    Pump();
    EXPECT_EQ(ScreenPixels(overlap), before);

    // Activated, it comes to the top: what the other covered of it shows, over the other's caption.
    const CPoint inUpperCaption(upperRect.left + 60, upperRect.top + GetSystemMetrics(SM_CYFRAME) + 4);
    ASSERT_NE(ScreenPixel(inUpperCaption.x, inUpperCaption.y), GetSysColor(COLOR_WINDOW));
    lower->MDIActivate();
    Pump();
    ASSERT_EQ(frame->MDIGetActive(), lower);
    EXPECT_EQ(ScreenPixel(inUpperCaption.x, inUpperCaption.y), GetSysColor(COLOR_WINDOW)) << "the client of the child on top";
    CRect client, window;
    ::GetWindowRect(frame->m_hWndMDIClient, &client);
    frame->GetWindowRect(&window);
    client.OffsetRect(-window.TopLeft());
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(frame->m_hWnd, client, "mdi-overlapping-children.png"));
}

TEST_F(SECMDIFrameWndTest, AChildActivatedWhileAnotherWindowIsActiveBringsItsFrameForward)
{
    SECMDIChildWnd* first = NewChild(L"First");
    SECMDIChildWnd* second = NewChild(L"Second");
    auto* stranger = new CFrameWnd;
    ASSERT_TRUE(stranger->Create(nullptr, L"Stranger", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(600, 300, 900, 500)));
    ::SetActiveWindow(stranger->m_hWnd);
    Pump();
    ASSERT_EQ(::GetActiveWindow(), stranger->m_hWnd);

    first->MDIActivate();
    Pump();
    EXPECT_EQ(frame->MDIGetActive(), first);
    EXPECT_EQ(::GetActiveWindow(), frame->m_hWnd);
    EXPECT_TRUE(::GetFocus() == first->m_hWnd || ::IsChild(first->m_hWnd, ::GetFocus())) << "the focus goes on to the child";

    // With the frame active already the focus is not taken from the child.
    second->MDIActivate();
    Pump();
    EXPECT_EQ(::GetActiveWindow(), frame->m_hWnd);
    EXPECT_TRUE(::GetFocus() == second->m_hWnd || ::IsChild(second->m_hWnd, ::GetFocus()));
    stranger->DestroyWindow();
}

} // namespace
