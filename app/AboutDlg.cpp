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

BOOL CAboutDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_linkWebpage.SetLinkUrl(L"https://formulon.example.org/");
    m_linkEmail.SetLinkUrl(L"mailto:developer@formulon.example.org");
    CFlnApp* app = GetFlnApp();
    SetDlgItemTextW(m_hWnd, IDC_ABOUT_VERSION, CVersionInfo(MAKEINTRESOURCEW(1)).GetVersionLine(app ? app->m_strModulePath : CString()));
    SetDlgItemTextW(m_hWnd, IDC_ABOUT_MARQUEE, L"Formulon: formulas of x, their derivatives and roots, in five number formats");
    return TRUE;
}
