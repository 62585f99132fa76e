#include "app/ScriptInputBox.h"

#include "res/ScriptPage.h"

namespace {

constexpr int kTwipsPerPixel = 15; // 1440 twips to the inch at 96 pixels to the inch

} // namespace

CScriptInputBox::CScriptInputBox(const ScriptInputBoxRequest& request)
    : CDialog(IDD_SCRIPT_INPUT_BOX, CWnd::FromHandle(request.owner))
    , m_request(request)
{
}

std::optional<std::wstring> CScriptInputBox::Ask()
{
    if (DoModal() != IDOK)
        return std::nullopt;
    return m_answer;
}

BOOL CScriptInputBox::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(m_request.title.c_str());
    GetDlgItem(IDC_INPUT_BOX_PROMPT)->SetWindowText(m_request.prompt.c_str());
    GetDlgItem(IDC_INPUT_BOX_TEXT)->SetWindowText(m_request.defaultText.c_str());
    CRect box;
    GetWindowRect(&box);
    if (m_request.x && m_request.y) {
        SetWindowPos(nullptr, *m_request.x / kTwipsPerPixel, *m_request.y / kTwipsPerPixel, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    } else if (HWND owner = m_request.owner ? ::GetAncestor(m_request.owner, GA_ROOT) : nullptr) {
        CRect area;
        ::GetWindowRect(owner, &area);
        SetWindowPos(nullptr, area.CenterPoint().x - box.Width() / 2, area.CenterPoint().y - box.Height() / 2, 0, 0,
            SWP_NOSIZE | SWP_NOZORDER);
    }
    // The proposed answer is selected, so that typing replaces it.
    CWnd* text = GetDlgItem(IDC_INPUT_BOX_TEXT);
    text->SendMessage(EM_SETSEL, 0, -1);
    text->SetFocus();
    return FALSE;
}

void CScriptInputBox::OnOK()
{
    CString text;
    GetDlgItem(IDC_INPUT_BOX_TEXT)->GetWindowText(text);
    m_answer = std::wstring(text);
    CDialog::OnOK();
}
