#include "app/AboutDlg.h"

#include "app/FlnApp.h"
#include "app/VersionInfo.h"
#include "platform/mfc/DataExchange.h"
#include "res/Formulon.h"

CAboutDlg::CAboutDlg() : CDialog(IDD)
{
}

void CAboutDlg::DoDataExchange(CDataExchange* exchange)
{
    CDialog::DoDataExchange(exchange);
    DDX_Control(exchange, IDC_ABOUT_WEBPAGE, m_linkWebpage);
    DDX_Control(exchange, IDC_ABOUT_EMAIL, m_linkEmail);
}

void CAboutDlg::CenterOverOwner()
{
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (!owner)
        return;
    CRect box, area;
    GetWindowRect(&box);
    ::GetWindowRect(owner, &area);
    SetWindowPos(nullptr, area.left + (area.Width() - box.Width()) / 2, area.top + (area.Height() - box.Height()) / 2, 0, 0,
        SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_linkWebpage.SetLinkUrl(L"https://formulon.example.org/");
    m_linkEmail.SetLinkUrl(L"mailto:developer@formulon.example.org");
    CFlnApp* app = GetFlnApp();
    SetDlgItemTextW(m_hWnd, IDC_ABOUT_VERSION, CVersionInfo(MAKEINTRESOURCEW(1)).GetVersionLine(app ? app->m_strModulePath : CString()));
    m_marquee.Attach(IDC_ABOUT_MARQUEE, this);
    m_marquee.SetText(L"Formulon: formulas of x, their derivatives and roots, in five number formats, "
                      L"with the date calculator, graphs and scripts.");
    m_marquee.EnableScrolling(TRUE);
    CenterOverOwner();
    return TRUE;
}
