#pragma once
// SECEditFindReplaceDlg: the editor's Find dialog (template IDD_EDIT_FIND) and Replace dialog
// (IDD_EDIT_REPLACE), modal or modeless. It holds the search options and the two histories and
// reports each button press to its owner, which searches, replaces and marks.

#include "platform/mfc/Dialog.h"

#include <deque>

class SECEditFindReplaceDlg;

// The owner of a find or replace dialog.
class ISECEditFindReplaceNotify {
public:
    virtual ~ISECEditFindReplaceNotify() = default;
    // A button was pressed, or the dialog is closing (IsTerminating); nonzero when the action
    // succeeded (a modal dialog then closes after Find Next, Mark All and Replace All).
    virtual BOOL OnFindReplaceCmd(SECEditFindReplaceDlg& dialog) = 0;
    // Whether the owner's text has a selection now.
    virtual BOOL HasSelectionForReplace() = 0;
};

// Earlier search or replacement texts, newest first.
using SECEditFindHistory = std::deque<CString>;

class SECEditFindReplaceDlg : public CDialog {
public:
    enum Action : int { Closing = 0, FindNextAction = 1, MarkAllAction = 2, ReplaceAction = 3, ReplaceAllAction = 4 };
    static constexpr size_t HistoryLength = 16;
    static constexpr int MaxTextLength = 128;

    explicit SECEditFindReplaceDlg(BOOL findOnly, ISECEditFindReplaceNotify* notify = nullptr);

    // Modal, from the dialog's own template.
    INT_PTR DoModal() override;
    // Modeless, from the dialog's own template; the object deletes itself after its window.
    BOOL CreateModeless(CWnd* owner);

    void SetNotify(ISECEditFindReplaceNotify* notify) { m_pNotify = notify; }
    // The window a modal dialog disables while it runs.
    void SetOwner(CWnd* owner) { m_pParentWnd = owner; }
    void SetHistories(SECEditFindHistory* findHistory, SECEditFindHistory* replaceHistory);
    void SetRegExpAvailable(BOOL available) { m_bRegExpAvailable = available; }

    BOOL IsModal() const { return m_bModal; }
    BOOL IsFindNext() const { return m_nAction == FindNextAction; }
    BOOL IsMarkAll() const { return m_nAction == MarkAllAction; }
    BOOL IsReplace() const { return m_nAction == ReplaceAction; }
    BOOL IsTerminating() const { return m_nAction == Closing; }
    // A Replace dialog always searches downward.
    BOOL SearchDown() const { return !m_bFindOnly || m_nDirection == 1; }
    BOOL ReplaceInSelection() const { return !m_bFindOnly && m_nDirection == 0; }
    BOOL GetMatchCase() const { return m_bMatchCase; }
    BOOL GetWholeWord() const { return m_bWholeWord; }
    BOOL GetRegExp() const { return m_bRegExp && m_bRegExpAvailable; }
    CString GetFindString() const { return m_strFind; }
    CString GetReplaceString() const { return m_strReplace; }

    void SetFindString(const CString& text) { m_strFind = text; }
    void SetReplaceString(const CString& text) { m_strReplace = text; }
    void SetMatchCase(BOOL on) { m_bMatchCase = on; }
    void SetWholeWord(BOOL on) { m_bWholeWord = on; }
    void SetRegExp(BOOL on) { m_bRegExp = on; }
    void SetSearchDown(BOOL down);
    void SetSelectionExists(BOOL exists) { m_bSelectionExists = exists; }
    void SetScopeFromSelection(BOOL useSelection);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void PostNcDestroy() override;

    void OnReplace();
    void OnReplaceAll();
    void OnMarkAll();
    void OnFindSelChange();
    void OnFindEditChange();
    void OnScope();
    void OnRegExp();
    void OnActivate(UINT state, CWnd* other, BOOL minimized);
    DECLARE_MESSAGE_MAP()

private:
    UINT TemplateId() const;
    // Reads the controls, records the texts in the histories and tells the owner.
    BOOL Notify(int action);
    void UpdateHistories();
    void FillCombo(int id, const SECEditFindHistory* history, CString& text);
    void UpdateButtons();
    void ApplyRegExpRules();
    void EnableItem(int id, BOOL enable);

    CString m_strFind;
    CString m_strReplace;
    BOOL m_bMatchCase = FALSE;
    BOOL m_bWholeWord = FALSE;
    BOOL m_bRegExp = FALSE;
    int m_nDirection = -1; // Find: 0 up, 1 down; Replace: 0 selection, 1 whole file
    BOOL m_bFindOnly;
    BOOL m_bRegExpAvailable = TRUE;
    ISECEditFindReplaceNotify* m_pNotify;
    SECEditFindHistory* m_pFindHistory = nullptr;
    SECEditFindHistory* m_pReplaceHistory = nullptr;
    BOOL m_bModal = FALSE;
    BOOL m_bSelectionExists = FALSE;
    int m_nAction = Closing;
};
