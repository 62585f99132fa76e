#include "commandbars/Marquee.h"

#include "platform/gdi/MemoryDC.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(SECMarquee, CStatic)

BEGIN_MESSAGE_MAP(SECMarquee, CStatic)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

// Every marquee has a timer id of its own.
UINT_PTR nextTimerId = 100;

} // namespace

SECMarquee::SECMarquee()
    : m_nTimerId(nextTimerId++)
{
}

BOOL SECMarquee::Create(LPCWSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CStatic::Create(L"", style, rect, parent, id))
        return FALSE;
    m_bReady = TRUE;
    SetText(text);
    return TRUE;
}

BOOL SECMarquee::Attach(UINT id, CWnd* parent)
{
    if (!parent || !SubclassDlgItem(id, parent))
        return FALSE;
    m_bReady = TRUE;
    Initialize();
    SetText(GetWindowText());
    return TRUE;
}

int SECMarquee::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    Initialize();
    return 0;
}

void SECMarquee::Initialize()
{
    GetClientRect(&m_rcClient);
    m_nLeft = m_nRight = m_rcClient.right;
}

void SECMarquee::Reset()
{
    if (m_hWnd)
        GetClientRect(&m_rcClient);
    m_strDisplay = L" ";
    m_nLeft = m_nRight = m_rcClient.right;
    m_nNextChar = 0;
    m_nGap = 0;
    m_bWrapped = FALSE;
}

BOOL SECMarquee::StartTimer()
{
    m_bTimerRunning = SetTimer(m_nTimerId, m_nInterval, nullptr) != 0;
    return m_bTimerRunning;
}

BOOL SECMarquee::EnableScrolling(BOOL enable)
{
    if (!m_bReady || !m_hWnd)
        return FALSE;
    enable = enable != FALSE;
    if (enable == m_bScrolling)
        return TRUE;
    m_bScrolling = enable;
    if (m_bTimerRunning) {
        KillTimer(m_nTimerId);
        m_bTimerRunning = FALSE;
    }
    if (!enable)
        return TRUE;
    if (m_bFirstStart) {
        m_bFirstStart = FALSE;
        Reset();
    }
    return StartTimer();
}

BOOL SECMarquee::SetInterval(UINT milliseconds)
{
    if (milliseconds == m_nInterval)
        return TRUE;
    m_nInterval = milliseconds;
    if (!m_bScrolling || !m_hWnd)
        return TRUE;
    KillTimer(m_nTimerId);
    return StartTimer();
}

BOOL SECMarquee::SetGapRatio(float ratio)
{
    if (!(ratio > 0.0f))
        return FALSE;
    m_fGapRatio = ratio;
    return TRUE;
}

void SECMarquee::SetColors(COLORREF text, COLORREF background)
{
    m_crText = text, m_crBackground = background;
    if (m_hWnd)
        Invalidate(FALSE);
}

void SECMarquee::SetText(LPCWSTR text)
{
    m_strText = text ? text : L"";
    m_nNextChar = 0;
    m_nGap = 0;
}

void SECMarquee::SetFont(CFont* font, BOOL redraw)
{
    m_pFont = font;
    Reset();
    if (m_hWnd && redraw)
        Invalidate(FALSE);
}

HFONT SECMarquee::TextFont() const
{
    if (m_pFont && m_pFont->m_hObject)
        return *m_pFont;
    // The dialog's font, as the static it replaces would have had.
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

int SECMarquee::CharWidth(CDC& dc, wchar_t ch)
{
    return dc.GetTextExtent(&ch, 1).cx;
}

void SECMarquee::ScrollStep()
{
    CClientDC dc(this);
    HGDIOBJ oldFont = dc.SelectObject(TextFont());
    m_nLeft -= m_nStep;
    m_nRight -= m_nStep;
    m_nGap = std::max(0, m_nGap - m_nStep);
    const bool inGap = m_nGap > 0;
    const wchar_t next = inGap || m_strText.IsEmpty() ? L' ' : m_strText[m_nNextChar];

    if (m_nRight <= m_rcClient.right) {
        m_strDisplay += next;
        m_nRight += CharWidth(dc, next);
        if (m_bWrapped) {
            m_bWrapped = FALSE;
            OnTextWrap();
        }
        if (!inGap) {
            if (m_nNextChar == 0)
                OnTextStart();
            if (++m_nNextChar >= m_strText.GetLength()) {
                m_nNextChar = 0;
                m_nGap = static_cast<int>(static_cast<float>(m_rcClient.Width()) * m_fGapRatio);
                m_bWrapped = TRUE;
            }
        }
    }
    if (!m_strDisplay.IsEmpty()) {
        const int first = CharWidth(dc, m_strDisplay[0]);
        if (m_nLeft + first < 0) {
            m_nLeft += first;
            m_strDisplay = m_strDisplay.GetLength() == 1 ? CString(L" ") : m_strDisplay.Mid(1);
        }
    }
    dc.SelectObject(oldFont);
    Invalidate(FALSE);
}

void SECMarquee::DrawFrame(CDC* dc, int left, int top, int right, int bottom)
{
    CRect rect(left, top, right, bottom);
    dc->Draw3dRect(&rect, RGB(0, 0, 0), RGB(0xFF, 0xFF, 0xFF));
    rect.DeflateRect(1, 1);
    dc->Draw3dRect(&rect, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNFACE));
}

void SECMarquee::Draw(CDC* dc)
{
    fln::gdi::MemoryDC offscreen(*dc, m_rcClient.Width(), m_rcClient.Height());
    CDC* target = offscreen.valid() ? CDC::FromHandle(offscreen) : dc;
    target->FillSolidRect(&m_rcClient, m_crBackground);
    target->SetBkMode(TRANSPARENT);
    target->SetTextColor(m_crText);
    HGDIOBJ oldFont = target->SelectObject(TextFont());
    CRect text(m_nLeft, m_rcClient.top, std::max(m_nRight, m_rcClient.right), m_rcClient.bottom);
    target->DrawText(m_strDisplay, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    target->SelectObject(oldFont);
    DrawFrame(target, m_rcClient.left, m_rcClient.top, m_rcClient.right, m_rcClient.bottom);
    if (offscreen.valid())
        offscreen.CopyTo(*dc, 0, 0);
}

void SECMarquee::OnPaint()
{
    CPaintDC dc(this);
    if (m_bShown)
        Draw(&dc);
}

void SECMarquee::OnSize(UINT, int, int)
{
    Default();
    GetClientRect(&m_rcClient);
}

void SECMarquee::OnShowWindow(BOOL show, UINT)
{
    Default();
    m_bShown = show;
}

void SECMarquee::OnTimer(UINT_PTR id)
{
    if (id == m_nTimerId)
        ScrollStep();
    else
        Default();
}

void SECMarquee::OnDestroy()
{
    if (m_bTimerRunning)
        KillTimer(m_nTimerId);
    m_bTimerRunning = FALSE;
    m_bScrolling = FALSE;
    Default();
}
