#include "controls/ResizableFormView.h"

#include <algorithm>
#include <cmath>

IMPLEMENT_DYNCREATE(CResizableFormView, CFormView)
BEGIN_MESSAGE_MAP(CResizableFormView, CFormView)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CResizableFormView::CResizableFormView() : CFormView(static_cast<LPCWSTR>(nullptr)) {}

CResizableFormView::CResizableFormView(UINT templateId) : CFormView(templateId) {}

void CResizableFormView::OnInitialUpdate()
{
    CFormView::OnInitialUpdate();
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    m_initialSize = { window.right - window.left, window.bottom - window.top };
    m_initialised = true;
}

RECT CResizableFormView::ClientRectOf(HWND window) const
{
    RECT rect;
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<LPPOINT>(&rect), 2);
    return rect;
}

void CResizableFormView::AddControl(UINT id, int anchor1, int anchor2, int anchor3, int anchor4)
{
    HWND child = ::GetDlgItem(m_hWnd, static_cast<int>(id));
    if (!child)
        return;
    m_controls.push_back({ id, ClientRectOf(child), { anchor1, anchor2, anchor3, anchor4 }, child });
}

void CResizableFormView::AnchorControls()
{
    for (const FormControl& control : m_controls)
        AddAnchor(control.window, control.anchors[0], control.anchors[1], control.anchors[2], control.anchors[3]);
}

BOOL CResizableFormView::AddAnchor(HWND window, int, int, int, int)
{
    if (!FindControl(window))
        return FALSE;
    wchar_t name[260] = {};
    ::GetClassNameW(window, name, 260);
    CString className(name);
    DWORD style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
    DWORD type = style & SS_TYPEMASK;
    bool isStatic = className.CompareNoCase(L"STATIC") == 0;
    bool repaintStatic = isStatic && (type < 3 || (style & SS_CENTERIMAGE)) && type != SS_LEFTNOWORDWRAP;

    RECT client;
    ::GetClientRect(m_hWnd, &client);
    m_baseSize = { client.right - client.left, client.bottom - client.top };
    m_anchors.push_back({ window, className.CompareNoCase(L"LISTBOX") == 0, repaintStatic, ClientRectOf(window) });
    return TRUE;
}

const CResizableFormView::FormControl* CResizableFormView::FindControl(HWND window) const
{
    auto found = std::find_if(m_controls.begin(), m_controls.end(), [window](const FormControl& control) { return control.window == window; });
    return found == m_controls.end() ? nullptr : &*found;
}

void CResizableFormView::OnSize(UINT type, int cx, int cy)
{
    CFormView::OnSize(type, cx, cy);
    if (type != SIZE_MAXSHOW && type != SIZE_MAXHIDE && m_initialised)
        Layout();
}

RECT CResizableFormView::ScaledRect(const Anchor& anchor, int width, int height) const
{
    auto scale = [](int edge, int size, int base) {
        return static_cast<int>(std::lround(static_cast<double>(edge) * size / base));
    };
    const RECT& minimum = FindControl(anchor.window)->rect;
    return {
        std::max(scale(anchor.rect.left, width, m_baseSize.cx), minimum.left),
        std::max(scale(anchor.rect.top, height, m_baseSize.cy), minimum.top),
        std::max(scale(anchor.rect.right, width, m_baseSize.cx), minimum.right),
        std::max(scale(anchor.rect.bottom, height, m_baseSize.cy), minimum.bottom),
    };
}

void CResizableFormView::Layout()
{
    // Anchored in a view without area, there is nothing to scale from.
    if (m_anchors.empty() || m_baseSize.cx <= 0 || m_baseSize.cy <= 0)
        return;
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    int width = client.right - client.left, height = client.bottom - client.top;

    HDWP positions = ::BeginDeferWindowPos(static_cast<int>(m_anchors.size()));
    for (const Anchor& anchor : m_anchors) {
        RECT old = ClientRectOf(anchor.window);
        RECT rect = ScaledRect(anchor, width, height);
        if (::EqualRect(&rect, &old))
            continue;
        int newWidth = rect.right - rect.left, newHeight = rect.bottom - rect.top;
        bool scrolledToEnd = false;
        if (anchor.isListBox) {
            // A list box scrolled to its right end must redraw its contents after the move.
            int minimum = 0, limit = 0;
            ::GetScrollRange(anchor.window, SB_HORZ, &minimum, &limit);
            int position = ::GetScrollPos(anchor.window, SB_HORZ);
            scrolledToEnd = limit > 0 && position > limit - (newWidth - (old.right - old.left));
        }
        if (scrolledToEnd || anchor.repaintStatic) {
            ::MoveWindow(anchor.window, rect.left, rect.top, newWidth, newHeight, TRUE);
            ::InvalidateRect(anchor.window, nullptr, TRUE);
            ::UpdateWindow(anchor.window);
        } else if (positions) {
            positions = ::DeferWindowPos(positions, anchor.window, nullptr, rect.left, rect.top, newWidth, newHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (positions)
        ::EndDeferWindowPos(positions);
}
