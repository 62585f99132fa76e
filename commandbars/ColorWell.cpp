#include "commandbars/ColorWell.h"

#include "platform/base/MulDiv.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/mfc/CommonDialogs.h"

#include <algorithm>
#include <array>
#include <memory>

namespace divuzura::foundation {

IMPLEMENT_DYNAMIC(SECOtherButton, CButton)
IMPLEMENT_DYNAMIC(SECColorWell, CWnd)
IMPLEMENT_DYNAMIC(SECPopupColorWell, SECColorWell)
IMPLEMENT_DYNAMIC(SECWellButton, SECOwnerDrawButton)

BEGIN_MESSAGE_MAP(SECOtherButton, CButton)
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_WM_KEYDOWN()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(SECColorWell, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_KEYDOWN()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_SYSCOLORCHANGE()
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCode)
    ON_BN_CLICKED(ID_SEC_OTHERCOLOR, OnOtherClicked)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(SECPopupColorWell, SECColorWell)
    ON_WM_KEYDOWN()
    ON_WM_LBUTTONDOWN()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(SECWellButton, SECOwnerDrawButton)
    ON_MESSAGE(WM_SEC_COLORSELECTED, OnColorSelected)
    ON_MESSAGE(WM_SEC_OTHERCOLOR, OnOtherColor)
END_MESSAGE_MAP()

namespace {

// The grid's colours when the system offers no palette (this one has none).
constexpr std::array<COLORREF, 20> kDefaultColours {
    RGB(0x00, 0x00, 0x00), RGB(0x80, 0x00, 0x00), RGB(0x00, 0x80, 0x00), RGB(0x80, 0x80, 0x00),
    RGB(0x00, 0x00, 0x80), RGB(0x80, 0x00, 0x80), RGB(0x00, 0x80, 0x80), RGB(0xC0, 0xC0, 0xC0),
    RGB(0xC0, 0xDC, 0xC0), RGB(0xA6, 0xCA, 0xF0), RGB(0xFF, 0xFB, 0xF0), RGB(0xA0, 0xA0, 0xA4),
    RGB(0x80, 0x80, 0x80), RGB(0xFF, 0x00, 0x00), RGB(0x00, 0xFF, 0x00), RGB(0xFF, 0xFF, 0x00),
    RGB(0x00, 0x00, 0xFF), RGB(0xFF, 0x00, 0xFF), RGB(0x00, 0xFF, 0xFF), RGB(0xFF, 0xFF, 0xFF),
};
// The custom cell sits this much lower than the row pitch gives.
constexpr int kCustomDrop = 5;

bool IsArrow(UINT key) { return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN; }

} // namespace

// ---- the Other button

SECColorWell* SECOtherButton::Well() const
{
    return dynamic_cast<SECColorWell*>(GetParent());
}

void SECOtherButton::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    SECColorWell* well = Well();
    if (!well || (key != VK_TAB && !IsArrow(key))) {
        Default();
        return;
    }
    auto* popup = dynamic_cast<SECPopupColorWell*>(well);
    if (popup || key != VK_TAB) {
        // Back to the grid, which moves on from there.
        well->SetFocus();
        if (key != VK_TAB)
            well->SendMessage(WM_KEYDOWN, key, MAKELPARAM(repeat, flags));
        return;
    }
    // Tab leaves the well for the dialog's next control; Shift+Tab returns to the grid.
    const bool back = ::GetKeyState(VK_SHIFT) < 0;
    CWnd* dialog = well->GetParent();
    HWND next = back || !dialog ? well->m_hWnd : ::GetNextDlgTabItem(dialog->m_hWnd, well->m_hWnd, FALSE);
    ::SetFocus(next ? next : well->m_hWnd);
}

void SECOtherButton::OnKillFocus(CWnd* next)
{
    Default();
    auto* popup = dynamic_cast<SECPopupColorWell*>(Well());
    if (popup && popup->m_hWnd && (!next || next->m_hWnd != popup->m_hWnd))
        popup->DestroyWindow();
}

// ---- the well

SECColorWell::SECColorWell() = default;

SECColorWell::~SECColorWell()
{
    if (m_hWnd)
        DestroyWindow();
    delete m_pOther;
}

void SECColorWell::SetDefaultGrid()
{
    m_nColumns = 4;
    m_nRows = 5;
}

void SECColorWell::Reset()
{
    SetDefaultGrid();
    m_nMarginX = m_nMarginY = 2;
    m_selected = CPoint(0, 0);
    m_bCustomShown = FALSE;
}

void SECColorWell::CreateColorPalette()
{
    const size_t cells = static_cast<size_t>(m_nRows * m_nColumns);
    m_colours.assign(cells + 1, RGB(0, 0, 0));
    std::copy_n(kDefaultColours.begin(), std::min(cells, kDefaultColours.size()), m_colours.begin());
    CustomizeColors(m_colours.data(), static_cast<int>(cells));
    m_colours.back() = RGB(0, 0, 0);
    m_bCustomShown = FALSE;
}

CRect SECColorWell::CalcWindowRect(CWnd* parent, int x, int y, BOOL convert)
{
    if (dynamic_cast<CDialog*>(parent)) {
        CRect units(x, y, x + 10, y + 10);
        ::MapDialogRect(parent->m_hWnd, &units);
        m_cell = CSize(units.Width(), units.Height());
        if (convert)
            x = units.left, y = units.top;
    } else {
        const LONG base = ::GetDialogBaseUnits();
        m_cell = CSize(LOWORD(base) * 5 / 2, HIWORD(base) * 5 / 4);
        if (convert)
            x = ::MulDiv(x, LOWORD(base), 4), y = ::MulDiv(y, HIWORD(base), 8);
    }
    int width = m_nColumns * m_cell.cx + 2 * (m_nMarginX + m_nColumns) - 2;
    int height = m_nRows * m_cell.cy + 2 * (m_nMarginY + m_nRows) - 2;
    if (m_bShowOther)
        height += m_cell.cy + 2 + 6;
    return CRect(x, y, x + width, y + height);
}

LPCWSTR SECColorWell::RegisterClass() const
{
    return AfxRegisterWndClass(GetClassStyle(), ::LoadCursorW(nullptr, IDC_ARROW), ::GetSysColorBrush(COLOR_BTNFACE));
}

BOOL SECColorWell::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id, BOOL showOther, BOOL convert)
{
    if (!parent || m_hWnd)
        return FALSE;
    Reset();
    m_bShowOther = showOther;
    if (style & SEC_WELL_POPUP)
        m_nMarginX = m_nMarginY = 4;
    if (HasCellMargin())
        ++m_nMarginX, ++m_nMarginY;
    const CRect place = CalcWindowRect(parent, rect.left, rect.top, convert);
    CreateColorPalette();
    if (!CWnd::CreateEx(0, RegisterClass(), nullptr, style | WS_CHILD | WS_CLIPCHILDREN, place, parent, id))
        return FALSE;
    if (showOther && !CreateOtherButton()) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

BOOL SECColorWell::CreateOtherButton()
{
    CString caption;
    if (!caption.LoadString(IDS_SEC_OTHERCOLOR))
        caption = L"&Other...";
    CRect client;
    GetClientRect(&client);
    const int height = m_cell.cy + 2;
    const CRect place(m_nMarginX, client.bottom - m_nMarginY - height, client.right - m_nMarginX, client.bottom - m_nMarginY);
    auto button = std::make_unique<SECOtherButton>();
    if (!button->Create(caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, place, this, ID_SEC_OTHERCOLOR))
        return FALSE;
    // The parent's font, as the dialog's own buttons have; the interface font without one.
    CWnd* parent = GetParent();
    LRESULT font = parent ? parent->SendMessage(WM_GETFONT) : 0;
    if (!font)
        font = reinterpret_cast<LRESULT>(::GetStockObject(DEFAULT_GUI_FONT));
    button->SendMessage(WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    m_pOther = button.release();
    return TRUE;
}

CRect SECColorWell::CellRect(int column, int row) const
{
    CRect rect(CPoint(m_nMarginX + (m_cell.cx + 2) * column, m_nMarginY + (m_cell.cy + 2) * row), m_cell);
    if (IsCustomCell(CPoint(column, row)))
        rect.OffsetRect(0, kCustomDrop);
    return rect;
}

CPoint SECColorWell::CellFromPoint(CPoint point) const
{
    for (int column = 0; column < m_nColumns; ++column) {
        for (int row = 0; row < m_nRows; ++row) {
            CRect rect = CellRect(column, row);
            rect.InflateRect(1, 1);
            if (rect.PtInRect(point))
                return CPoint(column, row);
        }
    }
    if (m_bCustomShown) {
        CRect rect = CellRect(CustomCell().x, CustomCell().y);
        rect.InflateRect(1, 1);
        if (rect.PtInRect(point))
            return CustomCell();
    }
    return CPoint(-1, -1);
}

COLORREF SECColorWell::GetColor() const
{
    if (m_colours.empty())
        return RGB(0, 0, 0);
    const size_t index = IsCustomCell(m_selected) ? m_colours.size() - 1 : static_cast<size_t>(m_selected.y * m_nColumns + m_selected.x);
    return m_colours[std::min(index, m_colours.size() - 1)];
}

void SECColorWell::InvalidateCell(CPoint cell)
{
    if (!m_hWnd)
        return;
    CRect rect = CellRect(cell.x, cell.y);
    rect.InflateRect(1, 1);
    InvalidateRect(&rect, FALSE);
}

void SECColorWell::NotifyColor()
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_SEC_COLORSELECTED, static_cast<WPARAM>(GetDlgCtrlID()), static_cast<LPARAM>(GetColor()));
}

void SECColorWell::SelectCell(int column, int row, SECCellSelect)
{
    InvalidateCell(m_selected);
    m_selected = CPoint(column, row);
    InvalidateCell(m_selected);
    NotifyColor();
}

BOOL SECColorWell::SelectColor(COLORREF colour)
{
    const size_t cells = static_cast<size_t>(m_nRows * m_nColumns);
    const auto found = std::find(m_colours.begin(), m_colours.begin() + static_cast<std::ptrdiff_t>(std::min(cells, m_colours.size())), colour);
    CPoint cell;
    if (found != m_colours.begin() + static_cast<std::ptrdiff_t>(std::min(cells, m_colours.size()))) {
        const int index = static_cast<int>(found - m_colours.begin());
        cell = CPoint(index % m_nColumns, index / m_nColumns);
    } else if (m_bShowOther && !m_colours.empty()) {
        m_colours.back() = colour;
        cell = CustomCell();
        if (!m_bCustomShown) {
            // Room for the custom cell beside the Other button, once.
            m_bCustomShown = TRUE;
            if (m_pOther && m_pOther->m_hWnd) {
                CRect place;
                m_pOther->GetWindowRect(&place);
                ScreenToClient(&place);
                place.right -= m_cell.cx + 2;
                m_pOther->MoveWindow(&place);
            }
        }
    } else {
        return FALSE;
    }
    InvalidateCell(m_selected);
    m_selected = cell;
    InvalidateCell(m_selected);
    return TRUE;
}

CPoint SECColorWell::CellAfterKey(UINT key) const
{
    const CPoint custom = CustomCell();
    const CPoint first(0, 0), last(m_nColumns - 1, m_nRows - 1);
    const CPoint cell = m_selected;
    const bool onCustom = IsCustomCell(cell);
    switch (key) {
    case VK_LEFT:
        if (onCustom)
            return last;
        if (cell.x > 0)
            return CPoint(cell.x - 1, cell.y);
        if (cell.y > 0)
            return CPoint(m_nColumns - 1, cell.y - 1);
        return m_bCustomShown ? custom : last;
    case VK_RIGHT:
        if (onCustom)
            return first;
        if (cell.x < m_nColumns - 1)
            return CPoint(cell.x + 1, cell.y);
        if (cell.y < m_nRows - 1)
            return CPoint(0, cell.y + 1);
        return m_bCustomShown ? custom : first;
    case VK_UP:
        if (onCustom)
            return CPoint(custom.x, m_nRows - 1);
        if (cell.y > 0)
            return CPoint(cell.x, cell.y - 1);
        return m_bCustomShown && cell.x == custom.x ? custom : CPoint(cell.x, m_nRows - 1);
    case VK_DOWN:
        if (onCustom)
            return CPoint(custom.x, 0);
        if (cell.y < m_nRows - 1)
            return CPoint(cell.x, cell.y + 1);
        return m_bCustomShown && cell.x == custom.x ? custom : CPoint(cell.x, 0);
    default:
        return cell;
    }
}

BOOL SECColorWell::ChooseOtherColor(COLORREF& colour, CWnd* owner) const
{
    CColorDialog dialog(colour, m_dwColorDialogFlags, owner);
    if (m_pCustomColors)
        dialog.m_cc.lpCustColors = m_pCustomColors;
    if (dialog.DoModal() != IDOK)
        return FALSE;
    colour = dialog.GetColor();
    return TRUE;
}

void SECColorWell::OnOther()
{
    COLORREF colour = GetColor();
    if (ChooseOtherColor(colour, GetParent()) && SelectColor(colour))
        NotifyColor();
}

// ---- drawing

void SECColorWell::DrawCell(CDC* dc, int column, int row)
{
    CRect rect = CellRect(column, row);
    const size_t index = IsCustomCell(CPoint(column, row)) ? m_colours.size() - 1 : static_cast<size_t>(row * m_nColumns + column);
    dc->DrawEdge(&rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    dc->FillSolidRect(&rect, m_colours[index]);
}

void SECColorWell::DrawSelectedCell(CDC* dc, int column, int row)
{
    CRect rect = CellRect(column, row);
    rect.InflateRect(1, 1);
    for (COLORREF frame : { RGB(0, 0, 0), RGB(0xFF, 0xFF, 0xFF), RGB(0, 0, 0) }) {
        dc->Draw3dRect(&rect, frame, frame);
        rect.DeflateRect(1, 1);
    }
    dc->FillSolidRect(&rect, GetColor());
}

void SECColorWell::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    fln::gdi::MemoryDC offscreen(paint, client.Width(), client.Height());
    CDC* dc = offscreen.valid() ? CDC::FromHandle(offscreen) : &paint;
    dc->FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
    for (int row = 0; row < m_nRows; ++row)
        for (int column = 0; column < m_nColumns; ++column)
            DrawCell(dc, column, row);
    if (m_bCustomShown)
        DrawCell(dc, CustomCell().x, CustomCell().y);
    if (m_selected.x >= 0)
        DrawSelectedCell(dc, m_selected.x, m_selected.y);
    const COLORREF frame = ::GetSysColor(m_bFocus ? COLOR_WINDOWFRAME : COLOR_BTNFACE);
    dc->Draw3dRect(&client, frame, frame);
    if (offscreen.valid())
        offscreen.CopyTo(paint, 0, 0);
}

// ---- input

LRESULT SECColorWell::OnGetDlgCode(WPARAM, LPARAM)
{
    return DLGC_WANTARROWS | DLGC_WANTCHARS | (m_bShowOther ? DLGC_WANTTAB : 0);
}

void SECColorWell::OnKeyDown(UINT key, UINT, UINT)
{
    if (key == VK_TAB) {
        if (::GetKeyState(VK_SHIFT) < 0) {
            if (CWnd* parent = GetParent())
                ::SetFocus(::GetNextDlgTabItem(parent->m_hWnd, m_hWnd, TRUE));
        } else if (m_pOther) {
            m_pOther->SetFocus();
        }
        return;
    }
    if (!IsArrow(key)) {
        Default();
        return;
    }
    const CPoint next = CellAfterKey(key);
    SelectCell(next.x, next.y, SECCellSelect::Key);
}

void SECColorWell::OnLButtonDown(UINT, CPoint point)
{
    SetFocus();
    const CPoint cell = CellFromPoint(point);
    if (cell.x >= 0)
        SelectCell(cell.x, cell.y, SECCellSelect::Click);
}

void SECColorWell::OnMouseMove(UINT, CPoint point)
{
    if (!m_bPopupCapture)
        return;
    const CPoint cell = CellFromPoint(point);
    if (cell.x >= 0 && cell != m_selected)
        SelectCell(cell.x, cell.y, SECCellSelect::Hover);
}

void SECColorWell::OnSetFocus(CWnd*)
{
    m_bFocus = TRUE;
    Invalidate(FALSE);
}

void SECColorWell::OnKillFocus(CWnd*)
{
    m_bFocus = FALSE;
    Invalidate(FALSE);
}

void SECColorWell::OnSysColorChange()
{
    Default();
    Invalidate(FALSE);
}

// ---- the pop-up

BOOL SECPopupColorWell::CreatePopup(DWORD style, const RECT& buttonRect, CWnd* parent, BOOL showOther, SECWellButton* notify)
{
    if (m_hWnd)
        return FALSE;
    Reset();
    m_bShowOther = showOther;
    m_nMarginX = m_nMarginY = 4;
    m_rcButton = buttonRect;
    m_pNotify = notify;
    CRect place = CalcWindowRect(parent, 0, 0, FALSE);
    const CSize size = place.Size();
    CPoint at(buttonRect.left, buttonRect.bottom);
    const int screenRight = ::GetSystemMetrics(SM_CXSCREEN), screenBottom = ::GetSystemMetrics(SM_CYSCREEN);
    if (at.x + size.cx > screenRight)
        at.x = buttonRect.right - size.cx;
    if (at.y + size.cy > screenBottom)
        at.y = buttonRect.top - size.cy;
    CreateColorPalette();
    HWND owner = parent ? parent->m_hWnd : nullptr;
    if (!CWnd::CreateEx(0, RegisterClass(), nullptr, style | WS_POPUP | WS_CLIPCHILDREN, at.x, at.y, size.cx, size.cy, owner, nullptr))
        return FALSE;
    if (showOther && !CreateOtherButton()) {
        DestroyWindow();
        return FALSE;
    }
    m_bActive = TRUE;
    SetFocus();
    SetCapture();
    m_bPopupCapture = TRUE;
    return TRUE;
}

void SECPopupColorWell::Close()
{
    m_bPopupCapture = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (m_hWnd)
        DestroyWindow();
}

void SECPopupColorWell::SelectCell(int column, int row, SECCellSelect how)
{
    InvalidateCell(m_selected);
    m_selected = CPoint(column, row);
    InvalidateCell(m_selected);
    if (how != SECCellSelect::Click)
        return;
    const COLORREF colour = GetColor();
    SECWellButton* notify = m_pNotify;
    Close();
    if (notify && notify->m_hWnd)
        notify->SendMessage(WM_SEC_COLORSELECTED, 0, static_cast<LPARAM>(colour));
}

void SECPopupColorWell::OnOther()
{
    if (m_pNotify && m_pNotify->m_hWnd)
        m_pNotify->PostMessage(WM_SEC_OTHERCOLOR);
    Close();
}

void SECPopupColorWell::OnKeyDown(UINT key, UINT repeat, UINT flags)
{
    switch (key) {
    case VK_TAB:
        if (m_pOther)
            m_pOther->SetFocus();
        return;
    case VK_RETURN:
    case VK_SPACE:
        SelectCell(m_selected.x, m_selected.y, SECCellSelect::Click);
        return;
    case VK_ESCAPE:
        Close();
        return;
    default:
        SECColorWell::OnKeyDown(key, repeat, flags);
    }
}

void SECPopupColorWell::OnLButtonDown(UINT keys, CPoint point)
{
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point)) {
        if (m_pOther && m_pOther->m_hWnd) {
            CRect other;
            m_pOther->GetWindowRect(&other);
            ScreenToClient(&other);
            if (other.PtInRect(point)) {
                OnOther();
                return;
            }
        }
        const CPoint cell = CellFromPoint(point);
        if (cell.x >= 0)
            SelectCell(cell.x, cell.y, SECCellSelect::Click);
        return;
    }
    CPoint screen = point;
    ClientToScreen(&screen);
    if (m_rcButton.PtInRect(screen))
        return;
    // A click elsewhere closes the pop-up and goes where it was aimed.
    Close();
    if (HWND target = ::WindowFromPoint(screen)) {
        CPoint local = screen;
        ::ScreenToClient(target, &local);
        ::PostMessageW(target, WM_LBUTTONDOWN, keys, MAKELPARAM(local.x, local.y));
    }
}

void SECPopupColorWell::OnKillFocus(CWnd* next)
{
    SECColorWell::OnKillFocus(next);
    if (next && m_pOther && next->m_hWnd == m_pOther->m_hWnd)
        return;
    Close();
}

// ---- the well button

SECWellButton::SECWellButton() = default;

SECWellButton::~SECWellButton()
{
    delete m_pPopup;
}

void SECWellButton::SetColor(COLORREF colour)
{
    m_colour = colour;
    if (m_hWnd)
        Invalidate(FALSE);
}

void SECWellButton::OnClick()
{
    if (m_pPopup && m_pPopup->IsActive())
        return;
    m_bMouseInside = FALSE;
    OpenPopup();
}

BOOL SECWellButton::OpenPopup()
{
    delete m_pPopup;
    m_pPopup = new SECPopupColorWell;
    CRect rect;
    GetWindowRect(&rect);
    if (!m_pPopup->CreatePopup(WS_VISIBLE | SEC_WELL_POPUP, rect, GetParent(), m_bShowOther, this))
        return FALSE;
    m_pPopup->SetColorDialogFlags(m_dwColorDialogFlags);
    m_pPopup->SetCustomColors(m_pCustomColors);
    m_pPopup->SelectColor(m_colour);
    return TRUE;
}

LRESULT SECWellButton::OnColorSelected(WPARAM, LPARAM colour)
{
    SetColor(static_cast<COLORREF>(colour));
    UpdateWindow();
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_SEC_COLORSELECTED, static_cast<WPARAM>(GetDlgCtrlID()), colour);
    return 0;
}

LRESULT SECWellButton::OnOtherColor(WPARAM, LPARAM)
{
    CColorDialog dialog(m_colour, CC_RGBINIT | GetColorDialogFlags(), GetParent());
    if (m_pCustomColors)
        dialog.m_cc.lpCustColors = m_pCustomColors;
    if (dialog.DoModal() == IDOK)
        SendMessage(WM_SEC_COLORSELECTED, 0, static_cast<LPARAM>(dialog.GetColor()));
    return 0;
}

void SECWellButton::DrawContent(CDC* dc, const DRAWITEMSTRUCT& item, const CRect& area)
{
    CRect content = area;
    if (!DrawsFocusFrame(item))
        content.DeflateRect(1, 1);
    // The drop-down arrow at the right, behind an etched line.
    const int middle = content.CenterPoint().y;
    const POINT arrow[] = { { content.right - 7, middle - 1 }, { content.right - 3, middle - 1 }, { content.right - 5, middle + 1 } };
    CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    CBrush fill(RGB(0, 0, 0));
    CPen* oldPen = dc->SelectObject(&black);
    CBrush* oldBrush = dc->SelectObject(&fill);
    dc->Polygon(arrow, 3);
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
    dc->FillSolidRect(content.right - 10, content.top + 2, 1, content.Height() - 4, ::GetSysColor(COLOR_BTNSHADOW));
    dc->FillSolidRect(content.right - 9, content.top + 2, 1, content.Height() - 4, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    if (item.itemState & ODS_DISABLED)
        return;
    CRect swatch(content.left + 3, content.top + 2, content.right - 13, content.bottom - 2);
    dc->Draw3dRect(&swatch, RGB(0, 0, 0), RGB(0, 0, 0));
    swatch.DeflateRect(1, 1);
    dc->FillSolidRect(&swatch, m_colour);
}

void SECWellButton::DrawFocusRect(CDC* dc, const CRect& rect)
{
    CRect focus = rect;
    focus.DeflateRect(1, 1);
    dc->DrawFocusRect(&focus);
}

} // namespace divuzura::foundation
