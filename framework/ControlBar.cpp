#include "framework/ControlBar.h"

#include "framework/DockState.h"
#include "platform/mfc/DockBar.h"
#include "platform/mfc/DockContext.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(SECControlBar, CControlBar)

BEGIN_MESSAGE_MAP(SECControlBar, CControlBar)
    ON_WM_SIZE()
    ON_WM_DESTROY()
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
    if (mode & (LM_HORZDOCK | LM_VERTDOCK))
        return CalcFixedLayout((mode & LM_STRETCH) != 0, (mode & LM_HORZ) != 0);
    return m_szFloat;
}

void SECControlBar::SetExBarStyle(DWORD exStyle, BOOL redraw)
{
    const DWORD previous = m_dwExStyle;
    m_dwExStyle = exStyle | (previous & CBRS_EX_ALTCAPTION);
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
            if (m_dwStyle & CBRS_ORIENT_HORZ) {
                origin = CPoint(kGripperWidth, kGripperMargin);
                available = CSize(cx - kGripperMargin - kGripperWidth, cy - 2 * kGripperMargin);
            } else {
                origin = CPoint(kGripperMargin, kGripperHeight);
                available = CSize(cx - 2 * kGripperMargin, cy - kGripperMargin - kGripperHeight);
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
    CControlBar::OnDestroy();
    if (m_pDockSite)
        m_pDockSite->DelayRecalcLayout();
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
    m_bAutoHide = info.m_bAutoHide;
    m_bPinned = info.m_bAutoHidePinned;
    m_dwAutoHideSide = info.m_dwLastAlignedDocking;
    // Where the bar is docked or floats is the frame's part; the bar keeps its own alignment.
    SetBarStyle((info.m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_FLOATING)) | (m_dwStyle & (CBRS_ALIGN_ANY | CBRS_FLOATING)));
    SetExBarStyle(info.m_dwExStyle, FALSE);
}
