#include "platform/display/HeadlessDisplay.h"
#include "platform/mfc/WinApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace {

constexpr UINT ID_CHILD = 100, ID_SAVE = 200, ID_UNHANDLED = 201, ID_CHECKED = 202, ID_CHECKED_ONLY = 203, ID_RANGE_FIRST = 300,
               ID_RANGE_LAST = 309;
constexpr UINT NM_TEST = static_cast<UINT>(-2);

class RecordingWnd : public CWnd {
public:
    std::vector<CString> events;
    bool deleteOnNcDestroy = false;
    static inline int deleted = 0;
    ~RecordingWnd() override { ++deleted; }

protected:
    int OnCreate(LPCREATESTRUCT create)
    {
        events.push_back(L"create:" + CString(create->lpszName));
        return CWnd::OnCreate(create);
    }
    void OnSize(UINT, int cx, int cy)
    {
        CString text;
        text.Format(L"size:%dx%d", cx, cy);
        events.push_back(text);
    }
    LRESULT OnNcHitTest(CPoint) { return HTCAPTION; }
    LRESULT OnCustom(WPARAM wParam, LPARAM lParam) { return static_cast<LRESULT>(wParam + lParam); }
    void OnSave() { events.push_back(L"save"); }
    void OnUpdateSave(CCmdUI* ui) { ui->Enable(FALSE); }
    void OnChecked() { events.push_back(L"checked"); }
    void OnUpdateChecked(CCmdUI* ui) { ui->SetCheck(1); }
    void OnRange(UINT id)
    {
        CString text;
        text.Format(L"range:%u", id);
        events.push_back(text);
    }
    void OnChildClicked() { events.push_back(L"parent sees click"); }
    void OnChildNotified(NMHDR* header, LRESULT* result)
    {
        events.push_back(L"parent sees notify");
        *result = 7;
    }
    void PostNcDestroy() override
    {
        if (deleteOnNcDestroy)
            delete this;
    }
    DECLARE_MESSAGE_MAP()
};

constexpr UINT WM_CUSTOM = WM_APP + 1;

BEGIN_MESSAGE_MAP(RecordingWnd, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_NCHITTEST()
    ON_MESSAGE(WM_CUSTOM, OnCustom)
    ON_COMMAND(ID_SAVE, OnSave)
    ON_UPDATE_COMMAND_UI(ID_SAVE, OnUpdateSave)
    ON_COMMAND(ID_CHECKED, OnChecked)
    ON_UPDATE_COMMAND_UI(ID_CHECKED, OnUpdateChecked)
    ON_UPDATE_COMMAND_UI(ID_CHECKED_ONLY, OnUpdateChecked)
    ON_COMMAND_RANGE(ID_RANGE_FIRST, ID_RANGE_LAST, OnRange)
    ON_BN_CLICKED(ID_CHILD, OnChildClicked)
    ON_NOTIFY(NM_TEST, ID_CHILD, OnChildNotified)
END_MESSAGE_MAP()

// A control that answers its own click notification, so its parent never sees it.
class SelfHandlingButton : public CWnd {
public:
    int clicks = 0;
    int notifies = 0;

protected:
    void OnReflectedClick() { ++clicks; }
    void OnReflectedNotify(NMHDR*, LRESULT* result)
    {
        ++notifies;
        *result = 42;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SelfHandlingButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, OnReflectedClick)
    ON_NOTIFY_REFLECT(NM_TEST, OnReflectedNotify)
END_MESSAGE_MAP()

class MfcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetCurrentDisplay(std::make_unique<HeadlessDisplay>());
        RecordingWnd::deleted = 0;
    }
    void TearDown() override
    {
        while (HWND window = GetTopWindow(nullptr))
            DestroyWindow(window);
        AfxDeleteTempObjects();
    }
    static BOOL MakeTopLevel(CWnd& window)
    {
        return window.CreateEx(0, nullptr, L"Top", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr);
    }
};

TEST_F(MfcTest, TheObjectSeesItsWindowFromTheFirstMessageAndHandlersGetUnpackedParameters)
{
    RecordingWnd window;
    ASSERT_TRUE(MakeTopLevel(window));
    EXPECT_EQ(CWnd::FromHandlePermanent(window.m_hWnd), &window);
    ASSERT_GE(window.events.size(), 2u);
    EXPECT_EQ(window.events[0], CString(L"create:Top"));
    RECT client;
    window.GetClientRect(&client);
    CString size;
    size.Format(L"size:%dx%d", client.right, client.bottom);
    EXPECT_EQ(window.events[1], size);
    EXPECT_EQ(window.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(20, 20)), HTCAPTION);
    EXPECT_EQ(window.SendMessage(WM_CUSTOM, 3, 4), 7);
    // A message without an entry goes to the default procedure.
    window.SetWindowText(L"Renamed");
    EXPECT_EQ(window.GetWindowText(), CString(L"Renamed"));
}

TEST_F(MfcTest, DestroyingTheWindowDetachesTheObjectAndASelfOwnedObjectDeletesItself)
{
    auto* window = new RecordingWnd;
    window->deleteOnNcDestroy = true;
    ASSERT_TRUE(MakeTopLevel(*window));
    HWND handle = window->m_hWnd;
    DestroyWindow(handle);
    EXPECT_EQ(RecordingWnd::deleted, 1);
    EXPECT_EQ(CWnd::FromHandlePermanent(handle), nullptr);

    {
        RecordingWnd scoped;
        ASSERT_TRUE(MakeTopLevel(scoped));
        handle = scoped.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(handle)) << "an object going away destroys its window";
}

TEST_F(MfcTest, CommandsRouteThroughTheMapAndNotificationsAreReflectedToTheControlFirst)
{
    RecordingWnd parent;
    ASSERT_TRUE(MakeTopLevel(parent));
    CWnd plainChild;
    ASSERT_TRUE(plainChild.Create(nullptr, L"", WS_VISIBLE, CRect(0, 0, 20, 20), &parent, ID_CHILD));

    parent.SendMessage(WM_COMMAND, MAKEWPARAM(ID_SAVE, 0), 0);
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(ID_RANGE_FIRST + 4, 0), 0);
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CHILD, BN_CLICKED), reinterpret_cast<LPARAM>(plainChild.m_hWnd));
    NMHDR header { plainChild.m_hWnd, ID_CHILD, NM_TEST };
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, ID_CHILD, reinterpret_cast<LPARAM>(&header)), 7);
    EXPECT_EQ(parent.events.back(), CString(L"parent sees notify"));
    std::vector<CString> commands(parent.events.end() - 4, parent.events.end() - 1);
    EXPECT_EQ(commands, (std::vector<CString> { L"save", L"range:304", L"parent sees click" }));

    SelfHandlingButton button;
    ASSERT_TRUE(button.Create(nullptr, L"", WS_VISIBLE, CRect(0, 30, 20, 50), &parent, ID_CHILD + 1));
    size_t before = parent.events.size();
    parent.SendMessage(WM_COMMAND, MAKEWPARAM(ID_CHILD + 1, BN_CLICKED), reinterpret_cast<LPARAM>(button.m_hWnd));
    NMHDR buttonHeader { button.m_hWnd, ID_CHILD + 1, NM_TEST };
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, ID_CHILD + 1, reinterpret_cast<LPARAM>(&buttonHeader)), 42);
    EXPECT_EQ(button.clicks, 1);
    EXPECT_EQ(button.notifies, 1);
    EXPECT_EQ(parent.events.size(), before);
}

TEST_F(MfcTest, TheToolUnderAPointIsTheVisibleChildControlThere)
{
    RecordingWnd parent;
    ASSERT_TRUE(MakeTopLevel(parent));
    CWnd control, hidden;
    ASSERT_TRUE(control.Create(nullptr, L"", WS_VISIBLE, CRect(10, 10, 30, 30), &parent, ID_CHILD));
    ASSERT_TRUE(hidden.Create(nullptr, L"", 0, CRect(40, 10, 60, 30), &parent, ID_CHILD + 1));
    TOOLINFO info {};
    EXPECT_EQ(parent.OnToolHitTest(CPoint(15, 15), &info), static_cast<INT_PTR>(ID_CHILD));
    EXPECT_EQ(info.hwnd, parent.m_hWnd);
    EXPECT_EQ(info.uId, reinterpret_cast<UINT_PTR>(control.m_hWnd));
    EXPECT_TRUE(info.uFlags & TTF_IDISHWND);
    EXPECT_EQ(CRect(info.rect), CRect(10, 10, 30, 30));
    EXPECT_EQ(info.lpszText, LPSTR_TEXTCALLBACKW);
    EXPECT_EQ(parent.OnToolHitTest(CPoint(45, 15), nullptr), -1) << "hidden controls are no tools";
    EXPECT_EQ(parent.OnToolHitTest(CPoint(100, 100), nullptr), -1);
}

TEST_F(MfcTest, UpdateHandlersSetMenuItemsAndItemsWithoutAnyHandlerAreDisabled)
{
    RecordingWnd window;
    ASSERT_TRUE(MakeTopLevel(window));
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_SAVE, L"Save");
    menu.AppendMenu(MF_STRING, ID_RANGE_FIRST, L"In range");
    menu.AppendMenu(MF_STRING, ID_UNHANDLED, L"Nobody");
    // Update handlers that only set the check: the command handler decides the enabling.
    menu.AppendMenu(MF_STRING | MF_GRAYED, ID_CHECKED, L"Checked");
    menu.AppendMenu(MF_STRING, ID_CHECKED_ONLY, L"Checked, no command");
    for (UINT index = 0; index < menu.GetMenuItemCount(); ++index) {
        CCmdUI ui;
        ui.m_hMenu = menu;
        ui.m_nIndex = index;
        ui.m_nID = menu.GetMenuItemID(static_cast<int>(index));
        ui.DoUpdate(&window, TRUE);
    }
    EXPECT_TRUE(menu.GetMenuState(0, MF_BYPOSITION) & MF_GRAYED) << "its update handler disabled it";
    EXPECT_FALSE(menu.GetMenuState(1, MF_BYPOSITION) & MF_GRAYED) << "a command handler exists";
    EXPECT_TRUE(menu.GetMenuState(2, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_EQ(menu.GetMenuState(3, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED), UINT(MF_CHECKED)) << "grey before, enabled now";
    EXPECT_EQ(menu.GetMenuState(4, MF_BYPOSITION) & (MF_GRAYED | MF_CHECKED), UINT(MF_GRAYED | MF_CHECKED));
    EXPECT_EQ(std::ranges::count(window.events, CString(L"checked")), 0) << "asking for a handler runs no command";
}

TEST_F(MfcTest, SubclassingAWindowKeepsItsOwnProcedureAsTheDefault)
{
    HWND plain = CreateWindowExW(0, AfxRegisterWndClass(0), L"Plain", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(plain);
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
    CWnd* temporary = CWnd::FromHandle(plain);
    ASSERT_NE(temporary, nullptr);
    EXPECT_EQ(temporary->GetWindowText(), CString(L"Plain"));
    AfxDeleteTempObjects();
    EXPECT_TRUE(IsWindow(plain)) << "deleting a temporary object leaves its window alone";

    RecordingWnd window;
    ASSERT_TRUE(window.SubclassWindow(plain));
    EXPECT_EQ(window.SendMessage(WM_CUSTOM, 1, 1), 2);
    EXPECT_EQ(window.UnsubclassWindow(), plain);
    EXPECT_EQ(SendMessageW(plain, WM_CUSTOM, 1, 1), 0);
    DestroyWindow(plain);
}

TEST_F(MfcTest, TheApplicationRunsItsLoopUntilQuitAndKeepsSettings)
{
    auto folder = std::filesystem::temp_directory_path() / ("fln-mfc-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    {
        struct App : CWinApp {
            using CWinApp::CWinApp;
            int idleCalls = 0;
            int freshIdles = 0;
            BOOL OnIdle(LONG count) override
            {
                ++idleCalls;
                // A message after the first idle time starts idle processing over.
                if (count == 0 && ++freshIdles == 1)
                    m_pMainWnd->PostMessage(WM_CUSTOM, 1, 2);
                else if (count == 0)
                    PostQuitMessage(5);
                return CWinApp::OnIdle(count);
            }
        } app(L"MfcTest");
        RecordingWnd main;
        ASSERT_TRUE(MakeTopLevel(main));
        app.m_pMainWnd = &main;
        EXPECT_EQ(AfxGetMainWnd(), &main);
        EXPECT_EQ(app.Run(), 5);
        EXPECT_EQ(app.freshIdles, 2);
        EXPECT_EQ(app.idleCalls, 2) << "each idle time ends with the message its first call posts";

        app.SetRegistryKey(L"Formulon Tests");
        EXPECT_TRUE(app.WriteProfileInt(L"Settings", L"Digits", 12));
        EXPECT_TRUE(app.WriteProfileString(L"Settings", L"Name", L"value"));
        const BYTE bytes[] = { 0, 1, 0xFE };
        EXPECT_TRUE(app.WriteProfileBinary(L"Settings", L"Blob", bytes, 3));
        EXPECT_EQ(app.GetProfileInt(L"Settings", L"Digits", 0), 12u);
        EXPECT_EQ(app.GetProfileInt(L"Settings", L"Missing", -1), static_cast<UINT>(-1));
        EXPECT_EQ(app.GetProfileString(L"Settings", L"Name"), CString(L"value"));
        BYTE* read = nullptr;
        UINT count = 0;
        ASSERT_TRUE(app.GetProfileBinary(L"Settings", L"Blob", &read, &count));
        EXPECT_EQ(std::vector<BYTE>(read, read + count), std::vector<BYTE>(bytes, bytes + 3));
        delete[] read;

        app.LoadStdProfileSettings(2);
        app.AddToRecentFileList(L"/a.fln");
        app.AddToRecentFileList(L"/b.fln");
        app.AddToRecentFileList(L"/A.FLN");
        app.LoadStdProfileSettings(2);
        EXPECT_EQ(app.RecentFiles(), (std::vector<CString> { L"/A.FLN", L"/b.fln" }));
    }
    EXPECT_EQ(AfxGetApp(), nullptr);
    std::filesystem::remove_all(folder);
}

} // namespace
