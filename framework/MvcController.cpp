#include "framework/MvcController.h"

#include "framework/MvcViewport.h"

namespace divuzura::foundation {

namespace {

MvcController* captureHolder = nullptr;

} // namespace

CEventRouterImpl::~CEventRouterImpl()
{
    for (int i = m_listeners.GetCount() - 1; i >= 0; --i)
        m_listeners[i]->Release();
    m_listeners.RemoveAll();
}

bool CEventRouterImpl::QueryGuid(GUID_REF guid, void** object)
{
    if (&guid == &IID_IEventRouter || &guid == &IID_IQueryGuid) {
        *object = static_cast<IEventRouter*>(this);
        return true;
    }
    *object = nullptr;
    return false;
}

BOOL CEventRouterImpl::RouteEvent(IEvent* event)
{
    if (!event)
        return FALSE;
    // Offer it to a copy: a listener may leave the list while it handles the event.
    CCArray_T<IEventListener*> listeners;
    listeners.Copy(m_listeners);
    BOOL handled = FALSE;
    for (int i = 0; i < listeners.GetCount(); ++i)
        handled |= listeners[i]->OnEvent(event);
    return handled;
}

void CEventRouterImpl::AddListener(IEventListener* listener)
{
    if (!listener)
        return;
    listener->AddRef();
    m_listeners.Add(listener);
}

BOOL CEventRouterImpl::RemoveListener(IEventListener* listener)
{
    for (int i = 0; i < m_listeners.GetCount(); ++i) {
        if (m_listeners[i] == listener) {
            m_listeners.RemoveAt(i);
            listener->Release();
            return TRUE;
        }
    }
    return FALSE;
}

MvcController::~MvcController()
{
    if (captureHolder == this)
        SetCapture(nullptr);
}

bool MvcController::QueryGuid(GUID_REF guid, void** object)
{
    return CEventRouterImpl::QueryGuid(guid, object);
}

BOOL MvcController::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_COMMAND:
    case WM_SETCURSOR:
    case WM_TIMER:
    case WM_CONTEXTMENU:
    case WM_CTLCOLOR:
        break;
    default:
        if (!IsMouseMessage(message))
            return FALSE;
    }
    return SECWndPlugIn::OnWndMsg(message, wParam, lParam, result);
}

void MvcController::Initialize(MvcViewport* viewport, IVisual* visual)
{
    OnInitialize(viewport, visual);
}

void MvcController::OnInitialize(MvcViewport* viewport, IVisual* visual)
{
    m_viewport = viewport;
    SetVisual(visual);
    m_hWnd = nullptr;
    if (viewport)
        PlugInToHandle(viewport->GetSafeHwnd());
}

void MvcController::SetCapture(MvcController* controller)
{
    if (captureHolder)
        ::ReleaseCapture();
    captureHolder = controller;
    if (controller && controller->m_viewport)
        ::SetCapture(controller->m_viewport->GetSafeHwnd());
}

MvcController* MvcController::GetCapture()
{
    return captureHolder;
}

} // namespace divuzura::foundation
