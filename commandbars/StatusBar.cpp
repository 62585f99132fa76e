#include "commandbars/StatusBar.h"

#include "platform/gdi/MemoryDC.h"
#include "platform/mfc/Dc.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(SECStatusBar, SECControlBar)

BEGIN_MESSAGE_MAP(SECStatusBar, SECControlBar)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_NCHITTEST()
    ON_WM_NCCALCSIZE()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
    ON_MESSAGE(SB_SETMINHEIGHT, OnSetMinHeight)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

namespace {

// A pane's part is this much wider than its text.
constexpr int kPaneMargin = 6;
// The bar styles a status bar keeps, and the window-style bits it replaces by its own.
constexpr DWORD kBarStyleBits = 0x0040FFFF, kReplacedWindowBits = 0x0040FFB1;
constexpr DWORD kControlBits = CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;

// The update handlers' view of a pane.
class StatusCmdUI : public CCmdUI {
public:
    explicit StatusCmdUI(SECStatusBar& bar) : m_bar(bar) { m_pOther = &bar; }

    void Enable(BOOL on) override
    {
        m_bEnableChanged = TRUE;
        const UINT style = m_bar.GetPaneStyle(static_cast<int>(m_nIndex));
        m_bar.SetPaneStyle(static_cast<int>(m_nIndex), on ? style & ~SBPS_DISABLED : style | SBPS_DISABLED);
    }
    void SetCheck(int check) override
    {
        const UINT style = m_bar.GetPaneStyle(static_cast<int>(m_nIndex));
        m_bar.SetPaneStyle(static_cast<int>(m_nIndex), check ? style | SBPS_POPOUT : style & ~SBPS_POPOUT);
    }
    void SetText(LPCWSTR text) override { m_bar.SetPaneText(static_cast<int>(m_nIndex), text); }

private:
    SECStatusBar& m_bar;
};

} // namespace

std::vector<int> LayOutPaneEdges(int insideLeft, int insideWidth, int gap, const std::vector<std::pair<int, UINT>>& panes)
{
    int free = insideWidth + gap;
    int stretching = 0;
    for (const auto& [width, style] : panes) {
        free -= width + kPaneMargin + gap;
        stretching += (style & SBPS_STRETCH) != 0;
    }
    std::vector<int> edges;
    int right = insideLeft - gap;
    for (const auto& [width, style] : panes) {
        right += gap + width + kPaneMargin;
        if ((style & SBPS_STRETCH) && free > 0) {
            const int share = free / stretching;
            right += share;
            free -= share;
        }
        stretching -= (style & SBPS_STRETCH) != 0;
        edges.push_back(right);
    }
    return edges;
}

SECStatusBar::SECStatusBar()
{
    // No side borders; the top border is the room the control keeps above its panes.
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = 2;
    m_cyBottomBorder = 0;
}

BOOL SECStatusBar::Create(CWnd* parent, DWORD style, UINT id)
{
    return CreateEx(parent, 0, style, id);
}

BOOL SECStatusBar::CreateEx(CWnd* parent, DWORD controlStyle, DWORD style, UINT id)
{
    if (!parent || m_hWnd)
        return FALSE;
    m_dwStyle = style & kBarStyleBits;
    // The usual bottom bar with a top border: the control's own look already separates it.
    if ((m_dwStyle & (CBRS_ALIGN_ANY | CBRS_BORDER_ANY)) == (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP))
        m_dwStyle &= ~CBRS_BORDER_ANY;
    DWORD windowStyle = (style & ~kReplacedWindowBits) | kControlBits | WS_CLIPSIBLINGS | controlStyle;
    if (parent->GetStyle() & WS_THICKFRAME)
        windowStyle |= SBARS_SIZEGRIP;
    INITCOMMONCONTROLSEX classes { sizeof classes, ICC_BAR_CLASSES };
    if (!InitCommonControlsEx(&classes))
        return FALSE;
    if (!CWnd::CreateEx(0, STATUSCLASSNAMEW, nullptr, windowStyle, CRect(), parent, id))
        return FALSE;
    m_pDockSite = dynamic_cast<CFrameWnd*>(parent);
    if (m_pDockSite)
        m_pDockSite->AddControlBar(this);
    return TRUE;
}

HFONT SECStatusBar::BarFont() const
{
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0));
    return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

BOOL SECStatusBar::SetIndicators(const UINT* ids, int count)
{
    m_panes.assign(ids ? static_cast<size_t>(std::max(count, 0)) : 0, Pane {});
    if (!m_panes.empty()) {
        CClientDC screen(nullptr);
        HGDIOBJ oldFont = screen.SelectObject(BarFont());
        for (size_t i = 0; i < m_panes.size(); ++i) {
            Pane& pane = m_panes[i];
            pane.id = ids[i];
            if (pane.id != ID_SEPARATOR) {
                CString text;
                text.LoadString(pane.id);
                pane.width = screen.GetTextExtent(text).cx;
                pane.text = text;
            } else {
                pane.width = ::GetSystemMetrics(SM_CXSCREEN) / 4;
                if (i == 0)
                    pane.style |= SBPS_STRETCH | SBPS_NOBORDERS;
            }
            pane.pending = true;
        }
        screen.SelectObject(oldFont);
    }
    UpdateAllPanes(TRUE, TRUE);
    return TRUE;
}

int SECStatusBar::CommandToIndex(UINT id) const
{
    auto found = std::find_if(m_panes.begin(), m_panes.end(), [id](const Pane& pane) { return pane.id == id; });
    return found == m_panes.end() ? -1 : static_cast<int>(found - m_panes.begin());
}

UINT SECStatusBar::GetItemID(int index) const
{
    return IsValidIndex(index) ? m_panes[static_cast<size_t>(index)].id : 0;
}

void SECStatusBar::GetItemRect(int index, LPRECT rect) const
{
    if (!::SendMessageW(m_hWnd, SB_GETRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)))
        ::SetRectEmpty(rect);
}

UINT SECStatusBar::GetPaneStyle(int index) const
{
    return IsValidIndex(index) ? m_panes[static_cast<size_t>(index)].style : 0;
}

void SECStatusBar::SetPaneStyle(int index, UINT style)
{
    if (!IsValidIndex(index))
        return;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    if (pane.style == style)
        return;
    const bool stretchChanged = (pane.style ^ style) & SBPS_STRETCH;
    pane.style = style;
    if (stretchChanged)
        UpdateAllPanes(TRUE, FALSE);
    pane.pending = true;
    SetPaneText(index, pane.text);
}

void SECStatusBar::GetPaneInfo(int index, UINT& id, UINT& style, int& width) const
{
    if (!IsValidIndex(index))
        return;
    const Pane& pane = m_panes[static_cast<size_t>(index)];
    id = pane.id, style = pane.style, width = pane.width;
}

void SECStatusBar::SetPaneInfo(int index, UINT id, UINT style, int width)
{
    if (!IsValidIndex(index))
        return;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    pane.id = id;
    bool relayout = false;
    if (pane.style != style) {
        if ((pane.style ^ style) & SBPS_STRETCH) {
            relayout = true;
            pane.style = style;
        } else {
            pane.style = style;
            pane.pending = true;
            SetPaneText(index, pane.text);
        }
    }
    if (pane.width != width) {
        pane.width = width;
        relayout = true;
    }
    if (relayout)
        UpdateAllPanes(TRUE, FALSE);
}

void SECStatusBar::GetPaneText(int index, CString& text) const
{
    text = GetPaneText(index);
}

CString SECStatusBar::GetPaneText(int index) const
{
    return IsValidIndex(index) ? m_panes[static_cast<size_t>(index)].text : CString();
}

BOOL SECStatusBar::SetPaneText(int index, LPCWSTR text, BOOL update)
{
    if (!IsValidIndex(index))
        return FALSE;
    Pane& pane = m_panes[static_cast<size_t>(index)];
    const CString newText = text ? text : L"";
    if (!pane.pending && pane.text == newText)
        return TRUE;
    pane.text = newText;
    if (!update) {
        pane.pending = true;
        return TRUE;
    }
    SendPaneText(index);
    return TRUE;
}

void SECStatusBar::SendPaneText(int index)
{
    Pane& pane = m_panes[static_cast<size_t>(index)];
    pane.pending = false;
    if (!m_hWnd)
        return;
    const LPCWSTR shown = (pane.style & SBPS_DISABLED) ? nullptr : static_cast<LPCWSTR>(pane.text);
    ::SendMessageW(m_hWnd, SB_SETTEXTW, LOWORD(pane.style) | static_cast<UINT>(index), reinterpret_cast<LPARAM>(shown));
}

SECStatusBar::Borders SECStatusBar::GetBorders() const
{
    int borders[3] {};
    ::SendMessageW(m_hWnd, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    return { borders[0], borders[1], borders[2] };
}

void SECStatusBar::UpdateAllPanes(BOOL updateRects, BOOL updateTexts)
{
    if (!m_hWnd)
        return;
    if (updateRects && !m_panes.empty()) {
        CRect inside;
        GetWindowRect(&inside);
        inside.OffsetRect(-inside.left, -inside.top);
        CalcInsideRect(inside, TRUE);
        std::vector<std::pair<int, UINT>> panes;
        for (const Pane& pane : m_panes)
            panes.emplace_back(pane.width, pane.style);
        const std::vector<int> edges = LayOutPaneEdges(inside.left, inside.Width(), GetBorders().gap, panes);
        ::SendMessageW(m_hWnd, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    }
    if (updateTexts) {
        for (int i = 0; i < GetCount(); ++i) {
            if (m_panes[static_cast<size_t>(i)].pending)
                SetPaneText(i, m_panes[static_cast<size_t>(i)].text);
        }
    }
}

void SECStatusBar::CalcInsideRect(CRect& rect, BOOL horz) const
{
    SECControlBar::CalcInsideRect(rect, horz);
    CWnd* parent = GetParent();
    if ((GetStyle() & SBARS_SIZEGRIP) && parent && !::IsZoomed(parent->m_hWnd))
        rect.right -= GetBorders().horizontal + 2 * ::GetSystemMetrics(SM_CXBORDER) + ::GetSystemMetrics(SM_CXVSCROLL);
}

CSize SECStatusBar::CalcFixedLayout(BOOL stretch, BOOL horz)
{
    if (!stretch)
        return CSize(0, 0);
    CRect inside;
    CalcInsideRect(inside, horz);
    const TEXTMETRICW metrics = fln::gdi::FontMetrics(BarFont());
    const int height = (::GetSystemMetrics(SM_CYBORDER) + GetBorders().vertical) * 2 - inside.Height()
        - metrics.tmInternalLeading + metrics.tmHeight - 1;
    return CSize(32767, std::max(height, m_nMinHeight));
}

void SECStatusBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler)
{
    StatusCmdUI state(*this);
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (int i = 0; i < GetCount(); ++i) {
        state.m_nID = m_panes[static_cast<size_t>(i)].id;
        state.m_nIndex = static_cast<UINT>(i);
        state.DoUpdate(target, disableIfNoHandler);
    }
    SECControlBar::OnUpdateCmdUI(target, disableIfNoHandler);
}

LRESULT SECStatusBar::OnIdleUpdateCmdUI(WPARAM disableIfNoHandler, LPARAM)
{
    if (!(GetStyle() & WS_VISIBLE))
        return 0;
    if (auto* target = dynamic_cast<CFrameWnd*>(GetParent()))
        OnUpdateCmdUI(target, static_cast<BOOL>(disableIfNoHandler));
    return 0;
}

BOOL SECStatusBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (message != WM_DRAWITEM)
        return SECControlBar::OnChildNotify(message, wParam, lParam, result);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (result)
        *result = TRUE;
    return TRUE;
}

void SECStatusBar::ResizeParentFrame()
{
    CWnd* parent = GetParent();
    if (!parent)
        return;
    CRect client;
    parent->GetClientRect(&client);
    parent->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
}

void SECStatusBar::OnPaint()
{
    UpdateAllPanes(FALSE, TRUE);
    Default();
}

void SECStatusBar::OnSize(UINT, int, int)
{
    Default();
    UpdateAllPanes(TRUE, FALSE);
}

LRESULT SECStatusBar::OnNcHitTest(CPoint)
{
    const LRESULT hit = Default();
    return hit == HTBOTTOMRIGHT ? hit : HTCLIENT;
}

void SECStatusBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* params)
{
    CRect inside;
    SECControlBar::CalcInsideRect(inside, TRUE);
    // The control keeps its own room above the panes.
    RECT& client = params->rgrc[0];
    client.left += inside.left;
    client.top += inside.top - 2;
    client.right += inside.right;
    client.bottom += inside.bottom;
}

LRESULT SECStatusBar::OnSetText(WPARAM, LPARAM text)
{
    const int index = TextPane();
    if (index < 0)
        return -1;
    return SetPaneText(index, reinterpret_cast<LPCWSTR>(text)) ? 0 : -1;
}

LRESULT SECStatusBar::OnGetText(WPARAM size, LPARAM buffer)
{
    auto* out = reinterpret_cast<LPWSTR>(buffer);
    const int index = TextPane();
    if (!out || size == 0)
        return 0;
    const CString text = index < 0 ? CString() : GetPaneText(index);
    const size_t count = std::min<size_t>(static_cast<size_t>(text.GetLength()), size - 1);
    std::copy_n(static_cast<LPCWSTR>(text), count, out);
    out[count] = L'\0';
    return static_cast<LRESULT>(count);
}

LRESULT SECStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
    const int index = TextPane();
    return index < 0 ? 0 : GetPaneText(index).GetLength();
}

LRESULT SECStatusBar::OnSetMinHeight(WPARAM height, LPARAM)
{
    const LRESULT result = Default();
    m_nMinHeight = static_cast<int>(height);
    return result;
}
