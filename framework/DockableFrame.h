#pragma once
// A frame that lives as an MDI child of an SECMDIFrameWnd, or docked or floating inside a
// control bar of that frame. Its caption filters carry the placement: the extra caption button,
// a right click or a right double click on the caption send the extended system command, which
// the frame hands to its filters, and the command filter moves the frame.
//
//   auto* tools = new SECDockableFrame;
//   tools->CreateInClient(L"Tools", mainFrame); // an MDI child
//   tools->EnableFilters(1);                     // with the placement button and menus

#include "framework/FrameWnd.h"
#include "framework/MsgFilter.h"

class CControlBar;
class SECMDIFrameWnd;

class SECDockableFrame : public SECFrameWnd {
    DECLARE_DYNCREATE(SECDockableFrame)
public:
    // The ids of the filters that EnableFilters installs.
    enum FilterId : int {
        CommandFilterId = 257, ButtonListId = 256, PlacementButtonId = 258, RightDoubleClickId = 259, ContextMenuId = 262,
    };
    // The features of EnableFilters.
    enum Feature : UINT {
        CaptionFeatures = 0x1, NoCaptionButtons = 0x2, NoRightDoubleClick = 0x4, NoCaptionMenu = 0x8,
    };

    SECDockableFrame();

    // Makes the frame as an MDI child of `frame` (the main window when null).
    BOOL CreateInClient(LPCWSTR title, SECMDIFrameWnd* frame = nullptr, CCreateContext* context = nullptr);
    // With a document template in the context, its shared menu is the frame's menu; inside an
    // SECMDIFrameWnd the frame becomes an MDI child.
    BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, CWnd* parent = nullptr,
        CCreateContext* context = nullptr) override;

    // Installs the caption filters as the features say. The system's own caption buttons keep
    // their places in the button row, but only the placement button is the toolkit's to draw.
    virtual void EnableFilters(UINT features);
    // The control bar the frame is docked or floating in, or null while it is an MDI child.
    CControlBar* GetHostBar() const;
    BOOL IsHostBarFloating() const;

    BOOL PreTranslateMessage(MSG* message) override;
    void OnUpdateFrameTitle(BOOL addToTitle) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    SECMsgFilter& FilterRoot() { return m_filterRoot; }
    const SECMsgFilter::DescriptorTable& FilterTable() const { return m_filterTable; }

    HMENU m_hMenuShared = nullptr; // the template's; not owned

protected:
    SECMDIFrameWnd* MainFrame() const;
    bool IsInClient() const;
    // Tells the MDI frame that this frame is its active child.
    void TellActive();

    SECMsgFilter m_filterRoot { this };
    SECMsgFilter::DescriptorTable m_filterTable;
};
