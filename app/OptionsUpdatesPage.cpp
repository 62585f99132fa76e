#include "app/OptionsUpdatesPage.h"

#include "app/Updater.h"
#include "platform/mfc/DataExchange.h"
#include "platform/mfc/WinApp.h"
#include "platform/net/InternetSession.h"
#include "res/Updates.h"

BEGIN_MESSAGE_MAP(COptionsUpdatesPage, CNGPropertyPage)
    ON_COMMAND(IDC_UPDATE_CHECK, OnCheckClicked)
    ON_COMMAND(IDC_UPDATE_CHECK_NOW, OnCheckNow)
    ON_WM_TIMER()
END_MESSAGE_MAP()

COptionsUpdatesPage::COptionsUpdatesPage(CUpdater& updater) : CNGPropertyPage(IDD_OPTIONS_UPDATES), m_updater(updater) {}

void COptionsUpdatesPage::DoDataExchange(CDataExchange* dx)
{
    CNGPropertyPage::DoDataExchange(dx);
    DDX_Check(dx, IDC_UPDATE_CHECK, m_bCheckForUpdates);
    DDX_Text(dx, IDC_UPDATE_INTERVAL, m_nCheckInterval);
    DDV_MinMaxInt(dx, m_nCheckInterval, 0, 90);
    DDX_Text(dx, IDC_UPDATE_SOURCE, m_strVersionFileURL);
    if (dx->m_bSaveAndValidate) {
        m_strVersionFileURL.Trim();
        if (!m_strVersionFileURL.IsEmpty() && !IsWebAddress(m_strVersionFileURL.view())) {
            AfxMessageBox(L"The address of the version file must begin with http:// or https://.", MB_ICONEXCLAMATION);
            dx->Fail();
        }
    }
    DDX_Radio(dx, IDC_UPDATE_RELEASES, m_nDevelopmentChoice);
}

BOOL COptionsUpdatesPage::OnInitDialog()
{
    CNGPropertyPage::OnInitDialog();
    m_wndNote.SubclassWindow(::GetDlgItem(m_hWnd, IDC_UPDATE_NOTE));
    CString note;
    note.LoadString(IDS_UPDATE_NOTE);
    m_wndNote.SetWindowText(note);
    if (m_updater.IsChecking()) {
        EnableControl(IDC_UPDATE_CHECK_NOW, FALSE);
        SetTimer(kPollTimer, kPollPeriodMs);
    }
    EnableInterval();
    return TRUE;
}

void COptionsUpdatesPage::EnableInterval()
{
    EnableControl(IDC_UPDATE_INTERVAL, m_bCheckForUpdates);
}

void COptionsUpdatesPage::OnCheckClicked()
{
    EnableInterval();
}

void COptionsUpdatesPage::OnTimer(UINT_PTR id)
{
    if (id == kPollTimer && !m_updater.IsChecking()) {
        EnableControl(IDC_UPDATE_CHECK_NOW, TRUE);
        KillTimer(kPollTimer);
    }
}

void COptionsUpdatesPage::OnCheckNow()
{
    if (m_updater.IsChecking()) return;
    if (m_strVersionFileURL.IsEmpty()) {
        AfxMessageBox(L"No update source is configured: enter the address of the version file first.", MB_ICONEXCLAMATION);
        return;
    }
    // The page wakes when the worker posts it a null message at its end.
    if (!m_updater.StartCheck(m_strVersionFileURL, m_hWnd, WM_NULL, 0)) return;
    CWaitCursor waitCursor;
    CWnd* sheet = GetParent();
    sheet->EnableWindow(FALSE);
    WaitForCheck();
    sheet->EnableWindow(TRUE);
    if (const DWORD error = m_updater.CheckForUpdate(m_nDevelopmentChoice == 1, TRUE); error != 0)
        AfxMessageBox(DescribeCheckFailure(error, L"The version information could not be read from the server"), MB_ICONEXCLAMATION);
}

void COptionsUpdatesPage::WaitForCheck()
{
    CWinThread* thread = AfxGetApp();
    const DWORD start = ::GetTickCount();
    while (thread && m_updater.IsChecking() && ::GetTickCount() - start < kCheckWaitMs) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (message.message == WM_QUIT) return; // left for the program's own loop
            thread->PumpMessage();
        }
        for (LONG count = 0; thread->OnIdle(count); ++count) {
        }
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        if (m_updater.IsChecking()) ::WaitMessage();
    }
}
