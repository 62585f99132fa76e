// Invalid regions, WM_PAINT and its companions, device contexts on the backing surfaces,
// scrolling, and showing the surfaces on the display.

#include "platform/user/MessageQueue.h"
#include "platform/user/WindowTree.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <algorithm>
#include <map>
#include <utility>

namespace fln::user {
namespace {

struct WindowDC {
    HWND window;
    RECT presentArea; // in top-level window coordinates
};

std::map<HDC, WindowDC>& WindowDCs()
{
    static std::map<HDC, WindowDC> dcs;
    return dcs;
}

RECT WholeWindow(const Window& window)
{
    return { 0, 0, window.Width(), window.Height() };
}

Region ClientArea(const Window& window)
{
    return Region(window.client);
}

// What a DC draws on where nothing of its window can be drawn and its top-level window has no
// surface yet: a start measures text on windows it has not sized or shown, and a surface made
// then would be made again at the window's final size.
cairo_surface_t* NothingToDrawOn()
{
    static cairo_surface_t* const pixel = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    return pixel;
}

// A DC on the window's place of its top-level window's surface; `area` in window coordinates.
HDC MakeDC(Window& window, bool client, const Region& area)
{
    WindowTree& tree = WindowTree::Instance();
    Window& topLevel = tree.TopLevelOf(window);
    POINT origin = tree.OriginInTopLevel(window);
    Region visible = tree.IsVisible(window) ? area : Region();
    visible.offset(origin.x, origin.y);
    POINT dcOrigin = origin;
    if (client)
        dcOrigin.x += window.client.left, dcOrigin.y += window.client.top;
    if (topLevel.surface || !visible.isEmpty())
        EnsureSurface(topLevel);
    HDC dc = CreateSurfaceDC(topLevel.surface ? topLevel.surface : NothingToDrawOn(), visible, dcOrigin);
    if (dc)
        WindowDCs()[dc] = { window.handle, visible.bounds() };
    return dc;
}

void ReleaseWindowDC(HDC dc)
{
    auto it = WindowDCs().find(dc);
    if (it == WindowDCs().end())
        return;
    WindowDC record = it->second;
    WindowDCs().erase(it);
    DeleteDC(dc);
    if (Window* window = FindWindowObject(record.window))
        PresentWindow(WindowTree::Instance().TopLevelOf(*window), record.presentArea);
}

void Validate(Window& window, const Region& area, bool children)
{
    window.update = window.update - area;
    if (!children)
        return;
    for (HWND childHandle : window.children) {
        Window* child = FindWindowObject(childHandle);
        if (!child)
            continue;
        Region childArea = area;
        childArea.offset(-window.client.left - child->rect.left, -window.client.top - child->rect.top);
        Validate(*child, childArea, true);
    }
}

// The copies to the display that a paint pass makes are gathered and made when the outermost
// pass ends: a page of a hundred controls reaches the screen in one copy, not in one per control.
struct PendingPresents {
    int passes = 0;
    std::map<HWND, RECT> areas; // top-level window: the bounds of what the pass drew on it
};
thread_local PendingPresents t_pending;

class PaintPass {
public:
    PaintPass() { ++t_pending.passes; }
    ~PaintPass()
    {
        if (--t_pending.passes == 0)
            FlushPresents();
    }
    PaintPass(const PaintPass&) = delete;
    PaintPass& operator=(const PaintPass&) = delete;
};

void PresentNow(Window& topLevel, const RECT& area)
{
    if (!topLevel.native || !topLevel.surface || !(topLevel.style & WS_VISIBLE))
        return;
    RECT clipped;
    RECT whole = WholeWindow(topLevel);
    if (IntersectRect(&clipped, &area, &whole))
        CurrentDisplay().Present(topLevel.native, topLevel.surface, clipped);
}

bool NeedsPaint(const Window& window)
{
    return !window.update.isEmpty() || window.internalPaint || window.frameUpdate;
}

HWND FindNeedingPaint(HWND handle)
{
    Window* window = FindWindowObject(handle);
    if (!window || !(window->style & WS_VISIBLE) || (window->style & WS_MINIMIZE))
        return nullptr;
    if (NeedsPaint(*window))
        return handle;
    for (HWND child : window->children) {
        if (HWND found = FindNeedingPaint(child))
            return found;
    }
    return nullptr;
}

void PaintNow(HWND handle, bool children)
{
    PaintPass pass;
    Window* window = FindWindowObject(handle);
    if (!window || !WindowTree::Instance().IsVisible(*window))
        return;
    if (NeedsPaint(*window)) {
        SendToWindow(*window, WM_PAINT, 0, 0);
        if ((window = FindWindowObject(handle)) && NeedsPaint(*window)) {
            window->internalPaint = false;
            ValidateRect(handle, nullptr);
        }
    }
    if (!children || !(window = FindWindowObject(handle)))
        return;
    std::vector<HWND> childHandles = window->children;
    for (HWND child : childHandles)
        PaintNow(child, true);
}

// WM_NCPAINT and WM_ERASEBKGND now, leaving WM_PAINT for later.
void FrameAndEraseNow(Window& window)
{
    HWND handle = window.handle;
    if (window.frameUpdate) {
        window.frameUpdate = false;
        SendToWindow(window, WM_NCPAINT, 1, 0);
    }
    Window* current = FindWindowObject(handle);
    if (current && current->eraseUpdate) {
        current->eraseUpdate = false;
        if (!(current->style & WS_CLIPCHILDREN))
            InvalidateChildrenUnder(*current, current->update & ClientArea(*current), true, true);
        HDC dc = MakeDC(*current, true, current->update & WindowTree::Instance().VisibleRegion(*current, true, current->style & WS_CLIPCHILDREN));
        SendToWindow(*current, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ReleaseWindowDC(dc);
    }
}

// The region of an HRGN or RECT given in client coordinates, in window coordinates; the whole
// client area (or window, with wholeWindow) when both are null.
Region AreaFromClient(const Window& window, const RECT* rect, HRGN region, bool wholeWindow)
{
    Region area;
    if (region) {
        if (const Region* given = fln::gdi::regionOf(region))
            area = *given;
        area.offset(window.client.left, window.client.top);
    } else if (rect) {
        RECT r = *rect;
        OffsetRect(&r, window.client.left, window.client.top);
        area = Region(r);
    } else {
        area = wholeWindow ? Region(WholeWindow(window)) : ClientArea(window);
    }
    return area;
}

} // namespace

void EnsureSurface(Window& window)
{
    // A window larger than any screen keeps a surface no larger than this; the rest of it
    // cannot be seen and is not drawn.
    constexpr int kLargestSurface = 8192;
    int width = std::clamp(window.Width(), 1, kLargestSurface);
    int height = std::clamp(window.Height(), 1, kLargestSurface);
    if (window.surface && cairo_image_surface_get_width(window.surface) == width && cairo_image_surface_get_height(window.surface) == height)
        return;
    cairo_surface_t* surface = CurrentDisplay().CreateWindowSurface(width, height);
    if (window.surface) {
        // Keep what was drawn; the newly uncovered part is invalid and gets painted.
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_surface(cr, window.surface, 0, 0);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(window.surface);
    }
    window.surface = surface;
}

void PresentWindow(Window& topLevel, const RECT& area)
{
    if (t_pending.passes == 0) {
        PresentNow(topLevel, area);
        return;
    }
    auto [pending, added] = t_pending.areas.try_emplace(topLevel.handle, area);
    if (!added)
        UnionRect(&pending->second, &pending->second, &area);
}

void FlushPresents()
{
    for (auto& [handle, area] : std::exchange(t_pending.areas, {}))
        if (Window* topLevel = FindWindowObject(handle))
            PresentNow(*topLevel, area);
}

void InvalidateWindowArea(Window& window, const Region& area, bool erase, bool frame, bool allChildren)
{
    if (!WindowTree::Instance().IsVisible(window))
        return;
    Region inside = area & Region(WholeWindow(window));
    if (inside.isEmpty())
        return;
    window.update = window.update | inside;
    if (erase)
        window.eraseUpdate = true;
    if (frame && !(inside - ClientArea(window)).isEmpty())
        window.frameUpdate = true;
    if (!allChildren && (window.style & WS_CLIPCHILDREN))
        return;
    InvalidateChildrenUnder(window, inside, erase, allChildren);
}

void InvalidateChildrenUnder(Window& window, const Region& area, bool erase, bool allChildren)
{
    for (HWND childHandle : window.children) {
        Window* child = FindWindowObject(childHandle);
        if (!child || !(child->style & WS_VISIBLE))
            continue;
        Region childArea = area;
        childArea.offset(-window.client.left - child->rect.left, -window.client.top - child->rect.top);
        InvalidateWindowArea(*child, childArea, erase, true, allChildren);
    }
}

void RedrawNonClient(HWND handle)
{
    Window* window = FindWindowObject(handle);
    if (!window || !WindowTree::Instance().IsVisible(*window))
        return;
    // Painted now, so nothing of the frame is left waiting.
    window->frameUpdate = false;
    window->update = window->update & ClientArea(*window);
    SendToWindow(*window, WM_NCPAINT, 1, 0);
}

HWND NextWindowToPaint(HWND filter)
{
    if (filter)
        return FindNeedingPaint(filter);
    for (HWND topLevel : WindowTree::Instance().TopLevels()) {
        if (HWND found = FindNeedingPaint(topLevel))
            return found;
    }
    return nullptr;
}

HDC MakeWindowDC(Window& window, bool client, bool clipChildren)
{
    return MakeDC(window, client, WindowTree::Instance().VisibleRegion(window, client, clipChildren));
}

} // namespace fln::user

using namespace fln::user;

HDC BeginPaint(HWND handle, LPPAINTSTRUCT paint)
{
    Window* window = FindWindowObject(handle);
    if (!window || !paint)
        return nullptr;
    HideCaret(handle);
    if (window->frameUpdate) {
        window->frameUpdate = false;
        SendToWindow(*window, WM_NCPAINT, 1, 0);
        if (!(window = FindWindowObject(handle)))
            return nullptr;
    }
    Region paintArea = window->update & ClientArea(*window);
    // Without WS_CLIPCHILDREN the window paints over its children: whatever of them lies there,
    // frames included, is painted again after it (a child may have painted its frame already).
    if (!(window->style & WS_CLIPCHILDREN))
        InvalidateChildrenUnder(*window, paintArea, true, true);
    bool erase = window->eraseUpdate;
    window->update = Region();
    window->eraseUpdate = false;
    window->internalPaint = false;
    Region visible = WindowTree::Instance().VisibleRegion(*window, true, window->style & WS_CLIPCHILDREN) & paintArea;
    HDC dc = MakeDC(*window, true, visible);
    paint->hdc = dc;
    paint->fRestore = FALSE;
    paint->fIncUpdate = FALSE;
    RECT bounds = paintArea.bounds();
    OffsetRect(&bounds, -window->client.left, -window->client.top);
    paint->rcPaint = paintArea.isEmpty() ? RECT {} : bounds;
    paint->fErase = erase ? !SendToWindow(*window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) : FALSE;
    return dc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint)
{
    if (!paint)
        return FALSE;
    ReleaseWindowDC(paint->hdc);
    ShowCaret(handle);
    return TRUE;
}

HDC GetDC(HWND handle)
{
    if (!handle)
        return CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    Window* window = FindWindowObject(handle);
    return window ? MakeWindowDC(*window, true, window->style & WS_CLIPCHILDREN) : nullptr;
}

HDC GetWindowDC(HWND handle)
{
    if (!handle)
        return GetDC(nullptr);
    Window* window = FindWindowObject(handle);
    return window ? MakeWindowDC(*window, false, false) : nullptr;
}

HDC GetDCEx(HWND handle, HRGN clip, DWORD flags)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return handle ? nullptr : GetDC(nullptr);
    bool client = !(flags & DCX_WINDOW);
    Region visible = WindowTree::Instance().VisibleRegion(*window, client, (flags & DCX_CLIPCHILDREN) || (window->style & WS_CLIPCHILDREN));
    // The clip region of WM_NCPAINT and friends is in screen coordinates.
    if (const Region* given = clip && reinterpret_cast<ULONG_PTR>(clip) > 1 ? fln::gdi::regionOf(clip) : nullptr) {
        Region inWindow = *given;
        POINT origin = WindowTree::Instance().WindowOriginOnScreen(*window);
        inWindow.offset(-origin.x, -origin.y);
        if (flags & DCX_INTERSECTRGN)
            visible = visible & inWindow;
        else if (flags & DCX_EXCLUDERGN)
            visible = visible - inWindow;
    }
    return MakeDC(*window, client, visible);
}

int ReleaseDC(HWND, HDC dc)
{
    if (!WindowDCs().contains(dc)) {
        // Screen DCs from GetDC(nullptr).
        return dc && DeleteDC(dc) ? 1 : 0;
    }
    ReleaseWindowDC(dc);
    return 1;
}

HWND WindowFromDC(HDC dc)
{
    auto it = WindowDCs().find(dc);
    return it == WindowDCs().end() ? nullptr : it->second.window;
}

BOOL RedrawWindow(HWND handle, const RECT* rect, HRGN region, UINT flags)
{
    if (!handle) {
        std::vector<HWND> topLevels = WindowTree::Instance().TopLevels();
        for (HWND topLevel : topLevels)
            RedrawWindow(topLevel, nullptr, nullptr, flags | RDW_ALLCHILDREN);
        return TRUE;
    }
    Window* window = FindWindowObject(handle);
    if (!window)
        return FALSE;
    bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(window->style & WS_CLIPCHILDREN));
    Region area = AreaFromClient(*window, rect, region, (flags & RDW_FRAME) && !rect && !region);
    if (flags & RDW_INVALIDATE)
        InvalidateWindowArea(*window, area, flags & RDW_ERASE, flags & RDW_FRAME, flags & RDW_ALLCHILDREN);
    if (flags & RDW_INTERNALPAINT)
        window->internalPaint = true;
    if (flags & RDW_VALIDATE) {
        Validate(*window, area, children);
        if (flags & RDW_NOFRAME) {
            // The non-client part of the update is the frame's, and the frame is done with.
            window->frameUpdate = false;
            window->update = window->update & ClientArea(*window);
        }
        if (flags & RDW_NOERASE)
            window->eraseUpdate = false;
    }
    if (flags & RDW_NOINTERNALPAINT)
        window->internalPaint = false;
    if (flags & RDW_UPDATENOW)
        PaintNow(handle, children);
    else if (flags & RDW_ERASENOW)
        FrameAndEraseNow(*window);
    return TRUE;
}

BOOL InvalidateRect(HWND handle, const RECT* rect, BOOL erase)
{
    if (!handle)
        return RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    return RedrawWindow(handle, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND handle, HRGN region, BOOL erase)
{
    return RedrawWindow(handle, nullptr, region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND handle, const RECT* rect)
{
    return RedrawWindow(handle, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN | (rect ? 0 : RDW_NOERASE | RDW_NOFRAME));
}

BOOL ValidateRgn(HWND handle, HRGN region)
{
    return RedrawWindow(handle, nullptr, region, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL GetUpdateRect(HWND handle, LPRECT rect, BOOL erase)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return FALSE;
    Region area = window->update & ClientArea(*window);
    if (rect) {
        if (area.isEmpty()) {
            SetRectEmpty(rect);
        } else {
            *rect = area.bounds();
            OffsetRect(rect, -window->client.left, -window->client.top);
        }
    }
    if (erase && !area.isEmpty())
        FrameAndEraseNow(*window);
    return !area.isEmpty();
}

int GetUpdateRgn(HWND handle, HRGN region, BOOL erase)
{
    Window* window = FindWindowObject(handle);
    if (!window || !fln::gdi::regionOf(region))
        return ERROR;
    Region area = window->update & ClientArea(*window);
    area.offset(-window->client.left, -window->client.top);
    HRGN copy = fln::gdi::createRegionHandle(area);
    int complexity = CombineRgn(region, copy, nullptr, RGN_COPY);
    DeleteObject(copy);
    if (erase && !area.isEmpty())
        FrameAndEraseNow(*window);
    return complexity;
}

BOOL UpdateWindow(HWND handle)
{
    if (!IsWindow(handle))
        return FALSE;
    PaintNow(handle, true);
    return TRUE;
}

BOOL LockWindowUpdate(HWND)
{
    return TRUE;
}

int ScrollWindowEx(HWND handle, int dx, int dy, const RECT* scroll, const RECT* clip, HRGN update, LPRECT updateRect, UINT flags)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return ERROR;
    WindowTree& tree = WindowTree::Instance();
    RECT client { 0, 0, window->client.right - window->client.left, window->client.bottom - window->client.top };
    RECT scrollArea = scroll ? *scroll : client;
    RECT clipArea = clip ? *clip : client;
    IntersectRect(&scrollArea, &scrollArea, &client);
    IntersectRect(&clipArea, &clipArea, &client);
    // Client coordinates throughout; the visible part decides which pixels can be copied.
    Region visible = tree.VisibleRegion(*window, true, false);
    visible.offset(-window->client.left, -window->client.top);
    Region source = Region(scrollArea) & Region(clipArea) & visible;
    Region moved = source;
    moved.offset(dx, dy);
    Region destination = moved & Region(clipArea) & Region(scrollArea);
    Region uncovered = (Region(scrollArea) & Region(clipArea)) - destination;

    // The caret is inverted pixels: hidden, it does not travel with the window's.
    const bool caretHidden = HideCaret(handle);
    if (tree.IsVisible(*window) && !destination.isEmpty()) {
        Window& topLevel = tree.TopLevelOf(*window);
        POINT origin = tree.OriginInTopLevel(*window);
        origin.x += window->client.left;
        origin.y += window->client.top;
        EnsureSurface(topLevel);
        cairo_surface_flush(topLevel.surface);
        RECT box = source.bounds();
        cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_RGB24, box.right - box.left, box.bottom - box.top);
        cairo_t* cr = cairo_create(copy);
        cairo_set_source_surface(cr, topLevel.surface, -(origin.x + box.left), -(origin.y + box.top));
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cr = cairo_create(topLevel.surface);
        for (const RECT& r : destination.rects())
            cairo_rectangle(cr, origin.x + r.left, origin.y + r.top, r.right - r.left, r.bottom - r.top);
        cairo_clip(cr);
        cairo_set_source_surface(cr, copy, origin.x + box.left + dx, origin.y + box.top + dy);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(copy);
        cairo_surface_mark_dirty(topLevel.surface);
        RECT present = destination.bounds();
        OffsetRect(&present, origin.x, origin.y);
        PresentWindow(topLevel, present);
    }
    if (caretHidden)
        ShowCaret(handle);
    // A pending update moves with the pixels it belongs to.
    Region pending = window->update;
    pending.offset(-window->client.left, -window->client.top);
    Region pendingInside = pending & Region(scrollArea);
    if (!pendingInside.isEmpty()) {
        Region shifted = pendingInside;
        shifted.offset(dx, dy);
        pending = (pending - pendingInside) | (shifted & Region(clipArea));
        pending.offset(window->client.left, window->client.top);
        window->update = pending;
    }
    if (flags & SW_SCROLLCHILDREN) {
        std::vector<HWND> children = window->children;
        for (HWND childHandle : children) {
            Window* child = FindWindowObject(childHandle);
            RECT overlap;
            if (child && (!scroll || IntersectRect(&overlap, &child->rect, &scrollArea)))
                SetWindowPos(childHandle, nullptr, child->rect.left + dx, child->rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    if (flags & SW_INVALIDATE) {
        Region area = uncovered;
        area.offset(window->client.left, window->client.top);
        InvalidateWindowArea(*window, area, flags & SW_ERASE, false, false);
    }
    if (update && fln::gdi::regionOf(update)) {
        HRGN copy = fln::gdi::createRegionHandle(uncovered);
        CombineRgn(update, copy, nullptr, RGN_COPY);
        DeleteObject(copy);
    }
    if (updateRect)
        *updateRect = uncovered.isEmpty() ? RECT {} : uncovered.bounds();
    return uncovered.complexity();
}

BOOL ScrollWindow(HWND handle, int dx, int dy, const RECT* scroll, const RECT* clip)
{
    UINT flags = SW_INVALIDATE | SW_ERASE | (scroll ? 0 : SW_SCROLLCHILDREN);
    return ScrollWindowEx(handle, dx, dy, scroll, clip, nullptr, nullptr, flags) != ERROR;
}

bool WriteWindowPng(HWND handle, const char* path)
{
    Window* window = FindWindowObject(handle);
    if (!window || !path)
        return false;
    WindowTree& tree = WindowTree::Instance();
    Window& topLevel = tree.TopLevelOf(*window);
    EnsureSurface(topLevel);
    POINT origin = tree.OriginInTopLevel(*window);
    cairo_surface_flush(topLevel.surface);
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(1, window->Width()), std::max(1, window->Height()));
    cairo_t* cr = cairo_create(image);
    cairo_set_source_surface(cr, topLevel.surface, -origin.x, -origin.y);
    cairo_paint(cr);
    cairo_destroy(cr);
    bool written = cairo_surface_write_to_png(image, path) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(image);
    return written;
}
