#include "platform/mfc/View.h"

#include "platform/mfc/Document.h"
#include "platform/mfc/Splitter.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CScrollView, CView)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CScrollView, CView)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

BOOL CView::CreateEx(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menuOrId, LPVOID param)
{
    m_bWindowMade = CWnd::CreateEx(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId, param);
    return m_bWindowMade;
}

CFrameWnd* CView::GetParentFrame() const
{
    for (HWND window = ::GetParent(m_hWnd); window; window = ::GetParent(window))
        if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(window)))
            return frame;
    return nullptr;
}

int CView::OnCreate(LPCREATESTRUCT create)
{
    if (CWnd::OnCreate(create) == -1)
        return -1;
    if (auto* context = static_cast<CCreateContext*>(create->lpCreateParams); context && context->m_pCurrentDoc)
        context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    if (CFrameWnd* frame = GetParentFrame(); frame && frame->GetActiveView() == this)
        frame->SetActiveView(nullptr, FALSE);
    Default();
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* topLevel, UINT hitTest, UINT message)
{
    int result = static_cast<int>(Default());
    if (result != MA_NOACTIVATE && result != MA_NOACTIVATEANDEAT)
        if (CFrameWnd* frame = GetParentFrame())
            frame->SetActiveView(this);
    return result;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

void CView::OnUpdate(CView* sender, LPARAM, CObject*)
{
    if (sender != this)
        Invalidate(TRUE);
}

void CView::OnActivateView(BOOL activate, CView* activated, CView*)
{
    if (activate && activated == this && ::GetFocus() != m_hWnd)
        SetFocus();
}

BOOL CView::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    if (CWnd::OnCmdMsg(id, code, extra, handlerInfo))
        return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(id, code, extra, handlerInfo);
}

CWnd* CView::GetScrollBarCtrl(int bar) const
{
    auto* splitter = dynamic_cast<CSplitterWnd*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
    return splitter ? splitter->GetScrollBarCtrl(this, bar) : nullptr;
}

// ---- scrolling

void CScrollView::SetScrollSizes(int mapMode, SIZE total, SIZE page, SIZE line)
{
    m_mapMode = mapMode;
    m_total = total;
    m_page = page.cx || page.cy ? CSize(page) : CSize(total.cx / 10, total.cy / 10);
    m_line = line.cx || line.cy ? CSize(line) : CSize(m_page.cx / 10, m_page.cy / 10);
    UpdateBars();
    ScrollToPosition(m_position);
}

void CScrollView::UpdateBars()
{
    if (!m_hWnd || m_updatingBars)
        return;
    m_updatingBars = true;
    // The client area without the bars, then with those the drawing needs; a bar of one
    // direction may make the other needed.
    CRect client;
    GetClientRect(&client);
    const DWORD style = GetStyle();
    int width = client.Width() + ((style & WS_VSCROLL) ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    int height = client.Height() + ((style & WS_HSCROLL) ? GetSystemMetrics(SM_CYHSCROLL) : 0);
    bool horizontal = m_total.cx > width, vertical = m_total.cy > height;
    if (horizontal && !vertical)
        vertical = m_total.cy > height - GetSystemMetrics(SM_CYHSCROLL);
    if (vertical && !horizontal)
        horizontal = m_total.cx > width - GetSystemMetrics(SM_CXVSCROLL);
    if (horizontal != ((style & WS_HSCROLL) != 0))
        ::ShowScrollBar(m_hWnd, SB_HORZ, horizontal);
    if (vertical != ((style & WS_VSCROLL) != 0))
        ::ShowScrollBar(m_hWnd, SB_VERT, vertical);
    GetClientRect(&client);
    auto setBar = [&](int bar, bool shown, int total, int page, int position) {
        if (!shown)
            return;
        SCROLLINFO info { sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, total - 1, static_cast<UINT>(page), position, 0 };
        ::SetScrollInfo(m_hWnd, bar, &info, TRUE);
    };
    const CPoint position = Clamp(m_position);
    setBar(SB_HORZ, horizontal, m_total.cx, client.Width(), position.x);
    setBar(SB_VERT, vertical, m_total.cy, client.Height(), position.y);
    m_updatingBars = false;
}

CPoint CScrollView::Clamp(CPoint position) const
{
    RECT client {};
    if (m_hWnd)
        GetClientRect(&client);
    int maxX = std::max(0, static_cast<int>(m_total.cx - client.right));
    int maxY = std::max(0, static_cast<int>(m_total.cy - client.bottom));
    return CPoint(std::clamp(static_cast<int>(position.x), 0, maxX), std::clamp(static_cast<int>(position.y), 0, maxY));
}

void CScrollView::ResizeParentToFit(BOOL shrinkOnly)
{
    CFrameWnd* frame = GetParentFrame();
    if (!frame)
        return;
    // The view's window size that shows the whole drawing without scroll bars.
    CRect wanted(0, 0, m_total.cx, m_total.cy);
    ::AdjustWindowRectEx(&wanted, GetStyle() & ~(WS_HSCROLL | WS_VSCROLL), FALSE, GetExStyle());
    CRect now;
    GetWindowRect(&now);
    int dx = wanted.Width() - now.Width();
    int dy = wanted.Height() - now.Height();
    if (shrinkOnly) {
        dx = std::min(dx, 0);
        dy = std::min(dy, 0);
    }
    if (dx == 0 && dy == 0)
        return;
    CRect frameRect;
    frame->GetWindowRect(&frameRect);
    frame->SetWindowPos(nullptr, 0, 0, frameRect.Width() + dx, frameRect.Height() + dy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CScrollView::ScrollToPosition(POINT position)
{
    CPoint target = Clamp(position);
    if (target == m_position)
        return;
    int dx = m_position.x - target.x, dy = m_position.y - target.y;
    m_position = target;
    if (!m_hWnd)
        return;
    ScrollWindow(m_hWnd, dx, dy, nullptr, nullptr);
    if (GetStyle() & WS_HSCROLL)
        ::SetScrollPos(m_hWnd, SB_HORZ, target.x, TRUE);
    if (GetStyle() & WS_VSCROLL)
        ::SetScrollPos(m_hWnd, SB_VERT, target.y, TRUE);
}

void CScrollView::OnPrepareDC(CDC* dc)
{
    dc->SetMapMode(m_mapMode);
    dc->SetViewportOrg(-m_position.x, -m_position.y);
}

void CScrollView::OnSize(UINT, int, int)
{
    Default();
    UpdateBars();
    ScrollToPosition(m_position); // a larger window may show more of the end
}

void CScrollView::ScrollBy(int code, bool horizontal, int thumb)
{
    constexpr int lineUp = 0, lineDown = 1, pageUp = 2, pageDown = 3, thumbTrack = 5, top = 6, bottom = 7;
    int current = horizontal ? m_position.x : m_position.y;
    int line = horizontal ? m_line.cx : m_line.cy;
    int page = horizontal ? m_page.cx : m_page.cy;
    int total = horizontal ? m_total.cx : m_total.cy;
    int next = current;
    switch (code) {
    case lineUp: next -= line; break;
    case lineDown: next += line; break;
    case pageUp: next -= page; break;
    case pageDown: next += page; break;
    case thumbTrack:
    case 4: next = thumb; break; // SB_THUMBPOSITION
    case top: next = 0; break;
    case bottom: next = total; break;
    default: return;
    }
    ScrollToPosition(horizontal ? CPoint(next, m_position.y) : CPoint(m_position.x, next));
}

void CScrollView::OnHScroll(UINT code, int position, CWnd*)
{
    ScrollBy(static_cast<int>(code), true, position);
}

void CScrollView::OnVScroll(UINT code, int position, CWnd*)
{
    ScrollBy(static_cast<int>(code), false, position);
}

BOOL CScrollView::OnMouseWheel(UINT, short delta, CPoint)
{
    ScrollToPosition(CPoint(m_position.x, m_position.y - delta / WHEEL_DELTA * 3 * std::max(1, static_cast<int>(m_line.cy))));
    return TRUE;
}
