#include "editor/EditFindReplaceDlg.h"

#include "editor/EditResource.h"
#include "platform/mfc/DataExchange.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>

BEGIN_MESSAGE_MAP(SECEditFindReplaceDlg, CDialog)
    ON_BN_CLICKED(IDC_EDIT_REPLACE, OnReplace)
    ON_BN_CLICKED(IDC_EDIT_REPLACE_ALL, OnReplaceAll)
    ON_BN_CLICKED(IDC_EDIT_MARK_ALL, OnMarkAll)
    ON_CONTROL(CBN_SELCHANGE, IDC_EDIT_FIND_TEXT, OnFindSelChange)
    ON_CONTROL(CBN_EDITCHANGE, IDC_EDIT_FIND_TEXT, OnFindEditChange)
    ON_BN_CLICKED(IDC_EDIT_DIRECTION_FIRST, OnScope)
    ON_BN_CLICKED(IDC_EDIT_DIRECTION_SECOND, OnScope)
    ON_BN_CLICKED(IDC_EDIT_REGEXP, OnRegExp)
    ON_WM_ACTIVATE()
END_MESSAGE_MAP()

SECEditFindReplaceDlg::SECEditFindReplaceDlg(BOOL findOnly, ISECEditFindReplaceNotify* notify)
    : m_bFindOnly(findOnly), m_pNotify(notify)
{
}

UINT SECEditFindReplaceDlg::TemplateId() const
{
    return m_bFindOnly ? IDD_EDIT_FIND : IDD_EDIT_REPLACE;
}

INT_PTR SECEditFindReplaceDlg::DoModal()
{
    m_bModal = TRUE;
    if (!m_lpszTemplateName && !m_lpDialogTemplate)
        m_lpszTemplateName = MAKEINTRESOURCEW(TemplateId());
    return CDialog::DoModal();
}

BOOL SECEditFindReplaceDlg::CreateModeless(CWnd* owner)
{
    m_bModal = FALSE;
    return Create(TemplateId(), owner);
}

void SECEditFindReplaceDlg::SetHistories(SECEditFindHistory* findHistory, SECEditFindHistory* replaceHistory)
{
    m_pFindHistory = findHistory;
    m_pReplaceHistory = replaceHistory;
}

void SECEditFindReplaceDlg::SetSearchDown(BOOL down)
{
    if (m_bFindOnly)
        m_nDirection = down ? 1 : 0;
}

void SECEditFindReplaceDlg::SetScopeFromSelection(BOOL useSelection)
{
    if (!m_bFindOnly)
        m_nDirection = useSelection && m_bSelectionExists ? 0 : 1;
}

void SECEditFindReplaceDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_CBString(dx, IDC_EDIT_FIND_TEXT, m_strFind);
    DDV_MaxChars(dx, m_strFind, MaxTextLength);
    if (!m_bFindOnly) {
        DDX_CBString(dx, IDC_EDIT_REPLACE_TEXT, m_strReplace);
        DDV_MaxChars(dx, m_strReplace, MaxTextLength);
    }
    DDX_Check(dx, IDC_EDIT_MATCH_CASE, m_bMatchCase);
    DDX_Check(dx, IDC_EDIT_WHOLE_WORD, m_bWholeWord);
    DDX_Check(dx, IDC_EDIT_REGEXP, m_bRegExp);
    DDX_Radio(dx, IDC_EDIT_DIRECTION_FIRST, m_nDirection);
}

BOOL SECEditFindReplaceDlg::OnInitDialog()
{
    if (m_nDirection < 0)
        m_nDirection = 1;
    if (!m_bFindOnly && !m_bSelectionExists)
        m_nDirection = 1;
    CDialog::OnInitDialog();
    if (!m_bFindOnly)
        EnableItem(IDC_EDIT_DIRECTION_FIRST, m_bSelectionExists);
    if (!m_bRegExpAvailable) {
        m_bRegExp = FALSE;
        ::ShowWindow(::GetDlgItem(m_hWnd, IDC_EDIT_REGEXP), SW_HIDE);
    }
    // The histories fill the lists; the texts given stay in the edit fields.
    const CString find = m_strFind, replace = m_strReplace;
    FillCombo(IDC_EDIT_FIND_TEXT, m_pFindHistory, m_strFind);
    if (!m_bFindOnly)
        FillCombo(IDC_EDIT_REPLACE_TEXT, m_pReplaceHistory, m_strReplace);
    if (!find.IsEmpty())
        m_strFind = find;
    if (!m_bFindOnly)
        m_strReplace = replace;
    UpdateData(FALSE);
    ApplyRegExpRules();
    UpdateButtons();
    // The proposed text is selected, so that what the user types replaces it.
    if (HWND combo = ::GetDlgItem(m_hWnd, IDC_EDIT_FIND_TEXT)) {
        ::SetFocus(combo);
        ::SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        return FALSE;
    }
    return TRUE;
}

void SECEditFindReplaceDlg::EnableItem(int id, BOOL enable)
{
    if (HWND item = ::GetDlgItem(m_hWnd, id))
        ::EnableWindow(item, enable);
}

void SECEditFindReplaceDlg::FillCombo(int id, const SECEditFindHistory* history, CString& text)
{
    HWND combo = ::GetDlgItem(m_hWnd, id);
    if (!combo)
        return;
    while (::SendMessageW(combo, CB_DELETESTRING, 0, 0) > 0) {
    }
    if (!history)
        return;
    for (const CString& entry : *history)
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.GetString()));
    if (!history->empty()) {
        text = history->front();
        ::SetWindowTextW(combo, text.GetString());
    }
}

void SECEditFindReplaceDlg::UpdateHistories()
{
    auto record = [](SECEditFindHistory* history, const CString& text) {
        if (!history || text.IsEmpty())
            return;
        history->erase(std::remove(history->begin(), history->end(), text), history->end());
        history->push_front(text);
        while (history->size() > HistoryLength)
            history->pop_back();
    };
    record(m_pFindHistory, m_strFind);
    if (!m_bFindOnly)
        record(m_pReplaceHistory, m_strReplace);
    FillCombo(IDC_EDIT_FIND_TEXT, m_pFindHistory, m_strFind);
    if (!m_bFindOnly)
        FillCombo(IDC_EDIT_REPLACE_TEXT, m_pReplaceHistory, m_strReplace);
}

void SECEditFindReplaceDlg::UpdateButtons()
{
    const BOOL hasText = !m_strFind.IsEmpty();
    const BOOL wholeFile = m_nDirection == 1;
    EnableItem(IDOK, hasText && (m_bFindOnly || wholeFile));
    EnableItem(IDC_EDIT_MARK_ALL, hasText);
    EnableItem(IDC_EDIT_REPLACE_ALL, hasText);
    EnableItem(IDC_EDIT_REPLACE, hasText && !m_bFindOnly && wholeFile);
}

void SECEditFindReplaceDlg::ApplyRegExpRules()
{
    if (!m_bRegExpAvailable)
        return;
    if (m_bRegExp) {
        m_bWholeWord = FALSE;
        ::CheckDlgButton(m_hWnd, IDC_EDIT_WHOLE_WORD, BST_UNCHECKED);
        if (m_bFindOnly && m_nDirection != 1) {
            m_nDirection = 1;
            ::CheckRadioButton(m_hWnd, IDC_EDIT_DIRECTION_FIRST, IDC_EDIT_DIRECTION_SECOND, IDC_EDIT_DIRECTION_SECOND);
        }
    }
    EnableItem(IDC_EDIT_WHOLE_WORD, !m_bRegExp);
    if (m_bFindOnly)
        EnableItem(IDC_EDIT_DIRECTION_FIRST, !m_bRegExp);
}

BOOL SECEditFindReplaceDlg::Notify(int action)
{
    if (!UpdateData(TRUE))
        return FALSE;
    UpdateHistories();
    m_nAction = action;
    return m_pNotify ? m_pNotify->OnFindReplaceCmd(*this) : FALSE;
}

void SECEditFindReplaceDlg::OnOK()
{
    if (Notify(FindNextAction) && m_bModal && m_bFindOnly)
        EndDialog(IDOK);
}

void SECEditFindReplaceDlg::OnReplace()
{
    Notify(ReplaceAction);
}

void SECEditFindReplaceDlg::OnReplaceAll()
{
    if (Notify(ReplaceAllAction) && m_bModal)
        CDialog::OnOK();
}

void SECEditFindReplaceDlg::OnMarkAll()
{
    if (Notify(MarkAllAction))
        CDialog::OnOK();
}

void SECEditFindReplaceDlg::OnCancel()
{
    if (m_bModal) {
        CDialog::OnCancel();
        return;
    }
    m_nAction = Closing;
    if (ISECEditFindReplaceNotify* notify = std::exchange(m_pNotify, nullptr))
        notify->OnFindReplaceCmd(*this);
    DestroyWindow();
}

void SECEditFindReplaceDlg::PostNcDestroy()
{
    if (m_bModal)
        return;
    // Destroyed without Cancel (its owner went first): the owner still hears that it closes.
    m_nAction = Closing;
    if (ISECEditFindReplaceNotify* notify = std::exchange(m_pNotify, nullptr))
        notify->OnFindReplaceCmd(*this);
    delete this;
}

void SECEditFindReplaceDlg::OnFindSelChange()
{
    const int index = static_cast<int>(::SendDlgItemMessageW(m_hWnd, IDC_EDIT_FIND_TEXT, CB_GETCURSEL, 0, 0));
    if (m_pFindHistory && index >= 0 && index < static_cast<int>(m_pFindHistory->size()))
        m_strFind = (*m_pFindHistory)[index];
    UpdateButtons();
}

// Only the text is read: the change may come while the controls are being filled.
void SECEditFindReplaceDlg::OnFindEditChange()
{
    const int length = ::GetWindowTextLengthW(::GetDlgItem(m_hWnd, IDC_EDIT_FIND_TEXT));
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    ::GetDlgItemTextW(m_hWnd, IDC_EDIT_FIND_TEXT, text.data(), length + 1);
    text.resize(std::wcslen(text.c_str()));
    m_strFind = CString(text);
    UpdateButtons();
}

void SECEditFindReplaceDlg::OnScope()
{
    UpdateData(TRUE);
    UpdateButtons();
}

void SECEditFindReplaceDlg::OnRegExp()
{
    UpdateData(TRUE);
    ApplyRegExpRules();
    UpdateButtons();
}

void SECEditFindReplaceDlg::OnActivate(UINT state, CWnd* other, BOOL minimized)
{
    CDialog::OnActivate(state, other, minimized);
    if (m_bFindOnly || state == WA_INACTIVE)
        return;
    if (m_pNotify && m_pNotify->HasSelectionForReplace() && m_bSelectionExists) {
        EnableItem(IDC_EDIT_DIRECTION_FIRST, TRUE);
    } else {
        EnableItem(IDC_EDIT_DIRECTION_FIRST, FALSE);
        m_nDirection = 1;
        ::CheckRadioButton(m_hWnd, IDC_EDIT_DIRECTION_FIRST, IDC_EDIT_DIRECTION_SECOND, IDC_EDIT_DIRECTION_SECOND);
    }
    UpdateButtons();
}
