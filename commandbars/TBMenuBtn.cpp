#include "commandbars/TBMenuBtn.h"

#include "platform/gdi/ControlLook.h"
#include "platform/gdi/SysColors.h"
#include "platform/res/Resources.h"
#include "platform/res/Templates.h"

#include <cwctype>

namespace {

SECStdBtn* CreateMenuButton()
{
    return new SECTBMenuBtn;
}

} // namespace

const SECButtonClass SECTBMenuBtn::s_buttonClass { &CreateMenuButton };

void SECTBMenuBtn::Init(SECCustomToolBar* bar, const UINT_PTR* initData)
{
    m_pToolBar = bar;
    if (initData) {
        m_nMenuId = static_cast<UINT>(initData[kMenuId]);
        m_nPopupIndex = static_cast<int>(initData[kPopupIndex]);
        m_dwMenuMask = static_cast<DWORD>(initData[kMask]);
        if (const auto* title = reinterpret_cast<const wchar_t*>(initData[kTitle]))
            m_strTitle = title;
        ComputeMnemonic();
    }
    AdjustSize();
}

void SECTBMenuBtn::ComputeMnemonic()
{
    const int ampersand = m_strTitle.Find(L'&');
    m_cMnemonic = ampersand >= 0 && ampersand + 1 < m_strTitle.GetLength()
        ? static_cast<UINT>(std::towupper(static_cast<wint_t>(m_strTitle[ampersand + 1])))
        : 0;
}

BOOL SECTBMenuBtn::BtnPressDown(CPoint)
{
    if (m_nStyle & TBBS_DISABLED)
        return FALSE;
    m_nStyle |= TBBS_PRESSED;
    Invalidate();
    if (m_pToolBar)
        m_pToolBar->UpdateWindow();
    OpenMenu();
    return FALSE;
}

void SECTBMenuBtn::OpenMenu()
{
    if (m_pToolBar)
        m_pToolBar->DropButtonMenu(this, m_nMenuId, m_nPopupIndex);
}

void SECTBMenuBtn::AdjustSize()
{
    if (!m_pToolBar)
        return;
    CFont* font = m_pToolBar->GetMenuFont() ? m_pToolBar->GetMenuFont() : m_pToolBar->GetFont();
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, font ? static_cast<HGDIOBJ>(*font) : ::GetStockObject(DEFAULT_GUI_FONT));
    CRect extent;
    ::DrawTextW(dc, m_strTitle, m_strTitle.GetLength(), &extent, DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE);
    ::SelectObject(dc, previous);
    ::ReleaseDC(nullptr, dc);
    m_cx = extent.Width() + 10;
    m_cy = extent.Height() + 6;
    m_pToolBar->m_cxLargestBtn = std::max(m_pToolBar->m_cxLargestBtn, m_cx);
    m_pToolBar->m_cyLargestBtn = std::max(m_pToolBar->m_cyLargestBtn, m_cy);
}

void SECTBMenuBtn::DrawButtonFace(SECBtnDrawData& data, CRect& face, CPoint& image)
{
    HDC work = data.m_hdcWork;
    face = CRect(0, 0, m_cx, m_cy);
    image = face.TopLeft();
    ::FillSolidRect(work, &face, GetSysColor(COLOR_BTNFACE));
    if (IsPressedOrChecked())
        face = fln::gdi::DrawButtonBevel(work, face, fln::gdi::ButtonBevel::Sunken);
    else if (m_nStyle & SEC_TBBS_HOT)
        face = fln::gdi::DrawButtonBevel(work, face, fln::gdi::ButtonBevel::Raised);
    else
        face.DeflateRect(2, 2);
    CFont* font = m_pToolBar ? m_pToolBar->GetMenuFont() : nullptr;
    HGDIOBJ previous = ::SelectObject(work, font ? static_cast<HGDIOBJ>(*font) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(work, TRANSPARENT);
    ::SetTextColor(work, GetSysColor((m_nStyle & TBBS_DISABLED) ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
    CRect text(0, 0, m_cx, m_cy);
    ::DrawTextW(work, m_strTitle, m_strTitle.GetLength(), &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    ::SelectObject(work, previous);
}

void SECMenuButtonRecords::Add(UINT menuId, int popupIndex, const CString& title, DWORD mask)
{
    m_titles.push_back(title);
    SECBtnMapEntry record { &SECTBMenuBtn::s_buttonClass, m_nextCommand++, SEC_TBBS_ALWAYSENABLED | SEC_TBBS_VCENTER, {} };
    record.extra[SECTBMenuBtn::kMenuId] = menuId;
    record.extra[SECTBMenuBtn::kPopupIndex] = static_cast<UINT_PTR>(popupIndex);
    record.extra[SECTBMenuBtn::kTitle] = reinterpret_cast<UINT_PTR>(static_cast<LPCWSTR>(m_titles.back()));
    record.extra[SECTBMenuBtn::kMask] = mask;
    m_records.insert(m_records.end() - 1, record);
}

BOOL BuildMenuButtonRecords(SECMenuButtonRecords* records, int& counter, DWORD mask, UINT menuId)
{
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(menuId), RT_MENU);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return FALSE;
    const auto menu = fln::res::DecodeMenuTemplate(data, SizeofResource(nullptr, found));
    if (!menu)
        return FALSE;
    for (size_t index = 0; index < menu->items.size(); ++index) {
        ++counter;
        if (records)
            records->Add(menuId, static_cast<int>(index), menu->items[index].text, mask);
    }
    return TRUE;
}
