#include "platform/user/WindowTree.h"

#include <algorithm>

namespace fln::user {

WindowTree& WindowTree::Instance()
{
    static WindowTree tree;
    return tree;
}

Window* WindowTree::Find(HWND handle)
{
    if (!handle)
        return nullptr;
    std::lock_guard lock(m_mutex);
    auto it = m_windows.find(handle);
    return it == m_windows.end() ? nullptr : it->second.get();
}

Window* FindWindowObject(HWND handle)
{
    return WindowTree::Instance().Find(handle);
}

HWND WindowTree::Add(std::unique_ptr<Window> window)
{
    std::lock_guard lock(m_mutex);
    HWND handle = reinterpret_cast<HWND>(m_nextHandle);
    m_nextHandle += 4;
    window->handle = handle;
    m_windows.emplace(handle, std::move(window));
    return handle;
}

void WindowTree::Remove(HWND handle)
{
    std::unique_ptr<Window> removed;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_windows.find(handle);
        if (it == m_windows.end())
            return;
        removed = std::move(it->second);
        m_windows.erase(it);
    }
    std::erase(m_topLevels, handle);
}

std::optional<std::thread::id> WindowTree::OwnerThread(HWND handle)
{
    std::lock_guard lock(m_mutex);
    auto it = m_windows.find(handle);
    if (it == m_windows.end())
        return std::nullopt;
    return it->second->thread;
}

std::vector<HWND>& WindowTree::SiblingsOf(Window& window)
{
    if (Window* parent = window.IsChild() ? Find(window.parent) : nullptr)
        return parent->children;
    return m_topLevels;
}

Window* WindowTree::FromNative(NativeWindowId native)
{
    if (!native)
        return nullptr;
    for (HWND handle : m_topLevels) {
        Window* window = Find(handle);
        if (window && window->native == native)
            return window;
    }
    return nullptr;
}

POINT WindowTree::WindowOriginOnScreen(const Window& window)
{
    POINT origin { window.rect.left, window.rect.top };
    if (window.IsChild()) {
        if (Window* parent = Find(window.parent)) {
            POINT parentClient = ClientOriginOnScreen(*parent);
            origin.x += parentClient.x;
            origin.y += parentClient.y;
        }
    }
    return origin;
}

POINT WindowTree::ClientOriginOnScreen(const Window& window)
{
    POINT origin = WindowOriginOnScreen(window);
    return { origin.x + window.client.left, origin.y + window.client.top };
}

Window& WindowTree::TopLevelOf(Window& window)
{
    Window* current = &window;
    while (current->IsChild()) {
        Window* parent = Find(current->parent);
        if (!parent)
            break;
        current = parent;
    }
    return *current;
}

POINT WindowTree::OriginInTopLevel(const Window& window)
{
    if (!window.IsChild())
        return { 0, 0 };
    Window* parent = Find(window.parent);
    if (!parent)
        return { 0, 0 };
    POINT parentOrigin = OriginInTopLevel(*parent);
    return { parentOrigin.x + parent->client.left + window.rect.left, parentOrigin.y + parent->client.top + window.rect.top };
}

bool WindowTree::IsVisible(const Window& window)
{
    const Window* current = &window;
    while (current) {
        if (!(current->style & WS_VISIBLE))
            return false;
        if (!current->IsChild())
            return true;
        current = Find(current->parent);
    }
    return false;
}

Region WindowTree::VisibleRegion(Window& window, bool clientOnly, bool clipChildren)
{
    // Work in the window's own coordinates; ancestors and siblings are moved into them.
    Region visible(clientOnly ? window.client : RECT { 0, 0, window.Width(), window.Height() });
    if (window.shape)
        visible = visible & *window.shape;
    if (clipChildren) {
        for (HWND childHandle : window.children) {
            Window* child = Find(childHandle);
            if (!child || !(child->style & WS_VISIBLE))
                continue;
            RECT r = child->rect;
            OffsetRect(&r, window.client.left, window.client.top);
            Region childArea(r);
            if (child->shape) {
                Region shape = *child->shape;
                shape.offset(r.left, r.top);
                childArea = shape;
            }
            visible = visible - childArea;
        }
    }
    Window* current = &window;
    POINT offset { 0, 0 }; // current's window origin in the window's coordinates
    while (current->IsChild()) {
        Window* parent = Find(current->parent);
        if (!parent)
            break;
        // Siblings above current that clip it.
        if (current->style & WS_CLIPSIBLINGS) {
            for (HWND siblingHandle : parent->children) {
                if (siblingHandle == current->handle)
                    break;
                Window* sibling = Find(siblingHandle);
                if (!sibling || !(sibling->style & WS_VISIBLE))
                    continue;
                RECT r = sibling->rect;
                OffsetRect(&r, offset.x - current->rect.left, offset.y - current->rect.top);
                visible = visible - Region(r);
            }
        }
        // The parent's client area, in the window's coordinates.
        offset.x -= current->rect.left + parent->client.left;
        offset.y -= current->rect.top + parent->client.top;
        RECT parentClient = parent->client;
        OffsetRect(&parentClient, offset.x, offset.y);
        visible = visible & Region(parentClient);
        if (parent->shape) {
            Region shape = *parent->shape;
            shape.offset(offset.x, offset.y);
            visible = visible & shape;
        }
        current = parent;
    }
    return visible;
}

} // namespace fln::user
