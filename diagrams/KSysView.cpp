#include "diagrams/KSysView.h"

#include "diagrams/GraphHost.h"
#include "framework/FrameWnd.h"
#include "platform/mfc/CmdTarget.h"
#include "platform/mfc/Dc.h"
#include "platform/mfc/WinApp.h"
#include "res/GraphPage.h"

IMPLEMENT_DYNCREATE(CKSysView, CScrollView)

BEGIN_MESSAGE_MAP(CKSysView, CScrollView)
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_SIZE()
    ON_COMMAND(ID_CHART_PHYSICAL, OnPhysicalDiagram)
    ON_COMMAND(ID_CHART_MATHEMATICAL, OnMathematicalDiagram)
    ON_COMMAND(ID_CHART_POLAR, OnPolarDiagram)
    ON_UPDATE_COMMAND_UI(ID_CHART_MATHEMATICAL, OnUpdateChart)
    ON_UPDATE_COMMAND_UI(ID_CHART_POLAR, OnUpdateChart)
END_MESSAGE_MAP()

CKSysView::CKSysView() = default;

void CKSysView::OnInitialUpdate()
{
    CScrollView::OnInitialUpdate();
    // The chart always fits the window: the page never scrolls in practice.
    SetScrollSizes(MM_TEXT, CSize(100, 100));
}

void CKSysView::OnDraw(CDC* dc)
{
    CRect client;
    GetClientRect(&client);
    // The chart owns the whole page: each paint starts from a clean window background.
    dc->FillSolidRect(&client, GetSysColor(COLOR_WINDOW));
    if (auto* host = dynamic_cast<CGraphHost*>(AfxGetApp()))
        host->DrawGraph(dc, client.left, client.top, client.right, client.bottom, DiagramMode);
}

// The whole chart depends on the window's size, so a new size paints all of it again.
void CKSysView::OnSize(UINT type, int cx, int cy)
{
    CScrollView::OnSize(type, cx, cy);
    Invalidate(TRUE);
}

CControlBar* CKSysView::DiagramBar() const
{
    CFrameWnd* frame = GetParentFrame();
    return frame ? frame->GetControlBar(IDW_DIAGRAM_BAR) : nullptr;
}

void CKSysView::OnSetFocus(CWnd* oldWindow)
{
    CScrollView::OnSetFocus(oldWindow);
    auto* frame = dynamic_cast<SECFrameWnd*>(GetParentFrame());
    CControlBar* bar = DiagramBar();
    if (!frame || !bar || bar->IsWindowVisible())
        return;
    frame->ShowControlBar(bar, TRUE, FALSE);
    frame->SetMenuResource(IDR_GRAPHPAGE);
}

// Leaving the page hides the tool bar (the focus going to the bar, which takes it while it is
// dragged, or to the frame it floats in, is no leaving); the menu stays until another page sets
// its own.
void CKSysView::OnKillFocus(CWnd* newWindow)
{
    CScrollView::OnKillFocus(newWindow);
    CFrameWnd* frame = GetParentFrame();
    CControlBar* bar = DiagramBar();
    if (frame && bar && bar->IsWindowVisible() && !bar->KeepsFocusGoingTo(newWindow))
        frame->ShowControlBar(bar, FALSE, FALSE);
}

void CKSysView::SwitchMode(int mode)
{
    DiagramMode = mode;
    Invalidate(TRUE);
}

void CKSysView::OnPhysicalDiagram() { SwitchMode(DiagramPhysical); }
void CKSysView::OnMathematicalDiagram() { SwitchMode(DiagramMathematical); }
void CKSysView::OnPolarDiagram() { SwitchMode(DiagramPolar); }
