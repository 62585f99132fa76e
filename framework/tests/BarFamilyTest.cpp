#include "DockingFixture.h"

#include "framework/DialogBar.h"
#include "framework/DockState.h"
#include "framework/FrameBar.h"
#include "framework/Icon.h"
#include "platform/user/tests/PixelChecks.h"

#include <algorithm>

namespace {

constexpr UINT IDD_TAB_PAGE = 400, IDC_PAGE_FIRST = 410, IDC_PAGE_SECOND = 411; // tests/data/tabs.rc
constexpr UINT ID_BAR = AFX_IDW_CONTROLBAR_FIRST + 90;

using BarFamilyTest = DockingFixture;

CSize WindowSize(HWND window)
{
    CRect rect;
    ::GetWindowRect(window, &rect);
    return rect.Size();
}

TEST_F(BarFamilyTest, ADialogBarHoldsItsTemplateAndIsAsLargeAsIt)
{
    for (bool visible : { true, false }) {
        SECDialogBar bar;
        ASSERT_TRUE(bar.Create(frame, IDD_TAB_PAGE, (visible ? WS_VISIBLE : 0) | CBRS_TOP, ID_BAR));
        EXPECT_EQ(bar.GetDlgCtrlID(), static_cast<int>(ID_BAR));
        EXPECT_EQ(::GetParent(bar.m_hWnd), frame->m_hWnd);
        EXPECT_NE(::GetDlgItem(bar.m_hWnd, IDC_PAGE_FIRST), nullptr);
        EXPECT_NE(::GetDlgItem(bar.m_hWnd, IDC_PAGE_SECOND), nullptr);
        EXPECT_EQ(bar.IsWindowVisible(), visible);
        EXPECT_FALSE(bar.GetStyle() & WS_CAPTION);
        const CSize templateSize = WindowSize(bar.m_hWnd);
        EXPECT_GT(templateSize.cx, 0);
        EXPECT_EQ(bar.m_sizeDefault, templateSize);
        for (CSize size : { bar.m_szHorzDocked, bar.m_szVertDocked, bar.m_szFloat })
            EXPECT_EQ(size, templateSize);
        EXPECT_EQ(frame->GetControlBar(ID_BAR), &bar);
        bar.DestroyWindow();
        EXPECT_EQ(frame->GetControlBar(ID_BAR), nullptr);
    }
}

TEST_F(BarFamilyTest, ADialogBarDocksAndFloatsLikeAnyBar)
{
    SECDialogBar bar;
    ASSERT_TRUE(bar.Create(frame, IDD_TAB_PAGE, WS_VISIBLE | CBRS_TOP, ID_BAR));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    Pump();
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.m_pDockBar->GetDlgCtrlID(), static_cast<int>(AFX_IDW_DOCKBAR_TOP));
    frame->FloatControlBar(&bar, CPoint(300, 300));
    Pump();
    EXPECT_TRUE(bar.IsFloating());
    EXPECT_EQ(WindowSize(bar.m_hWnd), bar.m_sizeDefault);
}

TEST_F(BarFamilyTest, ADialogBarComesBackFromASavedLayoutWithItsTemplate)
{
    auto* bar = new SECDialogBar;
    ASSERT_TRUE(bar->Create(frame, IDD_TAB_PAGE, WS_VISIBLE | CBRS_TOP, ID_BAR));
    bar->m_bAutoDelete = TRUE;
    bar->EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
    SECDockState state;
    ASSERT_TRUE(state.GetState(frame));
    const auto record = std::find_if(state.m_arrBarInfo.begin(), state.m_arrBarInfo.end(),
        [](const auto& info) { return info->m_nBarID == ID_BAR; });
    ASSERT_NE(record, state.m_arrBarInfo.end());
    EXPECT_EQ(static_cast<SECControlBarInfo&>(**record).m_nResourceID, IDD_TAB_PAGE);

    bar->DestroyWindow(); // deletes it
    Pump();
    ASSERT_EQ(frame->GetControlBar(ID_BAR), nullptr);
    ASSERT_TRUE(state.SetState(frame));
    auto* again = dynamic_cast<SECDialogBar*>(frame->GetControlBar(ID_BAR));
    ASSERT_NE(again, nullptr);
    EXPECT_NE(::GetDlgItem(again->m_hWnd, IDC_PAGE_FIRST), nullptr);
    EXPECT_EQ(again->m_pDockBar, AfxFindDockBar(frame, AFX_IDW_DOCKBAR_TOP));
}

TEST_F(BarFamilyTest, ADialogBarWithoutItsTemplateIsNotMade)
{
    SECDialogBar bar;
    EXPECT_FALSE(bar.Create(frame, 9999, WS_VISIBLE | CBRS_TOP, ID_BAR));
    EXPECT_EQ(bar.m_hWnd, nullptr);
    EXPECT_FALSE(bar.Create(nullptr, IDD_TAB_PAGE, WS_VISIBLE | CBRS_TOP, ID_BAR));
    EXPECT_EQ(frame->GetControlBar(ID_BAR), nullptr);
}

TEST_F(BarFamilyTest, ClickingAFloatingFrameBarBringsItsWindowToTheFront)
{
    SECFrameBar bar;
    ASSERT_TRUE(bar.Create(frame, L"Frame bar", WS_VISIBLE | CBRS_TOP, 0, ID_BAR));
    bar.m_szFloat = bar.m_szHorzDocked = CSize(120, 40);
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->FloatControlBar(&bar, CPoint(300, 300));
    Pump();
    HWND floating = ::GetAncestor(bar.m_hWnd, GA_ROOT);
    ASSERT_NE(floating, frame->m_hWnd);
    ::SetForegroundWindow(frame->m_hWnd);
    EXPECT_EQ(bar.SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(floating), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)), MA_ACTIVATE);
    EXPECT_EQ(::GetForegroundWindow(), floating);

    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    ::SetForegroundWindow(frame->m_hWnd);
    bar.SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame->m_hWnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(::GetForegroundWindow(), frame->m_hWnd) << "a docked bar leaves activation to its frame";
}

TEST_F(BarFamilyTest, AnIconTakesItsSizeAndDrawsOnlyWhenItHasOne)
{
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP target = ::CreateCompatibleBitmap(screen, 40, 40);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, target);
    const RECT all { 0, 0, 40, 40 };
    ::FillSolidRect(dc, &all, RGB(255, 255, 255));

    SECIcon empty;
    EXPECT_EQ(empty.m_cx, -1);
    EXPECT_EQ(empty.m_cy, -1);
    empty.Draw(dc, 0, 0);
    const std::vector<COLORREF> blank = pixel_checks::PixelsOf(dc, all);
    EXPECT_TRUE(std::all_of(blank.begin(), blank.end(), [](COLORREF c) { return c == RGB(255, 255, 255); }));
    EXPECT_FALSE(empty.LoadIcon(9999, 16, 16));

    // A black 32 x 32 icon.
    HBITMAP color = ::CreateCompatibleBitmap(dc, 32, 32);
    HBITMAP mask = ::CreateBitmap(32, 32, 1, 1, nullptr);
    ICONINFO info { TRUE, 16, 16, mask, color };
    SECIcon icon;
    icon.SetIcon(::CreateIconIndirect(&info));
    ::DeleteObject(color);
    ::DeleteObject(mask);
    ASSERT_NE(icon.GetIcon(), nullptr);
    EXPECT_EQ(icon.m_cx, 32);
    EXPECT_EQ(icon.m_cy, 32);
    icon.Draw(dc, 4, 4, 16, 16);
    EXPECT_EQ(::GetPixel(dc, 4, 4), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(dc, 19, 19), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(dc, 20, 20), RGB(255, 255, 255)) << "drawn at the size asked";

    ::SelectObject(dc, old);
    ::DeleteObject(target);
    ::DeleteDC(dc);
}

} // namespace
