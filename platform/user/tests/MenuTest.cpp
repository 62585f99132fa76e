#include "UserTestSupport.h"

namespace {

using Menus = UserTest;

HMENU SampleMenu()
{
    HMENU sub = CreatePopupMenu();
    AppendMenuW(sub, MF_STRING, 201, L"&Deep");
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 101, L"&Copy\tCtrl+C");
    AppendMenuW(menu, MF_STRING | MF_GRAYED, 102, L"&Paste");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"&More");
    AppendMenuW(menu, MF_STRING, 103, L"&Last");
    return menu;
}

TEST_F(Menus, ItemsAreFoundByPositionAndByCommandInSubmenus)
{
    HMENU menu = SampleMenu();
    EXPECT_EQ(GetMenuItemCount(menu), 5);
    EXPECT_EQ(GetMenuItemID(menu, 0), 101u);
    EXPECT_EQ(GetMenuItemID(menu, 3), static_cast<UINT>(-1));
    HMENU sub = GetSubMenu(menu, 3);
    ASSERT_TRUE(sub);
    wchar_t text[32];
    EXPECT_EQ(GetMenuStringW(menu, 201, text, 32, MF_BYCOMMAND), 5);
    EXPECT_STREQ(text, L"&Deep");
    EXPECT_EQ(CheckMenuItem(menu, 201, MF_CHECKED), 0u);
    EXPECT_EQ(GetMenuState(sub, 0, MF_BYPOSITION) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(GetMenuState(menu, 102, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
    EnableMenuItem(menu, 102, MF_ENABLED);
    EXPECT_EQ(GetMenuState(menu, 102, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(GetMenuState(menu, 999, MF_BYCOMMAND), static_cast<UINT>(-1));

    MENUITEMINFOW info { sizeof info };
    info.fMask = MIIM_ID | MIIM_STRING | MIIM_DATA;
    info.wID = 104;
    info.dwTypeData = const_cast<LPWSTR>(L"Inserted");
    info.dwItemData = 77;
    ASSERT_TRUE(InsertMenuItemW(menu, 0, TRUE, &info));
    MENUITEMINFOW read { sizeof read };
    wchar_t buffer[4];
    read.fMask = MIIM_ID | MIIM_STRING | MIIM_DATA;
    read.dwTypeData = buffer;
    read.cch = 4;
    ASSERT_TRUE(GetMenuItemInfoW(menu, 104, FALSE, &read));
    EXPECT_STREQ(buffer, L"Ins"); // cut to fit
    EXPECT_EQ(read.dwItemData, 77u);
    CheckMenuRadioItem(menu, 1, 2, 2, MF_BYPOSITION);
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(menu, 2, MF_BYPOSITION) & MF_CHECKED, MF_CHECKED);

    // RemoveMenu keeps the submenu alive; DeleteMenu and DestroyMenu destroy it.
    EXPECT_TRUE(RemoveMenu(menu, 4, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(sub));
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), L"Again");
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(IsMenu(sub));
    EXPECT_FALSE(DestroyMenu(menu));
}

TEST_F(Menus, TrackPopupMenuFollowsKeysAndReturnsTheCommand)
{
    HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    HMENU menu = SampleMenu();
    std::vector<unsigned> keys { VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN };
    size_t next = 0;
    SetModalLoopHook([&](HWND) {
        if (next < keys.size()) {
            headless->InjectKey(keys[next], true);
            headless->InjectKey(keys[next++], false);
        }
    });
    // Down: Copy, Paste (grayed items can be highlighted), skip the separator to More; Right opens it.
    UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, 200, 200, 0, owner, nullptr));
    EXPECT_EQ(chosen, 201u);
    auto& log = MessageLog::Instance();
    EXPECT_EQ(log.Count(owner, WM_ENTERMENULOOP), 1);
    EXPECT_EQ(log.Count(owner, WM_EXITMENULOOP), 1);
    std::vector<LPARAM> popups;
    for (auto& m : log.entries)
        if (m.message == WM_INITMENUPOPUP)
            popups.push_back(m.lParam);
    EXPECT_EQ(popups, (std::vector<LPARAM> { MAKELPARAM(0, 0), MAKELPARAM(3, 0) })); // the submenu is item 3
    EXPECT_EQ(log.Count(owner, WM_COMMAND), 0);
    auto idle = std::find_if(log.entries.begin(), log.entries.end(), [&](auto& m) { return m.window == owner && m.message == WM_ENTERIDLE; });
    ASSERT_NE(idle, log.entries.end());
    EXPECT_EQ(idle->wParam, static_cast<WPARAM>(MSGF_MENU));
    DestroyMenu(menu);
}

TEST_F(Menus, WithoutNotificationsTheOwnerDoesNotPrepareThePopups)
{
    HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    HMENU menu = SampleMenu();
    std::vector<unsigned> keys { VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN };
    size_t next = 0;
    SetModalLoopHook([&](HWND) {
        if (next < keys.size()) {
            headless->InjectKey(keys[next], true);
            headless->InjectKey(keys[next++], false);
        }
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 200, 200, 0, owner, nullptr), 201);
    EXPECT_EQ(MessageLog::Instance().Count(owner, WM_INITMENUPOPUP), 0) << "not for the menu, nor for its submenu";
    DestroyMenu(menu);
}

TEST_F(Menus, ClickingAnItemPostsItsCommandAndClickingOutsideCancels)
{
    HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    HMENU menu = SampleMenu();
    // The first item's row lies just inside the popup's top-left corner.
    int step = 0;
    SetModalLoopHook([&](HWND popup) {
        RECT r;
        GetWindowRect(popup, &r);
        if (step++ == 0) {
            headless->InjectMouseMove({ r.left + 20, r.top + 10 });
            headless->InjectButton(1, true, { r.left + 20, r.top + 10 });
            headless->InjectButton(1, false, { r.left + 20, r.top + 10 });
        }
    });
    EXPECT_TRUE(TrackPopupMenu(menu, TPM_LEFTALIGN, 300, 300, 0, owner, nullptr));
    Pump();
    auto& log = MessageLog::Instance();
    auto command = std::find_if(log.entries.begin(), log.entries.end(), [](auto& m) { return m.message == WM_COMMAND; });
    ASSERT_NE(command, log.entries.end());
    EXPECT_EQ(LOWORD(command->wParam), 101);

    step = 0;
    SetModalLoopHook([&](HWND) {
        if (step++ == 0)
            headless->InjectButton(1, true, { 5, 5 });
    });
    EXPECT_FALSE(TrackPopupMenu(menu, TPM_LEFTALIGN, 300, 300, 0, owner, nullptr));
    // Grayed items cannot be chosen; Escape closes.
    std::vector<unsigned> keys { VK_DOWN, VK_DOWN, VK_RETURN, VK_ESCAPE };
    size_t next = 0;
    SetModalLoopHook([&](HWND) {
        if (next < keys.size()) {
            headless->InjectKey(keys[next], true);
            headless->InjectKey(keys[next++], false);
        }
    });
    EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 300, 300, 0, owner, nullptr), 0);
    DestroyMenu(menu);
}

// The menu bar's filter eats pointer moves inside the loop, and a pointer that jumps brings none:
// a click still chooses the item under it, not the one highlighted before.
TEST_F(Menus, AClickChoosesTheItemUnderThePointerWhateverMovesCameBefore)
{
    HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    HMENU menu = SampleMenu();
    static bool eatMoves = false;
    HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, [](int code, WPARAM, LPARAM lParam) -> LRESULT {
        return code == MSGF_MENU && eatMoves && reinterpret_cast<MSG*>(lParam)->message == WM_MOUSEMOVE;
    }, nullptr, GetCurrentThreadId());
    struct Case {
        const char* what;
        bool highlightFirst; // the pointer rested on "Copy" before it jumped
    } cases[] = { { "no move before the click", false }, { "another item highlighted", true } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        int step = 0;
        SetModalLoopHook([&](HWND popup) {
            RECT r;
            GetWindowRect(popup, &r);
            const POINT copy { r.left + 20, r.top + 10 }, last { r.left + 20, r.bottom - 8 };
            if (step == 0 && c.highlightFirst) {
                eatMoves = false;
                headless->InjectMouseMove(copy);
            } else if (step == 1) {
                eatMoves = true;
                headless->InjectMouseMove(last);
                headless->InjectButton(1, true, last);
                headless->InjectButton(1, false, last);
            }
            ++step;
        });
        EXPECT_EQ(TrackPopupMenu(menu, TPM_RETURNCMD, 300, 300, 0, owner, nullptr), 103);
    }
    eatMoves = false;
    UnhookWindowsHookEx(filter);
    DestroyMenu(menu);
}

TEST_F(Menus, PopupStaysInsideTheWorkArea)
{
    HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    HMENU menu = SampleMenu();
    RECT placed {};
    SetModalLoopHook([&](HWND popup) {
        GetWindowRect(popup, &placed);
        EndMenu();
    });
    TrackPopupMenu(menu, 0, 1275, 1020, 0, owner, nullptr);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(placed.right, work.right);
    EXPECT_LE(placed.bottom, work.bottom);
    EXPECT_GT(placed.right - placed.left, 50);
    DestroyMenu(menu);
}

TEST_F(Menus, SystemMenuAndMenuBar)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    HMENU system = GetSystemMenu(window, FALSE);
    ASSERT_TRUE(system);
    EXPECT_EQ(GetSystemMenu(window, FALSE), system);
    EXPECT_EQ(GetMenuDefaultItem(system, FALSE, 0), SC_CLOSE);
    RECT before;
    GetClientRect(window, &before);
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 301, L"E&xit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    ASSERT_TRUE(SetMenu(window, bar));
    RECT after;
    GetClientRect(window, &after);
    EXPECT_EQ(before.bottom - after.bottom, GetSystemMetrics(SM_CYMENU));
    Pump();
    POINT onFile { 100 + 4 + 10, 100 + 4 + 19 + 8 };
    EXPECT_EQ(SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(onFile.x, onFile.y)), HTMENU);
    std::vector<unsigned> keys { VK_DOWN, VK_RETURN };
    size_t next = 0;
    SetModalLoopHook([&](HWND) {
        if (next < keys.size()) {
            headless->InjectKey(keys[next], true);
            headless->InjectKey(keys[next++], false);
        }
    });
    Click(onFile);
    Pump();
    auto& log = MessageLog::Instance();
    auto command = std::find_if(log.entries.begin(), log.entries.end(), [](auto& m) { return m.message == WM_COMMAND; });
    ASSERT_NE(command, log.entries.end());
    EXPECT_EQ(LOWORD(command->wParam), 301);
}

TEST_F(Menus, TheMenuBarOpensFromTheKeyboard)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 301, L"E&xit");
    HMENU edit = CreatePopupMenu();
    AppendMenuW(edit, MF_STRING, 302, L"&Copy");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit), L"&Edit");
    SetMenu(window, bar);
    Pump();
    auto commands = [] {
        std::vector<WORD> ids;
        for (auto& m : MessageLog::Instance().entries)
            if (m.message == WM_COMMAND)
                ids.push_back(LOWORD(m.wParam));
        MessageLog::Instance().entries.clear();
        return ids;
    };
    std::vector<unsigned> keys;
    size_t next = 0;
    SetModalLoopHook([&](HWND) {
        if (next < keys.size()) {
            headless->InjectKey(keys[next], true);
            headless->InjectKey(keys[next++], false);
        }
    });
    // Alt+E opens Edit.
    keys = { VK_DOWN, VK_RETURN };
    headless->InjectKey(VK_MENU, true);
    headless->InjectKey('E', true, L"e");
    headless->InjectKey('E', false);
    headless->InjectKey(VK_MENU, false);
    Pump();
    EXPECT_EQ(commands(), (std::vector<WORD> { 302 }));
    // Alt alone, and F10, open the first menu.
    keys = { VK_DOWN, VK_RETURN };
    next = 0;
    Key(VK_MENU);
    EXPECT_EQ(commands(), (std::vector<WORD> { 301 }));
    next = 0;
    Key(VK_F10);
    EXPECT_EQ(commands(), (std::vector<WORD> { 301 }));
}

TEST_F(Menus, OwnerDrawnItemsAreMeasuredAndDrawnByTheOwner)
{
    HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_OWNERDRAW, 401, reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(0xABCD)));
    AppendMenuW(menu, MF_STRING, 402, L"Plain");
    std::vector<DRAWITEMSTRUCT> drawn;
    MessageLog::Instance().answer = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_MEASUREITEM) {
            auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            EXPECT_EQ(measure->CtlType, ODT_MENU);
            EXPECT_EQ(measure->itemData, 0xABCDu);
            measure->itemWidth = 300;
            measure->itemHeight = 40;
            return TRUE;
        }
        if (message == WM_DRAWITEM) {
            auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            drawn.push_back(*draw);
            HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
            FillRect(draw->hDC, &draw->rcItem, green);
            DeleteObject(green);
            return TRUE;
        }
        return std::nullopt;
    };
    RECT placed {};
    COLORREF middle = 0;
    SetModalLoopHook([&](HWND popup) {
        GetWindowRect(popup, &placed);
        middle = ScreenPixel(placed.left + 150, placed.top + 20);
        EndMenu();
    });
    TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, owner, nullptr);
    EXPECT_GE(placed.right - placed.left, 300);
    EXPECT_GE(placed.bottom - placed.top, 40 + 18);
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn[0].itemID, 401u);
    EXPECT_EQ(drawn[0].hwndItem, reinterpret_cast<HWND>(menu));
    EXPECT_EQ(drawn[0].rcItem.bottom - drawn[0].rcItem.top, 40);
    EXPECT_EQ(middle, RGB(0, 255, 0));
    DestroyMenu(menu);
}

// Owner-drawn items have no text the menu can read their mnemonics from: a typed character goes
// to the owner as WM_MENUCHAR, whose answer selects, chooses or closes; the highlighted item
// carries MFS_HILITE meanwhile.
TEST_F(Menus, TypedCharactersOfOwnerDrawnMenusAskTheOwner)
{
    HWND owner = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Pump();
    HMENU menu = CreatePopupMenu();
    for (UINT id : { 501u, 502u, 503u })
        AppendMenuW(menu, MF_OWNERDRAW, id, nullptr);
    struct Case {
        LRESULT answer;
        UINT chosen;
        int highlighted; // after the key, when the menu stays open
    };
    const Case cases[] = {
        { MAKELRESULT(2, MNC_EXECUTE), 503, -1 },
        { MAKELRESULT(1, MNC_SELECT), 0, 1 },
        { MAKELRESULT(0, MNC_CLOSE), 0, -1 },
        { MAKELRESULT(9, MNC_EXECUTE), 0, -1 }, // no such item: nothing happens
        { 0, 0, -1 },
    };
    for (const Case& c : cases) {
        std::vector<WPARAM> asked;
        MessageLog::Instance().answer = [&](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
            if (message == WM_MEASUREITEM) {
                reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = 20;
                return TRUE;
            }
            if (message == WM_MENUCHAR) {
                asked.push_back(wParam);
                EXPECT_EQ(reinterpret_cast<HMENU>(lParam), menu);
                return c.answer;
            }
            return std::nullopt;
        };
        int step = 0;
        int highlighted = -2;
        SetModalLoopHook([&](HWND) {
            if (step++ == 0) {
                headless->InjectKey('X', true);
                headless->InjectKey('X', false);
                return;
            }
            highlighted = -1;
            for (int i = 0; i < 3; ++i)
                if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MFS_HILITE)
                    highlighted = i;
            EndMenu();
        });
        UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, owner, nullptr));
        EXPECT_EQ(chosen, c.chosen) << HIWORD(c.answer);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], MAKEWPARAM(L'x', MF_POPUP));
        if (c.highlighted >= 0) {
            EXPECT_EQ(highlighted, c.highlighted);
        }
    }
    DestroyMenu(menu);

    // Text items answer their mnemonics themselves.
    MessageLog::Instance().answer = {};
    HMENU plain = SampleMenu();
    SetModalLoopHook([&](HWND) {
        headless->InjectKey('L', true);
        headless->InjectKey('L', false);
    });
    EXPECT_EQ(TrackPopupMenu(plain, TPM_RETURNCMD, 100, 100, 0, owner, nullptr), 103);
    DestroyMenu(plain);
}

} // namespace

namespace {

TEST_F(Menus, TheOpenMenusTitleIsSunkenWhileItsPopupShows)
{
    HWND window = TopLevel(WS_OVERLAPPEDWINDOW | WS_VISIBLE, { 100, 100, 400, 300 });
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 301, L"E&xit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    AppendMenuW(bar, MF_STRING, 302, L"&Help");
    SetMenu(window, bar);
    Pump();
    // The File title's corners, in screen coordinates.
    int frame = GetSystemMetrics(SM_CXFRAME);
    POINT topLeft { 100 + frame, 100 + frame + GetSystemMetrics(SM_CYCAPTION) };
    POINT bottomLeft { topLeft.x, topLeft.y + GetSystemMetrics(SM_CYMENU) - 1 };
    auto corners = [&] { return std::pair { ScreenPixel(topLeft.x, topLeft.y), ScreenPixel(bottomLeft.x, bottomLeft.y) }; };
    const auto flat = std::pair { GetSysColor(COLOR_MENU), GetSysColor(COLOR_MENU) };
    EXPECT_EQ(corners(), flat);
    std::vector<std::pair<COLORREF, COLORREF>> whileOpen;
    SetModalLoopHook([&](HWND) {
        if (whileOpen.empty()) {
            whileOpen.push_back(corners());
            headless->InjectKey(VK_ESCAPE, true);
            headless->InjectKey(VK_ESCAPE, false);
        }
    });
    Click({ topLeft.x + 8, topLeft.y + 8 });
    Pump();
    ASSERT_EQ(whileOpen.size(), 1u);
    EXPECT_EQ(whileOpen[0], std::pair(GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(corners(), flat); // flat again once the popup has gone
    // A repaint of the frame while the menu is open keeps the title sunken.
    whileOpen.clear();
    SetModalLoopHook([&](HWND) {
        if (whileOpen.empty()) {
            RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
            whileOpen.push_back(corners());
            headless->InjectKey(VK_ESCAPE, true);
            headless->InjectKey(VK_ESCAPE, false);
        }
    });
    Click({ topLeft.x + 8, topLeft.y + 8 });
    Pump();
    ASSERT_EQ(whileOpen.size(), 1u);
    EXPECT_EQ(whileOpen[0].first, GetSysColor(COLOR_BTNSHADOW));
}

} // namespace
