// The "Static" class: text labels, icons and bitmaps, owner-drawn statics, and the rectangles,
// frames and etched lines that divide dialogs. Statics take no input; with SS_NOTIFY they report
// clicks, double clicks and being enabled or disabled to the parent.

#include "platform/user/ControlSupport.h"
#include "platform/user/ResourceHandles.h"
#include "platform/user/SystemClasses.h"
#include "platform/gdi/ControlLook.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"

#include <optional>
#include <string>

namespace fln::user {
namespace {

using gdi::StaticFrameKind;

struct StaticState {
    HFONT font = nullptr;
    HANDLE image = nullptr;
    bool ownsImage = false; // a bitmap the control loaded from its resource name
};
using State = ControlState<StaticState>;

DWORD TypeOf(HWND window) { return StyleOf(window) & SS_TYPEMASK; }

std::optional<StaticFrameKind> FrameKindOf(DWORD type)
{
    switch (type) {
    case SS_BLACKRECT: return StaticFrameKind::BlackRect;
    case SS_GRAYRECT: return StaticFrameKind::GrayRect;
    case SS_WHITERECT: return StaticFrameKind::WhiteRect;
    case SS_BLACKFRAME: return StaticFrameKind::BlackFrame;
    case SS_GRAYFRAME: return StaticFrameKind::GrayFrame;
    case SS_WHITEFRAME: return StaticFrameKind::WhiteFrame;
    case SS_ETCHEDHORZ: return StaticFrameKind::EtchedHorizontal;
    case SS_ETCHEDVERT: return StaticFrameKind::EtchedVertical;
    case SS_ETCHEDFRAME: return StaticFrameKind::EtchedFrame;
    default: return std::nullopt;
    }
}

// The image type a static of this type shows: icons (and cursors) or bitmaps.
std::optional<UINT> ImageTypeOf(DWORD type)
{
    if (type == SS_ICON)
        return IMAGE_ICON;
    if (type == SS_BITMAP)
        return IMAGE_BITMAP;
    return std::nullopt;
}

UINT TextFormat(DWORD style)
{
    UINT format = 0;
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: format = DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS; break;
    case SS_RIGHT: format = DT_RIGHT | DT_WORDBREAK | DT_EXPANDTABS; break;
    case SS_SIMPLE: format = DT_LEFT | DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: format = DT_LEFT | DT_EXPANDTABS; break;
    default: format = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS; break;
    }
    if (style & SS_NOPREFIX)
        format |= DT_NOPREFIX;
    if (style & SS_CENTERIMAGE)
        format = (format & ~DT_WORDBREAK) | DT_VCENTER | DT_SINGLELINE;
    switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS: format |= DT_END_ELLIPSIS; break;
    case SS_PATHELLIPSIS: format |= DT_PATH_ELLIPSIS; break;
    case SS_WORDELLIPSIS: format |= DT_WORD_ELLIPSIS; break;
    default: break;
    }
    return format;
}

// ---- painting

void PaintText(HWND window, HDC dc, const RECT& client)
{
    HBRUSH brush = ParentColours(window, WM_CTLCOLORSTATIC, dc);
    if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT))
        FillRect(dc, &client, brush);
    std::wstring text = TextOf(window);
    SetBkMode(dc, TRANSPARENT);
    gdi::DrawLabel(dc, text.c_str(), static_cast<int>(text.size()), client, TextFormat(StyleOf(window)), !IsWindowEnabled(window));
}

COLORREF TopLeftPixel(HBITMAP bitmap)
{
    return GetPixel(gdi::MemoryDC(nullptr, bitmap), 0, 0);
}

void PaintImage(HWND window, const StaticState& state, HDC dc, const RECT& client)
{
    HBRUSH brush = ParentColours(window, WM_CTLCOLORSTATIC, dc);
    UINT type = *ImageTypeOf(TypeOf(window));
    bool centred = StyleOf(window) & SS_CENTERIMAGE;
    // A centred bitmap continues its top-left pixel's colour to the edges.
    if (centred && type == IMAGE_BITMAP && state.image)
        FillSolidRect(dc, &client, TopLeftPixel(static_cast<HBITMAP>(state.image)));
    else
        FillRect(dc, &client, brush);
    if (!state.image)
        return;
    SIZE size = ImageSize(state.image, type);
    POINT at { client.left, client.top };
    if (centred)
        at = { (client.right - size.cx) / 2, (client.bottom - size.cy) / 2 };
    UINT kind = type == IMAGE_BITMAP ? DST_BITMAP : DST_ICON;
    DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(state.image), 0, at.x, at.y, size.cx, size.cy,
        kind | (IsWindowEnabled(window) ? DSS_NORMAL : DSS_DISABLED));
}

void PaintOwnerDrawn(HWND window, HDC dc, const RECT& client)
{
    ParentColours(window, WM_CTLCOLORSTATIC, dc);
    SendDrawItem(window, dc, client, ODT_STATIC, IsWindowEnabled(window) ? 0u : ODS_DISABLED);
}

void Paint(HWND window, HDC dc)
{
    const StaticState* state = State::Of(window);
    if (!state)
        return;
    RECT client = ClientOf(window);
    int saved = SaveDC(dc);
    if (state->font)
        SelectObject(dc, state->font);
    DWORD type = TypeOf(window);
    if (auto frame = FrameKindOf(type))
        gdi::DrawStaticFrame(dc, client, *frame);
    else if (ImageTypeOf(type))
        PaintImage(window, *state, dc, client);
    else if (type == SS_OWNERDRAW)
        PaintOwnerDrawn(window, dc, client);
    else
        PaintText(window, dc, client);
    RestoreDC(dc, saved);
}

// ---- images

// Shows the image and fits the control to it, unless the image is centred in the control.
HANDLE SetImage(HWND window, StaticState& state, HANDLE image)
{
    HANDLE previous = state.image;
    state.image = image;
    state.ownsImage = false; // the caller takes back the one it gets
    if (image && !(StyleOf(window) & SS_CENTERIMAGE)) {
        SIZE size = ImageSize(image, *ImageTypeOf(TypeOf(window)));
        SetWindowPos(window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(window, nullptr, FALSE);
    return previous;
}

// An icon or bitmap static made with a name shows that resource of the creating module.
void LoadNamedImage(HWND window, StaticState& state, const CREATESTRUCTW& create)
{
    LPCWSTR name = create.lpszName;
    if (!name || (!IS_INTRESOURCE(name) && !*name))
        return;
    DWORD type = create.style & SS_TYPEMASK;
    if (type == SS_ICON) {
        if (HICON icon = LoadIconW(create.hInstance, name))
            SetImage(window, state, icon); // shared with the module: never deleted
    } else if (type == SS_BITMAP) {
        if (HBITMAP bitmap = LoadBitmapW(create.hInstance, name)) {
            SetImage(window, state, bitmap);
            state.ownsImage = true;
        }
    }
}

// Whether an image of that type is one the static shows: icons and cursors in SS_ICON, bitmaps
// in SS_BITMAP.
bool Shows(HWND window, UINT type)
{
    std::optional<UINT> shown = ImageTypeOf(TypeOf(window));
    return shown && (*shown == IMAGE_BITMAP ? type == IMAGE_BITMAP : (type == IMAGE_ICON || type == IMAGE_CURSOR));
}

LRESULT OnSetImage(HWND window, StaticState& state, UINT type, HANDLE image)
{
    return Shows(window, type) ? reinterpret_cast<LRESULT>(SetImage(window, state, image)) : 0;
}

LRESULT OnGetImage(HWND window, const StaticState& state, UINT type)
{
    return Shows(window, type) ? reinterpret_cast<LRESULT>(state.image) : 0;
}

void ReleaseImage(StaticState& state)
{
    if (state.ownsImage && state.image)
        DeleteObject(state.image);
    state.image = nullptr;
    state.ownsImage = false;
}

// ---- messages

void OnSetText(HWND window)
{
    if (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TRANSPARENT)
        RedrawParentUnder(window, ClientOf(window));
    else
        InvalidateRect(window, nullptr, FALSE);
}

void OnEnable(HWND window, bool enabled)
{
    InvalidateRect(window, nullptr, FALSE);
    if (StyleOf(window) & SS_NOTIFY)
        NotifyParent(window, enabled ? STN_ENABLE : STN_DISABLE);
}

void NotifyIfAsked(HWND window, UINT code)
{
    if (StyleOf(window) & SS_NOTIFY)
        NotifyParent(window, code);
}

LRESULT StaticProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        State::Make(window);
        // A sunken static is one with a static edge.
        if (reinterpret_cast<const CREATESTRUCTW*>(lParam)->style & SS_SUNKEN)
            SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_STATICEDGE);
    }
    StaticState* state = State::Of(window);
    if (!state)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: LoadNamedImage(window, *state, *reinterpret_cast<const CREATESTRUCTW*>(lParam)); return 0;
    case WM_NCDESTROY:
        ReleaseImage(*state);
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
    case WM_NCHITTEST: return (StyleOf(window) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    case WM_SETTEXT: {
        LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        OnSetText(window);
        return result;
    }
    case WM_SETFONT:
        state->font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam))
            InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(state->font);
    case WM_ENABLE: OnEnable(window, wParam != 0); return 0;
    case WM_SYSCOLORCHANGE: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_LBUTTONDOWN: NotifyIfAsked(window, STN_CLICKED); return 0;
    case WM_LBUTTONDBLCLK: NotifyIfAsked(window, STN_DBLCLK); return 0;
    case STM_SETICON: return OnSetImage(window, *state, IMAGE_ICON, reinterpret_cast<HANDLE>(wParam));
    case STM_GETICON: return OnGetImage(window, *state, IMAGE_ICON);
    case STM_SETIMAGE: return OnSetImage(window, *state, static_cast<UINT>(wParam), reinterpret_cast<HANDLE>(lParam));
    case STM_GETIMAGE: return OnGetImage(window, *state, static_cast<UINT>(wParam));
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

ATOM RegisterStaticClass()
{
    return RegisterControlClass(L"Static", StaticProcedure, State::kExtraBytes, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW);
}

} // namespace fln::user
