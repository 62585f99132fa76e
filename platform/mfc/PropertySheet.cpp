#include "platform/mfc/PropertySheet.h"

#include "platform/mfc/WinApp.h"
#include "platform/res/Resources.h"
#include "platform/res/Templates.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CDialog)

BEGIN_MESSAGE_MAP(CPropertySheet, CDialog)
    ON_COMMAND(ID_APPLY_NOW, OnApplyNow)
    ON_COMMAND(IDHELP, OnHelpButton)
    ON_NOTIFY_EX(TCN_SELCHANGING, AFX_IDC_TAB_CONTROL, OnTabChanging)
    ON_NOTIFY(TCN_SELCHANGE, AFX_IDC_TAB_CONTROL, OnTabChanged)
END_MESSAGE_MAP()

namespace {

HINSTANCE Instance()
{
    return AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
}

CString LoadText(UINT id)
{
    CString text;
    if (id)
        text.LoadString(id);
    return text;
}

// The bytes of a dialog template resource, empty when there is none.
std::vector<BYTE> TemplateBytes(LPCWSTR name)
{
    HRSRC resource = ::FindResourceW(Instance(), name, RT_DIALOG);
    HGLOBAL loaded = resource ? ::LoadResource(Instance(), resource) : nullptr;
    auto* data = static_cast<const BYTE*>(loaded ? ::LockResource(loaded) : nullptr);
    if (!data)
        return {};
    return std::vector<BYTE>(data, data + ::SizeofResource(Instance(), resource));
}

void AppendUtf16(std::vector<WORD>& out, const CString& text)
{
    for (int i = 0; i < text.GetLength(); ++i) {
        auto ch = static_cast<uint32_t>(text[i]);
        if (ch >= 0x10000) {
            ch -= 0x10000;
            out.push_back(static_cast<WORD>(0xD800 + (ch >> 10)));
            out.push_back(static_cast<WORD>(0xDC00 + (ch & 0x3FF)));
        } else {
            out.push_back(static_cast<WORD>(ch));
        }
    }
    out.push_back(0);
}

// Where a template keeps its style and extended style: the standard layout starts with them, the
// extended one after its version, signature and help id.
struct StyleFields {
    size_t style;
    size_t exStyle;
};
StyleFields StyleOffsets(const std::vector<BYTE>& bytes)
{
    bool extended = bytes.size() >= 4 && bytes[0] == 1 && bytes[1] == 0 && bytes[2] == 0xFF && bytes[3] == 0xFF;
    return extended ? StyleFields { 12, 8 } : StyleFields { 0, 4 };
}

DWORD ReadDword(const std::vector<BYTE>& bytes, size_t at)
{
    DWORD value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

void WriteDword(std::vector<BYTE>& bytes, size_t at, DWORD value)
{
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// Dialog units of the sheet's font to pixels.
CRect DialogUnits(HWND dialog, int left, int top, int right, int bottom)
{
    CRect rect(left, top, right, bottom);
    ::MapDialogRect(dialog, &rect);
    return rect;
}

} // namespace

// ---- the page

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId)
    : CDialog(templateId)
    , m_caption(LoadText(captionId))
{
    m_psp.pszTemplate = m_lpszTemplateName;
    if (captionId)
        m_psp.dwFlags |= PSP_USETITLE;
}

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId, UINT headerTitleId, UINT headerSubTitleId)
    : CPropertyPage(templateId, captionId)
{
    m_headerTitle = LoadText(headerTitleId);
    m_headerSubTitle = LoadText(headerSubTitleId);
    if (headerTitleId)
        m_psp.dwFlags |= PSP_USEHEADERTITLE;
    if (headerSubTitleId)
        m_psp.dwFlags |= PSP_USEHEADERSUBTITLE;
    m_psp.pszHeaderTitle = m_headerTitle;
    m_psp.pszHeaderSubTitle = m_headerSubTitle;
}

CString CPropertyPage::Caption() const
{
    if (!m_caption.IsEmpty())
        return m_caption;
    std::vector<BYTE> bytes = TemplateBytes(m_lpszTemplateName);
    auto decoded = fln::res::DecodeDialogTemplate(bytes.data(), bytes.size());
    return decoded ? decoded->title : CString();
}

CPropertySheet* CPropertyPage::GetSheet() const
{
    return m_hWnd ? dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd))) : nullptr;
}

BOOL CPropertyPage::CreatePage(CPropertySheet* sheet)
{
    m_childTemplate = TemplateBytes(m_lpszTemplateName);
    if (m_childTemplate.size() < 18)
        return FALSE;
    // A page is a control-parent child of the sheet, whatever frame its template asks for.
    auto [styleAt, exStyleAt] = StyleOffsets(m_childTemplate);
    DWORD style = ReadDword(m_childTemplate, styleAt);
    style &= ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_VISIBLE | WS_DISABLED | DS_MODALFRAME | DS_CENTER);
    WriteDword(m_childTemplate, styleAt, style | WS_CHILD | DS_CONTROL);
    WriteDword(m_childTemplate, exStyleAt, ReadDword(m_childTemplate, exStyleAt) | WS_EX_CONTROLPARENT);
    m_pParentWnd = sheet;
    return CreateFromTemplate(reinterpret_cast<LPCDLGTEMPLATE>(m_childTemplate.data()), sheet);
}

BOOL CPropertyPage::OnInitDialog()
{
    m_firstSetActive = true;
    return CDialog::OnInitDialog();
}

void CPropertyPage::SetModified(BOOL changed)
{
    m_modified = changed;
    if (CPropertySheet* sheet = GetSheet())
        sheet->PageChanged(this, changed);
}

BOOL CPropertyPage::OnSetActive()
{
    // OnInitDialog filled the controls the first time.
    if (!m_firstSetActive)
        UpdateData(FALSE);
    m_firstSetActive = false;
    return TRUE;
}

BOOL CPropertyPage::PreTranslateMessage(MSG* message)
{
    if (GetSheet())
        return FALSE;
    return CDialog::PreTranslateMessage(message);
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

// ---- the sheet

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage)
    : CPropertySheet(LoadText(captionId).GetString(), parent, selectPage)
{
}

CPropertySheet::CPropertySheet(LPCWSTR caption, CWnd* parent, UINT selectPage)
{
    m_pParentWnd = parent;
    m_psh.hwndParent = parent ? parent->m_hWnd : nullptr;
    m_psh.nStartPage = selectPage;
    SetTitle(caption);
}

void CPropertySheet::SetTitle(LPCWSTR title)
{
    m_strCaption = title ? title : L"";
    m_psh.pszCaption = m_strCaption;
    if (m_hWnd)
        SetWindowText(m_strCaption);
}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    if (!page)
        return;
    m_pages.push_back(page);
    if (m_tabs.m_hWnd)
        m_tabs.InsertItem(GetPageCount() - 1, page->Caption());
}

void CPropertySheet::RemovePage(int index)
{
    if (index < 0 || index >= GetPageCount())
        return;
    CPropertyPage* page = m_pages[static_cast<size_t>(index)];
    if (m_tabs.m_hWnd) {
        if (index == m_active)
            ShowPage(index == 0 ? 1 : index - 1); // the page going is not asked
        m_tabs.DeleteItem(index);
    }
    if (page->m_hWnd)
        page->DestroyWindow();
    m_pages.erase(m_pages.begin() + index);
    if (m_active > index)
        --m_active;
    else if (m_active == index)
        m_active = -1;
}

CPropertyPage* CPropertySheet::GetPage(int index) const
{
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const
{
    auto found = std::find(m_pages.begin(), m_pages.end(), page);
    return found == m_pages.end() ? -1 : static_cast<int>(found - m_pages.begin());
}

void CPropertySheet::BuildTemplate(DWORD style, DWORD exStyle)
{
    // A template with no controls: the sheet makes its tab control, buttons and pages itself.
    m_template.assign(9, 0);
    std::memcpy(m_template.data(), &style, sizeof style);
    std::memcpy(m_template.data() + 2, &exStyle, sizeof exStyle);
    m_template[7] = 100; // cx and cy until the pages are measured
    m_template[8] = 100;
    m_template.push_back(0); // no menu
    m_template.push_back(0); // the dialog class
    AppendUtf16(m_template, m_strCaption);
    m_template.push_back(8);
    AppendUtf16(m_template, L"MS Sans Serif");
    m_lpDialogTemplate = reinterpret_cast<LPCDLGTEMPLATE>(m_template.data());
    m_lpszTemplateName = nullptr;
}

INT_PTR CPropertySheet::DoModal()
{
    BuildTemplate(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, WS_EX_CONTROLPARENT);
    return CDialog::DoModal();
}

BOOL CPropertySheet::Create(CWnd* parent, DWORD style, DWORD exStyle)
{
    if (style == static_cast<DWORD>(-1))
        style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE;
    BuildTemplate(style | DS_SETFONT, exStyle | WS_EX_CONTROLPARENT);
    m_pParentWnd = parent;
    return CreateFromTemplate(m_lpDialogTemplate, parent);
}

RECT CPropertySheet::PageArea() const
{
    // The largest page, in the sheet's dialog units.
    int width = 0, height = 0;
    for (CPropertyPage* page : m_pages) {
        std::vector<BYTE> bytes = TemplateBytes(page->m_lpszTemplateName);
        if (auto decoded = fln::res::DecodeDialogTemplate(bytes.data(), bytes.size())) {
            width = std::max<int>(width, decoded->cx);
            height = std::max<int>(height, decoded->cy);
        }
    }
    return DialogUnits(m_hWnd, 0, 0, std::max(width, 100), std::max(height, 50));
}

BOOL CPropertySheet::OnInitDialog()
{
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    // Buttons first and the tab control last, so that pages put on top make the Tab order
    // page, buttons, tabs, page.
    struct Button {
        int id;
        const wchar_t* text;
        bool shown;
    };
    const Button buttons[] = {
        { IDOK, L"OK", true },
        { IDCANCEL, L"Cancel", true },
        { static_cast<int>(ID_APPLY_NOW), L"&Apply", !(m_psh.dwFlags & PSH_NOAPPLYNOW) },
        { IDHELP, L"Help", (m_psh.dwFlags & PSH_HASHELP) != 0 },
    };
    for (const Button& button : buttons) {
        if (!button.shown)
            continue;
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (button.id == IDOK ? BS_DEFPUSHBUTTON | WS_GROUP : BS_PUSHBUTTON);
        if (button.id == static_cast<int>(ID_APPLY_NOW))
            style |= WS_DISABLED;
        HWND made = ::CreateWindowExW(0, L"Button", button.text, style, 0, 0, 10, 10, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(button.id)), nullptr, nullptr);
        ::SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    m_tabs.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | WS_GROUP, CRect(0, 0, 10, 10), this, AFX_IDC_TAB_CONTROL);
    m_tabs.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (int i = 0; i < GetPageCount(); ++i)
        m_tabs.InsertItem(i, m_pages[static_cast<size_t>(i)]->Caption());
    LayOut();
    ShowPage(static_cast<int>(std::min<UINT>(m_psh.nStartPage, static_cast<UINT>(std::max(GetPageCount() - 1, 0)))));
    if (CPropertyPage* page = GetActivePage(); page && page->m_hWnd) {
        if (HWND first = ::GetNextDlgTabItem(page->m_hWnd, nullptr, FALSE))
            ::SetFocus(first);
    }
    return FALSE; // the focus is set
}

void CPropertySheet::LayOut()
{
    CRect margin = DialogUnits(m_hWnd, 0, 0, 7, 7);
    CRect button = DialogUnits(m_hWnd, 0, 0, 50, 14);
    CRect gap = DialogUnits(m_hWnd, 0, 0, 4, 4);
    CRect tabs = PageArea();
    m_tabs.AdjustRect(TRUE, &tabs);
    tabs.OffsetRect(margin.right - tabs.left, margin.bottom - tabs.top);
    m_tabs.MoveWindow(tabs);

    // The buttons in a row at the bottom right, below the tabs.
    int x = tabs.right;
    int y = tabs.bottom + margin.bottom;
    for (int id : { IDHELP, static_cast<int>(ID_APPLY_NOW), IDCANCEL, IDOK }) {
        HWND control = ::GetDlgItem(m_hWnd, id);
        if (!control)
            continue;
        x -= button.Width();
        ::MoveWindow(control, x, y, button.Width(), button.Height(), FALSE);
        x -= gap.right;
    }
    CRect client(0, 0, tabs.right + margin.right, y + button.Height() + margin.bottom);
    CRect frame = client;
    ::AdjustWindowRectEx(&frame, GetStyle(), FALSE, GetExStyle());
    // Centred over the owner, else on the screen.
    CRect over;
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner)
        ::GetWindowRect(owner, &over);
    else
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    int left = over.left + (over.Width() - frame.Width()) / 2;
    int top = over.top + (over.Height() - frame.Height()) / 2;
    ::SetWindowPos(m_hWnd, nullptr, left, top, frame.Width(), frame.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CPropertySheet::SetActivePage(int index)
{
    // The page shown is asked first, as when the user picks a tab.
    if (CPropertyPage* shown = GetActivePage(); m_hWnd && shown && shown->m_hWnd && index != m_active && GetPage(index)
        && !shown->OnKillActive())
        return FALSE;
    return ShowPage(index);
}

BOOL CPropertySheet::ShowPage(int index)
{
    CPropertyPage* page = GetPage(index);
    if (!page || !m_hWnd)
        return FALSE;
    if (!page->m_hWnd) {
        if (!page->CreatePage(this))
            return FALSE;
        // On top of the tab control, which is clipped around it.
        CRect area;
        m_tabs.GetWindowRect(&area);
        ScreenToClient(&area);
        m_tabs.AdjustRect(FALSE, &area);
        ::SetWindowPos(page->m_hWnd, HWND_TOP, area.left, area.top, area.Width(), area.Height(), SWP_NOACTIVATE);
    }
    if (CPropertyPage* previous = GetActivePage(); previous && previous != page && previous->m_hWnd)
        previous->ShowWindow(SW_HIDE);
    m_active = index;
    m_tabs.SetCurSel(index);
    page->OnSetActive();
    page->ShowWindow(SW_SHOW);
    return TRUE;
}

BOOL CPropertySheet::OnTabChanging(UINT, NMHDR*, LRESULT* result)
{
    CPropertyPage* page = GetActivePage();
    *result = page && !page->OnKillActive(); // TRUE keeps the page
    return TRUE;
}

void CPropertySheet::OnTabChanged(NMHDR*, LRESULT* result)
{
    ShowPage(m_tabs.GetCurSel()); // the page left was asked on TCN_SELCHANGING
    *result = 0;
}

bool CPropertySheet::ApplyAll()
{
    if (CPropertyPage* shown = GetActivePage(); shown && !shown->OnKillActive())
        return false;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = m_pages[static_cast<size_t>(i)];
        if (!page->m_hWnd)
            continue; // never shown: nothing of it to apply
        if (!page->OnApply()) {
            ShowPage(i);
            return false;
        }
        page->m_modified = FALSE;
    }
    UpdateApplyButton();
    return true;
}

void CPropertySheet::OnOK()
{
    if (ApplyAll())
        EndDialog(IDOK);
}

void CPropertySheet::OnApplyNow()
{
    ApplyAll();
}

void CPropertySheet::OnCancel()
{
    if (CPropertyPage* shown = GetActivePage(); shown && !shown->OnQueryCancel())
        return;
    for (CPropertyPage* page : m_pages) {
        if (page->m_hWnd)
            page->OnReset();
    }
    EndDialog(IDCANCEL);
}

void CPropertySheet::OnHelpButton()
{
    if (CPropertyPage* page = GetActivePage(); page && page->m_hWnd)
        page->SendMessage(WM_COMMAND, IDHELP);
}

void CPropertySheet::PageChanged(CPropertyPage* page, BOOL changed)
{
    page->m_modified = changed;
    UpdateApplyButton();
}

void CPropertySheet::UpdateApplyButton()
{
    bool anyChanged = std::any_of(m_pages.begin(), m_pages.end(), [](CPropertyPage* page) { return page->m_modified; });
    if (HWND apply = ::GetDlgItem(m_hWnd, ID_APPLY_NOW))
        ::EnableWindow(apply, anyChanged);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* message)
{
    // Ctrl+Tab and Ctrl+Shift+Tab (and Ctrl+Page keys) go from page to page.
    if (message->message == WM_KEYDOWN && (::GetKeyState(VK_CONTROL) & 0x8000) && GetPageCount() > 1) {
        int step = 0;
        if (message->wParam == VK_TAB)
            step = (::GetKeyState(VK_SHIFT) & 0x8000) ? -1 : 1;
        else if (message->wParam == VK_NEXT)
            step = 1;
        else if (message->wParam == VK_PRIOR)
            step = -1;
        if (step) {
            SetActivePage((m_active + step + GetPageCount()) % GetPageCount());
            return TRUE;
        }
    }
    return CDialog::PreTranslateMessage(message);
}
