#pragma once
// The properties of a hyperlink: a sheet with one "General" page showing the link's text and its
// address. The page's template (105) and the sheet's caption (string 107) are the program's.

#include "platform/mfc/PropertySheet.h"

class CHLinkCtrl;

class CHLinkPage : public CPropertyPage {
public:
    static constexpr UINT IDD = 105;
    static constexpr int IDC_LINK_TEXT = 238, IDC_LINK_ADDRESS = 244;

    CHLinkPage() : CPropertyPage(IDD) {}
    void SetLink(const CHLinkCtrl* link) { m_link = link; }

protected:
    BOOL OnInitDialog() override;

private:
    const CHLinkCtrl* m_link = nullptr;
};

class CHLinkSheet : public CPropertySheet {
public:
    static constexpr UINT IDS_CAPTION = 107;

    // A sheet without Apply button, its one page describing the link.
    CHLinkSheet(const CHLinkCtrl& link, CWnd* parent);

private:
    CHLinkPage m_page;
};
