#include "controls/Label.h"

#include "platform/gdi/MemoryDC.h"
#include "platform/gdi/SysColors.h"
#include "platform/sys/Shell.h"

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <optional>

std::vector<GradientBand> GradientBands(const RECT& rect, COLORREF from, COLORREF to, int bandLimit)
{
    const int width = rect.right - rect.left;
    const int n = std::min(bandLimit, width);
    std::vector<GradientBand> bands;
    if (n < 1)
        return bands;
    int red = GetRValue(from) * 256, green = GetGValue(from) * 256, blue = GetBValue(from) * 256;
    const int redStep = (GetRValue(to) - GetRValue(from)) * 256 / n;
    const int greenStep = (GetGValue(to) - GetGValue(from)) * 256 / n;
    const int blueStep = (GetBValue(to) - GetBValue(from)) * 256 / n;
    const int bandWidth = width / n;
    bands.reserve(n);
    for (int i = 0; i < n; ++i) {
        const int left = rect.left + i * bandWidth;
        const int right = i == n - 1 ? rect.right : left + bandWidth;
        bands.push_back({ { left, rect.top, right + 1, rect.bottom },
            RGB(static_cast<BYTE>(red / 256), static_cast<BYTE>(green / 256), static_cast<BYTE>(blue / 256)) });
        red += redStep;
        green += greenStep;
        blue += blueStep;
    }
    return bands;
}

UINT LabelTextFormat(DWORD style, const CString& text)
{
    if (style & SS_CENTERIMAGE)
        return text.Find(L"\r\n") < 0 ? DT_CENTER | DT_VCENTER | DT_SINGLELINE : DT_CENTER;
    UINT format;
    switch (style & 0x1F) {
    case SS_CENTER: format = DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format = DT_RIGHT | DT_WORDBREAK; break;
    case SS_LEFTNOWORDWRAP: format = DT_LEFT; break;
    default: format = DT_WORDBREAK; break;
    }
    if (text.Find(L'\t') >= 0)
        format |= DT_EXPANDTABS;
    return format;
}

BEGIN_MESSAGE_MAP(CLabel, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_TIMER()
ON_WM_SETCURSOR()
ON_WM_SYSCOLORCHANGE()
ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CLabel::CLabel()
    : m_textColor(::GetSysColor(COLOR_WINDOWTEXT))
{
    m_systemBackBrush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
}

CLabel::~CLabel()
{
    if (m_hWnd && m_blinkTimerRunning)
        KillTimer(kBlinkTimer);
}

BOOL CLabel::SubclassWindow(HWND window)
{
    if (!CWnd::SubclassWindow(window))
        return FALSE;
    AdoptWindowFont();
    return TRUE;
}

// The logical font starts as the window's own font, or the system font when it has none.
void CLabel::AdoptWindowFont()
{
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
    if (!font)
        font = ::GetStockObject(SYSTEM_FONT);
    ::GetObjectW(font, sizeof m_logFont, &m_logFont);
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_logFont);
    m_fontAdopted = TRUE;
}

LOGFONTW& CLabel::EditableFont()
{
    if (!m_fontAdopted && m_hWnd)
        AdoptWindowFont();
    return m_logFont;
}

void CLabel::RemakeFont()
{
    m_font.DeleteObject();
    m_font.CreateFontIndirect(&m_logFont);
    Redraw();
}

void CLabel::Redraw()
{
    // A label that still waits for its paint had the part of its parent beneath it invalidated
    // with it: the later setters of one change add nothing.
    if (!m_hWnd || ::GetUpdateRect(m_hWnd, nullptr, FALSE))
        return;
    Invalidate(TRUE);
    CWnd* parent = GetParent();
    if (!parent || !parent->m_hWnd)
        return;
    CRect area;
    GetWindowRect(&area);
    parent->ScreenToClient(&area);
    parent->InvalidateRect(&area, TRUE);
}

CLabel& CLabel::SetBkColor(COLORREF colour, COLORREF secondColour, int mode)
{
    m_backColor = colour;
    m_secondBackColor = secondColour;
    m_backgroundMode = mode;
    m_ownBackBrush.DeleteObject();
    if (mode == 0)
        m_ownBackBrush.CreateSolidBrush(colour);
    Redraw();
    return *this;
}

CLabel& CLabel::SetTextColor(COLORREF colour)
{
    m_textColor = colour;
    Redraw();
    return *this;
}

CLabel& CLabel::SetText(const CString& text)
{
    if (m_hWnd)
        SetWindowText(text);
    Redraw();
    return *this;
}

CLabel& CLabel::SetFontBold(BOOL bold)
{
    EditableFont().lfWeight = bold ? FW_BOLD : FW_NORMAL;
    RemakeFont();
    return *this;
}

CLabel& CLabel::SetFontName(const CString& face, BYTE charSet)
{
    wcsncpy(EditableFont().lfFaceName, face, std::size(m_logFont.lfFaceName) - 1);
    m_logFont.lfFaceName[std::size(m_logFont.lfFaceName) - 1] = L'\0';
    m_logFont.lfCharSet = charSet;
    RemakeFont();
    return *this;
}

CLabel& CLabel::SetFontUnderline(BOOL underline)
{
    EditableFont().lfUnderline = underline ? 1 : 0;
    RemakeFont();
    return *this;
}

CLabel& CLabel::SetFontItalic(BOOL italic)
{
    EditableFont().lfItalic = italic ? 1 : 0;
    RemakeFont();
    return *this;
}

CLabel& CLabel::SetFontSize(int points)
{
    CFont pointFont;
    if (pointFont.CreatePointFont(points * 10, EditableFont().lfFaceName)) {
        LOGFONTW sized {};
        pointFont.GetLogFont(&sized);
        m_logFont.lfHeight = sized.lfHeight;
        m_logFont.lfWidth = sized.lfWidth;
    }
    RemakeFont();
    return *this;
}

CLabel& CLabel::SetSunken(BOOL sunken)
{
    if (sunken)
        ModifyStyleEx(0, WS_EX_STATICEDGE, SWP_FRAMECHANGED);
    else
        ModifyStyleEx(WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
    return *this;
}

CLabel& CLabel::SetBorder(BOOL border)
{
    if (border)
        ModifyStyle(0, WS_BORDER, SWP_FRAMECHANGED);
    else
        ModifyStyle(WS_BORDER, 0, SWP_FRAMECHANGED);
    return *this;
}

CLabel& CLabel::SetTransparent(BOOL transparent)
{
    m_transparent = transparent;
    if (transparent)
        ModifyStyleEx(0, WS_EX_TRANSPARENT);
    else
        ModifyStyleEx(WS_EX_TRANSPARENT, 0);
    Redraw();
    return *this;
}

void CLabel::StopBlinking()
{
    if (m_blinkTimerRunning && m_hWnd)
        KillTimer(kBlinkTimer);
    m_blinkTimerRunning = FALSE;
}

void CLabel::StartBlinking(int mode)
{
    m_blinkState = FALSE;
    if (m_hWnd)
        m_blinkTimerRunning = SetTimer(kBlinkTimer, kBlinkPeriod) != 0;
    m_blinkMode = mode;
}

CLabel& CLabel::FlashText(BOOL flash)
{
    StopBlinking();
    if (flash)
        StartBlinking(BlinkText);
    else
        m_blinkMode = BlinkNone;
    Redraw();
    return *this;
}

CLabel& CLabel::FlashBackground(BOOL flash)
{
    StopBlinking();
    if (flash)
        StartBlinking(BlinkBackground);
    else
        m_blinkMode = BlinkNone;
    Redraw();
    return *this;
}

void CLabel::SetLinkMode(int mode, BOOL link, BOOL notifyParent)
{
    m_linkMode = link ? mode : LinkNone;
    m_notifyParent = notifyParent;
    if (!m_hWnd)
        return;
    if (link)
        ModifyStyle(0, SS_NOTIFY);
    else
        ModifyStyle(SS_NOTIFY, 0);
}

CLabel& CLabel::SetLink(BOOL link, BOOL notifyParent)
{
    SetLinkMode(LinkHyper, link, notifyParent);
    return *this;
}

CLabel& CLabel::SetMailLink(BOOL link, BOOL notifyParent)
{
    SetLinkMode(LinkMail, link, notifyParent);
    return *this;
}

CLabel& CLabel::SetLinkCursor(HCURSOR cursor)
{
    m_linkCursor = cursor;
    return *this;
}

CLabel& CLabel::SetText3D(BOOL on, BOOL offsetDownRight)
{
    m_text3D = on;
    m_text3DDownRight = offsetDownRight;
    Redraw();
    return *this;
}

CLabel& CLabel::SetRotation(int degrees, BOOL rotated)
{
    EditableFont().lfEscapement = degrees * 10;
    m_logFont.lfOrientation = degrees * 10;
    m_rotated = rotated;
    RemakeFont();
    return *this;
}

CLabel& CLabel::SetText3DColor(COLORREF colour)
{
    m_text3DColor = colour;
    Redraw();
    return *this;
}

CLabel& CLabel::SetFont(LOGFONTW font)
{
    m_logFont = font;
    m_fontAdopted = TRUE;
    m_logFont.lfFaceName[std::size(m_logFont.lfFaceName) - 1] = L'\0';
    RemakeFont();
    return *this;
}

CLabel& CLabel::SetLinkUrl(const CString& url)
{
    m_linkUrl = url;
    return *this;
}

void CLabel::PaintBackground(CDC& dc, const CRect& client)
{
    if (m_blinkMode == BlinkBackground && !m_blinkState) {
        // The background blinks between its own look and the plain face colour.
        dc.FillRect(&client, &m_systemBackBrush);
        return;
    }
    if (m_backgroundMode != 0) {
        HGDIOBJ oldPen = dc.SelectObject(::GetStockObject(NULL_PEN));
        for (const GradientBand& band : GradientBands(client, m_backColor, m_secondBackColor)) {
            CBrush brush(band.colour);
            ::FillRect(dc.m_hDC, &band.rect, brush);
        }
        dc.SelectObject(oldPen);
        return;
    }
    dc.FillRect(&client, m_ownBackBrush.m_hObject ? &m_ownBackBrush : &m_systemBackBrush);
}

void CLabel::PaintText(CDC& dc, const CRect& client, const CString& text)
{
    if (m_rotated) {
        UINT oldAlign = dc.SetTextAlign(TA_CENTER | TA_BASELINE);
        CPoint oldOrigin = dc.SetViewportOrg(client.left + client.Width() / 2, client.top + client.Height() / 2);
        dc.TextOut(0, 0, text);
        dc.SetViewportOrg(oldOrigin.x, oldOrigin.y);
        dc.SetTextAlign(oldAlign);
        return;
    }
    const UINT format = LabelTextFormat(GetStyle(), text);
    CRect rect = client;
    dc.DrawText(text, &rect, format);
    if (m_text3D) {
        const int offset = m_text3DDownRight ? 1 : -1;
        CRect second = client;
        second.OffsetRect(offset, offset);
        COLORREF old = dc.SetTextColor(m_text3DColor);
        dc.DrawText(text, &second, format);
        dc.SetTextColor(old);
    }
}

void CLabel::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CString text = GetWindowText();
    if (!m_fontAdopted)
        AdoptWindowFont();

    std::optional<fln::gdi::MemoryDC> offscreen;
    if (!m_transparent)
        offscreen.emplace(paint, client.Width(), client.Height());
    const bool drawsOffscreen = offscreen && offscreen->valid();
    CDC* dc = drawsOffscreen ? CDC::FromHandle(*offscreen) : &paint;

    int oldMode = dc->SetBkMode(TRANSPARENT);
    COLORREF textColor = m_textColor;
    if (m_blinkMode == BlinkText && !m_blinkState) {
        LOGBRUSH brush {};
        if (m_ownBackBrush.m_hObject)
            m_ownBackBrush.GetObject(sizeof brush, &brush);
        textColor = m_ownBackBrush.m_hObject ? brush.lbColor : RGB(0, 0, 0);
    }
    COLORREF oldColor = dc->SetTextColor(textColor);
    CFont* oldFont = dc->SelectObject(&m_font);

    if (!m_transparent)
        PaintBackground(*dc, client);
    PaintText(*dc, client, text);

    dc->SelectObject(oldFont);
    dc->SetTextColor(oldColor);
    dc->SetBkMode(oldMode);
    if (drawsOffscreen)
        offscreen->CopyTo(paint, 0, 0);
}

void CLabel::OnTimer(UINT_PTR id)
{
    if (id != kBlinkTimer) {
        Default();
        return;
    }
    m_blinkState = !m_blinkState;
    Redraw();
}

BOOL CLabel::OnSetCursor(CWnd*, UINT, UINT)
{
    if (!m_linkCursor)
        return static_cast<BOOL>(Default());
    ::SetCursor(m_linkCursor);
    return TRUE;
}

void CLabel::OnSysColorChange()
{
    m_systemBackBrush.DeleteObject();
    m_systemBackBrush.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    Default();
}

void CLabel::OnLButtonDown(UINT, CPoint)
{
    if (m_notifyParent) {
        NMHDR header { m_hWnd, static_cast<UINT_PTR>(GetDlgCtrlID()), NM_LINKCLICK };
        if (CWnd* parent = GetParent())
            parent->SendMessage(WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID()), reinterpret_cast<LPARAM>(&header));
    } else if (m_linkMode == LinkHyper) {
        CString target = m_linkUrl.IsEmpty() ? GetWindowText() : m_linkUrl;
        ::ShellExecuteW(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
    } else if (m_linkMode == LinkMail) {
        CString target = L"mailto:" + GetWindowText();
        ::ShellExecuteW(nullptr, nullptr, target, nullptr, nullptr, SW_SHOWNORMAL);
    }
    Default();
}
