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

} // namespace
