#include "app/FormulaPageFile.h"

#include "app/FlnApp.h"
#include "app/FlnView.h"
#include "app/FrameSettings.h"
#include "app/ParameterFile.h"
#include "platform/comdlg/CommDlg.h"
#include "res/FormulaPage.h"
#include "res/Formulon.h"

namespace {

constexpr DWORD kFileDialogFlags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;

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

BOOL CFormulaPageFile::Save(CFlnView& view, const CString& path)
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
    return SaveFormulaPageContent(view.m_iniParam, path, content);
}

BOOL CFormulaPageFile::Load(CFlnView& view, const CString& path)
{
    FormulaPageContent content;
    if (!LoadFormulaPageContent(view.m_iniParam, path, content))
        return FALSE;
    view.m_strLastFormula = content.formula;
    view.m_strDerivative = content.derivative;
    view.m_strPhysConstValue = content.physConstValue;
    view.m_strFormula = view.m_strLastFormula;
    view.UpdateData(FALSE);
    // A new digit count makes the page show its result again from its fields: it comes first, so
    // that the loaded texts of the other fields stay as they were written.
    if (FieldText(view, IDC_DIGITS) != content.digits)
        SetFieldText(view, IDC_DIGITS, content.digits);
    for (size_t i = 0; i < content.constants.size(); ++i)
        SetFieldText(view, static_cast<int>(ConstantFieldIds[i]), content.constants[i]);
    SetFieldText(view, IDC_VALUE_X, content.x);
    SetFieldText(view, IDC_VALUE_XA, content.xa);
    SetFieldText(view, IDC_VALUE_XB, content.xb);
    view.m_bVerify = content.verify;
    view.m_bViewTooltips = content.viewTooltips;
    view.m_nNumberFormat = static_cast<NumberFormatMode>(content.numberFormat);
    return TRUE;
}

void CFormulaPageFile::OnSaveContent(CFlnView& view)
{
    view.UpdateData(TRUE);
    CString file = m_strParamFile;
    CFlnApp* app = GetFlnApp();
    if (!app || !app->PromptFileName(file, IDS_SAVE_CONTENT_TITLE, kFileDialogFlags, FALSE, nullptr, kParameterFileFilter))
        return;
    m_strParamFile = file;
    if (!Save(view, file))
        AfxMessageBox(L"The content could not be saved. " + WriteFailureText(file), MB_OK | MB_ICONEXCLAMATION);
}

void CFormulaPageFile::OnLoadContent(CFlnView& view)
{
    CString file = m_strParamFile;
    CFlnApp* app = GetFlnApp();
    if (!app || !app->PromptFileName(file, IDS_LOAD_CONTENT_TITLE, kFileDialogFlags, TRUE, nullptr, kParameterFileFilter))
        return;
    m_strParamFile = file;
    Load(view, file);
}
