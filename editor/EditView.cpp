#include "editor/EditView.h"

#include "platform/mfc/ControlWrappers.h"
#include "platform/mfc/Print.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(SECEditView, CView)

BEGIN_MESSAGE_MAP(SECEditView, CView)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_VSCROLL()
    ON_WM_HSCROLL()
    ON_WM_PAINT()
    ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()

SECEditView::SECEditView()
{
    m_viewport.m_onScrollRangeChanged = [this] {
        if (!m_bScrolling)
            UpdateScrollBars();
    };
}

SECEditView::~SECEditView() = default;

void SECEditView::SetEdit(SECEdit* edit)
{
    m_pEdit = edit;
    if (m_hWnd)
        m_viewport.AttachEdit(GetEdit());
}

LPCWSTR SECEditView::WindowClass()
{
    static const LPCWSTR className = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_IBEAM));
    return className;
}

BOOL SECEditView::CreateEditWindow(CWnd* parent, const CRect& rect, UINT id, DWORD style)
{
    return CreateEx(0, WindowClass(), L"", style | WS_HSCROLL | WS_VSCROLL, rect.left, rect.top, rect.Width(), rect.Height(),
        parent ? parent->GetSafeHwnd() : nullptr, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

int SECEditView::OnCreate(LPCREATESTRUCT create)
{
    if (CView::OnCreate(create) == -1)
        return -1;
    CRect client;
    GetClientRect(&client);
    if (!m_viewport.Create(this, client))
        return -1;
    m_viewport.AttachEdit(GetEdit());
    return 0;
}

void SECEditView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    CRect client;
    GetClientRect(&client);
    m_viewport.SetSize(client.Size());
    UpdateScrollBars();
}

void SECEditView::OnPaint()
{
    CPaintDC dc(this);
    m_viewport.Draw(&dc);
}

void SECEditView::OnSize(UINT, int cx, int cy)
{
    m_viewport.SetSize(CSize(cx, cy));
    const CPoint origin = m_viewport.GetLogOrigin();
    m_viewport.SetLogOrigin(origin.x, origin.y);
    UpdateScrollBars();
    Invalidate(FALSE);
}

BOOL SECEditView::PreTranslateMessage(MSG* message)
{
    if (SECEditController* controller = GetEditController(); controller && controller->PreTranslateMessage(message))
        return TRUE;
    return CView::PreTranslateMessage(message);
}

BOOL SECEditView::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (SECEditController* controller = GetEditController(); controller && controller->OnWndMsg(message, wParam, lParam, result))
        return TRUE;
    return CView::OnWndMsg(message, wParam, lParam, result);
}

BOOL SECEditView::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (CView::OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    SECEditController* controller = GetEditController();
    return controller && controller->OnCmdMsg(id, code, extra, handlerInfo);
}

// ---- scrolling -----------------------------------------------------------------------------

void SECEditView::UpdateScrollBars()
{
    if (!m_hWnd || !GetEditController())
        return;
    const int h = GetLineHeight(), w = GetCharWidth();
    if (h <= 0 || w <= 0)
        return;
    const CSize extent = m_viewport.GetLogExtent();
    const CRect visible = m_viewport.GetVisibleRect();
    const int gutter = m_viewport.GetGutterWidth();
    struct Direction {
        int bar;
        int total, visible, first, origin;
    };
    const Direction directions[] = {
        { SB_VERT, extent.cy / h, visible.Height() / h, std::max<int>(visible.top / h, 0), m_viewport.GetLogOrigin().y },
        { SB_HORZ, extent.cx / w, (visible.Width() - gutter) / w, std::max<int>(visible.left / w, 0), m_viewport.GetLogOrigin().x },
    };
    const DWORD style = GetStyle();
    for (const Direction& d : directions) {
        CWnd* control = GetScrollBarCtrl(d.bar);
        if (!control && !(style & (d.bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)))
            continue;
        SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL };
        if (d.visible < d.total) {
            info.nMin = 0;
            info.nMax = d.total - 1;
            info.nPage = static_cast<UINT>(std::max(d.visible, 0));
            info.nPos = d.first;
        } else {
            info.nMin = 0;
            info.nMax = std::max(d.visible, 0);
            info.nPage = static_cast<UINT>(std::max(d.visible, 0) + 1);
            info.nPos = 0;
            if (d.origin != 0) {
                ::SetScrollPos(control ? control->m_hWnd : m_hWnd, control ? SB_CTL : d.bar, 0, FALSE);
                d.bar == SB_VERT ? OnVScroll(SB_THUMBPOSITION, 0, nullptr) : OnHScroll(SB_THUMBPOSITION, 0, nullptr);
            }
        }
        ::SetScrollInfo(control ? control->m_hWnd : m_hWnd, control ? SB_CTL : d.bar, &info, TRUE);
        if (control)
            ::EnableScrollBar(control->m_hWnd, SB_CTL, info.nMax - info.nMin < static_cast<int>(info.nPage) ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
    }
}

void SECEditView::Scroll(int bar, int delta)
{
    if (delta == 0)
        return;
    const bool vertical = bar == SB_VERT;
    const int step = vertical ? GetLineHeight() : GetCharWidth();
    const CPoint before = m_viewport.GetLogOrigin();
    m_bScrolling = TRUE;
    m_viewport.OffsetOrigin(vertical ? 0 : delta * step, vertical ? delta * step : 0);
    m_bScrolling = FALSE;
    const CSize moved = m_viewport.GetLogOrigin() - before;
    SCROLLINFO info { sizeof info, SIF_POS };
    info.nPos = vertical ? m_viewport.GetLogOrigin().y / step : m_viewport.GetLogOrigin().x / step;
    ::SetScrollInfo(m_hWnd, bar, &info, TRUE);
    CRect client;
    GetClientRect(&client);
    if (vertical) {
        ::ScrollWindow(m_hWnd, 0, -moved.cy, nullptr, nullptr);
    } else {
        client.left = m_viewport.GetGutterWidth();
        ::ScrollWindow(m_hWnd, -moved.cx, 0, &client, &client);
        if (SECEditController* controller = GetEditController())
            controller->OnCaretMoved();
    }
    if (vertical && GetEditController())
        GetEditController()->OnCaretMoved();
    UpdateWindow();
}

void SECEditView::OnVScroll(UINT code, UINT position, CWnd*)
{
    const int h = GetLineHeight();
    if (h <= 0)
        return;
    SCROLLINFO info { sizeof info, SIF_ALL };
    ::GetScrollInfo(m_hWnd, SB_VERT, &info);
    const int pos = code == SB_THUMBTRACK ? info.nTrackPos : (code == SB_THUMBPOSITION ? static_cast<int>(position) : info.nPos);
    const int total = m_viewport.GetLogExtent().cy / h;
    const int page = m_viewport.GetVisibleRect().Height() / h;
    const int top = m_viewport.GetLogOrigin().y / h;
    const int maxTop = std::max(total - page, 0);
    int delta = 0;
    switch (code) {
    case SB_LINEUP: delta = top > 0 ? -1 : 0; break;
    case SB_LINEDOWN: delta = top < maxTop ? 1 : 0; break;
    case SB_PAGEUP: delta = -std::min(page, top); break;
    case SB_PAGEDOWN: delta = std::min(page, std::max(maxTop - top, 0)); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: delta = pos - top; break;
    default: return;
    }
    Scroll(SB_VERT, delta);
}

void SECEditView::OnHScroll(UINT code, UINT position, CWnd*)
{
    const int w = GetCharWidth();
    if (w <= 0)
        return;
    SCROLLINFO info { sizeof info, SIF_ALL };
    ::GetScrollInfo(m_hWnd, SB_HORZ, &info);
    const int pos = code == SB_THUMBTRACK ? info.nTrackPos : (code == SB_THUMBPOSITION ? static_cast<int>(position) : info.nPos);
    const int total = m_viewport.GetLogExtent().cx / w;
    const int page = (m_viewport.GetVisibleRect().Width() - m_viewport.GetGutterWidth()) / w;
    const int left = m_viewport.GetLogOrigin().x / w;
    const int maxLeft = std::max(total - page, 0);
    int delta = 0;
    switch (code) {
    case SB_LINELEFT: delta = left > 0 ? -1 : 0; break;
    case SB_LINERIGHT: delta = left < maxLeft ? 1 : 0; break;
    case SB_PAGELEFT: delta = -std::min(page, left); break;
    case SB_PAGERIGHT: delta = std::min(page, std::max(maxLeft - left, 0)); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: delta = pos - left; break;
    default: return;
    }
    Scroll(SB_HORZ, delta);
}

BOOL SECEditView::OnScroll(UINT code, UINT, BOOL doScroll)
{
    const int h = GetLineHeight(), w = GetCharWidth();
    if (h <= 0 || w <= 0)
        return FALSE;
    const UINT horizontal = code & 0xFF, vertical = (code >> 8) & 0xFF;
    const CPoint origin = m_viewport.GetLogOrigin();
    BOOL can = FALSE;
    if (horizontal == SB_LINEUP)
        can = origin.x / w > 0;
    else if (horizontal == SB_LINEDOWN)
        can = origin.x / w < m_viewport.GetLogExtent().cx / w;
    if (vertical == SB_LINEUP)
        can = origin.y / h > 0;
    else if (vertical == SB_LINEDOWN)
        can = origin.y / h < m_viewport.GetLogExtent().cy / h - m_viewport.GetVisibleLineCount();
    if (can && doScroll) {
        if (horizontal == SB_LINEUP || horizontal == SB_LINEDOWN)
            OnHScroll(horizontal, 0, nullptr);
        if (vertical == SB_LINEUP || vertical == SB_LINEDOWN)
            OnVScroll(vertical, 0, nullptr);
    }
    return can;
}
