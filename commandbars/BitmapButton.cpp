#include "commandbars/BitmapButton.h"

#include "platform/res/Resources.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace divuzura::foundation {

IMPLEMENT_DYNAMIC(SECBitmapButton, SECOwnerDrawButton)

BEGIN_MESSAGE_MAP(SECBitmapButton, SECOwnerDrawButton)
    ON_WM_SYSCOLORCHANGE()
    ON_WM_SIZE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

constexpr UINT kTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

} // namespace

BOOL SECBitmapButton::LoadImage()
{
    return SECLoadSysColorBitmap(m_bitmap, m_nBitmapId);
}

BOOL SECBitmapButton::AttachButton(UINT id, int alignment, UINT bitmapId, CWnd* parent, DWORD options)
{
    m_nBitmapId = bitmapId;
    m_nAlignment = alignment;
    if (!LoadImage() || !SECOwnerDrawButton::AttachButton(id, parent, options))
        return FALSE;
    LayoutImageAndText();
    return TRUE;
}

BOOL SECBitmapButton::Create(LPCWSTR caption, DWORD style, int alignment, UINT bitmapId, const RECT& rect, CWnd* parent,
    UINT id, DWORD options)
{
    m_nBitmapId = bitmapId;
    m_nAlignment = alignment;
    if (!LoadImage() || !SECOwnerDrawButton::Create(caption, style, rect, parent, id, options))
        return FALSE;
    LayoutImageAndText();
    return TRUE;
}

CSize SECBitmapButton::ImageSize() const
{
    BITMAP info {};
    if (!m_bitmap.m_hObject || !m_bitmap.GetBitmap(&info))
        return CSize(0, 0);
    return CSize(info.bmWidth, info.bmHeight);
}

HFONT SECBitmapButton::ButtonFont() const
{
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void SECBitmapButton::LayoutImageAndText()
{
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    client.right -= 3;
    client.bottom -= 3;
    const CSize image = ImageSize();
    m_rcImage = CRect(CPoint(0, 0), image);
    m_rcText = client;
    const int centredX = (client.Width() - image.cx) / 2, centredY = (client.Height() - image.cy) / 2;
    switch (m_nAlignment) {
    case SEC_IMAGE_LEFT:
        m_rcImage.OffsetRect(kMarginX, centredY);
        m_rcText.left = m_rcImage.right + 1;
        break;
    case SEC_IMAGE_RIGHT:
        m_rcImage.OffsetRect(client.Width() - kMarginX - image.cx, centredY);
        m_rcText.right = m_rcImage.left - 1;
        break;
    case SEC_IMAGE_TOP:
        m_rcImage.OffsetRect(centredX, kMarginY);
        m_rcText.top = m_rcImage.bottom + 1;
        break;
    case SEC_IMAGE_BOTTOM:
        m_rcImage.OffsetRect(centredX, client.Height() - kMarginY - image.cy);
        m_rcText.bottom = m_rcImage.top - 1;
        break;
    default:
        m_rcImage.OffsetRect(centredX, centredY);
        m_rcText.SetRectEmpty();
        break;
    }
    m_rcImage.IntersectRect(&m_rcImage, &client);
    m_rcText.IntersectRect(&m_rcText, &client);
}

void SECBitmapButton::SizeToContent()
{
    if (!m_hWnd)
        return;
    CSize text(0, 0);
    if (m_nAlignment != SEC_IMAGE_ONLY) {
        CClientDC dc(this);
        HGDIOBJ oldFont = dc.SelectObject(ButtonFont());
        CString caption;
        GetWindowText(caption);
        CRect measured;
        dc.DrawText(caption, &measured, DT_CALCRECT | DT_SINGLELINE);
        dc.SelectObject(oldFont);
        text = measured.Size();
    }
    const CSize image = ImageSize();
    CSize content;
    if (m_nAlignment == SEC_IMAGE_LEFT || m_nAlignment == SEC_IMAGE_RIGHT)
        content = CSize(image.cx + text.cx + 5, std::max(image.cy, text.cy));
    else
        content = CSize(std::max(image.cx, text.cx), image.cy + text.cy + 5);
    SetWindowPos(nullptr, 0, 0, content.cx + 2 * kMarginX + 3, content.cy + 2 * kMarginY + 3,
        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SECBitmapButton::DrawContent(CDC* dc, const DRAWITEMSTRUCT& item, const CRect& content)
{
    m_contentOffset = CPoint(content.left - item.rcItem.left, content.top - item.rcItem.top);
    if (DrawsFocusFrame(item))
        m_contentOffset -= CPoint(1, 1);
    const CPoint origin = CPoint(item.rcItem.left, item.rcItem.top) + m_contentOffset;
    CRect image = m_rcImage + origin;
    CDC memory;
    if (m_bitmap.m_hObject && memory.CreateCompatibleDC(dc)) {
        CBitmap* old = memory.SelectObject(&m_bitmap);
        dc->BitBlt(image.left, image.top, image.Width(), image.Height(), &memory, 0, 0, SRCCOPY);
        memory.SelectObject(old);
    }
    if (m_nAlignment == SEC_IMAGE_ONLY)
        return;
    CString caption;
    GetWindowText(caption);
    CRect text = m_rcText + origin;
    const int saved = dc->SaveDC();
    dc->SelectObject(ButtonFont());
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
    dc->DrawText(caption, &text, kTextFormat);
    dc->RestoreDC(saved);
}

void SECBitmapButton::DrawFocus(CDC* dc, const DRAWITEMSTRUCT& item)
{
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, CRect(item.rcItem));
}

void SECBitmapButton::DrawFocusRect(CDC* dc, const CRect& item)
{
    const CPoint origin = item.TopLeft() + m_contentOffset;
    CRect focus;
    if (m_nAlignment == SEC_IMAGE_ONLY) {
        focus = m_rcImage + origin;
        focus.InflateRect(3, 3);
    } else {
        CString caption;
        GetWindowText(caption);
        const CRect text = m_rcText + origin;
        HGDIOBJ oldFont = dc->SelectObject(ButtonFont());
        CRect measured;
        dc->DrawText(caption, &measured, kTextFormat | DT_CALCRECT);
        dc->SelectObject(oldFont);
        focus = CRect(CPoint(text.left + (text.Width() - measured.Width()) / 2, text.top + (text.Height() - measured.Height()) / 2), measured.Size());
        focus.InflateRect(1, 1);
    }
    CRect client;
    GetClientRect(&client);
    client.DeflateRect(1, 1);
    focus.IntersectRect(&focus, &client);
    dc->DrawFocusRect(&focus);
}

void SECBitmapButton::OnSysColorChange()
{
    LoadImage();
    SECOwnerDrawButton::OnSysColorChange();
}

void SECBitmapButton::OnSize(UINT, int, int)
{
    Default();
    LayoutImageAndText();
}

void SECBitmapButton::OnDestroy()
{
    m_bitmap.DeleteObject();
    Default();
}

} // namespace divuzura::foundation
