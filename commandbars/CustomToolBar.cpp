#include "commandbars/CustomToolBar.h"

#include "commandbars/ToolBarLayout.h"
#include "framework/BmpMgr.h"
#include "platform/gdi/SysColors.h"
#include "platform/mfc/DockBar.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECCustomToolBar, SECControlBar)

BEGIN_MESSAGE_MAP(SECCustomToolBar, SECControlBar)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    FLN_MSG(WM_CANCELMODE, 0, 0, 0, self->OnCancelMode(); return 0;)
    ON_WM_SYSCOLORCHANGE()
    ON_WM_WINDOWPOSCHANGING()
    ON_WM_NCPAINT()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(TB_ADDBUTTONSA, OnAddButtons)
    ON_MESSAGE(TB_DELETEBUTTON, OnDeleteButton)
END_MESSAGE_MAP()

namespace {

using fln::commandbars::ToolBarItem;
using fln::commandbars::ToolBarMetrics;

// The bars that users make themselves have ids from here on; such a bar goes when its last
// button does.
constexpr UINT kFirstUserBarId = 59424;

// The command-UI state of one button: enabling and checking go to the button's style. A button
// that no handler checks in an update shows unchecked, so that a check another page set goes.
class SECCustomToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL on) override
    {
        m_bEnableChanged = TRUE;
        const DWORD style = Bar().GetButtonStyle(static_cast<int>(m_nIndex)) & ~TBBS_DISABLED;
        Bar().SetButtonStyle(static_cast<int>(m_nIndex), on ? style : style | TBBS_DISABLED);
    }
    void SetCheck(int check) override
    {
        m_checkSet = true;
        DWORD style = (Bar().GetButtonStyle(static_cast<int>(m_nIndex)) & ~(TBBS_CHECKED | TBBS_INDETERMINATE)) | TBBS_CHECKBOX;
        if (check == 1)
            style |= TBBS_CHECKED;
        else if (check == 2)
            style |= TBBS_INDETERMINATE;
        Bar().SetButtonStyle(static_cast<int>(m_nIndex), style);
    }
    void SetText(LPCWSTR) override {}

    void UpdateButton(int index, CCmdTarget* target, BOOL disableIfNoHandler)
    {
        m_nID = Bar().GetButton(index)->m_nID;
        m_nIndex = static_cast<UINT>(index);
        m_checkSet = false;
        DoUpdate(target, disableIfNoHandler);
        const DWORD style = Bar().GetButtonStyle(index);
        if (!m_checkSet && (style & (TBBS_CHECKED | TBBS_INDETERMINATE)))
            Bar().SetButtonStyle(index, style & ~(TBBS_CHECKED | TBBS_INDETERMINATE));
    }

private:
    SECCustomToolBar& Bar() const { return *static_cast<SECCustomToolBar*>(m_pOther); }

    bool m_checkSet = false;
};

} // namespace

SECCustomToolBar::SECCustomToolBar()
    : m_pBmpMgr(new SECBmpMgr)
{
    m_cyTopBorder = m_cyBottomBorder = 3;
}

SECCustomToolBar::~SECCustomToolBar()
{
    if (m_hWnd)
        DestroyWindow(); // while the buttons the window's messages reach still exist
    m_pBmpMgr->Release();
}

BOOL SECCustomToolBar::CreateEx(DWORD ctrlStyle, CWnd* parent, DWORD style, UINT id, LPCWSTR title)
{
    if (ctrlStyle & SEC_TBS_NARROWBORDERS)
        m_cyTopBorder = m_cyBottomBorder = 1;
    const BOOL created = SECControlBar::CreateEx(title, id, style, ctrlStyle | CBRS_EX_ALTCAPTION | CBRS_EX_FIXEDSIZE, CRect(), parent);
    MarkLayoutDirty();
    return created;
}

// ---- buttons

BOOL SECCustomToolBar::LoadToolBar(LPCWSTR resource)
{
    const auto toolBar = LoadToolBarTemplate(resource);
    if (!toolBar || !m_pBmpMgr->AddToolBarResource(resource))
        return FALSE;
    const std::vector<UINT> ids(toolBar->commands.begin(), toolBar->commands.end());
    return SetButtons(ids.data(), static_cast<int>(ids.size()));
}

BOOL SECCustomToolBar::SetButtons(const UINT* ids, int count)
{
    RemoveAllButtons();
    for (int i = 0; ids && i < count; ++i)
        m_btns.emplace_back(ids[i] ? CreateButton(ids[i]) : CreateSeparator());
    MarkLayoutDirty();
    return TRUE;
}

void SECCustomToolBar::InformBtn(UINT id, UINT code, void* data)
{
    for (const auto& button : m_btns)
        if (button->m_nID == id)
            button->InformBtn(code, data);
}

void SECCustomToolBar::RemoveAllButtons()
{
    m_nHot = m_nPressed = m_nTracking = -1;
    m_btns.clear();
    MarkLayoutDirty();
}

SECStdBtn* SECCustomToolBar::CreateButton(UINT id, SECCustomToolBar* ownerBar)
{
    // The last record of the bar's own table decides; only without one, the menu table's.
    const SECBtnMapEntry* record = nullptr;
    for (const SECBtnMapEntry* table : { m_pBtnMap, m_pMenuBtnMap }) {
        for (const SECBtnMapEntry* entry = table; entry && entry->pClass; ++entry)
            if (entry->nID == id)
                record = entry;
        if (record)
            break;
    }
    SECStdBtn* button = record ? record->pClass->pfnCreate() : new SECStdBtn;
    if (record)
        button->SetStyle(record->dwStyle);
    button->m_nID = id;
    int image = 0;
    if (button->m_nType != SECStdBtn::kMenu)
        GetImageIndex(id, image);
    button->m_nImage = image;
    SECCustomToolBar* owner = ownerBar ? ownerBar : this;
    button->Init(owner, record ? record->extra : nullptr);
    button->SetVertical(owner->m_bVertical);
    return button;
}

SECStdBtn* SECCustomToolBar::CreateSeparator(SECCustomToolBar* ownerBar)
{
    SECCustomToolBar* owner = ownerBar ? ownerBar : this;
    auto* separator = new SECStdBtn;
    separator->SetStyle(TBBS_SEPARATOR);
    separator->m_pToolBar = owner;
    separator->m_cx = owner->m_nSepWidth;
    separator->m_cy = owner->GetButtonHeight();
    separator->SetVertical(owner->m_bVertical);
    return separator;
}

std::pair<int, int> SECCustomToolBar::RowAround(int index) const
{
    int first = index, last = index;
    while (first > 0 && !(m_btns[first - 1]->m_nStyle & TBBS_WRAPPED))
        --first;
    while (last + 1 < GetButtonCount() && !(m_btns[last]->m_nStyle & TBBS_WRAPPED))
        ++last;
    return { first, last };
}

void SECCustomToolBar::MatchSeparatorsOfRow(int index)
{
    const auto [first, last] = RowAround(index);
    int tallest = 0;
    for (int i = first; i <= last; ++i)
        if (!m_btns[i]->IsSeparator())
            tallest = std::max(tallest, m_btns[i]->m_cy);
    if (tallest == 0)
        tallest = m_nSepWidth * 2 / 3; // a row of separators only
    for (int i = first; i <= last; ++i)
        if (m_btns[i]->IsSeparator())
            m_btns[i]->m_cy = tallest;
}

void SECCustomToolBar::InsertButton(int index, UINT id, BOOL separator, BOOL noRedraw)
{
    index = std::clamp(index, 0, GetButtonCount());
    SECStdBtn* button = separator ? CreateSeparator() : CreateButton(id);
    m_btns.insert(m_btns.begin() + index, std::unique_ptr<SECStdBtn>(button));
    const auto [first, last] = RowAround(index);
    if (separator) {
        int tallest = 0;
        for (int i = first; i <= last; ++i)
            if (!m_btns[i]->IsSeparator())
                tallest = std::max(tallest, m_btns[i]->m_cy);
        if (tallest > 0)
            button->m_cy = tallest;
    } else {
        for (int i = first; i <= last; ++i)
            if (m_btns[i]->IsSeparator())
                m_btns[i]->m_cy = std::max(m_btns[i]->m_cy, button->m_cy);
    }
    m_nMRUWidth += button->m_cx;
    if (IsFlat() && m_nHot >= index)
        ++m_nHot;
    if (m_nPressed >= index)
        ++m_nPressed;
    MarkLayoutDirty();
    UpdateButtonCmdUI(index);
    if (!noRedraw)
        RelayoutAndRepaint();
}

BOOL SECCustomToolBar::RemoveButton(int index, BOOL noRedraw)
{
    if (index < 0 || index >= GetButtonCount())
        return FALSE;
    if (m_nPressed == index) {
        if (::GetCapture() == m_hWnd)
            ::ReleaseCapture();
        m_nPressed = -1;
    }
    m_btns.erase(m_btns.begin() + index);
    if (!m_btns.empty())
        MatchSeparatorsOfRow(std::min(index, GetButtonCount() - 1));
    // A separator the removal leaves first, last or next to another one goes too.
    int shift = 1;
    auto isSeparator = [&](int i) { return i >= 0 && i < GetButtonCount() && m_btns[i]->IsSeparator(); };
    if (index == 0 && isSeparator(0)) {
        m_btns.erase(m_btns.begin());
        shift = 2;
    } else if (isSeparator(GetButtonCount() - 1)) {
        m_btns.pop_back();
    } else if (isSeparator(index - 1) && isSeparator(index)) {
        m_btns.erase(m_btns.begin() + index);
        shift = 2;
    }
    if (m_nHot == index) {
        m_nHot = -1;
    } else if (m_nHot > index) {
        m_nHot = std::max(-1, m_nHot - shift);
    }
    if (m_nPressed > index)
        m_nPressed -= shift;
    MarkLayoutDirty();
    if (m_btns.empty() && static_cast<UINT>(GetDlgCtrlID()) >= kFirstUserBarId) {
        if (!noRedraw)
            DestroyWindow();
        return FALSE;
    }
    if (!noRedraw)
        RelayoutAndRepaint();
    return !m_btns.empty();
}

BOOL SECCustomToolBar::AddButtons(int count, const TBBUTTON* buttons)
{
    for (int i = 0; buttons && i < count; ++i) {
        const TBBUTTON& entry = buttons[i];
        const int index = GetButtonCount();
        InsertButton(index, static_cast<UINT>(entry.idCommand), entry.idCommand == 0, i + 1 < count);
        SECStdBtn* button = m_btns[index].get();
        button->SetStyle(button->GetStyle() | (static_cast<DWORD>(entry.fsState) << 16) | entry.fsStyle);
    }
    return TRUE;
}

int SECCustomToolBar::GetButtonIndex(const SECStdBtn* button) const
{
    for (int i = 0; i < GetButtonCount(); ++i)
        if (m_btns[i].get() == button)
            return i;
    return -1;
}

void SECCustomToolBar::GetItemRect(int index, LPRECT rect) const
{
    if (const SECStdBtn* button = GetButton(index))
        *rect = button->GetRect();
    else
        *rect = CRect();
}

DWORD SECCustomToolBar::GetButtonStyle(int index) const
{
    const SECStdBtn* button = GetButton(index);
    return button ? button->GetStyle() : 0;
}

void SECCustomToolBar::SetButtonStyle(int index, DWORD style)
{
    SECStdBtn* button = GetButton(index);
    if (!button || button->GetStyle() == style)
        return;
    button->SetStyle(style);
    InvalidateButton(index);
}

void SECCustomToolBar::InvalidateButton(int index)
{
    if (const SECStdBtn* button = GetButton(index))
        button->Invalidate();
}

// ---- images and sizes

void SECCustomToolBar::SetBmpMgr(SECBmpMgr* manager)
{
    if (!manager || manager == m_pBmpMgr)
        return;
    manager->AddRef();
    m_pBmpMgr->Release();
    m_pBmpMgr = manager;
}

BOOL SECCustomToolBar::GetImageIndex(UINT id, int& index) const
{
    HBITMAP bitmap = nullptr;
    index = 0;
    return m_pBmpMgr->GetImage(id, bitmap, index);
}

int SECCustomToolBar::GetImageWidth() const
{
    return m_pBmpMgr->GetImageSize().cx;
}

int SECCustomToolBar::GetImageHeight() const
{
    return m_pBmpMgr->GetImageSize().cy;
}

void SECCustomToolBar::RecalcButtonSizes()
{
    m_cxLargestBtn = GetButtonWidth();
    m_cyLargestBtn = GetButtonHeight();
    for (const auto& button : m_btns)
        button->AdjustSize();
    MarkLayoutDirty();
}

void SECCustomToolBar::SetTransparentColor(COLORREF color, BOOL use)
{
    m_clrTransparent = color;
    m_bUseTransparent = use;
}

// ---- layout

void SECCustomToolBar::MarkLayoutDirty()
{
    std::fill(std::begin(m_bDirty), std::end(m_bDirty), TRUE);
}

SECCustomToolBar::Shape SECCustomToolBar::ShapeOf(DWORD mode)
{
    return (mode & LM_HORZDOCK) ? Horizontal : (mode & LM_VERTDOCK) ? Vertical : Floating;
}

SECCustomToolBar::Shape SECCustomToolBar::CurrentShape() const
{
    if (IsFloating() && (m_dwStyle & CBRS_SIZE_DYNAMIC))
        return Floating;
    return (m_dwStyle & CBRS_ORIENT_VERT) ? Vertical : Horizontal;
}

CRect SECCustomToolBar::BordersFor(DWORD mode) const
{
    CRect borders;
    CalcInsideRect(borders, (mode & LM_HORZ) != 0);
    return borders;
}

void SECCustomToolBar::CalcInsideRect(CRect& rect, BOOL horz, BOOL withGripper) const
{
    SECControlBar::CalcInsideRect(rect, horz, withGripper);
    if ((m_dwExStyle & CBRS_EX_OWNBORDERS) || !ShowsGripper())
        return;
    if (GripperOnLeft())
        AdjustForGripper(rect, TRUE);
    else if (withGripper)
        AdjustForGripper(rect, FALSE);
}

void SECCustomToolBar::AdjustForGripper(CRect& rect, BOOL horz) const
{
    SECControlBar::AdjustForGripper(rect, horz);
    if (m_dwExStyle & SEC_TBS_GRIPPERSPACE)
        (horz ? rect.left : rect.top) += 2;
}

CSize SECCustomToolBar::CalcFixedLayout(BOOL, BOOL horz)
{
    // A stale cache is laid out first, so a bar that is not dynamic never shows an empty size.
    return CalcDynamicLayout(-1, horz ? LM_HORZ | LM_HORZDOCK : LM_VERTDOCK);
}

CSize SECCustomToolBar::CalcDynamicLayout(int length, DWORD mode)
{
    if (!(mode & LM_COMMIT)) {
        const Shape shape = ShapeOf(mode);
        const int unwrapped = (mode & LM_VERTDOCK) ? 0 : 32767; // one column, or one row
        if (m_bDirty[shape])
            return CalcLayout(unwrapped, mode | LM_COMMIT);
        // Docked or floated since its buttons were placed, the bar places them for its new shape:
        // docked in one row or column, floating at its remembered width. A floating bar that is
        // not dynamic keeps its docked shape but gives its gripper's room back.
        const bool bordersChanged = shape != Floating && BordersFor(mode) != m_placedBorders;
        if (shape == CurrentShape() && (shape != m_placedShape || bordersChanged))
            return CalcLayout(shape == Floating ? length : unwrapped, mode | LM_COMMIT);
        return CalcLayout(length, mode);
    }
    const bool horizontalThickness = (mode & LM_HORZDOCK) && (mode & LM_LENGTHY);
    const bool verticalWidth = (mode & LM_VERTDOCK) && !(mode & LM_LENGTHY);
    if (!horizontalThickness && !verticalWidth)
        return CalcLayout(length, mode);
    return SECControlBar::CalcDynamicLayout(length, mode);
}

CSize SECCustomToolBar::CalcLayout(int length, DWORD mode)
{
    const CRect borders = BordersFor(mode);
    const CSize borderSize(-borders.Width(), -borders.Height());

    if (m_dwExStyle & SEC_TBS_STRETCH) {
        if ((mode & LM_HORZDOCK) && GetParent()) {
            CRect owner;
            GetParent()->GetClientRect(&owner);
            length = owner.Width();
            // Docked along the top or the bottom, the dock bar spans the frame's client area; the
            // frame asks during its layout, before the dock bar has followed a new frame width.
            if (m_pDockSite && !IsFloating()) {
                CRect site, dockBar;
                m_pDockSite->GetClientRect(&site);
                GetParent()->GetWindowRect(&dockBar);
                length = site.Width() - (dockBar.Width() - owner.Width());
            }
        } else if ((mode & LM_VERTDOCK) && length == 0 && m_pDockSite) {
            for (UINT id : { AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT }) {
                CRect side;
                if (CDockBar* dockBar = AfxFindDockBar(m_pDockSite, id)) {
                    dockBar->GetClientRect(&side);
                    if (side.Height() != 0) {
                        length = side.Height();
                        break;
                    }
                }
            }
        }
    }

    if (m_btns.empty()) {
        CSize size = CSize(GetButtonWidth(), GetButtonHeight()) + borderSize;
        if ((m_dwExStyle & SEC_TBS_STRETCH) && (mode & LM_HORZDOCK))
            size.cx = length;
        else if ((m_dwExStyle & SEC_TBS_STRETCH) && (mode & LM_VERTDOCK))
            size.cy = length;
        return size;
    }
    if (mode & LM_STRETCH)
        length = static_cast<int>(m_fPctWidth * static_cast<float>(length));
    // A bar that spans its dock bar is laid out again when the frame's width has changed.
    const bool stretchedAnew = (m_dwExStyle & SEC_TBS_STRETCH) && (mode & LM_HORZDOCK) && !(mode & LM_LENGTHY)
        && m_szCached[ShapeOf(mode)].cx != length;
    if ((mode & LM_COMMIT) || stretchedAnew)
        LayOutButtons(length, mode, borders);
    return m_szCached[ShapeOf(mode)];
}

void SECCustomToolBar::LayOutButtons(int length, DWORD mode, const CRect& borders)
{
    const CSize borderSize(-borders.Width(), -borders.Height());
    const int requested = length;
    if (m_dwStyle & CBRS_SIZE_FIXED)
        length = 32767;
    const BOOL vertical = (m_dwStyle & CBRS_ORIENT_VERT) != 0;
    if (vertical != m_bVertical) {
        m_bVertical = vertical;
        for (const auto& button : m_btns)
            button->SetVertical(vertical);
    }

    const bool dynamic = m_dwStyle & CBRS_SIZE_DYNAMIC;
    bool wrapVertically = !(mode & LM_HORZ);
    if (!dynamic || (!IsFloating() && length == -1 && !(mode & LM_MRUWIDTH))) {
        length = wrapVertically ? 0 : 32767;
    } else if ((mode & LM_MRUWIDTH) || (IsFloating() && length == -1)) {
        length = m_nMRUWidth;
    } else if (mode & LM_LENGTHY) {
        length -= borderSize.cy;
        wrapVertically = true;
    } else {
        length -= borderSize.cx;
    }

    std::vector<SECStdBtn*> shown;
    std::vector<ToolBarItem> items;
    for (const auto& button : m_btns) {
        if (button->m_nStyle & TBBS_HIDDEN)
            continue;
        shown.push_back(button.get());
        items.push_back({ button->m_cx, button->m_cy, button->IsSeparator() != FALSE });
    }
    const ToolBarMetrics metrics { GetButtonWidth(), GetButtonHeight(), m_nSepWidth };
    const auto rows = fln::commandbars::ArrangeRows(items, length, wrapVertically, metrics);
    for (SECStdBtn* button : shown)
        button->m_nStyle &= ~TBBS_WRAPPED;
    for (size_t r = 0; r + 1 < rows.size(); ++r)
        shown[rows[r].last]->m_nStyle |= TBBS_WRAPPED;
    PlaceButtons(shown, mode, CPoint(borders.left, borders.top));

    CSize size = fln::commandbars::RowsSize(rows, metrics) + borderSize;
    const bool stretch = m_dwExStyle & SEC_TBS_STRETCH;
    switch (ShapeOf(mode)) {
    case Horizontal:
        if (stretch)
            size.cx = requested;
        m_szHorzDocked = size;
        break;
    case Vertical:
        if (stretch) {
            if (!(mode & LM_LENGTHY))
                size.cx = 2 * size.cy;
            size.cy = requested;
        }
        m_szVertDocked = size;
        break;
    case Floating:
        m_szFloat = size;
        if (!(mode & LM_LENGTHY))
            m_nMRUWidth = size.cx - borderSize.cx;
        break;
    default:
        break;
    }
    m_szCached[ShapeOf(mode)] = size;
    m_bDirty[ShapeOf(mode)] = FALSE;
    m_placedShape = ShapeOf(mode);
    m_placedBorders = borders;
}

void SECCustomToolBar::PlaceButtons(std::span<SECStdBtn* const> buttons, DWORD mode, CPoint origin)
{
    bool moved = false;
    auto place = [&](SECStdBtn* button, int x, int y) {
        moved |= button->m_x != x || button->m_y != y;
        button->SetPos(x, y);
    };
    const int count = static_cast<int>(buttons.size());
    int y = origin.y;
    for (int first = 0; first < count;) {
        int last = first;
        while (last + 1 < count && !(buttons[last]->m_nStyle & TBBS_WRAPPED))
            ++last;
        int height = 0;
        for (int i = first; i <= last; ++i)
            height = std::max(height, buttons[i]->m_cy);
        int x = origin.x;
        for (int i = first; i <= last; ++i) {
            SECStdBtn* button = buttons[i];
            const int centring = (button->m_nStyle & SEC_TBBS_VCENTER) ? (height - button->m_cy) / 2 : 0;
            place(button, x, y + centring);
            x += button->m_cx;
        }
        y += height;
        SECStdBtn* end = buttons[last];
        if ((end->m_nStyle & TBBS_WRAPPED) && end->IsSeparator()) {
            if (mode & LM_VERTDOCK) {
                // Across a vertical bar the separator is a gap of its own width between two rows.
                place(end, origin.x, y);
                y += end->m_cx;
            } else {
                y += m_nSepWidth * 2 / 3;
            }
        }
        first = last + 1;
    }
    if (moved && m_hWnd)
        Invalidate();
}

void SECCustomToolBar::CheckSize()
{
    if (m_pDockContext || !m_hWnd || !GetParent())
        return;
    CRect parent, window;
    GetParent()->GetClientRect(&parent);
    GetWindowRect(&window);
    const bool vertical = (m_dwStyle & CBRS_ORIENT_VERT) != 0;
    const CSize wanted = vertical ? CSize(window.Width(), parent.Height()) : CSize(parent.Width(), window.Height());
    if (wanted != window.Size())
        SetWindowPos(nullptr, 0, 0, wanted.cx, wanted.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int SECCustomToolBar::HitTest(CPoint point, CRect* rect) const
{
    for (int i = 0; i < GetButtonCount(); ++i) {
        const SECStdBtn& button = *m_btns[i];
        if (button.IsSeparator() || (button.m_nStyle & TBBS_HIDDEN) || !button.GetRect().PtInRect(point))
            continue;
        if (rect)
            *rect = button.GetRect();
        return i;
    }
    return -1;
}

INT_PTR SECCustomToolBar::OnToolHitTest(CPoint point, TOOLINFO* info) const
{
    const int index = HitTest(point);
    return index < 0 ? -1 : m_btns[index]->OnToolHitTest(point, info);
}

// ---- command UI

void SECCustomToolBar::OnUpdateCmdUI(CFrameWnd* target, BOOL disableIfNoHandler)
{
    if (!target)
        return;
    SECCustomToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetButtonCount());
    for (int i = 0; i < GetButtonCount(); ++i) {
        const SECStdBtn& button = *m_btns[i];
        if (!button.IsSeparator())
            state.UpdateButton(i, target, (button.m_nStyle & SEC_TBBS_ALWAYSENABLED) ? FALSE : disableIfNoHandler);
    }
    SECControlBar::OnUpdateCmdUI(target, disableIfNoHandler);
}

void SECCustomToolBar::UpdateButtonCmdUI(int index)
{
    const SECStdBtn* button = GetButton(index);
    CCmdTarget* target = m_pDockSite;
    if (!target && m_hWnd)
        target = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    if (!button || button->IsSeparator() || !target)
        return;
    SECCustomToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetButtonCount());
    state.UpdateButton(index, target, !(button->m_nStyle & SEC_TBBS_ALWAYSENABLED));
}

LRESULT SECCustomToolBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (!(GetStyle() & WS_VISIBLE))
        return 0;
    CheckSize();
    OnUpdateCmdUI(m_pDockSite, static_cast<BOOL>(wParam));
    return 0;
}

HWND SECCustomToolBar::GetOwnerWindow() const
{
    if (m_pDockSite)
        return m_pDockSite->m_hWnd;
    return m_hWnd ? ::GetParent(m_hWnd) : nullptr;
}

// ---- painting

SECBtnDrawData& SECCustomToolBar::DrawData()
{
    if (!m_pDrawData)
        m_pDrawData = std::make_unique<SECBtnDrawData>();
    return *m_pDrawData;
}

void SECCustomToolBar::DrawToolBarBorders(CDC* dc, CRect& rect)
{
    if (!(m_dwStyle & CBRS_BORDER_ANY))
        return;
    if (!IsFlat()) {
        if (!rect.IsRectEmpty()) {
            rect.right -= 1;
            rect.bottom -= 1;
        }
        DrawBorders(dc, rect);
        return;
    }
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF line = (m_dwStyle & CBRS_BORDER_3D) ? highlight : shadow;
    const CRect r = rect;
    if (m_dwStyle & CBRS_BORDER_LEFT)
        dc->FillSolidRect(r.left, r.top, 1, r.Height() - 1, line);
    if (m_dwStyle & CBRS_BORDER_TOP)
        dc->FillSolidRect(r.left, r.top, r.Width() - 1, 1, line);
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        dc->FillSolidRect(r.right - 1, r.top + 1, 1, r.Height() - 1, shadow);
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        dc->FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, shadow);
    if (!m_pDockContext) {
        // A bar that was never made dockable sits under the menu: an etched line above it.
        dc->FillSolidRect(r.left, r.top, r.Width(), 1, shadow);
        dc->FillSolidRect(r.left, r.top + 1, r.Width(), 1, highlight);
    }
}

void SECCustomToolBar::DoPaint(CDC* dc)
{
    CRect rect;
    GetClientRect(&rect);
    dc->FillSolidRect(&rect, GetSysColor(COLOR_BTNFACE));
    DrawToolBarBorders(dc, rect);
    // The plain bar's gripper (CBRS_GRIPPER) has room only under the plain bar's rule.
    if (!(m_dwExStyle & CBRS_EX_OWNBORDERS))
        CControlBar::DrawGripper(dc, rect);
    SECControlBar::DrawGripper(dc);
    if (m_btns.empty())
        return;
    SECBtnDrawData& data = DrawData();
    if (m_bUseTransparent)
        data.SetTransparentColor(m_clrTransparent, TRUE);
    int width = m_cxLargestBtn, height = m_cyLargestBtn;
    for (const auto& button : m_btns) {
        width = std::max(width, button->m_cx);
        height = std::max(height, button->m_cy);
    }
    if (!data.PrepareDraw(dc->m_hDC, width, height))
        return;
    for (const auto& button : m_btns)
        if (!(button->m_nStyle & TBBS_HIDDEN))
            button->Draw(dc->m_hDC, data);
    data.EndDraw();
}

void SECCustomToolBar::RelayoutAndRepaint()
{
    if (!m_hWnd)
        return;
    if (m_pDockSite)
        m_pDockSite->RecalcLayout();
    Invalidate(TRUE);
    UpdateWindow();
}

// ---- the press cycle

void SECCustomToolBar::PressButton(int index)
{
    UpdateButtonCmdUI(index);
    SECStdBtn* button = m_btns[index].get();
    if (!button->BtnPressDown(CPoint()))
        return; // refused (disabled), or a drop-down that acted on the press itself
    m_nPressed = index;
    button->Invalidate(FALSE);
    UpdateWindow();
    SetCapture();
    if (HWND owner = GetOwnerWindow())
        ::SendMessageW(owner, WM_SETMESSAGESTRING, button->m_nID, 0);
}

void SECCustomToolBar::OnLButtonDown(UINT keys, CPoint point)
{
    const int index = HitTest(point);
    if (index < 0 || CommandInProgress::Active() || ((m_btns[index]->m_nStyle & TBBS_DISABLED) && !AltHeld())) {
        SECControlBar::OnLButtonDown(keys, point);
        return;
    }
    PressButton(index);
}

void SECCustomToolBar::OnLButtonDblClk(UINT keys, CPoint point)
{
    const int index = HitTest(point);
    if (index < 0 || AltHeld() || (m_btns[index]->m_nStyle & TBBS_DISABLED) || CommandInProgress::Active()) {
        SECControlBar::OnLButtonDblClk(keys, point);
        return;
    }
    PressButton(index);
}

void SECCustomToolBar::OnMouseMove(UINT keys, CPoint point)
{
    if (CommandInProgress::Active()) {
        Default();
        return;
    }
    SECStdBtn* pressed = GetButton(m_nPressed);
    if (!pressed) {
        UpdateHotItem(TRUE);
        CControlBar::OnMouseMove(keys, point);
        return;
    }
    const DWORD before = pressed->m_nStyle;
    if (::GetCapture() == m_hWnd) {
        pressed->BtnPressMouseMove(point);
    } else {
        pressed->BtnPressCancel();
        m_nPressed = -1;
        if (HWND owner = GetOwnerWindow())
            ::SendMessageW(owner, WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    }
    if (pressed->m_nStyle != before) {
        pressed->Invalidate(FALSE);
        UpdateWindow();
    }
}

void SECCustomToolBar::OnLButtonUp(UINT keys, CPoint point)
{
    SECStdBtn* pressed = GetButton(m_nPressed);
    if (!pressed) {
        SECControlBar::OnLButtonUp(keys, point);
        return;
    }
    UINT command = 0;
    if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
        UpdateButtonCmdUI(m_nPressed);
        command = pressed->BtnPressUp(point);
    } else {
        pressed->m_nStyle &= ~TBBS_PRESSED;
    }
    HWND owner = GetOwnerWindow();
    if (owner)
        ::SendMessageW(owner, WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE, 0);
    UpdateButtonCmdUI(m_nPressed);
    pressed->Invalidate(FALSE);
    UpdateWindow();
    m_nPressed = -1;
    if (command && owner) {
        const HWND bar = m_hWnd;
        {
            CommandInProgress busy;
            ::SendMessageW(owner, WM_COMMAND, command, 0);
        }
        // A command that ran a modal box may have let the pointer leave meanwhile, unseen.
        if (::IsWindow(bar) && CWnd::FromHandlePermanent(bar) == this)
            RecheckHotItem();
    }
}

void SECCustomToolBar::OnCancelMode()
{
    Default();
    if (IsTracking())
        EndTracking();
    SECStdBtn* pressed = GetButton(m_nPressed);
    if (!pressed)
        return;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    pressed->BtnPressCancel();
    UpdateWindow();
    m_nPressed = -1;
}

// ---- hot tracking

void SECCustomToolBar::UpdateHotItem(BOOL updateNow)
{
    if (!IsFlat() || !m_hWnd || CommandInProgress::Active() || m_nPressed != -1)
        return;
    int candidate = -1;
    if (m_nTracking != -1) {
        if (m_nHot == -1 || m_nHot == m_nTracking)
            return;
        candidate = m_nTracking;
    } else if (::GetActiveWindow()) {
        POINT cursor;
        if (::GetCursorPos(&cursor) && ::WindowFromPoint(cursor) == m_hWnd) {
            CPoint client(cursor);
            ScreenToClient(&client);
            candidate = HitTest(client);
        }
    }
    if (const SECStdBtn* button = GetButton(candidate); button && (button->m_nStyle & TBBS_DISABLED))
        candidate = -1;
    SetHot(candidate, updateNow);
}

void SECCustomToolBar::SetHot(int index, BOOL updateNow)
{
    if (index == m_nHot)
        return;
    if (SECStdBtn* old = GetButton(m_nHot)) {
        old->m_nStyle &= ~SEC_TBBS_HOT;
        old->Invalidate();
    }
    if (index != -1)
        TrackPointerLeaving();
    m_nHot = index;
    if (SECStdBtn* hot = GetButton(index)) {
        hot->m_nStyle |= SEC_TBBS_HOT;
        hot->Invalidate();
    }
    if (updateNow)
        UpdateWindow();
}

void SECCustomToolBar::RecheckHotItem()
{
    UpdateHotItem(TRUE);
    if (m_nHot != -1)
        TrackPointerLeaving(); // the leave it waited for may have come and gone
}

LRESULT SECCustomToolBar::OnMouseLeave(WPARAM wParam, LPARAM lParam)
{
    UpdateHotItem(TRUE);
    return SECControlBar::OnMouseLeave(wParam, lParam);
}

// ---- menu buttons

void SECCustomToolBar::DropButtonMenu(SECStdBtn* button, UINT menuId, int popupIndex)
{
    SetTrackedButton(GetButtonIndex(button));
    button->SendNotify(SEC_TBN_DROPMENU, menuId, static_cast<UINT_PTR>(popupIndex));
}

void SECCustomToolBar::SetTrackedButton(int index)
{
    m_nTracking = GetButton(index) ? index : -1;
    if (m_nTracking != -1 && IsFlat())
        SetHot(m_nTracking, TRUE);
}

void SECCustomToolBar::EndTracking()
{
    if (SECStdBtn* tracked = GetButton(m_nTracking)) {
        tracked->m_nStyle &= ~TBBS_PRESSED;
        tracked->Invalidate();
    }
    m_nTracking = -1;
    SetHot(-1, FALSE);
    UpdateHotItem(TRUE);
}

// ---- other messages

void SECCustomToolBar::OnSysColorChange()
{
    Default();
    m_pBmpMgr->ReloadAll();
    Invalidate();
}

void SECCustomToolBar::OnWindowPosChanging(WINDOWPOS* position)
{
    Default();
    if (!(m_dwStyle & CBRS_SIZE_DYNAMIC) || (position->flags & SWP_NOSIZE))
        return;
    CRect window;
    GetWindowRect(&window);
    if (window.Width() != position->cx || window.Height() != position->cy)
        Invalidate(TRUE); // the buttons wrap anew
}

LRESULT SECCustomToolBar::OnAddButtons(WPARAM wParam, LPARAM lParam)
{
    return AddButtons(static_cast<int>(wParam), reinterpret_cast<const TBBUTTON*>(lParam));
}

LRESULT SECCustomToolBar::OnDeleteButton(WPARAM wParam, LPARAM)
{
    RemoveButton(static_cast<int>(wParam));
    return TRUE;
}
