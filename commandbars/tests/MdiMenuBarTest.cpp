// The toolkit's frames with a menu bar made from the resources they are loaded from: the MDI frame
// switching the bar between its own menu and its documents' menus, listing its windows, and the
// single-document frame loaded from a resource id.

#include "HeadlessFrameTest.h"
#include "MenuFrame.h"

#include "commandbars/BmpMenuPlugIn.h"
#include "framework/MdiFrameWnd.h"
#include "framework/RegisteredMessages.h"
#include "framework/ToolBarManager.h"
#include "platform/mfc/DocTemplate.h"
#include "platform/mfc/Document.h"
#include "platform/mfc/View.h"

#include <string>
#include <vector>

namespace {

// ---- mdimenu.rc
constexpr UINT IDR_MM_DESK = 2501, IDR_MM_TEXT = 2502, IDR_MM_CHART = 2503;

class PlainDocument : public CDocument {
    DECLARE_DYNCREATE(PlainDocument)
};
IMPLEMENT_DYNCREATE(PlainDocument, CDocument)

class PlainView : public CView {
    DECLARE_DYNCREATE(PlainView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(PlainView, CView)

// Counts the menu plug-ins that went away.
class CountedFeature : public SECMenuBarFeature {
public:
    static inline int destroyed = 0;
    ~CountedFeature() override { ++destroyed; }
};

class CountingMenuBar : public SECMenuBar {
public:
    SECFrameMenuPlugIn* CreateMenuPlugIn() override
    {
        auto* feature = new CountedFeature;
        feature->SetMenuBar(this);
        return feature;
    }
};

// The desk: an MDI frame with a menu bar of its own menu and its documents' menus.
class Desk : public SECMDIFrameWnd {
public:
    Desk() { SetMenuBar(&menuBar); }
    CountingMenuBar menuBar;

protected:
    int OnCreate(LPCREATESTRUCT create)
    {
        if (SECMDIFrameWnd::OnCreate(create) == -1 || !menuBar.CreateEx(0x300, this, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR))
            return -1;
        menuBar.SetMenuInfo(3, IDR_MM_DESK, IDR_MM_TEXT, IDR_MM_CHART);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Desk, SECMDIFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

class MdiMenuBarTest : public HeadlessAppFixture {
protected:
    void SetUp() override
    {
        HeadlessAppFixture::SetUp();
        texts = new CMultiDocTemplate(IDR_MM_TEXT, RUNTIME_CLASS(PlainDocument), RUNTIME_CLASS(SECMDIChildWnd), RUNTIME_CLASS(PlainView));
        charts = new CMultiDocTemplate(IDR_MM_CHART, RUNTIME_CLASS(PlainDocument), RUNTIME_CLASS(SECMDIChildWnd), RUNTIME_CLASS(PlainView));
        app.AddDocTemplate(texts);
        app.AddDocTemplate(charts);
        desk = new Desk;
        ASSERT_TRUE(desk->LoadFrame(IDR_MM_DESK, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
        app.m_pMainWnd = desk;
        desk->EnableDocking(CBRS_ALIGN_ANY);
        desk->menuBar.EnableDocking(CBRS_ALIGN_ANY);
        desk->DockControlBar(&desk->menuBar);
        desk->ShowWindow(SW_SHOW);
        Pump();
    }
    void TearDown() override
    {
        if (desk && ::IsWindow(desk->m_hWnd))
            desk->DestroyWindow();
        HeadlessAppFixture::TearDown();
    }
    SECMDIChildWnd* Open(CMultiDocTemplate* kind)
    {
        CDocument* document = kind->OpenDocumentFile(nullptr);
        Pump();
        return document ? dynamic_cast<SECMDIChildWnd*>(document->Views().front()->GetParentFrame()) : nullptr;
    }
    std::vector<std::wstring> VisibleTitles() const
    {
        std::vector<std::wstring> titles;
        for (int i = 0; i < desk->menuBar.GetButtonCount(); ++i) {
            auto* button = static_cast<SECTBMenuBtn*>(desk->menuBar.GetButton(i));
            if (!(button->m_nStyle & TBBS_HIDDEN))
                titles.emplace_back(static_cast<const wchar_t*>(button->m_strTitle));
        }
        return titles;
    }
    // The popup the bar drops for a title of the menu it shows.
    HMENU PopupOfShownMenu(int index) const
    {
        return reinterpret_cast<HMENU>(desk->SendMessage(SECGetMenuMessage(), desk->menuBar.GetCurrentMenuId(), index));
    }

    CMultiDocTemplate* texts = nullptr;
    CMultiDocTemplate* charts = nullptr;
    Desk* desk = nullptr;
};

TEST_F(MdiMenuBarTest, TheBarShowsTheActiveDocumentsMenuAndTheDesksOwnWhenTheLastOneCloses)
{
    EXPECT_EQ(GetMenu(desk->m_hWnd), nullptr) << "the bar shows the menu, the window has none";
    EXPECT_EQ(desk->menuBar.GetCurrentMenuId(), IDR_MM_DESK);
    EXPECT_EQ(VisibleTitles(), (std::vector<std::wstring> { L"&File", L"&Window" }));
    ASSERT_NE(desk->GetFrameMenu(), nullptr);
    EXPECT_EQ(desk->GetCurrentMenu(), desk->GetFrameMenu());
    EXPECT_EQ(desk->GetMenuForId(IDR_MM_DESK), desk->GetFrameMenu());

    SECMDIChildWnd* text = Open(texts);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetMenuId(), IDR_MM_TEXT);
    EXPECT_EQ(VisibleTitles(), (std::vector<std::wstring> { L"&File", L"&Edit", L"&Window" }));
    EXPECT_EQ(desk->GetCurrentMenu(), texts->m_hMenuShared);
    EXPECT_EQ(GetMenu(desk->m_hWnd), nullptr);

    SECMDIChildWnd* chart = Open(charts);
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(VisibleTitles(), (std::vector<std::wstring> { L"&File", L"&Chart", L"&Window" }));
    EXPECT_EQ(desk->GetCurrentMenu(), charts->m_hMenuShared);
    EXPECT_EQ(MenuText(PopupOfShownMenu(1), 0), L"&Plot");

    text->MDIActivate();
    Pump();
    EXPECT_EQ(desk->menuBar.GetCurrentMenuId(), IDR_MM_TEXT);
    chart->MDIActivate();
    Pump();
    EXPECT_EQ(desk->menuBar.GetCurrentMenuId(), IDR_MM_CHART);

    chart->SendMessage(WM_CLOSE);
    Pump();
    EXPECT_EQ(desk->menuBar.GetCurrentMenuId(), IDR_MM_TEXT) << "the text is the active document now";
    text->SendMessage(WM_CLOSE);
    Pump();
    EXPECT_EQ(desk->menuBar.GetCurrentMenuId(), IDR_MM_DESK);
    EXPECT_EQ(VisibleTitles(), (std::vector<std::wstring> { L"&File", L"&Window" }));
    EXPECT_EQ(GetMenu(desk->m_hWnd), nullptr);
}

TEST_F(MdiMenuBarTest, TheWindowPopupOfTheShownMenuListsTheDocuments)
{
    SECMDIChildWnd* text = Open(texts);
    SECMDIChildWnd* chart = Open(charts);
    ASSERT_TRUE(text && chart);
    HMENU windows = PopupOfShownMenu(2);
    ASSERT_EQ(windows, desk->GetWindowMenuPopup(charts->m_hMenuShared));
    ASSERT_EQ(GetMenuItemCount(windows), 5); // Cascade, Tile, a separator and the two documents
    EXPECT_EQ(MenuText(windows, 3), L"&1 Text1");
    EXPECT_EQ(MenuText(windows, 4), L"&2 Chart1");
    EXPECT_EQ(GetMenuState(windows, 4, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));

    // Choosing from the list activates that document, whose menu then shows with the list.
    desk->SendMessage(WM_COMMAND, GetMenuItemID(windows, 3), 0);
    Pump();
    EXPECT_EQ(desk->MDIGetActive(), text);
    windows = PopupOfShownMenu(2);
    ASSERT_EQ(windows, desk->GetWindowMenuPopup(texts->m_hMenuShared));
    EXPECT_EQ(MenuText(windows, 3), L"&1 Text1");
    EXPECT_EQ(GetMenuState(windows, 3, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));

    // Back to the desk's own menu, whose Window popup takes the list.
    desk->SelectMenuBarMenu(0);
    EXPECT_EQ(desk->menuBar.GetCurrentMenuId(), IDR_MM_DESK);
    windows = PopupOfShownMenu(1);
    ASSERT_EQ(windows, desk->GetWindowMenuPopup(desk->GetFrameMenu()));
    EXPECT_EQ(MenuText(windows, 2), L"&1 Text1");
}

TEST_F(MdiMenuBarTest, TheMenuPlugInGoesWhenTheDeskCloses)
{
    ASSERT_NE(dynamic_cast<CountedFeature*>(desk->GetMenuPlugIn()), nullptr);
    EXPECT_TRUE(desk->GetMenuPlugIn()->IsPluggedIn());
    CountedFeature::destroyed = 0;
    app.m_pMainWnd = nullptr; // a frame that is not the program's main window simply goes
    const HWND window = desk->m_hWnd;
    desk->SendMessage(WM_CLOSE);
    desk = nullptr; // the frame deleted itself with its window
    EXPECT_EQ(CountedFeature::destroyed, 1);
    EXPECT_FALSE(::IsWindow(window));
}

// A desk without a menu bar, with bitmap menus, a menu colour and a tool-bar manager's images.
class BitmapMenuDesk : public HeadlessAppFixture {
protected:
    void SetUp() override
    {
        HeadlessAppFixture::SetUp();
        desk = new SECMDIFrameWnd;
        desk->EnableBmpMenus(TRUE, TRUE);
        desk->SetMenuBitmapColor(RGB(0, 128, 128), TRUE);
        desk->SetToolBarManager(&manager);
        ASSERT_TRUE(desk->LoadFrame(IDR_MM_DESK, WS_OVERLAPPEDWINDOW));
        app.m_pMainWnd = desk;
    }
    void TearDown() override
    {
        desk->DestroyWindow();
        HeadlessAppFixture::TearDown();
    }
    SECToolBarManager manager { nullptr };
    SECMDIFrameWnd* desk = nullptr;
};

TEST_F(BitmapMenuDesk, TheBitmapMenusTakeTheDesksColourAndTheManagersImages)
{
    auto* plugIn = dynamic_cast<SECBmpMenuPlugIn*>(desk->GetMenuPlugIn());
    ASSERT_NE(plugIn, nullptr);
    EXPECT_TRUE(plugIn->IsPluggedIn());
    EXPECT_EQ(plugIn->GetTransparentColor(), RGB(0, 128, 128));
    EXPECT_EQ(plugIn->GetBmpMgr(), manager.m_pBmpMgr);
    // Without a menu bar the window keeps its menu, and the desk's current menu is that.
    EXPECT_EQ(GetMenu(desk->m_hWnd), desk->GetFrameMenu());
    EXPECT_EQ(desk->GetCurrentMenu(), desk->GetFrameMenu());
}

// ---- the single-document frame loaded from a resource id

// Counts the WM_INITIALUPDATE it gets.
class ReadyWatcher : public CWnd {
public:
    int told = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITIALUPDATE)
            ++told;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

class LoadedFrame : public MenuFrame {
public:
    ReadyWatcher watcher;

protected:
    int OnCreate(LPCREATESTRUCT create)
    {
        if (MenuFrame::OnCreate(create) == -1)
            return -1;
        return watcher.Create(nullptr, L"", WS_CHILD, CRect(0, 0, 1, 1), this, 1) ? 0 : -1;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(LoadedFrame, MenuFrame)
    ON_WM_CREATE()
END_MESSAGE_MAP()

TEST_F(HeadlessFrameTest, ADockingFrameLoadedBesideAMenuBarShowsItsMenuThere)
{
    auto* loaded = new LoadedFrame;
    ASSERT_TRUE(loaded->LoadFrame(IDR_MB_GRAPH, WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(GetMenu(loaded->m_hWnd), nullptr);
    EXPECT_EQ(loaded->m_nIDHelp, IDR_MB_GRAPH);
    EXPECT_EQ(loaded->GetMenuResource(), IDR_MB_GRAPH);
    EXPECT_EQ(loaded->menuBar.GetCurrentMenuId(), IDR_MB_GRAPH);
    ASSERT_NE(loaded->GetCurrentMenu(), nullptr);
    EXPECT_EQ(GetMenuItemCount(loaded->GetCurrentMenu()), 2);
    EXPECT_EQ(MenuText(reinterpret_cast<HMENU>(loaded->SendMessage(SECGetMenuMessage(), IDR_MB_GRAPH, 1)), 0), L"&Chart");
    EXPECT_EQ(loaded->watcher.told, 1) << "made without a context, its windows are told to make ready";
    loaded->DestroyWindow();
}

TEST_F(HeadlessFrameTest, LoadingKeepsTheAcceleratorsAFrameHasAlready)
{
    ACCEL key { FVIRTKEY | FCONTROL, 'Q', 4242 };
    HACCEL own = CreateAcceleratorTableW(&key, 1);
    auto* loaded = new SECFrameWnd;
    loaded->m_hAccelTable = own;
    ASSERT_TRUE(loaded->LoadFrame(IDR_MB_CALC, WS_OVERLAPPEDWINDOW));
    EXPECT_EQ(loaded->m_hAccelTable, own);
    EXPECT_NE(GetMenu(loaded->m_hWnd), nullptr) << "without a menu bar the window has the menu";
    EXPECT_EQ(loaded->GetCurrentMenu(), GetMenu(loaded->m_hWnd));
    loaded->DestroyWindow();
}

} // namespace

namespace {

using MenuBarHelpTest = MenuBarFixture;

TEST_F(MenuBarHelpTest, InHelpModeATitleOpensItsMenuAndTheItemChosenIsWhatHelpIsFor)
{
    std::vector<DWORD> asked;
    HelpViewer previous = SetHelpViewer([&](HWND, LPCWSTR, UINT, ULONG_PTR data) {
        asked.push_back(static_cast<DWORD>(data));
        return TRUE;
    });
    CRect title;
    Bar().GetItemRect(Bar().FirstVisibleMenuButton(), &title); // "&File"
    CPoint press = title.CenterPoint();
    Bar().ClientToScreen(&press);
    frame->ScreenToClient(&press);
    frame->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    OnEachWait({ [&] { Press(VK_DOWN); }, [&] { Press(VK_RETURN); } });
    frame->SendMessage(WM_COMMAND, ID_CONTEXT_HELP);
    Run();
    SetHelpViewer(previous);
    EXPECT_EQ(asked, std::vector<DWORD> { HID_BASE_COMMAND + ID_MB_NEW });
    EXPECT_TRUE(Frame().commands.empty()) << "the command itself does not run";
    EXPECT_FALSE(::GetCapture());
}

} // namespace
