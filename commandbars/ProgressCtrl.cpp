#include "commandbars/ProgressCtrl.h"

#include "platform/gdi/MemoryDC.h"
#include "platform/mfc/Dc.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(SECProgressCtrl, CProgressCtrl)

BEGIN_MESSAGE_MAP(SECProgressCtrl, CProgressCtrl)
    ON_WM_CREATE()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
END_MESSAGE_MAP()

namespace {

// The marquee segment reaches this share of the length to either side of its point.
constexpr float kMarqueeReach = 0.1f;
// At most this many queued paints are dispatched by one pumping call.
constexpr int kMaxPumpedPaints = 64;

} // namespace

BOOL SECProgressCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, DWORD progressStyle)
{
    m_dwProgressStyle = progressStyle;
    return CProgressCtrl::Create(style, rect, parent, id);
}

BOOL SECProgressCtrl::Attach(UINT id, CWnd* parent)
{
    if (!parent || !SubclassDlgItem(id, parent))
        return FALSE;
    return UpdateClientRect();
}

void SECProgressCtrl::SetProgressStyle(DWORD progressStyle)
{
    const bool becomesNative = !IsNative() && (progressStyle & SEC_PROG_NATIVE);
    m_dwProgressStyle = progressStyle;
    if (becomesNative && m_hWnd) {
        Send(PBM_SETRANGE32, static_cast<WPARAM>(m_nLower), m_nUpper);
        Send(PBM_SETPOS, static_cast<WPARAM>(m_nPos));
    }
    if (m_hWnd)
        Invalidate();
}

void SECProgressCtrl::SetRange(int lower, int upper)
{
    m_nLower = lower, m_nUpper = upper;
    if (m_hWnd) {
        Send(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
        Invalidate();
    }
}

int SECProgressCtrl::SetPos(int position, BOOL pump)
{
    const int previous = std::exchange(m_nPos, position);
    if (m_hWnd && IsNative())
        Send(PBM_SETPOS, static_cast<WPARAM>(position));
    Refresh(pump);
    return previous;
}

int SECProgressCtrl::OffsetPos(int delta, BOOL pump)
{
    if (m_hWnd && IsNative())
        Send(PBM_DELTAPOS, static_cast<WPARAM>(delta));
    const int previous = std::exchange(m_nPos, m_nPos + delta);
    Refresh(pump);
    return previous;
}

int SECProgressCtrl::StepIt(BOOL pump)
{
    if (m_hWnd && IsNative())
        Send(PBM_STEPIT);
    const int previous = std::exchange(m_nPos, m_nPos + m_nStep);
    Refresh(pump);
    return previous;
}

int SECProgressCtrl::SetStep(int step)
{
    if (m_hWnd)
        Send(PBM_SETSTEP, static_cast<WPARAM>(step));
    return std::exchange(m_nStep, step);
}

void SECProgressCtrl::SetColors(COLORREF bar, COLORREF background)
{
    m_crBar = bar, m_crBackground = background;
    if (m_hWnd)
        Invalidate();
}

void SECProgressCtrl::SetTextFont(HFONT font, BOOL redraw)
{
    m_hFont = font;
    if (m_hWnd && redraw)
        Invalidate();
}

void SECProgressCtrl::SetText(LPCWSTR text)
{
    m_strText = text ? text : L"";
    if (m_hWnd)
        Invalidate();
}

void SECProgressCtrl::Refresh(BOOL pump)
{
    if (!m_hWnd)
        return;
    Invalidate();
    if (!pump)
        return;
    // The caller may be busy far from the message loop: let the queued paints through now.
    MSG message;
    for (int i = 0; i < kMaxPumpedPaints && ::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

BOOL SECProgressCtrl::StartTimer(UINT interval)
{
    const bool nothingToStep = IsMarquee() ? !m_bMarqueeRunning : m_nPos >= m_nUpper;
    if (nothingToStep || interval == 0) {
        KillTimer(kTimerId);
        return !nothingToStep;
    }
    return SetTimer(kTimerId, interval, nullptr) != 0;
}

BOOL SECProgressCtrl::StartMarquee()
{
    // Running, but the steps come once StartTimer gives the pace.
    m_bMarqueeRunning = TRUE;
    return SetTimer(kTimerId, 0x7FFFFFFF, nullptr) != 0;
}

void SECProgressCtrl::OnTimer(UINT_PTR id)
{
    if (id != kTimerId) {
        Default();
        return;
    }
    StepIt(TRUE);
    if (!IsMarquee()) {
        if (m_nPos >= m_nUpper)
            KillTimer(kTimerId);
    } else if (!m_bMarqueeRunning) {
        KillTimer(kTimerId);
    } else if (m_nPos >= m_nUpper) {
        SetPos(m_nLower, TRUE);
    }
}

float SECProgressCtrl::GetPercent() const
{
    const int low = std::min(m_nLower, m_nUpper), high = std::max(m_nLower, m_nUpper);
    const int position = std::clamp(m_nPos, low, high);
    const int range = m_nUpper == m_nLower ? 1 : m_nUpper - m_nLower;
    return static_cast<float>(position - m_nLower) / static_cast<float>(range) * 100.0f;
}

void SECProgressCtrl::CalcRects(float percent, CRect& bar, CRect& empty) const
{
    const bool vertical = m_dwProgressStyle & SEC_PROG_VERTICAL;
    // Lengths are measured from the edge the bar grows from.
    const bool reversed = vertical ? !(m_dwProgressStyle & SEC_PROG_FROMTOP) : (m_dwProgressStyle & SEC_PROG_FROMRIGHT) != 0;
    const int length = vertical ? m_rcClient.Height() : m_rcClient.Width();
    const float share = std::clamp(percent, 0.0f, 100.0f) / 100.0f;
    int from = 0, to = static_cast<int>(static_cast<float>(length) * share);
    if (IsMarquee()) {
        const int reach = static_cast<int>(static_cast<float>(length) * kMarqueeReach);
        from = std::max(0, to - reach);
        to = std::min(length, to + reach);
    }
    // A span of lengths as a rectangle of the client area.
    auto span = [&](int start, int end) {
        CRect rect = m_rcClient;
        const int origin = vertical ? (reversed ? m_rcClient.bottom : m_rcClient.top) : (reversed ? m_rcClient.right : m_rcClient.left);
        const int a = reversed ? origin - end : origin + start, b = reversed ? origin - start : origin + end;
        (vertical ? rect.top : rect.left) = a;
        (vertical ? rect.bottom : rect.right) = b;
        return rect;
    };
    bar = span(from, to);
    empty = span(to, length);
}

BOOL SECProgressCtrl::UpdateClientRect()
{
    if (!m_hWnd)
        return FALSE;
    GetClientRect(&m_rcClient);
    return TRUE;
}

int SECProgressCtrl::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    return UpdateClientRect() ? 0 : -1;
}

void SECProgressCtrl::OnSize(UINT, int, int)
{
    Default();
    UpdateClientRect();
}

void SECProgressCtrl::OnShowWindow(BOOL show, UINT)
{
    Default();
    m_bShown = show;
}

BOOL SECProgressCtrl::OnEraseBkgnd(CDC*)
{
    return IsNative() ? static_cast<BOOL>(Default()) : TRUE;
}

void SECProgressCtrl::OnPaint()
{
    if (IsNative()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    if (m_bShown)
        Paint(&dc);
}

void SECProgressCtrl::Paint(CDC* dc)
{
    const float percent = GetPercent();
    CRect bar, empty;
    CalcRects(percent, bar, empty);
    DrawProgress(percent, bar, empty, dc);
}

void SECProgressCtrl::DrawProgress(float percent, const CRect& bar, const CRect& empty, CDC* dc)
{
    fln::gdi::MemoryDC offscreen(*dc, m_rcClient.Width(), m_rcClient.Height());
    CDC* target = offscreen.valid() ? CDC::FromHandle(offscreen) : dc;
    // A marquee leaves the part behind its segment out of both rectangles: clear it first.
    if (IsMarquee())
        DrawBackground(target, m_rcClient);
    DrawBackground(target, empty);
    DrawBar(target, bar);
    DrawText(target, percent, empty, bar);
    if (offscreen.valid())
        offscreen.CopyTo(*dc, 0, 0);
}

void SECProgressCtrl::DrawBar(CDC* dc, const CRect& rect)
{
    CBrush brush(m_crBar);
    dc->FillRect(&rect, &brush);
}

void SECProgressCtrl::DrawBackground(CDC* dc, const CRect& rect)
{
    CBrush brush(m_crBackground);
    dc->FillRect(&rect, &brush);
}

void SECProgressCtrl::DrawText(CDC* dc, float percent, const CRect& empty, const CRect& bar)
{
    CString text;
    if (m_dwProgressStyle & SEC_PROG_SHOWPERCENT)
        text.Format(L"%d %%", std::min(100, static_cast<int>(percent + 0.5f)));
    else if (m_dwProgressStyle & SEC_PROG_SHOWTEXT)
        text = m_strText;
    if (text.IsEmpty())
        return;
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    format |= (m_dwProgressStyle & SEC_PROG_TEXTLEFT) ? DT_LEFT : (m_dwProgressStyle & SEC_PROG_TEXTRIGHT) ? DT_RIGHT : DT_CENTER;
    const int saved = dc->SaveDC();
    dc->SelectObject(m_hFont ? static_cast<HGDIOBJ>(m_hFont) : ::GetStockObject(DEFAULT_GUI_FONT));
    dc->SetBkMode(TRANSPARENT);
    // Each part shows the text in the other part's colour.
    auto drawClipped = [&](const CRect& part, const CRect* excluded, COLORREF colour) {
        const int clipped = dc->SaveDC();
        dc->IntersectClipRect(&part);
        if (excluded)
            dc->ExcludeClipRect(excluded);
        dc->SetTextColor(colour);
        CRect area = m_rcClient;
        dc->DrawText(text, &area, format);
        dc->RestoreDC(clipped);
    };
    drawClipped(bar, nullptr, m_crBackground);
    drawClipped(empty, &bar, m_crBar);
    dc->RestoreDC(saved);
}
