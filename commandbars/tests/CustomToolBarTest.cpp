#include "ToolBarFixture.h"

#include "framework/BmpMgr.h"

#include <functional>

namespace {

class CustomToolBarTest : public ToolBarFixture {
protected:
    SECCustomToolBar bar;

    std::vector<UINT> Ids() const
    {
        std::vector<UINT> ids;
        for (int i = 0; i < bar.GetButtonCount(); ++i)
            ids.push_back(bar.GetButton(i)->m_nID);
        return ids;
    }
    int Index(UINT id) const
    {
        for (int i = 0; i < bar.GetButtonCount(); ++i)
            if (bar.GetButton(i)->m_nID == id)
                return i;
        return -1;
    }
    CRect UpdateRect() const
    {
        CRect rect;
        ::GetUpdateRect(bar.m_hWnd, &rect, FALSE);
        return rect;
    }
};

// ---- loading

TEST_F(CustomToolBarTest, AResourceGivesButtonsOfItsImageSizeAndSeparators)
{
    MakeBar(bar);
    ASSERT_EQ(Ids(), std::vector<UINT>(std::begin(kEditBar), std::end(kEditBar)));
    int image = 0;
    for (int i = 0; i < bar.GetButtonCount(); ++i) {
        const SECStdBtn& button = *bar.GetButton(i);
        SCOPED_TRACE(i);
        if (button.m_nID == 0) {
            EXPECT_EQ(button.GetStyle(), TBBS_SEPARATOR);
            EXPECT_EQ(CSize(button.m_cx, button.m_cy), CSize(8, 22));
        } else {
            EXPECT_EQ(CSize(button.m_cx, button.m_cy), CSize(23, 22));
            EXPECT_EQ(button.m_nImage, image++) << "images in the order of the resource";
        }
    }
}

TEST_F(CustomToolBarTest, TheFirstResourceOfABarFixesItsImageSize)
{
    MakeBar(bar, SEC_TBS_FLAT, IDR_TB_LARGE);
    ASSERT_EQ(bar.GetButtonCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(CSize(bar.GetButton(i)->m_cx, bar.GetButton(i)->m_cy), CSize(39, 39));
    EXPECT_EQ(bar.GetSeparatorWidth(), (32 + 8) / 3);
}

TEST_F(CustomToolBarTest, AResourceThatCannotBeLoadedLeavesTheButtonsAlone)
{
    MakeBar(bar);
    EXPECT_FALSE(bar.LoadToolBar(4242)) << "no such resource";
    EXPECT_FALSE(bar.LoadToolBar(IDR_TB_NOBITMAP)) << "a tool bar without its bitmap";
    EXPECT_FALSE(bar.LoadToolBar(IDB_TB_ALONE)) << "a bitmap without its tool bar";
    EXPECT_EQ(Ids(), std::vector<UINT>(std::begin(kEditBar), std::end(kEditBar)));
}

TEST_F(CustomToolBarTest, BarsShareABitmapStoreByReference)
{
    auto* shared = new SECBmpMgr;
    ASSERT_TRUE(shared->AddToolBarResource(IDR_TB_LARGE));
    {
        SECCustomToolBar first;
        first.SetBmpMgr(shared);
        shared->Release(); // the bar holds the only reference now
        EXPECT_EQ(first.GetImageWidth(), 32);
        int index = -1;
        EXPECT_TRUE(first.GetImageIndex(1122, index));
        EXPECT_EQ(index, 1);
        EXPECT_FALSE(first.GetImageIndex(ID_TB_NEW, index));
        EXPECT_EQ(index, 0);
    } // released with the bar; the sanitizer reports a leak or a double free
}

// ---- layout

TEST_F(CustomToolBarTest, ADockedBarLaysItsButtonsOutInOneRow)
{
    MakeBar(bar);
    CRect inside;
    bar.CalcInsideRect(inside, TRUE);
    const CPoint origin(inside.left, inside.top);
    int x = origin.x;
    for (int i = 0; i < bar.GetButtonCount(); ++i) {
        EXPECT_EQ(bar.GetButton(i)->GetRect().TopLeft(), CPoint(x, origin.y)) << i;
        EXPECT_FALSE(bar.GetButton(i)->GetStyle() & TBBS_WRAPPED);
        x += bar.GetButton(i)->m_cx;
    }
    CRect window;
    bar.GetWindowRect(&window);
    EXPECT_EQ(window.Size(), CSize(9 * 23 + 4 * 8 - inside.Width(), 22 - inside.Height()));
}

// A flat bar keeps its border lines clear and puts its gripper's room (the same 17 pixels as every
// bar's) where the plain rule has its leading margin; the first button starts past the gripper.
TEST_F(CustomToolBarTest, AFlatBarsGripperTakesThePlaceOfItsLeadingMargin)
{
    struct Case {
        const char* name;
        DWORD ctrlStyle;
        UINT dockBar; // 0: floating
        CRect expected; // from an empty rectangle
    };
    const Case cases[] = {
        { "docked at the top", SEC_TBS_FLAT | SEC_TBS_GRIPPER, AFX_IDW_DOCKBAR_TOP, CRect(17, 3, -6, -4) },
        { "two pixels more beside the gripper", SEC_TBS_FLAT | SEC_TBS_GRIPPER | SEC_TBS_GRIPPERSPACE, AFX_IDW_DOCKBAR_TOP,
            CRect(19, 3, -6, -4) },
        { "narrow borders: the same gripper", SEC_TBS_FLAT | SEC_TBS_GRIPPER | SEC_TBS_NARROWBORDERS, AFX_IDW_DOCKBAR_TOP,
            CRect(17, 1, -6, -2) },
        { "docked at the left: the gripper on top", SEC_TBS_FLAT | SEC_TBS_GRIPPER, AFX_IDW_DOCKBAR_LEFT, CRect(3, 17, -3, -7) },
        { "without a gripper", SEC_TBS_FLAT, AFX_IDW_DOCKBAR_TOP, CRect(6, 3, -6, -4) },
        { "floating: no gripper, but its border line", SEC_TBS_FLAT | SEC_TBS_GRIPPER, 0, CRect(6, 3, -6, -4) },
        { "not flat: the plain rule, then the gripper", SEC_TBS_GRIPPER, AFX_IDW_DOCKBAR_TOP, CRect(6 + 17, 3, -6, -4) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SECCustomToolBar shaped;
        MakeBar(shaped, c.ctrlStyle);
        if (c.dockBar)
            frame->DockControlBar(&shaped, c.dockBar);
        else
            frame->FloatControlBar(&shaped, CPoint(300, 300));
        frame->RecalcLayout();
        Pump();
        const BOOL horz = c.dockBar != AFX_IDW_DOCKBAR_LEFT;
        CRect inside;
        shaped.CalcInsideRect(inside, horz);
        EXPECT_EQ(inside, c.expected);
        const CRect first = shaped.GetButton(0)->GetRect(), gripper = shaped.GetGripperRect();
        EXPECT_EQ(first.TopLeft(), inside.TopLeft()) << "the first button at the inside rectangle's corner";
        if (!gripper.IsRectEmpty()) {
            EXPECT_LE((horz ? gripper.right : gripper.bottom) + 1, horz ? first.left : first.top) << "past the gripper's strip";
        }
    }
}

TEST_F(CustomToolBarTest, ANarrowBarWrapsAfterEveryButtonAndSeparatorsAddAGap)
{
    MakeBar(bar);
    bar.SetBarStyle(bar.GetBarStyle() | CBRS_SIZE_DYNAMIC);
    CRect inside;
    bar.CalcInsideRect(inside, TRUE);
    const CSize size = bar.CalcDynamicLayout(40 - inside.Width(), LM_HORZ | LM_HORZDOCK | LM_COMMIT);
    // Every button is alone in its row; each separator ends the row of the button before it.
    int y = inside.top, separators = 0;
    for (int i = 0; i < bar.GetButtonCount(); ++i) {
        const SECStdBtn& button = *bar.GetButton(i);
        SCOPED_TRACE(i);
        if (button.m_nID == 0) {
            EXPECT_TRUE(button.GetStyle() & TBBS_WRAPPED) << "a break at the separator";
            y += 5; // two thirds of the separator width
            ++separators;
            continue;
        }
        EXPECT_EQ(button.GetRect().TopLeft(), CPoint(inside.left, y));
        EXPECT_EQ((button.GetStyle() & TBBS_WRAPPED) != 0, i + 1 < bar.GetButtonCount() && kEditBar[i + 1] != 0);
        y += 22;
    }
    EXPECT_EQ(size, CSize(23 - inside.Width(), 9 * 22 + separators * 8 - inside.Height()));
}

TEST_F(CustomToolBarTest, ABarDockedAtTheSideStandsOneButtonARow)
{
    MakeBar(bar);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    frame->RecalcLayout();
    ASSERT_TRUE(bar.GetBarStyle() & CBRS_ALIGN_LEFT);
    EXPECT_TRUE(bar.m_bVertical);
    for (int i = 0; i + 1 < bar.GetButtonCount(); ++i) {
        const CRect here = bar.GetButton(i)->GetRect(), next = bar.GetButton(i + 1)->GetRect();
        EXPECT_EQ(here.left, next.left) << i;
        EXPECT_GT(next.top, here.top) << i;
    }
    // Across the bar a separator is a gap of its own width.
    EXPECT_EQ(bar.GetButton(2)->GetRect().top - bar.GetButton(0)->GetRect().top, 22 + 8);
    CRect window;
    bar.GetWindowRect(&window);
    CRect inside;
    bar.CalcInsideRect(inside, FALSE);
    EXPECT_EQ(window.Size(), CSize(23 - inside.Width(), 9 * 22 + 4 * 8 - inside.Height()));
}

TEST_F(CustomToolBarTest, AFloatingBarShowsItsButtonsInItsMiniFrame)
{
    MakeBar(bar);
    bar.SetBarStyle(bar.GetBarStyle() | CBRS_SIZE_DYNAMIC);
    frame->FloatControlBar(&bar, CPoint(300, 300));
    Pump();
    ASSERT_TRUE(bar.IsFloating());
    CRect client;
    bar.GetClientRect(&client);
    for (int i = 0; i < bar.GetButtonCount(); ++i) {
        CRect visible;
        const CRect button = bar.GetButton(i)->GetRect();
        EXPECT_TRUE(visible.IntersectRect(&client, &button) && visible == button) << i;
    }
    // A new width wraps the buttons into rows of that width at most.
    const CSize narrow = bar.CalcDynamicLayout(100, LM_COMMIT);
    EXPECT_LE(narrow.cx, 100);
    EXPECT_GT(narrow.cy, client.Height());
    EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH), narrow) << "remembered";
}

// A raised bar wrapped into rows by a narrowed floating frame, or standing a button a row at the
// left, lays its buttons out in one row again once docked at the top: each button is where the row
// puts it, inside the bar, and shows its raised face there.
TEST_F(CustomToolBarTest, ABarDockedAtTheTopLaysItsButtonsOutInOneRowWhateverShapeItHadBefore)
{
    auto narrowFloatingFrame = [&](SECCustomToolBar& shaped) {
        shaped.SetBarStyle(shaped.GetBarStyle() | CBRS_SIZE_DYNAMIC);
        frame->FloatControlBar(&shaped, CPoint(300, 300));
        Pump();
        ASSERT_TRUE(shaped.IsFloating());
        const HWND floating = ::GetAncestor(shaped.m_hWnd, GA_ROOT);
        CRect rect;
        ::GetWindowRect(floating, &rect);
        const CPoint edge(rect.right - 1, rect.CenterPoint().y);
        ASSERT_EQ(::SendMessageW(floating, WM_NCHITTEST, 0, MAKELPARAM(edge.x, edge.y)), HTRIGHT);
        const CPoint narrowed(rect.left + 80, edge.y);
        headless->InjectMouseMove(edge);
        headless->InjectButton(1, true, edge);
        headless->InjectMouseMove(narrowed);
        headless->InjectButton(1, false, narrowed);
        Pump();
    };
    auto dockAtTheLeft = [&](SECCustomToolBar& shaped) {
        frame->DockControlBar(&shaped, AFX_IDW_DOCKBAR_LEFT);
        frame->RecalcLayout();
        Pump();
    };
    const struct {
        const char* name;
        std::function<void(SECCustomToolBar&)> shape;
    } cases[] = { { "floating, narrowed by its frame's edge", narrowFloatingFrame }, { "docked at the left", dockAtTheLeft } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SECCustomToolBar raised;
        MakeBar(raised, 0);
        c.shape(raised);
        ASSERT_GT(raised.GetButton(raised.GetButtonCount() - 1)->GetRect().top, raised.GetButton(0)->GetRect().top) << "in rows";

        frame->DockControlBar(&raised, AFX_IDW_DOCKBAR_TOP);
        frame->RecalcLayout();
        frame->UpdateWindow();
        Pump();
        ASSERT_FALSE(raised.m_bVertical);
        CRect inside, client;
        raised.CalcInsideRect(inside, TRUE);
        raised.GetClientRect(&client);
        HDC dc = ::GetDC(raised.m_hWnd);
        int x = inside.left;
        for (int i = 0; i < raised.GetButtonCount(); ++i) {
            const SECStdBtn& button = *raised.GetButton(i);
            SCOPED_TRACE(i);
            const CRect rect = button.GetRect();
            CRect visible;
            EXPECT_EQ(rect.TopLeft(), CPoint(x, inside.top));
            EXPECT_FALSE(button.GetStyle() & TBBS_WRAPPED);
            EXPECT_TRUE(visible.IntersectRect(&client, &rect) && visible == rect) << "inside the bar";
            if (!button.IsSeparator()) {
                EXPECT_EQ(::GetPixel(dc, x, inside.top), GetSysColor(COLOR_BTNHIGHLIGHT)) << "the raised face's top-left corner";
            }
            x += button.m_cx;
        }
        ::ReleaseDC(raised.m_hWnd, dc);
    }
}

TEST_F(CustomToolBarTest, HiddenButtonsTakeNoPlace)
{
    MakeBar(bar);
    bar.SetButtonStyle(Index(ID_TB_OPEN), bar.GetButtonStyle(Index(ID_TB_OPEN)) | TBBS_HIDDEN);
    bar.CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
    EXPECT_EQ(bar.GetButton(Index(ID_TB_SAVE))->GetRect().left, bar.GetButton(Index(ID_TB_OPEN) - 1)->GetRect().right);
    EXPECT_EQ(bar.HitTest(Middle(bar, Index(ID_TB_SAVE))), Index(ID_TB_SAVE));
}

TEST_F(CustomToolBarTest, HitTestingFindsButtonsButNotSeparatorsOrGaps)
{
    MakeBar(bar);
    const CRect save = bar.GetButton(3)->GetRect();
    struct Case {
        const char* name;
        CPoint point;
        int expected;
    };
    const Case cases[] = {
        { "middle of a button", save.CenterPoint(), 3 },
        { "its top-left pixel", save.TopLeft(), 3 },
        { "its bottom-right pixel", save.BottomRight() - CSize(1, 1), 3 },
        { "just past its right edge, a separator", CPoint(save.right, save.top + 5), -1 },
        { "above the buttons", CPoint(save.left + 5, save.top - 1), -1 },
        { "below the buttons", CPoint(save.left + 5, save.bottom), -1 },
        { "left of the first", CPoint(bar.GetButton(0)->m_x - 1, save.top + 5), -1 },
    };
    for (const Case& c : cases) {
        CRect rect;
        EXPECT_EQ(bar.HitTest(c.point, &rect), c.expected) << c.name;
        if (c.expected >= 0) {
            EXPECT_EQ(rect, save) << c.name;
        }
    }
}

// ---- changing the buttons

TEST_F(CustomToolBarTest, RemovingAButtonTakesAStrandedSeparatorWithIt)
{
    struct Case {
        const char* name;
        UINT removed;
        std::vector<UINT> expected;
    };
    const Case cases[] = {
        { "the only button between two separators", ID_TB_PRINT,
            { ID_TB_NEW, 0, ID_TB_OPEN, ID_TB_SAVE, 0, ID_TB_CUT, ID_TB_COPY, ID_TB_PASTE, 0, ID_TB_CALC, ID_TB_HELP } },
        { "the first, a separator following", ID_TB_NEW,
            { ID_TB_OPEN, ID_TB_SAVE, 0, ID_TB_CUT, ID_TB_COPY, ID_TB_PASTE, 0, ID_TB_PRINT, 0, ID_TB_CALC, ID_TB_HELP } },
        { "one of a group", ID_TB_COPY,
            { ID_TB_NEW, 0, ID_TB_OPEN, ID_TB_SAVE, 0, ID_TB_CUT, ID_TB_PASTE, 0, ID_TB_PRINT, 0, ID_TB_CALC, ID_TB_HELP } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SECCustomToolBar subject;
        MakeBar(subject);
        int index = -1;
        for (int i = 0; i < subject.GetButtonCount(); ++i)
            if (subject.GetButton(i)->m_nID == c.removed)
                index = i;
        EXPECT_TRUE(subject.RemoveButton(index));
        std::vector<UINT> ids;
        for (int i = 0; i < subject.GetButtonCount(); ++i)
            ids.push_back(subject.GetButton(i)->m_nID);
        EXPECT_EQ(ids, c.expected);
        subject.DestroyWindow();
    }
}

TEST_F(CustomToolBarTest, RemovingOutOfRangeIsRefusedAndTheLastButtonLeavesAnEmptyBar)
{
    MakeBar(bar, SEC_TBS_FLAT, IDR_TB_LARGE);
    EXPECT_FALSE(bar.RemoveButton(-1));
    EXPECT_FALSE(bar.RemoveButton(3));
    EXPECT_TRUE(bar.RemoveButton(0));
    EXPECT_TRUE(bar.RemoveButton(0));
    EXPECT_FALSE(bar.RemoveButton(0)) << "no buttons remain";
    EXPECT_TRUE(::IsWindow(bar.m_hWnd)) << "a frame's own bar stays, empty";
    CRect inside;
    bar.CalcInsideRect(inside, TRUE);
    EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK), CSize(39 - inside.Width(), 39 - inside.Height()));
}

TEST_F(CustomToolBarTest, AUserBarGoesWithItsLastButton)
{
    SECCustomToolBar user;
    ASSERT_TRUE(user.CreateEx(SEC_TBS_FLAT, frame, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, 59424));
    user.InsertButton(0, ID_TB_NEW);
    ASSERT_TRUE(::IsWindow(user.m_hWnd));
    EXPECT_FALSE(user.RemoveButton(0));
    EXPECT_EQ(user.m_hWnd, nullptr);
}

TEST_F(CustomToolBarTest, InsertingAButtonPlacesItAndRepaints)
{
    MakeBar(bar);
    const int before = bar.GetButtonCount();
    bar.InsertButton(100, ID_TB_CUT);
    ASSERT_EQ(bar.GetButtonCount(), before + 1);
    EXPECT_EQ(bar.GetButton(before)->m_nID, ID_TB_CUT) << "an index past the end appends";
    EXPECT_EQ(bar.GetButton(before)->GetRect().left, bar.GetButton(before - 1)->GetRect().right);
    EXPECT_EQ(bar.GetButton(before)->m_nImage, 3) << "the image of its command";
    CRect window;
    bar.GetWindowRect(&window);
    CRect inside;
    bar.CalcInsideRect(inside, TRUE);
    EXPECT_EQ(window.Width(), 10 * 23 + 4 * 8 - inside.Width()) << "the frame laid the bar out again";
    EXPECT_TRUE(UpdateRect().IsRectEmpty()) << "repainted at once";
}

TEST_F(CustomToolBarTest, ToolBarMessagesAddAndDeleteButtons)
{
    MakeBar(bar);
    const TBBUTTON added[] = {
        { 0, 0, 0, 0, 0, 0 },
        { 0, static_cast<int>(ID_TB_HELP), static_cast<BYTE>(TBBS_CHECKED >> 16), 0, 0, 0 },
    };
    const int before = bar.GetButtonCount();
    EXPECT_TRUE(bar.SendMessage(TB_ADDBUTTONSA, 2, reinterpret_cast<LPARAM>(added)));
    ASSERT_EQ(bar.GetButtonCount(), before + 2);
    EXPECT_TRUE(bar.GetButton(before)->IsSeparator());
    EXPECT_TRUE(bar.GetButton(before + 1)->GetStyle() & TBBS_CHECKED) << "the state byte";
    EXPECT_TRUE(bar.SendMessage(TB_DELETEBUTTON, 0));
    EXPECT_EQ(bar.GetButton(0)->m_nID, ID_TB_OPEN);
}

// ---- command UI

TEST_F(CustomToolBarTest, TheIdleUpdateEnablesAndChecksButtonsThroughTheFrame)
{
    MakeBar(bar);
    Frame().ui[ID_TB_CUT] = { FALSE };
    Frame().ui[ID_TB_COPY] = { TRUE, 1 };
    Frame().ui[ID_TB_PASTE] = { TRUE, 2 };
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    struct Case {
        UINT id;
        DWORD set, clear;
    };
    const Case cases[] = {
        { ID_TB_NEW, 0, TBBS_DISABLED | TBBS_CHECKED | TBBS_CHECKBOX },
        { ID_TB_CUT, TBBS_DISABLED, TBBS_CHECKBOX },
        { ID_TB_COPY, TBBS_CHECKED | TBBS_CHECKBOX, TBBS_DISABLED | TBBS_INDETERMINATE },
        { ID_TB_PASTE, TBBS_INDETERMINATE | TBBS_CHECKBOX, TBBS_CHECKED },
        { ID_TB_HELP, TBBS_DISABLED, 0 }, // no handler at all
    };
    for (const Case& c : cases) {
        const DWORD style = bar.GetButtonStyle(Index(c.id));
        EXPECT_EQ(style & c.set, c.set) << c.id;
        EXPECT_EQ(style & c.clear, 0u) << c.id;
    }
    // Changes repaint only the button that changed.
    Pump();
    Frame().ui[ID_TB_COPY] = { TRUE, 0 };
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_EQ(UpdateRect(), bar.GetButton(Index(ID_TB_COPY))->GetRect());
    EXPECT_FALSE(bar.GetButtonStyle(Index(ID_TB_COPY)) & TBBS_CHECKED);
}

TEST_F(CustomToolBarTest, AnAlwaysEnabledButtonStaysEnabledWithoutAHandler)
{
    MakeBar(bar);
    const int help = Index(ID_TB_HELP);
    bar.SetButtonStyle(help, bar.GetButtonStyle(help) | SEC_TBBS_ALWAYSENABLED);
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_FALSE(bar.GetButtonStyle(help) & TBBS_DISABLED);
}

// ---- the press cycle

TEST_F(CustomToolBarTest, AReleaseInsideSendsTheCommandOnce)
{
    MakeBar(bar);
    const int save = Index(ID_TB_SAVE);
    MoveTo(bar, Middle(bar, save));
    Frame().prompts.clear(); // the new frame's idle message
    Press(bar, Middle(bar, save), true);
    EXPECT_EQ(bar.GetPressedItem(), save);
    EXPECT_TRUE(bar.GetButtonStyle(save) & TBBS_PRESSED);
    EXPECT_EQ(::GetCapture(), bar.m_hWnd);
    EXPECT_TRUE(Frame().commands.empty()) << "nothing on the press";
    EXPECT_EQ(Frame().prompts, std::vector<WPARAM> { ID_TB_SAVE }) << "the command's prompt while pressed";
    Press(bar, Middle(bar, save), false);
    EXPECT_EQ(Frame().commands, std::vector<UINT> { ID_TB_SAVE });
    EXPECT_EQ(Frame().prompts, (std::vector<WPARAM> { ID_TB_SAVE, AFX_IDS_IDLEMESSAGE }));
    EXPECT_EQ(bar.GetPressedItem(), -1);
    EXPECT_FALSE(bar.GetButtonStyle(save) & TBBS_PRESSED);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(CustomToolBarTest, ThePressedLookFollowsThePointerAndAReleaseOutsideSendsNothing)
{
    MakeBar(bar);
    const int cut = Index(ID_TB_CUT);
    const CPoint inside = Middle(bar, cut), outside(inside.x, inside.y + 60);
    MoveTo(bar, inside);
    Press(bar, inside, true);
    MoveTo(bar, outside);
    EXPECT_FALSE(bar.GetButtonStyle(cut) & TBBS_PRESSED) << "dragged out";
    EXPECT_EQ(UpdateRect(), CRect()) << "repainted at once";
    MoveTo(bar, inside);
    EXPECT_TRUE(bar.GetButtonStyle(cut) & TBBS_PRESSED) << "and back in";
    MoveTo(bar, outside);
    Press(bar, outside, false);
    EXPECT_TRUE(Frame().commands.empty());
    EXPECT_EQ(bar.GetPressedItem(), -1);
}

TEST_F(CustomToolBarTest, LosingTheCaptureCancelsThePress)
{
    MakeBar(bar);
    const int cut = Index(ID_TB_CUT);
    MoveTo(bar, Middle(bar, cut));
    Press(bar, Middle(bar, cut), true);
    bar.SendMessage(WM_CANCELMODE);
    EXPECT_EQ(bar.GetPressedItem(), -1);
    EXPECT_FALSE(bar.GetButtonStyle(cut) & TBBS_PRESSED);
    EXPECT_EQ(::GetCapture(), nullptr);
    Press(bar, Middle(bar, cut), false);
    EXPECT_TRUE(Frame().commands.empty());
}

TEST_F(CustomToolBarTest, APressOnADisabledButtonDoesNothingToIt)
{
    MakeBar(bar);
    Frame().ui[ID_TB_CUT] = { FALSE };
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    const int cut = Index(ID_TB_CUT);
    // Alt is held through the click; releasing it alone would open the frame's menu mode, which
    // Esc leaves.
    auto clickWithAlt = [&] {
        headless->InjectKey(VK_MENU, true);
        Click(bar, Middle(bar, cut));
        SetModalLoopHook([&](HWND) { headless->InjectKey(VK_ESCAPE, true), headless->InjectKey(VK_ESCAPE, false); });
        headless->InjectKey(VK_MENU, false);
        Pump();
        SetModalLoopHook({});
    };
    Click(bar, Middle(bar, cut));
    EXPECT_NE(bar.GetPressedItem(), cut);
    clickWithAlt();
    EXPECT_EQ(bar.GetPressedItem(), -1);
    EXPECT_TRUE(Frame().commands.empty());
    EXPECT_TRUE(bar.GetButtonStyle(cut) & TBBS_DISABLED);

    // The update the press runs may enable it (Alt held lets such a press through).
    Frame().ui[ID_TB_CUT] = { TRUE };
    clickWithAlt();
    EXPECT_EQ(Frame().commands, std::vector<UINT> { ID_TB_CUT });
}

TEST_F(CustomToolBarTest, ADropDownButtonNotifiesOnThePressAndStaysUp)
{
    MakeBar(bar);
    const int print = Index(ID_TB_PRINT);
    bar.SetButtonStyle(print, bar.GetButtonStyle(print) | TBBS_DROPDOWN);
    MoveTo(bar, Middle(bar, print));
    Press(bar, Middle(bar, print), true);
    ASSERT_EQ(Frame().notifications.size(), 1u);
    EXPECT_EQ(Frame().notifications[0].code, TBN_DROPDOWN);
    EXPECT_EQ(Frame().notifications[0].button, static_cast<int>(ID_TB_PRINT));
    EXPECT_EQ(Frame().notifications[0].index, print);
    EXPECT_FALSE(bar.GetButtonStyle(print) & TBBS_PRESSED);
    EXPECT_EQ(::GetCapture(), nullptr);
    Press(bar, Middle(bar, print), false);
    EXPECT_TRUE(Frame().commands.empty()) << "no command follows";
}

// ---- hot tracking

TEST_F(CustomToolBarTest, TheHotButtonFollowsTheMouseAndGoesWhenItLeaves)
{
    MakeBar(bar);
    const int open = Index(ID_TB_OPEN), save = Index(ID_TB_SAVE);
    MoveTo(bar, Middle(bar, open));
    EXPECT_EQ(bar.GetHotItem(), open);
    EXPECT_TRUE(bar.GetButtonStyle(open) & SEC_TBBS_HOT);
    MoveTo(bar, Middle(bar, save));
    EXPECT_EQ(bar.GetHotItem(), save);
    EXPECT_FALSE(bar.GetButtonStyle(open) & SEC_TBBS_HOT);

    // Out of the bar, to another window or to none: the bar hears of it at once.
    for (CPoint outside : { CPoint(5, 200), CPoint(-4000, -4000) }) {
        MoveTo(bar, Middle(bar, save));
        ASSERT_EQ(bar.GetHotItem(), save);
        headless->InjectMouseMove(ScreenPointOf(bar, outside));
        Pump();
        EXPECT_EQ(bar.GetHotItem(), -1);
        EXPECT_FALSE(bar.GetButtonStyle(save) & SEC_TBBS_HOT);
    }
}

// A command that runs a modal box lets the pointer leave (and come back) unseen by the bar: the bar
// looks again when the command returns, and still hears of a later leaving.
TEST_F(CustomToolBarTest, TheHotButtonGoesWhenThePointerLeftDuringItsCommand)
{
    MakeBar(bar);
    const int save = Index(ID_TB_SAVE);
    const CPoint outside(5, 200);
    struct Case {
        const char* what;
        bool backOnTheButton; // the pointer came back before the command returned
    } cases[] = { { "left during the command", false }, { "left and came back during the command", true } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Frame().whileCommandRuns = [&] {
            headless->InjectMouseMove(ScreenPointOf(bar, outside));
            Pump();
            if (c.backOnTheButton) {
                headless->InjectMouseMove(ScreenPointOf(bar, Middle(bar, save)));
                Pump();
            }
        };
        Click(bar, Middle(bar, save));
        Frame().whileCommandRuns = nullptr;
        EXPECT_EQ(bar.GetHotItem(), c.backOnTheButton ? save : -1);
        MoveTo(bar, outside);
        EXPECT_EQ(bar.GetHotItem(), -1);
        EXPECT_FALSE(bar.GetButtonStyle(save) & SEC_TBBS_HOT);
    }
}

// A program idling with the pointer on a button wakes for nothing: what follows the pointer
// (the hot button, the status bar's prompt, the tip once it has come and gone) learns of its
// leaving from the messages, not from timers that look again and again.
TEST_F(CustomToolBarTest, ThePointerRestingOnAButtonLeavesNoTimerRunning)
{
    MakeBar(bar);
    static int timers = 0;
    HHOOK hook = ::SetWindowsHookExW(WH_GETMESSAGE, [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (reinterpret_cast<const MSG*>(lParam)->message == WM_TIMER)
            ++timers;
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }, nullptr, ::GetCurrentThreadId());
    MoveTo(bar, Middle(bar, Index(ID_TB_SAVE)));
    ASSERT_EQ(bar.GetHotItem(), Index(ID_TB_SAVE));
    for (int second = 0; second < 30; ++second)
        Advance(1000); // the tip shows and goes
    timers = 0;
    for (int step = 0; step < 50; ++step)
        Advance(100);
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(timers, 0);
    EXPECT_EQ(bar.GetHotItem(), Index(ID_TB_SAVE)) << "the button stays hot while the pointer rests on it";
}

TEST_F(CustomToolBarTest, SeparatorsAndDisabledButtonsAreNeverHot)
{
    MakeBar(bar);
    Frame().ui[ID_TB_CUT] = { FALSE };
    bar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    MoveTo(bar, Middle(bar, Index(ID_TB_CUT)));
    EXPECT_EQ(bar.GetHotItem(), -1);
    MoveTo(bar, Middle(bar, 1));
    EXPECT_EQ(bar.GetHotItem(), -1);
}

TEST_F(CustomToolBarTest, ABarThatIsNotFlatHasNoHotButton)
{
    MakeBar(bar, 0);
    MoveTo(bar, Middle(bar, 0));
    EXPECT_EQ(bar.GetHotItem(), -1);
}

} // namespace
