#pragma once
// The controller side of the model-view-controller layer: events, listeners, the event router,
// and the controller, a plug-in that receives a viewport's input and routes events to listeners.

#include "framework/Mvc.h"
#include "framework/WndPlugIn.h"

namespace divuzura::foundation {

inline constexpr InterfaceId IID_IEvent { "IEvent" };
inline constexpr InterfaceId IID_IMouseEvent { "IMouseEvent" };
inline constexpr InterfaceId IID_IEventListener { "IEventListener" };
inline constexpr InterfaceId IID_IEventRouter { "IEventRouter" };
inline constexpr InterfaceId IID_IVisual { "IVisual" };

class IEvent : public IQueryGuid, public IRefCount {
};

// An event at a point; a viewport takes the point into its logical coordinates before routing.
class IMouseEvent : public IEvent {
public:
    virtual CPoint GetPoint() const = 0;
    virtual void SetPoint(const CPoint& point) = 0;
};

class IEventListener : public IQueryGuid, public IRefCount {
public:
    // TRUE when the listener handled the event.
    virtual BOOL OnEvent(IEvent* event) = 0;
};

// Makes events from a window's messages; null for a message that is no event.
class IEventFactory {
public:
    virtual ~IEventFactory() = default;
    virtual IEvent* CreateEvent(UINT message, WPARAM wParam, LPARAM lParam) = 0;
};

class IVisual : public IQueryGuid, public IRefCount {
public:
    virtual void Draw(CDC* dc) = 0;
    virtual CRect GetBounds() const = 0;
};

class IEventRouter : public IQueryGuid, public IRefCount {
public:
    // Offers the event to every listener in order; TRUE when at least one handled it.
    virtual BOOL RouteEvent(IEvent* event) = 0;
    // The router holds one reference to each listener.
    virtual void AddListener(IEventListener* listener) = 0;
    virtual BOOL RemoveListener(IEventListener* listener) = 0;
};

// A router with a list of listeners, and the model and visual its events concern. Its owner
// decides its lifetime; the listeners it releases, from the last to the first.
class CEventRouterImpl : public IEventRouter {
public:
    CEventRouterImpl() = default;
    CEventRouterImpl(const CEventRouterImpl&) = delete;
    CEventRouterImpl& operator=(const CEventRouterImpl&) = delete;
    ~CEventRouterImpl() override;

    bool QueryGuid(GUID_REF guid, void** object) override;
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    BOOL RouteEvent(IEvent* event) override;
    void AddListener(IEventListener* listener) override;
    BOOL RemoveListener(IEventListener* listener) override;

    virtual void SetModel(CMvcModel* model) { m_model = model; }
    virtual CMvcModel* GetModel() const { return m_model; }
    virtual void SetVisual(IVisual* visual) { m_visual = visual; }
    virtual IVisual* GetVisual() const { return m_visual; }

    int GetListenerCount() const { return m_listeners.GetCount(); }

private:
    CCArray_T<IEventListener*> m_listeners;
    CMvcModel* m_model = nullptr;
    IVisual* m_visual = nullptr;
};

class MvcViewport;

// Receives the input messages of a viewport's host window and routes events to its listeners.
class MvcController : public SECWndPlugIn, public CEventRouterImpl {
public:
    MvcController() = default;
    ~MvcController() override;

    bool QueryGuid(GUID_REF guid, void** object) override;

    // Only input: mouse and key messages, commands, cursor, timer, context menu and 0x19.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    virtual void Initialize(MvcViewport* viewport, IVisual* visual);
    virtual void OnInitialize(MvcViewport* viewport, IVisual* visual);
    void SetVisual(IVisual* visual) override { CEventRouterImpl::SetVisual(visual); }

    MvcViewport* GetViewport() const { return m_viewport; }

    // The one controller of the process that has the mouse, or null. Giving it to another
    // controller releases the old capture and captures for the new controller's viewport.
    static void SetCapture(MvcController* controller);
    static MvcController* GetCapture();

    static BOOL IsMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSEWHEEL; }

private:
    MvcViewport* m_viewport = nullptr;
};

} // namespace divuzura::foundation
