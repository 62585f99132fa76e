#include "DockingFixture.h"

#include "framework/ControlBar.h"
#include "platform/mfc/MiniFrame.h"

namespace {

constexpr UINT ID_BAR = AFX_IDW_CONTROLBAR_FIRST + 60;

class ControlBarTest : public DockingFixture {
protected:
    // A bar outside any dock bar, at a place of the frame, with one child at childRect.
    HWND MakeBarWithChild(SECControlBar& bar, CRect barRect, CRect childRect, DWORD exStyle = 0)
    {
        EXPECT_TRUE(bar.CreateEx(L"Bar", ID_BAR, WS_VISIBLE, exStyle, barRect, frame));
        return CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, childRect.left, childRect.top, childRect.Width(),
            childRect.Height(), bar.m_hWnd, nullptr, nullptr, nullptr);
    }
};

TEST_F(ControlBarTest, CommittedLengthsGoToTheSizeOfTheirPlacement)
{
    struct Case {
        const char* name;
        DWORD mode;
        int length;
        CSize SECControlBar::*size;
        CSize expected;
    };
    const Case cases[] = {
        { "docked horizontally, width", LM_COMMIT | LM_HORZDOCK | LM_HORZ, 250, &SECControlBar::m_szHorzDocked, CSize(250, 180) },
        { "docked horizontally, height", LM_COMMIT | LM_HORZDOCK | LM_LENGTHY, 40, &SECControlBar::m_szHorzDocked, CSize(300, 40) },
        { "docked vertically, height", LM_COMMIT | LM_VERTDOCK | LM_LENGTHY, 420, &SECControlBar::m_szVertDocked, CSize(300, 420) },
        { "floating, width", LM_COMMIT, 222, &SECControlBar::m_szFloat, CSize(222, 180) },
        { "floating, height", LM_COMMIT | LM_LENGTHY, 99, &SECControlBar::m_szFloat, CSize(300, 99) },
        { "stretched: the share of the length", LM_COMMIT | LM_HORZDOCK | LM_STRETCH, 500, &SECControlBar::m_szHorzDocked, CSize(250, 180) },
        { "no commit: nothing stored", LM_HORZDOCK, 77, &SECControlBar::m_szHorzDocked, CSize(300, 180) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SECControlBar bar;
        ASSERT_TRUE(bar.Create(frame, L"Bar", WS_VISIBLE | CBRS_TOP, 0, ID_BAR));
        bar.m_fPctWidth = 0.5f;
        EXPECT_EQ(bar.m_szHorzDocked, CSize(SECControlBar::kInitialWidth, SECControlBar::kInitialHeight));
        const CSize result = bar.CalcDynamicLayout(c.length, c.mode);
        EXPECT_EQ(bar.*c.size, c.expected);
        const bool docked = c.mode & (LM_HORZDOCK | LM_VERTDOCK);
        EXPECT_EQ(result, docked ? bar.CalcFixedLayout(FALSE, (c.mode & LM_HORZ) != 0) : bar.m_szFloat);
        if (!(c.mode & (LM_HORZDOCK | LM_VERTDOCK | LM_LENGTHY))) {
            EXPECT_EQ(bar.m_nMRUWidth, c.length) << "a floating width is the bar's last width";
        }
        bar.DestroyWindow();
    }
}

TEST_F(ControlBarTest, StretchedChildrenKeepTheirProportions)
{
    struct Case {
        CSize barSize;
        DWORD exStyle;
        CRect expected;
    };
    const CRect child(20, 10, 120, 60);
    const Case cases[] = {
        { CSize(400, 200), CBRS_EX_STRETCHCHILDREN, CRect(40, 20, 240, 120) },
        { CSize(100, 50), CBRS_EX_STRETCHCHILDREN, CRect(10, 5, 60, 30) },
        // The border space insets the room, and the children move past the left and top borders.
        { CSize(220, 120), CBRS_EX_STRETCHCHILDREN | CBRS_EX_BORDERSPACE, CRect(20 + 10, 10 + 10, 120 + 10, 60 + 10) },
        { CSize(400, 200), CBRS_EX_SIZECHILDTOFIT, CRect(0, 0, 400, 200) },
        { CSize(400, 200), 0, child },
    };
    for (const Case& c : cases) {
        SECControlBar bar;
        HWND window = MakeBarWithChild(bar, CRect(0, 0, 200, 100), child);
        bar.SetExBarStyle(c.exStyle);
        bar.SetWindowPos(nullptr, 0, 0, c.barSize.cx, c.barSize.cy, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(PlaceInParent(window), c.expected) << std::hex << c.exStyle << " " << std::dec << c.barSize.cx;
        bar.DestroyWindow();
    }
}

TEST_F(ControlBarTest, ABarMadeWithoutSizeRecordsItsChildrenAtItsFirstSize)
{
    SECControlBar bar;
    const CRect child(20, 10, 120, 60);
    HWND window = MakeBarWithChild(bar, CRect(), child);
    bar.SetExBarStyle(CBRS_EX_STRETCHCHILDREN);

    // Each step: the bar's new size and where the child is afterwards.
    struct Step {
        CSize barSize;
        CRect expected;
    };
    const Step steps[] = {
        { CSize(200, 100), child },                   // the first size is the reference: nothing moves
        { CSize(400, 200), CRect(40, 20, 240, 120) }, // then proportions hold
        { CSize(0, 200), CRect(40, 20, 240, 120) },   // no width: no scaling (and no division by it)
        { CSize(400, 0), CRect(40, 20, 240, 120) },
        { CSize(100, 50), CRect(10, 5, 60, 30) },
    };
    for (const Step& step : steps) {
        bar.SetWindowPos(nullptr, 0, 0, step.barSize.cx, step.barSize.cy, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_EQ(PlaceInParent(window), step.expected) << step.barSize.cx << "x" << step.barSize.cy;
    }
    bar.DestroyWindow();
}

TEST_F(ControlBarTest, TheAlternativeCaptionBitSurvivesEveryStyleChange)
{
    SECControlBar bar;
    ASSERT_TRUE(bar.Create(frame, L"Bar", WS_VISIBLE | CBRS_TOP, CBRS_EX_ALTCAPTION | CBRS_EX_GRIPPER, ID_BAR));
    bar.SetExBarStyle(CBRS_EX_CLOSEBUTTON);
    EXPECT_EQ(bar.GetExBarStyle(), CBRS_EX_CLOSEBUTTON | CBRS_EX_ALTCAPTION);
    bar.DestroyWindow();
}

TEST_F(ControlBarTest, ToggleBarShowsAHiddenBarAndHidesAShownOne)
{
    SECControlBar bar;
    ASSERT_TRUE(bar.Create(frame, L"Bar", WS_VISIBLE | CBRS_TOP, 0, ID_BAR));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    EXPECT_TRUE(bar.ToggleBar());
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_FALSE(bar.ToggleBar());
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_FALSE(bar.EnableAutoHide()) << "a bar that may not auto-hide";
}

TEST_F(ControlBarTest, AFreeControlIdIsOneNoBarOfTheFrameUses)
{
    SECControlBar first, second;
    ASSERT_TRUE(first.Create(frame, L"First", WS_VISIBLE | CBRS_TOP, 0, ID_BAR));
    ASSERT_TRUE(second.Create(frame, L"Second", WS_VISIBLE | CBRS_TOP, 0, ID_BAR + 1));
    EXPECT_EQ(SECControlBar::FindFreeControlId(frame, ID_BAR), ID_BAR + 2);
    EXPECT_EQ(SECControlBar::FindFreeControlId(frame, ID_BAR + 5), ID_BAR + 5);
    EXPECT_EQ(SECControlBar::FindFreeControlId(nullptr, ID_BAR), 0u);
}

TEST_F(ControlBarTest, TheExtendedStyleReachesTheFloatingFrame)
{
    SECControlBar bar;
    ASSERT_TRUE(bar.Create(frame, L"Bar", WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC, 0, ID_BAR));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->FloatControlBar(&bar, CPoint(300, 300));
    Pump();
    auto* floating = dynamic_cast<CMiniFrameWnd*>(CWnd::FromHandlePermanent(::GetAncestor(bar.m_hWnd, GA_ROOT)));
    ASSERT_NE(floating, nullptr);
    bar.SetExBarStyle(CBRS_EX_FIXEDSIZE);
    EXPECT_TRUE(floating->GetMiniFrameStyle() & MFS_4THICKFRAME) << "sizing edges without diagonal corners";
    bar.SetExBarStyle(0);
    EXPECT_FALSE(floating->GetMiniFrameStyle() & MFS_4THICKFRAME);
    EXPECT_TRUE(floating->GetMiniFrameStyle() & MFS_THICKFRAME);
    EXPECT_TRUE(floating->GetStyle() & WS_THICKFRAME);
    CRect window;
    floating->GetWindowRect(&window);
    EXPECT_EQ(floating->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(window.right - 1, window.bottom - 1)), HTBOTTOMRIGHT)
        << "a corner sizes both ways";
}

TEST_F(ControlBarTest, OwnBordersTakeAPixelPerSideAndTheGripperReplacesTheLeadingMargin)
{
    SECControlBar bar;
    ASSERT_TRUE(bar.Create(frame, L"Bar", WS_VISIBLE | CBRS_TOP, 0, ID_BAR));
    struct Case {
        const char* name;
        DWORD style; // border sides and CBRS_FLOATING
        DWORD exStyle;
        BOOL horz, withGripper, autoHide;
        CRect expected; // from 0, 0, 100, 50 with margins 6 (leading, trailing) and 2 (across)
    };
    const Case cases[] = {
        { "horizontal", CBRS_BORDER_ANY, CBRS_EX_OWNBORDERS, TRUE, TRUE, FALSE, CRect(7, 3, 93, 47) },
        { "horizontal with gripper", CBRS_BORDER_ANY, CBRS_EX_OWNBORDERS | CBRS_EX_GRIPPER, TRUE, TRUE, FALSE, CRect(18, 3, 93, 47) },
        { "horizontal: the gripper regardless", CBRS_BORDER_ANY, CBRS_EX_OWNBORDERS | CBRS_EX_GRIPPER, TRUE, FALSE, FALSE,
            CRect(18, 3, 93, 47) },
        { "vertical with gripper, two sides", CBRS_BORDER_LEFT | CBRS_BORDER_TOP, CBRS_EX_OWNBORDERS | CBRS_EX_GRIPPER, FALSE, TRUE,
            FALSE, CRect(3, 18, 98, 44) },
        { "vertical, the gripper not asked for", CBRS_BORDER_LEFT | CBRS_BORDER_TOP, CBRS_EX_OWNBORDERS | CBRS_EX_GRIPPER, FALSE,
            FALSE, FALSE, CRect(3, 7, 98, 44) },
        { "floating: no gripper", CBRS_BORDER_ANY | CBRS_FLOATING, CBRS_EX_OWNBORDERS | CBRS_EX_GRIPPER, TRUE, TRUE, FALSE,
            CRect(7, 3, 93, 47) },
        { "auto-hide: no border pixels", CBRS_BORDER_ANY, CBRS_EX_OWNBORDERS, TRUE, TRUE, TRUE, CRect(6, 2, 94, 48) },
    };
    for (const Case& c : cases) {
        bar.m_dwStyle = (bar.m_dwStyle & ~(CBRS_BORDER_ANY | CBRS_FLOATING)) | c.style;
        bar.m_dwExStyle = c.exStyle;
        bar.m_bAutoHide = c.autoHide;
        CRect rect(0, 0, 100, 50);
        bar.CalcInsideRect(rect, c.horz, c.withGripper);
        EXPECT_EQ(rect, c.expected) << c.name;
    }
    bar.m_bAutoHide = FALSE;
    // Without the bit, the plain bar's rule, whichever way it is asked.
    bar.m_dwStyle = (bar.m_dwStyle & ~CBRS_FLOATING) | CBRS_BORDER_ANY | CBRS_BORDER_3D;
    bar.m_dwExStyle = CBRS_EX_GRIPPER;
    for (BOOL horz : { TRUE, FALSE }) {
        CRect toolkit(0, 0, 100, 50), plain = toolkit;
        static_cast<const CControlBar&>(bar).CalcInsideRect(toolkit, horz);
        bar.CControlBar::CalcInsideRect(plain, horz);
        EXPECT_EQ(toolkit, plain);
        EXPECT_EQ(plain.left, horz ? 2 + 6 : 2 + 2) << "two pixels for an etched border";
    }
    bar.DestroyWindow();
}

TEST_F(ControlBarTest, TheNonClientAreaShowsTheBordersOfTheStyle)
{
    // A bar with a frame of the window style: its borders go along the window's edges, where the
    // frame would be, and erasing the background leaves them standing.
    SECControlBar bar;
    ASSERT_TRUE(bar.CreateEx(L"Bar", ID_BAR, WS_VISIBLE | WS_BORDER | CBRS_BORDER_ANY, 0, CRect(10, 10, 110, 50), frame));
    CRect window;
    bar.GetWindowRect(&window);
    CRect client;
    bar.GetClientRect(&client);
    ASSERT_EQ(client.Width(), window.Width() - 2) << "a one-pixel frame";
    bar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    ASSERT_NE(shadow, GetSysColor(COLOR_WINDOWFRAME));
    HDC dc = ::GetWindowDC(bar.m_hWnd);
    const int w = window.Width(), h = window.Height();
    for (const CPoint edge : { CPoint(0, h / 2), CPoint(w / 2, 0), CPoint(w - 1, h / 2), CPoint(w / 2, h - 1) })
        EXPECT_EQ(::GetPixel(dc, edge.x, edge.y), shadow) << edge.x << ", " << edge.y;
    EXPECT_EQ(::GetPixel(dc, w / 2, h / 2), GetSysColor(COLOR_BTNFACE)) << "the client area is the paint's";
    ::ReleaseDC(bar.m_hWnd, dc);
    bar.DestroyWindow();
}

TEST_F(ControlBarTest, ErasingFillsTheBorderSpace)
{
    SECControlBar bar;
    ASSERT_TRUE(bar.CreateEx(L"Bar", ID_BAR, WS_VISIBLE, CBRS_EX_BORDERSPACE, CRect(10, 10, 110, 60), frame));
    Pump();
    CRect inside;
    bar.GetInsideRect(inside);
    EXPECT_EQ(inside, CRect(10, 10, 90, 40));
    const COLORREF marker = RGB(255, 0, 255);
    HDC dc = ::GetDC(bar.m_hWnd);
    CRect client;
    bar.GetClientRect(&client);
    ::SetBkColor(dc, marker);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    EXPECT_TRUE(bar.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)));
    for (const CPoint strip : { CPoint(5, 25), CPoint(50, 5), CPoint(95, 25), CPoint(50, 45) })
        EXPECT_EQ(::GetPixel(dc, strip.x, strip.y), GetSysColor(COLOR_3DFACE)) << strip.x << ", " << strip.y;
    ::ReleaseDC(bar.m_hWnd, dc);
    bar.DestroyWindow();
}

} // namespace
