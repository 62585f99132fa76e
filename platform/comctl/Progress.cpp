// The progress bar: a position within a range shown as a growing bar, smooth or in chunks,
// across or upwards.

#include "platform/comctl/ControlClasses.h"
#include "platform/comctl/ControlWindow.h"

#include "platform/base/MulDiv.h"
#include "platform/gdi/ClassicParts.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <utility>

namespace fln::comctl {
namespace {

struct ProgressState {
    int low = 0;
    int high = 100;
    int position = 0;
    int step = 10;
    COLORREF barColor = CLR_DEFAULT;
    COLORREF backgroundColor = CLR_DEFAULT;
};

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

// How many pixels of a bar `length` long the position fills; none for an empty or reversed range.
int FilledLength(const ProgressState& state, int length)
{
    if (state.high <= state.low || length <= 0)
        return 0;
    long long done = static_cast<long long>(state.position) - state.low;
    return static_cast<int>(done * length / (static_cast<long long>(state.high) - state.low));
}

int ClampToRange(const ProgressState& state, long long position)
{
    if (state.high < state.low)
        return state.low;
    return static_cast<int>(std::clamp<long long>(position, state.low, state.high));
}

// Returns the previous position; repaints only when the bar's length changes.
LRESULT MoveTo(HWND window, ProgressState& state, long long position)
{
    int previous = state.position;
    RECT client;
    GetClientRect(window, &client);
    RECT inside = gdi::ProgressBarInside(client);
    int length = (StyleOf(window) & PBS_VERTICAL) ? inside.bottom - inside.top : inside.right - inside.left;
    int before = FilledLength(state, length);
    state.position = ClampToRange(state, position);
    if (FilledLength(state, length) != before)
        InvalidateRect(window, &inside, FALSE);
    return previous;
}

// Past the top of the range a step starts over from the bottom.
LRESULT StepIt(HWND window, ProgressState& state)
{
    long long next = static_cast<long long>(state.position) + state.step;
    long long span = static_cast<long long>(state.high) - state.low;
    if (span > 0 && (next > state.high || next < state.low))
        next = state.low + ((next - state.low) % span + span) % span;
    return MoveTo(window, state, next);
}

LRESULT SetRange(HWND window, ProgressState& state, int low, int high)
{
    LRESULT previous = MAKELONG(static_cast<WORD>(state.low), static_cast<WORD>(state.high));
    state.low = low, state.high = high;
    state.position = ClampToRange(state, state.position);
    InvalidateRect(window, nullptr, FALSE);
    return previous;
}

LRESULT GetRange(const ProgressState& state, bool wantLow, PBRANGE* range)
{
    if (range)
        *range = { state.low, state.high };
    return wantLow ? state.low : state.high;
}

LRESULT SetColor(HWND window, COLORREF& color, COLORREF value)
{
    COLORREF previous = color;
    color = value;
    InvalidateRect(window, nullptr, FALSE);
    return static_cast<LRESULT>(previous);
}

COLORREF ColorOr(COLORREF color, int systemColor)
{
    return color == CLR_DEFAULT ? GetSysColor(systemColor) : color;
}

void OnPaint(HWND window, const ProgressState& state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    DWORD style = StyleOf(window);
    bool vertical = style & PBS_VERTICAL;
    RECT inside = gdi::ProgressBarInside(client);
    int filled = FilledLength(state, vertical ? inside.bottom - inside.top : inside.right - inside.left);
    gdi::DrawProgressBar(dc, client, filled, style & PBS_SMOOTH, vertical, ColorOr(state.barColor, COLOR_HIGHLIGHT),
        ColorOr(state.backgroundColor, COLOR_BTNFACE));
    EndPaint(window, &paint);
}

LRESULT ProgressProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        AttachState(window, std::make_unique<ProgressState>());
    ProgressState* state = StateOf<ProgressState>(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        DetachState<ProgressState>(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case PBM_SETRANGE: return SetRange(window, *state, LOWORD(lParam), HIWORD(lParam));
    case PBM_SETRANGE32: return SetRange(window, *state, static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE: return GetRange(*state, wParam, reinterpret_cast<PBRANGE*>(lParam));
    case PBM_SETPOS: return MoveTo(window, *state, static_cast<int>(wParam));
    case PBM_DELTAPOS: return MoveTo(window, *state, static_cast<long long>(state->position) + static_cast<int>(wParam));
    case PBM_GETPOS: return state->position;
    case PBM_SETSTEP: return std::exchange(state->step, static_cast<int>(wParam));
    case PBM_STEPIT: return StepIt(window, *state);
    case PBM_SETBARCOLOR: return SetColor(window, state->barColor, static_cast<COLORREF>(lParam));
    case PBM_SETBKCOLOR: return SetColor(window, state->backgroundColor, static_cast<COLORREF>(lParam));
    case WM_ERASEBKGND: return TRUE; // painting covers the whole window
    case WM_PAINT: OnPaint(window, *state); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

ATOM RegisterProgressClass()
{
    return RegisterControlClass(PROGRESS_CLASSW, ProgressProcedure, 0);
}

} // namespace fln::comctl
