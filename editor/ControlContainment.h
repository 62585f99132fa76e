#pragma once
// Control containment for the controls scripts drive: every hosted control gets a window of its
// own (windowless activation is refused), and the user interface passes cleanly from one control
// to the next. Start-up installs one SECAScriptOccManager with AfxEnableControlContainer.

#include "editor/ControlContainmentFramework.h"

class SECAScriptOccManager : public COccManager {
public:
    COleControlContainer* CreateContainer(CWnd* window) override;
    COleControlSite* CreateSite(COleControlContainer* container) override;
};

class SECAOleScriptControlContainer : public COleControlContainer {
public:
    using COleControlContainer::COleControlContainer;
    // Forgets stale control window handles before the sites go, so that deleting a site never
    // touches a window that is no longer the control's.
    ~SECAOleScriptControlContainer() override;

    // The control that had the user interface gives it up first, even when it is the one taking it.
    void OnUIActivate(COleControlSite* site) override;
    void OnUIDeactivate(COleControlSite* site) override;
};

class SECAOleScriptControlSite : public COleControlSite {
    DECLARE_DYNCREATE(SECAOleScriptControlSite)
public:
    explicit SECAOleScriptControlSite(COleControlContainer* container = nullptr);
    ~SECAOleScriptControlSite() override;

    // Answers every in-place question as the plain site does, except that a control may never
    // activate without a window.
    BEGIN_INTERFACE_PART(AltOleIPSite, IOleInPlaceSiteWindowless)
        HRESULT GetWindow(HWND* phwnd) override;
        HRESULT ContextSensitiveHelp(BOOL fEnterMode) override;
        HRESULT CanInPlaceActivate() override;
        HRESULT OnInPlaceActivate() override;
        HRESULT OnUIActivate() override;
        HRESULT GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                 LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
        HRESULT Scroll(SIZE scrollExtent) override;
        HRESULT OnUIDeactivate(BOOL fUndoable) override;
        HRESULT OnInPlaceDeactivate() override;
        HRESULT DiscardUndoState() override;
        HRESULT DeactivateAndUndo() override;
        HRESULT OnPosRectChange(LPCRECT lprcPosRect) override;
        HRESULT OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD dwFlags) override;
        HRESULT OnInPlaceDeactivateEx(BOOL fNoRedraw) override;
        HRESULT RequestUIActivate() override;
        HRESULT CanWindowlessActivate() override;
        HRESULT GetCapture() override;
        HRESULT SetCapture(BOOL fCapture) override;
        HRESULT GetFocus() override;
        HRESULT SetFocus(BOOL fFocus) override;
        HRESULT GetDC(LPCRECT pRect, DWORD grfFlags, HDC* phDC) override;
        HRESULT ReleaseDC(HDC hDC) override;
        HRESULT InvalidateRect(LPCRECT pRect, BOOL fErase) override;
        HRESULT InvalidateRgn(HRGN hRGN, BOOL fErase) override;
        HRESULT ScrollRect(INT dx, INT dy, LPCRECT pRectScroll, LPCRECT pRectClip) override;
        HRESULT AdjustRect(LPRECT prc) override;
        HRESULT OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;
    END_INTERFACE_PART(AltOleIPSite)

    DECLARE_INTERFACE_MAP()
};
