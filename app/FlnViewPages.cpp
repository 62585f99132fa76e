// The three pages of the page tabs: the input, the derivative of the formula and its root.

#include "app/FlnView.h"

#include "engine/FormulaEngine.h"
#include "engine/FunctionTree.h"
#include "engine/RootFinder.h"
#include "platform/base/StringFormat.h"
#include "res/FormulaPage.h"

#include <cmath>
#include <limits>

namespace {

CString Printed(const wchar_t* format, auto... values)
{
    return CString(FormatWide(format, values...).c_str());
}

// The first evaluation problem met by the root search, with the x where it was met.
struct RootSearchProblem {
    bool met = false;
    float x = 0;
    CString text;
};

// What the root search's function reads: the search takes a plain function.
struct RootSearch {
    FormulaInputs inputs;
    RootSearchProblem problem;
};
RootSearch g_rootSearch;

} // namespace

// The formula of the last calculation at x. A point where the formula has no value (a parse
// problem, a zero divisor, a function outside its domain) gives NaN, which is no sign change,
// and is kept for the report.
float CFlnView::RootFunction(float x)
{
    g_rootSearch.inputs.x = x;
    int errorPosition = 0;
    CString errorText;
    const double value = g_rootSearch.inputs.Calculate(GetFormulaEngine().FormulaParser, &errorPosition, &errorText, TRUE);
    if (errorPosition == 0 && errorText.IsEmpty())
        return static_cast<float>(value);
    if (!g_rootSearch.problem.met)
        g_rootSearch.problem = { true, x, errorText };
    return std::numeric_limits<float>::quiet_NaN();
}

CString CFlnView::SolveRoot(float* left, float* right)
{
    // The formula and the constants of the calculation that came before.
    g_rootSearch = { FormulaInputs::LastApplied(), {} };
    float valueAtRoot = 0;
    int iterations = 0;
    const int code = FindRootPegasus(&CFlnView::RootFunction, left, right, &valueAtRoot, &iterations);

    const RootSearchProblem& problem = g_rootSearch.problem;
    CString report = L"Formula: " + g_rootSearch.inputs.formula + L"\r\n";
    if (problem.met) {
        report += Printed(L"Error: the formula has no value at x= %.15lf: ", static_cast<double>(problem.x))
            + problem.text + L"\r\n";
    } else if (code == RootNotBracketed) {
        report += L"Error: Term not fulfilled: f(x2) * f(x1) < 0\r\n";
    } else if (code == RootNoFunction) {
        report += L"Error: Inadmissible input parameter!\r\n";
    } else {
        const CString root = Printed(L"%.15lf", static_cast<double>(*right));
        const CString value = Printed(L"%.15E", static_cast<double>(valueAtRoot));
        report += L"Root: x= " + root + L"\r\nFunction value: f(x=" + root + L") = " + value
            + Printed(L"\r\nIterations:  %d\r\n", iterations);
        if (code == RootIntervalConverged)
            report += L"Cancel with ABS(xnew-xold) < ABSERR + xnew * RELERR, please check function value!\r\n";
        else if (code == RootNoConvergence)
            report += L"Iterations maximum reached!\r\n";
        FormatResult(ResultTarget::OutputLine, root, *right);
        FormatResult(ResultTarget::StatusBar, L"f(x=" + root + L") = " + value + L" == 0 ?", 0.0);
    }
    report += Printed(L"Return code: %d\r\n", code);
    return report;
}

void CFlnView::OnTabSelChange(NMHDR*, LRESULT* result)
{
    *result = 0;
    Guarded([this] { ShowPage(static_cast<Tab>(m_tabPages.GetCurSel())); });
}

void CFlnView::TakeTypedNumbers()
{
    const FormulaInputs typed = CurrentInputs();
    m_dX = typed.x;
    const auto variables = Variables();
    for (size_t i = 0; i < variables.size(); ++i)
        *variables[i] = typed.constants[i];
    m_dXA = typed.xa;
    m_dXB = typed.xb;
}

void CFlnView::ShowPage(Tab page)
{
    if ((page == Tab::Derivative || page == Tab::Root) && m_nShownPage == Tab::Input) {
        // A refused field keeps the input page up, with every field as the user left it.
        if (!UpdateData(TRUE)) {
            m_tabPages.SetCurSel(static_cast<int>(Tab::Input));
            return;
        }
        m_strLastFormula = m_strFormula;
    } else if (m_nShownPage != Tab::Input) {
        // What the user typed on the derivative or root page, which the push below would undo.
        TakeTypedNumbers();
    }
    CWnd* equals = GetDlgItem(IDC_KEY_EQUALS);
    if (page == Tab::Input) {
        SetInputBackground(InputNormalColour);
        equals->EnableWindow(TRUE);
        m_strFormula = m_strLastFormula;
        m_nShownPage = Tab::Input;
        UpdateData(FALSE);
        return;
    }
    if (page != Tab::Derivative && page != Tab::Root)
        return;
    equals->EnableWindow(FALSE);
    if (!CalculateAndVerify(m_strLastFormula, TRUE)) {
        m_tabPages.SetCurSel(static_cast<int>(Tab::Input));
        MessageBeep(MB_ICONASTERISK);
        equals->EnableWindow(TRUE);
        m_editFormula.Invalidate();
        UpdateData(FALSE);
        return;
    }
    if (page == Tab::Derivative) {
        CString text;
        int error = 0;
        const double value = EvaluateDerivativeTree(m_strLastFormula, m_dX, &text, &error);
        GetFormulaEngine().FormulaParser.NormalizeFormula(text);
        m_strFormula = text;
        m_strDerivative = text;
        // After the calculation, which gave the input its normal colour.
        SetInputBackground(InputDerivativeColour);
        FormatResult(ResultTarget::OutputLine, Printed(L"%.15lf", value), value);
        FormatResult(ResultTarget::StatusBar, Printed(L"f'(%lf)= %.15lf", m_dX, value), 0.0);
    } else {
        UpdateData(TRUE);
        float left = static_cast<float>(m_dXA);
        float right = static_cast<float>(m_dXB);
        m_strFormula = SolveRoot(&left, &right);
    }
    m_nShownPage = page;
    m_editFormula.Invalidate();
    UpdateData(FALSE);
}
