#include "framework/Workbook.h"

#include "framework/HlsColor.h"
#include "platform/comctl/CommCtrl.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/DockContext.h"
#include "platform/mfc/WinApp.h"
#include "platform/user/ResourceHandles.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECWorkbookWnd, SECMDIFrameWnd)
IMPLEMENT_DYNCREATE(SECWorksheetWnd, SECMDIChildWnd)
IMPLEMENT_DYNCREATE(SECControlBarWorksheet, SECWorksheetWnd)

namespace {

constexpr int kIconSize = 16;

bool IsVisibleSheet(const SECWorksheetWnd* sheet)
{
    return sheet->m_hWnd && (sheet->GetStyle() & WS_VISIBLE);
}

} // namespace

// ---- the tab row's arithmetic

std::array<POINT, 7> SheetTabPolygon(int place, bool front, int left, int bottom, const SheetTabMetrics& m)
{
    int a = front ? 1 : 0;
    int grow = m.flatLook ? 0 : m.activeGrow * a;
    int drop = m.flatLook ? 0 : m.activeDrop * a;
    std::array<POINT, 7> p {};
    p[0] = { place * m.tabWidth - grow / 2 + left, bottom + 4 };
    p[1] = { p[0].x, p[0].y + m.tabHeight - m.cornerCut };
    p[2] = { p[0].x + m.cornerCut, p[1].y + m.cornerCut + drop };
    p[3] = { p[2].x - 2 * m.cornerCut + grow + m.tabWidth, p[2].y };
    p[4] = { p[3].x + m.cornerCut, p[1].y };
    p[5] = { p[4].x, p[0].y };
    p[6] = p[0];
    return p;
}

int SheetTabWidth(int clientWidth, int sheets, int maxWidth)
{
    return sheets > 0 ? std::min((clientWidth + 5) / sheets, maxWidth) : maxWidth;
}

std::wstring ShortenSheetLabel(std::wstring label, int width, const std::function<int(const std::wstring&)>& measure)
{
    while (label.size() >= 4 && measure(label) > width) {
        label.pop_back();
        label.replace(label.size() - 3, 3, L"...");
    }
    return label;
}

// ---- the client

LRESULT SECWorkbookClientWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    auto tellWorkbook = [&] { ::SendMessageW(::GetParent(m_hWnd), WM_SECSHEETCHANGED, 0, 0); };
    switch (message) {
    case WM_SECSHEETMENU:
        tellWorkbook();
        return 0;
    case WM_MDISETMENU: {
        bool onlyTell = wParam == static_cast<WPARAM>(-1) && lParam == static_cast<LPARAM>(-1);
        LRESULT result = onlyTell ? 0 : CWnd::WindowProc(message, wParam, lParam);
        tellWorkbook();
        return result;
    }
    case WM_WINDOWPOSCHANGING: {
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_NOSIZE) && !(position->flags & SWP_NOMOVE)) {
            position->x += m_marginLeft;
            position->y += m_marginTop;
            position->cx = std::max(0, position->cx - m_marginLeft - m_marginRight);
            position->cy = std::max(0, position->cy - m_marginTop - m_marginBottom);
        }
        break;
    }
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- the workbook

BEGIN_MESSAGE_MAP(SECWorkbookWnd, SECMDIFrameWnd)
    ON_WM_PAINT()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_MESSAGE(WM_SECSHEETCHANGED, OnSheetChanged)
END_MESSAGE_MAP()

SECWorkbookWnd::SECWorkbookWnd()
{
    m_pMDIFloatFrameClass = RUNTIME_CLASS(SECControlBarWorksheet);
}

BOOL SECWorkbookWnd::OnCreateClient(LPCREATESTRUCT create, CCreateContext* context)
{
    if (!SECMDIFrameWnd::OnCreateClient(create, context))
        return FALSE;
    m_pClient = new SECWorkbookClientWnd;
    m_pClient->SubclassWindow(m_hWndMDIClient);
    HGDIOBJ gui = ::GetStockObject(DEFAULT_GUI_FONT);
    LOGFONTW font {};
    ::GetObjectW(gui ? gui : ::GetStockObject(SYSTEM_FONT), sizeof font, &font);
    m_tabFont.CreateFontIndirect(&font);
    m_highlightPen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    m_blackPen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    m_shadowPen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    m_facePen.CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void SECWorkbookWnd::SetTabsVisible(BOOL visible)
{
    if (m_bTabsVisible == visible)
        return;
    m_bTabsVisible = visible;
    RecalcLayout();
    Invalidate();
}

void SECWorkbookWnd::SetFlatLook(BOOL flat)
{
    m_metrics.flatLook = flat != FALSE;
    Invalidate();
}

void SECWorkbookWnd::GetTabAreaRect(CRect& rect) const
{
    rect.SetRectEmpty();
    if (!m_hWndMDIClient)
        return;
    ::GetWindowRect(m_hWndMDIClient, &rect);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    if (m_pClient) {
        rect.left -= m_pClient->m_marginLeft;
        rect.top -= m_pClient->m_marginTop;
        rect.right += m_pClient->m_marginRight;
        rect.bottom += m_pClient->m_marginBottom;
    }
}

BOOL SECWorkbookWnd::CanActivateByTab(SECWorksheetWnd*) const
{
    return TRUE;
}

int SECWorkbookWnd::PlaceOf(const SECWorksheetWnd* sheet) const
{
    int hidden = 0;
    for (int i = 0; i < sheet->m_nTabIndex && i < static_cast<int>(m_sheets.size()); ++i)
        hidden += !IsVisibleSheet(m_sheets[static_cast<size_t>(i)]);
    return sheet->m_nTabIndex - hidden;
}

SECWorksheetWnd* SECWorkbookWnd::ActiveSheet()
{
    return dynamic_cast<SECWorksheetWnd*>(GetActiveFrame());
}

bool SECWorkbookWnd::IsFront(const SECWorksheetWnd* sheet) const
{
    return sheet->m_bPressed || const_cast<SECWorkbookWnd*>(this)->ActiveSheet() == sheet;
}

int SECWorkbookWnd::TabRowTop() const
{
    CRect client;
    ::GetWindowRect(m_hWndMDIClient, &client);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&client), 2);
    return client.bottom;
}

void SECWorkbookWnd::GetTabPolygon(SECWorksheetWnd* sheet, std::array<POINT, 7>& points) const
{
    CRect client;
    ::GetWindowRect(m_hWndMDIClient, &client);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&client), 2);
    points = SheetTabPolygon(PlaceOf(sheet), IsFront(sheet), client.left, client.bottom, m_metrics);
}

CString SECWorkbookWnd::GetSheetLabel(SECWorksheetWnd* sheet) const
{
    CString label;
    if (sheet && sheet->m_hWnd) {
        wchar_t text[256] = {};
        ::GetWindowTextW(sheet->m_hWnd, text, 256);
        label = text;
    }
    return label;
}

void SECWorkbookWnd::GetLabelRect(const std::array<POINT, 7>& p, int iconSize, CRect& rect) const
{
    rect.SetRect(p[2].x + iconSize + 3, p[0].y, p[4].x - 2, p[3].y);
}

HICON SECWorkbookWnd::GetSheetIcon(SECWorksheetWnd* sheet) const
{
    return m_bShowIcons && sheet ? sheet->m_hIcon : nullptr;
}

void SECWorkbookWnd::SetSheetIcon(SECWorksheetWnd* sheet, HICON icon, BOOL redraw)
{
    if (!sheet || sheet->m_hIcon == icon)
        return;
    if (sheet->m_hIcon)
        ::DestroyIcon(sheet->m_hIcon);
    sheet->m_hIcon = icon;
    if (redraw)
        InvalidateTab(sheet);
}

CRect SECWorkbookWnd::LabelRectOf(SECWorksheetWnd* sheet) const
{
    std::array<POINT, 7> points;
    GetTabPolygon(sheet, points);
    CRect rect;
    GetLabelRect(points, GetSheetIcon(sheet) ? kIconSize : 0, rect);
    return rect;
}

BOOL SECWorkbookWnd::FitsLabel(SECWorksheetWnd* sheet) const
{
    CString label = GetSheetLabel(sheet);
    CClientDC dc(const_cast<SECWorkbookWnd*>(this));
    CFont* old = dc.SelectObject(const_cast<CFont*>(&m_tabFont));
    bool fits = dc.GetTextExtent(label).cx <= LabelRectOf(sheet).Width();
    dc.SelectObject(old);
    return fits;
}

bool SECWorkbookWnd::RecomputeTabWidth()
{
    if (m_sheets.empty() || !m_hWndMDIClient)
        return false;
    CRect client;
    ::GetWindowRect(m_hWndMDIClient, &client);
    int width = SheetTabWidth(client.Width(), static_cast<int>(m_sheets.size()), m_maxTabWidth);
    bool changed = width != m_metrics.tabWidth;
    m_metrics.tabWidth = width;
    return changed;
}

void SECWorkbookWnd::InvalidateTab(SECWorksheetWnd* sheet, BOOL following)
{
    if (!m_bTabsVisible || !sheet || !m_hWnd)
        return;
    CRect client;
    ::GetWindowRect(m_hWndMDIClient, &client);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&client), 2);
    SheetTabMetrics plain = m_metrics;
    int x0 = SheetTabPolygon(PlaceOf(sheet), false, client.left, client.bottom, plain)[0].x;
    int top = client.bottom + (m_metrics.flatLook ? 3 : 4);
    CRect frame;
    GetClientRect(&frame);
    CRect area(x0 - 2, top, following ? frame.right : x0 + m_metrics.tabWidth + 4, top + m_metrics.tabHeight + 4);
    InvalidateRect(&area, TRUE);
}

void SECWorkbookWnd::InvalidateTabRow()
{
    if (!m_bTabsVisible || !m_hWnd)
        return;
    int top = TabRowTop() + (m_metrics.flatLook ? 3 : 4);
    CRect frame;
    GetClientRect(&frame);
    CRect area(frame.left, top, frame.right, top + m_metrics.tabHeight + 4);
    InvalidateRect(&area, TRUE);
}

void SECWorkbookWnd::AddSheet(SECWorksheetWnd* sheet)
{
    if (!sheet || std::find(m_sheets.begin(), m_sheets.end(), sheet) != m_sheets.end())
        return;
    m_sheets.push_back(sheet);
    sheet->m_nTabIndex = static_cast<int>(m_sheets.size()) - 1;
    bool widthChanged = RecomputeTabWidth();
    if (m_sheets.size() == 1) {
        EnableToolTips(TRUE);
        if (m_bTabsVisible)
            Invalidate();
    } else if (widthChanged) {
        InvalidateTabRow();
    } else {
        InvalidateTab(sheet);
    }
}

void SECWorkbookWnd::RemoveSheet(SECWorksheetWnd* sheet)
{
    auto it = std::find(m_sheets.begin(), m_sheets.end(), sheet);
    if (it == m_sheets.end())
        return;
    // Before the renumbering: the removed tab's place, to repaint it and what follows.
    InvalidateTab(sheet, TRUE);
    m_sheets.erase(it);
    if (m_hWndMDIClient) {
        for (size_t i = 0; i < m_sheets.size(); ++i)
            m_sheets[i]->m_nTabIndex = static_cast<int>(i);
    }
    sheet->m_nTabIndex = -1;
    if (m_sheets.empty()) {
        if (m_bTabsVisible && m_hWnd)
            Invalidate();
        return;
    }
    if (RecomputeTabWidth())
        InvalidateTabRow();
}

void SECWorkbookWnd::RecalcLayout(BOOL notify)
{
    // The tab row lies under the client, inside a border five pixels wide.
    m_rectBorder = m_bTabsVisible ? RECT { 5, 5, 5, 4 + m_metrics.tabHeight + m_metrics.activeDrop + 2 } : RECT {};
    SECMDIFrameWnd::RecalcLayout(notify);
    if (!m_bTabsVisible || !m_hWndMDIClient)
        return;
    CRect client;
    ::GetWindowRect(m_hWndMDIClient, &client);
    if (client != m_lastClientRect) {
        m_lastClientRect = client;
        RecomputeTabWidth();
        Invalidate();
    }
}

COLORREF SECWorkbookWnd::FlatBackground() const
{
    WORD hue = 0, lightness = 0, saturation = 0;
    RGBtoHLS(::GetSysColor(COLOR_BTNHIGHLIGHT), hue, lightness, saturation);
    return HLStoRGB(hue, lightness, static_cast<WORD>(std::min(saturation + 100, HLSMAX)));
}

void SECWorkbookWnd::DrawSheetTab(CDC* dc, SECWorksheetWnd* sheet)
{
    std::array<POINT, 7> p;
    GetTabPolygon(sheet, p);
    bool front = IsFront(sheet);
    if (m_metrics.flatLook) {
        if (!front) {
            CPen separator(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
            CPen* old = dc->SelectObject(&separator);
            dc->MoveTo(p[4].x - 1, p[0].y + 3);
            dc->LineTo(p[4].x - 1, p[4].y - 3);
            dc->SelectObject(old);
            return;
        }
        CRect face(p[0].x, p[0].y - 1, p[4].x - 1, p[4].y);
        dc->FillSolidRect(&face, ::GetSysColor(COLOR_BTNFACE));
        CPen light(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT)), frame(PS_SOLID, 1, ::GetSysColor(COLOR_WINDOWFRAME)),
            background(PS_SOLID, 1, FlatBackground());
        CPen* old = dc->SelectObject(&light);
        dc->MoveTo(p[0].x, p[0].y - 1);
        dc->LineTo(p[0].x, p[4].y + 1);
        dc->SelectObject(&frame);
        dc->MoveTo(p[0].x + 1, p[4].y);
        dc->LineTo(p[4].x - 1, p[4].y);
        dc->LineTo(p[4].x - 1, p[0].y - 2);
        dc->SelectObject(&background);
        dc->MoveTo(p[0].x - 1, p[0].y + 3);
        dc->LineTo(p[0].x - 1, p[4].y - 3);
        dc->SelectObject(old);
        return;
    }
    CBrush face(::GetSysColor(COLOR_BTNFACE));
    CBrush* oldBrush = dc->SelectObject(&face);
    CPen* oldPen = dc->SelectObject(&m_facePen);
    dc->Polygon(p.data(), 7);
    dc->SelectObject(&m_shadowPen);
    dc->MoveTo(p[1].x + 1, p[1].y - 1);
    dc->LineTo(p[2].x, p[2].y - 2);
    dc->LineTo(p[3].x, p[3].y - 2);
    dc->LineTo(p[4].x - 2, p[4].y - 1);
    dc->LineTo(p[5].x - 2, p[5].y);
    dc->LineTo(p[5].x, p[5].y);
    dc->SelectObject(&m_highlightPen);
    dc->MoveTo(p[0].x, p[0].y + 1);
    dc->LineTo(p[1].x, p[1].y - 1);
    dc->SelectObject(&m_blackPen);
    dc->MoveTo(p[2].x + 1, p[2].y - 1);
    dc->LineTo(p[3].x, p[3].y - 1);
    dc->LineTo(p[4].x - 1, p[4].y - 1);
    dc->LineTo(p[5].x - 1, p[5].y);
    dc->SelectObject(oldPen);
    dc->SelectObject(oldBrush);
}

void SECWorkbookWnd::DrawSheetFace(CDC* dc, SECWorksheetWnd* sheet, UINT format)
{
    std::array<POINT, 7> p;
    GetTabPolygon(sheet, p);
    HICON icon = GetSheetIcon(sheet);
    if (icon)
        ::DrawIconEx(dc->m_hDC, p[2].x + 1, p[0].y + 4, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    CRect rect;
    GetLabelRect(p, icon ? kIconSize : 0, rect);
    CFont* oldFont = dc->SelectObject(&m_tabFont);
    std::wstring label = ShortenSheetLabel(static_cast<LPCWSTR>(GetSheetLabel(sheet)), rect.Width(),
        [&](const std::wstring& text) { return dc->GetTextExtent(text.c_str(), static_cast<int>(text.size())).cx; });
    if (!label.empty()) {
        dc->SetTextColor(::GetSysColor(COLOR_BTNTEXT));
        dc->SetBkMode(TRANSPARENT);
        dc->DrawText(label.c_str(), static_cast<int>(label.size()), &rect, format);
    }
    dc->SelectObject(oldFont);
}

void SECWorkbookWnd::DrawTabAreaBorder(CDC* dc)
{
    CRect area;
    GetTabAreaRect(area);
    if (m_metrics.flatLook) {
        CRect outline = area;
        outline.InflateRect(1, 1);
        CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
        ::FrameRect(dc->m_hDC, &outline, shadow);
        return;
    }
    CRect r = area;
    r.InflateRect(5, 5);
    CPen* old = dc->SelectObject(&m_highlightPen);
    dc->MoveTo(r.left, r.bottom - 1);
    dc->LineTo(r.left, r.top);
    dc->LineTo(r.right, r.top);
    dc->SelectObject(&m_shadowPen);
    dc->MoveTo(r.left + 1, r.bottom - 2);
    dc->LineTo(r.right - 2, r.bottom - 2);
    dc->LineTo(r.right - 2, r.top);
    dc->SelectObject(&m_blackPen);
    dc->MoveTo(r.left, r.bottom - 1);
    dc->LineTo(r.right - 1, r.bottom - 1);
    dc->LineTo(r.right - 1, r.top - 1);
    // A shadow line and a highlight line under it along the client's top edge.
    dc->SelectObject(&m_shadowPen);
    dc->MoveTo(area.left, area.top - 2);
    dc->LineTo(area.right, area.top - 2);
    dc->SelectObject(&m_highlightPen);
    dc->MoveTo(area.left, area.top - 1);
    dc->LineTo(area.right, area.top - 1);
    dc->SelectObject(old);
}

void SECWorkbookWnd::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bTabsVisible)
        return;
    // The background around the client and under it; the client paints itself.
    CRect all, area;
    GetClientRect(&all);
    GetTabAreaRect(area);
    int saved = ::SaveDC(dc.m_hDC);
    ::ExcludeClipRect(dc.m_hDC, area.left, area.top, area.right, area.bottom);
    dc.FillSolidRect(&all, m_metrics.flatLook ? FlatBackground() : ::GetSysColor(COLOR_BTNFACE));
    ::RestoreDC(dc.m_hDC, saved);
    SECWorksheetWnd* active = ActiveSheet();
    constexpr UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX;
    for (SECWorksheetWnd* sheet : m_sheets) {
        if (sheet == active || !IsVisibleSheet(sheet))
            continue;
        DrawSheetTab(&dc, sheet);
        DrawSheetFace(&dc, sheet, format);
    }
    DrawTabAreaBorder(&dc);
    if (active && IsVisibleSheet(active) && std::find(m_sheets.begin(), m_sheets.end(), active) != m_sheets.end()) {
        DrawSheetTab(&dc, active);
        DrawSheetFace(&dc, active, format);
    }
}

void SECWorkbookWnd::OnLButtonDown(UINT, CPoint point)
{
    if (!m_bTabsVisible)
        return;
    SECWorksheetWnd* active = ActiveSheet();
    for (SECWorksheetWnd* sheet : m_sheets) {
        if (sheet == active || !IsVisibleSheet(sheet))
            continue;
        std::array<POINT, 7> p;
        GetTabPolygon(sheet, p);
        HRGN shape = ::CreatePolygonRgn(p.data(), 7, WINDING);
        bool inside = ::PtInRegion(shape, point.x, point.y);
        ::DeleteObject(shape);
        if (!inside)
            continue;
        if (CanActivateByTab(sheet)) {
            sheet->m_bPressed = TRUE;
            InvalidateTab(sheet);
            UpdateWindow();
            sheet->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        }
        return;
    }
}

void SECWorkbookWnd::OnLButtonUp(UINT, CPoint)
{
    for (SECWorksheetWnd* sheet : m_sheets) {
        if (sheet->m_bPressed) {
            sheet->m_bPressed = FALSE;
            InvalidateTab(sheet);
        }
    }
}

LRESULT SECWorkbookWnd::OnSheetChanged(WPARAM, LPARAM)
{
    if (m_activeSheetIndex >= 0 && m_activeSheetIndex < static_cast<int>(m_sheets.size()))
        InvalidateTab(m_sheets[static_cast<size_t>(m_activeSheetIndex)]);
    BOOL maximized = FALSE;
    MDIGetActive(&maximized);
    if (SECWorksheetWnd* active = ActiveSheet()) {
        InvalidateTab(active);
        m_activeSheetIndex = active->m_nTabIndex;
    }
    if (!maximized)
        UpdateWindow();
    return 0;
}

INT_PTR SECWorkbookWnd::OnToolHitTest(CPoint point, TOOLINFO* info) const
{
    if (!m_bTabsVisible)
        return -1;
    for (SECWorksheetWnd* sheet : m_sheets) {
        if (!IsVisibleSheet(sheet))
            continue;
        std::array<POINT, 7> p;
        GetTabPolygon(sheet, p);
        CRect bounds(p[0].x, p[0].y, p[4].x, p[2].y);
        if (!bounds.PtInRect(point) || FitsLabel(sheet))
            continue;
        // Only a shortened label has a tip: the whole label.
        m_tipText = static_cast<LPCWSTR>(GetSheetLabel(sheet));
        if (info) {
            info->hwnd = m_hWnd;
            info->uId = static_cast<UINT_PTR>(sheet->m_nTabIndex + 1);
            info->rect = bounds;
            info->lpszText = m_tipText.data();
        }
        return sheet->m_nTabIndex + 1;
    }
    return -1;
}

// ---- a sheet

SECWorksheetWnd::~SECWorksheetWnd()
{
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
}

BOOL SECWorksheetWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context)
{
    if (!SECMDIChildWnd::LoadFrame(resourceId, style, parent, context))
        return FALSE;
    if (SECWorkbookWnd* book = GetWorkbook())
        book->AddSheet(this);
    HINSTANCE instance = AfxGetApp() ? AfxGetApp()->m_hInstance : nullptr;
    m_hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_ICON, kIconSize, kIconSize, 0));
    return TRUE;
}

void SECWorksheetWnd::OnUpdateFrameTitle(BOOL addToTitle)
{
    SECMDIChildWnd::OnUpdateFrameTitle(addToTitle);
    if (SECWorkbookWnd* book = GetWorkbook())
        book->InvalidateTab(this);
}

void SECWorksheetWnd::OnUpdateFrameMenu(BOOL active, CWnd* activateWnd, HMENU menuAlt)
{
    SECMDIChildWnd::OnUpdateFrameMenu(active, activateWnd, menuAlt);
    ::SendMessageW(ClientWindow(), WM_SECSHEETMENU, static_cast<WPARAM>(-1), static_cast<LPARAM>(-1));
}

LRESULT SECWorksheetWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    SECWorkbookWnd* book = GetWorkbook();
    switch (message) {
    case WM_DESTROY:
        if (book)
            book->RemoveSheet(this);
        break;
    case WM_MDIACTIVATE:
    case WM_SIZE:
    case WM_SHOWWINDOW: {
        LRESULT result = SECMDIChildWnd::WindowProc(message, wParam, lParam);
        if ((book = GetWorkbook()))
            book->InvalidateTab(this, message == WM_SHOWWINDOW);
        return result;
    }
    }
    return SECMDIChildWnd::WindowProc(message, wParam, lParam);
}

// ---- a sheet holding a control bar

BOOL SECControlBarWorksheet::LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context)
{
    if (!SECWorksheetWnd::LoadFrame(resourceId, style, parent, context))
        return FALSE;
    if (m_hIcon) {
        ::DestroyIcon(m_hIcon);
        m_hIcon = nullptr;
    }
    return TRUE;
}

CControlBar* SECControlBarWorksheet::GetHostedBar() const
{
    for (CControlBar* bar : m_wndDockBar.m_arrBars)
        if (bar)
            return bar;
    return nullptr;
}

void SECControlBarWorksheet::RecalcLayout(BOOL notify)
{
    if (m_bInRecalcLayout)
        return;
    SECWorksheetWnd::RecalcLayout(notify);
    if (!m_wndDockBar.m_hWnd)
        return;
    // The dock bar and its bar fill the client area; the bar keeps that as its floating size.
    CRect client;
    GetClientRect(&client);
    m_wndDockBar.SetWindowPos(nullptr, 0, 0, client.Width(), client.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    CControlBar* bar = GetHostedBar();
    if (!bar)
        return;
    bar->CalcDynamicLayout(client.Width(), LM_HORZ | LM_MRUWIDTH | LM_COMMIT);
    bar->CalcDynamicLayout(client.Height(), LM_HORZ | LM_MRUWIDTH | LM_LENGTHY | LM_COMMIT);
    bar->SetWindowPos(nullptr, 0, 0, client.Width(), client.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    const CString title = bar->GetWindowText();
    if (title != GetWindowText())
        SetWindowText(title);
}

void SECControlBarWorksheet::OnUpdateFrameTitle(BOOL addToTitle)
{
    // The caption is the bar's title, whatever the document frame would make of it.
    const CString caption = GetWindowText();
    SECWorksheetWnd::OnUpdateFrameTitle(addToTitle);
    if (GetWindowText() != caption)
        SetWindowText(caption);
    if (!m_hIcon)
        TakeTabIcon();
}

void SECControlBarWorksheet::TakeTabIcon()
{
    for (CControlBar* bar : m_wndDockBar.m_arrBars) {
        if (!bar)
            continue;
        if (auto icon = reinterpret_cast<HICON>(bar->SendMessage(WM_GETICON, ICON_BIG))) {
            m_hIcon = ::CopyIcon(icon); // the sheet owns its tab icon
            SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
            return;
        }
    }
    m_hIcon = ::CopyIcon(::LoadIconW(nullptr, IDI_WINLOGO));
}

LRESULT SECControlBarWorksheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        // The bar fills the sheet: no client edge around it.
        ModifyStyleEx(WS_EX_CLIENTEDGE, 0);
        const LRESULT result = SECWorksheetWnd::WindowProc(message, wParam, lParam);
        if (result == -1 || !m_wndDockBar.Create(this, 0x50001000, AFX_IDW_DOCKBAR_FLOAT))
            return -1;
        return result;
    }
    case WM_WINDOWPOSCHANGED: {
        const LRESULT result = SECWorksheetWnd::WindowProc(message, wParam, lParam);
        // Where the sheet is, the bar floats when it leaves the main window.
        CControlBar* bar = GetHostedBar();
        if (bar && bar->m_pDockContext && !(GetStyle() & WS_MINIMIZE)) {
            CRect place;
            GetWindowRect(&place);
            bar->m_pDockContext->m_ptMRUFloatPos = place.TopLeft();
        }
        return result;
    }
    case WM_CLOSE:
        // Closing hides the bar; the sheet stays for when the bar is shown again.
        if (CControlBar* bar = GetHostedBar(); bar && bar->m_pDockSite) {
            bar->m_pDockSite->ShowControlBar(bar, FALSE, FALSE);
            return 0;
        }
        break;
    }
    return SECWorksheetWnd::WindowProc(message, wParam, lParam);
}
