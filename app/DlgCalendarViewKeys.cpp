// The Date & Time page's calculator: keys, operand buttons, "=" and the result field.

#include "app/DlgCalendarView.h"

#include "app/Clipboard.h"
#include "app/FlnPageHost.h"
#include "datetime/DateParser.h"
#include "engine/MathHelper.h"
#include "platform/base/Exceptions.h"
#include "platform/base/StringFormat.h"
#include "res/DateTimePage.h"

#include <exception>

namespace {

struct Key {
    UINT id;
    const wchar_t* text;
    bool unit; // a unit operand follows an operand before it with " + "
};
constexpr Key Keys[] = {
    { IDC_DATE_KEY_PLUS, L" + ", false }, { IDC_DATE_KEY_MINUS, L" - ", false }, { IDC_DATE_KEY_OPEN, L"[", false },
    { IDC_DATE_KEY_CLOSE, L"]", false }, { IDC_DATE_KEY_YEAR, L"Y[", true }, { IDC_DATE_KEY_MONTH, L"M[", true },
    { IDC_DATE_KEY_WEEK, L"W[", true }, { IDC_DATE_KEY_DAY, L"d[", true }, { IDC_DATE_KEY_HOUR, L"h[", true },
    { IDC_DATE_KEY_MINUTE, L"m[", true }, { IDC_DATE_KEY_SECOND, L"s[", true },
};

constexpr IdValue<CDlgCalendarView::OutputMode> OutputModeButtons[] = {
    { IDC_OUTPUT_SPAN, CDlgCalendarView::OutputMode::TimeSpan },
    { IDC_OUTPUT_DATE, CDlgCalendarView::OutputMode::DateAndTime },
    { IDC_OUTPUT_JD, CDlgCalendarView::OutputMode::JulianDay },
};

constexpr IdValue<CDlgCalendarView::SpanUnit> SpanUnitButtons[] = {
    { IDC_UNIT_SPAN, CDlgCalendarView::SpanUnit::SpanText }, { IDC_UNIT_DAYS, CDlgCalendarView::SpanUnit::Days },
    { IDC_UNIT_HOURS, CDlgCalendarView::SpanUnit::Hours }, { IDC_UNIT_MINUTES, CDlgCalendarView::SpanUnit::Minutes },
    { IDC_UNIT_SECONDS, CDlgCalendarView::SpanUnit::Seconds },
};

CString Printed(const wchar_t* format, auto... values)
{
    return CString(FormatWide(format, values...).c_str());
}

const wchar_t* KindTitle(OperandKind kind)
{
    switch (kind) {
    case OperandKind::Date:
        return L"Date?";
    case OperandKind::Time:
        return L"Time?";
    default:
        return L"Date and Time?";
    }
}

} // namespace

BOOL CDlgCalendarView::OnKey(UINT id)
{
    for (const Key& key : Keys) {
        if (key.id != id)
            continue;
        if (key.unit) {
            CString input;
            m_editInput.GetWindowText(input);
            input.TrimRight();
            if (!input.IsEmpty() && input[input.GetLength() - 1] == L']')
                InsertText(L" + ", TRUE);
        }
        InsertText(key.text, TRUE);
        return TRUE;
    }
    return FALSE;
}

void CDlgCalendarView::OnKeyDigit(UINT id)
{
    InsertText(CString(static_cast<wchar_t>(L'0' + (id - IDC_DATE_KEY_0))), FALSE);
}

// Digits go to the caret; other keys are appended. An opening "[" comes with its closing " ]" and
// the blank between them selected, which the next digit replaces.
void CDlgCalendarView::InsertText(CString text, BOOL append)
{
    if (!append) {
        m_editInput.SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.GetString()));
    } else {
        CString input;
        m_editInput.GetWindowText(input);
        const bool bracket = !text.IsEmpty() && text[text.GetLength() - 1] == L'[';
        input += text;
        if (bracket)
            input += L" ]";
        m_editInput.SetWindowText(input);
        const int length = input.GetLength();
        if (bracket) {
            m_editInput.SendMessage(EM_SETSEL, static_cast<WPARAM>(length - 2), length - 1);
            m_editInput.SendMessage(EM_SCROLLCARET, 0, 0);
        } else {
            m_editInput.SendMessage(EM_SETSEL, EndOfText, EndOfText);
        }
    }
    m_editInput.SetFocus();
}

void CDlgCalendarView::OnOperandSide(UINT id)
{
    m_nOperandSide = id == IDC_SET_RIGHT ? OperandSide::Right : OperandSide::Left;
}

void CDlgCalendarView::OnOutputMode(UINT id)
{
    m_nOutputMode = ValueOf(OutputModeButtons, id).value_or(m_nOutputMode);
    OnCalculate();
}

void CDlgCalendarView::OnSpanUnit(UINT id)
{
    m_nSpanUnit = ValueOf(SpanUnitButtons, id).value_or(m_nSpanUnit);
    OnCalculate();
}

void CDlgCalendarView::OnOperand(UINT id)
{
    switch (id) {
    case IDC_OPERAND_DATE:
        InsertOperand(OperandKind::Date);
        break;
    case IDC_OPERAND_TIME:
        InsertOperand(OperandKind::Time);
        break;
    default:
        InsertOperand(OperandKind::DateAndTime);
        break;
    }
}

void CDlgCalendarView::InsertOperand(OperandKind kind)
{
    CString input;
    m_editInput.GetWindowText(input);
    const COleDateTime moment = SelectedMoment();
    if (moment.GetStatus() != COleDateTime::valid)
        return;
    const CString operand = OperandText(kind, m_nOperandSide, moment, static_cast<int>(m_nDateFormat));
    const JoinedOperand joined = JoinOperand(input, kind, m_nOperandSide, operand);
    switch (joined.outcome) {
    case JoinedOperand::NeedsLeftOfKind:
        Balloon(KindTitle(kind), L"Set L and R must be the same date/time format!", CentreOf(m_editInput.m_hWnd));
        return;
    case JoinedOperand::Unclosed:
        ShowResult(L"Error", ErrorColour);
        return;
    case JoinedOperand::Joined:
        m_editInput.SetWindowText(joined.text);
        m_editInput.SendMessage(EM_SETSEL, EndOfText, EndOfText);
        m_editInput.SetFocus();
        return;
    }
}

void CDlgCalendarView::OnCalculate()
{
    UpdateData(TRUE);
    const POINT inputCentre = CentreOf(m_editInput.m_hWnd);
    if (m_strInput.IsEmpty()) {
        Balloon(L"Input?", L"Put something in!", inputCentre);
        MessageBeep(MB_ICONASTERISK);
        return;
    }
    const bool wrongFormat = m_nDateFormat == DateFormat::DayMonthYearDots ? m_strInput.Find(L'/') >= 0
                                                                           : m_strInput.Find(L'.') >= 0;
    if (wrongFormat) {
        Balloon(L"Input?", L"Wrong Date Format -> Pulldownmenu Edit->Date Format", inputCentre);
        MessageBeep(MB_ICONASTERISK);
        return;
    }
    try {
        int errorPosition = 0;
        CString errorText;
        const DateParseResult result = GetDateParser().Calculate(m_strInput, errorPosition, errorText, true);
        if (errorPosition != 0)
            ShowParseError(errorPosition, errorText);
        else if (!errorText.IsEmpty()) {
            ShowResult(L"Data Error 1", ErrorColour);
            MessageBeep(MB_ICONASTERISK);
        } else
            ShowEvaluation(result);
    } catch (CException* error) {
        error->Delete();
        ShowResult(L"Total Error", ErrorColour);
    } catch (const std::exception&) {
        ShowResult(L"Total Error", ErrorColour);
    }
    m_editInput.SetFocus();
}

void CDlgCalendarView::ShowParseError(int position, const CString& errorText)
{
    m_editInput.SendMessage(EM_SETSEL, static_cast<WPARAM>(position - 1), position);
    m_editInput.SendMessage(EM_SCROLLCARET, 0, 0);
    MessageBeep(MB_ICONASTERISK);
    const LRESULT corner = m_editInput.SendMessage(EM_POSFROMCHAR, static_cast<WPARAM>(position - 1), 0);
    POINT anchor { static_cast<short>(LOWORD(corner)) + 5, static_cast<short>(HIWORD(corner)) + 5 + m_nFontSize };
    ::ClientToScreen(m_editInput.m_hWnd, &anchor);
    Balloon(L"Data Error 2", errorText, anchor);
    ShowResult(L"Data Error 2", ErrorColour);
}

void CDlgCalendarView::ShowEvaluation(const DateParseResult& result)
{
    // A negative Julian day stands for no date (a text that names none, or a date a span has
    // moved out of the calendar): in Julian days as in dates it is an error, not a number.
    if (m_nOutputMode == OutputMode::JulianDay) {
        if (result.JulianDay < 0)
            ShowResult(L"Error (No Date)", ErrorColour);
        else
            ShowResult(Printed(L"%.6lf", result.JulianDay), JulianDayColour);
        return;
    }
    if (m_nOutputMode == OutputMode::DateAndTime) {
        CString date;
        CString time;
        double julianDay = result.JulianDay;
        if (julianDay >= 0)
            CJulianDay::ConvertDateTime(date, time, CString(), julianDay);
        if (date.IsEmpty()) {
            ShowResult(L"Error (No Date)", ErrorColour);
            return;
        }
        if (m_nDateFormat == DateFormat::MonthDayYearSlashes && !CJulianDay::ToMonthDayYear(date)) {
            ShowResult(L"Error", ErrorColour);
            return;
        }
        ShowResult(date + L" " + time, DateColour);
        return;
    }
    // A span that could not be computed has no value in any unit.
    if (!result.IsValid()) {
        ShowResult(L"Error (Invalid Time Span)", ErrorColour);
        MessageBeep(MB_ICONASTERISK);
        return;
    }
    const std::optional<SpanInUnit> inUnit = ConvertSpan(result.Seconds, static_cast<int>(m_nSpanUnit));
    if (!inUnit) {
        ShowResult(FormatSpan(result.Seconds, L"%Dd %#Hh %#Mm %#Ss"), SpanColour);
        return;
    }
    CString text;
    CMathHelper::FormatValue(&text, 0, inUnit->value, 0, m_nNumberFormat, m_nDigits, m_nFormatOption, 0, 0);
    ShowResult(text + inUnit->unitName[0], SpanColour);
    if (CFlnPageHost* host = Host())
        host->SetMessageText(Printed(L"Result = %.9lf %ls", inUnit->value, inUnit->unitName));
}

void CDlgCalendarView::ShowResult(CString text, COLORREF colour)
{
    if (text.IsEmpty())
        text = L"Error (Wrong Date Format)";
    text += L" ";
    m_strOutput = text;
    m_labelOutput.SetTextColor(text.Find(L"Error") >= 0 ? ErrorColour : colour);
    m_labelOutput.SetText(text);
    // An answer wider than the field is cut there; the status bar shows it whole.
    if (CFlnPageHost* host = Host(); host && !FitsTheResultField(text))
        host->SetMessageText(text.Trim());
}

bool CDlgCalendarView::FitsTheResultField(const CString& text)
{
    CClientDC dc(&m_labelOutput);
    CFont font;
    if (!font.CreateFontIndirect(&m_labelOutput.LogicalFont()))
        return true;
    CFont* previous = dc.SelectObject(&font);
    const int width = dc.GetTextExtent(text).cx;
    dc.SelectObject(previous);
    RECT field {};
    m_labelOutput.GetClientRect(&field);
    return width <= field.right - field.left;
}

void CDlgCalendarView::OnCopyResult()
{
    CString text;
    m_labelOutput.GetWindowText(text);
    const POINT anchor = CentreOf(m_labelOutput.m_hWnd);
    if (CopyTextToClipboard(m_hWnd, text))
        Balloon(L"Clipboard!", text, anchor);
    else
        Balloon(L"Clipboard Error", L"The clipboard could not be opened; nothing was copied.", anchor);
}
