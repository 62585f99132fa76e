// The keypad: each key puts its text into the formula.

#include "app/FlnView.h"

#include "res/FormulaPage.h"

namespace {

struct Key {
    UINT id;
    const wchar_t* text;
};

// Every key but the digits, with the text it inserts.
constexpr Key Keys[] = {
    { IDC_KEY_POINT, L"." }, { IDC_KEY_PLUS, L" + " }, { IDC_KEY_MINUS, L" - " }, { IDC_KEY_TIMES, L" * " },
    { IDC_KEY_DIVIDE, L" / " }, { IDC_KEY_POWER, L"^" }, { IDC_KEY_PAREN_OPEN, L"(" }, { IDC_KEY_PAREN_CLOSE, L")" },
    { IDC_KEY_BRACE_OPEN, L"{" }, { IDC_KEY_BRACE_CLOSE, L"}" }, { IDC_KEY_BRACKET_OPEN, L"[" },
    { IDC_KEY_BRACKET_CLOSE, L"]" },
    { IDC_KEY_SIN, L"sin(" }, { IDC_KEY_ARCSIN, L"arcsin(" }, { IDC_KEY_SINH, L"sinh(" },
    { IDC_KEY_ARSINH, L"arsinh(" }, { IDC_KEY_COS, L"cos(" }, { IDC_KEY_ARCCOS, L"arccos(" },
    { IDC_KEY_COSH, L"cosh(" }, { IDC_KEY_ARCOSH, L"arcosh(" }, { IDC_KEY_TAN, L"tan(" }, { IDC_KEY_COT, L"cot(" },
    { IDC_KEY_ARCTAN, L"arctan(" }, { IDC_KEY_TANH, L"tanh(" }, { IDC_KEY_ARTANH, L"artanh(" },
    { IDC_KEY_EXP, L"exp(" }, { IDC_KEY_LN, L"ln(" }, { IDC_KEY_LOG, L"log(" }, { IDC_KEY_TEN_POWER, L"10^" },
    { IDC_KEY_SQUARE, L"^2" }, { IDC_KEY_SQR, L"sqr(" }, { IDC_KEY_ROOT, L"sqr(" }, { IDC_KEY_INT, L"int(" },
    { IDC_KEY_ABS, L"abs(" }, { IDC_KEY_SIGN, L"sign(" }, { IDC_KEY_RAD, L"rad(" }, { IDC_KEY_DEG, L"deg(" },
    { IDC_KEY_X, L"x" }, { IDC_PUT_A, L"A" }, { IDC_PUT_B, L"B" }, { IDC_PUT_C, L"C" }, { IDC_PUT_D, L"d" },
    { IDC_PUT_E, L"E" }, { IDC_PUT_F, L"F" }, { IDC_PUT_G, L"G" }, { IDC_KEY_PI, L"pi" }, { IDC_KEY_E, L"_e" },
};

} // namespace

BOOL CFlnView::OnKey(UINT id)
{
    for (const Key& key : Keys) {
        if (key.id == id) {
            InsertKeyText(key.text);
            return TRUE;
        }
    }
    return FALSE;
}

void CFlnView::OnKeyDigit(UINT id)
{
    InsertKeyText(CString(static_cast<wchar_t>(L'0' + (id - IDC_KEY_0))));
}

void CFlnView::InsertKeyText(CString text)
{
    switch (SelectedPage()) {
    case Tab::Input:
        InsertText(text);
        break;
    case Tab::Derivative:
        if (!UpdateData(TRUE))
            return;
        m_strFormula += text;
        m_strDerivative = m_strFormula;
        UpdateData(FALSE);
        break;
    default:
        break;
    }
    m_editFormula.SetFocus();
}

// A function or an opening bracket comes with its closing bracket and a selected blank between
// them, which the next character typed replaces.
void CFlnView::InsertText(CString text)
{
    const int length = text.GetLength();
    const bool bracketPair = length > 0 && text[length - 1] == L'(';
    if (bracketPair)
        text += L" )";
    DWORD start = 0;
    DWORD end = 0;
    m_editFormula.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    m_editFormula.SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.GetString()));
    if (bracketPair) {
        m_editFormula.SendMessage(EM_SETSEL, start + static_cast<DWORD>(length), start + static_cast<DWORD>(length) + 1);
        m_editFormula.SendMessage(EM_SCROLLCARET, 0, 0);
    }
}
