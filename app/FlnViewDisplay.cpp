// How the Formula page shows a value: the status bar, or the output line in the chosen display
// conversion; and the commands that choose the number format and the conversion.

#include "app/FlnView.h"

#include "app/FlnPageHost.h"
#include "engine/MathHelper.h"
#include "engine/RootFinder.h"
#include "platform/mfc/Frame.h"
#include "res/FormulaPage.h"

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace {

constexpr COLORREF ResultColour = RGB(255, 255, 0);
constexpr COLORREF ConvertedColour = RGB(0, 255, 0);

// The value's integer part (toward zero) as a 32-bit int; none when it lies outside that range.
std::optional<int> IntegerPart(double value)
{
    const double whole = std::trunc(value);
    if (!(whole >= std::numeric_limits<int>::min() && whole <= std::numeric_limits<int>::max()))
        return std::nullopt;
    return static_cast<int>(whole);
}

// The int in base 2, 8 or 16 (upper-case letters); a negative int as its 32-bit two's complement.
CString InBase(int value, unsigned base)
{
    auto bits = static_cast<std::uint32_t>(value);
    CString digits;
    do {
        digits.Insert(0, L"0123456789ABCDEF"[bits % base]);
        bits /= base;
    } while (bits != 0);
    return digits;
}

// A blank before every digit that begins a group of four counted from the right.
CString GroupedByFour(const CString& digits)
{
    CString grouped;
    const int length = digits.GetLength();
    for (int i = 0; i < length; ++i) {
        if ((length - i) % 4 == 0)
            grouped += L' ';
        grouped += digits[i];
    }
    return grouped;
}

struct RomanDigit {
    const wchar_t* symbol;
    int value;
};

} // namespace

void CFlnView::FormatResult(int target, CString text, double value)
{
    if (target == 2) {
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
    if (m_nDisplayMode == 1) {
        CString shown;
        CMathHelper::FormatValue(&shown, 0, value, 0, static_cast<NumberFormatMode>(m_nNumberFormat), m_nDigits,
            m_nFormatOption, 0, 0);
        if (shown.Find(L"Error") >= 0)
            OutputResult(shown, ErrorColour, 11);
        else
            OutputResult(shown, ResultColour, m_nNumberFormat == 8 ? 10 : 11);
        return;
    }
    if (m_nDisplayMode == 4) {
        CString fraction;
        FractionToText(value, &fraction, 1e-14);
        OutputResult(fraction, ResultColour, 11);
        return;
    }
    if (m_nDisplayMode < 2 || m_nDisplayMode > 7)
        return;
    // The integer forms: a value beyond the int range has none.
    const std::optional<int> whole = IntegerPart(value);
    if (!whole) {
        OutputResult(L"Data Error", ErrorColour, 11);
        return;
    }
    CString shown;
    switch (m_nDisplayMode) {
    case 2:
        shown = ToRomanCompact(*whole);
        break;
    case 3:
        shown = ToRomanSubtractive(*whole);
        break;
    case 5:
        shown = InBase(*whole, 16);
        break;
    case 6:
        shown = InBase(*whole, 8);
        break;
    default:
        shown = GroupedByFour(InBase(*whole, 2));
        break;
    }
    OutputResult(shown, shown.Find(L"Data Error") >= 0 ? ErrorColour : ConvertedColour, 11);
}

CString CFlnView::ToRomanSubtractive(int n)
{
    if (n <= 0)
        return L"Data Error 8";
    static constexpr RomanDigit Digits[] = { { L"M", 1000 }, { L"CM", 900 }, { L"D", 500 }, { L"CD", 400 },
        { L"C", 100 }, { L"XC", 90 }, { L"L", 50 }, { L"XL", 40 }, { L"X", 10 }, { L"IX", 9 }, { L"V", 5 },
        { L"IV", 4 }, { L"I", 1 } };
    CString roman;
    for (const RomanDigit& digit : Digits) {
        for (; n >= digit.value; n -= digit.value)
            roman += digit.symbol;
    }
    return roman;
}

// The shortest form: besides the subtractive pairs of neighbours, any smaller symbol may stand
// before a larger one (999 is IM).
CString CFlnView::ToRomanCompact(int n)
{
    if (n <= 0)
        return L"Data Error 9";
    static constexpr RomanDigit Digits[] = { { L"M", 1000 }, { L"D", 500 }, { L"C", 100 }, { L"L", 50 },
        { L"X", 10 }, { L"V", 5 }, { L"I", 1 } };
    constexpr int Count = static_cast<int>(std::size(Digits));
    CString roman;
    for (int i = 0; i < Count; ++i) {
        for (; n >= Digits[i].value; n -= Digits[i].value)
            roman += Digits[i].symbol;
        for (int j = Count - 1; j > i; --j) {
            const int difference = Digits[i].value - Digits[j].value;
            if (Digits[j].value < difference && difference <= n) {
                roman += Digits[j].symbol;
                roman += Digits[i].symbol;
                n -= difference;
            }
        }
    }
    return roman;
}

void CFlnView::OnDisplayMode(UINT id)
{
    switch (id) {
    case IDC_MODE_DEC:
        m_nDisplayMode = 1;
        break;
    case IDC_MODE_ROMAN_SHORT:
        m_nDisplayMode = 2;
        break;
    case IDC_MODE_ROMAN_LONG:
        m_nDisplayMode = 3;
        break;
    case IDC_MODE_FRAC:
        m_nDisplayMode = 4;
        break;
    case IDC_MODE_HEX:
        m_nDisplayMode = 5;
        break;
    case IDC_MODE_OCT:
        m_nDisplayMode = 6;
        break;
    case IDC_MODE_BIN:
        m_nDisplayMode = 7;
        break;
    default:
        return;
    }
    OnKeyEquals();
}

namespace {
int NumberFormatOf(UINT command)
{
    switch (command) {
    case ID_FORMAT_FLOATING:
        return 1;
    case ID_FORMAT_SCIENTIFIC:
        return 2;
    case ID_FORMAT_ENGINEERING:
        return 3;
    case ID_FORMAT_TECHNICAL:
        return 4;
    case ID_FORMAT_WORDS:
        return 8;
    default:
        return 0;
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
    if (!m_tabPages.m_hWnd)
        return;
    UpdateData(TRUE);
    OnKeyEquals();
}
