#include "DockingFixture.h"

#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/FrameWnd.h"
#include "framework/MiniDockFrameWnd.h"

#include <string>

namespace {

constexpr UINT ID_FIRST = AFX_IDW_CONTROLBAR_FIRST + 110;

class MiniDockFrameTest : public DockingFixture {
protected:
    CFrameWnd* NewFrame() override { return new SECFrameWnd; }
    // A toolkit bar shaped like a tool bar: 150 x 24 docked along a row, 24 x 150 upright.
    SECControlBar* NewBar(const wchar_t* title, DWORD style = 0)
    {
        auto* bar = new SECControlBar;
        EXPECT_TRUE(bar->Create(frame, title, WS_VISIBLE | CBRS_TOP | style, CBRS_EX_FIXEDSIZE, ID_FIRST + count++));
        bar->m_bAutoDelete = TRUE;
        bar->EnableDocking(CBRS_ALIGN_ANY);
        bar->m_szHorzDocked = CSize(150, 24);
        bar->m_szVertDocked = CSize(24, 150);
        bar->m_szFloat = CSize(160, 80);
        frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
        return bar;
    }
    // A toolkit bar that stretches along its row, sized by a floating frame's edges.
    SECControlBar* NewPane(const wchar_t* title, CSize floatingSize)
    {
        auto* bar = new SECControlBar;
        EXPECT_TRUE(bar->Create(frame, title, WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC | CBRS_FLOAT_MULTI, 0, ID_FIRST + count++));
        bar->m_bAutoDelete = TRUE;
        bar->EnableDocking(CBRS_ALIGN_ANY);
        bar->m_szFloat = floatingSize;
        frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
        return bar;
    }
    // Two panes floated together, side by side in one row of a frame, the second asking for
    // kAskedShare of the row.
    static constexpr float kAskedShare = 0.3f;
    SECMiniDockFrameWnd* FloatSideBySide(SECControlBar* first, SECControlBar* second)
    {
        frame->FloatControlBar(first, CPoint(300, 300));
        SECMiniDockFrameWnd* floating = FloatingFrameOf(first);
        if (!floating)
            return nullptr;
        second->m_fPctWidth = kAskedShare;
        floating->GetSECDockBar().DockControlBarAt(second, 1, 0);
        floating->RecalcLayout();
        Pump();
        return floating;
    }
    // Drags the first splitter of the dock bar along by that many pixels.
    void DragFirstSplitter(SECDockBar& dockBar, CSize by)
    {
        CPoint at = dockBar.Splitters().front().rect.CenterPoint();
        dockBar.ClientToScreen(&at);
        headless->Advance(1000);
        headless->InjectMouseMove(at);
        headless->InjectButton(1, true, at);
        headless->InjectMouseMove(at + by);
        headless->InjectButton(1, false, at + by);
        Pump();
    }
    static SECMiniDockFrameWnd* FloatingFrameOf(CWnd* bar)
    {
        return dynamic_cast<SECMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetAncestor(bar->m_hWnd, GA_ROOT)));
    }
    static std::wstring MenuText(HMENU menu, UINT command)
    {
        wchar_t text[64] {};
        return ::GetMenuStringW(menu, command, text, 64, MF_BYCOMMAND) > 0 ? text : L"";
    }
    static CRect ScreenRect(HWND window)
    {
        CRect rect;
        ::GetWindowRect(window, &rect);
        return rect;
    }

    int count = 0;
};

TEST_F(MiniDockFrameTest, AFloatedBarLivesInTheToolkitsFrameWithATrimmedSystemMenu)
{
    struct Case {
        const char* name;
        DWORD barStyle;
        bool moveFrame; // its edges move the frame; a dynamic bar's edges size it
    };
    for (const Case& c : { Case { "fixed size", 0, true }, Case { "dynamic", CBRS_SIZE_DYNAMIC, false } }) {
        SCOPED_TRACE(c.name);
        SECControlBar* bar = NewBar(L"Tools", c.barStyle);
        frame->FloatControlBar(bar, CPoint(300, 300));
        Pump();
        SECMiniDockFrameWnd* floating = FloatingFrameOf(bar);
        ASSERT_NE(floating, nullptr) << "the frame class the toolkit's frame chose";
        EXPECT_EQ((floating->GetMiniFrameStyle() & MFS_MOVEFRAME) != 0, c.moveFrame);
        EXPECT_EQ(bar->m_pDockBar, &floating->GetSECDockBar());
        EXPECT_EQ(floating->GetSECDockBar().GetDlgCtrlID(), static_cast<int>(AFX_IDW_DOCKBAR_FLOAT));
        EXPECT_EQ(floating->GetWindowText(), CString(L"Tools")) << "the dock bar's text, which is its only bar's";
        EXPECT_EQ(floating->GetSECDockBar().GetWindowText(), CString(L"Tools"));

        HMENU menu = ::GetSystemMenu(floating->m_hWnd, FALSE);
        for (UINT gone : { SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE })
            EXPECT_EQ(::GetMenuStringW(menu, gone, nullptr, 0, MF_BYCOMMAND), 0) << gone;
        EXPECT_EQ(MenuText(menu, SC_MOVE), L"&Move");
        EXPECT_EQ(MenuText(menu, SC_CLOSE), L"&Hide") << "the platform library's text";
    }
}

TEST_F(MiniDockFrameTest, ClosingHidesTheBarAndShowingItBringsTheFrameBackInPlace)
{
    SECControlBar* bar = NewBar(L"Tools");
    frame->FloatControlBar(bar, CPoint(250, 260));
    Pump();
    SECMiniDockFrameWnd* floating = FloatingFrameOf(bar);
    ASSERT_NE(floating, nullptr);
    const CRect place = ScreenRect(floating->m_hWnd);
    floating->SendMessage(WM_CLOSE);
    Pump();
    ASSERT_TRUE(::IsWindow(floating->m_hWnd)) << "the frame is not destroyed";
    EXPECT_FALSE(floating->IsWindowVisible());
    EXPECT_FALSE(bar->IsWindowVisible());
    frame->ShowControlBar(bar, TRUE, FALSE);
    Pump();
    EXPECT_TRUE(floating->IsWindowVisible());
    EXPECT_EQ(ScreenRect(floating->m_hWnd), place);
}

TEST_F(MiniDockFrameTest, AFrameNeverLandsAboveTheTopOfTheVirtualScreen)
{
    SECControlBar* bar = NewBar(L"Tools");
    frame->FloatControlBar(bar, CPoint(200, -300));
    Pump();
    SECMiniDockFrameWnd* floating = FloatingFrameOf(bar);
    ASSERT_NE(floating, nullptr);
    EXPECT_EQ(ScreenRect(floating->m_hWnd).TopLeft(), CPoint(200, ::GetSystemMetrics(SM_YVIRTUALSCREEN)));
}

TEST_F(MiniDockFrameTest, ABarFloatedUprightStandsInAnUprightFrame)
{
    SECControlBar* bar = NewBar(L"Tools");
    frame->FloatControlBar(bar, CPoint(300, 200), CBRS_ALIGN_LEFT);
    Pump();
    SECMiniDockFrameWnd* floating = FloatingFrameOf(bar);
    ASSERT_NE(floating, nullptr);
    EXPECT_FALSE(floating->GetSECDockBar().IsHorizontal());
    EXPECT_EQ(bar->m_dwStyle & CBRS_ALIGN_ANY, CBRS_ALIGN_LEFT);
    EXPECT_TRUE(bar->IsFloating());
    CRect client;
    floating->GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(24, 150)) << "its upright docked size";
}

TEST_F(MiniDockFrameTest, AClickIntoABarBringsItsFrameToTheFront)
{
    SECControlBar* lower = NewBar(L"Lower");
    SECControlBar* upper = NewBar(L"Upper");
    frame->FloatControlBar(lower, CPoint(300, 300));
    frame->FloatControlBar(upper, CPoint(320, 320));
    Pump();
    SECMiniDockFrameWnd* lowerFrame = FloatingFrameOf(lower);
    SECMiniDockFrameWnd* upperFrame = FloatingFrameOf(upper);
    ASSERT_TRUE(lowerFrame && upperFrame);
    ::SetWindowPos(upperFrame->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    ::SetActiveWindow(frame->m_hWnd);
    Pump();
    auto above = [](HWND first, HWND second) {
        for (HWND window = ::GetTopWindow(nullptr); window; window = ::GetWindow(window, GW_HWNDNEXT))
            if (window == first || window == second)
                return window == first;
        return false;
    };
    ASSERT_TRUE(above(upperFrame->m_hWnd, lowerFrame->m_hWnd));
    // A point of the lower bar that the upper frame does not cover.
    const CRect lowerRect = ScreenRect(lower->m_hWnd);
    const CPoint at(lowerRect.left + 5, lowerRect.top + 5);
    ASSERT_FALSE(ScreenRect(upperFrame->m_hWnd).PtInRect(at));
    headless->Advance(1000);
    headless->InjectMouseMove(at);
    headless->InjectButton(3, true, at);
    headless->InjectButton(3, false, at);
    Pump();
    EXPECT_TRUE(above(lowerFrame->m_hWnd, upperFrame->m_hWnd));
}

TEST_F(MiniDockFrameTest, TheCaptionOfAFrameSharedBySeveralBarsMovesTheFrameInsteadOfDraggingABar)
{
    SECControlBar* bar = NewBar(L"Tools", CBRS_FLOAT_MULTI);
    frame->FloatControlBar(bar, CPoint(300, 300));
    Pump();
    SECMiniDockFrameWnd* floating = FloatingFrameOf(bar);
    ASSERT_NE(floating, nullptr);
    EXPECT_TRUE(floating->GetSECDockBar().m_dwStyle & CBRS_FLOAT_MULTI) << "taken from the bar";
    floating->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(310, 305));
    Pump();
    EXPECT_EQ(FloatingFrameOf(bar), floating) << "a double click does not dock the bar";
}

TEST_F(MiniDockFrameTest, BarsSharingAFrameShareItsRowsAndFollowItsSize)
{
    SECControlBar* first = NewPane(L"First", CSize(160, 80));
    SECControlBar* second = NewPane(L"Second", CSize(100, 60));
    SECMiniDockFrameWnd* floating = FloatSideBySide(first, second);
    ASSERT_NE(floating, nullptr);
    SECDockBar& dockBar = floating->GetSECDockBar();
    ASSERT_EQ(FloatingFrameOf(second), floating);
    constexpr int kSplitter = SECDockBar::kSplitterThickness;
    auto place = [](CWnd* bar) { return PlaceInParent(bar->m_hWnd); };
    auto clientSize = [&] {
        CRect client;
        floating->GetClientRect(&client);
        return client.Size();
    };
    // One row as long as both ask for, each bar its share of it, a splitter between them.
    EXPECT_EQ(clientSize(), CSize(160 + kSplitter + 100, 80));
    EXPECT_NEAR(second->m_fPctWidth, kAskedShare, 1e-4f) << "the share it asked for";
    EXPECT_NEAR(first->m_fPctWidth + second->m_fPctWidth, 1.0f, 1e-4f);
    EXPECT_NEAR(place(first).Width(), first->m_fPctWidth * 260, 1.0);
    EXPECT_EQ(place(second).left, place(first).right + kSplitter);
    EXPECT_EQ(place(second).right, clientSize().cx);
    EXPECT_EQ(place(second).Height(), 80) << "as thick as the row";
    ASSERT_EQ(dockBar.Splitters().size(), 1u) << "no splitter after the last row";
    EXPECT_EQ(dockBar.Splitters().front().kind, 1);
    EXPECT_EQ(floating->GetWindowText(), CString(L"First")) << "its first bar's title";

    // Its right edge makes the frame wider: the row shares the new length, the height stays.
    const float shares[] = { first->m_fPctWidth, second->m_fPctWidth };
    CRect window;
    floating->GetWindowRect(&window);
    const CPoint edge(window.right - 1, window.CenterPoint().y);
    ASSERT_EQ(floating->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTRIGHT);
    headless->Advance(1000);
    headless->InjectMouseMove(edge);
    headless->InjectButton(1, true, edge);
    int step = 0; // the sizing loop's steps, as the pointer moves on while it waits
    SetModalLoopHook([&](HWND) {
        if (step == 0)
            headless->InjectMouseMove(edge + CSize(100, 20));
        else if (step == 1)
            headless->InjectButton(1, false, edge + CSize(100, 20));
        ++step;
    });
    Pump();
    SetModalLoopHook({});
    EXPECT_EQ(clientSize(), CSize(366, 80));
    EXPECT_EQ(FloatingFrameOf(first), floating) << "the frame is sized as a whole, its first bar stays in it";
    EXPECT_NEAR(first->m_fPctWidth, shares[0], 1e-4f);
    EXPECT_NEAR(second->m_fPctWidth, shares[1], 1e-4f);
    EXPECT_NEAR(place(first).Width(), shares[0] * 360, 1.0);
    EXPECT_EQ(place(second).right, 366);

    // The splitter moves length from one bar to the other.
    const std::pair lengths { place(first).Width(), place(second).Width() };
    DragFirstSplitter(dockBar, CSize(-30, 0));
    EXPECT_EQ(place(first).Width(), lengths.first - 30);
    EXPECT_EQ(place(second).Width(), lengths.second + 30);
    EXPECT_EQ(clientSize().cx, 366);

    // In two rows: each as long as the frame, a splitter between the rows.
    dockBar.DockControlBarAt(second, 0, 1);
    floating->RecalcLayout();
    Pump();
    EXPECT_EQ(dockBar.Rows().size(), 2u);
    EXPECT_EQ(place(first), CRect(0, 0, 366, 80));
    EXPECT_EQ(place(second), CRect(0, 80 + kSplitter, 366, 80 + kSplitter + 60));
    EXPECT_EQ(clientSize(), CSize(366, 80 + kSplitter + 60));
    ASSERT_EQ(dockBar.Splitters().size(), 1u);
    EXPECT_EQ(dockBar.Splitters().front().kind, 0);
}

TEST_F(MiniDockFrameTest, ARowSharedInAFloatingFrameComesBackFromTheSavedLayout)
{
    SECControlBar* first = NewPane(L"First", CSize(160, 80));
    SECControlBar* second = NewPane(L"Second", CSize(100, 60));
    SECMiniDockFrameWnd* floating = FloatSideBySide(first, second);
    ASSERT_NE(floating, nullptr);
    DragFirstSplitter(floating->GetSECDockBar(), CSize(40, 0));
    const float shares[] = { first->m_fPctWidth, second->m_fPctWidth };
    ASSERT_GT(shares[0], 0.65f);
    CRect place;
    floating->GetWindowRect(&place);
    static_cast<SECFrameWnd*>(frame)->SaveBarState(L"Shared");

    frame->DockControlBar(first, AFX_IDW_DOCKBAR_TOP);
    frame->DockControlBar(second, AFX_IDW_DOCKBAR_TOP);
    Pump();
    ASSERT_FALSE(first->IsFloating() || second->IsFloating());

    static_cast<SECFrameWnd*>(frame)->LoadBarState(L"Shared");
    Pump();
    floating = FloatingFrameOf(first);
    ASSERT_NE(floating, nullptr);
    EXPECT_EQ(FloatingFrameOf(second), floating) << "in one frame again";
    EXPECT_EQ(floating->GetSECDockBar().Rows(), (std::vector<std::vector<CControlBar*>> { { first, second } }));
    EXPECT_NEAR(first->m_fPctWidth, shares[0], 1e-3f);
    EXPECT_NEAR(second->m_fPctWidth, shares[1], 1e-3f);
    CRect now;
    floating->GetWindowRect(&now);
    EXPECT_EQ(now, place);
}

} // namespace
