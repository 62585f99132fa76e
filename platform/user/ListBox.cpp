// The list box: one selected item at most, LBN_ notifications, owner-drawn items of one height,
// tab stops, scroll bars and the keyboard with type-ahead.

#include "platform/user/ListBox.h"
#include "platform/user/ControlSupport.h"
#include "platform/user/ItemList.h"
#include "platform/user/SystemClasses.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace fln::user {
namespace {

constexpr DWORD kTypeAheadPause = 2000;                  // ms between keys that still extend the prefix
constexpr UINT_PTR kDragScrollTimer = 1;
constexpr UINT kDragScrollInterval = 100;
constexpr int kTextIndent = 2;
constexpr int kMaxItemHeight = 255;
constexpr int kDefaultTabStop = 32; // dialog units

struct ListBoxState {
    ItemList items;
    HWND self = nullptr;
    DWORD style = 0;
    bool hasStrings = true;
    bool wantsVerticalBar = false;
    bool wantsHorizontalBar = false;
    HWND notify = nullptr;     // gets the LBN_ notifications
    HWND owner = nullptr;      // draws owner-drawn items and chooses the colours
    HWND itemWindow = nullptr; // the control owner-drawn items belong to
    UINT controlType = ODT_LISTBOX;
    UINT controlId = 0;
    HFONT font = nullptr;
    TEXTMETRICW fontMetrics {}; // of `font`, measured when it is set
    int itemHeight = 0;
    int horizontalExtent = 0;
    int horizontalOffset = 0;
    int caret = 0;
    bool focused = false;
    bool tracking = false;
    int selectionAtPress = ItemList::kNone;
    int dragDirection = 0; // -1 above, +1 below the items while tracking
    std::vector<int> tabStops; // pixels
};

using State = ControlState<ListBoxState>;
static_assert(State::kExtraBytes == kListBoxExtraBytes);

ListBoxState* StateOf(HWND window)
{
    return State::Of(window);
}

bool IsOwnerDrawn(const ListBoxState& state)
{
    return state.style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE);
}

// ---- metrics and layout

RECT ClientRect(const ListBoxState& state)
{
    RECT client {};
    GetClientRect(state.self, &client);
    return client;
}

// Whole items that fit; at least one.
int VisibleCount(const ListBoxState& state)
{
    RECT client = ClientRect(state);
    return std::max(1, static_cast<int>((client.bottom - client.top) / std::max(state.itemHeight, 1)));
}

RECT ItemRect(const ListBoxState& state, int index)
{
    RECT client = ClientRect(state);
    int top = (index - state.items.TopIndex()) * state.itemHeight;
    int width = std::max(static_cast<int>(client.right), state.horizontalExtent);
    return { -state.horizontalOffset, top, width - state.horizontalOffset, top + state.itemHeight };
}

// The item under a client point and whether the point is below or beside every item.
std::pair<int, bool> ItemAt(const ListBoxState& state, POINT point)
{
    int count = state.items.Count();
    if (count == 0)
        return { 0, true };
    RECT client = ClientRect(state);
    int row = point.y < 0 ? -1 : point.y / std::max(state.itemHeight, 1);
    int index = std::clamp(state.items.TopIndex() + row, 0, count - 1);
    bool outside = point.y < 0 || point.y >= client.bottom || point.x < 0 || point.x >= client.right || state.items.TopIndex() + row >= count;
    return { index, outside };
}

// ---- notifications

void Notify(const ListBoxState& state, WORD code)
{
    bool always = code == LBN_SETFOCUS || code == LBN_KILLFOCUS || code == LBN_ERRSPACE;
    if (!always && !(state.style & LBS_NOTIFY))
        return;
    SendMessageW(state.notify, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(state.self)), code), reinterpret_cast<LPARAM>(state.self));
}

// ---- scrolling and invalidation

void InvalidateItem(const ListBoxState& state, int index)
{
    if (!state.items.IsValid(index) && !(index == 0 && state.items.Count() == 0))
        return;
    RECT item = ItemRect(state, index);
    InvalidateRect(state.self, &item, TRUE);
}

// Items from `index` on moved or changed: everything from its row down.
void InvalidateFrom(const ListBoxState& state, int index)
{
    RECT area = ClientRect(state);
    area.top = std::max(0, (index - state.items.TopIndex()) * state.itemHeight);
    InvalidateRect(state.self, &area, TRUE);
}

void UpdateScrollBars(ListBoxState& state)
{
    RECT client = ClientRect(state);
    state.horizontalOffset = std::clamp(state.horizontalOffset, 0, std::max(0, state.horizontalExtent - static_cast<int>(client.right)));
    UINT keepShown = (state.style & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0;
    if (state.wantsVerticalBar) {
        SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS | keepShown, 0, std::max(0, state.items.Count() - 1),
            static_cast<UINT>(VisibleCount(state)), state.items.TopIndex(), 0 };
        SetScrollInfo(state.self, SB_VERT, &info, FALSE);
    }
    if (state.wantsHorizontalBar) {
        SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS | keepShown, 0, std::max(0, state.horizontalExtent - 1),
            static_cast<UINT>(client.right), state.horizontalOffset, 0 };
        SetScrollInfo(state.self, SB_HORZ, &info, FALSE);
    }
    // The bars are drawn with the next WM_PAINT, after any parent that paints over this window.
    if (state.wantsVerticalBar || state.wantsHorizontalBar)
        RedrawWindow(state.self, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

void SetTop(ListBoxState& state, int index)
{
    int old = state.items.TopIndex();
    state.items.SetTopIndex(index, VisibleCount(state));
    if (state.items.TopIndex() == old)
        return;
    InvalidateRect(state.self, nullptr, TRUE);
    UpdateScrollBars(state);
}

void ScrollHorizontally(ListBoxState& state, int offset)
{
    RECT client = ClientRect(state);
    offset = std::clamp(offset, 0, std::max(0, state.horizontalExtent - static_cast<int>(client.right)));
    if (offset == state.horizontalOffset)
        return;
    state.horizontalOffset = offset;
    InvalidateRect(state.self, nullptr, TRUE);
    UpdateScrollBars(state);
}

void EnsureVisible(ListBoxState& state, int index)
{
    if (state.items.ScrollIntoView(index, VisibleCount(state))) {
        InvalidateRect(state.self, nullptr, TRUE);
        UpdateScrollBars(state);
    }
}

// The one place the selection and the caret change: repaints the rows that changed.
void Select(ListBoxState& state, int index)
{
    int oldSelection = state.items.Selection(), oldCaret = state.caret;
    if (index == oldSelection && (index == ItemList::kNone || index == oldCaret))
        return;
    state.items.Select(index);
    if (index != ItemList::kNone)
        state.caret = index;
    for (int changed : { oldSelection, oldCaret, index, state.caret })
        InvalidateItem(state, changed);
}

// A selection the user made: shown, and reported when it changed.
void SelectByUser(ListBoxState& state, int index)
{
    if (!state.items.IsValid(index))
        return;
    bool changed = index != state.items.Selection();
    Select(state, index);
    EnsureVisible(state, index);
    if (changed)
        Notify(state, LBN_SELCHANGE);
}

// ---- painting

struct ItemColours {
    HBRUSH background;
    COLORREF text;
};

// A combo box's list asks the combo box's parent, as the combo box.
ItemColours AskColours(const ListBoxState& state, HDC dc)
{
    HBRUSH brush = ParentColours(state.itemWindow, WM_CTLCOLORLISTBOX, dc);
    return { brush, GetTextColor(dc) };
}

void DrawOwnerItem(const ListBoxState& state, HDC dc, int index, bool enabled)
{
    DRAWITEMSTRUCT draw {};
    draw.CtlType = state.controlType;
    draw.CtlID = state.controlId;
    draw.itemID = static_cast<UINT>(index);
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = (index == state.items.Selection() ? ODS_SELECTED : 0) | (state.focused && index == state.caret ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
    draw.hwndItem = state.itemWindow;
    draw.hDC = dc;
    draw.rcItem = ItemRect(state, index);
    draw.itemData = state.items.At(index).data;
    SendMessageW(state.owner, WM_DRAWITEM, state.controlId, reinterpret_cast<LPARAM>(&draw));
}

void DrawTextItem(const ListBoxState& state, HDC dc, int index, const ItemColours& colours, bool enabled)
{
    RECT item = ItemRect(state, index);
    bool selected = index == state.items.Selection();
    if (selected) {
        FillRect(dc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        SetTextColor(dc, enabled ? colours.text : GetSysColor(COLOR_GRAYTEXT));
    }
    const std::wstring& text = state.items.At(index).text;
    int y = item.top + (state.itemHeight - static_cast<int>(state.fontMetrics.tmHeight)) / 2;
    if (state.style & LBS_USETABSTOPS)
        TabbedTextOutW(dc, item.left + kTextIndent, y, text.c_str(), static_cast<int>(text.size()), static_cast<int>(state.tabStops.size()), state.tabStops.data(), item.left + kTextIndent);
    else
        ExtTextOutW(dc, item.left + kTextIndent, y, ETO_CLIPPED, &item, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

void Paint(ListBoxState& state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(state.self, &paint);
    HGDIOBJ oldFont = SelectObject(dc, state.font ? state.font : GetStockObject(SYSTEM_FONT));
    ItemColours colours = AskColours(state, dc);
    FillRect(dc, &paint.rcPaint, colours.background);
    SetBkMode(dc, TRANSPARENT);
    bool enabled = IsWindowEnabled(state.self);
    int last = std::min(state.items.Count(), state.items.TopIndex() + VisibleCount(state) + 1);
    for (int index = state.items.TopIndex(); index < last; ++index) {
        RECT item = ItemRect(state, index), overlap;
        if (!IntersectRect(&overlap, &item, &paint.rcPaint))
            continue;
        if (IsOwnerDrawn(state))
            DrawOwnerItem(state, dc, index, enabled);
        else
            DrawTextItem(state, dc, index, colours, enabled);
    }
    // The caret is the focus rectangle; an empty list shows it on its first row.
    if (state.focused && !IsOwnerDrawn(state) && (state.items.IsValid(state.caret) || state.items.Count() == 0)) {
        RECT item = ItemRect(state, state.items.Count() ? state.caret : 0);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawFocusRect(dc, &item);
    }
    SelectObject(dc, oldFont);
    EndPaint(state.self, &paint);
}

// ---- the mouse

void TrackTo(ListBoxState& state, POINT point)
{
    int index = ItemAt(state, point).first;
    RECT client = ClientRect(state);
    state.dragDirection = point.y < 0 ? -1 : point.y >= client.bottom ? 1 : 0;
    if (state.dragDirection)
        SetTimer(state.self, kDragScrollTimer, kDragScrollInterval, nullptr);
    else
        KillTimer(state.self, kDragScrollTimer);
    if (state.items.Count() == 0)
        return;
    // Above or below the rows the selection steps one item past the visible ones.
    if (state.dragDirection < 0)
        index = std::max(0, state.items.TopIndex() - 1);
    else if (state.dragDirection > 0)
        index = std::min(state.items.Count() - 1, state.items.TopIndex() + VisibleCount(state));
    Select(state, index);
    EnsureVisible(state, index);
}

void OnLButtonDown(ListBoxState& state, POINT point)
{
    if (!(state.style & LBS_COMBOBOX) && GetFocus() != state.self)
        SetFocus(state.self);
    SetCapture(state.self);
    state.tracking = true;
    state.selectionAtPress = state.items.Selection();
    TrackTo(state, point);
}

void EndTracking(ListBoxState& state)
{
    state.tracking = false;
    state.dragDirection = 0;
    KillTimer(state.self, kDragScrollTimer);
}

void OnLButtonUp(ListBoxState& state)
{
    if (!state.tracking)
        return;
    EndTracking(state);
    if (GetCapture() == state.self)
        ReleaseCapture();
    if (state.items.Selection() != state.selectionAtPress)
        Notify(state, LBN_SELCHANGE);
}

void OnDoubleClick(ListBoxState& state, POINT point)
{
    OnLButtonDown(state, point);
    OnLButtonUp(state);
    if (!ItemAt(state, point).second)
        Notify(state, LBN_DBLCLK);
}

void OnDragScrollTimer(ListBoxState& state)
{
    if (!state.tracking || !state.dragDirection) {
        KillTimer(state.self, kDragScrollTimer);
        return;
    }
    int index = std::clamp(state.caret + state.dragDirection, 0, std::max(0, state.items.Count() - 1));
    Select(state, index);
    EnsureVisible(state, index);
}

// ---- the keyboard

// The item a moving key goes to (before clamping), or nothing for other keys.
std::optional<int> KeyTarget(const ListBoxState& state, int key)
{
    int page = std::max(1, VisibleCount(state) - 1);
    switch (key) {
    case VK_UP:
    case VK_LEFT: return state.caret - 1;
    // With nothing selected the first step takes the caret item itself.
    case VK_DOWN:
    case VK_RIGHT: return state.items.Selection() == ItemList::kNone ? state.caret : state.caret + 1;
    case VK_PRIOR: return state.caret - page;
    case VK_NEXT: return state.caret + page;
    case VK_HOME: return 0;
    case VK_END: return state.items.Count() - 1;
    default: return std::nullopt;
    }
}

void OnKeyDown(ListBoxState& state, int key)
{
    if (state.style & LBS_WANTKEYBOARDINPUT) {
        LRESULT answer = SendMessageW(state.owner, WM_VKEYTOITEM, MAKEWPARAM(static_cast<WORD>(key), static_cast<WORD>(state.caret)), reinterpret_cast<LPARAM>(state.self));
        if (answer == -2)
            return;
        if (answer >= 0) {
            SelectByUser(state, static_cast<int>(answer));
            return;
        }
    }
    std::optional<int> target = KeyTarget(state, key);
    if (!target || state.items.Count() == 0)
        return;
    SelectByUser(state, std::clamp(*target, 0, state.items.Count() - 1));
}

void OnChar(ListBoxState& state, wchar_t typed)
{
    if (typed < L' ')
        return;
    int found = ItemList::kNone;
    if (state.hasStrings) {
        found = state.items.TypeAhead(typed, GetTickCount(), kTypeAheadPause);
    } else if (state.style & LBS_WANTKEYBOARDINPUT) {
        LRESULT answer = SendMessageW(state.owner, WM_CHARTOITEM, MAKEWPARAM(static_cast<WORD>(typed), static_cast<WORD>(state.caret)), reinterpret_cast<LPARAM>(state.self));
        found = answer >= 0 ? static_cast<int>(answer) : ItemList::kNone;
    }
    if (found != ItemList::kNone)
        SelectByUser(state, found);
}

// ---- the list's messages

std::wstring TextArgument(LPARAM lParam)
{
    auto* text = reinterpret_cast<LPCWSTR>(lParam);
    return text ? std::wstring(text) : std::wstring();
}

LRESULT OnAdd(ListBoxState& state, int index, LPARAM lParam, bool sorted)
{
    std::wstring text = state.hasStrings ? TextArgument(lParam) : std::wstring();
    ULONG_PTR data = state.hasStrings ? 0 : static_cast<ULONG_PTR>(lParam);
    int added = sorted ? state.items.Add(std::move(text), data) : state.items.Insert(index, std::move(text), data);
    if (added == ItemList::kNone)
        return LB_ERR;
    InvalidateFrom(state, added);
    UpdateScrollBars(state);
    return added;
}

LRESULT OnDelete(ListBoxState& state, int index)
{
    if (!state.items.IsValid(index))
        return LB_ERR;
    InvalidateFrom(state, index);
    state.items.Delete(index);
    state.caret = std::clamp(state.caret, 0, std::max(0, state.items.Count() - 1));
    UpdateScrollBars(state);
    return state.items.Count();
}

void OnReset(ListBoxState& state)
{
    state.items.Reset();
    state.caret = 0;
    state.horizontalOffset = 0;
    InvalidateRect(state.self, nullptr, TRUE);
    UpdateScrollBars(state);
}

LRESULT OnGetText(const ListBoxState& state, int index, LPARAM buffer)
{
    if (!state.items.IsValid(index))
        return LB_ERR;
    if (!state.hasStrings) {
        // Lists without texts hand out the item data.
        if (buffer)
            std::memcpy(reinterpret_cast<void*>(buffer), &state.items.At(index).data, sizeof(ULONG_PTR));
        return sizeof(ULONG_PTR);
    }
    const std::wstring& text = state.items.At(index).text;
    if (auto* out = reinterpret_cast<LPWSTR>(buffer))
        std::copy(text.c_str(), text.c_str() + text.size() + 1, out);
    return static_cast<LRESULT>(text.size());
}

LRESULT OnFind(const ListBoxState& state, int after, LPARAM lParam, bool exact)
{
    int found;
    if (!state.hasStrings)
        found = state.items.FindData(static_cast<ULONG_PTR>(lParam), after);
    else if (exact)
        found = state.items.FindExact(TextArgument(lParam), after);
    else
        found = state.items.FindPrefix(TextArgument(lParam), after);
    return found == ItemList::kNone ? LB_ERR : found;
}

LRESULT OnSetCurrentSelection(ListBoxState& state, int index)
{
    if (index != ItemList::kNone && !state.items.IsValid(index)) {
        Select(state, ItemList::kNone);
        return LB_ERR;
    }
    Select(state, index);
    if (index != ItemList::kNone)
        EnsureVisible(state, index);
    return index == ItemList::kNone ? LB_ERR : index;
}

LRESULT OnSetItemHeight(ListBoxState& state, int height)
{
    if (height <= 0 || height > kMaxItemHeight)
        return LB_ERR;
    state.itemHeight = height;
    state.items.SetTopIndex(state.items.TopIndex(), VisibleCount(state));
    InvalidateRect(state.self, nullptr, TRUE);
    UpdateScrollBars(state);
    return LB_OKAY;
}

void SetTabStops(ListBoxState& state, int count, const int* dialogUnits)
{
    int unit = LOWORD(GetDialogBaseUnits());
    state.tabStops.clear();
    if (count <= 0 || !dialogUnits) {
        state.tabStops.push_back(kDefaultTabStop * unit / 4);
        return;
    }
    for (int i = 0; i < count; ++i)
        state.tabStops.push_back(dialogUnits[i] * unit / 4);
}

// Shrinks the window to whole rows unless LBS_NOINTEGRALHEIGHT says otherwise.
void KeepIntegralHeight(ListBoxState& state)
{
    if (state.style & LBS_NOINTEGRALHEIGHT || state.itemHeight <= 0)
        return;
    RECT client = ClientRect(state);
    int extra = client.bottom % state.itemHeight;
    if (extra == 0 || client.bottom < state.itemHeight)
        return;
    RECT window {};
    GetWindowRect(state.self, &window);
    SetWindowPos(state.self, nullptr, 0, 0, window.right - window.left, window.bottom - window.top - extra, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnSetFont(ListBoxState& state, HFONT font, bool redraw)
{
    state.font = font;
    state.fontMetrics = gdi::FontMetrics(font);
    if (!IsOwnerDrawn(state))
        state.itemHeight = state.fontMetrics.tmHeight;
    KeepIntegralHeight(state);
    UpdateScrollBars(state);
    if (redraw)
        InvalidateRect(state.self, nullptr, TRUE);
}

void OnScroll(ListBoxState& state, bool vertical, WORD request)
{
    int current = vertical ? state.items.TopIndex() : state.horizontalOffset;
    int line = vertical ? 1 : std::max(1, static_cast<int>(state.fontMetrics.tmAveCharWidth));
    int page = vertical ? std::max(1, VisibleCount(state) - 1) : std::max(1, static_cast<int>(ClientRect(state).right));
    int target = current;
    switch (request) {
    case SB_LINEUP: target = current - line; break;
    case SB_LINEDOWN: target = current + line; break;
    case SB_PAGEUP: target = current - page; break;
    case SB_PAGEDOWN: target = current + page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        // The whole position: the request has room for its low 16 bits only.
        SCROLLINFO info { sizeof info, SIF_TRACKPOS };
        GetScrollInfo(state.self, vertical ? SB_VERT : SB_HORZ, &info);
        target = info.nTrackPos;
        break;
    }
    case SB_TOP: target = 0; break;
    case SB_BOTTOM: target = vertical ? state.items.Count() : state.horizontalExtent; break;
    default: return;
    }
    if (vertical)
        SetTop(state, target);
    else
        ScrollHorizontally(state, target);
}

void MeasureOwnerDrawnItems(ListBoxState& state)
{
    MEASUREITEMSTRUCT measure { state.controlType, state.controlId, 0, 0, static_cast<UINT>(state.itemHeight), 0 };
    SendMessageW(state.owner, WM_MEASUREITEM, state.controlId, reinterpret_cast<LPARAM>(&measure));
    state.itemHeight = std::clamp(static_cast<int>(measure.itemHeight), 1, kMaxItemHeight);
}

void OnNcCreate(HWND window, const CREATESTRUCTW& create)
{
    DWORD style = static_cast<DWORD>(create.style);
    bool ownerDrawn = style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE);
    bool hasStrings = !ownerDrawn || (style & LBS_HASSTRINGS);
    ListBoxState* state = State::Make(window);
    state->items = ItemList(hasStrings && (style & LBS_SORT));
    state->self = window;
    state->style = style;
    state->hasStrings = hasStrings;
    state->wantsVerticalBar = style & WS_VSCROLL;
    state->wantsHorizontalBar = style & WS_HSCROLL;
    state->notify = GetParent(window);
    state->owner = state->notify;
    state->itemWindow = window;
    state->controlId = static_cast<UINT>(reinterpret_cast<UINT_PTR>(create.hMenu));
    if ((style & LBS_COMBOBOX) && create.lpCreateParams) {
        // The drop-down of a combo box: its items are the combo box's, for the combo box's parent.
        HWND combo = static_cast<HWND>(create.lpCreateParams);
        state->notify = combo;
        state->owner = GetParent(combo);
        state->itemWindow = combo;
        state->controlType = ODT_COMBOBOX;
        state->controlId = static_cast<UINT>(GetDlgCtrlID(combo));
    }
    SetTabStops(*state, 0, nullptr);
    state->fontMetrics = gdi::FontMetrics(nullptr);
    state->itemHeight = state->fontMetrics.tmHeight;
}

} // namespace

LRESULT ListBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        OnNcCreate(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
        return DefWindowProcW(window, message, wParam, lParam);
    }
    ListBoxState* state = StateOf(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    ListBoxState& s = *state;
    int index = static_cast<int>(static_cast<INT_PTR>(wParam));
    POINT point { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
    switch (message) {
    case WM_CREATE:
        if (IsOwnerDrawn(s))
            MeasureOwnerDrawnItems(s);
        KeepIntegralHeight(s);
        UpdateScrollBars(s);
        return 0;
    case WM_NCDESTROY:
        State::Delete(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SIZE:
        KeepIntegralHeight(s);
        s.items.SetTopIndex(s.items.TopIndex(), VisibleCount(s));
        UpdateScrollBars(s);
        return 0;
    case WM_STYLECHANGED:
        if (wParam == static_cast<WPARAM>(GWL_STYLE))
            s.style = reinterpret_cast<const STYLESTRUCT*>(lParam)->styleNew;
        return 0;
    case WM_ERASEBKGND: return 1; // WM_PAINT fills the background with the owner's brush
    case WM_PAINT: Paint(s); return 0;
    case WM_ENABLE: InvalidateRect(window, nullptr, TRUE); return 0;
    case WM_SETFONT: OnSetFont(s, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
        s.focused = true;
        InvalidateItem(s, s.caret);
        Notify(s, LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        s.focused = false;
        InvalidateItem(s, s.caret);
        Notify(s, LBN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(s, point); return 0;
    case WM_LBUTTONDBLCLK: OnDoubleClick(s, point); return 0;
    case WM_MOUSEMOVE:
        if (s.tracking)
            TrackTo(s, point);
        return 0;
    case WM_LBUTTONUP: OnLButtonUp(s); return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != window)
            EndTracking(s);
        return 0;
    case WM_TIMER:
        if (wParam == kDragScrollTimer)
            OnDragScrollTimer(s);
        return 0;
    case WM_MOUSEWHEEL: {
        UINT lines = 3;
        SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
        SetTop(s, s.items.TopIndex() - GET_WHEEL_DELTA_WPARAM(wParam) * static_cast<int>(lines) / WHEEL_DELTA);
        return 0;
    }
    case WM_VSCROLL: OnScroll(s, true, LOWORD(wParam)); return 0;
    case WM_HSCROLL: OnScroll(s, false, LOWORD(wParam)); return 0;
    case WM_KEYDOWN: OnKeyDown(s, static_cast<int>(wParam)); return 0;
    case WM_CHAR: OnChar(s, static_cast<wchar_t>(wParam)); return 0;

    case LB_ADDSTRING: return OnAdd(s, ItemList::kNone, lParam, true);
    case LB_INSERTSTRING: return OnAdd(s, index, lParam, false);
    case LB_DELETESTRING: return OnDelete(s, index);
    case LB_RESETCONTENT: OnReset(s); return LB_OKAY;
    case LB_GETCOUNT: return s.items.Count();
    case LB_GETCURSEL: return s.items.Selection() == ItemList::kNone ? LB_ERR : s.items.Selection();
    case LB_SETCURSEL: return OnSetCurrentSelection(s, index);
    case LB_GETSEL: return s.items.IsValid(index) ? LRESULT(index == s.items.Selection()) : LB_ERR;
    case LB_GETTEXT: return OnGetText(s, index, lParam);
    case LB_GETTEXTLEN:
        return !s.items.IsValid(index) ? LB_ERR : s.hasStrings ? static_cast<LRESULT>(s.items.At(index).text.size()) : LRESULT(sizeof(ULONG_PTR));
    case LB_FINDSTRING: return OnFind(s, index, lParam, false);
    case LB_FINDSTRINGEXACT: return OnFind(s, index, lParam, true);
    case LB_SELECTSTRING: {
        LRESULT found = OnFind(s, index, lParam, false);
        return found == LB_ERR ? LB_ERR : OnSetCurrentSelection(s, static_cast<int>(found));
    }
    case LB_GETITEMDATA: return s.items.IsValid(index) ? static_cast<LRESULT>(s.items.At(index).data) : LB_ERR;
    case LB_SETITEMDATA: return s.items.SetData(index, static_cast<ULONG_PTR>(lParam)) ? LB_OKAY : LB_ERR;
    case LB_GETTOPINDEX: return s.items.TopIndex();
    case LB_SETTOPINDEX:
        if (!s.items.IsValid(index) && !(index == 0 && s.items.Count() == 0))
            return LB_ERR;
        SetTop(s, index);
        return LB_OKAY;
    case LB_GETCARETINDEX: return s.caret;
    case LB_SETCARETINDEX:
        if (!s.items.IsValid(index))
            return LB_ERR;
        InvalidateItem(s, s.caret);
        s.caret = index;
        InvalidateItem(s, index);
        EnsureVisible(s, index);
        return LB_OKAY;
    case LB_GETITEMHEIGHT: return s.itemHeight;
    case LB_SETITEMHEIGHT: return OnSetItemHeight(s, static_cast<int>(static_cast<SHORT>(LOWORD(lParam))));
    case LB_GETHORIZONTALEXTENT: return s.horizontalExtent;
    case LB_SETHORIZONTALEXTENT:
        s.horizontalExtent = std::max(0, index);
        UpdateScrollBars(s);
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case LB_SETTABSTOPS: SetTabStops(s, index, reinterpret_cast<const int*>(lParam)); InvalidateRect(window, nullptr, TRUE); return TRUE;
    case LB_GETITEMRECT: {
        auto* rect = reinterpret_cast<RECT*>(lParam);
        if (!rect || (!s.items.IsValid(index) && !(index == 0 && s.items.Count() == 0)))
            return LB_ERR;
        *rect = ItemRect(s, index);
        return 1;
    }
    case LB_ITEMFROMPOINT: {
        auto [item, outside] = ItemAt(s, point);
        return MAKELRESULT(static_cast<WORD>(item), outside ? 1 : 0);
    }
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

ATOM RegisterListBoxClass()
{
    return RegisterControlClass(L"ListBox", ListBoxProcedure, State::kExtraBytes);
}

} // namespace fln::user
