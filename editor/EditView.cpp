#include "editor/EditView.h"

#include "platform/mfc/ControlWrappers.h"
#include "platform/mfc/Print.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(SECEditView, CView)

BEGIN_MESSAGE_MAP(SECEditView, CView)
    ON_WM_CREATE()
    ON_WM_DESTROY()
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
    m_viewport.m_onScrollRangeChanged = [this] { UpdateScrollBars(); };
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

void SECEditView::OnDestroy()
{
    m_viewport.AttachEdit(nullptr);
    CView::OnDestroy();
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
            // Everything fits: back to the first line (column), which updates the bars again.
            if (d.origin != 0)
                d.bar == SB_VERT ? m_viewport.ScrollTo(0, m_viewport.GetLeftColumn()) : m_viewport.ScrollTo(m_viewport.GetTopLine(), 0);
        }
        // A bar is set (and redrawn, with the frame) only when it changes: a scroll moves one bar.
        const HWND barWindow = control ? control->m_hWnd : m_hWnd;
        const int barKind = control ? SB_CTL : d.bar;
        SCROLLINFO shown { sizeof shown, SIF_RANGE | SIF_PAGE | SIF_POS };
        if (!::GetScrollInfo(barWindow, barKind, &shown) || shown.nMin != info.nMin || shown.nMax != info.nMax || shown.nPage != info.nPage
            || shown.nPos != info.nPos)
            ::SetScrollInfo(barWindow, barKind, &info, TRUE);
        if (control)
            ::EnableScrollBar(control->m_hWnd, SB_CTL, info.nMax - info.nMin < static_cast<int>(info.nPage) ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
    }
}

void SECEditView::OnVScroll(UINT code, UINT position, CWnd*)
{
    if (const std::optional<int> line = ScrollBarTarget(code, position, m_viewport.GetTopLine(), m_viewport.GetVisibleLineCount()))
        m_viewport.ScrollTo(*line, m_viewport.GetLeftColumn());
}

void SECEditView::OnHScroll(UINT code, UINT position, CWnd*)
{
    if (const std::optional<int> column = ScrollBarTarget(code, position, m_viewport.GetLeftColumn(), m_viewport.GetVisibleColumnCount()))
        m_viewport.ScrollTo(m_viewport.GetTopLine(), *column);
}

std::optional<int> SECEditView::ScrollBarTarget(UINT code, UINT position, int first, int page)
{
    // The line codes are the column codes (SB_LINEUP is SB_LINELEFT, and so on).
    switch (code) {
    case SB_LINEUP: return first - 1;
    case SB_LINEDOWN: return first + 1;
    case SB_PAGEUP: return first - page;
    case SB_PAGEDOWN: return first + page;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return static_cast<int>(position);
    default: return std::nullopt;
    }
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
