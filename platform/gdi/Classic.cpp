// The classic look: 3-D edges, frame controls (caption buttons, scroll arrows, check boxes and
// radio buttons, menu marks), focus rectangles and DrawState's disabled and mono images.

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/TextRender.h"

#include <algorithm>
#include <cwchar>
#include <span>

using namespace fln::gdi;

namespace {

void fill(HDC dc, int left, int top, int right, int bottom, COLORREF color)
{
    RECT r { left, top, right, bottom };
    FillSolidRect(dc, &r, color);
}

// A checked pattern of two colours, aligned to the device so that neighbouring fills meet.
void fillDithered(HDC dc, const RECT& r, COLORREF even, COLORREF odd)
{
    const WORD rows[8] = { 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA };
    HBITMAP bits = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH brush = CreatePatternBrush(bits);
    // A monochrome pattern paints its 0 bits in the text colour and its 1 bits in the background.
    COLORREF oldText = SetTextColor(dc, even), oldBack = SetBkColor(dc, odd);
    FillRect(dc, &r, brush);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    DeleteObject(brush);
    DeleteObject(bits);
}

// The glyphs of frame controls as small pictures ('#' = ink), scaled to the control's size.
struct Glyph {
    int width;
    int height;
    const char* rows;
};

constexpr Glyph CloseGlyph { 8, 7, "##....##"
                                   ".##..##."
                                   "..####.."
                                   "...##..."
                                   "..####.."
                                   ".##..##."
                                   "##....##" };
constexpr Glyph MinimizeGlyph { 6, 2, "######"
                                      "######" };
constexpr Glyph MaximizeGlyph { 9, 9, "#########"
                                      "#########"
                                      "#.......#"
                                      "#.......#"
                                      "#.......#"
                                      "#.......#"
                                      "#.......#"
                                      "#.......#"
                                      "#########" };
constexpr Glyph RestoreGlyph { 8, 8, "..######"
                                     "..######"
                                     "..#....#"
                                     "######.#"
                                     "######.#"
                                     "#....###"
                                     "#....#.."
                                     "######.." };
constexpr Glyph HelpGlyph { 6, 9, ".####."
                                  "##..##"
                                  "....##"
                                  "...##."
                                  "..##.."
                                  "..##.."
                                  "......"
                                  "..##.."
                                  "..##.." };
constexpr Glyph ArrowUpGlyph { 7, 4, "...#..."
                                     "..###.."
                                     ".#####."
                                     "#######" };
constexpr Glyph CheckGlyph { 7, 7, "......#"
                                   ".....##"
                                   "#...###"
                                   "##.###."
                                   "#####.."
                                   ".###..."
                                   "..#...." };
constexpr Glyph BulletGlyph { 4, 4, ".##."
                                    "####"
                                    "####"
                                    ".##." };
constexpr Glyph MenuArrowGlyph { 4, 7, "#..."
                                       "##.."
                                       "###."
                                       "####"
                                       "###."
                                       "##.."
                                       "#..." };

// Draws a glyph centred in the rectangle, rotated in quarter turns (0 = as drawn).
void drawGlyph(HDC dc, const RECT& r, const Glyph& glyph, COLORREF color, int quarterTurns = 0, int dx = 0, int dy = 0)
{
    bool swapped = quarterTurns % 2 == 1;
    int w = swapped ? glyph.height : glyph.width, h = swapped ? glyph.width : glyph.height;
    int left = r.left + (r.right - r.left - w) / 2 + dx, top = r.top + (r.bottom - r.top - h) / 2 + dy;
    for (int gy = 0; gy < glyph.height; ++gy)
        for (int gx = 0; gx < glyph.width; ++gx) {
            if (glyph.rows[gy * glyph.width + gx] != '#')
                continue;
            int x = gx, y = gy;
            switch (quarterTurns % 4) {
            case 1: x = glyph.height - 1 - gy, y = gx; break; // clockwise: up becomes right
            case 2: x = glyph.width - 1 - gx, y = glyph.height - 1 - gy; break;
            case 3: x = gy, y = glyph.width - 1 - gx; break;
            }
            SetPixelV(dc, left + x, top + y, color);
        }
}

void drawPushFrame(HDC dc, RECT& r, UINT type, UINT state)
{
    if (state & DFCS_FLAT) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
        InflateRect(&r, -1, -1);
    } else {
        // Push and caption buttons take the soft edges: raised, white outermost at the top left
        // and the dark shadow outermost at the bottom right; pushed, the dark shadow outermost
        // with the shadow inside. Scroll arrows keep the plain ones.
        UINT soft = type == DFC_SCROLL ? 0 : BF_SOFT;
        DrawEdge(dc, &r, (state & (DFCS_PUSHED | DFCS_CHECKED)) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | soft | BF_ADJUST);
    }
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
}

void drawDisabledGlyph(HDC dc, const RECT& r, const Glyph& glyph, int turns, int offset)
{
    drawGlyph(dc, r, glyph, GetSysColor(COLOR_BTNHIGHLIGHT), turns, offset + 1, offset + 1);
    drawGlyph(dc, r, glyph, GetSysColor(COLOR_BTNSHADOW), turns, offset, offset);
}

BOOL drawButtonGlyph(HDC dc, RECT r, UINT type, UINT state, const Glyph& glyph, int turns)
{
    drawPushFrame(dc, r, type, state);
    int offset = (state & DFCS_PUSHED) ? 1 : 0;
    if (state & DFCS_INACTIVE)
        drawDisabledGlyph(dc, r, glyph, turns, offset);
    else
        drawGlyph(dc, r, glyph, GetSysColor(COLOR_BTNTEXT), turns, offset, offset);
    return TRUE;
}

BOOL drawCheckBox(HDC dc, RECT r, UINT state)
{
    int size = std::min<int>({ r.right - r.left, r.bottom - r.top, 13 });
    RECT box { r.left + (r.right - r.left - size) / 2, r.top + (r.bottom - r.top - size) / 2, 0, 0 };
    box.right = box.left + size, box.bottom = box.top + size;
    if (state & DFCS_FLAT)
        FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
    else
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT);
    RECT inner = box;
    InflateRect(&inner, (state & DFCS_FLAT) ? -1 : -2, (state & DFCS_FLAT) ? -1 : -2);
    // A checked three-state box is the indeterminate one: a grey tick on the dithered well.
    bool indeterminate = (state & DFCS_BUTTON3STATE) && (state & DFCS_CHECKED);
    if (indeterminate && !(state & DFCS_PUSHED))
        fillDithered(dc, inner, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNFACE));
    else
        FillRect(dc, &inner, GetSysColorBrush((state & (DFCS_INACTIVE | DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW));
    if (state & DFCS_CHECKED)
        drawGlyph(dc, inner, CheckGlyph, GetSysColor(indeterminate || (state & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
    return TRUE;
}

// The classic radio button, 12 x 12: an outer ring in shadow (top left) and highlight (bottom
// right), an inner ring in dark shadow and light, and the well.
constexpr int RadioSize = 12;
constexpr char RadioPicture[] = "....ssss...."
                                "..ssddddss.."
                                ".sddwwwwddh."
                                ".sdwwwwwwlh."
                                "sdwwwwwwwwlh"
                                "sdwwwwwwwwlh"
                                "sdwwwwwwwwlh"
                                "sdwwwwwwwwlh"
                                ".sdwwwwwwlh."
                                ".sllwwwwllh."
                                "..hhllllhh.."
                                "....hhhh....";

BOOL drawRadio(HDC dc, RECT r, UINT state)
{
    int left = r.left + (r.right - r.left - RadioSize) / 2, top = r.top + (r.bottom - r.top - RadioSize) / 2;
    bool mask = (state & DFCS_BUTTONRADIOMASK) && !(state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE));
    auto colourOf = [&](char part) {
        switch (part) {
        case 's': return GetSysColor(COLOR_BTNSHADOW);
        case 'h': return GetSysColor(COLOR_BTNHIGHLIGHT);
        case 'd': return GetSysColor(COLOR_3DDKSHADOW);
        case 'l': return GetSysColor(COLOR_3DLIGHT);
        default: return GetSysColor((state & (DFCS_INACTIVE | DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW);
        }
    };
    for (int y = 0; y < RadioSize; ++y)
        for (int x = 0; x < RadioSize; ++x)
            if (char part = RadioPicture[y * RadioSize + x]; part != '.')
                SetPixelV(dc, left + x, top + y, mask ? RGB(0, 0, 0) : colourOf(part));
    if (mask || !(state & DFCS_CHECKED))
        return TRUE;
    // The dot is the menu's bullet, in the middle of the well.
    RECT box { left, top, left + RadioSize, top + RadioSize };
    drawGlyph(dc, box, BulletGlyph, GetSysColor((state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    return TRUE;
}

} // namespace

void FillSolidRect(HDC dc, const RECT* rect, COLORREF color)
{
    if (!rect)
        return;
    // The text-background colour does the fill, as ExtTextOut's opaque rectangle.
    COLORREF old = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

void Draw3dRect(HDC dc, const RECT* rect, COLORREF topLeft, COLORREF bottomRight)
{
    if (!rect)
        return;
    int x = rect->left, y = rect->top, cx = rect->right - rect->left, cy = rect->bottom - rect->top;
    fill(dc, x, y, x + cx - 1, y + 1, topLeft);
    fill(dc, x, y, x + 1, y + cy - 1, topLeft);
    fill(dc, x + cx - 1, y, x + cx, y + cy, bottomRight);
    fill(dc, x, y + cy - 1, x + cx, y + cy, bottomRight);
}

BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags)
{
    if (!rect || !DeviceContext::from(dc))
        return FALSE;
    RECT r = *rect;
    bool soft = flags & BF_SOFT, mono = flags & BF_MONO, flat = flags & BF_FLAT;
    // Colours of the outer and inner borders: (top-left, bottom-right).
    auto colours = [&](bool outer) -> std::pair<COLORREF, COLORREF> {
        UINT raised = outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER, sunken = outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
        if (mono)
            return { GetSysColor(COLOR_WINDOWFRAME), GetSysColor(COLOR_WINDOWFRAME) };
        if (flat)
            return { GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNSHADOW) };
        if (edge & raised)
            return outer ? std::pair { GetSysColor(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT), GetSysColor(COLOR_3DDKSHADOW) }
                         : std::pair { GetSysColor(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW) };
        if (edge & sunken)
            return outer ? std::pair { GetSysColor(soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT) }
                         : std::pair { GetSysColor(soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT) };
        return { CLR_INVALID, CLR_INVALID };
    };
    auto border = [&](std::pair<COLORREF, COLORREF> c) {
        if (c.first == CLR_INVALID)
            return;
        if (flags & BF_DIAGONAL) {
            HPEN pen = CreatePen(PS_SOLID, 1, c.second);
            HGDIOBJ old = SelectObject(dc, pen);
            MoveToEx(dc, r.left, r.bottom - 1, nullptr);
            LineTo(dc, r.right, r.top - 1);
            SelectObject(dc, old);
            DeleteObject(pen);
            return;
        }
        if (flags & BF_TOP)
            fill(dc, r.left, r.top, r.right, r.top + 1, c.first);
        if (flags & BF_LEFT)
            fill(dc, r.left, r.top, r.left + 1, r.bottom, c.first);
        if (flags & BF_BOTTOM)
            fill(dc, r.left, r.bottom - 1, r.right, r.bottom, c.second);
        if (flags & BF_RIGHT)
            fill(dc, r.right - 1, r.top, r.right, r.bottom, c.second);
        if (flags & BF_LEFT)
            r.left++;
        if (flags & BF_TOP)
            r.top++;
        if (flags & BF_RIGHT)
            r.right--;
        if (flags & BF_BOTTOM)
            r.bottom--;
    };
    border(colours(true));
    border(colours(false));
    if ((flags & BF_MIDDLE) && r.left < r.right && r.top < r.bottom)
        FillSolidRect(dc, &r, GetSysColor(mono ? COLOR_WINDOW : COLOR_BTNFACE));
    if (flags & BF_ADJUST)
        *rect = r;
    return TRUE;
}

BOOL GradientFill(HDC handle, const TRIVERTEX* vertices, ULONG vertexCount, const void* meshes, ULONG meshCount, ULONG mode)
{
    DeviceContext* dc = DeviceContext::from(handle);
    if (!dc || !vertices || !meshes || (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V))
        return FALSE;
    Canvas canvas(*dc);
    if (!canvas.valid())
        return TRUE; // a screen DC draws nowhere
    for (const GRADIENT_RECT& mesh : std::span(static_cast<const GRADIENT_RECT*>(meshes), meshCount)) {
        if (mesh.UpperLeft >= vertexCount || mesh.LowerRight >= vertexCount)
            return FALSE;
        const TRIVERTEX& from = vertices[mesh.UpperLeft];
        const TRIVERTEX& to = vertices[mesh.LowerRight];
        RECT r = dc->toDevice(RECT { std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x), std::max(from.y, to.y) });
        bool across = mode == GRADIENT_FILL_RECT_H;
        int length = across ? r.right - r.left : r.bottom - r.top;
        for (int step = 0; step < length; ++step) {
            auto channel = [&](COLOR16 a, COLOR16 b) {
                int start = a >> 8, end = b >> 8;
                return static_cast<BYTE>(start + (end - start) * step / length);
            };
            COLORREF colour = RGB(channel(from.Red, to.Red), channel(from.Green, to.Green), channel(from.Blue, to.Blue));
            RECT line = across ? RECT { r.left + step, r.top, r.left + step + 1, r.bottom } : RECT { r.left, r.top + step, r.right, r.top + step + 1 };
            canvas.fillRect(line, Ink::solid(canvas.realize(colour)));
        }
    }
    return TRUE;
}

BOOL DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state)
{
    if (!rect || !DeviceContext::from(dc))
        return FALSE;
    RECT r = *rect;
    switch (type) {
    case DFC_CAPTION:
        switch (state & 0xFF) {
        case DFCS_CAPTIONCLOSE: return drawButtonGlyph(dc, r, type, state, CloseGlyph, 0);
        case DFCS_CAPTIONMIN: {
            // The minimise bar sits low in the button.
            drawPushFrame(dc, r, type, state);
            int offset = (state & DFCS_PUSHED) ? 1 : 0;
            RECT low { r.left, r.top + (r.bottom - r.top) / 2, r.right, r.bottom - 1 };
            if (state & DFCS_INACTIVE)
                drawDisabledGlyph(dc, low, MinimizeGlyph, 0, offset);
            else
                drawGlyph(dc, low, MinimizeGlyph, GetSysColor(COLOR_BTNTEXT), 0, offset, offset);
            return TRUE;
        }
        case DFCS_CAPTIONMAX: return drawButtonGlyph(dc, r, type, state, MaximizeGlyph, 0);
        case DFCS_CAPTIONRESTORE: return drawButtonGlyph(dc, r, type, state, RestoreGlyph, 0);
        case DFCS_CAPTIONHELP: return drawButtonGlyph(dc, r, type, state, HelpGlyph, 0);
        default: return FALSE;
        }
    case DFC_SCROLL:
        switch (state & 0xFF) {
        case DFCS_SCROLLUP: return drawButtonGlyph(dc, r, type, state, ArrowUpGlyph, 0);
        case DFCS_SCROLLDOWN:
        case DFCS_SCROLLCOMBOBOX: return drawButtonGlyph(dc, r, type, state, ArrowUpGlyph, 2);
        case DFCS_SCROLLLEFT: return drawButtonGlyph(dc, r, type, state, ArrowUpGlyph, 3);
        case DFCS_SCROLLRIGHT: return drawButtonGlyph(dc, r, type, state, ArrowUpGlyph, 1);
        case DFCS_SCROLLSIZEGRIP:
        case DFCS_SCROLLSIZEGRIPRIGHT: {
            FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
            for (int i = 0; i < 3; ++i) {
                int d = 4 * i + 2;
                for (auto [offset, color] : { std::pair { 0, COLOR_BTNHIGHLIGHT }, { 1, COLOR_BTNSHADOW }, { 2, COLOR_BTNSHADOW } }) {
                    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(color));
                    HGDIOBJ old = SelectObject(dc, pen);
                    MoveToEx(dc, r.right - 1, r.bottom - 1 - d - offset - 1, nullptr);
                    LineTo(dc, r.right - 1 - d - offset - 1 - 1, r.bottom);
                    SelectObject(dc, old);
                    DeleteObject(pen);
                }
            }
            return TRUE;
        }
        default: return FALSE;
        }
    case DFC_BUTTON:
        if (state & DFCS_BUTTONPUSH) {
            drawPushFrame(dc, r, type, state);
            if (state & DFCS_ADJUSTRECT)
                *rect = r;
            return TRUE;
        }
        if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK))
            return drawRadio(dc, r, state);
        return drawCheckBox(dc, r, state);
    case DFC_MENU:
    case DFC_POPUPMENU: {
        // Menu marks are black on white, for use as masks.
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        switch (state & 0xFF) {
        case DFCS_MENUCHECK: drawGlyph(dc, r, CheckGlyph, RGB(0, 0, 0)); return TRUE;
        case DFCS_MENUBULLET: drawGlyph(dc, r, BulletGlyph, RGB(0, 0, 0)); return TRUE;
        case DFCS_MENUARROW: drawGlyph(dc, r, MenuArrowGlyph, RGB(0, 0, 0)); return TRUE;
        case DFCS_MENUARROWRIGHT: drawGlyph(dc, r, MenuArrowGlyph, RGB(0, 0, 0), 2); return TRUE;
        default: return FALSE;
        }
    }
    default: return FALSE;
    }
}

BOOL DrawFocusRect(HDC handle, const RECT* rect)
{
    DeviceContext* dc = DeviceContext::from(handle);
    if (!dc || !rect)
        return FALSE;
    RECT r = dc->toDevice(*rect);
    if (r.right <= r.left || r.bottom <= r.top)
        return TRUE;
    // A checked pattern through XOR: white pattern bits invert (with the default colours).
    Canvas canvas(*dc);
    Ink ink;
    ink.width = ink.height = 2;
    uint32_t text = canvas.realize(dc->state.textColor), back = canvas.realize(dc->state.bkColor);
    ink.pixels = { back, text, text, back };
    ink.rop2 = R2_XORPEN;
    Region frame = Region(r) - Region(RECT { r.left + 1, r.top + 1, r.right - 1, r.bottom - 1 });
    canvas.fillRegion(frame, ink);
    return TRUE;
}

BOOL DrawStateW(HDC dc, HBRUSH brush, DRAWSTATEPROC output, LPARAM data, WPARAM wData, int x, int y, int cx, int cy, UINT flags)
{
    DeviceContext* target = DeviceContext::from(dc);
    if (!target)
        return FALSE;
    UINT type = flags & 0xF;
    std::wstring text;
    if (type == DST_TEXT || type == DST_PREFIXTEXT) {
        auto* chars = reinterpret_cast<LPCWSTR>(data);
        if (!chars)
            return FALSE;
        text.assign(chars, wData ? wData : std::wcslen(chars));
    }
    // The item's own size when none is given.
    if (cx == 0 || cy == 0) {
        SIZE size {};
        if (type == DST_TEXT || type == DST_PREFIXTEXT) {
            RECT calc { 0, 0, 0, 0 };
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &calc, DT_CALCRECT | DT_SINGLELINE | (type == DST_TEXT ? DT_NOPREFIX : 0));
            size = SIZE { calc.right, calc.bottom };
        } else if (type == DST_ICON) {
            ICONINFO info {};
            if (GetIconInfo(reinterpret_cast<HICON>(data), &info)) {
                BITMAP bm {};
                GetObjectW(info.hbmMask, sizeof bm, &bm);
                size = SIZE { bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2 };
                DeleteObject(info.hbmMask);
                if (info.hbmColor)
                    DeleteObject(info.hbmColor);
            }
        } else if (type == DST_BITMAP) {
            BITMAP bm {};
            GetObjectW(reinterpret_cast<HGDIOBJ>(data), sizeof bm, &bm);
            size = SIZE { bm.bmWidth, bm.bmHeight };
        }
        if (cx == 0)
            cx = size.cx;
        if (cy == 0)
            cy = size.cy;
    }
    if (cx <= 0 || cy <= 0)
        return TRUE;

    // Draw the item in black on white into a colour bitmap.
    HDC work = CreateCompatibleDC(dc);
    HBITMAP workBitmap = CreateBitmap(cx, cy, 1, 32, nullptr);
    HGDIOBJ oldWork = SelectObject(work, workBitmap);
    RECT all { 0, 0, cx, cy };
    FillRect(work, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    bool plain = (flags & (DSS_DISABLED | DSS_MONO | DSS_UNION)) == 0;
    switch (type) {
    case DST_TEXT:
    case DST_PREFIXTEXT: {
        SelectObject(work, GetCurrentObject(dc, OBJ_FONT));
        SetBkMode(work, TRANSPARENT);
        SetTextColor(work, plain ? GetTextColor(dc) : RGB(0, 0, 0));
        if (plain) // normal text keeps its colour over the DC's own pixels
            BitBlt(work, 0, 0, cx, cy, dc, x, y, SRCCOPY);
        UINT format = DT_SINGLELINE | DT_LEFT | DT_TOP | (type == DST_TEXT ? DT_NOPREFIX : 0) | ((flags & DSS_HIDEPREFIX) ? DT_HIDEPREFIX : 0);
        DrawTextW(work, text.c_str(), static_cast<int>(text.size()), &all, format);
        SelectObject(work, GetStockObject(SYSTEM_FONT));
        break;
    }
    case DST_ICON:
        if (plain)
            BitBlt(work, 0, 0, cx, cy, dc, x, y, SRCCOPY);
        DrawIconEx(work, 0, 0, reinterpret_cast<HICON>(data), cx, cy, 0, nullptr, DI_NORMAL);
        break;
    case DST_BITMAP:
        BitBlt(work, 0, 0, cx, cy, MemoryDC(dc, reinterpret_cast<HBITMAP>(data)), 0, 0, SRCCOPY);
        break;
    case DST_COMPLEX:
        if (plain)
            BitBlt(work, 0, 0, cx, cy, dc, x, y, SRCCOPY);
        if (output)
            output(work, data, wData, cx, cy);
        break;
    default: break;
    }

    if (plain) {
        BitBlt(dc, x, y, cx, cy, work, 0, 0, SRCCOPY);
    } else {
        // A monochrome mask of the item (black where it has ink), painted through with brushes:
        // ROP 0xB8074A paints the brush where the mask is black and keeps the destination elsewhere.
        HDC maskDC = CreateCompatibleDC(dc);
        HBITMAP mask = CreateBitmap(cx, cy, 1, 1, nullptr);
        HGDIOBJ oldMask = SelectObject(maskDC, mask);
        SetBkColor(work, RGB(255, 255, 255));
        BitBlt(maskDC, 0, 0, cx, cy, work, 0, 0, SRCCOPY);
        if (flags & DSS_UNION) { // dither: keep every other pixel of the item
            HBITMAP checkerBits = nullptr;
            const WORD rows[8] = { 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA };
            checkerBits = CreateBitmap(8, 8, 1, 1, rows);
            HBRUSH checker = CreatePatternBrush(checkerBits);
            HGDIOBJ oldBrush = SelectObject(maskDC, checker);
            PatBlt(maskDC, 0, 0, cx, cy, 0x00FA0089); // mask | pattern (DPo)
            SelectObject(maskDC, oldBrush);
            DeleteObject(checker);
            DeleteObject(checkerBits);
        }
        COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
        auto paintThrough = [&](HBRUSH paint, int dx, int dy) {
            HGDIOBJ old = SelectObject(dc, paint);
            BitBlt(dc, x + dx, y + dy, cx, cy, maskDC, 0, 0, 0x00B8074A);
            SelectObject(dc, old);
        };
        if (flags & DSS_DISABLED) {
            paintThrough(GetSysColorBrush(COLOR_BTNHIGHLIGHT), 1, 1);
            paintThrough(GetSysColorBrush(COLOR_BTNSHADOW), 0, 0);
        } else if (flags & DSS_MONO) {
            paintThrough(brush ? brush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 0, 0);
        } else { // union alone
            paintThrough(brush ? brush : GetSysColorBrush(COLOR_BTNTEXT), 0, 0);
        }
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
        SelectObject(maskDC, oldMask);
        DeleteObject(mask);
        DeleteDC(maskDC);
    }
    SelectObject(work, oldWork);
    DeleteObject(workBitmap);
    DeleteDC(work);
    return TRUE;
}
