#include "DockingFixture.h"

#include "framework/AutoHideBar.h"
#include "framework/DockContext.h"
#include "framework/FrameWnd.h"
#include "platform/user/tests/PixelChecks.h"

inline void PrintTo(const CRect& r, std::ostream* out)
{
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace {

constexpr UINT ID_BAR = AFX_IDW_CONTROLBAR_FIRST + 80;

// The status texts the frame was told to show while a drag runs.
class StatusFrame : public SECFrameWnd {
public:
    std::vector<CString> texts;
    UINT lastId = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETMESSAGESTRING) {
            lastId = static_cast<UINT>(wParam);
            if (lParam)
                texts.emplace_back(reinterpret_cast<LPCWSTR>(lParam));
        }
        return SECFrameWnd::WindowProc(message, wParam, lParam);
    }
};

class DockContextTest : public DockingFixture {
protected:
    CFrameWnd* NewFrame() override { return new StatusFrame; }
    void SetUp() override
    {
        DockingFixture::SetUp();
        ASSERT_TRUE(bar.Create(frame, L"Bar", WS_VISIBLE | CBRS_TOP, 0, ID_BAR));
        bar.m_szHorzDocked = bar.m_szFloat = CSize(160, 30);
        bar.m_szVertDocked = CSize(30, 160);
        bar.EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
        Pump();
    }
    StatusFrame& statusFrame() const { return *static_cast<StatusFrame*>(frame); }
    SECDockContext& context() { return *static_cast<SECDockContext*>(bar.m_pDockContext.get()); }
    const SECDragRect& dragRect() { return context().DragRect(); }

    void Press(CPoint at)
    {
        headless->Advance(1000); // never a double click with an earlier press
        headless->InjectMouseMove(at);
        headless->InjectButton(1, true, at);
        Pump();
    }
    void MoveTo(CPoint to)
    {
        headless->InjectMouseMove(to);
        Pump();
    }
    void Release(CPoint at)
    {
        headless->InjectButton(1, false, at);
        Pump();
    }
    CPoint BarPoint(int x, int y)
    {
        CPoint point(x, y);
        bar.ClientToScreen(&point);
        return point;
    }
    CPoint FrameMiddle() const
    {
        CRect rect;
        frame->GetWindowRect(&rect);
        return rect.CenterPoint();
    }
    static CRect WindowRect(HWND window)
    {
        CRect rect;
        ::GetWindowRect(window, &rect);
        return rect;
    }
    CSize FloatingEdge() const { return CSize(GetSystemMetrics(SM_CXFRAME) - 1, GetSystemMetrics(SM_CYFRAME) - 1); }
    // Esc, or a press of the right button at the point.
    void Cancel(bool escape, CPoint at)
    {
        if (escape) {
            headless->InjectKey(VK_ESCAPE, true);
            headless->InjectKey(VK_ESCAPE, false);
        } else {
            headless->InjectButton(3, true, at);
            headless->InjectButton(3, false, at);
        }
        Pump();
    }

    SECControlBar bar;
};

TEST_F(DockContextTest, TheOutlineShowsWhereADropWouldPutTheBar)
{
    ASSERT_NE(dynamic_cast<SECDockContext*>(bar.m_pDockContext.get()), nullptr);
    const CPoint start = BarPoint(40, 10);
    const CRect barRect = WindowRect(bar.m_hWnd);
    Press(start);
    ASSERT_TRUE(context().IsTracking());
    EXPECT_TRUE(dragRect().IsWindowVisible());
    EXPECT_EQ(dragRect().Rect(), barRect) << "a thin outline where the bar is docked";
    EXPECT_EQ(dragRect().Edge(), CSize(1, 1));
    EXPECT_FALSE(dragRect().IsHalftone());
    ASSERT_FALSE(statusFrame().texts.empty());
    EXPECT_EQ(statusFrame().texts.back(), CString(L"Press the Ctrl key to prevent docking."));

    // Over the middle of the frame the bar would float: a thick dithered frame, the pointer in it.
    const CPoint middle = FrameMiddle();
    MoveTo(middle);
    EXPECT_TRUE(dragRect().IsHalftone());
    EXPECT_EQ(dragRect().Edge(), FloatingEdge());
    EXPECT_TRUE(dragRect().Rect().PtInRect(middle));
    CRect expectedFrame(CPoint(), bar.m_szFloat);
    ::AdjustWindowRectEx(&expectedFrame, WS_POPUP | WS_CAPTION | WS_THICKFRAME, FALSE, WS_EX_TOOLWINDOW);
    EXPECT_EQ(dragRect().Rect().Size(), expectedFrame.Size());
    const CRect shown = dragRect().Rect();

    Release(middle);
    EXPECT_FALSE(dragRect().IsWindowVisible());
    EXPECT_EQ(statusFrame().lastId, AFX_IDS_IDLEMESSAGE);
    ASSERT_TRUE(bar.IsFloating());
    EXPECT_EQ(WindowRect(::GetAncestor(bar.m_hWnd, GA_ROOT)).TopLeft(), shown.TopLeft()) << "the bar lands where its frame was shown";
}

TEST_F(DockContextTest, CtrlHeldShowsAndDropsAFloatingBar)
{
    const CPoint start = BarPoint(40, 10);
    const CPoint along = start + CSize(60, 0); // still over the top dock bar
    Press(start);
    MoveTo(along);
    EXPECT_FALSE(dragRect().IsHalftone()) << "over the dock bar it would dock";
    headless->InjectKey(VK_CONTROL, true);
    MoveTo(along + CSize(1, 0));
    EXPECT_TRUE(dragRect().IsHalftone()) << "Ctrl prevents docking";
    headless->InjectKey(VK_CONTROL, false);
    MoveTo(along + CSize(2, 0));
    EXPECT_FALSE(dragRect().IsHalftone()) << "released, it docks again at the next move";
    headless->InjectKey(VK_CONTROL, true);
    MoveTo(along + CSize(3, 0));
    Release(along + CSize(3, 0));
    headless->InjectKey(VK_CONTROL, false);
    Pump();
    EXPECT_TRUE(bar.IsFloating());
}

TEST_F(DockContextTest, AFloatingBarMovedWithinTheDeadZoneStaysFloating)
{
    // Float the bar with its frame over the top dock bar.
    CRect topDock = WindowRect(AfxFindDockBar(frame, AFX_IDW_DOCKBAR_TOP)->m_hWnd);
    frame->FloatControlBar(&bar, CPoint(topDock.left + 200, topDock.top - 10));
    Pump();
    ASSERT_TRUE(bar.IsFloating());
    const CPoint start = BarPoint(20, 5);
    ASSERT_TRUE(topDock.PtInRect(start) || context().DockBarAt(start, 0)) << "the press is over the dock side";
    const CRect before = WindowRect(::GetAncestor(bar.m_hWnd, GA_ROOT));

    Press(start);
    MoveTo(start + CSize(2, 2));
    EXPECT_TRUE(dragRect().IsHalftone()) << "within the dead zone it is shown floating";
    EXPECT_EQ(dragRect().Rect(), before);
    Release(start + CSize(2, 2));
    EXPECT_TRUE(bar.IsFloating());
    EXPECT_EQ(WindowRect(::GetAncestor(bar.m_hWnd, GA_ROOT)), before);
}

TEST_F(DockContextTest, EscapeOrTheRightButtonEndsTheDragWithTheBarUnchanged)
{
    for (bool escape : { true, false }) {
        SCOPED_TRACE(escape ? "Esc" : "right button");
        const CRect before = WindowRect(bar.m_hWnd);
        Press(BarPoint(40, 10));
        MoveTo(FrameMiddle());
        Cancel(escape, FrameMiddle());
        EXPECT_FALSE(context().IsTracking());
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_FALSE(dragRect().IsWindowVisible());
        EXPECT_EQ(statusFrame().lastId, AFX_IDS_IDLEMESSAGE);
        Release(FrameMiddle());
        EXPECT_FALSE(bar.IsFloating());
        EXPECT_EQ(WindowRect(bar.m_hWnd), before);
    }
}

TEST_F(DockContextTest, DoubleClickTogglesBetweenDockedAndFloating)
{
    const CPoint at = BarPoint(40, 10);
    const CRect docked = WindowRect(bar.m_hWnd);
    for (int i = 0; i < 2; ++i) {
        headless->Advance(1000);
        headless->InjectMouseMove(at);
        headless->InjectButton(1, true, at);
        headless->InjectButton(1, false, at);
        headless->InjectButton(1, true, at);
        headless->InjectButton(1, false, at);
        Pump();
        if (i == 0) {
            EXPECT_TRUE(bar.IsFloating());
            headless->InjectMouseMove(BarPoint(40, 10));
        }
    }
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(WindowRect(bar.m_hWnd), docked);
    EXPECT_FALSE(dragRect().m_hWnd && dragRect().IsWindowVisible());
}

TEST_F(DockContextTest, AStripOnAnEdgeCannotBeDragged)
{
    auto* toolkitFrame = static_cast<SECFrameWnd*>(frame);
    toolkitFrame->EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(toolkitFrame->AutoHideControlBar(&bar));
    Pump();
    SECAutoHideBar* strip = toolkitFrame->GetAutoHideBar(CBRS_ALIGN_TOP);
    const CRect before = WindowRect(strip->m_hWnd);
    CPoint at(4, 4);
    strip->ClientToScreen(&at);
    Press(at);
    EXPECT_FALSE(strip->m_pDockContext->IsTracking());
    MoveTo(FrameMiddle());
    Release(FrameMiddle());
    EXPECT_FALSE(strip->IsFloating());
    EXPECT_EQ(WindowRect(strip->m_hWnd), before);
}

TEST_F(DockContextTest, OutlinesLookThinWhenDockingAndDitheredWhenFloating)
{
    Press(BarPoint(40, 10));
    for (auto [to, name] : { std::pair { BarPoint(40, 10), "drag-rect-docking.png" }, std::pair { FrameMiddle(), "drag-rect-floating.png" } }) {
        MoveTo(to);
        CRect area = dragRect().Rect();
        area.InflateRect(2, 2);
        area.right = std::min(area.right, area.left + 48);
        area.bottom = std::min(area.bottom, area.top + 24);
        EXPECT_TRUE(pixel_checks::MatchesExpectedPixels(ScreenPixels(area), area.Width(), area.Height(), name));
    }
    Release(FrameMiddle());
}

// ---- resizing a floating bar by its frame's edges

class FloatingBarResizeTest : public DockContextTest {
protected:
    static constexpr CSize kFloatingSize { 200, 120 };
    void SetUp() override
    {
        DockContextTest::SetUp();
        bar.SetBarStyle(bar.GetBarStyle() | CBRS_SIZE_DYNAMIC);
        bar.m_szFloat = kFloatingSize;
        frame->FloatControlBar(&bar, CPoint(300, 300));
        Pump();
        ASSERT_TRUE(bar.IsFloating());
        floating = ::GetAncestor(bar.m_hWnd, GA_ROOT);
    }
    // The middle of one edge of the floating frame, checked to answer that hit-test code.
    CPoint Edge(int hit) const
    {
        const CRect rect = WindowRect(floating);
        CPoint point = rect.CenterPoint();
        if (hit == HTLEFT)
            point.x = rect.left;
        else if (hit == HTRIGHT)
            point.x = rect.right - 1;
        else if (hit == HTTOP)
            point.y = rect.top;
        else
            point.y = rect.bottom - 1;
        EXPECT_EQ(::SendMessageW(floating, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)), hit);
        return point;
    }
    CSize ClientSize() const
    {
        CRect client;
        ::GetClientRect(floating, &client);
        return client.Size();
    }

    HWND floating = nullptr;
};

TEST_F(FloatingBarResizeTest, TheFrameTakesTheFloatingSizeAndAnEdgeChangesIt)
{
    EXPECT_EQ(ClientSize(), kFloatingSize) << "floating, the bar has its floating size, not its docked one";
    struct Case {
        const char* name;
        int hit;
        CSize by;
        CRect grows; // how far each edge of the frame moves out
    };
    const Case cases[] = {
        { "the right edge widens it", HTRIGHT, CSize(50, 9), CRect(0, 0, 50, 0) },
        { "the bottom edge heightens it", HTBOTTOM, CSize(-7, 40), CRect(0, 0, 0, 40) },
        { "the left edge widens it leftwards", HTLEFT, CSize(-30, 0), CRect(30, 0, 0, 0) },
        { "the top edge lowers its top", HTTOP, CSize(0, 25), CRect(0, -25, 0, 0) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CRect before = WindowRect(floating);
        const CSize sizeBefore = bar.m_szFloat;
        const CRect after(before.left - c.grows.left, before.top - c.grows.top, before.right + c.grows.right, before.bottom + c.grows.bottom);
        const CPoint edge = Edge(c.hit);
        Press(edge);
        ASSERT_TRUE(context().IsResizing());
        EXPECT_EQ(dragRect().Rect(), before) << "the frame as it is";
        MoveTo(edge + c.by);
        EXPECT_TRUE(dragRect().IsHalftone());
        EXPECT_EQ(dragRect().Edge(), FloatingEdge());
        EXPECT_EQ(dragRect().Rect(), after) << "the frame as it will be";
        EXPECT_EQ(WindowRect(floating), before) << "nothing moves before the release";
        Release(edge + c.by);
        EXPECT_FALSE(context().IsTracking());
        EXPECT_FALSE(dragRect().IsWindowVisible());
        EXPECT_EQ(statusFrame().lastId, AFX_IDS_IDLEMESSAGE);
        ASSERT_TRUE(bar.IsFloating());
        EXPECT_EQ(WindowRect(floating), after);
        EXPECT_EQ(bar.m_szFloat, sizeBefore + after.Size() - before.Size());
        EXPECT_EQ(ClientSize(), bar.m_szFloat);
    }
}

TEST_F(FloatingBarResizeTest, ANarrowerOrLowerFrameThanTheSmallestLeavesTheSizeUnchanged)
{
    const CSize smallest = context().m_sizeMinTrack;
    ASSERT_GT(smallest.cx, 0);
    ASSERT_GT(smallest.cy, 0);
    struct Case {
        const char* name;
        int hit;
        CSize by;
    };
    const Case cases[] = {
        { "the right edge leftwards", HTRIGHT, CSize(smallest.cx - kFloatingSize.cx - 1, 0) },
        { "the left edge rightwards", HTLEFT, CSize(kFloatingSize.cx - smallest.cx + 1, 0) },
        { "the bottom edge upwards", HTBOTTOM, CSize(0, smallest.cy - kFloatingSize.cy - 1) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CRect before = WindowRect(floating);
        const CPoint edge = Edge(c.hit);
        Press(edge);
        MoveTo(edge + c.by);
        EXPECT_EQ(dragRect().Rect(), before);
        Release(edge + c.by);
        EXPECT_EQ(bar.m_szFloat, kFloatingSize);
        EXPECT_EQ(WindowRect(floating), before);
    }
    // Exactly the smallest size is allowed.
    const CPoint edge = Edge(HTRIGHT);
    Press(edge);
    MoveTo(edge + CSize(smallest.cx - kFloatingSize.cx, 0));
    Release(edge + CSize(smallest.cx - kFloatingSize.cx, 0));
    EXPECT_EQ(bar.m_szFloat, CSize(smallest.cx, kFloatingSize.cy));
}

TEST_F(FloatingBarResizeTest, EscapeOrTheRightButtonLeavesTheSizeUnchanged)
{
    for (bool escape : { true, false }) {
        SCOPED_TRACE(escape ? "Esc" : "right button");
        const CRect before = WindowRect(floating);
        const CPoint edge = Edge(HTRIGHT);
        Press(edge);
        MoveTo(edge + CSize(60, 0));
        ASSERT_EQ(dragRect().Rect().Width(), before.Width() + 60);
        Cancel(escape, edge + CSize(60, 0));
        EXPECT_FALSE(context().IsTracking());
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_FALSE(dragRect().IsWindowVisible());
        EXPECT_EQ(statusFrame().lastId, AFX_IDS_IDLEMESSAGE);
        Release(edge + CSize(60, 0));
        EXPECT_EQ(bar.m_szFloat, kFloatingSize);
        EXPECT_EQ(WindowRect(floating), before);
        frame->RecalcLayout();
        EXPECT_EQ(ClientSize(), kFloatingSize) << "not even a later layout shows the cancelled size";
    }
}

} // namespace
