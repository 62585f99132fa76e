// The tab control: a row of tabs with text and images above a pane. Picking a tab by mouse or
// arrow key asks the parent first (TCN_SELCHANGING) and tells it after (TCN_SELCHANGE). When the
// tabs do not fit, a pair of arrows (an up-down child) scrolls the row.

#include "platform/comctl/ControlClasses.h"
#include "platform/comctl/ControlWindow.h"

#include "platform/gdi/ClassicParts.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/ImageList.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <utility>
#include <numeric>
#include <vector>

namespace fln::comctl {
namespace {

constexpr int kRowTop = 2;      // room for the selected tab, which stands 2 pixels taller and wider
constexpr int kRowLeft = 2;
constexpr int kPaneInset = 4;   // from the pane's outside to the display area
constexpr int kIconGap = 3;     // between an image and the label
constexpr LRESULT kWantsArrowsAndChars = 0x1 | 0x80; // WM_GETDLGCODE

struct TabItem {
    std::wstring text;
    int image = -1;
    LPARAM data = 0;
    DWORD state = 0;
};

struct TabState {
    std::vector<TabItem> items;
    int selected = -1;
    int firstVisible = 0;
    HIMAGELIST images = nullptr;
    HFONT font = nullptr;
    SIZE padding { 6, 3 };
    SIZE itemSize {};       // TCM_SETITEMSIZE: the height of every tab, and with TCS_FIXEDWIDTH its width
    int minTabWidth = -1;   // -1: no minimum
    HWND arrows = nullptr;  // shown while the tabs do not fit
};

struct TabLayout {
    std::vector<RECT> items; // each tab unselected, shifted by the scrolling
    int rowBottom = 0;       // where the pane starts
    RECT pane {};
    RECT arrows {};          // empty when every tab fits
    int visibleRight = 0;    // tabs are cut off here
    int firstVisible = 0;    // the tabs before it are scrolled away
    int lastFirstVisible = 0;
    SIZE icon {};
};

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

bool HasImage(const TabState& state, const TabItem& item)
{
    return state.images && item.image >= 0 && item.image < ImageList_GetImageCount(state.images);
}

TabLayout Layout(HWND window, const TabState& state)
{
    TabLayout layout;
    RECT client;
    GetClientRect(window, &client);
    if (state.images) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(state.images, &cx, &cy);
        layout.icon = { cx, cy };
    }
    // Measured on a memory DC: a window DC would first work out what of the control shows between
    // its siblings, which measuring does not need.
    gdi::MemoryDC dc;
    SelectObject(dc, FontOr(state.font));
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    std::vector<int> widths;
    for (const TabItem& item : state.items) {
        SIZE text {};
        GetTextExtentPoint32W(dc, item.text.c_str(), static_cast<int>(item.text.size()), &text);
        int width = 2 * state.padding.cx + text.cx + (HasImage(state, item) ? layout.icon.cx + kIconGap : 0);
        if ((StyleOf(window) & TCS_FIXEDWIDTH) && state.itemSize.cx > 0)
            width = state.itemSize.cx;
        widths.push_back(std::max(width, state.minTabWidth));
    }

    int height = state.itemSize.cy > 0 ? state.itemSize.cy
                                       : std::max<int>(metrics.tmHeight, layout.icon.cy) + 2 * state.padding.cy;
    layout.rowBottom = kRowTop + height;
    layout.pane = { client.left, layout.rowBottom, client.right, client.bottom };
    layout.visibleRight = client.right - kRowLeft;
    int total = std::accumulate(widths.begin(), widths.end(), 0);
    if (!widths.empty() && kRowLeft + total > layout.visibleRight) {
        int side = std::max(height - 2, 1);
        layout.arrows = { client.right - 2 * side, layout.rowBottom - side - 2, client.right, layout.rowBottom - 2 };
        layout.visibleRight = layout.arrows.left;
        // Scrolled as far as the last tab coming into view.
        int rest = 0;
        layout.lastFirstVisible = static_cast<int>(widths.size());
        while (layout.lastFirstVisible > 0 && kRowLeft + rest + widths[layout.lastFirstVisible - 1] <= layout.visibleRight)
            rest += widths[--layout.lastFirstVisible];
        layout.lastFirstVisible = std::min<int>(layout.lastFirstVisible, static_cast<int>(widths.size()) - 1);
    }
    layout.firstVisible = std::clamp(state.firstVisible, 0, layout.lastFirstVisible);
    int x = kRowLeft - std::accumulate(widths.begin(), widths.begin() + layout.firstVisible, 0);
    for (int width : widths) {
        layout.items.push_back({ x, kRowTop, x + width, layout.rowBottom });
        x += width;
    }
    return layout;
}

// The selected tab stands out: 2 pixels wider on each side, 2 taller, and over the pane's top line.
RECT SelectedShape(const RECT& item, int rowBottom)
{
    return { item.left - 2, item.top - 2, item.right + 2, rowBottom + 1 };
}

bool Shown(const TabLayout& layout, int index)
{
    return index >= layout.firstVisible && layout.items[index].left < layout.visibleRight;
}

int HitTest(const TabState& state, const TabLayout& layout, POINT point, UINT* flags)
{
    auto hit = [&](int index) {
        if (flags) {
            RECT icon = layout.items[index];
            icon.left += state.padding.cx;
            icon.right = icon.left + layout.icon.cx;
            bool onIcon = HasImage(state, state.items[index]) && PtInRect(&icon, point);
            *flags = onIcon ? TCHT_ONITEMICON : TCHT_ONITEMLABEL;
        }
        return index;
    };
    if (flags)
        *flags = TCHT_NOWHERE;
    if (point.x >= layout.visibleRight)
        return -1;
    if (state.selected >= 0 && Shown(layout, state.selected)) {
        RECT shape = SelectedShape(layout.items[state.selected], layout.rowBottom);
        if (PtInRect(&shape, point))
            return hit(state.selected);
    }
    for (int i = layout.firstVisible; i < static_cast<int>(layout.items.size()); ++i) {
        if (PtInRect(&layout.items[i], point))
            return hit(i);
    }
    return -1;
}

void InvalidateRow(HWND window, const TabLayout& layout)
{
    RECT row { 0, 0, layout.visibleRight, layout.rowBottom + 1 };
    InvalidateRect(window, &row, TRUE);
}

// Shows the arrows while the tabs do not fit, with a range that reaches the last tab.
void UpdateArrows(HWND window, TabState& state)
{
    TabLayout layout = Layout(window, state);
    state.firstVisible = std::clamp(state.firstVisible, 0, layout.lastFirstVisible);
    if (IsRectEmpty(&layout.arrows)) {
        if (state.arrows)
            DestroyWindow(std::exchange(state.arrows, nullptr));
        return;
    }
    const RECT& r = layout.arrows;
    if (!state.arrows) {
        RegisterUpDownClass();
        state.arrows = CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE | UDS_HORZ, r.left, r.top,
            r.right - r.left, r.bottom - r.top, window, nullptr, nullptr, nullptr);
    } else {
        SetWindowPos(state.arrows, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    SendMessageW(state.arrows, UDM_SETRANGE32, 0, layout.lastFirstVisible);
    SendMessageW(state.arrows, UDM_SETPOS32, 0, state.firstVisible);
}

void Relayout(HWND window, TabState& state)
{
    UpdateArrows(window, state);
    InvalidateRect(window, nullptr, TRUE);
}

// Scrolls the row as little as needed for the tab to be seen whole (or from its start, when it is wider than the row).
void ScrollIntoView(HWND window, TabState& state, int index)
{
    TabLayout layout = Layout(window, state);
    if (IsRectEmpty(&layout.arrows) || index < 0)
        return;
    int first = std::min(state.firstVisible, index);
    while (first < index && first < layout.lastFirstVisible
        && kRowLeft + layout.items[index].right - layout.items[first].left > layout.visibleRight)
        ++first;
    if (first != state.firstVisible) {
        state.firstVisible = first;
        SendMessageW(state.arrows, UDM_SETPOS32, 0, first);
        InvalidateRow(window, layout);
    }
}

void SetSelection(HWND window, TabState& state, int index)
{
    InvalidateRow(window, Layout(window, state));
    state.selected = index;
    ScrollIntoView(window, state, index);
    InvalidateRow(window, Layout(window, state));
}

// A change the user asks for: the parent may refuse it.
void ChangeSelection(HWND window, TabState& state, int index)
{
    if (index < 0 || index >= static_cast<int>(state.items.size()) || index == state.selected)
        return;
    NMHDR header {};
    if (NotifyParent(window, TCN_SELCHANGING, header) || !IsWindow(window))
        return;
    SetSelection(window, state, index);
    NotifyParent(window, TCN_SELCHANGE, header);
}

// ---- items

void Apply(TabItem& item, const TCITEMW& info)
{
    if (info.mask & TCIF_TEXT)
        item.text = info.pszText ? info.pszText : L"";
    if (info.mask & TCIF_IMAGE)
        item.image = info.iImage;
    if (info.mask & TCIF_PARAM)
        item.data = info.lParam;
    if (info.mask & TCIF_STATE)
        item.state = (item.state & ~info.dwStateMask) | (info.dwState & info.dwStateMask);
}

LRESULT InsertItem(HWND window, TabState& state, WPARAM where, const TCITEMW* info)
{
    if (!info || static_cast<int>(where) < 0)
        return -1;
    size_t index = std::min<size_t>(where, state.items.size());
    TabItem item;
    Apply(item, *info);
    state.items.insert(state.items.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
    if (state.selected < 0)
        state.selected = 0; // the first tab comes selected
    else if (static_cast<int>(index) <= state.selected)
        ++state.selected;
    Relayout(window, state);
    return static_cast<LRESULT>(index);
}

LRESULT DeleteItem(HWND window, TabState& state, WPARAM index)
{
    if (index >= state.items.size())
        return FALSE;
    state.items.erase(state.items.begin() + static_cast<std::ptrdiff_t>(index));
    if (static_cast<int>(index) == state.selected)
        state.selected = -1;
    else if (static_cast<int>(index) < state.selected)
        --state.selected;
    Relayout(window, state);
    return TRUE;
}

LRESULT DeleteAllItems(HWND window, TabState& state)
{
    state.items.clear();
    state.selected = -1;
    state.firstVisible = 0;
    Relayout(window, state);
    return TRUE;
}

LRESULT GetItem(const TabState& state, WPARAM index, TCITEMW* info)
{
    if (!info || index >= state.items.size())
        return FALSE;
    const TabItem& item = state.items[index];
    if ((info->mask & TCIF_TEXT) && info->pszText && info->cchTextMax > 0) {
        size_t count = std::min<size_t>(item.text.size(), static_cast<size_t>(info->cchTextMax) - 1);
        std::copy_n(item.text.begin(), count, info->pszText);
        info->pszText[count] = L'\0';
    }
    if (info->mask & TCIF_IMAGE)
        info->iImage = item.image;
    if (info->mask & TCIF_PARAM)
        info->lParam = item.data;
    if (info->mask & TCIF_STATE)
        info->dwState = item.state & info->dwStateMask;
    return TRUE;
}

LRESULT SetItem(HWND window, TabState& state, WPARAM index, const TCITEMW* info)
{
    if (!info || index >= state.items.size())
        return FALSE;
    Apply(state.items[index], *info);
    Relayout(window, state);
    return TRUE;
}

// ---- messages

LRESULT GetItemRect(HWND window, const TabState& state, WPARAM index, RECT* rect)
{
    if (!rect || index >= state.items.size())
        return FALSE;
    *rect = Layout(window, state).items[index];
    return TRUE;
}

LRESULT SetCurSel(HWND window, TabState& state, WPARAM index)
{
    if (index >= state.items.size())
        return -1;
    int previous = state.selected;
    if (static_cast<int>(index) != previous)
        SetSelection(window, state, static_cast<int>(index));
    return previous;
}

// Between the control's window rectangle and the display area inside its pane, either way.
LRESULT AdjustRect(HWND window, const TabState& state, bool larger, RECT* rect)
{
    if (!rect)
        return 0;
    int top = Layout(window, state).rowBottom + kPaneInset;
    int sign = larger ? -1 : 1;
    rect->left += sign * kPaneInset;
    rect->top += sign * top;
    rect->right -= sign * kPaneInset;
    rect->bottom -= sign * kPaneInset;
    return 0;
}

LRESULT SetItemSize(HWND window, TabState& state, LPARAM size)
{
    TabLayout layout = Layout(window, state);
    int width = layout.items.empty() ? 0 : layout.items.front().right - layout.items.front().left;
    LRESULT previous = MAKELONG(static_cast<WORD>(width), static_cast<WORD>(layout.rowBottom - kRowTop));
    state.itemSize = { static_cast<SHORT>(LOWORD(size)), static_cast<SHORT>(HIWORD(size)) };
    Relayout(window, state);
    return previous;
}

void OnKeyDown(HWND window, TabState& state, WPARAM key, LPARAM flags)
{
    NMTCKEYDOWN keyDown {};
    keyDown.wVKey = static_cast<WORD>(key);
    keyDown.flags = static_cast<UINT>(flags);
    NotifyParent(window, TCN_KEYDOWN, keyDown.hdr);
    if (!IsWindow(window))
        return;
    if (key == VK_LEFT)
        ChangeSelection(window, state, state.selected - 1);
    else if (key == VK_RIGHT)
        ChangeSelection(window, state, state.selected + 1);
}

void OnLButtonDown(HWND window, TabState& state, POINT point)
{
    int index = HitTest(state, Layout(window, state), point, nullptr);
    if (index < 0)
        return;
    if (!(StyleOf(window) & TCS_FOCUSNEVER) && GetFocus() != window)
        SetFocus(window);
    ChangeSelection(window, state, index);
}

// ---- painting

void DrawLabel(HDC dc, const TabState& state, const TabLayout& layout, const TabItem& item, const RECT& rect)
{
    RECT inside = rect;
    inside.left += state.padding.cx;
    inside.right -= state.padding.cx;
    if (HasImage(state, item)) {
        int top = rect.top + (rect.bottom - rect.top - layout.icon.cy) / 2;
        ImageList_Draw(state.images, item.image, dc, inside.left, top, ILD_TRANSPARENT);
        inside.left += layout.icon.cx + kIconGap;
    }
    DrawTextW(dc, item.text.c_str(), static_cast<int>(item.text.size()), &inside, DT_SINGLELINE | DT_VCENTER | DT_CENTER | DT_NOPREFIX);
}

void OnPaint(HWND window, const TabState& state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    TabLayout layout = Layout(window, state);
    RECT row { client.left, client.top, client.right, layout.rowBottom };
    FillRect(dc, &row, GetSysColorBrush(COLOR_BTNFACE));
    gdi::DrawTabPane(dc, layout.pane);

    int saved = SaveDC(dc);
    IntersectClipRect(dc, client.left, client.top, layout.visibleRight, layout.rowBottom + 1);
    SelectObject(dc, FontOr(state.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    for (size_t i = 0; i < state.items.size(); ++i) {
        if (static_cast<int>(i) == state.selected || !Shown(layout, static_cast<int>(i)))
            continue;
        gdi::DrawTabItem(dc, layout.items[i]);
        DrawLabel(dc, state, layout, state.items[i], layout.items[i]);
    }
    if (state.selected >= 0 && Shown(layout, state.selected)) {
        RECT shape = SelectedShape(layout.items[state.selected], layout.rowBottom);
        gdi::DrawTabItem(dc, shape);
        RECT label = layout.items[state.selected];
        OffsetRect(&label, 0, -1); // the selected label rises with its tab
        DrawLabel(dc, state, layout, state.items[state.selected], label);
        if (GetFocus() == window) {
            RECT focus = shape;
            InflateRect(&focus, -3, 0);
            focus.top += 3, focus.bottom -= 3;
            DrawFocusRect(dc, &focus);
        }
    }
    RestoreDC(dc, saved);
    EndPaint(window, &paint);
}

LRESULT TabProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        AttachState(window, std::make_unique<TabState>());
    TabState* state = StateOf<TabState>(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        DetachState<TabState>(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(state->images);
    case TCM_SETIMAGELIST: {
        HIMAGELIST previous = std::exchange(state->images, reinterpret_cast<HIMAGELIST>(lParam));
        Relayout(window, *state);
        return reinterpret_cast<LRESULT>(previous);
    }
    case TCM_GETITEMCOUNT: return static_cast<LRESULT>(state->items.size());
    case TCM_INSERTITEMW: return InsertItem(window, *state, wParam, reinterpret_cast<const TCITEMW*>(lParam));
    case TCM_DELETEITEM: return DeleteItem(window, *state, wParam);
    case TCM_DELETEALLITEMS: return DeleteAllItems(window, *state);
    case TCM_GETITEMW: return GetItem(*state, wParam, reinterpret_cast<TCITEMW*>(lParam));
    case TCM_SETITEMW: return SetItem(window, *state, wParam, reinterpret_cast<const TCITEMW*>(lParam));
    case TCM_GETITEMRECT: return GetItemRect(window, *state, wParam, reinterpret_cast<RECT*>(lParam));
    case TCM_GETCURSEL:
    case TCM_GETCURFOCUS: return state->selected;
    case TCM_SETCURSEL: return SetCurSel(window, *state, wParam);
    case TCM_SETCURFOCUS: ChangeSelection(window, *state, static_cast<int>(wParam)); return 0;
    case TCM_HITTEST: {
        auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
        return info ? HitTest(*state, Layout(window, *state), info->pt, &info->flags) : -1;
    }
    case TCM_ADJUSTRECT: return AdjustRect(window, *state, wParam != 0, reinterpret_cast<RECT*>(lParam));
    case TCM_SETITEMSIZE: return SetItemSize(window, *state, lParam);
    case TCM_SETPADDING:
        state->padding = { static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam)) };
        Relayout(window, *state);
        return 0;
    case TCM_GETROWCOUNT: return 1;
    case TCM_SETMINTABWIDTH: {
        int previous = std::exchange(state->minTabWidth, static_cast<int>(lParam));
        Relayout(window, *state);
        return previous;
    }
    case WM_SETFONT:
        state->font = reinterpret_cast<HFONT>(wParam);
        Relayout(window, *state);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state->font);
    case WM_SIZE: Relayout(window, *state); return 0;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == state->arrows && LOWORD(wParam) == SB_THUMBPOSITION) {
            state->firstVisible = static_cast<SHORT>(HIWORD(wParam));
            InvalidateRow(window, Layout(window, *state));
        }
        return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(window, *state, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) }); return 0;
    case WM_KEYDOWN: OnKeyDown(window, *state, wParam, lParam); return 0;
    case WM_GETDLGCODE: return kWantsArrowsAndChars;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE: InvalidateRow(window, Layout(window, *state)); return 0;
    case WM_ERASEBKGND: return TRUE; // painting fills the whole control
    case WM_PAINT: OnPaint(window, *state); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

ATOM RegisterTabClass()
{
    return RegisterControlClass(WC_TABCONTROLW, TabProcedure, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

} // namespace fln::comctl
