#include "controls/HtmlStaticCtrl.h"

#include "controls/HtmlMarkup.h"
#include "platform/base/CString.h"
#include "platform/gdi/SysColors.h"
#include "platform/mfc/Dc.h"
#include "platform/user/WinUser.h"

#include <algorithm>
#include <iterator>
#include <string>

LOGFONTW HtmlRunFont(const LOGFONTW& base, const HtmlStyle& style)
{
    LOGFONTW font = base;
    font.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
    font.lfItalic = style.italic;
    font.lfUnderline = style.underline;
    font.lfStrikeOut = style.strike;
    font.lfHeight -= style.size;
    if (!style.face.IsEmpty()) {
        // At most 31 characters, so that the face name stays terminated.
        const size_t count = std::min<size_t>(static_cast<size_t>(style.face.GetLength()), std::size(font.lfFaceName) - 1);
        std::wmemcpy(font.lfFaceName, style.face, count);
        font.lfFaceName[count] = L'\0';
    }
    return font;
}

namespace {

// The words of a text, each with the blanks after it; "\r\n" stands alone as a line end.
std::vector<CString> Words(const CString& text)
{
    std::vector<CString> words;
    CString word;
    int i = 0;
    while (i < text.GetLength()) {
        if (text[i] == L'\r' && i + 1 < text.GetLength() && text[i + 1] == L'\n') {
            if (!word.IsEmpty())
                words.push_back(word);
            words.push_back(L"\r\n");
            word.Empty();
            i += 2;
            continue;
        }
        if (text[i] != L' ' && !word.IsEmpty() && word[word.GetLength() - 1] == L' ') {
            words.push_back(word);
            word.Empty();
        }
        word += text[i++];
    }
    if (!word.IsEmpty())
        words.push_back(word);
    return words;
}

bool IsBlank(const CString& text)
{
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] != L' ' && text[i] != L'\t')
            return false;
    }
    return true;
}

}

std::vector<HtmlLinkArea> LayOutHtml(HDC dc, const std::vector<HtmlRun>& runs, const RECT& rect, const LOGFONTW& base,
    HtmlColours colours, bool draw)
{
    std::vector<HtmlLinkArea> links;
    int x = rect.left, y = rect.top, lineHeight = 0;
    auto newLine = [&](int height) {
        y += lineHeight ? lineHeight : height;
        x = rect.left;
        lineHeight = 0;
    };
    const int oldMode = ::GetBkMode(dc);
    const COLORREF oldText = ::GetTextColor(dc), oldBack = ::GetBkColor(dc);
    for (const HtmlRun& run : runs) {
        if (y >= rect.bottom)
            break;
        const LOGFONTW logFont = HtmlRunFont(base, run.style);
        HFONT font = ::CreateFontIndirectW(&logFont);
        HGDIOBJ oldFont = ::SelectObject(dc, font);
        SIZE sample {};
        ::GetTextExtentPoint32W(dc, L"abcdefgABCDEFG", 14, &sample);
        if (run.lineBreak) {
            newLine(sample.cy);
        } else {
            ::SetTextColor(dc, run.style.link ? colours.link : run.style.colour.value_or(colours.text));
            ::SetBkMode(dc, run.style.background ? OPAQUE : TRANSPARENT);
            if (run.style.background)
                ::SetBkColor(dc, *run.style.background);
            bool linkPieceOnLine = false;
            for (const CString& word : Words(run.text)) {
                if (word == L"\r\n") {
                    newLine(sample.cy);
                    linkPieceOnLine = false;
                    continue;
                }
                SIZE extent {};
                ::GetTextExtentPoint32W(dc, word, word.GetLength(), &extent);
                const int room = static_cast<int>(rect.right - rect.left) - (x - rect.left) - 5;
                if (extent.cx > room && x > rect.left) {
                    newLine(sample.cy);
                    linkPieceOnLine = false;
                }
                if (y >= rect.bottom)
                    break;
                lineHeight = std::max<int>(lineHeight, sample.cy);
                if (draw && !IsBlank(word)) {
                    ::SetTextJustification(dc, 0, 0);
                    ::TextOutW(dc, x, y, word, word.GetLength());
                }
                if (run.style.link) {
                    const RECT piece { x, y, x + extent.cx, y + sample.cy };
                    if (linkPieceOnLine)
                        links.back().rect.right = piece.right;
                    else
                        links.push_back({ piece, *run.style.link });
                    linkPieceOnLine = true;
                }
                x += extent.cx;
            }
        }
        ::SelectObject(dc, oldFont);
        ::DeleteObject(font);
    }
    ::SetBkMode(dc, oldMode);
    ::SetTextColor(dc, oldText);
    ::SetBkColor(dc, oldBack);
    return links;
}

BEGIN_MESSAGE_MAP(CNGHtmlStaticCtrl, CWnd)
ON_WM_CREATE()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_TIMER()
ON_WM_SETCURSOR()
ON_WM_DESTROY()
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

CNGHtmlStaticCtrl::CNGHtmlStaticCtrl()
    : m_linkColour(::GetSysColor(COLOR_WINDOWTEXT))
    , m_handCursor(::LoadCursorW(nullptr, IDC_HAND))
{
}

void CNGHtmlStaticCtrl::Attach()
{
    ModifyStyle(0, SS_NOTIFY);
    m_transparent = (GetExStyle() & WS_EX_TRANSPARENT) != 0;
}

BOOL CNGHtmlStaticCtrl::SubclassWindow(HWND window)
{
    if (!CWnd::SubclassWindow(window))
        return FALSE;
    Attach();
    return TRUE;
}

int CNGHtmlStaticCtrl::OnCreate(LPCREATESTRUCT)
{
    const int result = static_cast<int>(Default());
    if (result != -1)
        Attach();
    return result;
}

COLORREF CNGHtmlStaticCtrl::SetBackColour(COLORREF colour)
{
    return std::exchange(m_backColour, colour);
}

COLORREF CNGHtmlStaticCtrl::SetLinkColour(COLORREF colour)
{
    return std::exchange(m_linkColour, colour);
}

BOOL CNGHtmlStaticCtrl::SetTransparent(BOOL transparent)
{
    return std::exchange(m_transparent, transparent);
}

BOOL CNGHtmlStaticCtrl::OnEraseBkgnd(CDC* dc)
{
    if (m_backColour != kNoColour && !m_transparent) {
        CRect client;
        GetClientRect(&client);
        dc->FillSolidRect(&client, m_backColour);
    }
    return static_cast<BOOL>(Default());
}

void CNGHtmlStaticCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    LOGFONTW base {};
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
    ::GetObjectW(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof base, &base);
    if (m_backColour != kNoColour && !m_transparent)
        dc.FillSolidRect(&client, m_backColour);
    m_links = LayOutHtml(dc.m_hDC, ParseHtmlMarkup(GetWindowText()), client, base,
        { ::GetSysColor(COLOR_WINDOWTEXT), m_linkColour }, true);
    if (!m_links.empty() && !m_timerOn)
        m_timerOn = SetTimer(kHoverTimer, kHoverPeriod) != 0;
}

const HtmlLinkArea* CNGHtmlStaticCtrl::LinkUnderCursor() const
{
    POINT cursor {};
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    for (const HtmlLinkArea& link : m_links) {
        if (::PtInRect(&link.rect, cursor))
            return &link;
    }
    return nullptr;
}

void CNGHtmlStaticCtrl::OnTimer(UINT_PTR id)
{
    if (id != kHoverTimer) {
        Default();
        return;
    }
    if (LinkUnderCursor() && m_handCursor) {
        HCURSOR previous = ::SetCursor(m_handCursor);
        if (!m_savedCursor && previous != m_handCursor)
            m_savedCursor = previous;
        m_overLink = TRUE;
    } else {
        m_overLink = FALSE;
        if (m_savedCursor) {
            ::SetCursor(m_savedCursor);
            m_savedCursor = nullptr;
            RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        }
    }
}

BOOL CNGHtmlStaticCtrl::OnSetCursor(CWnd*, UINT, UINT)
{
    return m_overLink ? TRUE : static_cast<BOOL>(Default());
}

void CNGHtmlStaticCtrl::OnDestroy()
{
    if (m_timerOn)
        KillTimer(kHoverTimer);
    m_timerOn = FALSE;
    Default();
}

LRESULT CNGHtmlStaticCtrl::OnSetText(WPARAM, LPARAM)
{
    Invalidate(TRUE);
    return Default();
}

void CNGHtmlStaticCtrl::OnClicked()
{
    if (const HtmlLinkArea* link = LinkUnderCursor())
        OpenHtmlLink(std::wstring_view(link->target), SW_SHOW);
}
