#pragma once
// The window objects behind HWND handles and the tree they form (internal to platform/user).
// Every window belongs to the thread that created it; the tree is changed on that thread only.
// Handles are never reused, so a stale handle is simply not found.

#include "platform/display/Display.h"
#include "platform/gdi/Region.h"
#include "platform/user/WinUser.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fln::user {

using fln::gdi::Region;

struct WindowClass {
    std::wstring name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC procedure = nullptr;
    int classExtraBytes = 0;
    int windowExtraBytes = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON smallIcon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    std::wstring menuName;
    std::vector<BYTE> extraBytes;
    bool isSystem = false;
};

struct ScrollBarState {
    int minimum = 0;
    int maximum = 100;
    UINT page = 0;
    int position = 0;
    int trackPosition = 0;  // where the thumb is while it is held
    bool thumbHeld = false;
    UINT disabledArrows = 0; // ESB_DISABLE_ bits
    UINT pressedArrows = 0;  // the arrow held down, as ESB_DISABLE_LTUP or ESB_DISABLE_RTDN
};

struct Window {
    HWND handle = nullptr;
    std::shared_ptr<WindowClass> windowClass;
    WNDPROC procedure = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = nullptr;        // child windows
    HWND owner = nullptr;         // top-level windows
    std::vector<HWND> children;   // topmost first
    RECT rect {};                 // in the parent's client coordinates; screen for top-level windows
    RECT client {};               // client area in window coordinates
    RECT normalRect {};           // where SW_RESTORE puts a minimised or maximised window
    bool restoreMaximized = false; // minimised from maximised: SW_RESTORE maximises again
    bool shownOnce = false;       // top-level windows: shown on the display at least once
    std::wstring text;
    UINT_PTR id = 0;
    LONG_PTR userData = 0;
    HINSTANCE instance = nullptr;
    HMENU menu = nullptr;
    HMENU systemMenu = nullptr;
    std::vector<BYTE> extraBytes;
    std::map<std::wstring, HANDLE> props;
    std::optional<Region> shape;  // window region, window coordinates
    // Painting state, in window coordinates: the part to paint, and what BeginPaint must do first.
    Region update;
    bool frameUpdate = false;
    bool eraseUpdate = false;
    bool internalPaint = false;
    // Top-level windows only: the display's window and the backing surface drawn into (none
    // until the window is first drawn).
    NativeWindowId native = 0;
    cairo_surface_t* surface = nullptr;
    std::thread::id thread;
    bool destroying = false;
    bool created = false;         // WM_NCCREATE answered
    HFONT font = nullptr;         // WM_SETFONT of windows that keep no font of their own
    HICON smallIcon = nullptr;    // WM_SETICON; the window does not own them
    HICON bigIcon = nullptr;
    int openMenuBarItem = -1;     // the menu-bar item whose popup is shown, drawn sunken
    ScrollBarState scrollBars[2]; // SB_HORZ, SB_VERT

    bool IsChild() const { return (style & WS_CHILD) != 0; }
    bool IsTopLevel() const { return !IsChild(); }
    int Width() const { return rect.right - rect.left; }
    int Height() const { return rect.bottom - rect.top; }
};

class WindowTree {
public:
    static WindowTree& Instance();

    Window* Find(HWND handle);
    HWND Add(std::unique_ptr<Window> window);
    void Remove(HWND handle);
    // Safe from any thread: the thread that owns the window, if it exists.
    std::optional<std::thread::id> OwnerThread(HWND handle);

    // Top-level windows, topmost first.
    std::vector<HWND>& TopLevels() { return m_topLevels; }
    // The siblings list a window is in.
    std::vector<HWND>& SiblingsOf(Window& window);

    Window* FromNative(NativeWindowId native);

    // Geometry helpers.
    POINT ClientOriginOnScreen(const Window& window);
    POINT WindowOriginOnScreen(const Window& window);
    Window& TopLevelOf(Window& window);
    // Origin of the window in its top-level window's coordinates (its place on the backing surface).
    POINT OriginInTopLevel(const Window& window);
    bool IsVisible(const Window& window); // it and every ancestor have WS_VISIBLE
    // The part of the window that can show on its top-level window's surface, in window
    // coordinates: clipped by ancestors, siblings above with WS_CLIPSIBLINGS and the window
    // region; excluding its children when clipChildren.
    Region VisibleRegion(Window& window, bool clientOnly, bool clipChildren);

private:
    std::mutex m_mutex; // guards the handle map against lookups from other threads
    std::map<HWND, std::unique_ptr<Window>> m_windows;
    std::vector<HWND> m_topLevels;
    std::uintptr_t m_nextHandle = 0x10010;
};

Window* FindWindowObject(HWND handle);

// Painting helpers shared by the window, painting and non-client code.
// Gives a top-level window its backing surface at its size, made when it is first drawn (a start
// resizes its windows several times before it paints them) and kept with what it holds on resizes.
void EnsureSurface(Window& window);
// Inside a paint pass (UpdateWindow, RedrawWindow with RDW_UPDATENOW) the copy waits for the
// pass's end, gathered with the others; FlushPresents makes the waiting copies now.
void PresentWindow(Window& topLevel, const RECT& windowArea);
void FlushPresents();
// Marks the area (window coordinates) of window and, unless the parent clips children, of
// the children it covers, as needing paint.
void InvalidateWindowArea(Window& window, const Region& area, bool erase, bool frame, bool allChildren);
// Invalidates what of the visible children (frames included) lies under an area of the window (in
// window coordinates): the window paints there over them.
void InvalidateChildrenUnder(Window& window, const Region& area, bool erase, bool allChildren);
// Paints the non-client area (frame, menu bar, scroll bars) now, through WM_NCPAINT, and leaves
// the client area's update as it is.
void RedrawNonClient(HWND handle);

// Message helpers.
LRESULT SendToWindow(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
void ForgetWindowState(HWND handle); // timers, focus, capture, active window of a dying window

} // namespace fln::user
