#pragma once
// Dialog data exchange: a window's DoDataExchange names, control by control, which member each
// control shows. UpdateData(FALSE) fills the controls from the members; UpdateData(TRUE) reads
// them back and validates them. A control whose text cannot be read (or a value out of range)
// is reported to the user, gets the focus with its text selected, and the exchange stops: the
// members read so far keep their new values and UpdateData returns FALSE.

#include "platform/base/CString.h"
#include "platform/mfc/Wnd.h"

#include <cfloat>
#include <optional>

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate; // TRUE: controls to members
    CWnd* m_pDlgWnd;

    // The control with that id, remembered as the one a failure points at; a missing control
    // is a programming fault and throws CNotSupportedException.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id); // the same, and a failure selects its text
    // Points the user at the last prepared control and stops the exchange (throws CUserException).
    [[noreturn]] void Fail();

    int m_idLastControl = 0;
    BOOL m_bEditLastControl = FALSE;
};

// The number a text makes as DDX_Text reads a real: a decimal number ("1.5", "-2e3", " .5 ") of at
// most largest in size, no hexadecimal forms, infinities or NaNs; the user's decimal separator
// read as a point too. None when the text makes no such number.
std::optional<double> ReadExchangedNumber(const CString& text, double largest = DBL_MAX);
// The number a text makes as DDX_Text reads an int: a whole decimal number, spaces around it allowed.
std::optional<int> ReadExchangedInteger(const CString& text);

// Text of an edit (or any window text) and the values it reads as.
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, double& value); // shown with 15 significant digits
void DDX_Text(CDataExchange* dx, int id, float& value);  // shown with 6 significant digits

void DDX_Check(CDataExchange* dx, int id, int& value); // 0 unchecked, 1 checked, 2 indeterminate
// The group of radio buttons that starts with control id: value is the index of the checked one, -1 for none.
void DDX_Radio(CDataExchange* dx, int id, int& value);
// Ties the control object to the dialog's control the first time (it subclasses the control).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDX_LBString(CDataExchange* dx, int id, CString& value);

// Validation, right after the DDX_ call of the same control. When filling the controls,
// DDV_MaxChars limits the text the edit or combo box takes.
void DDV_MinMaxInt(CDataExchange* dx, int value, int minimum, int maximum);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minimum, UINT maximum);
void DDV_MinMaxDouble(CDataExchange* dx, const double& value, double minimum, double maximum);
void DDV_MaxChars(CDataExchange* dx, const CString& value, int maximum);
