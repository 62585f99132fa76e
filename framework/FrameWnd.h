#pragma once
// The toolkit's docking frame: its dock bars are toolkit dock bars (shared rows, splitters), a
// bar can be docked at a column and row with a share and a thickness, and the bar layout is
// saved and restored with the toolkit's records. After each layout it knows the pane's area.

#include "framework/AutoHideBar.h"
#include "platform/mfc/Frame.h"

#include <array>

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

    // ---- auto-hide strips
    // Makes the dock bars, and for each a hidden auto-hide strip on the same side.
    void EnableDocking(DWORD dockStyle);
    // The strip of a side (CBRS_ALIGN_LEFT, _TOP, _RIGHT, _BOTTOM), or null.
    SECAutoHideBar* GetAutoHideBar(DWORD side);
    // Unpins a docked bar (from now on one that may auto-hide): it leaves its dock bar for the
    // strip of that side and hides there.
    BOOL AutoHideControlBar(SECControlBar* bar);
    // Pins an auto-hidden bar: it leaves its strip and docks again on that side, shown.
    BOOL PinControlBar(SECControlBar* bar);
    // Puts back every auto-hidden bar that is out, except the one of `keep`.
    void ResetAutoHideButtons(const SECAutoHideBarBtn* keep);

private:
    CRect m_rectPane;
    std::array<SECAutoHideBar, 4> m_autoHideBars; // left, top, right, bottom
};
