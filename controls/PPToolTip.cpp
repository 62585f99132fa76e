#include "controls/PPToolTip.h"

#include "controls/Monitor.h"
#include "platform/base/MulDiv.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"
#include "platform/base/Exceptions.h"

#include <algorithm>
#include <cwctype>

namespace {

constexpr wchar_t ClassName[] = L"XSuperTooltip";

constexpr int BalloonSizes[CPPToolTip::SizeCount] = { 16, 16, 12, 12, 12, 16, 16, 0, 0 };
constexpr int RectangularSizes[CPPToolTip::SizeCount] = { 0, 0, 3, 1, 0, 0, 0, 0, 0 };

void RegisterTipClass()
{
    WNDCLASSW windowClass {};
    if (GetClassInfoW(nullptr, ClassName, &windowClass))
        return;
    windowClass.style = CS_SAVEBITS;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = ClassName;
    if (!AfxRegisterClass(&windowClass))
        AfxThrowResourceException();
}

HBITMAP CreateCanvasBitmap(int width, int height)
{
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max(width, 1), std::max(height, 1));
    ReleaseDC(nullptr, screen);
    return bitmap;
}

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

// Sent by the system for F1 help.
constexpr UINT KeyF1Message = 0x004D;

bool IsKeyMessage(UINT message) { return message == WM_KEYDOWN || message == WM_KEYUP; }

} // namespace

UINT ToolTipVirtualKeyMessage()
{
    static const UINT message = RegisterWindowMessageW(L"WM_PPTOOLTIP_VIRTUAL_KEY_CODE");
    return message;
}

BEGIN_MESSAGE_MAP(CPPToolTip, CWnd)
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_SETCURSOR()
    ON_MESSAGE(WM_ACTIVATEAPP, OnActivateApp)
    ON_MESSAGE(UDM_TOOLTIP_REPAINT, OnDrawerNotify)
END_MESSAGE_MAP()

CPPToolTip::CPPToolTip()
    : m_colorBegin(GetSysColor(COLOR_INFOBK))
    , m_colorMid(m_colorBegin)
    , m_colorEnd(m_colorBegin)
{
    m_defaults.direction = PPTIP_TAIL_BOTTOM;
    SetDefaultSizes(TRUE);
    SetBorder(GetSysColor(COLOR_INFOTEXT), 1, 1);
    RegisterTipClass();
}

CPPToolTip::~CPPToolTip()
{
    DeleteImages();
    if (m_borderBrush)
        DeleteObject(m_borderBrush);
}

BOOL CPPToolTip::Create(CWnd* parent, BOOL balloon)
{
    m_parent = parent ? parent->GetSafeHwnd() : nullptr;
    if (!CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, ClassName, L"", WS_POPUP, 0, 0, 0, 0, m_parent, nullptr))
        return FALSE;
    SetDefaultSizes(balloon);
    m_drawer.SetCallbackRepaint(m_hWnd, UDM_TOOLTIP_REPAINT, 0);
    return TRUE;
}

BOOL CPPToolTip::DestroyWindow()
{
    HideTip();
    return CWnd::DestroyWindow();
}

BOOL CPPToolTip::PreTranslateMessage(MSG* message)
{
    RelayEvent(message);
    return CWnd::PreTranslateMessage(message);
}

void CPPToolTip::SetSize(int index, int value)
{
    if (index >= 0 && index < SizeCount)
        m_sizes[index] = value;
}

int CPPToolTip::GetSize(int index) const { return index >= 0 && index < SizeCount ? m_sizes[index] : 0; }

void CPPToolTip::SetDefaultSizes(BOOL balloon)
{
    std::copy_n(balloon ? BalloonSizes : RectangularSizes, SizeCount, m_sizes);
}

void CPPToolTip::SetBorder(COLORREF color, int width, int height)
{
    if (m_borderBrush)
        DeleteObject(m_borderBrush);
    m_borderBrush = CreateSolidBrush(color);
    const bool set = m_borderBrush && width && height;
    m_borderWidth = set ? width : 0;
    m_borderHeight = set ? height : 0;
}

void CPPToolTip::SetShadow(int dx, int dy, BYTE darkness, BOOL gradient, int blurX, int blurY)
{
    m_shadow = { gradient, dx, dy, blurX, blurY, std::min<int>(darkness, 100) };
}

void CPPToolTip::SetNotify(BOOL notify) { m_notifyWindow = notify ? m_parent : nullptr; }

void CPPToolTip::SetColorBk(COLORREF color) { m_colorBegin = m_colorMid = m_colorEnd = color; }

void CPPToolTip::SetDelayTime(int kind, UINT milliseconds)
{
    switch (kind) {
    case AutoPop: m_autoPop = milliseconds; break;
    case Initial: m_initial = milliseconds; break;
    case FadeIn: m_fadeInStep = milliseconds; break;
    case FadeOut: m_fadeOutStep = milliseconds; break;
    case Animation:
        m_animationPeriod = milliseconds;
        KillTimer(TimerAnimation);
        if (m_state == Shown && m_animationPeriod && m_drawer.HasAnimation())
            SetTimer(TimerAnimation, m_animationPeriod);
        break;
    default: break;
    }
}

UINT CPPToolTip::GetDelayTime(int kind) const
{
    switch (kind) {
    case AutoPop: return m_autoPop;
    case Initial: return m_initial;
    case FadeIn: return m_fadeInStep;
    case FadeOut: return m_fadeOutStep;
    case Animation: return m_animationPeriod;
    default: return 0;
    }
}

void CPPToolTip::AddTool(CWnd* tool, const ToolTipRecord& record)
{
    if (!tool || !tool->GetSafeHwnd())
        return;
    auto& records = m_tools[tool->GetSafeHwnd()];
    auto same = std::find_if(records.begin(), records.end(), [&](const ToolTipRecord& r) { return EqualRect(&r.rect, &record.rect); });
    if (same != records.end())
        *same = record;
    else
        records.push_back(record);
}

// ---- finding the tool under the cursor

bool CPPToolTip::FindTool(POINT parentClient, Tool& found) const
{
    POINT screen = parentClient;
    ::ClientToScreen(m_parent, &screen);
    HWND window = m_childFromPoint ? ChildWindowFromPoint(m_parent, parentClient) : WindowFromPoint(screen);
    if (!window || (!::GetParent(window) && window != m_parent))
        return false;
    wchar_t className[16] {};
    GetClassNameW(window, className, 9);
    const bool dropDownCombo = (GetWindowLongW(window, GWL_STYLE) & 0x0F) == CBS_DROPDOWN && EqualsIgnoringCase(className, L"combobox");
    if (!dropDownCombo) {
        POINT local = screen;
        ::ScreenToClient(window, &local);
        HWND child = ChildWindowFromPoint(window, local);
        if (child)
            window = child;
        if (!m_childFromPoint && !::IsWindowEnabled(window))
            return false;
    }
    auto entry = m_tools.find(window);
    if (entry == m_tools.end() || entry->second.empty())
        return false;
    const auto& records = entry->second;
    found.window = window;
    found.kind = 0;
    if (records.size() == 1 && IsRectEmpty(&records[0].rect)) {
        found.record = records[0];
        return true;
    }
    POINT local = screen;
    ::ScreenToClient(window, &local);
    for (const auto& record : records) {
        if (PtInRect(&record.rect, local)) {
            found.record = record;
            return true;
        }
    }
    return false;
}

// ---- relaying the owner's messages

BOOL CPPToolTip::RelayEvent(MSG* message)
{
    if (!m_hWnd || !message)
        return FALSE;
    if (m_state == Shown && m_current.record.virtualKey != 0) {
        const UINT key = m_current.record.virtualKey;
        if (IsKeyMessage(message->message) && message->wParam == key) {
            if (message->message == WM_KEYDOWN && IsWindow(m_parent))
                PostMessageW(m_parent, ToolTipVirtualKeyMessage(), m_current.record.keyParam, m_current.record.id);
            return TRUE;
        }
        if (key == VK_F1 && message->message == KeyF1Message)
            return TRUE;
    }
    switch (message->message) {
    case WM_MOUSEMOVE: OnMouseMoveRelayed(*message); break;
    case WM_LBUTTONDOWN:
        if (IsCursorOverTip()) {
            POINT point = message->pt;
            ::ScreenToClient(m_hWnd, &point);
            m_drawer.OnClick(point, m_current.record.id);
        }
        HideTip();
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEWHEEL:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: HideTip(); break;
    default: break;
    }
    return FALSE;
}

bool CPPToolTip::IsCursorOverTip() const
{
    POINT cursor {};
    GetCursorPos(&cursor);
    return ::IsWindowVisible(m_hWnd) && WindowFromPoint(cursor) == m_hWnd;
}

void CPPToolTip::OnMouseMoveRelayed(const MSG& message)
{
    if (m_current.kind == 1 || m_next.kind == 1)
        return;
    if (message.pt.x == m_lastCursor.x && message.pt.y == m_lastCursor.y)
        return;
    m_lastCursor = message.pt;
    const DWORD behaviour = m_current.record.behaviour;
    const bool overTip = IsCursorOverTip();
    if (overTip && !(behaviour & ToolTipRecord::TrackMouse)) {
        if (!(behaviour & ToolTipRecord::StayOverTip)) {
            BeginHiding();
            return;
        }
        if (m_state == Shown && !(behaviour & ToolTipRecord::NoAutoHide) && m_autoPop)
            SetTimer(TimerHide, m_autoPop);
        POINT point = message.pt;
        ::ScreenToClient(m_hWnd, &point);
        m_drawer.OnMouseOver(point);
        return;
    }
    POINT client = message.pt;
    ::ScreenToClient(m_parent, &client);
    Tool tool;
    if (!FindTool(client, tool)) {
        ForgetCurrentTool();
        KillTimer(TimerShow);
        BeginHiding();
        return;
    }
    const bool same = tool.window == m_current.window && EqualRect(&tool.record.rect, &m_current.record.rect);
    if (!same) {
        SetNextTool(tool, true);
        return;
    }
    if (behaviour & ToolTipRecord::TrackMouse) {
        if (m_state == Shown && !(behaviour & ToolTipRecord::NoAutoHide) && m_autoPop)
            SetTimer(TimerHide, m_autoPop);
        SetWindowPos(nullptr, message.pt.x, message.pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else if (behaviour & ToolTipRecord::CloseOnLeave) {
        if (m_state == Shown && !(behaviour & ToolTipRecord::NoAutoHide) && m_autoPop)
            SetTimer(TimerHide, m_autoPop);
    } else if (!(behaviour & ToolTipRecord::MultipleShow)) {
        BeginHiding();
    } else {
        SetNextTool(tool, true);
    }
}

void CPPToolTip::ForgetCurrentTool()
{
    m_current.window = nullptr;
    m_current.record.rect = {};
}

void CPPToolTip::SetNextTool(const Tool& tool, bool useDelay)
{
    m_pending = false;
    if (m_state == Showing || m_state == Shown)
        BeginHiding();
    m_next = tool;
    if (m_state == Hidden) {
        if (useDelay && m_initial)
            SetTimer(TimerShow, m_initial);
        else
            ShowStep();
        return;
    }
    m_pending = true;
    m_pendingDelay = useDelay && m_initial != 0;
}

void CPPToolTip::BeginHiding()
{
    if (m_state == Showing) {
        KillTimer(TimerFadeIn);
        HideStep();
    } else if (m_state == Shown) {
        HideStep();
    }
}

void CPPToolTip::HideTip()
{
    if (m_captured) {
        ReleaseCapture();
        m_captured = false;
    }
    m_state = Hidden;
    m_current.kind = m_next.kind = 0;
    m_moveWatch.Stop();
    for (UINT_PTR timer : { TimerShow, TimerHide, TimerFadeIn, TimerFadeOut, TimerAnimation })
        KillTimer(timer);
    if (m_hWnd && ::IsWindowVisible(m_hWnd)) {
        if (m_current.record.behaviour & ToolTipRecord::MultipleShow)
            ForgetCurrentTool();
        ShowWindow(SW_HIDE);
    }
}

// ---- timers

void CPPToolTip::OnTimer(UINT_PTR id)
{
    switch (id) {
    case TimerShow: ShowStep(); break;
    case TimerHide: HideStep(); break;
    case TimerFadeIn: FadeInStep(); break;
    case TimerFadeOut: FadeOutStep(); break;
    case TimerAnimation: AnimationStep(); break;
    default: CWnd::OnTimer(id); break;
    }
}

void CPPToolTip::ShowStep()
{
    KillTimer(TimerShow);
    POINT cursor {};
    GetCursorPos(&cursor);
    const bool still = m_next.kind != 0 || (cursor.x == m_lastCursor.x && cursor.y == m_lastCursor.y);
    if (!still) {
        BeginHiding();
        return;
    }
    if (m_state != Hidden || !::IsWindowVisible(m_next.window))
        return;
    m_state = Showing;
    PrepareTip();
    m_moveWatch.Start(m_next.window);
    if (m_showEffect && m_fadeInStep) {
        SetTimer(TimerFadeIn, m_fadeInStep);
        return;
    }
    BecomeShown();
}

// The animation clock runs only while a tip with animated pictures is up, so an idle program
// takes no time.
void CPPToolTip::BecomeShown()
{
    m_state = Shown;
    if (!(m_current.record.behaviour & ToolTipRecord::NoAutoHide) && m_autoPop)
        SetTimer(TimerHide, m_autoPop);
    if (m_animationPeriod && m_drawer.HasAnimation())
        SetTimer(TimerAnimation, m_animationPeriod);
}

void CPPToolTip::AnimationStep()
{
    if (m_state == Shown && ::IsWindowVisible(m_hWnd) && m_drawer.AdvanceAnimation())
        Invalidate(FALSE);
}

void CPPToolTip::HideStep()
{
    if (m_captured) {
        ReleaseCapture();
        m_captured = false;
    }
    for (UINT_PTR timer : { TimerShow, TimerHide, TimerFadeIn, TimerAnimation })
        KillTimer(timer);
    if (m_state == Hiding)
        return;
    m_state = Hiding;
    if (m_hideEffect && m_fadeOutStep) {
        SetTimer(TimerFadeOut, m_fadeOutStep);
        return;
    }
    m_transparency = 100;
    FadeOutStep();
}

void CPPToolTip::FadeInStep()
{
    m_transparency = std::max(m_transparency - 20, 0);
    if (m_transparency <= m_current.record.transparency) {
        m_transparency = m_current.record.transparency;
        KillTimer(TimerFadeIn);
        BecomeShown();
    }
    Invalidate(FALSE);
}

void CPPToolTip::FadeOutStep()
{
    m_transparency = m_transparency < 80 ? m_transparency + 20 : 100;
    if (m_transparency < 100) {
        Invalidate(FALSE);
        return;
    }
    KillTimer(TimerFadeOut);
    if (m_current.record.behaviour & ToolTipRecord::MultipleShow)
        ForgetCurrentTool();
    m_moveWatch.Stop();
    ShowWindow(SW_HIDE);
    m_state = Hidden;
    if (m_pending) {
        m_pending = false;
        if (m_pendingDelay)
            SetTimer(TimerShow, m_initial);
        else
            ShowStep();
    } else {
        m_current.kind = m_next.kind = 0;
    }
}

// ---- preparing, placing and painting

void CPPToolTip::PrepareTip()
{
    ToolTipRecord& record = m_next.record;
    if (!(record.mask & ToolTipRecord::Style))
        record.style = m_defaults.style;
    if (!(record.mask & ToolTipRecord::Effect)) {
        record.effect = m_defaults.effect;
        record.granularity = m_defaults.granularity;
    }
    if (!(record.mask & ToolTipRecord::Colors)) {
        record.colorBegin = m_colorBegin;
        record.colorMid = m_colorMid;
        record.colorEnd = m_colorEnd;
    }
    if (!(record.mask & ToolTipRecord::Direction))
        record.direction = m_defaults.direction;
    if (!(record.mask & ToolTipRecord::Behaviour))
        record.behaviour = m_defaults.behaviour;
    if (!(record.mask & ToolTipRecord::Transparency))
        record.transparency = m_defaults.transparency;

    m_anchor = m_lastCursor;
    RECT control {};
    bool controlFound = false;
    if (record.anchorBelowControl) {
        POINT client = m_lastCursor;
        ::ScreenToClient(m_parent, &client);
        HWND child = ChildWindowFromPoint(m_parent, client);
        if (child && child != m_parent) {
            ::GetWindowRect(child, &control);
            m_anchor = { control.left + 1, control.bottom };
            controlFound = true;
        } else {
            m_anchor = { m_lastCursor.x + 24, m_lastCursor.y + 22 };
        }
    }

    if (m_notifyWindow && m_hWnd) {
        ToolTipDisplayNotify notify { { m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), UDM_TOOLTIP_DISPLAY }, m_next.window, &m_anchor, &record };
        ::SendMessageW(m_notifyWindow, WM_NOTIFY, GetDlgCtrlID(), reinterpret_cast<LPARAM>(&notify));
    }
    m_current = m_next;
    if (record.text.IsEmpty())
        return;

    HDC screen = ::GetDC(nullptr);
    SIZE text {};
    m_drawer.MeasureText(screen, static_cast<LPCWSTR>(record.text), &text);
    ::ReleaseDC(nullptr, screen);
    const int marginX = m_sizes[MarginX], marginY = m_sizes[MarginY];
    m_textRect = { marginX, marginY, marginX + text.cx, marginY + text.cy };
    SIZE body { text.cx + 2 * marginX, text.cy + 2 * marginY };
    if (record.anchorBelowControl) {
        OffsetRect(&m_textRect, 0, marginY);
        body.cy += marginY;
    }
    const RECT virtualScreen { GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
        GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
        GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN) };
    const PPTipSizes sizes { m_sizes[TailWidth], m_sizes[TailHeight], m_sizes[TailOffset] };
    m_placement = PlaceTip(record.direction, m_anchor, body, sizes, virtualScreen);
    if (record.anchorBelowControl)
        m_placement.apex = { 0, 0 };
    m_bodyRect = m_placement.body;
    OffsetRect(&m_textRect, m_bodyRect.left, m_bodyRect.top);
    m_windowRect = { 0, 0, m_placement.window.cx, m_placement.window.cy };

    DeleteImages();
    BuildRegion();
    PaintBackgroundImage();
    m_transparency = m_showEffect && m_fadeInStep ? 100 : record.transparency;

    int left = m_anchor.x - m_placement.apex.x, top = m_anchor.y - m_placement.apex.y;
    if (m_current.kind != 2 && controlFound) {
        RECT monitor {};
        CMonitor::FromPoint({ left, top }).GetMonitorRect(&monitor);
        if (top + (m_windowRect.bottom - m_windowRect.top) > monitor.bottom)
            top = control.top - (m_bodyRect.bottom - m_bodyRect.top) + 1;
    }
    CaptureScreenBehind(left, top);
    UINT flags = SWP_NOACTIVATE | SWP_SHOWWINDOW | (m_current.kind == 2 ? SWP_NOZORDER : 0);
    SetWindowPos(nullptr, left, top, m_windowRect.right, m_windowRect.bottom, flags);
    Invalidate(FALSE);
}

void CPPToolTip::BuildRegion()
{
    m_region = CreateRoundRectRgn(m_bodyRect.left, m_bodyRect.top, m_bodyRect.right + 1, m_bodyRect.bottom + 1,
        m_sizes[CornerWidth], m_sizes[CornerHeight]);
    if (m_placement.hasTail && m_sizes[TailWidth] && m_sizes[TailHeight]) {
        HRGN tail = CreatePolygonRgn(m_placement.tail.data(), 3, WINDING);
        CombineRgn(m_region, m_region, tail, RGN_OR);
        DeleteObject(tail);
    }
    if (m_shadow.dx || m_shadow.dy) {
        HRGN shadow = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(shadow, m_region, nullptr, RGN_COPY);
        OffsetRgn(shadow, m_shadow.dx, m_shadow.dy);
        CombineRgn(shadow, shadow, m_region, RGN_OR);
        m_windowRect.right += m_shadow.dx;
        m_windowRect.bottom += m_shadow.dy;
        SetWindowRgn(shadow, FALSE);
    } else {
        HRGN copy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(copy, m_region, nullptr, RGN_COPY);
        SetWindowRgn(copy, FALSE);
    }
}

void CPPToolTip::PaintBackgroundImage()
{
    const ToolTipRecord& record = m_current.record;
    m_background = CreateCanvasBitmap(m_windowRect.right, m_windowRect.bottom);
    fln::gdi::MemoryDC canvas(nullptr, m_background);
    m_drawManager.PaintBackground(canvas.dc(), record.effect, &m_bodyRect, record.colorBegin, record.colorMid, record.colorEnd,
        record.granularity, 5);
    if (!m_placement.hasTail)
        return;
    // The strip beside the body on the tail side repeats the body's nearest line, so the tail matches it.
    const RECT& body = m_bodyRect;
    const int width = m_placement.window.cx, height = m_placement.window.cy;
    switch (m_placement.direction & 0xF0) {
    case PPTIP_TAIL_TOP: CPPDrawManager::TileCopy(canvas.dc(), 0, 0, width, body.top, canvas.dc(), 0, body.top + 1, width, 1); break;
    case PPTIP_TAIL_BOTTOM:
        CPPDrawManager::TileCopy(canvas.dc(), 0, body.bottom, width, height - body.bottom, canvas.dc(), 0, body.bottom - 1, width, 1);
        break;
    case PPTIP_TAIL_LEFT: CPPDrawManager::TileCopy(canvas.dc(), 0, 0, body.left, height, canvas.dc(), body.left + 1, 0, 1, height); break;
    default:
        CPPDrawManager::TileCopy(canvas.dc(), body.right, 0, width - body.right, height, canvas.dc(), body.right - 1, 0, 1, height);
        break;
    }
}

// Read while the tip is still hidden, so the shadow and a see-through body fall on what was there.
void CPPToolTip::CaptureScreenBehind(int left, int top)
{
    m_screenBehind = CreateCanvasBitmap(m_windowRect.right, m_windowRect.bottom);
    HDC screen = ::GetDC(nullptr);
    bool captured;
    {
        fln::gdi::MemoryDC canvas(screen, m_screenBehind);
        captured = BitBlt(canvas.dc(), 0, 0, m_windowRect.right, m_windowRect.bottom, screen, left, top, SRCCOPY);
    }
    ::ReleaseDC(nullptr, screen);
    if (!captured) {
        DeleteObject(m_screenBehind);
        m_screenBehind = nullptr;
    }
}

void CPPToolTip::DeleteImages()
{
    for (HGDIOBJ* object : { reinterpret_cast<HGDIOBJ*>(&m_background), reinterpret_cast<HGDIOBJ*>(&m_screenBehind),
             reinterpret_cast<HGDIOBJ*>(&m_region) }) {
        if (*object)
            DeleteObject(*object);
        *object = nullptr;
    }
}

void CPPToolTip::OnDrawBorder(HDC dc, HRGN region)
{
    FrameRgn(dc, region, m_borderBrush, m_borderWidth, m_borderHeight);
}

void CPPToolTip::PaintTip(HDC dc, int transparency)
{
    if (!m_background || !m_region)
        return;
    const int width = m_windowRect.right, height = m_windowRect.bottom;
    HBITMAP imageBitmap = CreateCanvasBitmap(width, height);
    HBITMAP composeBitmap = CreateCanvasBitmap(width, height);
    {
        fln::gdi::MemoryDC image(dc, imageBitmap), background(dc, m_background), compose(dc, composeBitmap);
        BitBlt(image.dc(), 0, 0, width, height, background.dc(), 0, 0, SRCCOPY);
        m_drawer.DrawText(image.dc(), m_textRect);
        if (m_borderWidth && m_borderHeight)
            OnDrawBorder(image.dc(), m_region);

        // Where the screen could not be read, the shadow falls on the window colour instead.
        RECT all { 0, 0, width, height };
        if (m_screenBehind) {
            fln::gdi::MemoryDC behind(dc, m_screenBehind);
            BitBlt(compose.dc(), 0, 0, width, height, behind.dc(), 0, 0, SRCCOPY);
        } else {
            FillSolidRect(compose.dc(), &all, GetSysColor(COLOR_WINDOW));
        }
        transparency = std::clamp(transparency, 0, 100);
        if (m_shadow.dx || m_shadow.dy) {
            HBITMAP mask = CreateCanvasBitmap(width, height);
            {
                fln::gdi::MemoryDC maskCanvas(dc, mask);
                FillSolidRect(maskCanvas.dc(), &all, RGB(255, 255, 255));
                const int g0 = MulDiv(255, 100 - m_shadow.darkness, 100);
                const int grey = g0 + transparency * (255 - g0) / 100;
                HBRUSH brush = CreateSolidBrush(RGB(grey, grey, grey));
                FillRgn(maskCanvas.dc(), m_region, brush);
                DeleteObject(brush);
            }
            CPPDrawManager::PaintShadow(compose.dc(), m_shadow.dx, m_shadow.dy, width, height, mask, m_shadow.gradient,
                m_shadow.blurX, m_shadow.blurY);
            DeleteObject(mask);
        }
        SelectClipRgn(compose.dc(), m_region);
        CPPDrawManager::BlendCopy(compose.dc(), 0, 0, width, height, image.dc(), 0, 0, 100 - transparency);
        SelectClipRgn(compose.dc(), nullptr);
        BitBlt(dc, 0, 0, width, height, compose.dc(), 0, 0, SRCCOPY);
    }
    DeleteObject(imageBitmap);
    DeleteObject(composeBitmap);
}

void CPPToolTip::OnPaint()
{
    PAINTSTRUCT paint {};
    HDC dc = BeginPaint(m_hWnd, &paint);
    PaintTip(dc, m_transparency);
    EndPaint(m_hWnd, &paint);
}

BOOL CPPToolTip::OnSetCursor(CWnd*, UINT, UINT)
{
    POINT cursor {};
    GetCursorPos(&cursor);
    ::ScreenToClient(m_hWnd, &cursor);
    if (!m_drawer.OnMouseOver(cursor))
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

LRESULT CPPToolTip::OnActivateApp(WPARAM active, LPARAM)
{
    LRESULT result = Default();
    if (!active)
        HideTip();
    return result;
}

LRESULT CPPToolTip::OnDrawerNotify(WPARAM, LPARAM)
{
    HDC dc = ::GetDC(m_hWnd);
    PaintTip(dc, 0);
    ::ReleaseDC(m_hWnd, dc);
    return 1;
}

BOOL CXSuperTooltip::Create(CWnd* parent, BOOL balloon)
{
    if (!CPPToolTip::Create(parent, balloon))
        return FALSE;
    ApplyStyle();
    return TRUE;
}

void CXSuperTooltip::ApplyStyle()
{
    SetSize(MarginX, 6);
    SetSize(MarginY, 4);
    SetSize(CornerWidth, 2);
    SetSize(CornerHeight, 2);
    SetSize(TailWidth, 0);
    SetSize(TailHeight, 0);
    SetBorder(RGB(0x76, 0x76, 0x76), 1, 1);
    SetShadow(5, 5, 20, TRUE, 3, 3);
    SetNotify(TRUE);
    SetColorBk(0x0000FF);
    Drawer().SetMaxWidth(212);
    SetDelayTime(AutoPop, 60000);
    BOOL fading = FALSE;
    SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fading, 0);
    SetDelayTime(FadeOut, fading ? 80 : 0);
}
