// The status bar: a strip along the bottom of its parent, divided into parts that show text
// (left, centred and right pieces split by tabs), an icon, or what the parent draws for them; in
// simple mode one part across the bar. A size grip in the corner sizes the top-level window.

#include "platform/comctl/ControlClasses.h"
#include "platform/comctl/ControlWindow.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace fln::comctl {
namespace {

constexpr int kBorderX = 0;      // left of the first part
constexpr int kBorderY = 2;      // above the parts
constexpr int kGap = 2;          // between parts, and before the grip
constexpr int kMaxParts = 256;
constexpr int kTextMargin = 2;   // inside a part's border, before an icon and between icon and text

struct Part {
    int edge = -1; // the right edge asked for; -1 reaches the end of the bar
    std::wstring text;
    UINT type = 0; // the SBT_ drawing type
    LPARAM data = 0;
    HICON icon = nullptr;
};

struct StatusState {
    std::vector<Part> parts { Part {} };
    Part simple;
    bool simpleMode = false;
    int minHeight = 0;
    HFONT font = nullptr;
    COLORREF background = CLR_DEFAULT;
    bool placing = false;
};

struct StatusLayout {
    std::vector<RECT> parts; // in simple mode the one simple part
    RECT grip {};            // empty without a grip
};

DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

// The grip shows while the window it sizes can be sized.
bool ShowsGrip(HWND window)
{
    return (StyleOf(window) & SBARS_SIZEGRIP) && !IsZoomed(GetAncestor(window, GA_ROOT));
}

StatusLayout Layout(const StatusState& state, const RECT& client, bool grip)
{
    StatusLayout layout;
    int end = client.right - kBorderX;
    if (grip) {
        int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
        layout.grip = { client.right - cx, std::max(client.top, client.bottom - cy), client.right, client.bottom };
        end = layout.grip.left - kGap;
    }
    if (state.simpleMode) {
        layout.parts.push_back({ client.left + kBorderX, client.top + kBorderY, end, client.bottom });
        return layout;
    }
    int left = client.left + kBorderX;
    for (const Part& part : state.parts) {
        int right = part.edge < 0 ? end : std::max(left, static_cast<int>(part.edge));
        layout.parts.push_back({ left, client.top + kBorderY, right, client.bottom });
        left = right + kGap;
    }
    return layout;
}

StatusLayout LayoutOf(HWND window, const StatusState& state)
{
    RECT client;
    GetClientRect(window, &client);
    return Layout(state, client, ShowsGrip(window));
}

int PreferredHeight(const StatusState& state)
{
    const TEXTMETRICW metrics = gdi::FontMetrics(FontOr(state.font));
    int iconHeight = GetSystemMetrics(SM_CYSMICON);
    int content = std::max<int>(metrics.tmHeight + 3, iconHeight + 2);
    return std::max(content, state.minHeight) + 2 * kBorderY;
}

// Across the bottom of the parent (or the top with CCS_TOP) at the bar's own height, unless the
// styles keep it where and as big as it is.
void Place(HWND window, StatusState& state)
{
    DWORD style = StyleOf(window);
    HWND parent = GetParent(window);
    if ((style & CCS_NORESIZE) || !parent || state.placing) {
        InvalidateRect(window, nullptr, TRUE);
        return;
    }
    RECT area, own;
    GetClientRect(parent, &area);
    GetWindowRect(window, &own);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&own), 2);
    int height = PreferredHeight(state);
    int y = (style & CCS_NOPARENTALIGN) ? own.top : (style & CCS_BOTTOM) == CCS_TOP ? area.top : area.bottom - height;
    state.placing = true;
    SetWindowPos(window, nullptr, area.left, y, area.right - area.left, height, SWP_NOZORDER | SWP_NOACTIVATE);
    state.placing = false;
    InvalidateRect(window, nullptr, TRUE);
}

// The part an SB_ message names: an index, or SB_SIMPLEID for the simple-mode part.
Part* PartAt(StatusState& state, size_t index)
{
    if (index == SB_SIMPLEID)
        return &state.simple;
    return index < state.parts.size() ? &state.parts[index] : nullptr;
}

void InvalidatePart(HWND window, const StatusState& state, const Part& part)
{
    bool shown = state.simpleMode ? &part == &state.simple : &part != &state.simple;
    if (!shown)
        return;
    StatusLayout layout = LayoutOf(window, state);
    size_t index = state.simpleMode ? 0 : static_cast<size_t>(&part - state.parts.data());
    InvalidateRect(window, &layout.parts[index], TRUE);
}

// ---- messages

LRESULT SetParts(HWND window, StatusState& state, WPARAM count, const int* edges)
{
    if (!count || count > kMaxParts || !edges)
        return FALSE;
    state.parts.resize(count);
    for (size_t i = 0; i < count; ++i)
        state.parts[i].edge = edges[i];
    InvalidateRect(window, nullptr, TRUE);
    return TRUE;
}

LRESULT GetParts(const StatusState& state, WPARAM count, int* edges)
{
    if (edges) {
        for (size_t i = 0; i < std::min<size_t>(count, state.parts.size()); ++i)
            edges[i] = state.parts[i].edge;
    }
    return static_cast<LRESULT>(state.parts.size());
}

LRESULT GetBorders(int* borders)
{
    if (!borders)
        return FALSE;
    borders[0] = kBorderX, borders[1] = kBorderY, borders[2] = kGap;
    return TRUE;
}

LRESULT GetRect(HWND window, const StatusState& state, WPARAM index, RECT* rect)
{
    StatusLayout layout = LayoutOf(window, state);
    if (!rect || index >= state.parts.size())
        return FALSE;
    *rect = layout.parts[state.simpleMode ? 0 : index];
    return TRUE;
}

LRESULT SetText(HWND window, StatusState& state, WPARAM wParam, LPCWSTR text)
{
    Part* part = PartAt(state, LOBYTE(wParam));
    if (!part)
        return FALSE;
    part->type = static_cast<UINT>(wParam) & 0xFF00;
    if (part->type & SBT_OWNERDRAW) {
        part->data = reinterpret_cast<LPARAM>(text);
        part->text.clear();
    } else {
        part->data = 0;
        part->text = text ? text : L"";
    }
    InvalidatePart(window, state, *part);
    return TRUE;
}

// The length in the low word and the drawing type in the high word; an owner-drawn part answers its data.
LRESULT GetText(StatusState& state, WPARAM index, LPWSTR buffer)
{
    Part* part = PartAt(state, index);
    if (!part)
        return 0;
    if (part->type & SBT_OWNERDRAW)
        return part->data;
    if (buffer)
        std::copy(part->text.c_str(), part->text.c_str() + part->text.size() + 1, buffer);
    return MAKELONG(static_cast<WORD>(part->text.size()), static_cast<WORD>(part->type));
}

LRESULT GetTextLength(StatusState& state, WPARAM index)
{
    Part* part = PartAt(state, index);
    return part ? MAKELONG(static_cast<WORD>(part->text.size()), static_cast<WORD>(part->type)) : 0;
}

LRESULT SetIcon(HWND window, StatusState& state, WPARAM index, HICON icon)
{
    Part* part = static_cast<int>(index) == -1 ? &state.simple : PartAt(state, index);
    if (!part)
        return FALSE;
    part->icon = icon;
    InvalidatePart(window, state, *part);
    return TRUE;
}

LRESULT GetIcon(StatusState& state, WPARAM index)
{
    Part* part = static_cast<int>(index) == -1 ? &state.simple : PartAt(state, index);
    return part ? reinterpret_cast<LRESULT>(part->icon) : 0;
}

void SetSimple(HWND window, StatusState& state, bool simple)
{
    if (state.simpleMode == simple)
        return;
    state.simpleMode = simple;
    InvalidateRect(window, nullptr, TRUE);
    NMHDR header {};
    NotifyParent(window, SBN_SIMPLEMODECHANGE, header);
}

LRESULT GetWindowTextOfFirstPart(const StatusState& state, WPARAM size, LPWSTR buffer)
{
    if (!buffer || !size)
        return 0;
    const std::wstring& text = state.parts.front().text;
    size_t count = std::min<size_t>(text.size(), size - 1);
    std::copy_n(text.begin(), count, buffer);
    buffer[count] = L'\0';
    return static_cast<LRESULT>(count);
}

LRESULT OnNcHitTest(HWND window, const StatusState& state, LPARAM lParam)
{
    POINT point { GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam) };
    ScreenToClient(window, &point);
    StatusLayout layout = LayoutOf(window, state);
    if (PtInRect(&layout.grip, point))
        return HTBOTTOMRIGHT;
    return DefWindowProcW(window, WM_NCHITTEST, 0, lParam);
}

// ---- painting

void DrawText(HDC dc, const Part& part, RECT inside)
{
    inside.left += kTextMargin;
    if (part.icon) {
        int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
        DrawIconEx(dc, inside.left, inside.top + (inside.bottom - inside.top - cy) / 2, part.icon, cx, cy, 0, nullptr, DI_NORMAL);
        inside.left += cx + kTextMargin;
    }
    // Up to three pieces: left-aligned, then centred and right-aligned after each tab.
    constexpr UINT kAlignments[] = { DT_LEFT, DT_CENTER, DT_RIGHT };
    std::wstring_view rest = part.text;
    for (size_t piece = 0; piece < 3 && !rest.empty(); ++piece) {
        size_t tab = (part.type & SBT_NOTABPARSING) || piece == 2 ? std::wstring_view::npos : rest.find(L'\t');
        std::wstring text(rest.substr(0, tab));
        rest = tab == std::wstring_view::npos ? std::wstring_view() : rest.substr(tab + 1);
        RECT r = inside;
        // A text longer than its part ends in an ellipsis rather than in half a character.
        const UINT shorten = piece == 0 ? DT_END_ELLIPSIS : 0;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kAlignments[piece] | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | shorten);
    }
}

void DrawPart(HWND window, HDC dc, const Part& part, RECT rect, UINT index)
{
    if (!(part.type & SBT_NOBORDERS))
        DrawEdge(dc, &rect, (part.type & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    InflateRect(&rect, -1, -1);
    if (!(part.type & SBT_OWNERDRAW)) {
        DrawText(dc, part, rect);
        return;
    }
    DRAWITEMSTRUCT item {};
    item.CtlID = static_cast<UINT>(GetDlgCtrlID(window));
    item.itemID = index;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = window;
    item.hDC = dc;
    item.rcItem = rect;
    item.itemData = static_cast<ULONG_PTR>(part.data);
    if (HWND parent = GetParent(window))
        SendMessageW(parent, WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

void OnPaint(HWND window, const StatusState& state)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillSolidRect(dc, &client, state.background == CLR_DEFAULT ? GetSysColor(COLOR_BTNFACE) : state.background);
    StatusLayout layout = Layout(state, client, ShowsGrip(window));
    HGDIOBJ oldFont = SelectObject(dc, FontOr(state.font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (size_t i = 0; i < layout.parts.size(); ++i) {
        RECT visible;
        if (IntersectRect(&visible, &layout.parts[i], &paint.rcPaint))
            DrawPart(window, dc, state.simpleMode ? state.simple : state.parts[i], layout.parts[i], state.simpleMode ? SB_SIMPLEID : static_cast<UINT>(i));
    }
    SelectObject(dc, oldFont);
    if (!IsRectEmpty(&layout.grip))
        DrawFrameControl(dc, &layout.grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    EndPaint(window, &paint);
}

LRESULT StatusBarProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        AttachState(window, std::make_unique<StatusState>());
    StatusState* state = StateOf<StatusState>(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: {
        // The window name is the first part's text.
        LPCWSTR name = reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpszName;
        state->parts.front().text = name ? name : L"";
        Place(window, *state);
        return 0;
    }
    case WM_NCDESTROY:
        DetachState<StatusState>(window);
        return DefWindowProcW(window, message, wParam, lParam);
    case SB_SETPARTS: return SetParts(window, *state, wParam, reinterpret_cast<const int*>(lParam));
    case SB_GETPARTS: return GetParts(*state, wParam, reinterpret_cast<int*>(lParam));
    case SB_GETBORDERS: return GetBorders(reinterpret_cast<int*>(lParam));
    case SB_SETMINHEIGHT: state->minHeight = static_cast<int>(wParam); return 0;
    case SB_SIMPLE: SetSimple(window, *state, wParam != 0); return 0;
    case SB_ISSIMPLE: return state->simpleMode;
    case SB_GETRECT: return GetRect(window, *state, wParam, reinterpret_cast<RECT*>(lParam));
    case SB_SETTEXTW: return SetText(window, *state, wParam, reinterpret_cast<LPCWSTR>(lParam));
    case SB_GETTEXTW: return GetText(*state, wParam, reinterpret_cast<LPWSTR>(lParam));
    case SB_GETTEXTLENGTHW: return GetTextLength(*state, wParam);
    case SB_SETICON: return SetIcon(window, *state, wParam, reinterpret_cast<HICON>(lParam));
    case SB_GETICON: return GetIcon(*state, wParam);
    case SB_SETBKCOLOR: {
        COLORREF previous = std::exchange(state->background, static_cast<COLORREF>(lParam));
        InvalidateRect(window, nullptr, TRUE);
        return static_cast<LRESULT>(previous);
    }
    case WM_SETTEXT: return SetText(window, *state, 0, reinterpret_cast<LPCWSTR>(lParam));
    case WM_GETTEXT: return GetWindowTextOfFirstPart(*state, wParam, reinterpret_cast<LPWSTR>(lParam));
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(state->parts.front().text.size());
    case WM_SETFONT:
        state->font = reinterpret_cast<HFONT>(wParam);
        if (lParam)
            InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state->font);
    case WM_SIZE: Place(window, *state); return 0;
    case WM_NCHITTEST: return OnNcHitTest(window, *state, lParam);
    case WM_NCLBUTTONDOWN:
        // The grip sizes the top-level window, which runs the sizing loop.
        if (wParam == HTBOTTOMRIGHT) {
            SendMessageW(GetAncestor(window, GA_ROOT), WM_NCLBUTTONDOWN, wParam, lParam);
            return 0;
        }
        break;
    case WM_ERASEBKGND: return TRUE; // painting fills the whole bar
    case WM_PAINT: OnPaint(window, *state); return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

ATOM RegisterStatusBarClass()
{
    return RegisterControlClass(STATUSCLASSNAMEW, StatusBarProcedure, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

} // namespace fln::comctl
