#include "framework/ControlBar.h"

#include "framework/AutoHideBar.h"
#include "framework/DockBar.h"
#include "framework/DockContext.h"
#include "framework/DockState.h"
#include "framework/ToolkitFrame.h"
#include "framework/ResourceText.h"
#include "platform/gdi/CaptionGlyphs.h"
#include "platform/gdi/ControlLook.h"
#include "platform/gdi/Gdi.h"
#include "platform/mfc/DockContext.h"
#include "platform/mfc/MiniFrame.h"
#include "platform/mfc/WinApp.h"

#include <algorithm>
#include <utility>

IMPLEMENT_DYNCREATE(SECControlBar, CControlBar)

int SECGripperInfo::GetWidth() const
{
    return horzParts[0] + horzParts[1] + horzParts[2] + horzParts[3] + horzParts[4];
}

int SECGripperInfo::GetHeight() const
{
    return vertParts[0] + vertParts[1] + vertParts[2] + vertParts[3] + vertParts[4];
}

BEGIN_MESSAGE_MAP(SECControlBar, CControlBar)
    ON_WM_SIZE()
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_LBUTTONUP()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_CONTEXTMENU()
    ON_WM_KILLFOCUS()
    ON_WM_NCPAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_COMMAND(ID_SEC_ALLOWDOCKING, OnAllowDocking)
    ON_COMMAND(ID_SEC_HIDE, OnHide)
    ON_COMMAND(ID_SEC_FLOATINMAINWINDOW, OnFloatInMainWindow)
END_MESSAGE_MAP()

BOOL SECControlBar::Create(CWnd* parent, LPCWSTR windowName, DWORD style, DWORD exStyle, UINT id)
{
    return CreateEx(windowName, id, style, exStyle, CRect(), parent);
}

BOOL SECControlBar::CreateEx(LPCWSTR windowName, UINT id, DWORD style, DWORD exStyle, const RECT& rect, CWnd* parent)
{
    m_dwExStyle = exStyle;
    if (!CreateBar(style, parent, id, rect))
        return FALSE;
    SetWindowText(windowName ? windowName : L"");
    if (m_dwExStyle & CBRS_EX_STRETCHCHILDREN)
        RecordChildLayout();
    m_szFloat = m_szHorzDocked = m_szVertDocked = CSize(kInitialWidth, kInitialHeight);
    EnableToolTips();
    return TRUE;
}

INT_PTR SECControlBar::OnToolHitTest(CPoint point, TOOLINFO* info) const
{
    const INT_PTR hit = CControlBar::OnToolHitTest(point, info);
    if (hit != -1 || !info || !(m_dwStyle & CBRS_TOOLTIPS) || IsFloating())
        return hit;
    const CRect close = GetCloseButtonRect(), expand = GetExpandButtonRect();
    UINT_PTR tool = 0;
    CRect rect;
    if (close.PtInRect(point)) {
        tool = kCloseTool, rect = close;
        m_strToolTip = ResourceText(IDS_HIDE_TIP, L"Hide docked window");
    } else if (expand.PtInRect(point)) {
        tool = kExpandTool, rect = expand;
        m_strToolTip = IsExpanded() ? ResourceText(IDS_CONTRACT_TIP, L"Contract docked window") : ResourceText(IDS_EXPAND_TIP, L"Expand docked window");
    } else {
        return -1;
    }
    info->hwnd = m_hWnd;
    info->uId = tool;
    info->rect = rect;
    info->lpszText = const_cast<LPWSTR>(m_strToolTip.GetString());
    return static_cast<INT_PTR>(tool);
}

void SECControlBar::CalcInsideRect(CRect& rect, BOOL horz, BOOL withGripper) const
{
    if (!(m_dwExStyle & CBRS_EX_OWNBORDERS)) {
        CControlBar::CalcInsideRect(rect, horz);
        return;
    }
    RemoveOwnBorders(rect);
    const bool gripper = !(m_dwStyle & CBRS_FLOATING) && (m_dwExStyle & CBRS_EX_GRIPPER);
    if (horz) {
        if (gripper)
            AdjustForGripper(rect, TRUE);
        else
            rect.left += m_cxLeftBorder;
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
    } else {
        rect.left += m_cyTopBorder;
        if (withGripper && gripper)
            AdjustForGripper(rect, FALSE);
        else
            rect.top += m_cxLeftBorder;
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
    }
}

void SECControlBar::RemoveOwnBorders(CRect& rect) const
{
    if (m_bAutoHide)
        return;
    rect.left += (m_dwStyle & CBRS_BORDER_LEFT) ? 1 : 0;
    rect.top += (m_dwStyle & CBRS_BORDER_TOP) ? 1 : 0;
    rect.right -= (m_dwStyle & CBRS_BORDER_RIGHT) ? 1 : 0;
    rect.bottom -= (m_dwStyle & CBRS_BORDER_BOTTOM) ? 1 : 0;
}

void SECControlBar::AdjustForGripper(CRect& rect, BOOL horz) const
{
    if (horz)
        rect.left += m_gripper.GetWidth();
    else
        rect.top += m_gripper.GetHeight();
}

void SECControlBar::GetInsideRect(CRect& rect) const
{
    GetClientRect(&rect);
    const int margin = m_gripper.margin;
    if ((m_dwExStyle & CBRS_EX_GRIPPER) && !IsFloating()) {
        if (m_dwStyle & CBRS_ORIENT_HORZ) {
            rect.left += m_gripper.GetWidth();
            rect.top += margin;
        } else {
            rect.top += m_gripper.GetHeight();
            rect.left += margin;
        }
        rect.right -= margin;
        rect.bottom -= margin;
    } else if (m_dwExStyle & CBRS_EX_BORDERSPACE) {
        if (IsSliding()) {
            rect.top += m_gripper.GetHeight();
            rect.left += margin;
            rect.right -= margin;
            rect.bottom -= margin;
        } else {
            rect.DeflateRect(m_rcBorder.left, m_rcBorder.top, m_rcBorder.right, m_rcBorder.bottom);
        }
    }
}

CSize SECControlBar::CalcFixedLayout(BOOL, BOOL horz)
{
    return horz ? m_szHorzDocked : m_szVertDocked;
}

CSize SECControlBar::CalcDynamicLayout(int length, DWORD mode)
{
    if (mode & LM_COMMIT) {
        const int committed = (mode & LM_STRETCH) ? static_cast<int>(m_fPctWidth * static_cast<float>(length)) : length;
        const bool lengthY = mode & LM_LENGTHY;
        if (mode & LM_HORZDOCK)
            (lengthY ? m_szHorzDocked.cy : m_szHorzDocked.cx) = committed;
        else if (mode & LM_VERTDOCK)
            (lengthY ? m_szVertDocked.cy : m_szVertDocked.cx) = committed;
        else if (lengthY)
            m_szFloat.cy = committed;
        else
            m_szFloat.cx = m_nMRUWidth = committed;
    }
    // A bar out of its auto-hide strip is as large as its slide has made it so far.
    if (IsSliding() && IsFloating())
        return m_szFloat;
    if (mode & (LM_HORZDOCK | LM_VERTDOCK))
        return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
    return m_szFloat;
}

std::unique_ptr<CDockContext> SECControlBar::NewDockContext()
{
    return std::make_unique<SECDockContext>(this);
}

void SECControlBar::SetExBarStyle(DWORD exStyle, BOOL redraw)
{
    const DWORD previous = m_dwExStyle;
    m_dwExStyle = exStyle | (previous & CBRS_EX_ALTCAPTION);
    // A floating bar's frame follows: a fixed-size bar's frame has no diagonal sizing corners.
    if (auto* floating = IsFloating() && !IsSliding() ? dynamic_cast<CMiniFrameWnd*>(CWnd::FromHandlePermanent(::GetAncestor(m_hWnd, GA_ROOT))) : nullptr) {
        if (m_dwExStyle & CBRS_EX_FIXEDSIZE)
            floating->ModifyMiniFrameStyle(0, MFS_4THICKFRAME);
        else
            floating->ModifyMiniFrameStyle(MFS_4THICKFRAME, MFS_THICKFRAME);
    }
    if ((previous ^ m_dwExStyle) & CBRS_EX_STRETCHCHILDREN) {
        if (m_dwExStyle & CBRS_EX_STRETCHCHILDREN)
            RecordChildLayout();
        else
            m_childLayout.clear();
    }
    if (previous != m_dwExStyle && redraw && m_hWnd)
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void SECControlBar::RecordChildLayout()
{
    m_childLayout.clear();
    if (!m_hWnd)
        return;
    CRect client;
    GetClientRect(&client);
    if (client.Width() <= 0 || client.Height() <= 0)
        return; // recorded at the first sizing instead
    m_childLayout.push_back({ nullptr, client });
    for (HWND child = ::GetTopWindow(m_hWnd); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CRect rect;
        ::GetWindowRect(child, &rect);
        ScreenToClient(&rect);
        m_childLayout.push_back({ child, rect });
    }
}

void SECControlBar::OnSize(UINT type, int cx, int cy)
{
    if (type != SIZE_MINIMIZED && cx > 0 && cy > 0) {
        CPoint origin;
        CSize available(cx, cy);
        if (m_dwExStyle & CBRS_EX_GRIPPER) {
            const int width = m_gripper.GetWidth(), height = m_gripper.GetHeight(), margin = m_gripper.margin;
            if (m_dwStyle & CBRS_ORIENT_HORZ) {
                origin = CPoint(width, margin);
                available = CSize(cx - margin - width, cy - 2 * margin);
            } else {
                origin = CPoint(margin, height);
                available = CSize(cx - 2 * margin, cy - margin - height);
            }
        } else if (m_dwExStyle & CBRS_EX_BORDERSPACE) {
            available = CSize(cx - m_rcBorder.left - m_rcBorder.right, cy - m_rcBorder.top - m_rcBorder.bottom);
        }
        available = CSize(std::max<LONG>(0, available.cx), std::max<LONG>(0, available.cy));
        if (m_dwExStyle & CBRS_EX_STRETCHCHILDREN)
            StretchChildren(origin, available);
        else if (m_dwExStyle & CBRS_EX_SIZECHILDTOFIT)
            SizeChildToFit(origin, available);
    }
    Default();
}

void SECControlBar::StretchChildren(CPoint origin, CSize available)
{
    if (m_childLayout.empty()) {
        RecordChildLayout(); // made while the bar had no size: this first size is the reference
        return;
    }
    const CSize reference = m_childLayout.front().rect.Size();
    if (available.cx <= 0 || available.cy <= 0)
        return;
    if (m_dwExStyle & CBRS_EX_BORDERSPACE)
        origin.Offset(m_rcBorder.left, m_rcBorder.top);
    HDWP positions = BeginDeferWindowPos(static_cast<int>(m_childLayout.size()));
    for (auto it = m_childLayout.begin() + 1; it != m_childLayout.end(); ++it) {
        if (!::IsWindow(it->window))
            continue;
        CRect scaled(it->rect.left * available.cx / reference.cx, it->rect.top * available.cy / reference.cy,
            it->rect.right * available.cx / reference.cx, it->rect.bottom * available.cy / reference.cy);
        scaled.OffsetRect(origin);
        positions = DeferWindowPos(positions, it->window, nullptr, scaled.left, scaled.top, scaled.Width(), scaled.Height(),
            SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    }
    EndDeferWindowPos(positions);
    if (IsFloating())
        Invalidate();
}

void SECControlBar::SizeChildToFit(CPoint origin, CSize available)
{
    if (IsFloating()) {
        available += CSize(origin.x, origin.y);
        origin = CPoint();
    }
    if (HWND child = ::GetTopWindow(m_hWnd))
        ::SetWindowPos(child, nullptr, origin.x, origin.y, available.cx, available.cy, SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
}

void SECControlBar::OnDestroy()
{
    m_childLayout.clear();
    // A bar that goes while auto-hidden takes its button along.
    if (auto* frame = IsSliding() ? dynamic_cast<SECToolkitFrame*>(m_pDockSite) : nullptr)
        if (SECAutoHideBar* strip = frame->GetAutoHideBar(m_dwAutoHideSide))
            strip->RemoveBar(this);
    CControlBar::OnDestroy();
    if (m_pDockSite)
        m_pDockSite->DelayRecalcLayout();
}

BOOL SECControlBar::CreateFromBarInfo(CFrameWnd* frame, const SECControlBarInfo& info)
{
    return Create(frame, info.m_strWindowName, info.m_dwStyle, info.m_dwExStyle, info.m_nBarID);
}

void SECControlBar::GetBarInfo(SECControlBarInfo* info) const
{
    info->m_pBar = const_cast<SECControlBar*>(this);
    info->m_nBarID = static_cast<UINT>(GetDlgCtrlID()) & 0xFFFF;
    info->m_nMRUWidth = m_nMRUWidth;
    info->m_szFloat = m_szFloat;
    info->m_szHorzDock = m_szHorzDocked;
    info->m_szVertDock = m_szVertDocked;
    info->m_dwMRUDockingState = m_dwMRUDockingState;
    info->m_dwDockStyle = m_dwDockStyle;
    info->m_fPctWidth = m_fPctWidth;
    info->m_dwStyle = m_dwStyle;
    info->m_dwExStyle = m_dwExStyle;
    info->m_bAutoHide = m_bAutoHide;
    info->m_bAutoHidePinned = m_bPinned;
    info->m_dwLastAlignedDocking = m_dwAutoHideSide;
    info->m_strClassName = CString(GetRuntimeClass()->m_lpszClassName);
    info->m_strWindowName = GetWindowText();
}

void SECControlBar::SetBarInfo(const SECControlBarInfo& info)
{
    m_nMRUWidth = info.m_nMRUWidth;
    m_szFloat = info.m_szFloat;
    m_szHorzDocked = info.m_szHorzDock;
    m_szVertDocked = info.m_szVertDock;
    m_dwMRUDockingState = info.m_dwMRUDockingState;
    if (info.m_dwDockStyle)
        EnableDocking(info.m_dwDockStyle);
    m_fPctWidth = info.m_fPctWidth;
    if (info.m_bAutoHideStored) {
        m_bAutoHide = info.m_bAutoHide;
        m_bPinned = info.m_bAutoHidePinned;
        m_dwAutoHideSide = info.m_dwLastAlignedDocking;
    }
    // Where the bar is docked or floats is the frame's part; the bar keeps its own alignment.
    SetBarStyle((info.m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | (m_dwStyle & (CBRS_ALIGN_ANY | CBRS_FLOATING)));
    SetExBarStyle(info.m_dwExStyle, FALSE);
}

// ---- the caption strip

CRect SECControlBar::GetGripperRect() const
{
    if (!ShowsGripper())
        return CRect();
    CRect client;
    GetClientRect(&client);
    if (m_dwExStyle & CBRS_EX_OWNBORDERS)
        RemoveOwnBorders(client);
    CRect gripper = GripperOnLeft() ? CRect(client.left, client.top, client.left + m_gripper.GetWidth(), client.bottom)
                                    : CRect(client.left, client.top, client.right, client.top + m_gripper.GetHeight());
    gripper.DeflateRect(1, 1);
    return gripper;
}

CRect SECControlBar::CaptionButtonRect(int slot) const
{
    const CRect gripper = GetGripperRect();
    if (gripper.IsRectEmpty())
        return CRect();
    // Squares cut from the gripper's far end: two pixels in from one side, four from the
    // other, two pixels apart.
    if (GripperOnLeft()) {
        const int side = gripper.Width() - 2 - 4;
        const int top = gripper.top + slot * (side + 2);
        return CRect(gripper.left + 2, top, gripper.left + 2 + side, top + side);
    }
    const int side = gripper.Height() - 2 - 4;
    const int right = gripper.right - slot * (side + 2);
    return CRect(right - side, gripper.top + 2, right, gripper.top + 2 + side);
}

CRect SECControlBar::GetCloseButtonRect() const
{
    return (m_dwExStyle & CBRS_EX_CLOSEBUTTON) ? CaptionButtonRect(0) : CRect();
}

CRect SECControlBar::GetPinButtonRect() const
{
    return m_bAutoHide ? CaptionButtonRect((m_dwExStyle & CBRS_EX_CLOSEBUTTON) ? 1 : 0) : CRect();
}

CRect SECControlBar::GetExpandButtonRect() const
{
    if (!(m_dwExStyle & CBRS_EX_EXPANDBUTTON))
        return CRect();
    return CaptionButtonRect(((m_dwExStyle & CBRS_EX_CLOSEBUTTON) ? 1 : 0) + (m_bAutoHide ? 1 : 0));
}

CRect SECControlBar::PressedButtonRect(Pressed pressed) const
{
    switch (pressed) {
    case Pressed::Close: return GetCloseButtonRect();
    case Pressed::Expand: return GetExpandButtonRect();
    case Pressed::Pin: return GetPinButtonRect();
    default: return CRect();
    }
}

SECDockBar* SECControlBar::ToolkitDockBar() const
{
    return dynamic_cast<SECDockBar*>(m_pDockBar);
}

BOOL SECControlBar::IsExpanded() const
{
    const SECDockBar* dockBar = ToolkitDockBar();
    return dockBar && !dockBar->IsBarExpandable(this);
}

void SECControlBar::DrawCaptionButton(CDC* dc, const CRect& rect, bool close, bool pressed) const
{
    if (rect.IsRectEmpty())
        return;
    // The arrow points the way the bar would go: back to its share when expanded, out when not.
    const bool vertical = !GripperOnLeft(), expanded = IsExpanded();
    const SECDockBar* dockBar = ToolkitDockBar();
    const bool enabled = close || (dockBar && !dockBar->IsOnlyBarInRow(this));
    if (m_dwExStyle & CBRS_EX_FLATBUTTONS) {
        dc->FillSolidRect(&rect, GetSysColor(COLOR_3DFACE));
        if (pressed)
            fln::gdi::DrawButtonBevel(dc->m_hDC, rect, fln::gdi::ButtonBevel::Sunken);
        using fln::gdi::CaptionGlyph;
        const CaptionGlyph glyph = close ? CaptionGlyph::Close
            : vertical                   ? (expanded ? CaptionGlyph::ArrowLeft : CaptionGlyph::ArrowRight)
                                         : (expanded ? CaptionGlyph::ArrowUp : CaptionGlyph::ArrowDown);
        fln::gdi::DrawCaptionGlyph(dc->m_hDC, POINT { rect.left + 2, rect.top + 2 }, glyph,
            GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        return;
    }
    CRect button = rect;
    const UINT state = (pressed ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE);
    if (close)
        ::DrawFrameControl(dc->m_hDC, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE | state);
    else
        ::DrawFrameControl(dc->m_hDC, &button, DFC_SCROLL,
            (vertical ? (expanded ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT) : (expanded ? DFCS_SCROLLUP : DFCS_SCROLLDOWN)) | state);
}

void SECControlBar::DrawPinButton(CDC* dc, const CRect& rect, bool pressed, bool hot) const
{
    if (rect.IsRectEmpty())
        return;
    dc->FillSolidRect(&rect, GetSysColor(COLOR_3DFACE));
    if (pressed || hot)
        fln::gdi::DrawButtonBevel(dc->m_hDC, rect, pressed ? fln::gdi::ButtonBevel::Sunken : fln::gdi::ButtonBevel::Raised);
    fln::gdi::DrawPin(dc->m_hDC, rect, m_bPinned, GetSysColor(COLOR_BTNTEXT));
}

void SECControlBar::DrawCaptionTitle(CDC* dc, const CRect& rect) const
{
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW logFont = metrics.lfStatusFont;
    const bool vertical = GripperOnLeft();
    if (vertical)
        logFont.lfEscapement = logFont.lfOrientation = 900; // reads upwards
    CFont font;
    font.CreateFontIndirect(&logFont);
    CFont* oldFont = dc->SelectObject(&font);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColor = dc->SetTextColor(GetSysColor(m_bCaptionActive ? COLOR_CAPTIONTEXT : COLOR_BTNTEXT));
    const CString title = GetWindowText();
    const int saved = dc->SaveDC();
    dc->IntersectClipRect(&rect);
    if (vertical) {
        const int height = std::abs(logFont.lfHeight);
        dc->TextOut(rect.left + (rect.Width() - height) / 2, rect.bottom - 2, title);
    } else {
        CRect text = rect;
        text.left += 2;
        dc->DrawText(title, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    dc->RestoreDC(saved);
    dc->SetTextColor(oldColor);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}

void SECControlBar::DrawGripper(CDC* dc)
{
    const CRect gripper = GetGripperRect();
    if (gripper.IsRectEmpty())
        return;
    const CRect close = GetCloseButtonRect(), expand = GetExpandButtonRect(), pin = GetPinButtonRect();
    // What the buttons leave of the strip.
    CRect grip = gripper;
    const CRect& last = !expand.IsRectEmpty() ? expand : !pin.IsRectEmpty() ? pin : close;
    if (GripperOnLeft() && !last.IsRectEmpty())
        grip.top = last.bottom + 2;
    else if (!last.IsRectEmpty())
        grip.right = last.left - 2;
    // The bar with the focus: a band in the active caption's colour instead of the grip lines.
    if (m_bCaptionActive)
        dc->FillSolidRect(&grip, GetSysColor(COLOR_ACTIVECAPTION));
    if (m_bAutoHide) {
        // A bar that may auto-hide is named in its caption: once out of its strip, nothing else
        // tells which bar it is.
        DrawCaptionTitle(dc, grip);
    } else if (!m_bCaptionActive) {
        // Raised grip lines along the strip, where its parts put them from its outer edge.
        const SECGripperInfo::Parts& parts = GripperOnLeft() ? m_gripper.horzParts : m_gripper.vertParts;
        const int edge = (GripperOnLeft() ? gripper.left : gripper.top) - 1;
        for (const auto& [offset, thickness] : { std::pair(parts[0], parts[1]), std::pair(parts[0] + parts[1] + parts[2], parts[3]) }) {
            const CRect line = GripperOnLeft() ? CRect(edge + offset, grip.top, edge + offset + thickness, grip.bottom)
                                               : CRect(grip.left, edge + offset, grip.right, edge + offset + thickness);
            fln::gdi::DrawButtonBevel(dc->m_hDC, line, fln::gdi::ButtonBevel::Raised);
        }
    }
    DrawCaptionButton(dc, close, true, m_pressed == Pressed::Close);
    DrawCaptionButton(dc, expand, false, m_pressed == Pressed::Expand);
    DrawPinButton(dc, pin, m_pressed == Pressed::Pin, m_bPinHot);
}

void SECControlBar::DoPaint(CDC* dc)
{
    CControlBar::DoPaint(dc);
    DrawGripper(dc);
}

void SECControlBar::OnNcPaint()
{
    CWindowDC dc(this);
    CRect window, client;
    GetWindowRect(&window);
    ScreenToClient(&window);
    GetClientRect(&client);
    // Drawn in client coordinates: the window DC's origin moves to the client area's corner.
    dc.SetViewportOrg(-window.left, -window.top);
    dc.ExcludeClipRect(&client);
    DrawBorders(&dc, window);
    SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
}

BOOL SECControlBar::OnEraseBkgnd(CDC* dc)
{
    const BOOL erased = static_cast<BOOL>(Default());
    if (!(m_dwExStyle & CBRS_EX_BORDERSPACE))
        return erased;
    CRect client, inside;
    GetClientRect(&client);
    GetInsideRect(inside);
    const COLORREF face = GetSysColor(COLOR_3DFACE);
    dc->FillSolidRect(CRect(client.left, client.top, client.right, inside.top), face);
    dc->FillSolidRect(CRect(client.left, inside.bottom, client.right, client.bottom), face);
    dc->FillSolidRect(CRect(client.left, inside.top, inside.left, inside.bottom), face);
    dc->FillSolidRect(CRect(inside.right, inside.top, client.right, inside.bottom), face);
    return TRUE;
}

// ---- the active caption

LRESULT SECControlBar::OnIdleUpdateCmdUI(WPARAM disableIfNoHandler, LPARAM)
{
    if (IsWindowVisible())
        OnUpdateCmdUI(m_pDockSite, static_cast<BOOL>(disableIfNoHandler));
    return 0;
}

void SECControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    const HWND focus = ::GetFocus();
    m_bFocusInside = focus && (focus == m_hWnd || ::IsChild(m_hWnd, focus));
    if (m_bFocusInside && !m_bCaptionActive)
        ActivateCaption();
    else if (!m_bFocusInside && m_bCaptionActive)
        SetCaptionActive(false);
}

void SECControlBar::ActivateCaption()
{
    SetCaptionActive(true);
    if (!m_pDockSite)
        return;
    for (CControlBar* candidate : m_pDockSite->m_listControlBars) {
        auto* dockBar = dynamic_cast<SECDockBar*>(candidate);
        if (!dockBar || !dockBar->IsWindowVisible() || (dockBar->m_bFloating && !m_bAutoHide))
            continue;
        for (CControlBar* docked : dockBar->m_arrBars) {
            auto* other = dynamic_cast<SECControlBar*>(docked);
            if (!other || other == this)
                continue;
            other->m_bFocusInside = FALSE;
            other->SetCaptionActive(false);
        }
    }
}

void SECControlBar::SetCaptionActive(bool active)
{
    if (m_bCaptionActive == static_cast<BOOL>(active))
        return;
    m_bCaptionActive = active;
    if (m_hWnd && ShowsGripper()) {
        const CRect gripper = GetGripperRect();
        RedrawWindow(&gripper, nullptr, RDW_INVALIDATE | RDW_FRAME);
    }
}

void SECControlBar::OnLButtonDown(UINT keys, CPoint point)
{
    const bool onClose = GetCloseButtonRect().PtInRect(point);
    const bool onExpand = GetExpandButtonRect().PtInRect(point) && ToolkitDockBar() && !ToolkitDockBar()->IsOnlyBarInRow(this);
    const bool onPin = GetPinButtonRect().PtInRect(point);
    if (onClose || onExpand || onPin) {
        m_pressed = onClose ? Pressed::Close : onExpand ? Pressed::Expand : Pressed::Pin;
        const CRect button = PressedButtonRect(m_pressed);
        InvalidateRect(&button, FALSE);
        SetCapture();
        return;
    }
    if (GetExpandButtonRect().PtInRect(point) || IsSliding())
        return; // a disabled button does nothing, not even a drag; nor does a bar out of its strip
    CControlBar::OnLButtonDown(keys, point);
}

void SECControlBar::OnMouseMove(UINT keys, CPoint point)
{
    if (!m_bPinHot) {
        if (const CRect pin = GetPinButtonRect(); pin.PtInRect(point)) {
            m_bPinHot = TRUE;
            InvalidateRect(&pin, FALSE);
            SetTimer(kPinHoverTimer, kPinHoverInterval);
        }
    }
    CControlBar::OnMouseMove(keys, point);
}

void SECControlBar::OnTimer(UINT_PTR id)
{
    if (id == kPinHoverTimer) {
        const DWORD position = ::GetMessagePos();
        CPoint point(GET_X_LPARAM(position), GET_Y_LPARAM(position));
        ScreenToClient(&point);
        if (const CRect pin = GetPinButtonRect(); !pin.PtInRect(point)) {
            KillTimer(kPinHoverTimer);
            m_bPinHot = FALSE;
            SendMessage(WM_NCPAINT, 1);
            // The caption and its pin are drawn in the client area.
            InvalidateRect(&pin, FALSE);
        }
    }
    CControlBar::OnTimer(id);
}

void SECControlBar::OnLButtonUp(UINT keys, CPoint point)
{
    if (m_pressed == Pressed::None) {
        CControlBar::OnLButtonUp(keys, point);
        return;
    }
    const Pressed pressed = std::exchange(m_pressed, Pressed::None);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    const CRect button = PressedButtonRect(pressed);
    InvalidateRect(&button, FALSE);
    if (!button.PtInRect(point))
        return; // released outside: nothing
    if (pressed == Pressed::Pin) {
        // The bar leaves the place under the pointer: the pin's hover look goes with it.
        KillTimer(kPinHoverTimer);
        m_bPinHot = FALSE;
        if (auto* frame = dynamic_cast<SECToolkitFrame*>(m_pDockSite))
            m_bPinned ? frame->AutoHideControlBar(this) : frame->PinControlBar(this);
        return;
    }
    if (pressed == Pressed::Close) {
        // A bar out of its strip leaves the strip: it is docked on its side again, hidden.
        if (auto* frame = dynamic_cast<SECToolkitFrame*>(m_pDockSite); frame && IsSliding())
            frame->PinControlBar(this);
        SendMessage(WM_COMMAND, ID_SEC_HIDE);
        return;
    }
    if (SECDockBar* dockBar = ToolkitDockBar()) {
        dockBar->ExpandBar(this, IsExpanded() ? 0 : 1);
        if (m_pDockSite)
            m_pDockSite->Invalidate();
    }
}

BOOL SECControlBar::ToggleBar()
{
    const BOOL show = !IsWindowVisible();
    if (SECAutoHideBarBtn* button = StripButton())
        show ? button->SlideOut() : button->SlideIn();
    else if (m_pDockSite)
        m_pDockSite->ShowControlBar(this, show, FALSE);
    else
        ShowWindow(show ? SW_SHOWNA : SW_HIDE);
    return !show;
}

SECAutoHideBarBtn* SECControlBar::StripButton() const
{
    auto* frame = dynamic_cast<SECToolkitFrame*>(m_pDockSite);
    SECAutoHideBar* strip = frame && IsSliding() ? frame->GetAutoHideBar(m_dwAutoHideSide) : nullptr;
    return strip ? strip->FindButton(this) : nullptr;
}

BOOL SECControlBar::EnableAutoHide()
{
    if (m_bAutoHidePlaced)
        return TRUE;
    if (!m_bAutoHide)
        return FALSE;
    // A side that is none of the four places nothing, but the bar still shows and counts as placed.
    if (auto* frame = dynamic_cast<SECToolkitFrame*>(m_pDockSite))
        if (SECAutoHideBar* strip = frame->GetAutoHideBar(m_dwAutoHideSide))
            strip->AddBar(this);
    if (m_pDockSite)
        m_pDockSite->ShowControlBar(this, TRUE, FALSE);
    else
        ShowWindow(SW_SHOWNA);
    m_bAutoHidePlaced = TRUE;
    m_bPinned = TRUE;
    return TRUE;
}

UINT SECControlBar::FindFreeControlId(CFrameWnd* frame, UINT firstId)
{
    if (!frame)
        return 0;
    for (UINT id = firstId; id < firstId + 1000; ++id)
        if (!frame->GetControlBar(id))
            return id;
    return 0;
}

void SECControlBar::OnKillFocus(CWnd* gaining)
{
    const bool focusStaysInside = gaining && (gaining->m_hWnd == m_hWnd || ::IsChild(m_hWnd, gaining->m_hWnd));
    if (!focusStaysInside) {
        if (SECAutoHideBarBtn* button = IsVisible() ? StripButton() : nullptr)
            button->Reset();
        m_bFocusInside = FALSE;
        SetCaptionActive(false);
    }
    Default();
}

void SECControlBar::OnLButtonDblClk(UINT keys, CPoint point)
{
    if (GetCloseButtonRect().PtInRect(point) || GetExpandButtonRect().PtInRect(point) || GetPinButtonRect().PtInRect(point)
        || IsSliding())
        return;
    CControlBar::OnLButtonDblClk(keys, point);
}

void SECControlBar::OnContextMenu(CWnd* window, CPoint point)
{
    if (!(m_dwExStyle & CBRS_EX_CONTEXTMENU) || m_bAutoHide) {
        Default();
        return;
    }
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    menu.AppendMenu(MF_STRING | ((m_dwDockStyle & CBRS_ALIGN_ANY) ? MF_CHECKED : MF_UNCHECKED), ID_SEC_ALLOWDOCKING,
        ResourceText(ID_SEC_ALLOWDOCKING, L"Allow Docking"));
    menu.AppendMenu(MF_STRING, ID_SEC_HIDE, ResourceText(ID_SEC_HIDE, L"Hide"));
    AddContextMenuItems(&menu);
    if (m_pDockSite)
        m_pDockSite->SendMessage(WM_SEC_ADDCONTEXTMENUITEMS, reinterpret_cast<WPARAM>(this), reinterpret_cast<LPARAM>(&menu));
    if (point.x == -1 && point.y == -1 && window) {
        // From the keyboard: a quarter across the window and 10 pixels down.
        CRect client;
        window->GetClientRect(&client);
        point = CPoint(client.Width() / 4, 10);
        window->ClientToScreen(&point);
    }
    menu.TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, this);
}

void SECControlBar::OnAllowDocking()
{
    if (m_dwDockStyle & CBRS_ALIGN_ANY) {
        m_dwMRUDockingState = m_dwDockStyle & CBRS_ALIGN_ANY;
        if (!IsFloating() && m_pDockContext)
            m_pDockContext->ToggleDocking();
        EnableDocking(0);
    } else {
        EnableDocking(m_dwMRUDockingState);
    }
}

void SECControlBar::OnFloatInMainWindow()
{
    if (auto* context = dynamic_cast<SECDockContext*>(m_pDockContext.get()))
        context->ToggleMDIFloat();
}

void SECControlBar::OnHide()
{
    if (!m_pDockSite)
        return;
    m_pDockSite->ShowControlBar(this, FALSE, FALSE);
    m_pDockSite->SetFocus();
}
