#include "app/FormulaPageFile.h"

#include "app/FlnApp.h"
#include "app/FlnView.h"
#include "app/FrameSettings.h"
#include "app/ParameterFile.h"
#include "platform/base/StringFormat.h"
#include "platform/comdlg/CommDlg.h"
#include "res/FormulaPage.h"
#include "res/Formulon.h"

#include <utility>

// The page's input line takes as much as a formula file may give it.
static_assert(kLongestFormula == CCalculatorPage::InputLimit);

namespace {

CString FieldText(const CFlnView& view, int id)
{
    CWnd* field = view.GetDlgItem(id);
    return field ? field->GetWindowText() : CString();
}

void SetFieldText(CFlnView& view, int id, const CString& text)
{
    SetDlgItemTextW(view.m_hWnd, id, text);
}

} // namespace

FormulaPageContent CFormulaPageFile::ContentOf(const CFlnView& view)
{
    FormulaPageContent content;
    content.formula = view.m_strLastFormula;
    content.derivative = view.m_strDerivative;
    content.physConstValue = view.m_strPhysConstValue;
    for (size_t i = 0; i < content.constants.size(); ++i)
        content.constants[i] = FieldText(view, static_cast<int>(ConstantFieldIds[i]));
    content.x = FieldText(view, IDC_VALUE_X);
    content.digits = FieldText(view, IDC_DIGITS);
    content.xa = FieldText(view, IDC_VALUE_XA);
    content.xb = FieldText(view, IDC_VALUE_XB);
    content.numberFormat = view.m_nNumberFormat;
    content.verify = view.m_bVerify;
    content.viewTooltips = view.m_bViewTooltips;
    return content;
}

BOOL CFormulaPageFile::Save(CFlnView& view, const CString& path)
{
    return SaveFormulaPageContent(view.m_iniParam, path, ContentOf(view));
}

BOOL CFormulaPageFile::Load(CFlnView& view, const CString& path, std::vector<CString>* problems, std::vector<CString>* cut)
{
    // What the file cannot give keeps what the page shows.
    FormulaPageContent content = ContentOf(view);
    if (!LoadFormulaPageContent(view.m_iniParam, path, content, problems, cut))
        return FALSE;
    const bool wasLoading = std::exchange(view.m_bLoadingContent, true);
    view.m_strLastFormula = content.formula;
    view.m_strDerivative = content.derivative;
    view.m_strPhysConstValue = content.physConstValue;
    view.m_strFormula = view.m_strLastFormula;
    view.UpdateData(FALSE);
    SetFieldText(view, IDC_DIGITS, content.digits);
    for (size_t i = 0; i < content.constants.size(); ++i)
        SetFieldText(view, static_cast<int>(ConstantFieldIds[i]), content.constants[i]);
    SetFieldText(view, IDC_VALUE_X, content.x);
    SetFieldText(view, IDC_VALUE_XA, content.xa);
    SetFieldText(view, IDC_VALUE_XB, content.xb);
    view.m_bVerify = content.verify;
    view.m_bViewTooltips = content.viewTooltips;
    view.m_nNumberFormat = static_cast<NumberFormatMode>(content.numberFormat);
    view.m_bLoadingContent = wasLoading;
    return TRUE;
}

CString CFormulaPageFile::LoadReport(const CString& path, BOOL loaded, const std::vector<CString>& problems)
{
    if (!loaded)
        return L"The content could not be loaded. " + ReadFailureText(path);
    if (problems.empty())
        return {};
    CString report = L"Some values of " + path + L" could not be loaded; their fields keep what they showed:";
    for (const CString& problem : problems)
        report += L"\n" + problem;
    return report;
}

CString CFormulaPageFile::CutReport(const CString& path, const std::vector<CString>& cut)
{
    if (cut.empty())
        return {};
    CString texts = L"The " + cut.front();
    for (size_t i = 1; i < cut.size(); ++i)
        texts += L" and the " + cut[i];
    return CString(FormatWide(L"%ls in %ls %ls cut to %d characters, as many as the input line takes.", texts.GetString(),
        path.GetString(), cut.size() == 1 ? L"was" : L"were", kLongestFormula));
}

void CFormulaPageFile::OnSaveContent(CFlnView& view)
{
    view.UpdateData(TRUE);
    CString file = m_strParamFile;
    CFlnApp* app = GetFlnApp();
    if (!app || !app->PromptFileName(file, IDS_SAVE_CONTENT_TITLE, CFlnApp::ContentFileDialogFlags, FALSE, nullptr, kParameterFileFilter))
        return;
    m_strParamFile = file;
    if (!Save(view, file))
        AfxMessageBox(L"The content could not be saved. " + WriteFailureText(file), MB_OK | MB_ICONEXCLAMATION);
}

void CFormulaPageFile::OnLoadContent(CFlnView& view)
{
    CString file = m_strParamFile;
    CFlnApp* app = GetFlnApp();
    if (!app || !app->PromptFileName(file, IDS_LOAD_CONTENT_TITLE, CFlnApp::ContentFileDialogFlags, TRUE, nullptr, kParameterFileFilter))
        return;
    m_strParamFile = file;
    std::vector<CString> problems, cut;
    const BOOL loaded = Load(view, file, &problems, &cut);
    if (const CString note = CutReport(file, cut); !note.IsEmpty())
        view.FormatResult(CFlnView::ResultTarget::StatusBar, note, 0.0);
    if (const CString report = LoadReport(file, loaded, problems); !report.IsEmpty())
        AfxMessageBox(report, MB_OK | MB_ICONEXCLAMATION);
}
