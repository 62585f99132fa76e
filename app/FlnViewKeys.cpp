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
    { 160, L"." }, { 237, L" + " }, { 147, L" - " }, { 171, L" * " }, { 164, L" / " }, { 162, L"^" }, { 145, L"(" },
    { 1380, L")" }, { 196, L"{" }, { 198, L"}" }, { 201, L"[" }, { 203, L"]" }, { 109, L"sin(" }, { 110, L"arcsin(" },
    { 111, L"sinh(" }, { 112, L"arsinh(" }, { 113, L"cos(" }, { 114, L"arccos(" }, { 115, L"cosh(" },
    { 116, L"arcosh(" }, { 117, L"tan(" }, { 223, L"cot(" }, { 118, L"arctan(" }, { 119, L"tanh(" },
    { 120, L"artanh(" }, { 121, L"exp(" }, { 122, L"ln(" }, { 126, L"log(" }, { 125, L"10^" }, { 130, L"^2" },
    { 133, L"sqr(" }, { IDC_KEY_ROOT, L"sqr(" }, { 123, L"int(" }, { 124, L"abs(" }, { 132, L"sign(" },
    { 127, L"rad(" }, { 128, L"deg(" }, { IDC_KEY_X, L"x" }, { 187, L"A" }, { 195, L"B" }, { 225, L"C" },
    { 227, L"d" }, { 230, L"E" }, { 240, L"F" }, { 155, L"G" }, { IDC_KEY_PI, L"pi" }, { IDC_KEY_E, L"_e" },
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
    InsertKeyText(CString(static_cast<wchar_t>(L'0' + (id - 213))));
}

void CFlnView::InsertKeyText(CString text)
{
    switch (SelectedPage()) {
    case 0:
        InsertText(text);
        break;
    case 1:
        UpdateData(TRUE);
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
