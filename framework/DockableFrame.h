#pragma once
// A frame that lives as an MDI child of an SECMDIFrameWnd, or docked or floating inside a
// control bar of that frame, and moves between these placements. Its caption filters (the extra
// caption button and its menu) reach it through the extended system command.
//
//   auto* tools = new SECDockableFrame;
//   tools->CreateInClient(L"Tools", mainFrame);      // an MDI child
//   tools->ExecutePlacement(SECDockableFrame::PlaceLeft); // docked at the left
//   tools->ExecutePlacement(SECDockableFrame::PlaceFloating);

#include "framework/FrameWnd.h"
#include "framework/MsgFilter.h"

class SECControlBar;
class SECMDIFrameWnd;

class SECDockableFrame : public SECFrameWnd {
    DECLARE_DYNCREATE(SECDockableFrame)
public:
    // The placements, also the command ids of the placement menu.
    enum Placement : UINT {
        PlaceNone = 0,
        PlaceMDIChild = 1, PlaceMinimized = 2, PlaceMaximized = 3, PlaceRestored = 4,
        PlaceDocked = 5, PlaceLeft = 6, PlaceTop = 7, PlaceRight = 8, PlaceBottom = 9,
        PlaceFloating = 10,
        PlaceChoose = static_cast<UINT>(-1),
    };
    // The group of a placement: PlaceMDIChild, PlaceDocked, PlaceFloating, or PlaceNone.
    static UINT GroupOf(UINT placement);

    SECDockableFrame();

    // Makes the frame as an MDI child of `frame` (the main window when null).
    BOOL CreateInClient(LPCWSTR title, SECMDIFrameWnd* frame = nullptr, CCreateContext* context = nullptr);
    // With a document template in the context, its shared menu is the frame's menu; inside an
    // SECMDIFrameWnd the frame becomes an MDI child.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
        CCreateContext* context = nullptr) override;

    // Installs the caption filters (bit 0: on; bit 1: no caption buttons; bit 2: no right double
    // click on the caption; bit 3: no caption menu).
    virtual void EnableFilters(UINT features);
    // Where the frame is now: PlaceMinimized, PlaceMaximized or PlaceRestored as an MDI child,
    // the side it is docked at, PlaceFloating, or PlaceNone.
    UINT GetPlacement() const;
    BOOL IsHostBarFloating() const;
    SECControlBar* GetHostBar() const { return m_pHostBar; }

    // The placement menu: "Docked", "Floating", "MDI Child", then the sides and the MDI child
    // states, the current ones checked. The caller destroys it.
    HMENU BuildPlacementMenu() const;
    // Shows the placement menu at a screen point and carries out the choice.
    BOOL ShowPlacementMenu(CPoint screen);
    // Moves the frame to a placement (PlaceChoose: an MDI child unless it is one, else docked).
    BOOL ExecutePlacement(UINT placement);

    BOOL PreTranslateMessage(MSG* message) override;
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    SECMsgFilter& FilterRoot() { return m_filterRoot; }
    const SECMsgFilter::DescriptorTable& FilterTable() const { return m_filterTable; }

    HMENU m_hMenuShared = nullptr; // the template's; not owned

protected:
    SECMDIFrameWnd* MainFrame() const;
    HWND ClientWindow() const;
    bool IsInClient() const;
    // Tells the MDI frame that this frame is its active child.
    void TellActive();
    BOOL MakeMDIChild(int showCommand);
    BOOL Dock(UINT dockBarId);
    BOOL Float(const CPoint* screenPoint);
    // The bar that hosts the frame while docked or floating, made on demand.
    SECControlBar* HostBar();
    void MoveIntoHostBar();
    void FitIntoHostBar();
    void DropHostBar();

    SECMsgFilter m_filterRoot { this };
    SECMsgFilter::DescriptorTable m_filterTable;
    SECControlBar* m_pHostBar = nullptr;
};
