#include "DockingFixture.h"

#include "framework/ControlBar.h"
#include "framework/FrameWnd.h"
#include "framework/SysCommandEx.h"
#include "platform/user/tests/PixelChecks.h"

#include <vector>

using namespace nsSysCommandEx;

namespace {

constexpr UINT ID_PANE = AFX_IDW_CONTROLBAR_FIRST + 120;
constexpr int ReceiverId = 257, ListId = 256, ExtraId = 258, DoubleClickId = 259, ContextMenuId = 262;

std::vector<int> mdiRequests;

// Takes the MDI placements (which need an MDI frame) as requests only.
class RequestingReceiver : public ScxMsgFilter {
    DECLARE_DYNCREATE(RequestingReceiver)
public:
    BOOL MakeMDIChild(CFrameWnd*, int placement) override
    {
        mdiRequests.push_back(placement);
        return TRUE;
    }
};
IMPLEMENT_DYNCREATE(RequestingReceiver, ScxMsgFilter)

// A frame that lives in a control bar and offers its messages to its filters, as a dockable
// frame does: the extended command and the non-client messages first, painting afterwards.
class FilteredFrame : public CFrameWnd {
public:
    SECMsgFilter root { this };
    SECMsgFilter::DescriptorTable table;

    FilteredFrame()
    {
        table.Add(ReceiverId, SECMsgFilter::RootId, RUNTIME_CLASS(RequestingReceiver));
        table.Add(ListId, SECMsgFilter::RootId, RUNTIME_CLASS(SECCaptionControlListMsgFilter), SECMsgFilter::Descriptor::KeepStateWhenDisabled);
        table.Add(ExtraId, ListId, RUNTIME_CLASS(ScxButtonMsgFilter));
        table.Add(DoubleClickId, SECMsgFilter::RootId, RUNTIME_CLASS(ScxCaptionNCRDBLClkFilter));
        table.Add(ContextMenuId, SECMsgFilter::RootId, RUNTIME_CLASS(ScxContextMenuFilter));
        root.InstallAll(table, TRUE);
        // The system's own buttons keep their places, but only the extra button is the toolkit's.
        auto* list = static_cast<SECCaptionControlListMsgFilter*>(root.FindOrCreate(ListId));
        list->InstallAll(list->GetSystemButtons(), FALSE);
    }
    void PostNcDestroy() override { delete this; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        if (message == WM_NCPAINT || message == WM_NCACTIVATE || message == WM_SETTEXT) {
            result = CFrameWnd::WindowProc(message, wParam, lParam);
            LRESULT ignored = 0;
            root.FilterMessage(&ignored);
            return result;
        }
        if (root.FilterMessage(&result) & MsgFilterHandled)
            return result;
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
};

class SysCommandExTest : public DockingFixture {
protected:
    CFrameWnd* NewFrame() override { return new SECFrameWnd; }
    void SetUp() override
    {
        DockingFixture::SetUp();
        mdiRequests.clear();
        bar = new SECControlBar;
        ASSERT_TRUE(bar->Create(frame, L"Pane", WS_VISIBLE | CBRS_TOP, CBRS_EX_STRETCHCHILDREN, ID_PANE));
        bar->m_bAutoDelete = TRUE;
        bar->EnableDocking(CBRS_ALIGN_ANY);
        static_cast<SECFrameWnd*>(frame)->DockControlBarEx(bar, AFX_IDW_DOCKBAR_TOP, 0, 0, 1.0f, 150);
        pane = new FilteredFrame;
        ASSERT_TRUE(pane->Create(nullptr, L"Placed", WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, CRect(0, 0, 240, 120), bar));
        Relayout();
    }
    void TearDown() override
    {
        SetModalLoopHook({});
        DockingFixture::TearDown();
    }
    void Relayout()
    {
        frame->RecalcLayout();
        Pump();
        static_cast<SECCaptionControlListMsgFilter*>(pane->root.FindOrCreate(ListId))->Layout();
    }
    ScxButtonMsgFilter* Extra() const { return static_cast<ScxButtonMsgFilter*>(pane->root.FindOrCreate(ExtraId, nullptr, -1)); }
    CRect ExtraOnScreen() const
    {
        CRect window;
        pane->GetWindowRect(&window);
        return Extra()->GetRect() + window.TopLeft();
    }
    CPoint CaptionPoint() const
    {
        CRect window;
        pane->GetWindowRect(&window);
        return window.TopLeft() + CPoint(30, 10);
    }
    // Answers the next popup menu with these keys.
    void AnswerMenuWith(std::vector<unsigned> keys)
    {
        SetModalLoopHook([this, keys, next = size_t(0)](HWND) mutable {
            if (next < keys.size()) {
                headless->InjectKey(keys[next], true);
                headless->InjectKey(keys[next++], false);
            }
        });
    }
    LRESULT SendToCaption(UINT message, CPoint at) const { return pane->SendMessage(message, HTCAPTION, MAKELPARAM(at.x, at.y)); }
    void Wait(unsigned milliseconds)
    {
        headless->Advance(milliseconds);
        Pump();
    }

    SECControlBar* bar = nullptr;
    FilteredFrame* pane = nullptr;
};

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t text[64] {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
    return text;
}

bool Checked(HMENU menu, int position) { return GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION) & MF_CHECKED; }

TEST(SysCommandExPlacements, GroupsGatherTheMenusItems)
{
    struct Case {
        int placement, group;
    } cases[] = { { ChooseOne, 0 }, { 0, 0 }, { MDIChild, 1 }, { MDIRestored, 1 }, { Docked, 5 }, { DockedBottom, 5 }, { Floating, 10 }, { 11, 0 } };
    for (const Case& c : cases)
        EXPECT_EQ(GetGroup(c.placement), c.group) << c.placement;
}

TEST(SysCommandExPlacements, TheMenuChecksTheCurrentPlacement)
{
    ScxMsgFilter receiver;
    HMENU menu = receiver.BuildMenu(DockedLeft);
    ASSERT_EQ(GetMenuItemCount(menu), 6);
    const std::wstring top[] = { L"&Docked", L"&Floating", L"&MDI Child", L"", L"D&ocked to", L"MD&I Child as" };
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(MenuText(menu, i), top[i]);
    EXPECT_TRUE(Checked(menu, 0));
    EXPECT_FALSE(Checked(menu, 1));
    EXPECT_FALSE(Checked(menu, 2));
    HMENU sides = GetSubMenu(menu, 4), mdi = GetSubMenu(menu, 5);
    const UINT sideIds[] = { DockedTop, DockedLeft, DockedBottom, DockedRight };
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(GetMenuItemID(sides, i), sideIds[i]);
        EXPECT_EQ(Checked(sides, i), sideIds[i] == DockedLeft) << i;
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Checked(mdi, i));
    DestroyMenu(menu);

    menu = receiver.BuildMenu(MDIMaximized);
    EXPECT_TRUE(Checked(menu, 2));
    EXPECT_TRUE(Checked(GetSubMenu(menu, 5), 1));
    DestroyMenu(menu);
}

TEST_F(SysCommandExTest, TheFrameKnowsWhereItIs)
{
    EXPECT_EQ(CurrentPlacement(pane), DockedTop);
    EXPECT_EQ(CurrentPlacement(frame), NoPlacement);

    HWND child = CreateWindowExW(WS_EX_MDICHILD, L"Static", L"", WS_CHILD | WS_CAPTION | WS_MAXIMIZE, 0, 0, 50, 50, frame->m_hWnd, nullptr, nullptr, nullptr);
    EXPECT_EQ(CurrentPlacement(CWnd::FromHandle(child)), MDIMaximized);
    ScxButtonMDIChildMsgFilter childButton(CWnd::FromHandle(child));
    BOOL disabled = FALSE;
    EXPECT_FALSE(childButton.QueryState(disabled)) << "hidden while its child is maximised";
    ::ShowWindow(child, SW_RESTORE);
    EXPECT_EQ(CurrentPlacement(CWnd::FromHandle(child)), MDIRestored);
    EXPECT_TRUE(childButton.QueryState(disabled));
    ::DestroyWindow(child);
}

TEST_F(SysCommandExTest, ARightDoubleClickOnTheCaptionChoosesTheOtherPlacement)
{
    LRESULT result = 0;
    CPoint at = CaptionPoint();
    EXPECT_EQ(pane->root.Filter(WM_NCRBUTTONDBLCLK, HTCAPTION, MAKELPARAM(at.x, at.y), &result), MsgFilterConsumed | MsgFilterStop);
    EXPECT_EQ(mdiRequests, (std::vector<int> { MDIChild })) << "a docked frame becomes an MDI child";

    // As an MDI child it docks again: here, with no MDI frame to take it from, that fails.
    pane->ModifyStyleEx(0, WS_EX_MDICHILD);
    SysCommandExInfo info;
    info.window = pane->m_hWnd;
    EXPECT_EQ(pane->SendMessage(SysCommandExMessage(), SCX_EXECUTE, reinterpret_cast<LPARAM>(&info)), FALSE);
    EXPECT_EQ(mdiRequests.size(), 1u) << "no second MDI request";
    pane->ModifyStyleEx(WS_EX_MDICHILD, 0);
    EXPECT_EQ(CurrentPlacement(pane), DockedTop);
}

TEST_F(SysCommandExTest, TheCaptionMenuFloatsAndDocksTheFrame)
{
    AnswerMenuWith({ VK_DOWN, VK_DOWN, VK_RETURN });
    SendToCaption(WM_NCRBUTTONUP, CaptionPoint());
    Pump();
    EXPECT_TRUE(bar->IsFloating());
    EXPECT_EQ(CurrentPlacement(pane), Floating);

    AnswerMenuWith({ VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN });
    SendToCaption(WM_NCRBUTTONUP, CaptionPoint());
    Pump();
    EXPECT_FALSE(bar->IsFloating());
    EXPECT_EQ(CurrentPlacement(pane), DockedLeft);
    EXPECT_EQ(bar->GetBarStyle() & (CBRS_ALIGN_ANY | CBRS_BORDER_ANY), CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT);

    AnswerMenuWith({ VK_ESCAPE });
    SendToCaption(WM_NCRBUTTONUP, CaptionPoint());
    EXPECT_EQ(CurrentPlacement(pane), DockedLeft) << "a dismissed menu changes nothing";
}

TEST_F(SysCommandExTest, FloatingAFloatingFrameKeepsItFloating)
{
    SysCommandExInfo info;
    info.window = pane->m_hWnd;
    info.command = Floating;
    EXPECT_EQ(pane->SendMessage(SysCommandExMessage(), SCX_EXECUTE, reinterpret_cast<LPARAM>(&info)), TRUE);
    ASSERT_TRUE(bar->IsFloating());
    EXPECT_EQ(pane->SendMessage(SysCommandExMessage(), SCX_EXECUTE, reinterpret_cast<LPARAM>(&info)), TRUE);
    EXPECT_TRUE(bar->IsFloating());
    info.command = Docked;
    EXPECT_EQ(pane->SendMessage(SysCommandExMessage(), SCX_EXECUTE, reinterpret_cast<LPARAM>(&info)), TRUE);
    EXPECT_EQ(CurrentPlacement(pane), DockedTop) << "back where it was";
}

TEST_F(SysCommandExTest, HoldingTheExtraButtonOpensTheMenuBelowIt)
{
    const CRect button = ExtraOnScreen();
    ASSERT_FALSE(button.IsRectEmpty());
    CRect popup;
    int shown = 0;
    SetModalLoopHook([&](HWND menu) {
        if (shown++ == 0) {
            GetWindowRect(menu, &popup);
            EndMenu();
        }
    });
    headless->InjectMouseMove(button.CenterPoint());
    headless->InjectButton(1, true, button.CenterPoint());
    Pump();
    Wait(ScxButtonMsgFilter::HoldDelay - 1);
    EXPECT_EQ(shown, 0);
    Wait(1);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(popup.TopLeft(), CPoint(button.left, button.bottom));
    headless->InjectButton(1, false, button.CenterPoint());
    Pump();
    EXPECT_TRUE(mdiRequests.empty()) << "the release after the menu does nothing";

    Wait(1000);
    headless->InjectButton(1, true, button.CenterPoint());
    Pump();
    headless->InjectButton(1, false, button.CenterPoint());
    Pump();
    EXPECT_EQ(shown, 1) << "a short click shows no menu";
    EXPECT_EQ(mdiRequests, (std::vector<int> { MDIChild })) << "it carries out the default placement";
}

TEST_F(SysCommandExTest, TheExtraButtonIsDrawnAsARaisedFaceWithItsGlyph)
{
    const CRect rect = Extra()->GetRect();
    const CRect area(rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1);
    pane->SendMessage(WM_NCPAINT, 1);
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(pane->m_hWnd, area, "placement-button.png"));
    headless->InjectMouseMove(ExtraOnScreen().CenterPoint());
    headless->InjectButton(1, true, ExtraOnScreen().CenterPoint());
    Pump();
    EXPECT_TRUE(pixel_checks::WindowAreaMatchesExpectedImage(pane->m_hWnd, area, "placement-button-pushed.png"));
    headless->InjectMouseMove(ExtraOnScreen().CenterPoint() + CPoint(0, 60));
    headless->InjectButton(1, false, ExtraOnScreen().CenterPoint() + CPoint(0, 60));
    Pump();
    EXPECT_TRUE(mdiRequests.empty());
}

} // namespace
