#include "commandbars/CalendarPanels.h"

#include "commandbars/Calendar.h"
#include "platform/base/StringFormat.h"
#include "platform/mfc/Dc.h"

#include <algorithm>

namespace {

// The column edges of the weekday bar and of the day grid, as fractions of the width.
constexpr double ColumnEdges[] = { 0.0, 0.143, 0.286, 0.429, 0.572, 0.715, 0.858, 1.0 };

constexpr DWORD PanelSelectFlags = SECPanel::FlagSelectable | SECPanel::FlagHighlightable;

} // namespace

// ---- SECCalTitle

BOOL SECCalTitle::Create(const RECT& rect, SECCalendar* calendar, BOOL selected, BOOL highlighted, DWORD style, DWORD flags, int borderWidth)
{
    BOOL made = SECPanel::Create(rect, calendar, selected, highlighted, style, flags, borderWidth);
    m_pCalendar = calendar;
    const CRect tiny(0, 0, 1, 1);
    m_bHasMonthButtons = (calendar->GetFlags() & SECCalendar::MonthButtons) != 0;
    if (m_bHasMonthButtons) {
        made &= m_PrevMonth.Create(L"<", WS_CHILD, tiny, calendar, ID_CALENDAR_PREV_MONTH);
        made &= m_NextMonth.Create(L">", WS_CHILD, tiny, calendar, ID_CALENDAR_NEXT_MONTH);
    }
    m_bHasYearButtons = (calendar->GetFlags() & SECCalendar::YearButtons) != 0;
    if (m_bHasYearButtons) {
        made &= m_PrevYear.Create(L"<<", WS_CHILD, tiny, calendar, ID_CALENDAR_PREV_YEAR);
        made &= m_NextYear.Create(L">>", WS_CHILD, tiny, calendar, ID_CALENDAR_NEXT_YEAR);
    }
    return made;
}

CRect SECCalTitle::SetRect(const RECT& rect)
{
    CRect old = SECPanel::SetRect(rect);
    CRect r = rect;
    int margin = r.Height() / 5;
    int top = r.top + margin;
    int bottom = r.bottom - margin;
    auto percent = [&](int share) { return r.Width() * share / 100; };
    if (m_bHasYearButtons) {
        PlaceButton(m_PrevYear, r.left + percent(5), r.left + percent(15), top, bottom);
        PlaceButton(m_NextYear, r.right - percent(15), r.right - percent(5), top, bottom);
    }
    if (m_bHasMonthButtons) {
        int inner = m_bHasYearButtons ? 15 : 5;
        int outer = m_bHasYearButtons ? 25 : 15;
        PlaceButton(m_PrevMonth, r.left + percent(inner), r.left + percent(outer), top, bottom);
        PlaceButton(m_NextMonth, r.right - percent(outer), r.right - percent(inner), top, bottom);
    }
    return old;
}

void SECCalTitle::PlaceButton(CButton& button, int left, int right, int top, int bottom)
{
    WINDOWPLACEMENT placement { sizeof placement };
    ::GetWindowPlacement(button.m_hWnd, &placement);
    placement.rcNormalPosition = { left, top, right, bottom };
    placement.showCmd = SW_SHOW;
    ::SetWindowPlacement(button.m_hWnd, &placement);
    button.EnableWindow(TRUE);
}

void SECCalTitle::ShowDate(const COleDateTime& date)
{
    int month = date.GetMonth();
    CString name;
    GetMonthName(month, (GetStyle() & CalendarPanelStyle::FullMonthNames) != 0, name);
    SetText(FormatWide(L"%s %d", name.GetString(), month < 0 ? -1 : date.GetYear()).c_str());
}

CSize SECCalTitle::GetTitleSize(CDC* dc) const
{
    CSize text = dc->GetTextExtent((GetStyle() & CalendarPanelStyle::FullMonthNames) ? L"September, 2000" : L"Sep, 2000");
    bool buttons = m_pCalendar && (m_pCalendar->GetFlags() & (SECCalendar::MonthButtons | SECCalendar::YearButtons));
    double widthFactor = buttons ? 2.2 : 1.2;
    return { static_cast<int>(text.cx * widthFactor), static_cast<int>(text.cy * 1.2) };
}

void SECCalTitle::SetButtonFont(CFont* font)
{
    for (CButton* button : { &m_PrevYear, &m_PrevMonth, &m_NextMonth, &m_NextYear })
        if (button->m_hWnd)
            button->SetFont(font, TRUE);
}

// ---- SECDayBar

void SECDayBar::DrawText(CDC* dc)
{
    CRect inside = GetInsideRect();
    int width = inside.Width() - 1;
    BOOL full = (GetStyle() & CalendarPanelStyle::FullDayNames) != 0;
    for (int column = 1; column <= 7; ++column) {
        CRect cell(inside.left + static_cast<int>(ColumnEdges[column - 1] * width), inside.top,
            inside.left + static_cast<int>(ColumnEdges[column] * width), inside.bottom);
        CString name;
        GetDayName(WeekdayOfColumn(column), full, name);
        DrawCenteredText(dc, cell, name);
    }
}

CSize SECDayBar::GetBarSize(CDC* dc) const
{
    CString wednesday;
    GetDayName(4, (GetStyle() & CalendarPanelStyle::FullDayNames) != 0, wednesday);
    CSize text = dc->GetTextExtent(wednesday);
    return { 7 * text.cx, text.cy };
}

// ---- SECDayBox

COleDateTime SECDayBox::SetDayDate(const COleDateTime& date)
{
    COleDateTime old = m_Date;
    m_Date = date;
    m_bInUse = TRUE;
    return old;
}

BOOL SECDayBox::SetOutsideMonth(BOOL outside)
{
    BOOL old = m_bOutsideMonth;
    m_bOutsideMonth = outside;
    DWORD flags = GetFlags();
    if (!outside)
        flags |= PanelSelectFlags;
    else if (m_pCalendar && (m_pCalendar->GetFlags() & SECCalendar::SelectOtherMonths))
        flags &= ~SECPanel::FlagHighlightable;
    else
        flags &= ~PanelSelectFlags;
    SetFlags(flags);
    return old;
}

CString SECDayBox::DayText() const
{
    if (!m_bInUse)
        return L" ";
    return FormatWide(L"%d", m_Date.GetDay()).c_str();
}

CSize SECDayBox::GetCellSize(CDC* dc) const
{
    CSize text = dc->GetTextExtent(L"88");
    CSize scaled(static_cast<int>(text.cx * 1.25), static_cast<int>(text.cy * 1.25));
    if (!(GetStyle() & SECPanel::StyleCentred))
        scaled = CSize(static_cast<int>(scaled.cx * 1.5), static_cast<int>(scaled.cy * 1.5));
    // The widest bands: a selected, marked day's or a plain one's.
    int margin = 2 * std::max(TextInsetFor(TRUE, TRUE), TextInsetFor(FALSE, FALSE));
    return { std::max<int>(scaled.cx, text.cx + margin), std::max<int>(scaled.cy, text.cy + margin) };
}

void SECDayBox::DrawText(CDC* dc)
{
    CRect inside = GetInsideRect();
    CString text = DayText();
    UINT oldAlign = dc->SetTextAlign(TA_LEFT | TA_TOP);
    int oldMode = dc->SetBkMode(TRANSPARENT);
    BOOL gray = m_bOutsideMonth && (GetStyle() & SECPanel::StyleGrayOtherMonth);
    COLORREF oldColour = dc->SetTextColor(gray ? GetGrayTextColor() : GetTextColor());
    CSize extent = dc->GetTextExtent(text);
    CPoint at;
    if (GetStyle() & SECPanel::StyleCentred)
        at = { inside.left + inside.Width() / 2 - extent.cx / 2, inside.top + inside.Height() / 2 - extent.cy / 2 };
    else
        at = { inside.left + inside.Width() / 10, inside.top + inside.Height() / 10 };
    dc->ExtTextOut(at.x, at.y, 0, &inside, text, nullptr);
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
    dc->SetTextAlign(oldAlign);
}

void SECDayBox::OnClick()
{
    if (!m_bInUse || !m_pCalendar)
        return;
    COleDateTime date = m_Date; // the layout may give this cell another date below
    if (m_bOutsideMonth && !(m_pCalendar->GetFlags() & SECCalendar::SelectOtherMonths) && !m_pCalendar->SetDisplayDate(date, TRUE))
        return;
    if (m_pCalendar->GetFlags() & SECCalendar::DragSelect)
        m_pCalendar->SelectDate(date, TRUE);
    else
        m_pCalendar->ToggleSelectDate(date);
}

void SECDayBox::OnRightClick()
{
    if (!m_bInUse || !m_pCalendar)
        return;
    COleDateTime date = m_Date;
    if (m_bOutsideMonth && !m_pCalendar->SetDisplayDate(date, TRUE))
        return;
    m_pCalendar->ToggleHighlightDate(date);
}

void SECDayBox::OnDoubleClick()
{
    if (!IsSelected())
        OnClick();
    NotifyParent();
}
