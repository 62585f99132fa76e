#include "platform/comdlg/ColorSwatches.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

#include <vector>

namespace fln::comdlg {

namespace {

constexpr int kColumns = 8;

struct SwatchState {
    std::vector<COLORREF> colors;
    int selected = -1;
};

SwatchState* StateOf(HWND window)
{
    return reinterpret_cast<SwatchState*>(GetWindowLongPtrW(window, 0));
}

int Rows(const SwatchState& state)
{
    return std::max<int>(1, (static_cast<int>(state.colors.size()) + kColumns - 1) / kColumns);
}

RECT CellRect(HWND window, const SwatchState& state, int index)
{
    RECT client;
    GetClientRect(window, &client);
    int width = client.right / kColumns, height = client.bottom / Rows(state);
    int column = index % kColumns, row = index / kColumns;
    return { column * width, row * height, (column + 1) * width, (row + 1) * height };
}

int CellAt(HWND window, const SwatchState& state, POINT point)
{
    for (int i = 0; i < static_cast<int>(state.colors.size()); ++i) {
        RECT cell = CellRect(window, state, i);
        if (PtInRect(&cell, point))
            return i;
    }
    return -1;
}

void InvalidateCell(HWND window, const SwatchState& state, int index)
{
    if (index < 0)
        return;
    RECT cell = CellRect(window, state, index);
    InvalidateRect(window, &cell, FALSE);
}

void Select(HWND window, SwatchState& state, int index, bool byUser)
{
    index = std::clamp(index, -1, static_cast<int>(state.colors.size()) - 1);
    if (index == state.selected)
        return;
    InvalidateCell(window, state, state.selected);
    state.selected = index;
    InvalidateCell(window, state, index);
    if (byUser)
        SendMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), SWN_SELCHANGE), reinterpret_cast<LPARAM>(window));
}

// A cell: a sunken swatch; the selected one framed in black, the focused one with a focus rectangle.
void PaintCell(HDC dc, RECT cell, COLORREF color, bool selected, bool focused)
{
    FillRect(dc, &cell, GetSysColorBrush(COLOR_BTNFACE));
    RECT swatch { cell.left + 3, cell.top + 3, cell.right - 3, cell.bottom - 3 };
    DrawEdge(dc, &swatch, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &swatch, brush);
    DeleteObject(brush);
    RECT frame { cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1 };
    if (selected) {
        HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        FrameRect(dc, &frame, black);
        RECT inner { frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1 };
        FrameRect(dc, &inner, black);
    }
    if (focused)
        DrawFocusRect(dc, &cell);
}

void OnPaint(HWND window, const SwatchState& state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    bool focused = GetFocus() == window;
    for (int i = 0; i < static_cast<int>(state.colors.size()); ++i)
        PaintCell(dc, CellRect(window, state, i), state.colors[static_cast<std::size_t>(i)], i == state.selected, focused && i == std::max(state.selected, 0));
    EndPaint(window, &paint);
}

void OnKeyDown(HWND window, SwatchState& state, UINT key)
{
    int last = static_cast<int>(state.colors.size()) - 1, from = std::max(state.selected, 0);
    switch (key) {
    case VK_LEFT: Select(window, state, std::max(from - 1, 0), true); break;
    case VK_RIGHT: Select(window, state, std::min(from + 1, last), true); break;
    case VK_UP: Select(window, state, from >= kColumns ? from - kColumns : from, true); break;
    case VK_DOWN: Select(window, state, from + kColumns <= last ? from + kColumns : from, true); break;
    case VK_HOME: Select(window, state, 0, true); break;
    case VK_END: Select(window, state, last, true); break;
    }
}

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    SwatchState* state = StateOf(window);
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(new SwatchState));
        break;
    case WM_NCDESTROY:
        delete state;
        SetWindowLongPtrW(window, 0, 0);
        break;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_PAINT: OnPaint(window, *state); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_KEYDOWN: OnKeyDown(window, *state, static_cast<UINT>(wParam)); return 0;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        Select(window, *state, CellAt(window, *state, { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) }), true);
        return 0;
    case SWM_SETCOLORS: {
        auto* colors = reinterpret_cast<const COLORREF*>(lParam);
        state->colors.assign(colors, colors + wParam);
        state->selected = std::min(state->selected, static_cast<int>(wParam) - 1);
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    case SWM_GETCOLOR: return wParam < state->colors.size() ? state->colors[wParam] : CLR_INVALID;
    case SWM_SETCOLOR:
        if (wParam < state->colors.size()) {
            state->colors[wParam] = static_cast<COLORREF>(lParam);
            InvalidateCell(window, *state, static_cast<int>(wParam));
        }
        return 0;
    case SWM_SETCURSEL: Select(window, *state, static_cast<int>(wParam), false); return 0;
    case SWM_GETCURSEL: return state->selected;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

void RegisterColorSwatches()
{
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass { sizeof windowClass };
        windowClass.lpfnWndProc = Procedure;
        windowClass.cbWndExtra = sizeof(SwatchState*);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kColorSwatchesClass;
        return RegisterClassExW(&windowClass);
    }();
    (void)atom;
}

} // namespace fln::comdlg
