// The popup-menu loop of TrackPopupMenu and of the menu bar: the popup windows of each open level,
// their layout and painting, the mouse and the keys, and the menu bar opened from a click or the
// keyboard.

#include "platform/user/MenuData.h"
#include "platform/user/MessageQueue.h"
#include "platform/user/NonClient.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace fln::user {
namespace {

constexpr int kSeparatorHeight = 9;
constexpr int kBorder = 3;

struct PopupLevel {
    HMENU menu;
    HWND window = nullptr;
    int hot = -1;
    std::vector<RECT> itemRects; // client coordinates
};

struct MenuLoop {
    HWND owner = nullptr;
    std::vector<PopupLevel> levels;
    bool ended = false;
    UINT chosen = 0;
    bool returnCommand = false;
    bool notifies = true; // without TPM_NONOTIFY: the owner may prepare each popup
};

MenuLoop* g_loop = nullptr;

HFONT MenuFont()
{
    static HFONT font = [] {
        NONCLIENTMETRICSW metrics { sizeof metrics };
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        return CreateFontIndirectW(&metrics.lfMenuFont);
    }();
    return font;
}

std::pair<std::wstring, std::wstring> SplitAccelerator(const std::wstring& text)
{
    size_t tab = text.find(L'\t');
    if (tab == std::wstring::npos)
        return { text, {} };
    return { text.substr(0, tab), text.substr(tab + 1) };
}

SIZE LayoutPopup(PopupLevel& level)
{
    Menu* menu = FindMenu(level.menu);
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = SelectObject(dc, MenuFont());
    int labelWidth = 0, acceleratorWidth = 0;
    for (const MenuItem& item : menu->items) {
        auto [label, accelerator] = SplitAccelerator(item.text);
        SIZE size {};
        RECT r {};
        DrawTextW(dc, label.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
        labelWidth = std::max<int>(labelWidth, r.right);
        if (!accelerator.empty()) {
            GetTextExtentPoint32W(dc, accelerator.c_str(), static_cast<int>(accelerator.size()), &size);
            acceleratorWidth = std::max<int>(acceleratorWidth, size.cx);
        }
    }
    SelectObject(dc, oldFont);
    ReleaseDC(nullptr, dc);
    int width = 16 + labelWidth + (acceleratorWidth ? 16 + acceleratorWidth : 0) + 16;
    // Owner-drawn items are measured by the menu's owner; the check-mark column comes on top.
    std::vector<int> heights;
    for (const MenuItem& item : menu->items) {
        // A text item is as tall as the menu bar's row, which grows with the interface font.
        int height = (item.type & MFT_SEPARATOR) ? kSeparatorHeight : GetSystemMetrics(SM_CYMENU) - 1;
        if ((item.type & MFT_OWNERDRAW) && g_loop) {
            MEASUREITEMSTRUCT measure { ODT_MENU, 0, item.id, 0, 0, item.data };
            SendMessageW(g_loop->owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
            width = std::max<int>(width, static_cast<int>(measure.itemWidth) + GetSystemMetrics(SM_CXMENUCHECK) - 1);
            height = static_cast<int>(measure.itemHeight);
        }
        heights.push_back(height);
    }
    level.itemRects.clear();
    int y = kBorder;
    for (int height : heights) {
        level.itemRects.push_back({ kBorder, y, kBorder + width, y + height });
        y += height;
    }
    return { width + 2 * kBorder, y + kBorder };
}

// Menu marks come as masks, black on white: only the black pixels take the mark's colour.
void DrawMenuMark(HDC dc, const RECT& where, UINT mark, COLORREF colour)
{
    int width = where.right - where.left, height = where.bottom - where.top;
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    HBRUSH brush = CreateSolidBrush(colour);
    {
        gdi::MemoryDC maskDc(dc, mask);
        RECT local { 0, 0, width, height };
        DrawFrameControl(maskDc, &local, DFC_MENU, mark);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0)), oldBack = SetBkColor(dc, RGB(255, 255, 255));
        constexpr DWORD kBrushWhereBlack = 0xB8074A;
        BitBlt(dc, where.left, where.top, width, height, maskDc, 0, 0, kBrushWhereBlack);
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
        SelectObject(dc, oldBrush);
    }
    DeleteObject(brush);
    DeleteObject(mask);
}

void DrawSubmenuArrow(HDC dc, const RECT& item, COLORREF colour)
{
    DrawMenuMark(dc, { item.right - 14, item.top + 3, item.right - 2, item.bottom - 3 }, DFCS_MENUARROW, colour);
}

void PaintPopup(HWND window, HDC dc)
{
    if (!g_loop)
        return;
    auto level = std::ranges::find_if(g_loop->levels, [window](const PopupLevel& l) { return l.window == window; });
    if (level == g_loop->levels.end())
        return;
    Menu* menu = FindMenu(level->menu);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_MENU));
    DrawEdge(dc, &client, EDGE_RAISED, BF_RECT);
    HGDIOBJ oldFont = SelectObject(dc, MenuFont());
    SetBkMode(dc, TRANSPARENT);
    for (size_t i = 0; menu && i < menu->items.size(); ++i) {
        const MenuItem& item = menu->items[i];
        RECT r = level->itemRects[i];
        if (item.type & MFT_SEPARATOR) {
            RECT line { r.left + 1, r.top + 3, r.right - 1, r.top + 5 };
            DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
            continue;
        }
        bool hot = static_cast<int>(i) == level->hot;
        bool grayed = item.state & (MF_GRAYED | MF_DISABLED);
        if (item.type & MFT_OWNERDRAW) {
            UINT state = (hot ? ODS_SELECTED : 0) | ((item.state & MF_GRAYED) ? ODS_GRAYED : 0) | ((item.state & MF_DISABLED) ? ODS_DISABLED : 0)
                | ((item.state & MF_CHECKED) ? ODS_CHECKED : 0) | ((item.state & MFS_DEFAULT) ? ODS_DEFAULT : 0);
            DRAWITEMSTRUCT draw { ODT_MENU, 0, item.id, ODA_DRAWENTIRE, state, reinterpret_cast<HWND>(level->menu), dc, r, item.data };
            int saved = SaveDC(dc);
            SendMessageW(g_loop->owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw));
            RestoreDC(dc, saved);
            // The submenu's arrow is the menu's, beside whatever the owner drew.
            if (item.submenu)
                DrawSubmenuArrow(dc, r, GetSysColor(grayed ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
            continue;
        }
        if (hot)
            FillRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT));
        COLORREF textColour = GetSysColor(grayed ? COLOR_GRAYTEXT : hot ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
        SetTextColor(dc, textColour);
        if (item.state & MF_CHECKED)
            DrawMenuMark(dc, { r.left + 2, r.top + 2, r.left + 15, r.top + 15 }, (item.type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK, textColour);
        auto [label, accelerator] = SplitAccelerator(item.text);
        RECT text { r.left + 16, r.top, r.right - 16, r.bottom };
        DrawTextW(dc, label.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
        if (!accelerator.empty())
            DrawTextW(dc, accelerator.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
        if (item.submenu)
            DrawSubmenuArrow(dc, r, textColour);
    }
    SelectObject(dc, oldFont);
}

LRESULT PopupProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        PaintPopup(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LPCWSTR PopupClass()
{
    static ATOM atom = [] {
        WNDCLASSEXW windowClass { sizeof windowClass };
        windowClass.style = CS_SAVEBITS | CS_DBLCLKS;
        windowClass.lpfnWndProc = PopupProcedure;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = L"#32768";
        return RegisterClassExW(&windowClass);
    }();
    return MAKEINTATOM(atom);
}

// index: the menu's place in its parent menu (0 for a menu of its own).
void OpenLevel(MenuLoop& loop, HMENU menu, POINT at, UINT flags, const RECT* exclude, int index)
{
    Window* owner = FindWindowObject(loop.owner);
    bool systemMenu = owner && owner->systemMenu == menu;
    if (loop.notifies)
        SendMessageW(loop.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(static_cast<WORD>(index), systemMenu ? 1 : 0));
    PopupLevel level { menu };
    SIZE size = LayoutPopup(level);
    int x = at.x, y = at.y;
    if (flags & TPM_RIGHTALIGN)
        x -= size.cx;
    else if (flags & TPM_CENTERALIGN)
        x -= size.cx / 2;
    if (flags & TPM_BOTTOMALIGN)
        y -= size.cy;
    else if (flags & TPM_VCENTERALIGN)
        y -= size.cy / 2;
    MONITORINFO monitor { sizeof monitor };
    GetMonitorInfoW(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    if (x + size.cx > work.right)
        x = exclude ? exclude->left - size.cx : work.right - size.cx;
    if (y + size.cy > work.bottom)
        y = std::max<int>(work.top, work.bottom - size.cy);
    x = std::max<int>(x, work.left);
    y = std::max<int>(y, work.top);
    level.window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, PopupClass(), L"", WS_POPUP, x, y, size.cx, size.cy, loop.owner, nullptr, nullptr, nullptr);
    loop.levels.push_back(level);
    ShowWindow(level.window, SW_SHOWNA);
    UpdateWindow(level.window);
}

void CloseLevelsAbove(MenuLoop& loop, size_t keep)
{
    while (loop.levels.size() > keep) {
        PopupLevel level = loop.levels.back();
        loop.levels.pop_back();
        DestroyWindow(level.window);
        SendMessageW(loop.owner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(level.menu), 0);
    }
}

void SetHot(MenuLoop& loop, size_t levelIndex, int hot)
{
    PopupLevel& level = loop.levels[levelIndex];
    if (level.hot == hot)
        return;
    level.hot = hot;
    Menu* menu = FindMenu(level.menu);
    // The item's state tells too which item is highlighted (MFS_HILITE), as the owner may ask.
    for (size_t i = 0; menu && i < menu->items.size(); ++i)
        menu->items[i].state = (menu->items[i].state & ~MF_HILITE) | (static_cast<int>(i) == hot ? MF_HILITE : 0);
    if (menu && hot >= 0 && loop.notifies) {
        const MenuItem& item = menu->items[static_cast<size_t>(hot)];
        UINT flags = item.state | (item.submenu ? MF_POPUP : 0) | MF_HILITE;
        UINT id = item.submenu ? static_cast<UINT>(hot) : item.id;
        SendMessageW(loop.owner, WM_MENUSELECT, MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(flags)), reinterpret_cast<LPARAM>(level.menu));
    }
    InvalidateRect(level.window, nullptr, TRUE);
}

bool Selectable(const MenuItem& item)
{
    return !(item.type & MFT_SEPARATOR) && !(item.state & (MF_GRAYED | MF_DISABLED));
}

// Acts on the hot item of a level: opens its submenu or chooses its command.
void Activate(MenuLoop& loop, size_t levelIndex)
{
    PopupLevel& level = loop.levels[levelIndex];
    Menu* menu = FindMenu(level.menu);
    if (!menu || level.hot < 0)
        return;
    const MenuItem& item = menu->items[static_cast<size_t>(level.hot)];
    if (!Selectable(item))
        return;
    if (item.submenu) {
        CloseLevelsAbove(loop, levelIndex + 1);
        RECT r = level.itemRects[static_cast<size_t>(level.hot)];
        RECT screen = r;
        MapWindowPoints(level.window, nullptr, reinterpret_cast<POINT*>(&screen), 2);
        OpenLevel(loop, item.submenu, { screen.right, screen.top - kBorder }, 0, &screen, level.hot);
        return;
    }
    loop.chosen = item.id;
    loop.ended = true;
}

// A click acts on the item under the pointer, whatever moves came before it (a pointer that
// jumps, as on a touch screen or a remote desktop, may bring none).
void ActivateItemAt(MenuLoop& loop, size_t levelIndex, int item)
{
    if (loop.levels[levelIndex].hot != item) {
        CloseLevelsAbove(loop, levelIndex + 1);
        SetHot(loop, levelIndex, item);
    }
    Activate(loop, levelIndex);
}

// The level and item under a screen point; levels.size() when none.
std::pair<size_t, int> ItemAt(MenuLoop& loop, POINT screen)
{
    for (size_t i = loop.levels.size(); i-- > 0;) {
        PopupLevel& level = loop.levels[i];
        RECT bounds;
        GetWindowRect(level.window, &bounds);
        if (!PtInRect(&bounds, screen))
            continue;
        POINT client = screen;
        ScreenToClient(level.window, &client);
        for (size_t k = 0; k < level.itemRects.size(); ++k) {
            if (PtInRect(&level.itemRects[k], client))
                return { i, static_cast<int>(k) };
        }
        return { i, -1 };
    }
    return { loop.levels.size(), -1 };
}

void MoveHot(MenuLoop& loop, int step)
{
    size_t top = loop.levels.size() - 1;
    Menu* menu = FindMenu(loop.levels[top].menu);
    if (!menu || menu->items.empty())
        return;
    int count = static_cast<int>(menu->items.size());
    int hot = loop.levels[top].hot;
    for (int i = 0; i < count; ++i) {
        hot = ((hot < 0 ? (step > 0 ? -1 : count) : hot) + step + count) % count;
        if (!(menu->items[static_cast<size_t>(hot)].type & MFT_SEPARATOR))
            break;
    }
    SetHot(loop, top, hot);
}

// A typed character: the item whose mnemonic (the character after '&' in its text) it is, or,
// when no text item has it, the answer of the owner, who knows the mnemonics of owner-drawn items.
void TypeMnemonic(MenuLoop& loop, wchar_t typed)
{
    size_t top = loop.levels.size() - 1;
    PopupLevel& level = loop.levels[top];
    Menu* menu = FindMenu(level.menu);
    if (!menu)
        return;
    wchar_t lower = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(typed)));
    for (size_t i = 0; i < menu->items.size(); ++i) {
        const MenuItem& item = menu->items[i];
        if (item.type & MFT_OWNERDRAW)
            continue;
        size_t amp = item.text.find(L'&');
        if (amp != std::wstring::npos && amp + 1 < item.text.size() && static_cast<wchar_t>(std::towlower(item.text[amp + 1])) == lower) {
            SetHot(loop, top, static_cast<int>(i));
            Activate(loop, top);
            return;
        }
    }
    Window* owner = FindWindowObject(loop.owner);
    UINT kind = owner && owner->systemMenu == level.menu ? MF_SYSMENU : MF_POPUP;
    LRESULT answer = SendMessageW(loop.owner, WM_MENUCHAR, MAKEWPARAM(typed, kind), reinterpret_cast<LPARAM>(level.menu));
    int index = LOWORD(answer);
    bool valid = index < static_cast<int>(menu->items.size());
    switch (HIWORD(answer)) {
    case MNC_EXECUTE:
        if (valid) {
            SetHot(loop, top, index);
            Activate(loop, top);
        }
        break;
    case MNC_SELECT:
        if (valid)
            SetHot(loop, top, index);
        break;
    case MNC_CLOSE:
        loop.ended = true;
        break;
    }
}

bool HandleMenuMessage(MenuLoop& loop, MSG& message)
{
    switch (message.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: {
        auto [levelIndex, item] = ItemAt(loop, message.pt);
        if (levelIndex < loop.levels.size()) {
            CloseLevelsAbove(loop, std::max(levelIndex + 1, loop.levels.size() > levelIndex + 1 && item == loop.levels[levelIndex].hot ? levelIndex + 2 : levelIndex + 1));
            SetHot(loop, levelIndex, item);
        }
        return true;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN: {
        auto [levelIndex, item] = ItemAt(loop, message.pt);
        if (levelIndex == loop.levels.size())
            loop.ended = true; // a click outside every level cancels
        else if (item >= 0)
            ActivateItemAt(loop, levelIndex, item);
        return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP: {
        auto [levelIndex, item] = ItemAt(loop, message.pt);
        if (levelIndex < loop.levels.size() && item >= 0) {
            Menu* menu = FindMenu(loop.levels[levelIndex].menu);
            if (menu && !menu->items[static_cast<size_t>(item)].submenu)
                ActivateItemAt(loop, levelIndex, item);
        }
        return true;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        switch (message.wParam) {
        case VK_ESCAPE:
            if (loop.levels.size() > 1)
                CloseLevelsAbove(loop, loop.levels.size() - 1);
            else
                loop.ended = true;
            return true;
        case VK_UP: MoveHot(loop, -1); return true;
        case VK_DOWN: MoveHot(loop, 1); return true;
        case VK_LEFT:
            if (loop.levels.size() > 1)
                CloseLevelsAbove(loop, loop.levels.size() - 1);
            return true;
        case VK_RIGHT:
        case VK_RETURN: {
            size_t top = loop.levels.size() - 1;
            Menu* menu = FindMenu(loop.levels[top].menu);
            int hot = loop.levels[top].hot;
            if (menu && hot >= 0 && (message.wParam == VK_RETURN || menu->items[static_cast<size_t>(hot)].submenu)) {
                Activate(loop, top);
                if (loop.levels.size() > top + 1)
                    MoveHot(loop, 1);
            }
            return true;
        }
        case VK_MENU:
        case VK_F10:
            loop.ended = true;
            return true;
        }
        TranslateMessage(&message); // the character typed, for the mnemonics
        return true;
    case WM_CHAR:
    case WM_SYSCHAR:
        TypeMnemonic(loop, static_cast<wchar_t>(message.wParam));
        return true;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return true;
    }
    return false;
}

UINT RunMenuLoop(HMENU menu, UINT flags, POINT at, HWND owner, const RECT* exclude, int index = 0)
{
    if (g_loop || !FindMenu(menu) || !IsWindow(owner))
        return 0;
    MenuLoop loop;
    loop.owner = owner;
    loop.returnCommand = flags & TPM_RETURNCMD;
    loop.notifies = !(flags & TPM_NONOTIFY);
    g_loop = &loop;
    SendMessageW(owner, WM_ENTERMENULOOP, TRUE, 0);
    OpenLevel(loop, menu, at, flags, exclude, index);
    HWND popup = loop.levels.front().window;
    SetCapture(popup);
    RunModalLoop(popup, MSGF_MENU, [&] { return loop.ended || loop.levels.empty(); }, [&](MSG& message) {
        if (GetCapture() != popup && IsWindow(popup))
            SetCapture(popup);
        return HandleMenuMessage(loop, message);
    });
    if (GetCapture() == popup)
        ReleaseCapture();
    CloseLevelsAbove(loop, 0);
    g_loop = nullptr;
    SendMessageW(owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    SendMessageW(owner, WM_EXITMENULOOP, TRUE, 0);
    return loop.chosen;
}

// The title of the open menu is drawn sunken while its popup shows; drawn at once, as the popup
// appears at once.
void ShowMenuBarItemOpen(HWND window, int index)
{
    Window* object = FindWindowObject(window);
    if (!object || object->openMenuBarItem == index)
        return;
    object->openMenuBarItem = index;
    if (!WindowTree::Instance().IsVisible(*object))
        return;
    HDC dc = GetWindowDC(window);
    DrawMenuBarItems(*object, dc, LayoutFrame(*object).menuBar, index);
    ReleaseDC(window, dc);
}

} // namespace

// Opens the popup of a menu-bar item (or sends the command of an item without one).
void OpenMenuBarItem(HWND window, int index)
{
    HMENU bar = GetMenu(window);
    Window* object = FindWindowObject(window);
    if (!bar || !object)
        return;
    FrameLayout layout = LayoutFrame(*object);
    std::vector<RECT> items = MenuBarItemRects(*object, layout.menuBar);
    if (index < 0 || static_cast<size_t>(index) >= items.size())
        return;
    POINT origin = WindowTree::Instance().WindowOriginOnScreen(*object);
    SendMessageW(window, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
    UINT id = static_cast<UINT>(-1);
    if (HMENU sub = GetSubMenu(bar, index)) {
        ShowMenuBarItemOpen(window, index);
        id = RunMenuLoop(sub, TPM_RETURNCMD, { origin.x + items[static_cast<size_t>(index)].left, origin.y + layout.menuBar.bottom }, window, nullptr, index);
        ShowMenuBarItemOpen(window, -1);
    } else {
        id = GetMenuItemID(bar, index);
    }
    if (id && id != static_cast<UINT>(-1))
        PostMessageW(window, WM_COMMAND, id, 0);
}

// A click on the menu bar opens the item under it.
void TrackMenuBarItem(HWND window, POINT screenPoint)
{
    Window* object = FindWindowObject(window);
    if (!object || !object->menu)
        return;
    std::vector<RECT> items = MenuBarItemRects(*object, LayoutFrame(*object).menuBar);
    POINT origin = WindowTree::Instance().WindowOriginOnScreen(*object);
    POINT point { screenPoint.x - origin.x, screenPoint.y - origin.y };
    for (size_t i = 0; i < items.size(); ++i) {
        if (PtInRect(&items[i], point)) {
            OpenMenuBarItem(window, static_cast<int>(i));
            return;
        }
    }
}

// The menu bar from the keyboard: F10 or Alt alone opens the first menu; Alt with a letter the
// menu whose mnemonic it is (Alt+Space the system menu).
bool OpenMenuBarFromKeyboard(HWND window, wchar_t mnemonic)
{
    HMENU bar = GetMenu(window);
    if (mnemonic == L' ' || !bar)
        return false;
    int count = GetMenuItemCount(bar);
    if (!mnemonic) {
        OpenMenuBarItem(window, 0);
        return count > 0;
    }
    for (int i = 0; i < count; ++i) {
        wchar_t text[256];
        GetMenuStringW(bar, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
        const wchar_t* amp = std::wcschr(text, L'&');
        if (amp && amp[1] && std::towlower(static_cast<wint_t>(amp[1])) == std::towlower(static_cast<wint_t>(mnemonic))) {
            OpenMenuBarItem(window, i);
            return true;
        }
    }
    return false;
}


} // namespace fln::user

using namespace fln::user;

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, TPMPARAMS* params)
{
    UINT chosen = RunMenuLoop(menu, flags, { x, y }, owner, params ? &params->rcExclude : nullptr);
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(chosen);
    if (chosen && !(flags & TPM_NONOTIFY))
        PostMessageW(owner, WM_COMMAND, chosen, 0);
    return chosen != 0;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*)
{
    return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

BOOL EndMenu()
{
    if (!g_loop)
        return FALSE;
    g_loop->ended = true;
    return TRUE;
}
