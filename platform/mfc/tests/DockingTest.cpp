#include "platform/display/HeadlessDisplay.h"
#include "platform/gdi/SysColors.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/DockContext.h"
#include "platform/mfc/DockState.h"
#include "platform/mfc/Menu.h"
#include "platform/mfc/MiniFrame.h"
#include "platform/mfc/WinApp.h"
#include "platform/mfc/tests/TestBars.h"
#include "platform/sys/tests/TempSettingsFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace {

constexpr UINT ID_FIRST_BAR = AFX_IDW_CONTROLBAR_FIRST + 40, ID_SECOND_BAR = AFX_IDW_CONTROLBAR_FIRST + 41;

class DockingApp : public CWinApp {
public:
    DockingApp() : CWinApp(L"DockingTest") {}
};

class DockingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto display = std::make_unique<HeadlessDisplay>();
        headless = display.get();
        SetCurrentDisplay(std::move(display));
        app.SetRegistryKey(L"Formulon Tests");
        frame = new CFrameWnd;
        ASSERT_TRUE(frame->Create(nullptr, L"Docking", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(100, 100, 700, 500)));
        app.m_pMainWnd = frame;
        frame->EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_TRUE(first.Create(frame, ID_FIRST_BAR, L"First"));
        ASSERT_TRUE(second.Create(frame, ID_SECOND_BAR, L"Second"));
        first.EnableDocking(CBRS_ALIGN_ANY);
        second.EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&first);
        frame->DockControlBar(&second);
        Pump();
    }
    void TearDown() override
    {
        app.m_pMainWnd = nullptr;
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        ReleaseCapture();
        Pump();
        AfxDeleteTempObjects();
    }

    static void Pump()
    {
        MSG message;
        for (int guard = 0; guard < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++guard) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    static CRect ScreenRect(const CWnd& window)
    {
        CRect rect;
        window.GetWindowRect(&rect);
        return rect;
    }
    static int TopLevelCount()
    {
        int count = 0;
        for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT))
            ++count;
        return count;
    }
    CDockBar* DockBar(UINT id) const { return AfxFindDockBar(frame, id); }
    static CMiniDockFrameWnd* FloatingFrame(const CWnd& bar)
    {
        return dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(GetAncestor(bar.m_hWnd, GA_ROOT)));
    }
    // Presses on the bar at a point of its client area, moves by the offset and releases.
    void Drag(CWnd& bar, CPoint from, CSize by, bool control = false)
    {
        bar.ClientToScreen(&from);
        DragScreen(from, by, control);
    }
    void DragScreen(CPoint from, CSize by, bool control = false)
    {
        headless->Advance(1000); // never a double click with the press before
        if (control)
            headless->InjectKey(VK_CONTROL, true);
        headless->InjectMouseMove(from);
        headless->InjectButton(1, true, from);
        const CPoint to = from + by;
        headless->InjectMouseMove(CPoint(from.x + by.cx / 2, from.y + by.cy / 2));
        headless->InjectMouseMove(to);
        headless->InjectButton(1, false, to);
        if (control)
            headless->InjectKey(VK_CONTROL, false);
        Pump();
    }
    void DoubleClick(CWnd& bar, CPoint at)
    {
        bar.ClientToScreen(&at);
        headless->Advance(1000);
        for (int i = 0; i < 2; ++i) {
            headless->InjectMouseMove(at);
            headless->InjectButton(1, true, at);
            headless->InjectButton(1, false, at);
        }
        Pump();
    }
    CPoint TopDockPoint(int x) const
    {
        CRect top = ScreenRect(*DockBar(AFX_IDW_DOCKBAR_TOP));
        return CPoint(top.left + x, top.top + 5);
    }

    HeadlessDisplay* headless = nullptr;
    TempSettingsFolder settings;
    DockingApp app;
    CFrameWnd* frame = nullptr;
    ToolLikeBar first, second;
};

TEST_F(DockingTest, DockedBarsStackInRowsAndTheViewGetsTheRest)
{
    CDockBar* top = DockBar(AFX_IDW_DOCKBAR_TOP);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->m_arrBars, (std::vector<CControlBar*> { nullptr, &first, nullptr, &second, nullptr }));
    const CSize size = first.CalcFixedLayout(FALSE, TRUE);
    CRect firstRect = ScreenRect(first), secondRect = ScreenRect(second), topRect = ScreenRect(*top);
    EXPECT_EQ(firstRect.Size(), size);
    EXPECT_EQ(firstRect.TopLeft(), topRect.TopLeft());
    EXPECT_EQ(secondRect.top, firstRect.bottom) << "the second row starts below the first";
    EXPECT_EQ(topRect.Height(), 2 * size.cy);

    CRect client;
    frame->GetClientRect(&client);
    RECT room {};
    frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CFrameWnd::reposQuery, &room);
    EXPECT_EQ(CRect(room), CRect(0, 2 * size.cy, client.right, client.bottom));
    EXPECT_EQ(first.m_dwStyle & CBRS_ALIGN_ANY, CBRS_ALIGN_TOP);
    EXPECT_FALSE(first.IsFloating());
}

TEST_F(DockingTest, TheLayoutAsksForTheBordersAndGripperOfTheStyle)
{
    struct Case {
        DWORD style;
        BOOL horz;
        int extraLength, extraThickness;
    };
    const int gripper = 5;
    const Case cases[] = {
        { 0, TRUE, first.m_cxLeftBorder + first.m_cxRightBorder, first.m_cyTopBorder + first.m_cyBottomBorder },
        { CBRS_GRIPPER, TRUE, first.m_cxLeftBorder + first.m_cxRightBorder + gripper, first.m_cyTopBorder + first.m_cyBottomBorder },
        { CBRS_GRIPPER | CBRS_BORDER_TOP | CBRS_BORDER_BOTTOM, TRUE, first.m_cxLeftBorder + first.m_cxRightBorder + gripper,
            first.m_cyTopBorder + first.m_cyBottomBorder + 2 },
        { CBRS_BORDER_ANY | CBRS_BORDER_3D, TRUE, first.m_cxLeftBorder + first.m_cxRightBorder + 4, first.m_cyTopBorder + first.m_cyBottomBorder + 4 },
        { CBRS_GRIPPER | CBRS_ALIGN_LEFT, FALSE, first.m_cxLeftBorder + first.m_cxRightBorder + gripper, first.m_cyTopBorder + first.m_cyBottomBorder },
    };
    for (const Case& c : cases) {
        first.SetBarStyle((first.m_dwStyle & ~CBRS_ALL) | c.style);
        const CSize size = first.CalcFixedLayout(FALSE, c.horz);
        const CSize expected = c.horz ? CSize(ToolLikeBar::kLength + c.extraLength, ToolLikeBar::kThickness + c.extraThickness)
                                      : CSize(ToolLikeBar::kThickness + c.extraThickness, ToolLikeBar::kLength + c.extraLength);
        EXPECT_EQ(size, expected) << "style " << std::hex << c.style;
        EXPECT_EQ(first.CalcDynamicLayout(-1, c.horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK), size) << std::hex << c.style;
    }
    CControlBar& plain = static_cast<CControlBar&>(*DockBar(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(plain.CControlBar::CalcFixedLayout(TRUE, TRUE).cx, 32767) << "a stretched bar takes the whole length";
    EXPECT_EQ(plain.CControlBar::CalcFixedLayout(TRUE, FALSE).cy, 32767);
}

TEST_F(DockingTest, DrawBordersPaintsTheEdgesOfTheStyle)
{
    struct Case {
        DWORD borders;
        COLORREF topRow0, topRow1;
    };
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT), face = GetSysColor(COLOR_BTNFACE);
    const Case cases[] = {
        { CBRS_BORDER_TOP, shadow, face },
        { CBRS_BORDER_TOP | CBRS_BORDER_3D, shadow, light },
        { 0, face, face },
    };
    for (const Case& c : cases) {
        CBitmap bitmap;
        CDC screen;
        screen.Attach(::GetDC(nullptr));
        CDC memory;
        memory.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, 40, 10);
        CBitmap* old = memory.SelectObject(&bitmap);
        first.m_dwStyle = (first.m_dwStyle & ~(CBRS_BORDER_ANY | CBRS_BORDER_3D)) | c.borders;
        CRect rect(0, 0, 40, 10);
        memory.FillSolidRect(&rect, face);
        CRect inside = rect;
        first.DrawBorders(&memory, inside);
        EXPECT_EQ(memory.GetPixel(20, 0), c.topRow0) << std::hex << c.borders;
        EXPECT_EQ(memory.GetPixel(20, 1), c.topRow1) << std::hex << c.borders;
        EXPECT_EQ(inside.top, (c.borders & CBRS_BORDER_TOP) ? ((c.borders & CBRS_BORDER_3D) ? 2 : 1) : 0);
        memory.SelectObject(old);
        ::ReleaseDC(nullptr, screen.Detach());
    }
}

TEST_F(DockingTest, AMoveWithinTheDeadZoneIsAClick)
{
    const CSize moves[] = { { 0, 0 }, { 4, 0 }, { 2, 2 }, { -1, -3 } };
    const CRect before = ScreenRect(first);
    for (CSize by : moves) {
        Drag(first, CPoint(3, 10), by + CSize(0, 0));
        EXPECT_FALSE(first.IsFloating()) << by.cx << "," << by.cy;
        EXPECT_EQ(ScreenRect(first), before) << by.cx << "," << by.cy;
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST_F(DockingTest, DraggingOffTheDockBarFloatsTheBarWhereItWasDropped)
{
    const CRect before = ScreenRect(first);
    const CSize by(150, 200);
    Drag(first, CPoint(3, 10), by);
    ASSERT_TRUE(first.IsFloating());
    auto* mini = dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(GetAncestor(first.m_hWnd, GA_ROOT)));
    ASSERT_NE(mini, nullptr);
    EXPECT_EQ(ScreenRect(first).TopLeft(), before.TopLeft() + by) << "the bar lands where it was dropped, its frame around it";
    EXPECT_EQ(ScreenRect(*mini), CMiniDockFrameWnd::FrameRectAround(ScreenRect(first)));
    EXPECT_TRUE(mini->IsWindowVisible());
    EXPECT_TRUE(mini->GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_EQ(mini->GetWindowText(), CString(L"First"));
    CRect client;
    mini->GetClientRect(&client);
    EXPECT_EQ(client.Size(), first.CalcFixedLayout(FALSE, TRUE)) << "the floating frame snaps to its bar";
    EXPECT_EQ(first.m_dwStyle & (CBRS_FLOATING | CBRS_ALIGN_ANY), CBRS_FLOATING | CBRS_ALIGN_TOP);
    EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_TOP)->m_arrBars, (std::vector<CControlBar*> { nullptr, &second, nullptr }));
    EXPECT_EQ(ScreenRect(second).top, ScreenRect(*DockBar(AFX_IDW_DOCKBAR_TOP)).top) << "the row left empty is gone";

    // Dragged again by its body, the floating bar moves by exactly as much.
    const CSize again(40, 30);
    Drag(first, CPoint(3, 10), again);
    EXPECT_EQ(ScreenRect(first).TopLeft(), before.TopLeft() + by + again);
}

TEST_F(DockingTest, ADropOnADockBarDocksInTheRowUnderThePointer)
{
    struct Case {
        const char* name;
        CPoint target; // where the pointer is released, relative to the top dock bar
        std::vector<CControlBar*> topBars;
    };
    const int row = ToolLikeBar::kThickness + first.m_cyTopBorder + first.m_cyBottomBorder;
    const Case cases[] = {
        { "into the first row, right of the first bar", CPoint(250, 5), { nullptr, &first, &second, nullptr } },
        { "into the first row, left of the first bar", CPoint(-20, 5), { nullptr, &second, &first, nullptr } },
        { "into its own row again", CPoint(40, row + 5), { nullptr, &first, nullptr, &second, nullptr } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Restore the two rows first.
        frame->DockControlBar(&first, AFX_IDW_DOCKBAR_TOP, nullptr);
        frame->DockControlBar(&second, AFX_IDW_DOCKBAR_TOP, nullptr);
        CDockBar* top = DockBar(AFX_IDW_DOCKBAR_TOP);
        top->RemoveControlBar(&first);
        top->RemoveControlBar(&second);
        top->AppendBar(&first, true, CPoint(0, 0));
        top->AppendBar(&second, true, CPoint(0, 0));
        frame->RecalcLayout();

        CRect start = ScreenRect(second);
        CPoint grab(start.left + 3, start.top + 10);
        CPoint target = ScreenRect(*top).TopLeft() + c.target;
        if (c.target.x < 0)
            target.x = ScreenRect(*top).left + 2;
        DragScreen(grab, target - grab);
        EXPECT_EQ(top->m_arrBars, c.topBars);
        EXPECT_FALSE(second.IsFloating());
    }
}

TEST_F(DockingTest, DroppingOnASideDocksTheBarUprightThere)
{
    CRect client;
    frame->GetClientRect(&client);
    CPoint left(client.left + 2, client.bottom / 2), right(client.right - 2, client.bottom / 2);
    frame->ClientToScreen(&left);
    frame->ClientToScreen(&right);
    struct Case {
        CPoint to;
        UINT dockBar;
        DWORD align;
    };
    const Case cases[] = {
        { left, AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT },
        { right, AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT },
    };
    for (const Case& c : cases) {
        CRect start = ScreenRect(second);
        CPoint grab(start.left + 3, start.top + 10);
        DragScreen(grab, c.to - grab);
        ASSERT_EQ(second.m_pDockBar, DockBar(c.dockBar));
        EXPECT_EQ(second.m_dwStyle & CBRS_ALIGN_ANY, c.align);
        EXPECT_EQ(ScreenRect(second).Size(), second.CalcFixedLayout(FALSE, FALSE));
        EXPECT_EQ(ScreenRect(*DockBar(c.dockBar)).Width(), ScreenRect(second).Width());
    }
}

TEST_F(DockingTest, CtrlWhileDraggingPreventsDocking)
{
    CRect start = ScreenRect(second);
    CPoint grab(start.left + 3, start.top + 10);
    DragScreen(grab, TopDockPoint(250) - grab, true);
    EXPECT_TRUE(second.IsFloating());
    EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_TOP)->m_arrBars, (std::vector<CControlBar*> { nullptr, &first, nullptr }));
}

TEST_F(DockingTest, AFloatingBarDragsBackToDockByItsCaptionOrItsBody)
{
    for (bool byCaption : { true, false }) {
        SCOPED_TRACE(byCaption ? "caption" : "body");
        frame->DockControlBar(&first, AFX_IDW_DOCKBAR_TOP, nullptr);
        Drag(first, CPoint(3, 10), CSize(150, 200));
        ASSERT_TRUE(first.IsFloating());
        HWND mini = GetAncestor(first.m_hWnd, GA_ROOT);
        CRect frameRect;
        GetWindowRect(mini, &frameRect);
        CPoint grab = byCaption ? CPoint(frameRect.left + 10, frameRect.top + 6) : ScreenRect(first).TopLeft() + CSize(3, 10);
        if (byCaption) {
            ASSERT_EQ(SendMessageW(mini, WM_NCHITTEST, 0, MAKELPARAM(grab.x, grab.y)), HTCAPTION);
        }
        DragScreen(grab, TopDockPoint(250) - grab);
        EXPECT_FALSE(first.IsFloating());
        EXPECT_EQ(first.m_pDockBar, DockBar(AFX_IDW_DOCKBAR_TOP));
        EXPECT_FALSE(IsWindow(mini)) << "the empty floating frame goes";
        EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_TOP)->m_arrBars, (std::vector<CControlBar*> { nullptr, &second, &first, nullptr }))
            << "in the row under the pointer, after the bar on its left";
    }
}

TEST_F(DockingTest, ADoubleClickTogglesBetweenTheLastDockedAndFloatingPlaces)
{
    const CRect docked = ScreenRect(first);
    DoubleClick(first, CPoint(3, 10));
    ASSERT_TRUE(first.IsFloating());
    HWND mini = GetAncestor(first.m_hWnd, GA_ROOT);
    const CRect floating = [&] {
        CRect r;
        GetWindowRect(mini, &r);
        return r;
    }();
    EXPECT_EQ(floating.TopLeft(), docked.TopLeft()) << "never floated before: it floats where it was";

    // Move the floating frame, then toggle back: it docks where it was, in its own first row.
    SetWindowPos(mini, nullptr, 400, 450, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    DoubleClick(first, CPoint(3, 10));
    EXPECT_FALSE(first.IsFloating());
    EXPECT_EQ(ScreenRect(first), docked);
    EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_TOP)->m_arrBars, (std::vector<CControlBar*> { nullptr, &first, nullptr, &second, nullptr }));

    // And out again: to the floating place it was left at.
    DoubleClick(first, CPoint(3, 10));
    ASSERT_TRUE(first.IsFloating());
    CRect again;
    GetWindowRect(GetAncestor(first.m_hWnd, GA_ROOT), &again);
    EXPECT_EQ(again.TopLeft(), CPoint(400, 450));
}

TEST_F(DockingTest, ABarRememberedFloatingWhereNoMonitorIsNowFloatsAtItsDockedPlace)
{
    // A second monitor right of the first; the bar was last floated there.
    const RECT primary { 0, 0, 1280, 1024 }, secondary { 1280, 0, 2560, 1024 };
    headless->SetMonitors({ { primary, primary, true }, { secondary, secondary, false } });
    const CRect docked = ScreenRect(first);
    first.m_pDockContext->m_ptMRUFloatPos = CPoint(1500, 300);
    DoubleClick(first, CPoint(3, 10));
    ASSERT_TRUE(first.IsFloating());
    EXPECT_EQ(ScreenRect(*FloatingFrame(first)).TopLeft(), CPoint(1500, 300)) << "on a monitor: floats there";
    DoubleClick(first, CPoint(3, 10));
    ASSERT_FALSE(first.IsFloating());

    // The second monitor is gone.
    headless->SetMonitors({ { primary, primary, true } });
    DoubleClick(first, CPoint(3, 10));
    ASSERT_TRUE(first.IsFloating());
    EXPECT_EQ(ScreenRect(*FloatingFrame(first)).TopLeft(), docked.TopLeft());
}

// A last docked place at the ends of the coordinate range, as a damaged saved layout gives, still
// docks the bar: at the start of its row.
TEST_F(DockingTest, ADockedPlaceAtTheEndsOfTheCoordinateRangeDocksTheBarAtTheStartOfItsRow)
{
    DoubleClick(first, CPoint(3, 10));
    ASSERT_TRUE(first.IsFloating());
    first.m_pDockContext->m_rectMRUDockPos = CRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    first.m_pDockContext->m_nMRURow = 0;
    first.m_pDockContext->m_bMRUOwnRow = FALSE;
    DoubleClick(first, CPoint(3, 10));
    EXPECT_FALSE(first.IsFloating());
    EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_TOP)->m_arrBars, (std::vector<CControlBar*> { nullptr, &first, &second, nullptr }));
}

TEST_F(DockingTest, ShiftSwapsTheOrientationADraggedBarDocksIn)
{
    CRect client;
    frame->GetClientRect(&client);
    CPoint left(client.left + 2, client.bottom / 2);
    frame->ClientToScreen(&left);
    struct Case {
        const char* name;
        CPoint to;
        bool shift;
        CDockBar* expected; // null: floats
    };
    const Case cases[] = {
        { "over the top side, lying as it is", TopDockPoint(250), false, DockBar(AFX_IDW_DOCKBAR_TOP) },
        { "with Shift, the top side does not take it upright", TopDockPoint(250), true, nullptr },
        { "with Shift, the left side takes it upright", left, true, DockBar(AFX_IDW_DOCKBAR_LEFT) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        frame->DockControlBar(&second, AFX_IDW_DOCKBAR_TOP, nullptr);
        const CRect start = ScreenRect(second);
        const CPoint grab(start.left + 3, start.top + 10);
        if (c.shift)
            headless->InjectKey(VK_SHIFT, true);
        DragScreen(grab, c.to - grab);
        if (c.shift)
            headless->InjectKey(VK_SHIFT, false);
        Pump();
        EXPECT_EQ(second.IsFloating(), c.expected == nullptr);
        if (c.expected) {
            EXPECT_EQ(second.m_pDockBar, c.expected);
        }
    }
}

TEST_F(DockingTest, TheEdgesOfADynamicBarsFrameSizeTheBar)
{
    SizableBar sizable;
    ASSERT_TRUE(sizable.Create(frame, ID_SECOND_BAR + 1, L"Sizable", WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC));
    sizable.EnableDocking(CBRS_ALIGN_ANY);
    frame->FloatControlBar(&sizable, CPoint(300, 300));
    frame->FloatControlBar(&first, CPoint(300, 100));
    Pump();
    CMiniDockFrameWnd* mini = FloatingFrame(sizable);
    ASSERT_NE(mini, nullptr);
    EXPECT_FALSE(mini->GetMiniFrameStyle() & MFS_MOVEFRAME);
    EXPECT_TRUE(FloatingFrame(first)->GetMiniFrameStyle() & MFS_MOVEFRAME)
        << "a bar of one size only moves by its frame's edge";
    CRect client;
    mini->GetClientRect(&client);
    EXPECT_EQ(client.Size(), sizable.floating) << "a floating bar takes its floating size";

    struct Case {
        const char* name;
        CSize side; // where the press is: -1 left or top, 1 right or bottom, 0 the middle
        LRESULT hit;
        CSize by;
        CRect grows; // how far each edge of the frame moves out
    };
    const Case cases[] = {
        { "the right edge widens it", CSize(1, 0), HTRIGHT, CSize(40, 7), CRect(0, 0, 40, 0) },
        { "the left edge widens it leftwards", CSize(-1, 0), HTLEFT, CSize(-25, 3), CRect(25, 0, 0, 0) },
        { "the top edge heightens it upwards", CSize(0, -1), HTTOP, CSize(9, -20), CRect(0, 20, 0, 0) },
        { "the bottom right corner moves the bottom edge", CSize(1, 1), HTBOTTOM, CSize(30, 15), CRect(0, 0, 0, 15) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CRect before = ScreenRect(*mini);
        const CPoint middle = before.CenterPoint();
        const CPoint edge(c.side.cx < 0 ? before.left : c.side.cx > 0 ? before.right - 1 : middle.x,
            c.side.cy < 0 ? before.top : c.side.cy > 0 ? before.bottom - 1 : middle.y);
        ASSERT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), c.hit);
        DragScreen(edge, c.by);
        EXPECT_EQ(GetCapture(), nullptr);
        ASSERT_TRUE(sizable.IsFloating());
        EXPECT_EQ(ScreenRect(*mini), CRect(before.left - c.grows.left, before.top - c.grows.top, before.right + c.grows.right, before.bottom + c.grows.bottom));
        mini->GetClientRect(&client);
        EXPECT_EQ(client.Size(), sizable.floating);
    }

    // Put back from a saved layout, its frame sizes it still.
    CDockState state;
    frame->GetDockState(state);
    frame->DockControlBar(&sizable, AFX_IDW_DOCKBAR_TOP, nullptr);
    frame->SetDockState(state);
    ASSERT_TRUE(sizable.IsFloating());
    EXPECT_FALSE(FloatingFrame(sizable)->GetMiniFrameStyle() & MFS_MOVEFRAME);
    sizable.DestroyWindow();
}

TEST_F(DockingTest, ShowingAndHidingBarsChangesTheLayout)
{
    const int row = ScreenRect(first).Height();
    frame->ShowControlBar(&first, FALSE, FALSE);
    EXPECT_FALSE(first.IsWindowVisible());
    EXPECT_EQ(ScreenRect(*DockBar(AFX_IDW_DOCKBAR_TOP)).Height(), row);

    frame->ShowControlBar(&first, TRUE, TRUE);
    EXPECT_TRUE(first.IsVisible()) << "shown once the frame lays out";
    EXPECT_FALSE(first.IsWindowVisible());
    frame->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(first.IsWindowVisible());
    EXPECT_EQ(ScreenRect(*DockBar(AFX_IDW_DOCKBAR_TOP)).Height(), 2 * row);

    // A floating bar hides with its frame; closing the frame hides the bar.
    frame->FloatControlBar(&second, CPoint(300, 300));
    HWND mini = GetAncestor(second.m_hWnd, GA_ROOT);
    EXPECT_TRUE(IsWindowVisible(mini));
    SendMessageW(mini, WM_CLOSE, 0, 0);
    EXPECT_FALSE(second.IsVisible());
    EXPECT_TRUE(IsWindow(mini));
    EXPECT_FALSE(IsWindowVisible(mini));
    frame->ShowControlBar(&second, TRUE, FALSE);
    EXPECT_TRUE(IsWindowVisible(mini));
}

// View > Toolbar and View > Status Bar carry the ids of the bars they toggle.
TEST_F(DockingTest, TheBarToggleCommandsShowTheStateOfTheirBarsAndToggleThem)
{
    ToolLikeBar toolBar, statusBar;
    ASSERT_TRUE(toolBar.Create(frame, AFX_IDW_TOOLBAR, L"Tools"));
    ASSERT_TRUE(statusBar.Create(frame, AFX_IDW_STATUS_BAR, L"Status", WS_VISIBLE | CBRS_BOTTOM));
    toolBar.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&toolBar);
    frame->RecalcLayout();
    CMenu view;
    view.CreatePopupMenu();
    view.AppendMenu(MF_STRING | MF_GRAYED, AFX_IDW_TOOLBAR, L"&Toolbar");
    view.AppendMenu(MF_STRING | MF_GRAYED, AFX_IDW_STATUS_BAR, L"&Status Bar");
    auto itemState = [&](UINT id) {
        frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view.m_hMenu), 0);
        return view.GetMenuState(id, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED);
    };
    auto toggle = [&](UINT id) { frame->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); };

    for (UINT id : { AFX_IDW_TOOLBAR, AFX_IDW_STATUS_BAR })
        EXPECT_EQ(itemState(id), UINT(MF_CHECKED)) << id;
    toggle(AFX_IDW_STATUS_BAR);
    EXPECT_FALSE(statusBar.IsWindowVisible());
    EXPECT_EQ(itemState(AFX_IDW_STATUS_BAR), 0u) << "enabled, unchecked";
    toggle(AFX_IDW_STATUS_BAR);
    EXPECT_TRUE(statusBar.IsWindowVisible());
    EXPECT_EQ(itemState(AFX_IDW_STATUS_BAR), UINT(MF_CHECKED));

    // A tool bar closed from its floating frame comes back with its frame.
    frame->FloatControlBar(&toolBar, CPoint(300, 300));
    HWND mini = GetAncestor(toolBar.m_hWnd, GA_ROOT);
    SendMessageW(mini, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(mini));
    EXPECT_EQ(itemState(AFX_IDW_TOOLBAR), 0u);
    toggle(AFX_IDW_TOOLBAR);
    EXPECT_TRUE(IsWindowVisible(mini));
    EXPECT_TRUE(toolBar.IsWindowVisible());
    EXPECT_EQ(itemState(AFX_IDW_TOOLBAR), UINT(MF_CHECKED));
    toggle(AFX_IDW_TOOLBAR);
    EXPECT_FALSE(IsWindowVisible(mini));
}

TEST_F(DockingTest, TheMiniFrameStylesShapeItsBorder)
{
    struct Case {
        DWORD style;
        int hit;
        LRESULT expected;
    };
    const Case cases[] = {
        { MFS_THICKFRAME, HTTOPLEFT, HTTOPLEFT },
        { MFS_4THICKFRAME, HTTOPLEFT, HTTOP },
        { MFS_4THICKFRAME, HTBOTTOMRIGHT, HTBOTTOM },
        { MFS_4THICKFRAME, HTLEFT, HTLEFT },
        { MFS_MOVEFRAME, HTBOTTOMRIGHT, HTCAPTION },
        { MFS_MOVEFRAME, HTRIGHT, HTCAPTION },
    };
    for (const Case& c : cases) {
        auto* mini = new CMiniFrameWnd;
        ASSERT_TRUE(mini->Create(nullptr, L"Mini", WS_CAPTION | WS_SYSMENU | WS_VISIBLE | c.style, CRect(200, 200, 300, 300), frame));
        EXPECT_TRUE(mini->GetStyle() & WS_THICKFRAME);
        EXPECT_EQ(mini->GetMiniFrameStyle(), c.style);
        CRect rect = ScreenRect(*mini);
        const CPoint points[] = {
            { rect.left, rect.top }, { rect.right - 1, rect.bottom - 1 }, { rect.left, rect.top + rect.Height() / 2 },
            { rect.right - 1, rect.top + rect.Height() / 2 }, { rect.left + rect.Width() / 2, rect.top }, { rect.left + rect.Width() / 2, rect.bottom - 1 },
        };
        bool found = false;
        for (CPoint point : points) {
            if (DefWindowProcW(mini->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)) != c.hit)
                continue;
            found = true;
            EXPECT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y)), c.expected) << std::hex << c.style << " " << c.hit;
        }
        EXPECT_TRUE(found) << "a point of the border answers " << c.hit;
        mini->DestroyWindow();
    }
}

TEST_F(DockingTest, ClosingTheFrameWithAFloatingBarLeavesNothingBehind)
{
    frame->FloatControlBar(&first, CPoint(300, 300));
    ASSERT_TRUE(first.IsFloating());
    frame->DestroyWindow();
    EXPECT_EQ(first.m_hWnd, nullptr);
    EXPECT_EQ(second.m_hWnd, nullptr);
    EXPECT_EQ(GetTopWindow(nullptr), nullptr);
}

TEST(ControlBarClass, BarsShareOneRegisteredClass)
{
    SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    ASSERT_NE(AfxControlBarClass(), nullptr);
    WNDCLASSW info {};
    ASSERT_TRUE(GetClassInfoW(nullptr, L"AfxControlBar42su", &info));
    EXPECT_TRUE(info.style & CS_DBLCLKS);
    EXPECT_EQ(info.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_BTNFACE + 1)));
}


TEST_F(DockingTest, TheBarLayoutComesBackFromTheProfile)
{
    frame->FloatControlBar(&first, CPoint(300, 320));
    frame->DockControlBar(&second, AFX_IDW_DOCKBAR_LEFT, nullptr);
    frame->SaveBarState(L"Layout");
    EXPECT_EQ(app.GetProfileInt(L"Layout-Summary", L"ScreenCX", 0), static_cast<UINT>(GetSystemMetrics(SM_CXVIRTUALSCREEN)));

    frame->DockControlBar(&first, AFX_IDW_DOCKBAR_TOP, nullptr);
    frame->DockControlBar(&second, AFX_IDW_DOCKBAR_TOP, nullptr);
    ASSERT_FALSE(first.IsFloating());

    frame->LoadBarState(L"Layout");
    ASSERT_TRUE(first.IsFloating());
    CRect floating;
    GetWindowRect(GetAncestor(first.m_hWnd, GA_ROOT), &floating);
    EXPECT_EQ(floating.TopLeft(), CPoint(300, 320));
    EXPECT_TRUE(IsWindowVisible(GetAncestor(first.m_hWnd, GA_ROOT)));
    EXPECT_EQ(second.m_pDockBar, DockBar(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(second.m_dwStyle & CBRS_ALIGN_ANY, CBRS_ALIGN_LEFT);
    EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_TOP)->GetDockedCount(), 0);
    EXPECT_EQ(ScreenRect(*DockBar(AFX_IDW_DOCKBAR_TOP)).Height(), 0);

    // Hidden bars stay hidden, rows and places along them come back.
    frame->DockControlBar(&first, AFX_IDW_DOCKBAR_TOP, nullptr);
    frame->DockControlBar(&second, AFX_IDW_DOCKBAR_TOP, nullptr);
    CRect at = ScreenRect(first);
    CRect right(at.left + 200, at.top, at.right + 200, at.bottom);
    frame->DockControlBar(&second, AFX_IDW_DOCKBAR_TOP, &right);
    frame->ShowControlBar(&first, FALSE, FALSE);
    const CRect secondPlace = ScreenRect(second);
    frame->SaveBarState(L"Row");
    frame->ShowControlBar(&first, TRUE, FALSE);
    frame->FloatControlBar(&second, CPoint(500, 500));
    frame->LoadBarState(L"Row");
    EXPECT_FALSE(first.IsVisible());
    EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_TOP)->m_arrBars, (std::vector<CControlBar*> { nullptr, &first, &second, nullptr }));
    EXPECT_EQ(ScreenRect(second), secondPlace);
}

TEST_F(DockingTest, ADamagedOrForeignLayoutIsIgnored)
{
    struct Case {
        const char* name;
        std::vector<std::tuple<const wchar_t*, const wchar_t*, int>> values;
    };
    const Case cases[] = {
        { "a count of bars no layout has", { { L"Bad-Summary", L"Bars", 1 << 30 } } },
        { "a negative count", { { L"Bad-Summary", L"Bars", -5 } } },
        { "a dock bar with a count of ids no layout has",
            { { L"Bad-Summary", L"Bars", 1 }, { L"Bad-Bar0", L"BarID", AFX_IDW_DOCKBAR_LEFT }, { L"Bad-Bar0", L"Bars", 1 << 30 } } },
        { "bars this frame does not have",
            { { L"Bad-Summary", L"Bars", 2 }, { L"Bad-Bar0", L"BarID", 4711 }, { L"Bad-Bar0", L"Floating", 1 },
                { L"Bad-Bar1", L"BarID", AFX_IDW_DOCKBAR_LEFT }, { L"Bad-Bar1", L"Bars", 3 }, { L"Bad-Bar1", L"Bar#0", 0 },
                { L"Bad-Bar1", L"Bar#1", 4711 }, { L"Bad-Bar1", L"Bar#2", 0 } } },
        { "a record without an id", { { L"Bad-Summary", L"Bars", 1 }, { L"Bad-Bar0", L"Floating", 1 } } },
    };
    const std::vector<CControlBar*> before = DockBar(AFX_IDW_DOCKBAR_TOP)->m_arrBars;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.WriteProfileString(L"Bad-Summary", nullptr, nullptr);
        app.WriteProfileString(L"Bad-Bar0", nullptr, nullptr);
        app.WriteProfileString(L"Bad-Bar1", nullptr, nullptr);
        for (const auto& [section, key, value] : c.values)
            app.WriteProfileInt(section, key, value);
        frame->LoadBarState(L"Bad");
        EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_TOP)->m_arrBars, before);
        EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_LEFT)->GetDockedCount(), 0);
        EXPECT_TRUE(first.IsVisible() && second.IsVisible());
        EXPECT_EQ(TopLevelCount(), 1) << "no floating frame was made";
    }
}

TEST(DockStateScaling, PointsFromAnotherScreenSizeAreScaledAndKeptInReach)
{
    SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
    CDockState state;
    const CSize screen = state.GetScreenSize();
    ASSERT_GT(screen.cx, 0);
    struct Case {
        CSize saved;
        CPoint point;
        CPoint expected;
    };
    const Case cases[] = {
        { screen, CPoint(100, 50), CPoint(100, 50) },
        { CSize(screen.cx / 2, screen.cy / 2), CPoint(100, 50), CPoint(200, 100) },
        { CSize(screen.cx * 2, screen.cy * 2), CPoint(100, 50), CPoint(50, 25) },
        { CSize(0, 0), CPoint(100, 50), CPoint(100, 50) }, // no recorded size: nothing to divide by
        { CSize(0, 600), CPoint(100, 50), CPoint(100, 50) },
    };
    for (const Case& c : cases) {
        state.SetScreenSize(c.saved);
        EXPECT_EQ(state.ScalePoint(c.point), c.expected) << c.saved.cx << "x" << c.saved.cy;
        const CRect rect = state.ScaleRectPos(CRect(c.point, CSize(30, 20)));
        EXPECT_EQ(rect, CRect(c.expected, CSize(30, 20))) << "the size stays";
    }
    // Far outside the screen: pulled back so the caption can still be reached.
    state.SetScreenSize(screen);
    const CPoint far = state.ScalePoint(CPoint(screen.cx + 500, screen.cy + 500));
    EXPECT_LT(far.x, screen.cx);
    EXPECT_LT(far.y, screen.cy);
    const CRect farRect = state.ScaleRectPos(CRect(screen.cx + 500, screen.cy + 500, screen.cx + 600, screen.cy + 550));
    EXPECT_EQ(farRect.TopLeft(), far);
    EXPECT_EQ(farRect.Size(), CSize(100, 50));
}

} // namespace
