#include "ToolBarFixture.h"

#include "framework/BmpMgr.h"
#include "framework/ToolBarManager.h"
#include "platform/gdi/SysColors.h"

namespace {

// A tool bar that records the notifications the manager passes to it.
class RecordingToolBar : public SECCustomToolBar {
    DECLARE_DYNCREATE(RecordingToolBar)
public:
    struct Call {
        UINT id, code;
        void* data;
    };
    std::vector<Call> calls;
    std::vector<std::pair<WPARAM, LPARAM>> broadcasts;
    void InformBtn(UINT id, UINT code, void* data) override { calls.push_back({ id, code, data }); }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        static const UINT barNotify = RegisterWindowMessageW(L"WM_BARNOTIFY");
        if (message == barNotify)
            broadcasts.emplace_back(wParam, lParam);
        return SECCustomToolBar::WindowProc(message, wParam, lParam);
    }
};
IMPLEMENT_DYNCREATE(RecordingToolBar, SECCustomToolBar)

class ToolBarManagerTest : public ToolBarFixture {
protected:
    void SetUp() override
    {
        ToolBarFixture::SetUp();
        manager = std::make_unique<SECToolBarManager>(frame);
        manager->m_pToolBarClass = RUNTIME_CLASS(RecordingToolBar);
    }
    void TearDown() override
    {
        ToolBarFixture::TearDown(); // the bars go with the frame's window
        manager.reset();
    }
    std::unique_ptr<SECToolBarManager> manager;
};

TEST_F(ToolBarManagerTest, ANewBarTakesTheFirstFreeUserId)
{
    ASSERT_TRUE(manager->m_pBmpMgr->AddToolBarResource(IDR_TB_LARGE));
    auto* first = manager->CreateUserToolBar(L"First");
    auto* second = manager->CreateUserToolBar();
    auto* third = manager->CreateUserToolBar();
    ASSERT_TRUE(first && second && third);
    EXPECT_EQ(first->GetDlgCtrlID(), 59424);
    EXPECT_EQ(first->GetWindowText(), CString(L"First"));
    EXPECT_EQ(second->GetWindowText(), CString(L"Toolbar 2")) << "numbered from the id";
    second->DestroyWindow();
    auto* again = manager->CreateUserToolBar();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->GetDlgCtrlID(), 59425) << "the gap between 59424 and 59426";

    auto* bar = dynamic_cast<RecordingToolBar*>(again);
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->m_pManager, manager.get());
    EXPECT_TRUE(bar->m_bMadeByManager);
    EXPECT_EQ(bar->GetBmpMgr(), manager->m_pBmpMgr) << "one shared store";
    EXPECT_EQ(bar->GetButtonWidth(), 39) << "sized from it";
    EXPECT_EQ(bar->m_dwDockStyle, CBRS_ALIGN_ANY);
}

TEST_F(ToolBarManagerTest, NoBarIsMadeWhenEveryUserIdIsTaken)
{
    for (UINT id = SECToolBarManager::kFirstUserBarId; id < SECToolBarManager::kEndUserBarId; ++id)
        ASSERT_TRUE(manager->CreateUserToolBar(L"Bar")) << id;
    EXPECT_EQ(manager->CreateUserToolBar(L"One too many"), nullptr);
}

TEST_F(ToolBarManagerTest, NotificationsAndBroadcastsReachTheBarsThatExist)
{
    auto* first = static_cast<RecordingToolBar*>(manager->CreateUserToolBar());
    auto* second = static_cast<RecordingToolBar*>(manager->CreateUserToolBar());
    ASSERT_TRUE(first && second);
    int data = 0;
    manager->ForEachToolBar(ID_TB_SAVE, 7, &data);
    for (RecordingToolBar* bar : { first, second }) {
        ASSERT_EQ(bar->calls.size(), 1u);
        EXPECT_EQ(bar->calls[0].id, ID_TB_SAVE);
        EXPECT_EQ(bar->calls[0].code, 7u);
        EXPECT_EQ(bar->calls[0].data, &data);
    }

    second->DestroyWindow(); // deletes it: the manager keeps only its window handle
    manager->BroadcastBarMessage(5, 6);
    EXPECT_EQ(first->broadcasts, (std::vector<std::pair<WPARAM, LPARAM>> { { 5, 6 } }));
}

TEST_F(ToolBarManagerTest, TheDropRectangleIsThatOfTheDropWindow)
{
    CRect rect(1, 2, 3, 4);
    manager->GetDropRect(rect);
    EXPECT_TRUE(rect.IsRectEmpty());
    auto* bar = manager->CreateUserToolBar();
    ASSERT_TRUE(bar);
    bar->SetWindowPos(nullptr, 10, 20, 100, 30, SWP_NOZORDER);
    manager->m_hDropWindow = bar->m_hWnd;
    manager->GetDropRect(rect);
    CRect expected;
    bar->GetWindowRect(&expected);
    EXPECT_EQ(rect, expected);
}

TEST(SharedDragStateTest, TheLastReleaseEndsIt)
{
    SECToolBarManager manager(nullptr);
    SharedDragState* state = manager.AddRefDragState();
    state->Set(TRUE, CRect(1, 2, 3, 4));
    EXPECT_EQ(manager.AddRefDragState(), state);
    EXPECT_EQ(state->Release(), 2u);
    EXPECT_EQ(state->Release(), 1u); // the manager's own reference stays
    EXPECT_EQ(state->m_rect, CRect(1, 2, 3, 4));
}

TEST(MenuSysColorsTest, TheTableFollowsTheSystemColours)
{
    InitMenuSysColors();
    const int sources[] = { COLOR_BTNFACE, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_HIGHLIGHT, COLOR_MENU,
        COLOR_GRAYTEXT, COLOR_HIGHLIGHTTEXT, COLOR_MENUTEXT };
    for (int i = 0; i < kMenuColorCount; ++i)
        EXPECT_EQ(MenuSysColors()[i], GetSysColor(sources[i])) << i;
    MENUITEMINFOW info {};
    info.cbSize = GetMenuItemInfoSize();
    info.fMask = MIIM_ID;
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 77, L"Item");
    EXPECT_TRUE(GetMenuItemInfoW(menu, 0, TRUE, &info)) << "the menu functions take the size";
    EXPECT_EQ(info.wID, 77u);
    DestroyMenu(menu);
}

} // namespace
