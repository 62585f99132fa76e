#pragma once
// The framework's control containment, reduced to what the program's containers use: a manager
// that makes containers and sites, a container that holds the sites of one window and records
// which of them has the user interface, and a site that answers its control's in-place questions.

#include "editor/ControlContainmentInterfaces.h"
#include "platform/base/Collections.h"
#include "platform/com/AutomationTarget.h"

class CWnd;
class COleControlContainer;

class COleControlSite : public CAutomationTarget {
    DECLARE_DYNAMIC(COleControlSite)
public:
    explicit COleControlSite(COleControlContainer* container);
    // Releases the control and deletes its window object (which destroys a window still attached).
    ~COleControlSite() override;

    // Takes the control's in-place object (one reference) and its window object (owned, may be null).
    HRESULT AttachControl(IUnknown* control, CWnd* controlWindow);
    // The site as its control sees it.
    IOleInPlaceSiteWindowless* GetInPlaceSite();

    COleControlContainer* m_pCtrlCont = nullptr;
    IOleInPlaceObject* m_pInPlaceObject = nullptr;
    CWnd* m_pWndCtrl = nullptr;

protected:
    // Answers as a plain container does: windowless activation is allowed, the user-interface
    // changes go to the container.
    BEGIN_INTERFACE_PART(OleIPSite, IOleInPlaceSiteWindowless)
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
    END_INTERFACE_PART(OleIPSite)

    DECLARE_INTERFACE_MAP()

private:
    HWND ContainerWindow() const;
};

class COleControlContainer {
public:
    explicit COleControlContainer(CWnd* window);
    // Deletes the sites still in the site map.
    virtual ~COleControlContainer();
    COleControlContainer(const COleControlContainer&) = delete;
    COleControlContainer& operator=(const COleControlContainer&) = delete;

    // Takes ownership of site.
    void AttachSite(COleControlSite* site);

    virtual void OnUIActivate(COleControlSite* site);
    virtual void OnUIDeactivate(COleControlSite* site);

    CWnd* m_pWnd = nullptr;
    CMapPtrToPtr m_siteMap;  // site -> site
    COleControlSite* m_pSiteUIActive = nullptr;
    COleControlSite* m_pSiteFocus = nullptr;
};

class COccManager {
public:
    virtual ~COccManager() = default;
    virtual COleControlContainer* CreateContainer(CWnd* window);
    // The one-argument form makes no site of its own; managers that want sites override it.
    virtual COleControlSite* CreateSite(COleControlContainer* container);
};

// Installs the manager through which windows make their control containers (not owned; null
// restores the plain manager).
void AfxEnableControlContainer(COccManager* manager = nullptr);
COccManager* AfxGetOccManager();
