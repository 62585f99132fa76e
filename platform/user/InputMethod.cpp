// Input-method contexts. Input methods belong to the display, one per top-level window; a context
// handle names the window it was asked for, so that the points and fonts given to it are taken in
// that window's client coordinates and passed on to the display's input method of its top-level window.

#include "platform/user/InputMethod.h"

#include "platform/display/Display.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/MemoryDC.h"
#include "platform/user/WindowTree.h"

namespace fln::user {

namespace {

HWND WindowOf(HIMC context)
{
    HWND window = reinterpret_cast<HWND>(context);
    return IsWindow(window) ? window : nullptr;
}

}

void PlaceComposition(HWND window, POINT clientPoint)
{
    WindowTree& tree = WindowTree::Instance();
    Window* inner = tree.Find(window);
    if (!inner)
        return;
    const POINT origin = tree.OriginInTopLevel(*inner);
    const Window& topLevel = tree.TopLevelOf(*inner);
    if (!topLevel.native)
        return;
    CurrentDisplay().SetCompositionSpot(topLevel.native,
        { origin.x + inner->client.left + clientPoint.x, origin.y + inner->client.top + clientPoint.y });
}

}

HIMC ImmGetContext(HWND window)
{
    return IsWindow(window) ? reinterpret_cast<HIMC>(window) : nullptr;
}

BOOL ImmReleaseContext(HWND window, HIMC context)
{
    return IsWindow(window) && context != nullptr;
}

BOOL ImmSetCompositionWindow(HIMC context, COMPOSITIONFORM* form)
{
    HWND window = fln::user::WindowOf(context);
    if (!window || !form)
        return FALSE;
    // Without a style of its own the composition stays with the caret.
    if (form->dwStyle & (CFS_POINT | CFS_FORCE_POSITION | CFS_RECT))
        fln::user::PlaceComposition(window, form->ptCurrentPos);
    return TRUE;
}

BOOL ImmSetCompositionFontW(HIMC context, LOGFONTW* font)
{
    HWND window = fln::user::WindowOf(context);
    if (!window || !font)
        return FALSE;
    fln::user::WindowTree& tree = fln::user::WindowTree::Instance();
    fln::user::Window* inner = tree.Find(window);
    const NativeWindowId native = inner ? tree.TopLevelOf(*inner).native : 0;
    if (!native)
        return FALSE;
    // The input method lays lines out in pixels: the font's measures on the screen.
    HFONT made = CreateFontIndirectW(font);
    if (!made)
        return FALSE;
    const TEXTMETRICW metrics = fln::gdi::FontMetrics(made);
    DeleteObject(made);
    CurrentDisplay().SetCompositionFont(native, { font->lfFaceName, static_cast<int>(metrics.tmHeight), static_cast<int>(metrics.tmAscent) });
    return TRUE;
}
