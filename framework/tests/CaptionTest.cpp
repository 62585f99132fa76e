#include "DockingFixture.h"

#include "framework/ControlBar.h"
#include "framework/DockBar.h"
#include "framework/FrameWnd.h"
#include "platform/user/tests/PixelChecks.h"

namespace {

constexpr UINT ID_LEFT_PANE = AFX_IDW_CONTROLBAR_FIRST + 100;
constexpr DWORD kCaption = CBRS_EX_GRIPPER | CBRS_EX_CLOSEBUTTON | CBRS_EX_EXPANDBUTTON | CBRS_EX_CONTEXTMENU;

class CaptionTest : public DockingFixture {
protected:
    CFrameWnd* NewFrame() override { return new SECFrameWnd; }
    void SetUp() override
    {
        DockingFixture::SetUp();
        for (int i = 0; i < 2; ++i) {
            auto* bar = new SECControlBar;
            ASSERT_TRUE(bar->Create(frame, L"Pane", WS_VISIBLE | CBRS_TOP, kCaption, ID_LEFT_PANE + static_cast<UINT>(i)));
            bar->m_bAutoDelete = TRUE;
            bar->EnableDocking(CBRS_ALIGN_ANY);
            static_cast<SECFrameWnd*>(frame)->DockControlBarEx(bar, AFX_IDW_DOCKBAR_TOP, i, 0, 0.5f, 80);
            bars.push_back(bar);
        }
        Idle();
        Pump();
    }
    void Idle() const { frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE); }
    CPoint OnScreen(const SECControlBar* bar, CPoint client) const
    {
        bar->ClientToScreen(&client);
        return client;
    }
    void Press(const SECControlBar* bar, CPoint client, bool down)
    {
        const CPoint at = OnScreen(bar, client);
        headless->InjectMouseMove(at);
        headless->InjectButton(1, down, at);
        Pump();
    }
    void Click(const SECControlBar* bar, CPoint client)
    {
        headless->Advance(1000);
        Press(bar, client, true);
        Press(bar, client, false);
    }
    COLORREF PixelOf(SECControlBar* bar, CPoint client)
    {
        bar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        HDC dc = ::GetDC(bar->m_hWnd);
        const COLORREF color = ::GetPixel(dc, client.x, client.y);
        ::ReleaseDC(bar->m_hWnd, dc);
        return color;
    }
    // Opens the bar's context menu with a right click and picks the item that many Downs reach
    // (the first Down highlights the first item).
    void ChooseFromContextMenu(SECControlBar* bar, int downs)
    {
        int step = 0;
        SetModalLoopHook([&](HWND) {
            if (step > downs)
                return;
            const UINT key = step++ < downs ? VK_DOWN : VK_RETURN;
            headless->InjectKey(key, true);
            headless->InjectKey(key, false);
        });
        const CPoint at = OnScreen(bar, CPoint(60, 40));
        headless->Advance(1000);
        headless->InjectMouseMove(at);
        headless->InjectButton(3, true, at);
        headless->InjectButton(3, false, at);
        Pump();
        SetModalLoopHook({});
        Pump();
    }

    std::vector<SECControlBar*> bars;
};

TEST_F(CaptionTest, TheButtonsAreCutFromTheGrippersFarEnd)
{
    struct Case {
        UINT dockBar;
        bool onLeft;
    };
    const Case cases[] = { { AFX_IDW_DOCKBAR_TOP, true }, { AFX_IDW_DOCKBAR_LEFT, false } };
    for (const Case& c : cases) {
        static_cast<SECFrameWnd*>(frame)->DockControlBarEx(bars[0], c.dockBar, 0, 0, 0.5f, 80);
        Idle();
        const CRect gripper = bars[0]->GetGripperRect(), close = bars[0]->GetCloseButtonRect(), expand = bars[0]->GetExpandButtonRect();
        ASSERT_FALSE(gripper.IsRectEmpty());
        EXPECT_EQ(close.Width(), close.Height()) << "square";
        EXPECT_EQ(close.Size(), expand.Size());
        if (c.onLeft) {
            EXPECT_EQ(gripper.Width(), 17 - 2) << "4 + 3 + 1 + 3 + 6, one pixel in at each side";
            EXPECT_EQ(close, CRect(gripper.left + 2, gripper.top, gripper.right - 4, gripper.top + gripper.Width() - 6));
            EXPECT_EQ(expand.top, close.bottom + 2);
        } else {
            EXPECT_EQ(gripper.Height(), 17 - 2);
            EXPECT_EQ(close, CRect(gripper.right - (gripper.Height() - 6), gripper.top + 2, gripper.right, gripper.bottom - 4));
            EXPECT_EQ(expand.right, close.left - 2);
        }
    }
    frame->FloatControlBar(bars[0], CPoint(300, 300));
    EXPECT_TRUE(bars[0]->GetGripperRect().IsRectEmpty()) << "a floating bar has its frame's caption instead";
}

TEST_F(CaptionTest, TheCloseButtonHidesTheBarOnAReleaseInside)
{
    SECControlBar* bar = bars[0];
    const CRect close = bar->GetCloseButtonRect();
    const CPoint inside = close.CenterPoint();
    EXPECT_EQ(PixelOf(bar, close.TopLeft()), GetSysColor(COLOR_BTNHIGHLIGHT)) << "raised";

    Press(bar, inside, true);
    EXPECT_EQ(PixelOf(bar, close.TopLeft()), GetSysColor(COLOR_3DDKSHADOW)) << "pressed";
    Press(bar, close.BottomRight() + CSize(30, 30), false); // released outside
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(PixelOf(bar, close.TopLeft()), GetSysColor(COLOR_BTNHIGHLIGHT)) << "raised again";

    Click(bar, inside);
    EXPECT_FALSE(bar->IsVisible());
}

TEST_F(CaptionTest, TheExpandButtonExpandsAndRestoresTheRow)
{
    SECControlBar* bar = bars[1];
    EXPECT_FALSE(bar->IsExpanded());
    Click(bar, bar->GetExpandButtonRect().CenterPoint());
    Idle();
    EXPECT_TRUE(bar->IsExpanded());
    EXPECT_GT(bar->m_fPctWidth, 0.9f);
    Click(bar, bar->GetExpandButtonRect().CenterPoint());
    Idle();
    EXPECT_FALSE(bar->IsExpanded());
    EXPECT_NEAR(bar->m_fPctWidth, 0.5f, 0.01f);

    // Alone in its row, the bar has nothing to expand over: the button does nothing.
    bars[0]->OnHide();
    Idle();
    const float share = bar->m_fPctWidth;
    Click(bar, bar->GetExpandButtonRect().CenterPoint());
    Idle();
    EXPECT_EQ(bar->m_fPctWidth, share);
}

TEST_F(CaptionTest, TheContextMenuHidesOrStopsDocking)
{
    SECControlBar* bar = bars[0];
    ChooseFromContextMenu(bar, 2); // Hide
    EXPECT_FALSE(bar->IsVisible());

    frame->ShowControlBar(bar, TRUE, FALSE);
    ChooseFromContextMenu(bar, 1); // Allow Docking: off
    EXPECT_EQ(bar->m_dwDockStyle & CBRS_ALIGN_ANY, 0u);
    EXPECT_EQ(bar->m_dwMRUDockingState, CBRS_ALIGN_ANY);
    EXPECT_TRUE(bar->IsFloating()) << "a docked bar leaves its dock first";
    EXPECT_EQ(bar->m_pDockContext, nullptr);

    bar->SendMessage(WM_COMMAND, ID_SEC_ALLOWDOCKING); // and on again
    EXPECT_EQ(bar->m_dwDockStyle & CBRS_ALIGN_ANY, CBRS_ALIGN_ANY);
    EXPECT_NE(bar->m_pDockContext, nullptr);
}

TEST_F(CaptionTest, FlatButtonsShowTheirGlyphs)
{
    SECControlBar* bar = bars[0];
    bar->SetExBarStyle(kCaption | CBRS_EX_FLATBUTTONS);
    const CRect close = bar->GetCloseButtonRect(), expand = bar->GetExpandButtonRect();
    PixelOf(bar, close.TopLeft());
    HDC dc = ::GetDC(bar->m_hWnd);
    auto inked = [&](const CRect& button) {
        int count = 0;
        for (int y = button.top; y < button.bottom; ++y)
            for (int x = button.left; x < button.right; ++x)
                count += ::GetPixel(dc, x, y) == GetSysColor(COLOR_BTNTEXT);
        return count;
    };
    EXPECT_EQ(inked(close), 22) << "the cross: four rows of four pixels and two of three where the strokes meet";
    EXPECT_EQ(inked(expand), 16) << "the arrow: a triangle of four rows";
    EXPECT_EQ(::GetPixel(dc, close.left, close.top), GetSysColor(COLOR_3DFACE)) << "flat: no edge";
    ::ReleaseDC(bar->m_hWnd, dc);
}

TEST_F(CaptionTest, TheCaptionButtonsHaveTipsWhileDocked)
{
    SECControlBar* bar = bars[0];
    auto tipAt = [&](CPoint point, std::wstring* text) {
        TOOLINFO info {};
        info.cbSize = sizeof info;
        const INT_PTR hit = bar->OnToolHitTest(point, &info);
        if (text)
            *text = hit == -1 || !info.lpszText ? L"" : info.lpszText;
        return hit;
    };
    const CPoint close = bar->GetCloseButtonRect().CenterPoint(), expand = bar->GetExpandButtonRect().CenterPoint();
    EXPECT_EQ(tipAt(close, nullptr), -1) << "no tips without CBRS_TOOLTIPS";

    bar->SetBarStyle(bar->GetBarStyle() | CBRS_TOOLTIPS);
    std::wstring text;
    EXPECT_EQ(tipAt(close, &text), static_cast<INT_PTR>(SECControlBar::kCloseTool));
    EXPECT_EQ(text, L"Hide docked window");
    EXPECT_EQ(tipAt(expand, &text), static_cast<INT_PTR>(SECControlBar::kExpandTool));
    EXPECT_EQ(text, L"Expand docked window");
    EXPECT_EQ(tipAt(CPoint(bar->GetGripperRect().left + 2, bar->GetGripperRect().bottom - 3), nullptr), -1) << "the rest of the caption";
    EXPECT_EQ(bar->OnToolHitTest(close, nullptr), -1) << "no record, no tool";

    static_cast<SECDockBar*>(bar->m_pDockBar)->ExpandBar(bar, 1);
    Idle();
    EXPECT_EQ(tipAt(bar->GetExpandButtonRect().CenterPoint(), &text), static_cast<INT_PTR>(SECControlBar::kExpandTool));
    EXPECT_EQ(text, L"Contract docked window");

    frame->FloatControlBar(bar, CPoint(300, 300));
    Pump();
    EXPECT_EQ(tipAt(close, nullptr), -1) << "a floating bar has no caption of its own";
}

TEST_F(CaptionTest, TheCaptionIsActiveWhileTheFocusIsInItsBar)
{
    std::vector<HWND> edits;
    for (SECControlBar* bar : bars)
        edits.push_back(CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 20, 20, 60, 20, bar->m_hWnd, nullptr, nullptr, nullptr));
    auto idle = [&] {
        frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        Pump();
    };
    // The top of what the buttons leave of the strip: the active caption's colour, or the face
    // beside the grip lines.
    auto captionColour = [&](SECControlBar* bar) {
        const CRect gripper = bar->GetGripperRect();
        return PixelOf(bar, CPoint(gripper.left + 1, bar->GetExpandButtonRect().bottom + 2));
    };
    const COLORREF active = GetSysColor(COLOR_ACTIVECAPTION), inactive = GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(active, inactive);
    EXPECT_EQ(captionColour(bars[0]), inactive);

    ::SetFocus(edits[0]);
    idle();
    EXPECT_TRUE(bars[0]->IsCaptionActive());
    EXPECT_EQ(captionColour(bars[0]), active);
    EXPECT_EQ(captionColour(bars[1]), inactive);
    const CRect gripper = bars[0]->GetGripperRect();
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(bars[0]->m_hWnd, gripper, "caption-active.png"));

    ::SetFocus(edits[1]);
    idle();
    EXPECT_FALSE(bars[0]->IsCaptionActive()) << "one active caption at a time";
    EXPECT_EQ(captionColour(bars[0]), inactive);
    EXPECT_EQ(captionColour(bars[1]), active);

    frame->SetFocus();
    idle();
    EXPECT_FALSE(bars[1]->IsCaptionActive()) << "the focus left the bar";
    EXPECT_EQ(captionColour(bars[1]), inactive);

    // The bar itself losing the focus turns its caption inactive at once.
    bars[1]->SetFocus();
    idle();
    EXPECT_EQ(captionColour(bars[1]), active);
    frame->SetFocus();
    EXPECT_FALSE(bars[1]->IsCaptionActive());
    EXPECT_EQ(captionColour(bars[1]), inactive);
}

} // namespace
