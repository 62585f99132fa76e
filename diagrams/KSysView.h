#pragma once
// CKSysView: the Graph page. It keeps the diagram mode and, on every paint, has the program draw
// the Formula page's formula into its whole client area (CGraphHost). While it has the focus its
// frame shows the "KSys" tool bar and the Graph page's menu; the Charts commands switch the mode.

#include "diagrams/DiagramModel.h"
#include "platform/mfc/View.h"

class CKSysView : public CScrollView {
    DECLARE_DYNCREATE(CKSysView)
public:
    CKSysView();

    int DiagramMode = DiagramMathematical;

    void OnInitialUpdate() override;
    void OnDraw(CDC* dc) override;

protected:
    void OnSetFocus(CWnd* oldWindow);
    void OnKillFocus(CWnd* newWindow);
    void OnSize(UINT type, int cx, int cy);
    void OnPhysicalDiagram();
    void OnMathematicalDiagram();
    void OnPolarDiagram();
    // The Charts items stay enabled and carry no check mark.
    void OnUpdateChart(CCmdUI*) {}
    DECLARE_MESSAGE_MAP()

private:
    void SwitchMode(int mode);
    // The frame's "KSys" tool bar, or null outside the main window.
    CControlBar* DiagramBar() const;
};
