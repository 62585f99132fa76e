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
        DECLARE_IN_PLACE_SITE_WINDOWLESS_METHODS()
    END_INTERFACE_PART(AltOleIPSite)

    DECLARE_INTERFACE_MAP()
};
