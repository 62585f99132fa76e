#pragma once
// The three panels of the month calendar: the title with its month and year buttons, the weekday
// bar and a day cell. Each is drawn by its calendar, which owns it and is its parent window.

#include "commandbars/CalendarPanel.h"
#include "platform/base/Time.h"
#include "platform/mfc/ControlWrappers.h"

class SECCalendar;

// Style bits the title and the weekday bar read beside the panel's bits, and the calendar's
// panel styles made of them.
namespace CalendarPanelStyle {
constexpr DWORD FullMonthNames = 0x10000000; // title
constexpr DWORD FullDayNames = 0x20000000;   // weekday bar
// The day cells of the shown month, and the base style of the title and the weekday bar.
constexpr DWORD CurrentMonth = SECPanel::DefaultStyle | FullMonthNames;
// The day cells of the months before and after.
constexpr DWORD OtherMonth = SECPanel::StyleReserved | SECPanel::StyleGrayOtherMonth;
}

// Command ids of the title buttons.
constexpr UINT ID_CALENDAR_NEXT_MONTH = 20520;
constexpr UINT ID_CALENDAR_PREV_YEAR = 20521;
constexpr UINT ID_CALENDAR_NEXT_YEAR = 20522;
constexpr UINT ID_CALENDAR_PREV_MONTH = 20523;

class SECCalTitle : public SECPanel {
public:
    void SetCalendar(SECCalendar* calendar) { m_pCalendar = calendar; }
    // Creates the panel and, after the calendar's flags, its month and year buttons.
    BOOL Create(const RECT& rect, SECCalendar* calendar, BOOL selected, BOOL highlighted, DWORD style, DWORD flags, int borderWidth);
    // Places the buttons inside the new rectangle too.
    CRect SetRect(const RECT& rect) override;
    void ShowDate(const COleDateTime& date);
    // The size the title needs in the font selected into `dc`.
    CSize GetTitleSize(CDC* dc) const;
    // The buttons take the calendar's title font.
    void SetButtonFont(CFont* font);

    BOOL HasMonthButtons() const { return m_bHasMonthButtons; }
    BOOL HasYearButtons() const { return m_bHasYearButtons; }

private:
    static void PlaceButton(CButton& button, int left, int right, int top, int bottom);

    SECCalendar* m_pCalendar = nullptr;
    CButton m_PrevYear;
    CButton m_PrevMonth;
    CButton m_NextMonth;
    CButton m_NextYear;
    BOOL m_bHasYearButtons = TRUE;
    BOOL m_bHasMonthButtons = TRUE;
};

class SECDayBar : public SECPanel {
public:
    void SetCalendar(SECCalendar* calendar) { m_pCalendar = calendar; }
    // 1 = Sunday .. 7 = Saturday.
    int GetFirstWeekday() const { return m_nFirstWeekday; }
    void SetFirstWeekday(int weekday) { m_nFirstWeekday = weekday; }
    // The weekday (1 = Sunday) shown in column 1..7.
    int WeekdayOfColumn(int column) const { return (column + m_nFirstWeekday - 2) % 7 + 1; }
    // The size the bar needs in the font selected into `dc`.
    CSize GetBarSize(CDC* dc) const;

protected:
    void DrawText(CDC* dc) override;

private:
    SECCalendar* m_pCalendar = nullptr;
    int m_nFirstWeekday = 1;
};

class SECDayBox : public SECPanel {
public:
    void SetCalendar(SECCalendar* calendar) { m_pCalendar = calendar; }
    COleDateTime SetDayDate(const COleDateTime& date);
    const COleDateTime& GetDayDate() const { return m_Date; }
    void SetInUse(BOOL inUse) { m_bInUse = inUse; }
    BOOL IsInUse() const { return m_bInUse; }
    BOOL SetOutsideMonth(BOOL outside);
    BOOL IsOutsideMonth() const { return m_bOutsideMonth; }
    // The day of month, "-1" for a date without one, a single space for a blank cell.
    CString DayText() const;
    // The size a cell needs in the font selected into `dc`, with room for its frames.
    CSize GetCellSize(CDC* dc) const;

    void OnClick();
    void OnRightClick();
    void OnDoubleClick();

protected:
    void DrawText(CDC* dc) override;

private:
    SECCalendar* m_pCalendar = nullptr;
    COleDateTime m_Date;
    BOOL m_bOutsideMonth = FALSE;
    BOOL m_bInUse = FALSE;
};
