// The display for users: each top-level window is an undecorated X window (menus, tips and
// other popups without a caption are override-redirect; dialogs are transient for their owner)
// whose pixels are copied from its backing surface, so the screen shows exactly what a headless
// run draws. The surfaces lie in memory shared with the server where it can read it
// (X11SharedImages.h), and their pixels go through the socket with XPutImage everywhere else.
// FORMULON_NO_SHM set to anything keeps every surface out of shared memory.

#include "platform/display/Display.h"
#include "platform/display/X11Atoms.h"
#include "platform/display/X11DragAndDrop.h"
#include "platform/display/X11InputMethod.h"
#include "platform/display/X11SelectionReceiver.h"
#include "platform/display/X11SelectionSender.h"
#include "platform/display/X11SharedImages.h"
#include "platform/display/XResources.h"

#include "platform/base/CString.h"

// Xlib's own "Display" type is renamed here, so that it does not clash with ours.
#define Display XDisplay
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#undef Display

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <cstddef>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The virtual keys of the modifiers and buttons, as the window layer names them.
constexpr unsigned kVkLeftButton = 0x01, kVkRightButton = 0x02, kVkMiddleButton = 0x04;
constexpr unsigned kVkShift = 0x10, kVkControl = 0x11, kVkAlt = 0x12;

unsigned VirtualKeyFromKeySym(KeySym sym)
{
    if (sym >= XK_a && sym <= XK_z)
        return static_cast<unsigned>('A' + (sym - XK_a));
    if (sym >= XK_A && sym <= XK_Z)
        return static_cast<unsigned>('A' + (sym - XK_A));
    if (sym >= XK_0 && sym <= XK_9)
        return static_cast<unsigned>('0' + (sym - XK_0));
    if (sym >= XK_F1 && sym <= XK_F24)
        return static_cast<unsigned>(0x70 + (sym - XK_F1));
    if (sym >= XK_KP_0 && sym <= XK_KP_9)
        return static_cast<unsigned>(0x60 + (sym - XK_KP_0));
    static const std::map<KeySym, unsigned> table {
        { XK_BackSpace, 0x08 }, { XK_Tab, 0x09 }, { XK_ISO_Left_Tab, 0x09 }, { XK_Return, 0x0D }, { XK_KP_Enter, 0x0D },
        { XK_Shift_L, 0x10 }, { XK_Shift_R, 0x10 }, { XK_Control_L, 0x11 }, { XK_Control_R, 0x11 },
        { XK_Alt_L, 0x12 }, { XK_Alt_R, 0x12 }, { XK_Pause, 0x13 }, { XK_Caps_Lock, 0x14 }, { XK_Escape, 0x1B },
        { XK_space, 0x20 }, { XK_Prior, 0x21 }, { XK_Next, 0x22 }, { XK_End, 0x23 }, { XK_Home, 0x24 },
        { XK_Left, 0x25 }, { XK_Up, 0x26 }, { XK_Right, 0x27 }, { XK_Down, 0x28 }, { XK_Insert, 0x2D },
        { XK_Delete, 0x2E }, { XK_KP_Home, 0x24 }, { XK_KP_End, 0x23 }, { XK_KP_Left, 0x25 }, { XK_KP_Up, 0x26 },
        { XK_KP_Right, 0x27 }, { XK_KP_Down, 0x28 }, { XK_KP_Prior, 0x21 }, { XK_KP_Next, 0x22 },
        { XK_KP_Insert, 0x2D }, { XK_KP_Delete, 0x2E }, { XK_Menu, 0x5D }, { XK_KP_Multiply, 0x6A },
        { XK_KP_Add, 0x6B }, { XK_KP_Subtract, 0x6D }, { XK_KP_Decimal, 0x6E }, { XK_KP_Divide, 0x6F },
        { XK_Num_Lock, 0x90 }, { XK_Scroll_Lock, 0x91 }, { XK_semicolon, 0xBA }, { XK_equal, 0xBB },
        { XK_comma, 0xBC }, { XK_minus, 0xBD }, { XK_period, 0xBE }, { XK_slash, 0xBF }, { XK_grave, 0xC0 },
        { XK_bracketleft, 0xDB }, { XK_backslash, 0xDC }, { XK_bracketright, 0xDD }, { XK_apostrophe, 0xDE },
    };
    auto it = table.find(sym);
    return it == table.end() ? 0 : it->second;
}

// The modifier bit an Alt key sets: Mod1 on nearly every keyboard, but the mapping decides.
unsigned AltModifierMask(XDisplay* x)
{
    const KeyCode alt = XKeysymToKeycode(x, XK_Alt_L);
    XModifierKeymap* map = XGetModifierMapping(x);
    unsigned mask = 0;
    for (int modifier = 0; map && alt && modifier < 8 && !mask; ++modifier) {
        for (int i = 0; i < map->max_keypermod; ++i) {
            if (map->modifiermap[modifier * map->max_keypermod + i] == alt)
                mask = 1u << modifier;
        }
    }
    if (map)
        XFreeModifiermap(map);
    return mask ? mask : Mod1Mask;
}

int IgnoreXErrors(XDisplay*, XErrorEvent*) { return 0; }

void (*g_displayLostHandler)() = nullptr;

// Xlib ends the process when this returns; the program first saves what it can.
int OnConnectionLost(XDisplay*)
{
    if (auto handler = std::exchange(g_displayLostHandler, nullptr))
        handler();
    std::fputs("formulon: the connection to the X server was lost\n", stderr);
    // Not exit(): the static destructors would talk to the server that is gone.
    std::_Exit(1);
}

class X11Display final : public Display, private X11DragAndDrop::Host {
public:
    explicit X11Display(XDisplay* connection)
        : m_x(connection)
        , m_screen(DefaultScreen(connection))
        , m_root(RootWindow(connection, m_screen))
        , m_start(std::chrono::steady_clock::now())
        , m_sharedImages(connection, !std::getenv("FORMULON_NO_SHM"))
        , m_inputMethod(std::make_unique<X11InputMethod>(connection, [this](DisplayEvent event) { Push(std::move(event)); }))
        , m_selectionSender(connection, [this](Window window) { return IsOwnWindow(window); })
        , m_selectionReceiver(std::make_unique<X11SelectionReceiver>(connection, DefaultRootWindow(connection)))
    {
        XSetErrorHandler(IgnoreXErrors);
        XSetIOErrorHandler(OnConnectionLost);
        InternAtoms(m_x, { { &m_wmDelete, "WM_DELETE_WINDOW" }, { &m_wmProtocols, "WM_PROTOCOLS" },
            { &m_motifHints, "_MOTIF_WM_HINTS" }, { &m_clipboard, "CLIPBOARD" }, { &m_utf8, "UTF8_STRING" },
            { &m_targets, "TARGETS" }, { &m_netName, "_NET_WM_NAME" },
            { &m_stateAbove, "_NET_WM_STATE_ABOVE" }, { &m_netState, "_NET_WM_STATE" }, { &m_netPid, "_NET_WM_PID" },
            { &m_netIcon, "_NET_WM_ICON" }, { &m_netType, "_NET_WM_WINDOW_TYPE" },
            { &m_typeDialog, "_NET_WM_WINDOW_TYPE_DIALOG" }, { &m_workArea, "_NET_WORKAREA" }, { &m_wmState, "WM_STATE" },
            { &m_maximizedVert, "_NET_WM_STATE_MAXIMIZED_VERT" }, { &m_userTime, "_NET_WM_USER_TIME" }, { &m_maximizedHorz, "_NET_WM_STATE_MAXIMIZED_HORZ" } });
        char managerSelection[32];
        std::snprintf(managerSelection, sizeof managerSelection, "WM_S%d", m_screen);
        m_managerSelection = XInternAtom(m_x, managerSelection, False);
        m_altMask = AltModifierMask(m_x);
        // Input methods and compose sequences follow the user's locale.
        std::setlocale(LC_CTYPE, "");
        XSetWindowAttributes attributes {};
        attributes.override_redirect = True;
        m_selectionOwner = XCreateWindow(m_x, m_root, -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent, CWOverrideRedirect, &attributes);
        m_dragAndDrop = std::make_unique<X11DragAndDrop>(m_x, m_root, m_selectionOwner, static_cast<X11DragAndDrop::Host&>(*this));
    }

    ~X11Display() override
    {
        m_inputMethod.reset();
        for (auto& [id, window] : m_windows)
            XDestroyWindow(m_x, id);
        for (auto& [id, cursor] : m_cursors)
            XFreeCursor(m_x, cursor);
        XDestroyWindow(m_x, m_selectionOwner);
        m_selectionReceiver.reset();
        XCloseDisplay(m_x);
    }

    const char* Name() const override { return "x11"; }

    fln::gdi::FontRendering TextRendering() const override
    {
        const char* resources = XResourceManagerString(m_x);
        return FontRenderingFromResources(resources ? resources : "");
    }

    std::vector<MonitorArea> Monitors() const override
    {
        if (!m_monitors)
            m_monitors = ReadMonitors();
        return *m_monitors;
    }

    std::vector<MonitorArea> ReadMonitors() const
    {
        RECT screen { 0, 0, DisplayWidth(m_x, m_screen), DisplayHeight(m_x, m_screen) };
        RECT work = screen;
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(m_x, m_root, m_workArea, 0, 4, False, XA_CARDINAL, &type, &format, &count, &after, &data) == Success
            && data && count >= 4 && format == 32) {
            auto* values = reinterpret_cast<long*>(data);
            work = { static_cast<LONG>(values[0]), static_cast<LONG>(values[1]), static_cast<LONG>(values[0] + values[2]), static_cast<LONG>(values[1] + values[3]) };
        }
        if (data)
            XFree(data);
        return { { screen, work, true } };
    }

    std::uint32_t Now() const override
    {
        auto elapsed = std::chrono::steady_clock::now() - m_start;
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }

    NativeWindowId CreateNativeWindow(const NativeWindowParams& params) override
    {
        XSetWindowAttributes attributes {};
        attributes.background_pixmap = None; // the server must not clear the window before Expose
        attributes.override_redirect = params.popup;
        attributes.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask
            | PointerMotionMask | EnterWindowMask | LeaveWindowMask | StructureNotifyMask | FocusChangeMask | PropertyChangeMask;
        int width = std::max<int>(1, params.bounds.right - params.bounds.left);
        int height = std::max<int>(1, params.bounds.bottom - params.bounds.top);
        Window window = XCreateWindow(m_x, m_root, params.bounds.left, params.bounds.top, width, height, 0, 24, InputOutput,
            CopyFromParent, CWBackPixmap | CWOverrideRedirect | CWEventMask, &attributes);
        if (!window)
            return 0;
        if (!params.popup) {
            long hints[5] = { 2, 0, 0, 0, 0 }; // decorations field only, and no decorations
            XChangeProperty(m_x, window, m_motifHints, m_motifHints, 32, PropModeReplace, reinterpret_cast<unsigned char*>(hints), 5);
            XSetWMProtocols(m_x, window, &m_wmDelete, 1);
            XSizeHints size {};
            size.flags = USPosition | USSize;
            if (params.minimumSize.cx > 0 && params.minimumSize.cy > 0) {
                size.flags |= PMinSize;
                size.min_width = params.minimumSize.cx;
                size.min_height = params.minimumSize.cy;
            }
            XSetWMNormalHints(m_x, window, &size);
            if (params.owner && m_windows.contains(params.owner)) {
                XSetTransientForHint(m_x, window, params.owner);
                XChangeProperty(m_x, window, m_netType, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&m_typeDialog), 1);
            }
        }
        Identify(window);
        m_windows[window] = NativeWindow { .topmost = params.topmost };
        if (params.topmost)
            WriteNetState(window);
        SetNativeTitle(window, params.title);
        return window;
    }

    void DestroyNativeWindow(NativeWindowId id) override
    {
        auto it = m_windows.find(id);
        if (it == m_windows.end())
            return;
        m_inputMethod->Forget(id);
        XDestroyWindow(m_x, id);
        m_windows.erase(it);
        XFlush(m_x);
    }

    void ShowNativeWindow(NativeWindowId id, bool show, bool activate) override
    {
        if (!m_windows.contains(id))
            return;
        m_windows[id].shown = show;
        if (show) {
            // A window shown without activation asks the window manager not to focus it either
            // (a user time of 0): a floating bar that took the focus would make its page hide it.
            if (!activate) {
                long never = 0;
                XChangeProperty(m_x, id, m_userTime, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&never), 1);
            } else {
                XDeleteProperty(m_x, id, m_userTime);
            }
            XMapRaised(m_x, id);
            if (activate) {
                XSync(m_x, False);
                XSetInputFocus(m_x, id, RevertToParent, CurrentTime);
            }
        } else {
            XUnmapWindow(m_x, id);
        }
        XFlush(m_x);
    }

    void SetNativeState(NativeWindowId id, NativeWindowState state) override
    {
        auto it = m_windows.find(id);
        if (it == m_windows.end() || std::exchange(it->second.state, state) == state)
            return;
        // A window mapped later starts as it is now.
        XWMHints hints {};
        hints.flags = StateHint | InputHint;
        hints.input = True;
        hints.initial_state = state == NativeWindowState::Minimized ? IconicState : NormalState;
        XSetWMHints(m_x, id, &hints);
        const bool managed = WindowManagerRuns();
        if (state == NativeWindowState::Minimized) {
            // Without a window manager nobody could bring an iconified window back.
            if (managed)
                XIconifyWindow(m_x, id, m_screen);
            else
                XUnmapWindow(m_x, id);
        } else if (managed && it->second.shown) {
            // A managed window's state changes through the window manager.
            XEvent message {};
            message.xclient.type = ClientMessage;
            message.xclient.window = id;
            message.xclient.message_type = m_netState;
            message.xclient.format = 32;
            message.xclient.data.l[0] = state == NativeWindowState::Maximized ? 1 : 0; // add, remove
            message.xclient.data.l[1] = static_cast<long>(m_maximizedVert);
            message.xclient.data.l[2] = static_cast<long>(m_maximizedHorz);
            message.xclient.data.l[3] = 1; // from an application
            XSendEvent(m_x, m_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &message);
        } else {
            WriteNetState(id);
        }
        XFlush(m_x);
    }

    bool OtherRunsWindowAt(const RECT& bounds) const override { return OtherRunsWindowAt(m_root, bounds); }

    void MoveNativeWindow(NativeWindowId id, const RECT& bounds) override
    {
        auto it = m_windows.find(id);
        if (it == m_windows.end())
            return;
        // The server reports no change that changes nothing: a move to where the window stands
        // (as the program's answer to a report) would wait for an echo that never comes, and take
        // the next real report of that rectangle for it.
        const auto& requested = it->second.requested;
        const std::optional<RECT> bound = requested.empty() ? it->second.reported : requested.back();
        if (bound && EqualRect(&*bound, &bounds))
            return;
        it->second.requested.push_back(bounds);
        if (it->second.requested.size() > 16)
            it->second.requested.pop_front();
        XMoveResizeWindow(m_x, id, bounds.left, bounds.top, std::max<int>(1, bounds.right - bounds.left), std::max<int>(1, bounds.bottom - bounds.top));
        XFlush(m_x);
    }

    void SetNativeTitle(NativeWindowId id, const std::wstring& title) override
    {
        std::string utf8 = WideToUtf8(title);
        XChangeProperty(m_x, id, m_netName, m_utf8, 8, PropModeReplace, reinterpret_cast<const unsigned char*>(utf8.data()), static_cast<int>(utf8.size()));
        XStoreName(m_x, id, utf8.c_str());
    }

    void SetNativeIcons(NativeWindowId id, const std::vector<NativeIcon>& icons) override
    {
        if (!m_windows.contains(id))
            return;
        if (icons.empty()) {
            XDeleteProperty(m_x, id, m_netIcon);
            return;
        }
        // Format-32 property data is an array of C long, whatever its size.
        std::vector<long> data;
        for (const NativeIcon& icon : icons) {
            if (icon.width <= 0 || icon.height <= 0 || icon.argb.size() != static_cast<size_t>(icon.width) * icon.height)
                continue;
            data.push_back(icon.width);
            data.push_back(icon.height);
            data.insert(data.end(), icon.argb.begin(), icon.argb.end());
        }
        XChangeProperty(m_x, id, m_netIcon, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(data.data()), static_cast<int>(data.size()));
        XFlush(m_x);
    }

    bool CaptureScreen(const RECT& area, cairo_surface_t* target) override
    {
        const int width = cairo_image_surface_get_width(target), height = cairo_image_surface_get_height(target);
        cairo_surface_flush(target);
        auto* pixels = cairo_image_surface_get_data(target);
        const int stride = cairo_image_surface_get_stride(target);
        std::memset(pixels, 0, static_cast<size_t>(stride) * height);
        // Only the part on the root window can be read; the rest stays black.
        XWindowAttributes root {};
        XGetWindowAttributes(m_x, m_root, &root);
        RECT screen { 0, 0, root.width, root.height }, readable {};
        if (!IntersectRect(&readable, &area, &screen)) {
            cairo_surface_mark_dirty(target);
            return true;
        }
        XImage* image = XGetImage(m_x, m_root, readable.left, readable.top, readable.right - readable.left,
            readable.bottom - readable.top, AllPlanes, ZPixmap);
        if (!image)
            return false;
        for (int y = readable.top; y < readable.bottom && y - area.top < height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(pixels + static_cast<size_t>(y - area.top) * stride);
            for (int x = readable.left; x < readable.right && x - area.left < width; ++x)
                row[x - area.left] = static_cast<std::uint32_t>(XGetPixel(image, x - readable.left, y - readable.top)) & 0xFFFFFF;
        }
        XDestroyImage(image);
        cairo_surface_mark_dirty(target);
        return true;
    }

    void SetNativeShape(NativeWindowId id, const std::vector<RECT>& rectangles) override
    {
        if (!m_windows.contains(id))
            return;
        if (rectangles.empty()) {
            XShapeCombineMask(m_x, id, ShapeBounding, 0, 0, None, ShapeSet);
            return;
        }
        std::vector<XRectangle> shape;
        for (const RECT& r : rectangles)
            shape.push_back({ static_cast<short>(r.left), static_cast<short>(r.top), static_cast<unsigned short>(r.right - r.left), static_cast<unsigned short>(r.bottom - r.top) });
        XShapeCombineRectangles(m_x, id, ShapeBounding, 0, 0, shape.data(), static_cast<int>(shape.size()), ShapeSet, Unsorted);
    }

    void RaiseNativeWindow(NativeWindowId id) override
    {
        if (m_windows.contains(id))
            XRaiseWindow(m_x, id);
    }

    void FocusNativeWindow(NativeWindowId id) override
    {
        if (m_windows.contains(id))
            XSetInputFocus(m_x, id, RevertToParent, CurrentTime);
    }

    cairo_surface_t* CreateWindowSurface(int width, int height) override
    {
        if (cairo_surface_t* shared = m_sharedImages.CreateSurface(width, height))
            return shared;
        return Display::CreateWindowSurface(width, height);
    }

    void Present(NativeWindowId id, cairo_surface_t* surface, const RECT& area) override
    {
        auto it = m_windows.find(id);
        if (it == m_windows.end() || !surface)
            return;
        cairo_surface_flush(surface);
        int width = cairo_image_surface_get_width(surface);
        int height = cairo_image_surface_get_height(surface);
        RECT clipped;
        RECT whole { 0, 0, width, height };
        if (!IntersectRect(&clipped, &area, &whole))
            return;
        GC gc = DefaultGC(m_x, m_screen);
        const unsigned long serial = NextRequest(m_x);
        if (!m_sharedImages.Put(id, gc, surface, clipped) && !PutImage(id, gc, surface, clipped))
            return;
        it->second.lastCopy = clipped;
        it->second.lastCopySerial = serial;
    }

    // Where the last event received put the pointer: every move over the program's windows, and
    // every crossing into or out of them, is reported, so only the first question (before any
    // such event) takes a round trip to the server.
    POINT CursorPosition() const override
    {
        if (!m_cursorPosition) {
            Window rootReturn, childReturn;
            int rootX = 0, rootY = 0, x, y;
            unsigned mask;
            XQueryPointer(m_x, m_root, &rootReturn, &childReturn, &rootX, &rootY, &x, &y, &mask);
            m_cursorPosition = POINT { rootX, rootY };
        }
        return *m_cursorPosition;
    }

    void SetCursorPosition(POINT point) override
    {
        m_cursorPosition = point;
        XWarpPointer(m_x, None, m_root, 0, 0, 0, 0, point.x, point.y);
        XFlush(m_x);
    }

    void SetCursorShape(NativeWindowId id, std::uintptr_t cursorId) override
    {
        if (!m_windows.contains(id))
            return;
        unsigned shape = XC_left_ptr;
        switch (cursorId) {
        case 32513: shape = XC_xterm; break;
        case 32514: shape = XC_watch; break;
        case 32515: shape = XC_crosshair; break;
        case 32642: case 32643: shape = XC_fleur; break;
        case 32644: shape = XC_sb_h_double_arrow; break;
        case 32645: shape = XC_sb_v_double_arrow; break;
        case 32646: shape = XC_fleur; break;
        case 32648: shape = XC_X_cursor; break;
        case 32649: shape = XC_hand2; break;
        }
        auto [it, added] = m_cursors.try_emplace(shape, 0);
        if (added)
            it->second = XCreateFontCursor(m_x, shape);
        XDefineCursor(m_x, id, it->second);
    }

    std::optional<DisplayEvent> NextEvent() override
    {
        ForgetServerAnswers();
        while (m_pending.empty() && XPending(m_x))
            TakeServerEvent();
        if (m_pending.empty())
            return std::nullopt;
        DisplayEvent event = std::move(m_pending.front());
        m_pending.pop_front();
        return event;
    }

    void Wait(int wakeFd, int timeoutMs) override
    {
        // Xlib may hold events already read from the connection: poll() would not see them.
        if (!m_pending.empty() || XPending(m_x))
            return;
        pollfd fds[2] = { { ConnectionNumber(m_x), POLLIN, 0 }, { wakeFd, POLLIN, 0 } };
        poll(fds, 2, timeoutMs);
        ForgetServerAnswers();
    }

    void SetClipboardText(const std::string& utf8) override { OwnSelection(m_clipboard, utf8); }
    std::optional<std::string> ClipboardText() override { return AwaitText(*ReadSelection(SelectionKind::Clipboard)); }
    void SetPrimarySelectionText(const std::string& utf8) override { OwnSelection(XA_PRIMARY, utf8); }
    std::optional<std::string> PrimarySelectionText() override { return AwaitText(*ReadSelection(SelectionKind::Primary)); }

    std::shared_ptr<SelectionRead> ReadSelection(SelectionKind which) override
    {
        const Atom selection = SelectionAtom(which);
        const Window owner = XGetSelectionOwner(m_x, selection);
        if (owner == None || owner == m_selectionOwner)
            return std::make_shared<AnsweredSelectionRead>(owner == None ? std::nullopt : std::optional(*OwnedText(selection)));
        return m_selectionReceiver->Start(selection, m_utf8, LastTimestamp());
    }

    bool HeldByAnotherProgram(SelectionKind which) override
    {
        const Window owner = XGetSelectionOwner(m_x, SelectionAtom(which));
        return owner != None && owner != m_selectionOwner;
    }

    void SetCompositionSpot(NativeWindowId id, POINT spot) override
    {
        if (m_windows.contains(id))
            m_inputMethod->SetSpot(id, spot);
    }

    void SetCompositionFont(NativeWindowId id, const CompositionFont& font) override
    {
        if (m_windows.contains(id))
            m_inputMethod->SetFont(id, font);
    }

    void AcceptDrops(NativeWindowId id, bool accept) override { m_dragAndDrop->AcceptDrops(id, accept); }
    void AnswerDragOver(NativeWindowId id, DropAction action) override { m_dragAndDrop->AnswerDragOver(id, action); }
    void FinishDrop(NativeWindowId id, DropAction action) override { m_dragAndDrop->FinishDrop(id, action); }
    void BeginDrag(const std::string& utf8) override { m_dragAndDrop->BeginDrag(utf8); }
    bool DragTo(POINT screen, DropAction wanted, DropAction& accepted) override { return m_dragAndDrop->DragTo(screen, wanted, accepted); }
    DropAction EndDrag(bool drop) override { return m_dragAndDrop->EndDrag(drop); }

private:
    // What drag and drop asks of the display.
    void PushEvent(DisplayEvent event) override { Push(std::move(event)); }
    bool IsOwnWindow(Window window) const override
    {
        return window == m_selectionOwner || m_windows.contains(window) || m_selectionReceiver->IsReadWindow(window);
    }
    std::shared_ptr<SelectionRead> ReadDroppedText(Atom selection, Atom target, Time time) override
    {
        return m_selectionReceiver->Start(selection, target, time);
    }
    void OwnSelectionText(Atom selection, const std::string& utf8) override { OwnSelection(selection, utf8); }
    Time LastTimestamp() const override { return m_lastTimestamp ? m_lastTimestamp : CurrentTime; }

    // Sends the pixels of area through the socket.
    bool PutImage(Window window, GC gc, cairo_surface_t* surface, const RECT& area)
    {
        XImage* image = XCreateImage(m_x, DefaultVisual(m_x, m_screen), 24, ZPixmap, 0, reinterpret_cast<char*>(cairo_image_surface_get_data(surface)),
            cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface), 32, cairo_image_surface_get_stride(surface));
        if (!image)
            return false;
        XPutImage(m_x, window, gc, image, area.left, area.top, area.left, area.top, area.right - area.left, area.bottom - area.top);
        image->data = nullptr; // the pixels belong to the surface
        XDestroyImage(image);
        XFlush(m_x);
        return true;
    }

    // The monitors' areas take the server a round trip to tell. Between two looks at the event
    // queue the program learns nothing that could change them, so a burst of questions gets one
    // answer.
    void ForgetServerAnswers() { m_monitors.reset(); }

    // What task bars group and label windows by: the program's class, and the process on this
    // machine that owns the window.
    void Identify(Window window)
    {
        char name[] = "formulon", className[] = "Formulon";
        XClassHint hint { name, className };
        XSetClassHint(m_x, window, &hint);
        char host[256] = {};
        if (gethostname(host, sizeof host - 1) == 0) {
            XChangeProperty(m_x, window, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace, reinterpret_cast<unsigned char*>(host),
                static_cast<int>(std::strlen(host)));
        }
        long pid = getpid();
        XChangeProperty(m_x, window, m_netPid, XA_CARDINAL, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
    }

    struct NativeWindow {
        // Rectangles the program asked for and the server has not yet reported back.
        std::deque<RECT> requested;
        // The rectangle the server last reported; a window manager repeats its reports (a real
        // and a synthetic one for each change), and a repeat that arrives after the program has
        // moved on would move the window back.
        std::optional<RECT> reported;
        // Whether the window manager has put the window into a frame of its own, as of the event
        // being handled: only then are a real ConfigureNotify's coordinates not the screen's.
        bool framed = false;
        bool topmost = false;
        bool shown = false; // mapped by the program: the window manager may have taken it
        // The state the program gave the window, or the window manager's news of it.
        NativeWindowState state = NativeWindowState::Normal;
        // The last copy of pixels sent to the window, and its request's serial.
        RECT lastCopy {};
        unsigned long lastCopySerial = 0;
    };

    // An Expose the server sent before it received a copy that covers the area asks for nothing:
    // the window already shows those pixels (as when a new window's first picture follows its map).
    bool AlreadyCopied(NativeWindowId id, const RECT& area, unsigned long serial) const
    {
        auto it = m_windows.find(id);
        if (it == m_windows.end() || serial >= it->second.lastCopySerial)
            return false;
        RECT covered;
        return UnionRect(&covered, &it->second.lastCopy, &area) && EqualRect(&covered, &it->second.lastCopy);
    }

    void Push(DisplayEvent event) { m_pending.push_back(std::move(event)); }

    // Handles the server's next event, which may become display events on the queue.
    void TakeServerEvent()
    {
        XEvent event;
        XNextEvent(m_x, &event);
        const bool key = event.type == KeyPress || event.type == KeyRelease;
        if (key && m_windows.contains(event.xkey.window))
            m_inputMethod->Prepare(event.xkey.window);
        if (XFilterEvent(&event, None)) {
            if (key)
                m_inputMethod->KeyFiltered(event.xkey);
            return;
        }
        Translate(event);
    }

    void TakeServerEvents()
    {
        while (XPending(m_x))
            TakeServerEvent();
    }

    // Searches the whole tree: a window manager puts top-level windows into frames of its own.
    bool OtherRunsWindowAt(Window under, const RECT& bounds) const
    {
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_x, under, &root, &parent, &children, &count))
            return false;
        bool found = false;
        for (unsigned int i = 0; i < count && !found; ++i) {
            XWindowAttributes attributes {};
            if (!XGetWindowAttributes(m_x, children[i], &attributes) || attributes.map_state != IsViewable || attributes.override_redirect)
                continue;
            if (!IsOtherRunsWindow(children[i])) {
                found = OtherRunsWindowAt(children[i], bounds);
                continue;
            }
            const RECT place = ScreenBounds(children[i], attributes);
            found = EqualRect(&place, &bounds);
        }
        if (children)
            XFree(children);
        return found;
    }

    bool IsOtherRunsWindow(Window window) const
    {
        XClassHint hint {};
        if (m_windows.contains(window) || !XGetClassHint(m_x, window, &hint))
            return false;
        const bool ours = hint.res_name && std::strcmp(hint.res_name, "formulon") == 0;
        XFree(hint.res_name);
        XFree(hint.res_class);
        return ours;
    }

    RECT ScreenBounds(Window window, const XWindowAttributes& attributes) const
    {
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(m_x, window, m_root, 0, 0, &x, &y, &child);
        return { x, y, x + attributes.width, y + attributes.height };
    }

    bool WindowManagerRuns() const { return XGetSelectionOwner(m_x, m_managerSelection) != None; }

    // The window manager's word on whether the window is iconified (WM_STATE), as news where it
    // differs from the state the program gave the window.
    void FollowManagerState(Window id)
    {
        auto it = m_windows.find(id);
        if (it == m_windows.end())
            return;
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        long state = WithdrawnState;
        if (XGetWindowProperty(m_x, id, m_wmState, 0, 2, False, m_wmState, &type, &format, &count, &after, &data) == Success && data && count >= 1 && format == 32)
            state = reinterpret_cast<long*>(data)[0];
        if (data)
            XFree(data);
        const bool minimized = it->second.state == NativeWindowState::Minimized;
        if (state == IconicState && !minimized)
            ReportState(id, it->second, NativeWindowState::Minimized);
        else if (state == NormalState && minimized)
            ReportState(id, it->second, NativeWindowState::Normal);
    }

    void ReportState(NativeWindowId id, NativeWindow& window, NativeWindowState state)
    {
        window.state = state;
        Push({ .kind = DisplayEventKind::StateChanged, .window = id, .state = state });
    }

    // _NET_WM_STATE of a window the window manager has not taken yet, which reads it on the map.
    void WriteNetState(Window id)
    {
        const NativeWindow& window = m_windows[id];
        std::vector<Atom> states;
        if (window.topmost)
            states.push_back(m_stateAbove);
        if (window.state == NativeWindowState::Maximized)
            states.insert(states.end(), { m_maximizedVert, m_maximizedHorz });
        XChangeProperty(m_x, id, m_netState, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(states.data()), static_cast<int>(states.size()));
    }

    void Translate(XEvent& event)
    {
        NativeWindowId id = event.xany.window;
        if (m_selectionReceiver->HandleEvent(event))
            return;
        switch (event.type) {
        case Expose: {
            RECT area { event.xexpose.x, event.xexpose.y, event.xexpose.x + event.xexpose.width, event.xexpose.y + event.xexpose.height };
            if (!AlreadyCopied(id, area, event.xany.serial))
                Push({ .kind = DisplayEventKind::Exposed, .window = id, .area = area });
            break;
        }
        case ConfigureNotify: {
            int x = event.xconfigure.x, y = event.xconfigure.y;
            Window child;
            auto it = m_windows.find(id);
            // A framed window's real report is relative to its frame: its place on the screen can
            // only be asked for, and the answer is the place now, not the one of the report.
            const bool placeOfNow = !event.xconfigure.send_event && it != m_windows.end() && it->second.framed;
            if (placeOfNow)
                XTranslateCoordinates(m_x, id, m_root, 0, 0, &x, &y, &child);
            RECT area { x, y, x + event.xconfigure.width, y + event.xconfigure.height };
            // The echo of the program's own move is no news, and reporting a late one would
            // move the window back to where it was a moment ago.
            if (it != m_windows.end()) {
                const bool repeated = it->second.reported && EqualRect(&*it->second.reported, &area);
                it->second.reported = area;
                if (repeated)
                    break;
                auto& requested = it->second.requested;
                auto echo = std::find_if(requested.begin(), requested.end(), [&](const RECT& r) {
                    return placeOfNow ? r.right - r.left == area.right - area.left && r.bottom - r.top == area.bottom - area.top
                                      : EqualRect(&r, &area);
                });
                if (echo != requested.end()) {
                    requested.erase(requested.begin(), echo + 1);
                    break;
                }
                // The server changes windows in the order of the requests: the echoes of the
                // program's earlier moves, when they come, are news again.
                requested.clear();
            }
            Push({ .kind = DisplayEventKind::Configure, .window = id, .area = area });
            break;
        }
        case PropertyNotify:
            if (m_selectionSender.HandleEvent(event))
                break;
            if (event.xproperty.atom == m_wmState)
                FollowManagerState(id);
            break;
        case MapNotify:
            // With nobody to manage it, a minimised window mapped by another client is back.
            if (auto it = m_windows.find(id); it != m_windows.end() && it->second.state == NativeWindowState::Minimized && !WindowManagerRuns())
                ReportState(id, it->second, NativeWindowState::Normal);
            break;
        case ReparentNotify:
            if (auto it = m_windows.find(id); it != m_windows.end())
                it->second.framed = event.xreparent.parent != m_root;
            break;
        case FocusIn:
        case FocusOut:
            m_inputMethod->FocusChanged(id, event.type == FocusIn);
            if (event.type == FocusIn)
                Push({ .kind = DisplayEventKind::FocusGained, .window = id, .held = EveryKeyHeld() });
            else
                Push({ .kind = DisplayEventKind::FocusLost, .window = id });
            break;
        case KeyPress:
        case KeyRelease:
            TranslateKey(event.xkey);
            break;
        case ButtonPress:
        case ButtonRelease: {
            m_lastTimestamp = event.xbutton.time;
            POINT point { event.xbutton.x_root, event.xbutton.y_root };
            m_cursorPosition = point;
            unsigned button = event.xbutton.button;
            if (button == 4 || button == 5) {
                if (event.type == ButtonPress)
                    Push({ .kind = DisplayEventKind::Wheel, .window = id, .screenPoint = point, .wheelDelta = button == 4 ? 120 : -120, .timestamp = Now(), .held = HeldBy(event.xbutton.state) });
                break;
            }
            if (button > 3)
                break;
            Push({ .kind = event.type == ButtonPress ? DisplayEventKind::ButtonDown : DisplayEventKind::ButtonUp, .window = id, .screenPoint = point, .button = static_cast<int>(button), .timestamp = Now(), .held = HeldBy(event.xbutton.state) });
            break;
        }
        case MotionNotify:
            m_cursorPosition = POINT { event.xmotion.x_root, event.xmotion.y_root };
            Push({ .kind = DisplayEventKind::MouseMove, .window = id, .screenPoint = { event.xmotion.x_root, event.xmotion.y_root }, .timestamp = Now(), .held = HeldBy(event.xmotion.state) });
            break;
        case EnterNotify:
        case LeaveNotify: {
            const XCrossingEvent& crossing = event.xcrossing;
            m_cursorPosition = POINT { crossing.x_root, crossing.y_root };
            // Leaving for a window of another program (or the desktop) brings no move: reported as
            // one, it ends the hover and leave tracking of the window left. With a button held the
            // window keeps receiving the moves.
            const bool buttonHeld = crossing.state & (Button1Mask | Button2Mask | Button3Mask);
            if (event.type == LeaveNotify && crossing.mode == NotifyNormal && crossing.detail != NotifyInferior && !buttonHeld)
                Push({ .kind = DisplayEventKind::MouseMove, .window = id, .screenPoint = *m_cursorPosition, .timestamp = Now() });
            break;
        }
        case ClientMessage:
            if (m_dragAndDrop->HandleClientMessage(event.xclient))
                break;
            if (event.xclient.message_type == m_wmProtocols && static_cast<Atom>(event.xclient.data.l[0]) == m_wmDelete)
                Push({ .kind = DisplayEventKind::CloseRequest, .window = id });
            break;
        case DestroyNotify:
            m_selectionSender.HandleEvent(event);
            break;
        case SelectionRequest:
            AnswerSelectionRequest(event.xselectionrequest);
            break;
        case SelectionClear:
            m_selectionTexts.erase(event.xselectionclear.selection);
            break;
        }
    }

    void TranslateKey(XKeyEvent& key)
    {
        m_lastTimestamp = key.time;
        m_cursorPosition = POINT { key.x_root, key.y_root };
        bool down = key.type == KeyPress;
        // Auto-repeat arrives as release + press with the same time stamp.
        if (!down && XEventsQueued(m_x, QueuedAfterReading)) {
            XEvent next;
            XPeekEvent(m_x, &next);
            if (next.type == KeyPress && next.xkey.time == key.time && next.xkey.keycode == key.keycode) {
                m_repeatKeycode = key.keycode;
                return;
            }
        }
        bool repeat = down && m_repeatKeycode == key.keycode;
        m_repeatKeycode = 0;
        KeySym unshifted = XLookupKeysym(&key, 0);
        unsigned virtualKey = VirtualKeyFromKeySym(unshifted);
        // Keypad keys name digits only with Num Lock on, which the looked-up symbol knows; a
        // release must name the same key as its press.
        KeySym looked = NoSymbol;
        char ignored[8];
        XLookupString(&key, ignored, sizeof ignored, &looked, nullptr);
        if ((looked >= XK_KP_0 && looked <= XK_KP_9) || looked == XK_KP_Decimal)
            virtualKey = VirtualKeyFromKeySym(looked);
        std::wstring text;
        if (down) {
            KeySym sym = NoSymbol;
            text = m_inputMethod->Lookup(key, sym);
            if (!virtualKey)
                virtualKey = VirtualKeyFromKeySym(sym);
        }
        if (virtualKey || !text.empty())
            Push({ .kind = down ? DisplayEventKind::KeyDown : DisplayEventKind::KeyUp, .window = key.window, .screenPoint = { key.x_root, key.y_root }, .key = virtualKey, .repeat = repeat, .text = text, .timestamp = Now(), .held = HeldBy(key.state) });
        m_inputMethod->KeyDelivered(key);
    }

    // The modifiers and buttons an input event's state names as held before the event.
    HeldInput HeldBy(unsigned state) const
    {
        HeldInput held;
        held.keys[kVkShift] = state & ShiftMask;
        held.keys[kVkControl] = state & ControlMask;
        held.keys[kVkAlt] = state & m_altMask;
        held.keys[kVkLeftButton] = state & Button1Mask;
        held.keys[kVkMiddleButton] = state & Button2Mask;
        held.keys[kVkRightButton] = state & Button3Mask;
        return held;
    }

    // Every key and button held now: what changed while another program had the focus.
    HeldInput EveryKeyHeld()
    {
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned state = 0;
        XQueryPointer(m_x, m_root, &root, &child, &rootX, &rootY, &x, &y, &state);
        HeldInput held = HeldBy(state);
        char keymap[32] {};
        XQueryKeymap(m_x, keymap);
        for (unsigned code = 8; code < 256; ++code) {
            if (keymap[code / 8] & (1 << (code % 8))) {
                if (unsigned virtualKey = VirtualKeyFromKeySym(XkbKeycodeToKeysym(m_x, static_cast<KeyCode>(code), 0, 0)))
                    held.keys[virtualKey] = true;
            }
        }
        held.everyKey = true;
        return held;
    }

    void OwnSelection(Atom selection, const std::string& utf8)
    {
        m_selectionTexts[selection] = std::make_shared<const std::string>(utf8);
        XSetSelectionOwner(m_x, selection, m_selectionOwner, m_lastTimestamp ? m_lastTimestamp : CurrentTime);
        // Owned once this returns: another client asking right after must find us, not the old owner.
        XSync(m_x, False);
    }

    Atom SelectionAtom(SelectionKind which) const { return which == SelectionKind::Clipboard ? m_clipboard : XA_PRIMARY; }

    // Takes the server's events until the read has ended, SelectionWaitLimitMs() at most: the
    // events go on to the queue, where NextEvent finds them.
    std::optional<std::string> AwaitText(const SelectionRead& read)
    {
        const std::uint32_t start = Now();
        for (;;) {
            TakeServerEvents();
            const std::uint32_t waited = Now() - start;
            if (read.Finished() || waited >= SelectionWaitLimitMs())
                return read.Text();
            pollfd fd { ConnectionNumber(m_x), POLLIN, 0 };
            poll(&fd, 1, static_cast<int>(SelectionWaitLimitMs() - waited));
        }
    }

    // The text of a selection this program owns (empty when it owns it no longer).
    std::shared_ptr<const std::string> OwnedText(Atom selection) const
    {
        static const auto nothing = std::make_shared<const std::string>();
        auto it = m_selectionTexts.find(selection);
        return it == m_selectionTexts.end() ? nothing : it->second;
    }

    void AnswerSelectionRequest(const XSelectionRequestEvent& request) override
    {
        XSelectionEvent reply {};
        reply.type = SelectionNotify;
        reply.requestor = request.requestor;
        reply.selection = request.selection;
        reply.target = request.target;
        reply.time = request.time;
        reply.property = None;
        Atom property = request.property != None ? request.property : request.target;
        if (request.target == m_targets) {
            Atom offered[] = { m_targets, m_utf8, XA_STRING };
            XChangeProperty(m_x, request.requestor, property, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(offered), 3);
            reply.property = property;
        } else if (request.target == m_utf8 || request.target == XA_STRING || m_dragAndDrop->IsTextTarget(request.target)) {
            if (m_selectionSender.Send(request.requestor, property, request.target, OwnedText(request.selection)))
                reply.property = property;
        }
        XSendEvent(m_x, request.requestor, False, 0, reinterpret_cast<XEvent*>(&reply));
        XFlush(m_x);
    }

    XDisplay* m_x;
    int m_screen;
    Window m_root;
    std::chrono::steady_clock::time_point m_start;
    Window m_selectionOwner;
    Atom m_wmDelete, m_wmProtocols, m_motifHints, m_clipboard, m_utf8, m_targets, m_netName, m_stateAbove, m_netState;
    Atom m_netPid, m_netIcon, m_netType, m_typeDialog, m_workArea, m_wmState, m_maximizedVert, m_maximizedHorz, m_managerSelection, m_userTime;
    std::map<NativeWindowId, NativeWindow> m_windows;
    std::map<unsigned, Cursor> m_cursors;
    std::deque<DisplayEvent> m_pending;
    mutable std::optional<POINT> m_cursorPosition;
    mutable std::optional<std::vector<MonitorArea>> m_monitors;
    // CLIPBOARD and PRIMARY while this program owns them; a transfer in progress keeps the text it started with.
    std::map<Atom, std::shared_ptr<const std::string>> m_selectionTexts;
    Time m_lastTimestamp = 0;
    unsigned m_repeatKeycode = 0;
    unsigned m_altMask = Mod1Mask;
    X11SharedImages m_sharedImages;
    std::unique_ptr<X11InputMethod> m_inputMethod; // let go before the connection closes
    std::unique_ptr<X11DragAndDrop> m_dragAndDrop;
    X11SelectionSender m_selectionSender;
    std::unique_ptr<X11SelectionReceiver> m_selectionReceiver; // let go before the connection closes
};

}

std::string X11UnavailableReason()
{
    const char* variable = std::getenv("DISPLAY");
    if (!variable || !*variable)
        return "DISPLAY is not set";
    const std::string name = variable;
    // [host]:number[.screen]
    const size_t colon = name.rfind(':');
    const std::string host = colon == std::string::npos ? "" : name.substr(0, colon);
    const std::string number = colon == std::string::npos ? "" : name.substr(colon + 1, name.find('.', colon) - colon - 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos)
        return "DISPLAY=\"" + name + "\" names no display";
    if (!host.empty() && host != "unix")
        return "no X server at " + name + " could be reached, or it refused this program";
    // A local server listens on a socket named after its number (abstract, and in the file system).
    const std::string path = "/tmp/.X11-unix/X" + number;
    bool listening = false;
    for (bool abstract : { true, false }) {
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + (abstract ? 1 : 0), path.c_str(), path.size());
        const socklen_t length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        listening = listening || (fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0);
        if (fd >= 0) ::close(fd);
    }
    if (!listening)
        return "no X server is running on display " + name;
    return "the X server on display " + name + " refused this program (not authorised: check XAUTHORITY)";
}

void SetDisplayLostHandler(void (*handler)()) { g_displayLostHandler = handler; }

std::unique_ptr<Display> CreateX11Display()
{
    XDisplay* connection = XOpenDisplay(nullptr);
    if (!connection)
        return nullptr;
    return std::make_unique<X11Display>(connection);
}
