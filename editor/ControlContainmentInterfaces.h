#pragma once
// The in-place activation interfaces between a control and the site that contains it. A control
// asks its site through these whether it may run without a window of its own, and tells it when
// it takes and gives up the user interface.

#include "platform/com/Guid.h"
#include "platform/com/Interfaces.h"
#include "platform/gdi/GdiTypes.h"
#include "platform/user/WinUser.h"

inline constexpr IID IID_IOleWindow = {0x00000114, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleInPlaceObject = {0x00000113, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleInPlaceUIWindow = {0x00000115, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleInPlaceFrame = {0x00000116, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleInPlaceSite = {0x00000119, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_IOleInPlaceSiteEx = {0x9C2CAD80, 0x3424, 0x11CF, {0xB6, 0x70, 0x00, 0xAA, 0x00, 0x4C, 0xD6, 0xD8}};
inline constexpr IID IID_IOleInPlaceSiteWindowless = {0x922EADA0, 0x3424, 0x11CF, {0xB6, 0x70, 0x00, 0xAA, 0x00, 0x4C, 0xD6, 0xD8}};

struct IOleWindow : IUnknown {
    virtual HRESULT GetWindow(HWND* phwnd) = 0;
    virtual HRESULT ContextSensitiveHelp(BOOL fEnterMode) = 0;
};

// The frame and document windows a control negotiates tool space with. No container here offers
// tool space, so they are only named.
struct IOleInPlaceUIWindow : IOleWindow {};
struct IOleInPlaceFrame : IOleInPlaceUIWindow {};

struct OLEINPLACEFRAMEINFO {
    UINT cb;
    BOOL fMDIApp;
    HWND hwndFrame;
    HACCEL haccel;
    UINT cAccelEntries;
};
using LPOLEINPLACEFRAMEINFO = OLEINPLACEFRAMEINFO*;

struct IOleInPlaceObject : IOleWindow {
    virtual HRESULT InPlaceDeactivate() = 0;
    virtual HRESULT UIDeactivate() = 0;
    virtual HRESULT SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) = 0;
    virtual HRESULT ReactivateAndUndo() = 0;
};

struct IOleInPlaceSite : IOleWindow {
    virtual HRESULT CanInPlaceActivate() = 0;
    virtual HRESULT OnInPlaceActivate() = 0;
    virtual HRESULT OnUIActivate() = 0;
    virtual HRESULT GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                     LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) = 0;
    virtual HRESULT Scroll(SIZE scrollExtent) = 0;
    virtual HRESULT OnUIDeactivate(BOOL fUndoable) = 0;
    virtual HRESULT OnInPlaceDeactivate() = 0;
    virtual HRESULT DiscardUndoState() = 0;
    virtual HRESULT DeactivateAndUndo() = 0;
    virtual HRESULT OnPosRectChange(LPCRECT lprcPosRect) = 0;
};

struct IOleInPlaceSiteEx : IOleInPlaceSite {
    virtual HRESULT OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD dwFlags) = 0;
    virtual HRESULT OnInPlaceDeactivateEx(BOOL fNoRedraw) = 0;
    virtual HRESULT RequestUIActivate() = 0;
};

struct IOleInPlaceSiteWindowless : IOleInPlaceSiteEx {
    // S_OK lets the control run without a window of its own; S_FALSE makes it create one.
    virtual HRESULT CanWindowlessActivate() = 0;
    virtual HRESULT GetCapture() = 0;
    virtual HRESULT SetCapture(BOOL fCapture) = 0;
    virtual HRESULT GetFocus() = 0;
    virtual HRESULT SetFocus(BOOL fFocus) = 0;
    virtual HRESULT GetDC(LPCRECT pRect, DWORD grfFlags, HDC* phDC) = 0;
    virtual HRESULT ReleaseDC(HDC hDC) = 0;
    virtual HRESULT InvalidateRect(LPCRECT pRect, BOOL fErase) = 0;
    virtual HRESULT InvalidateRgn(HRGN hRGN, BOOL fErase) = 0;
    virtual HRESULT ScrollRect(INT dx, INT dy, LPCRECT pRectScroll, LPCRECT pRectClip) = 0;
    virtual HRESULT AdjustRect(LPRECT prc) = 0;
    virtual HRESULT OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) = 0;
};

// Declares, inside an interface part on IOleInPlaceSiteWindowless, every method of the interface.
#define DECLARE_IN_PLACE_SITE_WINDOWLESS_METHODS() \
    HRESULT GetWindow(HWND* phwnd) override; \
    HRESULT ContextSensitiveHelp(BOOL fEnterMode) override; \
    HRESULT CanInPlaceActivate() override; \
    HRESULT OnInPlaceActivate() override; \
    HRESULT OnUIActivate() override; \
    HRESULT GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect, \
                             LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) override; \
    HRESULT Scroll(SIZE scrollExtent) override; \
    HRESULT OnUIDeactivate(BOOL fUndoable) override; \
    HRESULT OnInPlaceDeactivate() override; \
    HRESULT DiscardUndoState() override; \
    HRESULT DeactivateAndUndo() override; \
    HRESULT OnPosRectChange(LPCRECT lprcPosRect) override; \
    HRESULT OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD dwFlags) override; \
    HRESULT OnInPlaceDeactivateEx(BOOL fNoRedraw) override; \
    HRESULT RequestUIActivate() override; \
    HRESULT CanWindowlessActivate() override; \
    HRESULT GetCapture() override; \
    HRESULT SetCapture(BOOL fCapture) override; \
    HRESULT GetFocus() override; \
    HRESULT SetFocus(BOOL fFocus) override; \
    HRESULT GetDC(LPCRECT pRect, DWORD grfFlags, HDC* phDC) override; \
    HRESULT ReleaseDC(HDC hDC) override; \
    HRESULT InvalidateRect(LPCRECT pRect, BOOL fErase) override; \
    HRESULT InvalidateRgn(HRGN hRGN, BOOL fErase) override; \
    HRESULT ScrollRect(INT dx, INT dy, LPCRECT pRectScroll, LPCRECT pRectClip) override; \
    HRESULT AdjustRect(LPRECT prc) override; \
    HRESULT OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;
