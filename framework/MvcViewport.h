#pragma once
// The view side of the model-view-controller layer: a logical part (a logical coordinate system
// over device pixels: origins, scale, mapping mode and extents, and the part's own bounds) and
// the viewport, a drawing surface inside a host window that scrolls within its bounds, zooms,
// routes input to its controller and listeners, and repaints when its model changes.

#include "framework/MvcController.h"
#include "platform/mfc/Dc.h"

namespace divuzura::foundation {

inline constexpr InterfaceId IID_ILogCoordinates { "ILogCoordinates" };
inline constexpr InterfaceId IID_IZoom { "IZoom" };

// Conversions between device and logical coordinates.
class ILogCoordinates {
public:
    virtual ~ILogCoordinates() = default;
    virtual void DPtoLP(POINT* points, int count = 1) const = 0;
    virtual void LPtoDP(POINT* points, int count = 1) const = 0;
    virtual void DPtoLP(RECT* rect) const = 0;
    virtual void LPtoDP(RECT* rect) const = 0;
    virtual void DPtoLP(SIZE* size) const = 0;
    virtual void LPtoDP(SIZE* size) const = 0;
    // -1 where logical y grows upwards, else 1.
    virtual int GetYDirection() const = 0;
    virtual void SetLogOrigin(int x, int y) = 0;
    virtual void OffsetLogOrigin(int dx, int dy) = 0;
    virtual CPoint GetLogOrigin() const = 0;
};

// Zoom in percent: 100 / scale factor.
class IZoom {
public:
    virtual ~IZoom() = default;
    virtual void SetZoom(BOOL update, int percentX, int percentY) = 0;
    virtual CSize GetZoom() const = 0;
    virtual void ZoomIn(BOOL update, int dx, int dy) = 0;
    virtual void ZoomOut(BOOL update, int dx, int dy) = 0;
    // The size multiplied by the scale factors, each side at least 1.
    virtual CSize ZoomSize(CSize size) const = 0;
};

class MvcLogicalPart : public ILogCoordinates, public IZoom {
public:
    void DPtoLP(POINT* points, int count = 1) const override;
    void LPtoDP(POINT* points, int count = 1) const override;
    void DPtoLP(RECT* rect) const override;
    void LPtoDP(RECT* rect) const override;
    void DPtoLP(SIZE* size) const override;
    void LPtoDP(SIZE* size) const override;
    int GetYDirection() const override;
    void SetLogOrigin(int x, int y) override { m_logOrigin = { x, y }; }
    void OffsetLogOrigin(int dx, int dy) override;
    CPoint GetLogOrigin() const override { return m_logOrigin; }
    void SetDeviceOrigin(int x, int y) { m_deviceOrigin = { x, y }; }
    CPoint GetDeviceOrigin() const { return m_deviceOrigin; }

    void SetMapMode(int mode) { m_mapMode = mode; }
    int GetMapMode() const { return m_mapMode; }
    void SetExtents(CSize window, CSize viewport)
    {
        m_windowExtent = window;
        m_viewportExtent = viewport;
    }
    // A pair of logical extents kept for the horizontal (vertical = FALSE) or vertical direction.
    virtual void SetLogicalExtentsDir(BOOL vertical, int first, int second);
    virtual void GetLogicalExtentsDir(BOOL vertical, int& first, int& second) const;

    // Sets the scale factors (device pixels per logical unit); `update` goes to OnScaleChanged.
    virtual void SetScale(BOOL update, float x, float y);
    // Multiplies the scale factors.
    virtual void Zoom(BOOL update, float x, float y);
    float GetScaleX() const { return m_scaleX; }
    float GetScaleY() const { return m_scaleY; }
    void SetZoom(BOOL update, int percentX, int percentY) override;
    CSize GetZoom() const override;
    void ZoomIn(BOOL update, int dx, int dy) override;
    void ZoomOut(BOOL update, int dx, int dy) override;
    CSize ZoomSize(CSize size) const override;

    // The part's own place in logical units: origin and size.
    void SetOrigin(CPoint origin) { m_origin = origin; }
    CPoint GetOrigin() const { return m_origin; }
    void SetSize(CSize size) { m_size = size; }
    CSize GetSize() const { return m_size; }
    virtual void MoveBy(int dx, int dy) { m_origin.Offset(dx, dy); }
    // Scales the size by numerator / denominator per axis, with `centre` around its middle.
    virtual void ScaleSize(int numX, int denX, int numY, int denY, BOOL centre);
    virtual void SetBounds(const CRect& rect);
    // Origin to origin + size, normalised.
    virtual CRect GetBounds() const;

    // For the modes measured in device pixels: scales `size` by the target's resolution over the
    // screen's, per axis; TRUE when that changed it.
    virtual BOOL AdjustExtentForDevice(CDC* dc, CSize& size) const;

protected:
    virtual void OnScaleChanged(BOOL) {}

private:
    int m_mapMode = MM_TEXT;
    CPoint m_logOrigin;
    CPoint m_deviceOrigin;
    CSize m_windowExtent { 1, 1 };
    CSize m_viewportExtent { 1, 1 };
    CSize m_extentsHorizontal;
    CSize m_extentsVertical;
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
    CPoint m_origin;
    CSize m_size;
};

class MvcViewport : public MvcLogicalPart, public IVisual {
public:
    MvcViewport();
    MvcViewport(const MvcViewport&) = delete;
    MvcViewport& operator=(const MvcViewport&) = delete;
    // Leaves the model and deletes the controller when it owns it.
    ~MvcViewport() override;

    bool QueryGuid(GUID_REF guid, void** object) override;
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }

    // Prepares the DC for the logical coordinates, paints (OnDraw), restores the DC.
    void Draw(CDC* dc) override;
    CRect GetBounds() const override { return MvcLogicalPart::GetBounds(); }
    virtual CRect GetMargins() const { return {}; }

    // Takes the host window and the bounds, then OnCreate; its answer.
    virtual BOOL Create(CWnd* host, const CRect& bounds);
    virtual BOOL OnCreate() { return TRUE; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    virtual CWnd* GetHostWindow() const { return m_host; }

    virtual void SetModel(CMvcModel* model);
    virtual CMvcModel* GetModel() const { return m_model; }
    virtual void SetController(MvcController* controller, BOOL owned);
    virtual MvcController* GetController() const { return m_controller; }
    virtual BOOL CanDraw() const { return TRUE; }
    virtual IEventFactory* GetEventFactory() { return nullptr; }
    CEventRouterImpl& Listeners() { return m_listeners; }

    // Repainting in the host: logical rectangles (right and bottom included) and host rectangles.
    virtual void InvalidateLogicalRect(const CRect& rect, BOOL erase);
    virtual void ValidateLogicalRect(const CRect& rect);
    virtual void InvalidateHostRect(const CRect& rect, BOOL erase);
    virtual BOOL GetUpdateRect(CRect& rect, BOOL erase) const;
    virtual void Update(LPARAM hint, CObject* object) { OnUpdate(this, hint, object); }
    // Repaints the sender's bounds (its own when the sender is this viewport).
    virtual void OnUpdate(IVisual* sender, LPARAM hint, CObject* object);

    // The host's client area in logical coordinates.
    virtual CRect GetVisibleLogicalRect() const;
    // Moves the logical origin by (dx, dy), kept so that the visible rectangle stays within the
    // bounds; the visible rectangle after the move.
    virtual CRect ScrollLogical(int dx, int dy);
    virtual void CenterOnLogicalPoint(int x, int y);
    virtual void LineUpLeft(BOOL vertical);
    virtual void LineDownRight(BOOL vertical);
    virtual void PageUpLeft(BOOL vertical);
    virtual void PageDownRight(BOOL vertical);

    // The host's messages: a controller with the mouse first, then events through the factory,
    // then the controller (mouse messages only inside the bounds).
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // Commands the host did not handle itself go to the controller.
    virtual BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo);
    // Mouse events (their points taken into logical coordinates) only inside the bounds; the
    // controller first, then the viewport's own listeners.
    virtual BOOL RouteEvent(IEvent* event);

    // A device context of the host window, prepared for the viewport when asked; released with it.
    class DC : public CDC {
    public:
        DC(MvcViewport* viewport, BOOL prepare);
        ~DC() override;

    private:
        HWND m_window;
    };
    virtual void OnPrepareDC(CDC* dc);

protected:
    virtual void OnDraw(CDC*) {}
    void OnScaleChanged(BOOL update) override;

private:
    // Repaints when the model says it changed.
    class ModelObserver : public IObserver {
    public:
        explicit ModelObserver(MvcViewport& viewport) : m_viewport(viewport) {}
        bool QueryGuid(GUID_REF guid, void** object) override;
        ULONG AddRef() override { return 1; }
        ULONG Release() override { return 1; }
        void OnUpdate(ISubject*, IMessage*) override { m_viewport.Update(0, nullptr); }

    private:
        MvcViewport& m_viewport;
    };

    HWND m_hWnd = nullptr;
    CWnd* m_host = nullptr;
    CMvcModel* m_model = nullptr;
    MvcController* m_controller = nullptr;
    BOOL m_ownsController = FALSE;
    CEventRouterImpl m_listeners;
    ModelObserver m_observer { *this };
};

} // namespace divuzura::foundation
