// The page's picture keys and drop-down buttons: owner-drawn buttons that show a bitmap, or a
// caption with a drop-down arrow, and drop their popup menu below themselves when pressed.

#include "app/FlnView.h"

#include "platform/gdi/ClassicParts.h"
#include "platform/gdi/Gdi.h"
#include "platform/user/ResourceHandles.h"
#include "res/FormulaPage.h"

namespace {

struct PictureKey {
    UINT id;
    UINT bitmap;
};
constexpr PictureKey PictureKeys[] = {
    { IDC_KEY_PI, IDB_KEY_PI }, { IDC_KEY_E, IDB_KEY_E }, { IDC_KEY_ROOT, IDB_KEY_ROOT },
    { IDC_COPY_OUTPUT, IDB_COPY_OUTPUT },
};

constexpr int DropArrowWidth = 9;

} // namespace

void CFlnView::AttachToolkitButtons()
{
    m_menuPhysConst.LoadMenu(IDR_PHYSICAL_CONSTANTS);
    m_menuNumberFormat.LoadMenu(IDR_NUMBER_FORMAT);
    for (const PictureKey& key : PictureKeys)
        m_pictures[key.id] = ::LoadBitmapW(nullptr, MAKEINTRESOURCEW(key.bitmap));
}

void CFlnView::DestroyPictures()
{
    for (auto& [id, bitmap] : m_pictures)
        ::DeleteObject(bitmap);
    m_pictures.clear();
}

void CFlnView::DropDownMenu(UINT buttonId, CMenu& menu)
{
    RECT button {};
    ::GetWindowRect(::GetDlgItem(m_hWnd, static_cast<int>(buttonId)), &button);
    ::TrackPopupMenu(::GetSubMenu(menu.m_hMenu, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, button.left,
        button.bottom, 0, m_hWnd, nullptr);
}

void CFlnView::OnNumberFormatButton()
{
    DropDownMenu(IDC_NUMBER_FORMAT, m_menuNumberFormat);
}

LRESULT CFlnView::OnDrawItem(WPARAM, LPARAM lParam)
{
    const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item.CtlType != ODT_BUTTON)
        return FALSE;
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    ::DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    const int shift = pressed ? 1 : 0;

    if (auto picture = m_pictures.find(item.CtlID); picture != m_pictures.end()) {
        BITMAP size {};
        ::GetObjectW(picture->second, sizeof size, &size);
        HDC source = ::CreateCompatibleDC(item.hDC);
        HGDIOBJ old = ::SelectObject(source, picture->second);
        const int x = (item.rcItem.left + item.rcItem.right - size.bmWidth) / 2 + shift;
        const int y = (item.rcItem.top + item.rcItem.bottom - size.bmHeight) / 2 + shift;
        ::BitBlt(item.hDC, x, y, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
        ::SelectObject(source, old);
        ::DeleteDC(source);
    } else {
        // A drop-down button: its caption, then the arrow at the right.
        RECT arrow = item.rcItem;
        arrow.left = arrow.right - DropArrowWidth - 2;
        ::OffsetRect(&arrow, shift - 1, shift);
        wchar_t caption[64] {};
        const int length = ::GetWindowTextW(item.hwndItem, caption, 64);
        if (length > 0) {
            RECT text = item.rcItem;
            text.right = arrow.left;
            ::OffsetRect(&text, shift, shift);
            ::SetBkMode(item.hDC, TRANSPARENT);
            ::SetTextColor(item.hDC, ::GetSysColor(COLOR_BTNTEXT));
            HGDIOBJ oldFont = ::SelectObject(item.hDC, reinterpret_cast<HGDIOBJ>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
            ::DrawTextW(item.hDC, caption, length, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            ::SelectObject(item.hDC, oldFont);
        } else {
            arrow = item.rcItem;
            ::OffsetRect(&arrow, shift, shift);
        }
        fln::gdi::DrawArrow(item.hDC, arrow, fln::gdi::ArrowDirection::Down, 3, ::GetSysColor(COLOR_BTNTEXT));
    }
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(item.hDC, &focus);
    }
    return TRUE;
}
