// The smaller commands of the Formula page: physical constants, where the edit commands go, the
// verify switch, and the tooltips of the keys.

#include "app/FlnView.h"

#include "engine/FormulaEngine.h"
#include "platform/base/StringFormat.h"
#include "res/FormulaPage.h"

#include <iterator>

namespace {

// The insert-target buttons and the target each sets.
constexpr IdValue<int> InsertTargetButtons[] = {
    { IDC_PHYS_SELECT, 0 }, { IDC_PHYS_TO_A, 1 }, { IDC_PHYS_TO_B, 2 }, { IDC_PHYS_TO_C, 3 }, { IDC_PHYS_TO_D, 4 },
    { IDC_PHYS_TO_E, 5 }, { IDC_PHYS_TO_F, 6 }, { IDC_PHYS_TO_G, 7 },
};

constexpr PageTip Tips[] = {
    { IDC_MODE_DEC, L"Decimal Value (Base 10)" }, { IDC_MODE_FRAC, L"Fraction ( N i/j = N + i/j )" },
    { IDC_MODE_ROMAN_SHORT, L"Roman Value (Short)" }, { IDC_MODE_ROMAN_LONG, L"Roman Value (Long)" },
    { IDC_MODE_HEX, L"Hexadecimal Value (Base 16)" }, { IDC_MODE_OCT, L"Octal Value (Base 8)" },
    { IDC_MODE_BIN, L"Binary Value (Base 2)" }, { IDC_COPY_OUTPUT, L"Copy Output to Clipboard" },
    { IDC_KEY_SIN, L"Sine" }, { IDC_KEY_ARCSIN, L"Arc Sine" }, { IDC_KEY_SINH, L"Hyperbolic Sine" },
    { IDC_KEY_ARSINH, L"Area (Inverse) Hyperbolic Sine" }, { IDC_KEY_COS, L"Cosine" },
    { IDC_KEY_ARCCOS, L"Arc Cosine" }, { IDC_KEY_COSH, L"Hyperbolic Cosine" },
    { IDC_KEY_ARCOSH, L"Area (Inverse) Hyperbolic Cosine" }, { IDC_KEY_TAN, L"Tangent" },
    { IDC_KEY_ARCTAN, L"Arc Tangent" }, { IDC_KEY_TANH, L"Hyperbolic Tangent" }, { IDC_KEY_ARTANH, L"ArTanH" },
    { IDC_KEY_EXP, L"Exponential" }, { IDC_KEY_LN, L"Logarithmic" }, { IDC_KEY_INT, L"Integer Part" },
    { IDC_KEY_ABS, L"Absolute Value" }, { IDC_KEY_TEN_POWER, L"Set 10 to the x power" }, { IDC_KEY_LOG, L"Logarithm" },
    { IDC_KEY_RAD, L"Radian" }, { IDC_KEY_DEG, L"Degree" }, { IDC_KEY_SQUARE, L"Set x to the 2 power" },
    { IDC_KEY_SQR, L"Square Root" }, { IDC_KEY_X, L"Put x into input" }, { IDC_KEY_PAREN_OPEN, L"Left Parenthesis" },
    { IDC_KEY_PAREN_CLOSE, L"Right Parenthesis" }, { IDC_KEY_DIVIDE, L"Divided by" },
    { IDC_KEY_TIMES, L"Multiplied by" }, { IDC_KEY_7, L"Put 7 into input" }, { IDC_KEY_8, L"Put 8 into input" },
    { IDC_KEY_9, L"Put 9 into input" }, { IDC_KEY_MINUS, L"Put Minus into input" }, { IDC_KEY_4, L"Put 4 into input" },
    { IDC_KEY_5, L"Put 5 into input" }, { IDC_KEY_6, L"Put 6 into input" }, { IDC_KEY_PLUS, L"Put Plus into input" },
    { IDC_KEY_1, L"Put 1 into input" }, { IDC_KEY_2, L"Put 2 into input" }, { IDC_KEY_3, L"Put 3 into input" },
    { IDC_KEY_0, L"Put 0 into input" }, { IDC_KEY_POWER, L"Power (Exponent)" }, { IDC_KEY_EQUALS, L"Get the Result" },
    { IDC_RETURN, L"Return to Previous Input" }, { IDC_PUT_A, L"Put Constant A into input" },
    { IDC_VALUE_A, L"Constant A" }, { IDC_PUT_B, L"Put Constant B into input" }, { IDC_VALUE_B, L"Constant B" },
    { IDC_PUT_C, L"Put Constant C into input" }, { IDC_VALUE_C, L"Constant C" },
    { IDC_PUT_D, L"Put Constant D into input" }, { IDC_VALUE_D, L"Constant D" },
    { IDC_PUT_E, L"Put Constant E into input" }, { IDC_VALUE_E, L"Constant E" },
    { IDC_PUT_F, L"Put Constant F into input" }, { IDC_VALUE_F, L"Constant F" },
    { IDC_PUT_G, L"Put Constant G into input" }, { IDC_VALUE_G, L"Constant G" }, { IDC_VALUE_X, L"Variable x" },
    { IDC_KEY_COT, L"Cotangent" }, { IDC_KEY_SIGN, L"Sign" }, { IDC_VALUE_XA, L"Left Interval" },
    { IDC_LABEL_XA, L"xa =" }, { IDC_VALUE_XB, L"Right Interval" }, { IDC_LABEL_XB, L"xb =" },
    { IDC_OUTPUT, L"Formula Output" }, { IDC_KEY_BRACE_OPEN, L"Left Parenthesis" },
    { IDC_KEY_BRACE_CLOSE, L"Right Parenthesis" }, { IDC_KEY_BRACKET_OPEN, L"Left Parenthesis" },
    { IDC_KEY_BRACKET_CLOSE, L"Right Parenthesis" }, { IDC_KEY_PI, L"Pi = 3.14159265358979323846" },
    { IDC_KEY_E, L"e = 2.71828182845904523536" }, { IDC_KEY_ROOT, L"Square Root" },
    { IDC_PHYS_SELECT, L"Physical Constants" }, { IDC_PHYS_NAME, L"Set Physical Constants" },
    { IDC_PHYS_VALUE, L"Physical Constant Value" }, { IDC_GROUP_INTERVAL, L"x-Interval for Graph" },
    { IDC_DIGITS, L"Fractional Digits" }, { IDC_NUMBER_FORMAT, L"Number Format" },
};

} // namespace

bool CFlnView::IsInsertTargetButton(UINT id)
{
    return ValueOf(InsertTargetButtons, id).has_value();
}

void CFlnView::OnInsertTarget(UINT id)
{
    m_nInsertTarget = ValueOf(InsertTargetButtons, id).value_or(m_nInsertTarget);
}

void CFlnView::OnPhysConst(UINT id)
{
    wchar_t entry[256] {};
    ::GetMenuStringW(m_menuPhysConst.m_hMenu, id, entry, static_cast<int>(std::size(entry)), MF_BYCOMMAND);
    const CString text(entry);
    const int open = text.Find(L'[');
    const int close = text.Find(L']', open + 1);
    if (open < 0 || close < 0)
        return;
    const CString name = text.Mid(open + 1, close - open - 1);
    m_strPhysConstValue = CString(FormatWide(L" %.6E", GetFormulaEngine().PhysConst.GetValue(name)).c_str());
    if (m_nInsertTarget == 0) {
        ::SetDlgItemTextW(m_hWnd, IDC_PHYS_NAME, name + L" = ");
        ::SetDlgItemTextW(m_hWnd, IDC_PHYS_VALUE, m_strPhysConstValue);
    } else if (m_nInsertTarget >= 1 && m_nInsertTarget <= 7) {
        ::SetDlgItemTextW(m_hWnd, static_cast<int>(ConstantFieldIds[m_nInsertTarget - 1]), m_strPhysConstValue);
    }
}

void CFlnView::OnInsertConstantName()
{
    CString name;
    GetDlgItem(IDC_PHYS_NAME)->GetWindowText(name);
    name.Remove(L'=');
    name.Remove(L' ');
    if (SelectedPage() == Tab::Input)
        InsertKeyText(name);
}

HWND CFlnView::EditCommandTarget()
{
    HWND focus = ::GetFocus();
    wchar_t className[16] {};
    if (focus && ::IsChild(m_hWnd, focus) && ::GetClassNameW(focus, className, 16) && CString(className).CompareNoCase(L"Edit") == 0)
        return focus;
    return m_editFormula.m_hWnd;
}

void CFlnView::OnVerify()
{
    m_bVerify = !m_bVerify;
}

void CFlnView::OnUpdateVerify(CCmdUI* ui)
{
    ui->SetCheck(m_bVerify ? 1 : 0);
}

void CFlnView::BuildTooltips()
{
    CreateTooltips(Tips);
}

BOOL CFlnView::PreTranslateMessage(MSG* message)
{
    // A constant button drops its menu while it is being pressed, before it reports the click:
    // the press itself chooses where the constant will go.
    if (message->message == WM_LBUTTONDOWN || message->message == WM_KEYDOWN) {
        const UINT id = static_cast<UINT>(::GetDlgCtrlID(message->hwnd));
        if (::GetParent(message->hwnd) == m_hWnd && IsInsertTargetButton(id))
            OnInsertTarget(id);
    }
    return CCalculatorPage::PreTranslateMessage(message);
}
