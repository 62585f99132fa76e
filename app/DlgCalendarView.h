#pragma once
// CDlgCalendarView: the Date & Time page. A form view on dialog 108 with a date expression line and
// its keypad, operand buttons that write the chosen moment into it, "=" through the application's
// date parser, a month calendar, a moon clock, the eight answer menus and a clock timer. Its work
// is split by subject: the form, the small commands and the tooltips (DlgCalendarView.cpp), the
// keys, operands, "=" and the result (DlgCalendarViewKeys.cpp), the clock timer and the moon clock
// (DlgCalendarViewClock.cpp); its file is DateFile.h. "Now" and the zone come only from Clock.h.

#include "app/IniFile.h"
#include "commandbars/DateTimeCtrl.h"
#include "commandbars/MenuButton.h"
#include "controls/ColorEdit.h"
#include "controls/Label.h"
#include "controls/PPToolTip.h"
#include "controls/ResizableFormView.h"
#include "datetime/Calendar.h"
#include "datetime/DateOperands.h"
#include "datetime/MoonClock.h"
#include "platform/mfc/ControlWrappers.h"

#include <array>

class CFlnPageHost;
struct DateParseResult;

class CDlgCalendarView : public CResizableFormView {
    DECLARE_DYNCREATE(CDlgCalendarView)
public:
    enum { IDD = 108 };
    static constexpr UINT ClockTimerId = 2;

    CDlgCalendarView();
    ~CDlgCalendarView() override;

    // ---- values exchanged with the dialog
    CString m_strInput;
    CString m_strOutput;
    BOOL m_bSystemTime = TRUE;   // "Display System Time": the moon clock follows the system clock

    // ---- other state
    int m_nDateFormat = 1;       // 1 day.month.year, 2 day/month/year, 3 month/day/year
    CString m_strFileName;       // the last date file chosen
    BOOL m_bViewTooltips = TRUE;
    int m_nDigits = 6;           // how "=" formats a span in one unit
    int m_nNumberFormat = 1;
    int m_nFormatOption = 2;
    OperandSide m_nOperandSide = OperandSide::Left;
    int m_nOutputMode = 1;       // 1 time span, 2 date and time, 3 Julian day
    int m_nSpanUnit = 1;         // 1 span text, 2 days, 3 hours, 4 minutes, 5 seconds
    CIniFile m_iniFile;
    int m_nFontSize = 10;
    BOOL m_bFontBold = TRUE;

    // Result colours.
    static constexpr COLORREF SpanColour = RGB(255, 255, 0);
    static constexpr COLORREF DateColour = RGB(0, 255, 0);
    static constexpr COLORREF JulianDayColour = RGB(0, 255, 255);
    static constexpr COLORREF ErrorColour = RGB(255, 0, 0);
    static constexpr COLORREF AnswerColour = RGB(255, 255, 255);
    static constexpr COLORREF InputColour = RGB(179, 183, 139);

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
    const CXSuperTooltip& Tooltip() const { return m_tooltip; }

    // ---- date format, in the page and in the application's date parser
    void SetDateFormat(int format);

    // ---- clock: a period of 0 stops it
    static constexpr UINT kClockPeriod = 1000;
    void SetClockTimer(UINT period);
    void OnTimer(UINT_PTR id);
    void OnShowWindow(BOOL show, UINT status);

    // ---- input font: "MS Sans Serif" at that size, bold as m_bFontBold says
    void SetInputFont(int pointSize);

    void OnInitialUpdate() override;
    BOOL PreTranslateMessage(MSG* message) override;
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo) override;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    CFlnPageHost* Host() const;
    HWND Item(UINT id) const;
    POINT CentreOf(HWND control) const;
    void Balloon(const CString& title, const CString& text, POINT anchor);
    void CreateCalendar();
    void SetUpLabels();
    void AttachToolkitButtons();
    void BuildTooltips();
    void PutFramesBeneathControls();
    void ShowParseError(int position, const CString& errorText);
    void ShowEvaluation(const DateParseResult& result);

    // Keys: TRUE when id is one of the keypad's.
    BOOL OnKey(UINT id);
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

    void OnDeleteAll();
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnEditUndo();
    void OnViewTooltips();
    void OnUpdateViewTooltips(CCmdUI* ui);
    void OnFontSize(UINT id);
    void OnUpdateFontSize(CCmdUI* ui);
    void OnFontBold();
    void OnUpdateFontBold(CCmdUI* ui);
    void OnLoadContent();
    void OnSaveContent();

    CTabCtrl m_tabDisplay;
    CLabel m_labelOutput;
    CLabel m_labelYear;
    CLabel m_labelTime;
    CMoonClock m_moonClock;
    CXSuperTooltip m_tooltip;
    std::array<divuzura::foundation::SECBitmapButton, 2> m_bitmapButtons;
    CColorEdit m_editInput;
    std::array<divuzura::foundation::SECMenuButton, 8> m_answerButtons;
    SECDateTimeCtrl m_dateTimeCtrl;
    FlCalendar m_calendar;
};
