#include "controls/ColorEdit.h"

#include "platform/gdi/SysColors.h"

#include <algorithm>
#include <cstdint>
#include <limits>

CColorControl::CColorControl()
    : m_textColor(RGB(255, 255, 255))
    , m_backColor(::GetSysColor(COLOR_BTNFACE))
    , m_disabledTextColor(::GetSysColor(COLOR_GRAYTEXT))
    , m_disabledBackColor(::GetSysColor(COLOR_BTNFACE))
    , m_hoverTextColor(RGB(0, 0, 0))
    , m_hoverBackColor(::GetSysColor(COLOR_BTNFACE))
{
    m_backBrush.CreateSolidBrush(m_backColor);
    m_hoverBackBrush.CreateSolidBrush(m_hoverBackColor);
    m_disabledBackBrush.CreateSolidBrush(m_disabledBackColor);
}

void CColorControl::SetColors(COLORREF text, COLORREF back, COLORREF hoverText, COLORREF hoverBack)
{
    m_textColor = text;
    m_backColor = back;
    m_hoverTextColor = hoverText;
    m_hoverBackColor = hoverBack;
    m_backBrush.DeleteObject();
    m_backBrush.CreateSolidBrush(back);
    m_hoverBackBrush.DeleteObject();
    m_hoverBackBrush.CreateSolidBrush(hoverBack);
}

void CColorControl::SetDisabledColors(COLORREF text, COLORREF back)
{
    m_disabledTextColor = text;
    m_disabledBackColor = back;
    m_disabledBackBrush.DeleteObject();
    m_disabledBackBrush.CreateSolidBrush(back);
}

void CColorControl::SetBackColor(COLORREF back)
{
    SetColors(m_textColor, back, m_hoverTextColor, m_hoverBackColor);
}

void CColorControl::SetTextColor(COLORREF text)
{
    SetColors(text, m_backColor, m_hoverTextColor, m_hoverBackColor);
}

void CColorControl::SetFont(int pointSize, const CString& face, BOOL bold, BOOL italic)
{
    CFont pointFont;
    // The size may come from the settings as anything: its tenths stop at the ends of the int range.
    const auto tenths = std::clamp<std::int64_t>(std::int64_t { pointSize } * 10, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    if (!pointFont.CreatePointFont(static_cast<int>(tenths), face))
        return;
    LOGFONTW logFont {};
    pointFont.GetLogFont(&logFont);
    if (bold)
        logFont.lfWeight = FW_BOLD;
    if (italic)
        logFont.lfItalic = TRUE;
    auto font = std::make_unique<CFont>();
    if (font->CreateFontIndirect(&logFont))
        m_font = std::move(font);
}

CColorControl::Look CColorControl::LookFor(BOOL enabled, BOOL hovered) const
{
    if (!enabled)
        return { m_disabledTextColor, m_disabledBackColor, static_cast<HBRUSH>(m_disabledBackBrush) };
    if (m_hoverTracking && hovered)
        return { m_hoverTextColor, m_hoverBackColor, static_cast<HBRUSH>(m_hoverBackBrush) };
    return { m_textColor, m_backColor, static_cast<HBRUSH>(m_backBrush) };
}

BEGIN_MESSAGE_MAP(CColorEdit, CWnd)
ON_WM_MOUSEMOVE()
ON_WM_TIMER()
END_MESSAGE_MAP()

void CColorEdit::SetFont(int pointSize, const CString& face, BOOL bold, BOOL italic)
{
    CColorControl::SetFont(pointSize, face, bold, italic);
    if (m_hWnd && Font())
        CWnd::SetFont(Font(), TRUE);
}

BOOL CColorEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC)
        return CWnd::OnChildNotify(message, wParam, lParam, result);
    auto dc = reinterpret_cast<HDC>(wParam);
    Look look = LookFor(IsWindowEnabled(), m_mouseOver);
    ::SetTextColor(dc, look.text);
    ::SetBkColor(dc, look.back);
    if (result)
        *result = reinterpret_cast<LRESULT>(look.brush);
    return TRUE;
}

BOOL CColorEdit::IsMessageInside() const
{
    DWORD position = ::GetMessagePos();
    POINT point { GET_X_LPARAM(position), GET_Y_LPARAM(position) };
    ScreenToClient(&point);
    CRect client;
    GetClientRect(&client);
    return client.PtInRect(point);
}

void CColorEdit::OnMouseMove(UINT flags, CPoint point)
{
    if (m_hoverTracking && IsMessageInside() != m_mouseOver) {
        m_mouseOver = !m_mouseOver;
        Invalidate(TRUE);
        SetTimer(kHoverTimerId, kHoverTimerPeriod);
    }
    Default();
}

void CColorEdit::OnTimer(UINT_PTR id)
{
    if (m_hoverTracking && id == kHoverTimerId && IsMessageInside() != m_mouseOver) {
        m_mouseOver = !m_mouseOver;
        KillTimer(kHoverTimerId);
        Invalidate(TRUE);
    }
    Default();
}
