#pragma once
// What the system control classes share: their per-window state, style, client area and text,
// notifications to the parent, the parent's colours and image sizes.

#include "platform/user/ResourceHandles.h"
#include "platform/user/WinUser.h"
#include "platform/gdi/Gdi.h"

#include <string>

namespace fln::user {

// The state of a system control window, kept behind a pointer in the first extra bytes of the
// window (GWLP_USERDATA stays the application's): made at WM_NCCREATE, deleted at WM_NCDESTROY.
template <typename State>
struct ControlState {
    static constexpr int kExtraBytes = sizeof(State*);

    static State* Of(HWND window) { return reinterpret_cast<State*>(GetWindowLongPtrW(window, 0)); }
    static State* Make(HWND window)
    {
        auto* state = new State;
        SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(state));
        return state;
    }
    static void Delete(HWND window)
    {
        delete Of(window);
        SetWindowLongPtrW(window, 0, 0);
    }
};

// Registers a system control class: global to the program, with double clicks unless the style
// says otherwise, `extraBytes` of window data and the given cursor. 0 when it exists already.
inline ATOM RegisterControlClass(LPCWSTR name, WNDPROC procedure, int extraBytes, UINT style = CS_DBLCLKS,
    LPCWSTR cursor = IDC_ARROW)
{
    WNDCLASSEXW windowClass { sizeof windowClass };
    windowClass.style = style | CS_GLOBALCLASS;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = extraBytes;
    windowClass.hCursor = LoadCursorW(nullptr, cursor);
    windowClass.lpszClassName = name;
    return RegisterClassExW(&windowClass);
}

// Asks the parent to draw the whole of an owner-drawn control (WM_DRAWITEM).
inline void SendDrawItem(HWND window, HDC dc, const RECT& client, UINT controlType, UINT itemState)
{
    auto id = static_cast<UINT>(GetDlgCtrlID(window));
    DRAWITEMSTRUCT item { controlType, id, 0, ODA_DRAWENTIRE, itemState, window, dc, client, 0 };
    SendMessageW(GetParent(window), WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item));
}

inline DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }

inline RECT ClientOf(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return client;
}

inline std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Sends a WM_COMMAND notification with the control's id to its parent.
inline void NotifyParent(HWND control, UINT code)
{
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), static_cast<WORD>(code)),
        reinterpret_cast<LPARAM>(control));
}

// The brush and DC colours the parent chooses for a control through WM_CTLCOLOR*; the default
// answer when the parent gives none.
inline HBRUSH ParentColours(HWND control, UINT message, HDC dc)
{
    HWND parent = GetParent(control);
    LRESULT brush = parent ? SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)) : 0;
    if (!brush)
        brush = DefWindowProcW(parent ? parent : control, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    return reinterpret_cast<HBRUSH>(brush);
}

// Has the parent (and the controls over it) draw again under part of a control that does not
// cover its background, so that what it drew before goes.
inline void RedrawParentUnder(HWND control, RECT area)
{
    HWND parent = GetParent(control);
    MapWindowPoints(control, parent, reinterpret_cast<POINT*>(&area), 2);
    RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The size of a bitmap (IMAGE_BITMAP) or of an icon or cursor; zero for a bad handle.
inline SIZE ImageSize(HANDLE image, UINT type)
{
    if (type == IMAGE_BITMAP) {
        BITMAP bitmap {};
        if (!GetObjectW(image, sizeof bitmap, &bitmap))
            return { 0, 0 };
        return { bitmap.bmWidth, bitmap.bmHeight };
    }
    ICONINFO info {};
    if (!GetIconInfo(static_cast<HICON>(image), &info))
        return { 0, 0 };
    BITMAP mask {};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    SIZE size { mask.bmWidth, info.hbmColor ? mask.bmHeight : mask.bmHeight / 2 };
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return size;
}

} // namespace fln::user
