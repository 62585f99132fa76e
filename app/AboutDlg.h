#pragma once
// The About box (IDD_ABOUTBOX): the program's icon and name, a scrolling line of acknowledgements,
// the version line, and links to the web page and to the developer's mailbox. It opens over the
// middle of the main window.

#include "commandbars/Marquee.h"
#include "controls/HLinkCtrl.h"
#include "platform/mfc/Dialog.h"
#include "res/Formulon.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };
    CAboutDlg();

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* exchange) override;

private:
    void CenterOverOwner();

    CHLinkCtrl m_linkWebpage;
    CHLinkCtrl m_linkEmail;
    SECMarquee m_marquee;
};
