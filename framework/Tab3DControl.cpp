#include "framework/Tab3DControl.h"

#include "platform/base/MulDiv.h"
#include "platform/gdi/SysColors.h"

IMPLEMENT_DYNCREATE(SEC3DTabControl, SECTabControlBase)

BEGIN_MESSAGE_MAP(SEC3DTabControl, SECTabControlBase)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_MOUSEMOVE()
    ON_WM_KEYDOWN()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

namespace {

using Edge = SEC3DTabControl::Edge;

int EscapementFor(Edge edge)
{
    switch (edge) {
    case Edge::Right:
        return 900;
    case Edge::Left:
        return -900;
    default:
        return 0;
    }
}

} // namespace

SEC3DTabControl::Edge SEC3DTabControl::EdgeOf(DWORD style)
{
    if (style & TAB_STYLE_TOP)
        return Edge::Top;
    if (style & TAB_STYLE_BOTTOM)
        return Edge::Bottom;
    if (style & TAB_STYLE_RIGHT)
        return Edge::Right;
    if (style & TAB_STYLE_LEFT)
        return Edge::Left;
    return Edge::Top;
}

SEC3DTabControl::SEC3DTabControl()
    : m_inactiveTextColor(::GetSysColor(COLOR_BTNTEXT))
    , m_activeTextColor(::GetSysColor(COLOR_BTNTEXT))
{
}

SEC3DTabControl::~SEC3DTabControl() = default;

std::unique_ptr<SECTab> SEC3DTabControl::NewTabRecord() const
{
    return std::make_unique<SEC3DTab>();
}

std::vector<SEC3DTab*> SEC3DTabControl::Row() const
{
    std::vector<SEC3DTab*> row;
    for (int i = 0; i < GetTabCount(); ++i)
        row.push_back(GetTab(i));
    return row;
}

BOOL SEC3DTabControl::GetTabRect(int index, CRect& rect) const
{
    const SEC3DTab* tab = GetTab(index);
    if (!tab)
        return FALSE;
    rect = tab->m_rect;
    return TRUE;
}

int SEC3DTabControl::TabFromPoint(CPoint point) const
{
    auto hits = [&](int index) {
        const SEC3DTab* tab = GetTab(index);
        return tab && tab->m_enabled && tab->m_rect.PtInRect(point);
    };
    if (m_hasActive && hits(m_activeIndex))
        return m_activeIndex;
    for (int i = 0; i < GetTabCount(); ++i)
        if (hits(i))
            return i;
    return kNoTab;
}

// ---- set-up and drawing objects

void SEC3DTabControl::Initialize(DWORD style)
{
    CreateDefaultFonts(style);
    for (CPen& pen : m_outerPens)
        pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    CreateSysColorPens();
    m_inactiveTextColor = m_activeTextColor = ::GetSysColor(COLOR_BTNTEXT);
    EnableToolTips(TRUE);
}

void SEC3DTabControl::CreateSysColorPens()
{
    m_shadowPen.DeleteObject();
    m_highlightPen.DeleteObject();
    m_shadowPen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    m_highlightPen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
}

void SEC3DTabControl::CreateDefaultFonts(DWORD style)
{
    LOGFONTW description {};
    description.lfWeight = FW_NORMAL;
    description.lfPitchAndFamily = FF_SWISS;
    description.lfEscapement = EscapementFor(EdgeOf(style));
    if (style & TAB_STYLE_FLAT) {
        CClientDC screen(nullptr);
        // 8.5 points on the screen, as a character height.
        description.lfHeight = -::MulDiv(85, screen.GetDeviceCaps(LOGPIXELSY), 720);
        wcscpy(description.lfFaceName, L"Tahoma");
        MakeFont(0, description);
        MakeFont(1, description);
        return;
    }
    description.lfHeight = 15;
    wcscpy(description.lfFaceName, L"Arial Narrow");
    MakeFont(0, description);
    description.lfWeight = FW_SEMIBOLD;
    MakeFont(1, description);
}

BOOL SEC3DTabControl::MakeFont(int which, LOGFONTW description)
{
    CFont made;
    if (!made.CreateFontIndirect(&description))
        return FALSE;
    m_fonts[which].DeleteObject();
    m_fonts[which].Attach(made.Detach());
    m_fontDescriptions[which] = description;
    return TRUE;
}

void SEC3DTabControl::TurnFontsTo(Edge edge)
{
    for (int which = 0; which < 2; ++which) {
        LOGFONTW description = m_fontDescriptions[which];
        description.lfEscapement = EscapementFor(edge);
        MakeFont(which, description);
    }
}

void SEC3DTabControl::ReleaseDrawingObjects()
{
    for (CFont& font : m_fonts)
        font.DeleteObject();
    for (CPen& pen : m_outerPens)
        pen.DeleteObject();
    m_shadowPen.DeleteObject();
    m_highlightPen.DeleteObject();
}

BOOL SEC3DTabControl::SetTabFont(CFont* font, int which, BOOL redraw)
{
    if ((which != 0 && which != 1) || !font || !font->m_hObject)
        return FALSE;
    LOGFONTW description {};
    if (!font->GetLogFont(&description))
        return FALSE;
    description.lfEscapement = EscapementFor(EdgeOf(m_hWnd ? GetStyle() : 0));
    if (!MakeFont(which, description))
        return FALSE; // the font we had stays
    RecalcLayout();
    if (redraw) {
        if (which == 1) {
            if (m_hasActive)
                InvalidateTab(m_activeIndex);
        } else {
            InvalidateTabsFrom(0);
        }
    }
    return TRUE;
}

BOOL SEC3DTabControl::ModifyTabStyle(DWORD remove, DWORD add, UINT flags)
{
    BOOL changed = ModifyStyle(remove, add, flags);
    if (add & TAB_STYLE_POSITIONS) {
        TurnFontsTo(EdgeOf(GetStyle()));
        RecalcLayout();
    }
    return changed;
}

void SEC3DTabControl::SetLabelFitting(BOOL fitting)
{
    m_labelFitting = fitting;
    RecalcLayout();
    Invalidate();
}

// ---- the list

SECTab* SEC3DTabControl::InsertTab(int index, LPCWSTR label, CObject* client, HMENU menu, DWORD_PTR extra)
{
    SECTab* tab = SECTabControlBase::InsertTab(index, label, client, menu, extra);
    if (!tab)
        return nullptr;
    static_cast<SEC3DTab*>(tab)->m_fullLabel = tab->m_label;
    // The same tab stays active, at its new place, without telling anyone.
    if (m_hasActive && index <= m_activeIndex)
        ++m_activeIndex;
    RecalcLayout();
    InvalidateTabsFrom(index);
    return tab;
}

void SEC3DTabControl::RenameTab(int index, LPCWSTR label)
{
    if (SEC3DTab* tab = GetTab(index)) {
        tab->m_fullLabel = label ? label : L"";
        SECTabControlBase::RenameTab(index, label);
    }
}

void SEC3DTabControl::SetTabIcon(int index, LPCWSTR resourceName, int cx, int cy)
{
    if (!GetTab(index))
        return;
    auto loaded = static_cast<HICON>(::LoadImageW(nullptr, resourceName, IMAGE_ICON, cx, cy, 0));
    SetTabIcon(index, loaded);
    if (loaded)
        ::DestroyIcon(loaded);
}

void SEC3DTabControl::SetTabIcon(int index, UINT resourceId, int cx, int cy)
{
    SEC3DTab* tab = GetTab(index);
    if (!tab)
        return;
    tab->SetIcon(static_cast<HICON>(::LoadImageW(nullptr, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, cx, cy, 0)));
    RecalcLayout();
    InvalidateTabsFrom(index);
}

void SEC3DTabControl::SetTabIcon(int index, HICON icon)
{
    SEC3DTab* tab = GetTab(index);
    if (!tab)
        return;
    tab->SetIcon(icon ? ::CopyIcon(icon) : nullptr);
    RecalcLayout();
    InvalidateTabsFrom(index);
}

void SEC3DTabControl::EnableTab(int index, BOOL enable)
{
    SEC3DTab* tab = GetTab(index);
    if (!tab || !tab->m_enabled == !enable)
        return;
    tab->m_enabled = enable ? TRUE : FALSE;
    InvalidateTab(index);
}

BOOL SEC3DTabControl::IsTabEnabled(int index) const
{
    const SEC3DTab* tab = GetTab(index);
    return tab && tab->m_enabled;
}

void SEC3DTabControl::InvalidateTab(int index)
{
    const SEC3DTab* tab = GetTab(index);
    if (!tab || !m_hWnd)
        return;
    CRect rect = tab->m_rect;
    rect.right += 1;
    rect.bottom += 1; // the outline reaches one pixel beyond
    InvalidateRect(&rect, TRUE);
}

// ---- layout

int SEC3DTabControl::LabelWidth(CDC& dc, const CString& label) const
{
    return label.IsEmpty() ? 0 : dc.GetTextExtent(label).cx;
}

void SEC3DTabControl::RecalcLayout()
{
    if (!m_hWnd)
        return;
    const DWORD style = GetStyle();
    const Edge edge = EdgeOf(style);
    CRect client;
    GetClientRect(&client);

    CClientDC dc(this);
    CFont* oldFont = dc.SelectObject(&m_fonts[1]);
    auto width = [&](const CString& label) { return LabelWidth(dc, label); };
    const std::vector<SEC3DTab*> row = Row();
    const tab_row::Measure full = tab_row::MeasureRow(row, width, true);
    const int extent = IsHorizontal(edge) ? client.Width() : client.Height();
    if (m_labelFitting)
        m_showLabels = tab_row::FitLabels(row, width, full.length, full.thickness, extent, m_showLabels);
    else
        m_showLabels = extent > full.length + tab_row::kSlack;

    if (IsHorizontal(edge)) {
        int x = client.left + m_marginX;
        const int y = edge == Edge::Top ? client.top + 2 : client.bottom - m_tabHeight - 3;
        for (SEC3DTab* tab : row) {
            PlaceTab(*tab, x, y, edge, width(tab->m_label));
            x += tab->m_width;
        }
    } else {
        int y = client.top + m_marginY;
        const int x = edge == Edge::Right ? client.right - m_tabWidth - 3 : client.left + 2;
        for (SEC3DTab* tab : row) {
            PlaceTab(*tab, x, y, edge, width(tab->m_label));
            y += tab->m_height;
        }
    }
    dc.SelectObject(oldFont);

    const DWORD keepsSize = TAB_STYLE_NO_ENLARGE | TAB_STYLE_FLAT;
    if (SEC3DTab* active = m_hasActive ? GetTab(m_activeIndex) : nullptr; active && !(style & keepsSize)) {
        CRect& r = active->m_rect;
        const int grow = kEnlargement;
        switch (edge) {
        case Edge::Top:
            r.InflateRect(grow, 0, grow, grow);
            break;
        case Edge::Bottom:
            r.InflateRect(grow, grow, grow, 0);
            break;
        case Edge::Right:
            r.InflateRect(grow, grow, 0, grow);
            break;
        case Edge::Left:
            r.InflateRect(0, grow, grow, grow);
            break;
        }
    }
}

void SEC3DTabControl::PlaceTab(SEC3DTab& tab, int x, int y, Edge edge, int labelWidth)
{
    int length = tab.GetIcon() ? tab_row::kLabelMargin + tab_row::kIconLength : tab_row::kLabelMargin;
    if (m_showLabels)
        length += labelWidth + tab_row::kLabelMargin;
    if (IsHorizontal(edge)) {
        tab.m_width = length;
        tab.m_height = m_tabHeight;
        tab.m_rect.SetRect(x, y, x + length, y + m_tabHeight);
    } else {
        tab.m_height = length;
        tab.m_width = m_tabWidth;
        tab.m_rect.SetRect(x, y, x + m_tabWidth, y + length);
    }
}

void SEC3DTabControl::OnSize(UINT type, int cx, int cy)
{
    RecalcLayout();
    Default();
}

// ---- mouse and keyboard

bool SEC3DTabControl::ParentTakesTabStops() const
{
    return ::GetWindowLongPtrW(::GetParent(m_hWnd), GWL_STYLE) & WS_TABSTOP;
}


void SEC3DTabControl::OnLButtonDown(UINT flags, CPoint point)
{
    int active = kNoTab;
    const bool hadActive = GetActiveTab(active);
    if (int hit = TabFromPoint(point); hit != kNoTab) {
        if (hadActive && hit == active)
            NotifyActiveTabClicked();
        else
            ActivateTab(hit);
    }
    Default();
    if (GetStyle() & TAB_STYLE_DRAG)
        SetCapture();
    if (ParentTakesTabStops() && ::GetFocus() != m_hWnd)
        SetFocus();
}

void SEC3DTabControl::OnLButtonUp(UINT flags, CPoint point)
{
    Default();
    if ((GetStyle() & TAB_STYLE_DRAG) && ::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void SEC3DTabControl::OnLButtonDblClk(UINT flags, CPoint point)
{
    if (int hit = TabFromPoint(point); hit != kNoTab)
        ::SendMessageW(::GetParent(m_hWnd), WM_TABDBLCLICKED, static_cast<WPARAM>(hit), 0);
    Default();
}

void SEC3DTabControl::OnMouseMove(UINT flags, CPoint point)
{
    if ((GetStyle() & TAB_STYLE_DRAG) && ::GetCapture() == m_hWnd && m_hasActive)
        DragActiveTab(point);
    Default();
}

void SEC3DTabControl::DragActiveTab(CPoint point)
{
    const CRect active = GetTab(m_activeIndex)->m_rect;
    if (active.PtInRect(point))
        return;
    const bool horizontal = IsHorizontal(EdgeOf(GetStyle()));
    for (int i = 0; i < GetTabCount(); ++i) {
        const CRect& r = GetTab(i)->m_rect;
        if (i == m_activeIndex || !r.PtInRect(point))
            continue;
        // The pointer must lie where the active tab will be once moved to i, so that it does not
        // jump back at once.
        const int at = horizontal ? point.x : point.y;
        const int activeStart = horizontal ? active.left : active.top;
        const int activeEnd = horizontal ? active.right : active.bottom;
        const int activeLength = activeEnd - activeStart;
        const int start = horizontal ? r.left : r.top;
        const int length = horizontal ? r.Width() : r.Height();
        const bool deepEnough = i > m_activeIndex ? activeStart + length < at && at < activeEnd + length
                                                  : start < at && at < start + activeLength;
        if (deepEnough) {
            HWND focus = ::GetFocus();
            MoveActiveTab(i);
            if (focus && ::IsWindow(focus))
                ::SetFocus(focus);
        }
        return;
    }
}

void SEC3DTabControl::ActivateNeighbour(int step)
{
    if (!m_hasActive)
        return;
    for (int i = m_activeIndex + step; TabExists(i); i += step) {
        if (GetTab(i)->m_enabled) {
            ActivateTab(i);
            SetFocus();
            return;
        }
    }
}

void SEC3DTabControl::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    switch (key) {
    case VK_LEFT:
    case VK_UP:
        ActivateNeighbour(-1);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        ActivateNeighbour(+1);
        break;
    default:
        break;
    }
    Default();
}

void SEC3DTabControl::OnSetFocus(CWnd*)
{
    Default();
    if (ParentTakesTabStops())
        Invalidate();
}

void SEC3DTabControl::OnKillFocus(CWnd*)
{
    Default();
    if (ParentTakesTabStops())
        Invalidate();
}

void SEC3DTabControl::OnSysColorChange()
{
    Default();
    m_inactiveTextColor = m_activeTextColor = ::GetSysColor(COLOR_BTNTEXT);
    CreateSysColorPens();
}

void SEC3DTabControl::OnDestroy()
{
    SECTabControlBase::OnDestroy();
    ReleaseDrawingObjects();
}

INT_PTR SEC3DTabControl::OnToolHitTest(CPoint point, TOOLINFO* info) const
{
    if (INT_PTR hit = SECTabControlBase::OnToolHitTest(point, info); hit != -1)
        return hit;
    for (int i = 0; i < GetTabCount(); ++i) {
        const SEC3DTab& tab = *GetTab(i);
        if (!tab.m_rect.PtInRect(point))
            continue;
        // Only a label that is not shown whole has a tip.
        if (!tab.m_truncated && (m_labelFitting || m_showLabels))
            continue;
        if (info) {
            info->hwnd = m_hWnd;
            info->uId = static_cast<UINT_PTR>(i + 1);
            info->rect = tab.m_rect;
            info->lpszText = const_cast<LPWSTR>(tab.m_fullLabel.GetString()); // the tip keeps a copy
        }
        return i + 1;
    }
    return -1;
}
