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
RootSearchProblem g_rootProblem;

} // namespace

// The formula of the last calculation at x. A point where the formula has no value (a parse
// problem, a zero divisor, a function outside its domain) gives NaN, which is no sign change,
// and is kept for the report.
float CFlnView::RootFunction(float x)
{
    CFormulaParser& parser = GetFormulaEngine().FormulaParser;
    for (int i = 0; i < FunctConstCount; ++i)
        parser.SetFunctConst(i + 1, g_FunctConst[i]);
    int errorPosition = 0;
    CString errorText;
    const double value = parser.Calculate(g_FormulaText, x, &errorPosition, &errorText, TRUE);
    if (errorPosition == 0 && errorText.IsEmpty())
        return static_cast<float>(value);
    if (!g_rootProblem.met)
        g_rootProblem = { true, x, errorText };
    return std::numeric_limits<float>::quiet_NaN();
}

CString CFlnView::SolveRoot(float* left, float* right)
{
    g_rootProblem = {};
    float valueAtRoot = 0;
    int iterations = 0;
    const int code = FindRootPegasus(&CFlnView::RootFunction, left, right, &valueAtRoot, &iterations);

    CString report = L"Formula: " + g_FormulaText + L"\r\n";
    if (g_rootProblem.met) {
        report += Printed(L"Error: the formula has no value at x= %.15lf: ", static_cast<double>(g_rootProblem.x))
            + g_rootProblem.text + L"\r\n";
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
        FormatResult(1, root, *right);
        FormatResult(2, L"f(x=" + root + L") = " + value + L" == 0 ?", 0.0);
    }
    report += Printed(L"Return code: %d\r\n", code);
    return report;
}

void CFlnView::OnTabSelChange(NMHDR*, LRESULT* result)
{
    *result = 0;
    Guarded([this] { ShowPage(m_tabPages.GetCurSel()); });
}

void CFlnView::ShowPage(int page)
{
    if ((page == 1 || page == 2) && m_nShownPage == 0) {
        UpdateData(TRUE);
        m_strLastFormula = m_strFormula;
    }
    CWnd* equals = GetDlgItem(IDC_KEY_EQUALS);
    if (page == 0) {
        SetInputBackground(InputNormalColour);
        equals->EnableWindow(TRUE);
        m_strFormula = m_strLastFormula;
        m_nShownPage = 0;
        UpdateData(FALSE);
        return;
    }
    if (page != 1 && page != 2)
        return;
    equals->EnableWindow(FALSE);
    if (!CalculateAndVerify(m_strLastFormula, TRUE)) {
        m_tabPages.SetCurSel(0);
        MessageBeep(MB_ICONASTERISK);
        equals->EnableWindow(TRUE);
        m_editFormula.Invalidate();
        UpdateData(FALSE);
        return;
    }
    if (page == 1) {
        CString text;
        int error = 0;
        const double value = EvaluateDerivativeTree(m_strLastFormula, m_dX, &text, &error);
        GetFormulaEngine().FormulaParser.NormalizeFormula(text);
        m_strFormula = text;
        m_strDerivative = text;
        // After the calculation, which gave the input its normal colour.
        SetInputBackground(InputDerivativeColour);
        FormatResult(1, Printed(L"%.15lf", value), value);
        FormatResult(2, Printed(L"f'(%lf)= %.15lf", m_dX, value), 0.0);
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
