#pragma once
// The toolkit's docking frame: its dock bars are toolkit dock bars (shared rows, splitters), a
// bar can be docked at a column and row with a share and a thickness, and the bar layout is
// saved and restored with the toolkit's records. After each layout it knows the pane's area.

#include "platform/mfc/Frame.h"

class SECFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(SECFrameWnd)
public:
    CDockBar* CreateDockBar() const override;
    // Docks the bar in the dock bar of that id (0: the first side the bar may dock to) at column
    // `column` of row `row` (a new last row past the rows there are), with that share of the row
    // and that thickness.
    void DockControlBarEx(CControlBar* bar, UINT dockBarId, int column, int row, float percentWidth, int height);
    void LoadBarState(LPCWSTR profileName);
    void SaveBarState(LPCWSTR profileName) const;
    void RecalcLayout(BOOL notify = TRUE) override;
    // The client area the last layout left for the pane.
    const CRect& GetPaneRect() const { return m_rectPane; }

private:
    CRect m_rectPane;
};
