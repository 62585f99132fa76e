// Window classes, creating and destroying windows, the tree, positions and show states.

#include "platform/user/MessageQueue.h"
#include "platform/user/SystemClasses.h"
#include "platform/user/WindowIcons.h"
#include "platform/user/WindowTree.h"
#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <unistd.h>

namespace fln::user {
namespace {

std::vector<std::shared_ptr<WindowClass>>& Classes()
{
    static std::vector<std::shared_ptr<WindowClass>> classes;
    return classes;
}

ATOM g_nextAtom = 0xC000;

bool SameName(const std::wstring& a, LPCWSTR b)
{
    if (!b)
        return false;
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return i == a.size() && !b[i];
}

std::shared_ptr<WindowClass> FindRegisteredClass(LPCWSTR name)
{
    if (!name)
        return nullptr;
    for (auto& windowClass : Classes()) {
        if (IS_INTRESOURCE(name) ? windowClass->atom == reinterpret_cast<ULONG_PTR>(name) : SameName(windowClass->name, name))
            return windowClass;
    }
    return nullptr;
}

// A registered class, or a system control class registered now on its first use.
std::shared_ptr<WindowClass> FindClass(LPCWSTR name)
{
    if (auto windowClass = FindRegisteredClass(name))
        return windowClass;
    if (!RegisterSystemClass(name))
        return nullptr;
    auto windowClass = FindRegisteredClass(name);
    if (windowClass)
        windowClass->isSystem = true; // never unregistered
    return windowClass;
}

void SendParentNotify(Window& window, UINT event)
{
    if (!window.IsChild() || (window.exStyle & WS_EX_NOPARENTNOTIFY))
        return;
    HWND current = window.parent;
    while (Window* parent = FindWindowObject(current)) {
        SendToWindow(*parent, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(event), static_cast<WORD>(window.id)), reinterpret_cast<LPARAM>(window.handle));
        if (!parent->IsChild() || (parent->exStyle & WS_EX_NOPARENTNOTIFY))
            break;
        current = parent->parent;
    }
}

RECT DefaultTopLevelRect(int x, int y, int width, int height)
{
    RECT r;
    if (x == CW_USEDEFAULT) {
        // Cascaded from the top left of the work area, clear of the desktop's panels.
        static int cascade = 0;
        RECT work {};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        x = work.left + 64 + 24 * (cascade % 8);
        y = work.top + 64 + 24 * (cascade++ % 8);
    }
    if (width == CW_USEDEFAULT)
        width = 640, height = 480;
    SetRect(&r, x, y, x + width, y + height);
    return r;
}

void CreateNative(Window& window, SIZE minimumSize)
{
    Display& display = CurrentDisplay();
    NativeWindowParams params;
    params.bounds = window.rect;
    params.minimumSize = minimumSize;
    // Captioned popups (dialogs, floating bars) are the window manager's to stack and focus;
    // menus, tips and drop-down lists are not.
    bool captioned = (window.style & WS_CAPTION) == WS_CAPTION;
    params.popup = ((window.style & WS_POPUP) || (window.exStyle & WS_EX_TOOLWINDOW)) && !captioned;
    if (Window* owner = FindWindowObject(window.owner))
        params.owner = owner->native;
    params.topmost = window.exStyle & WS_EX_TOPMOST;
    params.title = window.text;
    window.native = display.CreateNativeWindow(params);
    PublishIcons(window);
}

void ComputeClient(Window& window)
{
    RECT r { 0, 0, window.Width(), window.Height() };
    RECT screen = window.rect;
    SendToWindow(window, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&screen));
    r = screen;
    OffsetRect(&r, -window.rect.left, -window.rect.top);
    r.right = std::max(r.left, r.right);
    r.bottom = std::max(r.top, r.bottom);
    window.client = r;
}

void SendDestroyMessages(HWND handle)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return;
    SendToWindow(*window, WM_DESTROY, 0, 0);
    std::vector<HWND> children = window->children;
    for (HWND child : children)
        SendDestroyMessages(child);
}

void FreeWindowTree(HWND handle)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return;
    std::vector<HWND> children = window->children;
    for (HWND child : children)
        FreeWindowTree(child);
    SendToWindow(*window, WM_NCDESTROY, 0, 0);
    ForgetWindowState(handle);
    window = FindWindowObject(handle);
    if (!window)
        return;
    if (window->native) {
        CurrentDisplay().DestroyNativeWindow(window->native);
        cairo_surface_destroy(window->surface);
        window->surface = nullptr;
    }
    if (window->menu && window->IsTopLevel())
        DestroyMenu(window->menu);
    if (window->systemMenu)
        DestroyMenu(window->systemMenu);
    if (Window* parent = window->IsChild() ? FindWindowObject(window->parent) : nullptr)
        std::erase(parent->children, handle);
    WindowTree::Instance().Remove(handle);
}

} // namespace

void InstallWindowedMessageBoxes();

HWND CreateWindowObject(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
    int height, HWND parentHandle, HMENU menuOrId, HINSTANCE instance, LPVOID param)
{
    // Once there are windows, message boxes of the layers below show as windows too.
    static const bool boxesInstalled = (InstallWindowedMessageBoxes(), true);
    (void)boxesInstalled;
    auto windowClass = FindClass(className);
    if (!windowClass)
        return nullptr;
    WindowTree& tree = WindowTree::Instance();
    Window* parent = tree.Find(parentHandle);
    if ((style & WS_CHILD) && !parent)
        return nullptr;

    auto window = std::make_unique<Window>();
    window->windowClass = windowClass;
    window->procedure = windowClass->procedure;
    window->style = style & ~WS_VISIBLE;
    window->exStyle = exStyle;
    window->instance = instance;
    window->thread = std::this_thread::get_id();
    window->extraBytes.resize(static_cast<size_t>(std::max(0, windowClass->windowExtraBytes)));
    if (windowName && !IS_INTRESOURCE(windowName))
        window->text = windowName;
    if (style & WS_CHILD) {
        window->parent = parentHandle;
        window->id = reinterpret_cast<UINT_PTR>(menuOrId);
        if (x == CW_USEDEFAULT)
            x = y = 0;
        if (width == CW_USEDEFAULT)
            width = height = 0;
        SetRect(&window->rect, x, y, x + width, y + height);
    } else {
        if (parent)
            window->owner = tree.TopLevelOf(*parent).handle;
        window->menu = menuOrId;
        window->style |= WS_CLIPSIBLINGS;
        if (!(style & WS_POPUP))
            window->style |= WS_CAPTION; // an overlapped window always has a caption
        window->rect = DefaultTopLevelRect(x, y, width, height);
    }
    window->normalRect = window->rect;
    HWND handle = tree.Add(std::move(window));
    Window* created = tree.Find(handle);
    if (created->IsChild())
        parent->children.push_back(handle); // new children go to the bottom of the order
    else
        tree.TopLevels().insert(tree.TopLevels().begin(), handle);

    CREATESTRUCTW create {};
    create.lpCreateParams = param;
    create.hInstance = instance;
    create.hMenu = menuOrId;
    create.hwndParent = parentHandle;
    create.x = created->rect.left;
    create.y = created->rect.top;
    create.cx = created->Width();
    create.cy = created->Height();
    create.style = static_cast<LONG>(style);
    create.lpszName = windowName;
    create.lpszClass = className;
    create.dwExStyle = exStyle;


    // A creation hook sees the window first (and may subclass it or refuse it).
    if (HasHooks(WH_CBT)) {
        CBT_CREATEWNDW cbt { &create, created->IsChild() ? HWND_BOTTOM : HWND_TOP };
        if (CallHooks(WH_CBT, HCBT_CREATEWND, reinterpret_cast<WPARAM>(handle), reinterpret_cast<LPARAM>(&cbt))) {
            // Refused before its first message: it goes without a word.
            if (Window* refused = tree.Find(handle)) {
                std::erase(tree.SiblingsOf(*refused), handle);
                tree.Remove(handle);
            }
            return nullptr;
        }
        if ((created = tree.Find(handle)) == nullptr)
            return nullptr;
    }
    SIZE minimumSize {}; // of a sizable top-level window
    if (created->IsTopLevel() && ((style & WS_THICKFRAME) || !(style & WS_POPUP))) {
        MINMAXINFO info {};
        info.ptMaxTrackSize = { GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK) };
        info.ptMinTrackSize = { GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK) };
        SendToWindow(*created, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        if ((created = tree.Find(handle)) == nullptr)
            return nullptr;
        // A sizable or overlapped window starts no larger than it could be sized by hand.
        RECT& r = created->rect;
        r.right = r.left + std::min<LONG>(r.right - r.left, info.ptMaxTrackSize.x);
        r.bottom = r.top + std::min<LONG>(r.bottom - r.top, info.ptMaxTrackSize.y);
        created->normalRect = r;
        create.cx = created->Width();
        create.cy = created->Height();
        if (style & WS_THICKFRAME)
            minimumSize = { info.ptMinTrackSize.x, info.ptMinTrackSize.y };
    }
    if (!SendToWindow(*created, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        FreeWindowTree(handle); // WM_NCDESTROY only: the window never got WM_CREATE
        return nullptr;
    }
    if ((created = tree.Find(handle)) == nullptr)
        return nullptr;
    created->created = true;
    if (created->IsTopLevel())
        CreateNative(*created, minimumSize);
    ComputeClient(*created);
    if (SendToWindow(*created, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        SendDestroyMessages(handle);
        FreeWindowTree(handle);
        return nullptr;
    }
    if ((created = tree.Find(handle)) == nullptr)
        return nullptr;
    SendToWindow(*created, WM_SIZE, SIZE_RESTORED, MAKELPARAM(static_cast<WORD>(created->client.right - created->client.left), static_cast<WORD>(created->client.bottom - created->client.top)));
    SendToWindow(*created, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(created->rect.left + created->client.left), static_cast<WORD>(created->rect.top + created->client.top)));
    if ((created = tree.Find(handle)) == nullptr)
        return nullptr;
    SendParentNotify(*created, WM_CREATE);
    if (!IsWindow(handle))
        return nullptr;
    if (style & WS_VISIBLE)
        ShowWindow(handle, created->IsChild() || (exStyle & WS_EX_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    return IsWindow(handle) ? handle : nullptr;
}

BOOL DestroyWindowObject(HWND handle)
{
    WindowTree& tree = WindowTree::Instance();
    Window* window = tree.Find(handle);
    if (!window || window->destroying)
        return window != nullptr;
    if (HasHooks(WH_CBT) && CallHooks(WH_CBT, HCBT_DESTROYWND, reinterpret_cast<WPARAM>(handle), 0))
        return FALSE; // the hook keeps the window
    if (!(window = tree.Find(handle)))
        return TRUE;
    window->destroying = true;
    // Owned windows go first.
    std::vector<HWND> owned;
    for (HWND topLevel : tree.TopLevels()) {
        Window* candidate = tree.Find(topLevel);
        if (candidate && candidate->owner == handle)
            owned.push_back(topLevel);
    }
    for (HWND ownedHandle : owned)
        DestroyWindowObject(ownedHandle);
    if (!(window = tree.Find(handle)))
        return TRUE;
    SendParentNotify(*window, WM_DESTROY);
    if (IsWindowVisible(handle))
        SetWindowPos(handle, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    if (GetActiveWindow() == handle) {
        Window* ownerWindow = tree.Find(window->owner);
        SetActiveWindow(ownerWindow && IsWindowVisible(ownerWindow->handle) ? ownerWindow->handle : nullptr);
    }
    SendDestroyMessages(handle);
    FreeWindowTree(handle);
    return TRUE;
}

} // namespace fln::user

using namespace fln::user;

ATOM RegisterClassExW(const WNDCLASSEXW* info)
{
    if (!info || !info->lpszClassName || !info->lpfnWndProc)
        return 0;
    if (!IS_INTRESOURCE(info->lpszClassName) && FindRegisteredClass(info->lpszClassName))
        return 0; // ERROR_CLASS_ALREADY_EXISTS
    auto windowClass = std::make_shared<WindowClass>();
    windowClass->name = IS_INTRESOURCE(info->lpszClassName) ? std::wstring() : std::wstring(info->lpszClassName);
    windowClass->atom = g_nextAtom++;
    windowClass->style = info->style;
    windowClass->procedure = info->lpfnWndProc;
    windowClass->classExtraBytes = info->cbClsExtra;
    windowClass->windowExtraBytes = info->cbWndExtra;
    windowClass->instance = info->hInstance;
    windowClass->icon = info->hIcon;
    windowClass->smallIcon = info->hIconSm;
    windowClass->cursor = info->hCursor;
    windowClass->background = info->hbrBackground;
    if (info->lpszMenuName && !IS_INTRESOURCE(info->lpszMenuName))
        windowClass->menuName = info->lpszMenuName;
    windowClass->extraBytes.resize(static_cast<size_t>(std::max(0, info->cbClsExtra)));
    Classes().push_back(windowClass);
    return windowClass->atom;
}

ATOM RegisterClassW(const WNDCLASSW* info)
{
    if (!info)
        return 0;
    WNDCLASSEXW ex { sizeof(WNDCLASSEXW), info->style, info->lpfnWndProc, info->cbClsExtra, info->cbWndExtra, info->hInstance,
        info->hIcon, info->hCursor, info->hbrBackground, info->lpszMenuName, info->lpszClassName, nullptr };
    return RegisterClassExW(&ex);
}

BOOL UnregisterClassW(LPCWSTR className, HINSTANCE)
{
    auto windowClass = FindRegisteredClass(className);
    if (!windowClass || windowClass->isSystem)
        return FALSE;
    // A class in use by a window stays.
    for (HWND topLevel : WindowTree::Instance().TopLevels()) {
        Window* window = FindWindowObject(topLevel);
        if (window && window->windowClass == windowClass)
            return FALSE;
    }
    std::erase(Classes(), windowClass);
    return TRUE;
}

BOOL GetClassInfoExW(HINSTANCE, LPCWSTR className, WNDCLASSEXW* info)
{
    auto windowClass = FindClass(className);
    if (!windowClass || !info)
        return FALSE;
    *info = { sizeof(WNDCLASSEXW), windowClass->style, windowClass->procedure, windowClass->classExtraBytes,
        windowClass->windowExtraBytes, windowClass->instance, windowClass->icon, windowClass->cursor, windowClass->background,
        nullptr, className, windowClass->smallIcon };
    return windowClass->atom;
}

BOOL GetClassInfoW(HINSTANCE instance, LPCWSTR className, WNDCLASSW* info)
{
    WNDCLASSEXW ex {};
    if (!info || !GetClassInfoExW(instance, className, &ex))
        return FALSE;
    *info = { ex.style, ex.lpfnWndProc, ex.cbClsExtra, ex.cbWndExtra, ex.hInstance, ex.hIcon, ex.hCursor, ex.hbrBackground, nullptr, className };
    return TRUE;
}

int GetClassNameW(HWND handle, LPWSTR buffer, int length)
{
    Window* window = FindWindowObject(handle);
    if (!window || !buffer || length <= 0)
        return 0;
    int count = std::min<int>(static_cast<int>(window->windowClass->name.size()), length - 1);
    std::copy_n(window->windowClass->name.begin(), count, buffer);
    buffer[count] = 0;
    return count;
}

ULONG_PTR GetClassLongPtrW(HWND handle, int index)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return 0;
    auto& windowClass = *window->windowClass;
    switch (index) {
    case GCL_STYLE: return windowClass.style;
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(windowClass.background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(windowClass.cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(windowClass.icon);
    }
    return 0;
}

ULONG_PTR SetClassLongPtrW(HWND handle, int index, LONG_PTR value)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return 0;
    auto& windowClass = *window->windowClass;
    ULONG_PTR previous = GetClassLongPtrW(handle, index);
    switch (index) {
    case GCL_STYLE: windowClass.style = static_cast<UINT>(value); break;
    case GCLP_HBRBACKGROUND: windowClass.background = reinterpret_cast<HBRUSH>(value); break;
    case GCLP_HCURSOR: windowClass.cursor = reinterpret_cast<HCURSOR>(value); break;
    case GCLP_HICON: windowClass.icon = reinterpret_cast<HICON>(value); break;
    default: return 0;
    }
    return previous;
}

HWND CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y, int width,
    int height, HWND parent, HMENU menuOrId, HINSTANCE instance, LPVOID param)
{
    return CreateWindowObject(exStyle, className, windowName, style, x, y, width, height, parent, menuOrId, instance, param);
}

BOOL DestroyWindow(HWND window)
{
    return DestroyWindowObject(window);
}

BOOL IsWindow(HWND window)
{
    return FindWindowObject(window) != nullptr;
}

BOOL IsWindowVisible(HWND handle)
{
    Window* window = FindWindowObject(handle);
    return window && WindowTree::Instance().IsVisible(*window);
}

BOOL IsWindowEnabled(HWND handle)
{
    Window* window = FindWindowObject(handle);
    return window && !(window->style & WS_DISABLED);
}

BOOL EnableWindow(HWND handle, BOOL enable)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return FALSE;
    bool wasDisabled = window->style & WS_DISABLED;
    if (wasDisabled == !enable)
        return wasDisabled;
    if (enable) {
        window->style &= ~WS_DISABLED;
    } else {
        window->style |= WS_DISABLED;
        if (GetFocus() == handle || IsChild(handle, GetFocus()))
            SetFocus(nullptr);
        if (GetCapture() == handle)
            ReleaseCapture();
    }
    SendToWindow(*window, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

BOOL IsChild(HWND parentHandle, HWND handle)
{
    Window* window = FindWindowObject(handle);
    while (window && window->IsChild()) {
        if (window->parent == parentHandle)
            return TRUE;
        window = FindWindowObject(window->parent);
    }
    return FALSE;
}

BOOL IsIconic(HWND handle)
{
    Window* window = FindWindowObject(handle);
    return window && (window->style & WS_MINIMIZE);
}

BOOL IsZoomed(HWND handle)
{
    Window* window = FindWindowObject(handle);
    return window && (window->style & WS_MAXIMIZE);
}

HWND GetParent(HWND handle)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return nullptr;
    return window->IsChild() ? window->parent : window->owner;
}

HWND SetParent(HWND handle, HWND newParent)
{
    WindowTree& tree = WindowTree::Instance();
    Window* window = tree.Find(handle);
    Window* parent = tree.Find(newParent);
    if (!window || (newParent && !parent) || handle == newParent || IsChild(handle, newParent))
        return nullptr;
    // Child windows move between parents; a window does not change between top level and child.
    if (!window->IsChild() || !parent)
        return nullptr;
    HWND previous = window->parent;
    bool visible = window->style & WS_VISIBLE;
    if (visible)
        ShowWindow(handle, SW_HIDE);
    std::erase(tree.SiblingsOf(*window), handle);
    window->parent = newParent;
    parent->children.insert(parent->children.begin(), handle);
    if (visible)
        ShowWindow(handle, SW_SHOWNA);
    return previous;
}

HWND GetDesktopWindow()
{
    // A handle no window has: its rectangle is the screen (see GetWindowRect).
    return reinterpret_cast<HWND>(0x10000);
}

HWND GetAncestor(HWND handle, UINT flags)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return nullptr;
    switch (flags) {
    case GA_PARENT:
        return window->IsChild() ? window->parent : GetDesktopWindow();
    case GA_ROOT:
        return WindowTree::Instance().TopLevelOf(*window).handle;
    case GA_ROOTOWNER: {
        Window* root = &WindowTree::Instance().TopLevelOf(*window);
        while (Window* owner = FindWindowObject(root->owner))
            root = owner;
        return root->handle;
    }
    }
    return nullptr;
}

HWND GetWindow(HWND handle, UINT relation)
{
    WindowTree& tree = WindowTree::Instance();
    Window* window = tree.Find(handle);
    if (!window)
        return nullptr;
    if (relation == GW_OWNER)
        return window->IsChild() ? nullptr : window->owner;
    if (relation == GW_CHILD)
        return window->children.empty() ? nullptr : window->children.front();
    auto& siblings = tree.SiblingsOf(*window);
    auto it = std::ranges::find(siblings, handle);
    switch (relation) {
    case GW_HWNDFIRST: return siblings.front();
    case GW_HWNDLAST: return siblings.back();
    case GW_HWNDNEXT: return it + 1 < siblings.end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV: return it != siblings.begin() ? *(it - 1) : nullptr;
    }
    return nullptr;
}

HWND GetTopWindow(HWND handle)
{
    if (!handle) {
        auto& topLevels = WindowTree::Instance().TopLevels();
        return topLevels.empty() ? nullptr : topLevels.front();
    }
    return GetWindow(handle, GW_CHILD);
}

HWND GetDlgItem(HWND dialog, int id)
{
    Window* window = FindWindowObject(dialog);
    if (!window)
        return nullptr;
    for (HWND child : window->children) {
        Window* candidate = FindWindowObject(child);
        if (candidate && static_cast<int>(candidate->id) == id)
            return child;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND handle)
{
    Window* window = FindWindowObject(handle);
    return window && window->IsChild() ? static_cast<int>(window->id) : 0;
}

HWND FindWindowW(LPCWSTR className, LPCWSTR windowName)
{
    for (HWND handle : WindowTree::Instance().TopLevels()) {
        Window* window = FindWindowObject(handle);
        if (!window)
            continue;
        if (className && !(IS_INTRESOURCE(className) ? window->windowClass->atom == reinterpret_cast<ULONG_PTR>(className) : SameName(window->windowClass->name, className)))
            continue;
        if (windowName && window->text != windowName)
            continue;
        return handle;
    }
    return nullptr;
}

namespace {
// Children before their own children, in z-order; false once the callback asks to stop.
bool EnumDescendants(HWND parent, WNDENUMPROC callback, LPARAM data)
{
    Window* window = FindWindowObject(parent);
    std::vector<HWND> children = window ? window->children : std::vector<HWND> {};
    for (HWND child : children) {
        if (!IsWindow(child))
            continue;
        if (!callback(child, data) || !EnumDescendants(child, callback, data))
            return false;
    }
    return true;
}
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC callback, LPARAM data)
{
    if (!FindWindowObject(parent) || !callback)
        return FALSE;
    return EnumDescendants(parent, callback, data);
}

BOOL EnumWindows(WNDENUMPROC callback, LPARAM data)
{
    std::vector<HWND> topLevels = WindowTree::Instance().TopLevels();
    for (HWND handle : topLevels) {
        if (IsWindow(handle) && !callback(handle, data))
            return FALSE;
    }
    return TRUE;
}

LONG_PTR GetWindowLongPtrW(HWND handle, int index)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return 0;
    switch (index) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window->procedure);
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->instance);
    case GWLP_HWNDPARENT: return reinterpret_cast<LONG_PTR>(window->IsChild() ? window->parent : window->owner);
    case GWLP_ID: return static_cast<LONG_PTR>(window->id);
    case GWL_STYLE: return static_cast<LONG>(window->style);
    case GWL_EXSTYLE: return static_cast<LONG>(window->exStyle);
    case GWLP_USERDATA: return window->userData;
    }
    if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= window->extraBytes.size()) {
        LONG_PTR value;
        std::memcpy(&value, window->extraBytes.data() + index, sizeof value);
        return value;
    }
    return 0;
}

LONG_PTR SetWindowLongPtrW(HWND handle, int index, LONG_PTR value)
{
    Window* window = FindWindowObject(handle);
    if (!window)
        return 0;
    LONG_PTR previous = GetWindowLongPtrW(handle, index);
    switch (index) {
    case GWLP_WNDPROC:
        window->procedure = reinterpret_cast<WNDPROC>(value);
        return previous;
    case GWLP_ID:
        window->id = static_cast<UINT_PTR>(value);
        return previous;
    case GWLP_USERDATA:
        window->userData = value;
        return previous;
    case GWLP_HWNDPARENT:
        if (!window->IsChild())
            window->owner = reinterpret_cast<HWND>(value);
        return previous;
    case GWL_STYLE:
    case GWL_EXSTYLE: {
        STYLESTRUCT change { static_cast<DWORD>(previous), static_cast<DWORD>(value) };
        WPARAM which = static_cast<WPARAM>(static_cast<LONG_PTR>(index));
        SendToWindow(*window, WM_STYLECHANGING, which, reinterpret_cast<LPARAM>(&change));
        if (!(window = FindWindowObject(handle)))
            return previous;
        if (index == GWL_STYLE) {
            // WS_VISIBLE changes only through ShowWindow; WS_CHILD cannot change here.
            DWORD kept = window->style & (WS_VISIBLE | WS_CHILD);
            window->style = (change.styleNew & ~(WS_VISIBLE | WS_CHILD)) | kept;
        } else {
            window->exStyle = change.styleNew;
        }
        SendToWindow(*window, WM_STYLECHANGED, which, reinterpret_cast<LPARAM>(&change));
        return previous;
    }
    }
    if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= window->extraBytes.size()) {
        std::memcpy(window->extraBytes.data() + index, &value, sizeof value);
        return previous;
    }
    return 0;
}

int GetWindowTextW(HWND handle, LPWSTR buffer, int length)
{
    if (!buffer || length <= 0)
        return 0;
    return static_cast<int>(SendMessageW(handle, WM_GETTEXT, static_cast<WPARAM>(length), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLengthW(HWND handle)
{
    return static_cast<int>(SendMessageW(handle, WM_GETTEXTLENGTH, 0, 0));
}

BOOL SetWindowTextW(HWND handle, LPCWSTR text)
{
    if (!IsWindow(handle))
        return FALSE;
    return static_cast<BOOL>(SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
}

BOOL SetPropW(HWND handle, LPCWSTR name, HANDLE data)
{
    Window* window = FindWindowObject(handle);
    if (!window || !name)
        return FALSE;
    window->props[IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : std::wstring(name)] = data;
    return TRUE;
}

HANDLE GetPropW(HWND handle, LPCWSTR name)
{
    Window* window = FindWindowObject(handle);
    if (!window || !name)
        return nullptr;
    auto it = window->props.find(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : std::wstring(name));
    return it == window->props.end() ? nullptr : it->second;
}

HANDLE RemovePropW(HWND handle, LPCWSTR name)
{
    Window* window = FindWindowObject(handle);
    if (!window || !name)
        return nullptr;
    auto it = window->props.find(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : std::wstring(name));
    if (it == window->props.end())
        return nullptr;
    HANDLE data = it->second;
    window->props.erase(it);
    return data;
}

DWORD GetWindowThreadProcessId(HWND handle, LPDWORD processId)
{
    if (processId)
        *processId = static_cast<DWORD>(getpid());
    return IsWindow(handle) ? GetCurrentThreadId() : 0;
}
