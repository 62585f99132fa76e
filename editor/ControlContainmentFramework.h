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
        DECLARE_IN_PLACE_SITE_WINDOWLESS_METHODS()
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
