#include "editor/ControlContainment.h"

#include "platform/mfc/Wnd.h"

// ---- the manager -------------------------------------------------------------------------------

COleControlContainer* SECAScriptOccManager::CreateContainer(CWnd* window)
{
    return new SECAOleScriptControlContainer(window);
}

COleControlSite* SECAScriptOccManager::CreateSite(COleControlContainer* container)
{
    return new SECAOleScriptControlSite(container);
}

// ---- the container -----------------------------------------------------------------------------

SECAOleScriptControlContainer::~SECAOleScriptControlContainer()
{
    POSITION position = m_siteMap.GetStartPosition();
    while (position) {
        void* key = nullptr;
        void* entry = nullptr;
        m_siteMap.GetNextAssoc(position, key, entry);
        auto* site = static_cast<COleControlSite*>(entry);
        if (auto* scriptSite = DYNAMIC_DOWNCAST(SECAOleScriptControlSite, site)) {
            CWnd* control = scriptSite->m_pWndCtrl;
            if (control && !::IsWindow(control->m_hWnd))
                control->m_hWnd = nullptr;
        }
        delete site;
    }
    m_siteMap.RemoveAll();
}

void SECAOleScriptControlContainer::OnUIActivate(COleControlSite* site)
{
    if (m_pSiteUIActive && m_pSiteUIActive->m_pInPlaceObject)
        m_pSiteUIActive->m_pInPlaceObject->UIDeactivate();
    m_pSiteUIActive = site;
}

void SECAOleScriptControlContainer::OnUIDeactivate(COleControlSite*)
{
    m_pSiteUIActive = nullptr;
}

// ---- the site ----------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(SECAOleScriptControlSite, COleControlSite)

// Searched before the plain site's map, which names the same interfaces.
BEGIN_INTERFACE_MAP(SECAOleScriptControlSite, COleControlSite)
    INTERFACE_PART(SECAOleScriptControlSite, IID_IOleInPlaceSite, AltOleIPSite)
    INTERFACE_PART(SECAOleScriptControlSite, IID_IOleInPlaceSiteEx, AltOleIPSite)
    INTERFACE_PART(SECAOleScriptControlSite, IID_IOleInPlaceSiteWindowless, AltOleIPSite)
END_INTERFACE_MAP()

SECAOleScriptControlSite::SECAOleScriptControlSite(COleControlContainer* container)
    : COleControlSite(container)
{
}

SECAOleScriptControlSite::~SECAOleScriptControlSite() = default;

HRESULT SECAOleScriptControlSite::XAltOleIPSite::QueryInterface(REFIID iid, void** ppvObj)
{
    METHOD_PROLOGUE(SECAOleScriptControlSite, AltOleIPSite)
    return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));
}
ULONG SECAOleScriptControlSite::XAltOleIPSite::AddRef()
{
    METHOD_PROLOGUE(SECAOleScriptControlSite, AltOleIPSite)
    return pThis->ExternalAddRef();
}
ULONG SECAOleScriptControlSite::XAltOleIPSite::Release()
{
    METHOD_PROLOGUE(SECAOleScriptControlSite, AltOleIPSite)
    return pThis->ExternalRelease();
}

HRESULT SECAOleScriptControlSite::XAltOleIPSite::CanWindowlessActivate()
{
    return S_FALSE;  // every hosted control gets a window of its own
}

// Every other operation is the plain site's.
#define FLN_FORWARD_TO_PLAIN_SITE(operation, parameters, arguments) \
    HRESULT SECAOleScriptControlSite::XAltOleIPSite::operation parameters \
    { \
        METHOD_PROLOGUE(SECAOleScriptControlSite, AltOleIPSite) \
        return pThis->m_xOleIPSite.operation arguments; \
    }

FLN_FORWARD_TO_PLAIN_SITE(GetWindow, (HWND* phwnd), (phwnd))
FLN_FORWARD_TO_PLAIN_SITE(ContextSensitiveHelp, (BOOL fEnterMode), (fEnterMode))
FLN_FORWARD_TO_PLAIN_SITE(CanInPlaceActivate, (), ())
FLN_FORWARD_TO_PLAIN_SITE(OnInPlaceActivate, (), ())
FLN_FORWARD_TO_PLAIN_SITE(OnUIActivate, (), ())
FLN_FORWARD_TO_PLAIN_SITE(GetWindowContext,
    (IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect, LPRECT lprcClipRect,
     LPOLEINPLACEFRAMEINFO lpFrameInfo),
    (ppFrame, ppDoc, lprcPosRect, lprcClipRect, lpFrameInfo))
FLN_FORWARD_TO_PLAIN_SITE(Scroll, (SIZE scrollExtent), (scrollExtent))
FLN_FORWARD_TO_PLAIN_SITE(OnUIDeactivate, (BOOL fUndoable), (fUndoable))
FLN_FORWARD_TO_PLAIN_SITE(OnInPlaceDeactivate, (), ())
FLN_FORWARD_TO_PLAIN_SITE(DiscardUndoState, (), ())
FLN_FORWARD_TO_PLAIN_SITE(DeactivateAndUndo, (), ())
FLN_FORWARD_TO_PLAIN_SITE(OnPosRectChange, (LPCRECT lprcPosRect), (lprcPosRect))
FLN_FORWARD_TO_PLAIN_SITE(OnInPlaceActivateEx, (BOOL* pfNoRedraw, DWORD dwFlags), (pfNoRedraw, dwFlags))
FLN_FORWARD_TO_PLAIN_SITE(OnInPlaceDeactivateEx, (BOOL fNoRedraw), (fNoRedraw))
FLN_FORWARD_TO_PLAIN_SITE(RequestUIActivate, (), ())
FLN_FORWARD_TO_PLAIN_SITE(GetCapture, (), ())
FLN_FORWARD_TO_PLAIN_SITE(SetCapture, (BOOL fCapture), (fCapture))
FLN_FORWARD_TO_PLAIN_SITE(GetFocus, (), ())
FLN_FORWARD_TO_PLAIN_SITE(SetFocus, (BOOL fFocus), (fFocus))
FLN_FORWARD_TO_PLAIN_SITE(GetDC, (LPCRECT pRect, DWORD grfFlags, HDC* phDC), (pRect, grfFlags, phDC))
FLN_FORWARD_TO_PLAIN_SITE(ReleaseDC, (HDC hDC), (hDC))
FLN_FORWARD_TO_PLAIN_SITE(InvalidateRect, (LPCRECT pRect, BOOL fErase), (pRect, fErase))
FLN_FORWARD_TO_PLAIN_SITE(InvalidateRgn, (HRGN hRGN, BOOL fErase), (hRGN, fErase))
FLN_FORWARD_TO_PLAIN_SITE(ScrollRect, (INT dx, INT dy, LPCRECT pRectScroll, LPCRECT pRectClip),
    (dx, dy, pRectScroll, pRectClip))
FLN_FORWARD_TO_PLAIN_SITE(AdjustRect, (LPRECT prc), (prc))
FLN_FORWARD_TO_PLAIN_SITE(OnDefWindowMessage, (UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult),
    (msg, wParam, lParam, plResult))

#undef FLN_FORWARD_TO_PLAIN_SITE
