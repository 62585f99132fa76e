#include "commandbars/MenuButton.h"

#include "platform/gdi/MemoryDC.h"
#include "platform/mfc/View.h"

namespace divuzura::foundation {

IMPLEMENT_DYNAMIC(SECMenuButton, SECBitmapButton)

BEGIN_MESSAGE_MAP(SECMenuButton, SECBitmapButton)
    ON_WM_LBUTTONUP()
    ON_WM_KEYUP()
END_MESSAGE_MAP()

namespace {

// The arrow: a triangle 7 pixels across and 4 deep, pointing down or right, on the button face.
constexpr int kArrowLength = 7, kArrowDepth = 4;

bool IsActivationKey(UINT key) { return key == VK_SPACE || key == VK_RETURN; }

} // namespace

SECMenuButton::~SECMenuButton() = default;

int SECMenuButton::SetupMenu(LPCWSTR caption, HMENU menu, int direction)
{
    m_menu.DestroyMenu();
    m_menu.Attach(menu);
    m_nDirection = direction;
    return caption && *caption ? SEC_IMAGE_RIGHT : SEC_IMAGE_ONLY;
}

BOOL SECMenuButton::LoadImage()
{
    const bool below = m_nDirection == SEC_MENU_BELOW;
    const CSize size = below ? CSize(kArrowLength, kArrowDepth) : CSize(kArrowDepth, kArrowLength);
    CClientDC screen(nullptr);
    fln::gdi::MemoryDC arrow(screen, size.cx, size.cy);
    if (!arrow.valid())
        return FALSE;
    CDC& memory = *CDC::FromHandle(arrow);
    memory.FillSolidRect(CRect(CPoint(0, 0), size), ::GetSysColor(COLOR_BTNFACE));
    // Each row (or column) of the triangle is two pixels shorter than the one before.
    for (int step = 0; step < kArrowDepth; ++step) {
        const int length = kArrowLength - 2 * step;
        const CRect line = below ? CRect(step, step, step + length, step + 1) : CRect(step, step, step + 1, step + length);
        memory.FillSolidRect(&line, ::GetSysColor(COLOR_BTNTEXT));
    }
    m_bitmap.DeleteObject();
    return m_bitmap.Attach(arrow.DetachBitmap());
}

BOOL SECMenuButton::AttachButton(UINT id, CWnd* parent, HMENU menu, int direction, DWORD options)
{
    if (!parent || !::IsMenu(menu))
        return FALSE;
    CString caption;
    if (CWnd* item = parent->GetDlgItem(id))
        item->GetWindowText(caption);
    return SECBitmapButton::AttachButton(id, SetupMenu(caption, menu, direction), 0, parent, options);
}

BOOL SECMenuButton::Create(LPCWSTR caption, DWORD style, HMENU menu, int direction, const RECT& rect, CWnd* parent, UINT id,
    DWORD options)
{
    if (!::IsMenu(menu))
        return FALSE;
    return SECBitmapButton::Create(caption, style, SetupMenu(caption, menu, direction), 0, rect, parent, id, options);
}

void SECMenuButton::DrawItem(LPDRAWITEMSTRUCT item)
{
    if (m_bPaintEnabled)
        SECBitmapButton::DrawItem(item);
}

void SECMenuButton::OnClick()
{
    CRect rect;
    GetWindowRect(&rect);
    const CPoint at = m_nDirection == SEC_MENU_BELOW ? CPoint(rect.left, rect.bottom) : CPoint(rect.right, rect.top);
    CWnd* owner = GetParent();
    if (auto* view = dynamic_cast<CView*>(owner))
        owner = view->GetParentFrame();
    m_bPaintEnabled = FALSE;
    m_bTracking = TRUE;
    m_menu.TrackPopupMenu(0, at.x, at.y, owner);
    m_bTracking = FALSE;
    // A click on this button that closed the menu, chosen or not, must not open it again.
    MSG message;
    ::PeekMessageW(&message, m_hWnd, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE);
    m_bPaintEnabled = TRUE;
    m_bMouseInside = FALSE;
    if (m_hWnd) {
        Invalidate(FALSE);
        UpdateWindow();
    }
}

BOOL SECMenuButton::PreTranslateMessage(MSG* message)
{
    if (message->message == WM_KEYDOWN && message->hwnd == m_hWnd && !m_bTracking)
        m_bKeyDownSeen = TRUE;
    return SECBitmapButton::PreTranslateMessage(message);
}

void SECMenuButton::OnLButtonUp(UINT, CPoint point)
{
    if (IsClickRelease(point)) {
        m_bMouseInside = FALSE;
        OnClick();
    }
    Default();
}

void SECMenuButton::OnKeyUp(UINT key, UINT, UINT)
{
    // A key released here that was pressed elsewhere (to close a dialog, say) does nothing.
    if (!m_bKeyDownSeen)
        return;
    m_bKeyDownSeen = FALSE;
    Default();
    if (IsActivationKey(key))
        OnClick();
}

void SECMenuButton::PostNcDestroy()
{
    m_menu.DestroyMenu();
    SECBitmapButton::PostNcDestroy();
}

} // namespace divuzura::foundation
