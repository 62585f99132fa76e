// The combo box: a selection field (an "Edit" child, id 1001, in the simple and drop-down styles)
// with a list box, which in the drop-down styles is a popup ("ComboLBox") that opens below the
// field and closes on a choice, Esc, a click outside it or the loss of the focus.

#include "platform/user/ControlSupport.h"
#include "platform/user/ListBox.h"
#include "platform/user/SystemClasses.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <string>
#include <utility>

namespace fln::user {
namespace {

constexpr int kEditId = 1001;
constexpr int kListId = 1000;
constexpr int kEdge = 2; // the sunken edge around the field

enum class Kind { Simple, DropDown, DropDownList };

struct ComboState {
    HWND self = nullptr;
    HWND list = nullptr;
    HWND edit = nullptr;
    WNDPROC editProcedure = nullptr; // the edit's own, behind the combo box's key handling
    DWORD style = 0;
    Kind kind = Kind::DropDownList;
    HFONT font = nullptr;
    int fieldItemHeight = 0;  // the selection field's item height (CB_GETITEMHEIGHT -1)
    int droppedHeight = 0;    // the open list's height, from the height the combo box was made with
    int droppedWidth = 0;     // 0: as wide as the combo box
    bool focused = false;
    bool dropped = false;
    bool buttonPressed = false;
    bool waitingForOpeningRelease = false; // the press that opened the list is still held
    bool hoverMoved = false;  // the pointer moved the list's selection since it opened
    bool scrollingList = false; // the open list's scroll bar has the mouse for a while
    bool fillingEdit = false;   // the edit's text is the list's doing, not the user's
    int selectionWhenDropped = LB_ERR;
};

using State = ControlState<ComboState>;

ComboState* StateOf(HWND window)
{
    return State::Of(window);
}

bool IsOwnerDrawn(const ComboState& state)
{
    return state.style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE);
}

int FontHeight(HFONT font)
{
    return gdi::FontMetrics(font).tmHeight;
}

// ---- layout

int FieldHeight(const ComboState& state)
{
    return state.fieldItemHeight + 2 * kEdge + 2;
}

struct ComboParts {
    RECT field;  // inside the edge
    RECT button; // empty in the simple style
    RECT text;   // where the selected item or the edit shows
};

ComboParts Layout(const ComboState& state)
{
    RECT client = ClientOf(state.self);
    ComboParts parts {};
    parts.field = { kEdge, kEdge, client.right - kEdge, FieldHeight(state) - kEdge };
    if (state.kind != Kind::Simple) {
        int width = GetSystemMetrics(SM_CXVSCROLL);
        parts.button = { parts.field.right - width, parts.field.top, parts.field.right, parts.field.bottom };
    }
    parts.text = { parts.field.left + 1, parts.field.top + 1, (state.kind == Kind::Simple ? parts.field.right : parts.button.left) - 1, parts.field.bottom - 1 };
    return parts;
}

// Where the open list goes, on the screen: below the field, or above it when it does not fit.
RECT DroppedRect(const ComboState& state)
{
    RECT combo {};
    GetWindowRect(state.self, &combo);
    int count = static_cast<int>(SendMessageW(state.list, LB_GETCOUNT, 0, 0));
    int itemHeight = static_cast<int>(SendMessageW(state.list, LB_GETITEMHEIGHT, 0, 0));
    int height = std::max(itemHeight, state.droppedHeight) + 2;
    if (!(state.style & CBS_NOINTEGRALHEIGHT))
        height = std::min(height, std::max(count, 1) * itemHeight + 2);
    int width = std::max(static_cast<int>(combo.right - combo.left), state.droppedWidth);
    RECT below { combo.left, combo.bottom, combo.left + width, combo.bottom + height };
    MONITORINFO monitor { sizeof monitor };
    GetMonitorInfoW(MonitorFromWindow(state.self, MONITOR_DEFAULTTONEAREST), &monitor);
    if (below.bottom > monitor.rcWork.bottom && combo.top - height >= monitor.rcWork.top)
        return { combo.left, combo.top - height, combo.left + width, combo.top };
    return below;
}

// ---- notifications and the selection

void Notify(const ComboState& state, WORD code)
{
    NotifyParent(state.self, code);
}

int Selection(const ComboState& state)
{
    return static_cast<int>(SendMessageW(state.list, LB_GETCURSEL, 0, 0));
}

std::wstring ItemText(const ComboState& state, int index)
{
    LRESULT length = SendMessageW(state.list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(state.list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

// The field shows the selection: the edit gets its text, all selected; a drop-down list takes it
// as its own window text and redraws.
void ShowSelectionInField(ComboState& state)
{
    int selection = Selection(state);
    std::wstring text = selection == LB_ERR ? std::wstring() : ItemText(state, selection);
    if (state.edit) {
        state.fillingEdit = true;
        SetWindowTextW(state.edit, text.c_str());
        SendMessageW(state.edit, EM_SETSEL, 0, -1);
        state.fillingEdit = false;
        return;
    }
    DefWindowProcW(state.self, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    RECT field = Layout(state).text;
    InvalidateRect(state.self, &field, FALSE);
}

// The user changed the selection.
void OnUserSelection(ComboState& state)
{
    if (state.dropped)
        state.selectionWhenDropped = Selection(state), state.hoverMoved = false;
    ShowSelectionInField(state);
    if (state.kind == Kind::Simple)
        Notify(state, CBN_SELENDOK); // a simple combo box's list is always open: every choice is final
    Notify(state, CBN_SELCHANGE);
}

// ---- opening and closing the list

void SetButtonPressed(ComboState& state, bool pressed)
{
    if (state.buttonPressed == pressed)
        return;
    state.buttonPressed = pressed;
    RECT button = Layout(state).button;
    InvalidateRect(state.self, &button, FALSE);
}

void Open(ComboState& state)
{
    if (state.dropped || state.kind == Kind::Simple)
        return;
    Notify(state, CBN_DROPDOWN); // the owner may fill the list now
    RECT r = DroppedRect(state);
    state.dropped = true;
    state.hoverMoved = false;
    state.selectionWhenDropped = Selection(state);
    SetWindowPos(state.list, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (state.selectionWhenDropped != LB_ERR)
        SendMessageW(state.list, LB_SETTOPINDEX, static_cast<WPARAM>(state.selectionWhenDropped), 0);
    SetCapture(state.list);
}

// Closes the open list, taking its selection or going back to the one it opened with.
void Close(ComboState& state, bool accept)
{
    if (!state.dropped)
        return;
    state.dropped = false;
    state.waitingForOpeningRelease = false;
    SetButtonPressed(state, false);
    if (!accept && state.hoverMoved)
        SendMessageW(state.list, LB_SETCURSEL, static_cast<WPARAM>(state.selectionWhenDropped), 0);
    bool changed = accept && Selection(state) != state.selectionWhenDropped;
    if (changed) {
        state.selectionWhenDropped = Selection(state);
        Notify(state, CBN_SELCHANGE);
    }
    Notify(state, accept ? CBN_SELENDOK : CBN_SELENDCANCEL);
    if (GetCapture() == state.list)
        ReleaseCapture();
    ShowWindow(state.list, SW_HIDE);
    ShowSelectionInField(state);
    Notify(state, CBN_CLOSEUP);
}

void Toggle(ComboState& state)
{
    if (state.dropped)
        Close(state, true);
    else
        Open(state);
}

// ---- the combo box's own input

// Keys the combo box acts on itself, whether it or its edit has the focus; false for the others.
bool OnComboKey(ComboState& state, UINT message, int key)
{
    bool alt = message == WM_SYSKEYDOWN;
    if (key == VK_F4 || (alt && (key == VK_DOWN || key == VK_UP))) {
        Toggle(state);
        return true;
    }
    if (alt)
        return false;
    if (state.dropped && (key == VK_RETURN || key == VK_ESCAPE)) {
        Close(state, key == VK_RETURN);
        return true;
    }
    bool moves = key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT;
    bool listKeys = moves || (!state.edit && (key == VK_HOME || key == VK_END || key == VK_LEFT || key == VK_RIGHT));
    if (!listKeys)
        return false;
    // The list moves its selection and reports a change with LBN_SELCHANGE (OnListCommand).
    SendMessageW(state.list, WM_KEYDOWN, static_cast<WPARAM>(key), 0);
    return true;
}

void OnLButtonDown(ComboState& state, POINT point)
{
    if (state.edit) {
        if (GetFocus() != state.edit)
            SetFocus(state.edit);
    } else if (GetFocus() != state.self) {
        SetFocus(state.self);
    }
    ComboParts parts = Layout(state);
    bool onButton = PtInRect(&parts.button, point);
    if (state.kind == Kind::DropDownList ? PtInRect(&parts.field, point) : onButton) {
        SetButtonPressed(state, true);
        Open(state);
        state.waitingForOpeningRelease = state.dropped;
    }
}

void DrawField(ComboState& state, HDC dc, const ComboParts& parts)
{
    bool enabled = IsWindowEnabled(state.self);
    HWND parent = GetParent(state.self);
    RECT field = parts.field;
    FillRect(dc, &field, ParentColours(state.self, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, dc));
    if (state.edit)
        return;
    int selection = Selection(state);
    bool highlighted = state.focused && enabled;
    RECT text = parts.text;
    if (IsOwnerDrawn(state)) {
        DRAWITEMSTRUCT draw {};
        draw.CtlType = ODT_COMBOBOX;
        draw.CtlID = static_cast<UINT>(GetDlgCtrlID(state.self));
        draw.itemID = static_cast<UINT>(selection);
        draw.itemAction = ODA_DRAWENTIRE;
        draw.itemState = ODS_COMBOBOXEDIT | (highlighted ? ODS_SELECTED | ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
        draw.hwndItem = state.self;
        draw.hDC = dc;
        draw.rcItem = text;
        draw.itemData = selection == LB_ERR ? 0 : static_cast<ULONG_PTR>(SendMessageW(state.list, LB_GETITEMDATA, static_cast<WPARAM>(selection), 0));
        SendMessageW(parent, WM_DRAWITEM, draw.CtlID, reinterpret_cast<LPARAM>(&draw));
        return;
    }
    if (highlighted) {
        FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else if (!enabled) {
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    }
    if (selection != LB_ERR) {
        std::wstring item = ItemText(state, selection);
        SetBkMode(dc, TRANSPARENT);
        RECT inner = text;
        inner.left += 1;
        DrawTextW(dc, item.c_str(), static_cast<int>(item.size()), &inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (highlighted) {
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        DrawFocusRect(dc, &text);
    }
}

void Paint(ComboState& state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(state.self, &paint);
    ComboParts parts = Layout(state);
    HGDIOBJ oldFont = SelectObject(dc, state.font ? state.font : GetStockObject(SYSTEM_FONT));
    RECT edge { 0, 0, ClientOf(state.self).right, FieldHeight(state) };
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
    DrawField(state, dc, parts);
    if (state.kind != Kind::Simple) {
        RECT button = parts.button;
        UINT look = DFCS_SCROLLCOMBOBOX | (state.buttonPressed ? DFCS_PUSHED | DFCS_FLAT : 0) | (IsWindowEnabled(state.self) ? 0 : DFCS_INACTIVE);
        DrawFrameControl(dc, &button, DFC_SCROLL, look);
    } else {
        // Below the field of a simple combo box the list shows; the rest is the parent's colour.
        RECT below { 0, FieldHeight(state), ClientOf(state.self).right, ClientOf(state.self).bottom };
        FillRect(dc, &below, GetSysColorBrush(COLOR_3DFACE));
    }
    SelectObject(dc, oldFont);
    EndPaint(state.self, &paint);
}

// ---- children

void PlaceChildren(ComboState& state)
{
    ComboParts parts = Layout(state);
    if (state.edit)
        MoveWindow(state.edit, parts.text.left, parts.text.top, parts.text.right - parts.text.left, parts.text.bottom - parts.text.top, TRUE);
    if (state.kind == Kind::Simple) {
        RECT client = ClientOf(state.self);
        MoveWindow(state.list, 0, FieldHeight(state), client.right, std::max(0, static_cast<int>(client.bottom) - FieldHeight(state)), TRUE);
    }
}

// The edit's keys pass the combo box first: the list keys, F4, Alt+arrows, Enter and Esc.
LRESULT EditKeysProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    ComboState* state = StateOf(GetParent(edit));
    if (!state)
        return DefWindowProcW(edit, message, wParam, lParam);
    WNDPROC original = state->editProcedure;
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && OnComboKey(*state, message, static_cast<int>(wParam)))
        return 0;
    // Enter and Esc act on key-down; their characters are not text.
    if (message == WM_CHAR && (wParam == L'\r' || wParam == 0x1B))
        return 0;
    if (message == WM_GETDLGCODE)
        return CallWindowProcW(original, edit, message, wParam, lParam) | (state->dropped ? DLGC_WANTALLKEYS : 0);
    return CallWindowProcW(original, edit, message, wParam, lParam);
}

void MakeEdit(ComboState& state)
{
    DWORD editStyle = WS_CHILD | WS_VISIBLE | ((state.style & CBS_AUTOHSCROLL) ? ES_AUTOHSCROLL : 0)
        | ((state.style & CBS_UPPERCASE) ? ES_UPPERCASE : 0) | ((state.style & CBS_LOWERCASE) ? ES_LOWERCASE : 0);
    state.edit = CreateWindowExW(0, L"Edit", L"", editStyle, 0, 0, 0, 0, state.self, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditId)), nullptr, nullptr);
    if (state.edit)
        state.editProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(state.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditKeysProcedure)));
}

void MakeList(ComboState& state)
{
    DWORD listStyle = LBS_COMBOBOX | LBS_NOTIFY | WS_VSCROLL | LBS_HASSTRINGS
        | ((state.style & CBS_SORT) ? LBS_SORT : 0)
        | ((state.style & CBS_OWNERDRAWFIXED) ? LBS_OWNERDRAWFIXED : 0)
        | ((state.style & CBS_OWNERDRAWVARIABLE) ? LBS_OWNERDRAWVARIABLE : 0)
        | ((state.style & CBS_HASSTRINGS) || !IsOwnerDrawn(state) ? LBS_HASSTRINGS : 0)
        | ((state.style & CBS_DISABLENOSCROLL) ? LBS_DISABLENOSCROLL : 0);
    if (IsOwnerDrawn(state) && !(state.style & CBS_HASSTRINGS))
        listStyle &= ~LBS_HASSTRINGS;
    if (state.kind == Kind::Simple) {
        state.list = CreateWindowExW(WS_EX_CLIENTEDGE, L"ComboLBox", L"", listStyle | LBS_NOINTEGRALHEIGHT | WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
            state.self, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kListId)), nullptr, state.self);
    } else {
        state.list = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, L"ComboLBox", L"", listStyle | LBS_NOINTEGRALHEIGHT | WS_POPUP | WS_BORDER,
            0, 0, 0, 0, GetAncestor(state.self, GA_ROOT), nullptr, nullptr, state.self);
    }
}

void MeasureField(ComboState& state)
{
    state.fieldItemHeight = FontHeight(state.font) + 2;
    if (IsOwnerDrawn(state)) {
        MEASUREITEMSTRUCT measure { ODT_COMBOBOX, static_cast<UINT>(GetDlgCtrlID(state.self)), static_cast<UINT>(-1), 0, static_cast<UINT>(state.fieldItemHeight), 0 };
        SendMessageW(GetParent(state.self), WM_MEASUREITEM, measure.CtlID, reinterpret_cast<LPARAM>(&measure));
        state.fieldItemHeight = std::clamp(static_cast<int>(measure.itemHeight), 1, 255);
    }
}

// A drop-down combo box is as high as its field: the height it is given sets the open list's.
void KeepFieldHeight(ComboState& state, WINDOWPOS& position)
{
    if (state.kind == Kind::Simple || (position.flags & SWP_NOSIZE) || position.cy == FieldHeight(state))
        return;
    state.droppedHeight = std::max(0, position.cy - FieldHeight(state));
    position.cy = FieldHeight(state);
}

LRESULT OnCreate(ComboState& state, const CREATESTRUCTW& create)
{
    MeasureField(state);
    state.droppedHeight = std::max(0, create.cy - FieldHeight(state));
    MakeList(state);
    if (!state.list)
        return -1;
    if (state.kind != Kind::DropDownList)
        MakeEdit(state);
    if (state.kind != Kind::Simple)
        SetWindowPos(state.self, nullptr, 0, 0, create.cx, FieldHeight(state), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceChildren(state);
    return 0;
}

void OnSetFont(ComboState& state, HFONT font, bool redraw)
{
    state.font = font;
    if (state.edit)
        SendMessageW(state.edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(state.list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    MeasureField(state);
    if (state.kind != Kind::Simple) {
        RECT r {};
        GetWindowRect(state.self, &r);
        SetWindowPos(state.self, nullptr, 0, 0, r.right - r.left, FieldHeight(state), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    PlaceChildren(state);
    if (redraw)
        InvalidateRect(state.self, nullptr, TRUE);
}

void OnFocus(ComboState& state, bool gained)
{
    if (gained && state.edit && GetFocus() == state.self) {
        SetFocus(state.edit); // the edit reports the focus through EN_SETFOCUS
        return;
    }
    if (state.focused == gained)
        return;
    if (!gained)
        Close(state, false);
    state.focused = gained;
    RECT text = Layout(state).text;
    InvalidateRect(state.self, &text, FALSE);
    Notify(state, gained ? CBN_SETFOCUS : CBN_KILLFOCUS);
}

// Notifications from the children.
void OnChildCommand(ComboState& state, WORD code, HWND child)
{
    if (child == state.list) {
        if (code == LBN_SELCHANGE)
            OnUserSelection(state);
        else if (code == LBN_DBLCLK)
            Notify(state, CBN_DBLCLK);
        return;
    }
    if (child != state.edit || !state.edit)
        return;
    switch (code) {
    case EN_SETFOCUS: OnFocus(state, true); break;
    case EN_KILLFOCUS:
        if (GetFocus() != state.self && GetFocus() != state.list)
            OnFocus(state, false);
        break;
    case EN_UPDATE:
        if (!state.fillingEdit)
            Notify(state, CBN_EDITUPDATE);
        break;
    case EN_CHANGE: {
        if (state.fillingEdit)
            break;
        // While the list is open its highlight follows what is typed.
        if (state.dropped) {
            int length = GetWindowTextLengthW(state.edit);
            std::wstring text(static_cast<size_t>(length) + 1, L'\0');
            GetWindowTextW(state.edit, text.data(), length + 1);
            LRESULT found = SendMessageW(state.list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
            if (found != LB_ERR)
                SendMessageW(state.list, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
        }
        Notify(state, CBN_EDITCHANGE);
        break;
    }
    }
}

LRESULT SetCurrentSelection(ComboState& state, WPARAM index)
{
    LRESULT result = SendMessageW(state.list, LB_SETCURSEL, index, 0);
    state.selectionWhenDropped = Selection(state);
    ShowSelectionInField(state);
    return result;
}

LRESULT OnSetText(ComboState& state, LPARAM lParam)
{
    if (state.edit)
        return SendMessageW(state.edit, WM_SETTEXT, 0, lParam);
    // A drop-down list can only show one of its items.
    LRESULT found = SendMessageW(state.list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam);
    if (found == LB_ERR)
        return CB_ERR;
    SetCurrentSelection(state, static_cast<WPARAM>(found));
    return TRUE;
}

LRESULT OnEditMessage(const ComboState& state, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!state.edit)
        return CB_ERR;
    switch (message) {
    case CB_GETEDITSEL: return SendMessageW(state.edit, EM_GETSEL, wParam, lParam);
    case CB_SETEDITSEL: SendMessageW(state.edit, EM_SETSEL, static_cast<WPARAM>(static_cast<SHORT>(LOWORD(lParam))), static_cast<SHORT>(HIWORD(lParam))); return TRUE;
    default: SendMessageW(state.edit, EM_LIMITTEXT, wParam, 0); return TRUE; // CB_LIMITTEXT
    }
}

// The messages that are the list's own under another name.
UINT ListMessageFor(UINT message)
{
    switch (message) {
    case CB_ADDSTRING: return LB_ADDSTRING;
    case CB_INSERTSTRING: return LB_INSERTSTRING;
    case CB_DELETESTRING: return LB_DELETESTRING;
    case CB_GETCOUNT: return LB_GETCOUNT;
    case CB_GETCURSEL: return LB_GETCURSEL;
    case CB_GETLBTEXT: return LB_GETTEXT;
    case CB_GETLBTEXTLEN: return LB_GETTEXTLEN;
    case CB_FINDSTRING: return LB_FINDSTRING;
    case CB_FINDSTRINGEXACT: return LB_FINDSTRINGEXACT;
    case CB_GETITEMDATA: return LB_GETITEMDATA;
    case CB_SETITEMDATA: return LB_SETITEMDATA;
    case CB_GETTOPINDEX: return LB_GETTOPINDEX;
    case CB_SETTOPINDEX: return LB_SETTOPINDEX;
    case CB_GETHORIZONTALEXTENT: return LB_GETHORIZONTALEXTENT;
    case CB_SETHORIZONTALEXTENT: return LB_SETHORIZONTALEXTENT;
    default: return 0;
    }
}

LRESULT ComboBoxProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        ComboState* state = State::Make(window);
        state->self = window;
        state->style = static_cast<DWORD>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->style);
        DWORD kind = state->style & 3;
        state->kind = kind == CBS_SIMPLE ? Kind::Simple : kind == CBS_DROPDOWN ? Kind::DropDown : Kind::DropDownList;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    ComboState* state = StateOf(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    ComboState& s = *state;
    if (UINT listMessage = ListMessageFor(message)) {
        LRESULT result = SendMessageW(s.list, listMessage, wParam, lParam);
        if (message == CB_DELETESTRING && !s.edit)
            ShowSelectionInField(s);
        return result;
    }
    switch (message) {
    case WM_CREATE: return OnCreate(s, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_DESTROY:
        // The open list is a popup of the top-level window: it goes with the box, quietly.
        s.dropped = false;
        if (s.kind != Kind::Simple && s.list)
            DestroyWindow(s.list);
        return 0;
    case WM_NCDESTROY:
        State::Delete(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_WINDOWPOSCHANGING:
        KeepFieldHeight(s, *reinterpret_cast<WINDOWPOS*>(lParam));
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_SIZE: PlaceChildren(s); return 0;
    case WM_ERASEBKGND: return 1; // WM_PAINT covers every pixel
    case WM_PAINT: Paint(s); return 0;
    case WM_ENABLE:
        if (s.edit)
            EnableWindow(s.edit, wParam != 0);
        EnableWindow(s.list, wParam != 0);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_SETFONT: OnSetFont(s, reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_GETDLGCODE: return (DLGC_WANTARROWS | DLGC_WANTCHARS) | (s.dropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS: OnFocus(s, true); return 0;
    case WM_KILLFOCUS:
        if (reinterpret_cast<HWND>(wParam) != s.edit || !s.edit)
            OnFocus(s, false);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnLButtonDown(s, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) }); return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (OnComboKey(s, message, static_cast<int>(wParam)))
            return 0;
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_CHAR:
        if (!s.edit && wParam >= L' ')
            SendMessageW(s.list, WM_CHAR, wParam, lParam); // type-ahead; a change comes back as LBN_SELCHANGE
        return 0;
    case WM_MOUSEWHEEL:
        // The open list scrolls; a closed box steps through its items, a notch an item.
        if (s.dropped)
            return SendMessageW(s.list, message, wParam, lParam);
        if (s.kind != Kind::Simple && GET_WHEEL_DELTA_WPARAM(wParam))
            OnComboKey(s, WM_KEYDOWN, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? VK_UP : VK_DOWN);
        return 0;
    case WM_COMMAND: OnChildCommand(s, HIWORD(wParam), reinterpret_cast<HWND>(lParam)); return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: return SendMessageW(GetParent(window), message, wParam, lParam);
    case WM_SETTEXT: return OnSetText(s, lParam);
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
        // The edit holds the text; a drop-down list's own text is its selected item's.
        return s.edit ? SendMessageW(s.edit, message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
    case CB_RESETCONTENT:
        SendMessageW(s.list, LB_RESETCONTENT, 0, 0);
        ShowSelectionInField(s);
        return CB_OKAY;
    case CB_SETCURSEL: return SetCurrentSelection(s, wParam);
    case CB_SELECTSTRING: {
        LRESULT found = SendMessageW(s.list, LB_FINDSTRING, wParam, lParam);
        return found == LB_ERR ? CB_ERR : SetCurrentSelection(s, static_cast<WPARAM>(found));
    }
    case CB_SHOWDROPDOWN:
        if (wParam)
            Open(s);
        else
            Close(s, false);
        return TRUE;
    case CB_GETDROPPEDSTATE: return s.dropped;
    case CB_GETDROPPEDCONTROLRECT:
        if (auto* rect = reinterpret_cast<RECT*>(lParam)) {
            RECT dropped = DroppedRect(s);
            GetWindowRect(window, rect);
            rect->bottom = std::max(rect->bottom, dropped.bottom);
            rect->right = dropped.right;
        }
        return TRUE;
    case CB_GETDROPPEDWIDTH: {
        RECT r {};
        GetWindowRect(window, &r);
        return std::max(static_cast<int>(r.right - r.left), s.droppedWidth);
    }
    case CB_SETDROPPEDWIDTH:
        s.droppedWidth = static_cast<int>(wParam);
        return ComboBoxProcedure(window, CB_GETDROPPEDWIDTH, 0, 0);
    case CB_GETITEMHEIGHT:
        return static_cast<int>(wParam) == -1 ? s.fieldItemHeight : SendMessageW(s.list, LB_GETITEMHEIGHT, wParam, 0);
    case CB_SETITEMHEIGHT:
        if (static_cast<int>(wParam) != -1)
            return SendMessageW(s.list, LB_SETITEMHEIGHT, wParam, lParam);
        if (LOWORD(lParam) == 0 || LOWORD(lParam) > 255)
            return CB_ERR;
        s.fieldItemHeight = LOWORD(lParam);
        if (s.kind != Kind::Simple) {
            RECT r {};
            GetWindowRect(window, &r);
            SetWindowPos(window, nullptr, 0, 0, r.right - r.left, FieldHeight(s), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        PlaceChildren(s);
        InvalidateRect(window, nullptr, FALSE);
        return CB_OKAY;
    case CB_GETEDITSEL:
    case CB_SETEDITSEL:
    case CB_LIMITTEXT: return OnEditMessage(s, message, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

// ---- the drop-down list: a list box that, open, follows the pointer and closes on a choice
// or a press outside it

constexpr int kComboSlot = kListBoxExtraBytes; // where the list keeps its combo box, after the list box's state

ComboState* ComboOf(HWND list)
{
    auto combo = reinterpret_cast<HWND>(GetWindowLongPtrW(list, kComboSlot));
    return combo ? StateOf(combo) : nullptr;
}

// The item under a client point of the list, or LB_ERR beside the items.
int ItemUnder(HWND list, POINT point)
{
    RECT client = ClientOf(list);
    if (!PtInRect(&client, point))
        return LB_ERR;
    LRESULT found = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y)));
    return HIWORD(found) ? LB_ERR : LOWORD(found);
}

void HoverAt(ComboState& combo, POINT point)
{
    int item = ItemUnder(combo.list, point);
    if (item == LB_ERR || item == Selection(combo))
        return;
    SendMessageW(combo.list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
    combo.hoverMoved = true;
}

void OnOpenListPress(ComboState& combo, POINT point)
{
    HWND list = combo.list;
    POINT screen = point;
    ClientToScreen(list, &screen);
    RECT window {};
    GetWindowRect(list, &window);
    if (!PtInRect(&window, screen)) {
        Close(combo, false); // a press anywhere else closes the list and is spent on that
        return;
    }
    RECT client = ClientOf(list);
    if (PtInRect(&client, point)) {
        HoverAt(combo, point);
        return;
    }
    // The list's own scroll bar: it tracks the press itself, then the list takes the mouse back.
    LRESULT hit = SendMessageW(list, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
    combo.waitingForOpeningRelease = false;
    combo.scrollingList = true;
    SendMessageW(list, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
    combo.scrollingList = false;
    if (combo.dropped)
        SetCapture(list);
}

void OnOpenListRelease(ComboState& combo, POINT point)
{
    bool openingRelease = std::exchange(combo.waitingForOpeningRelease, false);
    SetButtonPressed(combo, false);
    int item = ItemUnder(combo.list, point);
    // The release of the press that opened the list keeps it open unless it came over an item.
    if (item != LB_ERR && (!openingRelease || combo.hoverMoved)) {
        SendMessageW(combo.list, LB_SETCURSEL, static_cast<WPARAM>(item), 0);
        Close(combo, true);
    }
}

LRESULT ComboListProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(list, kComboSlot, reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams));
    ComboState* combo = ComboOf(list);
    bool open = combo && combo->dropped && combo->list == list && !(GetWindowLongW(list, GWL_STYLE) & WS_CHILD);
    POINT point { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
    switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
        if (open)
            HoverAt(*combo, point);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (open)
            OnOpenListPress(*combo, point);
        else if (combo && combo->kind == Kind::Simple)
            return ListBoxProcedure(list, message, wParam, lParam);
        return 0;
    case WM_LBUTTONUP:
        if (open)
            OnOpenListRelease(*combo, point);
        else if (combo && combo->kind == Kind::Simple)
            return ListBoxProcedure(list, message, wParam, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: the list closes as if the user had clicked outside.
        if (open && !combo->scrollingList && reinterpret_cast<HWND>(lParam) != list && GetCapture() != list)
            Close(*combo, false);
        return ListBoxProcedure(list, message, wParam, lParam);
    default: return ListBoxProcedure(list, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterComboListClass()
{
    return RegisterControlClass(L"ComboLBox", ComboListProcedure, kComboSlot + sizeof(HWND), CS_DBLCLKS | CS_SAVEBITS);
}

ATOM RegisterComboBoxClass()
{
    return RegisterControlClass(L"ComboBox", ComboBoxProcedure, State::kExtraBytes);
}

} // namespace fln::user
