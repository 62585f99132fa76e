// Show states, positions, sizes, z-order, coordinates and window regions.

#include "platform/user/WindowTree.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/Surface.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace fln::user {
namespace {

// Far beyond any screen, yet the sum or difference of two coordinates in this range fits an int.
constexpr int kCoordinateLimit = 1 << 28;

// A stored placement, whatever it holds, comes up on a screen: no larger than the work area of its
// monitor, and moved inside it when it would lie wholly off it.
RECT PlacementOnScreen(const RECT& stored)
{
    MONITORINFO monitor { sizeof monitor };
    RECT work {};
    if (GetMonitorInfoW(MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), &monitor))
        work = monitor.rcWork;
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const std::int64_t width = std::clamp<std::int64_t>(std::int64_t { stored.right } - stored.left, 0, std::max(0, work.right - work.left));
    const std::int64_t height = std::clamp<std::int64_t>(std::int64_t { stored.bottom } - stored.top, 0, std::max(0, work.bottom - work.top));
    std::int64_t left = stored.left, top = stored.top;
    if (left + width <= work.left || left >= work.right || top + height <= work.top || top >= work.bottom) {
        left = std::clamp<std::int64_t>(left, work.left, work.right - width);
        top = std::clamp<std::int64_t>(top, work.top, work.bottom - height);
    }
    return { static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(left + width), static_cast<LONG>(top + height) };
}

void Restack(Window& window, HWND insertAfter)
{
    auto& siblings = WindowTree::Instance().SiblingsOf(window);
    std::erase(siblings, window.handle);
    if (insertAfter == HWND_BOTTOM) {
        siblings.push_back(window.handle);
        return;
    }
    auto it = siblings.begin();
    if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST || insertAfter == HWND_TOP) {
        if (insertAfter == HWND_TOPMOST)
            window.exStyle |= WS_EX_TOPMOST;
        if (insertAfter == HWND_NOTOPMOST)
            window.exStyle &= ~WS_EX_TOPMOST;
        // Windows that are not topmost stay below topmost ones.
        if (!(window.exStyle & WS_EX_TOPMOST) && window.IsTopLevel()) {
            while (it != siblings.end()) {
                Window* other = FindWindowObject(*it);
                if (!other || !(other->exStyle & WS_EX_TOPMOST))
                    break;
                ++it;
            }
        }
        siblings.insert(it, window.handle);
    } else {
        it = std::ranges::find(siblings, insertAfter);
        siblings.insert(it == siblings.end() ? siblings.end() : it + 1, window.handle);
    }
    if (window.native && window.style & WS_VISIBLE)
        CurrentDisplay().RaiseNativeWindow(window.native);
}

// What windows show of themselves, in their own coordinates.
using VisibleParts = std::vector<std::pair<HWND, Region>>;

// What each visible child window overlapping `window` shows of itself (`window` included), taken
// before `window` changes place in the z-order.
VisibleParts OverlappingSiblingsVisibleParts(Window& window)
{
    WindowTree& tree = WindowTree::Instance();
    VisibleParts parts;
    for (HWND handle : tree.SiblingsOf(window)) {
        Window* sibling = tree.Find(handle);
        RECT overlap;
        if (sibling && tree.IsVisible(*sibling) && IntersectRect(&overlap, &sibling->rect, &window.rect))
            parts.emplace_back(handle, tree.VisibleRegion(*sibling, false, false));
    }
    return parts;
}

// Siblings clip each other only where they ask to (WS_CLIPSIBLINGS); what a restack uncovers of a
// child window is painted again, frame and all, so that the window above shows on top.
void PaintWhatRestackingUncovered(const VisibleParts& before)
{
    WindowTree& tree = WindowTree::Instance();
    for (const auto& [handle, shown] : before) {
        Window* sibling = tree.Find(handle);
        if (!sibling)
            continue;
        Region uncovered = tree.VisibleRegion(*sibling, false, false) - shown;
        if (!uncovered.isEmpty())
            InvalidateWindowArea(*sibling, uncovered, true, true, true);
    }
}

// A window's shape in its own coordinates: its region, else its whole rectangle.
Region ShapeOf(const Window& window)
{
    return window.shape ? *window.shape : Region(RECT { 0, 0, window.Width(), window.Height() });
}

// The part of the screen a top-level window covers.
Region OnScreen(const Window& topLevel)
{
    Region shape = ShapeOf(topLevel);
    shape.offset(topLevel.rect.left, topLevel.rect.top);
    return shape;
}

// Shows again what lay beneath an area a window no longer covers (in its parent's client
// coordinates, or on the screen for a top-level window). A child's parent repaints it, since they
// share one surface. The top-level windows below present their own surfaces there again, lowest
// first: a display whose screen is only what was presented to it (headless) would otherwise keep
// the window's old pixels.
void ShowWhatLayBeneath(Window& window, Region area)
{
    if (window.IsChild()) {
        if (Window* parent = FindWindowObject(window.parent)) {
            area.offset(parent->client.left, parent->client.top);
            InvalidateWindowArea(*parent, area, true, false, true);
        }
        return;
    }
    const auto& topLevels = WindowTree::Instance().TopLevels();
    const auto self = std::ranges::find(topLevels, window.handle);
    if (self == topLevels.end())
        return;
    for (auto it = topLevels.begin(); it != self; ++it) // what windows above it cover stays theirs
        if (Window* above = FindWindowObject(*it); above && WindowTree::Instance().IsVisible(*above))
            area = area - OnScreen(*above);
    for (auto it = topLevels.rbegin(); it.base() != self + 1; ++it) {
        Window* below = FindWindowObject(*it);
        if (!below || !WindowTree::Instance().IsVisible(*below))
            continue;
        Region inBelow = area & Region(below->rect);
        inBelow.offset(-below->rect.left, -below->rect.top);
        for (const RECT& part : inBelow.rects())
            PresentWindow(*below, part);
    }
}

// A main window shown for the first time steps down and right, as the system cascades new
// windows, while another run of the program has its main window at that very place.
void StepClearOfOtherRuns(const Window& window, WINDOWPOS& position)
{
    const bool mainWindow = window.IsTopLevel() && !window.owner && (window.style & WS_CAPTION) == WS_CAPTION
        && !(window.style & (WS_POPUP | WS_MAXIMIZE | WS_MINIMIZE));
    if (!mainWindow || window.shownOnce || !window.native)
        return;
    RECT r { position.x, position.y, position.x + position.cx, position.y + position.cy };
    RECT work {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    for (int steps = 0; steps < 16 && CurrentDisplay().OtherRunsWindowAt(r); ++steps) {
        OffsetRect(&r, step, step);
        if (r.right > work.right || r.bottom > work.bottom)
            OffsetRect(&r, work.left - r.left, work.top - r.top);
    }
    if (r.left != position.x || r.top != position.y) {
        position.x = r.left;
        position.y = r.top;
        position.flags &= ~SWP_NOMOVE;
    }
}

} // namespace

} // namespace fln::user

using namespace fln::user;

BOOL SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return FALSE;
    WINDOWPOS position { handle, insertAfter, x, y, cx, cy, flags };
    if (flags & SWP_NOMOVE)
        position.x = window->rect.left, position.y = window->rect.top;
    if (flags & SWP_NOSIZE)
        position.cx = window->Width(), position.cy = window->Height();
    bool visible = window->style & WS_VISIBLE;
    if ((flags & SWP_SHOWWINDOW) && visible)
        position.flags &= ~SWP_SHOWWINDOW;
    if ((flags & SWP_HIDEWINDOW) && !visible)
        position.flags &= ~SWP_HIDEWINDOW;
    if (position.flags & SWP_SHOWWINDOW)
        StepClearOfOtherRuns(*window, position);
    if (!(flags & SWP_NOSENDCHANGING)) {
        SendToWindow(*window, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&position));
        if (!(window = FindWindowObject(handle)))
            return FALSE;
    }
    flags = position.flags;
    position.x = std::clamp(position.x, -kCoordinateLimit, kCoordinateLimit);
    position.y = std::clamp(position.y, -kCoordinateLimit, kCoordinateLimit);
    position.cx = std::clamp(position.cx, 0, kCoordinateLimit);
    position.cy = std::clamp(position.cy, 0, kCoordinateLimit);
    RECT oldRect = window->rect;
    RECT newRect { position.x, position.y, position.x + position.cx, position.y + position.cy };
    bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
    bool sized = newRect.right - newRect.left != oldRect.right - oldRect.left || newRect.bottom - newRect.top != oldRect.bottom - oldRect.top;
    bool wasVisible = WindowTree::Instance().IsVisible(*window);
    if (!moved)
        position.flags |= SWP_NOMOVE;
    if (!sized)
        position.flags |= SWP_NOSIZE;

    window->rect = newRect;
    if (sized || (flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS params {};
        params.rgrc[0] = newRect;
        params.rgrc[1] = oldRect;
        RECT oldClient = window->client;
        OffsetRect(&oldClient, oldRect.left, oldRect.top);
        params.rgrc[2] = oldClient;
        params.lppos = &position;
        SendToWindow(*window, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        if (!(window = FindWindowObject(handle)))
            return FALSE;
        RECT client = params.rgrc[0];
        OffsetRect(&client, -newRect.left, -newRect.top);
        client.right = std::max(client.left, client.right);
        client.bottom = std::max(client.top, client.bottom);
        window->client = client;
    }
    if (!(flags & SWP_NOZORDER)) {
        const bool repaint = window->IsChild() && !(flags & SWP_NOREDRAW);
        const VisibleParts shownBefore = repaint ? OverlappingSiblingsVisibleParts(*window) : VisibleParts {};
        Restack(*window, insertAfter);
        PaintWhatRestackingUncovered(shownBefore);
    }
    if (flags & SWP_SHOWWINDOW)
        window->style |= WS_VISIBLE;
    if (flags & SWP_HIDEWINDOW)
        window->style &= ~WS_VISIBLE;
    bool nowVisible = WindowTree::Instance().IsVisible(*window);

    if (window->native) {
        Display& display = CurrentDisplay();
        if (moved || sized) {
            display.MoveNativeWindow(window->native, newRect);
            // A window not drawn yet gets its surface at its size when it is first drawn.
            if (sized && window->surface)
                EnsureSurface(*window);
        }
        if (flags & SWP_SHOWWINDOW) {
            window->shownOnce = true;
            display.ShowNativeWindow(window->native, true, !(flags & SWP_NOACTIVATE));
        }
        if (flags & SWP_HIDEWINDOW)
            display.ShowNativeWindow(window->native, false, false);
    }
    if (!(flags & SWP_NOREDRAW)) {
        if (wasVisible && (moved || sized || !nowVisible))
            ShowWhatLayBeneath(*window, Region(oldRect));
        if (nowVisible && (!wasVisible || moved || sized || (flags & SWP_FRAMECHANGED)))
            InvalidateWindowArea(*window, Region(RECT { 0, 0, window->Width(), window->Height() }), true, true, true);
    }
    if ((flags & SWP_SHOWWINDOW) && window->IsTopLevel() && !(flags & SWP_NOACTIVATE) && !(window->exStyle & WS_EX_NOACTIVATE)) {
        SetActiveWindow(handle);
        if (!(window = FindWindowObject(handle)))
            return TRUE; // destroyed while being activated
    }
    SendToWindow(*window, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&position));
    return TRUE;
}

BOOL MoveWindow(HWND handle, int x, int y, int width, int height, BOOL repaint)
{
    return SetWindowPos(handle, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND handle, int command)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return FALSE;
    bool wasVisible = window->style & WS_VISIBLE;
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;
    switch (command) {
    case SW_HIDE:
        if (!wasVisible)
            return FALSE;
        SendToWindow(*window, WM_SHOWWINDOW, FALSE, 0);
        SetWindowPos(handle, nullptr, 0, 0, 0, 0, flags | SWP_HIDEWINDOW | SWP_NOACTIVATE);
        if (!(window = FindWindowObject(handle)))
            return TRUE;
        if (GetActiveWindow() == handle) {
            HWND owner = window->owner;
            SetActiveWindow(IsWindowVisible(owner) ? owner : nullptr);
        }
        if ((window = FindWindowObject(handle)) && (GetFocus() == handle || IsChild(handle, GetFocus())))
            SetFocus(window->IsChild() ? window->parent : nullptr);
        return TRUE;
    case SW_MAXIMIZE: {
        if (!(window->style & (WS_MAXIMIZE | WS_MINIMIZE)))
            window->normalRect = window->rect;
        window->style = (window->style & ~WS_MINIMIZE) | WS_MAXIMIZE;
        window->restoreMaximized = false;
        if (window->native)
            CurrentDisplay().SetNativeState(window->native, NativeWindowState::Maximized);
        MONITORINFO info { sizeof info };
        GetMonitorInfoW(MonitorFromWindow(handle, MONITOR_DEFAULTTONEAREST), &info);
        // A top-level window fills the work area exactly (it has no frame while maximised).
        RECT r = info.rcWork;
        if (window->IsChild()) {
            // A child's frame lies outside its parent's client area; a maximised MDI child's
            // caption too, since the frame's menu bar takes its buttons.
            GetClientRect(window->parent, &r);
            RECT frame {};
            DWORD outside = (window->exStyle & WS_EX_MDICHILD) ? window->style : window->style & ~WS_CAPTION;
            AdjustWindowRectEx(&frame, outside, FALSE, window->exStyle);
            r = { r.left + frame.left, r.top + frame.top, r.right + frame.right, r.bottom + frame.bottom };
        }
        if (!wasVisible)
            SendToWindow(*window, WM_SHOWWINDOW, TRUE, 0);
        SetWindowPos(handle, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
        return wasVisible;
    }
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        if (!(window->style & (WS_MAXIMIZE | WS_MINIMIZE)))
            window->normalRect = window->rect;
        if (!(window->style & WS_MINIMIZE))
            window->restoreMaximized = window->style & WS_MAXIMIZE;
        window->style |= WS_MINIMIZE;
        window->style &= ~WS_MAXIMIZE;
        if (window->native)
            CurrentDisplay().SetNativeState(window->native, NativeWindowState::Minimized);
        SendToWindow(*window, WM_SIZE, SIZE_MINIMIZED, 0);
        if (GetActiveWindow() == handle)
            SetActiveWindow(nullptr);
        return wasVisible;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
        if ((window->style & WS_MINIMIZE) && window->restoreMaximized && command == SW_RESTORE)
            return ShowWindow(handle, SW_MAXIMIZE);
        if (window->style & (WS_MAXIMIZE | WS_MINIMIZE)) {
            window->style &= ~(WS_MAXIMIZE | WS_MINIMIZE);
            window->restoreMaximized = false;
            if (window->native)
                CurrentDisplay().SetNativeState(window->native, NativeWindowState::Normal);
            RECT r = window->normalRect;
            if (!wasVisible)
                SendToWindow(*window, WM_SHOWWINDOW, TRUE, 0);
            if (window->native && wasVisible)
                CurrentDisplay().ShowNativeWindow(window->native, true, true);
            SetWindowPos(handle, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
            return wasVisible;
        }
        break;
    }
    bool activate = command != SW_SHOWNOACTIVATE && command != SW_SHOWNA && command != SW_SHOWMINNOACTIVE && window->IsTopLevel()
        && !(window->exStyle & WS_EX_NOACTIVATE);
    if (!wasVisible) {
        SendToWindow(*window, WM_SHOWWINDOW, TRUE, 0);
        if (!(window = FindWindowObject(handle)))
            return FALSE;
    }
    if (!activate)
        flags |= SWP_NOACTIVATE;
    else
        flags &= ~SWP_NOZORDER;
    SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, flags | SWP_SHOWWINDOW);
    if (activate && wasVisible)
        SetActiveWindow(handle);
    return wasVisible;
}

BOOL AnimateWindow(HWND handle, DWORD, DWORD flags)
{
    if (!IsWindow(handle))
        return FALSE;
    if (flags & AW_HIDE)
        return ShowWindow(handle, SW_HIDE) ? TRUE : FALSE;
    if (IsWindowVisible(handle))
        return FALSE;
    ShowWindow(handle, (flags & AW_ACTIVATE) ? SW_SHOW : SW_SHOWNA);
    UpdateWindow(handle);
    return TRUE;
}

BOOL BringWindowToTop(HWND handle)
{
    return SetWindowPos(handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

namespace {
struct DeferredPositions {
    std::vector<WINDOWPOS> positions;
};
}

HDWP BeginDeferWindowPos(int count)
{
    if (count < 0)
        return nullptr;
    auto* deferred = new DeferredPositions;
    deferred->positions.reserve(static_cast<size_t>(count));
    return reinterpret_cast<HDWP>(deferred);
}

HDWP DeferWindowPos(HDWP handle, HWND window, HWND insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    auto* deferred = reinterpret_cast<DeferredPositions*>(handle);
    if (!deferred)
        return nullptr;
    if (!IsWindow(window)) {
        delete deferred; // a failed call frees the whole set, as callers expect
        return nullptr;
    }
    deferred->positions.push_back({ window, insertAfter, x, y, cx, cy, flags });
    return handle;
}

BOOL EndDeferWindowPos(HDWP handle)
{
    auto* deferred = reinterpret_cast<DeferredPositions*>(handle);
    if (!deferred)
        return FALSE;
    BOOL result = TRUE;
    for (const WINDOWPOS& p : deferred->positions) {
        if (!SetWindowPos(p.hwnd, p.hwndInsertAfter, p.x, p.y, p.cx, p.cy, p.flags))
            result = FALSE;
    }
    delete deferred;
    return result;
}

BOOL GetWindowRect(HWND handle, LPRECT rect)
{
    if (!rect)
        return FALSE;
    if (handle == GetDesktopWindow()) {
        SetRect(rect, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return TRUE;
    }
    Window* window = FindWindowObject(handle);
    if (!window)
        return FALSE;
    POINT origin = WindowTree::Instance().WindowOriginOnScreen(*window);
    SetRect(rect, origin.x, origin.y, origin.x + window->Width(), origin.y + window->Height());
    return TRUE;
}

BOOL GetClientRect(HWND handle, LPRECT rect)
{
    if (!rect)
        return FALSE;
    if (handle == GetDesktopWindow())
        return GetWindowRect(handle, rect);
    Window* window = FindWindowObject(handle);
    if (!window)
        return FALSE;
    SetRect(rect, 0, 0, window->client.right - window->client.left, window->client.bottom - window->client.top);
    return TRUE;
}

BOOL GetWindowPlacement(HWND handle, WINDOWPLACEMENT* placement)
{
    Window* window = FindWindowObject(handle);
    if (!window || !placement)
        return FALSE;
    placement->flags = (window->style & WS_MINIMIZE) && window->restoreMaximized ? WPF_RESTORETOMAXIMIZED : 0;
    placement->showCmd = (window->style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : (window->style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    placement->ptMinPosition = { -1, -1 };
    placement->ptMaxPosition = { -1, -1 };
    placement->rcNormalPosition = (window->style & (WS_MINIMIZE | WS_MAXIMIZE)) ? window->normalRect : window->rect;
    return TRUE;
}

BOOL SetWindowPlacement(HWND handle, const WINDOWPLACEMENT* placement)
{
    Window* window = FindWindowObject(handle);
    if (!window || !placement)
        return FALSE;
    const RECT r = PlacementOnScreen(placement->rcNormalPosition);
    window->normalRect = r;
    if (!(window->style & (WS_MINIMIZE | WS_MAXIMIZE)))
        SetWindowPos(handle, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(handle, static_cast<int>(placement->showCmd));
    if ((window = FindWindowObject(handle)) && (window->style & WS_MINIMIZE))
        window->restoreMaximized = placement->flags & WPF_RESTORETOMAXIMIZED;
    return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle)
{
    if (!rect)
        return FALSE;
    int frame = 0;
    if (exStyle & WS_EX_DLGMODALFRAME || ((style & WS_DLGFRAME) && !(style & WS_BORDER) && !(style & WS_THICKFRAME)))
        frame = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_THICKFRAME)
        frame = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_CAPTION) == WS_CAPTION)
        frame = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        frame = GetSystemMetrics(SM_CXBORDER);
    if (exStyle & WS_EX_CLIENTEDGE)
        frame += GetSystemMetrics(SM_CXEDGE);
    if (exStyle & WS_EX_STATICEDGE)
        frame += GetSystemMetrics(SM_CXBORDER);
    InflateRect(rect, frame, frame);
    if ((style & WS_CAPTION) == WS_CAPTION)
        rect->top -= (exStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
    if (menu)
        rect->top -= GetSystemMetrics(SM_CYMENU);
    return TRUE;
}

BOOL ClientToScreen(HWND handle, LPPOINT point)
{
    Window* window = FindWindowObject(handle);
    if (!window || !point)
        return FALSE;
    POINT origin = WindowTree::Instance().ClientOriginOnScreen(*window);
    *point = OffsetPoint(*point, origin.x, origin.y);
    return TRUE;
}

BOOL ScreenToClient(HWND handle, LPPOINT point)
{
    Window* window = FindWindowObject(handle);
    if (!window || !point)
        return FALSE;
    POINT origin = WindowTree::Instance().ClientOriginOnScreen(*window);
    *point = OffsetPoint(*point, -std::int64_t { origin.x }, -std::int64_t { origin.y });
    return TRUE;
}

int MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count)
{
    POINT fromOrigin {}, toOrigin {};
    if (Window* window = FindWindowObject(from))
        fromOrigin = WindowTree::Instance().ClientOriginOnScreen(*window);
    if (Window* window = FindWindowObject(to))
        toOrigin = WindowTree::Instance().ClientOriginOnScreen(*window);
    int dx = fromOrigin.x - toOrigin.x;
    int dy = fromOrigin.y - toOrigin.y;
    for (UINT i = 0; points && i < count; ++i)
        points[i] = OffsetPoint(points[i], dx, dy);
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

namespace {
bool ShapeHolds(const Window& window, POINT windowPoint)
{
    return !window.shape || window.shape->contains(windowPoint.x, windowPoint.y);
}

// Whether a child lets the point through to the windows beneath it (a group box, a plain
// static), as it answers WM_NCHITTEST.
bool IsTransparentAt(HWND window, POINT screenPoint)
{
    return SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(screenPoint.x), static_cast<WORD>(screenPoint.y)))
        == HTTRANSPARENT;
}

// The deepest visible, enabled child of window under a point in its client coordinates; a child
// that is transparent there gives way to the siblings beneath it.
HWND DeepestChildAt(Window& window, POINT clientPoint, POINT screenPoint)
{
    for (HWND childHandle : window.children) {
        Window* child = FindWindowObject(childHandle);
        if (!child || !(child->style & WS_VISIBLE) || !PtInRect(&child->rect, clientPoint))
            continue;
        POINT windowPoint { clientPoint.x - child->rect.left, clientPoint.y - child->rect.top };
        if (!ShapeHolds(*child, windowPoint))
            continue;
        if (child->style & WS_DISABLED)
            return childHandle;
        POINT childClient { windowPoint.x - child->client.left, windowPoint.y - child->client.top };
        const HWND found = PtInRect(&child->client, windowPoint) ? DeepestChildAt(*child, childClient, screenPoint) : childHandle;
        if (found == childHandle && IsTransparentAt(childHandle, screenPoint))
            continue;
        return found;
    }
    return window.handle;
}
}

HWND TopLevelWindowAt(POINT screenPoint)
{
    for (HWND handle : WindowTree::Instance().TopLevels()) {
        Window* window = FindWindowObject(handle);
        if (!window || !(window->style & WS_VISIBLE) || (window->style & WS_MINIMIZE) || !PtInRect(&window->rect, screenPoint))
            continue;
        if (!ShapeHolds(*window, { screenPoint.x - window->rect.left, screenPoint.y - window->rect.top }))
            continue;
        return handle;
    }
    return nullptr;
}

HWND WindowFromPoint(POINT screenPoint)
{
    Window* topLevel = FindWindowObject(TopLevelWindowAt(screenPoint));
    if (!topLevel)
        return nullptr;
    POINT windowPoint { screenPoint.x - topLevel->rect.left, screenPoint.y - topLevel->rect.top };
    if (!PtInRect(&topLevel->client, windowPoint))
        return topLevel->handle;
    return DeepestChildAt(*topLevel, { windowPoint.x - topLevel->client.left, windowPoint.y - topLevel->client.top }, screenPoint);
}

HWND ChildWindowFromPointEx(HWND parentHandle, POINT clientPoint, UINT flags)
{
    Window* parent = FindWindowObject(parentHandle);
    if (!parent)
        return nullptr;
    RECT client { 0, 0, parent->client.right - parent->client.left, parent->client.bottom - parent->client.top };
    if (!PtInRect(&client, clientPoint))
        return nullptr;
    for (HWND childHandle : parent->children) {
        Window* child = FindWindowObject(childHandle);
        if (!child || !PtInRect(&child->rect, clientPoint))
            continue;
        if ((flags & CWP_SKIPINVISIBLE) && !(child->style & WS_VISIBLE))
            continue;
        if ((flags & CWP_SKIPDISABLED) && (child->style & WS_DISABLED))
            continue;
        if ((flags & CWP_SKIPTRANSPARENT) && (child->exStyle & WS_EX_TRANSPARENT))
            continue;
        return childHandle;
    }
    return parentHandle;
}

HWND ChildWindowFromPoint(HWND parent, POINT clientPoint)
{
    return ChildWindowFromPointEx(parent, clientPoint, CWP_ALL);
}

int SetWindowRgn(HWND handle, HRGN region, BOOL redraw)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return 0;
    const Region before = ShapeOf(*window);
    if (region) {
        const Region* shape = fln::gdi::regionOf(region);
        if (!shape)
            return 0;
        window->shape = *shape;
        DeleteObject(region); // the window owns the region now
    } else {
        window->shape.reset();
    }
    if (window->native)
        CurrentDisplay().SetNativeShape(window->native, window->shape ? window->shape->rects() : std::vector<RECT> {});
    if (!WindowTree::Instance().IsVisible(*window))
        return 1;
    // Whatever the window no longer covers shows what lies beneath it, redrawn or not.
    Region uncovered = before - ShapeOf(*window);
    uncovered.offset(window->rect.left, window->rect.top);
    ShowWhatLayBeneath(*window, uncovered);
    if (redraw)
        InvalidateWindowArea(*window, Region(RECT { 0, 0, window->Width(), window->Height() }), true, true, true);
    return 1;
}

int GetWindowRgn(HWND handle, HRGN region)
{
    Window* window = FindWindowObject(handle);
    if (!window || !window->shape)
        return ERROR;
    if (!fln::gdi::regionOf(region))
        return ERROR;
    HRGN copy = fln::gdi::createRegionHandle(*window->shape);
    int complexity = CombineRgn(region, copy, nullptr, RGN_COPY);
    DeleteObject(copy);
    return complexity;
}
