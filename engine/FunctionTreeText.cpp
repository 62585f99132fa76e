#include "engine/FunctionTreeText.h"

#include "engine/MathHelper.h"

namespace {

bool IsOperator(wchar_t ch)
{
    return ch == L'+' || ch == L'-' || ch == L'*' || ch == L'/' || ch == L'^';
}

bool IsDigit(wchar_t ch)
{
    return (ch >= L'0' && ch <= L'9') || ch == L'.';
}

// A "+" or "-" at index is a binary operator unless it signs the operand that follows another
// operator, or is the exponent sign of a number such as 1.5E+006.
bool IsBinarySign(const CString& text, int index)
{
    if (index == 0)
        return false;
    const wchar_t before = text[index - 1];
    if (IsOperator(before) || before == L'(')
        return false;
    const bool exponentSign = (before == L'E' || before == L'e') && index >= 2 && IsDigit(text[index - 2]);
    return !exponentSign;
}

} // namespace

FormulaTextForm ClassifyFormulaText(const CString& text)
{
    bool sum = false;
    bool product = false;
    bool power = false;
    int depth = 0;
    for (int i = 0; i < text.GetLength(); ++i) {
        const wchar_t ch = text[i];
        if (ch == L'(') {
            ++depth;
        } else if (ch == L')') {
            --depth;
        } else if (depth == 0) {
            if ((ch == L'+' || ch == L'-') && IsBinarySign(text, i))
                sum = true;
            else if (ch == L'*' || ch == L'/')
                product = true;
            else if (ch == L'^')
                power = true;
        }
    }
    if (sum)
        return FormulaTextForm::Sum;
    if (product)
        return FormulaTextForm::Product;
    if (!text.IsEmpty() && (text[0] == L'-' || text[0] == L'+'))
        return FormulaTextForm::Signed;
    if (power)
        return FormulaTextForm::Power;
    return FormulaTextForm::Atom;
}

CString ParenthesizeBelow(const CString& text, FormulaTextForm required)
{
    if (ClassifyFormulaText(text) >= required)
        return text;
    return L"(" + text + L")";
}

CString FunctionNumberText(double value)
{
    return CMathString(value, 6);
}
