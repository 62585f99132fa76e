#include "editor/ControlContainmentFramework.h"

#include "platform/mfc/Wnd.h"

IMPLEMENT_DYNAMIC(COleControlSite, CAutomationTarget)

BEGIN_INTERFACE_MAP(COleControlSite, CAutomationTarget)
    INTERFACE_PART(COleControlSite, IID_IOleInPlaceSite, OleIPSite)
    INTERFACE_PART(COleControlSite, IID_IOleInPlaceSiteEx, OleIPSite)
    INTERFACE_PART(COleControlSite, IID_IOleInPlaceSiteWindowless, OleIPSite)
END_INTERFACE_MAP()

// ---- the site ----------------------------------------------------------------------------------

COleControlSite::COleControlSite(COleControlContainer* container)
    : m_pCtrlCont(container)
{
}

COleControlSite::~COleControlSite()
{
    if (m_pInPlaceObject)
        m_pInPlaceObject->Release();
    delete m_pWndCtrl;
}

HRESULT COleControlSite::AttachControl(IUnknown* control, CWnd* controlWindow)
{
    if (!control)
        return E_POINTER;
    IOleInPlaceObject* inPlace = nullptr;
    HRESULT hr = control->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace));
    if (FAILED(hr))
        return hr;
    if (m_pInPlaceObject)
        m_pInPlaceObject->Release();
    m_pInPlaceObject = inPlace;
    if (controlWindow != m_pWndCtrl) {
        delete m_pWndCtrl;
        m_pWndCtrl = controlWindow;
    }
    return S_OK;
}

IOleInPlaceSiteWindowless* COleControlSite::GetInPlaceSite()
{
    IOleInPlaceSiteWindowless* site = nullptr;
    InternalQueryInterface(&IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(&site));
    if (site)
        site->Release();  // the caller borrows it for the site's lifetime
    return site;
}

HWND COleControlSite::ContainerWindow() const
{
    return m_pCtrlCont && m_pCtrlCont->m_pWnd ? m_pCtrlCont->m_pWnd->GetSafeHwnd() : nullptr;
}

HRESULT COleControlSite::XOleIPSite::QueryInterface(REFIID iid, void** ppvObj)
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    return static_cast<HRESULT>(pThis->ExternalQueryInterface(&iid, ppvObj));
}
ULONG COleControlSite::XOleIPSite::AddRef()
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    return pThis->ExternalAddRef();
}
ULONG COleControlSite::XOleIPSite::Release()
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    return pThis->ExternalRelease();
}

HRESULT COleControlSite::XOleIPSite::GetWindow(HWND* phwnd)
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    if (!phwnd)
        return E_POINTER;
    *phwnd = pThis->ContainerWindow();
    return *phwnd ? S_OK : E_FAIL;
}
HRESULT COleControlSite::XOleIPSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }
HRESULT COleControlSite::XOleIPSite::CanInPlaceActivate() { return S_OK; }
HRESULT COleControlSite::XOleIPSite::OnInPlaceActivate() { return S_OK; }

HRESULT COleControlSite::XOleIPSite::OnUIActivate()
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    if (pThis->m_pCtrlCont)
        pThis->m_pCtrlCont->OnUIActivate(pThis);
    return S_OK;
}

HRESULT COleControlSite::XOleIPSite::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
    LPRECT lprcPosRect, LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect)
        return E_POINTER;
    *ppFrame = nullptr;  // no tool space is offered
    *ppDoc = nullptr;
    HWND container = pThis->ContainerWindow();
    RECT client {};
    if (container)
        ::GetClientRect(container, &client);
    *lprcPosRect = client;
    *lprcClipRect = client;
    if (lpFrameInfo) {
        lpFrameInfo->fMDIApp = FALSE;
        lpFrameInfo->hwndFrame = container;
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT COleControlSite::XOleIPSite::Scroll(SIZE) { return S_FALSE; }

HRESULT COleControlSite::XOleIPSite::OnUIDeactivate(BOOL)
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    if (pThis->m_pCtrlCont)
        pThis->m_pCtrlCont->OnUIDeactivate(pThis);
    return S_OK;
}

HRESULT COleControlSite::XOleIPSite::OnInPlaceDeactivate() { return S_OK; }
HRESULT COleControlSite::XOleIPSite::DiscardUndoState() { return S_OK; }
HRESULT COleControlSite::XOleIPSite::DeactivateAndUndo() { return S_OK; }
HRESULT COleControlSite::XOleIPSite::OnPosRectChange(LPCRECT) { return S_OK; }

HRESULT COleControlSite::XOleIPSite::OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD)
{
    if (pfNoRedraw)
        *pfNoRedraw = FALSE;
    return S_OK;
}

HRESULT COleControlSite::XOleIPSite::OnInPlaceDeactivateEx(BOOL) { return S_OK; }
HRESULT COleControlSite::XOleIPSite::RequestUIActivate() { return S_OK; }
HRESULT COleControlSite::XOleIPSite::CanWindowlessActivate() { return S_OK; }
HRESULT COleControlSite::XOleIPSite::GetCapture() { return S_FALSE; }
HRESULT COleControlSite::XOleIPSite::SetCapture(BOOL) { return S_OK; }
HRESULT COleControlSite::XOleIPSite::GetFocus() { return S_FALSE; }
HRESULT COleControlSite::XOleIPSite::SetFocus(BOOL) { return S_OK; }

HRESULT COleControlSite::XOleIPSite::GetDC(LPCRECT, DWORD, HDC* phDC)
{
    if (phDC)
        *phDC = nullptr;
    return E_NOTIMPL;
}

HRESULT COleControlSite::XOleIPSite::ReleaseDC(HDC) { return E_NOTIMPL; }

HRESULT COleControlSite::XOleIPSite::InvalidateRect(LPCRECT pRect, BOOL fErase)
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    HWND container = pThis->ContainerWindow();
    if (!container)
        return E_FAIL;
    ::InvalidateRect(container, pRect, fErase);
    return S_OK;
}

HRESULT COleControlSite::XOleIPSite::InvalidateRgn(HRGN hRGN, BOOL fErase)
{
    METHOD_PROLOGUE(COleControlSite, OleIPSite)
    HWND container = pThis->ContainerWindow();
    if (!container)
        return E_FAIL;
    ::InvalidateRgn(container, hRGN, fErase);
    return S_OK;
}

HRESULT COleControlSite::XOleIPSite::ScrollRect(INT, INT, LPCRECT, LPCRECT) { return E_NOTIMPL; }
HRESULT COleControlSite::XOleIPSite::AdjustRect(LPRECT) { return S_OK; }

HRESULT COleControlSite::XOleIPSite::OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT* plResult)
{
    if (plResult)
        *plResult = 0;
    return S_FALSE;
}

// ---- the container -----------------------------------------------------------------------------

COleControlContainer::COleControlContainer(CWnd* window)
    : m_pWnd(window)
{
}

COleControlContainer::~COleControlContainer()
{
    POSITION position = m_siteMap.GetStartPosition();
    while (position) {
        void* key = nullptr;
        void* site = nullptr;
        m_siteMap.GetNextAssoc(position, key, site);
        delete static_cast<COleControlSite*>(site);
    }
    m_siteMap.RemoveAll();
}

void COleControlContainer::AttachSite(COleControlSite* site)
{
    if (site)
        m_siteMap.SetAt(site, site);
}

void COleControlContainer::OnUIActivate(COleControlSite* site)
{
    m_pSiteUIActive = site;
}

void COleControlContainer::OnUIDeactivate(COleControlSite*)
{
    m_pSiteUIActive = nullptr;
}

// ---- the manager -------------------------------------------------------------------------------

COleControlContainer* COccManager::CreateContainer(CWnd* window)
{
    return new COleControlContainer(window);
}

COleControlSite* COccManager::CreateSite(COleControlContainer*)
{
    return nullptr;
}

namespace {
COccManager g_plainManager;
COccManager* g_manager = &g_plainManager;
} // namespace

void AfxEnableControlContainer(COccManager* manager)
{
    g_manager = manager ? manager : &g_plainManager;
}

COccManager* AfxGetOccManager()
{
    return g_manager;
}
