// Scroll bars: the state of a window's own bars, the scroll-bar functions (which hand SB_CTL to
// the control's SBM_ messages), and the press tracker that turns presses on any bar into
// WM_HSCROLL and WM_VSCROLL.

#include "platform/user/MessageQueue.h"
#include "platform/user/NonClient.h"
#include "platform/user/PressTracker.h"

#include <algorithm>

namespace fln::user {
namespace {

ScrollBarState* StateOf(HWND handle, int bar)
{
    Window* window = FindWindowObject(handle);
    if (!window || (bar != SB_HORZ && bar != SB_VERT))
        return nullptr;
    return &window->scrollBars[bar];
}

int HighestPosition(const ScrollBarState& state)
{
    return std::max(state.minimum, state.maximum - std::max(static_cast<int>(state.page) - 1, 0));
}

ScrollBarState* VerticalBarOf(HWND window)
{
    return StateOf(window, SB_VERT);
}

ScrollBarState* HorizontalBarOf(HWND window)
{
    return StateOf(window, SB_HORZ);
}

constexpr UINT_PTR kRepeatTimer = 0xFFF0;
constexpr UINT kFirstRepeatDelay = 400;
constexpr UINT kRepeatInterval = 50;

// The request a press at `point` makes, or SB_ENDSCROLL over the thumb or outside the bar.
WORD RequestAt(const ScrollBarParts& parts, const RECT& strip, bool vertical, POINT point)
{
    if (!PtInRect(&strip, point) || PtInRect(&parts.thumb, point))
        return SB_ENDSCROLL;
    if (PtInRect(&parts.first, point))
        return SB_LINEUP;
    if (PtInRect(&parts.last, point))
        return SB_LINEDOWN;
    return (vertical ? point.y < parts.thumb.top : point.x < parts.thumb.left) ? SB_PAGEUP : SB_PAGEDOWN;
}

UINT ArrowOf(WORD request)
{
    return request == SB_LINEUP ? ESB_DISABLE_LTUP : request == SB_LINEDOWN ? ESB_DISABLE_RTDN : 0;
}

void ShowPressed(const ScrollBarPress& press, UINT arrows)
{
    ScrollBarState* state = press.state(press.window);
    if (!state || state->pressedArrows == arrows)
        return;
    state->pressedArrows = arrows;
    press.redraw(press.window);
}

void SendRequest(const ScrollBarPress& press, WORD request, WORD position = 0)
{
    if (IsWindow(press.notify))
        SendMessageW(press.notify, press.vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(request, position), reinterpret_cast<LPARAM>(press.control));
}

void DragThumb(const ScrollBarPress& press, const ScrollBarParts& parts, POINT point)
{
    HWND handle = press.window;
    int grab = press.vertical ? point.y - parts.thumb.top : point.x - parts.thumb.left;
    int thumbLength = press.vertical ? parts.thumb.bottom - parts.thumb.top : parts.thumb.right - parts.thumb.left;
    bool released = false;
    press.state(handle)->thumbHeld = true;
    RunModalLoop(handle, MSGF_SIZE, [&] { return released || GetCapture() != handle || !press.state(handle); }, [&](MSG& m) {
        if (m.message != WM_MOUSEMOVE && m.message != WM_LBUTTONUP)
            return false;
        ScrollBarState* state = press.state(handle);
        int along = (press.vertical ? m.pt.y - press.origin.y - press.strip.top : m.pt.x - press.origin.x - press.strip.left) - parts.trackStart - grab;
        int room = std::max(1, parts.trackLength - thumbLength);
        long positions = static_cast<long>(HighestPosition(*state)) - state->minimum;
        int position = state->minimum + static_cast<int>(std::clamp<long>(static_cast<long>(along) * positions / room, 0, positions));
        state->trackPosition = position;
        released = m.message == WM_LBUTTONUP;
        // The request has room for the low 16 bits; the bar's track position holds the whole one.
        SendRequest(press, released ? SB_THUMBPOSITION : SB_THUMBTRACK, static_cast<WORD>(position));
        return true;
    });
    if (ScrollBarState* state = press.state(handle))
        state->thumbHeld = false;
}

// Held down, the request repeats: after a pause, then quickly, while the pointer stays on the part
// that was pressed (a page area ends where the thumb has come to). An arrow looks pressed while
// the pointer is on it.
void RepeatWhileHeld(const ScrollBarPress& press, WORD request, POINT point)
{
    HWND handle = press.window;
    PressTracker held;
    held.PressMouse();
    SetTimer(handle, kRepeatTimer, kFirstRepeatDelay, nullptr);
    RunModalLoop(handle, MSGF_SIZE, [&] { return !held.Active() || GetCapture() != handle || !press.state(handle); }, [&](MSG& m) {
        bool pointer = m.message == WM_MOUSEMOVE || m.message == WM_LBUTTONUP;
        if (!pointer && (m.message != WM_TIMER || m.hwnd != handle || m.wParam != kRepeatTimer))
            return false;
        if (pointer)
            point = { m.pt.x - press.origin.x, m.pt.y - press.origin.y };
        ScrollBarParts parts = LayoutScrollBar(*press.state(handle), press.strip, press.vertical);
        bool onPart = RequestAt(parts, press.strip, press.vertical, point) == request;
        if (m.message == WM_LBUTTONUP)
            held.ReleaseMouse(onPart);
        else
            held.MoveMouse(onPart);
        ShowPressed(press, held.Pressed() ? ArrowOf(request) : 0);
        if (m.message == WM_TIMER) {
            SetTimer(handle, kRepeatTimer, kRepeatInterval, nullptr);
            if (held.Pressed())
                SendRequest(press, request);
        }
        return true;
    });
    KillTimer(handle, kRepeatTimer);
    ShowPressed(press, 0);
}

} // namespace

bool ApplyScrollInfo(ScrollBarState& state, const SCROLLINFO& info)
{
    if (info.fMask & SIF_RANGE) {
        state.minimum = info.nMin;
        state.maximum = std::max(info.nMin, info.nMax);
    }
    if (info.fMask & SIF_PAGE)
        state.page = std::min<UINT>(info.nPage, static_cast<UINT>(state.maximum - state.minimum + 1));
    if (info.fMask & SIF_POS)
        state.position = info.nPos;
    state.position = std::clamp(state.position, state.minimum, HighestPosition(state));
    return state.maximum - state.minimum + 1 > static_cast<int>(std::max<UINT>(state.page, 1));
}

void ReadScrollInfo(const ScrollBarState& state, SCROLLINFO& info)
{
    if (info.fMask & SIF_RANGE)
        info.nMin = state.minimum, info.nMax = state.maximum;
    if (info.fMask & SIF_PAGE)
        info.nPage = state.page;
    if (info.fMask & SIF_POS)
        info.nPos = state.position;
    if (info.fMask & SIF_TRACKPOS)
        info.nTrackPos = state.thumbHeld ? state.trackPosition : state.position;
}

void TrackScrollBarPress(const ScrollBarPress& press, POINT screen)
{
    ScrollBarState* state = press.state(press.window);
    if (!state)
        return;
    ScrollBarParts parts = LayoutScrollBar(*state, press.strip, press.vertical);
    POINT point { screen.x - press.origin.x, screen.y - press.origin.y };
    if (IsRectEmpty(&parts.thumb))
        return;
    SetCapture(press.window);
    if (PtInRect(&parts.thumb, point)) {
        DragThumb(press, parts, point);
    } else {
        WORD request = RequestAt(parts, press.strip, press.vertical, point);
        ShowPressed(press, ArrowOf(request));
        SendRequest(press, request);
        RepeatWhileHeld(press, request, point);
    }
    if (GetCapture() == press.window)
        ReleaseCapture();
    SendRequest(press, SB_ENDSCROLL);
}

// A press on one of the window's own scroll bars.
void TrackScrollBar(HWND handle, int hitCode, POINT screen)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return;
    bool vertical = hitCode == HTVSCROLL;
    FrameLayout layout = LayoutFrame(*window);
    ScrollBarPress press { handle, handle, nullptr, vertical, WindowTree::Instance().WindowOriginOnScreen(*window),
        vertical ? layout.verticalBar : layout.horizontalBar, vertical ? VerticalBarOf : HorizontalBarOf, RedrawNonClient };
    TrackScrollBarPress(press, screen);
}

} // namespace fln::user

using namespace fln::user;

namespace {

// A scroll-bar control (SB_CTL) answers the scroll-bar functions through its own messages.
bool IsControlBar(HWND handle, int bar)
{
    return bar == SB_CTL && IsWindow(handle);
}

} // namespace

int SetScrollInfo(HWND handle, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    if (IsControlBar(handle, bar))
        return info ? static_cast<int>(SendMessageW(handle, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info))) : 0;
    ScrollBarState* state = StateOf(handle, bar);
    if (!state || !info)
        return 0;
    bool scrollable = ApplyScrollInfo(*state, *info);
    Window* window = FindWindowObject(handle);
    DWORD styleBit = bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    if (info->fMask & (SIF_RANGE | SIF_PAGE)) {
        // A bar that cannot scroll goes away, or shows disabled with SIF_DISABLENOSCROLL.
        if (info->fMask & SIF_DISABLENOSCROLL) {
            state->disabledArrows = scrollable ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
            ShowScrollBar(handle, bar, TRUE);
        } else if (scrollable != bool(window->style & styleBit)) {
            ShowScrollBar(handle, bar, scrollable);
        }
    }
    // The bars are the frame's: redrawing them leaves the client area as it is.
    if (redraw)
        RedrawNonClient(handle);
    return state->position;
}

BOOL GetScrollInfo(HWND handle, int bar, LPSCROLLINFO info)
{
    if (IsControlBar(handle, bar))
        return info && SendMessageW(handle, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info));
    ScrollBarState* state = StateOf(handle, bar);
    if (!state || !info)
        return FALSE;
    ReadScrollInfo(*state, *info);
    return TRUE;
}

int SetScrollPos(HWND handle, int bar, int position, BOOL redraw)
{
    SCROLLINFO previous { sizeof previous, SIF_POS, 0, 0, 0, 0, 0 };
    if (!GetScrollInfo(handle, bar, &previous))
        return 0;
    SCROLLINFO info { sizeof info, SIF_POS, 0, 0, 0, position, 0 };
    SetScrollInfo(handle, bar, &info, redraw);
    return previous.nPos;
}

int GetScrollPos(HWND handle, int bar)
{
    SCROLLINFO info { sizeof info, SIF_POS, 0, 0, 0, 0, 0 };
    return GetScrollInfo(handle, bar, &info) ? info.nPos : 0;
}

BOOL SetScrollRange(HWND handle, int bar, int minimum, int maximum, BOOL redraw)
{
    if (!IsControlBar(handle, bar) && !StateOf(handle, bar))
        return FALSE;
    SCROLLINFO info { sizeof info, SIF_RANGE, minimum, maximum, 0, 0, 0 };
    SetScrollInfo(handle, bar, &info, redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND handle, int bar, int* minimum, int* maximum)
{
    SCROLLINFO info { sizeof info, SIF_RANGE, 0, 0, 0, 0, 0 };
    if (!minimum || !maximum || !GetScrollInfo(handle, bar, &info))
        return FALSE;
    *minimum = info.nMin;
    *maximum = info.nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND handle, int bar, BOOL show)
{
    if (IsControlBar(handle, bar)) {
        ShowWindow(handle, show ? SW_SHOW : SW_HIDE);
        return TRUE;
    }
    Window* window = FindWindowObject(handle);
    if (!window || bar < SB_HORZ || bar > SB_BOTH || bar == SB_CTL)
        return FALSE;
    DWORD bits = bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    DWORD style = show ? (window->style | bits) : (window->style & ~bits);
    if (style == window->style)
        return TRUE;
    window->style = style;
    SetWindowPos(handle, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

BOOL EnableScrollBar(HWND handle, UINT bar, UINT arrows)
{
    if (IsControlBar(handle, static_cast<int>(bar)))
        return static_cast<BOOL>(SendMessageW(handle, SBM_ENABLE_ARROWS, arrows, 0));
    bool any = false;
    for (int which : { SB_HORZ, SB_VERT }) {
        if (bar != SB_BOTH && static_cast<int>(bar) != which)
            continue;
        if (ScrollBarState* state = StateOf(handle, which)) {
            any = any || state->disabledArrows != arrows;
            state->disabledArrows = arrows;
        }
    }
    if (any)
        RedrawNonClient(handle);
    return any;
}
