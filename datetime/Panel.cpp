#include "datetime/Panel.h"

#include "datetime/core/DateLocale.h"
#include "platform/mfc/Dc.h"

BOOL SECPanel::Create(const RECT& rect, CWnd* parent, BOOL selected, BOOL highlighted, DWORD style, DWORD flags, int borderWidth)
{
    m_rect = rect;
    m_pParent = parent;
    m_bSelected = selected;
    m_bHighlighted = highlighted;
    m_style = style;
    m_flags = flags;
    m_borderWidth = borderWidth;
    m_bCreated = TRUE;
    RecalcLayout();
    return TRUE;
}

CRect SECPanel::SetRect(const RECT& rect)
{
    CRect old = m_rect;
    m_rect = rect;
    m_bLayoutDirty = TRUE;
    return old;
}

CRect SECPanel::GetInsideRect()
{
    if (m_bLayoutDirty)
        RecalcLayout();
    CRect inside = m_rect;
    inside.DeflateRect(m_innerMargin, m_innerMargin);
    if (inside.Width() < 0 || inside.Height() < 0)
        return CRect();
    return inside;
}

DWORD SECPanel::SetStyle(DWORD style)
{
    DWORD old = m_style;
    m_style = style;
    m_bLayoutDirty = TRUE;
    return old;
}

DWORD SECPanel::SetFlags(DWORD flags)
{
    DWORD old = m_flags;
    m_flags = flags;
    m_bLayoutDirty = TRUE;
    return old;
}

int SECPanel::SetBorderWidth(int width)
{
    int old = m_borderWidth;
    m_borderWidth = width;
    m_bLayoutDirty = TRUE;
    return old;
}

COLORREF SECPanel::SetTextColor(COLORREF colour)
{
    COLORREF old = m_textColor;
    m_textColor = colour;
    return old;
}

BOOL SECPanel::Select(BOOL on, BOOL redraw)
{
    if (!(m_flags & FlagSelectable))
        return FALSE;
    m_bSelected = on;
    m_bLayoutDirty = TRUE;
    if (redraw)
        InvalidateInParent();
    return TRUE;
}

BOOL SECPanel::Highlight(BOOL on, BOOL redraw)
{
    if (!(m_flags & FlagHighlightable)) {
        m_bHighlighted = FALSE;
        return FALSE;
    }
    m_bHighlighted = on;
    m_bLayoutDirty = TRUE;
    if (redraw)
        InvalidateInParent();
    return TRUE;
}

CString SECPanel::SetText(const CString& text)
{
    CString old = m_text;
    m_text = text;
    return old;
}

void SECPanel::RecalcLayout()
{
    int frame = 0;
    if (m_bSelected && (m_style & StyleSunkenWhenSelected))
        frame = m_borderWidth;
    else if (m_bSelected && (m_style & StyleFrameWhenSelected))
        frame = 1;
    m_innerMargin = frame + (m_bHighlighted ? 1 : 0);
    m_bLayoutDirty = FALSE;
}

void SECPanel::Draw(CDC* dc)
{
    if (m_bLayoutDirty)
        RecalcLayout();
    DrawBackground(dc);
    Draw3dFrame(dc);
    DrawBorderFrame(dc);
    DrawHighlightFrame(dc);
    DrawText(dc);
}

void SECPanel::NotifyParent()
{
    if ((m_flags & FlagNotifyParent) && m_pParent)
        m_pParent->PostMessage(PanelPickMessage, 0, 0);
}

BOOL SECPanel::GetDayName(int day, BOOL full, CString& name)
{
    if (day < 1 || day > 7)
        return FALSE;
    DateLocale locale = CurrentDateLocale();
    name = full ? locale.dayNames[day - 1] : locale.abbreviatedDayNames[day - 1];
    return TRUE;
}

BOOL SECPanel::GetMonthName(int month, BOOL full, CString& name)
{
    if (month < 1 || month > 12)
        return FALSE;
    DateLocale locale = CurrentDateLocale();
    name = full ? locale.monthNames[month - 1] : locale.abbreviatedMonthNames[month - 1];
    return TRUE;
}

void SECPanel::DrawHighlightFrame(CDC* dc)
{
    if (!m_bHighlighted)
        return;
    CRect frame = m_rect;
    frame.DeflateRect(m_innerMargin - 1, m_innerMargin - 1);
    CBrush brush(m_highlightColor);
    dc->FrameRect(&frame, &brush);
}

void SECPanel::Draw3dFrame(CDC* dc)
{
    if (!m_bSelected || !(m_style & StyleSunkenWhenSelected))
        return;
    CRect edge = m_rect;
    for (int ring = 0; ring < m_borderWidth; ++ring) {
        dc->Draw3dRect(&edge, GetSysColor(ring == 0 ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW),
            GetSysColor(ring == 0 ? COLOR_BTNHIGHLIGHT : COLOR_BTNFACE));
        edge.DeflateRect(1, 1);
    }
}

void SECPanel::DrawBorderFrame(CDC* dc)
{
    if (m_bSelected && (m_style & StyleSunkenWhenSelected))
        return;
    if (m_bSelected && (m_style & StyleFrameWhenSelected)) {
        CBrush brush(GetSysColor(COLOR_WINDOWFRAME));
        dc->FrameRect(&m_rect, &brush);
    }
}

void SECPanel::DrawBackground(CDC* dc)
{
    if (m_style & StyleBackground)
        dc->FillSolidRect(&m_rect, GetSysColor(COLOR_WINDOW));
}

void SECPanel::DrawText(CDC* dc)
{
    DrawCenteredText(dc, GetInsideRect(), m_text);
}

void SECPanel::DrawCenteredText(CDC* dc, const CRect& rect, const CString& text)
{
    if (text.IsEmpty() || rect.IsRectEmpty())
        return;
    CSize extent = dc->GetTextExtent(text);
    int oldMode = dc->SetBkMode(TRANSPARENT);
    COLORREF oldColour = dc->SetTextColor(m_textColor);
    CPoint centre = rect.CenterPoint();
    dc->ExtTextOut(centre.x - extent.cx / 2, centre.y - extent.cy / 2, ETO_CLIPPED, &rect, text, nullptr);
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
}

void SECPanel::InvalidateInParent()
{
    if (!m_bCreated || !m_pParent || !m_pParent->m_hWnd)
        return;
    CRect area = m_rect;
    area.InflateRect(1, 1);
    m_pParent->InvalidateRect(&area, FALSE);
    m_pParent->UpdateWindow();
}
