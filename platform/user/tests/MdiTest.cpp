#include "UserTestSupport.h"
#include "PixelChecks.h"
#include "platform/user/Mdi.h"
#include "platform/user/MdiLayout.h"

#include <string>

using namespace fln::user;

// Rectangles compared (by the geometry's own comparison) and printed by their edges.
bool operator==(const RECT& a, const RECT& b);
void PrintTo(const RECT& r, std::ostream* out)
{
    *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

constexpr UINT kFirstChildId = 100;

std::wstring MenuText(HMENU menu, int position)
{
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
    return text;
}

std::wstring TitleOf(HWND window)
{
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

HWND g_client = nullptr;

LRESULT FrameProcedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog::Instance().entries.push_back({ frame, message, wParam, lParam });
    return DefFrameProcW(frame, g_client, message, wParam, lParam);
}

LRESULT ChildProcedure(HWND child, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageLog::Instance().entries.push_back({ child, message, wParam, lParam });
    return DefMDIChildProcW(child, message, wParam, lParam);
}

} // namespace

TEST(MdiLayoutTest, CascadeStepsAndStartsAgainAtTheTopLeft)
{
    MdiMetrics metrics { 20, 160, 24 };
    RECT client { 0, 0, 300, 240 };
    auto rects = CascadeRects(3, client, metrics);
    ASSERT_EQ(rects.size(), 3u);
    // Each is the client less the steps of the others.
    EXPECT_EQ(rects[0], (RECT { 0, 0, 260, 200 }));
    EXPECT_EQ(rects[2], (RECT { 40, 40, 300, 240 }));
    // Two thirds of the client at least; then the cascade wraps.
    rects = CascadeRects(12, client, metrics);
    EXPECT_EQ(rects[0].right - rects[0].left, 200);
    EXPECT_EQ(rects[0].bottom - rects[0].top, 160);
    EXPECT_EQ(rects[4], (RECT { 80, 80, 280, 240 }));
    EXPECT_EQ(rects[5].left, 0);
    EXPECT_TRUE(CascadeRects(0, client, metrics).empty());
}

TEST(MdiLayoutTest, TilesFillTheClientInStripes)
{
    RECT client { 0, 0, 300, 200 };
    struct Case {
        int count;
        bool sideBySide;
        std::vector<RECT> expected;
    };
    const Case cases[] = {
        { 1, true, { { 0, 0, 300, 200 } } },
        { 2, true, { { 0, 0, 150, 200 }, { 150, 0, 300, 200 } } },
        { 2, false, { { 0, 0, 300, 100 }, { 0, 100, 300, 200 } } },
        { 4, true, { { 0, 0, 150, 100 }, { 0, 100, 150, 200 }, { 150, 0, 300, 100 }, { 150, 100, 300, 200 } } },
        // Five: three columns, the later ones holding the extra windows.
        { 5, true, { { 0, 0, 100, 200 }, { 100, 0, 200, 100 }, { 100, 100, 200, 200 }, { 200, 0, 300, 100 }, { 200, 100, 300, 200 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        EXPECT_EQ(TileRects(c.count, client, c.sideBySide), c.expected);
    }
}

TEST(MdiLayoutTest, IconsFillRowsFromTheBottomLeft)
{
    MdiMetrics metrics { 20, 100, 24 };
    RECT client { 0, 0, 250, 200 };
    EXPECT_EQ(IconSlot(0, client, metrics), (RECT { 0, 176, 100, 200 }));
    EXPECT_EQ(IconSlot(1, client, metrics), (RECT { 100, 176, 200, 200 }));
    EXPECT_EQ(IconSlot(2, client, metrics), (RECT { 0, 152, 100, 176 }));
    EXPECT_EQ(IconRows(0, client, metrics), 0);
    EXPECT_EQ(IconRows(3, client, metrics), 2);
}

class MdiTest : public UserTest {
protected:
    void SetUp() override
    {
        UserTest::SetUp();
        static ATOM classes = [] {
            WNDCLASSEXW frameClass { sizeof frameClass };
            frameClass.lpfnWndProc = FrameProcedure;
            frameClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_BTNFACE + 1));
            frameClass.lpszClassName = L"TestMdiFrame";
            RegisterClassExW(&frameClass);
            WNDCLASSEXW childClass { sizeof childClass };
            childClass.lpfnWndProc = ChildProcedure;
            childClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            childClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_WINDOW + 1));
            childClass.lpszClassName = L"TestMdiChild";
            return RegisterClassExW(&childClass);
        }();
        ASSERT_NE(classes, 0);
        menu = CreateMenu();
        HMENU file = CreatePopupMenu();
        AppendMenuW(file, MF_STRING, 1, L"E&xit");
        windowMenu = CreatePopupMenu();
        AppendMenuW(windowMenu, MF_STRING, 2, L"&Cascade");
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
        AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(windowMenu), L"&Window");
        frame = CreateWindowExW(0, L"TestMdiFrame", L"Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 500, 400, nullptr, menu, nullptr, nullptr);
        CLIENTCREATESTRUCT create { windowMenu, kFirstChildId };
        RECT area;
        GetClientRect(frame, &area);
        g_client = client = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
            area.right, area.bottom, frame, reinterpret_cast<HMENU>(0xCAC), nullptr, &create);
        ASSERT_TRUE(client);
        SetActiveWindow(frame);
        Pump();
    }

    void TearDown() override
    {
        UserTest::TearDown();
        g_client = nullptr;
    }

    HWND NewChild(LPCWSTR title, RECT r = { CW_USEDEFAULT, 0, CW_USEDEFAULT, 0 }, DWORD style = 0)
    {
        HWND child = CreateMDIWindowW(L"TestMdiChild", title, style, r.left, r.top, r.right, r.bottom, client, nullptr, 0);
        Pump();
        return child;
    }

    HWND Active(BOOL* maximized = nullptr) const
    {
        return reinterpret_cast<HWND>(SendMessageW(client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
    }

    // A pixel of a child's caption bar, left of its icon.
    COLORREF CaptionPixel(HWND child)
    {
        HDC dc = GetWindowDC(child);
        int frameWidth = GetSystemMetrics(SM_CXFRAME);
        // The caption's left edge, where a gradient starts from the caption colour.
        COLORREF colour = GetPixel(dc, frameWidth, frameWidth + 2);
        ReleaseDC(child, dc);
        return colour;
    }

    RECT RectInClient(HWND child) const
    {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, client, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    HMENU menu = nullptr;
    HMENU windowMenu = nullptr;
    HWND frame = nullptr;
    HWND client = nullptr;
};

TEST_F(MdiTest, ANewChildIsActiveNumberedAndListedInTheWindowMenu)
{
    HWND one = NewChild(L"One");
    HWND two = NewChild(L"Two");
    ASSERT_TRUE(one && two);
    EXPECT_EQ(Active(), two);
    EXPECT_EQ(GetDlgCtrlID(one), static_cast<int>(kFirstChildId));
    EXPECT_EQ(GetDlgCtrlID(two), static_cast<int>(kFirstChildId + 1));
    EXPECT_TRUE(GetWindowLongW(one, GWL_EXSTYLE) & WS_EX_MDICHILD);
    EXPECT_EQ(GetFocus(), two);
    // The menu's own item, a separator, then the children with the active one checked.
    ASSERT_EQ(GetMenuItemCount(windowMenu), 4);
    EXPECT_TRUE(GetMenuState(windowMenu, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(MenuText(windowMenu, 2), L"&1 One");
    EXPECT_EQ(MenuText(windowMenu, 3), L"&2 Two");
    EXPECT_FALSE(GetMenuState(windowMenu, kFirstChildId, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(windowMenu, kFirstChildId + 1, MF_BYCOMMAND) & MF_CHECKED);
    // Cascaded: the second lies one step right of and below the first.
    int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    EXPECT_EQ(RectInClient(two).left - RectInClient(one).left, step);
    SetWindowTextW(one, L"First");
    EXPECT_EQ(MenuText(windowMenu, 2), L"&1 First");
}

TEST_F(MdiTest, ActivationTellsBothChildrenAndRedrawsTheirCaptions)
{
    HWND one = NewChild(L"One", { 0, 0, 200, 150 });
    HWND two = NewChild(L"Two", { 220, 0, 200, 150 });
    MessageLog::Instance().entries.clear();
    SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(one), 0);
    Pump();
    EXPECT_EQ(Active(), one);
    const auto& entries = MessageLog::Instance().entries;
    auto activation = [&](HWND to) {
        for (const auto& e : entries) {
            if (e.window == to && e.message == WM_MDIACTIVATE)
                return std::pair { reinterpret_cast<HWND>(e.wParam), reinterpret_cast<HWND>(e.lParam) };
        }
        return std::pair<HWND, HWND> {};
    };
    EXPECT_EQ(activation(two), std::pair(two, one));
    EXPECT_EQ(activation(one), std::pair(two, one));
    EXPECT_EQ(CaptionPixel(one), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(CaptionPixel(two), GetSysColor(COLOR_INACTIVECAPTION));
    // The frame losing activation takes the active child's caption with it.
    SetActiveWindow(nullptr);
    Pump();
    EXPECT_EQ(CaptionPixel(one), GetSysColor(COLOR_INACTIVECAPTION));
}

TEST_F(MdiTest, AClickInAnInactiveChildActivatesIt)
{
    HWND one = NewChild(L"One", { 0, 0, 200, 150 });
    HWND two = NewChild(L"Two", { 220, 0, 200, 150 });
    ASSERT_EQ(Active(), two);
    Click(ScreenPoint(one, 20, 20));
    EXPECT_EQ(Active(), one);
    EXPECT_EQ(GetFocus(), one);
    EXPECT_EQ(CaptionPixel(one), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(CaptionPixel(two), GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_TRUE(pixel_checks::MatchesExpectedImage(frame, "mdi-two-children.png"));
}

TEST_F(MdiTest, AMaximisedChildPutsItsButtonsIntoTheFramesMenuBar)
{
    HWND one = NewChild(L"One");
    HWND two = NewChild(L"Two");
    SendMessageW(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(two), 0);
    Pump();
    BOOL maximized = FALSE;
    EXPECT_EQ(Active(&maximized), two);
    EXPECT_TRUE(maximized);
    // Its client area covers the MDI client's; the caption lies outside.
    RECT inner, area;
    GetClientRect(two, &inner);
    GetClientRect(client, &area);
    EXPECT_EQ(inner, area);
    EXPECT_EQ(TitleOf(frame), L"Frame - [Two]");
    ASSERT_EQ(GetMenuItemCount(menu), 6);
    MENUITEMINFOW system { sizeof system };
    system.fMask = MIIM_BITMAP | MIIM_SUBMENU | MIIM_DATA;
    GetMenuItemInfoW(menu, 0, TRUE, &system);
    EXPECT_EQ(system.hbmpItem, HBMMENU_SYSTEM);
    EXPECT_EQ(system.hSubMenu, GetSystemMenu(two, FALSE));
    EXPECT_EQ(GetMenuItemID(menu, 3), SC_MINIMIZE);
    EXPECT_EQ(GetMenuItemID(menu, 4), SC_RESTORE);
    EXPECT_EQ(GetMenuItemID(menu, 5), SC_CLOSE);
    // The close button sits at the right end of the menu bar.
    RECT frameRect;
    GetWindowRect(frame, &frameRect);
    HDC dc = GetWindowDC(frame);
    int frameWidth = GetSystemMetrics(SM_CXFRAME);
    int barTop = frameWidth + GetSystemMetrics(SM_CYCAPTION);
    int right = frameRect.right - frameRect.left - frameWidth;
    EXPECT_EQ(GetPixel(dc, right - 2, barTop + 2), GetSysColor(COLOR_3DDKSHADOW)); // the button's outer bottom-right edge
    ReleaseDC(frame, dc);

    // Another child takes the maximised state over.
    SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(one), 0);
    Pump();
    EXPECT_TRUE(IsZoomed(one));
    EXPECT_FALSE(IsZoomed(two));
    EXPECT_EQ(TitleOf(frame), L"Frame - [One]");
    EXPECT_EQ(GetMenuItemCount(menu), 6);
    // The restore button of the menu bar reaches the child as a system command.
    SendMessageW(frame, WM_COMMAND, SC_RESTORE, 0);
    Pump();
    EXPECT_FALSE(IsZoomed(one));
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(TitleOf(frame), L"Frame");
}

TEST_F(MdiTest, ClosingTheActiveChildActivatesTheNextAndRenumbers)
{
    HWND one = NewChild(L"One");
    HWND two = NewChild(L"Two");
    HWND three = NewChild(L"Three");
    SendMessageW(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(three), 0);
    SendMessageW(three, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(three));
    EXPECT_EQ(Active(), two);
    EXPECT_TRUE(IsZoomed(two));
    EXPECT_EQ(TitleOf(frame), L"Frame - [Two]");
    SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(one), 0);
    Pump();
    EXPECT_EQ(GetDlgCtrlID(two), static_cast<int>(kFirstChildId));
    EXPECT_EQ(MenuText(windowMenu, 2), L"&1 Two");
    EXPECT_EQ(GetMenuItemCount(windowMenu), 3);
    SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(two), 0);
    Pump();
    EXPECT_EQ(Active(), nullptr);
    EXPECT_EQ(GetMenuItemCount(windowMenu), 1);
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_EQ(TitleOf(frame), L"Frame");
}

TEST_F(MdiTest, CascadeTileAndIconArrangement)
{
    HWND one = NewChild(L"One", { 10, 10, 100, 80 });
    HWND two = NewChild(L"Two", { 30, 30, 100, 80 });
    HWND three = NewChild(L"Three", { 50, 50, 100, 80 });
    RECT area;
    GetClientRect(client, &area);
    SendMessageW(client, WM_MDITILE, MDITILE_VERTICAL, 0);
    Pump();
    auto tiles = TileRects(3, area, true);
    // Tiled in Z order: the active (topmost) child first.
    EXPECT_EQ(RectInClient(three), tiles[0]);
    EXPECT_EQ(RectInClient(two), tiles[1]);
    EXPECT_EQ(RectInClient(one), tiles[2]);
    EXPECT_EQ(Active(), three);

    SendMessageW(client, WM_MDICASCADE, 0, 0);
    Pump();
    MdiMetrics metrics { GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME), GetSystemMetrics(SM_CXMINIMIZED), GetSystemMetrics(SM_CYMINIMIZED) };
    auto cascade = CascadeRects(3, area, metrics);
    EXPECT_EQ(RectInClient(one), cascade[0]);
    EXPECT_EQ(RectInClient(three), cascade[2]);
    EXPECT_EQ(GetWindow(client, GW_CHILD), three); // still on top

    // A minimised child goes to the bottom row; the tiles leave that row free.
    ShowWindow(one, SW_MINIMIZE);
    Pump();
    EXPECT_EQ(RectInClient(one), IconSlot(0, area, metrics));
    SendMessageW(client, WM_MDITILE, MDITILE_HORIZONTAL, 0);
    Pump();
    RECT above = area;
    above.bottom -= metrics.iconHeight;
    EXPECT_EQ(RectInClient(three), TileRects(2, above, false)[0]);
    EXPECT_EQ(RectInClient(one), IconSlot(0, area, metrics));
}

TEST_F(MdiTest, NextAndPreviousWalkTheZOrder)
{
    HWND one = NewChild(L"One");
    HWND two = NewChild(L"Two");
    HWND three = NewChild(L"Three");
    SendMessageW(client, WM_MDINEXT, 0, 0);
    EXPECT_EQ(Active(), two);
    EXPECT_EQ(GetWindow(client, GW_CHILD), two);
    EXPECT_EQ(GetWindow(two, GW_HWNDLAST), three); // the one left goes to the bottom
    SendMessageW(client, WM_MDINEXT, 0, 1);
    EXPECT_EQ(Active(), three);
    (void)one;
}

TEST_F(MdiTest, TheKeyboardClosesAndCyclesChildren)
{
    HWND one = NewChild(L"One");
    HWND two = NewChild(L"Two");
    auto translate = [&](unsigned key) {
        headless->InjectKey(VK_CONTROL, true);
        headless->InjectKey(key, true);
        MSG message {};
        bool translated = false;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (TranslateMDISysAccel(client, &message)) {
                translated = true;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        headless->InjectKey(key, false);
        headless->InjectKey(VK_CONTROL, false);
        Pump();
        return translated;
    };
    EXPECT_TRUE(translate(VK_F6));
    EXPECT_EQ(Active(), one);
    EXPECT_TRUE(translate(VK_F4));
    EXPECT_FALSE(IsWindow(one));
    EXPECT_EQ(Active(), two);
    EXPECT_FALSE(translate('A'));
}

TEST_F(MdiTest, PastNineChildrenTheWindowMenuOffersMoreWindows)
{
    std::vector<HWND> children;
    for (int i = 1; i <= 11; ++i)
        children.push_back(NewChild((L"Doc " + std::to_wstring(i)).c_str()));
    // Nine entries, the active (last) child taking the ninth place, then "More Windows...".
    ASSERT_EQ(GetMenuItemCount(windowMenu), 2 + 9 + 1);
    EXPECT_EQ(MenuText(windowMenu, 2), L"&1 Doc 1");
    EXPECT_EQ(MenuText(windowMenu, 10), L"&9 Doc 11");
    EXPECT_EQ(MenuText(windowMenu, 11), L"&More Windows...");
    // It lists every child; choosing one activates it.
    SetModalLoopHook([&](HWND dialog) {
        HWND list = GetDlgItem(dialog, 100);
        ASSERT_TRUE(list);
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 11);
        SendMessageW(list, LB_SETCURSEL, 9, 0);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(frame, WM_COMMAND, kFirstChildId + MDI_LISTED_CHILDREN, 0);
    SetModalLoopHook({});
    EXPECT_EQ(Active(), children[9]);
    // A listed entry activates its child.
    SendMessageW(frame, WM_COMMAND, kFirstChildId + 1, 0);
    EXPECT_EQ(Active(), children[1]);
}

TEST_F(MdiTest, WindowMenuCanBeReplaced)
{
    NewChild(L"One");
    HMENU other = CreateMenu();
    HMENU otherWindows = CreatePopupMenu();
    AppendMenuW(other, MF_POPUP, reinterpret_cast<UINT_PTR>(otherWindows), L"&Windows");
    LRESULT old = SendMessageW(client, WM_MDISETMENU, reinterpret_cast<WPARAM>(other), reinterpret_cast<LPARAM>(otherWindows));
    EXPECT_EQ(reinterpret_cast<HMENU>(old), menu);
    EXPECT_EQ(GetMenu(frame), other);
    EXPECT_EQ(GetMenuItemCount(windowMenu), 1); // the old list is gone
    ASSERT_EQ(GetMenuItemCount(otherWindows), 1);
    EXPECT_EQ(MenuText(otherWindows, 0), L"&1 One");
    SetMenu(frame, menu);
    DestroyMenu(other);
}

TEST_F(MdiTest, AWindowMovedInOrOutOfTheClientJoinsOrLeavesTheChildren)
{
    HWND one = NewChild(L"One");
    HWND two = NewChild(L"Two");
    // Taken away while active: the other child becomes the active one.
    HWND elsewhere = CreateWindowExW(0, L"LoggingWindow", L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, frame, nullptr, nullptr, nullptr);
    SetParent(two, elsewhere);
    SendMessageW(client, WM_MDIREFRESHMENU, 0, 0);
    EXPECT_EQ(Active(), one);
    EXPECT_EQ(GetMenuItemCount(windowMenu), 3);
    // Given back, it is listed again after the others.
    SetParent(two, client);
    SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(two), 0);
    EXPECT_EQ(Active(), two);
    EXPECT_EQ(GetDlgCtrlID(two), static_cast<int>(kFirstChildId + 1));
    EXPECT_EQ(MenuText(windowMenu, 3), L"&2 Two");
}
