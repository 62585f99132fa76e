// The scroll bars of the non-client area: their state, and the mouse tracking that turns
// presses into WM_HSCROLL and WM_VSCROLL.

#include "platform/user/MessageQueue.h"
#include "platform/user/NonClient.h"

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

void RedrawFrame(HWND window)
{
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN | RDW_ERASENOW);
}

struct RepeatedRequest {
    HWND window = nullptr;
    UINT message = 0;
    WORD code = 0;
};
RepeatedRequest g_repeat;

void RepeatScroll(HWND, UINT, UINT_PTR id, DWORD)
{
    SetTimer(nullptr, id, 50, RepeatScroll);
    if (IsWindow(g_repeat.window))
        SendMessageW(g_repeat.window, g_repeat.message, g_repeat.code, 0);
}

} // namespace

// A press on a scroll bar of the window: arrows and the page areas send one request each;
// the thumb follows the pointer until the button is released.
void TrackScrollBar(HWND handle, int hitCode, POINT screen)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return;
    bool vertical = hitCode == HTVSCROLL;
    int bar = vertical ? SB_VERT : SB_HORZ;
    UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
    FrameLayout layout = LayoutFrame(*window);
    RECT strip = vertical ? layout.verticalBar : layout.horizontalBar;
    ScrollBarParts parts = LayoutScrollBar(window->scrollBars[bar], strip, vertical);
    POINT origin = WindowTree::Instance().WindowOriginOnScreen(*window);
    POINT point { screen.x - origin.x, screen.y - origin.y };
    if (IsRectEmpty(&parts.thumb))
        return;
    if (PtInRect(&parts.thumb, point)) {
        int grab = vertical ? point.y - parts.thumb.top : point.x - parts.thumb.left;
        int thumbLength = vertical ? parts.thumb.bottom - parts.thumb.top : parts.thumb.right - parts.thumb.left;
        SetCapture(handle);
        bool released = false;
        int position = window->scrollBars[bar].position;
        RunModalLoop(handle, MSGF_SIZE, [&] { return released || GetCapture() != handle || !IsWindow(handle); }, [&](MSG& m) {
            if (m.message != WM_MOUSEMOVE && m.message != WM_LBUTTONUP)
                return false;
            ScrollBarState* state = StateOf(handle, bar);
            int along = (vertical ? m.pt.y - origin.y - strip.top : m.pt.x - origin.x - strip.left) - parts.trackStart - grab;
            int room = std::max(1, parts.trackLength - thumbLength);
            long positions = static_cast<long>(HighestPosition(*state)) - state->minimum;
            position = state->minimum + static_cast<int>(std::clamp<long>(static_cast<long>(along) * positions / room, 0, positions));
            state->trackPosition = position;
            if (m.message == WM_LBUTTONUP) {
                released = true;
                SendMessageW(handle, message, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(position)), 0);
            } else {
                SendMessageW(handle, message, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(position)), 0);
            }
            return true;
        });
        if (GetCapture() == handle)
            ReleaseCapture();
    } else {
        WORD code;
        if (PtInRect(&parts.first, point))
            code = SB_LINEUP;
        else if (PtInRect(&parts.last, point))
            code = SB_LINEDOWN;
        else
            code = (vertical ? point.y < parts.thumb.top : point.x < parts.thumb.left) ? SB_PAGEUP : SB_PAGEDOWN;
        SendMessageW(handle, message, code, 0);
        // Held down, the request repeats: after a pause, then quickly.
        g_repeat = { handle, message, code };
        UINT_PTR timer = SetTimer(nullptr, 0, 400, RepeatScroll);
        SetCapture(handle);
        bool released = false;
        RunModalLoop(handle, MSGF_SIZE, [&] { return released || GetCapture() != handle || !IsWindow(handle); }, [&](MSG& m) {
            released = m.message == WM_LBUTTONUP;
            return m.message == WM_LBUTTONUP || m.message == WM_MOUSEMOVE;
        });
        KillTimer(nullptr, timer);
        if (GetCapture() == handle)
            ReleaseCapture();
    }
    if (IsWindow(handle))
        SendMessageW(handle, message, SB_ENDSCROLL, 0);
}

} // namespace fln::user

using namespace fln::user;

int SetScrollInfo(HWND handle, int bar, LPCSCROLLINFO info, BOOL redraw)
{
    ScrollBarState* state = StateOf(handle, bar);
    if (!state || !info)
        return 0;
    if (info->fMask & SIF_RANGE) {
        state->minimum = info->nMin;
        state->maximum = std::max(info->nMin, info->nMax);
    }
    if (info->fMask & SIF_PAGE)
        state->page = std::min<UINT>(info->nPage, static_cast<UINT>(state->maximum - state->minimum + 1));
    if (info->fMask & SIF_POS)
        state->position = info->nPos;
    state->position = std::clamp(state->position, state->minimum, HighestPosition(*state));
    bool scrollable = state->maximum - state->minimum + 1 > static_cast<int>(std::max<UINT>(state->page, 1));
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
    if (redraw)
        RedrawFrame(handle);
    return state->position;
}

BOOL GetScrollInfo(HWND handle, int bar, LPSCROLLINFO info)
{
    ScrollBarState* state = StateOf(handle, bar);
    if (!state || !info)
        return FALSE;
    if (info->fMask & SIF_RANGE)
        info->nMin = state->minimum, info->nMax = state->maximum;
    if (info->fMask & SIF_PAGE)
        info->nPage = state->page;
    if (info->fMask & SIF_POS)
        info->nPos = state->position;
    if (info->fMask & SIF_TRACKPOS)
        info->nTrackPos = state->trackPosition;
    return TRUE;
}

int SetScrollPos(HWND handle, int bar, int position, BOOL redraw)
{
    ScrollBarState* state = StateOf(handle, bar);
    if (!state)
        return 0;
    int previous = state->position;
    SCROLLINFO info { sizeof info, SIF_POS, 0, 0, 0, position, 0 };
    SetScrollInfo(handle, bar, &info, redraw);
    return previous;
}

int GetScrollPos(HWND handle, int bar)
{
    ScrollBarState* state = StateOf(handle, bar);
    return state ? state->position : 0;
}

BOOL SetScrollRange(HWND handle, int bar, int minimum, int maximum, BOOL redraw)
{
    SCROLLINFO info { sizeof info, SIF_RANGE, minimum, maximum, 0, 0, 0 };
    return StateOf(handle, bar) && (SetScrollInfo(handle, bar, &info, redraw), true);
}

BOOL GetScrollRange(HWND handle, int bar, int* minimum, int* maximum)
{
    ScrollBarState* state = StateOf(handle, bar);
    if (!state || !minimum || !maximum)
        return FALSE;
    *minimum = state->minimum;
    *maximum = state->maximum;
    return TRUE;
}

BOOL ShowScrollBar(HWND handle, int bar, BOOL show)
{
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
        RedrawFrame(handle);
    return any;
}
