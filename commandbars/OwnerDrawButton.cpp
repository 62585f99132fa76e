#include "commandbars/OwnerDrawButton.h"

#include "framework/AuxBitmaps.h"
#include "platform/gdi/ControlLook.h"
#include "platform/gdi/MemoryDC.h"

#include <initializer_list>

namespace divuzura::foundation {

IMPLEMENT_DYNAMIC(SECOwnerDrawButton, CButton)

BEGIN_MESSAGE_MAP(SECOwnerDrawButton, CButton)
    ON_WM_DRAWITEM_REFLECT()
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_WM_KEYUP()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_SYSCOLORCHANGE()
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
END_MESSAGE_MAP()

namespace {

bool IsActivationKey(UINT key) { return key == VK_SPACE || key == VK_RETURN; }

} // namespace

SECOwnerDrawButton::SECOwnerDrawButton() = default;

BOOL SECOwnerDrawButton::AttachButton(UINT id, CWnd* parent, DWORD options)
{
    if (!parent || !SubclassDlgItem(id, parent))
        return FALSE;
    m_dwOptions = options;
    m_bDefault = (CButton::GetButtonStyle() & 0xF) == BS_DEFPUSHBUTTON;
    DefWindowProc(BM_SETSTYLE, (CButton::GetButtonStyle() & ~0xFu) | BS_OWNERDRAW, TRUE);
    return TRUE;
}

BOOL SECOwnerDrawButton::Create(LPCWSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id, DWORD options)
{
    m_dwOptions = options;
    m_bDefault = (style & 0xF) == BS_DEFPUSHBUTTON;
    return CButton::Create(caption, (style & ~0xFu) | BS_OWNERDRAW, rect, parent, id);
}

void SECOwnerDrawButton::SetButtonStyle(UINT style, BOOL redraw)
{
    const BOOL isDefault = (style & 0xF) == BS_DEFPUSHBUTTON;
    const bool changed = isDefault != m_bDefault;
    m_bDefault = isDefault;
    // The window keeps drawing itself, whatever type the caller asked for.
    DefWindowProc(BM_SETSTYLE, (style & ~0xFu) | BS_OWNERDRAW, FALSE);
    if (changed && redraw)
        Invalidate(FALSE);
}

void SECOwnerDrawButton::SetFlat(BOOL flat)
{
    if (m_bFlat == flat)
        return;
    m_bFlat = flat;
    if (m_hWnd)
        Invalidate(FALSE);
}

// ---- drawing

void SECOwnerDrawButton::DrawItem(LPDRAWITEMSTRUCT item)
{
    CDC* dc = CDC::FromHandle(item->hDC);
    const CRect rect(item->rcItem);
    fln::gdi::MemoryDC offscreen(*dc, rect.Width(), rect.Height());
    CDC* target = offscreen.valid() ? CDC::FromHandle(offscreen) : dc;
    DRAWITEMSTRUCT local = *item;
    if (offscreen.valid()) {
        // The off-screen picture starts at its own origin.
        ::OffsetRect(&local.rcItem, -rect.left, -rect.top);
        local.hDC = offscreen;
    }
    PreDraw(dc, target);
    CRect content;
    DrawFrame(content, target, local);
    DrawContent(target, local, content);
    if (item->itemState & ODS_DISABLED)
        DrawDisabled(target, content);
    if (offscreen.valid())
        offscreen.CopyTo(*dc, rect.left, rect.top);
    PostDraw(dc, target);
    DrawFocus(dc, *item);
}

void SECOwnerDrawButton::DrawFrame(CRect& content, CDC* dc, const DRAWITEMSTRUCT& item)
{
    CRect rect(item.rcItem);
    dc->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
    if (DrawsFocusFrame(item)) {
        CBrush brush(::GetSysColor(COLOR_WINDOWFRAME));
        dc->FrameRect(&rect, &brush);
        rect.DeflateRect(1, 1);
    }
    using fln::gdi::ButtonBevel;
    if (item.itemState & ODS_SELECTED) {
        fln::gdi::DrawButtonBevel(*dc, rect, ButtonBevel::PushSunken);
        content = CRect(rect.left + 2, rect.top + 2, rect.right - 1, rect.bottom - 1); // pushed in by one
        return;
    }
    if (m_bFlat) {
        content = rect;
        if (m_bMouseInside)
            fln::gdi::DrawButtonBevel(*dc, rect, ButtonBevel::Raised);
        return;
    }
    fln::gdi::DrawButtonBevel(*dc, rect, ButtonBevel::PushRaised);
    content = CRect(rect.left + 1, rect.top + 1, rect.right - 2, rect.bottom - 2);
}

void SECOwnerDrawButton::DrawDisabled(CDC* dc, const CRect& content)
{
    if (content.IsRectEmpty())
        return;
    // A mask that is black where something other than the face or the highlight was drawn.
    SECMonoMask mask(*dc, content.Width(), content.Height());
    if (!mask.IsValid())
        return;
    for (COLORREF background : { ::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNHIGHLIGHT) })
        mask.Whiten(*dc, content.left, content.top, background);
    dc->FillSolidRect(&content, ::GetSysColor(COLOR_BTNFACE));
    DrawEmbossedMask(*dc, content.left, content.top, content.Width(), content.Height(), mask.GetDC());
}

void SECOwnerDrawButton::DrawFocus(CDC* dc, const DRAWITEMSTRUCT& item)
{
    if (!(item.itemState & ODS_FOCUS))
        return;
    CRect rect(item.rcItem);
    rect.DeflateRect(1, 1);
    if (item.itemState & ODS_SELECTED)
        rect.OffsetRect(1, 1);
    else
        rect.DeflateRect(0, 0, 1, 1);
    DrawFocusRect(dc, rect);
}

void SECOwnerDrawButton::DrawFlatEdge(bool raised)
{
    CClientDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    if (raised) {
        fln::gdi::DrawButtonBevel(dc, rect, fln::gdi::ButtonBevel::Raised);
    } else {
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        dc.Draw3dRect(&rect, face, face);
    }
}

// ---- messages

LRESULT SECOwnerDrawButton::OnGetDlgCode(WPARAM, LPARAM)
{
    const bool standsInAsDefault = (m_dwOptions & SEC_ODB_DEFAULTWHENFOCUSED) && ::GetFocus() == m_hWnd;
    return DLGC_BUTTON | (standsInAsDefault ? DLGC_DEFPUSHBUTTON : 0);
}

void SECOwnerDrawButton::OnKeyUp(UINT key, UINT, UINT)
{
    Default();
    if (IsActivationKey(key))
        OnClick();
}

bool SECOwnerDrawButton::IsClickRelease(CPoint point) const
{
    CRect client;
    GetClientRect(&client);
    return client.PtInRect(point) && (GetState() & BST_PUSHED) && ::GetCapture() == m_hWnd;
}

void SECOwnerDrawButton::OnLButtonUp(UINT, CPoint point)
{
    if (IsClickRelease(point)) {
        m_bMouseInside = FALSE;
        OnClick();
    }
    Default();
}

void SECOwnerDrawButton::OnLButtonDblClk(UINT keys, CPoint point)
{
    // A double click is a second click.
    SendMessage(WM_LBUTTONDOWN, keys, MAKELPARAM(point.x, point.y));
}

void SECOwnerDrawButton::OnMouseMove(UINT keys, CPoint point)
{
    Default();
    CRect client;
    GetClientRect(&client);
    const BOOL inside = client.PtInRect(point);
    if (!m_bFlat || (keys & MK_LBUTTON) || (GetState() & BST_PUSHED)) {
        m_bMouseInside = inside;
        return;
    }
    // A flat button shows its edge while the mouse is over it, and holds the capture to see it leave.
    if (inside && !m_bMouseInside) {
        m_bMouseInside = TRUE;
        SetCapture();
        DrawFlatEdge(true);
    } else if (!inside && m_bMouseInside) {
        m_bMouseInside = FALSE;
        DrawFlatEdge(false);
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
    }
}

void SECOwnerDrawButton::OnSetFocus(CWnd*)
{
    Default();
    CWnd* parent = GetParent();
    if (!parent || m_savedDefaultId)
        return;
    const LRESULT answer = parent->SendMessage(DM_GETDEFID);
    if (HIWORD(answer) != DC_HASDEFID)
        return;
    m_savedDefaultId = answer;
    parent->SendMessage(DM_SETDEFID, static_cast<WPARAM>(GetDlgCtrlID()));
    const HWND former = ::GetDlgItem(parent->m_hWnd, LOWORD(answer));
    if (former && former != m_hWnd) {
        m_savedDefaultStyle = static_cast<DWORD>(::GetWindowLongW(former, GWL_STYLE)) & 0xFFFF;
        ::SendMessageW(former, BM_SETSTYLE, m_savedDefaultStyle & ~static_cast<DWORD>(BS_DEFPUSHBUTTON), TRUE);
    }
}

void SECOwnerDrawButton::OnKillFocus(CWnd*)
{
    Default();
    CWnd* parent = GetParent();
    if (!m_savedDefaultId || !parent)
        return;
    const WORD formerId = LOWORD(m_savedDefaultId);
    m_savedDefaultId = 0;
    parent->SendMessage(DM_SETDEFID, formerId);
    const HWND former = ::GetDlgItem(parent->m_hWnd, formerId);
    if (former && former != m_hWnd)
        ::SendMessageW(former, BM_SETSTYLE, m_savedDefaultStyle, TRUE);
}

void SECOwnerDrawButton::OnSysColorChange()
{
    Default();
    Invalidate(FALSE);
}

LRESULT SECOwnerDrawButton::OnSetStyle(WPARAM style, LPARAM redraw)
{
    SetButtonStyle(static_cast<UINT>(style), static_cast<BOOL>(redraw));
    return 0;
}

} // namespace divuzura::foundation
