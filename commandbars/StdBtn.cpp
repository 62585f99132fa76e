#include "commandbars/StdBtn.h"

#include "commandbars/CustomToolBar.h"
#include "framework/AuxBitmaps.h"
#include "framework/BmpMgr.h"
#include "platform/base/Exceptions.h"
#include "platform/gdi/ControlLook.h"
#include "platform/gdi/SysColors.h"

#include <utility>

namespace {

// Mono sources map black to the text colour and white to the background colour of the target.
void UseMonochromeColours(HDC dc)
{
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
}

} // namespace

// ---- the drawing data

SECBtnDrawData::SECBtnDrawData()
{
    m_hdcMask = CreateCompatibleDC(nullptr);
    m_hdcImage = CreateCompatibleDC(nullptr);
    m_hdcWork = CreateCompatibleDC(nullptr);
    // The half-tone of checked and indeterminate buttons: alternate pixels, 8 x 8.
    static constexpr WORD kChecker[8] = { 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA };
    if (HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kChecker)) {
        m_hDitherBrush = CreatePatternBrush(pattern);
        DeleteObject(pattern);
    }
    if (!m_hdcMask || !m_hdcImage || !m_hdcWork || !m_hDitherBrush) {
        Free();
        AfxThrowResourceException();
    }
}

SECBtnDrawData::~SECBtnDrawData()
{
    Free();
}

void SECBtnDrawData::Free()
{
    EndDraw();
    for (HDC dc : { m_hdcMask, m_hdcImage, m_hdcWork })
        if (dc)
            DeleteDC(dc);
    for (HGDIOBJ object : { static_cast<HGDIOBJ>(m_hDitherBrush), static_cast<HGDIOBJ>(m_hMaskBitmap), static_cast<HGDIOBJ>(m_hWorkBitmap) })
        if (object)
            DeleteObject(object);
}

void SECBtnDrawData::SetTransparentColor(COLORREF color, BOOL use)
{
    m_clrTransparent = color;
    m_bUseTransparent = use;
}

COLORREF SECBtnDrawData::GetTransparentColor() const
{
    if (m_bUseTransparent)
        return m_clrTransparent;
    BITMAP info {};
    if (m_hImageBitmap && GetObjectW(m_hImageBitmap, sizeof info, &info) && info.bmBitsPixel >= 16)
        return GetPixel(m_hdcImage, 0, 0);
    return RGB(192, 192, 192);
}

BOOL SECBtnDrawData::PrepareDraw(HDC target, int width, int height)
{
    if (width <= 0 || height <= 0)
        return FALSE;
    if (m_szBitmaps.cx < width || m_szBitmaps.cy < height || !m_hWorkBitmap) {
        EndDraw();
        for (HBITMAP* bitmap : { &m_hMaskBitmap, &m_hWorkBitmap })
            if (*bitmap)
                DeleteObject(std::exchange(*bitmap, nullptr));
        m_hMaskBitmap = CreateBitmap(width, height, 1, 1, nullptr);
        m_hWorkBitmap = CreateCompatibleBitmap(target, width, height);
        if (!m_hMaskBitmap || !m_hWorkBitmap)
            return FALSE;
        m_szBitmaps = CSize(width, height);
    }
    m_previousMask = SelectObject(m_hdcMask, m_hMaskBitmap);
    m_previousWork = SelectObject(m_hdcWork, m_hWorkBitmap);
    return TRUE;
}

void SECBtnDrawData::EndDraw()
{
    SelectImage(nullptr);
    if (m_previousMask)
        SelectObject(m_hdcMask, std::exchange(m_previousMask, nullptr));
    if (m_previousWork)
        SelectObject(m_hdcWork, std::exchange(m_previousWork, nullptr));
}

void SECBtnDrawData::SelectImage(HBITMAP bitmap)
{
    if (bitmap == m_hImageBitmap)
        return;
    if (m_hImageBitmap)
        SelectObject(m_hdcImage, m_previousImage);
    m_hImageBitmap = bitmap;
    m_previousImage = bitmap ? SelectObject(m_hdcImage, bitmap) : nullptr;
}

// ---- the button

void SECStdBtn::Invalidate(BOOL erase) const
{
    if (m_pToolBar && m_pToolBar->m_hWnd) {
        const CRect rect = GetRect();
        ::InvalidateRect(m_pToolBar->m_hWnd, &rect, erase);
    }
}

void SECStdBtn::Init(SECCustomToolBar* bar, const UINT_PTR*)
{
    m_pToolBar = bar;
    AdjustSize();
}

void SECStdBtn::AdjustSize()
{
    if (!m_pToolBar)
        return;
    if (IsSeparator()) {
        m_cx = m_pToolBar->m_nSepWidth;
        m_cy = m_pToolBar->GetButtonHeight();
    } else if (m_nType == kLargest) {
        m_cx = std::max(m_pToolBar->GetButtonWidth(), m_pToolBar->m_cxLargestBtn);
        m_cy = std::max(m_pToolBar->GetButtonHeight(), m_pToolBar->m_cyLargestBtn);
    } else {
        m_cx = m_pToolBar->GetButtonWidth();
        m_cy = m_pToolBar->GetButtonHeight();
    }
    m_pToolBar->m_cxLargestBtn = std::max(m_pToolBar->m_cxLargestBtn, m_cx);
    m_pToolBar->m_cyLargestBtn = std::max(m_pToolBar->m_cyLargestBtn, m_cy);
}

BOOL SECStdBtn::BtnPressDown(CPoint)
{
    if (m_nStyle & TBBS_DISABLED)
        return FALSE;
    m_nStyle |= TBBS_PRESSED;
    if (!(m_nStyle & TBBS_DROPDOWN))
        return TRUE;
    // A drop-down button acts on the press itself and never holds the mouse.
    Invalidate();
    m_pToolBar->UpdateWindow();
    {
        SECCustomToolBar::CommandInProgress busy;
        SendNotify(TBN_DROPDOWN, 0, 0);
    }
    m_nStyle &= ~TBBS_PRESSED;
    Invalidate();
    m_pToolBar->UpdateWindow();
    m_pToolBar->UpdateHotItem(TRUE);
    return FALSE;
}

void SECStdBtn::BtnPressMouseMove(CPoint point)
{
    const CRect rect = GetRect();
    const bool inside = point.x >= rect.left && point.x <= rect.right && point.y >= rect.top && point.y <= rect.bottom;
    m_nStyle = inside ? (m_nStyle | TBBS_PRESSED) : (m_nStyle & ~TBBS_PRESSED);
}

void SECStdBtn::BtnPressCancel()
{
    m_nStyle &= ~TBBS_PRESSED;
    Invalidate(FALSE);
}

UINT SECStdBtn::BtnPressUp(CPoint point)
{
    m_nStyle &= ~TBBS_PRESSED;
    return GetRect().PtInRect(point) ? m_nID : 0;
}

INT_PTR SECStdBtn::OnToolHitTest(CPoint, TOOLINFO* info) const
{
    if (info) {
        info->uFlags = 0;
        info->hwnd = m_pToolBar ? m_pToolBar->m_hWnd : nullptr;
        info->uId = m_nID;
        info->rect = GetRect();
        info->lpszText = LPSTR_TEXTCALLBACKW;
    }
    return m_nID;
}

LRESULT SECStdBtn::SendNotify(UINT code, UINT_PTR a, UINT_PTR b)
{
    if (!m_pToolBar || !m_pToolBar->m_hWnd)
        return 0;
    const UINT barId = static_cast<UINT>(m_pToolBar->GetDlgCtrlID());
    SECBtnNotify notify {};
    notify.toolBar.hdr = { m_pToolBar->m_hWnd, barId, code };
    notify.toolBar.iItem = static_cast<int>(m_nID);
    notify.nIndex = m_pToolBar->GetButtonIndex(this);
    notify.a = a;
    notify.b = b;
    HWND owner = m_pToolBar->GetOwnerWindow();
    return owner ? ::SendMessageW(owner, WM_NOTIFY, barId, reinterpret_cast<LPARAM>(&notify)) : 0;
}

// ---- drawing

CSize SECStdBtn::ImageSize() const
{
    return m_pToolBar ? CSize(m_pToolBar->GetImageWidth(), m_pToolBar->GetImageHeight()) : CSize(16, 15);
}

CPoint SECStdBtn::ImageSource() const
{
    return CPoint(m_nImage * ImageSize().cx, 0);
}

void SECStdBtn::Draw(HDC dc, SECBtnDrawData& data)
{
    const CRect rect = GetRect();
    if (!RectVisible(dc, &rect))
        return;
    if (IsSeparator()) {
        DrawSeparator(dc);
        return;
    }
    SelectImage(data);
    CRect face;
    CPoint image;
    DrawButtonFace(data, face, image);
    if (!(m_nStyle & TBBS_PRESSED)) {
        if (m_nStyle & TBBS_DISABLED)
            DrawDisabled(data, face, image);
        else if (m_nStyle & TBBS_CHECKED)
            DrawChecked(data, face, image);
        else if (m_nStyle & TBBS_INDETERMINATE)
            DrawIndeterminate(data, face, image);
    }
    Blit(dc, data);
}

void SECStdBtn::DrawSeparator(HDC dc)
{
    if (!m_pToolBar || !m_pToolBar->IsFlat())
        return;
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    if (m_bVertical) {
        // Across the bar: as wide as a button is high, two etched rows at its top.
        const CRect area(m_x, m_y, m_x + m_cy, m_y + m_cx);
        FillSolidRect(dc, &area, GetSysColor(COLOR_BTNFACE));
        const CRect dark(m_x, m_y, m_x + m_cy, m_y + 1), light(m_x, m_y + 1, m_x + m_cy, m_y + 2);
        FillSolidRect(dc, &dark, shadow);
        FillSolidRect(dc, &light, highlight);
        return;
    }
    const CRect area = GetRect();
    FillSolidRect(dc, &area, GetSysColor(COLOR_BTNFACE));
    if (m_nStyle & TBBS_WRAPPED)
        return; // it ends a row: the gap between the rows is the separation
    const int middle = m_x + m_cx / 2;
    const CRect dark(middle, m_y, middle + 1, m_y + m_cy), light(middle + 1, m_y, middle + 2, m_y + m_cy);
    FillSolidRect(dc, &dark, shadow);
    FillSolidRect(dc, &light, highlight);
}

void SECStdBtn::SelectImage(SECBtnDrawData& data)
{
    HBITMAP bitmap = nullptr;
    int index = 0;
    if (m_pToolBar && m_pToolBar->GetBmpMgr() && m_pToolBar->GetBmpMgr()->GetImage(m_nID, bitmap, index))
        m_nImage = index;
    data.SelectImage(bitmap);
}

void SECStdBtn::DrawButtonFace(SECBtnDrawData& data, CRect& face, CPoint& image)
{
    HDC work = data.m_hdcWork;
    face = CRect(0, 0, m_cx, m_cy);
    const CSize imageSize = ImageSize();
    image = CPoint((m_cx - imageSize.cx - 1) / 2, (m_cy - imageSize.cy) / 2);
    FillSolidRect(work, &face, GetSysColor(COLOR_BTNFACE));
    if (IsPressedOrChecked()) {
        face = fln::gdi::DrawButtonBevel(work, face, fln::gdi::ButtonBevel::Sunken);
        image.Offset(1, 1);
    } else if (!m_pToolBar || !m_pToolBar->IsFlat() || (m_nStyle & SEC_TBBS_HOT)) {
        face = fln::gdi::DrawButtonBevel(work, face, fln::gdi::ButtonBevel::Raised);
    }
    if (!(m_nStyle & (TBBS_DISABLED | TBBS_CHECKED | TBBS_INDETERMINATE)) || (m_nStyle & TBBS_PRESSED))
        DrawImage(data, image);
}

void SECStdBtn::BuildImageMask(SECBtnDrawData& data) const
{
    const CSize size = ImageSize();
    const CPoint source = ImageSource();
    PatBlt(data.m_hdcMask, 0, 0, size.cx, size.cy, BLACKNESS);
    for (COLORREF background : { data.GetTransparentColor(), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT) })
        WhitenMask(data.m_hdcMask, size.cx, size.cy, data.m_hdcImage, source.x, source.y, background);
}

void SECStdBtn::DrawImage(SECBtnDrawData& data, CPoint at)
{
    if (!data.m_hImageBitmap)
        return;
    const CSize size = ImageSize();
    const CPoint source = ImageSource();
    UseMonochromeColours(data.m_hdcWork);
    DrawTransparentBitmap(data.m_hdcWork, at.x, at.y, size.cx, size.cy, data.m_hdcImage, source.x, source.y, data.GetTransparentColor());
}

void SECStdBtn::DrawDisabled(SECBtnDrawData& data, const CRect& face, CPoint image)
{
    HDC work = data.m_hdcWork;
    if (m_nStyle & TBBS_CHECKED)
        FillHalftone(data, face); // the half-tone stays; the picture is embossed over it
    else
        FillSolidRect(work, &face, GetSysColor(COLOR_BTNFACE));
    if (!data.m_hImageBitmap)
        return;
    BuildImageMask(data);
    const CSize size = ImageSize();
    DrawEmbossedMask(work, image.x, image.y, size.cx, size.cy, data.m_hdcMask);
}

void SECStdBtn::FillHalftone(SECBtnDrawData& data, const CRect& face) const
{
    HDC work = data.m_hdcWork;
    SetTextColor(work, GetSysColor(COLOR_BTNFACE));
    SetBkColor(work, GetSysColor(COLOR_BTNHIGHLIGHT));
    HGDIOBJ previous = SelectObject(work, data.m_hDitherBrush);
    PatBlt(work, face.left, face.top, face.Width(), face.Height(), PATCOPY);
    SelectObject(work, previous);
}

void SECStdBtn::DrawChecked(SECBtnDrawData& data, const CRect& face, CPoint image)
{
    FillHalftone(data, face);
    if (!(m_nStyle & TBBS_DISABLED))
        DrawImage(data, image);
}

void SECStdBtn::DrawIndeterminate(SECBtnDrawData& data, const CRect& face, CPoint image)
{
    FillHalftone(data, face);
    if (!data.m_hImageBitmap)
        return;
    // The picture in the shadow colour on the half-tone.
    BuildImageMask(data);
    const CSize size = ImageSize();
    FillThroughMask(data.m_hdcWork, image.x, image.y, size.cx, size.cy, data.m_hdcMask, GetSysColor(COLOR_BTNSHADOW));
}

void SECStdBtn::Blit(HDC dc, SECBtnDrawData& data)
{
    BitBlt(dc, m_x, m_y, m_cx, m_cy, data.m_hdcWork, 0, 0, SRCCOPY);
}
