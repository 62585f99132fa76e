// The frame's side of docking: its dock bars, the bars it docks, floats, shows and hides, and the
// layout it saves and restores.

#include "platform/mfc/DockBar.h"
#include "platform/mfc/DockContext.h"
#include "platform/mfc/DockState.h"
#include "platform/mfc/MiniFrame.h"

#include <algorithm>

namespace {

struct DockSide {
    DWORD align;
    UINT id;
};
// Top and bottom first, so that they take the frame's whole width.
constexpr DockSide kDockSides[] = {
    { CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP },
    { CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM },
    { CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT },
    { CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT },
};

CMiniDockFrameWnd* FloatingFrameOf(const CDockBar* dockBar)
{
    if (!dockBar || !dockBar->m_bFloating)
        return nullptr;
    return dynamic_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(::GetParent(dockBar->m_hWnd)));
}

// A floating frame whose last bar left goes; one that keeps bars takes their new size.
void TidyFloatingFrame(CDockBar* dockBar)
{
    CMiniDockFrameWnd* frame = FloatingFrameOf(dockBar);
    if (!frame)
        return;
    if (dockBar->GetDockedCount() == 0)
        frame->DestroyWindow();
    else
        frame->RecalcLayout();
}

std::vector<CDockBar*> DockBarsOf(const CFrameWnd* frame)
{
    std::vector<CDockBar*> dockBars;
    for (const DockSide& side : kDockSides)
        if (CDockBar* dockBar = AfxFindDockBar(const_cast<CFrameWnd*>(frame), side.id))
            dockBars.push_back(dockBar);
    for (CControlBar* bar : frame->m_listControlBars)
        if (bar->IsFloating() && std::find(dockBars.begin(), dockBars.end(), bar->m_pDockBar) == dockBars.end())
            dockBars.push_back(bar->m_pDockBar);
    return dockBars;
}

} // namespace

void CFrameWnd::EnableDocking(DWORD dockStyle)
{
    if (!m_pFloatingFrameClass) // a frame class may have chosen its own
        m_pFloatingFrameClass = RUNTIME_CLASS(CMiniDockFrameWnd);
    for (const DockSide& side : kDockSides) {
        if (!(dockStyle & side.align) || AfxFindDockBar(this, side.id))
            continue;
        CDockBar* dockBar = CreateDockBar();
        dockBar->m_bAutoDelete = TRUE;
        if (!dockBar->Create(this, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | side.align, side.id))
            delete dockBar;
    }
}

CDockBar* CFrameWnd::CreateDockBar() const
{
    return new CDockBar;
}

void CFrameWnd::DockControlBar(CControlBar* bar, UINT dockBarId, LPCRECT rect)
{
    CDockBar* dockBar = AfxFindDockBar(this, dockBarId);
    for (size_t i = 0; !dockBar && !dockBarId && i < std::size(kDockSides); ++i)
        if (bar && (bar->m_dwDockStyle & kDockSides[i].align))
            dockBar = AfxFindDockBar(this, kDockSides[i].id);
    DockControlBar(bar, dockBar, rect);
}

void CFrameWnd::DockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect)
{
    if (!bar || !dockBar || bar == dockBar)
        return;
    CDockBar* previous = bar->m_pDockBar;
    dockBar->DockControlBar(bar, rect);
    FinishBarMove(previous, dockBar);
}

void CFrameWnd::ReDockControlBar(CControlBar* bar, CDockBar* dockBar, LPCRECT rect, int row, BOOL ownRow)
{
    if (!bar || !dockBar || bar == dockBar)
        return;
    CDockBar* previous = bar->m_pDockBar;
    dockBar->ReDockControlBar(bar, rect, row, ownRow);
    FinishBarMove(previous, dockBar);
}

void CFrameWnd::FinishBarMove(CDockBar* previous, CDockBar* now)
{
    if (previous != now)
        TidyFloatingFrame(previous);
    RecalcLayout();
}

CMiniDockFrameWnd* CFrameWnd::CreateFloatingFrame(DWORD style)
{
    // Only a floating frame class may be made here: anything else would be used as one.
    CRuntimeClass* frameClass = m_pFloatingFrameClass ? m_pFloatingFrameClass : RUNTIME_CLASS(CMiniDockFrameWnd);
    if (!frameClass->IsDerivedFrom(RUNTIME_CLASS(CMiniDockFrameWnd)))
        return nullptr;
    auto* frame = dynamic_cast<CMiniDockFrameWnd*>(frameClass->CreateObject());
    if (!frame)
        return nullptr;
    if (!frame->Create(this, style)) {
        delete frame; // a frame whose window was never made does not delete itself
        return nullptr;
    }
    return frame;
}

void CFrameWnd::FloatControlBar(CControlBar* bar, CPoint point, DWORD style)
{
    if (!bar)
        return;
    CMiniDockFrameWnd* frame = FloatingFrameOf(bar->m_pDockBar);
    if (!frame || frame->GetDockBar().GetDockedCount() > 1) {
        frame = CreateFloatingFrame(style | (bar->m_dwStyle & CBRS_SIZE_DYNAMIC));
        if (!frame)
            return;
        CDockBar* previous = bar->m_pDockBar;
        frame->GetDockBar().DockControlBar(bar);
        if (previous != &frame->GetDockBar())
            TidyFloatingFrame(previous);
    }
    frame->RecalcLayoutAt(point.x, point.y);
    if (bar->GetStyle() & WS_VISIBLE)
        frame->ShowWindow(SW_SHOWNA);
    RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* bar, BOOL show, BOOL delay)
{
    if (!bar)
        return;
    if (delay) {
        bar->DelayShow(show);
        DelayRecalcLayout();
    } else {
        bar->ShowWindow(show ? SW_SHOWNA : SW_HIDE);
    }
    if (CMiniDockFrameWnd* frame = FloatingFrameOf(bar->m_pDockBar)) {
        const bool anyShown = frame->GetDockBar().GetDockedVisibleCount() > 0;
        frame->RecalcLayout();
        frame->ShowWindow(anyShown ? SW_SHOWNA : SW_HIDE);
    }
    if (!delay)
        RecalcLayout();
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* state)
{
    CControlBar* bar = GetControlBar(state->m_nID);
    if (!bar) {
        state->ContinueRouting();
        return;
    }
    state->Enable(TRUE);
    state->SetCheck((bar->GetStyle() & WS_VISIBLE) != 0);
}

BOOL CFrameWnd::OnBarCheck(UINT id)
{
    CControlBar* bar = GetControlBar(id);
    if (!bar)
        return FALSE;
    ShowControlBar(bar, (bar->GetStyle() & WS_VISIBLE) == 0, FALSE);
    return TRUE;
}

void CFrameWnd::ApplyDelayedBarShows()
{
    for (CControlBar* bar : std::vector<CControlBar*>(m_listControlBars))
        bar->ApplyDelayedShow();
}

CControlBar* CFrameWnd::GetControlBar(UINT id) const
{
    auto found = std::find_if(m_listControlBars.begin(), m_listControlBars.end(),
        [id](CControlBar* bar) { return bar->GetDlgCtrlID() == static_cast<int>(id); });
    return found == m_listControlBars.end() ? nullptr : *found;
}

void CFrameWnd::AddControlBar(CControlBar* bar)
{
    if (bar && std::find(m_listControlBars.begin(), m_listControlBars.end(), bar) == m_listControlBars.end())
        m_listControlBars.push_back(bar);
}

void CFrameWnd::RemoveControlBar(CControlBar* bar)
{
    std::erase(m_listControlBars, bar);
}

void CFrameWnd::GetDockState(CDockState& state) const
{
    state.Clear();
    for (CControlBar* bar : m_listControlBars) {
        auto info = state.CreateBarInfo();
        info->m_pBar = bar;
        info->m_nBarID = static_cast<UINT>(bar->GetDlgCtrlID());
        info->m_bVisible = bar->IsVisible();
        info->m_bFloating = bar->IsFloating();
        info->m_bHorz = !(bar->m_dwStyle & CBRS_ORIENT_VERT);
        CRect rect;
        bar->GetWindowRect(&rect);
        if (bar->m_pDockBar && !bar->IsFloating())
            bar->m_pDockBar->ScreenToClient(&rect);
        info->m_pointPos = rect.TopLeft();
        if (CDockContext* context = bar->m_pDockContext.get()) {
            info->m_bDocking = TRUE;
            info->m_uMRUDockID = context->m_uMRUDockID;
            info->m_rectMRUDockPos = context->m_rectMRUDockPos;
            info->m_dwMRUFloatStyle = context->m_dwMRUFloatStyle;
            info->m_ptMRUFloatPos = context->m_ptMRUFloatPos;
        }
        state.m_arrBarInfo.push_back(std::move(info));
    }
    for (CDockBar* dockBar : DockBarsOf(this)) {
        auto info = state.CreateBarInfo();
        info->m_pBar = dockBar;
        info->m_bDockBar = TRUE;
        info->m_nBarID = static_cast<UINT>(dockBar->GetDlgCtrlID());
        info->m_bFloating = dockBar->m_bFloating;
        if (CMiniDockFrameWnd* frame = FloatingFrameOf(dockBar)) {
            CRect rect;
            frame->GetWindowRect(&rect);
            info->m_pointPos = rect.TopLeft();
            info->m_bVisible = frame->IsWindowVisible();
        }
        for (CControlBar* bar : dockBar->m_arrBars)
            info->m_arrBarID.push_back(bar ? static_cast<UINT>(bar->GetDlgCtrlID()) : 0);
        state.m_arrBarInfo.push_back(std::move(info));
    }
}

void CFrameWnd::SetDockState(const CDockState& state)
{
    // Bars first: where each was last docked and floated. Records of bars this frame does not
    // have are ignored.
    for (const auto& info : state.m_arrBarInfo) {
        if (info->m_bDockBar)
            continue;
        CControlBar* bar = GetControlBar(info->m_nBarID);
        if (bar && bar->m_pDockContext && info->m_bDocking) {
            bar->m_pDockContext->m_uMRUDockID = info->m_uMRUDockID;
            bar->m_pDockContext->m_rectMRUDockPos = info->m_rectMRUDockPos;
            bar->m_pDockContext->m_dwMRUFloatStyle = info->m_dwMRUFloatStyle;
            bar->m_pDockContext->m_ptMRUFloatPos = info->m_ptMRUFloatPos;
        }
    }
    // Then the dock bars: each gets its bars back, row by row, at their saved places.
    auto savedPosition = [&state](UINT id) {
        for (const auto& info : state.m_arrBarInfo)
            if (!info->m_bDockBar && info->m_nBarID == id)
                return info->m_pointPos;
        return CPoint(0, 0);
    };
    // A floating frame sizes its first bar by its edges when that bar sizes dynamically.
    auto sizingStyle = [this](const auto& barIds) -> DWORD {
        for (UINT id : barIds)
            if (CControlBar* bar = id ? GetControlBar(id) : nullptr)
                return bar->m_dwStyle & CBRS_SIZE_DYNAMIC;
        return 0;
    };
    for (const auto& info : state.m_arrBarInfo) {
        if (!info->m_bDockBar)
            continue;
        CDockBar* dockBar = nullptr;
        CMiniDockFrameWnd* floating = nullptr;
        if (info->m_bFloating) {
            floating = CreateFloatingFrame(CBRS_ALIGN_TOP | sizingStyle(info->m_arrBarID));
            dockBar = floating ? &floating->GetDockBar() : nullptr;
        } else if (info->m_nBarID != AFX_IDW_DOCKBAR_FLOAT) {
            dockBar = AfxFindDockBar(this, info->m_nBarID);
        }
        if (!dockBar)
            continue;
        bool newRow = true;
        for (UINT id : info->m_arrBarID) {
            CControlBar* bar = id ? GetControlBar(id) : nullptr;
            if (!bar) {
                newRow |= id == 0;
                continue;
            }
            CDockBar* previous = bar->m_pDockBar;
            dockBar->AppendBar(bar, newRow, dockBar->m_bFloating ? CPoint() : savedPosition(id));
            if (previous && previous != dockBar)
                TidyFloatingFrame(previous);
            newRow = false;
        }
        if (floating) {
            if (floating->GetDockBar().GetDockedCount() == 0) {
                floating->DestroyWindow();
                continue;
            }
            floating->RecalcLayoutAt(info->m_pointPos.x, info->m_pointPos.y);
        }
    }
    // Last, what shows.
    for (const auto& info : state.m_arrBarInfo)
        if (!info->m_bDockBar)
            if (CControlBar* bar = GetControlBar(info->m_nBarID))
                ShowControlBar(bar, info->m_bVisible, FALSE);
    for (CDockBar* dockBar : DockBarsOf(this))
        if (CMiniDockFrameWnd* frame = FloatingFrameOf(dockBar))
            frame->ShowWindow(dockBar->GetDockedVisibleCount() ? SW_SHOWNA : SW_HIDE);
    RecalcLayout();
}

void CFrameWnd::SaveBarState(LPCWSTR profileName) const
{
    CDockState state;
    GetDockState(state);
    state.SaveState(profileName);
}

void CFrameWnd::LoadBarState(LPCWSTR profileName)
{
    CDockState state;
    state.LoadState(profileName);
    SetDockState(state);
}
