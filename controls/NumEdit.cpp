#include "controls/NumEdit.h"

#include "platform/base/MessageBox.h"
#include "platform/user/WinUser.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <string>

namespace {

// A number read as scanf's "%lf" reads it: blanks first, then the longest number. Returns the
// characters used (0 for none); the text must be ASCII to hold a number at all.
size_t ParseNumber(const CString& text, double& value)
{
    std::string narrow;
    for (int i = 0; i < text.GetLength(); ++i) {
        wchar_t c = text[i];
        narrow += c < 0x80 ? static_cast<char>(c) : '\x7F';
    }
    // strtod follows LC_NUMERIC; the program's numbers always use the C locale's point.
    static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    char* end = nullptr;
    value = strtod_l(narrow.c_str(), &end, cLocale);
    return static_cast<size_t>(end - narrow.c_str());
}

bool IsBlankFrom(const CString& text, size_t from)
{
    for (int i = static_cast<int>(from); i < text.GetLength(); ++i) {
        if (!std::iswspace(text[i]))
            return false;
    }
    return true;
}

constexpr const wchar_t* kOutOfRangeText = L"The given value is out of range!\n";
constexpr const wchar_t* kNotANumberText = L"Input characters must be a number!\n";

}

NumCheck CheckNumberText(const CString& text, double minimum, double maximum)
{
    if (text.GetLength() == 1 && (text[0] == L'+' || text[0] == L'-'))
        return NumCheckLoneSign;
    double value = 0;
    const size_t used = ParseNumber(text, value);
    // A number and nothing after it but blanks; not-a-number counts as no number.
    if (used == 0 || !IsBlankFrom(text, used) || std::isnan(value))
        return NumCheckNotANumber;
    return value > maximum || value < minimum ? NumCheckOutOfRange : NumCheckOk;
}

double ReadNumber(const CString& text)
{
    double value = 0;
    return ParseNumber(text, value) ? value : 0.0;
}

CString NumberFormat(double value, BYTE& decimals)
{
    wchar_t general[64];
    swprintf(general, std::size(general), L"%G", value);
    CString shown(general);
    if (int point = shown.Find(L'.'); point >= 0)
        decimals = static_cast<BYTE>(shown.GetLength() - point - 1);
    CString format;
    format.Format(L"%%.%df", decimals);
    return format;
}

IMPLEMENT_DYNAMIC(CNumEdit, CWnd)

BEGIN_MESSAGE_MAP(CNumEdit, CWnd)
ON_WM_CHAR()
END_MESSAGE_MAP()

void CNumEdit::GetRange(double* minimum, double* maximum)
{
    if (minimum)
        *minimum = m_minimum;
    if (maximum)
        *maximum = m_maximum;
}

void CNumEdit::SetRange(double minimum, double maximum)
{
    m_minimum = minimum;
    m_maximum = maximum;
}

int CNumEdit::CheckText(const CString& text)
{
    const NumCheck code = CheckNumberText(text, m_minimum, m_maximum);
    if (m_showMessages && (code == NumCheckOutOfRange || code == NumCheckNotANumber))
        AfxMessageBox(code == NumCheckOutOfRange ? kOutOfRangeText : kNotANumberText, MB_ICONERROR);
    return code;
}

int CNumEdit::CheckWindowText()
{
    return CheckText(GetWindowText());
}

CString& CNumEdit::GetFormatString(CString& out, double value)
{
    out = NumberFormat(value, m_decimals);
    return out;
}

BOOL CNumEdit::SetValue(double value)
{
    if (value > m_maximum || value < m_minimum)
        return FALSE;
    CString format;
    GetFormatString(format, value);
    CString text;
    text.Format(format, value);
    SetWindowText(text);
    return TRUE;
}

double CNumEdit::GetValue()
{
    if (CheckWindowText() != NumCheckOk)
        return 0.0;
    return ReadNumber(GetWindowText());
}

void CNumEdit::StepBy(int count)
{
    double value = GetValue() + count * m_delta;
    if (value > m_maximum)
        value = m_maximum;
    else if (value < m_minimum)
        value = m_minimum;
    SetValue(value);
}

void CNumEdit::OnChar(UINT character, UINT, UINT)
{
    if (character == L' ')
        return;
    const double old = GetValue();
    Default();
    switch (CheckWindowText()) {
    case NumCheckOk: {
        CString ignored;
        GetFormatString(ignored, GetValue()); // only to follow the typed decimals
        break;
    }
    case NumCheckLoneSign:
        break;
    default:
        SetValue(old);
        SendMessage(EM_SETSEL, 0, -1);
        SendMessage(EM_SCROLLCARET);
        DropQueuedCharacters();
        break;
    }
}

// The rest of a typed-ahead sequence goes with the rejected key.
void CNumEdit::DropQueuedCharacters()
{
    MSG message;
    while (::PeekMessageW(&message, m_hWnd, WM_CHAR, WM_CHAR, PM_REMOVE)) {
    }
}

BEGIN_MESSAGE_MAP(CNumSpinCtrl, CWnd)
ON_NOTIFY_REFLECT(UDN_DELTAPOS, OnDeltaPos)
END_MESSAGE_MAP()

CNumEdit* CNumSpinCtrl::NumBuddy()
{
    return DYNAMIC_DOWNCAST(CNumEdit, GetBuddy());
}

void CNumSpinCtrl::SetDelta(double delta)
{
    if (CNumEdit* buddy = NumBuddy())
        buddy->SetDelta(delta);
}

double CNumSpinCtrl::GetDelta()
{
    CNumEdit* buddy = NumBuddy();
    return buddy ? buddy->GetDelta() : 0.0;
}

void CNumSpinCtrl::SetBuddy(CWnd* buddy)
{
    SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy ? buddy->m_hWnd : nullptr));
    if (CNumEdit* numBuddy = NumBuddy())
        numBuddy->SetValue(0.0);
}

CWnd* CNumSpinCtrl::GetBuddy()
{
    return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY)));
}

void CNumSpinCtrl::GetRange(double* lower, double* upper)
{
    if (CNumEdit* buddy = NumBuddy())
        buddy->GetRange(lower, upper);
}

void CNumSpinCtrl::SetRange(double lower, double upper)
{
    SendMessage(UDM_SETRANGE, 0, MAKELPARAM(kRangeTop, 0));
    if (CNumEdit* buddy = NumBuddy())
        buddy->SetRange(lower, upper);
}

double CNumSpinCtrl::GetPos()
{
    CNumEdit* buddy = NumBuddy();
    return buddy ? buddy->GetValue() : 0.0;
}

void CNumSpinCtrl::SetPos(double value)
{
    SendMessage(UDM_SETPOS, 0, MAKELPARAM(kMiddle, 0));
    if (CNumEdit* buddy = NumBuddy())
        buddy->SetValue(value);
}

void CNumSpinCtrl::OnDeltaPos(NMHDR* header, LRESULT* result)
{
    auto* change = reinterpret_cast<NMUPDOWN*>(header);
    // Keep the up-down control in the middle of its range, so it never stops at an end.
    if (change->iPos <= change->iDelta || change->iPos >= kRangeTop - change->iDelta)
        change->iPos = kMiddle;
    if (CNumEdit* buddy = NumBuddy())
        buddy->StepBy(change->iDelta);
    *result = 0;
}
