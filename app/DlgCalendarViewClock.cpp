// The Date & Time page's clock: once a second the year and time labels, and the moment the moon
// clock shows (the system clock, or the calendar's day at the date-time control's time of day).

#include "app/DlgCalendarView.h"

#include "platform/base/StringFormat.h"
#include "res/DateTimePage.h"

void CDlgCalendarView::SetClockTimer(UINT period)
{
    if (!m_hWnd)
        return;
    if (period != 0)
        SetTimer(ClockTimerId, period);
    else
        KillTimer(ClockTimerId);
}

void CDlgCalendarView::OnShowWindow(BOOL show, UINT)
{
    SetClockTimer(show ? kClockPeriod : 0);
    if (show && m_labelTime.m_hWnd)
        OnTimer(ClockTimerId); // the clock shows the time of now, not of when the page was left
}

void CDlgCalendarView::OnTimer(UINT_PTR)
{
    m_labelYear.SetText(CString(FormatWide(L"%d", m_calendar.GetSelectedDate().GetYear()).c_str()));
    const COleDateTime time = GetDateTimeValue();
    m_labelTime.SetText(CString(FormatWide(L"%.02d:%.02d:%.02d", time.GetHour(), time.GetMinute(), time.GetSecond()).c_str()));

    m_bSystemTime = ::SendMessageW(::GetDlgItem(m_hWnd, IDC_SYSTEM_TIME), BM_GETCHECK, 0, 0) == BST_CHECKED;
    const COleDateTime moment = SelectedMoment();
    if (m_bSystemTime || moment.GetStatus() != COleDateTime::valid) {
        m_moonClock.FollowSystemTime();
    } else {
        COleDateTime day;
        day.SetDate(moment.GetYear(), moment.GetMonth(), moment.GetDay());
        m_moonClock.ShowMoment(MoonJulianDayOfLocalMoment(moment), day);
    }
    m_moonClock.Invalidate(TRUE);
}
