#include "commandbars/CustomStatusBar.h"

#include "platform/gdi/MemoryDC.h"
#include "platform/mfc/Dc.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(SECCustomStatusBar, SECStatusBar)

BEGIN_MESSAGE_MAP(SECCustomStatusBar, SECStatusBar)
    ON_WM_SETCURSOR()
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

namespace {

constexpr UINT kProgressId = 1;
constexpr int kMaxParts = 32;
// The pane members SetPaneInfoEx records per pane.
constexpr UINT kCustomMembers = SBP_TEXTALIGN | SBP_FOREGROUND | SBP_BACKGROUND | SBP_BITMAP | SBP_CURSOR;

CSize BitmapSize(CBitmap* bitmap)
{
    BITMAP info {};
    if (!bitmap || !bitmap->GetBitmap(&info))
        return CSize(0, 0);
    return CSize(info.bmWidth, info.bmHeight);
}

} // namespace

SECPaneInfo::SECPaneInfo()
    : crTextForeground(::GetSysColor(COLOR_WINDOWTEXT))
    , crTextBackground(::GetSysColor(COLOR_WINDOW))
{
}

SECCustomStatusBar::SECCustomStatusBar() = default;

SECCustomStatusBar::~SECCustomStatusBar() = default;

BOOL SECCustomStatusBar::SetIndicators(const UINT* ids, int count)
{
    if (!SECStatusBar::SetIndicators(ids, count))
        return FALSE;
    m_custom.assign(static_cast<size_t>(GetCount()), CustomPane { ::GetSysColor(COLOR_WINDOWTEXT), ::GetSysColor(COLOR_WINDOW) });
    // Every pane is drawn here from now on.
    for (int i = 0; i < GetCount(); ++i) {
        const UINT style = GetPaneStyle(i);
        ::SendMessageW(m_hWnd, SB_SETTEXTW, static_cast<UINT>(i) | LOWORD(style) | SBT_OWNERDRAW, 0);
    }
    return TRUE;
}

void SECCustomStatusBar::SetPaneInfoEx(const SECPaneInfo& info, BOOL fitBitmap)
{
    const int index = info.iIndex;
    if (!IsValidPane(index))
        return;
    UINT id = 0, style = 0;
    int width = 0;
    GetPaneInfo(index, id, style, width);
    const int oldWidth = width;
    const CSize bitmapSize = (info.nMask & SBP_BITMAP) ? BitmapSize(info.pBitmap) : CSize(0, 0);
    if (info.nMask & SBP_ID)
        id = info.nID;
    if (info.nMask & SBP_STYLE)
        style = info.nStyle;
    if (info.nMask & SBP_WIDTH)
        width = info.cxWidth;
    else if (fitBitmap && bitmapSize.cx > 0)
        width = bitmapSize.cx;
    SetPaneInfo(index, id, style | SBT_OWNERDRAW, width);
    if (info.nMask & SBP_TEXT)
        SetPaneText(index, info.strText, FALSE);

    CustomPane& pane = m_custom[static_cast<size_t>(index)];
    if (info.nMask & SBP_TEXTALIGN)
        pane.align = info.nTextAlign;
    if (info.nMask & SBP_FOREGROUND)
        pane.foreground = info.crTextForeground;
    if (info.nMask & SBP_BACKGROUND)
        pane.background = info.crTextBackground;
    if (info.nMask & SBP_BITMAP)
        pane.bitmap = info.pBitmap;
    if (info.nMask & SBP_CURSOR)
        pane.cursor = info.hCursor;
    pane.mask = info.nMask & kCustomMembers;

    if (fitBitmap && bitmapSize.cy >= 1) {
        SendMessage(SB_SETMINHEIGHT, static_cast<WPARAM>(bitmapSize.cy + 2));
        ResizeParentFrame();
    }
    if (width != oldWidth)
        RepositionPaneWindows();
    const CRect rect = GetPaneRect(index);
    InvalidateRect(&rect);
}

void SECCustomStatusBar::GetPaneInfoEx(SECPaneInfo& info) const
{
    const int index = info.iIndex;
    if (!IsValidPane(index))
        return;
    UINT id = 0, style = 0;
    int width = 0;
    GetPaneInfo(index, id, style, width);
    const CustomPane& pane = m_custom[static_cast<size_t>(index)];
    if (info.nMask & SBP_ID)
        info.nID = id;
    if (info.nMask & SBP_STYLE)
        info.nStyle = style;
    if (info.nMask & SBP_WIDTH)
        info.cxWidth = width;
    if (info.nMask & SBP_TEXT)
        info.strText = GetPaneText(index);
    if (info.nMask & SBP_TEXTALIGN)
        info.nTextAlign = pane.align;
    if (info.nMask & SBP_FOREGROUND)
        info.crTextForeground = pane.foreground;
    if (info.nMask & SBP_BACKGROUND)
        info.crTextBackground = pane.background;
    if (info.nMask & SBP_BITMAP)
        info.pBitmap = pane.bitmap;
    if (info.nMask & SBP_CURSOR)
        info.hCursor = pane.cursor;
}

CRect SECCustomStatusBar::GetPaneRect(int index) const
{
    int edges[kMaxParts] {};
    const int parts = static_cast<int>(::SendMessageW(m_hWnd, SB_GETPARTS, kMaxParts, reinterpret_cast<LPARAM>(edges)));
    if (parts <= 0 || index < 0 || index >= std::min(parts, kMaxParts))
        return CRect();
    const Borders borders = GetBorders();
    CRect client;
    GetClientRect(&client);
    CRect rect;
    rect.left = index == 0 ? borders.horizontal : edges[index - 1] + borders.gap;
    rect.right = edges[index] == -1 ? client.right - borders.horizontal : edges[index];
    rect.top = borders.vertical;
    rect.bottom = std::max(rect.top, client.bottom - borders.vertical + 1);
    return rect;
}

int SECCustomStatusBar::PaneFromPoint(CPoint point) const
{
    for (int i = 0; i < GetCount(); ++i) {
        if (GetPaneRect(i).PtInRect(point))
            return i;
    }
    return -1;
}

void SECCustomStatusBar::SetPaneWindow(int index, CWnd* window, UINT flags)
{
    if (!IsValidPane(index))
        return;
    CustomPane& pane = m_custom[static_cast<size_t>(index)];
    pane.window = window;
    pane.windowFlags = flags;
    RepositionPaneWindows();
}

CWnd* SECCustomStatusBar::GetPaneWindow(int index) const
{
    return IsValidPane(index) ? m_custom[static_cast<size_t>(index)].window : nullptr;
}

void SECCustomStatusBar::ShowPaneWindows(BOOL show)
{
    for (const CustomPane& pane : m_custom) {
        if (pane.window && pane.window->m_hWnd)
            pane.window->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
    }
}

void SECCustomStatusBar::RepositionPaneWindows()
{
    for (size_t i = 0; i < m_custom.size(); ++i) {
        const CustomPane& pane = m_custom[i];
        if (!pane.window || !pane.window->m_hWnd)
            continue;
        CRect rect;
        GetItemRect(static_cast<int>(i), &rect);
        CRect own;
        pane.window->GetWindowRect(&own);
        const bool inset = pane.windowFlags & SBP_INSET;
        if (pane.windowFlags & SBP_KEEPWIDTH)
            rect.right = rect.left + own.Width();
        else if (inset)
            rect.DeflateRect(1, 0);
        if (pane.windowFlags & SBP_KEEPHEIGHT)
            rect.bottom = rect.top + own.Height();
        else if (inset)
            rect.DeflateRect(0, 1);
        pane.window->SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void SECCustomStatusBar::ShowProgress(LPCWSTR text, int lower, int upper, BOOL pumpMessages, DWORD progressStyle, int step)
{
    if (!m_hWnd)
        return;
    if (!m_pProgress) {
        auto progress = std::make_unique<SECProgressCtrl>();
        if (!progress->Create(WS_CHILD, CRect(), this, kProgressId, progressStyle))
            return;
        m_pProgress = std::move(progress);
        m_pProgress->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    } else {
        m_pProgress->SetProgressStyle(progressStyle);
    }
    if (step != 10)
        m_pProgress->SetStep(step);
    ShowPaneWindows(FALSE);

    CRect client;
    GetClientRect(&client);
    int left = client.left;
    if (text && *text && GetCount() > 0) {
        if (!m_pSavedPane) {
            m_pSavedPane = std::make_unique<SECPaneInfo>();
            // The pane's colours, bitmap and cursor too, or they would be lost when it comes back.
            m_pSavedPane->nMask = SBP_ID | SBP_STYLE | SBP_WIDTH | SBP_TEXT | SBP_TEXTALIGN | m_custom.front().mask;
            GetPaneInfoEx(*m_pSavedPane);
        }
        const CustomPane& first = m_custom.front();
        CClientDC dc(this);
        HGDIOBJ oldFont = dc.SelectObject(BarFont());
        const int textWidth = dc.GetTextExtent(CString(text) + L" ").cx;
        dc.SelectObject(oldFont);

        SECPaneInfo pane;
        pane.iIndex = 0;
        pane.nMask = SBP_STYLE | SBP_WIDTH | SBP_TEXT | SBP_TEXTALIGN | SBP_FOREGROUND | SBP_BACKGROUND;
        pane.nStyle = SBPS_NOBORDERS;
        pane.cxWidth = textWidth;
        pane.strText = text;
        pane.nTextAlign = TA_LEFT;
        pane.crTextForeground = first.foreground;
        pane.crTextBackground = first.background;
        // Only the members that were set before stay set.
        pane.nMask &= ~((SBP_FOREGROUND | SBP_BACKGROUND) & ~first.mask);
        SetPaneInfoEx(pane);
        const Borders borders = GetBorders();
        left = client.left + textWidth + 2 * (borders.horizontal + borders.gap) + 1;
    }
    m_pProgress->SetWindowPos(nullptr, left, client.top, std::max<LONG>(0, client.right - left), client.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    m_pProgress->SetRange(lower, upper);
    if (pumpMessages)
        m_pProgress->SetPos(lower, TRUE);
}

void SECCustomStatusBar::HideProgress()
{
    DestroyProgress();
    if (m_pSavedPane) {
        SECPaneInfo saved = *m_pSavedPane;
        m_pSavedPane.reset();
        SetPaneInfoEx(saved);
        UpdateAllPanes(FALSE, TRUE);
    }
    ShowPaneWindows(TRUE);
    Invalidate();
}

void SECCustomStatusBar::DestroyProgress()
{
    if (m_pProgress && m_pProgress->m_hWnd)
        m_pProgress->DestroyWindow();
    m_pProgress.reset();
}

void SECCustomStatusBar::DrawItem(LPDRAWITEMSTRUCT item)
{
    const int index = static_cast<int>(item->itemID);
    if (!IsValidPane(index) || (m_pProgress && index != 0) || (GetPaneStyle(index) & SBPS_DISABLED))
        return;
    const CustomPane& pane = m_custom[static_cast<size_t>(index)];
    CDC* dc = CDC::FromHandle(item->hDC);
    const CRect rect(item->rcItem);
    const int saved = dc->SaveDC();
    if ((pane.mask & SBP_BITMAP) && pane.bitmap) {
        fln::gdi::MemoryDC memory(*dc, *pane.bitmap);
        if (memory.valid()) {
            const CSize size = BitmapSize(pane.bitmap);
            dc->IntersectClipRect(&rect);
            ::BitBlt(*dc, rect.left, rect.top, size.cx, size.cy, memory, 0, 0, SRCCOPY);
        }
        dc->RestoreDC(saved);
        return;
    }
    dc->SetBkMode(TRANSPARENT);
    UINT options = ETO_CLIPPED;
    if (pane.mask & SBP_FOREGROUND)
        dc->SetTextColor(pane.foreground);
    if (pane.mask & SBP_BACKGROUND) {
        dc->SetBkColor(pane.background);
        options |= ETO_OPAQUE;
    }
    const UINT align = pane.mask & SBP_TEXTALIGN ? pane.align : TA_LEFT;
    const int x = align == TA_RIGHT ? rect.right - 1 : align == TA_CENTER ? rect.CenterPoint().x : rect.left + 1;
    TEXTMETRICW metrics {};
    dc->GetTextMetrics(&metrics);
    dc->SetTextAlign(align);
    dc->ExtTextOut(x, rect.top + (rect.Height() - metrics.tmHeight) / 2, options, &rect, GetPaneText(index), nullptr);
    dc->RestoreDC(saved);
}

BOOL SECCustomStatusBar::OnSetCursor(CWnd*, UINT hitTest, UINT)
{
    if (hitTest == HTCLIENT) {
        // Where the mouse is now: the message that moved it may not have been fetched yet.
        CPoint point;
        ::GetCursorPos(&point);
        ScreenToClient(&point);
        const int index = PaneFromPoint(point);
        if (IsValidPane(index) && (m_custom[static_cast<size_t>(index)].mask & SBP_CURSOR)) {
            ::SetCursor(m_custom[static_cast<size_t>(index)].cursor);
            return TRUE;
        }
    }
    return static_cast<BOOL>(Default());
}

LRESULT SECCustomStatusBar::OnSetFont(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    ResizeParentFrame();
    return result;
}

LRESULT SECCustomStatusBar::OnIdleUpdateCmdUI(WPARAM disableIfNoHandler, LPARAM)
{
    SECStatusBar::OnIdleUpdateCmdUI(disableIfNoHandler, 0);
    if (!m_pProgress || !m_pProgress->m_hWnd) {
        RepositionPaneWindows();
        return 0;
    }
    CRect client, progress;
    GetClientRect(&client);
    m_pProgress->GetWindowRect(&progress);
    ScreenToClient(&progress);
    if (progress.right != client.right)
        m_pProgress->SetWindowPos(nullptr, 0, 0, std::max<LONG>(0, client.right - progress.left), progress.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT SECCustomStatusBar::OnSetText(WPARAM wParam, LPARAM text)
{
    if (m_pProgress)
        return 0;
    return SECStatusBar::OnSetText(wParam, text);
}
