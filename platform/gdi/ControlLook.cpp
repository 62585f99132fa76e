// The classic faces of the standard controls, composed from the edge, frame-control, focus and
// state primitives.

#include "platform/gdi/ControlLook.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/SysColors.h"

namespace fln::gdi {
namespace {

struct LabelJob {
    const wchar_t* text;
    int length;
    UINT format;
    HFONT font;
};

// Draws the label in black into DrawState's work DC, which makes the mask it embosses.
BOOL DrawLabelMask(HDC work, LPARAM data, WPARAM, int cx, int cy)
{
    const auto& job = *reinterpret_cast<const LabelJob*>(data);
    HGDIOBJ oldFont = SelectObject(work, job.font);
    SetBkMode(work, TRANSPARENT);
    SetTextColor(work, RGB(0, 0, 0));
    RECT area { 0, 0, cx, cy };
    DrawTextW(work, job.text, job.length, &area, job.format);
    SelectObject(work, oldFont);
    return TRUE;
}

void FrameInColour(HDC dc, const RECT& r, int colour)
{
    FrameRect(dc, &r, GetSysColorBrush(colour));
}

} // namespace

PushButtonParts DrawPushButtonFace(HDC dc, const RECT& bounds, const PushButtonLook& look)
{
    RECT r = bounds;
    if (look.isDefault || look.pressed) {
        FrameInColour(dc, r, COLOR_WINDOWFRAME);
        InflateRect(&r, -1, -1);
    }
    UINT state = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (look.pressed)
        state |= DFCS_PUSHED | DFCS_FLAT; // the pressed face is a flat shadow line
    else if (look.checked)
        state |= DFCS_CHECKED;
    else if (look.flat)
        state |= DFCS_FLAT;
    RECT face = r;
    DrawFrameControl(dc, &face, DFC_BUTTON, state);
    // The content stays inside a two-pixel bevel whatever the frame drew, so the text never jumps
    // by more than the press offset.
    RECT content = r;
    InflateRect(&content, -2, -2);
    PushButtonParts parts { content, content };
    InflateRect(&parts.focus, -1, -1);
    if (look.pressed || look.checked)
        OffsetRect(&parts.content, 1, 1);
    return parts;
}

RECT DrawButtonBevel(HDC dc, const RECT& rect, ButtonBevel bevel)
{
    RECT r = rect;
    auto ring = [&](int topLeft, int bottomRight) {
        Draw3dRect(dc, &r, GetSysColor(topLeft), GetSysColor(bottomRight));
        InflateRect(&r, -1, -1);
    };
    switch (bevel) {
    case ButtonBevel::Raised: DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST); break;
    case ButtonBevel::Sunken: DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST); break;
    case ButtonBevel::Flat: ring(COLOR_BTNSHADOW, COLOR_BTNSHADOW); break;
    case ButtonBevel::PushRaised:
        ring(COLOR_BTNHIGHLIGHT, COLOR_WINDOWFRAME);
        ring(COLOR_BTNFACE, COLOR_BTNSHADOW);
        break;
    case ButtonBevel::PushSunken:
        ring(COLOR_WINDOWFRAME, COLOR_BTNHIGHLIGHT);
        ring(COLOR_BTNSHADOW, COLOR_BTNFACE);
        break;
    }
    return r;
}

void DrawFocus(HDC dc, const RECT& rect)
{
    // The focus rectangle inverts through a pattern of the text and background colours.
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &rect);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

void DrawCheckMark(HDC dc, const RECT& box, const CheckMarkLook& look)
{
    UINT state = look.kind == CheckMarkKind::RadioButton ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (look.check == 2 && look.kind == CheckMarkKind::CheckBox)
        state |= DFCS_BUTTON3STATE | DFCS_CHECKED;
    else if (look.check)
        state |= DFCS_CHECKED;
    if (look.pressed)
        state |= DFCS_PUSHED;
    if (look.disabled)
        state |= DFCS_INACTIVE;
    if (look.flat)
        state |= DFCS_FLAT;
    RECT r = box;
    DrawFrameControl(dc, &r, DFC_BUTTON, state);
}

void DrawGroupBoxFrame(HDC dc, const RECT& frame, const RECT& gap)
{
    int saved = SaveDC(dc);
    if (!IsRectEmpty(&gap))
        ExcludeClipRect(dc, gap.left, gap.top, gap.right, gap.bottom);
    RECT r = frame;
    DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
    RestoreDC(dc, saved);
}

void DrawStaticFrame(HDC dc, const RECT& bounds, StaticFrameKind kind)
{
    RECT r = bounds;
    switch (kind) {
    // Black is the window-frame colour, white the window background, grey the 3-D shadow.
    case StaticFrameKind::BlackRect: FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME)); return;
    case StaticFrameKind::GrayRect: FillRect(dc, &r, GetSysColorBrush(COLOR_3DSHADOW)); return;
    case StaticFrameKind::WhiteRect: FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW)); return;
    case StaticFrameKind::BlackFrame: FrameInColour(dc, r, COLOR_WINDOWFRAME); return;
    case StaticFrameKind::GrayFrame: FrameInColour(dc, r, COLOR_3DSHADOW); return;
    case StaticFrameKind::WhiteFrame: FrameInColour(dc, r, COLOR_WINDOW); return;
    case StaticFrameKind::EtchedHorizontal: DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP); return;
    case StaticFrameKind::EtchedVertical: DrawEdge(dc, &r, EDGE_ETCHED, BF_LEFT); return;
    case StaticFrameKind::EtchedFrame: DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT); return;
    }
}

void DrawLabel(HDC dc, const wchar_t* text, int length, const RECT& rect, UINT format, bool disabled)
{
    RECT r = rect;
    if (!disabled) {
        DrawTextW(dc, text, length, &r, format);
        return;
    }
    LabelJob job { text, length, format, static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT)) };
    DrawStateW(dc, nullptr, DrawLabelMask, reinterpret_cast<LPARAM>(&job), 0, r.left, r.top, r.right - r.left,
        r.bottom - r.top, DST_COMPLEX | DSS_DISABLED);
}

} // namespace fln::gdi
