// The painting of the tab strip: background, edge lines, the raised and flat tab outlines, icons,
// labels and embossed disabled tabs, drawn off screen and copied at once.

#include "framework/Tab3DControl.h"

#include "framework/AuxBitmaps.h"
#include "framework/HlsColor.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

using Edge = SEC3DTabControl::Edge;

void Line(CDC& dc, std::initializer_list<POINT> points)
{
    dc.Polyline(points.begin(), static_cast<int>(points.size()));
}

void Line(CDC& dc, CPen& pen, std::initializer_list<POINT> points)
{
    CPen* old = dc.SelectObject(&pen);
    Line(dc, points);
    dc.SelectObject(old);
}

} // namespace

COLORREF SEC3DTabControl::FlatLightColour()
{
    WORD hue, lightness, saturation;
    RGBtoHLS(::GetSysColor(COLOR_BTNHIGHLIGHT), hue, lightness, saturation);
    return HLStoRGB(hue, lightness, static_cast<WORD>(std::min(saturation + 100, HLSMAX)));
}

void SEC3DTabControl::FillSolid(CDC& dc, int x, int y, int cx, int cy, COLORREF colour)
{
    COLORREF old = dc.SetBkColor(colour);
    CRect rect(x, y, x + cx, y + cy);
    dc.ExtTextOut(0, 0, ETO_OPAQUE, &rect, CString(), nullptr);
    dc.SetBkColor(old);
}

void SEC3DTabControl::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty())
        return;
    CRect clip;
    paint.GetClipBox(&clip);
    const DWORD style = GetStyle();
    const Edge edge = EdgeOf(style);
    const bool flat = style & TAB_STYLE_FLAT;

    fln::gdi::MemoryDC offscreen(paint, client.Width(), client.Height());
    if (!offscreen.valid())
        return;
    CDC& dc = *CDC::FromHandle(offscreen);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_inactiveTextColor);
    CFont* oldFont = dc.SelectObject(&m_fonts[0]);
    CPen* oldPen = dc.SelectObject(&m_outerPens[0]);

    PaintBackground(dc, client, edge, flat);
    for (int i = 0; i < GetTabCount(); ++i)
        if (!m_hasActive || i != m_activeIndex)
            DrawTab(dc, i);
    PaintEdgeLines(dc, client, edge, flat);
    if (const SEC3DTab* active = m_hasActive ? GetTab(m_activeIndex) : nullptr) {
        CRect overlap;
        if (overlap.IntersectRect(&active->m_rect, &clip)) {
            dc.SetTextColor(m_activeTextColor);
            dc.SelectObject(&m_fonts[1]);
            dc.SelectObject(&m_outerPens[1]);
            DrawTab(dc, m_activeIndex);
        }
    }

    dc.SelectObject(oldPen);
    dc.SelectObject(oldFont);
    offscreen.CopyTo(paint, 0, 0);
}

void SEC3DTabControl::PaintBackground(CDC& dc, const CRect& c, Edge edge, bool flat)
{
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    if (!flat) {
        dc.FillSolidRect(&c, face);
        return;
    }
    // A face-coloured band on the far side of the row, the light colour up to it, and a face
    // outline around the light area.
    const COLORREF light = FlatLightColour();
    CPen outline(PS_SOLID, 1, face);
    switch (edge) {
    case Edge::Top:
        dc.FillSolidRect(c.left, c.bottom - 2, c.Width(), 2, face);
        dc.FillSolidRect(c.left, c.top, c.Width(), c.Height() - 3, light);
        Line(dc, outline, { { c.left, c.top }, { c.left, c.bottom - 3 }, { c.right - 1, c.bottom - 3 }, { c.right - 1, c.top } });
        break;
    case Edge::Bottom:
        dc.FillSolidRect(c.left, c.top, c.Width(), 2, face);
        dc.FillSolidRect(c.left, c.top + 3, c.Width(), c.Height() - 3, light);
        Line(dc, outline, { { c.left, c.bottom }, { c.left, c.top + 2 }, { c.right - 1, c.top + 2 }, { c.right - 1, c.bottom } });
        break;
    case Edge::Right:
        dc.FillSolidRect(c.left, c.top, 2, c.Height(), face);
        dc.FillSolidRect(c.left + 3, c.top, c.Width() - 3, c.Height(), light);
        Line(dc, outline, { { c.right, c.top }, { c.left + 2, c.top }, { c.left + 2, c.bottom - 1 }, { c.right, c.bottom - 1 } });
        break;
    case Edge::Left:
        dc.FillSolidRect(c.right - 2, c.top, 2, c.Height(), face);
        dc.FillSolidRect(c.left, c.top, c.Width() - 3, c.Height(), light);
        Line(dc, outline, { { c.left, c.top }, { c.right - 3, c.top }, { c.right - 3, c.bottom - 1 }, { c.left, c.bottom - 1 } });
        break;
    }
}

void SEC3DTabControl::PaintEdgeLines(CDC& dc, const CRect& c, Edge edge, bool flat)
{
    // One-pixel lines along the attached edge, given by their offset from the client's near side.
    auto line = [&](int offset, COLORREF colour) {
        switch (edge) {
        case Edge::Top:
            FillSolid(dc, c.left, c.top + offset, c.Width(), 1, colour);
            break;
        case Edge::Bottom:
            FillSolid(dc, c.left, c.bottom - 1 - offset, c.Width(), 1, colour);
            break;
        case Edge::Right:
            FillSolid(dc, c.right - 1 - offset, c.top, 1, c.Height(), colour);
            break;
        case Edge::Left:
            FillSolid(dc, c.left + offset, c.top, 1, c.Height(), colour);
            break;
        }
    };
    if (flat) {
        for (int offset = 0; offset < 3; ++offset)
            line(offset, ::GetSysColor(COLOR_BTNFACE));
        line(2, RGB(0, 0, 0)); // on the band's side nearest the tabs
        return;
    }
    // From the outside in: highlight, face, shadow, black; the tabs side keeps the last two.
    const bool outerLines = !(GetStyle() & TAB_STYLE_NO_OUTER_LINES);
    const bool attachedNear = edge == Edge::Top || edge == Edge::Left;
    const COLORREF colours[4] = { ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNFACE),
        ::GetSysColor(COLOR_BTNSHADOW), RGB(0, 0, 0) };
    for (int i = 0; i < 4; ++i) {
        // Top and left count from highlight outwards in; bottom and right from black.
        const int offset = attachedNear ? i : 3 - i;
        const bool isOuter = attachedNear ? i < 2 : i >= 2;
        if (isOuter && !outerLines)
            continue;
        line(offset, colours[i]);
    }
}

bool SEC3DTabControl::IsActive(const SEC3DTab& tab) const
{
    return m_hasActive && GetTab(m_activeIndex) == &tab;
}

COLORREF SEC3DTabControl::TabFillColour(const SEC3DTab& tab) const
{
    return (GetStyle() & TAB_STYLE_FLAT) && !IsActive(tab) ? FlatLightColour() : ::GetSysColor(COLOR_BTNFACE);
}

void SEC3DTabControl::DrawTab(CDC& dc, int index)
{
    const SEC3DTab& tab = *GetTab(index);
    const DWORD style = GetStyle();
    const Edge edge = EdgeOf(style);
    CRect r = tab.m_rect;
    if (edge == Edge::Top)
        r.right -= 1;
    else if (edge == Edge::Left)
        r.bottom -= 2;

    if (!(style & TAB_STYLE_FLAT)) {
        dc.FillSolidRect(&r, TabFillColour(tab));
        DrawRaisedOutline(dc, r, edge, style & TAB_STYLE_GAP);
    } else {
        CRect fill = r;
        if (IsActive(tab)) {
            if (edge == Edge::Bottom)
                fill.bottom += 1;
            else if (edge == Edge::Right)
                fill.right += 1;
        }
        dc.FillSolidRect(&fill, TabFillColour(tab));
        DrawFlatOutline(dc, tab, edge);
    }
    DrawTabFace(dc, tab, edge);
}

void SEC3DTabControl::DrawRaisedOutline(CDC& dc, const CRect& r, Edge edge, bool gap)
{
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    const int g = gap ? 1 : 0;
    // The outer lines use the pen that painting selected for this tab.
    switch (edge) {
    case Edge::Top: {
        const int e = R - g;
        Line(dc, m_highlightPen, { { L, T + 1 }, { L, B - 2 } });
        Line(dc, m_shadowPen, { { L + 1, B - 2 }, { L + 1, B - 1 }, { e - 2, B - 1 }, { e - 2, B - 2 }, { e - 1, B - 2 }, { e - 1, T }, { e, T } });
        Line(dc, { { e, T + 2 }, { e, B - 2 }, { e - 2, B }, { L + 2, B } });
        break;
    }
    case Edge::Bottom: {
        const int e = R - g;
        Line(dc, m_highlightPen, { { L, B - 1 }, { L, T + 2 }, { L + 2, T }, { e - 2, T } });
        Line(dc, m_shadowPen, { { e - 2, T + 1 }, { e - 1, T + 2 }, { e - 1, B } });
        Line(dc, { { e - 1, T + 1 }, { e, T + 2 }, { e, B } });
        break;
    }
    case Edge::Right: {
        const int e = B - g;
        Line(dc, m_highlightPen, { { L, e - 2 }, { L, T + 2 }, { L + 2, T }, { R, T } });
        Line(dc, m_shadowPen, { { L + 1, e - 2 }, { L + 2, e - 1 }, { R, e - 1 } });
        Line(dc, { { L + 1, e - 1 }, { L + 2, e }, { R, e } });
        break;
    }
    case Edge::Left: {
        const int e = B - g;
        Line(dc, m_highlightPen, { { L, T }, { R - 2, T } });
        Line(dc, m_shadowPen, { { R - 2, T }, { R - 1, T + 1 }, { R - 1, e - 2 } });
        Line(dc, m_shadowPen, { { R - 1, e - 2 }, { R - 2, e - 1 }, { L, e - 1 } });
        Line(dc, { { R, T + 2 }, { R, e - 2 } });
        Line(dc, { { R, e - 2 }, { R - 2, e }, { L, e } });
        break;
    }
    }
}

void SEC3DTabControl::DrawFlatOutline(CDC& dc, const SEC3DTab& tab, Edge edge)
{
    const int L = tab.m_rect.left, T = tab.m_rect.top, R = tab.m_rect.right, B = tab.m_rect.bottom;
    if (!tab.m_selected) {
        CPen separator(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
        switch (edge) {
        case Edge::Top:
            Line(dc, separator, { { R - 1, T + 3 }, { R - 1, B - 1 } });
            break;
        case Edge::Bottom:
            Line(dc, separator, { { R - 1, T + 2 }, { R - 1, B - 2 } });
            break;
        case Edge::Right:
            Line(dc, separator, { { L + 2, B - 1 }, { R - 2, B - 1 } });
            break;
        case Edge::Left:
            Line(dc, separator, { { L + 3, B - 1 }, { R - 1, B - 1 } });
            break;
        }
        return;
    }
    CPen frame(PS_SOLID, 1, ::GetSysColor(COLOR_WINDOWFRAME));
    CPen light(PS_SOLID, 1, FlatLightColour());
    switch (edge) {
    case Edge::Top:
        Line(dc, m_highlightPen, { { L, T }, { L, B + 1 } });
        Line(dc, frame, { { L + 1, B }, { R - 1, B }, { R - 1, T - 1 } });
        Line(dc, light, { { L - 1, T + 3 }, { L - 1, B - 1 } });
        break;
    case Edge::Bottom:
        Line(dc, m_highlightPen, { { L, B }, { L, T }, { R, T } });
        Line(dc, frame, { { R - 1, T + 1 }, { R - 1, B + 1 } });
        Line(dc, light, { { L - 1, T + 2 }, { L - 1, B - 2 } });
        break;
    case Edge::Right:
        Line(dc, m_highlightPen, { { R, T }, { L, T }, { L, B + 1 } });
        Line(dc, frame, { { L + 1, B }, { R, B } });
        Line(dc, light, { { L + 2, T - 1 }, { R - 2, T - 1 } });
        break;
    case Edge::Left:
        Line(dc, m_highlightPen, { { L, T }, { R + 1, T } });
        Line(dc, frame, { { R, T + 1 }, { R, B - 2 }, { L - 1, B - 2 } });
        Line(dc, light, { { L + 3, T - 1 }, { R - 1, T - 1 } });
        break;
    }
}

void SEC3DTabControl::DrawTabFace(CDC& dc, const SEC3DTab& tab, Edge edge)
{
    const CRect& r = tab.m_rect;
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    CSize extent = m_showLabels && !tab.m_label.IsEmpty() ? dc.GetTextExtent(tab.m_label) : CSize(0, 0);
    if (!IsHorizontal(edge))
        std::swap(extent.cx, extent.cy);

    // The text's origin, and the cell it covers (vertical text runs from its origin up or down).
    CPoint label;
    switch (edge) {
    case Edge::Top:
    case Edge::Bottom:
        label = CPoint(L + 6, T + (B - T) / 2 - extent.cy / 2);
        break;
    case Edge::Right:
        label = CPoint(L + (R - L) / 2 - extent.cx / 2, B - 6);
        break;
    case Edge::Left:
        label = CPoint(L + (R - L) / 2 + extent.cx / 2, T + 6);
        break;
    }
    const HICON icon = tab.GetIcon();
    CPoint iconAt;
    if (icon) {
        const int gap = tab_row::kIconLength;
        if (IsHorizontal(edge)) {
            iconAt = CPoint(label.x, T + (B - T) / 2 - kIconSize / 2);
            label.x += gap;
        } else if (edge == Edge::Left) {
            iconAt = CPoint(L + (R - L) / 2 - kIconSize / 2, label.y);
            label.y += gap;
        } else {
            iconAt = CPoint(L + (R - L) / 2 - kIconSize / 2, label.y - kIconSize);
            label.y -= gap;
        }
    }
    CRect labelCell;
    switch (edge) {
    case Edge::Top:
    case Edge::Bottom:
        labelCell.SetRect(label.x, label.y, label.x + extent.cx, label.y + extent.cy);
        break;
    case Edge::Right:
        labelCell.SetRect(label.x, label.y - extent.cy, label.x + extent.cx, label.y);
        break;
    case Edge::Left:
        labelCell.SetRect(label.x - extent.cx, label.y, label.x, label.y + extent.cy);
        break;
    }

    if (!tab.m_enabled) {
        // Drawn on a copy of the tab's background, embossed there, and copied over.
        const int width = r.Width() + 5, height = r.Height() + 5;
        fln::gdi::MemoryDC offscreen(dc, width, height);
        if (!offscreen.valid())
            return;
        CDC& mem = *CDC::FromHandle(offscreen);
        CFont* oldFont = mem.SelectObject(dc.GetCurrentFont());
        mem.FillSolidRect(0, 0, width, height, TabFillColour(tab));
        mem.SetBkMode(TRANSPARENT);
        mem.SetTextColor(RGB(0, 0, 0));
        mem.SetViewportOrg(-L, -T);
        if (icon)
            ::DrawIconEx(mem, iconAt.x, iconAt.y, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
        if (m_showLabels)
            mem.ExtTextOut(label.x, label.y, ETO_CLIPPED, &r, tab.m_label, nullptr);
        mem.SetViewportOrg(0, 0);
        DrawDisabledImage(mem, width, height);
        auto copy = [&](CRect area) {
            area.right += 1;
            area.bottom += 1; // the emboss highlight lies one pixel down and right
            if (area.IntersectRect(&area, &r) && !area.IsRectEmpty())
                dc.BitBlt(area.left, area.top, area.Width(), area.Height(), &mem, area.left - L, area.top - T, SRCCOPY);
        };
        if (icon)
            copy(CRect(iconAt, CSize(kIconSize, kIconSize)));
        if (m_showLabels)
            copy(labelCell);
        mem.SelectObject(oldFont);
        return;
    }

    CRect clip = r;
    if (ParentTakesTabStops() && tab.m_selected && ::GetFocus() == m_hWnd) {
        switch (edge) {
        case Edge::Top:
            clip.DeflateRect(2, 1, 3, 2);
            break;
        case Edge::Bottom:
            clip.DeflateRect(2, 2, 3, 1);
            break;
        case Edge::Right:
            clip.DeflateRect(2, 2, 1, 3);
            break;
        case Edge::Left:
            clip.DeflateRect(1, 2, 2, 3);
            break;
        }
        dc.DrawFocusRect(&clip);
    }
    if (icon)
        ::DrawIconEx(dc, iconAt.x, iconAt.y, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    const COLORREF oldColour = dc.GetTextColor();
    if ((GetStyle() & TAB_STYLE_FLAT) && !tab.m_selected) {
        WORD hue, lightness, saturation;
        RGBtoHLS(::GetSysColor(COLOR_INACTIVECAPTIONTEXT), hue, lightness, saturation);
        lightness = lightness < 114 ? 30 : static_cast<WORD>(lightness - 113);
        dc.SetTextColor(HLStoRGB(hue, lightness, saturation));
    }
    if (m_showLabels)
        dc.ExtTextOut(label.x, label.y, ETO_CLIPPED, &clip, tab.m_label, nullptr);
    dc.SetTextColor(oldColour);
}

void SEC3DTabControl::DrawDisabledImage(CDC& dc, int cx, int cy)
{
    if (cx < 4 || cy < 4)
        return;
    // Black where the DC shows ink from (1, 1) on, white where it shows face or highlight.
    SECMonoMask mask(dc, cx - 3, cy - 3);
    for (COLORREF background : { ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNHIGHLIGHT) })
        mask.Whiten(dc, 1, 1, background);
    DrawEmbossedMask(dc, 1, 1, cx - 3, cy - 3, mask.GetDC());
}
