#include "platform/mfc/DataExchange.h"

#include "platform/base/Exceptions.h"
#include "platform/base/MessageBox.h"
#include "platform/sys/Locale.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cwchar>
#include <cwctype>
#include <optional>
#include <string>

namespace {

// The messages of a failed exchange, as the framework words them.
constexpr const wchar_t* kEnterInteger = L"Please enter an integer.";
constexpr const wchar_t* kEnterPositiveInteger = L"Please enter a positive integer.";
constexpr const wchar_t* kEnterNumber = L"Please enter a number.";

CString WindowText(HWND window)
{
    int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(std::wcslen(text.c_str()));
    return CString(text.c_str());
}

// Sets the text only when it differs, so an unchanged control does not flicker or notify.
void SetWindowTextIfChanged(HWND window, const CString& text)
{
    if (WindowText(window) != text)
        ::SetWindowTextW(window, text);
}

bool OnlySpacesFrom(const wchar_t* p)
{
    while (*p && std::iswspace(*p))
        ++p;
    return *p == L'\0';
}

// A whole decimal integer between the bounds, with spaces around it allowed.
std::optional<long long> ReadInteger(const CString& text, long long minimum, long long maximum, bool signAllowed)
{
    const wchar_t* p = text.GetString();
    while (std::iswspace(*p))
        ++p;
    if (!signAllowed && *p == L'-')
        return std::nullopt;
    const wchar_t* digits = (*p == L'-' || *p == L'+') ? p + 1 : p;
    if (!std::iswdigit(*digits))
        return std::nullopt;
    wchar_t* end = nullptr;
    errno = 0;
    long long value = std::wcstoll(p, &end, 10);
    if (errno == ERANGE || value < minimum || value > maximum || !OnlySpacesFrom(end))
        return std::nullopt;
    return value;
}

[[noreturn]] void Refuse(CDataExchange* dx, const wchar_t* message)
{
    AfxMessageBox(message, MB_ICONEXCLAMATION);
    dx->Fail();
}

template<typename Integer>
void ExchangeInteger(CDataExchange* dx, int id, Integer& value, const wchar_t* format, bool signAllowed, const wchar_t* message)
{
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        auto read = ReadInteger(WindowText(control), std::numeric_limits<Integer>::min(), std::numeric_limits<Integer>::max(), signAllowed);
        if (!read)
            Refuse(dx, message);
        value = static_cast<Integer>(*read);
    } else {
        CString text;
        text.Format(format, value);
        SetWindowTextIfChanged(control, text);
    }
}

template<typename Real>
void ExchangeReal(CDataExchange* dx, int id, Real& value, int digits)
{
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        auto read = ReadExchangedNumber(WindowText(control), std::numeric_limits<Real>::max());
        if (!read)
            Refuse(dx, kEnterNumber);
        value = static_cast<Real>(*read);
    } else {
        CString text;
        text.Format(L"%.*g", digits, static_cast<double>(value));
        SetWindowTextIfChanged(control, text);
    }
}

bool HasClass(HWND window, const wchar_t* name)
{
    wchar_t className[32];
    return ::GetClassNameW(window, className, 32) > 0 && ::wcscasecmp(className, name) == 0;
}

bool IsRadioButton(HWND window)
{
    return ::SendMessageW(window, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON;
}

} // namespace

std::optional<double> ReadExchangedNumber(const CString& text, double largest)
{
    std::wstring number(text.GetString());
    const std::wstring separator = CurrentNumberLocale().decimal;
    if (separator.size() == 1 && separator[0] != L'.')
        std::replace(number.begin(), number.end(), separator[0], L'.');
    const wchar_t* p = number.c_str();
    while (std::iswspace(*p))
        ++p;
    for (const wchar_t* q = p; *q && !std::iswspace(*q); ++q) {
        if (!std::iswdigit(*q) && !std::wcschr(L"+-.eE", *q))
            return std::nullopt;
    }
    wchar_t* end = nullptr;
    double value = std::wcstod(p, &end);
    if (end == p || !OnlySpacesFrom(end) || !std::isfinite(value) || std::fabs(value) > largest)
        return std::nullopt;
    return value;
}

std::optional<int> ReadExchangedInteger(const CString& text)
{
    const auto read = ReadInteger(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), true);
    return read ? std::optional<int>(static_cast<int>(*read)) : std::nullopt;
}

HWND CDataExchange::PrepareCtrl(int id)
{
    HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    if (!control)
        AfxThrowNotSupportedException(); // the template has no such control
    m_idLastControl = id;
    m_bEditLastControl = FALSE;
    return control;
}

HWND CDataExchange::PrepareEditCtrl(int id)
{
    HWND control = PrepareCtrl(id);
    m_bEditLastControl = TRUE;
    return control;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_idLastControl) {
        HWND control = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl);
        ::SetFocus(control);
        if (m_bEditLastControl)
            ::SendMessageW(control, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    HWND control = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = WindowText(control);
    else
        SetWindowTextIfChanged(control, value);
}

void DDX_Text(CDataExchange* dx, int id, int& value) { ExchangeInteger(dx, id, value, L"%d", true, kEnterInteger); }
void DDX_Text(CDataExchange* dx, int id, long& value) { ExchangeInteger(dx, id, value, L"%ld", true, kEnterInteger); }
void DDX_Text(CDataExchange* dx, int id, UINT& value) { ExchangeInteger(dx, id, value, L"%u", false, kEnterPositiveInteger); }
void DDX_Text(CDataExchange* dx, int id, double& value) { ExchangeReal(dx, id, value, DBL_DIG); }
void DDX_Text(CDataExchange* dx, int id, float& value) { ExchangeReal(dx, id, value, FLT_DIG); }

void DDX_Check(CDataExchange* dx, int id, int& value)
{
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2)
            value = 0;
        ::SendMessageW(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_Radio(CDataExchange* dx, int id, int& value)
{
    HWND first = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    for (HWND control = first; control; control = ::GetWindow(control, GW_HWNDNEXT)) {
        if (control != first && (::GetWindowLongW(control, GWL_STYLE) & WS_GROUP))
            break; // the next group begins
        if (!IsRadioButton(control))
            continue;
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageW(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.m_hWnd)
        return;
    HWND window = dx->PrepareCtrl(id);
    if (!control.SubclassWindow(window))
        AfxThrowNotSupportedException();
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index)
{
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageW(control, CB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_CBString(CDataExchange* dx, int id, CString& value)
{
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) {
        value = WindowText(control); // the edit's text, or a drop-down list's selected item
        return;
    }
    // The item that begins with the text is selected; a combo with an edit shows any text.
    if (::SendMessageW(control, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString())) == CB_ERR
        && (::GetWindowLongW(control, GWL_STYLE) & 0x3) != CBS_DROPDOWNLIST)
        SetWindowTextIfChanged(control, value);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index)
{
    HWND control = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        index = static_cast<int>(::SendMessageW(control, LB_GETCURSEL, 0, 0));
    else
        ::SendMessageW(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_LBString(CDataExchange* dx, int id, CString& value)
{
    HWND control = dx->PrepareCtrl(id);
    if (!dx->m_bSaveAndValidate) {
        ::SendMessageW(control, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.GetString()));
        return;
    }
    value.Empty();
    LRESULT index = ::SendMessageW(control, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return;
    LRESULT length = ::SendMessageW(control, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR)
        return;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(control, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    value = text.c_str();
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum)
{
    if (!dx->m_bSaveAndValidate || (value >= minimum && value <= maximum))
        return;
    CString message;
    message.Format(L"Please enter an integer between %d and %d.", minimum, maximum);
    Refuse(dx, message);
}

void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minimum, UINT maximum)
{
    if (!dx->m_bSaveAndValidate || (value >= minimum && value <= maximum))
        return;
    CString message;
    message.Format(L"Please enter an integer between %u and %u.", minimum, maximum);
    Refuse(dx, message);
}

void DDV_MinMaxDouble(CDataExchange* dx, const double& value, double minimum, double maximum)
{
    if (!dx->m_bSaveAndValidate || (value >= minimum && value <= maximum))
        return;
    CString message;
    message.Format(L"Please enter a number between %.*g and %.*g.", DBL_DIG, minimum, DBL_DIG, maximum);
    Refuse(dx, message);
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maximum)
{
    HWND control = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, dx->m_idLastControl);
    if (!dx->m_bSaveAndValidate) {
        if (HasClass(control, L"Edit"))
            ::SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(maximum), 0);
        else if (HasClass(control, L"ComboBox"))
            ::SendMessageW(control, CB_LIMITTEXT, static_cast<WPARAM>(maximum), 0);
        return;
    }
    if (value.GetLength() <= maximum)
        return;
    CString message;
    message.Format(L"Please enter no more than %d characters.", maximum);
    Refuse(dx, message);
}
