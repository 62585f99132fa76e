#pragma once
// Property sheets: a dialog of tabbed pages with OK, Cancel, Apply (unless PSH_NOAPPLYNOW) and
// Help (with PSH_HASHELP). Each page is a dialog made from its own template the first time it is
// shown, as a child of the sheet. Leaving a page asks it (OnKillActive, which reads its controls
// back); OK and Apply ask the page shown, then apply every page made (OnApply, which by default
// calls OnOK); Cancel asks the page shown (OnQueryCancel) and resets every page made (OnReset).
// A page that reports a change (SetModified) enables Apply until the next apply.

#include "platform/mfc/ControlWrappers.h"
#include "platform/mfc/Dialog.h"

#include <memory>
#include <vector>

constexpr DWORD PSH_DEFAULT = 0x0, PSH_HASHELP = 0x200, PSH_NOAPPLYNOW = 0x80, PSH_WIZARD97 = 0x1000000;
constexpr DWORD PSP_DEFAULT = 0x0, PSP_USETITLE = 0x8, PSP_HASHELP = 0x20, PSP_USEHEADERTITLE = 0x1000,
                PSP_USEHEADERSUBTITLE = 0x2000;
constexpr UINT ID_APPLY_NOW = 0x3021;
constexpr UINT AFX_IDC_TAB_CONTROL = 0x3020;

struct PROPSHEETPAGEW {
    DWORD dwSize = sizeof(PROPSHEETPAGEW);
    DWORD dwFlags = PSP_DEFAULT;
    HINSTANCE hInstance = nullptr;
    LPCWSTR pszTemplate = nullptr;
    LPCWSTR pszTitle = nullptr;
    LPCWSTR pszHeaderTitle = nullptr;
    LPCWSTR pszHeaderSubTitle = nullptr;
};
struct PROPSHEETHEADERW {
    DWORD dwSize = sizeof(PROPSHEETHEADERW);
    DWORD dwFlags = PSH_DEFAULT;
    HWND hwndParent = nullptr;
    LPCWSTR pszCaption = nullptr;
    UINT nStartPage = 0;
};
using PROPSHEETPAGE = PROPSHEETPAGEW;
using PROPSHEETHEADER = PROPSHEETHEADERW;

class CPropertySheet;

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);
    CPropertyPage(UINT templateId, UINT captionId, UINT headerTitleId, UINT headerSubTitleId);

    PROPSHEETPAGE m_psp;

    // Tells the sheet that this page has (or no longer has) changes to apply.
    void SetModified(BOOL changed = TRUE);
    BOOL IsModified() const { return m_modified; }

    virtual BOOL OnSetActive();  // shown: fills the controls again after the first time
    virtual BOOL OnKillActive(); // about to be left: FALSE keeps it (UpdateData(TRUE) by default)
    virtual BOOL OnApply();      // OK or Apply: OnOK and TRUE by default
    virtual BOOL OnQueryCancel() { return TRUE; }
    virtual void OnReset() { OnCancel(); }
    void OnOK() override {}
    void OnCancel() override {}

    // The tab's text: the caption string, else the template's caption.
    CString Caption() const;
    CPropertySheet* GetSheet() const;

    // Keys are the sheet's (Tab, Enter, Esc, mnemonics): a page in a sheet lets them pass on to it.
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    BOOL OnInitDialog() override;

private:
    friend class CPropertySheet;
    // Makes the page's window inside the sheet from a copy of its template turned into a child.
    BOOL CreatePage(CPropertySheet* sheet);

    std::vector<BYTE> m_childTemplate;
    CString m_caption;
    CString m_headerTitle, m_headerSubTitle;
    BOOL m_modified = FALSE;
    bool m_firstSetActive = true;
};

class CPropertySheet : public CDialog {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet() = default;
    explicit CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
    explicit CPropertySheet(LPCWSTR caption, CWnd* parent = nullptr, UINT selectPage = 0);

    PROPSHEETHEADER m_psh;

    void AddPage(CPropertyPage* page); // the sheet does not own its pages
    void RemovePage(int index);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    CPropertyPage* GetActivePage() const { return GetPage(m_active); }
    int GetActiveIndex() const { return m_active; }
    int GetPageIndex(const CPropertyPage* page) const;
    // Shows the page once the page shown lets go (OnKillActive); FALSE when it does not.
    BOOL SetActivePage(int index);
    BOOL SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }
    CTabCtrl* GetTabControl() { return m_tabs.m_hWnd ? &m_tabs : nullptr; }
    void SetTitle(LPCWSTR title);

    INT_PTR DoModal() override;
    // Modeless; style -1 for the sheet's usual frame.
    BOOL Create(CWnd* parent = nullptr, DWORD style = static_cast<DWORD>(-1), DWORD exStyle = 0);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    BOOL PreTranslateMessage(MSG* message) override;

    // A page's report of a change (SetModified).
    void PageChanged(CPropertyPage* page, BOOL changed);

protected:
    void OnApplyNow();
    void OnHelpButton();
    BOOL OnTabChanging(UINT id, NMHDR*, LRESULT* result);
    void OnTabChanged(NMHDR*, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    // Asks the shown page to let go, then applies every page made; FALSE when one refused.
    bool ApplyAll();
    BOOL ShowPage(int index); // makes the page if need be and shows it, asking nobody
    void BuildTemplate(DWORD style, DWORD exStyle);
    void LayOut();
    RECT PageArea() const;
    void UpdateApplyButton();

    std::vector<CPropertyPage*> m_pages;
    CString m_strCaption;
    std::vector<WORD> m_template;
    CTabCtrl m_tabs;
    int m_active = -1;
};
