// The scroll-bar control: a bar of its own (SBS_HORZ, SBS_VERT) that reports to its parent with
// its handle, or a size box (SBS_SIZEBOX, SBS_SIZEGRIP) that sizes its top-level window.

#include "platform/user/ControlSupport.h"
#include "platform/user/NonClient.h"
#include "platform/user/SystemClasses.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>

namespace fln::user {
namespace {

constexpr WPARAM kSizeFromBottomRight = 8; // WMSZ_BOTTOMRIGHT

struct ScrollBarControlState {
    ScrollBarState bar;
    DWORD style = 0;
    HWND self = nullptr;
};

using State = ControlState<ScrollBarControlState>;

ScrollBarControlState* StateOf(HWND window)
{
    return State::Of(window);
}

ScrollBarState* BarOf(HWND window)
{
    ScrollBarControlState* state = StateOf(window);
    return state ? &state->bar : nullptr;
}

bool IsSizeBox(const ScrollBarControlState& state)
{
    return state.style & (SBS_SIZEBOX | SBS_SIZEGRIP);
}

bool IsVertical(const ScrollBarControlState& state)
{
    return state.style & SBS_VERT;
}

void RedrawBar(HWND window)
{
    InvalidateRect(window, nullptr, FALSE);
}

// Only the track between the arrows shows a new position.
void RedrawTrack(const ScrollBarControlState& state)
{
    ScrollBarParts parts = LayoutScrollBar(state.bar, ClientOf(state.self), IsVertical(state));
    RECT track = ClientOf(state.self);
    if (IsVertical(state))
        track.top = parts.first.bottom, track.bottom = parts.last.top;
    else
        track.left = parts.first.right, track.right = parts.last.left;
    InvalidateRect(state.self, &track, FALSE);
}

// The styles that align the control in the rectangle it was made with give it the system's
// thickness (and a size box the system's size).
void Align(const ScrollBarControlState& state, const CREATESTRUCTW& create)
{
    RECT r { create.x, create.y, create.x + create.cx, create.y + create.cy };
    int width = GetSystemMetrics(SM_CXVSCROLL), height = GetSystemMetrics(SM_CYHSCROLL);
    bool first = state.style & SBS_TOPALIGN, last = state.style & SBS_BOTTOMALIGN;
    if (!first && !last)
        return;
    bool sizesWidth = IsSizeBox(state) || IsVertical(state), sizesHeight = IsSizeBox(state) || !IsVertical(state);
    if (sizesWidth)
        r = first ? RECT { r.left, r.top, r.left + width, r.bottom } : RECT { r.right - width, r.top, r.right, r.bottom };
    if (sizesHeight)
        r = first ? RECT { r.left, r.top, r.right, r.top + height } : RECT { r.left, r.bottom - height, r.right, r.bottom };
    MoveWindow(state.self, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

void Paint(ScrollBarControlState& state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(state.self, &paint);
    RECT client = ClientOf(state.self);
    if (IsSizeBox(state)) {
        DrawFrameControl(dc, &client, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    } else {
        HBRUSH track = ParentColours(state.self, WM_CTLCOLORSCROLLBAR, dc);
        DrawScrollBar(dc, state.bar, client, IsVertical(state), track, IsWindowEnabled(state.self));
    }
    EndPaint(state.self, &paint);
}

void OnLButtonDown(ScrollBarControlState& state, POINT client)
{
    POINT screen = client;
    ClientToScreen(state.self, &screen);
    if (IsSizeBox(state)) {
        HWND topLevel = GetAncestor(state.self, GA_ROOT);
        if (GetWindowLongW(topLevel, GWL_STYLE) & WS_THICKFRAME)
            SendMessageW(topLevel, WM_SYSCOMMAND, SC_SIZE + kSizeFromBottomRight, MAKELPARAM(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y)));
        return;
    }
    if ((GetWindowLongW(state.self, GWL_STYLE) & WS_TABSTOP) && GetFocus() != state.self)
        SetFocus(state.self);
    POINT origin {};
    ClientToScreen(state.self, &origin);
    ScrollBarPress press { state.self, GetParent(state.self), state.self, IsVertical(state), origin, ClientOf(state.self), BarOf, RedrawBar };
    TrackScrollBarPress(press, screen);
}

void OnKeyDown(const ScrollBarControlState& state, int key)
{
    struct KeyRequest {
        int key;
        WORD request;
    };
    static constexpr KeyRequest kKeys[] = {
        { VK_UP, SB_LINEUP }, { VK_LEFT, SB_LINEUP }, { VK_DOWN, SB_LINEDOWN }, { VK_RIGHT, SB_LINEDOWN },
        { VK_PRIOR, SB_PAGEUP }, { VK_NEXT, SB_PAGEDOWN }, { VK_HOME, SB_TOP }, { VK_END, SB_BOTTOM },
    };
    if (IsSizeBox(state))
        return;
    auto entry = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const KeyRequest& k) { return k.key == key; });
    if (entry == std::end(kKeys))
        return;
    UINT message = IsVertical(state) ? WM_VSCROLL : WM_HSCROLL;
    HWND parent = GetParent(state.self);
    SendMessageW(parent, message, entry->request, reinterpret_cast<LPARAM>(state.self));
    SendMessageW(parent, message, SB_ENDSCROLL, reinterpret_cast<LPARAM>(state.self));
}

// Every change of range, page or position comes here.
int SetInfo(ScrollBarControlState& state, const SCROLLINFO& info, bool redraw)
{
    ScrollBarState before = state.bar;
    bool scrollable = ApplyScrollInfo(state.bar, info);
    if ((info.fMask & SIF_DISABLENOSCROLL) && (info.fMask & (SIF_RANGE | SIF_PAGE)))
        state.bar.disabledArrows = scrollable ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
    if (redraw) {
        bool onlyMoved = before.minimum == state.bar.minimum && before.maximum == state.bar.maximum && before.page == state.bar.page
            && before.disabledArrows == state.bar.disabledArrows;
        if (!onlyMoved)
            RedrawBar(state.self);
        else if (before.position != state.bar.position)
            RedrawTrack(state);
    }
    return state.bar.position;
}

LRESULT SetPosition(ScrollBarControlState& state, int position, bool redraw)
{
    int previous = state.bar.position;
    SCROLLINFO info { sizeof info, SIF_POS, 0, 0, 0, position, 0 };
    SetInfo(state, info, redraw);
    return previous;
}

LRESULT SetRange(ScrollBarControlState& state, int minimum, int maximum, bool redraw)
{
    int previous = state.bar.position;
    SCROLLINFO info { sizeof info, SIF_RANGE, minimum, maximum, 0, 0, 0 };
    SetInfo(state, info, redraw);
    return previous;
}

LRESULT EnableArrows(ScrollBarControlState& state, UINT arrows)
{
    if (state.bar.disabledArrows == arrows)
        return FALSE;
    state.bar.disabledArrows = arrows;
    RedrawBar(state.self);
    return TRUE;
}

LRESULT ScrollBarProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        ScrollBarControlState* state = State::Make(window);
        state->self = window;
        state->style = static_cast<DWORD>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->style);
        state->bar.maximum = 0; // a new control has nothing to scroll
        return DefWindowProcW(window, message, wParam, lParam);
    }
    ScrollBarControlState* state = StateOf(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    ScrollBarControlState& s = *state;
    switch (message) {
    case WM_CREATE: Align(s, *reinterpret_cast<const CREATESTRUCTW*>(lParam)); return 0;
    case WM_NCDESTROY:
        State::Delete(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_ERASEBKGND: return 1; // WM_PAINT covers every pixel
    case WM_PAINT: Paint(s); return 0;
    case WM_ENABLE: RedrawBar(window); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SETCURSOR:
        if (IsSizeBox(s) && (GetWindowLongW(GetAncestor(window, GA_ROOT), GWL_STYLE) & WS_THICKFRAME)) {
            SetCursor(LoadCursorW(nullptr, IDC_SIZENWSE));
            return TRUE;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnLButtonDown(s, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) }); return 0;
    case WM_KEYDOWN: OnKeyDown(s, static_cast<int>(wParam)); return 0;
    case SBM_SETPOS: return SetPosition(s, static_cast<int>(wParam), lParam != 0);
    case SBM_GETPOS: return s.bar.position;
    case SBM_SETRANGE: return SetRange(s, static_cast<int>(wParam), static_cast<int>(lParam), false);
    case SBM_SETRANGEREDRAW: return SetRange(s, static_cast<int>(wParam), static_cast<int>(lParam), true);
    case SBM_GETRANGE:
        if (auto* minimum = reinterpret_cast<int*>(wParam))
            *minimum = s.bar.minimum;
        if (auto* maximum = reinterpret_cast<int*>(lParam))
            *maximum = s.bar.maximum;
        return 0;
    case SBM_ENABLE_ARROWS: return EnableArrows(s, static_cast<UINT>(wParam));
    case SBM_SETSCROLLINFO: return lParam ? SetInfo(s, *reinterpret_cast<const SCROLLINFO*>(lParam), wParam != 0) : 0;
    case SBM_GETSCROLLINFO:
        if (!lParam)
            return FALSE;
        ReadScrollInfo(s.bar, *reinterpret_cast<SCROLLINFO*>(lParam));
        return TRUE;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterScrollBarClass()
{
    return RegisterControlClass(L"ScrollBar", ScrollBarProcedure, State::kExtraBytes);
}

} // namespace fln::user
