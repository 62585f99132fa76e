#include "controls/BalloonHelp.h"

#include "platform/gdi/MemoryDC.h"
#include "platform/sys/Shell.h"
#include "platform/user/ResourceHandles.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kMargin = 8;      // between the frame and the client area, and between the lines
constexpr int kTailHeight = 20; // the tail's height and base width
constexpr UINT_PTR kTimeoutTimer = 1;
constexpr UINT kPressedMark = DFCS_PUSHED;
constexpr unsigned kMouseOptions = 0x007F; // the button and mouse-move bits
constexpr unsigned kDelayClearedBits = 0x017F;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;

bool RegisterBalloonClass(LPCWSTR name, UINT style)
{
    WNDCLASSW windowClass {};
    windowClass.style = style;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<ULONG_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = name;
    return AfxRegisterClass(&windowClass) != FALSE;
}

} // namespace

BEGIN_MESSAGE_MAP(CBalloonHelp, CWnd)
    ON_WM_PAINT()
    ON_WM_NCPAINT()
    ON_MESSAGE(WM_PRINT, OnPrint)
    ON_WM_NCHITTEST()
    ON_WM_DESTROY()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_WM_MOUSEMOVE()
    ON_WM_NCCALCSIZE()
    ON_WM_TIMER()
    ON_WM_CLOSE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CBalloonHelp::CBalloonHelp()
    : m_background(GetSysColor(COLOR_INFOBK))
    , m_text(GetSysColor(COLOR_INFOTEXT))
{
    int hoverWidth = 0;
    if (SystemParametersInfoW(SPI_GETMOUSEHOVERWIDTH, 0, &hoverWidth, 0) && hoverWidth > 0)
        m_mouseTolerance = hoverWidth;
    s_current = this;
}

CBalloonHelp::~CBalloonHelp()
{
    RemoveHooks();
    if (m_hWnd)
        DestroyWindow();
    delete m_titleFont;
    delete m_contentFont;
    if (s_current == this)
        s_current = nullptr;
}

void CBalloonHelp::LaunchBalloon(const CString& title, const CString& content, const POINT& anchor, UINT iconId,
    unsigned options, CWnd* parent, CString url, unsigned timeout)
{
    if (s_launchedShown)
        return;
    auto* balloon = new CBalloonHelp;
    if (iconId) {
        int cx = std::max(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CXSIZE));
        int cy = std::max(GetSystemMetrics(SM_CYSMICON), GetSystemMetrics(SM_CYSIZE));
        // A shared system icon: it belongs to the system and is never destroyed here.
        auto icon = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(iconId), IMAGE_ICON, cx, cy, LR_SHARED));
        if (icon)
            balloon->SetIconScaled(icon, cx, cy);
    }
    if (!balloon->Create(title, content, anchor, options | unDELETE_THIS_ON_CLOSE, parent, std::move(url), timeout, nullptr)) {
        delete balloon;
        return;
    }
    s_launchedShown = true;
}

BOOL CBalloonHelp::Create(const CString& title, const CString& content, const POINT& anchor, unsigned options,
    CWnd* parent, CString url, unsigned timeout, HICON icon)
{
    m_content = content;
    SetAnchorPoint(anchor.x, anchor.y, parent);
    m_options = options;
    m_url = std::move(url);
    m_timeout = timeout;
    if (icon)
        SetIcon(icon);

    auto fail = [this] {
        // No hook may refer to a balloon that has no window.
        RemoveHooks();
        return FALSE;
    };

    CWnd* owner = GetSafeOwner(parent);
    if (!owner)
        return fail();

    if (!m_contentFont) {
        LOGFONTW font {};
        if (!GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font))
            return fail();
        m_contentFont = new CFont;
        m_titleFont = new CFont;
        font.lfWeight = 400;
        bool made = m_contentFont->CreateFontIndirect(&font);
        font.lfWeight = 700;
        made = m_titleFont->CreateFontIndirect(&font) && made;
        if (!made)
            return fail();
    }

    static const bool shadowClass = RegisterBalloonClass(L"BalloonHelpClassDS", CS_DROPSHADOW | CS_SAVEBITS | CS_DBLCLKS);
    static const bool plainClass = RegisterBalloonClass(L"BalloonHelpClass", CS_SAVEBITS | CS_DBLCLKS);
    LPCWSTR className = (m_options & unDISABLE_XP_SHADOW) || !shadowClass ? L"BalloonHelpClass" : L"BalloonHelpClassDS";
    if (className == std::wstring_view(L"BalloonHelpClass") && !plainClass)
        return fail();

    BOOL animation = FALSE, fade = FALSE;
    SystemParametersInfoW(SPI_GETTOOLTIPANIMATION, 0, &animation, 0);
    SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fade, 0);
    if (!animation || !fade)
        m_options |= unDISABLE_FADEIN | unDISABLE_FADEOUT;

    DWORD exStyle = WS_EX_TOOLWINDOW | ((m_options & unSHOW_TOPMOST) ? WS_EX_TOPMOST : 0);
    if (!CreateEx(exStyle, className, title, WS_POPUP, 0, 0, 10, 10, owner->m_hWnd, nullptr))
        return fail();
    m_windowMade = true;

    PositionWindow();

    if (m_options & kMouseOptions) {
        GetCursorPos(&m_mouseStart);
        m_mouseHook = SetWindowsHookExW(WH_MOUSE, MouseHookProc, nullptr, GetCurrentThreadId());
    }
    if ((m_options & (unCLOSE_ON_LBUTTON_UP | unCLOSE_ON_MBUTTON_UP | unCLOSE_ON_RBUTTON_UP)) && !::GetCapture())
        SetCapture();
    if (m_options & unCLOSE_ON_KEYPRESS)
        m_keyboardHook = SetWindowsHookExW(WH_KEYBOARD, KeyboardHookProc, nullptr, GetCurrentThreadId());

    if (m_options & unDISABLE_FADEIN)
        ShowWindow(SW_SHOWNOACTIVATE);
    else
        AnimateWindow(m_hWnd, 200, AW_BLEND); // shows without activating
    if (!(m_options & unDELAY_CLOSE))
        SetTimeout(m_timeout);
    return TRUE;
}

void CBalloonHelp::SetAnchorPoint(int x, int y, CWnd* anchorWindow)
{
    m_anchor = { x, y };
    m_anchorWindow = anchorWindow ? anchorWindow->m_hWnd : nullptr;
    if (m_anchorWindow && !m_anchorMoveHook)
        m_anchorMoveHook = SetWindowsHookExW(WH_CALLWNDPROCRET, AnchorMoveHookProc, nullptr, GetCurrentThreadId());
    else if (!m_anchorWindow && m_anchorMoveHook) {
        UnhookWindowsHookEx(m_anchorMoveHook);
        m_anchorMoveHook = nullptr;
    }
    if (m_hWnd)
        PositionWindow();
}

void CBalloonHelp::SetTimeout(unsigned milliseconds)
{
    m_timeout = milliseconds;
    if (!m_hWnd)
        return;
    if (milliseconds)
        m_timerId = SetTimer(kTimeoutTimer, milliseconds);
    else
        KillTimer(kTimeoutTimer);
}

void CBalloonHelp::SetIcon(HICON icon)
{
    ICONINFO info {};
    if (!icon || !GetIconInfo(icon, &info)) {
        SetIconBitmaps(nullptr, nullptr); // no icon: the list is emptied all the same
        return;
    }
    SetIconBitmaps(info.hbmColor, info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
}

void CBalloonHelp::SetIconBitmaps(HBITMAP color, HBITMAP mask)
{
    m_icon.DeleteImageList();
    BITMAP bitmap {};
    if (color && GetObjectW(color, sizeof bitmap, &bitmap) && m_icon.Create(bitmap.bmWidth, bitmap.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0))
        ImageList_Add(m_icon, color, mask);
    if (m_hWnd)
        PositionWindow();
}

void CBalloonHelp::SetIconBitmap(HBITMAP image, COLORREF transparent)
{
    m_icon.DeleteImageList();
    BITMAP bitmap {};
    if (image && GetObjectW(image, sizeof bitmap, &bitmap) && m_icon.Create(bitmap.bmWidth, bitmap.bmHeight, ILC_COLOR24 | ILC_MASK, 1, 0))
        ImageList_AddMasked(m_icon, image, transparent);
    if (m_hWnd)
        PositionWindow();
}

void CBalloonHelp::SetIconScaled(HICON icon, int cx, int cy)
{
    ICONINFO info {};
    if (!icon || !GetIconInfo(icon, &info)) {
        SetIconBitmap(nullptr, m_background);
        return;
    }
    BITMAP bitmap {};
    GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
    int width = bitmap.bmWidth;
    int height = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);

    CDC screen;
    screen.CreateDC(L"DISPLAY", nullptr, nullptr, nullptr);
    fln::gdi::MemoryDC source(screen, width, height), target(screen, cx, cy);
    const RECT all { 0, 0, width, height };
    ::FillSolidRect(source, &all, m_background);
    DrawIconEx(source, 0, 0, icon, width, height, 0, nullptr, DI_NORMAL);
    ::SetStretchBltMode(target, HALFTONE);
    ::StretchBlt(target, 0, 0, cx, cy, source, 0, 0, width, height, SRCCOPY);
    CBitmap scaled;
    scaled.Attach(target.DetachBitmap());
    SetIconBitmap(scaled, m_background);
}

// ---- sizes and placement

CSize CBalloonHelp::TitleSize(CDC* dc) const
{
    CSize size(0, 0);
    if (m_icon.GetImageCount() > 0) {
        SIZE icon = m_icon.GetIconSize();
        size.cx += icon.cx;
        size.cy = std::max<LONG>(size.cy, icon.cy);
    }
    if (m_options & unSHOW_CLOSE_BUTTON) {
        if (size.cx > 0)
            size.cx += kMargin;
        size.cx += GetSystemMetrics(SM_CXSIZE);
        size.cy = std::max<LONG>(size.cy, GetSystemMetrics(SM_CYSIZE));
    }
    CString title = m_hWnd ? GetWindowText() : CString();
    if (!title.IsEmpty()) {
        CFont* old = dc->SelectObject(m_titleFont);
        RECT text {};
        dc->DrawText(title, &text, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
        dc->SelectObject(old);
        if (size.cx > 0)
            size.cx += kMargin;
        size.cx += text.right - text.left;
        size.cy = std::max<LONG>(size.cy, text.bottom - text.top);
    }
    return size;
}

CSize CBalloonHelp::ContentSize(CDC* dc) const
{
    if (m_content.IsEmpty())
        return CSize(0, 0);
    int workWidth = m_workArea.right - m_workArea.left;
    RECT text { 0, 0, workWidth - workWidth / 2, 0 };
    CFont* old = dc->SelectObject(m_contentFont);
    dc->DrawText(m_content, &text, DT_CALCRECT | kTextFormat);
    dc->SelectObject(old);
    return CSize(text.right - text.left, text.bottom - text.top);
}

CSize CBalloonHelp::WindowSize(CDC* dc) const
{
    CSize title = TitleSize(dc);
    CSize content = ContentSize(dc);
    CSize client(std::max(title.cx, content.cx), title.cy + kMargin + content.cy);
    return CSize(client.cx + 2 * kMargin, client.cy + 2 * kMargin + kTailHeight);
}

POINT CBalloonHelp::AnchorOnScreen() const
{
    POINT point = m_anchor;
    if (m_anchorWindow)
        ::ClientToScreen(m_anchorWindow, &point);
    return point;
}

const RECT& CBalloonHelp::WorkArea()
{
    if (IsRectEmpty(&m_workArea)) {
        MONITORINFO info { sizeof info };
        if (GetMonitorInfoW(MonitorFromPoint(AnchorOnScreen(), MONITOR_DEFAULTTONEAREST), &info))
            m_workArea = info.rcWork;
    }
    return m_workArea;
}

bool CBalloonHelp::TailAtTop()
{
    const RECT& work = WorkArea();
    return AnchorOnScreen().y < work.top + (work.bottom - work.top) / 2;
}

void CBalloonHelp::PositionWindow()
{
    SetRectEmpty(&m_workArea);
    const RECT work = WorkArea();
    CClientDC dc(this);
    CSize size = WindowSize(&dc);
    const int W = size.cx, H = size.cy;
    POINT anchor = AnchorOnScreen();
    bool upper = anchor.y < work.top + (work.bottom - work.top) / 2;
    bool right = anchor.x >= work.left + (work.right - work.left) / 2;

    int q = (W - kTailHeight) / 4;
    int baseX = right ? 3 * q : q + kTailHeight; // where the base starts
    int tipX = right ? 3 * q + kTailHeight : q;
    int baseEndX = right ? 3 * q + kTailHeight : q;
    POINT tail[3];
    if (upper) {
        tail[0] = { baseX, 21 };
        tail[1] = { tipX, 1 };
        tail[2] = { baseEndX, 21 };
    } else {
        tail[0] = { baseX, H - 22 };
        tail[1] = { tipX, H - 2 };
        tail[2] = { baseEndX, H - 22 };
    }
    for (POINT& point : tail)
        point.x = std::clamp(point.x, kMargin, std::max(kMargin, W - kMargin));

    int left = anchor.x - tail[1].x;
    int top = anchor.y - tail[1].y;
    int dx = 0, dy = 0;
    if (left < work.left)
        dx = work.left - left;
    else if (left + W >= work.right)
        dx = work.right - left - W;
    if (top + kTailHeight < work.top)
        dy = work.top - top - kTailHeight;
    else if (top + H - kTailHeight >= work.bottom)
        dy = work.bottom - top - H + kTailHeight;
    left += dx;
    top += dy;
    // The tip keeps pointing at the anchor across a horizontal shift.
    tail[1].x -= dx;

    MoveWindow(left, top, W, H, TRUE);

    CRgn shape, tailRegion, body;
    tailRegion.CreatePolygonRgn(tail, 3, ALTERNATE);
    if (upper)
        body.CreateRoundRectRgn(0, kTailHeight, W, H, 24, 24);
    else
        body.CreateRoundRectRgn(0, 0, W, H - kTailHeight, 24, 24);
    shape.CreateRectRgn(0, 0, 0, 0);
    shape.CombineRgn(&tailRegion, &body, RGN_OR);
    if (!m_region.m_hObject || !m_region.EqualRgn(&shape)) {
        m_region.DeleteObject();
        m_region.CreateRectRgn(0, 0, 0, 0);
        m_region.CopyRgn(&shape);
        // The window takes the region it is given; keep our own copy for drawing the frame.
        SetWindowRgn(static_cast<HRGN>(shape.Detach()), TRUE);
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void CBalloonHelp::OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params)
{
    RECT old = params->rgrc[2];
    RECT& client = params->rgrc[0];
    InflateRect(&client, -kMargin, -kMargin);
    if (TailAtTop())
        client.top += kTailHeight;
    else
        client.bottom -= kTailHeight;
    client.bottom = std::max(client.bottom, client.top);
    client.right = std::max(client.right, client.left);
    if (calcValidRects && !EqualRect(&client, &old))
        SetRectEmpty(&params->rgrc[2]);
}

// ---- drawing

BOOL CBalloonHelp::OnEraseBkgnd(CDC* dc)
{
    RECT client;
    GetClientRect(&client);
    dc->FillSolidRect(&client, m_background);
    return TRUE;
}

void CBalloonHelp::OnNcPaint()
{
    CWindowDC dc(this);
    DrawFrame(&dc);
}

void CBalloonHelp::DrawFrame(CDC* dc)
{
    RECT window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    ClientToScreen(&client);
    OffsetRect(&client, -window.left, -window.top);
    OffsetRect(&window, -window.left, -window.top);

    int saved = dc->SaveDC();
    dc->ExcludeClipRect(&client);
    dc->FillSolidRect(&window, m_background);
    dc->RestoreDC(saved);

    if (!m_region.m_hObject)
        return;
    if (m_options & unSHOW_INNER_SHADOW) {
        COLORREF light = RGB(GetRValue(m_background) / 3 + 170, GetGValue(m_background) / 3 + 170,
            GetBValue(m_background) / 3 + 170);
        COLORREF middle = RGB(2 * (GetRValue(m_background) / 3) + GetRValue(m_text) / 3,
            2 * (GetGValue(m_background) / 3) + GetGValue(m_text) / 3,
            2 * (GetBValue(m_background) / 3) + GetBValue(m_text) / 3);
        CBrush lightBrush(light), middleBrush(middle);
        m_region.OffsetRgn(1, 1);
        dc->FrameRgn(&m_region, &lightBrush, 2, 2);
        m_region.OffsetRgn(-2, -2);
        dc->FrameRgn(&m_region, &middleBrush, 2, 2);
        m_region.OffsetRgn(1, 1);
    }
    CBrush border(m_text);
    dc->FrameRgn(&m_region, &border, 1, 1);
}

void CBalloonHelp::OnPaint()
{
    CPaintDC dc(this);
    DrawBody(&dc);
}

LRESULT CBalloonHelp::OnPrint(WPARAM dcHandle, LPARAM flags)
{
    CDC* dc = CDC::FromHandle(reinterpret_cast<HDC>(dcHandle));
    if (flags & PRF_NONCLIENT)
        DrawFrame(dc);
    if (flags & PRF_CLIENT) {
        RECT window, client;
        GetWindowRect(&window);
        GetClientRect(&client);
        ClientToScreen(&client);
        int saved = dc->SaveDC();
        dc->OffsetViewportOrg(client.left - window.left, client.top - window.top);
        OnPrintClient(dcHandle, flags);
        dc->RestoreDC(saved);
    }
    return 0;
}

LRESULT CBalloonHelp::OnPrintClient(WPARAM dcHandle, LPARAM flags)
{
    CDC* dc = CDC::FromHandle(reinterpret_cast<HDC>(dcHandle));
    if (flags & PRF_ERASEBKGND)
        SendMessage(WM_ERASEBKGND, dcHandle);
    if (flags & PRF_CLIENT)
        DrawBody(dc);
    return 0;
}

void CBalloonHelp::DrawBody(CDC* dc)
{
    CSize title = TitleSize(dc);
    DrawTitle(dc);
    int saved = dc->SaveDC();
    dc->OffsetViewportOrg(0, title.cy + kMargin);
    DrawContent(dc);
    dc->RestoreDC(saved);
}

CRect CBalloonHelp::CloseButtonRect() const
{
    RECT client;
    GetClientRect(&client);
    return CRect(client.right - GetSystemMetrics(SM_CXSIZE), 0, client.right, GetSystemMetrics(SM_CYSIZE));
}

void CBalloonHelp::DrawTitle(CDC* dc)
{
    CSize size = TitleSize(dc);
    RECT client;
    GetClientRect(&client);
    RECT text { 0, 0, client.right, size.cy };
    if (m_icon.GetImageCount() > 0) {
        m_icon.SetBkColor(m_background);
        m_icon.Draw(dc, 0, CPoint(0, 0), ILD_NORMAL);
        text.left += m_icon.GetIconSize().cx + kMargin;
    }
    if (m_options & unSHOW_CLOSE_BUTTON) {
        CRect button = CloseButtonRect();
        dc->DrawFrameControl(&button, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_FLAT);
        text.right = button.left - kMargin;
    }
    CString title = GetWindowText();
    if (title.IsEmpty())
        return;
    CFont* old = dc->SelectObject(m_titleFont);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(m_text);
    dc->DrawText(title, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
    dc->SelectObject(old);
}

void CBalloonHelp::DrawContent(CDC* dc)
{
    CSize size = ContentSize(dc);
    RECT text { 0, 0, size.cx, size.cy };
    CFont* old = dc->SelectObject(m_contentFont);
    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(m_text);
    dc->DrawText(m_content, &text, kTextFormat);
    dc->SelectObject(old);
}

// ---- input and closing

void CBalloonHelp::UpdateCloseButton(CPoint point, bool pressed)
{
    CRect button = CloseButtonRect();
    // The button looks pushed only while it is pressed and the pointer is over it.
    UINT drawn = button.PtInRect(point) ? DFCS_HOT | (pressed ? DFCS_PUSHED : 0) : DFCS_FLAT;
    UINT state = drawn | (pressed ? kPressedMark : 0);
    if (state == m_closeButtonState)
        return;
    m_closeButtonState = state;
    CClientDC dc(this);
    dc.DrawFrameControl(&button, DFC_CAPTION, DFCS_CAPTIONCLOSE | drawn);
}

void CBalloonHelp::OnMouseMove(UINT flags, CPoint point)
{
    if (m_options & unSHOW_CLOSE_BUTTON)
        UpdateCloseButton(point, (m_closeButtonState & kPressedMark) != 0);
    Default();
}

void CBalloonHelp::OnLButtonDown(UINT flags, CPoint point)
{
    if ((m_options & unSHOW_CLOSE_BUTTON) && CloseButtonRect().PtInRect(point)) {
        SetCapture();
        UpdateCloseButton(point, true); // sets the pressed mark
    }
    Default();
}

void CBalloonHelp::OnLButtonUp(UINT flags, CPoint point)
{
    if ((m_options & unSHOW_CLOSE_BUTTON) && (m_closeButtonState & kPressedMark)) {
        ::ReleaseCapture();
        m_closeButtonState &= ~kPressedMark;
        if (CloseButtonRect().PtInRect(point))
            RequestClose();
        return;
    }
    RECT client;
    GetClientRect(&client);
    if (!m_url.IsEmpty() && PtInRect(&client, point)) {
        ShellExecuteW(nullptr, L"open", m_url, nullptr, nullptr, SW_SHOWNORMAL);
        RequestClose();
        return;
    }
    Default();
}

void CBalloonHelp::OnTimer(UINT_PTR id)
{
    if (id != kTimeoutTimer) {
        Default();
        return;
    }
    KillTimer(kTimeoutTimer);
    RequestClose();
}

void CBalloonHelp::OnClose()
{
    RequestClose();
}

void CBalloonHelp::RequestClose()
{
    if (m_options & unDELAY_CLOSE) {
        m_options &= ~kDelayClearedBits;
        SetTimeout(m_timeout);
        return;
    }
    if (m_options & unDISABLE_FADEOUT)
        ShowWindow(SW_HIDE);
    else
        AnimateWindow(m_hWnd, 200, AW_BLEND | AW_HIDE);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    s_launchedShown = false;
    DestroyWindow(); // may delete this
}

void CBalloonHelp::OnDestroy()
{
    RemoveHooks();
    Default();
}

void CBalloonHelp::RemoveHooks()
{
    for (HHOOK* hook : { &m_mouseHook, &m_keyboardHook, &m_anchorMoveHook }) {
        if (*hook)
            UnhookWindowsHookEx(*hook);
        *hook = nullptr;
    }
}

void CBalloonHelp::PostNcDestroy()
{
    // A balloon whose creation failed is left to its maker.
    if ((m_options & unDELETE_THIS_ON_CLOSE) && m_windowMade) {
        // However the launched balloon's window went (its owner may have taken it along), the
        // next one may show.
        s_launchedShown = false;
        delete this;
    }
}

// ---- hooks

LRESULT CBalloonHelp::KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    CBalloonHelp* balloon = s_current;
    HHOOK hook = balloon ? balloon->m_keyboardHook : nullptr;
    if (balloon && balloon->m_hWnd && code >= 0 && !(static_cast<DWORD>(lParam) & 0x80000000))
        balloon->PostMessage(WM_CLOSE);
    return CallNextHookEx(hook, code, wParam, lParam);
}

LRESULT CBalloonHelp::MouseHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    CBalloonHelp* balloon = s_current;
    HHOOK hook = balloon ? balloon->m_mouseHook : nullptr;
    if (balloon && balloon->m_hWnd && code >= 0) {
        unsigned options = balloon->m_options;
        bool close = false;
        switch (static_cast<UINT>(wParam)) {
        case WM_LBUTTONDOWN:
        case WM_NCLBUTTONDOWN: close = options & unCLOSE_ON_LBUTTON_DOWN; break;
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP: close = options & unCLOSE_ON_LBUTTON_UP; break;
        case WM_MBUTTONDOWN:
        case WM_NCMBUTTONDOWN: close = options & unCLOSE_ON_MBUTTON_DOWN; break;
        case WM_MBUTTONUP:
        case WM_NCMBUTTONUP: close = options & unCLOSE_ON_MBUTTON_UP; break;
        case WM_RBUTTONDOWN:
        case WM_NCRBUTTONDOWN: close = options & unCLOSE_ON_RBUTTON_DOWN; break;
        case WM_RBUTTONUP:
        case WM_NCRBUTTONUP: close = options & unCLOSE_ON_RBUTTON_UP; break;
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            if (options & unCLOSE_ON_MOUSE_MOVE) {
                POINT cursor = reinterpret_cast<MOUSEHOOKSTRUCT*>(lParam)->pt;
                close = std::abs(cursor.x - balloon->m_mouseStart.x) > balloon->m_mouseTolerance
                    || std::abs(cursor.y - balloon->m_mouseStart.y) > balloon->m_mouseTolerance;
            }
            break;
        default: break;
        }
        if (close)
            balloon->PostMessage(WM_CLOSE);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}

LRESULT CBalloonHelp::AnchorMoveHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    CBalloonHelp* balloon = s_current;
    HHOOK hook = balloon ? balloon->m_anchorMoveHook : nullptr;
    if (balloon && balloon->m_hWnd && code >= 0) {
        auto* call = reinterpret_cast<CWPRETSTRUCT*>(lParam);
        if (call->hwnd == balloon->m_anchorWindow && call->message == WM_MOVE)
            balloon->PositionWindow();
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}
