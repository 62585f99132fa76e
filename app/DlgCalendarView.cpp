// The Date & Time page's form, its small commands and the tooltips of its keys.

#include "app/DlgCalendarView.h"

#include "app/DateFile.h"
#include "datetime/CalendarAnswers.h"
#include "datetime/CalendarAnswersFormat.h"
#include "datetime/DateParser.h"
#include "datecore/Clock.h"
#include "platform/mfc/DataExchange.h"
#include "platform/mfc/Frame.h"
#include "res/DateTimePage.h"
#include "res/Formulon.h"

namespace {

// The menu buttons with their answer menus, in the order of the page's member array.
struct AnswerButton {
    UINT id;
    UINT menu;
};
constexpr AnswerButton AnswerButtons[] = {
    { IDC_ANSWERS_DAY, IDR_DAY_ANSWERS }, { IDC_ANSWERS_MONTH, IDR_MONTH_ANSWERS },
    { IDC_ANSWERS_WEEK, IDR_WEEK_ANSWERS }, { IDC_ANSWERS_YEAR, IDR_YEAR_ANSWERS },
    { IDC_ANSWERS_SEASON, IDR_SEASON_ANSWERS }, { IDC_ANSWERS_EPOCH, IDR_EPOCH_ANSWERS },
    { IDC_ANSWERS_FEAST, IDR_FEAST_ANSWERS }, { IDC_ANSWERS_MOON, IDR_MOON_ANSWERS },
};

struct PictureButton {
    UINT id;
    UINT bitmap;
};
constexpr PictureButton PictureButtons[] = {
    { IDC_DATE_TO_CALENDAR, IDB_DATE_TO_CALENDAR }, { IDC_DATE_COPY_RESULT, IDB_RESULT_TO_CLIPBOARD },
};

// The toolkit's bitmap buttons draw their picture alone with this style.
constexpr DWORD PictureOnlyStyle = 4;

constexpr IdValue<CDlgCalendarView::DateFormat> DateFormatCommands[] = {
    { ID_DATE_FORMAT_DOTS, CDlgCalendarView::DateFormat::DayMonthYearDots },
    { ID_DATE_FORMAT_DAY_FIRST, CDlgCalendarView::DateFormat::DayMonthYearSlashes },
    { ID_DATE_FORMAT_MONTH_FIRST, CDlgCalendarView::DateFormat::MonthDayYearSlashes },
};

constexpr PageTip Tips[] = {
    { IDC_ANSWERS_DAY, L"Info about Days" }, { IDC_ANSWERS_MONTH, L"Info about Month" },
    { IDC_ANSWERS_WEEK, L"Info about Weeks" }, { IDC_ANSWERS_YEAR, L"Info about Years" },
    { IDC_ANSWERS_SEASON, L"Info about Seasons" }, { IDC_ANSWERS_EPOCH, L"Info about Epoch" },
    { IDC_ANSWERS_FEAST, L"Info about Feast Days" }, { IDC_ANSWERS_MOON, L"Info to Moon Display" },
    { IDC_DATE_KEY_YEAR, L"Year" }, { IDC_DATE_KEY_MONTH, L"Month" }, { IDC_DATE_KEY_WEEK, L"Week" },
    { IDC_DATE_KEY_DAY, L"Day" }, { IDC_DATE_KEY_HOUR, L"Hour" }, { IDC_DATE_KEY_MINUTE, L"Minute" },
    { IDC_DATE_KEY_SECOND, L"Second" }, { IDC_DATE_KEY_7, L"Number 7" }, { IDC_DATE_KEY_8, L"Number 8" },
    { IDC_DATE_KEY_9, L"Number 9" }, { IDC_DATE_KEY_MINUS, L"Minus" }, { IDC_DATE_KEY_4, L"Number 4" },
    { IDC_DATE_KEY_5, L"Number 5" }, { IDC_DATE_KEY_6, L"Number 6" }, { IDC_DATE_KEY_PLUS, L"Plus" },
    { IDC_DATE_KEY_1, L"Number 1" }, { IDC_DATE_KEY_2, L"Number 2" }, { IDC_DATE_KEY_3, L"Number 3" },
    { IDC_DATE_KEY_0, L"Number 0" }, { IDC_DATE_KEY_OPEN, L"Left Parenthesis" },
    { IDC_DATE_KEY_CLOSE, L"Right Parenthesis" }, { IDC_DATE_KEY_EQUALS, L"Result" },
    { IDC_OPERAND_DATE, L"Set Date in Display" }, { IDC_OPERAND_TIME, L"Set Time in Display" },
    { IDC_OPERAND_DATE_TIME, L"Set Date & Time in Display" }, { IDC_NOW, L"Adjust Present Time (Now)" },
    { IDC_SET_LEFT, L"Adjust Date to the Left" }, { IDC_SET_RIGHT, L"Adjust Date to the Right" },
    { IDC_OUTPUT_SPAN, L"Time Span for Output" }, { IDC_OUTPUT_DATE, L"Date & Time for Output" },
    { IDC_OUTPUT_JD, L"Julian Day for Output" }, { IDC_UNIT_SPAN, L"Output as Time Span" },
    { IDC_UNIT_DAYS, L"Output in Days" }, { IDC_UNIT_HOURS, L"Output in Hour" },
    { IDC_UNIT_MINUTES, L"Output in Minute" }, { IDC_UNIT_SECONDS, L"Output in Second" },
    { IDC_DATE_COPY_RESULT, L"Copy Output in Clipboard" }, { IDC_DATE_TO_CALENDAR, L"Adjust time from upper edit field" },
    { IDC_SYSTEM_TIME, L"Windows Clock or Adjusted Time" },
};

COleDateTime LocalNow()
{
    SYSTEMTIME now {};
    GetLocalTime(&now);
    return COleDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

// Today as the calendar answers write dates: after the user's short date form.
CString TodayInUsersForm()
{
    SYSTEMTIME now {};
    GetLocalTime(&now);
    const DateLocale locale = CurrentDateLocale();
    return FormatDate(CDateValue(now.wYear, now.wMonth, now.wDay), BuildDatePattern(locale), locale);
}

COleDateTime DateOnly(const COleDateTime& moment)
{
    COleDateTime date;
    date.SetDate(moment.GetYear(), moment.GetMonth(), moment.GetDay());
    return date;
}

} // namespace

IMPLEMENT_DYNCREATE(CDlgCalendarView, CCalculatorPage)

CDlgCalendarView::CDlgCalendarView() : CCalculatorPage(IDD) {}

CDlgCalendarView::~CDlgCalendarView() = default;

BEGIN_MESSAGE_MAP(CDlgCalendarView, CCalculatorPage)
    ON_WM_TIMER()
    ON_WM_SHOWWINDOW()
    ON_WM_DESTROY()
    ON_COMMAND(IDC_DATE_KEY_EQUALS, OnCalculate)
    ON_COMMAND(IDC_NOW, OnNow)
    ON_COMMAND_RANGE(IDC_OPERAND_DATE, IDC_OPERAND_DATE, OnOperand)
    ON_COMMAND_RANGE(IDC_OPERAND_TIME, IDC_OPERAND_DATE_TIME, OnOperand)
    ON_COMMAND_RANGE(IDC_DATE_KEY_0, IDC_DATE_KEY_9, OnKeyDigit)
    ON_COMMAND_RANGE(IDC_SET_LEFT, IDC_SET_LEFT, OnOperandSide)
    ON_COMMAND_RANGE(IDC_SET_RIGHT, IDC_SET_RIGHT, OnOperandSide)
    ON_COMMAND_RANGE(IDC_OUTPUT_SPAN, IDC_OUTPUT_JD, OnOutputMode)
    ON_COMMAND_RANGE(IDC_UNIT_SPAN, IDC_UNIT_SPAN, OnSpanUnit)
    ON_COMMAND_RANGE(IDC_UNIT_DAYS, IDC_UNIT_DAYS, OnSpanUnit)
    ON_COMMAND_RANGE(IDC_UNIT_HOURS, IDC_UNIT_HOURS, OnSpanUnit)
    ON_COMMAND_RANGE(IDC_UNIT_MINUTES, IDC_UNIT_MINUTES, OnSpanUnit)
    ON_COMMAND_RANGE(IDC_UNIT_SECONDS, IDC_UNIT_SECONDS, OnSpanUnit)
    ON_COMMAND(IDC_DATE_TO_CALENDAR, OnDateToCalendar)
    ON_COMMAND(IDC_DATE_COPY_RESULT, OnCopyResult)
    ON_COMMAND(ID_FILE_LOAD_CONTENT, OnLoadContent)
    ON_COMMAND(ID_FILE_SAVE_CONTENT, OnSaveContent)
    ON_MESSAGE(WM_CALENDAR_SELECT, OnCalendarSelect)
    ON_COMMAND_RANGE(CalendarCommand::First, CalendarCommand::Last, OnAnswer)
    ON_COMMAND_RANGE(ID_DATE_FORMAT_DOTS, ID_DATE_FORMAT_MONTH_FIRST, OnDateFormat)
    ON_UPDATE_COMMAND_UI_RANGE(ID_DATE_FORMAT_DOTS, ID_DATE_FORMAT_MONTH_FIRST, OnUpdateDateFormat)
END_MESSAGE_MAP()

void CDlgCalendarView::DoDataExchange(CDataExchange* exchange)
{
    CCalculatorPage::DoDataExchange(exchange);
    DDX_Text(exchange, IDC_DATE_INPUT, m_strInput);
    DDX_Check(exchange, IDC_SYSTEM_TIME, m_bSystemTime);
}

// Input errors: a balloon that closes by itself.
void CDlgCalendarView::Balloon(const CString& title, const CString& text, POINT anchor)
{
    ShowBalloon(title, text, anchor, BalloonTimeout);
}

void CDlgCalendarView::OnInitialUpdate()
{
    CCalculatorPage::OnInitialUpdate();
    m_editInput.SubclassDlgItem(IDC_DATE_INPUT, this);
    m_labelOutput.SubclassDlgItem(IDC_DATE_OUTPUT, this);
    m_labelYear.SubclassDlgItem(IDC_YEAR_LABEL, this);
    m_labelTime.SubclassDlgItem(IDC_TIME_LABEL, this);
    m_tabDisplay.SubclassDlgItem(IDC_DATE_DISPLAY_TABS, this);
    m_moonClock.SubclassDlgItem(IDC_MOON_CLOCK, this);
    PutFramesBeneathControls({ IDC_DATE_DISPLAY_TABS, IDC_GROUP_DATE_KEYS, IDC_GROUP_OPERANDS, IDC_GROUP_MOMENT,
        IDC_GROUP_ADJUSTED_TIME, IDC_GROUP_CALENDAR, IDC_GROUP_MOON, IDC_GROUP_ANSWERS });
    m_tabDisplay.InsertItem(0, L"Display");

    CreateCalendar();
    m_dateTimeCtrl.SetFormat(L"dddd  dd.MM.yyyy  HH:mm:ss tt");
    m_dateTimeCtrl.AttachDateTimeCtrl(IDC_DATE_TIME, this, SECDateTimeCtrl::DTCS_DROPDOWN | SECDateTimeCtrl::DTCS_SPIN,
        WS_CHILD | WS_TABSTOP, WS_EX_CLIENTEDGE);
    m_dateTimeCtrl.SetFont(GetFont());
    // Full fields move on by themselves and Tab walks the fields before it leaves the control.
    m_dateTimeCtrl.EnableFastEntry(TRUE);
    m_dateTimeCtrl.SizeToContent();
    SetDateTimeValue(LocalNow());

    SetUpInputLine(InputNormalColour);
    SetInputFont(m_nFontSize);
    SetUpLabels();

    for (UINT id : { IDC_SET_LEFT, IDC_OUTPUT_SPAN, IDC_UNIT_SPAN })
        ::SendMessageW(Item(id), BM_SETCHECK, BST_CHECKED, 0);
    m_nOperandSide = OperandSide::Left;
    m_nOutputMode = OutputMode::TimeSpan;
    m_nSpanUnit = SpanUnit::SpanText;

    AttachToolkitButtons();
    CreateTooltips(Tips);
    // The clock runs while the page shows (a page behind another tab has nothing to update).
    SetClockTimer((GetStyle() & WS_VISIBLE) ? kClockPeriod : 0);
    GetDateParser().DateFormat = static_cast<int>(m_nDateFormat);
    UpdateData(FALSE);
}

// The calendar takes the place of its placeholder, showing today selected.
void CDlgCalendarView::CreateCalendar()
{
    HWND placeholder = Item(IDC_CALENDAR);
    RECT place {};
    ::GetWindowRect(placeholder, &place);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
    ::DestroyWindow(placeholder);
    m_calendar.SetFlags(FlCalendar::DefaultFlags);
    m_calendar.SetCurrentMonthStyle(CalendarPanelStyle::CurrentMonth);
    const COleDateTime today = DateOnly(LocalNow());
    m_calendar.SetDisplayDate(today, FALSE);
    m_calendar.SelectDate(today, TRUE);
    // A new calendar takes the focus; a page being made leaves it where it was.
    HWND focus = ::GetFocus();
    // A tab stop, so the keyboard reaches its days as the mouse does.
    m_calendar.Create(WS_VISIBLE | WS_TABSTOP, place, this, IDC_CALENDAR);
    m_calendar.SetNotifyWnd(this);
    ::SetFocus(focus);
}

void CDlgCalendarView::SetUpLabels()
{
    SetUpOutputLine(m_labelOutput, TodayInUsersForm());
    // The year and the time show placeholders until the first tick of the clock.
    m_labelYear.SetFontName(L"Arial", 0).SetFontSize(13).SetTextColor(RGB(0, 0, 0)).SetFontUnderline(FALSE)
        .SetFontItalic(TRUE).SetFontBold(TRUE).SetBorder(FALSE).SetText(L"2007").SetSunken(FALSE);
    m_labelTime.SetFontName(L"Arial", 0).SetFontSize(12).SetTextColor(RGB(0, 0, 0)).SetFontUnderline(FALSE)
        .SetFontItalic(TRUE).SetFontBold(TRUE).SetBorder(FALSE).SetText(L"14:04:59").SetSunken(FALSE);
}

void CDlgCalendarView::AttachToolkitButtons()
{
    for (size_t i = 0; i < std::size(AnswerButtons); ++i) {
        m_answerButtons[i].AttachButton(AnswerButtons[i].id, this, FirstSubmenuOf(AnswerButtons[i].menu));
        m_answerButtons[i].SetOption(1);
    }
    for (size_t i = 0; i < std::size(PictureButtons); ++i) {
        m_bitmapButtons[i].AttachButton(PictureButtons[i].id, divuzura::foundation::SEC_IMAGE_ONLY,
            PictureButtons[i].bitmap, this, PictureOnlyStyle);
        m_bitmapButtons[i].SetOption(1);
    }
}

void CDlgCalendarView::OnDestroy()
{
    SetClockTimer(0);
    CCalculatorPage::OnDestroy();
}

// ---- the date-time control

void CDlgCalendarView::SetDateTimeValue(const COleDateTime& value)
{
    if (value.GetStatus() != COleDateTime::valid || !m_dateTimeCtrl.SetDate(value))
        return;
    m_dateTimeCtrl.SetTime(value);
}

COleDateTime CDlgCalendarView::SelectedMoment() const
{
    const COleDateTime& day = m_calendar.GetSelectedDate();
    const COleDateTime time = GetDateTimeValue();
    COleDateTime moment;
    if (day.GetStatus() != COleDateTime::valid || time.GetStatus() != COleDateTime::valid) {
        moment.SetStatus(COleDateTime::invalid);
        return moment;
    }
    moment.SetDateTime(day.GetYear(), day.GetMonth(), day.GetDay(), time.GetHour(), time.GetMinute(), time.GetSecond());
    return moment;
}

void CDlgCalendarView::OnNow()
{
    const COleDateTime now = LocalNow();
    SetDateTimeValue(now);
    const COleDateTime today = DateOnly(now);
    m_calendar.SetDisplayDate(today, TRUE);
    m_calendar.SelectDate(today, TRUE);
}

void CDlgCalendarView::OnDateToCalendar()
{
    const COleDateTime day = DateOnly(GetDateTimeValue());
    m_calendar.SetDisplayDate(day, TRUE);
    m_calendar.SelectDate(day, TRUE);
}

// A day picked in the calendar becomes the date of the control; its time of day stays.
LRESULT CDlgCalendarView::OnCalendarSelect(WPARAM selected, LPARAM)
{
    const COleDateTime& day = m_calendar.GetSelectedDate();
    if (selected && day.GetStatus() == COleDateTime::valid)
        m_dateTimeCtrl.SetDate(day);
    return 0;
}

// ---- the answer menus

void CDlgCalendarView::OnAnswer(UINT id)
{
    const COleDateTime date = GetDateTimeValue();
    if (date.GetStatus() != COleDateTime::valid)
        return;
    const CDateValue selected(date.GetYear(), static_cast<std::uint16_t>(date.GetMonth()),
        static_cast<std::uint16_t>(date.GetDay()));
    const CStringArray& lines = m_moonClock.GetInfoLines();
    const std::optional<CString> answer = CalendarAnswer(id, selected, lines.IsEmpty() ? nullptr : &lines);
    if (answer)
        ShowResult(*answer, AnswerColour);
}

// ---- date format

void CDlgCalendarView::SetDateFormat(DateFormat format)
{
    m_nDateFormat = format;
    GetDateParser().DateFormat = static_cast<int>(format);
    m_moonClock.SetMonthFirst(format == DateFormat::MonthDayYearSlashes);
}

void CDlgCalendarView::OnDateFormat(UINT id)
{
    if (const std::optional<DateFormat> format = ValueOf(DateFormatCommands, id))
        SetDateFormat(*format);
}

void CDlgCalendarView::OnUpdateDateFormat(CCmdUI* ui)
{
    if (const std::optional<DateFormat> format = ValueOf(DateFormatCommands, ui->m_nID))
        ui->SetCheck(m_nDateFormat == *format ? 1 : 0);
}

// ---- the date file

void CDlgCalendarView::OnSaveContent()
{
    UpdateData(TRUE);
    CDateFile::OnSaveContent(*this);
}

void CDlgCalendarView::OnLoadContent()
{
    CDateFile::OnLoadContent(*this);
}
