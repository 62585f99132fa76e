#include "framework/CaptionFilters.h"

#include "platform/gdi/Gdi.h"

#include <memory>

IMPLEMENT_DYNCREATE(SECCaptionMsgFilter, SECNcMsgFilter)
IMPLEMENT_DYNCREATE(SECCaptionControlMsgFilter, SECCaptionMsgFilter)
IMPLEMENT_DYNCREATE(SECCaptionControlListMsgFilter, SECCaptionMsgFilter)
IMPLEMENT_DYNCREATE(SECCapConLstMDIMaxChildMsgFilter, SECCaptionControlListMsgFilter)

namespace {

constexpr int ButtonGap = 2;

BOOL IsLive(const CWnd* window) { return window && ::IsWindow(window->m_hWnd); }

} // namespace

// ---- geometry

BOOL SECCaptionMsgFilter::IsToolWindow() const
{
    return IsLive(m_window) && (m_window->GetExStyle() & WS_EX_TOOLWINDOW);
}

CRect SECCaptionMsgFilter::GetCaptionRect() const
{
    if (!IsLive(m_window))
        return {};
    const DWORD style = m_window->GetStyle();
    CSize frame(0, 0);
    if ((style & WS_THICKFRAME) && !::IsIconic(m_window->m_hWnd))
        frame = { GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME) };
    else if (style & (WS_CAPTION | WS_THICKFRAME | WS_DLGFRAME))
        frame = (style & WS_DLGFRAME) ? CSize(GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME))
                                      : CSize(GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYBORDER));
    CRect window;
    m_window->GetWindowRect(&window);
    int height = 0;
    if ((style & WS_CAPTION) == WS_CAPTION)
        height = GetSystemMetrics(IsToolWindow() ? SM_CYSMCAPTION : SM_CYCAPTION) - GetSystemMetrics(SM_CYBORDER);
    return CRect(frame.cx, frame.cy, window.Width() - frame.cx, frame.cy + height);
}

CSize SECCaptionMsgFilter::CalcButtonSize(int metricX, int metricY) const
{
    return CSize(GetSystemMetrics(metricX) - 2, GetSystemMetrics(metricY) - 4);
}

CSize SECCaptionMsgFilter::GetButtonSize() const
{
    return IsToolWindow() ? CalcButtonSize(SM_CXSMSIZE, SM_CYSMSIZE) : CalcButtonSize(SM_CXSIZE, SM_CYSIZE);
}

CPoint SECCaptionMsgFilter::GetButtonPos(const CRect& caption, const CSize& buttonSize) const
{
    return CPoint(caption.right - buttonSize.cx - ButtonGap, caption.top + ButtonGap);
}

CSize SECCapConLstMDIMaxChildMsgFilter::GetButtonSize() const
{
    return CalcButtonSize(SM_CXMENUSIZE, SM_CYMENUSIZE);
}

CPoint SECCapConLstMDIMaxChildMsgFilter::GetButtonPos(const CRect& caption, const CSize& buttonSize) const
{
    CPoint position = SECCaptionControlListMsgFilter::GetButtonPos(caption, buttonSize);
    position.y += GetSystemMetrics(SM_CYCAPTION);
    return position;
}

// ---- one button

SECCaptionControlMsgFilter::SECCaptionControlMsgFilter(CWnd* window, int id)
    : SECCaptionMsgFilter(window, id)
{
}

SECCaptionControlMsgFilter::~SECCaptionControlMsgFilter()
{
    KillRepeatTimer();
    if (m_tracking && IsLive(m_window) && ::GetCapture() == m_window->m_hWnd)
        ::ReleaseCapture();
}

void SECCaptionControlMsgFilter::SetDisabled(BOOL disabled)
{
    m_state = disabled ? (m_state | DFCS_INACTIVE) : (m_state & ~DFCS_INACTIVE);
}

UINT SECCaptionControlMsgFilter::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_SETTEXT:
    case WM_SETCURSOR:
    case WM_NCPAINT:
    case WM_NCACTIVATE:
        Draw();
        return MsgFilterHandled;
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        if (m_tracking && !StillCaptured())
            EndTrack(FALSE, TRUE); // another window took the mouse: the press is over, the message not ours
        if (m_tracking) {
            CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            m_window->ClientToScreen(&point);
            if (message == WM_MOUSEMOVE)
                OnMouseMove(point.x, point.y);
            else
                OnLButtonUp(point.x, point.y);
            return MsgFilterConsumed;
        }
        break;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
        if (wParam == HTCAPTION && HitTest(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) {
            OnPress(message, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return MsgFilterConsumed;
        }
        break;
    default:
        break;
    }
    return SECCaptionMsgFilter::WindowProc(message, wParam, lParam, result);
}

void SECCaptionControlMsgFilter::OnPress(UINT message, int x, int y)
{
    if (m_state & DFCS_INACTIVE)
        return; // a disabled button swallows the press
    if (message == WM_NCLBUTTONDOWN)
        OnLButtonDown(x, y);
    else
        Execute(RightPress, x, y);
}

BOOL SECCaptionControlMsgFilter::StillCaptured() const
{
    return IsLive(m_window) && ::GetCapture() == m_window->m_hWnd;
}

void SECCaptionControlMsgFilter::Draw()
{
    if (!IsButtonId() || m_rect.IsRectEmpty() || !IsLive(m_window))
        return;
    HDC dc = ::GetWindowDC(m_window->m_hWnd);
    CRect rect = m_rect;
    DrawFrameControl(dc, &rect, m_type, GetState());
    ::ReleaseDC(m_window->m_hWnd, dc);
}

BOOL SECCaptionControlMsgFilter::HitTest(int screenX, int screenY) const
{
    if (!IsLive(m_window))
        return FALSE;
    CRect window;
    m_window->GetWindowRect(&window);
    return m_rect.PtInRect(CPoint(screenX - window.left, screenY - window.top));
}

void SECCaptionControlMsgFilter::OnLButtonDown(int x, int y)
{
    BeginTrack(TRUE, TRUE);
    if (m_repeatDelay == 0)
        Fire(x, y);
    else
        StartRepeatTimer(x, y);
}

void SECCaptionControlMsgFilter::OnMouseMove(int x, int y)
{
    if (!m_tracking)
        return;
    const BOOL inside = HitTest(x, y);
    if (inside == ((m_state & DFCS_PUSHED) != 0))
        return;
    if (inside)
        StartRepeatTimer(x, y);
    else
        KillRepeatTimer();
    SetPushed(inside);
    Draw();
}

void SECCaptionControlMsgFilter::OnLButtonUp(int x, int y)
{
    EndTrack(TRUE, TRUE);
    if (HitTest(x, y))
        Execute(Click, x, y);
}

void SECCaptionControlMsgFilter::Fire(int x, int y)
{
    EndTrack(TRUE, FALSE);
    Execute(Held, x, y);
}

void SECCaptionControlMsgFilter::Execute(int how, int x, int y)
{
    CWnd* window = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    if (GetCommand(how, x, y, window, message, wParam, lParam) && IsLive(window))
        window->PostMessage(message, wParam, lParam);
}

BOOL SECCaptionControlMsgFilter::GetCommand(int how, int x, int y, CWnd*& window, UINT& message, WPARAM& wParam, LPARAM& lParam)
{
    static constexpr WPARAM commands[] = { SC_CLOSE, SC_MINIMIZE, SC_MAXIMIZE, SC_RESTORE, SC_CONTEXTHELP };
    if ((how & (RightPress | Held)) || m_id < Close || m_id > Help)
        return FALSE;
    window = m_window;
    message = WM_SYSCOMMAND;
    wParam = commands[m_id];
    lParam = MAKELPARAM(x, y);
    return TRUE;
}

void SECCaptionControlMsgFilter::SetPushed(BOOL pushed)
{
    m_state = pushed ? (m_state | DFCS_PUSHED) : (m_state & ~DFCS_PUSHED);
}

void SECCaptionControlMsgFilter::BeginTrack(BOOL push, BOOL redraw)
{
    m_tracking = TRUE;
    if (push)
        SetPushed(TRUE);
    if (IsLive(m_window))
        m_window->SetCapture();
    if (redraw)
        Draw();
}

void SECCaptionControlMsgFilter::EndTrack(BOOL release, BOOL redraw)
{
    m_tracking = FALSE;
    KillRepeatTimer();
    SetPushed(FALSE);
    if (release && StillCaptured())
        ::ReleaseCapture();
    if (redraw)
        Draw();
}

void SECCaptionControlMsgFilter::KillRepeatTimer()
{
    std::unique_ptr<SECCaptionControlMsgFilterTimer> timer(m_timer);
    m_timer = nullptr;
    if (timer && timer->m_hWnd)
        timer->DestroyWindow();
}

void SECCaptionControlMsgFilter::StartRepeatTimer(int x, int y)
{
    KillRepeatTimer();
    if (m_repeatDelay <= 0 || !IsLive(m_window))
        return;
    auto timer = std::make_unique<SECCaptionControlMsgFilterTimer>(this, m_repeatDelay, x, y);
    if (timer->Start(m_window))
        m_timer = timer.release();
}

BOOL SECCaptionControlMsgFilter::QueryState(BOOL& disabled) const
{
    disabled = FALSE;
    if (!IsLive(m_window))
        return FALSE;
    const DWORD style = m_window->GetStyle();
    if (!(style & WS_SYSMENU))
        return FALSE;
    const BOOL tool = IsToolWindow();
    const BOOL boxes = (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) != 0;
    const BOOL iconic = ::IsIconic(m_window->m_hWnd);
    const BOOL zoomed = ::IsZoomed(m_window->m_hWnd);
    switch (m_id) {
    case Close: {
        HMENU systemMenu = ::GetSystemMenu(m_window->m_hWnd, FALSE);
        const UINT closeState = systemMenu ? ::GetMenuState(systemMenu, SC_CLOSE, MF_BYCOMMAND) : 0;
        disabled = closeState != static_cast<UINT>(-1) && (closeState & (MF_GRAYED | MF_DISABLED));
        return TRUE;
    }
    case Minimize:
        disabled = !(style & WS_MINIMIZEBOX);
        return !tool && boxes && !iconic;
    case Maximize:
        disabled = !(style & WS_MAXIMIZEBOX);
        return !tool && boxes && !zoomed;
    case Restore:
        disabled = zoomed ? !(style & WS_MAXIMIZEBOX) : !(style & WS_MINIMIZEBOX);
        return !tool && boxes && (zoomed || iconic);
    case Help:
        return !tool && !boxes && (m_window->GetExStyle() & WS_EX_CONTEXTHELP);
    default:
        return FALSE;
    }
}

// ---- the row

SECCaptionControlListMsgFilter::SECCaptionControlListMsgFilter(CWnd* window, int id)
    : SECCaptionMsgFilter(window, id)
{
    using Button = SECCaptionControlMsgFilter;
    for (int button : { Button::Close, Button::Maximize, Button::Restore, Button::Minimize, Button::Help })
        m_systemButtons.Add(button, RootId, RUNTIME_CLASS(SECCaptionControlMsgFilter));
    InstallAll(m_systemButtons, TRUE);
}

UINT SECCaptionControlListMsgFilter::WindowProc(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    Layout();
    return SECCaptionMsgFilter::WindowProc(message, wParam, lParam, result);
}

void SECCaptionControlListMsgFilter::Layout()
{
    using Button = SECCaptionControlMsgFilter;
    if (!m_enabled || !IsLive(m_window))
        return;
    const CRect caption = GetCaptionRect();
    const CSize size = GetButtonSize();
    CPoint position = GetButtonPos(caption, size);
    const BOOL iconic = ::IsIconic(m_window->m_hWnd);
    for (INT_PTR i = 0; i < m_children.GetSize(); ++i) {
        auto* button = dynamic_cast<Button*>(m_children[i]);
        if (!button)
            continue;
        BOOL disabled = FALSE;
        if (!button->QueryState(disabled)) {
            button->SetRect(CRect());
            continue;
        }
        button->SetRect(CRect(position, size));
        button->SetDisabled(disabled);
        position.x -= size.cx;
        const int id = button->GetId();
        if (id == Button::Close || id == Button::Minimize || (id == Button::Restore && iconic))
            position.x -= ButtonGap;
    }
}

// ---- the hold timer

BEGIN_MESSAGE_MAP(SECCaptionControlMsgFilterTimer, CWnd)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

SECCaptionControlMsgFilterTimer::SECCaptionControlMsgFilterTimer(SECCaptionControlMsgFilter* owner, int delay, int x, int y)
    : m_owner(owner)
    , m_delay(delay)
    , m_x(x)
    , m_y(y)
{
}

BOOL SECCaptionControlMsgFilterTimer::Start(CWnd* parent)
{
    return CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD, 0, 0, 0, 0, parent->m_hWnd, nullptr);
}

int SECCaptionControlMsgFilterTimer::OnCreate(LPCREATESTRUCT)
{
    m_timerSet = SetTimer(TimerId, static_cast<UINT>(m_delay)) != 0;
    return m_timerSet ? 0 : -1;
}

void SECCaptionControlMsgFilterTimer::OnTimer(UINT_PTR id)
{
    if (id != TimerId || m_fired)
        return;
    KillTimer(TimerId);
    m_timerSet = FALSE;
    m_fired = TRUE;
    if (m_owner->IsTracking())
        m_owner->Fire(m_x, m_y); // may delete this timer: the last thing done here
}

void SECCaptionControlMsgFilterTimer::OnDestroy()
{
    if (m_timerSet)
        KillTimer(TimerId);
    m_timerSet = FALSE;
}
