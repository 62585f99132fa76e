#pragma once
// CApplication: the automation object "FLN.Application". Through it other programs (on the
// session bus) and the VBScript page's scripts read and write the Formula page's formula and
// evaluate it at an x with the page's variables A to G. Without a Formula page (the program was
// started by the bus, with no window) the object keeps a formula of its own.

#include "platform/com/AutomationTarget.h"
#include "platform/mfc/CmdTarget.h"

#include <string>

class CApplication : public CCmdTarget {
    DECLARE_DYNCREATE(CApplication)
public:
    CApplication();
    ~CApplication() override;

    BSTR GetFormula();
    void SetFormula(const wchar_t* text);
    BSTR GetName();
    BSTR GetFormulaString();
    // The longest formula a client may set: evaluating a longer one would hold up the window and
    // every other client for as long as it takes.
    static constexpr size_t MaxFormulaLength = 262144;
    // Raises a clear error, changing nothing, for a formula longer than MaxFormulaLength.
    void SetFormulaString(const wchar_t* text);
    // The formula at x; an invalid formula gives the parser's value (what it read before the
    // error) and raises nothing.
    double GetFormulaResult(double x);
    // Sets *count to 10 and returns x * 10.
    double GetFormulaResultEx(double x, short* count);

    // Objects alive, the application's own included.
    static int LiveCount();

protected:
    void OnFinalRelease() override;
    DECLARE_DISPATCH_MAP()

private:
    std::wstring m_formula; // used only while there is no Formula page
};

// "FLN.Application": {6B2CE2D0-3D3B-4226-B4D5-104AA78E152E}.
extern const CLSID CLSID_FlnApplication;
COleObjectFactory& ApplicationFactory();
