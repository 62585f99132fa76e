#include "framework/Tab3DWnd.h"

#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNCREATE(SEC3DTabWnd, SECTabWndBase)

BEGIN_MESSAGE_MAP(SEC3DTabWnd, SECTabWndBase)
    ON_WM_SIZE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_NCCREATE, OnNcCreate)
    ON_MESSAGE(WM_TABACTIVATED, OnTabActivated)
END_MESSAGE_MAP()

namespace {

// The style bits that shape the tabs, passed on to the tab control.
constexpr DWORD kTabStyleBits = 0x0FF8;
constexpr DWORD kPlacementBits = 0x0003;

bool IsTabStop(HWND window)
{
    const auto style = ::GetWindowLongPtrW(window, GWL_STYLE);
    return (style & WS_TABSTOP) && (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// The controls of a page that Tab stops at, in window order.
std::vector<HWND> TabStopsIn(HWND page)
{
    std::vector<HWND> stops;
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (IsTabStop(child))
            stops.push_back(child);
    return stops;
}

} // namespace

BOOL SEC3DTabWnd::Create(CWnd* parent, DWORD style, UINT id)
{
    const DWORD placement = (style & 0x2) ? 2 : (style & 0x1) ? 1 : 0;
    m_tabStyle = placement | (style & kTabStyleBits);
    return SECTabWndBase::Create(parent, style & ~(kTabStyleBits | kPlacementBits), id);
}

BOOL SEC3DTabWnd::CreateTabCtrl(DWORD, UINT id)
{
    DWORD tabStyle = m_tabStyle & kTabStyleBits;
    // Tabs to the right of the pages hang from the control's left edge.
    if (!TabsHorizontal() && !TabsLeft())
        tabStyle = (tabStyle & ~TAB_STYLE_POSITIONS) | TAB_STYLE_LEFT;
    auto control = std::make_unique<SEC3DTabControl>();
    if (!control->Create(tabStyle | WS_VISIBLE, CRect(0, 0, 0, 0), this, id))
        return FALSE;
    m_pTabCtrl = std::move(control);
    return TRUE;
}

void SEC3DTabWnd::EnableTab(int index, BOOL enable)
{
    if (SEC3DTabControl* control = GetTabControl())
        control->EnableTab(index, enable);
}

BOOL SEC3DTabWnd::IsTabEnabled(int index) const
{
    const SEC3DTabControl* control = GetTabControl();
    return control && control->IsTabEnabled(index);
}

BOOL SEC3DTabWnd::SetActiveTabFont(CFont* font, BOOL redraw)
{
    SEC3DTabControl* control = GetTabControl();
    const BOOL accepted = control && control->SetTabFont(font, 1, redraw);
    if (accepted && redraw)
        Invalidate(TRUE);
    return accepted;
}

BOOL SEC3DTabWnd::SetInactiveTabFont(CFont* font, BOOL redraw)
{
    SEC3DTabControl* control = GetTabControl();
    const BOOL accepted = control && control->SetTabFont(font, 0, redraw);
    if (accepted && redraw)
        Invalidate(TRUE);
    return accepted;
}

// ---- layout

void SEC3DTabWnd::GetInsideRect(CRect& r) const
{
    GetClientRect(&r);
    const bool flat = m_tabStyle & TWS_FLAT;
    const int adjust = (m_tabStyle & TWS_PAGES_NEARER) && !flat ? -3 : 1;
    if (TabsBelow()) {
        if (flat) {
            r.left += 2;
            r.right -= 2;
        } else {
            r.left += 6;
            r.right -= 7;
        }
        r.top += 4;
        r.bottom -= m_tabStripHeight + adjust;
    } else if (TabsAbove()) {
        r.bottom -= 4;
        r.top += m_tabStripHeight + adjust;
        r.left += 6;
        r.right -= 7;
    } else {
        r.top += 4;
        r.bottom -= 6;
        if (TabsLeft()) {
            r.left += m_tabStripWidth + adjust;
            r.right -= 7;
        } else {
            r.left += 6;
            r.right -= m_tabStripWidth + adjust;
        }
    }
}

CRect SEC3DTabWnd::TabControlRect() const
{
    CRect inside, client;
    GetInsideRect(inside);
    GetClientRect(&client);
    const bool flat = m_tabStyle & TWS_FLAT;
    int x, y, w, h;
    if (TabsBelow()) {
        x = inside.left, y = inside.bottom + 1, w = inside.Width(), h = client.bottom - inside.bottom;
        if (flat)
            x -= 1, w += 1, h -= 2;
    } else if (TabsAbove()) {
        x = inside.left, y = client.top, w = inside.Width(), h = inside.top - client.top;
        if (flat)
            y += 3, h -= 4;
    } else if (TabsLeft()) {
        x = client.left, y = inside.top, w = inside.left - client.left, h = inside.Height();
        if (flat)
            x += 3, y -= 1, w -= 4, h += 2;
    } else {
        x = inside.right, y = client.top, w = client.right - inside.right, h = inside.Height();
        if (flat)
            y += 3, h += 2, w -= 4;
    }
    return CRect(x, y, x + w, y + h);
}

void SEC3DTabWnd::RecalcLayout()
{
    if (!m_hWnd)
        return;
    if (TabsHorizontal()) {
        m_tabStripHeight = kTabStripThickness;
        m_tabStripWidth = 0;
    } else {
        m_tabStripWidth = kTabStripThickness;
        m_tabStripHeight = 0;
    }
    CRect inside;
    GetInsideRect(inside);

    HDWP batch = ::BeginDeferWindowPos(4);
    auto place = [&](HWND window, const CRect& target, UINT flags) {
        CRect now;
        ::GetWindowRect(window, &now);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&now), 2);
        if (batch && now != target)
            batch = ::DeferWindowPos(batch, window, nullptr, target.left, target.top, target.Width(), target.Height(), flags);
    };
    if (m_pTabCtrl && m_pTabCtrl->m_hWnd)
        place(m_pTabCtrl->m_hWnd, TabControlRect(), SWP_NOREDRAW | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    if (m_pActivePage && ::IsWindow(m_pActivePage->m_hWnd)) {
        const CRect page(inside.left, inside.top, inside.right - 1, inside.bottom);
        place(m_pActivePage->m_hWnd, page, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }
    if (batch)
        ::EndDeferWindowPos(batch);
}

void SEC3DTabWnd::OnSize(UINT type, int cx, int cy)
{
    if (type != SIZE_MINIMIZED && cx > 0 && cy > 0) {
        RecalcLayout();
        if (m_pTabCtrl)
            m_pTabCtrl->Invalidate();
        Invalidate();
    }
    Default();
}

// ---- painting

BOOL SEC3DTabWnd::OnEraseBkgnd(CDC* dc)
{
    CRect client, inside;
    GetClientRect(&client);
    GetInsideRect(inside);
    const int saved = dc->SaveDC();
    if (m_pTabCtrl && m_pTabCtrl->m_hWnd) {
        const CRect control = TabControlRect();
        dc->ExcludeClipRect(&control);
    }
    const COLORREF face = ::GetSysColor(COLOR_3DFACE);
    dc->FillSolidRect(client.left, client.top, client.Width(), inside.top - client.top, face);
    dc->FillSolidRect(client.left, client.top, inside.left - client.left, client.Height(), face);
    dc->FillSolidRect(inside.right - 1, client.top, client.right - inside.right + 1, client.Height(), face);
    dc->FillSolidRect(client.left, inside.bottom, client.Width(), client.bottom - inside.bottom, face);
    dc->FillSolidRect(inside.left - 1, inside.bottom, inside.Width() + 1, 1, face);
    dc->RestoreDC(saved);
    return TRUE;
}

void SEC3DTabWnd::OnPaint()
{
    CPaintDC dc(this);
    if (m_pTabCtrl && m_pTabCtrl->m_hWnd) {
        CRect control = TabControlRect(), overlap;
        if (overlap.IntersectRect(&control, &dc.m_ps.rcPaint)) {
            overlap.OffsetRect(-control.left, -control.top);
            m_pTabCtrl->RedrawWindow(&overlap, nullptr, RDW_INVALIDATE);
        }
    }
    CRect inside;
    GetInsideRect(inside);
    PaintFrame(dc, inside);
}

void SEC3DTabWnd::PaintFrame(CDC& dc, const CRect& I)
{
    if (m_tabStyle & TWS_FLAT) {
        CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
        CPen* oldPen = dc.SelectObject(&pen);
        CGdiObject* oldBrush = dc.SelectStockObject(NULL_BRUSH);
        dc.Rectangle(I.left - 1, I.top - 1, I.right, I.bottom);
        dc.SelectObject(oldBrush);
        dc.SelectObject(oldPen);
        return;
    }
    // Each side is a stack of lines, from the outside in: light, face, shadow, black; the black
    // ring lies just outside the pages, its right side at I.right and its bottom at `bottom`.
    const COLORREF colours[4] = { ::GetSysColor(COLOR_3DLIGHT), ::GetSysColor(COLOR_3DFACE),
        ::GetSysColor(COLOR_BTNSHADOW), RGB(0, 0, 0) };
    // Tabs below the pages (or a strip told to put its tabs on its left) lower the bottom side by one.
    const int bottom = I.bottom + ((m_tabStyle & (TWS_TABS_BELOW | TAB_STYLE_LEFT)) ? 1 : 0);
    if (!(m_tabStyle & TWS_THIN_FRAME)) {
        // Nested one-pixel rings, so that the corners meet on the diagonal.
        const CRect outer(I.left - 4, I.top - 4, I.right + 4, bottom + 4);
        for (int k = 0; k < 4; ++k) {
            CRect ring = outer;
            ring.DeflateRect(k, k);
            dc.Draw3dRect(&ring, colours[k], colours[k]);
        }
        return;
    }
    // The thin frame: light and face on the left and below, shadow and black on the right, the
    // whole stack above, its inner lines reaching further left.
    const int x = I.left - 4, y = I.top - 4, w = I.Width() + 8, h = I.Height() + 8;
    for (int k = 0; k < 2; ++k)
        dc.FillSolidRect(x + k, y, 1, h, colours[k]);
    dc.FillSolidRect(I.right + 2, y, 1, h, colours[2]);
    dc.FillSolidRect(I.right + 3, y, 1, h, colours[3]);
    struct Run {
        int from, length;
    };
    const Run above[4] = { { x + 2, w - 5 }, { x + 1, w - 3 }, { x + 1, w - 2 }, { x, w } };
    for (int k = 0; k < 4; ++k)
        dc.FillSolidRect(above[k].from, y + k, above[k].length, 1, colours[k]);
    const Run below[2] = { { x, w - 1 }, { x + 1, w - 3 } };
    for (int k = 0; k < 2; ++k)
        dc.FillSolidRect(below[k].from, bottom + 3 - k, below[k].length, 1, colours[k]);
}

// ---- messages

LRESULT SEC3DTabWnd::OnNcCreate(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    // The tabs' own frame replaces the parent's client edge.
    if (HWND parent = ::GetParent(m_hWnd)) {
        const auto exStyle = ::GetWindowLongPtrW(parent, GWL_EXSTYLE);
        if (exStyle & WS_EX_CLIENTEDGE) {
            ::SetWindowLongPtrW(parent, GWL_EXSTYLE, exStyle & ~WS_EX_CLIENTEDGE);
            ::SetWindowPos(parent, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        }
    }
    return result;
}

void SEC3DTabWnd::OnSetFocus(CWnd* previous)
{
    Default();
    if (!m_pTabCtrl || !m_pTabCtrl->m_hWnd || !previous)
        return;
    // Coming back with Shift+Tab from the sibling after us: the last control of the active page.
    HWND next = ::GetWindow(m_hWnd, GW_HWNDNEXT);
    if (next && ::GetWindow(next, GW_HWNDNEXT) && next == previous->m_hWnd && m_pActivePage) {
        m_pActivePage->SetFocus();
        m_pActivePage->SendMessage(WM_NEXTDLGCTL, 1, 0);
        return;
    }
    m_pTabCtrl->SetFocus();
}

LRESULT SEC3DTabWnd::OnTabActivated(WPARAM index, LPARAM lParam)
{
    auto* record = reinterpret_cast<TABACTIVATEINFO*>(lParam);
    if (record)
        record->controlId = static_cast<UINT>(GetDlgCtrlID());
    CWnd* page = GetPage(static_cast<int>(index));
    if (!page) {
        // A tab without a page cannot be shown: the tabs go back to the page that is shown.
        int shown;
        if (m_pActivePage && m_pTabCtrl->FindTab(m_pActivePage, shown))
            m_pTabCtrl->ActivateTab(shown);
        else
            m_pTabCtrl->ClearSelection();
        return 0;
    }
    ActivateTab(page, static_cast<int>(index));
    Invalidate(TRUE);
    if (HWND notify = m_hNotifyWnd)
        ::SendMessageW(notify, WM_TABACTIVATED, index, lParam);
    return 0;
}

BOOL SEC3DTabWnd::PreTranslateMessage(MSG* message)
{
    if (SECTabWndBase::PreTranslateMessage(message))
        return TRUE;
    if (!(GetStyle() & WS_TABSTOP) || message->message != WM_KEYDOWN || !m_pTabCtrl)
        return FALSE;
    const auto key = static_cast<UINT>(message->wParam);
    const bool control = ::GetKeyState(VK_CONTROL) < 0;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    if (control && (key == VK_TAB || key == VK_PRIOR || key == VK_NEXT)
        && SendMessage(WM_TABWND_CTRLKEY, 0, reinterpret_cast<LPARAM>(message)))
        return TRUE;

    HWND focus = ::GetFocus();
    if (focus == m_pTabCtrl->m_hWnd) {
        UINT arrow = 0;
        if (key == VK_TAB && control)
            arrow = shift ? VK_LEFT : VK_RIGHT;
        else if (key == VK_LEFT || key == VK_UP)
            arrow = VK_LEFT;
        else if (key == VK_RIGHT || key == VK_DOWN)
            arrow = VK_RIGHT;
        if (arrow) {
            m_pTabCtrl->SendMessage(WM_KEYDOWN, arrow, 0);
            return TRUE;
        }
    }
    // Other keys have been offered to the focused window and its parents on the way up already.
    if (key == VK_TAB && !control)
        return MoveFocus(shift);
    return FALSE;
}

BOOL SEC3DTabWnd::MoveFocus(bool backwards)
{
    HWND focus = ::GetFocus();
    HWND page = m_pActivePage ? m_pActivePage->m_hWnd : nullptr;

    // Inside the page, the page's own tab stops come first.
    if (page && focus && ::IsChild(page, focus)) {
        const std::vector<HWND> stops = TabStopsIn(page);
        auto at = std::find_if(stops.begin(), stops.end(), [&](HWND stop) { return stop == focus || ::IsChild(stop, focus); });
        if (at != stops.end()) {
            if (!backwards && at + 1 != stops.end()) {
                ::SetFocus(*(at + 1));
                return TRUE;
            }
            if (backwards && at != stops.begin()) {
                ::SetFocus(*(at - 1));
                return TRUE;
            }
        }
    }

    // The ring: the tabs, the page, then the siblings that are tab stops, in window order.
    std::vector<HWND> ring { m_pTabCtrl->m_hWnd };
    if (page && ::IsWindowVisible(page))
        ring.push_back(page);
    if (HWND parent = ::GetParent(m_hWnd)) {
        for (HWND sibling = ::GetWindow(parent, GW_CHILD); sibling; sibling = ::GetWindow(sibling, GW_HWNDNEXT))
            if (sibling != m_hWnd && IsTabStop(sibling))
                ring.push_back(sibling);
    }
    size_t current = 0;
    for (size_t i = 0; i < ring.size(); ++i)
        if (ring[i] == focus || ::IsChild(ring[i], focus))
            current = i;
    const size_t next = backwards ? (current + ring.size() - 1) % ring.size() : (current + 1) % ring.size();
    HWND target = ring[next];
    if (target == page) {
        const std::vector<HWND> stops = TabStopsIn(page);
        if (!stops.empty())
            target = backwards ? stops.back() : stops.front();
    }
    ::SetFocus(target);
    return TRUE;
}
