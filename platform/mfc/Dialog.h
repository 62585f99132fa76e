#pragma once
// Dialogs made from templates. A CDialog runs modally (DoModal: its owner is disabled until
// EndDialog) or modelessly (Create). The dialog manager makes the controls; the object takes the
// window over before its first message, hears WM_INITDIALOG as OnInitDialog (which fills the
// controls through UpdateData(FALSE)), and OK and Cancel as OnOK (which reads and validates them
// back, and ends only when they are right) and OnCancel. Keyboard navigation (Tab, arrows,
// Enter, Esc, mnemonics) is the dialog manager's, through PreTranslateMessage.

#include "platform/mfc/Wnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    explicit CDialog(LPCWSTR templateName, CWnd* parent = nullptr);

    // Modeless, from the template of that id (or the one given to the constructor).
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    BOOL Create(LPCWSTR templateName, CWnd* parent = nullptr);
    using CWnd::Create;
    BOOL CreateIndirect(LPCDLGTEMPLATE dialogTemplate, CWnd* parent = nullptr);
    // Modal from a template in memory (the caller keeps it alive until DoModal returns).
    BOOL InitModalIndirect(LPCDLGTEMPLATE dialogTemplate, CWnd* parent = nullptr);

    // Runs the dialog modally; returns the EndDialog result, or -1 when it could not be made.
    virtual INT_PTR DoModal();
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* control);
    void SetDefID(UINT id);
    DWORD GetDefID() const;

    BOOL PreTranslateMessage(MSG* message) override;

protected:
    // Makes the window from the template with this object attached; modal dialogs start hidden.
    BOOL CreateFromTemplate(LPCDLGTEMPLATE dialogTemplate, CWnd* parent);
    LPCDLGTEMPLATE FindTemplate() const;
    LRESULT OnInitDialogMessage(WPARAM, LPARAM);
    void OnOKCommand() { OnOK(); }
    void OnCancelCommand() { OnCancel(); }
    DECLARE_MESSAGE_MAP()

    LPCWSTR m_lpszTemplateName = nullptr;
    LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;
    UINT m_nIDHelp = 0;

private:
    bool m_modal = false;
    bool m_continueModal = false;
    int m_modalResult = -1;
};
