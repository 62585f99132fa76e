// The MDI client window ("MDICLIENT"): it creates, activates, maximises, arranges and destroys the
// document windows of a frame, lists them in the frame's window menu, and while a child is
// maximised puts the child's system menu and caption buttons into the frame's menu bar.

#include "platform/user/Mdi.h"
#include "platform/user/MdiLayout.h"
#include "platform/user/SystemClasses.h"
#include "platform/user/WindowTree.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace fln::user {
namespace {

constexpr int kMoreWindowsListId = 100;

struct ClientState {
    HWND client = nullptr;
    HWND frame = nullptr;
    HMENU windowMenu = nullptr;
    UINT firstId = 0;
    HWND active = nullptr;
    std::vector<HWND> children;  // creation order; a child's id is firstId + its index
    std::vector<HWND> listed;    // the children the window menu shows, in its order
    bool listSeparator = false;  // the separator before the list is ours
    HWND mergedChild = nullptr;  // the maximised child whose buttons are in the frame's menu bar
    HMENU mergedMenu = nullptr;  // the menu that holds them
    std::wstring frameTitle;     // the frame's own title
    bool titleMerged = false;    // the frame shows "title - [child]"
};

std::map<HWND, ClientState>& Clients()
{
    static std::map<HWND, ClientState> clients;
    return clients;
}

ClientState* FindClient(HWND client)
{
    auto it = Clients().find(client);
    return it == Clients().end() ? nullptr : &it->second;
}

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

MdiMetrics Metrics()
{
    return { GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME), GetSystemMetrics(SM_CXMINIMIZED),
        GetSystemMetrics(SM_CYMINIMIZED) };
}

// Children in Z order, topmost first.
std::vector<HWND> ChildrenByZOrder(const ClientState& state)
{
    std::vector<HWND> ordered;
    for (HWND child = GetWindow(state.client, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (std::find(state.children.begin(), state.children.end(), child) != state.children.end())
            ordered.push_back(child);
    }
    return ordered;
}

bool Arrangeable(HWND child, bool skipDisabled)
{
    return IsWindowVisible(child) && !IsIconic(child) && (!skipDisabled || IsWindowEnabled(child));
}

// ---- the child's system menu

HMENU MakeChildSystemMenu()
{
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, SC_RESTORE, L"&Restore");
    AppendMenuW(menu, MF_STRING, SC_MOVE, L"&Move");
    AppendMenuW(menu, MF_STRING, SC_SIZE, L"&Size");
    AppendMenuW(menu, MF_STRING, SC_MINIMIZE, L"Mi&nimize");
    AppendMenuW(menu, MF_STRING, SC_MAXIMIZE, L"Ma&ximize");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | MF_DEFAULT, SC_CLOSE, L"&Close\tCtrl+F4");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, SC_NEXTWINDOW, L"Nex&t\tCtrl+F6");
    return menu;
}

// ---- the maximised child in the frame's menu bar

constexpr UINT kMenuBarButtons[] = { SC_MINIMIZE, SC_RESTORE, SC_CLOSE };

HBITMAP ButtonPicture(UINT command)
{
    return command == SC_MINIMIZE ? HBMMENU_MBAR_MINIMIZE : command == SC_RESTORE ? HBMMENU_MBAR_RESTORE : HBMMENU_MBAR_CLOSE;
}

void UnmergeChildButtons(ClientState& state)
{
    if (!state.mergedChild)
        return;
    if (IsMenu(state.mergedMenu)) {
        for (int i = GetMenuItemCount(state.mergedMenu) - 1; i >= 0; --i) {
            MENUITEMINFOW info { sizeof info };
            info.fMask = MIIM_BITMAP | MIIM_DATA;
            GetMenuItemInfoW(state.mergedMenu, static_cast<UINT>(i), TRUE, &info);
            bool systemItem = info.hbmpItem == HBMMENU_SYSTEM && info.dwItemData == reinterpret_cast<ULONG_PTR>(state.mergedChild);
            bool button = info.hbmpItem == HBMMENU_MBAR_MINIMIZE || info.hbmpItem == HBMMENU_MBAR_RESTORE || info.hbmpItem == HBMMENU_MBAR_CLOSE;
            if (systemItem || button)
                RemoveMenu(state.mergedMenu, static_cast<UINT>(i), MF_BYPOSITION); // the system menu stays the child's
        }
    }
    state.mergedChild = nullptr;
    state.mergedMenu = nullptr;
    DrawMenuBar(state.frame);
}

void MergeChildButtons(ClientState& state, HWND child)
{
    HMENU frameMenu = GetMenu(state.frame);
    if (state.mergedChild == child && state.mergedMenu == frameMenu)
        return;
    UnmergeChildButtons(state);
    if (!frameMenu)
        return;
    MENUITEMINFOW system { sizeof system };
    system.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_BITMAP | MIIM_DATA;
    system.fType = MFT_BITMAP;
    system.hSubMenu = GetSystemMenu(child, FALSE);
    system.hbmpItem = HBMMENU_SYSTEM;
    system.dwItemData = reinterpret_cast<ULONG_PTR>(child);
    InsertMenuItemW(frameMenu, 0, TRUE, &system);
    for (UINT command : kMenuBarButtons) {
        AppendMenuW(frameMenu, MF_BITMAP | MF_RIGHTJUSTIFY, command, reinterpret_cast<LPCWSTR>(ButtonPicture(command)));
    }
    state.mergedChild = child;
    state.mergedMenu = frameMenu;
    DrawMenuBar(state.frame);
}

// ---- the frame's title while a child is maximised

void UpdateFrameTitle(ClientState& state)
{
    HWND maximized = state.active && IsZoomed(state.active) ? state.active : nullptr;
    if (!maximized && !state.titleMerged)
        return;
    std::wstring title = state.frameTitle;
    if (maximized) {
        std::wstring childTitle = TextOf(maximized);
        if (!childTitle.empty())
            title += L" - [" + childTitle + L"]";
    }
    state.titleMerged = maximized != nullptr;
    // The default procedure stores the text itself; the frame's own procedure hears nothing.
    DefWindowProcW(state.frame, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
}

// ---- the window menu

void RemoveWindowList(ClientState& state)
{
    if (!IsMenu(state.windowMenu))
        return;
    for (size_t k = 0; k < state.listed.size() + 1; ++k)
        DeleteMenu(state.windowMenu, state.firstId + static_cast<UINT>(k), MF_BYCOMMAND);
    int count = GetMenuItemCount(state.windowMenu);
    if (state.listSeparator && count > 0 && (GetMenuState(state.windowMenu, static_cast<UINT>(count - 1), MF_BYPOSITION) & MF_SEPARATOR))
        DeleteMenu(state.windowMenu, static_cast<UINT>(count - 1), MF_BYPOSITION);
    state.listSeparator = false;
    state.listed.clear();
}

// The first nine visible children in creation order; the active one takes the ninth place when it
// is not among them.
std::vector<HWND> ChildrenToList(const ClientState& state)
{
    std::vector<HWND> visible;
    std::copy_if(state.children.begin(), state.children.end(), std::back_inserter(visible), [](HWND child) { return IsWindowVisible(child); });
    if (visible.size() <= MDI_LISTED_CHILDREN)
        return visible;
    std::vector<HWND> listed(visible.begin(), visible.begin() + MDI_LISTED_CHILDREN);
    if (state.active && std::find(listed.begin(), listed.end(), state.active) == listed.end())
        listed.back() = state.active;
    return listed;
}

void RefreshWindowList(ClientState& state)
{
    RemoveWindowList(state);
    if (!IsMenu(state.windowMenu))
        return;
    std::vector<HWND> listed = ChildrenToList(state);
    if (listed.empty())
        return;
    if (GetMenuItemCount(state.windowMenu) > 0) {
        AppendMenuW(state.windowMenu, MF_SEPARATOR, 0, nullptr);
        state.listSeparator = true;
    }
    for (size_t k = 0; k < listed.size(); ++k) {
        std::wstring text = L"&" + std::to_wstring(k + 1) + L" " + TextOf(listed[k]);
        UINT flags = MF_STRING | (listed[k] == state.active ? MF_CHECKED : MF_UNCHECKED);
        AppendMenuW(state.windowMenu, flags, state.firstId + static_cast<UINT>(k), text.c_str());
    }
    state.listed = listed;
    size_t visible = static_cast<size_t>(std::count_if(state.children.begin(), state.children.end(), [](HWND child) { return IsWindowVisible(child); }));
    if (visible > listed.size())
        AppendMenuW(state.windowMenu, MF_STRING, state.firstId + MDI_LISTED_CHILDREN, L"&More Windows...");
}

// ---- activation

void Activate(ClientState& state, HWND child)
{
    if (child == state.active)
        return;
    HWND client = state.client;
    HWND previous = IsWindow(state.active) ? state.active : nullptr;
    bool previousStays = std::find(state.children.begin(), state.children.end(), previous) != state.children.end();
    bool carryMaximized = previousStays && child && IsZoomed(previous);
    state.active = child;
    if (previous) {
        SendMessageW(previous, WM_NCACTIVATE, FALSE, 0);
        SendMessageW(previous, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(previous), reinterpret_cast<LPARAM>(child));
    }
    if (carryMaximized) {
        ShowWindow(previous, SW_RESTORE);
        ShowWindow(child, SW_MAXIMIZE);
    }
    if (child) {
        SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        bool frameActive = GetActiveWindow() == GetAncestor(client, GA_ROOT);
        SendMessageW(child, WM_NCACTIVATE, frameActive, 0);
        SendMessageW(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(previous), reinterpret_cast<LPARAM>(child));
        HWND focus = GetFocus();
        if (frameActive && IsWindow(child) && focus != child && !IsChild(child, focus))
            SetFocus(child);
    }
    if (ClientState* current = FindClient(client)) {
        RefreshWindowList(*current);
        UpdateFrameTitle(*current);
    }
}

// The next child below `from` in Z order (which goes to the bottom), or the bottom one.
void ActivateNext(ClientState& state, HWND from, bool previous)
{
    std::vector<HWND> ordered;
    for (HWND child : ChildrenByZOrder(state)) {
        if (IsWindowVisible(child) && IsWindowEnabled(child))
            ordered.push_back(child);
    }
    if (!from)
        from = state.active;
    if (ordered.size() < 2 || std::find(ordered.begin(), ordered.end(), from) == ordered.end())
        return;
    if (previous) {
        Activate(state, ordered.back());
        return;
    }
    auto next = std::find(ordered.begin(), ordered.end(), from) + 1;
    HWND target = next == ordered.end() ? ordered.front() : *next;
    Activate(state, target);
    SetWindowPos(from, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- creation and destruction

HWND CreateChild(ClientState& state, const MDICREATESTRUCTW& request)
{
    // Children overlap, so each clips the ones above it whatever its styles.
    DWORD style = request.style | WS_CHILD | WS_CLIPSIBLINGS;
    if (!(GetWindowLongW(state.client, GWL_STYLE) & MDIS_ALLCHILDSTYLES))
        style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_VISIBLE;
    bool maximize = (style & WS_MAXIMIZE) || (state.active && IsZoomed(state.active));
    bool minimize = style & WS_MINIMIZE;
    style &= ~(WS_MAXIMIZE | WS_MINIMIZE);
    RECT client;
    GetClientRect(state.client, &client);
    std::vector<RECT> cascade = CascadeRects(static_cast<int>(state.children.size()) + 1, client, Metrics());
    const RECT& slot = cascade.back();
    int x = request.x == CW_USEDEFAULT ? slot.left : request.x;
    int y = request.x == CW_USEDEFAULT ? slot.top : request.y;
    int cx = request.cx == CW_USEDEFAULT ? slot.right - slot.left : request.cx;
    int cy = request.cx == CW_USEDEFAULT ? slot.bottom - slot.top : request.cy;
    auto id = static_cast<UINT_PTR>(state.firstId + state.children.size());
    HWND clientWindow = state.client;
    HWND child = CreateWindowExW(WS_EX_MDICHILD | WS_EX_WINDOWEDGE, request.szClass, request.szTitle, style, x, y, cx, cy,
        clientWindow, reinterpret_cast<HMENU>(id), static_cast<HINSTANCE>(request.hOwner), const_cast<MDICREATESTRUCTW*>(&request));
    ClientState* current = FindClient(clientWindow);
    if (!child || !current)
        return child;
    if (Window* object = FindWindowObject(child); object && !object->systemMenu)
        object->systemMenu = MakeChildSystemMenu();
    current->children.push_back(child);
    if (minimize)
        ShowWindow(child, SW_MINIMIZE);
    else if (maximize)
        ShowWindow(child, SW_MAXIMIZE);
    if (IsWindowVisible(child))
        Activate(*current, child);
    else
        RefreshWindowList(*current);
    return child;
}

// The child is being destroyed: it leaves the list, the others are renumbered, and the next one
// becomes active, maximised when this one was.
void ForgetChild(ClientState& state, HWND child)
{
    auto it = std::find(state.children.begin(), state.children.end(), child);
    if (it == state.children.end())
        return;
    bool wasMaximized = IsZoomed(child);
    state.children.erase(it);
    for (size_t i = 0; i < state.children.size(); ++i)
        SetWindowLongPtrW(state.children[i], GWLP_ID, static_cast<LONG_PTR>(state.firstId + i));
    if (state.mergedChild == child)
        UnmergeChildButtons(state);
    if (state.active == child) {
        HWND next = nullptr;
        for (HWND candidate : ChildrenByZOrder(state)) {
            if (IsWindowVisible(candidate)) {
                next = candidate;
                break;
            }
        }
        Activate(state, next); // the leaving child hears that it is no longer the active one
        if (next && wasMaximized && !IsZoomed(next))
            ShowWindow(next, SW_MAXIMIZE);
    }
    RefreshWindowList(state);
    UpdateFrameTitle(state);
}

// Windows moved into or out of the client with SetParent: an MDI child (WS_EX_MDICHILD) given
// to the client becomes one of its children, numbered after the others; one taken away leaves.
void SyncChildren(ClientState& state)
{
    std::vector<HWND> gone;
    std::copy_if(state.children.begin(), state.children.end(), std::back_inserter(gone),
        [&](HWND child) { return GetAncestor(child, GA_PARENT) != state.client; });
    for (HWND child : gone)
        ForgetChild(state, child);
    for (HWND child = GetWindow(state.client, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_MDICHILD)
            || std::find(state.children.begin(), state.children.end(), child) != state.children.end())
            continue;
        SetWindowLongPtrW(child, GWLP_ID, static_cast<LONG_PTR>(state.firstId + state.children.size()));
        if (Window* object = FindWindowObject(child); object && !object->systemMenu)
            object->systemMenu = MakeChildSystemMenu();
        state.children.push_back(child);
    }
}

// ---- arranging

std::vector<HWND> ArrangeableChildren(const ClientState& state, bool skipDisabled)
{
    std::vector<HWND> result;
    for (HWND child : ChildrenByZOrder(state)) {
        if (Arrangeable(child, skipDisabled))
            result.push_back(child);
    }
    return result;
}

// The client less the rows of minimised children.
RECT AreaAboveIcons(const ClientState& state)
{
    RECT client;
    GetClientRect(state.client, &client);
    int icons = static_cast<int>(std::count_if(state.children.begin(), state.children.end(), [](HWND child) { return IsWindowVisible(child) && IsIconic(child); }));
    client.bottom -= IconRows(icons, client, Metrics()) * Metrics().iconHeight;
    client.bottom = std::max(client.top, client.bottom);
    return client;
}

void RestoreMaximized(ClientState& state)
{
    if (state.active && IsZoomed(state.active))
        ShowWindow(state.active, SW_RESTORE);
}

void ArrangeIcons(ClientState& state)
{
    RECT client;
    GetClientRect(state.client, &client);
    int slot = 0;
    for (HWND child : state.children) {
        if (!IsWindowVisible(child) || !IsIconic(child))
            continue;
        RECT r = IconSlot(slot++, client, Metrics());
        SetWindowPos(child, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

BOOL Cascade(ClientState& state, WPARAM how)
{
    RestoreMaximized(state);
    std::vector<HWND> children = ArrangeableChildren(state, how & MDITILE_SKIPDISABLED);
    if (children.empty())
        return FALSE;
    // The bottom window starts at the top left; the topmost ends the cascade.
    std::reverse(children.begin(), children.end());
    std::vector<RECT> rects = CascadeRects(static_cast<int>(children.size()), AreaAboveIcons(state), Metrics());
    for (size_t i = 0; i < children.size(); ++i) {
        const RECT& r = rects[i];
        SetWindowPos(children[i], HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
    }
    ArrangeIcons(state);
    return TRUE;
}

BOOL Tile(ClientState& state, WPARAM how)
{
    RestoreMaximized(state);
    std::vector<HWND> children = ArrangeableChildren(state, how & MDITILE_SKIPDISABLED);
    if (children.empty())
        return FALSE;
    std::vector<RECT> rects = TileRects(static_cast<int>(children.size()), AreaAboveIcons(state), !(how & MDITILE_HORIZONTAL));
    for (size_t i = 0; i < children.size(); ++i) {
        const RECT& r = rects[i];
        SetWindowPos(children[i], nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ArrangeIcons(state);
    return TRUE;
}

// ---- menus

LRESULT SetMenus(ClientState& state, HMENU frameMenu, HMENU windowMenu)
{
    HMENU old = GetMenu(state.frame);
    HWND merged = state.mergedChild;
    if (frameMenu && frameMenu != old) {
        UnmergeChildButtons(state);
        RemoveWindowList(state);
        SetMenu(state.frame, frameMenu);
    }
    if (windowMenu && windowMenu != state.windowMenu) {
        RemoveWindowList(state);
        state.windowMenu = windowMenu;
    }
    if (merged && IsZoomed(merged))
        MergeChildButtons(state, merged);
    RefreshWindowList(state);
    return reinterpret_cast<LRESULT>(old);
}

// ---- "More Windows...": a dialog with every child in a list

struct MoreWindows {
    ClientState* state;
    std::vector<HWND> children;
};

INT_PTR MoreWindowsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* data = reinterpret_cast<MoreWindows*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetWindowTextW(dialog, L"Select Window");
        HFONT font = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        auto make = [&](LPCWSTR cls, LPCWSTR text, DWORD style, int id, RECT r) {
            HWND control = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, r.left, r.top, r.right - r.left,
                r.bottom - r.top, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
            return control;
        };
        HWND list = make(L"ListBox", L"", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, kMoreWindowsListId, { 10, 10, 230, 170 });
        make(L"Button", L"OK", BS_DEFPUSHBUTTON, IDOK, { 50, 180, 125, 203 });
        make(L"Button", L"Cancel", BS_PUSHBUTTON, IDCANCEL, { 135, 180, 210, 203 });
        for (HWND child : data->children)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TextOf(child).c_str()));
        auto active = std::find(data->children.begin(), data->children.end(), data->state->active);
        SendMessageW(list, LB_SETCURSEL, active == data->children.end() ? 0 : static_cast<WPARAM>(active - data->children.begin()), 0);
        SetFocus(list);
        return FALSE;
    }
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        if (id == kMoreWindowsListId && HIWORD(wParam) != LBN_DBLCLK)
            return FALSE;
        if (id == IDOK || id == kMoreWindowsListId)
            EndDialog(dialog, 1 + SendDlgItemMessageW(dialog, kMoreWindowsListId, LB_GETCURSEL, 0, 0));
        else if (id == IDCANCEL)
            EndDialog(dialog, 0);
        return TRUE;
    }
    }
    return FALSE;
}

void ChooseFromAllWindows(ClientState& state)
{
    MoreWindows data { &state, {} };
    std::copy_if(state.children.begin(), state.children.end(), std::back_inserter(data.children), [](HWND child) { return IsWindowVisible(child); });
    // A template with no controls: the procedure makes them, in pixels.
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } empty { { WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0, 0, 0, 160, 140 }, 0, 0, 0 };
    HWND client = state.client;
    INT_PTR chosen = DialogBoxIndirectParamW(nullptr, &empty.header, state.frame, MoreWindowsProcedure, reinterpret_cast<LPARAM>(&data));
    ClientState* current = FindClient(client);
    if (current && chosen > 0 && static_cast<size_t>(chosen) <= data.children.size() && IsWindow(data.children[static_cast<size_t>(chosen - 1)]))
        Activate(*current, data.children[static_cast<size_t>(chosen - 1)]);
}

// ---- the window procedure

LRESULT OnCreate(HWND client, const CREATESTRUCTW& create)
{
    ClientState state;
    state.client = client;
    state.frame = create.hwndParent;
    if (auto* info = static_cast<const CLIENTCREATESTRUCT*>(create.lpCreateParams)) {
        state.windowMenu = info->hWindowMenu;
        state.firstId = info->idFirstChild;
    }
    state.frameTitle = TextOf(state.frame);
    Clients()[client] = state;
    return 0;
}

LRESULT OnSize(ClientState& state)
{
    if (state.active && IsZoomed(state.active))
        ShowWindow(state.active, SW_MAXIMIZE); // follows the client's new size
    ArrangeIcons(state);
    return 0;
}

LRESULT ClientProcedure(HWND client, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE)
        return OnCreate(client, *reinterpret_cast<CREATESTRUCTW*>(lParam));
    ClientState* state = FindClient(client);
    if (!state)
        return DefWindowProcW(client, message, wParam, lParam);
    auto childOf = [](WPARAM value) { return reinterpret_cast<HWND>(value); };
    if (message >= WM_MDIDESTROY && message <= WM_MDIREFRESHMENU && message != WM_MDIGETACTIVE) {
        SyncChildren(*state);
        if (!(state = FindClient(client)))
            return 0;
    }
    switch (message) {
    case WM_NCDESTROY:
        Clients().erase(client);
        return DefWindowProcW(client, message, wParam, lParam);
    case WM_MDICREATE:
        return reinterpret_cast<LRESULT>(CreateChild(*state, *reinterpret_cast<const MDICREATESTRUCTW*>(lParam)));
    case WM_MDIDESTROY:
        if (IsChild(client, childOf(wParam)))
            DestroyWindow(childOf(wParam));
        return 0;
    case WM_MDIACTIVATE:
        if (std::find(state->children.begin(), state->children.end(), childOf(wParam)) != state->children.end())
            Activate(*state, childOf(wParam));
        return 0;
    case WM_MDINEXT:
        ActivateNext(*state, childOf(wParam), lParam != 0);
        return 0;
    case WM_MDIMAXIMIZE:
        ShowWindow(childOf(wParam), SW_MAXIMIZE);
        return 0;
    case WM_MDIRESTORE:
        ShowWindow(childOf(wParam), SW_RESTORE);
        return 0;
    case WM_MDICASCADE:
        return Cascade(*state, wParam);
    case WM_MDITILE:
        return Tile(*state, wParam);
    case WM_MDIICONARRANGE:
        ArrangeIcons(*state);
        return 0;
    case WM_MDIGETACTIVE:
        if (lParam)
            *reinterpret_cast<BOOL*>(lParam) = state->active && IsZoomed(state->active);
        return reinterpret_cast<LRESULT>(state->active);
    case WM_MDISETMENU:
        return SetMenus(*state, reinterpret_cast<HMENU>(wParam), reinterpret_cast<HMENU>(lParam));
    case WM_MDIREFRESHMENU:
        RefreshWindowList(*state);
        return reinterpret_cast<LRESULT>(GetMenu(state->frame));
    case WM_PARENTNOTIFY:
        if (LOWORD(wParam) == WM_DESTROY)
            ForgetChild(*state, reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_SIZE:
        return OnSize(*state);
    case WM_SETFOCUS:
        if (state->active && IsWindow(state->active) && !IsIconic(state->active))
            SetFocus(state->active);
        return 0;
    }
    return DefWindowProcW(client, message, wParam, lParam);
}

} // namespace

ATOM RegisterMdiClientClass()
{
    WNDCLASSEXW windowClass { sizeof windowClass };
    windowClass.style = CS_GLOBALCLASS | CS_DBLCLKS;
    windowClass.lpfnWndProc = ClientProcedure;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_APPWORKSPACE + 1));
    windowClass.lpszClassName = L"MDIClient";
    return RegisterClassExW(&windowClass);
}

bool IsMdiClient(HWND window)
{
    return FindClient(window) != nullptr;
}

HWND MdiClientOf(HWND child)
{
    HWND parent = GetAncestor(child, GA_PARENT);
    return IsMdiClient(parent) ? parent : nullptr;
}

bool MdiChildCaptionActive(HWND child)
{
    ClientState* state = FindClient(MdiClientOf(child));
    return state && state->active == child && GetActiveWindow() == GetAncestor(child, GA_ROOT);
}

void MdiChildSized(HWND client, HWND child, WPARAM sizeKind)
{
    ClientState* state = FindClient(client);
    if (!state || std::find(state->children.begin(), state->children.end(), child) == state->children.end())
        return;
    if (sizeKind == SIZE_MAXIMIZED) {
        Activate(*state, child);
        if ((state = FindClient(client)) && state->active == child && IsZoomed(child))
            MergeChildButtons(*state, child);
    } else if (state->mergedChild == child) {
        UnmergeChildButtons(*state);
    }
    if ((state = FindClient(client))) {
        if (sizeKind == SIZE_MINIMIZED)
            ArrangeIcons(*state);
        UpdateFrameTitle(*state);
    }
}

void MdiChildRetitled(HWND client, HWND child)
{
    if (ClientState* state = FindClient(client)) {
        RefreshWindowList(*state);
        if (state->active == child)
            UpdateFrameTitle(*state);
    }
}

bool MdiFrameRetitled(HWND client, LPCWSTR title)
{
    ClientState* state = FindClient(client);
    if (!state)
        return false;
    state->frameTitle = title ? title : L"";
    if (!state->titleMerged)
        return false;
    UpdateFrameTitle(*state);
    return true;
}

bool MdiFrameCommand(HWND client, UINT id)
{
    ClientState* state = FindClient(client);
    if (!state)
        return false;
    bool listed = id >= state->firstId && id <= state->firstId + MDI_LISTED_CHILDREN;
    if (!listed) {
        // The maximised child's system menu and buttons in the frame's menu bar.
        HWND maximized = state->active && IsZoomed(state->active) ? state->active : nullptr;
        if (id < 0xF000 || !maximized)
            return false;
        SendMessageW(maximized, WM_SYSCOMMAND, id & 0xFFF0, 0);
        return true;
    }
    size_t index = id - state->firstId;
    if (index == MDI_LISTED_CHILDREN) {
        ChooseFromAllWindows(*state);
        return true;
    }
    if (index >= state->listed.size())
        return false;
    HWND child = state->listed[index];
    if (IsIconic(child))
        ShowWindow(child, SW_RESTORE);
    Activate(*state, child);
    return true;
}

} // namespace fln::user

using namespace fln::user;

HWND CreateMDIWindowW(LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width, int height,
    HWND client, HINSTANCE instance, LPARAM param)
{
    MDICREATESTRUCTW request { className, windowName, instance, x, y, width, height, style, param };
    return reinterpret_cast<HWND>(SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&request)));
}
