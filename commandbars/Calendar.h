#pragma once
// The month calendar: a window (a child of its page, or a drop-down) that shows one month as a title with navigation buttons, a
// weekday bar and 42 day cells (six weeks), moves by day, week, month and year through mouse, keys
// and the title buttons, selects and marks days, and posts what happened to its notify window.
// Dates carry no time of day. "Today" comes from Clock.h, names and the first weekday from
// DateLocale.h.

#include "commandbars/CalendarPanels.h"
#include "commandbars/MonthGrid.h"
#include "platform/mfc/Wnd.h"

#include <array>
#include <vector>

struct CCreateContext;

// Posted to the notify window; lParam is the SECDayBox concerned, or 0.
constexpr UINT WM_CALENDAR_SELECT = 0x600;    // wParam: selected (TRUE) or deselected
constexpr UINT WM_CALENDAR_HIGHLIGHT = 0x601; // wParam: marked or unmarked
constexpr UINT WM_CALENDAR_PICKED = 0x602;    // a date was picked; a drop-down calendar hides
constexpr UINT WM_CALENDAR_DISMISS = 0x603;   // closed without a pick; a drop-down calendar hides

class SECCalendar : public CWnd {
    DECLARE_DYNCREATE(SECCalendar)
public:
    // Behaviour bits (SetFlags); they are also every panel's panel flags.
    static constexpr DWORD PickOnDoubleClick = 0x100;
    static constexpr DWORD SelectOtherMonths = 0x200;
    static constexpr DWORD FitFontsOnCreate = 0x10000;
    static constexpr DWORD AutoSize = 0x20000;
    static constexpr DWORD PickOnSelect = 0x40000;
    static constexpr DWORD MonthButtons = 0x80000;
    static constexpr DWORD YearButtons = 0x100000;
    static constexpr DWORD KeyboardOn = 0x200000;
    static constexpr DWORD FixedDate = 0x400000;
    static constexpr DWORD SizableBorder = 0x800000;
    static constexpr DWORD DragSelect = 0x1000000;
    static constexpr DWORD DefaultFlags = 0x39C000;
    static constexpr int CellCount = MonthGrid::CellCount;

    SECCalendar();
    ~SECCalendar() override;

    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, CCreateContext* context = nullptr);
    using CWnd::Create;

    virtual BOOL NextDay(BOOL fromSelection);
    virtual BOOL PrevDay(BOOL fromSelection);
    virtual BOOL NextWeek(BOOL fromSelection);
    virtual BOOL PrevWeek(BOOL fromSelection);
    virtual BOOL NextMonth(BOOL fromSelection);
    virtual BOOL PrevMonth(BOOL fromSelection);
    virtual BOOL NextYear(BOOL fromSelection);
    virtual BOOL PrevYear(BOOL fromSelection);
    virtual BOOL AdvanceSel(const COleDateTimeSpan& span);
    virtual BOOL AdvancePage(const COleDateTimeSpan& span);
    virtual BOOL HighlightDate(COleDateTime date, BOOL on);
    virtual BOOL SelectDate(COleDateTime date, BOOL select);
    // Selects the date, or deselects it when it is the selected one; TRUE when a cell holds it.
    virtual BOOL ToggleSelectDate(COleDateTime date);
    virtual BOOL ToggleHighlightDate(COleDateTime date);
    // Sets the mark colour of the cells holding the date; the previous colour of the last one.
    virtual COLORREF SetDateColor(COleDateTime date, COLORREF colour);
    // Out-of-range parts are carried into the next larger part; TRUE for years 100..9999.
    virtual BOOL IsValidDate(int year, int month, int day) const;
    virtual void LoadSysColors();
    static void NormalizeDate(COleDateTime& date);
    virtual void Beep();
    virtual UINT GetClassStyle() const { return CS_DBLCLKS; }
    virtual void InitFonts();
    virtual void FillDays();

    BOOL SetDisplayDate(COleDateTime date, BOOL redraw = TRUE);
    const COleDateTime& GetDisplayDate() const { return m_DisplayedDate; }
    const COleDateTime& GetSelectedDate() const { return m_SelectedDate; }
    SECDayBox* GetSelectedDayBox() const { return m_pSelectedCell; }
    BOOL IsHighlightedDate(COleDateTime date) const;
    const std::vector<COleDateTime>& GetHighlightedDates() const { return m_HighlightedDates; }

    BOOL SetFlags(DWORD flags);
    DWORD GetFlags() const { return m_dwFlags; }
    BOOL SetCurrentMonthStyle(DWORD style);
    BOOL SetOtherMonthStyle(DWORD style);
    DWORD GetCurrentMonthStyle() const { return m_dwCurrentMonthStyle; }
    DWORD GetOtherMonthStyle() const { return m_dwOtherMonthStyle; }
    void SetAutoSize(BOOL on);
    void SetNotifyWnd(CWnd* window) { m_pNotifyWnd = window; }

    SECDayBox& GetDayBox(int index) { return m_Cells[index]; }
    SECCalTitle& GetTitle() { return m_Title; }
    SECDayBar& GetDayBar() { return m_DayBar; }
    CFont& GetTitleFont() { return m_TitleFont; }
    CFont& GetDayBarFont() { return m_DayBarFont; }
    CFont& GetDayFont() { return m_DayFont; }
    // The size the content needs (title, weekday bar and six rows of days) in the calendar's
    // fonts, written into `rect` from its top-left corner; measured on `dc`, or on the screen.
    void ComputeContentSize(CRect& rect, CDC* dc = nullptr);

protected:
    void OnPaint();
    LRESULT OnNcHitTest(CPoint point);
    void OnLButtonDblClk(UINT flags, CPoint point);
    void OnLButtonDown(UINT flags, CPoint point);
    void OnLButtonUp(UINT flags, CPoint point);
    void OnMouseMove(UINT flags, CPoint point);
    LRESULT OnCancelMode(WPARAM, LPARAM);
    void OnRButtonDown(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    LRESULT OnGetDlgCode(WPARAM, LPARAM);
    void OnSysColorChange();
    void OnNextMonthButton() { NextMonth(FALSE); }
    void OnPrevYearButton() { PrevYear(FALSE); }
    void OnNextYearButton() { NextYear(FALSE); }
    void OnPrevMonthButton() { PrevMonth(FALSE); }
    LRESULT OnPickAndClose(WPARAM wParam, LPARAM lParam);
    LRESULT OnDismissAndClose(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    void PickAndClose() { OnPickAndClose(0, 0); }
    void DismissAndClose() { OnDismissAndClose(0, 0); }

    // With FitFontsOnCreate, once the panels are laid out: each panel's font grows or shrinks until
    // what the panel measures in it fills the panel.
    virtual void FitFonts();
    // Makes the three fonts again from their descriptions.
    void RecreateFonts();

    LOGFONT m_TitleLogFont {};
    LOGFONT m_DayBarLogFont {};
    LOGFONT m_DayLogFont {};

private:
    BOOL MoveBy(double days, BOOL fromSelection);
    BOOL MoveTo(const COleDateTime& target, const COleDateTime& base, BOOL fromSelection);
    BOOL MoveByYears(int years, BOOL fromSelection);
    COleDateTime MoveBase(BOOL fromSelection) const;
    void LayoutPanels();
    void ApplyPanelColors();
    SECDayBox* CellAt(CPoint point);
    void FillCell(int index, const COleDateTime& day, bool inMonth);
    void RestoreSelection();
    void HideIfDropDown();
    void StopTracking();

    CWnd* m_pNotifyWnd = nullptr;
    int m_nBorderWidth = 2;
    SECDayBar m_DayBar;
    SECCalTitle m_Title;
    BOOL m_bCreated = FALSE;
    COleDateTime m_DisplayedDate;
    COleDateTime m_SelectedDate;
    BOOL m_bSelectionRemembered = FALSE;
    COleDateTime m_FocusDate;
    std::array<SECDayBox, CellCount> m_Cells;
    SECDayBox* m_pSelectedCell = nullptr;
    BOOL m_bTracking = FALSE;
    BOOL m_bRestoreOnCancel = FALSE;
    COleDateTime m_SavedSelection;
    std::vector<COleDateTime> m_HighlightedDates; // ascending, no duplicates
    CFont m_TitleFont;
    CFont m_DayBarFont;
    CFont m_DayFont;
    COLORREF m_DayTextColor = 0;
    COLORREF m_DayBarTextColor = 0;
    COLORREF m_TitleTextColor = 0;
    COLORREF m_GrayTextColor = 0;
    DWORD m_dwOtherMonthStyle = CalendarPanelStyle::OtherMonth;
    DWORD m_dwCurrentMonthStyle = CalendarPanelStyle::CurrentMonth;
    DWORD m_dwFlags = DefaultFlags;
};
