#pragma once
// CDlgCalendarView: the Date & Time page. A form view on dialog 108 with a date expression line and
// its keypad, operand buttons that write the chosen moment into it, "=" through the application's
// date parser, a month calendar, a moon clock, the eight answer menus and a clock timer. Its work
// is split by subject: the form, the small commands and the tooltips (DlgCalendarView.cpp), the
// keys, operands, "=" and the result (DlgCalendarViewKeys.cpp), the clock timer and the moon clock
// (DlgCalendarViewClock.cpp); its file is DateFile.h. "Now" and the zone come only from Clock.h.
// The edit, font and tooltip commands it shares with the Formula page are CCalculatorPage's.

#include "app/CalculatorPage.h"
#include "app/IniFile.h"
#include "commandbars/DateTimeCtrl.h"
#include "commandbars/MenuButton.h"
#include "datetime/Calendar.h"
#include "datetime/DateOperands.h"
#include "datetime/MoonClock.h"
#include "engine/MathHelper.h"
#include "platform/mfc/ControlWrappers.h"
#include "res/DateTimePage.h"

#include <array>

struct DateParseResult;

class CDlgCalendarView : public CCalculatorPage {
    DECLARE_DYNCREATE(CDlgCalendarView)
public:
    enum { IDD = IDD_DATETIME };
    static constexpr UINT ClockTimerId = 2;

    // How "=" shows its result: the buttons "Span", "Date" and "JD".
    enum class OutputMode { TimeSpan = 1, DateAndTime, JulianDay };
    // The unit of a time span: the buttons "span", "d", "h", "m" and "s".
    enum class SpanUnit { SpanText = 1, Days, Hours, Minutes, Seconds };
    // How dates are written, in the page, its file and the application's date parser (1 to 3 there).
    enum class DateFormat { DayMonthYearDots = 1, DayMonthYearSlashes, MonthDayYearSlashes };

    CDlgCalendarView();
    ~CDlgCalendarView() override;

    // ---- values exchanged with the dialog
    CString m_strInput;
    CString m_strOutput;
    BOOL m_bSystemTime = TRUE;   // "Display System Time": the moon clock follows the system clock

    // ---- other state
    DateFormat m_nDateFormat = DateFormat::DayMonthYearDots;
    CString m_strFileName;       // the last date file chosen
    int m_nDigits = 6;           // how "=" formats a span in one unit
    NumberFormatMode m_nNumberFormat = NumberFormatFloating;
    int m_nFormatOption = 2;
    OperandSide m_nOperandSide = OperandSide::Left;
    OutputMode m_nOutputMode = OutputMode::TimeSpan;
    SpanUnit m_nSpanUnit = SpanUnit::SpanText;
    CIniFile m_iniFile;

    // Result colours (errors in the base's ErrorColour).
    static constexpr COLORREF SpanColour = RGB(255, 255, 0);
    static constexpr COLORREF DateColour = RGB(0, 255, 0);
    static constexpr COLORREF JulianDayColour = RGB(0, 255, 255);
    static constexpr COLORREF AnswerColour = RGB(255, 255, 255);
    // The balloons of input errors close by themselves after this time, in milliseconds.
    static constexpr unsigned BalloonTimeout = 6000;

    // ---- keys, operands and "="
    void OnCalculate();
    void InsertText(CString text, BOOL append);
    void ShowResult(CString text, COLORREF colour);
    // Whether the text fits the result field in its font, uncut.
    bool FitsTheResultField(const CString& text);
    void InsertOperand(OperandKind kind);
    void OnCopyResult();

    // ---- the moment of the page's date-time control
    COleDateTime GetDateTimeValue() const { return m_dateTimeCtrl.GetDateTime(); }
    // Date and time of day; a value the control refuses changes nothing.
    void SetDateTimeValue(const COleDateTime& value);
    SECDateTimeCtrl& DateTimeCtrl() { return m_dateTimeCtrl; }
    // The calendar's selected day with the time of day of the date-time control; invalid when either is.
    COleDateTime SelectedMoment() const;
    FlCalendar& Calendar() { return m_calendar; }
    CMoonClock& MoonClock() { return m_moonClock; }

    // ---- date format, in the page and in the application's date parser
    void SetDateFormat(DateFormat format);

    // ---- clock: a period of 0 stops it
    static constexpr UINT kClockPeriod = 1000;
    void SetClockTimer(UINT period);
    void OnTimer(UINT_PTR id);
    void OnShowWindow(BOOL show, UINT status);

    void OnInitialUpdate() override;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    CColorEdit& InputLine() override { return m_editInput; }
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void Balloon(const CString& title, const CString& text, POINT anchor);
    void CreateCalendar();
    void SetUpLabels();
    void AttachToolkitButtons();
    void ShowParseError(int position, const CString& errorText);
    void ShowEvaluation(const DateParseResult& result);

    // Keys: TRUE when id is one of the keypad's.
    BOOL OnKey(UINT id) override;
    void OnKeyDigit(UINT id);
    void OnOperandSide(UINT id);
    void OnOutputMode(UINT id);
    void OnSpanUnit(UINT id);
    void OnOperand(UINT id);
    void OnNow();
    void OnDateToCalendar();
    LRESULT OnCalendarSelect(WPARAM selected, LPARAM);
    void OnAnswer(UINT id);
    void OnDateFormat(UINT id);
    void OnUpdateDateFormat(CCmdUI* ui);

    void OnLoadContent();
    void OnSaveContent();

    CTabCtrl m_tabDisplay;
    CLabel m_labelOutput;
    CLabel m_labelYear;
    CLabel m_labelTime;
    CMoonClock m_moonClock;
    std::array<divuzura::foundation::SECBitmapButton, 2> m_bitmapButtons;
    CColorEdit m_editInput;
    std::array<divuzura::foundation::SECMenuButton, 8> m_answerButtons;
    SECDateTimeCtrl m_dateTimeCtrl;
    FlCalendar m_calendar;
};
