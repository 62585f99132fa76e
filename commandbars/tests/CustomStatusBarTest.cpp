#include "commandbars/CustomStatusBar.h"
#include "commandbars/tests/HeadlessFrameTest.h"
#include "platform/mfc/Dc.h"
#include "platform/user/tests/PixelChecks.h"

namespace {

constexpr UINT IDS_PANE_MODE = 3001, IDS_PANE_CLOCK = 3002, IDB_PANE_PICTURE = 3100;
constexpr UINT kIndicators[] = { ID_SEPARATOR, IDS_PANE_MODE, IDS_PANE_CLOCK, ID_INDICATOR_NUM };
constexpr COLORREF kNavy = RGB(0, 0, 0x80), kWhite = RGB(0xFF, 0xFF, 0xFF);

class CustomStatusBarTest : public HeadlessFrameTest {
protected:
    void SetUp() override
    {
        HeadlessFrameTest::SetUp();
        ASSERT_TRUE(bar.Create(frame));
        ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
        frame->RecalcLayout();
        Pump();
    }
    void SetUpPanes()
    {
        ASSERT_TRUE(picture.Attach(::LoadBitmapW(nullptr, MAKEINTRESOURCEW(IDB_PANE_PICTURE))));
        SECPaneInfo mode;
        mode.iIndex = 1;
        mode.nMask = SBP_TEXT | SBP_FOREGROUND | SBP_BACKGROUND | SBP_TEXTALIGN;
        mode.strText = L"RAD";
        mode.crTextForeground = RGB(0xFF, 0xFF, 0);
        mode.crTextBackground = RGB(0x80, 0, 0);
        mode.nTextAlign = TA_CENTER;
        bar.SetPaneInfoEx(mode);
        SECPaneInfo clock;
        clock.iIndex = 2;
        clock.nMask = SBP_TEXTALIGN;
        clock.nTextAlign = TA_RIGHT;
        bar.SetPaneInfoEx(clock);
        SECPaneInfo numbers;
        numbers.iIndex = 3;
        numbers.nMask = SBP_BITMAP;
        numbers.pBitmap = &picture;
        bar.SetPaneInfoEx(numbers, TRUE);
        bar.SetWindowText(L"Ready");
        Pump();
    }
    CRect PaneRect(int index) const
    {
        CRect rect;
        bar.GetItemRect(index, &rect);
        return rect;
    }

    SECCustomStatusBar bar;
    CBitmap picture;
};

TEST_F(CustomStatusBarTest, PanesAreDrawnWithTheirColoursAlignmentAndBitmaps)
{
    SetUpPanes();
    const CRect mode = PaneRect(1), picturePane = PaneRect(3);
    EXPECT_EQ(PixelAt(&bar, mode.left + 2, mode.top + 2), RGB(0x80, 0, 0)) << "the background fills the pane";
    EXPECT_EQ(picturePane.Width(), 12 + 6) << "the pane fits the bitmap";
    EXPECT_EQ(PixelAt(&bar, picturePane.left + 1, picturePane.top + 1), RGB(0, 0, 0xFF)) << "the bitmap's frame at the pane's corner";
    EXPECT_EQ(PixelAt(&bar, picturePane.left + 3, picturePane.top + 3), RGB(0xFF, 0, 0));
    EXPECT_GE(PlaceInParent(&bar).Height(), 10 + 2 + 2) << "the bar grew to the bitmap's height";
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(bar.m_hWnd, "statusbar-panes.png"));
}

TEST_F(CustomStatusBarTest, PaneInfoReadsBackWhatTheMaskNames)
{
    SetUpPanes();
    SECPaneInfo info;
    info.iIndex = 1;
    info.nMask = SBP_ALL;
    bar.GetPaneInfoEx(info);
    EXPECT_EQ(info.nID, IDS_PANE_MODE);
    EXPECT_EQ(info.strText, L"RAD");
    EXPECT_EQ(info.crTextBackground, RGB(0x80, 0, 0));
    EXPECT_EQ(info.nTextAlign, static_cast<UINT>(TA_CENTER));
    EXPECT_TRUE(info.nStyle & SBPS_OWNERDRAW);

    EXPECT_EQ(bar.PaneFromPoint(PaneRect(2).CenterPoint()), 2);
    EXPECT_EQ(bar.PaneFromPoint(CPoint(-5, -5)), -1);
    EXPECT_EQ(bar.GetPaneRect(2).right, PaneRect(2).right);
}

TEST_F(CustomStatusBarTest, APaneCursorShowsOverItsPane)
{
    HCURSOR cross = ::LoadCursorW(nullptr, IDC_CROSS);
    SECPaneInfo info;
    info.iIndex = 2;
    info.nMask = SBP_CURSOR;
    info.hCursor = cross;
    bar.SetPaneInfoEx(info);
    headless->InjectMouseMove(ScreenPoint(&bar, PaneRect(2).CenterPoint().x, PaneRect(2).CenterPoint().y));
    Pump();
    EXPECT_EQ(::GetCursor(), cross);
    headless->InjectMouseMove(ScreenPoint(&bar, PaneRect(1).CenterPoint().x, PaneRect(1).CenterPoint().y));
    Pump();
    EXPECT_NE(::GetCursor(), cross);
}

TEST_F(CustomStatusBarTest, PaneWindowsFollowTheirPanes)
{
    CStatic inset, kept;
    ASSERT_TRUE(inset.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 5), &bar));
    ASSERT_TRUE(kept.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 5), &bar));
    bar.SetPaneWindow(1, &inset, SBP_INSET);
    bar.SetPaneWindow(2, &kept, SBP_KEEPWIDTH | SBP_KEEPHEIGHT);
    CRect expected = PaneRect(1);
    expected.DeflateRect(1, 1);
    EXPECT_EQ(PlaceInParent(&inset), expected);
    EXPECT_EQ(PlaceInParent(&kept), CRect(PaneRect(2).TopLeft(), CSize(10, 5)));

    // Wider panes move them at the next idle time.
    UINT id = 0, style = 0;
    int width = 0;
    bar.GetPaneInfo(1, id, style, width);
    bar.SetPaneInfo(1, id, style, width + 30);
    Idle();
    expected = PaneRect(1);
    expected.DeflateRect(1, 1);
    EXPECT_EQ(PlaceInParent(&inset), expected);
}

TEST_F(CustomStatusBarTest, TheProgressPaneTakesOverTheBarAndGivesItBack)
{
    SetUpPanes();
    CStatic paneWindow;
    ASSERT_TRUE(paneWindow.Create(L"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 5), &bar));
    bar.SetPaneWindow(2, &paneWindow);
    SECPaneInfo before;
    before.iIndex = 0;
    before.nMask = SBP_ALL;
    bar.GetPaneInfoEx(before);

    bar.ShowProgress(L"Computing", 0, 200);
    SECProgressCtrl* progress = bar.GetProgressCtrl();
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(bar.GetPaneText(0), L"Computing");
    EXPECT_FALSE(paneWindow.IsWindowVisible());
    CRect client, place = PlaceInParent(progress);
    bar.GetClientRect(&client);
    CClientDC dc(&bar);
    dc.SelectObject(::GetStockObject(DEFAULT_GUI_FONT));
    EXPECT_EQ(place.left, dc.GetTextExtent(CString(L"Computing ")).cx + 2 * (0 + 2) + 1);
    EXPECT_EQ(place.right, client.right);

    EXPECT_EQ(bar.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Ready")), 0);
    EXPECT_EQ(bar.GetPaneText(0), L"Computing") << "the bar's text stays while the progress shows";

    progress->SetPos(100, TRUE);
    EXPECT_EQ(PixelAt(progress, place.Width() / 4, 2), kNavy);
    EXPECT_EQ(PixelAt(progress, place.Width() * 3 / 4, 2), kWhite);
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(bar.m_hWnd, "statusbar-progress.png"));

    bar.HideProgress();
    EXPECT_EQ(bar.GetProgressCtrl(), nullptr);
    EXPECT_TRUE(paneWindow.IsWindowVisible());
    SECPaneInfo after;
    after.iIndex = 0;
    after.nMask = SBP_ALL;
    bar.GetPaneInfoEx(after);
    EXPECT_EQ(after.strText, before.strText);
    EXPECT_EQ(after.nStyle & ~SBPS_OWNERDRAW, before.nStyle & ~SBPS_OWNERDRAW);
    EXPECT_EQ(after.cxWidth, before.cxWidth);
}

TEST_F(CustomStatusBarTest, AProgressWithoutTextCoversTheWholeBarAndRestoresNoPane)
{
    SetUpPanes();
    bar.ShowProgress(nullptr, 0, 10);
    EXPECT_EQ(PlaceInParent(bar.GetProgressCtrl()).left, 0);
    EXPECT_EQ(bar.GetPaneText(0), L"Ready");
    bar.HideProgress();
    bar.SetWindowText(L"Done");
    EXPECT_EQ(bar.GetPaneText(0), L"Done");
    EXPECT_EQ(bar.GetPaneStyle(0) & (SBPS_STRETCH | SBPS_NOBORDERS), SBPS_STRETCH | SBPS_NOBORDERS);
}

} // namespace
