#include "framework/MvcViewport.h"

#include "platform/base/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace divuzura::foundation {

namespace {

int Truncated(double value) { return static_cast<int>(std::clamp(value, double(INT32_MIN), double(INT32_MAX))); }

CRect Normalized(CRect rect)
{
    rect.NormalizeRect();
    return rect;
}

// The part of a move along one axis that keeps [near, far) within [low, high): shortened so
// that the far edge ends on `high`, then lengthened so that the near edge starts at `low`.
int Limited(int64_t move, int near, int far, int low, int high)
{
    if (far + move > high)
        move = int64_t(high) - far;
    if (near + move < low)
        move = int64_t(low) - near;
    return static_cast<int>(move);
}

} // namespace

// ---- coordinates

void MvcLogicalPart::DPtoLP(POINT* points, int count) const
{
    for (POINT& point : std::span(points, static_cast<size_t>(std::max(count, 0)))) {
        point.x = Truncated((double(point.x) - m_deviceOrigin.x) / m_scaleX) + m_logOrigin.x;
        point.y = Truncated((double(point.y) - m_deviceOrigin.y) / m_scaleY) + m_logOrigin.y;
    }
}

void MvcLogicalPart::LPtoDP(POINT* points, int count) const
{
    for (POINT& point : std::span(points, static_cast<size_t>(std::max(count, 0)))) {
        point.x = Truncated((double(point.x) - m_logOrigin.x) * m_scaleX) + m_deviceOrigin.x;
        point.y = Truncated((double(point.y) - m_logOrigin.y) * m_scaleY) + m_deviceOrigin.y;
    }
}

void MvcLogicalPart::DPtoLP(RECT* rect) const { DPtoLP(reinterpret_cast<POINT*>(rect), 2); }
void MvcLogicalPart::LPtoDP(RECT* rect) const { LPtoDP(reinterpret_cast<POINT*>(rect), 2); }

void MvcLogicalPart::DPtoLP(SIZE* size) const
{
    size->cx = Truncated(size->cx / double(m_scaleX));
    size->cy = Truncated(size->cy / double(m_scaleY));
}

void MvcLogicalPart::LPtoDP(SIZE* size) const
{
    size->cx = Truncated(size->cx * double(m_scaleX));
    size->cy = Truncated(size->cy * double(m_scaleY));
}

int MvcLogicalPart::GetYDirection() const
{
    if (m_mapMode >= MM_LOMETRIC && m_mapMode <= MM_HIENGLISH)
        return -1;
    const bool windowDown = m_windowExtent.cy < 0, viewportDown = m_viewportExtent.cy < 0;
    if ((windowDown && m_viewportExtent.cy > 0) || (m_windowExtent.cy >= 1 && viewportDown))
        return -1;
    return 1;
}

void MvcLogicalPart::OffsetLogOrigin(int dx, int dy)
{
    if (dx || dy)
        SetLogOrigin(m_logOrigin.x + dx, m_logOrigin.y + dy);
}

void MvcLogicalPart::SetLogicalExtentsDir(BOOL vertical, int first, int second)
{
    (vertical ? m_extentsVertical : m_extentsHorizontal) = CSize(first, second);
}

void MvcLogicalPart::GetLogicalExtentsDir(BOOL vertical, int& first, int& second) const
{
    const CSize& pair = vertical ? m_extentsVertical : m_extentsHorizontal;
    first = pair.cx;
    second = pair.cy;
}

// ---- scale and zoom

void MvcLogicalPart::SetScale(BOOL update, float x, float y)
{
    if (!(x > 0.0f) || !(y > 0.0f) || !std::isfinite(x) || !std::isfinite(y))
        return; // a scale that maps nothing, or everything to one pixel, is refused
    m_scaleX = x;
    m_scaleY = y;
    OnScaleChanged(update);
}

void MvcLogicalPart::Zoom(BOOL update, float x, float y)
{
    SetScale(update, m_scaleX * x, m_scaleY * y);
}

void MvcLogicalPart::SetZoom(BOOL update, int percentX, int percentY)
{
    if (percentX > 0 && percentY > 0)
        SetScale(update, 100.0f / float(percentX), 100.0f / float(percentY));
}

CSize MvcLogicalPart::GetZoom() const
{
    // Rounded: a float factor of 100 / 250 gives back 249.99...
    return CSize(Truncated(std::round(100.0 / m_scaleX)), Truncated(std::round(100.0 / m_scaleY)));
}

void MvcLogicalPart::ZoomIn(BOOL update, int dx, int dy)
{
    const CSize zoom = GetZoom();
    SetZoom(update, zoom.cx + dx, zoom.cy + dy);
}

void MvcLogicalPart::ZoomOut(BOOL update, int dx, int dy)
{
    const CSize zoom = GetZoom();
    SetZoom(update, zoom.cx - dx, zoom.cy - dy);
}

CSize MvcLogicalPart::ZoomSize(CSize size) const
{
    return CSize(std::max(1, Truncated(size.cx * double(m_scaleX))), std::max(1, Truncated(size.cy * double(m_scaleY))));
}

// ---- the part's place

void MvcLogicalPart::ScaleSize(int numX, int denX, int numY, int denY, BOOL centre)
{
    if (!denX || !denY)
        return;
    const CSize scaled(Truncated(double(m_size.cx) * numX / denX), Truncated(double(m_size.cy) * numY / denY));
    if (centre)
        m_origin.Offset(-(scaled.cx - m_size.cx) / 2, -(scaled.cy - m_size.cy) / 2);
    m_size = scaled;
}

void MvcLogicalPart::SetBounds(const CRect& rect)
{
    m_origin = rect.TopLeft();
    m_size = rect.Size();
}

CRect MvcLogicalPart::GetBounds() const
{
    return Normalized(CRect(m_origin, m_size));
}

BOOL MvcLogicalPart::AdjustExtentForDevice(CDC* dc, CSize& size) const
{
    if (!dc || (m_mapMode != MM_TEXT && m_mapMode != MM_ISOTROPIC && m_mapMode != MM_ANISOTROPIC))
        return FALSE;
    HDC screen = ::GetDC(nullptr);
    const CSize screenDpi(::GetDeviceCaps(screen, LOGPIXELSX), ::GetDeviceCaps(screen, LOGPIXELSY));
    ::ReleaseDC(nullptr, screen);
    const CSize targetDpi(dc->GetDeviceCaps(LOGPIXELSX), dc->GetDeviceCaps(LOGPIXELSY));
    const CSize before = size;
    if (targetDpi.cx && screenDpi.cx && targetDpi.cx != screenDpi.cx)
        size.cx = Truncated(double(size.cx) * targetDpi.cx / screenDpi.cx);
    if (targetDpi.cy && screenDpi.cy && targetDpi.cy != screenDpi.cy)
        size.cy = Truncated(double(size.cy) * targetDpi.cy / screenDpi.cy);
    return size != before;
}

// ---- the viewport

MvcViewport::MvcViewport() = default;

MvcViewport::~MvcViewport()
{
    if (m_model)
        m_model->RemoveObserver(&m_observer);
    if (m_ownsController)
        delete m_controller;
}

bool MvcViewport::QueryGuid(GUID_REF guid, void** object)
{
    if (&guid == &IID_ILogCoordinates)
        *object = static_cast<ILogCoordinates*>(this);
    else if (&guid == &IID_IZoom)
        *object = static_cast<IZoom*>(this);
    else if (&guid == &IID_IVisual || &guid == &IID_IQueryGuid)
        *object = static_cast<IVisual*>(this);
    else if (&guid == &IID_IEventRouter)
        *object = static_cast<IEventRouter*>(&m_listeners);
    else if (&guid == &IID_IObserver)
        *object = static_cast<IObserver*>(&m_observer);
    else
        *object = nullptr;
    return *object != nullptr;
}

bool MvcViewport::ModelObserver::QueryGuid(GUID_REF guid, void** object)
{
    return m_viewport.QueryGuid(guid, object);
}

BOOL MvcViewport::Create(CWnd* host, const CRect& bounds)
{
    m_host = host;
    m_hWnd = host ? host->m_hWnd : nullptr;
    SetBounds(bounds);
    return OnCreate();
}

void MvcViewport::SetModel(CMvcModel* model)
{
    if (model == m_model)
        return;
    if (m_model)
        m_model->RemoveObserver(&m_observer);
    m_model = model;
    if (model)
        model->AddObserver(&m_observer);
    if (m_controller)
        m_controller->SetModel(model);
}

void MvcViewport::SetController(MvcController* controller, BOOL owned)
{
    if (m_ownsController && controller != m_controller)
        delete m_controller;
    m_controller = controller;
    m_ownsController = owned;
    if (controller && m_model)
        controller->SetModel(m_model);
}

void MvcViewport::Draw(CDC* dc)
{
    if (!dc || !CanDraw())
        return;
    const int saved = dc->SaveDC();
    OnPrepareDC(dc);
    OnDraw(dc);
    dc->RestoreDC(saved);
}

void MvcViewport::OnPrepareDC(CDC* dc)
{
    const CPoint logical = GetLogOrigin(), device = GetDeviceOrigin();
    if (GetScaleX() != 1.0f || GetScaleY() != 1.0f) {
        constexpr int unit = 1000;
        dc->SetMapMode(MM_ANISOTROPIC);
        ::SetWindowExtEx(dc->m_hDC, unit, unit, nullptr);
        ::SetViewportExtEx(dc->m_hDC, Truncated(std::lround(unit * GetScaleX())), Truncated(std::lround(unit * GetScaleY())), nullptr);
    }
    dc->SetWindowOrg(logical.x, logical.y);
    dc->SetViewportOrg(device.x, device.y);
}

void MvcViewport::OnScaleChanged(BOOL update)
{
    if (update && m_hWnd)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

// ---- repainting

void MvcViewport::InvalidateLogicalRect(const CRect& rect, BOOL erase)
{
    CRect device(rect.left, rect.top, rect.right + 1, rect.bottom + 1);
    LPtoDP(&device);
    device.NormalizeRect();
    ::InvalidateRect(m_hWnd, &device, erase);
    if (erase)
        ::UpdateWindow(m_hWnd);
}

void MvcViewport::ValidateLogicalRect(const CRect& rect)
{
    CRect device = rect;
    LPtoDP(&device);
    device.NormalizeRect();
    ::ValidateRect(m_hWnd, &device);
}

void MvcViewport::InvalidateHostRect(const CRect& rect, BOOL erase)
{
    CRect device = rect;
    LPtoDP(&device);
    device.NormalizeRect();
    ::InvalidateRect(m_hWnd, &device, erase);
}

BOOL MvcViewport::GetUpdateRect(CRect& rect, BOOL erase) const
{
    return ::GetUpdateRect(m_hWnd, &rect, erase);
}

void MvcViewport::OnUpdate(IVisual* sender, LPARAM, CObject*)
{
    InvalidateHostRect(sender && sender != this ? sender->GetBounds() : GetBounds(), FALSE);
}

// ---- scrolling

CRect MvcViewport::GetVisibleLogicalRect() const
{
    CRect client;
    if (!m_hWnd || !::GetClientRect(m_hWnd, &client))
        return {};
    DPtoLP(&client);
    return Normalized(client);
}

CRect MvcViewport::ScrollLogical(int dx, int dy)
{
    const CRect visible = GetVisibleLogicalRect(), bounds = GetBounds();
    const CSize move(Limited(dx, visible.left, visible.right, bounds.left, bounds.right),
        Limited(dy, visible.top, visible.bottom, bounds.top, bounds.bottom));
    if (move.cx || move.cy) {
        const CPoint origin = GetLogOrigin();
        SetLogOrigin(origin.x + move.cx, origin.y + move.cy);
        Update(0, nullptr);
    }
    return GetVisibleLogicalRect();
}

void MvcViewport::CenterOnLogicalPoint(int x, int y)
{
    const CRect visible = GetVisibleLogicalRect();
    ScrollLogical(x - visible.Width() / 2 - visible.left, y - visible.Height() / 2 - visible.top);
}

void MvcViewport::LineUpLeft(BOOL vertical)
{
    const CRect visible = GetVisibleLogicalRect();
    vertical ? ScrollLogical(0, -(visible.Height() / 25)) : ScrollLogical(-(visible.Width() / 45), 0);
}

void MvcViewport::LineDownRight(BOOL vertical)
{
    const CRect visible = GetVisibleLogicalRect();
    vertical ? ScrollLogical(0, visible.Height() / 25) : ScrollLogical(visible.Width() / 45, 0);
}

void MvcViewport::PageUpLeft(BOOL vertical)
{
    const CRect visible = GetVisibleLogicalRect();
    vertical ? ScrollLogical(0, -visible.Height()) : ScrollLogical(-visible.Width(), 0);
}

void MvcViewport::PageDownRight(BOOL vertical)
{
    const CRect visible = GetVisibleLogicalRect();
    vertical ? ScrollLogical(0, visible.Height()) : ScrollLogical(visible.Width(), 0);
}

// ---- input

BOOL MvcViewport::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    if (MvcController* holder = MvcController::GetCapture(); holder && holder->OnWndMsg(message, wParam, lParam, result))
        return TRUE;
    if (!m_controller)
        return FALSE;
    if (IEventFactory* factory = GetEventFactory()) {
        if (IEvent* event = factory->CreateEvent(message, wParam, lParam)) {
            const BOOL handled = RouteEvent(event);
            event->Release();
            if (handled)
                return TRUE;
        }
    }
    if (MvcController::IsMouseMessage(message)) {
        CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (message == WM_MOUSEWHEEL)
            ::ScreenToClient(m_hWnd, &point); // the wheel tells a screen point
        DPtoLP(&point);
        if (!GetBounds().PtInRect(point))
            return FALSE;
    }
    return m_controller->OnWndMsg(message, wParam, lParam, result);
}

BOOL MvcViewport::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    return m_controller ? m_controller->OnCmdMsg(id, code, extra, handlerInfo) : FALSE;
}

BOOL MvcViewport::RouteEvent(IEvent* event)
{
    if (!event)
        return FALSE;
    void* found = nullptr;
    if (event->QueryGuid(IID_IMouseEvent, &found) && found) {
        auto* mouse = static_cast<IMouseEvent*>(found);
        CPoint point = mouse->GetPoint();
        DPtoLP(&point);
        if (!GetBounds().PtInRect(point))
            return FALSE;
        mouse->SetPoint(point);
    }
    if (m_controller && m_controller->RouteEvent(event))
        return TRUE;
    return m_listeners.RouteEvent(event);
}

// ---- device contexts

MvcViewport::DC::DC(MvcViewport* viewport, BOOL prepare)
    : m_window(viewport->GetSafeHwnd())
{
    HDC dc = m_window ? ::GetDC(m_window) : nullptr;
    if (!dc)
        AfxThrowResourceException();
    Attach(dc);
    if (prepare)
        viewport->OnPrepareDC(this);
}

MvcViewport::DC::~DC()
{
    ::ReleaseDC(m_window, Detach());
}

} // namespace divuzura::foundation
