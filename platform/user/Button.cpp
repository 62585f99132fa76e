// The "Button" class: push buttons, check boxes (two- and three-state), radio buttons, group boxes
// and owner-drawn buttons. A click is a press released over the button, by the left mouse button
// or the space bar; auto check boxes and auto radio buttons change their own check, and every
// click reports BN_CLICKED to the parent after the state has changed.

#include "platform/user/ControlSupport.h"
#include "platform/user/PressTracker.h"
#include "platform/user/ResourceHandles.h"
#include "platform/user/SystemClasses.h"
#include "platform/gdi/ControlLook.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace fln::user {
namespace {

using gdi::CheckMarkKind;

enum class Kind { Push, CheckBox, Radio, GroupBox, OwnerDraw };

Kind KindOf(DWORD style)
{
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return Kind::CheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return Kind::Radio;
    case BS_GROUPBOX: return Kind::GroupBox;
    case BS_OWNERDRAW: return Kind::OwnerDraw;
    default: return Kind::Push; // push, default push, user button and push box
    }
}

bool HasCheck(Kind kind) { return kind == Kind::CheckBox || kind == Kind::Radio; }

UINT HighestCheck(DWORD style)
{
    DWORD type = style & BS_TYPEMASK;
    if (type == BS_3STATE || type == BS_AUTO3STATE)
        return BST_INDETERMINATE;
    return HasCheck(KindOf(style)) ? BST_CHECKED : BST_UNCHECKED;
}

bool IsPushLike(DWORD style) { return HasCheck(KindOf(style)) && (style & BS_PUSHLIKE); }

struct ButtonState {
    UINT check = BST_UNCHECKED;
    bool pushed = false;
    bool focused = false;
    PressTracker press;
    HFONT font = nullptr;
    HANDLE image = nullptr;
    UINT imageType = IMAGE_BITMAP;
};
using State = ControlState<ButtonState>;

// ---- layout

// The box of a check box or radio button and the area of its label.
struct MarkParts {
    RECT box;
    RECT label;
};

MarkParts LayOutMark(DWORD style, const RECT& client)
{
    constexpr int kGap = 4;
    int size = gdi::kCheckMarkSize;
    int top = client.top + (client.bottom - client.top - size) / 2;
    if ((style & BS_VCENTER) == BS_TOP)
        top = client.top;
    else if ((style & BS_VCENTER) == BS_BOTTOM)
        top = client.bottom - size;
    MarkParts parts;
    if (style & BS_LEFTTEXT) {
        parts.box = { client.right - size, top, client.right, top + size };
        parts.label = { client.left, client.top, parts.box.left - kGap, client.bottom };
    } else {
        parts.box = { client.left, top, client.left + size, top + size };
        parts.label = { parts.box.right + kGap, client.top, client.right, client.bottom };
    }
    return parts;
}

// The frame of a group box and the place of its caption on the top edge.
struct GroupParts {
    RECT frame;
    RECT caption;
    RECT gap; // the caption with a little room on each side; empty without a caption
};

GroupParts LayOutGroup(DWORD style, const RECT& client, SIZE caption)
{
    constexpr int kIndent = 8, kRoom = 2;
    GroupParts parts;
    parts.frame = client;
    parts.frame.top += caption.cy / 2;
    int left = client.left + kIndent;
    if ((style & BS_CENTER) == BS_CENTER)
        left = client.left + (client.right - client.left - caption.cx) / 2;
    else if ((style & BS_CENTER) == BS_RIGHT)
        left = client.right - kIndent - caption.cx;
    parts.caption = { left, client.top, left + caption.cx, client.top + caption.cy };
    parts.gap = {};
    if (caption.cx > 0)
        parts.gap = { left - kRoom, client.top, parts.caption.right + kRoom, parts.caption.bottom };
    return parts;
}

// DrawText's format for the button's label: its horizontal alignment style, or the kind's own.
UINT LabelFormat(DWORD style, UINT defaultAlignment)
{
    UINT format = defaultAlignment;
    switch (style & BS_CENTER) {
    case BS_LEFT: format = DT_LEFT; break;
    case BS_RIGHT: format = DT_RIGHT; break;
    case BS_CENTER: format = DT_CENTER; break;
    default: break;
    }
    return format | ((style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE);
}

// Where content of the given size goes in `area` by the alignment styles.
POINT PlaceContent(DWORD style, UINT format, const RECT& area, SIZE size)
{
    POINT at { area.left, area.top + (area.bottom - area.top - size.cy) / 2 };
    if (format & DT_CENTER)
        at.x = area.left + (area.right - area.left - size.cx) / 2;
    else if (format & DT_RIGHT)
        at.x = area.right - size.cx;
    if ((style & BS_VCENTER) == BS_TOP)
        at.y = area.top;
    else if ((style & BS_VCENTER) == BS_BOTTOM)
        at.y = area.bottom - size.cy;
    return at;
}

SIZE MeasureLabel(HDC dc, const std::wstring& text, UINT format, const RECT& area)
{
    if (text.empty())
        return { 0, 0 };
    RECT measured { 0, 0, area.right - area.left, 0 };
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
    return { measured.right, measured.bottom };
}

// ---- painting

bool ShowsImage(DWORD style, const ButtonState& state) { return (style & (BS_ICON | BS_BITMAP)) && state.image; }

// Draws the image or the text of the button in `area`; returns the rectangle it covers.
RECT DrawContent(HWND window, const ButtonState& state, HDC dc, const RECT& area, UINT defaultAlignment, bool disabled)
{
    DWORD style = StyleOf(window);
    UINT format = LabelFormat(style, defaultAlignment);
    if (ShowsImage(style, state)) {
        SIZE size = ImageSize(state.image, state.imageType);
        POINT at = PlaceContent(style, format, area, size);
        UINT kind = state.imageType == IMAGE_BITMAP ? DST_BITMAP : DST_ICON;
        DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(state.image), 0, at.x, at.y, size.cx, size.cy,
            kind | (disabled ? DSS_DISABLED : DSS_NORMAL));
        return { at.x, at.y, at.x + size.cx, at.y + size.cy };
    }
    std::wstring text = TextOf(window);
    SIZE size = MeasureLabel(dc, text, format, area);
    POINT at = PlaceContent(style, format, area, size);
    RECT lines { area.left, at.y, area.right, at.y + size.cy };
    gdi::DrawLabel(dc, text.c_str(), static_cast<int>(text.size()), lines, format, disabled);
    return { at.x, at.y, at.x + size.cx, at.y + size.cy };
}

void PaintPushButton(HWND window, const ButtonState& state, HDC dc, const RECT& client)
{
    DWORD style = StyleOf(window);
    ParentColours(window, WM_CTLCOLORBTN, dc); // push buttons keep the system's colours
    gdi::PushButtonLook look;
    look.isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    look.pressed = state.pushed;
    look.checked = IsPushLike(style) && state.check != BST_UNCHECKED;
    look.flat = style & BS_FLAT;
    gdi::PushButtonParts parts = gdi::DrawPushButtonFace(dc, client, look);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawContent(window, state, dc, parts.content, DT_CENTER, !IsWindowEnabled(window));
    if (state.focused)
        gdi::DrawFocus(dc, parts.focus);
}

void PaintMarkButton(HWND window, const ButtonState& state, HDC dc, const RECT& client)
{
    DWORD style = StyleOf(window);
    bool disabled = !IsWindowEnabled(window);
    FillRect(dc, &client, ParentColours(window, WM_CTLCOLORSTATIC, dc));
    MarkParts parts = LayOutMark(style, client);
    gdi::CheckMarkLook look;
    look.kind = KindOf(style) == Kind::Radio ? CheckMarkKind::RadioButton : CheckMarkKind::CheckBox;
    look.check = state.check;
    look.pressed = state.pushed;
    look.disabled = disabled;
    look.flat = style & BS_FLAT;
    gdi::DrawCheckMark(dc, parts.box, look);
    SetBkMode(dc, TRANSPARENT);
    RECT covered = DrawContent(window, state, dc, parts.label, DT_LEFT, disabled);
    if (state.focused && !IsRectEmpty(&covered)) {
        InflateRect(&covered, 1, 1);
        IntersectRect(&covered, &covered, &client);
        gdi::DrawFocus(dc, covered);
    }
}

SIZE CaptionSize(HWND window, HDC dc)
{
    std::wstring text = TextOf(window);
    return MeasureLabel(dc, text, DT_SINGLELINE, ClientOf(window));
}

void PaintGroupBox(HWND window, HDC dc, const RECT& client)
{
    DWORD style = StyleOf(window);
    HBRUSH brush = ParentColours(window, WM_CTLCOLORSTATIC, dc);
    GroupParts parts = LayOutGroup(style, client, CaptionSize(window, dc));
    // The inside stays the parent's: controls of the group lie over it.
    FillRect(dc, &parts.gap, brush);
    gdi::DrawGroupBoxFrame(dc, parts.frame, parts.gap);
    std::wstring text = TextOf(window);
    SetBkMode(dc, TRANSPARENT);
    gdi::DrawLabel(dc, text.c_str(), static_cast<int>(text.size()), parts.caption, DT_SINGLELINE | DT_LEFT, !IsWindowEnabled(window));
}

// Whether the parent is a dialog whose default button this is, for owner-drawn buttons, which
// have no default style of their own.
bool IsDialogDefault(HWND window)
{
    HWND parent = GetParent(window);
    wchar_t name[8] {};
    if (!parent || !GetClassNameW(parent, name, 8) || std::wcscmp(name, L"#32770") != 0)
        return false;
    auto answer = static_cast<DWORD>(SendMessageW(parent, DM_GETDEFID, 0, 0));
    return HIWORD(answer) == DC_HASDEFID && LOWORD(answer) == static_cast<WORD>(GetDlgCtrlID(window));
}

// The owner paints all of it: what it leaves unpainted keeps its last picture (a menu button
// paints nothing while its menu is open).
void PaintOwnerDrawn(HWND window, const ButtonState& state, HDC dc, const RECT& client)
{
    ParentColours(window, WM_CTLCOLORBTN, dc);
    UINT itemState = (state.pushed ? ODS_SELECTED : 0) | (state.focused ? ODS_FOCUS : 0)
        | (IsWindowEnabled(window) ? 0 : ODS_DISABLED) | (IsDialogDefault(window) ? ODS_DEFAULT : 0);
    SendDrawItem(window, dc, client, ODT_BUTTON, itemState);
}

void Paint(HWND window, HDC dc)
{
    const ButtonState* state = State::Of(window);
    if (!state)
        return;
    RECT client = ClientOf(window);
    int saved = SaveDC(dc);
    if (state->font)
        SelectObject(dc, state->font);
    DWORD style = StyleOf(window);
    switch (KindOf(style)) {
    case Kind::Push: PaintPushButton(window, *state, dc, client); break;
    case Kind::CheckBox:
    case Kind::Radio:
        if (IsPushLike(style))
            PaintPushButton(window, *state, dc, client);
        else
            PaintMarkButton(window, *state, dc, client);
        break;
    case Kind::GroupBox: PaintGroupBox(window, dc, client); break;
    case Kind::OwnerDraw: PaintOwnerDrawn(window, *state, dc, client); break;
    }
    RestoreDC(dc, saved);
}

// ---- state changes: each compares, then invalidates the part that shows it

bool DrawsMark(DWORD style)
{
    return HasCheck(KindOf(style)) && !IsPushLike(style);
}

void InvalidateMark(HWND window)
{
    RECT box = LayOutMark(StyleOf(window), ClientOf(window)).box;
    InvalidateRect(window, &box, FALSE);
}

void SetPushed(HWND window, ButtonState& state, bool pushed)
{
    if (state.pushed == pushed)
        return;
    state.pushed = pushed;
    if (DrawsMark(StyleOf(window)))
        InvalidateMark(window);
    else
        InvalidateRect(window, nullptr, FALSE);
}

void SetCheck(HWND window, ButtonState& state, UINT check)
{
    DWORD style = StyleOf(window);
    UINT highest = HighestCheck(style);
    if (check > highest)
        check = highest ? BST_CHECKED : BST_UNCHECKED;
    // The checked radio button of a group is the one Tab stops at.
    if (KindOf(style) == Kind::Radio) {
        DWORD tabStop = check ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
        if (tabStop != style)
            SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(tabStop));
    }
    if (state.check == check)
        return;
    state.check = check;
    if (DrawsMark(style))
        InvalidateMark(window);
    else
        InvalidateRect(window, nullptr, FALSE);
}

void SetFocused(HWND window, ButtonState& state, bool focused)
{
    if (state.focused == focused)
        return;
    state.focused = focused;
    DWORD style = StyleOf(window);
    if (DrawsMark(style)) {
        RECT label = LayOutMark(style, ClientOf(window)).label;
        InflateRect(&label, 1, 0);
        InvalidateRect(window, &label, FALSE);
    } else {
        InvalidateRect(window, nullptr, FALSE);
    }
}

// The siblings in the control's group: from the nearest sibling at or before it with WS_GROUP
// (or the first) up to the next one with WS_GROUP.
std::vector<HWND> GroupOf(HWND control)
{
    HWND first = control;
    while (!(GetWindowLongW(first, GWL_STYLE) & WS_GROUP)) {
        HWND previous = GetWindow(first, GW_HWNDPREV);
        if (!previous)
            break;
        first = previous;
    }
    std::vector<HWND> group { first };
    for (HWND next = GetWindow(first, GW_HWNDNEXT); next && !(GetWindowLongW(next, GWL_STYLE) & WS_GROUP); next = GetWindow(next, GW_HWNDNEXT))
        group.push_back(next);
    return group;
}

void UncheckOtherRadios(HWND window)
{
    for (HWND sibling : GroupOf(window)) {
        if (sibling != window && (SendMessageW(sibling, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            SendMessageW(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

void Click(HWND window)
{
    ButtonState* state = State::Of(window);
    if (!state)
        return;
    switch (StyleOf(window) & BS_TYPEMASK) {
    case BS_AUTOCHECKBOX: SetCheck(window, *state, state->check ? BST_UNCHECKED : BST_CHECKED); break;
    case BS_AUTO3STATE: SetCheck(window, *state, (state->check + 1) % 3); break;
    case BS_AUTORADIOBUTTON:
        SetCheck(window, *state, BST_CHECKED);
        UncheckOtherRadios(window);
        break;
    default: break;
    }
    NotifyParent(window, BN_CLICKED);
}

// ---- input

bool IsInside(HWND window, POINT point)
{
    RECT client = ClientOf(window);
    return PtInRect(&client, point);
}

void OnLButtonDown(HWND window)
{
    if (KindOf(StyleOf(window)) == Kind::GroupBox)
        return;
    SetFocus(window);
    ButtonState* state = State::Of(window);
    if (!state || !IsWindow(window))
        return;
    SetCapture(window);
    state->press.PressMouse();
    SetPushed(window, *state, true);
}

void OnLButtonDblClk(HWND window)
{
    DWORD style = StyleOf(window);
    Kind kind = KindOf(style);
    if (kind == Kind::Radio || kind == Kind::OwnerDraw || (style & BS_NOTIFY))
        NotifyParent(window, BN_DOUBLECLICKED);
    else
        OnLButtonDown(window); // a second click
}

void OnMouseMove(HWND window, ButtonState& state, POINT point)
{
    if (!state.press.ByMouse())
        return;
    state.press.MoveMouse(IsInside(window, point));
    SetPushed(window, state, state.press.Pressed());
}

void OnLButtonUp(HWND window, ButtonState& state, POINT point)
{
    if (!state.press.ByMouse())
        return;
    bool acts = state.press.ReleaseMouse(IsInside(window, point));
    SetPushed(window, state, false);
    if (GetCapture() == window)
        ReleaseCapture();
    if (acts)
        Click(window);
}

void OnCaptureChanged(HWND window, ButtonState& state)
{
    if (!state.press.ByMouse())
        return;
    state.press.Cancel();
    SetPushed(window, state, false);
}

void OnKeyDown(HWND window, ButtonState& state, WPARAM key)
{
    if (key != VK_SPACE || KindOf(StyleOf(window)) == Kind::GroupBox || state.press.Active())
        return;
    state.press.PressKey();
    SetPushed(window, state, true);
}

void OnKeyUp(HWND window, ButtonState& state, WPARAM key)
{
    if (key != VK_SPACE || !state.press.ReleaseKey())
        return;
    SetPushed(window, state, false);
    Click(window);
}

void OnSetFocus(HWND window, ButtonState& state)
{
    SetFocused(window, state, true);
    if (StyleOf(window) & BS_NOTIFY)
        NotifyParent(window, BN_SETFOCUS);
}

void OnKillFocus(HWND window, ButtonState& state)
{
    // Losing the focus ends a press without a click.
    if (state.press.Active()) {
        bool byMouse = state.press.ByMouse();
        state.press.Cancel();
        if (byMouse && GetCapture() == window)
            ReleaseCapture();
        SetPushed(window, state, false);
    }
    SetFocused(window, state, false);
    if (StyleOf(window) & BS_NOTIFY)
        NotifyParent(window, BN_KILLFOCUS);
}

// ---- messages

UINT DialogCode(DWORD style)
{
    switch (KindOf(style)) {
    case Kind::Push:
        return DLGC_BUTTON | ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case Kind::Radio: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case Kind::GroupBox: return DLGC_STATIC;
    case Kind::CheckBox:
    case Kind::OwnerDraw: return DLGC_BUTTON;
    }
    return DLGC_BUTTON;
}

LRESULT OnSetStyle(HWND window, WPARAM style, LPARAM redraw)
{
    DWORD old = StyleOf(window);
    DWORD updated = (old & 0xFFFF0000) | LOWORD(style);
    if (updated != old)
        SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(updated));
    if (redraw)
        InvalidateRect(window, nullptr, FALSE);
    return 0;
}

LRESULT OnSetImage(HWND window, ButtonState& state, WPARAM type, LPARAM image)
{
    if (type != IMAGE_BITMAP && type != IMAGE_ICON)
        return 0;
    HANDLE previous = state.image;
    state.image = reinterpret_cast<HANDLE>(image);
    state.imageType = static_cast<UINT>(type);
    InvalidateRect(window, nullptr, FALSE);
    return reinterpret_cast<LRESULT>(previous);
}

void OnSetText(HWND window, const ButtonState& state)
{
    if (KindOf(StyleOf(window)) != Kind::GroupBox) {
        InvalidateRect(window, nullptr, FALSE);
        return;
    }
    // The old caption may reach past the new one over the parent's background: the parent and
    // everything over the caption's line draw again.
    HDC dc = GetDC(window);
    if (state.font)
        SelectObject(dc, state.font);
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    ReleaseDC(window, dc);
    RECT band = ClientOf(window);
    band.bottom = std::min<LONG>(band.bottom, band.top + metrics.tmHeight);
    RedrawParentUnder(window, band);
}

LRESULT ButtonProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        State::Make(window);
    ButtonState* state = State::Of(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    POINT point { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
    switch (message) {
    case WM_NCDESTROY:
        State::Delete(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        Paint(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_PRINTCLIENT: Paint(window, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_ERASEBKGND: return 1; // painting covers what it must
    case WM_NCHITTEST:
        if (KindOf(StyleOf(window)) == Kind::GroupBox)
            return HTTRANSPARENT;
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_GETDLGCODE: return DialogCode(StyleOf(window));
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        OnSetText(window, *state);
        return result;
    }
    case WM_SETFONT:
        state->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state->font);
    case WM_ENABLE:
    case WM_SYSCOLORCHANGE: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_SETFOCUS: OnSetFocus(window, *state); return 0;
    case WM_KILLFOCUS: OnKillFocus(window, *state); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(window); return 0;
    case WM_LBUTTONDBLCLK: OnLButtonDblClk(window); return 0;
    case WM_MOUSEMOVE: OnMouseMove(window, *state, point); return 0;
    case WM_LBUTTONUP: OnLButtonUp(window, *state, point); return 0;
    case WM_CAPTURECHANGED: OnCaptureChanged(window, *state); return 0;
    case WM_KEYDOWN: OnKeyDown(window, *state, wParam); return DefWindowProcW(window, message, wParam, lParam);
    case WM_KEYUP: OnKeyUp(window, *state, wParam); return DefWindowProcW(window, message, wParam, lParam);
    case BM_GETCHECK: return HasCheck(KindOf(StyleOf(window))) ? state->check : BST_UNCHECKED;
    case BM_SETCHECK:
        if (HasCheck(KindOf(StyleOf(window))))
            SetCheck(window, *state, static_cast<UINT>(wParam));
        return 0;
    case BM_GETSTATE:
        return state->check | (state->pushed ? BST_PUSHED : 0) | (state->focused ? BST_FOCUS : 0);
    case BM_SETSTATE: SetPushed(window, *state, wParam != 0); return 0;
    case BM_SETSTYLE: return OnSetStyle(window, wParam, lParam);
    case BM_CLICK:
        // A disabled button does not click, as it takes no input.
        if (IsWindowEnabled(window)) {
            SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
            SendMessageW(window, WM_LBUTTONUP, 0, 0);
        }
        return 0;
    case BM_GETIMAGE:
        return wParam == state->imageType ? reinterpret_cast<LRESULT>(state->image) : 0;
    case BM_SETIMAGE: return OnSetImage(window, *state, wParam, lParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterButtonClass()
{
    return RegisterControlClass(L"Button", ButtonProcedure, State::kExtraBytes, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

} // namespace fln::user
