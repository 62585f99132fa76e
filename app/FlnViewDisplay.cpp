// How the Formula page shows a value: the status bar, or the output line in the chosen display
// conversion; and the commands that choose the number format and the conversion.

#include "app/FlnView.h"

#include "app/DisplayConversions.h"
#include "app/FlnPageHost.h"
#include "engine/MathHelper.h"
#include "engine/RootFinder.h"
#include "platform/mfc/Frame.h"
#include "res/FormulaPage.h"

#include <optional>
#include <utility>

namespace {

constexpr COLORREF ResultColour = RGB(255, 255, 0);
constexpr COLORREF ConvertedColour = RGB(0, 255, 0);

} // namespace

void CFlnView::FormatResult(ResultTarget target, CString text, double value)
{
    if (target == ResultTarget::StatusBar) {
        m_strStatusText = text;
        if (CFlnPageHost* host = Host())
            host->SetMessageText(text);
        else if (CFrameWnd* frame = GetParentFrame())
            frame->SetMessageText(text);
        return;
    }
    if (text.Find(L"Data Error") >= 0) {
        OutputResult(text, ErrorColour, 11);
        return;
    }
    if (m_nDisplayMode == DisplayMode::Decimal) {
        CString shown;
        CMathHelper::FormatValue(&shown, 0, value, 0, m_nNumberFormat, m_nDigits, m_nFormatOption, 0, 0);
        if (shown.Find(L"Error") >= 0)
            OutputResult(shown, ErrorColour, 11);
        else
            OutputResult(shown, ResultColour, m_nNumberFormat == NumberFormatWords ? 10 : 11);
        return;
    }
    if (m_nDisplayMode == DisplayMode::Fraction) {
        CString fraction;
        FractionToText(value, &fraction, 1e-14);
        OutputResult(fraction, ResultColour, 11);
        return;
    }
    if (m_nDisplayMode < DisplayMode::RomanShort || m_nDisplayMode > DisplayMode::Binary)
        return;
    // The integer forms: a value beyond the int range has none.
    const std::optional<int> whole = IntegerPart(value);
    if (!whole) {
        OutputResult(L"Data Error", ErrorColour, 11);
        return;
    }
    CString shown;
    switch (m_nDisplayMode) {
    case DisplayMode::RomanShort:
        shown = ToRomanCompact(*whole);
        break;
    case DisplayMode::RomanLong:
        shown = ToRomanSubtractive(*whole);
        break;
    case DisplayMode::Hex:
        shown = InBase(*whole, 16);
        break;
    case DisplayMode::Octal:
        shown = InBase(*whole, 8);
        break;
    default:
        shown = GroupedByFour(InBase(*whole, 2));
        break;
    }
    OutputResult(shown, shown.Find(L"Data Error") >= 0 ? ErrorColour : ConvertedColour, 11);
}

void CFlnView::OnDisplayMode(UINT id)
{
    switch (id) {
    case IDC_MODE_DEC:
        m_nDisplayMode = DisplayMode::Decimal;
        break;
    case IDC_MODE_ROMAN_SHORT:
        m_nDisplayMode = DisplayMode::RomanShort;
        break;
    case IDC_MODE_ROMAN_LONG:
        m_nDisplayMode = DisplayMode::RomanLong;
        break;
    case IDC_MODE_FRAC:
        m_nDisplayMode = DisplayMode::Fraction;
        break;
    case IDC_MODE_HEX:
        m_nDisplayMode = DisplayMode::Hex;
        break;
    case IDC_MODE_OCT:
        m_nDisplayMode = DisplayMode::Octal;
        break;
    case IDC_MODE_BIN:
        m_nDisplayMode = DisplayMode::Binary;
        break;
    default:
        return;
    }
    OnKeyEquals();
}

namespace {
// The format of a command; 0, no format, for any other command.
NumberFormatMode NumberFormatOf(UINT command)
{
    switch (command) {
    case ID_FORMAT_FLOATING:
        return NumberFormatFloating;
    case ID_FORMAT_SCIENTIFIC:
        return NumberFormatScientific;
    case ID_FORMAT_ENGINEERING:
        return NumberFormatEngineering;
    case ID_FORMAT_TECHNICAL:
        return NumberFormatTechnical;
    case ID_FORMAT_WORDS:
        return NumberFormatWords;
    default:
        return NumberFormatMode {};
    }
}
}

void CFlnView::OnNumberFormat(UINT id)
{
    m_nNumberFormat = NumberFormatOf(id);
    OnKeyEquals();
}

void CFlnView::OnUpdateNumberFormat(CCmdUI* ui)
{
    ui->SetCheck(m_nNumberFormat == NumberFormatOf(ui->m_nID));
}

void CFlnView::OnDigitsChange()
{
    // The up-down writes its buddy while the view is made, before there is anything to show.
    if (!m_tabPages.m_hWnd || m_bLoadingContent)
        return;
    // An emptied field is on its way to a new count: there is nothing to take yet.
    if (::GetWindowTextLengthW(::GetDlgItem(m_hWnd, IDC_DIGITS)) == 0)
        return;
    const bool focusStayed = std::exchange(m_bFocusStays, true);
    OnKeyEquals();
    m_bFocusStays = focusStayed;
}
