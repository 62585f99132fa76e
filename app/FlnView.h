#pragma once
// CFlnView: the Formula page. A form view on dialog 269 that holds the formula, the variables A to
// G and x, the x interval of the graph and the display settings, and computes the formula when
// the user presses "=". Its work is split by subject over FlnView*.cpp: the data and "=" road
// (FlnView.cpp), the result texts (FlnViewDisplay.cpp), the output channels (FlnViewOutput.cpp), the
// derivative and root tabs (FlnViewPages.cpp), the keypad (FlnViewKeys.cpp), the picture keys and
// drop-down buttons (FlnViewButtons.cpp), and the smaller commands with the tooltips
// (FlnViewCommands.cpp); the edit, font and tooltip commands it shares with the Date & Time page are
// CCalculatorPage's. What it needs of the main window it asks through CFlnPageHost.

#include "app/CalculatorPage.h"
#include "app/CentredControls.h"
#include "app/IniFile.h"
#include "commandbars/MenuButton.h"
#include "controls/ValidEdit.h"
#include "engine/FormulaInputs.h"
#include "engine/MathHelper.h"
#include "platform/mfc/ControlWrappers.h"
#include "platform/mfc/Menu.h"
#include "res/FormulaPage.h"

#include <array>
#include <functional>

class CFlnPageHost;
struct IVTxtAuto;

class CFlnView : public CCalculatorPage {
    DECLARE_DYNCREATE(CFlnView)
public:
    enum { IDD = IDD_FORMULA };

    // Where FormatResult puts a text.
    enum class ResultTarget { OutputLine = 1, StatusBar = 2 };
    // How the output line shows a value: the display buttons.
    enum class DisplayMode { Decimal = 1, RomanShort, RomanLong, Fraction, Hex, Octal, Binary };
    // The pages of the page tabs.
    enum class Tab { Input = 0, Derivative = 1, Root = 2 };

    CFlnView();
    ~CFlnView() override;

    // ---- values exchanged with the dialog
    CString m_strFormula;
    double m_dA = 1.0;
    double m_dB = 1.0;
    double m_dC = 1.0;
    double m_dD = 1.0;
    double m_dE = 1.0;
    double m_dF = 1.0;
    double m_dG = 1.0;
    double m_dX = 0.0123;
    int m_nDigits = 4;
    double m_dXA = -12.0;
    double m_dXB = 12.0;
    CString m_strPhysConstValue;

    // ---- other state
    CString m_strFormulaEntered; // the text as typed before a parse error normalised it
    CString m_strLastFormula;    // the formula the derivative and root pages work on
    CString m_strDerivative;
    Tab m_nShownPage = Tab::Input;
    BOOL m_bVerify = TRUE;
    DisplayMode m_nDisplayMode = DisplayMode::Decimal;
    NumberFormatMode m_nNumberFormat = NumberFormatFloating; // Floating, Scientific, Engineering, Technical or Words
    int m_nFormatOption = 2;     // exponent digits, handed to the formatter as it is
    int m_nInsertTarget = 0;     // where a chosen constant goes: 0 the constant field, 1..7 A..G
    CString m_strStatusText;
    CString m_strOutputText;
    CIniFile m_iniParam;
    // While content is loaded the fields change without their handlers' reactions: no exchange that
    // could raise a message box, no calculation.
    bool m_bLoadingContent = false;
    // While the digit field's change recomputes the result, the focus stays in that field for the
    // next digit typed.
    bool m_bFocusStays = false;

    // The variables A to G in order.
    std::array<double*, FormulaInputs::ConstantCount> Variables()
    {
        return { &m_dA, &m_dB, &m_dC, &m_dD, &m_dE, &m_dF, &m_dG };
    }
    // The members' formula, x, A to G and interval, as the last exchange with the dialog left them,
    // with the formula given.
    FormulaInputs InputsWith(const CString& formula) const;
    // The inputs as the fields show them now, for readers that must not disturb the page (the
    // graph): no exchange, no message box, the formula as typed. A field whose text is no number
    // gives its member's value.
    FormulaInputs CurrentInputs() const;
    // Puts m_strFormula into the input field and touches no other field.
    void ShowFormula();

    // Colours of the formula input after a parse error and on the derivative page (the normal one
    // and the error texts' are the base's).
    static constexpr COLORREF InputErrorColour = RGB(252, 189, 176);
    static constexpr COLORREF InputDerivativeColour = RGB(200, 200, 200);

    // ---- the "=" road
    void OnKeyEquals();
    // TRUE when the parser reported no error.
    BOOL CalculateAndVerify(CString formula, BOOL normalise);
    void OnReturnButton();

    // ---- result texts
    void FormatResult(ResultTarget target, CString text, double value);
    void OutputResult(CString text, COLORREF colour, int points);
    // What the shared-memory block gets for the text shown in the output line.
    CString SharedMemoryText(const CString& shown) const;

    // ---- derivative and root pages
    // The root search on the formula of the last calculation; the report text.
    CString SolveRoot(float* left, float* right);
    static float RootFunction(float x);

    // ---- keys
    void InsertKeyText(CString text);
    void InsertText(CString text);

    void OnInitialUpdate() override;
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    void DoDataExchange(CDataExchange* exchange) override;
    CColorEdit& InputLine() override { return m_editFormula; }
    // The edit commands act on the page's edit field that has the focus (a variable, x, the
    // interval, the digit count), and on the formula input when the focus is anywhere else.
    HWND EditCommandTarget() override;
    void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    Tab SelectedPage() const;
    void BindControls();
    void SetInputBackground(COLORREF colour);
    // The focus goes to the formula input after a calculation, unless it is to stay where it is.
    void FocusInput();
    void ShowParseError(int position, const CString& errorText);
    void Verify(const CString& formula, double parserValue);
    // Runs the action; an exception it throws is shown as an error text in the output line.
    void Guarded(const std::function<void()>& action);

    // The voice's Speak with a text; its result.
    static HRESULT Say(IVTxtAuto& voice, const CString& text, LONG flags);
    void SwitchSpeechOff(CFlnPageHost& host, HRESULT reason);

    // The output line alone, without the outputs for other programs; returns the text shown.
    CString ShowOutput(const CString& text, COLORREF colour, int points);

    void OnTabSelChange(NMHDR* header, LRESULT* result);
    void ShowPage(Tab page);
    // Takes x, A to G and the interval as the fields show them into the members, leaving the
    // formula, whose field may hold a derivative or a root report.
    void TakeTypedNumbers();

    // The keypad: TRUE when id is a key.
    BOOL OnKey(UINT id) override;
    void OnKeyDigit(UINT id);

    // The bitmap keys and the drop-down buttons.
    void AttachToolkitButtons();

    void OnDisplayMode(UINT id);
    void OnNumberFormat(UINT id);
    void OnUpdateNumberFormat(CCmdUI* ui);
    void OnDigitsChange();
    static bool IsInsertTargetButton(UINT id);
    void OnInsertTarget(UINT id);
    void OnPhysConst(UINT id);
    void OnInsertConstantName();
    void OnCopyOutput();
    void OnOutputToVoice();
    void OnUpdateOutputToVoice(CCmdUI* ui);
    void OnStopSpeech();
    void OnOutputToSharedMemory();
    void OnUpdateOutputToSharedMemory(CCmdUI* ui);
    void OnVerify();
    void OnUpdateVerify(CCmdUI* ui);
    LRESULT OnAnswerZero(WPARAM, LPARAM) { return 0; }

    // The tooltip window with the tips of the page's controls.
    void BuildTooltips();

    CColorEdit m_editFormula;
    CLabel m_labelOutput;
    CTabCtrl m_tabPages;
    std::array<CVisValidEdit, 11> m_validEdits;
    std::array<CNumSpinCtrl, 8> m_numSpins;
    CSpinButtonCtrl m_spinDigits;
    CButton m_buttonDec;
    CMenu m_menuPhysConst;
    CMenu m_menuNumberFormat;
    CentredControls m_centred;
    std::array<divuzura::foundation::SECBitmapButton, 4> m_pictureKeys;
    std::array<divuzura::foundation::SECMenuButton, 8> m_constantButtons;
    divuzura::foundation::SECMenuButton m_numberFormatButton;
};
