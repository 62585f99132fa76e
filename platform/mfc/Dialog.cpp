#include "platform/mfc/Dialog.h"

#include "platform/mfc/WinApp.h"
#include "platform/res/Resources.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)
BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, OnInitDialogMessage)
    ON_COMMAND(IDOK, OnOKCommand)
    ON_COMMAND(IDCANCEL, OnCancelCommand)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent)
    : m_lpszTemplateName(MAKEINTRESOURCEW(templateId))
    , m_pParentWnd(parent)
    , m_nIDHelp(templateId)
{
}

CDialog::CDialog(LPCWSTR templateName, CWnd* parent)
    : m_lpszTemplateName(templateName)
    , m_pParentWnd(parent)
{
}

LPCDLGTEMPLATE CDialog::FindTemplate() const
{
    if (m_lpDialogTemplate)
        return m_lpDialogTemplate;
    if (!m_lpszTemplateName)
        return nullptr;
    HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
    HRSRC resource = ::FindResourceW(instance, m_lpszTemplateName, RT_DIALOG);
    HGLOBAL loaded = resource ? ::LoadResource(instance, resource) : nullptr;
    return static_cast<LPCDLGTEMPLATE>(loaded ? ::LockResource(loaded) : nullptr);
}

BOOL CDialog::CreateFromTemplate(LPCDLGTEMPLATE dialogTemplate, CWnd* parent)
{
    if (!dialogTemplate || m_hWnd)
        return FALSE;
    HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
    HWND owner = parent ? parent->m_hWnd : nullptr;
    return CreateAttached([&] { return ::CreateDialogIndirectParamW(instance, dialogTemplate, owner, nullptr, 0); });
}

BOOL CDialog::Create(UINT templateId, CWnd* parent)
{
    return Create(MAKEINTRESOURCEW(templateId), parent);
}

BOOL CDialog::Create(LPCWSTR templateName, CWnd* parent)
{
    m_lpszTemplateName = templateName;
    m_lpDialogTemplate = nullptr;
    m_pParentWnd = parent;
    return CreateFromTemplate(FindTemplate(), parent);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE dialogTemplate, CWnd* parent)
{
    m_pParentWnd = parent;
    return CreateFromTemplate(dialogTemplate, parent);
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE dialogTemplate, CWnd* parent)
{
    m_lpDialogTemplate = dialogTemplate;
    m_lpszTemplateName = nullptr;
    m_pParentWnd = parent;
    return dialogTemplate != nullptr;
}

INT_PTR CDialog::DoModal()
{
    LPCDLGTEMPLATE dialogTemplate = FindTemplate();
    if (!dialogTemplate)
        return -1;
    // The owner is the given window's top-level window, else the main window.
    CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    HWND owner = parent ? ::GetAncestor(parent->m_hWnd, GA_ROOT) : nullptr;
    bool enableOwner = owner && ::IsWindowEnabled(owner);
    if (enableOwner)
        ::EnableWindow(owner, FALSE);

    m_modal = true;
    m_modalResult = -1;
    m_continueModal = true;
    if (CreateFromTemplate(dialogTemplate, CWnd::FromHandle(owner))) {
        // OnInitDialog may already have ended it.
        if (m_continueModal) {
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
            HWND dialog = m_hWnd;
            RunModalMessageLoop(dialog, MSGF_DIALOGBOX, [&] { return !m_continueModal || !::IsWindow(dialog); },
                [](MSG& message) {
                    CWinThread* thread = AfxGetApp();
                    return thread && thread->PreTranslateMessage(&message);
                });
        }
    }
    // Enable the owner before the dialog goes, so that activation returns to it.
    if (enableOwner)
        ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (owner && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(owner);
        DestroyWindow();
    }
    m_modal = false;
    return m_modalResult;
}

void CDialog::EndDialog(int result)
{
    m_modalResult = result;
    m_continueModal = false;
    if (m_hWnd)
        ::EndDialog(m_hWnd, result);
}

LRESULT CDialog::OnInitDialogMessage(WPARAM, LPARAM)
{
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog()
{
    // Dialog-init data (list and combo box strings) first, then the members into the controls.
    HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
    if (m_lpszTemplateName && !::ExecuteDialogInitResource(m_hWnd, instance, m_lpszTemplateName))
        return FALSE;
    UpdateData(FALSE);
    return TRUE; // the dialog manager focuses the first control
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return; // the user was told what to correct
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::NextDlgCtrl() const
{
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const
{
    ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}

void CDialog::GotoDlgCtrl(CWnd* control)
{
    if (control)
        ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->m_hWnd), TRUE);
}

void CDialog::SetDefID(UINT id)
{
    ::SendMessageW(m_hWnd, DM_SETDEFID, id, 0);
}

DWORD CDialog::GetDefID() const
{
    return static_cast<DWORD>(::SendMessageW(m_hWnd, DM_GETDEFID, 0, 0));
}

BOOL CDialog::PreTranslateMessage(MSG* message)
{
    bool input = (message->message >= WM_KEYFIRST && message->message <= WM_KEYLAST)
        || (message->message >= WM_MOUSEFIRST && message->message <= WM_MOUSELAST);
    return input && ::IsDialogMessageW(m_hWnd, message);
}
