#pragma once
// CNumEdit: an edit control that holds one floating-point number with a range, a step and a
// number of decimals. Its keystroke filter undoes every key that would leave something other than
// a number in range (a lone sign may stay while a number is typed). CNumSpinCtrl: an up-down
// control whose buddy is a CNumEdit; each click steps the buddy's value, so the number is not
// bound to the up-down control's integer range.

#include "platform/base/CString.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/mfc/Wnd.h"

#include <cfloat>

// What CNumEdit::CheckText finds in a text.
enum NumCheck : int {
    NumCheckOk = 0, // a number in range
    NumCheckOutOfRange = 1,
    NumCheckNotANumber = 2, // empty, no number, or something after the number
    NumCheckLoneSign = 3, // "+" or "-" alone: a number being typed
};

// The check of a text against a range, without a window.
NumCheck CheckNumberText(const CString& text, double minimum, double maximum);
// The number at the start of text after blanks (0 without one); the C locale's syntax.
double ReadNumber(const CString& text);
// The fixed-point format that writes value: "%G" gives the count of characters after its point
// (exponent included), which becomes decimals; without a point decimals stay as they were.
CString NumberFormat(double value, BYTE& decimals);

class CNumEdit : public CWnd {
    DECLARE_DYNAMIC(CNumEdit)
public:
    virtual void StepBy(int count);
    virtual double GetDelta() { return m_delta; }
    virtual void SetDelta(double delta) { m_delta = delta; }
    virtual void GetRange(double* minimum, double* maximum);
    virtual void SetRange(double minimum, double maximum);
    virtual int GetShowMessages() { return m_showMessages; }
    virtual void SetShowMessages(int show) { m_showMessages = show; }
    virtual int CheckText(const CString& text);
    virtual int CheckWindowText();
    virtual BOOL SetValue(double value);
    virtual double GetValue();
    virtual CString& GetFormatString(CString& out, double value);

    BYTE Decimals() const { return m_decimals; }

protected:
    void OnChar(UINT character, UINT repeat, UINT flags);
    DECLARE_MESSAGE_MAP()

private:
    void DropQueuedCharacters();

    BYTE m_decimals = 0;
    int m_showMessages = 0;
    double m_delta = 1.0;
    double m_minimum = -DBL_MAX;
    double m_maximum = DBL_MAX;
};

class CNumSpinCtrl : public CWnd {
public:
    virtual void SetDelta(double delta);
    virtual double GetDelta();
    virtual void SetBuddy(CWnd* buddy);
    virtual CWnd* GetBuddy();
    virtual void GetRange(double* lower, double* upper);
    virtual void SetRange(double lower, double upper);
    virtual double GetPos();
    virtual void SetPos(double value);

protected:
    void OnDeltaPos(NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    static constexpr int kRangeTop = 1000;
    static constexpr int kMiddle = 500;

    CNumEdit* NumBuddy();
};
