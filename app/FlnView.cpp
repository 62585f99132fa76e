// The Formula page's data, its form, and the road of one calculation ("=").

#include "app/FlnView.h"

#include "app/FlnPageHost.h"
#include "engine/FormulaEngine.h"
#include "engine/FunctionTree.h"
#include "engine/MathHelper.h"
#include "platform/base/Exceptions.h"
#include "platform/base/StringFormat.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/mfc/DataExchange.h"
#include "platform/mfc/Frame.h"
#include "res/FormulaPage.h"

#include <exception>
#include <iterator>

namespace {

constexpr const wchar_t* DefaultFormula = L"{x^2 + exp[a * log(abs(x))]} * sin(x)";
// How long the balloon of a failed verification stays, in milliseconds.
constexpr unsigned VerificationBalloonTimeout = 20000;
constexpr float LargestFloat = 3.4028234663852886e+38f;

// The validated edits with the length range and the input type each takes.
struct ValidatedField {
    UINT id;
    int minLength;
    int maxLength;
    int inputType;
};
constexpr int AnyLength = -1;
constexpr ValidatedField ValidatedFields[] = {
    { IDC_VALUE_A, 1, 16, InputFloat }, { IDC_VALUE_B, 1, 16, InputFloat }, { IDC_VALUE_C, 1, 16, InputFloat },
    { IDC_VALUE_D, 1, 16, InputFloat }, { IDC_VALUE_E, 1, 16, InputFloat }, { IDC_VALUE_F, 1, 16, InputFloat },
    { IDC_VALUE_G, 1, 16, InputFloat }, { IDC_VALUE_X, 1, 16, InputFloat }, { IDC_DIGITS, AnyLength, AnyLength, InputDecimal },
    { IDC_VALUE_XA, 1, 8, InputFloat }, { IDC_VALUE_XB, 1, 8, InputFloat },
};

// The up-downs of A to G and x with the edits they drive.
struct SpinAndBuddy {
    UINT spin;
    UINT buddy;
};
constexpr SpinAndBuddy NumberSpins[] = {
    { IDC_SPIN_A, IDC_VALUE_A }, { IDC_SPIN_B, IDC_VALUE_B }, { IDC_SPIN_C, IDC_VALUE_C }, { IDC_SPIN_D, IDC_VALUE_D },
    { IDC_SPIN_E, IDC_VALUE_E }, { IDC_SPIN_F, IDC_VALUE_F }, { IDC_SPIN_G, IDC_VALUE_G }, { IDC_SPIN_X, IDC_VALUE_X },
};

CString Printed(const wchar_t* format, auto... values)
{
    return CString(FormatWide(format, values...).c_str());
}

bool ContainsX(const CString& formula)
{
    return formula.Find(L'x') >= 0 || formula.Find(L'X') >= 0;
}

} // namespace

IMPLEMENT_DYNCREATE(CFlnView, CCalculatorPage)

CFlnView::CFlnView()
    : CCalculatorPage(IDD)
    , m_strFormula(DefaultFormula)
    , m_strPhysConstValue(L"9.80665")
    , m_strLastFormula(DefaultFormula)
    , m_strStatusText(L"---")
{
}

CFlnView::~CFlnView() = default;

BEGIN_MESSAGE_MAP(CFlnView, CCalculatorPage)
    ON_WM_SIZE()
    ON_COMMAND(IDC_KEY_EQUALS, OnKeyEquals)
    ON_COMMAND(IDC_RETURN, OnReturnButton)
    ON_COMMAND_RANGE(IDC_KEY_0, IDC_KEY_9, OnKeyDigit)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_MODE_ROMAN_LONG, IDC_MODE_DEC, OnDisplayMode)
    ON_CONTROL_RANGE(BN_CLICKED, IDC_MODE_FRAC, IDC_MODE_BIN, OnDisplayMode)
    ON_COMMAND_RANGE(ID_FORMAT_FLOATING, ID_FORMAT_TECHNICAL, OnNumberFormat)
    ON_COMMAND_RANGE(ID_FORMAT_WORDS, ID_FORMAT_WORDS, OnNumberFormat)
    ON_UPDATE_COMMAND_UI_RANGE(ID_FORMAT_FLOATING, ID_FORMAT_TECHNICAL, OnUpdateNumberFormat)
    ON_UPDATE_COMMAND_UI(ID_FORMAT_WORDS, OnUpdateNumberFormat)
    ON_EN_CHANGE(IDC_DIGITS, OnDigitsChange)
    ON_NOTIFY(TCN_SELCHANGE, IDC_PAGE_TABS, OnTabSelChange)
    ON_COMMAND_RANGE(IDC_PHYS_SELECT, IDC_PHYS_SELECT, OnInsertTarget)
    ON_COMMAND_RANGE(IDC_PHYS_TO_A, IDC_PHYS_TO_A, OnInsertTarget)
    ON_COMMAND_RANGE(IDC_PHYS_TO_B, IDC_PHYS_TO_B, OnInsertTarget)
    ON_COMMAND_RANGE(IDC_PHYS_TO_C, IDC_PHYS_TO_C, OnInsertTarget)
    ON_COMMAND_RANGE(IDC_PHYS_TO_D, IDC_PHYS_TO_D, OnInsertTarget)
    ON_COMMAND_RANGE(IDC_PHYS_TO_E, IDC_PHYS_TO_E, OnInsertTarget)
    ON_COMMAND_RANGE(IDC_PHYS_TO_F, IDC_PHYS_TO_F, OnInsertTarget)
    ON_COMMAND_RANGE(IDC_PHYS_TO_G, IDC_PHYS_TO_G, OnInsertTarget)
    ON_COMMAND_RANGE(ID_PHYS_CONST_FIRST, ID_PHYS_CONST_LAST, OnPhysConst)
    ON_COMMAND(IDC_PHYS_NAME, OnInsertConstantName)
    ON_COMMAND(IDC_COPY_OUTPUT, OnCopyOutput)
    ON_COMMAND(ID_OUTPUT_VOICE, OnOutputToVoice)
    ON_UPDATE_COMMAND_UI(ID_OUTPUT_VOICE, OnUpdateOutputToVoice)
    ON_COMMAND(ID_STOP_SPEECH, OnStopSpeech)
    ON_COMMAND(ID_OUTPUT_SHARED_MEMORY, OnOutputToSharedMemory)
    ON_UPDATE_COMMAND_UI(ID_OUTPUT_SHARED_MEMORY, OnUpdateOutputToSharedMemory)
    ON_COMMAND(ID_VIEW_VERIFY, OnVerify)
    ON_UPDATE_COMMAND_UI(ID_VIEW_VERIFY, OnUpdateVerify)
    ON_MESSAGE(WM_VALIDITY_CHANGED, OnAnswerZero)
    ON_MESSAGE(WM_VALIDATION_CHANGED, OnAnswerZero)
END_MESSAGE_MAP()

// The form stays centred as a whole rather than growing with the view.
void CFlnView::OnSize(UINT type, int cx, int cy)
{
    CScrollView::OnSize(type, cx, cy);
    // The scroll bars that came or went may have changed the client area since this message.
    RECT client {};
    ::GetClientRect(m_hWnd, &client);
    if (type != SIZE_MAXSHOW && type != SIZE_MAXHIDE)
        m_centred.Layout(client.right, client.bottom);
}

void CFlnView::DoDataExchange(CDataExchange* exchange)
{
    CCalculatorPage::DoDataExchange(exchange);
    DDX_Text(exchange, IDC_FORMULA, m_strFormula);
    const auto variables = Variables();
    for (size_t i = 0; i < variables.size(); ++i)
        DDX_Text(exchange, static_cast<int>(ConstantFieldIds[i]), *variables[i]);
    DDX_Text(exchange, IDC_VALUE_X, m_dX);
    DDX_Text(exchange, IDC_DIGITS, m_nDigits);
    DDX_Text(exchange, IDC_VALUE_XA, m_dXA);
    DDX_Text(exchange, IDC_VALUE_XB, m_dXB);
    DDX_Text(exchange, IDC_PHYS_VALUE, m_strPhysConstValue);
}

CFlnView::Tab CFlnView::SelectedPage() const
{
    return static_cast<Tab>(::SendMessageW(Item(IDC_PAGE_TABS), TCM_GETCURSEL, 0, 0));
}

FormulaInputs CFlnView::InputsWith(const CString& formula) const
{
    FormulaInputs inputs;
    inputs.formula = formula;
    inputs.x = m_dX;
    inputs.constants = { m_dA, m_dB, m_dC, m_dD, m_dE, m_dF, m_dG };
    inputs.xa = m_dXA;
    inputs.xb = m_dXB;
    return inputs;
}

FormulaInputs CFlnView::CurrentInputs() const
{
    FormulaInputs inputs = InputsWith(m_strFormula);
    if (!m_hWnd)
        return inputs;
    auto fieldText = [this](UINT id) {
        const CWnd* field = GetDlgItem(static_cast<int>(id));
        return field ? field->GetWindowText() : CString();
    };
    // The number the text makes as the exchange reads it; otherwise the member's value.
    auto read = [&](UINT id, double& value) { value = ReadExchangedNumber(fieldText(id)).value_or(value); };
    if (Item(IDC_FORMULA))
        inputs.formula = fieldText(IDC_FORMULA);
    read(IDC_VALUE_X, inputs.x);
    for (size_t i = 0; i < inputs.constants.size(); ++i)
        read(ConstantFieldIds[i], inputs.constants[i]);
    read(IDC_VALUE_XA, inputs.xa);
    read(IDC_VALUE_XB, inputs.xb);
    return inputs;
}

void CFlnView::ShowFormula()
{
    if (HWND input = m_hWnd ? Item(IDC_FORMULA) : nullptr)
        ::SetWindowTextW(input, m_strFormula);
}

void CFlnView::OnInitialUpdate()
{
    CCalculatorPage::OnInitialUpdate();
    BindControls();
    GetDlgItem(IDC_RETURN)->ShowWindow(SW_HIDE);

    for (size_t i = 0; i < std::size(NumberSpins); ++i) {
        CNumSpinCtrl& spin = m_numSpins[i];
        spin.SubclassDlgItem(NumberSpins[i].spin, this);
        spin.SetBuddy(GetDlgItem(NumberSpins[i].buddy));
        spin.SetRange(-LargestFloat, LargestFloat);
        spin.SetPos(1.0);
        spin.SetDelta(1.0);
    }
    m_spinDigits.SubclassDlgItem(IDC_SPIN_DIGITS, this);
    m_spinDigits.SetBuddy(GetDlgItem(IDC_DIGITS));
    m_spinDigits.SetRange(-15, 15);
    m_spinDigits.SetBase(10);
    m_spinDigits.SetPos(4);
    m_buttonDec.SetCheck(1);

    for (size_t i = 0; i < std::size(ValidatedFields); ++i) {
        const ValidatedField& field = ValidatedFields[i];
        CVisValidEdit& edit = m_validEdits[i];
        if (field.maxLength > 0)
            edit.SetLengthRange(field.minLength, field.maxLength);
        edit.SetInputType(field.inputType);
        edit.Rules().parentValidation = false;
        edit.Revalidate(0);
    }

    PutFramesBeneathControls({ IDC_PAGE_TABS, IDC_GROUP_FUNCTIONS, IDC_GROUP_NUMERIC, IDC_GROUP_CONSTANTS,
        IDC_GROUP_INTERVAL, IDC_GROUP_PHYSICAL });
    m_tabPages.InsertItem(0, L"Input, f(x)");
    m_tabPages.InsertItem(1, L"f'(x)");
    m_tabPages.InsertItem(2, L"f(x)=0");

    SetUpOutputLine(m_labelOutput, L"0.0000");
    SetUpInputLine(InputNormalColour);

    AttachToolkitButtons();

    // Every control keeps its size and its offset from the centre of the view.
    // The first start fits the frame to the form; it only shrinks, so a stored larger size stays.
    if (CFrameWnd* frame = GetParentFrame())
        frame->RecalcLayout();
    ResizeParentToFit(TRUE);
    m_centred.Record(m_hWnd, GetTotalSize());
    RECT client {};
    ::GetClientRect(m_hWnd, &client);
    m_centred.Layout(client.right, client.bottom);

    BuildTooltips();
    m_editFormula.SetFocus();
}

// The member controls take over their dialog controls once, before the first exchange of values.
void CFlnView::BindControls()
{
    m_editFormula.SubclassDlgItem(IDC_FORMULA, this);
    m_labelOutput.SubclassDlgItem(IDC_OUTPUT, this);
    m_tabPages.SubclassDlgItem(IDC_PAGE_TABS, this);
    m_buttonDec.SubclassDlgItem(IDC_MODE_DEC, this);
    for (size_t i = 0; i < std::size(ValidatedFields); ++i)
        m_validEdits[i].SubclassDlgItem(ValidatedFields[i].id, this);
}

void CFlnView::SetInputBackground(COLORREF colour)
{
    m_editFormula.SetBackColor(colour);
    m_editFormula.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void CFlnView::OnKeyEquals()
{
    CFlnPageHost* host = Host();
    if (host && !host->IsReady())
        return;
    const Tab page = SelectedPage();
    // A refused field is marked and nothing is computed; pushing the members back now would put
    // old values over what the user typed in the other fields.
    if (!UpdateData(TRUE))
        return;
    if (page == Tab::Input) {
        m_strLastFormula = m_strFormula;
        Guarded([this] { CalculateAndVerify(m_strFormula, TRUE); });
    }
    UpdateData(FALSE);
    FocusInput();
    if (host && host->QuitAfterCalculation())
        PostQuitMessage(0);
}

void CFlnView::FocusInput()
{
    if (!m_bFocusStays)
        m_editFormula.SetFocus();
}

void CFlnView::Guarded(const std::function<void()>& action)
{
    CString failure;
    try {
        action();
        return;
    } catch (CException* error) {
        wchar_t text[256] {};
        error->GetErrorMessage(text, std::size(text));
        error->Delete();
        failure = text;
    } catch (const std::exception& error) {
        failure = CString(error.what());
    }
    if (failure.IsEmpty())
        failure = L"the operation failed";
    // Only on the line: the outputs for other programs may be what failed.
    ShowOutput(L"Error: " + failure, ErrorColour, 11);
}

BOOL CFlnView::CalculateAndVerify(CString formula, BOOL normalise)
{
    if (formula.IsEmpty())
        return FALSE;
    int errorPosition = 0;
    CString errorText;
    const double value =
        InputsWith(formula).Calculate(GetFormulaEngine().FormulaParser, &errorPosition, &errorText, normalise);
    FocusInput();

    if (errorPosition != 0) {
        ShowParseError(errorPosition, errorText);
        return FALSE;
    }
    if (!errorText.IsEmpty()) {
        FormatResult(ResultTarget::OutputLine, L"Data Error 5", value);
        FormatResult(ResultTarget::StatusBar, L"Parser Error: " + errorText, 0.0);
        MessageBeep(MB_ICONASTERISK);
    } else {
        GetDlgItem(IDC_RETURN)->ShowWindow(SW_HIDE);
        SetInputBackground(InputNormalColour);
        const CString status = ContainsX(formula) ? Printed(L"f(%lf) = %.15E", m_dX, value)
                                                  : Printed(L"Result = %.15E", value);
        FormatResult(ResultTarget::StatusBar, status, 0.0);
        FormatResult(ResultTarget::OutputLine, Printed(L"%.15lf", value), value);
        if (m_bVerify)
            Verify(formula, value);
    }
    m_editFormula.SendMessage(EM_SETSEL, EndOfText, EndOfText);
    m_editFormula.SendMessage(EM_SCROLLCARET, 0, 0);
    return errorText.IsEmpty();
}

void CFlnView::ShowParseError(int position, const CString& errorText)
{
    GetDlgItem(IDC_RETURN)->ShowWindow(SW_SHOW);
    FormatResult(ResultTarget::OutputLine, L"Data Error 6", 0.0);
    FormatResult(ResultTarget::StatusBar, errorText, 0.0);
    m_tabPages.SetCurSel(static_cast<int>(Tab::Input));
    SetInputBackground(InputErrorColour);

    m_strFormulaEntered = m_strFormula;
    GetFormulaEngine().FormulaParser.NormalizeFormula(m_strFormula);
    UpdateData(FALSE);

    m_editFormula.SendMessage(EM_SETSEL, static_cast<WPARAM>(position - 1), position);
    m_editFormula.SendMessage(EM_SCROLLCARET, 0, 0);
    MessageBeep(MB_ICONASTERISK);

    const LRESULT corner = m_editFormula.SendMessage(EM_POSFROMCHAR, static_cast<WPARAM>(position - 1), 0);
    const POINT anchor { static_cast<short>(LOWORD(corner)) + 5, static_cast<short>(HIWORD(corner)) + m_nFontSize + 5 };
    ShowBalloon(L"Data Error 7", errorText, anchor, 0, &m_editFormula);
}

// Computes the formula a second time on its function tree; the two results must be the same
// double, bit for bit.
void CFlnView::Verify(const CString& formula, double parserValue)
{
    int error = 0;
    const double treeValue = EvaluateTree(formula, m_dX, &error);
    if (parserValue == treeValue)
        return;
    CString parserText;
    CString treeText;
    CMathHelper::FormatValue(&parserText, 0, parserValue, 0, m_nNumberFormat, m_nDigits, m_nFormatOption, 0, 0);
    CMathHelper::FormatValue(&treeText, 0, treeValue, 0, m_nNumberFormat, m_nDigits, m_nFormatOption, 0, 0);
    if (parserText.Find(L"Error") < 0 && treeText.Find(L"Error") < 0) {
        OutputResult(parserText + L" != " + treeText, ErrorColour, 10);
        ShowBalloon(L"Verification Function",
            L"Verification gets another result. Please check formula or set e.g. parenthesis.",
            CentreOf(m_labelOutput.m_hWnd), VerificationBalloonTimeout);
    }
    FormatResult(ResultTarget::StatusBar, Printed(L"Verify = %E", treeValue), 0.0);
}

void CFlnView::OnReturnButton()
{
    if (SelectedPage() != Tab::Input)
        return;
    Guarded([this] {
        if (!UpdateData(TRUE))
            return;
        GetDlgItem(IDC_RETURN)->ShowWindow(SW_HIDE);
        m_strFormula = m_strFormulaEntered;
        UpdateData(FALSE);
        SetInputBackground(InputNormalColour);
        m_editFormula.SetFocus();
    });
}
