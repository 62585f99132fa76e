#include "editor/EditFontSizeDlg.h"

#include "editor/EditResource.h"

#include "platform/base/MulDiv.h"
#include "platform/mfc/CommonDialogs.h"

#include <cstdlib>
#include <cwchar>

using divuzura::foundation::WM_SEC_COLORSELECTED;

namespace {

int ScreenPixelsPerInchY()
{
    const HDC screen = ::CreateICW(L"DISPLAY", nullptr, nullptr, nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ::DeleteDC(screen);
    return dpi > 0 ? dpi : 96;
}

} // namespace

BYTE CharSetOfCodePage(UINT codePage)
{
    switch (codePage) {
    case 932: return SHIFTJIS_CHARSET;
    case 936: return GB2312_CHARSET;
    case 949: return HANGEUL_CHARSET;
    case 950: return CHINESEBIG5_CHARSET;
    case 1361: return JOHAB_CHARSET;
    default: return ANSI_CHARSET;
    }
}

IMPLEMENT_DYNAMIC(SECEditFontSizeDlg, CDialog)

BEGIN_MESSAGE_MAP(SECEditFontSizeDlg, CDialog)
    ON_CONTROL(LBN_SELCHANGE, IDC_EDIT_COLOR_GROUPS, OnGroupChanged)
    ON_BN_CLICKED(IDC_EDIT_FORE_AUTOMATIC, OnAutomaticClicked)
    ON_BN_CLICKED(IDC_EDIT_BACK_AUTOMATIC, OnAutomaticClicked)
    ON_BN_CLICKED(IDC_EDIT_RESET_ALL, OnResetAll)
    ON_BN_CLICKED(IDC_EDIT_CHOOSE_FONT, OnChooseFont)
    ON_MESSAGE(WM_SEC_COLORSELECTED, OnColorSelected)
    ON_WM_PAINT()
END_MESSAGE_MAP()

SECEditFontSizeDlg::SECEditFontSizeDlg() : CDialog(IDD_EDIT_FONT_COLOR) {}

SECEditFontSizeDlg::~SECEditFontSizeDlg()
{
    if (m_pConfig)
        m_pConfig->Release();
}

void SECEditFontSizeDlg::SetConfig(ISECEditLangConfig* config, const LOGFONTW* font)
{
    if (m_pConfig || !config)
        return;
    config->AddRef();
    m_pConfig = config;
    if (font)
        m_logFont = *font;
    CopyFromConfig();
}

void SECEditFontSizeDlg::CopyFromConfig()
{
    std::wcsncpy(m_logFont.lfFaceName, m_pConfig->GetFaceName().GetString(), LF_FACESIZE - 1);
    m_logFont.lfFaceName[LF_FACESIZE - 1] = 0;
    m_logFont.lfHeight = -MulDiv(m_pConfig->GetSize(), ScreenPixelsPerInchY(), 72);
    m_logFont.lfItalic = m_pConfig->GetItalic() ? 1 : 0;
    m_logFont.lfWeight = m_pConfig->GetBold() ? 700 : 400;
    m_groups.clear();
    for (const auto& group : m_pConfig->GetColorGroups())
        m_groups.push_back(*group);
    m_nTextGroup = m_pConfig->GetBuiltinColorGroupIndex(BuiltinText);
    m_nSelectionGroup = m_pConfig->GetBuiltinColorGroupIndex(BuiltinTextSelection);
}

void SECEditFontSizeDlg::Apply(ISECEditLangConfig* config) const
{
    config->SetFaceName(m_logFont.lfFaceName);
    config->SetSize(GetPointSize());
    config->SetItalic(m_logFont.lfItalic != 0);
    config->SetBold(m_logFont.lfWeight >= 700);
    for (size_t i = 0; i < m_groups.size(); ++i) {
        if (SECEditColorGroup* group = config->GetColorGroup(static_cast<int>(i)))
            *group = m_groups[i];
    }
}

int SECEditFontSizeDlg::GetPointSize() const
{
    return MulDiv(std::abs(m_logFont.lfHeight), 72, ScreenPixelsPerInchY());
}

const SECEditColorGroup* SECEditFontSizeDlg::GetGroup(int index) const
{
    return index >= 0 && index < static_cast<int>(m_groups.size()) ? &m_groups[index] : nullptr;
}

BOOL SECEditFontSizeDlg::OnInitDialog()
{
    if (!m_pConfig)
        return FALSE;
    CDialog::OnInitDialog();
    for (size_t i = 0; i < m_groups.size(); ++i) {
        if (!m_groups[i].m_bConfigurable)
            continue;
        const LRESULT item = SendDlgItemMessageW(m_hWnd, IDC_EDIT_COLOR_GROUPS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m_groups[i].m_strDisplayName.GetString()));
        SendDlgItemMessageW(m_hWnd, IDC_EDIT_COLOR_GROUPS, LB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(i));
    }
    for (auto* well : { &m_wellFore, &m_wellBack }) {
        well->AttachButton(well == &m_wellFore ? IDC_EDIT_FORECOLOR : IDC_EDIT_BACKCOLOR, this, 0);
        well->SetShowOtherButton(FALSE);
    }
    if (SendDlgItemMessageW(m_hWnd, IDC_EDIT_COLOR_GROUPS, LB_GETCOUNT, 0, 0) > 0)
        SendDlgItemMessageW(m_hWnd, IDC_EDIT_COLOR_GROUPS, LB_SETCURSEL, 0, 0);
    LoadControls();
    ShowFontTexts();
    return TRUE;
}

SECEditColorGroup* SECEditFontSizeDlg::SelectedGroup()
{
    const LRESULT item = SendDlgItemMessageW(m_hWnd, IDC_EDIT_COLOR_GROUPS, LB_GETCURSEL, 0, 0);
    if (item < 0)
        return nullptr;
    const LRESULT index = SendDlgItemMessageW(m_hWnd, IDC_EDIT_COLOR_GROUPS, LB_GETITEMDATA, static_cast<WPARAM>(item), 0);
    return index >= 0 && index < static_cast<LRESULT>(m_groups.size()) ? &m_groups[index] : nullptr;
}

void SECEditFontSizeDlg::LoadControls()
{
    const SECEditColorGroup* group = SelectedGroup();
    const int checks[] = { IDC_EDIT_FORE_AUTOMATIC, IDC_EDIT_BACK_AUTOMATIC };
    for (int id : checks)
        ::EnableWindow(::GetDlgItem(m_hWnd, id), group != nullptr);
    if (!group) {
        m_wellFore.EnableWindow(FALSE);
        m_wellBack.EnableWindow(FALSE);
    } else {
        const struct {
            divuzura::foundation::SECWellButton& well;
            BOOL automatic;
            COLORREF colour;
            int check;
        } sides[] = { { m_wellFore, group->m_bForeAutomatic, group->m_foreground, IDC_EDIT_FORE_AUTOMATIC },
                      { m_wellBack, group->m_bBackAutomatic, group->m_background, IDC_EDIT_BACK_AUTOMATIC } };
        for (const auto& side : sides) {
            side.well.EnableWindow(!side.automatic);
            if (!side.automatic && side.well.GetColor() != side.colour)
                side.well.SetColor(side.colour);
            ::CheckDlgButton(m_hWnd, side.check, side.automatic ? BST_CHECKED : BST_UNCHECKED);
        }
        m_foreground = group->m_foreground;
        m_background = group->m_background;
    }
    InvalidateRect(SampleRect(), FALSE);
}

void SECEditFontSizeDlg::StoreControls()
{
    SECEditColorGroup* group = SelectedGroup();
    if (!group)
        return;
    group->m_bForeAutomatic = ::IsDlgButtonChecked(m_hWnd, IDC_EDIT_FORE_AUTOMATIC) == BST_CHECKED;
    group->m_bBackAutomatic = ::IsDlgButtonChecked(m_hWnd, IDC_EDIT_BACK_AUTOMATIC) == BST_CHECKED;
    if (!group->m_bForeAutomatic)
        group->m_foreground = m_foreground;
    if (!group->m_bBackAutomatic)
        group->m_background = m_background;
    ResolveAutomaticColors();
    LoadControls();
}

void SECEditFontSizeDlg::ResolveAutomaticColors()
{
    SECEditColorGroup* text = m_nTextGroup >= 0 && m_nTextGroup < static_cast<int>(m_groups.size()) ? &m_groups[m_nTextGroup] : nullptr;
    if (!text)
        return;
    if (text->m_bForeAutomatic)
        text->m_foreground = ::GetSysColor(COLOR_WINDOWTEXT);
    if (text->m_bBackAutomatic)
        text->m_background = ::GetSysColor(COLOR_WINDOW);
    for (int i = 0; i < static_cast<int>(m_groups.size()); ++i) {
        if (i == m_nTextGroup)
            continue;
        SECEditColorGroup& group = m_groups[i];
        // The selection shows the text's colours crossed.
        const bool selection = i == m_nSelectionGroup;
        if (group.m_bForeAutomatic)
            group.m_foreground = selection ? text->m_background : text->m_foreground;
        if (group.m_bBackAutomatic)
            group.m_background = selection ? text->m_foreground : text->m_background;
    }
}

void SECEditFontSizeDlg::ShowFontTexts()
{
    ::SetDlgItemTextW(m_hWnd, IDC_EDIT_FACE_NAME, m_logFont.lfFaceName);
    CString size;
    size.Format(L"%d pt", GetPointSize());
    ::SetDlgItemTextW(m_hWnd, IDC_EDIT_POINT_SIZE, size.GetString());
}

void SECEditFontSizeDlg::OnGroupChanged()
{
    LoadControls();
}

void SECEditFontSizeDlg::OnAutomaticClicked()
{
    StoreControls();
}

LRESULT SECEditFontSizeDlg::OnColorSelected(WPARAM control, LPARAM colour)
{
    if (control == IDC_EDIT_FORECOLOR)
        m_foreground = static_cast<COLORREF>(colour);
    else if (control == IDC_EDIT_BACKCOLOR)
        m_background = static_cast<COLORREF>(colour);
    StoreControls();
    return 0;
}

void SECEditFontSizeDlg::OnResetAll()
{
    CopyFromConfig();
    SendDlgItemMessageW(m_hWnd, IDC_EDIT_COLOR_GROUPS, LB_SETCURSEL, 0, 0);
    LoadControls();
    ShowFontTexts();
}

void SECEditFontSizeDlg::OnChooseFont()
{
    DWORD flags = m_dwFontFlags | CF_ENABLETEMPLATE;
    if (m_logFont.lfCharSet != 0)
        flags |= CF_SELECTSCRIPT;
    CFontDialog dialog(&m_logFont, flags, nullptr, this);
    dialog.m_cf.lpTemplateName = MAKEINTRESOURCEW(IDD_EDIT_CHOOSE_FONT);
    if (dialog.DoModal() != IDOK)
        return;
    dialog.GetCurrentFont(&m_logFont);
    ShowFontTexts();
    InvalidateRect(SampleRect(), FALSE);
}

CRect SECEditFontSizeDlg::SampleRect() const
{
    CWnd* frame = GetDlgItem(IDC_EDIT_SAMPLE);
    if (!frame)
        return {};
    CRect rect;
    frame->GetClientRect(&rect);
    frame->ClientToScreen(&rect);
    ScreenToClient(&rect);
    return CRect(rect.left + 5, rect.top + 15, rect.right - 5, rect.bottom - 5);
}

void SECEditFontSizeDlg::OnPaint()
{
    CPaintDC dc(this);
    DrawSample(dc);
}

void SECEditFontSizeDlg::DrawSample(CDC& dc)
{
    SECEditColorGroup* group = SelectedGroup();
    const CRect rect = SampleRect();
    const int saved = dc.SaveDC();
    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CBrush brush(group ? group->m_background : RGB(255, 255, 255));
    dc.SelectObject(&pen);
    dc.SelectObject(&brush);
    dc.Rectangle(&rect);
    CFont font;
    font.CreateFontIndirect(&m_logFont);
    dc.SelectObject(&font);
    dc.SetTextColor(group ? group->m_foreground : RGB(0, 0, 0));
    dc.SetBkMode(TRANSPARENT);
    CRect inside = rect;
    inside.DeflateRect(2, 2);
    dc.IntersectClipRect(&inside);
    dc.DrawText(L"AaBbCcXxYyZz", &inside, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    dc.RestoreDC(saved);
}
