#include "controls/HLinkPage.h"

#include "controls/HLinkCtrl.h"

BOOL CHLinkPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (m_link) {
        ::SetDlgItemTextW(m_hWnd, IDC_LINK_TEXT, m_link->GetWindowText());
        ::SetDlgItemTextW(m_hWnd, IDC_LINK_ADDRESS, m_link->LinkUrl());
    }
    return TRUE;
}

CHLinkSheet::CHLinkSheet(const CHLinkCtrl& link, CWnd* parent) : CPropertySheet(IDS_CAPTION, parent)
{
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
    m_page.SetLink(&link);
    AddPage(&m_page);
}
