#include "commandbars/CalendarPanel.h"

#include "datecore/DateLocale.h"
#include "platform/mfc/Dc.h"

#include <utility>

SECPanel::SECPanel()
    : m_grayTextColor(GetSysColor(COLOR_GRAYTEXT))
    , m_frameColor(GetSysColor(COLOR_BTNTEXT))
    , m_textColor(GetSysColor(COLOR_WINDOWTEXT))
{
}

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
    m_bLayoutDirty = TRUE;
    return std::exchange(m_rect, CRect(rect));
}

CRect SECPanel::GetInsideRect()
{
    if (m_bLayoutDirty)
        RecalcLayout();
    CRect inside = m_rect;
    inside.DeflateRect(m_textInset, m_textInset);
    if (inside.Width() < 0 || inside.Height() < 0)
        return CRect();
    return inside;
}

DWORD SECPanel::SetStyle(DWORD style)
{
    m_bLayoutDirty = TRUE;
    return std::exchange(m_style, style);
}

DWORD SECPanel::SetFlags(DWORD flags)
{
    m_bLayoutDirty = TRUE;
    return std::exchange(m_flags, flags);
}

int SECPanel::SetBorderWidth(int width)
{
    m_bLayoutDirty = TRUE;
    return std::exchange(m_borderWidth, width);
}

COLORREF SECPanel::SetTextColor(COLORREF colour) { return std::exchange(m_textColor, colour); }
COLORREF SECPanel::SetGrayTextColor(COLORREF colour) { return std::exchange(m_grayTextColor, colour); }
COLORREF SECPanel::SetHighlightColor(COLORREF colour) { return std::exchange(m_highlightColor, colour); }
CString SECPanel::SetText(const CString& text) { return std::exchange(m_text, text); }

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

namespace {

struct Bands {
    int frameEnd, threeDEnd, textInset;
};

// The bands' ends for a state: the selected state reads the style's selected bits, the normal state
// the bits beside them.
Bands BandsFor(DWORD style, int borderWidth, BOOL selected, BOOL highlighted)
{
    auto has = [&](DWORD selectedBit, DWORD normalBit) { return (style & (selected ? selectedBit : normalBit)) != 0; };
    Bands bands {};
    bands.frameEnd = has(SECPanel::StyleFrameSelected, SECPanel::StyleFrameNormal) ? 1 : 0;
    bands.threeDEnd = bands.frameEnd + (has(SECPanel::Style3dSelected, SECPanel::Style3dNormal) ? borderWidth : 0);
    bands.textInset = bands.threeDEnd + (highlighted && has(SECPanel::StyleHighlightSelected, SECPanel::StyleHighlightNormal) ? borderWidth : 0);
    return bands;
}

} // namespace

void SECPanel::RecalcLayout()
{
    Bands bands = BandsFor(m_style, m_borderWidth, m_bSelected, m_bHighlighted);
    m_frameEnd = bands.frameEnd;
    m_3dEnd = bands.threeDEnd;
    m_textInset = bands.textInset;
    m_bLayoutDirty = FALSE;
}

int SECPanel::TextInsetFor(BOOL selected, BOOL highlighted) const
{
    return BandsFor(m_style, m_borderWidth, selected, highlighted).textInset;
}

void SECPanel::Draw(CDC* dc)
{
    if (m_bLayoutDirty)
        RecalcLayout();
    COLORREF oldBackground = dc->SetBkColor(GetSysColor(COLOR_BTNFACE));
    COLORREF oldText = dc->SetTextColor(m_textColor);
    DrawBorder(dc);
    Draw3dFrame(dc);
    DrawBackground(dc);
    DrawText(dc);
    DrawHighlight(dc);
    dc->SetTextColor(oldText);
    dc->SetBkColor(oldBackground);
}

void SECPanel::DrawBand(CDC* dc, int start, int end, COLORREF topLeft, COLORREF bottomRight) const
{
    for (int inset = start; inset < end; ++inset) {
        CRect outline = m_rect;
        outline.DeflateRect(inset, inset);
        outline.right += 1;
        outline.bottom += 1;
        dc->Draw3dRect(&outline, topLeft, bottomRight);
    }
}

void SECPanel::DrawBorder(CDC* dc) { DrawBand(dc, 0, m_frameEnd, m_frameColor, m_frameColor); }

void SECPanel::Draw3dFrame(CDC* dc)
{
    COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
    if (m_bSelected)
        std::swap(light, shadow);
    DrawBand(dc, m_frameEnd, m_3dEnd, light, shadow);
}

void SECPanel::DrawHighlight(CDC* dc) { DrawBand(dc, m_3dEnd, m_textInset, m_highlightColor, m_highlightColor); }

void SECPanel::DrawBackground(CDC* dc)
{
    CRect area = GetInsideRect();
    area.right += 1;
    area.bottom += 1;
    dc->ExtTextOut(area.left, area.top, ETO_OPAQUE, &area, L"", nullptr);
}

void SECPanel::DrawText(CDC* dc)
{
    CRect inside = GetInsideRect();
    if (m_text.IsEmpty() || inside.IsRectEmpty())
        return;
    int oldMode = dc->SetBkMode(OPAQUE);
    if (m_style & StyleCentred) {
        TEXTMETRICW metrics {};
        dc->GetTextMetrics(&metrics);
        UINT oldAlign = dc->SetTextAlign(TA_CENTER | TA_BASELINE);
        dc->ExtTextOut(inside.CenterPoint().x, inside.CenterPoint().y + metrics.tmHeight / 2, ETO_CLIPPED, &inside, m_text, nullptr);
        dc->SetTextAlign(oldAlign);
    } else {
        dc->ExtTextOut(inside.left + inside.Width() / 10, inside.top + inside.Height() / 10, ETO_CLIPPED, &inside, m_text, nullptr);
    }
    dc->SetBkMode(oldMode);
}

void SECPanel::DrawCenteredText(CDC* dc, const CRect& rect, const CString& text)
{
    if (text.IsEmpty() || rect.IsRectEmpty())
        return;
    TEXTMETRICW metrics {};
    dc->GetTextMetrics(&metrics);
    UINT oldAlign = dc->SetTextAlign(TA_CENTER | TA_BASELINE);
    COLORREF oldBackground = dc->SetBkColor(GetSysColor(COLOR_BTNFACE));
    COLORREF oldText = dc->SetTextColor(m_textColor);
    dc->ExtTextOut(rect.CenterPoint().x, rect.CenterPoint().y + metrics.tmAscent / 2, ETO_OPAQUE, &rect, text, nullptr);
    dc->SetTextColor(oldText);
    dc->SetBkColor(oldBackground);
    dc->SetTextAlign(oldAlign);
}

void SECPanel::NotifyParent()
{
    if ((m_flags & FlagNotifyParent) && m_pParent)
        m_pParent->PostMessage(PanelPickMessage, 0, 0);
}

namespace {

// The name numbered `number` (from 1) of a locale's list; FALSE when there is none.
template<size_t Count>
BOOL NameFrom(const std::array<CString, Count>& names, int number, CString& name)
{
    if (number < 1 || number > static_cast<int>(Count))
        return FALSE;
    name = names[static_cast<size_t>(number - 1)];
    return TRUE;
}

} // namespace

BOOL SECPanel::GetDayName(int day, BOOL full, CString& name)
{
    DateLocale locale = CurrentDateLocale();
    return NameFrom(full ? locale.dayNames : locale.abbreviatedDayNames, day, name);
}

BOOL SECPanel::GetMonthName(int month, BOOL full, CString& name)
{
    DateLocale locale = CurrentDateLocale();
    return NameFrom(full ? locale.monthNames : locale.abbreviatedMonthNames, month, name);
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
