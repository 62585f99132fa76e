// The editor's controller as the owner of the Find and Replace dialogs.

#include "editor/EditController.h"

#include "editor/EditRegExp.h"
#include "editor/EditResource.h"

namespace {

bool RegularExpressionsAvailable()
{
    SECEditRegExp probe;
    try {
        return probe.Initialize();
    } catch (CException* error) {
        error->Delete();
        return false;
    }
}

} // namespace

BOOL SECEditController::ActivateFindDialog()
{
    SECEditFindReplaceDlg* dialog = GetFindReplaceState().pDialog;
    if (!dialog || !::IsWindow(dialog->m_hWnd))
        return FALSE;
    dialog->ShowWindow(SW_SHOW);
    ::SetActiveWindow(dialog->m_hWnd);
    // The text is selected, so that typing replaces it.
    if (HWND find = ::GetDlgItem(dialog->m_hWnd, IDC_EDIT_FIND_TEXT)) {
        dialog->SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(find), TRUE);
        ::SendMessageW(find, CB_SETEDITSEL, 0, MAKELPARAM(0, 0xFFFF));
    }
    return TRUE;
}

void SECEditController::OpenFindReplace(BOOL findOnly)
{
    _SEC_FIND_REPLACE_STATE& state = GetFindReplaceState();
    if (state.pDialog) {
        ActivateFindDialog();
        return;
    }
    auto* dialog = new SECEditFindReplaceDlg(findOnly, this);
    dialog->SetHistories(&state.findHistory, &state.replaceHistory);
    dialog->SetMatchCase(state.bMatchCase);
    dialog->SetWholeWord(state.bWholeWord);
    dialog->SetRegExpAvailable(RegularExpressionsAvailable());
    dialog->SetRegExp(state.bRegExp);
    if (findOnly) {
        dialog->SetSearchDown(state.bSearchDown);
    } else {
        dialog->SetSelectionExists(SelectionExists());
        dialog->SetScopeFromSelection(state.bSelectionOnly);
        dialog->SetReplaceString(state.strReplace);
    }
    CString text = GetFindTextAtCaret();
    if (text.IsEmpty() && !state.findHistory.empty())
        text = state.findHistory.front();
    dialog->SetFindString(text);
    state.pDialog = dialog;
    state.pLastView = m_pViewport;

    CWnd* owner = m_hWnd ? CWnd::FromHandle(::GetAncestor(m_hWnd, GA_ROOT)) : nullptr;
    if (m_bModalFindDialog) {
        dialog->SetOwner(owner);
        dialog->DoModal();
        delete dialog;
        state.pDialog = nullptr;
        state.pLastView = nullptr;
        return;
    }
    if (!dialog->CreateModeless(owner)) {
        delete dialog;
        state.pDialog = nullptr;
        state.pLastView = nullptr;
        return;
    }
    dialog->ShowWindow(SW_SHOW);
    ActivateFindDialog();
}

void SECEditController::CloseFindDialog()
{
    _SEC_FIND_REPLACE_STATE& state = GetFindReplaceState();
    SECEditFindReplaceDlg* dialog = state.pDialog;
    if (!dialog || state.pLastView != m_pViewport)
        return;
    state.pDialog = nullptr;
    state.pLastView = nullptr;
    dialog->SetNotify(nullptr);
    if (!dialog->IsModal() && ::IsWindow(dialog->m_hWnd))
        dialog->DestroyWindow();
}

BOOL SECEditController::OnFindReplaceCmd(SECEditFindReplaceDlg& dialog)
{
    _SEC_FIND_REPLACE_STATE& state = GetFindReplaceState();
    if (dialog.IsTerminating()) {
        state.pDialog = nullptr;
        state.pLastView = nullptr;
        if (m_hWnd && ::IsWindow(m_hWnd))
            ::SetFocus(m_hWnd); // back to the text the dialog searched
        return TRUE;
    }
    state.bSearchDown = dialog.SearchDown();
    state.bMatchCase = dialog.GetMatchCase();
    state.bWholeWord = dialog.GetWholeWord();
    state.strFind = dialog.GetFindString();
    state.strReplace = dialog.GetReplaceString();
    state.bSelectionOnly = dialog.ReplaceInSelection();
    state.bRegExp = dialog.GetRegExp();
    if (dialog.IsFindNext()) {
        if (dialog.IsModal())
            m_nFindCount = 0;
        return FindNext(state);
    }
    if (dialog.IsReplace())
        return NeedsFindBeforeReplace(state) ? FindNext(state) : Replace(state);
    if (dialog.IsMarkAll())
        return MarkAll(state) > 0;
    return ReplaceAll(state) > 0;
}
